// Pictures of the own hand and the table for the documentation: the real windows fed with
// club lines, each grabbed and framed under its caption (a bare X server draws no title
// bars, and the table's caption is its status line). Usage: shot_cards <folder>

#include "FakeClub.h"
#include "TestClient.h"
#include "WindowPictures.h"

#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "cards/Picks.h"
#include "cards/VmKibic.h"
#include "session/VmFrame.h"
#include "session/Dispatch.h"
#include "session/VmConnect.h"

#include <QApplication>
#include <QDir>

namespace {

void save(QWidget *window, const QString &path)
{
    if (!WindowPictures::Save(window, path))
        qWarning("could not write %s", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestClient client;
    Context &ctx = client.ctx;
    FakeClub club; // spectating sends lines
    client.connectTo(club);
    const auto feed = [&](const QString &line) {
        ctx.guard([&] { ctx.dispatcher().dispatch(line); });
    };
    client.frame()->setOwnNick(QStringLiteral("Én"));
    ctx.card->setWindowTitle(QStringLiteral("Én lapjai"));
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Én 2 Robot3 3 Robot4 4"));

    feed(QStringLiteral("H2 4 10 13 15 17 21 28 33 41 42"));
    ctx.card->move(0, 0);
    ctx.card->SelectCard(6);
    save(ctx.card, out.filePath(QStringLiteral("hand-normal.png")));

    ctx.card->ApplyCardSize(TCardForm::Mini);
    ctx.card->ShowHand();
    ctx.card->SelectCard(6);
    save(ctx.card, out.filePath(QStringLiteral("hand-mini.png")));
    ctx.card->ApplyCardSize(TCardForm::Normal);

    feed(QStringLiteral("P-3 3 1 20 19 24 18"));
    feed(QStringLiteral("H2 4 10 13 15 17 21 28 33 41 42"));
    feed(QStringLiteral("P3 4 1 0 0 0 0"));
    feed(QStringLiteral("P2 4 1 12 0 14 35"));
    ctx.desk->move(720, 0);
    save(ctx.desk, out.filePath(QStringLiteral("table-trick.png")));

    ctx.desk->cmPrev();
    save(ctx.desk, out.filePath(QStringLiteral("table-previous.png")));

    // A spectator at another table: all four hands, trick 2 half played.
    feed(QStringLiteral("I\u00c9n 0"));
    ctx.kibic->SetKibic(true);
    ctx.kibic->show();
    feed(QStringLiteral("JTerem2 1234 7 Hanna 1 Kov\u00e1cs 2 Robot3 3 Robot4 4"));
    feed(QStringLiteral("H1 2 6 11 16 22 27 31 36 40 42"));
    feed(QStringLiteral("H2 1 3 7 12 18 23 25 29 34 39"));
    feed(QStringLiteral("H3 4 8 9 13 19 21 26 30 37 38"));
    feed(QStringLiteral("H4 5 10 14 15 17 20 24 28 32 33"));
    feed(QStringLiteral("P-2 1 1 36 34 30 33"));
    feed(QStringLiteral("P4 2 1 17 0 0 0"));
    feed(QStringLiteral("P1 2 1 17 11 0 0"));
    ctx.kibic->move(0, 300);
    save(ctx.kibic, out.filePath(QStringLiteral("kibic.png")));
    // The replay view of a stored deal, in the middle of trick 3.
    TPlayView replay(ctx, nullptr);
    const int deal[4][10] = {{21, 1, 6, 42, 11, 16, 27, 2, 33, 7},
                             {22, 3, 8, 30, 12, 17, 28, 4, 34, 9},
                             {41, 5, 10, 31, 13, 18, 29, 14, 35, 19},
                             {23, 24, 25, 26, 15, 20, 32, 36, 37, 38}};
    for (int seat = 1; seat <= 4; ++seat) {
        THand &cards = replay.SeatHand(seat);
        cards.SetCount(0);
        for (int card : deal[seat - 1])
            cards.Add(card);
    }
    replay.Tricks().SetText(QStringLiteral("1 1 1 1 2 2 2 2 3 3"));
    replay.SetNames(std::array<QString, 4>{QStringLiteral("Hanna"), QStringLiteral("Kovács"),
                                           QStringLiteral("Robot3"), QStringLiteral("Robot4")});
    replay.SetBoard(1234);
    replay.GoFirst();
    for (int i = 0; i < 12; ++i) // two whole tricks are nine steps (the table clears once)
        replay.StepForward();
    replay.setWindowTitle(QStringLiteral("Lejátszás"));
    replay.move(400, 300);
    replay.show();
    save(&replay, out.filePath(QStringLiteral("replay.png")));

    for (const QString &e : client.dialogs->errors())
        qWarning("%s", qPrintable(e));
    return 0;
}
