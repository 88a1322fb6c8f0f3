#include "VmDesk.h"

#include "app/Context.h"

TDeskForm::TDeskForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TDeskForm"));
    setWindowTitle(QStringLiteral("Asztal"));
    resize(420, 470);
}
