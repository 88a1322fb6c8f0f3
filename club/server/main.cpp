// vimo-club: the practice club with robot players, on this machine by default.

#include "ClubServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextStream>

#include <csignal>
#include <functional>
#include <vector>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only a write is safe inside a signal handler; the event loop does the rest.
void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void writeLog(const QString &text)
{
    static QTextStream out(stdout);
    out << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) << text << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vimo-club"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vimo Tarokk practice club with robot players"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listenOption(QStringLiteral("listen"), QStringLiteral("Address to listen on."),
                                          QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port."),
                                        QStringLiteral("port"), QStringLiteral("5052"));
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("SQLite file of members and deals."),
                                        QStringLiteral("file"));
    const QCommandLineOption memoryOption(QStringLiteral("memory"), QStringLiteral("Keep nothing after the run."));
    // The whole-number options: each one's range, the words its refusal uses, and its place
    // in the club's options.
    struct Number
    {
        QCommandLineOption option;
        int min, max;
        const char *what;  // "<what> must be <min>..<max><unit>"
        const char *unit;
        std::function<void(club::ClubOptions &, int)> apply;
    };
    const auto number = [](const char *name, const char *help, const char *valueName, int fallback) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(valueName),
                                  QString::number(fallback));
    };
    const std::vector<Number> numbers{
        {number("robot-delay", "Milliseconds before a robot acts.", "ms", 700), 0, 60000, "robot delay", " ms",
         [](club::ClubOptions &o, int v) { o.robotDelay = v; }},
        {number("match-minute", "Milliseconds in a minute of the team match rules.", "ms", 60000), 1, 3600000,
         "a match minute", " ms", [](club::ClubOptions &o, int v) { o.matchMinute = v; }},
        {number("deal-pause", "Milliseconds between two deals that follow each other at a table.", "ms", 5000), 0,
         600000, "the pause between deals", " ms", [](club::ClubOptions &o, int v) { o.nextDealPause = v; }},
        {number("seat-hold", "Milliseconds a dropped player's seat is kept for them (0: not kept).", "ms", 180000), 0,
         86400000, "a seat hold", " ms", [](club::ClubOptions &o, int v) { o.seatHold = v; }},
        {number("robot-samples", "Deals a robot imagines for each decision (0: the basic robot).", "n",
                club::DefaultRobotSamples),
         0, 1000, "robot samples", "", [](club::ClubOptions &o, int v) { o.robotSamples = v; }},
        {number("turn-limit", "Seconds a player in a team match has for a turn before a robot acts.", "seconds", 90),
         1, 3600, "a turn limit", " seconds", [](club::ClubOptions &o, int v) { o.turnLimit = qint64(v) * 1000; }},
        {number("new-members", "New members one address may make in an hour.", "n", 5), 0, 1000000,
         "new members per address", "", [](club::ClubOptions &o, int v) { o.limits.newMembersPerAddress = v; }},
        {number("logins-per-address", "Logins one address may make at once; then one a second.", "n", 30), 1,
         1000000, "logins per address", "", [](club::ClubOptions &o, int v) { o.limits.loginsPerAddress = v; }},
        {number("per-address", "Members logged in at once from one address.", "n", 16), 1, club::Limits{}.maxMembers,
         "members per address", "", [](club::ClubOptions &o, int v) { o.limits.perAddress = v; }},
    };
    parser.addOptions({listenOption, portOption, dataOption, memoryOption});
    for (const Number &n : numbers)
        parser.addOption(n.option);
    parser.process(app);

    QTextStream err(stderr);
    QHostAddress address;
    if (!address.setAddress(parser.value(listenOption))) {
        err << "vimo-club: not an address: " << parser.value(listenOption) << Qt::endl;
        return 2;
    }
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        err << "vimo-club: not a port: " << parser.value(portOption) << Qt::endl;
        return 2;
    }
    club::ClubOptions options;
    for (const Number &n : numbers) {
        const int value = parser.value(n.option).toInt(&ok);
        if (!ok || value < n.min || value > n.max) {
            err << "vimo-club: " << n.what << " must be " << n.min << ".." << n.max << n.unit << Qt::endl;
            return 2;
        }
        n.apply(options, value);
    }
    if (parser.isSet(memoryOption) && parser.isSet(dataOption)) {
        err << "vimo-club: --data and --memory exclude each other" << Qt::endl;
        return 2;
    }

    options.log = writeLog;
    if (!parser.isSet(memoryOption)) {
        options.dataPath = parser.value(dataOption);
        if (options.dataPath.isEmpty()) {
            const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            QDir().mkpath(dir);
            options.dataPath = dir + QStringLiteral("/club.sqlite");
        }
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        err << "vimo-club: no signal pipe" << Qt::endl;
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        writeLog(QStringLiteral("leáll (jelzés %1)").arg(int(byte)));
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // Every connection is a descriptor, and the soft limit is often far below what the system
    // allows the process (1024 against the hard limit): take what is allowed.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &files) != 0)
            writeLog(QStringLiteral("a leírók száma nem emelhető"));
    }
    // Members, strangers and the connections closing meanwhile, with room for the database.
    const club::Limits limits;
    const rlim_t wanted = rlim_t(limits.maxMembers + limits.maxStrangers) * 2;
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < wanted)
        writeLog(QStringLiteral("figyelem: legfeljebb %1 leíró nyitható, a klubnak %2 kellhet").arg(files.rlim_cur).arg(wanted));

    club::ClubServer server(options);
    if (!server.storeOpen()) {
        err << "vimo-club: cannot open " << options.dataPath << ": " << server.storeError() << Qt::endl;
        return 1;
    }
    if (!server.listen(address, quint16(port))) {
        err << "vimo-club: cannot listen on " << address.toString() << ':' << port << ": "
            << server.errorString() << Qt::endl;
        return 1;
    }
    writeLog(QStringLiteral("vimo-club fut: %1:%2, adatok: %3, robotok késése %4 ms%5")
                 .arg(address.toString())
                 .arg(server.serverPort())
                 .arg(options.dataPath.isEmpty() ? QStringLiteral("csak memóriában") : options.dataPath)
                 .arg(options.robotDelay)
                 .arg(options.matchMinute == 60000 ? QString() : QStringLiteral(", egy mérkőzésperc %1 ms").arg(options.matchMinute)));
    const int code = QCoreApplication::exec();
    server.close();
    writeLog(QStringLiteral("vimo-club leállt"));
    return code;
}
