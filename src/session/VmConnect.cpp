#include "VmConnect.h"

#include "Beep.h"
#include "Link.h"
#include "VmFrame.h"
#include "app/Context.h"
#include "app/Dialogs.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "history/VmRoll.h"
#include "history/VmStat.h"
#include "app/Caption.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHideEvent>
#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

const char *const kStarredPassword = "********";

QString trimmedBlanks(QString text)
{
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, const char *name)
{
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

// A password box shows "*" for every character, whatever bullet the style would draw.
void starEcho(QLineEdit *box)
{
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

QPushButton *button(const QString &text, QWidget *parent, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// The two buttons at the bottom right of a page.
std::pair<QPushButton *, QPushButton *> buttonRow(QVBoxLayout *column, QWidget *page,
                                                  const QString &first, const char *firstName,
                                                  const QString &second, const char *secondName)
{
    column->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto *a = button(first, page, firstName);
    auto *b = button(second, page, secondName);
    bottom->addWidget(a);
    bottom->addWidget(b);
    column->addLayout(bottom);
    return {a, b};
}

} // namespace

QString ConnectErrorText(QAbstractSocket::SocketError error, const QString &systemText)
{
    QString reason;
    switch (error) {
    case QAbstractSocket::AddressInUseError: reason = QStringLiteral(" (a cím foglalt)"); break;
    case QAbstractSocket::SocketAddressNotAvailableError: reason = QStringLiteral(" (a cím nem elérhető)"); break;
    case QAbstractSocket::NetworkError: reason = QStringLiteral(" (a hálózat nem elérhető)"); break;
    case QAbstractSocket::SocketTimeoutError: reason = QStringLiteral(" (a kapcsolódási idő lejárt)"); break;
    case QAbstractSocket::ConnectionRefusedError: reason = QStringLiteral(" (szerver nem üzemel)"); break;
    case QAbstractSocket::HostNotFoundError: reason = QStringLiteral(" (nincs internet kapcsolat)"); break;
    default: return systemText;
    }
    return QStringLiteral("Kapcsolatfelvétel sikertelen\n\r") + reason;
}

TConnect::TConnect(Context &ctx) : QDialog(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TConnect"));
    setWindowTitle(QStringLiteral("Bejelentkezés"));
    // No title-bar buttons: the page is left through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    Page = new QStackedWidget(this);
    Page->setObjectName(QStringLiteral("Page"));
    layout->addWidget(Page);
    buildLogin();
    buildPassword();
    buildSetup();
    setMinimumSize(280, 225);
    resize(300, 240);

    m_beep = new Beep(this);
    beep = [this] { m_beep->play(); };
    runPage = [](TConnect &dialog) { return dialog.exec(); };
    m_argument = QCoreApplication::arguments().value(1);
    m_iniPath = DefaultIniPath();

    connect(&m_ctx.link(), &Link::connected, this, &TConnect::onConnected);
    connect(&m_ctx.link(), &Link::connectFailed, this, &TConnect::onConnectFailed);
}

TConnect::~TConnect() = default;

void TConnect::buildLogin()
{
    TabLogin = new QWidget(Page);
    TabLogin->setObjectName(QStringLiteral("TabLogin"));
    Page->addWidget(TabLogin);
    auto *column = new QVBoxLayout(TabLogin);
    column->setContentsMargins(0, 0, 0, 0);

    fdServer = new QComboBox(TabLogin);
    fdServer->setObjectName(QStringLiteral("fdServer"));
    fdServer->setEditable(true);
    fdServer->setInsertPolicy(QComboBox::NoInsert);
    // The lists are plain texts, taken in whole from the settings file: a string list takes
    // them in one step where the default model makes an item of each.
    fdServer->setModel(new QStringListModel(fdServer));
    fdUser = new QComboBox(TabLogin);
    fdUser->setObjectName(QStringLiteral("fdUser"));
    fdUser->setEditable(true);
    fdUser->setInsertPolicy(QComboBox::NoInsert);
    fdUser->setModel(new QStringListModel(fdUser));
    fdPw = new QLineEdit(TabLogin);
    fdPw->setObjectName(QStringLiteral("fdPw"));
    starEcho(fdPw);
    fdPort = new QLineEdit(QStringLiteral(" 5052"), TabLogin);
    fdPort->setObjectName(QStringLiteral("fdPort"));
    fdPort->setMaximumWidth(70);
    fdSave = new QCheckBox(QStringLiteral("&Megjegyezzük a beállításokat"), TabLogin);
    fdSave->setObjectName(QStringLiteral("fdSave"));
    fdNewUser = new QCheckBox(QStringLiteral("&Nincs még felhasználó nevem"), TabLogin);
    fdNewUser->setObjectName(QStringLiteral("fdNewUser"));

    column->addWidget(buddyLabel(QStringLiteral("&Szerver"), fdServer, "Label1"));
    column->addWidget(fdServer);
    column->addWidget(buddyLabel(QStringLiteral("&Becenév"), fdUser, "lbUser"));
    column->addWidget(fdUser);
    column->addWidget(buddyLabel(QStringLiteral("&Jelszó"), fdPw, "lbPw"));
    column->addWidget(fdPw);
    column->addWidget(fdSave);
    column->addWidget(fdNewUser);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(buddyLabel(QStringLiteral("&Port"), fdPort, "lbPort"));
    bottom->addWidget(fdPort);
    bottom->addStretch(1);
    btLogin = button(QStringLiteral("OK"), TabLogin, "btLogin");
    btClose = button(QStringLiteral("Semmis"), TabLogin, "btClose");
    bottom->addWidget(btLogin);
    bottom->addWidget(btClose);
    column->addStretch(1);
    column->addLayout(bottom);
    connect(btLogin, &QPushButton::clicked, this, &QDialog::accept);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TConnect::buildPassword()
{
    TabPw = new QWidget(Page);
    TabPw->setObjectName(QStringLiteral("TabPw"));
    Page->addWidget(TabPw);
    auto *column = new QVBoxLayout(TabPw);
    column->setContentsMargins(0, 0, 0, 0);
    const auto box = [this](const char *name) {
        auto *edit = new QLineEdit(TabPw);
        edit->setObjectName(QString::fromLatin1(name));
        starEcho(edit);
        return edit;
    };
    fdPw0 = box("fdPw0");
    fdPw1 = box("fdPw1");
    fdPw2 = box("fdPw2");
    column->addWidget(buddyLabel(QStringLiteral("&Régi jelszó"), fdPw0, "lbPw0"));
    column->addWidget(fdPw0);
    column->addWidget(buddyLabel(QStringLiteral("Új &jelszó"), fdPw1, "lbPw1"));
    column->addWidget(fdPw1);
    column->addWidget(buddyLabel(QStringLiteral("Új jelszó &mégegyszer"), fdPw2, "lbPw2"));
    column->addWidget(fdPw2);
    std::tie(btPw, btCancel) = buttonRow(column, TabPw, QStringLiteral("OK"), "btPw",
                                         QStringLiteral("Semmis"), "btCancel");
    connect(btPw, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TConnect::buildSetup()
{
    TabSetup = new QWidget(Page);
    TabSetup->setObjectName(QStringLiteral("TabSetup"));
    Page->addWidget(TabSetup);
    auto *column = new QVBoxLayout(TabSetup);
    column->setContentsMargins(0, 0, 0, 0);

    const auto radioGroup = [this](const QString &title, const char *name, const QStringList &items,
                                   QButtonGroup *&group) {
        auto *box = new QGroupBox(title, TabSetup);
        box->setObjectName(QString::fromLatin1(name));
        group = new QButtonGroup(box);
        auto *layout = new QVBoxLayout(box);
        layout->setSpacing(2);
        for (int i = 0; i < items.size(); ++i) {
            auto *radio = new QRadioButton(items[i], box);
            radio->setObjectName(QString::fromLatin1(name) + QString::number(i));
            group->addButton(radio, i);
            layout->addWidget(radio);
        }
        return box;
    };
    fdCard = radioGroup(QStringLiteral("&Kártyalap-méret"), "fdCard",
                        {QStringLiteral("Normál"), QStringLiteral("Mini")}, m_cardGroup);
    fdOrder = radioGroup(QStringLiteral("Kártya&sorrend"), "fdOrder",
                         {QStringLiteral("&Növekvő"), QStringLiteral("&Csökkenő"), QStringLiteral("&Osztott")},
                         m_orderGroup);
    setCardSize(0);
    setCardOrder(1);
    auto *groups = new QHBoxLayout;
    groups->addWidget(fdCard, 1, Qt::AlignTop);
    groups->addWidget(fdOrder, 1, Qt::AlignTop);
    column->addLayout(groups);

    fdSound = new QCheckBox(QStringLiteral("&Hang"), TabSetup);
    fdSound->setObjectName(QStringLiteral("fdSound"));
    fdSound->setTristate(true);
    fdSound->setCheckState(Qt::Checked);
    fdSound->setToolTip(QStringLiteral("Bejelölve: hangjelzés; üresen: üzenetablak; szürkén: mindkettő"));
    fdWindow = new QCheckBox(QStringLiteral("&Ablakok elrendezése megőrzendő"), TabSetup);
    fdWindow->setObjectName(QStringLiteral("fdWindow"));
    fdExit = new QCheckBox(QStringLiteral("K&ilépő kérdés"), TabSetup);
    fdExit->setObjectName(QStringLiteral("fdExit"));
    fdExit->setChecked(true);
    column->addWidget(fdSound);
    column->addWidget(fdWindow);
    column->addWidget(fdExit);
    std::tie(btSave, btOk) = buttonRow(column, TabSetup, QStringLiteral("&Megőriz"), "btSave",
                                       QStringLiteral("OK"), "btOk");
    connect(btSave, &QPushButton::clicked, this, [this] { done(SaveResult); });
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
}

int TConnect::runModal(QWidget *page, const QString &caption)
{
    Page->setCurrentWidget(page);
    setWindowTitle(caption);
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setDefault(false);
    if (page == TabLogin)
        btLogin->setDefault(true);
    else if (page == TabPw)
        btPw->setDefault(true);
    else
        btOk->setDefault(true);
    return runPage(*this);
}

QString TConnect::DefaultIniPath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    // An installed program shares its folder with every other program; even where that folder
    // can be written (by root, or in ~/.local/bin) the settings are the user's own. Its menu
    // entry beside it tells an installed program from a copy in a folder of its own.
    const bool installed =
        QFileInfo::exists(QDir(dir).filePath(QStringLiteral("../share/applications/hu.vimo.tarokk.desktop")));
    if (!installed && QFileInfo(dir).isWritable())
        return QDir(dir).filePath(QStringLiteral("VimoTarokk.INI"));
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return QDir(config).filePath(QStringLiteral("VimoTarokk.INI"));
}

QString TConnect::ServerText() const
{
    return fdServer->currentText();
}

bool TConnect::ExitQuestion() const
{
    return fdExit->isChecked();
}

int TConnect::CardSize() const
{
    return m_cardGroup->checkedId();
}

int TConnect::CardOrder() const
{
    return m_orderGroup->checkedId();
}

void TConnect::setCardSize(int item)
{
    // Above the last item chooses the last; a negative value chooses none.
    m_cardGroup->setExclusive(false);
    for (QAbstractButton *b : m_cardGroup->buttons())
        b->setChecked(false);
    m_cardGroup->setExclusive(true);
    if (item >= 0)
        m_cardGroup->button(std::min(item, 1))->setChecked(true);
}

void TConnect::setCardOrder(int item)
{
    m_orderGroup->setExclusive(false);
    for (QAbstractButton *b : m_orderGroup->buttons())
        b->setChecked(false);
    m_orderGroup->setExclusive(true);
    if (item >= 0)
        m_orderGroup->button(std::min(item, 2))->setChecked(true);
}

void TConnect::ShowLogin()
{
    Page->setCurrentWidget(TabLogin);
    setWindowTitle(QStringLiteral("Bejelentkezés"));
    fdPw->setText(m_digest < 1 ? QString() : QString::fromLatin1(kStarredPassword));

    // The first command-line argument logs in once, at start-up; a later login from the
    // menu shows the page, so that the user can change server or name.
    const bool fromArgument = !m_argument.isEmpty() && !m_argumentUsed;
    if (fromArgument) {
        m_argumentUsed = true;
        fdUser->setCurrentText(m_argument);
    } else if (runModal(TabLogin, QStringLiteral("Bejelentkezés")) != QDialog::Accepted) {
        return;
    }

    const int port = StrToInt(trimmedBlanks(fdPort->text()));
    if (port < 1 || port > 65535)
        Fail(QStringLiteral("Érvénytelen port: %1").arg(fdPort->text()));
    const QString server = fdServer->currentText();
    const QString host = server == QString::fromUtf8(DefaultServerLabel)
        ? QString::fromLatin1(DefaultServerAddress)
        : server;
    m_newUser = fdNewUser->isChecked();
    m_ctx.frame->setOwnNick(m_newUser ? QStringLiteral("Új felhasználó") : fdUser->currentText());
    m_port = port;

    // Connecting never freezes the window: the rest of the login runs when the
    // connection opens (onConnected) or fails (onConnectFailed).
    m_loginPending = true;
    m_ctx.link().connectToHost(host, quint16(port));
    m_ctx.frame->statusPanel(1)->setText(QStringLiteral("Kapcsolat építés: ") + ServerText());
}

void TConnect::onConnectFailed(QAbstractSocket::SocketError error, const QString &text)
{
    if (!m_loginPending)
        return;
    m_loginPending = false;
    m_ctx.frame->statusPanel(1)->setText(QStringLiteral("Nincs kapcsolat"));
    m_ctx.dialogs().error(ConnectErrorText(error, text));
}

void TConnect::onConnected()
{
    if (!m_loginPending)
        return;
    m_loginPending = false;
    m_ctx.guard([this] {
        // Whatever happens below (a settings file that cannot be written, say), the login
        // ends in the "not logged in" state until the club's lobby snapshot comes, and before
        // any error box opens.
        const auto notLoggedIn = qScopeGuard([this] { m_ctx.frame->SetSessionEnabled(false); });
        const QString nick = m_ctx.frame->ownNick();
        m_ctx.card->setWindowTitle(PlainCaption(nick + QStringLiteral(" lapjai")));
        m_ctx.setApplicationTitle(QStringLiteral("Vm ") + nick);
        if (m_newUser) {
            fdNewUser->setChecked(false);
            fdPw->clear();
            m_digest = 0;
            TStat::ReceiveStat(m_ctx, QStringLiteral("5 ;;") + fdUser->currentText()
                                          + QStringLiteral(";1234 Budapest;"));
        } else {
            if (fdPw->text() != QLatin1String(kStarredPassword))
                m_digest = PasswordDigest(fdPw->text());
            fdPw->setText(QString::fromLatin1(kStarredPassword));
            m_ctx.frame->SendLine(QStringLiteral("L") + fdUser->currentText() + BlankInt(m_digest));
            if (fdSave->isChecked())
                SaveConnect();
        }
    });
}

void TConnect::ChangePassword()
{
    if (runModal(TabPw, QStringLiteral("Jelszócsere")) != QDialog::Accepted)
        return;
    if (PasswordDigest(fdPw0->text()) != m_digest)
        Fail(QStringLiteral("Régi jelszó hibás"));
    if (fdPw1->text() != fdPw2->text())
        Fail(QStringLiteral("Az új jelszó hibás"));
    m_ctx.frame->SendLine(QStringLiteral("W") + QString::number(PasswordDigest(fdPw1->text())));
    fdPw0->clear();
    fdPw1->clear();
    fdPw2->clear();
}

void TConnect::PasswordChanged(QString &argument)
{
    m_digest = StrToInt(argument);
    m_ctx.dialogs().message(QStringLiteral("Az új jelszó érvénybelépett"));
}

void TConnect::Notify(const QString &message)
{
    const Qt::CheckState sound = fdSound->checkState();
    if (sound != Qt::Unchecked && beep)
        beep();
    if (sound != Qt::Checked && !message.isEmpty())
        m_ctx.dialogs().message(message);
}

void TConnect::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (Page->currentWidget() == TabSetup)
        emit ViewChanged();
}

void TConnect::ShowSetup()
{
    const int result = runModal(TabSetup, QStringLiteral("Beállítások"));
    if (result == SaveResult)
        SaveView();
}

void TConnect::LoadSettings()
{
    IniFile ini(m_iniPath);
    ini.load();
    const QString C = QStringLiteral("Connect"), V = QStringLiteral("View");
    m_trace = ini.readInteger(V, QStringLiteral("Trace"), 0) != 0;
    const QString label = QString::fromUtf8(DefaultServerLabel);
    const QString server = ini.readString(C, QStringLiteral("Server"), label);
    const QString user = ini.readString(C, QStringLiteral("User"), QString());
    m_digest = ini.readInteger(C, QStringLiteral("Passw"), 0);
    m_port = ini.readInteger(C, QStringLiteral("Port"), DefaultPort);
    fdPort->setText(QString::number(m_port));

    const QStringList serverDefaults = {QHostInfo::localHostName(), label,
                                        QStringLiteral("192.168.1.10"),
                                        QString::fromLatin1(DefaultServerAddress),
                                        QStringLiteral("10.0.0.2")};
    const QStringList userDefaults = {QStringLiteral("Masina"), QStringLiteral("Robot1"),
                                      QStringLiteral("Robot2"), QStringLiteral("Robot3"),
                                      QStringLiteral("Robot4")};
    QStringList servers, users;
    for (int i = 0; i < 5; ++i) {
        servers << ini.readString(C, QStringLiteral("Server%1").arg(i + 1), serverDefaults[i]);
        users << ini.readString(C, QStringLiteral("User%1").arg(i + 1), userDefaults[i]);
    }
    // A list that is already there is not reset: a reset makes the combo forget and
    // measure again everything it knows about its items.
    for (auto [combo, list] : {std::pair{fdServer, &servers}, std::pair{fdUser, &users}}) {
        auto *model = static_cast<QStringListModel *>(combo->model());
        if (model->stringList() != *list)
            model->setStringList(*list);
    }
    fdServer->setCurrentText(server);
    fdUser->setCurrentText(user);

    setCardSize(ini.readInteger(V, QStringLiteral("Card"), 0));
    setCardOrder(ini.readInteger(V, QStringLiteral("Order"), 1));
    const int sound = ini.readInteger(V, QStringLiteral("Sound"), 1);
    fdSound->setCheckState(sound == 0 ? Qt::Unchecked : sound == 2 ? Qt::PartiallyChecked : Qt::Checked);
    fdExit->setChecked(ini.readInteger(V, QStringLiteral("ExitQuery"), 1) != 0);
    fdWindow->setChecked(false);
    ArrangeWindows(ini, false);
}

void TConnect::SaveConnect()
{
    IniFile ini(m_iniPath);
    // A file that cannot be read whole would be replaced by its readable part and the
    // keys written here: everything else in it would be lost.
    if (!ini.load())
        Fail(QStringLiteral("A beállítások nem írhatók ki ide: ") + m_iniPath);
    const QString C = QStringLiteral("Connect");
    ini.writeString(C, QStringLiteral("Server"), fdServer->currentText());
    ini.writeString(C, QStringLiteral("User"), fdUser->currentText());
    ini.writeInteger(C, QStringLiteral("Passw"), m_digest);
    ini.writeInteger(C, QStringLiteral("Port"), m_port);
    if (!ini.save())
        Fail(QStringLiteral("A beállítások nem írhatók ki ide: ") + m_iniPath);
}

void TConnect::SaveView()
{
    IniFile ini(m_iniPath);
    // A file that cannot be read whole would be replaced by its readable part and the
    // keys written here: everything else in it would be lost.
    if (!ini.load())
        Fail(QStringLiteral("A beállítások nem írhatók ki ide: ") + m_iniPath);
    const QString V = QStringLiteral("View");
    ini.writeInteger(V, QStringLiteral("Card"), CardSize());
    ini.writeInteger(V, QStringLiteral("Order"), CardOrder());
    const Qt::CheckState sound = fdSound->checkState();
    ini.writeInteger(V, QStringLiteral("Sound"), sound == Qt::Unchecked ? 0 : sound == Qt::Checked ? 1 : 2);
    ini.writeInteger(V, QStringLiteral("ExitQuery"), fdExit->isChecked() ? 1 : 0);
    if (fdWindow->isChecked())
        ArrangeWindows(ini, true);
    fdWindow->setChecked(false);
    if (!ini.save())
        Fail(QStringLiteral("A beállítások nem írhatók ki ide: ") + m_iniPath);
}

void TConnect::ArrangeWindows(IniFile &ini, bool save)
{
    const QString A = QStringLiteral("Arrange");
    struct Place
    {
        QWidget *window;
        const char *top;
        const char *left;
        int topDefault;
        int leftDefault;
    };
    const Place places[] = {
        {m_ctx.frame, "FT", "FL", 0, 0},
        {m_ctx.bid, "BT", "BL", 275, 365},
        {m_ctx.roll, "RT", "RL", 0, 365},
        {m_ctx.list, "LT", "LL", 13, 365},
        {m_ctx.desk, "DT", "DL", 30, 365},
        {m_ctx.card, "CT", "CL", 510, 0},
    };
    // The default places were made for a main window of 365 × 508; ours may need more room
    // for its layout, and then the windows beside and below it move along instead of
    // covering it. Places read from the settings file stay as they are.
    int besideShift = 0;
    int belowShift = 0;
    for (const Place &p : places) {
        if (!p.window)
            continue;
        const QString top = QString::fromLatin1(p.top), left = QString::fromLatin1(p.left);
        if (save) {
            ini.writeInteger(A, top, p.window->y());
            ini.writeInteger(A, left, p.window->x());
            if (p.window == m_ctx.frame) {
                ini.writeInteger(A, QStringLiteral("FH"), p.window->height());
                ini.writeInteger(A, QStringLiteral("FW"), p.window->width());
            }
            continue;
        }
        const int xDefault = p.leftDefault + (p.leftDefault > 0 ? besideShift : 0);
        const int yDefault = p.topDefault + (p.leftDefault == 0 && p.topDefault > 0 ? belowShift : 0);
        int x = ini.readInteger(A, left, xDefault);
        int y = ini.readInteger(A, top, yDefault);
        // A place saved on a screen that is gone (a second monitor unplugged) would leave the
        // window where nobody can reach it.
        if (!QGuiApplication::screenAt(QPoint(x, y) + QPoint(20, 10))) {
            x = xDefault;
            y = yDefault;
        }
        p.window->move(x, y);
        if (p.window == m_ctx.frame) {
            // Never smaller than the window's own layout needs.
            const QSize least = p.window->minimumSizeHint();
            p.window->resize(std::max(ini.readInteger(A, QStringLiteral("FW"), 365), least.width()),
                             std::max(ini.readInteger(A, QStringLiteral("FH"), 508), least.height()));
            besideShift = std::max(0, x + p.window->width() - 365);
            // The main window's own title bar, when the window system draws one, is below
            // it too.
            const int titleBar = std::max(0, p.window->frameGeometry().height() - p.window->height());
            belowShift = std::max(0, y + p.window->height() + titleBar - 508);
        }
    }
}
