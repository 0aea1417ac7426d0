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
        assets::PipelineHooks hooks;
        hooks.isSelected = [this](int row) { return VsFg1->IsSelected(row); };
        hooks.showPath = [this](const QString& fullPath) { StatusPanel2->setText(fullPath); };
        assets::MakeEnglishOnly(rows, shared().GamePath, hooks);
    });
}
