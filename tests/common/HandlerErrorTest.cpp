// The handlers' error messages and the guard that shows them.

#include "common/HandlerError.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

TEST(HandlerError, EachSpellingShowsTheNumberOrTheDescription)
{
    struct Case {
        ErrorSpelling spelling;
        VbError error;
        const char* handler;
        const char* text;
    } const cases[] = {
        {ErrorSpelling::Description, VbError(53), "OKButton", "Error File not found occurred in OKButton"},
        {ErrorSpelling::Description, VbError(75, QStringLiteral("Disk gone")), "Command5_Click",
         "Error Disk gone occurred in Command5_Click"},
        // A handler's name may carry what it was doing.
        {ErrorSpelling::Description, VbError(75), "OKButton A=3strTemp = C:\\P\\Rail Simulator",
         "Error Path/File access error occurred in OKButton A=3strTemp = C:\\P\\Rail Simulator"},
        {ErrorSpelling::Number, VbError(53), "Drive1_change", "Error 53 occurred in Drive1_change"},
        {ErrorSpelling::Number, VbError(76, QStringLiteral("Disk gone")), "mnuPackAss",
         "Error 76 occurred in mnuPackAss"},
        {ErrorSpelling::AnNumber, VbError(7), "mnuMap_Click", "An Error 7 occurred in mnuMap_Click"},
        {ErrorSpelling::AnNumber, VbError(51, QStringLiteral("Disk gone")), "Form_Load",
         "An Error 51 occurred in Form_Load"},
        {ErrorSpelling::Subroutine, VbError(70), "Command2_Click",
         "Error - Permission denied occurred in subroutine Command2_Click"},
        {ErrorSpelling::Subroutine, VbError(53, QStringLiteral("Disk gone")), "Command10_Click",
         "Error - Disk gone occurred in subroutine Command10_Click"},
        {ErrorSpelling::QuotedHandler, VbError(68), "frmFolder", "An Error Device unavailable occurred in 'frmFolder'"},
        {ErrorSpelling::QuotedHandler, VbError(76, QStringLiteral("Disk gone")), "frmFolder",
         "An Error Disk gone occurred in 'frmFolder'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(handlerErrorText(c.spelling, c.error, QString::fromUtf8(c.handler)), QString::fromUtf8(c.text));
    }
}

TEST(HandlerError, GuardShowsWhatEndedTheWork)
{
    struct Case {
        const char* name;
        std::function<void()> failure; // empty: the work ends normally
        ErrorSpelling spelling;
        const char* text;              // the message shown; none when empty
    } const cases[] = {
        {"no failure", {}, ErrorSpelling::Description, ""},
        {"run-time error", [] { throw VbError(53); }, ErrorSpelling::Description, "Error File not found occurred in h"},
        {"run-time error by number", [] { throw VbError(76); }, ErrorSpelling::Number, "Error 76 occurred in h"},
        {"own description", [] { throw VbError(57, QStringLiteral("Device I/O error")); }, ErrorSpelling::Subroutine,
         "Error - Device I/O error occurred in subroutine h"},
        {"memory by number", [] { throw std::bad_alloc(); }, ErrorSpelling::AnNumber, "An Error 7 occurred in h"},
        {"memory by description", [] { throw std::bad_alloc(); }, ErrorSpelling::Description,
         "Error Out of memory occurred in h"},
        {"other exception by number", [] { throw std::runtime_error("broken"); }, ErrorSpelling::Number,
         "Error 51 occurred in h"},
        {"other exception by description", [] { throw std::runtime_error("broken"); }, ErrorSpelling::Subroutine,
         "Error - broken occurred in subroutine h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        ScriptedUi ui;
        if (!text.isEmpty())
            ui.expectMsgBox(vb::vbOK, text);
        bool started = false;
        bool finished = false;
        const bool ok = runGuarded(c.spelling, QStringLiteral("h"), [&] {
            started = true;
            if (c.failure)
                c.failure();
            finished = true;
        });
        EXPECT_TRUE(started);
        EXPECT_EQ(ok, text.isEmpty());
        EXPECT_EQ(finished, text.isEmpty());
        ASSERT_EQ(ui.messages().size(), text.isEmpty() ? 0 : 1);
        if (!text.isEmpty()) {
            EXPECT_EQ(ui.lastMessage().text, text);
            EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
            EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
        }
    }
}
