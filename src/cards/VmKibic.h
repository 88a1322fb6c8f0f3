#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TKibic : public QWidget
{
    Q_OBJECT
public:
    explicit TKibic(Context &ctx);

    // Spectator mode: "H" and "P" go to the spectator view instead of the own hand.
    bool Kibic() const { return m_kibic; }
    void SetKibic(bool on) { m_kibic = on; }

private:
    bool m_kibic = false;
    Context &m_ctx;
};
