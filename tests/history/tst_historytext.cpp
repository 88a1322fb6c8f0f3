// The deal history's helpers that need no window: day numbers both ways, the date the day
// query reads, the replies' readers, PadNumber, the texts beside the tree's rows and the
// index that places deals in the tree.

#include "history/DayNumber.h"
#include "history/HistoryIndex.h"
#include "history/HistoryText.h"

#include <QTest>
#include <limits>

class TstHistoryText : public QObject
{
    Q_OBJECT
private slots:
    void dayNumbers_data();
    void dayNumbers();
    void farEnds();
    void typedDates_data();
    void typedDates();
    void proposalReadsBack_data();
    void proposalReadsBack();
    void padNumber_data();
    void padNumber();
    void dealRecord();
    void dealRecordBadWord();
    void scoreRows_data();
    void scoreRows();
    void days_data();
    void days();
    void rowTexts();
    void indexPlaces();
    void firstInTreeOrder();
};

void TstHistoryText::dayNumbers_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("tree");
    QTest::newRow("day 0") << 0 << QDate(1899, 12, 30) << "1899.12.30";
    QTest::newRow("day 1") << 1 << QDate(1899, 12, 31) << "1899.12.31";
    QTest::newRow("before day 0") << -1 << QDate(1899, 12, 29) << "1899.12.29";
    QTest::newRow("1900 is no leap year") << 61 << QDate(1900, 3, 1) << "1900.03.01";
    QTest::newRow("38783") << 38783 << QDate(2006, 3, 7) << "2006.03.07";
    QTest::newRow("39000") << 39000 << QDate(2006, 10, 10) << "2006.10.10";
    QTest::newRow("2000 is a leap year") << 36585 << QDate(2000, 2, 29) << "2000.02.29";
    QTest::newRow("after 2000-02-29") << 36586 << QDate(2000, 3, 1) << "2000.03.01";
    QTest::newRow("2024-02-29") << 45351 << QDate(2024, 2, 29) << "2024.02.29";
    QTest::newRow("first shown day") << -693593 << QDate(1, 1, 1) << "   1.01.01";
    QTest::newRow("last shown day") << 2958465 << QDate(9999, 12, 31) << "9999.12.31";
}

void TstHistoryText::dayNumbers()
{
    QFETCH(int, day);
    QFETCH(QDate, date);
    QFETCH(QString, tree);
    QCOMPARE(DayNumber::ToDate(day), date);
    QCOMPARE(DayNumber::FromDate(date), std::optional<qint32>(day));
    QCOMPARE(DayNumber::TreeText(day), tree);
    QVERIFY(DayNumber::Shown(day));
}

void TstHistoryText::farEnds()
{
    // Days a four-digit year cannot show still read as themselves, and differ from each other.
    const qint32 max = std::numeric_limits<qint32>::max();
    const qint32 min = std::numeric_limits<qint32>::min();
    QVERIFY(!DayNumber::Shown(2958466));
    QVERIFY(!DayNumber::Shown(-693594));
    QCOMPARE(DayNumber::TreeText(2958466), QStringLiteral("2958466. nap"));
    QCOMPARE(DayNumber::TreeText(max), QStringLiteral("2147483647. nap"));
    QCOMPARE(DayNumber::TreeText(min), QStringLiteral("-2147483648. nap"));
    QCOMPARE(DayNumber::ShortText(max, QLocale(QLocale::Hungarian, QLocale::Hungary)),
             QStringLiteral("2147483647. nap"));
    // Both ends of the 32-bit range are real dates for the calendar and come back unchanged.
    QCOMPARE(DayNumber::FromDate(DayNumber::ToDate(max)), std::optional<qint32>(max));
    QCOMPARE(DayNumber::FromDate(DayNumber::ToDate(min)), std::optional<qint32>(min));
    QCOMPARE(DayNumber::FromDate(DayNumber::ToDate(max).addDays(1)), std::nullopt);
    QCOMPARE(DayNumber::FromDate(QDate()), std::nullopt);
}

void TstHistoryText::typedDates_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("day"); // -1: not a date
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale c = QLocale::c();
    QTest::newRow("hu short form") << hu << "2006. 03. 07." << 38783;
    QTest::newRow("hu dots") << hu << "2006.03.07" << 38783;
    QTest::newRow("hu dashes") << hu << "2006-03-07" << 38783;
    QTest::newRow("hu blanks around") << hu << "  2006.3.7  " << 38783;
    QTest::newRow("hu two-digit year") << hu << "06.03.07" << 38783;
    QTest::newRow("hu 10 October") << hu << "2006.10.10" << 39000;
    QTest::newRow("hu leap day") << hu << "2024.02.29" << 45351;
    QTest::newRow("hu no such leap day") << hu << "2023.02.29" << -1;
    QTest::newRow("hu month 13") << hu << "2006.13.01" << -1;
    QTest::newRow("hu day 0") << hu << "2006.03.00" << -1;
    QTest::newRow("hu two parts") << hu << "2006.03" << -1;
    QTest::newRow("hu four parts") << hu << "2006.03.07.12" << -1;
    QTest::newRow("hu words") << hu << "tegnap" << -1;
    QTest::newRow("hu year 0") << hu << "0000.01.01" << -1;
    QTest::newRow("hu five-digit year") << hu << "20060.03.07" << -1;
    QTest::newRow("hu too many digits") << hu << "2006.03.0000000007" << -1;
    QTest::newRow("us month first") << us << "3/7/06" << 38783;
    QTest::newRow("us full year") << us << "3/7/2006" << 38783;
    QTest::newRow("us two-digit year of the last century") << us << "12/30/99" << 36524;
    QTest::newRow("de day first") << de << "07.03.06" << 38783;
    QTest::newRow("de day first is not month first") << de << "03.07.2006" << 38901;
    QTest::newRow("C month name") << c << "7 Mar 2006" << 38783;
    QTest::newRow("C digits in the format's order") << c << "7 3 2006" << 38783;
}

void TstHistoryText::typedDates()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(int, day);
    const QDate today(2024, 6, 1);
    const std::optional<qint32> read = DayNumber::ReadShortDate(text, locale, today);
    QCOMPARE(read, day < 0 ? std::nullopt : std::optional<qint32>(day));
}

void TstHistoryText::proposalReadsBack_data()
{
    QTest::addColumn<QLocale>("locale");
    for (const QLocale &l : {QLocale(QLocale::Hungarian, QLocale::Hungary), QLocale(QLocale::English, QLocale::UnitedStates),
                             QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedKingdom),
                             QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::Japanese, QLocale::Japan),
                             QLocale::c()})
        QTest::newRow(qPrintable(l.name())) << l;
}

void TstHistoryText::proposalReadsBack()
{
    // Whatever the user's short format, the day query's own proposal reads back as its day,
    // two-digit years included.
    QFETCH(QLocale, locale);
    for (const QDate date : {QDate(2006, 3, 7), QDate(1999, 12, 31), QDate(2024, 1, 2)}) {
        const QString text = locale.toString(date, QLocale::ShortFormat);
        QCOMPARE(DayNumber::ReadShortDate(text, locale, date.addDays(5)), DayNumber::FromDate(date));
    }
}

void TstHistoryText::padNumber_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("padded");
    QTest::newRow("5") << qint64(5) << QString(10, QLatin1Char(' ')) + "5";
    QTest::newRow("0") << qint64(0) << QString(10, QLatin1Char(' ')) + "0";
    QTest::newRow("-12") << qint64(-12) << QString(7, QLatin1Char(' ')) + "-12";
    QTest::newRow("-1") << qint64(-1) << QString(9, QLatin1Char(' ')) + "-1";
    QTest::newRow("12345") << qint64(12345) << "  12345";
    QTest::newRow("123456") << qint64(123456) << "123456";
    QTest::newRow("-12345") << qint64(-12345) << " -12345";
    QTest::newRow("-123456 stays one blank in") << qint64(-123456) << " -123456";
    QTest::newRow("beyond 32 bits") << qint64(4294967295LL) << "4294967295";
}

void TstHistoryText::padNumber()
{
    QFETCH(qint64, n);
    QFETCH(QString, padded);
    QCOMPARE(PadNumber(n), padded);
}

void TstHistoryText::dealRecord()
{
    QString line = QStringLiteral("0 17 3 38783 +25 Anna Béla Cili Dani");
    for (int g = 0; g < 5; ++g)
        for (int k = 0; k < 10; ++k)
            line += QStringLiteral(" %1").arg(g == 0 ? (k < 3 ? 0 : 3) : g * 5 + k % 5 + 1);
    const THistoryHeader h = ReadHistoryHeader(line);
    QCOMPARE(h.Code, 0);
    QCOMPARE(h.Board, QStringLiteral("17"));
    QCOMPARE(h.Id, 3);
    const TDealRecord r = ReadDealRecord(line);
    QCOMPARE(r.Day, 38783);
    QCOMPARE(r.Tag, QStringLiteral("+25"));
    QCOMPARE(r.Names, (std::array<QString, 4>{"Anna", "Béla", "Cili", "Dani"}));
    QCOMPARE(r.Hands[0].Get(9), 3);
    QCOMPARE(r.Hands[4].Get(0), 21);
    QCOMPARE(r.Split(), QStringLiteral("7 : 3"));

    // Missing words read as empty texts and zeros; the lists still have ten slots each.
    const TDealRecord shortOne = ReadDealRecord(QStringLiteral("5 t A"));
    QCOMPARE(shortOne.Day, 5);
    QCOMPARE(shortOne.Names[1], QString());
    for (const THand &hand : shortOne.Hands)
        QCOMPARE(hand.Count(), 10);
    QCOMPARE(shortOne.Split(), QStringLiteral("10 : 0"));
    // A count the club never sends still gives a split, without overflow.
    QString odd = QStringLiteral("1 t a b c d 0 0 0 0 0 0 0 0 0 -2147483648");
    QCOMPARE(ReadDealRecord(odd).Split(), QStringLiteral("2147483658 : -2147483648"));
}

void TstHistoryText::dealRecordBadWord()
{
    QVERIFY_THROWS_EXCEPTION(ConversionError, ReadDealRecord(QStringLiteral("38783 t a b c d 1 2 x")));
    QVERIFY_THROWS_EXCEPTION(ConversionError, ReadDealRecord(QStringLiteral("nap t a b c d")));
}

void TstHistoryText::scoreRows_data()
{
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QStringList>("rows"); // "label a b"
    QTest::addColumn<qint64>("sumA");
    QTest::addColumn<qint64>("sumB");
    QTest::newRow("three rows") << "*Gém 20 0 Pagát\u00A0ulti 0 5 Négy\u00A0király 10 0"
                                << QStringList{"*Gém 20 0", "Pagát\u00A0ulti 0 5", "Négy\u00A0király 10 0"} << qint64(30) << qint64(5);
    QTest::newRow("empty") << "" << QStringList() << qint64(0) << qint64(0);
    QTest::newRow("exactly three characters") << "a 1" << QStringList() << qint64(0) << qint64(0);
    QTest::newRow("four characters make a row") << "a 12" << QStringList{"a 12 0"} << qint64(12) << qint64(0);
    QTest::newRow("a short remnant is ignored") << "Gém 20 0 x 1" << QStringList{"Gém 20 0"} << qint64(20) << qint64(0);
    QTest::newRow("negative points") << "Kontra -40 40" << QStringList{"Kontra -40 40"} << qint64(-40) << qint64(40);
    QTest::newRow("sums beyond 32 bits") << "a 2147483647 0 b 2147483647 -2147483648"
                                         << QStringList{"a 2147483647 0", "b 2147483647 -2147483648"}
                                         << qint64(4294967294LL) << qint64(-2147483648LL);
}

void TstHistoryText::scoreRows()
{
    QFETCH(QString, scores);
    QFETCH(QStringList, rows);
    QFETCH(qint64, sumA);
    QFETCH(qint64, sumB);
    const TScoreSheet sheet = ReadScoreRows(scores);
    QStringList got;
    for (const TScoreRow &r : sheet.Rows)
        got << QStringLiteral("%1 %2 %3").arg(r.Label).arg(r.A).arg(r.B);
    QCOMPARE(got, rows);
    QCOMPARE(sheet.SumA, sumA);
    QCOMPARE(sheet.SumB, sumB);
    QCOMPARE(sheet.Difference(), sumA - sumB);
}

void TstHistoryText::days_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qint32>>("days");
    QTest::newRow("two days") << "38782 38783" << QList<qint32>{38782, 38783};
    QTest::newRow("none") << "" << QList<qint32>();
    QTest::newRow("two blanks read as day 0") << "38782  38783" << QList<qint32>{38782, 0, 38783};
    QTest::newRow("trailing blank") << "38782 " << QList<qint32>{38782};
}

void TstHistoryText::days()
{
    QFETCH(QString, text);
    QFETCH(QList<qint32>, days);
    QCOMPARE(ReadDays(text), days);
}

void TstHistoryText::rowTexts()
{
    using namespace HistoryColumns;
    const TColumns design = Columns();
    QCOMPARE((QList<int>{design.X1, design.X2, design.X3, design.X4}), (QList<int>{109, 136, 218, 252}));
    const TColumns wide = Columns(100);
    QCOMPARE((QList<int>{wide.X1, wide.X2, wide.X3, wide.X4}), (QList<int>{133, 166, 266, 306}));
    const QList<TRowText> deal = DealRowTexts(QStringLiteral("+25"), {"Anna", "Béla", "Cili", "Dani"},
                                              QStringLiteral("7 : 3"));
    QCOMPARE(deal.size(), 4);
    QCOMPARE(deal[0].X, 109);
    QCOMPARE(deal[0].Text, QStringLiteral("+25"));
    QCOMPARE(deal[1].X, 136);
    QCOMPARE(deal[1].Text, QStringLiteral("Anna-Dani"));
    QCOMPARE(deal[2].X, 218);
    QCOMPARE(deal[2].Text, QStringLiteral("7 : 3"));
    QCOMPARE(deal[3].X, 252);
    QCOMPARE(deal[3].Text, QStringLiteral("Béla-Cili"));
    QCOMPARE(DealRowTexts(QString(), {}, QString(), 100)[3].X, 306);
    const QString attack = QStringLiteral("--- Támadók ---"), defend = QStringLiteral("---   Védők   ---");
    for (const auto &[board, odd] : {std::pair{"17", true}, {"18", false}, {"9", true}, {"20", false}, {"", false}}) {
        const QList<TRowText> row = BoardRowTexts(QString::fromLatin1(board));
        QCOMPARE(row.size(), 2);
        QCOMPARE(row[0].X, design.X2);
        QCOMPARE(row[1].X, design.X4);
        QCOMPARE(row[0].Text, odd ? attack : defend);
        QCOMPARE(row[1].Text, odd ? defend : attack);
    }
}

void TstHistoryText::indexPlaces()
{
    THistoryIndex index;
    auto p = index.Place(QStringLiteral("17"), 100, 1);
    QVERIFY(p.NewBoard && p.NewDay && p.NewDeal);
    QCOMPARE(p.Deal, 0);
    p = index.Place(QStringLiteral("17"), 100, 2); // same day: a level-2 node
    QVERIFY(!p.NewBoard && !p.NewDay && p.NewDeal);
    QCOMPARE(p.Deal, 1);
    p = index.Place(QStringLiteral("17"), 100, 1); // known: nothing new
    QVERIFY(!p.NewBoard && !p.NewDay && !p.NewDeal);
    QCOMPARE(p.Deal, 0);
    p = index.Place(QStringLiteral("17"), 101, 1); // another day: a new day node
    QVERIFY(!p.NewBoard && p.NewDay && p.NewDeal);
    QCOMPARE(p.DayGroup, 1);
    // Board texts compare exactly: "017" is another board.
    p = index.Place(QStringLiteral("017"), 100, 1);
    QVERIFY(p.NewBoard);
    // Days that would print alike are still two days.
    p = index.Place(QStringLiteral("5"), 2958466, 1);
    QVERIFY(p.NewDay);
    p = index.Place(QStringLiteral("5"), 2958467, 1);
    QVERIFY(p.NewDay);
    QCOMPARE(index.DealCount(), 6);
}

void TstHistoryText::firstInTreeOrder()
{
    // Tree order: day A (id 1), A's level-2 id 2, then day B (id 2): the first id 2 is the
    // one under A even though B's arrived first.
    THistoryIndex index;
    const QString b = QStringLiteral("8");
    const int a1 = index.Place(b, 10, 1).Deal;
    const int b2 = index.Place(b, 20, 2).Deal;
    QCOMPARE(index.FirstWithId(b, 2), b2);
    const int a2 = index.Place(b, 10, 2).Deal;
    QCOMPARE(index.FirstWithId(b, 2), a2);
    QCOMPARE(index.FirstWithId(b, 1), a1);
    index.Place(b, 20, 1);
    QCOMPARE(index.FirstWithId(b, 1), a1);
    QCOMPARE(index.FirstWithId(b, 3), THistoryIndex::None);
    QCOMPARE(index.FirstWithId(QStringLiteral("9"), 1), THistoryIndex::None);
}

QTEST_GUILESS_MAIN(TstHistoryText)
#include "tst_historytext.moc"
