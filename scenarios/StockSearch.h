#pragma once
// The scenario editor's search for available rolling stock: walks a folder of the game's
// "Assets" tree (a folder's files, then its sub-folders depth first, each sorted ignoring
// case), has the serializer turn every candidate blueprint into XML once, classifies it as
// engine, wagon or tender, and keeps the blueprints of the ticked kind as entries that the
// window lists by name and the swaps read.
//
// Every test on a path reads only the part below the game's "Assets" folder, so the folders
// the game is installed in never decide anything; a folder outside "Assets" is refused.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace scenarios {

// The captions of the kind options, in their order.
const QStringList& stockTypeCaptions();

// The folders of a vehicle that hold its parts (shapes, cab, textures...), never blueprints
// of rolling stock.
const QStringList& stockPartFolderNames();

enum class StockKind { None, Engine, Wagon, Tender };

// One converted blueprint, classified once: an engine when it holds an engine component,
// else a wagon, else a tender. The name (and an engine's type) is read from the first Name
// (EngineType) element; nameError is the error reading it raised (0: none).
struct StockBlueprint {
    StockKind kind = StockKind::None;
    QString name;
    QString engineType;
    int nameError = 0;
};
StockBlueprint classifyStockBlueprint(const QString& xml);

// The search's three questions on one classification. A "yes" whose name could not be read
// throws that error (VbError 5); a "no" leaves Name (and EngineType) as they were.
void IsItALoco(const StockBlueprint& blueprint, bool& IsLoco, QString& Name, QString& EngineType);
void IsItAWagon(const StockBlueprint& blueprint, bool& IsWagon, QString& Name);
void IsItATender(const StockBlueprint& blueprint, bool& IsTender, QString& Name);

// Which question a file is put, from its path below "Assets" (the leading "\" included, as
// "\Prov\Prod\RailVehicles\Diesel\A\a.bin") and the kind.
enum class StockQuestion {
    Skip,        // not converted at all
    Loco,        // engines of any type
    Wagon,
    Tender,
    LocoOrWagon, // the multiple-unit kinds
    ListAll,     // engines of the kind's type, and every wagon
};
StockQuestion stockQuestionFor(const QString& pathBelowAssets, const QString& stockType, bool listAll);

// A found blueprint.
struct StockEntry {
    QString name;      // its Name
    QString blueprint; // its path below the product folder, ending in ".xml"
    QString provider;
    QString product;
    QString fullPath;  // GamePath & "\Assets\" & provider & "\" & product & "\" & blueprint
    StockKind kind = StockKind::None;
    QString type;      // the kind ticked for the search
};

// "G\Assets\Prov\Prod\Rest\a.bin" below the assets prefix "G\Assets": provider, product and
// the blueprint path "Rest\a.xml" (the rest after the product folder, its last three
// characters replaced by "xml"). False for a file not below a product folder.
bool splitStockPath(const QString& pathBelowAssets, QString& provider, QString& product, QString& blueprint);

// The question asked before a search of a folder that is no rolling-stock folder.
QString listAllStockQuestion();
// The refusal of a folder outside the game's "Assets" folder.
QString stockFolderOutsideAssetsMessage(const QString& folder, const QString& assetsFolder);

class StockSearch {
public:
    enum class Outcome { Done, Cancelled, Refused, Stopped };

    struct Hooks {
        std::function<void(const StockEntry&)> added; // each entry as it is found
        std::function<bool()> stopRequested;          // asked before each folder and blueprint
    };

    // What a search spent: folders listed, files converted, and the time in the serializer.
    struct Stats {
        int folders = 0;
        int conversions = 0;
        qint64 serializerNs = 0;
    };

    // Searches folder (a game-style or native path below GamePath & "\Assets") for the kind
    // tickedCaption (empty when no option is ticked: the last kind stays). Sets ListAllStock,
    // StockBasePath and AssetsBasePath of the shared state. Every sub-folder is walked, a linked
    // one too, unless it lies on the walk's own way down (a loop); a folder below a link that
    // leads nowhere is a missing folder (error 76). Candidates and folders whose names are not
    // text on this system are named in one message after the walk.
    Outcome search(const QString& folder, const QString& tickedCaption, const Hooks& hooks = {});

    // The entry a row of the list stands for: the first one of that name (ignoring case);
    // -1 when none.
    int entryOfRow(const QString& rowText) const;
    // The full path shown for a row; "" when no entry has its name.
    QString pathOfRow(const QString& rowText) const;

    QList<StockEntry> entries;  // in the order found
    QStringList StockNames;     // entries' names
    QStringList StockBlueprints; // entries' blueprint paths
    int StockCount = 0;
    QString StockType;
    QString StockProvider;
    QString StockProduct;
    Stats stats;

private:
    struct Walk;
    struct WalkStep;
    void listFolder(Walk& walk, const QString& nativeFolder, const QString& below);
    void examineFile(Walk& walk, const WalkStep& step);
};

} // namespace scenarios
