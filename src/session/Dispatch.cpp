#include "Dispatch.h"

void Dispatcher::dispatch(const QString &line) const
{
    if (line.isEmpty())
        return;
    const auto it = m_table.constFind(line.front());
    if (it == m_table.cend()) {
        if (m_unknown)
            m_unknown(line);
        return;
    }
    QString argument = line.mid(1);
    (*it)(argument);
}
