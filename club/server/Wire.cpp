#include "Wire.h"

#include "cards/Hands.h"
#include "history/PersonalData.h"
#include "session/LineFramer.h"

#include <QDate>
#include <QRegularExpression>

#include <charconv>

namespace club::wire {

namespace {
// " <n>" onto the line, as BlankInt writes it, without a string of its own.
void appendNumber(QString &line, qint64 n)
{
    char digits[24];
    digits[0] = ' ';
    const auto end = std::to_chars(digits + 1, digits + sizeof digits, n).ptr;
    line += QLatin1String(digits, end - digits);
}
} // namespace

QString LobbyLine(const QList<RoomPeople> &rooms)
{
    QString line = QStringLiteral("L") + QString::number(rooms.size());
    for (const RoomPeople &r : rooms)
        line += LobbyEntry(r.room, r.nicks);
    return line;
}

QString LobbyEntry(const QString &room, const QStringList &nicks)
{
    qsizetype size = 1 + room.size() + 12;
    for (const QString &nick : nicks)
        size += 1 + nick.size();
    QString entry;
    entry.reserve(size);
    entry += QLatin1Char(' ');
    entry += room;
    appendNumber(entry, nicks.size());
    for (const QString &nick : nicks) {
        entry += QLatin1Char(' ');
        entry += nick;
    }
    return entry;
}

QString JoinLine(const QString &room, int dealNumber, int dealsPlayed,
                 const QList<QPair<QString, int>> &present)
{
    // Put together in place: a room's line goes to everyone who comes in.
    qsizetype size = 1 + room.size() + 24;
    for (const auto &[nick, seat] : present)
        size += nick.size() + 4;
    QString line;
    line.reserve(size);
    line += QLatin1Char('J');
    line += room;
    appendNumber(line, dealNumber);
    appendNumber(line, dealsPlayed);
    for (const auto &[nick, seat] : present) {
        line += QLatin1Char(' ');
        line += nick;
        appendNumber(line, seat);
    }
    return line;
}

QString SeatLine(const QString &nick, int seat)
{
    QString line;
    line.reserve(nick.size() + 13);
    line += QLatin1Char('I');
    line += nick;
    appendNumber(line, seat);
    return line;
}

QString DealLine(int dealNumber, int dealsPlayed)
{
    QString line = QStringLiteral("N") + QString::number(dealNumber);
    appendNumber(line, dealsPlayed);
    return line;
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
    // Any blank, not only the plain space: a no-break space makes "Szerver" another name that
    // looks the same.
    for (QChar c : nick)
        if (c.category() != QChar::Other_Control
            && (c.isSpace() || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph))
            return QStringLiteral("Becenévben nem lehet szóköz");
    if (nick.contains(QLatin1Char('"')) || nick.contains(QLatin1Char('\'')))
        return QStringLiteral("Becenévben nem lehet idézőjel");
    // A control character or the field separator would break the lines that carry the name.
    for (QChar c : nick)
        if (c.category() == QChar::Other_Control || c == QLatin1Char(';'))
            return QStringLiteral("Becenévben nem lehet vezérlőkarakter");
    // Nothing that does not show: a soft hyphen, a zero-width space or joiner, a direction mark.
    for (QChar c : nick)
        if (c.category() == QChar::Other_Format || c.category() == QChar::Other_NotAssigned
            || c.category() == QChar::Other_PrivateUse || c.isSurrogate() || c.unicode() == 0xfffd)
            return QStringLiteral("Becenévben nem lehet láthatatlan jel");
    if (IsReservedNick(nick))
        return QStringLiteral("Ez a becenév a klubé, válassz másikat");
    return {};
}

bool IsReservedNick(const QString &nick)
{
    // Only the letters and digits count, case-folded: "SZERVER", "Szerver:" and "Robot-1"
    // read as the club's own names in a chat line.
    QString bare;
    for (QChar c : nick)
        if (c.isLetterOrNumber())
            bare += c;
    bare = bare.toCaseFolded();
    static const QRegularExpression robot(QStringLiteral("^robot[0-9]*$"));
    return robot.match(bare).hasMatch() || bare == QLatin1String("szerver");
}

QString WithoutControls(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            kept += c;
    return kept.size() == text.size() ? text : kept;
}

int DayNumber(const QDate &date)
{
    return int(QDate(1899, 12, 30).daysTo(date));
}

} // namespace club::wire
