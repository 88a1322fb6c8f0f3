#pragma once
// Team matches without a window: a row of the club's match list with its texts, the
// line-up order the eight players travel in, and the proposal line with its checks.

#include "cards/Hands.h"

#include <QString>
#include <array>

// One row of the match list as the window shows it.
struct TMatchRow
{
    static constexpr int TabSize = 8;
    static constexpr int ResSize = 10;
    static constexpr int StatusSize = 24;

    QString Tab1;       // at most TabSize characters
    QString Tab2;
    qint32 Leo = 0;     // deals
    QString Res;        // "- - -" or 'a : b', at most ResSize characters
    // a - b: two 32-bit scores may be further apart than a 32-bit number reaches.
    qint64 Dif = 0;
    QString Status;     // at most StatusSize characters
    qint32 Id = 0;      // the match id while it has not started, else 0

    bool operator==(const TMatchRow &) const = default;
};

// The status text of a state code; `a` is the minutes for a match not yet started.
QString MatchStatus(qint32 state, qint32 a);
// The row that the six words deals, state, a, b, room 1, room 2 make.
TMatchRow MatchRow(qint32 deals, qint32 state, qint32 a, qint32 b, const QString &room1,
                   const QString &room2);
// Reads one row's six words from the front; a word that should be a number throws.
TMatchRow ReadMatchRow(QString &text);
// `Dif` as the list shows it: blank for zero, a plain number otherwise.
QString DifText(qint64 dif);

// A cell of the line-up grid: column 1..2 (team), row 1..4.
struct TLineUpCell
{
    int Col;
    int Row;
};
// The order in which the eight cells travel on the wire, in a proposal and in an invitation.
inline constexpr std::array<TLineUpCell, 8> LineUpOrder = {{
    {1, 1}, {2, 1}, {2, 4}, {1, 4}, {2, 3}, {1, 3}, {1, 2}, {2, 2},
}};

// The eight editable cells: [column - 1][row - 1].
using TLineUp = std::array<std::array<QString, 4>, 2>;

// Reads eight words into the line-up in line-up order (missing words read as empty).
TLineUp ReadLineUp(QString &text);

// The proposal "R0 <deals> <minutes> <eight names in line-up order>" after the checks, in
// this order: the start time must be an integer ("Hibás kezdési idő"), every name at least
// two characters once blanks are removed ("Hibás név <name>"), no name twice ("Minden név
// csak 1x szerepelhet"). `dealsIndex` is the chosen item of the deals list, -1 for none.
QString ProposalLine(int dealsIndex, const QString &timeText, const TLineUp &lineUp);

// The deals list item an invitation selects: deals div 2 - 1, truncating towards zero;
// -1 (nothing chosen) when that is not one of `itemCount` items.
int DealsIndex(qint32 deals, int itemCount);
