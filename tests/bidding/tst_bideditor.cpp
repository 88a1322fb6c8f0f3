// The bid editor window, driven through its controls and the "B" line of the dispatcher.
#include "BidSteps.h"
#include "TestClient.h"

#include "bidding/BidRules.h"
#include "bidding/Points.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmDesk.h"
#include "session/Dispatch.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString NB = QString(QChar(0x00A0));

struct Editor
{
    TestClient client;
    TBidxForm *bid;

    explicit Editor(int ownSeat) : bid(client.ctx.bid)
    {
        client.frame()->setOwnSeat(ownSeat);
        client.frame()->setOwnNick(u"Robi"_s);
    }
    // A server line, handled as the reader handles it: an error becomes an error box.
    void line(const QString &text)
    {
        client.ctx.guard([&] { client.ctx.dispatcher().dispatch(text); });
    }
    QStringList errors() const { return client.dialogs->errors(); }

    bool showEditor()
    {
        bid->show();
        return QTest::qWaitForWindowExposed(bid);
    }
    // Picks a group the way the user does: a click on its name.
    void chooseGroup(int group) { BidSteps::ChooseGroup(bid, group); }
    void add(int group, int entry, const QString &higher = QString())
    {
        BidSteps::Add(bid, group, entry, higher);
    }
};

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

} // namespace

class TestBidEditor : public QObject
{
    Q_OBJECT
private slots:
    void startState();
    void contraAndRecontraForOwnSeat2();
    void ownSignalsAreNotOfferedAgain();
    void emptyTurnChangesNothingButTheButtons();
    void addChecks_data();
    void addChecks();
    void firstEmptyTurnNeedsAGroup();
    void undoNeedsABidText_data();
    void undoNeedsABidText();
    void orderByButtons();
    void orderByDrag();
    void mouseHints_data();
    void mouseHints();
    void controlHintsGoToTheStatusBar();
    void badBidTexts_data();
    void badBidTexts();
    void hidingDropsPendingBids();
    void signalsShownWhileTheirGroupIsInView();
    void clickOnTheShownGroupStartsItAfresh();
    void newDealForgetsTheLastBidText();
};

void TestBidEditor::startState()
{
    Editor e(2);
    TBidxForm *bid = e.bid;
    QCOMPARE(bid->windowTitle(), u"Licitálás"_s);
    QVERIFY(!(bid->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(bid->windowFlags() & Qt::WindowSystemMenuHint));
    QStringList groups;
    for (int i = 0; i < bid->fdGroups->count(); ++i)
        groups << bid->fdGroups->item(i)->text();
    QCOMPARE(groups, (QStringList{u"Jelzések"_s, u"Biztatók"_s, u"Ütések"_s, u"Magasítók"_s,
                                  u"Elfogók"_s, u"Extrák"_s, u"Trófeák"_s, u"Volát trófeák"_s,
                                  u"* Kontra"_s, u"** Rekontra"_s}));
    QStringList higher;
    for (int i = 0; i < bid->fdHigher->count(); ++i)
        higher << bid->fdHigher->itemText(i);
    QCOMPARE(higher, (QStringList{u"Pagát"_s, u"Sas"_s, u"Kakadu"_s, u"Kanári"_s, u"Treff"_s,
                                  u"Káró"_s, u"Kőr"_s, u"Pikk"_s}));
    QVERIFY(bid->fdHigher->isEditable());
    QCOMPARE(bid->fdGroups->currentRow(), 1);
    QCOMPARE(bid->fdBid->count(), 0);
    QVERIFY(!bid->cmGo->isEnabled());
    QCOMPARE(bid->cmGo->text(), u"&Mehet"_s);
    QCOMPARE(bid->cmGo->toolTip(), u"Elküldi a licitet"_s);
    QCOMPARE(bid->fdGroups->toolTip(), u"Licit csoportok"_s);
    QCOMPARE(bid->fdSend->toolTip(), u"Licit szerkesztés"_s);
    QCOMPARE(bid->btUp->toolTip(), u"Felfelé"_s);
    QCOMPARE(bid->btAdd->toolTip(), u"Hozzáad"_s);
    QCOMPARE(bid->btDel->toolTip(), u"Töröl"_s);
    QCOMPARE(bid->btDown->toolTip(), u"Lefelé"_s);
    QCOMPARE(bid->cmUndo->toolTip(), u"Visszavon"_s);
    QCOMPARE(bid->GroupBids(BidRules::Raisers).first(), NB + u"ulti"_s);
    QVERIFY(bid->GroupBids(BidRules::Signals).isEmpty());
    QVERIFY(bid->LastBids().isEmpty());
}

void TestBidEditor::contraAndRecontraForOwnSeat2()
{
    Editor e(2);
    TDeskForm *desk = e.client.ctx.desk;
    desk->SetTrickNumber(4);
    desk->show();
    e.client.frame()->menuItem("mnBids")->setEnabled(false);

    const QString text = u"1 1 Gém 1 Kassza 0 1 *Kassza"_s;
    e.line(u"B"_s + text);
    QVERIFY(e.errors().isEmpty());
    QCOMPARE(e.bid->LastBids(), text);
    QCOMPARE(e.bid->GroupBids(BidRules::Contra), QStringList{u"*Gém"_s});
    QCOMPARE(e.bid->GroupBids(BidRules::Recontra), QStringList{u"**Kassza"_s});
    QVERIFY(e.bid->isVisible());
    QVERIFY(e.client.frame()->menuItem("mnBids")->isEnabled());
    QVERIFY(!desk->isVisible());
    QCOMPARE(desk->TrickNumber(), -1);
    QVERIFY(!e.bid->cmGo->isEnabled());
    QVERIFY(e.bid->cmUndo->isEnabled());
    QCOMPARE(e.bid->fdGroups->currentRow(), int(BidRules::Signals));
    QCOMPARE(e.bid->fdHigher->currentText(), u"Pagát"_s);

    TListForm *list = e.client.ctx.list;
    QVERIFY(list->isVisible());
    QCOMPARE(list->Lines(), (QStringList{blanks(27) + u"Gém"_s, blanks(54) + u"Kassza"_s,
                                         blanks(81) + u"- Passz -"_s, u"*Kassza"_s}));
    QCOMPARE(list->ListBox->currentRow(), 3);
    // Closed, the list comes back from the main menu with what it held.
    list->close();
    e.client.frame()->menuItem("mnBids")->trigger();
    QVERIFY(list->isVisible());
    QCOMPARE(list->Lines().size(), 4);

    // The offers are what the user picks from.
    e.chooseGroup(BidRules::Recontra);
    QCOMPARE(e.bid->fdBid->count(), 1);
    QCOMPARE(e.bid->fdBid->item(0)->text(), u"**Kassza"_s);
    e.bid->btAdd->click();
    QCOMPARE(e.bid->Pending(), QStringList{u"**Kassza"_s});
}

void TestBidEditor::ownSignalsAreNotOfferedAgain()
{
    Editor e(3);
    const QStringList proposals{u"8"_s + NB + u"Tarokk"_s, u"Matador"_s, u"3"_s + NB + u"Kőr"_s,
                                u"Vannak"_s};
    e.bid->SetSignals(proposals);
    // Seat 2 (the other side) said "Vannak" too: only the user's own signals go.
    e.line(u"B1 0 1 Vannak 2 matador 3"_s + NB + u"Kőr"_s);
    QCOMPARE(e.bid->GroupBids(BidRules::Signals),
             (QStringList{u"8"_s + NB + u"Tarokk"_s, u"Vannak"_s}));
    QCOMPARE(e.bid->fdBid->count(), 2);
    QCOMPARE(e.bid->fdBid->currentRow(), 0);
    QCOMPARE(e.bid->fdBid->item(1)->text(), u"Vannak"_s);
}

void TestBidEditor::emptyTurnChangesNothingButTheButtons()
{
    Editor e(2);
    e.line(u"B1 1 Gém 1 Kassza 0 1 *Kassza"_s);
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.add(BidRules::Encouragers, 0);
    e.add(BidRules::Signals, -1); // nothing proposed: refused, changes nothing
    QCOMPARE(e.errors(), QStringList{u"Hibás licit"_s});
    const QStringList pending = e.bid->Pending();
    std::array<QStringList, 10> groups;
    for (int g = 0; g < 10; ++g)
        groups[g] = e.bid->GroupBids(g);

    e.line(u"B"_s);
    // The design setting of the sound box calls the user with a beep alone.
    QCOMPARE(e.client.beeps, 1);
    QVERIFY(e.client.dialogs->texts(u"message"_s).isEmpty());
    QVERIFY(e.bid->cmGo->isEnabled());
    QVERIFY(!e.bid->cmUndo->isEnabled());
    QCOMPARE(e.bid->LastBids(), u"1 1 Gém 1 Kassza 0 1 *Kassza"_s);
    QCOMPARE(e.bid->Pending(), pending);
    for (int g = 0; g < 10; ++g)
        QCOMPARE(e.bid->GroupBids(g), groups[g]);
    QCOMPARE(e.client.ctx.desk->TrickNumber(), -1);
}

void TestBidEditor::addChecks_data()
{
    QTest::addColumn<QString>("lastBids");   // "" = no bid text yet
    QTest::addColumn<QStringList>("proposals"); // the hand's proposals
    QTest::addColumn<QList<int>>("before");   // group, entry pairs added first (must pass)
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("higher");     // null = as the group sets it
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("pending");

    using namespace BidRules;
    const QString none;
    QTest::newRow("Gém pending, Kassza")
        << none << QStringList{} << QList<int>{Tricks, 0} << int(Tricks) << 1 << QString()
        << u"Hibás licit. Gém már van."_s << QStringList{u"Gém"_s};
    QTest::newRow("Kassza pending, Gém")
        << none << QStringList{} << QList<int>{Tricks, 1} << int(Tricks) << 0 << QString()
        << u"Hibás emelés. Kassza már van."_s << QStringList{u"Kassza"_s};
    QTest::newRow("same bid twice in a turn")
        << none << QStringList{} << QList<int>{Encouragers, 0} << int(Encouragers) << 0 << QString()
        << u"Ismételt licit. Vizi már van"_s << QStringList{u"Vizi"_s};
    QTest::newRow("partner's Gém, Kassza")
        << u"1 0 0 1 Gém"_s << QStringList{} << QList<int>{} << int(Tricks) << 1 << QString()
        << none << QStringList{u"Kassza"_s};
    QTest::newRow("partner's Gém, Gém")
        << u"1 0 0 1 Gém"_s << QStringList{} << QList<int>{} << int(Tricks) << 0 << QString()
        << u"Ismételt licit. Gém már van"_s << QStringList{};
    QTest::newRow("partner's Bridzs, Gém")
        << u"1 0 0 1 Bridzs"_s << QStringList{} << QList<int>{} << int(Tricks) << 0 << QString()
        << u"Hibás emelés. Bridzs már van."_s << QStringList{};
    QTest::newRow("opponent's Gém does not count")
        << u"1 1 Gém"_s << QStringList{} << QList<int>{} << int(Tricks) << 0 << QString()
        << none << QStringList{u"Gém"_s};
    QTest::newRow("partner's signal does not block the user's")
        << u"1 0 0 1 Matador"_s << QStringList{u"Matador"_s} << QList<int>{} << int(Signals) << 0
        << QString() << none << QStringList{u"Matador"_s};
    QTest::newRow("banda with Pagát")
        << none << QStringList{} << QList<int>{} << int(Captures) << 0 << u"Pagát"_s
        << u"Hibás színválasztás"_s << QStringList{};
    QTest::newRow("banda with Kőr")
        << none << QStringList{} << QList<int>{} << int(Captures) << 0 << u"Kőr"_s << none
        << QStringList{u"Kőr"_s + NB + u"banda"_s};
    QTest::newRow("banda with the group's own choice")
        << none << QStringList{} << QList<int>{} << int(Captures) << 0 << QString() << none
        << QStringList{u"Treff"_s + NB + u"banda"_s};
    QTest::newRow("mariage with typed text")
        << none << QStringList{} << QList<int>{} << int(Extras) << 4 << u"Zöld"_s
        << u"Hibás színválasztás"_s << QStringList{};
    QTest::newRow("raiser with Sas")
        << none << QStringList{} << QList<int>{} << int(Raisers) << 1 << u"Sas"_s << none
        << QStringList{u"Sas"_s + NB + u"uhu"_s};
}

void TestBidEditor::addChecks()
{
    QFETCH(QString, lastBids);
    QFETCH(QStringList, proposals);
    QFETCH(QList<int>, before);
    QFETCH(int, group);
    QFETCH(int, entry);
    QFETCH(QString, higher);
    QFETCH(QString, error);
    QFETCH(QStringList, pending);

    Editor e(2);
    QVERIFY(e.showEditor());
    e.bid->SetSignals(proposals);
    if (!lastBids.isEmpty())
        e.line(u"B"_s + lastBids);
    for (int i = 0; i + 1 < before.size(); i += 2)
        e.add(before[i], before[i + 1]);
    QCOMPARE(e.errors(), QStringList{});
    e.add(group, entry, higher);
    QCOMPARE(e.errors(), error.isEmpty() ? QStringList{} : QStringList{error});
    QCOMPARE(e.bid->Pending(), pending);
    if (!pending.isEmpty())
        QCOMPARE(e.bid->fdSend->currentRow(), pending.size() - 1);
}

void TestBidEditor::firstEmptyTurnNeedsAGroup()
{
    Editor e(1);
    e.line(u"B"_s);
    QVERIFY(e.bid->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    QCOMPARE(e.bid->fdBid->count(), 0);
    e.bid->btAdd->click();
    QCOMPARE(e.errors(), QStringList{u"Hibás licit"_s});
    QVERIFY(e.bid->Pending().isEmpty());
    // A click on the group already selected fills the list.
    e.chooseGroup(BidRules::Encouragers);
    QCOMPARE(e.bid->fdBid->count(), 6);
    QCOMPARE(e.bid->fdBid->item(1)->text(), u"L\u00B4amour"_s);
    e.bid->btAdd->click();
    QCOMPARE(e.bid->Pending(), QStringList{u"Vizi"_s});
}

void TestBidEditor::undoNeedsABidText_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("no bid text yet") << QString();
    QTest::newRow("only a turn") << u"B"_s;
    QTest::newRow("one character") << u"B1"_s;
    QTest::newRow("two characters") << u"B3 "_s;
}

void TestBidEditor::undoNeedsABidText()
{
    // No connection: had it tried to send, the error would be the connection's.
    QFETCH(QString, line);
    Editor e(2);
    if (!line.isEmpty())
        e.line(line);
    e.bid->cmUndo->setEnabled(true);
    e.bid->cmUndo->click();
    QCOMPARE(e.errors(), QStringList{u"Nincs mit visszavonni!"_s});
}

void TestBidEditor::orderByButtons()
{
    Editor e(2);
    QVERIFY(e.showEditor());
    e.add(BidRules::Encouragers, 0);
    e.add(BidRules::Encouragers, 2);
    e.add(BidRules::Encouragers, 3);
    QListWidget *send = e.bid->fdSend;
    QCOMPARE(e.bid->Pending(), (QStringList{u"Vizi"_s, u"Angelo"_s, u"Honőr"_s}));

    e.bid->btUp->click();
    QCOMPARE(e.bid->Pending(), (QStringList{u"Vizi"_s, u"Honőr"_s, u"Angelo"_s}));
    QCOMPARE(send->currentRow(), 1);
    e.bid->btUp->click();
    e.bid->btUp->click(); // already first: stays
    QCOMPARE(e.bid->Pending(), (QStringList{u"Honőr"_s, u"Vizi"_s, u"Angelo"_s}));
    QCOMPARE(send->currentRow(), 0);
    e.bid->btDown->click();
    QCOMPARE(e.bid->Pending(), (QStringList{u"Vizi"_s, u"Honőr"_s, u"Angelo"_s}));
    QCOMPARE(send->currentRow(), 1);
    send->setCurrentRow(2);
    e.bid->btDown->click(); // already last: stays
    QCOMPARE(e.bid->Pending(), (QStringList{u"Vizi"_s, u"Honőr"_s, u"Angelo"_s}));

    send->setCurrentRow(0);
    e.bid->btDel->click();
    QCOMPARE(e.bid->Pending(), (QStringList{u"Honőr"_s, u"Angelo"_s}));
    QCOMPARE(send->currentRow(), 1);
    send->clearSelection();
    e.bid->btDel->click(); // nothing selected: nothing goes
    QCOMPARE(e.bid->Pending(), (QStringList{u"Honőr"_s, u"Angelo"_s}));
    QVERIFY(e.errors().isEmpty());
}

// The drop is driven as the window system delivers it: enter, move and drop events on the
// list with the data its own drag carries. (The offscreen platform runs no drag of its own:
// QDrag::exec returns at once, so the events are sent here.)
void TestBidEditor::orderByDrag()
{
    Editor e(2);
    QVERIFY(e.showEditor());
    for (int k : {0, 1, 2, 3})
        e.add(BidRules::Encouragers, k);
    QListWidget *send = e.bid->fdSend;
    QWidget *viewport = send->viewport();
    const QStringList start{u"Vizi"_s, u"L\u00B4amour"_s, u"Angelo"_s, u"Honőr"_s};
    QCOMPARE(e.bid->Pending(), start);
    const auto dropOn = [&](const QMimeData *data, QPoint at) {
        QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return enter.isAccepted() && move.isAccepted() && drop.isAccepted();
    };
    const QPoint onThird = send->visualItemRect(send->item(2)).center();

    // Nothing is being dragged yet: even the list's own data is refused.
    std::unique_ptr<QMimeData> own(e.bid->fdSendDragData());
    QVERIFY(!dropOn(own.get(), onThird));
    QCOMPARE(e.bid->Pending(), start);

    // The user drags the first entry: pressed, then moved further than the drag distance.
    const QPoint onFirst = send->visualItemRect(send->item(0)).center();
    QTest::mousePress(viewport, Qt::LeftButton, {}, onFirst);
    for (int dy = 2; dy <= 2 * QApplication::startDragDistance() + 4; dy += 2) {
        const QPoint at = onFirst + QPoint(0, dy);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, onFirst);
    QCOMPARE(e.bid->DragIndex(), 0);

    // Text from another program, or a drag of the same kind that is not this list's: refused.
    QMimeData text;
    text.setText(u"Volát"_s);
    QVERIFY(!dropOn(&text, onThird));
    QMimeData stranger;
    stranger.setData(u"application/x-vimo-pending-bid"_s, "1:deadbeef");
    QVERIFY(!dropOn(&stranger, onThird));
    QCOMPARE(e.bid->Pending(), start);

    // The list's own data: the first entry moves to the third place.
    QVERIFY(dropOn(own.get(), onThird));
    QCOMPARE(e.bid->Pending(), (QStringList{u"L\u00B4amour"_s, u"Angelo"_s, u"Vizi"_s, u"Honőr"_s}));
    QCOMPARE(send->currentRow(), 2);
    QCOMPARE(e.bid->DragIndex(), -1);
    // The drag is over: the same data once more is refused.
    QVERIFY(!dropOn(own.get(), onThird));

    // Below the last entry counts as the last place.
    send->setCurrentRow(1);
    e.bid->fdSendStartDrag();
    QVERIFY(dropOn(own.get(), QPoint(4, viewport->height() - 2)));
    QCOMPARE(e.bid->Pending(), (QStringList{u"L\u00B4amour"_s, u"Vizi"_s, u"Honőr"_s, u"Angelo"_s}));
    QCOMPARE(send->currentRow(), 3);
}

void TestBidEditor::mouseHints_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("row"); // -1: below the entries
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("catalogueRow"); // where the announcement table moves, or -1

    using namespace BidRules;
    QTest::newRow("ulti") << int(Raisers) << 0
                          << u"A 10. (utolsó) ütés elvitele a megnevezett magasítóval"_s << 26;
    QTest::newRow("Kassza") << int(Tricks) << 1 << u"Bármelyik 6 ütés elvitele"_s << 16;
    QTest::newRow("Royal") << int(VolatTrophies) << 11
                           << u"Volát + Golgota + Trojka, de nem ugyanaz üti az utolsó hármat"_s << 66;
    QTest::newRow("Matador signal") << int(Signals) << 1
                                    << u"Matador a kézben (Pagát I, sas II, kakadu III vagy kanári IIII)"_s
                                    << 6;
    QTest::newRow("distribution signal") << int(Signals) << 0 << u"Elosztás közlés"_s << -1;
    QTest::newRow("contra") << int(Contra) << 0 << u"A bemondás teljesítésének kétségbevonása"_s << -1;
    QTest::newRow("recontra") << int(Recontra) << 0 << u"A bemondás teljesítésének kétségbevonása"_s
                              << -1;
    QTest::newRow("below the entries") << int(Encouragers) << -1
                                       << u"A csoporthoz tartozó bemondások"_s << -1;
}

void TestBidEditor::mouseHints()
{
    QFETCH(int, group);
    QFETCH(int, row);
    QFETCH(QString, hint);
    QFETCH(int, catalogueRow);
    Editor e(2);
    e.bid->SetSignals({u"8"_s + NB + u"Tarokk"_s, u"Matador"_s});
    e.line(u"B1 1 Gém 1 Kassza 0 1 *Kassza"_s);
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.chooseGroup(group);
    QListWidget *list = e.bid->fdBid;
    if (row >= 0)
        list->scrollToItem(list->item(row));
    const QPoint at = row >= 0 ? list->visualItemRect(list->item(row)).center()
                               : QPoint(4, list->viewport()->height() - 2);
    QVERIFY(row >= 0 || !list->itemAt(at));
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    QCOMPARE(e.bid->StatusText(), hint);
    if (catalogueRow >= 0)
        QCOMPARE(e.client.ctx.tk->CurrentRow(), catalogueRow);
}

void TestBidEditor::controlHintsGoToTheStatusBar()
{
    Editor e(2);
    QVERIFY(e.showEditor());
    for (QWidget *w : std::initializer_list<QWidget *>{e.bid->btAdd, e.bid->cmGo, e.bid->fdSend}) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(w, &enter);
        QCOMPARE(e.bid->StatusText(), w->toolTip());
    }
}

void TestBidEditor::badBidTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // a part of the error text; empty: accepted
    QTest::addColumn<QStringList>("contra");

    QTest::newRow("count not a number") << u"1 1 Gém x 1 Kassza"_s << u"'x'"_s << QStringList{};
    QTest::newRow("first seat not a number") << u"egy 1 Gém"_s << u"'egy'"_s << QStringList{};
    QTest::newRow("count beyond the words") << u"1 5 Gém"_s << QString() << QStringList{u"*Gém"_s};
    QTest::newRow("huge count") << u"1 2147483647 Gém"_s << QString() << QStringList{u"*Gém"_s};
    QTest::newRow("empty word") << u"1 2  Gém"_s << QString() << QStringList{u"*Gém"_s};
    QTest::newRow("first seat 2 read as 1") << u"2 1 Gém 1 Kassza"_s << QString()
                                            << QStringList{u"*Gém"_s};
}

void TestBidEditor::badBidTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(QStringList, contra);
    Editor e(2);
    const QString earlier = u"3 0 1 Vizi"_s; // seat 4, the other side
    e.line(u"B"_s + earlier);
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.add(BidRules::Contra, 0);
    QCOMPARE(e.bid->Pending(), QStringList{u"*Vizi"_s});
    e.client.ctx.desk->SetTrickNumber(3); // as if play had begun
    const QStringList listBefore = e.client.ctx.list->Lines();

    e.line(u"B"_s + text);
    if (!error.isEmpty()) {
        QCOMPARE(e.errors().size(), 1);
        QVERIFY2(e.errors().first().contains(error), qPrintable(e.errors().first()));
        QCOMPARE(e.bid->LastBids(), earlier);
        QCOMPARE(e.bid->GroupBids(BidRules::Contra), QStringList{u"*Vizi"_s});
        QCOMPARE(e.client.ctx.list->Lines(), listBefore);
        QCOMPARE(e.client.ctx.desk->TrickNumber(), 3);
    } else {
        QCOMPARE(e.errors(), QStringList{});
        QCOMPARE(e.bid->LastBids(), text);
        QCOMPARE(e.bid->GroupBids(BidRules::Contra), contra);
        QCOMPARE(e.client.ctx.desk->TrickNumber(), -1);
    }
    QCOMPARE(e.bid->Pending(), QStringList{u"*Vizi"_s});
}

void TestBidEditor::hidingDropsPendingBids()
{
    Editor e(2);
    e.line(u"B"_s);
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.add(BidRules::Tricks, 0);
    QCOMPARE(e.bid->Pending(), QStringList{u"Gém"_s});
    e.client.frame()->HideGameWindows();
    QVERIFY(!e.bid->isVisible());
    QVERIFY(e.bid->Pending().isEmpty());
}

void TestBidEditor::signalsShownWhileTheirGroupIsInView()
{
    Editor e(2);
    e.line(u"B1 0"_s);
    QCOMPARE(e.bid->fdGroups->currentRow(), int(BidRules::Signals));
    QCOMPARE(e.bid->fdBid->count(), 0);
    e.bid->SetSignals({u"9"_s + NB + u"Tarokk"_s, u"Flush"_s});
    QCOMPARE(e.bid->fdBid->count(), 2);
    QCOMPARE(e.bid->fdBid->item(0)->text(), u"9"_s + NB + u"Tarokk"_s);
    // With another group in view the list stays as it is.
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.chooseGroup(BidRules::Tricks);
    e.bid->SetSignals({u"Vannak"_s});
    QCOMPARE(e.bid->fdBid->item(0)->text(), u"Gém"_s);
    QCOMPARE(e.bid->GroupBids(BidRules::Signals), QStringList{u"Vannak"_s});
}

// Picking the group in view again is picking it: its first entry and its default word.
void TestBidEditor::clickOnTheShownGroupStartsItAfresh()
{
    Editor e(2);
    QVERIFY(e.showEditor());
    e.chooseGroup(BidRules::Raisers);
    e.bid->fdBid->setCurrentRow(3);
    e.bid->fdHigher->setCurrentIndex(3);
    e.chooseGroup(BidRules::Raisers);
    QCOMPARE(e.bid->fdBid->currentRow(), 0);
    QCOMPARE(e.bid->fdHigher->currentText(), u"Pagát"_s);

    e.chooseGroup(BidRules::Captures);
    e.bid->fdBid->setCurrentRow(2);
    e.bid->fdHigher->setCurrentText(u"Sas"_s);
    e.chooseGroup(BidRules::Captures);
    QCOMPARE(e.bid->fdBid->currentRow(), 0);
    QCOMPARE(e.bid->fdHigher->currentText(), u"Treff"_s);
}

// The last deal's bids are no reason to refuse the first bid of the next one, and its
// bids are no longer there to contra.
void TestBidEditor::newDealForgetsTheLastBidText()
{
    Editor e(2);
    e.line(u"B1 1 Gém 1 Kassza 0 1 Bridzs"_s);
    QCOMPARE(e.bid->LastBids(), u"1 1 Gém 1 Kassza 0 1 Bridzs"_s);
    QVERIFY(!e.bid->GroupBids(BidRules::Contra).isEmpty());
    e.line(u"N8 3"_s);
    QCOMPARE(e.bid->LastBids(), QString());
    QVERIFY(e.bid->GroupBids(BidRules::Contra).isEmpty());
    QVERIFY(e.bid->GroupBids(BidRules::Recontra).isEmpty());
    e.line(u"B"_s);
    QVERIFY(QTest::qWaitForWindowExposed(e.bid));
    e.add(BidRules::Tricks, 1); // "Kassza", the user's own bid of the last deal
    QCOMPARE(e.errors(), QStringList());
    QCOMPARE(e.bid->Pending(), QStringList{u"Kassza"_s});
}

int runBidEditor(int argc, char **argv)
{
    TestBidEditor t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_bideditor.moc"
