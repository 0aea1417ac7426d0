#pragma once
// A nested event loop as a message box or a modal window runs one: it delivers what was queued
// before it, and ends on a queued event once `done` is true (what the user did while it waited
// has ended), after what that left queued.

#include <QEventLoop>
#include <QTimer>

#include <functional>

inline void waitInNestedLoop(const bool& done)
{
    QEventLoop loop;
    std::function<void()> answer = [&] {
        QTimer::singleShot(0, &loop, done ? std::function<void()>([&loop] { loop.quit(); }) : answer);
    };
    answer();
    loop.exec();
}
