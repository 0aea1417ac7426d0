#pragma once
// Windows outlive the handlers that run on them. A handler that processes window events
// (ui().doEvents(), a message box, an input box, a modal window) meets the clicks the user
// queued meanwhile: the Exit of its own window, a second command, a command elsewhere that
// unloads it. No window is deleted while any handler is still running: a window closed for good
// then (WA_DeleteOnClose, deleteLater, or unloadWindow) stays alive, hidden, and is deleted once
// the application's event delivery is back at its outermost level, in the event loop below every
// handler. A window its owner shows again before that lives on: hidden later, it stays; closed
// for good again, it is unloaded again. A handler that goes on after its window was closed asks
// isUnloaded() and does nothing more to it.

class QWidget;

namespace platform {

// Counts an event delivery of the application's thread for its scope: the program's
// application object holds one around each event it delivers.
class EventDelivery {
public:
    EventDelivery();
    ~EventDelivery();
    EventDelivery(const EventDelivery&) = delete;
    EventDelivery& operator=(const EventDelivery&) = delete;

private:
    bool counted_;
};

// Processes the pending window events for a handler that is still running: what
// ui().doEvents() does.
void processHandlerEvents();

// Deletes a window that is done with: at once when no handler runs, else hides it now and
// deletes it once no handler runs (one of them may be the window's own). Null does nothing.
void unloadWindow(QWidget* window);

// True when the window has been closed for good and only waits for the running handlers to end
// before it is deleted; also for null. A window its owner has shown again is not unloaded.
bool isUnloaded(const QWidget* window);

} // namespace platform
