#pragma once
// The client's whole context, built offscreen with scripted dialogs, optionally connected
// to a FakeClub.

#include "FakeClub.h"
#include "ScriptedDialogs.h"

#include "app/Context.h"
#include "session/Link.h"
#include "session/ChatPane.h"
#include "session/VmFrame.h"

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

    QStringList chatLines() const { return ctx.frame->fdMsgs->lines(); }

private:
    explicit TestClient(ScriptedDialogs *d) : dialogs(d), ctx(std::unique_ptr<Dialogs>(d))
    {
        ctx.createWindows();
    }
};
