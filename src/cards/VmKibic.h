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
    // The names of the four seats, from the room page's seat fields.
    void KibicSetNames(const std::array<QLabel *, 4> &seatFields);
    // The deal number text shown on the view.
    void KibicSetBoard(const QString &board);

private:
    bool m_kibic = false;
    Context &m_ctx;
};
