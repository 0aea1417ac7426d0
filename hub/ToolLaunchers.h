#pragma once
// The Tools menu's launchers of the marker converter, the folder picker and the blueprint
// designer: each sets the shared mode flags that the window reads while it loads, then shows
// it. The windows themselves are shown through the functions the window layer hands in.

#include <functional>

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

} // namespace hub
