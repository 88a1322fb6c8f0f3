// A duplicate practice match through the client's real windows against a real vimo-club
// with short match minutes: the user proposes a two-deal match with seven robots on the
// proposal page, is taken into the first match room at the start, plays both deals through
// the hand window, and finds the final score in the match list and both deals in the history.

#include "AutoPlayer.h"
#include "ClubSteps.h"
#include "ClubProcess.h"

#include "history/VmMatch.h"
#include "history/VmRoll.h"
#include "session/VmFrame.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QtTest>

namespace {

// A match minute of the club in this test: the start comes after one of them.
constexpr int MatchMinuteMs = 50;

QTreeWidgetItem *findBoard(TRollForm *roll, int deal)
{
    const QList<QTreeWidgetItem *> found = roll->Tv->findItems(QString::number(deal), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TstE2eMatch : public QObject
{
    Q_OBJECT
private slots:
    void practiceMatchAgainstSevenRobots();
};

void TstE2eMatch::practiceMatchAgainstSevenRobots()
{
    ClubProcess club;
    QVERIFY2(club.start(QStringLiteral(VIMO_CLUB_PATH), 0,
                        {QStringLiteral("--match-minute"), QString::number(MatchMinuteMs)}),
             qPrintable(club.errorText()));
    TestClient client;
    Context &ctx = client.ctx;
    TFrame *frame = client.frame();
    TMatch *match = ctx.match;
    const QString nick = QStringLiteral("Vendég");
    QVERIFY(LogIn(client, club.port(), nick));

    // "Mérkőzések...": the club's list, empty so far.
    frame->menuItem("mnMatch")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(match->isVisible(), 10000);
    QCOMPARE(match->RowCount(), 0);
    QVERIFY(!match->btDelete->isEnabled());

    // "Új mérkőzés": the user's own name stands first; robots fill the other seven cells.
    match->btNew->click();
    QCOMPARE(match->LineUp()[0][0], nick);
    int robot = 2;
    for (int col = 1; col <= 2; ++col)
        for (int row = 1; row <= 4; ++row)
            if (col != 1 || row != 1)
                match->SetCell(col, row, QStringLiteral("Robot%1").arg(robot++));
    match->fdLeo->setCurrentIndex(0);   // "  2"
    match->fdTime->setCurrentIndex(0);  // "  1"
    match->btAccept->click();
    QCOMPARE(client.dialogs->errors(), QStringList());
    QVERIFY(!match->isVisible());

    // Nothing to accept: the robots have. A minute later the user is in the first room, seat 1.
    QTRY_VERIFY_WITH_TIMEOUT(client.chatLines().contains(
                                 QStringLiteral("Szerver: A mérkőzés (1) meghirdetve, 1 perc múlva kezdődik")),
                             10000);
    QTRY_VERIFY_WITH_TIMEOUT(frame->Page->currentWidget() == frame->TabRoom
                                 && frame->lbHost->text() == QLatin1String("Meccs1"),
                             10000);
    QTRY_COMPARE_WITH_TIMEOUT(frame->ownSeat(), 1, 10000);
    QVERIFY(!match->isVisible());

    // Both deals through the hand window, until the club tells the final score.
    AutoPlayer player(ctx);
    QSet<int> boards;
    const QRegularExpression over(
        QStringLiteral("^Szerver: A mérkőzés \\(1\\) véget ért: Csapat 1\\. (-?\\d+) : (-?\\d+) Csapat 2\\.$"));
    QRegularExpressionMatch final;
    QVERIFY2(QTest::qWaitFor([&] {
                 player.step();
                 if (frame->lbHost->text() == QLatin1String("Meccs1") && ctx.card->isVisible())
                     boards << frame->lbDeal->text().toInt();
                 for (const QString &line : client.chatLines())
                     if (const auto m = over.match(line); m.hasMatch())
                         final = m;
                 return final.hasMatch() || player.stuck;
             }, 120000),
             qPrintable(client.chatLines().join(QLatin1Char('\n')) + QLatin1Char('\n') + club.log()));
    QVERIFY(!player.stuck);
    QCOMPARE(boards.size(), 2);
    QVERIFY(player.bidTurns >= 2);
    QVERIFY(player.cardsPlayed >= 18);
    QCOMPARE(client.dialogs->errors(), QStringList());
    const qint32 team1 = final.captured(1).toInt();
    const qint32 team2 = final.captured(2).toInt();

    // "Mérkőzések...": the finished match with its final score.
    frame->menuItem("mnMatch")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(match->isVisible() && match->RowCount() == 1, 10000);
    const TMatchRow row = match->Row(0);
    QCOMPARE(row.Leo, 2);
    QCOMPARE(row.Res, QStringLiteral("%1 : %2").arg(team1).arg(team2).left(TMatchRow::ResSize));
    QCOMPARE(row.Dif, qint64(team1) - team2);
    QCOMPARE(row.Tab1, QStringLiteral("Meccs1"));
    QCOMPARE(row.Tab2, QStringLiteral("Meccs2"));
    // "Befejeződött", or some minutes later (a minute is short here) 'n perce befejeződött'.
    QVERIFY2(row.Status.endsWith(QStringLiteral("efejeződött")), qPrintable(row.Status));
    QVERIFY(!match->btDelete->isEnabled());
    match->btClose->click();

    // "Korábbi leosztások..." for today: both deals under their board numbers, each played in
    // both rooms.
    TRollForm *roll = ctx.roll;
    client.dialogs->inputAnswers.enqueue(QString());
    frame->menuItem("mnDay")->trigger();
    for (int board : std::as_const(boards))
        QTRY_VERIFY_WITH_TIMEOUT(findBoard(roll, board) != nullptr, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(roll->DealCount(), 4, 10000);
    for (int board : std::as_const(boards)) {
        roll->Tv->setCurrentItem(findBoard(roll, board));
        QCOMPARE(roll->CurrentBoard()->Board, QString::number(board));
    }
    QCOMPARE(client.dialogs->errors(), QStringList());
    for (const QString &line : client.chatLines())
        QVERIFY2(!line.startsWith(QStringLiteral(">>> Ismeretlen")), qPrintable(line));
}

QTEST_MAIN(TstE2eMatch)
#include "tst_e2e_match.moc"
