// Any sequence of lines from the club's members: login, registration, rooms, seats, bids,
// cards, chat, history and matches. Whatever they send, the club answers with lines a client
// can read, never crashes, and keeps serving.
//
// Input: LF-separated lines. A line that starts with '0', '1' or '2' goes from that member,
// the rest from member 0. Members 0 and 1 come logged in as "Fuzza" and "Fuzzb"; member 2 is
// a stranger who has not logged in. A CR in a line stays in it: only CR LF ends a line. A
// line left empty (after its member's digit) is sent as it is, and then the club's event
// loop takes a turn: robots move, timers due fire, closed connections go. Without it robots
// would only move after the last line, and no member could answer them. An input gets at
// most TurnsPerInput turns, enough for members and robots to take turns through much of a
// deal; past them an empty line is only a line, since hundreds of turns, each a move in
// every room with robots, would swamp the members' lines.
//
// The members' connections are in-process: the club's end is a QTcpSocket that hands the
// member's bytes to the club's own Member as a read notification would, and keeps what the
// club writes for the target to read. Member's reading, framing and flood control and the
// club's dispatch are the same as for a connection from the network; only the kernel's
// loopback round trips, which took most of the time per input, are gone, and the target
// knows exactly when the club has read everything: when deliver() returns.
//
// The club and its connections are made once and reused: between inputs every member goes
// back to the lobby, a member whose connection the club closed connects again, and the whole
// club is made anew after RebuildEvery inputs, so that what members register or propose does
// not pile up without bound.

#include "server/ClubServer.h"
#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

namespace {

constexpr int Members = 3;
constexpr int RebuildEvery = 500;
constexpr int TurnsPerInput = 32;

// The club's end of one member's connection, in process. What the member sends is read by
// the club when deliver() tells it, as a socket does on its read notification; what the club
// writes waits until the target takes it, as unread bytes wait in a socket. Closing by either
// side behaves as a socket's: abort() at once, disconnectFromHost() once written.
class LoopSocket : public QTcpSocket
{
public:
    explicit LoopSocket(quint16 port)
    {
        QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
        setPeerAddress(QHostAddress(QHostAddress::LocalHost));
        setPeerPort(port);
        setLocalAddress(QHostAddress(QHostAddress::LocalHost));
        setLocalPort(5000);
        setSocketState(ConnectedState);
    }

    ~LoopSocket() override
    {
        // Gone with its member: nobody is left to tell.
        setSocketState(UnconnectedState);
    }

    void deliver(const QByteArray &bytes)
    {
        if (state() != ConnectedState || bytes.isEmpty())
            return;
        if (m_read == m_in.size()) {
            m_in.resize(0); // its room kept for the next lines
            m_read = 0;
        }
        m_in.append(bytes);
        emit readyRead();
    }

    // What the club wrote since the target last read; read() keeps the buffer for what comes.
    const QByteArray &output() const { return m_out; }
    void read() { m_out.resize(0); }

    qint64 bytesAvailable() const override { return m_in.size() - m_read + QIODevice::bytesAvailable(); }
    // What the member has not read yet: the club's cap on unsent bytes looks at this.
    qint64 bytesToWrite() const override { return m_out.size(); }
    void setReadBufferSize(qint64) override {}
    void setSocketOption(SocketOption, const QVariant &) override {}

    void disconnectFromHost() override
    {
        if (state() != ConnectedState)
            return;
        // What was written is handed over on the next turn, and then the socket closes.
        setSocketState(ClosingState);
        QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
    }

    void close() override
    {
        // abort() ends here.
        if (state() == UnconnectedState) {
            QIODevice::close();
            return;
        }
        finish();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, m_in.size() - m_read);
        std::memcpy(data, m_in.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (state() != ConnectedState)
            return -1;
        m_out.append(data, size);
        return size;
    }

private:
    void finish()
    {
        if (state() == UnconnectedState)
            return;
        setSocketState(UnconnectedState);
        QIODevice::close();
        emit disconnected();
    }

    QByteArray m_in;
    qsizetype m_read = 0;
    QByteArray m_out;
};

struct Peer
{
    QPointer<LoopSocket> socket;
    QString nick;     // empty for the stranger
    QByteArray batch; // lines written but not yet read by the club
    QByteArray tail;  // the club's output after its last CR LF
    quint16 port = 0;

    bool connected() const { return socket && socket->state() == QAbstractSocket::ConnectedState; }
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
        m_lobbyLine = Cp1250::encode(QStringLiteral("J") + club::ClubServer::LobbyName) + "\r\n";
    }

    void begin()
    {
        m_turns = 0;
        if (!m_club || ++m_inputs > RebuildEvery)
            rebuild();
        for (Peer &p : m_peers)
            if (!p.connected() && !reconnect(p)) {
                // The last input changed a member's password or name: start over.
                rebuild();
                for (Peer &q : m_peers)
                    if (!q.connected() && !reconnect(q))
                        std::abort();
                return;
            }
    }

    // Lines of one member go together while no other member's line comes between: the club
    // reads them at one notification, as it would read them from one packet.
    void send(int member, const QByteArray &line)
    {
        if (member != m_current)
            deliver();
        m_current = member;
        m_peers[member].batch += line;
        m_peers[member].batch += "\r\n";
        if (line.isEmpty() && m_turns < TurnsPerInput) {
            ++m_turns;
            deliver();
            turn();
        }
    }

    // Lets the club finish what the input started, reads its answers, and brings the
    // members back to where the next input starts.
    void settle()
    {
        deliver();
        turn();
        // A connection the club closed goes in three steps, each posted: the socket's close,
        // the member's going, and its deletion.
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // Back to the lobby: the next input starts where a member starts after logging in.
        const club::Room *lobby = m_club->findRoom(club::ClubServer::LobbyName);
        for (Peer &p : m_peers) {
            if (p.nick.isEmpty() || !p.connected())
                continue;
            const auto *m = qobject_cast<const club::Member *>(p.socket->parent());
            if (m && m->room != lobby)
                p.socket->deliver(m_lobbyLine);
        }
        for (Peer &p : m_peers)
            drain(p);
    }

private:
    void deliver()
    {
        if (m_current < 0)
            return;
        Peer &p = m_peers[m_current];
        m_current = -1;
        if (p.connected())
            p.socket->deliver(p.batch);
        p.batch.resize(0);
    }

    static void turn()
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void rebuild()
    {
        m_current = -1;
        for (Peer &p : m_peers) {
            p.socket.clear();
            p.batch.clear();
            p.tail.clear();
        }
        m_club.reset();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        club::ClubOptions options;
        // The fuzzer is one very fast member: the flood limit would drop most of its lines.
        options.limits.burst = 1 << 30;
        options.limits.perSecond = 1e9;
        // Its members all come from one address, on a clock that stands still: the caps on
        // logins and new members per address would close the door after the first few.
        options.limits.loginsPerAddress = 1 << 30;
        options.limits.loginsPerName = 1 << 30;
        options.limits.hashBurst = 1 << 30;
        options.limits.newMembersPerAddress = 1 << 30;
        options.limits.perAddress = options.limits.maxMembers;
        for (club::CostlyPace &pace : options.limits.paces)
            pace = {{1e9, 1e9}, {1e9, 1e9}};
        options.robotDelay = 0;
        // The plain robot: the one that imagines deals is a search of its own, fuzzed by
        // fuzz_game; here it would only slow the members' lines down.
        options.robotSamples = 0;
        options.date = [] { return QDate(2024, 3, 1); };
        options.clock = [] { return qint64(1709251200000); };
        m_club = std::make_unique<club::ClubServer>(options);
        m_inputs = 1;
    }

    bool reconnect(Peer &p)
    {
        // A fresh port for each connection, as the system would give.
        auto *socket = new LoopSocket(quint16(40000 + (m_nextPort++ % 20000)));
        p.socket = socket;
        p.batch.clear();
        p.tail.clear();
        m_club->addConnection(socket);
        if (p.nick.isEmpty())
            return p.connected();
        p.socket->deliver(Cp1250::encode(QStringLiteral("L%1 1234").arg(p.nick)) + "\r\n");
        // Logged in once the lobby has come; the club answers a login before it returns.
        bool lobby = false;
        forEachLine(p, p.socket->output(), [&](const char *line, qsizetype) { lobby = lobby || *line == 'L'; });
        p.socket->read();
        if (lobby)
            return true;
        if (p.connected())
            std::abort(); // the club neither let the member in nor turned it away
        return false;
    }

    static void drain(Peer &p)
    {
        if (!p.socket)
            return;
        forEachLine(p, p.socket->output(), [](const char *, qsizetype) {});
        p.socket->read();
    }

    // Cuts the club's output into lines as the client's LineFramer does (only CR LF ends a
    // line) and checks each: the club never sends an empty line, and every line fits the
    // longest line a client reads.
    template<typename F>
    static void forEachLine(Peer &p, const QByteArray &fresh, F &&take)
    {
        QByteArray joined;
        if (!p.tail.isEmpty())
            joined = std::exchange(p.tail, QByteArray()) + fresh;
        const QByteArray &out = joined.isEmpty() ? fresh : joined;
        const char *base = out.constData();
        const qsizetype end = out.size();
        qsizetype start = 0;
        qsizetype from = 0;
        while (from < end) {
            const void *hit = std::memchr(base + from, '\r', size_t(end - from));
            if (!hit)
                break;
            const qsizetype cr = static_cast<const char *>(hit) - base;
            if (cr + 1 >= end)
                break;
            if (base[cr + 1] != '\n') {
                from = cr + 1;
                continue;
            }
            const qsizetype length = cr - start;
            if (length == 0 || length > LineFramer::DefaultLimit)
                std::abort();
            take(base + start, length);
            start = from = cr + 2;
        }
        if (end - start > LineFramer::DefaultLimit + 1)
            std::abort();
        if (start < end)
            p.tail = out.mid(start);
    }

    std::unique_ptr<QCoreApplication> m_app;
    std::unique_ptr<club::ClubServer> m_club;
    std::array<Peer, Members> m_peers;
    QByteArray m_lobbyLine;
    int m_current = -1; // whose lines wait in their batch
    int m_turns = 0;    // turns the input has given the club
    int m_inputs = 0;
    int m_nextPort = 0;
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
    const char *at = reinterpret_cast<const char *>(data);
    const char *const end = at + size;
    while (true) {
        const char *lf = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        const char *lineEnd = lf ? lf : end;
        int member = 0;
        if (at < lineEnd && *at >= '0' && *at < '0' + Members)
            member = *at++ - '0';
        f.send(member, QByteArray::fromRawData(at, lineEnd - at));
        if (!lf)
            break;
        at = lf + 1;
    }
    f.settle();
    return 0;
}
