// "Make English Only" of the asset list window: the selected rows go to the English-only edit
// (assets/EnglishOnly), which cuts every localised text of their blueprints down to its
// English entry and replaces each blueprint with a backup.

#include "assets/EnglishOnly.h"
#include "assets/AssetList.h"
#include "assets/frmAssets.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"

#include <QLabel>

#include <vector>

void frmAssets::mnuEnglish_Click()
{
    run("mnuEnglish_Click", [this] {
        const std::vector<assets::SelectedRow> rows = selectedAssetRows();
        const assets::PipelineHooks hooks = rowHooks(true);
        assets::MakeEnglishOnly(rows, shared().GamePath, hooks);
    });
}
