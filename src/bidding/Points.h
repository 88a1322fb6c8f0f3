#pragma once
// The window of announcements with what they earn and cost, ordered by a clicked column.

#include <QWidget>

class Context;
class QLabel;
class QSortFilterProxyModel;
class QTableView;

class TTkForm : public QWidget
{
    Q_OBJECT
public:
    enum Column { Tk, Made, Down, Note, Hint, ColumnCount };

    explicit TTkForm(Context &ctx);

    // The explanation of an announcement by its exact name; a match becomes the current row.
    QString HintOf(const QString &name);
    // Orders by the column, or back to catalogue order when it already orders by it.
    void DBGridTitleClick(int column);
    // The catalogue row shown at view row `row`.
    int CatalogueRow(int row) const;
    int CurrentRow() const;

    QTableView *DBGrid = nullptr;
    QLabel *StatusPanel = nullptr;

private:
    void CdsAfterScroll();
    void setCurrent(int catalogueRow);

    Context &m_ctx;
    QSortFilterProxyModel *m_proxy = nullptr;
    int m_orderedBy = -1;
};
