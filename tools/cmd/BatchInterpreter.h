#pragma once
// The command interpreter that runs the program's generated batch files on this machine.
//
// It understands the commands those files use, with the Windows behaviour that matters to
// them, and nothing else: "@" before a line, "echo" (text, "echo.", "echo on/off"), "rem",
// "::" and ":label" lines, "call" (of another batch file or of a command), "copy", "xcopy",
// "del"/"erase", "attrib", "md"/"mkdir", "rd"/"rmdir", "cd"/"chdir" and a line "x:" that
// changes drive. It never hands a line to a shell: a line it cannot run, including one that
// uses the shell's operators ("&", "|", "<", ">", "^") outside quotes, is reported and skipped.
//
// Paths may be Windows-form ("C:\Program Files\Rail Simulator\Assets\...") or native; every
// one goes through platform::nativePath(), so names are matched without regard to case.
// Wildcards ("*", "?") are allowed in the last component only.
//
// Choices where Windows would ask or differs from what a batch file run here can do:
// - Nothing is ever asked (no input is available): "xcopy" without /y overwrites, "del *.*"
//   without /q deletes. "xcopy" of several files to a destination that does not exist and is
//   not marked as a folder (a trailing "\", a last component "*.*", or /i) cannot be answered
//   either and fails; one file copied to a destination that does not exist is taken as a file.
// - Read-only is the owner's write bit: "attrib +r" clears the write bits of a file, "-r"
//   sets the owner's; on folders (with /d) "-r" sets the owner's write bit and "+r" changes
//   nothing, since a read-only folder on Windows may still be written into. "del" without /f
//   and "copy"/"xcopy" over a read-only file fail with "Access is denied.".
// - "%" is an ordinary character: the generated files use no variables.
// - There is one current folder; "cd path" changes it whatever its drive, and a line "x:"
//   goes back to the folder last made current on that drive (its root at first).
// - "copy" of several files into one file (Windows would join them) is refused; "+" is an
//   ordinary character of a name ("+000000+000000.bin").
// - "copy" keeps the source's permissions (and so its read-only state), "xcopy" makes the
//   copy writable; both keep the source's modification time, which "xcopy /d" compares.
// - "del" of a name that matches nothing remarks "Could Not Find" on standard error, as
//   Windows does, and is no failure.
// - An unquoted argument that starts with "/" is a switch, as in Windows, never a native
//   path: a switch the command does not know ("/zz", "/se", "/tmp/x") fails the command with
//   "Invalid switch - " and the argument, and nothing is done. Native paths are quoted, except
//   the rest of a "cd /d" line.
// - Links (symbolic links) follow the one links rule (platform/Links.h). "copy" and "xcopy"
//   read a link's contents: a linked file is copied as the file it leads to, and a linked
//   folder is walked as the folder it leads to, unless it lies on the walk's own way down (a
//   loop ends there); they write into a linked folder or file below the destination. A link
//   that leads nowhere is missing: in the source the command fails naming it (with /c xcopy
//   goes on), at the destination nothing is written through it (the path is not found). A name
//   that is no text in the system's encoding is named and fails the command the same way.
//   "del" and "rd" remove a link itself and never touch what it leads to; "attrib" passes over
//   links, whose own attributes it cannot change, and never walks into one.
// - Every line runs, as in Windows; the exit status is 0 when every line ran without error,
//   1 when a command failed, and 2 when a line could not be run at all.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace cmd {

class BatchInterpreter {
public:
    // Messages go to out and err (normally stdout and stderr).
    BatchInterpreter(std::FILE* out, std::FILE* err);

    // Reads the whole batch file (ANSI text) and runs it line by line. The file may delete
    // itself. Returns the exit status.
    int runFile(const QString& path);

    // Runs one line of a batch file, echoed unless echo is off or the line starts with "@";
    // depth counts the "call"s it runs in. The status so far is returned by status().
    void runLine(const QString& line, int depth = 0);

    int status() const { return status_; }

    enum : int { Ok = 0, CommandFailed = 1, CannotRun = 2 };

private:
    struct Arg {
        QString text;
        bool quoted = false;
    };
    struct Parsed {
        QStringList switches; // lower case, without the "/" ("s", "-y", "d:...")
        QStringList paths;
    };
    // A path argument taken apart: the real folder it names and the last component when that
    // is a pattern.
    struct PathArg {
        QString text;        // as written
        QString folder;      // native folder that holds the pattern
        QString pattern;     // last component (may hold wildcards); empty when the text ends in a separator
        QString full;        // native path of the whole text
        bool wildcard = false;
    };

    void runFileNested(const QString& path, int depth);
    void dispatch(const QString& command, int depth);

    // Commands; each returns false after reporting a failure.
    bool doEcho(const QString& rest);
    bool doCall(const QString& rest, int depth);
    bool doCopy(const Parsed& p);
    bool doXcopy(const Parsed& p);
    bool doDel(const Parsed& p);
    bool doAttrib(const QString& rest);
    bool doMd(const Parsed& p);
    bool doRd(const Parsed& p);
    bool doCd(const QString& rest);
    bool doDrive(QChar letter);

    static QList<Arg> tokenize(const QString& text);
    // Splits the arguments into switches and paths. An unquoted argument that starts with "/"
    // is always a switch ("/s", "/s/q", "/-y"), never a path: one that is not among the
    // command's own switches is refused ("Invalid switch - /x") and the command does nothing.
    bool parseArgs(const QString& rest, const QStringList& allowed, Parsed& out);
    // The switches of one unquoted "/" argument, lower case, appended to out; false after
    // reporting the first that is not allowed.
    bool takeSwitches(const QString& token, const QStringList& allowed, QStringList& out);
    bool invalidSwitch(const QString& token); // reports it as Windows does; returns false
    QString resolve(const QString& text) const;
    bool makePathArg(const QString& text, PathArg& arg);
    // Where a copy goes: a folder (none named: the current one; a folder's path; or
    // "folder\*.*"), or a name the command's own rules decide on (left in `named`); then
    // the folder or the one file the command settles on.
    enum class Destination { Folder, Named, Unreadable };
    struct CopyTarget {
        Destination where = Destination::Folder;
        PathArg named;
        QString folder;
        QString file;
    };
    CopyTarget destinationOf(const Parsed& p);
    // False after reporting a link that leads nowhere on the way to the settled folder or file.
    bool destinationLeadsSomewhere(const CopyTarget& to);

    // The steps of "xcopy", each false (or, for a file's target, "") after reporting what
    // ends the command or that one file: the files to copy, where they go, the folders made
    // before any file is copied, and the copies.
    struct XcopyJob;
    bool findXcopySources(const Parsed& p, XcopyJob& job);
    bool settleXcopyTarget(const Parsed& p, XcopyJob& job);
    bool makeXcopyFolders(XcopyJob& job);
    QString xcopyTargetOf(XcopyJob& job, const QString& file, const QString& rel);
    void copyXcopyFiles(XcopyJob& job);

    // Copies one file's bytes through a temporary file beside the destination, keeping the
    // source's modification time and permissions (xcopy: made writable, as it resets
    // read-only). Fails, leaving the destination as it was, for a read-only destination, a
    // file onto itself or any read or write error.
    bool copyFile(const QString& src, const QString& dst, bool resetReadOnly, QString& error) const;
    void setCurrent(const QString& folder);

    void print(const QString& text);
    void note(const QString& text);       // a remark on standard error that is no failure
    void fail(const QString& message);    // a command failed
    void cannotRun(const QString& reason); // the line cannot be run
    // False, the line not run, when the command names no path or more than `most` (any number
    // when negative).
    bool pathCountFits(const Parsed& p, qsizetype most = -1);
    // True, the line not run, when a path that may hold no wildcard holds one.
    bool refusesWildcard(const QString& text);

    std::FILE* out_;
    std::FILE* err_;
    int status_ = Ok;
    bool echo_ = true;
    QString fileName_;
    int lineNumber_ = 0;
    QString currentLine_;
    QString cwd_; // the current folder as this interpreter sees it (native, no trailing "/")
    QHash<QChar, QString> driveFolders_;
};

} // namespace cmd
