#pragma once
// The client's whole context, built offscreen with scripted dialogs, optionally connected
// to a FakeClub.

#include "FakeClub.h"
#include "ScriptedDialogs.h"

#include "app/Context.h"
#include "session/Link.h"
#include "session/VmFrame.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>

struct TestClient
{
    ScriptedDialogs *dialogs;
    Context ctx;

    TestClient() : TestClient(new ScriptedDialogs) {}

    TFrame *frame() const { return ctx.frame; }

    // Connects to the fake club and waits until both ends see the connection.
    bool connectTo(FakeClub &club)
    {
        ctx.link().connectToHost(QStringLiteral("127.0.0.1"), club.port());
        return club.waitForClient() && QTest::qWaitFor([this] { return ctx.link().isReading(); });
    }

    QStringList chatLines() const
    {
        QStringList lines;
        if (ctx.frame->ChatLineCount() == 0)
            return lines;
        // Block by block: toPlainText() would turn no-break spaces into blanks.
        for (QTextBlock b = ctx.frame->fdMsgs->document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        return lines;
    }

private:
    explicit TestClient(ScriptedDialogs *d) : dialogs(d), ctx(std::unique_ptr<Dialogs>(d))
    {
        ctx.createWindows();
    }
};
