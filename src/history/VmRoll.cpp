#include "VmRoll.h"

#include "app/Context.h"

TRollForm::TRollForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TRollForm"));
    setWindowTitle(QStringLiteral("Leosztások"));
    resize(520, 400);
}
