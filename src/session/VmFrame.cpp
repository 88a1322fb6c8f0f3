#include "VmFrame.h"

#include "ChatPane.h"
#include "ClickLabel.h"
#include "Link.h"
#include "VmConnect.h"
#include "app/Context.h"
#include "app/Dialogs.h"
#include "bidding/Points.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "cards/VmKibic.h"
#include "history/VmMatch.h"
#include "history/VmRoll.h"
#include "history/VmSeen.h"
#include "app/Caption.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int PageHeight = 185;
constexpr int StripHeight = 40;
constexpr int NickPanelWidth = 92;

const QStringList kReadyPhrases = {
    QStringLiteral("Sziasztok!"),
    QStringLiteral("Szép volt partner!"),
    QStringLiteral("Bravó! Szép licit, jó eredmény.!"),
    QStringLiteral("Ez az utolsó leosztás, azután mennem kell."),
    QStringLiteral("Köszönöm a játékot. Sziasztok!"),
    QStringLiteral("Mindjárt visszajövök!"),
    QStringLiteral("Lehetne egy kicsit gyorsabban! :-)"),
    QStringLiteral("Piszok nagy mázli volt!"),
    QStringLiteral("Sajnálom, én tévedtem   :-("),
    QStringLiteral("Ilyet még a legöregebb tengerészek sem láttak!"),
    QStringLiteral("Ne ingereljük a fenvadat!"),
};

QLabel *plainLabel(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The room page's picture: a green card table seen from above, with the four seat
// fields, their captions and the two side labels placed around it.
class RoomTable : public QWidget
{
public:
    explicit RoomTable(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("RoomImage"));
        setMinimumSize(330, PageHeight - 8);
    }

    std::array<ClickLabel *, 4> seats{};
    std::array<QLabel *, 4> captions{};
    QLabel *deal14 = nullptr;
    QLabel *deal23 = nullptr;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        // The room's floor: a dark backdrop that the light captions read against.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x3b, 0x44));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        const QRectF table = tableRect();
        p.setBrush(QColor(0x6b, 0x42, 0x1f));
        p.drawRoundedRect(table.adjusted(-6, -6, 6, 6), 34, 34);
        QRadialGradient felt(table.center(), table.width() / 1.6);
        felt.setColorAt(0, QColor(0x2e, 0x9a, 0x4a));
        felt.setColorAt(1, QColor(0x16, 0x6b, 0x2f));
        p.setBrush(felt);
        p.drawRoundedRect(table, 28, 28);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(table.adjusted(10, 10, -10, -10), 20, 20);
    }

    void resizeEvent(QResizeEvent *) override { place(); }

private:
    static constexpr int FieldH = 20;
    static constexpr int CaptionH = 15;
    static constexpr int SideW = 96; // seats 2 and 4

    QRectF tableRect() const
    {
        return QRectF(SideW / 2 + 14, CaptionH + FieldH / 2 + 2, width() - SideW - 28,
                      height() - 2 * (CaptionH + FieldH / 2 + 2));
    }

    void place()
    {
        const int w = width(), h = height();
        const int fw = 120;
        const int cx = w / 2, cy = h / 2;
        // Seat 1 at the bottom, 2 on the right, 3 at the top, 4 on the left; each caption
        // sits on the side away from the table's middle.
        const QRect field[4] = {
            QRect(cx - fw / 2, h - CaptionH - FieldH - 2, fw, FieldH),
            QRect(w - SideW - 4, cy - FieldH / 2 + 6, SideW, FieldH),
            QRect(cx - fw / 2, CaptionH + 2, fw, FieldH),
            QRect(4, cy - FieldH / 2 + 6, SideW, FieldH),
        };
        const QRect caption[4] = {
            QRect(cx - fw / 2, h - CaptionH - 1, fw, CaptionH),           // under seat 1
            QRect(w - SideW - 4, cy - FieldH / 2 - CaptionH + 4, SideW, CaptionH), // over seat 2
            QRect(cx - fw / 2, 1, fw, CaptionH),                          // over seat 3
            QRect(4, cy - FieldH / 2 - CaptionH + 4, SideW, CaptionH),    // over seat 4
        };
        for (int i = 0; i < 4; ++i) {
            if (seats[i])
                seats[i]->setGeometry(field[i]);
            if (captions[i]) {
                captions[i]->setGeometry(caption[i]);
                captions[i]->setAlignment(Qt::AlignCenter);
            }
        }
        // The side labels lie on the felt between the seats of each side.
        const QRectF t = tableRect();
        if (deal14)
            deal14->setGeometry(int(t.left()) + 30, int(t.bottom()) - 40, 90, 18);
        if (deal23)
            deal23->setGeometry(int(t.right()) - 120, int(t.top()) + 22, 90, 18);
        if (deal23)
            deal23->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
};

} // namespace

TFrame::TFrame(Context &ctx) : QMainWindow(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TFrame"));
    setWindowTitle(QStringLiteral("Vimo Tarokk"));
    resize(560, 520);
    buildPages();
    buildMenu();
    wireControls();
    FormCreate();
}

TFrame::~TFrame()
{
    ClearLobbyLists();
}

void TFrame::buildPages()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Page = new QStackedWidget(central);
    Page->setObjectName(QStringLiteral("Page"));
    Page->setFixedHeight(PageHeight);
    TabLobby = new QWidget(Page);
    TabLobby->setObjectName(QStringLiteral("TabLobby"));
    TabRoom = new QWidget(Page);
    TabRoom->setObjectName(QStringLiteral("TabRoom"));
    Page->addWidget(TabLobby);
    Page->addWidget(TabRoom);
    buildLobbyPage(TabLobby);
    buildRoomPage(TabRoom);

    auto *strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("pnMsg"));
    strip->setFixedHeight(StripHeight);
    buildMessageStrip(strip);

    auto *info = new QWidget(central);
    info->setObjectName(QStringLiteral("pnInfo"));
    buildChatArea(info);

    column->addWidget(Page);
    column->addWidget(strip);
    column->addWidget(info, 1);
    setCentralWidget(central);

    auto *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    m_status[0] = plainLabel(QStringLiteral("Bejelentkezés"), bar, "StatusPanel0");
    m_status[0]->setFixedWidth(128);
    m_status[1] = plainLabel(QStringLiteral("Nincs kapcsolat"), bar, "StatusPanel1");
    for (QLabel *panel : m_status) {
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    bar->addWidget(m_status[0]);
    bar->addWidget(m_status[1], 1);
}

void TFrame::buildLobbyPage(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(3);

    lbLobby = plainLabel(QStringLiteral("A társalgó kivételével bármelyik teremben lehet játszani"),
                         page, "lbLobby");
    lbLobby->setWordWrap(true);
    lbLobby->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));

    auto *lbRooms = plainLabel(QStringLiteral("&Termek"), page, "lbRooms");
    lbRooms->setTextFormat(Qt::AutoText); // keeps the & as the access key
    fdRooms = new QListWidget(page);
    fdRooms->setObjectName(QStringLiteral("fdRooms"));
    lbRooms->setBuddy(fdRooms);

    auto *lbMember = plainLabel(QStringLiteral("&Játékosok"), page, "lbMember");
    lbMember->setTextFormat(Qt::AutoText);
    fdMember = new QListWidget(page);
    fdMember->setObjectName(QStringLiteral("fdMember"));
    lbMember->setBuddy(fdMember);

    btTable = new QPushButton(QStringLiteral("Új terem"), page);
    btTable->setObjectName(QStringLiteral("btTable"));

    grid->addWidget(lbRooms, 0, 0);
    grid->addWidget(lbMember, 0, 1);
    grid->addWidget(fdRooms, 1, 0, 2, 1);
    grid->addWidget(fdMember, 1, 1, 2, 1);
    grid->addWidget(lbLobby, 1, 2);
    grid->addWidget(btTable, 2, 2, Qt::AlignBottom);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
}

void TFrame::buildRoomPage(QWidget *page)
{
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(4, 4, 8, 4);
    auto *table = new RoomTable(page);
    RoomImage = table;

    static const char *const seatNames[4] = {"fdPlayer1", "fdPlayer2", "fdPlayer3", "fdPlayer4"};
    static const char *const captionNames[4] = {"lbPlayer1", "lbPlayer2", "lbPlayer3", "lbPlayer4"};
    const QString captionTexts[4] = {QStringLiteral("<< Induló"), QStringLiteral(" Elfogó >>"),
                                     QStringLiteral(" Induló >>"), QStringLiteral("<< Elfogó")};
    for (int i = 0; i < 4; ++i) {
        auto *seat = new ClickLabel(EmptySeatText(i + 1), table);
        seat->setObjectName(QString::fromLatin1(seatNames[i]));
        seat->setTextFormat(Qt::PlainText);
        seat->setAlignment(Qt::AlignCenter);
        seat->setCursor(Qt::PointingHandCursor);
        seat->setStyleSheet(QStringLiteral(
            "color: white; font-weight: bold; background: rgba(0,0,0,70); border-radius: 4px;"));
        m_seats[i] = seat;
        table->seats[i] = seat;
        auto *caption = plainLabel(captionTexts[i], table, captionNames[i]);
        caption->setStyleSheet(QStringLiteral("color: #f0f0d0;"));
        table->captions[i] = caption;
    }
    fdDeal14 = plainLabel(QStringLiteral("Támadók"), table, "fdDeal14");
    fdDeal23 = plainLabel(QStringLiteral("Védők"), table, "fdDeal23");
    for (QLabel *side : {fdDeal14, fdDeal23})
        side->setStyleSheet(QStringLiteral("color: #ffe680; font-style: italic;"));
    table->deal14 = fdDeal14;
    table->deal23 = fdDeal23;

    auto *side = new QVBoxLayout;
    auto *dealRow = new QHBoxLayout;
    dealRow->addWidget(plainLabel(QStringLiteral("Leosztás:"), page));
    lbDeal = plainLabel(QStringLiteral("0"), page, "lbDeal");
    lbDeal->setToolTip(QStringLiteral("Leosztás azonosítószáma"));
    dealRow->addWidget(lbDeal, 1);
    auto *matchRow = new QHBoxLayout;
    matchRow->addWidget(plainLabel(QStringLiteral("Lejátszott:"), page));
    lbMatch = plainLabel(QStringLiteral("0"), page, "lbMatch");
    lbMatch->setToolTip(QStringLiteral("Lejátszott leosztások száma"));
    matchRow->addWidget(lbMatch, 1);
    for (QLabel *number : {lbDeal, lbMatch}) {
        number->setStyleSheet(QStringLiteral("font-weight: bold;"));
        // Room for a six-digit number from the start: the window must not grow with the
        // deal number and push into the windows placed beside it.
        QFont bold = number->font();
        bold.setBold(true);
        number->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("999999")));
    }
    lbSeatDown = plainLabel(QStringLiteral("Ha le akarsz ülni kattints egy üres helyre!"), page,
                            "lbSeatDown");
    lbSeatDown->setWordWrap(true);
    lbSeatDown->setStyleSheet(QStringLiteral("color: #c00000; font-style: italic;"));
    lbSeatDown->setVisible(false);
    side->addLayout(dealRow);
    side->addLayout(matchRow);
    side->addSpacing(8);
    side->addWidget(lbSeatDown);
    side->addStretch(1);

    row->addWidget(table, 3);
    row->addLayout(side, 1);
}

void TFrame::buildMessageStrip(QWidget *strip)
{
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 4, 8, 4);
    auto *lbMsg = new QLabel(QStringLiteral("Ü&zenet"), strip);
    lbMsg->setObjectName(QStringLiteral("lbMsg"));
    fdMsg = new QComboBox(strip);
    fdMsg->setObjectName(QStringLiteral("fdMsg"));
    fdMsg->setEditable(true);
    fdMsg->setInsertPolicy(QComboBox::NoInsert);
    fdMsg->addItems(kReadyPhrases);
    fdMsg->setCurrentIndex(-1);
    fdMsg->setEditText(QString());
    fdMsg->setToolTip(QStringLiteral("Üzenet szövege.  ENTER elküldi."));
    fdMsg->setMaxVisibleItems(kReadyPhrases.size());
    lbMsg->setBuddy(fdMsg);
    row->addWidget(lbMsg);
    row->addWidget(fdMsg, 1);
}

void TFrame::buildChatArea(QWidget *area)
{
    auto *row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    fdMsgs = new ChatPane(area);
    fdMsgs->setObjectName(QStringLiteral("fdMsgs"));

    auto *nick = new QWidget(area);
    nick->setObjectName(QStringLiteral("pnNick"));
    nick->setFixedWidth(NickPanelWidth);
    auto *column = new QVBoxLayout(nick);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    lbHost = plainLabel(QStringLiteral("Társalgó"), nick, "lbHost");
    QFont hostFont = lbHost->font();
    hostFont.setBold(true);
    hostFont.setPointSize(10);
    lbHost->setFont(hostFont);
    lbHost->setStyleSheet(QStringLiteral("color: #d00000;"));
    auto *lbNicks = new QLabel(QStringLiteral("&Jelenlévők"), nick);
    lbNicks->setObjectName(QStringLiteral("lbNicks"));
    fdNicks = new QListWidget(nick);
    fdNicks->setObjectName(QStringLiteral("fdNicks"));
    lbNicks->setBuddy(fdNicks);
    column->addWidget(lbHost);
    column->addWidget(lbNicks);
    column->addWidget(fdNicks, 1);

    row->addWidget(fdMsgs, 1);
    row->addWidget(nick);
}

QMenu *TFrame::addMenu(const char *name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

bool TFrame::reachable(const QAction *action) const
{
    // A shortcut must not run a command whose menu is switched off.
    if (!action->isEnabled())
        return false;
    for (const QObject *o = action->parent(); o; o = o->parent())
        if (const auto *menu = qobject_cast<const QMenu *>(o))
            if (!menu->menuAction()->isEnabled())
                return false;
    return true;
}

QAction *TFrame::addItem(QMenu *menu, const char *name, const QString &caption,
                         const QKeySequence &shortcut, std::function<void()> command)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, action, command = std::move(command)] {
        if (command && reachable(action))
            m_ctx.guard(command);
    });
    return action;
}

QAction *TFrame::menuItem(const char *name) const
{
    const QByteArray key(name);
    if (QAction *known = m_menuItems.value(key))
        return known;
    QAction *found = findChild<QAction *>(QString::fromLatin1(name));
    if (found)
        m_menuItems.insert(key, found);
    return found;
}

void TFrame::buildMenu()
{
    menuBar()->setObjectName(QStringLiteral("Menu"));
    const auto none = QKeySequence();
    const auto ctrl = [](char key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    QMenu *environ = addMenu("mnEnviron", QStringLiteral("Külvilág"));
    addItem(environ, "mnConnect", QStringLiteral("&Csatlakozás"), none, [this] { cmConnect(); });
    addItem(environ, "mnPassw", QStringLiteral("&Jelszócsere..."), none, [this] { m_ctx.connect->ChangePassword(); });
    environ->addSeparator();
    addItem(environ, "mnExit", QStringLiteral("Kilépés"), none, [this] { cmExit(); });

    QMenu *msgs = addMenu("mnMsgs", QStringLiteral("&Üzenetek"));
    addItem(msgs, "mnMsg", QStringLiteral("&Elküld (mindenkinek)"), ctrl('M'), [this] { cmMsg(); });
    addItem(msgs, "mnPrivate", QStringLiteral("&Privát (csak egynek)"), ctrl('P'), [this] { cmPrivate(); });
    msgs->addSeparator();
    addItem(msgs, "mnPing", QStringLiteral("&Válaszidő"), ctrl('I'), [this] { cmPing(); });
    addItem(msgs, "mnLog", QStringLiteral("&Közhír"), none, [this] { SendLine(QStringLiteral("Y")); });
    addItem(msgs, "mnStat", QStringLiteral("&Személyes adatok..."), none, [this] { cmStat(); });

    QMenu *room = addMenu("mnRoom", QStringLiteral("&Terem"));
    addItem(room, "mnEnter", QStringLiteral("&Belépés a terembe"), none, [this] { cmEnter(); });
    addItem(room, "mnLeave", QStringLiteral("&Vissza a társalgóba"), none, [this] { cmLeave(); });
    room->addSeparator();
    QMenu *seats = room->addMenu(QStringLiteral("&Leül"));
    seats->setObjectName(QStringLiteral("mnSeats"));
    seats->menuAction()->setObjectName(QStringLiteral("mnSeats"));
    addItem(seats, "mnSeat1", QStringLiteral("&1. << Induló"), none, [this] { cmSeat(1); });
    addItem(seats, "mnSeat2", QStringLiteral("&2. << Elfogó"), none, [this] { cmSeat(2); });
    addItem(seats, "mnSeat3", QStringLiteral("&3. Induló >>"), none, [this] { cmSeat(3); });
    addItem(seats, "mnSeat4", QStringLiteral("&4. Elfogó >>"), none, [this] { cmSeat(4); });
    addItem(room, "mnStand", QStringLiteral("&Feláll"), ctrl('F'), [this] { cmStand(); });
    addItem(room, "mnDisc", QStringLiteral("&Eltávolít..."), none, [this] { cmDisconn(); });
    room->addSeparator();
    addItem(room, "mnTable", QStringLiteral("Új &terem"), ctrl('T'), [this] { cmTable(); });

    QMenu *view = addMenu("mnView", QStringLiteral("Nézet"));
    addItem(view, "mnBids", QStringLiteral("&Licitek..."), none, [this] { m_ctx.list->show(); });
    addItem(view, "mnRoll", QStringLiteral("L&eosztások..."), none, [this] { m_ctx.roll->cmRoll(); });
    addItem(view, "mnDay", QStringLiteral("K&orábbi leosztások..."), none, [this] { TSeen::DayQuery(m_ctx); });
    addItem(view, "mnPoint", QStringLiteral("&Pontok..."), none, [this] {
        m_ctx.tk->show();
        m_ctx.tk->raise();
    });
    view->addSeparator();
    QAction *kibic = addItem(view, "mnKibic", QStringLiteral("&Kibic"), ctrl('K'), [this] { cmKibic(); });
    kibic->setCheckable(true);
    addItem(view, "mnSetup", QStringLiteral("&Beállítások..."), none, [this] { m_ctx.connect->ShowSetup(); });

    QMenu *play = addMenu("mnPlay", QStringLiteral("&Játék"));
    addItem(play, "mnUndo", QStringLiteral("&Visszavon"), ctrl('U'), [this] { m_ctx.desk->cmUndo(); });
    addItem(play, "mnPrev", QStringLiteral("&Előző ütés"), ctrl('E'), [this] { m_ctx.desk->cmPrev(); });
    play->addSeparator();
    addItem(play, "mnNC", QStringLiteral("Versenyen &kívül"), none, [this] { cmNC(); });
    addItem(play, "mnSkip", QStringLiteral("Új &osztás"), ctrl('O'), [this] { cmSkip(); });
    play->addSeparator();
    addItem(play, "mnMatch", QStringLiteral("&Mérkőzések..."), none,
            [this] { SendLine(QStringLiteral("R")); });

    QMenu *help = addMenu("mnHelp", QStringLiteral("&Súgó"));
    addItem(help, "mnContent", QStringLiteral("&Tartalom"), none, [this] { cmContent(); });
    help->addSeparator();
    addItem(help, "mnAbout", QStringLiteral("&Névjegy"), none, [this] { cmAbout(); });
}

void TFrame::FormCreate()
{
    Page->setCurrentWidget(TabLobby);
    for (int i = 0; i < fdMember->count(); ++i)
        m_memberDesignItems << fdMember->item(i)->text();
}

void TFrame::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrame::FormShow()
{
    LogLine(QStringLiteral("  Vimo Tarokk  "), QString::fromUtf8(Context::Version));
    m_ctx.desk->SetSeatFields({m_seats[0], m_seats[1], m_seats[2], m_seats[3]});
    SetSessionEnabled(false);
    m_ctx.guard([this] { m_ctx.connect->LoadSettings(); });
    // The login page waits a turn of the event loop, so that the main window is on the screen
    // behind it rather than still unmapped while the modal page runs.
    QTimer::singleShot(0, this, [this] { m_ctx.guard([this] { m_ctx.connect->ShowLogin(); }); });
}

void TFrame::SendLine(const QString &text)
{
    m_ctx.link().sendLine(text);
}

int TFrame::ChatLineCount() const
{
    return fdMsgs->lineCount();
}

void TFrame::AppendChat(const QString &text)
{
    fdMsgs->appendLine(text);
}

void TFrame::LogLine(const QString &subject, const QString &text)
{
    if (ChatLineCount() > ChatPruneAbove)
        fdMsgs->removeFirst(ChatPruneCount);
    AppendChat(QStringLiteral(">>> ") + subject + QLatin1Char(' ') + text);
}

void TFrame::SetSessionEnabled(bool enabled)
{
    fdRooms->setEnabled(enabled);
    fdMsg->setEnabled(enabled);
    for (const char *name : {"mnMsgs", "mnRoom", "mnView", "mnPlay"})
        findChild<QMenu *>(QString::fromLatin1(name))->menuAction()->setEnabled(enabled);
    btTable->setEnabled(enabled);
    menuItem("mnPassw")->setEnabled(enabled);
}

void TFrame::SetPlaceMenus(bool inLobby)
{
    SetSessionEnabled(true);
    menuItem("mnEnter")->setEnabled(inLobby);
    menuItem("mnTable")->setEnabled(inLobby);
    for (const char *name : {"mnLeave", "mnSeats", "mnStand", "mnKibic"})
        menuItem(name)->setEnabled(!inLobby);
    menuItem("mnRoll")->setEnabled(m_ctx.roll->HasDeals());
    for (const char *name : {"mnBids", "mnUndo", "mnPrev", "mnNC", "mnSkip"})
        menuItem(name)->setEnabled(false);
}

void TFrame::HideGameWindows()
{
    m_ctx.kibic->SetKibic(false);
    menuItem("mnKibic")->setChecked(false);
    m_ctx.kibic->hide();
    m_ctx.bid->hide();
    m_ctx.card->hide();
    m_ctx.desk->hide();
    m_ctx.list->hide();
}

void TFrame::ClearLobbyLists()
{
    // The room entries carry their member lists as item data; clearing frees them.
    fdMember->clear();
    fdMember->addItems(m_memberDesignItems);
    fdRooms->clear();
    fdNicks->clear();
}

QString TFrame::EmptySeatText(int seat)
{
    // Each placeholder differs so that a field can be tested for "free" against its own.
    switch (seat) {
    case 1: return QStringLiteral("- - -  ");
    case 2: return QStringLiteral(" - - - ");
    case 3: return QStringLiteral("- - - ");
    case 4: return QStringLiteral(" - - -");
    default: return QString();
    }
}

void TFrame::LinkConnected()
{
    m_status[0]->setText(m_ownNick);
    m_status[1]->setText(QStringLiteral("Kapcsolat építés: ") + m_ctx.connect->ServerText());
}

void TFrame::LinkDisconnected()
{
    m_status[0]->clear();
    m_status[1]->setText(QStringLiteral("Nincs kapcsolat"));
    Page->setCurrentWidget(TabLobby);
    HideGameWindows();
    m_ctx.roll->ConnectionEnded();
    m_ctx.match->ConnectionEnded();
    m_ctx.tk->hide();
    ClearLobbyLists();
    SetSessionEnabled(false);
}

void TFrame::LinkLost()
{
    LogLine(QStringLiteral("A"), QStringLiteral("kapcsolat mexakadt"));
    // The history hides; its deals stay, and what was asked for and not answered may be asked again.
    m_ctx.roll->ConnectionEnded();
    m_ctx.match->ConnectionEnded();
}

void TFrame::cmConnect()
{
    AppendChat(QStringLiteral("- - -"));
    AppendChat(QString());
    m_ctx.connect->ShowLogin();
}

void TFrame::cmExit()
{
    close();
}

void TFrame::closeEvent(QCloseEvent *event)
{
    bool close = true;
    m_ctx.guard([&] {
        if (m_ctx.connect->ExitQuestion())
            close = m_ctx.dialogs().askYesNo(QStringLiteral("Valóban elhagyod a klubbot?"));
    });
    if (!close) {
        event->ignore();
        return;
    }
    m_ctx.link().close();
    // Closing an open connection hides the game windows, but one the club has ended does
    // not; and the member forms, the matches and the history stay up either way. Any window
    // left on the screen would keep the program running with no main window to end it.
    HideGameWindows();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    event->accept();
}

void TFrame::cmAbout()
{
    m_ctx.dialogs().message(QStringLiteral("      Vimo tarokk         \n\r   ")
                            + QString::fromUtf8(Context::Version));
}

QString TFrame::HelpPagePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("vimo-tarokk-sugo.html"));
}

void TFrame::cmContent()
{
    // The page ships inside the program; the browser gets a copy on disk.
    QFile source(QStringLiteral(":/help/sugo.html"));
    if (!source.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("A súgó nem található a programban."));
    const QString path = HelpPagePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 || !target.commit())
        Fail(QStringLiteral("A súgó nem írható ki ide: %1").arg(path));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        Fail(QStringLiteral("A súgó nem nyitható meg. A lap itt található: %1").arg(path));
}

// ---------------------------------------------------------------------------------------
// Lobby, rooms, seats and chat

namespace {

constexpr int MembersRole = Qt::UserRole;

// Runs a command when Return or Enter is pressed in the watched widgets and swallows the
// key: the line edit of an editable combo box would otherwise hand it on to the combo box,
// which gives it back to the line edit, and the message would go out twice.
class ReturnKeyFilter : public QObject
{
public:
    ReturnKeyFilter(QObject *parent, std::function<void()> command)
        : QObject(parent), m_command(std::move(command))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_command();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_command;
};

QString seatError(int seat)
{
    return QStringLiteral("Érvénytelen ülőhely: %1").arg(seat);
}

} // namespace

void TFrame::wireControls()
{
    auto *enter = new ReturnKeyFilter(fdMsg, [this] { m_ctx.guard([this] { cmMsg(); }); });
    fdMsg->installEventFilter(enter);
    fdMsg->lineEdit()->installEventFilter(enter);
    connect(fdNicks, &QListWidget::itemDoubleClicked, this,
            [this] { m_ctx.guard([this] { cmPrivate(); }); });
    connect(fdRooms, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_ctx.guard([this, item] { fdRoomsClick(fdRooms->row(item)); });
    });
    connect(fdRooms, &QListWidget::itemDoubleClicked, this,
            [this] { m_ctx.guard([this] { cmEnter(); }); });
    connect(btTable, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmTable(); }); });
    for (int seat = 1; seat <= 4; ++seat)
        connect(seatField(seat), &ClickLabel::clicked, this,
                [this, seat] { m_ctx.guard([this, seat] { cmSeat(seat); }); });
}

std::array<QLabel *, 4> TFrame::seatLabels() const
{
    return {m_seats[0], m_seats[1], m_seats[2], m_seats[3]};
}

QVector<TRoom> TFrame::Rooms() const
{
    QVector<TRoom> rooms;
    rooms.reserve(fdRooms->count());
    for (int i = 0; i < fdRooms->count(); ++i) {
        const QListWidgetItem *item = fdRooms->item(i);
        rooms.append({item->text(), item->data(MembersRole).toStringList()});
    }
    return rooms;
}

QString TFrame::SelectedNick() const
{
    const QList<QListWidgetItem *> selected = fdNicks->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void TFrame::clearNickSelection()
{
    fdNicks->clearSelection();
    fdNicks->setCurrentItem(nullptr);
}

void TFrame::updateSeatDown()
{
    bool anyFree = false;
    for (int seat = 1; seat <= 4; ++seat)
        anyFree = anyFree || seatField(seat)->text() == EmptySeatText(seat);
    lbSeatDown->setVisible(m_ownSeat == 0 && anyFree);
}

void TFrame::LobbyLine(QString &arg)
{
    if (arg.isEmpty()) {
        HideGameWindows();
        return;
    }
    // The whole snapshot is read before anything on screen changes, so that a broken line
    // leaves the previous lists as they were rather than half replaced.
    const int count = NextInt(arg);
    if (count <= 0)
        Fail(QStringLiteral("Hibás teremlista: nincs benne terem"));
    QVector<TRoom> rooms;
    for (int r = 0; r < count; ++r) {
        TRoom room;
        room.name = NextWord(arg);
        if (room.name.isEmpty())
            Fail(QStringLiteral("Hibás teremlista: kevesebb terem van benne, mint %1").arg(count));
        const int members = NextInt(arg);
        if (members < 0)
            Fail(QStringLiteral("Hibás teremlista: %1 létszáma %2")
                     .arg(ShortQuote(room.name), QString::number(members)));
        for (int m = 0; m < members; ++m) {
            const QString nick = NextWord(arg);
            if (nick.isEmpty())
                Fail(QStringLiteral("Hibás teremlista: %1 névsora rövidebb %2 névnél")
                         .arg(ShortQuote(room.name), QString::number(members)));
            room.members << nick;
        }
        rooms << room;
    }

    Page->setCurrentWidget(TabLobby);
    ClearLobbyLists();
    for (const TRoom &room : std::as_const(rooms)) {
        auto *item = new QListWidgetItem(room.name, fdRooms);
        item->setData(MembersRole, room.members);
    }
    const TRoom &lobby = rooms.first();
    if (!lobby.members.isEmpty())
        fdNicks->addItems(lobby.members);
    else
        m_status[1]->setText(m_ctx.connect->ServerText());
    lbHost->setText(lobby.name);
    fdRooms->setCurrentRow(0);
    SetPlaceMenus(true);
}

void TFrame::applyDeal(int deal, int played)
{
    // A new deal, or another room's: the last trick and the last bid text are of the deal
    // before, and must not be shown as "Előző ütés" nor hold the first bid back.
    m_ctx.desk->NewDeal();
    m_ctx.bid->NewDeal();
    fdDeal14->setText(QStringLiteral("Támadók"));
    fdDeal23->setText(QStringLiteral("Támadók"));
    (deal % 2 != 0 ? fdDeal23 : fdDeal14)->setText(QStringLiteral("Védők"));
    lbDeal->setText(QString::number(deal));
    lbMatch->setText(QString::number(played));
    if (m_ctx.kibic->Kibic()) {
        m_ctx.kibic->KibicSetBoard(lbDeal->text());
        m_ctx.kibic->setWindowTitle(PlainCaption(QStringLiteral("Kibic ") + m_ownNick));
        SendLine(QStringLiteral("H0"));
    }
}

void TFrame::DealLine(QString &arg)
{
    const int deal = NextInt(arg);
    const int played = NextInt(arg);
    applyDeal(deal, played);
}

void TFrame::JoinLine(QString &arg)
{
    // Read everything first: a bad seat number must not leave the room half drawn.
    const QString roomName = NextWord(arg);
    const int deal = NextInt(arg);
    const int played = NextInt(arg);
    struct Present
    {
        QString nick;
        int seat;
    };
    QVector<Present> present;
    while (arg.size() > 3) {
        Present p;
        p.nick = NextWord(arg);
        p.seat = NextInt(arg);
        if (p.seat < 0 || p.seat > 4)
            Fail(seatError(p.seat));
        present << p;
    }

    Page->setCurrentWidget(TabRoom);
    lbHost->setText(roomName);
    fdNicks->clear();
    for (int seat = 1; seat <= 4; ++seat)
        seatField(seat)->setText(EmptySeatText(seat));
    // A seat remembered from the previous room would wrongly refuse spectating and
    // sitting down here; the line lists the user when seated.
    m_ownSeat = 0;
    applyDeal(deal, played);
    for (const Present &p : std::as_const(present)) {
        fdNicks->addItem(p.nick);
        if (p.nick == m_ownNick)
            m_ownSeat = p.seat;
        if (p.seat >= 1)
            seatField(p.seat)->setText(p.nick);
    }
    SetPlaceMenus(false);
    menuItem("mnUndo")->setEnabled(m_ownSeat > 0);
    menuItem("mnPrev")->setEnabled(m_ownSeat > 0);
    updateSeatDown();
    // A spectator who moves to another room must not watch under the old room's names.
    if (m_ctx.kibic->Kibic())
        m_ctx.kibic->KibicSetNames(seatLabels());
}

void TFrame::SeatLine(QString &arg)
{
    const QString nick = NextWord(arg);
    const int seat = NextInt(arg);
    if (seat < 0 || seat > 4)
        Fail(seatError(seat));
    if (nick == m_ownNick)
        m_ownSeat = seat;
    // Taking back a move and looking at the last trick are a seated player's business.
    menuItem("mnUndo")->setEnabled(m_ownSeat > 0);
    menuItem("mnPrev")->setEnabled(m_ownSeat > 0);

    QString verb;
    if (seat != 0) {
        verb = QStringLiteral("leült");
        // One person holds one seat: a move without standing up first leaves no ghost.
        for (int s = 1; s <= 4; ++s)
            if (s != seat && seatField(s)->text() == nick)
                seatField(s)->setText(EmptySeatText(s));
        seatField(seat)->setText(nick);
        if (m_ctx.connect->Trace() && seat == m_ownSeat) {
            const int left = 240 * (seat - 1);
            const int right = 240 * seat + 125;
            for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_ctx.card)})
                w->move(left, w->y());
            for (QWidget *w : {static_cast<QWidget *>(m_ctx.bid), static_cast<QWidget *>(m_ctx.list),
                               static_cast<QWidget *>(m_ctx.desk)})
                w->move(right, w->y());
        }
    } else {
        verb = QStringLiteral("felállt");
        if (m_ownSeat == 0) {
            m_ctx.bid->hide();
            m_ctx.card->hide();
        }
        for (int s = 1; s <= 4; ++s)
            if (seatField(s)->text() == nick)
                seatField(s)->setText(EmptySeatText(s));
    }
    LogLine(nick, verb);
    updateSeatDown();
    if (m_ctx.kibic->Kibic())
        m_ctx.kibic->KibicSetNames(seatLabels());
}

void TFrame::EnterLine(QString &arg)
{
    const QString nick = NextWord(arg);
    fdNicks->addItem(nick);
    LogLine(nick, QStringLiteral("belépett"));
}

void TFrame::QuitLine(QString &arg)
{
    const QString nick = NextWord(arg);
    const QList<QListWidgetItem *> found = fdNicks->findItems(nick, Qt::MatchExactly);
    if (!found.isEmpty())
        delete found.first();
    LogLine(nick, QStringLiteral("távozott"));
}

void TFrame::HostLine(QString &arg)
{
    const QString nick = NextWord(arg);
    LogLine(nick, QStringLiteral("az új házigazda"));
    const bool own = nick == m_ownNick;
    for (const char *name : {"mnNC", "mnSkip", "mnDisc"})
        menuItem(name)->setEnabled(own);
}

void TFrame::ChatLine(QString &arg)
{
    if (arg.isEmpty())
        LogLine(QStringLiteral("Szerver"), QStringLiteral("hiba"));
    else
        AppendChat(arg);
}

void TFrame::PingLine(QString &arg)
{
    if (arg == m_ownNick)
        PongLine(arg);
    else
        m_ctx.link().sendAnswer(QStringLiteral("G") + arg + QLatin1Char(' ') + m_ownNick);
}

void TFrame::PongLine(QString &arg)
{
    NextWord(arg);
    // An answer with no request of ours out has nothing to measure against.
    if (!m_pingStart.isValid())
        return;
    const double seconds = m_pingStart.nsecsElapsed() / 1e9;
    AppendChat(QStringLiteral(">>> Válaszidő ") + QString::asprintf("%6.2f", seconds)
               + QStringLiteral(" mp ") + arg);
}

void TFrame::UndoAskLine(QString &arg)
{
    const bool yes = m_ctx.dialogs().askYesNo(ShortQuote(arg) + QStringLiteral(" visszavonást kér. Hozzájárulok."));
    m_ctx.link().sendAnswer(QStringLiteral("V") + arg + (yes ? QStringLiteral(" y") : QStringLiteral(" n")));
}

void TFrame::cmMsg()
{
    const QString text = fdMsg->currentText();
    if (text.isEmpty())
        Fail(QStringLiteral("Az üzenet mező üres"));
    SendLine(QStringLiteral("M") + text);
    fdMsg->setEditText(QString());
    clearNickSelection();
}

void TFrame::cmPrivate()
{
    if (m_ctx.kibic->Kibic())
        Fail(QStringLiteral("Kibic nem küldhet privát üzenetet"));
    const QString text = fdMsg->currentText();
    if (text.isEmpty())
        Fail(QStringLiteral("Privát üzenet sem lehet üres"));
    const QString nick = SelectedNick();
    if (fdNicks->selectedItems().isEmpty())
        Fail(QStringLiteral("Privát üzenet csak a kiválasztott jelenlévőnek küldhető"));
    if (nick == m_ownNick)
        Fail(QStringLiteral("Privát üzenet csak másnak küldhető"));
    if (m_ownSeat >= 1 && m_ownSeat <= 4 && nick == seatField(5 - m_ownSeat)->text())
        Fail(QStringLiteral("Privát üzenet partnernek nem küldhető"));
    SendLine(QStringLiteral("A") + nick + QLatin1Char(' ') + text);
    fdMsg->setEditText(QString());
    clearNickSelection();
}

void TFrame::cmPing()
{
    m_pingStart.start();
    SendLine(QStringLiteral("?"));
}

void TFrame::cmStat()
{
    if (fdNicks->count() == 0)
        Fail(QStringLiteral("Nincs jelenlévő, akit kiválaszthatnál"));
    if (fdNicks->selectedItems().isEmpty())
        fdNicks->setCurrentRow(0);
    const std::optional<QString> nick = m_ctx.dialogs().inputBox(
        QStringLiteral("Személyes adatok"), QStringLiteral("Becenév?"), SelectedNick());
    if (nick)
        SendLine(QStringLiteral("D") + *nick);
}

void TFrame::cmEnter()
{
    const QListWidgetItem *room = fdRooms->currentItem();
    if (!room)
        Fail(QStringLiteral("Nincs kiválasztott terem"));
    SendLine(QStringLiteral("J") + room->text());
}

void TFrame::cmLeave()
{
    if (fdRooms->count() == 0)
        Fail(QStringLiteral("Nincs kiválasztott terem"));
    HideGameWindows();
    fdRooms->setCurrentRow(0);
    cmEnter();
}

void TFrame::fdRoomsClick(int row)
{
    const QListWidgetItem *room = fdRooms->item(row);
    if (!room)
        return;
    fdMember->clear();
    fdMember->addItems(room->data(MembersRole).toStringList());
}

void TFrame::cmSeat(int seat)
{
    TakeSeat(seat);
}

void TFrame::cmStand()
{
    TakeSeat(0);
}

void TFrame::cmDisconn()
{
    if (fdNicks->selectedItems().isEmpty())
        Fail(QStringLiteral("Nincs kiválasztott jelenlévő"));
    const QString nick = SelectedNick();
    if (nick == m_ownNick)
        Fail(QStringLiteral("Egyszerűbb ha kilépsz"));
    SendLine(QStringLiteral("A") + nick);
    clearNickSelection();
}

void TFrame::cmTable()
{
    SendLine(QStringLiteral("T"));
}

void TFrame::cmKibic()
{
    const bool on = !m_ctx.kibic->Kibic();
    if (on && m_ownSeat != 0)
        Fail(QStringLiteral("Játékos nem lehet kibic"));
    // The request goes out first: when it cannot be sent the mode stays as it was.
    if (on)
        SendLine(QStringLiteral("H0"));
    m_ctx.kibic->SetKibic(on);
    menuItem("mnKibic")->setChecked(on);
    if (on) {
        m_ctx.kibic->KibicSetNames(seatLabels());
        m_ctx.kibic->show();
    } else {
        m_ctx.kibic->hide();
    }
}

void TFrame::cmNC()
{
    const std::optional<QString> answer = m_ctx.dialogs().inputBox(
        QStringLiteral("Számozott osztás"), QStringLiteral("Leosztás szám?"), QString());
    if (!answer)
        return;
    SendLine(QStringLiteral("O") + QString::number(StrToIntDef(answer->trimmed(), 1)));
}

void TFrame::cmSkip()
{
    SendLine(QStringLiteral("O1"));
}

void TFrame::TakeSeat(int seat)
{
    if (m_ctx.kibic->Kibic())
        Fail(QStringLiteral("Aki kibic, maradjon nyugton!"));
    if (seat >= 1 && seat <= 4 && seatField(seat)->text() != EmptySeatText(seat)) {
        m_ctx.connect->Notify(QStringLiteral("Foglalt"));
        return;
    }
    if ((m_ownSeat == 0) != (seat == 0))
        SendLine(QStringLiteral("I") + QString::number(seat));
    else if (m_ownSeat > 0)
        m_ctx.connect->Notify(QStringLiteral("Előbb állj fel!"));
}
