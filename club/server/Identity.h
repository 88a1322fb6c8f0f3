#pragma once
// Who may log in under a name. The wire gives the club a 32-bit digest of the password, never
// the password; a digest has only a few thousand likely values, so guessing is bounded by
// counting wrong passwords three ways (an address for one name, an address for all names, a
// name from every address), and the club keeps no digest in clear: a copy of the data file
// must not log anyone in. A name with no password is open to anyone who sends digest 0, but
// nobody but its owner can give it one: a password is chosen with "W" by a logged-in member,
// or by the first login of a fresh registration, from the registering address and soon after.
//
// Checking a password costs a few milliseconds on the event loop, so logins are rate-limited
// per address and per name, and the club makes only so many password checks a second: a
// flood of logins is refused with a notice instead of stalling everyone who plays.

#include "Budgets.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <algorithm>
#include <functional>
#include <optional>

namespace club {

class Store;
struct Limits;

// A password as the club keeps it: PBKDF2-HMAC-SHA256 of the digest with a salt of its own,
// or nothing for "no password" (digest 0). The iteration count is kept with the hash so that
// it can rise for new passwords while old ones still check.
class Password
{
public:
    // Chosen so that one check stays at a few milliseconds (bench_identity prints the figure).
    static constexpr int Iterations = 1000;

    Password() = default;  // no password
    static Password of(qint32 digest, int iterations = Iterations);
    // The stored text back; nothing when it is not one the club wrote.
    static std::optional<Password> fromText(const QString &text);
    QString text() const;   // "" for no password

    bool isNone() const { return m_hash.isEmpty(); }
    // Whether `digest` is this password's; digest 0 is only "no password".
    bool matches(qint32 digest) const;
    int iterations() const { return m_iterations; }

    bool operator==(const Password &) const = default;

private:
    int m_iterations = 0;
    QByteArray m_salt;
    QByteArray m_hash;
};

class Identity
{
public:
    Identity(Store &store, const Limits &limits, std::function<qint64()> now);

    struct Verdict
    {
        bool accepted = false;
        bool created = false;     // a new member was made by this login
        QString refusal;          // the notice's text when refused
        QString why;              // for the log
    };
    // A login 'L<nick> <digest>' from `from`; `nick` has passed wire::CheckNick.
    Verdict login(const QString &nick, qint32 digest, const QHostAddress &from);
    // A registration ("D0 "/"D1 " before a login) from `from`: the refusal's text, or empty
    // when it may go ahead; then registered() once it is stored.
    QString mayRegister(const QHostAddress &from);
    void registered(const QHostAddress &from);
    // "W" from the logged-in member: the refusal's text, empty when the password was set.
    QString changePassword(const QString &nick, qint32 digest);

    // Entries in the largest of the tables of counts.
    qsizetype remembered() const;

    // The address as the club counts it: an IPv4 peer on a dual-stack socket is its IPv4 address.
    static QString addressKey(const QHostAddress &address);

    // How long a fresh registration waits for the first login that may set its password,
    // and how long a successful login makes an address its member's own.
    static constexpr qint64 FirstLoginMs = 15 * 60 * 1000;
    static constexpr qint64 OwnAddressMs = 30LL * 24 * 60 * 60 * 1000;
    // A registration whose member never logged in is removed after this, so that its name is
    // free again; looked for at most once a day, when someone registers.
    static constexpr qint64 UnclaimedMs = 30LL * 24 * 60 * 60 * 1000;
    // Members kept per table of counts; past it the stalest entry goes, so that a spray
    // from many addresses or at many names cannot grow the club without bound.
    static constexpr int Remembered = 4096;

private:
    struct Window   // times of the latest wrong passwords, oldest first
    {
        QList<qint64> times;
        qint64 last() const { return times.isEmpty() ? 0 : times.last(); }
        int count(qint64 now, qint64 window);
        void add(qint64 now, int keep);
    };
    struct NameBar
    {
        Window wrong;
        qint64 until = 0;   // logins refused till then (but from the member's own addresses)
        int bars = 0;       // bars in a row: each lasts twice the one before
        qint64 last() const { return std::max(wrong.last(), until); }
    };
    qint64 now() const { return m_now(); }
    bool takeHash();
    void wrongPassword(const QString &nick, const QString &address);
    qint64 barLength(int bars) const;

    template <typename Table>
    void makeRoom(Table &table, const typename Table::key_type &key);

    Store &m_store;
    const Limits &m_limits;
    std::function<qint64()> m_now;
    QHash<QString, Window> m_addressWrong;                // by address
    QHash<QPair<QString, QString>, Window> m_pairWrong;   // by (address, name)
    QHash<QString, NameBar> m_nameWrong;                  // by name
    QHash<QString, TokenBucket> m_addressLogins;
    QHash<QString, TokenBucket> m_nameLogins;                 // strangers' logins, by name
    QHash<QString, TokenBucket> m_changes;                    // "W", by name
    QHash<QString, Window> m_newMembers;                  // times members were made, by address
    TokenBucket m_hashes;
    qint64 m_lastSweep = 0;   // when the unclaimed registrations were last removed
};

} // namespace club
