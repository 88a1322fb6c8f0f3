#include "VmBid.h"

#include "app/Context.h"

TBidxForm::TBidxForm(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TBidxForm"));
    setWindowTitle(QStringLiteral("Licitálás"));
    resize(540, 275);
}
