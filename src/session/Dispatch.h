#pragma once
// The dispatch table: each server line goes to the handler that owns its first character.
// The table is filled in one place, InstallHandlers (Protocol.cpp).

#include <QChar>
#include <QHash>
#include <QString>
#include <functional>

class Context;

class Dispatcher
{
public:
    // A handler gets the argument: the line from its second character on. It reads its
    // words from the front with NextWord/NextInt.
    using Handler = std::function<void(QString &argument)>;

    void add(QChar first, Handler handler) { m_table.insert(first, std::move(handler)); }
    void setUnknownHandler(std::function<void(const QString &line)> h) { m_unknown = std::move(h); }
    bool handles(QChar first) const { return m_table.contains(first); }

    // An empty line is ignored.
    void dispatch(const QString &line) const;

private:
    QHash<QChar, Handler> m_table;
    std::function<void(const QString &)> m_unknown;
};

// Fills the table with every line the client understands.
void InstallHandlers(Dispatcher &dispatcher, Context &ctx);
