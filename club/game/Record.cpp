#include "Record.h"

#include <QByteArray>
#include <climits>

#include "LineText.h"
#include "cards/Hands.h"

namespace club {

namespace {

const QString kMark = QStringLiteral("VD1");

// Text fields are percent-encoded behind a "=", so that no field is ever empty and none
// holds a blank, whatever a nickname or a bid text contains.
QByteArray encodedBody(const QString &text)
{
    return text.toUtf8().toPercentEncoding();
}

void appendField(QString &line, const QString &text)
{
    line += QLatin1String(" =");
    line += QLatin1String(encodedBody(text));
}

std::optional<QString> decodeField(QStringView field)
{
    if (!field.startsWith(QLatin1Char('=')))
        return std::nullopt;
    const QStringView body = field.sliced(1);
    for (QChar c : body)
        if (c.unicode() > 0x7E || c.unicode() <= 0x20)
            return std::nullopt;
    const QByteArray latin = body.toLatin1();
    const QString text = QString::fromUtf8(QByteArray::fromPercentEncoding(latin));
    // What was not written by appendField does not come back the same way.
    if (encodedBody(text) != latin)
        return std::nullopt;
    return text;
}

// A number as QString::number writes it, within low..high.
std::optional<int> readInt(QStringView word, int low, int high)
{
    if (word.isEmpty() || word.size() > 11)
        return std::nullopt;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        const bool sign = i == 0 && c == QLatin1Char('-') && word.size() > 1;
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return std::nullopt;
    }
    // No leading zero, no "-0": the one way QString::number writes a number.
    const qsizetype first = word[0] == QLatin1Char('-') ? 1 : 0;
    if (word[first] == QLatin1Char('0') && (first == 1 || word.size() > 1))
        return std::nullopt;
    bool ok = false;
    const qlonglong v = word.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return int(v);
}

bool isScoreRow(const QString &row)
{
    const QList<QStringView> words = QStringView(row).split(QLatin1Char(' '));
    return words.size() == 3 && !words[0].isEmpty() && readInt(words[1], -1000000, 1000000)
        && readInt(words[2], -1000000, 1000000);
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// A word of a history reply: the client splits on blanks.
bool isWord(const QString &text)
{
    return !text.contains(QLatin1Char(' ')) && !hasLineBreak(text);
}

QString dealTag(const DealRecord &deal)
{
    // The tag names the deal's balance for side 1-4, the column that follows it.
    int balance = 0;
    for (QString row : deal.scoreRows) {
        const QStringList words = row.split(QLatin1Char(' '));
        if (words.size() == 3)
            balance += words[1].toInt() - words[2].toInt();
    }
    return balance > 0 ? QLatin1Char('+') + QString::number(balance) : QString::number(balance);
}

} // namespace

QString DealRecord::toText() const
{
    QString text;
    text.reserve(512);
    text += kMark;
    text += QLatin1Char(' ');
    text += board;
    AppendBlankNumber(text, id);
    AppendBlankNumber(text, day);
    for (const QString &name : names)
        appendField(text, name);
    const int tricks = int(takenBy23.size());
    AppendBlankNumber(text, tricks);
    for (const QList<int> &cards : played)
        for (int k = 0; k < tricks; ++k)
            AppendBlankNumber(text, k < cards.size() ? cards[k] : 0);
    for (int n : takenBy23)
        AppendBlankNumber(text, n);
    appendField(text, bidText);
    AppendBlankNumber(text, int(scoreRows.size()));
    for (const QString &row : scoreRows)
        appendField(text, row);
    return text;
}

std::optional<DealRecord> DealRecord::fromText(const QString &text)
{
    const QList<QStringView> words = QStringView(text).split(QLatin1Char(' '));
    qsizetype at = 0;
    auto next = [&]() -> QStringView { return at < words.size() ? words[at++] : QStringView(); };
    if (next() != kMark)
        return std::nullopt;
    DealRecord r;
    r.board = next().toString();
    // A board is the deal number as the club wrote it, sign included.
    if (!readInt(r.board, INT_MIN, INT_MAX))
        return std::nullopt;
    const auto id = readInt(next(), INT_MIN, INT_MAX);
    const auto day = readInt(next(), INT_MIN, INT_MAX);
    if (!id || !day)
        return std::nullopt;
    r.id = *id;
    r.day = *day;
    for (QString &name : r.names) {
        const auto decoded = decodeField(next());
        if (!decoded || !isWord(*decoded))
            return std::nullopt;
        name = *decoded;
    }
    const auto tricks = readInt(next(), 0, 10);
    if (!tricks)
        return std::nullopt;
    quint64 seen = 0;
    for (QList<int> &cards : r.played) {
        cards.reserve(*tricks);
        for (int k = 0; k < *tricks; ++k) {
            const auto card = readInt(next(), 1, 42);
            if (!card || (seen & (quint64(1) << *card)))
                return std::nullopt;
            seen |= quint64(1) << *card;
            cards << *card;
        }
    }
    for (int k = 0; k < *tricks; ++k) {
        const int before = k == 0 ? 0 : r.takenBy23.last();
        const auto n = readInt(next(), before, before + 1);
        if (!n)
            return std::nullopt;
        r.takenBy23 << *n;
    }
    const auto bids = decodeField(next());
    if (!bids || hasLineBreak(*bids))
        return std::nullopt;
    r.bidText = *bids;
    const auto rows = readInt(next(), 0, 200);
    if (!rows)
        return std::nullopt;
    for (int i = 0; i < *rows; ++i) {
        const auto row = decodeField(next());
        if (!row || !isScoreRow(*row))
            return std::nullopt;
        r.scoreRows << *row;
    }
    if (at != words.size())
        return std::nullopt;
    return r;
}

QString DaysReply(const QList<int> &days)
{
    QString line = QStringLiteral("Y");
    for (qsizetype i = 0; i < days.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(' ');
        line += QString::number(days[i]);
    }
    return line;
}

QStringList DealsReply(const QList<DealRecord> &deals)
{
    QStringList lines;
    for (const DealRecord &deal : deals) {
        QString line = QStringLiteral("X0 %1 %2 %3 %4")
                           .arg(deal.board, QString::number(deal.id), QString::number(deal.day), dealTag(deal));
        for (const QString &name : deal.names)
            line += QLatin1Char(' ') + name;
        // Ten numbers per list whatever was played: the history reads exactly fifty.
        for (int k = 0; k < 10; ++k)
            line += BlankInt(k < deal.takenBy23.size() ? deal.takenBy23[k] : (deal.takenBy23.isEmpty() ? 0 : deal.takenBy23.last()));
        for (const QList<int> &cards : deal.played)
            for (int k = 0; k < 10; ++k)
                line += BlankInt(k < cards.size() ? cards[k] : 0);
        lines << line;
    }
    return lines;
}

QString ScoresReply(const DealRecord &deal)
{
    return QStringLiteral("X1 %1 %2 %3").arg(deal.board, QString::number(deal.id), deal.scoreRows.join(QLatin1Char(' ')));
}

QString BidsReply(const DealRecord &deal)
{
    return QStringLiteral("X2 %1 %2 %3").arg(deal.board, QString::number(deal.id), deal.bidText);
}

} // namespace club
