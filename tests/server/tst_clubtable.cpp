// The club's tables over real sockets: deals with robots, numbered deals, spectators,
// take-back, members leaving mid-deal, and the archive of finished deals.

#include "ClubClient.h"
#include "server/Wire.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using club::ClubServer;
using club::Deal;

class TestClubTable : public QObject, private ClubFixture
{
    Q_OBJECT

private:

    ClubClient &member(const QString &nick, const QString &room = QStringLiteral("Terem1"))
    {
        ClubClient &c = connectClient();
        if (!c.login(nick) || !c.enter(room))
            qFatal("%s could not get into %s", qPrintable(nick), qPrintable(room));
        return c;
    }
    const Deal *deal(const QString &room = QStringLiteral("Terem1")) const
    {
        club::Room *r = server->findRoom(room);
        return r ? r->deal() : nullptr;
    }
    static int today() { return club::wire::DayNumber(ClubDate); }

    // Waits for the seat's turn and sends what the rules' own robot would choose there, as
    // the member's client would send it.
    bool act(ClubClient &c, const QString &nick, int seat, const QString &room = QStringLiteral("Terem1"))
    {
        if (!QTest::qWaitFor([&] {
                const Deal *d = deal(room);
                return d && d->phase() != Deal::Phase::Done && d->onTurn() == seat;
            }, 5000))
            return false;
        const Deal *d = deal(room);
        if (d->phase() == Deal::Phase::Bidding)
            c.send(QStringLiteral("B%1 %2").arg(nick, d->robotTurn(seat)));
        else
            c.send(QStringLiteral("P%1").arg(d->robotCard(seat)));
        return true;
    }
    // Plays the deal in `room` to its end for the humans at the given seats.
    bool playOut(const std::map<int, std::pair<ClubClient *, QString>> &humans,
                 const QString &room = QStringLiteral("Terem1"))
    {
        for (int step = 0; step < 400; ++step) {
            if (!QTest::qWaitFor([&] {
                    const Deal *d = deal(room);
                    return d && (d->phase() == Deal::Phase::Done || humans.count(d->onTurn()));
                }, 5000))
                return false;
            const Deal *d = deal(room);
            if (d->phase() == Deal::Phase::Done)
                return true;
            const int seat = d->onTurn();
            const auto &[client, nick] = humans.at(seat);
            const int before = int(client->lines.size());
            if (!act(*client, nick, seat, room))
                return false;
            // The club answers every action; wait for it so that the next look is fresh.
            if (!QTest::qWaitFor([&] { return client->lines.size() > before; }, 5000))
                return false;
        }
        return false;
    }

    // Anna, alone with robots at seat 1, bids on until the play has begun and she is on turn
    // with cards to spare; a deal that ends in the auction is followed by a new one.
    bool reachPlay(ClubClient &anna)
    {
        for (int step = 0; step < 200; ++step) {
            if (!QTest::qWaitFor([&] { return deal() && (deal()->phase() == Deal::Phase::Done || deal()->onTurn() == 1); }, 5000))
                return false;
            if (deal()->phase() == Deal::Phase::Done) {
                anna.send(QStringLiteral("O1"));
                if (!QTest::qWaitFor([&] { return deal()->phase() != Deal::Phase::Done; }, 5000))
                    return false;
                continue;
            }
            if (deal()->phase() == Deal::Phase::Playing && deal()->hand(1).size() >= 2)
                return true;
            if (!act(anna, QStringLiteral("Anna"), 1) || !anna.sync())
                return false;
        }
        return false;
    }


private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void sittingDownStartsADealThatRobotsPlayToTheEnd()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("I1"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IAnna 1"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IRobot2 2"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IRobot3 3"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IRobot4 4"));
        const QString dealLine = bela.next(QStringLiteral("N"));
        QVERIFY(deal());
        QCOMPARE(dealLine, club::wire::DealLine(deal()->number(), 0));
        QVERIFY(deal()->number() >= 2);
        QVERIFY(!anna.next(QStringLiteral("H1")).isNull());
        // A member who only watches gets no one's cards.
        QVERIFY(bela.lines.filter(QRegularExpression(QStringLiteral("^H"))).isEmpty());

        const int number = deal()->number();
        QVERIFY(playOut({{1, {&anna, QStringLiteral("Anna")}}}));
        const QStringList results = deal()->resultTexts();
        QVERIFY(!results.isEmpty());
        for (const QString &text : results)
            QCOMPARE(bela.next(QStringLiteral("M")), QStringLiteral("M") + text);
        // The robots give their seats back; Anna stays.
        for (int s = 2; s <= 4; ++s)
            QCOMPARE(bela.next(QStringLiteral("IRobot")), QStringLiteral("IRobot%1 0").arg(s));

        const auto stored = server->store().dealsOfDay(today(), 10);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].board, QString::number(number));
        QCOMPARE(stored[0].id, 1);
        QCOMPARE(stored[0].day, today());
        QCOMPARE(stored[0].names, (std::array<QString, 4>{"Anna", "Robot2", "Robot3", "Robot4"}));

        // The archive answers everyone.
        bela.send(QStringLiteral("Y"));
        QCOMPARE(bela.next(QStringLiteral("Y")), club::DaysReply({today()}));
        bela.send(QStringLiteral("X0 0"));
        const QStringList dealsLines = club::DealsReply(stored);
        for (const QString &line : dealsLines)
            QCOMPARE(bela.next(QStringLiteral("X")), line);
        bela.send(QStringLiteral("X0 %1").arg(today()));
        QCOMPARE(bela.next(QStringLiteral("X")), dealsLines.first());
        bela.send(QStringLiteral("X1 %1 1").arg(number));
        QCOMPARE(bela.next(QStringLiteral("X")), club::ScoresReply(stored[0]));
        bela.send(QStringLiteral("X2 %1 1").arg(number));
        QCOMPARE(bela.next(QStringLiteral("X")), club::BidsReply(stored[0]));

        // Whoever comes in now hears one deal played.
        ClubClient &cecil = member(QStringLiteral("Cecil"));
        QCOMPARE(cecil.lines.filter(QRegularExpression(QStringLiteral("^J"))).value(0),
                 QStringLiteral("JTerem1 %1 1 Anna 1 Béla 0 Cecil 0").arg(number));
    }

    void numberedDealsDealTheSameCards()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem2"));
        anna.send(QStringLiteral("I1"));
        bela.send(QStringLiteral("I1"));
        QVERIFY(!anna.next(QStringLiteral("N")).isNull());
        QVERIFY(!bela.next(QStringLiteral("N")).isNull());
        anna.send(QStringLiteral("O4321"));
        bela.send(QStringLiteral("O4321"));
        QCOMPARE(anna.next(QStringLiteral("N")), QStringLiteral("N4321 0"));
        QCOMPARE(bela.next(QStringLiteral("N")), QStringLiteral("N4321 0"));
        const QString annaHand = anna.next(QStringLiteral("H1"));
        QVERIFY(!annaHand.isNull());
        QCOMPARE(bela.next(QStringLiteral("H1")), annaHand);
        QCOMPARE(deal(QStringLiteral("Terem1"))->hand(1), Deal(4321, server->dealKey()).hand(1));
        // The abandoned deals were not stored.
        QVERIFY(server->store().dealsOfDay(today(), 10).isEmpty());
        // "O1" is the plain request for a new deal.
        anna.send(QStringLiteral("O1"));
        const QString fresh = anna.next(QStringLiteral("N"));
        QVERIFY(!fresh.isNull());
        QVERIFY(fresh != QStringLiteral("N1 0"));
    }

    void spectatorsSeeTheHands()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &cecil = member(QStringLiteral("Cecil"));
        ClubClient &dora = member(QStringLiteral("Dóra"));
        anna.send(QStringLiteral("I1"));
        // Robots stop once Anna is on turn: the table holds still while Cecil asks.
        QVERIFY(reachPlay(anna));
        QVERIFY(anna.sync() && cecil.sync());
        const qsizetype mark = cecil.lines.size();
        cecil.send(QStringLiteral("H0"));
        QVERIFY(cecil.sync());
        QStringList got = cecil.lines.mid(mark);
        got.removeLast();  // the sync's own reply
        QCOMPARE(got, deal()->spectatorLines());
        QCOMPARE(got.filter(QRegularExpression(QStringLiteral("^H"))).size(), 4);
        // From now on the hands reach Cecil as cards are played.
        const qsizetype before = cecil.lines.filter(QRegularExpression(QStringLiteral("^H"))).size();
        QVERIFY(act(anna, QStringLiteral("Anna"), 1));
        QVERIFY(QTest::qWaitFor([&] {
            return cecil.lines.filter(QRegularExpression(QStringLiteral("^H"))).size() > before; }, 5000));
        anna.send(QStringLiteral("H0"));
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Játékos nem lehet kibic")));
        QVERIFY(dora.sync());
        QVERIFY(dora.lines.filter(QRegularExpression(QStringLiteral("^H"))).isEmpty());
    }

    void takeBackAloneWithRobots()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("I1"));
        // On an odd deal seat 1 opens: before her first bid Anna has nothing to take back.
        anna.send(QStringLiteral("O3"));
        QVERIFY(!anna.next(QStringLiteral("N3 ")).isNull());
        QCOMPARE(deal()->onTurn(), 1);
        anna.send(QStringLiteral("V"));
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Nincs mit visszavonni")));
        QVERIFY(reachPlay(anna));
        QCOMPARE(deal()->phase(), Deal::Phase::Playing);
        const qsizetype held = deal()->hand(1).size();
        QVERIFY(act(anna, QStringLiteral("Anna"), 1));
        QVERIFY(QTest::qWaitFor([&] { return deal()->phase() == Deal::Phase::Done
                                             || (deal()->onTurn() == 1 && deal()->hand(1).size() == held - 1); }, 5000));
        QCOMPARE(deal()->phase(), Deal::Phase::Playing);
        // Robots agree at once; what they did after Anna's card goes back with it.
        anna.send(QStringLiteral("V"));
        QVERIFY(anna.sync());
        QCOMPARE(deal()->onTurn(), 1);
        QCOMPARE(deal()->hand(1).size(), held);
    }

    void takeBackNeedsTheOtherPlayersConsent()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(playOut({{1, {&anna, QStringLiteral("Anna")}}}));
        bela.send(QStringLiteral("I2"));
        QVERIFY(QTest::qWaitFor([&] { return deal()->phase() != Deal::Phase::Done; }, 5000));
        QCOMPARE(deal()->hand(2).size(), 10);
        const std::map<int, std::pair<ClubClient *, QString>> humans{
            {1, {&anna, QStringLiteral("Anna")}}, {2, {&bela, QStringLiteral("Béla")}}};
        // Play on until Béla is on turn right after an action of Anna.
        QString last;
        for (int step = 0; step < 100; ++step) {
            QVERIFY(QTest::qWaitFor([&] { return deal()->phase() == Deal::Phase::Done || humans.count(deal()->onTurn()); }, 5000));
            QVERIFY(deal()->phase() != Deal::Phase::Done);
            const int seat = deal()->onTurn();
            if (seat == 2 && last == QStringLiteral("Anna"))
                break;
            auto &[client, nick] = humans.at(seat);
            QVERIFY(act(*client, nick, seat));
            QVERIFY(client->sync());
            last = nick;
        }
        QCOMPARE(deal()->onTurn(), 2);

        // Out of turn and in someone else's name.
        anna.send(deal()->phase() == Deal::Phase::Bidding ? QStringLiteral("BAnna 0") : QStringLiteral("P21"));
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Nem te következel")));
        if (deal()->phase() == Deal::Phase::Bidding) {
            bela.send(QStringLiteral("BAnna 0"));
            QCOMPARE(bela.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Csak a saját nevedben licitálhatsz")));
        }

        anna.send(QStringLiteral("V"));
        QCOMPARE(bela.next(QStringLiteral("V")), QStringLiteral("VAnna"));
        anna.send(QStringLiteral("V"));
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Már folyik egy visszavonás")));
        bela.send(QStringLiteral("VAnna n"));
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Béla nem járult hozzá a visszavonáshoz")));
        QVERIFY(bela.sync());
        QCOMPARE(deal()->onTurn(), 2);

        anna.send(QStringLiteral("V"));
        QCOMPARE(bela.next(QStringLiteral("V")), QStringLiteral("VAnna"));
        bela.send(QStringLiteral("VAnna y"));
        QVERIFY(bela.sync());
        QCOMPARE(deal()->onTurn(), 1);
        // An answer nobody waits for any more.
        bela.send(QStringLiteral("VAnna y"));
        QCOMPARE(bela.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Nincs ilyen visszavonási kérés")));
    }

    void aPlayerWhoLeavesIsReplacedByARobot()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(!bela.next(QStringLiteral("N")).isNull());
        QVERIFY(act(anna, QStringLiteral("Anna"), 1));
        QVERIFY(anna.sync());
        const int number = deal()->number();
        clients.front().reset();  // Anna's connection drops
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IAnna 0"));
        QCOMPARE(bela.next(QStringLiteral("I")), QStringLiteral("IRobot1 1"));
        QCOMPARE(bela.next(QStringLiteral("Q")), QStringLiteral("QAnna"));
        QCOMPARE(bela.next(QStringLiteral("T")), QStringLiteral("TBéla"));
        // The robots finish the deal and it is kept under the names at the end.
        QVERIFY(QTest::qWaitFor([&] { return !server->store().dealsOfDay(today(), 10).isEmpty(); }, 5000));
        const auto stored = server->store().dealsOfDay(today(), 10);
        QCOMPARE(stored[0].board, QString::number(number));
        QCOMPARE(stored[0].names[0], QStringLiteral("Robot1"));
    }

    void anEmptiedRoomDropsItsDeal()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(act(anna, QStringLiteral("Anna"), 1));
        anna.send(QStringLiteral("JTársalgó"));
        QVERIFY(!anna.next(QStringLiteral("L")).isNull());
        QVERIFY(!server->findRoom(QStringLiteral("Terem1"))->dealRunning());
        QVERIFY(server->store().dealsOfDay(today(), 10).isEmpty());
        // Coming back, the table is empty: no robots, nobody seated.
        anna.send(QStringLiteral("JTerem1"));
        QVERIFY(anna.next(QStringLiteral("JTerem1 ")).endsWith(QStringLiteral(" 0 Anna 0")));
    }

    void garbleDuringADealHurtsNobody()
    {
        club::ClubOptions options;
        options.limits.burst = 100000;  // this member is meant to get every line through
        server = StartClub(options);
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("I1"));
        QVERIFY(QTest::qWaitFor([&] { return deal() && deal()->onTurn() == 1; }, 5000));
        // Lines made of the commands and of words that look almost right, always the same.
        QRandomGenerator random(20261210);
        const QString commands = QStringLiteral("LWMA?GJITHOVBPDYXRZm");
        const QStringList words{"", "0", "1", "-1", "4", "5", "21", "42", "43", "99999999999", "Anna", "Béla",
                                "Robot1", "Terem1", "Társalgó", "y", "n", "x", ";", ";;;;;;;;", "Pagát", "XXI",
                                "Tarokk", "Négykirály", "*", "**", "\u00a0", "\t"};
        QByteArray burst;
        for (int i = 0; i < 3000; ++i) {
            QString line(commands[random.bounded(int(commands.size()))]);
            const int count = random.bounded(6);
            for (int w = 0; w < count; ++w)
                line += (w || random.bounded(2) ? QStringLiteral(" ") : QString()) + words[random.bounded(int(words.size()))];
            // Anna must not log out or leave for this to test the table.
            if (line.startsWith(QLatin1Char('J')) || line.startsWith(QLatin1Char('T')) || line.startsWith(QLatin1Char('D')))
                continue;
            burst += Cp1250::encode(line) + "\r\n";
        }
        anna.sendRaw(burst);
        QVERIFY(anna.sync());
        // The club still answers both, and the deal is still there to be played.
        bela.send(QStringLiteral("Mvan itt valaki?"));
        QCOMPARE(anna.next(QStringLiteral("MBéla: ")), QStringLiteral("MBéla: van itt valaki?"));
        QVERIFY(deal());
        if (deal()->phase() != Deal::Phase::Done)
            QVERIFY(playOut({{1, {&anna, QStringLiteral("Anna")}}}) || deal()->phase() == Deal::Phase::Done);
    }

    // The history answers with what the archive holds at that moment, also when the same day
    // was asked for before and deals came since: a new deal, a row it cannot read back, a
    // new day, and the oldest deals falling off past the 200 a reply holds.
    void historyRepliesFollowTheArchive()
    {
        ClubClient &anna = connectClient();
        QVERIFY(anna.login(QStringLiteral("Anna")));
        club::Store &store = server->store();
        const int day = today();
        // The lines a request brings; the refusal of an unknown line that follows marks their
        // end (a ping would too, but pings are paced).
        const QString end = notice(QStringLiteral("Ismeretlen parancs: Z"));
        auto reply = [&](const QString &request) {
            const qsizetype mark = anna.lines.size();
            anna.cursor = mark;
            anna.send(request);
            anna.send(QStringLiteral("Z"));
            if (anna.next(end).isNull())
                return QStringList{QStringLiteral("no answer")};
            return anna.lines.mid(mark, anna.cursor - 1 - mark);
        };
        auto archived = [&](int d) { return club::DealsReply(store.dealsOfDay(d, 200)); };
        const std::array<QString, 4> names{"Anna", "Robot2", "Robot3", "Robot4"};

        QCOMPARE(reply(QStringLiteral("X0 0")), QStringList{notice(QStringLiteral("Erről a napról nincs tárolt leosztás"))});
        QCOMPARE(reply(QStringLiteral("Y")), QStringList{QStringLiteral("Y")});

        QCOMPARE(store.addDeal(PlayedByRobots(101, day, names)), 1);
        QCOMPARE(archived(day).size(), 1);
        QCOMPARE(reply(QStringLiteral("X0 0")), archived(day));
        QCOMPARE(reply(QStringLiteral("Y")), QStringList{club::DaysReply({day})});

        QCOMPARE(store.addDeal(PlayedByRobots(102, day, names)), 1);
        QCOMPARE(archived(day).size(), 2);
        QCOMPARE(reply(QStringLiteral("X0 0")), archived(day));

        // A blank in a name: stored, but the history cannot read it back and passes it over.
        QCOMPARE(store.addDeal(PlayedByRobots(103, day, {"Kis Anna", "Robot2", "Robot3", "Robot4"})), 1);
        QCOMPARE(archived(day).size(), 2);
        QCOMPARE(reply(QStringLiteral("X0 %1").arg(day)), archived(day));

        QCOMPARE(store.addDeal(PlayedByRobots(104, day - 1, names)), 1);
        QCOMPARE(reply(QStringLiteral("Y")), QStringList{club::DaysReply({day - 1, day})});
        QCOMPARE(reply(QStringLiteral("X0 %1").arg(day - 1)), archived(day - 1));
        QCOMPARE(reply(QStringLiteral("X0 0")), archived(day));

        // 202 rows: the two oldest fall off, the unreadable one is still among the latest 200.
        const club::DealRecord same = PlayedByRobots(105, day, names);
        for (int i = 1; i <= 199; ++i)
            QCOMPARE(store.addDeal(same), i);
        const QStringList latest = archived(day);
        QCOMPARE(latest.size(), 199);
        QVERIFY(!latest.contains(club::DealsReply(store.dealsOfDay(day, 202)).first()));
        QCOMPARE(reply(QStringLiteral("X0 0")), latest);
    }

    void theArchiveOutlivesTheClub()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        club::ClubOptions options;
        options.dataPath = dir.filePath(QStringLiteral("club.sqlite"));
        server = StartClub(options);
        QVERIFY(server->storeOpen());
        {
            ClubClient &anna = member(QStringLiteral("Anna"));
            anna.send(QStringLiteral("W99"));
            QVERIFY(!anna.next(QStringLiteral("W")).isNull());
            anna.send(QStringLiteral("I1"));
            QVERIFY(playOut({{1, {&anna, QStringLiteral("Anna")}}}));
        }
        const auto before = server->store().dealsOfDay(today(), 10);
        QCOMPARE(before.size(), 1);
        clients.clear();
        server.reset();

        server = StartClub(options);
        clients.push_back(std::make_unique<ClubClient>(server->serverPort()));
        ClubClient &anna = *clients.back();
        QVERIFY(anna.login(QStringLiteral("Anna"), 99));
        anna.send(QStringLiteral("Y"));
        QCOMPARE(anna.next(QStringLiteral("Y")), club::DaysReply({today()}));
        anna.send(QStringLiteral("X2 %1 1").arg(before[0].board));
        QCOMPARE(anna.next(QStringLiteral("X")), club::BidsReply(before[0]));
    }
};

QTEST_GUILESS_MAIN(TestClubTable)
#include "tst_clubtable.moc"
