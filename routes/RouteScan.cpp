#include "routes/RouteScan.h"

#include "common/GameTextConstants.h"
#include "routes/RouteList.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/TempFiles.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <exception>

namespace routes {

namespace {

using gametext::kCrLf;
const QString kAssets = QStringLiteral("\\Assets\\");

// The position of needle in line, comparing ASCII letters without regard to case; needle is
// given in lower case. -1 when absent.
qsizetype indexOfNoCase(QByteArrayView line, const char* needle)
{
    const qsizetype n = qsizetype(std::strlen(needle));
    if (n == 0 || line.size() < n)
        return -1;
    const char first = needle[0]; // "<" in every use: no letter
    const char* data = line.data();
    const qsizetype last = line.size() - n;
    for (qsizetype i = 0; i <= last; ++i) {
        const void* hit = std::memchr(data + i, first, size_t(last - i + 1));
        if (!hit)
            return -1;
        i = static_cast<const char*>(hit) - data;
        qsizetype k = 1;
        for (; k < n; ++k) {
            char c = data[i + k];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            if (c != needle[k])
                break;
        }
        if (k == n)
            return i;
    }
    return -1;
}

bool containsNoCase(QByteArrayView line, const char* needle)
{
    return indexOfNoCase(line, needle) >= 0;
}

QString decodeLine(QByteArrayView line)
{
    return platform::decodeAnsi(line.toByteArray());
}

// The folder n levels above folder, with its trailing "\"; "" when folder has not that many.
QString levelsUp(const QString& folder, int n)
{
    QString path = folder;
    if (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (int i = 0; i < n; ++i) {
        const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
        if (cut <= 0)
            return QString();
        path.truncate(cut);
    }
    return path + QLatin1Char('\\');
}

// Calls lineFn with each line of the file (without its line end) until it returns false.
// The file is read in large blocks and its lines are handed out in place, so that a tile of
// many thousand lines costs no allocation per line. False when the file cannot be opened or
// read.
template <typename LineFn>
bool forEachLine(const QString& path, LineFn&& lineFn)
{
    QFile file(platform::nativePath(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    constexpr qsizetype kBlock = 256 * 1024;
    QByteArray buffer;
    qsizetype filled = 0;
    for (;;) {
        if (buffer.size() < filled + kBlock)
            buffer.resize(filled + kBlock);
        const qint64 got = file.read(buffer.data() + filled, kBlock);
        if (got < 0)
            return false;
        const bool atEnd = got == 0;
        filled += got;
        const char* data = buffer.constData();
        qsizetype start = 0;
        for (;;) {
            const void* nl = std::memchr(data + start, '\n', size_t(filled - start));
            if (!nl && !(atEnd && start < filled))
                break;
            const qsizetype end = nl ? static_cast<const char*>(nl) - data : filled;
            qsizetype size = end - start;
            if (size > 0 && data[start + size - 1] == '\r')
                --size;
            if (!lineFn(QByteArrayView(data + start, size)))
                return true;
            start = end + 1;
            if (!nl)
                break;
        }
        if (atEnd)
            return true;
        // Keep the unfinished line for the next block.
        std::memmove(buffer.data(), data + start, size_t(filled - start));
        filled -= start;
    }
}

void removeFile(const QString& path)
{
    QFile::remove(platform::nativePath(path));
}

QString describe(const std::exception& error)
{
    if (const auto* vbError = dynamic_cast<const VbError*>(&error))
        return vbError->description;
    return QString::fromLocal8Bit(error.what());
}

} // namespace

QList<ScanFolder> RouteTileFolders(const QString& routePath)
{
    return {
        {routePath + QStringLiteral("\\Scenery"), kSceneryItem},
        {routePath + QStringLiteral("\\Networks\\Loft Tiles"), kLoftItem},
        {routePath + QStringLiteral("\\Networks\\Road Tiles"), kRoadItem},
        {routePath + QStringLiteral("\\Networks"), kTrackItem},
    };
}

// ---- UniqueTexts ---------------------------------------------------------------------------

bool UniqueTexts::add(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QString key = text.toCaseFolded();
    if (keys_.contains(key))
        return false;
    keys_.insert(key);
    values_.append(text);
    return true;
}

bool UniqueTexts::contains(const QString& text) const
{
    return keys_.contains(text.toCaseFolded());
}

QStringList UniqueTexts::sorted() const
{
    QStringList out = values_;
    std::stable_sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

void UniqueTexts::clear()
{
    values_.clear();
    keys_.clear();
}

// ---- text rules ----------------------------------------------------------------------------

void CountUpLevels(const QString& path, qint16& levels)
{
    static const QString step = QStringLiteral("..\\");
    for (qint16 n = 5; n >= 1; --n) {
        bool all = path.size() >= 3 * n;
        for (qint16 k = 0; all && k < n; ++k)
            all = QStringView(path).mid(3 * k, 3) == step;
        if (all) {
            levels = n;
            return;
        }
    }
}

QString LineValue(const QString& line, qsizetype from)
{
    const qsizetype gt = line.indexOf(QLatin1Char('>'), from < 1 ? 0 : from - 1);
    if (gt < 0)
        return QString();
    const qsizetype lt = line.indexOf(QLatin1Char('<'), gt + 1);
    if (lt < 0)
        return QString();
    return line.mid(gt + 1, lt - gt - 1);
}

QString BlueprintBelowAssets(const QString& provider, const QString& product, const QString& blueprintId)
{
    const QString stem = blueprintId.left(std::max<qsizetype>(0, blueprintId.size() - 3));
    return provider + QLatin1Char('\\') + product + QLatin1Char('\\') + stem + QStringLiteral("bin");
}

QString BlueprintFilePath(const QString& gamePath, const QString& provider, const QString& product,
                          const QString& blueprintId)
{
    return AssetsPathOrMissing(gamePath, BlueprintBelowAssets(provider, product, blueprintId));
}

QString GeometryBelowAssets(const QString& geometryId)
{
    QString geo = geometryId;
    const qsizetype q = geo.indexOf(QLatin1Char('['));
    if (q >= 0)
        geo.remove(q, 4);
    if (geo.isEmpty())
        return QString();
    return geo + QStringLiteral(".GeoPcDx");
}

QString GeometryFilePath(const QString& gamePath, const QString& geometryId)
{
    const QString below = GeometryBelowAssets(geometryId);
    return below.isEmpty() ? QString() : AssetsPathOrMissing(gamePath, below);
}

QString FolderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString NameBase(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot + 1);
}

QString ResolveTexture(QString tex, const QString& shapeFolder, QString& folder)
{
    const qsizetype q = tex.indexOf(QLatin1Char('['));
    if (q >= 0)
        tex.remove(q, 4);
    if (tex.isEmpty())
        return QString();

    if (tex.startsWith(QStringLiteral("text"), Qt::CaseInsensitive)) {
        // The folder of the entry before (the shape folder for the block's first).
    } else if (tex.startsWith(QStringLiteral("..\\"))) {
        qint16 n = 0;
        CountUpLevels(tex, n);
        tex.remove(0, 3 * n);
        folder.clear();
        if (n == 4 || n == 5) {
            const qsizetype slash = tex.indexOf(QLatin1Char('\\'));
            const QString first = slash < 0 ? QString() : tex.left(slash + 1);
            const qsizetype at = first.isEmpty() ? -1 : shapeFolder.indexOf(first, 0, Qt::CaseInsensitive);
            folder = at >= 0 ? shapeFolder.left(at) : levelsUp(shapeFolder, n);
        } else {
            folder = levelsUp(shapeFolder, n);
        }
    } else {
        folder = shapeFolder;
    }
    if (folder.isEmpty())
        folder = shapeFolder;
    if (tex.isEmpty())
        return QString();
    return folder + tex;
}

// ---- ReferenceReader -----------------------------------------------------------------------

bool ReferenceReader::addLine(QByteArrayView line)
{
    switch (step_) {
    case 0: {
        const qsizetype at = indexOfNoCase(line, "<provider");
        if (at < 0)
            return false;
        current_ = Reference();
        current_.provider = LineValue(decodeLine(line), at + 1);
        if (!current_.provider.isEmpty())
            step_ = 1;
        return false;
    }
    case 1:
        current_.product = LineValue(decodeLine(line));
        step_ = 2;
        return false;
    case 2:
    case 3:
        ++step_;
        return false;
    default:
        step_ = 0;
        current_.blueprintId = LineValue(decodeLine(line));
        return !current_.blueprintId.isEmpty();
    }
}

// ---- ShapeTextureReader --------------------------------------------------------------------

bool ShapeTextureReader::addLine(QByteArrayView line)
{
    if (ended_)
        return false;
    if (inBlock_) {
        if (containsNoCase(line, "</texturebyname") || !containsNoCase(line, "<e")) {
            inBlock_ = false;
            folder_.clear();
            if (containsNoCase(line, "</texturebyname"))
                return true;
            // Any other line that ends the block is read as an ordinary line below.
        } else {
            const QString texture = ResolveTexture(LineValue(decodeLine(line)), shapeFolder_, folder_);
            if (!texture.isEmpty())
                textures_.append(texture);
            return true;
        }
    }
    if (containsNoCase(line, "<d:blob")) {
        ended_ = true;
        return false;
    }
    if (containsNoCase(line, "<texturebyname")) {
        inBlock_ = true;
        folder_.clear();
    }
    return true;
}

// ---- blueprint elements --------------------------------------------------------------------

BlueprintAssets ReadBlueprintAssets(const QString& gamePath, const QString& blueprintXml)
{
    BlueprintAssets assets;
    const QString& text = blueprintXml;
    const auto find = [&text](const QString& what, qsizetype from = 1) {
        return vb::InStr(from, text, what, vb::Compare::Text);
    };
    // The file below the Assets folder, or none (and a note) when the text leads elsewhere.
    const auto follow = [&gamePath, &assets](const QString& below) {
        const QString path = AssetsPathOrMissing(gamePath, below);
        if (path.isNull())
            assets.notFollowed.append(gamePath + kAssets + below);
        return path;
    };

    qsizetype p = find(QStringLiteral("<GeometryID"));
    if (p > 0) {
        QString geo;
        tags::routeList::GetDetail(text, p, QStringLiteral("GeometryID"), geo);
        const QString below = GeometryBelowAssets(geo);
        if (!below.isEmpty())
            assets.geometry = follow(below);
    }
    p = find(QStringLiteral("<AnimationName"));
    if (p > 0) {
        QString animation;
        tags::routeList::GetDetail(text, p, QStringLiteral("AnimationName"), animation);
        if (!animation.isEmpty())
            assets.animation = follow(animation + QStringLiteral(".ban"));
    }
    p = find(QStringLiteral("<_script"));
    if (p > 0 && find(QStringLiteral("<Name"), p) > 0) {
        QString script;
        tags::routeList::GetDetail(text, p, QStringLiteral("Name"), script);
        if (!script.isEmpty())
            assets.script = follow(script + QStringLiteral(".lua"));
    }
    return assets;
}

// ---- RouteScanner --------------------------------------------------------------------------

RouteScanner::RouteScanner(QString gamePath) : gamePath_(std::move(gamePath)) {}

QString RouteScanner::workFolder()
{
    return TempFilesFolder();
}

void RouteScanner::resetWorkFolder()
{
    ResetTempFiles();
}

void RouteScanner::ensureWorkFolder()
{
    EnsureTempFiles();
}

void RouteScanner::clear()
{
    usedBlueprints_.clear();
    usedTextures_.clear();
    missingLines_.clear();
    exists_.clear();
    blueprintFiles_.clear();
    shapes_.clear();
    stats_ = Stats();
}

bool RouteScanner::fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString key = path.toCaseFolded();
    const auto it = exists_.constFind(key);
    if (it != exists_.constEnd())
        return it.value();
    ++stats_.fileLookups;
    const bool found = FileExists(path);
    exists_.insert(key, found);
    return found;
}

bool RouteScanner::convert(const QString& input, const QString& output)
{
    QElapsedTimer timer;
    timer.start();
    const ConversionResult converted = RunSerz(input, serz::ToXml, output, platform::programFolder());
    ++stats_.serializerRuns;
    stats_.serializerNs += timer.nsecsElapsed();
    return converted.ok;
}

void RouteScanner::ScanRouteFolder(const QString& folder, const QString& kindTag)
{
    if (!FolderExists(folder)) {
        // A tile folder kept on a disk that is not mounted is missing with all it holds: the
        // check must not look as if the route used nothing there.
        if (platform::leadsNowhere(platform::nativePath(folder)))
            missingLines_.append(folder + QStringLiteral("   ") + kindTag);
        return;
    }
    QDir dir(platform::nativePath(folder));
    const QStringList files = dir.entryList({QStringLiteral("*.bin")}, QDir::Files,
                                            QDir::Name | QDir::IgnoreCase);
    if (progress_)
        progress_->tilesListed(folder, files);

    SharedState& s = shared();
    // The tiles are converted ahead of the reading, each into a work folder of its own slot.
    SerzPool pool;
    pool.setStopCheck([&s] { return s.AbortScan; });
    for (const QString& name : files)
        pool.add({folder + QLatin1Char('\\') + name, NameBase(name) + QStringLiteral("xml")});
    for (qsizetype k = 0; k < files.size(); ++k) {
        if (s.AbortScan)
            return;
        if (progress_)
            progress_->tileStarted(k);
        ui().doEvents();

        const QString& name = files[k];
        const QString tilePath = folder + QLatin1Char('\\') + name;
        ++stats_.tiles;
        if (!take(pool, k).result.ok) {
            pool.release(k);
            missingLines_.append(tilePath + QStringLiteral("   ") + kTileNotConverted);
            continue;
        }
        try {
            readTile(tilePath, pool.take(k).output, kindTag);
        } catch (const std::exception&) {
            pool.release(k);
            exclaim(QStringLiteral("An error occurred in ") + name);
            return;
        }
        pool.release(k);
    }
}

const SerzOutcome& RouteScanner::take(SerzPool& pool, qsizetype ticket)
{
    QElapsedTimer timer;
    timer.start();
    const SerzOutcome& outcome = pool.take(ticket);
    ++stats_.serializerRuns;
    stats_.serializerNs += timer.nsecsElapsed();
    return outcome;
}

void RouteScanner::readTile(const QString& tilePath, const QString& xmlPath, const QString& kindTag)
{
    ReferenceReader reader;
    const bool read = forEachLine(xmlPath, [&](QByteArrayView line) {
        if (reader.addLine(line))
            addReference(reader.reference(), kindTag);
        return true;
    });
    if (!read)
        throw VbError(57, QStringLiteral("Device I/O error"));
    if (reader.inReference())
        missingLines_.append(tilePath + QStringLiteral("   ") + kTileCutShort);
}

void RouteScanner::addReference(const ReferenceReader::Reference& reference, const QString& kindTag)
{
    ++stats_.references;
    const QString path = blueprintFile(reference.provider, reference.product, reference.blueprintId);
    if (path.isNull()) {
        notFollowed(reference.provider, reference.product, reference.blueprintId);
        return;
    }
    if (usedBlueprints_.contains(path)) // known to exist
        return;
    if (fileExists(path)) {
        usedBlueprints_.add(path);
        return;
    }
    QString id = reference.blueprintId;
    bool changed = false;
    tags::routeList::UnEscapeText(id, changed);
    if (!changed) {
        missingLines_.append(path + QStringLiteral("   ") + kindTag);
        return;
    }
    const QString unescaped = blueprintFile(reference.provider, reference.product, id);
    if (unescaped.isNull())
        notFollowed(reference.provider, reference.product, id);
    else if (fileExists(unescaped))
        usedBlueprints_.add(unescaped);
    else
        missingLines_.append(unescaped + QStringLiteral("   ") + kindTag);
}

QString RouteScanner::blueprintFile(const QString& provider, const QString& product, const QString& blueprintId)
{
    const QString below = BlueprintBelowAssets(provider, product, blueprintId);
    const auto it = blueprintFiles_.constFind(below);
    if (it != blueprintFiles_.constEnd())
        return it.value();
    const QString path = AssetsPathOrMissing(gamePath_, below);
    blueprintFiles_.insert(below, path);
    return path;
}

void RouteScanner::notFollowed(const QString& provider, const QString& product, const QString& blueprintId)
{
    missingLines_.append(gamePath_ + kAssets + BlueprintBelowAssets(provider, product, blueprintId)
                         + QStringLiteral("   ") + kReferenceNotFollowed);
}

bool RouteScanner::ScanRoute(const QString& routePath, const QStringList& scenarioFolders)
{
    SharedState& s = shared();
    s.AbortScan = false;
    const auto aborted = [&s] {
        ui().doEvents();
        if (!s.AbortScan)
            return false;
        s.AbortScan = false;
        return true;
    };

    bool first = true;
    for (const ScanFolder& tiles : RouteTileFolders(routePath)) {
        if (!first)
            ensureWorkFolder();
        first = false;
        ScanRouteFolder(tiles.folder, tiles.kindTag);
        if (aborted())
            return false;
    }
    for (const QString& scenario : scenarioFolders) {
        const QString scenery = routePath + QStringLiteral("\\Scenarios\\") + scenario + QStringLiteral("\\Scenery");
        if (!IsUsableFolderName(scenario) || !FolderExists(scenery))
            continue;
        ensureWorkFolder();
        ScanRouteFolder(scenery, kSceneryItem);
        if (s.AbortScan)
            break;
    }
    return !aborted();
}

const RouteScanner::ShapeEntry& RouteScanner::shapeTextures(const QString& geometry)
{
    const QString key = geometry.toCaseFolded();
    auto it = shapes_.constFind(key);
    if (it != shapes_.constEnd())
        return it.value();

    ShapeEntry entry;
    const QString base = workFolder() + QLatin1Char('\\') + NameBase(geometry);
    const QString binCopy = base + QStringLiteral("bin");
    const QString xmlPath = base + QStringLiteral("xml");
    removeFile(binCopy);
    if (QFile::copy(platform::nativePath(geometry), platform::nativePath(binCopy))) {
        ui().doEvents();
        if (convert(binCopy, xmlPath)) {
            ShapeTextureReader reader(FolderOf(geometry));
            entry.converted = forEachLine(xmlPath, [&reader](QByteArrayView line) { return reader.addLine(line); });
            entry.textures = reader.textures();
        }
    }
    removeFile(xmlPath);
    removeFile(binCopy);
    return shapes_.insert(key, entry).value();
}

QStringList RouteScanner::followedTextures(const ShapeEntry& shape) const
{
    QStringList textures;
    textures.reserve(shape.textures.size());
    for (const QString& texture : shape.textures) {
        if (LiesBelowAssets(gamePath_, texture + QStringLiteral(".TgPcDx")))
            textures.append(texture);
    }
    return textures;
}

bool RouteScanner::ShapeTextures(const QString& geometry, QStringList& textures)
{
    const ShapeEntry& shape = shapeTextures(geometry);
    textures = followedTextures(shape);
    return shape.converted;
}

qsizetype RouteScanner::queueBlueprint(SerzPool& pool, const QString& blueprint)
{
    return pool.add({blueprint, NameBase(blueprint) + QStringLiteral("xml")});
}

bool RouteScanner::ReadQueuedBlueprint(SerzPool& pool, qsizetype ticket, BlueprintAssets& assets)
{
    const SerzOutcome& out = take(pool, ticket);
    QString text;
    bool read = out.result.ok;
    if (read) {
        try {
            ReadTextFile(out.output, text);
        } catch (const VbError&) {
            read = false;
        }
    }
    pool.release(ticket);
    if (read)
        assets = ReadBlueprintAssets(gamePath_, text);
    return read;
}

void RouteScanner::queueShape(SerzPool& pool, const QString& geometry)
{
    const QString key = geometry.toCaseFolded();
    if (shapes_.contains(key) || shapeTickets_.contains(key))
        return;
    shapeTickets_.insert(key, pool.add({geometry, NameBase(geometry) + QStringLiteral("xml"),
                                        NameBase(geometry) + QStringLiteral("bin")}));
}

bool RouteScanner::ShapeTextures(SerzPool& pool, const QString& geometry, QStringList& textures)
{
    queueShape(pool, geometry);
    const ShapeEntry& shape = pooledShape(pool, geometry);
    textures = shape.textures;
    return shape.converted;
}

// One blueprint of the asset check on its way through the serializer pool.
struct RouteScanner::PendingBlueprint {
    enum class Step { Empty, NotFollowed, Missing, Converting, Read };
    Step step = Step::Empty;
    qsizetype ticket = -1;
    bool converted = false; // converted and read
    QString error;          // what reading its elements threw
    BlueprintAssets assets;
    bool geometryFound = false;
};

void RouteScanner::prepareBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending)
{
    if (blueprint.isEmpty())
        return;
    // A blueprint behind a link that leads nowhere is missing.
    if (ReachBelowAssets(gamePath_, blueprint) == Reach::Outside) {
        pending.step = PendingBlueprint::Step::NotFollowed;
        return;
    }
    if (!fileExists(blueprint)) {
        pending.step = PendingBlueprint::Step::Missing;
        return;
    }
    pending.step = PendingBlueprint::Step::Converting;
    pending.ticket = pool.add({blueprint, NameBase(blueprint) + QStringLiteral("xml")});
}

void RouteScanner::readBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending)
{
    pending.step = PendingBlueprint::Step::Read;
    const SerzOutcome& out = take(pool, pending.ticket);
    if (out.result.ok) {
        QString text;
        try {
            ReadTextFile(out.output, text);
            pending.converted = true;
        } catch (const VbError&) {
        }
        if (pending.converted) {
            try {
                pending.assets = ReadBlueprintAssets(gamePath_, text);
            } catch (const std::exception& error) {
                pending.error = describe(error);
            }
        }
    }
    pool.release(pending.ticket);
    if (!pending.converted || !pending.error.isNull())
        return;
    const QString& geometry = pending.assets.geometry;
    pending.geometryFound = !geometry.isEmpty() && fileExists(geometry);
    if (!pending.geometryFound)
        return;
    // Its shape goes into the pool as soon as it is known, once per shape.
    queueShape(pool, geometry);
}

const RouteScanner::ShapeEntry& RouteScanner::pooledShape(SerzPool& pool, const QString& geometry)
{
    const QString key = geometry.toCaseFolded();
    const auto known = shapes_.constFind(key);
    if (known != shapes_.constEnd())
        return known.value();
    const qsizetype ticket = shapeTickets_.take(key);
    ShapeEntry entry;
    const SerzOutcome& out = take(pool, ticket);
    if (out.copied && out.result.ok) {
        ShapeTextureReader reader(FolderOf(geometry));
        entry.converted = forEachLine(out.output, [&reader](QByteArrayView line) { return reader.addLine(line); });
        entry.textures = reader.textures();
    }
    pool.release(ticket);
    return shapes_.insert(key, entry).value();
}

void RouteScanner::reportBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending,
                                   QString& report)
{
    if (pending.step == PendingBlueprint::Step::NotFollowed) {
        report += kNotFollowedLine + blueprint + kCrLf;
        return;
    }
    if (pending.step == PendingBlueprint::Step::Missing) {
        report += QStringLiteral("Shape file missing:-  ") + blueprint + kCrLf;
        return;
    }
    if (pending.step == PendingBlueprint::Step::Converting)
        readBlueprint(pool, blueprint, pending);
    if (!pending.converted) {
        report += QStringLiteral("Blueprint could not be converted:-  ") + blueprint + kCrLf;
        return;
    }
    if (!pending.error.isNull()) {
        report += QStringLiteral("An error ") + pending.error + QStringLiteral(" occurred while checking ") + blueprint
                  + kCrLf;
        return;
    }
    const BlueprintAssets& assets = pending.assets;
    for (const QString& path : assets.notFollowed)
        report += kNotFollowedLine + path + kCrLf;
    if (!assets.geometry.isEmpty() && !pending.geometryFound)
        report += QStringLiteral("GeoPcDx file missing:-  ") + assets.geometry + kCrLf;
    if (!assets.animation.isEmpty() && !fileExists(assets.animation))
        report += QStringLiteral("Animation file missing:-  ") + assets.animation + kCrLf;
    if (!assets.script.isEmpty() && !fileExists(assets.script))
        report += QStringLiteral("Script file missing:-  ") + assets.script + kCrLf;
    if (!pending.geometryFound)
        return;

    const ShapeEntry& shape = pooledShape(pool, assets.geometry);
    if (!shape.converted) {
        report += QStringLiteral("GeoPcDx file could not be converted:-  ") + assets.geometry + kCrLf;
        return;
    }
    for (const QString& texture : shape.textures) {
        const QString file = texture + QStringLiteral(".TgPcDx");
        if (ReachBelowAssets(gamePath_, file) == Reach::Outside) {
            report += kNotFollowedLine + file + kCrLf;
            continue;
        }
        if (!fileExists(file))
            report += QStringLiteral("Texture file missing:-  ") + file + kCrLf;
        usedTextures_.add(texture + QStringLiteral("*.TgPcDx"));
    }
}

void RouteScanner::CheckAssetFiles(const QStringList& blueprints, QString& report)
{
    if (progress_)
        progress_->blueprintsListed(blueprints);
    SharedState& s = shared();

    // Blueprints are converted up to `window` places ahead of the one being reported, and each
    // blueprint's shape as soon as the blueprint has been read, so that the pool stays busy;
    // the report is still written one blueprint after the other, in the list's order.
    SerzPool pool;
    pool.setStopCheck([&s] { return s.AbortScan; });
    const qsizetype window = pool.jobs() == 1 ? 0 : 4 * qsizetype(pool.jobs());
    std::vector<PendingBlueprint> pending(size_t(blueprints.size()));
    qsizetype prepared = 0;
    qsizetype read = 0;
    shapeTickets_.clear();
    for (qsizetype r = 0; r < blueprints.size(); ++r) {
        if (s.AbortScan)
            return;
        if (progress_)
            progress_->blueprintStarted(r);
        ui().doEvents();
        const QString& blueprint = blueprints[r];
        if (blueprint.isEmpty())
            continue;
        ++stats_.blueprintsChecked;
        try {
            for (const qsizetype last = std::min(blueprints.size() - 1, r + window); prepared <= last; ++prepared)
                prepareBlueprint(pool, blueprints[prepared], pending[size_t(prepared)]);
            // Read ahead whatever has been converted already.
            for (read = std::max(read, r + 1); read < prepared; ++read) {
                PendingBlueprint& ahead = pending[size_t(read)];
                if (ahead.step == PendingBlueprint::Step::Converting) {
                    if (!pool.ready(ahead.ticket))
                        break;
                    readBlueprint(pool, blueprints[read], ahead);
                }
            }
            reportBlueprint(pool, blueprint, pending[size_t(r)], report);
        } catch (const std::exception& error) {
            report += QStringLiteral("An error ") + describe(error) + QStringLiteral(" occurred while checking ")
                      + blueprint + kCrLf;
        }
        pending[size_t(r)] = PendingBlueprint();
    }
}

} // namespace routes
