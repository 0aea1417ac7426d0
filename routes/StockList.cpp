#include "routes/StockList.h"

#include "routes/TagSearch.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QDir>

#include <algorithm>

namespace routes {

namespace {

constexpr QStringView kReferenceTag = u"<BlueprintID d:type";
constexpr QStringView kProviderTag = u"<Provider";
constexpr QStringView kProductTag = u"<Product";
const QString kLineEnd = QStringLiteral("\r\n");

// The text of the element whose start tag begins at at: from just past the next ">" to the
// next "<". Empty when either is missing.
QString elementText(QStringView text, qsizetype at)
{
    const qsizetype gt = text.indexOf(u'>', at);
    if (gt < 0)
        return QString();
    const qsizetype lt = text.indexOf(u'<', gt + 1);
    if (lt < 0)
        return QString();
    return text.mid(gt + 1, lt - gt - 1).toString();
}

} // namespace

std::function<void(const QString& gameFile, const QString& xml)>& HubFileInWork()
{
    static std::function<void(const QString&, const QString&)> hook;
    return hook;
}

QString ScenarioBinPath(const QString& routePath, const QString& scenarioFolder)
{
    return routePath + QStringLiteral("\\Scenarios\\") + scenarioFolder + QStringLiteral("\\Scenario.bin");
}

QString ScenarioWorkBase(const QString& scenarioBin)
{
    return TempFilesPath(SplitWorkFile(scenarioBin).WorkName);
}

ConversionResult ConvertScenarioCopy(const QString& scenarioBin, QString& xml)
{
    xml.clear();
    const QString workBase = ScenarioWorkBase(scenarioBin);
    EnsureTempFiles();
    if (!CopyFileOver(scenarioBin, workBase + QStringLiteral("bin")))
        return ConversionResult{false, QStringLiteral("The file ") + scenarioBin
                                           + QStringLiteral(" could not be copied to the work folder.")};
    const ConversionResult converted =
        RunSerz(workBase + QStringLiteral("bin"), serz::ToXml, workBase + QStringLiteral("xml"), platform::programFolder());
    ui().doEvents();
    if (!converted)
        return converted;
    try {
        ReadTextFile(workBase + QStringLiteral("xml"), xml);
    } catch (const VbError&) {
        xml.clear();
        return ConversionResult{false, QStringLiteral("The converted file ") + workBase
                                           + QStringLiteral("xml could not be read.")};
    }
    return ConversionResult{true, QString()};
}

void GetProviderProduct(QStringView text, qsizetype from, qsizetype pos, QString& provider, QString& product)
{
    provider.clear();
    product.clear();
    const qsizetype p = LastStartTag(text, kProviderTag, from, pos);
    if (p >= 0)
        provider = elementText(text.left(pos), p);
    const qsizetype q = LastStartTag(text, kProductTag, from, pos);
    if (q >= 0)
        product = elementText(text.left(pos), q);
}

QStringList StockReferences(const QString& scenarioXml)
{
    const QStringView text(scenarioXml);
    QStringList entries;
    qsizetype from = 0; // just past the reference before
    qsizetype pos = 0;
    for (;;) {
        pos = text.indexOf(kReferenceTag, pos);
        if (pos < 0)
            break;
        const qsizetype gt = text.indexOf(u'>', pos);
        if (gt < 0)
            break;
        const qsizetype lt = text.indexOf(u'<', gt + 1);
        if (lt < 0)
            break;
        QString provider, product;
        GetProviderProduct(text, from, pos, provider, product);
        entries.append(provider + QLatin1Char('\\') + product + QLatin1Char('\\')
                       + text.mid(gt + 1, lt - gt - 1).toString());
        from = pos = lt;
    }
    return entries;
}

void SortStockList(QStringList& entries)
{
    std::sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

void RemoveAdjacentDuplicates(QStringList& entries)
{
    if (entries.isEmpty())
        return;
    // The entry before the first counts as the empty text.
    qsizetype kept = 0;
    QString previous;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i] == previous)
            continue;
        previous = entries[i];
        entries[kept++] = entries[i];
    }
    entries.resize(kept);
}

QStringList StockList(const QString& scenarioXml)
{
    QStringList entries = StockReferences(scenarioXml);
    SortStockList(entries);
    RemoveAdjacentDuplicates(entries);
    return entries;
}

QString StockBlueprintPath(const QString& gamePath, const QString& entry)
{
    return gamePath + QStringLiteral("\\Assets\\") + entry;
}

QString StockBinPath(const QString& gamePath, const QString& entry)
{
    const QString blueprint = StockBlueprintPath(gamePath, entry);
    return blueprint.left(blueprint.size() - 3) + QStringLiteral("bin");
}

QString MissingStockReport(const QString& gamePath, const QStringList& entries)
{
    QString report;
    for (const QString& entry : entries) {
        const QString bin = StockBinPath(gamePath, entry);
        const QString blueprint = StockBlueprintPath(gamePath, entry);
        const Reach blueprintReach = ReachBelowAssets(gamePath, blueprint);
        const Reach binReach = ReachBelowAssets(gamePath, bin);
        if (blueprintReach == Reach::Outside || binReach == Reach::Outside) {
            report += bin + QStringLiteral(" lies outside the Assets folder and was not followed") + kLineEnd;
            continue;
        }
        // Behind a link that leads nowhere (a disk that is not mounted) both are missing.
        const auto found = [](const QString& path, Reach reach) { return reach == Reach::Below && FileExists(path); };
        if (!found(blueprint, blueprintReach) && !found(bin, binReach))
            report += bin + QStringLiteral(" is missing") + kLineEnd;
    }
    if (report.isEmpty())
        report = QStringLiteral("No Missing Rolling-Stock");
    return report;
}

QString PrintStockReport(const QString& gamePath, const QStringList& entries)
{
    QString report;
    for (const QString& entry : entries)
        report += StockBinPath(gamePath, entry) + kLineEnd;
    return report;
}

} // namespace routes
