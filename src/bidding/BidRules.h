#pragma once
// The bid editor's rules without its window: the groups it offers, how a bid is composed,
// the checks a bid must pass, the contras the other side's bids invite, the bid line sent,
// and the layout of a bid text by seat. Every check throws VimoError with the exact text
// the user sees; nothing here keeps state.

#include "cards/Hands.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace BidRules {

// The editor's ten groups, by their index in the group list.
enum Group {
    Signals = 0,
    Encouragers = 1,
    Tricks = 2,
    Raisers = 3,
    Captures = 4,
    Extras = 5,
    Trophies = 6,
    VolatTrophies = 7,
    Contra = 8,
    Recontra = 9,
    GroupCount = 10
};

const QStringList &GroupNames();
// The fixed names of groups 1..7; groups 0, 8 and 9 start empty and are filled later.
QStringList GroupEntries(int group);

// The words that may stand in front of a name: four raisers, then four suits.
const QStringList &HigherWords();
constexpr int FirstSuit = 4;

// The two rising chains, low to high.
const QStringList &ChainA();
const QStringList &ChainB();

// A bid already in `list` (letter case aside), or a lower step of a chain of which `list`
// holds a higher one.
void CheckRepeat(const QStringList &list, const QString &bid);
// Two steps of one chain in the same turn.
void CheckExclusive(const QStringList &pending, const QString &bid);

// The bid the user composes from group `group`, its entry `entry` (index into `entries`,
// -1 when none is selected) and the word of the raiser/suit box. `higherText` is what the
// box shows, typed text included.
QString ComposeBid(int group, int entry, const QStringList &entries, const QString &higherText);

// What the user may contra ('*' + bid) and recontra ('**' + own side's contra'd bid),
// in text order, from the turns of the other side. A standing user (seat 0) has no side
// and is offered nothing.
struct Offers
{
    QStringList contra;
    QStringList recontra;
};
Offers ContraOffers(const QList<TBidList::Turn> &turns, int ownSeat);

// The line that sends one turn: "B", the nickname, the count and the bids.
QString BidLine(const QString &nick, const QStringList &bids);

// The status-bar text for the entry under the mouse (nullopt: over no entry) of `group`;
// `hintOf` looks a name up in the announcement catalogue.
QString EntryHint(int group, const std::optional<QString> &entry,
                  const std::function<QString(const QString &)> &hintOf);

} // namespace BidRules
