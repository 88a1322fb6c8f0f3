#include "Context.h"

#include "Dialogs.h"
#include "bidding/Points.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "cards/VmKibic.h"
#include "history/VmMatch.h"
#include "history/VmRoll.h"
#include "session/Dispatch.h"
#include "session/Link.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

Context::Context(std::unique_ptr<Dialogs> dialogs)
    : m_dialogs(std::move(dialogs)), m_link(std::make_unique<Link>()),
      m_dispatcher(std::make_unique<Dispatcher>()), m_appTitle(QStringLiteral("Vimo tarokk"))
{
    m_link->setGate([this] { return mayDispatch(); });
    m_link->setLineHandler([this](const QString &line) { handleLine(line); });
    m_dialogs->setOnClosed([this] { m_link->resume(); });
    if (qApp)
        qApp->installEventFilter(this);
}

Context::~Context()
{
    if (qApp)
        qApp->removeEventFilter(this);
    m_link->close();
    while (!m_windows.empty())
        m_windows.pop_back();
}

template<typename W>
static W *make(Context &ctx, std::vector<std::unique_ptr<QObject>> &windows)
{
    auto window = std::make_unique<W>(ctx);
    W *raw = window.get();
    windows.push_back(std::move(window));
    return raw;
}

void Context::createWindows()
{
    frame = make<TFrame>(*this, m_windows);
    connect = make<TConnect>(*this, m_windows);
    kibic = make<TKibic>(*this, m_windows);
    bid = make<TBidxForm>(*this, m_windows);
    card = make<TCardForm>(*this, m_windows);
    desk = make<TDeskForm>(*this, m_windows);
    list = make<TListForm>(*this, m_windows);
    tk = make<TTkForm>(*this, m_windows);
    roll = make<TRollForm>(*this, m_windows);
    match = make<TMatch>(*this, m_windows);
    InstallHandlers(*m_dispatcher, *this);
    QObject::connect(m_link.get(), &Link::connected, frame, &TFrame::LinkConnected);
    QObject::connect(m_link.get(), &Link::closedByClient, frame, &TFrame::LinkDisconnected);
    QObject::connect(m_link.get(), &Link::lost, frame, &TFrame::LinkLost);
    // A new hand's proposed signals become the bid editor's first group.
    QObject::connect(card, &TCardForm::proposalsChanged, bid, &TBidxForm::SetSignals);
    setApplicationTitle(m_appTitle);
}

void Context::setApplicationTitle(const QString &title)
{
    m_appTitle = title;
    // X11 has no separate task-bar title; the icon text is the closest thing, and unlike
    // QGuiApplication's display name it leaves every window caption untouched.
    if (frame)
        frame->setWindowIconText(title);
}

bool Context::mayDispatch() const
{
    return !m_handling && m_dialogs->depth() == 0 && !QApplication::activeModalWidget();
}

void Context::handleLine(const QString &line)
{
    m_handling = true;
    guard([&] { m_dispatcher->dispatch(line); });
    m_handling = false;
}

bool Context::eventFilter(QObject *watched, QEvent *event)
{
    // Any modal window closing (a login page, a box opened outside the dialogs service)
    // may be what held the lines back.
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->isWindow() && w->isModal())
            m_link->resume();
    }
    return QObject::eventFilter(watched, event);
}
