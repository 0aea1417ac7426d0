#include "hub/ToolLaunchers.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "platform/Ui.h"

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

namespace {

constexpr int pathFileAccessError = 75;

// Runs show; a run-time error on the way is reported as the handler's. False when one was.
bool showReportingErrors(const std::function<void()>& show, const QString& handler)
{
    return runGuarded(ErrorSpelling::Number, handler, [&] { call(show); });
}

QString routeListHandlerName(RouteListTask task)
{
    switch (task) {
    case RouteListTask::Check:
        return QStringLiteral("mnuDelRoute");
    case RouteListTask::RoutePackage:
        return QStringLiteral("mnuPack");
    case RouteListTask::ScenarioPackage:
        break;
    }
    return packagerHandlerName(Packager::Scenarios);
}

} // namespace

QString packagerHandlerName(Packager which)
{
    switch (which) {
    case Packager::Scenarios:
        return QStringLiteral("mnuPackSce");
    case Packager::Assets:
        return QStringLiteral("mnuPackAss");
    case Packager::Reskins:
        break;
    }
    return QStringLiteral("mnuReskin");
}

bool emptyWorkFolderFor(Packager which)
{
    if (ResetTempFiles())
        return true;
    showHandlerError(ErrorSpelling::Number, VbError(pathFileAccessError), packagerHandlerName(which));
    return false;
}

void runPackager(Packager which, const std::function<void()>& show)
{
    SharedState& s = shared();
    s.PackageAssetsMode = true;
    if (showReportingErrors(show, packagerHandlerName(which)))
        s.PackageFolder.clear();
}

QString routeListBusyMessage()
{
    return QStringLiteral("The route list is open for another task; close it first.");
}

RouteListOutcome launchRouteList(RouteListTask task, const RouteListWindow& window, const std::function<bool()>& prepare)
{
    if (const std::optional<RouteListTask> open = window.openTask ? window.openTask() : std::nullopt) {
        call(window.raise);
        if (*open == task)
            return RouteListOutcome::Raised;
        exclaim(routeListBusyMessage());
        return RouteListOutcome::OpenForAnotherTask;
    }
    if (prepare && !prepare())
        return RouteListOutcome::Stopped;

    SharedState& s = shared();
    switch (task) {
    case RouteListTask::Check:
        s.PackageRouteMode = false;
        break;
    case RouteListTask::RoutePackage:
        s.PackageRouteMode = true;
        break;
    case RouteListTask::ScenarioPackage:
        s.PackageScenariosMode = true;
        break;
    }
    const bool shown = showReportingErrors(window.show, routeListHandlerName(task));
    // The modal list has closed: a later list must not come up packaging.
    if (task == RouteListTask::RoutePackage)
        s.PackageRouteMode = false;
    if (!shown)
        return RouteListOutcome::Stopped;
    if (task == RouteListTask::ScenarioPackage)
        s.PackageFolder.clear();
    return RouteListOutcome::Shown;
}

} // namespace hub
