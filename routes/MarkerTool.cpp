#include "routes/MarkerTool.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/TempFiles.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/MarkerConvert.h"

#include <QDir>
#include <QFile>

namespace routes {

namespace {

using gametext::kCrLf;

QString fileNameOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

// Writes content into "TempFiles" and puts it in place of target, whose old file (if any)
// becomes its ".bak" backup. On failure the target is left as it was, a message names the
// file, and the answer is false.
bool putInPlace(const QString& content, const QString& target)
{
    const QString tempFolder = TempFilesFolder();
    QDir().mkpath(platform::nativePath(tempFolder));
    platform::clearPathCache();
    const QString work = tempFolder + QLatin1Char('\\') + fileNameOf(target);
    if (!WriteTextFile(work, content))
        return false; // the write has named the file
    const ConversionResult replaced = ReplaceGameFile(work, target);
    QFile::remove(platform::nativePath(work));
    platform::clearPathCache();
    if (!replaced) {
        exclaim(replaced.error);
        return false;
    }
    return true;
}

} // namespace

QString saveFolderPrompt()
{
    return QStringLiteral("Select the folder where you wish to SAVE your Marker files.") + kCrLf
        + QStringLiteral("Usually the RouteMarker folders of your Source") + kCrLf + QStringLiteral("Then click Proceed");
}

QString selectMarkersPrompt()
{
    return QStringLiteral("Now Select your Marker Files");
}

QString notMarkerFileMessage()
{
    return QStringLiteral("You have not selected a .kml,.wpt,.mkr or .gpx file?");
}

QString noCoordinatesMessage(const QString& path)
{
    return QStringLiteral("No coordinates were found in ") + path + kCrLf
        + QStringLiteral("The remaining files have not been converted.");
}

QString markersConvertedMessage(const QString& saveFolder)
{
    return QStringLiteral("All selected Marker files have been converted to .csv files and are located") + kCrLf
        + QStringLiteral("in folder ") + saveFolder;
}

QString sourceCsvMissingMessage(const QString& name)
{
    return QStringLiteral("The original Source .csv for ") + name + QStringLiteral(" could not be found");
}

QString sourceLineMessage(const QString& sourcePath, qsizetype line, const QString& name)
{
    return QStringLiteral("Line ") + QString::number(line) + QStringLiteral(" of ") + sourcePath
        + QStringLiteral(" has no comma.") + kCrLf + name + QStringLiteral(" has not been changed.");
}

QString dcsvImprovedMessage()
{
    return QStringLiteral("Precision of .DCSV files has been improved, a backup has been made.");
}

QString noSaveFolderMessage()
{
    return QStringLiteral("No folder has been chosen to save your Marker files in.") + kCrLf
        + QStringLiteral("Click the folder where you wish to SAVE your Marker files, then click Proceed.");
}

bool convertMarkerFiles(const QString& sourceFolder, const QStringList& names, const QString& saveFolder)
{
    if (saveFolder.isEmpty()) {
        exclaim(noSaveFolderMessage());
        return false;
    }
    BusyPointer pointer(BusyPointer::Idle);
    for (const QString& name : names) {
        const QString input = sourceFolder + QLatin1Char('\\') + name;
        const MarkerType type = markerTypeOf(input);
        if (type == MarkerType::None) {
            pointer.normal();
            exclaim(notMarkerFileMessage());
            return false;
        }
        pointer.hourglass();
        QString text;
        ReadTextFile(input, text);
        QString lines;
        switch (type) {
        case MarkerType::Kml: {
            bool hasCoordinates = false;
            lines = kmlToCsv(text, hasCoordinates);
            if (!hasCoordinates) {
                pointer.normal();
                exclaim(noCoordinatesMessage(input));
                return false;
            }
            break;
        }
        case MarkerType::Gpx:
            lines = gpxToCsv(text);
            break;
        case MarkerType::Wpt:
            lines = wptToCsv(text);
            break;
        case MarkerType::Mkr:
            lines = mkrToCsv(text);
            break;
        case MarkerType::None:
            break;
        }
        const QString output = saveFolder + QLatin1Char('\\') + csvNameOf(name);
        ui().doEvents();
        if (lines.isEmpty()) {
            // No points: the .csv is written empty all the same, behind a backup of the one it
            // replaces, and the write names it; the run goes on with the next file.
            pointer.normal();
            const ConversionResult backedUp = MoveToBackupName(output);
            if (!backedUp) {
                exclaim(backedUp.error);
                return false;
            }
            ui().doEvents();
            WriteTextFile(output, QString());
            continue;
        }
        if (!putInPlace(lines, output))
            return false;
        ui().doEvents();
    }
    ui().doEvents();
    pointer.normal();
    ui().msgBox(markersConvertedMessage(saveFolder), vb::vbOKOnly + vb::vbInformation, Ui::programTitle());
    return true;
}

bool improveDcsvFiles(const QString& gamePath, const QString& folder, const QStringList& names)
{
    BusyPointer pointer(BusyPointer::Idle);
    for (const QString& name : names) {
        const QString target = folder + QLatin1Char('\\') + name;
        const QString source = dcsvSourcePath(gamePath, target);
        if (source.isEmpty() || !FileExists(source)) {
            pointer.normal();
            exclaim(sourceCsvMissingMessage(name));
            return false;
        }
        pointer.hourglass();
        QString text;
        ReadTextFile(target, text);
        QString sourceText;
        ReadTextFile(source, sourceText);
        qsizetype badLine = 0;
        if (!improveDcsvPrecision(text, sourceText, &badLine)) {
            pointer.normal();
            exclaim(sourceLineMessage(source, badLine, name));
            return false;
        }
        ui().doEvents();
        if (!putInPlace(text, target))
            return false;
        ui().doEvents();
    }
    pointer.normal();
    exclaim(dcsvImprovedMessage());
    return true;
}

} // namespace routes
