#pragma once
// The club counts calendar days from 30 December 1899 (day 0); the history tree, the day
// query and the day chooser all speak in these numbers. Nothing here needs a screen.

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace DayNumber {

// Julian day of day 0 (1899-12-30).
constexpr qint64 JulianOfDay0 = 2415019;

QDate ToDate(qint32 day);
// Dates outside the range of 32-bit day numbers give nothing.
std::optional<qint32> FromDate(QDate date);

// Years 1 to 9999: the range a four-digit year can show and a user can type.
bool Shown(qint32 day);

// The tree's form, "%4d.%2.2d.%2.2d": '2006.03.07'. A day outside the shown years is
// written as its number ("3000000. nap"), so that it still reads as itself.
QString TreeText(qint32 day);

// The user's short date form of the day (same fallback as TreeText).
QString ShortText(qint32 day, const QLocale &locale);

// Reads a date typed in the locale's short form and gives its day number. The order of
// year, month and day comes from the locale's short format; the parts are the runs of
// digits, whatever stands between them ("2006.03.07", "2006. 03. 07." and "2006-03-07"
// read alike). A year of one or two digits is the one nearest to `today` (within 50
// years). Anything that is not a real date in years 1 to 9999 gives nothing.
std::optional<qint32> ReadShortDate(const QString &text, const QLocale &locale, QDate today);

} // namespace DayNumber
