#pragma once
// The main window: chat, lobby and room pages, the menu, and the spine that reads the
// club's lines and sends the user's.

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <QVector>
#include <array>
#include <functional>

class Context;
class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class ChatPane;
class QPushButton;
class QStackedWidget;
class ClickLabel;

// A room of the lobby snapshot with the nicknames present in it.
struct TRoom
{
    QString name;
    QStringList members;
    bool operator==(const TRoom &other) const = default;
};

class TFrame : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int ChatPruneAbove = 333;
    static constexpr int ChatPruneCount = 235;

    explicit TFrame(Context &ctx);
    ~TFrame() override;

    // Sends one line to the club (CR LF is added). Throws when there is no connection.
    void SendLine(const QString &text);
    // Appends ">>> subject text" to the chat pane, first pruning old lines when it is long.
    void LogLine(const QString &subject, const QString &text);
    // Appends a line to the chat pane as it stands (chat text, response times).
    void AppendChat(const QString &text);
    int ChatLineCount() const;

    void SetSessionEnabled(bool enabled);
    void SetPlaceMenus(bool inLobby);
    void HideGameWindows();
    void ClearLobbyLists();
    static QString EmptySeatText(int seat);

    void LinkConnected();
    void LinkDisconnected();
    void LinkLost();

    void cmConnect();
    void cmExit();
    void cmAbout();
    void cmContent();

    // Server lines of the lobby and the room.
    void LobbyLine(QString &arg);   // "L"
    void JoinLine(QString &arg);    // "J"
    void DealLine(QString &arg);    // "N"
    void SeatLine(QString &arg);    // "I"
    void EnterLine(QString &arg);   // "U"
    void QuitLine(QString &arg);    // "Q"
    void HostLine(QString &arg);    // "T"
    void ChatLine(QString &arg);    // "M"
    void PingLine(QString &arg);    // "?"
    void PongLine(QString &arg);    // "G"
    void UndoAskLine(QString &arg); // "V"

    // The user's commands of the lobby and the room.
    void cmMsg();
    void cmPrivate();
    void cmPing();
    void cmStat();
    void cmEnter();
    void cmLeave();
    void fdRoomsClick(int row);
    void cmSeat(int seat);
    void cmStand();
    void cmDisconn();
    void cmTable();
    void cmKibic();
    void cmNC();
    void cmSkip();
    void TakeSeat(int seat);

    // The rooms of the last lobby snapshot, in order, each with the people in it.
    QVector<TRoom> Rooms() const;
    // The selected entry of fdNicks, or empty text when none is selected.
    QString SelectedNick() const;

    // Where the help page is written before the browser opens it.
    static QString HelpPagePath();

    QString ownNick() const { return m_ownNick; }
    void setOwnNick(const QString &nick) { m_ownNick = nick; }
    int ownSeat() const { return m_ownSeat; }
    void setOwnSeat(int seat) { m_ownSeat = seat; }

    QLabel *statusPanel(int index) const { return m_status[index]; }
    ClickLabel *seatField(int seat) const { return m_seats[seat - 1]; }
    QAction *menuItem(const char *name) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void buildPages();
    void buildLobbyPage(QWidget *page);
    void buildRoomPage(QWidget *page);
    void buildMessageStrip(QWidget *strip);
    void buildChatArea(QWidget *area);
    void buildMenu();
    QMenu *addMenu(const char *name, const QString &caption);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut, std::function<void()> command);
    bool reachable(const QAction *action) const;
    void wireControls();
    void applyDeal(int deal, int played);
    void updateSeatDown();
    void clearNickSelection();
    std::array<QLabel *, 4> seatLabels() const;

    Context &m_ctx;
    // Menu items by object name, found once: the menus are built once and live as long as the
    // window, and the enabling after every line would otherwise search the whole window.
    mutable QHash<QByteArray, QAction *> m_menuItems;
    QString m_ownNick;
    int m_ownSeat = 0;
    bool m_shown = false;
    QStringList m_memberDesignItems;
    QElapsedTimer m_pingStart;

public:
    // Controls, named as the program names them.
    QStackedWidget *Page = nullptr;
    QWidget *TabLobby = nullptr;
    QWidget *TabRoom = nullptr;
    QLabel *lbLobby = nullptr;
    QListWidget *fdRooms = nullptr;
    QListWidget *fdMember = nullptr;
    QPushButton *btTable = nullptr;
    QWidget *RoomImage = nullptr;
    QLabel *fdDeal14 = nullptr;
    QLabel *fdDeal23 = nullptr;
    QLabel *lbDeal = nullptr;
    QLabel *lbMatch = nullptr;
    QLabel *lbSeatDown = nullptr;
    QComboBox *fdMsg = nullptr;
    ChatPane *fdMsgs = nullptr;
    QLabel *lbHost = nullptr;
    QListWidget *fdNicks = nullptr;

private:
    std::array<ClickLabel *, 4> m_seats{};
    std::array<QLabel *, 2> m_status{};
};
