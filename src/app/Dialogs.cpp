#include "Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

class Dialogs::Scope
{
public:
    explicit Scope(Dialogs &d) : m_d(d) { ++m_d.m_depth; }
    ~Scope()
    {
        --m_d.m_depth;
        if (m_d.m_onClosed)
            m_d.m_onClosed();
    }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    Dialogs &m_d;
};

void Dialogs::message(const QString &text)
{
    Scope scope(*this);
    showMessage(text);
}

void Dialogs::error(const QString &text)
{
    Scope scope(*this);
    showError(text);
}

bool Dialogs::askYesNo(const QString &question)
{
    Scope scope(*this);
    return showYesNo(question);
}

std::optional<QString> Dialogs::inputBox(const QString &caption, const QString &prompt,
                                         const QString &defaultText)
{
    Scope scope(*this);
    return showInput(caption, prompt, defaultText);
}

QWidget *QtDialogs::parentWidget() const
{
    QWidget *w = m_parent ? m_parent() : nullptr;
    if (!w)
        w = QApplication::activeWindow();
    return w;
}

static int runBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                  const QString &text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    // Server text (nicknames, chat) must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

void QtDialogs::showMessage(const QString &text)
{
    runBox(parentWidget(), QMessageBox::Information, QStringLiteral("Vimo tarokk"), text,
           QMessageBox::Ok);
}

void QtDialogs::showError(const QString &text)
{
    runBox(parentWidget(), QMessageBox::Critical, QStringLiteral("Hiba"), text, QMessageBox::Ok);
}

bool QtDialogs::showYesNo(const QString &question)
{
    return runBox(parentWidget(), QMessageBox::Question, QStringLiteral("Megerősítés"), question,
                  QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::showInput(const QString &caption, const QString &prompt,
                                            const QString &defaultText)
{
    QInputDialog dialog(parentWidget());
    dialog.setWindowTitle(caption);
    // A prompt may break its lines with a lone CR ("Melyik nap?\r(Hagyd üresen...)"), which
    // a label would show on one line.
    QString lines = prompt;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    dialog.setLabelText(lines);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    for (QLabel *label : dialog.findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
