// The seat a dropped connection leaves in a running deal: when the club keeps it and when it
// does not, a second login under the same nickname, the room's own timer that ends the wait,
// a held seat that outlasts its deal, and the robot's move that was due when the player came
// back.

#include "TableFixture.h"
#include "server/Wire.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTest>
#include <map>

using club::Deal;

class TestClubHold : public QObject, private TableFixture
{
    Q_OBJECT

public:
    // The basic robot: quick, and what a held seat does does not depend on how robots think.
    TestClubHold() { m_robotSamples = 0; }

private:
    Humans both(ClubClient *anna, ClubClient *bela) const
    {
        return {{1, {anna, QStringLiteral("Anna")}}, {2, {bela, QStringLiteral("Béla")}}};
    }
    // A new connection logs in as `nick`; true when the club put it in no room but the lobby.
    bool backInTheLobbyOnly(const QString &nick)
    {
        ClubClient &c = member(nick, QString());
        return c.sync() && !hasLine(c.lines, QStringLiteral("J"));
    }
    // The deal as the archive keeps it: every card once, and who sat where.
    bool storedWhole(const QString &seat1)
    {
        const auto stored = server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10);
        if (stored.isEmpty() || stored.last().names[0] != seat1)
            return false;
        QSet<int> cards;
        int count = 0;
        for (const QList<int> &byTrick : stored.last().played)
            for (int c : byTrick) {
                cards.insert(c);
                ++count;
            }
        return cards.size() == 40 && count == 40;
    }

private slots:
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    // Only a connection that drops in a running deal leaves a seat behind: not one that drops
    // between deals, nor a player who goes to another room on purpose.
    void noSeatIsKept_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("drops between deals") << "drops";
        QTest::newRow("goes back to the lobby") << "lobby";
        QTest::newRow("goes to another room") << "room";
    }
    void noSeatIsKept()
    {
        QFETCH(QString, how);
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela));
        const bool betweenDeals = how == QLatin1String("drops");
        if (betweenDeals) {
            QVERIFY(playUntil(both(anna, &bela)));
            QVERIFY(!bela.next(QStringLiteral("MSzerver: A következő")).isNull());
        }
        bela.unread();  // where the next looks begin
        const qsizetype mark = bela.lines.size();
        if (!betweenDeals) {
            anna->send(QStringLiteral("J") + (how == QLatin1String("lobby") ? club::ClubServer::LobbyName : QStringLiteral("Terem2")));
            QVERIFY(anna->sync());
        }
        hangUp(anna);
        QCOMPARE(bela.next(QStringLiteral("IAnna ")), QStringLiteral("IAnna 0"));
        QVERIFY(!bela.next(QStringLiteral("QAnna")).isNull());
        QVERIFY(bela.sync());
        const QStringList seen = bela.lines.mid(mark);
        QVERIFY2(!hasLine(seen, notice(QStringLiteral("Anna kiesett"))), qPrintable(seen.join('\n')));
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
        QVERIFY(backInTheLobbyOnly(QStringLiteral("Anna")));
        if (betweenDeals) {
            // The run of deals ends and nothing is dealt by itself; her seat is anyone's.
            QVERIFY(!seen.contains(QStringLiteral("IRobot1 1")));
            QVERIFY(seen.contains(QStringLiteral("IRobot3 0")));
            advance(Pause);
            QVERIFY(bela.sync());
            QVERIFY(!hasLine(bela.lines.mid(mark), QStringLiteral("N")));
            QVERIFY(!room()->dealRunning());
            ClubClient &cecil = member(QStringLiteral("Cecil"));
            cecil.send(QStringLiteral("I1"));
            QCOMPARE(cecil.next(QStringLiteral("I")), QStringLiteral("ICecil 1"));
        } else {
            // A robot finishes her hand under its own name, and keeps the seat for nobody.
            QVERIFY(seen.contains(QStringLiteral("IRobot1 1")));
            QVERIFY(room()->dealRunning());
            QVERIFY(playUntil({{2, {&bela, QStringLiteral("Béla")}}}));
            QVERIFY(storedWhole(QStringLiteral("Robot1")));
        }
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
    }

    // Logging in again while the old connection is still there: the old one is told and
    // closed, its seat held and given back at once to the new one, on turn, with the robot's
    // move that was due for the seat dropped.
    void aSecondLoginTakesTheSeatOver_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("inTheAuction");
        QTest::newRow("same address, in the auction") << "127.0.0.1" << true;
        QTest::newRow("another address, in the auction") << "127.0.0.2" << true;
        QTest::newRow("another address, leading a trick") << "127.0.0.3" << false;
    }
    void aSecondLoginTakesTheSeatOver()
    {
        QFETCH(QString, from);
        QFETCH(bool, inTheAuction);
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela));
        if (!inTheAuction)
            QVERIFY(playUntil(both(anna, &bela), [](const Deal &d) { return d.phase() == Deal::Phase::Playing && d.onTurn() == 1; }));
        QCOMPARE(deal()->onTurn(), 1);
        const QList<int> hand = deal()->hand(1);
        const QStringList state = deal()->spectatorLines();
        const int played = room()->dealsPlayed();
        bela.unread();

        ClubClient &again = member(QStringLiteral("Anna"), QString(), QHostAddress(from));
        QCOMPARE(anna->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Ezzel a névvel valaki máshonnan bejelentkezett")));
        QVERIFY(anna->waitClosed());
        QCOMPARE(again.next(QStringLiteral("J")), QStringLiteral("JTerem1 7 %1 Béla 2 Anna 1 Robot3 3 Robot4 4").arg(played));
        QString handLine = QStringLiteral("H1");
        for (int c : hand)
            handLine += QLatin1Char(' ') + QString::number(c);
        QCOMPARE(again.next(QStringLiteral("H")), handLine);
        QCOMPARE(again.next([](const QString &l) { return l.startsWith(QLatin1Char('B')) || l.startsWith(QLatin1Char('P')); }),
                 state.last());
        if (inTheAuction)
            QCOMPARE(again.next(QStringLiteral("B")), QStringLiteral("B"));  // her turn to bid
        QCOMPARE(again.next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna visszajött")));
        // The table saw her go and come back, in that order, and the robot sit and stand.
        const QStringList expected{QStringLiteral("IAnna 0"), QStringLiteral("IRobot1 1"),
                                   notice(QStringLiteral("Anna kiesett, egy robot játszik helyette")),
                                   QStringLiteral("IRobot1 0"), QStringLiteral("IAnna 1"),
                                   notice(QStringLiteral("Anna visszajött"))};
        for (const QString &line : expected)
            QCOMPARE(bela.next([&](const QString &l) { return l.startsWith(QLatin1Char('I')) || l.startsWith(QLatin1Char('M')); }), line);
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
        // The robot's move for her seat was due as she came back; it never came.
        QTest::qWait(50);
        QVERIFY(again.sync() && bela.sync());
        QCOMPARE(deal()->onTurn(), 1);
        QCOMPARE(deal()->hand(1), hand);
        QCOMPARE(deal()->spectatorLines().last(), state.last());
        QVERIFY(playUntil(both(&again, &bela)));
        QVERIFY(storedWhole(QStringLiteral("Anna")));
    }

    // The club's own clock, not a test's tick: a short hold ends by the room's timer, not
    // before its time, with others at the table and in a room of her own.
    void theRoomsTimerEndsTheHold_data()
    {
        QTest::addColumn<bool>("alone");
        QTest::newRow("others play on") << false;
        QTest::newRow("alone in her own room") << true;
    }
    void theRoomsTimerEndsTheHold()
    {
        QFETCH(bool, alone);
        constexpr qint64 ShortHold = 1000;
        QVERIFY(startClub(ShortHold, 0, true));
        const QString name = alone ? QStringLiteral("Terem4") : QStringLiteral("Terem1");
        auto *anna = &member(QStringLiteral("Anna"), alone ? QString() : name);
        ClubClient *bela = alone ? nullptr : &member(QStringLiteral("Béla"));
        if (alone) {
            anna->send(QStringLiteral("T"));
            QVERIFY(!anna->next(QStringLiteral("JTerem4 ")).isNull());
            anna->send(QStringLiteral("I1"));
            QVERIFY(!anna->next(QStringLiteral("H1")).isNull());
        } else {
            QVERIFY(twoAtTheTable(*anna, *bela));
        }
        QElapsedTimer since;
        since.start();
        hangUp(anna);
        if (bela)
            QVERIFY(!bela->next(QStringLiteral("MSzerver: Anna kiesett")).isNull());
        else
            QTRY_VERIFY(room(name) && room(name)->members().isEmpty());
        QVERIFY(room(name)->holdsSeatFor(QStringLiteral("Anna")));
        // Nothing but the room's timer can end it now.
        if (alone)
            QTRY_VERIFY_WITH_TIMEOUT(!room(name), 10000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(!room(name)->holdsSeatFor(QStringLiteral("Anna")), 10000);
        QVERIFY2(since.elapsed() >= ShortHold - 50, qPrintable(QString::number(since.elapsed())));
        QVERIFY(backInTheLobbyOnly(QStringLiteral("Anna")));
        if (bela) {
            // The robot's seat now: it finishes the deal.
            QVERIFY(room(name)->dealRunning());
            QVERIFY(playUntil({{2, {bela, QStringLiteral("Béla")}}}));
            QVERIFY(storedWhole(QStringLiteral("Robot1")));
        }
    }

    // A deal ends while a seat waits: its robot stays on, nobody else may sit there, and the
    // player who comes back in time gets the seat in the deal then running, or the next one.
    void aHeldSeatOutlastsItsDeal_data()
    {
        QTest::addColumn<bool>("someoneWaits");
        QTest::newRow("the table plays on") << false;
        QTest::newRow("someone waits for a seat") << true;
    }
    void aHeldSeatOutlastsItsDeal()
    {
        QFETCH(bool, someoneWaits);
        QVERIFY(startClub());
        auto *anna = &member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(twoAtTheTable(*anna, bela));
        hangUp(anna);
        QVERIFY(!bela.next(QStringLiteral("MSzerver: Anna kiesett")).isNull());
        const qsizetype mark = bela.lines.size();
        ClubClient *cecil = nullptr;
        if (someoneWaits) {
            cecil = &member(QStringLiteral("Cecil"));
            cecil->send(QStringLiteral("I1"));
            QCOMPARE(cecil->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Foglalt")));
        }
        QVERIFY(playUntil({{2, {&bela, QStringLiteral("Béla")}}}));
        QVERIFY(storedWhole(QStringLiteral("Robot1")));
        advance(Pause);
        QVERIFY(bela.sync());
        const QStringList after = bela.lines.mid(mark);
        QVERIFY2(!after.contains(QStringLiteral("IRobot1 0")), qPrintable(after.join('\n')));
        QVERIFY(room()->holdsSeatFor(QStringLiteral("Anna")));
        if (someoneWaits) {
            // Nothing is dealt; the others' robots stood up, hers did not.
            QVERIFY(!room()->dealRunning());
            QVERIFY(after.contains(QStringLiteral("IRobot3 0")));
            QVERIFY(!hasLine(after.mid(after.indexOf(QStringLiteral("IRobot3 0"))), QStringLiteral("N")));
            cecil->send(QStringLiteral("I1"));
            QCOMPARE(cecil->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Foglalt")));
            cecil->send(QStringLiteral("I3"));
            QVERIFY(!cecil->next(QStringLiteral("ICecil 3")).isNull());
            // Cecil's sitting down dealt; Anna comes back into that deal.
        } else {
            // The next deal carries her robot on.
            QVERIFY(!after.contains(QStringLiteral("IRobot3 0")));
            QVERIFY(hasLine(after.mid(after.lastIndexOf(notice(QStringLiteral("A következő leosztás 5 másodperc múlva kezdődik")))),
                            QStringLiteral("N")));
        }
        QVERIFY(room()->dealRunning());
        const int number = deal()->number();
        advance(Hold - 2 * Pause);
        QVERIFY(room()->holdsSeatFor(QStringLiteral("Anna")));
        anna = &member(QStringLiteral("Anna"), QString());
        QVERIFY(anna->next(QStringLiteral("J")).startsWith(QStringLiteral("JTerem1 %1 %2 ").arg(number).arg(room()->dealsPlayed())));
        QVERIFY(!anna->next(QStringLiteral("H1 ")).isNull());
        QCOMPARE(anna->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna visszajött")));
        QVERIFY(!room()->holdsSeatFor(QStringLiteral("Anna")));
        Humans humans = both(anna, &bela);
        if (cecil)
            humans[3] = {cecil, QStringLiteral("Cecil")};
        QVERIFY(playUntil(humans));
        QVERIFY(storedWhole(QStringLiteral("Anna")));
    }

    // The robot's move for a dropped player's seat is due after the robots' delay; the player
    // is back before it: the seat is theirs, the turn too, and no card or bid goes twice.
    void theRobotsDueMoveIsDroppedOnReturn_data()
    {
        QTest::addColumn<bool>("inTheAuction");
        QTest::newRow("in the auction") << true;
        QTest::newRow("leading a trick") << false;
    }
    void theRobotsDueMoveIsDroppedOnReturn()
    {
        QFETCH(bool, inTheAuction);
        constexpr int Delay = 1500;
        QVERIFY(startClub(Hold, Delay));
        auto *anna = &member(QStringLiteral("Anna"));
        // Béla watches: a room nobody is in would hold its robots still.
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna->send(QStringLiteral("I1"));
        QVERIFY(!anna->next(QStringLiteral("H1 ")).isNull());
        anna->send(QStringLiteral("O7"));
        QVERIFY(!anna->next(QStringLiteral("N7 ")).isNull());
        if (!inTheAuction)
            QVERIFY(playUntil({{1, {anna, QStringLiteral("Anna")}}},
                              [](const Deal &d) { return d.phase() == Deal::Phase::Playing && d.onTurn() == 1; }));
        QCOMPARE(deal()->onTurn(), 1);
        QVERIFY(anna->sync() && bela.sync());
        const QList<int> hand = deal()->hand(1);
        const QStringList state = deal()->spectatorLines();
        bela.unread();
        const qsizetype mark = bela.lines.size();

        QElapsedTimer since;
        since.start();
        hangUp(anna);
        QVERIFY(!bela.next(QStringLiteral("MSzerver: Anna kiesett")).isNull());
        anna = &member(QStringLiteral("Anna"), QString());
        QCOMPARE(anna->next(QStringLiteral("MSzerver: ")), notice(QStringLiteral("Anna visszajött")));
        // Else the robot might have acted already, and this would test nothing.
        QVERIFY2(since.elapsed() < Delay, qPrintable(QString::number(since.elapsed())));
        QVERIFY(anna->has(inTheAuction ? QStringLiteral("B") : state.last()));
        // Past the robot's delay: its move was dropped, nothing changed, she is still on turn.
        QTest::qWait(Delay + 500);
        QVERIFY(anna->sync() && bela.sync());
        QCOMPARE(deal()->onTurn(), 1);
        QCOMPARE(deal()->hand(1), hand);
        QCOMPARE(deal()->spectatorLines(), state);
        QVERIFY2(!hasLine(bela.lines.mid(mark), inTheAuction ? QStringLiteral("B") : QStringLiteral("P")), "a robot acted for her seat");
        if (inTheAuction) {
            const QString turn = deal()->basicRobotTurn(1);
            anna->send(QStringLiteral("BAnna %1").arg(turn));
            QVERIFY(QTest::qWaitFor([&] { return deal()->onTurn() != 1; }, 5000));
        } else {
            const int card = deal()->basicRobotCard(1);
            anna->send(QStringLiteral("P%1").arg(card));
            QVERIFY(QTest::qWaitFor([&] { return deal()->hand(1).size() == hand.size() - 1; }, 5000));
            QVERIFY(!deal()->hand(1).contains(card));
            // The robots follow her lead; none of them plays for her seat again.
            QVERIFY(QTest::qWaitFor([&] { return deal()->onTurn() == 3; }, 3 * Delay));
            QCOMPARE(deal()->hand(1).size(), hand.size() - 1);
        }
        QVERIFY(anna->sync());
        QVERIFY(!hasLine(anna->lines, notice(QStringLiteral("Nem te következel"))));
    }
};

QTEST_GUILESS_MAIN(TestClubHold)
#include "tst_clubhold.moc"
