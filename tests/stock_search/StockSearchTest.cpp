// The stock search without its window: which files it converts for each kind, what it lists,
// the entries' paths, the list-all mode and its question, and the failures it reports.
#include "StockGame.h"

#include "scenarios/StockSearch.h"
#include "scenarios/ScenarioText.h"

#include <QFile>

#include <algorithm>

using namespace scenarios;
using namespace stocktest;

namespace {

const QString kQuestion = QStringLiteral("You have not selected a Rail Vehicles folder");

QStringList sortedNames(const StockSearch& search)
{
    QStringList names = search.StockNames;
    names.sort();
    return names;
}

// ---- path rules and classification ---------------------------------------------------------

TEST(StockRules, QuestionFollowsThePathBelowAssetsAndTheKind)
{
    using Q = StockQuestion;
    struct Row {
        const char* path;
        const char* type;
        bool listAll;
        Q expected;
    };
    const Row rows[] = {
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\a.bin", "Diesel", false, Q::Loco},
        {"\\P\\Q\\RailVehicles\\diesel\\A\\a.BIN", "Diesel", false, Q::Loco},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\abin", "Diesel", false, Q::Loco}, // "ends in bin" only
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\a.xml", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Electric\\A\\a.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Electric\\A\\a.bin", "Electric", false, Q::Loco},
        {"\\P\\Q\\RailVehicles\\Steam\\A\\a.bin", "Steam", false, Q::Loco},
        {"\\P\\Q\\RailVehicles\\Steam\\A\\Tender\\t.bin", "Tender", false, Q::Tender},
        {"\\P\\Q\\RailVehicles\\Tender\\t.bin", "Tender", false, Q::Skip}, // tenders only on Steam paths
        {"\\P\\Q\\RailVehicles\\Passenger\\Coach\\c.bin", "Passenger", false, Q::Wagon},
        {"\\P\\Q\\RailVehicles\\Freight\\PassengerVan\\v.bin", "Passenger", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Freight\\PassengerVan\\v.bin", "Freight", false, Q::Wagon},
        {"\\P\\Q\\RailVehicles\\Freight\\Passenger\\v.bin", "Freight", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Freight\\Box\\Textures\\v.bin", "Freight", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Freight\\Box\\simulation\\v.bin", "Freight", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\CabView\\c.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\Camera\\c.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\PassengerView\\c.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\Bogie\\c.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\Digit\\c.bin", "Diesel", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Units\\A\\a.bin", "DMU", false, Q::LocoOrWagon},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\a.bin", "DMU", false, Q::LocoOrWagon},
        {"\\P\\Q\\RailVehicles\\Units\\A\\abin", "DMU", false, Q::Skip}, // ".bin" here
        {"\\P\\Q\\RailVehicles\\Freight\\A\\a.bin", "DMU", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Steam\\A\\a.bin", "DMU", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Electric\\A\\a.bin", "DMU", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Electric\\A\\a.bin", "EMU", false, Q::LocoOrWagon},
        {"\\P\\Q\\RailVehicles\\Diesel\\A\\a.bin", "EMU", false, Q::Skip},
        {"\\P\\Q\\RailVehicles\\Units\\Textures\\a.bin", "EMU", false, Q::Skip},
        {"\\P\\Q\\Anything\\a.bin", "Diesel", true, Q::ListAll},
        {"\\P\\Q\\Anything\\abin", "Diesel", true, Q::Skip},
        {"\\P\\Q\\Anything\\Bogie\\a.bin", "Diesel", true, Q::Skip},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(int(stockQuestionFor(QString::fromLatin1(row.path), QString::fromLatin1(row.type), row.listAll)),
                  int(row.expected))
            << row.path << " " << row.type << " " << row.listAll;
    }
}

TEST(StockRules, StoredPathIsCutByPositionAfterTheProductFolder)
{
    struct Row {
        const char* below;
        bool ok;
        const char* provider;
        const char* product;
        const char* blueprint;
    };
    const Row rows[] = {
        {"\\Prov\\Prod\\RailVehicles\\Diesel\\A\\a.bin", true, "Prov", "Prod", "RailVehicles\\Diesel\\A\\a.xml"},
        // The product's name stands earlier in the provider's name.
        {"\\Sample01Team\\Sample01\\RailVehicles\\a.bin", true, "Sample01Team", "Sample01", "RailVehicles\\a.xml"},
        {"\\Prod\\Prod\\Prod\\a.bin", true, "Prod", "Prod", "Prod\\a.xml"},
        {"\\Prov\\Prod\\a.bin", true, "Prov", "Prod", "a.xml"},
        {"\\Prov\\a.bin", false, "", "", ""},
        {"\\a.bin", false, "", "", ""},
    };
    for (const Row& row : rows) {
        QString provider, product, blueprint;
        EXPECT_EQ(splitStockPath(QString::fromLatin1(row.below), provider, product, blueprint), row.ok) << row.below;
        EXPECT_EQ(provider, QString::fromLatin1(row.provider)) << row.below;
        EXPECT_EQ(product, QString::fromLatin1(row.product)) << row.below;
        EXPECT_EQ(blueprint, QString::fromLatin1(row.blueprint)) << row.below;
    }
}

TEST(StockRules, ClassificationAndTheThreeQuestions)
{
    struct Row {
        QString xml;
        StockKind kind;
        const char* name;
        const char* engineType;
        int nameError;
    };
    const Row rows[] = {
        {QString::fromUtf8(engineXml("Class 90", "Electric")), StockKind::Engine, "Class 90", "Electric", 0},
        {QString::fromUtf8(wagonXml("Box Van")), StockKind::Wagon, "Box Van", "", 0},
        {QString::fromUtf8(tenderXml("Coal Tender")), StockKind::Tender, "Coal Tender", "", 0},
        // An engine's own wagon parts do not make it a wagon.
        {QStringLiteral("<cEngineBlueprint><Name>E</Name><cEngineComponentBlueprint/><cWagonBlueprint/>"), StockKind::Engine, "E", "", 0},
        {QStringLiteral("<cWagonBlueprint><Name>W</Name><cTenderBlueprint/>"), StockKind::Wagon, "W", "", 0},
        {QStringLiteral("<cSceneryBlueprint><Name>Tree</Name></cSceneryBlueprint>"), StockKind::None, "", "", 0},
        // A Name within the first 10 characters is still read.
        {QStringLiteral("<Name>Early</Name><cWagonBlueprint/>"), StockKind::Wagon, "Early", "", 0},
        {QStringLiteral("<cWagonBlueprint><Title>x</Title></cWagonBlueprint>"), StockKind::Wagon, "", "", 5},
        {QStringLiteral("<cWagonBlueprint><Name>unclosed"), StockKind::Wagon, "", "", 5},
    };
    for (const Row& row : rows) {
        const StockBlueprint b = classifyStockBlueprint(row.xml);
        EXPECT_EQ(int(b.kind), int(row.kind)) << qPrintable(row.xml);
        EXPECT_EQ(b.name, QString::fromLatin1(row.name)) << qPrintable(row.xml);
        EXPECT_EQ(b.engineType, QString::fromLatin1(row.engineType)) << qPrintable(row.xml);
        EXPECT_EQ(b.nameError, row.nameError) << qPrintable(row.xml);

        bool loco = true, wagon = true, tender = true;
        QString name = QStringLiteral("kept"), type = QStringLiteral("kept");
        if (row.nameError != 0) {
            EXPECT_THROW(IsItAWagon(b, wagon, name), VbError);
            continue;
        }
        IsItALoco(b, loco, name, type);
        EXPECT_EQ(loco, row.kind == StockKind::Engine);
        EXPECT_EQ(type, loco ? QString::fromLatin1(row.engineType) : QStringLiteral("kept"));
        IsItAWagon(b, wagon, name);
        EXPECT_EQ(wagon, row.kind == StockKind::Wagon);
        IsItATender(b, tender, name);
        EXPECT_EQ(tender, row.kind == StockKind::Tender);
        EXPECT_EQ(name, row.kind == StockKind::None ? QStringLiteral("kept") : QString::fromLatin1(row.name));
    }
}

// The first element of a name, as the stock search and the swaps read it: found whatever the
// case of its tag; an absent one is told apart from an empty one (the search reports it, the
// swaps read it as ""); an element left open is an error.
TEST(StockRules, FirstElementValue)
{
    const struct {
        const char* text;
        const char* tag;
        bool found;
        const char* value; // what the value holds after the reading ("kept": untouched)
        int searchError;   // the stock search's name error for a wagon of this text
    } rows[] = {
        {"<cWagonBlueprint><Name>Box</Name><Name>Second</Name>", "Name", true, "Box", 0},
        {"<cWagonBlueprint><name>lower</name>", "Name", true, "lower", 0},
        {"<cWagonBlueprint><NAME>upper</NAME>", "Name", true, "upper", 0},
        {"<cWagonBlueprint><Name></Name>", "Name", true, "", 0},
        {"<cWagonBlueprint><Name d:type=\"cDeltaString\">Typed</Name>", "Name", true, "Typed", 0},
        {"<cWagonBlueprint><Title>x</Title>", "Name", false, "kept", 5},
        {"<cWagonBlueprint>", "Name", false, "kept", 5},
        {"<v><UniqueNumber>4740</UniqueNumber><UniqueNumber>1</UniqueNumber></v>", "UniqueNumber", true, "4740", -1},
        {"<v><Number>4740</Number></v>", "UniqueNumber", false, "kept", -1},
    };
    for (const auto& row : rows) {
        const QString text = QString::fromLatin1(row.text);
        QString value = QStringLiteral("kept");
        EXPECT_EQ(firstElementValue(text, QString::fromLatin1(row.tag), value), row.found) << row.text;
        EXPECT_EQ(value, QString::fromLatin1(row.value)) << row.text;
        if (row.searchError >= 0) {
            const StockBlueprint b = classifyStockBlueprint(text);
            EXPECT_EQ(b.nameError, row.searchError) << row.text;
            EXPECT_EQ(b.name, row.found ? QString::fromLatin1(row.value) : QString()) << row.text;
        }
    }
    QString value;
    EXPECT_THROW(firstElementValue(QStringLiteral("<a><Name>open"), QStringLiteral("Name"), value), VbError);
}

// ---- searches on a game ---------------------------------------------------------------------

class StockSearchGame : public StockGame {
protected:
    // One vehicle of each sort below Prov\Prod, and files the search must never convert:
    // those carry the serializer's failure mark, so converting one shows an error message
    // that the scripted interface does not expect.
    void writeStock()
    {
        const QByteArray fail = kFailMark;
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/A/a.bin", engineXml("Diesel A", "Diesel"));
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/B/Engine/b.bin", engineXml("Diesel B", "Electric"));
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/B/Wagon/w.bin", wagonXml("Diesel Van"));
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/B/Engine/Textures/t.bin", fail + wagonXml("Texture"));
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/B/Engine/CabView/c.bin", fail + engineXml("Cab", "Diesel"));
        writeBlueprint("Prov/Prod/RailVehicles/Diesel/B/Engine/b.GeoPcDx", fail);
        writeBlueprint("Prov/Prod/RailVehicles/Electric/E1/e.bin", engineXml("Electric E1", "Electric"));
        writeBlueprint("Prov/Prod/RailVehicles/Steam/S1/Engine/s.bin", engineXml("Steam S1", "Steam"));
        writeBlueprint("Prov/Prod/RailVehicles/Steam/S1/Tender/t.bin", tenderXml("Steam Tender"));
        writeBlueprint("Prov/Prod/RailVehicles/Freight/PassengerVan/v.bin", wagonXml("Parcels Van"));
        writeBlueprint("Prov/Prod/RailVehicles/Passenger/Coach/c.bin", wagonXml("Coach"));
        writeBlueprint("Prov/Prod/RailVehicles/Units/Power/d.bin", engineXml("Unit Car", "Diesel"));
        writeBlueprint("Prov/Prod/RailVehicles/Units/Trailer/t.bin", wagonXml("Unit Trailer"));
        writeBlueprint("Prov/Other/Stock/x.bin", wagonXml("Other Van"));
        writeBlueprint("Prov/loose.bin", fail + wagonXml("Loose")); // not below a product folder
    }

    void checkKinds()
    {
        struct Row {
            const char* type;
            QStringList names;
            int conversions;
        };
        const Row rows[] = {
            {"Diesel", {"Diesel A", "Diesel B"}, 3},
            {"Electric", {"Electric E1"}, 1},
            {"Steam", {"Steam S1"}, 2},
            {"Tender", {"Steam Tender"}, 2},
            {"Passenger", {"Coach"}, 1},
            {"Freight", {"Parcels Van"}, 1},
            {"DMU", {"Coach", "Diesel A", "Diesel B", "Diesel Van", "Unit Car", "Unit Trailer"}, 6},
            {"EMU", {"Coach", "Electric E1", "Unit Car", "Unit Trailer"}, 4},
        };
        for (const Row& row : rows) {
            StockSearch search;
            QStringList added;
            StockSearch::Hooks hooks;
            hooks.added = [&added](const StockEntry& e) { added.append(e.name); };
            EXPECT_EQ(search.search(assetsFolder("Prov\\Prod\\RailVehicles"), QString::fromLatin1(row.type), hooks),
                      StockSearch::Outcome::Done);
            EXPECT_EQ(sortedNames(search), row.names) << row.type;
            EXPECT_EQ(added, search.StockNames) << row.type;
            EXPECT_EQ(search.StockCount, row.names.size()) << row.type;
            EXPECT_EQ(search.stats.conversions, row.conversions) << row.type;
            EXPECT_FALSE(shared().ListAllStock);
            for (const StockEntry& e : search.entries) {
                EXPECT_EQ(e.type, QString::fromLatin1(row.type));
                EXPECT_EQ(e.provider, "Prov");
                EXPECT_EQ(e.product, "Prod");
                EXPECT_TRUE(e.blueprint.startsWith("RailVehicles\\")) << qPrintable(e.blueprint);
                EXPECT_TRUE(e.blueprint.endsWith(".xml")) << qPrintable(e.blueprint);
            }
        }
        EXPECT_TRUE(ui.messages().isEmpty());
        EXPECT_FALSE(tree.exists("program/TempFiles/temp.xml"));
    }
};

TEST_F(StockSearchGame, EachKindConvertsOnlyItsPathsAndListsOnlyItsBlueprints)
{
    writeStock();
    checkKinds();
}

TEST_F(StockSearchGame, AGameBelowFoldersNamedLikeTheKindsChangesNothing)
{
    useGame("SteamLibrary/steamapps/common/Electric Diesel Freight/Rail Simulator");
    writeStock();
    checkKinds();
}

TEST_F(StockSearchGame, EntriesCarryThePathsBelowTheirProductFolder)
{
    writeStock();
    StockSearch search;
    ASSERT_EQ(search.search(assetsFolder("Prov\\Prod\\RailVehicles"), "Diesel"), StockSearch::Outcome::Done);
    const QString g = shared().GamePath;
    EXPECT_EQ(search.StockProvider, "Prov");
    EXPECT_EQ(search.StockProduct, "Prod");
    EXPECT_EQ(shared().StockBasePath, "Prod");
    EXPECT_EQ(shared().AssetsBasePath, g + "\\Assets\\Prov\\Prod");
    ASSERT_EQ(search.StockCount, 2);
    // Walk order: a folder's files, then its sub-folders, each sorted ignoring case.
    EXPECT_EQ(search.StockNames, (QStringList{"Diesel A", "Diesel B"}));
    EXPECT_EQ(search.StockBlueprints,
              (QStringList{"RailVehicles\\Diesel\\A\\a.xml", "RailVehicles\\Diesel\\B\\Engine\\b.xml"}));
    EXPECT_EQ(search.entries.at(0).fullPath, g + "\\Assets\\Prov\\Prod\\RailVehicles\\Diesel\\A\\a.xml");
    EXPECT_EQ(int(search.entries.at(0).kind), int(StockKind::Engine));
    EXPECT_EQ(search.pathOfRow("diesel b"), g + "\\Assets\\Prov\\Prod\\RailVehicles\\Diesel\\B\\Engine\\b.xml");
    EXPECT_EQ(search.pathOfRow("Nothing"), QString());
    // Every folder of the tree is listed once, the part folders too.
    EXPECT_EQ(search.stats.folders, 21);
}

TEST_F(StockSearchGame, ListAllAsksThenListsEnginesOfTheTickedTypeAndEveryWagon)
{
    writeStock();
    // Cancel: nothing is converted or listed.
    ui.expectMsgBox(vb::vbCancel, kQuestion);
    StockSearch search;
    EXPECT_EQ(search.search(assetsFolder("Prov"), "Diesel"), StockSearch::Outcome::Cancelled);
    EXPECT_EQ(search.StockCount, 0);
    EXPECT_EQ(search.stats.conversions, 0);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "You have not selected a Rail Vehicles folder. In this case,  \r\n"
                                     "you will get a list of ALL rolling stock, not just types selected above.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKCancel + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());

    // OK: engines whose type is the ticked caption, every wagon, no tender; each entry with
    // its own product. The loose file below the provider is never converted.
    ui.expectMsgBox(vb::vbOK, kQuestion);
    EXPECT_EQ(search.search(assetsFolder("Prov"), "Diesel"), StockSearch::Outcome::Done);
    EXPECT_TRUE(shared().ListAllStock);
    EXPECT_EQ(sortedNames(search),
              (QStringList{"Coach", "Diesel A", "Diesel Van", "Other Van", "Parcels Van", "Unit Car", "Unit Trailer"}));
    const int other = search.entryOfRow("Other Van");
    ASSERT_GE(other, 0);
    EXPECT_EQ(search.entries.at(other).product, "Other");
    EXPECT_EQ(search.entries.at(other).blueprint, "Stock\\x.xml");
    EXPECT_EQ(search.entries.at(other).fullPath, shared().GamePath + "\\Assets\\Prov\\Other\\Stock\\x.xml");

    // A rolling-stock folder afterwards lists by kind again, without the question.
    EXPECT_EQ(search.search(assetsFolder("Prov\\Prod\\RailVehicles"), "Electric"), StockSearch::Outcome::Done);
    EXPECT_FALSE(shared().ListAllStock);
    EXPECT_EQ(search.StockNames, QStringList{"Electric E1"});
}

TEST_F(StockSearchGame, AFolderOutsideAssetsIsRefusedBeforeAnythingRuns)
{
    writeStock();
    tree.writeFile(gameRel + "/Content/RailVehicles/Diesel/x.bin", serzBinary(kFailMark + engineXml("X", "Diesel")));
    tree.writeFile("Elsewhere/Assets/Prov/Prod/RailVehicles/Diesel/y.bin", serzBinary(kFailMark + engineXml("Y", "Diesel")));
    for (const QString& folder : {shared().GamePath + "\\Content\\RailVehicles", tree.path("Elsewhere/Assets/Prov/Prod/RailVehicles"),
                                  shared().GamePath + "\\AssetsOld\\RailVehicles"}) {
        ui.clearRecords();
        ui.expectMsgBox(vb::vbOK, "is not inside the game's Assets folder");
        StockSearch search;
        EXPECT_EQ(search.search(folder, "Diesel"), StockSearch::Outcome::Refused) << qPrintable(folder);
        EXPECT_EQ(search.stats.conversions, 0);
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_TRUE(ui.lastMessage().text.contains(folder)) << qPrintable(ui.lastMessage().text);
        EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    }
}

TEST_F(StockSearchGame, FailuresAreReportedAndTheWalkGoesOn)
{
    writeBlueprint("Prov/Prod/RailVehicles/Diesel/A/1broken.bin", kFailMark + engineXml("Broken", "Diesel"));
    writeBlueprint("Prov/Prod/RailVehicles/Diesel/A/2nameless.bin", "<cEngineComponentBlueprint/><EngineType>Diesel</EngineType>");
    writeBlueprint("Prov/Prod/RailVehicles/Diesel/A/3early.bin", "<Name>Early</Name><cEngineComponentBlueprint/>");
    writeBlueprint("Prov/Prod/RailVehicles/Diesel/A/4good.bin", engineXml("Good", "Diesel"));
    // A work file left from an earlier run is never taken for the broken blueprint's result.
    tree.writeFile("program/TempFiles/temp.xml", engineXml("Stale", "Diesel"));

    // The engine test passes over the blueprint the serializer could not convert.
    ui.expectMsgBox(vb::vbOK, "Error 5 ");
    StockSearch search;
    EXPECT_EQ(search.search(assetsFolder("Prov\\Prod\\RailVehicles"), "Diesel"), StockSearch::Outcome::Done);
    EXPECT_EQ(search.StockNames, (QStringList{"Early", "Good"}));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages().at(0).text, "Error 5 occurred in WorkWithSubFolders");
    EXPECT_EQ(ui.messages().at(0).style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_FALSE(tree.exists("program/TempFiles/temp.xml"));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));
}

// A blueprint the serializer cannot convert is no engine to the engine tests, which say
// nothing; the wagon and tender tests report it, also after an engine test said no.
TEST_F(StockSearchGame, OnlyTheWagonAndTenderTestsReportABlueprintThatCannotBeConverted)
{
    const struct {
        const char* kind;
        const char* folder; // below Assets: the broken blueprint and a good one of the kind
        QByteArray good;
        bool reported;
    } rows[] = {
        {"Diesel", "Prov/A/RailVehicles/Diesel", engineXml("Good", "Diesel"), false},
        {"Electric", "Prov/B/RailVehicles/Electric", engineXml("Good", "Electric"), false},
        {"Steam", "Prov/C/RailVehicles/Steam", engineXml("Good", "Steam"), false},
        {"Passenger", "Prov/D/RailVehicles/Passenger", wagonXml("Good"), true},
        {"Freight", "Prov/E/RailVehicles/Freight", wagonXml("Good"), true},
        {"Tender", "Prov/F/RailVehicles/Steam", tenderXml("Good"), true},
        {"DMU", "Prov/G/RailVehicles/Units", engineXml("Good", "Diesel"), true},
        {"EMU", "Prov/H/RailVehicles/Units", wagonXml("Good"), true},
        {"Diesel", "Prov/I/Stock", engineXml("Good", "Diesel"), true}, // every rolling stock
    };
    for (const auto& row : rows) {
        const QString folder = QString::fromLatin1(row.folder);
        writeBlueprint(folder + "/1broken.bin", kFailMark + wagonXml("Broken"));
        writeBlueprint(folder + "/2good.bin", row.good);
        const bool listAll = !folder.contains("RailVehicles");
        ui.clearRecords();
        if (listAll)
            ui.expectMsgBox(vb::vbOK, kQuestion);
        if (row.reported)
            ui.expectMsgBox(vb::vbOK, "Error 53");
        StockSearch search;
        EXPECT_EQ(search.search(assetsFolder(QString(folder).replace('/', '\\')), QString::fromLatin1(row.kind)),
                  StockSearch::Outcome::Done);
        EXPECT_EQ(search.StockNames, QStringList{"Good"}) << row.folder;
        EXPECT_EQ(search.stats.conversions, 2) << row.folder;
        ASSERT_EQ(ui.messages().size(), (listAll ? 1 : 0) + (row.reported ? 1 : 0)) << row.folder;
        if (row.reported) {
            EXPECT_EQ(ui.lastMessage().text, "Error 53 occurred in WorkWithSubFolders");
            EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        }
        ui.verifyDone();
    }
}

// A folder reached from the drive's own folder is the same folder below Assets as the game
// folder's path names it; a folder elsewhere on the drive is still refused.
TEST_F(StockSearchGame, AFolderNamedFromItsDriveIsSearchedBelowTheGamesAssets)
{
    useGame("wine/drive_c/Games/RS");
    writeStock();
    shared().GamePath = "C:\\Games\\RS";
    StockSearch search;
    EXPECT_EQ(search.search(tree.path("wine/drive_c") + "\\games\\RS\\Assets\\Prov\\Prod\\RailVehicles", "Diesel"),
              StockSearch::Outcome::Done);
    EXPECT_EQ(sortedNames(search), (QStringList{"Diesel A", "Diesel B"}));
    EXPECT_EQ(search.pathOfRow("Diesel A"), "C:\\Games\\RS\\Assets\\Prov\\Prod\\RailVehicles\\Diesel\\A\\a.xml");
    EXPECT_EQ(shared().AssetsBasePath, "C:\\Games\\RS\\Assets\\Prov\\Prod");

    tree.makeDir("wine/drive_c/Games/Other/Assets/Prov/Prod/RailVehicles");
    ui.expectMsgBox(vb::vbOK, "is not inside the game's Assets folder");
    EXPECT_EQ(search.search(tree.path("wine/drive_c/Games/Other/Assets/Prov/Prod/RailVehicles"), "Diesel"),
              StockSearch::Outcome::Refused);
}

TEST_F(StockSearchGame, AStopRequestEndsTheSearchAtTheNextBlueprint)
{
    writeStock();
    StockSearch search;
    StockSearch::Hooks hooks;
    bool stop = false;
    hooks.added = [&stop](const StockEntry&) { stop = true; };
    hooks.stopRequested = [&stop] { return stop; };
    EXPECT_EQ(search.search(assetsFolder("Prov\\Prod\\RailVehicles"), "DMU", hooks), StockSearch::Outcome::Stopped);
    EXPECT_EQ(search.StockCount, 1);
    EXPECT_EQ(search.stats.conversions, 1);
}

} // namespace
