// The asset list's child-entry commands: "Display Child Entries.", " Remove Selected Child
// Entries." and "Make Selected Stock Dead". The text work is in assets/ChildEntries.
#include "assets/frmAssets.h"

#include "assets/AssetList.h"
#include "assets/BlueprintPipeline.h"
#include "assets/ChildEntries.h"
#include "assets/dlgCoachName.h"
#include "common/FileProcs.h"
#include "common/FlexGridWidget.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/WindowPartsWidgets.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kOneItemOnly = QStringLiteral("You can only select one item at a time for this option.\r\n"
                                            "Only the first item will be shown");

} // namespace

void frmAssets::setUpChildEntries()
{
    Label3 = windowparts::makeNamed<QLabel>(Frame2, "Label3");
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    Command12->setEnabled(false); // until a display has read a blueprint
    auto* layout = new QVBoxLayout(Frame2);
    layout->addWidget(Label4);
    layout->addWidget(Label3);
    layout->addWidget(List1, 1);
    layout->addWidget(Command12);
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
}

void frmAssets::Command9_Click()
{
    run("Command9_Click", [this] {
        // The frame stands over the preview, which stays hidden while the frame shows: the
        // frame's own background is not painted, so the picture would show through it.
        Frame2->show();
        Picture1->hide();
        List1->clear();
        listedText_.clear();
        listed_ = assets::RowPaths();
        Command12->setEnabled(false);
        const QList<int> selected = VsFg1->selectedRowNumbers();
        if (selected.size() > 1)
            exclaim(kOneItemOnly);
        if (selected.isEmpty())
            return;
        const int row = selected.first();
        makeCurrent(row, assets::NameColumn);
        const QString name = VsFg1->TextMatrix(row, assets::NameColumn);
        Label3->setText(name);
        shared().NewInternalName = name;

        const assets::SelectedRow selectedRow{row, VsFg1->TextMatrix(row, assets::ProviderColumn),
                                              VsFg1->TextMatrix(row, assets::ProductColumn),
                                              VsFg1->TextMatrix(row, assets::PathColumn)};
        makeCurrent(row, assets::ProductColumn);
        if (!VsFg1->IsSelected(row) || selectedRow.product.trimmed().isEmpty())
            return;
        makeCurrent(row, assets::PathColumn); // the row's path is read from its first three cells
        assets::RowPaths paths;
        if (!assets::MakeRowPaths(selectedRow, shared().GamePath, paths))
            return;
        StatusPanel2->setText(paths.fullPath);
        shared().CurrentFileExt = paths.extension;
        shared().CurrentFile = paths.fullPath;
        listed_ = paths;
        if (!assets::ConvertToText(paths.fullPath, paths.workXml(), listedText_))
            return;
        List1->addItems(assets::childEntryNames(listedText_));
        Command12->setEnabled(true);
    });
}

void frmAssets::Command12_Click()
{
    if (listedText_.isEmpty())
        return; // nothing has been listed
    run("Command12_Click", [this] {
        QStringList names;
        for (int i = 0; i < List1->count(); ++i) {
            if (List1->item(i)->isSelected())
                names << List1->item(i)->text();
        }
        // The cuts start again from the blueprint as it was listed.
        assets::ChildCut cut = assets::cutChildEntries(listedText_, names);
        ui().doEvents();

        QString base = listed_.baseWithDot;
        if (base.endsWith(QLatin1Char('.')))
            base.chop(1);
        shared().NewItemName = base;
        shared().CoachNameCancelled = false;
        {
            dlgCoachName dialog(this);
            ui().showModal(&dialog);
        }
        if (shared().CoachNameCancelled) {
            shared().CoachNameCancelled = false;
            return;
        }

        const QString itemName = shared().NewItemName;
        assets::RenameBlueprint(cut.text, shared().NewInternalName);
        // Beside the listed blueprint; saving over that blueprint itself keeps it as a backup.
        assets::EditOutput out;
        out.text = cut.text;
        out.target = listed_.folder + itemName + QStringLiteral(".bin");
        out.placement = out.target.compare(listed_.fullPath, Qt::CaseInsensitive) == 0
            ? assets::Placement::ReplaceWithBackup
            : assets::Placement::ReplaceNoBackup;
        out.workName = itemName + QLatin1Char('.');
        out.failedName = itemName + QStringLiteral(".bin");
        assets::PipelineOptions options;
        options.busyPointer = false;
        options.deleteBlueprintPak = true;
        options.completionMessage = false;
        const assets::PipelineResult result = assets::RunBlueprintEdit(
            listed_, listedText_, shared().GamePath, options,
            [&out](const assets::RowPaths&, const QString&) { return assets::EditResult{{out}, QString(), false, {}}; });
        if (result.anyWritten())
            shared().CurrentFile = out.target;
    });
}

void frmAssets::mnuDead_Click()
{
    run("mnuDead_Click", [this] {
        const std::vector<assets::SelectedRow> rows = selectedAssetRows();
        // The display name of each row's blueprint, by its full path.
        QHash<QString, QString> names;
        for (const assets::SelectedRow& row : rows) {
            assets::RowPaths paths;
            if (assets::MakeRowPaths(row, shared().GamePath, paths))
                names.insert(paths.fullPath, VsFg1->TextMatrix(row.gridRow, assets::NameColumn));
        }
        assets::PipelineOptions options;
        options.deleteBlueprintPak = true;
        const assets::PipelineHooks hooks = rowHooks(false);
        const auto edit = [&names](const assets::RowPaths& row, const QString& xml) {
            assets::EditResult result;
            QString text = xml;
            const assets::DeadCut cut = assets::cutChildrenElement(text);
            if (cut != assets::DeadCut::Done) {
                result.message = assets::deadCutMessage(cut, row.fullPath);
                return result;
            }
            assets::RenameBlueprint(text, assets::deadItemName(names.value(row.fullPath)));
            QString base = row.baseWithDot;
            base.chop(1);
            const QString deadBase = assets::deadBaseName(base);
            assets::EditOutput out;
            out.text = text + QStringLiteral("\r\n");
            out.target = row.folder + deadBase + QStringLiteral(".bin");
            out.placement = assets::Placement::ReplaceNoBackup;
            out.workName = deadBase + QLatin1Char('.');
            out.failedName = deadBase + QStringLiteral(".bin");
            result.outputs.push_back(out);
            return result;
        };
        assets::RunBlueprintEdit(rows, shared().GamePath, options, edit, hooks);
    });
}
