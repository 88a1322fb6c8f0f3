// The table: the "P" line, the status line, where each seat's card lies, the previous
// trick, the layout, clicks, drops and the take-back request.

#include "PlayTable.h"

#include "cards/VmKibic.h"
#include "session/VmFrame.h"

#include <QAction>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>

using Cards = QList<int>;

class TstDesk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void trickLine_data();
    void trickLine();
    void completedTrickScore();
    void previousTrick();
    void notSeated();
    void layout_data();
    void layout();
    void drop_data();
    void drop();
    void undoAndPreviousFromMenu();
    void spectatorMode();
    void badLines_data();
    void badLines();
    void nicknamesWithPlaceMarks_data();
    void nicknamesWithPlaceMarks();
    void newDealForgetsTheLastTrick();

private:
    Cards shown() const
    {
        Cards c;
        for (int pos = 1; pos <= 4; ++pos)
            c << t->desk()->ShownCard(pos);
        return c;
    }
    std::unique_ptr<PlayTable> t;
};

void TstDesk::init()
{
    t = std::make_unique<PlayTable>();
    QVERIFY(t->connect());
}

void TstDesk::cleanup()
{
    t.reset();
}

void TstDesk::trickLine_data()
{
    QTest::addColumn<int>("own");
    QTest::addColumn<QString>("line");
    QTest::addColumn<Cards>("positions"); // the cards at bottom, right, top, left
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("yourTurn");

    const QString lead = QStringLiteral("P1 1 0 21 0 0 0");
    const QString took = QStringLiteral("P-2 1 0 21 25 30 42");
    const QString leadStatus = QStringLiteral(" 1. hívás. %1 jön.  Ütések 0:0");
    const QString tookStatus = QStringLiteral(" 1. hívás. %1 ütött.  Ütések 1:0");
    const QString own = PlayTable::Own;
    // Seat 1 leads a card; seat 2 took the trick. The own seat is drawn at the bottom, the
    // next seat on the right; a standing user sees seat 1 at the bottom.
    QTest::newRow("standing, lead") << 0 << lead << Cards{21, 0, 0, 0} << leadStatus.arg("Robot1") << false;
    QTest::newRow("seat 1, lead") << 1 << lead << Cards{21, 0, 0, 0} << leadStatus.arg(own) << true;
    QTest::newRow("seat 2, lead") << 2 << lead << Cards{0, 0, 0, 21} << leadStatus.arg("Robot1") << false;
    QTest::newRow("seat 3, lead") << 3 << lead << Cards{0, 0, 21, 0} << leadStatus.arg("Robot1") << false;
    QTest::newRow("seat 4, lead") << 4 << lead << Cards{0, 21, 0, 0} << leadStatus.arg("Robot1") << false;
    QTest::newRow("standing, took") << 0 << took << Cards{21, 25, 30, 42} << tookStatus.arg("Robot2") << false;
    QTest::newRow("seat 1, took") << 1 << took << Cards{21, 25, 30, 42} << tookStatus.arg("Robot2") << false;
    QTest::newRow("seat 2, took") << 2 << took << Cards{25, 30, 42, 21} << tookStatus.arg(own) << true;
    QTest::newRow("seat 3, took") << 3 << took << Cards{30, 42, 21, 25} << tookStatus.arg("Robot2") << false;
    QTest::newRow("seat 4, took") << 4 << took << Cards{42, 21, 25, 30} << tookStatus.arg("Robot2") << false;
}

void TstDesk::trickLine()
{
    QFETCH(int, own);
    QFETCH(QString, line);
    QFETCH(Cards, positions);
    QFETCH(QString, status);
    QFETCH(bool, yourTurn);
    t->sit(own);
    t->feed(QStringLiteral("H%1 1 2 6 7 11 16 21 25 30 42").arg(own == 0 ? 1 : own));
    t->card()->hide();
    t->forgetBoxes();

    t->feed(line);
    QCOMPARE(t->errors(), QStringList());
    QCOMPARE(shown(), positions);
    QCOMPARE(t->desk()->Current().cards, (std::array<int, 4>{positions[0], positions[1], positions[2], positions[3]}));
    QCOMPARE(t->desk()->windowTitle(), status);
    QCOMPARE(t->desk()->TrickNumber(), 1);
    QVERIFY(t->desk()->isVisible());
    // The hand window comes up for a seated user only; the turn is announced only when
    // the seat to act is the user's.
    QCOMPARE(t->card()->isVisible(), own > 0);
    QCOMPARE(t->notices(), yourTurn ? QStringList{"Te jössz!"} : QStringList{});
    // A completed trick is kept as the previous one.
    const bool complete = line.startsWith(QLatin1String("P-"));
    QCOMPARE(t->desk()->Previous().caption, complete ? status : QString());
    QCOMPARE(t->sent(), QStringList());
}

void TstDesk::completedTrickScore()
{
    t->sit(1);
    t->feed(QStringLiteral("P-3 4 1 21 7 30 42"));
    QCOMPARE(t->desk()->windowTitle(), QStringLiteral(" 4. hívás. Robot3 ütött.  Ütések 3:1"));
    t->feed(QStringLiteral("P3 5 1 0 0 0 0"));
    QCOMPARE(t->desk()->windowTitle(), QStringLiteral(" 5. hívás. Robot3 jön.  Ütések 3:1"));
    QCOMPARE(t->desk()->SeatToAct(), 3);
}

void TstDesk::previousTrick()
{
    t->sit(1);
    t->feed(QStringLiteral("P-3 4 1 21 7 30 42"));
    const QString before = t->desk()->windowTitle();
    t->feed(QStringLiteral("P3 5 1 0 0 22 0"));
    const QString now = t->desk()->windowTitle();
    QCOMPARE(shown(), (Cards{0, 0, 22, 0}));

    t->desk()->btPrev->click();
    QCOMPARE(t->desk()->Showing(), TDeskForm::Which::Previous);
    QCOMPARE(shown(), (Cards{21, 7, 30, 42}));
    QCOMPARE(t->desk()->windowTitle(), before);

    // Any click brings back the trick in play: on a card place, the felt or the bar.
    const QPoint places[] = {t->desk()->findChild<QWidget *>("Image3")->geometry().center(),
                             QPoint(3, 3),
                             t->desk()->Panel->geometry().center()};
    for (const QPoint &at : places) {
        t->desk()->cmPrev();
        QCOMPARE(shown(), (Cards{21, 7, 30, 42}));
        QWidget *target = t->desk()->childAt(at) ? t->desk()->childAt(at) : t->desk();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(t->desk(), at));
        QCOMPARE(shown(), (Cards{0, 0, 22, 0}));
        QCOMPARE(t->desk()->windowTitle(), now);
    }

    // The next line shows the trick in play even while the previous one is looked at.
    t->desk()->cmPrev();
    t->feed(QStringLiteral("P4 5 1 0 0 22 23"));
    QCOMPARE(t->desk()->Showing(), TDeskForm::Which::Current);
    QCOMPARE(shown(), (Cards{0, 0, 22, 23}));
}

void TstDesk::notSeated()
{
    t->sit(0);
    t->feed(QStringLiteral("P-1 3 0 25 30 42 21"));
    QCOMPARE(shown(), (Cards{25, 30, 42, 21}));
    QVERIFY(!t->card()->isVisible());
    QCOMPARE(t->notices(), QStringList());
    QCOMPARE(t->sent(), QStringList());
}

void TstDesk::layout_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QList<QPoint>>("places"); // Image1..Image4
    QTest::newRow("design size") << QSize(396, 439)
                                 << QList<QPoint>{{141, 212}, {273, 102}, {141, 0}, {9, 102}};
    // Tall: the top card at the top edge, the bottom card at the bar, the sides at 102.
    QTest::newRow("tall") << QSize(396, 600)
                          << QList<QPoint>{{141, 374}, {273, 102}, {141, 0}, {9, 102}};
    // Low: top and bottom cards meet at the middle, the side cards centred on it.
    QTest::newRow("low") << QSize(396, 300) << QList<QPoint>{{141, 139}, {273, 37}, {141, -65}, {9, 37}};
    QTest::newRow("wide") << QSize(600, 439) << QList<QPoint>{{243, 212}, {443, 102}, {243, 0}, {43, 102}};
}

void TstDesk::layout()
{
    QFETCH(QSize, client);
    QFETCH(QList<QPoint>, places);
    TDeskForm *desk = t->desk();
    desk->show();
    desk->resize(client);
    QTRY_COMPARE(desk->size(), client);
    for (int i = 0; i < 4; ++i) {
        QWidget *image = desk->findChild<QWidget *>(QStringLiteral("Image%1").arg(i + 1));
        QVERIFY(image);
        QCOMPARE(image->pos(), places[i]);
        QCOMPARE(image->size(), QSize(114, 204));
    }
    QCOMPARE(desk->Panel->geometry(), QRect(0, client.height() - 22, client.width(), 22));
    QCOMPARE(desk->btPrev->mapTo(desk, QPoint(0, 0)).x(), 0);
    QCOMPARE(desk->btUndo->mapTo(desk, QPoint(desk->btUndo->width(), 0)).x(), client.width());
}

void TstDesk::drop_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("plays");
    QTest::newRow("own place") << "Image1" << true;
    QTest::newRow("right place") << "Image2" << false;
    QTest::newRow("top place") << "Image3" << false;
    QTest::newRow("left place") << "Image4" << false;
    QTest::newRow("bar") << "Panel" << true;
    QTest::newRow("felt") << "" << true;
}

void TstDesk::drop()
{
    QFETCH(QString, target);
    QFETCH(bool, plays);
    t->sit(3);
    t->feed(QStringLiteral("H3 1 2 6 7 11 16 21 25 30 42"));
    t->feed(QStringLiteral("P3 2 0 0 0 0 0"));
    t->forgetBoxes();
    t->card()->SelectCard(4); // descending order: 42 30 25 21 16 11 7 6 2 1
    QCOMPARE(t->card()->Tag(4), 16);

    TDeskForm *desk = t->desk();
    desk->show();
    const QPoint at = target.isEmpty() ? QPoint(4, 4)
                                       : desk->findChild<QWidget *>(target)->geometry().center();
    QMimeData mime;
    mime.setData(QLatin1String(TDeskForm::CardMime), "16");
    QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(desk, &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(desk, &move);
    QCOMPARE(move.isAccepted(), plays);
    QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(desk, &drop);
    QCOMPARE(t->sent(), plays ? QStringList{"P16"} : QStringList{});
    QCOMPARE(t->errors(), QStringList());
}

void TstDesk::undoAndPreviousFromMenu()
{
    t->sit(2);
    t->feed(QStringLiteral("P-1 1 0 5 3 1 2"));
    t->feed(QStringLiteral("P1 2 0 0 0 0 0"));
    QAction *undo = t->client->frame()->menuItem("mnUndo");
    QAction *prev = t->client->frame()->menuItem("mnPrev");
    QVERIFY(undo->isEnabled() && prev->isEnabled());
    undo->trigger();
    QCOMPARE(t->sent(), QStringList{"V"});
    t->desk()->btUndo->click();
    QCOMPARE(t->sent(), QStringList{"V"});
    prev->trigger();
    QCOMPARE(t->desk()->Showing(), TDeskForm::Which::Previous);
    QCOMPARE(shown(), (Cards{3, 1, 2, 5}));
}

void TstDesk::spectatorMode()
{
    t->sit(0);
    t->ctx().kibic->SetKibic(true);
    t->feed(QStringLiteral("P-2 1 0 21 25 30 42"));
    QCOMPARE(t->errors(), QStringList());
    QCOMPARE(t->ctx().kibic->windowTitle(), QStringLiteral(" 1. hívás. Robot2 ütött.  Ütések 1:0"));
    QVERIFY(!t->desk()->isVisible());
    QVERIFY(!t->card()->isVisible());
}

void TstDesk::badLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    QTest::newRow("P alone") << "P" << "Ilyen nincs már";
    QTest::newRow("who 0") << "P0 2 0 0 0 0 0" << "Érvénytelen ülőhely: 0";
    QTest::newRow("who 5") << "P5 2 0 0 0 0 0" << "Érvénytelen ülőhely: 5";
    QTest::newRow("who -5") << "P-5 2 0 1 2 3 4" << "Érvénytelen ülőhely: -5";
    QTest::newRow("not a number") << "P2 2 0 7 x 0 0" << "'x' nem érvényes egész szám";
    QTest::newRow("six words") << "P2 2 0 7 0 0" << "Hibás ütéssor: P2 2 0 7 0 0";
    QTest::newRow("eight words") << "P2 2 0 7 0 0 0 0" << "Hibás ütéssor: P2 2 0 7 0 0 0 0";
    QTest::newRow("double blank") << "P2 2 0  7 0 0 0" << "Hibás ütéssor: P2 2 0  7 0 0 0";
    QTest::newRow("card 43") << "P2 2 0 43 0 0 0" << "Hibás lapszám: 43";
    QTest::newRow("card -1") << "P2 2 0 -1 0 0 0" << "Hibás lapszám: -1";
    QTest::newRow("trick 0") << "P2 0 0 7 0 0 0" << "Hibás hívásszám: 0";
    QTest::newRow("trick 11") << "P2 11 0 7 0 0 0" << "Hibás hívásszám: 11";
    QTest::newRow("count -1") << "P2 2 -1 7 0 0 0" << "Hibás ütésszám: -1";
    // The line is quoted up to a sensible width, not as long as it came.
    const QString longLine = QStringLiteral("P2 2 0 7 0 0 0") + QStringLiteral(" 1").repeated(200);
    QTest::newRow("long line") << longLine << "Hibás ütéssor: " + longLine.left(79) + "…";
}

void TstDesk::badLines()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    t->sit(1);
    t->feed(QStringLiteral("P-3 1 1 21 7 30 42"));
    const QString title = t->desk()->windowTitle();
    const TrickRecord previous = t->desk()->Previous();
    t->forgetBoxes();

    t->feed(line);
    QCOMPARE(t->errors(), QStringList{error});
    // Nothing of the bad line is kept.
    QCOMPARE(t->desk()->windowTitle(), title);
    QCOMPARE(t->desk()->TrickNumber(), 1);
    QCOMPARE(t->desk()->SeatToAct(), 3);
    QCOMPARE(t->desk()->Current().cards, (std::array<int, 4>{21, 7, 30, 42}));
    QCOMPARE(t->desk()->Previous().caption, previous.caption);
    QCOMPARE(shown(), (Cards{21, 7, 30, 42}));
    QCOMPARE(t->sent(), QStringList());
}

void TstDesk::nicknamesWithPlaceMarks_data()
{
    QTest::addColumn<QString>("nick");
    QTest::newRow("%1") << "A%1b";
    QTest::newRow("%2") << "%2";
    QTest::newRow("%3%4%5") << "%3%4%5";
}

// A nickname goes into the status line as it is, whatever it holds.
void TstDesk::nicknamesWithPlaceMarks()
{
    QFETCH(QString, nick);
    t->feed(QStringLiteral("JTerem1 5 0 ") + nick + QStringLiteral(" 1 Robot2 2 Robot3 3 Én 4"));
    t->feed(QStringLiteral("P-1 3 1 21 7 30 42"));
    QCOMPARE(t->desk()->windowTitle(), QStringLiteral(" 3. hívás. ") + nick + QStringLiteral(" ütött.  Ütések 2:1"));
    t->feed(QStringLiteral("P1 4 1 0 0 0 0"));
    QCOMPARE(t->desk()->windowTitle(), QStringLiteral(" 4. hívás. ") + nick + QStringLiteral(" jön.  Ütések 2:1"));
    QCOMPARE(t->errors(), QStringList());
}

// "Előző ütés" at the first trick of a new deal has nothing to show yet.
void TstDesk::newDealForgetsTheLastTrick()
{
    t->sit(1);
    t->feed(QStringLiteral("P-3 10 4 21 7 30 42"));
    QCOMPARE(t->desk()->Previous().cards, (std::array<int, 4>{21, 7, 30, 42}));
    t->feed(QStringLiteral("N6 1"));
    QCOMPARE(t->desk()->Previous().caption, QString());
    QCOMPARE(t->desk()->Previous().cards, (std::array<int, 4>{}));
    t->feed(QStringLiteral("P3 1 0 0 0 22 0"));
    t->desk()->btPrev->click();
    QCOMPARE(shown(), (Cards{0, 0, 0, 0}));
    QCOMPARE(t->desk()->windowTitle(), QStringLiteral("Asztal"));
}

QTEST_MAIN(TstDesk)
#include "tst_desk.moc"
