#pragma once
// The logic of the route list window: reading the game's route list "Content\Routes.xml",
// listing the scenarios of one route from its "Scenarios.bin" (with the removal of entries
// whose scenario folder is missing), and deleting a scenario (its folder and its entry).
//
// Texts are searched as the game's XML is everywhere else: as one whole text, by tag name,
// ignoring case, with positions counted from 1.

#include "common/ScenarioEntries.h"
#include "common/VbArray.h"

#include <QString>

#include <functional>

namespace routes {

// The window fields that the other route utilities read and write.
struct RouteListState {
    QString RoutesXmlPath;     // GamePath & "\Content\Routes.xml"
    QString RoutesXmlText;     // that file's whole text as read when the window loaded
    QString SelectedRoutePath; // GamePath & "\content\Routes\" & the folder of the route last listed
    QString ScenariosXmlName;  // "Scenarios.xml", the work copy of the route's scenario list
    // The route check's tables of used blueprints and textures (0 to 500 when the window loads).
    VbArray<QString> UsedBlueprints;
    VbArray<QString> UsedTextures;
};

// The first slot count of the route tables and how much they grow by.
inline constexpr qsizetype kRouteTableUpper = 500;
inline constexpr qsizetype kScenarioTableUpper = 50;
inline constexpr qsizetype kTableGrowth = 50;

// The "DevString" value and the localised name of an entry: shared with the scenario browser.
using ::DevStringValue;
using ::ReadLocalisedName;

// Fills the route tables from the text of "Routes.xml": one entry per "DevString" element,
// the folder from that element and the name from the localised name after it. The tables are
// created with bounds 0 to 500, grown by 50 slots when full and cut to the number of routes.
// Returns that number.
qsizetype ReadRoutes(const QString& routesXmlText, VbArray<QString>& routeNames, VbArray<QString>& routeFolders);

// The row the route and scenario lists show: name, a tab character, folder.
QString ListRow(const QString& name, const QString& folder);

// True when a scenario folder name from the game's list can be joined into a path below the
// route's "Scenarios" folder: not empty, no "\" or "/", not "." and no "..".
bool IsUsableFolderName(const QString& folder);

// Removes from text the "cScenarioProperties" entry whose "DevString" equals folder (ignoring
// case), the first such entry at or after position from (FindScenarioEntry). The text before the entry's start
// tag is kept, and the text from the character just before the next entry's start tag on; for
// the last entry, the text after its "</cScenarioProperties>" end tag. Returns the position at
// which the entry was cut out (where the kept tail now starts), or 0 when no entry was cut
// (none matches, or it lacks its start or end tag); text is then unchanged.
qsizetype CutScenarioBlock(QString& text, const QString& folder, qsizetype from = 1);

// The work copies of a route's scenario list in the program folder's "TempFiles".
QString ScenariosWorkXml();
QString ScenariosWorkBin();

// Called for each scenario listed, in order, as it is found.
using ScenarioListed = std::function<void(const QString& name, const QString& folder)>;

// Lists the scenarios of the route whose folder below "Content\Routes" is routeFolder:
// converts its "Scenarios.bin" to the work copy "TempFiles\Scenarios.xml", walks its
// "DevString" entries and lists each whose scenario folder exists (into the shared
// ScenarioFolders and ScenarioNames, re-created with bounds 0 to 50, and through listed).
// For an entry whose folder is missing or unusable the user is asked whether to remove it;
// Yes removes it and every further such entry without asking again. When entries were
// removed, the list is converted back and put in place of "Scenarios.bin" with a backup.
// Sets SelectedRoutePath, ScenariosXmlName and the shared CurrentFile. Failures are reported
// to the user. Returns the number of scenarios listed.
qsizetype ListScenarios(RouteListState& state, const QString& routeFolder, const ScenarioListed& listed);

// Deletes the scenario folder named folder of the route last listed, after cutting its entry
// out of the route's "Scenarios.bin" (converted afresh; written back with a backup). When
// the list cannot be updated the user is told and nothing is deleted. A folder name that is
// not usable is refused. Returns true when the scenario was deleted.
bool DeleteScenario(RouteListState& state, const QString& folder);

} // namespace routes
