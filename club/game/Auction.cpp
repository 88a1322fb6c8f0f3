#include "Auction.h"

#include "LineText.h"
#include "bidding/Catalogue.h"
#include "cards/HandRules.h"

namespace club {

namespace {

const QChar kNoBreakSpace(0x00A0);

// 0-based catalogue rows of the groups the auction cares about.
constexpr int FirstBiddable = 9;   // "Vizi"; the silent ones and the two counts come before
constexpr int FirstRaiser = 26;    // " ulti" .. " sólyom"
constexpr int LastRaiser = 32;
constexpr int Banda = 33;
constexpr int Mariage = 43;

const char16_t *const kRaisers[4] = {u"Pagát", u"Sas", u"Kakadu", u"Kanári"};
const char16_t *const kSuits[4] = {u"Treff", u"Káró", u"Kőr", u"Pikk"};

// A word as a notice quotes it: a sender's endless word is not worth sending back whole.
QString quoted(const QString &word)
{
    constexpr int Longest = 40;
    return word.size() > Longest ? word.left(Longest) + QChar(0x2026) : word;
}

bool isSignalForm(const QString &word)
{
    if (word == QLatin1String("Flush") || word == QLatin1String("Matador") || word == QLatin1String("Vannak"))
        return true;
    const qsizetype gap = word.indexOf(kNoBreakSpace);
    if (gap <= 0 || gap > 2)
        return false;
    for (qsizetype i = 0; i < gap; ++i)
        if (!word[i].isDigit() || word[i].unicode() > '9')
            return false;
    const QString what = word.mid(gap + 1);
    if (what == QLatin1String("Tarokk"))
        return true;
    for (const char16_t *suit : kSuits)
        if (what == QStringView(suit))
            return true;
    return false;
}

} // namespace

const QStringList &HonourChain()
{
    static const QStringList c{QStringLiteral("Honőr"), QStringLiteral("Köpf"), QStringLiteral("Trull")};
    return c;
}

const QStringList &TrickChain()
{
    static const QStringList c{QStringLiteral("Gém"), QStringLiteral("Kassza"), QStringLiteral("Bridzs"),
                               QStringLiteral("Oktáv"), QStringLiteral("Mizer"), QStringLiteral("Volát")};
    return c;
}

std::optional<BidToken> ReadToken(const QString &word)
{
    BidToken t;
    QString base = word;
    if (base.startsWith(QLatin1String("**"))) {
        t.contra = 2;
        base.remove(0, 2);
    } else if (base.startsWith(QLatin1Char('*'))) {
        t.contra = 1;
        base.remove(0, 1);
    }
    if (base.isEmpty() || base.startsWith(QLatin1Char('*')))
        return std::nullopt;
    t.base = base;
    if (isSignalForm(base)) {
        t.kind = BidToken::Signal;
        return t;
    }
    const int row = Catalogue::IndexOf(base);
    if (row >= 0) {
        // A name that needs a word in front of it is no bid on its own.
        if (base.startsWith(kNoBreakSpace))
            return std::nullopt;
        t.row = row;
        return t;
    }
    const qsizetype gap = base.indexOf(kNoBreakSpace);
    if (gap <= 0)
        return std::nullopt;
    const QString front = base.left(gap);
    const int named = Catalogue::IndexOf(base.mid(gap));
    if (named >= FirstRaiser && named <= LastRaiser) {
        for (int i = 0; i < 4; ++i)
            if (front == QStringView(kRaisers[i])) {
                t.kind = BidToken::Raised;
                t.row = named;
                t.card = Card::Pagat + i;
                return t;
            }
        return std::nullopt;
    }
    if (named == Banda || named == Mariage) {
        for (int i = 0; i < 4; ++i)
            if (front == QStringView(kSuits[i])) {
                t.kind = BidToken::Suited;
                t.row = named;
                t.card = i;
                return t;
            }
    }
    return std::nullopt;
}

QString Auction::text() const
{
    return writeText(QChar());
}

QString Auction::line(QLatin1Char letter) const
{
    return writeText(letter);
}

QString Auction::writeText(QChar letter) const
{
    qsizetype length = 13;
    for (const BidTurn &turn : m_turns) {
        length += 4;
        for (const QString &bid : turn.bids)
            length += 1 + bid.size();
    }
    QString line;
    line.reserve(length);
    if (!letter.isNull())
        line.append(letter);
    AppendNumber(line, m_opener);
    for (const BidTurn &turn : m_turns) {
        AppendBlankNumber(line, int(turn.bids.size()));
        for (const QString &bid : turn.bids) {
            line.append(QLatin1Char(' '));
            line.append(bid);
        }
    }
    return line;
}

bool Auction::finished() const
{
    const qsizetype n = m_turns.size();
    if (n < 4)
        return false;
    for (qsizetype i = n - 3; i < n; ++i)
        if (!m_turns[i].bids.isEmpty())
            return false;
    return true;
}

int Auction::onTurn() const
{
    return (m_opener - 1 + int(m_turns.size())) % 4 + 1;
}

QStringList Auction::sideBids(int side) const
{
    QStringList bids;
    for (const BidTurn &turn : m_turns)
        if (SideOf(turn.seat) == side)
            bids += turn.bids;
    return bids;
}

QStringList Auction::seatBids(int seat) const
{
    QStringList bids;
    for (const BidTurn &turn : m_turns)
        if (turn.seat == seat)
            bids += turn.bids;
    return bids;
}

void Auction::add(int seat, const QStringList &bids)
{
    m_turns.append(BidTurn{seat, bids});
}

bool Auction::undo()
{
    if (m_turns.isEmpty())
        return false;
    m_turns.removeLast();
    return true;
}

QString Auction::check(int seat, const QString &turn, const QList<int> &hand, QStringList &bids) const
{
    // A turn holds at most this many bids; a longer one is a fault of the sender, and the
    // whole bid text goes out to everybody after every turn.
    constexpr int MaxBids = 24;
    // Words up to each blank, as NextWord reads them, without a text for what is left.
    QStringView rest = turn;
    auto nextWord = [&rest] {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        const QStringView word = blank < 0 ? rest : rest.first(blank);
        rest = blank < 0 ? QStringView() : rest.sliced(blank + 1);
        return word;
    };
    const QStringView countWord = nextWord();
    bool digits = !countWord.isEmpty() && countWord.size() <= 3;
    for (QChar c : countWord)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits)
        return QStringLiteral("Hibás licitszám: %1").arg(quoted(countWord.toString()));
    const int count = countWord.toInt();
    if (count > MaxBids)
        return QStringLiteral("Túl sok licit egyszerre: %1").arg(count);
    QStringList words;
    while (!rest.isEmpty()) {
        const QStringView word = nextWord();
        if (word.isEmpty())
            return QStringLiteral("Üres licit a sorban.");
        words << word.toString();
        if (words.size() > MaxBids)
            return QStringLiteral("Túl sok licit egyszerre: %1").arg(words.size());
    }
    if (words.size() != count)
        return QStringLiteral("A licitek száma (%1) nem egyezik a küldött licitekkel (%2).")
            .arg(count)
            .arg(words.size());
    if (words.isEmpty()) {
        bids.clear();
        return {}; // a pass
    }
    const QStringList own = sideBids(SideOf(seat));
    const QStringList other = sideBids(1 - SideOf(seat));
    QStringList pending;
    for (const QString &word : words) {
        const QString notice = checkBid(seat, word, hand, own, other, pending);
        if (!notice.isEmpty())
            return notice;
        pending << word;
    }
    bids = words;
    return {};
}

QString Auction::checkBid(int seat, const QString &word, const QList<int> &hand, const QStringList &own,
                          const QStringList &other, const QStringList &pending) const
{
    const std::optional<BidToken> token = ReadToken(word);
    if (!token)
        return QStringLiteral("Ismeretlen licit: %1").arg(quoted(word));
    auto repeat = [&] { return QStringLiteral("Ismételt licit. %1 már van").arg(quoted(word)); };

    if (token->kind == BidToken::Signal) {
        if (token->contra > 0)
            return QStringLiteral("Jelzést nem lehet megkontrázni: %1").arg(quoted(word));
        THand dealt;
        for (int card : hand)
            dealt.Add(card);
        const qsizetype borne = AnalyseHand(dealt).count(word);
        if (borne == 0)
            return QStringLiteral("Hamis jelzés: %1").arg(quoted(word));
        // "Vannak" may be borne out twice by one hand; every other signal once.
        if (seatBids(seat).count(word) + pending.count(word) >= borne)
            return repeat();
        return {};
    }

    if (token->contra == 1) {
        if (!other.contains(token->base))
            return QStringLiteral("Nincs mit megkontrázni: %1").arg(quoted(word));
        if (own.contains(word) || pending.contains(word))
            return repeat();
        return {};
    }
    if (token->contra == 2) {
        if (!own.contains(token->base) || !other.contains(QLatin1Char('*') + token->base))
            return QStringLiteral("Nincs mit rekontrázni: %1").arg(quoted(word));
        if (own.contains(word) || pending.contains(word))
            return repeat();
        return {};
    }

    if (token->row < FirstBiddable)
        return QStringLiteral("Nem licitálható: %1").arg(quoted(word));
    if (token->kind == BidToken::Raised && !hand.contains(token->card))
        return QStringLiteral("Nincs nálad a %1: %2").arg(QStringView(kRaisers[token->card - Card::Pagat]), quoted(word));
    if (own.contains(word) || pending.contains(word))
        return repeat();
    for (const QStringList *chain : {&HonourChain(), &TrickChain()}) {
        const qsizetype at = chain->indexOf(word);
        if (at < 0)
            continue;
        for (qsizetype i = at + 1; i < chain->size(); ++i)
            if (own.contains(chain->at(i)) || pending.contains(chain->at(i)))
                return QStringLiteral("Hibás emelés. %1 már van.").arg(chain->at(i));
        for (qsizetype i = 0; i < at; ++i)
            if (pending.contains(chain->at(i)))
                return QStringLiteral("Hibás licit. %1 már van.").arg(chain->at(i));
    }
    return {};
}

} // namespace club
