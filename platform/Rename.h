#pragma once
// Giving a file a new name in one step of the file system: the only way files are moved to a
// backup name or put in place. A rename never copies, so nothing is ever written through a
// link that stands at the new name.

#include <QString>

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

} // namespace platform
