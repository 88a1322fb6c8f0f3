#pragma once
// The dialog through which the user reaches the club: the login, the password change and
// the settings page. Its controls are the live settings that the other windows read.

#include "IniFile.h"

#include <QAbstractSocket>
#include <QDialog>
#include <functional>

class Beep;
class Context;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;

// The message a failed connection shows: six kinds of failure get a reason of ours.
QString ConnectErrorText(QAbstractSocket::SocketError error, const QString &systemText);

class TConnect : public QDialog
{
    Q_OBJECT
public:
    static constexpr int SaveResult = 2; // "&Megőriz" on the settings page
    static constexpr const char *DefaultServerLabel = "Gyakorlóklub (ezen a gépen)";
    static constexpr const char *DefaultServerAddress = "127.0.0.1";
    static constexpr int DefaultPort = 5052;

    explicit TConnect(Context &ctx);
    ~TConnect() override;

    void ShowLogin();
    void ChangePassword();
    void PasswordChanged(QString &argument);
    void ShowSetup();
    void Notify(const QString &message);

    void LoadSettings();
    void SaveConnect();
    void SaveView();
    void ArrangeWindows(IniFile &ini, bool save);

    QString ServerText() const;
    bool ExitQuestion() const;
    bool Trace() const { return m_trace; }
    int CardSize() const;  // 0 "Normál", 1 "Mini"
    int CardOrder() const; // 0 "&Növekvő", 1 "&Csökkenő", 2 "&Osztott"
    qint32 StoredDigest() const { return m_digest; }
    int Port() const { return m_port; }
    QString IniPath() const { return m_iniPath; }

    // Seams for tests and for start-up: how the modal page runs (default: exec()), the
    // first command-line argument, where the settings file lives, and the beep.
    std::function<int(TConnect &)> runPage;
    void setArgument(const QString &argument) { m_argument = argument; }
    void setIniPath(const QString &path) { m_iniPath = path; }
    std::function<void()> beep;

    // Where the settings file lives: beside the program, or in the user's configuration
    // folder when the program's folder cannot be written.
    static QString DefaultIniPath();

    QStackedWidget *Page = nullptr;
    QWidget *TabLogin = nullptr;
    QWidget *TabPw = nullptr;
    QWidget *TabSetup = nullptr;
    QComboBox *fdServer = nullptr;
    QComboBox *fdUser = nullptr;
    QLineEdit *fdPw = nullptr;
    QCheckBox *fdSave = nullptr;
    QCheckBox *fdNewUser = nullptr;
    QLineEdit *fdPort = nullptr;
    QPushButton *btLogin = nullptr;
    QPushButton *btClose = nullptr;
    QLineEdit *fdPw0 = nullptr;
    QLineEdit *fdPw1 = nullptr;
    QLineEdit *fdPw2 = nullptr;
    QPushButton *btPw = nullptr;
    QPushButton *btCancel = nullptr;
    QGroupBox *fdCard = nullptr;
    QGroupBox *fdOrder = nullptr;
    QCheckBox *fdSound = nullptr;
    QCheckBox *fdWindow = nullptr;
    QCheckBox *fdExit = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btOk = nullptr;

signals:
    // The settings page closed: card size and order may have changed, and every view
    // that shows cards re-applies them.
    void ViewChanged();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void buildLogin();
    void buildPassword();
    void buildSetup();
    int runModal(QWidget *page, const QString &caption);
    void setCardSize(int item);
    void setCardOrder(int item);
    void onConnected();
    void onConnectFailed(QAbstractSocket::SocketError error, const QString &text);

    Context &m_ctx;
    QButtonGroup *m_cardGroup = nullptr;
    QButtonGroup *m_orderGroup = nullptr;
    Beep *m_beep = nullptr;
    QString m_argument;
    bool m_argumentUsed = false;
    QString m_iniPath;
    qint32 m_digest = 0;
    int m_port = DefaultPort;
    bool m_trace = false;
    bool m_loginPending = false;
    bool m_newUser = false;
};
