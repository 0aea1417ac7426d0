#include "platform/Rename.h"

#include "platform/Links.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

RenameWatcher& watcher()
{
    static RenameWatcher w;
    return w;
}

// One rename call of the file system: 0 when made, else -1 with errno set.
int renameCall(const QByteArray& from, const QByteArray& to, bool refusesTaken)
{
    if (watcher()) {
        if (const int err = watcher()(QFile::decodeName(from), QFile::decodeName(to), refusesTaken)) {
            errno = err;
            return -1;
        }
    }
    if (refusesTaken)
        return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    return std::rename(from.constData(), to.constData());
}

} // namespace

bool nameTaken(const QString& nativePath)
{
    return standingAt(nativePath, LinkView::Itself) != Standing::Nothing;
}

bool renameFile(const QString& nativeFrom, const QString& nativeTo, RenameMode mode)
{
    if (nativeFrom.isEmpty() || nativeTo.isEmpty())
        return false;
    const QByteArray from = QFile::encodeName(nativeFrom);
    const QByteArray to = QFile::encodeName(nativeTo);
    if (mode == RenameMode::ReplaceExisting)
        return renameCall(from, to, false) == 0;
    if (renameCall(from, to, true) == 0)
        return true;
    // A file system that cannot refuse a taken name in the same step: the name is looked at first.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    return !nameTaken(nativeTo) && renameCall(from, to, false) == 0;
}

void setRenameWatcher(RenameWatcher w)
{
    watcher() = std::move(w);
}

} // namespace platform
