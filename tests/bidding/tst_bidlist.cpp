// The bid list window: the bids under the seats' captions, and the menu item that shows it.
// The bid text itself is read and laid out in tst_bidtext.

#include "TestClient.h"

#include "bidding/BidLayout.h"
#include "bidding/VmList.h"
#include "cards/Hands.h"
#include "session/ClickLabel.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTest>

class TstBidList : public QObject
{
    Q_OBJECT
private slots:
    void showBids();
};

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
