#include "Picks.h"

#include "CardImages.h"
#include "HandRules.h"
#include "app/Context.h"
#include "session/VmConnect.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace {

constexpr int PictureCount = 49;

QPixmap blankPixmap(const QWidget *w, QSize size)
{
    const qreal dpr = w->devicePixelRatioF();
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

QLabel *makeLabel(QWidget *parent, const char *name, QRect geometry, const QString &text,
                  Qt::Alignment align, int pixelSize, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // Names come from the club: never let a nickname be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setAlignment(align);
    label->setText(text);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, TPlayView::KeyColour);
    pal.setColor(QPalette::WindowText, TPlayView::TextColour());
    label->setPalette(pal);
    label->setAutoFillBackground(false); // the key colour is see-through
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

const QPixmap &SmallPicture(int index)
{
    static std::vector<QPixmap> list;
    if (list.empty()) {
        list.reserve(PictureCount);
        for (int i = 0; i < PictureCount; ++i) {
            const QPixmap &source = SmallCardImage(i);
            QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
            const QRgb key = TPlayView::KeyColour.rgba();
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    if (line[x] == key)
                        line[x] = qRgba(0, 0, 0, 0);
            }
            QPixmap pm = QPixmap::fromImage(image);
            pm.setDevicePixelRatio(source.devicePixelRatio());
            list.push_back(pm);
        }
    }
    return list[index >= 0 && index < PictureCount ? index : 0];
}

void TPicture::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void TPicture::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

void TTableCard::setCard(int card)
{
    // Only card pictures belong on the table; the arrows past 42 do not.
    m_card = Card::isCard(card) ? card : Card::None;
    setPicture(SmallPicture(m_card));
}

void TCardStrip::setCards(const THand &cards, int order)
{
    m_shown = cards;
    OrderHand(m_shown, HandOrderOf(order));
    const bool down = vertical();
    m_layout = LayStrip(m_shown.Count(), down ? height() : width(), down);
    QPixmap pm = blankPixmap(this, size());
    QPainter p(&pm);
    for (int i = 0; i < m_shown.Count(); ++i) {
        const int card = Card::isCard(m_shown.Get(i)) ? m_shown.Get(i) : Card::None;
        const int pos = m_layout.positions[i];
        p.drawPixmap(down ? 0 : pos, down ? pos : 0, SmallPicture(card));
    }
    p.end();
    setPicture(pm);
}

void TTableShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // Corners as a rounded-rectangle shape draws them: the corner ellipse is a quarter of
    // the shorter side wide.
    const qreal radius = std::min(width(), height()) / 8.0;
    QPainterPath table;
    table.addRoundedRect(r, radius, radius);
    // A flat fill: the empty place on the table (picture 0) is drawn in this very colour
    // and must not stand out as a patch. Depth comes from the rim alone.
    const QColor baize = TPlayView::TableColour();
    p.fillPath(table, baize);
    QPainterPath rim;
    rim.addRoundedRect(r.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    p.setPen(QPen(baize.lighter(125), 1.5));
    p.drawPath(rim);
    p.setPen(QPen(baize.darker(250), 1));
    p.drawPath(table);
}

TPlayView::TPlayView(QWidget *parent, std::function<int()> cardOrder)
    : QWidget(parent), m_cardOrder(std::move(cardOrder))
{
    build();
}

TPlayView::TPlayView(Context &ctx, QWidget *parent)
    : TPlayView(parent, [&ctx] { return ctx.connect ? ctx.connect->CardOrder() : 1; })
{
}

QColor TPlayView::FeltColour()
{
    return QColor(0x3b, 0x2a, 0x20);
}

QColor TPlayView::TableColour()
{
    // The empty place on the table is picture 0; the table takes its colour so that an
    // empty place is a patch of table, not a card.
    static const QColor colour = [] {
        const QImage image = SmallCardImage(0).toImage();
        const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
        return c.alpha() == 255 && c != KeyColour ? c : QColor(0x1f, 0x8a, 0x3c);
    }();
    return colour;
}

QColor TPlayView::TextColour()
{
    return QColor(0xf3, 0xe9, 0xd2);
}

void TPlayView::build()
{
    setObjectName(QStringLiteral("PlayView"));
    setGeometry(QRect(QPoint(0, 0), ViewSize));
    setFixedSize(ViewSize);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, KeyColour);
    setPalette(pal);
    setAutoFillBackground(false); // the felt is painted instead of the key colour

    auto *shape = new TTableShape(this);
    shape->setObjectName(QStringLiteral("Shape"));
    shape->setGeometry(94, 56, 145, 105);

    const QRect played[4] = {{154, 136, 26, 15}, {190, 102, 26, 15}, {154, 68, 26, 15},
                             {118, 102, 26, 15}};
    const QRect strips[4] = {{35, 192, 260, 15}, {296, 32, 26, 150}, {35, 8, 260, 15},
                             {8, 32, 26, 150}};
    for (int i = 0; i < 4; ++i) {
        m_played[i] = new TTableCard(this);
        m_played[i]->setObjectName(QStringLiteral("CrdDsk%1").arg(i + 1));
        m_played[i]->setGeometry(played[i]);
        m_played[i]->setCard(Card::None);
        m_strips[i] = new TCardStrip(this);
        m_strips[i]->setObjectName(QStringLiteral("CrdHnd%1").arg(i + 1));
        m_strips[i]->setGeometry(strips[i]);
    }

    m_name4 = new TPicture(this);
    m_name4->setObjectName(QStringLiteral("Nimg4"));
    m_name4->setGeometry(68, 60, 10, 132);
    m_name2 = new TPicture(this);
    m_name2->setObjectName(QStringLiteral("Nimg2"));
    m_name2->setGeometry(256, 60, 10, 132);

    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    m_nick3 = makeLabel(this, "Nick3", {104, 32, 130, 18}, QStringLiteral("Nick3"), centred, 12, true);
    m_nick1 = makeLabel(this, "Nick1", {104, 170, 130, 18}, QStringLiteral("Nick1"), centred, 12, true);
    m_board = makeLabel(this, "lbBoard", {224, 40, 72, 18}, QString(), centred, 11, false);
    m_score = makeLabel(this, "lbScore", {64, 40, 22, 13}, QString(),
                        Qt::AlignLeft | Qt::AlignVCenter, 11, false);
}

void TPlayView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient felt(0, 0, 0, height());
    felt.setColorAt(0, FeltColour().lighter(118));
    felt.setColorAt(1, FeltColour().darker(115));
    p.fillRect(rect(), felt);
}

int TPlayView::cardOrder() const
{
    return m_cardOrder ? m_cardOrder() : 1;
}

TCardStrip *TPlayView::strip(int seat) const
{
    if (seat < 1 || seat > 4)
        throw RangeError(QStringLiteral("Hibás ülőhely: %1").arg(seat));
    return m_strips[seat - 1];
}

TTableCard *TPlayView::tableCard(int seat) const
{
    if (seat < 1 || seat > 4)
        throw RangeError(QStringLiteral("Hibás ülőhely: %1").arg(seat));
    return m_played[seat - 1];
}

void TPlayView::SetNames(const std::array<QLabel *, 4> &fields)
{
    std::array<QString, 4> names;
    for (int i = 0; i < 4; ++i)
        names[i] = fields[i] ? fields[i]->text() : QString();
    SetNames(names);
}

void TPlayView::SetNames(const std::array<QString, 4> &names)
{
    m_nick1->setText(names[0]);
    m_nick3->setText(names[2]);
    QPixmap image = blankPixmap(this, m_name2->size());
    PaintNameImage(names[1], image);
    m_name2->setPicture(image);
    image = blankPixmap(this, m_name4->size());
    PaintNameImage(names[3], image);
    m_name4->setPicture(image);
}

int TPlayView::PaintNameImage(const QString &text, QPixmap &image)
{
    image.fill(Qt::transparent); // the key colour, see-through
    const int top = NameImageTop(int(text.size()));
    const QSizeF size = image.deviceIndependentSize();
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(TextColour());
    const QFontMetrics fm(font);
    int y = top;
    for (const QChar ch : text) {
        if (y >= size.height())
            break; // the rest would fall below the image
        const int x = (int(size.width()) - fm.horizontalAdvance(ch)) / 2;
        p.drawText(QRect(x, y, fm.horizontalAdvance(ch) + 2, 11), Qt::AlignLeft | Qt::AlignTop,
                   QString(ch));
        y += 11;
    }
    return top;
}

void TPlayView::SetBoard(int deal)
{
    m_board->setText(QString::number(deal));
    m_replay.SetBoard(deal);
}

void TPlayView::SetBoardText(const QString &text)
{
    m_board->setText(text);
}

void TPlayView::DrawHand(const THand &hand, int from, int seat)
{
    TCardStrip *s = strip(seat);
    from = std::max(from, 0);
    const THand held = THand::CreateSlice(hand, std::max(hand.Count() - from, 0), from);
    m_stripCards[seat - 1] = held;
    s->setCards(held, cardOrder());
}

void TPlayView::DrawPlayed(int card, int seat)
{
    tableCard(seat)->setCard(card);
}

void TPlayView::ApplyCardOrder()
{
    const int order = cardOrder();
    for (int i = 0; i < 4; ++i)
        m_strips[i]->setCards(m_stripCards[i], order);
}

void TPlayView::ShowPosition()
{
    const auto shows = m_replay.Position();
    for (int seat = 1; seat <= 4; ++seat) {
        DrawHand(m_replay.SeatHand(seat), shows[seat - 1].from, seat);
        DrawPlayed(shows[seat - 1].played, seat);
    }
    const QString score = m_replay.ScoreText();
    m_score->setText(score);
    // "10 : 0" does not fit the design width; the label grows to the right as needed.
    m_score->resize(std::max(22, m_score->fontMetrics().horizontalAdvance(score) + 2),
                    m_score->height());
}

void TPlayView::GoFirst()
{
    m_replay.GoFirst();
    ShowPosition();
}

void TPlayView::GoPrevTrick()
{
    m_replay.GoPrevTrick();
    ShowPosition();
}

void TPlayView::StepBack()
{
    m_replay.StepBack();
    ShowPosition();
}

void TPlayView::StepForward()
{
    m_replay.StepForward();
    ShowPosition();
}

void TPlayView::GoNextTrick()
{
    m_replay.GoNextTrick();
    ShowPosition();
}

void TPlayView::GoLast()
{
    m_replay.GoLast();
    ShowPosition();
}
