#include "scenarios/StockSearch.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/HandlerError.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace scenarios {

namespace {

// Window events are let through at least this often while the search works.
constexpr qint64 kEventSliceMs = 50;

bool has(const QString& text, const QString& what)
{
    return text.contains(what, Qt::CaseInsensitive);
}

// The value of the first element of that name; an absent element throws VbError 5.
QString firstValue(const QString& xml, const QString& tag)
{
    QString value;
    if (!firstElementValue(xml, tag, value))
        throw VbError(5);
    return value;
}

// Keeps the path's own separators: a native game folder ("/games/rs") turned into "\games\rs"
// would name a folder on the game's drive.
QString withoutTrailingSeparators(QString path)
{
    while (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

const QStringList& stockTypeCaptions()
{
    static const QStringList captions{QStringLiteral("Diesel"), QStringLiteral("Electric"), QStringLiteral("Steam"),
                                      QStringLiteral("Passenger"), QStringLiteral("Freight"), QStringLiteral("Tender"),
                                      QStringLiteral("DMU"), QStringLiteral("EMU")};
    return captions;
}

const QStringList& stockPartFolderNames()
{
    static const QStringList names{QStringLiteral("Simulation"), QStringLiteral("Camera"), QStringLiteral("Textures"),
                                   QStringLiteral("PassengerView"), QStringLiteral("CabView"), QStringLiteral("Bogie"),
                                   QStringLiteral("Digit")};
    return names;
}

StockBlueprint classifyStockBlueprint(const QString& xml)
{
    StockBlueprint b;
    if (xml.contains(QLatin1String("<cEngineComponentBlueprint")))
        b.kind = StockKind::Engine;
    else if (xml.contains(QLatin1String("<cWagonBlueprint")))
        b.kind = StockKind::Wagon;
    else if (xml.contains(QLatin1String("<cTenderBlueprint")))
        b.kind = StockKind::Tender;
    else
        return b;
    try {
        b.name = firstValue(xml, QStringLiteral("Name"));
    } catch (const VbError& error) {
        b.nameError = error.number;
    }
    if (b.kind == StockKind::Engine) {
        // An engine without a readable type keeps an empty one.
        try {
            b.engineType = firstValue(xml, QStringLiteral("EngineType"));
        } catch (const VbError&) {
        }
    }
    return b;
}

namespace {

void answer(const StockBlueprint& blueprint, StockKind kind, bool& yes, QString& name)
{
    yes = blueprint.kind == kind;
    if (!yes)
        return;
    if (blueprint.nameError != 0)
        throw VbError(blueprint.nameError);
    name = blueprint.name;
}

} // namespace

void IsItALoco(const StockBlueprint& blueprint, bool& IsLoco, QString& Name, QString& EngineType)
{
    answer(blueprint, StockKind::Engine, IsLoco, Name);
    if (IsLoco)
        EngineType = blueprint.engineType;
}

void IsItAWagon(const StockBlueprint& blueprint, bool& IsWagon, QString& Name)
{
    answer(blueprint, StockKind::Wagon, IsWagon, Name);
}

void IsItATender(const StockBlueprint& blueprint, bool& IsTender, QString& Name)
{
    answer(blueprint, StockKind::Tender, IsTender, Name);
}

StockQuestion stockQuestionFor(const QString& path, const QString& stockType, bool listAll)
{
    const bool partFolder = std::any_of(stockPartFolderNames().begin(), stockPartFolderNames().end(),
                                        [&path](const QString& part) { return has(path, part); });
    if (partFolder)
        return StockQuestion::Skip;
    const bool dotBin = path.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive);
    if (listAll)
        return dotBin ? StockQuestion::ListAll : StockQuestion::Skip;

    const QString type = stockType.toUpper();
    if (type == QLatin1String("DMU") || type == QLatin1String("EMU")) {
        if (!dotBin || has(path, QStringLiteral("\\Freight\\")) || has(path, QStringLiteral("Steam")))
            return StockQuestion::Skip;
        if (has(path, type == QLatin1String("DMU") ? QStringLiteral("Electric") : QStringLiteral("Diesel")))
            return StockQuestion::Skip;
        return StockQuestion::LocoOrWagon;
    }

    if (!path.endsWith(QLatin1String("bin"), Qt::CaseInsensitive))
        return StockQuestion::Skip;
    const bool tender = type == QLatin1String("TENDER");
    if (!has(path, tender ? QStringLiteral("Steam") : stockType))
        return StockQuestion::Skip;
    if (type == QLatin1String("FREIGHT") && has(path, QStringLiteral("\\Passenger\\")))
        return StockQuestion::Skip;
    if (type == QLatin1String("PASSENGER") && has(path, QStringLiteral("\\Freight\\")))
        return StockQuestion::Skip;
    if (type == QLatin1String("DIESEL") || type == QLatin1String("ELECTRIC") || type == QLatin1String("STEAM"))
        return StockQuestion::Loco;
    return tender ? StockQuestion::Tender : StockQuestion::Wagon;
}

bool splitStockPath(const QString& below, QString& provider, QString& product, QString& blueprint)
{
    // below starts with "\": provider from 1, product after the next "\", the rest after the
    // one after that (by position, whatever the names repeat).
    const qsizetype start = below.startsWith(QLatin1Char('\\')) ? 1 : 0;
    const qsizetype b = below.indexOf(QLatin1Char('\\'), start);
    if (b < 0)
        return false;
    const qsizetype c = below.indexOf(QLatin1Char('\\'), b + 1);
    if (c < 0 || c + 1 >= below.size() || b == start || c == b + 1)
        return false;
    provider = below.mid(start, b - start);
    product = below.mid(b + 1, c - b - 1);
    const QString rest = below.mid(c + 1);
    blueprint = rest.size() >= 3 ? rest.chopped(3) + QStringLiteral("xml") : QStringLiteral("xml");
    return true;
}

QString listAllStockQuestion()
{
    return QStringLiteral("You have not selected a Rail Vehicles folder. In this case,  ") + QStringLiteral("\r\n")
        + QStringLiteral("you will get a list of ALL rolling stock, not just types selected above.");
}

QString stockFolderOutsideAssetsMessage(const QString& folder, const QString& assetsFolder)
{
    return QStringLiteral("The folder ") + folder + QStringLiteral(" is not inside the game's Assets folder ") + assetsFolder
        + QStringLiteral(". Please choose a folder of rolling stock below it.");
}

// ---- the walk ------------------------------------------------------------------------------

// The walk is listed first and then worked through in the same order, so that the
// serializer pool can convert the blueprints ahead of the work: one step per folder entered
// and per file to convert.
struct StockSearch::WalkStep {
    bool folder = false;
    int listingError = 0; // a folder that could not be listed: the error's number
    StockQuestion question = StockQuestion::Skip;
    QString provider;
    QString product;
    QString blueprintPath;
    qsizetype ticket = -1;
};

struct StockSearch::Walk {
    const Hooks* hooks = nullptr;
    bool listAll = false;
    bool stopped = false;
    QString gamePath;
    QString workName;   // "temp.xml", in each slot's folder below TempFiles
    QString programFolder;
    QElapsedTimer sinceEvents;
    std::vector<WalkStep> steps;
    SerzPool* pool = nullptr;
    std::optional<platform::WalkWay> way;
    QStringList namesNotText; // candidates and folders whose names are not text, as game paths
};

namespace {

void letEventsThrough(QElapsedTimer& since)
{
    ui().doEvents();
    since.restart();
}

bool stopRequested(const StockSearch::Hooks* hooks)
{
    return hooks && hooks->stopRequested && hooks->stopRequested();
}

} // namespace

StockSearch::Outcome StockSearch::search(const QString& folder, const QString& tickedCaption, const Hooks& hooks)
{
    entries.clear();
    StockNames.clear();
    StockBlueprints.clear();
    StockCount = 0;
    stats = Stats{};
    if (!tickedCaption.isEmpty())
        StockType = tickedCaption;

    SharedState& state = shared();
    const QString assets = withoutTrailingSeparators(state.GamePath) + QStringLiteral("\\Assets");
    // Decided by where the folder leads: one reached from a drive's own folder names the game
    // by another path than the game folder's.
    Reach reach = Reach::Outside;
    const QString onDisk = state.GamePath.isEmpty() ? QString() : PathBelowOnDisk(assets, folder, &reach);
    if (reach == Reach::Missing) {
        // Its disk is not mounted: the folder is not there to walk.
        showHandlerError(ErrorSpelling::Number, VbError(76), QStringLiteral("WorkWithSubFolders"));
        return Outcome::Done;
    }
    if (onDisk.isNull()) {
        exclaim(stockFolderOutsideAssetsMessage(folder, state.GamePath + QStringLiteral("\\Assets")));
        return Outcome::Refused;
    }
    // The folder's path below "Assets", with its leading "\".
    const QString below = onDisk.isEmpty() ? QString() : QLatin1Char('\\') + onDisk;

    if (has(below, QStringLiteral("RailVehicles"))) {
        state.ListAllStock = false;
    } else {
        if (ui().msgBox(listAllStockQuestion(), vb::vbOKCancel + vb::vbExclamation, Ui::programTitle()) != vb::vbOK)
            return Outcome::Cancelled;
        state.ListAllStock = true;
    }

    // The provider and product of the searched folder.
    const QStringList names = below.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!names.isEmpty())
        StockProvider = names.at(0);
    if (names.size() >= 2) {
        StockProduct = names.at(1);
        state.StockBasePath = StockProduct;
        state.AssetsBasePath = state.GamePath + QStringLiteral("\\Assets\\") + StockProvider + QLatin1Char('\\') + StockProduct;
    }

    Walk walk;
    walk.hooks = &hooks;
    walk.listAll = state.ListAllStock;
    walk.gamePath = state.GamePath;
    walk.programFolder = platform::programFolder();
    walk.workName = QStringLiteral("temp.xml");
    const QString workFolder = TempFilesFolder();
    EnsureTempFiles();
    walk.sinceEvents.start();

    const BusyPointer busy;
    SerzPool pool(SerzPool::jobsFromEnvironment(), workFolder, walk.programFolder);
    pool.setStopCheck([&hooks] { return stopRequested(&hooks); });
    walk.pool = &pool;
    const QString nativeFolder = platform::nativePath(folder);
    walk.way.emplace(nativeFolder);
    listFolder(walk, nativeFolder, below);
    // The work file of earlier versions, which every conversion replaced, never outlives a
    // search that converts anything.
    if (pool.count() > 0)
        QFile::remove(platform::nativePath(workFolder + QLatin1Char('\\') + walk.workName));
    for (const WalkStep& step : walk.steps) {
        if (step.folder) {
            if (stopRequested(walk.hooks)) {
                walk.stopped = true;
                break;
            }
            letEventsThrough(walk.sinceEvents);
            ++stats.folders;
            if (step.listingError != 0)
                showHandlerError(ErrorSpelling::Number, VbError(step.listingError), QStringLiteral("WorkWithSubFolders"));
            continue;
        }
        if (walk.sinceEvents.elapsed() >= kEventSliceMs)
            letEventsThrough(walk.sinceEvents);
        examineFile(walk, step);
        if (walk.stopped)
            break;
    }
    if (walk.stopped)
        return Outcome::Stopped;
    if (!walk.namesNotText.isEmpty())
        exclaim(NamesNotTextMessage(walk.namesNotText, QStringLiteral("searched")));
    return Outcome::Done;
}

void StockSearch::listFolder(Walk& walk, const QString& nativeFolder, const QString& below)
{
    WalkStep entered;
    entered.folder = true;
    walk.steps.push_back(entered);
    // One listing gives the folder's files and its sub-folders.
    const platform::Standing standing = platform::standingAt(nativeFolder);
    if (standing != platform::Standing::Folder || !QFileInfo(nativeFolder).isReadable()) {
        walk.steps.back().listingError = standing == platform::Standing::Folder ? 70 : 76;
        return;
    }
    QList<platform::FolderEntry> files;
    QList<platform::FolderEntry> folders;
    const QString gameBelow = walk.gamePath + QStringLiteral("\\Assets") + below + QLatin1Char('\\');
    for (const platform::FolderEntry& entry : platform::folderEntries(nativeFolder)) {
        if (entry.isFolder()) {
            // A folder whose name is no text cannot be walked into by a path.
            if (!entry.nameIsText)
                walk.namesNotText.append(gameBelow + entry.name);
            else
                folders.append(entry);
        } else if (entry.isFile()) {
            files.append(entry);
        }
    }
    const auto ignoringCase = [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    };
    std::sort(files.begin(), files.end(), ignoringCase);
    std::sort(folders.begin(), folders.end(), ignoringCase);

    for (const platform::FolderEntry& file : std::as_const(files)) {
        const QString fileBelow = below + QLatin1Char('\\') + file.name;
        WalkStep step;
        step.question = stockQuestionFor(fileBelow, StockType, walk.listAll);
        if (step.question == StockQuestion::Skip
            || !splitStockPath(fileBelow, step.provider, step.product, step.blueprintPath))
            continue;
        if (!file.nameIsText) {
            walk.namesNotText.append(gameBelow + file.name);
            continue;
        }
        step.ticket = walk.pool->add({file.path, walk.workName});
        walk.steps.push_back(step);
    }
    // Every sub-folder is walked, linked or not, unless that would be a loop.
    for (const platform::FolderEntry& sub : std::as_const(folders)) {
        if (!walk.way->enter(sub))
            continue;
        listFolder(walk, sub.path, below + QLatin1Char('\\') + sub.name);
        walk.way->leave();
    }
}

void StockSearch::examineFile(Walk& walk, const WalkStep& step)
{
    const StockQuestion question = step.question;
    const QString& provider = step.provider;
    const QString& product = step.product;
    const QString& blueprintPath = step.blueprintPath;
    if (walk.listAll) {
        StockProvider = provider;
        StockProduct = product;
    }
    if (stopRequested(walk.hooks)) {
        walk.stopped = true;
        return;
    }

    try {
        QElapsedTimer serz;
        serz.start();
        const SerzOutcome& converted = walk.pool->take(step.ticket);
        stats.serializerNs += serz.nsecsElapsed();
        ++stats.conversions;
        letEventsThrough(walk.sinceEvents);
        // A work file that was not made (the serializer failed) or cannot be removed: the
        // engine test reads what there is and passes over the rest (no text is no engine); the
        // wagon and tender tests report it.
        int workFileError = 0;
        QString xml;
        if (!converted.result) {
            workFileError = 53;
        } else {
            try {
                ReadTextFile(converted.output, xml);
            } catch (const VbError& error) {
                workFileError = error.number;
                xml.clear();
            }
            if (!QFile::remove(platform::nativePath(converted.output)) && workFileError == 0)
                workFileError = 75;
        }
        walk.pool->release(step.ticket);
        letEventsThrough(walk.sinceEvents);
        const auto workFileRead = [workFileError] {
            if (workFileError != 0)
                throw VbError(workFileError);
        };

        const StockBlueprint blueprint = classifyStockBlueprint(xml);
        bool yes = false;
        QString found;
        QString engineType;
        switch (question) {
        case StockQuestion::Loco:
            IsItALoco(blueprint, yes, found, engineType);
            break;
        case StockQuestion::Wagon:
            workFileRead();
            IsItAWagon(blueprint, yes, found);
            break;
        case StockQuestion::Tender:
            workFileRead();
            IsItATender(blueprint, yes, found);
            break;
        case StockQuestion::LocoOrWagon:
            IsItALoco(blueprint, yes, found, engineType);
            if (!yes) {
                workFileRead();
                IsItAWagon(blueprint, yes, found);
            }
            break;
        case StockQuestion::ListAll:
            IsItALoco(blueprint, yes, found, engineType);
            if (yes) {
                yes = engineType.compare(StockType, Qt::CaseInsensitive) == 0;
            } else {
                workFileRead();
                IsItAWagon(blueprint, yes, found);
            }
            break;
        case StockQuestion::Skip:
            break;
        }
        if (!yes)
            return;

        StockEntry entry;
        entry.name = found;
        entry.blueprint = blueprintPath;
        entry.provider = provider;
        entry.product = product;
        entry.fullPath = walk.gamePath + QStringLiteral("\\Assets\\") + provider + QLatin1Char('\\') + product
            + QLatin1Char('\\') + blueprintPath;
        entry.kind = blueprint.kind;
        entry.type = StockType;
        entries.append(entry);
        StockNames.append(entry.name);
        StockBlueprints.append(entry.blueprint);
        ++StockCount;
        if (walk.hooks && walk.hooks->added)
            walk.hooks->added(entries.constLast());
    } catch (const VbError& error) {
        walk.pool->release(step.ticket);
        showHandlerError(ErrorSpelling::Number, error, QStringLiteral("WorkWithSubFolders"));
    }
}

int StockSearch::entryOfRow(const QString& rowText) const
{
    for (int i = 0; i < StockCount; ++i) {
        if (StockNames.at(i).compare(rowText, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString StockSearch::pathOfRow(const QString& rowText) const
{
    const int i = entryOfRow(rowText);
    return i < 0 ? QString() : entries.at(i).fullPath;
}

} // namespace scenarios
