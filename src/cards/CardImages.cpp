#include "CardImages.h"

#include "Hands.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace {

const QColor kFelt(0x1f, 0x8a, 0x3c);
const QColor kRed(0xc8, 0x10, 0x1e);
const QColor kBlack(0x1a, 0x1a, 0x1a);
const QColor kTarokkInk(0x2b, 0x2a, 0x6e);

const char *const kRanks[5] = {"T", "B", "L", "D", "K"};
const char *const kRoman[21] = {"I", "II", "III", "IIII", "V", "VI", "VII", "VIII", "IX", "X",
                                "XI", "XII", "XIII", "XIV", "XV", "XVI", "XVII", "XVIII", "XIX",
                                "XX", "XXI"};

bool isRedSuit(int suit)
{
    return suit == 1 || suit == 2; // Káró, Kőr
}

// A suit sign of height h centred on c: 0 Treff (club), 1 Káró (diamond), 2 Kőr (heart),
// 3 Pikk (spade).
QPainterPath suitSign(int suit, QPointF c, qreal h)
{
    QPainterPath p;
    const qreal w = h * 0.9;
    switch (suit) {
    case 0: { // three leaves and a stem
        const qreal r = h * 0.24;
        p.addEllipse(QPointF(c.x(), c.y() - h * 0.22), r, r);
        p.addEllipse(QPointF(c.x() - h * 0.24, c.y() + h * 0.06), r, r);
        p.addEllipse(QPointF(c.x() + h * 0.24, c.y() + h * 0.06), r, r);
        QPainterPath stem;
        stem.moveTo(c.x(), c.y());
        stem.lineTo(c.x() + h * 0.13, c.y() + h * 0.48);
        stem.lineTo(c.x() - h * 0.13, c.y() + h * 0.48);
        stem.closeSubpath();
        p = p.united(stem);
        break;
    }
    case 1:
        p.moveTo(c.x(), c.y() - h / 2);
        p.lineTo(c.x() + w * 0.38, c.y());
        p.lineTo(c.x(), c.y() + h / 2);
        p.lineTo(c.x() - w * 0.38, c.y());
        p.closeSubpath();
        break;
    case 2:
        p.moveTo(c.x(), c.y() + h * 0.46);
        p.cubicTo(c.x() - w * 0.9, c.y() - h * 0.05, c.x() - w * 0.35, c.y() - h * 0.75, c.x(), c.y() - h * 0.22);
        p.cubicTo(c.x() + w * 0.35, c.y() - h * 0.75, c.x() + w * 0.9, c.y() - h * 0.05, c.x(), c.y() + h * 0.46);
        break;
    case 3: {
        p.moveTo(c.x(), c.y() - h * 0.5);
        p.cubicTo(c.x() + w * 0.9, c.y() + h * 0.05, c.x() + w * 0.35, c.y() + h * 0.55, c.x(), c.y() + h * 0.1);
        p.cubicTo(c.x() - w * 0.35, c.y() + h * 0.55, c.x() - w * 0.9, c.y() + h * 0.05, c.x(), c.y() - h * 0.5);
        QPainterPath stem;
        stem.moveTo(c.x(), c.y() + h * 0.05);
        stem.lineTo(c.x() + h * 0.13, c.y() + h * 0.5);
        stem.lineTo(c.x() - h * 0.13, c.y() + h * 0.5);
        stem.closeSubpath();
        p = p.united(stem);
        break;
    }
    }
    return p;
}

QString faceText(int card)
{
    if (card >= 1 && card <= 20)
        return QString::fromLatin1(kRanks[(card - 1) % 5]);
    if (card >= 21 && card <= 41)
        return QString::fromLatin1(kRoman[card - 21]);
    if (card == 42)
        return QStringLiteral("Skíz");
    return QString();
}

QPixmap canvas(QSize size, const QColor &background)
{
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(background);
    return pm;
}

QFont font(qreal pixels, bool bold, const QString &family = QStringLiteral("DejaVu Serif"))
{
    QFont f(family);
    f.setPixelSize(int(pixels));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void drawRealSuit(QPainter &p, int card, const QRectF &r)
{
    const int suit = SuitOf(card);
    const int rank = (card - 1) % 5;
    const QColor ink = isRedSuit(suit) ? kRed : kBlack;
    const QString letter = QString::fromLatin1(kRanks[rank]);
    // Corners: letter over a small sign, top left and (turned) bottom right.
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(r.center());
            p.rotate(180);
            p.translate(-r.center());
        }
        p.setPen(ink);
        p.setFont(font(20, true));
        p.drawText(QRectF(r.left() + 4, r.top() + 3, 22, 22), Qt::AlignCenter, letter);
        p.fillPath(suitSign(suit, QPointF(r.left() + 15, r.top() + 33), 14), ink);
        p.restore();
    }
    // Centre: a large sign; the figures also get a framed panel with their letter.
    const QRectF inner = r.adjusted(24, 30, -24, -30);
    if (rank == 0) {
        p.fillPath(suitSign(suit, inner.center(), 54), ink);
        return;
    }
    QLinearGradient shade(inner.topLeft(), inner.bottomRight());
    shade.setColorAt(0, isRedSuit(suit) ? QColor(0xfd, 0xec, 0xe6) : QColor(0xe9, 0xee, 0xf6));
    shade.setColorAt(1, isRedSuit(suit) ? QColor(0xf6, 0xd2, 0xc8) : QColor(0xd3, 0xdc, 0xeb));
    p.setPen(QPen(ink, 1.2));
    p.setBrush(shade);
    p.drawRoundedRect(inner, 6, 6);
    p.fillPath(suitSign(suit, QPointF(inner.center().x(), inner.top() + 30), 30), ink);
    p.setPen(ink);
    p.setFont(font(44, true));
    p.drawText(inner.adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop, letter);
    p.fillPath(suitSign(suit, QPointF(inner.center().x(), inner.bottom() - 18), 16), ink);
}

void drawRealTarokk(QPainter &p, int card, const QRectF &r)
{
    const QString text = faceText(card);
    // A patterned border tells a tarokk from a suit card at a glance.
    p.setPen(QPen(QColor(0xb8, 0x92, 0x3a), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(6, 6, -6, -6), 6, 6);
    p.setPen(QPen(QColor(0xb8, 0x92, 0x3a), 1, Qt::DotLine));
    p.drawRoundedRect(r.adjusted(10, 10, -10, -10), 4, 4);
    p.setPen(kTarokkInk);
    p.setFont(font(text.size() > 3 ? 13 : 16, true));
    p.drawText(QRectF(r.left() + 12, r.top() + 12, 60, 18), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.save();
    p.translate(r.center());
    p.rotate(180);
    p.translate(-r.center());
    p.drawText(QRectF(r.left() + 12, r.top() + 12, 60, 18), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();

    const QRectF middle = r.adjusted(14, 40, -14, -40);
    QRadialGradient glow(middle.center(), middle.width() * 0.8);
    glow.setColorAt(0, QColor(0xff, 0xf6, 0xd8));
    glow.setColorAt(1, QColor(0xf1, 0xdf, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(middle);
    p.setPen(kTarokkInk);
    const qreal size = card == 42 ? 30 : text.size() <= 2 ? 46 : text.size() <= 3 ? 38 : text.size() <= 4 ? 30 : 24;
    p.setFont(font(size, true));
    p.drawText(middle, Qt::AlignCenter, text);
    if (card == 42) { // the Skíz: a star above its name
        QPainterPath star;
        const QPointF c(middle.center().x(), middle.top() + 22);
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 ? 5 : 12;
            const qreal angle = M_PI / 2 + i * M_PI / 5;
            const QPointF pt(c.x() + radius * std::cos(angle), c.y() - radius * std::sin(angle));
            i ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        p.fillPath(star, QColor(0xc8, 0x8a, 0x10));
    }
}

QPixmap drawReal(int index)
{
    // Transparent around the rounded corners, where a keyed background colour used to be.
    QPixmap pm = canvas(RealCardSize, Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(RealCardSize)).adjusted(1, 1, -1, -1);
    if (index < 1 || index > 42) {
        p.setPen(Qt::NoPen);
        p.setBrush(kFelt);
        p.drawRoundedRect(r, 9, 9);
        p.setPen(QPen(QColor(255, 255, 255, 90), 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(5, 5, -5, -5), 7, 7);
        return pm;
    }
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(Card::isTarokk(index) ? QColor(0xfb, 0xf6, 0xe8) : Qt::white);
    p.drawRoundedRect(r, 9, 9);
    if (Card::isTarokk(index))
        drawRealTarokk(p, index, r);
    else
        drawRealSuit(p, index, r);
    return pm;
}

QPixmap drawArrow(int index)
{
    QPixmap pm = canvas(SmallCardSize, QColor(0xe8, 0xe8, 0xe8));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x88, 0x88, 0x88), 1));
    p.drawRect(QRectF(0.5, 0.5, SmallCardSize.width() - 1, SmallCardSize.height() - 1));
    const qreal cy = SmallCardSize.height() / 2.0;
    const auto triangle = [&](qreal tipX, bool left) {
        QPainterPath t;
        const qreal base = left ? tipX + 6 : tipX - 6;
        t.moveTo(tipX, cy);
        t.lineTo(base, cy - 4.5);
        t.lineTo(base, cy + 4.5);
        t.closeSubpath();
        p.fillPath(t, QColor(0x1d, 0x4e, 0x89));
    };
    const QColor bar(0x1d, 0x4e, 0x89);
    switch (index) {
    case 43: p.fillRect(QRectF(7, cy - 4.5, 2, 9), bar); triangle(9, true); break;   // to the start
    case 44: triangle(6, true); triangle(12, true); break;                            // back a trick
    case 45: triangle(10, true); break;                                               // back a card
    case 46: triangle(16, false); break;                                              // on a card
    case 47: triangle(14, false); triangle(20, false); break;                         // on a trick
    case 48: triangle(17, false); p.fillRect(QRectF(17, cy - 4.5, 2, 9), bar); break; // to the end
    }
    return pm;
}

QPixmap drawSmall(int index)
{
    if (index >= 43)
        return drawArrow(index);
    QPixmap pm = canvas(SmallCardSize, Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(0, 0, SmallCardSize.width(), SmallCardSize.height());
    if (index < 1 || index > 42) {
        p.fillRect(r, kFelt);
        return pm;
    }
    const bool tarokk = Card::isTarokk(index);
    p.setPen(QPen(QColor(0x66, 0x66, 0x66), 1));
    p.setBrush(tarokk ? QColor(0xfb, 0xf0, 0xc8) : Qt::white);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    if (tarokk) {
        const QString text = faceText(index);
        p.setPen(kTarokkInk);
        p.setFont(font(text.size() >= 5 ? 8 : text.size() >= 4 ? 9 : 11, true, QStringLiteral("DejaVu Sans Condensed")));
        p.drawText(r, Qt::AlignCenter, text);
        return pm;
    }
    const int suit = SuitOf(index);
    const QColor ink = isRedSuit(suit) ? kRed : kBlack;
    p.fillPath(suitSign(suit, QPointF(7, 7.5), 10), ink);
    p.setPen(ink);
    p.setFont(font(11, true, QStringLiteral("DejaVu Sans")));
    p.drawText(QRectF(12, 0, 13, 15), Qt::AlignCenter, faceText(index));
    return pm;
}

const QPixmap &pick(std::vector<QPixmap> &list, QPixmap (*draw)(int), int count, int index)
{
    if (list.empty()) {
        list.reserve(count);
        for (int i = 0; i < count; ++i)
            list.push_back(draw(i));
    }
    return list[index >= 0 && index < count ? index : 0];
}

} // namespace

const QPixmap &RealCardImage(int index)
{
    static std::vector<QPixmap> list;
    return pick(list, drawReal, RealCardCount, index);
}

const QPixmap &SmallCardImage(int index)
{
    static std::vector<QPixmap> list;
    return pick(list, drawSmall, SmallCardCount, index);
}
