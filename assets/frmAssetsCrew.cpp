// The crew and passenger commands of the asset list window: the selected rows with their Name
// cells go to the crew edit (assets/CrewPassengers).
#include "assets/frmAssets.h"

#include "assets/AssetList.h"
#include "assets/CrewPassengers.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"

#include <QLabel>

#include <vector>

void frmAssets::mnuAdd_Click()
{
    run("mnuAdd_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Passengers, selectedNamedRows(), shared().GamePath, hooks);
    });
}

void frmAssets::mnuAddDriver_Click()
{
    run("mnuAddDriver_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Driver, selectedNamedRows(), shared().GamePath, hooks);
    });
}

void frmAssets::mnuCond_Click()
{
    run("mnuCond_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Conductor, selectedNamedRows(), shared().GamePath, hooks);
    });
}
