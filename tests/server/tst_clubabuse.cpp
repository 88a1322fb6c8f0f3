// The club under abuse, over loopback: idle connections by the thousand, one address
// flooding, wrong passwords, a member who never reads, and a member who breaks the rules in
// the middle of a deal. Each refusal is a "Szerver: ..." notice or a closed connection, and
// the members who behave go on being served. How fast they are served is measured by
// bench_abuse, not here.

#include "ClubClient.h"
#include "server/Room.h"
#include "server/Wire.h"

#include <QAbstractEventDispatcher>
#include <QTest>

namespace {

// A connection that only connects: never logs in, never reads more than a little.
class Idle
{
public:
    Idle(quint16 port, const QHostAddress &from = QHostAddress::LocalHost)
    {
        // A small read buffer: past it Qt leaves the bytes in the kernel, as a peer that
        // does not read at all would.
        socket.setReadBufferSize(4096);
        if (from != QHostAddress(QHostAddress::LocalHost))
            socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    QTcpSocket socket;
};

// A second loopback address: the club tells its peers apart by address.
const QHostAddress Elsewhere(QStringLiteral("127.0.0.2"));

} // namespace

class TestClubAbuse : public QObject, private ClubFixture
{
    Q_OBJECT
private:
    ClubClient &member(const QString &nick, int digest = 0)
    {
        ClubClient &c = connectClient();
        if (!c.login(nick, digest))
            qFatal("login failed for %s", qPrintable(nick));
        c.unread();
        return c;
    }
    ClubClient &clientFrom(const QHostAddress &from)
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort(), from));
        return *clients.back();
    }

private slots:
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void idleConnectionsCannotCrowdOutMembers()
    {
        club::ClubOptions options;
        // A clock that stands: every stranger stays within its grace time, however long this takes.
        options.clock = [] { return qint64(1741950000000); };
        server = StartClub(options);
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        const int most = 1 + options.limits.maxStrangers;

        std::vector<std::unique_ptr<Idle>> idle;
        int peak = 0;
        for (int i = 0; i < 1000; ++i) {
            idle.push_back(std::make_unique<Idle>(server->serverPort()));
            if (i % 50 == 49) {
                // Anna is answered all along, and the club never holds more than its caps.
                QVERIFY(anna.sync());
                peak = std::max(peak, server->memberCount());
                QVERIFY2(server->memberCount() <= most, qPrintable(QString::number(server->memberCount())));
            }
        }
        QVERIFY(anna.sync());
        QTRY_VERIFY(server->memberCount() <= most);
        QVERIFY(peak > 1); // the strangers did get in, for a while

        // The ones turned away were told so and closed. All came within the grace time of a
        // stranger, so the first ones are still waiting and the newcomers were refused.
        QTRY_VERIFY(std::count_if(idle.begin(), idle.end(), [](const auto &c) {
            return c->socket.state() == QAbstractSocket::UnconnectedState;
        }) >= 1000 - options.limits.strangersPerAddress);
        QVERIFY(idle.back()->socket.peek(4096).contains(
            Cp1250::encode(notice(QStringLiteral("Túl sok kapcsolat vár bejelentkezésre, próbáld újra")))));
        QCOMPARE(idle.front()->socket.state(), QAbstractSocket::ConnectedState);

        // A member from elsewhere who comes now gets in at once, and Anna sees her. (From the
        // flood's address, newcomers wait until its strangers are past their grace time.)
        ClubClient &bela = clientFrom(Elsewhere);
        QVERIFY(bela.login(QStringLiteral("Béla")));
        QCOMPARE(anna.next(QStringLiteral("U")), QStringLiteral("UBéla"));
        QVERIFY(bela.sync());
    }

    // A connection's login deadline goes with the connection: a stream of short connections
    // must not leave timers waiting out their ten minutes, each one more that every timer
    // the club starts (a robot's move, the next deal) is sorted in among.
    void goneConnectionsLeaveNoTimers()
    {
        server = StartClub();
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        // Qt keeps a pending single-shot timer as an object of the event loop's.
        const QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance();
        const qsizetype before = loop->children().size();
        for (int i = 0; i < 50; ++i) {
            Idle one(server->serverPort());
            QVERIFY(one.socket.waitForConnected(5000));
            QTRY_COMPARE(server->memberCount(), 2);
            one.socket.abort();
            QTRY_COMPARE(server->memberCount(), 1);
        }
        QVERIFY(anna.sync());
        QCOMPARE(loop->children().size(), before);
    }

    void oneAddressFloodingCyclesOnlyItsOwn()
    {
        club::ClubOptions options;
        server = StartClub(options);
        QVERIFY(server);
        // Someone elsewhere has connected and is filling in the registration form.
        ClubClient &newcomer = clientFrom(Elsewhere);
        QVERIFY(newcomer.waitConnected());
        QTRY_COMPARE(server->memberCount(), 1);

        std::vector<std::unique_ptr<Idle>> idle;
        for (int i = 0; i < 3 * options.limits.strangersPerAddress; ++i)
            idle.push_back(std::make_unique<Idle>(server->serverPort()));
        QTRY_COMPARE(server->memberCount(), 1 + options.limits.strangersPerAddress);

        newcomer.send(QStringLiteral("D0 Kiss Péter;kp@example.hu;Kispe;Budapest;Fő utca 1;;;;"));
        QCOMPARE(newcomer.next(QStringLiteral("M")),
                 notice(QStringLiteral("Üdvözlünk a klubban! Jelentkezz be Kispe néven.")));
    }

    void wrongPasswordsAreLimitedPerAddress()
    {
        qint64 now = 1'700'000'000'000;
        club::ClubOptions options;
        options.clock = [&now] { return now; };
        options.limits.wrongPasswords = 3;            // one name from one address
        options.limits.wrongPasswordsPerAddress = 5;  // any names from one address
        options.limits.wrongPasswordWindowMs = 60000;
        server = StartClub(options);
        QVERIFY(server);
        member(QStringLiteral("Anna"), 777);
        member(QStringLiteral("Béla"), 555);
        member(QStringLiteral("Cili"), 333);
        const auto attempt = [&](const QString &nick, int digest) {
            ClubClient &c = connectClient();
            if (!c.waitConnected())
                return QStringLiteral("no connection");
            c.send(QStringLiteral("L%1 %2").arg(nick).arg(digest));
            const QString answer = c.next([](const QString &l) { return l.startsWith('M') || l.startsWith('L'); });
            return answer.startsWith('L') ? QStringLiteral("lobby") : answer;
        };
        const QString wrong = notice(QStringLiteral("Hibás jelszó"));
        const QString barred = notice(QStringLiteral("Túl sok hibás jelszó erről a címről, próbáld később"));

        for (int i = 0; i < 3; ++i)
            QCOMPARE(attempt(QStringLiteral("Anna"), 100 + i), wrong);
        // This address may not try Anna now, not even with her password; other names it may.
        QCOMPARE(attempt(QStringLiteral("Anna"), 777), barred);
        QCOMPARE(attempt(QStringLiteral("Béla"), 555), QStringLiteral("lobby"));
        // Two more wrong ones, for another name: the address as a whole is barred.
        QCOMPARE(attempt(QStringLiteral("Béla"), 1), wrong);
        QCOMPARE(attempt(QStringLiteral("Béla"), 2), wrong);
        QCOMPARE(attempt(QStringLiteral("Cili"), 333), barred);
        QCOMPARE(attempt(QStringLiteral("Béla"), 555), barred);
        // Another address is not held back.
        ClubClient &elsewhere = clientFrom(Elsewhere);
        QVERIFY(elsewhere.login(QStringLiteral("Anna"), 777));

        // Once the window has passed on the club's clock, this address may try again.
        now += options.limits.wrongPasswordWindowMs - 1;
        QCOMPARE(attempt(QStringLiteral("Cili"), 333), barred);
        now += 1;
        QCOMPARE(attempt(QStringLiteral("Cili"), 333), QStringLiteral("lobby"));
        QCOMPARE(attempt(QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
    }

    void memberWhoNeverReadsIsCutOff()
    {
        // The real cap (4 MiB); the talker may talk as fast as it likes, so that the cap and
        // not the flood limit is what is tried.
        club::ClubOptions options;
        options.limits.burst = 1 << 20;
        options.limits.perSecond = 1e6;
        QCOMPARE(options.limits.maxUnsent, qint64(4 << 20));
        server = StartClub(options);
        QVERIFY(server);

        QTcpSocket sleeper;
        sleeper.setReadBufferSize(4096);
        sleeper.connectToHost(QHostAddress::LocalHost, server->serverPort());
        QVERIFY(sleeper.waitForConnected(5000));
        sleeper.write("LAlvo 1\r\nJTerem1\r\n");
        // The talker reads everything and looks at none of it.
        QTcpSocket talker;
        QObject::connect(&talker, &QTcpSocket::readyRead, &talker, [&] { talker.readAll(); });
        talker.connectToHost(QHostAddress::LocalHost, server->serverPort());
        QVERIFY(talker.waitForConnected(5000));
        talker.write("LBeszedes 1\r\nJTerem1\r\n");
        ClubClient &other = member(QStringLiteral("Masik"));
        QTRY_COMPARE(server->findRoom(QStringLiteral("Terem1"))->members().size(), 2);

        const QByteArray line = "M" + QByteArray(16000, 'x') + "\r\n";
        qint64 sent = 0;
        // Each line goes to both in the room; the sleeper's share piles up in the club until
        // it passes the cap, and the club lets it go.
        club::Room *room = server->findRoom(QStringLiteral("Terem1"));
        // What the club holds for a reader is read at the club's end of each connection: the
        // kernel's buffers on the way take an unknown share of what was sent.
        qint64 held = 0;
        const auto heldNow = [&] {
            for (const QTcpSocket *s : server->findChildren<QTcpSocket *>())
                held = std::max(held, s->bytesToWrite());
        };
        while (room->members().size() == 2 && sent < (64 << 20)) {
            for (int i = 0; i < 32; ++i, sent += line.size())
                talker.write(line);
            QTRY_COMPARE(talker.bytesToWrite(), qint64(0));
            heldNow();
            QVERIFY(other.sync()); // a member elsewhere is served throughout
            heldNow();
        }
        QCOMPARE(room->members().size(), 1);
        // The club held up to the cap for the sleeper, and never more than one line past it.
        const qint64 echoed = line.size() + 16;  // the line as the room hears it: "MBeszedes: ..."
        QVERIFY2(held > options.limits.maxUnsent - 64 * echoed && held <= options.limits.maxUnsent + echoed,
                 qPrintable(QString::number(held)));
        QVERIFY(other.sync());
        // The sleeper, reading at last, finds the connection closed.
        sleeper.setReadBufferSize(0);
        QObject::connect(&sleeper, &QTcpSocket::readyRead, &sleeper, [&] { sleeper.readAll(); });
        sleeper.readAll();
        QTRY_COMPARE(sleeper.state(), QAbstractSocket::UnconnectedState);
    }

    void floodIsHeldBackAtTheSender()
    {
        server = StartClub();
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        QTcpSocket flooder;
        flooder.connectToHost(QHostAddress::LocalHost, server->serverPort());
        QVERIFY(flooder.waitForConnected(5000));
        flooder.write("LArad 1\r\n");
        QTRY_COMPARE(server->findRoom(club::ClubServer::LobbyName)->members().size(), 2);

        // 32 MB of chat, far more than the flood limit lets through: the club reads it a
        // share at a time between the others' lines and holds no more than that share.
        QByteArray flood;
        for (int i = 0; i < 2000; ++i)
            flood += "M" + QByteArray(200, 'a') + "\r\n";
        qint64 held = 0;
        for (int round = 0; round < 160; ++round) {
            flooder.write(flood);
            // Anna asks now and then: she too has only ten lines a second.
            if (round % 8 == 0)
                QVERIFY(anna.sync());
            else
                QCoreApplication::processEvents();
            for (QTcpSocket *s : server->findChildren<QTcpSocket *>())
                held = std::max(held, s->bytesAvailable());
        }
        QVERIFY2(held <= club::Member::ReadBuffer, qPrintable(QString::number(held)));
        QVERIFY(anna.next(QStringLiteral("MArad: ")).startsWith(QStringLiteral("MArad: a")));
        // The sender is told once a second, not once a line, and stays connected.
        flooder.readAll();
        QCOMPARE(flooder.state(), QAbstractSocket::ConnectedState);
        QTRY_COMPARE_WITH_TIMEOUT(flooder.bytesToWrite(), qint64(0), 60000);
        QVERIFY(anna.sync());
    }

    void misbehavingPlayerLosesNothingFromTheArchive()
    {
        server = StartClub();
        QVERIFY(server);
        ClubClient &anna = member(QStringLiteral("Anna"));
        QVERIFY(anna.enter(QStringLiteral("Terem1")));
        // Someone watches, so the room and its deal go on when Anna is gone.
        ClubClient &bela = member(QStringLiteral("Béla"));
        QVERIFY(bela.enter(QStringLiteral("Terem1")));
        anna.send(QStringLiteral("I1"));
        QVERIFY(!anna.next(QStringLiteral("H")).isNull());
        // A flood, lines of garbage and then a line no client may send: closed mid-deal.
        QByteArray junk;
        for (int i = 0; i < 200; ++i)
            junk += "P" + QByteArray::number(i) + "\r\nB9 x\r\n\x01\xff\r\n";
        anna.sendRaw(junk + QByteArray(LineFramer::DefaultLimit + 10, 'M'));
        QVERIFY(anna.waitClosed());
        // The robot that takes the seat plays the deal out, and it is stored whole.
        const int today = club::wire::DayNumber(ClubDate);
        QTRY_COMPARE_WITH_TIMEOUT(server->store().dealsOfDay(today, 10).size(), qsizetype(1), 30000);
        const club::DealRecord deal = server->store().dealsOfDay(today, 10).first();
        for (const QList<int> &cards : deal.played)
            QCOMPARE(cards.size(), 10);
        QVERIFY(bela.sync());
    }
};

QTEST_GUILESS_MAIN(TestClubAbuse)
#include "tst_clubabuse.moc"
