#pragma once
// The auction of one deal: which words make a bid, which turns the rules take, and the
// bid text the "B" lines carry.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "cards/Hands.h"

namespace club {

// Seats 1 and 4 play against seats 2 and 3.
constexpr int SideOf(int seat) { return seat == 1 || seat == 4 ? 0 : 1; }
constexpr int NextSeat(int seat) { return seat % 4 + 1; }

// The two rising chains, lowest step first: a side may only climb them.
const QStringList &HonourChain(); // "Honőr", "Köpf", "Trull"
const QStringList &TrickChain();  // "Gém" .. "Volát"

// One bid word taken apart.
struct BidToken
{
    enum Kind { Plain, Raised, Suited, Signal };
    Kind kind = Plain;
    int contra = 0;  // 0, 1 for '*', 2 for '**'
    QString base;    // the bid without its contra marks
    int row = -1;    // 0-based catalogue row of the announcement; -1 for a hand signal
    int card = 0;    // Raised: the named tarokk 21..24; Suited: the suit class 0..3
};

// Nullopt for a word that is no bid at all. Hand signals are recognised by form only
// ('8 Tarokk', '3 Kőr', "Flush", "Matador", "Vannak"); whether the hand bears them out is
// the auction's check.
std::optional<BidToken> ReadToken(const QString &word);

struct BidTurn
{
    int seat = 0;
    QStringList bids; // empty: a pass
};

class Auction
{
public:
    explicit Auction(int opener = 1) : m_opener(opener) {}

    int opener() const { return m_opener; }
    const QList<BidTurn> &turns() const { return m_turns; }
    // The first seat, then per turn a count and that many bids.
    QString text() const;
    // The same text after a command letter: the "B" line is sent after every turn.
    QString line(QLatin1Char letter) const;
    // Over once three passes in a row follow the first round, or all four passed.
    bool finished() const;
    int onTurn() const;

    // The Hungarian notice that refuses `turn` ('<count> <bid> ...'), or empty text when
    // the rules take it; `bids` then holds its words. `hand` is the seat's dealt hand.
    QString check(int seat, const QString &turn, const QList<int> &hand, QStringList &bids) const;
    void add(int seat, const QStringList &bids);
    bool undo();

    // One bid of a turn: the notice that refuses `word` (no blanks in it), or empty text. `own`
    // and `other` are sideBids() of the seat's side and of the other, `pending` the bids before
    // it in the same turn. A robot weighing many single bids asks this rather than check().
    QString checkBid(int seat, const QString &word, const QList<int> &hand, const QStringList &own,
                     const QStringList &other, const QStringList &pending) const;

    // Every bid made by the seats of `side` (0: seats 1-4, 1: seats 2-3), in text order.
    QStringList sideBids(int side) const;
    QStringList seatBids(int seat) const;

private:
    QString writeText(QChar letter) const; // a null letter writes none

    int m_opener;
    QList<BidTurn> m_turns;
};

} // namespace club
