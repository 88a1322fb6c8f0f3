#pragma once
// How a robot seat bids and plays: modestly, legally and always the same way in the same
// position, so that a deal number replays alike.

#include <QList>
#include <QString>

#include "Auction.h"
#include "Scoring.h"

namespace club {

// A '<count> <bid> ...' turn the auction takes; mostly "0".
QString RobotBidTurn(const Auction &auction, int seat, const QList<int> &hand);

// A legal card for `seat` to the last trick of `tricks` (a new one when that is complete).
// It sees only its own hand and the cards already played.
int RobotPlay(int seat, const QList<int> &hand, const QList<Trick> &tricks);

} // namespace club
