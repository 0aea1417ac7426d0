#pragma once
// The Tools menu's launchers of the marker converter, the folder picker and the blueprint
// designer: each sets the shared mode flags that the window reads while it loads, then shows
// it. The windows themselves are shown through the functions the window layer hands in.

#include <QString>

#include <functional>
#include <optional>

namespace hub {

struct ToolWindows {
    std::function<void()> markers;           // frmMarkers, modal
    std::function<void()> folderPicker;      // frmFolder, modal
    std::function<void()> blueprintDesigner; // frmBlue, not modal
};

// "Convert  Marker files" (mode 1) and "DCSV Precision" (mode 2).
void launchMarkerTool(int markerToolMode, const ToolWindows& windows);

// "Markers - Named" (1), "Markers - Series" (2), "Route Template" (3): the picker chooses the
// folder, then the designer shows.
void launchBlueprintDesigner(int blueprintMode, const ToolWindows& windows);

// "Set Up Sub- Folders": the picker always makes an add-on tree, whatever blueprint command
// ran before, so the pending blueprint flag is cleared first.
void launchDeveloperFolders(const ToolWindows& windows);

// ---- The route list and the packagers ----

// The task the route list window serves; it reads it from the shared flags when it loads and
// keeps it for its life.
enum class RouteListTask { Check, RoutePackage, ScenarioPackage };

// The packagers that work in an emptied "TempFiles".
enum class Packager { Scenarios, Assets, Reskins };

// The handler's name that the packager's error messages carry: "mnuPackSce", "mnuPackAss",
// "mnuReskin".
QString packagerHandlerName(Packager which);

// Empties the program folder's "TempFiles" and makes it again. When it cannot be made again,
// shows "Error 75 occurred in " and the packager's handler name and answers false.
bool emptyWorkFolderFor(Packager which);

// "Package Assets" and "Package Reskins": sets PackageAssetsMode, shows the packager (show
// returns when the modal window has closed) and clears PackageFolder. A run-time error shows
// "Error <number> occurred in <handler>".
void runPackager(Packager which, const std::function<void()>& show);

// Shown when the route list is open for another task than the one asked for.
QString routeListBusyMessage();

struct RouteListWindow {
    // The task of the open route list; none when no list is open.
    std::function<std::optional<RouteListTask>()> openTask;
    std::function<void()> raise;
    // Loads the list in the mode the flags give and shows it; returns when a modal list closes.
    std::function<void()> show;
};

enum class RouteListOutcome { Shown, Raised, OpenForAnotherTask, Stopped };

// "Check Routes or Scenarios", "Package Route" and "Package Scenarios". An open list is only
// raised: in another task the user is told to close it first, and no flag changes, so that a
// list that deletes routes never packages and a package in progress is never dropped.
// Otherwise prepare runs (false ends the launch; "Package Scenarios" empties the work folder
// there), the task's flag is set and the list shown. A route package clears PackageRouteMode
// when its modal list returns; a scenario package clears PackageFolder at once, so that its
// first "Add to Package" chooses one.
RouteListOutcome launchRouteList(RouteListTask task, const RouteListWindow& window,
                                 const std::function<bool()>& prepare = {});

} // namespace hub
