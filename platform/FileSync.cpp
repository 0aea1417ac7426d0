#include "platform/FileSync.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

SyncWatcher& watcher()
{
    static SyncWatcher w;
    return w;
}

QString describe(const char* what, const QString& path, int err)
{
    return QString::fromLatin1(what) + path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
}

// Opens the path read-only (a flush needs no write access) and flushes it.
bool flush(const QString& path, bool folder, QString* error)
{
    if (watcher() && !watcher()(path, folder)) {
        if (error)
            *error = QStringLiteral("The flush to disk of ") + path + QStringLiteral(" failed.");
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (error)
            *error = describe(folder ? "Cannot open the folder " : "Cannot open the file ", path, errno);
        return false;
    }
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot flush a folder; its entries are then as safe as they get.
    if (rc != 0 && !(folder && (err == EINVAL || err == ENOTSUP || err == EROFS))) {
        if (error)
            *error = describe("Cannot flush to disk ", path, err);
        return false;
    }
    return true;
}

} // namespace

bool syncFile(const QString& nativeFilePath, QString* error)
{
    return flush(nativeFilePath, false, error);
}

bool syncFolder(const QString& nativeFolderPath, QString* error)
{
    return flush(nativeFolderPath, true, error);
}

void setSyncWatcher(SyncWatcher w)
{
    watcher() = std::move(w);
}

bool commitWhole(QSaveFile& file)
{
    // An uncommitted QSaveFile removes its work file when it goes.
    return file.flush() && file.commit();
}

} // namespace platform
