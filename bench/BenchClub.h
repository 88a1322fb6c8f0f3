#pragma once
// The real vimo-club as a benchmark's subject: its own process on a free loopback port, its
// log drained and counted (a pipe left full would stall it), and its memory read from the
// kernel's account of the process.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

namespace bench {

// Kilobytes of a /proc/<pid>/status field (VmRSS, VmHWM).
inline long ProcField(qint64 pid, const char *field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

class Club
{
public:
    QProcess process;
    quint16 port = 0;
    long logLines = 0;

    // False, with a word on stderr, when the club does not start or never names its port.
    bool start(const QString &program)
    {
        process.setProgram(program);
        // Every member of a benchmark comes from 127.0.0.1, more of them than one address may
        // make or log in at a time.
        process.setArguments({"--memory", "--port", "0", "--robot-delay", "300", "--new-members", "100000",
                              "--logins-per-address", "100000", "--per-address", "500"});
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // In a sanitizer build, freed memory is held back up to 256 MB to catch use after
        // free; the club's resident size would show that and not the club.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":quarantine_size_mb=8"));
        process.setProcessEnvironment(env);
        process.start();
        if (!process.waitForStarted(5000)) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
            return false;
        }
        // The first log line names the port the system gave.
        QByteArray log;
        const QRegularExpression listening(QStringLiteral("127\\.0\\.0\\.1:(\\d+)"));
        while (!port && process.waitForReadyRead(5000)) {
            log += process.readAllStandardOutput();
            const auto m = listening.match(QString::fromUtf8(log));
            if (m.hasMatch())
                port = quint16(m.captured(1).toUInt());
        }
        if (!port) {
            std::fprintf(stderr, "the club did not say its port\n");
            return false;
        }
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { logLines += process.readAllStandardOutput().count('\n'); });
        return true;
    }

    long memory(const char *field) const { return ProcField(process.processId(), field); }
};

} // namespace bench
