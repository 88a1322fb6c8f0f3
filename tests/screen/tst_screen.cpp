// What the X server shows. QWidget::grab() paints a window afresh, so a window that missed
// its repaint still looks right in every other test; here the pixels come from the X
// server (QScreen::grabWindow) and must equal a fresh render of the same window, after a
// burst of lines as the club sends them when the user sits down, and after each card that
// follows some hundred milliseconds apart. Runs under xvfb-run, with no window manager.

#include "FakeClub.h"
#include "TestClient.h"

#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/VmConnect.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class TstScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void windowsShowWhatTheyHold();

private:
    // Lets the windows paint and the X server take their pixels.
    static void settle() { QTest::qWait(250); }
    static QString differences(QWidget *window);
};

void TstScreen::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (run under xvfb-run)");
    // A blinking text cursor would make two pictures of the same window differ.
    QApplication::setCursorFlashTime(0);
}

// A gradient painted in part (behind a label that changed) and painted whole can differ
// by a step of rounding; a missed repaint differs by far more.
static bool same(QRgb a, QRgb b)
{
    constexpr int Rounding = 6;
    return std::abs(qRed(a) - qRed(b)) <= Rounding && std::abs(qGreen(a) - qGreen(b)) <= Rounding
        && std::abs(qBlue(a) - qBlue(b)) <= Rounding;
}

QString TstScreen::differences(QWidget *window)
{
    for (QWidget *other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && other->frameGeometry().intersects(window->frameGeometry()))
            return QStringLiteral("%1 lies under %2").arg(window->objectName(), other->objectName());
    const QImage fromServer = window->screen()->grabWindow(window->winId())
                                  .toImage().convertToFormat(QImage::Format_RGB32);
    const QImage rendered = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (fromServer.size() != rendered.size())
        return QStringLiteral("%1: sizes differ").arg(window->objectName());
    int differing = 0;
    QRect where;
    for (int y = 0; y < rendered.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(fromServer.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(rendered.constScanLine(y));
        for (int x = 0; x < rendered.width(); ++x)
            if (!same(a[x], b[x])) {
                ++differing;
                where |= QRect(x, y, 1, 1);
            }
    }
    if (differing == 0)
        return {};
    const QString stem = QStringLiteral("tst_screen-%1").arg(window->objectName());
    fromServer.save(stem + QStringLiteral("-server.png"));
    rendered.save(stem + QStringLiteral("-rendered.png"));
    return QStringLiteral("%1: %2 pixels differ in (%3,%4 %5x%6); pictures in %7-*.png")
        .arg(window->objectName())
        .arg(differing)
        .arg(where.x())
        .arg(where.y())
        .arg(where.width())
        .arg(where.height())
        .arg(stem);
}

void TstScreen::windowsShowWhatTheyHold()
{
    FakeClub club;
    TestClient client;
    Context &ctx = client.ctx;
    client.ctx.connect->fdSound->setCheckState(Qt::Checked); // turn alerts beep, no box
    client.frame()->setOwnNick(QStringLiteral("anna"));

    // Side by side, never over each other: without a window manager nothing raises them,
    // and the X server keeps no pixels for a covered part of a window.
    client.frame()->move(0, 0);
    client.frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(client.frame()));
    const QRect main = client.frame()->frameGeometry();
    ctx.desk->move(main.right() + 20, 0);
    ctx.card->move(0, std::max(main.bottom(), ctx.desk->geometry().bottom()) + 20);
    const int right = std::max(ctx.card->geometry().right(), ctx.desk->geometry().right()) + 20;
    ctx.bid->move(right, 0);
    ctx.list->move(right, ctx.bid->geometry().bottom() + 20);
    QVERIFY(client.connectTo(club));

    club.send(QStringLiteral("L4 Társalgó 1 anna Terem1 0 Terem2 0 Terem3 0"));
    club.send(QStringLiteral("JTerem1 0 0 anna 0"));
    club.send(QStringLiteral("Tanna"));
    settle();

    // Seat taken, robots seated, the deal begins: one write, as the club sends it.
    club.sendLines({QStringLiteral("Ianna 1"), QStringLiteral("IRobot2 2"), QStringLiteral("IRobot3 3"),
                    QStringLiteral("IRobot4 4"), QStringLiteral("N60273 0"),
                    QStringLiteral("H1 2 9 10 18 26 33 34 37 38 40"), QStringLiteral("B1"),
                    QStringLiteral("B")});
    QTRY_VERIFY(ctx.card->isVisible());
    settle();
    for (QWidget *w : {static_cast<QWidget *>(client.frame()), static_cast<QWidget *>(ctx.card)})
        QVERIFY2(differences(w).isEmpty(), qPrintable(differences(w)));

    // The first trick, card by card, some hundred milliseconds apart.
    const QStringList trick = {QStringLiteral("P2 1 0 0 0 0 0"), QStringLiteral("P3 1 0 0 7 0 0"),
                               QStringLiteral("P4 1 0 0 7 8 0"), QStringLiteral("P1 1 0 0 7 8 9")};
    for (const QString &line : trick) {
        club.send(line);
        QTRY_VERIFY(ctx.desk->isVisible());
        settle();
        for (QWidget *w : {static_cast<QWidget *>(client.frame()), static_cast<QWidget *>(ctx.desk),
                           static_cast<QWidget *>(ctx.card)}) {
            const QString diff = differences(w);
            QVERIFY2(diff.isEmpty(), qPrintable(line + QStringLiteral(" -> ") + diff));
        }
    }
}

QTEST_MAIN(TstScreen)
#include "tst_screen.moc"
