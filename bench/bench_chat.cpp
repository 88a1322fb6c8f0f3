// A long evening in the chat pane: chat lines from the club in rounds, the time each round
// takes and the client's memory after it. The pane keeps a bounded number of lines, so the
// last round must cost about what the first did and memory must stay flat.
//
//   bench_chat [--lines N] [--rounds R]
//
// Goals (50,000 lines in 5 rounds): last round / first round at most 1.5; memory flat.

#include "BenchOptions.h"
#include "TestClient.h"

#include "session/ChatPane.h"
#include "session/Dispatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

// Resident memory in KiB, from the kernel's own account of the process.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::DefaultToOffscreen();
    QApplication app(argc, argv);
    const int lines = bench::IntOption(app.arguments(), QStringLiteral("--lines"), 50000);
    const int rounds = std::max(bench::IntOption(app.arguments(), QStringLiteral("--rounds"), 5), 1);
    const int perRound = std::max(lines / rounds, 1);

    FakeClub club;
    TestClient client;
    client.frame()->show();
    int ended = 0;
    client.ctx.dispatcher().add(QLatin1Char('Z'), [&](QString &) { ++ended; });
    if (!client.connectTo(club)) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }

    std::vector<double> seconds;
    std::printf("round  lines  seconds  lines/s  pane lines  resident KiB\n");
    int sent = 0;
    for (int r = 0; r < rounds; ++r) {
        QStringList batch;
        batch.reserve(perRound + 1);
        for (int i = 0; i < perRound; ++i)
            batch << QStringLiteral("Mjátékos%1: ez a(z) %2. sor a csevegésben, hogy legyen mit olvasni")
                         .arg(i % 37)
                         .arg(sent + i);
        batch << QStringLiteral("Z");
        QElapsedTimer clock;
        clock.start();
        club.sendLines(batch);
        while (ended <= r)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The last batch of lines into the document belongs to the round too.
        QCoreApplication::processEvents();
        seconds.push_back(clock.nsecsElapsed() / 1e9);
        sent += perRound;
        std::printf("%5d  %5d  %7.3f  %7.0f  %10d  %12ld\n", r + 1, perRound, seconds.back(),
                    perRound / seconds.back(), client.frame()->ChatLineCount(), residentKiB());
    }
    if (client.frame()->ChatLineCount() > ChatPane::Capacity) {
        std::fprintf(stderr, "the pane holds %d lines, more than %d\n", client.frame()->ChatLineCount(),
                     ChatPane::Capacity);
        return 1;
    }
    std::printf("last round / first round: %.2f (goal: at most 1.5)\n", seconds.back() / seconds.front());
    return 0;
}
