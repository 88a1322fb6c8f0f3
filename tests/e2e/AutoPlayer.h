#pragma once
// The user's part of a deal, done through the windows whenever it is the user's turn: the
// first bid turn offers "Gém" when nobody has bid from the trick group yet, every other turn
// passes; a card is the first legal one of the hand as shown.

#include "BidSteps.h"
#include "bidding/BidRules.h"
#include "bidding/VmBid.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/VmFrame.h"
#include "app/Context.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <array>
#include <functional>
#include <utility>

class AutoPlayer
{
public:
    explicit AutoPlayer(Context &ctx) : m_ctx(ctx) {}

    int bidTurns = 0;
    int cardsPlayed = 0;
    bool stuck = false; // on turn with no legal card: the hand and the table disagree

    // Hook for pictures: called with the editor ready to send, before it is sent.
    std::function<void()> beforeSend;

    // One look at the windows; acts if it is the user's turn.
    void step()
    {
        TBidxForm *bid = m_ctx.bid;
        TCardForm *hand = m_ctx.card;
        TDeskForm *desk = m_ctx.desk;
        if (bid->isVisible() && bid->cmGo->isEnabled()) {
            if (bidTurns == 0 && !tricksBid(bid->LastBids())) {
                BidSteps::Add(bid, BidRules::Tricks, 0);
            }
            if (beforeSend)
                beforeSend();
            bid->cmGo->click();
            if (bid->cmGo->isEnabled()) {
                // Refused before it went out: pass instead.
                bid->fdSend->clear();
                bid->cmGo->click();
            }
            ++bidTurns;
            return;
        }
        if (m_waiting) {
            // A card is out: nothing more until the club has sent both the smaller hand and
            // the trick with the card on it (the hand comes first). A take-back may later
            // bring back the very same table, so the table alone cannot tell.
            if (hand->Hand().Count() == m_heldAtSend
                || (desk->TrickNumber() == m_tableAtSend.first
                    && desk->Current().cards == m_tableAtSend.second))
                return;
            m_waiting = false;
        }
        const int own = m_ctx.frame->ownSeat();
        if (desk->TrickNumber() < 1 || own < 1 || desk->SeatToAct() != own || !hand->isVisible())
            return;
        if (hand->Hand().Count() <= 1)
            return; // the hand window plays a last card by itself
        for (int slot = 0; slot < hand->Hand().Count(); ++slot) {
            hand->SelectCard(slot);
            if (hand->IsLegalPlay()) {
                m_heldAtSend = hand->Hand().Count();
                m_tableAtSend = {desk->TrickNumber(), desk->Current().cards};
                m_waiting = true;
                m_ctx.guard([hand] { hand->PlaySelected(); });
                ++cardsPlayed;
                return;
            }
        }
        stuck = true;
    }

    // A card of ours is out and the club has not shown it on the table yet.
    bool waiting() const { return m_waiting; }

    // The tenth trick lies complete on the table.
    bool dealOver() const
    {
        const TDeskForm *desk = m_ctx.desk;
        if (desk->TrickNumber() != 10)
            return false;
        for (int card : desk->Current().cards)
            if (card == 0)
                return false;
        return true;
    }

private:
    static bool tricksBid(const QString &bidText)
    {
        const QStringList tricks = BidRules::GroupEntries(BidRules::Tricks);
        for (const TBidList::Turn &turn : TBidList::Turns(bidText))
            for (const QString &bid : turn.Bids)
                if (tricks.contains(bid))
                    return true;
        return false;
    }

    Context &m_ctx;
    bool m_waiting = false;
    int m_heldAtSend = 0;
    std::pair<int, std::array<int, 4>> m_tableAtSend;
};
