// The own hand's rules: proposals, orders, legality and the strip's layout.

#include "cards/HandRules.h"

#include <QTest>

Q_DECLARE_METATYPE(THand)

static const QString NB(QChar(0x00A0));

class TstHandRules : public QObject
{
    Q_OBJECT
private slots:
    void analyse_data();
    void analyse();
    void order_data();
    void order();
    void legality_data();
    void legality();
    void layout_data();
    void layout();
};

void TstHandRules::analyse_data()
{
    QTest::addColumn<THand>("hand");
    QTest::addColumn<QStringList>("proposals");
    QTest::newRow("five clubs: flush") << THand{1, 2, 3, 4, 5, 26, 27, 28, 29, 30}
                                       << QStringList{"Flush"};
    QTest::newRow("four diamonds: flush") << THand{6, 7, 8, 9, 26, 27, 28, 29, 30, 31}
                                          << QStringList{"Flush"};
    QTest::newRow("five diamonds") << THand{6, 7, 8, 9, 10, 26, 27, 28, 29, 30}
                                   << QStringList{"5" + NB + "Káró"};
    QTest::newRow("eight tarokks, matador") << THand{42, 41, 21, 22, 30, 31, 32, 33, 1, 16}
                                            << QStringList{"8" + NB + "Tarokk", "Matador"};
    QTest::newRow("no tarokk") << THand{1, 2, 6, 7, 11, 12, 16, 17, 18, 3}
                               << QStringList{"3" + NB + "Treff", "2" + NB + "Káró", "2" + NB + "Kőr",
                                              "3" + NB + "Pikk", "Vannak"};
    QTest::newRow("IIII is a matador, V is not") << THand{24, 25, 26, 27, 28, 29, 30, 1, 6, 11}
                                                 << QStringList{"Matador"};
    QTest::newRow("lowest tarokk V") << THand{25, 26, 27, 28, 29, 30, 31, 1, 6, 11} << QStringList{};
    QTest::newRow("rank 1 in every suit is not Vannak")
        << THand{1, 6, 11, 16, 30, 31, 32, 33, 34, 35} << QStringList{};
    QTest::newRow("two ranks, two Vannak") << THand{2, 7, 12, 17, 5, 10, 15, 20, 30, 31}
                                           << QStringList{"2" + NB + "Treff", "2" + NB + "Káró", "2" + NB + "Kőr",
                                                          "2" + NB + "Pikk", "Vannak", "Vannak"};
}

void TstHandRules::analyse()
{
    QFETCH(THand, hand);
    QFETCH(QStringList, proposals);
    QCOMPARE(AnalyseHand(hand), proposals);
}

void TstHandRules::order_data()
{
    QTest::addColumn<THand>("hand");
    QTest::addColumn<int>("setting");
    QTest::addColumn<THand>("shown");
    QTest::newRow("ascending") << THand{42, 3, 21, 7} << 0 << THand{3, 7, 21, 42};
    QTest::newRow("descending") << THand{42, 3, 21, 7} << 1 << THand{42, 21, 7, 3};
    QTest::newRow("split example") << THand{3, 7, 12, 18, 22, 30, 42} << 2 << THand{12, 18, 42, 30, 22, 7, 3};
    QTest::newRow("split without tarokk") << THand{1, 6, 11, 16, 20} << 2 << THand{11, 16, 20, 6, 1};
    QTest::newRow("split, tarokks only") << THand{21, 42, 30} << 2 << THand{42, 30, 21};
    QTest::newRow("split, tarokk and low suits") << THand{1, 6, 22} << 2 << THand{22, 6, 1};
    // A spectator's strip may hold an empty place; it is no tarokk.
    QTest::newRow("split, empty place") << THand{0, 14, 30, 9} << 2 << THand{14, 30, 9, 0};
    QTest::newRow("one card") << THand{5} << 2 << THand{5};
    QTest::newRow("empty") << THand{} << 1 << THand{};
    QTest::newRow("unknown setting: descending") << THand{5, 9, 42} << 7 << THand{42, 9, 5};
}

void TstHandRules::order()
{
    QFETCH(THand, hand);
    QFETCH(int, setting);
    QFETCH(THand, shown);
    OrderHand(hand, HandOrderOf(setting));
    QCOMPARE(hand, shown);
}

void TstHandRules::legality_data()
{
    QTest::addColumn<QList<int>>("trick");
    QTest::addColumn<int>("card");
    QTest::addColumn<THand>("counts");
    QTest::addColumn<bool>("legal");
    const THand diamondsAndTarokk{0, 2, 0, 0, 3};
    const THand noDiamondTarokk{1, 0, 0, 0, 3};
    const THand neither{1, 0, 2, 0, 0};
    QTest::newRow("leading") << QList<int>{0, 0, 0, 0} << 1 << diamondsAndTarokk << true;
    QTest::newRow("after taking the trick") << QList<int>{5, 30, 8, 9} << 1 << diamondsAndTarokk << true;
    QTest::newRow("following diamonds") << QList<int>{0, 0, 0, 7} << 8 << diamondsAndTarokk << true;
    QTest::newRow("must follow, not trump") << QList<int>{0, 0, 0, 7} << 30 << diamondsAndTarokk << false;
    QTest::newRow("must trump, not discard") << QList<int>{0, 0, 0, 7} << 1 << noDiamondTarokk << false;
    QTest::newRow("trumping") << QList<int>{0, 0, 0, 7} << 30 << noDiamondTarokk << true;
    QTest::newRow("free discard") << QList<int>{0, 0, 0, 7} << 1 << neither << true;
    QTest::newRow("led from opposite") << QList<int>{0, 0, 7, 30} << 30 << diamondsAndTarokk << false;
    QTest::newRow("led from the right") << QList<int>{0, 9, 30, 31} << 8 << diamondsAndTarokk << true;
    QTest::newRow("tarokk led, tarokk held") << QList<int>{0, 0, 0, 25} << 1 << noDiamondTarokk << false;
}

void TstHandRules::legality()
{
    QFETCH(QList<int>, trick);
    QFETCH(int, card);
    QFETCH(THand, counts);
    QFETCH(bool, legal);
    QCOMPARE(IsLegalPlay({trick[0], trick[1], trick[2], trick[3]}, card, counts), legal);
}

void TstHandRules::layout_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("margin");
    QTest::newRow("ten normal cards") << 10 << 66 << 0;
    QTest::newRow("three normal cards") << 3 << 122 << 171;
    QTest::newRow("one card") << 1 << 0 << 297;
    QTest::newRow("no card") << 0 << 0 << 297;
}

void TstHandRules::layout()
{
    QFETCH(int, cards);
    QFETCH(int, step);
    QFETCH(int, margin);
    const HandLayout l = LayoutHand(cards, 114, 708);
    QCOMPARE(l.step, step);
    QCOMPARE(l.margin, margin);
}

QTEST_APPLESS_MAIN(TstHandRules)
#include "tst_handrules.moc"
