#pragma once
// Substituting one blueprint for another in the tiles of a route: the replacement of the
// references in one tile's XML text, and the loop over the tiles of one folder that converts
// each tile, changes it and puts a changed tile back in place with a backup.

#include <QString>
#include <QStringList>

#include <functional>

namespace routes {

// The blueprint in the route and its substitute, each as the tile XML names it: provider,
// product and the blueprint ID (the path below the product folder, ending in ".xml").
// Empty new values blank the references.
struct SubstituteRequest {
    QString oldProvider;
    QString oldProduct;
    QString oldPath;
    QString newProvider;
    QString newProduct;
    QString newPath;

    bool oldComplete() const { return !oldProvider.isEmpty() && !oldProduct.isEmpty() && !oldPath.isEmpty(); }
    bool newComplete() const { return !newProvider.isEmpty() && !newProduct.isEmpty() && !newPath.isEmpty(); }
};

// The tile folder below the route for an item kind: 0 "Scenery Item", 1 "Loft Item",
// 2 "Road Item"; "" for any other index.
QString SubstituteFolderFor(int kind);

// Replaces the references to the old blueprint in a tile's XML text, in one pass. A reference
// is a "BlueprintID" element whose text equals the old path and whose own "Provider" and
// "Product" elements (the last of each after the reference before it) equal the old provider
// and product; all three compared ignoring case, tag names too. Of such a reference the path
// text becomes the new path, and the provider and product texts become the new ones when they
// differ from them ignoring case. Nothing else of the text changes: a path inside a longer
// path, in an attribute or under another provider stays. New values are written with "&",
// "<" and ">" escaped; element texts are compared with those entities read back.
// Returns true when the text changed.
bool ReplaceBlueprintReferences(QString& text, const SubstituteRequest& request);

// The "*.bin" files of a folder (any letter case of the extension), sorted by name ignoring
// case; empty when the folder does not exist.
QStringList TileFileNames(const QString& folder);

// The work folder of the tile loop: the program folder's "TempFiles".
QString SubstituteWorkFolder();

// What the tile loop reports while it runs, and what it counts.
struct TileLoopProgress {
    std::function<void(qsizetype index)> tileStarted; // before tile index is converted
};
struct TileLoopStats {
    qsizetype tiles = 0;
    qsizetype changed = 0;        // tiles put in place with a backup
    qsizetype serializerRuns = 0;
    qint64 serializerNs = 0;      // time spent waiting for the serializer
};

// One tile that was to be changed but was left as it was, and why.
struct UnchangedTile {
    QString path;
    QString reason;
};

// Runs the substitution over the tiles names (file names in folder): each is converted to
// XML (ahead of the loop, through the serializer pool's work folders below TempFiles), the
// references replaced and, only when the text changed, the text written to "TempFiles\" &
// base & "xml" (base: the name up to and including its last "."), converted to
// "TempFiles\" & base & "bin" and put in place of the tile, which is moved to its backup
// name first (".bak", else ".bak1" to ".bak50"). A tile that cannot be converted either way,
// read or written, or has no free backup name stays byte-identical and the loop goes on.
// Returns those tiles, in the order processed.
QList<UnchangedTile> SubstituteInTiles(const QString& folder, const QStringList& names,
                                       const SubstituteRequest& request, const TileLoopProgress& progress = {},
                                       TileLoopStats* stats = nullptr);

// The message that lists the tiles the substitution left as they were.
QString UnchangedTilesMessage(const QList<UnchangedTile>& tiles);

} // namespace routes
