#pragma once
// The dialog through which the user reaches the club: login, password change and the
// settings page.

#include <QDialog>

class Context;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QStackedWidget;

class TConnect : public QDialog
{
    Q_OBJECT
public:
    explicit TConnect(Context &ctx);

    void ShowLogin();
    // The server box's text, as the status bar shows it while connecting.
    QString ServerText() const;
    // The settings page's "ask before leaving" switch.
    bool ExitQuestion() const;
    // The settings page's card size (0 "Normál", 1 "Mini") and card order (0 rising,
    // 1 falling, 2 split), read by every view that shows cards.
    int CardSize() const;
    int CardOrder() const;
    // Draws the user's attention: a beep, a box, or both, by the sound setting.
    void Notify(const QString &message);

    QStackedWidget *Page = nullptr;
    QWidget *TabLogin = nullptr;
    QWidget *TabPw = nullptr;
    QWidget *TabSetup = nullptr;
    QComboBox *fdServer = nullptr;
    QCheckBox *fdExit = nullptr;

private:
    Context &m_ctx;
};
