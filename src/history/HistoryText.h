#pragma once
// The deal history's replies read without any window: the header every "X" reply starts
// with, an "X0" deal record, an "X1" score breakdown, the "Y" day list, and the texts the
// history tree writes beside its rows.

#include "cards/Hands.h"

#include <QList>
#include <QString>
#include <array>

// Sub-code, board number and deal id: the words every "X" reply starts with.
struct THistoryHeader
{
    int Code = 0;
    QString Board;
    qint32 Id = 0;
};
THistoryHeader ReadHistoryHeader(QString &text);

// What an "X0" record says of a deal after its header.
struct TDealRecord
{
    qint32 Day = 0;
    QString Tag;
    std::array<QString, 4> Names; // seats 1..4
    // Hands[0]: side 2-3's tricks after each trick; Hands[1..4]: each seat's cards in trick order.
    std::array<THand, 5> Hands;

    // The final trick score, side 1-4 first: '7 : 3'.
    QString Split() const;
};
// Reads the whole record first: a word that is not a number throws before anything of it
// is kept. Missing words read as empty texts and zeros.
TDealRecord ReadDealRecord(QString text);

// An "X1" breakdown: rows of a label and the points of the two sides.
struct TScoreRow
{
    QString Label;
    qint32 A = 0; // side 1-4
    qint32 B = 0; // side 2-3
};
struct TScoreSheet
{
    QList<TScoreRow> Rows;
    // Sums and the difference in 64 bits: a row's difference may not fit 32.
    qint64 SumA = 0;
    qint64 SumB = 0;
    qint64 Difference() const { return SumA - SumB; }
};
// Rows are read while more than three characters are left; a shorter remnant is ignored.
// A word that should be a number throws, and nothing is returned.
TScoreSheet ReadScoreRows(const QString &scores);

// A number right-aligned by blanks for the score grid: two blanks for each character short
// of six, one more for a negative number ("          5", "       -12", "123456").
QString PadNumber(qint64 n);

// The "Y" reply: day numbers separated by single blanks; an empty word is day 0.
QList<qint32> ReadDays(QString text);

// The texts drawn on a tree row after the node's own text, at x positions worked out from
// the page control's tab width.
struct TRowText
{
    int X = 0;
    QString Text;
};
namespace HistoryColumns {
// The page control's tab width as designed; the window's tabs are never narrower, and wider
// only when a caption needs it in the desktop's font, and the columns widen with them.
constexpr int DesignTabWidth = 82;
struct TColumns
{
    int X1; // W·4/3: the tag
    int X2; // W·5/3: side 1-4
    int X3; // W·8/3: the trick score
    int X4; // 3·W + 6: side 2-3
};
constexpr TColumns Columns(int tabWidth = DesignTabWidth)
{
    return {tabWidth * 4 / 3, tabWidth * 5 / 3, tabWidth * 8 / 3, 3 * tabWidth + 6};
}
} // namespace HistoryColumns

// A row that carries a deal: tag, the names of side 1-4, the split, the names of side 2-3.
QList<TRowText> DealRowTexts(const QString &tag, const std::array<QString, 4> &names,
                             const QString &split, int tabWidth = HistoryColumns::DesignTabWidth);
// A board-number row names the attacking side over its column: side 1-4 when the last
// character's code is odd, side 2-3 otherwise.
QList<TRowText> BoardRowTexts(const QString &board, int tabWidth = HistoryColumns::DesignTabWidth);
