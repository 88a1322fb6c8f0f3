#pragma once
// A dialogs service for tests: answers from a script and records what it was asked.

#include "app/Dialogs.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString kind; // "message", "error", "yesno", "input"
        QString text;
        QString caption;
        QString defaultText;
    };

    QList<Shown> shown;
    QQueue<bool> yesNoAnswers;                 // default answer: No
    QQueue<std::optional<QString>> inputAnswers; // default answer: Cancel
    // Runs while a box is "open", with the box's record; a test can wait here to see
    // what happens while the user has not answered yet.
    std::function<void(const Shown &)> whileOpen;

    QStringList texts(const QString &kind = QString()) const
    {
        QStringList list;
        for (const Shown &s : shown)
            if (kind.isEmpty() || s.kind == kind)
                list << s.text;
        return list;
    }
    QStringList errors() const { return texts(QStringLiteral("error")); }

protected:
    void showMessage(const QString &text) override { record({QStringLiteral("message"), text, {}, {}}); }
    void showError(const QString &text) override { record({QStringLiteral("error"), text, {}, {}}); }
    bool showYesNo(const QString &question) override
    {
        record({QStringLiteral("yesno"), question, {}, {}});
        return yesNoAnswers.isEmpty() ? false : yesNoAnswers.dequeue();
    }
    std::optional<QString> showInput(const QString &caption, const QString &prompt,
                                     const QString &defaultText) override
    {
        record({QStringLiteral("input"), prompt, caption, defaultText});
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
    }

private:
    void record(const Shown &s)
    {
        shown << s;
        if (whileOpen)
            whileOpen(s);
    }
};
