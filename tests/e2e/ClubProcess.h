#pragma once
// A real vimo-club, started as its own process on a free loopback port, with nothing kept
// and robots that answer at once; further options (a short match minute) as a test asks.

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class ClubProcess
{
public:
    ClubProcess() = default;
    ClubProcess(const ClubProcess &) = delete;
    ClubProcess &operator=(const ClubProcess &) = delete;
    ~ClubProcess() { stop(); }

    // True once the club listens; its first log line names the port it took.
    bool start(const QString &program, int robotDelayMs = 0, const QStringList &options = {})
    {
        m_process.setProgram(program);
        m_process.setArguments(QStringList{QStringLiteral("--memory"), QStringLiteral("--port"),
                                           QStringLiteral("0"), QStringLiteral("--robot-delay"),
                                           QString::number(robotDelayMs)}
                               + options);
        m_process.start();
        if (!m_process.waitForStarted())
            return false;
        const QRegularExpression listening(QStringLiteral(R"(127\.0\.0\.1:(\d+))"));
        return QTest::qWaitFor([&] {
            m_log += QString::fromUtf8(m_process.readAllStandardOutput());
            const QRegularExpressionMatch m = listening.match(m_log);
            if (m.hasMatch())
                m_port = quint16(m.captured(1).toUInt());
            return m_port != 0 || m_process.state() == QProcess::NotRunning;
        }, 20000) && m_port != 0;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }

    quint16 port() const { return m_port; }
    // What the club has logged so far, for a failing test to show.
    QString log()
    {
        m_log += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_log;
    }
    QString errorText() { return m_process.errorString() + QString::fromUtf8(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QString m_log;
    quint16 m_port = 0;
};
