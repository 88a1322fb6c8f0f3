#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TMatch : public QWidget
{
    Q_OBJECT
public:
    explicit TMatch(Context &ctx);


private:
    Context &m_ctx;
};
