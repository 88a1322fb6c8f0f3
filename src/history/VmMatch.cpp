#include "VmMatch.h"

#include "app/Context.h"
#include "session/Link.h"
#include "session/VmFrame.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int ValueRole = Qt::UserRole;

QLabel *plainLabel(const QString &text, QWidget *parent, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton *button(const QString &caption, QWidget *parent, const char *name)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QStandardItem *cell(const QString &text, bool centred)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    if (centred)
        item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

TMatch::TMatch(Context &ctx) : QDialog(nullptr), m_ctx(ctx)
{
    FormCreate();
}

void TMatch::FormCreate()
{
    setObjectName(QStringLiteral("TMatch"));
    setWindowTitle(QStringLiteral("Csapatmérkőzés"));
    setModal(false);

    Page = new QStackedWidget(this);
    Page->setObjectName(QStringLiteral("Page"));
    TabAll = new QWidget(Page);
    TabAll->setObjectName(QStringLiteral("TabAll"));
    TabInvit = new QWidget(Page);
    TabInvit->setObjectName(QStringLiteral("TabInvit"));
    Page->addWidget(TabAll);
    Page->addWidget(TabInvit);

    // The list page.
    lbGrid = plainLabel(QStringLiteral("Folyamatban lévő mérkőzések"), TabAll, "lbGrid");
    Cds = new QStandardItemModel(0, ColumnCount, this);
    Cds->setObjectName(QStringLiteral("Cds"));
    const QString titles[ColumnCount] = {
        QStringLiteral(" Terem 1."), QStringLiteral(" Terem 2."), QStringLiteral(" Leo"),
        QStringLiteral("     Állás"), QStringLiteral("  + -"), QStringLiteral("      Állapot"), QString()};
    for (int c = 0; c < ColumnCount; ++c)
        Cds->setHeaderData(c, Qt::Horizontal, titles[c]);
    Grid = new QTableView(TabAll);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(Cds);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setSortingEnabled(false);
    Grid->setWordWrap(false);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Grid->horizontalHeader()->setSectionsClickable(false);
    Grid->setColumnHidden(Id, true);
    // Display widths in characters, as the list was laid out.
    const int widths[ColumnCount] = {8, 8, 4, 9, 5, 24, 0};
    const int digit = Grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    int gridWidth = 2 * Grid->frameWidth();
    for (int c = 0; c < Id; ++c) {
        Grid->setColumnWidth(c, widths[c] * digit + 10);
        gridWidth += widths[c] * digit + 10;
    }
    Grid->setFixedWidth(gridWidth + Grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { CdsAfterScroll(); });

    btNew = button(QStringLiteral("Új &mérkőzés"), TabAll, "btNew");
    btRefresh = button(QStringLiteral("&Frissít"), TabAll, "btRefresh");
    btDelete = button(QStringLiteral("&Töröl"), TabAll, "btDelete");
    btDelete->setEnabled(false);
    auto *allButtons = new QHBoxLayout;
    allButtons->addWidget(btNew);
    allButtons->addWidget(btRefresh);
    allButtons->addWidget(btDelete);
    allButtons->addStretch(1);
    auto *all = new QVBoxLayout(TabAll);
    all->setContentsMargins(0, 0, 0, 0);
    all->addWidget(lbGrid);
    all->addWidget(Grid, 1);
    all->addLayout(allButtons);

    // The proposal and invitation page.
    fdInvit = plainLabel(QString(), TabInvit, "fdInvit");
    QFont bold = fdInvit->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    fdInvit->setFont(bold);
    fdInvit->setStyleSheet(QStringLiteral("color: red"));
    lbLeo = plainLabel(QStringLiteral("Leosztások száma"), TabInvit, "lbLeo");
    fdLeo = new QComboBox(TabInvit);
    fdLeo->setObjectName(QStringLiteral("fdLeo"));
    fdLeo->addItems({QStringLiteral("  2"), QStringLiteral("  4"), QStringLiteral("  6"), QStringLiteral("  8"),
                     QStringLiteral(" 10"), QStringLiteral(" 12"), QStringLiteral(" 14"), QStringLiteral(" 16")});
    fdLeo->setCurrentIndex(-1);
    lbLeo->setBuddy(fdLeo);
    lbTime = plainLabel(QStringLiteral("Kezdés ideje"), TabInvit, "lbTime");
    fdTime = new QComboBox(TabInvit);
    fdTime->setObjectName(QStringLiteral("fdTime"));
    fdTime->setEditable(true);
    fdTime->setInsertPolicy(QComboBox::NoInsert);
    fdTime->addItems({QStringLiteral("  1"), QStringLiteral(" 10"), QStringLiteral(" 20"), QStringLiteral(" 30"),
                      QStringLiteral(" 40"), QStringLiteral(" 50"), QStringLiteral(" 60")});
    fdTime->setCurrentIndex(-1);
    fdTime->setEditText(QString());
    lbTime->setBuddy(fdTime);
    lbMin = plainLabel(QStringLiteral("perc múlva"), TabInvit, "lbMin");
    lbSg = plainLabel(QStringLiteral("Csapatok összeállítása"), TabInvit, "lbSg");

    Sg = new QTableWidget(4, 2, TabInvit);
    Sg->setObjectName(QStringLiteral("Sg"));
    Sg->setHorizontalHeaderLabels({QStringLiteral("  Csapat 1."), QStringLiteral("  Csapat 2.")});
    Sg->setVerticalHeaderLabels({QStringLiteral("  Induló"), QStringLiteral("  Elfogó"),
                                 QStringLiteral("  Induló"), QStringLiteral("  Elfogó")});
    Sg->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Sg->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Sg->horizontalHeader()->setSectionsClickable(false);
    Sg->verticalHeader()->setSectionsClickable(false);
    Sg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Sg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Sg->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c)
            Sg->setItem(r, c, new QTableWidgetItem);
    const int nameWidth = 12 * digit + 10;
    Sg->setColumnWidth(0, nameWidth);
    Sg->setColumnWidth(1, nameWidth);
    Sg->verticalHeader()->setFixedWidth(10 * digit);
    Sg->setFixedSize(2 * nameWidth + 10 * digit + 2 * Sg->frameWidth(),
                     Sg->horizontalHeader()->sizeHint().height() + 4 * Sg->rowHeight(0) + 2 * Sg->frameWidth());
    fdNames = new QMenu(Sg);
    fdNames->setObjectName(QStringLiteral("fdNames"));
    Sg->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Sg, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        // The names are offered only while a line-up is being put together.
        if (m_editing && !fdNames->isEmpty())
            fdNames->popup(Sg->viewport()->mapToGlobal(at));
    });
    btAccept = button(QStringLiteral("OK"), TabInvit, "btAccept");

    auto *leoRow = new QHBoxLayout;
    leoRow->addWidget(lbLeo);
    leoRow->addWidget(fdLeo);
    leoRow->addStretch(1);
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(lbTime);
    timeRow->addWidget(fdTime);
    timeRow->addWidget(lbMin);
    timeRow->addStretch(1);
    auto *acceptRow = new QHBoxLayout;
    acceptRow->addStretch(1);
    acceptRow->addWidget(btAccept);
    auto *invit = new QVBoxLayout(TabInvit);
    invit->setContentsMargins(0, 0, 0, 0);
    invit->addWidget(fdInvit);
    invit->addLayout(leoRow);
    invit->addLayout(timeRow);
    invit->addWidget(lbSg);
    invit->addWidget(Sg, 0, Qt::AlignLeft);
    invit->addStretch(1);
    invit->addLayout(acceptRow);

    btClose = button(QStringLiteral("Semmis"), this, "btClose");
    // Fixed, so that "OK" can take its width before the window was ever laid out.
    btClose->setFixedWidth(btClose->sizeHint().width());
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(btClose);
    auto *column = new QVBoxLayout(this);
    column->addWidget(Page, 1);
    column->addLayout(closeRow);

    connect(btNew, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmNew(); }); });
    connect(btRefresh, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmRefresh(); }); });
    connect(btDelete, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmDelete(); }); });
    connect(btAccept, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmAccept(); }); });
    connect(btClose, &QPushButton::clicked, this, [this] { cmClose(); });

    SetEditing(false);
    SelectPage(TabAll);
    setFixedSize(sizeHint());
}

void TMatch::SelectPage(QWidget *page)
{
    Page->setCurrentWidget(page);
    // Each page has its own default button.
    btNew->setDefault(page == TabAll);
    btAccept->setDefault(page == TabInvit);
}

void TMatch::SetEditing(bool editing)
{
    m_editing = editing;
    Sg->setEditTriggers(editing ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    Sg->setFocusPolicy(editing ? Qt::StrongFocus : Qt::NoFocus);
}

// ---------------------------------------------------------------------------------------
// The club's lines

void TMatch::ReceiveMatches(QString &text)
{
    hide();
    m_invitationId = 0;
    Cds->removeRows(0, Cds->rowCount());
    CdsAfterScroll();
    const int k = NextInt(text);
    if (k != 0)
        ShowInvitation(text);
    else
        ShowMatchList(text);
    show();
    raise();
    activateWindow();
}

void TMatch::ShowMatchList(QString &text)
{
    SelectPage(TabAll);
    while (!text.isEmpty())
        AppendRow(ReadMatchRow(text));
    if (Cds->rowCount() > 0)
        SetCurrentRow(0);
    CdsAfterScroll();
}

void TMatch::AppendRow(const TMatchRow &row)
{
    QList<QStandardItem *> items(ColumnCount);
    items[Tab1] = cell(row.Tab1, false);
    items[Tab2] = cell(row.Tab2, false);
    items[Leo] = cell(QString::number(row.Leo), true);
    items[Res] = cell(row.Res, true);
    items[Dif] = cell(DifText(row.Dif), true);
    items[Dif]->setData(row.Dif, ValueRole);
    items[Status] = cell(row.Status, false);
    items[Id] = cell(QString::number(row.Id), false);
    items[Id]->setData(row.Id, ValueRole);
    Cds->appendRow(items);
}

void TMatch::ShowInvitation(QString &text)
{
    SelectPage(TabInvit);
    // Read whole before anything changes: a bad word leaves no half-shown invitation
    // whose id a later hide would decline.
    const qint32 id = NextInt(text);
    const qint32 deals = NextInt(text);
    const qint32 minutes = NextInt(text);
    const TLineUp lineUp = ReadLineUp(text);
    m_invitationId = id;
    fdTime->setEditText(QStringLiteral("  ") + QString::number(minutes));
    fdLeo->setCurrentIndex(DealsIndex(deals, fdLeo->count()));
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 4; ++r)
            Sg->item(r, c)->setText(lineUp[c][r]);
    Sg->setCurrentCell(-1, -1);
    SetEditing(false);
    fdLeo->setEnabled(false);
    fdTime->setEnabled(false);
    btAccept->setText(QStringLiteral("Elfogadom"));
    btAccept->setFixedWidth(105);
    fdInvit->setText(QStringLiteral("Meghívás mérkőzésre"));
}

// ---------------------------------------------------------------------------------------
// The user's commands

void TMatch::CdsAfterScroll()
{
    const int row = CurrentRow();
    btDelete->setEnabled(row >= 0 && Row(row).Id > 0);
}

void TMatch::cmDelete()
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    m_ctx.frame->SendLine(QStringLiteral("R2 ") + QString::number(Row(row).Id));
    cmRefresh();
}

void TMatch::cmRefresh()
{
    hide();
    m_ctx.frame->SendLine(QStringLiteral("R"));
}

void TMatch::cmNew()
{
    SelectPage(TabInvit);
    SetEditing(true);
    fdLeo->setEnabled(true);
    fdTime->setEnabled(true);
    btAccept->setText(QStringLiteral("OK"));
    btAccept->setFixedWidth(btClose->width());
    fdInvit->setText(QStringLiteral("Új mérkózés"));
    Sg->item(0, 0)->setText(m_ctx.frame->ownNick());
    m_invitationId = 0;
    fdNames->clear();
    for (const TRoom &room : m_ctx.frame->Rooms())
        for (const QString &nick : room.members) {
            // An "&" in a nickname is a letter, not a mnemonic.
            QAction *item = fdNames->addAction(QString(nick).replace(QLatin1Char('&'), QLatin1String("&&")));
            connect(item, &QAction::triggered, this, [this, nick] { cmName(nick); });
        }
    Sg->setCurrentCell(0, 0);
}

void TMatch::cmName(const QString &nick)
{
    // On an invitation the line-up is the club's; nothing may be written over it.
    if (!m_editing)
        return;
    if (QTableWidgetItem *current = Sg->currentItem())
        current->setText(nick);
}

void TMatch::cmAccept()
{
    if (m_invitationId != 0)
        AcceptInvitation();
    else
        ProposeMatch();
}

void TMatch::ProposeMatch()
{
    const QString line = ProposalLine(fdLeo->currentIndex(), fdTime->currentText(), LineUp());
    hide();
    m_ctx.frame->SendLine(line);
}

void TMatch::AcceptInvitation()
{
    m_ctx.frame->SendLine(QStringLiteral("R1 ") + QString::number(m_invitationId));
    m_invitationId = 0;
    hide();
}

void TMatch::cmClose()
{
    hide();
}

void TMatch::reject()
{
    // Escape and the title bar's close box hide the window like "Semmis".
    cmClose();
}

void TMatch::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Minimising is the window system's hide, not the user closing the invitation.
    if (!event->spontaneous())
        FormHide();
}

void TMatch::FormHide()
{
    if (m_invitationId <= 0)
        return;
    const qint32 id = m_invitationId;
    m_invitationId = 0;
    // A decline answers the club's invitation: if the club has just gone, there is nobody
    // to tell, and the user is not to be told so.
    m_ctx.guard([&] { m_ctx.link().sendAnswer(QStringLiteral("R2 ") + QString::number(id)); });
}

void TMatch::ConnectionEnded()
{
    m_invitationId = 0;
    hide();
}

// ---------------------------------------------------------------------------------------
// For the tests and the pictures

int TMatch::RowCount() const
{
    return Cds->rowCount();
}

TMatchRow TMatch::Row(int row) const
{
    TMatchRow r;
    r.Tab1 = Cds->item(row, Tab1)->text();
    r.Tab2 = Cds->item(row, Tab2)->text();
    r.Leo = Cds->item(row, Leo)->text().toInt();
    r.Res = Cds->item(row, Res)->text();
    r.Dif = Cds->item(row, Dif)->data(ValueRole).toLongLong();
    r.Status = Cds->item(row, Status)->text();
    r.Id = Cds->item(row, Id)->data(ValueRole).toInt();
    return r;
}

int TMatch::CurrentRow() const
{
    const QModelIndex current = Grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TMatch::SetCurrentRow(int row)
{
    Grid->setCurrentIndex(Cds->index(row, Tab1));
}

TLineUp TMatch::LineUp() const
{
    TLineUp lineUp;
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 4; ++r)
            lineUp[c][r] = Sg->item(r, c)->text();
    return lineUp;
}

void TMatch::SetCell(int col, int row, const QString &text)
{
    Sg->item(row - 1, col - 1)->setText(text);
}

QStringList TMatch::NameItems() const
{
    QStringList names;
    for (const QAction *a : fdNames->actions())
        names << QString(a->text()).replace(QLatin1String("&&"), QLatin1String("&"));
    return names;
}
