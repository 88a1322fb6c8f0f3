// The vimo-club program itself: its options, its first log line, and a clean stop on
// SIGTERM that keeps what was stored for the next run.

#include "ClubClient.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

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
        QTest::newRow("new members below 0") << QStringList{"--new-members", "-1"};
        QTest::newRow("new members not a number") << QStringList{"--new-members", "many"};
        QTest::newRow("logins per address 0") << QStringList{"--logins-per-address", "0"};
        QTest::newRow("logins per address too many") << QStringList{"--logins-per-address", "1000001"};
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
