#pragma once
// Ends a row of a table test over windows: the row's own unloading (when it has one), then the
// window itself if it is still there, and the deletions that were waiting for the event loop.

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <functional>

inline void closeRowWindow(const QPointer<QWidget>& window, const std::function<void()>& unload)
{
    if (unload)
        unload();
    if (window) {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
