#pragma once
// Scenario packaging without the windows: the stock rows of a scenario's vehicles (with the lamp
// data of head-code and tail-lamp vehicles), the copy lines of the package batch, and the
// hand-off files the installer reads: "Scenario.zzz" (the scenarios' properties blocks of the
// route's scenario index), "Scenario.yyy" (route folder and scenario folders) and
// "Scenario.qqq" (the stock rows). The route list's scenario package and the asset folder
// packager's scenario mode both build on it.
//
// Positions of the text readers count from 1, 0 meaning "not found", as in the tag helpers.

#include <QString>
#include <QStringList>

#include <functional>

namespace packaging {

// The hub's file-name box: the hub registers a function that shows a path in it; the stock
// scan hands it the path of the "Scenario.bin" it scans. Unset, nothing is shown.
std::function<void(const QString&)>& HubFileNameBox();

// The step that makes the program folder's lamp add-on ("LumavethLights") ready before a
// package copies it (by default the asset editor's, which turns its XML sources into the user's
// own binaries); returns false with a reason when it cannot.
std::function<bool(QString* error)>& LampAddOnInstaller();

// The suffix of a vehicle's blueprint path (its BlueprintID without ".xml"): the text from the
// last "_" on ("_MT"); "" when the path holds no "_".
QString VehicleSuffix(const QString& path);
// Crew and stock-variant suffixes ("_MT", "_DO", ...): such vehicles are not read for lamps.
bool IsVariantSuffix(const QString& suffix);
// Head-code suffixes and "_Rear": such vehicles carry lamps and need the lamp add-on.
bool IsLampSuffix(const QString& suffix);

// The lamp fields of a stock row.
struct LampDetail {
    qint16 headLamp1 = 0;
    qint16 headLamp2 = 0;
    QString x1, y1, z1, x2, y2, z2;
    QString provider, product, blueprintId;
    bool operator==(const LampDetail&) const = default;
};

// From pos, finds "=" & quote & valueType (ignoring case); result becomes the text between the
// next ">" and the next "</e", pos the position of that "</e". When the search text (or the
// ">" or "</e" after it) is absent, pos becomes 0 and result is unchanged.
void GetElement(const QString& text, qsizetype& pos, const QString& valueType, QString& result);

// provider: the text between the ">" and the next "<" after the last "<Provider" beginning at
// or before pos; product: the same after the first "<Product" from that "<Provider" on. All
// searches ignore case. Without a "<Provider" there, both are left as they are.
void GetProviderProduct(qsizetype pos, QString& provider, QString& product, const QString& text);

// Reads the lamp children of a vehicle blueprint's XML text into lamp when suffix is a lamp
// suffix; returns whether it is one (the package then needs the lamp add-on). A lamp child that
// cannot be read whole leaves lamp with no lamp data at all.
bool GetLampDetail(const QString& blueprintText, const QString& suffix, LampDetail& lamp);

// The stock row of a vehicle: vehicle (Provider\Product\BlueprintID) and the eleven lamp fields.
QString StockRow(const QString& vehicle, const LampDetail& lamp);

// Reads the XML text of a vehicle blueprint ("" when it cannot be read); path is the BlueprintID
// without ".xml", name its part after the last "\".
using BlueprintReader = std::function<QString(const QString& provider, const QString& product,
                                              const QString& path, const QString& name)>;

struct StockScan {
    QStringList rows; // in the scenario's order
    bool lampAddOnNeeded = false;
};

// The stock rows of a scenario's XML text: one per "<BlueprintID d:type" element. Vehicles with
// a crew or variant suffix are not read; every other one is read through read. progress, when
// set, receives each vehicle's name.
StockScan ScanStockText(const QString& scenarioXml, const BlueprintReader& read,
                        const std::function<void(const QString&)>& progress = {});

struct ScenarioStock {
    bool converted = false; // the scenario's "Scenario.bin" was converted
    QString scenarioFile;   // its path
    QString error;          // why it was not
    StockScan scan;
};

// Scans the scenario folder's "Scenario.bin": shows its path in the hub's file-name box, clears
// SkipOpenDialog, converts it into TempFiles\Scenario.xml (kept in ScanFileText) and reads every
// vehicle blueprint of the game through the serializer, each blueprint once.
ScenarioStock ListScenarioStock(const QString& scenarioFolder,
                                const std::function<void(const QString&)>& progress = {});

// The stock rows without a row equal (ignoring case) to the row before it.
QStringList RemoveDuplicateRows(const QStringList& sortedRows);

// The batch line copying a scenario folder's ".bin" files into the package:
// call Xcopy "<scenario>\*.bin" "<program>\<package>\Rail Simulator\<target>\*.*" /I /C /S
QString ScenarioCopyLine(const QString& scenarioFolder, const QString& programFolder,
                         const QString& packageFolder, const QString& targetPart);
// The batch line copying the lamp add-on into the package.
QString LampAddOnCopyLine(const QString& programFolder, const QString& packageFolder);

// "Scenario.yyy": the route line, then each row's text after its last "\", each line ending in
// CR LF.
QString ScenarioYyyText(const QString& routeLine, const QStringList& rows);
// "Scenario.qqq": each stock row followed by CR LF, then one more CR LF.
QString ScenarioQqqText(const QStringList& stockRows);

// The route's scenario index for a package entry
// "Rail Simulator\Content\Routes\<route>\Scenarios\<scenario>":
// GamePath & "\Content\Routes\<route>\Scenarios.bin"; "" when it names no scenarios folder.
QString RouteIndexPath(const QString& gamePath, const QString& relEntry);

// Each row's properties block of the index text (found by the row's folder name after its last
// "\" as DevString), followed by CR LF; rows without a block go to missing.
QString ScenarioZzzText(const QString& indexXml, const QStringList& rows, QStringList* missing = nullptr);

struct PropertiesResult {
    bool ok = false;       // the index was converted and TempFiles\Scenario.zzz written
    QString indexPath;     // the route's scenario index
    QString error;         // why not
    QStringList missing;   // rows without a block (left out)
};

// Builds TempFiles\Scenario.zzz anew for the package rows: the route index of relEntry (the
// first added scenario) is converted into TempFiles\Scenario.xml and each row's block taken.
PropertiesResult ExtractScenarioProperties(const QString& relEntry, const QStringList& rows);

// Writes the batch text into TempFiles\do_read.bat (followed by CR LF) and runs it from
// TempFiles in a visible window, waiting for it. Raises VbError when it cannot be written or
// started.
void RunPackageBatch(const QString& batchText);

// Copies the program folder's "RouteSetup.exe" to <package>\AssetSetup.exe, making the package
// folder when needed. Raises VbError 53 when the installer is missing, 75 when it cannot copy.
void CopyInstaller(const QString& packageFolderPath);

// Writes an ANSI file whole (an empty text gives an empty file). Raises VbError 75 on failure.
void WritePackageFile(const QString& path, const QString& text);

// The messages of the scenario package.
QString packageSavedQuestion(const QString& what, const QString& packagePath);
QString scenarioNotConvertedMessage(const QString& path, const QString& reason);
QString indexNotConvertedMessage(const QString& path, const QString& reason);
QString propertiesMissingMessage(const QStringList& rows);
QString noScenarioSelectedMessage();
QString otherRouteMessage();
QString alreadyInPackageMessage();
QString emptyPackageMessage();
QString unsafePathMessage(const QString& path);

} // namespace packaging
