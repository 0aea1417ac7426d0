#include "platform/QtUiWindowLife.h"
#include "platform/OneWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace {

// Qt deletes an object whose deletion was asked for during the delivery of an event as soon as
// the event loop runs at a level below that delivery. A click handled while a handler
// processes events is such a delivery: the window it closes would be deleted in the same pass,
// under the handler. So while passes run, the application's filter takes the deletions of
// windows and keeps the windows. When the outermost pass has returned, a fresh object is given
// to Qt's deferred deletion from the handler that called it: Qt deletes it once control is back
// in the event loop below that handler, and it takes the kept windows with it. (The windows'
// own deletion cannot be asked for again: Qt drops a second request for an object that has
// other events waiting.)
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

class WindowLife final : public QObject {
public:
    void beginPass()
    {
        if (passes_++ == 0)
            QCoreApplication::instance()->installEventFilter(this);
    }

    void endPass()
    {
        if (--passes_ > 0)
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        release();
    }

    bool inPass() const { return passes_ > 0; }

    // A window closed for good: hidden, and kept until the passes have ended. Its own filter
    // sees it shown again.
    void hold(QWidget* window)
    {
        window->hide();
        window->installEventFilter(this);
        revived_.removeAll(window);
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

    // Deletes the windows that are still unloaded (not shown again meanwhile); in a pass they
    // are kept for its end.
    void reap(const QList<QPointer<QWidget>>& windows, bool closedOnly)
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
            if (passes_ > 0) {
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
        if (event->type() == QEvent::DeferredDelete && passes_ > 0 && widget->isWindow()) {
            hold(widget);
            return true;
        }
        if (event->type() == QEvent::Show && holds(widget))
            revive(widget);
        else if (event->type() == QEvent::Hide && revived_.contains(widget))
            (new Reaper({widget}, true))->deleteLater();
        return false;
    }

private:
    void release()
    {
        if (!waiting_.isEmpty())
            (new Reaper(std::exchange(waiting_, {}), false))->deleteLater();
    }

    // Shown again by its owner: it lives on, and its next close unloads it. Qt drops the
    // deletion that close asks for when other events wait for the window (its first was
    // taken here), so its own filter sees it hidden and looks whether it was closed.
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

    int passes_ = 0;
    QList<QPointer<QWidget>> waiting_;  // deletions to ask for again when the passes end
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
    windowLife().reap(windows_, closedOnly_);
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
    if (life.inPass()) {
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
        // A close handled late in the last pass may have asked for the deletion after the pass
        // had sent its posted events: it is taken now, before it can run under a handler.
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
