#include "hub/ToolLaunchers.h"

#include "common/SharedState.h"

namespace hub {

namespace {

void call(const std::function<void()>& show)
{
    if (show)
        show();
}

} // namespace

void launchMarkerTool(int markerToolMode, const ToolWindows& windows)
{
    shared().MarkerToolMode = markerToolMode;
    call(windows.markers);
}

void launchBlueprintDesigner(int blueprintMode, const ToolWindows& windows)
{
    SharedState& s = shared();
    s.BlueprintPending = true;
    s.BlueprintMode = blueprintMode;
    call(windows.folderPicker);
    call(windows.blueprintDesigner);
}

void launchDeveloperFolders(const ToolWindows& windows)
{
    shared().BlueprintPending = false;
    call(windows.folderPicker);
}

} // namespace hub
