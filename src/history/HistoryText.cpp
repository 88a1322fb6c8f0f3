#include "HistoryText.h"

THistoryHeader ReadHistoryHeader(QString &text)
{
    THistoryHeader header;
    header.Code = NextInt(text);
    header.Board = NextWord(text);
    header.Id = NextInt(text);
    return header;
}

QString TDealRecord::Split() const
{
    const qint64 second = Hands[0].Count() >= 10 ? Hands[0].Get(9) : 0;
    return QStringLiteral("%1 : %2").arg(10 - second).arg(second);
}

TDealRecord ReadDealRecord(QString text)
{
    TDealRecord record;
    record.Day = NextInt(text);
    record.Tag = NextWord(text);
    for (QString &name : record.Names)
        name = NextWord(text);
    for (THand &hand : record.Hands)
        for (int k = 0; k < 10; ++k)
            hand.Add(NextInt(text));
    return record;
}

TScoreSheet ReadScoreRows(const QString &scores)
{
    TScoreSheet sheet;
    QString rest = scores;
    while (rest.size() > 3) {
        TScoreRow row;
        row.Label = NextWord(rest);
        row.A = NextInt(rest);
        row.B = NextInt(rest);
        sheet.SumA += row.A;
        sheet.SumB += row.B;
        sheet.Rows.append(row);
    }
    return sheet;
}

QString PadNumber(qint64 n)
{
    const QString digits = QString::number(n);
    QString pad;
    for (qsizetype i = digits.size(); i < 6; ++i)
        pad += QStringLiteral("  ");
    if (n < 0)
        pad += QLatin1Char(' ');
    return pad + digits;
}

QList<qint32> ReadDays(QString text)
{
    QList<qint32> days;
    while (!text.isEmpty())
        days.append(NextInt(text));
    return days;
}

QList<TRowText> DealRowTexts(const QString &tag, const std::array<QString, 4> &names,
                             const QString &split, int tabWidth)
{
    const HistoryColumns::TColumns x = HistoryColumns::Columns(tabWidth);
    return {{x.X1, tag},
            {x.X2, names[0] + QLatin1Char('-') + names[3]},
            {x.X3, split},
            {x.X4, names[1] + QLatin1Char('-') + names[2]}};
}

QList<TRowText> BoardRowTexts(const QString &board, int tabWidth)
{
    const HistoryColumns::TColumns x = HistoryColumns::Columns(tabWidth);
    const QString attackers = QStringLiteral("--- Támadók ---");
    const QString defenders = QStringLiteral("---   Védők   ---");
    const bool odd = !board.isEmpty() && board.back().unicode() % 2 != 0;
    return {{x.X2, odd ? attackers : defenders}, {x.X4, odd ? defenders : attackers}};
}
