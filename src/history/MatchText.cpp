#include "MatchText.h"

QString MatchStatus(qint32 state, qint32 a)
{
    switch (state) {
    case -1: return QStringLiteral(" %1 perc múlva kezdődik").arg(a);
    case -2: return QStringLiteral(" Még %1 percig várunk").arg(a);
    case -3: return QStringLiteral(" Befejeződött");
    default: break;
    }
    if (state < 0)
        // Negated in 64 bits: the lowest 32-bit code has no 32-bit opposite.
        return QStringLiteral("%1 perce befejeződött").arg(-qint64(state));
    return QStringLiteral(" %1 leosztás után").arg(state);
}

TMatchRow MatchRow(qint32 deals, qint32 state, qint32 a, qint32 b, const QString &room1,
                   const QString &room2)
{
    TMatchRow row;
    row.Tab1 = room1.left(TMatchRow::TabSize);
    row.Tab2 = room2.left(TMatchRow::TabSize);
    row.Leo = deals;
    const bool waiting = state == -1 || state == -2;
    if (waiting) {
        row.Res = QStringLiteral("- - -");
        row.Id = b;
    } else {
        row.Res = QStringLiteral("%1 : %2").arg(a).arg(b).left(TMatchRow::ResSize);
        row.Dif = qint64(a) - qint64(b);
    }
    row.Status = MatchStatus(state, a).left(TMatchRow::StatusSize);
    return row;
}

TMatchRow ReadMatchRow(QString &text)
{
    const qint32 deals = NextInt(text);
    const qint32 state = NextInt(text);
    const qint32 a = NextInt(text);
    const qint32 b = NextInt(text);
    const QString room1 = NextWord(text);
    const QString room2 = NextWord(text);
    return MatchRow(deals, state, a, b, room1, room2);
}

QString DifText(qint64 dif)
{
    return dif == 0 ? QString() : QString::number(dif);
}

TLineUp ReadLineUp(QString &text)
{
    TLineUp lineUp;
    for (const TLineUpCell &cell : LineUpOrder)
        lineUp[cell.Col - 1][cell.Row - 1] = NextWord(text);
    return lineUp;
}

QString ProposalLine(int dealsIndex, const QString &timeText, const TLineUp &lineUp)
{
    // Blanks in front are how the list's own items are written; nothing else is allowed.
    qsizetype first = 0;
    while (first < timeText.size() && timeText[first] == QLatin1Char(' '))
        ++first;
    qint32 minutes = 0;
    try {
        minutes = StrToInt(timeText.mid(first));
    } catch (const ConversionError &) {
        Fail(QStringLiteral("Hibás kezdési idő"));
    }

    TLineUp names;
    for (int i = 0; i < 8; ++i) {
        const int col = i / 4, row = i % 4;
        const QString name = RemoveBlanks(lineUp[col][row]);
        if (name.size() < 2)
            Fail(QStringLiteral("Hibás név ") + name);
        names[col][row] = name;
    }
    for (int i = 0; i < 8; ++i)
        for (int j = i + 1; j < 8; ++j)
            if (names[i / 4][i % 4] == names[j / 4][j % 4])
                Fail(QStringLiteral("Minden név csak 1x szerepelhet"));

    const int deals = 2 * dealsIndex + 2;
    QString line = QStringLiteral("R0 %1 %2").arg(deals).arg(minutes);
    for (const TLineUpCell &cell : LineUpOrder)
        line += QLatin1Char(' ') + names[cell.Col - 1][cell.Row - 1];
    return line;
}

int DealsIndex(qint32 deals, int itemCount)
{
    const int index = deals / 2 - 1;
    return index >= 0 && index < itemCount ? index : -1;
}
