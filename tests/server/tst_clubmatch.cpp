// The club's team matches over real sockets, on a clock the test moves: proposals and their
// refusals, invitations one at a time, the start in two rooms with the same deals, the team
// totals, waiting for the missing and cancelling, and what the store keeps across a restart.

#include "ClubClient.h"
#include "server/Matches.h"
#include "server/Wire.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using club::ClubServer;
using club::Deal;
using club::MatchRecord;

namespace {

// A match minute in the tests: short, so that the pause between two deals is short too.
constexpr qint64 Minute = 1000;
constexpr qint64 Epoch = 1741950000000;  // the fake clock's start

// Points of side 1-4 and 2-3 in an archived deal.
std::pair<qint64, qint64> Points(const club::DealRecord &d)
{
    qint64 a = 0, b = 0;
    for (const QString &row : d.scoreRows) {
        const QStringList w = row.split(QLatin1Char(' '));
        a += w[w.size() - 2].toLongLong();
        b += w.last().toLongLong();
    }
    return {a, b};
}

} // namespace

class TestClubMatch : public QObject, private ClubFixture
{
    Q_OBJECT

private:
    qint64 m_now = Epoch;
    QTemporaryDir m_dir;

    bool startClub(const QString &path = QString(), int robotDelay = 0, int maxRooms = 40)
    {
        club::ClubOptions options;
        options.limits.maxRooms = maxRooms;
        options.matchMinute = Minute;
        options.clock = [this] { return m_now; };
        options.dataPath = path;
        options.date = [] { return ClubDate; };
        options.robotDelay = robotDelay;
        server.reset();
        server = std::make_unique<ClubServer>(options);
        return server->listen(QHostAddress::LocalHost, 0);
    }
    QString waitFor(ClubClient &c, const QString &line, int ms = 5000)
    {
        return c.next([&](const QString &l) { return l == line; }, ms);
    }
    // Moves the fake clock and lets the club look at it.
    void advance(qint64 ms)
    {
        m_now += ms;
        server->matches().tick();
    }
    ClubClient &member(const QString &nick, const QHostAddress &from = QHostAddress())
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort(), from));
        ClubClient &c = *clients.back();
        if (!c.login(nick))
            qFatal("%s could not log in", qPrintable(nick));
        return c;
    }
    // Members the club knows, whether online now or not.
    void known(const QStringList &nicks)
    {
        for (const QString &nick : nicks) {
            ClubClient c(server->serverPort());
            QVERIFY(c.login(nick));
        }
    }
    QString list(ClubClient &c)
    {
        c.send(QStringLiteral("R"));
        return c.next(QStringLiteral("R0"));
    }
    static QString lineUp(const QString &first, const QString &fifth = QStringLiteral("Robot5"))
    {
        return QStringLiteral("%1 Robot2 Robot3 Robot4 %2 Robot6 Robot7 Robot8").arg(first, fifth);
    }

    // Plays every human's turns in the match rooms (the club's own robot choices, as the
    // member's client would send them) until `done`.
    bool playUntil(const std::function<bool()> &done, const QList<std::pair<ClubClient *, QString>> &humans,
                   int ms = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms)
                return false;
            bool acted = false;
            for (const auto &[client, nick] : humans) {
                for (club::Room *r : {server->findRoom(QStringLiteral("Meccs1")), server->findRoom(QStringLiteral("Meccs2"))}) {
                    if (!r || !r->dealRunning())
                        continue;
                    int seat = 0;
                    for (club::Member *m : r->members())
                        if (m->nick == nick)
                            seat = r->seatOf(m);
                    const Deal *d = r->deal();
                    if (!seat || d->onTurn() != seat)
                        continue;
                    const int before = int(client->lines.size());
                    if (d->phase() == Deal::Phase::Bidding)
                        client->send(QStringLiteral("B%1 %2").arg(nick, d->robotTurn(seat)));
                    else
                        client->send(QStringLiteral("P%1").arg(d->robotCard(seat)));
                    if (!QTest::qWaitFor([&] { return client->lines.size() > before; }, 5000))
                        return false;
                    acted = true;
                }
            }
            if (!acted)
                QTest::qWait(5);
        }
        return true;
    }

    // Anna alone with robots in the first room of a match of `deals` deals that has begun.
    ClubClient &annaInAMatch(int deals = 2)
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("R0 %1 1 ").arg(deals) + lineUp(QStringLiteral("Anna")));
        if (anna.next(QStringLiteral("M")).isNull())
            qFatal("no proposal");
        advance(Minute);
        if (anna.next(QStringLiteral("JMeccs1 ")).isNull())
            qFatal("the match did not start");
        return anna;
    }

private slots:
    void init()
    {
        m_now = Epoch;
        QVERIFY(startClub());
    }
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void pairedTotals_data()
    {
        using club::BoardResults;
        using Points = std::pair<qint64, qint64>;
        QTest::addColumn<BoardResults>("first");
        QTest::addColumn<BoardResults>("second");
        QTest::addColumn<int>("played");
        QTest::addColumn<qint64>("team1");
        QTest::addColumn<qint64>("team2");
        const std::optional<Points> dropped;
        QTest::newRow("nothing paired yet") << BoardResults{Points{40, 0}, Points{0, 12}} << BoardResults{} << 0 << qint64(0) << qint64(0);
        QTest::newRow("the faster room's extra board waits")
            << BoardResults{Points{40, 0}, Points{0, 12}} << BoardResults{Points{0, 30}} << 1 << qint64(40) << qint64(30);
        QTest::newRow("both boards in both rooms")
            << BoardResults{Points{40, 0}, Points{0, 12}} << BoardResults{Points{0, 30}, Points{5, 5}} << 2 << qint64(45) << qint64(47);
        QTest::newRow("a board dropped in one room counts in neither")
            << BoardResults{dropped, Points{0, 12}} << BoardResults{Points{0, 30}, Points{5, 5}} << 2 << qint64(5) << qint64(17);
        QTest::newRow("negative points") << BoardResults{Points{-20, 8}} << BoardResults{Points{-3, -4}} << 1 << qint64(-23) << qint64(4);
    }
    void pairedTotals()
    {
        QFETCH(club::BoardResults, first);
        QFETCH(club::BoardResults, second);
        QFETCH(int, played);
        QFETCH(qint64, team1);
        QFETCH(qint64, team2);
        QCOMPARE(club::PairTotals(first, second), (club::PairedScore{played, team1, team2}));
        // Which room is which does not matter for what counts.
        QCOMPARE(club::PairTotals(second, first), (club::PairedScore{played, team1, team2}));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("answer");
        const QString seven = QStringLiteral("Anna Béla Robot1 Robot2 Robot3 Robot4 Robot5");
        QTest::newRow("odd deals") << "R0 3 10 " + seven + " Robot6" << "A leosztások száma 2 és 16 közötti páros szám legyen";
        QTest::newRow("no deals chosen") << "R0 0 10 " + seven + " Robot6" << "A leosztások száma 2 és 16 közötti páros szám legyen";
        QTest::newRow("too many deals") << "R0 18 10 " + seven + " Robot6" << "A leosztások száma 2 és 16 közötti páros szám legyen";
        QTest::newRow("negative deals") << "R0 -2 10 " + seven + " Robot6" << "A leosztások száma 2 és 16 közötti páros szám legyen";
        QTest::newRow("no time") << "R0 2 0 " + seven + " Robot6" << "A kezdésig 1 és 60 perc közötti idő lehet";
        QTest::newRow("too late") << "R0 2 61 " + seven + " Robot6" << "A kezdésig 1 és 60 perc közötti idő lehet";
        QTest::newRow("negative time") << "R0 2 -5 " + seven + " Robot6" << "A kezdésig 1 és 60 perc közötti idő lehet";
        QTest::newRow("deals not a number") << "R0 két 10 " + seven + " Robot6" << "'két' nem érvényes egész szám";
        QTest::newRow("seven names") << "R0 2 10 " + seven << "A mérkőzéshez nyolc játékos kell";
        QTest::newRow("nine names") << "R0 2 10 " + seven + " Robot6 Robot7" << "A mérkőzéshez nyolc játékos kell";
        QTest::newRow("a name twice") << "R0 2 10 " + seven + " Béla" << "Béla kétszer szerepel a csapatokban";
        QTest::newRow("a robot twice") << "R0 2 10 " + seven + " Robot5" << "Robot5 kétszer szerepel a csapatokban";
        QTest::newRow("unknown member") << "R0 2 10 " + seven + " Zoli" << "Nincs ilyen tag: Zoli";
        QTest::newRow("names differ in case") << "R0 2 10 " + seven + " anna" << "Nincs ilyen tag: anna";
        QTest::newRow("not a robot's name") << "R0 2 10 " + seven + " Robot0" << "Nincs ilyen tag: Robot0";
        QTest::newRow("only robots") << "R0 2 10 Robot1 Robot2 Robot3 Robot4 Robot5 Robot6 Robot7 Robot8"
                                     << "Legalább egy tag játsszon a mérkőzésen";
        QTest::newRow("unknown request") << "R7 1" << "Ismeretlen kérés: R7";
        QTest::newRow("accept without id") << "R1" << "Hiányzik a mérkőzés száma";
        QTest::newRow("accept unknown") << "R1 99" << "Nincs ilyen mérkőzés: 99";
        QTest::newRow("delete unknown") << "R2 99" << "Nincs ilyen mérkőzés: 99";
        QTest::newRow("id not a number") << "R2 egy" << "'egy' nem érvényes egész szám";
        QTest::newRow("id beyond 32 bits") << "R1 99999999999" << "'99999999999' nem érvényes egész szám";
    }
    void refusals()
    {
        QFETCH(QString, line);
        QFETCH(QString, answer);
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(line);
        QCOMPARE(anna.next(QStringLiteral("M")), notice(answer));
        QCOMPARE(list(anna), QStringLiteral("R0"));
        QVERIFY(server->store().matches(10).isEmpty());
    }

    void proposalIsListedAndCounted()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        for (int k = 1; k <= 3; ++k) {
            anna.send(QStringLiteral("R0 4 10 ") + lineUp(QStringLiteral("Anna")));
            QCOMPARE(anna.next(QStringLiteral("M")),
                     notice(QStringLiteral("A mérkőzés (%1) meghirdetve, 10 perc múlva kezdődik").arg(k)));
        }
        anna.send(QStringLiteral("R0 4 10 ") + lineUp(QStringLiteral("Anna")));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Egyszerre legfeljebb 3 mérkőzést hirdethetsz meg")));
        // A fresh member from the same address is no way round it.
        ClubClient &other = member(QStringLiteral("Dani"));
        other.send(QStringLiteral("R0 4 10 ") + lineUp(QStringLiteral("Dani")));
        QCOMPARE(other.next(QStringLiteral("M")),
                 notice(QStringLiteral("Erről a címről egyszerre legfeljebb 3 mérkőzés hirdethető meg")));
        // Someone else elsewhere may still propose; the minutes round up.
        ClubClient &bela = member(QStringLiteral("Béla"), QHostAddress(QStringLiteral("127.0.0.2")));
        advance(Minute / 2);
        bela.send(QStringLiteral("R0 2 1 ") + lineUp(QStringLiteral("Anna")));
        QVERIFY(!bela.next(QStringLiteral("M")).isNull());
        QCOMPARE(list(bela), QStringLiteral("R0 4 -1 10 1 - - 4 -1 10 2 - - 4 -1 10 3 - - 2 -1 1 4 - -"));
        // The proposer deletes an own match before it starts; one that is not theirs they cannot.
        bela.send(QStringLiteral("R2 1"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Ezt a mérkőzést nem törölheted")));
        anna.send(QStringLiteral("R2 2"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés (2) elmarad: Anna törölte")));
        QCOMPARE(list(anna), QStringLiteral("R0 4 -1 10 1 - - 4 -1 10 3 - - 2 -1 1 4 - -"));
        QCOMPARE(server->store().matches(10).size(), 3);
    }

    void invitationsOneAtATime()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        anna.send(QStringLiteral("R0 4 20 ") + lineUp(QStringLiteral("Béla"), QStringLiteral("Anna")));
        QVERIFY(anna.sync());
        QVERIFY(bela.sync());
        // Only the first invitation has come; the proposer gets none for her own.
        QCOMPARE(bela.lines.filter(QRegularExpression(QStringLiteral("^R"))),
                 QStringList{"R1 1 2 10 Anna Robot2 Robot3 Robot4 Béla Robot6 Robot7 Robot8"});
        QVERIFY(anna.lines.filter(QRegularExpression(QStringLiteral("^R"))).isEmpty());
        // The answer brings the next; asking for the list is an "R" asked for.
        advance(3 * Minute);
        bela.send(QStringLiteral("R1 1"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Elfogadtad: a mérkőzés (1) 7 perc múlva kezdődik")));
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 2 4 17 Béla Robot2 Robot3 Robot4 Anna Robot6 Robot7 Robot8"));
        // Anna proposed the second herself: she is not asked.
        QVERIFY(anna.sync());
        QVERIFY(anna.lines.filter(QRegularExpression(QStringLiteral("^R"))).isEmpty());

        // Cili logs in later and gets hers after the lobby snapshot.
        anna.send(QStringLiteral("R0 2 30 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Cili")));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Nincs ilyen tag: Cili")));
        known({QStringLiteral("Cili")});
        anna.send(QStringLiteral("R0 2 30 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Cili")));
        QVERIFY(!anna.next(QStringLiteral("M")).isNull());
        ClubClient &cili = connectClient();
        QVERIFY(cili.login(QStringLiteral("Cili")));
        QCOMPARE(cili.next(QStringLiteral("R")), QStringLiteral("R1 3 2 30 Anna Robot2 Robot3 Robot4 Cili Robot6 Robot7 Robot8"));
    }

    void proposerInvitedLaterGetsNoOwn()
    {
        // Anna is in the line-up of Béla's match and gets his invitation; her own she does not.
        known({QStringLiteral("Anna")});
        ClubClient &bela = member(QStringLiteral("Béla"));
        ClubClient &anna = member(QStringLiteral("Anna"));
        bela.send(QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Béla"), QStringLiteral("Anna")));
        QCOMPARE(anna.next(QStringLiteral("R")), QStringLiteral("R1 1 2 10 Béla Robot2 Robot3 Robot4 Anna Robot6 Robot7 Robot8"));
        QVERIFY(bela.sync());
        QVERIFY(bela.lines.filter(QRegularExpression(QStringLiteral("^R"))).isEmpty());
    }

    void declineCancelsAndTellsTheOthers()
    {
        known({QStringLiteral("Béla"), QStringLiteral("Cili")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        ClubClient &cili = member(QStringLiteral("Cili"));
        anna.send(QStringLiteral("R0 2 10 Anna Béla Cili Robot4 Robot5 Robot6 Robot7 Robot8"));
        QVERIFY(!bela.next(QStringLiteral("R1 1 ")).isNull());
        QVERIFY(!cili.next(QStringLiteral("R1 1 ")).isNull());
        bela.send(QStringLiteral("R2 1"));
        const QString gone = notice(QStringLiteral("A mérkőzés (1) elmarad: Béla nem vállalta"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés (1) meghirdetve, 10 perc múlva kezdődik")));
        QCOMPARE(anna.next(QStringLiteral("M")), gone);
        QCOMPARE(bela.next(QStringLiteral("M")), gone);
        QCOMPARE(cili.next(QStringLiteral("M")), gone);
        // Cili's client still shows the invitation; closing it declines what is gone: no word.
        const qsizetype mark = cili.lines.size();
        cili.send(QStringLiteral("R2 1"));
        QVERIFY(cili.sync());
        QCOMPARE(cili.lines.mid(mark), QStringList{"Y"});
        // An accept of it later is told why not.
        QCOMPARE(list(anna), QStringLiteral("R0"));
        QVERIFY(server->store().matches(10).isEmpty());
        bela.send(QStringLiteral("R1 1"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Nincs ilyen mérkőzés: 1")));
    }

    void cancelledInvitationMakesWayForTheNext()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        anna.send(QStringLiteral("R0 2 20 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 1 2 10 ") + lineUp("Anna", "Béla"));
        anna.send(QStringLiteral("R2 1"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés (1) elmarad: Anna törölte")));
        // The next one replaces it; the client's own decline of the old one changes nothing.
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 2 2 20 ") + lineUp("Anna", "Béla"));
        bela.send(QStringLiteral("R2 1"));
        QVERIFY(bela.sync());
        QCOMPARE(list(anna), QStringLiteral("R0 2 -1 20 2 - -"));
        bela.send(QStringLiteral("R1 2"));
        QVERIFY(!bela.next(QStringLiteral("M")).isNull());
        QCOMPARE(server->matches().find(2)->accepted, (std::array<bool, 8>{true, true, true, true, true, true, true, true}));
    }

    void matchPlaysSameDealsInTwoRoomsToTheEnd()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        ClubClient &cili = member(QStringLiteral("Cili"));
        // Anna at position 1 (the first room, seat 1), Béla at position 6 (the second room, seat 2):
        // both on team 1.
        anna.send(QStringLiteral("R0 2 2 Anna Robot2 Robot3 Robot4 Robot5 Béla Robot7 Robot8"));
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 1 2 2 Anna Robot2 Robot3 Robot4 Robot5 Béla Robot7 Robot8"));
        bela.send(QStringLiteral("R1 1"));
        QVERIFY(!bela.next(QStringLiteral("M")).isNull());
        advance(Minute);
        QCOMPARE(list(cili), QStringLiteral("R0 2 -1 1 1 - -"));
        QVERIFY(!server->findRoom(QStringLiteral("Meccs1")));
        advance(Minute);
        // Started: each in their room and seat, the lobby told of the rooms.
        QVERIFY(!waitFor(anna, notice(QStringLiteral("A mérkőzés (1) elkezdődött: Meccs1 és Meccs2"))).isNull());
        QVERIFY(!anna.next(QStringLiteral("JMeccs1 ")).isNull());
        QVERIFY(!bela.next(QStringLiteral("JMeccs2 ")).isNull());
        QCOMPARE(anna.next(QStringLiteral("I")), QStringLiteral("IAnna 1"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IBéla 2"));
        QVERIFY(cili.next(QStringLiteral("L")).contains(QStringLiteral(" Meccs1 1 Anna Meccs2 1 Béla")));
        club::Room *room1 = server->findRoom(QStringLiteral("Meccs1"));
        club::Room *room2 = server->findRoom(QStringLiteral("Meccs2"));
        QVERIFY(room1 && room2);
        QCOMPARE(room1->deal()->number(), room2->deal()->number());
        QCOMPARE(list(cili), QStringLiteral("R0 2 0 0 0 Meccs1 Meccs2"));
        // The host cannot deal in a match room, nor may anyone sit in another's seat.
        anna.send(QStringLiteral("O1"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés leosztásai maguktól jönnek")));
        cili.send(QStringLiteral("JMeccs2"));
        QVERIFY(!cili.next(QStringLiteral("JMeccs2")).isNull());

        QVERIFY(playUntil([&] { return server->matches().find(1)->state == MatchRecord::Finished; },
                          {{&anna, QStringLiteral("Anna")}, {&bela, QStringLiteral("Béla")}}));
        const MatchRecord result = *server->matches().find(1);
        QCOMPARE(result.played, 2);
        // Every deal went into the archive: two boards, each played in both rooms.
        const auto stored = server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10);
        QCOMPARE(stored.size(), 4);
        QMap<QString, QList<club::DealRecord>> byBoard;
        for (const club::DealRecord &d : stored)
            byBoard[d.board] << d;
        QCOMPARE(byBoard.size(), 2);
        qint64 team1 = 0, team2 = 0;
        for (const auto &pair : std::as_const(byBoard)) {
            QCOMPARE(pair.size(), 2);
            for (const club::DealRecord &d : pair) {
                const bool first = d.names[0] == QLatin1String("Anna");
                QCOMPARE(d.names[first ? 0 : 1], first ? QStringLiteral("Anna") : QStringLiteral("Béla"));
                const auto [a, b] = Points(d);
                team1 += first ? a : b;
                team2 += first ? b : a;
            }
        }
        QCOMPARE(result.score1, team1);
        QCOMPARE(result.score2, team2);
        const QString final = QStringLiteral("A mérkőzés (1) véget ért: Csapat 1. %1 : %2 Csapat 2.").arg(team1).arg(team2);
        QVERIFY(!anna.next([&](const QString &l) { return l == notice(final); }).isNull());
        QVERIFY(!bela.next([&](const QString &l) { return l == notice(final); }).isNull());
        QVERIFY(!cili.next([&](const QString &l) { return l == notice(final); }).isNull());
        // Finished: -3, then the minutes since the end.
        QCOMPARE(list(cili), QStringLiteral("R0 2 -3 %1 %2 Meccs1 Meccs2").arg(team1).arg(team2));
        advance(12 * Minute + Minute / 2);
        QCOMPARE(list(cili), QStringLiteral("R0 2 -12 %1 %2 Meccs1 Meccs2").arg(team1).arg(team2));
        // The rooms are ordinary now: they go when their last member leaves.
        QVERIFY(server->findRoom(QStringLiteral("Meccs1")));
        anna.send(QStringLiteral("J") + ClubServer::LobbyName);
        QVERIFY(!anna.next(QStringLiteral("L")).isNull());
        QTRY_VERIFY(!server->findRoom(QStringLiteral("Meccs1")));
        QVERIFY(server->findRoom(QStringLiteral("Meccs2")));
    }

    void missingPlayerWaitsThenCancels()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("R0 2 1 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        QVERIFY(!anna.next(QStringLiteral("M")).isNull());
        advance(Minute);
        QVERIFY(!waitFor(anna, notice(QStringLiteral("A mérkőzés (1) még 5 percig vár: Béla nem fogadta el a meghívást"))).isNull());
        QCOMPARE(list(anna), QStringLiteral("R0 2 -2 5 1 - -"));
        advance(2 * Minute);
        QCOMPARE(list(anna), QStringLiteral("R0 2 -2 3 1 - -"));
        // The reason is told when it changes, not at every look.
        const qsizetype mark = anna.lines.size();
        advance(Minute);
        QVERIFY(anna.sync());
        QCOMPARE(anna.lines.mid(mark), QStringList{"Y"});
        advance(2 * Minute);
        QCOMPARE(anna.next(QStringLiteral("M")),
                 notice(QStringLiteral("A mérkőzés (1) elmarad: nem kezdődhetett el: Béla nem fogadta el a meghívást")));
        QCOMPARE(list(anna), QStringLiteral("R0"));
        QVERIFY(server->store().matches(10).isEmpty());
    }

    void lateAnswerStartsAtOnce()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("R0 2 1 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        QVERIFY(!anna.next(QStringLiteral("M")).isNull());
        advance(2 * Minute);
        QCOMPARE(list(anna), QStringLiteral("R0 2 -2 4 1 - -"));
        // Béla logs in during the grace time: the invitation says 0 minutes; his yes starts it.
        ClubClient &bela = member(QStringLiteral("Béla"));
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 1 2 0 ") + lineUp("Anna", "Béla"));
        bela.send(QStringLiteral("R1 1"));
        QVERIFY(!bela.next(QStringLiteral("JMeccs2 ")).isNull());
        QVERIFY(!anna.next(QStringLiteral("JMeccs1 ")).isNull());
    }

    void playerBusyElsewhereIsWaitedFor()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("R0 2 1 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
        QVERIFY(!bela.next(QStringLiteral("R1 1 ")).isNull());
        bela.send(QStringLiteral("R1 1"));
        QVERIFY(bela.enter(QStringLiteral("Terem1")));
        bela.send(QStringLiteral("I1"));
        QVERIFY(!bela.next(QStringLiteral("H1")).isNull());
        advance(Minute);
        QCOMPARE(anna.next([](const QString &l) { return l.contains(QStringLiteral("vár:")); }),
                 notice(QStringLiteral("A mérkőzés (1) még 5 percig vár: Béla éppen játszik")));
        QVERIFY(!server->findRoom(QStringLiteral("Meccs1")));
        // Standing up frees him; the next look starts the match and takes him away.
        bela.send(QStringLiteral("I0"));
        QVERIFY(bela.sync());
        advance(Minute / 10);
        QVERIFY(!bela.next(QStringLiteral("JMeccs2 ")).isNull());
    }

    void droppedPlayerIsReplacedAndComesBack()
    {
        // Robots that take a little time, so that Béla is back before his room has finished.
        QVERIFY(startClub(QString(), 20));
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        auto *bela = &member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("R0 4 1 Anna Robot2 Robot3 Robot4 Béla Robot6 Robot7 Robot8"));
        QVERIFY(!bela->next(QStringLiteral("R1 1 ")).isNull());
        bela->send(QStringLiteral("R1 1"));
        QVERIFY(!bela->next(QStringLiteral("M")).isNull());
        advance(Minute);
        QVERIFY(!bela->next(QStringLiteral("JMeccs2 ")).isNull());
        club::Room *room2 = server->findRoom(QStringLiteral("Meccs2"));
        QVERIFY(room2 && room2->dealRunning());
        // Béla goes; a robot finishes his hand, and the room plays on with nobody in it.
        clients.erase(std::find_if(clients.begin(), clients.end(), [&](const auto &c) { return c.get() == bela; }));
        QTRY_VERIFY_WITH_TIMEOUT(room2->members().isEmpty(), 5000);
        QVERIFY(room2->dealRunning());
        // He comes back: after the lobby, his match room; from the next deal his seat again.
        bela = &connectClient();
        QVERIFY(bela->login(QStringLiteral("Béla")));
        QVERIFY(!bela->next(QStringLiteral("JMeccs2 ")).isNull());
        QVERIFY(!bela->next(QStringLiteral("IBéla 1"), 15000).isNull());
        QVERIFY(playUntil([&] { return server->matches().find(1)->state == MatchRecord::Finished; },
                          {{&anna, QStringLiteral("Anna")}, {bela, QStringLiteral("Béla")}}));
        QCOMPARE(server->matches().find(1)->played, 4);
    }

    void keptAcrossARestart()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("club.sqlite"));
        clients.clear();
        QVERIFY(startClub(path));
        known({QStringLiteral("Béla")});
        {
            ClubClient &anna = member(QStringLiteral("Anna"));
            ClubClient &bela = member(QStringLiteral("Béla"));
            // A pending match Béla accepted, one he did not answer, and one that is running.
            anna.send(QStringLiteral("R0 4 30 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
            anna.send(QStringLiteral("R0 6 40 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
            anna.send(QStringLiteral("R0 2 1 Robot1 Robot2 Robot3 Robot4 Anna Robot6 Robot7 Robot8"));
            QVERIFY(!bela.next(QStringLiteral("R1 1 ")).isNull());
            bela.send(QStringLiteral("R1 1"));
            QVERIFY(!bela.next(QStringLiteral("R1 2 ")).isNull());
            QVERIFY(anna.sync());
            advance(Minute);
            QVERIFY(!anna.next(QStringLiteral("JMeccs2 ")).isNull());
            // The first room, all robots, plays its two deals; Anna's room waits for her.
            club::Room *room1 = server->findRoom(QStringLiteral("Meccs1"));
            QTRY_VERIFY_WITH_TIMEOUT(room1->dealsPlayed() == 2, 10000);
        }
        const MatchRecord before = *server->matches().find(3);
        QCOMPARE(before.state, int(MatchRecord::Running));
        QCOMPARE(before.played, 0);
        const auto archived = server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10);
        QCOMPARE(archived.size(), 2);
        // The first room's boards wait for the second room to play them: nothing counts yet,
        // whatever the robots scored.
        QCOMPARE(std::make_pair(before.score1, before.score2), std::make_pair(qint64(0), qint64(0)));
        QCOMPARE(server->store().matches(10).last().score1 + server->store().matches(10).last().score2, 0);
        clients.clear();
        server.reset();

        m_now += 2 * Minute;
        QVERIFY(startClub(path));
        const MatchRecord *after = server->matches().find(3);
        QVERIFY(after);
        QCOMPARE(after->state, int(MatchRecord::Finished));
        QCOMPARE(std::make_pair(after->score1, after->score2), std::make_pair(before.score1, before.score2));
        ClubClient &anna = member(QStringLiteral("Anna"));
        // Pending matches keep their times; the running one ended with its score so far.
        QCOMPARE(list(anna), QStringLiteral("R0 4 -1 27 1 - - 6 -1 37 2 - - 2 -3 %1 %2 Meccs1 Meccs2")
                                 .arg(before.score1).arg(before.score2));
        // Answers are kept too: Béla is asked only about the second.
        ClubClient &bela = member(QStringLiteral("Béla"));
        QCOMPARE(bela.next(QStringLiteral("R")), QStringLiteral("R1 2 6 37 ") + lineUp("Anna", "Béla"));
    }

    void nobodyTakesAnotherPlayersSeat()
    {
        // Seats held for someone: the line-up's in a match room, a dropped player's anywhere.
        QVERIFY(startClub(QString(), 60000));
        known({QStringLiteral("Cili")});
        ClubClient &anna = annaInAMatch();
        ClubClient &cili = member(QStringLiteral("Cili"));
        QVERIFY(cili.enter(QStringLiteral("Meccs1")));
        club::Room *room = server->findRoom(QStringLiteral("Meccs1"));
        QVERIFY(room->dealRunning());
        const QString taken = notice(QStringLiteral("Foglalt"));
        const auto sit = [&](ClubClient &c, int seat) {
            c.send(QStringLiteral("I%1").arg(seat));
            return c.next(QStringLiteral("M"));
        };
        QCOMPARE(sit(cili, 1), taken);  // Anna's, Anna sitting
        QCOMPARE(sit(cili, 2), taken);  // a robot's line-up seat
        // Anna stands up: her robot keeps the seat for the rest of the deal, for her too.
        anna.send(QStringLiteral("I0"));
        QVERIFY(!anna.next(QStringLiteral("IRobot1 1")).isNull());
        QCOMPARE(sit(cili, 1), taken);
        QCOMPARE(sit(anna, 1), taken);
        QCOMPARE(sit(anna, 3), taken);

        // An ordinary room: Béla drops in a deal, his seat waits for him.
        ClubClient &dora = member(QStringLiteral("Dóra"));
        QVERIFY(dora.enter(QStringLiteral("Terem1")));
        {
            ClubClient bela(server->serverPort());
            QVERIFY(bela.login(QStringLiteral("Béla")));
            QVERIFY(bela.enter(QStringLiteral("Terem1")));
            bela.send(QStringLiteral("I2"));
            QVERIFY(!bela.next(QStringLiteral("H2")).isNull());
        }
        QVERIFY(!dora.next(notice(QStringLiteral("Béla kiesett, egy robot játszik helyette"))).isNull());
        QVERIFY(server->findRoom(QStringLiteral("Terem1"))->holdsSeatFor(QStringLiteral("Béla")));
        QCOMPARE(sit(dora, 2), taken);
        QCOMPARE(sit(dora, 1), taken);  // the seats the robots took for the deal
    }

    void nobodySendsPlayersOutNorTakesBack()
    {
        known({QStringLiteral("Cili")});
        ClubClient &anna = annaInAMatch();
        // Anna steps out, Cili comes in first and is host when Anna comes back.
        anna.send(QStringLiteral("J") + ClubServer::LobbyName);
        QVERIFY(!anna.next(QStringLiteral("L")).isNull());
        ClubClient &cili = member(QStringLiteral("Cili"));
        QVERIFY(cili.enter(QStringLiteral("Meccs1")));
        QVERIFY(!cili.next(QStringLiteral("TCili")).isNull());
        QVERIFY(anna.enter(QStringLiteral("Meccs1")));
        QCOMPARE(anna.next(QStringLiteral("T")), QStringLiteral("TCili"));
        cili.send(QStringLiteral("AAnna"));
        QCOMPARE(cili.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés játékosát nem lehet kiküldeni")));
        QVERIFY(anna.sync());
        QCOMPARE(server->findRoom(QStringLiteral("Meccs1"))->nicks(), (QStringList{"Cili", "Anna"}));
        // A host may still send out whoever only watches.
        cili.send(QStringLiteral("J") + ClubServer::LobbyName);
        QVERIFY(!cili.next(QStringLiteral("L")).isNull());
        QVERIFY(cili.enter(QStringLiteral("Meccs1")));
        anna.send(QStringLiteral("ACili"));
        QCOMPARE(cili.next(QStringLiteral("M")), notice(QStringLiteral("Anna kiküldött a teremből")));
        // No take-back: the robots would always agree.
        anna.send(QStringLiteral("V"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzésen nincs visszavonás")));
    }

    void memberWhoNeverActsStillEnds()
    {
        ClubClient &anna = annaInAMatch();
        // Anna's client is silent. Each look after the turn limit lets a robot act for her.
        int looks = 0;
        while (server->matches().find(1)->state != MatchRecord::Finished && looks++ < 80) {
            m_now += 90000;
            server->tick();
            server->matches().tick();
            QTest::qWait(Minute / 20 + 20);
        }
        const MatchRecord *done = server->matches().find(1);
        QCOMPARE(done->state, int(MatchRecord::Finished));
        // Played out, both boards in both rooms, not cut short.
        QCOMPARE(done->played, 2);
        QCOMPARE(server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10).size(), 4);
        QVERIFY(anna.has(notice(QStringLiteral("Anna ideje lejárt, helyette a robot lépett"))));
        // Her turns only: her seat stayed hers.
        QVERIFY(!anna.has(QStringLiteral("IRobot1 1")));
    }

    void overdueMatchEndsWithPairedScore()
    {
        ClubClient &anna = annaInAMatch();
        // The robots' room plays both boards; Anna's waits on her first turn.
        club::Room *robots = server->findRoom(QStringLiteral("Meccs2"));
        QTRY_VERIFY_WITH_TIMEOUT(robots->dealsPlayed() == 2, 20000);
        advance(3 * 3600000);
        QVERIFY(server->matches().find(1)->state == MatchRecord::Running);
        // Past the latest end any match could have: it ends, with the boards both rooms finished.
        advance(3 * 3600000);
        const MatchRecord *done = server->matches().find(1);
        QCOMPARE(done->state, int(MatchRecord::Finished));
        QCOMPARE(done->played, 0);
        QCOMPARE(std::make_pair(done->score1, done->score2), std::make_pair(qint64(0), qint64(0)));
        QVERIFY(!waitFor(anna, notice(QStringLiteral("A mérkőzés (1) véget ért: Csapat 1. 0 : 0 Csapat 2."))).isNull());
        QCOMPARE(server->store().matches(10).first().state, int(MatchRecord::Finished));
    }

    void runningMatchKeepsItsCardsToItself()
    {
        known({QStringLiteral("Cili")});
        ClubClient &anna = annaInAMatch();
        ClubClient &cili = member(QStringLiteral("Cili"));
        club::Room *robots = server->findRoom(QStringLiteral("Meccs2"));
        QTRY_VERIFY_WITH_TIMEOUT(robots->dealsPlayed() >= 1, 20000);
        const auto stored = server->store().dealsOfDay(club::wire::DayNumber(ClubDate), 10);
        QVERIFY(!stored.isEmpty());
        const QString board = stored.first().board;
        const QString ask = QStringLiteral("X1 %1 1").arg(board);

        struct Refused { ClubClient *who; QString line; QString answer; };
        const QList<Refused> refused{
            {&anna, QStringLiteral("X0 0"), QStringLiteral("Erről a napról nincs tárolt leosztás")},
            {&anna, ask, QStringLiteral("A mérkőzés leosztásai a mérkőzés végéig nem nézhetők meg")},
            {&anna, QStringLiteral("X2 %1 1").arg(board), QStringLiteral("A mérkőzés leosztásai a mérkőzés végéig nem nézhetők meg")},
            {&anna, QStringLiteral("H0"), QStringLiteral("A mérkőzés játékosa nem lehet kibic")},
            {&anna, QStringLiteral("JMeccs2"), QStringLiteral("A mérkőzés másik termébe a végéig nem mehetsz be")},
            {&anna, QStringLiteral("ACili szia"), QStringLiteral("Mérkőzés közben nem küldhetsz privát üzenetet")},
            {&cili, QStringLiteral("AAnna szia"), QStringLiteral("Anna mérkőzésen játszik, most nem kaphat privát üzenetet")},
        };
        for (const Refused &r : refused) {
            r.who->send(r.line);
            QCOMPARE(r.who->next(QStringLiteral("M")), notice(r.answer));
        }
        QCOMPARE(server->findRoom(QStringLiteral("Meccs1"))->nicks(), QStringList{"Anna"});
        // Others see the deals as always.
        cili.send(QStringLiteral("X0 0"));
        QVERIFY(!cili.next(QStringLiteral("X0")).isNull());
        cili.send(ask);
        QVERIFY(!cili.next(QStringLiteral("X1")).isNull());

        // The end lifts it all.
        advance(6 * 3600000);
        QCOMPARE(server->matches().find(1)->state, int(MatchRecord::Finished));
        anna.send(ask);
        QVERIFY(!anna.next(QStringLiteral("X1")).isNull());
        anna.send(QStringLiteral("ACili szia"));
        QVERIFY(!cili.next(QStringLiteral("MAnna privát üzenete: szia")).isNull());
    }

    // The number of a board is on show at its table; dealt by number in another room, it must
    // not give the match's cards away while the match runs.
    void boardDealtElsewhereIsNotTheMatchsDeal()
    {
        known({QStringLiteral("Cili")});
        ClubClient &anna = annaInAMatch();
        const QString dealLine = anna.next(QStringLiteral("N"));
        const QString matchHand = anna.next(QStringLiteral("H1 "));
        QVERIFY(!matchHand.isNull());
        const int board = dealLine.mid(1).section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY(board >= 2);
        ClubClient &cili = member(QStringLiteral("Cili"));
        cili.send(QStringLiteral("T"));
        QVERIFY(!cili.next(QStringLiteral("J")).isNull());
        cili.send(QStringLiteral("I1"));
        QVERIFY(!cili.next(QStringLiteral("N")).isNull());
        cili.send(QStringLiteral("O%1").arg(board));
        QVERIFY(!cili.next(QStringLiteral("N%1 ").arg(board)).isNull());
        const QString elsewhere = cili.next(QStringLiteral("H1 "));
        QVERIFY(!elsewhere.isNull());
        QVERIFY(elsewhere != matchHand);
        // Both rooms of the match still deal the board alike.
        club::Room *robots = server->findRoom(QStringLiteral("Meccs2"));
        QCOMPARE(robots->deal()->number(), board);
    }

    void invitationsToOneMemberAreRationed()
    {
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        const QString proposal = QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla"));
        for (int k = 1; k <= 5; ++k) {
            anna.send(proposal);
            QVERIFY(!anna.next(QStringLiteral("MSzerver: A mérkőzés (%1) meghirdetve").arg(k)).isNull());
            anna.send(QStringLiteral("R2 %1").arg(k));
            QVERIFY(!anna.next(QStringLiteral("MSzerver: A mérkőzés (%1) elmarad").arg(k)).isNull());
        }
        anna.send(proposal);
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Béla már elég meghívást kapott innen, próbáld később")));
        // Nor under another name from the same address.
        ClubClient &dani = member(QStringLiteral("Dani"));
        dani.send(QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Dani"), QStringLiteral("Béla")));
        QCOMPARE(dani.next(QStringLiteral("M")), notice(QStringLiteral("Béla már elég meghívást kapott innen, próbáld később")));
        // An hour later it may go again.
        advance(60 * Minute);
        anna.send(proposal);
        QVERIFY(!anna.next(QStringLiteral("MSzerver: A mérkőzés (6) meghirdetve")).isNull());
        QVERIFY(bela.sync());
    }

    void goneInvitationsRememberedAreBounded()
    {
        known({QStringLiteral("Béla")});
        ClubClient &bela = member(QStringLiteral("Béla"));
        // Proposers enough that none of them sends lines faster than a member may.
        QList<std::pair<ClubClient *, QString>> proposers;
        for (const QString &nick : {"Anna", "Cili", "Dani", "Emil", "Feri"})
            proposers << std::make_pair(&member(nick, QHostAddress(QStringLiteral("127.0.0.%1").arg(proposers.size() + 2))), nick);
        // Béla's client shows every invitation and never answers; each match goes while shown.
        const int matches = club::MatchBook::StaleKept + 5;
        for (int k = 1; k <= matches; ++k) {
            auto &[proposer, nick] = proposers[k % proposers.size()];
            proposer->send(QStringLiteral("R0 2 10 ") + lineUp(nick, QStringLiteral("Béla")));
            QVERIFY(!bela.next(QStringLiteral("R1 %1 ").arg(k)).isNull());
            proposer->send(QStringLiteral("R2 %1").arg(k));
            QVERIFY(!proposer->next(QStringLiteral("MSzerver: A mérkőzés (%1) elmarad").arg(k)).isNull());
            // Within the ration of invitations and the pace of proposals (each proposer's "R0"
            // refills at two a minute on the club's clock).
            advance(30 * Minute);
        }
        QVERIFY(bela.sync());
        const club::Member *b = nullptr;
        for (club::Member *m : server->findRoom(ClubServer::LobbyName)->members())
            if (m->nick == QStringLiteral("Béla"))
                b = m;
        QVERIFY(b);
        QCOMPARE(b->staleInvitations.size(), club::MatchBook::StaleKept);
        // The latest are the ones kept: his client's late decline of the last is still taken silently.
        const qsizetype mark = bela.lines.size();
        bela.send(QStringLiteral("R2 %1").arg(matches));
        QVERIFY(bela.sync());
        QCOMPARE(bela.lines.mid(mark), QStringList{"Y"});
    }

    void roomsAreKeptForADueMatch()
    {
        // Two rooms free besides the three always open.
        QVERIFY(startClub(QString(), 0, 5));
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        bela.send(QStringLiteral("T"));
        QVERIFY(!bela.next(QStringLiteral("JTerem4 ")).isNull());
        bela.send(QStringLiteral("J") + ClubServer::LobbyName);
        QVERIFY(!bela.next(QStringLiteral("L")).isNull());
        QTRY_VERIFY(!server->findRoom(QStringLiteral("Terem4")));
        // A match due within a minute, every answer in: its two rooms are not for "T".
        anna.send(QStringLiteral("R0 2 1 ") + lineUp(QStringLiteral("Anna")));
        QVERIFY(!anna.next(QStringLiteral("M")).isNull());
        bela.send(QStringLiteral("T"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Több terem nem nyitható")));
        advance(Minute);
        QVERIFY(!anna.next(QStringLiteral("JMeccs1 ")).isNull());
    }

    void cancelledMatchStaysGoneIfItsDeletionFailed()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("cancel.sqlite"));
        clients.clear();
        QVERIFY(startClub(path));
        {
            // The disk refuses the deletion, as a full or broken one would.
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("saboteur"));
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER nodelete BEFORE DELETE ON lineups BEGIN SELECT RAISE(ABORT, 'no'); END")));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("saboteur"));
        {
            ClubClient &anna = member(QStringLiteral("Anna"));
            anna.send(QStringLiteral("R0 2 10 ") + lineUp(QStringLiteral("Anna")));
            QVERIFY(!anna.next(QStringLiteral("M")).isNull());
            anna.send(QStringLiteral("R2 1"));
            QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("A mérkőzés (1) elmarad: Anna törölte")));
        }
        clients.clear();
        QVERIFY(startClub(path));
        ClubClient &anna = member(QStringLiteral("Anna"));
        QCOMPARE(list(anna), QStringLiteral("R0"));
    }

    void renamedMemberKeepsTheLineUpPlace()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("rename.sqlite"));
        clients.clear();
        QVERIFY(startClub(path));
        known({QStringLiteral("Béla")});
        ClubClient &anna = member(QStringLiteral("Anna"));
        {
            ClubClient bela(server->serverPort());
            QVERIFY(bela.login(QStringLiteral("Béla")));
            anna.send(QStringLiteral("R0 2 2 ") + lineUp(QStringLiteral("Anna"), QStringLiteral("Béla")));
            QVERIFY(!bela.next(QStringLiteral("R1 1 ")).isNull());
            bela.send(QStringLiteral("R1 1"));
            QVERIFY(!bela.next(QStringLiteral("MSzerver: Elfogadtad")).isNull());
            bela.send(QStringLiteral("D1 Nagy Béla;bela@example.hu;Bandi;1234 Budapest;Fő u. 2;;;;"));
            QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Az új beceneved Bandi, ezzel jelentkezz be újra.")));
            QVERIFY(bela.waitClosed());
        }
        // The old name is free; a stranger who takes it takes nothing else.
        ClubClient &stranger = member(QStringLiteral("Béla"), QHostAddress(QStringLiteral("127.0.0.3")));
        QVERIFY(stranger.sync());
        QVERIFY(stranger.lines.filter(QRegularExpression(QStringLiteral("^R"))).isEmpty());
        stranger.send(QStringLiteral("R1 1"));
        QCOMPARE(stranger.next(QStringLiteral("M")), notice(QStringLiteral("Erre a mérkőzésre nem szól meghívásod")));
        // The store says the same, after a restart too.
        clients.clear();
        QVERIFY(startClub(path));
        const MatchRecord kept = server->store().matches(10).first();
        QCOMPARE(kept.lineUp[4], QStringLiteral("Bandi"));
        QVERIFY(kept.accepted[4]);
        ClubClient &anna2 = member(QStringLiteral("Anna"));
        ClubClient &bandi = member(QStringLiteral("Bandi"));
        member(QStringLiteral("Béla"), QHostAddress(QStringLiteral("127.0.0.3")));
        advance(2 * Minute);
        QVERIFY(!anna2.next(QStringLiteral("JMeccs1 ")).isNull());
        QVERIFY(!bandi.next(QStringLiteral("JMeccs2 ")).isNull());
        QCOMPARE(bandi.next(QStringLiteral("I")), QStringLiteral("IBandi 1"));
    }
};

QTEST_MAIN(TestClubMatch)
#include "tst_clubmatch.moc"
