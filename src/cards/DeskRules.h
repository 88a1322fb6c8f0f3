#pragma once
// The table's and the hand line's rules, without a window: what an "H" or "P" line says,
// where each seat's card lies on the table, the status line, and where the four cards
// stand in the table window.

#include "Hands.h"

#include <QPoint>
#include <QSize>
#include <array>

// Display positions on the table: 1 bottom (the own seat), 2 right, 3 top, 4 left. Play
// runs bottom, right, top, left. A user who is not seated sees seat 1 at the bottom.
int DisplayPosition(int seat, int ownSeat);

// One "P" line: the trick in play.
struct TrickLine
{
    int seat = 0;        // the seat to play, or the seat that took the trick
    bool taken = false;  // the trick is complete ("ütött")
    int trick = 0;       // the trick number ("hívás")
    int count = 0;       // tricks of the second side so far
    std::array<int, 4> cards{}; // by seat 1..4; 0 = not played yet
};

// Reads 'who trick count c1 c2 c3 c4'. Everything is checked before anything is
// returned, so a caller that stores the result only afterwards never keeps half a line.
// Throws VimoError (ConversionError for a word that is not a number).
TrickLine ParseTrickLine(QString argument);

// ' 4. hívás. Robot3 ütött.  Ütések 3:1': the first score is the completed tricks minus
// the second side's count.
QString TrickStatus(const TrickLine &line, const QString &seatName);

// One "H" line: a seat and up to ten cards (numbers after the tenth are not read).
struct HandLine
{
    int seat = 0;
    THand cards;
};
HandLine ParseHandLine(QString argument);

// Top-left corners of the four card places (display positions 1..4) in a table window
// whose client area is `client`, with a bar of `barHeight` at the bottom.
std::array<QPoint, 4> LayoutDesk(QSize client, int barHeight);
