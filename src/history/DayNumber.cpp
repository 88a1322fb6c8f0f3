#include "DayNumber.h"

#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <limits>

namespace DayNumber {

QDate ToDate(qint32 day)
{
    return QDate::fromJulianDay(JulianOfDay0 + day);
}

std::optional<qint32> FromDate(QDate date)
{
    if (!date.isValid())
        return std::nullopt;
    const qint64 day = date.toJulianDay() - JulianOfDay0;
    if (day < std::numeric_limits<qint32>::min() || day > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(day);
}

bool Shown(qint32 day)
{
    const QDate date = ToDate(day);
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

static QString beyond(qint32 day)
{
    return QStringLiteral("%1. nap").arg(day);
}

QString TreeText(qint32 day)
{
    if (!Shown(day))
        return beyond(day);
    const QDate date = ToDate(day);
    return QString::asprintf("%4d.%2.2d.%2.2d", date.year(), date.month(), date.day());
}

QString ShortText(qint32 day, const QLocale &locale)
{
    if (!Shown(day))
        return beyond(day);
    return locale.toString(ToDate(day), QLocale::ShortFormat);
}

namespace {

// Where year, month and day stand in a date format: indexes 0..2 of the three digit runs.
struct FieldOrder
{
    int year = 0, month = 1, day = 2;
};

FieldOrder orderOf(const QString &format)
{
    qsizetype at[3] = {-1, -1, -1}; // y, M, d
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        const int k = c == QLatin1Char('y') ? 0 : c == QLatin1Char('M') ? 1 : c == QLatin1Char('d') ? 2 : -1;
        if (k < 0)
            continue;
        if (at[k] < 0)
            at[k] = i;
    }
    FieldOrder order;
    if (at[0] < 0 || at[1] < 0 || at[2] < 0)
        return order; // no usable order: year, month, day
    const auto rank = [&](int k) {
        int r = 0;
        for (int j = 0; j < 3; ++j)
            r += at[j] < at[k];
        return r;
    };
    order.year = rank(0);
    order.month = rank(1);
    order.day = rank(2);
    return order;
}

std::optional<qint32> fromParts(int year, int month, int day)
{
    if (year < 1 || year > 9999)
        return std::nullopt;
    return FromDate(QDate(year, month, day));
}

} // namespace

std::optional<qint32> ReadShortDate(const QString &text, const QLocale &locale, QDate today)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression notDigits(QStringLiteral("[^0-9]+"));
    const QStringList parts = text.split(notDigits, Qt::SkipEmptyParts);
    if (parts.size() == 3) {
        // More than nine digits can only be a mistake, and would not fit an int.
        for (const QString &p : parts)
            if (p.size() > 9)
                return std::nullopt;
        const FieldOrder order = orderOf(format);
        int year = parts[order.year].toInt();
        if (parts[order.year].size() <= 2) {
            const int base = today.isValid() ? today.year() : 2000;
            year += base / 100 * 100;
            if (year > base + 50)
                year -= 100;
            else if (year < base - 50)
                year += 100;
        }
        return fromParts(year, parts[order.month].toInt(), parts[order.day].toInt());
    }
    // A short format that writes the month as a name ("7 Mar 2006") is left to the locale.
    const QDate date = locale.toDate(text.trimmed(), QLocale::ShortFormat);
    if (!date.isValid())
        return std::nullopt;
    return fromParts(date.year(), date.month(), date.day());
}

} // namespace DayNumber
