#include "VmConnect.h"

#include "app/Context.h"
#include "app/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QStackedWidget>
#include <QVBoxLayout>

TConnect::TConnect(Context &ctx) : QDialog(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TConnect"));
    setWindowTitle(QStringLiteral("Bejelentkezés"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(280, 225);
    auto *layout = new QVBoxLayout(this);
    Page = new QStackedWidget(this);
    Page->setObjectName(QStringLiteral("Page"));
    TabLogin = new QWidget(Page);
    TabLogin->setObjectName(QStringLiteral("TabLogin"));
    TabPw = new QWidget(Page);
    TabPw->setObjectName(QStringLiteral("TabPw"));
    TabSetup = new QWidget(Page);
    TabSetup->setObjectName(QStringLiteral("TabSetup"));
    Page->addWidget(TabLogin);
    Page->addWidget(TabPw);
    Page->addWidget(TabSetup);
    layout->addWidget(Page);

    fdServer = new QComboBox(TabLogin);
    fdServer->setObjectName(QStringLiteral("fdServer"));
    fdServer->setEditable(true);
    (new QVBoxLayout(TabLogin))->addWidget(fdServer);

    fdExit = new QCheckBox(QStringLiteral("K&ilépő kérdés"), TabSetup);
    fdExit->setObjectName(QStringLiteral("fdExit"));
    fdExit->setChecked(true);
    (new QVBoxLayout(TabSetup))->addWidget(fdExit);
}

void TConnect::ShowLogin()
{
    Page->setCurrentWidget(TabLogin);
    setWindowTitle(QStringLiteral("Bejelentkezés"));
    exec();
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
    return 0; // until the settings page has its radio groups: the design default
}

int TConnect::CardOrder() const
{
    return 1; // until the settings page has its radio groups: the design default
}

void TConnect::Notify(const QString &message)
{
    if (!message.isEmpty())
        m_ctx.dialogs().message(message);
}
