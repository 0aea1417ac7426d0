#include "assets/LocoFolder.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "assets/ChildEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace assets {

namespace {

using gametext::kCrLf;
const QString kSample = QStringLiteral("Sample");

void walk(const QString& nativeFolder, const QString& shownFolder, const QString& name, SampleRenameResult& result,
          platform::WalkWay& way)
{
    QDir dir(nativeFolder);
    if (!dir.exists() || !dir.isReadable()) {
        result.failed << shownFolder + QStringLiteral(" could not be listed");
        return;
    }
    QList<platform::FolderEntry> entries = platform::folderEntries(nativeFolder);
    std::sort(entries.begin(), entries.end(), [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    // Sub-folders last to first; a linked one is walked as the folder it leads to, unless that
    // is a loop. What leads nowhere, and a folder whose name is no text, cannot be listed.
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const platform::FolderEntry& sub = entries[i];
        const QString shown = shownFolder + QLatin1Char('\\') + sub.name;
        if (sub.standing == platform::Standing::Nowhere)
            result.failed << shown + QStringLiteral(" is missing (a link that leads nowhere)");
        else if (sub.isFolder() && !sub.nameIsText)
            result.failed << shown + QStringLiteral(" could not be listed: its name is not text");
        else if (sub.isFolder() && way.enter(sub)) {
            walk(sub.path, shown, name, result, way);
            way.leave();
        }
    }

    // Every name in the folder, as Windows compares them, to find taken targets.
    QSet<QString> taken;
    for (const platform::FolderEntry& entry : std::as_const(entries))
        taken.insert(entry.name.toLower());

    for (const platform::FolderEntry& file : std::as_const(entries)) {
        if (file.isFolder() || file.standing == platform::Standing::Nowhere)
            continue;
        const QString& oldName = file.name;
        if (!oldName.contains(kSample, Qt::CaseInsensitive))
            continue;
        const QString shown = shownFolder + QLatin1Char('\\') + oldName;
        if (!file.nameIsText) {
            result.failed << shown + QStringLiteral(" could not be renamed: its name is not text");
            continue;
        }
        const QString newName = vb::Replace(oldName, kSample, name, 1, -1, vb::Compare::Text);
        if (newName == oldName)
            continue;
        const bool sameIgnoringCase = newName.toLower() == oldName.toLower();
        if (!sameIgnoringCase && taken.contains(newName.toLower())) {
            result.skipped << shown + QStringLiteral(" was not renamed: ") + newName
                                  + QStringLiteral(" is there already");
        } else if (QFile::rename(file.path, dir.filePath(newName))) {
            taken.remove(oldName.toLower());
            taken.insert(newName.toLower());
        } else {
            result.failed << shown + QStringLiteral(" could not be renamed to ") + newName;
        }
        ui().doEvents();
    }
}

} // namespace

QString locoTypeOf(const QString& folderText)
{
    return folderText.mid(folderText.lastIndexOf(QLatin1Char('\\')) + 1);
}

bool isLocoType(const QString& type)
{
    for (const char* known : {"Electric", "Diesel", "Steam"}) {
        if (type.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString locoSampleFolder(const QString& gamePath, const QString& type)
{
    return gamePath + QStringLiteral("\\Source\\Developer\\Addon\\RailVehicles\\") + type
        + QStringLiteral("\\EngineSample\\Default");
}

QString locoCopyBatchLine(const QString& sampleFolder, const QString& locoFolder)
{
    const QChar q = QLatin1Char('"');
    return QStringLiteral("call xcopy") + QLatin1Char(' ') + q + sampleFolder + QStringLiteral("\\*.*") + q
        + QLatin1Char(' ') + q + locoFolder + q + QStringLiteral(" /e /s /y") + kCrLf;
}

SampleRenameResult RenameSampleFiles(const QString& folder, const QString& name)
{
    SampleRenameResult result;
    QString shown = folder;
    while (shown.endsWith(QLatin1Char('\\')) && shown.size() > 3)
        shown.chop(1);
    const QString native = platform::nativePath(folder);
    platform::WalkWay way(native);
    walk(native, shown, name, result, way);
    return result;
}

QString sampleRenameReportCaption()
{
    return QStringLiteral("Files not renamed");
}

QStringList sampleRenameReport(const SampleRenameResult& result)
{
    return result.skipped + result.failed;
}

QString copyLocoFiles(const QString& folderText, const QString& name, SampleRenameResult& renamed)
{
    renamed = SampleRenameResult();
    const QString type = locoTypeOf(folderText);
    if (!isLocoType(type)) {
        exclaim(notLocoTypeMessage());
        return QString();
    }
    if (!isUsableFileName(name)) {
        exclaim(badLocoNameMessage(name));
        return QString();
    }
    const QString sample = locoSampleFolder(shared().GamePath, type);
    if (!FolderExists(sample)) {
        exclaim(missingSampleFolderMessage(sample));
        return QString();
    }

    QString locoFolder = folderText + QLatin1Char('\\') + name;
    // The copy's batch line names both folders: one the code page cannot hold stops the copy
    // before the new folder is made.
    const QString unwritable = FirstUnwritablePath({sample, locoFolder});
    if (!unwritable.isNull()) {
        exclaim(UnwritablePathMessage(unwritable) + kCrLf + QStringLiteral("Nothing has been copied."));
        return QString();
    }
    if (!FolderExists(locoFolder)) {
        if (!QDir().mkdir(platform::nativePath(locoFolder))) {
            exclaim(locoFolderNotMadeMessage(locoFolder));
            return QString();
        }
        ui().doEvents();
    }

    const QString batchFolder = TempFilesFolder(QStringLiteral("Tempfiles"));
    const QString batchFile = batchFolder + QStringLiteral("\\do_copy.bat");
    QDir().mkpath(platform::nativePath(batchFolder));
    QFile::remove(platform::nativePath(batchFile));
    if (!WriteTextFile(batchFile, locoCopyBatchLine(sample, locoFolder)))
        return QString(); // its own message has been shown
    QDir::setCurrent(platform::nativePath(batchFolder));
    const qint64 started = ShellAndWait(QStringLiteral("do_copy.bat"), true, 1);
    const int status = lastExitStatus();
    ui().doEvents();
    if (started == 0 || status != 0) {
        exclaim(locoCopyFailedMessage(locoFolder, started, status));
        return QString();
    }

    renamed = RenameSampleFiles(locoFolder, name);
    return locoFolder;
}

QString notLocoTypeMessage()
{
    return QStringLiteral("You do not appear to have chosen a Diesel, Steam or Electric folder?");
}

QString badLocoNameMessage(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Please enter the Loco Name.");
    return QStringLiteral("\"") + name + QStringLiteral("\" cannot be used as a Loco Name.") + kCrLf
        + QStringLiteral("Please enter a name without \\ / : * ? \" < > | that is not \".\" or \"..\".");
}

QString missingSampleFolderMessage(const QString& sampleFolder)
{
    return QStringLiteral("The sample engine folder ") + sampleFolder + QStringLiteral(" was not found.") + kCrLf
        + QStringLiteral("Nothing has been copied.");
}

QString locoFolderNotMadeMessage(const QString& locoFolder)
{
    return QStringLiteral("The folder ") + locoFolder + QStringLiteral(" could not be made.") + kCrLf
        + QStringLiteral("Nothing has been copied.");
}

QString locoCopyFailedMessage(const QString& locoFolder, qint64 started, int status)
{
    if (started == 0)
        return QStringLiteral("The copy into ") + locoFolder + QStringLiteral(" could not be started.");
    return QStringLiteral("The copy into ") + locoFolder + QStringLiteral(" failed (exit status ")
        + QString::number(status) + QStringLiteral(").") + kCrLf + QStringLiteral("No files have been renamed.");
}

} // namespace assets
