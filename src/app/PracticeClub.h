#pragma once
// The practice club of the user's own session. An installed client finds vimo-club beside
// itself and starts it when nothing listens on the practice address, so that the menu entry
// alone gives a club to play in; from the source tree scripts/run.sh does the same. A club that
// someone else started is left alone; the one started here ends with the client, even when the
// client itself is killed.

#include <QHostAddress>
#include <QProcess>
#include <QString>

class PracticeClub
{
public:
    PracticeClub() = default;
    PracticeClub(const PracticeClub &) = delete;
    PracticeClub &operator=(const PracticeClub &) = delete;
    ~PracticeClub() { stop(); }

    // The club program in the client's folder, or empty when there is none (the source tree).
    static QString ProgramBeside(const QString &clientDir);

    // Whether something accepts connections at address:port now.
    static bool Listening(const QHostAddress &address, quint16 port);

    // The client's start-up: the club beside the program on 127.0.0.1 and the default port,
    // its output in the user's cache folder. True when a club started here runs.
    bool startBesideClient();

    // Starts `program` on address:port unless something listens there already, and waits until
    // it listens, ends or `waitMs` has passed. The club keeps its members and deals in its
    // default file, in the user's data folder. Its output goes to `logPath`. True when a club
    // started here runs; otherwise errorText() tells why (empty when another club listens).
    bool start(const QString &program, const QHostAddress &address, quint16 port,
               const QString &logPath, int waitMs = 10000);

    // Asks the club to stop (it closes its database on SIGTERM) and waits for it.
    void stop();

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }
    QString errorText() const { return m_error; }

private:
    QProcess m_process;
    QString m_error;
};
