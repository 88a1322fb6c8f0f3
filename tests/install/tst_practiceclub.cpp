// The practice club the installed client starts: found beside the client, started only when
// nothing listens, stopped with the client, and never left behind by a client that dies.

#include "app/PracticeClub.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>

namespace {

const QHostAddress Local(QHostAddress::LocalHost);

quint16 freePort()
{
    QTcpServer server;
    return server.listen(Local, 0) ? server.serverPort() : 0;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The client's part in the killed-client case: start the club, say its process id, wait.
int runAsClient(const QStringList &args)
{
    PracticeClub club;
    if (!club.start(QStringLiteral(VIMO_CLUB_PATH), Local, quint16(args.value(0).toUInt()), args.value(1))) {
        QTextStream(stderr) << club.errorText() << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << club.processId() << Qt::endl;
    return QCoreApplication::exec();
}

} // namespace

class TestPracticeClub : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // The club keeps its data in the user's data folder: here a folder of the test's own.
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    }

    void programBeside_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("found");
        QTest::newRow("the program") << QStringLiteral("program") << true;
        QTest::newRow("a file that cannot run") << QStringLiteral("file") << false;
        QTest::newRow("a folder of that name") << QStringLiteral("folder") << false;
        QTest::newRow("nothing") << QString() << false;
    }

    void programBeside()
    {
        QFETCH(QString, entry);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vimo-club"));
        if (entry == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (!entry.isEmpty()) {
            QVERIFY(QFile::copy(QStringLiteral(VIMO_CLUB_PATH), path));
            QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
            if (entry == QLatin1String("program"))
                p |= QFile::ExeOwner;
            QVERIFY(QFile::setPermissions(path, p));
        }
        QCOMPARE(PracticeClub::ProgramBeside(dir.path()), found ? path : QString());
    }

    void startsAndStopsItsClub()
    {
        const quint16 port = freePort();
        QVERIFY(port != 0);
        const QString log = m_home.filePath(QStringLiteral("cache/vimo-club.log"));
        PracticeClub club;
        QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH), Local, port, log), qPrintable(club.errorText()));
        QVERIFY(club.running());
        QVERIFY(PracticeClub::Listening(Local, port));
        QVERIFY(readAll(log).contains(QStringLiteral("vimo-club fut: 127.0.0.1:%1").arg(port)));
        QVERIFY(QFile::exists(m_home.filePath(QStringLiteral("data/vimo-club/club.sqlite"))));

        // A second start while it runs is no second club.
        QVERIFY(club.start(QStringLiteral(VIMO_CLUB_PATH), Local, port, log));

        club.stop();
        QVERIFY(!club.running());
        QVERIFY(!PracticeClub::Listening(Local, port));
        // SIGTERM is a clean stop: the club says so last.
        QVERIFY(readAll(log).trimmed().endsWith(QStringLiteral("vimo-club leállt")));
    }

    void leavesAnotherClubAlone()
    {
        QTcpServer other;
        QVERIFY(other.listen(Local, 0));
        PracticeClub club;
        const QString log = m_home.filePath(QStringLiteral("other.log"));
        QVERIFY(!club.start(QStringLiteral(VIMO_CLUB_PATH), Local, other.serverPort(), log));
        QVERIFY(!club.running());
        QCOMPARE(club.errorText(), QString());
        QVERIFY(!QFile::exists(log));
        QVERIFY(other.isListening());
    }

    void tellsWhyItsClubEnded()
    {
        // A data folder that cannot be made: the club cannot open its file and ends.
        QFile blocker(m_home.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());
        const quint16 port = freePort();
        const QString log = m_home.filePath(QStringLiteral("ended.log"));
        PracticeClub club;
        QVERIFY(!club.start(QStringLiteral(VIMO_CLUB_PATH), Local, port, log));
        QVERIFY(!club.running());
        QVERIFY2(club.errorText().contains(QStringLiteral("ended with code 1")), qPrintable(club.errorText()));
        QVERIFY(club.errorText().contains(log));
        QVERIFY(readAll(log).contains(QStringLiteral("cannot open")));
        QVERIFY(!PracticeClub::Listening(Local, port));
    }

    void tellsWhenNoProgram()
    {
        PracticeClub club;
        QVERIFY(!club.start(m_home.filePath(QStringLiteral("no-such-program")), Local, freePort(),
                            m_home.filePath(QStringLiteral("none.log"))));
        QVERIFY(club.errorText().contains(QStringLiteral("did not start")));
    }

    void clubEndsWithKilledClient()
    {
        const quint16 port = freePort();
        const QString log = m_home.filePath(QStringLiteral("killed.log"));
        QProcess client;
        client.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--as-client"), QString::number(port),
                      log});
        QVERIFY(client.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(client.canReadLine() || client.state() == QProcess::NotRunning, 20000);
        QVERIFY2(client.state() == QProcess::Running, client.readAllStandardError().constData());
        const pid_t clubPid = pid_t(client.readLine().trimmed().toLongLong());
        QVERIFY(clubPid > 0);
        QVERIFY(PracticeClub::Listening(Local, port));

        // SIGKILL: the client gets no chance to stop its club. The orphaned club comes to this
        // process (a subreaper), which sees how it ended.
        ::kill(pid_t(client.processId()), SIGKILL);
        QVERIFY(client.waitForFinished());
        int status = 0;
        QVERIFY(QTest::qWaitFor([&] { return ::waitpid(clubPid, &status, WNOHANG) == clubPid; }, 10000));
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(readAll(log).contains(QStringLiteral("vimo-club leállt")));
        QVERIFY(!PracticeClub::Listening(Local, port));
    }

private:
    QTemporaryDir m_home;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("--as-client"))
        return runAsClient(args.mid(2));
    // A club whose client was killed is reparented here, so that the test can reap it.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    TestPracticeClub test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_practiceclub.moc"
