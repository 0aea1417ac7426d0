#pragma once
// Windows outlive the handlers that run on them. A handler that processes window events
// (ui().doEvents()) meets the clicks the user queued meanwhile: the Exit of its own window, or
// a command elsewhere that unloads it. While window events are processed for a handler, no
// window is deleted: a window closed for good then (WA_DeleteOnClose, deleteLater, or
// unloadWindow) stays alive, hidden, until the outermost processing has returned, and is
// deleted once control is back in the event loop below the handler. A handler that goes on
// after its window was closed asks isUnloaded() and does nothing more to it.

class QWidget;

namespace platform {

// Processes the pending window events for a handler that is still running: what
// ui().doEvents() does.
void processHandlerEvents();

// Deletes a window that is done with: at once, or, while window events are processed for a
// handler (which may be one of the window's own), hides it now and deletes it after that
// handler. Null does nothing.
void unloadWindow(QWidget* window);

// True when the window has been closed for good and only waits for the running handlers to end
// before it is deleted; also for null. A window its owner has shown again is not unloaded.
bool isUnloaded(const QWidget* window);

} // namespace platform
