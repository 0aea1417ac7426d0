// A window closed or unloaded while its handler processes window events (its doEvents, a modal
// wait, a second handler run by either) stays alive until the handler has ended, and is deleted
// once the event loop runs below it: through the program's own seam, with the handler started as
// the event loop starts a click.

#include "platform/OneWindow.h"
#include "platform/QtUi.h"
#include "platform/QtUiWindowLife.h"
#include "support/NestedWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct QtUiScope {
    QtUi seam;
    Ui* previous = setUi(&seam);
    ~QtUiScope() { setUi(previous); }
};

// Runs work as the event loop runs a handler: from a timer's event, inside a running loop.
void runAsHandler(const std::function<void()>& work)
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        work();
        loop.quit();
    });
    loop.exec();
}

} // namespace

TEST(WindowLife, NoWindowIsDeletedUnderTheHandlerThatProcessesEvents)
{
    QtUiScope scope;
    const struct Row {
        const char* what;
        std::function<void(QWidget*)> closeIt; // the click the user queued
        int passes;                             // doEvents calls the handler makes
        bool nestedHandler;                     // the click comes inside a second handler's pass
        bool modalAfter;                        // the handler waits in a nested loop afterwards
        bool byItsOwnHandler = false;           // no click: the window's own handler does it first
        Qt::WindowType type = Qt::Window;       // Qt's tooltips and popups keep Qt's own deletion
    } rows[] = {
        {"close, one pass", [](QWidget* w) { w->close(); }, 1, false, false},
        {"close, two passes", [](QWidget* w) { w->close(); }, 2, false, false},
        {"close, then a modal wait", [](QWidget* w) { w->close(); }, 2, false, true},
        {"close inside a nested handler's pass", [](QWidget* w) { w->close(); }, 1, true, false},
        {"deleteLater", [](QWidget* w) { w->deleteLater(); }, 2, false, true},
        {"unloaded by another command", [](QWidget* w) { platform::unloadWindow(w); }, 1, false, true},
        // No pass of this handler runs: the click lands in the modal wait.
        {"close inside the modal wait", [](QWidget* w) { w->close(); }, 0, false, true},
        {"close in a pass of a handler run by the modal wait", [](QWidget* w) { w->close(); }, 0, true, true},
        {"unloaded by a command run by the modal wait", [](QWidget* w) { platform::unloadWindow(w); }, 0, false, true},
        {"unloaded by its own outermost handler", [](QWidget* w) { platform::unloadWindow(w); }, 0, false, false, true},
        {"closed by its own outermost handler", [](QWidget* w) { w->close(); }, 0, false, false, true},
        {"a tooltip's deleteLater", [](QWidget* w) { w->deleteLater(); }, 2, false, true, false, Qt::ToolTip},
        {"a popup's deleteLater", [](QWidget* w) { w->deleteLater(); }, 2, false, true, false, Qt::Popup},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto* window = new QWidget(nullptr, row.type);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QPointer<QWidget> guard(window);
        bool handlerRunning = false;
        bool deletedUnderHandler = false;
        QObject::connect(window, &QObject::destroyed, [&] { deletedUnderHandler = handlerRunning; });

        bool clicked = false;
        bool unloadedInHandler = false;
        runAsHandler([&] {
            handlerRunning = true;
            const auto click = [&] {
                if (row.nestedHandler) {
                    QTimer::singleShot(0, [&] { row.closeIt(guard); });
                    ui().doEvents();
                    ui().doEvents();
                } else {
                    row.closeIt(guard);
                }
                clicked = true;
            };
            if (row.byItsOwnHandler)
                click();
            else
                QTimer::singleShot(0, click);
            for (int i = 0; i < row.passes; ++i)
                ui().doEvents();
            if (row.modalAfter)
                waitInNestedLoop(clicked); // a modal wait, answered after the user's click
            unloadedInHandler = platform::isUnloaded(guard);
            if (guard)
                guard->setWindowTitle(QStringLiteral("still there")); // the handler goes on with it
            handlerRunning = false;
        });
        EXPECT_TRUE(clicked);
        if (row.type == Qt::Window) {
            EXPECT_FALSE(deletedUnderHandler);
            EXPECT_TRUE(unloadedInHandler);
        } else {
            EXPECT_TRUE(deletedUnderHandler) << "deleted when Qt deletes it, as Qt expects";
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull()) << "deleted once the event loop runs below the handler";
        delete guard.data();
    }
}

TEST(WindowLife, AWindowShownAgainByItsOwnerLivesOnUntilItsNextClose)
{
    QtUiScope scope;
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QPointer<QWidget> guard(window);
    bool unloadedWhileClosed = false;
    bool unloadedWhenShown = true;
    runAsHandler([&] {
        QTimer::singleShot(0, window, [window] { window->close(); });
        ui().doEvents();
        unloadedWhileClosed = platform::isUnloaded(window);
        window->show();
        unloadedWhenShown = platform::isUnloaded(window);
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(unloadedWhileClosed);
    EXPECT_FALSE(unloadedWhenShown);
    ASSERT_FALSE(guard.isNull());
    EXPECT_TRUE(guard->isVisible());

    // Only hidden, not closed: it stays.
    guard->hide();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(guard.isNull()) << "a window shown again and then only hidden is kept";
    guard->show();

    // Closed again, with events still waiting for it as a shown window has them.
    QCoreApplication::postEvent(guard, new QEvent(QEvent::User));
    guard->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    delete guard.data();
}

TEST(WindowLife, OneWindowKeepsTheOpenWindowUntilItIsClosedForGood)
{
    QtUiScope scope;
    int made = 0;
    const auto make = [&made] {
        ++made;
        return platform::deletedOnClose(new QWidget);
    };
    platform::OneWindow<QWidget> place;
    EXPECT_EQ(place.loaded(), nullptr);

    QWidget* first = &place.show(make);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(&place.show(make), first) << "opened again: the open one, in front";
    EXPECT_EQ(made, 1);

    // Hidden without being closed for good (a dialog kept for its typed text): still the open one.
    first->setAttribute(Qt::WA_DeleteOnClose, false);
    first->hide();
    EXPECT_EQ(place.loaded(), first);
    first->setAttribute(Qt::WA_DeleteOnClose);

    // Closed by the user under a running handler: it waits for the handler, but it is not the
    // open one any more; the next opening makes a new one beside it.
    QPointer<QWidget> closed(first);
    QWidget* second = nullptr;
    bool closedStillThere = false;
    runAsHandler([&] {
        QTimer::singleShot(0, first, [first] { first->close(); });
        ui().doEvents();
        EXPECT_EQ(place.loaded(), nullptr);
        second = &place.instance(make);
        closedStillThere = !closed.isNull();
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closedStillThere);
    EXPECT_TRUE(closed.isNull());
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(place.loaded(), second);
    EXPECT_EQ(made, 2);

    // A window that registers itself: another window's leaving does not clear the place.
    auto* third = new QWidget;
    QPointer<QWidget> secondGuard(second);
    place.take(third);
    place.forget(second);
    EXPECT_EQ(place.loaded(), third);
    place.forget(third);
    EXPECT_EQ(place.loaded(), nullptr);
    place.take(third);

    place.unload();
    EXPECT_EQ(place.loaded(), nullptr);
    QWidget* fourth = &place.instance(make);
    EXPECT_EQ(place.loaded(), fourth);
    EXPECT_EQ(made, 3);
    place.unload();
    delete secondGuard.data();
}
