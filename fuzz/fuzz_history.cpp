// The deal history's readers on any text, as the "X" and "Y" replies bring it: the header,
// an "X0" record, an "X1" score breakdown and the day list. Each gives a result or throws one
// of our errors; what it gives keeps its shape, whatever the numbers were.

#include "history/HistoryText.h"
#include "session/Cp1250.h"

#include <cstdint>
#include <cstdlib>

namespace {

template<typename F>
void tolerate(F &&work)
{
    try {
        work();
    } catch (const VimoError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(size));

    tolerate([&] {
        QString rest = text;
        const THistoryHeader header = ReadHistoryHeader(rest);
        if (rest.size() > text.size())
            std::abort();
        // The board word goes on a tree row; it never holds the blank that ended it.
        if (header.Board.contains(QLatin1Char(' ')))
            std::abort();
        const auto rows = BoardRowTexts(header.Board);
        if (rows.size() != 2 || rows[0].Text == rows[1].Text)
            std::abort();
        const TDealRecord record = ReadDealRecord(rest);
        for (const THand &hand : record.Hands)
            if (hand.Count() != 10)
                std::abort();
        // The split is drawn whatever the trick counts say, and stays one short text.
        const QString split = record.Split();
        if (!split.contains(QLatin1String(" : ")))
            std::abort();
        if (DealRowTexts(record.Tag, record.Names, split).size() != 4)
            std::abort();
    });

    tolerate([&] {
        const TScoreSheet sheet = ReadScoreRows(text);
        qint64 a = 0, b = 0;
        for (const TScoreRow &row : sheet.Rows) {
            a += row.A;
            b += row.B;
            // A padded number reads back as itself.
            if (PadNumber(row.A).trimmed() != QString::number(row.A))
                std::abort();
        }
        if (a != sheet.SumA || b != sheet.SumB)
            std::abort();
        // Ten rows of the widest 32-bit numbers still fit 64 bits; the difference is exact.
        if (sheet.Difference() != a - b)
            std::abort();
    });

    tolerate([&] {
        const QList<qint32> days = ReadDays(text);
        if (days.size() > text.size())
            std::abort();
    });
    return 0;
}
