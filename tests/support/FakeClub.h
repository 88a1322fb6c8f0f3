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
};
