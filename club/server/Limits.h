#pragma once
// Who may come in and try to log in. Connections that have not logged in ("strangers") cost
// the club a socket and a buffer each and give nothing back, so their number is capped, per
// address and in all: when a newcomer would pass a cap, the oldest stranger of that address
// (or of all) is turned away to make room. A flood of idle connections thus only cycles its
// own connections, while a real member, who logs in at once, gets in. Wrong passwords are
// counted by Identity.

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

    // A new connection from `address`; returns the strangers to turn away for it, oldest first.
    QList<Member *> admit(Member *m, const QHostAddress &address);
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
