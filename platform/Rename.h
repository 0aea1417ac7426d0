#pragma once
// Giving a file a new name in one step of the file system: the only way files are moved to a
// backup name or put in place. A rename never copies, so nothing is ever written through a
// link that stands at the new name.

#include <QString>

#include <functional>

namespace platform {

// True when anything at all stands at the native path: a file, a folder, or a link of any
// kind, also one that leads nowhere.
bool nameTaken(const QString& nativePath);

enum class RenameMode {
    KeepExisting,    // fails when anything at all stands at the new name
    ReplaceExisting, // a file or link at the new name is replaced (a link itself, never what it leads to)
};

// Gives the file (or folder) at nativeFrom the name nativeTo. False when the rename cannot be
// made (the name is taken in KeepExisting mode, the names lie on different file systems, the
// folder cannot be written...): nothing has changed then.
bool renameFile(const QString& nativeFrom, const QString& nativeTo, RenameMode mode);

// For tests: when set, the watcher is called before each rename the file system is asked for,
// with both names and whether that call refuses a taken name in the same step. It answers 0 to
// let the call be made, or an errno value that the call then fails with instead (EINVAL: a file
// system that cannot refuse a taken name in one step). An empty function removes it.
using RenameWatcher = std::function<int(const QString& nativeFrom, const QString& nativeTo, bool refusesTaken)>;
void setRenameWatcher(RenameWatcher watcher);

} // namespace platform
