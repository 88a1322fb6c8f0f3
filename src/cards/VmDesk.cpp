#include "VmDesk.h"

#include "CardImages.h"
#include "DeskRules.h"
#include "VmCard.h"
#include "VmKibic.h"
#include "app/Context.h"
#include "session/ClickLabel.h"
#include "session/VmFrame.h"
#include "app/Caption.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

// One card place on the table. It only draws: clicks and drops go to the window, which
// decides by position (the top, left and right places are not drop targets).
class DeskCard : public QWidget
{
public:
    DeskCard(int position, QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Image%1").arg(position));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(RealCardSize);
    }

    int card() const { return m_card; }
    void setCard(int card)
    {
        if (card == m_card)
            return;
        m_card = card;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.drawPixmap(0, 0, RealCardImage(m_card));
    }

private:
    int m_card = 0;
};

namespace {

const QColor kFeltLight(0x2f, 0xa3, 0x52);
const QColor kFeltDark(0x17, 0x6e, 0x31);
const QColor kBar(0x24, 0x33, 0x2b);

// The bar's two buttons carry drawn signs rather than words: a card with an arrow back
// to the trick before, and a turning arrow for taking back.
QIcon barIcon(bool undo)
{
    const qreal dpr = 2.0; // crisp on dense screens, scaled down elsewhere
    QPixmap pm(QSize(18, 16) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0xf2, 0xf2, 0xea);
    if (undo) {
        QPainterPath arc;
        arc.moveTo(14.5, 12.5);
        arc.cubicTo(15.5, 6.0, 10.5, 3.5, 5.5, 5.5);
        p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(arc);
        QPainterPath head;
        head.moveTo(2.0, 6.3);
        head.lineTo(7.2, 1.8);
        head.lineTo(7.8, 9.0);
        head.closeSubpath();
        p.fillPath(head, ink);
    } else {
        p.setPen(QPen(ink, 1.2));
        p.setBrush(QColor(0xf2, 0xf2, 0xea, 70));
        p.drawRoundedRect(QRectF(8.5, 1.5, 8, 12), 1.5, 1.5);
        QPainterPath head;
        head.moveTo(1.0, 8.0);
        head.lineTo(6.5, 3.5);
        head.lineTo(6.5, 12.5);
        head.closeSubpath();
        p.fillPath(head, ink);
    }
    return QIcon(pm);
}

QToolButton *barButton(const char *name, const QString &hint, bool undo, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(barIcon(undo));
    b->setIconSize(QSize(18, 16));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(26, TDeskForm::BarHeight);
    return b;
}

} // namespace

TDeskForm::TDeskForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TDeskForm"));
    setWindowTitle(QStringLiteral("Asztal"));
    // No close box: the table comes and goes with the play.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setAcceptDrops(true);

    for (int i = 0; i < 4; ++i)
        Image[i] = new DeskCard(i + 1, this);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setAutoFillBackground(true);
    QPalette bar = Panel->palette();
    bar.setColor(QPalette::Window, kBar);
    bar.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xea));
    bar.setColor(QPalette::ButtonText, QColor(0xf2, 0xf2, 0xea));
    Panel->setPalette(bar);
    auto *row = new QHBoxLayout(Panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    btPrev = barButton("btPrev", QStringLiteral("Előző ütés"), false, Panel);
    btUndo = barButton("btUndo", QStringLiteral("Visszavon"), true, Panel);
    lbNick = new QLabel(Panel);
    lbNick->setObjectName(QStringLiteral("lbNick"));
    lbNick->setTextFormat(Qt::PlainText);
    lbNick->setAlignment(Qt::AlignCenter);
    lbNick->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bold = lbNick->font();
    bold.setBold(true);
    lbNick->setFont(bold);
    row->addWidget(btPrev);
    row->addWidget(lbNick, 1);
    row->addWidget(btUndo);
    connect(btPrev, &QToolButton::clicked, this, [this] { m_ctx.guard([this] { cmPrev(); }); });
    connect(btUndo, &QToolButton::clicked, this, [this] { m_ctx.guard([this] { cmUndo(); }); });

    resize(DesignWidth, DesignHeight);
    layoutCards();
}

int TDeskForm::ShownCard(int position) const
{
    return Image.at(position - 1)->card();
}

void TDeskForm::TrickMessage(QString &argument)
{
    TFrame *frame = m_ctx.frame;
    const int own = frame->ownSeat();
    if (own > 0)
        m_ctx.card->show();
    // The whole line is read and checked first: a bad line changes nothing.
    const TrickLine line = ParseTrickLine(argument);
    argument.clear();
    const bool kibic = m_ctx.kibic->Kibic();

    m_seatToAct = line.seat;
    m_trick = line.trick;
    for (int seat = 1; seat <= 4; ++seat) {
        const int card = line.cards[seat - 1];
        if (kibic)
            m_ctx.kibic->KibicPlayCard(seat, card, line.trick);
        m_current.cards[DisplayPosition(seat, own) - 1] = card;
    }
    // The seat fields are handed over when the main window first shows; until then they
    // are read from the main window directly.
    QLabel *name = m_seatFields[line.seat - 1] ? m_seatFields[line.seat - 1]
                                                : frame->seatField(line.seat);
    m_current.caption = TrickStatus(line, name ? name->text() : QString());
    if (line.taken)
        m_previous = m_current;
    ShowTrick(Which::Current);
    if (own > 0 && line.seat == own)
        m_ctx.card->YourTurn();
    if (kibic)
        m_ctx.kibic->setWindowTitle(PlainCaption(m_current.caption));
    else
        show();
}

void TDeskForm::ShowTrick(Which which)
{
    const TrickRecord &record = which == Which::Current ? m_current : m_previous;
    m_showing = which;
    for (int i = 0; i < 4; ++i)
        Image[i]->setCard(record.cards[i]);
    // Before the first trick there is no status line; the design caption stands then.
    setWindowTitle(record.caption.isEmpty() ? QStringLiteral("Asztal") : PlainCaption(record.caption));
}

void TDeskForm::NewDeal()
{
    m_current = TrickRecord();
    m_previous = TrickRecord();
    ShowTrick(Which::Current);
}

void TDeskForm::cmCurr()
{
    ShowTrick(Which::Current);
}

void TDeskForm::cmPrev()
{
    ShowTrick(Which::Previous);
}

void TDeskForm::cmUndo()
{
    m_ctx.frame->SendLine(QStringLiteral("V"));
}

void TDeskForm::layoutCards()
{
    const std::array<QPoint, 4> at = LayoutDesk(size(), BarHeight);
    for (int i = 0; i < 4; ++i)
        Image[i]->move(at[i]);
    Panel->setGeometry(0, height() - BarHeight, width(), BarHeight);
}

void TDeskForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutCards();
}

void TDeskForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect felt(0, 0, width(), height() - BarHeight);
    QRadialGradient g(felt.center(), std::max(felt.width(), felt.height()) * 0.75);
    g.setColorAt(0, kFeltLight);
    g.setColorAt(1, kFeltDark);
    p.fillRect(felt, g);
}

void TDeskForm::showEvent(QShowEvent *event)
{
    // The bar names the user; the nickname only changes with a login.
    lbNick->setText(m_ctx.frame->ownNick());
    QWidget::showEvent(event);
}

void TDeskForm::mousePressEvent(QMouseEvent *event)
{
    // A click anywhere (a card, the felt, the bar) brings back the trick in play.
    m_ctx.guard([this] { cmCurr(); });
    event->accept();
}

bool TDeskForm::acceptsDropAt(const QPoint &pos) const
{
    for (int i = 1; i < 4; ++i)
        if (Image[i]->geometry().contains(pos))
            return false;
    return true;
}

void TDeskForm::dragEnterEvent(QDragEnterEvent *event)
{
    // Only a card from the own hand; a file or text dragged from elsewhere plays nothing.
    if (event->mimeData()->hasFormat(QLatin1String(CardMime)))
        event->acceptProposedAction();
}

void TDeskForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(QLatin1String(CardMime))
        && acceptsDropAt(event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDeskForm::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasFormat(QLatin1String(CardMime))
        || !acceptsDropAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_ctx.guard([this] { m_ctx.card->PlaySelected(); });
}
