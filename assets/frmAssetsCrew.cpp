// The crew and passenger commands of the asset list window: the selected rows with their Name
// cells go to the crew edit (assets/CrewPassengers).
#include "assets/frmAssets.h"

#include "assets/AssetList.h"
#include "assets/CrewPassengers.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"

#include <QLabel>

#include <vector>

namespace {

std::vector<assets::CrewRow> crewRows(const std::vector<assets::SelectedRow>& selected, const FlexGridWidget* grid)
{
    std::vector<assets::CrewRow> rows;
    for (const assets::SelectedRow& row : selected)
        rows.push_back({row, grid->TextMatrix(row.gridRow, assets::NameColumn)});
    return rows;
}

} // namespace

void frmAssets::mnuAdd_Click()
{
    run("mnuAdd_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Passengers, crewRows(selectedAssetRows(), VsFg1), shared().GamePath, hooks);
    });
}

void frmAssets::mnuAddDriver_Click()
{
    run("mnuAddDriver_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Driver, crewRows(selectedAssetRows(), VsFg1), shared().GamePath, hooks);
    });
}

void frmAssets::mnuCond_Click()
{
    run("mnuCond_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunCrewCommand(assets::CrewCommand::Conductor, crewRows(selectedAssetRows(), VsFg1), shared().GamePath, hooks);
    });
}
