// Pictures of the own hand and the table for the documentation: the real windows fed with
// club lines, each grabbed and framed under its caption (a bare X server draws no title
// bars, and the table's caption is its status line). Usage: shot_cards <folder>

#include "TestClient.h"

#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/Dispatch.h"
#include "session/VmConnect.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

namespace {

void save(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    const QPixmap body = window->grab();
    const qreal dpr = body.devicePixelRatio();
    const int bar = 26;
    QImage framed(QSize(body.width(), body.height() + int(bar * dpr)), QImage::Format_RGB32);
    framed.setDevicePixelRatio(dpr);
    framed.fill(QColor(0x3a, 0x3f, 0x44));
    QPainter p(&framed);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f = QApplication::font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xee, 0xee, 0xee));
    p.drawText(QRect(10, 0, int(body.width() / dpr) - 20, bar), Qt::AlignVCenter | Qt::AlignLeft,
               window->windowTitle());
    p.drawPixmap(0, bar, body);
    p.end();
    framed.save(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestClient client;
    Context &ctx = client.ctx;
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
    return 0;
}
