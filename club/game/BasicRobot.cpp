#include "BasicRobot.h"

#include <QVarLengthArray>
#include <algorithm>

namespace club {

namespace {

// A few cards picked out of a hand, on the stack: a robot decides for every card of a deal.
using Few = QVarLengthArray<int, 12>;

// Cheapness for throwing away: suit cards by rank, then tarokks by value.
int cost(int card)
{
    return Card::isTarokk(card) ? 10 + card : (card - 1) % 5 + 1;
}

template<typename List>
int cheapest(const List &cards)
{
    return *std::min_element(cards.begin(), cards.end(), [](int a, int b) {
        return cost(a) != cost(b) ? cost(a) < cost(b) : a < b;
    });
}

// The cards a robot would rather not give away: the Pagát and the two honours.
bool precious(int card)
{
    return card == Card::Pagat || card == Card::XXI || card == Card::Skiz;
}

template<typename List>
Few withoutPrecious(const List &cards)
{
    Few plain;
    for (int c : cards)
        if (!precious(c))
            plain << c;
    if (plain.isEmpty())
        plain.append(cards.constData(), cards.size());
    return plain;
}

// As LegalCards.
Few legalCards(const QList<int> &hand, const Trick &trick)
{
    Few legal;
    if (trick.played == 0 || trick.complete()) {
        legal.append(hand.constData(), hand.size());
        return legal;
    }
    const int ledSuit = SuitOf(trick.led());
    for (int card : hand)
        if (SuitOf(card) == ledSuit)
            legal << card;
    if (legal.isEmpty())
        for (int card : hand)
            if (Card::isTarokk(card))
                legal << card;
    if (legal.isEmpty())
        legal.append(hand.constData(), hand.size());
    return legal;
}

bool beats(int card, int best, int ledSuit)
{
    if (Card::isTarokk(card))
        return !Card::isTarokk(best) || card > best;
    return !Card::isTarokk(best) && SuitOf(card) == ledSuit && card > best;
}

int leadCard(const QList<int> &hand)
{
    Few suitCards, tarokks;
    for (int c : hand)
        (Card::isTarokk(c) ? tarokks : suitCards) << c;
    // A king is the surest trick of a suit.
    for (int c : suitCards)
        if ((c - 1) % 5 == 4)
            return c;
    if (tarokks.size() >= 5) {
        Few middle;
        for (int c : tarokks)
            if (c > Card::Kanari && !precious(c))
                middle << c;
        if (!middle.isEmpty())
            return cheapest(middle);
    }
    if (!suitCards.isEmpty()) {
        // Lead low from the shortest suit, so that it runs out and the tarokks take over.
        std::array<int, 4> counts{};
        for (int c : suitCards)
            ++counts[SuitOf(c)];
        int best = suitCards.first();
        for (int c : suitCards) {
            const int n = counts[SuitOf(c)], m = counts[SuitOf(best)];
            if (n < m || (n == m && cost(c) < cost(best)))
                best = c;
        }
        return best;
    }
    return cheapest(withoutPrecious(tarokks));
}

} // namespace

QString BasicRobotBid(const Auction &auction, int seat, const QList<int> &hand)
{
    // A robot speaks in its first turn only, and only of what its hand all but guarantees.
    for (const BidTurn &turn : auction.turns())
        if (turn.seat == seat)
            return QStringLiteral("0");
    int tarokks = 0;
    for (int c : hand)
        tarokks += Card::isTarokk(c) ? 1 : 0;
    QStringList wanted;
    if (tarokks >= 7)
        wanted << QStringLiteral("Gém");
    if (hand.contains(Card::Skiz))
        wanted << (hand.contains(Card::XXI) ? QStringLiteral("Köpf") : QStringLiteral("Honőr"));
    if (wanted.isEmpty())
        return QStringLiteral("0");
    // Each wanted bid as the rules would take it after the ones already chosen in this turn.
    const QStringList own = auction.sideBids(SideOf(seat));
    const QStringList other = auction.sideBids(1 - SideOf(seat));
    QStringList bids;
    for (const QString &bid : wanted)
        if (auction.checkBid(seat, bid, hand, own, other, bids).isEmpty())
            bids << bid;
    if (bids.isEmpty())
        return QStringLiteral("0");
    return QString::number(bids.size()) + QLatin1Char(' ') + bids.join(QLatin1Char(' '));
}

int BasicRobotPlay(int seat, const QList<int> &hand, const QList<Trick> &tricks)
{
    if (hand.isEmpty())
        return 0;
    Trick trick;
    if (!tricks.isEmpty() && !tricks.last().complete())
        trick = tricks.last();
    const Few legal = legalCards(hand, trick);
    if (legal.size() == 1)
        return legal.first();
    if (trick.played == 0)
        return leadCard(hand);

    bool skizGone = hand.contains(Card::Skiz);
    for (const Trick &t : tricks)
        skizGone = skizGone || t.cards[0] == Card::Skiz || t.cards[1] == Card::Skiz || t.cards[2] == Card::Skiz
            || t.cards[3] == Card::Skiz;
    const int ledSuit = SuitOf(trick.led());
    int best = trick.led();
    int bestSeat = trick.leader;
    bool hasXXI = false, hasHigh = false;
    for (int i = 0; i < trick.played; ++i) {
        const int s = (trick.leader - 1 + i) % 4 + 1;
        const int c = trick.cardOf(s);
        hasXXI = hasXXI || c == Card::XXI;
        hasHigh = hasHigh || c >= 38;
        if (beats(c, best, ledSuit)) {
            best = c;
            bestSeat = s;
        }
    }
    const bool last = trick.played == 3;
    const bool partnerWins = SideOf(bestSeat) == SideOf(seat);
    if (partnerWins && (last || best >= 38 || (!Card::isTarokk(best) && (best - 1) % 5 == 4)))
        return cheapest(withoutPrecious(legal));

    Few winners;
    for (int c : legal) {
        if (!beats(c, best, ledSuit))
            continue;
        if (c == Card::Skiz && !hasXXI && !hasHigh)
            continue; // kept for a trick worth it
        if (c == Card::XXI && !skizGone && !last)
            continue; // the Skíz could still fall on it
        if (c == Card::Pagat && !last)
            continue; // a later tarokk would take it
        winners << c;
    }
    if (winners.isEmpty())
        return cheapest(withoutPrecious(legal));
    if (last)
        return cheapest(winners);
    // Seats still to play: a middle winner holds better, but XVIII and up stay for the
    // announcements they are worth.
    Few middle;
    for (int c : winners)
        if (c < 38)
            middle << c;
    if (middle.isEmpty())
        return cheapest(winners);
    return *std::max_element(middle.begin(), middle.end(), [](int a, int b) { return cost(a) < cost(b); });
}

} // namespace club
