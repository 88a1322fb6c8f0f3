#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TBidxForm : public QWidget
{
    Q_OBJECT
public:
    explicit TBidxForm(Context &ctx);


private:
    Context &m_ctx;
};
