// "Change LODs" of the asset list window and the limits of its Min LOD and Max LOD boxes; the
// work lies in assets/LodChange.

#include "assets/AssetList.h"
#include "assets/LodChange.h"
#include "assets/frmAssets.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"

#include <QLabel>
#include <QLineEdit>

#include <vector>

void frmAssets::mnuLod_Click()
{
    run("mnuLod_Click", [this] {
        const std::vector<assets::SelectedRow> rows = selectedAssetRows();
        assets::LodHooks hooks;
        hooks.isSelected = [this](int row) { return VsFg1->IsSelected(row); };
        hooks.showGeometry = [this](const QString& file) { StatusPanel2->setText(file); };
        hooks.currentCell = [this](int row, int col) { makeCurrent(row, col); };
        // The boxes are read once, before the first row.
        assets::ChangeLods(rows, shared().GamePath, Text3->text(), Text4->text(), hooks);
    });
}

void frmAssets::Text3_Change()
{
    if (const std::optional<QString> limited = assets::LimitLodBox(Text3->text(), assets::MinLodLimit))
        Text3->setText(*limited);
}

void frmAssets::Text4_Change()
{
    if (const std::optional<QString> limited = assets::LimitLodBox(Text4->text(), assets::MaxLodLimit))
        Text4->setText(*limited);
}
