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
#include "session/ChatPane.h"
#include "session/Dispatch.h"
#include "session/Link.h"
#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

Context::Context(std::unique_ptr<Dialogs> dialogs)
    : m_dialogs(std::move(dialogs)), m_link(std::make_unique<Link>()),
      m_dispatcher(std::make_unique<Dispatcher>()), m_appTitle(QStringLiteral("Vimo tarokk"))
{
    m_link->setGate([this] { return mayDispatch(); });
    m_link->setLineHandler([this](const QString &line) { handleLine(line); });
    m_dialogs->setOnClosed([this] { m_link->resume(); });
    m_paintTimer = new QTimer(this);
    m_paintTimer->setSingleShot(true);
    m_paintTimer->setInterval(PaintInterval);
    QObject::connect(m_paintTimer, &QTimer::timeout, this, [this] { holdPainting(false); });
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
    QObject::connect(this, &Context::paintingResumed, frame->fdMsgs, &ChatPane::flush);
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
    // Lines are handled one per turn of the event loop, and each turn would repaint every
    // window that changed. During a burst the windows repaint at a steady pace instead;
    // as soon as nothing more is waiting they show the latest state.
    if (m_link->bufferedBytes() > 0) {
        if (!m_paintHeld) {
            holdPainting(true);
            m_paintTimer->start();
        }
    } else if (m_paintHeld) {
        m_paintTimer->stop();
        holdPainting(false);
    }
}

void Context::holdPainting(bool hold)
{
    m_paintHeld = hold;
    for (const auto &object : m_windows)
        if (object->isWidgetType())
            static_cast<QWidget *>(object.get())->setUpdatesEnabled(!hold);
    if (!hold)
        emit paintingResumed();
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
