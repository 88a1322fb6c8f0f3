#pragma once
// Cuts a byte stream into lines ended by CR LF. A lone CR or LF is text: the club's
// lines may carry either inside a chat message. Complete lines are handed out one at a
// time so that the caller decides when to read more; the framer itself never holds
// more than the longest allowed line plus the last chunk fed to it.

#include <QByteArray>
#include <optional>

class LineFramer
{
public:
    static constexpr qsizetype DefaultLimit = 16384;

    explicit LineFramer(qsizetype limit = DefaultLimit) : m_limit(limit) {}

    void feed(const char *data, qsizetype size);
    void feed(const QByteArray &bytes) { feed(bytes.constData(), bytes.size()); }

    // The next complete line without its CR LF, or nothing when none is complete.
    // After a line longer than the limit, overflowed() is true and no more lines come.
    std::optional<QByteArray> takeLine();

    bool overflowed() const { return m_overflow; }
    qsizetype buffered() const { return m_buffer.size() - m_start; }
    qsizetype limit() const { return m_limit; }
    // Forgets everything, the overflow included: a new connection starts clean.
    void clear();

private:
    void compact();

    QByteArray m_buffer;
    qsizetype m_start = 0; // first unread byte
    qsizetype m_scan = 0;  // where the search for CR LF goes on; bytes before it hold none
    qsizetype m_limit;
    bool m_overflow = false;
};
