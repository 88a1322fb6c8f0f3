// The protocol catalogue of incoming lines: first character -> handler. Keep every row
// here, so that one look shows what the client understands.

#include "Dispatch.h"

#include "app/Context.h"
#include "bidding/VmBid.h"
#include "session/Link.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"
#include "history/VmMatch.h"
#include "history/VmRoll.h"
#include "history/VmSeen.h"
#include "history/VmStat.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"

void InstallHandlers(Dispatcher &d, Context &ctx)
{
    TFrame *frame = ctx.frame;

    // Keep-alive: answered at once, whatever follows the "O".
    d.add(QLatin1Char('O'), [&ctx](QString &) { ctx.link().sendAnswer(QStringLiteral("O1")); });

    // The new password is in force; the line carries its digest.
    d.add(QLatin1Char('W'), [&ctx](QString &arg) { ctx.connect->PasswordChanged(arg); });

    // A member's personal data, or why it cannot be shown.
    d.add(QLatin1Char('D'), [&ctx](QString &arg) { TStat::ReceiveStat(ctx, arg); });

    // Lobby, rooms, seats and chat.
    const auto frameRow = [&d, frame](char first, void (TFrame::*handler)(QString &)) {
        d.add(QLatin1Char(first), [frame, handler](QString &arg) { (frame->*handler)(arg); });
    };
    frameRow('L', &TFrame::LobbyLine);
    frameRow('J', &TFrame::JoinLine);
    frameRow('N', &TFrame::DealLine);
    frameRow('I', &TFrame::SeatLine);
    frameRow('U', &TFrame::EnterLine);
    frameRow('Q', &TFrame::QuitLine);
    frameRow('T', &TFrame::HostLine);
    frameRow('M', &TFrame::ChatLine);
    frameRow('?', &TFrame::PingLine);
    frameRow('G', &TFrame::PongLine);
    frameRow('V', &TFrame::UndoAskLine);

    // The own hand and the trick in play; in spectator mode both go to the spectator view.
    d.add(QLatin1Char('H'), [&ctx](QString &arg) { ctx.card->HandMessage(arg); });
    d.add(QLatin1Char('P'), [&ctx](QString &arg) { ctx.desk->TrickMessage(arg); });

    // Bidding: empty = the user's turn; otherwise the bid text of the deal so far.
    d.add(QLatin1Char('B'), [&ctx](QString &text) { ctx.bid->ReceiveBid(text); });

    // Earlier deals: the deal history's replies, and the days that have stored deals.
    d.add(QLatin1Char('X'), [&ctx](QString &arg) { ctx.roll->ReceiveHistory(arg); });
    d.add(QLatin1Char('Y'), [&ctx](QString &arg) { TSeen::ReceiveDays(ctx, arg); });

    // Team matches: "R0" with the match list, any other number an invitation.
    d.add(QLatin1Char('R'), [&ctx](QString &arg) { ctx.match->ReceiveMatches(arg); });

    d.setUnknownHandler([frame](const QString &line) {
        frame->LogLine(QStringLiteral("Ismeretlen:"), line);
    });
}
