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
#include "session/VmConnect.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

struct TestClient
{
    QTemporaryDir iniDir;
    ScriptedDialogs *dialogs;
    Context ctx;
    // Answers the login, password or settings page; by default the page is cancelled.
    std::function<int(TConnect &)> pageAnswer;
    int beeps = 0;

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
        // No modal page, no command-line user, no settings file but our own, no sound.
        ctx.connect->runPage = [this](TConnect &page) { return pageAnswer ? pageAnswer(page) : int(QDialog::Rejected); };
        ctx.connect->setArgument(QString());
        ctx.connect->setIniPath(iniDir.filePath(QStringLiteral("VimoTarokk.INI")));
        ctx.connect->beep = [this] { ++beeps; };
    }
};
