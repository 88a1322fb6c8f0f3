#include "Member.h"

#include "session/Cp1250.h"

#include <QTimer>

namespace club {

WireLine::WireLine(const QString &line)
    // The client closes its side on a longer line.
    : fits(line.size() <= LineFramer::DefaultLimit)
{
    if (!fits)
        return;
    // Most of what the club says is ASCII, where the code page is the identity: Qt's own
    // conversion does it in one pass, and one byte per character shows it was ASCII.
    bytes = line.toUtf8();
    if (bytes.size() != line.size())
        bytes = Cp1250::encode(line);
}

WireLine::WireLine(QByteArray encoded, qsizetype length)
    : fits(length <= LineFramer::DefaultLimit)
{
    if (fits)
        bytes = std::move(encoded);
}

Member::Member(QTcpSocket *socket, const Limits &limits, OutputBudget *budget, QObject *parent)
    : QObject(parent), m_socket(socket), m_budget(budget), m_limits(limits), m_tokens(limits.burst)
{
    m_socket->setParent(this);
    // The club sends no keep-alive lines (the client would answer one as a host's request
    // for a new deal), so the system finds the peers that vanished without a word.
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    // What a member sends faster than the club reads stays in the kernel, and TCP slows the
    // sender down; without a bound the socket would take in all of it and the club's memory
    // would grow with every flood.
    m_socket->setReadBufferSize(ReadBuffer);
    // The system would let the kernel hold megabytes for each reader who stops reading, on
    // top of what the club holds; a card game needs far less on its way.
    m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, int(SendBuffer));
    // Kept from the start: a closed socket no longer knows its peer, and the log wants it.
    m_address = m_socket->peerAddress();
    m_peer = QStringLiteral("%1:%2").arg(m_address.toString()).arg(m_socket->peerPort());
    m_clock.start();
    connect(m_socket, &QTcpSocket::readyRead, this, &Member::readLines);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &Member::account);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        account();
        if (!m_goneSent) {
            m_goneSent = true;
            emit gone(this);
        }
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            m_socket->abort();
    });
}

Member::~Member()
{
    if (m_budget && m_counted)
        m_budget->change(this, m_counted, 0);
}

void Member::account()
{
    const qint64 now = m_socket->bytesToWrite();
    if (now == m_counted)
        return;
    const qint64 before = m_counted;
    m_counted = now;
    if (m_budget)
        m_budget->change(this, before, now);
}

void Member::send(const WireLine &line)
{
    // A peer that has gone but whose going is not yet handled gets nothing.
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_socket->bytesToWrite() > m_limits.maxUnsent) {
        // A reader who stopped reading would make the club hold its lines forever.
        cutOff();
        return;
    }
    if (!line.fits)
        return;
    // Two writes into the socket's buffer, not a copy of the line with its end.
    m_socket->write(line.bytes);
    m_socket->write("\r\n", 2);
    account();
}

void Member::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        return;
    // A peer that does not read would hold the closing connection, with all it was sent, for
    // ever. The timer is the connection's own and goes with it.
    auto *deadline = new QTimer(this);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, &Member::cutOff);
    deadline->start(m_limits.closingMs);
}

void Member::cutOff()
{
    m_closing = true;
    m_socket->abort();
    account();
}

bool Member::takeToken()
{
    const qint64 now = m_clock.elapsed();
    m_tokens = std::min<double>(m_limits.burst, m_tokens + (now - m_lastRefill) * m_limits.perSecond / 1000.0);
    m_lastRefill = now;
    if (m_tokens >= 1) {
        m_tokens -= 1;
        return true;
    }
    // One notice a second is enough to tell a flooding client; more would be a flood back.
    if (now - m_lastFloodNotice >= 1000) {
        m_lastFloodNotice = now;
        emit flooded(this);
    }
    return false;
}

void Member::readLines()
{
    // Read in bounded chunks so that one member's burst does not starve the others: past a
    // turn's share the rest waits for the next turn of the event loop.
    char chunk[8192];
    qint64 budget = ReadBuffer;
    while (!m_closing && m_socket->bytesAvailable() > 0) {
        if (budget <= 0) {
            if (!m_readQueued) {
                m_readQueued = true;
                QMetaObject::invokeMethod(this, [this] {
                    m_readQueued = false;
                    readLines();
                }, Qt::QueuedConnection);
            }
            return;
        }
        const qint64 n = m_socket->read(chunk, sizeof chunk);
        if (n <= 0)
            break;
        budget -= n;
        m_framer.feed(chunk, n);
        while (!m_closing) {
            const auto line = m_framer.takeLine();
            if (!line)
                break;
            // The answer to a ping the club passed on is the client's, not its user's: it does
            // not spend the user's lines. Any other "G" does.
            const bool owedAnswer = line->startsWith('G') && pingsToAnswer > 0;
            if (owedAnswer)
                --pingsToAnswer;
            // Empty lines mean nothing, but they cost reading like any other.
            else if (!takeToken() || line->isEmpty())
                continue;
            QPointer<Member> self(this);
            emit lineReceived(this, Cp1250::decode(*line));
            if (!self)
                return;
        }
        if (m_framer.overflowed() && !m_closing) {
            emit overlong(this);
            cutOff();
            return;
        }
    }
}

} // namespace club
