#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TTkForm : public QWidget
{
    Q_OBJECT
public:
    explicit TTkForm(Context &ctx);


private:
    Context &m_ctx;
};
