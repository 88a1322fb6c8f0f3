// What a played deal is worth: hand-built tricks against the announcements.

#include "game/Deal.h"
#include "game/Scoring.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace club;

namespace {

const QChar NB(0x00A0);

using BySeat = std::array<int, 4>;

// Ten tricks given by seat 1..4; seat 1 leads the first, each taker the next.
QList<Trick> play(const QList<BySeat> &tricks)
{
    QList<Trick> result;
    int leader = 1;
    for (const BySeat &cards : tricks) {
        Trick t;
        t.leader = leader;
        for (int i = 0; i < 4; ++i)
            AddCard(t, cards[(leader - 1 + i) % 4]);
        result << t;
        leader = t.winner;
    }
    return result;
}

// Side 1-4 takes tricks 1-7 (the third with XVIII, the fourth with XIX, the fifth with
// XX, both honours, all four kings); side 2-3 takes 8-10, the last with seat 2's Pagát.
// V and VI (25, 26) are the talon.
QList<BySeat> baseDeal()
{
    return {
        {42, 30, 31, 5}, {41, 32, 33, 10}, {38, 34, 35, 15}, {39, 36, 37, 20}, {40, 27, 28, 1},
        {29, 2, 3, 24},  {23, 4, 6, 22},   {7, 8, 9, 11},     {13, 16, 14, 12}, {19, 21, 17, 18},
    };
}

// Side 2-3's Skíz falls on side 1-4's XXI in the first trick.
QList<BySeat> xxiCaught()
{
    QList<BySeat> d = baseDeal();
    d[0] = {41, 42, 31, 5};
    d[1] = {30, 32, 33, 10};
    return d;
}

// Side 1-4 overtrumps side 2-3's Pagát in the last trick.
QList<BySeat> pagatCaught()
{
    QList<BySeat> d = baseDeal();
    d[5] = {29, 2, 3, 19};
    d[9] = {24, 21, 17, 18};
    return d;
}

// Side 2-3 takes the last three tricks with suit cards of three suits; side 1-4 overtrumps
// the Pagát in the sixth.
QList<BySeat> couleurDeal()
{
    QList<BySeat> d = baseDeal();
    d[5] = {29, 21, 3, 24};
    d[9] = {18, 2, 19, 17};
    return d;
}

// Side 1-4 takes every trick: the third to the seventh with XVIII .. Skíz, the last three
// with II, III, IIII (the last by seat 4), and side 2-3's Pagát in the fifth.
QList<BySeat> volatDeal()
{
    return {
        {30, 25, 26, 1}, {31, 27, 28, 2}, {38, 29, 32, 3}, {39, 33, 34, 4}, {40, 35, 21, 5},
        {41, 11, 12, 6}, {42, 13, 14, 7}, {22, 15, 16, 8}, {23, 17, 18, 9}, {10, 19, 20, 24},
    };
}

// The same, with side 2-3's XXI caught by the Skíz in the sixth trick: a Royal.
QList<BySeat> royalDeal()
{
    QList<BySeat> d = volatDeal();
    d[5] = {42, 41, 12, 6};
    d[6] = {37, 13, 14, 7};
    return d;
}

// And seat 1 takes the last trick too: the last three by one seat.
QList<BySeat> royalOneSeat()
{
    QList<BySeat> d = royalDeal();
    d[9] = {24, 19, 20, 10};
    return d;
}

Auction auction(const QStringList &turns)
{
    Auction a(1);
    int seat = 1;
    for (const QString &t : turns) {
        QStringList bids;
        QString rest = t;
        const int n = NextInt(rest);
        for (int i = 0; i < n; ++i)
            bids << NextWord(rest);
        a.add(seat, bids);
        seat = seat % 4 + 1;
    }
    return a;
}

QStringList rows(const Score &score)
{
    QStringList r;
    for (const ScoreLine &l : score.lines)
        r << QStringLiteral("%1 %2 %3").arg(l.label).arg(l.points[0]).arg(l.points[1]);
    return r;
}

} // namespace

Q_DECLARE_METATYPE(QList<BySeat>)

class TstScoring : public QObject
{
    Q_OBJECT
private slots:
    void fixturesAreWholeDeals();
    void score_data();
    void score();
    void totals();
    void mayPlayAgreesWithLegalCards_data();
    void mayPlayAgreesWithLegalCards();
    void withBidReadsAsTheAuctionWould();
};

void TstScoring::fixturesAreWholeDeals()
{
    for (const QList<BySeat> &d : {baseDeal(), xxiCaught(), pagatCaught(), couleurDeal(), volatDeal(), royalDeal(), royalOneSeat()}) {
        QSet<int> cards;
        for (const BySeat &t : d)
            for (int c : t)
                cards.insert(c);
        QCOMPARE(cards.size(), 40);
    }
    const QList<Trick> base = play(baseDeal());
    QList<int> winners;
    for (const Trick &t : base)
        winners << t.winner;
    QCOMPARE(winners, (QList<int>{1, 1, 1, 1, 1, 1, 1, 3, 3, 2}));
    winners.clear();
    for (const Trick &t : play(volatDeal()))
        winners << t.winner;
    QCOMPARE(winners, (QList<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 4}));
}

void TstScoring::score_data()
{
    QTest::addColumn<QList<BySeat>>("deal");
    QTest::addColumn<QStringList>("turns");
    QTest::addColumn<QStringList>("expected");
    const QString kings = "Négy" + QString(NB) + "király 10 0";
    const QStringList passes{"0", "0", "0", "0"};
    QTest::newRow("all pass: silent only") << baseDeal() << passes << QStringList{kings, "Obscur 5 0"};
    QTest::newRow("Gém made") << baseDeal() << QStringList{"1 Gém", "0", "0", "0"}
                              << QStringList{"Gém 10 0", kings};
    QTest::newRow("Gém down") << baseDeal() << QStringList{"0", "1 Gém", "0", "0", "0"}
                              << QStringList{"Gém 5 0", kings};
    QTest::newRow("Bridzs made at seven") << baseDeal() << QStringList{"1 Bridzs", "0", "0", "0"}
                                          << QStringList{"Bridzs 20 0", kings};
    QTest::newRow("Oktáv down at seven") << baseDeal() << QStringList{"1 Oktáv", "0", "0", "0"}
                                         << QStringList{"Oktáv 0 10", kings};
    QTest::newRow("raised chain plays its top") << baseDeal() << QStringList{"1 Gém", "0", "0", "1 Kassza", "0", "0", "0"}
                                                << QStringList{"Kassza 15 0", kings};
    QTest::newRow("contra doubles") << baseDeal() << QStringList{"1 Gém", "1 *Gém", "0", "0", "0"}
                                    << QStringList{"*Gém 20 0", kings};
    QTest::newRow("recontra doubles again") << baseDeal() << QStringList{"1 Gém", "1 *Gém", "0", "1 **Gém", "0", "0", "0"}
                                            << QStringList{"**Gém 40 0", kings};
    QTest::newRow("contra of a failing bid") << baseDeal() << QStringList{"0", "1 Gém", "0", "1 *Gém", "0", "0", "0"}
                                             << QStringList{"*Gém 10 0", kings};
    QTest::newRow("Pagát ulti made") << baseDeal() << QStringList{"0", QString("1 Pagát" + QString(NB) + "ulti"), "0", "0", "0"}
                                     << QStringList{QString("Pagát" + QString(NB) + "ulti 0 10"), kings, "Obscur 5 0"};
    QTest::newRow("Pagát ulti caught") << pagatCaught() << QStringList{"0", QString("1 Pagát" + QString(NB) + "ulti"), "0", "0", "0"}
                                       << QStringList{QString("Pagát" + QString(NB) + "ulti 5 0"), kings, "Les 10 0", "Obscur 5 0"};
    QTest::newRow("Sas ulti not with the Sas") << baseDeal() << QStringList{"0", QString("1 Sas" + QString(NB) + "ulti"), "0", "0", "0"}
                                               << QStringList{QString("Sas" + QString(NB) + "ulti 5 0"), kings, "Obscur 5 0"};
    QTest::newRow("Kakadu sólyom: trick 2 not with it") << baseDeal() << QStringList{QString("1 Kakadu" + QString(NB) + "sólyom"), "0", "0", "0"}
                                                    << QStringList{QString("Kakadu" + QString(NB) + "sólyom 0 5"), kings, "Obscur 5 0"};
    QTest::newRow("bound tricks") << baseDeal() << QStringList{"4 Pikoló City Centrum Kismadár", "0", "0", "0"}
                                  << QStringList{"Pikoló 5 0", "City 5 0", "Centrum 10 0", "Kismadár 0 5", kings, "Obscur 5 0"};
    QTest::newRow("honours") << baseDeal() << QStringList{"1 Köpf", "1 Honőr", "0", "1 Vizi", "0", "0", "0"}
                             << QStringList{"Köpf 2 0", "Vizi 1 0", "Honőr 1 0", kings, "Obscur 5 0"};
    QTest::newRow("Trull needs the Pagát") << baseDeal() << QStringList{"1 Trull", "0", "0", "0"}
                                           << QStringList{"Trull 0 3", kings, "Obscur 5 0"};
    QTest::newRow("Honőr of the caught XXI") << xxiCaught() << QStringList{"0", "1 Honőr", "0", "0", "0"}
                                             << QStringList{"Honőr 0 1", "Csendes" + QString(NB) + "XXI 0 50", "Obscur 5 0"};
    QTest::newRow("XXI-fogás announced, not again in silence") << xxiCaught() << QStringList{"0", "1 XXI-fogás", "0", "0", "0"}
                                                               << QStringList{"XXI-fogás 0 150", "Obscur 5 0"};
    QTest::newRow("banda") << baseDeal() << QStringList{QString("2 Treff" + QString(NB) + "banda Pikk" + QString(NB) + "banda"), "0", "0", "0"}
                           << QStringList{QString("Treff" + QString(NB) + "banda 5 0"), QString("Pikk" + QString(NB) + "banda 0 5"), kings, "Obscur 5 0"};
    QTest::newRow("small suit cards") << baseDeal() << QStringList{"0", "3 Amazon Spadille Manille", "0", "1 Amazon", "0", "0", "0"}
                                      << QStringList{"Amazon 0 5", "Amazon 0 5", "Spadille 0 30", "Manille 10 0", kings, "Obscur 5 0"};
    QTest::newRow("last tricks") << baseDeal() << QStringList{"0", QString("4 Dzsinn Surranó Főnix Kőr" + QString(NB) + "mariage"), "0", "0", "0"}
                                 << QStringList{"Dzsinn 10 0", "Surranó 10 0", "Főnix 10 0", QString("Kőr" + QString(NB) + "mariage 10 0"), kings, "Obscur 5 0"};
    QTest::newRow("Couleur, not Famille") << couleurDeal() << QStringList{"0", "2 Couleur Famille", "0", "0", "0"}
                                          << QStringList{"Couleur 0 160", "Famille 25 0", kings, "Les 10 0", "Obscur 5 0"};
    QTest::newRow("Héja and Trojka down") << baseDeal() << QStringList{"2 Héja Trojka", "0", "0", "0"}
                                          << QStringList{"Héja 0 20", "Trojka 0 20", kings, "Obscur 5 0"};
    QTest::newRow("volát trophies made") << volatDeal() << QStringList{"5 Volát Skála Trojka Spektrum Surranó", "0", "0", "0"}
                                         << QStringList{"Volát 35 0", "Skála 220 0", "Trojka 180 0", "Spektrum 260 0", "Surranó 30 0",
                                                        kings, "Les 10 0"};
    // Royal includes catching the Pagát: announced, it stands for the silent Les, made or not.
    QTest::newRow("volát trophies down") << volatDeal() << QStringList{"4 Piramis Full Glória Royal", "0", "0", "0"}
                                         << QStringList{"Piramis 0 30", "Full 0 30", "Glória 0 30", "Royal 0 30", kings, "Obscur 5 0"};
    QTest::newRow("Royal") << royalDeal() << QStringList{"1 Royal", "0", "0", "0"}
                           << QStringList{"Royal 300 0", kings, "Obscur 5 0"};
    QTest::newRow("Royal with the last three by one seat") << royalOneSeat() << QStringList{"1 Royal", "0", "0", "0"}
                                                           << QStringList{"Royal 0 30", kings, "Obscur 5 0"};
    QTest::newRow("Pagátfogás announced, no Les") << volatDeal() << QStringList{"1 Pagátfogás", "0", "0", "0"}
                                                  << QStringList{"Pagátfogás 20 0", kings, "Obscur 5 0"};
}

void TstScoring::score()
{
    QFETCH(QList<BySeat>, deal);
    QFETCH(QStringList, turns);
    QFETCH(QStringList, expected);
    const QList<Trick> tricks = play(deal);
    const Score score = ScoreDeal(auction(turns), tricks);
    QCOMPARE(rows(score), expected);
    // The robots' totals-only scoring agrees with the full breakdown.
    const std::array<int, 2> totals = ScoreTotals(ReadContract(auction(turns)), PlayedTricks(tricks));
    QCOMPARE(totals[0], score.total[0]);
    QCOMPARE(totals[1], score.total[1]);
}

void TstScoring::totals()
{
    // Signals score nothing and are no announcement of the deal.
    const Score s = ScoreDeal(auction({"2 Gém Héja", "1 *Gém", "1 8" + QString(NB) + "Tarokk", "0", "0", "0"}),
                              play(baseDeal()));
    QCOMPARE(rows(s), (QStringList{"*Gém 20 0", "Héja 0 20", "Négy" + QString(NB) + "király 10 0"}));
    QCOMPARE(s.total[0], 30);
    QCOMPARE(s.total[1], 20);
    // Nothing is scored before the tenth trick.
    QVERIFY(ScoreDeal(auction({"1 Gém"}), play(baseDeal().mid(0, 9))).lines.isEmpty());
    const QList<Trick> nine = play(baseDeal().mid(0, 9));
    QCOMPARE(ScoreTotals(ReadContract(auction({"1 Gém"})), PlayedTricks(nine)), (std::array<int, 2>{0, 0}));
}

void TstScoring::mayPlayAgreesWithLegalCards_data()
{
    QTest::addColumn<QList<int>>("hand");
    QTest::addColumn<QList<int>>("trick"); // cards in the order played, seat 1 leading

    const QList<int> mixed{2, 4, 9, 17, 21, 30, 42};
    QTest::newRow("leading") << mixed << QList<int>{};
    QTest::newRow("following the suit") << mixed << QList<int>{5};
    QTest::newRow("a void suit: tarokk") << mixed << QList<int>{12, 13};
    QTest::newRow("tarokk led") << mixed << QList<int>{35, 36, 1};
    QTest::newRow("no tarokk, a void suit") << QList<int>{2, 4, 9, 17} << QList<int>{12};
    QTest::newRow("tarokk led, none held") << QList<int>{2, 4, 9, 17} << QList<int>{25};
    QTest::newRow("a complete trick") << mixed << QList<int>{11, 12, 13, 14};
    QTest::newRow("an empty hand") << QList<int>{} << QList<int>{5};
}

void TstScoring::mayPlayAgreesWithLegalCards()
{
    QFETCH(QList<int>, hand);
    QFETCH(QList<int>, trick);
    Trick t;
    t.leader = 1;
    for (int c : trick)
        AddCard(t, c);
    const QList<int> legal = LegalCards(hand, t);
    for (int card = 0; card <= 43; ++card)
        QVERIFY2(MayPlay(hand, t, card) == legal.contains(card), qPrintable(QString::number(card)));
}

void TstScoring::withBidReadsAsTheAuctionWould()
{
    // Random auctions of the bids the rules take; at every turn, every bid the seat could add
    // on its own gives the same contract read the quick way as read from the whole auction.
    const QStringList pool{"Gém", "Kassza", "Bridzs", "Oktáv", "Mizer", "Volát", "Honőr", "Köpf", "Trull",
                           "Vizi", "L\u00B4amour", "Angelo", "Pagátfogás", "XXI-fogás", "Pagát\u00A0ulti",
                           "Sas\u00A0ulti", "Kőr\u00A0banda", "Héja", "8\u00A0Tarokk"};
    auto describe = [](const Contract &c) {
        QStringList d;
        for (const Contract::Bid &b : c.bids)
            d << QStringLiteral("%1/%2/%3/%4/%5/%6").arg(b.label).arg(b.side).arg(b.times).arg(b.token.row).arg(b.token.base).arg(b.token.card);
        for (int side = 0; side < 2; ++side) {
            QStringList rows;
            for (int row : c.announcedRows[side])
                rows << QString::number(row);
            d << rows.join(QLatin1Char(','));
        }
        d << (c.trickCountBid ? QStringLiteral("count") : QStringLiteral("-"));
        return d.join(QLatin1Char(' '));
    };
    quint32 state = 7;
    auto next = [&](quint32 n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    };
    int compared = 0, contras = 0, recontras = 0;
    for (int number = 1; number <= 60; ++number) {
        const Deal deal(number);
        Auction auction(number % 2 != 0 ? 1 : 3);
        for (int turn = 0; turn < 14 && !auction.finished(); ++turn) {
            const int seat = auction.onTurn();
            const QList<int> &hand = deal.hand(seat);
            const QStringList own = auction.sideBids(SideOf(seat));
            const QStringList other = auction.sideBids(1 - SideOf(seat));
            QStringList words = pool;
            for (const QString &bid : other)
                words << QLatin1Char('*') + bid;
            for (const QString &bid : own)
                words << QLatin1Char('*') + bid;
            const Contract contract = ReadContract(auction);
            QStringList taken;
            for (const QString &word : std::as_const(words)) {
                if (own.contains(word) || !auction.checkBid(seat, word, hand, own, other, {}).isEmpty())
                    continue;
                Auction with = auction;
                with.add(seat, {word});
                const Contract read = ReadContract(with);
                QCOMPARE(describe(WithBid(contract, seat, word)), describe(read));
                ++compared;
                contras += word.startsWith(QLatin1Char('*')) ? 1 : 0;
                recontras += std::any_of(read.bids.begin(), read.bids.end(),
                                         [](const Contract::Bid &b) { return b.times == 4; }) ? 1 : 0;
                if (taken.size() < 2 && next(4) == 0)
                    taken << word;
            }
            // Bids that go together in one turn: what the rules refuse together is left out.
            QStringList turnBids;
            for (const QString &word : std::as_const(taken))
                if (auction.checkBid(seat, word, hand, own, other, turnBids).isEmpty())
                    turnBids << word;
            auction.add(seat, next(3) == 0 ? QStringList() : turnBids);
        }
    }
    // The auctions reached contras, recontras (a bid played four times over) and many plain bids.
    QVERIFY(compared > 1000);
    QVERIFY(contras > 50);
    QVERIFY2(recontras > 5, qPrintable(QString::number(recontras)));
}

QTEST_GUILESS_MAIN(TstScoring)
#include "tst_scoring.moc"
