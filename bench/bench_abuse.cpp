// The club under abuse, over loopback, against the real vimo-club: while each kind of abuse
// goes on, a member who behaves asks the club something five times a second (well inside the
// club's ten lines a second) and the time to its answer is measured. Phases, each --seconds long:
//
//   quiet      nothing else happens (the baseline)
//   idle       --idle connections opened and held without a login
//   chat       --flooders members in the prober's room send chat as fast as they can write
//   passwords  connections from this address log in with wrong passwords, one after another
//   sleeper    a member in the room stops reading while the flooders go on
//   together   all at once: --sleepers members in the room who never read, the flooders
//              (ten lines of 15 kB a second each, the most the club lets through),
//              two members pinging ten times a second, --writers members sending "W" ten
//              times a second, a login every 50 ms that leaves again, and --guessers addresses
//              trying wrong passwords; a second member who behaves counts the prober's chat
//
//   bench_abuse [--seconds N] [--idle N] [--flooders N] [--sleepers N] [--writers N]
//               [--guessers N] [--server PATH]
//
// The members come from many loopback addresses (127.0.x.y), a few at a time, as the club
// takes strangers from one address. The prober and the counting member answer every "?" with
// a "G", as the client does.
//
// Goals: the prober is answered within 100 ms throughout, none of its chat lines is lost, and
// the club's peak memory (VmHWM) stays under 300 MB.

#include "BenchClub.h"

#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

void waitUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

// One member's connection: lines counted, the ones wanted looked for.
class Peer : public QObject
{
public:
    Peer(quint16 port, bool reads = true, const QHostAddress &from = {})
    {
        if (!reads)
            stopReading();
        if (!from.isNull())
            m_socket.bind(from);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
            if (!m_reads)
                return;
            m_framer.feed(m_socket.readAll());
            while (const auto line = m_framer.takeLine()) {
                ++received;
                if (onLine)
                    onLine(*line);
            }
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void send(const QByteArray &line) { m_socket.write(line + "\r\n"); }
    bool open() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    qint64 unsent() const { return m_socket.bytesToWrite(); }
    QTcpSocket &socket() { return m_socket; }
    // From now on nothing more is read: past a small buffer, the club keeps what it sends.
    void stopReading()
    {
        m_reads = false;
        m_socket.setReadBufferSize(4096);
        // A peer elsewhere keeps its buffers on its own machine; this one is on the club's,
        // where the system would let it take megabytes.
        m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 65536);
    }

    std::function<void(const QByteArray &)> onLine;
    long received = 0;

private:
    QTcpSocket m_socket;
    LineFramer m_framer{1 << 20};
    bool m_reads = true;
};

// Asks "Y" every 200 ms and times each answer; one question out at a time.
class Prober
{
public:
    explicit Prober(Peer &peer) : m_peer(peer)
    {
        m_peer.onLine = [this](const QByteArray &line) {
            if (line.startsWith('?'))
                m_peer.send("G" + line.mid(1) + " Proba");
            if (line.startsWith('Y') && m_out) {
                m_times.push_back(double(m_clock.nsecsElapsed()) / 1e6);
                m_out = false;
            }
        };
        m_timer.setInterval(200);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_out) {
                // Still waiting: the wait so far counts when the phase ends.
                return;
            }
            m_out = true;
            m_clock.start();
            m_peer.send("Y");
        });
    }
    void start()
    {
        m_times.clear();
        m_out = false;
        m_timer.start();
    }
    void stop()
    {
        m_timer.stop();
        waitUntil([this] { return !m_out; }, 5000);
        if (m_out)
            m_times.push_back(double(m_clock.nsecsElapsed()) / 1e6);
        m_out = false;
    }
    QString figures() const
    {
        if (m_times.empty())
            return QStringLiteral("no answers");
        std::vector<double> t = m_times;
        std::sort(t.begin(), t.end());
        const auto at = [&](double q) { return t[std::min(t.size() - 1, size_t(q * double(t.size())))]; };
        return QStringLiteral("%1 answers, median %2 ms, 99%: %3 ms, longest %4 ms")
            .arg(t.size())
            .arg(at(0.5), 0, 'f', 2)
            .arg(at(0.99), 0, 'f', 2)
            .arg(t.back(), 0, 'f', 2);
    }
    double longest() const { return m_times.empty() ? 1e9 : *std::max_element(m_times.begin(), m_times.end()); }

private:
    Peer &m_peer;
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<double> m_times;
    bool m_out = false;
};

std::unique_ptr<Peer> member(quint16 port, const QByteArray &nick, const QByteArray &room = {},
                             const QHostAddress &from = {})
{
    auto p = std::make_unique<Peer>(port, true, from);
    bool in = false;
    p->onLine = [&](const QByteArray &line) { in = in || line.startsWith(room.isEmpty() ? "L" : "J" + room); };
    p->send("L" + nick + " 1");
    if (!room.isEmpty())
        p->send("J" + room);
    waitUntil([&] { return in; }, 10000);
    p->onLine = nullptr;
    return in ? std::move(p) : nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long each phase lasts (default 5).", "n", "5"});
    parser.addOption({"idle", "Connections held without a login (default 1000).", "n", "1000"});
    parser.addOption({"flooders", "Members flooding the room with chat (default 4).", "n", "4"});
    parser.addOption({"sleepers", "Members who never read, all together (default 300).", "n", "300"});
    parser.addOption({"writers", "Members sending \"W\" ten times a second (default 50).", "n", "50"});
    parser.addOption({"guessers", "Addresses guessing passwords (default 60).", "n", "60"});
    parser.addOption({"server", "The vimo-club program.", "path", QStringLiteral(VIMO_CLUB_PATH)});
    parser.process(app);
    const int sleeperCount = std::clamp(parser.value("sleepers").toInt(), 1, 400);
    const int writerCount = std::clamp(parser.value("writers").toInt(), 1, 100);
    const int guesserCount = std::clamp(parser.value("guessers").toInt(), 1, 250);
    const int ms = std::clamp(parser.value("seconds").toInt(), 1, 600) * 1000;
    const int idleCount = std::clamp(parser.value("idle").toInt(), 1, 10000);
    const int flooderCount = std::clamp(parser.value("flooders").toInt(), 1, 40);

    bench::Club subject;
    if (!subject.start(parser.value("server")))
        return 1;
    const quint16 port = subject.port;
    QProcess &server = subject.process;
    const long &logLines = subject.logLines;
    const qint64 pid = server.processId();
    const auto rss = [&] { return bench::ProcField(pid, "VmRSS:"); };

    auto probe = member(port, "Proba", "Terem1");
    if (!probe) {
        std::fprintf(stderr, "the prober could not log in\n");
        return 1;
    }
    Prober prober(*probe);
    bool ok = true;
    const auto phase = [&](const char *name, const std::function<void()> &during) {
        const long before = rss();
        prober.start();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (during)
                during();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        prober.stop();
        std::printf("%-10s %s; club RSS %ld -> %ld kB\n", name, qPrintable(prober.figures()), before, rss());
        std::fflush(stdout);
        ok = ok && prober.longest() < 5000;
    };

    phase("quiet", nullptr);

    // Idle connections: opened in the first part of the phase and held.
    std::vector<std::unique_ptr<Peer>> idle;
    phase("idle", [&] {
        for (int k = 0; k < 20 && int(idle.size()) < idleCount; ++k)
            idle.push_back(std::make_unique<Peer>(port, false));
    });
    const long idleClosed = std::count_if(idle.begin(), idle.end(), [](const auto &p) { return !p->open(); });
    std::printf("           %zu idle connections opened, %ld closed by the club\n", idle.size(), idleClosed);
    idle.clear();

    std::vector<std::unique_ptr<Peer>> flooders;
    for (int i = 0; i < flooderCount; ++i)
        if (auto f = member(port, "Arad" + QByteArray::number(i), "Terem1"))
            flooders.push_back(std::move(f));
    const QByteArray chat = "M" + QByteArray(200, 'a');
    const auto flood = [&] {
        for (auto &f : flooders)
            if (f->unsent() < 65536)
                for (int k = 0; k < 50; ++k)
                    f->send(chat);
    };
    phase("chat", flood);

    long wrong = 0, barred = 0;
    std::unique_ptr<Peer> guess;
    bool answered = true;
    phase("passwords", [&] {
        if (!answered && guess && guess->open())
            return;
        guess = std::make_unique<Peer>(port);
        answered = false;
        guess->onLine = [&](const QByteArray &line) {
            if (line.contains("Hib\xe1s jelsz\xf3"))
                ++wrong;
            else if (line.contains("T\xfal sok hib\xe1s"))
                ++barred;
            answered = true;
        };
        guess->send("LProba 12345");
    });
    std::printf("           %ld wrong passwords answered, %ld attempts refused for the address\n", wrong, barred);
    guess.reset();

    auto sleeper = std::make_unique<Peer>(port, false);
    sleeper->send("LAlvo 1");
    sleeper->send("JTerem1");
    phase("sleeper", flood);
    std::printf("           the member who never read was %s\n",
                sleeper->open() ? "still connected (or not yet told)" : "disconnected");

    sleeper.reset();

    // Together. Members log in a few at a time, spread over addresses as the club's caps
    // expect: sixteen members at most from one address.
    const auto address = [](int group, int k) { return QHostAddress(QStringLiteral("127.0.%1.%2").arg(group).arg(k)); };
    const auto many = [&](int count, const QByteArray &prefix, int group, const QByteArray &room) {
        std::vector<std::unique_ptr<Peer>> peers;
        for (int i = 0; i < count; ++i)
            if (auto p = member(port, prefix + QByteArray::number(i), room, address(group, 1 + i / 16)))
                peers.push_back(std::move(p));
        return peers;
    };
    auto listener = member(port, "Hallgato", "Terem1", address(5, 1));
    long heard = 0;
    if (listener)
        listener->onLine = [&](const QByteArray &line) {
            if (line.startsWith('?'))
                listener->send("G" + line.mid(1) + " Hallgato");
            else if (line.startsWith("MProba: sor "))
                ++heard;
        };
    auto sleepers = many(sleeperCount, "Alvo", 1, "Terem1");
    for (auto &p : sleepers)
        p->stopReading();
    auto pingers = many(2, "Pingelo", 6, "Terem1");
    auto writers = many(writerCount, "Iro", 3, {});
    std::printf("           together: %zu sleepers, %zu flooders, %zu pingers, %zu writers logged in\n", sleepers.size(),
                flooders.size(), pingers.size(), writers.size());
    std::vector<std::unique_ptr<Peer>> churn, guessers;
    long said = 0, churned = 0;
    QElapsedTimer every;
    every.start();
    qint64 lastTenth = -1, lastChat = 0, lastChurn = 0;
    // The flooders at the rate the club allows, with the longest lines it takes: every sleeper
    // is sent 4 x 10 x 15 kB a second.
    const QByteArray longChat = "M" + QByteArray(15000, 'b');
    phase("together", [&] {
        const qint64 now = every.elapsed();
        if (now / 100 != lastTenth) {
            lastTenth = now / 100;
            for (auto &f : flooders)
                f->send(longChat);
            for (auto &p : pingers)
                p->send("?");
            for (auto &w : writers)
                w->send("W" + QByteArray::number(lastTenth % 1000));
            // Each guessing address keeps one connection trying, a new one when it is closed.
            if (guessers.size() < size_t(guesserCount))
                guessers.push_back(std::make_unique<Peer>(port, true, address(2, 1 + int(guessers.size()))));
            for (size_t g = 0; g < guessers.size(); ++g) {
                if (!guessers[g]->open() && guessers[g]->socket().state() == QAbstractSocket::UnconnectedState)
                    guessers[g] = std::make_unique<Peer>(port, true, address(2, 1 + int(g)));
                guessers[g]->send("LProba " + QByteArray::number(lastTenth % 5000 + 2));
            }
        }
        if (now - lastChat >= 500) {
            lastChat = now;
            probe->send("Msor " + QByteArray::number(++said));
        }
        if (now - lastChurn >= 50) {
            lastChurn = now;
            // A login that leaves as soon as it is in; the oldest few are let go.
            auto c = std::make_unique<Peer>(port, true, address(4, 1 + int(churned % 8)));
            c->send("LJovo" + QByteArray::number(churned++ % 40) + " 1");
            churn.push_back(std::move(c));
            if (churn.size() > 8)
                churn.erase(churn.begin());
        }
    });
    waitUntil([&] { return heard >= said; }, 3000);
    std::printf("           the prober's chat: %ld lines said, %ld heard by the other member who behaves\n", said, heard);
    // A peer that does not read does not see its connection cut either: read now, and look.
    for (auto &p : sleepers) {
        p->socket().setReadBufferSize(0);
        p->socket().readAll();
    }
    waitUntil([&] { return false; }, 2000);
    for (auto &p : sleepers)
        p->socket().readAll();
    std::printf("           %ld of %zu sleepers cut off by the club, club RSS now %ld kB\n",
                long(std::count_if(sleepers.begin(), sleepers.end(), [](const auto &p) { return !p->open(); })),
                sleepers.size(), rss());
    ok = ok && heard == said;
    sleepers.clear();
    churn.clear();
    guessers.clear();
    writers.clear();
    pingers.clear();
    listener.reset();

    flooders.clear();
    probe.reset();
    const long peak = bench::ProcField(pid, "VmHWM:");
    server.terminate();
    server.waitForFinished(5000);
    std::printf("club peak RSS %ld kB, %ld log lines\n", peak, logLines);
    return ok ? 0 : 1;
}
