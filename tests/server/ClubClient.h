#pragma once
// A member's end of a connection to a club running in the test's own process: real
// loopback socket, Windows-1250 lines ended by CR LF, every received line kept in order.

#include "server/ClubServer.h"
#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QDate>
#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

class ClubClient : public QObject
{
public:
    // `from`: the loopback address to connect from (the club tells peers apart by address).
    explicit ClubClient(quint16 port, const QHostAddress &from = QHostAddress())
    {
        if (!from.isNull())
            m_socket.bind(from);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
            m_framer.feed(m_socket.readAll());
            while (const auto line = m_framer.takeLine())
                lines << Cp1250::decode(*line);
            tooLong = tooLong || m_framer.overflowed();
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool waitConnected() { return m_socket.waitForConnected(5000); }
    bool isClosed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    bool waitClosed() { return QTest::qWaitFor([this] { return isClosed(); }, 5000); }

    void sendRaw(const QByteArray &bytes) { m_socket.write(bytes); m_socket.flush(); }
    void send(const QString &line) { sendRaw(Cp1250::encode(line) + "\r\n"); }

    // A line longer than the client reads came: the real client would have hung up.
    bool tooLong = false;

    // Every line received so far, and a cursor for the lines not yet looked at.
    QStringList lines;
    qsizetype cursor = 0;

    // The first unread line that `match` accepts; the lines before it are passed over.
    QString next(const std::function<bool(const QString &)> &match, int ms = 5000)
    {
        QString found;
        (void)QTest::qWaitFor([&] {
            for (qsizetype i = cursor; i < lines.size(); ++i)
                if (match(lines[i])) {
                    found = lines[i];
                    cursor = i + 1;
                    return true;
                }
            return false;
        }, ms);
        return found;
    }
    QString next(const QString &prefix, int ms = 5000)
    {
        return next([&](const QString &l) { return l.startsWith(prefix); }, ms);
    }
    bool has(const QString &line) const { return lines.contains(line); }

    // Lines are answered in order, so once the club has answered a request of this
    // member, everything the earlier lines caused has been written to it.
    bool sync()
    {
        send(QStringLiteral("Y"));
        return !next(QStringLiteral("Y")).isNull();
    }
    // The lines received since the last look, taken.
    QStringList unread()
    {
        const QStringList rest = lines.mid(cursor);
        cursor = lines.size();
        return rest;
    }

    // Logs in and waits for the lobby snapshot.
    bool login(const QString &nick, int digest = 0)
    {
        if (!waitConnected())
            return false;
        send(QStringLiteral("L%1 %2").arg(nick).arg(digest));
        return !next(QStringLiteral("L")).isNull();
    }
    bool enter(const QString &room)
    {
        send(QStringLiteral("J") + room);
        return !next(QStringLiteral("J") + room + QLatin1Char(' ')).isNull();
    }

private:
    QTcpSocket m_socket;
    LineFramer m_framer;  // the client's own limit
};

// The day the tests' clubs keep their archive on. The system's date read when a test checks
// may be a day later than the one the club stored under, when the test runs across midnight.
inline const QDate ClubDate(2025, 3, 14);

// A deal the basic robots play out by themselves, as the archive would keep it.
inline club::DealRecord PlayedByRobots(int number, int day, const std::array<QString, 4> &names)
{
    club::Deal d(number);
    d.setRobotSamples(0);
    d.start();
    club::Outs outs;
    while (d.phase() != club::Deal::Phase::Done) {
        const int seat = d.onTurn();
        const QString fault = d.phase() == club::Deal::Phase::Bidding ? d.bid(seat, d.robotTurn(seat), outs)
                                                                      : d.play(seat, d.robotCard(seat), outs);
        if (!fault.isEmpty())
            qFatal("a robot was refused: %s", qPrintable(fault));
    }
    return d.record(names, day);
}

// The club with what every test wants: loopback, an ephemeral port, nothing kept, robots
// acting at once, a calendar that stands still.
inline std::unique_ptr<club::ClubServer> StartClub(club::ClubOptions options = {})
{
    options.robotDelay = 0;
    // Every member of these tests comes from 127.0.0.1, more new members in an hour than one
    // address may make; a test of that cap gives one of its own.
    if (options.limits.newMembersPerAddress == club::Limits().newMembersPerAddress)
        options.limits.newMembersPerAddress = 1000;
    if (!options.date)
        options.date = [] { return ClubDate; };
    auto server = std::make_unique<club::ClubServer>(options);
    if (!server->listen(QHostAddress::LocalHost, 0))
        return nullptr;
    return server;
}

// What the club's socket tests share: a club per test function and the members connected
// to it. The test classes' init() and cleanup() slots call start() and finish().
class ClubFixture
{
protected:
    std::unique_ptr<club::ClubServer> server;
    std::vector<std::unique_ptr<ClubClient>> clients;

    bool start()
    {
        server = StartClub();
        return server != nullptr;
    }
    // True when no member was ever sent a line longer than a client reads.
    bool finish()
    {
        bool fits = true;
        for (const auto &c : clients)
            fits = fits && (!c || !c->tooLong);
        clients.clear();
        server.reset();
        return fits;
    }
    ClubClient &connectClient()
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort()));
        return *clients.back();
    }
    static QString notice(const QString &text) { return QStringLiteral("MSzerver: ") + text; }
};
