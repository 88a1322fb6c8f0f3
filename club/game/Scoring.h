#pragma once
// The tricks of a deal and what they are worth: which announcements were made, which
// failed, and the silent achievements nobody has to announce.

#include <QList>
#include <QString>
#include <array>
#include <QVarLengthArray>
#include <optional>
#include <span>

#include "Auction.h"

namespace club {

struct Trick
{
    int leader = 0;
    std::array<int, 4> cards{}; // by seat 1..4 (index seat − 1); 0 = not played yet
    int played = 0;
    int winner = 0;             // set once the fourth card is down

    bool complete() const { return played == 4; }
    int cardOf(int seat) const { return cards[seat - 1]; }
    int seatOnTurn() const { return (leader - 1 + played) % 4 + 1; }
    int led() const { return played > 0 ? cards[leader - 1] : 0; }
};

// Puts `card` down for the seat on turn; the fourth card decides the winner.
void AddCard(Trick &trick, int card);

// The cards a hand may play to `trick` (all of them when it leads): follow the led suit,
// else a tarokk, else anything.
QList<int> LegalCards(const QList<int> &hand, const Trick &trick);
// Whether LegalCards(hand, trick) holds `card`, without building the list.
bool MayPlay(const QList<int> &hand, const Trick &trick, int card);

// Which side took `card` (0: seats 1-4, 1: seats 2-3), or -1 when nobody did.
int TakenBy(const QList<Trick> &tricks, int card);

// Where the cards of a deal fell, found once: scoring asks after the same few cards again and
// again, and the robots score every contract they weigh on the same imagined deal. It refers
// to the tricks, which must outlive it.
class PlayedTricks
{
public:
    explicit PlayedTricks(std::span<const Trick> tricks);
    explicit PlayedTricks(const QList<Trick> &tricks) : PlayedTricks(std::span<const Trick>(tricks.constData(), tricks.size())) {}
    std::span<const Trick> tricks() const { return m_tricks; }
    // As TakenBy, for a card 1..42.
    int takenBy(int card) const { return m_takenBy[card]; }
    // The opponents' `card` fell into a trick `side` took.
    bool captured(int card, int side) const { return m_takenBy[card] == side && SideOf(m_seat[card]) != side; }
    bool wholeSuit(int suit, int side) const; // suit class 0..3

private:
    std::span<const Trick> m_tricks;
    std::array<qint8, Card::Count> m_seat{};    // the seat that played the card; 0: nobody
    std::array<qint8, Card::Count> m_takenBy{}; // as takenBy
};

struct ScoreLine
{
    QString label;            // one word: the bid as made, or the silent achievement
    int side = 0;             // whose announcement or achievement it is
    bool made = true;
    bool silent = false;      // scored without being announced
    std::array<int, 2> points{}; // side 1-4, side 2-3
};

struct Score
{
    QList<ScoreLine> lines;
    std::array<int, 2> total{};
};

// Judges one announcement of `side` in a finished deal; nullopt for what scores nothing
// (hand signals) and before the tenth trick.
std::optional<bool> Judge(const BidToken &token, int side, const QList<Trick> &tricks);

// What an auction has each side play for, read once: robots score many imagined endings of
// the same auction.
struct Contract
{
    struct Bid
    {
        BidToken token;
        QString label;  // with the contra marks it ended with
        int side = 0;
        int times = 1;  // 1, 2 for a contra, 4 for a recontra
    };
    // Held in place: a robot reads a contract for every bid it weighs.
    QVarLengthArray<Bid, 6> bids;
    bool trickCountBid = false;
    std::array<QVarLengthArray<int, 6>, 2> announcedRows;
};
Contract ReadContract(const Auction &auction);
// The contract read from the auction had `seat` added `bid` in a turn of its own, without
// reading the auction again: robots weigh every bid they might make. `contract` is what
// ReadContract read from the auction, and `bid` one the auction takes from `seat`
// (Auction::checkBid) that its side has not said yet.
Contract WithBid(Contract contract, int seat, const QString &bid);
Score ScoreTricks(const Contract &contract, const QList<Trick> &tricks);
// Only the totals of ScoreTricks, for the robots' imagined deals.
std::array<int, 2> ScoreTotals(const Contract &contract, const PlayedTricks &tricks);

// The whole deal: every announcement once per side (at its highest contra), the silent
// achievements, and the totals.
Score ScoreDeal(const Auction &auction, const QList<Trick> &tricks);

} // namespace club
