// The client's real windows against a real vimo-club on loopback: log in, enter a room, sit
// down, bid, play the ten tricks through the own hand window, see the result, and fetch the
// deal in the history: its score breakdown, its bidding and its replay, and the day chooser.

#include "AutoPlayer.h"
#include "ClubProcess.h"
#include "ClubSteps.h"

#include "cards/Picks.h"
#include "cards/VmKibic.h"
#include "history/DayNumber.h"
#include "history/VmRoll.h"
#include "history/VmSeen.h"
#include "history/VmStat.h"
#include "session/Dispatch.h"
#include "session/VmFrame.h"

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QPointer>
#include <QtTest>

namespace {

// The history tree's node of a board number, once it is there.
QTreeWidgetItem *findBoard(TRollForm *roll, int deal)
{
    const QList<QTreeWidgetItem *> found = roll->Tv->findItems(QString::number(deal), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

TSeen *openChooser()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *s = qobject_cast<TSeen *>(w); s && s->isVisible())
            return s;
    return nullptr;
}

} // namespace

class TstEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void wholeDealAgainstRobots_data();
    void wholeDealAgainstRobots();
    void spectatorWatchesADeal();
    void newcomerRegistersThenLogsIn();
    void takeBackOfACard();
    void twoDealsInARowWithoutACommand();
};

void TstEndToEnd::wholeDealAgainstRobots_data()
{
    // Odd deals open at seat 1 (the user's), even ones at seat 3.
    QTest::addColumn<int>("deal");
    QTest::newRow("deal 7") << 7;
    QTest::newRow("deal 8") << 8;
    QTest::newRow("deal 4321") << 4321;
}

void TstEndToEnd::wholeDealAgainstRobots()
{
    QFETCH(int, deal);
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH)), qPrintable(club.errorText()));
    TestClient client;
    Context &ctx = client.ctx;
    TFrame *frame = client.frame();
    const QString nick = QStringLiteral("Vendég");

    QVERIFY(LogIn(client, club.port(), nick));
    QVERIFY(EnterFirstRoom(client));
    QVERIFY(SitForDeal(client, 1, deal));
    const int chatBefore = frame->ChatLineCount();

    AutoPlayer player(ctx);
    // The user's cards in the order they left the hand, for the replay to show again.
    QList<int> ownPlayed;
    THand held = ctx.card->Hand();
    const auto track = [&] {
        const THand now = ctx.card->Hand();
        if (now.Count() == held.Count() - 1)
            for (int card : held.Cards())
                if (!now.Contains(card))
                    ownPlayed << card;
        held = now;
    };
    QVERIFY2(QTest::qWaitFor([&] {
                 player.step();
                 track();
                 return player.dealOver() || player.stuck;
             }, 30000),
             qPrintable(client.chatLines().join(QLatin1Char('\n'))));
    QVERIFY(!player.stuck);
    // The user sits at seat 1: the table's positions run seats 1, 2, 3, 4.
    const std::array<int, 4> lastTrick = ctx.desk->Current().cards;
    QVERIFY(player.bidTurns >= 1);
    QVERIFY(player.cardsPlayed >= 9); // the tenth may go by itself, as a last card does
    QCOMPARE(client.dialogs->errors(), QStringList());

    // The result reaches the room's chat: the tricks first, the points last.
    const auto resultLines = [&] {
        return client.chatLines().mid(chatBefore).filter(
            QRegularExpression(QStringLiteral("Vége a leosztásnak\\.|Eredmény: ")));
    };
    QTRY_COMPARE_WITH_TIMEOUT(resultLines().size(), 2, 10000);

    // "Korábbi leosztások..." with an empty date: the club sends today's deals, and the one
    // just played is in the history's tree under its number, with the user's name.
    TRollForm *roll = ctx.roll;
    client.dialogs->inputAnswers.enqueue(QString());
    frame->findChild<QAction *>(QStringLiteral("mnDay"))->trigger();
    QTreeWidgetItem *boardNode = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((boardNode = findBoard(roll, deal)) != nullptr, 10000);
    QVERIFY(roll->isVisible());
    QVERIFY(frame->findChild<QAction *>(QStringLiteral("mnRoll"))->isEnabled());
    roll->Tv->setCurrentItem(boardNode);
    const TBoard *played = roll->CurrentBoard();
    QVERIFY(played->Names.front() == nick);
    QCOMPARE(roll->PlayerLabels[0]->text(), nick);

    // "Eredmény": the club answers "X1" and the grid fills with its rows.
    roll->Page->setCurrentIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(roll->ScoresState(*played), TRollForm::TFetch::Known, 10000);
    QVERIFY(roll->ScGrid->item(0, 0) && !roll->ScGrid->item(0, 0)->text().trimmed().isEmpty());
    QCOMPARE(roll->lbSumm[3]->text().toLongLong(),
             roll->lbSumm[1]->text().toLongLong() - roll->lbSumm[2]->text().toLongLong());

    // "Licitálás": the club answers "X2"; the text is laid out under the four seats.
    roll->Page->setCurrentIndex(2);
    QTRY_COMPARE_WITH_TIMEOUT(roll->BidsState(*played), TRollForm::TFetch::Known, 10000);
    QStringList bidLines;
    TListForm::RenderBoard(*played, bidLines);
    QVERIFY(bidLines.size() >= 4);
    QCOMPARE(roll->Memo->toPlainText().split(QLatin1Char('\n')), bidLines);
    QCOMPARE(roll->Seats[0]->text(), nick);

    // "Lejátszás", stepped card by card to the end: the user's cards in the order played, and
    // the last trick as the table showed it.
    roll->Page->setCurrentIndex(3);
    TPlayView *view = roll->PlayView;
    QCOMPARE(view->Replay().Completed(), 0);
    // Four steps show the first trick whole, one more clears the table; every later trick
    // takes five: 49 in all.
    int steps = 0;
    while (view->Replay().Completed() < 10 && steps < 60) {
        roll->ToolButtons[3]->click();
        ++steps;
    }
    QCOMPARE(steps, 49);
    QCOMPARE(view->Replay().Shown(), 4);
    QVERIFY2(ownPlayed.size() >= 9, qPrintable(QString::number(ownPlayed.size())));
    for (qsizetype k = 0; k < ownPlayed.size(); ++k)
        QCOMPARE(view->SeatHand(1).Get(int(k)), ownPlayed[k]);
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(view->findChild<TTableCard *>(QStringLiteral("CrdDsk%1").arg(seat))->card(),
                 lastTrick[size_t(seat - 1)]);
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("lbScore"))->text(), played->Split);
    QCOMPARE(client.dialogs->errors(), QStringList());

    // "Közhír": the club's days come in the chooser "Napok", today last and chosen; OK asks
    // for that day, whose record puts the history back on its first page.
    frame->findChild<QAction *>(QStringLiteral("mnLog"))->trigger();
    TSeen *seen = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((seen = openChooser()) != nullptr, 10000);
    QVERIFY(!seen->Days().isEmpty());
    QCOMPARE(seen->Days().last(), played->Day);
    QCOMPARE(seen->fdDays->currentRow(), seen->fdDays->count() - 1);
    QCOMPARE(seen->fdDays->currentItem()->text(), DayNumber::ShortText(played->Day, QLocale()));
    const int deals = roll->DealCount();
    seen->btOk->click();
    QTRY_COMPARE_WITH_TIMEOUT(roll->Page->currentIndex(), 0, 10000);
    QCOMPARE(roll->DealCount(), deals);
    QCOMPARE(client.dialogs->errors(), QStringList());
    for (const QString &line : client.chatLines())
        QVERIFY2(!line.startsWith(QStringLiteral(">>> Ismeretlen")), qPrintable(line));
}


void TstEndToEnd::spectatorWatchesADeal()
{
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH)), qPrintable(club.errorText()));
    TestClient player;
    TestClient watcher;
    QVERIFY(LogIn(player, club.port(), QStringLiteral("Anna")) && EnterFirstRoom(player));
    QVERIFY(LogIn(watcher, club.port(), QStringLiteral("Kibic")) && EnterFirstRoom(watcher));

    // The watcher switches spectating on before the deal, the player sits down and asks
    // for deal 8.
    watcher.ctx.guard([&] { watcher.frame()->cmKibic(); });
    QVERIFY(watcher.ctx.kibic->Kibic());
    QVERIFY(SitForDeal(player, 2, 8));
    QTRY_COMPARE_WITH_TIMEOUT(watcher.frame()->lbDeal->text(), QStringLiteral("8"), 10000);

    // Once the watcher's "H0" of the new deal is answered, all four hands are in view.
    TPlayView *view = watcher.ctx.kibic->View();
    const auto heldBy = [&](int seat) {
        int held = 0;
        const THand &hand = view->SeatHand(seat);
        for (int i = 0; i < hand.Count(); ++i)
            held += hand.Get(i) != 0;
        return held;
    };
    QTRY_VERIFY_WITH_TIMEOUT(heldBy(1) == 10 && heldBy(2) == 10 && heldBy(3) == 10 && heldBy(4) == 10,
                             10000);

    AutoPlayer auto_(player.ctx);
    QVERIFY(QTest::qWaitFor([&] {
        auto_.step();
        return auto_.dealOver() || auto_.stuck;
    }, 30000));
    QVERIFY(!auto_.stuck);
    // The watcher followed every card without a complaint, and sees the last trick.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.ctx.desk->TrickNumber() == 10, 10000);
    QCOMPARE(watcher.dialogs->errors(), QStringList());
    QCOMPARE(player.dialogs->errors(), QStringList());
    QVERIFY2(watcher.ctx.kibic->windowTitle().contains(QStringLiteral("10. hívás.")), qPrintable(watcher.ctx.kibic->windowTitle()));
    QVERIFY(!watcher.ctx.card->isVisible());
}

void TstEndToEnd::newcomerRegistersThenLogsIn()
{
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH)), qPrintable(club.errorText()));
    TestClient client;
    TFrame *frame = client.frame();
    bool newUser = true;
    client.pageAnswer = TypeLogin(club.port(), QStringLiteral("Újonc"), &newUser);

    // "Nincs még felhasználó nevem": the registration form comes up, filled in and saved.
    client.ctx.guard([&] { client.ctx.connect->ShowLogin(); });
    TStat *form = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((form = frame->findChild<TStat *>()) != nullptr, 10000);
    const QPointer<TStat> registration(form);
    QCOMPARE(form->fdNick->text(), QStringLiteral("Újonc"));
    form->fdName->setText(QStringLiteral("Kovács Éva"));
    form->fdEmil->setText(QStringLiteral("eva@example.hu"));
    form->fdAddr->setText(QStringLiteral("Fő utca 1."));
    client.ctx.guard([&] { form->cmSave(); });
    QCOMPARE(client.dialogs->errors(), QStringList());
    QCOMPARE(client.dialogs->texts(QStringLiteral("message")),
             QStringList{QStringLiteral("Most lebomlik a kapcsolat és az új becenévvel kell belépni.")});
    // The club closes the connection, as the user was told, and the form is gone.
    QTRY_VERIFY_WITH_TIMEOUT(!client.ctx.link().isOpen(), 10000);
    QTRY_VERIFY(registration.isNull());

    // Logging in under the new name reaches the lobby, and the record is there.
    newUser = false;
    client.ctx.guard([&] { client.ctx.connect->ShowLogin(); });
    QTRY_VERIFY_WITH_TIMEOUT(frame->fdRooms->count() > 1, 10000);
    QCOMPARE(frame->ownNick(), QStringLiteral("Újonc"));
    frame->SendLine(QStringLiteral("DÚjonc"));
    TStat *own = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((own = frame->findChild<TStat *>()) != nullptr, 10000);
    QCOMPARE(own->fdName->text(), QStringLiteral("Kovács Éva"));
    QCOMPARE(client.dialogs->errors(), QStringList());
}

void TstEndToEnd::takeBackOfACard()
{
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH)), qPrintable(club.errorText()));
    TestClient client;
    QVERIFY(LogIn(client, club.port(), QStringLiteral("Vendég")) && EnterFirstRoom(client));
    QVERIFY(SitForDeal(client, 1, 7));

    // Play until the user's first card is on the table.
    AutoPlayer player(client.ctx);
    TCardForm *hand = client.ctx.card;
    QVERIFY(QTest::qWaitFor([&] {
        player.step();
        return player.cardsPlayed == 1 && !player.waiting();
    }, 30000));

    // "Visszavon" on the table: the robots agree, the card comes back and it is the user's
    // turn again in the same trick.
    QCOMPARE(hand->Hand().Count(), 9);
    const int trick = client.ctx.desk->TrickNumber();
    client.ctx.guard([&] { client.ctx.desk->cmUndo(); });
    QTRY_COMPARE_WITH_TIMEOUT(hand->Hand().Count(), 10, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(client.ctx.desk->SeatToAct(), 1, 10000);
    QCOMPARE(client.ctx.desk->TrickNumber(), trick);

    // The deal then goes on to its end as usual.
    QVERIFY(QTest::qWaitFor([&] {
        player.step();
        return player.dealOver() || player.stuck;
    }, 30000));
    QVERIFY(!player.stuck);
    QCOMPARE(client.dialogs->errors(), QStringList());
}

QTEST_MAIN(TstEndToEnd)
#include "tst_e2e.moc"

void TstEndToEnd::twoDealsInARowWithoutACommand()
{
    // A short pause between the deals; everything else as the club runs by default.
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH), 0, {QStringLiteral("--deal-pause"), QStringLiteral("300")}),
             qPrintable(club.errorText()));
    TestClient client;
    Context &ctx = client.ctx;
    TFrame *frame = client.frame();
    QVERIFY(LogIn(client, club.port(), QStringLiteral("Vendég")));
    QVERIFY(EnterFirstRoom(client));
    // Sitting down deals; from then on the user only bids and plays.
    client.ctx.guard([&] { frame->cmSeat(1); });
    QTRY_VERIFY_WITH_TIMEOUT(frame->ownSeat() == 1 && ctx.card->Hand().Count() == 10, 10000);

    QStringList numbers;
    for (int round = 0; round < 2; ++round) {
        const QString number = frame->lbDeal->text();
        QVERIFY(!numbers.contains(number));
        numbers << number;
        AutoPlayer player(ctx);
        QVERIFY2(QTest::qWaitFor([&] {
                     player.step();
                     return player.dealOver() || player.stuck;
                 }, 60000),
                 qPrintable(client.chatLines().join(QLatin1Char('\n')) + club.log()));
        QVERIFY(!player.stuck);
        QVERIFY(player.cardsPlayed >= 9);
        // The club says the next deal is coming, and it comes: a new number and ten new cards.
        QTRY_VERIFY_WITH_TIMEOUT(client.chatLines().contains(
                                     QStringLiteral("Szerver: A következő leosztás 1 másodperc múlva kezdődik")),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(frame->lbDeal->text() != number && ctx.card->Hand().Count() == 10
                                     && ctx.desk->TrickNumber() != 10,
                                 10000);
    }
    // Both deals ended with their results, and the robots never left the table.
    QCOMPARE(client.chatLines().filter(QRegularExpression(QStringLiteral("^Eredmény: "))).size(), 2);
    for (const QString &line : client.chatLines())
        QVERIFY2(!line.startsWith(QStringLiteral(">>> Robot")) || !line.endsWith(QStringLiteral("felállt")), qPrintable(line));
    QCOMPARE(client.dialogs->errors(), QStringList());
}
