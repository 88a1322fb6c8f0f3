// A table that keeps playing, on a clock the test moves: the next deal after a pause and the
// cases that stop it, and the seat a dropped connection leaves, kept by a robot until its
// player logs in again.

#include "TableFixture.h"
#include "server/Wire.h"

#include <QSet>
#include <QTest>
#include <map>

using club::Deal;

class TestClubFlow : public QObject, private TableFixture
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void aloneTheDealsFollowEachOther()
    {
        QVERIFY(startClub());
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(playUntil({{1, {&anna, QStringLiteral("Anna")}}}));
        QCOMPARE(anna.next(QStringLiteral("MSzerver: A következő")),
                 notice(QStringLiteral("A következő leosztás 5 másodperc múlva kezdődik")));
        QVERIFY(anna.sync());
        // The robots keep their seats through the pause.
        QVERIFY(!hasLine(anna.lines, QStringLiteral("IRobot2 0")));
        // sync() moves the cursor past its own answer, so the lines to look at are kept apart.
        const qsizetype mark = anna.lines.size();
        advance(Pause - 1);
        QVERIFY(anna.sync());
        QVERIFY(!hasLine(anna.lines.mid(mark), QStringLiteral("N")));
        advance(1);
        QCOMPARE(anna.next(QStringLiteral("N")), club::wire::DealLine(deal()->number(), 1));
        QVERIFY(!anna.next(QStringLiteral("H1 ")).isNull());
        QVERIFY(deal()->phase() == Deal::Phase::Bidding);
        // And once more: a second deal ends the same way.
        QVERIFY(playUntil({{1, {&anna, QStringLiteral("Anna")}}}));
        QVERIFY(!anna.next(QStringLiteral("MSzerver: A következő")).isNull());
        advance(Pause);
        QCOMPARE(anna.next(QStringLiteral("N")), club::wire::DealLine(deal()->number(), 2));
        QCOMPARE(room()->dealsPlayed(), 2);
    }

    void whatStopsTheNextDeal_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("someone waits for a seat") << "waits";
        QTest::newRow("someone watches") << "watches";
        QTest::newRow("the player stands up in the pause") << "stands";
        QTest::newRow("someone comes in during the pause") << "comes";
    }
    void whatStopsTheNextDeal()
    {
        QFETCH(QString, what);
        QVERIFY(startClub());
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(anna.sync());
        ClubClient *bela = nullptr;
        if (what == QLatin1String("waits") || what == QLatin1String("watches")) {
            bela = &member(QStringLiteral("Béla"));
            if (what == QLatin1String("watches")) {
                bela->send(QStringLiteral("H0"));
                QVERIFY(bela->sync());
            }
        }
        QVERIFY(playUntil({{1, {&anna, QStringLiteral("Anna")}}}));
        if (what == QLatin1String("stands")) {
            QVERIFY(!anna.next(QStringLiteral("MSzerver: A következő")).isNull());
            anna.send(QStringLiteral("I0"));
        } else if (what == QLatin1String("comes")) {
            QVERIFY(!anna.next(QStringLiteral("MSzerver: A következő")).isNull());
            bela = &member(QStringLiteral("Béla"));
            advance(Pause);
        }
        // The robots stand up so that people can sit down, and nothing is dealt by itself.
        for (int s = 2; s <= 4; ++s)
            QCOMPARE(anna.next(QStringLiteral("IRobot%1 ").arg(s)), QStringLiteral("IRobot%1 0").arg(s));
        if (what == QLatin1String("waits") || what == QLatin1String("watches"))
            QVERIFY(!hasLine(anna.lines, notice(QStringLiteral("A következő"))));
        anna.unread();
        const qsizetype mark = anna.lines.size();
        advance(10 * Pause);
        QVERIFY(anna.sync());
        QVERIFY(!hasLine(anna.lines.mid(mark), QStringLiteral("N")));
        QVERIFY(!room()->dealRunning());
        // Who sits down starts the next one, as ever.
        (bela ? *bela : anna).send(bela ? QStringLiteral("I3") : QStringLiteral("I1"));
        QVERIFY(!anna.next(QStringLiteral("N")).isNull());
        QVERIFY(room()->dealRunning());
    }

    void twoPlayersPlayOnAndTheHostMayCutThePauseShort()
    {
        QVERIFY(startClub());
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(anna, bela, 7));
        QVERIFY(playUntil({{1, {&anna, QStringLiteral("Anna")}}, {2, {&bela, QStringLiteral("Béla")}}}));
        QVERIFY(!bela.next(QStringLiteral("MSzerver: A következő")).isNull());
        anna.send(QStringLiteral("O9"));
        QCOMPARE(bela.next(QStringLiteral("N")), club::wire::DealLine(9, 2));
        // The pause was cut short: its end deals nothing more.
        const qsizetype mark = bela.lines.size();
        advance(Pause);
        QVERIFY(bela.sync());
        QVERIFY(!hasLine(bela.lines.mid(mark), QStringLiteral("N")));
        QCOMPARE(deal()->number(), 9);
    }

    void aSeatHeldForWhoeverDrops_data()
    {
        QTest::addColumn<bool>("inTheAuction");
        QTest::newRow("in the auction") << true;
        QTest::newRow("in the middle of a trick") << false;
    }
    void aSeatHeldForWhoeverDrops()
    {
        QFETCH(bool, inTheAuction);
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela, 7));
        // Deal 7 opens with seat 1: Anna drops on turn in the auction, or after her lead.
        if (!inTheAuction) {
            QVERIFY(playUntil({{1, {anna, QStringLiteral("Anna")}}, {2, {&bela, QStringLiteral("Béla")}}},
                              [](const Deal &d) { return d.phase() == Deal::Phase::Playing && d.hand(1).size() == 9; }));
            QCOMPARE(deal()->onTurn(), 2);
        } else {
            QCOMPARE(deal()->onTurn(), 1);
        }
        bela.unread();
        hangUp(anna);
        QCOMPARE(bela.next(QStringLiteral("IAnna ")), QStringLiteral("IAnna 0"));
        QCOMPARE(bela.next(QStringLiteral("IRobot1 ")), QStringLiteral("IRobot1 1"));
        QCOMPARE(bela.next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna kiesett, egy robot játszik helyette")));
        // The robot plays on for her until the table waits for Béla again.
        if (inTheAuction)
            QVERIFY(QTest::qWaitFor([&] { return deal()->onTurn() == 2; }, 5000));
        else
            QVERIFY(playUntil({{2, {&bela, QStringLiteral("Béla")}}},
                              [](const Deal &d) { return d.onTurn() == 2 && d.hand(1).size() < 9; }));
        QVERIFY(room()->holdsSeatFor(QStringLiteral("Anna")));
        const QList<int> handLeft = deal()->hand(1);
        const QStringList state = deal()->spectatorLines();
        bela.unread();

        anna = &connectClient();
        QVERIFY(anna->login(QStringLiteral("Anna")));
        QCOMPARE(anna->next(QStringLiteral("J")), QStringLiteral("JTerem1 7 1 Béla 2 Anna 1 Robot3 3 Robot4 4"));
        QString hand = QStringLiteral("H1");
        for (int c : handLeft)
            hand += QLatin1Char(' ') + QString::number(c);
        QCOMPARE(anna->next(QStringLiteral("H")), hand);
        // The bid text or the trick on show, as a spectator coming in would get it; not her turn.
        QCOMPARE(anna->next([](const QString &l) { return l.startsWith(QLatin1Char('B')) || l.startsWith(QLatin1Char('P')); }),
                 state.last());
        QCOMPARE(anna->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna visszajött")));
        QVERIFY(anna->sync());
        QVERIFY(!anna->lines.contains(QStringLiteral("B")));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IRobot1 0"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IAnna 1"));
        QCOMPARE(bela.next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna visszajött")));
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));

        // Both play the deal out; Anna's cards are hers again and none goes twice.
        QVERIFY(playUntil({{1, {anna, QStringLiteral("Anna")}}, {2, {&bela, QStringLiteral("Béla")}}}));
        QVERIFY(deal()->phase() == Deal::Phase::Done);
        const auto stored = server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.last().names, (std::array<QString, 4>{"Anna", "Béla", "Robot3", "Robot4"}));
        QSet<int> cards;
        for (const QList<int> &byTrick : stored.last().played)
            for (int c : byTrick)
                cards.insert(c);
        QCOMPARE(cards.size(), 40);
        // The same table goes on.
        QVERIFY(!anna->next(QStringLiteral("MSzerver: A következő")).isNull());
    }

    void aloneTheDealWaitsForThePlayer()
    {
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        anna->send(QStringLiteral("I1"));
        // She drops in the play, on turn, with a card of a trick down or about to lead.
        QVERIFY(playUntil({{1, {anna, QStringLiteral("Anna")}}},
                          [](const Deal &d) { return d.phase() == Deal::Phase::Playing && d.onTurn() == 1 && d.hand(1).size() <= 9; }));
        const int number = deal()->number();
        const QList<int> before = deal()->hand(1);
        const QString trick = deal()->spectatorLines().last();
        hangUp(anna);
        QTRY_VERIFY(room()->members().isEmpty());
        // Nobody is there to play for: the robots wait, her own included.
        advance(Hold - 1);
        QVERIFY(room()->dealRunning());
        QCOMPARE(deal()->hand(1), before);

        anna = &connectClient();
        QVERIFY(anna->login(QStringLiteral("Anna")));
        QVERIFY(anna->next(QStringLiteral("J")).startsWith(QStringLiteral("JTerem1 %1 ").arg(number)));
        QVERIFY(!anna->next(QStringLiteral("H1")).isNull());
        QCOMPARE(anna->next(QStringLiteral("P")), trick);
        QVERIFY(trick.startsWith(QStringLiteral("P1 ")) || trick.startsWith(QStringLiteral("P-1 ")));
        // Her card, not the robot's.
        anna->send(QStringLiteral("P%1").arg(deal()->basicRobotCard(1)));
        QVERIFY(!anna->next(QStringLiteral("H1")).isNull());
        QCOMPARE(deal()->hand(1).size(), before.size() - 1);
        QVERIFY(playUntil({{1, {anna, QStringLiteral("Anna")}}}));
    }

    void aHeldSeatEndsAndItsRoomCloses()
    {
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"), QString());
        anna->send(QStringLiteral("T"));
        QVERIFY(!anna->next(QStringLiteral("JTerem4 ")).isNull());
        anna->send(QStringLiteral("I1"));
        QVERIFY(!anna->next(QStringLiteral("H1")).isNull());
        hangUp(anna);
        QTRY_VERIFY(room(QStringLiteral("Terem4")) && room(QStringLiteral("Terem4"))->members().isEmpty());
        // The room stays while her seat waits for her...
        advance(Hold - 1);
        QVERIFY(room(QStringLiteral("Terem4")));
        // ...and goes with its deal when the time is up.
        advance(1);
        QVERIFY(!room(QStringLiteral("Terem4")));
        anna = &connectClient();
        QVERIFY(anna->login(QStringLiteral("Anna")));
        QVERIFY(anna->sync());
        QVERIFY(!hasLine(anna->lines, QStringLiteral("J")));
    }

    void aHeldSeatEndsWhileOthersPlayOn()
    {
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela, 7));
        hangUp(anna);
        QVERIFY(!bela.next(QStringLiteral("MSzerver: Anna kiesett")).isNull());
        advance(Hold);
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
        // Too late: she comes back to the lobby, and the robot finishes the deal for her.
        anna = &connectClient();
        QVERIFY(anna->login(QStringLiteral("Anna")));
        QVERIFY(anna->sync());
        QVERIFY(!hasLine(anna->lines, QStringLiteral("J")));
        QVERIFY(room()->dealRunning());
        QVERIFY(playUntil({{2, {&bela, QStringLiteral("Béla")}}}));
        QCOMPARE(server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10).last().names[0], QStringLiteral("Robot1"));
    }

    void noSeatIsHeldWhenTheClubKeepsNone()
    {
        QVERIFY(startClub(0));
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela, 7));
        hangUp(anna);
        QCOMPARE(bela.next(QStringLiteral("IRobot1 ")), QStringLiteral("IRobot1 1"));
        QVERIFY(bela.sync());
        QVERIFY(!hasLine(bela.lines, notice(QStringLiteral("Anna kiesett"))));
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
    }
};

QTEST_GUILESS_MAIN(TestClubFlow)
#include "tst_clubflow.moc"
