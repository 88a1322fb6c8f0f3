#pragma once
// The spectator window: a user who watches a table sees all four hands, the trick in
// play, the names and the deal number.

#include <QWidget>
#include <array>

class Context;
class QLabel;
class TPlayView;
class THand;

class TKibic : public QWidget
{
    Q_OBJECT
public:
    explicit TKibic(Context &ctx);

    // Spectator mode: "H" and "P" go to the spectator view instead of the own hand.
    bool Kibic() const { return m_kibic; }
    void SetKibic(bool on) { m_kibic = on; }
    // The names of the four seats, from the room page's seat fields.
    void KibicSetNames(const std::array<QLabel *, 4> &seatFields);
    // The deal number text shown on the view.
    void KibicSetBoard(const QString &board);
    // The lines are read and checked by the same readers as for a player (ParseHandLine,
    // ParseTrickLine); these take what they read.
    // An "H" line in spectator mode: a seat's held cards (at most ten).
    void KibicShowHand(int seat, const THand &cards);
    // One seat's place in a "P" line: the card it played in trick `trick` (0: not yet).
    void KibicPlayCard(int seat, int card, int trick);
    // Redraws the hands after the card-order setting changed.
    void ApplyCardOrder();

    TPlayView *View() const { return m_view; }
    // The first slot the last "H" wrote.
    int HandStart() const { return m_handStart; }

private:
    bool m_kibic = false;
    int m_handStart = 10;
    Context &m_ctx;
    TPlayView *m_view = nullptr;
};
