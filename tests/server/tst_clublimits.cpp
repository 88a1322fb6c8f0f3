// The club's bounds on what many connections together may cost, over loopback: connections
// the club closes while their peer does not read, an address's logged-in members, the budget
// of unsent output, the paces of the costly lines, pings and their answers, strangers young
// and old, the kept history days, room numbers, and running out of descriptors.

#include "ClubClient.h"
#include "server/Room.h"
#include "server/Wire.h"

#include <QScopeGuard>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>


namespace {

constexpr qint64 Epoch = 1741950000000;  // the fake clock's start
const QString TooOften = QStringLiteral("MSzerver: Túl gyakran kérted, próbáld később");

// A member's connection that never reads: past a small buffer, what the club sends it stays
// in the club.
class Sleeper
{
public:
    explicit Sleeper(quint16 port, const QHostAddress &from = QHostAddress())
    {
        socket.setReadBufferSize(4096);
        if (!from.isNull())
            socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    QTcpSocket socket;
};

} // namespace

class TestClubLimits : public QObject, private ClubFixture
{
    Q_OBJECT
private:
    qint64 clock = Epoch;

    club::ClubOptions options()
    {
        club::ClubOptions o;
        o.clock = [this] { return clock; };
        return o;
    }
    ClubClient &from(const QHostAddress &address)
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort(), address));
        return *clients.back();
    }
    ClubClient &member(const QString &nick, const QHostAddress &address = QHostAddress())
    {
        ClubClient &c = address.isNull() ? connectClient() : from(address);
        if (!c.login(nick))
            qFatal("login failed for %s", qPrintable(nick));
        c.unread();
        return c;
    }
    // The club's own end of every connection: what waits there unsent.
    qint64 unsentInTheClub() const
    {
        qint64 sum = 0;
        for (const QTcpSocket *s : server->findChildren<QTcpSocket *>())
            sum += s->bytesToWrite();
        return sum;
    }
    qint64 largestUnsent() const
    {
        qint64 most = 0;
        for (const QTcpSocket *s : server->findChildren<QTcpSocket *>())
            most = std::max(most, s->bytesToWrite());
        return most;
    }
    static int count(const ClubClient &c, const QString &line) { return int(c.lines.count(line)); }

private slots:
    void init() { clock = Epoch; }
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    // The club closes a member who does not read, with megabytes still queued for it: the
    // connection is aborted after the closing time and not held for ever.
    void closedConnectionOfANonReaderIsGone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("replaced by a new login") << "login";
        QTest::newRow("renamed itself") << "rename";
    }
    void closedConnectionOfANonReaderIsGone()
    {
        QFETCH(QString, how);
        club::ClubOptions o = options();
        o.limits.closingMs = 1000;
        o.limits.burst = 1 << 20;
        o.limits.perSecond = 1e6;
        server = StartClub(o);
        QVERIFY(server);
        Sleeper sleeper(server->serverPort());
        QVERIFY(sleeper.socket.waitForConnected(5000));
        sleeper.socket.write("LAlvo 0\r\nJTerem1\r\n");
        ClubClient &talker = member(QStringLiteral("Beszedes"));
        QVERIFY(talker.enter(QStringLiteral("Terem1")));
        // Chat until a megabyte waits in the club for the sleeper.
        const QString line = QStringLiteral("M") + QString(8000, QLatin1Char('x'));
        while (largestUnsent() < (1 << 20)) {
            for (int i = 0; i < 16; ++i)
                talker.send(line);
            QVERIFY(talker.sync());
            talker.lines.clear();
            talker.cursor = 0;
        }
        const int before = server->memberCount();
        if (how == QLatin1String("login")) {
            ClubClient &again = connectClient();
            QVERIFY(again.login(QStringLiteral("Alvo")));
        } else {
            sleeper.socket.write("D1 Alvo Bela;ab@example.hu;Alvo2;Budapest;Fo utca 1;;;;\r\n");
        }
        // The closing one is still counted for a moment (the replacement is counted as well).
        const int closingGone = before - (how == QLatin1String("login") ? 0 : 1);
        QTRY_COMPARE_WITH_TIMEOUT(server->memberCount(), closingGone, 4000);
        QVERIFY(largestUnsent() < (1 << 20));
        QVERIFY(talker.sync());
    }

    // `perAddress` logged-in members from one address; whoever comes past it is told so and
    // closed, while another address still gets in. A second login under a name already in
    // from this address replaces that session and takes no second place.
    void membersPerAddressAreCapped_data()
    {
        QTest::addColumn<QString>("newcomer");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("oneLeftFirst");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("one more from the address") << "Dora" << "127.0.0.1" << false << false;
        QTest::newRow("one more from elsewhere") << "Dora" << "127.0.0.2" << false << true;
        QTest::newRow("a member's new login") << "Anna" << "127.0.0.1" << false << true;
        QTest::newRow("after one has left") << "Dora" << "127.0.0.1" << true << true;
    }
    void membersPerAddressAreCapped()
    {
        QFETCH(QString, newcomer);
        QFETCH(QString, address);
        QFETCH(bool, oneLeftFirst);
        QFETCH(bool, admitted);
        club::ClubOptions o = options();
        o.limits.perAddress = 3;
        server = StartClub(o);
        QVERIFY(server);
        member(QStringLiteral("Anna"));
        member(QStringLiteral("Bela"));
        ClubClient &cili = member(QStringLiteral("Cili"));
        if (oneLeftFirst) {
            clients.back().reset();
            QTRY_COMPARE(server->memberCount(), 2);
        } else {
            QVERIFY(cili.sync());
        }
        ClubClient &next = from(QHostAddress(address));
        QVERIFY(next.waitConnected());
        next.send(QStringLiteral("L%1 0").arg(newcomer));
        if (admitted) {
            QVERIFY(!next.next(QStringLiteral("L")).isNull());
            QVERIFY(next.sync());
        } else {
            QCOMPARE(next.next(QStringLiteral("M")),
                     notice(QStringLiteral("Erről a címről már túl sokan vannak bejelentkezve, próbáld később")));
            QVERIFY(next.waitClosed());
        }
        QTRY_COMPARE(server->memberCount(), oneLeftFirst || !admitted || newcomer == QLatin1String("Anna") ? 3 : 4);
    }

    // Readers who do not read share one budget: past it the one with most waiting is cut off
    // first, and the club never holds much more than the budget, however many stop reading.
    void unsentOutputHasOneBudget()
    {
        club::ClubOptions o = options();
        o.limits.maxUnsentAll = 3 << 20;
        o.limits.burst = 1 << 20;
        o.limits.perSecond = 1e6;
        server = StartClub(o);
        QVERIFY(server);
        ClubClient &talker = member(QStringLiteral("Beszedes"));
        QVERIFY(talker.enter(QStringLiteral("Terem1")));
        club::Room *room = server->findRoom(QStringLiteral("Terem1"));
        const QString line = QStringLiteral("M") + QString(8000, QLatin1Char('x'));
        const auto talk = [&] {
            for (int i = 0; i < 16; ++i)
                talker.send(line);
            const bool answered = talker.sync();
            talker.lines.clear();
            talker.cursor = 0;
            return answered;
        };
        std::vector<std::unique_ptr<Sleeper>> sleepers;
        const auto sleep = [&](const QByteArray &nick) {
            sleepers.push_back(std::make_unique<Sleeper>(server->serverPort()));
            sleepers.back()->socket.write("L" + nick + " 0\r\nJTerem1\r\n");
            return QTest::qWaitFor([&] { return room->members().size() == qsizetype(sleepers.size()) + 1; }, 5000);
        };
        // The first has 1.5 MB waiting before the second comes in.
        QVERIFY(sleep("Elso"));
        while (largestUnsent() < (3 << 19))
            QVERIFY(talk());
        QVERIFY(sleep("Masodik"));
        qint64 most = 0;
        while (room->members().size() == 3) {
            QVERIFY(talk());
            most = std::max(most, unsentInTheClub());
        }
        QVERIFY2(most <= o.limits.maxUnsentAll + 2 * line.size(), qPrintable(QString::number(most)));
        // The one with most waiting went, the other is still there.
        QStringList left;
        for (const club::Member *m : room->members())
            left << m->nick;
        QCOMPARE(left, (QStringList{QStringLiteral("Beszedes"), QStringLiteral("Masodik")}));
        QVERIFY(talker.sync());
    }

    // Members cut off together (the budget above cuts many at once) are told to those who stay
    // together, at the end of the turn; whatever the room says meanwhile still comes after them.
    void aBurstOfDeparturesIsToldInOrder()
    {
        server = StartClub(options());
        QVERIFY(server);
        ClubClient &zoe = member(QStringLiteral("Zoe"));
        QVERIFY(zoe.enter(QStringLiteral("Terem1")));
        QStringList nicks;
        for (int i = 0; i < 10; ++i) {
            nicks << QStringLiteral("Tag%1").arg(i);
            QVERIFY(member(nicks.last()).enter(QStringLiteral("Terem1")));
        }
        QVERIFY(zoe.sync());
        const qsizetype mark = zoe.lines.size();
        club::Room *room = server->findRoom(QStringLiteral("Terem1"));
        // In one turn of the event loop, as the output budget cuts, and the room says something
        // before the turn is over.
        QList<club::Member *> others = room->members();
        others.removeFirst();
        for (club::Member *m : std::as_const(others))
            room->leave(m);
        room->broadcast(club::wire::Notice(QStringLiteral("még itt vagyunk")));
        for (club::Member *m : std::as_const(others))
            m->cutOff();
        QTRY_COMPARE(server->memberCount(), 1);
        QVERIFY(!zoe.next(notice(QStringLiteral("még itt vagyunk"))).isNull());
        QStringList expected;
        for (const QString &nick : nicks)
            expected << QStringLiteral("Q") + nick;
        expected << notice(QStringLiteral("még itt vagyunk"));
        QCOMPARE(zoe.lines.mid(mark), expected);
        // A newcomer hears of no one who went before them.
        ClubClient &bela = member(QStringLiteral("Bela"));
        QVERIFY(bela.enter(QStringLiteral("Terem1")));
        QVERIFY(bela.sync());
        QVERIFY(bela.lines.filter(QRegularExpression(QStringLiteral("^QTag"))).isEmpty());
    }

    // Each costly kind of line has a bucket per member: the line past it is refused, and a
    // token later (on the club's clock) it goes through again.
    void costlyLinesArePaced_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        QTest::newRow("password") << "W5" << int(club::Costly::Password);
        QTest::newRow("personal data") << "D1 Kis Anna;;Anna;;;;;;" << int(club::Costly::PersonalData);
        QTest::newRow("match proposal") << "R0 2 5 a b c d e f g h" << int(club::Costly::Proposal);
        QTest::newRow("new room") << "T" << int(club::Costly::NewRoom);
        QTest::newRow("ping") << "?" << int(club::Costly::Ping);
        QTest::newRow("history day") << "X0 0" << int(club::Costly::History);
    }
    void costlyLinesArePaced()
    {
        QFETCH(QString, line);
        QFETCH(int, kind);
        club::ClubOptions o = options();
        server = StartClub(o);
        QVERIFY(server);
        const club::Pace pace = o.limits.paces[size_t(kind)].member;
        ClubClient &anna = member(QStringLiteral("Anna"));
        for (int i = 0; i < int(pace.burst); ++i)
            anna.send(line);
        QVERIFY(anna.sync());
        QCOMPARE(count(anna, TooOften), 0);
        anna.send(line);
        QVERIFY(anna.sync());
        QCOMPARE(count(anna, TooOften), 1);
        // Other lines are not held back meanwhile.
        anna.send(QStringLiteral("Mhalló"));
        QVERIFY(!anna.next(QStringLiteral("MAnna: halló")).isNull());
        clock += qint64(60000 / pace.perMinute) + 1;
        anna.send(line);
        QVERIFY(anna.sync());
        QCOMPARE(count(anna, TooOften), 1);
        anna.send(line);
        QVERIFY(anna.sync());
        QCOMPARE(count(anna, TooOften), 2);
    }

    // Members from one address share the address's bucket; another address has its own.
    void costlyLinesArePacedPerAddress()
    {
        club::ClubOptions o = options();
        o.limits.paces[size_t(club::Costly::NewRoom)] = {{100, 0}, {2, 0}};
        server = StartClub(o);
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Bela"));
        ClubClient &cili = member(QStringLiteral("Cili"), QHostAddress(QStringLiteral("127.0.0.2")));
        anna.send(QStringLiteral("T"));
        QVERIFY(!anna.next(QStringLiteral("JTerem4 ")).isNull());
        bela.send(QStringLiteral("T"));
        QVERIFY(!bela.next(QStringLiteral("JTerem5 ")).isNull());
        anna.send(QStringLiteral("T"));
        QCOMPARE(anna.next(QStringLiteral("M")), TooOften);
        bela.send(QStringLiteral("T"));
        QCOMPARE(bela.next(QStringLiteral("M")), TooOften);
        cili.send(QStringLiteral("T"));
        QVERIFY(!cili.next(QStringLiteral("JTerem6 ")).isNull());
    }

    // The client answers every "?" with a "G": those answers do not spend the answering
    // member's lines, so pings cannot make an honest member's chat go lost. A "G" nobody
    // asked for still costs.
    void pingAnswersDoNotSpendTheAnswerersLines()
    {
        club::ClubOptions o = options();
        o.limits.burst = 12;
        o.limits.perSecond = 0;
        o.limits.paces[size_t(club::Costly::Ping)] = {{100, 0}, {100, 0}};
        server = StartClub(o);
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &pinger = member(QStringLiteral("Pinger"));
        for (int i = 0; i < 10; ++i) {
            pinger.send(QStringLiteral("?"));
            QVERIFY(!anna.next(QStringLiteral("?Pinger")).isNull());
            anna.send(QStringLiteral("GPinger Anna"));
            QCOMPARE(pinger.next(QStringLiteral("G")), QStringLiteral("GPinger Anna"));
        }
        // Of Anna's twelve lines the login took one and an unasked answer takes one: ten are
        // left for her chat, and not one more.
        anna.send(QStringLiteral("GPinger Anna"));
        QCOMPARE(pinger.next(QStringLiteral("G")), QStringLiteral("GPinger Anna"));
        for (int i = 1; i <= 11; ++i)
            anna.send(QStringLiteral("M%1").arg(i));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(pinger.next(QStringLiteral("MAnna: ")), QStringLiteral("MAnna: %1").arg(i));
        QCOMPARE(anna.next(QStringLiteral("MSzerver: ")),
                 notice(QStringLiteral("Túl sok sor érkezett tőled, a fölösleg elveszett")));
        QVERIFY(!pinger.has(QStringLiteral("MAnna: 11")));
    }

    // Strangers: nobody younger than the grace time is turned away for a newer one (the newer
    // one is refused instead); past the cap of all, the address that holds the most loses its
    // oldest, and among equals the one whose latest came last, so that someone filling in the
    // registration form outlasts a flood from many addresses.
    void strangersAreTurnedAwayFairly()
    {
        club::ClubOptions o = options();
        o.limits.maxStrangers = 4;
        o.limits.strangersPerAddress = 3;
        server = StartClub(o);
        QVERIFY(server);
        const QString told = notice(QStringLiteral("Túl sok kapcsolat vár bejelentkezésre, próbáld újra"));
        const auto stranger = [&](const QString &address) -> ClubClient & {
            ClubClient &c = from(QHostAddress(address));
            (void)c.waitConnected();
            return c;
        };
        // All young: the fourth of one address is refused, not the first; so is a newcomer
        // from elsewhere when the strangers are all young.
        ClubClient &form = stranger(QStringLiteral("127.0.0.9"));
        ClubClient &a1 = stranger(QStringLiteral("127.0.0.2"));
        ClubClient &a2 = stranger(QStringLiteral("127.0.0.2"));
        ClubClient &a3 = stranger(QStringLiteral("127.0.0.2"));
        QTRY_COMPARE(server->memberCount(), 4);
        ClubClient &a4 = stranger(QStringLiteral("127.0.0.2"));
        QCOMPARE(a4.next(QStringLiteral("M")), told);
        QVERIFY(a4.waitClosed());
        ClubClient &b1 = stranger(QStringLiteral("127.0.0.3"));
        QCOMPARE(b1.next(QStringLiteral("M")), told);
        QVERIFY(b1.waitClosed());
        QVERIFY(!a1.isClosed() && !form.isClosed());
        // Later, the address with most strangers goes first, its oldest first.
        clock += o.limits.strangerGraceMs;
        ClubClient &c1 = stranger(QStringLiteral("127.0.0.4"));
        QCOMPARE(a1.next(QStringLiteral("M")), told);
        QVERIFY(a1.waitClosed());
        ClubClient &d1 = stranger(QStringLiteral("127.0.0.5"));
        QCOMPARE(a2.next(QStringLiteral("M")), told);
        QVERIFY(a2.waitClosed());
        // Now each address holds one: a flood from new addresses, each connection old enough
        // to go when the next comes, turns away its own latest; the form stays.
        ClubClient *latest = &d1;
        for (int i = 10; i < 20; ++i) {
            clock += o.limits.strangerGraceMs;
            ClubClient &flood = stranger(QStringLiteral("127.0.0.%1").arg(i));
            QCOMPARE(latest->next(QStringLiteral("M")), told);
            latest = &flood;
        }
        QTRY_COMPARE(server->memberCount(), 4);
        QVERIFY(!form.isClosed() && !a3.isClosed() && !c1.isClosed());
        form.send(QStringLiteral("D0 Kiss Péter;kp@example.hu;Kispe;Budapest;Fő utca 1;;;;"));
        QCOMPARE(form.next(QStringLiteral("M")), notice(QStringLiteral("Üdvözlünk a klubban! Jelentkezz be Kispe néven.")));
    }

    // A flood of connections would write thousands of log lines a second, and a log written
    // more slowly than that holds up the club: past the log's pace the lines are counted, and
    // the count is logged once the pace allows.
    void theLogKeepsItsPace()
    {
        club::ClubOptions o = options();
        o.limits.logLines = {3, 60};
        QStringList logged;
        o.log = [&logged](const QString &line) { logged << line; };
        server = StartClub(o);
        QVERIFY(server);
        for (int i = 0; i < 6; ++i)
            QVERIFY(connectClient().waitConnected());
        QTRY_COMPARE(server->memberCount(), 6);
        QCOMPARE(logged.size(), 3);
        clock += 1000;
        clients.front().reset();
        QTRY_COMPARE(server->memberCount(), 5);
        QCOMPARE(logged.size(), 5);
        QCOMPARE(logged[3], QStringLiteral("(3 naplósor kimaradt: túl sok esemény)"));
        QVERIFY(logged[4].endsWith(QStringLiteral(": kapcsolat bontva")));
    }

    // Past the days it keeps, the history forgets the day asked for least recently, not all.
    void historyForgetsTheLeastRecentlyAskedDay()
    {
        club::ClubOptions o = options();
        o.limits.paces[size_t(club::Costly::History)] = {{1000, 0}, {1000, 0}};
        server = StartClub(o);
        QVERIFY(server);
        const int today = club::wire::DayNumber(ClubDate);
        const club::DealRecord deal = PlayedByRobots(7, today, {"Anna", "Robot2", "Robot3", "Robot4"});
        for (int d = 0; d < 17; ++d) {
            club::DealRecord on = deal;
            on.day = today - d;
            QCOMPARE(server->store().addDeal(on), d + 1);
        }
        ClubClient &anna = member(QStringLiteral("Anna"));
        const auto ask = [&](int day) {
            anna.send(QStringLiteral("X0 %1").arg(day));
            return anna.next(QStringLiteral("X0 ")) == club::DealsReply(server->store().dealsOfDay(day, 200)).first();
        };
        for (int d = 0; d < 16; ++d)
            QVERIFY(ask(today - d));
        QVERIFY(ask(today));       // asked again: the most recent now
        QVERIFY(ask(today - 16));  // one day more than is kept
        QList<int> kept;
        for (int d = 1; d <= 15; ++d)
            kept << today - d;
        kept << today << today - 16;
        kept.removeOne(today - 1);
        QCOMPARE(server->historyDaysKept(), kept);
        QVERIFY(ask(today - 1));
        QCOMPARE(server->historyDaysKept().size(), 16);
        QVERIFY(!server->historyDaysKept().contains(today - 2));
    }

    // A new room takes the smallest number no room has, so numbers stay small for ever.
    void roomNumbersAreReused()
    {
        server = StartClub(options());
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Bela"));
        ClubClient &cili = member(QStringLiteral("Cili"));
        anna.send(QStringLiteral("T"));
        QVERIFY(!anna.next(QStringLiteral("JTerem4 ")).isNull());
        bela.send(QStringLiteral("T"));
        QVERIFY(!bela.next(QStringLiteral("JTerem5 ")).isNull());
        // Anna goes back to the lobby: Terem4 closes and is the next to open.
        anna.send(QStringLiteral("J") + club::ClubServer::LobbyName);
        QTRY_VERIFY(!server->findRoom(QStringLiteral("Terem4")));
        cili.send(QStringLiteral("T"));
        QVERIFY(!cili.next(QStringLiteral("JTerem4 ")).isNull());
        // Terem5 closes whenever Béla leaves it, and is the one he opens again.
        for (int i = 0; i < 2; ++i) {
            clock += 60000;
            bela.send(QStringLiteral("JTerem1"));
            QVERIFY(!bela.next(QStringLiteral("JTerem1 ")).isNull());
            bela.send(QStringLiteral("T"));
            QVERIFY(!bela.next(QStringLiteral("JTerem5 ")).isNull());
        }
        QCOMPARE(server->roomNames(),
                 (QStringList{club::ClubServer::LobbyName, "Terem1", "Terem2", "Terem3", "Terem4", "Terem5"}));
    }

    // Out of descriptors, the accept fails: the club pauses, serves the members it has, and
    // takes the waiting connection once descriptors are free again, without spinning on the
    // failing accept meanwhile.
    void runningOutOfDescriptorsPausesAccepting()
    {
        club::ClubOptions o = options();
        o.limits.acceptPauseMs = 300;
        int failures = 0;
        o.log = [&failures](const QString &line) {
            failures += line.startsWith(QStringLiteral("nem fogadható új kapcsolat")) ? 1 : 0;
        };
        server = StartClub(o);
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));

        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
        std::vector<int> taken;
        // Given back whatever happens below, so that the other tests have their descriptors.
        auto giveBack = qScopeGuard([&] {
            for (int fd : taken)
                ::close(fd);
            taken.clear();
            ::setrlimit(RLIMIT_NOFILE, &saved);
        });
        rlimit low = saved;
        low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 1024);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        // Every descriptor taken but one, which the waiting connection's own end takes.
        const int null = ::open("/dev/null", O_RDONLY);
        QVERIFY(null >= 0);
        taken.push_back(null);
        for (int fd; (fd = ::dup(null)) >= 0;)
            taken.push_back(fd);
        QVERIFY(taken.size() > 1);
        ::close(taken.back());
        taken.pop_back();
        const int waiting = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(waiting >= 0);
        const auto closeWaiting = qScopeGuard([waiting] { ::close(waiting); });
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(server->serverPort());
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QVERIFY(::connect(waiting, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0);
        QTRY_VERIFY(failures >= 1);
        // Anna is served meanwhile.
        QVERIFY(anna.sync());
        QTest::qWait(1000);
        const int failed = failures;
        giveBack.dismiss();
        for (int fd : taken)
            ::close(fd);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &saved) == 0);
        // About one try a pause, not one for every turn of the event loop.
        QVERIFY2(failed <= 2 + 1000 / o.limits.acceptPauseMs, qPrintable(QString::number(failed)));
        // Descriptors free again: the waiting connection is taken in.
        QTRY_COMPARE_WITH_TIMEOUT(server->memberCount(), 2, 3000);
        QVERIFY(::write(waiting, "LBela 0\r\n", 9) == 9);
        QTRY_VERIFY(anna.has(QStringLiteral("UBela")));
    }
};

QTEST_GUILESS_MAIN(TestClubLimits)
#include "tst_clublimits.moc"
