#pragma once
// The user-interface seam. Every message box, input box, file and folder dialog, modal
// window, event pump, mouse pointer change and clipboard access of the program goes
// through this interface, so the logic never talks to widgets and tests can script the
// answers.

#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vb {
// Button sets, icons and default buttons of a message box, combined by addition.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};
// What a message box answers.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};
// Mouse pointers.
enum MousePointer : int { vbDefault = 0, vbHourglass = 11 };
} // namespace vb

// A common file dialog request. The filter is in the "description|pattern|description|pattern"
// form; patterns may hold several wildcards separated by ";".
// Where an input box opens: its top left corner in twips (15 to a pixel) from the screen's top
// left corner. Without one it opens in the middle of the screen.
using TwipsPlace = std::optional<QPoint>;

struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString initDir;  // a game-style or native path; empty for the dialog's own choice
    QString fileName; // preset file name
};

class Ui {
public:
    virtual ~Ui() = default;

    // Shows a message; an empty title means the program's title. Returns a vb::MsgBoxResult.
    virtual int msgBox(const QString& prompt, int style = vb::vbOKOnly, const QString& title = QString()) = 0;
    // Asks for a line of text; returns "" when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title = QString(),
                             const QString& defaultText = QString(), TwipsPlace at = std::nullopt) = 0;
    // Common open and save dialogs; "" when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // Open dialog choosing several files: their full paths, each whole (a blank inside a path
    // never splits it); empty when cancelled. By default the one file openFile answers.
    virtual QStringList openFiles(const FileDialogRequest& request);
    // Folder picker; "" when cancelled.
    virtual QString browseForFolder(const QString& title) = 0;
    // Shows a window modally and returns when it is hidden or closed.
    virtual void showModal(QWidget* window) = 0;
    // Processes pending window events.
    virtual void doEvents() = 0;
    virtual void setMousePointer(int pointer) = 0;
    // The hourglass requests in force, and the return to a count taken earlier: a command that
    // ends early (an error, an early return, a cancelled scan) leaves the pointer as it found it.
    virtual int mousePointerLevel() const { return 0; }
    virtual void restoreMousePointerLevel(int level) { (void)level; }
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // The program's title, the caption of every message box unless told otherwise.
    static QString programTitle() { return QStringLiteral("Veltrane"); }
    // What a message box of this style answers when it is dismissed without a choice
    // (Escape): Cancel where the set has it, else No, Abort or OK.
    static int cancelAnswer(int style);
};

// The seam in force. Never null once the program or a test has installed one.
Ui& ui();
// Installs a seam (not owned); returns the one it replaces.
Ui* setUi(Ui* seam);

// Shows a message with the exclamation icon and an OK button, titled with the program's title.
inline void exclaim(const QString& text)
{
    ui().msgBox(text, vb::vbOKOnly + vb::vbExclamation);
}

// Keeps the hourglass pointer up for a scope, or from hourglass() until normal() or the end of
// the scope when it starts idle.
class BusyPointer {
public:
    enum Start { Busy, Idle };
    explicit BusyPointer(Start start = Busy)
    {
        if (start == Busy)
            hourglass();
    }
    ~BusyPointer()
    {
        if (busy_)
            ui().setMousePointer(vb::vbDefault);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void hourglass()
    {
        ui().setMousePointer(vb::vbHourglass);
        busy_ = true;
    }
    void normal()
    {
        ui().setMousePointer(vb::vbDefault);
        busy_ = false;
    }

private:
    bool busy_ = false;
};

// Leaves the mouse pointer as the scope found it, however the scope ends: the hourglass a
// command asked for and did not take back goes with it.
class PointerKeeper {
public:
    PointerKeeper() : level_(ui().mousePointerLevel()) {}
    ~PointerKeeper() { ui().restoreMousePointerLevel(level_); }
    PointerKeeper(const PointerKeeper&) = delete;
    PointerKeeper& operator=(const PointerKeeper&) = delete;

private:
    int level_;
};
