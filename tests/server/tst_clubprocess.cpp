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
    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("port") << QStringList{"--port", "70000"};
        QTest::newRow("address") << QStringList{"--listen", "nowhere"};
        QTest::newRow("delay") << QStringList{"--robot-delay", "-5"};
        QTest::newRow("both stores") << QStringList{"--memory", "--data", "x.sqlite"};
        QTest::newRow("no member per address") << QStringList{"--per-address", "0"};
        QTest::newRow("members per address past the club's") << QStringList{"--per-address", "501"};
        QTest::newRow("members per address not a number") << QStringList{"--per-address", "sok"};
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
        QProcess club;
        club.start(QStringLiteral(VIMO_CLUB_PATH), arguments);
        QVERIFY(club.waitForFinished(5000));
        QCOMPARE(club.exitCode(), 2);
        QVERIFY(club.readAllStandardError().startsWith("vimo-club: "));
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
