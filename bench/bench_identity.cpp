// What a login costs the club: the password check (PBKDF2 of the wire digest) and a whole
// login through Identity against an in-memory store, each timed over many rounds, and how
// many password checks a second the club lets through at most. The check runs on the event
// loop, so its cost is the longest a login can hold up everyone else.
//
//   bench_identity [--rounds N]
//
// Goal: one login well under 20 ms in the Release build.

#include "BenchOptions.h"
#include "server/Identity.h"
#include "server/Member.h"
#include "server/Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Figures
{
    std::vector<double> ms;
    double median() { std::sort(ms.begin(), ms.end()); return ms[ms.size() / 2]; }
    double worst() const { return *std::max_element(ms.begin(), ms.end()); }
};
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = std::clamp(bench::IntOption(app.arguments(), QStringLiteral("--rounds"), 200), 1, 100000);

    Figures make, check, login;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        const club::Password p = club::Password::of(1000 + i);
        make.ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        clock.start();
        const bool right = p.matches(1000 + i);
        check.ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!right) {
            std::fprintf(stderr, "a password does not check against its own digest\n");
            return 1;
        }
    }

    club::Store store{QString()};
    club::Limits limits;
    limits.hashBurst = 1 << 30;
    limits.loginsPerName = 1 << 30;
    limits.loginsPerAddress = 1 << 30;
    qint64 now = 1'741'950'000'000;
    club::Identity identity(store, limits, [&now] { return now; });
    const QHostAddress home(QStringLiteral("127.0.0.1"));
    if (!identity.login(QStringLiteral("Anna"), 777, home).accepted)
        return 1;
    for (int i = 0; i < rounds; ++i) {
        now += 1000;
        clock.start();
        const bool in = identity.login(QStringLiteral("Anna"), 777, home).accepted;
        login.ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!in) {
            std::fprintf(stderr, "the member was refused\n");
            return 1;
        }
    }

    std::printf("PBKDF2-SHA256, %d iterations, %d rounds\n", club::Password::Iterations, rounds);
    std::printf("password made      median %.2f ms, worst %.2f ms\n", make.median(), make.worst());
    std::printf("password checked   median %.2f ms, worst %.2f ms\n", check.median(), check.worst());
    std::printf("whole login        median %.2f ms, worst %.2f ms\n", login.median(), login.worst());
    std::printf("checks let through at most %d at once, then %.0f a second: at most %.0f ms of the event loop a second\n",
                club::Limits().hashBurst, club::Limits().hashesPerSecond,
                club::Limits().hashesPerSecond * check.median());
    return 0;
}
