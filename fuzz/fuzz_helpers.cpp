// The text helpers on any text: they either give a result or throw one of our errors,
// and never read outside the text.

#include "cards/Hands.h"
#include "session/Cp1250.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

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
    // Every word reads the same way: the first few dozen show whether each call consumes, and a
    // refused word costs an exception, which on a long text of such words would be most of the run.
    for (int words = 0; words < 64 && !text.isEmpty(); ++words) {
        const qsizetype before = text.size();
        try {
            NextInt(text);
        } catch (const ConversionError &) {
        }
        if (text.size() >= before)
            std::abort(); // every call consumes at least one character
    }
    // The bid text is read into turns once; a seat's pick and a side's pick must be exactly
    // the bids of those turns, in order.
    QList<TBidList::Turn> turns;
    bool readable = true;
    try {
        turns = TBidList::Turns(original);
    } catch (const ConversionError &) {
        readable = false;
        TBidList bids;
        try {
            bids.Parse(original, 1);
            if (original.size() != 1)
                std::abort(); // a text the turns refuse is refused by every pick
        } catch (const ConversionError &) {
        }
    }
    if (readable) {
        QStringList seat, side;
        const int pickedSeat = 1 + int(size % 4);
        const int pickedSide = pickedSeat == 2 || pickedSeat == 3 ? -2 : -1;
        for (const TBidList::Turn &turn : std::as_const(turns)) {
            if (turn.Seat == pickedSeat)
                seat += turn.Bids;
            if ((turn.Seat == 2 || turn.Seat == 3) == (pickedSide == -2))
                side += turn.Bids;
        }
        TBidList bids;
        bids.Parse(original, pickedSeat);
        if (original.size() != 1 && bids != seat)
            std::abort();
        bids.Parse(original, pickedSide);
        if (original.size() != 1 && bids != side)
            std::abort();
    }
    PasswordDigest(original);
    SafeField(original);
    return 0;
}
