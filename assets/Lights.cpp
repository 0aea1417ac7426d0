#include "assets/Lights.h"

#include "common/GameTextConstants.h"
#include "common/InputFields.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace assets {

namespace {

using gametext::kCrLf;
using gametext::kChildren;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Column 1 of a lamp row divided at its first two backslashes: provider, product and the
// blueprint's path inside the product.
std::array<QString, 3> splitBlueprint(const QString& blueprint)
{
    const qsizetype first = blueprint.indexOf(QLatin1Char('\\'));
    if (first < 0)
        return {blueprint, QString(), QString()};
    const qsizetype second = blueprint.indexOf(QLatin1Char('\\'), first + 1);
    if (second < 0)
        return {blueprint.left(first), blueprint.mid(first + 1), QString()};
    return {blueprint.left(first), blueprint.mid(first + 1, second - first - 1), blueprint.mid(second + 1)};
}

const TrainType kTrainTypes[TrainTypeCount] = {
    {"Express Passenger", 2, 4, "_XP-Pass"},
    {"Stopping Passenger", 1, 0, "_Stop-Pass"},
    {"Express Perishable", 1, 2, "_XP-Perishable"},
    {"Express Freight", 1, 4, "_XP-Freight"},
    {"Thru Freight", 1, 3, "_Thru-Freight"},
    {"Light Engine", 3, 0, "_Light-Engine"},
    {"Parcels", 2, 3, "_Parcel"},
    {"Thru Mineral", 2, 0, "_Thru-Mineral"},
    {"Stopping Freight", 4, 0, "_Stop-Freight"},
};

} // namespace

std::vector<LampRecord> ReadLampRecords(const QString& text)
{
    std::vector<LampRecord> records;
    InputFieldReader reader(text);
    while (!reader.atEnd()) {
        LampRecord record;
        for (QString& field : record) {
            bool quoted = false;
            const std::optional<QString> next = reader.next(quoted);
            if (!next)
                break;
            field = *next;
        }
        records.push_back(record);
    }
    return records;
}

bool IsTailRecord(const LampRecord& record)
{
    return record[6].compare(QLatin1String("0"), Qt::CaseInsensitive) == 0;
}

LampList LoadLampTable(const std::vector<LampRecord>& records, LampKind kind, const QString& gamePath,
                       SharedState& state)
{
    LampList list;
    for (const LampRecord& record : records) {
        // Every lamp the list names must be in the game, also those of the other kind; a
        // name that leads out of the Assets folder is not looked for.
        const QString lamp = AssetsPathFromText(gamePath, record[1]);
        if (vb::Trim(record[1]).isEmpty() || lamp.isNull() || !FileExists(lamp)) {
            list.complete = false;
            list.missing = record[1];
            return list;
        }
        if (IsTailRecord(record) != (kind == LampKind::Tail))
            continue;
        LampRecord row = record;
        row[0] = vb::Trim(row[0]);
        row[1] = vb::Trim(row[1]);
        row[1] = row[1].left(std::max<qsizetype>(0, row[1].size() - 3)) + QStringLiteral("xml");
        const qsizetype n = list.names.size() + 1;
        state.LampTable.growRowsFor(n, 50);
        for (int k = 0; k < 8; ++k)
            state.LampTable(n, k) = row[k];
        list.names << row[0];
    }
    return list;
}

const TrainType& trainType(int n)
{
    if (n < 1 || n > TrainTypeCount)
        throw VbError(9);
    return kTrainTypes[n - 1];
}

void SetTrainTypes(SharedState& state)
{
    for (int n = 1; n <= TrainTypeCount; ++n) {
        const TrainType& type = kTrainTypes[n - 1];
        state.TrainTypeNames[n - 1] = QString::fromLatin1(type.name);
        state.LampSlots(n, 1) = type.slot1;
        state.LampSlots(n, 2) = type.slot2;
    }
}

std::array<QString, 3> HeadLampPosition(const LampRecord& row, int position)
{
    const QString zero = QStringLiteral("0.0000");
    switch (position) {
    case 1:
        return {zero, row[5], row[6]};
    case 2:
        return {row[2], row[3], row[4]};
    case 3:
        return {zero, row[3], row[7] == zero ? row[4] : row[7]};
    case 4:
        return {QStringLiteral("-") + vb::Trim(row[2]), row[3], row[4]};
    default:
        throw VbError(5);
    }
}

QString FillLampBlock(const QString& code, const LampRecord& row, LampKind kind, int position)
{
    const bool head = kind == LampKind::Head;
    const std::array<QString, 3> where = head ? HeadLampPosition(row, position)
                                              : std::array<QString, 3>{row[2], row[3], row[4]};
    const std::array<QString, 3> blueprint = splitBlueprint(row[1]);
    const struct {
        QString placeholder;
        QString value;
    } replacements[] = {
        {QStringLiteral("HeadLamp"), head ? QStringLiteral("HeadLamp ") + QString::number(position) : QStringLiteral("TailLamp")},
        {QStringLiteral("444444"), blueprint[0]},
        {QStringLiteral("555555"), blueprint[1]},
        {QStringLiteral("666666"), blueprint[2]},
        {QStringLiteral("777777"), head ? QStringLiteral("1.0000") : QStringLiteral("-1.0000")},
        {QStringLiteral("111111"), where[0]},
        {QStringLiteral("222222"), where[1]},
        {QStringLiteral("333333"), where[2]},
    };
    QString out;
    out.reserve(code.size() + 256);
    const QStringView text(code);
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        for (const auto& r : replacements) {
            if (text.mid(i).startsWith(r.placeholder, Qt::CaseInsensitive)) {
                out += r.value;
                i += r.placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text.at(i++);
    }
    return out;
}

bool InsertLampBlocks(const QString& text, const QStringList& blocks, QString& result)
{
    const qsizetype tag = text.indexOf(kChildren, 0, Qt::CaseInsensitive);
    if (tag < 0)
        return false;
    result = text;
    for (const QString& block : blocks)
        result.insert(tag + kChildren.size(), block);
    return true;
}

QString LitCopyPath(const RowPaths& row, const QString& suffix)
{
    return row.folder + row.baseWithDot.chopped(1) + suffix + QStringLiteral(".bin");
}

QString LampAddOnFolder()
{
    return platform::programFolder() + QStringLiteral("\\LumavethLights\\Assets");
}

bool EnsureLampAddOn(QString* error)
{
    const QString folder = LampAddOnFolder();
    const QString native = platform::nativePath(folder);
    if (!QFileInfo(native).isDir()) {
        setError(error, QStringLiteral("The lamp add-on folder ") + folder + QStringLiteral(" is missing."));
        return false;
    }
    const auto filesBelow = [&native] {
        QStringList files;
        platform::walkTree(native, [&files](const platform::FolderEntry& entry, const QString&) {
            if (entry.isFile() && entry.nameIsText)
                files << entry.path;
            return true;
        });
        return files;
    };
    QStringList sources;
    for (const QString& file : filesBelow()) {
        if (file.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            sources << file;
    }
    sources.sort();
    // Every source converted and checked before any is removed: a failure leaves them all, so
    // the next need starts again.
    for (const QString& source : sources) {
        const ConversionResult made = RunSerz(source, serz::ToBin, source.chopped(4), platform::programFolder());
        if (!made) {
            setError(error, QStringLiteral("Serz.exe could not convert the lamp blueprint ") + source
                                + (made.error.isEmpty() ? QString() : kCrLf + made.error));
            return false;
        }
    }
    for (const QString& source : sources) {
        if (!QFile::remove(source)) {
            platform::clearPathCache();
            setError(error, QStringLiteral("The lamp blueprint source ") + source + QStringLiteral(" could not be removed."));
            return false;
        }
    }
    platform::clearPathCache();
    if (filesBelow().isEmpty()) {
        setError(error, QStringLiteral("The lamp add-on folder ") + folder + QStringLiteral(" holds no lamp blueprints."));
        return false;
    }
    return true;
}

bool InstallLampAddOn(LampKind kind, const QString& gamePath, QString* error)
{
    if (FileExists(gamePath + (kind == LampKind::Head ? HeadMarker : TailMarker)))
        return true;
    if (!EnsureLampAddOn(error))
        return false;
    const QString target = gamePath + QStringLiteral("\\Assets");
    try {
        CopyFolder(LampAddOnFolder(), target, true);
    } catch (const VbError& e) {
        platform::clearPathCache();
        setError(error, QStringLiteral("The lamp add-on could not be copied into ") + target + QStringLiteral(": ")
                            + e.description);
        return false;
    }
    platform::clearPathCache();
    return true;
}

QString LightFilesMissingMessage(const QString& lampBlueprint)
{
    return LightFilesMissing + kCrLf + lampBlueprint;
}

QString LampTemplateMissingMessage(const QString& templatePath)
{
    return QStringLiteral("The lamp template ") + templatePath + QStringLiteral(" is missing or empty.") + kCrLf
        + QStringLiteral("No rolling stock has been changed.");
}

QString LampNoChildrenMessage(const QString& fullPath)
{
    return fullPath + kCrLf + QStringLiteral("has no child entries; no lamps have been added to it.");
}

QString LampAddOnFailedMessage(const QString& reason)
{
    return QStringLiteral("The lamp add-on could not be installed:") + kCrLf + reason + kCrLf
        + QStringLiteral("No rolling stock has been changed.");
}

PipelineResult RunLightsCommand(LampKind kind, const std::vector<CrewRow>& rows, const QString& gamePath,
                                const LampDialog& dialog, const PipelineHooks& hooks)
{
    // The templates first: without them nothing, not even the add-on, goes into the game.
    QString code;
    QString list;
    for (const auto& [path, text] : {std::pair{TemplatePath(LampCodeTemplate), &code},
                                     std::pair{TemplatePath(LightsTemplate), &list}}) {
        if (!ReadWholeTextFile(path, *text)) {
            exclaim(LampTemplateMissingMessage(path));
            PipelineResult ended;
            ended.ended = true;
            return ended;
        }
    }
    QString error;
    if (!InstallLampAddOn(kind, gamePath, &error)) {
        exclaim(LampAddOnFailedMessage(error));
        PipelineResult ended;
        ended.ended = true;
        return ended;
    }

    std::vector<SelectedRow> selected;
    QHash<QString, QString> names; // full path -> display name
    SplitCrewRows(rows, gamePath, selected, names);

    // The choices of the one dialog of the run serve every row.
    bool chosen = false;
    QStringList blocks;
    QString suffix;
    const auto choose = [&](const QString& displayName, EditResult& result) {
        const LampList lamps = LoadLampTable(ReadLampRecords(list), kind, gamePath, shared());
        if (!lamps.complete) {
            result.message = LightFilesMissingMessage(lamps.missing);
            return false;
        }
        // A dialog that returns without an answer (its close box) is a cancel.
        shared().LampDialogChoice = 0;
        dialog(lamps.names, displayName);
        const int count = int(lamps.names.size());
        LampRecord row;
        if (kind == LampKind::Head) {
            const int choice = shared().HeadTemplateChoice;
            const int type = shared().LampDialogChoice;
            if (choice < 1 || choice > count || type < 1 || type > TrainTypeCount)
                return false;
            for (int k = 0; k < 8; ++k)
                row[k] = shared().LampTable(choice, k);
            for (int slot = 1; slot <= 2; ++slot) {
                const int position = shared().LampSlots(type, slot);
                if (position != 0)
                    blocks << FillLampBlock(code, row, LampKind::Head, position);
            }
            suffix = QString::fromLatin1(trainType(type).suffix);
        } else {
            const int choice = shared().LampDialogChoice;
            if (choice < 1 || choice > count)
                return false;
            for (int k = 0; k < 8; ++k)
                row[k] = shared().LampTable(choice, k);
            blocks << FillLampBlock(code, row, LampKind::Tail);
            suffix = TailSuffix;
        }
        return true;
    };

    return RunBlueprintEdit(
        selected, gamePath, StockEditOptions(),
        [&](const RowPaths& row, const QString& text) {
            EditResult result;
            const QString displayName = names.value(row.fullPath);
            if (!chosen) {
                if (!choose(displayName, result)) {
                    result.endRun = true;
                    return result;
                }
                chosen = true;
            }
            QString edited;
            if (!InsertLampBlocks(text, blocks, edited)) {
                result.message = LampNoChildrenMessage(row.fullPath);
                return result;
            }
            shared().NewItemName = displayName + suffix;
            RenameBlueprint(edited, shared().NewItemName);
            EditOutput output;
            output.text = edited + kCrLf;
            output.target = LitCopyPath(row, suffix);
            output.placement = Placement::ReplaceNoBackup;
            output.workName = row.baseWithDot.chopped(1) + suffix + QLatin1Char('.');
            output.failedName = output.workName + QStringLiteral("bin");
            result.outputs.push_back(output);
            return result;
        },
        hooks);
}

} // namespace assets
