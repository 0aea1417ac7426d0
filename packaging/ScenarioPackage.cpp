#include "packaging/ScenarioPackage.h"

#include "assets/Lights.h"
#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "packaging/PackageCommon.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

namespace packaging {

namespace {

constexpr Qt::CaseSensitivity kAnyCase = Qt::CaseInsensitive;
using gametext::kCrLf;

// The numeric value of the text after the blank at `blank` up to the next "<", as a 16-bit
// number; raises VbError when there is no "<" or the value does not fit.
qint16 lampNumber(const QString& text, qsizetype blank)
{
    const qsizetype lt = text.indexOf(QLatin1Char('<'), blank + 1);
    if (lt < 0)
        throw VbError(5);
    return vb::CInt(vb::Val(text.mid(blank + 1, lt - blank - 1)));
}

// The 13th, 14th and 15th values of the 4x4 matrix whose "<Element>" is the first one at or
// after from (0-based). after receives the 1-based position of the last value's "</e".
bool readMatrix(const QString& text, qsizetype from, QString& x, QString& y, QString& z, qsizetype& after)
{
    const qsizetype element = text.indexOf(QStringLiteral("<Element>"), from, kAnyCase);
    if (element < 0)
        return false;
    qsizetype at = element + 5;
    qsizetype start = -1;
    for (int k = 0; k < 13; ++k) {
        start = text.indexOf(QStringLiteral("<e"), at, kAnyCase);
        if (start < 0)
            return false;
        at = start + 1;
    }
    QString* values[3] = {&x, &y, &z};
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            start = text.indexOf(QStringLiteral("<e"), start + 1, kAnyCase);
            if (start < 0)
                return false;
        }
        qsizetype pos = start + 1;
        GetElement(text, pos, QStringLiteral("string"), *values[k]);
        if (pos == 0)
            return false;
        after = pos;
    }
    return true;
}

// The lamp blueprint named after the first "Provider" at or after from (0-based).
bool readLampBlueprint(const QString& text, qsizetype from, LampDetail& lamp)
{
    const qsizetype q = text.indexOf(QStringLiteral("Provider"), from, kAnyCase);
    if (q < 0)
        return false;
    GetProviderProduct(q + 1 + 10, lamp.provider, lamp.product, text);
    qsizetype pos = q + 1;
    tags::routeList::GetDetail(text, pos, QStringLiteral("BlueprintID"), lamp.blueprintId);
    return pos > 0;
}

bool readLamps(const QString& text, LampDetail& lamp)
{
    bool haveHead = false;
    const qsizetype h = text.indexOf(QStringLiteral("HeadLamp"), 0, kAnyCase);
    if (h >= 0) {
        if (!readLampBlueprint(text, h, lamp))
            return false;
        const qsizetype blank = text.indexOf(QLatin1Char(' '), h);
        if (blank < 0)
            return false;
        lamp.headLamp1 = lampNumber(text, blank);
        qsizetype after = 0;
        if (!readMatrix(text, blank, lamp.x1, lamp.y1, lamp.z1, after))
            return false;
        haveHead = true;
        const qsizetype second = text.indexOf(QStringLiteral(">Headlamp"), after - 1, kAnyCase);
        if (second >= 0) {
            const qsizetype blank2 = text.indexOf(QLatin1Char(' '), second);
            if (blank2 < 0)
                return false;
            lamp.headLamp2 = lampNumber(text, blank2);
            return readMatrix(text, blank2, lamp.x2, lamp.y2, lamp.z2, after);
        }
    }
    const qsizetype t = text.indexOf(QStringLiteral("TailLamp"), 0, kAnyCase);
    if (t < 0)
        return haveHead;
    LampDetail tail;
    if (!readLampBlueprint(text, t, tail))
        return false;
    qsizetype after = 0;
    if (!readMatrix(text, t, tail.x1, tail.y1, tail.z1, after))
        return false;
    tail.x2 = tail.y2 = tail.z2 = QStringLiteral("0");
    lamp = tail;
    return true;
}

const QStringList& variantSuffixes()
{
    static const QStringList list{QStringLiteral("_MT"), QStringLiteral("_DO"), QStringLiteral("_PO"),
                                  QStringLiteral("_ND"), QStringLiteral("_DF"), QStringLiteral("_DR"),
                                  QStringLiteral("_DEAD")};
    return list;
}

const QStringList& lampSuffixes()
{
    static const QStringList list{QStringLiteral("_XP-Pass"),      QStringLiteral("_Stop-Pass"),
                                  QStringLiteral("_XP-Perishable"), QStringLiteral("_XP-Freight"),
                                  QStringLiteral("_Thru-Freight"),  QStringLiteral("_Light-Engine"),
                                  QStringLiteral("_Parcel"),        QStringLiteral("_Thru-Mineral"),
                                  QStringLiteral("_Stop-Freight"),  QStringLiteral("_Rear")};
    return list;
}

QString afterLastBackslash(const QString& text)
{
    return text.mid(text.lastIndexOf(QLatin1Char('\\')) + 1);
}

// Converts the game file into the XML work file and reads its text; false with error set
// when either step fails.
bool readAsXml(const QString& gameFile, const QString& workXml, QString& text, QString& error)
{
    const ConversionResult converted = RunSerz(gameFile, serz::ToXml, workXml, platform::programFolder());
    if (!converted) {
        error = converted.error;
        return false;
    }
    try {
        ReadTextFile(workXml, text);
    } catch (const VbError& e) {
        error = e.description;
        return false;
    }
    return true;
}

} // namespace

std::function<void(const QString&)>& HubFileNameBox()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<bool(QString* error)>& LampAddOnInstaller()
{
    static std::function<bool(QString*)> hook = [](QString* error) { return assets::EnsureLampAddOn(error); };
    return hook;
}

QString VehicleSuffix(const QString& path)
{
    const qsizetype at = path.lastIndexOf(QLatin1Char('_'));
    return at < 0 ? QString() : path.mid(at);
}

bool IsVariantSuffix(const QString& suffix)
{
    return !suffix.isEmpty() && variantSuffixes().contains(suffix, kAnyCase);
}

bool IsLampSuffix(const QString& suffix)
{
    return !suffix.isEmpty() && lampSuffixes().contains(suffix, kAnyCase);
}

void GetElement(const QString& text, qsizetype& pos, const QString& valueType, QString& result)
{
    if (pos < 1) {
        pos = 0;
        return;
    }
    const qsizetype found = text.indexOf(QStringLiteral("=\"") + valueType, pos - 1, kAnyCase);
    const qsizetype gt = found < 0 ? -1 : text.indexOf(QLatin1Char('>'), found);
    const qsizetype end = gt < 0 ? -1 : text.indexOf(QStringLiteral("</e"), gt + 1, kAnyCase);
    if (end < 0) {
        pos = 0;
        return;
    }
    result = text.mid(gt + 1, end - gt - 1);
    pos = end + 1;
}

void GetProviderProduct(qsizetype pos, QString& provider, QString& product, const QString& text)
{
    if (pos < 1 || text.isEmpty())
        return;
    const qsizetype from = qMin(pos - 1, text.size() - 1);
    const qsizetype at = text.lastIndexOf(QStringLiteral("<Provider"), from, kAnyCase);
    if (at < 0)
        return;
    const auto valueAfter = [&text](qsizetype tag, QString& value) {
        const qsizetype gt = text.indexOf(QLatin1Char('>'), tag);
        const qsizetype lt = gt < 0 ? -1 : text.indexOf(QLatin1Char('<'), gt + 1);
        if (lt >= 0)
            value = text.mid(gt + 1, lt - gt - 1);
    };
    valueAfter(at, provider);
    const qsizetype productAt = text.indexOf(QStringLiteral("<Product"), at, kAnyCase);
    if (productAt >= 0)
        valueAfter(productAt, product);
}

bool GetLampDetail(const QString& blueprintText, const QString& suffix, LampDetail& lamp)
{
    if (!IsLampSuffix(suffix))
        return false;
    LampDetail read;
    bool ok = false;
    try {
        ok = readLamps(blueprintText, read);
    } catch (const VbError&) {
        ok = false;
    }
    lamp = ok ? read : LampDetail{};
    return true;
}

QString StockRow(const QString& vehicle, const LampDetail& lamp)
{
    const QChar comma(QLatin1Char(','));
    return vehicle + comma + QString::number(lamp.headLamp1) + comma + QString::number(lamp.headLamp2) + comma
           + lamp.x1 + comma + lamp.y1 + comma + lamp.z1 + comma + lamp.x2 + comma + lamp.y2 + comma + lamp.z2
           + comma + lamp.provider + comma + lamp.product + comma + lamp.blueprintId;
}

StockScan ScanStockText(const QString& scenarioXml, const BlueprintReader& read,
                        const std::function<void(const QString&)>& progress)
{
    StockScan scan;
    const QString tag = QStringLiteral("<BlueprintID d:type");
    qsizetype p = scenarioXml.indexOf(tag, 0, kAnyCase);
    while (p >= 0) {
        const qsizetype gt = scenarioXml.indexOf(QLatin1Char('>'), p);
        const qsizetype lt = gt < 0 ? -1 : scenarioXml.indexOf(QLatin1Char('<'), gt + 1);
        if (lt < 0)
            break;
        const QString id = scenarioXml.mid(gt + 1, lt - gt - 1);
        const QString path = id.left(qMax<qsizetype>(0, id.size() - 4));
        const QString name = afterLastBackslash(path);
        if (progress)
            progress(name);
        QString provider;
        QString product;
        GetProviderProduct(p + 1, provider, product, scenarioXml);
        const QString suffix = VehicleSuffix(path);
        LampDetail lamp;
        if (!IsVariantSuffix(suffix)) {
            const QString blueprint = read ? read(provider, product, path, name) : QString();
            if (GetLampDetail(blueprint, suffix, lamp))
                scan.lampAddOnNeeded = true;
        }
        scan.rows.append(StockRow(provider + QLatin1Char('\\') + product + QLatin1Char('\\') + id, lamp));
        p = scenarioXml.indexOf(tag, p + 1, kAnyCase);
    }
    return scan;
}

ScenarioStock ListScenarioStock(const QString& scenarioFolder, const std::function<void(const QString&)>& progress)
{
    ScenarioStock stock;
    SharedState& s = shared();
    stock.scenarioFile = scenarioFolder + QStringLiteral("\\Scenario.bin");
    if (HubFileNameBox())
        HubFileNameBox()(stock.scenarioFile);
    s.SkipOpenDialog = false;

    EnsureTempFiles();
    QString text;
    if (!readAsXml(stock.scenarioFile, TempFilesPath(QStringLiteral("Scenario.xml")), text, stock.error))
        return stock;
    stock.converted = true;
    s.ScanFileText = text;

    // Each blueprint is converted once per scan, however many vehicles use it. A first walk
    // over the text lists the blueprints in the order the scan reads them, so that the pool
    // converts them ahead of it.
    const QString gamePath = s.GamePath;
    // Null for a blueprint whose names lead out of the Assets folder: nothing is read for it.
    const auto blueprintFile = [&gamePath](const QString& provider, const QString& product, const QString& path) {
        return AssetsPathFromText(gamePath, provider + QLatin1Char('\\') + product + QLatin1Char('\\') + path
                                                + QStringLiteral(".bin"));
    };
    SerzPool pool;
    QHash<QString, qsizetype> tickets; // lower-case blueprint path -> its conversion (-1: none)
    ScanStockText(text, [&](const QString& provider, const QString& product, const QString& path,
                            const QString& name) {
        const QString file = blueprintFile(provider, product, path);
        const QString key = file.toLower();
        if (!tickets.contains(key))
            tickets.insert(key, name.isEmpty() || file.isNull() ? -1 : pool.add({file, name + QStringLiteral(".xml")}));
        return QString();
    });

    QHash<QString, QString> cache;
    const BlueprintReader read = [&](const QString& provider, const QString& product, const QString& path,
                                     const QString&) {
        const QString key = blueprintFile(provider, product, path).toLower();
        const auto found = cache.constFind(key);
        if (found != cache.constEnd())
            return found.value();
        QString xml;
        const qsizetype ticket = tickets.value(key, -1);
        if (ticket >= 0) {
            const SerzOutcome& out = pool.take(ticket);
            if (out.result.ok)
                ReadWholeTextFile(out.output, xml);
            pool.release(ticket);
        }
        cache.insert(key, xml);
        return xml;
    };
    stock.scan = ScanStockText(text, read, progress);
    return stock;
}

QStringList RemoveDuplicateRows(const QStringList& sortedRows)
{
    QStringList out;
    out.reserve(sortedRows.size());
    for (qsizetype k = 0; k < sortedRows.size(); ++k) {
        if (k == 0 || sortedRows[k].compare(sortedRows[k - 1], kAnyCase) != 0)
            out.append(sortedRows[k]);
    }
    return out;
}

QString ScenarioCopyLine(const QString& scenarioFolder, const QString& programFolder, const QString& packageFolder,
                         const QString& targetPart)
{
    const QChar quote(QLatin1Char('"'));
    return QStringLiteral("call Xcopy ") + quote + scenarioFolder + QStringLiteral("\\*.bin") + quote
           + QLatin1Char(' ') + quote + programFolder + QLatin1Char('\\') + packageFolder
           + QStringLiteral("\\Rail Simulator\\") + targetPart + QStringLiteral("\\*.*") + quote
           + QStringLiteral(" /I /C /S") + kCrLf;
}

QString LampAddOnCopyLine(const QString& programFolder, const QString& packageFolder)
{
    const QChar quote(QLatin1Char('"'));
    return QStringLiteral("xcopy ") + quote + programFolder + QStringLiteral("\\LumavethLights\\*.*") + quote
           + QLatin1Char(' ') + quote + programFolder + QLatin1Char('\\') + packageFolder
           + QStringLiteral("\\Rail Simulator\\*.*") + quote + QStringLiteral(" /I /C /S") + kCrLf;
}

QString ScenarioYyyText(const QString& routeLine, const QStringList& rows)
{
    QString text = routeLine + kCrLf;
    for (const QString& row : rows)
        text += afterLastBackslash(row) + kCrLf;
    return text;
}

QString ScenarioQqqText(const QStringList& stockRows)
{
    QString text;
    for (const QString& row : stockRows)
        text += row + kCrLf;
    return text + kCrLf;
}

QString RouteIndexPath(const QString& gamePath, const QString& relEntry)
{
    QString rel = relEntry;
    const QString top = QStringLiteral("Rail Simulator\\");
    if (rel.startsWith(top, kAnyCase))
        rel = rel.mid(top.size());
    const qsizetype at = rel.lastIndexOf(QStringLiteral("\\Scenarios"), -1, kAnyCase);
    if (at < 0)
        return QString();
    return gamePath + QLatin1Char('\\') + rel.left(at + 1) + QStringLiteral("Scenarios.bin");
}

QString ScenarioZzzText(const QString& indexXml, const QStringList& rows, QStringList* missing)
{
    QString text;
    for (const QString& row : rows) {
        const QString folder = afterLastBackslash(row);
        const PropertiesBlock block = folder.isEmpty()
                                          ? PropertiesBlock{}
                                          : FindPropertiesBlock(indexXml, QStringLiteral("cScenarioProperties"), folder);
        if (!block.found()) {
            if (missing)
                missing->append(row);
            continue;
        }
        text += indexXml.mid(block.start, block.end - block.start) + kCrLf;
    }
    return text;
}

PropertiesResult ExtractScenarioProperties(const QString& relEntry, const QStringList& rows)
{
    PropertiesResult result;
    result.indexPath = RouteIndexPath(shared().GamePath, relEntry);
    if (result.indexPath.isEmpty()) {
        result.indexPath = relEntry;
        result.error = VbError::standardDescription(76);
        return result;
    }
    EnsureTempFiles();
    QString text;
    if (!readAsXml(result.indexPath, TempFilesPath(QStringLiteral("Scenario.xml"), QStringLiteral("Tempfiles")), text,
                   result.error))
        return result;
    try {
        WritePackageFile(TempFilesPath(QStringLiteral("Scenario.zzz"), QStringLiteral("Tempfiles")),
                         ScenarioZzzText(text, rows, &result.missing));
    } catch (const VbError& e) {
        result.error = e.description;
        return result;
    }
    result.ok = true;
    return result;
}

void RunPackageBatch(const QString& batchText)
{
    if (!EnsureTempFiles())
        throw VbError(76);
    WritePackageFile(TempFilesPath(QStringLiteral("do_read.bat")), batchText + kCrLf);
    QDir::setCurrent(platform::nativePath(TempFilesFolder()));
    if (ShellAndWait(QStringLiteral("do_read.bat"), true, 1) == 0)
        throw VbError(53);
}

void CopyInstaller(const QString& packageFolderPath)
{
    const InstallerCopy installer = CopyInstallerTo(packageFolderPath + QStringLiteral("\\AssetSetup.exe"));
    if (installer.error != 0)
        throw VbError(installer.error);
}

void WritePackageFile(const QString& path, const QString& text)
{
    const QString native = platform::nativePath(path);
    QDir().mkpath(QFileInfo(native).absolutePath());
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(text, &fits);
    if (!fits) // never a "?" in place of a letter
        throw VbError(75, UnwritableTextMessage(path, text));
    QSaveFile file(native);
    if (!file.open(QIODevice::WriteOnly))
        throw VbError(75);
    if (file.write(bytes) != bytes.size() || !platform::commitWhole(file))
        throw VbError(75);
}

QString packageSavedQuestion(const QString& what, const QString& packagePath)
{
    return QStringLiteral("Your ") + what + QStringLiteral(" are now saved in ") + packagePath + kCrLf
           + QStringLiteral("Do you wish them to be automatically zipped up ready for distribution?");
}

QString scenarioNotConvertedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The scenario file ") + path + QStringLiteral(" could not be converted: ") + reason
           + kCrLf + QStringLiteral("Its stock is not listed.");
}

QString indexNotConvertedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The route's scenario list ") + path + QStringLiteral(" could not be converted: ")
           + reason + kCrLf + QStringLiteral("The package was not processed.");
}

QString propertiesMissingMessage(const QStringList& rows)
{
    return QStringLiteral("These scenarios have no entry in the route's scenario list and are left out of Scenario.zzz:")
           + kCrLf + rows.join(kCrLf);
}

QString noScenarioSelectedMessage()
{
    return QStringLiteral("Select a scenario to add to the package.");
}

QString otherRouteMessage()
{
    return QStringLiteral("This package holds scenarios of another route; process it first or start a new package.");
}

QString alreadyInPackageMessage()
{
    return QStringLiteral("This scenario is already in the package.");
}

QString emptyPackageMessage()
{
    return QStringLiteral("Add something to the package first.");
}

QString unsafePathMessage(const QString& path)
{
    if (!platform::fitsAnsi(path))
        return UnwritablePathMessage(path);
    return QStringLiteral("This path cannot be written into the package's copy batch: ") + path;
}

} // namespace packaging
