#pragma once
// "Change LODs" of the asset list: for each selected blueprint, the geometry file it names is
// converted to XML, the values of every "<LOD>" block are replaced by a spread between the
// Min LOD and Max LOD boxes, and the geometry is converted back and put in place of the old
// one (which keeps a backup). The blueprint is only read. No window here; messages go through
// the Ui seam.

#include "assets/BlueprintPipeline.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace assets {

// The geometry a blueprint uses, from the text of its first "GeometryID" element.
struct GeometryLookup {
    QString rawId;        // the element's text as it stands
    QString geometryId;   // the ID with its bracketed part ("[00]") and the brackets removed
    QString folderPrefix; // the ID before "[" ("" when the ID has no bracketed part)
    QString workName;     // the ID after "]" ("" when the ID has no bracketed part)
    QString geometryPath; // gamePath & "\Assets\" & geometryId & ".GeoPcDx"; null when that
                          // leads out of the Assets folder (the reference is refused); behind a
                          // link that leads nowhere, a missing file
    QString workBin;      // "TempFiles\" & workName & ".bin" and ".xml"; both null when they
    QString workXml;      // would lie outside "TempFiles" (the reference is refused)
    // Whether the reference may be followed: its geometry and work files lie where they must.
    bool usable() const { return !geometryPath.isNull() && !workBin.isNull(); }
};
// Nothing when the text holds no "<GeometryID" (any case), or when its element has no ">"
// or no "<" after that ">". An ID with "[" but no "]" after it is taken as it stands.
std::optional<GeometryLookup> GetGeometryPath(const QString& blueprintXml, const QString& gamePath);

// The message for a reference read from a game file that leads out of the place it must lie
// in (the game's Assets folder, or the work folder for its work files); nothing is read or
// written for it.
QString RefusedReferenceMessage(const QString& gameFile, const QString& reference);

// The limits of the boxes: a change whose leading number exceeds the limit puts the limit's
// text in the box. There is no lower limit.
inline constexpr int MinLodLimit = 4000;
inline constexpr int MaxLodLimit = 4900;
// The text a box must hold after its text changed to text: the limit's text when the text's
// leading number is over the limit (also when it is too large to read), else nothing.
std::optional<QString> LimitLodBox(const QString& text, int limit);

// The number of "<LOD>" (any case) in a geometry's XML text.
int CountLodBlocks(const QString& xml);

// One value element of a block: its value lies at [valueStart, valueEnd) of the text
// (0-based); next is where the search for the following element goes on.
struct LodValue {
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
    QString value;
};
// The value elements of the block [blockStart, blockEnd) in order: each "<e" (any case), the
// first ">" after it and the first "</e" after that, all inside the block.
std::vector<LodValue> ReadLodBlock(const QString& xml, qsizetype blockStart, qsizetype blockEnd);

// A number written as "####.0000" with "." as the point (".0000" for zero).
QString FormatLod(double value);

// The seven value slots a block can take.
inline constexpr int LodSlots = 7;
// The new values of a block with count value elements (only the first seven are spread;
// fewer than count come back when count is over seven), from the boxes' leading numbers.
// One value: minValue in a file of several blocks, half of maxValue in a file of one. Two or
// more: minValue, then minValue + step * (i - 1) / 2 with step the rounded (halves to even)
// (maxValue - minValue) / (n - 1), then maxValue. Empty when count is 0 or a value is not
// finite (the block stays as it was).
QStringList SpreadLodValues(int count, bool severalBlocks, double minValue, double maxValue);

// The geometry's text with the values of every block replaced by their spread. Blocks run
// from a "<LOD>" to the first "</LOD>" after it; the next block is the first "<LOD>" after
// that end; a "<LOD>" with no "</LOD>" after it ends the rewrite. Values past the seventh
// of a block stay as they were.
QString RewriteLods(const QString& xml, double minValue, double maxValue);

// The texts of the command.
QString ChangeLodsWarning();
inline const QString EmptyLodBoxMessage =
    QStringLiteral("You must enter MinLOD and MaxLOD before selecting items to change.");

// How the command talks to the window.
struct LodHooks {
    std::function<bool(int gridRow)> isSelected;              // the selection check
    std::function<void(const QString& geometryFile)> showGeometry; // status bar panel 2
    const bool* stop = nullptr;                               // read before each row
    std::function<void(int gridRow, int col)> currentCell;    // as PipelineHooks::currentCell
};

// The whole command on the selected rows with the boxes' texts: the warning (Cancel ends it),
// the empty-box message, then per row (selection and product checks) the blueprint to XML,
// its geometry looked up, copied to "TempFiles\" & workName & ".bin", converted to
// workName & ".xml", rewritten, converted back and put in place with a backup. A blueprint
// without "<GeometryID" or with a missing geometry is passed over silently; a GeometryID that
// leads out of the Assets folder (or its work files out of "TempFiles") is passed over with
// RefusedReferenceMessage; a geometry that gives no XML is passed over with the
// failed-conversion message. The geometry's work files
// are deleted after it was written. No "BluePrints.pak" is deleted, no closing message.
PipelineResult ChangeLods(const std::vector<SelectedRow>& rows, const QString& gamePath, const QString& minText,
                          const QString& maxText, const LodHooks& hooks = LodHooks());

} // namespace assets
