#include "Budgets.h"

#include "Member.h"
#include "cards/Hands.h"

#include <algorithm>

namespace club {

namespace {
// Addresses whose paces are remembered at once. Past it, the ones whose buckets are full again
// are forgotten (they would start full anyway), and then the one unused for longest.
constexpr int RememberedAddresses = 4096;
} // namespace

std::optional<Costly> CostOf(QChar command, const QString &arg)
{
    QString rest = arg;
    switch (command.toLatin1()) {
    case 'W':
        return Costly::Password;
    case 'D':
        // Only a record is written; asking for one ("D<nick>") reads.
        if (arg.startsWith(QLatin1String("0 ")) || arg.startsWith(QLatin1String("1 ")))
            return Costly::PersonalData;
        return std::nullopt;
    case 'R':
        if (NextWord(rest) == QLatin1String("0"))
            return Costly::Proposal;
        return std::nullopt;
    case 'T':
        return Costly::NewRoom;
    case '?':
        return Costly::Ping;
    case 'X':
        if (NextWord(rest) == QLatin1String("0"))
            return Costly::History;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

double TokenBucket::used(const Pace &pace, qint64 now) const
{
    const double refilled = double(std::max<qint64>(0, now - m_last)) * pace.perMinute / 60000.0;
    return std::max(0.0, m_used - refilled);
}

bool TokenBucket::ready(const Pace &pace, qint64 now) const
{
    return used(pace, now) + 1 <= pace.burst;
}

void TokenBucket::take(const Pace &pace, qint64 now)
{
    m_used = used(pace, now) + 1;
    m_last = std::max(m_last, now);
}

bool TokenBucket::tryTake(const Pace &pace, qint64 now)
{
    if (!ready(pace, now))
        return false;
    take(pace, now);
    return true;
}

bool TokenBucket::full(const Pace &pace, qint64 now) const
{
    return used(pace, now) <= 0;
}

bool Throttle::allow(Member *m, Costly kind, qint64 now)
{
    const auto k = size_t(kind);
    const CostlyPace &pace = m_paces[k];
    if (!m->paces[k].ready(pace.member, now))
        return false;
    auto it = m_addresses.find(m->address());
    if (it == m_addresses.end()) {
        makeRoom(now);
        it = m_addresses.insert(m->address(), Entry{});
    }
    if (!it->buckets[k].ready(pace.address, now))
        return false;
    m->paces[k].take(pace.member, now);
    it->buckets[k].take(pace.address, now);
    it->lastUsed = now;
    return true;
}

void Throttle::makeRoom(qint64 now)
{
    if (m_addresses.size() < RememberedAddresses)
        return;
    for (auto it = m_addresses.begin(); it != m_addresses.end();) {
        bool full = true;
        for (int k = 0; k < CostlyKinds && full; ++k)
            full = it->buckets[size_t(k)].full(m_paces[size_t(k)].address, now);
        it = full ? m_addresses.erase(it) : std::next(it);
    }
    if (m_addresses.size() < RememberedAddresses)
        return;
    auto oldest = m_addresses.begin();
    for (auto it = m_addresses.begin(); it != m_addresses.end(); ++it)
        if (it->lastUsed < oldest->lastUsed)
            oldest = it;
    m_addresses.erase(oldest);
}

void OutputBudget::change(Member *m, qint64 before, qint64 now)
{
    m_total += now - before;
    if (now > 0)
        m_waiting.insert(m);
    else
        m_waiting.remove(m);
    if (m_total > m_most)
        enforce();
}

void OutputBudget::enforce()
{
    // A cut-off reports back here; one pass is enough.
    if (m_enforcing)
        return;
    m_enforcing = true;
    while (m_total > m_most && !m_waiting.isEmpty()) {
        Member *largest = *std::max_element(m_waiting.cbegin(), m_waiting.cend(), [](const Member *a, const Member *b) {
            return a->unsent() < b->unsent();
        });
        const qint64 before = m_total;
        largest->cutOff();
        // A member that cannot be cut any further would hold the loop for ever.
        if (m_total >= before)
            m_waiting.remove(largest);
    }
    m_enforcing = false;
}

int LoggedInFrom(const QHash<QString, Member *> &online, const QHostAddress &address, const QString &nick)
{
    int count = 0;
    for (auto it = online.cbegin(); it != online.cend(); ++it)
        if (it.key() != nick && it.value()->address().isEqual(address))
            ++count;
    return count;
}

} // namespace club
