#include "Limits.h"

#include "Member.h"

namespace club {

Doorkeeper::Doorkeeper(const Limits &limits) : m_limits(limits)
{
}

Doorkeeper::Admission Doorkeeper::admit(Member *m, const QHostAddress &address, qint64 now)
{
    Admission result;
    const auto mayGo = [&](const Stranger &s) { return now - s.member->since >= m_limits.strangerGraceMs; };
    QHash<QHostAddress, int> held;
    for (const Stranger &s : std::as_const(m_strangers))
        ++held[s.address];
    qsizetype away = -1;
    if (held.value(address) >= m_limits.strangersPerAddress) {
        // The address's own oldest: one address flooding turns away only its own.
        for (qsizetype i = 0; i < m_strangers.size() && away < 0; ++i)
            if (m_strangers[i].address.isEqual(address) && mayGo(m_strangers[i]))
                away = i;
    } else if (m_strangers.size() >= m_limits.maxStrangers) {
        // From the address that holds the most; among equals, the one whose latest stranger
        // came last, so that a flood from many addresses turns away its own and not the one
        // who has been filling in the form since before it began. Oldest first within it.
        qsizetype latestOfBest = -1;
        for (qsizetype i = 0; i < m_strangers.size(); ++i) {
            if (!mayGo(m_strangers[i]))
                continue;
            const QHostAddress &from = m_strangers[i].address;
            qsizetype latest = i;
            for (qsizetype j = i + 1; j < m_strangers.size(); ++j)
                if (m_strangers[j].address.isEqual(from))
                    latest = j;
            if (away < 0 || held.value(from) > held.value(m_strangers[away].address)
                || (held.value(from) == held.value(m_strangers[away].address) && latest > latestOfBest)) {
                if (away < 0 || !from.isEqual(m_strangers[away].address)) {
                    away = i;
                    latestOfBest = latest;
                }
            }
        }
    } else {
        m_strangers << Stranger{m, address};
        m_address.insert(m, address);
        return result;
    }
    if (away < 0) {
        result.refused = true;
        return result;
    }
    result.away << m_strangers[away].member;
    m_address.remove(m_strangers[away].member);
    m_strangers.removeAt(away);
    m_strangers << Stranger{m, address};
    m_address.insert(m, address);
    return result;
}

void Doorkeeper::loggedIn(Member *m)
{
    for (qsizetype i = 0; i < m_strangers.size(); ++i)
        if (m_strangers[i].member == m) {
            m_strangers.removeAt(i);
            return;
        }
}

void Doorkeeper::forget(Member *m)
{
    loggedIn(m);
    m_address.remove(m);
}

} // namespace club
