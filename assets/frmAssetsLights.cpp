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
            assets::LampKind::Head, selectedNamedRows(), shared().GamePath,
            [this](const QStringList& names, const QString& displayName) { showLampDialog<dlgHead>(this, names, displayName); },
            hooks);
    });
}

void frmAssets::mnuTail_Click()
{
    run("mnuTail_Click", [this] {
        const assets::PipelineHooks hooks = rowHooks(false);
        assets::RunLightsCommand(
            assets::LampKind::Tail, selectedNamedRows(), shared().GamePath,
            [this](const QStringList& names, const QString& displayName) { showLampDialog<dlgTail>(this, names, displayName); },
            hooks);
    });
}
