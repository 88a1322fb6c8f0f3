#include "VmKibic.h"

#include "app/Context.h"

TKibic::TKibic(Context &ctx) : QWidget(nullptr), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TKibic"));
    setWindowTitle(QStringLiteral("Kibic"));
    resize(330, 330);
}

void TKibic::KibicSetNames(const std::array<QLabel *, 4> &seatFields)
{
    Q_UNUSED(seatFields);
}

void TKibic::KibicSetBoard(const QString &board)
{
    Q_UNUSED(board);
}
