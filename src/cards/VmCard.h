#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TCardForm : public QWidget
{
    Q_OBJECT
public:
    explicit TCardForm(Context &ctx);


private:
    Context &m_ctx;
};
