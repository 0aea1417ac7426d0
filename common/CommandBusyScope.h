#pragma once
// The scope a window's command runs in when it processes window events while it works: the
// window's commands are disabled for the scope's life, so that no second command starts in
// the middle of it. Scopes nest; the commands come back when the outermost one ends, unless
// the window has gone by then.
//
// The window counts its open scopes in `int busy_` and has `setCommandsEnabled(bool)`; it
// befriends this template and names it with `using BusyScope = CommandBusyScope<Window>;`.

#include <QPointer>

template <typename Window>
class CommandBusyScope {
public:
    explicit CommandBusyScope(Window* window) : window_(window)
    {
        if (window_->busy_++ == 0)
            window_->setCommandsEnabled(false);
    }
    ~CommandBusyScope()
    {
        if (window_ && --window_->busy_ == 0)
            window_->setCommandsEnabled(true);
    }
    CommandBusyScope(const CommandBusyScope&) = delete;
    CommandBusyScope& operator=(const CommandBusyScope&) = delete;

private:
    QPointer<Window> window_;
};
