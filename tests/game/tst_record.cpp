// The archive's line for a finished deal, and the history replies read by the client's deal
// history's own readers.

#include "game/Deal.h"
#include "game/Record.h"

#include "bidding/BidLayout.h"
#include "cards/Hands.h"
#include "cards/Replay.h"
#include "history/HistoryText.h"

#include <QTest>

using namespace club;

namespace {

const QChar NB(0x00A0);

DealRecord playedDeal(int number)
{
    Deal deal(number);
    while (deal.phase() == Deal::Phase::Bidding) {
        Outs out;
        deal.bid(deal.onTurn(), deal.robotTurn(deal.onTurn()), out);
    }
    while (deal.phase() == Deal::Phase::Playing) {
        Outs out;
        deal.play(deal.onTurn(), deal.robotCard(deal.onTurn()), out);
    }
    DealRecord r = deal.record({QStringLiteral("Ádám"), QStringLiteral("Bő_Éva"), QStringLiteral("Cili;%|="),
                                QStringLiteral("Robot4")},
                               38783);
    r.id = 7;
    return r;
}

// A record whose bids and scores are known, without playing.
DealRecord handMade()
{
    DealRecord r = playedDeal(17);
    r.bidText = QStringLiteral("1 2 Gém Pagát") + NB + QStringLiteral("ulti 1 *Gém 0 0 0 0");
    r.scoreRows = QStringList{QStringLiteral("*Gém 20 0"), QStringLiteral("Pagát") + NB + QStringLiteral("ulti 0 5"),
                              QStringLiteral("Négy") + NB + QStringLiteral("király 10 0")};
    return r;
}

void compareRecords(const DealRecord &a, const DealRecord &b)
{
    QCOMPARE(a.board, b.board);
    QCOMPARE(a.id, b.id);
    QCOMPARE(a.day, b.day);
    QCOMPARE(a.names, b.names);
    QCOMPARE(a.played, b.played);
    QCOMPARE(a.takenBy23, b.takenBy23);
    QCOMPARE(a.bidText, b.bidText);
    QCOMPARE(a.scoreRows, b.scoreRows);
}

} // namespace

class TstRecord : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip();
    void refuses_data();
    void refuses();
    void mangledTextNeverComesBackDifferent();
    void daysReply();
    void dealsReplyReadsAsTheHistoryReadsIt();
    void scoresReplyRows();
    void bidsReplyText();
};

void TstRecord::roundTrip()
{
    for (const DealRecord &r : {playedDeal(1), playedDeal(2), playedDeal(-3), handMade()}) {
        const QString text = r.toText();
        QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
        const auto back = DealRecord::fromText(text);
        QVERIFY(back.has_value());
        compareRecords(*back, r);
    }
}

void TstRecord::refuses_data()
{
    QTest::addColumn<QString>("text");
    const QString good = handMade().toText();
    QStringList words = good.split(QLatin1Char(' '));
    auto with = [&](int i, const QString &w) {
        QStringList c = words;
        c[i] = w;
        return c.join(QLatin1Char(' '));
    };
    // Word positions: 0 mark, 1 board, 2 id, 3 day, 4-7 names, 8 tricks, 9-48 cards,
    // 49-58 counts, 59 bids, 60 rows, 61.. rows.
    QTest::newRow("empty") << QString();
    QTest::newRow("mark only") << QStringLiteral("VD1");
    QTest::newRow("other mark") << with(0, QStringLiteral("VD2"));
    QTest::newRow("board not digits") << with(1, QStringLiteral("1a"));
    QTest::newRow("board with a leading zero") << with(1, QStringLiteral("017"));
    QTest::newRow("id not a number") << with(2, QStringLiteral("x"));
    QTest::newRow("id with plus") << with(2, QStringLiteral("+7"));
    QTest::newRow("id minus zero") << with(2, QStringLiteral("-0"));
    QTest::newRow("day minus with a leading zero") << with(3, QStringLiteral("-07"));
    QTest::newRow("tricks with a leading zero") << with(8, QStringLiteral("010"));
    QTest::newRow("name not encoded") << with(4, QStringLiteral("Anna"));
    QTest::newRow("name with a blank") << with(4, QStringLiteral("=a%20b"));
    QTest::newRow("name encoded twice over") << with(4, QStringLiteral("=%41"));
    QTest::newRow("eleven tricks") << with(8, QStringLiteral("11"));
    QTest::newRow("card 43") << with(9, QStringLiteral("43"));
    QTest::newRow("card 0") << with(9, QStringLiteral("0"));
    QTest::newRow("card twice") << with(10, words[9]);
    QTest::newRow("count jumps") << with(58, QString::number(words[57].toInt() + 2));
    QTest::newRow("bid text with a line break") << with(59, QStringLiteral("=1%0A0"));
    QTest::newRow("score row of two words") << with(61, QStringLiteral("=G%C3%A9m%2010"));
    QTest::newRow("more rows than said") << with(60, QStringLiteral("4"));
    QTest::newRow("trailing blank") << good + QLatin1Char(' ');
    QTest::newRow("extra word") << good + QStringLiteral(" 5");
    QTest::newRow("truncated") << good.left(good.size() / 2);
}

void TstRecord::refuses()
{
    QFETCH(QString, text);
    QVERIFY(!DealRecord::fromText(text).has_value());
}

void TstRecord::mangledTextNeverComesBackDifferent()
{
    // Whatever fromText takes, it must give back exactly: a record read from a damaged
    // line would otherwise be stored or replayed as something nobody played.
    const QString good = playedDeal(3).toText();
    quint32 state = 12345;
    auto next = [&]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const QString alphabet = QStringLiteral("0123456789 -=%VDAé\u00A0*");
    for (int i = 0; i < 3000; ++i) {
        QString text = good;
        const int edits = 1 + int(next() % 3);
        for (int e = 0; e < edits; ++e) {
            const int at = int(next() % quint32(text.size() + 1));
            switch (next() % 3) {
            case 0:
                text.insert(at, alphabet[int(next() % alphabet.size())]);
                break;
            case 1:
                text.remove(at, 1 + int(next() % 4));
                break;
            default:
                if (at < text.size())
                    text[at] = alphabet[int(next() % alphabet.size())];
            }
        }
        const auto r = DealRecord::fromText(text);
        if (r)
            QCOMPARE(r->toText(), text);
    }
}

void TstRecord::daysReply()
{
    QCOMPARE(DaysReply({38782, 38783}), QStringLiteral("Y38782 38783"));
    QCOMPARE(DaysReply({0}), QStringLiteral("Y0"));
    QCOMPARE(DaysReply({}), QStringLiteral("Y"));
    // The day chooser's own reader gets the days back.
    QCOMPARE(ReadDays(DaysReply({5, 45000, 46000}).mid(1)), (QList<qint32>{5, 45000, 46000}));
}

void TstRecord::dealsReplyReadsAsTheHistoryReadsIt()
{
    const DealRecord a = playedDeal(1), b = handMade();
    const QStringList lines = DealsReply({a, b});
    QCOMPARE(lines.size(), 2);
    QVERIFY(DealsReply({}).isEmpty());
    for (int i = 0; i < 2; ++i) {
        const DealRecord &r = i == 0 ? a : b;
        QVERIFY(lines[i].startsWith(QStringLiteral("X0 ")));
        QString rest = lines[i].mid(1);
        const THistoryHeader header = ReadHistoryHeader(rest);
        QCOMPARE(header.Code, 0);
        QCOMPARE(header.Board, r.board);
        QCOMPARE(header.Id, r.id);
        const TDealRecord read = ReadDealRecord(rest);
        QCOMPARE(read.Day, r.day);
        QVERIFY(!read.Tag.isEmpty());
        QCOMPARE(read.Names, r.names);
        QCOMPARE(read.Hands[0].Cards(), r.takenBy23);
        for (int s = 0; s < 4; ++s)
            QCOMPARE(read.Hands[s + 1].Cards(), r.played[s]);
        // The replay finds the same takers from the board number and the cards alone.
        TReplay replay;
        for (int s = 1; s <= 4; ++s)
            read.Hands[s].CopyTo(replay.SeatHand(s));
        replay.SetBoard(r.board.toInt());
        QCOMPARE(replay.Leaders.Count(), 10);
        for (int k = 1; k < 10; ++k) {
            const int leader = replay.Leaders.Get(k);
            const bool side23 = leader == 2 || leader == 3;
            QCOMPARE(r.takenBy23[k - 1] - (k > 1 ? r.takenBy23[k - 2] : 0), side23 ? 1 : 0);
        }
    }
    // The tag is the balance of side 1-4.
    QString rest = lines[1].mid(1);
    ReadHistoryHeader(rest);
    QCOMPARE(ReadDealRecord(rest).Tag, QStringLiteral("+25"));
}

void TstRecord::scoresReplyRows()
{
    const DealRecord r = handMade();
    const QString line = ScoresReply(r);
    QVERIFY(line.startsWith(QStringLiteral("X1 17 7 ")));
    QString rest = line.mid(1);
    const THistoryHeader header = ReadHistoryHeader(rest);
    QCOMPARE(header.Code, 1);
    QCOMPARE(header.Board, QStringLiteral("17"));
    QCOMPARE(header.Id, 7);
    // The history's own reader gets the rows back.
    QStringList rows;
    for (const TScoreRow &row : ReadScoreRows(rest).Rows)
        rows << QStringLiteral("%1 %2 %3").arg(row.Label).arg(row.A).arg(row.B);
    QCOMPARE(rows, r.scoreRows);
}

void TstRecord::bidsReplyText()
{
    const DealRecord r = handMade();
    const QString line = BidsReply(r);
    QString rest = line.mid(1);
    const THistoryHeader header = ReadHistoryHeader(rest);
    QCOMPARE(header.Code, 2);
    QCOMPARE(header.Board, QStringLiteral("17"));
    QCOMPARE(header.Id, 7);
    // What the history stores as the deal's bids, laid out as its bidding page does.
    QCOMPARE(rest, r.bidText);
    QStringList layout;
    BidLayout::Render(rest, layout);
    QCOMPARE(layout.size(), 7);
    QCOMPARE(BidLayout::BidOf(layout[1]), QStringLiteral("Pagát") + NB + QStringLiteral("ulti"));
}

QTEST_GUILESS_MAIN(TstRecord)
#include "tst_record.moc"
