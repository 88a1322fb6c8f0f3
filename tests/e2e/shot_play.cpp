// A picture story of a newcomer's first deal: the real client against a real vimo-club,
// every visible window drawn where the program puts it, under its caption (a bare X
// server draws no title bars). Usage: shot_play <vimo-club program> <folder>

#include "AutoPlayer.h"
#include "ClubSteps.h"
#include "PictureStory.h"
#include "WindowPictures.h"

#include "bidding/VmList.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>

namespace {

// The windows a player sees, in the order they lie on one another.
QList<QWidget *> visibleWindows(Context &ctx)
{
    QList<QWidget *> shown;
    for (QWidget *w : {static_cast<QWidget *>(ctx.frame), static_cast<QWidget *>(ctx.list),
                       static_cast<QWidget *>(ctx.bid), static_cast<QWidget *>(ctx.desk),
                       static_cast<QWidget *>(ctx.card), static_cast<QWidget *>(ctx.connect)})
        if (w->isVisible())
            shown << w;
    return shown;
}

bool scene(Context &ctx, const QString &path)
{
    return WindowPictures::SaveScene(visibleWindows(ctx), path);
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
    bool ok = true;

    // 1. The login page, as a newcomer fills it.
    const auto type = TypeLogin(club.port(), QStringLiteral("Vendég"));
    client.pageAnswer = [&](TConnect &page) {
        type(page);
        page.move(60, 120);
        page.show();
        ok = scene(ctx, out.filePath(QStringLiteral("play-1-login.png"))) && ok;
        page.hide();
        return int(QDialog::Accepted);
    };
    ctx.guard([&] { ctx.connect->ShowLogin(); });
    ok = QTest::qWaitFor([&] { return ctx.frame->fdRooms->count() > 1; }, 10000) && ok;
    ok = scene(ctx, out.filePath(QStringLiteral("play-2-lobby.png"))) && ok;

    // 2. Into a room, down at seat 1: the robots take the other seats and the deal begins;
    //    the same story every time: the host asks for deal 7.
    ok = EnterFirstRoom(client) && SitForDeal(client, 1, 7) && ok;

    AutoPlayer player(ctx);
    bool bidShot = false;
    player.beforeSend = [&] {
        if (bidShot)
            return;
        bidShot = true;
        ok = scene(ctx, out.filePath(QStringLiteral("play-3-bidding.png"))) && ok;
    };
    bool midShot = false;
    ok = QTest::qWaitFor([&] {
        player.step();
        // 3. Play in the middle of the deal: trick 5 with two cards on the table.
        if (!midShot && ctx.desk->TrickNumber() == 5) {
            int cards = 0;
            for (int c : ctx.desk->Current().cards)
                cards += c != 0;
            if (cards == 2) {
                midShot = true;
                ok = scene(ctx, out.filePath(QStringLiteral("play-4-trick.png"))) && ok;
            }
        }
        return player.dealOver() || player.stuck;
    }, 120000) && ok;

    // 4. The last trick and the result in the room's chat.
    ok = QTest::qWaitFor([&] {
        return client.chatLines().filter(QStringLiteral("Eredmény: ")).size() > 0;
    }, 10000) && ok;
    ok = scene(ctx, out.filePath(QStringLiteral("play-5-result.png"))) && ok;
    if (!client.dialogs->errors().isEmpty())
        qWarning("errors: %s", qPrintable(client.dialogs->errors().join(QLatin1String(" | "))));
    return ok && bidShot && midShot && !player.stuck ? 0 : 1;
}
