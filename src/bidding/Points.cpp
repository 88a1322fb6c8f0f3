#include "Points.h"

#include "Catalogue.h"
#include "app/Context.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

int TCatalogueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(Catalogue::Rows().size());
}

int TCatalogueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Catalogue::ColumnCount;
}

QVariant TCatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TAnnouncement &a = Catalogue::Rows()[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Catalogue::Tk: return a.Tk;
        case Catalogue::Made: return a.Made;
        case Catalogue::Down: return a.Down;
        case Catalogue::Note: return a.Note;
        case Catalogue::Hint: return a.Hint;
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() != Catalogue::Tk)
        return int(Qt::AlignCenter);
    if (role == Qt::ToolTipRole)
        return a.Hint;
    return {};
}

QVariant TCatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        switch (section) {
        case Catalogue::Tk: return QStringLiteral("  Bemondás");
        case Catalogue::Made: return QStringLiteral(" Teljesítés");
        case Catalogue::Down: return QStringLiteral("    Bukás");
        case Catalogue::Note: return QStringLiteral("       Csoport");
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TCatalogueModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

TCatalogueOrder::TCatalogueOrder(QObject *parent)
    : QSortFilterProxyModel(parent), m_collator(QLocale(QLocale::Hungarian, QLocale::Hungary))
{
}

bool TCatalogueOrder::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    if (a.typeId() == QMetaType::Int && b.typeId() == QMetaType::Int)
        return a.toInt() < b.toInt();
    return m_collator.compare(a.toString(), b.toString()) < 0;
}

TTkForm::TTkForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TTkForm"));
    setWindowTitle(QStringLiteral("Bemondások jutalma és büntetése"));
    // A window to read from: a close box, nothing to minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    FormCreate();
}

void TTkForm::FormCreate()
{
    // The small size the table was laid out for: four columns fit the window's width.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    m_model = new TCatalogueModel(this);
    m_order = new TCatalogueOrder(this);
    m_order->setSourceModel(m_model);

    DBGrid = new QTableView(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setModel(m_order);
    DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid->setShowGrid(true);
    DBGrid->setWordWrap(false);
    DBGrid->setAlternatingRowColors(true);
    DBGrid->setColumnHidden(Catalogue::Hint, true);
    DBGrid->verticalHeader()->hide();
    DBGrid->verticalHeader()->setDefaultSectionSize(DBGrid->fontMetrics().height() + 4);
    // The view orders only through DBGridTitleClick, so that a second click can bring the
    // catalogue order back (a sorting view would only flip between ascending and descending).
    DBGrid->setSortingEnabled(false);
    QHeaderView *titles = DBGrid->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    connect(titles, &QHeaderView::sectionClicked, this,
            [this](int column) { m_ctx.guard([&] { DBGridTitleClick(column); }); });

    // Widths in characters, as the catalogue's columns are measured, never narrower than
    // the title above them. The group column takes the rest of the width (14 characters and
    // more once the window is widened): at the first size all four show without scrolling.
    const int letter = DBGrid->fontMetrics().averageCharWidth();
    titles->setMinimumSectionSize(std::max(titles->minimumSectionSize(), 4 * letter));
    titles->setDefaultSectionSize(titles->minimumSectionSize());
    const auto widen = [&](int column, int characters) {
        DBGrid->setColumnWidth(column, std::max(characters * letter + 8, titles->sectionSizeHint(column)));
    };
    widen(Catalogue::Tk, 12);
    widen(Catalogue::Made, 9);
    widen(Catalogue::Down, 9);
    // The hidden hint column is the header's last section, so the group column is stretched
    // by name rather than as "the last one".
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(Catalogue::Note, QHeaderView::Stretch);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    m_statusText = new QLabel(StatusBar);
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setAlignment(Qt::AlignCenter);
    m_statusText->setMinimumWidth(0);
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar->addWidget(m_statusText, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DBGrid, 1);
    layout->addWidget(StatusBar);

    connect(DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { CdsAfterScroll(); });
    makeCurrent(0);
    resize(314, 350);
}

int TTkForm::CurrentRow() const
{
    const QModelIndex current = DBGrid->currentIndex();
    return current.isValid() ? m_order->mapToSource(current).row() : -1;
}

void TTkForm::CdsAfterScroll()
{
    const int row = CurrentRow();
    const QString hint = row < 0 ? QString() : Catalogue::Rows()[row].Hint;
    m_statusText->setText(hint);
    // The whole hint stays readable even when the window is narrower than the text.
    m_statusText->setToolTip(hint);
}

void TTkForm::makeCurrent(int catalogueRow)
{
    const QModelIndex at = m_order->mapFromSource(m_model->index(catalogueRow, Catalogue::Tk));
    DBGrid->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid->scrollTo(at);
}

QString TTkForm::HintOf(const QString &name)
{
    const int row = Catalogue::IndexOf(name);
    if (row < 0)
        return QString();
    makeCurrent(row);
    return Catalogue::Rows()[row].Hint;
}

void TTkForm::DBGridTitleClick(int column)
{
    if (column < 0 || column >= Catalogue::Hint)
        return;
    QHeaderView *titles = DBGrid->horizontalHeader();
    if (column == m_orderColumn) {
        m_orderColumn = -1;
        m_order->sort(-1);
        titles->setSortIndicatorShown(false);
    } else {
        m_orderColumn = column;
        m_order->sort(column, Qt::AscendingOrder);
        titles->setSortIndicator(column, Qt::AscendingOrder);
        titles->setSortIndicatorShown(true);
    }
    DBGrid->scrollTo(DBGrid->currentIndex());
}
