#pragma once
// Making written files survive a power cut: flushing a file's bytes, and a folder's names
// (files made, renamed or removed in it), from the system's caches to the disk.

#include <QString>

#include <functional>

class QSaveFile;

namespace platform {

// Flushes the bytes of the file at a native path to the disk. False, with error (when given)
// saying why, when the file cannot be opened or the flush fails.
bool syncFile(const QString& nativeFilePath, QString* error = nullptr);

// Flushes the entries of the folder at a native path (a rename in it is on the disk
// afterwards). False, with error (when given) saying why, when the folder cannot be opened or
// the flush fails; a file system that cannot flush folders counts as success.
bool syncFolder(const QString& nativeFolderPath, QString* error = nullptr);

// Commits what was written to a QSaveFile in place of the old file. Its buffer is flushed
// first: QSaveFile::commit() alone takes a failed last flush (a full disk) for success and
// puts the cut-off file in place of the whole old one. False (and the old file untouched)
// when any of it fails.
bool commitWhole(QSaveFile& file);

// For tests: when set, the watcher is called with the path before each flush (folder true
// for syncFolder); when it returns false the flush is not made and fails. An empty function
// removes it.
using SyncWatcher = std::function<bool(const QString& nativePath, bool folder)>;
void setSyncWatcher(SyncWatcher watcher);

} // namespace platform
