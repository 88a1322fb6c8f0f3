// How fast the deal history takes a burst of "X0" records (what "all days" may bring), and
// how long one step of the replay takes. The records go through the club's socket, the
// real reader and dispatcher, into the real window, shown.
//
//   bench_history [--deals N] [--steps S]     (N records, then 2N; default 10000)
//
// Goals: at most 250 ms for 10,000 records; time(20,000) / time(10,000) at most 2.3 (no
// quadratic growth); a replay step under 16 ms.

#include "BenchOptions.h"
#include "FakeClub.h"
#include "TestClient.h"

#include "cards/Picks.h"
#include "history/VmRoll.h"
#include "session/Dispatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

// Records as "all days" brings them: a few thousand boards over several days, some boards
// played more than once on a day.
QByteArray records(int count)
{
    static const char *const names[] = {"Anna", "B\xE9la", "Cili", "Dani", "Ede", "Feri", "Gabi", "Hug\xF3"};
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 190);
    for (int i = 0; i < count; ++i) {
        const int board = (i * 7919) % (count / 3 + 1) + 1;
        const int day = 45000 + i % 7;
        QByteArray line = "X0 " + QByteArray::number(board) + ' ' + QByteArray::number(i + 1) + ' '
                          + QByteArray::number(day) + " +" + QByteArray::number(i % 90);
        for (int s = 0; s < 4; ++s)
            line += QByteArray(" ") + names[(i + s) % 8];
        for (int k = 0; k < 10; ++k)
            line += ' ' + QByteArray::number((k + 1 + i % 3) / 3);
        for (int s = 0; s < 4; ++s)
            for (int k = 0; k < 10; ++k)
                line += ' ' + QByteArray::number(k < 5 ? s * 5 + k + 1 : 21 + s * 5 + (k - 5));
        bytes += line + "\r\n";
    }
    bytes += "Zend\r\n";
    return bytes;
}

struct Burst
{
    double ms = 0;
    qint64 longestStall = 0;
    int deals = 0;
};

Burst loadBurst(int count)
{
    FakeClub club;
    TestClient client;
    Context &ctx = client.ctx;
    TRollForm *roll = ctx.roll;
    roll->show();
    bool done = false;
    ctx.dispatcher().add(QLatin1Char('Z'), [&](QString &) { done = true; });
    if (!client.connectTo(club)) {
        std::fprintf(stderr, "no connection\n");
        std::exit(1);
    }
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();

    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });

    const QByteArray bytes = records(count);
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    club.sendRaw(bytes);
    // Done when the last record is in, selected in the tree, and the window has painted it.
    while (!done || roll->Tv->currentItem() != roll->CurrentBoard()->Node)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    roll->Tv->viewport()->repaint();
    Burst b;
    b.ms = clock.nsecsElapsed() / 1e6;
    ticker.stop();
    b.longestStall = longestStall;
    b.deals = roll->DealCount();
    if (!client.dialogs->errors().isEmpty())
        std::fprintf(stderr, "errors: %s\n", qPrintable(client.dialogs->errors().first()));
    return b;
}

void replaySteps(int steps)
{
    TestClient client;
    Context &ctx = client.ctx;
    TRollForm *roll = ctx.roll;
    QString line = QStringLiteral("X0 17 1 45000 +25 Anna Béla Cili Dani");
    for (int k = 0; k < 10; ++k)
        line += QStringLiteral(" %1").arg((k + 1) / 3);
    for (int s = 0; s < 4; ++s)
        for (int k = 0; k < 10; ++k)
            line += QStringLiteral(" %1").arg(k < 5 ? s * 5 + k + 1 : 21 + s * 5 + (k - 5));
    ctx.guard([&] { ctx.dispatcher().dispatch(line); });
    roll->show();
    roll->Page->setCurrentIndex(3);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QToolButton *forward = roll->ToolButtons[3];
    QToolButton *first = roll->ToolButtons[0];
    double total = 0, worst = 0;
    for (int i = 0; i < steps; ++i) {
        QToolButton *button = roll->PlayView->Replay().Completed() == 10 ? first : forward;
        QElapsedTimer clock;
        clock.start();
        button->click();
        roll->repaint(); // the step is done when the window shows it
        const double ms = clock.nsecsElapsed() / 1e6;
        total += ms;
        worst = std::max(worst, ms);
    }
    std::printf("replay: %d steps, %.3f ms a step on average, %.3f ms the slowest\n", steps,
                total / std::max(steps, 1), worst);
}

} // namespace

int main(int argc, char *argv[])
{
    bench::DefaultToOffscreen();
    QApplication app(argc, argv);
    const int deals = bench::IntOption(app.arguments(), QStringLiteral("--deals"), 10000);
    const int steps = bench::IntOption(app.arguments(), QStringLiteral("--steps"), 400);
    const QList<int> sizes{deals, 2 * deals};

    QList<Burst> bursts;
    for (int n : sizes) {
        const Burst b = loadBurst(n);
        if (b.deals != n) {
            std::fprintf(stderr, "%d records stored of %d\n", b.deals, n);
            return 1;
        }
        std::printf("%d records: %.1f ms (%.0f records/s), longest event-loop stall %lld ms\n", n, b.ms,
                    n / (b.ms / 1000), b.longestStall);
        bursts << b;
    }
    for (qsizetype i = 1; i < bursts.size(); ++i)
        std::printf("time(%d) / time(%d) = %.2f\n", sizes[i], sizes[i - 1], bursts[i].ms / bursts[i - 1].ms);
    replaySteps(steps);
    return 0;
}
