#include "SampleGame.h"

#include "common/Serializer.h"
#include "platform/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

QString testSerzPath()
{
    return QStringLiteral(VELTRANE_BIN_DIR "/serz.exe");
}

QString veltraneCmdPath()
{
    return QStringLiteral(VELTRANE_BIN_DIR "/veltrane-cmd");
}

QString sampleGamePath()
{
    return QStringLiteral(VELTRANE_SAMPLE_GAME);
}

namespace {

bool copyFileReplacing(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to)) {
        QFile::setPermissions(to, QFileInfo(to).permissions() | QFileDevice::WriteOwner);
        if (!QFile::remove(to))
            return false;
    }
    // QFile::copy keeps the source's permissions.
    return QFile::copy(from, to);
}

} // namespace

bool copyTree(const QString& from, const QString& to)
{
    const QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    bool ok = true;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(info.filePath());
        if (info.isDir())
            ok = QDir().mkpath(target) && ok;
        else
            ok = QDir().mkpath(QFileInfo(target).absolutePath()) && copyFileReplacing(info.filePath(), target) && ok;
    }
    return ok;
}

bool copySampleGame(const QString& folder)
{
    if (!QFileInfo::exists(sampleGamePath() + QStringLiteral("/Content/Routes.xml")))
        return false; // the sample game has not been built
    return copyTree(sampleGamePath(), folder);
}

bool installSerz(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    const QString target = folder + QStringLiteral("/serz.exe");
    if (!copyFileReplacing(testSerzPath(), target))
        return false;
    return QFile::setPermissions(target, QFileInfo(target).permissions() | QFileDevice::ExeOwner
                                             | QFileDevice::ExeUser | QFileDevice::ReadOwner);
}

QByteArray xmlOfGameFile(const QString& binaryPath)
{
    QTemporaryDir dir;
    const QString in = dir.path() + QStringLiteral("/in.bin");
    const QString out = dir.path() + QStringLiteral("/out.xml");
    if (!QFile::copy(platform::nativePath(binaryPath), in))
        return QByteArray();
    if (!RunSerz(in, serz::ToXml, out, dir.path()))
        return QByteArray();
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
