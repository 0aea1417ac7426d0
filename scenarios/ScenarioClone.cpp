#include "scenarios/ScenarioClone.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
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

CloneOutcome cloneScenario(ScenarioEditor& editor, const SaveRequest& request, const GuidSource& newGuid)
{
    const SharedState& s = shared();
    const PropertyBoxes& boxes = request.boxes;
    const QString sourceBlock = s.ScenarioProperties;
    QString block = sourceBlock;
    const QString scenarioText = s.ScenarioTextLoaded;
    const QString routeFolder = s.RouteFolder;
    const QString scenarioFolder = s.ScenarioFolder;

    // The checks.
    if (boxes[DisplayNameBox].compare(editor.LoadedName, Qt::CaseInsensitive) == 0) {
        exclaim(cloneNameUnchangedMessage());
        return CloneOutcome::Stopped;
    }
    if (cloneNameHasIllegalCharacter(boxes[DisplayNameBox])) {
        exclaim(cloneIllegalNameMessage());
        return CloneOutcome::Stopped;
    }
    if (ui().msgBox(cloneNoteMessage(), vb::vbOKCancel + vb::vbInformation) == vb::vbCancel)
        return CloneOutcome::Stopped;
    if (!saveChecksPass(request))
        return CloneOutcome::Stopped;

    BusyPointer busy;
    if (block.isEmpty() || scenarioText.isEmpty()) {
        failed(QStringLiteral("The scenario is no longer loaded; open it again from the route list."));
        return CloneOutcome::Failed;
    }
    // The batch line quotes the folders, so a folder with a quote in it cannot be copied.
    if (scenarioFolder.contains(QLatin1Char('"'))) {
        failed(QStringLiteral("The scenario folder ") + scenarioFolder
               + QStringLiteral(" holds a double quote and cannot be cloned."));
        return CloneOutcome::Failed;
    }

    // The clone block: a new identity and the boxes.
    if (!bumpObjectId(block)) {
        failed(QStringLiteral("The scenario's properties hold no numeric object id (d:id)."));
        return CloneOutcome::Failed;
    }
    QString half1;
    QString half2;
    const QString guid = newGuid ? newGuid(half1, half2) : NewGuid(half1, half2);
    if (!setCloneIdentity(block, guid, half1, half2)) {
        failed(QStringLiteral("The scenario's properties hold no UUID with two numbers and a DevString."));
        return CloneOutcome::Failed;
    }
    writePropertyBoxes(block, boxes, startTimeSeconds(boxes[StartTimeBox]), [](const VbError& error) {
        exclaim(saveErrorMessage(error.number));
    });
    ui().doEvents();
    QString listText;
    listText.reserve(s.ScenariosTextBefore.size() + sourceBlock.size() + block.size() + s.ScenariosTextAfter.size());
    listText += s.ScenariosTextBefore;
    listText += sourceBlock;
    listText += block;
    listText += s.ScenariosTextAfter;

    // The list into the work folder, and a backup name for the game's list.
    EnsureTempFiles();
    const QString commandFolder = TempFilesFolder() + QLatin1Char('\\');
    QString error;
    if (!writeAndConvert(scenariosWorkXml(), commandFolder + QStringLiteral("Scenarios.xml"), scenariosWorkBin(),
                         listText, error)) {
        failed(error);
        return CloneOutcome::Failed;
    }
    const QString listFile = routeFolder + QStringLiteral("\\Scenarios.bin");
    const QString listBackupBase = routeFolder + QStringLiteral("\\Scenarios.bak");
    if ((FileExists(listFile) || QFileInfo::exists(nativePath(listFile))) && BackupName(listBackupBase).isEmpty()) {
        failed(backupNamesInUseMessage(listFile));
        return CloneOutcome::Failed;
    }

    // The new folder beside the source's; one that exists is never touched.
    const QString newFolder = vb::Left(scenarioFolder, vb::InStrRev(scenarioFolder, QStringLiteral("\\"))) + guid;
    if (FolderExists(newFolder) || QFileInfo::exists(nativePath(newFolder))) {
        failed(QStringLiteral("The folder ") + newFolder + QStringLiteral(" exists already."));
        return CloneOutcome::Failed;
    }
    if (!QDir().mkdir(nativePath(newFolder))) {
        failed(QStringLiteral("The folder ") + newFolder + QStringLiteral(" could not be made."));
        return CloneOutcome::Failed;
    }
    ui().doEvents();
    const auto giveUp = [&newFolder](const QString& whatFailed) {
        tags::scenarioBrowser::DelAll(newFolder);
        failed(whatFailed);
        return CloneOutcome::Failed;
    };

    // The scenario file, made from the scenario as loaded.
    if (!writeAndConvert(scenarioWorkXml(), commandFolder + QStringLiteral("Scenario.xml"), scenarioWorkBin(),
                         scenarioText, error))
        return giveUp(error);
    const ConversionResult placed = ReplaceGameFile(scenarioWorkBin(), newFolder + QStringLiteral("\\Scenario.bin"));
    if (!placed)
        return giveUp(placed.error);
    ui().doEvents();

    // The files directly in the source's scenery.
    const QString sourceScenery = scenarioFolder + QStringLiteral("\\Scenery");
    if (FolderExists(sourceScenery)) {
        const QString newScenery = newFolder + QStringLiteral("\\Scenery");
        if (!QDir().mkdir(nativePath(newScenery)))
            return giveUp(QStringLiteral("The folder ") + newScenery + QStringLiteral(" could not be made."));
        const QStringList files = filesIn(nativePath(sourceScenery));
        if (!files.isEmpty()) {
            const QString batch = platform::programFolder() + QStringLiteral("\\tempfiles\\do_scene.bat");
            QString line = sceneryBatchLine(scenarioFolder, newFolder);
            line.chop(2); // writeWorkFile ends the line
            if (!writeWorkFile(batch, line, error))
                return giveUp(error);
            QDir::setCurrent(nativePath(platform::programFolder()));
            const qint64 started = ShellAndWait(QLatin1Char('"') + batch + QLatin1Char('"'), true, 0);
            const int status = lastExitStatus();
            ui().doEvents();
            QFile::remove(nativePath(batch));
            ui().doEvents();
            if (started == 0 || status != 0)
                return giveUp(QStringLiteral("The copy of the scenery through ") + batch + QStringLiteral(" failed."));
            const QString nativeNew = nativePath(newScenery);
            const QString nativeSource = nativePath(sourceScenery);
            for (const QString& name : files) {
                const QFileInfo copied(nativeNew + QLatin1Char('/') + name);
                if (!copied.isFile() || copied.size() != QFileInfo(nativeSource + QLatin1Char('/') + name).size())
                    return giveUp(QStringLiteral("The scenery file ") + name + QStringLiteral(" was not copied."));
            }
        }
    }

    // Last, the route's list.
    const ConversionResult listed = ReplaceGameFile(scenariosWorkBin(), listFile, listBackupBase);
    if (!listed)
        return giveUp(listed.error);

    ui().msgBox(cloneDoneMessage(), vb::vbOKOnly + vb::vbInformation);
    editor.ChangesSaved = true;
    return CloneOutcome::Cloned;
}

} // namespace scenarios
