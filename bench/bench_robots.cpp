// The club's robots against the basic ones, as a duplicate tournament: every numbered deal
// is played twice with the sides swapped, so the cards' luck cancels out and what is left is
// how well each robot bids and plays. Prints the sampling robots' average margin per deal with
// its 95% confidence interval, and how long their decisions take.
//
//   bench_robots [--deals N] [--first NUMBER] [--samples S] [--threads T]

#include "BenchOptions.h"
#include "game/Deal.h"
#include "game/Robot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Played
{
    qint64 points[2] = {0, 0};  // side 1-4, side 2-3
    bool refused = false;
    QString fault;
};

// One deal with the sampling robots on `newSide` (0: seats 1 and 4) and the basic ones on
// the other; the sampling robots' decision times go to `times` (ns).
Played play(int number, int newSide, int samples, std::vector<qint64> &times, std::vector<qint64> &basicTimes)
{
    club::Deal deal(number);
    deal.setRobotSamples(samples);
    club::Outs out = deal.start();
    Played result;
    QElapsedTimer clock;
    for (int step = 0; step < 200 && deal.phase() != club::Deal::Phase::Done; ++step) {
        const int seat = deal.onTurn();
        const bool sampling = club::SideOf(seat) == newSide;
        out.clear();
        QString fault;
        clock.start();
        if (deal.phase() == club::Deal::Phase::Bidding) {
            const QString turn = sampling ? deal.robotTurn(seat) : deal.basicRobotTurn(seat);
            (sampling ? times : basicTimes).push_back(clock.nsecsElapsed());
            fault = deal.bid(seat, turn, out);
        } else {
            const int card = sampling ? deal.robotCard(seat) : deal.basicRobotCard(seat);
            (sampling ? times : basicTimes).push_back(clock.nsecsElapsed());
            fault = deal.play(seat, card, out);
        }
        if (!fault.isEmpty()) {
            result.refused = true;
            result.fault = QStringLiteral("deal %1, seat %2: %3").arg(number).arg(seat).arg(fault);
            return result;
        }
    }
    if (deal.phase() != club::Deal::Phase::Done) {
        result.refused = true;
        result.fault = QStringLiteral("deal %1 did not end").arg(number);
        return result;
    }
    const club::DealRecord record = deal.record({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}, 1);
    for (const QString &row : record.scoreRows) {
        const QStringList words = row.split(QLatin1Char(' '));
        result.points[0] += words.value(words.size() - 2).toLongLong();
        result.points[1] += words.last().toLongLong();
    }
    return result;
}

double percentile(std::vector<qint64> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t at = std::min(v.size() - 1, size_t(std::ceil(p * double(v.size()))) - (p > 0 ? 1 : 0));
    return double(v[at]) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int deals = std::max(1, bench::IntOption(args, QStringLiteral("--deals"), 2000));
    const int first = std::max(2, bench::IntOption(args, QStringLiteral("--first"), 2));
    const int samples = std::max(1, bench::IntOption(args, QStringLiteral("--samples"), club::DefaultRobotSamples));
    const int threads = std::clamp(bench::IntOption(args, QStringLiteral("--threads"), 2), 1, 64);
    QTextStream out(stdout);

    std::vector<double> margins(size_t(deals), 0);   // per deal, for the sampling robots
    std::vector<double> ownPoints(size_t(deals), 0); // their side's points per deal
    std::vector<qint64> times, basicTimes;
    std::vector<QString> faults;
    std::mutex merge;
    std::atomic<int> next{0};
    QElapsedTimer wall;
    wall.start();
    auto worker = [&] {
        std::vector<qint64> mine, basic;
        std::vector<QString> myFaults;
        for (int i = next++; i < deals; i = next++) {
            double margin = 0, own = 0;
            for (int newSide = 0; newSide < 2; ++newSide) {
                const Played p = play(first + i, newSide, samples, mine, basic);
                if (p.refused) {
                    myFaults.push_back(p.fault);
                    continue;
                }
                margin += double(p.points[newSide] - p.points[1 - newSide]) / 2;
                own += double(p.points[newSide]) / 2;
            }
            margins[size_t(i)] = margin;
            ownPoints[size_t(i)] = own;
        }
        std::lock_guard lock(merge);
        times.insert(times.end(), mine.begin(), mine.end());
        basicTimes.insert(basicTimes.end(), basic.begin(), basic.end());
        faults.insert(faults.end(), myFaults.begin(), myFaults.end());
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(worker);
    for (std::thread &t : pool)
        t.join();

    double mean = 0, own = 0;
    for (int i = 0; i < deals; ++i) {
        mean += margins[size_t(i)];
        own += ownPoints[size_t(i)];
    }
    mean /= deals;
    own /= deals;
    double variance = 0;
    for (double m : margins)
        variance += (m - mean) * (m - mean);
    variance = deals > 1 ? variance / (deals - 1) : 0;
    const double half = 1.96 * std::sqrt(variance / deals);

    out << "bench_robots: " << deals << " deals from " << first << ", each played twice with the sides swapped; "
        << samples << " imagined deals per decision, " << threads << " threads, " << wall.elapsed() / 1000.0 << " s\n";
    out << QStringLiteral("sampling robots' margin over the basic ones: %1 points per deal, 95% CI [%2, %3]\n")
               .arg(mean, 0, 'f', 2).arg(mean - half, 0, 'f', 2).arg(mean + half, 0, 'f', 2);
    out << QStringLiteral("their own side's points per deal: %1\n").arg(own, 0, 'f', 2);
    out << QStringLiteral("sampling decision time: median %1 ms, 99th percentile %2 ms, longest %3 ms (%4 decisions)\n")
               .arg(percentile(times, 0.5), 0, 'f', 3).arg(percentile(times, 0.99), 0, 'f', 3)
               .arg(percentile(times, 1.0), 0, 'f', 3).arg(times.size());
    out << QStringLiteral("basic decision time: median %1 ms, 99th percentile %2 ms (%3 decisions)\n")
               .arg(percentile(basicTimes, 0.5), 0, 'f', 4).arg(percentile(basicTimes, 0.99), 0, 'f', 4)
               .arg(basicTimes.size());
    for (const QString &fault : faults)
        out << "FAULT: " << fault << "\n";
    out.flush();
    return faults.empty() ? 0 : 1;
}
