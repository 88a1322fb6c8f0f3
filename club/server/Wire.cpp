#include "Wire.h"

#include "cards/Hands.h"
#include "history/PersonalData.h"
#include "session/LineFramer.h"

#include <QDate>
#include <QRegularExpression>

namespace club::wire {

QString LobbyLine(const QList<RoomPeople> &rooms)
{
    QStringList entries;
    for (const RoomPeople &r : rooms)
        entries << LobbyEntry(r.room, r.nicks);
    return LobbyLineOf(entries);
}

QString LobbyEntry(const QString &room, const QStringList &nicks)
{
    QString entry = QLatin1Char(' ') + room + BlankInt(int(nicks.size()));
    for (const QString &nick : nicks)
        entry += QLatin1Char(' ') + nick;
    return entry;
}

QString LobbyLineOf(const QStringList &entries)
{
    const QString count = QString::number(entries.size());
    qsizetype size = 1 + count.size();
    for (const QString &entry : entries)
        size += entry.size();
    QString line;
    line.reserve(size);
    line += QLatin1Char('L');
    line += count;
    for (const QString &entry : entries)
        line += entry;
    return line;
}

QString JoinLine(const QString &room, int dealNumber, int dealsPlayed,
                 const QList<QPair<QString, int>> &present)
{
    QString line = QStringLiteral("J") + room + BlankInt(dealNumber) + BlankInt(dealsPlayed);
    for (const auto &[nick, seat] : present)
        line += QLatin1Char(' ') + nick + BlankInt(seat);
    return line;
}

QString SeatLine(const QString &nick, int seat)
{
    return QStringLiteral("I") + nick + BlankInt(seat);
}

QString DealLine(int dealNumber, int dealsPlayed)
{
    return QStringLiteral("N") + QString::number(dealNumber) + BlankInt(dealsPlayed);
}

QString ChatLine(const QString &nick, const QString &text)
{
    return QStringLiteral("M%1: %2").arg(nick, text);
}

QString PrivateLine(const QString &from, const QString &text)
{
    return QStringLiteral("M%1 privát üzenete: %2").arg(from, text);
}

QString PrivateEcho(const QString &to, const QString &text)
{
    return QStringLiteral("MPrivát üzenet %1 részére: %2").arg(to, text);
}

bool Fits(const QString &line)
{
    return line.size() <= LineFramer::DefaultLimit;
}

QString Quote(const QString &text, int longest)
{
    return text.size() <= longest ? text : text.left(longest) + QStringLiteral("...");
}

QString Notice(const QString &text)
{
    return QStringLiteral("MSzerver: ") + text;
}

PersonalData PersonalData::parse(const QString &payload, bool isPublic)
{
    const ::PersonalData record = ::PersonalData::Parse(payload);
    PersonalData data;
    data.isPublic = isPublic;
    data.fields = QStringList(record.fields.begin(), record.fields.end());
    return data;
}

QString PersonalData::payload() const
{
    return record().Fields();
}

::PersonalData PersonalData::record() const
{
    ::PersonalData r;
    for (int i = 0; i < FieldCount; ++i)
        r.fields[i] = fields.value(i);
    return r;
}

QString CheckPersonalData(const PersonalData &data)
{
    // The member's own window checks a record with these same rules before sending it; the
    // club checks again, since a line can come from anywhere.
    try {
        ::CheckPersonalData(data.record());
    } catch (const VimoError &e) {
        return e.text();
    }
    return CheckNick(data.nick());
}

QString CheckNick(const QString &nick)
{
    if (nick.size() < 2)
        return QStringLiteral("Becenév rövid");
    if (nick.size() > 8)
        return QStringLiteral("Becenév hosszú");
    if (nick.contains(QLatin1Char(' ')))
        return QStringLiteral("Becenévben nem lehet szóköz");
    if (nick.contains(QLatin1Char('"')) || nick.contains(QLatin1Char('\'')))
        return QStringLiteral("Becenévben nem lehet idézőjel");
    // A control character or the field separator would break the lines that carry the name.
    for (QChar c : nick)
        if (c.unicode() < 0x20 || c == QLatin1Char(';') || c.unicode() == 0x7f
            || (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            return QStringLiteral("Becenévben nem lehet vezérlőkarakter");
    if (IsReservedNick(nick))
        return QStringLiteral("Ez a becenév a klubé, válassz másikat");
    return {};
}

bool IsReservedNick(const QString &nick)
{
    static const QRegularExpression robot(QStringLiteral("^robot[0-9]*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return robot.match(nick).hasMatch()
        || nick.compare(QStringLiteral("Szerver"), Qt::CaseInsensitive) == 0;
}

int DayNumber(const QDate &date)
{
    return int(QDate(1899, 12, 30).daysTo(date));
}

} // namespace club::wire
