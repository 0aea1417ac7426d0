// The asset list's clone commands: "Clone selected Asset" copies the folder that holds a
// blueprint beside itself, "Clone Selected Default Asset" the folder above it beside that one;
// each copy is named in dlgNewName. The values are worked out in assets/AssetClone.
#include "assets/frmAssets.h"

#include "assets/AssetClone.h"
#include "assets/AssetList.h"
#include "assets/BlueprintPipeline.h"
#include "assets/dlgNewName.h"
#include "common/AssetPath.h"
#include "common/FileProcs.h"
#include "common/FlexGridWidget.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QLabel>

namespace {

const QString kCrLf = QStringLiteral("\r\n");


QString noXmlMessage(const QString& blueprint)
{
    return QStringLiteral("Serz.exe could not convert ") + blueprint + QStringLiteral(" to XML.") + kCrLf
        + QStringLiteral("It has not been cloned.");
}

QString folderNotMadeMessage(const QString& folder)
{
    return QStringLiteral("The folder ") + folder + QStringLiteral(" could not be created.") + kCrLf
        + QStringLiteral("Nothing has been copied.");
}

QString copyFailedMessage(const QString& source, const QString& folder)
{
    return QStringLiteral("The files of ") + source + QStringLiteral(" could not be copied to ") + folder
        + QLatin1Char('.') + kCrLf + QStringLiteral("No new blueprint has been placed there.");
}

QString notRemovedMessage(const QString& file)
{
    return QStringLiteral("The copy ") + file + QStringLiteral(" could not be deleted.") + kCrLf
        + QStringLiteral("No new blueprint has been placed beside it.");
}

// The product folder below "Assets" that a file lies in; fallback when it lies elsewhere.
QString productFolderOf(const QString& file, const QString& fallback)
{
    QString provider, product, rest;
    if (!SplitAssetPath(file, shared().GamePath, provider, product, rest))
        return fallback;
    return shared().GamePath + QStringLiteral("\\Assets\\") + provider + QLatin1Char('\\') + product;
}

// Copies the source folder into the destination with "do_clone.bat" run from TempFiles.
bool copyFolder(const QString& sourceFolder, const QString& destination)
{
    const QString batch = TempFilesPath(QStringLiteral("do_clone.bat"));
    if (!EnsureTempFiles() || !WriteTextFile(batch, assets::cloneBatchLine(sourceFolder, destination)))
        return false;
    QDir::setCurrent(platform::nativePath(TempFilesFolder()));
    const qint64 started = ShellAndWait(QStringLiteral("do_clone.bat"), true, 0);
    const int status = lastExitStatus();
    ui().doEvents();
    return started != 0 && status == 0;
}

} // namespace

void frmAssets::mnuClone_Click()
{
    cloneSelected(false);
}

void frmAssets::mnuCloneDefault_Click()
{
    cloneSelected(true);
}

// Per row: the blueprint is read, the copy named, its new text converted and checked, and
// only then the folder made, copied into, and the new blueprint placed. A failed step is
// reported and ends that row; "Cancel" ends the command with no closing message.
void frmAssets::cloneSelected(bool defaultAsset)
{
    run(defaultAsset ? "mnuCloneDefault_Click" : "mnuClone_Click", [this, defaultAsset] {
        const assets::CloneKind kind = defaultAsset ? assets::CloneKind::DefaultAsset : assets::CloneKind::Asset;
        QStringList writtenProducts;
        for (int gridRow : VsFg1->selectedRowNumbers()) {
            if (gridRow < 0)
                continue;
            const assets::SelectedRow row{gridRow, VsFg1->TextMatrix(gridRow, assets::ProviderColumn),
                                          VsFg1->TextMatrix(gridRow, assets::ProductColumn),
                                          VsFg1->TextMatrix(gridRow, assets::PathColumn)};
            assets::RowPaths paths;
            if (!assets::MakeRowPaths(row, shared().GamePath, paths)) {
                exclaim(assets::NoRollingStockMessage);
                return;
            }
            StatusPanel2->setText(paths.fullPath);
            shared().CurrentFile = paths.fullPath;
            const assets::CloneSource source = assets::cloneSource(kind, paths.fullPath);
            QString text;
            if (!assets::ConvertToText(paths.fullPath, paths.workXml(), text)) {
                exclaim(noXmlMessage(paths.fullPath));
                continue;
            }

            shared().NewFileName = source.baseName;
            shared().NewItemName = vb::Trim(VsFg1->TextMatrix(gridRow, assets::NameColumn));
            shared().NewFolderName = source.defaultDestination;
            {
                dlgNewName dialog(source.sourceFolder, this);
                ui().showModal(&dialog);
            }
            if (shared().NewFileName.isEmpty())
                return; // cancelled: rows done before stay done, no closing message

            const assets::CloneTarget target =
                assets::cloneTarget(kind, source, shared().NewFolderName, shared().NewFileName);
            const QString newText = assets::clonedBlueprintText(text, shared().NewItemName, source.oldFolderPair,
                                                                target.newFolderPair);
            const QString workXml = TempFilesPath(shared().NewFileName + QStringLiteral(".xml"));
            const QString workBin = TempFilesPath(shared().NewFileName + QStringLiteral(".bin"));
            if (!WriteTextFile(workXml, newText))
                continue; // its own message has been shown
            if (!RunSerz(workXml, serz::ToBin, workBin, platform::programFolder())) {
                exclaim(assets::FailedConversionMessage(shared().NewFileName + QStringLiteral(".bin")));
                continue;
            }
            ui().doEvents();

            if (!FolderExists(target.folder) && !QDir().mkdir(platform::nativePath(target.folder))) {
                exclaim(folderNotMadeMessage(target.folder));
                continue;
            }
            if (!copyFolder(source.sourceFolder, target.folder)) {
                exclaim(copyFailedMessage(source.sourceFolder, target.folder));
                continue;
            }
            // The dialog refuses the source folder as destination; the source blueprint is
            // never deleted all the same.
            const QString oldCopy = platform::nativePath(target.oldNameCopy);
            if (target.oldNameCopy.compare(paths.fullPath, Qt::CaseInsensitive) != 0 && QFile::exists(oldCopy)
                && !QFile::remove(oldCopy)) {
                exclaim(notRemovedMessage(target.oldNameCopy));
                continue;
            }
            const ConversionResult placed = PlaceNewGameFile(workBin, target.newBlueprint);
            ui().doEvents();
            if (!placed) {
                exclaim(placed.error);
                continue;
            }
            const QString product = productFolderOf(target.newBlueprint, productFolderOf(paths.fullPath, QString()));
            if (!product.isEmpty() && !writtenProducts.contains(product, Qt::CaseInsensitive))
                writtenProducts << product;
        }
        if (writtenProducts.isEmpty())
            return;
        for (const QString& product : writtenProducts) {
            const QString pak = platform::nativePath(product + QStringLiteral("\\BluePrints.pak"));
            if (QFile::exists(pak))
                QFile::remove(pak);
        }
        ui().msgBox(assets::ModifiedMessage, vb::vbOKOnly + vb::vbInformation, Ui::programTitle());
    });
}
