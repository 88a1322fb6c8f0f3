#pragma once
// What the compact table view shows, worked out without any widget: where each small card
// of a strip goes, the top of a name written downwards, and a recorded deal stepped through
// trick by trick and card by card. A strip's order is the own hand's (HandRules).

#include "Hands.h"

#include <QString>
#include <QVector>
#include <array>

// Where n small cards sit along a strip of `length` pixels: centred, with a gap that
// widens as the hand shrinks (10 cards touch, 7 or fewer stand 4 pixels apart).
struct TStripLayout
{
    int gap = 0;
    int step = 0;
    QVector<int> positions;
};
TStripLayout LayStrip(int n, int length, bool vertical);

// The first letter's top in a name image: short names are centred on the image's
// upper part, long ones start at the top.
int NameImageTop(int letters);

// A recorded deal as the replay steps through it.
// Seat hands hold each seat's cards in trick order (slot k = trick k+1); tricks hold the
// second side's count after each trick; leaders are worked out from the cards.
// The position is (t, s): t completed tricks, s cards shown of the trick in view;
// s = 4 shows trick t complete, s < 4 shows trick t+1 with its first s cards.
class TReplay
{
public:
    // Seat 1..4; anything else is a range error.
    THand &SeatHand(int seat);
    const THand &SeatHand(int seat) const;
    THand Tricks;
    THand Leaders;

    // Leaders of the ten tricks: the deal number's parity gives the first, the cards
    // decide the rest (the tenth trick's winner leads nothing).
    void SetBoard(int deal);

    void GoFirst();
    void GoPrevTrick();
    void StepBack();
    void StepForward();
    void GoNextTrick();
    void GoLast();

    int Completed() const { return m_t; }
    int Shown() const { return m_s; }
    // Any pair is accepted and brought into range, so a caller cannot make the view
    // read outside the ten tricks.
    void SetPosition(int t, int s);

    // What one seat shows at the current position: its held cards from slot `from` on,
    // and the card in front of it on the table (0 = empty place).
    struct TSeatShow
    {
        int from = 0;
        int played = 0;
    };
    // Indexed by seat − 1.
    std::array<TSeatShow, 4> Position() const;
    // The seat leading the trick in view.
    int LeaderInView() const;
    // "a : b": tricks of the first side, of the second side, after the completed tricks.
    QString ScoreText() const;

    // A slot that is not there reads as 0 (a short or damaged record shows empty places).
    static int SlotOr0(const THand &hand, int slot);

private:
    std::array<THand, 4> m_hands;
    int m_t = 0;
    int m_s = 0;
};
