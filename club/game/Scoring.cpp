#include "Scoring.h"

#include "bidding/Catalogue.h"

namespace club {

namespace {

// 0-based catalogue rows.
constexpr int RowNegyKiraly = 0;
constexpr int RowLes = 1;
constexpr int RowObscur = 2;
constexpr int RowCsendesXXI = 3;
constexpr int RowGem = 15;
constexpr int RowVolat = 20;
constexpr int RowPagatfogas = 38;
constexpr int RowXXIfogas = 46;
constexpr int RowGolgota = 49;

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

// The opponents' `card` fell into a trick `side` took.
bool captured(const QList<Trick> &tricks, int card, int side)
{
    const Where w = findCard(tricks, card);
    return w.trick >= 0 && SideOf(w.seat) != side && tricks[w.trick].complete()
        && SideOf(tricks[w.trick].winner) == side;
}

bool wholeSuit(const QList<Trick> &tricks, int suit, int side)
{
    for (int rank = 1; rank <= 5; ++rank)
        if (TakenBy(tricks, suit * 5 + rank) != side)
            return false;
    return true;
}

QString sideName(int side)
{
    return side == 0 ? QStringLiteral("1-4") : QStringLiteral("2-3");
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

int TakenBy(const QList<Trick> &tricks, int card)
{
    const Where w = findCard(tricks, card);
    if (w.trick < 0 || !tricks[w.trick].complete())
        return -1;
    return SideOf(tricks[w.trick].winner);
}

std::optional<bool> Judge(const BidToken &token, int side, const QList<Trick> &tricks)
{
    if (tricks.size() != 10 || !tricks.last().complete() || token.kind == BidToken::Signal)
        return std::nullopt;
    auto won = [&](int k) { return SideOf(tricks[k - 1].winner) == side; };
    auto winningCard = [&](int k) { return tricks[k - 1].cardOf(tricks[k - 1].winner); };
    int count = 0;
    for (int k = 1; k <= 10; ++k)
        count += won(k) ? 1 : 0;
    const int row = token.row;
    if (token.kind == BidToken::Raised) {
        const int k = kRaiserTrick[row - 26];
        return won(k) && winningCard(k) == token.card;
    }
    if (token.kind == BidToken::Suited) {
        if (row == 33) // " banda"
            return wholeSuit(tricks, token.card, side);
        return std::nullopt;
    }
    switch (row) {
    case 9: case 10: case 11: // Vizi, L´amour, Angelo: XVIII, XIX, XX
        return TakenBy(tricks, 38 + row - 9) == side;
    case 12:
        return TakenBy(tricks, Card::XXI) == side || TakenBy(tricks, Card::Skiz) == side;
    case 13:
        return TakenBy(tricks, Card::XXI) == side && TakenBy(tricks, Card::Skiz) == side;
    case 14:
        return TakenBy(tricks, Card::XXI) == side && TakenBy(tricks, Card::Skiz) == side
            && TakenBy(tricks, Card::Pagat) == side;
    case 15: case 16: case 17: case 18: case 19: case 20:
        return count >= 5 + row - RowGem;
    case 21: case 22: case 23: case 24: case 25: { // Pikoló .. Nagymadár
        const int k = row - 21 + 3;
        for (int i = 1; i <= k; ++i)
            if (!won(i))
                return false;
        return winningCard(k) == 38 + row - 21;
    }
    case 34: // Piros-fekete
        return (wholeSuit(tricks, 1, side) || wholeSuit(tricks, 2, side))
            && (wholeSuit(tricks, 0, side) || wholeSuit(tricks, 3, side));
    case 35:
        return wholeSuit(tricks, 1, side) && wholeSuit(tricks, 2, side);
    case 36:
        return wholeSuit(tricks, 0, side) && wholeSuit(tricks, 3, side);
    case 37:
        return wholeSuit(tricks, 0, side) && wholeSuit(tricks, 1, side) && wholeSuit(tricks, 2, side)
            && wholeSuit(tricks, 3, side);
    case RowPagatfogas:
        return captured(tricks, Card::Pagat, side);
    case RowXXIfogas:
        return captured(tricks, Card::XXI, side);
    case RowGolgota:
        return captured(tricks, Card::XXI, side) && captured(tricks, Card::Pagat, side);
    default:
        return std::nullopt;
    }
}

Score ScoreDeal(const Auction &auction, const QList<Trick> &tricks)
{
    Score score;
    if (tricks.size() != 10 || !tricks.last().complete())
        return score;
    bool trickCountBid = false;
    std::array<QList<int>, 2> announcedRows;
    for (int side = 0; side < 2; ++side) {
        const QStringList bids = auction.sideBids(side);
        const QStringList against = auction.sideBids(1 - side);
        // A side that climbed a chain plays for its top step only.
        QStringList plain;
        for (const QString &bid : bids) {
            const std::optional<BidToken> t = ReadToken(bid);
            if (!t || t->contra != 0 || t->kind == BidToken::Signal || plain.contains(bid))
                continue;
            plain << bid;
        }
        for (const QStringList *chain : {&HonourChain(), &TrickChain()}) {
            qsizetype top = -1;
            for (qsizetype i = 0; i < chain->size(); ++i)
                if (plain.contains(chain->at(i)))
                    top = i;
            for (qsizetype i = 0; i < top; ++i)
                plain.removeAll(chain->at(i));
        }
        for (const QString &bid : plain) {
            const BidToken t = *ReadToken(bid);
            announcedRows[side] << t.row;
            if (t.row >= RowGem && t.row <= RowVolat)
                trickCountBid = true;
            const std::optional<bool> made = Judge(t, side, tricks);
            if (!made) {
                score.unjudged << QStringLiteral("%1 (%2)").arg(bid, sideName(side));
                continue;
            }
            int times = 1;
            QString label = bid;
            if (against.contains(QLatin1Char('*') + bid)) {
                times = 2;
                label = QLatin1Char('*') + bid;
                if (bids.contains(QLatin1String("**") + bid)) {
                    times = 4;
                    label = QLatin1String("**") + bid;
                }
            }
            const Announcement &a = Catalogue::Row(t.row);
            ScoreLine line;
            line.label = label;
            line.side = side;
            line.made = *made;
            if (*made)
                line.points[side] = a.made * times;
            else
                line.points[1 - side] = a.down * times;
            score.lines << line;
        }
    }

    auto silent = [&](int row, int side) {
        ScoreLine line;
        line.label = Catalogue::Row(row).Name();
        line.side = side;
        line.silent = true;
        line.points[side] = Catalogue::Row(row).made;
        score.lines << line;
    };
    const int kings = TakenBy(tricks, 5);
    if (kings >= 0 && TakenBy(tricks, 10) == kings && TakenBy(tricks, 15) == kings && TakenBy(tricks, 20) == kings)
        silent(RowNegyKiraly, kings);
    for (int side = 0; side < 2; ++side) {
        // An announced capture is scored as announced, not again in silence.
        const QList<int> &rows = announcedRows[side];
        if (captured(tricks, Card::Pagat, side) && !rows.contains(RowPagatfogas) && !rows.contains(RowGolgota))
            silent(RowLes, side);
        if (captured(tricks, Card::XXI, side) && !rows.contains(RowXXIfogas) && !rows.contains(RowGolgota))
            silent(RowCsendesXXI, side);
    }
    if (!trickCountBid) {
        std::array<int, 2> taken{};
        for (const Trick &t : tricks)
            if (++taken[SideOf(t.winner)] == 5) {
                silent(RowObscur, SideOf(t.winner));
                break;
            }
    }
    for (const ScoreLine &line : score.lines) {
        score.total[0] += line.points[0];
        score.total[1] += line.points[1];
    }
    return score;
}

} // namespace club
