#include "VmKibic.h"

#include "Hands.h"
#include "Picks.h"
#include "app/Context.h"
#include "session/VmConnect.h"

TKibic::TKibic(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TKibic"));
    setWindowTitle(QStringLiteral("Kibic"));
    // No border icons: the window comes and goes with spectator mode, not by the user.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(329, 217);
    // The window is one pixel taller than its view; that line matches the felt's foot.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, TPlayView::FeltColour().darker(115));
    setPalette(pal);
    setAutoFillBackground(true);
    m_view = new TPlayView(ctx, this);
    m_view->move(0, 0);
    connect(ctx.connect, &TConnect::ViewChanged, this, [this] {
        m_ctx.guard([this] { ApplyCardOrder(); });
    });
}

void TKibic::KibicSetNames(const std::array<QLabel *, 4> &seatFields)
{
    m_view->SetNames(seatFields);
}

void TKibic::KibicSetBoard(const QString &board)
{
    m_view->SetBoardText(board);
}

void TKibic::KibicShowHand(int seat, const THand &cards)
{
    const int count = std::min(cards.Count(), 10);
    const int start = 10 - count;
    THand &hand = m_view->SeatHand(seat);
    m_handStart = start;
    for (int i = start; i < 10; ++i)
        hand.Put(i, cards.Get(i - start));
    m_view->DrawHand(hand, start, seat);
}

void TKibic::KibicPlayCard(int seat, int card, int trick)
{
    THand &hand = m_view->SeatHand(seat);
    const int slot = trick - 1;
    int from = slot;
    if (card != Card::None) {
        // Only the cards not yet played are searched: slots before this trick hold
        // earlier tricks, or a former deal's cards when watching began mid-deal.
        for (int i = slot; i < hand.Count(); ++i)
            if (hand.Get(i) == card) {
                hand.Swap(slot, i);
                break;
            }
        from = trick;
    }
    m_view->DrawHand(hand, from, seat);
    m_view->DrawPlayed(card, seat);
}

void TKibic::ApplyCardOrder()
{
    m_view->ApplyCardOrder();
}
