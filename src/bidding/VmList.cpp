#include "VmList.h"

#include "BidRules.h"
#include "app/Context.h"
#include "cards/VmDesk.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// The list holds the laid-out lines with their blank indents, so what it holds is exactly
// what the layout produced; drawing turns each indent into a real column under its seat
// label, which blanks in a proportional font never would.
class TSeatColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static int columnOf(const QString &line)
    {
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == QLatin1Char(' '))
            ++blanks;
        return int(std::min<qsizetype>(blanks / BidRules::ColumnBlanks, 3));
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const int column = columnOf(line);
        const QString bid = line.trimmed();
        const int width = opt.rect.width() / 4;
        QRect cell(opt.rect.left() + column * width + TextMargin, opt.rect.top(),
                   width - TextMargin, opt.rect.height());
        if (column == 3)
            cell.setRight(opt.rect.right());
        const bool selected = opt.state & QStyle::State_Selected;
        QColor ink = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QFont font = opt.font;
        if (bid == QLatin1String("- Passz -")) {
            if (!selected)
                ink = opt.palette.color(QPalette::Disabled, QPalette::Text);
            font.setItalic(true);
        }
        painter->save();
        painter->setFont(font);
        painter->setPen(ink);
        const QString shown = QFontMetrics(font).elidedText(bid, Qt::ElideRight, cell.width());
        painter->drawText(cell, int(Qt::AlignLeft | Qt::AlignVCenter), shown);
        painter->restore();
    }

    static constexpr int TextMargin = 6;
};

} // namespace

TListForm::TListForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TListForm"));
    setWindowTitle(QStringLiteral("Licitek"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);

    pnBids = new QWidget(this);
    pnBids->setObjectName(QStringLiteral("pnBids"));
    pnBids->setFixedHeight(20);
    pnBids->setAutoFillBackground(true);
    QFont captionFont = pnBids->font();
    captionFont.setBold(true);
    const auto makeLabel = [&](const char *name, const QString &caption) {
        auto *label = new QLabel(caption, pnBids);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText); // nicknames are the club's text
        label->setFont(captionFont);
        return label;
    };
    Seat4 = makeLabel("Seat4", QStringLiteral("4"));
    Seat1 = makeLabel("Seat1", QStringLiteral("1"));
    Seat2 = makeLabel("Seat2", QStringLiteral("2"));
    Seat3 = makeLabel("Seat3", QStringLiteral("3"));

    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setItemDelegate(new TSeatColumnDelegate(ListBox));
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox->setUniformItemSizes(true);
    ListBox->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnBids);
    layout->addWidget(ListBox, 1);

    resize(337, 240);
}

bool TListForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox->viewport() && event->type() == QEvent::Resize)
        placeSeatLabels();
    return QWidget::eventFilter(watched, event);
}

void TListForm::placeSeatLabels()
{
    // Each caption stands over its column of the list, scroll bar or not.
    const QRect area = ListBox->viewport()->geometry().translated(ListBox->pos());
    const int width = area.width() / 4;
    const std::array<QLabel *, 4> columns = {Seat4, Seat1, Seat2, Seat3};
    for (int c = 0; c < 4; ++c) {
        const int left = area.left() + c * width + TSeatColumnDelegate::TextMargin;
        columns[c]->setGeometry(left, 0, width - TSeatColumnDelegate::TextMargin, pnBids->height());
    }
}

QLabel *TListForm::seatLabel(int seat) const
{
    switch (seat) {
    case 1: return Seat1;
    case 2: return Seat2;
    case 3: return Seat3;
    default: return Seat4;
    }
}

void TListForm::ShowBids(const QString &text)
{
    // Read the whole text before anything changes: a bad one leaves the window as it was.
    const QStringList lines = BidRules::RenderBidText(text);
    show();
    for (int seat = 1; seat <= 4; ++seat)
        if (QLabel *field = m_ctx.desk->SeatField(seat))
            seatLabel(seat)->setText(field->text());
    m_source = text;
    ListBox->clear();
    ListBox->addItems(lines);
    if (ListBox->count() > 0) {
        ListBox->setCurrentRow(ListBox->count() - 1);
        ListBox->scrollToBottom();
    }
}

void TListForm::Render()
{
    const QStringList lines = BidRules::RenderBidText(m_source);
    ListBox->clear();
    ListBox->addItems(lines);
}

void TListForm::RenderBoard(const TBoard &board, QStringList &lines)
{
    lines = BidRules::RenderBidText(board.Bids);
}

QStringList TListForm::Lines() const
{
    QStringList lines;
    for (int i = 0; i < ListBox->count(); ++i)
        lines << ListBox->item(i)->text();
    return lines;
}
