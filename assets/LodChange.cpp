#include "assets/LodChange.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/GameTextConstants.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <map>

namespace assets {

namespace {

using gametext::kCrLf;
const QString kLodOpen = QStringLiteral("<LOD>");
const QString kLodClose = QStringLiteral("</LOD>");
const QString kGeometryExt = QStringLiteral(".GeoPcDx");

} // namespace

std::optional<GeometryLookup> GetGeometryPath(const QString& blueprintXml, const QString& gamePath)
{
    const qsizetype tag = blueprintXml.indexOf(QLatin1String("<GeometryID"), 0, Qt::CaseInsensitive);
    if (tag < 0)
        return std::nullopt;
    const qsizetype gt = blueprintXml.indexOf(QLatin1Char('>'), tag);
    if (gt < 0)
        return std::nullopt;
    const qsizetype lt = blueprintXml.indexOf(QLatin1Char('<'), gt + 1);
    if (lt < 0)
        return std::nullopt;
    const QString raw = blueprintXml.mid(gt + 1, lt - gt - 1);

    GeometryLookup found;
    found.rawId = raw;
    found.geometryId = raw;
    const qsizetype open = raw.indexOf(QLatin1Char('['));
    if (open >= 0) {
        const qsizetype close = raw.indexOf(QLatin1Char(']'), open + 1);
        if (close >= 0) {
            found.folderPrefix = raw.left(open);
            found.workName = raw.mid(close + 1);
            found.geometryId = found.folderPrefix + found.workName;
        }
    }
    // Behind a link that leads nowhere (a disk that is not mounted) the geometry is missing.
    found.geometryPath = AssetsPathOrMissing(gamePath, found.geometryId + kGeometryExt);
    // The work files are named after the ID's own text: they too must stay in their folder.
    const QString workBin = TempFilesPath(found.workName + QStringLiteral(".bin"));
    const QString workXml = TempFilesPath(found.workName + QStringLiteral(".xml"));
    if (LiesBelow(TempFilesFolder(), workBin) && LiesBelow(TempFilesFolder(), workXml)) {
        found.workBin = workBin;
        found.workXml = workXml;
    }
    return found;
}

QString RefusedReferenceMessage(const QString& gameFile, const QString& reference)
{
    return gameFile + kCrLf + QStringLiteral("names ") + reference
        + QStringLiteral(", which leads out of the folder it must lie in.") + kCrLf
        + QStringLiteral("Nothing has been read or written for it.");
}

std::optional<QString> LimitLodBox(const QString& text, int limit)
{
    double value = 0;
    try {
        value = vb::Val(text);
    } catch (const VbError&) {
        // Too large to read: over the limit unless it is negative.
        if (vb::Trim(text).startsWith(QLatin1Char('-')))
            return std::nullopt;
        return QString::number(limit);
    }
    if (value > limit)
        return QString::number(limit);
    return std::nullopt;
}

int CountLodBlocks(const QString& xml)
{
    int count = 0;
    for (qsizetype at = xml.indexOf(kLodOpen, 0, Qt::CaseInsensitive); at >= 0;
         at = xml.indexOf(kLodOpen, at + 1, Qt::CaseInsensitive))
        ++count;
    return count;
}

std::vector<LodValue> ReadLodBlock(const QString& xml, qsizetype blockStart, qsizetype blockEnd)
{
    std::vector<LodValue> values;
    qsizetype from = blockStart;
    while (true) {
        const qsizetype open = xml.indexOf(QLatin1String("<e"), from, Qt::CaseInsensitive);
        if (open < 0 || open >= blockEnd)
            break;
        const qsizetype gt = xml.indexOf(QLatin1Char('>'), open);
        if (gt < 0 || gt >= blockEnd)
            break;
        const qsizetype close = xml.indexOf(QLatin1String("</e"), gt + 1, Qt::CaseInsensitive);
        if (close < 0 || close >= blockEnd)
            break;
        values.push_back({gt + 1, close, xml.mid(gt + 1, close - gt - 1)});
        from = close + 1;
    }
    return values;
}

QString FormatLod(double value)
{
    return vb::Format(value, QStringLiteral("####.0000"));
}

QStringList SpreadLodValues(int count, bool severalBlocks, double minValue, double maxValue)
{
    const int n = std::min(count, LodSlots);
    if (n <= 0)
        return {};
    std::vector<double> numbers;
    if (n == 1) {
        numbers.push_back(severalBlocks ? minValue : maxValue / 2);
    } else {
        // Computed in doubles: the same results as 16-bit arithmetic wherever that fits.
        const double step = vb::Round((maxValue - minValue) / (n - 1));
        numbers.push_back(minValue);
        for (int i = 2; i <= n - 1; ++i)
            numbers.push_back(minValue + (step * (i - 1)) / 2);
        numbers.push_back(maxValue);
    }
    QStringList out;
    for (double v : numbers) {
        if (!std::isfinite(v))
            return {};
        try {
            out << FormatLod(v);
        } catch (const VbError&) {
            return {};
        }
    }
    return out;
}

QString RewriteLods(const QString& xml, double minValue, double maxValue)
{
    const bool severalBlocks = CountLodBlocks(xml) > 1;
    QString out;
    out.reserve(xml.size() + 64);
    qsizetype copied = 0;
    qsizetype start = xml.indexOf(kLodOpen, 0, Qt::CaseInsensitive);
    while (start >= 0) {
        const qsizetype end = xml.indexOf(kLodClose, start + kLodOpen.size(), Qt::CaseInsensitive);
        if (end < 0)
            break; // a block that never closes ends the rewrite
        const std::vector<LodValue> values = ReadLodBlock(xml, start, end);
        const QStringList spread = SpreadLodValues(int(std::min<size_t>(values.size(), LodSlots)), severalBlocks,
                                                   minValue, maxValue);
        for (qsizetype i = 0; i < spread.size(); ++i) {
            out += QStringView(xml).mid(copied, values[size_t(i)].valueStart - copied);
            out += spread[i];
            copied = values[size_t(i)].valueEnd;
        }
        start = xml.indexOf(kLodOpen, end + kLodClose.size(), Qt::CaseInsensitive);
    }
    out += QStringView(xml).mid(copied);
    return out;
}

QString ChangeLodsWarning()
{
    return QStringLiteral("Changing a large number of LODs can cause your route to run too slow.") + kCrLf
        + QStringLiteral("If you do not have a back-up of the folder you are about to alter, I suggest") + kCrLf
        + QStringLiteral("you make one before carrying out this procedure!");
}

PipelineResult ChangeLods(const std::vector<SelectedRow>& rows, const QString& gamePath, const QString& minText,
                          const QString& maxText, const LodHooks& hooks)
{
    PipelineResult result;
    BusyPointer busy;
    if (ui().msgBox(ChangeLodsWarning(), vb::vbOKCancel + vb::vbExclamation) != vb::vbOK) {
        result.cancelled = true;
        return result;
    }
    if (minText.isEmpty() || maxText.isEmpty()) {
        exclaim(EmptyLodBoxMessage);
        result.ended = true;
        return result;
    }
    // Read once, before any row: a text too large to read stops here, with nothing changed.
    const double minValue = vb::Val(minText);
    const double maxValue = vb::Val(maxText);

    // The geometry work files of each row that reached its geometry, by the row's full path.
    struct GeometryWork {
        QString xml;
        QString bin;
    };
    std::map<QString, GeometryWork> work;

    PipelineOptions options = ProductEditOptions();
    options.busyPointer = false;
    PipelineHooks pipelineHooks;
    pipelineHooks.isSelected = hooks.isSelected;
    pipelineHooks.stop = hooks.stop;
    pipelineHooks.currentCell = hooks.currentCell;

    const auto edit = [&](const RowPaths& row, const QString& blueprintText) -> EditResult {
        EditResult change;
        const std::optional<GeometryLookup> geometry = GetGeometryPath(blueprintText, gamePath);
        if (!geometry)
            return change;
        if (hooks.showGeometry)
            hooks.showGeometry(geometry->geometryId + kGeometryExt);
        if (!geometry->usable()) {
            change.message = RefusedReferenceMessage(row.fullPath, geometry->rawId);
            return change;
        }
        if (!FileExists(geometry->geometryPath))
            return change;

        const QString workBase = geometry->workName + QLatin1Char('.');
        const QString workBin = geometry->workBin;
        const QString workXml = geometry->workXml;
        const QString failedName = row.baseWithDot + QStringLiteral("GeoPcDx");
        EnsureTempFiles();
        RemoveIfThere(workBin);
        QFile::copy(platform::nativePath(geometry->geometryPath), platform::nativePath(workBin));
        platform::clearPathCache();
        ui().doEvents();
        work[row.fullPath] = {workXml, workBin};
        QString geometryText;
        // Never the blueprint's text in the geometry's place.
        if (!ConvertToText(workBin, workXml, geometryText)) {
            change.message = FailedConversionMessage(failedName);
            return change;
        }
        EditOutput output;
        output.text = RewriteLods(geometryText, minValue, maxValue);
        output.target = geometry->geometryPath;
        output.placement = Placement::ReplaceWithBackup;
        output.workName = workBase;
        output.failedName = failedName;
        change.outputs.push_back(output);
        return change;
    };
    result = RunBlueprintEdit(rows, gamePath, options, edit, pipelineHooks);

    // The work files of a written geometry go; those of a failed one stay (for a look at
    // what serz.exe was given), unless a later row used the same names and was written.
    std::map<QString, bool> lastWritten;
    std::vector<QString> order;
    for (const RowResult& r : result.rows) {
        const auto found = work.find(r.fullPath);
        if (found == work.end() || r.outcome == RowOutcome::PassedOver || r.outcome == RowOutcome::NoText)
            continue;
        const bool written = r.outcome == RowOutcome::Written;
        for (const QString& file : {found->second.xml, found->second.bin}) {
            const QString key = file.toLower();
            if (!lastWritten.count(key))
                order.push_back(file);
            lastWritten[key] = written;
        }
    }
    for (const QString& file : order) {
        if (lastWritten[file.toLower()])
            RemoveIfThere(file);
    }
    platform::clearPathCache();
    return result;
}

} // namespace assets
