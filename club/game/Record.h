#pragma once
// A finished deal as the archive keeps it, and the text forms of the history replies.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace club {

struct DealRecord
{
    QString board;                        // board number, decimal digits
    int id = 0;                           // the deal's id within the board (set by the store)
    int day = 0;                          // days since 1899-12-30
    std::array<QString, 4> names;         // seats 1..4
    std::array<QList<int>, 4> played;     // cards played by seats 1..4, in trick order
    QList<int> takenBy23;                 // after trick k: tricks taken by side 2-3
    QString bidText;                      // the auction as the "B" lines carried it
    QStringList scoreRows;                // the score breakdown, one text per row

    // One line of storage text and back; fromText refuses anything it did not write.
    QString toText() const;
    static std::optional<DealRecord> fromText(const QString &text);
};

// Whole reply lines (command letter first, no CR LF) for the history requests.
QString DaysReply(const QList<int> &days);                 // "Y..."
QStringList DealsReply(const QList<DealRecord> &deals);    // "X0 ..." line(s) for one day
QString ScoresReply(const DealRecord &deal);               // "X1 ..."
QString BidsReply(const DealRecord &deal);                 // "X2 ..."

} // namespace club
