#include "platform/QtUiApplication.h"

#include "common/VbError.h"
#include "support/ScriptedUi.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

// An error thrown by a handler under the real event loop is shown, and the loop goes on to the
// next event; the handler's work after the throw is not done, and the pointer is back at the
// level its event started with.
TEST(QtUiApplication, AnErrorLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    ASSERT_NE(dynamic_cast<QtUiApplication*>(QCoreApplication::instance()), nullptr);
    struct Row {
        std::function<void()> raise;
        QString message;
    };
    const std::vector<Row> rows = {
        {[] { throw VbError(6); }, QStringLiteral("An Error 6 occurred: Overflow")},
        {[] { throw VbError(5); }, QStringLiteral("An Error 5 occurred: Invalid procedure call or argument")},
        {[] { throw std::bad_alloc(); }, QStringLiteral("An Error 7 occurred: Out of memory")},
        {[] { throw std::runtime_error("broken"); }, QStringLiteral("An Error 51 occurred: broken")},
        {[] { throw 42; }, QStringLiteral("An Error 51 occurred: Internal error")},
    };
    for (const Row& row : rows) {
        ScriptedUi ui;
        ui.expectMsgBox(vb::vbOK, row.message);
        ui.setMousePointer(vb::vbHourglass); // the wait of a command that was running already
        QPushButton button;
        bool after = false;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ui.setMousePointer(vb::vbHourglass);
            row.raise();
            after = true;
        });
        bool next = false;
        QEventLoop loop;
        QTimer::singleShot(0, &button, [&] { button.click(); });
        QTimer::singleShot(0, &loop, [&] {
            next = true;
            loop.quit();
        });
        loop.exec();
        EXPECT_TRUE(next) << row.message.toStdString();
        EXPECT_FALSE(after) << row.message.toStdString();
        EXPECT_EQ(ui.mousePointerLevel(), 1) << "the hourglass of the failed handler is taken back, the earlier one stays";
        ASSERT_EQ(ui.messages().size(), 1) << row.message.toStdString();
        EXPECT_EQ(ui.messages().first().title, QStringLiteral("Veltrane"));
        EXPECT_EQ(ui.messages().first().icon(), vb::vbCritical);
    }
}
