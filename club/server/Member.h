#pragma once
// One member's connection: Windows-1250 lines ended by CR LF in both directions, a cap on
// the length of a line and on how fast lines may come, and on what may wait unsent.

#include "Budgets.h"
#include "session/LineFramer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTcpSocket>


namespace club {

class Room;

// A line as it goes on the wire, in Windows-1250, made once however many members it goes
// to; the CR LF is written after it. A line longer than a client reads is not sent: every
// builder keeps under the limit, this is the last guard.
struct WireLine
{
    explicit WireLine(const QString &line);
    // A line put together from parts already encoded; `length`: its length in characters.
    WireLine(QByteArray encoded, qsizetype length);
    QByteArray bytes;
    bool fits = false;
};

struct Limits
{
    int burst = 40;               // lines a member may send at once
    double perSecond = 10;        // lines a second the bucket refills with
    qint64 maxUnsent = 4 << 20;   // bytes waiting for a reader who does not read
    int loginMs = 600000;         // a stranger may fill in the registration form meanwhile
    int maxMembers = 500;         // connections at once; the lobby line must fit a line
    int maxRooms = 40;
    int maxStrangers = 64;        // connections not logged in; past it the oldest is closed
    int strangersPerAddress = 16; // the same from one address, so a flood only cycles its own
    // Wrong passwords (Identity): for one name from one address within the window, after which
    // that address may not try that name until the window has passed...
    int wrongPasswords = 5;
    int wrongPasswordWindowMs = 60000;
    int wrongPasswordsPerAddress = 50;  // ...for any names from one address (a shared address)...
    int wrongPasswordsPerName = 10;     // ...and for one name from any addresses within
    int wrongPasswordNameWindowMs = 600000; // this window, which bars the name for
    int nameBarMs = 60000;              // this long, twice as long at each bar that follows
    int loginsPerAddress = 30;          // logins an address may make at once...
    double loginsPerAddressPerSecond = 1; // ...and then a second
    int loginsPerName = 6;              // logins and password changes under one name at once...
    double loginsPerNamePerSecond = 0.1;  // ...and then a second
    int hashBurst = 10;                 // password checks the club makes at once...
    double hashesPerSecond = 50;        // ...and then a second (each costs a few ms)
    int newMembersPerAddress = 5;       // new members an address may make in an hour
    int perAddress = 16;          // logged-in members from one address
    qint64 maxUnsentAll = qint64(192) << 20;  // bytes waiting for all readers together
    int closingMs = 5000;         // a connection the club closed is aborted past this
    int strangerGraceMs = 5000;   // a stranger this young is never turned away for a newer one
    int acceptPauseMs = 1000;     // no accepting for this long after an accept failed
    PaceTable paces = DefaultPaces;  // the costly lines' paces (Budgets.h)
    Pace logLines{2000, 12000};   // log lines: past the bucket, a count of the lines left out
};

class Member : public QObject
{
    Q_OBJECT
public:
    // Bytes read from a member in one turn of the event loop, and held unread at most.
    static constexpr qint64 ReadBuffer = 64 * 1024;
    // Bytes the system may hold on their way to a member.
    static constexpr qint64 SendBuffer = 256 * 1024;

    // `budget`: the club's account of all unsent output; none for a connection outside it.
    Member(QTcpSocket *socket, const Limits &limits, OutputBudget *budget = nullptr, QObject *parent = nullptr);
    ~Member() override;

    void send(const QString &line) { send(WireLine(line)); }
    void send(const WireLine &line);
    // Sends what is queued, then closes; no further line is read. A peer that does not take
    // what is queued within Limits::closingMs is cut off all the same.
    void close();
    // Closes at once, dropping what is queued.
    void cutOff();
    bool closing() const { return m_closing; }
    const QString &peer() const { return m_peer; }
    const QHostAddress &address() const { return m_address; }
    // Bytes written to the connection and not yet taken by the system.
    qint64 unsent() const { return m_counted; }

    QString nick;                 // empty until logged in
    Room *room = nullptr;
    bool spectator = false;       // asked for the table's lines since the last deal began
    int invitationOnShow = 0;     // the match whose invitation the member has not answered
    QSet<int> staleInvitations;   // invitations shown whose match went before an answer
    qint64 since = 0;             // the club's clock when the connection came
    std::array<TokenBucket, CostlyKinds> paces;  // this member's costly lines
    // "?" lines passed to this member that it may answer with a "G" outside its line bucket.
    int pingsToAnswer = 0;

signals:
    void lineReceived(club::Member *member, const QString &line);
    void flooded(club::Member *member);
    void overlong(club::Member *member);
    void gone(club::Member *member);

private:
    void readLines();
    bool takeToken();
    // Brings the club's account of unsent output up to date with this connection's.
    void account();

    QTcpSocket *m_socket;
    OutputBudget *m_budget;
    qint64 m_counted = 0;         // this connection's unsent bytes in the budget
    QString m_peer;
    QHostAddress m_address;
    LineFramer m_framer;
    Limits m_limits;
    double m_tokens;
    QElapsedTimer m_clock;
    qint64 m_lastRefill = 0;
    qint64 m_lastFloodNotice = -1000000;
    bool m_closing = false;
    bool m_goneSent = false;
    bool m_readQueued = false;
};

} // namespace club
