#include "CardImages.h"

#include "Hands.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <vector>

namespace {

QString faceText(int card)
{
    static const char *const ranks[5] = {"T", "B", "L", "D", "K"};
    static const char *const roman[21] = {"I", "II", "III", "IIII", "V", "VI", "VII",
                                          "VIII", "IX", "X", "XI", "XII", "XIII", "XIV",
                                          "XV", "XVI", "XVII", "XVIII", "XIX", "XX", "XXI"};
    if (card >= 1 && card <= 20)
        return QString::fromLatin1(ranks[(card - 1) % 5]);
    if (card >= 21 && card <= 41)
        return QString::fromLatin1(roman[card - 21]);
    if (card == 42)
        return QStringLiteral("Skíz");
    return QString();
}

QPixmap draw(QSize size, int index)
{
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(QColor(0x1f, 0x8a, 0x3c));
    QPainter p(&pm);
    if (index >= 1 && index <= 42) {
        p.fillRect(QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1), Qt::white);
        p.setPen(Qt::black);
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, faceText(index));
    }
    return pm;
}

const QPixmap &pick(std::vector<QPixmap> &list, QSize size, int count, int index)
{
    if (list.empty())
        for (int i = 0; i < count; ++i)
            list.push_back(draw(size, i));
    return list[index >= 0 && index < count ? index : 0];
}

} // namespace

const QPixmap &RealCardImage(int index)
{
    static std::vector<QPixmap> list;
    return pick(list, RealCardSize, RealCardCount, index);
}

const QPixmap &SmallCardImage(int index)
{
    static std::vector<QPixmap> list;
    return pick(list, SmallCardSize, SmallCardCount, index);
}
