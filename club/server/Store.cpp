#include "Store.h"

#include <QAtomicInt>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace club {

namespace {
QAtomicInt connections;

QSqlDatabase db(const QString &name)
{
    return QSqlDatabase::database(name, false);
}

// A statement's result set read to the end or left: the statement goes back to rest, so that
// it holds no read of the archive open until its next use.
// SQL binds a null QString as NULL; the text columns hold "" instead.
QString notNull(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

struct Finish
{
    QSqlQuery &q;
    ~Finish() { q.finish(); }
};
} // namespace

enum Store::Statement : int {
    MemberByNick,
    InsertMember,
    SetPassword,
    SetSeen,
    SetData,
    Rename,
    NextDealId,
    InsertDeal,
    LatestDays,
    DealsOfDay,
    DealById,
    InsertMatch,
    InsertLineUp,
    AcceptLineUp,
    UpdateMatch,
    DeleteLineUps,
    DeleteMatch,
    ShownMatches,
    LineUpOf,
    StatementCount
};

QSqlQuery &Store::query(Statement which) const
{
    static const char *const text[StatementCount] = {
        "SELECT nick, password, public, data, registered, registered_from, seen FROM members WHERE nick = ?",
        "INSERT INTO members (nick, password, public, data, registered, registered_from, seen)"
        " VALUES (?, ?, ?, ?, ?, ?, ?)",
        "UPDATE members SET password = ?, registered = 0, registered_from = '' WHERE nick = ?",
        "UPDATE members SET seen = ? WHERE nick = ?",
        "UPDATE members SET public = ?, data = ? WHERE nick = ?",
        "UPDATE members SET nick = ? WHERE nick = ?",
        "SELECT COALESCE(MAX(id), 0) + 1 FROM deals WHERE board = ?",
        "INSERT INTO deals (board, id, day, record) VALUES (?, ?, ?, ?)",
        // The latest days, told in rising order.
        "SELECT day FROM (SELECT DISTINCT day FROM deals ORDER BY day DESC LIMIT ?) ORDER BY day",
        "SELECT record, id FROM (SELECT record, id, rowid AS r FROM deals"
        " WHERE day = ? ORDER BY rowid DESC LIMIT ?) ORDER BY r",
        "SELECT record FROM deals WHERE board = ? AND id = ?",
        "INSERT INTO matches (proposer, deals, start, state, played, score1, score2,"
        " room1, room2, ended) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        "INSERT INTO lineups (match, position, nick, accepted) VALUES (?, ?, ?, ?)",
        "UPDATE lineups SET accepted = 1 WHERE match = ? AND position = ?",
        "UPDATE matches SET start = ?, state = ?, played = ?, score1 = ?, score2 = ?,"
        " room1 = ?, room2 = ?, ended = ? WHERE id = ?",
        "DELETE FROM lineups WHERE match = ?",
        "DELETE FROM matches WHERE id = ?",
        "SELECT id, proposer, deals, start, state, played, score1, score2, room1, room2, ended FROM matches"
        " WHERE state <> ? OR id IN (SELECT id FROM matches WHERE state = ? ORDER BY ended DESC, id DESC LIMIT ?)"
        " ORDER BY id",
        "SELECT position, nick, accepted FROM lineups WHERE match = ?",
    };
    std::unique_ptr<QSqlQuery> &q = m_queries[which];
    if (q)
        return *q;
    auto fresh = std::make_unique<QSqlQuery>(db(m_connection));
    if (!fresh->prepare(QString::fromLatin1(text[which]))) {
        // Not kept: it fails as it is, and the next request tries again.
        m_unprepared = std::move(fresh);
        return *m_unprepared;
    }
    q = std::move(fresh);
    return *q;
}

Store::Store(const QString &path)
    : m_connection(QStringLiteral("club-store-%1").arg(connections.fetchAndAddRelaxed(1))),
      m_queries(StatementCount)
{
    QSqlDatabase base = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    base.setDatabaseName(path.isEmpty() ? QStringLiteral(":memory:") : path);
    if (!base.open()) {
        m_error = base.lastError().text();
        return;
    }
    QSqlQuery q(base);
    const char *schema[] = {
        "PRAGMA journal_mode=WAL",
        // A commit is then a write to the log, not a wait for the disk: still safe against the
        // process being killed; what a power cut may take is the last commits before it.
        "PRAGMA synchronous=NORMAL",
        "CREATE TABLE IF NOT EXISTS members (nick TEXT PRIMARY KEY, password TEXT NOT NULL DEFAULT '',"
        " public INTEGER NOT NULL DEFAULT 0, data TEXT NOT NULL DEFAULT '',"
        " registered INTEGER NOT NULL DEFAULT 0, registered_from TEXT NOT NULL DEFAULT '',"
        " seen TEXT NOT NULL DEFAULT '')",
        "CREATE TABLE IF NOT EXISTS deals (board TEXT NOT NULL, id INTEGER NOT NULL,"
        " day INTEGER NOT NULL, record TEXT NOT NULL, PRIMARY KEY (board, id))",
        "CREATE INDEX IF NOT EXISTS deals_day ON deals (day)",
        "CREATE TABLE IF NOT EXISTS matches (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " proposer TEXT NOT NULL, deals INTEGER NOT NULL, start INTEGER NOT NULL,"
        " state INTEGER NOT NULL, played INTEGER NOT NULL DEFAULT 0,"
        " score1 INTEGER NOT NULL DEFAULT 0, score2 INTEGER NOT NULL DEFAULT 0,"
        " room1 TEXT NOT NULL DEFAULT '-', room2 TEXT NOT NULL DEFAULT '-',"
        " ended INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE IF NOT EXISTS lineups (match INTEGER NOT NULL, position INTEGER NOT NULL,"
        " nick TEXT NOT NULL, accepted INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (match, position))",
    };
    for (const char *sql : schema) {
        if (!q.exec(QString::fromLatin1(sql)) && !QByteArray(sql).startsWith("PRAGMA")) {
            m_error = q.lastError().text();
            return;
        }
    }
    if (!migrateMembers())
        return;
    m_open = true;
}

bool Store::migrateMembers()
{
    QSqlDatabase base = db(m_connection);
    bool clear = false;
    {
        QSqlQuery columns(base);
        if (!columns.exec(QStringLiteral("PRAGMA table_info(members)"))) {
            m_error = columns.lastError().text();
            return false;
        }
        while (columns.next())
            clear = clear || columns.value(1).toString() == QLatin1String("digest");
    }
    if (!clear)
        return true;
    // One transaction: a stop halfway leaves the file as it was, to be migrated at the next start.
    if (!base.transaction()) {
        m_error = base.lastError().text();
        return false;
    }
    QSqlQuery q(base);
    bool ok = true;
    for (const char *sql : {"ALTER TABLE members ADD COLUMN password TEXT NOT NULL DEFAULT ''",
                            "ALTER TABLE members ADD COLUMN registered INTEGER NOT NULL DEFAULT 0",
                            "ALTER TABLE members ADD COLUMN registered_from TEXT NOT NULL DEFAULT ''",
                            "ALTER TABLE members ADD COLUMN seen TEXT NOT NULL DEFAULT ''"})
        ok = ok && q.exec(QString::fromLatin1(sql));
    QList<QPair<QString, qint32>> digests;
    if (ok && (ok = q.exec(QStringLiteral("SELECT nick, digest FROM members WHERE digest <> 0"))))
        while (q.next())
            digests.append({q.value(0).toString(), qint32(q.value(1).toLongLong())});
    q.finish();
    QSqlQuery set(base);
    ok = ok && set.prepare(QStringLiteral("UPDATE members SET password = ? WHERE nick = ?"));
    for (qsizetype i = 0; ok && i < digests.size(); ++i) {
        set.addBindValue(Password::of(digests[i].second).text());
        set.addBindValue(digests[i].first);
        ok = set.exec();
    }
    set.finish();
    // The clear column goes: a club that still reads it finds no member rather than logging
    // anyone in without a password.
    ok = ok && q.exec(QStringLiteral("ALTER TABLE members DROP COLUMN digest"));
    if (!ok || !base.commit()) {
        m_error = q.lastError().isValid() ? q.lastError().text() : set.lastError().text();
        base.rollback();
        return false;
    }
    return true;
}

Store::~Store()
{
    // The statements hold the connection; it can go only after them.
    m_queries.clear();
    m_unprepared.reset();
    {
        QSqlDatabase base = db(m_connection);
        base.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

std::optional<MemberRecord> Store::member(const QString &nick) const
{
    QSqlQuery &q = query(MemberByNick);
    Finish done{q};
    q.addBindValue(nick);
    if (!q.exec() || !q.next())
        return std::nullopt;
    MemberRecord m;
    m.nick = q.value(0).toString();
    const auto password = Password::fromText(q.value(1).toString());
    if (!password)
        return std::nullopt; // not a hash this club wrote: nobody logs in with it
    m.password = *password;
    m.data = wire::PersonalData::parse(q.value(3).toString(), q.value(2).toBool());
    m.registered = q.value(4).toLongLong();
    m.registeredFrom = q.value(5).toString();
    m.seen = q.value(6).toString();
    // The key is the truth about the name, also after a rename.
    m.data.fields[wire::PersonalData::NickField] = m.nick;
    return m;
}

bool Store::addMember(const MemberRecord &member)
{
    QSqlQuery &q = query(InsertMember);
    Finish done{q};
    q.addBindValue(member.nick);
    q.addBindValue(notNull(member.password.text()));
    q.addBindValue(member.data.isPublic ? 1 : 0);
    // Kept whole, the nickname included, so that what is read back is a complete record.
    wire::PersonalData data = member.data;
    data.fields.resize(wire::PersonalData::FieldCount); // a new member has no fields yet
    data.fields[wire::PersonalData::NickField] = member.nick;
    q.addBindValue(data.payload());
    q.addBindValue(member.registered);
    q.addBindValue(notNull(member.registeredFrom));
    q.addBindValue(notNull(member.seen));
    return q.exec();
}

bool Store::setPassword(const QString &nick, const Password &password)
{
    QSqlQuery &q = query(SetPassword);
    Finish done{q};
    q.addBindValue(notNull(password.text()));
    q.addBindValue(nick);
    return q.exec() && q.numRowsAffected() == 1;
}

int Store::removeUnclaimed(qint64 before)
{
    // Rare: once a day at most, so not kept compiled.
    QSqlQuery q(db(m_connection));
    if (!q.prepare(QStringLiteral(
            "DELETE FROM members WHERE registered <> 0 AND registered < ? AND seen = ''"
            " AND nick NOT IN (SELECT l.nick FROM lineups l JOIN matches m ON m.id = l.match"
            " WHERE m.state IN (?, ?))")))
        return -1;
    q.addBindValue(before);
    q.addBindValue(int(MatchRecord::Pending));
    q.addBindValue(int(MatchRecord::Running));
    return q.exec() ? q.numRowsAffected() : -1;
}

bool Store::setSeen(const QString &nick, const QString &seen)
{
    QSqlQuery &q = query(SetSeen);
    Finish done{q};
    q.addBindValue(notNull(seen));
    q.addBindValue(nick);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::setData(const QString &nick, const wire::PersonalData &data)
{
    QSqlQuery &q = query(SetData);
    Finish done{q};
    q.addBindValue(data.isPublic ? 1 : 0);
    q.addBindValue(data.payload());
    q.addBindValue(nick);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::rename(const QString &from, const QString &to, const wire::PersonalData &data)
{
    QSqlDatabase base = db(m_connection);
    if (!base.transaction())
        return false;
    bool ok = false;
    {
        QSqlQuery &q = query(Rename);
        Finish done{q};
        q.addBindValue(to);
        q.addBindValue(from);
        ok = q.exec() && q.numRowsAffected() == 1;
    }
    // The record under the new name, in the same transaction.
    ok = ok && setData(to, data);
    // Rare enough not to keep compiled.
    for (const char *sql : {"UPDATE lineups SET nick = ? WHERE nick = ?", "UPDATE matches SET proposer = ? WHERE proposer = ?"}) {
        if (!ok)
            break;
        QSqlQuery q(base);
        ok = q.prepare(QString::fromLatin1(sql));
        q.addBindValue(to);
        q.addBindValue(from);
        ok = ok && q.exec();
    }
    if (!ok || !base.commit()) {
        base.rollback();
        return false;
    }
    return true;
}

QByteArray Store::dealKey()
{
    QByteArray fresh(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(fresh.data()), fresh.size() / 4);
    QSqlDatabase base = db(m_connection);
    QSqlQuery q(base);
    // A file that cannot keep it still deals unforeseeable cards, for this run.
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS secrets (name TEXT PRIMARY KEY, value BLOB NOT NULL)")))
        return fresh;
    const auto read = [&] {
        QSqlQuery r(base);
        r.prepare(QStringLiteral("SELECT value FROM secrets WHERE name = 'deal'"));
        return r.exec() && r.next() ? r.value(0).toByteArray() : QByteArray();
    };
    if (const QByteArray kept = read(); !kept.isEmpty())
        return kept;
    // Never over a key already kept: the deals it numbered would change their cards.
    QSqlQuery w(base);
    w.prepare(QStringLiteral("INSERT OR IGNORE INTO secrets (name, value) VALUES ('deal', ?)"));
    w.addBindValue(fresh);
    w.exec();
    const QByteArray kept = read();
    return kept.isEmpty() ? fresh : kept;
}

int Store::addDeal(DealRecord record)
{
    QSqlDatabase base = db(m_connection);
    // The id and the row go in together: two tables finishing the same board cannot
    // both take the same id.
    if (!base.transaction())
        return 0;
    {
        QSqlQuery &q = query(NextDealId);
        Finish done{q};
        q.addBindValue(record.board);
        if (!q.exec() || !q.next()) {
            base.rollback();
            return 0;
        }
        record.id = q.value(0).toInt();
    }
    const QString text = record.toText();
    {
        QSqlQuery &q = query(InsertDeal);
        Finish done{q};
        q.addBindValue(record.board);
        q.addBindValue(record.id);
        q.addBindValue(record.day);
        q.addBindValue(text);
        if (!q.exec() || !base.commit()) {
            base.rollback();
            return 0;
        }
    }
    if (dealArchived)
        dealArchived(record.day, record.id, text);
    return record.id;
}

QList<int> Store::days(int limit) const
{
    QSqlQuery &q = query(LatestDays);
    Finish done{q};
    q.addBindValue(limit);
    QList<int> days;
    if (q.exec())
        while (q.next())
            days << q.value(0).toInt();
    return days;
}

QList<DealRecord> Store::dealsOfDay(int day, int limit) const
{
    QList<DealRecord> deals;
    for (const auto &row : dealRowsOfDay(day, limit))
        if (row)
            deals << *row;
    return deals;
}

QList<std::optional<DealRecord>> Store::dealRowsOfDay(int day, int limit) const
{
    QSqlQuery &q = query(DealsOfDay);
    Finish done{q};
    q.addBindValue(day);
    q.addBindValue(limit);
    QList<std::optional<DealRecord>> rows;
    if (q.exec())
        while (q.next())
            rows << readBack(q.value(0).toString(), q.value(1).toInt());
    return rows;
}

std::optional<DealRecord> Store::readBack(const QString &text, int id)
{
    auto record = DealRecord::fromText(text);
    if (record)
        record->id = id;
    return record;
}

std::optional<DealRecord> Store::deal(const QString &board, int id) const
{
    QSqlQuery &q = query(DealById);
    Finish done{q};
    q.addBindValue(board);
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return readBack(q.value(0).toString(), id);
}

int Store::addMatch(const MatchRecord &match)
{
    QSqlDatabase base = db(m_connection);
    if (!base.transaction())
        return 0;
    int id = 0;
    {
        QSqlQuery &q = query(InsertMatch);
        Finish done{q};
        for (const QVariant &v : {QVariant(match.proposer), QVariant(match.deals), QVariant(match.start),
                                  QVariant(match.state), QVariant(match.played), QVariant(match.score1),
                                  QVariant(match.score2), QVariant(match.room1), QVariant(match.room2),
                                  QVariant(match.ended)})
            q.addBindValue(v);
        if (!q.exec()) {
            base.rollback();
            return 0;
        }
        id = q.lastInsertId().toInt();
    }
    QSqlQuery &q = query(InsertLineUp);
    Finish done{q};
    for (int p = 0; p < 8; ++p) {
        q.addBindValue(id);
        q.addBindValue(p);
        q.addBindValue(match.lineUp[p]);
        q.addBindValue(match.accepted[p] ? 1 : 0);
        if (!q.exec()) {
            base.rollback();
            return 0;
        }
    }
    if (id <= 0 || !base.commit()) {
        base.rollback();
        return 0;
    }
    return id;
}

bool Store::acceptMatch(int id, int position)
{
    QSqlQuery &q = query(AcceptLineUp);
    Finish done{q};
    q.addBindValue(id);
    q.addBindValue(position);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::updateMatch(const MatchRecord &match)
{
    QSqlQuery &q = query(UpdateMatch);
    Finish done{q};
    for (const QVariant &v : {QVariant(match.start), QVariant(match.state), QVariant(match.played),
                              QVariant(match.score1), QVariant(match.score2), QVariant(match.room1),
                              QVariant(match.room2), QVariant(match.ended), QVariant(match.id)})
        q.addBindValue(v);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::deleteMatch(int id)
{
    QSqlDatabase base = db(m_connection);
    if (!base.transaction())
        return false;
    bool ok = false;
    {
        QSqlQuery &q = query(DeleteLineUps);
        Finish done{q};
        q.addBindValue(id);
        ok = q.exec();
    }
    {
        QSqlQuery &q = query(DeleteMatch);
        Finish done{q};
        q.addBindValue(id);
        ok = ok && q.exec() && q.numRowsAffected() == 1;
    }
    if (!ok || !base.commit()) {
        base.rollback();
        return false;
    }
    return true;
}

QList<MatchRecord> Store::matches(int finished) const
{
    QList<MatchRecord> list;
    {
        QSqlQuery &q = query(ShownMatches);
        Finish done{q};
        q.addBindValue(int(MatchRecord::Finished));
        q.addBindValue(int(MatchRecord::Finished));
        q.addBindValue(finished);
        if (!q.exec())
            return list;
        while (q.next()) {
            MatchRecord m;
            m.id = q.value(0).toInt();
            m.proposer = q.value(1).toString();
            m.deals = q.value(2).toInt();
            m.start = q.value(3).toLongLong();
            m.state = q.value(4).toInt();
            m.played = q.value(5).toInt();
            m.score1 = q.value(6).toLongLong();
            m.score2 = q.value(7).toLongLong();
            m.room1 = q.value(8).toString();
            m.room2 = q.value(9).toString();
            m.ended = q.value(10).toLongLong();
            list << m;
        }
    }
    QSqlQuery &names = query(LineUpOf);
    Finish done{names};
    for (MatchRecord &m : list) {
        names.addBindValue(m.id);
        if (!names.exec())
            continue;
        while (names.next()) {
            const int p = names.value(0).toInt();
            if (p >= 0 && p < 8) {
                m.lineUp[p] = names.value(1).toString();
                m.accepted[p] = names.value(2).toBool();
            }
        }
    }
    return list;
}

} // namespace club
