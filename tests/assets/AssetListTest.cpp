#include "assets/AssetList.h"

#include "AssetGame.h"
#include "support/ScopedLocale.h"
#include "support/ScopedEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

using namespace assets;

namespace {

// ---- pure text rules ------------------------------------------------------------------------

TEST(AssetListText, PathSplitPrefersTheGameFoldersOwnAssets)
{
    struct Row {
        const char* path;
        const char* gamePath;
        bool listed;
        const char* provider;
        const char* product;
        const char* rest;
    };
    const Row rows[] = {
        // A game folder that itself lies below a folder named "Assets".
        {"/home/me/Assets/RS/Assets/Kuju/RailSimulator/Scenery/Hut.bin", "/home/me/Assets/RS", true, "Kuju",
         "RailSimulator", "Scenery\\Hut.bin"},
        {"C:\\Games\\assets\\Rail Simulator\\Assets\\P\\Q\\a\\b.bin", "c:\\games\\ASSETS\\rail simulator", true, "P", "Q",
         "a\\b.bin"},
        // Mixed separators and any case of "Assets".
        {"C:\\RS/assets\\P/Q\\x.bin", "C:\\RS", true, "P", "Q", "x.bin"},
        // Outside the game folder: the first "Assets" component.
        {"/data/ASSETS/P/Q/R/x.GeoPcDx", "/elsewhere", true, "P", "Q", "R\\x.GeoPcDx"},
        {"/data/Assets/P/Q/R/x.bin", "", true, "P", "Q", "R\\x.bin"},
        // "Assets" must be a whole component.
        {"/data/MyAssets/P/Q/x.bin", "", false, "", "", ""},
        {"/data/Assets2/P/Q/x.bin", "", false, "", "", ""},
        // Without provider, product and file nothing is listed.
        {"/data/Assets/P/x.bin", "", false, "", "", ""},
        {"/data/Assets/x.bin", "/data", false, "", "", ""},
        {"/data/x.bin", "/data", false, "", "", ""},
    };
    for (const Row& r : rows) {
        AssetRow row;
        row.name = QStringLiteral("stale");
        EXPECT_EQ(SplitListedPath(QString::fromUtf8(r.path), QString::fromUtf8(r.gamePath), row), r.listed) << r.path;
        EXPECT_EQ(row.provider, QString::fromUtf8(r.provider)) << r.path;
        EXPECT_EQ(row.product, QString::fromUtf8(r.product)) << r.path;
        EXPECT_EQ(row.path, QString::fromUtf8(r.rest)) << r.path;
        EXPECT_TRUE(row.name.isEmpty()) << r.path;
    }
}

TEST(AssetListText, AssetNameIsTheLanguageTextUnescaped)
{
    struct Row {
        const char* xml;
        const char* language;
        const char* name;
    };
    const Row rows[] = {
        {"<Name><English d:type=\"x\">Class 66</English></Name>", "English", "Class 66"},
        {"<english>lower</english>", "English", "lower"},
        {"<German>Lok</German><English>Loco</English>", "German", "Lok"},
        {"<Name><French>Wagon</French></Name>", "English", ""},     // absent
        {"<English d:type=\"cDeltaString\"></English>", "English", "No Name"}, // empty
        {"<English>Fish &amp;amp; Chips&apos;s</English>", "English", "Fish & Chips's"},
        {"<English>Stra\xc3\xaf\xc2\xbf\xc5\xb8" "e</English>", "English", "Stra\xc3\x9f" "e"},
        // The text runs to the next closing tag of any element.
        {"<English>A<b>B</b></English>", "English", "A<b>B"},
        {"<English>never closed", "English", ""},
    };
    ScopedLocale locale("C"); // the repaired sequence as Windows-1252 reads it
    for (const Row& r : rows)
        EXPECT_EQ(GetAssetName(QString::fromUtf8(r.xml), QString::fromUtf8(r.language)), QString::fromUtf8(r.name))
            << r.xml;
}

TEST(AssetListText, ClassificationTakesTheFirstRuleThatApplies)
{
    struct Row {
        const char* xml;
        const char* category;
        const char* flag;
    };
    const Row rows[] = {
        {"<Category>eRailVehicle</Category>", "RailVehicle", "No"},
        {"<Category>Engine</Category><ValidInScenarios>eTrue</ValidInScenarios>", "Engine", "Yes"},
        {"<Category>ERailVehicle</Category><ValidInScenarios>EFALSE</ValidInScenarios>", "ERailVehicle", "No"},
        {"<category>eeSpecial</category><ValidInScenarios>eMaybe</ValidInScenarios>", "eSpecial", "eMaybe"},
        // Category wins over the later rules.
        {"<Category>eScenery</Category><EngineType>Diesel</EngineType>", "Scenery", "No"},
        {"<EngineType>eDiesel</EngineType><ValidInScenarios>eFalse</ValidInScenarios>", "eDiesel", "Yes"},
        {"<cWagonBlueprint><Name>PASSENGER coach</Name></cWagonBlueprint>", "Passenger", "Yes"},
        {"<cWagonBlueprint><Name>Hopper</Name></cWagonBlueprint>", "Freight Wagon", "Yes"},
        {"<cTenderBlueprint/><ValidInScenarios>eFalse</ValidInScenarios>", "Tender", "Yes"},
        {"<cSceneryBlueprint><ValidInScenarios>eFalse</ValidInScenarios>", "", "No"},
        {"<cSceneryBlueprint><ValidInScenarios>etrue</ValidInScenarios>", "", "Yes"},
        {"<cSceneryBlueprint>", "", "No"},
    };
    for (const Row& r : rows) {
        const Classification c = ClassifyBlueprint(QString::fromUtf8(r.xml));
        EXPECT_EQ(c.category, QString::fromUtf8(r.category)) << r.xml;
        EXPECT_EQ(c.inScenarios, QString::fromUtf8(r.flag)) << r.xml;
    }
}

TEST(AssetListText, BlueprintRowsFilterAndDrop)
{
    const QString loco = QStringLiteral("<English>Class 66</English><EngineType>Diesel</EngineType>");
    struct Row {
        QString xml;
        QString filter;
        QString path;
        bool listed;
    };
    const Row rows[] = {
        {loco, QString(), QStringLiteral("Loco\\66.bin"), true},
        {loco, QStringLiteral("dies"), QStringLiteral("Loco\\66.bin"), true},   // any case
        {loco, QStringLiteral("Electric"), QStringLiteral("Loco\\66.bin"), false},
        {loco, QString(), QStringLiteral("Simulation\\66.bin"), false},         // "simulation" anywhere
        {QStringLiteral("<English>Train SIMULATION</English>"), QString(), QStringLiteral("x.bin"), false},
        {QStringLiteral("<English></English>"), QString(), QStringLiteral("x.bin"), false}, // "No Name"
        {QStringLiteral("<German>Lok</German>"), QString(), QStringLiteral("x.bin"), false}, // no name
        {QString(), QString(), QStringLiteral("x.bin"), false},
    };
    for (const Row& r : rows) {
        AssetRow row{QStringLiteral("Kuju"), QStringLiteral("RailSimulator"), r.path, {}, {}, {}};
        EXPECT_EQ(MakeBlueprintRow(r.xml, r.filter, DefaultNameLanguage, row), r.listed) << r.xml.toStdString();
    }
    AssetRow row{QStringLiteral("Kuju"), QStringLiteral("RailSimulator"), QStringLiteral("Loco\\66.bin"), {}, {}, {}};
    ASSERT_TRUE(MakeBlueprintRow(loco, QString(), DefaultNameLanguage, row));
    EXPECT_EQ(row.text(), QStringLiteral("Kuju\tRailSimulator\tLoco\\66.bin\tClass 66\tYes\tDiesel"));
}

TEST(AssetListText, PatternBox)
{
    EXPECT_EQ(EffectivePattern(QString()), QStringLiteral("*.*"));
    EXPECT_EQ(EffectivePattern(QStringLiteral("*.bin")), QStringLiteral("*.bin"));
    struct Row {
        const char* pattern;
        bool usable;
        bool blueprints;
    };
    const Row rows[] = {
        {"*.bin", true, true},        {"*.BIN", true, true},           {"*.GeoPcDx", true, false},
        {"*.*", true, false},         {"*.GeoPcDx;*.bin", true, true}, {"a\\*.bin", false, true},
        {"a/b", false, false},        {"c:*.bin", false, true},        {"<x>", false, false},
        {"a|b", false, false},        {"\"*.bin\"", false, false},     {"x.bi", true, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsUsablePattern(QString::fromUtf8(r.pattern)), r.usable) << r.pattern;
        EXPECT_EQ(IsBlueprintPattern(QString::fromUtf8(r.pattern)), r.blueprints) << r.pattern;
    }
    EXPECT_EQ(TotalItemsText(12), QStringLiteral("Total items = 12"));
    EXPECT_EQ(ClearedTotalText(), QStringLiteral("Total Items = 0 "));
}

// ---- the walks ------------------------------------------------------------------------------

class AssetWalkTest : public AssetGameTest {
protected:
    WalkCallbacks recording()
    {
        WalkCallbacks cb;
        cb.folder = [this](const QString& folder, const QStringList& files) {
            folders << folder.mid(assets().size()) + QStringLiteral(" [") + files.join(QLatin1Char(',')) + QLatin1Char(']');
        };
        cb.addRow = [this](const AssetRow& row) {
            if (rows.size() >= capacity)
                return false;
            rows << row.text();
            return true;
        };
        cb.events = [this] { ++eventCalls; };
        return cb;
    }

    QStringList folders;
    QStringList rows;
    qsizetype capacity = 1000;
    int eventCalls = 0;
};

TEST_F(AssetWalkTest, SubFoldersLastFirstThenOwnFilesByName)
{
    for (const char* rel : {"P/Q/top.GeoPcDx", "P/Q/Alpha.GeoPcDx", "P/Q/a/one.GeoPcDx", "P/Q/B/two.GeoPcDx",
                            "P/Q/c/three.GeoPcDx", "P/Q/c/Deep/four.GeoPcDx", "P/Q/c/note.txt", "P/Q/B/x.bin"})
        tree.writeFile(QStringLiteral("game/Assets/") + QString::fromUtf8(rel), "data");
    // A link to a folder walked elsewhere is walked again, as the folder list shows it twice.
    ASSERT_TRUE(QFile::link(tree.path("game/Assets/P/Q/a"), tree.path("game/Assets/P/Q/zLink")));

    QElapsedTimer timer;
    timer.start();
    const WalkResult r = AddToList(assets() + QStringLiteral("\\P\\Q"), QStringLiteral("*.GeoPcDx"), QStringLiteral("none"),
                                   DefaultNameLanguage, tree.gamePath(), recording());
    // Window events at most every 40 ms, however many folders and files.
    EXPECT_LE(eventCalls, timer.elapsed() / 40 + 1);
    EXPECT_FALSE(r.abandoned);
    EXPECT_EQ(r.rowsAdded, 7);
    EXPECT_EQ(r.serializerRuns, 0);
    const QStringList expectedRows = {
        "P\tQ\tzLink\\one.GeoPcDx\t\t\t",
        "P\tQ\tc\\Deep\\four.GeoPcDx\t\t\t", "P\tQ\tc\\three.GeoPcDx\t\t\t", "P\tQ\tB\\two.GeoPcDx\t\t\t",
        "P\tQ\ta\\one.GeoPcDx\t\t\t",         "P\tQ\tAlpha.GeoPcDx\t\t\t",   "P\tQ\ttop.GeoPcDx\t\t\t",
    };
    EXPECT_EQ(rows, expectedRows);
    const QStringList expectedFolders = {
        "\\P\\Q [Alpha.GeoPcDx,top.GeoPcDx]",
        "\\P\\Q\\zLink [one.GeoPcDx]",
        "\\P\\Q\\c [three.GeoPcDx]",
        "\\P\\Q\\c\\Deep [four.GeoPcDx]",
        "\\P\\Q\\c [three.GeoPcDx]",
        "\\P\\Q\\B [two.GeoPcDx]",
        "\\P\\Q\\a [one.GeoPcDx]",
        "\\P\\Q [Alpha.GeoPcDx,top.GeoPcDx]",
    };
    EXPECT_EQ(folders, expectedFolders);
}

// A file lying directly in "Assets" or in a provider folder cannot be cut into provider,
// product and path: both walkers show that cut's run-time error (no icon) and go on.
TEST_F(AssetWalkTest, FilesOutsideAProductGiveTheCutsErrorAndTheWalkGoesOn)
{
    for (const char* rel : {"P/Q/a.txt", "P/Q/noext", "P/loose.bin", "top.bin"})
        tree.writeFile(QStringLiteral("game/Assets/") + QString::fromUtf8(rel), "data");
    writeAsset("P/Q/blue.bin", scenery("Blue", "eTrue"));
    const struct {
        const char* pattern;
        QStringList rows;
        int filesSeen;
    } cases[] = {
        {"", {"P\tQ\ta.txt\t\t\t", "P\tQ\tblue.bin\t\t\t", "P\tQ\tnoext\t\t\t"}, 5},
        {"*.bin", {"P\tQ\tblue.bin\tBlue\tYes\t"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        rows.clear();
        ui.clearRecords();
        for (int k = 0; k < 2; ++k)
            ui.expectMsgBox(vb::vbOK, QStringLiteral("Invalid procedure call or argument"));
        const WalkResult r =
            AddToList(assets(), QString::fromUtf8(c.pattern), QString(), DefaultNameLanguage, tree.gamePath(), recording());
        ui.verifyDone();
        EXPECT_FALSE(r.abandoned);
        EXPECT_EQ(r.filesSeen, c.filesSeen);
        EXPECT_EQ(rows, c.rows);
        ASSERT_EQ(ui.messages().size(), 2);
        for (const ScriptedUi::Message& m : ui.messages()) {
            EXPECT_EQ(m.text, QStringLiteral("Invalid procedure call or argument"));
            EXPECT_EQ(m.style, vb::vbOKOnly);
        }
    }
}

TEST_F(AssetWalkTest, BlueprintsAreConvertedClassifiedAndFiltered)
{
    // Each run takes longer than the events' interval.
    ScopedEnv delay("SERZ_DELAY_MS", "45");
    writeAsset("Kuju/Rail/Loco/66.bin", blueprint("<Name><English>Class 66</English></Name><EngineType>Diesel</EngineType>"));
    writeAsset("Kuju/Rail/Coach/Mk3.bin",
               blueprint("<cWagonBlueprint><Name><English>Mk3 coach</English></Name><Seats>passengers</Seats>"));
    writeAsset("Kuju/Rail/Scenery/Hut.bin", scenery("Hut", "eFalse"));
    writeAsset("Kuju/Rail/Scenery/Blank.bin", scenery("", "eTrue"));
    writeAsset("Kuju/Rail/Scenery/Broken.bin", scenery("Broken", "eTrue") + "<!--serz:fail-->");
    tree.writeFile("game/Assets/Kuju/Rail/Scenery/Empty.bin", QByteArray());
    writeAsset("Kuju/Rail/Scenery/Hut.GeoPcDx", "<not listed/>");

    WalkResult r = AddToList(assets() + QStringLiteral("\\Kuju\\Rail"), QStringLiteral("*.bin"), QString(),
                             DefaultNameLanguage, tree.gamePath(), recording());
    EXPECT_FALSE(r.abandoned);
    EXPECT_EQ(rows, (QStringList{"Kuju\tRail\tScenery\\Hut.bin\tHut\tNo\t",
                                 "Kuju\tRail\tLoco\\66.bin\tClass 66\tYes\tDiesel",
                                 "Kuju\tRail\tCoach\\Mk3.bin\tMk3 coach\tYes\tPassenger"}));
    EXPECT_EQ(r.filesSeen, 6);
    EXPECT_EQ(r.serializerRuns, 6);
    EXPECT_GE(eventCalls, 1);
    // The work copy and its XML stay in the work folder.
    EXPECT_TRUE(tree.exists("program/TempFiles/66.bin"));
    EXPECT_TRUE(tree.exists("program/TempFiles/66.xml"));
    EXPECT_FALSE(tree.exists("program/TempFiles/Broken.xml"));

    rows.clear();
    r = AddToList(assets(), QStringLiteral("*.BIN"), QStringLiteral("PASS"), DefaultNameLanguage, tree.gamePath(),
                  recording());
    EXPECT_EQ(rows, (QStringList{"Kuju\tRail\tCoach\\Mk3.bin\tMk3 coach\tYes\tPassenger"}));
}

TEST_F(AssetWalkTest, AFullGridOrTheStopFlagAbandonsTheWalk)
{
    for (const char* rel : {"P/Q/a/1.txt", "P/Q/b/2.txt", "P/Q/b/3.txt", "P/Q/4.txt"})
        tree.writeFile(QStringLiteral("game/Assets/") + QString::fromUtf8(rel), "data");
    capacity = 2;
    ui.expectMsgBox(vb::vbOK, QStringLiteral("You've filled the list box. Abandoning search..."));
    WalkResult r = ListAssetFiles(assets(), QStringLiteral("*.txt"), tree.gamePath(), recording());
    EXPECT_TRUE(r.abandoned);
    EXPECT_EQ(r.rowsAdded, 2);
    EXPECT_EQ(rows, (QStringList{"P\tQ\tb\\2.txt\t\t\t", "P\tQ\tb\\3.txt\t\t\t"}));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly);
    ui.verifyDone();

    rows.clear();
    capacity = 1000;
    bool stop = false;
    WalkCallbacks cb = recording();
    cb.addRow = [&](const AssetRow& row) {
        rows << row.text();
        stop = true;
        return true;
    };
    cb.stop = &stop;
    r = ListAssetFiles(assets(), QStringLiteral("*.txt"), tree.gamePath(), cb);
    EXPECT_TRUE(r.abandoned);
    EXPECT_EQ(rows.size(), 1);
}

} // namespace
