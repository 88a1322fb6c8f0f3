#pragma once
// The club's side of the connection in a test: a QTcpServer on 127.0.0.1 that accepts one
// client, records every line the client sends and writes raw bytes back.

#include "session/Cp1250.h"

#include <QByteArray>
#include <QSignalSpy>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>

class FakeClub : public QObject
{
public:
    FakeClub()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                delete m_peer;
                m_peer = s;
                m_peer->setParent(nullptr);
                QObject::connect(m_peer, &QTcpSocket::readyRead, this, [this] { collect(); });
            }
        });
    }
    ~FakeClub() override { delete m_peer; }

    quint16 port() const { return m_server.serverPort(); }
    QTcpSocket *peer() const { return m_peer; }
    bool waitForClient(int ms = 5000)
    {
        return QTest::qWaitFor([this] { return m_peer != nullptr; }, ms);
    }

    // Lines the client sent, decoded, without CR LF.
    QStringList received;
    bool waitForLines(int count, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return received.size() >= count; }, ms);
    }

    // The lines the client has sent since the last call, in order. Looking at `received` alone
    // cannot show that nothing was sent: a line may still be on its way. So the client sends a
    // marker line of ours (`sendMarker` puts it through the client's own connection); it goes
    // out behind everything written before it, and once it is here, so is every earlier line.
    // Lines behind the marker stay for the next call.
    QStringList takeSent(const std::function<void(const QString &)> &sendMarker, int ms = 5000)
    {
        const QString mark = QStringLiteral("~mark%1").arg(++m_marker);
        sendMarker(mark);
        if (!QTest::qWaitFor([&] { return received.contains(mark); }, ms))
            return {QStringLiteral("marker never arrived")};
        const qsizetype at = received.indexOf(mark);
        QStringList lines = received.mid(0, at);
        received.remove(0, at + 1);
        return lines;
    }

    void sendRaw(const QByteArray &bytes)
    {
        m_peer->write(bytes);
        m_peer->flush();
    }
    void send(const QString &line) { sendRaw(Cp1250::encode(line) + "\r\n"); }
    void sendLines(const QStringList &lines)
    {
        QByteArray all;
        for (const QString &l : lines)
            all += Cp1250::encode(l) + "\r\n";
        sendRaw(all);
    }
    void closeClient() { m_peer->disconnectFromHost(); }

private:
    void collect()
    {
        m_pending += m_peer->readAll();
        qsizetype at;
        while ((at = m_pending.indexOf("\r\n")) >= 0) {
            received << Cp1250::decode(m_pending.left(at));
            m_pending.remove(0, at + 2);
        }
    }

    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    QByteArray m_pending;
    int m_marker = 0;
};
