#pragma once
// A member's personal data: one window per "D" reply, freed when it closes.

#include <QWidget>

class Context;

class TStat : public QWidget
{
    Q_OBJECT
public:
    // The "D" handler: status digit, one blank, payload.
    static void ReceiveStat(Context &ctx, const QString &argument);

    explicit TStat(Context &ctx);

private:
    Context &m_ctx;
};
