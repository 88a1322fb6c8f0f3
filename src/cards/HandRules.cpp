#include "HandRules.h"

namespace {

const QChar kNoBreakSpace(0x00A0);

} // namespace

QStringList AnalyseHand(const THand &hand)
{
    THand sorted = hand;
    sorted.Sort();
    THand counts;
    sorted.CountSuits(counts);
    QStringList proposals;
    const int tarokks = counts.Get(4);
    if (tarokks > 7)
        proposals << QString::number(tarokks) + kNoBreakSpace + QStringLiteral("Tarokk");
    static const char *const suits[4] = {"Treff", "Káró", "Kőr", "Pikk"};
    for (int suit = 0; suit < 4; ++suit) {
        const int n = counts.Get(suit);
        // Diamonds and hearts make a flush with four cards, clubs and spades with five.
        const int full = suit == 1 || suit == 2 ? 4 : 5;
        if (n == full)
            proposals << QStringLiteral("Flush");
        else if (n > 1)
            proposals << QString::number(n) + kNoBreakSpace + QString::fromUtf8(suits[suit]);
    }
    const int suitCards = sorted.Count() - tarokks;
    if (tarokks > 0 && sorted.Get(suitCards) < 25)
        proposals << QStringLiteral("Matador");
    for (int rank = 2; rank <= 5; ++rank)
        if (sorted.Contains(rank) && sorted.Contains(rank + 5) && sorted.Contains(rank + 10)
            && sorted.Contains(rank + 15))
            proposals << QStringLiteral("Vannak");
    return proposals;
}

HandOrder HandOrderOf(int setting)
{
    return setting == 0 ? HandOrder::Ascending : setting == 2 ? HandOrder::Split : HandOrder::Descending;
}

void OrderHand(THand &hand, HandOrder order)
{
    hand.Sort();
    const int n = hand.Count();
    if (n <= 1 || order == HandOrder::Ascending)
        return;
    for (int i = 0; i < n / 2; ++i)
        hand.Swap(i, n - 1 - i);
    if (order == HandOrder::Descending)
        return;
    // Descending, the tarokks lead; the Kőr and Pikk cards right after them are moved, one by
    // one, to the front, which leaves them rising there. Only real tarokks are counted: the
    // suit count puts an empty place among the tarokks, and it would shift the start.
    int tarokks = 0;
    for (int card : hand.Cards())
        tarokks += Card::isTarokk(card);
    for (int i = tarokks; i < n && hand.Get(i) > 10; ++i)
        for (int k = i; k > 0; --k)
            hand.Swap(k, k - 1);
}

bool IsLegalPlay(const std::array<int, 4> &trick, int card, const THand &counts)
{
    // The user took the last trick and leads the next while its cards are still shown.
    if (trick[0] != 0)
        return true;
    if (trick[3] == 0)
        return true; // leading
    const int led = trick[2] == 0 ? trick[3] : trick[1] == 0 ? trick[2] : trick[1];
    const int ledSuit = SuitOf(led);
    const int suit = SuitOf(card);
    if (suit == ledSuit)
        return true;
    if (counts.Get(ledSuit) > 0)
        return false; // must follow
    if (suit == 4)
        return true;
    return counts.Get(4) == 0; // a tarokk is due while one is left
}

HandLayout LayoutHand(int cards, int cardWidth, int clientWidth)
{
    HandLayout layout;
    if (cards >= 2)
        layout.step = (clientWidth - cardWidth) / (cards - 1);
    layout.step = std::min(layout.step, cardWidth + 8);
    const int cell = std::max(cardWidth, layout.step);
    if (cards * cardWidth <= clientWidth)
        layout.margin = std::max(0, (clientWidth - cell - (cards - 1) * layout.step) / 2);
    return layout;
}
