#pragma once
// The asset list's logic: walking a folder of the game's "Assets" tree, converting every
// blueprint found with the serializer, classifying it and making the grid's row texts. No
// window here: the walk reports folders, rows and its progress through callbacks, and the
// asset list window shows them.

#include <QString>
#include <QStringList>

#include <functional>

namespace assets {

// The grid's columns, in order, with the header texts and their widths in characters.
enum Column { ProviderColumn = 0, ProductColumn, PathColumn, NameColumn, InScenariosColumn, CategoryColumn };
inline constexpr int ColumnCount = 6;
struct ColumnHeader {
    const char* text;
    int widthChars;
};
inline constexpr ColumnHeader ColumnHeaders[ColumnCount] = {
    {"Provider", 16}, {"Product", 15}, {"Path", 73}, {"Name", 35}, {"In Scenarios", 12}, {"Category", 40}};

// The language element whose text is a blueprint's display name.
inline const QString DefaultNameLanguage = QStringLiteral("English");
// The pattern box's text when the window opens, and what an emptied box turns into.
inline const QString DefaultFilePattern = QStringLiteral("*.bin");
inline const QString AllFilesPattern = QStringLiteral("*.*");

// One listed file: the six cells of a grid row.
struct AssetRow {
    QString provider;
    QString product;
    QString path;        // below the product folder, file name included, "\"-separated
    QString name;        // display name (blueprints only)
    QString inScenarios; // "Yes", "No" or the element's own value (blueprints only)
    QString category;    // (blueprints only)

    // The six fields joined by tab characters, as the grid's add-row operation takes them.
    QString text() const;
    bool operator==(const AssetRow&) const = default;
};

// The parts of a file's path below "Assets": "Assets" must be a whole component; a path that
// starts with gamePath & "\Assets\" (either separator, any case) is cut there, else at its
// first "Assets" component (any case). False, and an empty row, when no provider, product
// and file follow it: such a file is not listed.
bool SplitListedPath(const QString& fullPath, const QString& gamePath, AssetRow& row);

// The display name of a blueprint's XML text: the text between the ">" after the first
// "<" & language (any case) and the next "</", unescaped (the asset window's UnEscapeText);
// "" when the language element is absent, "No Name" when it is empty.
QString GetAssetName(const QString& xmlText, const QString& language = DefaultNameLanguage);

// Category and scenario flag of a blueprint's XML text, by the first rule that applies:
// "<Category" (its text, a leading lower-case "e" cut off), "<EngineType" (its text, "Yes"),
// "<cWagonBlueprint" ("Passenger" when the text holds "passenger" anywhere, else
// "Freight Wagon"; "Yes"), "<cTenderBlueprint" ("Tender", "Yes"), else no category. For the
// first and last rule the flag is read from "ValidInScenarios": "eFalse" gives "No", "eTrue"
// "Yes", another value stays as it is. A flag still empty at the end becomes "No".
struct Classification {
    QString category;
    QString inScenarios;
};
Classification ClassifyBlueprint(const QString& xmlText);

// The row of a converted blueprint, or false when it is not listed: no name, "No Name", a
// category that does not contain the non-empty filter (any case), or a row text holding
// "simulation" (any case). row must already hold provider, product and path.
bool MakeBlueprintRow(const QString& xmlText, const QString& categoryFilter, const QString& language, AssetRow& row);

// The pattern box: an empty text is "*.*"; a text holding \ / : < > | or " is not a usable
// pattern (the file list keeps its former one); a pattern whose last three characters are
// "bin" (any case) walks blueprints, any other lists files only.
QString EffectivePattern(const QString& boxText);
bool IsUsablePattern(const QString& pattern);
bool IsBlueprintPattern(const QString& pattern);

// What the walk reports to the window. Every callback may be empty.
struct WalkCallbacks {
    // The walk now works in folder (the start folder's text, then "\" and the names of the
    // sub-folders on the way); files are its files matching the pattern, sorted by name
    // ignoring case. Called on entering a folder and, when it has sub-folders, again before
    // its own files are listed, so that the folder and file lists can follow the walk without
    // listing the folder themselves.
    std::function<void(const QString& folder, const QStringList& files)> folder;
    // Appends a listed row to the grid; false when the grid takes no more rows (the walk
    // then shows "You've filled the list box. Abandoning search..." and ends).
    std::function<bool(const AssetRow& row)> addRow;
    // Processes pending window events; called at most every 40 ms. (The serializer's runs
    // process events through the Ui seam while they wait.)
    std::function<void()> events;
    // Read before each file and folder: true ends the walk at once (the window closing).
    const bool* stop = nullptr;
};

struct WalkResult {
    bool abandoned = false; // the grid was full, or stop was set
    int rowsAdded = 0;
    int filesSeen = 0;      // files that matched the pattern
    int serializerRuns = 0;
    qint64 serializerNs = 0; // time spent in the serializer's runs
};

// The walkers. Both start in folder (a game-style or native path, as the folder list shows
// it) and list sub-folders first, depth-first, the last sub-folder by name (any case) first,
// then the folder's own files matching pattern (";"-separated Windows wildcards) by name.
// Every sub-folder is walked, a linked one too (the user's own, wherever it leads), unless it
// lies on the walk's own way down (a loop): a folder reached by two links is listed twice, as the
// folder lists show it twice; a link that leads nowhere is a folder that is not there. Hidden
// names (a leading ".") are not listed. Files to list and folders whose names are not text on
// this system are named in one message at the end of a walk that was not abandoned. A file whose
// path gives no provider, product and file below "Assets" (SplitListedPath) is not listed: the
// run-time error of that cut, "Invalid procedure call or argument", is shown (no icon) and the
// walk goes on.
//
// ListBlueprintFiles copies each file into the program folder's "Tempfiles", converts the
// copy to XML with one serializer run, and lists the blueprints that MakeBlueprintRow keeps.
WalkResult ListBlueprintFiles(const QString& folder, const QString& pattern, const QString& categoryFilter,
                              const QString& language, const QString& gamePath, const WalkCallbacks& callbacks);
// ListAssetFiles lists every matching file with Provider, Product and Path only; nothing is
// converted and nothing filtered.
WalkResult ListAssetFiles(const QString& folder, const QString& pattern, const QString& gamePath,
                          const WalkCallbacks& callbacks);

// "Add to List": the walker the pattern asks for (EffectivePattern of the box first).
WalkResult AddToList(const QString& folder, const QString& patternBox, const QString& categoryFilter,
                     const QString& language, const QString& gamePath, const WalkCallbacks& callbacks);

// "Total items = " & count, after a walk; "Total Items = 0 " after "Clear List".
QString TotalItemsText(int count);
QString ClearedTotalText();

} // namespace assets
