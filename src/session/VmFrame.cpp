#include "VmFrame.h"

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
#include "history/VmRoll.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
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
        const QRectF table = tableRect();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6b, 0x42, 0x1f));
        p.drawRoundedRect(table.adjusted(-7, -7, 7, 7), 36, 36);
        QRadialGradient felt(table.center(), table.width() / 1.6);
        felt.setColorAt(0, QColor(0x2e, 0x9a, 0x4a));
        felt.setColorAt(1, QColor(0x16, 0x6b, 0x2f));
        p.setBrush(felt);
        p.drawRoundedRect(table, 30, 30);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(table.adjusted(10, 10, -10, -10), 22, 22);
    }

    void resizeEvent(QResizeEvent *) override { place(); }

private:
    QRectF tableRect() const { return QRectF(70, 26, width() - 140, height() - 52); }

    void place()
    {
        const int w = width(), h = height();
        const int fw = 110, fh = 20;
        const int cx = w / 2;
        // Seat 1 at the bottom, 2 on the right, 3 at the top, 4 on the left.
        const QRect field[4] = {
            QRect(cx - fw / 2, h - fh - 2, fw, fh),
            QRect(w - fw + 30, h / 2 - fh / 2, fw - 32, fh),
            QRect(cx - fw / 2, 2, fw, fh),
            QRect(2, h / 2 - fh / 2, fw - 32, fh),
        };
        const QRect caption[4] = {
            QRect(cx + fw / 2 + 4, h - fh - 2, 80, fh),    // under seat 1: beside it, low
            QRect(w - fw + 30, h / 2 - fh - 16, fw - 32, fh), // over seat 2
            QRect(cx + fw / 2 + 4, 2, 80, fh),             // over seat 3
            QRect(2, h / 2 - fh - 16, fw - 32, fh),        // over seat 4
        };
        for (int i = 0; i < 4; ++i) {
            if (seats[i])
                seats[i]->setGeometry(field[i]);
            if (captions[i])
                captions[i]->setGeometry(caption[i]);
        }
        if (deal14)
            deal14->setGeometry(12, h - 44, 100, 18);
        if (deal23)
            deal23->setGeometry(w - 112, 26, 100, 18);
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
    for (QLabel *number : {lbDeal, lbMatch})
        number->setStyleSheet(QStringLiteral("font-weight: bold;"));
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
    fdMsgs = new QPlainTextEdit(area);
    fdMsgs->setObjectName(QStringLiteral("fdMsgs"));
    fdMsgs->setReadOnly(true);
    fdMsgs->setLineWrapMode(QPlainTextEdit::NoWrap);
    fdMsgs->setUndoRedoEnabled(false);

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
    return findChild<QAction *>(QString::fromLatin1(name));
}

void TFrame::buildMenu()
{
    menuBar()->setObjectName(QStringLiteral("Menu"));
    const auto none = QKeySequence();
    const auto ctrl = [](char key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    QMenu *environ = addMenu("mnEnviron", QStringLiteral("Külvilág"));
    addItem(environ, "mnConnect", QStringLiteral("&Csatlakozás"), none, [this] { cmConnect(); });
    addItem(environ, "mnPassw", QStringLiteral("&Jelszócsere..."), none, {});
    environ->addSeparator();
    addItem(environ, "mnExit", QStringLiteral("Kilépés"), none, [this] { cmExit(); });

    QMenu *msgs = addMenu("mnMsgs", QStringLiteral("&Üzenetek"));
    addItem(msgs, "mnMsg", QStringLiteral("&Elküld (mindenkinek)"), ctrl('M'), {});
    addItem(msgs, "mnPrivate", QStringLiteral("&Privát (csak egynek)"), ctrl('P'), {});
    msgs->addSeparator();
    addItem(msgs, "mnPing", QStringLiteral("&Válaszidő"), ctrl('I'), {});
    addItem(msgs, "mnLog", QStringLiteral("&Közhír"), none, [this] { SendLine(QStringLiteral("Y")); });
    addItem(msgs, "mnStat", QStringLiteral("&Személyes adatok..."), none, {});

    QMenu *room = addMenu("mnRoom", QStringLiteral("&Terem"));
    addItem(room, "mnEnter", QStringLiteral("&Belépés a terembe"), none, {});
    addItem(room, "mnLeave", QStringLiteral("&Vissza a társalgóba"), none, {});
    room->addSeparator();
    QMenu *seats = room->addMenu(QStringLiteral("&Leül"));
    seats->setObjectName(QStringLiteral("mnSeats"));
    seats->menuAction()->setObjectName(QStringLiteral("mnSeats"));
    addItem(seats, "mnSeat1", QStringLiteral("&1. << Induló"), none, {});
    addItem(seats, "mnSeat2", QStringLiteral("&2. << Elfogó"), none, {});
    addItem(seats, "mnSeat3", QStringLiteral("&3. Induló >>"), none, {});
    addItem(seats, "mnSeat4", QStringLiteral("&4. Elfogó >>"), none, {});
    addItem(room, "mnStand", QStringLiteral("&Feláll"), ctrl('F'), {});
    addItem(room, "mnDisc", QStringLiteral("&Eltávolít..."), none, {});
    room->addSeparator();
    addItem(room, "mnTable", QStringLiteral("Új &terem"), ctrl('T'), {});

    QMenu *view = addMenu("mnView", QStringLiteral("Nézet"));
    addItem(view, "mnBids", QStringLiteral("&Licitek..."), none, [this] { m_ctx.list->show(); m_ctx.list->raise(); });
    addItem(view, "mnRoll", QStringLiteral("L&eosztások..."), none, {});
    addItem(view, "mnDay", QStringLiteral("K&orábbi leosztások..."), none, {});
    addItem(view, "mnPoint", QStringLiteral("&Pontok..."), none, [this] { m_ctx.tk->show(); m_ctx.tk->raise(); });
    view->addSeparator();
    QAction *kibic = addItem(view, "mnKibic", QStringLiteral("&Kibic"), ctrl('K'), {});
    kibic->setCheckable(true);
    addItem(view, "mnSetup", QStringLiteral("&Beállítások..."), none, {});

    QMenu *play = addMenu("mnPlay", QStringLiteral("&Játék"));
    addItem(play, "mnUndo", QStringLiteral("&Visszavon"), ctrl('U'), {});
    addItem(play, "mnPrev", QStringLiteral("&Előző ütés"), ctrl('E'), {});
    play->addSeparator();
    addItem(play, "mnNC", QStringLiteral("Versenyen &kívül"), none, {});
    addItem(play, "mnSkip", QStringLiteral("Új &osztás"), ctrl('O'), {});
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
}

void TFrame::SendLine(const QString &text)
{
    m_ctx.link().sendLine(text);
}

int TFrame::ChatLineCount() const
{
    if (!m_chatUsed)
        return 0;
    return fdMsgs->document()->blockCount();
}

void TFrame::AppendChat(const QString &text)
{
    if (!m_chatUsed) {
        // The first line goes into the document's one empty block.
        m_chatUsed = true;
        fdMsgs->setPlainText(text);
        fdMsgs->moveCursor(QTextCursor::End);
        return;
    }
    fdMsgs->appendPlainText(text);
}

void TFrame::LogLine(const QString &subject, const QString &text)
{
    if (ChatLineCount() > ChatPruneAbove) {
        QTextCursor cursor(fdMsgs->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, ChatPruneCount);
        cursor.removeSelectedText();
    }
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
    menuItem("mnRoll")->setEnabled(m_ctx.roll->HistoryAvailable());
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
    m_ctx.roll->hide();
    m_ctx.tk->hide();
    ClearLobbyLists();
    SetSessionEnabled(false);
}

void TFrame::LinkLost()
{
    LogLine(QStringLiteral("A"), QStringLiteral("kapcsolat mexakadt"));
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
