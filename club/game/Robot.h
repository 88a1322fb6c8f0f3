#pragma once
// The club's robot: it imagines the cards it cannot see many times over, dealt in every way
// that fits what the table has shown (cards played, suits a seat could not follow, raisers
// announced, hand signals given), plays each imagined deal out with the basic robot's quick
// rules, and chooses the bid or card that scored best for its side on average (perfect-
// information Monte Carlo). The draws are seeded, so the same position always gets the same
// answer: a numbered deal replays alike, and a take-back gets the same robot moves again.

#include <QList>
#include <QString>

#include "Auction.h"
#include "Scoring.h"

namespace club {

struct RobotSight
{
    int seat = 0;
    const QList<int> *dealt = nullptr;   // the seat's ten cards as dealt
    const QList<int> *held = nullptr;    // what it still holds
    const Auction *auction = nullptr;
    const QList<Trick> *tricks = nullptr;
    quint64 seed = 0;
    int samples = 0;                     // imagined deals per decision
};

// How many deals the robot imagines per decision unless told otherwise: enough for a
// steady choice, few enough that a decision stays within some milliseconds.
constexpr int DefaultRobotSamples = 48;

// A '<count> <bid> ...' turn the auction takes: the announcements, contras and recontras
// whose average worth over the imagined deals is clearly above nothing; "0" for none.
QString SamplingRobotBid(const RobotSight &sight);

// A legal card for the last trick of the sight's tricks (a new one when that is complete).
int SamplingRobotPlay(const RobotSight &sight);

} // namespace club
