#include "support/ScriptedUi.h"

#include "platform/QtUiWindowLife.h"
#include "support/NestedWait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>

namespace {
QString captionOf(const QString& title)
{
    return title.isEmpty() ? Ui::programTitle() : title;
}
} // namespace

ScriptedUi::ScriptedUi()
{
    previous_ = setUi(this);
}

ScriptedUi::~ScriptedUi()
{
    // After a fatal failure the rest of the script never ran; listing it adds only noise.
    if (::testing::Test::HasFatalFailure())
        queue_.clear();
    verifyDone();
    setUi(previous_);
}

const char* ScriptedUi::kindName(Kind kind)
{
    switch (kind) {
    case Kind::MsgBox: return "message box";
    case Kind::InputBox: return "input box";
    case Kind::OpenFile: return "open dialog";
    case Kind::SaveFile: return "save dialog";
    case Kind::Folder: return "folder dialog";
    case Kind::Modal: return "modal window";
    case Kind::OpenFiles: return "several-files open dialog";
    }
    return "dialog";
}

ScriptedUi& ScriptedUi::expectMsgBox(int answer, const QString& contains)
{
    queue_.push_back({Kind::MsgBox, answer, QString(), contains, {}});
    return *this;
}

ScriptedUi& ScriptedUi::expectInputBox(const QString& answer, const QString& contains)
{
    queue_.push_back({Kind::InputBox, 0, answer, contains, {}});
    return *this;
}

ScriptedUi& ScriptedUi::expectOpenFile(const QString& path)
{
    queue_.push_back({Kind::OpenFile, 0, path, QString(), {}});
    return *this;
}

ScriptedUi& ScriptedUi::expectSaveFile(const QString& path)
{
    queue_.push_back({Kind::SaveFile, 0, path, QString(), {}});
    return *this;
}

ScriptedUi& ScriptedUi::expectOpenFiles(const QStringList& paths)
{
    queue_.push_back({Kind::OpenFiles, 0, QString(), QString(), {}});
    openFilesAnswers_.push_back(paths);
    return *this;
}

ScriptedUi& ScriptedUi::expectFolder(const QString& path)
{
    queue_.push_back({Kind::Folder, 0, path, QString(), {}});
    return *this;
}

ScriptedUi& ScriptedUi::expectModal(std::function<void(QWidget*)> action, const QString& contains)
{
    queue_.push_back({Kind::Modal, 0, QString(), contains, std::move(action)});
    return *this;
}

void ScriptedUi::verifyDone()
{
    for (const Expectation& e : queue_) {
        ADD_FAILURE() << "Expected " << kindName(e.kind) << " was never shown"
                      << (e.contains.isEmpty() ? std::string() : " (containing \"" + e.contains.toStdString() + "\")");
    }
    queue_.clear();
    openFilesAnswers_.clear();
}

ScriptedUi::Message ScriptedUi::lastMessage() const
{
    return messages_.isEmpty() ? Message{} : messages_.last();
}

ScriptedUi::Dialog ScriptedUi::lastDialog() const
{
    return dialogs_.isEmpty() ? Dialog{} : dialogs_.last();
}

void ScriptedUi::clearRecords()
{
    messages_.clear();
    dialogs_.clear();
    pointerHistory_.clear();
}

bool ScriptedUi::take(Kind kind, const QString& shown, Expectation& out)
{
    if (queue_.empty()) {
        ADD_FAILURE() << "Unexpected " << kindName(kind) << ": \"" << shown.toStdString() << "\"";
        return false;
    }
    if (queue_.front().kind != kind) {
        // Left in place, so that one stray dialog does not shift every answer after it.
        ADD_FAILURE() << "Unexpected " << kindName(kind) << ": \"" << shown.toStdString() << "\" (expected a "
                      << kindName(queue_.front().kind) << ")";
        return false;
    }
    out = std::move(queue_.front());
    queue_.pop_front();
    if (!out.contains.isEmpty() && !shown.contains(out.contains)) {
        ADD_FAILURE() << "The " << kindName(kind) << " \"" << shown.toStdString() << "\" does not contain \""
                      << out.contains.toStdString() << "\"";
    }
    return true;
}

int ScriptedUi::msgBox(const QString& prompt, int style, const QString& title)
{
    const QString caption = captionOf(title);
    messages_.append({prompt, style, caption});
    dialogs_.append({Kind::MsgBox, caption, prompt, QString(), {}, {}});
    Expectation e;
    if (!take(Kind::MsgBox, prompt, e))
        return cancelAnswer(style);
    if (boxesWaitInLoop_) {
        bool userDone = true;
        if (whileNextBox_) {
            userDone = false;
            QTimer::singleShot(0, QCoreApplication::instance(), [&userDone, action = std::exchange(whileNextBox_, {})] {
                action();
                userDone = true;
            });
        }
        waitInNestedLoop(userDone);
    }
    return e.answer;
}

QString ScriptedUi::inputBox(const QString& prompt, const QString& title, const QString& defaultText, TwipsPlace at)
{
    dialogs_.append({Kind::InputBox, captionOf(title), prompt, defaultText, {}, at});
    Expectation e;
    return take(Kind::InputBox, prompt, e) ? e.text : QString();
}

QString ScriptedUi::openFile(const FileDialogRequest& request)
{
    dialogs_.append({Kind::OpenFile, request.title, QString(), QString(), request, {}});
    Expectation e;
    return take(Kind::OpenFile, request.title, e) ? e.text : QString();
}

QStringList ScriptedUi::openFiles(const FileDialogRequest& request)
{
    dialogs_.append({Kind::OpenFiles, request.title, QString(), QString(), request, {}});
    Expectation e;
    if (!take(Kind::OpenFiles, request.title, e))
        return QStringList();
    QStringList answer = openFilesAnswers_.front();
    openFilesAnswers_.pop_front();
    return answer;
}

QString ScriptedUi::saveFile(const FileDialogRequest& request)
{
    dialogs_.append({Kind::SaveFile, request.title, QString(), QString(), request, {}});
    Expectation e;
    return take(Kind::SaveFile, request.title, e) ? e.text : QString();
}

QString ScriptedUi::browseForFolder(const QString& title)
{
    dialogs_.append({Kind::Folder, title, QString(), QString(), {}, {}});
    Expectation e;
    return take(Kind::Folder, title, e) ? e.text : QString();
}

void ScriptedUi::showModal(QWidget* window)
{
    if (!window) {
        ADD_FAILURE() << "showModal called without a window";
        return;
    }
    const QString title = window->windowTitle();
    dialogs_.append({Kind::Modal, title, title, QString(), {}, {}});
    Expectation e;
    if (!take(Kind::Modal, title, e)) {
        window->hide();
        return;
    }
    QPointer<QWidget> guard(window);
    const Qt::WindowModality previous = window->windowModality();
    if (window->isVisible())
        window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QCoreApplication::processEvents();
    if (e.action)
        e.action(window);
    if (!guard)
        return; // the window deleted itself on closing
    if (guard->isVisible()) {
        ADD_FAILURE() << "The modal window \"" << title.toStdString() << "\" was left open by the test's action";
        guard->hide();
    }
    guard->setWindowModality(previous);
}

void ScriptedUi::doEvents()
{
    // As the program's seam does it: no window is deleted under the handler.
    platform::processHandlerEvents();
}

void ScriptedUi::setMousePointer(int pointer)
{
    pointer_ = pointer;
    pointerHistory_.append(pointer);
    if (pointer == vb::vbHourglass)
        ++pointerLevel_;
    else if (pointerLevel_ > 0)
        --pointerLevel_;
}

void ScriptedUi::restoreMousePointerLevel(int level)
{
    while (pointerLevel_ > level)
        setMousePointer(vb::vbDefault);
    while (pointerLevel_ < level)
        setMousePointer(vb::vbHourglass);
}
