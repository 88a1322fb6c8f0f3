// Draws the team match window's three faces into PNG files for docs/screenshots:
//   shot_match <folder>
// Run it under an X server (scripts/pictures.sh uses xvfb-run): the pictures are the X
// server's pixels. The club's lines are fed to the client's own dispatcher.
#include "TestClient.h"
#include "WindowPictures.h"

#include "history/VmMatch.h"
#include "session/Dispatch.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>
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

    TestClient client;
    const auto feed = [&](const QString &line) { client.ctx.guard([&] { client.ctx.dispatcher().dispatch(line); }); };
    client.frame()->setOwnNick(u"Anna"_s);
    TMatch *match = client.ctx.match;
    match->move(40, 40);

    // The list: announced, waiting for a player, running, just finished, finished a while ago.
    feed(u"R0 8 -1 12 7 - - 4 -2 3 6 - - 16 5 85 -40 Meccs1 Meccs2 2 -3 30 45 Meccs3 Meccs4 "
         "8 -25 120 96 Meccs1 Meccs2"_s);
    match->SetCurrentRow(0);
    bool ok = save(match, folder, u"match-list.png"_s);

    // A new match being put together from the people in the club.
    feed(u"L3 Társalgó 4 Anna Béla Cili Dani Terem1 2 Ede Feri Terem2 0"_s);
    match->btNew->click();
    match->fdLeo->setCurrentIndex(3);
    match->fdTime->setCurrentIndex(1);
    const QStringList names{u"Cili"_s, u"Ede"_s, u"Robot1"_s, u"Béla"_s, u"Dani"_s, u"Feri"_s, u"Robot2"_s};
    int k = 0;
    for (int col = 1; col <= 2; ++col)
        for (int row = 1; row <= 4; ++row)
            if (col != 1 || row != 1)
                match->SetCell(col, row, names[k++]);
    match->Sg->setCurrentCell(3, 1);
    ok = save(match, folder, u"match-proposal.png"_s) && ok;

    // An invitation from another member: the line-up as the club sent it, nothing to edit.
    match->cmClose();
    feed(u"R1 7 8 12 Béla Dani Robot3 Anna Feri Cili Ede Robot4"_s);
    ok = save(match, folder, u"match-invitation.png"_s) && ok;

    // The invitation is not answered: the picture tool has no club to send a decline to.
    match->ConnectionEnded();
    return ok && client.dialogs->errors().isEmpty() ? 0 : 1;
}
