#pragma once
// The one TCP connection to the club. Bytes arriving are cut into lines by the framer
// and handed to the line handler strictly in order, in short slices between turns of the
// event loop, and only while the gate allows it (no handler running, no modal box open).
// No timer polls the socket: an idle client sleeps in the event loop.

#include "LineFramer.h"

#include <QAbstractSocket>
#include <QObject>
#include <functional>

class QTcpSocket;

class Link : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype ReadChunk = 64 * 1024;
    // The longest stretch (ms) of line handling before the event loop gets its turn.
    static constexpr int SliceMs = 8;

    explicit Link(QObject *parent = nullptr);
    ~Link() override;

    // Called with each complete line (decoded); the line is never empty.
    void setLineHandler(std::function<void(const QString &)> handler) { m_handler = std::move(handler); }
    // Lines are handed out only while the gate returns true.
    void setGate(std::function<bool()> gate) { m_gate = std::move(gate); }

    // Closes any open connection (as the client) and starts a new one.
    void connectToHost(const QString &host, quint16 port);
    // Closes an open connection from the client's side; emits closedByClient when it was open.
    void close();
    bool isOpen() const;
    bool isReading() const { return m_reading; }

    // Writes one line plus CR LF, Windows-1250; throws VimoError when there is no connection.
    void sendLine(const QString &text);
    // An answer to a line of the club's (keep-alive, ping, take-back question): the lines
    // that were still waiting when the club closed the connection are handled after the
    // close, and an answer to a peer that has gone is dropped without a word.
    void sendAnswer(const QString &text);

    // The gate may have opened: go on handing out lines that are waiting.
    void resume() { schedule(); }

    QTcpSocket *socket() const { return m_socket; }
    qsizetype bufferedBytes() const;

signals:
    void connected();
    // A connection attempt failed before it opened.
    void connectFailed(QAbstractSocket::SocketError error, const QString &message);
    // The server or the network ended the connection, or it sent a line that is too long.
    void lost();
    void closedByClient();
    void lineSent(const QString &line);

private:
    void schedule();
    void pump();
    std::optional<QByteArray> nextLine();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void stopReading();

    QTcpSocket *m_socket;
    LineFramer m_framer;
    std::function<void(const QString &)> m_handler;
    std::function<bool()> m_gate;
    bool m_reading = false;
    bool m_scheduled = false;
    bool m_peerClosed = false;
    bool m_closing = false;
    bool m_connecting = false;
    quint64 m_generation = 0;
};
