#include "VmList.h"

#include "BidLayout.h"
#include "app/Context.h"
#include "cards/VmDesk.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const QString PassText = QStringLiteral("- Passz -");

QFont passFont(QFont font)
{
    font.setItalic(true);
    return font;
}

// Draws each line's bid in its seat's column instead of relying on blanks lining up.
// Passes are grey italics, so that the bids stand out.
class ColumnDelegate : public QStyledItemDelegate
{
public:
    ColumnDelegate(const TListForm *form, QObject *parent) : QStyledItemDelegate(parent), m_form(form) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString line = o.text;
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        const int column = BidLayout::ColumnOf(line);
        const QString bid = BidLayout::BidOf(line);
        QRect r = o.rect;
        r.setLeft(o.rect.left() + m_form->ColumnLeft(column));
        r.setWidth(m_form->ColumnWidth(column));
        painter->save();
        const bool selected = o.state & QStyle::State_Selected;
        if (bid == PassText) {
            painter->setFont(passFont(o.font));
            painter->setPen(selected ? o.palette.highlightedText().color()
                                     : o.palette.color(QPalette::Disabled, QPalette::Text));
        } else {
            painter->setPen(selected ? o.palette.highlightedText().color() : o.palette.text().color());
        }
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, bid);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // As wide as the four columns, so that the list scrolls sideways rather than cut.
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(m_form->ContentsWidth());
        return size;
    }

private:
    const TListForm *m_form;
};

} // namespace

TListForm::TListForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TListForm"));
    setWindowTitle(QStringLiteral("Licitek"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(337, 240);

    pnBids = new QWidget(this);
    pnBids->setObjectName(QStringLiteral("pnBids"));
    pnBids->setFixedHeight(20);
    pnBids->setAutoFillBackground(true);
    static const char *const names[4] = {"Seat1", "Seat2", "Seat3", "Seat4"};
    static const int x[4] = {88, 168, 248, 8};
    for (int seat = 0; seat < 4; ++seat) {
        auto *label = new QLabel(QString::number(seat + 1), pnBids);
        label->setObjectName(QString::fromLatin1(names[seat]));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(x[seat], 2, DesignColumnWidth - 4, 16);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        Seats[seat] = label;
    }
    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setItemDelegate(new ColumnDelegate(this, ListBox));
    ListBox->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every line is one line of text as wide as the columns: a long bidding is laid out
    // without asking the delegate for every line.
    ListBox->setUniformItemSizes(true);
    // The captions stand over their columns as the list scrolls sideways.
    connect(ListBox->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TListForm::placeCaptions);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(pnBids);
    column->addWidget(ListBox, 1);
}

void TListForm::Render()
{
    Target.clear();
    BidLayout::Render(Source, Target);
}

void TListForm::ShowBids(const QString &text)
{
    show();
    for (int seat = 1; seat <= 4; ++seat)
        if (QLabel *field = m_ctx.desk->SeatField(seat))
            Seats[seat - 1]->setText(field->text());
    Source = text;
    ListBox->clear();
    // Whatever was laid out before a malformed count stays in view.
    struct Fill
    {
        TListForm *f;
        ~Fill()
        {
            f->ListBox->addItems(f->Target);
            f->fitColumns();
            if (f->ListBox->count() > 0)
                f->ListBox->setCurrentRow(f->ListBox->count() - 1);
        }
    } fill{this};
    Render();
}

int TListForm::bidWidth(const QString &bid)
{
    // Bids are the club's text: an odd server could send endless new words.
    if (ListBox->font() != m_bidWidthsFont || m_bidWidths.size() >= 256) {
        m_bidWidths.clear();
        m_bidWidthsFont = ListBox->font();
    }
    if (auto known = m_bidWidths.constFind(bid); known != m_bidWidths.cend())
        return *known;
    const QFont font = bid == PassText ? passFont(ListBox->font()) : ListBox->font();
    const int width = QFontMetrics(font).horizontalAdvance(bid);
    m_bidWidths.insert(bid, width);
    return width;
}

void TListForm::fitColumns()
{
    std::array<int, 4> widest{};
    for (int i = 0; i < ListBox->count(); ++i) {
        const QString line = ListBox->item(i)->text();
        int &w = widest[BidLayout::ColumnOf(line)];
        w = std::max(w, bidWidth(BidLayout::BidOf(line)));
    }
    // Display column of each caption: Seat1 .. Seat4 stand over columns 1, 2, 3 and 0.
    for (int seat = 0; seat < 4; ++seat) {
        const QLabel *caption = Seats[seat];
        const int width = QFontMetrics(caption->font()).horizontalAdvance(caption->text());
        int &w = widest[(seat + 1) % 4];
        w = std::max(w, width);
    }
    int left = ColumnMargin;
    for (int column = 0; column < 4; ++column) {
        m_columnLeft[column] = left;
        m_columnWidth[column] = std::max(DesignColumnWidth, widest[column] + ColumnPadding);
        left += m_columnWidth[column];
    }
    // The item width changed with the columns: the list lays its items out again.
    ListBox->doItemsLayout();
    ListBox->viewport()->update();
    placeCaptions();
}

void TListForm::placeCaptions()
{
    // Over the text of the column, as the list draws it: the list's frame and its sideways
    // scroll both move the columns.
    const int origin = ListBox->geometry().left() + ListBox->viewport()->geometry().left()
                       - ListBox->horizontalScrollBar()->value();
    for (int seat = 0; seat < 4; ++seat) {
        const int column = (seat + 1) % 4;
        Seats[seat]->setGeometry(origin + m_columnLeft[column], 2, m_columnWidth[column], 16);
    }
}

void TListForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCaptions();
}

void TListForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitColumns();
}

void TListForm::RenderBoard(const TBoard &board, QStringList &lines)
{
    QString source = board.Bids;
    QStringList laid;
    BidLayout::Render(source, laid);
    lines = std::move(laid);
}

QStringList TListForm::Lines() const
{
    QStringList lines;
    for (int i = 0; i < ListBox->count(); ++i)
        lines << ListBox->item(i)->text();
    return lines;
}
