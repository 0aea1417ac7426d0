#include "scenarios/ScenarioClone.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioEditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace scenarios {

namespace ed = tags::scenarioEditor;
using platform::nativePath;
using vb::Compare;

namespace {

using gametext::kCrLf;

void failed(const QString& whatFailed)
{
    exclaim(cloneFailedMessage(whatFailed));
}

// Decimal digits plus a small number, for a digit text of any length.
QString addToDigits(const QString& digits, unsigned add)
{
    QString out = digits;
    unsigned carry = add;
    for (qsizetype i = out.size() - 1; i >= 0 && carry != 0; --i) {
        const unsigned sum = unsigned(out.at(i).unicode() - u'0') + carry;
        out[i] = QChar(char16_t(u'0' + sum % 10));
        carry = sum / 10;
    }
    if (carry != 0)
        out.prepend(QString::number(carry));
    return out;
}

// The files lying directly in a folder (native path), by name.
QStringList filesIn(const QString& nativeFolder)
{
    return QDir(nativeFolder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

QString cloneNameUnchangedMessage()
{
    return QStringLiteral("You do not appear to have changed the Display Name of this Scenario.") + kCrLf
        + QStringLiteral("The name must be unique if you with to use this option.");
}

QString cloneIllegalNameMessage()
{
    return QStringLiteral("The 'Display Name' contains an illegal character which may not be used in a File Name.")
        + kCrLf + QStringLiteral("Please replace with an underscore");
}

QString cloneNoteMessage()
{
    return QStringLiteral(
        "Note: If you Clone a Scenario, then only the Scenario itself is saved. You must make changes to the rolling stock seperately.");
}

QString cloneDoneMessage()
{
    return QStringLiteral("Your New Scenarios.bin file has been updated.");
}

QString cloneFailedMessage(const QString& whatFailed)
{
    return whatFailed + kCrLf
        + QStringLiteral("Your Scenarios.bin file has not been changed and no new scenario was made.");
}

bool cloneNameHasIllegalCharacter(const QString& name)
{
    for (const QChar c : name) {
        if (QStringLiteral(".<>:/\\|").contains(c))
            return true;
    }
    return false;
}

bool bumpObjectId(QString& block)
{
    const qsizetype open = block.indexOf(QLatin1Char('<'));
    if (open < 0)
        return false;
    const qsizetype close = block.indexOf(QLatin1Char('>'), open);
    if (close < 0)
        return false;
    const QString attribute = QStringLiteral(" d:id=\"");
    const qsizetype at = block.indexOf(attribute, open);
    if (at < 0 || at > close)
        return false;
    const qsizetype start = at + attribute.size();
    const qsizetype end = block.indexOf(QLatin1Char('"'), start);
    if (end < 0 || end > close || end == start)
        return false;
    const QString value = block.mid(start, end - start);
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    block.replace(start, end - start, addToDigits(value, 3127));
    return true;
}

bool setCloneIdentity(QString& block, const QString& guid, const QString& half1, const QString& half2)
{
    const qsizetype uuid = vb::InStr(1, block, QStringLiteral("<UUID>"), Compare::Text);
    const qsizetype uuidEnd = vb::InStr(uuid > 0 ? uuid : 1, block, QStringLiteral("</UUID>"), Compare::Text);
    if (uuid == 0 || uuidEnd == 0)
        return false;
    QString work = block;
    qsizetype p = uuid;
    ed::PutDetail(work, p, QStringLiteral("e"), half1);
    const qsizetype firstEnd = p;
    ed::PutDetail(work, p, QStringLiteral("e"), half2);
    // Both values must lie inside the UUID element (its end moves with what was written).
    const qsizetype newUuidEnd = vb::InStr(uuid, work, QStringLiteral("</UUID>"), Compare::Text);
    if (firstEnd == 0 || p == 0 || newUuidEnd == 0 || p > newUuidEnd)
        return false;
    ed::PutDetail(work, p, QStringLiteral("DevString"), guid);
    if (p == 0)
        return false;
    block = work;
    return true;
}

QString sceneryBatchLine(const QString& sourceFolder, const QString& newFolder)
{
    const QChar quote(u'"');
    return QStringLiteral("Copy ") + quote + sourceFolder + QStringLiteral("\\Scenery\\*.*") + quote + QLatin1Char(' ')
        + quote + newFolder + QStringLiteral("\\Scenery\\*.*") + quote + kCrLf;
}

namespace {

// The checks before anything is made: the new name, the user's consent and the checks the save
// shares. False when one stopped the clone (the user has been told, or cancelled).
bool cloneMayStart(const ScenarioEditor& editor, const SaveRequest& request)
{
    const PropertyBoxes& boxes = request.boxes;
    if (boxes[DisplayNameBox].compare(editor.LoadedName, Qt::CaseInsensitive) == 0) {
        exclaim(cloneNameUnchangedMessage());
        return false;
    }
    if (cloneNameHasIllegalCharacter(boxes[DisplayNameBox])) {
        exclaim(cloneIllegalNameMessage());
        return false;
    }
    if (ui().msgBox(cloneNoteMessage(), vb::vbOKCancel + vb::vbInformation) == vb::vbCancel)
        return false;
    return saveChecksPass(request);
}

// Whether the scenario as loaded can be cloned at all; whatFailed says why not.
bool loadedScenarioClonable(const QString& block, const QString& scenarioText, const QString& scenarioFolder,
                            QString& whatFailed)
{
    if (block.isEmpty() || scenarioText.isEmpty()) {
        whatFailed = QStringLiteral("The scenario is no longer loaded; open it again from the route list.");
        return false;
    }
    // The batch line quotes the folders, so a folder with a quote in it cannot be copied.
    if (scenarioFolder.contains(QLatin1Char('"'))) {
        whatFailed = QStringLiteral("The scenario folder ") + scenarioFolder
                     + QStringLiteral(" holds a double quote and cannot be cloned.");
        return false;
    }
    return true;
}

// The clone's properties block: the source's with a new identity (object id, UUID and the
// DevString guid, which also names the new folder) and the boxes' values.
bool makeCloneBlock(QString& block, const PropertyBoxes& boxes, const GuidSource& newGuid, QString& guid,
                    QString& whatFailed)
{
    if (!bumpObjectId(block)) {
        whatFailed = QStringLiteral("The scenario's properties hold no numeric object id (d:id).");
        return false;
    }
    QString half1;
    QString half2;
    guid = newGuid ? newGuid(half1, half2) : NewGuid(half1, half2);
    if (!setCloneIdentity(block, guid, half1, half2)) {
        whatFailed = QStringLiteral("The scenario's properties hold no UUID with two numbers and a DevString.");
        return false;
    }
    writePropertyBoxes(block, boxes, startTimeSeconds(boxes[StartTimeBox]), [](const VbError& error) {
        exclaim(saveErrorMessage(error.number));
    });
    ui().doEvents();
    return true;
}

// The route's list with the clone's block after the source's, converted in the work folder;
// and a free backup name for the game's list when it exists.
bool stageScenarioList(const SharedState& s, const QString& sourceBlock, const QString& block, const QString& listFile,
                       const QString& listBackupBase, QString& whatFailed)
{
    QString listText;
    listText.reserve(s.ScenariosTextBefore.size() + sourceBlock.size() + block.size() + s.ScenariosTextAfter.size());
    listText += s.ScenariosTextBefore;
    listText += sourceBlock;
    listText += block;
    listText += s.ScenariosTextAfter;

    EnsureTempFiles();
    if (!writeAndConvert(scenariosWorkXml(), TempFilesPath(QStringLiteral("Scenarios.xml")), scenariosWorkBin(), listText,
                         whatFailed))
        return false;
    if ((FileExists(listFile) || QFileInfo::exists(nativePath(listFile))) && BackupName(listBackupBase).isEmpty()) {
        whatFailed = backupNamesInUseMessage(listFile);
        return false;
    }
    return true;
}

// The new folder; one that exists is never touched.
bool makeCloneFolder(const QString& newFolder, QString& whatFailed)
{
    if (FolderExists(newFolder) || QFileInfo::exists(nativePath(newFolder))) {
        whatFailed = QStringLiteral("The folder ") + newFolder + QStringLiteral(" exists already.");
        return false;
    }
    if (!QDir().mkdir(nativePath(newFolder))) {
        whatFailed = QStringLiteral("The folder ") + newFolder + QStringLiteral(" could not be made.");
        return false;
    }
    return true;
}

// The scenario file of the new folder, made from the scenario as loaded.
bool placeCloneScenarioFile(const QString& scenarioText, const QString& newFolder, QString& whatFailed)
{
    if (!writeAndConvert(scenarioWorkXml(), TempFilesPath(QStringLiteral("Scenario.xml")), scenarioWorkBin(),
                         scenarioText, whatFailed))
        return false;
    const ConversionResult placed = ReplaceGameFile(scenarioWorkBin(), newFolder + QStringLiteral("\\Scenario.bin"));
    if (!placed) {
        whatFailed = placed.error;
        return false;
    }
    return true;
}

// The scenery copy's batch line names the scenario's folder: one the code page cannot hold stops
// the clone before anything is made.
bool sceneryCopyWritable(const QString& scenarioFolder, QString& whatFailed)
{
    const QString sourceScenery = scenarioFolder + QStringLiteral("\\Scenery");
    if (platform::fitsAnsi(sourceScenery) || !FolderExists(sourceScenery) || filesIn(nativePath(sourceScenery)).isEmpty())
        return true;
    whatFailed = UnwritablePathMessage(sourceScenery);
    return false;
}

// The files directly in the source's "Scenery" folder, copied by "do_scene.bat" into the new
// folder's and checked by size afterwards. Nothing to do when the source has no scenery.
bool copyScenery(const QString& scenarioFolder, const QString& newFolder, QString& whatFailed)
{
    const QString sourceScenery = scenarioFolder + QStringLiteral("\\Scenery");
    if (!FolderExists(sourceScenery))
        return true;
    const QString newScenery = newFolder + QStringLiteral("\\Scenery");
    if (!QDir().mkdir(nativePath(newScenery))) {
        whatFailed = QStringLiteral("The folder ") + newScenery + QStringLiteral(" could not be made.");
        return false;
    }
    const QStringList files = filesIn(nativePath(sourceScenery));
    if (files.isEmpty())
        return true;
    const QString batch = TempFilesPath(QStringLiteral("do_scene.bat"), QStringLiteral("tempfiles"));
    QString line = sceneryBatchLine(scenarioFolder, newFolder);
    line.chop(2); // writeWorkFile ends the line
    if (!writeWorkFile(batch, line, whatFailed))
        return false;
    QDir::setCurrent(nativePath(platform::programFolder()));
    const qint64 started = ShellAndWait(QLatin1Char('"') + batch + QLatin1Char('"'), true, 0);
    const int status = lastExitStatus();
    ui().doEvents();
    QFile::remove(nativePath(batch));
    ui().doEvents();
    if (started == 0 || status != 0) {
        whatFailed = QStringLiteral("The copy of the scenery through ") + batch + QStringLiteral(" failed.");
        return false;
    }
    const QString nativeNew = nativePath(newScenery);
    const QString nativeSource = nativePath(sourceScenery);
    for (const QString& name : files) {
        const QFileInfo copied(nativeNew + QLatin1Char('/') + name);
        if (!copied.isFile() || copied.size() != QFileInfo(nativeSource + QLatin1Char('/') + name).size()) {
            whatFailed = QStringLiteral("The scenery file ") + name + QStringLiteral(" was not copied.");
            return false;
        }
    }
    return true;
}

} // namespace

CloneOutcome cloneScenario(ScenarioEditor& editor, const SaveRequest& request, const GuidSource& newGuid)
{
    const SharedState& s = shared();
    const QString sourceBlock = s.ScenarioProperties;
    QString block = sourceBlock;
    const QString scenarioText = s.ScenarioTextLoaded;
    const QString routeFolder = s.RouteFolder;
    const QString scenarioFolder = s.ScenarioFolder;

    if (!cloneMayStart(editor, request))
        return CloneOutcome::Stopped;

    BusyPointer busy;
    QString whatFailed;
    QString guid;
    const QString listFile = routeFolder + QStringLiteral("\\Scenarios.bin");
    const QString listBackupBase = routeFolder + QStringLiteral("\\Scenarios.bak");
    if (!sceneryCopyWritable(scenarioFolder, whatFailed)
        || !loadedScenarioClonable(block, scenarioText, scenarioFolder, whatFailed)
        || !makeCloneBlock(block, request.boxes, newGuid, guid, whatFailed)
        || !stageScenarioList(s, sourceBlock, block, listFile, listBackupBase, whatFailed)) {
        failed(whatFailed);
        return CloneOutcome::Failed;
    }

    // The new folder beside the source's, taken away again when a later step fails.
    const QString newFolder = vb::Left(scenarioFolder, vb::InStrRev(scenarioFolder, QStringLiteral("\\"))) + guid;
    if (!makeCloneFolder(newFolder, whatFailed)) {
        failed(whatFailed);
        return CloneOutcome::Failed;
    }
    ui().doEvents();
    const auto giveUp = [&newFolder](const QString& why) {
        tags::scenarioBrowser::DelAll(newFolder);
        failed(why);
        return CloneOutcome::Failed;
    };
    if (!placeCloneScenarioFile(scenarioText, newFolder, whatFailed))
        return giveUp(whatFailed);
    ui().doEvents();
    if (!copyScenery(scenarioFolder, newFolder, whatFailed))
        return giveUp(whatFailed);

    // Last, the route's list.
    const ConversionResult listed = ReplaceGameFile(scenariosWorkBin(), listFile, listBackupBase);
    if (!listed)
        return giveUp(listed.error);

    ui().msgBox(cloneDoneMessage(), vb::vbOKOnly + vb::vbInformation);
    editor.ChangesSaved = true;
    return CloneOutcome::Cloned;
}

} // namespace scenarios
