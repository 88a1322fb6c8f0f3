// The bid text: the seats' picks and the layout under the four seats.

#include "TestClient.h"

#include "bidding/BidLayout.h"
#include "bidding/VmList.h"
#include "cards/Hands.h"
#include "session/ClickLabel.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTest>

static QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

class TstBidList : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void parseLeavesListOnOneCharacter();
    void render_data();
    void render();
    void renderStopsAtBadCount();
    void showBids();
};

void TstBidList::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seat");
    QTest::addColumn<QStringList>("bids");
    const QString a = QStringLiteral("1 1 Gém 1 Kassza 0 1 *Kassza");
    const QString b = QStringLiteral("3 1 Gém 0 0 1 Kassza");
    QTest::newRow("seat 2") << a << 2 << QStringList{"Kassza"};
    QTest::newRow("side of 2, seat 3 passed") << a << -2 << QStringList{"Kassza"};
    QTest::newRow("side of 1") << a << -1 << QStringList{"Gém", "*Kassza"};
    QTest::newRow("first seat 3: seat 2") << b << 2 << QStringList{"Kassza"};
    QTest::newRow("first seat 3: seat 1") << b << 1 << QStringList{};
    QTest::newRow("first seat 3: side of 3") << b << -3 << QStringList{"Gém", "Kassza"};
    QTest::newRow("empty text") << "" << 1 << QStringList{};
    QTest::newRow("count beyond the words") << "1 5 Gém" << 1 << QStringList{"Gém"};
    QTest::newRow("seat beyond 4") << a << 7 << QStringList{};
}

void TstBidList::parse()
{
    QFETCH(QString, text);
    QFETCH(int, seat);
    QFETCH(QStringList, bids);
    TBidList list;
    list << QStringLiteral("old");
    list.Parse(text, seat);
    QCOMPARE(QStringList(list), bids);
}

void TstBidList::parseLeavesListOnOneCharacter()
{
    TBidList list;
    list << QStringLiteral("old");
    list.Parse(QStringLiteral("1"), 1);
    QCOMPARE(QStringList(list), QStringList{"old"});
    QVERIFY_THROWS_EXCEPTION(ConversionError, list.Parse(QStringLiteral("1 x Gém"), 1));
}

void TstBidList::render_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("first seat 3") << "3 1 Gém 0 0 1 Kassza"
                                  << QStringList{blanks(81) + "Gém", "- Passz -", blanks(27) + "- Passz -",
                                                 blanks(54) + "Kassza"};
    QTest::newRow("five passes") << "1 0 0 0 0 0"
                                 << QStringList{blanks(27) + "- Passz -", blanks(54) + "- Passz -",
                                                blanks(81) + "- Passz -", "- Passz -", blanks(27) + "- Passz -"};
    QTest::newRow("first seat only") << "1" << QStringList{};
    QTest::newRow("two bids in a turn") << "1 2 Gém 8\u00A0Tarokk"
                                        << QStringList{blanks(27) + "Gém", blanks(27) + "8\u00A0Tarokk"};
    QTest::newRow("negative count") << "1 -1 0" << QStringList{blanks(54) + "- Passz -"};
    QTest::newRow("other first seat is seat 1") << "2 0" << QStringList{blanks(27) + "- Passz -"};
}

void TstBidList::render()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QStringList target;
    BidLayout::Render(text, target);
    QCOMPARE(target, lines);
    QVERIFY(text.isEmpty());
    for (const QString &line : lines)
        QCOMPARE(BidLayout::ColumnOf(line) * 27, int(line.size() - BidLayout::BidOf(line).size()));
}

void TstBidList::renderStopsAtBadCount()
{
    QString text = QStringLiteral("1 1 Gém x 1 Kassza");
    QStringList target;
    QVERIFY_THROWS_EXCEPTION(ConversionError, BidLayout::Render(text, target));
    QCOMPARE(target, QStringList{blanks(27) + "Gém"});
}

void TstBidList::showBids()
{
    TestClient c;
    c.frame()->show(); // hands the seat fields to the table
    c.frame()->seatField(1)->setText(QStringLiteral("Anna"));
    c.frame()->seatField(3)->setText(QStringLiteral("<b>Béla</b>"));
    c.ctx.list->ShowBids(QStringLiteral("1 1 Gém 1 Kassza 0 1 *Kassza"));
    QVERIFY(c.ctx.list->isVisible());
    QCOMPARE(c.ctx.list->Seats[0]->text(), QStringLiteral("Anna"));
    QCOMPARE(c.ctx.list->Seats[2]->text(), QStringLiteral("<b>Béla</b>"));
    QCOMPARE(c.ctx.list->Seats[2]->textFormat(), Qt::PlainText);
    QListWidget *list = c.ctx.list->ListBox;
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->currentRow(), 3);
    QCOMPARE(list->item(3)->text(), QStringLiteral("*Kassza"));
    // A malformed text keeps what was laid out before the bad count.
    c.ctx.guard([&] { c.ctx.list->ShowBids(QStringLiteral("1 1 Gém x")); });
    QCOMPARE(c.dialogs->errors().size(), 1);
    QCOMPARE(list->count(), 1);
    c.ctx.list->hide();
    c.frame()->SetPlaceMenus(false);
    c.frame()->menuItem("mnBids")->setEnabled(true);
    c.frame()->menuItem("mnBids")->trigger();
    QVERIFY(c.ctx.list->isVisible());
    QCOMPARE(list->count(), 1);
}

QTEST_MAIN(TstBidList)
#include "tst_bidlist.moc"
