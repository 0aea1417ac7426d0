// "Tools": the scenario, asset and loco-folder windows, the marker tools and the blueprint
// designer, the developer folder and its sub-folders, the route description and loading
// picture, the check of the routes file, the texture viewer and the text page's "Show Image".

#include "hub/frmEditor.h"

#include "assets/frmAssets.h"
#include "assets/frmFolderLoco.h"
#include "hub/DeveloperSetup.h"
#include "hub/LoadingPicture.h"
#include "hub/RoutesXmlCheck.h"
#include "hub/frmGFX.h"
#include "platform/Ui.h"
#include "routes/dlgSelRoute.h"
#include "routes/frmBlue.h"
#include "routes/frmDesc.h"
#include "routes/frmFolder.h"
#include "routes/frmMarkers.h"
#include "scenarios/frmShowRoutes.h"

#include <QLineEdit>

// mnuDelRoute_Click and the packagers' launchers: frmEditorLaunchers.cpp.

void frmEditor::mnuTgpcdx_Click()
{
    if (!isBusy())
        frmGFX::showViewer();
}

// "Show Image": the viewer on the texture in the file-name box.
void frmEditor::Command7_Click()
{
    frmGFX::showImage(Text1->text());
}

void frmEditor::mnuCheckXML_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    CheckRoutesXmlFile();
}

void frmEditor::mnuZelvorn_Click()
{
    if (isBusy())
        return;
    frmShowRoutes::showBrowser(this);
}

void frmEditor::mnuLists_Click()
{
    if (!isBusy())
        frmAssets::showWindow(this);
}

void frmEditor::mnuLoco_Click()
{
    if (isBusy())
        return;
    const int answer = ui().msgBox(QStringLiteral("This option assumes that you have set up your Developer and Addon folders")
                                       + QStringLiteral("\r\nPlease confirm"),
                                   vb::vbYesNo + vb::vbExclamation, Ui::programTitle());
    if (answer == vb::vbYes)
        frmFolderLoco::showWindow(this);
}

hub::ToolWindows frmEditor::toolWindows()
{
    return {[this] { frmMarkers::showModalWindow(this); }, [this] { frmFolder::showModalWindow(this); },
            [this] { frmBlue::showDesigner(this); }};
}

void frmEditor::mnuMultiMarker_Click()
{
    if (!isBusy())
        hub::launchMarkerTool(1, toolWindows());
}

void frmEditor::mnuDCSVnew_Click()
{
    if (!isBusy())
        hub::launchMarkerTool(2, toolWindows());
}

void frmEditor::mnuMarkN_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(1, toolWindows());
}

void frmEditor::mnuMarkS_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(2, toolWindows());
}

void frmEditor::mnuRoute_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(3, toolWindows());
}

void frmEditor::mnuDeveloper_Click()
{
    if (!isBusy())
        hub::SetUpDeveloperFolder();
}

void frmEditor::mnuDevFolders_Click()
{
    if (!isBusy())
        hub::launchDeveloperFolders(toolWindows());
}

void frmEditor::mnuRouteInfo_Click()
{
    if (!isBusy())
        frmDesc::addRouteDescription();
}

void frmEditor::mnuMap_Click()
{
    if (!isBusy())
        hub::AddRouteLoadingPicture([](const QStringList& names) { return dlgSelRoute::choose(names); });
}
