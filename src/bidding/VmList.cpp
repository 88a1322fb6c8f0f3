#include "VmList.h"

#include "BidLayout.h"
#include "app/Context.h"
#include "cards/VmDesk.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int ColumnX[4] = {8, 88, 168, 248}; // seat 4, 1, 2, 3
constexpr int ColumnWidth = 80;

// Draws each line's bid in its seat's column instead of relying on blanks lining up.
class ColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString line = o.text;
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        const int column = BidLayout::ColumnOf(line);
        QRect r = o.rect;
        r.setLeft(o.rect.left() + ColumnX[column] - 4);
        r.setWidth(ColumnWidth);
        painter->save();
        painter->setPen(o.state & QStyle::State_Selected ? o.palette.highlightedText().color()
                                                         : o.palette.text().color());
        const QString bid = BidLayout::BidOf(line);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                          o.fontMetrics.elidedText(bid, Qt::ElideRight, r.width()));
        painter->restore();
    }
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
        label->setGeometry(x[seat], 2, ColumnWidth - 4, 16);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        Seats[seat] = label;
    }
    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setItemDelegate(new ColumnDelegate(ListBox));
    ListBox->setUniformItemSizes(true);

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
            if (f->ListBox->count() > 0)
                f->ListBox->setCurrentRow(f->ListBox->count() - 1);
        }
    } fill{this};
    Render();
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
