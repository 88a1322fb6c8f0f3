#include "Robot.h"

#include "Random.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <bit>
#include <span>

namespace club {

namespace {

// Hands as bit sets: bit c is card c (1..42). Imagined deals are played out thousands of
// times per decision, so the quick rules work on these, not on lists.
using Cards = quint64;

constexpr Cards bit(int card) { return Cards(1) << card; }
constexpr Cards range(int first, int last) { return ((Cards(1) << (last + 1)) - 1) & ~((Cards(1) << first) - 1); }
constexpr Cards AllCards = range(1, 42);
constexpr Cards Tarokks = range(21, 42);
constexpr Cards Precious = bit(Card::Pagat) | bit(Card::XXI) | bit(Card::Skiz);
constexpr Cards Kings = bit(5) | bit(10) | bit(15) | bit(20);
constexpr std::array<Cards, 5> ClassCards = {range(1, 5), range(6, 10), range(11, 15), range(16, 20), Tarokks};

constexpr int classOf(int card) { return card >= 21 ? 4 : (card - 1) / 5; }
int count(Cards cards) { return std::popcount(cards); }
int lowest(Cards cards) { return std::countr_zero(cards); }

Cards toCards(const QList<int> &list)
{
    Cards cards = 0;
    for (int c : list)
        if (c >= 1 && c <= 42)
            cards |= bit(c);
    return cards;
}

// Cheapness for throwing away: suit cards by rank, then tarokks by value.
int cost(int card)
{
    return card >= 21 ? 10 + card : (card - 1) % 5 + 1;
}

int cheapest(Cards cards)
{
    int best = 0;
    for (Cards rest = cards; rest; rest &= rest - 1) {
        const int c = lowest(rest);
        if (!best || cost(c) < cost(best))
            best = c;
    }
    return best;
}

Cards withoutPrecious(Cards cards)
{
    const Cards plain = cards & ~Precious;
    return plain ? plain : cards;
}

bool beats(int card, int best, int ledClass)
{
    if (card >= 21)
        return best < 21 || card > best;
    return best < 21 && classOf(card) == ledClass && card > best;
}

Cards legalOf(Cards hand, const Trick &trick)
{
    if (trick.played == 0 || trick.complete())
        return hand;
    const Cards follow = hand & ClassCards[classOf(trick.led())];
    if (follow)
        return follow;
    const Cards tarokks = hand & Tarokks;
    return tarokks ? tarokks : hand;
}

// The basic robot's rules of thumb, on bit sets: what every seat of an imagined deal plays.
int quickLead(Cards hand)
{
    if (const Cards kings = hand & Kings)
        return lowest(kings);
    const Cards tarokks = hand & Tarokks;
    const Cards suits = hand & ~Tarokks;
    if (count(tarokks) >= 5) {
        const Cards middle = tarokks & ~Precious & ~range(21, 24);
        if (middle)
            return cheapest(middle);
    }
    if (suits) {
        // Low from the shortest suit, so that it runs out and the tarokks take over.
        int best = 0, bestCount = 99;
        for (int s = 0; s < 4; ++s) {
            const Cards of = suits & ClassCards[s];
            if (of && count(of) < bestCount) {
                bestCount = count(of);
                best = lowest(of);
            }
        }
        return best;
    }
    return cheapest(withoutPrecious(tarokks));
}

int quickCard(int seat, Cards hand, const Trick &trick, bool skizGone)
{
    const Cards legal = legalOf(hand, trick);
    if (count(legal) == 1)
        return lowest(legal);
    if (trick.played == 0)
        return quickLead(hand);
    const int ledClass = classOf(trick.led());
    int best = trick.led();
    int bestSeat = trick.leader;
    bool high = false;  // the XXI or a tarokk of XVIII and up is in the trick
    for (int i = 0; i < trick.played; ++i) {
        const int s = (trick.leader - 1 + i) % 4 + 1;
        const int c = trick.cardOf(s);
        high = high || c >= 38;
        if (beats(c, best, ledClass)) {
            best = c;
            bestSeat = s;
        }
    }
    const bool last = trick.played == 3;
    if (SideOf(bestSeat) == SideOf(seat) && (last || best >= 38 || (best < 21 && (best - 1) % 5 == 4)))
        return cheapest(withoutPrecious(legal));
    Cards winners = 0;
    for (Cards rest = legal; rest; rest &= rest - 1) {
        const int c = lowest(rest);
        if (!beats(c, best, ledClass))
            continue;
        if (c == Card::Skiz && !high)
            continue;
        if (c == Card::XXI && !skizGone && !last)
            continue;
        if (c == Card::Pagat && !last)
            continue;
        winners |= bit(c);
    }
    if (!winners)
        return cheapest(withoutPrecious(legal));
    if (last)
        return cheapest(winners);
    const Cards middle = winners & ~range(38, 42);
    if (!middle)
        return cheapest(winners);
    return 63 - std::countl_zero(middle);  // the highest of them
}

// The tricks of an imagined deal, in place: thousands are played out per decision.
struct Imagined
{
    std::array<Trick, 10> tricks;
    int count = 0;

    void start(const QList<Trick> &played)
    {
        count = int(std::min<qsizetype>(played.size(), 10));
        std::copy(played.cbegin(), played.cbegin() + count, tricks.begin());
    }
    std::span<const Trick> done() const { return {tricks.data(), size_t(count)}; }
    bool over() const { return count == 10 && tricks[9].complete(); }
    int seatToPlay(int opener) const
    {
        if (count == 0)
            return opener;
        const Trick &t = tricks[count - 1];
        return t.complete() ? t.winner : t.seatOnTurn();
    }
};

// Plays an imagined deal to its end: `first`, when given, is the card of the seat on turn.
void playOut(Imagined &deal, std::array<Cards, 4> hands, Cards played, int opener, int first)
{
    while (!deal.over()) {
        const int seat = deal.seatToPlay(opener);
        if (deal.count == 0 || deal.tricks[deal.count - 1].complete()) {
            Trick t;
            t.leader = seat;
            deal.tricks[deal.count++] = t;
        }
        Trick &trick = deal.tricks[deal.count - 1];
        const Cards hand = hands[seat - 1];
        if (!hand)
            return;  // a deal that cannot go on: nothing to score
        const int card = first ? first : quickCard(seat, hand, trick, (played | hand) & bit(Card::Skiz));
        first = 0;
        AddCard(trick, card);
        hands[seat - 1] &= ~bit(card);
        played |= bit(card);
    }
}

int margin(const std::array<int, 2> &total, int side)
{
    return total[side] - total[1 - side];
}

// What the other three seats and the talon must or cannot hold, as the table has shown it.
struct Knowledge
{
    Cards unknown = 0;
    std::array<int, 5> need{};             // cards still held by seats 1..4 (index seat), talon at 0
    std::array<int, 5> voids{};            // class bits a seat cannot hold
    std::array<Cards, 5> must{};           // cards a seat must hold
    std::array<std::array<int, 5>, 5> classCount{}; // -1: unknown; else how many of a class it still holds
};

constexpr QChar NoBreakSpace(0x00A0);

Knowledge knowledgeOf(const RobotSight &sight)
{
    Knowledge k;
    for (auto &counts : k.classCount)
        counts.fill(-1);
    const int me = sight.seat;
    Cards played = 0;
    std::array<Cards, 5> playedBy{};
    for (const Trick &t : *sight.tricks) {
        const int ledClass = t.played > 0 ? classOf(t.led()) : 4;
        for (int i = 0; i < t.played; ++i) {
            const int s = (t.leader - 1 + i) % 4 + 1;
            const int c = t.cardOf(s);
            played |= bit(c);
            playedBy[s] |= bit(c);
            if (i > 0 && classOf(c) != ledClass) {
                k.voids[s] |= 1 << ledClass;
                if (c < 21)
                    k.voids[s] |= 1 << 4;
            }
        }
    }
    k.unknown = AllCards & ~toCards(*sight.dealt) & ~played;
    k.need[0] = 2;
    for (int s = 1; s <= 4; ++s)
        k.need[s] = s == me ? 0 : 10 - count(playedBy[s]);
    // Raisers are refused to a seat without the card; signals tell what the hand held.
    for (const BidTurn &turn : sight.auction->turns()) {
        if (turn.seat == me)
            continue;
        for (const QString &word : turn.bids) {
            const std::optional<BidToken> token = ReadToken(word);
            if (!token || token->contra)
                continue;
            if (token->kind == BidToken::Raised && (k.unknown & bit(token->card)))
                k.must[turn.seat] |= bit(token->card);
            if (token->kind != BidToken::Signal)
                continue;
            const qsizetype gap = word.indexOf(NoBreakSpace);
            if (gap <= 0)
                continue;
            const int n = word.left(gap).toInt();
            const QString what = word.mid(gap + 1);
            int cls = -1;
            if (what == QLatin1String("Tarokk"))
                cls = 4;
            for (int s = 0; s < 4; ++s)
                if (what == QStringView(std::array<const char16_t *, 4>{u"Treff", u"Káró", u"Kőr", u"Pikk"}[s]))
                    cls = s;
            if (cls >= 0)
                k.classCount[turn.seat][cls] = n - count(playedBy[turn.seat] & ClassCards[cls]);
        }
    }
    return k;
}

// One deal of the unseen cards that fits what is known, or false after too many tries. Each
// card goes to a holder drawn in proportion to the room left there, the most constrained
// cards first.
bool drawDeal(const Knowledge &k, SplitMix64 &random, int level, std::array<Cards, 5> &out)
{
    QVarLengthArray<int, 42> cards;
    for (Cards rest = k.unknown; rest; rest &= rest - 1)
        cards << lowest(rest);
    // Which holders (bit h) may take each card, and how many of those with room: the fewer,
    // the sooner it is placed.
    std::array<quint8, Card::Count> allowedTo{};
    std::array<int, Card::Count> holders{};
    for (int c : cards)
        for (int h = 0; h <= 4; ++h)
            if (h == 0 || level >= 2 || !(k.voids[h] & (1 << classOf(c)))) {
                allowedTo[c] |= quint8(1 << h);
                holders[c] += k.need[h] > 0;
            }
    auto allowed = [&](int h, int c) { return (allowedTo[c] >> h) & 1; };
    for (int attempt = 0; attempt < 40; ++attempt) {
        out.fill(0);
        std::array<int, 5> room = k.need;
        bool ok = true;
        Cards left = k.unknown;
        if (level < 2) {
            for (int h = 1; h <= 4 && ok; ++h) {
                const Cards must = k.must[h] & left;
                out[h] |= must;
                left &= ~must;
                room[h] -= count(must);
                ok = room[h] >= 0;
            }
        }
        if (!ok)
            break;
        for (int i = int(cards.size()) - 1; i > 0; --i)
            std::swap(cards[i], cards[random.below(i + 1)]);
        // The shuffled cards in a stable order of their holder counts (0..5): counted, then
        // each put after those with fewer.
        std::array<int, 7> from{};
        for (int c : cards)
            if (left & bit(c))
                ++from[holders[c] + 1];
        for (int n = 1; n <= 6; ++n)
            from[n] += from[n - 1];
        QVarLengthArray<int, 42> order(from[6]);
        for (int c : cards)
            if (left & bit(c))
                order[from[holders[c]]++] = c;
        for (int c : order) {
            int total = 0;
            for (int h = 0; h <= 4; ++h)
                total += allowed(h, c) ? room[h] : 0;
            if (total == 0) {
                ok = false;
                break;
            }
            int pick = random.below(total);
            int h = 0;
            for (; h <= 4; ++h) {
                const int r = allowed(h, c) ? room[h] : 0;
                if (pick < r)
                    break;
                pick -= r;
            }
            out[h] |= bit(c);
            --room[h];
        }
        if (!ok)
            continue;
        if (level == 0)
            for (int h = 1; h <= 4 && ok; ++h)
                for (int cls = 0; cls < 5 && ok; ++cls)
                    ok = k.classCount[h][cls] < 0 || count(out[h] & ClassCards[cls]) == k.classCount[h][cls];
        if (ok)
            return true;
    }
    return false;
}

// Strictness falls step by step: counts from the signals first, then the raisers and the
// suits shown out, so that a seat's own odd play never leaves the robot without a deal.
bool drawFitting(const Knowledge &k, SplitMix64 &random, std::array<Cards, 5> &out)
{
    for (int level = 0; level <= 2; ++level)
        if (drawDeal(k, random, level, out))
            return true;
    return false;
}

} // namespace

int SamplingRobotPlay(const RobotSight &sight)
{
    const Cards held = toCards(*sight.held);
    if (!held)
        return 0;
    const QList<Trick> &tricks = *sight.tricks;
    Trick current;
    if (!tricks.isEmpty() && !tricks.last().complete())
        current = tricks.last();
    const Cards legal = legalOf(held, current);
    if (count(legal) == 1 || sight.samples <= 0)
        return count(legal) == 1 ? lowest(legal) : 0;

    const Knowledge k = knowledgeOf(sight);
    const Contract contract = ReadContract(*sight.auction);
    const int side = SideOf(sight.seat);
    Cards played = 0;
    for (const Trick &t : tricks)
        for (int c : t.cards)
            if (c)
                played |= bit(c);

    QVarLengthArray<int, 10> choices;
    for (Cards rest = legal; rest; rest &= rest - 1)
        choices << lowest(rest);
    QVarLengthArray<qint64, 10> sums(choices.size(), 0);
    SplitMix64 random(sight.seed);
    Imagined imagined;
    for (int n = 0; n < sight.samples; ++n) {
        std::array<Cards, 5> deal{};
        if (!drawFitting(k, random, deal))
            break;
        std::array<Cards, 4> hands{deal[1], deal[2], deal[3], deal[4]};
        hands[sight.seat - 1] = held;
        for (qsizetype i = 0; i < choices.size(); ++i) {
            imagined.start(tricks);
            playOut(imagined, hands, played, sight.auction->opener(), choices[i]);
            sums[i] += margin(ScoreTotals(contract, PlayedTricks(imagined.done())), side);
        }
    }
    // Ties go to the cheaper card, so that nothing of worth is spent for nothing.
    qsizetype best = 0;
    for (qsizetype i = 1; i < choices.size(); ++i)
        if (sums[i] > sums[best] || (sums[i] == sums[best] && cost(choices[i]) < cost(choices[best])))
            best = i;
    return choices[best];
}

QString SamplingRobotBid(const RobotSight &sight)
{
    const Auction &auction = *sight.auction;
    const int seat = sight.seat;
    const int side = SideOf(seat);
    const QList<int> &dealt = *sight.dealt;
    const QStringList own = auction.sideBids(side);
    const QStringList other = auction.sideBids(1 - side);

    // What a hand may announce: the trick counts and the honours (one step of each chain),
    // the three high tarokks, the catches, the Pagát in the last trick, and the contras and
    // recontras of what the table has said.
    QStringList words = TrickChain() + HonourChain();
    words << QStringLiteral("Vizi") << QStringLiteral("L\u00B4amour") << QStringLiteral("Angelo")
          << QStringLiteral("Pagátfogás") << QStringLiteral("XXI-fogás") << QStringLiteral("Pagát\u00A0ulti");
    for (const QString &bid : other)
        if (!bid.startsWith(QLatin1Char('*')) && ReadToken(bid) && ReadToken(bid)->kind != BidToken::Signal)
            words << QLatin1Char('*') + bid;
    for (const QString &bid : other)
        if (bid.startsWith(QLatin1Char('*')) && !bid.startsWith(QLatin1String("**")))
            words << QLatin1Char('*') + bid;
    struct Candidate
    {
        QString word;
        int group = 0;  // 1: trick chain, 2: honour chain, 0: alone
        Contract contract;
        qint64 sum = 0;
    };
    const Contract base = ReadContract(auction);
    QVarLengthArray<Candidate, 24> candidates;
    for (const QString &word : std::as_const(words)) {
        if (own.contains(word) || !auction.checkBid(seat, word, dealt, own, other, {}).isEmpty())
            continue;
        const int group = TrickChain().contains(word) ? 1 : HonourChain().contains(word) ? 2 : 0;
        candidates.append(Candidate{word, group, WithBid(base, seat, word), 0});
    }
    if (candidates.isEmpty() || sight.samples <= 0)
        return QStringLiteral("0");

    RobotSight blind = sight;
    const QList<Trick> none;
    blind.tricks = &none;
    const Knowledge k = knowledgeOf(blind);
    SplitMix64 random(sight.seed);
    Imagined imagined;
    int drawn = 0;
    // The auction is decided once; the deal is imagined twice as often as for a card.
    for (int n = 0; n < 2 * sight.samples; ++n) {
        std::array<Cards, 5> deal{};
        if (!drawFitting(k, random, deal))
            break;
        std::array<Cards, 4> hands{deal[1], deal[2], deal[3], deal[4]};
        hands[seat - 1] = toCards(dealt);
        imagined.count = 0;
        playOut(imagined, hands, 0, auction.opener(), 0);
        const PlayedTricks played(imagined.done());
        const int without = margin(ScoreTotals(base, played), side);
        for (Candidate &c : candidates)
            c.sum += margin(ScoreTotals(c.contract, played), side) - without;
        ++drawn;
    }
    if (drawn == 0)
        return QStringLiteral("0");
    // Clearly worth it: two points a deal on average, against the noise of a few dozen draws
    // and the quick rules' own blunders.
    const qint64 threshold = 2 * qint64(drawn);
    QVarLengthArray<const Candidate *, 24> worth;
    for (const Candidate &c : std::as_const(candidates))
        if (c.sum > threshold)
            worth << &c;
    std::stable_sort(worth.begin(), worth.end(), [](const Candidate *a, const Candidate *b) { return a->sum > b->sum; });
    QStringList chosen;
    std::array<bool, 3> chainUsed{};
    for (const Candidate *c : std::as_const(worth)) {
        if (c->group != 0 && chainUsed[c->group])
            continue;  // one step of a chain in one turn: the best of them
        chainUsed[c->group] = true;
        chosen << c->word;
    }
    // Whatever the rules refuse together is left out, the least worth first.
    while (!chosen.isEmpty()) {
        QStringList taken;
        const QString turn = QString::number(chosen.size()) + QLatin1Char(' ') + chosen.join(QLatin1Char(' '));
        if (auction.check(seat, turn, dealt, taken).isEmpty())
            return turn;
        chosen.removeLast();
    }
    return QStringLiteral("0");
}

} // namespace club
