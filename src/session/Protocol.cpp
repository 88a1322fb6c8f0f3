// The protocol catalogue of incoming lines: first character -> handler. Keep every row
// here, so that one look shows what the client understands.

#include "Dispatch.h"

#include "app/Context.h"
#include "session/Link.h"
#include "session/VmFrame.h"

void InstallHandlers(Dispatcher &d, Context &ctx)
{
    TFrame *frame = ctx.frame;

    // Keep-alive: answered at once, whatever follows the "O".
    d.add(QLatin1Char('O'), [frame](QString &) { frame->SendLine(QStringLiteral("O1")); });

    d.setUnknownHandler([frame](const QString &line) {
        frame->LogLine(QStringLiteral("Ismeretlen:"), line);
    });
}
