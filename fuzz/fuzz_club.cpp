// Any sequence of lines from the club's members, through real loopback connections: login,
// registration, rooms, seats, bids, cards, chat, history and matches. Whatever they send, the
// club answers with lines a client can read, never crashes, and keeps serving.
//
// Input: LF-separated lines. A line that starts with '0', '1' or '2' goes from that member,
// the rest from member 0. Members 0 and 1 come logged in as "Fuzza" and "Fuzzb"; member 2 is
// a stranger who has not logged in. A CR in a line stays in it: only CR LF ends a line.
//
// The club and its connections are made once and reused: between inputs every member goes
// back to the lobby, a member whose connection the club closed connects again, and the whole
// club is made anew after RebuildEvery inputs, so that what members register or propose does
// not pile up without bound.

#include "server/ClubServer.h"
#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sys/ioctl.h>

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

namespace {

constexpr int Members = 3;
constexpr int RebuildEvery = 500;
constexpr int WaitMs = 5000;

struct Peer
{
    std::unique_ptr<QTcpSocket> socket;
    LineFramer framer;
    QString nick; // empty for the stranger
};

class Fixture
{
public:
    Fixture()
    {
        static int argc = 1;
        static char name[] = "fuzz_club";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
        m_peers[0].nick = QStringLiteral("Fuzza");
        m_peers[1].nick = QStringLiteral("Fuzzb");
    }

    void begin()
    {
        if (!m_club || ++m_inputs > RebuildEvery)
            rebuild();
        for (Peer &p : m_peers)
            if (!p.socket || p.socket->state() != QAbstractSocket::ConnectedState)
                if (!reconnect(p)) {
                    // The last input changed a member's password or name: start over.
                    rebuild();
                    for (Peer &q : m_peers)
                        if (!reconnect(q))
                            std::abort();
                    return;
                }
    }

    void send(int member, const QByteArray &line)
    {
        m_peers[member].socket->write(line + "\r\n");
    }

    // Waits until the club has read and handled everything sent, then reads its answers.
    void settle()
    {
        QElapsedTimer waited;
        waited.start();
        while (!clubCaughtUp()) {
            if (waited.elapsed() > WaitMs)
                std::abort(); // the club stopped reading a member
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (Peer &p : m_peers)
            drain(p);
        // Back to the lobby: the next input starts where a member starts after logging in.
        for (int i = 0; i < Members; ++i)
            if (m_peers[i].socket->state() == QAbstractSocket::ConnectedState && !m_peers[i].nick.isEmpty())
                send(i, Cp1250::encode(QStringLiteral("J") + club::ClubServer::LobbyName));
    }

private:
    void rebuild()
    {
        for (Peer &p : m_peers)
            p.socket.reset();
        m_club.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        club::ClubOptions options;
        // The fuzzer is one very fast member: the flood limit would drop most of its lines.
        options.limits.burst = 1 << 30;
        options.limits.perSecond = 1e9;
        options.robotDelay = 0;
        // The plain robot: the one that imagines deals is a search of its own, fuzzed by
        // fuzz_game; here it would only slow the members' lines down.
        options.robotSamples = 0;
        options.date = [] { return QDate(2024, 3, 1); };
        options.clock = [] { return qint64(1709251200000); };
        m_club = std::make_unique<club::ClubServer>(options);
        if (!m_club->listen(QHostAddress::LocalHost, 0))
            std::abort();
        m_inputs = 1;
    }

    bool reconnect(Peer &p)
    {
        p.socket = std::make_unique<QTcpSocket>();
        p.framer.clear();
        p.socket->connectToHost(QHostAddress::LocalHost, m_club->serverPort());
        if (!p.socket->waitForConnected(WaitMs))
            std::abort();
        if (p.nick.isEmpty())
            return true;
        p.socket->write(Cp1250::encode(QStringLiteral("L%1 1234").arg(p.nick)) + "\r\n");
        // Logged in once the lobby has come.
        QElapsedTimer waited;
        waited.start();
        bool lobby = false;
        while (!lobby) {
            if (waited.elapsed() > WaitMs)
                std::abort();
            if (p.socket->state() != QAbstractSocket::ConnectedState)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            p.framer.feed(p.socket->readAll());
            while (const auto line = p.framer.takeLine())
                lobby = lobby || line->startsWith('L');
        }
        return true;
    }

    bool clubCaughtUp() const
    {
        for (const Peer &p : m_peers)
            if (p.socket->state() == QAbstractSocket::ConnectedState && p.socket->bytesToWrite() > 0)
                return false;
        const auto sockets = m_club->findChildren<QTcpSocket *>();
        for (QTcpSocket *s : sockets) {
            if (s->state() != QAbstractSocket::ConnectedState)
                continue;
            int waiting = 0;
            if (s->bytesAvailable() > 0 || (ioctl(int(s->socketDescriptor()), FIONREAD, &waiting) == 0 && waiting > 0))
                return false;
        }
        return true;
    }

    static void drain(Peer &p)
    {
        p.framer.feed(p.socket->readAll());
        while (const auto line = p.framer.takeLine()) {
            if (line->isEmpty())
                std::abort(); // the club never sends an empty line
        }
        // Every line the club sends fits the longest line a client reads.
        if (p.framer.overflowed())
            std::abort();
    }

    std::unique_ptr<QCoreApplication> m_app;
    std::unique_ptr<club::ClubServer> m_club;
    std::array<Peer, Members> m_peers;
    int m_inputs = 0;
};

Fixture &fixture()
{
    static Fixture *f = new Fixture;
    return *f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fixture &f = fixture();
    f.begin();
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (QByteArray line : input.split('\n')) {
        int member = 0;
        if (!line.isEmpty() && line[0] >= '0' && line[0] < '0' + Members) {
            member = line[0] - '0';
            line.remove(0, 1);
        }
        // CR LF inside would be two lines; the club reads lines, so send them as the wire would.
        f.send(member, line);
    }
    f.settle();
    return 0;
}
