#pragma once
// SplitMix64: small, well known and the same on every platform, unlike the standard
// library's distributions and shuffles, so that a deal number means the same cards and the
// same robot choices everywhere.

#include <QtGlobal>

namespace club {

class SplitMix64
{
public:
    explicit SplitMix64(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 for n > 0; the slight bias of the modulo is of no account for 64-bit draws.
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 m_state;
};

} // namespace club
