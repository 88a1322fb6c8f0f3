#pragma once
// Every message box, Yes/No question and input box of the client goes through here, so
// that tests can answer from a script and the line reader knows when a box is open.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    void message(const QString &text);
    void error(const QString &text);
    bool askYesNo(const QString &question);
    // Nothing when the user cancels.
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &defaultText);

    // How many boxes are open right now (nested boxes count each).
    int depth() const { return m_depth; }
    // Called whenever a box closes; the line reader resumes from here.
    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

protected:
    virtual void showMessage(const QString &text) = 0;
    virtual void showError(const QString &text) = 0;
    virtual bool showYesNo(const QString &question) = 0;
    virtual std::optional<QString> showInput(const QString &caption, const QString &prompt,
                                             const QString &defaultText) = 0;

private:
    class Scope;
    int m_depth = 0;
    std::function<void()> m_onClosed;
};

// The real boxes: QMessageBox and QInputDialog, always plain text.
class QtDialogs : public Dialogs
{
public:
    // `parent` gives the window the boxes are centred on (may return null).
    explicit QtDialogs(std::function<QWidget *()> parent = {}) : m_parent(std::move(parent)) {}

protected:
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    bool showYesNo(const QString &question) override;
    std::optional<QString> showInput(const QString &caption, const QString &prompt,
                                     const QString &defaultText) override;

private:
    QWidget *parentWidget() const;
    std::function<QWidget *()> m_parent;
};
