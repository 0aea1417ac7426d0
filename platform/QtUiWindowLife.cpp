#include "platform/QtUiWindowLife.h"
#include "platform/OneWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <utility>

namespace {

// Qt deletes an object whose deletion was asked for during the delivery of an event as soon as
// an event loop runs at a level below that delivery: the message box or modal window that an
// outer handler opens, the outer handler's own doEvents. A handler may still run on the window
// then. So while a handler runs (an event delivery is under way below the one that would delete,
// or a doEvents pass), the application's filter takes the deletions of windows and keeps the
// windows, hidden. When the application's delivery is back at its outermost level, a fresh
// object is given to Qt's deferred deletion: Qt deletes it once control is back in the event
// loop, after the code that delivered the last event (which may still use the window it sent
// to) has returned, and it takes the kept windows with it; delivered under a handler after all,
// it keeps them again. (The windows' own deletion cannot be asked for again: Qt drops a second
// request for an object that has other events waiting.)
class Reaper final : public QObject {
public:
    // closedOnly: a window shown again after its unloading, hidden since: deleted only when
    // that was a close for good (WA_DeleteOnClose taken off by the close).
    Reaper(QList<QPointer<QWidget>> windows, bool closedOnly) : windows_(std::move(windows)), closedOnly_(closedOnly) {}
    ~Reaper() override;

private:
    QList<QPointer<QWidget>> windows_;
    bool closedOnly_;
};

// Qt's own short-lived windows (tooltips, menus) keep their deletion: no handler of ours runs on
// them, and Qt keeps track of the tooltip it shows, which a late deletion would upset.
bool isHandlerWindow(const QWidget* widget)
{
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::ToolTip && type != Qt::Popup;
}

class WindowLife final : public QObject {
public:
    WindowLife() { QCoreApplication::instance()->installEventFilter(this); }

    void beginDelivery() { ++deliveries_; }
    void endDelivery()
    {
        --deliveries_;
        releaseWhenIdle();
    }

    void beginPass() { ++passes_; }
    void endPass()
    {
        --passes_;
        releaseWhenIdle();
    }

    // A handler may be running: an event delivery is under way besides the `own` ones of the
    // caller, or a doEvents pass. (Without the program's application object no delivery is
    // counted, and only the passes hold.)
    bool handlersRunning(int own) const { return deliveries_ > own || passes_ > 0; }

    // A window closed for good: hidden, and kept until no handler runs.
    void hold(QWidget* window)
    {
        revived_.removeAll(window);
        window->hide();
        if (!waiting_.contains(window))
            waiting_.append(window);
        unloaded_.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
        if (!unloaded_.contains(window))
            unloaded_.append(window);
    }

    bool holds(const QWidget* window) const
    {
        for (const QPointer<QWidget>& w : unloaded_)
            if (w.data() == window)
                return true;
        return false;
    }

    // Deletes the windows that are still unloaded (not shown again meanwhile); under a running
    // handler they are kept again. own: the deliveries of the reaper itself.
    void reap(const QList<QPointer<QWidget>>& windows, bool closedOnly, int own)
    {
        for (const QPointer<QWidget>& window : windows) {
            if (!window)
                continue;
            if (closedOnly) {
                if (window->isVisible() || window->testAttribute(Qt::WA_DeleteOnClose))
                    continue;
                revived_.removeAll(window);
                unloaded_.append(window);
            } else if (!holds(window)) {
                continue;
            }
            if (handlersRunning(own)) {
                hold(window);
                continue;
            }
            unloaded_.removeAll(window);
            delete window.data();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::DeferredDelete:
            // The delivery of this event is one of those counted.
            if (isHandlerWindow(widget) && handlersRunning(1)) {
                hold(widget);
                return true;
            }
            break;
        case QEvent::Show:
            if (widget->isWindow() && holds(widget))
                revive(widget);
            break;
        case QEvent::Hide:
            if (revived_.contains(widget))
                (new Reaper({widget}, true))->deleteLater();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void releaseWhenIdle()
    {
        if (deliveries_ == 0 && passes_ == 0 && !waiting_.isEmpty())
            (new Reaper(std::exchange(waiting_, {}), false))->deleteLater();
    }

    // Shown again by its owner: it lives on, and its next close unloads it. Qt drops the
    // deletion that close asks for when other events wait for the window (its first was
    // taken here), so the filter sees it hidden and looks whether it was closed.
    void revive(QWidget* window)
    {
        waiting_.removeAll(window);
        unloaded_.removeAll(window);
        revived_.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
        if (!revived_.contains(window))
            revived_.append(window);
        QCoreApplication::removePostedEvents(window, QEvent::DeferredDelete);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }

    int deliveries_ = 0;                // event deliveries under way (the application's notify)
    int passes_ = 0;                    // doEvents passes under way
    QList<QPointer<QWidget>> waiting_;  // deletions to ask for again when no handler runs
    QList<QPointer<QWidget>> unloaded_; // closed for good, not deleted yet
    QList<QPointer<QWidget>> revived_;  // shown again after their unloading
};

WindowLife& windowLife()
{
    static WindowLife* life = new WindowLife;
    return *life;
}

Reaper::~Reaper()
{
    // Qt deletes a reaper from the delivery of its deferred deletion.
    windowLife().reap(windows_, closedOnly_, 1);
}

class Pass {
public:
    Pass() { windowLife().beginPass(); }
    ~Pass() { windowLife().endPass(); }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
};

} // namespace

namespace platform {

EventDelivery::EventDelivery()
    : counted_(QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
{
    if (counted_)
        windowLife().beginDelivery();
}

EventDelivery::~EventDelivery()
{
    if (counted_)
        windowLife().endDelivery();
}

void processHandlerEvents()
{
    if (!QCoreApplication::instance())
        return;
    Pass pass;
    QCoreApplication::processEvents();
}

void unloadWindow(QWidget* window)
{
    if (!window)
        return;
    WindowLife& life = windowLife();
    if (life.handlersRunning(0)) {
        life.hold(window);
        return;
    }
    delete window;
}

bool isUnloaded(const QWidget* window)
{
    if (!window)
        return true;
    if (window->isVisible())
        return false;
    WindowLife& life = windowLife();
    if (!life.holds(window) && QCoreApplication::instance()) {
        // A close whose deletion Qt has not delivered yet (asked for at this level, or deeper
        // after the last pass had sent its posted events): it is taken now, and kept.
        Pass pass;
        QCoreApplication::sendPostedEvents(const_cast<QWidget*>(window), QEvent::DeferredDelete);
    }
    return life.holds(window);
}

void bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace platform
