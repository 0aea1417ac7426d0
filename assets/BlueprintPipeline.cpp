#include "assets/BlueprintPipeline.h"

#include "common/AssetPath.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>


#include <optional>

namespace assets {

namespace tw = tags::assetWindow;

namespace {

using gametext::kCrLf;

struct WorkFiles {
    QString xml;
    QString bin;
};

WorkFiles workFilesOf(const RowPaths& row, const EditOutput& output)
{
    if (output.workName.isEmpty())
        return {row.workXml(), row.workBin()};
    const QString base = TempFilesPath(output.workName);
    return {base + QStringLiteral("xml"), base + QStringLiteral("bin")};
}

// An output put in place: its game file, the backup made of it ("" for none), and whether
// there was no file there before.
struct Placed {
    QString target;
    QString backup;
    bool wasNew = false;
};

// Undoes a placement: the backup goes back to the game file's name (replacing the new file
// in one step), or a file that was not there before is removed. A file replaced without a
// backup cannot be given back.
bool undoPlacement(const Placed& placed)
{
    const QString native = platform::nativePath(placed.target);
    if (!placed.backup.isEmpty()) {
        const bool moved = platform::renameFile(platform::nativePath(placed.backup), native,
                                                platform::RenameMode::ReplaceExisting);
        platform::clearPathCache();
        return moved;
    }
    if (placed.wasNew) {
        const bool removed = QFile::remove(native);
        platform::clearPathCache();
        return removed;
    }
    return false;
}

} // namespace

QString ProductFolderOf(const QString& file, const QString& gamePath, const QString& fallback)
{
    QString provider, product, rest;
    if (!SplitAssetPath(file, gamePath, provider, product, rest))
        return fallback;
    return gamePath + QStringLiteral("\\Assets\\") + provider + QLatin1Char('\\') + product;
}

void RemoveIfThere(const QString& path)
{
    const QString native = platform::nativePath(path);
    if (QFile::exists(native))
        QFile::remove(native);
    platform::clearPathCache();
}

QString TemplatePath(const QString& fileName)
{
    return platform::programFolder() + QStringLiteral("\\Templates\\") + fileName;
}

bool MakeRowPaths(const SelectedRow& row, const QString& gamePath, RowPaths& paths)
{
    paths = RowPaths();
    const QString provider = vb::Trim(row.provider);
    const QString product = vb::Trim(row.product);
    const QString path = vb::Trim(row.path);
    if (provider.isEmpty() && product.isEmpty() && path.isEmpty())
        return false;
    paths.gridRow = row.gridRow;
    paths.rowPath = provider + QLatin1Char('\\') + product + QLatin1Char('\\') + path;
    paths.fullPath = gamePath + QStringLiteral("\\Assets\\") + paths.rowPath;
    paths.productFolder = gamePath + QStringLiteral("\\Assets\\") + provider + QLatin1Char('\\') + product;
    const qsizetype slash = paths.fullPath.lastIndexOf(QLatin1Char('\\'));
    paths.folder = paths.fullPath.left(slash + 1);
    const QString name = paths.fullPath.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        paths.extension = name.mid(dot + 1);
        paths.baseWithDot = name.left(dot + 1);
    } else {
        paths.baseWithDot = name + QLatin1Char('.');
    }
    paths.workBase = TempFilesPath(paths.baseWithDot);
    return true;
}

bool PipelineResult::anyWritten() const
{
    for (const RowResult& r : rows) {
        if (r.outcome == RowOutcome::Written)
            return true;
    }
    return false;
}

bool ConvertToText(const QString& gameFile, const QString& workXml, QString& text)
{
    text.clear();
    ui().doEvents();
    EnsureTempFiles();
    if (!RunSerz(gameFile, serz::ToXml, workXml, platform::programFolder()))
        return false;
    ui().doEvents();
    try {
        ReadTextFile(workXml, text);
    } catch (const VbError&) {
        text.clear();
    }
    return !text.isEmpty();
}

namespace {

// Busy pointer and confirmation; false when the user cancelled.
bool startRun(const PipelineOptions& options, std::optional<BusyPointer>& busy, PipelineResult& result)
{
    if (options.busyPointer)
        busy.emplace();
    if (!options.confirmText.isEmpty()
        && ui().msgBox(options.confirmText, vb::vbOKCancel + vb::vbExclamation) != vb::vbOK) {
        result.cancelled = true;
        return false;
    }
    return true;
}

// One row whose text is in hand: the edit's change, each output converted back and checked,
// then (after the edit's own preparation) every output placed, or none, and (with cleanUp)
// the work files removed. Returns the edit's request to end the run.
bool editRow(const RowPaths& paths, const QString& text, const QString& gamePath, const PipelineOptions& options,
             const EditFunction& edit, RowResult& done, QStringList& writtenProducts)
{
    const EditResult change = edit(paths, text);
    if (!change.message.isEmpty())
        exclaim(change.message);

    // Every output converted and checked before any game file is touched.
    std::vector<WorkFiles> work;
    bool converted = true;
    for (const EditOutput& output : change.outputs) {
        const WorkFiles files = workFilesOf(paths, output);
        ui().doEvents();
        // WriteTextFile reports its own failure.
        if (!WriteTextFile(files.xml, output.text)) {
            converted = false;
            break;
        }
        if (!RunSerz(files.xml, serz::ToBin, files.bin, platform::programFolder())) {
            exclaim(FailedConversionMessage(output.failedName.isEmpty() ? paths.baseWithDot + QStringLiteral("bin")
                                                                        : output.failedName));
            converted = false;
            break;
        }
        work.push_back(files);
    }
    if (!converted) {
        done.outcome = RowOutcome::Failed;
        return change.endRun;
    }
    if (change.outputs.empty())
        return change.endRun;
    if (change.beforePlacement) {
        const QString refused = change.beforePlacement();
        ui().doEvents();
        if (!refused.isEmpty()) {
            exclaim(refused);
            done.outcome = RowOutcome::Failed;
            return change.endRun;
        }
    }

    bool placed = true;
    std::vector<Placed> placedFiles;
    QStringList rowProducts;
    for (size_t i = 0; i < change.outputs.size() && placed; ++i) {
        const EditOutput& output = change.outputs[i];
        const QString target = output.target.isEmpty() ? paths.fullPath : output.target;
        const bool existed = QFileInfo::exists(platform::nativePath(target));
        QString backup;
        const ConversionResult r = output.placement == Placement::ReplaceWithBackup
            ? ReplaceGameFile(work[i].bin, target, QString(), &backup)
            : PlaceNewGameFile(work[i].bin, target);
        ui().doEvents();
        if (!r) {
            exclaim(r.error);
            placed = false;
            // The outputs already placed go back, so the row's files stay as they were.
            for (auto it = placedFiles.rbegin(); it != placedFiles.rend(); ++it) {
                if (undoPlacement(*it))
                    done.backups.removeAll(it->backup);
            }
            break;
        }
        placedFiles.push_back({target, backup, !existed});
        if (!backup.isEmpty())
            done.backups << backup;
        const QString product = output.target.isEmpty() ? paths.productFolder
                                                        : ProductFolderOf(target, gamePath, paths.productFolder);
        if (!rowProducts.contains(product, Qt::CaseInsensitive))
            rowProducts << product;
    }
    // Only a row whose files all stay in place has written to its products.
    if (placed) {
        for (const QString& product : rowProducts) {
            if (!writtenProducts.contains(product, Qt::CaseInsensitive))
                writtenProducts << product;
        }
    }
    done.outcome = placed ? RowOutcome::Written : RowOutcome::Failed;
    if (placed && options.cleanUp) {
        RemoveIfThere(paths.workXml());
        RemoveIfThere(paths.workBin());
        for (const WorkFiles& files : work) {
            RemoveIfThere(files.xml);
            RemoveIfThere(files.bin);
        }
    }
    return change.endRun;
}

// The end of the run: the "BluePrints.pak" of every product that was written to is deleted, so
// that the game rebuilds its blueprint cache, and, unless the run was ended early, the
// completion message is shown.
void finishRun(const PipelineOptions& options, const QStringList& writtenProducts, PipelineResult& result)
{
    if (!options.deleteBlueprintPak || writtenProducts.isEmpty())
        return;
    for (const QString& product : writtenProducts) {
        const QString pak = product + QStringLiteral("\\BluePrints.pak");
        const QString native = platform::nativePath(pak);
        if (QFile::exists(native) && QFile::remove(native))
            result.deletedPaks << pak;
    }
    platform::clearPathCache();
    if (!result.ended && options.completionMessage)
        ui().msgBox(ModifiedMessage, vb::vbOKOnly + vb::vbInformation);
}

} // namespace

PipelineOptions ProductEditOptions(const QString& confirmText)
{
    PipelineOptions options;
    options.confirmText = confirmText;
    options.productCheck = true;
    options.emptyRowMessage = false;
    return options;
}

PipelineOptions StockEditOptions(const QString& confirmText)
{
    PipelineOptions options;
    options.confirmText = confirmText;
    options.productCheck = false;
    options.emptyRowMessage = true;
    options.deleteBlueprintPak = true;
    options.busyPointer = false;
    return options;
}

PipelineResult RunBlueprintEdit(const std::vector<SelectedRow>& rows, const QString& gamePath,
                                const PipelineOptions& options, const EditFunction& edit,
                                const PipelineHooks& hooks)
{
    PipelineResult result;
    std::optional<BusyPointer> busy;
    if (!startRun(options, busy, result))
        return result;

    QStringList writtenProducts;
    for (const SelectedRow& row : rows) {
        if (hooks.stop && *hooks.stop) {
            result.ended = true;
            break;
        }
        RowResult& done = result.rows.emplace_back();
        done.gridRow = row.gridRow;
        if (row.gridRow == -1)
            continue;
        if (hooks.currentCell)
            hooks.currentCell(row.gridRow, 1);
        if (hooks.isSelected && !hooks.isSelected(row.gridRow))
            continue;
        if (options.productCheck && vb::Trim(row.product).isEmpty())
            continue;
        // The row's path is read from its cells 0, 1 and 2, the last one staying current.
        if (hooks.currentCell)
            hooks.currentCell(row.gridRow, 2);
        RowPaths paths;
        if (!MakeRowPaths(row, gamePath, paths)) {
            if (!options.emptyRowMessage)
                continue;
            exclaim(NoRollingStockMessage);
            result.ended = true;
            break;
        }
        done.fullPath = paths.fullPath;
        // The edits that check the selection keep the extension in work, the others the file.
        if (options.productCheck)
            shared().CurrentFileExt = paths.extension;
        else
            shared().CurrentFile = paths.fullPath;
        if (hooks.showPath)
            hooks.showPath(paths.fullPath);

        // The text is this row's own: nothing of an earlier row can be written back here.
        QString text;
        if (!ConvertToText(paths.fullPath, paths.workXml(), text)) {
            done.outcome = RowOutcome::NoText;
            if (options.noTextMessage)
                exclaim(options.noTextMessage(paths.fullPath));
            continue;
        }
        if (editRow(paths, text, gamePath, options, edit, done, writtenProducts)) {
            result.ended = true;
            break;
        }
    }
    finishRun(options, writtenProducts, result);
    return result;
}

PipelineResult RunBlueprintEdit(const RowPaths& row, const QString& text, const QString& gamePath,
                                const PipelineOptions& options, const EditFunction& edit)
{
    PipelineResult result;
    std::optional<BusyPointer> busy;
    if (!startRun(options, busy, result))
        return result;
    QStringList writtenProducts;
    RowResult& done = result.rows.emplace_back();
    done.fullPath = row.fullPath;
    if (editRow(row, text, gamePath, options, edit, done, writtenProducts))
        result.ended = true;
    finishRun(options, writtenProducts, result);
    return result;
}

void RenameBlueprint(QString& text, const QString& name)
{
    tw::PutLocalisedTextChain(text, tags::escapeBoxText(name));
}

EditResult UseInScenariosEdit(const RowPaths&, const QString& text)
{
    EditResult result;
    const qsizetype found = vb::InStr(1, text, QStringLiteral("<ValidInScenarios"), vb::Compare::Text);
    if (found == 0)
        return result;
    QString value;
    try {
        qsizetype pos = found;
        tw::GetDetail(text, pos, QStringLiteral("ValidInScenarios"), value);
    } catch (const VbError&) {
        return result; // an element that never closes is not changed
    }
    if (value.compare(QLatin1String("eFalse"), Qt::CaseInsensitive) != 0)
        return result;
    EditOutput output;
    output.text = text;
    // The element just read, not a later one.
    qsizetype pos = found;
    tw::PutDetail(output.text, pos, QStringLiteral("ValidInScenarios"), QStringLiteral("eTrue"));
    if (pos != 0)
        result.outputs.push_back(output);
    return result;
}

PipelineResult UseInScenarios(const std::vector<SelectedRow>& rows, const QString& gamePath,
                              const PipelineHooks& hooks)
{
    return RunBlueprintEdit(rows, gamePath, ProductEditOptions(UseInScenariosWarning()), UseInScenariosEdit, hooks);
}

QString UseInScenariosWarning()
{
    return QStringLiteral("This will allow SELECTED scenery items to be used in Scenarios") + kCrLf
        + QStringLiteral("If you do not have a back-up of the folder you are about to alter, ") + kCrLf
        + QStringLiteral("I suggest you make one before carrying out this procedure!");
}

QString FailedConversionMessage(const QString& failedName)
{
    return QStringLiteral("Serz.exe could not convert file ") + failedName + kCrLf
        + QStringLiteral("This is a limitation of Serz.exe and out of my control.");
}

} // namespace assets
