// Pictures of the deal history's four pages for docs/screenshots: the real client against a
// real vimo-club plays two deals, then fetches them with "Korábbi leosztások..." (an empty
// date: all of today's). Usage: shot_history <vimo-club program> <folder>

#include "AutoPlayer.h"
#include "ClubSteps.h"
#include "PictureStory.h"
#include "WindowPictures.h"

#include "cards/Picks.h"
#include "history/VmRoll.h"
#include "history/VmSeen.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace {

bool playDeal(TestClient &client, int number)
{
    TFrame *frame = client.frame();
    const auto results = [&] { return client.chatLines().filter(QStringLiteral("Eredmény: ")).size(); };
    const qsizetype before = results();
    frame->SendLine(QStringLiteral("O") + QString::number(number));
    if (!QTest::qWaitFor([&] { return frame->lbDeal->text() == QString::number(number); }, 10000))
        return false;
    AutoPlayer player(client.ctx);
    const bool over = QTest::qWaitFor([&] {
        player.step();
        return player.dealOver() || player.stuck;
    }, 60000);
    // The deal is stored when its result is out.
    return over && !player.stuck && QTest::qWaitFor([&] { return results() > before; }, 10000);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    PictureStory story;
    if (!story.begin(argc, argv))
        return 1;
    const QDir &out = story.out;
    ClubProcess &club = story.club;
    TestClient &client = story.client;
    Context &ctx = client.ctx;
    bool ok = LogIn(client, club.port(), QStringLiteral("Vendég")) && EnterFirstRoom(client);
    ok = ok && SitForDeal(client, 1, 7);
    // Three deals: two boards, one of them played twice. Sitting down began deal 7.
    for (int deal : {7, 8, 7})
        ok = ok && playDeal(client, deal);
    if (!ok) {
        qWarning("the deals were not played");
        return 1;
    }

    TRollForm *roll = ctx.roll;
    client.dialogs->inputAnswers.enqueue(QString());
    ctx.frame->findChild<QAction *>(QStringLiteral("mnDay"))->trigger();
    ok = QTest::qWaitFor([&] { return roll->DealCount() >= 3 && roll->Tv->currentItem() != nullptr; }, 10000);
    ctx.frame->hide();
    for (QWidget *w : {static_cast<QWidget *>(ctx.desk), static_cast<QWidget *>(ctx.card),
                       static_cast<QWidget *>(ctx.bid), static_cast<QWidget *>(ctx.list)})
        w->hide();
    roll->move(40, 40);
    roll->show();
    // The first deal of board 7 in view.
    roll->Tv->setCurrentItem(roll->Tv->topLevelItem(0)->child(0));
    ok = WindowPictures::Save(roll, out.filePath(QStringLiteral("history-1-deals.png"))) && ok;

    roll->Page->setCurrentIndex(1);
    ok = QTest::qWaitFor([&] { return roll->ScoresState(*roll->CurrentBoard()) == TRollForm::TFetch::Known; }, 10000) && ok;
    ok = WindowPictures::Save(roll, out.filePath(QStringLiteral("history-2-score.png"))) && ok;

    roll->Page->setCurrentIndex(2);
    ok = QTest::qWaitFor([&] { return roll->BidsState(*roll->CurrentBoard()) == TRollForm::TFetch::Known; }, 10000) && ok;
    ok = WindowPictures::Save(roll, out.filePath(QStringLiteral("history-3-bids.png"))) && ok;

    // The replay in the middle of trick 4: three tricks done, two cards of the fourth out.
    roll->Page->setCurrentIndex(3);
    for (int i = 0; i < 3; ++i)
        roll->ToolButtons[4]->click();
    // (3, 4) -> (3, 0): the table cleared; then two cards of trick 4.
    for (int i = 0; i < 3; ++i)
        roll->ToolButtons[3]->click();
    ok = WindowPictures::Save(roll, out.filePath(QStringLiteral("history-4-replay.png"))) && ok;
    // "Közhír": the club's days in the chooser "Napok", beside the history.
    ctx.frame->findChild<QAction *>(QStringLiteral("mnLog"))->trigger();
    TSeen *seen = nullptr;
    ok = QTest::qWaitFor([&] {
        seen = ctx.frame->findChild<TSeen *>();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *s = qobject_cast<TSeen *>(w); s && s->isVisible())
                seen = s;
        return seen != nullptr;
    }, 10000) && ok;
    if (seen) {
        seen->move(roll->x() + roll->width() + 20, roll->y() + 60);
        ok = WindowPictures::SaveScene({roll, seen}, out.filePath(QStringLiteral("history-5-days.png"))) && ok;
        seen->btCancel->click();
    }
    if (!client.dialogs->errors().isEmpty()) {
        qWarning("errors: %s", qPrintable(client.dialogs->errors().join(QLatin1String(" | "))));
        ok = false;
    }
    return ok ? 0 : 1;
}
