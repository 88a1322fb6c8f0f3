#include "Limits.h"

#include "Member.h"

namespace club {

Doorkeeper::Doorkeeper(const Limits &limits) : m_limits(limits)
{
}

QList<Member *> Doorkeeper::admit(Member *m, const QHostAddress &address)
{
    QList<Member *> away;
    int fromAddress = 0;
    for (const Stranger &s : std::as_const(m_strangers))
        fromAddress += s.address.isEqual(address) ? 1 : 0;
    // The address's own oldest first: one address flooding turns away only its own.
    for (qsizetype i = 0; i < m_strangers.size() && fromAddress >= m_limits.strangersPerAddress;) {
        if (m_strangers[i].address.isEqual(address)) {
            away << m_strangers[i].member;
            m_address.remove(m_strangers[i].member);
            m_strangers.removeAt(i);
            --fromAddress;
        } else {
            ++i;
        }
    }
    while (m_strangers.size() >= m_limits.maxStrangers && !m_strangers.isEmpty()) {
        away << m_strangers.first().member;
        m_address.remove(m_strangers.first().member);
        m_strangers.removeFirst();
    }
    m_strangers << Stranger{m, address};
    m_address.insert(m, address);
    return away;
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
