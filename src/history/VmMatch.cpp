#include "VmMatch.h"

#include "app/Context.h"

TMatch::TMatch(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TMatch"));
    setWindowTitle(QStringLiteral("Csapatmérkőzés"));
    resize(460, 330);
}
