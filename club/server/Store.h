#pragma once
// What the club keeps between runs: its members and the archive of finished deals, in
// SQLite. Every change is one transaction, so a stop at any moment loses nothing written.

#include "Identity.h"
#include "Wire.h"
#include "game/Record.h"

#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSqlQuery;

namespace club {

struct MemberRecord
{
    QString nick;
    Password password;            // none: no password yet
    wire::PersonalData data;      // fields empty until the member saves them
    qint64 registered = 0;        // ms since the epoch: a registration whose first login is due; 0: none
    QString registeredFrom;       // the address it came from
    QString seen;                 // the addresses of successful logins, as Identity keeps them
};

// A team match as the club keeps it: the proposal with its line-up and answers, and once
// it has started, its rooms and the team totals.
struct MatchRecord
{
    // Cancelled: marked before the rows are deleted, so that a deletion that failed does not
    // bring the match back at the next start.
    enum State { Pending = 0, Running = 1, Finished = 2, Cancelled = 3 };

    int id = 0;                       // given by the store
    QString proposer;
    int deals = 0;
    qint64 start = 0;                 // ms since the epoch
    int state = Pending;
    std::array<QString, 8> lineUp;    // in line-up order
    std::array<bool, 8> accepted{};
    int played = 0;                   // deals both rooms have finished
    qint64 score1 = 0;                // team 1 (line-up positions 1, 4, 6, 7)
    qint64 score2 = 0;
    QString room1 = QStringLiteral("-");
    QString room2 = QStringLiteral("-");
    qint64 ended = 0;                 // ms since the epoch

    bool operator==(const MatchRecord &) const = default;
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
    // Sets the password and settles a registration's first login, in one statement.
    bool setPassword(const QString &nick, const Password &password);
    bool setDigest(const QString &nick, qint32 digest) { return setPassword(nick, Password::of(digest)); }
    bool setSeen(const QString &nick, const QString &seen);
    // Removes the registrations made before `before` (ms) whose member never logged in, but
    // not one named in a match that has not ended; the number removed, -1 on failure.
    int removeUnclaimed(qint64 before);
    bool setData(const QString &nick, const wire::PersonalData &data);
    // Renames the member and saves the record given, in one transaction with the line-ups and
    // proposals that name them: they follow the member, and the old name holds nothing any more.
    // False (and nothing changed) when the new name is taken.
    bool rename(const QString &from, const QString &to, const wire::PersonalData &data);

    // The club's own secret for the shuffle, made at the first start (random, 32 bytes) and
    // kept with the data; a store in memory makes one for its run.
    QByteArray dealKey();

    // Saves a finished deal and gives it the next id within its board (0 on failure).
    int addDeal(DealRecord record);
    QList<int> days(int limit) const;
    // The latest `limit` deals of the day, oldest first, as the history reads them back.
    QList<DealRecord> dealsOfDay(int day, int limit) const;
    // The same rows, with nothing for a row that cannot be read back.
    QList<std::optional<DealRecord>> dealRowsOfDay(int day, int limit) const;
    std::optional<DealRecord> deal(const QString &board, int id) const;
    // Told of every deal this store archives, once it is written, with the text kept for it:
    // what was read from the archive before stays true but for this one deal.
    std::function<void(int day, int id, const QString &text)> dealArchived;
    // A deal's text as kept, as the history reads it back; nothing when it cannot.
    static std::optional<DealRecord> readBack(const QString &text, int id);

    // Team matches. addMatch writes the match and its line-up together and gives it its id
    // (0 on failure); the others are one transaction each.
    int addMatch(const MatchRecord &match);
    bool acceptMatch(int id, int position);
    bool updateMatch(const MatchRecord &match);
    bool deleteMatch(int id);
    // Every match not finished, and the `finished` most recently ended, in id order.
    QList<MatchRecord> matches(int finished) const;

private:
    // A file of an earlier club keeps the members' digests in clear: they become hashes.
    bool migrateMembers();
    enum Statement : int;
    // Each statement is compiled once for the life of the store, not for every request.
    QSqlQuery &query(Statement which) const;

    QString m_connection;
    QString m_error;
    bool m_open = false;
    mutable std::vector<std::unique_ptr<QSqlQuery>> m_queries;
    mutable std::unique_ptr<QSqlQuery> m_unprepared;
};

} // namespace club
