#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TListForm : public QWidget
{
    Q_OBJECT
public:
    explicit TListForm(Context &ctx);


private:
    Context &m_ctx;
};
