#include "VmCard.h"

#include "CardImages.h"
#include "DeskRules.h"
#include "HandRules.h"
#include "VmDesk.h"
#include "VmKibic.h"
#include "app/Context.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>

namespace {

const QColor kFeltLight(0x2f, 0xa3, 0x52);
const QColor kFeltDark(0x17, 0x6e, 0x31);

} // namespace

TCardForm::TCardForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TCardForm"));
    setWindowTitle(QStringLiteral("Lapok"));
    // No close box: the hand stays as long as the user sits.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFocusPolicy(Qt::StrongFocus);
    for (int i = 0; i < Slots; ++i) {
        // Invisible holders of a place and a size; the window paints the cards itself,
        // so that a higher slot overlaps a lower one.
        m_slot[i] = new QWidget(this);
        m_slot[i]->setObjectName(QStringLiteral("Image%1").arg(i));
        m_slot[i]->hide();
    }
    m_hand.CountSuits(m_counts);
    resize(6 * RealCardSize.width() + 24, RealCardSize.height());
    // The settings page closing, by OK or by saving, puts its card size and order in
    // force at once.
    connect(m_ctx.connect, &TConnect::ViewChanged, this, [this] {
        m_ctx.guard([this] {
            ApplyCardSize();
            ShowHand();
        });
    });
}

void TCardForm::HandMessage(QString &argument)
{
    // Read and checked whole before anything changes: a bad line leaves the hand alone.
    HandLine line = ParseHandLine(argument);
    argument.clear();
    if (m_ctx.kibic->Kibic()) {
        m_ctx.kibic->KibicShowHand(line.seat, line.cards);
        return;
    }
    m_hand = line.cards;
    show();
    m_hand.CountSuits(m_counts);
    if (m_hand.Count() == Slots) {
        m_proposals = AnalyseHand(m_hand);
        emit proposalsChanged(m_proposals);
    }
    ShowHand();
}

void TCardForm::OrderHand(THand &hand) const
{
    ::OrderHand(hand, HandOrderOf(m_ctx.connect->CardOrder()));
}

void TCardForm::ApplyCardSize()
{
    ApplyCardSize(m_ctx.connect->CardSize());
}

void TCardForm::ApplyCardSize(int size)
{
    m_size = size == Mini ? Mini : Normal;
    const QSize card = m_size == Mini ? SmallCardSize : RealCardSize;
    for (QWidget *slot : m_slot)
        slot->setGeometry(slot->x(), CardTop(false), card.width(), card.height());
    if (m_size == Mini)
        resize(13 * card.width(), 2 * card.height());
    else
        resize(6 * card.width() + 24, card.height());
    update();
}

int TCardForm::CardTop(bool selected) const
{
    if (m_size == Mini)
        return selected ? SmallCardSize.height() : SmallCardSize.height() / 2;
    return selected ? 40 : 0;
}

void TCardForm::ShowHand()
{
    if (m_size < 0)
        ApplyCardSize();
    OrderHand(m_hand);
    const int n = m_hand.Count();
    const int w = m_size == Mini ? SmallCardSize.width() : RealCardSize.width();
    const HandLayout layout = LayoutHand(n, w, width());
    for (int i = 0; i < n; ++i) {
        m_slot[i]->move(layout.margin + i * layout.step, m_slot[i]->y());
        m_tag[i] = m_hand.Get(i);
    }
    update();
}

void TCardForm::SelectCard(int slot)
{
    QWidget *old = m_slot.at(m_selected);
    old->move(old->x(), CardTop(false));
    m_selected = slot;
    QWidget *now = m_slot.at(slot);
    now->move(now->x(), CardTop(true));
    update();
}

void TCardForm::PlaySelected()
{
    QWidget *slot = m_slot.at(m_selected);
    slot->move(slot->x(), CardTop(false));
    update();
    const TDeskForm *desk = m_ctx.desk;
    const int own = m_ctx.frame->ownSeat();
    if (desk->TrickNumber() >= 0 && own >= 1 && desk->SeatToAct() == own)
        SendPlay();
    else
        m_ctx.connect->Notify(QStringLiteral("Jó a mozdulat, de még korai :-)"));
}

bool TCardForm::IsLegalPlay() const
{
    return inHand(m_selected)
           && ::IsLegalPlay(m_ctx.desk->Current().cards, m_tag[m_selected], m_counts);
}

void TCardForm::SendPlay()
{
    // A slot beyond the hand still carries the tag of a card played earlier; it must
    // never go out.
    if (!inHand(m_selected))
        return;
    if (IsLegalPlay()) {
        update();
        m_ctx.frame->SendLine(QStringLiteral("P") + QString::number(m_tag[m_selected]));
    } else {
        m_ctx.connect->Notify(QStringLiteral("Nem megengedett lap"));
    }
}

void TCardForm::YourTurn()
{
    show();
    // The taker of the tenth trick "leads" with nothing in hand: no call, no card.
    if (m_hand.Count() == 0)
        return;
    if (m_hand.Count() == 1) {
        m_selected = 0;
        SendPlay();
    } else {
        m_ctx.connect->Notify(QStringLiteral("Te jössz!"));
    }
}

void TCardForm::KeyDown(int key)
{
    const int n = m_hand.Count();
    if (n == 0)
        return; // no card to move to
    if (!inHand(m_selected) || m_slot[m_selected]->y() == CardTop(false)) {
        SelectCard(std::min(1, n - 1));
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        PlaySelected();
        return;
    }
    int k = m_selected;
    if (key == Qt::Key_Left)
        k = k == 0 ? n - 1 : k - 1;
    else if (key == Qt::Key_Right)
        k = k >= n - 1 ? 0 : k + 1;
    SelectCard(k);
}

const QPixmap &TCardForm::picture(int card) const
{
    return m_size == Mini ? SmallCardImage(card) : RealCardImage(card);
}

bool TCardForm::event(QEvent *event)
{
    // The window takes every key itself, Tab included, and lets none through.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        m_ctx.guard([&] { KeyDown(key); });
        return true;
    }
    return QWidget::event(event);
}

void TCardForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient felt(0, 0, 0, height());
    felt.setColorAt(0, kFeltLight);
    felt.setColorAt(1, kFeltDark);
    p.fillRect(rect(), felt);
    if (m_size < 0)
        return;
    for (int i = 0; i < m_hand.Count(); ++i)
        p.drawPixmap(m_slot[i]->pos(), picture(m_tag[i]));
}

void TCardForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_size >= 0 && m_hand.Count() > 0)
        ShowHand();
}

void TCardForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    for (QWidget *slot : m_slot)
        slot->move(slot->x(), CardTop(false));
    m_selected = 1;
}

void TCardForm::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_pressSlot = -1;
    for (int i = m_hand.Count() - 1; i >= 0; --i) {
        if (m_slot[i]->geometry().contains(at)) {
            SelectCard(i);
            m_pressSlot = i;
            m_pressAt = at;
            break;
        }
    }
    event->accept();
}

void TCardForm::mouseMoveEvent(QMouseEvent *event)
{
    // The drag waits for a small movement, so that a click or a double-click stays one.
    if (m_pressSlot >= 0 && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - m_pressAt).manhattanLength()
               >= QApplication::startDragDistance())
        startDrag();
}

void TCardForm::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressSlot = -1;
    QWidget::mouseReleaseEvent(event);
}

void TCardForm::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressSlot = -1;
    m_ctx.guard([this] { PlaySelected(); });
    event->accept();
}

void TCardForm::startDrag()
{
    const int slot = m_pressSlot;
    m_pressSlot = -1;
    if (!inHand(slot))
        return;
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(TDeskForm::CardMime), QByteArray::number(m_tag[slot]));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(picture(m_tag[slot]));
    drag->setHotSpot(m_pressAt - m_slot[slot]->pos());
    drag->exec(Qt::MoveAction);
}
