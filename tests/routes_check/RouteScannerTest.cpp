// The route scanner on real files: tiles, blueprints and shapes converted by the test
// serializer in a temporary copy of the sample game.

#include "routes/RouteScan.h"

#include "CheckGame.h"
#include "common/SharedState.h"

#include <QFile>

#include <functional>

using namespace routes;

namespace {

// Records what a scan shows, and runs a hook at each tile or blueprint.
class RecordingProgress : public RouteScanProgress {
public:
    void tilesListed(const QString& folder, const QStringList& fileNames) override
    {
        folders << folder;
        files << fileNames;
    }
    void tileStarted(qsizetype index) override
    {
        ++tilesStarted;
        if (onTile)
            onTile(folders.size(), index);
    }
    void blueprintsListed(const QStringList& paths) override { blueprints = paths; }
    void blueprintStarted(qsizetype index) override
    {
        checked << index;
        if (onBlueprint)
            onBlueprint(index);
    }

    QStringList folders;
    QList<QStringList> files;
    int tilesStarted = 0;
    QStringList blueprints;
    QList<qsizetype> checked;
    std::function<void(qsizetype folderNumber, qsizetype tile)> onTile;
    std::function<void(qsizetype blueprint)> onBlueprint;
};

} // namespace

class RouteScannerTest : public CheckGameTest {
protected:
    void SetUp() override
    {
        CheckGameTest::SetUp();
        scanner.setProgress(&progress);
    }

    RouteScanner scanner{tree.gamePath()};
    RecordingProgress progress;
};

TEST_F(RouteScannerTest, SampleRoutesGiveTheirUsedAndMissingBlueprints)
{
    const QString sample = asset("VeltraneSamples\\Sample01\\");
    EXPECT_TRUE(scanner.ScanRoute(routePath(kValleyRoute), {kMorningFreight, QStringLiteral("no-such-scenario")}));
    EXPECT_EQ(scanner.missingLines(), QStringList());
    EXPECT_EQ(scanner.usedBlueprints().sorted(),
              (QStringList{sample + "RailNetwork\\Loft\\VS_Platform01.bin", sample + "RailNetwork\\Track\\VS_Track01.bin",
                           sample + "RoadNetwork\\Road\\VS_Road01.bin", sample + "Scenery\\Buildings\\VS_Station01.bin",
                           sample + "Scenery\\Trees\\VS_Oak01.bin"}));
    // The four folders of the route and the scenario's scenery, each tile converted once.
    const QString r = routePath(kValleyRoute);
    EXPECT_EQ(progress.folders, (QStringList{r + "\\Scenery", r + "\\Networks\\Loft Tiles", r + "\\Networks\\Road Tiles",
                                             r + "\\Networks", r + "\\Scenarios\\" + kMorningFreight + "\\Scenery"}));
    EXPECT_EQ(progress.files[0], (QStringList{"+000000+000000.bin", "-000001+000000.bin"}));
    EXPECT_EQ(progress.files[3], (QStringList{"Tracks.bin"}));
    EXPECT_EQ(scanner.stats().tiles, 6);
    EXPECT_EQ(scanner.stats().serializerRuns, 6);
    EXPECT_EQ(workFiles(), QStringList());

    RouteScanner branch(game());
    EXPECT_TRUE(branch.ScanRoute(routePath(kBranchRoute), {}));
    EXPECT_EQ(branch.missingLines(),
              (QStringList{sample + "Scenery\\Trees\\VS_Birch01.bin   (Scenery Item)"}));
    EXPECT_EQ(branch.usedBlueprints().values(),
              (QStringList{sample + "Scenery\\Trees\\VS_Oak01.bin", sample + "RailNetwork\\Track\\VS_Track01.bin"}));
}

TEST_F(RouteScannerTest, ReferencesAreSortedIntoUsedAndMissing)
{
    buildCheckRoute();
    shared().AbortScan = true; // left from an earlier run: the scan starts afresh
    EXPECT_TRUE(scanner.ScanRoute(routePath(kCheckRoute), {kCheckScenario}));
    EXPECT_FALSE(shared().AbortScan);

    EXPECT_EQ(scanner.missingLines(), expectedMissing());
    EXPECT_EQ(scanner.usedBlueprints().sorted(), expectedUsed());
    // The first spelling of a blueprint is the one kept.
    EXPECT_EQ(scanner.usedBlueprints().values().first(), asset("TestCo\\Pack1\\Scenery\\Present.bin"));

    // One serializer run per tile; the tile in "Networks\Track Tiles" is not one of them.
    EXPECT_EQ(scanner.stats().tiles, 8);
    EXPECT_EQ(scanner.stats().serializerRuns, 8);
    EXPECT_EQ(scanner.stats().references, 17);
    // Each blueprint path is looked up once, however often it is named (Missing five times).
    EXPECT_EQ(scanner.stats().fileLookups, 15);
    // Every work file has been deleted.
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(RouteScannerTest, AFolderScanOnItsOwn)
{
    buildCheckRoute();
    const QString loft = routePath(kCheckRoute) + QStringLiteral("\\Networks\\Loft Tiles");
    scanner.ScanRouteFolder(loft, QStringLiteral("(Any Tag)"));
    EXPECT_EQ(scanner.missingLines(), (QStringList{asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Any Tag)")}));

    // A folder that does not exist is not scanned, and nothing is listed for it.
    scanner.ScanRouteFolder(routePath(kCheckRoute) + QStringLiteral("\\Nowhere"), kSceneryItem);
    EXPECT_EQ(progress.folders, QStringList{loft});
    EXPECT_EQ(scanner.missingLines().size(), 1);

    // The folder's files are taken without regard to letter case, ".bin" files only.
    tree.writeFile(QStringLiteral("game/Content/Routes/") + kCheckRoute + "/Networks/Loft Tiles/+000009+000000.BIN",
                   serzBinary(tile({{"TestCo", "Pack1", "Scenery\\Other.xml"}})));
    tree.writeFile(QStringLiteral("game/Content/Routes/") + kCheckRoute + "/Networks/Loft Tiles/readme.txt", "x");
    scanner.clear();
    scanner.ScanRouteFolder(loft, kLoftItem);
    EXPECT_EQ(progress.files.last(), (QStringList{"+000000+000000.bin", "+000009+000000.BIN"}));
    EXPECT_EQ(scanner.missingLines(), (QStringList{asset("TestCo\\Pack1\\Scenery\\Missing.bin   (Loft Item)"),
                                                   asset("TestCo\\Pack1\\Scenery\\Other.bin   (Loft Item)")}));
}

TEST_F(RouteScannerTest, LongTilesAreReadWholeAcrossTheirLines)
{
    // A line far longer than one read, LF-only line ends, and a last line without an end.
    QByteArray xml = head("cRecordSet") + "<!--" + QByteArray(700000, 'x') + "-->\r\n";
    xml += entity({"TestCo", "Pack1", "Scenery\\First.xml"}).replace("\r\n", "\n");
    xml += QByteArray(300000, ' ') + "\r\n";
    xml += "<Provider>TestCo</Provider>\r\n<Product>Pack1</Product>\r\n\r\n\r\n<BlueprintID>Scenery\\Last.xml</BlueprintID>";
    const QString folder = QStringLiteral("Content/Routes/long-route/Scenery");
    writeGameFile(folder + QStringLiteral("/+000000+000000.bin"), xml);
    scanner.ScanRouteFolder(game() + QStringLiteral("\\Content\\Routes\\long-route\\Scenery"), kSceneryItem);
    EXPECT_EQ(scanner.missingLines(), (QStringList{asset("TestCo\\Pack1\\Scenery\\First.bin   (Scenery Item)"),
                                                   asset("TestCo\\Pack1\\Scenery\\Last.bin   (Scenery Item)")}));
}

TEST_F(RouteScannerTest, AbortEndsTheScanAfterTheFolderInWork)
{
    buildCheckRoute();
    // "&Abort" during the second folder: its tile in work is finished, then the scan ends.
    progress.onTile = [](qsizetype folderNumber, qsizetype) {
        if (folderNumber == 2)
            shared().AbortScan = true;
    };
    EXPECT_FALSE(scanner.ScanRoute(routePath(kCheckRoute), {kCheckScenario}));
    EXPECT_FALSE(shared().AbortScan);
    const QString r = routePath(kCheckRoute);
    EXPECT_EQ(progress.folders, (QStringList{r + "\\Scenery", r + "\\Networks\\Loft Tiles"}));
    EXPECT_EQ(scanner.missingLines(), expectedMissing().mid(0, 5));
    EXPECT_EQ(scanner.stats().tiles, 4);

    // Set before a tile, the flag stops the folder at once.
    RouteScanner second(game());
    shared().AbortScan = true;
    second.ScanRouteFolder(r + "\\Scenery", kSceneryItem);
    EXPECT_EQ(second.stats().tiles, 0);
    EXPECT_TRUE(shared().AbortScan); // the caller that notices it clears it
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(RouteScannerTest, WithoutASerializerEveryTileIsReportedAndTheScanGoesOn)
{
    buildCheckRoute();
    ASSERT_TRUE(QFile::remove(tree.systemPath() + QStringLiteral("/serz.exe")));
    EXPECT_TRUE(scanner.ScanRoute(routePath(kCheckRoute), {}));
    const QString r = routePath(kCheckRoute);
    EXPECT_EQ(scanner.missingLines(),
              (QStringList{r + "\\Scenery\\+000000+000000.bin   (Tile could not be converted)",
                           r + "\\Scenery\\+000001+000000.bin   (Tile could not be converted)",
                           r + "\\Scenery\\+000002+000000.bin   (Tile could not be converted)",
                           r + "\\Networks\\Loft Tiles\\+000000+000000.bin   (Tile could not be converted)",
                           r + "\\Networks\\Road Tiles\\+000000+000000.bin   (Tile could not be converted)",
                           r + "\\Networks\\Road Tiles\\+000001+000000.bin   (Tile could not be converted)",
                           r + "\\Networks\\Tracks.bin   (Tile could not be converted)"}));
    EXPECT_TRUE(scanner.usedBlueprints().isEmpty());
}

TEST_F(RouteScannerTest, AssetCheckReportsEachMissingFile)
{
    buildCheckRoute();
    ASSERT_TRUE(scanner.ScanRoute(routePath(kCheckRoute), {kCheckScenario}));
    const qint64 runsAfterScan = scanner.stats().serializerRuns;

    QString report = QStringLiteral("Texture Check:-\r\n\r\n");
    scanner.CheckAssetFiles(expectedUsed(), report);
    EXPECT_EQ(report, expectedAssetReport());
    EXPECT_EQ(scanner.usedTextures().sorted(), expectedTextures());
    EXPECT_EQ(progress.blueprints, expectedUsed());
    EXPECT_EQ(progress.checked.size(), expectedUsed().size());
    // Ten blueprints, and three shapes: the shape two blueprints share is converted once.
    EXPECT_EQ(scanner.stats().serializerRuns - runsAfterScan, 13);
    EXPECT_EQ(workFiles(), QStringList());

    // A blueprint that is gone is a missing shape; an empty entry is no finding at all.
    report.clear();
    scanner.CheckAssetFiles({asset("TestCo\\Pack1\\Scenery\\Gone.bin"), QString()}, report);
    EXPECT_EQ(report, QStringLiteral("Shape file missing:-  ") + asset("TestCo\\Pack1\\Scenery\\Gone.bin\r\n"));
}

TEST_F(RouteScannerTest, AbortStopsTheAssetCheckBeforeTheNextBlueprint)
{
    buildCheckRoute();
    progress.onBlueprint = [](qsizetype index) {
        if (index == 1)
            shared().AbortScan = true;
    };
    QString report;
    scanner.CheckAssetFiles(expectedUsed(), report);
    // A&B (the second) is still checked, Blob (the third) is not.
    EXPECT_EQ(progress.checked, (QList<qsizetype>{0, 1}));
    EXPECT_EQ(report, QStringLiteral("GeoPcDx file missing:-  ") + asset("TestCo\\Pack1\\Scenery\\Nowhere.GeoPcDx\r\n"));
    EXPECT_TRUE(shared().AbortScan);
    shared().AbortScan = false;
}
