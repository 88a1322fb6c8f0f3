// Draws the three bidding windows in a typical state into PNG files:
//   bidding_screens <folder>
// Run it on a real display (or Xvfb); the pictures go into the documentation.
#include "BidSteps.h"
#include "TestClient.h"
#include "WindowPictures.h"

#include "bidding/BidRules.h"
#include "bidding/Catalogue.h"
#include "bidding/Points.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmDesk.h"
#include "session/ClickLabel.h"
#include "session/Dispatch.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

static bool save(QWidget *w, const QString &folder, const QString &name)
{
    return WindowPictures::Save(w, QDir(folder).filePath(name));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;
    const QString NB = QString(QChar(0x00A0));

    TestClient client;
    TFrame *frame = client.frame();
    frame->setOwnNick(u"Robi"_s);
    frame->setOwnSeat(2);
    const QStringList names{u"Anna"_s, u"Robi"_s, u"Csaba"_s, u"Dóra"_s};
    for (int s = 1; s <= 4; ++s)
        frame->seatField(s)->setText(names[s - 1]);
    client.ctx.desk->SetSeatFields({frame->seatField(1), frame->seatField(2), frame->seatField(3),
                                    frame->seatField(4)});

    // The bid list after a whole auction.
    const QString auction = u"1 1 Gém 3 8"_s + NB + u"Tarokk Kassza Pagát"_s + NB
                            + u"ulti 1 Vizi 1 *Kassza 0 1 **Kassza 0 1 Bridzs 0"_s;
    client.ctx.list->ShowBids(auction);
    client.ctx.list->move(560, 40);
    bool ok = save(client.ctx.list, folder, u"bid-list.png"_s);

    // The editor in the middle of composing a turn.
    TBidxForm *bid = client.ctx.bid;
    bid->SetSignals({u"8"_s + NB + u"Tarokk"_s, u"3"_s + NB + u"Kőr"_s, u"Matador"_s});
    client.ctx.dispatcher().dispatch(u"B1 1 Gém"_s);
    client.ctx.dispatcher().dispatch(u"B"_s);
    const auto add = [&](int group, int entry, const QString &higher = QString()) {
        BidSteps::Add(bid, group, entry, higher);
    };
    add(BidRules::Signals, 0);
    add(BidRules::Contra, 0);
    add(BidRules::Tricks, 1);
    add(BidRules::Raisers, 0, u"Pagát"_s);
    bid->fdGroups->setCurrentRow(BidRules::Raisers);
    bid->fdBid->setCurrentRow(0);
    bid->BidMouseMove(bid->fdBid->visualItemRect(bid->fdBid->item(0)).center());
    bid->move(10, 40);
    ok = save(bid, folder, u"bid-editor.png"_s) && ok;

    // The announcement table ordered by penalty, a row chosen.
    TTkForm *tk = client.ctx.tk;
    tk->DBGridTitleClick(TTkForm::Down);
    tk->HintOf(u"Kassza"_s);
    tk->move(10, 360);
    ok = save(tk, folder, u"announcement-table.png"_s) && ok;
    return ok ? 0 : 1;
}
