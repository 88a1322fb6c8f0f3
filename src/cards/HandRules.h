#pragma once
// The own hand's rules, without a window: the hand signals a fresh hand proposes, the
// display orders, which card may be played, and where the cards stand in the strip.

#include "Hands.h"

#include <QStringList>
#include <array>

enum class HandOrder { Ascending = 0, Descending = 1, Split = 2 };

// The signals ("Jelzések") a ten-card hand offers, in the order they are proposed.
QStringList AnalyseHand(const THand &hand);

// The card-order setting as an order: 0 ascending, 1 descending, 2 split; any other value
// is descending, the settings page's own default.
HandOrder HandOrderOf(int setting);

// Sorts a hand for display, the own hand and a spectator's strips alike. Split: hearts and
// spades ascending on the left, the tarokks descending in the middle, diamonds and clubs
// descending on the right. An empty place (0) of a strip goes last.
void OrderHand(THand &hand, HandOrder order);

// trick: the cards at display positions 1..4 (1 = own seat, 2 right, 3 opposite, 4 left;
// 0 = no card). counts: the suit counts of the own hand.
bool IsLegalPlay(const std::array<int, 4> &trick, int card, const THand &counts);

// What the own hand needs to know of the table to allow a play.
struct TableState
{
    int trick = -1;                 // -1 while bidding
    int toAct = 0;                  // the seat whose card is due
    std::array<int, 4> cards{};     // the trick at display positions 1..4
};

struct HandLayout
{
    int step = 0;   // from one card's left edge to the next
    int margin = 0; // left edge of the first card
};
HandLayout LayoutHand(int cards, int cardWidth, int clientWidth);
