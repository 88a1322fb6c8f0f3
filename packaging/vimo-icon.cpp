// vimo-icon: draws the program's icon from its own card art, the three tarokk honours (the
// XXI, the Skíz and the I) fanned out on the table's felt, at the sizes the desktop asks for.
//   vimo-icon <folder> <size>...   writes <folder>/<size>.png for each size

#include "cards/CardImages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

// The cards are drawn once at this many device pixels per pixel and scaled down, so that even
// the 256 px icon is sharper than the cards on the screen.
constexpr int Oversample = 3;

QImage drawIcon(int size)
{
    const int big = 256 * Oversample;
    QImage image(big, big, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    // The felt: the colour of the table's empty place, as a rounded square that leaves the
    // desktop's own margin around it.
    const QRectF felt(big * 0.04, big * 0.04, big * 0.92, big * 0.92);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x8a, 0x3c));
    p.drawRoundedRect(felt, big * 0.16, big * 0.16);

    // A fan turned about a point below the cards, as a hand is held.
    const qreal cardHeight = big * 0.62;
    const qreal cardWidth = cardHeight * RealCardSize.width() / RealCardSize.height();
    const QPointF pivot(big * 0.5, big * 0.98);
    const struct { int card; qreal angle; } fan[3] = {{21, -20}, {41, 20}, {42, 0}};
    for (const auto &c : fan) {
        p.save();
        p.translate(pivot);
        p.rotate(c.angle);
        p.translate(-pivot);
        const QRectF place(pivot.x() - cardWidth / 2, big * 0.13, cardWidth, cardHeight);
        // A soft edge under each card, so that the one above stands out from the one below.
        QPainterPath shadow;
        shadow.addRoundedRect(place.translated(big * 0.008, big * 0.012), big * 0.03, big * 0.03);
        p.fillPath(shadow, QColor(0, 0, 0, 70));
        p.drawPixmap(place, RealCardImage(c.card), QRectF());
        p.restore();
    }
    p.end();
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char *argv[])
{
    // The card pictures are made at the screen's pixel density: ask for a dense one.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(Oversample));
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        err << "usage: vimo-icon <folder> <size>..." << Qt::endl;
        return 2;
    }
    const QDir folder(args.first());
    if (!QDir().mkpath(folder.path())) {
        err << "vimo-icon: cannot make " << folder.path() << Qt::endl;
        return 1;
    }
    for (const QString &text : args.mid(1)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            err << "vimo-icon: not a size from 16 to 1024: " << text << Qt::endl;
            return 2;
        }
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        if (!drawIcon(size).save(path, "PNG")) {
            err << "vimo-icon: cannot write " << path << Qt::endl;
            return 1;
        }
    }
    return 0;
}
