#pragma once
// Numbers written straight into the line being built. A deal sends two hands and a trick for
// every card, and a text of its own for every number was most of what a card cost.

#include <QString>

namespace club {

// Appends the decimal digits of `n` (with '-' before a negative one), as QString::number writes them.
inline void AppendNumber(QString &line, int n)
{
    // Cards, seats and counts: nearly every number written is below 100.
    if (n >= 0 && n < 100) {
        const char16_t digits[2] = {char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)};
        line.append(reinterpret_cast<const QChar *>(digits + (n < 10 ? 1 : 0)), n < 10 ? 1 : 2);
        return;
    }
    char16_t digits[12];
    int at = 12;
    unsigned v = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do {
        digits[--at] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (n < 0)
        digits[--at] = u'-';
    line.append(reinterpret_cast<const QChar *>(digits + at), 12 - at);
}

// ' <n>', as BlankInt writes it.
inline void AppendBlankNumber(QString &line, int n)
{
    line.append(QLatin1Char(' '));
    AppendNumber(line, n);
}

} // namespace club
