// How fast the client takes a burst of server lines, how long the event loop stalls
// meanwhile, and what the client costs while it sits connected and idle.
//
//   bench_reading [--lines N] [--idle SECONDS]
//
// Goals: at least 50,000 lines/s, no stall over 100 ms, idle CPU under 20 ms in 10 s.

#include "BenchOptions.h"
#include "TestClient.h"

#include "session/Dispatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The lines of a busy room: chat, keep-alives and lines the client does not know.
// Later features add their own lines here.
QByteArray burst(int count)
{
    const char *const kinds[] = {
        "Mkati: Sziasztok! Ki j\xF6n egy partira?",
        "O",
        "mismeretlen sor",
        "Mrobot: Sz\xE9p volt partner!",
    };
    QByteArray bytes;
    bytes.reserve(count * 40);
    for (int i = 0; i < count; ++i) {
        bytes += kinds[i % 4];
        bytes += "\r\n";
    }
    bytes += "Zend\r\n";
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::DefaultToOffscreen();
    QApplication app(argc, argv);
    const int lines = bench::IntOption(app.arguments(), QStringLiteral("--lines"), 100000);
    const int idleSeconds = bench::IntOption(app.arguments(), QStringLiteral("--idle"), 10);

    FakeClub club;
    // The test client answers the login page that opens after the main window shows
    // (cancelled), so the benchmark never waits inside a modal page.
    TestClient client;
    Context &ctx = client.ctx;
    ctx.frame->show();
    bool done = false;
    ctx.dispatcher().add(QLatin1Char('Z'), [&](QString &a) { if (a == QLatin1String("end")) done = true; });
    if (!client.connectTo(club)) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }

    // How often the main window painted during the burst: the screen must follow it.
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } painted;
    ctx.frame->fdMsgs->viewport()->installEventFilter(&painted);

    // The longest gap between two ticks of a 5 ms timer is the longest stall.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
    });

    const QByteArray bytes = burst(lines);
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = cpuSeconds();
    sinceTick.start();
    ticker.start();
    club.sendRaw(bytes);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    ticker.stop();

    std::printf("burst: %d lines in %.3f s = %.0f lines/s (cpu %.3f s)\n", lines + 1, seconds,
                (lines + 1) / seconds, cpu);
    std::printf("longest event-loop stall during the burst: %lld ms\n", longestStall);
    std::printf("chat pane painted %d times during the burst (%.0f per second)\n", painted.paints,
                painted.paints / seconds);
    (void)QTest::qWaitFor([&] { return club.received.size() >= (lines + 3) / 4; }, 5000);
    std::printf("keep-alives answered: %lld of %d\n", qlonglong(club.received.size()), (lines + 3) / 4);

    // Idle: connected, nothing arriving.
    const double idleBefore = cpuSeconds();
    QEventLoop idleLoop;
    QTimer::singleShot(idleSeconds * 1000, &idleLoop, &QEventLoop::quit);
    idleLoop.exec();
    const double idleCpu = cpuSeconds() - idleBefore;
    std::printf("idle: %.1f ms of CPU in %d s connected\n", idleCpu * 1000, idleSeconds);
    return 0;
}
