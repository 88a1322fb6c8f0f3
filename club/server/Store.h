#pragma once
// What the club keeps between runs: its members and the archive of finished deals, in
// SQLite. Every change is one transaction, so a stop at any moment loses nothing written.

#include "Wire.h"
#include "game/Record.h"

#include <QList>
#include <QString>
#include <optional>

namespace club {

struct MemberRecord
{
    QString nick;
    qint32 digest = 0;            // 0: no password yet
    wire::PersonalData data;      // fields empty until the member saves them
};

class Store
{
public:
    // An empty path keeps everything in memory for this run only.
    explicit Store(const QString &path);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }

    std::optional<MemberRecord> member(const QString &nick) const;
    bool addMember(const MemberRecord &member);
    bool setDigest(const QString &nick, qint32 digest);
    bool setData(const QString &nick, const wire::PersonalData &data);
    // Renames the member; false when the new name is taken.
    bool rename(const QString &from, const QString &to);

    // Saves a finished deal and gives it the next id within its board (0 on failure).
    int addDeal(DealRecord record);
    QList<int> days(int limit) const;
    QList<DealRecord> dealsOfDay(int day, int limit) const;
    std::optional<DealRecord> deal(const QString &board, int id) const;

private:
    QString m_connection;
    QString m_error;
    bool m_open = false;
};

} // namespace club
