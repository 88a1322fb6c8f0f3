// The own hand window: the "H" line, the strip, the keys and playing a card.

#include "FakeClub.h"
#include "TestClient.h"

#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/Dispatch.h"

#include <QCheckBox>
#include <QTest>

class TstCard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void handLine();
    void badHandLines_data();
    void badHandLines();
    void tenCardsInAStrip();
    void playChecks_data();
    void playChecks();
    void lastCardPlaysItself();
    void keys();

private:
    void feed(const QString &line) { client->ctx.guard([&] { client->ctx.dispatcher().dispatch(line); }); }
    TCardForm *card() const { return client->ctx.card; }
    std::unique_ptr<FakeClub> club;
    std::unique_ptr<TestClient> client;
};

void TstCard::init()
{
    club = std::make_unique<FakeClub>();
    client = std::make_unique<TestClient>();
    client->ctx.connect->fdSound->setCheckState(Qt::Unchecked); // notices as boxes
    QVERIFY(client->connectTo(*club));
    client->frame()->setOwnSeat(2);
}

void TstCard::cleanup()
{
    client.reset();
    club.reset();
}

void TstCard::handLine()
{
    feed(QStringLiteral("H2 1 2 3 4 5 26 27 28 29 30 31"));
    QCOMPARE(card()->Hand().Count(), 10); // the eleventh is ignored
    QVERIFY(card()->isVisible());
    QCOMPARE(card()->Proposals(), QStringList{QStringLiteral("Flush")});
    // Descending is the default order.
    QCOMPARE(card()->Tag(0), 30);
    QCOMPARE(card()->Tag(9), 1);
    feed(QStringLiteral("H2 6 7 8 9 10 26 27 28 29"));
    QCOMPARE(card()->Hand().Count(), 9);
    QCOMPARE(card()->Proposals(), QStringList{QStringLiteral("Flush")}); // no analysis for nine
    feed(QStringLiteral("H2"));
    QCOMPARE(card()->Hand().Count(), 0);
}

void TstCard::badHandLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("not a number") << "H2 5 x 7";
    QTest::newRow("card above 42") << "H2 5 43";
    QTest::newRow("negative card") << "H2 -1";
    QTest::newRow("seat beyond 4") << "H9 5";
}

void TstCard::badHandLines()
{
    QFETCH(QString, line);
    feed(QStringLiteral("H2 1 2 3"));
    feed(line);
    QCOMPARE(client->dialogs->errors().size(), 1);
    QCOMPARE(card()->Hand(), (THand{3, 2, 1})); // the hand shown is left whole
}

void TstCard::tenCardsInAStrip()
{
    feed(QStringLiteral("H2 1 2 3 4 5 26 27 28 29 30"));
    QCOMPARE(card()->width(), 708);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(card()->Slot(i)->x(), 66 * i);
    QCOMPARE(card()->Slot(1)->y(), 0); // nothing is lowered until the user picks a card
    QCOMPARE(card()->Slot(0)->y(), 0);
    feed(QStringLiteral("H2 1 2 3"));
    QCOMPARE(card()->Slot(0)->x(), 171);
    QCOMPARE(card()->Slot(1)->x(), 171 + 122);
}

void TstCard::playChecks_data()
{
    QTest::addColumn<int>("trick");
    QTest::addColumn<int>("toAct");
    QTest::addColumn<QList<int>>("table");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("notice");
    // Hand 7 (Káró) and 30 (tarokk); the selected card is the second from the left: 7.
    QTest::newRow("bidding") << -1 << 2 << QList<int>{0, 0, 0, 0} << "" << "Jó a mozdulat, de még korai :-)";
    QTest::newRow("not our turn") << 3 << 3 << QList<int>{0, 0, 0, 0} << "" << "Jó a mozdulat, de még korai :-)";
    QTest::newRow("leading") << 3 << 2 << QList<int>{0, 0, 0, 0} << "P7" << "";
    QTest::newRow("following") << 3 << 2 << QList<int>{0, 0, 0, 9} << "P7" << "";
    QTest::newRow("must trump") << 3 << 2 << QList<int>{0, 0, 0, 1} << "" << "Nem megengedett lap";
}

void TstCard::playChecks()
{
    QFETCH(int, trick);
    QFETCH(int, toAct);
    QFETCH(QList<int>, table);
    QFETCH(QString, sent);
    QFETCH(QString, notice);
    feed(QStringLiteral("H2 7 30"));
    // The table's state comes with a "P" line: seat 2 sits at the bottom, seat 3 on the
    // right, seat 4 at the top and seat 1 on the left. Bidding sets the trick number -1.
    feed(QStringLiteral("P%1 %2 0 %3 %4 %5 %6").arg(toAct).arg(std::max(trick, 1))
             .arg(table[3]).arg(table[0]).arg(table[1]).arg(table[2]));
    if (trick < 0)
        client->ctx.desk->SetTrickNumber(trick);
    client->dialogs->shown.clear(); // the turn's own notice
    card()->PlaySelected();
    client->ctx.frame->SendLine(QStringLiteral("Zmarker"));
    QVERIFY(club->waitForLines(1));
    const QStringList expected = sent.isEmpty() ? QStringList{"Zmarker"} : QStringList{sent, "Zmarker"};
    QTRY_COMPARE(club->received, expected);
    QCOMPARE(client->dialogs->texts(QStringLiteral("message")), notice.isEmpty() ? QStringList() : QStringList{notice});
}

void TstCard::lastCardPlaysItself()
{
    feed(QStringLiteral("H2 14"));
    feed(QStringLiteral("P2 9 0 12 0 0 0")); // the user's turn
    QVERIFY(club->waitForLines(1));
    QCOMPARE(club->received, QStringList{QStringLiteral("P14")});
    feed(QStringLiteral("H2 14 15"));
    card()->YourTurn();
    QCOMPARE(client->dialogs->texts(QStringLiteral("message")), QStringList{QStringLiteral("Te jössz!")});
}

void TstCard::keys()
{
    feed(QStringLiteral("H2 1 2 3"));
    card()->PlaySelected(); // too early: the card goes back up
    QCOMPARE(card()->Slot(1)->y(), 0);
    QTest::keyClick(card(), Qt::Key_Right); // the first key only lowers the second card
    QCOMPARE(card()->Selected(), 1);
    QCOMPARE(card()->Slot(1)->y(), 40);
    QTest::keyClick(card(), Qt::Key_Right);
    QCOMPARE(card()->Selected(), 2);
    QTest::keyClick(card(), Qt::Key_Right);
    QCOMPARE(card()->Selected(), 0); // wraps
    QTest::keyClick(card(), Qt::Key_Left);
    QCOMPARE(card()->Selected(), 2);
    QTest::keyClick(card(), Qt::Key_Return);
    const QString early = QStringLiteral("Jó a mozdulat, de még korai :-)");
    QCOMPARE(client->dialogs->texts(QStringLiteral("message")), (QStringList{early, early}));
}

QTEST_MAIN(TstCard)
#include "tst_card.moc"
