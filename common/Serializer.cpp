#include "common/Serializer.h"

#include "common/FileProcs.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Rename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using platform::nativePath;

QString SerzCommandLine(const QString& inputPath, const QString& switchText, const QString& outputPath)
{
    return QStringLiteral("serz.exe \"") + inputPath + QLatin1Char('"') + switchText + QLatin1Char('"')
        + outputPath + QLatin1Char('"');
}

namespace {

ConversionResult failure(const QString& text)
{
    return ConversionResult{false, text};
}

qint64 fileSize(const QString& path)
{
    const QFileInfo info(nativePath(path));
    return info.exists() && info.isFile() ? info.size() : -1;
}

// Copies the new file to staging beside the game file and flushes its bytes to disk, so that
// when the disk is full or the folder is read-only the game file has not been touched yet,
// and after a power cut the game file is the old one or the whole new one, never an empty or
// partial file. A failure leaves no staging copy; its message ends in notDone.
ConversionResult stageBeside(const QString& newFile, const QString& gameFile, const QString& staging,
                             const QString& notDone)
{
    QFile::remove(staging);
    if (!QFile::copy(nativePath(newFile), staging)) {
        QFile::remove(staging);
        return failure(QStringLiteral("The new file could not be copied to ") + gameFile + QStringLiteral("; ") + notDone);
    }
    QString syncError;
    if (!platform::syncFile(staging, &syncError)) {
        QFile::remove(staging);
        return failure(QStringLiteral("The new file could not be written to disk beside ") + gameFile + QStringLiteral(" (")
                       + syncError + QStringLiteral("); ") + notDone);
    }
    return ConversionResult{true, QString()};
}

} // namespace

ConversionResult RunSerz(const QString& inputPath, const QString& switchText, const QString& outputPath,
                         const QString& currentFolder)
{
    if (!currentFolder.isEmpty())
        QDir::setCurrent(nativePath(currentFolder));
    const QString command = SerzCommandLine(inputPath, switchText, outputPath);
    const QString nativeOut = nativePath(outputPath);
    ConversionResult result;
    for (int run = 1;; ++run) {
        // An output left from an earlier run must not pass for this run's result.
        if (QFileInfo::exists(nativeOut) && !QFile::remove(nativeOut))
            return failure(QStringLiteral("The old work file ") + outputPath + QStringLiteral(" could not be deleted."));
        const bool started = ShellAndWait(command, true, 0) != 0;
        result = SerzRunResult(inputPath, outputPath, started, lastExitStatus());
        if (result || run > 1 || !SerzRunMayBeRetried(command, started, outputPath))
            return result;
    }
}

bool SerzRunMayBeRetried(const QString& commandLine, bool started, const QString& outputPath)
{
    if (!started || fileSize(outputPath) > 0)
        return false;
    platform::LaunchPlan plan;
    return platform::planLaunch(commandLine, plan) && plan.kind == platform::LaunchPlan::Windows;
}

ConversionResult SerzRunResult(const QString& inputPath, const QString& outputPath, bool started, int status)
{
    if (!started)
        return failure(QStringLiteral("SERZ.EXE could not be started to convert ") + inputPath + QLatin1Char('.'));
    if (status != 0)
        return failure(QStringLiteral("SERZ.EXE could not convert ") + inputPath + QStringLiteral(" (exit status ")
                       + QString::number(status) + QStringLiteral(")."));
    if (fileSize(outputPath) <= 0)
        return failure(QStringLiteral("SERZ.EXE wrote no output when converting ") + inputPath + QLatin1Char('.'));
    return ConversionResult{true, QString()};
}

QString BackupName(const QString& base)
{
    if (!platform::nameTaken(nativePath(base)))
        return base;
    for (int n = 1; n <= 50; ++n) {
        const QString candidate = base + QString::number(n);
        if (!platform::nameTaken(nativePath(candidate)))
            return candidate;
    }
    return QString();
}

ConversionResult ReplaceGameFile(const QString& newFile, const QString& gameFile, const QString& backupBase,
                                 QString* backupPath)
{
    if (backupPath)
        backupPath->clear();
    if (fileSize(newFile) <= 0)
        return failure(QStringLiteral("The converted file ") + newFile + QStringLiteral(" is missing or empty; ")
                       + gameFile + QStringLiteral(" has not been changed."));

    const QString nativeGame = nativePath(gameFile);
    const bool gameExists = QFileInfo::exists(nativeGame);
    QString backup;
    if (gameExists) {
        backup = BackupName(backupBase.isEmpty() ? gameFile + QStringLiteral(".bak") : backupBase);
        if (backup.isEmpty())
            return failure(backupNamesInUseMessage(gameFile) + QStringLiteral(" The file has not been changed."));
    }

    // The new file waits beside the game file, on disk, before any name changes.
    const QString staging = nativeGame + QStringLiteral(".veltrane-new");
    const ConversionResult staged = stageBeside(newFile, gameFile, staging, QStringLiteral("the file has not been changed."));
    if (!staged)
        return staged;
    if (gameExists) {
        const QString nativeBackup = nativePath(backup);
        if (!platform::renameFile(nativeGame, nativeBackup, platform::RenameMode::KeepExisting)) {
            QFile::remove(staging);
            return failure(QStringLiteral("The backup ") + backup + QStringLiteral(" could not be made; ") + gameFile
                           + QStringLiteral(" has not been changed."));
        }
        if (!platform::renameFile(staging, nativeGame, platform::RenameMode::KeepExisting)) {
            const bool putBack = platform::renameFile(nativeBackup, nativeGame, platform::RenameMode::KeepExisting);
            QFile::remove(staging);
            return failure(QStringLiteral("The new file could not be put in place of ") + gameFile
                           + (putBack ? QStringLiteral("; the file has not been changed.")
                                      : QStringLiteral(", and the original could not be given its name back: it is kept as ")
                                            + backup + QLatin1Char('.')));
        }
    } else if (!platform::renameFile(staging, nativeGame, platform::RenameMode::KeepExisting)) {
        QFile::remove(staging);
        return failure(QStringLiteral("The new file could not be written to ") + gameFile + QLatin1Char('.'));
    }
    // The renames themselves reach the disk with their folders. The file is in place by now,
    // so a folder that cannot be flushed is no failure of the replacement.
    const QString gameFolder = QFileInfo(nativeGame).absolutePath();
    platform::syncFolder(gameFolder);
    if (gameExists) {
        const QString backupFolder = QFileInfo(nativePath(backup)).absolutePath();
        if (backupFolder != gameFolder)
            platform::syncFolder(backupFolder);
    }
    if (backupPath)
        *backupPath = backup;
    return ConversionResult{true, QString()};
}

ConversionResult PlaceNewGameFile(const QString& newFile, const QString& gameFile)
{
    if (fileSize(newFile) <= 0)
        return failure(QStringLiteral("The converted file ") + newFile + QStringLiteral(" is missing or empty; ")
                       + gameFile + QStringLiteral(" has not been written."));
    const QString nativeGame = nativePath(gameFile);
    const QString staging = nativeGame + QStringLiteral(".veltrane-new");
    const ConversionResult staged = stageBeside(newFile, gameFile, staging, QStringLiteral("the file has not been written."));
    if (!staged)
        return staged;
    // The staging copy replaces an existing file in one step.
    if (!platform::renameFile(staging, nativeGame, platform::RenameMode::ReplaceExisting)) {
        QFile::remove(staging);
        return failure(QStringLiteral("The new file could not be put in place of ") + gameFile
                       + QStringLiteral("; the file has not been written."));
    }
    platform::syncFolder(QFileInfo(nativeGame).absolutePath());
    return ConversionResult{true, QString()};
}

QString backupNamesInUseMessage(const QString& gameFile)
{
    return QStringLiteral("All 51 backup names of ") + gameFile
        + QStringLiteral(" are in use; delete some of its old backups.");
}

ConversionResult MoveToBackupName(const QString& file, QString* backupPath)
{
    if (backupPath)
        backupPath->clear();
    const QString nativeFile = nativePath(file);
    if (!QFileInfo::exists(nativeFile))
        return ConversionResult{true, QString()};
    const QString backup = BackupName(file + QStringLiteral(".bak"));
    if (backup.isEmpty())
        return failure(backupNamesInUseMessage(file) + QStringLiteral(" The file has not been changed."));
    if (!platform::renameFile(nativeFile, nativePath(backup), platform::RenameMode::KeepExisting))
        return failure(QStringLiteral("The backup ") + backup + QStringLiteral(" could not be made; ") + file
                       + QStringLiteral(" has not been changed."));
    platform::clearPathCache();
    if (backupPath)
        *backupPath = backup;
    return ConversionResult{true, QString()};
}
