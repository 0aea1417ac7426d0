#pragma once
// Renames the file system refuses, for the length of a scope: the platform's renames ask the
// answer function first (the names, and whether the call refuses a taken name in one step) and
// fail with the errno it gives; 0 lets the rename be made.

#include "platform/Rename.h"

#include <QString>
#include <QStringList>

#include <cerrno>
#include <utility>

class RenameFaults {
public:
    explicit RenameFaults(platform::RenameWatcher answer) { platform::setRenameWatcher(std::move(answer)); }
    ~RenameFaults() { platform::setRenameWatcher({}); }
    RenameFaults(const RenameFaults&) = delete;
    RenameFaults& operator=(const RenameFaults&) = delete;

    // Fails (with EIO) every rename whose source path ends with one of the given texts.
    static platform::RenameWatcher failingFrom(QStringList endings)
    {
        return [endings = std::move(endings)](const QString& from, const QString&, bool) {
            for (const QString& end : endings)
                if (from.endsWith(end))
                    return EIO;
            return 0;
        };
    }
};
