#pragma once
// The program-wide objects: the ten windows that live as long as the program, the one
// connection, and the dialogs service. Windows reach each other through here rather than
// through globals, and tests build the same context offscreen.

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class Dialogs;
class Link;
class Dispatcher;
class TFrame;
class TConnect;
class TKibic;
class TBidxForm;
class TCardForm;
class TDeskForm;
class TListForm;
class TTkForm;
class TRollForm;
class TMatch;

class Context : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *Version = "2.0  ß 5 verzió";

    explicit Context(std::unique_ptr<Dialogs> dialogs);
    ~Context() override;

    // Creates the ten windows in their fixed order; the connection and the dispatch
    // table exist from construction.
    void createWindows();

    Dialogs &dialogs() const { return *m_dialogs; }
    Link &link() const { return *m_link; }
    Dispatcher &dispatcher() const { return *m_dispatcher; }

    TFrame *frame = nullptr;
    TConnect *connect = nullptr;
    TKibic *kibic = nullptr;
    TBidxForm *bid = nullptr;
    TCardForm *card = nullptr;
    TDeskForm *desk = nullptr;
    TListForm *list = nullptr;
    TTkForm *tk = nullptr;
    TRollForm *roll = nullptr;
    TMatch *match = nullptr;

    // The title the desktop shows for the program as a whole (task bar, window class);
    // kept apart from the window captions, which stay exactly as each window sets them.
    QString applicationTitle() const { return m_appTitle; }
    void setApplicationTitle(const QString &title);

    // Runs `work` through the guard: an exception becomes an error box.
    template<typename F>
    bool guard(F &&work) const;

    // True while server lines may be handled: no handler running, no modal box open.
    bool mayDispatch() const;

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void handleLine(const QString &line);

    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<Link> m_link;
    std::unique_ptr<Dispatcher> m_dispatcher;
    std::vector<std::unique_ptr<QObject>> m_windows; // in creation order
    QString m_appTitle;
    bool m_handling = false;
};

#include "Guard.h"

template<typename F>
bool Context::guard(F &&work) const
{
    return Guard(*m_dialogs, std::forward<F>(work));
}
