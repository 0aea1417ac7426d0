// The asset list's clone commands: "Clone selected Asset" copies the folder that holds a
// blueprint beside itself, "Clone Selected Default Asset" the folder above it beside that one;
// each copy is named in dlgNewName. The values are worked out in assets/AssetClone.
#include "assets/frmAssets.h"

#include "assets/AssetClone.h"
#include "assets/AssetList.h"
#include "assets/BlueprintPipeline.h"
#include "assets/dlgNewName.h"
#include "common/AnsiText.h"
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

// The copy's batch line names both folders.
QString unwritableFolderMessage(const QString& folder)
{
    return UnwritablePathMessage(folder) + kCrLf + QStringLiteral("Nothing has been copied.");
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

// Per row (through the edit pipeline): the blueprint is read, the copy named, its new text
// converted and checked, and only then the folder made, copied into, and the new blueprint
// placed. A failed step is reported and ends that row; "Cancel" ends the command with no
// closing message.
void frmAssets::cloneSelected(bool defaultAsset)
{
    run(defaultAsset ? "mnuCloneDefault_Click" : "mnuClone_Click", [this, defaultAsset] {
        const assets::CloneKind kind = defaultAsset ? assets::CloneKind::DefaultAsset : assets::CloneKind::Asset;
        assets::PipelineOptions options;
        options.busyPointer = false;
        options.deleteBlueprintPak = true;
        options.noTextMessage = noXmlMessage;
        const auto edit = [this, kind](const assets::RowPaths& paths, const QString& text) {
            assets::EditResult result;
            const assets::CloneSource source = assets::cloneSource(kind, paths.fullPath);
            shared().NewFileName = source.baseName;
            shared().NewItemName = vb::Trim(VsFg1->TextMatrix(paths.gridRow, assets::NameColumn));
            shared().NewFolderName = source.defaultDestination;
            {
                dlgNewName dialog(source.sourceFolder, this);
                ui().showModal(&dialog);
            }
            if (shared().NewFileName.isEmpty()) {
                result.endRun = true; // cancelled: rows done before stay done, no closing message
                return result;
            }
            const QString newFileName = shared().NewFileName;
            const assets::CloneTarget target = assets::cloneTarget(kind, source, shared().NewFolderName, newFileName);
            const QString unwritable = FirstUnwritablePath({source.sourceFolder, target.folder});
            if (!unwritable.isNull()) {
                result.message = unwritableFolderMessage(unwritable);
                return result;
            }
            assets::EditOutput out;
            out.text = assets::clonedBlueprintText(text, shared().NewItemName, source.oldFolderPair, target.newFolderPair);
            out.target = target.newBlueprint;
            out.placement = assets::Placement::ReplaceNoBackup;
            out.workName = newFileName + QLatin1Char('.');
            out.failedName = newFileName + QStringLiteral(".bin");
            result.outputs.push_back(out);
            const QString fullPath = paths.fullPath;
            result.beforePlacement = [source, target, fullPath]() -> QString {
                if (!FolderExists(target.folder) && !QDir().mkdir(platform::nativePath(target.folder)))
                    return folderNotMadeMessage(target.folder);
                platform::clearPathCache();
                if (!copyFolder(source.sourceFolder, target.folder))
                    return copyFailedMessage(source.sourceFolder, target.folder);
                // The dialog refuses the source folder as destination; the source blueprint is
                // never deleted all the same.
                const QString oldCopy = platform::nativePath(target.oldNameCopy);
                if (!assets::samePlace(target.oldNameCopy, fullPath) && QFile::exists(oldCopy)
                    && !QFile::remove(oldCopy))
                    return notRemovedMessage(target.oldNameCopy);
                platform::clearPathCache();
                return QString();
            };
            return result;
        };
        assets::RunBlueprintEdit(selectedAssetRows(), shared().GamePath, options, edit, rowHooks(false));
    });
}
