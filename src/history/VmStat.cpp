#include "VmStat.h"

#include "app/Context.h"
#include "app/Dialogs.h"
#include "cards/Hands.h"
#include "session/VmFrame.h"
#include "app/Caption.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TStat::TStat(Context &ctx) : QWidget(ctx.frame, Qt::Window), m_ctx(ctx)
{
    // One window per reply; closing frees it. The main window owns it so that none
    // outlives the program.
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TStat"));
    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    const struct
    {
        QLineEdit **edit;
        const char *name;
        const char *label;
    } rows[] = {
        {&fdName, "fdName", "&Teljes név"},
        {&fdEmil, "fdEmil", "&Email"},
        {&fdNick, "fdNick", "&Becenév "},
        {&fdTown, "fdTown", "&Irányítószám, Város"},
        {&fdAddr, "fdAddr", "&Utca, házszám"},
        {&fdTel, "fdTel", "&Telefonok"},
        {&fdMob, "fdMob", "&Mobil"},
        {&fdNote, "fdNote", "&Megjegyzés"},
    };
    for (const auto &row : rows) {
        *row.edit = new QLineEdit(this);
        (*row.edit)->setObjectName(QString::fromLatin1(row.name));
        (*row.edit)->setMinimumWidth(240);
        auto *label = new QLabel(QString::fromUtf8(row.label), this);
        label->setBuddy(*row.edit);
        form->addRow(label, *row.edit);
    }
    column->addLayout(form);
    fdPublic = new QCheckBox(QStringLiteral("&Az adatok nyilvánosak"), this);
    fdPublic->setObjectName(QStringLiteral("fdPublic"));
    fdPublic->setChecked(true);
    column->addWidget(fdPublic);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btSave = new QPushButton(QStringLiteral("&Megőriz"), this);
    btSave->setObjectName(QStringLiteral("btSave"));
    btSave->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Semmis"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addWidget(btSave);
    buttons->addWidget(btCancel);
    column->addLayout(buttons);
    connect(btSave, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmSave(); }); });
    connect(btCancel, &QPushButton::clicked, this, [this] { cmCancel(); });
    // Enter saves only where "&Megőriz" is offered: a record shown for reading alone must
    // not go out as the user's own, nor start a nickname change.
    for (QLineEdit *edit : fields())
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            if (m_canSave)
                btSave->click();
        });
}

std::array<QLineEdit *, PersonalData::FieldCount> TStat::fields() const
{
    return {fdName, fdEmil, fdNick, fdTown, fdAddr, fdTel, fdMob, fdNote};
}

PersonalData TStat::Data() const
{
    PersonalData data;
    const auto edits = fields();
    for (int i = 0; i < PersonalData::FieldCount; ++i)
        data.fields[i] = edits[i]->text();
    return data;
}

TStat *TStat::ReceiveStat(Context &ctx, const QString &argument)
{
    QString text = argument;
    const int status = NextInt(text);
    if (status == 3) {
        ctx.dialogs().message(ShortQuote(text) + QStringLiteral(" adatai nem nyilvánosak"));
        return nullptr;
    }
    if (status == 4) {
        ctx.dialogs().message(ShortQuote(text) + QStringLiteral(" nem regisztrált név"));
        return nullptr;
    }
    auto *window = new TStat(ctx);
    window->m_newEntry = status == 5;
    window->fdPublic->setChecked(status != 0);
    const PersonalData data = PersonalData::Parse(text);
    const auto edits = window->fields();
    for (int i = 0; i < PersonalData::FieldCount; ++i) {
        edits[i]->setText(data.fields[i]);
        edits[i]->setCursorPosition(0);
    }
    window->m_canSave = status != 2;
    window->btSave->setVisible(window->m_canSave);
    window->setWindowTitle(window->m_newEntry ? QStringLiteral("Adatok felvétele")
                                              : PlainCaption(data.fields[PersonalData::Nick]));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void TStat::cmSave()
{
    if (!m_canSave)
        return;
    CheckPersonalData(Data());
    if (fdNick->text() == m_ctx.frame->ownNick() || m_newEntry) {
        SendPersonalData();
        close();
    } else {
        ChangeNickname();
    }
}

void TStat::cmCancel()
{
    close();
}

void TStat::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Semmis" whether or not the record can be saved; the fields and buttons
    // leave the key to the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmCancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TStat::SendPersonalData()
{
    m_ctx.frame->SendLine(Data().Line(fdPublic->isChecked()));
    if (m_newEntry)
        m_ctx.dialogs().message(QStringLiteral("Most lebomlik a kapcsolat és az új becenévvel kell belépni."));
}

void TStat::ChangeNickname()
{
    hide();
    // Whatever happens below, the window goes away afterwards.
    struct CloseAtEnd
    {
        TStat *w;
        ~CloseAtEnd() { w->close(); }
    } closeAtEnd{this};
    if (!m_ctx.dialogs().askYesNo(QStringLiteral("Most lebomlik a kapcsolat és az új becenévvel kell belépni. Rendben?")))
        return;
    const auto again = m_ctx.dialogs().inputBox(QStringLiteral("Megerősítés"),
                                                QStringLiteral("Mégegyszer az új becenevet"), QString());
    if (!again)
        return;
    if (*again == fdNick->text())
        SendPersonalData();
    else
        m_ctx.dialogs().message(QStringLiteral("Máris elfelejtetted az új nevedet! Maradt a régi!"));
}
