#pragma once
// The edit pipeline of the asset list: every edit of the selected blueprints converts each
// game file to XML in "TempFiles", changes the text, converts it back and puts the result in
// place of the game file (with a backup) or beside it as a new file. The window takes a
// snapshot of the selected rows, hands it here with the edit's own change of the text, and
// shows the per-row results in its grid. No window here; messages go through the Ui seam.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace assets {

// One selected row, taken from the grid before the first row is worked on.
struct SelectedRow {
    int gridRow = -1;  // the grid's row number; -1 is passed over
    QString provider;  // the cells as the grid holds them (trimmed here)
    QString product;
    QString path;
};

// What the pipeline knows of a row once its paths are formed.
struct RowPaths {
    int gridRow = -1;      // the grid row the paths were formed from
    QString rowPath;       // Provider & "\" & Product & "\" & Path, each trimmed
    QString fullPath;      // GamePath & "\Assets\" & rowPath
    QString productFolder; // GamePath & "\Assets\" & Provider & "\" & Product
    QString extension;     // the text after the file name's last "."
    QString folder;        // the full path up to and including its last "\"
    QString baseWithDot;   // the file name up to and including its last "." ("Class66."); a
                           // name without a dot gets one ("Class66" gives "Class66.")
    QString workBase;      // program folder & "\TempFiles\" & baseWithDot
    QString workXml() const { return workBase + QStringLiteral("xml"); }
    QString workBin() const { return workBase + QStringLiteral("bin"); }
};
// The paths of a row; false when all three cells are empty (the grid's empty row 1). Only the
// file name's own dot divides the base name from the extension, never a dot of a folder.
bool MakeRowPaths(const SelectedRow& row, const QString& gamePath, RowPaths& paths);

// How an output reaches the game.
enum class Placement {
    ReplaceWithBackup, // the file at the target moves to its backup name first (ReplaceGameFile)
    ReplaceNoBackup,   // a new file, replacing a file of that name without a backup
};

// One file an edit writes for a row.
struct EditOutput {
    QString text;             // the XML text to convert back
    QString target;           // the game file to write; empty: the row's full path
    Placement placement = Placement::ReplaceWithBackup;
    QString workName;         // work files "TempFiles\" & workName & "xml"/"bin"; empty: the row's baseWithDot
    QString failedName;       // the name in the failed-conversion message; empty: baseWithDot & "bin"
};

// The edit's answer for one row.
struct EditResult {
    std::vector<EditOutput> outputs; // none: the row is passed over (nothing written, no backup)
    QString message;                 // shown (exclamation icon) when not empty, before anything is written
    bool endRun = false;             // ends the whole run after this row (nothing of this row written
                                     // when outputs is empty); the completion message is not
                                     // shown then
    // Run once every output has been converted and checked, before the first is placed (the
    // clone makes and fills its folder here); a non-empty answer is shown and the row fails
    // with nothing placed.
    std::function<QString()> beforePlacement;
};

// The edit's own change of a row's text: the row's paths and the text that the conversion to
// XML gave (never empty).
using EditFunction = std::function<EditResult(const RowPaths& row, const QString& text)>;

// The steps that set one edit apart from another.
struct PipelineOptions {
    QString confirmText;            // asked with OK/Cancel (exclamation) first when not empty
    bool productCheck = false;      // rows with an empty Product cell are passed over; the
                                    // extension of each row goes to the shared CurrentFileExt
                                    // (without the check, its full path to CurrentFile)
    bool emptyRowMessage = true;    // a row whose three cells are empty ends the run with
                                    // "You do not appear to have selected any rolling stock"
                                    // (without productCheck)
    bool cleanUp = false;           // work files deleted after a row was written
    bool deleteBlueprintPak = false; // after the loop: "BluePrints.pak" deleted in every product
                                     // written to, and, unless the run was ended early, the
                                     // completion message; both only when something was written
    bool completionMessage = true;   // with deleteBlueprintPak: the completion message
    bool busyPointer = true;
    // When set, shown for a row whose conversion to XML gave no text (given its full path).
    std::function<QString(const QString& fullPath)> noTextMessage;
};

// The two option sets the commands run with. A product edit (scenery and such): rows without a
// Product are passed over, an empty row ends nothing. A stock edit (rolling stock): an empty row
// ends the run, "BluePrints.pak" goes after the loop, the pointer stays as it is.
PipelineOptions ProductEditOptions(const QString& confirmText = QString());
PipelineOptions StockEditOptions(const QString& confirmText = QString());

// How the pipeline talks to the window while it runs. Every member may be empty.
struct PipelineHooks {
    // Whether the grid still reports the row as selected (the selection check); empty: always.
    std::function<bool(int gridRow)> isSelected;
    // Shows the full path of the row being worked on (status bar panel 2).
    std::function<void(const QString& fullPath)> showPath;
    // Read before each row: true ends the run (the window closing).
    const bool* stop = nullptr;
    // Makes a cell of the grid current (without changing the selection): (row, 1) when a row
    // is taken up, (row, 2) once its Provider, Product and Path cells have been read.
    std::function<void(int gridRow, int col)> currentCell;
};

// What happened to one row.
enum class RowOutcome {
    PassedOver,   // -1, not selected, empty product, or the edit wrote nothing
    NoText,       // the conversion to XML gave no text
    Written,      // every output placed
    Failed,       // a conversion back or a placement failed; its message was shown; the game
                  // file is as it was
};
struct RowResult {
    int gridRow = -1;
    RowOutcome outcome = RowOutcome::PassedOver;
    QString fullPath;
    QStringList backups; // the backups made, in output order
};

struct PipelineResult {
    bool cancelled = false;       // Cancel in the confirmation: nothing was read or changed
    bool ended = false;           // the empty-row message, an edit's endRun, or stop
    std::vector<RowResult> rows;  // one per entry handled, in selection order
    QStringList deletedPaks;      // the "BluePrints.pak" files deleted after the loop
    bool anyWritten() const;
};

// Runs an edit over the selected rows (in the order given), shows its messages through the
// Ui seam and returns what happened to each row. Per row: the full path is converted to the
// work XML (one serializer run); the edit changes the text; each output is written to its
// work XML and converted back (one run each); only when every conversion gave a file are the
// outputs placed, each with ReplaceGameFile or PlaceNewGameFile. A failed conversion back
// shows "Serz.exe could not convert file " & failedName & a line break & "This is a
// limitation of Serz.exe and out of my control."; a failed placement shows its own message;
// either way the row's game files are left as they were and the loop goes on.
PipelineResult RunBlueprintEdit(const std::vector<SelectedRow>& rows, const QString& gamePath,
                                const PipelineOptions& options, const EditFunction& edit,
                                const PipelineHooks& hooks = PipelineHooks());
// The same for one blueprint whose text is already in hand (read earlier from its work XML):
// no row steps and no conversion to XML; the edit, conversion back, check, placement and the
// steps after the loop as above. The result holds one row.
PipelineResult RunBlueprintEdit(const RowPaths& row, const QString& text, const QString& gamePath,
                                const PipelineOptions& options, const EditFunction& edit);

// The product folder a file lies in, GamePath & "\Assets\" & provider & "\" & product;
// fallback when the file lies below no product of the game's Assets.
QString ProductFolderOf(const QString& file, const QString& gamePath, const QString& fallback = QString());
// Deletes a file when it is there; failures are passed over.
void RemoveIfThere(const QString& path);
// program folder & "\Templates\" & fileName: the text templates of the edits.
QString TemplatePath(const QString& fileName);

// Converts a game file to XML at workXml (one serializer run, from the program folder) and
// reads it. False, and text left empty, when no XML came out.
bool ConvertToText(const QString& gameFile, const QString& workXml, QString& text);

// The rename of a blueprint: name, escaped ("&", "<" and ">", entities kept), written into
// "Name" and then "English", "French", "Italian", "German" and "Spanish" from the first
// "<Name " (tags::assetWindow::PutLocalisedTextChain).
void RenameBlueprint(QString& text, const QString& name);

// "Use in Scenarios" on one text: when the first "ValidInScenarios" element reads "eFalse"
// (any case), the text with "eTrue" in its place; otherwise (another value, or no element)
// no output and the row is passed over.
EditResult UseInScenariosEdit(const RowPaths& row, const QString& text);

// The whole "Use in Scenarios" command: its confirmation, the selection and product checks,
// no clean-up, no "BluePrints.pak" deletion and no closing message. The window sets the
// In Scenarios cell of every row whose outcome is Written to UseInScenariosCell.
PipelineResult UseInScenarios(const std::vector<SelectedRow>& rows, const QString& gamePath,
                              const PipelineHooks& hooks = PipelineHooks());
inline const QString UseInScenariosCell = QStringLiteral("Yes");

// The texts of the edits.
QString UseInScenariosWarning();
QString FailedConversionMessage(const QString& failedName);
inline const QString NoRollingStockMessage = QStringLiteral("You do not appear to have selected any rolling stock");
inline const QString ModifiedMessage = QStringLiteral("Your rolling-stock has been modified as requested.");

} // namespace assets
