#include "VmList.h"

#include "app/Context.h"

TListForm::TListForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TListForm"));
    setWindowTitle(QStringLiteral("Licitek"));
    resize(337, 240);
}
