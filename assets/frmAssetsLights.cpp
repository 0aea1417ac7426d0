// "Add head-lights" and "Add tail-lights" of the asset list window: the selected rows with
// their Name cells go to the lights command (assets/Lights), which shows dlgHead or dlgTail
// once through the callback given here.
#include "assets/frmAssets.h"

#include "assets/AssetList.h"
#include "assets/Lights.h"
#include "assets/dlgHead.h"
#include "assets/dlgTail.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"
#include "platform/Ui.h"

#include <QLabel>
#include <QListWidget>

#include <vector>

namespace {

std::vector<assets::CrewRow> lampRows(const std::vector<assets::SelectedRow>& selected, const FlexGridWidget* grid)
{
    std::vector<assets::CrewRow> rows;
    for (const assets::SelectedRow& row : selected)
        rows.push_back({row, grid->TextMatrix(row.gridRow, assets::NameColumn)});
    return rows;
}

// Loads the dialog (its own lists first), adds the templates, names the blueprint and shows it.
template <typename Dialog>
void showLampDialog(QWidget* parent, const QStringList& templateNames, const QString& displayName)
{
    Dialog dialog(parent);
    dialog.List1->addItems(templateNames);
    dialog.Label1->setText(displayName);
    ui().showModal(&dialog);
}

} // namespace

void frmAssets::mnuHead_Click()
{
    run("mnuHead_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunLightsCommand(
            assets::LampKind::Head, lampRows(selectedAssetRows(), VsFg1), shared().GamePath,
            [this](const QStringList& names, const QString& displayName) { showLampDialog<dlgHead>(this, names, displayName); },
            hooks);
    });
}

void frmAssets::mnuTail_Click()
{
    run("mnuTail_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunLightsCommand(
            assets::LampKind::Tail, lampRows(selectedAssetRows(), VsFg1), shared().GamePath,
            [this](const QStringList& names, const QString& displayName) { showLampDialog<dlgTail>(this, names, displayName); },
            hooks);
    });
}
