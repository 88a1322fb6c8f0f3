// A whole auction over the loopback socket: the club asks, the user composes and sends,
// the club's bid text comes back and is laid out by seat.
#include "BidSteps.h"
#include "TestClient.h"
#include "session/VmConnect.h"

#include "bidding/BidRules.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/ClickLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString NB = QString(QChar(0x00A0));
QString blanks(int n) { return QString(n, QLatin1Char(' ')); }
} // namespace

class TestBidSession : public QObject
{
    Q_OBJECT
private slots:
    void auction();
    void signalsAreNotCheckedAgainstThePartnerOnSend();
};

void TestBidSession::auction()
{
    FakeClub club;
    TestClient client;
    TFrame *frame = client.frame();
    TBidxForm *bid = client.ctx.bid;
    TListForm *list = client.ctx.list;
    frame->setOwnNick(u"Robi"_s);
    frame->setOwnSeat(2);
    const QStringList names{u"Anna"_s, u"Robi"_s, u"<b>Csaba</b>"_s, u"Dóra"_s};
    for (int s = 1; s <= 4; ++s)
        frame->seatField(s)->setText(names[s - 1]);
    client.ctx.desk->SetSeatFields({frame->seatField(1), frame->seatField(2), frame->seatField(3),
                                    frame->seatField(4)});
    QVERIFY(client.connectTo(club));
    // The hand arrives first; what it allows to signal becomes the editor's first group.
    club.send(u"H2 1 6 21 22 23 24 26 30 41 42"_s);
    QTRY_COMPARE(bid->GroupBids(BidRules::Signals),
                 (QStringList{u"8"_s + NB + u"Tarokk"_s, u"Matador"_s}));

    const auto pick = [&](int group, int entry) { BidSteps::Add(bid, group, entry); };

    // Seat 1 opens.
    club.send(u"B1 1 Kassza"_s);
    QTRY_COMPARE(list->Lines(), QStringList{blanks(27) + u"Kassza"_s});
    QVERIFY(QTest::qWaitForWindowExposed(bid));
    QCOMPARE(bid->GroupBids(BidRules::Contra), QStringList{u"*Kassza"_s});
    QCOMPARE(list->Seats[0]->text(), u"Anna"_s);
    QCOMPARE(list->Seats[2]->text(), u"<b>Csaba</b>"_s);
    QCOMPARE(list->Seats[2]->textFormat(), Qt::PlainText);
    QVERIFY(!bid->cmGo->isEnabled());

    // The user's turn.
    // Sound and box both, so that the turn's message shows.
    client.ctx.connect->findChild<QCheckBox *>(u"fdSound"_s)->setCheckState(Qt::PartiallyChecked);
    club.send(u"B"_s);
    QTRY_COMPARE(client.dialogs->texts(u"message"_s), QStringList{u"Licitálj!"_s});
    QCOMPARE(client.beeps, 1);
    QVERIFY(bid->cmGo->isEnabled());
    pick(BidRules::Signals, 0);
    pick(BidRules::Contra, 0);
    pick(BidRules::Tricks, 2);
    bid->btUp->click();
    QCOMPARE(bid->Pending(), (QStringList{u"8"_s + NB + u"Tarokk"_s, u"Bridzs"_s, u"*Kassza"_s}));
    bid->cmGo->click();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received.last(), u"BRobi 3 8"_s + NB + u"Tarokk Bridzs *Kassza"_s);
    QVERIFY(bid->Pending().isEmpty());
    QVERIFY(!bid->cmGo->isEnabled());
    QVERIFY(bid->cmUndo->isEnabled());

    // The club echoes the turn; the user composes ahead while the partner thinks.
    const QString round1 = u"1 1 Kassza 3 8"_s + NB + u"Tarokk Bridzs *Kassza"_s;
    club.send(u"B"_s + round1);
    QTRY_COMPARE(bid->LastBids(), round1);
    QCOMPARE(list->Lines(), (QStringList{blanks(27) + u"Kassza"_s, blanks(54) + u"8"_s + NB + u"Tarokk"_s,
                                         blanks(54) + u"Bridzs"_s, blanks(54) + u"*Kassza"_s}));
    QCOMPARE(list->ListBox->currentRow(), 3);
    QCOMPARE(bid->GroupBids(BidRules::Signals), QStringList{u"Matador"_s});
    pick(BidRules::Tricks, 5); // Volát: nobody of the side has said it yet
    QCOMPARE(client.dialogs->errors(), QStringList{});

    // The partner says Volát first, an opponent contras the Bridzs.
    const QString round2 = round1 + u" 1 Volát 1 *Bridzs 0"_s;
    club.send(u"B"_s + round2);
    club.send(u"B"_s);
    QTRY_COMPARE(client.dialogs->texts(u"message"_s).size(), 2);
    QCOMPARE(bid->GroupBids(BidRules::Recontra), QStringList{u"**Bridzs"_s});
    QCOMPARE(bid->Pending(), QStringList{u"Volát"_s});
    bid->cmGo->click();
    QCOMPARE(client.dialogs->errors(), QStringList{u"Ismételt licit. Volát már van"_s});
    QCOMPARE(bid->Pending(), QStringList{u"Volát"_s});
    QVERIFY(bid->cmGo->isEnabled());

    bid->fdSend->setCurrentRow(0);
    bid->btDel->click();
    pick(BidRules::Recontra, 0);
    bid->cmGo->click();
    QVERIFY(club.waitForLines(2));
    // The refused turn never reached the club.
    QCOMPARE(club.received, (QStringList{u"BRobi 3 8"_s + NB + u"Tarokk Bridzs *Kassza"_s,
                                         u"BRobi 1 **Bridzs"_s}));

    const QString round3 = round2 + u" 1 **Bridzs"_s;
    club.send(u"B"_s + round3);
    QTRY_COMPARE(bid->LastBids(), round3);
    QCOMPARE(list->Lines().mid(4), (QStringList{blanks(81) + u"Volát"_s, u"*Bridzs"_s,
                                                blanks(27) + u"- Passz -"_s,
                                                blanks(54) + u"**Bridzs"_s}));
    bid->cmUndo->click();
    QVERIFY(club.waitForLines(3));
    QCOMPARE(club.received.last(), u"V"_s);

    // Asked again, the user passes.
    club.send(u"B"_s);
    QTRY_VERIFY(bid->cmGo->isEnabled());
    bid->cmGo->click();
    QVERIFY(club.waitForLines(4));
    QCOMPARE(club.received.last(), u"BRobi 0"_s);
    QCOMPARE(client.dialogs->errors().size(), 1);

    // Play: seat 1 leads a Treff; the user must follow with the Treff card, and the
    // Skíz is refused.
    club.send(u"P2 1 1 2 0 0 0"_s);
    TCardForm *hand = client.ctx.card;
    QTRY_COMPARE(client.ctx.desk->TrickNumber(), 1);
    QVERIFY(hand->isVisible());
    const auto slotOf = [hand](int card) {
        for (int slot = 0; slot < 10; ++slot)
            if (hand->Tag(slot) == card)
                return slot;
        return -1;
    };
    hand->SelectCard(slotOf(42));
    hand->PlaySelected();
    QCOMPARE(client.dialogs->texts(u"message"_s).last(), u"Nem megengedett lap"_s);
    hand->SelectCard(slotOf(1));
    hand->PlaySelected();
    QVERIFY(club.waitForLines(5));
    QCOMPARE(club.received.last(), u"P1"_s);
    QCOMPARE(client.dialogs->errors().size(), 1);
}

void TestBidSession::signalsAreNotCheckedAgainstThePartnerOnSend()
{
    // The partner's "Matador" is about the partner's hand; the user's is about the user's.
    FakeClub club;
    TestClient client;
    client.frame()->setOwnNick(u"Robi"_s);
    client.frame()->setOwnSeat(2);
    TBidxForm *bid = client.ctx.bid;
    bid->SetSignals({u"Matador"_s});
    QVERIFY(client.connectTo(club));
    club.sendLines({u"B1 0 0 2 Matador Gém 0"_s, u"B"_s});
    QTRY_VERIFY(bid->cmGo->isEnabled());
    QCOMPARE(bid->GroupBids(BidRules::Signals), QStringList{u"Matador"_s});
    bid->fdBid->setCurrentRow(0);
    bid->btAdd->click();
    QCOMPARE(bid->PendingSignalMarks(), QList<bool>{true});
    bid->cmGo->click();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received, QStringList{u"BRobi 1 Matador"_s});
    QCOMPARE(client.dialogs->errors(), QStringList{});
}

int runBidSession(int argc, char **argv)
{
    TestBidSession t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_bidsession.moc"
