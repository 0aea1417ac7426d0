// "Tools": the launchers of the route list and the packagers. The steps live in
// hub/ToolLaunchers; the handlers only hand them the windows.

#include "hub/frmEditor.h"

#include "hub/ToolLaunchers.h"
#include "packaging/frmFolder3.h"
#include "packaging/frmFolder4.h"
#include "platform/OneWindow.h"
#include "platform/Ui.h"
#include "routes/frmDelRoute.h"

#include <optional>

namespace {

hub::RouteListTask taskOf(frmDelRoute::ListMode mode)
{
    switch (mode) {
    case frmDelRoute::ListMode::RoutePackage:
        return hub::RouteListTask::RoutePackage;
    case frmDelRoute::ListMode::ScenarioPackage:
        return hub::RouteListTask::ScenarioPackage;
    case frmDelRoute::ListMode::Check:
        break;
    }
    return hub::RouteListTask::Check;
}

// The route list as the launchers see it. Its mode is fixed when it loads, so a list that
// is loaded but no longer shown is dropped and the next one loads anew.
hub::RouteListWindow routeListWindow(bool modal)
{
    hub::RouteListWindow window;
    window.openTask = []() -> std::optional<hub::RouteListTask> {
        frmDelRoute* open = frmDelRoute::existing();
        if (!open)
            return std::nullopt;
        if (!open->isVisible()) {
            platform::unloadWindow(open);
            return std::nullopt;
        }
        return taskOf(open->loadedMode());
    };
    window.raise = [] {
        if (frmDelRoute* open = frmDelRoute::existing()) {
            if (open->isMinimized())
                open->showNormal();
            platform::bringToFront(open);
        }
    };
    window.show = [modal] {
        frmDelRoute& list = frmDelRoute::instance();
        if (modal) {
            ui().showModal(&list);
            return;
        }
        platform::bringToFront(&list);
    };
    return window;
}

} // namespace

void frmEditor::mnuDelRoute_Click()
{
    if (!isBusy())
        hub::launchRouteList(hub::RouteListTask::Check, routeListWindow(false));
}

void frmEditor::mnuPack_Click()
{
    if (!isBusy())
        hub::launchRouteList(hub::RouteListTask::RoutePackage, routeListWindow(true));
}

void frmEditor::mnuPackSce_Click()
{
    if (isBusy())
        return;
    hub::launchRouteList(hub::RouteListTask::ScenarioPackage, routeListWindow(false), [this] {
        BusyScope busy(this);
        return hub::emptyWorkFolderFor(hub::Packager::Scenarios);
    });
}

void frmEditor::mnuPackAss_Click()
{
    if (isBusy())
        return;
    {
        BusyScope busy(this);
        if (!hub::emptyWorkFolderFor(hub::Packager::Assets))
            return;
    }
    hub::runPackager(hub::Packager::Assets, [this] { frmFolder3::showModalWindow(this); });
}

void frmEditor::mnuReskin_Click()
{
    if (isBusy())
        return;
    {
        BusyScope busy(this);
        if (!hub::emptyWorkFolderFor(hub::Packager::Reskins))
            return;
    }
    hub::runPackager(hub::Packager::Reskins, [this] { frmFolder4::showModalWindow(this); });
}
