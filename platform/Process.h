#pragma once
// Starting programs from Windows command lines, and listing and ending processes.
//
// The program builds its command lines the Windows way ("serz.exe "C:\x\a.bin" xml:"C:\x\a.xml"",
// "C:\Veltrane\TempFiles\do_read.bat"). Here such a line is split by Windows' rules, the program
// is found, and it is run the way this machine can run it:
//   - a ".bat" or ".cmd" file runs in veltrane-cmd ($VELTRANE_CMD, else "veltrane-cmd" beside
//     the running executable), with the batch file's native path as its argument;
//   - a Windows executable (a file starting with "MZ") runs through $VELTRANE_WINE (default
//     "wine"), with native absolute paths among its arguments turned into "Z:\..." form;
//   - any other executable runs directly, with Windows-form paths among its arguments turned
//     into native paths.
// A program named without a folder is looked up in the current folder, then in the system
// folder.

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;

namespace platform {

// Splits the arguments of a command line (the text after its program) the way
// CommandLineToArgvW does: blanks and tabs separate items outside quotes; 2n backslashes
// before a double quote give n backslashes and the quote opens or closes a quoted part; 2n+1
// backslashes before it give n backslashes and a literal quote; other backslashes are kept;
// within a quoted part "" gives a literal quote and ends the quoted part. (The program item
// itself, when quoted, runs to the next double quote, backslashes taken as they are.)
QStringList splitArguments(const QString& arguments);

// How a command line will be run.
struct LaunchPlan {
    enum Kind { Batch, Windows, Native };
    Kind kind = Native;
    QString program;        // what is executed: veltrane-cmd, the wine program, or the program
    QStringList arguments;  // its arguments, already mapped
    QString target;         // the native path of the program named in the command line
};

// Finds the program of a command line and maps its arguments. Returns false, with a reason in
// *error when given, when the command line names no existing program.
bool planLaunch(const QString& commandLine, LaunchPlan& plan, QString* error = nullptr);

// Argument mapping, exposed for the tests.
// For a Windows program: a native absolute path (alone or after a switch such as "xml:" or
// "/bin:") becomes "Z:\..." form; anything else stays.
QString argumentForWindows(const QString& argument);
// For a native program: a Windows-form path (a drive letter or backslashes, alone or after a
// switch such as "xml:" or "/bin:") becomes a native path; anything else stays.
QString argumentForNative(const QString& argument);

// A started child process that this program waits for.
class Process {
public:
    Process();
    ~Process(); // a child still running when its Process goes away is ended
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts the command line. windowStyle is the Windows show-window style (0 hidden,
    // 1 normal with focus, ...); programs on this machine open their own windows as they
    // please, so it only documents the caller's intent. Returns false when nothing started.
    bool start(const QString& commandLine, int windowStyle = 1);
    // The same without waiting for the program to be running: false only when the command
    // line names no program. Whether it could be started shows once it has ended
    // (failedToStart()). For callers that start several programs at once.
    bool startWithoutWaiting(const QString& commandLine, int windowStyle = 1);
    // True when the program could not be started after all.
    bool failedToStart() const;
    qint64 pid() const { return processId; }
    QString errorString() const { return error; }

    // Waits up to msecs for the end; true once the process has ended.
    bool waitForEnd(int msecs);
    bool isRunning() const;
    // The exit code once the process has ended; a process killed by a signal gives -1.
    int exitStatus() const;

private:
    std::unique_ptr<QProcess> process;
    qint64 processId = 0;
    QString error;
};

// Starts a program that is left running on its own (the game, its editor, a document
// viewer). Returns its process id, 0 when nothing started.
qint64 startDetached(const QString& commandLine, QString* error = nullptr);

// A running process as Windows would name it.
struct ProcessInfo {
    qint64 pid = 0;
    QString exeName;   // the last part of the command's first word: for a program run through
                       // Wine this is the Windows executable's name ("RailSim.exe")
    QString imageName; // the last part of the executable file's path ("wine64-preloader")
};

// Every process of this machine whose details can be read.
QList<ProcessInfo> listProcesses();

// Ends the processes: SIGTERM, and SIGKILL for those still there after graceMs.
// Processes that cannot be signalled (another user's) are passed over.
void endProcesses(const QList<qint64>& pids, int graceMs = 1000);

} // namespace platform
