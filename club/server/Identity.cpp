#include "Identity.h"

#include "Member.h"
#include "Store.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

namespace club {

namespace {
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
const QString Scheme = QStringLiteral("pbkdf2-sha256");

// The addresses a member logged in from, as kept: "<address> <ms>;..." newest first.
constexpr int OwnAddressesKept = 8;
// A known address's stamp is written again only when it is this old: a member who logs in
// ten times an evening costs one write, not ten.
constexpr qint64 StampEveryMs = 24LL * 60 * 60 * 1000;
// A name's bars double while wrong passwords keep coming; a day of quiet starts them again.
constexpr qint64 NameQuietMs = 24LL * 60 * 60 * 1000;
constexpr qint64 LongestBarMs = 60LL * 60 * 1000;
constexpr qint64 HourMs = 60LL * 60 * 1000;

QByteArray derive(qint32 digest, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, QByteArray::number(digest), salt,
                                              iterations, HashBytes);
}

QList<QPair<QString, qint64>> ownAddresses(const QString &seen)
{
    QList<QPair<QString, qint64>> list;
    for (const QString &entry : seen.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype blank = entry.indexOf(QLatin1Char(' '));
        if (blank > 0)
            list.append({entry.left(blank), entry.mid(blank + 1).toLongLong()});
    }
    return list;
}

const QString AddressBarred = QStringLiteral("Túl sok hibás jelszó erről a címről, próbáld később");
const QString NameBarred = QStringLiteral("Túl sok hibás jelszó ehhez a névhez, próbáld később");
const QString Busy = QStringLiteral("Most sokan jelentkeznek be, próbáld újra néhány másodperc múlva");
const QString StoreDown = QStringLiteral("A tagnyilvántartás most nem érhető el");

Identity::Verdict refused(const QString &notice, const QString &why)
{
    return {false, false, notice, why};
}
} // namespace

// ---------------------------------------------------------------------------------------------

Password Password::of(qint32 digest, int iterations)
{
    Password p;
    if (digest == 0)
        return p;
    p.m_iterations = std::max(1, iterations);
    p.m_salt.resize(SaltBytes);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(p.m_salt.data()), SaltBytes / 4);
    p.m_hash = derive(digest, p.m_salt, p.m_iterations);
    return p;
}

std::optional<Password> Password::fromText(const QString &text)
{
    if (text.isEmpty())
        return Password();
    const QStringList parts = text.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != Scheme)
        return std::nullopt;
    bool ok = false;
    Password p;
    p.m_iterations = parts[1].toInt(&ok);
    p.m_salt = QByteArray::fromBase64(parts[2].toLatin1());
    p.m_hash = QByteArray::fromBase64(parts[3].toLatin1());
    if (!ok || p.m_iterations < 1 || p.m_salt.isEmpty() || p.m_hash.size() != HashBytes)
        return std::nullopt;
    return p;
}

QString Password::text() const
{
    if (isNone())
        return {};
    return QStringLiteral("%1$%2$%3$%4")
        .arg(Scheme)
        .arg(m_iterations)
        .arg(QString::fromLatin1(m_salt.toBase64()), QString::fromLatin1(m_hash.toBase64()));
}

bool Password::matches(qint32 digest) const
{
    if (isNone() || digest == 0)
        return isNone() && digest == 0;
    const QByteArray hash = derive(digest, m_salt, m_iterations);
    // Every byte looked at, whatever the first difference.
    int difference = 0;
    for (int i = 0; i < HashBytes; ++i)
        difference |= hash[i] ^ m_hash[i];
    return difference == 0;
}

// ---------------------------------------------------------------------------------------------

int Identity::Window::count(qint64 now, qint64 window)
{
    while (!times.isEmpty() && now - times.first() >= window)
        times.removeFirst();
    return int(times.size());
}

void Identity::Window::add(qint64 now, int keep)
{
    times << now;
    // Only the latest count: the list never grows past the limit.
    while (times.size() > std::max(1, keep))
        times.removeFirst();
}

// ---------------------------------------------------------------------------------------------

Identity::Identity(Store &store, const Limits &limits, std::function<qint64()> now)
    : m_store(store), m_limits(limits), m_now(std::move(now))
{
}

qsizetype Identity::remembered() const
{
    return std::max({m_addressWrong.size(), m_pairWrong.size(), m_nameWrong.size(), m_addressLogins.size(),
                     m_nameLogins.size(), m_changes.size(), m_newMembers.size()});
}

QString Identity::addressKey(const QHostAddress &address)
{
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString() : address.toString();
}

template <typename Table>
void Identity::makeRoom(Table &table, const typename Table::key_type &key)
{
    if (table.size() < Remembered || table.contains(key))
        return;
    // All live, or the club would have let them go: the one touched longest ago goes.
    auto stalest = table.begin();
    for (auto it = table.begin(); it != table.end(); ++it)
        if (it.value().last() < stalest.value().last())
            stalest = it;
    table.erase(stalest);
}

// Buckets kept in a table: a full bucket is as good as none, so a table of full buckets is
// emptied before anything live goes.
namespace {
bool takeFrom(QHash<QString, TokenBucket> &table, const QString &key, qint64 now, double burst, double perSecond)
{
    const Pace pace{burst, perSecond * 60};
    if (table.size() >= Identity::Remembered && !table.contains(key)) {
        for (auto it = table.begin(); it != table.end();)
            it = it.value().full(pace, now) ? table.erase(it) : std::next(it);
        if (table.size() >= Identity::Remembered) {
            auto stalest = table.begin();
            for (auto it = table.begin(); it != table.end(); ++it)
                if (it.value().last() < stalest.value().last())
                    stalest = it;
            table.erase(stalest);
        }
    }
    return table[key].tryTake(pace, now);
}
} // namespace

bool Identity::takeHash()
{
    return m_hashes.tryTake(Pace{double(m_limits.hashBurst), m_limits.hashesPerSecond * 60}, now());
}

qint64 Identity::barLength(int bars) const
{
    qint64 length = m_limits.nameBarMs;
    for (int i = 0; i < bars && length < LongestBarMs; ++i)
        length *= 2;
    return std::min(length, std::max(LongestBarMs, qint64(m_limits.nameBarMs)));
}

void Identity::wrongPassword(const QString &nick, const QString &address)
{
    const qint64 t = now();
    makeRoom(m_addressWrong, address);
    m_addressWrong[address].add(t, m_limits.wrongPasswordsPerAddress);
    const QPair<QString, QString> pair{address, nick};
    makeRoom(m_pairWrong, pair);
    m_pairWrong[pair].add(t, m_limits.wrongPasswords);

    auto found = m_nameWrong.find(nick);
    if (found != m_nameWrong.end() && t - found->last() >= NameQuietMs)
        found->bars = 0;
    if (found == m_nameWrong.end()) {
        makeRoom(m_nameWrong, nick);
        found = m_nameWrong.insert(nick, {});
    }
    NameBar &bar = *found;
    bar.wrong.add(t, m_limits.wrongPasswordsPerName);
    if (bar.wrong.count(t, m_limits.wrongPasswordNameWindowMs) >= m_limits.wrongPasswordsPerName) {
        bar.until = t + barLength(bar.bars);
        ++bar.bars;
        bar.wrong.times.clear();
    }
}

Identity::Verdict Identity::login(const QString &nick, qint32 digest, const QHostAddress &from)
{
    const qint64 t = now();
    const QString address = addressKey(from);

    // Counts first: a barred attempt costs no password check and no token.
    if (auto it = m_addressWrong.find(address); it != m_addressWrong.end()
        && it->count(t, m_limits.wrongPasswordWindowMs) >= m_limits.wrongPasswordsPerAddress)
        return refused(AddressBarred, QStringLiteral("túl sok hibás jelszó erről a címről"));
    if (auto it = m_pairWrong.find({address, nick}); it != m_pairWrong.end()
        && it->count(t, m_limits.wrongPasswordWindowMs) >= m_limits.wrongPasswords)
        return refused(AddressBarred, QStringLiteral("túl sok hibás jelszó erről a címről: ") + nick);
    if (!takeFrom(m_addressLogins, address, t, m_limits.loginsPerAddress, m_limits.loginsPerAddressPerSecond))
        return refused(QStringLiteral("Túl sok bejelentkezés erről a címről, próbáld később"),
                       QStringLiteral("túl sok bejelentkezés erről a címről"));

    auto record = m_store.member(nick);
    if (!record) {
        if (const QString refusal = mayRegister(from); !refusal.isEmpty())
            return refused(refusal, QStringLiteral("túl sok új tag erről a címről"));
        if (digest != 0 && !takeHash())
            return refused(Busy, QStringLiteral("túl sok jelszóellenőrzés"));
        MemberRecord fresh;
        fresh.nick = nick;
        fresh.password = Password::of(digest);
        fresh.seen = QStringLiteral("%1 %2").arg(address).arg(t);
        if (!m_store.addMember(fresh))
            return refused(StoreDown, QStringLiteral("a tagnyilvántartás nem érhető el"));
        registered(from);
        return {true, true, {}, {}};
    }

    const QList<QPair<QString, qint64>> own = ownAddresses(record->seen);
    const bool ownAddress = std::any_of(own.cbegin(), own.cend(), [&](const auto &e) {
        return e.first == address && t - e.second < OwnAddressMs;
    });
    if (auto it = m_nameWrong.find(nick); it != m_nameWrong.end() && it->until > t && !ownAddress)
        return refused(NameBarred, QStringLiteral("túl sok hibás jelszó ehhez a névhez: ") + nick);
    // Strangers share a bucket per name; the member's own addresses are bound by their
    // address's bucket alone, so that nobody can use up the owner's logins.
    if (!ownAddress && !takeFrom(m_nameLogins, nick, t, m_limits.loginsPerName, m_limits.loginsPerNamePerSecond))
        return refused(QStringLiteral("Túl sok bejelentkezés ezzel a névvel, próbáld később"),
                       QStringLiteral("túl sok bejelentkezés: ") + nick);

    const bool pending = record->registered != 0 && record->registeredFrom == address
        && t - record->registered >= 0 && t - record->registered < FirstLoginMs;
    if (record->password.isNone() && digest != 0) {
        // Nobody but the registrant, soon after registering, gives a name its password here.
        if (!pending)
            return refused(QStringLiteral("Ennek a névnek nincs jelszava: jelentkezz be jelszó nélkül, "
                                          "majd válassz jelszót a Jelszócsere menüben"),
                           QStringLiteral("jelszó nélküli név más jelszóval: ") + nick);
        if (!takeHash())
            return refused(Busy, QStringLiteral("túl sok jelszóellenőrzés"));
        if (!m_store.setPassword(nick, Password::of(digest)))
            return refused(StoreDown, QStringLiteral("a tagnyilvántartás nem érhető el"));
    } else if (!record->password.isNone()) {
        if (!takeHash())
            return refused(Busy, QStringLiteral("túl sok jelszóellenőrzés"));
        if (!record->password.matches(digest)) {
            wrongPassword(nick, address);
            return refused(QStringLiteral("Hibás jelszó"), QStringLiteral("hibás jelszó: ") + nick);
        }
    } else if (pending) {
        // The registrant's first login, without a password: the registration is settled.
        m_store.setPassword(nick, Password());
    }
    m_pairWrong.remove({address, nick});

    // This address is the member's own from now on, for a month.
    QList<QPair<QString, qint64>> seen = own;
    const auto at = std::find_if(seen.begin(), seen.end(), [&](const auto &e) { return e.first == address; });
    if (at == seen.end() || t - at->second >= StampEveryMs) {
        if (at != seen.end())
            seen.erase(at);
        seen.prepend({address, t});
        QStringList parts;
        for (const auto &[a, stamp] : seen)
            if (parts.size() < OwnAddressesKept && t - stamp < OwnAddressMs)
                parts << QStringLiteral("%1 %2").arg(a).arg(stamp);
        m_store.setSeen(nick, parts.join(QLatin1Char(';')));
    }
    return {true, false, {}, {}};
}

QString Identity::mayRegister(const QHostAddress &from)
{
    const qint64 t = now();
    if (t - m_lastSweep >= 24LL * 60 * 60 * 1000) {
        m_lastSweep = t;
        m_store.removeUnclaimed(t - UnclaimedMs);
    }
    const QString address = addressKey(from);
    auto it = m_newMembers.find(address);
    if (it != m_newMembers.end() && it->count(now(), HourMs) >= m_limits.newMembersPerAddress)
        return QStringLiteral("Erről a címről egy órán belül nem lehet több új tagot felvenni, próbáld később");
    return {};
}

void Identity::registered(const QHostAddress &from)
{
    const QString address = addressKey(from);
    makeRoom(m_newMembers, address);
    m_newMembers[address].add(now(), m_limits.newMembersPerAddress);
}

QString Identity::changePassword(const QString &nick, qint32 digest)
{
    const qint64 t = now();
    // A password change costs what a login does: a bucket of the same size, the member's own.
    if (!takeFrom(m_changes, nick, t, m_limits.loginsPerName, m_limits.loginsPerNamePerSecond)
        || (digest != 0 && !takeHash()))
        return QStringLiteral("Most nem lehet jelszót cserélni, próbáld újra néhány másodperc múlva");
    if (!m_store.setPassword(nick, Password::of(digest)))
        return StoreDown;
    return {};
}

} // namespace club
