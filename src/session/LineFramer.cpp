#include "LineFramer.h"

#include <cstring>

void LineFramer::feed(const char *data, qsizetype size)
{
    if (m_overflow || size <= 0)
        return;
    compact();
    m_buffer.append(data, size);
}

void LineFramer::compact()
{
    if (m_start == 0)
        return;
    m_buffer.remove(0, m_start);
    m_scan -= m_start;
    m_start = 0;
}

std::optional<QByteArray> LineFramer::takeLine()
{
    if (m_overflow)
        return std::nullopt;
    const char *base = m_buffer.constData();
    const qsizetype end = m_buffer.size();
    qsizetype from = std::max(m_scan, m_start);
    while (from < end) {
        const void *hit = std::memchr(base + from, '\r', size_t(end - from));
        if (!hit) {
            from = end;
            break;
        }
        const qsizetype cr = static_cast<const char *>(hit) - base;
        if (cr + 1 >= end) {
            from = cr; // the LF may still come
            break;
        }
        if (base[cr + 1] == '\n') {
            const qsizetype length = cr - m_start;
            if (length > m_limit) {
                m_overflow = true;
                return std::nullopt;
            }
            QByteArray line(base + m_start, length);
            m_start = cr + 2;
            m_scan = m_start;
            if (m_start == end) {
                // Everything read: the buffer keeps its room for the next chunk rather than
                // being given back and asked for again on every read.
                m_buffer.resize(0);
                m_start = 0;
                m_scan = 0;
            }
            return line;
        }
        from = cr + 1;
    }
    m_scan = std::min(from, end);
    // Without a terminator the partial line may end in the CR of its CR LF, hence + 1.
    if (end - m_start > m_limit + 1)
        m_overflow = true;
    return std::nullopt;
}

void LineFramer::clear()
{
    m_buffer.clear();
    m_start = 0;
    m_scan = 0;
    m_overflow = false;
}
