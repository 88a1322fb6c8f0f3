#pragma once
// Pictures of the program's windows for docs/screenshots, taken from the window system's
// pixels (the X server's under xvfb-run), not painted afresh: a window that missed a repaint
// shows in the picture as the user would see it. A bare X server draws no title bars, so
// each window is drawn under a bar with its caption.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace WindowPictures {

constexpr int TitleBar = 24;

// The window's pixels as the screen holds them. The window is raised first, as a user
// brings a window to the front: without a window manager a covered part of a window has
// no pixels of its own.
inline QPixmap OnScreen(QWidget *window)
{
    window->raise();
    // The X server answers a raise with expose events; the window repaints what was covered
    // only once they have come back.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return window->screen()->grabWindow(window->winId());
}

// The window's picture with its caption bar above it, its top-left corner at `at`.
inline void Draw(QPainter &p, QWidget *window, QPoint at)
{
    QFont f = QApplication::font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect title(at, QSize(window->width(), TitleBar));
    p.fillRect(title, QColor(0x4a, 0x52, 0x5a));
    p.setPen(QColor(0xf0, 0xf0, 0xf0));
    // The caption as the window system shows it: Qt's "[*]" mark already worked out.
    const QString caption = window->windowHandle() ? window->windowHandle()->title() : window->windowTitle();
    p.drawText(title.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
    p.drawPixmap(at + QPoint(0, TitleBar), OnScreen(window));
    p.setPen(QColor(0x15, 0x18, 0x1b));
    p.drawRect(QRect(at, QSize(window->width(), window->height() + TitleBar)).adjusted(0, 0, -1, -1));
}

// Several windows where the program put them, the later ones over the earlier, on a dark
// desktop just large enough for them all.
inline bool SaveScene(const QList<QWidget *> &windows, const QString &path)
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QRect area;
    for (QWidget *w : windows)
        area |= QRect(w->pos(), w->size() + QSize(0, TitleBar));
    area = area.adjusted(-8, -8, 8, 8);
    QImage canvas(area.size(), QImage::Format_RGB32);
    canvas.fill(QColor(0x2b, 0x30, 0x36));
    QPainter p(&canvas);
    for (QWidget *w : windows)
        Draw(p, w, w->pos() - area.topLeft());
    p.end();
    return canvas.save(path);
}

// One window alone, shown first if it is not on the screen yet.
inline bool Save(QWidget *window, const QString &path)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    return SaveScene({window}, path);
}

} // namespace WindowPictures
