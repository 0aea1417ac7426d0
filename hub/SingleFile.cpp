#include "hub/SingleFile.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

using platform::nativePath;

namespace hub {

namespace {

ConversionResult failed(const QString& text)
{
    return ConversionResult{false, text};
}

ConversionResult succeeded()
{
    return ConversionResult{true, QString()};
}

} // namespace

bool ReadAnsiFile(const QString& path, QString& text)
{
    QFile f(nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    text = platform::decodeAnsi(bytes);
    return true;
}

bool WriteAnsiFile(const QString& path, const QString& text, QString* why)
{
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(text, &fits);
    if (!fits) {
        if (why)
            *why = UnwritableTextMessage(path, text);
        return false;
    }
    QSaveFile f(nativePath(path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size())
        return false;
    const bool ok = platform::commitWhole(f);
    platform::clearPathCache();
    return ok;
}

QString GeneralDateNow()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format without its time zone, as the general date format shows it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') + locale.toString(now.time(), timeFormat);
}

void FileInWork::nameTreeWorkCopy(const QString& workName)
{
    TreeWorkName = workName;
    treeWorkNamedAt_ = TempFilesEmptied();
}

QString FileInWork::treeWorkCopy()
{
    if (TreeWorkName.isEmpty())
        return QString();
    const QString path = TreeWorkCopyPath(TreeWorkName);
    if (treeWorkNamedAt_ == TempFilesEmptied() && FileExists(path))
        return path;
    TreeWorkName.clear();
    return QString();
}

ConversionResult FileInWork::OpenGameFile(const QString& gameFile, QString& xmlText)
{
    PageSource = Source::Nothing;
    const WorkFileNames names = SplitWorkFile(gameFile);
    WorkName = names.WorkName;
    nameTreeWorkCopy(names.WorkName);
    shared().CurrentFileExt = names.Extension;

    const QString tempFiles = TempFilesFolder();
    MakeFolder(tempFiles);
    const QString workBin = tempFiles + QLatin1Char('\\') + WorkName + QStringLiteral("bin");
    const bool copied = CopyFileOver(gameFile, workBin);
    ui().doEvents();

    WorkBase = tempFiles + QLatin1Char('\\') + WorkName;
    shared().TempXmlPath = WorkBase + QStringLiteral("xml");
    if (!copied)
        return failed(QStringLiteral("The file ") + gameFile + QStringLiteral(" could not be copied to the work folder ")
                      + tempFiles + QLatin1Char('.'));

    const ConversionResult run = RunSerz(workBin, serz::ToXml, WorkBase + QStringLiteral("xml"), platform::programFolder());
    ui().doEvents();
    if (!run)
        return run;
    if (!ReadAnsiFile(WorkBase + QStringLiteral("xml"), xmlText))
        return failed(QStringLiteral("The converted file ") + WorkBase + QStringLiteral("xml could not be read."));
    PageSource = Source::GameFile;
    return succeeded();
}

ConversionResult FileInWork::OpenTexture(const QString& textureFile, QString& xmlText)
{
    WorkName = SplitWorkFile(textureFile).WorkName;
    const QString tempDds = TempDdsFolder();
    if (!FolderExists(tempDds) && !MakeFolder(tempDds))
        return failed(QStringLiteral("The work folder ") + tempDds + QStringLiteral(" could not be created."));

    const QString workBase = tempDds + QLatin1Char('\\') + WorkName;
    const bool copied = CopyFileOver(textureFile, workBase + QStringLiteral("bin"));
    ui().doEvents();
    if (!copied)
        return failed(QStringLiteral("The file ") + textureFile + QStringLiteral(" could not be copied to the work folder ")
                      + tempDds + QLatin1Char('.'));

    const ConversionResult run = RunSerz(workBase + QStringLiteral("bin"), serz::ToXml, workBase + QStringLiteral("xml"),
                                         platform::programFolder());
    ui().doEvents();
    if (!run)
        return run;
    if (!ReadAnsiFile(workBase + QStringLiteral("xml"), xmlText))
        return failed(QStringLiteral("The converted file ") + workBase + QStringLiteral("xml could not be read."));
    return succeeded();
}

ConversionResult FileInWork::OpenXmlFile(const QString& xmlFile, QString& xmlText, QString& copyPath)
{
    PageSource = Source::Nothing;
    const WorkFileNames names = SplitWorkFile(xmlFile);
    WorkName = names.WorkName;
    shared().CurrentFileExt = names.Extension;

    const QString tempFiles = TempFilesFolder();
    MakeFolder(tempFiles);
    copyPath = tempFiles + QLatin1Char('\\') + WorkName + QStringLiteral("xml");
    const bool copied = CopyFileOver(xmlFile, copyPath);
    ui().doEvents();
    WorkBase = tempFiles + QLatin1Char('\\') + WorkName;
    if (!copied)
        return failed(QStringLiteral("The file ") + xmlFile + QStringLiteral(" could not be copied to the work folder ")
                      + tempFiles + QLatin1Char('.'));
    if (!ReadAnsiFile(copyPath, xmlText))
        return failed(QStringLiteral("The file ") + copyPath + QStringLiteral(" could not be read."));
    PageSource = Source::XmlFile;
    return succeeded();
}

ConversionResult FileInWork::SaveGameFile(const QString& text, const QString& gameFile, QString* backupPath)
{
    if (backupPath)
        backupPath->clear();
    if (PageSource == Source::XmlFile)
        return failed(QStringLiteral("The text on this page was opened as an XML file, not converted from a RailSim "
                                     "file, so there is no RailSim file to save it into. Use \"Save .xml/.cost/.tgt "
                                     "file\" to save it."));
    if (PageSource != Source::GameFile || WorkBase.isEmpty() || gameFile.isEmpty())
        return failed(QStringLiteral("No RailSim file has been opened, so there is nothing to save."));

    const QString workXml = WorkBase + QStringLiteral("xml");
    const QString workBin = WorkBase + QStringLiteral("bin");
    const QString ext = shared().CurrentFileExt;

    QFile::remove(nativePath(workXml));
    MakeFolder(TempFilesFolder());
    QString why;
    if (!WriteAnsiFile(workXml, text, &why)) {
        const QString reason = why.isEmpty()
                                   ? QStringLiteral("The text could not be written to ") + workXml + QStringLiteral("; ")
                                   : why + QStringLiteral("\r\n");
        return failed(reason + gameFile + QStringLiteral(" has not been changed."));
    }

    status(QStringLiteral("Deleting ") + workBin);
    if (QFileInfo::exists(nativePath(workBin)) && !QFile::remove(nativePath(workBin)))
        return failed(QStringLiteral("The old work file ") + workBin + QStringLiteral(" could not be deleted; ")
                      + gameFile + QStringLiteral(" has not been changed."));

    status(QStringLiteral("Running Serz.exe"));
    const ConversionResult run = RunSerz(workXml, serz::ToBin, workBin, platform::programFolder());
    ui().doEvents();
    if (!run)
        return failed(run.error + QLatin1Char(' ') + gameFile + QStringLiteral(" has not been changed."));

    QString newFile = workBin;
    if (ext.compare(QLatin1String("bin"), Qt::CaseInsensitive) != 0) {
        newFile = WorkBase + ext;
        if (!platform::renameFile(nativePath(workBin), nativePath(newFile), platform::RenameMode::ReplaceExisting))
            return failed(QStringLiteral("The converted file could not be renamed to ") + newFile + QStringLiteral("; ")
                          + gameFile + QStringLiteral(" has not been changed."));
        platform::clearPathCache();
    }

    status(QStringLiteral("Making Backup of strBin"));
    ui().doEvents();
    status(QStringLiteral("Copying new .bin file"));
    const ConversionResult replaced = ReplaceGameFile(newFile, gameFile, QString(), backupPath);
    ui().doEvents();
    if (!replaced)
        return replaced;
    status(QStringLiteral("Finished at ") + GeneralDateNow());
    return succeeded();
}

} // namespace hub
