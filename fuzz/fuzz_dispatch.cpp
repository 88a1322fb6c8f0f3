// Any sequence of server lines through the whole client's dispatcher, offscreen: every
// handler must end in a result or an error box, never in a crash.

#include "app/Context.h"
#include "app/Dialogs.h"
#include "session/Cp1250.h"
#include "session/Dispatch.h"
#include "session/LineFramer.h"

#include <QApplication>
#include <cstdint>

namespace {

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

Context &context()
{
    static int argc = 1;
    static char name[] = "fuzz_dispatch";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    Q_UNUSED(app);
    static Context *ctx = [] {
        auto *c = new Context(std::make_unique<SilentDialogs>());
        c->createWindows();
        return c;
    }();
    return *ctx;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Context &ctx = context();
    LineFramer framer;
    framer.feed(reinterpret_cast<const char *>(data), qsizetype(size));
    framer.feed("\r\n", 2);
    while (auto line = framer.takeLine()) {
        const QString text = Cp1250::decode(*line);
        ctx.guard([&] { ctx.dispatcher().dispatch(text); });
    }
    // Windows made for one reply close themselves; let their deferred deletes run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
