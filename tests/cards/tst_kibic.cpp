// The spectator window and the replay view: hands fed by "H" and "P", trick leaders,
// stepping through a recorded deal, names written downwards, and lines that do not fit.

#include "TestClient.h"
#include "session/VmConnect.h"

#include <QRadioButton>
#include <QStackedWidget>

#include "cards/CardImages.h"
#include "cards/DeskRules.h"
#include "session/Dispatch.h"
#include "cards/Picks.h"
#include "cards/VmCard.h"
#include "cards/Replay.h"
#include "cards/VmKibic.h"

#include <QImage>
#include <QLabel>
#include <QtTest>

namespace {

QVector<int> ints(const QString &text)
{
    QVector<int> list;
    for (const QString &w : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        list << w.toInt();
    return list;
}

QVector<int> slotRange(const THand &hand, int from, int to)
{
    QVector<int> list;
    for (int i = from; i <= to; ++i)
        list << hand.Get(i);
    return list;
}

QVector<int> cardsOf(const THand &hand)
{
    return QVector<int>(hand.Cards().begin(), hand.Cards().end());
}

// The error text of `work`, or an empty text when it did not throw.
template<typename F>
QString errorOf(F &&work)
{
    try {
        work();
    } catch (const VimoError &e) {
        return e.text();
    }
    return QString();
}

// True when `shot` shows `picture` at `at`: every opaque pixel of the picture that is not
// the key colour is found there.
bool showsPicture(const QImage &shot, const QPixmap &picture, QPoint at)
{
    const QImage pic = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    int compared = 0;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            const QRgb p = pic.pixel(x, y);
            if (qAlpha(p) != 255 || (p | 0xff000000) == TPlayView::KeyColour.rgba())
                continue;
            if ((shot.pixel(at.x() + x, at.y() + y) | 0xff000000) != (p | 0xff000000))
                return false;
            ++compared;
        }
    return compared > 0;
}

// A seat's held cards as an "H" line brings them, read by the line's own reader.
void heldCards(TKibic *kibic, const QString &argument)
{
    const HandLine line = ParseHandLine(argument);
    kibic->KibicShowHand(line.seat, line.cards);
}

// A server line in spectator mode, handled as the reader handles it.
void spectatorLine(TestClient &client, const QString &line)
{
    client.ctx.kibic->SetKibic(true);
    client.ctx.guard([&] { client.ctx.dispatcher().dispatch(line); });
}

TCardStrip *stripOf(QWidget *view, int seat)
{
    return view->findChild<TCardStrip *>(QStringLiteral("CrdHnd%1").arg(seat));
}

TTableCard *tableCardOf(QWidget *view, int seat)
{
    return view->findChild<TTableCard *>(QStringLiteral("CrdDsk%1").arg(seat));
}

// Thrown cards of a whole deal: seat s plays card 4k + s in trick k+1, so every trick is
// four cards of one suit or four tarokks, and the seats' cards are easy to tell apart.
void fillDeal(TPlayView &view)
{
    for (int seat = 1; seat <= 4; ++seat) {
        THand &hand = view.SeatHand(seat);
        hand.SetCount(0);
        for (int k = 0; k < 10; ++k)
            hand.Add(4 * k + seat);
    }
    view.Tricks().SetText(QStringLiteral("0 1 1 2 2 2 3 3 4 4"));
}

} // namespace

class TestKibic : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void windowFrame();

    void layStrip_data();
    void layStrip();

    void showHand_data();
    void showHand();
    void showHandKeepsEarlierSlots();
    void settingsPageReordersHands();
    void showHandPaintsStrip();
    void badHand_data();
    void badHand();

    void playCard();
    void playUnknownCard();
    void playSkipsFormerDealsSlots();
    void badPlay_data();
    void badPlay();

    void names();
    void boardText();
    void nameImageTop_data();
    void nameImageTop();

    void leaders_data();
    void leaders();
    void navigation_data();
    void navigation();
    void shortRecordStaysInside();
    void cardOrderChange();
};

void TestKibic::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Shape") << "Shape" << QRect(94, 56, 145, 105);
    QTest::newRow("CrdDsk1") << "CrdDsk1" << QRect(154, 136, 26, 15);
    QTest::newRow("CrdDsk2") << "CrdDsk2" << QRect(190, 102, 26, 15);
    QTest::newRow("CrdDsk3") << "CrdDsk3" << QRect(154, 68, 26, 15);
    QTest::newRow("CrdDsk4") << "CrdDsk4" << QRect(118, 102, 26, 15);
    QTest::newRow("CrdHnd1") << "CrdHnd1" << QRect(35, 192, 260, 15);
    QTest::newRow("CrdHnd2") << "CrdHnd2" << QRect(296, 32, 26, 150);
    QTest::newRow("CrdHnd3") << "CrdHnd3" << QRect(35, 8, 260, 15);
    QTest::newRow("CrdHnd4") << "CrdHnd4" << QRect(8, 32, 26, 150);
    QTest::newRow("Nimg4") << "Nimg4" << QRect(68, 60, 10, 132);
    QTest::newRow("Nimg2") << "Nimg2" << QRect(256, 60, 10, 132);
    QTest::newRow("Nick3") << "Nick3" << QRect(104, 32, 130, 18);
    QTest::newRow("Nick1") << "Nick1" << QRect(104, 170, 130, 18);
    QTest::newRow("lbBoard") << "lbBoard" << QRect(224, 40, 72, 18);
    QTest::newRow("lbScore") << "lbScore" << QRect(64, 40, 22, 13);
}

void TestKibic::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    TPlayView view;
    QWidget *child = view.findChild<QWidget *>(name);
    QVERIFY2(child, qPrintable(name));
    QCOMPARE(child->parentWidget(), &view);
    QCOMPARE(child->geometry(), rect);
}

void TestKibic::windowFrame()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    QCOMPARE(kibic->windowTitle(), QStringLiteral("Kibic"));
    QCOMPARE(kibic->size(), QSize(329, 217));
    QVERIFY(!(kibic->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(kibic->View());
    QCOMPARE(kibic->View()->geometry(), QRect(0, 0, 329, 216));
    QCOMPARE(kibic->View()->palette().color(QPalette::Window), QColor(255, 0, 255));
    QCOMPARE(kibic->findChild<QLabel *>("Nick1")->text(), QStringLiteral("Nick1"));
    QCOMPARE(kibic->findChild<QLabel *>("Nick3")->text(), QStringLiteral("Nick3"));
    QVERIFY(kibic->findChild<QLabel *>("lbBoard")->text().isEmpty());
    QVERIFY(!kibic->Kibic());
}

void TestKibic::layStrip_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("gap");
    QTest::addColumn<QString>("positions");
    QTest::newRow("10 across") << 10 << false << 0 << "0 26 52 78 104 130 156 182 208 234";
    QTest::newRow("9 across") << 9 << false << 1 << "9 36 63 90 117 144 171 198 225";
    QTest::newRow("8 down") << 8 << true << 3 << "4 22 40 58 76 94 112 130";
    QTest::newRow("5 across") << 5 << false << 4 << "57 87 117 147 177";
    QTest::newRow("1 down") << 1 << true << 4 << "67";
    QTest::newRow("none") << 0 << false << 4 << "";
}

void TestKibic::layStrip()
{
    QFETCH(int, n);
    QFETCH(bool, vertical);
    QFETCH(int, gap);
    QFETCH(QString, positions);
    const TStripLayout lay = LayStrip(n, vertical ? 150 : 260, vertical);
    QCOMPARE(lay.gap, gap);
    QCOMPARE(lay.positions, ints(positions));
}

void TestKibic::showHand_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("seat");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("strip");     // display order, falling by default
    QTest::addColumn<QString>("positions"); // along the strip
    QTest::newRow("five cards on top") << "3 5 9 21 30 42" << 3 << 5 << "42 30 21 9 5"
                                       << "57 87 117 147 177";
    QTest::newRow("ten cards on the right")
        << "2 1 2 3 4 5 21 22 23 24 42" << 2 << 0 << "42 24 23 22 21 5 4 3 2 1"
        << "0 15 30 45 60 75 90 105 120 135";
    QTest::newRow("eleven numbers keep ten")
        << "1 1 2 3 4 5 21 22 23 24 42 41" << 1 << 0 << "42 24 23 22 21 5 4 3 2 1"
        << "0 26 52 78 104 130 156 182 208 234";
    QTest::newRow("eight on the left") << "4 6 7 8 11 12 13 25 26" << 4 << 2
                                       << "26 25 13 12 11 8 7 6" << "4 22 40 58 76 94 112 130";
    QTest::newRow("seat only") << "4" << 4 << 10 << "" << "";
}

void TestKibic::showHand()
{
    QFETCH(QString, argument);
    QFETCH(int, seat);
    QFETCH(int, start);
    QFETCH(QString, strip);
    QFETCH(QString, positions);
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, argument);

    QCOMPARE(kibic->HandStart(), start);
    const THand &hand = kibic->View()->SeatHand(seat);
    QVector<int> words = ints(argument).mid(1, 10);
    if (start < 10)
        QCOMPARE(slotRange(hand, start, 9), words);
    else
        QCOMPARE(hand.Count(), 0);
    TCardStrip *s = stripOf(kibic->View(), seat);
    QCOMPARE(cardsOf(s->cards()), ints(strip));
    QCOMPARE(s->positions(), ints(positions));
    for (int other = 1; other <= 4; ++other)
        if (other != seat)
            QCOMPARE(stripOf(kibic->View(), other)->cards().Count(), 0);
}

void TestKibic::showHandKeepsEarlierSlots()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, QStringLiteral("1 1 2 3 4 5 6 7 8 9 10"));
    heldCards(kibic, QStringLiteral("1 30 31 32"));
    const THand &hand = kibic->View()->SeatHand(1);
    QCOMPARE(hand.Count(), 10);
    QCOMPARE(cardsOf(hand), ints("1 2 3 4 5 6 7 30 31 32"));
    QCOMPARE(cardsOf(stripOf(kibic->View(), 1)->cards()), ints("32 31 30"));
}

void TestKibic::settingsPageReordersHands()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    TConnect *settings = client.ctx.connect;
    heldCards(kibic, QStringLiteral("1 3 7 12 18 22"));
    QCOMPARE(cardsOf(stripOf(kibic->View(), 1)->cards()), ints("22 18 12 7 3"));
    settings->findChild<QRadioButton *>(QStringLiteral("fdOrder0"))->setChecked(true);
    settings->Page->setCurrentWidget(settings->TabSetup);
    settings->show();
    settings->hide();
    QCOMPARE(cardsOf(stripOf(kibic->View(), 1)->cards()), ints("3 7 12 18 22"));
}

void TestKibic::showHandPaintsStrip()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, QStringLiteral("3 5 9 21 30 42"));
    heldCards(kibic, QStringLiteral("2 1 2 3 4 5 21 22 23 24 42"));
    const QImage shot = kibic->View()->grab().toImage();
    // Top strip at 35, 8: falling order, 4 pixels apart, centred.
    QVERIFY(showsPicture(shot, SmallCardImage(42), {35 + 57, 8}));
    QVERIFY(showsPicture(shot, SmallCardImage(5), {35 + 177, 8}));
    QVERIFY(!showsPicture(shot, SmallCardImage(5), {35 + 57, 8}));
    // Right strip at 296, 32: ten cards touching, top to bottom.
    QVERIFY(showsPicture(shot, SmallCardImage(42), {296, 32}));
    QVERIFY(showsPicture(shot, SmallCardImage(1), {296, 32 + 135}));
}

void TestKibic::badHand_data()
{
    // The texts a player sees for the same line: there is one reader for it.
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("error");
    QTest::newRow("word") << "3 5 x 21" << "'x' nem érvényes egész szám";
    QTest::newRow("seat word") << "kibic 5" << "'kibic' nem érvényes egész szám";
    QTest::newRow("seat 5") << "5 1 2" << "Érvénytelen ülőhely: 5";
    QTest::newRow("seat 0") << "0 1 2" << "Érvénytelen ülőhely: 0";
    QTest::newRow("seat -1") << "-1 1 2" << "Érvénytelen ülőhely: -1";
    QTest::newRow("empty") << "" << "Érvénytelen ülőhely: 0";
    QTest::newRow("card 43") << "3 5 43" << "Hibás lapszám: 43";
    QTest::newRow("card -1") << "3 -1 5" << "Hibás lapszám: -1";
    QTest::newRow("card 0") << "3 5 0 9" << "Hibás lapszám: 0";
    QTest::newRow("card word last") << "3 5 9 1e" << "'1e' nem érvényes egész szám";
}

void TestKibic::badHand()
{
    QFETCH(QString, argument);
    QFETCH(QString, error);
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    spectatorLine(client, QStringLiteral("H3 1 2 3 4 5 21 22 23 24 42"));
    QCOMPARE(client.dialogs->errors(), QStringList());
    const THand before = kibic->View()->SeatHand(3);
    const QVector<int> stripBefore = cardsOf(stripOf(kibic->View(), 3)->cards());

    spectatorLine(client, QStringLiteral("H") + argument);
    QCOMPARE(client.dialogs->errors(), QStringList{error});
    // Nothing was half done.
    QVERIFY(kibic->View()->SeatHand(3) == before);
    QCOMPARE(cardsOf(stripOf(kibic->View(), 3)->cards()), stripBefore);
    QCOMPARE(kibic->HandStart(), 0);
    QVERIFY(!client.ctx.card->isVisible());
}

void TestKibic::playCard()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, QStringLiteral("2 3 14 30 33 40"));
    heldCards(kibic, QStringLiteral("3 4 15 25 34 41"));

    kibic->KibicPlayCard(2, 30, 6);
    const THand &hand = kibic->View()->SeatHand(2);
    QCOMPARE(hand.Get(5), 30);
    QCOMPARE(slotRange(hand, 5, 9), ints("30 14 3 33 40"));
    QCOMPARE(cardsOf(stripOf(kibic->View(), 2)->cards()), ints("40 33 14 3"));
    QCOMPARE(tableCardOf(kibic->View(), 2)->card(), 30);

    // Not played yet in this trick: all held cards stay, the place is empty.
    kibic->KibicPlayCard(3, 0, 6);
    QCOMPARE(cardsOf(stripOf(kibic->View(), 3)->cards()), ints("41 34 25 15 4"));
    QCOMPARE(tableCardOf(kibic->View(), 3)->card(), 0);

    const QImage shot = kibic->View()->grab().toImage();
    QVERIFY(showsPicture(shot, SmallCardImage(30), {190, 102}));
    QVERIFY(showsPicture(shot, SmallCardImage(0), {154, 68}));
    // The right strip's four cards with 4-pixel gaps, centred in 150: 40 at 32 + 39.
    QCOMPARE(stripOf(kibic->View(), 2)->positions(), ints("39 58 77 96"));
    QVERIFY(showsPicture(shot, SmallCardImage(40), {296, 32 + 39}));
}

void TestKibic::playUnknownCard()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, QStringLiteral("1 2 7 12 17 22"));
    const THand before = kibic->View()->SeatHand(1);
    kibic->KibicPlayCard(1, 25, 6);
    QVERIFY(kibic->View()->SeatHand(1) == before);
    QCOMPARE(tableCardOf(kibic->View(), 1)->card(), 25);

    // A seat never heard of: still shown on the table, no slot touched.
    kibic->KibicPlayCard(4, 42, 10);
    QCOMPARE(kibic->View()->SeatHand(4).Count(), 0);
    QCOMPARE(tableCardOf(kibic->View(), 4)->card(), 42);
    QCOMPARE(stripOf(kibic->View(), 4)->cards().Count(), 0);
}

void TestKibic::playSkipsFormerDealsSlots()
{
    // Watching begins mid-deal: slot 0 still holds a card from a former deal, which is
    // also among the held cards now.
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    heldCards(kibic, QStringLiteral("1 5 1 2 3 4 6 7 8 9 10"));
    heldCards(kibic, QStringLiteral("1 6 7 5 8 9"));
    kibic->KibicPlayCard(1, 5, 6);
    const THand &hand = kibic->View()->SeatHand(1);
    QCOMPARE(hand.Get(0), 5);
    QCOMPARE(slotRange(hand, 5, 9), ints("5 7 6 8 9"));
    QCOMPARE(cardsOf(stripOf(kibic->View(), 1)->cards()), ints("9 8 7 6"));
}

void TestKibic::badPlay_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    QTest::newRow("seat 0") << "P0 1 0 5 0 0 0" << "Érvénytelen ülőhely: 0";
    QTest::newRow("seat 5") << "P5 1 0 5 0 0 0" << "Érvénytelen ülőhely: 5";
    QTest::newRow("card 43") << "P1 1 0 43 0 0 0" << "Hibás lapszám: 43";
    QTest::newRow("card -3") << "P1 1 0 -3 0 0 0" << "Hibás lapszám: -3";
    QTest::newRow("trick 0") << "P1 0 0 5 0 0 0" << "Hibás hívásszám: 0";
    QTest::newRow("trick 0, no card") << "P1 0 0 0 0 0 0" << "Hibás hívásszám: 0";
    QTest::newRow("trick 11") << "P1 11 0 5 0 0 0" << "Hibás hívásszám: 11";
    QTest::newRow("trick -1") << "P1 -1 0 5 0 0 0" << "Hibás hívásszám: -1";
    QTest::newRow("six numbers") << "P1 1 0 5 0 0" << "Hibás ütéssor: P1 1 0 5 0 0";
}

void TestKibic::badPlay()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    spectatorLine(client, QStringLiteral("H1 5 1 2 3 4 6 7 8 9 10"));
    const THand before = kibic->View()->SeatHand(1);
    const QString caption = kibic->windowTitle();
    spectatorLine(client, line);
    QCOMPARE(client.dialogs->errors(), QStringList{error});
    QVERIFY(kibic->View()->SeatHand(1) == before);
    for (int s = 1; s <= 4; ++s)
        QCOMPARE(tableCardOf(kibic->View(), s)->card(), 0);
    QCOMPARE(kibic->windowTitle(), caption);
}

void TestKibic::names()
{
    TestClient client;
    TKibic *kibic = client.ctx.kibic;
    QLabel one(QStringLiteral("Anna")), two(QStringLiteral("Béla")),
        three(QStringLiteral("<b>Cili</b>")), four(QStringLiteral("Dezső"));
    kibic->KibicSetNames({&one, &two, &three, &four});
    auto *nick1 = kibic->findChild<QLabel *>("Nick1");
    auto *nick3 = kibic->findChild<QLabel *>("Nick3");
    QCOMPARE(nick1->text(), QStringLiteral("Anna"));
    QCOMPARE(nick3->text(), QStringLiteral("<b>Cili</b>"));
    QCOMPARE(nick3->textFormat(), Qt::PlainText);

    // The side seats' names are painted downwards: something is drawn, and only there.
    const QImage name2 = kibic->findChild<TPicture *>("Nimg2")->picture().toImage();
    const QImage name4 = kibic->findChild<TPicture *>("Nimg4")->picture().toImage();
    auto paintedRows = [](const QImage &img) {
        int first = -1, last = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 0) {
                    if (first < 0)
                        first = y;
                    last = y;
                }
        return std::make_pair(first, last);
    };
    const auto [top2, bottom2] = paintedRows(name2);
    const auto [top4, bottom4] = paintedRows(name4);
    QVERIFY(top2 >= 22 && top2 < 33);         // "Béla": 4 letters from 22
    QVERIFY(bottom2 >= 55 && bottom2 < 66);   // the fourth letter's cell
    QVERIFY(top4 >= 22 && top4 < 33);         // "Dezső": 5 letters, 5 div 2 = 2 → 22
    QVERIFY(bottom4 >= 66 && bottom4 < 77);

    // A missing field is no name.
    kibic->KibicSetNames({&one, nullptr, nullptr, &four});
    QVERIFY(nick3->text().isEmpty());
    QCOMPARE(paintedRows(kibic->findChild<TPicture *>("Nimg2")->picture().toImage()).first, -1);
}

void TestKibic::boardText()
{
    TestClient client;
    client.ctx.kibic->KibicSetBoard(QStringLiteral("1234"));
    QCOMPARE(client.ctx.kibic->findChild<QLabel *>("lbBoard")->text(), QStringLiteral("1234"));
}

void TestKibic::nameImageTop_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("top");
    QTest::newRow("1 letter") << "A" << 44;
    QTest::newRow("4 letters") << "Anna" << 22;
    QTest::newRow("5 letters") << "Dezső" << 22;
    QTest::newRow("7 letters") << "Robot12" << 11;
    QTest::newRow("10 letters") << "Kovácsné1X" << 0;
    QTest::newRow("16 letters") << "Nagyonhosszúnév1" << 0;
}

void TestKibic::nameImageTop()
{
    QFETCH(QString, name);
    QFETCH(int, top);
    QCOMPARE(NameImageTop(int(name.size())), top);
    QPixmap image(10, 132);
    image.fill(Qt::red);
    QCOMPARE(TPlayView::PaintNameImage(name, image), top);
    const QImage img = image.toImage();
    int first = -1;
    for (int y = 0; y < img.height() && first < 0; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0) {
                first = y;
                break;
            }
    // The fill leaves nothing of the red, the first letter starts in its cell.
    QVERIFY2(first >= top && first < top + 11, qPrintable(QString::number(first)));
}

void TestKibic::leaders_data()
{
    QTest::addColumn<int>("deal");
    QTest::addColumn<QStringList>("hands"); // seats 1..4, slot by slot
    QTest::addColumn<QString>("leaders");   // leaders of the first tricks
    QTest::newRow("odd deal, highest Treff")
        << 7 << QStringList{"5", "3", "2", "1"} << "1 1";
    QTest::newRow("odd deal, a tarokk takes")
        << 7 << QStringList{"5", "21", "2", "1"} << "1 2";
    QTest::newRow("odd deal, other suit never takes")
        << 7 << QStringList{"5", "10", "4", "1"} << "1 1";
    QTest::newRow("even deal, seat 3 leads")
        << 8 << QStringList{"2", "7", "4", "3"} << "3 3";
    QTest::newRow("even deal, Skíz over XXI")
        << 8 << QStringList{"41", "42", "1", "40"} << "3 2";
    QTest::newRow("leaders chain")
        << 7 << QStringList{"1 16 30", "2 17 6", "3 18 8", "4 19 9"} << "1 4 4 1";
    QTest::newRow("lower led suit card after a higher other suit")
        << 8 << QStringList{"13 12", "6 15", "11 14", "20 16"} << "3 1 2";
    QTest::newRow("empty record") << 5 << QStringList{"", "", "", ""} << "1 1 1";
}

void TestKibic::leaders()
{
    QFETCH(int, deal);
    QFETCH(QStringList, hands);
    QFETCH(QString, leaders);
    TPlayView view;
    for (int seat = 1; seat <= 4; ++seat)
        view.SeatHand(seat).SetText(hands[seat - 1]);
    view.SetBoard(deal);
    QCOMPARE(view.findChild<QLabel *>("lbBoard")->text(), QString::number(deal));
    QCOMPARE(view.Leaders().Count(), 10);
    const QVector<int> expected = ints(leaders);
    QCOMPARE(slotRange(view.Leaders(), 0, int(expected.size()) - 1), expected);
}

void TestKibic::navigation_data()
{
    // Steps from GoFirst: f StepForward, b StepBack, n GoNextTrick, p GoPrevTrick,
    // l GoLast, 0 GoFirst again.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("s");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("table"); // seats 1..4
    QTest::addColumn<QString>("held");  // strip sizes, seats 1..4
    // Deal 7: seat 1 leads trick 1; seat s holds 4k + s in slot k, so seat 4 takes the
    // first nine tricks and leads from trick 2 on.
    QTest::newRow("first") << "" << 0 << 0 << "0 : 0" << "0 0 0 0" << "10 10 10 10";
    QTest::newRow("one card") << "f" << 0 << 1 << "0 : 0" << "1 0 0 0" << "9 10 10 10";
    QTest::newRow("three cards") << "fff" << 0 << 3 << "0 : 0" << "1 2 3 0" << "9 9 9 10";
    QTest::newRow("trick 1 complete") << "ffff" << 1 << 4 << "1 : 0" << "1 2 3 4"
                                      << "9 9 9 9";
    QTest::newRow("empty table after trick 1") << "fffff" << 1 << 0 << "1 : 0" << "0 0 0 0"
                                               << "9 9 9 9";
    QTest::newRow("back to trick 1 complete") << "fffffb" << 1 << 4 << "1 : 0" << "1 2 3 4"
                                              << "9 9 9 9";
    QTest::newRow("back over a trick end") << "ffffb" << 0 << 3 << "0 : 0" << "1 2 3 0"
                                           << "9 9 9 10";
    QTest::newRow("trick 2 led by seat 4") << "nff" << 1 << 1 << "1 : 0" << "0 0 0 8"
                                           << "9 9 9 8";
    QTest::newRow("trick 2, seat 4 then 1") << "nfff" << 1 << 2 << "1 : 0" << "5 0 0 8"
                                            << "8 9 9 8";
    QTest::newRow("two tricks") << "nn" << 2 << 4 << "1 : 1" << "5 6 7 8" << "8 8 8 8";
    QTest::newRow("previous trick from the middle") << "nnff" "p" << 1 << 4 << "1 : 0"
                                                    << "1 2 3 4" << "9 9 9 9";
    QTest::newRow("previous trick at the start") << "p" << 0 << 0 << "0 : 0" << "0 0 0 0"
                                                 << "10 10 10 10";
    QTest::newRow("previous trick from trick 1") << "np" << 0 << 0 << "0 : 0" << "0 0 0 0"
                                                 << "10 10 10 10";
    QTest::newRow("back at the start stays") << "b" << 0 << 0 << "0 : 0" << "0 0 0 0"
                                             << "10 10 10 10";
    QTest::newRow("last") << "l" << 10 << 4 << "6 : 4" << "37 38 39 40" << "0 0 0 0";
    QTest::newRow("forward at the end stays") << "lf" << 10 << 4 << "6 : 4" << "37 38 39 40"
                                              << "0 0 0 0";
    QTest::newRow("next at the end stays") << "ln" << 10 << 4 << "6 : 4" << "37 38 39 40"
                                           << "0 0 0 0";
    QTest::newRow("back from the end") << "lb" << 9 << 3 << "5 : 4" << "37 38 0 40"
                                       << "0 0 1 0";
    QTest::newRow("previous from the end") << "lp" << 9 << 4 << "5 : 4" << "33 34 35 36"
                                           << "1 1 1 1";
    QTest::newRow("first again") << "lbb0" << 0 << 0 << "0 : 0" << "0 0 0 0"
                                 << "10 10 10 10";
}

void TestKibic::navigation()
{
    QFETCH(QString, steps);
    QFETCH(int, t);
    QFETCH(int, s);
    QFETCH(QString, score);
    QFETCH(QString, table);
    QFETCH(QString, held);

    TPlayView view;
    fillDeal(view);
    view.SetBoard(7);
    view.GoFirst();
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'f': view.StepForward(); break;
        case 'b': view.StepBack(); break;
        case 'n': view.GoNextTrick(); break;
        case 'p': view.GoPrevTrick(); break;
        case 'l': view.GoLast(); break;
        case '0': view.GoFirst(); break;
        default: QFAIL("unknown step");
        }
    }
    QCOMPARE(view.Replay().Completed(), t);
    QCOMPARE(view.Replay().Shown(), s);
    QCOMPARE(view.findChild<QLabel *>("lbScore")->text(), score);
    QVector<int> shownTable, shownHeld;
    for (int seat = 1; seat <= 4; ++seat) {
        shownTable << tableCardOf(&view, seat)->card();
        shownHeld << stripOf(&view, seat)->cards().Count();
    }
    QCOMPARE(shownTable, ints(table));
    QCOMPARE(shownHeld, ints(held));
    // The cards still held are the seat's cards after the ones already played.
    for (int seat = 1; seat <= 4; ++seat) {
        const THand &strip = stripOf(&view, seat)->cards();
        if (strip.Count() > 0)
            QCOMPARE(strip.Get(strip.Count() - 1), 4 * (10 - strip.Count()) + seat);
    }
}

void TestKibic::shortRecordStaysInside()
{
    // A damaged record: seat 2 has three cards, the trick counts are missing, no
    // leaders were worked out. Every position shows something, nothing is read outside.
    TPlayView view;
    for (int seat = 1; seat <= 4; ++seat)
        view.SeatHand(seat).SetText(seat == 2 ? QStringLiteral("1 2 3")
                                              : QStringLiteral("5 6 7 8 9 10 11 12 13 14"));
    view.GoFirst();
    for (int i = 0; i < 60; ++i)
        view.StepForward();
    QCOMPARE(view.Replay().Completed(), 10);
    QCOMPARE(view.findChild<QLabel *>("lbScore")->text(), QStringLiteral("10 : 0"));
    QCOMPARE(tableCardOf(&view, 2)->card(), 0);
    QCOMPARE(tableCardOf(&view, 1)->card(), 14);
    view.Replay().SetPosition(12, -3);
    view.ShowPosition();
    QCOMPARE(view.Replay().Completed(), 10);
    QCOMPARE(view.Replay().Shown(), 4);
    view.Replay().SetPosition(0, 4);
    QCOMPARE(view.Replay().Shown(), 0);
}

void TestKibic::cardOrderChange()
{
    int order = 0;
    TPlayView view(nullptr, [&order] { return order; });
    THand hand;
    hand.SetText(QStringLiteral("0 0 0 0 0 3 7 12 18 22"));
    view.DrawHand(hand, 5, 1);
    QCOMPARE(cardsOf(stripOf(&view, 1)->cards()), ints("3 7 12 18 22"));
    order = 2;
    view.ApplyCardOrder();
    QCOMPARE(cardsOf(stripOf(&view, 1)->cards()), ints("12 18 22 7 3"));
    order = 1;
    view.ApplyCardOrder();
    QCOMPARE(cardsOf(stripOf(&view, 1)->cards()), ints("22 18 12 7 3"));
    // Drawing past the end shows an empty strip, not a failure.
    view.DrawHand(hand, 12, 1);
    QCOMPARE(stripOf(&view, 1)->cards().Count(), 0);
    QCOMPARE(errorOf([&] { view.DrawHand(hand, 0, 5); }), QStringLiteral("Hibás ülőhely: 5"));
    QCOMPARE(errorOf([&] { view.DrawPlayed(3, 0); }), QStringLiteral("Hibás ülőhely: 0"));
}

QTEST_MAIN(TestKibic)
#include "tst_kibic.moc"
