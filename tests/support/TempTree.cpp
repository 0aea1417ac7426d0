#include "support/TempTree.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The tree's root carries a letter beyond ASCII that the ANSI code page holds (as a user's
// "/home/josé" does), so that every test sees paths that are not ASCII.
QString rootTemplate()
{
    const QString name = platform::fitsAnsi(QStringLiteral("\u00E9")) ? QStringLiteral("veltran\u00E9") : QStringLiteral("veltrane");
    return QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral("-XXXXXX");
}

} // namespace

QString unwritableName()
{
    for (const QString& name : {QStringLiteral("\u0395\u03BB\u03AD\u03BD\u03B7"), QStringLiteral("\u0142ukasz")})
        if (!platform::fitsAnsi(name))
            return name;
    return QStringLiteral("\u0142ukasz\u0395\u03BB\u03AD\u03BD\u03B7");
}

TempTree::TempTree() : dir_(rootTemplate())
{
    if (!dir_.isValid())
        ADD_FAILURE() << "Cannot create a temporary folder: " << dir_.errorString().toStdString();
    makeDir(QStringLiteral("program/System32"));
    makeDir(QStringLiteral("game"));
    makeDir(QStringLiteral("wine/drive_c"));
    makeDir(QStringLiteral("wine/dosdevices"));
    // As Wine sets up a prefix, c: is the prefix's own drive. (No z: for the root of the
    // file system: a recursive delete that follows links must never reach it.)
    if (::symlink("../drive_c", QFile::encodeName(path(QStringLiteral("wine/dosdevices/c:"))).constData()) != 0)
        ADD_FAILURE() << "Cannot create drive c: of the temporary Wine prefix";
    // The game lies on a drive of its own, e:, as a game on a second disk does; so the drive
    // lists have a drive that holds it.
    if (::symlink(QFile::encodeName(gamePath()).constData(),
                  QFile::encodeName(path(QStringLiteral("wine/dosdevices/e:"))).constData()) != 0)
        ADD_FAILURE() << "Cannot create drive e: of the temporary Wine prefix";

    env_.set("VELTRANE_HOME", QFile::encodeName(programPath()));
    env_.set("VELTRANE_SYSTEM", QFile::encodeName(systemPath()));
    env_.set("WINEPREFIX", QFile::encodeName(winePrefixPath()));
    platform::clearPathCache();
    // As the program does at its start.
    startFolder_ = QDir::currentPath();
    if (!platform::enterProgramFolder())
        ADD_FAILURE() << "Cannot enter the temporary program folder";
}

TempTree::~TempTree()
{
    QDir::setCurrent(startFolder_);
    env_.restore();
    platform::clearPathCache();
}

QString TempTree::rootPath() const
{
    return dir_.path();
}

QString TempTree::programPath() const
{
    return path(QStringLiteral("program"));
}

QString TempTree::gamePath() const
{
    return path(QStringLiteral("game"));
}

QString TempTree::systemPath() const
{
    return path(QStringLiteral("program/System32"));
}

QString TempTree::winePrefixPath() const
{
    return path(QStringLiteral("wine"));
}

QString TempTree::path(const QString& relativePath) const
{
    if (QDir::isAbsolutePath(relativePath))
        return relativePath;
    return dir_.path() + QLatin1Char('/') + relativePath;
}

QString TempTree::writeFile(const QString& relativePath, const QByteArray& bytes) const
{
    const QString full = path(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "Cannot write " << full.toStdString();
    return full;
}

QByteArray TempTree::readFile(const QString& relativePath) const
{
    QFile f(path(relativePath));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TempTree::exists(const QString& relativePath) const
{
    return QFileInfo::exists(path(relativePath));
}

QString TempTree::makeDir(const QString& relativePath) const
{
    const QString full = path(relativePath);
    if (!QDir().mkpath(full))
        ADD_FAILURE() << "Cannot create " << full.toStdString();
    return full;
}

QList<TestDrive> testDrives(const TempTree& tree)
{
    return {
        {"c:", QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath()},
        {"d:", QString()},
        {"e:", QFileInfo(tree.gamePath()).canonicalFilePath()},
    };
}


QString TempTree::moveGameInto(const QString& folderName) const
{
    const QString moved = makeDir(folderName) + QStringLiteral("/game");
    if (!QDir().rename(gamePath(), moved))
        ADD_FAILURE() << "Cannot move the game folder to " << moved.toStdString();
    platform::clearPathCache();
    return moved;
}
