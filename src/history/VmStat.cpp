#include "VmStat.h"

#include "app/Context.h"

TStat::TStat(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TStat"));
}

void TStat::ReceiveStat(Context &ctx, const QString &argument)
{
    Q_UNUSED(ctx);
    Q_UNUSED(argument);
}
