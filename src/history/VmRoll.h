#pragma once
// The deal history: the deals the club sends on request, in a tree by board number, day
// and deal, with each deal's score breakdown, bidding and a card-by-card replay.

#include "HistoryIndex.h"
#include "bidding/VmList.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

class Context;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QTimer;
class TPlayView;

class TRollForm : public QWidget
{
    Q_OBJECT
public:
    // Where a deal's score breakdown or bidding stands.
    enum class TFetch { NotFetched, Requested, Known };

    explicit TRollForm(Context &ctx);
    ~TRollForm() override;

    // The "X" handler: the text after the letter.
    void ReceiveHistory(const QString &argument);

    // Shows the window on its first page (the main window's "Leosztások...").
    void cmRoll();
    // The six replay buttons, 1..6.
    void cmNavigator(int button);
    // The connection is gone: the window hides, its deals stay, and requests that got no
    // answer may go out again.
    void ConnectionEnded();

    // Set by the first reply and never cleared; the main window enables "Leosztások..." by it.
    bool HasDeals() const { return m_hasDeals; }

    // The deal the pages and the header show; null until the first deal arrives.
    const TBoard *CurrentBoard() const;
    TFetch ScoresState(const TBoard &board) const;
    TFetch BidsState(const TBoard &board) const;
    int DealCount() const { return int(m_deals.size()); }

    void ShowScore();
    void ShowBidding();
    void ShowReplay();

    // A request that got no answer (the club refused it with a notice) is sent again when
    // its page is shown after this long (ms).
    int retryAfterMs = 10000;

    QTabWidget *Page = nullptr;
    QWidget *TabHands = nullptr;
    QWidget *TabRoll = nullptr;
    QWidget *TabBid = nullptr;
    QWidget *TabPlay = nullptr;
    QTreeWidget *Tv = nullptr;
    QWidget *pnRoll = nullptr;
    QLabel *lbResult = nullptr;
    std::array<QLabel *, 4> PlayerLabels{}; // lbPlayer1 .. lbPlayer4
    QLabel *lbHdrSum = nullptr;
    QTableWidget *ScGrid = nullptr;
    QWidget *pnSum = nullptr;
    std::array<QLabel *, 4> lbSumm{}; // lbSumm0 .. lbSumm3
    QWidget *pnBids = nullptr;
    std::array<QLabel *, 4> Seats{}; // Seat1 .. Seat4
    QPlainTextEdit *Memo = nullptr;
    TPlayView *PlayView = nullptr;
    QToolBar *ToolBar = nullptr;
    std::array<QToolButton *, 6> ToolButtons{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TFetchState
    {
        TFetch state = TFetch::NotFetched;
        QElapsedTimer asked;
    };
    struct TStoredDeal
    {
        TStoredDeal(const QString &board, qint32 id) : Board(board, id) {}
        TBoard Board;
        TFetchState Scores;
        TFetchState Bids;
    };

    void buildTree();
    void buildScorePage();
    void buildBidPage();
    void buildPlayPage();
    void applyColumnWidths();
    void placeScoreLabels();

    void PageChange(int index);
    void TvChange(QTreeWidgetItem *item);
    TStoredDeal *dealOf(QTreeWidgetItem *item) const;
    TStoredDeal *storedOf(const TBoard &board) const;
    TStoredDeal *storeRecord(const QString &board, qint32 id, QString rest);
    void showHeader();
    void setMemo(const QStringList &lines);
    void appendNode(QTreeWidgetItem *parent, QTreeWidgetItem *node);
    void selectLater(TStoredDeal *deal);
    void flushTree();
    // Sends the request once; again only after retryAfterMs without an answer.
    bool request(TFetchState &fetch, char code);

    Context &m_ctx;
    bool m_hasDeals = false;
    int m_tabWidth = 82; // the page control's tab width; the tree's columns follow it
    THistoryIndex m_index;
    std::vector<std::unique_ptr<TStoredDeal>> m_deals; // by the index's deal numbers
    std::vector<QTreeWidgetItem *> m_boardNodes;        // by board group
    std::vector<QTreeWidgetItem *> m_dayNodes;          // by day group
    TStoredDeal *m_current = nullptr;
    // New nodes and the deal to select wait until a burst of records is over.
    static constexpr int QuietMs = 30;
    static constexpr int MaxHoldMs = 250;
    QList<QTreeWidgetItem *> m_newTop;
    QList<QTreeWidgetItem *> m_newParents; // nodes in the tree that get new children
    QHash<QTreeWidgetItem *, QList<QTreeWidgetItem *>> m_newChildren;
    TStoredDeal *m_pendingSelect = nullptr;
    QTimer *m_flushTimer = nullptr;
    QElapsedTimer m_holding;
};
