// The client's real windows against a real vimo-club on loopback: log in, enter a room, sit
// down, bid, play the ten tricks through the own hand window, see the result, and fetch the
// stored deal of today.

#include "AutoPlayer.h"
#include "ClubProcess.h"
#include "ClubSteps.h"

#include "cards/Picks.h"
#include "cards/VmKibic.h"
#include "history/VmStat.h"
#include "session/Dispatch.h"
#include "session/VmFrame.h"

#include <QDate>
#include <QListWidget>
#include <QPointer>
#include <QtTest>

class TstEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void wholeDealAgainstRobots_data();
    void wholeDealAgainstRobots();
    void spectatorWatchesADeal();
    void newcomerRegistersThenLogsIn();
    void takeBackOfACard();
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
    QVERIFY2(QTest::qWaitFor([&] {
                 player.step();
                 return player.dealOver() || player.stuck;
             }, 30000),
             qPrintable(client.chatLines().join(QLatin1Char('\n'))));
    QVERIFY(!player.stuck);
    QVERIFY(player.bidTurns >= 1);
    QVERIFY(player.cardsPlayed >= 9); // the tenth may go by itself, as a last card does
    QCOMPARE(client.dialogs->errors(), QStringList());

    // The result reaches the room's chat: the tricks first, the points last.
    const auto resultLines = [&] {
        return client.chatLines().mid(chatBefore).filter(
            QRegularExpression(QStringLiteral("Vége a leosztásnak\\.|Eredmény: ")));
    };
    QTRY_COMPARE_WITH_TIMEOUT(resultLines().size(), 2, 10000);

    // Today's stored deals carry the user's name.
    QStringList history;
    ctx.dispatcher().add(QLatin1Char('X'), [&](QString &arg) { history << arg; });
    const int today = int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    frame->SendLine(QStringLiteral("X0 ") + QString::number(today));
    QTRY_VERIFY_WITH_TIMEOUT(!history.isEmpty(), 10000);
    QVERIFY2(history.first().startsWith(QLatin1String("0 ")), qPrintable(history.first()));
    QVERIFY2(history.first().contains(nick), qPrintable(history.first()));
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
