#pragma once
// The announcements the club's game knows, with their points and explanations. Plain
// data, no widgets: the announcement table window shows it, the bid editor takes its
// hints from it, and the club server can score with the same names.

#include <QList>
#include <QString>

struct TAnnouncement
{
    QString Tk;   // the name, exactly the token a bid carries
    int Made = 0; // points when it is made
    int Down = 0; // points lost when it fails
    QString Note; // the group
    QString Hint; // one-line explanation
};

namespace Catalogue {

// The columns in their fixed order; Hint is never shown as a column.
enum Column { Tk, Made, Down, Note, Hint, ColumnCount };

// The 67 announcements in catalogue order.
const QList<TAnnouncement> &Rows();

// The first row whose name equals `name` exactly (case and no-break spaces count), or -1.
int IndexOf(const QString &name);

// The explanation of `name`, or an empty text when no row carries that name.
QString HintOf(const QString &name);

} // namespace Catalogue
