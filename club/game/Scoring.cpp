#include "Scoring.h"

#include "bidding/Catalogue.h"

#include <QVarLengthArray>

namespace club {

namespace {

// 0-based catalogue rows.
constexpr int RowNegyKiraly = 0;
constexpr int RowLes = 1;
constexpr int RowObscur = 2;
constexpr int RowCsendesXXI = 3;
constexpr int RowGem = 15;
constexpr int RowVolat = 20;
// The announcements that include catching the opponents' Pagát or XXI: "Pagátfogás",
// "Golgota", "Hárpia", "Royal"; "XXI-fogás", "Golgota", "Kentaur", "Hárpia", "Glória",
// "Triumf", "Royal".
constexpr std::initializer_list<int> kCatchesPagat = {38, 49, 63, 66};
constexpr std::initializer_list<int> kCatchesXXI = {46, 49, 50, 63, 64, 65, 66};

// The trick each raiser names, from " ulti" to " sólyom".
constexpr int kRaiserTrick[7] = {10, 9, 8, 7, 6, 1, 2};

struct Where
{
    int trick = -1; // 0-based
    int seat = 0;
};

Where findCard(const QList<Trick> &tricks, int card)
{
    for (int k = 0; k < tricks.size(); ++k)
        for (int s = 1; s <= 4; ++s)
            if (tricks[k].cardOf(s) == card)
                return {k, s};
    return {};
}

} // namespace

void AddCard(Trick &trick, int card)
{
    trick.cards[trick.seatOnTurn() - 1] = card;
    ++trick.played;
    if (!trick.complete())
        return;
    int inOrder[4];
    for (int i = 0; i < 4; ++i)
        inOrder[i] = trick.cards[(trick.leader - 1 + i) % 4];
    trick.winner = (trick.leader - 1 + TrickWinner(inOrder)) % 4 + 1;
}

QList<int> LegalCards(const QList<int> &hand, const Trick &trick)
{
    if (trick.played == 0 || trick.complete())
        return hand;
    const int ledSuit = SuitOf(trick.led());
    QList<int> follow, tarokks;
    for (int card : hand) {
        if (SuitOf(card) == ledSuit)
            follow << card;
        if (Card::isTarokk(card))
            tarokks << card;
    }
    if (!follow.isEmpty())
        return follow;
    if (!tarokks.isEmpty())
        return tarokks;
    return hand;
}

bool MayPlay(const QList<int> &hand, const Trick &trick, int card)
{
    if (!hand.contains(card))
        return false;
    if (trick.played == 0 || trick.complete())
        return true;
    const int ledSuit = SuitOf(trick.led());
    bool follows = false, tarokks = false;
    for (int c : hand) {
        follows = follows || SuitOf(c) == ledSuit;
        tarokks = tarokks || Card::isTarokk(c);
    }
    if (follows)
        return SuitOf(card) == ledSuit;
    if (tarokks)
        return Card::isTarokk(card);
    return true;
}

int TakenBy(const QList<Trick> &tricks, int card)
{
    const Where w = findCard(tricks, card);
    if (w.trick < 0 || !tricks[w.trick].complete())
        return -1;
    return SideOf(tricks[w.trick].winner);
}

PlayedTricks::PlayedTricks(std::span<const Trick> tricks) : m_tricks(tricks)
{
    m_takenBy.fill(-1);
    for (const Trick &t : tricks) {
        const qint8 side = t.complete() ? qint8(SideOf(t.winner)) : qint8(-1);
        for (int s = 1; s <= 4; ++s) {
            const int c = t.cards[s - 1];
            if (Card::isCard(c) && m_seat[c] == 0) {
                m_seat[c] = qint8(s);
                m_takenBy[c] = side;
            }
        }
    }
}

bool PlayedTricks::wholeSuit(int suit, int side) const
{
    for (int rank = 1; rank <= 5; ++rank)
        if (takenBy(suit * 5 + rank) != side)
            return false;
    return true;
}

namespace {

bool isSuitCard(int c) { return SuitOf(c) < 4 && c != 0; }
bool isMatador(int c) { return c >= Card::Pagat && c <= Card::Kanari; }
bool isKing(int c) { return isSuitCard(c) && (c - 1) % 5 == 4; }
int rankOf(int c) { return (c - 1) % 5 + 1; }

// One side's tricks of a finished deal, asked the questions the announcements ask.
class Tricks
{
public:
    Tricks(const PlayedTricks &places, int side) : m_tricks(places.tricks()), m_places(places), m_side(side) {}

    bool won(int k) const { return SideOf(m_tricks[k - 1].winner) == m_side; }
    int winningCard(int k) const { return m_tricks[k - 1].cardOf(m_tricks[k - 1].winner); }
    // Tricks first..last all taken by the side, each with a card `what` calls good.
    template<typename F>
    bool wonWith(int first, int last, F what) const
    {
        for (int k = first; k <= last; ++k)
            if (!won(k) || !what(winningCard(k)))
                return false;
        return true;
    }
    template<typename F>
    bool anyWonWith(F what) const
    {
        for (int k = 1; k <= 10; ++k)
            if (won(k) && what(winningCard(k)))
                return true;
        return false;
    }
    // Four tricks in a row, each taken with a card `what` calls good.
    template<typename F>
    bool fourInARow(F what) const
    {
        for (int k = 1; k <= 7; ++k)
            if (wonWith(k, k + 3, what))
                return true;
        return false;
    }
    int count() const
    {
        int n = 0;
        for (int k = 1; k <= 10; ++k)
            n += won(k) ? 1 : 0;
        return n;
    }
    bool takes(int card) const { return m_places.takenBy(card) == m_side; }
    bool wholeSuit(int suit) const { return m_places.wholeSuit(suit, m_side); }
    bool catches(int card) const { return m_places.captured(card, m_side); }
    int winner(int k) const { return m_tricks[k - 1].winner; }

    // Whether the announcement in catalogue row `row` (0-based) is made.
    bool made(int row) const
    {
        switch (row) {
        case 9: case 10: case 11: // Vizi, L´amour, Angelo: the XVIII, XIX, XX
            return takes(38 + row - 9);
        case 12: // Honőr
            return takes(Card::XXI) || takes(Card::Skiz);
        case 13: // Köpf
            return takes(Card::XXI) && takes(Card::Skiz);
        case 14: // Trull
            return takes(Card::XXI) && takes(Card::Skiz) && takes(Card::Pagat);
        case 15: case 16: case 17: case 18: case 19: case 20: // Gém .. Volát
            return count() >= 5 + row - 15;
        case 21: case 22: case 23: case 24: case 25: { // Pikoló .. Nagymadár
            const int k = row - 21 + 3;
            return wonWith(1, k, [](int) { return true; }) && winningCard(k) == 38 + row - 21;
        }
        case 34: // Piros-fekete
            return (wholeSuit(1) || wholeSuit(2)) && (wholeSuit(0) || wholeSuit(3));
        case 35: // Flotta
            return wholeSuit(1) && wholeSuit(2);
        case 36: // Armada
            return wholeSuit(0) && wholeSuit(3);
        case 37: // Légió
            return wholeSuit(0) && wholeSuit(1) && wholeSuit(2) && wholeSuit(3);
        case 38: // Pagátfogás
            return catches(Card::Pagat);
        case 39: // Amazon: a trick taken with a suit card below the king
            return anyWonWith([](int c) { return isSuitCard(c) && rankOf(c) < 5; });
        case 40: // Spadille: the same with a red one
            return anyWonWith([](int c) { return (SuitOf(c) == 1 || SuitOf(c) == 2) && rankOf(c) < 5; });
        case 41: // Manille: a black one below the queen
            return anyWonWith([](int c) { return (SuitOf(c) == 0 || SuitOf(c) == 3) && rankOf(c) < 4; });
        case 42: // Dzsinn: the last trick with the ten of clubs or spades
            return wonWith(10, 10, [](int c) { return c == 1 || c == 16; });
        case 44: // Surranó
            return wonWith(9, 10, isMatador);
        case 45: // Főnix
            return wonWith(9, 10, isKing);
        case 46: // XXI-fogás
            return catches(Card::XXI);
        case 47: // Héja
            return wonWith(1, 3, isMatador);
        case 48: // Couleur
            return wonWith(8, 10, isSuitCard);
        case 49: // Golgota
            return made(46) && made(38);
        case 50: // Kentaur
            return made(46) && made(39);
        case 51: // Trojka
            return wonWith(8, 10, isMatador);
        case 52: // Famille
            return wonWith(8, 10, isSuitCard) && SuitOf(winningCard(8)) == SuitOf(winningCard(9))
                && SuitOf(winningCard(9)) == SuitOf(winningCard(10));
        case 53: // Betlehem
            return wonWith(8, 10, isKing);
        case 54: // Szfinx
            return made(40) && made(41);
        case 55: // Skála
            return made(20) && made(21) && made(22) && made(23) && made(24) && made(25);
        case 56: // Piramis
            return made(20) && fourInARow(isMatador);
        case 57: // Quart
            return made(20) && fourInARow(isSuitCard);
        case 58: // Stella
            return made(55) && made(48);
        case 59: // Full
            return made(20) && made(47) && made(22) && made(23) && made(24) && made(25);
        case 60: // Spektrum
            return made(55) && made(51);
        case 61: // Court
            return made(55) && made(52);
        case 62: // Grand
            return made(55) && made(53);
        case 63: // Hárpia
            return made(20) && made(49) && made(50);
        case 64: // Glória
            return made(20) && made(46) && made(48);
        case 65: // Triumf
            return made(20) && made(46) && made(51);
        case 66: // Royal: and not one seat takes the last three
            return made(20) && made(49) && made(51) && !(winner(8) == winner(9) && winner(9) == winner(10));
        default:
            return false;
        }
    }

private:
    std::span<const Trick> m_tricks;
    const PlayedTricks &m_places;
    int m_side;
};

std::optional<bool> judge(const BidToken &token, int side, const PlayedTricks &places)
{
    const std::span<const Trick> tricks = places.tricks();
    if (tricks.size() != 10 || !tricks.back().complete() || token.kind == BidToken::Signal || token.row < 9)
        return std::nullopt;
    const Tricks t(places, side);
    switch (token.kind) {
    case BidToken::Raised: {
        const int k = kRaiserTrick[token.row - 26];
        return t.won(k) && t.winningCard(k) == token.card;
    }
    case BidToken::Suited: {
        if (token.row == 33) // banda: every card of the suit
            return t.wholeSuit(token.card);
        // mariage: the last two tricks with the suit's king and queen, in either order
        if (!t.won(9) || !t.won(10))
            return false;
        const int a = t.winningCard(9), b = t.winningCard(10);
        const int queen = token.card * 5 + 4, king = token.card * 5 + 5;
        return (a == queen && b == king) || (a == king && b == queen);
    }
    default:
        return t.made(token.row);
    }
}

// Every line of the score in order: `add(bid, row, side, made, points)` gets the bid of an
// announcement, or null and the catalogue row of a silent achievement.
template<typename Add>
void scoreLines(const Contract &contract, const PlayedTricks &places, Add add)
{
    const std::span<const Trick> tricks = places.tricks();
    if (tricks.size() != 10 || !tricks.back().complete())
        return;
    for (const Contract::Bid &b : contract.bids) {
        const std::optional<bool> made = judge(b.token, b.side, places);
        if (!made)
            continue; // not an announcement that scores
        const Announcement &a = Catalogue::Row(b.token.row);
        std::array<int, 2> points{};
        if (*made)
            points[b.side] = a.made * b.times;
        else
            points[1 - b.side] = a.down * b.times;
        add(&b, b.token.row, b.side, *made, points);
    }
    auto silent = [&](int row, int side) {
        std::array<int, 2> points{};
        points[side] = Catalogue::Row(row).made;
        add(nullptr, row, side, true, points);
    };
    const int kings = places.takenBy(5);
    if (kings >= 0 && places.takenBy(10) == kings && places.takenBy(15) == kings && places.takenBy(20) == kings)
        silent(RowNegyKiraly, kings);
    for (int side = 0; side < 2; ++side) {
        // An announced capture is scored as announced, not again in silence.
        const auto &rows = contract.announcedRows[side];
        auto announcedAny = [&](std::initializer_list<int> among) {
            for (int row : among)
                if (rows.contains(row))
                    return true;
            return false;
        };
        if (places.captured(Card::Pagat, side) && !announcedAny(kCatchesPagat))
            silent(RowLes, side);
        if (places.captured(Card::XXI, side) && !announcedAny(kCatchesXXI))
            silent(RowCsendesXXI, side);
    }
    if (!contract.trickCountBid) {
        std::array<int, 2> taken{};
        for (const Trick &t : tricks)
            if (++taken[SideOf(t.winner)] == 5) {
                silent(RowObscur, SideOf(t.winner));
                break;
            }
    }
}

} // namespace

std::optional<bool> Judge(const BidToken &token, int side, const QList<Trick> &tricks)
{
    return judge(token, side, PlayedTricks(tricks));
}

namespace {

// The bids of an auction by side, in text order.
class SideBids
{
public:
    explicit SideBids(const Auction &auction) : m_turns(auction.turns()) {}

    template<typename F>
    void forEach(int side, F f) const
    {
        for (const BidTurn &turn : m_turns)
            if (SideOf(turn.seat) == side)
                for (const QString &bid : turn.bids)
                    f(bid);
    }

    // `side` said `bid` with the contra `marks` in front.
    bool holdsMarked(int side, QLatin1String marks, const QString &bid) const
    {
        bool found = false;
        forEach(side, [&](const QString &word) {
            found = found
                || (word.size() == marks.size() + bid.size() && word.startsWith(marks)
                    && QStringView(word).sliced(marks.size()) == bid);
        });
        return found;
    }

private:
    const QList<BidTurn> &m_turns;
};

Contract readContract(const SideBids &sideBids)
{
    Contract contract;
    for (int side = 0; side < 2; ++side) {
        struct Plain
        {
            QString bid;
            BidToken token;
            bool kept = true;
        };
        QVarLengthArray<Plain, 8> plain;
        auto find = [&](const QString &bid) -> Plain * {
            for (Plain &p : plain)
                if (p.bid == bid)
                    return &p;
            return nullptr;
        };
        sideBids.forEach(side, [&](const QString &bid) {
            if (find(bid))
                return;
            const std::optional<BidToken> t = ReadToken(bid);
            if (!t || t->contra != 0 || t->kind == BidToken::Signal)
                return;
            plain.append(Plain{bid, *t});
        });
        // A side that climbed a chain plays for its top step only.
        for (const QStringList *chain : {&HonourChain(), &TrickChain()}) {
            qsizetype top = -1;
            for (qsizetype i = 0; i < chain->size(); ++i)
                if (find(chain->at(i)))
                    top = i;
            for (qsizetype i = 0; i < top; ++i)
                if (Plain *p = find(chain->at(i)))
                    p->kept = false;
        }
        for (const Plain &p : plain) {
            if (!p.kept)
                continue;
            const BidToken &t = p.token;
            contract.announcedRows[side] << t.row;
            if (t.row >= RowGem && t.row <= RowVolat)
                contract.trickCountBid = true;
            Contract::Bid b{t, p.bid, side, 1};
            if (sideBids.holdsMarked(1 - side, QLatin1String("*"), p.bid)) {
                b.times = 2;
                b.label = QLatin1Char('*') + p.bid;
                if (sideBids.holdsMarked(side, QLatin1String("**"), p.bid)) {
                    b.times = 4;
                    b.label = QLatin1String("**") + p.bid;
                }
            }
            contract.bids << b;
        }
    }
    return contract;
}

} // namespace

Contract ReadContract(const Auction &auction)
{
    return readContract(SideBids(auction));
}

Contract WithBid(Contract contract, int seat, const QString &bid)
{
    const std::optional<BidToken> t = ReadToken(bid);
    if (!t || t->kind == BidToken::Signal)
        return contract;
    const int side = SideOf(seat);
    if (t->contra > 0) {
        // A contra doubles a bid of the other side; a recontra doubles the side's own again.
        const int owner = t->contra == 1 ? 1 - side : side;
        for (Contract::Bid &b : contract.bids)
            if (b.side == owner && b.token.base == t->base) {
                b.times = t->contra == 1 ? 2 : 4;
                b.label = bid;
            }
        return contract;
    }
    // The new top step of a chain: the side no longer plays for the steps below it.
    for (const QStringList *chain : {&HonourChain(), &TrickChain()}) {
        const qsizetype top = chain->indexOf(bid);
        for (qsizetype i = 0; i < top; ++i)
            for (qsizetype k = 0; k < contract.bids.size(); ++k)
                if (contract.bids[k].side == side && contract.bids[k].token.base == chain->at(i)) {
                    contract.announcedRows[side].removeOne(contract.bids[k].token.row);
                    contract.bids.remove(k);
                    break;
                }
    }
    // The side's bids come together, side 1-4's first.
    qsizetype at = contract.bids.size();
    if (side == 0)
        for (qsizetype k = 0; k < contract.bids.size(); ++k)
            if (contract.bids[k].side == 1) {
                at = k;
                break;
            }
    contract.bids.insert(at, Contract::Bid{*t, bid, side, 1});
    contract.announcedRows[side] << t->row;
    if (t->row >= RowGem && t->row <= RowVolat)
        contract.trickCountBid = true;
    return contract;
}

Score ScoreDeal(const Auction &auction, const QList<Trick> &tricks)
{
    return ScoreTricks(ReadContract(auction), tricks);
}

Score ScoreTricks(const Contract &contract, const QList<Trick> &tricks)
{
    Score score;
    scoreLines(contract, PlayedTricks(tricks), [&](const Contract::Bid *bid, int row, int side, bool made, std::array<int, 2> points) {
        ScoreLine line;
        line.label = bid ? bid->label : Catalogue::Row(row).Name();
        line.side = side;
        line.made = made;
        line.silent = !bid;
        line.points = points;
        score.lines << line;
        score.total[0] += points[0];
        score.total[1] += points[1];
    });
    return score;
}

std::array<int, 2> ScoreTotals(const Contract &contract, const PlayedTricks &tricks)
{
    std::array<int, 2> total{};
    scoreLines(contract, tricks, [&](const Contract::Bid *, int, int, bool, std::array<int, 2> points) {
        total[0] += points[0];
        total[1] += points[1];
    });
    return total;
}

} // namespace club
