#include "scenarios/ScenarioSave.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioEditor.h"
#include "scenarios/ScenarioText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace scenarios {

namespace ed = tags::scenarioEditor;
using platform::nativePath;
using vb::Compare;

namespace {

using gametext::kCrLf;

// Hours and minutes of the start time box in seconds: the first two characters as hours, the
// last two as minutes, each rounded to a whole number.
qint64 boxSeconds(const QString& box)
{
    const qint64 hours = vb::CInt(vb::Val(vb::Left(box, 2)));
    const qint64 minutes = vb::CInt(vb::Val(vb::Right(box, 2)));
    return hours * 3600 + minutes * 60;
}

} // namespace

bool writeWorkFile(const QString& path, const QString& text, QString& error)
{
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(text + kCrLf, &fits);
    if (!fits) { // never a "?" in place of a letter
        error = UnwritableTextMessage(path, text);
        return false;
    }
    const QString native = nativePath(path);
    if (QFileInfo::exists(native)) {
        if (!QFile::remove(native)) {
            error = QStringLiteral("The old work file ") + path + QStringLiteral(" could not be deleted.");
            return false;
        }
        ui().doEvents();
    }
    QSaveFile file(native);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !platform::commitWhole(file)) {
        error = QStringLiteral("The work file ") + path + QStringLiteral(" could not be written.");
        return false;
    }
    ui().doEvents();
    return true;
}

bool writeAndConvert(const QString& xmlPath, const QString& commandXmlPath, const QString& binPath, const QString& text,
                     QString& error)
{
    if (!writeWorkFile(xmlPath, text, error))
        return false;
    ui().doEvents();
    const ConversionResult converted = RunSerz(commandXmlPath, serz::ToXml, binPath, platform::programFolder());
    ui().doEvents();
    if (!converted) {
        error = converted.error;
        return false;
    }
    return true;
}

namespace {

// Undoes a replacement: the backup goes back to the game file's name (replacing the new file
// in one step), or, when there was nothing to back up, the new file is removed.
bool undoReplacement(const QString& gameFile, const QString& backup)
{
    const QString native = nativePath(gameFile);
    if (backup.isEmpty())
        return QFile::remove(native);
    return platform::renameFile(nativePath(backup), native, platform::RenameMode::ReplaceExisting);
}

bool fileIsThere(const QString& path)
{
    return FileExists(path) || QFileInfo::exists(nativePath(path));
}

} // namespace

// ---- messages -------------------------------------------------------------------------------

QString scenarioNameQuestion()
{
    return QStringLiteral("You have changed the Scenario Name - Do you wish to") + kCrLf
        + QStringLiteral("save the scenario with this name (click YES) or do you") + kCrLf
        + QStringLiteral("wish to Clone the scenario (click NO)");
}

QString timeFormatMessage()
{
    return QStringLiteral("The time must be in 24hour format, e.g. 0530");
}

QString startDayMessage()
{
    return QStringLiteral("Invalid Start Day, must be between 1 and 31.");
}

QString startMonthMessage()
{
    return QStringLiteral("Invalid Start Month, must be between 1 and 12.");
}

QString weatherMissingMessage()
{
    return QStringLiteral("Weather Blueprint entered does not exist in the folder shown.");
}

QString noDrivenConsistQuestion()
{
    return QStringLiteral("You do not appear to have chosen a consist to drive in this Scenario.") + kCrLf
        + QStringLiteral("Do you wish to continue?");
}

QString scenarioSavedMessage()
{
    return QStringLiteral("Your Scenario.bin and Scenarios.bin files have been updated.");
}

QString saveErrorMessage(int errorNumber)
{
    return QStringLiteral("An error ") + QString::number(errorNumber) + QStringLiteral(" occurred while saving your Scenario");
}

QString saveFailedMessage(const QString& whatFailed)
{
    return whatFailed + kCrLf + QStringLiteral("Your Scenario.bin and Scenarios.bin files have not been changed.");
}

// ---- the steps --------------------------------------------------------------------------------

bool startTimeAccepted(const QString& box)
{
    if (box.size() != 4)
        return false;
    if (vb::Val(box) > 2400)
        return false;
    // A start before midnight ("-100", "00-5") would be written as a negative time.
    return boxSeconds(box) >= 0;
}

QString startTimeSeconds(const QString& box)
{
    return vb::Format(double(boxSeconds(box)), QStringLiteral("00000.0000"));
}

bool boxValueWithin(const QString& box, double low, double high)
{
    try {
        const double value = vb::Val(box);
        return value >= low && value <= high;
    } catch (const VbError&) {
        return false;
    }
}

qint32 startTimeOffset(const QString& newStartTime, const QString& loadedStartTime, bool shiftAllConsists)
{
    if (!shiftAllConsists || newStartTime.compare(loadedStartTime, Qt::CaseInsensitive) == 0)
        return 0;
    return vb::CLng(vb::Val(newStartTime) - vb::Val(loadedStartTime));
}

void switchScenarioType(QString& block, bool timetableSelected, bool& isTimetable)
{
    if (timetableSelected && !isTimetable) {
        isTimetable = true;
        block = vb::Replace(block, QStringLiteral("standard"), QStringLiteral("timetable"), 1, -1, Compare::Text);
    } else if (!timetableSelected && isTimetable) {
        isTimetable = false;
        block = vb::Replace(block, QStringLiteral("timetable"), QStringLiteral("standard"), 1, -1, Compare::Text);
    }
}

void writePropertyBoxes(QString& block, const PropertyBoxes& boxes, const QString& startTime,
                        const std::function<void(const VbError&)>& onError)
{
    const auto step = [&onError](const std::function<void()>& work) {
        try {
            work();
        } catch (const VbError& error) {
            onError(error);
        }
    };

    // The localised texts, each found from the one before. A missing one leaves the position
    // at 0, and every later search from it fails on its own.
    qsizetype p = 0;
    step([&] { p = vb::InStr(1, block, QStringLiteral("<DisplayName>"), Compare::Text); });
    step([&] { ed::PutLocalisedText(block, p, escapeBoxText(boxes[DisplayNameBox])); });
    step([&] { p = vb::InStr(p, block, QStringLiteral("<Description>"), Compare::Text); });
    step([&] { ed::PutLocalisedText(block, p, escapeBoxText(boxes[DescriptionBox])); });
    step([&] { p = vb::InStr(p, block, QStringLiteral("<Briefing>"), Compare::Text); });
    step([&] { ed::PutLocalisedText(block, p, escapeBoxText(boxes[BriefingBox])); });

    // The elements after the briefing, in the block's order; PutDetail never throws and stops
    // the chain (position 0) at the first one it does not find.
    ed::PutDetail(block, p, QStringLiteral("StartTime"), startTime);
    static const char* const tags[] = {"DurationMins", "StartDD", "StartMM", "StartYYYY",
                                       "Season",       "Provider", "Product", "BlueprintID"};
    int box = DurationBox;
    for (const char* tag : tags)
        ed::PutDetail(block, p, QString::fromLatin1(tag), escapeBoxText(boxes[box++]));
}

bool saveChecksPass(const SaveRequest& request)
{
    const PropertyBoxes& boxes = request.boxes;
    if (!startTimeAccepted(boxes[StartTimeBox])) {
        exclaim(timeFormatMessage());
        return false;
    }
    if (!boxValueWithin(boxes[StartDayBox], 1, 31)) {
        exclaim(startDayMessage());
        return false;
    }
    if (!boxValueWithin(boxes[StartMonthBox], 1, 12)) {
        exclaim(startMonthMessage());
        return false;
    }
    const QString& gamePath = shared().GamePath;
    const QString weather = blueprintBinFile(gamePath, boxes[WeatherProviderBox], boxes[WeatherProductBox],
                                             boxes[WeatherBlueprintBox]);
    if (weather.isEmpty() || !AssetsFileExists(gamePath, weather)) {
        exclaim(weatherMissingMessage());
        return false;
    }
    return !request.drivenConsist.isEmpty()
        || ui().msgBox(noDrivenConsistQuestion(), vb::vbYesNo + vb::vbExclamation) == vb::vbYes;
}

// ---- the command ------------------------------------------------------------------------------

QString scenariosWorkXml()
{
    return TempFilesPath(QStringLiteral("Scenarios.xml"), QStringLiteral("tempfiles"));
}

QString scenarioWorkXml()
{
    return TempFilesPath(QStringLiteral("Scenario.xml"), QStringLiteral("tempfiles"));
}

QString scenariosWorkBin()
{
    return TempFilesPath(QStringLiteral("Scenarios.bin"));
}

QString scenarioWorkBin()
{
    return TempFilesPath(QStringLiteral("Scenario.bin"));
}

SaveOutcome saveScenario(ScenarioEditor& editor, const SaveRequest& request)
{
    SharedState& s = shared();
    const PropertyBoxes& boxes = request.boxes;
    const auto reportStep = [](const VbError& error) {
        exclaim(saveErrorMessage(error.number));
    };

    // Copies: the shared texts change only once both game files have been written.
    QString block = s.ScenarioProperties;
    QString scenarioText = s.ScenarioText;
    const QString routeFolder = s.RouteFolder;
    const QString scenarioFolder = s.ScenarioFolder;
    BusyPointer busy;

    // Without both texts there is nothing to write back: an empty block would drop the
    // scenario from the route's list, an empty scenario text would replace the scenario.
    if (block.isEmpty() || scenarioText.isEmpty()) {
        exclaim(saveFailedMessage(QStringLiteral("The scenario is no longer loaded; open it again from the route list.")));
        return SaveOutcome::Failed;
    }

    // A new name: save under it, or clone the scenario instead.
    if (boxes[DisplayNameBox].compare(editor.LoadedName, Qt::CaseInsensitive) != 0
        && ui().msgBox(scenarioNameQuestion(), vb::vbYesNo + vb::vbExclamation) != vb::vbYes)
        return SaveOutcome::Clone;

    // The checks of the boxes.
    if (!saveChecksPass(request))
        return SaveOutcome::Stopped;

    // The block.
    bool isTimetable = editor.IsTimetable;
    switchScenarioType(block, request.timetableSelected, isTimetable);
    const QString startTime = startTimeSeconds(boxes[StartTimeBox]);
    writePropertyBoxes(block, boxes, startTime, reportStep);
    qint32 offset = 0;
    try {
        offset = startTimeOffset(startTime, editor.LoadedStartTime, request.shiftAllConsists);
    } catch (const VbError& error) {
        reportStep(error);
    }
    ui().doEvents();
    QString listText;
    listText.reserve(s.ScenariosTextBefore.size() + block.size() + s.ScenariosTextAfter.size());
    listText += s.ScenariosTextBefore;
    listText += block;
    listText += s.ScenariosTextAfter;

    // Both files into the work folder, both checked, before the game is touched.
    EnsureTempFiles();
    const QString commandFolder = TempFilesFolder() + QLatin1Char('\\');
    QString error;
    if (!writeAndConvert(scenariosWorkXml(), commandFolder + QStringLiteral("Scenarios.xml"), scenariosWorkBin(),
                         listText, error)) {
        exclaim(saveFailedMessage(error));
        return SaveOutcome::Failed;
    }
    if (offset != 0) {
        ed::ShiftAllStartTimes(scenarioText, offset);
        ui().doEvents();
    }
    if (!writeAndConvert(scenarioWorkXml(), commandFolder + QStringLiteral("Scenario.xml"), scenarioWorkBin(),
                         scenarioText, error)) {
        exclaim(saveFailedMessage(error));
        return SaveOutcome::Failed;
    }

    const QString listFile = routeFolder + QStringLiteral("\\Scenarios.bin");
    const QString listBackupBase = routeFolder + QStringLiteral("\\Scenarios.bak");
    const QString scenarioFile = scenarioFolder + QStringLiteral("\\Scenario.bin");
    const QString scenarioBackupBase = scenarioFolder + QStringLiteral("\\Scenario.bak");
    const std::pair<QString, QString> replacements[] = {{listFile, listBackupBase}, {scenarioFile, scenarioBackupBase}};
    for (const auto& [gameFile, backupBase] : replacements) {
        if (fileIsThere(gameFile) && BackupName(backupBase).isEmpty()) {
            exclaim(saveFailedMessage(backupNamesInUseMessage(gameFile)));
            return SaveOutcome::Failed;
        }
    }

    // Each game file to its backup name and the new one in its place; when the second cannot
    // be put in place, the first goes back as it was.
    QString listBackup;
    const ConversionResult listReplaced = ReplaceGameFile(scenariosWorkBin(), listFile, listBackupBase, &listBackup);
    if (!listReplaced) {
        exclaim(saveFailedMessage(listReplaced.error));
        return SaveOutcome::Failed;
    }
    const ConversionResult scenarioReplaced = ReplaceGameFile(scenarioWorkBin(), scenarioFile, scenarioBackupBase);
    if (!scenarioReplaced) {
        if (undoReplacement(listFile, listBackup)) {
            exclaim(saveFailedMessage(scenarioReplaced.error));
        } else {
            exclaim(scenarioReplaced.error + kCrLf + QStringLiteral("Your Scenarios.bin file has been updated")
                        + (listBackup.isEmpty() ? QString() : QStringLiteral(" (the old one is kept as ") + listBackup
                                                                  + QLatin1Char(')'))
                        + QStringLiteral(", but your Scenario.bin file has not been changed."));
        }
        return SaveOutcome::Failed;
    }

    ui().msgBox(scenarioSavedMessage(), vb::vbOKOnly + vb::vbInformation);
    editor.IsTimetable = isTimetable;
    editor.ChangesSaved = true;
    editor.tables.clear();
    s.ScenarioText.clear();
    s.ScenarioProperties.clear();
    return SaveOutcome::Saved;
}

} // namespace scenarios
