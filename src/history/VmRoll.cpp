#include "VmRoll.h"

#include "DayNumber.h"
#include "HistoryText.h"
#include "app/Context.h"
#include "cards/Picks.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QSyntaxHighlighter>
#include <QTabBar>
#include <QTextFrame>
#include <QTimer>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int DealRole = Qt::UserRole;
constexpr int GridWidths[4] = {82, 110, 78, 42};
constexpr int GridRowHeight = 18;
const char *const PageCaptions[4] = {"Leosztások", "Eredmény", "Licitálás", "Lejátszás"};

QString pageCaption(int index)
{
    return index >= 0 && index < 4 ? QString::fromUtf8(PageCaptions[index]) : QString();
}

// Every tab is as wide as the page control's tab width, and the tree's columns are worked
// out from the same number. It is the design's 82 pixels unless a caption needs more in the
// desktop's font.
class TFixedTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;

    int uniformWidth() const
    {
        int width = HistoryColumns::DesignTabWidth;
        for (int i = 0; i < count(); ++i)
            width = std::max(width, QTabBar::tabSizeHint(i).width());
        return width;
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        return {uniformWidth(), QTabBar::tabSizeHint(index).height()};
    }
};

class TPageControl : public QTabWidget
{
public:
    explicit TPageControl(QWidget *parent) : QTabWidget(parent) { setTabBar(new TFixedTabBar(this)); }
    int tabWidth() const { return static_cast<TFixedTabBar *>(tabBar())->uniformWidth(); }
};

// The score grid's numbers carry blanks in front to stand right in a fixed font; here they
// are drawn right-aligned without them, so a narrow column shows the number, not "...".
class TNumberDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() > 0)
            option->text = option->text.trimmed();
    }
};

// The bid lines keep their indents of 27 blanks per seat; the blanks of an indent are made
// 80/27 pixels wide, so that each seat's bids stand under its label, 80 pixels apart,
// whatever the font.
class TIndentSpacing : public QSyntaxHighlighter
{
public:
    TIndentSpacing(QTextDocument *document, const QFont &font)
        : QSyntaxHighlighter(document),
          m_extra(80.0 / 27.0 - QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')))
    {
    }

protected:
    void highlightBlock(const QString &text) override
    {
        qsizetype blanks = 0;
        while (blanks < text.size() && text[blanks] == QLatin1Char(' '))
            ++blanks;
        QTextCharFormat format;
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(m_extra);
        setFormat(0, int(blanks), format);
    }

private:
    qreal m_extra;
};

// Draws the node's own text as usual, then the deal's tag, sides and split (or, on a
// board-number row, which side attacks) at fixed x positions of the tree's client area.
// Each text is cut off before the next position, so long names cannot run into the next
// column.
class TRowDelegate : public QStyledItemDelegate
{
public:
    TRowDelegate(QTreeView *view, std::function<QList<TRowText>(const QModelIndex &)> texts)
        : QStyledItemDelegate(view), m_view(view), m_texts(std::move(texts))
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QList<TRowText> texts = m_texts(index);
        if (texts.isEmpty())
            return;
        const int origin = m_view->header()->sectionViewportPosition(0);
        const int right = m_view->viewport()->width();
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                              : option.palette.text().color());
        const QFontMetrics fm(option.font);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const int x = origin + texts[i].X;
            const int end = i + 1 < texts.size() ? origin + texts[i + 1].X - 4 : right;
            if (end <= x)
                continue;
            const QRect cell(x, option.rect.top() + 2, end - x, option.rect.height() - 2);
            painter->drawText(cell, Qt::AlignLeft | Qt::AlignTop,
                              fm.elidedText(texts[i].Text, Qt::ElideRight, cell.width()));
        }
        painter->restore();
    }

private:
    QTreeView *m_view;
    std::function<QList<TRowText>(const QModelIndex &)> m_texts;
};

QLabel *plainLabel(QWidget *parent, const char *name, const QString &text, QRect geometry,
                   Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // Names and labels come from the club: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(align);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TRollForm::TRollForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TRollForm"));
    setWindowTitle(pageCaption(0));
    resize(400, 320);

    Page = new TPageControl(this);
    Page->setObjectName(QStringLiteral("Page"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Page);

    buildTree();
    buildScorePage();
    buildBidPage();
    buildPlayPage();
    m_tabWidth = static_cast<TPageControl *>(Page)->tabWidth();
    applyColumnWidths();
    // Wide enough for the side 2-3 names after the last column, and for the replay.
    resize(std::max(HistoryColumns::Columns(m_tabWidth).X4 + 150, 400), 330);
    Page->setCurrentIndex(0);
    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(QuietMs);
    connect(m_flushTimer, &QTimer::timeout, this, [this] { m_ctx.guard([this] { flushTree(); }); });
    connect(Page, &QTabWidget::currentChanged, this, [this](int index) {
        m_ctx.guard([this, index] { PageChange(index); });
    });
}

TRollForm::~TRollForm()
{
    // Nodes still waiting to go into the tree belong to no tree yet.
    qDeleteAll(m_newTop);
    for (const QList<QTreeWidgetItem *> &nodes : std::as_const(m_newChildren))
        qDeleteAll(nodes);
    // The tree's items point at the deals; let the tree go first.
    delete Tv;
    Tv = nullptr;
}

void TRollForm::buildTree()
{
    TabHands = new QWidget;
    TabHands->setObjectName(QStringLiteral("TabHands"));
    Page->addTab(TabHands, pageCaption(0));
    Tv = new QTreeWidget(TabHands);
    Tv->setObjectName(QStringLiteral("Tv"));
    Tv->setColumnCount(1);
    Tv->setHeaderHidden(true);
    Tv->setRootIsDecorated(false);
    Tv->setIndentation(15);
    Tv->setFrameShape(QFrame::NoFrame);
    Tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tv->setToolTip(QStringLiteral("Feléc kattintás lapoz"));
    // Every row has the same height, so the view never measures thousands of rows.
    Tv->setUniformRowHeights(true);
    Tv->setItemDelegate(new TRowDelegate(Tv, [this](const QModelIndex &index) {
        const auto *item = static_cast<QTreeWidgetItem *>(index.internalPointer());
        if (!item)
            return QList<TRowText>();
        const int deal = index.data(DealRole).toInt();
        if (deal >= 0 && deal < int(m_deals.size())) {
            const TBoard &b = m_deals[size_t(deal)]->Board;
            return DealRowTexts(b.Tag, b.Names, b.Split, m_tabWidth);
        }
        return item->parent() ? QList<TRowText>() : BoardRowTexts(item->text(0), m_tabWidth);
    }));
    auto *fill = new QVBoxLayout(TabHands);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Tv);
    connect(Tv, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        m_ctx.guard([this, item] { TvChange(item); });
    });
}

void TRollForm::buildScorePage()
{
    TabRoll = new QWidget;
    TabRoll->setObjectName(QStringLiteral("TabRoll"));
    Page->addTab(TabRoll, pageCaption(1));

    // The header stands over the grid's columns: the result over the labels, side 1-4 over
    // the first points, side 2-3 over the second, "Össz" over the difference.
    pnRoll = new QWidget(TabRoll);
    pnRoll->setObjectName(QStringLiteral("pnRoll"));
    pnRoll->setFixedHeight(38);
    lbResult = plainLabel(pnRoll, "lbResult", QString(), {});
    QFont bold = lbResult->font();
    bold.setBold(true);
    lbResult->setFont(bold);
    for (int seat = 0; seat < 4; ++seat) {
        const QByteArray name = "lbPlayer" + QByteArray::number(seat + 1);
        PlayerLabels[size_t(seat)] = plainLabel(pnRoll, name.constData(), QString(), {},
                                                Qt::AlignRight | Qt::AlignVCenter);
    }
    lbHdrSum = plainLabel(pnRoll, "lbHdrSum", QStringLiteral("Össz"), {}, Qt::AlignRight | Qt::AlignVCenter);

    ScGrid = new QTableWidget(1, 4, TabRoll);
    ScGrid->setObjectName(QStringLiteral("ScGrid"));
    ScGrid->horizontalHeader()->hide();
    ScGrid->verticalHeader()->hide();
    ScGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ScGrid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    ScGrid->verticalHeader()->setMinimumSectionSize(GridRowHeight);
    ScGrid->setItemDelegate(new TNumberDelegate(ScGrid));
    // The labels take what the numbers leave.
    ScGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c)
        ScGrid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Fixed);
    connect(ScGrid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeScoreLabels(); });
    // The first column stretches with the window; the labels follow once the grid has
    // laid its columns out again.
    ScGrid->installEventFilter(this);
    ScGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ScGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ScGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ScGrid->setWordWrap(false);
    ScGrid->setFrameShape(QFrame::NoFrame);

    pnSum = new QWidget(TabRoll);
    pnSum->setObjectName(QStringLiteral("pnSum"));
    pnSum->setFixedHeight(22);
    lbSumm[0] = plainLabel(pnSum, "lbSumm0", QStringLiteral("Összesen"), {});
    lbSumm[0]->setFont(bold);
    for (int i = 1; i < 4; ++i) {
        const QByteArray name = "lbSumm" + QByteArray::number(i);
        lbSumm[size_t(i)] = plainLabel(pnSum, name.constData(), QStringLiteral("0"), {},
                                       Qt::AlignRight | Qt::AlignVCenter);
        lbSumm[size_t(i)]->setFont(bold);
    }

    auto *layout = new QVBoxLayout(TabRoll);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnRoll);
    layout->addWidget(ScGrid, 1);
    layout->addWidget(pnSum);
}

bool TRollForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ScGrid && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, [this] { placeScoreLabels(); }, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void TRollForm::applyColumnWidths()
{
    // The design's widths, widened as the tabs were.
    for (int c = 1; c < 4; ++c)
        ScGrid->setColumnWidth(c, GridWidths[c] * m_tabWidth / HistoryColumns::DesignTabWidth);
    placeScoreLabels();
}

void TRollForm::placeScoreLabels()
{
    if (!lbSumm[3])
        return; // still being built
    int x[5] = {0};
    for (int c = 0; c < 4; ++c)
        x[c + 1] = x[c] + ScGrid->columnWidth(c);
    const int w[4] = {x[1], x[2] - x[1], x[3] - x[2], x[4] - x[3]};
    lbResult->setGeometry(6, 2, w[0] - 8, 34);
    PlayerLabels[0]->setGeometry(x[1] + 2, 2, w[1] - 6, 17);
    PlayerLabels[3]->setGeometry(x[1] + 2, 19, w[1] - 6, 17);
    PlayerLabels[1]->setGeometry(x[2] + 2, 2, w[2] - 6, 17);
    PlayerLabels[2]->setGeometry(x[2] + 2, 19, w[2] - 6, 17);
    lbHdrSum->setGeometry(x[3], 2, w[3] - 4, 34);
    lbSumm[0]->setGeometry(6, 2, w[0] - 8, 18);
    for (int i = 1; i < 4; ++i)
        lbSumm[size_t(i)]->setGeometry(x[i], 2, w[i] - 4, 18);
}

void TRollForm::buildBidPage()
{
    TabBid = new QWidget;
    TabBid->setObjectName(QStringLiteral("TabBid"));
    Page->addTab(TabBid, pageCaption(2));
    pnBids = new QWidget(TabBid);
    pnBids->setObjectName(QStringLiteral("pnBids"));
    pnBids->setFixedHeight(20);
    static const char *const names[4] = {"Seat1", "Seat2", "Seat3", "Seat4"};
    static const int x[4] = {88, 168, 248, 8};
    for (int seat = 0; seat < 4; ++seat) {
        Seats[size_t(seat)] = plainLabel(pnBids, names[seat], QString::number(seat + 1), {x[seat], 2, 76, 16});
        QFont bold = Seats[size_t(seat)]->font();
        bold.setBold(true);
        Seats[size_t(seat)]->setFont(bold);
    }
    Memo = new QPlainTextEdit(TabBid);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setToolTip(QStringLiteral("Kettős kattintás vissza"));
    Memo->setFrameShape(QFrame::NoFrame);
    new TIndentSpacing(Memo->document(), Memo->font());
    Memo->document()->setDocumentMargin(2);

    auto *layout = new QVBoxLayout(TabBid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnBids);
    layout->addWidget(Memo, 1);
}

void TRollForm::buildPlayPage()
{
    TabPlay = new QWidget;
    TabPlay->setObjectName(QStringLiteral("TabPlay"));
    Page->addTab(TabPlay, pageCaption(3));
    // The page has the view's felt behind it rather than the key colour itself.
    QPalette pal = TabPlay->palette();
    pal.setColor(QPalette::Window, TPlayView::FeltColour().darker(115));
    TabPlay->setPalette(pal);
    TabPlay->setAutoFillBackground(true);
    PlayView = new TPlayView(m_ctx, TabPlay);
    connect(m_ctx.connect, &TConnect::ViewChanged, this, [this] {
        m_ctx.guard([this] { PlayView->ApplyCardOrder(); });
    });

    ToolBar = new QToolBar(TabPlay);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(26, 15));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setAutoFillBackground(true);
    ToolBar->setPalette(QWidget::palette());
    static const char *const tips[6] = {"Első", "Előző ütés", "Vissza", "Előre", "Következő ütés", "Utolsó"};
    for (int i = 0; i < 6; ++i) {
        auto *button = new QToolButton(ToolBar);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
        button->setIcon(QIcon(SmallPicture(43 + i)));
        button->setFixedSize(54, 21);
        button->setAccessibleName(QString::fromUtf8(tips[i]));
        ToolBar->addWidget(button);
        ToolButtons[size_t(i)] = button;
        connect(button, &QToolButton::clicked, this, [this, i] {
            m_ctx.guard([this, i] { cmNavigator(i + 1); });
        });
    }

    auto *layout = new QVBoxLayout(TabPlay);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PlayView, 0, Qt::AlignHCenter | Qt::AlignTop);
    layout->addStretch(1);
    layout->addWidget(ToolBar);
}

const TBoard *TRollForm::CurrentBoard() const
{
    return m_current ? &m_current->Board : nullptr;
}

TRollForm::TStoredDeal *TRollForm::storedOf(const TBoard &board) const
{
    const int deal = board.Node ? board.Node->data(0, DealRole).toInt() : THistoryIndex::None;
    return deal >= 0 && deal < int(m_deals.size()) && &m_deals[size_t(deal)]->Board == &board
               ? m_deals[size_t(deal)].get()
               : nullptr;
}

TRollForm::TFetch TRollForm::ScoresState(const TBoard &board) const
{
    const TStoredDeal *deal = storedOf(board);
    return deal ? deal->Scores.state : TFetch::NotFetched;
}

TRollForm::TFetch TRollForm::BidsState(const TBoard &board) const
{
    const TStoredDeal *deal = storedOf(board);
    return deal ? deal->Bids.state : TFetch::NotFetched;
}

TRollForm::TStoredDeal *TRollForm::dealOf(QTreeWidgetItem *item) const
{
    if (!item)
        return nullptr;
    // A board-number node carries no deal: its first day node's deal stands for it.
    if (!item->parent() && item->childCount() > 0)
        item = item->child(0);
    const int deal = item->data(0, DealRole).toInt();
    return deal >= 0 && deal < int(m_deals.size()) ? m_deals[size_t(deal)].get() : nullptr;
}

void TRollForm::ReceiveHistory(const QString &argument)
{
    QString text = argument;
    const THistoryHeader header = ReadHistoryHeader(text);
    // A negative sub-code means nothing here.
    if (header.Code < 0)
        return;
    TStoredDeal *deal = nullptr;
    if (header.Code == 0) {
        deal = storeRecord(header.Board, header.Id, text);
    } else {
        const int found = m_index.FirstWithId(header.Board, header.Id);
        if (found == THistoryIndex::None)
            Fail(QStringLiteral("Hibás letöltés"));
        deal = m_deals[size_t(found)].get();
    }
    m_current = deal;
    // Also when the deal was already selected: a resent record may bring new names.
    showHeader();
    if (header.Code == 1) {
        deal->Board.Scores = text;
        deal->Scores.state = TFetch::Known;
        ShowScore();
    } else if (header.Code == 2) {
        deal->Board.Bids = text;
        deal->Bids.state = TFetch::Known;
        ShowBidding();
    }
    selectLater(deal);
    if (!m_hasDeals) {
        m_hasDeals = true;
        if (QAction *item = m_ctx.frame->findChild<QAction *>(QStringLiteral("mnRoll")))
            item->setEnabled(true);
    }
    if (!isVisible())
        show();
}

TRollForm::TStoredDeal *TRollForm::storeRecord(const QString &board, qint32 id, QString rest)
{
    // The whole record is read before the tree or the deal changes.
    TDealRecord record = ReadDealRecord(rest);
    const THistoryIndex::TPlace place = m_index.Place(board, record.Day, id);
    if (place.NewBoard) {
        auto *node = new QTreeWidgetItem(QStringList{board});
        node->setData(0, DealRole, THistoryIndex::None);
        m_newTop.append(node);
        m_boardNodes.push_back(node);
    }
    if (place.NewDeal) {
        m_deals.push_back(std::make_unique<TStoredDeal>(board, id));
        TStoredDeal *deal = m_deals.back().get();
        deal->Board.Day = record.Day;
        QTreeWidgetItem *node = nullptr;
        if (place.NewDay) {
            node = new QTreeWidgetItem(QStringList{DayNumber::TreeText(record.Day)});
            appendNode(m_boardNodes[size_t(place.BoardGroup)], node);
            m_dayNodes.push_back(node);
        } else {
            node = new QTreeWidgetItem(QStringList{QString::number(id)});
            appendNode(m_dayNodes[size_t(place.DayGroup)], node);
        }
        node->setData(0, DealRole, place.Deal);
        deal->Board.Node = node;
    }
    TStoredDeal *deal = m_deals[size_t(place.Deal)].get();
    TBoard &b = deal->Board;
    b.Tag = record.Tag;
    b.Names = record.Names;
    b.Split = record.Split();
    b.Hands = std::move(record.Hands);
    // A resent deal fetches its breakdown and bidding again.
    b.Scores.clear();
    b.Bids.clear();
    deal->Scores = {};
    deal->Bids = {};
    if (!place.NewDeal && b.Node && b.Node->treeWidget())
        Tv->update(Tv->indexFromItem(b.Node)); // the texts beside the row changed
    Page->setCurrentIndex(0);
    return deal;
}

void TRollForm::showHeader()
{
    if (!m_current)
        return;
    const TBoard &b = m_current->Board;
    for (int seat = 0; seat < 4; ++seat)
        PlayerLabels[size_t(seat)]->setText(b.Names[size_t(seat)]);
    lbResult->setText(b.Split);
}

void TRollForm::appendNode(QTreeWidgetItem *parent, QTreeWidgetItem *node)
{
    // A node under one that is not in the tree yet goes with it; under one in the tree it
    // waits to be appended with its siblings.
    if (!parent->treeWidget()) {
        parent->addChild(node);
        return;
    }
    auto at = m_newChildren.find(parent);
    if (at == m_newChildren.end()) {
        m_newParents.append(parent);
        at = m_newChildren.insert(parent, {});
    }
    at->append(node);
}

void TRollForm::selectLater(TStoredDeal *deal)
{
    // Every change to the tree's rows lays all of them out again at the next turn of the
    // event loop, and selecting scrolls, which lays them out at once. Record by record that
    // makes a burst of records quadratic. So new nodes wait and go in together, and the
    // newest deal is selected, when no record has come for a moment (the burst is over),
    // or at the latest every MaxHoldMs while a long burst lasts, so the screen follows it.
    m_pendingSelect = deal;
    if (!m_flushTimer->isActive())
        m_holding.start();
    if (m_holding.elapsed() >= MaxHoldMs) {
        m_flushTimer->stop();
        flushTree();
        return;
    }
    m_flushTimer->start();
}

void TRollForm::flushTree()
{
    for (QTreeWidgetItem *parent : std::as_const(m_newParents))
        parent->addChildren(m_newChildren.value(parent));
    Tv->addTopLevelItems(m_newTop);
    // The tree shows everything it holds: boards and days open, as each deal's selection
    // would leave them.
    const auto open = [](QTreeWidgetItem *node) {
        if (node->childCount() > 0)
            node->setExpanded(true);
    };
    for (QTreeWidgetItem *parent : std::as_const(m_newParents)) {
        open(parent);
        for (QTreeWidgetItem *child : m_newChildren.value(parent))
            open(child);
    }
    for (QTreeWidgetItem *top : std::as_const(m_newTop)) {
        open(top);
        for (int i = 0; i < top->childCount(); ++i)
            open(top->child(i));
    }
    m_newParents.clear();
    m_newChildren.clear();
    m_newTop.clear();
    TStoredDeal *deal = std::exchange(m_pendingSelect, nullptr);
    if (deal && deal->Board.Node)
        Tv->setCurrentItem(deal->Board.Node);
}

void TRollForm::TvChange(QTreeWidgetItem *item)
{
    TStoredDeal *deal = dealOf(item);
    if (!deal)
        return;
    m_current = deal;
    showHeader();
}

void TRollForm::PageChange(int index)
{
    setWindowTitle(pageCaption(index));
    // Nothing to show before the first deal.
    if (!m_current)
        return;
    switch (index) {
    case 1: ShowScore(); break;
    case 2: ShowBidding(); break;
    case 3: ShowReplay(); break;
    default: break;
    }
}

bool TRollForm::request(TFetchState &fetch, char code)
{
    if (fetch.state == TFetch::Known)
        return false;
    if (fetch.state == TFetch::Requested && fetch.asked.isValid() && fetch.asked.elapsed() < retryAfterMs)
        return false;
    const TBoard &b = m_current->Board;
    m_ctx.frame->SendLine(QStringLiteral("X%1 %2 %3").arg(QString(QLatin1Char(code)), b.Board, QString::number(b.Id)));
    fetch.state = TFetch::Requested;
    fetch.asked.start();
    return true;
}

void TRollForm::ShowScore()
{
    if (!m_current)
        return;
    TStoredDeal &deal = *m_current;
    TScoreSheet sheet;
    if (deal.Scores.state == TFetch::Known)
        sheet = ReadScoreRows(deal.Board.Scores); // a bad word leaves the grid as it was
    ScGrid->clearContents();
    ScGrid->setRowCount(std::max<qsizetype>(1, sheet.Rows.size()));
    const auto cell = [this](int row, int column, const QString &text) {
        auto *item = new QTableWidgetItem(text);
        item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        ScGrid->setItem(row, column, item);
    };
    for (int r = 0; r < sheet.Rows.size(); ++r) {
        const TScoreRow &row = sheet.Rows[r];
        cell(r, 0, QLatin1Char(' ') + row.Label);
        cell(r, 1, PadNumber(row.A));
        cell(r, 2, PadNumber(row.B));
        cell(r, 3, PadNumber(qint64(row.A) - qint64(row.B)));
    }
    lbSumm[1]->setText(QString::number(sheet.SumA));
    lbSumm[2]->setText(QString::number(sheet.SumB));
    lbSumm[3]->setText(QString::number(sheet.Difference()));
    if (deal.Scores.state != TFetch::Known) {
        request(deal.Scores, '1');
        cell(0, 1, QStringLiteral("Letöltés folyamatban"));
    }
}

void TRollForm::ShowBidding()
{
    if (!m_current)
        return;
    TStoredDeal &deal = *m_current;
    for (int seat = 0; seat < 4; ++seat)
        Seats[size_t(seat)]->setText(deal.Board.Names[size_t(seat)]);
    if (deal.Bids.state == TFetch::Known) {
        QStringList lines;
        TListForm::RenderBoard(deal.Board, lines); // a bad count leaves the text as it was
        setMemo(lines);
        return;
    }
    setMemo({});
    request(deal.Bids, '2');
    setMemo({QStringLiteral("Letöltés folyamatban")});
}

void TRollForm::setMemo(const QStringList &lines)
{
    Memo->setPlainText(lines.join(QLatin1Char('\n')));
    // Seat 4's column starts under its label, 8 pixels in.
    QTextFrame *root = Memo->document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setLeftMargin(6);
    root->setFrameFormat(format);
}

void TRollForm::ShowReplay()
{
    if (!m_current)
        return;
    const TBoard &b = m_current->Board;
    const int number = StrToInt(b.Board); // before the view changes
    PlayView->SetNames(PlayerLabels);
    b.Hands[0].CopyTo(PlayView->Tricks());
    for (int seat = 1; seat <= 4; ++seat)
        b.Hands[size_t(seat)].CopyTo(PlayView->SeatHand(seat));
    PlayView->SetBoard(number);
    PlayView->GoFirst();
}

void TRollForm::cmNavigator(int button)
{
    switch (button) {
    case 1: PlayView->GoFirst(); break;
    case 2: PlayView->GoPrevTrick(); break;
    case 3: PlayView->StepBack(); break;
    case 4: PlayView->StepForward(); break;
    case 5: PlayView->GoNextTrick(); break;
    case 6: PlayView->GoLast(); break;
    default: break;
    }
}

void TRollForm::cmRoll()
{
    Page->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
}

void TRollForm::ConnectionEnded()
{
    hide();
    for (const auto &deal : m_deals) {
        if (deal->Scores.state == TFetch::Requested)
            deal->Scores = {};
        if (deal->Bids.state == TFetch::Requested)
            deal->Bids = {};
    }
}
