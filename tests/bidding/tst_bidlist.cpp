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
#include <QScrollBar>
#include <QTest>

class TstBidList : public QObject
{
    Q_OBJECT
private slots:
    void showBids();
    void columnsFitTheirBidsAndNames();
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

// Every bid and every nickname is readable whole: a column is as wide as its widest text
// and the caption stands over it, also when the list is scrolled sideways.
void TstBidList::columnsFitTheirBidsAndNames()
{
    TestClient c;
    c.frame()->show();
    const QString nb(QChar(0x00A0));
    c.frame()->seatField(1)->setText(QStringLiteral("Hosszúnevű_Játékos"));
    c.frame()->seatField(2)->setText(QStringLiteral("Ab"));
    TListForm *form = c.ctx.list;
    const QString bids = QStringLiteral("1 1 **Kakadu") + nb + QStringLiteral("sárkány 1 **Kanári") + nb
                         + QStringLiteral("sólyom 0 2 Pikoló Piros-fekete 1 Gém");
    form->ShowBids(bids);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const auto bidsFit = [form] {
        const QFontMetrics fm(form->ListBox->font());
        for (const QString &line : form->Lines()) {
            const QString bid = BidLayout::BidOf(line);
            if (fm.horizontalAdvance(bid) >= form->ColumnWidth(BidLayout::ColumnOf(line)))
                return bid;
        }
        return QString();
    };
    QCOMPARE(bidsFit(), QString());
    // The widths follow the font: the same bids in a font three times as large still fit.
    const QFont original = form->font();
    QFont large = original;
    large.setPointSize(large.pointSize() * 3);
    form->setFont(large);
    QCOMPARE(bidsFit(), QString());
    form->ShowBids(bids);
    QCOMPARE(bidsFit(), QString());
    form->setFont(original);
    form->ShowBids(bids);
    for (int column = 0; column < 3; ++column) {
        QVERIFY(form->ColumnWidth(column) >= TListForm::DesignColumnWidth);
        QCOMPARE(form->ColumnLeft(column + 1), form->ColumnLeft(column) + form->ColumnWidth(column));
    }
    for (const QLabel *caption : form->Seats)
        QVERIFY2(caption->width() > QFontMetrics(caption->font()).horizontalAdvance(caption->text()),
                 qPrintable(caption->text()));
    const auto captionOver = [&](int seat) { return form->Seats[seat - 1]->x(); };
    QCOMPARE(form->Seats[0]->text(), QStringLiteral("Hosszúnevű_Játékos"));
    const QListWidget *list = form->ListBox;
    const int origin = list->x() + list->viewport()->x();
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(captionOver(seat), origin + form->ColumnLeft(seat % 4));

    // A window narrower than the columns scrolls them sideways, captions and all.
    form->resize(200, 200);
    QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);
    list->horizontalScrollBar()->setValue(40);
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(captionOver(seat), origin - 40 + form->ColumnLeft(seat % 4));
}

QTEST_MAIN(TstBidList)
#include "tst_bidlist.moc"
