// Load on the club server: many members log in over loopback, chat and take and leave
// seats, while the server's memory is read from /proc at the start, the middle and the end.
//
//   bench_club [--seconds N] [--clients N] [--server PATH]
//
// Goals: no line lost (every chat comes back to its sender, every seat request is answered),
// resident memory at the end within 10% of the middle, chat echo under 100 ms on average.

#include "BenchClub.h"

#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Totals
{
    long sent = 0;
    long received = 0;
    long chatsSent = 0;
    long echoes = 0;
    long seatRequests = 0;
    long seatAnswers = 0;
    double echoMsSum = 0;
    double echoMsMax = 0;
};

class Bot : public QObject
{
public:
    Bot(int index, quint16 port, Totals &totals) : m_nick(QStringLiteral("B%1").arg(index)), m_totals(totals)
    {
        m_room = index % 4 == 0 ? QString() : QStringLiteral("Terem%1").arg(1 + index % 3);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        // No password: the club checks only so many passwords a second, and hundreds of
        // members logging in within a second is not what this measures.
        connect(&m_socket, &QTcpSocket::connected, this, [this] { send(QStringLiteral("L%1 0").arg(m_nick)); });
        connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
            std::fprintf(stderr, "%s: %s\n", qPrintable(m_nick), qPrintable(m_socket.errorString()));
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool ready() const { return m_ready; }
    // One action: mostly chat, now and then a seat taken or given back.
    void act()
    {
        if (!m_ready)
            return;
        const int roll = int(QRandomGenerator::global()->bounded(10));
        if (!m_room.isEmpty() && roll == 0) {
            if (m_seat) {
                send(QStringLiteral("I0"));
            } else {
                send(QStringLiteral("I%1").arg(1 + QRandomGenerator::global()->bounded(4)));
            }
            ++m_totals.seatRequests;
            ++m_pendingSeat;
            return;
        }
        const int seq = m_chatSeq++;
        m_echoClock.push_back(m_clock.nsecsElapsed());
        send(QStringLiteral("M#%1 Sziasztok, ez itt a(z) %1. üzenet árvíztűrő tükörfúrógéppel").arg(seq));
        ++m_totals.chatsSent;
    }

private:
    void send(const QString &line)
    {
        m_socket.write(Cp1250::encode(line) + "\r\n");
        ++m_totals.sent;
    }
    void read()
    {
        m_framer.feed(m_socket.readAll());
        while (const auto bytes = m_framer.takeLine()) {
            ++m_totals.received;
            handle(Cp1250::decode(*bytes));
        }
    }
    void handle(const QString &line)
    {
        if (!m_ready && line.startsWith(QLatin1Char('L'))) {
            if (m_room.isEmpty())
                m_ready = true;
            else
                send(QStringLiteral("J") + m_room);
            return;
        }
        if (!m_ready && line.startsWith(QStringLiteral("J") + m_room + QLatin1Char(' '))) {
            m_ready = true;
            return;
        }
        const QString own = QStringLiteral("I") + m_nick + QLatin1Char(' ');
        if (line.startsWith(own)) {
            m_seat = line.mid(own.size()).toInt();
            if (m_pendingSeat > 0) {
                --m_pendingSeat;
                ++m_totals.seatAnswers;
            }
            return;
        }
        if (line.startsWith(QStringLiteral("MSzerver: "))) {
            if (line.contains(QStringLiteral("Túl sok sor")))
                std::fprintf(stderr, "flood notice for %s\n", qPrintable(m_nick));
            else if (m_pendingSeat > 0) {  // "Foglalt", "Előbb állj fel!"
                --m_pendingSeat;
                ++m_totals.seatAnswers;
            }
            return;
        }
        const QString echo = QStringLiteral("M%1: #").arg(m_nick);
        if (line.startsWith(echo) && !m_echoClock.empty()) {
            const double ms = double(m_clock.nsecsElapsed() - m_echoClock.front()) / 1e6;
            m_echoClock.pop_front();
            ++m_totals.echoes;
            m_totals.echoMsSum += ms;
            m_totals.echoMsMax = std::max(m_totals.echoMsMax, ms);
        }
    }

    QString m_nick;
    QString m_room;
    Totals &m_totals;
    QTcpSocket m_socket;
    LineFramer m_framer{1 << 20};
    QElapsedTimer m_clock = [] { QElapsedTimer t; t.start(); return t; }();
    std::deque<qint64> m_echoClock;
    int m_chatSeq = 0;
    int m_seat = 0;
    int m_pendingSeat = 0;
    bool m_ready = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long the load lasts (default 60).", "n", "60"});
    parser.addOption({"clients", "Members logged in at once (default 200).", "n", "200"});
    parser.addOption({"server", "The vimo-club program.", "path", QStringLiteral(VIMO_CLUB_PATH)});
    parser.process(app);
    const int seconds = std::clamp(parser.value("seconds").toInt(), 1, 3600);
    const int count = std::clamp(parser.value("clients").toInt(), 1, 450);

    bench::Club subject;
    if (!subject.start(parser.value("server")))
        return 1;
    const quint16 port = subject.port;
    QProcess &server = subject.process;
    const long &logLines = subject.logLines;
    const qint64 pid = server.processId();

    Totals totals;
    std::vector<std::unique_ptr<Bot>> bots;
    QElapsedTimer clock;
    clock.start();
    const auto waitUntil = [](const std::function<bool()> &done, int ms) {
        QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return done();
    };
    // The club turns away connections from one address beyond a few that have not logged in
    // yet, so the members come in a few at a time, as people do.
    constexpr qsizetype ArrivingAtOnce = 8;
    const bool allIn = waitUntil([&] {
        const qsizetype arriving =
            std::count_if(bots.begin(), bots.end(), [](const auto &b) { return !b->ready(); });
        if (arriving == 0 && int(bots.size()) == count)
            return true;
        for (qsizetype n = arriving; n < ArrivingAtOnce && int(bots.size()) < count; ++n)
            bots.push_back(std::make_unique<Bot>(int(bots.size()), port, totals));
        return false;
    }, 30000);
    const double loginSeconds = double(clock.elapsed()) / 1000.0;
    if (!allIn) {
        std::fprintf(stderr, "not every member got in within 30 s\n");
        return 1;
    }
    const long rssStart = bench::ProcField(pid, "VmRSS:");

    // Every member acts about four times a second, in turn with the others.
    QTimer tick;
    tick.setInterval(10);
    int next = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        for (int k = 0; k < std::max(1, count / 25); ++k)
            bots[size_t(next++ % count)]->act();
    });
    clock.restart();
    tick.start();
    long rssMiddle = -1;
    QTimer::singleShot(seconds * 500, [&] { rssMiddle = bench::ProcField(pid, "VmRSS:"); });
    waitUntil([] { return false; }, seconds * 1000);
    tick.stop();
    const double loadSeconds = double(clock.elapsed()) / 1000.0;
    // What is still on its way is given a few seconds to arrive.
    waitUntil([&] { return totals.echoes == totals.chatsSent && totals.seatAnswers == totals.seatRequests; }, 10000);
    const long rssEnd = bench::ProcField(pid, "VmRSS:");
    const long rssPeak = bench::ProcField(pid, "VmHWM:");
    bots.clear();
    server.terminate();
    server.waitForFinished(5000);

    const long lost = (totals.chatsSent - totals.echoes) + (totals.seatRequests - totals.seatAnswers);
    std::printf("members             %d (logged in and seated in their rooms in %.2f s)\n", count, loginSeconds);
    std::printf("load                %.1f s\n", loadSeconds);
    std::printf("lines sent          %ld (%.0f/s)\n", totals.sent, double(totals.sent) / loadSeconds);
    std::printf("lines received      %ld (%.0f/s)\n", totals.received, double(totals.received) / loadSeconds);
    std::printf("chat echoes         %ld of %ld, %.2f ms average, %.2f ms longest\n", totals.echoes,
                totals.chatsSent, totals.echoes ? totals.echoMsSum / double(totals.echoes) : 0.0, totals.echoMsMax);
    std::printf("seat answers        %ld of %ld\n", totals.seatAnswers, totals.seatRequests);
    std::printf("lost lines          %ld\n", lost);
    std::printf("server log lines    %ld\n", logLines);
    std::printf("server RSS          start %ld kB, middle %ld kB, end %ld kB, peak %ld kB\n", rssStart, rssMiddle,
                rssEnd, rssPeak);
    return lost == 0 ? 0 : 1;
}
