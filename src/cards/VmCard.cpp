#include "VmCard.h"

#include "app/Context.h"

TCardForm::TCardForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TCardForm"));
    setWindowTitle(QStringLiteral("Lapok"));
    resize(708, 250);
}
