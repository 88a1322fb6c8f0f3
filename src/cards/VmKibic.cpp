#include "VmKibic.h"

#include "app/Context.h"

TKibic::TKibic(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TKibic"));
    setWindowTitle(QStringLiteral("Kibic"));
    resize(330, 330);
}
