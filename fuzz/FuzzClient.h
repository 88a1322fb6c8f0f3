#pragma once
// The whole client offscreen for the fuzz targets that drive its windows: built once, since
// ten windows take far longer to make than any input takes to run, and brought back to a
// quiet state after every input, so that inputs do not pile up windows, chat or events.
//
// The deal history keeps every deal it is sent, as it does for a user; to keep that bounded
// the whole client is made anew after RebuildEvery inputs. An input that fails only after
// certain others is replayed the same way, since the replay runs the corpus in name order.

#include "app/Context.h"
#include "app/Dialogs.h"
#include "history/VmSeen.h"
#include "history/VmStat.h"
#include "session/ChatPane.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

// Allocations that the libraries under Qt keep for the life of the process; kept here so that
// a plain run of a target needs no options to be quiet.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}

namespace fuzzclient {

class SilentDialogs : public Dialogs
{
protected:
    void showMessage(const QString &) override {}
    void showError(const QString &) override {}
    bool showYesNo(const QString &) override { return true; }
    std::optional<QString> showInput(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

inline constexpr int RebuildEvery = 4000;

inline QApplication &app()
{
    static int argc = 1;
    static char name[] = "fuzz_client";
    static char *argv[] = {name, nullptr};
    static QApplication *instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's warnings about odd input, and the offscreen platform's about every raise(),
        // would flood the fuzzer's output: one written line an input cost more than most
        // inputs' own work. A fatal message still ends the run.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtFatalMsg) {
                fprintf(stderr, "%s\n", qPrintable(text));
                abort();
            }
        });
        return new QApplication(argc, argv);
    }();
    return *instance;
}

class Client
{
public:
    // `grows`: the input is fed to the dispatcher, whose history only grows; an input that
    // reads settings leaves nothing behind and needs no rebuild.
    Context &context(bool grows = true)
    {
        app();
        if (!m_ctx || (grows && ++m_inputs > RebuildEvery)) {
            m_ctx.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            m_ctx = std::make_unique<Context>(std::make_unique<SilentDialogs>());
            m_ctx->createWindows();
            m_inputs = 1;
        }
        return *m_ctx;
    }

    // What one input showed is shown, and then what it left behind goes: the windows made
    // for one reply, the lobby, the game windows and every event it posted.
    void settle()
    {
        Context &ctx = *m_ctx;
        // As the event loop would after a line: the platform's window events (exposure,
        // activation, the pointer entering) and the painting they ask for, so that the hand,
        // the table, the bid list and every window the input showed draw what the server sent.
        // These are not posted events: left undelivered they piled up in the platform's queue
        // for the life of the process (1.5 GB in ten minutes, the target slowing as it grew).
        QCoreApplication::processEvents();
        // The member forms are the main window's; the day choosers are modal to the whole
        // program and stack up, one on another. Neither is looked for among every widget
        // there is, which is what QApplication::topLevelWidgets() walks.
        for (TStat *form : ctx.frame->findChildren<TStat *>(Qt::FindDirectChildrenOnly))
            form->close();
        QWidget *modal = nullptr;
        while (auto *chooser = qobject_cast<TSeen *>(QApplication::activeModalWidget())) {
            if (chooser == modal)
                break; // it would not close: leave it rather than spin
            modal = chooser;
            chooser->close();
        }
        ctx.frame->HideGameWindows();
        ctx.frame->ClearLobbyLists();
        QCoreApplication::sendPostedEvents();
        // The chat keeps its lines: the pane holds at most its capacity by itself, and
        // emptying a text document after every input cost more than most inputs.
        ctx.frame->fdMsgs->flush();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Only the events an input posted, for an input that opens no window.
    void drain()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    std::unique_ptr<Context> m_ctx;
    int m_inputs = 0;
};

inline Client &client()
{
    static Client *c = new Client;
    return *c;
}

} // namespace fuzzclient
