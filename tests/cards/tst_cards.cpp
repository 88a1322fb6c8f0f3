// The own hand: the "H" line, the hand signals, the display orders, the strip's layout,
// selecting and playing by keys and mouse, the turn and the automatic last card.

#include "PlayTable.h"

#include "cards/VmKibic.h"
#include "session/VmFrame.h"

#include <QStackedWidget>

#include <QSignalSpy>
#include <algorithm>

using Cards = QList<int>;

namespace {
const QString NB(QChar(0x00A0));
}

class TstCards : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void handSignals_data();
    void handSignals();
    void shortHandKeepsSignals();
    void ordersFollowTheSetting();
    void strip_data();
    void strip();
    void miniSize();
    void settingsPageAppliesAtOnce();
    void keys();
    void keysOnShortHands();
    void mouseSelectsTopmostCard();
    void doubleClickPlays();
    void playChecks_data();
    void playChecks();
    void lastCardPlaysItself();
    void spectatorHand();
    void badLines_data();
    void badLines();

private:
    Cards tags() const
    {
        Cards c;
        for (int i = 0; i < t->card()->Hand().Count(); ++i)
            c << t->card()->Tag(i);
        return c;
    }
    int top(int slot) const { return t->card()->Slot(slot)->y(); }
    // Seated at seat 2 with this hand; `trick` is the "P" line that follows, if any.
    void deal(const QString &hand, const QString &trick = QString())
    {
        t->sit(2);
        t->feed(QStringLiteral("H2 ") + hand);
        if (!trick.isEmpty())
            t->feed(trick);
        t->forgetBoxes();
    }
    std::unique_ptr<PlayTable> t;
};

void TstCards::init()
{
    t = std::make_unique<PlayTable>();
    QVERIFY(t->connect());
}

void TstCards::cleanup()
{
    t.reset();
}

void TstCards::handSignals_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QStringList>("proposals");
    QTest::newRow("five clubs") << "1 2 3 4 5 21 30 35 40 42" << QStringList{"Flush", "Matador"};
    QTest::newRow("four diamonds") << "6 7 8 9 26 30 35 38 40 42" << QStringList{"Flush"};
    QTest::newRow("five diamonds") << "6 7 8 9 10 26 30 35 40 42" << QStringList{"5" + NB + "Káró"};
    QTest::newRow("no tarokk") << "1 2 7 8 12 13 17 18 19 20"
                               << QStringList{"2" + NB + "Treff", "2" + NB + "Káró", "2" + NB + "Kőr",
                                              "4" + NB + "Pikk", "Vannak"};
    QTest::newRow("aces and tens are not Vannak")
        << "1 6 11 16 25 26 27 28 29 30" << QStringList{};
    QTest::newRow("eight tarokks from the Pagát")
        << "3 19 21 26 27 28 29 30 31 42" << QStringList{"8" + NB + "Tarokk", "Matador"};
    // Eleven numbers: the first ten are the hand.
    QTest::newRow("eleven numbers") << "6 7 8 9 26 30 35 38 40 42 41" << QStringList{"Flush"};
}

void TstCards::handSignals()
{
    QFETCH(QString, hand);
    QFETCH(QStringList, proposals);
    QSignalSpy spy(t->card(), &TCardForm::proposalsChanged);
    deal(hand);
    QCOMPARE(t->card()->Hand().Count(), 10);
    QCOMPARE(t->card()->Proposals(), proposals);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toStringList(), proposals);
}

void TstCards::shortHandKeepsSignals()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"));
    QSignalSpy spy(t->card(), &TCardForm::proposalsChanged);
    t->feed(QStringLiteral("H2 6 7 8 9 10 26 30 35 40"));
    QCOMPARE(t->card()->Hand().Count(), 9);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(t->card()->Proposals(), (QStringList{"Flush", "Matador"}));
    // The suit counts follow every hand, long or short.
    QCOMPARE(t->card()->SuitCounts(), (THand{0, 5, 0, 0, 4}));
}

void TstCards::ordersFollowTheSetting()
{
    // The orders themselves are the hand rules'; here, that the setting reaches the hand,
    // and is read each time the hand is shown: another order applies at once.
    t->setOrder(2);
    deal(QStringLiteral("3 7 12 18 22 30 42"));
    QCOMPARE(tags(), (Cards{12, 18, 42, 30, 22, 7, 3}));
    t->setOrder(0);
    t->card()->ShowHand();
    QCOMPARE(tags(), (Cards{3, 7, 12, 18, 22, 30, 42}));
}

void TstCards::strip_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("margin");
    QTest::newRow("ten cards") << "1 2 3 4 5 21 30 35 40 42" << 66 << 0;
    QTest::newRow("three cards") << "1 21 42" << 122 << 171;
    QTest::newRow("one card") << "42" << 0 << 297;
}

void TstCards::strip()
{
    QFETCH(QString, hand);
    QFETCH(int, step);
    QFETCH(int, margin);
    deal(hand);
    TCardForm *card = t->card();
    QVERIFY(card->isVisible());
    QCOMPARE(card->CardSizeInUse(), int(TCardForm::Normal));
    QCOMPARE(card->size(), QSize(708, 204));
    for (int i = 0; i < card->Hand().Count(); ++i) {
        QCOMPARE(card->Slot(i)->geometry(), QRect(margin + i * step, 0, 114, 204));
    }
    // The cards are painted where the slots are: the last card's right edge is white.
    const QImage shot = card->grab().toImage();
    const int n = card->Hand().Count();
    const QPoint inLast(margin + (n - 1) * step + 100, 120);
    QCOMPARE(shot.pixelColor(inLast * shot.devicePixelRatio()).lightness() > 200, true);
}

void TstCards::miniSize()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"));
    TCardForm *card = t->card();
    card->ApplyCardSize(TCardForm::Mini);
    card->ShowHand();
    QCOMPARE(card->size(), QSize(338, 30));
    QCOMPARE(card->Slot(0)->geometry(), QRect(0, 7, 26, 15));
    QCOMPARE(card->Slot(9)->geometry(), QRect(9 * 34, 7, 26, 15));
    card->SelectCard(3);
    QCOMPARE(top(3), 15);
    card->ApplyCardSize(TCardForm::Normal);
    QCOMPARE(card->size(), QSize(708, 204));
    QCOMPARE(top(3), 0);
}

void TstCards::settingsPageAppliesAtOnce()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"));
    TConnect *settings = t->ctx().connect;
    TCardForm *card = t->card();
    const Cards descending = tags();
    settings->findChild<QRadioButton *>(QStringLiteral("fdCard1"))->setChecked(true);
    t->setOrder(0);

    // The login page closing leaves the hand as it is.
    settings->Page->setCurrentWidget(settings->TabLogin);
    settings->show();
    settings->hide();
    QCOMPARE(card->CardSizeInUse(), int(TCardForm::Normal));
    QCOMPARE(tags(), descending);

    settings->Page->setCurrentWidget(settings->TabSetup);
    settings->show();
    settings->hide();
    QCOMPARE(card->CardSizeInUse(), int(TCardForm::Mini));
    QTRY_COMPARE(card->size(), QSize(338, 30));
    QCOMPARE(tags(), (Cards{1, 2, 3, 4, 5, 21, 30, 35, 40, 42}));
    QCOMPARE(card->Slot(9)->geometry(), QRect(9 * 34, 7, 26, 15));
}

void TstCards::keys()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42")); // shown 42 40 35 30 21 5 4 3 2 1
    TCardForm *card = t->card();
    // Nothing lowered: the first key, whatever it is, only lowers the second card.
    QTest::keyClick(card, Qt::Key_Left);
    QCOMPARE(card->Selected(), 1);
    QCOMPARE(top(1), 40);
    QTest::keyClick(card, Qt::Key_Left);
    QCOMPARE(card->Selected(), 0);
    QCOMPARE(top(1), 0);
    QCOMPARE(top(0), 40);
    QTest::keyClick(card, Qt::Key_Left); // wraps to the last card
    QCOMPARE(card->Selected(), 9);
    QTest::keyClick(card, Qt::Key_Right); // and back round to the first
    QCOMPARE(card->Selected(), 0);
    QTest::keyClick(card, Qt::Key_Right);
    QCOMPARE(card->Selected(), 1);
    QTest::keyClick(card, Qt::Key_A); // any other key keeps the card
    QCOMPARE(card->Selected(), 1);
    QTest::keyClick(card, Qt::Key_Tab); // Tab too: the window keeps every key
    QCOMPARE(card->Selected(), 1);
    QCOMPARE(top(1), 40);
    // Enter plays the lowered card: too early here, no "P" of the play has come.
    QTest::keyClick(card, Qt::Key_Return);
    QCOMPARE(t->notices(), QStringList{"Jó a mozdulat, de még korai :-)"});
    QCOMPARE(top(1), 0);
    QCOMPARE(t->sent(), QStringList());
}

void TstCards::keysOnShortHands()
{
    deal(QStringLiteral(""));
    TCardForm *card = t->card();
    QCOMPARE(card->Hand().Count(), 0);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Return}) {
        QTest::keyClick(card, key);
        QCOMPARE(top(1), 0);
    }
    QCOMPARE(t->notices(), QStringList());

    // One card: the keys lower that card, never an empty slot beyond it.
    t->feed(QStringLiteral("H2 30"));
    t->feed(QStringLiteral("P1 10 4 21 0 0 0"));
    t->forgetBoxes();
    QTest::keyClick(card, Qt::Key_Right);
    QCOMPARE(card->Selected(), 0);
    QCOMPARE(top(0), 40);
    QTest::keyClick(card, Qt::Key_Right);
    QCOMPARE(card->Selected(), 0);
    QCOMPARE(t->sent(), QStringList());
}

void TstCards::mouseSelectsTopmostCard()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"));
    TCardForm *card = t->card();
    // Slots 2 and 3 overlap at x = 198..245; the higher slot lies on top.
    QTest::mousePress(card, Qt::LeftButton, {}, QPoint(210, 100));
    QCOMPARE(card->Selected(), 3);
    QCOMPARE(top(3), 40);
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(210, 100));
    QTest::mousePress(card, Qt::LeftButton, {}, QPoint(10, 100));
    QCOMPARE(card->Selected(), 0);
    QCOMPARE(top(3), 0);
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(10, 100));
}

void TstCards::doubleClickPlays()
{
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"), QStringLiteral("P2 1 0 0 0 0 0"));
    QCOMPARE(t->notices(), QStringList());
    TCardForm *card = t->card();
    QTest::mousePress(card, Qt::LeftButton, {}, QPoint(210, 100)); // slot 3: 30
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(210, 100));
    QTest::mouseDClick(card, Qt::LeftButton, {}, QPoint(210, 100));
    QCOMPARE(t->sent(), QStringList{"P30"});
    QCOMPARE(top(3), 0);
}

void TstCards::playChecks_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QStringList>("lines"); // what came after the hand
    QTest::addColumn<int>("card");
    QTest::addColumn<QString>("sent"); // empty: refused
    QTest::addColumn<QString>("notice");
    const QString early = QStringLiteral("Jó a mozdulat, de még korai :-)");
    const QString illegal = QStringLiteral("Nem megengedett lap");
    // Seat 2 sits at the bottom; seat 1 is on the left (position 4).
    QTest::newRow("leading, any card") << "1 7 30" << QStringList{"P2 1 0 0 0 0 0"} << 1 << "P1" << "";
    QTest::newRow("following the led diamond") << "1 7 30" << QStringList{"P2 1 0 8 0 0 0"} << 7 << "P7" << "";
    QTest::newRow("must follow, not trump") << "1 7 30" << QStringList{"P2 1 0 8 0 0 0"} << 30 << "" << illegal;
    QTest::newRow("must trump, not discard") << "1 30" << QStringList{"P2 1 0 8 0 0 0"} << 1 << "" << illegal;
    QTest::newRow("trumping") << "1 30" << QStringList{"P2 1 0 8 0 0 0"} << 30 << "P30" << "";
    QTest::newRow("free discard") << "1 16" << QStringList{"P2 1 0 8 0 0 0"} << 1 << "P1" << "";
    // Led from the top by seat 4: the left place played, the right one not yet.
    QTest::newRow("led from the top") << "1 7 30" << QStringList{"P2 1 0 8 0 0 25"} << 1 << "" << illegal;
    QTest::newRow("took the trick, leads") << "1 7 30" << QStringList{"P-2 1 0 8 9 10 11"} << 30 << "P30" << "";
    // The user's turn by the last "P", but a bid line has come since: the bidding is on.
    QTest::newRow("bidding") << "1 7 30" << QStringList{"P2 1 0 0 0 0 0", "B"} << 7 << "" << early;
    QTest::newRow("not the user's turn") << "1 7 30" << QStringList{"P3 1 0 8 0 0 0"} << 7 << "" << early;
}

void TstCards::playChecks()
{
    QFETCH(QString, hand);
    QFETCH(QStringList, lines);
    QFETCH(int, card);
    QFETCH(QString, sent);
    QFETCH(QString, notice);
    deal(hand);
    for (const QString &line : lines)
        t->feed(line);
    QCOMPARE(t->errors(), QStringList());
    t->forgetBoxes();
    TCardForm *form = t->card();
    const int slot = form->Hand().Cards().indexOf(card);
    QVERIFY(slot >= 0);
    form->SelectCard(slot);
    form->PlaySelected();
    QCOMPARE(t->sent(), sent.isEmpty() ? QStringList{} : QStringList{sent});
    QCOMPARE(t->notices(), notice.isEmpty() ? QStringList{} : QStringList{notice});
    // The client never takes a card out itself; the server's next "H" does.
    QCOMPARE(form->Hand().Count(), hand.split(' ').size());
}

void TstCards::lastCardPlaysItself()
{
    deal(QStringLiteral("25"));
    t->feed(QStringLiteral("P1 10 4 21 0 0 0"));
    t->feed(QStringLiteral("P-1 10 4 21 0 0 0")); // not the user's turn: nothing more
    t->feed(QStringLiteral("P2 10 4 0 0 0 0"));
    QCOMPARE(t->sent(), QStringList{"P25"});
    QCOMPARE(t->notices(), QStringList());

    // Having taken the ninth trick the user leads the last one, again by itself; the
    // second card from the left was selected, the one card is played all the same.
    t->feed(QStringLiteral("H2 7"));
    t->feed(QStringLiteral("P-2 9 4 5 6 8 9"));
    QCOMPARE(t->sent(), QStringList{"P7"});
    QCOMPARE(t->notices(), QStringList());

    // The user takes the tenth trick with the hand empty: nothing to call for.
    t->feed(QStringLiteral("H2"));
    t->feed(QStringLiteral("P-2 10 4 10 7 11 12"));
    QCOMPARE(t->sent(), QStringList());
    QCOMPARE(t->notices(), QStringList());
    QCOMPARE(t->errors(), QStringList());
}

void TstCards::spectatorHand()
{
    t->sit(0);
    t->ctx().kibic->SetKibic(true);
    QSignalSpy spy(t->card(), &TCardForm::proposalsChanged);
    t->feed(QStringLiteral("H3 1 2 3 4 5 21 30 35 40 42"));
    QCOMPARE(t->errors(), QStringList());
    QCOMPARE(t->card()->Hand().Count(), 0);
    QVERIFY(!t->card()->isVisible());
    QCOMPARE(spy.count(), 0);
    // A bad line is refused before it reaches the spectator view.
    t->feed(QStringLiteral("H7 1 2"));
    QCOMPARE(t->errors(), QStringList{"Érvénytelen ülőhely: 7"});
}

void TstCards::badLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    QTest::newRow("H alone") << "H" << "Érvénytelen ülőhely: 0";
    QTest::newRow("seat 0") << "H0 1 2" << "Érvénytelen ülőhely: 0";
    QTest::newRow("seat 5") << "H5 1 2" << "Érvénytelen ülőhely: 5";
    QTest::newRow("seat not a number") << "Hx 1 2" << "'x' nem érvényes egész szám";
    QTest::newRow("card not a number") << "H2 5 9 x 21" << "'x' nem érvényes egész szám";
    QTest::newRow("card 43") << "H2 5 43" << "Hibás lapszám: 43";
    QTest::newRow("card 0") << "H2 5 0 21" << "Hibás lapszám: 0";
    QTest::newRow("double blank") << "H2 5  21" << "Hibás lapszám: 0";
    QTest::newRow("card -3") << "H2 -3" << "Hibás lapszám: -3";
}

void TstCards::badLines()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    deal(QStringLiteral("1 2 3 4 5 21 30 35 40 42"));
    const Cards before = tags();
    const QStringList proposals = t->card()->Proposals();
    t->feed(line);
    QCOMPARE(t->errors(), QStringList{error});
    QCOMPARE(tags(), before);
    QCOMPARE(t->card()->Proposals(), proposals);
    QCOMPARE(t->card()->SuitCounts(), (THand{5, 0, 0, 0, 5}));
}

QTEST_MAIN(TstCards)
#include "tst_cards.moc"
