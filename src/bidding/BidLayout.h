#pragma once
// A deal's bid text laid out line by line under the four seats: seat 4's bids at the left
// edge, seat 1's 27 blanks in, seat 2's 54 and seat 3's 81, in the order of the bidding.

#include <QStringList>

namespace BidLayout {
constexpr int ColumnBlanks = 27;

// Appends the lines of `source` to `target`, consuming `source`. A count that is not a
// number throws with the lines so far kept.
void Render(QString &source, QStringList &target);

// The seat column (0 = seat 4, 1 = seat 1, 2 = seat 2, 3 = seat 3) and the bid of a line.
int ColumnOf(const QString &line);
QString BidOf(const QString &line);
} // namespace BidLayout
