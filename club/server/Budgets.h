#pragma once
// What many connections together may cost the club. Logging in is free, so every bound that
// holds for one member can be multiplied by opening more connections: these bound the sum.
//
// - The paces of the costly lines (a write to the disk, a line to a whole room), per member
//   and per address, besides the bucket every line goes through.
// - One budget for all output that waits for its readers: past it the connection with the
//   most waiting is cut off first, whoever it is.
// - How many members one address may have logged in at once.

#include <QChar>
#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <QString>

#include <array>
#include <optional>

namespace club {

class Member;

// Lines that write to the disk or reach a whole room, each kind with a pace of its own.
enum class Costly { Password, PersonalData, Proposal, NewRoom, Ping, History };
constexpr int CostlyKinds = 6;

// A bucket of `burst` lines refilled with `perMinute` a minute.
struct Pace
{
    double burst = 0;
    double perMinute = 0;
};

struct CostlyPace
{
    Pace member;   // one member's lines
    Pace address;  // everyone's from one address together
};

// Indexed by Costly. A shared address (a NAT, the club's own machine) holds many members, so
// its pace is several members' and not one's.
using PaceTable = std::array<CostlyPace, CostlyKinds>;
constexpr PaceTable DefaultPaces{{
    /* "W"     */ {{3, 2}, {20, 30}},
    /* "D0/D1" */ {{3, 2}, {10, 20}},
    /* "R0"    */ {{6, 2}, {10, 20}},
    /* "T"     */ {{3, 6}, {10, 30}},
    /* "?"     */ {{2, 6}, {10, 60}},
    /* "X0"    */ {{10, 60}, {40, 600}},
}};

// The kind of a line as the club will read it (first character, then the rest); nothing for
// a line that costs no more than any other.
std::optional<Costly> CostOf(QChar command, const QString &arg);

// A bucket that refills with the time it is given, so that it follows the club's clock.
class TokenBucket
{
public:
    bool ready(const Pace &pace, qint64 now) const;
    void take(const Pace &pace, qint64 now);
    // As good as untouched: it may be forgotten.
    bool full(const Pace &pace, qint64 now) const;
    // ready(), and then take() when it was.
    bool tryTake(const Pace &pace, qint64 now);
    qint64 last() const { return m_last; }

private:
    double used(const Pace &pace, qint64 now) const;
    double m_used = 0;      // tokens taken and not yet refilled, as of m_last
    qint64 m_last = 0;
};

// The address side of the paces; the member side lives with the member.
class Throttle
{
public:
    explicit Throttle(const PaceTable &paces) : m_paces(paces) {}
    // True, and one line counted for the member and its address, when both have room.
    bool allow(Member *m, Costly kind, qint64 now);
    int addresses() const { return int(m_addresses.size()); }

private:
    struct Entry
    {
        std::array<TokenBucket, CostlyKinds> buckets;
        qint64 lastUsed = 0;
    };
    void makeRoom(qint64 now);

    const PaceTable &m_paces;
    QHash<QHostAddress, Entry> m_addresses;
};

// All output written to the connections and not yet taken by the system. Members report
// their share as it changes; past the budget, the members with the most waiting are cut off,
// largest first, until the rest fits.
class OutputBudget
{
public:
    explicit OutputBudget(const qint64 &most) : m_most(most) {}
    void change(Member *m, qint64 before, qint64 now);
    qint64 total() const { return m_total; }

private:
    void enforce();

    const qint64 &m_most;
    qint64 m_total = 0;
    QSet<Member *> m_waiting;  // the members with something unsent
    bool m_enforcing = false;
};

// Logged-in members from the newcomer's address, not counting a session of the same nickname
// from that address, which the login replaces.
int LoggedInFrom(const QHash<QString, Member *> &online, const QHostAddress &address, const QString &nick);

} // namespace club
