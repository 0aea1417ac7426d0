#pragma once
// A window the program keeps at most one of: the place that knows the open one. A window closed
// for good that still waits for its handlers to end (see QtUiWindowLife.h) no longer counts as
// open: the next opening makes a new one.

#include "platform/QtUiWindowLife.h"

#include <QPointer>
#include <QWidget>

namespace platform {

// Shown, raised above the other windows and given the focus.
void bringToFront(QWidget* window);

// A window that is deleted when it is closed.
template <class Window>
Window* deletedOnClose(Window* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

template <class Window>
class OneWindow {
public:
    // The open window; null when there is none.
    Window* loaded() const { return isUnloaded(window_) ? nullptr : window_.data(); }

    // The open window, or the one make() returns when there is none.
    template <class Make>
    Window& instance(Make make)
    {
        if (isUnloaded(window_))
            window_ = make();
        return *window_;
    }

    // The open window, or a new one from make(), brought to the front.
    template <class Make>
    Window& show(Make make)
    {
        Window& window = instance(make);
        bringToFront(&window);
        return window;
    }

    // A window that registers itself when it is made, and leaves when it is closed for good
    // or deleted.
    void take(Window* window) { window_ = window; }
    void forget(const Window* window)
    {
        if (window_.data() == window)
            window_.clear();
    }

    // The open window unloaded (see unloadWindow); the next opening makes a new one.
    void unload()
    {
        Window* window = window_.data();
        window_.clear();
        unloadWindow(window);
    }

private:
    QPointer<Window> window_;
};

} // namespace platform
