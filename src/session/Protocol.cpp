// The protocol catalogue of incoming lines: first character -> handler. Keep every row
// here, so that one look shows what the client understands.

#include "Dispatch.h"

#include "app/Context.h"
#include "bidding/VmBid.h"
#include "session/Link.h"
#include "session/VmFrame.h"

void InstallHandlers(Dispatcher &d, Context &ctx)
{
    TFrame *frame = ctx.frame;

    // Keep-alive: answered at once, whatever follows the "O".
    d.add(QLatin1Char('O'), [frame](QString &) { frame->SendLine(QStringLiteral("O1")); });

    // Bidding: empty = the user's turn; otherwise the bid text of the deal so far.
    d.add(QLatin1Char('B'), [&ctx](QString &text) { ctx.bid->ReceiveBid(text); });

    d.setUnknownHandler([frame](const QString &line) {
        frame->LogLine(QStringLiteral("Ismeretlen:"), line);
    });
}
