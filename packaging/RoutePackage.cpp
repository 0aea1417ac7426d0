#include "packaging/RoutePackage.h"

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
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"
#include "routes/RouteScan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <vector>

namespace packaging {

namespace {

using gametext::kCrLf;
const QString kQuote = QStringLiteral("\"");
const QString kRouteSetupFile = QStringLiteral("Route_Setup.xxx");
const QString kInstaller = QStringLiteral("RouteSetup.exe");
const QString kBatchFile = QStringLiteral("Do_Run.bat");
const QString kRouteTag = QStringLiteral("cRouteProperties");

QString routesFolder(const QString& gamePath)
{
    return gamePath + QStringLiteral("\\Content\\Routes\\");
}

// Creates the folder when it is missing; false when it cannot be made.
bool makeFolder(const QString& path)
{
    if (FolderExists(path))
        return true;
    return QDir().mkpath(platform::nativePath(path));
}

void showStepError(const QString& description, int step, const QString& folder)
{
    ui().msgBox(QStringLiteral("Error ") + description + QStringLiteral(" occurred in OKButton A=") + QString::number(step)
                    + QStringLiteral("strTemp = ") + folder,
                vb::vbOKOnly + vb::vbExclamation);
}

// Creates the folders from the one below root down to folder (each once per run).
class FolderMaker {
public:
    bool make(const QString& folder)
    {
        const QString key = folder.toCaseFolded();
        if (made_.contains(key))
            return true;
        const bool ok = makeFolder(folder);
        if (ok) {
            made_.insert(key);
            ++count_;
        }
        return ok;
    }
    qint64 count() const { return count_; }

private:
    QSet<QString> made_;
    qint64 count_ = 0;
};

// One blueprint of the collection on its way through the serializer pool.
struct PendingBlueprint {
    qsizetype ticket = -1; // its conversion; -1 when it is not read
    bool read = false;
    bool converted = false; // converted and read
    bool failed = false;    // reading what it names failed with error
    QString error;
    routes::BlueprintAssets assets;
};

QString parentOf(const QString& folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('\\'));
    return slash > 0 ? folder.left(slash) : QString();
}

} // namespace

QString CutTrailingDots(const QString& name)
{
    QString cut = name;
    for (int k = 0; k < 5; ++k) {
        if (cut.endsWith(QLatin1Char('.')))
            cut.chop(1);
    }
    return cut;
}

QString RoutePackageName(const QString& routeName, const QString& routeFolder)
{
    return PackageName(CutTrailingDots(routeName), routeFolder);
}

QString RouteNotPackagedMessage(const QString& routeFolder, const QString& where)
{
    return QStringLiteral("The route ") + routeFolder + QStringLiteral(" was not found in ") + where
           + QStringLiteral("; nothing was packaged.");
}

QString RouteSetupText(const QString& routesXmlText, const QString& routeFolder)
{
    const PropertiesBlock block = FindPropertiesBlock(routesXmlText, kRouteTag, routeFolder);
    if (!block.found())
        return QString();
    return QStringLiteral("\t\t") + routesXmlText.mid(block.start, block.end - block.start) + kCrLf;
}

QString DoRunLine(const QString& sourcePattern, const QString& targetFolder)
{
    return QStringLiteral("Call XCopy ") + kQuote + sourcePattern + kQuote + QLatin1Char(' ') + kQuote + targetFolder
           + QStringLiteral("\\*.*") + kQuote + QStringLiteral(" /Y") + kCrLf;
}

// ---- DoRunBatch ----------------------------------------------------------------------------

DoRunBatch::DoRunBatch(const QString& gamePath, const QString& packageFolder)
    : gameAssets_(gamePath + QStringLiteral("\\Assets")),
      packageAssets_(packageFolder + QStringLiteral("\\Rail Simulator\\Assets"))
{
}

QString DoRunBatch::belowAssets(const QString& entry) const
{
    const QString rel = PathBelow(gameAssets_, entry);
    return rel.isNull() ? QString() : rel;
}

DoRunBatch::Added DoRunBatch::add(const QString& entry)
{
    const QString rel = belowAssets(entry);
    if (rel.isEmpty())
        return Added::Outside;
    // Every file named like the entry, whatever its extension (a texture pattern keeps its own
    // "*", so it ends in "**.*").
    const QString source = gameAssets_ + QLatin1Char('\\') + rel.left(rel.lastIndexOf(QLatin1Char('.')))
                           + QStringLiteral("*.*");
    const qsizetype slash = rel.lastIndexOf(QLatin1Char('\\'));
    const QString target = slash > 0 ? packageAssets_ + QLatin1Char('\\') + rel.left(slash) : packageAssets_;
    if (!BatchSafePath(source) || !BatchSafePath(target))
        return Added::Unsafe;
    text_ += DoRunLine(source, target);
    lastTarget_ = target;
    ++lines_;
    return Added::Line;
}

// ---- the package ---------------------------------------------------------------------------

QString BuildRoutePackage(const QString& routesXmlText, const QString& routesXmlPath, const QString& routeName,
                          const QString& routeFolder)
{
    if (!routes::IsUsableFolderName(routeFolder)) {
        ui().msgBox(RouteNotPackagedMessage(routeFolder, routesXmlPath), vb::vbOKOnly + vb::vbExclamation);
        return QString();
    }
    const QString setupText = RouteSetupText(routesXmlText, routeFolder);
    if (setupText.isNull()) {
        ui().msgBox(RouteNotPackagedMessage(routeFolder, routesXmlPath), vb::vbOKOnly + vb::vbExclamation);
        return QString();
    }

    const SharedState& s = shared();
    const QString routePath = routesFolder(s.GamePath) + routeFolder;
    const QString packageFolder = platform::programFolder() + QLatin1Char('\\') + RoutePackageName(routeName, routeFolder);
    const QString routeCopy = packageFolder + QStringLiteral("\\Rail Simulator\\Content\\Routes\\") + routeFolder;

    QString strTemp;
    const QString folders[] = {packageFolder, packageFolder + QStringLiteral("\\Rail Simulator"),
                               packageFolder + QStringLiteral("\\Rail Simulator\\Content"),
                               packageFolder + QStringLiteral("\\Rail Simulator\\Content\\Routes"), routeCopy};
    for (int step = 1; step <= 5; ++step) {
        strTemp = folders[step - 1];
        if (!makeFolder(strTemp))
            showStepError(VbError(75).description, step, strTemp);
        ui().doEvents();
    }

    // Steps 6 and 7: the hand-off file (WriteTextFile reports its own failure).
    WriteTextFile(packageFolder + QLatin1Char('\\') + kRouteSetupFile, setupText);

    ui().doEvents();
    const InstallerCopy installer = CopyInstallerTo(packageFolder + QLatin1Char('\\') + kInstaller);
    if (installer.error == 53)
        showStepError(VbError(53).description, 8, strTemp);
    else if (installer.error != 0)
        showStepError(installer.reason, 8, strTemp);

    ui().doEvents();
    try {
        CopyFolder(routePath, routeCopy, true);
    } catch (const VbError& error) {
        showStepError(error.description, 9, strTemp);
    }
    ui().doEvents();
    return packageFolder;
}

// ---- the template ---------------------------------------------------------------------------

bool AddTemplateBlueprint(const QString& gamePath, const QString& packageFolder)
{
    QString setup;
    if (!ReadWholeTextFile(packageFolder + QLatin1Char('\\') + kRouteSetupFile, setup))
        return false;
    qsizetype p = vb::InStrText(1, setup, QStringLiteral("<iBlueprintLibrary"));
    if (p == 0)
        return false;
    QString provider;
    QString product;
    QString blueprintId;
    tags::routeList::GetDetail(setup, p, QStringLiteral("Provider"), provider);
    tags::routeList::GetDetail(setup, p, QStringLiteral("Product"), product);
    tags::routeList::GetDetail(setup, p, QStringLiteral("BlueprintID"), blueprintId);
    if (p == 0 || provider.isEmpty() || product.isEmpty() || blueprintId.size() <= 3)
        return false;

    const QString gameAssets = gamePath + QStringLiteral("\\Assets");
    const QString packageAssets = packageFolder + QStringLiteral("\\Rail Simulator\\Assets");
    const QString relBlueprint = provider + QLatin1Char('\\') + product + QLatin1Char('\\') + blueprintId.chopped(3)
                                 + QStringLiteral("bin");
    const QString source = gameAssets + QLatin1Char('\\') + relBlueprint;
    const QString templateFolder = packageAssets + QLatin1Char('\\') + provider + QLatin1Char('\\') + product
                                   + QStringLiteral("\\TemplateRoutes");
    // The provider and product are names of one folder each, and the blueprint lies below them.
    const QString productRel = PathBelow(packageAssets, templateFolder);
    if (!LiesBelowAssets(gamePath, source) || productRel.isEmpty() || productRel.count(QLatin1Char('\\')) != 2
        || !productRel.endsWith(QStringLiteral("\\TemplateRoutes")))
        return false;
    if (!makeFolder(templateFolder))
        return false;

    const QString fileName = relBlueprint.mid(relBlueprint.lastIndexOf(QLatin1Char('\\')) + 1);
    const QString stem = fileName.chopped(3); // keeps its final "."
    if (!CopyReplacing(source, templateFolder + QLatin1Char('\\') + stem + QStringLiteral("bin")))
        return false;

    // The ghost texture, from the blueprint's XML.
    EnsureTempFiles();
    const QString workBin = TempFilesPath(stem + QStringLiteral("bin"));
    const QString workXml = TempFilesPath(stem + QStringLiteral("xml"));
    if (!CopyReplacing(source, workBin))
        return false;
    if (!RunSerz(workBin, serz::ToXml, workXml, platform::programFolder()))
        return false;
    QString xml;
    if (!ReadWholeTextFile(workXml, xml))
        return false;
    qsizetype g = vb::InStrText(1, xml, QStringLiteral("<Ghostentry"));
    if (g == 0)
        return false;
    QString textureId;
    tags::routeList::GetDetail(xml, g, QStringLiteral("TextureID"), textureId);
    if (g == 0 || textureId.isEmpty())
        return false;
    const qsizetype open = textureId.indexOf(QLatin1Char('['));
    const qsizetype close = textureId.lastIndexOf(QLatin1Char(']'));
    if (open >= 0 && close > open)
        textureId.remove(open, close - open + 1);
    textureId += QStringLiteral(".TgPcDx");
    const QString textureRel = PathBelow(gameAssets, gameAssets + QLatin1Char('\\') + textureId);
    if (textureRel.isEmpty() || !LiesBelowAssets(gamePath, gameAssets + QLatin1Char('\\') + textureRel))
        return false;
    const QString textureTarget = packageAssets + QLatin1Char('\\') + textureRel;
    if (!makeFolder(parentOf(textureTarget)))
        return false;
    return CopyReplacing(gameAssets + QLatin1Char('\\') + textureRel, textureTarget);
}

// ---- the collection ------------------------------------------------------------------------

RouteAssetOutcome CollectRouteAssets(const QString& routeFolder, const QString& packageName, bool ignoreKujuRsdl,
                                     routes::RouteScanProgress* progress)
{
    QElapsedTimer total;
    total.start();
    RouteAssetOutcome outcome;
    SharedState& s = shared();
    s.AbortScan = false;
    s.ReportText.clear();
    const QString gamePath = s.GamePath;
    const QString program = platform::programFolder();
    const QString packageFolder = program + QLatin1Char('\\') + packageName;
    const QString routePath = routesFolder(gamePath) + routeFolder;

    auto abort = [&outcome, &total] {
        outcome.aborted = true;
        ui().msgBox(QStringLiteral("Packaging of the route's assets was aborted."), vb::vbOKOnly + vb::vbExclamation);
        outcome.totalNs = total.nsecsElapsed();
        return outcome;
    };

    ResetTempFiles();
    routes::RouteScanner scanner(gamePath);
    scanner.setProgress(progress);
    const QList<routes::ScanFolder> folders = routes::RouteTileFolders(routePath);
    for (qsizetype k = 0; k < folders.size(); ++k) {
        scanner.ScanRouteFolder(folders[k].folder, folders[k].kindTag);
        ui().doEvents();
        ui().doEvents();
        if (s.AbortScan)
            return abort();
        if (k + 1 < folders.size())
            routes::RouteScanner::ensureWorkFolder();
    }
    const QStringList blueprints = scanner.usedBlueprints().sorted();
    outcome.blueprints = blueprints.size();

    const QString batchPath = program + QLatin1Char('\\') + kBatchFile;
    if (FileExists(batchPath))
        QFile::remove(platform::nativePath(batchPath));
    FolderMaker maker;
    maker.make(packageFolder);
    maker.make(packageFolder + QStringLiteral("\\Rail Simulator"));
    maker.make(packageFolder + QStringLiteral("\\Rail Simulator\\Assets"));

    if (progress)
        progress->blueprintsListed(blueprints);
    DoRunBatch batch(gamePath, packageFolder);
    QStringList leftOut;

    // The blueprints are converted up to `window` places ahead of the one being collected and
    // read as soon as they are ready, so that their shapes go into the pool early; what they
    // name is still collected (and a failure shown) one blueprint after the other, in order.
    SerzPool pool;
    pool.setStopCheck([&s] { return s.AbortScan; });
    const qsizetype window = pool.jobs() == 1 ? 0 : 4 * qsizetype(pool.jobs());
    std::vector<PendingBlueprint> pending(size_t(blueprints.size()));
    const auto skipped = [&](const QString& blueprint) {
        if (!ignoreKujuRsdl)
            return false;
        const QString rel = batch.belowAssets(blueprint);
        return rel.contains(QStringLiteral("Kuju"), Qt::CaseInsensitive)
               || rel.contains(QStringLiteral("RSDL"), Qt::CaseInsensitive);
    };
    const auto read = [&](PendingBlueprint& p) {
        p.read = true;
        try {
            p.converted = scanner.ReadQueuedBlueprint(pool, p.ticket, p.assets);
        } catch (const VbError& error) {
            p.error = error.description;
            p.failed = true;
            return;
        }
        if (p.converted && !p.assets.geometry.isEmpty())
            scanner.queueShape(pool, p.assets.geometry);
    };
    qsizetype prepared = 0;
    qsizetype readAhead = 0;
    for (qsizetype b = 0; b < blueprints.size(); ++b) {
        if (s.AbortScan)
            return abort();
        const QString& blueprint = blueprints[b];
        if (progress)
            progress->blueprintStarted(b);
        if (skipped(blueprint))
            continue;

        for (const qsizetype last = std::min(blueprints.size() - 1, b + window); prepared <= last; ++prepared) {
            const QString& next = blueprints[prepared];
            if (!skipped(next) && scanner.fileExists(next))
                pending[size_t(prepared)].ticket = scanner.queueBlueprint(pool, next);
        }
        for (readAhead = std::max(readAhead, b + 1); readAhead < prepared; ++readAhead) {
            PendingBlueprint& ahead = pending[size_t(readAhead)];
            if (ahead.ticket >= 0 && !ahead.read) {
                if (!pool.ready(ahead.ticket))
                    break;
                read(ahead);
            }
        }

        QStringList entries{blueprint};
        PendingBlueprint& current = pending[size_t(b)];
        if (current.ticket >= 0) {
            if (!current.read)
                read(current);
            if (current.failed) {
                ui().msgBox(QStringLiteral("An error ") + current.error + QStringLiteral(" occurred while checking ")
                                + blueprint,
                            vb::vbOKOnly + vb::vbExclamation);
            } else if (current.converted) {
                const routes::BlueprintAssets& assets = current.assets;
                // An animation or a script goes with a geometry only.
                if (!assets.geometry.isEmpty())
                    entries << assets.geometry << assets.animation << assets.script;
                QStringList textures;
                if (!assets.geometry.isEmpty())
                    scanner.ShapeTextures(pool, assets.geometry, textures);
                for (const QString& texture : textures)
                    entries << texture + QStringLiteral("*.TgPcDx");
            }
        }
        current = PendingBlueprint();
        ui().doEvents();

        // An entry outside the Assets folder ends the blueprint's entries.
        for (const QString& entry : std::as_const(entries)) {
            if (entry.isEmpty())
                continue;
            const DoRunBatch::Added added = batch.add(entry);
            if (added == DoRunBatch::Added::Outside)
                break;
            if (added == DoRunBatch::Added::Line)
                maker.make(parentOf(batch.lastTarget()));
            else
                leftOut.append(entry);
        }
    }
    outcome.lines = batch.lineCount();
    outcome.leftOut = leftOut;
    outcome.serializerNs = scanner.stats().serializerNs;
    outcome.serializerRuns = scanner.stats().serializerRuns;
    outcome.foldersMade = maker.count();

    if (!leftOut.isEmpty())
        ui().msgBox(QStringLiteral("These files cannot be named in a batch file line and were left out of ") + kBatchFile
                        + QStringLiteral(":") + kCrLf + leftOut.join(kCrLf),
                    vb::vbOKOnly + vb::vbExclamation);

    if (WriteTextFile(batchPath, batch.fileText())) {
        QDir::setCurrent(platform::nativePath(program));
        QElapsedTimer batchTimer;
        batchTimer.start();
        outcome.batchStarted = ShellAndWait(kQuote + batchPath + kQuote, true, 1) != 0;
        outcome.batchNs = batchTimer.nsecsElapsed();
        if (!outcome.batchStarted)
            ui().msgBox(batchPath + QStringLiteral(" could not be started; the route's assets were not copied."),
                        vb::vbOKOnly + vb::vbExclamation);
    }

    if (FileExists(packageFolder + QLatin1Char('\\') + kRouteSetupFile))
        AddTemplateBlueprint(gamePath, packageFolder);
    outcome.totalNs = total.nsecsElapsed();
    return outcome;
}

} // namespace packaging
