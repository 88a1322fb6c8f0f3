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
} // namespace

Store::Store(const QString &path)
    : m_connection(QStringLiteral("club-store-%1").arg(connections.fetchAndAddRelaxed(1)))
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
        "CREATE TABLE IF NOT EXISTS members (nick TEXT PRIMARY KEY, digest INTEGER NOT NULL,"
        " public INTEGER NOT NULL DEFAULT 0, data TEXT NOT NULL DEFAULT '')",
        "CREATE TABLE IF NOT EXISTS deals (board TEXT NOT NULL, id INTEGER NOT NULL,"
        " day INTEGER NOT NULL, record TEXT NOT NULL, PRIMARY KEY (board, id))",
        "CREATE INDEX IF NOT EXISTS deals_day ON deals (day)",
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
    {
        QSqlDatabase base = db(m_connection);
        base.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

std::optional<MemberRecord> Store::member(const QString &nick) const
{
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("SELECT nick, digest, public, data FROM members WHERE nick = ?"));
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
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("INSERT INTO members (nick, digest, public, data) VALUES (?, ?, ?, ?)"));
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
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("UPDATE members SET digest = ? WHERE nick = ?"));
    q.addBindValue(digest);
    q.addBindValue(nick);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::setData(const QString &nick, const wire::PersonalData &data)
{
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("UPDATE members SET public = ?, data = ? WHERE nick = ?"));
    q.addBindValue(data.isPublic ? 1 : 0);
    q.addBindValue(data.payload());
    q.addBindValue(nick);
    return q.exec() && q.numRowsAffected() == 1;
}

bool Store::rename(const QString &from, const QString &to)
{
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("UPDATE members SET nick = ? WHERE nick = ?"));
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
    QSqlQuery q(base);
    q.prepare(QStringLiteral("SELECT COALESCE(MAX(id), 0) + 1 FROM deals WHERE board = ?"));
    q.addBindValue(record.board);
    if (!q.exec() || !q.next()) {
        base.rollback();
        return 0;
    }
    record.id = q.value(0).toInt();
    q.prepare(QStringLiteral("INSERT INTO deals (board, id, day, record) VALUES (?, ?, ?, ?)"));
    q.addBindValue(record.board);
    q.addBindValue(record.id);
    q.addBindValue(record.day);
    q.addBindValue(record.toText());
    if (!q.exec() || !base.commit()) {
        base.rollback();
        return 0;
    }
    return record.id;
}

QList<int> Store::days(int limit) const
{
    // The latest days, told in rising order.
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("SELECT day FROM (SELECT DISTINCT day FROM deals ORDER BY day DESC"
                             " LIMIT ?) ORDER BY day"));
    q.addBindValue(limit);
    QList<int> days;
    if (q.exec())
        while (q.next())
            days << q.value(0).toInt();
    return days;
}

QList<DealRecord> Store::dealsOfDay(int day, int limit) const
{
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("SELECT record, id FROM (SELECT record, id, rowid AS r FROM deals"
                             " WHERE day = ? ORDER BY rowid DESC LIMIT ?) ORDER BY r"));
    q.addBindValue(day);
    q.addBindValue(limit);
    QList<DealRecord> deals;
    if (q.exec())
        while (q.next())
            if (auto record = DealRecord::fromText(q.value(0).toString())) {
                record->id = q.value(1).toInt();
                deals << *record;
            }
    return deals;
}

std::optional<DealRecord> Store::deal(const QString &board, int id) const
{
    QSqlQuery q(db(m_connection));
    q.prepare(QStringLiteral("SELECT record FROM deals WHERE board = ? AND id = ?"));
    q.addBindValue(board);
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    auto record = DealRecord::fromText(q.value(0).toString());
    if (record)
        record->id = id;
    return record;
}

} // namespace club
