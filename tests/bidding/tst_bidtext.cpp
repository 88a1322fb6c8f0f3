// The bid text read by seats, laid out by seat, and the bid rules that need no window.
#include "bidding/BidLayout.h"
#include "bidding/BidRules.h"
#include "bidding/VmList.h"
#include "cards/Hands.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString NB = QString(QChar(0x00A0));
QString blanks(int n) { return QString(n, QLatin1Char(' ')); }
} // namespace

class TestBidText : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void parseKeepsListOnOneCharacterOrBadText_data();
    void parseKeepsListOnOneCharacterOrBadText();
    void render_data();
    void render();
    void renderRefusesBadCount();
    void renderBoard();
    void checks_data();
    void checks();
    void compose_data();
    void compose();
    void contraOffers_data();
    void contraOffers();
    void bidLine_data();
    void bidLine();
};

void TestBidText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seat");
    QTest::addColumn<QStringList>("bids");

    const QString a = u"1 1 Gém 1 Kassza 0 1 *Kassza"_s;
    QTest::newRow("A seat 2") << a << 2 << QStringList{u"Kassza"_s};
    QTest::newRow("A side of 2 (seat 3 passed)") << a << -2 << QStringList{u"Kassza"_s};
    QTest::newRow("A side of 1") << a << -1 << QStringList{u"Gém"_s, u"*Kassza"_s};
    QTest::newRow("A side of 4") << a << -4 << QStringList{u"Gém"_s, u"*Kassza"_s};
    QTest::newRow("A seat 4") << a << 4 << QStringList{u"*Kassza"_s};
    QTest::newRow("A seat 3 passed") << a << 3 << QStringList{};

    const QString b = u"3 1 Gém 0 0 1 Kassza"_s;
    QTest::newRow("B seat 2 is the fourth turn") << b << 2 << QStringList{u"Kassza"_s};
    QTest::newRow("B seat 1 passed") << b << 1 << QStringList{};
    QTest::newRow("B seat 3 opened") << b << 3 << QStringList{u"Gém"_s};
    QTest::newRow("B side of 3") << b << -3 << QStringList{u"Gém"_s, u"Kassza"_s};
    QTest::newRow("B side of 1") << b << -1 << QStringList{};

    QTest::newRow("second round") << u"1 1 Gém 0 0 0 2 Kassza Vizi 0"_s << 1
                                  << QStringList{u"Gém"_s, u"Kassza"_s, u"Vizi"_s};
    QTest::newRow("no-break space is a letter") << u"1 2 Pagát"_s + NB + u"ulti 8"_s + NB + u"Tarokk"_s
                                                << 1
                                                << QStringList{u"Pagát"_s + NB + u"ulti"_s,
                                                               u"8"_s + NB + u"Tarokk"_s};
    QTest::newRow("only the first seat and a blank") << u"3 "_s << 3 << QStringList{};
    QTest::newRow("empty text") << QString() << 1 << QStringList{};
    QTest::newRow("seat beyond 4") << a << 7 << QStringList{};
    // The words there are, and no invented empty ones: a hostile count cannot make it loop.
    QTest::newRow("count beyond the words") << u"1 5 Gém Kassza"_s << 1
                                            << QStringList{u"Gém"_s, u"Kassza"_s};
    QTest::newRow("huge count") << u"1 2147483647 Gém"_s << 1 << QStringList{u"Gém"_s};
    QTest::newRow("negative count reads no words") << u"1 -2 1 Gém"_s << 2 << QStringList{u"Gém"_s};
    QTest::newRow("two blanks make an empty word") << u"1 2  Gém"_s << 1
                                                   << QStringList{QString(), u"Gém"_s};
    // Any first seat but 3 is seat 1, for the seat picks and the side picks alike.
    QTest::newRow("first seat 2 read as 1, seat") << u"2 1 Gém 1 Kassza"_s << 2 << QStringList{u"Kassza"_s};
    QTest::newRow("first seat 2 read as 1, side") << u"2 1 Gém 1 Kassza"_s << -3 << QStringList{u"Kassza"_s};
    QTest::newRow("first seat 0 read as 1, side") << u"0 1 Gém 1 Kassza"_s << -1 << QStringList{u"Gém"_s};
}

void TestBidText::parse()
{
    QFETCH(QString, text);
    QFETCH(int, seat);
    QFETCH(QStringList, bids);
    TBidList list;
    list << u"left over"_s;
    list.Parse(text, seat);
    QCOMPARE(static_cast<const QStringList &>(list), bids);
}

void TestBidText::parseKeepsListOnOneCharacterOrBadText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("throws");
    QTest::newRow("one character") << u"1"_s << false;
    QTest::newRow("one bad character") << u"x"_s << false;
    QTest::newRow("count not a number") << u"1 1 Gém x Kassza"_s << true;
    QTest::newRow("first seat not a number") << u"egy 1 Gém"_s << true;
}

void TestBidText::parseKeepsListOnOneCharacterOrBadText()
{
    QFETCH(QString, text);
    QFETCH(bool, throws);
    TBidList list;
    list << u"Vizi"_s << u"Trull"_s;
    if (throws)
        QVERIFY_THROWS_EXCEPTION(ConversionError, list.Parse(text, 1));
    else
        list.Parse(text, 1);
    QCOMPARE(static_cast<const QStringList &>(list), (QStringList{u"Vizi"_s, u"Trull"_s}));
}

void TestBidText::render_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    const QString pass = u"- Passz -"_s;
    QTest::newRow("first seat 3")
        << u"3 1 Gém 0 0 1 Kassza"_s
        << QStringList{blanks(81) + u"Gém"_s, pass, blanks(27) + pass, blanks(54) + u"Kassza"_s};
    QTest::newRow("five passes wrap to seat 1")
        << u"1 0 0 0 0 0"_s
        << QStringList{blanks(27) + pass, blanks(54) + pass, blanks(81) + pass, pass,
                       blanks(27) + pass};
    QTest::newRow("several bids of one turn")
        << u"1 1 Gém 3 Kassza 8"_s + NB + u"Tarokk Vizi 0 1 *Kassza"_s
        << QStringList{blanks(27) + u"Gém"_s, blanks(54) + u"Kassza"_s,
                       blanks(54) + u"8"_s + NB + u"Tarokk"_s, blanks(54) + u"Vizi"_s,
                       blanks(81) + pass, u"*Kassza"_s};
    QTest::newRow("only the first seat") << u"1"_s << QStringList{};
    QTest::newRow("only first seat 3") << u"3"_s << QStringList{};
    QTest::newRow("negative count shows nothing but takes its turn")
        << u"1 -1 0"_s << QStringList{blanks(54) + pass};
    QTest::newRow("count beyond the words") << u"3 4 Gém"_s << QStringList{blanks(81) + u"Gém"_s};
    QTest::newRow("first seat 4 read as 1") << u"4 1 Gém"_s << QStringList{blanks(27) + u"Gém"_s};
}

void TestBidText::render()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QStringList laid;
    BidLayout::Render(text, laid);
    QCOMPARE(laid, lines);
    // The list window reads the column and the bid back from each line.
    for (const QString &line : laid)
        QCOMPARE(BidLayout::ColumnOf(line) * 27, int(line.size() - BidLayout::BidOf(line).size()));
}

void TestBidText::renderRefusesBadCount()
{
    QString text = u"1 1 Gém egy Kassza"_s;
    QStringList laid;
    try {
        BidLayout::Render(text, laid);
        QFAIL("a count that is not a number was laid out");
    } catch (const ConversionError &e) {
        QVERIFY2(e.text().contains(u"egy"_s), qPrintable(e.text()));
    }
    // What came before the bad count stays laid out.
    QCOMPARE(laid, QStringList{blanks(27) + u"Gém"_s});
}

void TestBidText::renderBoard()
{
    TBoard board(u"17"_s, 4);
    QCOMPARE(board.Board, u"17"_s);
    QCOMPARE(board.Id, 4);
    for (const THand &hand : board.Hands)
        QCOMPARE(hand.Count(), 0);
    QVERIFY(board.Bids.isEmpty() && board.Scores.isEmpty() && board.Node == nullptr);

    board.Bids = u"3 1 Gém 0 0 1 Kassza"_s;
    QStringList lines{u"earlier"_s};
    TListForm::RenderBoard(board, lines);
    QCOMPARE(lines, (QStringList{blanks(81) + u"Gém"_s, u"- Passz -"_s, blanks(27) + u"- Passz -"_s,
                                 blanks(54) + u"Kassza"_s}));
    // A stored bidding that cannot be read leaves the page as it was.
    board.Bids = u"1 1 Gém ? 0"_s;
    QVERIFY_THROWS_EXCEPTION(ConversionError, TListForm::RenderBoard(board, lines));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.last(), blanks(54) + u"Kassza"_s);
}

void TestBidText::checks_data()
{
    // `made` is the list checked for repeats (pending or already bid); `pending` the turn's
    // own list for the exclusive check. An empty error means the bid passes both.
    QTest::addColumn<QStringList>("made");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<QString>("bid");
    QTest::addColumn<QString>("error");

    const QStringList none;
    QTest::newRow("Gém pending, Kassza") << QStringList{u"Gém"_s} << QStringList{u"Gém"_s}
                                         << u"Kassza"_s << u"Hibás licit. Gém már van."_s;
    QTest::newRow("Kassza pending, Gém") << QStringList{u"Kassza"_s} << QStringList{u"Kassza"_s}
                                         << u"Gém"_s << u"Hibás emelés. Kassza már van."_s;
    QTest::newRow("partner's Gém, Kassza") << QStringList{u"Gém"_s} << none << u"Kassza"_s << QString();
    QTest::newRow("partner's Gém, Gém") << QStringList{u"Gém"_s} << none << u"Gém"_s
                                        << u"Ismételt licit. Gém már van"_s;
    QTest::newRow("repeat ignores letter case") << QStringList{u"pagát ulti"_s} << none
                                                << u"Pagát ulti"_s << u"Ismételt licit. Pagát ulti már van"_s;
    QTest::newRow("lowest higher step is named") << QStringList{u"Trull"_s, u"Köpf"_s} << none
                                                 << u"Honőr"_s << u"Hibás emelés. Köpf már van."_s;
    QTest::newRow("chain A apart from chain B") << QStringList{u"Volát"_s} << none << u"Honőr"_s
                                                << QString();
    QTest::newRow("top of a chain") << QStringList{u"Gém"_s, u"Mizer"_s} << none << u"Volát"_s
                                    << QString();
    QTest::newRow("exclusive names the lowest other step")
        << none << QStringList{u"Volát"_s, u"Kassza"_s} << u"Bridzs"_s << u"Hibás licit. Kassza már van."_s;
    QTest::newRow("chain membership is exact")
        << QStringList{u"Kassza"_s} << QStringList{u"Kassza"_s} << u"gém"_s << QString();
    QTest::newRow("other names pass") << QStringList{u"Gém"_s} << QStringList{u"Gém"_s}
                                      << u"*Gém"_s << QString();
}

void TestBidText::checks()
{
    QFETCH(QStringList, made);
    QFETCH(QStringList, pending);
    QFETCH(QString, bid);
    QFETCH(QString, error);
    try {
        BidRules::CheckRepeat(made, bid);
        BidRules::CheckExclusive(pending, bid);
        QVERIFY2(error.isEmpty(), qPrintable(u"passed, expected: "_s + error));
    } catch (const VimoError &e) {
        QCOMPARE(e.text(), error);
    }
}

void TestBidText::compose_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("higher");
    QTest::addColumn<QString>("result"); // the bid, or the error text

    using namespace BidRules;
    QTest::newRow("banda with a raiser") << int(Captures) << 0 << u"Pagát"_s << u"Hibás színválasztás"_s;
    QTest::newRow("banda with a suit") << int(Captures) << 0 << u"Kőr"_s << u"Kőr"_s + NB + u"banda"_s;
    QTest::newRow("banda with typed text") << int(Captures) << 0 << u"Zöld"_s << u"Hibás színválasztás"_s;
    QTest::newRow("mariage with a suit") << int(Extras) << 4 << u"Treff"_s << u"Treff"_s + NB + u"mariage"_s;
    QTest::newRow("mariage with a raiser") << int(Extras) << 4 << u"Kanári"_s << u"Hibás színválasztás"_s;
    QTest::newRow("other captures take no word") << int(Captures) << 1 << u"Pagát"_s << u"Piros-fekete"_s;
    QTest::newRow("ulti behind Pagát") << int(Raisers) << 0 << u"Pagát"_s << u"Pagát"_s + NB + u"ulti"_s;
    QTest::newRow("uhu behind Sas") << int(Raisers) << 1 << u"Sas"_s << u"Sas"_s + NB + u"uhu"_s;
    QTest::newRow("raiser name behind a suit") << int(Raisers) << 0 << u"Kőr"_s << u"Hibás licit"_s;
    QTest::newRow("typed blank would split the token") << int(Raisers) << 0 << u"Pagát x"_s << u"Hibás licit"_s;
    QTest::newRow("tricks take no word") << int(Tricks) << 1 << u"Kőr"_s << u"Kassza"_s;
    QTest::newRow("nothing to choose") << int(Signals) << -1 << u"Pagát"_s << u"Hibás licit"_s;
}

void TestBidText::compose()
{
    QFETCH(int, group);
    QFETCH(int, entry);
    QFETCH(QString, higher);
    QFETCH(QString, result);
    const QStringList entries = BidRules::GroupEntries(group);
    try {
        QCOMPARE(BidRules::ComposeBid(group, entry, entries, higher), result);
    } catch (const VimoError &e) {
        QCOMPARE(e.text(), result);
    }
}

void TestBidText::contraOffers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ownSeat");
    QTest::addColumn<QStringList>("contra");
    QTest::addColumn<QStringList>("recontra");

    const QString a = u"1 1 Gém 1 Kassza 0 1 *Kassza"_s;
    QTest::newRow("own seat 2") << a << 2 << QStringList{u"*Gém"_s} << QStringList{u"**Kassza"_s};
    QTest::newRow("own seat 3") << a << 3 << QStringList{u"*Gém"_s} << QStringList{u"**Kassza"_s};
    QTest::newRow("own seat 1") << a << 1 << QStringList{u"*Kassza"_s} << QStringList{};
    QTest::newRow("first seat 3, own seat 4")
        << u"3 1 Gém 0 0 1 Kassza"_s << 4 << QStringList{u"*Gém"_s, u"*Kassza"_s} << QStringList{};
    QTest::newRow("signals are not doubted")
        << u"1 5 8"_s + NB + u"Tarokk Flush Matador Vannak Trull 0 0 0"_s << 3
        << QStringList{u"*Trull"_s} << QStringList{};
    QTest::newRow("recontras are final")
        << u"1 0 1 *Gém 0 1 **Gém"_s << 2 << QStringList{} << QStringList{};
    QTest::newRow("a bid met twice is offered twice")
        << u"1 1 Gém 0 0 0 1 Gém"_s << 2 << QStringList{u"*Gém"_s, u"*Gém"_s} << QStringList{};
    QTest::newRow("an empty word offers nothing") << u"1 2  Gém"_s << 2 << QStringList{u"*Gém"_s}
                                                  << QStringList{};
    QTest::newRow("standing: no side") << a << 0 << QStringList{} << QStringList{};
    QTest::newRow("first seat 2 read as 1") << u"2 1 Gém 1 Kassza"_s << 2 << QStringList{u"*Gém"_s}
                                            << QStringList{};
}

void TestBidText::contraOffers()
{
    QFETCH(QString, text);
    QFETCH(int, ownSeat);
    QFETCH(QStringList, contra);
    QFETCH(QStringList, recontra);
    const BidRules::Offers offers = BidRules::ContraOffers(TBidList::Turns(text), ownSeat);
    QCOMPARE(offers.contra, contra);
    QCOMPARE(offers.recontra, recontra);
}

void TestBidText::bidLine_data()
{
    QTest::addColumn<QStringList>("bids");
    QTest::addColumn<QString>("line");
    QTest::newRow("pass") << QStringList{} << u"BRobi 0"_s;
    QTest::newRow("three bids in order")
        << QStringList{u"8"_s + NB + u"Tarokk"_s, u"*Kassza"_s, u"Pagát"_s + NB + u"ulti"_s}
        << u"BRobi 3 8"_s + NB + u"Tarokk *Kassza Pagát"_s + NB + u"ulti"_s;
}

void TestBidText::bidLine()
{
    QFETCH(QStringList, bids);
    QFETCH(QString, line);
    QCOMPARE(BidRules::BidLine(u"Robi"_s, bids), line);
}

int runBidText(int argc, char **argv)
{
    TestBidText t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_bidtext.moc"
