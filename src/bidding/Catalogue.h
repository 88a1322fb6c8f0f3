#pragma once
// The club's announcements: the names bids are made of, what each is worth made and lost,
// its group and a one-line explanation. The numbers are shown, never computed with.

#include <QString>

struct Announcement
{
    const char16_t *name; // the very token bids carry (no-break spaces included)
    int made;
    int down;
    const char16_t *group;
    const char16_t *hint;

    QString Name() const { return QString::fromUtf16(name); }
    QString Group() const { return QString::fromUtf16(group); }
    QString Hint() const { return QString::fromUtf16(hint); }
};

namespace Catalogue {
constexpr int Count = 67;
// Row i (0-based) in catalogue order.
const Announcement &Row(int i);
// The first row whose name is exactly `name`, or -1.
int IndexOf(const QString &name);
// Its explanation, or empty text when no announcement has that name.
QString HintOf(const QString &name);
} // namespace Catalogue
