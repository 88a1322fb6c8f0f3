#pragma once
// Team matches: the club's list of announced, running and finished matches, the page where
// the user proposes a match with its eight players, and an invitation to accept. One window
// for the whole run, shown only by an incoming "R" line; never modal.

#include "MatchText.h"

#include <QDialog>

class Context;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QTableView;
class QTableWidget;

class TMatch : public QDialog
{
    Q_OBJECT
public:
    // The columns of the match table `Cds`, in order; `Id` is not shown.
    enum Column { Tab1, Tab2, Leo, Res, Dif, Status, Id, ColumnCount };

    explicit TMatch(Context &ctx);

    // The "R" handler: hides the window (declining an invitation on show), then fills the
    // list ("R0 <row> ...") or the invitation page ('R<k> <id> ...', k not 0) and shows it.
    void ReceiveMatches(QString &text);

    void cmNew();
    void cmRefresh();
    void cmDelete();
    void cmAccept();
    void cmClose();
    // Writes a nickname of the popup into the line-up cell being edited.
    void cmName(const QString &nick);
    void ProposeMatch();
    void AcceptInvitation();

    // The connection has ended: hide without a word to the club, and forget the invitation,
    // which the club has forgotten with the connection.
    void ConnectionEnded();

    qint32 InvitationId() const { return m_invitationId; }
    bool Editing() const { return m_editing; }
    int RowCount() const;
    TMatchRow Row(int row) const;
    // The current row of the list, -1 when none.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    // The line-up cells, [column - 1][row - 1], and one of them set as if typed.
    TLineUp LineUp() const;
    void SetCell(int col, int row, const QString &text);
    // The nicknames the popup offers, in order.
    QStringList NameItems() const;

    // Controls, named as the program names them.
    QStackedWidget *Page = nullptr;
    QWidget *TabAll = nullptr;
    QWidget *TabInvit = nullptr;
    QLabel *lbGrid = nullptr;
    QTableView *Grid = nullptr;
    QStandardItemModel *Cds = nullptr;
    QPushButton *btNew = nullptr;
    QPushButton *btRefresh = nullptr;
    QPushButton *btDelete = nullptr;
    QLabel *fdInvit = nullptr;
    QLabel *lbLeo = nullptr;
    QComboBox *fdLeo = nullptr;
    QLabel *lbTime = nullptr;
    QComboBox *fdTime = nullptr;
    QLabel *lbMin = nullptr;
    QLabel *lbSg = nullptr;
    QTableWidget *Sg = nullptr;
    QMenu *fdNames = nullptr;
    QPushButton *btAccept = nullptr;
    QPushButton *btClose = nullptr;

protected:
    void hideEvent(QHideEvent *event) override;
    void reject() override;

private:
    void FormCreate();
    void FormHide();
    void ShowMatchList(QString &text);
    void ShowInvitation(QString &text);
    void AppendRow(const TMatchRow &row);
    void CdsAfterScroll();
    void SetEditing(bool editing);
    void SelectPage(QWidget *page);

    Context &m_ctx;
    qint32 m_invitationId = 0;
    bool m_editing = false;
};
