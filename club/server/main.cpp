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
    const QCommandLineOption delayOption(QStringLiteral("robot-delay"), QStringLiteral("Milliseconds before a robot acts."),
                                         QStringLiteral("ms"), QStringLiteral("700"));
    const QCommandLineOption minuteOption(QStringLiteral("match-minute"),
                                          QStringLiteral("Milliseconds in a minute of the team match rules."),
                                          QStringLiteral("ms"), QStringLiteral("60000"));
    const QCommandLineOption pauseOption(QStringLiteral("deal-pause"),
                                         QStringLiteral("Milliseconds between two deals that follow each other at a table."),
                                         QStringLiteral("ms"), QStringLiteral("5000"));
    const QCommandLineOption holdOption(QStringLiteral("seat-hold"),
                                        QStringLiteral("Milliseconds a dropped player's seat is kept for them (0: not kept)."),
                                        QStringLiteral("ms"), QStringLiteral("180000"));
    const QCommandLineOption samplesOption(QStringLiteral("robot-samples"),
                                           QStringLiteral("Deals a robot imagines for each decision (0: the basic robot)."),
                                           QStringLiteral("n"), QString::number(club::DefaultRobotSamples));
    const QCommandLineOption perAddressOption(QStringLiteral("per-address"),
                                              QStringLiteral("Members logged in at once from one address."),
                                              QStringLiteral("n"), QStringLiteral("16"));
    parser.addOptions({listenOption, portOption, dataOption, memoryOption, delayOption, minuteOption, pauseOption,
                       holdOption, samplesOption, perAddressOption});
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
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < 0 || delay > 60000) {
        err << "vimo-club: robot delay must be 0..60000 ms" << Qt::endl;
        return 2;
    }
    const int minute = parser.value(minuteOption).toInt(&ok);
    if (!ok || minute < 1 || minute > 3600000) {
        err << "vimo-club: a match minute must be 1..3600000 ms" << Qt::endl;
        return 2;
    }
    const int pause = parser.value(pauseOption).toInt(&ok);
    if (!ok || pause < 0 || pause > 600000) {
        err << "vimo-club: the pause between deals must be 0..600000 ms" << Qt::endl;
        return 2;
    }
    const int hold = parser.value(holdOption).toInt(&ok);
    if (!ok || hold < 0 || hold > 86400000) {
        err << "vimo-club: a seat may be kept 0..86400000 ms" << Qt::endl;
        return 2;
    }
    const int samples = parser.value(samplesOption).toInt(&ok);
    if (!ok || samples < 0 || samples > 1000) {
        err << "vimo-club: robot samples must be 0..1000" << Qt::endl;
        return 2;
    }
    const int perAddress = parser.value(perAddressOption).toInt(&ok);
    if (!ok || perAddress < 1 || perAddress > club::Limits{}.maxMembers) {
        err << "vimo-club: members per address must be 1.." << club::Limits{}.maxMembers << Qt::endl;
        return 2;
    }
    if (parser.isSet(memoryOption) && parser.isSet(dataOption)) {
        err << "vimo-club: --data and --memory exclude each other" << Qt::endl;
        return 2;
    }

    club::ClubOptions options;
    options.robotDelay = delay;
    options.matchMinute = minute;
    options.nextDealPause = pause;
    options.seatHold = hold;
    options.robotSamples = samples;
    options.limits.perAddress = perAddress;
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
                 .arg(delay)
                 .arg(minute == 60000 ? QString() : QStringLiteral(", egy mérkőzésperc %1 ms").arg(minute)));
    const int code = QCoreApplication::exec();
    server.close();
    writeLog(QStringLiteral("vimo-club leállt"));
    return code;
}
