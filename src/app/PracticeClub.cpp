#include "PracticeClub.h"

#include "session/VmConnect.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpSocket>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

QString PracticeClub::ProgramBeside(const QString &clientDir)
{
    const QFileInfo program(QDir(clientDir).filePath(QStringLiteral("vimo-club")));
    return program.isFile() && program.isExecutable() ? program.absoluteFilePath() : QString();
}

bool PracticeClub::Listening(const QHostAddress &address, quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(address, port);
    // On this machine a refusal comes at once; the time limit is for a listener that hangs.
    const bool open = probe.waitForConnected(1000);
    probe.abort();
    return open;
}

bool PracticeClub::startBesideClient()
{
    const QString program = ProgramBeside(QCoreApplication::applicationDirPath());
    if (program.isEmpty())
        return false;
    const QString logDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const bool started = start(program, QHostAddress(QHostAddress::LocalHost), TConnect::DefaultPort,
                               QDir(logDir).filePath(QStringLiteral("vimo-club.log")));
    // Nothing to show the user here: without a club the login says the connection was refused.
    if (!started && !m_error.isEmpty())
        qWarning("vimo-tarokk: %s", qPrintable(m_error));
    return started;
}

bool PracticeClub::start(const QString &program, const QHostAddress &address, quint16 port,
                         const QString &logPath, int waitMs)
{
    m_error.clear();
    if (running() || Listening(address, port))
        return running();

    QDir().mkpath(QFileInfo(logPath).absolutePath());
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--listen"), address.toString(),
                            QStringLiteral("--port"), QString::number(port)});
    // The log of the latest run only: a club started with every client would grow it forever.
    m_process.setStandardOutputFile(logPath, QIODevice::Truncate);
    m_process.setStandardErrorFile(logPath, QIODevice::Append);
    m_process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // A client that crashes or is killed cannot stop its club; the kernel does it instead, so
    // that no orphaned club keeps the port and the data file.
    const pid_t client = ::getpid();
    m_process.setChildProcessModifier([client] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != client)
            ::_exit(1);
    });
#endif
    m_process.start();
    if (!m_process.waitForStarted()) {
        m_error = QStringLiteral("%1 did not start: %2").arg(program, m_process.errorString());
        return false;
    }

    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (Listening(address, port))
            return true;
        // Waiting for the club to end is also the pause between two probes.
        if (m_process.waitForFinished(50) || m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("%1 ended with code %2 before it listened on %3:%4; see %5")
                          .arg(program)
                          .arg(m_process.exitCode())
                          .arg(address.toString())
                          .arg(port)
                          .arg(logPath);
            return false;
        }
        if (deadline.hasExpired()) {
            stop();
            m_error = QStringLiteral("%1 did not listen on %2:%3 within %4 ms; see %5")
                          .arg(program, address.toString())
                          .arg(port)
                          .arg(waitMs)
                          .arg(logPath);
            return false;
        }
    }
}

void PracticeClub::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}
