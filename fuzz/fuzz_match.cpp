// The team match list and invitation as the "R" line brings them, without the window: rows
// of six words read until the text is used up, and an invitation's line-up turned back into
// a proposal. Every row's texts keep to the widths of their columns.

#include "history/MatchText.h"
#include "session/Cp1250.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(size));

    // The list: the window reads rows while text is left.
    try {
        QString rest = text;
        while (!rest.isEmpty()) {
            const qsizetype before = rest.size();
            const TMatchRow row = ReadMatchRow(rest);
            if (rest.size() >= before)
                std::abort(); // a row that reads nothing would never end the list
            if (row.Tab1.size() > TMatchRow::TabSize || row.Tab2.size() > TMatchRow::TabSize
                || row.Res.size() > TMatchRow::ResSize || row.Status.size() > TMatchRow::StatusSize)
                std::abort();
            if (row.Dif == 0 && !DifText(row.Dif).isEmpty())
                std::abort();
        }
    } catch (const VimoError &) {
    }

    // An invitation: a match number, the deals, the start and the line-up.
    try {
        QString rest = text;
        const qint32 deals = NextInt(rest);
        const QString minutes = NextWord(rest);
        const TLineUp lineUp = ReadLineUp(rest);
        for (int items : {0, 1, 5, 10}) {
            const int index = DealsIndex(deals, items);
            if (index < -1 || index >= items)
                std::abort();
        }
        const QString line = ProposalLine(DealsIndex(deals, 10), minutes, lineUp);
        // What the checks let through is a proposal of words the club reads back.
        if (!line.startsWith(QLatin1String("R0 ")))
            std::abort();
        QString back = line.mid(3);
        NextInt(back);
        NextInt(back);
        const TLineUp again = ReadLineUp(back);
        for (const auto &column : again)
            for (const QString &name : column)
                if (name.size() < 2)
                    std::abort();
    } catch (const VimoError &) {
    }
    return 0;
}
