// Bytes in any cut: the framer must hand out exactly the CR LF lines of the stream, stay
// within its bound, and the codec must give the bytes back unchanged.

#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the chunk size the stream arrives in.
    const qsizetype chunk = 1 + data[0] % 64;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype n = qsizetype(size) - 1;

    LineFramer framer(256);
    QByteArray joined;
    joined.reserve(n);
    for (qsizetype at = 0; at < n && !framer.overflowed(); at += chunk) {
        framer.feed(bytes + at, std::min(chunk, n - at));
        while (auto line = framer.takeLine()) {
            if (line->contains("\r\n") || line->size() > framer.limit())
                std::abort();
            joined += *line;
            joined += "\r\n";
            if (Cp1250::encode(Cp1250::decode(*line)) != *line)
                std::abort();
        }
        if (framer.buffered() > framer.limit() + 1 + chunk)
            std::abort();
    }
    // What came out is a prefix of what went in.
    if (!framer.overflowed() && QByteArray(bytes, n).left(joined.size()) != joined)
        std::abort();
    return 0;
}
