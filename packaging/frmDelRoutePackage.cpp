// The route list's OK button (deleting a route, or packaging it when the list was opened to
// package a route) and "Package this Routes Assets". The work is packaging::DeleteRoute,
// BuildRoutePackage and CollectRouteAssets; these handlers read the selected row and ask the
// user what to do next. They are the route list window's part of packaging, so they live here
// and the window's own files in routes/ need nothing of packaging/.

#include "routes/frmDelRoute.h"
#include "routes/frmDelRouteBusy.h"

#include "common/SharedState.h"
#include "packaging/RouteDelete.h"
#include "packaging/RoutePackage.h"
#include "packaging/frmNewZip.h"
#include "platform/Paths.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"
#include "routes/RouteScan.h"

#include <QListWidget>
#include <QPointer>

void frmDelRoute::OKButton_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    if (mode_ == ListMode::Check) {
        if (ui().msgBox(QStringLiteral("Do you really wish to delete the selected route(s)?"),
                        vb::vbYesNo + vb::vbExclamation)
            != vb::vbYes)
            return;
        const int row = firstSelectedRow(List1);
        if (row < 0 || !s.RouteFolders.contains(row)) {
            close();
            return;
        }
        packaging::RouteDeleteResult result;
        {
            BusyScope busy(this);
            BusyPointer pointer;
            result = packaging::DeleteRoute(s.GamePath, RoutesXmlPath, s.RouteFolders[row], RoutesXmlText);
        }
        if (result == packaging::RouteDeleteResult::NotFound || result == packaging::RouteDeleteResult::ListNotSaved)
            return; // nothing changed: the list stays as the game has it
        delete List1->takeItem(row);
        if (row < List2->count())
            delete List2->takeItem(row);
        ui().doEvents();
        if (!platform::isUnloaded(this)) // its Exit may have come meanwhile
            close();
        return;
    }
    if (mode_ != ListMode::RoutePackage)
        return;

    const int row = firstSelectedRow(List1);
    if (row < 0 || !s.RouteFolders.contains(row) || !s.RouteNames.contains(row))
        return; // nothing selected: nothing happens
    QString packageFolder;
    {
        BusyScope busy(this);
        packageFolder = packaging::BuildRoutePackage(RoutesXmlText, RoutesXmlPath, s.RouteNames[row], s.RouteFolders[row]);
    }
    if (packageFolder.isNull())
        return;
    ui().doEvents();
    if (platform::isUnloaded(this))
        return; // closed meanwhile: the assets are not asked for
    if (ui().msgBox(QStringLiteral("Your Route is now saved in ") + packageFolder
                        + QStringLiteral("\r\nDo you wish to add Assets ready for distribution?"),
                    vb::vbYesNo + vb::vbInformation)
        == vb::vbYes)
        Command8_Click();
}

void frmDelRoute::Command8_Click()
{
    if (isBusy() || mode_ != ListMode::RoutePackage)
        return;
    SharedState& s = shared();
    const int row = firstSelectedRow(List1);
    if (row < 0 || !s.RouteFolders.contains(row) || !s.RouteNames.contains(row)) {
        exclaim(QStringLiteral("Select the route whose assets are to be packaged."));
        return;
    }
    const QString routeFolder = s.RouteFolders[row];
    if (!routes::IsUsableFolderName(routeFolder)) {
        exclaim(packaging::RouteNotPackagedMessage(routeFolder, RoutesXmlPath));
        return;
    }
    const QString packageName = packaging::RoutePackageName(s.RouteNames[row], routeFolder);

    packaging::RouteAssetOutcome outcome;
    {
        BusyScope busy(this);
        ui().setMousePointer(vb::vbHourglass);
        const bool ignore = ui().msgBox(QStringLiteral("Do you wish to ignore KUJU and RSDL assets in this package?"),
                                        vb::vbYesNo + vb::vbQuestion)
                            == vb::vbYes;
        File1->clear();
        File1->show();
        FileListProgress progress(File1);
        outcome = packaging::CollectRouteAssets(routeFolder, packageName, ignore, &progress);
        ui().setMousePointer(vb::vbDefault);
    }
    // Nothing was copied into a package that was refused or whose batch file never ran: no
    // offer to zip it.
    if (outcome.aborted || outcome.refused || !outcome.batchStarted)
        return;

    ui().doEvents();
    const QString packageFolder = platform::programFolder() + QLatin1Char('\\') + packageName;
    if (ui().msgBox(QStringLiteral("Your Route is now saved in ") + packageFolder
                        + QStringLiteral("\r\nDo you wish it to be automatically zipped up ready for distribution?"),
                    vb::vbYesNo + vb::vbInformation)
        == vb::vbYes)
        frmNewZip::openForPackage(packageName);
}
