#pragma once
// A user-interface seam for tests: records every message and dialog and answers from a
// queue of expectations. A dialog that was not expected fails the test and is answered as
// cancelled; expectations left over when the seam goes away fail the test too.
//
//   ScriptedUi ui;                       // installed until the end of the scope
//   ui.expectMsgBox(vb::vbYes, "Do you wish");
//   ui.expectOpenFile("/tmp/x/RailSim.exe");
//   runTheCommand();
//   EXPECT_EQ(ui.lastMessage().text, "...");

#include "platform/Ui.h"
#include "support/QtPrinters.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

class ScriptedUi : public Ui {
public:
    struct Message {
        QString text;
        int style = 0;
        QString title; // the program's title when the caller gave none
        int buttons() const { return style & 0x0F; }
        int icon() const { return style & 0x70; }
        int defaultButton() const { return style & 0x300; }
    };

    enum class Kind { MsgBox, InputBox, OpenFile, SaveFile, Folder, Modal, OpenFiles };

    struct Dialog {
        Kind kind = Kind::MsgBox;
        QString title;       // caption (program title filled in for message and input boxes)
        QString text;        // prompt of a message or input box; window title of a modal window
        QString defaultText; // input box default
        FileDialogRequest request; // file dialogs
        TwipsPlace at;             // where an input box opens
    };

    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // Expectations, consumed in order. A non-empty `contains` must occur in the prompt
    // (the window title for modal windows); a mismatch fails the test.
    ScriptedUi& expectMsgBox(int answer, const QString& contains = QString());
    ScriptedUi& expectInputBox(const QString& answer, const QString& contains = QString());
    ScriptedUi& expectOpenFile(const QString& path);
    ScriptedUi& expectSaveFile(const QString& path);
    // The answer of an open dialog choosing several files (an empty list cancels).
    ScriptedUi& expectOpenFiles(const QStringList& paths);
    ScriptedUi& expectFolder(const QString& path);
    // The action works the modal window and then closes or hides it.
    ScriptedUi& expectModal(std::function<void(QWidget*)> action, const QString& contains = QString());

    // Message boxes wait as the program's do: in a nested event loop, which delivers what was
    // queued before the box opened, and are answered by a queued event after what the user did
    // meanwhile (and what that left queued). Off by default (answered at once).
    void setBoxesWaitInLoop(bool on) { boxesWaitInLoop_ = on; }
    // What the user does while the next box waits (with boxes waiting in a loop): queued as it
    // opens, ahead of its answer.
    void whileNextBoxWaits(std::function<void()> action) { whileNextBox_ = std::move(action); }

    // Fails the test for every expectation not consumed yet, and forgets them.
    void verifyDone();
    qsizetype pendingExpectations() const { return qsizetype(queue_.size()); }

    const QList<Message>& messages() const { return messages_; }
    Message lastMessage() const;
    const QList<Dialog>& dialogs() const { return dialogs_; }
    Dialog lastDialog() const;
    void clearRecords();

    int mousePointer() const { return pointer_; }
    const QList<int>& pointerHistory() const { return pointerHistory_; }

    // Ui
    int msgBox(const QString& prompt, int style = vb::vbOKOnly, const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title = QString(),
                     const QString& defaultText = QString(), TwipsPlace at = std::nullopt) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& title) override;
    void showModal(QWidget* window) override;
    void doEvents() override;
    void setMousePointer(int pointer) override;
    int mousePointerLevel() const override { return pointerLevel_; }
    void restoreMousePointerLevel(int level) override;
    QString clipboardText() override { return clipboard_; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }

    static const char* kindName(Kind kind);

private:
    struct Expectation {
        Kind kind;
        int answer = 0;
        QString text;     // answer of input boxes and file dialogs
        QString contains; // expected part of the prompt
        std::function<void(QWidget*)> action;
    };

    // The next expectation when it is of this kind; otherwise fails the test and
    // returns false.
    bool take(Kind kind, const QString& shown, Expectation& out);

    Ui* previous_ = nullptr;
    std::deque<Expectation> queue_;
    std::deque<QStringList> openFilesAnswers_; // one per OpenFiles expectation, in order
    QList<Message> messages_;
    QList<Dialog> dialogs_;
    bool boxesWaitInLoop_ = false;
    std::function<void()> whileNextBox_;
    int pointer_ = vb::vbDefault;
    int pointerLevel_ = 0; // hourglass requests not yet taken back
    QList<int> pointerHistory_;
    QString clipboard_;
};
