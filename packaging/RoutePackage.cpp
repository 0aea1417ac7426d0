#include "packaging/RoutePackage.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/HandlerError.h"
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

// The handler's name carries the step and the folder it was making.
void showStepError(const VbError& error, int step, const QString& folder)
{
    showHandlerError(ErrorSpelling::Description, error,
                     QStringLiteral("OKButton A=") + QString::number(step) + QStringLiteral("strTemp = ") + folder);
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
        exclaim(RouteNotPackagedMessage(routeFolder, routesXmlPath));
        return QString();
    }
    const QString setupText = RouteSetupText(routesXmlText, routeFolder);
    if (setupText.isNull()) {
        exclaim(RouteNotPackagedMessage(routeFolder, routesXmlPath));
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
            showStepError(VbError(75), step, strTemp);
        ui().doEvents();
    }

    // The hand-off file, counted 6 and 7 in the "A=" numbers of the error messages; no message
    // here names them, as WriteTextFile reports its own failure.
    WriteTextFile(packageFolder + QLatin1Char('\\') + kRouteSetupFile, setupText);

    ui().doEvents();
    const InstallerCopy installer = CopyInstallerTo(packageFolder + QLatin1Char('\\') + kInstaller);
    if (installer.error == 53)
        showStepError(VbError(53), 8, strTemp);
    else if (installer.error != 0)
        showStepError(VbError(installer.error, installer.reason), 8, strTemp);

    ui().doEvents();
    try {
        CopyFolder(routePath, routeCopy, true);
    } catch (const VbError& error) {
        showStepError(error, 9, strTemp);
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

namespace {

// Scans the route's tile folders with the scanner, a fresh work folder for each; false when
// AbortScan stopped it.
bool scanRouteTiles(routes::RouteScanner& scanner, const QString& routePath)
{
    const SharedState& s = shared();
    const QList<routes::ScanFolder> folders = routes::RouteTileFolders(routePath);
    for (qsizetype k = 0; k < folders.size(); ++k) {
        scanner.ScanRouteFolder(folders[k].folder, folders[k].kindTag);
        ui().doEvents();
        ui().doEvents();
        if (s.AbortScan)
            return false;
        if (k + 1 < folders.size())
            routes::RouteScanner::ensureWorkFolder();
    }
    return true;
}

// The lines of "Do_Run.bat" for the blueprints the scan found, in order: each blueprint with
// its geometry, animation, script and every texture of its shape. The blueprints are converted
// up to `window` places ahead of the one being collected and read as soon as they are ready,
// so that their shapes go into the pool early; what they name is still collected (and a
// failure shown) one blueprint after the other, in order.
class BlueprintCollector {
public:
    BlueprintCollector(routes::RouteScanner& scanner, DoRunBatch& batch, FolderMaker& maker,
                       const QStringList& blueprints, bool ignoreKujuRsdl)
        : s_(shared()), scanner_(scanner), batch_(batch), maker_(maker), blueprints_(blueprints),
          ignoreKujuRsdl_(ignoreKujuRsdl), pending_(size_t(blueprints.size()))
    {
        pool_.setStopCheck([this] { return s_.AbortScan; });
        window_ = pool_.jobs() == 1 ? 0 : 4 * qsizetype(pool_.jobs());
    }

    // False when AbortScan stopped it.
    bool collect(routes::RouteScanProgress* progress)
    {
        for (qsizetype b = 0; b < blueprints_.size(); ++b) {
            if (s_.AbortScan)
                return false;
            if (progress)
                progress->blueprintStarted(b);
            if (skipped(blueprints_[b]))
                continue;
            convertAhead(b);
            readReadyAhead(b);
            const QStringList entries = entriesOf(b);
            ui().doEvents();
            addEntries(entries);
        }
        return true;
    }

    // Paths a batch line cannot hold.
    const QStringList& leftOut() const { return leftOut_; }

private:
    // With ignoreKujuRsdl, a blueprint whose path below "Assets" holds "Kuju" or "RSDL".
    bool skipped(const QString& blueprint) const
    {
        if (!ignoreKujuRsdl_)
            return false;
        const QString rel = batch_.belowAssets(blueprint);
        return rel.contains(QStringLiteral("Kuju"), Qt::CaseInsensitive)
               || rel.contains(QStringLiteral("RSDL"), Qt::CaseInsensitive);
    }

    void read(PendingBlueprint& p)
    {
        p.read = true;
        try {
            p.converted = scanner_.ReadQueuedBlueprint(pool_, p.ticket, p.assets);
        } catch (const VbError& error) {
            p.error = error.description;
            p.failed = true;
            return;
        }
        if (p.converted && !p.assets.geometry.isEmpty())
            scanner_.queueShape(pool_, p.assets.geometry);
    }

    // Queues the conversions of the blueprints up to `window` places after b.
    void convertAhead(qsizetype b)
    {
        for (const qsizetype last = std::min(blueprints_.size() - 1, b + window_); prepared_ <= last; ++prepared_) {
            const QString& next = blueprints_[prepared_];
            if (!skipped(next) && scanner_.fileExists(next))
                pending_[size_t(prepared_)].ticket = scanner_.queueBlueprint(pool_, next);
        }
    }

    // Reads the queued blueprints after b whose conversions are done, in order, up to the
    // first one still running.
    void readReadyAhead(qsizetype b)
    {
        for (readAhead_ = std::max(readAhead_, b + 1); readAhead_ < prepared_; ++readAhead_) {
            PendingBlueprint& ahead = pending_[size_t(readAhead_)];
            if (ahead.ticket >= 0 && !ahead.read) {
                if (!pool_.ready(ahead.ticket))
                    break;
                read(ahead);
            }
        }
    }

    // Blueprint b and the files it names; a blueprint that cannot be read is shown.
    QStringList entriesOf(qsizetype b)
    {
        const QString& blueprint = blueprints_[b];
        QStringList entries{blueprint};
        PendingBlueprint& current = pending_[size_t(b)];
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
                    scanner_.ShapeTextures(pool_, assets.geometry, textures);
                for (const QString& texture : textures)
                    entries << texture + QStringLiteral("*.TgPcDx");
            }
        }
        current = PendingBlueprint();
        return entries;
    }

    // One batch line per entry, its target folder made in the package. An entry outside the
    // Assets folder ends the blueprint's entries.
    void addEntries(const QStringList& entries)
    {
        for (const QString& entry : entries) {
            if (entry.isEmpty())
                continue;
            const DoRunBatch::Added added = batch_.add(entry);
            if (added == DoRunBatch::Added::Outside)
                break;
            if (added == DoRunBatch::Added::Line)
                maker_.make(parentOf(batch_.lastTarget()));
            else
                leftOut_.append(entry);
        }
    }

    SharedState& s_;
    routes::RouteScanner& scanner_;
    DoRunBatch& batch_;
    FolderMaker& maker_;
    const QStringList& blueprints_;
    const bool ignoreKujuRsdl_;
    SerzPool pool_;
    qsizetype window_ = 0;
    std::vector<PendingBlueprint> pending_;
    qsizetype prepared_ = 0;  // blueprints before this one have been queued
    qsizetype readAhead_ = 0; // blueprints before this one have been read when ready
    QStringList leftOut_;
};

// Writes "Do_Run.bat" and runs it from the program folder; a batch file that cannot start is
// shown. WriteTextFile reports its own failure.
void runDoRunBatch(const QString& batchPath, const DoRunBatch& batch, RouteAssetOutcome& outcome)
{
    if (!WriteTextFile(batchPath, batch.fileText()))
        return;
    QDir::setCurrent(platform::nativePath(platform::programFolder()));
    QElapsedTimer batchTimer;
    batchTimer.start();
    outcome.batchStarted = ShellAndWait(kQuote + batchPath + kQuote, true, 1) != 0;
    outcome.batchNs = batchTimer.nsecsElapsed();
    if (!outcome.batchStarted)
        ui().msgBox(batchPath + QStringLiteral(" could not be started; the route's assets were not copied."),
                    vb::vbOKOnly + vb::vbExclamation);
}

} // namespace

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

    // Every line of the batch file names both Assets folders: one the code page cannot hold
    // would leave every line out and the package empty.
    const QString unwritable = FirstUnwritablePath(
        {gamePath + QStringLiteral("\\Assets"), packageFolder + QStringLiteral("\\Rail Simulator\\Assets")});
    if (!unwritable.isNull()) {
        outcome.refused = true;
        ui().msgBox(UnwritablePathMessage(unwritable) + kCrLf + QStringLiteral("The route's assets were not packaged."),
                    vb::vbOKOnly + vb::vbExclamation);
        outcome.totalNs = total.nsecsElapsed();
        return outcome;
    }

    ResetTempFiles();
    routes::RouteScanner scanner(gamePath);
    scanner.setProgress(progress);
    if (!scanRouteTiles(scanner, routePath))
        return abort();
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
    BlueprintCollector collector(scanner, batch, maker, blueprints, ignoreKujuRsdl);
    if (!collector.collect(progress))
        return abort();
    outcome.lines = batch.lineCount();
    outcome.leftOut = collector.leftOut();
    outcome.serializerNs = scanner.stats().serializerNs;
    outcome.serializerRuns = scanner.stats().serializerRuns;
    outcome.foldersMade = maker.count();

    if (!outcome.leftOut.isEmpty())
        ui().msgBox(QStringLiteral("These files cannot be named in a batch file line and were left out of ") + kBatchFile
                        + QStringLiteral(":") + kCrLf + outcome.leftOut.join(kCrLf),
                    vb::vbOKOnly + vb::vbExclamation);

    runDoRunBatch(batchPath, batch, outcome);

    if (FileExists(packageFolder + QLatin1Char('\\') + kRouteSetupFile))
        AddTemplateBlueprint(gamePath, packageFolder);
    outcome.totalNs = total.nsecsElapsed();
    return outcome;
}

} // namespace packaging
