// The main window: its menu, its states, the chat pane and the program's windows.

#include "TestClient.h"

#include "app/Context.h"
#include "app/Dialogs.h"
#include "bidding/Points.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "cards/VmKibic.h"
#include "history/VmStat.h"
#include "history/VmMatch.h"
#include "history/VmRoll.h"
#include "session/ClickLabel.h"
#include "session/VmConnect.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QPointer>

class TstFrame : public QObject
{
    Q_OBJECT
private slots:
    void windowsInOrderWithCaptions();
    void menuLayout();
    void menuStates();
    void shortcutOfDisabledMenuDoesNothing();
    void logLinePrunes();
    void chatIsPlainText();
    void emptySeatTexts();
    void startUpWritesVersion();
    void closeQuery_data();
    void closeQuery();
    void closingEndsTheProgram_data();
    void closingEndsTheProgram();
    void aboutBox();
    void messageBoxShowsServerTextLiterally();
    void helpPageShipsWithProgram();
};

void TstFrame::windowsInOrderWithCaptions()
{
    TestClient c;
    const Context &ctx = c.ctx;
    const QList<QPair<QWidget *, QString>> windows = {
        {ctx.frame, QStringLiteral("Vimo Tarokk")},
        {ctx.connect, QStringLiteral("Bejelentkezés")},
        {ctx.kibic, QStringLiteral("Kibic")},
        {ctx.bid, QStringLiteral("Licitálás")},
        {ctx.card, QStringLiteral("Lapok")},
        {ctx.desk, QStringLiteral("Asztal")},
        {ctx.list, QStringLiteral("Licitek")},
        {ctx.tk, QStringLiteral("Bemondások jutalma és büntetése")},
        {ctx.roll, QStringLiteral("Leosztások")},
        {ctx.match, QStringLiteral("Csapatmérkőzés")},
    };
    for (const auto &[window, caption] : windows) {
        QVERIFY(window);
        QVERIFY2(window->isWindow(), qPrintable(caption));
        QVERIFY(!window->parentWidget());
        QCOMPARE(window->windowTitle(), caption);
    }
    QCOMPARE(ctx.applicationTitle(), QStringLiteral("Vimo tarokk"));
}

// One row per menu entry in order: "name|caption|shortcut", "-" for a separator.
static QStringList describe(QMenu *menu)
{
    QStringList rows;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            rows << QStringLiteral("-");
        else
            rows << a->objectName() + QLatin1Char('|') + a->text() + QLatin1Char('|')
                    + a->shortcut().toString(QKeySequence::PortableText);
    }
    return rows;
}

void TstFrame::menuLayout()
{
    TestClient c;
    QMenuBar *bar = c.frame()->menuBar();
    QStringList top;
    for (QAction *a : bar->actions())
        top << a->objectName() + QLatin1Char('|') + a->text();
    QCOMPARE(top, (QStringList{"mnEnviron|Külvilág", "mnMsgs|&Üzenetek", "mnRoom|&Terem",
                               "mnView|Nézet", "mnPlay|&Játék", "mnHelp|&Súgó"}));

    const auto menu = [&](const char *name) { return c.frame()->findChild<QMenu *>(name); };
    QCOMPARE(describe(menu("mnEnviron")),
             (QStringList{"mnConnect|&Csatlakozás|", "mnPassw|&Jelszócsere...|", "-",
                          "mnExit|Kilépés|"}));
    QCOMPARE(describe(menu("mnMsgs")),
             (QStringList{"mnMsg|&Elküld (mindenkinek)|Ctrl+M", "mnPrivate|&Privát (csak egynek)|Ctrl+P",
                          "-", "mnPing|&Válaszidő|Ctrl+I", "mnLog|&Közhír|",
                          "mnStat|&Személyes adatok...|"}));
    QCOMPARE(describe(menu("mnRoom")),
             (QStringList{"mnEnter|&Belépés a terembe|", "mnLeave|&Vissza a társalgóba|", "-",
                          "mnSeats|&Leül|", "mnStand|&Feláll|Ctrl+F", "mnDisc|&Eltávolít...|", "-",
                          "mnTable|Új &terem|Ctrl+T"}));
    QCOMPARE(describe(menu("mnSeats")),
             (QStringList{"mnSeat1|&1. << Induló|", "mnSeat2|&2. << Elfogó|",
                          "mnSeat3|&3. Induló >>|", "mnSeat4|&4. Elfogó >>|"}));
    QCOMPARE(describe(menu("mnView")),
             (QStringList{"mnBids|&Licitek...|", "mnRoll|L&eosztások...|",
                          "mnDay|K&orábbi leosztások...|", "mnPoint|&Pontok...|", "-",
                          "mnKibic|&Kibic|Ctrl+K", "mnSetup|&Beállítások...|"}));
    QCOMPARE(describe(menu("mnPlay")),
             (QStringList{"mnUndo|&Visszavon|Ctrl+U", "mnPrev|&Előző ütés|Ctrl+E", "-",
                          "mnNC|Versenyen &kívül|", "mnSkip|Új &osztás|Ctrl+O", "-",
                          "mnMatch|&Mérkőzések...|"}));
    QCOMPARE(describe(menu("mnHelp")),
             (QStringList{"mnContent|&Tartalom|", "-", "mnAbout|&Névjegy|"}));
    QVERIFY(c.frame()->menuItem("mnKibic")->isCheckable());
}

void TstFrame::menuStates()
{
    TestClient c;
    TFrame *f = c.frame();
    const auto enabled = [&](const char *name) { return f->menuItem(name)->isEnabled(); };

    f->SetSessionEnabled(false);
    for (const char *name : {"mnMsgs", "mnRoom", "mnView", "mnPlay", "mnPassw"})
        QVERIFY2(!enabled(name), name);
    for (const char *name : {"mnEnviron", "mnConnect", "mnExit", "mnHelp"})
        QVERIFY2(enabled(name), name);
    QVERIFY(!f->fdRooms->isEnabled());
    QVERIFY(!f->fdMsg->isEnabled());
    QVERIFY(!f->btTable->isEnabled());

    f->menuItem("mnDisc")->setEnabled(false);
    f->SetPlaceMenus(true); // in the lobby
    for (const char *name : {"mnMsgs", "mnRoom", "mnView", "mnPlay", "mnPassw", "mnEnter", "mnTable"})
        QVERIFY2(enabled(name), name);
    for (const char *name : {"mnLeave", "mnSeats", "mnStand", "mnKibic", "mnRoll", "mnBids",
                             "mnUndo", "mnPrev", "mnNC", "mnSkip"})
        QVERIFY2(!enabled(name), name);
    QVERIFY(!enabled("mnDisc")); // not touched by the place menus
    QVERIFY(f->fdRooms->isEnabled() && f->fdMsg->isEnabled() && f->btTable->isEnabled());

    f->SetPlaceMenus(false); // in a room
    for (const char *name : {"mnLeave", "mnSeats", "mnStand", "mnKibic"})
        QVERIFY2(enabled(name), name);
    for (const char *name : {"mnEnter", "mnTable", "mnBids", "mnUndo", "mnPrev", "mnNC", "mnSkip"})
        QVERIFY2(!enabled(name), name);
}

void TstFrame::shortcutOfDisabledMenuDoesNothing()
{
    TestClient c;
    c.frame()->SetSessionEnabled(false);
    // mnLog sends "Y"; with no connection that would be an error box if it ran.
    c.frame()->menuItem("mnLog")->trigger();
    QVERIFY(c.dialogs->shown.isEmpty());
    c.frame()->SetSessionEnabled(true);
    c.frame()->menuItem("mnLog")->trigger();
    QCOMPARE(c.dialogs->errors(), QStringList{QStringLiteral("Nincs kapcsolat a szerverrel.")});
}

void TstFrame::logLinePrunes()
{
    TestClient c;
    TFrame *f = c.frame();
    for (int i = 0; i < 334; ++i)
        f->AppendChat(QString::number(i));
    QCOMPARE(f->ChatLineCount(), 334);
    f->LogLine(QStringLiteral("A"), QStringLiteral("b"));
    QCOMPARE(f->ChatLineCount(), 100);
    QCOMPARE(c.chatLines().first(), QStringLiteral("235"));
    QCOMPARE(c.chatLines().last(), QStringLiteral(">>> A b"));

    // Appending directly never prunes; at 333 lines LogLine does not prune either.
    TestClient d;
    for (int i = 0; i < 500; ++i)
        d.frame()->AppendChat(QStringLiteral("x"));
    QCOMPARE(d.frame()->ChatLineCount(), 500);
    TestClient e;
    for (int i = 0; i < 333; ++i)
        e.frame()->AppendChat(QStringLiteral("x"));
    e.frame()->LogLine(QString(), QString());
    QCOMPARE(e.frame()->ChatLineCount(), 334);
    QCOMPARE(e.chatLines().last(), QStringLiteral(">>>  "));
}

void TstFrame::chatIsPlainText()
{
    TestClient c;
    c.frame()->LogLine(QStringLiteral("<img src=x>"), QStringLiteral("<b>x</b>\u00A0y"));
    QCOMPARE(c.chatLines().last(), QStringLiteral(">>> <img src=x> <b>x</b>\u00A0y"));
}

void TstFrame::emptySeatTexts()
{
    QCOMPARE(TFrame::EmptySeatText(1), QStringLiteral("- - -  "));
    QCOMPARE(TFrame::EmptySeatText(2), QStringLiteral(" - - - "));
    QCOMPARE(TFrame::EmptySeatText(3), QStringLiteral("- - - "));
    QCOMPARE(TFrame::EmptySeatText(4), QStringLiteral(" - - -"));
    QCOMPARE(TFrame::EmptySeatText(0), QString());
    QCOMPARE(TFrame::EmptySeatText(5), QString());
    TestClient c;
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(c.frame()->seatField(seat)->text(), TFrame::EmptySeatText(seat));
}

void TstFrame::startUpWritesVersion()
{
    TestClient c;
    c.frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(c.frame()));
    QCOMPARE(c.chatLines().first(), QStringLiteral(">>>   Vimo Tarokk   2.0  ß 5 verzió"));
    // The table reads who sits where from the room page's seat fields.
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(c.ctx.desk->SeatField(seat), static_cast<QLabel *>(c.frame()->seatField(seat)));
    QVERIFY(!c.frame()->menuItem("mnMsgs")->isEnabled());
    QCOMPARE(c.frame()->statusPanel(0)->text(), QStringLiteral("Bejelentkezés"));
    QCOMPARE(c.frame()->statusPanel(1)->text(), QStringLiteral("Nincs kapcsolat"));
}

void TstFrame::closeQuery_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("question off") << false << false << true;
    QTest::newRow("question on, yes") << true << true << true;
    QTest::newRow("question on, no") << true << false << false;
}

void TstFrame::closeQuery()
{
    QFETCH(bool, ask);
    QFETCH(bool, answer);
    QFETCH(bool, closes);
    TestClient c;
    c.frame()->show(); // loads the settings
    c.ctx.connect->fdExit->setChecked(ask);
    c.dialogs->yesNoAnswers.enqueue(answer);
    c.frame()->menuItem("mnExit")->trigger();
    QCOMPARE(c.frame()->isVisible(), !closes);
    QCOMPARE(c.dialogs->texts(QStringLiteral("yesno")),
             ask ? QStringList{QStringLiteral("Valóban elhagyod a klubbot?")} : QStringList{});
}

void TstFrame::closingEndsTheProgram_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("never connected") << "never";
    QTest::newRow("connected") << "connected";
    QTest::newRow("connection lost") << "lost";
}

// Whatever the connection did, closing the main window leaves no window on the screen:
// a window still shown would keep the program running with no main window to end it.
void TstFrame::closingEndsTheProgram()
{
    QFETCH(QString, state);
    FakeClub club;
    TestClient c;
    c.frame()->show();
    c.ctx.connect->fdExit->setChecked(false);
    if (state != QLatin1String("never"))
        QVERIFY(c.connectTo(club));
    for (QWidget *w : {static_cast<QWidget *>(c.ctx.card), static_cast<QWidget *>(c.ctx.desk),
                       static_cast<QWidget *>(c.ctx.bid), static_cast<QWidget *>(c.ctx.list),
                       static_cast<QWidget *>(c.ctx.tk), static_cast<QWidget *>(c.ctx.roll),
                       static_cast<QWidget *>(c.ctx.match)})
        w->show();
    c.ctx.kibic->SetKibic(true);
    c.ctx.kibic->show();
    QPointer<TStat> stat = TStat::ReceiveStat(c.ctx, QStringLiteral("2 ;;Anna;"));
    QVERIFY(stat && stat->isVisible());
    if (state == QLatin1String("lost")) {
        club.closeClient();
        QTRY_VERIFY(c.chatLines().contains(QStringLiteral(">>> A kapcsolat mexakadt")));
    }

    // The program's own loop runs, as in main(): it must end by itself once the main
    // window is closed (the watchdog's code 1 means it did not).
    QTimer::singleShot(0, c.frame(), [&] { c.frame()->menuItem("mnExit")->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!c.frame()->isVisible());
    QStringList shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown << w->objectName();
    QCOMPARE(shown, QStringList());
    QVERIFY(!c.ctx.kibic->Kibic());
}

void TstFrame::aboutBox()
{
    TestClient c;
    c.frame()->menuItem("mnAbout")->trigger();
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")),
             QStringList{QStringLiteral("      Vimo tarokk         \n\r   2.0  ß 5 verzió")});
}

void TstFrame::messageBoxShowsServerTextLiterally()
{
    QtDialogs dialogs;
    QString format;
    QString text;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        format = box->textFormat() == Qt::PlainText ? QStringLiteral("plain") : QStringLiteral("rich");
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.error(QStringLiteral("<img src=x> nem regisztrált név"));
    QCOMPARE(format, QStringLiteral("plain"));
    QCOMPARE(text, QStringLiteral("<img src=x> nem regisztrált név"));
    QCOMPARE(dialogs.depth(), 0);
}

void TstFrame::helpPageShipsWithProgram()
{
    QFile page(QStringLiteral(":/help/sugo.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (const char *topic : {"Bejelentkezés", "Belépés egy terembe", "Leülés", "Licitálás", "Kijátszás"})
        QVERIFY2(html.contains(QString::fromUtf8(topic)), topic);
}

QTEST_MAIN(TstFrame)
#include "tst_frame.moc"
