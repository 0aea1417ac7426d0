#include "platform/Rename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

bool nameTaken(const QString& nativePath)
{
    struct stat st{};
    return !nativePath.isEmpty() && ::lstat(QFile::encodeName(nativePath).constData(), &st) == 0;
}

bool renameFile(const QString& nativeFrom, const QString& nativeTo, RenameMode mode)
{
    if (nativeFrom.isEmpty() || nativeTo.isEmpty())
        return false;
    const QByteArray from = QFile::encodeName(nativeFrom);
    const QByteArray to = QFile::encodeName(nativeTo);
    if (mode == RenameMode::ReplaceExisting)
        return std::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // A file system that cannot refuse a taken name in the same step: the name is looked at first.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    return !nameTaken(nativeTo) && std::rename(from.constData(), to.constData()) == 0;
}

} // namespace platform
