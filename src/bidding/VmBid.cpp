#include "VmBid.h"

#include "BidRules.h"
#include "Points.h"
#include "VmList.h"
#include "app/Context.h"
#include "cards/Hands.h"
#include "cards/VmDesk.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Marks an fdSend entry that came from the signals group: signals are facts about the
// hand, so the repeat check against the side's bids leaves them out when sending.
constexpr int SignalMarkRole = Qt::UserRole + 1;

const QString BidMime = QStringLiteral("application/x-vimo-pending-bid");

// The pending list, reordered by dragging an entry within it. The form remembers which
// entry the drag began with (DragIndex) and moves it on the drop; the drag carries the
// form's own mark, so that a drop is known to come from this list even where the window
// system cannot say where a drag began.
class TSendList : public QListWidget
{
public:
    TSendList(TBidxForm *form, Context &ctx) : QListWidget(form), m_form(form), m_ctx(ctx)
    {
        setDragEnabled(true);
        setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDropIndicatorShown(true);
    }

protected:
    void startDrag(Qt::DropActions) override
    {
        if (!currentItem())
            return;
        m_ctx.guard([&] { m_form->fdSendStartDrag(); });
        auto *drag = new QDrag(this);
        drag->setMimeData(m_form->fdSendDragData());
        // The move is done on the drop; whatever exec reports, nothing is removed here.
        drag->exec(Qt::MoveAction);
    }
    void dragEnterEvent(QDragEnterEvent *event) override { judge(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { judge(event); }
    void dropEvent(QDropEvent *event) override
    {
        if (!m_form->fdSendDragOver(event->mimeData())) {
            event->ignore();
            return;
        }
        const QPoint at = event->position().toPoint();
        m_ctx.guard([&] { m_form->fdSendDragDrop(at); });
        event->setDropAction(Qt::MoveAction);
        event->accept();
    }

private:
    void judge(QDragMoveEvent *event)
    {
        if (m_form->fdSendDragOver(event->mimeData()))
            event->acceptProposedAction();
        else
            event->ignore();
    }

    TBidxForm *m_form;
    Context &m_ctx;
};

} // namespace

TBidxForm::TBidxForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TBidxForm"));
    setWindowTitle(QStringLiteral("Licitálás"));
    // Shown by the club's bid lines and hidden by standing up: the user does not close it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    buildControls();
    FormCreate();
    resize(540, 275);
}

void TBidxForm::buildControls()
{
    const auto hinted = [](QWidget *w, const char *name, const QString &hint) {
        w->setObjectName(QString::fromLatin1(name));
        if (!hint.isEmpty()) {
            w->setToolTip(hint);
            w->setStatusTip(hint);
        }
    };

    fdGroups = new QListWidget(this);
    hinted(fdGroups, "fdGroups", QStringLiteral("Licit csoportok"));
    fdGroups->addItems(BidRules::GroupNames());
    fdGroups->setSelectionMode(QAbstractItemView::SingleSelection);

    fdHigher = new QComboBox(this);
    hinted(fdHigher, "fdHigher", QString());
    fdHigher->setEditable(true);
    // Typed text is used as it stands; it never becomes a new item of the fixed list.
    fdHigher->setInsertPolicy(QComboBox::NoInsert);
    fdHigher->addItems(BidRules::HigherWords());
    fdHigher->setMaxVisibleItems(8);

    fdBid = new QListWidget(this);
    hinted(fdBid, "fdBid", QString());
    fdBid->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line of text each: a group's bids are laid out without measuring every one.
    fdBid->setUniformItemSizes(true);
    fdBid->setMouseTracking(true);
    fdBid->viewport()->installEventFilter(this);

    const auto button = [&](const char *name, const QString &hint, QStyle::StandardPixmap icon) {
        auto *b = new QPushButton(this);
        hinted(b, name, hint);
        b->setIcon(style()->standardIcon(icon));
        b->setAutoDefault(false);
        return b;
    };
    btUp = button("btUp", QStringLiteral("Felfelé"), QStyle::SP_ArrowUp);
    btAdd = button("btAdd", QStringLiteral("Hozzáad"), QStyle::SP_ArrowRight);
    btDel = button("btDel", QStringLiteral("Töröl"), QStyle::SP_DialogDiscardButton);
    btDown = button("btDown", QStringLiteral("Lefelé"), QStyle::SP_ArrowDown);
    cmUndo = button("cmUndo", QStringLiteral("Visszavon"), QStyle::SP_ArrowBack);
    cmUndo->setText(QStringLiteral("Visszavon"));

    fdSend = new TSendList(this, m_ctx);
    hinted(fdSend, "fdSend", QStringLiteral("Licit szerkesztés"));
    fdSend->setSelectionMode(QAbstractItemView::SingleSelection);

    cmGo = new QPushButton(QStringLiteral("&Mehet"), this);
    hinted(cmGo, "cmGo", QStringLiteral("Elküldi a licitet"));
    cmGo->setAutoDefault(false);
    QFont goFont = cmGo->font();
    goFont.setBold(true);
    cmGo->setFont(goFont);
    QPalette goPalette = cmGo->palette();
    goPalette.setColor(QPalette::Active, QPalette::ButtonText, Qt::red);
    goPalette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::red);
    cmGo->setPalette(goPalette);
    cmGo->setEnabled(false);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    m_statusText = new QLabel(StatusBar);
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setAlignment(Qt::AlignCenter);
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar->addWidget(m_statusText, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(fdGroups, 1);
    left->addWidget(fdHigher);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btUp);
    buttons->addWidget(btAdd);
    buttons->addWidget(btDel);
    buttons->addWidget(btDown);
    buttons->addStretch(1);
    buttons->addWidget(cmUndo);

    auto *right = new QVBoxLayout;
    right->addWidget(fdSend, 1);
    right->addWidget(cmGo);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(6, 6, 6, 4);
    row->setSpacing(6);
    row->addLayout(left, 3);
    row->addWidget(fdBid, 3);
    row->addLayout(buttons, 0);
    row->addLayout(right, 4);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(row, 1);
    outer->addWidget(StatusBar);

    connect(fdGroups, &QListWidget::currentRowChanged, this,
            [this] { m_ctx.guard([this] { BidGroupsClick(); }); });
    // A click on the group already selected picks it again: its list filled afresh (at start
    // none is shown), its first entry and its default word chosen. On another group the
    // row change has done the same already; doing it twice changes nothing.
    connect(fdGroups, &QListWidget::itemClicked, this,
            [this] { m_ctx.guard([this] { BidGroupsClick(); }); });
    connect(fdBid, &QListWidget::itemDoubleClicked, this,
            [this] { m_ctx.guard([this] { BidAddClick(); }); });
    connect(btAdd, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidAddClick(); }); });
    connect(btDel, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidDelClick(); }); });
    connect(btUp, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidUpClick(); }); });
    connect(btDown, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidDownClick(); }); });
    connect(cmUndo, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidUndo(); }); });
    connect(cmGo, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { BidSendClick(); }); });
}

void TBidxForm::FormCreate()
{
    for (int g = 0; g < BidRules::GroupCount; ++g)
        m_groupBids[g] = BidRules::GroupEntries(g);
    // "Biztatók" is the group in view, but its list is only filled once the user picks a group.
    const QSignalBlocker quiet(fdGroups);
    fdGroups->setCurrentRow(BidRules::Encouragers);
}

int TBidxForm::ownSeat() const
{
    return m_ctx.frame->ownSeat();
}

void TBidxForm::setStatus(const QString &text)
{
    m_statusText->setText(text);
}

QString TBidxForm::StatusText() const
{
    return m_statusText->text();
}

QStringList TBidxForm::Pending() const
{
    QStringList bids;
    for (int i = 0; i < fdSend->count(); ++i)
        bids << fdSend->item(i)->text();
    return bids;
}

QList<bool> TBidxForm::PendingSignalMarks() const
{
    QList<bool> marks;
    for (int i = 0; i < fdSend->count(); ++i)
        marks << fdSend->item(i)->data(SignalMarkRole).toBool();
    return marks;
}

void TBidxForm::SetSignals(const QStringList &proposals)
{
    m_groupBids[BidRules::Signals] = proposals;
    if (m_shownGroup == BidRules::Signals)
        BidGroupsClick();
}

void TBidxForm::selectGroup(int group)
{
    {
        const QSignalBlocker quiet(fdGroups);
        fdGroups->setCurrentRow(group);
    }
    BidGroupsClick();
}

void TBidxForm::NewDeal()
{
    m_lastBids.clear();
    m_groupBids[BidRules::Contra].clear();
    m_groupBids[BidRules::Recontra].clear();
    if (m_shownGroup == BidRules::Contra || m_shownGroup == BidRules::Recontra)
        BidGroupsClick();
}

void TBidxForm::BidGroupsClick()
{
    const int g = fdGroups->currentRow();
    if (g < 0 || g >= BidRules::GroupCount)
        return;
    m_shownGroup = g;
    fdBid->clear();
    fdBid->addItems(m_groupBids[g]);
    if (fdBid->count() > 0)
        fdBid->setCurrentRow(0);
    const bool suits = g == BidRules::Captures || g == BidRules::Extras;
    fdHigher->setCurrentIndex(suits ? BidRules::FirstSuit : 0);
}

void TBidxForm::BidAddClick()
{
    const int g = fdGroups->currentRow();
    QStringList entries;
    for (int i = 0; i < fdBid->count(); ++i)
        entries << fdBid->item(i)->text();
    const QString bid = BidRules::ComposeBid(g, fdBid->currentRow(), entries, fdHigher->currentText());

    const QStringList pending = Pending();
    BidRules::CheckRepeat(pending, bid);
    BidRules::CheckExclusive(pending, bid);

    // A signal is checked against the user's own signals; every other bid against the
    // whole side's, so that partners do not say the same thing twice.
    TBidList made;
    made.Parse(m_lastBids, g == BidRules::Signals ? ownSeat() : -ownSeat());
    BidRules::CheckRepeat(made, bid);

    auto *item = new QListWidgetItem(bid);
    item->setData(SignalMarkRole, g == BidRules::Signals);
    fdSend->addItem(item);
    fdSend->setCurrentItem(item);
}

void TBidxForm::BidDelClick()
{
    const int i = fdSend->currentRow();
    if (i < 0 || !fdSend->currentItem()->isSelected())
        return;
    delete fdSend->takeItem(i);
    if (fdSend->count() > 0)
        fdSend->setCurrentRow(fdSend->count() - 1);
}

void TBidxForm::moveEntry(int from, int to)
{
    if (from < 0 || from >= fdSend->count() || to < 0 || to >= fdSend->count() || from == to)
        return;
    QListWidgetItem *item = fdSend->takeItem(from);
    fdSend->insertItem(to, item);
    fdSend->setCurrentItem(item);
}

void TBidxForm::BidUpClick()
{
    const int i = fdSend->currentRow();
    if (i > 0)
        moveEntry(i, i - 1);
}

void TBidxForm::BidDownClick()
{
    const int i = fdSend->currentRow();
    if (i >= 0 && i < fdSend->count() - 1)
        moveEntry(i, i + 1);
}

void TBidxForm::fdSendStartDrag()
{
    m_dragIndex = fdSend->currentRow();
}

QByteArray TBidxForm::dragMark() const
{
    // This program and this form: another program's drag of the same kind is not ours.
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
           + QByteArray::number(quintptr(this), 16);
}

QMimeData *TBidxForm::fdSendDragData() const
{
    auto *data = new QMimeData;
    data->setData(BidMime, dragMark());
    return data;
}

bool TBidxForm::fdSendDragOver(const QMimeData *data) const
{
    return m_dragIndex >= 0 && data && data->hasFormat(BidMime) && data->data(BidMime) == dragMark();
}

void TBidxForm::fdSendDragDrop(const QPoint &pos)
{
    const QModelIndex under = fdSend->indexAt(pos);
    // Below the last entry counts as the last place.
    const int target = under.isValid() ? under.row() : fdSend->count() - 1;
    moveEntry(m_dragIndex, target);
    m_dragIndex = -1;
}

void TBidxForm::BidSendClick()
{
    TBidList sideBids;
    sideBids.Parse(m_lastBids, -ownSeat());
    const QList<bool> marks = PendingSignalMarks();
    const QStringList bids = Pending();
    for (int i = 0; i < bids.size(); ++i)
        if (!marks[i])
            BidRules::CheckRepeat(sideBids, bids[i]);

    m_ctx.frame->SendLine(BidRules::BidLine(m_ctx.frame->ownNick(), bids));
    fdSend->clear();
    cmGo->setEnabled(false);
    cmUndo->setEnabled(true);
}

void TBidxForm::BidUndo()
{
    if (m_lastBids.size() < 3)
        Fail(QStringLiteral("Nincs mit visszavonni!"));
    m_ctx.frame->SendLine(QStringLiteral("V"));
}

void TBidxForm::BidMouseMove(const QPoint &pos)
{
    const QListWidgetItem *item = fdBid->itemAt(pos);
    const int g = fdGroups->currentRow();
    const std::optional<QString> entry = item ? std::optional<QString>(item->text()) : std::nullopt;
    setStatus(BidRules::EntryHint(g, entry, [this](const QString &name) {
        return m_ctx.tk->HintOf(name);
    }));
}

void TBidxForm::ReceiveBid(const QString &text)
{
    // Everything the text decides is worked out first: a text that cannot be read stops
    // here, with the pending bids, the groups and the last bid text as they were.
    TBidList ownBids;
    BidRules::Offers offers;
    if (!text.isEmpty()) {
        const QList<TBidList::Turn> turns = TBidList::Turns(text);
        if (ownSeat() >= 1 && ownSeat() <= 4)
            ownBids.Parse(text, ownSeat());
        offers = BidRules::ContraOffers(turns, ownSeat());
    }

    show();
    m_ctx.frame->menuItem("mnBids")->setEnabled(true);
    m_ctx.desk->hide();
    m_ctx.desk->SetTrickNumber(-1);

    if (text.isEmpty()) {
        cmGo->setEnabled(true);
        cmUndo->setEnabled(false);
        m_ctx.connect->Notify(QStringLiteral("Licitálj!"));
        return;
    }

    cmGo->setEnabled(false);
    cmUndo->setEnabled(true);
    m_lastBids = text;

    // A signal once made is not offered again.
    QStringList &signalsLeft = m_groupBids[BidRules::Signals];
    for (qsizetype i = signalsLeft.size() - 1; i >= 0; --i)
        if (ownBids.contains(signalsLeft[i], Qt::CaseInsensitive))
            signalsLeft.removeAt(i);
    selectGroup(BidRules::Signals);

    m_groupBids[BidRules::Contra] = offers.contra;
    m_groupBids[BidRules::Recontra] = offers.recontra;
    m_ctx.list->ShowBids(text);
}

bool TBidxForm::event(QEvent *event)
{
    // The hint of the control under the mouse goes to the status bar.
    if (event->type() == QEvent::StatusTip) {
        setStatus(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

bool TBidxForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fdBid->viewport() && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        m_ctx.guard([&] { BidMouseMove(at); });
    }
    return QWidget::eventFilter(watched, event);
}

void TBidxForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Pending bids belong to the turn in view; hiding the editor drops them.
    if (!event->spontaneous())
        fdSend->clear();
}
