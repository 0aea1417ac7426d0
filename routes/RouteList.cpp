#include "routes/RouteList.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QDir>

#include <exception>

using vb::Compare;
using vb::InStr;

namespace routes {

namespace {

using gametext::kDevStringStart;
const QString kScenariosBin = QStringLiteral("Scenarios.bin");

// The work copy's name: the game file's name with its last four characters made ".xml".
QString workXmlName()
{
    return kScenariosBin.left(kScenariosBin.size() - 4) + QStringLiteral(".xml");
}

void makeWorkFolder()
{
    EnsureTempFiles();
}

enum class ListCopy { Missing, Failed, Read };

// Converts a route's "Scenarios.bin" into the work copy and reads it. A route without a
// scenario list has nothing to read; a failed conversion is reported here.
ListCopy readScenarioList(const QString& gameFile, QString& text, const QString& failureNote)
{
    text.clear();
    if (!FileExists(gameFile))
        return ListCopy::Missing;
    makeWorkFolder();
    const ConversionResult converted =
        RunSerz(gameFile, serz::ToXml, ScenariosWorkXml(), platform::programFolder());
    ui().doEvents();
    if (!converted) {
        exclaim(converted.error + failureNote);
        return ListCopy::Failed;
    }
    ReadTextFile(ScenariosWorkXml(), text);
    ui().doEvents();
    return ListCopy::Read;
}

// Writes the changed list to the work copy, converts it and puts the result in place of the
// game's "Scenarios.bin", which keeps a backup. On any failure the game file is left as it
// was and the user is told.
bool writeScenarioList(const QString& text, const QString& gameFile, const QString& failureNote)
{
    if (!WriteTextFile(ScenariosWorkXml(), text))
        return false;
    ui().doEvents();
    const ConversionResult converted =
        RunSerz(ScenariosWorkXml(), serz::ToBin, ScenariosWorkBin(), platform::programFolder());
    ui().doEvents();
    if (!converted) {
        exclaim(converted.error + QStringLiteral("\r\n") + gameFile + QStringLiteral(" has not been changed.")
                    + failureNote);
        return false;
    }
    const ConversionResult replaced = ReplaceGameFile(ScenariosWorkBin(), gameFile);
    ui().doEvents();
    if (!replaced) {
        exclaim(replaced.error + failureNote);
        return false;
    }
    return true;
}

QString listingErrorMessage(const QString& description)
{
    return QStringLiteral("An Error ") + description + QStringLiteral(" occurred while\r\nchecking for Scenarios.");
}

} // namespace

qsizetype ReadRoutes(const QString& routesXmlText, VbArray<QString>& routeNames, VbArray<QString>& routeFolders)
{
    routeNames.redim(0, kRouteTableUpper);
    routeFolders.redim(0, kRouteTableUpper);
    qsizetype p = 1;
    qsizetype k = 0;
    qsizetype e = 0;
    QString folder;
    // An element without its end tag ends the list.
    while (NextDevString(routesXmlText, p, e, folder)) {
        routeFolders[k] = folder;
        const qsizetype next = vb::InStrText(e, routesXmlText, kDevStringStart);
        qsizetype lastEndTag = e;
        routeNames[k] = ReadLocalisedName(routesXmlText, e, next, lastEndTag);
        p = lastEndTag;
        ++k;
        routeNames.growFor(k, kTableGrowth);
        routeFolders.growFor(k, kTableGrowth);
    }
    routeNames.redimPreserve(k - 1);
    routeFolders.redimPreserve(k - 1);
    return k;
}

QString ListRow(const QString& name, const QString& folder)
{
    return name + QLatin1Char('\t') + folder;
}

bool IsUsableFolderName(const QString& folder)
{
    if (folder.contains(QLatin1Char('\\')) || folder.contains(QLatin1Char('/'))
        || folder.contains(QStringLiteral("..")))
        return false;
    // Windows drops trailing blanks and dots, so a name of nothing else names the
    // "Scenarios" folder itself.
    for (const QChar c : folder) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('.'))
            return true;
    }
    return false;
}

qsizetype CutScenarioBlock(QString& text, const QString& folder, qsizetype from)
{
    const ScenarioEntry entry = FindScenarioEntry(text, folder, from);
    if (!entry)
        return 0;
    const qsizetype a = entry.start;
    const qsizetype b = vb::InStrText(entry.devString, text, kScenarioEntryStart);
    QString tail;
    if (b > 0) {
        tail = text.mid(b - 2); // from the character just before the next entry's start tag
    } else {
        if (entry.end == 0)
            return 0;
        tail = text.mid(entry.end - 1 + kScenarioEntryEnd.size());
    }
    text.truncate(a - 1);
    text += tail;
    return a;
}

QString ScenariosWorkXml()
{
    return TempFilesPath(workXmlName());
}

QString ScenariosWorkBin()
{
    return TempFilesPath(kScenariosBin);
}

qsizetype ListScenarios(RouteListState& state, const QString& routeFolder, const ScenarioListed& listed)
{
    SharedState& s = shared();
    ui().doEvents();
    s.ScenarioFolders.redim(0, kScenarioTableUpper);
    s.ScenarioNames.redim(0, kScenarioTableUpper);
    ui().doEvents();

    qsizetype j = 0;
    try {
        if (!IsUsableFolderName(routeFolder)) {
            // Such a route has no folder of its own below "Content\Routes".
            state.SelectedRoutePath.clear();
            return 0;
        }
        state.SelectedRoutePath = s.GamePath + QStringLiteral("\\content\\Routes\\") + routeFolder;
        s.CurrentFile = state.SelectedRoutePath + QLatin1Char('\\') + kScenariosBin;
        state.ScenariosXmlName = workXmlName();

        QString text;
        if (readScenarioList(s.CurrentFile, text, QString()) != ListCopy::Read)
            return 0;

        const QString scenariosFolder = state.SelectedRoutePath + QStringLiteral("\\Scenarios\\");
        bool removeAll = false;
        bool changed = false;
        qsizetype p = 1;
        qsizetype e = 0;
        QString folder;
        // An element without its end tag ends the list.
        while (NextDevString(text, p, e, folder)) {
            if (IsUsableFolderName(folder) && FolderExists(scenariosFolder + folder)) {
                s.ScenarioFolders[j] = folder;
                qsizetype lastEndTag = e;
                const QString name = ReadLocalisedName(text, e, vb::InStrText(e, text, kDevStringStart), lastEndTag);
                s.ScenarioNames[j] = name;
                if (listed)
                    listed(name, folder);
                p = e;
                ++j;
                s.ScenarioFolders.growFor(j, kTableGrowth);
                s.ScenarioNames.growFor(j, kTableGrowth);
                continue;
            }

            if (!removeAll) {
                const int answer = ui().msgBox(
                    QStringLiteral("The Scenario Folder ") + folder
                        + QStringLiteral(" listed in Scenarios.bin does not exist!\r\n"
                                         "Do you wish to remove this invalid entry from Scenarios.bin?"),
                    vb::vbYesNo + vb::vbExclamation);
                if (answer != vb::vbYes) {
                    p += 10; // past "<DevString": the entry stays and is not listed
                    continue;
                }
                removeAll = true;
            }
            // The search goes on where the entry was cut out, so the entry after it is seen.
            const qsizetype cutAt = CutScenarioBlock(text, folder, p);
            if (cutAt > 0) {
                changed = true;
                p = cutAt;
            } else {
                p += 10;
            }
        }

        // With no scenario listed the tables keep their 51 empty slots.
        if (j > 0) {
            s.ScenarioNames.redimPreserve(j - 1);
            s.ScenarioFolders.redimPreserve(j - 1);
        }

        if (changed) {
            ui().doEvents();
            s.CurrentFile = state.SelectedRoutePath + QLatin1Char('\\') + kScenariosBin;
            writeScenarioList(text, s.CurrentFile, QString());
        }
    } catch (const VbError& error) {
        exclaim(listingErrorMessage(error.description));
    } catch (const std::exception& error) {
        exclaim(listingErrorMessage(QString::fromLocal8Bit(error.what())));
    }
    return j;
}

bool DeleteScenario(RouteListState& state, const QString& folder)
{
    if (!IsUsableFolderName(folder) || state.SelectedRoutePath.isEmpty())
        return false;
    SharedState& s = shared();
    const QString scenarioPath = state.SelectedRoutePath + QStringLiteral("\\Scenarios\\") + folder;
    const QString notDeleted = QStringLiteral("\r\nThe scenario has not been deleted.");
    try {
        s.CurrentFile = state.SelectedRoutePath + QLatin1Char('\\') + kScenariosBin;
        // The list is converted afresh: the work copy may belong to another route or command.
        QString text;
        const ListCopy copy = readScenarioList(s.CurrentFile, text, notDeleted);
        if (copy == ListCopy::Failed)
            return false;
        if (copy == ListCopy::Read && CutScenarioBlock(text, folder) > 0) {
            if (!writeScenarioList(text, s.CurrentFile, notDeleted))
                return false;
        }
        // The entry is gone from the game's list; only now is the folder removed.
        tags::routeList::DelAll(scenarioPath);
        ui().doEvents();
        return true;
    } catch (const VbError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace routes
