#pragma once
// The club's first robot, kept as the yardstick the stronger one is measured against and as
// the quick rules that robot plays its imagined deals out with: modest bids, fixed rules of
// thumb, legal cards, and always the same choice in the same position.

#include <QList>
#include <QString>

#include "Auction.h"
#include "Scoring.h"

namespace club {

// A '<count> <bid> ...' turn the auction takes; mostly "0".
QString BasicRobotBid(const Auction &auction, int seat, const QList<int> &hand);

// A legal card for `seat` to the last trick of `tricks` (a new one when that is complete).
// It sees only its own hand and the cards already played.
int BasicRobotPlay(int seat, const QList<int> &hand, const QList<Trick> &tricks);

} // namespace club
