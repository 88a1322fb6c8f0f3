#include "BidLayout.h"

#include "cards/Hands.h"

namespace BidLayout {

void Render(QString &source, QStringList &target)
{
    QString indent(ColumnBlanks, QLatin1Char(' '));
    if (NextInt(source) == 3)
        indent = QString(3 * ColumnBlanks, QLatin1Char(' '));
    while (!source.isEmpty()) {
        const int n = NextInt(source);
        if (n == 0)
            target << indent + QStringLiteral("- Passz -");
        // A count larger than the words left ends with the text.
        for (int k = 0; k < n && !source.isEmpty(); ++k)
            target << indent + NextWord(source);
        if (indent.size() > 2 * ColumnBlanks)
            indent.clear();
        else
            indent += QString(ColumnBlanks, QLatin1Char(' '));
    }
}

int ColumnOf(const QString &line)
{
    int blanks = 0;
    while (blanks < line.size() && line[blanks] == QLatin1Char(' '))
        ++blanks;
    return std::min(blanks / ColumnBlanks, 3);
}

QString BidOf(const QString &line)
{
    int blanks = 0;
    while (blanks < line.size() && line[blanks] == QLatin1Char(' '))
        ++blanks;
    return line.mid(blanks);
}

} // namespace BidLayout
