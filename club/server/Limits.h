#pragma once
// Who may come in and try to log in. Connections that have not logged in ("strangers") cost
// the club a socket and a buffer each and give nothing back, so their number is capped, per
// address and in all: when a newcomer would pass a cap, the oldest stranger of that address
// (or, past the cap of all, of the address that holds the most) is turned away to make room.
// A flood of idle connections thus only cycles its own connections, while a real member, who
// logs in at once, gets in. A stranger younger than a few seconds is never turned away for a
// newer one (someone may be filling in the registration form): when nobody else may go, the
// newcomer is refused. Wrong passwords are counted by Identity.

#include <QHash>
#include <QHostAddress>
#include <QList>

namespace club {

class Member;
struct Limits;

class Doorkeeper
{
public:
    explicit Doorkeeper(const Limits &limits);

    struct Admission
    {
        bool refused = false;     // the newcomer is turned away, nobody else
        QList<Member *> away;     // the strangers to turn away for it
    };
    // A new connection from `address`, arrived at `now` (the club's clock, as Member::since).
    Admission admit(Member *m, const QHostAddress &address, qint64 now);
    // The member logged in: no longer counted as a stranger.
    void loggedIn(Member *m);
    // The connection is gone (or turned away).
    void forget(Member *m);

    int strangers() const { return int(m_strangers.size()); }

private:
    struct Stranger
    {
        Member *member;
        QHostAddress address;
    };

    const Limits &m_limits;
    QList<Stranger> m_strangers;          // oldest first
    QHash<Member *, QHostAddress> m_address;
};

} // namespace club
