#include "VmSeen.h"

#include "DayNumber.h"
#include "HistoryText.h"
#include "app/Context.h"
#include "app/Dialogs.h"
#include "session/VmFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int DayRole = Qt::UserRole;
}

TSeen::TSeen(Context &ctx) : QDialog(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TSeen"));
    setWindowTitle(QStringLiteral("Napok"));
    setAttribute(Qt::WA_DeleteOnClose);

    fdDays = new QListWidget(this);
    fdDays->setObjectName(QStringLiteral("fdDays"));
    fdDays->setFixedWidth(120);
    // Every entry is one short date: a list of years of days is laid out from the first.
    fdDays->setUniformItemSizes(true);
    lbDays = new QLabel(QStringLiteral("&Válaszd ki a napot"), this);
    lbDays->setObjectName(QStringLiteral("lbDays"));
    lbDays->setBuddy(fdDays);
    lbDays->setWordWrap(true);
    btOk = new QPushButton(QStringLiteral("OK"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Semmis"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    connect(btOk, &QPushButton::clicked, this, [this] { m_ctx.guard([this] { cmOk(); }); });
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *right = new QVBoxLayout;
    right->addWidget(lbDays);
    right->addStretch(1);
    right->addWidget(btOk);
    right->addWidget(btCancel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 8, 8);
    row->addWidget(fdDays);
    row->addLayout(right);
    resize(250, 210);
}

TSeen *TSeen::ReceiveDays(Context &ctx, const QString &argument)
{
    // Every number is read before a window opens: a bad word opens none.
    const QList<qint32> days = ReadDays(argument);
    auto *chooser = new TSeen(ctx);
    const QLocale locale;
    for (qint32 day : days) {
        auto *entry = new QListWidgetItem(DayNumber::ShortText(day, locale), chooser->fdDays);
        entry->setData(DayRole, day);
    }
    if (chooser->fdDays->count() > 0)
        chooser->fdDays->setCurrentRow(chooser->fdDays->count() - 1);
    // Modal to the whole program, without a nested event loop: the line reader waits while
    // a modal window is open and goes on when it closes. (QDialog::open would make it modal
    // to its parent only, and it has none.)
    chooser->setWindowModality(Qt::ApplicationModal);
    chooser->show();
    chooser->fdDays->setFocus();
    return chooser;
}

QList<qint32> TSeen::Days() const
{
    QList<qint32> days;
    for (int i = 0; i < fdDays->count(); ++i)
        days << fdDays->item(i)->data(DayRole).toInt();
    return days;
}

void TSeen::cmOk()
{
    const QListWidgetItem *entry = fdDays->currentItem();
    if (entry && entry->isSelected())
        m_ctx.frame->SendLine(QStringLiteral("X0 ") + QString::number(entry->data(DayRole).toInt()));
    accept();
}

void TSeen::DayQuery(Context &ctx, QDate today)
{
    const QLocale locale;
    const QString proposal = locale.toString(today.addDays(-5), QLocale::ShortFormat);
    const std::optional<QString> text = ctx.dialogs().inputBox(
        QStringLiteral("Korábbi leosztás"),
        QStringLiteral("Melyik nap?\r(Hagyd üresen, ha mind érdekel.)"), proposal);
    if (!text)
        return;
    if (RemoveBlanks(*text).isEmpty()) {
        ctx.frame->SendLine(QStringLiteral("X0 0"));
        return;
    }
    const std::optional<qint32> day = DayNumber::ReadShortDate(*text, locale, today);
    if (!day)
        Fail(QStringLiteral("Hibás dátum"));
    ctx.frame->SendLine(QStringLiteral("X0 ") + QString::number(*day));
}
