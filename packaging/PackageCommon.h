#pragma once
// Helpers shared by every packager: the name of a package folder, a copy that replaces its
// target, the part of a path below a root folder, the guard for paths written into batch lines,
// and the finder and cutter of one route's or scenario's properties block in the game's lists.

#include "common/GameReference.h"

#include <QString>

namespace packaging {

// The folder name of a package made from wanted: each of \ / : * ? " < > | becomes "_"; a name
// that is empty or only dots gives fallback; a name equal (ignoring case) to one of the program
// folder's own folders (TempFiles, TempDDS, Templates, BluePrints, System32, Backup, ...) gets
// "_" appended, so a package never lands in one of them.
QString PackageName(const QString& wanted, const QString& fallback);

// Copies the file from to to, replacing an existing target. Returns false (with a reason in
// error) when the source is missing, the target is a link (never written through) or the copy
// fails; a failed copy leaves no half file.
bool CopyReplacing(const QString& from, const QString& to, QString* error = nullptr);

// How the copy of the program folder's installer ("RouteSetup.exe") into a package went:
// error 0 when it was copied, 53 when the program folder lacks it (reason then is "File not
// found: " and the installer's path), 75 when the copy failed (reason then holds the copy's
// own reason, when it gave one).
struct InstallerCopy {
    int error = 0;
    QString reason;
};

// Copies the program folder's installer to target, making target's folder when it is missing
// and replacing an earlier copy. Each packager reports a failure in its own way.
InstallerCopy CopyInstallerTo(const QString& target);

// The part of a path below a root folder (common/GameReference.h).
using ::PathBelow;

// True when path can stand between double quotes in a batch line: no double quote, no line
// break and every character writable in the ANSI code page.
bool BatchSafePath(const QString& path);

// True when a file or folder name, put into a batch line as one component of a path, names
// that one file or folder on this machine and on a Windows machine that runs the line:
// BatchSafePath, no "\" or "/" (this machine allows "\" in a name, where it would split the
// path), no ".." (a step to another folder once "\" joins it), not a name of dots only, and no
// "%" (Windows' command interpreter expands %NAME%).
bool BatchSafeName(const QString& name);

// One properties element of the game's "Routes.xml" or a "Scenarios" list: [start, end) in
// positions counted from 0 covers the whole element from its "<" to the end of its end tag.
struct PropertiesBlock {
    qsizetype start = -1;
    qsizetype end = -1;
    bool found() const { return start >= 0; }
};

// The first element named tag ("cRouteProperties" or "cScenarioProperties") starting at or
// after from (counted from 0) whose "DevString" value equals devString (ignoring case); a block
// that is not found() when there is none or it lacks its end tag.
PropertiesBlock FindPropertiesBlock(const QString& text, const QString& tag, const QString& devString,
                                    qsizetype from = 0);

// text without the block: the text before its start is kept, and the text from the character
// just before the next element of the same name on; for the last element, the text after its end
// tag. A block that is not found() leaves text as it is.
QString CutPropertiesBlock(const QString& text, const PropertiesBlock& block);

} // namespace packaging
