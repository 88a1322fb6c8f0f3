#include "Deal.h"

#include "Auction.h"
#include "BasicRobot.h"
#include "LineText.h"
#include "Random.h"
#include "Robot.h"
#include "Scoring.h"

#include <QMessageAuthenticationCode>
#include <QtEndian>

#include <algorithm>

namespace club {

namespace {

// `shown`, when not 0, is the seat's card on the table, written in its place among the
// (ascending) cards as if still held.
QString handText(int seat, const QList<int> &cards, int shown = 0)
{
    QString line;
    line.reserve(3 + 3 * (cards.size() + 1));
    line.append(QLatin1Char('H'));
    AppendNumber(line, seat);
    for (int c : cards) {
        if (shown != 0 && shown < c) {
            AppendBlankNumber(line, shown);
            shown = 0;
        }
        AppendBlankNumber(line, c);
    }
    if (shown != 0)
        AppendBlankNumber(line, shown);
    return line;
}

// Every action sends two or three lines: room for them in one go when the list is new.
void makeRoom(Outs &out, qsizetype lines)
{
    if (out.isEmpty())
        out.reserve(lines);
}

QString sideName(int side)
{
    return side == 0 ? QStringLiteral("1-4") : QStringLiteral("2-3");
}

// The number itself without a key; with one, the first eight bytes of HMAC-SHA256 over the
// number's eight bytes (little-endian): a number seen at the table tells nothing of its cards,
// and the robots' draws, seeded from the same value, tell nothing either.
quint64 ShuffleSeed(int number, const QByteArray &key)
{
    const quint64 plain = static_cast<quint64>(static_cast<qint64>(number));
    if (key.isEmpty())
        return plain;
    char bytes[8];
    qToLittleEndian(plain, bytes);
    const QByteArray mac = QMessageAuthenticationCode::hash(QByteArray(bytes, sizeof bytes), key,
                                                            QCryptographicHash::Sha256);
    return qFromLittleEndian<quint64>(mac.constData());
}

} // namespace

struct Deal::State
{
    int number = 0;
    quint64 seed = 0;  // the shuffle's; the robots' draws start from it too
    int opener = 1;
    std::array<QList<int>, 4> dealt; // ascending
    std::array<QList<int>, 4> held;  // ascending
    QList<int> talon;
    Auction auction;
    QList<Trick> tricks; // never holds an empty trick
    int robotSamples = DefaultRobotSamples;

    RobotSight sight(int seat, quint64 decision) const
    {
        RobotSight s;
        s.seat = seat;
        s.dealt = &dealt[seat - 1];
        s.held = &held[seat - 1];
        s.auction = &auction;
        s.tricks = &tricks;
        s.samples = robotSamples;
        // Seeded by the deal and the point reached in it, so a take-back meets the same answer.
        SplitMix64 random(seed * 0x100000001B3ull
                          ^ (quint64(seat) << 56) ^ decision);
        s.seed = random.next();
        return s;
    }
    int cardsPlayed() const
    {
        int n = 0;
        for (const Trick &t : tricks)
            n += t.played;
        return n;
    }

    bool playing() const { return auction.finished(); }
    bool done() const { return tricks.size() == 10 && tricks.last().complete(); }

    int count23(int upTo) const
    {
        int n = 0;
        for (int k = 0; k < upTo && k < tricks.size(); ++k)
            n += tricks[k].complete() && SideOf(tricks[k].winner) == 1 ? 1 : 0;
        return n;
    }

    int seatToPlay() const
    {
        if (tricks.isEmpty())
            return opener;
        const Trick &t = tricks.last();
        return t.complete() ? t.winner : t.seatOnTurn();
    }

    // The trick as the table should see it now: the one in progress, or the last complete
    // one, whose taker leads next.
    QString trickLine() const
    {
        QString line;
        line.reserve(32);
        line.append(QLatin1Char('P'));
        if (tricks.isEmpty()) {
            AppendNumber(line, opener);
            line.append(QLatin1String(" 1 0 0 0 0 0"));
            return line;
        }
        const Trick &t = tricks.last();
        const int n = int(tricks.size());
        AppendNumber(line, t.complete() ? -t.winner : t.seatOnTurn());
        AppendBlankNumber(line, n);
        AppendBlankNumber(line, count23(n));
        for (int c : t.cards)
            AppendBlankNumber(line, c);
        return line;
    }

    QString bidLine() const { return auction.line(QLatin1Char('B')); }

    // A spectator's view swaps each card of the shown trick out of that seat's hand, so the
    // hand it is given must still hold it.
    QString spectatorHandText(int seat) const
    {
        return handText(seat, held[seat - 1], tricks.isEmpty() ? 0 : tricks.last().cardOf(seat));
    }
};

Deal::Deal(int number, const QByteArray &key) : d(std::make_unique<State>())
{
    d->number = number;
    d->seed = ShuffleSeed(number, key);
    d->opener = number % 2 != 0 ? 1 : 3;
    d->auction = Auction(d->opener);
    std::array<int, 42> pack;
    for (int c = 1; c <= 42; ++c)
        pack[c - 1] = c;
    SplitMix64 random(d->seed);
    for (int i = int(pack.size()) - 1; i > 0; --i)
        std::swap(pack[i], pack[random.next() % quint64(i + 1)]);
    for (int s = 0; s < 4; ++s) {
        std::sort(pack.begin() + s * 10, pack.begin() + s * 10 + 10);
        d->dealt[s] = QList<int>(pack.begin() + s * 10, pack.begin() + s * 10 + 10);
        d->held[s] = d->dealt[s];
    }
    // Forty cards are played; the last two stay face down for the whole deal.
    d->talon = QList<int>(pack.begin() + 40, pack.end());
}

Deal::~Deal() = default;
Deal::Deal(Deal &&) noexcept = default;
Deal &Deal::operator=(Deal &&) noexcept = default;

int Deal::number() const
{
    return d->number;
}

Deal::Phase Deal::phase() const
{
    if (!d->playing())
        return Phase::Bidding;
    return d->done() ? Phase::Done : Phase::Playing;
}

int Deal::onTurn() const
{
    switch (phase()) {
    case Phase::Bidding:
        return d->auction.onTurn();
    case Phase::Playing:
        return d->seatToPlay();
    case Phase::Done:
        break;
    }
    return 0;
}

const QList<int> &Deal::hand(int seat) const
{
    static const QList<int> none;
    return seat >= 1 && seat <= 4 ? d->held[seat - 1] : none;
}

Outs Deal::start()
{
    Outs out;
    out.reserve(10);
    std::array<QString, 4> hands;
    for (int s = 1; s <= 4; ++s) {
        hands[s - 1] = handText(s, d->dealt[s - 1]);
        out << Out{Out::Seat, s, hands[s - 1]};
    }
    for (int s = 1; s <= 4; ++s)
        out << Out{Out::Spectators, 0, hands[s - 1]};
    // The bare first seat clears every bid list at the table before the first turn.
    out << Out{Out::Table, 0, d->bidLine()};
    out << Out{Out::Seat, d->opener, QStringLiteral("B")};
    return out;
}

QString Deal::bid(int seat, const QString &turn, Outs &out)
{
    if (phase() != Phase::Bidding)
        return QStringLiteral("Most nem lehet licitálni.");
    if (seat != d->auction.onTurn())
        return QStringLiteral("Nem te következel.");
    QStringList bids;
    const QString notice = d->auction.check(seat, turn, d->dealt[seat - 1], bids);
    if (!notice.isEmpty())
        return notice;
    d->auction.add(seat, bids);
    makeRoom(out, 2);
    out << Out{Out::Table, 0, d->bidLine()};
    if (d->auction.finished())
        out << Out{Out::Table, 0, d->trickLine()};
    else
        out << Out{Out::Seat, d->auction.onTurn(), QStringLiteral("B")};
    return {};
}

QString Deal::play(int seat, int card, Outs &out)
{
    if (phase() != Phase::Playing)
        return QStringLiteral("Most nem lehet lapot tenni.");
    if (seat != d->seatToPlay())
        return QStringLiteral("Nem te következel.");
    QList<int> &hand = d->held[seat - 1];
    if (!hand.contains(card))
        return QStringLiteral("Nincs ilyen lapod: %1").arg(card);
    Trick current;
    if (!d->tricks.isEmpty() && !d->tricks.last().complete())
        current = d->tricks.last();
    else
        current.leader = seat;
    if (!MayPlay(hand, current, card)) {
        const int ledSuit = SuitOf(current.led());
        for (int c : hand)
            if (SuitOf(c) == ledSuit)
                return ledSuit == 4 ? QStringLiteral("Tarokkot kell adni.") : QStringLiteral("Színt kell adni.");
        return QStringLiteral("Tarokkot kell adni.");
    }
    if (current.played == 0)
        d->tricks << current;
    AddCard(d->tricks.last(), card);
    hand.removeOne(card);
    // The player's new hand before the trick line, which may make it their turn again.
    const QString handLine = handText(seat, hand);
    makeRoom(out, 3);
    out << Out{Out::Seat, seat, handLine};
    out << Out{Out::Table, 0, d->trickLine()};
    out << Out{Out::Spectators, 0, handLine};
    return {};
}

bool Deal::undo(Outs &out)
{
    if (phase() == Phase::Done)
        return false;
    if (!d->tricks.isEmpty()) {
        Trick &t = d->tricks.last();
        --t.played;
        const int seat = t.seatOnTurn();
        const int card = t.cards[seat - 1];
        t.cards[seat - 1] = 0;
        t.winner = 0;
        if (t.played == 0)
            d->tricks.removeLast();
        QList<int> &hand = d->held[seat - 1];
        hand.insert(std::lower_bound(hand.cbegin(), hand.cend(), card) - hand.cbegin(), card); // stays ascending
        makeRoom(out, 3);
        out << Out{Out::Seat, seat, handText(seat, hand)};
        out << Out{Out::Spectators, 0, d->spectatorHandText(seat)};
        out << Out{Out::Table, 0, d->trickLine()};
        return true;
    }
    if (!d->auction.undo())
        return false;
    makeRoom(out, 2);
    out << Out{Out::Table, 0, d->bidLine()};
    out << Out{Out::Seat, d->auction.onTurn(), QStringLiteral("B")};
    return true;
}

void Deal::setRobotSamples(int samples)
{
    d->robotSamples = std::max(0, samples);
}

QString Deal::robotTurn(int seat) const
{
    if (seat < 1 || seat > 4)
        return QStringLiteral("0");
    if (d->robotSamples == 0)
        return basicRobotTurn(seat);
    return SamplingRobotBid(d->sight(seat, quint64(d->auction.turns().size())));
}

int Deal::robotCard(int seat) const
{
    if (seat < 1 || seat > 4)
        return 0;
    if (d->robotSamples == 0)
        return basicRobotCard(seat);
    return SamplingRobotPlay(d->sight(seat, 0x1000 + quint64(d->cardsPlayed())));
}

QString Deal::basicRobotTurn(int seat) const
{
    if (seat < 1 || seat > 4)
        return QStringLiteral("0");
    return BasicRobotBid(d->auction, seat, d->dealt[seat - 1]);
}

int Deal::basicRobotCard(int seat) const
{
    if (seat < 1 || seat > 4)
        return 0;
    return BasicRobotPlay(seat, d->held[seat - 1], d->tricks);
}

QStringList Deal::spectatorLines() const
{
    QStringList lines;
    lines.reserve(5);
    for (int s = 1; s <= 4; ++s)
        lines << d->spectatorHandText(s);
    if (phase() == Phase::Bidding)
        lines << d->bidLine();
    else
        lines << d->trickLine();
    return lines;
}

QStringList Deal::seatLines(int seat) const
{
    if (seat < 1 || seat > 4 || phase() == Phase::Done)
        return {};
    QStringList lines{handText(seat, d->held[seat - 1])};
    if (phase() == Phase::Bidding) {
        lines << d->bidLine();
        if (d->auction.onTurn() == seat)
            lines << QStringLiteral("B");
    } else {
        lines << d->trickLine();
    }
    return lines;
}

QStringList Deal::resultTexts() const
{
    if (phase() != Phase::Done)
        return {};
    const Score score = ScoreDeal(d->auction, d->tricks);
    const int taken23 = d->count23(10);
    QStringList texts;
    texts << QStringLiteral("Vége a leosztásnak. Ütések: 1-4: %1, 2-3: %2.").arg(10 - taken23).arg(taken23);
    for (const ScoreLine &line : score.lines) {
        const int points = line.points[0] + line.points[1];
        if (line.silent)
            texts << QStringLiteral("%1 (%2): %3 pont.").arg(line.label, sideName(line.side)).arg(points);
        else if (line.made)
            texts << QStringLiteral("%1 (%2): teljesült, %3 pont.").arg(line.label, sideName(line.side)).arg(points);
        else
            texts << QStringLiteral("%1 (%2): bukott, %3 pont a %4 oldalnak.")
                         .arg(line.label, sideName(line.side))
                         .arg(points)
                         .arg(sideName(1 - line.side));
    }
    texts << QStringLiteral("Eredmény: 1-4: %1 pont, 2-3: %2 pont.").arg(score.total[0]).arg(score.total[1]);
    return texts;
}

DealRecord Deal::record(const std::array<QString, 4> &names, int day) const
{
    DealRecord r;
    r.board = QString::number(d->number);
    r.day = day;
    r.names = names;
    for (const Trick &t : d->tricks) {
        if (!t.complete())
            break;
        for (int s = 1; s <= 4; ++s)
            r.played[s - 1] << t.cardOf(s);
        r.takenBy23 << d->count23(int(r.takenBy23.size()) + 1);
    }
    r.bidText = d->auction.text();
    const Score score = ScoreDeal(d->auction, d->tricks);
    for (const ScoreLine &line : score.lines)
        r.scoreRows << QStringLiteral("%1 %2 %3").arg(line.label).arg(line.points[0]).arg(line.points[1]);
    // The history asks again for a breakdown it received empty.
    if (r.scoreRows.isEmpty())
        r.scoreRows << QStringLiteral("Nulla 0 0");
    return r;
}

} // namespace club
