#include "Hands.h"

#include "session/Cp1250.h"

#include <algorithm>

void Fail(const QString &message)
{
    throw VimoError(message);
}

int TrickWinner(const int cards[4])
{
    int best = 0;
    for (int i = 1; i < 4; ++i) {
        const int c = cards[i];
        const int b = cards[best];
        const bool cTarokk = Card::isTarokk(c);
        const bool bTarokk = Card::isTarokk(b);
        if (cTarokk && (!bTarokk || c > b))
            best = i;
        else if (!cTarokk && !bTarokk && SuitOf(c) == SuitOf(cards[0]) && c > b)
            best = i;
    }
    return best;
}

THand THand::CreateSlice(const THand &source, int count, int start)
{
    THand slice;
    slice.m_cards.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        slice.m_cards.append(source.Get(start + i));
    return slice;
}

void THand::checkIndex(int i) const
{
    if (i < 0 || i >= Count())
        throw RangeError(QStringLiteral("Listaindex a határokon kívül (%1)").arg(i));
}

void THand::SetCount(int n)
{
    if (n < 0)
        throw RangeError(QStringLiteral("Érvénytelen listahossz (%1)").arg(n));
    m_cards.resize(n);
}

qint32 THand::Get(int i) const
{
    checkIndex(i);
    return m_cards[i];
}

void THand::Put(int i, qint32 v)
{
    if (i < 0)
        throw RangeError(QStringLiteral("Listaindex a határokon kívül (%1)").arg(i));
    if (i >= Count())
        m_cards.resize(i + 1);
    m_cards[i] = v;
}

void THand::Sort()
{
    // A hand is a few dozen numbers, but the text it was read from came from outside and may
    // hold thousands.
    std::sort(m_cards.begin(), m_cards.end());
}

void THand::Swap(int i, int j)
{
    checkIndex(i);
    checkIndex(j);
    std::swap(m_cards[i], m_cards[j]);
}

void THand::CountSuits(THand &dest) const
{
    dest.m_cards.fill(0, 5);
    for (qint32 v : m_cards)
        ++dest.m_cards[SuitOf(v)];
}

QString THand::GetText() const
{
    QString text;
    for (qint32 v : m_cards)
        text += BlankInt(v);
    return text;
}

void THand::SetText(const QString &text)
{
    m_cards.clear();
    QString rest = text;
    while (!rest.isEmpty())
        Add(NextInt(rest));
}

QString NextField(QString &text, QChar separator)
{
    const qsizetype p = text.indexOf(separator);
    if (p < 0) {
        QString field = text;
        text.clear();
        return field;
    }
    QString field = text.left(p);
    text.remove(0, p + 1);
    return field;
}

QString NextWord(QString &text)
{
    return NextField(text, QLatin1Char(' '));
}

QString ShortQuote(const QString &text)
{
    if (text.size() <= QuoteLength)
        return text;
    qsizetype keep = QuoteLength - 1;
    // Never half a character: a surrogate pair stays whole or goes.
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QChar(0x2026);
}

namespace {

bool readInt(QStringView word, int &value)
{
    qsizetype i = 0;
    if (!word.isEmpty() && (word[0] == QLatin1Char('-') || word[0] == QLatin1Char('+')))
        i = 1;
    bool ok = i < word.size();
    for (qsizetype k = i; ok && k < word.size(); ++k)
        ok = word[k] >= QLatin1Char('0') && word[k] <= QLatin1Char('9');
    if (ok)
        value = word.toInt(&ok, 10);
    return ok;
}

ConversionError notANumber(const QString &word)
{
    return ConversionError(QLatin1Char('\'') + ShortQuote(word) + QStringLiteral("' nem érvényes egész szám"));
}

} // namespace

int StrToInt(const QString &word)
{
    int value = 0;
    if (!readInt(word, value))
        throw notANumber(word);
    return value;
}

int StrToIntDef(const QString &word, int fallback)
{
    int value = 0;
    return readInt(word, value) ? value : fallback;
}

int NextInt(QString &text)
{
    // The word is read where it stands: a line of numbers needs no text of its own for each.
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const qsizetype length = blank < 0 ? text.size() : blank;
    int value = 0;
    const bool ok = length == 0 || readInt(QStringView(text).first(length), value);
    const QString bad = ok ? QString() : text.left(length);
    if (blank < 0)
        text.clear();
    else
        text.remove(0, blank + 1);
    if (!ok)
        throw notANumber(bad);
    return value;
}

QString SafeField(const QString &value)
{
    QString field = value;
    field.replace(QLatin1Char(';'), QLatin1Char(','));
    field += QLatin1Char(';');
    return field;
}

QString RemoveBlanks(const QString &value)
{
    QString text = value;
    text.remove(QLatin1Char(' '));
    return text;
}

QString BlankInt(int n)
{
    return QLatin1Char(' ') + QString::number(n);
}

qint32 PasswordDigest(const QString &password)
{
    if (password.isEmpty())
        return 0;
    const QByteArray bytes = Cp1250::encode(password);
    qint32 h = 523;
    const int n = int(std::min<qsizetype>(bytes.size(), 16));
    for (int i = 1; i <= n; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i - 1]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        h = h + qint32(c & 127) * 123503 - i;
    }
    return h;
}

QList<TBidList::Turn> TBidList::Turns(const QString &text)
{
    QList<Turn> turns;
    QString rest = text;
    int seat = FirstSeat(NextInt(rest));
    while (!rest.isEmpty()) {
        Turn turn;
        turn.Seat = seat;
        turn.Count = NextInt(rest);
        // Stop at the end of the text rather than invent empty words: a hostile count must
        // not make us append two billion of them.
        for (int k = 0; k < turn.Count && !rest.isEmpty(); ++k)
            turn.Bids.append(NextWord(rest));
        turns.append(std::move(turn));
        seat = seat % 4 + 1;
    }
    return turns;
}

void TBidList::Parse(const QString &text, int seat)
{
    if (text.size() == 1)
        return;
    const QList<Turn> turns = Turns(text);
    const auto sideOf = [](int s) { return s == 2 || s == 3 ? 2 : 1; };
    QStringList picked;
    for (const Turn &turn : turns) {
        const bool wanted = seat > 0 ? turn.Seat == seat : sideOf(turn.Seat) == sideOf(-seat);
        if (wanted)
            picked.append(turn.Bids);
    }
    QStringList::operator=(std::move(picked));
}

int BidGroupSeat(int firstSeat, int group)
{
    return ((firstSeat + group - 2) % 4 + 4) % 4 + 1;
}
