// The club under abuse, over loopback, against the real vimo-club: while each kind of abuse
// goes on, a member who behaves asks the club something five times a second (well inside the
// club's ten lines a second) and the time to its answer is measured. Phases, each --seconds long:
//
//   quiet      nothing else happens (the baseline)
//   idle       --idle connections opened and held without a login
//   chat       --flooders members in the prober's room send chat as fast as they can write
//   passwords  connections from this address log in with wrong passwords, one after another
//   sleeper    a member in the room stops reading while the flooders go on
//
//   bench_abuse [--seconds N] [--idle N] [--flooders N] [--server PATH]
//
// Goal: the prober is answered within 100 ms throughout; the club's memory stays bounded.

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
    Peer(quint16 port, bool reads = true)
    {
        if (!reads)
            m_socket.setReadBufferSize(4096);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this, reads] {
            if (!reads)
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

    std::function<void(const QByteArray &)> onLine;
    long received = 0;

private:
    QTcpSocket m_socket;
    LineFramer m_framer{1 << 20};
};

// Asks "Y" every 200 ms and times each answer; one question out at a time.
class Prober
{
public:
    explicit Prober(Peer &peer) : m_peer(peer)
    {
        m_peer.onLine = [this](const QByteArray &line) {
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

std::unique_ptr<Peer> member(quint16 port, const QByteArray &nick, const QByteArray &room = {})
{
    auto p = std::make_unique<Peer>(port);
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
    parser.addOption({"server", "The vimo-club program.", "path", QStringLiteral(VIMO_CLUB_PATH)});
    parser.process(app);
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

    flooders.clear();
    probe.reset();
    const long peak = bench::ProcField(pid, "VmHWM:");
    server.terminate();
    server.waitForFinished(5000);
    std::printf("club peak RSS %ld kB, %ld log lines\n", peak, logLines);
    return ok ? 0 : 1;
}
