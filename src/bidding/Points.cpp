#include "Points.h"

#include "app/Context.h"

TTkForm::TTkForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TTkForm"));
    setWindowTitle(QStringLiteral("Bemondások jutalma és büntetése"));
    resize(314, 350);
}
