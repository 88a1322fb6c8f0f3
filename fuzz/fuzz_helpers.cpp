// The text helpers on any text: they either give a result or throw one of our errors,
// and never read outside the text.

#include "cards/Hands.h"
#include "session/Cp1250.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString original = text;
    try {
        THand hand;
        hand.SetText(text);
        THand counts;
        hand.CountSuits(counts);
        if (counts.Count() != 5)
            std::abort();
        hand.Sort();
        for (int i = 1; i < hand.Count(); ++i)
            if (hand.Get(i - 1) > hand.Get(i))
                std::abort();
    } catch (const VimoError &) {
    }
    while (!text.isEmpty()) {
        const qsizetype before = text.size();
        try {
            NextInt(text);
        } catch (const ConversionError &) {
        }
        if (text.size() >= before)
            std::abort(); // every call consumes at least one character
    }
    TBidList bids;
    for (int seat : {-4, -3, -2, -1, 0, 1, 2, 3, 4, 9}) {
        try {
            bids.Parse(original, seat);
        } catch (const VimoError &) {
        }
    }
    PasswordDigest(original);
    SafeField(original);
    return 0;
}
