// One deal at the club's table: dealing, the auction, the play, take-backs, robots, and
// the lines the client reads, checked with the client's own readers.

#include "game/Deal.h"

#include "bidding/BidLayout.h"
#include "cards/DeskRules.h"
#include "cards/HandRules.h"
#include "cards/Hands.h"

#include <QSet>
#include <QTest>
#include <functional>

using namespace club;

Q_DECLARE_METATYPE(club::Deal::Phase)

namespace {

const QChar NB(0x00A0);

QStringList linesTo(const Outs &outs, Out::To to, int seat = 0)
{
    QStringList lines;
    for (const Out &o : outs)
        if (o.to == to && (to != Out::Seat || o.seat == seat))
            lines << o.line;
    return lines;
}

// The bid text as the table last saw it.
QString bidText(const Deal &deal)
{
    const QString last = deal.spectatorLines().last();
    return last.startsWith(QLatin1Char('B')) ? last.mid(1) : QString();
}

bool passAll(Deal &deal)
{
    while (deal.phase() == Deal::Phase::Bidding) {
        Outs out;
        if (!deal.bid(deal.onTurn(), QStringLiteral("0"), out).isEmpty())
            return false;
    }
    return true;
}

THand suitCounts(const QList<int> &cards)
{
    THand hand, counts;
    for (int c : cards)
        hand.Add(c);
    hand.CountSuits(counts);
    return counts;
}

// The trick the client at `ownSeat` shows after reading `pLine`, by display position.
std::array<int, 4> clientTrick(const QString &pLine, int ownSeat)
{
    const TrickLine t = ParseTrickLine(pLine.mid(1));
    std::array<int, 4> shown{};
    for (int s = 1; s <= 4; ++s)
        shown[DisplayPosition(s, ownSeat) - 1] = t.cards[s - 1];
    return shown;
}

QString trickLineOf(const Deal &deal)
{
    return deal.spectatorLines().last();
}

// The spectator view as the client keeps it: ten slots per seat, a played card swapped
// into the slot of its trick, "H" rewriting the last slots.
struct KibicModel
{
    std::array<THand, 4> places;
    std::array<QList<int>, 4> drawn; // what the last drawing of each seat's strip showed
    bool missed = false;

    void draw(int seat, int from)
    {
        QList<int> cards;
        for (int i = from; i < places[seat - 1].Count(); ++i)
            cards << places[seat - 1].Get(i);
        std::sort(cards.begin(), cards.end());
        drawn[seat - 1] = cards;
    }

    void feed(const QString &line)
    {
        if (line.startsWith(QLatin1Char('H'))) {
            const HandLine h = ParseHandLine(line.mid(1));
            const int start = 10 - h.cards.Count();
            for (int i = start; i < 10; ++i)
                places[h.seat - 1].Put(i, h.cards.Get(i - start));
            draw(h.seat, start);
        } else if (line.startsWith(QLatin1Char('P'))) {
            const TrickLine t = ParseTrickLine(line.mid(1));
            for (int s = 1; s <= 4; ++s) {
                const int card = t.cards[s - 1];
                if (card > 0) {
                    const int d = places[s - 1].IndexOf(card);
                    if (d < 0) {
                        missed = true;
                        continue;
                    }
                    places[s - 1].Swap(t.trick - 1, d);
                    draw(s, t.trick);
                } else {
                    draw(s, t.trick - 1);
                }
            }
        }
    }

    void feed(const Outs &outs)
    {
        for (const Out &o : outs)
            if (o.to != Out::Seat)
                feed(o.line);
    }
};

// Plays robot cards until `found` holds for the deal; false when no deal number up to
// `last` ever gets there.
bool seek(std::unique_ptr<Deal> &deal, const std::function<bool(const Deal &)> &found, int last = 400)
{
    for (int n = 1; n <= last; ++n) {
        deal = std::make_unique<Deal>(n);
        if (!passAll(*deal))
            return false;
        while (deal->phase() == Deal::Phase::Playing) {
            if (found(*deal))
                return true;
            Outs out;
            if (!deal->play(deal->onTurn(), deal->robotCard(deal->onTurn()), out).isEmpty())
                return false;
        }
    }
    return false;
}

// The card led to the trick in progress, or 0 when the seat on turn leads.
int ledCard(const Deal &deal)
{
    const TrickLine t = ParseTrickLine(trickLineOf(deal).mid(1));
    if (t.taken)
        return 0;
    int played = 0;
    for (int c : t.cards)
        played += c != 0 ? 1 : 0;
    if (played == 0)
        return 0;
    // The leader sits `played` seats before the seat on turn.
    const int leader = (t.seat - 1 - played + 8) % 4 + 1;
    return t.cards[leader - 1];
}

QList<int> ofSuit(const QList<int> &hand, int suit, bool same)
{
    QList<int> cards;
    for (int c : hand)
        if ((SuitOf(c) == suit) == same)
            cards << c;
    return cards;
}

} // namespace

class TstDeal : public QObject
{
    Q_OBJECT
private slots:
    void dealing_data();
    void dealing();
    void keyedDealing_data() { dealing_data(); }
    void keyedDealing();
    void opening_data();
    void opening();
    void turnChecks_data();
    void turnChecks();
    void handSignalsAndRaisers();
    void auctionEnd_data();
    void auctionEnd();
    void bidTextReadsBackPerSeat();
    void playChecks_data();
    void playChecks();
    void trickTakerLeadsAndLinesAgreeWithClient();
    void undoBid();
    void undoCard();
    void undoBackIntoAuction();
    void undoWithNothingToTakeBack();
    void robotsFinishEveryDeal_data();
    void robotsFinishEveryDeal();
    void robotsAreDeterministic();
    void robotsPlaySensibly();
    void spectatorViewFollowsAndJoins();
    void resultTexts();
};

void TstDeal::dealing_data()
{
    QTest::addColumn<int>("number");
    for (int n : {1, 2, 17, 0, -5, 123456, 2147483647})
        QTest::addRow("%d", n) << n;
}

void TstDeal::dealing()
{
    QFETCH(int, number);
    Deal a(number), b(number);
    QSet<int> all;
    for (int s = 1; s <= 4; ++s) {
        QCOMPARE(a.hand(s), b.hand(s));
        QCOMPARE(a.hand(s).size(), 10);
        QVERIFY(std::is_sorted(a.hand(s).begin(), a.hand(s).end()));
        for (int c : a.hand(s)) {
            QVERIFY(Card::isCard(c));
            all.insert(c);
        }
    }
    QCOMPARE(all.size(), 40);
    // A table replaces its deal by the next one.
    Deal moved = std::move(b);
    QCOMPARE(moved.hand(2), a.hand(2));
    moved = Deal(number);
    QCOMPARE(moved.number(), number);
    Deal other(number ^ 1); // another number, also at the ends of the range
    bool differs = false;
    for (int s = 1; s <= 4; ++s)
        differs = differs || other.hand(s) != a.hand(s);
    QVERIFY(differs);
}

void TstDeal::keyedDealing()
{
    // A club's secret: the cards follow from the number and the key, the rest as without one.
    QFETCH(int, number);
    const QByteArray key(32, 'k'), otherKey(32, 'q');
    const Deal a(number, key), b(number, key), plain(number), other(number, otherKey);
    QCOMPARE(a.number(), number);
    QCOMPARE(a.onTurn(), plain.onTurn());
    QSet<int> all;
    bool unlikePlain = false, unlikeOther = false;
    for (int s = 1; s <= 4; ++s) {
        QCOMPARE(a.hand(s), b.hand(s));
        QCOMPARE(a.hand(s).size(), 10);
        QVERIFY(std::is_sorted(a.hand(s).begin(), a.hand(s).end()));
        for (int c : a.hand(s))
            all.insert(c);
        unlikePlain = unlikePlain || a.hand(s) != plain.hand(s);
        unlikeOther = unlikeOther || a.hand(s) != other.hand(s);
    }
    QCOMPARE(all.size(), 40);
    QVERIFY(unlikePlain);
    QVERIFY(unlikeOther);
    // No key is the number alone, as the benchmarks and the other tests deal.
    QCOMPARE(Deal(number, QByteArray()).hand(1), plain.hand(1));
}

void TstDeal::opening_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("opener");
    QTest::newRow("odd") << 7 << 1;
    QTest::newRow("even") << 8 << 3;
    QTest::newRow("zero is even") << 0 << 3;
    QTest::newRow("negative odd") << -3 << 1;
}

void TstDeal::opening()
{
    QFETCH(int, number);
    QFETCH(int, opener);
    Deal deal(number);
    QCOMPARE(deal.phase(), Deal::Phase::Bidding);
    QCOMPARE(deal.onTurn(), opener);
    const Outs out = deal.start();
    for (int s = 1; s <= 4; ++s) {
        const QStringList own = linesTo(out, Out::Seat, s);
        QVERIFY(!own.isEmpty());
        const HandLine h = ParseHandLine(own.first().mid(1));
        QCOMPARE(h.seat, s);
        QCOMPARE(QList<int>(h.cards.Cards().begin(), h.cards.Cards().end()), deal.hand(s));
        QCOMPARE(own.size(), s == opener ? 2 : 1);
    }
    QCOMPARE(linesTo(out, Out::Seat, opener).last(), QStringLiteral("B"));
    QCOMPARE(linesTo(out, Out::Table), QStringList{QStringLiteral("B%1").arg(opener)});
    const QStringList watch = linesTo(out, Out::Spectators);
    QCOMPARE(watch.size(), 4);
    for (int s = 1; s <= 4; ++s)
        QVERIFY(watch[s - 1].startsWith(QStringLiteral("H%1 ").arg(s)));
    // The "B" to the table must come before the opener's own empty "B", which enables
    // its editor: the other order would leave it disabled.
    qsizetype table = -1, own = -1;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].to == Out::Table)
            table = i;
        if (out[i].to == Out::Seat && out[i].line == QLatin1String("B"))
            own = i;
    }
    QVERIFY(table < own);
}

void TstDeal::turnChecks_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("turn");
    QTest::addColumn<QString>("notice");
    const QStringList none;
    QTest::newRow("pass") << none << "0" << "";
    QTest::newRow("one bid") << none << "1 Gém" << "";
    QTest::newRow("two bids") << none << "2 Vizi Gém" << "";
    QTest::newRow("empty turn") << none << "" << "Hibás licitszám: ";
    QTest::newRow("count not a number") << none << "x Gém" << "Hibás licitszám: x";
    QTest::newRow("negative count") << none << "-1" << "Hibás licitszám: -1";
    QTest::newRow("count above the words") << none << "2 Gém"
                                           << "A licitek száma (2) nem egyezik a küldött licitekkel (1).";
    QTest::newRow("count below the words") << none << "1 Vizi Gém"
                                           << "A licitek száma (1) nem egyezik a küldött licitekkel (2).";
    QTest::newRow("huge count") << none << "999 Gém" << "Túl sok licit egyszerre: 999";
    QTest::newRow("empty word") << none << "1  Gém" << "Üres licit a sorban.";
    QTest::newRow("unknown") << none << "1 Gem" << "Ismeretlen licit: Gem";
    QTest::newRow("endless word quoted short") << none << QString("1 " + QString(500, 'x'))
                                               << QString("Ismeretlen licit: " + QString(40, 'x') + QChar(0x2026));
    QTest::newRow("raiser name alone") << none << QString("1 " + QString(NB) + "ulti")
                                       << QString("Ismeretlen licit: " + QString(NB) + "ulti");
    QTest::newRow("suit with a raiser name") << none << QString("1 Kőr" + QString(NB) + "ulti")
                                             << QString("Ismeretlen licit: Kőr" + QString(NB) + "ulti");
    QTest::newRow("raiser with banda") << none << QString("1 Pagát" + QString(NB) + "banda")
                                       << QString("Ismeretlen licit: Pagát" + QString(NB) + "banda");
    QTest::newRow("suit banda") << none << QString("1 Kőr" + QString(NB) + "banda") << "";
    QTest::newRow("silent one") << none << "1 Les" << "Nem licitálható: Les";
    QTest::newRow("count signal by name") << none << "1 Tarokkszám" << "Nem licitálható: Tarokkszám";
    QTest::newRow("false signal") << none << QString("1 10" + QString(NB) + "Tarokk")
                                  << QString("Hamis jelzés: 10" + QString(NB) + "Tarokk");
    QTest::newRow("twice in a turn") << none << "2 Gém Gém" << "Ismételt licit. Gém már van";
    QTest::newRow("two steps at once") << none << "2 Gém Kassza" << "Hibás licit. Gém már van.";
    QTest::newRow("lower after higher") << none << "2 Kassza Gém" << "Hibás emelés. Kassza már van.";
    QTest::newRow("honour chain") << none << "2 Trull Honőr" << "Hibás emelés. Trull már van.";
    QTest::newRow("contra of nothing") << none << "1 *Gém" << "Nincs mit megkontrázni: *Gém";
    QTest::newRow("recontra of nothing") << none << "1 **Gém" << "Nincs mit rekontrázni: **Gém";
    QTest::newRow("three marks") << none << "1 ***Gém" << "Ismeretlen licit: ***Gém";
    QTest::newRow("contra of a signal") << none << "1 *Flush" << "Jelzést nem lehet megkontrázni: *Flush";
    // Seat 1 opens deal 1; seat 2 is on turn after one turn, seat 4 (seat 1's partner)
    // after three.
    QTest::newRow("partner's bid again") << QStringList{"1 Gém", "0", "0"} << "1 Gém"
                                         << "Ismételt licit. Gém már van";
    QTest::newRow("partner's bid raised") << QStringList{"1 Gém", "0", "0"} << "1 Kassza" << "";
    QTest::newRow("below partner's") << QStringList{"1 Kassza", "0", "0"} << "1 Gém"
                                     << "Hibás emelés. Kassza már van.";
    QTest::newRow("opponents may bid it too") << QStringList{"1 Gém"} << "1 Gém" << "";
    QTest::newRow("contra") << QStringList{"1 Gém"} << "1 *Gém" << "";
    QTest::newRow("contra of own side") << QStringList{"1 Gém", "0", "0"} << "1 *Gém"
                                        << "Nincs mit megkontrázni: *Gém";
    QTest::newRow("other bids after a contra") << QStringList{"1 Gém", "1 *Gém", "0"} << "1 Vizi" << "";
    QTest::newRow("partner contras again") << QStringList{"1 Gém", "1 *Gém"} << "1 *Gém"
                                           << "Ismételt licit. *Gém már van";
    QTest::newRow("recontra") << QStringList{"1 Gém", "1 *Gém", "0"} << "1 **Gém" << "";
    QTest::newRow("recontra without contra") << QStringList{"1 Gém", "0", "0"} << "1 **Gém"
                                             << "Nincs mit rekontrázni: **Gém";
    QTest::newRow("recontra by the contra side") << QStringList{"1 Gém", "1 *Gém"} << "1 **Gém"
                                                 << "Nincs mit rekontrázni: **Gém";
}

void TstDeal::turnChecks()
{
    QFETCH(QStringList, before);
    QFETCH(QString, turn);
    QFETCH(QString, notice);
    Deal deal(1);
    deal.start();
    for (const QString &t : before) {
        Outs out;
        QCOMPARE(deal.bid(deal.onTurn(), t, out), QString());
    }
    const int seat = deal.onTurn();
    const QString text = bidText(deal);
    Outs out;
    QCOMPARE(deal.bid(seat, turn, out), notice);
    if (!notice.isEmpty()) {
        QVERIFY(out.isEmpty());
        QCOMPARE(deal.onTurn(), seat);
        QCOMPARE(bidText(deal), text);
        return;
    }
    const QString expected = text + QLatin1Char(' ') + turn;
    QCOMPARE(linesTo(out, Out::Table), QStringList{QLatin1Char('B') + expected});
    QCOMPARE(linesTo(out, Out::Seat, seat % 4 + 1), QStringList{QStringLiteral("B")});
    QCOMPARE(deal.onTurn(), seat % 4 + 1);
}

void TstDeal::handSignalsAndRaisers()
{
    // The hand's own proposals are taken, all in one turn, and only once.
    int number = 1;
    QStringList proposals;
    for (; proposals.isEmpty(); ++number) {
        THand hand;
        const Deal dealt(number); // a temporary would die before the loop reads its hand
        for (int c : dealt.hand(number % 2 ? 1 : 3))
            hand.Add(c);
        proposals = AnalyseHand(hand);
    }
    --number;
    Deal deal(number);
    const QString turn = QString::number(proposals.size()) + QLatin1Char(' ') + proposals.join(QLatin1Char(' '));
    Outs out;
    QCOMPARE(deal.bid(deal.onTurn(), turn, out), QString());
    for (const char *t : {"1 Gém", "0", "0"})
        QCOMPARE(deal.bid(deal.onTurn(), QString::fromUtf8(t), out), QString());
    QCOMPARE(deal.bid(deal.onTurn(), QStringLiteral("1 ") + proposals.first(), out),
             QStringLiteral("Ismételt licit. %1 már van").arg(proposals.first()));

    // A raiser is announced by the seat that holds it.
    static const char *const raisers[4] = {"Pagát", "Sas", "Kakadu", "Kanári"};
    bool heldOne = false, missedOne = false;
    for (int n = 1; n <= 9; n += 2)
        for (int i = 0; i < 4; ++i) {
            Deal fresh(n);
            const QString bid = QString::fromUtf8(raisers[i]) + NB + QStringLiteral("ulti");
            Outs o;
            const QString notice = fresh.bid(1, QStringLiteral("1 ") + bid, o);
            if (fresh.hand(1).contains(Card::Pagat + i)) {
                heldOne = true;
                QCOMPARE(notice, QString());
            } else {
                missedOne = true;
                QCOMPARE(notice, QStringLiteral("Nincs nálad a %1: %2").arg(QString::fromUtf8(raisers[i]), bid));
            }
        }
    QVERIFY(heldOne && missedOne);
}

void TstDeal::auctionEnd_data()
{
    QTest::addColumn<QStringList>("turns");
    QTest::addColumn<Deal::Phase>("phase");
    QTest::newRow("three passes") << QStringList{"0", "0", "0"} << Deal::Phase::Bidding;
    QTest::newRow("four passes") << QStringList{"0", "0", "0", "0"} << Deal::Phase::Playing;
    QTest::newRow("bid and three passes") << QStringList{"1 Gém", "0", "0", "0"} << Deal::Phase::Playing;
    QTest::newRow("late bid, two passes") << QStringList{"0", "1 Gém", "0", "0"} << Deal::Phase::Bidding;
    QTest::newRow("late bid, three passes") << QStringList{"0", "1 Gém", "0", "0", "0"} << Deal::Phase::Playing;
    QTest::newRow("contra keeps it open") << QStringList{"1 Gém", "1 *Gém", "0", "0"} << Deal::Phase::Bidding;
}

void TstDeal::auctionEnd()
{
    QFETCH(QStringList, turns);
    QFETCH(Deal::Phase, phase);
    Deal deal(1);
    Outs out;
    for (const QString &t : turns) {
        out.clear();
        QCOMPARE(deal.bid(deal.onTurn(), t, out), QString());
    }
    QCOMPARE(deal.phase(), phase);
    if (phase == Deal::Phase::Playing) {
        // The last turn's lines: the whole text, then the first trick line, no empty "B".
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[1].to, Out::Table);
        QCOMPARE(out[1].line, QStringLiteral("P1 1 0 0 0 0 0"));
        QCOMPARE(deal.onTurn(), 1);
        Outs late;
        QCOMPARE(deal.bid(deal.onTurn(), QStringLiteral("0"), late), QStringLiteral("Most nem lehet licitálni."));
        QVERIFY(late.isEmpty());
    } else {
        QCOMPARE(linesTo(out, Out::Seat, deal.onTurn()), QStringList{QStringLiteral("B")});
    }
}

void TstDeal::bidTextReadsBackPerSeat()
{
    // An even deal: seat 3 opens, and the client must still find every seat's bids.
    Deal deal(2);
    const QStringList turns{"1 Gém", "1 *Gém", "0", "1 **Gém", "0", "0", "0"};
    QList<QStringList> bySeat(5);
    QStringList out;
    Outs o;
    QCOMPARE(deal.bid(1, QStringLiteral("0"), o), QStringLiteral("Nem te következel."));
    QVERIFY(o.isEmpty());
    for (const QString &t : turns) {
        const int seat = deal.onTurn();
        o.clear();
        QCOMPARE(deal.bid(seat, t, o), QString());
        QString rest = t;
        const int n = NextInt(rest);
        for (int i = 0; i < n; ++i)
            bySeat[seat] << NextWord(rest);
    }
    const QString text = o.first().line.mid(1);
    QCOMPARE(text, QStringLiteral("3 1 Gém 1 *Gém 0 1 **Gém 0 0 0"));
    for (int s = 1; s <= 4; ++s) {
        TBidList list;
        list.Parse(text, s);
        QCOMPARE(QStringList(list), bySeat[s]);
    }
    QString source = text;
    QStringList layout;
    BidLayout::Render(source, layout);
    QCOMPARE(layout.size(), 7);
    QCOMPARE(BidLayout::ColumnOf(layout[0]), 3); // seat 3 opened
    QCOMPARE(BidLayout::BidOf(layout[0]), QStringLiteral("Gém"));
}

enum class PlayCase { Lead, Follow, MustFollow, MustTrump, TarokkOnTarokk, FreeDiscard, OutOfTurn, NotHeld };
Q_DECLARE_METATYPE(PlayCase)

void TstDeal::playChecks_data()
{
    QTest::addColumn<PlayCase>("which");
    QTest::addColumn<QString>("notice");
    QTest::newRow("lead anything") << PlayCase::Lead << "";
    QTest::newRow("follow suit") << PlayCase::Follow << "";
    QTest::newRow("must follow") << PlayCase::MustFollow << "Színt kell adni.";
    QTest::newRow("must trump") << PlayCase::MustTrump << "Tarokkot kell adni.";
    QTest::newRow("tarokk on tarokk") << PlayCase::TarokkOnTarokk << "Tarokkot kell adni.";
    QTest::newRow("free discard") << PlayCase::FreeDiscard << "";
    QTest::newRow("out of turn") << PlayCase::OutOfTurn << "Nem te következel.";
    QTest::newRow("card not held") << PlayCase::NotHeld << "Nincs ilyen lapod: %1";
}

void TstDeal::playChecks()
{
    QFETCH(PlayCase, which);
    QFETCH(QString, notice);
    std::unique_ptr<Deal> deal;
    int card = 0;
    int seat = 0;
    // Finds a position of the wanted kind and the card that shows it.
    auto position = [&](const Deal &d) {
        seat = d.onTurn();
        const QList<int> &hand = d.hand(seat);
        const int led = ledCard(d);
        const int suit = SuitOf(led);
        const QList<int> same = ofSuit(hand, suit, true), other = ofSuit(hand, suit, false);
        const QList<int> tarokks = ofSuit(hand, 4, true);
        switch (which) {
        case PlayCase::Lead:
            if (led != 0 || hand.size() < 2)
                return false;
            card = hand.last();
            return true;
        case PlayCase::Follow:
            if (led == 0 || suit == 4 || same.isEmpty())
                return false;
            card = same.first();
            return true;
        case PlayCase::MustFollow:
            if (led == 0 || suit == 4 || same.isEmpty() || other.isEmpty())
                return false;
            card = other.first();
            return true;
        case PlayCase::MustTrump:
            if (led == 0 || suit == 4 || !same.isEmpty() || tarokks.isEmpty() || tarokks.size() == hand.size())
                return false;
            card = ofSuit(hand, 4, false).first();
            return true;
        case PlayCase::TarokkOnTarokk:
            if (led == 0 || suit != 4 || same.isEmpty() || other.isEmpty())
                return false;
            card = other.first();
            return true;
        case PlayCase::FreeDiscard: {
            if (led == 0 || suit == 4 || !same.isEmpty() || !tarokks.isEmpty() || hand.size() < 2)
                return false;
            card = hand.last();
            return true;
        }
        case PlayCase::OutOfTurn:
            seat = seat % 4 + 1;
            card = d.hand(seat).first();
            return true;
        case PlayCase::NotHeld:
            for (int c = 1; c <= 42; ++c)
                if (!hand.contains(c)) {
                    card = c;
                    return true;
                }
            return false;
        }
        return false;
    };
    QVERIFY(seek(deal, position));
    const QString pBefore = trickLineOf(*deal);
    const QList<int> handBefore = deal->hand(seat);
    Outs out;
    const QString expected = notice.contains(QLatin1String("%1")) ? notice.arg(card) : notice;
    QCOMPARE(deal->play(seat, card, out), expected);
    if (!expected.isEmpty()) {
        QVERIFY(out.isEmpty());
        QCOMPARE(trickLineOf(*deal), pBefore);
        QCOMPARE(deal->hand(seat), handBefore);
    } else {
        QVERIFY(!deal->hand(seat).contains(card));
        QCOMPARE(out.size(), 3);
    }
}

void TstDeal::trickTakerLeadsAndLinesAgreeWithClient()
{
    // Every position of a few robot deals: the client's own check of the seat on turn
    // must allow exactly the cards the club takes, and the lines must read as meant.
    for (int n = 1; n <= 12; ++n) {
        Deal deal(n);
        QVERIFY(passAll(deal));
        QList<int> order;      // cards in play order within the trick in progress
        int leader = deal.onTurn();
        int taken23 = 0;
        int trick = 1;
        while (deal.phase() == Deal::Phase::Playing) {
            const int seat = deal.onTurn();
            const QString pNow = trickLineOf(deal);
            const THand counts = suitCounts(deal.hand(seat));
            int chosen = deal.robotCard(seat);
            // A last card would end the deal, and a finished deal takes nothing back.
            const QList<int> sweep = deal.hand(seat).size() > 1 ? deal.hand(seat) : QList<int>();
            for (int c : sweep) {
                Outs out;
                const bool taken = deal.play(seat, c, out).isEmpty();
                QCOMPARE(taken, IsLegalPlay(clientTrick(pNow, seat), c, counts));
                if (taken) {
                    Outs back;
                    QVERIFY(deal.undo(back));
                    QCOMPARE(trickLineOf(deal), pNow);
                }
            }
            Outs out;
            QCOMPARE(deal.play(seat, chosen, out), QString());
            // The seat's new hand first, then the trick, then the watchers' copy.
            QCOMPARE(out.size(), 3);
            QCOMPARE(out[0].to, Out::Seat);
            QCOMPARE(out[0].seat, seat);
            const HandLine h = ParseHandLine(out[0].line.mid(1));
            QCOMPARE(h.seat, seat);
            QCOMPARE(QList<int>(h.cards.Cards().begin(), h.cards.Cards().end()), deal.hand(seat));
            QCOMPARE(out[1].to, Out::Table);
            QCOMPARE(out[2].to, Out::Spectators);
            QCOMPARE(out[2].line, out[0].line);
            const TrickLine t = ParseTrickLine(out[1].line.mid(1));
            QCOMPARE(t.trick, trick);
            QCOMPARE(t.cards[seat - 1], chosen);
            order << chosen;
            if (order.size() < 4) {
                QVERIFY(!t.taken);
                QCOMPARE(t.seat, seat % 4 + 1);
                QCOMPARE(t.count, taken23);
                continue;
            }
            const int inOrder[4] = {order[0], order[1], order[2], order[3]};
            const int winner = (leader - 1 + TrickWinner(inOrder)) % 4 + 1;
            taken23 += winner == 2 || winner == 3 ? 1 : 0;
            QVERIFY(t.taken);
            QCOMPARE(t.seat, winner);
            QCOMPARE(t.count, taken23);
            if (trick < 10)
                QCOMPARE(deal.onTurn(), winner);
            leader = winner;
            order.clear();
            ++trick;
        }
        QCOMPARE(deal.phase(), Deal::Phase::Done);
        QCOMPARE(deal.onTurn(), 0);
        const TrickLine last = ParseTrickLine(trickLineOf(deal).mid(1));
        QCOMPARE(TrickStatus(last, QStringLiteral("X")),
                 QStringLiteral(" 10. hívás. X ütött.  Ütések %1:%2").arg(10 - taken23).arg(taken23));
    }
}

void TstDeal::undoBid()
{
    Deal deal(3);
    Outs out;
    QCOMPARE(deal.bid(1, QStringLiteral("1 Gém"), out), QString());
    QCOMPARE(deal.bid(2, QStringLiteral("1 *Gém"), out), QString());
    out.clear();
    QVERIFY(deal.undo(out));
    QCOMPARE(deal.onTurn(), 2);
    QCOMPARE(linesTo(out, Out::Table), QStringList{QStringLiteral("B1 1 Gém")});
    QCOMPARE(linesTo(out, Out::Seat, 2), QStringList{QStringLiteral("B")});
    // The seat may bid differently now.
    out.clear();
    QCOMPARE(deal.bid(2, QStringLiteral("0"), out), QString());
    QCOMPARE(linesTo(out, Out::Table), QStringList{QStringLiteral("B1 1 Gém 0")});
}

void TstDeal::undoCard()
{
    Deal deal(5);
    QVERIFY(passAll(deal));
    // Play into the second trick, one card past its lead.
    for (int i = 0; i < 5; ++i) {
        Outs out;
        QCOMPARE(deal.play(deal.onTurn(), deal.robotCard(deal.onTurn()), out), QString());
    }
    const QString before = trickLineOf(deal);
    const int seat = deal.onTurn();
    const QList<int> hand = deal.hand(seat);
    const int card = deal.robotCard(seat);
    Outs out;
    QCOMPARE(deal.play(seat, card, out), QString());
    out.clear();
    QVERIFY(deal.undo(out));
    QCOMPARE(deal.hand(seat), hand);
    QCOMPARE(deal.onTurn(), seat);
    QCOMPARE(linesTo(out, Out::Seat, seat).size(), 1);
    QCOMPARE(ParseHandLine(linesTo(out, Out::Seat, seat).first().mid(1)).cards.Count(), hand.size());
    QCOMPARE(linesTo(out, Out::Table), QStringList{before});

    // Taking back the lead of a trick shows the trick before it, taken, again.
    out.clear();
    QVERIFY(deal.undo(out));
    const TrickLine t = ParseTrickLine(linesTo(out, Out::Table).first().mid(1));
    QVERIFY(t.taken);
    QCOMPARE(t.trick, 1);
    QCOMPARE(deal.onTurn(), t.seat);
}

void TstDeal::undoBackIntoAuction()
{
    Deal deal(9);
    QVERIFY(passAll(deal));
    Outs out;
    QCOMPARE(deal.play(1, deal.robotCard(1), out), QString());
    out.clear();
    QVERIFY(deal.undo(out));
    QCOMPARE(linesTo(out, Out::Table), QStringList{QStringLiteral("P1 1 0 0 0 0 0")});
    out.clear();
    QVERIFY(deal.undo(out));
    QCOMPARE(deal.phase(), Deal::Phase::Bidding);
    QCOMPARE(deal.onTurn(), 4);
    QCOMPARE(linesTo(out, Out::Table), QStringList{QStringLiteral("B1 0 0 0")});
    QCOMPARE(linesTo(out, Out::Seat, 4), QStringList{QStringLiteral("B")});
}

void TstDeal::undoWithNothingToTakeBack()
{
    Deal deal(4);
    Outs out;
    QVERIFY(!deal.undo(out));
    QVERIFY(out.isEmpty());
    QVERIFY(passAll(deal));
    while (deal.phase() == Deal::Phase::Playing)
        QCOMPARE(deal.play(deal.onTurn(), deal.robotCard(deal.onTurn()), out), QString());
    // A finished deal has been scored; taking back would unsettle the result.
    out.clear();
    QVERIFY(!deal.undo(out));
    QVERIFY(out.isEmpty());
    QCOMPARE(deal.play(1, 1, out), QStringLiteral("Most nem lehet lapot tenni."));
}

void TstDeal::robotsFinishEveryDeal_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("deals");
    // The sampling robot thinks a thousand times longer: fewer deals, the same checks.
    QTest::newRow("basic robots") << 0 << 200;
    QTest::newRow("sampling robots") << 48 << 24;
}

void TstDeal::robotsFinishEveryDeal()
{
    QFETCH(int, samples);
    QFETCH(int, deals);
    for (int n = 1; n <= deals; ++n) {
        Deal deal(n);
        deal.setRobotSamples(samples);
        deal.start();
        int turns = 0;
        while (deal.phase() == Deal::Phase::Bidding) {
            Outs out;
            const int seat = deal.onTurn();
            QCOMPARE(deal.bid(seat, deal.robotTurn(seat), out), QString());
            QVERIFY(++turns < 40);
        }
        while (deal.phase() == Deal::Phase::Playing) {
            Outs out;
            const int seat = deal.onTurn();
            QCOMPARE(deal.play(seat, deal.robotCard(seat), out), QString());
        }
        QCOMPARE(deal.phase(), Deal::Phase::Done);
        const DealRecord r = deal.record({"a", "b", "c", "d"}, 45000);
        QSet<int> cards;
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(r.played[s].size(), 10);
            QVERIFY(deal.hand(s + 1).isEmpty());
            for (int c : r.played[s])
                cards.insert(c);
        }
        QCOMPARE(cards.size(), 40);
        QCOMPARE(r.takenBy23.size(), 10);
        QVERIFY(!r.scoreRows.isEmpty());
        const auto back = DealRecord::fromText(r.toText());
        QVERIFY(back.has_value());
        QCOMPARE(back->toText(), r.toText());
    }
}

void TstDeal::robotsAreDeterministic()
{
    auto playOut = [](int n) {
        Deal deal(n);
        QStringList log;
        while (deal.phase() == Deal::Phase::Bidding) {
            Outs out;
            const QString turn = deal.robotTurn(deal.onTurn());
            log << turn;
            deal.bid(deal.onTurn(), turn, out);
        }
        while (deal.phase() == Deal::Phase::Playing) {
            Outs out;
            const int card = deal.robotCard(deal.onTurn());
            log << QString::number(card);
            deal.play(deal.onTurn(), card, out);
        }
        return log;
    };
    QCOMPARE(playOut(31), playOut(31));
    // Some robot does bid somewhere: a robot that always passes would test nothing above.
    bool anyBid = false;
    for (int n = 1; n <= 60 && !anyBid; ++n) {
        Deal deal(n);
        for (int s = 1; s <= 4; ++s)
            anyBid = anyBid || deal.robotTurn(s) != QLatin1String("0");
    }
    QVERIFY(anyBid);
}

// The basic robot's rules of thumb: the yardstick of the sampling robot and the quick rules
// of its imagined deals.
void TstDeal::robotsPlaySensibly()
{
    auto cost = [](int c) { return Card::isTarokk(c) ? 10 + c : (c - 1) % 5 + 1; };
    auto precious = [](int c) { return c == Card::Pagat || c == Card::XXI || c == Card::Skiz; };
    int cheapWins = 0, throws = 0;
    for (int n = 1; n <= 200; ++n) {
        Deal deal(n);
        QVERIFY(passAll(deal));
        QSet<int> gone;
        while (deal.phase() == Deal::Phase::Playing) {
            const int seat = deal.onTurn();
            const QList<int> hand = deal.hand(seat);
            const int card = deal.basicRobotCard(seat);
            const int led = ledCard(deal);
            QList<int> legal;
            for (int c : hand) {
                Outs o;
                if (deal.play(seat, c, o).isEmpty()) {
                    legal << c;
                    if (deal.phase() == Deal::Phase::Playing)
                        deal.undo(o);
                }
            }
            if (deal.phase() == Deal::Phase::Done)
                break;
            const TrickLine t = ParseTrickLine(trickLineOf(deal).mid(1));
            QList<int> inTrick;
            if (!t.taken)
                for (int c : t.cards)
                    if (c)
                        inTrick << c;
            bool allPrecious = true;
            for (int c : legal)
                allPrecious = allPrecious && precious(c);
            const bool last = inTrick.size() == 3;
            bool high = false;
            for (int c : inTrick)
                high = high || c >= 38;
            // The Skíz goes only onto a trick worth it, or when nothing else is left.
            if (card == Card::Skiz && led != 0)
                QVERIFY2(high || allPrecious, qPrintable(QStringLiteral("deal %1").arg(n)));
            // The XXI is not put where the unseen Skíz could still take it.
            if (card == Card::XXI && led != 0 && !last && !gone.contains(Card::Skiz) && !hand.contains(Card::Skiz))
                QVERIFY2(allPrecious, qPrintable(QStringLiteral("deal %1").arg(n)));
            if (last) {
                // The best card so far, and whose it is.
                const int leader = (t.seat - 1 - 3 + 8) % 4 + 1;
                int best = t.cards[leader - 1], bestSeat = leader;
                for (int i = 1; i < 3; ++i) {
                    const int s = (leader - 1 + i) % 4 + 1;
                    const int c = t.cards[s - 1];
                    const bool beats = Card::isTarokk(c) ? (!Card::isTarokk(best) || c > best)
                                                         : (!Card::isTarokk(best) && SuitOf(c) == SuitOf(led) && c > best);
                    if (beats) {
                        best = c;
                        bestSeat = s;
                    }
                }
                auto beatsBest = [&](int c) {
                    return Card::isTarokk(c) ? (!Card::isTarokk(best) || c > best)
                                             : (!Card::isTarokk(best) && SuitOf(c) == SuitOf(led) && c > best);
                };
                if ((bestSeat == 1 || bestSeat == 4) == (seat == 1 || seat == 4)) {
                    // The partner has it: throw the cheapest, keeping the precious ones.
                    for (int c : legal)
                        if (!precious(c) || allPrecious)
                            QVERIFY(cost(card) <= cost(c));
                    ++throws;
                } else if (beatsBest(card)) {
                    // Winning last: with the cheapest card that does it.
                    for (int c : legal)
                        if (beatsBest(c))
                            QVERIFY(cost(card) <= cost(c) || c == Card::Skiz);
                    ++cheapWins;
                }
            }
            Outs o;
            QCOMPARE(deal.play(seat, card, o), QString());
            gone.insert(card);
        }
    }
    // Both situations came up often enough to mean something.
    QVERIFY(cheapWins > 100);
    QVERIFY(throws > 100);
}

void TstDeal::spectatorViewFollowsAndJoins()
{
    for (int joinAt : {0, 1, 5, 8, 23, 39}) {
        Deal deal(6);
        KibicModel watcher;
        watcher.feed(deal.start());
        QVERIFY(passAll(deal));
        KibicModel late;
        int played = 0;
        while (deal.phase() == Deal::Phase::Playing) {
            if (played == joinAt)
                for (const QString &line : deal.spectatorLines())
                    late.feed(line);
            Outs out;
            QCOMPARE(deal.play(deal.onTurn(), deal.robotCard(deal.onTurn()), out), QString());
            // A take-back now and then, and the card again.
            if (played % 7 == 3) {
                const int seat = out.first().seat;
                const int card = ParseTrickLine(linesTo(out, Out::Table).first().mid(1)).cards[seat - 1];
                watcher.feed(out);
                if (played >= joinAt)
                    late.feed(out);
                out.clear();
                QVERIFY(deal.undo(out));
                watcher.feed(out);
                if (played >= joinAt)
                    late.feed(out);
                out.clear();
                QCOMPARE(deal.play(seat, card, out), QString());
            }
            watcher.feed(out);
            if (played >= joinAt)
                late.feed(out);
            ++played;
            for (KibicModel *m : {&watcher, &late}) {
                if (played <= joinAt && m == &late)
                    continue;
                QVERIFY(!m->missed);
                for (int s = 1; s <= 4; ++s)
                    QCOMPARE(m->drawn[s - 1], deal.hand(s));
            }
        }
    }
}

void TstDeal::resultTexts()
{
    for (int n = 1; n <= 30; ++n) {
        Deal deal(n);
        QVERIFY(deal.resultTexts().isEmpty());
        while (deal.phase() == Deal::Phase::Bidding) {
            Outs out;
            deal.bid(deal.onTurn(), deal.robotTurn(deal.onTurn()), out);
        }
        QVERIFY(deal.resultTexts().isEmpty());
        while (deal.phase() == Deal::Phase::Playing) {
            Outs out;
            deal.play(deal.onTurn(), deal.robotCard(deal.onTurn()), out);
        }
        const QStringList texts = deal.resultTexts();
        const DealRecord r = deal.record({"a", "b", "c", "d"}, 1);
        const int taken23 = r.takenBy23.last();
        QCOMPARE(texts.first(), QStringLiteral("Vége a leosztásnak. Ütések: 1-4: %1, 2-3: %2.").arg(10 - taken23).arg(taken23));
        // One line per score row, between the tricks and the totals, the same points.
        int a = 0, b = 0;
        QStringList rows = r.scoreRows;
        rows.removeAll(QStringLiteral("Nulla 0 0"));
        QCOMPARE(texts.size(), rows.size() + 2);
        for (int i = 0; i < rows.size(); ++i) {
            QString rest = rows[i];
            const QString label = NextWord(rest);
            const int pa = NextInt(rest), pb = NextInt(rest);
            a += pa;
            b += pb;
            QVERIFY2(texts[i + 1].startsWith(label + QStringLiteral(" (")), qPrintable(texts[i + 1]));
            QVERIFY(texts[i + 1].contains(QStringLiteral(" %1 pont").arg(pa + pb)));
        }
        QCOMPARE(texts.last(), QStringLiteral("Eredmény: 1-4: %1 pont, 2-3: %2 pont.").arg(a).arg(b));
        for (const QString &t : texts)
            QVERIFY(!t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r')));
    }
}

QTEST_GUILESS_MAIN(TstDeal)
#include "tst_deal.moc"
