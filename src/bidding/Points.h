#pragma once
// The announcement table: the catalogue's names with the points they earn and cost,
// ordered by a clicked column and back.

#include <QAbstractTableModel>
#include <QCollator>
#include <QSortFilterProxyModel>
#include <QWidget>

class Context;
class QLabel;
class QStatusBar;
class QTableView;

// The catalogue as a read-only table; the Hint column is there for the status bar and is
// never shown.
class TCatalogueModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
};

// Numbers order numerically, names and groups by Hungarian collation; rows that compare
// equal keep their catalogue order (the proxy sorts stably).
class TCatalogueOrder : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit TCatalogueOrder(QObject *parent = nullptr);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QCollator m_collator;
};

class TTkForm : public QWidget
{
    Q_OBJECT
public:
    explicit TTkForm(Context &ctx);

    // The explanation of `name` (exact match, no-break spaces included), or an empty text.
    // A match also makes that row the current one, shown or not.
    QString HintOf(const QString &name);

    // Orders by `column`, or back to catalogue order when it is already ordered by it.
    void DBGridTitleClick(int column);
    // The column the rows are ordered by, or -1 for catalogue order.
    int OrderColumn() const { return m_orderColumn; }
    // The catalogue row that is current, or -1.
    int CurrentRow() const;

    QTableView *DBGrid = nullptr;
    QStatusBar *StatusBar = nullptr;

private:
    void FormCreate();
    void CdsAfterScroll();
    void makeCurrent(int catalogueRow);

    Context &m_ctx;
    TCatalogueModel *m_model = nullptr;
    TCatalogueOrder *m_order = nullptr;
    QLabel *m_statusText = nullptr;
    int m_orderColumn = -1;
};
