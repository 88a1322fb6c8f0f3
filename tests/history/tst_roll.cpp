// The deal history window: "X" replies through the real dispatcher, the tree they build, the
// deal in view, the score and bidding pages with their requests, and the replay.

#include "FakeClub.h"
#include "TestClient.h"

#include "bidding/VmList.h"
#include "cards/Picks.h"
#include "history/HistoryText.h"
#include "history/VmRoll.h"
#include "session/Dispatch.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

// An "X0" record: the tricks of side 2-3 rise by one every third trick, so the split is 7 : 3.
QString x0(const QString &board, int id, int day, const QStringList &names = {"Anna", "Béla", "Cili", "Dani"},
           const QString &tag = QStringLiteral("+25"))
{
    QString line = QStringLiteral("X0 ") + board + QLatin1Char(' ') + QString::number(id) + QLatin1Char(' ')
                   + QString::number(day) + QLatin1Char(' ') + tag;
    for (const QString &n : names)
        line += QLatin1Char(' ') + n;
    for (int k = 0; k < 10; ++k)
        line += QStringLiteral(" %1").arg((k + 1) / 3);
    // Seat s plays the cards of its own suit, rising, then tarokks: a full deal's cards.
    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 0; k < 10; ++k)
            line += QStringLiteral(" %1").arg(k < 5 ? (seat - 1) * 5 + k + 1 : 20 + (seat - 1) * 5 + (k - 5) + 1 + (seat == 4 && k == 9 ? 1 : 0));
    return line;
}

// The tree as lines, one blank of indent per level.
QStringList shape(const QTreeWidget *tv)
{
    QStringList lines;
    const std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int level) {
        lines << QString(level, QLatin1Char(' ')) + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tv->topLevelItemCount(); ++i)
        walk(tv->topLevelItem(i), 0);
    return lines;
}

QString dealName(const TBoard *b)
{
    return b ? QStringLiteral("%1/%2/%3").arg(b->Board).arg(b->Day).arg(b->Id) : QStringLiteral("none");
}

} // namespace

class TstRoll : public QObject
{
    Q_OBJECT
private slots:
    void treeShape_data();
    void treeShape();
    void burstSelectsTheLastDealOnce();
    void boardNodeShowsItsFirstDay();
    void resentDealRefreshesHeader();
    void badRecordAddsNothing();
    void unknownDealFails();
    void negativeCodeAndNoDeal();
    void scorePage();
    void scorePageTexts_data();
    void scorePageTexts();
    void badScoresKeepTheGrid();
    void requestsGoOutOnce_data();
    void requestsGoOutOnce();
    void unansweredRequestsAskAgain();
    void biddingPage();
    void replay();
    void menuAndCaption();

private:
    static void feed(TestClient &c, const QString &line)
    {
        c.ctx.guard([&] { c.ctx.dispatcher().dispatch(line); });
    }
    static QStringList sent(FakeClub &club, TestClient &c)
    {
        return club.takeSent([&](const QString &mark) { c.frame()->SendLine(mark); });
    }
    static QStringList gridRow(QTableWidget *grid, int row)
    {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (grid->item(row, c) ? grid->item(row, c)->text() : QString());
        return cells;
    }
};

void TstRoll::treeShape_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("current");

    QTest::newRow("first deal of a board: board and day node")
        << QStringList{x0("17", 3, 38783)} << QStringList{"17", " 2006.03.07"} << "17/38783/3";
    QTest::newRow("same board and day: a node named by the id")
        << QStringList{x0("17", 3, 38783), x0("17", 4, 38783)}
        << QStringList{"17", " 2006.03.07", "  4"} << "17/38783/4";
    QTest::newRow("same board, another day: another day node")
        << QStringList{x0("17", 3, 38783), x0("17", 4, 39000)}
        << QStringList{"17", " 2006.03.07", " 2006.10.10"} << "17/39000/4";
    QTest::newRow("the same deal again adds nothing")
        << QStringList{x0("17", 3, 38783), x0("17", 4, 38783), x0("17", 3, 38783)}
        << QStringList{"17", " 2006.03.07", "  4"} << "17/38783/3";
    QTest::newRow("boards in order of arrival, compared exactly")
        << QStringList{x0("18", 1, 38783), x0("17", 1, 38783), x0("017", 1, 38783), x0("18", 2, 38783)}
        << QStringList{"18", " 2006.03.07", "  2", "17", " 2006.03.07", "017", " 2006.03.07"} << "18/38783/2";
    QTest::newRow("days that print alike stay apart")
        << QStringList{x0("5", 1, 2958466), x0("5", 2, 2958467)}
        << QStringList{"5", " 2958466. nap", " 2958467. nap"} << "5/2958467/2";
    QTest::newRow("X1 takes the first deal of the id in tree order")
        << QStringList{x0("8", 1, 100), x0("8", 2, 200), x0("8", 2, 100), QStringLiteral("X1 8 2 a 1 2")}
        << QStringList{"8", " 1900.04.09", "  2", " 1900.07.18"} << "8/100/2";
    QTest::newRow("a sub-code above 2 selects the deal and changes nothing")
        << QStringList{x0("8", 1, 100), x0("8", 2, 100), QStringLiteral("X7 8 1")}
        << QStringList{"8", " 1900.04.09", "  2"} << "8/100/1";
}

void TstRoll::treeShape()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, tree);
    QFETCH(QString, current);
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    for (const QString &line : lines)
        feed(c, line);
    QCOMPARE(c.dialogs->errors(), QStringList());
    QCOMPARE(dealName(roll->CurrentBoard()), current);
    QVERIFY(roll->isVisible());
    // The tree takes the new nodes, and selects the deal, once the burst is over.
    QTRY_VERIFY(roll->Tv->currentItem() == roll->CurrentBoard()->Node);
    QCOMPARE(shape(roll->Tv), tree);
    QCOMPARE(dealName(roll->CurrentBoard()), current);
}

void TstRoll::burstSelectsTheLastDealOnce()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    int changes = 0;
    connect(roll->Tv, &QTreeWidget::currentItemChanged, this, [&] { ++changes; });
    for (int i = 1; i <= 300; ++i)
        feed(c, x0(QString::number(i), i, 38783 + i % 3));
    QCOMPARE(changes, 0);
    QCOMPARE(roll->Tv->topLevelItemCount(), 0);
    QTRY_COMPARE(changes, 1);
    QCOMPARE(roll->Tv->currentItem()->text(0), QStringLiteral("2006.03.07"));
    QCOMPARE(roll->Tv->currentItem()->parent()->text(0), QStringLiteral("300"));
    QCOMPARE(roll->Tv->topLevelItemCount(), 300);
    QCOMPARE(roll->DealCount(), 300);
}

void TstRoll::boardNodeShowsItsFirstDay()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783, {"Anna", "Béla", "Cili", "Dani"}));
    feed(c, x0("17", 4, 38784, {"Ede", "Feri", "Gabi", "Hugó"}));
    QCOMPARE(roll->PlayerLabels[0]->text(), QStringLiteral("Ede"));
    QTRY_VERIFY(roll->Tv->currentItem() == roll->CurrentBoard()->Node);
    roll->Tv->setCurrentItem(roll->Tv->topLevelItem(0));
    QCOMPARE(dealName(roll->CurrentBoard()), QStringLiteral("17/38783/3"));
    QStringList labels;
    for (QLabel *l : roll->PlayerLabels)
        labels << l->text();
    QCOMPARE(labels, (QStringList{"Anna", "Béla", "Cili", "Dani"}));
    QCOMPARE(roll->lbResult->text(), QStringLiteral("7 : 3"));
}

void TstRoll::resentDealRefreshesHeader()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783, {"Anna", "Béla", "Cili", "Dani"}));
    QTRY_VERIFY(roll->Tv->currentItem() != nullptr);
    // The same deal, already selected, with other names: the selection does not change, the
    // header does, and so does what the replay takes its names from.
    QString again = x0("17", 3, 38783, {"Ede", "Feri", "Gabi", "Hugó"});
    again.replace(QStringLiteral(" 0 0 1 1 1 2 2 2 3 3 "), QStringLiteral(" 0 0 1 1 1 2 2 2 3 4 "));
    feed(c, again);
    QCOMPARE(roll->PlayerLabels[0]->text(), QStringLiteral("Ede"));
    QCOMPARE(roll->PlayerLabels[3]->text(), QStringLiteral("Hugó"));
    QCOMPARE(roll->lbResult->text(), QStringLiteral("6 : 4"));
    QCOMPARE(shape(roll->Tv), (QStringList{"17", " 2006.03.07"}));
    roll->Page->setCurrentIndex(3);
    QCOMPARE(roll->PlayView->findChild<QLabel *>(QStringLiteral("Nick1"))->text(), QStringLiteral("Ede"));
}

void TstRoll::badRecordAddsNothing()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783, {"Anna", "Béla", "Cili", "Dani"}));
    QString bad = x0("17", 3, 38783, {"Ede", "Feri", "Gabi", "Hugó"});
    bad.replace(bad.lastIndexOf(QLatin1Char(' ')), 3, QStringLiteral(" x"));
    feed(c, bad);
    feed(c, x0("18", 1, 38783).replace(QStringLiteral(" 38783 "), QStringLiteral(" 3878x ")));
    QCOMPARE(c.dialogs->errors().size(), 2);
    feed(c, QStringLiteral("X9 17 3"));
    QTRY_VERIFY(roll->Tv->currentItem() == roll->CurrentBoard()->Node);
    // Neither a node nor half a record: the stored deal is as it was.
    QCOMPARE(shape(roll->Tv), (QStringList{"17", " 2006.03.07"}));
    QCOMPARE(roll->CurrentBoard()->Names[0], QStringLiteral("Anna"));
    QCOMPARE(roll->CurrentBoard()->Hands[4].Get(9), 41);
}

void TstRoll::unknownDealFails()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, QStringLiteral("X1 17 3 a 1 2"));
    QCOMPARE(c.dialogs->errors(), QStringList{QStringLiteral("Hibás letöltés")});
    QVERIFY(!roll->isVisible());
    QVERIFY(!roll->HasDeals());
    feed(c, x0("17", 3, 38783));
    feed(c, QStringLiteral("X2 17 4 1 0 0 0 0"));
    feed(c, QStringLiteral("X1 18 3 a 1 2"));
    QCOMPARE(c.dialogs->errors().size(), 3);
    // The deal in view stays the one it was.
    QCOMPARE(dealName(roll->CurrentBoard()), QStringLiteral("17/38783/3"));
    QCOMPARE(roll->BidsState(*roll->CurrentBoard()), TRollForm::TFetch::NotFetched);
}

void TstRoll::negativeCodeAndNoDeal()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TRollForm *roll = c.ctx.roll;
    feed(c, QStringLiteral("X-1 17 3 a 1 2"));
    QCOMPARE(c.dialogs->errors(), QStringList());
    QVERIFY(!roll->isVisible());
    QVERIFY(!roll->HasDeals());
    // Every page with no deal: nothing sent, nothing failed.
    for (int page : {1, 2, 3, 0})
        roll->Page->setCurrentIndex(page);
    QCOMPARE(c.dialogs->errors(), QStringList());
    QCOMPARE(sent(club, c), QStringList());
    QCOMPARE(roll->Tv->topLevelItemCount(), 0);
    // The chat does not call the replies unknown.
    feed(c, x0("17", 3, 38783));
    for (const QString &line : c.chatLines())
        QVERIFY2(!line.contains(QStringLiteral("Ismeretlen")), qPrintable(line));
}

void TstRoll::scorePage()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    roll->Page->setCurrentIndex(1);
    QCOMPARE(roll->windowTitle(), QStringLiteral("Eredmény"));
    QCOMPARE(roll->ScGrid->rowCount(), 1);
    QCOMPARE(gridRow(roll->ScGrid, 0), (QStringList{"", "Letöltés folyamatban", "", ""}));
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X1 17 3")});
    QCOMPARE(roll->ScoresState(*roll->CurrentBoard()), TRollForm::TFetch::Requested);

    feed(c, QStringLiteral("X1 17 3 *Gém 20 0 Pagát\u00A0ulti 0 5"));
    QCOMPARE(roll->ScGrid->rowCount(), 2);
    QCOMPARE(gridRow(roll->ScGrid, 0), (QStringList{" *Gém", PadNumber(20), PadNumber(0), PadNumber(20)}));
    QCOMPARE(gridRow(roll->ScGrid, 1), (QStringList{" Pagát\u00A0ulti", PadNumber(0), PadNumber(5), PadNumber(-5)}));
    QCOMPARE(roll->lbSumm[1]->text(), QStringLiteral("20"));
    QCOMPARE(roll->lbSumm[2]->text(), QStringLiteral("5"));
    QCOMPARE(roll->lbSumm[3]->text(), QStringLiteral("15"));
    QCOMPARE(roll->lbSumm[0]->text(), QStringLiteral("Összesen"));
    QCOMPARE(roll->lbHdrSum->text(), QStringLiteral("Össz"));
    QCOMPARE(roll->ScoresState(*roll->CurrentBoard()), TRollForm::TFetch::Known);
    // Known: the page shows it again without asking.
    roll->Page->setCurrentIndex(0);
    roll->Page->setCurrentIndex(1);
    QCOMPARE(roll->ScGrid->rowCount(), 2);
    QCOMPARE(sent(club, c), QStringList());
    // The same deal sent again is fetched again when next viewed.
    feed(c, x0("17", 3, 38783));
    QCOMPARE(roll->Page->currentIndex(), 0);
    roll->Page->setCurrentIndex(1);
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X1 17 3")});
}

void TstRoll::scorePageTexts_data()
{
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("totals");
    const QString e;
    QTest::newRow("nothing after the header") << "" << QList<QStringList>{{e, e, e, e}} << QStringList{"0", "0", "0"};
    QTest::newRow("three characters") << "a 1" << QList<QStringList>{{e, e, e, e}} << QStringList{"0", "0", "0"};
    QTest::newRow("the pending marker as a reply") << "X" << QList<QStringList>{{e, e, e, e}} << QStringList{"0", "0", "0"};
    QTest::newRow("short remnant ignored")
        << "Gém 20 0 x 1" << QList<QStringList>{{" Gém", PadNumber(20), PadNumber(0), PadNumber(20)}}
        << QStringList{"20", "0", "20"};
    QTest::newRow("64-bit sums")
        << "a 2147483647 -2147483648 b 2147483647 0"
        << QList<QStringList>{{" a", "2147483647", " -2147483648", "4294967295"}, {" b", "2147483647", PadNumber(0), "2147483647"}}
        << QStringList{"4294967294", "-2147483648", "6442450942"};
}

void TstRoll::scorePageTexts()
{
    QFETCH(QString, scores);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, totals);
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    feed(c, QStringLiteral("X1 17 3 ") + scores);
    QCOMPARE(c.dialogs->errors(), QStringList());
    roll->Page->setCurrentIndex(1);
    QCOMPARE(roll->ScGrid->rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(gridRow(roll->ScGrid, r), rows[r]);
    QCOMPARE((QStringList{roll->lbSumm[1]->text(), roll->lbSumm[2]->text(), roll->lbSumm[3]->text()}), totals);
}

void TstRoll::badScoresKeepTheGrid()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    feed(c, x0("18", 1, 38783));
    feed(c, QStringLiteral("X1 17 3 a 1 2 b 3 4"));
    roll->Page->setCurrentIndex(1);
    QCOMPARE(roll->ScGrid->rowCount(), 2);
    // The second row's second number is no number: the error shows, the grid is untouched.
    feed(c, QStringLiteral("X1 18 1 x 5 6 y 7 z"));
    QCOMPARE(c.dialogs->errors().size(), 1);
    QCOMPARE(roll->ScGrid->rowCount(), 2);
    QCOMPARE(gridRow(roll->ScGrid, 1), (QStringList{" b", PadNumber(3), PadNumber(4), PadNumber(-1)}));
    QCOMPARE(roll->lbSumm[3]->text(), QStringLiteral("-2"));
}

void TstRoll::requestsGoOutOnce_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("emptyReply");
    QTest::newRow("scores") << "17" << 1 << "X1 17 3" << "X1 17 3";
    QTest::newRow("bids") << "17" << 2 << "X2 17 3" << "X2 17 3";
    // The board is the club's word: a place mark in it is text, not a slot of the request.
    QTest::newRow("board with a place mark") << "1%3" << 1 << "X1 1%3 3" << "X1 1%3 3";
}

void TstRoll::requestsGoOutOnce()
{
    QFETCH(QString, board);
    QFETCH(int, page);
    QFETCH(QString, request);
    QFETCH(QString, emptyReply);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TRollForm *roll = c.ctx.roll;
    feed(c, x0(board, 3, 38783));
    roll->Page->setCurrentIndex(page);
    // Coming back while the request is out asks nothing more.
    roll->Page->setCurrentIndex(0);
    roll->Page->setCurrentIndex(page);
    QCOMPARE(sent(club, c), QStringList{request});
    // An empty answer through the club's socket, with the page in view: known, and nothing
    // is asked again, not from the reply and not when the page is shown again.
    club.send(emptyReply);
    QTRY_COMPARE(page == 1 ? roll->ScoresState(*roll->CurrentBoard()) : roll->BidsState(*roll->CurrentBoard()),
                 TRollForm::TFetch::Known);
    roll->Page->setCurrentIndex(0);
    roll->Page->setCurrentIndex(page);
    QCOMPARE(sent(club, c), QStringList());
    if (page == 1)
        QCOMPARE(gridRow(roll->ScGrid, 0), (QStringList{"", "", "", ""}));
    else
        QCOMPARE(roll->Memo->toPlainText(), QString());
    QCOMPARE(c.dialogs->errors(), QStringList());
}

void TstRoll::unansweredRequestsAskAgain()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    roll->Page->setCurrentIndex(1);
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X1 17 3")});
    // The club refused with a notice: after a while, showing the page asks again.
    roll->retryAfterMs = 0;
    roll->Page->setCurrentIndex(0);
    roll->Page->setCurrentIndex(1);
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X1 17 3")});
    roll->retryAfterMs = 3600 * 1000;
    roll->Page->setCurrentIndex(2);
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X2 17 3")});

    // The connection is lost: the window hides and keeps its deals; on the next connection
    // both requests may go out again.
    club.closeClient();
    QTRY_VERIFY(!c.ctx.link().isOpen());
    QTRY_VERIFY(!roll->isVisible());
    QCOMPARE(roll->DealCount(), 1);
    QCOMPARE(roll->ScoresState(*roll->CurrentBoard()), TRollForm::TFetch::NotFetched);
    QCOMPARE(roll->BidsState(*roll->CurrentBoard()), TRollForm::TFetch::NotFetched);
    FakeClub again;
    QVERIFY(c.connectTo(again));
    roll->cmRoll();
    QVERIFY(roll->isVisible());
    QCOMPARE(roll->Page->currentIndex(), 0);
    roll->Page->setCurrentIndex(2);
    roll->Page->setCurrentIndex(1);
    QCOMPARE(sent(again, c), (QStringList{QStringLiteral("X2 17 3"), QStringLiteral("X1 17 3")}));
}

void TstRoll::biddingPage()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    roll->Page->setCurrentIndex(2);
    QCOMPARE(roll->windowTitle(), QStringLiteral("Licitálás"));
    QCOMPARE(roll->Memo->toPlainText(), QStringLiteral("Letöltés folyamatban"));
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X2 17 3")});
    QStringList seats;
    for (QLabel *l : roll->Seats)
        seats << l->text();
    QCOMPARE(seats, (QStringList{"Anna", "Béla", "Cili", "Dani"}));

    const QString bids = QStringLiteral("3 1 Gém 0 0 1 Kassza");
    feed(c, QStringLiteral("X2 17 3 ") + bids);
    QCOMPARE(roll->CurrentBoard()->Bids, bids);
    QStringList expected;
    TListForm::RenderBoard(*roll->CurrentBoard(), expected);
    QCOMPARE(expected.size(), 4);
    QCOMPARE(roll->Memo->toPlainText().split(QLatin1Char('\n')), expected);
    QCOMPARE(expected[0], QString(81, QLatin1Char(' ')) + QStringLiteral("Gém"));

    // A count that is no number: the error shows and the text stays.
    feed(c, x0("18", 1, 38783));
    feed(c, QStringLiteral("X2 18 1 1 x Gém"));
    QCOMPARE(c.dialogs->errors().size(), 1);
    QCOMPARE(roll->Memo->toPlainText().split(QLatin1Char('\n')), expected);
}

void TstRoll::replay()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    feed(c, x0("17", 3, 38783));
    roll->Page->setCurrentIndex(3);
    QCOMPARE(roll->windowTitle(), QStringLiteral("Lejátszás"));
    TPlayView *view = roll->PlayView;
    QCOMPARE(view->parentWidget(), roll->TabPlay);
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("Nick1"))->text(), QStringLiteral("Anna"));
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("Nick3"))->text(), QStringLiteral("Cili"));
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("lbBoard"))->text(), QStringLiteral("17"));
    // The view has the deal: odd board, seat 1 leads; every seat's ten cards.
    QCOMPARE(view->Leaders().Get(0), 1);
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(view->SeatHand(seat), roll->CurrentBoard()->Hands[size_t(seat)]);
    QCOMPARE(view->Replay().Completed(), 0);
    QCOMPARE(view->Replay().Shown(), 0);

    const auto press = [&](int button) { roll->ToolButtons[size_t(button - 1)]->click(); };
    for (int i = 0; i < 4; ++i)
        press(4);
    QCOMPARE(view->Replay().Completed(), 1);
    QCOMPARE(view->Replay().Shown(), 4);
    press(4);
    QCOMPARE(view->Replay().Shown(), 0);
    press(3);
    QCOMPARE(view->Replay().Completed(), 1);
    QCOMPARE(view->Replay().Shown(), 4);
    press(5);
    QCOMPARE(view->Replay().Completed(), 2);
    press(2);
    QCOMPARE(view->Replay().Completed(), 1);
    press(6);
    QCOMPARE(view->Replay().Completed(), 10);
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("lbScore"))->text(), QStringLiteral("7 : 3"));
    press(1);
    QCOMPARE(view->Replay().Completed(), 0);
    QCOMPARE(view->Replay().Shown(), 0);
    for (int i = 0; i < 6; ++i)
        QVERIFY(!roll->ToolButtons[size_t(i)]->icon().isNull());
    QCOMPARE(roll->ToolButtons[0]->size(), QSize(54, 21));
    QCOMPARE(c.dialogs->errors(), QStringList());
}

void TstRoll::menuAndCaption()
{
    TestClient c;
    TRollForm *roll = c.ctx.roll;
    QAction *mnRoll = c.frame()->findChild<QAction *>(QStringLiteral("mnRoll"));
    c.frame()->SetPlaceMenus(true);
    QVERIFY(!mnRoll->isEnabled());
    QVERIFY(!roll->HasDeals());
    feed(c, x0("17", 3, 38783));
    QVERIFY(roll->HasDeals());
    QVERIFY(mnRoll->isEnabled());
    c.frame()->SetPlaceMenus(false);
    QVERIFY(mnRoll->isEnabled());
    roll->Page->setCurrentIndex(3);
    roll->hide();
    mnRoll->trigger();
    QVERIFY(roll->isVisible());
    QCOMPARE(roll->Page->currentIndex(), 0);
    QCOMPARE(roll->windowTitle(), QStringLiteral("Leosztások"));
    QStringList tabs;
    for (int i = 0; i < roll->Page->count(); ++i)
        tabs << roll->Page->tabText(i);
    QCOMPARE(tabs, (QStringList{"Leosztások", "Eredmény", "Licitálás", "Lejátszás"}));
}

QTEST_MAIN(TstRoll)
#include "tst_roll.moc"
