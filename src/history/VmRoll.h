#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TRollForm : public QWidget
{
    Q_OBJECT
public:
    explicit TRollForm(Context &ctx);

    // True once a deal history has arrived from the club.
    bool HistoryAvailable() const { return m_history; }

private:
    bool m_history = false;
    Context &m_ctx;
};
