#include "scenarios/ScenarioBrowser.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/HandlerError.h"
#include "common/ScenarioEntries.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Rename.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <exception>

using platform::nativePath;
using vb::Compare;

namespace scenarios {

namespace {

using gametext::kCrLf;

// Messages.
const QString kNoScenariosForRoute = QStringLiteral("No Scenarios were found for this route.");
const QString kNoScenarios = QStringLiteral("No Scenarios were found.");
const QString kNoScenarioSelected = QStringLiteral("You have not selected a Scenario?");
const QString kConsistsRemoved = QStringLiteral("Empty Consists have been removed from this Scenario.");
const QString kOverwriteQuestion = QStringLiteral(
    "This operation will delete your CurrentSave.xml file for this Scenario and replace it\r\n"
    "with the selected file. Proceed?");
const QString kRunQuestion = QStringLiteral(
    "This operation will delete your CurrentSave.xml file for this Scenario. If you have not saved it,\r\n"
    "click NO and save it before proceeding. Proceed?");
const QString kNoDevTools = QStringLiteral(
    "You do not appear to have the Dev Tools installed.\r\nPlease Run Rail Simulator instead.");
const QString kSaveAsPrompt = QStringLiteral("Save CurrentSave.xml as");
const QString kCurrentSave = QStringLiteral("CurrentSave.xml");
const QString kZelvornProcess = QStringLiteral("RS_Zelvorn.exe");

qsizetype find(qsizetype start, const QString& text, const QString& what)
{
    return vb::InStr(start, text, what, Compare::Text);
}

// A file name for a copy in the scenario folder: no folder part, nothing that leaves the folder.
bool isPlainFileName(const QString& name)
{
    return isPlainFolderName(name) && name != QLatin1String(".");
}

// Copies source over target in one step: the new content is written beside the target and
// renamed over it, so a failure leaves the target as it was. 0, or the run-time error number.
int copyReplacing(const QString& source, const QString& target)
{
    const QString nativeSource = nativePath(source);
    if (!QFileInfo(nativeSource).isFile())
        return 53;
    QFile in(nativeSource);
    if (!in.open(QIODevice::ReadOnly))
        return 70;
    QSaveFile out(nativePath(target));
    if (!out.open(QIODevice::WriteOnly))
        return 70;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return 75;
        if (out.write(chunk) != chunk.size())
            return 75;
    }
    return platform::commitWhole(out) ? 0 : 75;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

// ---- text work -----------------------------------------------------------------------------

QString localisedName(const QString& text, qsizetype from, qsizetype* closingPos)
{
    static const char* const languages[] = {"English", "French", "Italian", "German", "Spanish"};
    QString name;
    qsizetype start = from;
    for (const char* language : languages) {
        const QString tag = QString::fromLatin1(language);
        const qsizetype a = find(start, text, QLatin1Char('<') + tag);
        const qsizetype b = find(a, text, QStringLiteral("</") + tag);
        const qsizetype s = vb::InStrRev(text, QStringLiteral(">"), b, Compare::Text);
        name = vb::Mid(text, s + 1, b - s - 1);
        if (closingPos)
            *closingPos = b;
        if (!name.isEmpty())
            break;
        start = a;
    }
    return name;
}

QString listRow(const QString& name, const QString& folder)
{
    return name + QLatin1Char('\t') + folder;
}

bool isPlainFolderName(const QString& name)
{
    if (vb::Trim(name).isEmpty())
        return false;
    if (name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char(':')))
        return false;
    return !name.contains(QLatin1String("..")) && name != QLatin1String(".");
}

ScenarioPropertiesCut cutScenarioProperties(const QString& listText, const QString& id)
{
    static const QString close = QStringLiteral("</cScenarioProperties>"); // 22 characters
    if (id.isEmpty())
        throw VbError(5);
    // The entry whose DevString is the id, not the first text that merely holds it: with
    // folders "S1" and "S10" the id "S1" also stands in "S10".
    const ScenarioEntry entry = FindScenarioEntry(listText, id);
    if (!entry || entry.end == 0)
        throw VbError(5);
    const qsizetype a = entry.start;
    const qsizetype b = entry.end;
    ScenarioPropertiesCut cut;
    cut.block = vb::Mid(listText, a, b + close.size() - a);
    cut.before = vb::Left(listText, a - 1);
    cut.after = vb::Mid(listText, b + close.size());
    return cut;
}

QString removeEmptyConsists(const QString& text, int* removed)
{
    static const QString consist = QStringLiteral("<cConsist d:id");
    static const QString consistEnd = QStringLiteral("</cConsist");
    static const QString vehicle = QStringLiteral("<cOwnedEntity");

    // One pass over the text: the kept stretches are appended to the result, so that a
    // scenario of many megabytes with many empty consists is not copied once per consist.
    QString out;
    out.reserve(text.size());
    qsizetype keptFrom = 1; // first character not yet copied
    int count = 0;
    qsizetype p = 1;
    for (;;) {
        const qsizetype s = find(p, text, consist);
        if (s == 0)
            break;
        qsizetype n = find(s + 10, text, consist);
        if (n == 0) {
            const qsizetype c = find(s + 10, text, consistEnd);
            if (c == 0)
                break; // an unclosed last consist is left as it is
            n = c + 12; // n - 1 is the first character after "</cConsist>"
        }
        const qsizetype v = find(s, text, vehicle);
        if (v == 0 || v > n) {
            // Empty: keep what lies before it, drop it up to the character before n - 1.
            out += QStringView(text).mid(keptFrom - 1, s - keptFrom);
            keptFrom = n - 1;
            ++count;
        }
        p = n;
        if (p > text.size())
            break;
    }
    if (keptFrom <= text.size())
        out += QStringView(text).mid(keptFrom - 1);
    if (removed)
        *removed = count;
    return out;
}

// ---- paths ---------------------------------------------------------------------------------

QString ScenarioBrowser::workFolder()
{
    return TempFilesFolder();
}

QString ScenarioBrowser::gameProgram()
{
    return shared().GamePath + QStringLiteral("\\RailSim.exe");
}

QString ScenarioBrowser::editorProgram()
{
    return shared().GamePath + QStringLiteral("\\RailSimEditor.exe");
}

// Converts a game file into a work file of "TempFiles" and reads it. The serializer's run
// removes an old work file first and fails when it leaves none, so a text of an earlier
// conversion is never read in place of this one.
bool ScenarioBrowser::convertToWork(const QString& gameFile, const QString& workFile, QString& text)
{
    EnsureTempFiles();
    const ConversionResult result = RunSerz(gameFile, serz::ToXml, workFile, platform::programFolder());
    ui().doEvents();
    if (!result) {
        exclaim(result.error);
        return false;
    }
    text.clear();
    ReadTextFile(workFile, text);
    ui().doEvents();
    return true;
}

namespace {

// Lists row k (its folder already in folders[k]): the name goes into the list and the name
// table, and both tables grow by 50 once k has passed their end.
void addListed(QStringList& rows, VbArray<QString>& names, VbArray<QString>& folders, qsizetype& k,
               const QString& name, const QString& folder)
{
    rows.append(listRow(name, folder));
    names[k] = name;
    ++k;
    names.growFor(k, 50);
    folders.growFor(k, 50);
}

} // namespace

// ---- loading -------------------------------------------------------------------------------

void ScenarioBrowser::load()
{
    SharedState& s = shared();
    s.RouteNames.redim(0, 50);
    s.RouteFolders.redim(0, 50);
    routeRows.clear();

    qsizetype k = 0;
    try {
        RoutesXmlPath = s.GamePath + QStringLiteral("\\Content\\Routes.xml");
        ReadTextFile(RoutesXmlPath, RoutesXmlText);
        const QString& text = RoutesXmlText;
        qsizetype p = 1;
        for (;;) {
            p = find(p, text, QStringLiteral("<DevString"));
            if (p == 0)
                break;
            const qsizetype e = find(p, text, QStringLiteral("</DevString"));
            const qsizetype gt = vb::InStrRev(text, QStringLiteral(">"), e, Compare::Text);
            const QString folder = vb::Mid(text, gt + 1, e - gt - 1);
            s.RouteFolders[k] = folder;
            qsizetype closing = 0;
            const QString name = localisedName(text, e, &closing);
            p = closing;
            addListed(routeRows, s.RouteNames, s.RouteFolders, k, name, folder);
        }
    } catch (const VbError& error) {
        exclaim(QStringLiteral("Error - ") + error.description + QStringLiteral(" occurred in frmShowRoutes_Load")
                + kCrLf + QStringLiteral("i = ") + vb::Str(double(k)));
    } catch (const std::exception& error) {
        exclaim(QStringLiteral("Error - ") + QString::fromLocal8Bit(error.what())
                + QStringLiteral(" occurred in frmShowRoutes_Load") + kCrLf + QStringLiteral("i = ")
                + vb::Str(double(k)));
    }
    // Entry k belongs to row k of the list, also when loading stopped early.
    s.RouteNames.redimPreserve(k - 1);
    s.RouteFolders.redimPreserve(k - 1);
}

// ---- scenario listing ----------------------------------------------------------------------

void ScenarioBrowser::listScenarios(int routeRow)
{
    SharedState& s = shared();
    const QString work = workFolder();
    if (!FolderExists(work))
        QDir().mkpath(nativePath(work));

    scenarioRows.clear();
    ui().doEvents();
    s.ScenarioFolders.redim(0, 50);
    s.ScenarioNames.redim(0, 50);
    ui().doEvents();

    // Without a route there is no folder to list (the path would be built from an empty name).
    if (routeRow < 0 || !s.RouteFolders.contains(routeRow))
        return;

    qsizetype j = 0;
    try {
        const QString routePath = s.GamePath + QStringLiteral("\\content\\Routes\\") + s.RouteFolders[routeRow];
        SelectedRoutePath = routePath;
        s.CurrentFile = routePath + QStringLiteral("\\Scenarios.bin");
        ScenariosXmlName = QStringLiteral("Scenarios.xml");

        QString text;
        if (!FileExists(s.CurrentFile)) {
            exclaim(kNoScenariosForRoute);
            return;
        }
        if (!convertToWork(s.CurrentFile, TempFilesPath(ScenariosXmlName),
                           text))
            return;

        qsizetype p = 1;
        while (p > 0) {
            p = find(p, text, QStringLiteral("<DevString"));
            if (p == 0)
                break;
            const qsizetype e = find(p, text, QStringLiteral("</DevString"));
            if (e == 0)
                break; // an unclosed last entry: nothing more can be read
            const qsizetype gt = vb::InStrRev(text, QStringLiteral(">"), e, Compare::Text);
            const QString id = vb::Mid(text, gt + 1, e - gt - 1);

            // A name that is no plain folder name never becomes part of a path.
            if (!isPlainFolderName(id) || !FolderExists(routePath + QStringLiteral("\\Scenarios\\") + id)) {
                exclaim(QStringLiteral("The Scenario Folder ") + id
                        + QStringLiteral(" listed in Scenarios.bin does not exist!"));
                p += 10;
                continue;
            }
            if (!FileExists(routePath + QStringLiteral("\\Scenarios\\") + id + QStringLiteral("\\Scenario.bin"))) {
                exclaim(QStringLiteral("There is no Scenario.bin file in the sub-folder") + kCrLf + id);
                p += 10;
                continue;
            }
            s.ScenarioFolders[j] = id;
            // The name is read from this entry only: one without names of its own shows an
            // empty name, never the next entry's.
            qsizetype lastEndTag = e;
            const QString name = ReadLocalisedName(text, e, find(e, text, QStringLiteral("<DevString")), lastEndTag);
            p = e;
            addListed(scenarioRows, s.ScenarioNames, s.ScenarioFolders, j, name, id);
        }
    } catch (const VbError& error) {
        exclaim(QStringLiteral("An Error ") + QString::number(error.number) + QStringLiteral(" occurred while") + kCrLf
                + QStringLiteral("checking for Scenarios."));
        // The rows listed so far stay usable: cut the tables to them.
        if (j > 0) {
            s.ScenarioFolders.redimPreserve(j - 1);
            s.ScenarioNames.redimPreserve(j - 1);
        }
        return;
    }

    if (j > 0) {
        s.ScenarioFolders.redimPreserve(j - 1);
        s.ScenarioNames.redimPreserve(j - 1);
    } else {
        exclaim(kNoScenariosForRoute);
    }
}

bool ScenarioBrowser::chooseScenario(int scenarioRow)
{
    SharedState& s = shared();
    s.RouteFolder = SelectedRoutePath;
    if (scenarioRow < 0 || scenarioRow >= scenarioRows.size() || !s.ScenarioFolders.contains(scenarioRow))
        return false;
    s.ScenarioFolder = s.RouteFolder + QStringLiteral("\\Scenarios\\") + s.ScenarioFolders[scenarioRow];
    savedCopiesFolder = s.ScenarioFolder;
    return true;
}

// ---- editor texts and empty consists -------------------------------------------------------

QString ScenarioBrowser::selectedScenarioId(int selectedScenarioRow)
{
    SharedState& s = shared();
    if (scenarioRows.isEmpty()) {
        exclaim(kNoScenarios);
        return QString();
    }
    QString id;
    if (selectedScenarioRow >= 0 && s.ScenarioFolders.contains(selectedScenarioRow))
        id = s.ScenarioFolders[selectedScenarioRow];
    if (id.isEmpty()) {
        exclaim(kNoScenarioSelected);
        return QString();
    }
    s.RouteFolder = SelectedRoutePath;
    s.ScenarioFolder = s.RouteFolder + QStringLiteral("\\Scenarios\\") + id;
    return id;
}

bool ScenarioBrowser::prepareEditor(int selectedScenarioRow)
{
    const QString id = selectedScenarioId(selectedScenarioRow);
    if (id.isEmpty())
        return false;
    SharedState& s = shared();
    BusyPointer busy;
    try {
        QString listText;
        if (!convertToWork(s.RouteFolder + QStringLiteral("\\Scenarios.bin"),
                           TempFilesPath(QStringLiteral("Scenarios.xml")), listText))
            return false;
        const ScenarioPropertiesCut cut = cutScenarioProperties(listText, id);
        ui().doEvents();

        QString scenarioText;
        if (!convertToWork(s.ScenarioFolder + QStringLiteral("\\Scenario.bin"),
                           TempFilesPath(QStringLiteral("Scenario.xml")), scenarioText))
            return false;
        ui().doEvents();

        QString tracksText;
        if (!convertToWork(s.RouteFolder + QStringLiteral("\\Networks\\Tracks.bin"),
                           TempFilesPath(QStringLiteral("Tracks.xml")), tracksText))
            return false;
        ui().doEvents();

        // Only a complete set of texts reaches the editor.
        RoutesXmlText = listText;
        s.ScenarioProperties = cut.block;
        s.ScenariosTextBefore = cut.before;
        s.ScenariosTextAfter = cut.after;
        s.ScenarioTextLoaded = scenarioText;
        s.ScenarioText = s.ScenarioTextLoaded;
        s.TracksText = tracksText;
        return true;
    } catch (const std::exception& error) {
        showHandlerError(ErrorSpelling::Subroutine, runTimeErrorOf(error), QStringLiteral("Command10_Click"));
    }
    return false;
}

bool ScenarioBrowser::removeEmptyConsistsFromScenario(int selectedScenarioRow)
{
    const QString handler = QStringLiteral("Command11_Click");
    const QString id = selectedScenarioId(selectedScenarioRow);
    if (id.isEmpty())
        return false;
    SharedState& s = shared();
    BusyPointer busy;
    try {
        const QString gameFile = s.ScenarioFolder + QStringLiteral("\\Scenario.bin");
        QString text;
        if (!convertToWork(gameFile, TempFilesPath(QStringLiteral("Scenario.xml")), text))
            return false;
        text = removeEmptyConsists(text);

        // The same work file, written back.
        const QString workXml = TempFilesPath(QStringLiteral("Scenario.xml"), QStringLiteral("tempfiles"));
        const QString nativeXml = nativePath(workXml);
        if (QFileInfo::exists(nativeXml) && !QFile::remove(nativeXml)) {
            showHandlerError(ErrorSpelling::Subroutine, VbError(70), handler);
            return false;
        }
        ui().doEvents();
        if (!WriteTextFile(workXml, text + kCrLf))
            return false; // the message has been shown

        // Convert into the work folder first; the game file is replaced only by a complete
        // conversion, after it has been moved to its backup name.
        const QString workBin = workFolder() + QStringLiteral("\\Scenario.bin");
        const ConversionResult converted = RunSerz(workXml, serz::ToXml, workBin, platform::programFolder());
        if (!converted) {
            exclaim(converted.error);
            return false;
        }
        const ConversionResult replaced =
            ReplaceGameFile(workBin, gameFile, s.ScenarioFolder + QStringLiteral("\\Scenario.bak"));
        if (!replaced) {
            exclaim(replaced.error);
            return false;
        }
        ui().msgBox(kConsistsRemoved, vb::vbOKOnly + vb::vbInformation);
        return true;
    } catch (const std::exception& error) {
        showHandlerError(ErrorSpelling::Subroutine, runTimeErrorOf(error), handler);
    }
    return false;
}

// ---- reverts -------------------------------------------------------------------------------

// Puts the first backup bak in place of bin in one step, then deletes the numbered backups
// bak & 1 to bak & 50. When either file is missing nothing is restored and nothing deleted.
void ScenarioBrowser::restoreFirstBackup(const QString& bin, const QString& bak, const QString& handler)
{
    if (!FileExists(bin) || !FileExists(bak))
        return;
    // rename() replaces the game file atomically: it is never missing, not even for a moment.
    if (!platform::renameFile(nativePath(bak), nativePath(bin), platform::RenameMode::ReplaceExisting)) {
        showHandlerError(ErrorSpelling::Subroutine, VbError(70), handler);
        return;
    }
    ui().doEvents();
    for (int n = 1; n <= 50; ++n) {
        const QString numbered = nativePath(bak + QString::number(n));
        if (QFileInfo(numbered).isFile())
            QFile::remove(numbered);
    }
}

void ScenarioBrowser::revertRoute(int routeRow)
{
    SharedState& s = shared();
    if (routeRow < 0 || !s.RouteFolders.contains(routeRow))
        return;
    const QString routePath = s.GamePath + QStringLiteral("\\content\\Routes\\") + s.RouteFolders[routeRow];
    restoreFirstBackup(routePath + QStringLiteral("\\Scenarios.bin"), routePath + QStringLiteral("\\Scenarios.bak"),
                       QStringLiteral("Command2_Click"));
}

void ScenarioBrowser::revertScenario(int scenarioRow)
{
    SharedState& s = shared();
    if (scenarioRow < 0 || scenarioRow >= scenarioRows.size() || !s.ScenarioFolders.contains(scenarioRow))
        return;
    const QString folder = SelectedRoutePath + QStringLiteral("\\Scenarios\\") + s.ScenarioFolders[scenarioRow];
    restoreFirstBackup(folder + QStringLiteral("\\Scenario.bin"), folder + QStringLiteral("\\Scenario.bak"),
                       QStringLiteral("Command3_Click"));
}

// ---- saved copies --------------------------------------------------------------------------

QStringList ScenarioBrowser::savedCopies() const
{
    if (savedCopiesFolder.isEmpty())
        return {};
    QDir dir(nativePath(savedCopiesFolder));
    if (!dir.exists())
        return {};
    // Name filters ignore case unless told otherwise.
    return dir.entryList(QStringList{QStringLiteral("*.xml")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

bool ScenarioBrowser::saveCurrentSaveAs()
{
    const QString handler = QStringLiteral("Command4_Click");
    if (savedCopiesFolder.isEmpty())
        return false; // no scenario chosen
    QString name = ui().inputBox(kSaveAsPrompt);
    if (name.isEmpty())
        return false; // cancelled
    if (!sameName(vb::Right(name, 4), QStringLiteral(".xml")))
        name += QStringLiteral(".xml");
    if (!isPlainFileName(name)) {
        // a name that would leave the scenario folder
        showHandlerError(ErrorSpelling::Subroutine, VbError(52), handler);
        return false;
    }
    if (sameName(name, kCurrentSave))
        return false; // a copy onto itself changes nothing
    const QString folder = shared().ScenarioFolder;
    const int error = copyReplacing(folder + QStringLiteral("\\CurrentSave.xml"), folder + QLatin1Char('\\') + name);
    if (error != 0) {
        showHandlerError(ErrorSpelling::Subroutine, VbError(error), handler);
        return false;
    }
    return true;
}

// Copies the selected saved copy over "CurrentSave.xml" without deleting it first.
bool ScenarioBrowser::replaceCurrentSave(const QString& selectedFile, const QString& handler)
{
    if (sameName(selectedFile, kCurrentSave))
        return true; // already in place
    const QString folder = shared().ScenarioFolder;
    const int error = copyReplacing(folder + QLatin1Char('\\') + selectedFile, folder + QStringLiteral("\\CurrentSave.xml"));
    ui().doEvents();
    if (error != 0) {
        showHandlerError(ErrorSpelling::Subroutine, VbError(error), handler);
        return false;
    }
    return true;
}

bool ScenarioBrowser::startProgram(const QString& program, const QString& handler)
{
    const qint64 pid = platform::startDetached(QLatin1Char('"') + program + QLatin1Char('"'));
    ui().doEvents();
    if (pid == 0) {
        showHandlerError(ErrorSpelling::Subroutine, VbError(53), handler);
        return false;
    }
    return true;
}

bool ScenarioBrowser::overwriteCurrentSave(const QString& selectedFile)
{
    if (savedCopiesFolder.isEmpty() || !isPlainFileName(selectedFile))
        return false;
    if (ui().msgBox(kOverwriteQuestion, vb::vbYesNo + vb::vbExclamation) != vb::vbYes)
        return false;
    return replaceCurrentSave(selectedFile, QStringLiteral("Command5_Click"));
}

bool ScenarioBrowser::runGame(const QString& selectedFile)
{
    const QString handler = QStringLiteral("Command6_Click");
    if (savedCopies().isEmpty())
        return startProgram(gameProgram(), handler);
    if (!isPlainFileName(selectedFile))
        return false;
    if (ui().msgBox(kRunQuestion, vb::vbYesNo + vb::vbExclamation) != vb::vbYes)
        return false;
    if (!replaceCurrentSave(selectedFile, handler))
        return false;
    return startProgram(gameProgram(), handler);
}

bool ScenarioBrowser::runGameEditor(const QString& selectedFile)
{
    const QString handler = QStringLiteral("Command8_Click");
    if (savedCopiesFolder.isEmpty() || !isPlainFileName(selectedFile))
        return false;
    if (ui().msgBox(kRunQuestion, vb::vbYesNo + vb::vbExclamation) != vb::vbYes)
        return false;
    if (!replaceCurrentSave(selectedFile, handler))
        return false;
    if (!FileExists(editorProgram())) {
        exclaim(kNoDevTools);
        return false;
    }
    return startProgram(editorProgram(), handler);
}

void ScenarioBrowser::unload()
{
    KillProcessByName(kZelvornProcess);
}

} // namespace scenarios
