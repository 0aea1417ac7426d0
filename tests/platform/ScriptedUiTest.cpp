#include "support/ScriptedUi.h"

#include <QDialog>
#include <QPushButton>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

TEST(ScriptedUi, AnswersInOrderAndRecordsEveryMessage)
{
    ScriptedUi seam;
    seam.expectMsgBox(vb::vbYes, QStringLiteral("Default Editor"))
        .expectInputBox(QStringLiteral("NewName"))
        .expectOpenFile(QStringLiteral("/x/RailSim.exe"))
        .expectMsgBox(vb::vbCancel)
        .expectSaveFile(QStringLiteral("/x/out.txt"))
        .expectFolder(QStringLiteral("/x/folder"));

    EXPECT_EQ(&ui(), &seam);
    EXPECT_EQ(ui().msgBox(QStringLiteral("Do you wish to use the .XML editor as your Default Editor?"),
                          vb::vbYesNo + vb::vbExclamation),
              vb::vbYes);
    EXPECT_EQ(ui().inputBox(QStringLiteral("Name?"), QString(), QStringLiteral("Old")), QStringLiteral("NewName"));
    FileDialogRequest open;
    open.title = QStringLiteral("Select your RailSim.exe File");
    open.filter = QStringLiteral("RailSim Files (*.exe)|*.exe");
    EXPECT_EQ(ui().openFile(open), QStringLiteral("/x/RailSim.exe"));
    EXPECT_EQ(ui().msgBox(QStringLiteral("Sure?"), vb::vbOKCancel + vb::vbQuestion + vb::vbDefaultButton2,
                          QStringLiteral("Own title")),
              vb::vbCancel);
    EXPECT_EQ(ui().saveFile(FileDialogRequest{}), QStringLiteral("/x/out.txt"));
    EXPECT_EQ(ui().browseForFolder(QStringLiteral("Pick")), QStringLiteral("/x/folder"));
    EXPECT_EQ(seam.pendingExpectations(), 0);

    ASSERT_EQ(seam.messages().size(), 2);
    const ScriptedUi::Message first = seam.messages()[0];
    EXPECT_EQ(first.title, QStringLiteral("Veltrane"));
    EXPECT_EQ(first.buttons(), vb::vbYesNo);
    EXPECT_EQ(first.icon(), vb::vbExclamation);
    const ScriptedUi::Message last = seam.lastMessage();
    EXPECT_EQ(last.text, QStringLiteral("Sure?"));
    EXPECT_EQ(last.title, QStringLiteral("Own title"));
    EXPECT_EQ(last.buttons(), vb::vbOKCancel);
    EXPECT_EQ(last.icon(), vb::vbQuestion);
    EXPECT_EQ(last.defaultButton(), vb::vbDefaultButton2);

    ASSERT_EQ(seam.dialogs().size(), 6);
    EXPECT_EQ(seam.dialogs()[1].kind, ScriptedUi::Kind::InputBox);
    EXPECT_EQ(seam.dialogs()[1].defaultText, QStringLiteral("Old"));
    EXPECT_EQ(seam.dialogs()[2].request.filter, QStringLiteral("RailSim Files (*.exe)|*.exe"));
    EXPECT_EQ(seam.lastDialog().kind, ScriptedUi::Kind::Folder);

    seam.clearRecords();
    EXPECT_TRUE(seam.messages().isEmpty());
    EXPECT_TRUE(seam.dialogs().isEmpty());
}

TEST(ScriptedUi, UnexpectedDialogsFailAndAnswerAsCancelled)
{
    ScriptedUi seam;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = ui().msgBox(QStringLiteral("Surprise"), vb::vbYesNo),
                            "Unexpected message box: \"Surprise\"");
    EXPECT_EQ(answer, vb::vbNo);
    EXPECT_EQ(seam.lastMessage().text, QStringLiteral("Surprise")); // still recorded

    QString text = QStringLiteral("not cancelled");
    EXPECT_NONFATAL_FAILURE(text = ui().inputBox(QStringLiteral("Name?")), "Unexpected input box");
    EXPECT_TRUE(text.isEmpty());

    // a dialog of the wrong kind fails but leaves the expectation for the right one
    seam.expectMsgBox(vb::vbOK);
    EXPECT_NONFATAL_FAILURE(text = ui().openFile(FileDialogRequest{}), "expected a message box");
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(ui().msgBox(QStringLiteral("Now")), vb::vbOK);

    // wrong text: fails, but the scripted answer is given
    seam.expectMsgBox(vb::vbRetry, QStringLiteral("disk full"));
    EXPECT_NONFATAL_FAILURE(answer = ui().msgBox(QStringLiteral("Other"), vb::vbRetryCancel), "does not contain");
    EXPECT_EQ(answer, vb::vbRetry);
}

TEST(ScriptedUi, UnconsumedExpectationsFail)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi seam;
            seam.expectMsgBox(vb::vbOK, QStringLiteral("Finished"));
        },
        "Expected message box was never shown (containing \"Finished\")");

    ScriptedUi seam;
    seam.expectFolder(QStringLiteral("/x"));
    EXPECT_NONFATAL_FAILURE(seam.verifyDone(), "Expected folder dialog was never shown");
    EXPECT_EQ(seam.pendingExpectations(), 0);
}

TEST(ScriptedUi, InstallsItselfForItsScope)
{
    Ui* before = &ui();
    {
        ScriptedUi outer;
        EXPECT_EQ(&ui(), &outer);
        {
            ScriptedUi inner;
            EXPECT_EQ(&ui(), &inner);
        }
        EXPECT_EQ(&ui(), &outer);
    }
    EXPECT_EQ(&ui(), before);
}

TEST(ScriptedUi, ModalWindowsRunTheScriptedAction)
{
    ScriptedUi seam;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Clone Scenario"));
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);

    bool sawVisible = false;
    seam.expectModal(
        [&](QWidget* w) {
            EXPECT_EQ(w, &dialog);
            sawVisible = w->isVisible() && w->isModal();
            ok->click();
        },
        QStringLiteral("Clone"));
    ui().showModal(&dialog);
    EXPECT_TRUE(sawVisible);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // an action that forgets to close the window fails the test; the window is hidden
    seam.expectModal([](QWidget*) {});
    EXPECT_NONFATAL_FAILURE(ui().showModal(&dialog), "was left open");
    EXPECT_FALSE(dialog.isVisible());

    // a window that deletes itself on closing
    auto* self = new QWidget;
    self->setAttribute(Qt::WA_DeleteOnClose);
    seam.expectModal([](QWidget* w) { w->close(); });
    ui().showModal(self);

    QWidget unexpected;
    unexpected.setWindowTitle(QStringLiteral("Stray"));
    EXPECT_NONFATAL_FAILURE(ui().showModal(&unexpected), "Unexpected modal window: \"Stray\"");
    EXPECT_FALSE(unexpected.isVisible());
}

TEST(ScriptedUi, PointerAndClipboardAreKept)
{
    ScriptedUi seam;
    {
        BusyPointer busy;
        EXPECT_EQ(seam.mousePointer(), vb::vbHourglass);
    }
    EXPECT_EQ(seam.mousePointer(), vb::vbDefault);
    EXPECT_EQ(seam.pointerHistory(), (QList<int>{vb::vbHourglass, vb::vbDefault}));
    ui().setClipboardText(QStringLiteral("copied"));
    EXPECT_EQ(ui().clipboardText(), QStringLiteral("copied"));
}

TEST(FallbackUi, AnswersAsCancelledWhenNothingIsInstalled)
{
    Ui* installed = setUi(nullptr);
    EXPECT_EQ(ui().msgBox(QStringLiteral("fallback message"), vb::vbYesNoCancel), vb::vbCancel);
    EXPECT_EQ(ui().msgBox(QStringLiteral("fallback message"), vb::vbYesNo), vb::vbNo);
    EXPECT_EQ(ui().msgBox(QStringLiteral("fallback message")), vb::vbOK);
    EXPECT_TRUE(ui().inputBox(QStringLiteral("fallback question")).isEmpty());
    EXPECT_TRUE(ui().openFile(FileDialogRequest{}).isEmpty());
    EXPECT_TRUE(ui().browseForFolder(QString()).isEmpty());
    ui().setClipboardText(QStringLiteral("kept"));
    EXPECT_EQ(ui().clipboardText(), QStringLiteral("kept"));
    { BusyPointer busy; }
    setUi(installed);
}
