#include "Store.h"

#include <QAtomicInt>
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
struct Finish
{
    QSqlQuery &q;
    ~Finish() { q.finish(); }
};
} // namespace

enum Store::Statement : int {
    MemberByNick,
    InsertMember,
    SetDigest,
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
        "SELECT nick, digest, public, data FROM members WHERE nick = ?",
        "INSERT INTO members (nick, digest, public, data) VALUES (?, ?, ?, ?)",
        "UPDATE members SET digest = ? WHERE nick = ?",
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
        "CREATE TABLE IF NOT EXISTS members (nick TEXT PRIMARY KEY, digest INTEGER NOT NULL,"
        " public INTEGER NOT NULL DEFAULT 0, data TEXT NOT NULL DEFAULT '')",
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
    m_open = true;
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
    m.digest = qint32(q.value(1).toLongLong());
    m.data = wire::PersonalData::parse(q.value(3).toString(), q.value(2).toBool());
    // The key is the truth about the name, also after a rename.
    m.data.fields[wire::PersonalData::NickField] = m.nick;
    return m;
}

bool Store::addMember(const MemberRecord &member)
{
    QSqlQuery &q = query(InsertMember);
    Finish done{q};
    q.addBindValue(member.nick);
    q.addBindValue(member.digest);
    q.addBindValue(member.data.isPublic ? 1 : 0);
    // Kept whole, the nickname included, so that what is read back is a complete record.
    wire::PersonalData data = member.data;
    data.fields.resize(wire::PersonalData::FieldCount); // a new member has no fields yet
    data.fields[wire::PersonalData::NickField] = member.nick;
    q.addBindValue(data.payload());
    return q.exec();
}

bool Store::setDigest(const QString &nick, qint32 digest)
{
    QSqlQuery &q = query(SetDigest);
    Finish done{q};
    q.addBindValue(digest);
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

bool Store::rename(const QString &from, const QString &to)
{
    QSqlQuery &q = query(Rename);
    Finish done{q};
    q.addBindValue(to);
    q.addBindValue(from);
    return q.exec() && q.numRowsAffected() == 1;
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
