#include "VmCard.h"

#include "CardImages.h"
#include "app/Context.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

TCardForm::TCardForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TCardForm"));
    setWindowTitle(QStringLiteral("Lapok"));
    // No close box: the hand stays while the user sits at the table.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFocusPolicy(Qt::StrongFocus);
    QPalette lime = palette();
    lime.setColor(QPalette::Window, QColor(0x2e, 0x9a, 0x4a));
    setPalette(lime);
    setAutoFillBackground(true);
    resize(708, 204);
    tableState = [] { return TableState{}; };
}

QSize TCardForm::cardSize() const
{
    return m_size == 1 ? SmallCardSize : RealCardSize;
}

const QPixmap &TCardForm::picture(int card) const
{
    return m_size == 1 ? SmallCardImage(card) : RealCardImage(card);
}

void TCardForm::ApplyCardSize()
{
    m_size = m_ctx.connect->CardSize() == 1 ? 1 : 0;
    const QSize card = cardSize();
    if (m_size == 1)
        setFixedSize(13 * card.width(), 2 * card.height());
    else
        setFixedSize(6 * card.width() + 24, card.height());
    for (int i = 0; i < 10; ++i)
        m_slots[i] = QRect(QPoint(m_slots[i].left(), CardTop(i == m_selected)), card);
}

int TCardForm::CardTop(bool selected) const
{
    if (m_size == 1)
        return selected ? SmallCardSize.height() : SmallCardSize.height() / 2;
    return selected ? 40 : 0;
}

void TCardForm::HandMessage(QString &argument)
{
    const int seat = NextInt(argument);
    if (seat < 0 || seat > 4)
        Fail(QStringLiteral("Hibás ülés a lapok között: %1").arg(seat));
    THand hand;
    for (int i = 0; i < 10 && !argument.isEmpty(); ++i) {
        const int card = NextInt(argument);
        if (card < 0 || card > 42)
            Fail(QStringLiteral("Hibás lapszám: %1").arg(card));
        hand.Put(i, card);
    }
    // Only a hand read whole replaces the one shown.
    m_hand = hand;
    show();
    m_hand.CountSuits(m_counts);
    if (m_hand.Count() == 10)
        m_proposals = AnalyseHand(m_hand);
    ShowHand();
}

void TCardForm::ShowHand()
{
    if (m_size < 0)
        ApplyCardSize();
    OrderHand(m_hand, HandOrder(std::clamp(m_ctx.connect->CardOrder(), 0, 2)));
    const int n = m_hand.Count();
    const QSize card = cardSize();
    const HandLayout layout = LayoutHand(n, card.width(), width());
    for (int i = 0; i < 10; ++i) {
        const bool used = i < n;
        m_slotCards[i] = used ? m_hand.Get(i) : 0;
        m_slots[i] = QRect(QPoint(layout.margin + i * layout.step, CardTop(i == m_selected)), card);
    }
    update();
}

void TCardForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int i = 0; i < m_hand.Count() && i < 10; ++i)
        p.drawPixmap(m_slots[i].topLeft(), picture(m_slotCards[i]));
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
    if (m_selected != 1)
        SelectCard(1);
}

void TCardForm::SelectCard(int slot)
{
    if (slot < 0 || slot > 9)
        return;
    m_slots[m_selected].moveTop(CardTop(false));
    m_selected = slot;
    m_slots[m_selected].moveTop(CardTop(true));
    update();
}

void TCardForm::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    for (int i = std::min(m_hand.Count(), 10) - 1; i >= 0; --i) {
        if (!m_slots[i].contains(at))
            continue;
        SelectCard(i);
        // The drag starts at once: a card is played by dropping it on the table.
        auto *mime = new QMimeData;
        mime->setData(QString::fromLatin1(CardMimeType), QByteArray::number(m_slotCards[i]));
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        const QPixmap &pm = picture(m_slotCards[i]);
        drag->setPixmap(pm);
        drag->setHotSpot(at - m_slots[i].topLeft());
        drag->exec(Qt::MoveAction);
        return;
    }
}

void TCardForm::mouseDoubleClickEvent(QMouseEvent *)
{
    m_ctx.guard([this] { PlaySelected(); });
}

void TCardForm::keyPressEvent(QKeyEvent *event)
{
    m_ctx.guard([&] {
        const int count = std::min(m_hand.Count(), 10);
        if (m_slots[m_selected].top() == CardTop(false)) {
            SelectCard(1); // the first key only lowers the second card
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            PlaySelected();
            return;
        }
        if (count == 0)
            return;
        int k = m_selected < count ? m_selected : count;
        if (event->key() == Qt::Key_Left)
            k = k == 0 ? count - 1 : k - 1;
        else if (event->key() == Qt::Key_Right)
            k = k >= count - 1 ? 0 : k + 1;
        SelectCard(k);
    });
    event->accept();
}

void TCardForm::PlaySelected()
{
    m_slots[m_selected].moveTop(CardTop(false));
    update();
    const TableState table = tableState();
    if (table.trick >= 0 && table.toAct == m_ctx.frame->ownSeat())
        SendPlay();
    else
        m_ctx.connect->Notify(QStringLiteral("Jó a mozdulat, de még korai :-)"));
}

void TCardForm::SendPlay()
{
    if (m_selected >= m_hand.Count()) {
        m_ctx.connect->Notify(QStringLiteral("Nem megengedett lap"));
        return;
    }
    const int card = m_slotCards[m_selected];
    if (IsLegalPlay(tableState().cards, card, m_counts)) {
        update();
        m_ctx.frame->SendLine(QStringLiteral("P") + QString::number(card));
    } else {
        m_ctx.connect->Notify(QStringLiteral("Nem megengedett lap"));
    }
}

void TCardForm::YourTurn()
{
    show();
    if (m_hand.Count() == 1) {
        QCoreApplication::processEvents();
        SelectCard(0);
        SendPlay(); // the last card goes by itself, still through the legality check
    } else {
        m_ctx.connect->Notify(QStringLiteral("Te jössz!"));
    }
}
