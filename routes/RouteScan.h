#pragma once
// The route scan: which blueprints a route's tiles use and which of them are missing from the
// game's "Assets" folder, and the check of each used blueprint for its geometry, animation,
// script and texture files.
//
// Every tile, blueprint and shape is turned into XML by the game's serializer in the program
// folder's "TempFiles", read as lines of ANSI text and deleted again. The scans run
// those conversions through the serializer pool (common/SerzPool.h), several at once and
// ahead of the reading, and still read and report them in the order of the lists. Nothing here
// touches a window: the route list window shows the progress and the reports, and the route
// packager runs the same scan.
//
// A route has tens of thousands of tiles and hundreds of thousands of references, so the
// tile XML is streamed line by line, blueprints and textures are deduplicated as they are
// found, and each file's existence is looked up once per scanner.

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <utility>

class SerzPool;
struct SerzOutcome;

namespace routes {

// The kind tags of the scanned folders, shown after each missing blueprint.
inline const QString kSceneryItem = QStringLiteral("(Scenery Item)");
inline const QString kLoftItem = QStringLiteral("(Loft Item)");
inline const QString kRoadItem = QStringLiteral("(Road Item)");
inline const QString kTrackItem = QStringLiteral("(Track Item)");

// The tags the missing list gives a tile that yields no trustworthy references.
inline const QString kTileNotConverted = QStringLiteral("(Tile could not be converted)");
inline const QString kTileCutShort = QStringLiteral("(Tile ends inside a blueprint reference)");
// The tag of a reference whose path leads out of the game's "Assets" folder: nothing is read
// for it.
inline const QString kReferenceNotFollowed = QStringLiteral("(Reference outside the Assets folder, not followed)");
// The asset check's line for such a reference, before its path.
inline const QString kNotFollowedLine = QStringLiteral("Reference outside the Assets folder, not followed:-  ");

// One folder of a route to scan, with the kind tag of its references.
struct ScanFolder {
    QString folder;
    QString kindTag;
};

// The route's own tile folders in the order they are scanned: "\Scenery", "\Networks\Loft
// Tiles", "\Networks\Road Tiles" and "\Networks", below routePath (GamePath &
// "\Content\Routes\" & the route's folder).
QList<ScanFolder> RouteTileFolders(const QString& routePath);

// A list of texts without repeats and without empty entries: a text equal to one already in
// the list (letter case ignored) is not added again, so the first spelling stays.
class UniqueTexts {
public:
    // Adds the text unless it is empty or already listed; true when it was added.
    bool add(const QString& text);
    bool contains(const QString& text) const;
    qsizetype count() const { return values_.size(); }
    bool isEmpty() const { return values_.isEmpty(); }
    // In the order they were added.
    const QStringList& values() const { return values_; }
    // Sorted, letter case ignored.
    QStringList sorted() const;
    void clear();

private:
    QStringList values_;
    QSet<QString> keys_; // case-folded
};

// Sets levels to 5, 4, 3, 2 or 1 when path begins with that many "..\" steps (tested from five
// down, letter case ignored); otherwise leaves levels unchanged.
void CountUpLevels(const QString& path, qint16& levels);

// The text between the first ">" at or after position from (1-based) and the next "<" after
// it; "" when the line has no such pair.
QString LineValue(const QString& line, qsizetype from = 1);

// The blueprint file of a reference below the Assets folder: provider & "\" & product & "\" &
// the ID without its last three characters (its "xml") & "bin".
QString BlueprintBelowAssets(const QString& provider, const QString& product, const QString& blueprintId);

// The blueprint file of a reference: gamePath & "\Assets\" & BlueprintBelowAssets; a null
// QString when its "..\" steps lead out of the Assets folder. Behind a link that leads nowhere
// (a disk that is not mounted) it is a missing file: its path is given.
QString BlueprintFilePath(const QString& gamePath, const QString& provider, const QString& product,
                          const QString& blueprintId);

// The shape file a blueprint's GeometryID names below the Assets folder: the "[" and the three
// characters after it removed, ".GeoPcDx" behind; "" for an empty ID.
QString GeometryBelowAssets(const QString& geometryId);

// gamePath & "\Assets\" & GeometryBelowAssets; a null QString for an empty ID and for one
// that leads out of the Assets folder (behind a link that leads nowhere, a missing file).
QString GeometryFilePath(const QString& gamePath, const QString& geometryId);

// A file's folder with its trailing "\" (the text up to and including the last "\").
QString FolderOf(const QString& path);
// A file's name up to and including its last "." (the whole name when it has no ".").
QString NameBase(const QString& path);

// Resolves one entry of a shape's "TextureByName" block. tex is the entry's text, shapeFolder
// the shape file's folder with its trailing "\", and folder the block's texture folder so far
// ("" at the start of a block); folder is updated. The bracket prefix ("[" and the three
// characters after it) is cut out first. Then:
// - a name beginning with "text" keeps the folder (the shape folder when it is still empty);
// - a name beginning with "..\" loses its n steps (CountUpLevels): for 1, 2 and 3 steps the
//   folder is that many levels above the shape folder; for 4 or 5, when the name's first
//   component (with its "\") occurs in the shape folder, the shape folder's text before that
//   occurrence, otherwise the folder n levels above;
// - any other name takes the shape folder.
// Returns the texture's path without extension (folder & name); "" for an entry without a
// name, which has nothing to check.
QString ResolveTexture(QString tex, const QString& shapeFolder, QString& folder);

// Reads the blueprint references of a tile's XML, fed one line at a time. A reference is a
// line holding "<Provider" (the provider is the line's text between the first ">" after that
// tag and the next "<"), the next line (the product, between its first ">" and the next "<"),
// two more lines, and a fifth line with the blueprint ID in the same place. A reference with
// an empty provider or ID is passed over.
class ReferenceReader {
public:
    struct Reference {
        QString provider;
        QString product;
        QString blueprintId;
    };

    // Feeds one line: the file's bytes (ANSI) without the line end. True when the line
    // completed a reference, which reference() then holds.
    bool addLine(QByteArrayView line);
    const Reference& reference() const { return current_; }
    // True while a reference has been started but not finished: at the end of the text this
    // means the tile was cut short.
    bool inReference() const { return step_ != 0; }

private:
    int step_ = 0; // 0 looking for "<Provider", 1 product line, 2 and 3 skipped, 4 the ID line
    Reference current_;
};

// Reads a shape's texture names, fed one line at a time: every "e" line of each
// "TextureByName" block, resolved with ResolveTexture. A line holding "<d:blob" ends the
// reading (a shape stored as a blob has no texture list).
class ShapeTextureReader {
public:
    explicit ShapeTextureReader(QString shapeFolder) : shapeFolder_(std::move(shapeFolder)) {}
    // False once the reading has ended; further lines are ignored.
    bool addLine(QByteArrayView line);
    // The textures read, each a path without extension, in the order of the shape.
    const QStringList& textures() const { return textures_; }

private:
    QString shapeFolder_;
    QString folder_;
    QStringList textures_;
    bool inBlock_ = false;
    bool ended_ = false;
};

// The files a blueprint names, as full paths ("" for each it does not name). A file whose
// text leads out of the Assets folder is left empty and listed in notFollowed instead, as
// gamePath & "\Assets\" & its text; one behind a link that leads nowhere is a missing file.
struct BlueprintAssets {
    QString geometry;  // from the first "GeometryID" (GeometryFilePath)
    QString animation; // gamePath & "\Assets\" & the first "AnimationName" & ".ban"
    QString script;    // gamePath & "\Assets\" & the first "Name" after "<_script" & ".lua"
    QStringList notFollowed;
};

// Reads them from a blueprint's XML text. An element found without its ">" or closing tag
// throws VbError 5.
BlueprintAssets ReadBlueprintAssets(const QString& gamePath, const QString& blueprintXml);

// What a scan shows while it runs.
class RouteScanProgress {
public:
    virtual ~RouteScanProgress() = default;
    // The tile files of folder, in the order they are about to be scanned.
    virtual void tilesListed(const QString& folder, const QStringList& fileNames) {}
    // Tile index (0-based, of the last list) is being scanned.
    virtual void tileStarted(qsizetype index) {}
    // The blueprints the asset check is about to check, in order.
    virtual void blueprintsListed(const QStringList& paths) {}
    // Blueprint index (0-based) is being checked.
    virtual void blueprintStarted(qsizetype index) {}
};

class RouteScanner {
public:
    // Statistics of the scanner's work, for measurements.
    struct Stats {
        qint64 tiles = 0;
        qint64 references = 0;
        qint64 blueprintsChecked = 0;
        qint64 serializerRuns = 0;
        qint64 serializerNs = 0; // wall time spent in the serializer's runs
        qint64 fileLookups = 0;  // existence tests that reached the file system
    };

    // gamePath is the game folder as the program holds it (GamePath).
    explicit RouteScanner(QString gamePath);

    void setProgress(RouteScanProgress* progress) { progress_ = progress; }

    // The work folder, the program folder's "TempFiles".
    static QString workFolder();
    // Deletes the work folder's tree and creates it again, empty.
    static void resetWorkFolder();
    // Creates the work folder when it is missing.
    static void ensureWorkFolder();

    // Forgets what the scans found and every cached lookup.
    void clear();

    // Scans every ".bin" file directly in folder (letter case ignored, sorted by name): each
    // reference whose blueprint exists goes into usedBlueprints(); one whose blueprint is
    // missing (also behind a link that leads nowhere: a disk that is not mounted) gives the line
    // path & "   " & kindTag in missingLines(); one whose path leads out of the Assets folder gives the line path & "   " & kReferenceNotFollowed and nothing is
    // looked up for it. An ID missing as
    // written is tried once more after UnEscapeText; found then, it counts as used; still
    // missing, the line names the unescaped path. A tile that the serializer cannot convert,
    // or that ends inside a reference, gives the line tile path & "   " & the tag saying so,
    // and the scan goes on with the next tile. Returns at once when the folder does not exist,
    // and before the next tile when AbortScan is set. An unexpected failure shows "An error
    // occurred in " & the tile's name and ends this folder's scan.
    void ScanRouteFolder(const QString& folder, const QString& kindTag);

    // The route check's scan: clears AbortScan, then scans the route's tile folders
    // (RouteTileFolders) and then the "Scenery" folder of each of scenarioFolders (folder
    // names below routePath & "\Scenarios\"), re-creating the work folder before each scan
    // when it has gone. Returns false when AbortScan stopped it; AbortScan is then False again.
    bool ScanRoute(const QString& routePath, const QStringList& scenarioFolders);

    const UniqueTexts& usedBlueprints() const { return usedBlueprints_; }
    // Report lines in the order found; the same missing blueprint gives one line per reference.
    const QStringList& missingLines() const { return missingLines_; }

    // Checks each blueprint path: the blueprint itself, then its geometry, animation and script
    // files and the textures its geometry names, appending one line per finding to report
    // ("Shape file missing:-  " & path & CR LF and the like) and each texture pattern
    // (folder & name & "*.TgPcDx") to usedTextures(). A file named by a path that leads out of
    // the Assets folder is neither looked up nor read: it gets the line kNotFollowedLine & path
    // & CR LF, and a texture so named is no pattern; one behind a link that leads nowhere is
    // missing. A blueprint that fails in any other way
    // adds "An error " & the failure & " occurred while checking " & its path, and the check
    // goes on. Stops before the next blueprint when AbortScan is set (it is left set).
    void CheckAssetFiles(const QStringList& blueprints, QString& report);

    const UniqueTexts& usedTextures() const { return usedTextures_; }

    // The steps of the asset check, for other collectors of a route's files:
    // the textures a shape file names (paths without extension, in the shape's order), read
    // once per shape for the scanner's life; false when the shape cannot be copied, converted
    // or read. A texture whose path leads out of the Assets folder is left out.
    bool ShapeTextures(const QString& geometry, QStringList& textures);

    // The steps for a collector that converts ahead through pool (one pool for the scanner's
    // life): queueBlueprint adds the blueprint's conversion and returns its ticket;
    // ReadQueuedBlueprint takes it and reads the files the converted blueprint names, false
    // when it cannot be converted or read (a blueprint element without its closing tag throws
    // VbError 5). queueShape adds a shape's conversion once per shape; ShapeTextures(pool, ...)
    // takes it (adding it first when it was not queued) and lists every texture the shape
    // names, also one that leads out of the Assets folder: the collector refuses such an entry
    // and ends the blueprint's entries there, so it has to see it.
    qsizetype queueBlueprint(SerzPool& pool, const QString& blueprint);
    bool ReadQueuedBlueprint(SerzPool& pool, qsizetype ticket, BlueprintAssets& assets);
    void queueShape(SerzPool& pool, const QString& geometry);
    bool ShapeTextures(SerzPool& pool, const QString& geometry, QStringList& textures);

    // FileExists, remembered for the scanner's life (or until clear()).
    bool fileExists(const QString& path);

    const Stats& stats() const { return stats_; }

private:
    struct ShapeEntry {
        bool converted = false;
        QStringList textures; // paths without extension, in the shape's order
    };

    struct PendingBlueprint;

    bool convert(const QString& input, const QString& output);
    const SerzOutcome& take(SerzPool& pool, qsizetype ticket);
    void prepareBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending);
    void readBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending);
    const ShapeEntry& pooledShape(SerzPool& pool, const QString& geometry);
    void reportBlueprint(SerzPool& pool, const QString& blueprint, PendingBlueprint& pending, QString& report);
    void readTile(const QString& tilePath, const QString& xmlPath, const QString& kindTag);
    void addReference(const ReferenceReader::Reference& reference, const QString& kindTag);
    void notFollowed(const QString& provider, const QString& product, const QString& blueprintId);
    // BlueprintFilePath, remembered for the scanner's life (or until clear()): a route names
    // each blueprint from many tiles.
    QString blueprintFile(const QString& provider, const QString& product, const QString& blueprintId);
    const ShapeEntry& shapeTextures(const QString& geometry);
    // The shape's textures whose files lie below the Assets folder.
    QStringList followedTextures(const ShapeEntry& shape) const;

    QString gamePath_;
    RouteScanProgress* progress_ = nullptr;
    UniqueTexts usedBlueprints_;
    UniqueTexts usedTextures_;
    QStringList missingLines_;
    QHash<QString, bool> exists_;       // case-folded path -> FileExists
    QHash<QString, QString> blueprintFiles_; // text below Assets, as written -> BlueprintFilePath
    QHash<QString, ShapeEntry> shapes_; // case-folded shape path -> its textures
    QHash<QString, qsizetype> shapeTickets_; // case-folded shape path -> its pending conversion
    Stats stats_;
};

} // namespace routes
