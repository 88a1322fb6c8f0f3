#include "Link.h"

#include "Cp1250.h"
#include "cards/Hands.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

Link::Link(QObject *parent) : QObject(parent), m_socket(new QTcpSocket(this))
{
    setObjectName(QStringLiteral("Link"));
    // Bounded read buffer: while lines wait (a modal box is open) the kernel holds the
    // rest and TCP slows the sender down, instead of the client swallowing everything.
    m_socket->setReadBufferSize(ReadChunk);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connecting = false;
        m_reading = true;
        m_peerClosed = false;
        emit connected();
        schedule();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &Link::schedule);
    connect(m_socket, &QTcpSocket::disconnected, this, &Link::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &Link::onError);
}

Link::~Link()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void Link::connectToHost(const QString &host, quint16 port)
{
    close();
    m_framer.clear();
    ++m_generation;
    m_peerClosed = false;
    m_connecting = true;
    m_socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
}

bool Link::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void Link::close()
{
    const bool wasOpen = isOpen();
    m_closing = true;
    m_connecting = false;
    stopReading();
    m_socket->abort();
    m_framer.clear();
    m_closing = false;
    ++m_generation;
    if (wasOpen)
        emit closedByClient();
}

void Link::stopReading()
{
    m_reading = false;
}

qsizetype Link::bufferedBytes() const
{
    return m_framer.buffered() + m_socket->bytesAvailable();
}

void Link::sendLine(const QString &text)
{
    if (!isOpen())
        Fail(QStringLiteral("Nincs kapcsolat a szerverrel."));
    // CR LF is the only line end; inside the text it would start a second command.
    QString single = text;
    single.replace(QLatin1String("\r\n"), QLatin1String(" "));
    QByteArray bytes = Cp1250::encode(single);
    bytes.append("\r\n", 2);
    if (m_socket->write(bytes) != bytes.size())
        Fail(QStringLiteral("Sikertelen küldés: %1").arg(m_socket->errorString()));
    emit lineSent(single);
}

void Link::sendAnswer(const QString &text)
{
    if (isOpen())
        sendLine(text);
}

void Link::schedule()
{
    if (m_scheduled || !m_reading)
        return;
    m_scheduled = true;
    // A queued call, not a loop: the user's clicks and keys, and the repaint of what the
    // last lines changed, run between two slices of lines.
    QMetaObject::invokeMethod(this, &Link::pump, Qt::QueuedConnection);
}

std::optional<QByteArray> Link::nextLine()
{
    std::optional<QByteArray> line = m_framer.takeLine();
    while (!line && !m_framer.overflowed() && m_socket->bytesAvailable() > 0) {
        char chunk[4096];
        qsizetype budget = ReadChunk;
        while (budget > 0) {
            const qint64 got = m_socket->read(chunk, std::min<qsizetype>(sizeof chunk, budget));
            if (got <= 0)
                break;
            m_framer.feed(chunk, got);
            budget -= got;
        }
        line = m_framer.takeLine();
    }
    return line;
}

void Link::pump()
{
    m_scheduled = false;
    // Lines are handled in slices of a few milliseconds. One line per turn of the event
    // loop would repaint every changed window after each line (a few thousand lines/s);
    // a slice lets a burst through at full speed while the screen still follows it at
    // the pace of the slices, and a window never misses its repaint.
    QElapsedTimer slice;
    slice.start();
    const quint64 generation = m_generation;
    do {
        if (!m_reading || (m_gate && !m_gate()))
            return; // resume() starts again when the gate opens

        std::optional<QByteArray> line = nextLine();
        if (m_framer.overflowed()) {
            // The line is longer than any the club may send: treat it as a broken connection.
            stopReading();
            m_framer.clear();
            m_socket->abort();
            emit lost();
            return;
        }
        if (!line) {
            if (m_peerClosed) {
                stopReading();
                emit lost();
            }
            return;
        }
        if (m_handler && !line->isEmpty())
            m_handler(Cp1250::decode(*line));
        // The handler may have logged in again or closed the connection.
        if (generation != m_generation)
            return;
    } while (slice.elapsed() < SliceMs);
    schedule();
}

void Link::onDisconnected()
{
    if (m_closing)
        return;
    if (m_reading) {
        // Lines that arrived before the close are still handled; then the loss is reported.
        m_peerClosed = true;
        schedule();
    }
}

void Link::onError(QAbstractSocket::SocketError error)
{
    if (m_closing)
        return;
    if (m_connecting) {
        m_connecting = false;
        emit connectFailed(error, m_socket->errorString());
        return;
    }
    if (error != QAbstractSocket::RemoteHostClosedError && m_reading) {
        m_peerClosed = true;
        schedule();
    }
}
