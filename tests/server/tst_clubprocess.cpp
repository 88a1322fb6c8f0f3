// The vimo-club program itself: its options, its first log line, and a clean stop on
// SIGTERM that keeps what was stored for the next run.

#include "ClubClient.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

class TestClubProcess : public QObject
{
    Q_OBJECT

    // Starts the club and gives the port it named in its first log line (0 on failure).
    static quint16 start(QProcess &club, const QStringList &arguments)
    {
        club.start(QStringLiteral(VIMO_CLUB_PATH), arguments);
        if (!club.waitForStarted(5000))
            return 0;
        QString log;
        const QRegularExpression port(QStringLiteral("127\\.0\\.0\\.1:(\\d+)"));
        while (club.waitForReadyRead(5000)) {
            log += QString::fromUtf8(club.readAllStandardOutput());
            const auto m = port.match(log);
            if (m.hasMatch())
                return quint16(m.captured(1).toUInt());
        }
        return 0;
    }
    static bool stop(QProcess &club)
    {
        ::kill(pid_t(club.processId()), SIGTERM);
        return club.waitForFinished(5000) && club.exitStatus() == QProcess::NormalExit && club.exitCode() == 0;
    }

private slots:
    // One row per refused value: the option and its value, and a word of the message that
    // names what was wrong. The club neither opens a store nor listens: it stops with 2.
    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        const auto row = [](const char *option, const char *value, const char *says) {
            QTest::addRow("%s %s", option, value) << QStringList{QString::fromLatin1(option), QString::fromUtf8(value)}
                                                  << QString::fromUtf8(says);
        };
        row("--port", "70000", "port");
        row("--port", "65536", "port");
        row("--port", "-1", "port");
        row("--port", "five", "port");
        row("--port", "", "port");
        row("--listen", "nowhere", "address");
        row("--listen", "256.0.0.1", "address");
        row("--listen", "", "address");
        row("--robot-delay", "-5", "robot delay");
        row("--robot-delay", "60001", "robot delay");
        row("--robot-delay", "1.5", "robot delay");
        row("--robot-delay", "700ms", "robot delay");
        row("--match-minute", "0", "match minute");
        row("--match-minute", "-60000", "match minute");
        row("--match-minute", "3600001", "match minute");
        row("--match-minute", "4294967296", "match minute");
        row("--match-minute", "", "match minute");
        row("--deal-pause", "-1", "pause between deals");
        row("--deal-pause", "600001", "pause between deals");
        row("--deal-pause", "5s", "pause between deals");
        row("--deal-pause", "", "pause between deals");
        row("--seat-hold", "-1", "seat");
        row("--seat-hold", "86400001", "seat");
        row("--seat-hold", "4294967296", "seat");
        row("--seat-hold", "0x10", "seat");
        row("--seat-hold", "", "seat");
        row("--robot-samples", "-1", "robot samples");
        row("--robot-samples", "1001", "robot samples");
        row("--robot-samples", "many", "robot samples");
        row("--robot-samples", "", "robot samples");
        row("--turn-limit", "0", "turn limit");
        row("--turn-limit", "-1", "turn limit");
        row("--turn-limit", "3601", "turn limit");
        row("--turn-limit", "1.5", "turn limit");
        row("--turn-limit", "90s", "turn limit");
        row("--turn-limit", "", "turn limit");
        row("--new-members", "-1", "new members");
        row("--new-members", "many", "new members");
        row("--new-members", "1000001", "new members");
        row("--logins-per-address", "0", "logins per address");
        row("--logins-per-address", "1000001", "logins per address");
        row("--logins-per-address", "", "logins per address");
        row("--per-address", "0", "members per address");
        row("--per-address", "501", "members per address");
        row("--per-address", "sok", "members per address");
        QTest::newRow("both stores") << QStringList{"--data", "x.sqlite"} << QStringLiteral("exclude");
    }

    // Started with a low soft limit of descriptors, the club takes what the hard limit allows.
    void descriptorLimitIsRaised()
    {
        QProcess club;
        club.setChildProcessModifier([] {
            rlimit files{};
            ::getrlimit(RLIMIT_NOFILE, &files);
            files.rlim_cur = std::min<rlim_t>(files.rlim_max, 256);
            ::setrlimit(RLIMIT_NOFILE, &files);
        });
        QVERIFY(start(club, {"--port", "0", "--memory"}));
        QFile limits(QStringLiteral("/proc/%1/limits").arg(club.processId()));
        QVERIFY(limits.open(QIODevice::ReadOnly));
        const QString line = QString::fromLatin1(limits.readAll()).split(QLatin1Char('\n')).filter(QStringLiteral("Max open files")).value(0);
        const QStringList words = line.mid(int(qstrlen("Max open files"))).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(words.size() >= 2 && words[0] == words[1], qPrintable(line));
        QVERIFY(stop(club));
    }
    void badOptionsAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        // Every other option is good, and nothing would be kept if the club ran after all; the
        // row's own value comes last, which is the one the parser takes.
        QProcess club;
        club.start(QStringLiteral(VIMO_CLUB_PATH), QStringList{"--memory", "--port", "0"} + arguments);
        // Generous: a club built with sanitizers starts slowly on a busy machine.
        QVERIFY(club.waitForFinished(20000));
        QCOMPARE(club.exitStatus(), QProcess::NormalExit);
        QCOMPARE(club.exitCode(), 2);
        const QString error = QString::fromUtf8(club.readAllStandardError());
        QVERIFY2(error.startsWith(QStringLiteral("vimo-club: ")) && error.contains(says), qPrintable(error));
        // It said nothing of running: it never listened.
        const QString log = QString::fromUtf8(club.readAllStandardOutput());
        QVERIFY2(!log.contains(QStringLiteral("vimo-club fut")), qPrintable(log));
    }

    void sigtermStopsCleanlyAndKeepsTheMembers()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString data = dir.filePath(QStringLiteral("club.sqlite"));
        const QStringList arguments{"--port", "0", "--data", data, "--robot-delay", "0"};
        {
            QProcess club;
            const quint16 port = start(club, arguments);
            QVERIFY(port);
            ClubClient anna(port);
            QVERIFY(anna.login(QStringLiteral("Anna"), 31));
            anna.send(QStringLiteral("W32"));
            QCOMPARE(anna.next(QStringLiteral("W")), QStringLiteral("W32"));
            QVERIFY(stop(club));
            const QString log = QString::fromUtf8(club.readAllStandardOutput());
            QVERIFY(log.contains(QStringLiteral("leáll (jelzés 15)")));
            QVERIFY(log.contains(QStringLiteral("vimo-club leállt")));
            QVERIFY(anna.waitClosed());
        }
        QProcess club;
        const quint16 port = start(club, arguments);
        QVERIFY(port);
        ClubClient old(port);
        QVERIFY(old.waitConnected());
        old.send(QStringLiteral("LAnna 31"));
        QCOMPARE(old.next(QStringLiteral("M")), QStringLiteral("MSzerver: Hibás jelszó"));
        ClubClient anna(port);
        QVERIFY(anna.login(QStringLiteral("Anna"), 32));
        QVERIFY(stop(club));
    }
};

QTEST_GUILESS_MAIN(TestClubProcess)
#include "tst_clubprocess.moc"
