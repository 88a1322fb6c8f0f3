#include "Points.h"

#include "Catalogue.h"
#include "app/Context.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

class CatalogueModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : Catalogue::Count;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : TTkForm::ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const Announcement &a = Catalogue::Row(index.row());
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case TTkForm::Tk: return a.Name();
            case TTkForm::Made: return a.made; // numbers order numerically
            case TTkForm::Down: return a.down;
            case TTkForm::Note: return a.Group();
            case TTkForm::Hint: return a.Hint();
            }
        }
        if (role == Qt::TextAlignmentRole && index.column() != TTkForm::Tk)
            return int(Qt::AlignCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char *const titles[] = {"  Bemondás", " Teljesítés", "    Bukás", "       Csoport", ""};
        return QString::fromUtf8(titles[section]);
    }
};

} // namespace

TTkForm::TTkForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TTkForm"));
    setWindowTitle(QStringLiteral("Bemondások jutalma és büntetése"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(314, 350);
    // A compact table: the four columns fit the window's width.
    QFont compact = font();
    compact.setPointSizeF(compact.pointSizeF() * 0.85);
    setFont(compact);

    auto *model = new CatalogueModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(model);
    m_proxy->setSortLocaleAware(true);
    m_proxy->sort(-1);

    DBGrid = new QTableView(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setModel(m_proxy);
    DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid->setShowGrid(true);
    DBGrid->setWordWrap(false);
    DBGrid->setColumnHidden(Hint, true);
    DBGrid->verticalHeader()->hide();
    DBGrid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView *header = DBGrid->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSortIndicatorShown(false);
    // Narrow number columns sized by their titles; the group takes what is left.
    const QFontMetrics titles(header->font());
    const auto fit = [&](int column) {
        return titles.horizontalAdvance(m_proxy->headerData(column, Qt::Horizontal).toString()) + 8;
    };
    DBGrid->setColumnWidth(Tk, std::max(fit(Tk), fontMetrics().horizontalAdvance(QStringLiteral("Nagymadár")) + 12));
    DBGrid->setColumnWidth(Made, fit(Made));
    DBGrid->setColumnWidth(Down, fit(Down));
    DBGrid->setColumnWidth(Note, fit(Note));
    DBGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { m_ctx.guard([&] { DBGridTitleClick(column); }); });

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    StatusPanel = new QLabel(status);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setAlignment(Qt::AlignCenter);
    StatusPanel->setTextFormat(Qt::PlainText);
    status->addWidget(StatusPanel, 1);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(DBGrid, 1);
    column->addWidget(status);

    connect(DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { CdsAfterScroll(); });
    setCurrent(0);
}

int TTkForm::CatalogueRow(int row) const
{
    return m_proxy->mapToSource(m_proxy->index(row, 0)).row();
}

int TTkForm::CurrentRow() const
{
    const QModelIndex current = DBGrid->currentIndex();
    return current.isValid() ? m_proxy->mapToSource(current).row() : -1;
}

void TTkForm::setCurrent(int catalogueRow)
{
    const QModelIndex index = m_proxy->mapFromSource(m_proxy->sourceModel()->index(catalogueRow, Tk));
    DBGrid->setCurrentIndex(index);
    DBGrid->scrollTo(index);
    CdsAfterScroll();
}

void TTkForm::CdsAfterScroll()
{
    const int row = CurrentRow();
    StatusPanel->setText(row < 0 ? QString() : Catalogue::Row(row).Hint());
    StatusPanel->setToolTip(StatusPanel->text());
}

QString TTkForm::HintOf(const QString &name)
{
    const int row = Catalogue::IndexOf(name);
    if (row < 0)
        return QString();
    setCurrent(row);
    return Catalogue::Row(row).Hint();
}

void TTkForm::DBGridTitleClick(int column)
{
    if (column < Tk || column >= Hint)
        return;
    const int current = CurrentRow();
    if (m_orderedBy == column) {
        m_orderedBy = -1;
        m_proxy->sort(-1); // back to catalogue order
    } else {
        m_orderedBy = column;
        m_proxy->sort(column, Qt::AscendingOrder);
    }
    if (current >= 0)
        setCurrent(current);
}
