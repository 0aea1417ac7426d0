// The program's roads through real Wine: the Windows build of the test serializer run by Wine in
// the test run's prefix, the game folder found in that prefix's registry and behind its drive
// letters, a game file opened, edited and saved back, a route check and a texture round trip.

#include "WineSupport.h"

#include "common/FileProcs.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/SharedState.h"
#include "hub/HubStartup.h"
#include "hub/TextureCommands.h"
#include "hub/TextPageWidget.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "routes/RouteScan.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include "hub/EditorTestSupport.h"
#include "routes_check/CheckGame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdio>
#include "support/ScopedEnv.h"
#include "support/SerzForm.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(platform::nativePath(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class WineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_EQ(wine.missing(), QString());
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    TempTree tree;
    WineSession wine; // after the tree: its prefix replaces the tree's empty one
    ScriptedUi ui;
};

} // namespace

// ---- the serializer itself ----

// Both builds of the test serializer, run by the program's own road (RunSerz: the command line,
// the launch through Wine with "Z:\" paths), give the same results; the Windows one writes in
// binary mode (every byte value, CR LF and ^Z kept). Prints the time of a run of each.
TEST_F(WineTest, WindowsSerializerConvertsAsTheNativeOneAndIsTimed)
{
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every += char(i);
    const QByteArray xml = "<a>\r\n" + every + "\n\x1A\r</a>\r\n";
    const QByteArray refused = "<a><!--serz:fail--></a>";
    struct Row {
        const char* name;
        QByteArray input;
        QString inputName;
        QByteArray failEnv;
        QByteArray expected; // empty: the run fails and writes nothing
    } rows[] = {
        {"text to binary", xml, "Every Byte.xml", "", serzBinary(xml)},
        {"binary to text", serzBinary(xml), "Scenario.bin", "", xml},
        {"marker in the text", refused, "Refused.xml", "", ""},
        {"marker inside the binary", serzBinary(refused), "Refused.bin", "", ""},
        {"SERZ_FAIL names the input", serzBinary(xml), "Told To Fail.bin", "told to FAIL.bin", ""},
        {"empty input", "", "Empty.bin", "", ""},
    };

    const QString native = tree.makeDir("native");
    const QString windows = tree.makeDir("windows");
    ASSERT_TRUE(installSerz(native));
    ASSERT_TRUE(WineSession::installWindowsSerz(windows));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const QString& folder : {native, windows}) {
            SCOPED_TRACE(folder.toStdString());
            QDir(tree.path("work")).removeRecursively();
            const QString input = tree.writeFile("work/" + row.inputName, row.input);
            const QString output = tree.path("work/out put.dat");
            QFile::remove(output);
            std::optional<ScopedEnv> fail;
            if (!row.failEnv.isEmpty())
                fail.emplace("SERZ_FAIL", row.failEnv);
            const ConversionResult r = RunSerz(input, serz::ToXml, output, folder);
            EXPECT_EQ(r.ok, !row.expected.isEmpty()) << r.error.toStdString();
            EXPECT_EQ(tree.readFile(output), row.expected);
            EXPECT_EQ(QDir(tree.path("work")).entryList(QDir::Files).size(), 1 + int(!row.expected.isEmpty()));
        }
    }

    // The program hands the Windows build "Z:\" paths through Wine.
    QDir::setCurrent(windows);
    platform::LaunchPlan plan;
    ASSERT_TRUE(platform::planLaunch(SerzCommandLine(tree.path("work/a b.bin"), serz::ToBinSlash, tree.path("work/c.xml")), plan));
    EXPECT_EQ(plan.kind, platform::LaunchPlan::Windows);
    EXPECT_EQ(plan.arguments.mid(1),
              (QStringList{"Z:" + tree.path("work/a b.bin").replace('/', '\\'), "/bin:Z:" + tree.path("work/c.xml").replace('/', '\\')}));

    // The time of a run: the same conversion N times by each build.
    const int n = 10;
    const QString input = tree.writeFile("work/Timed.bin", serzBinary(xml));
    double perRun[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer timer;
        timer.start();
        for (int k = 0; k < n; ++k)
            ASSERT_TRUE(RunSerz(input, serz::ToXml, tree.path("work/Timed.xml"), i == 0 ? native : windows).ok);
        perRun[i] = double(timer.nsecsElapsed()) / 1e6 / n;
    }
    std::printf("serializer run, mean of %d: native %.1f ms, through Wine %.1f ms\n", n, perRun[0], perRun[1]);
    RecordProperty("native_ms_per_run", QString::number(perRun[0], 'f', 1).toStdString());
    RecordProperty("wine_ms_per_run", QString::number(perRun[1], 'f', 1).toStdString());
}

// A run through Wine that ends at once with status 1 and no output (here: the Windows build's
// first run, told to fail once) is made once more, by RunSerz and by the scans' pool alike; the
// native build's failure is final.
TEST_F(WineTest, AWindowsRunThatFailsWithoutOutputIsMadeOnceMore)
{
    const QByteArray xml = "<a>\r\n<b>x</b>\r\n</a>\r\n";
    const QString native = tree.makeDir("native");
    const QString windows = tree.makeDir("windows");
    ASSERT_TRUE(installSerz(native));
    ASSERT_TRUE(WineSession::installWindowsSerz(windows));
    const QString marker = tree.path("failed-once");
    // Each build opens the marker by the name its own side knows it by.
    const QString windowsMarker = "Z:" + QString(marker).replace('/', '\\');
    struct Row {
        const char* what;
        QString folder;
        QString markerName;
        bool pool;
        bool ok;
    } rows[] = {
        {"native, alone", native, marker, false, false},
        {"through Wine, alone", windows, windowsMarker, false, true},
        {"through Wine, in the pool", windows, windowsMarker, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QDir(tree.path("work")).removeRecursively();
        QFile::remove(marker);
        const QString input = tree.writeFile("work/Tile.bin", serzBinary(xml));
        const ScopedEnv once("SERZ_FAIL_ONCE", row.markerName.toUtf8());
        if (row.pool) {
            SerzPool pool(1, tree.makeDir("work/slots"), row.folder);
            pool.add({input, QStringLiteral("Tile.xml")});
            const SerzOutcome& out = pool.take(0);
            EXPECT_EQ(out.result.ok, row.ok) << out.result.error.toStdString();
            EXPECT_EQ(readAll(out.output), row.ok ? xml : QByteArray());
            EXPECT_EQ(pool.started(), 2);
        } else {
            const ConversionResult r = RunSerz(input, serz::ToXml, tree.path("work/Tile.xml"), row.folder);
            EXPECT_EQ(r.ok, row.ok) << r.error.toStdString();
            EXPECT_EQ(tree.readFile("work/Tile.xml"), row.ok ? xml : QByteArray());
        }
        EXPECT_TRUE(QFile::exists(marker));
    }
}

// ---- (a) the game folder from the prefix's registry ----

// The installation key written by Wine's own reg.exe, flushed to system.reg by ending the
// server, is what start-up reads: first in the 64-bit view only, then also in the 32-bit view
// (Wow6432Node), which wins as it does for the 32-bit game; non-ASCII text as Wine escapes it.
TEST_F(WineTest, GameFolderIsFoundInThePrefixRegistry)
{
    const QString key = QStringLiteral("HKLM\\") + hub::InstallationKey;
    for (const char* view : {"/reg:64", "/reg:32"})
        wine.wine({"reg", "delete", key, "/f", view});
    struct Row {
        const char* view;
        QString value;
        QString expected;
    } rows[] = {
        {"/reg:64", QStringLiteral("C:\\Program Files\\Rail Simulator"), QStringLiteral("C:\\Program Files\\Rail Simulator")},
        {"/reg:32", QStringLiteral(u"D:\\Games\\Rail Simulator \u00AB\u00E9dition\u00BB \u6F22"),
         QStringLiteral(u"D:\\Games\\Rail Simulator \u00AB\u00E9dition\u00BB \u6F22")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.view);
        ASSERT_EQ(wine.wine({"reg", "add", key, "/ve", "/d", row.value, "/f", row.view}), 0);
        ASSERT_TRUE(wine.restartServer());
        EXPECT_EQ(hub::RegistryGamePath(), row.expected);
    }
    // A key whose default value is gone leaves the game folder unknown.
    for (const char* view : {"/reg:64", "/reg:32"})
        ASSERT_EQ(wine.wine({"reg", "delete", key, "/ve", "/f", view}), 0);
    ASSERT_TRUE(wine.restartServer());
    EXPECT_TRUE(platform::readRegistryKey(platform::RegistryHive::LocalMachine, hub::InstallationKey).has_value());
    EXPECT_EQ(hub::RegistryGamePath(), QString());
    for (const char* view : {"/reg:64", "/reg:32"})
        wine.wine({"reg", "delete", key, "/f", view});
}

// ---- (b) a game folder behind a drive letter ----

// With d: of the prefix linked to a folder, "D:\Games\..." paths reach the game in any letter
// case, start-up copies serz.exe from there, and Wine converts files named by the same paths.
TEST_F(WineTest, GameBehindADriveLetterIsReachedByItsWindowsPaths)
{
    const QString driveRoot = tree.makeDir("drive d");
    const QString gameDir = driveRoot + "/Games/Rail Simulator";
    ASSERT_TRUE(copySampleGame(gameDir));
    ASSERT_TRUE(WineSession::installWindowsSerz(gameDir));
    WineDrive drive('d', driveRoot);
    ASSERT_TRUE(drive.ok());

    const QString scenario = QStringLiteral("Content\\Routes\\5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70\\Scenarios\\"
                                            "7f6e5d4c-3b2a-4190-8877-665544332211\\Scenario.bin");
    const struct {
        QString windowsPath;
        QString file; // below the game folder
    } rows[] = {
        {"D:\\Games\\Rail Simulator\\Content\\Routes.xml", "Content/Routes.xml"},
        {"d:\\GAMES\\rail simulator\\content\\routes.XML", "Content/Routes.xml"},
        {"D:\\Games\\Rail Simulator\\" + scenario, QString(scenario).replace('\\', '/')},
        {"D:/Games//Rail Simulator/serz.EXE", "serz.exe"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.windowsPath.toStdString());
        const QFileInfo resolved(platform::nativePath(row.windowsPath));
        EXPECT_TRUE(resolved.isFile());
        EXPECT_EQ(resolved.canonicalFilePath(), QFileInfo(gameDir + "/" + row.file).canonicalFilePath());
    }

    shared().GamePath = QStringLiteral("D:\\Games\\Rail Simulator");
    EXPECT_EQ(hub::EnsureSerzInSystemFolder(tree.systemPath(), shared().GamePath), hub::SerzSetup::Copied);
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), readAll(WineSession::windowsSerzPath()));

    // Wine resolves D: through the same link: the game file and its XML are named in D: form.
    const QString out = shared().GamePath + QStringLiteral("\\Content\\Scenario From D.xml");
    const ConversionResult r = RunSerz(shared().GamePath + "\\" + scenario, serz::ToXml, out, tree.programPath());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const QByteArray source = readAll(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + QString(scenario).replace('\\', '/')
                                      + QStringLiteral(".xml"));
    ASSERT_FALSE(source.isEmpty());
    EXPECT_EQ(readAll(gameDir + "/Content/Scenario From D.xml"), source);
}

// ---- (c) a game file opened, edited and saved through Wine ----

namespace {

class WineEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_EQ(wine.missing(), QString());
    }
    WineSession wine;
};

} // namespace

// Start-up copies the game's (Windows) serz.exe into the system folder; "Open RailSim File",
// an edit and "Save RailSim File" then run it through Wine on "Z:\" work paths, and the game
// holds the edited file with the original as its backup. A refusal through Wine leaves it so.
TEST_F(WineEditorTest, GameFileRoundTripsThroughWineWithABackup)
{
    prepareGame();
    ASSERT_TRUE(WineSession::installWindowsSerz(tree.gamePath()));
    ASSERT_FALSE(tree.exists("program/System32/serz.exe"));
    auto w = startWindow();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), bytesOf(WineSession::windowsSerzPath()));

    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    ASSERT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), sourceXml(scenarioRel()));

    // The save's conversion goes to Wine with the work copies as "Z:\" paths.
    platform::LaunchPlan plan;
    ASSERT_TRUE(platform::planLaunch(SerzCommandLine(w->WorkBase + "xml", serz::ToBin, w->WorkBase + "bin"), plan));
    EXPECT_EQ(plan.kind, platform::LaunchPlan::Windows);
    EXPECT_EQ(plan.arguments.mid(1), (QStringList{"Z:" + QString(tree.path("program/TempFiles/Scenario.xml")).replace('/', '\\'),
                                                  "bin:Z:" + QString(tree.path("program/TempFiles/Scenario.bin")).replace('/', '\\')}));

    QTextCursor found = w->RichTextBox1->document()->find("90047");
    ASSERT_FALSE(found.isNull());
    found.insertText("90048");
    w->mnuSaveRS_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    QByteArray edited = sourceXml(scenarioRel());
    edited.replace("90047", "90048");
    EXPECT_EQ(bytesOf(path), serzBinary(edited));
    EXPECT_EQ(bytesOf(path + ".bak"), original);

    // The Windows serializer refuses the next save: the game file and its backups stay.
    found = w->RichTextBox1->document()->find("90048");
    ASSERT_FALSE(found.isNull());
    found.insertText("90049");
    {
        ScopedEnv fail("SERZ_FAIL", "scenario.XML");
        ui.expectMsgBox(vb::vbOK, "SERZ.EXE");
        w->mnuSaveRS_Click();
    }
    EXPECT_EQ(bytesOf(path), serzBinary(edited));
    EXPECT_EQ(bytesOf(path + ".bak"), original);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak1"));
}

// ---- (d) a route check and a texture round trip through Wine ----

namespace {

class WineRouteCheckTest : public CheckGameTest {
protected:
    void SetUp() override
    {
        CheckGameTest::SetUp();
        ASSERT_EQ(wine.missing(), QString());
        ASSERT_TRUE(WineSession::installWindowsSerz(tree.systemPath()));
    }
    WineSession wine;
};

} // namespace

// The sample game's route and the check's own route (tiles and blueprints the serializer
// refuses among them), tiles and then blueprints and shapes, every conversion through Wine.
TEST_F(WineRouteCheckTest, RouteCheckOverTheSampleGame)
{
    routes::RouteScanner scanner(game());
    const QString sample = asset("VeltraneSamples\\Sample01\\");
    EXPECT_TRUE(scanner.ScanRoute(routePath(kValleyRoute), {kMorningFreight}));
    EXPECT_EQ(scanner.missingLines(), QStringList());
    EXPECT_EQ(scanner.usedBlueprints().sorted(),
              (QStringList{sample + "RailNetwork\\Loft\\VS_Platform01.bin", sample + "RailNetwork\\Track\\VS_Track01.bin",
                           sample + "RoadNetwork\\Road\\VS_Road01.bin", sample + "Scenery\\Buildings\\VS_Station01.bin",
                           sample + "Scenery\\Trees\\VS_Oak01.bin"}));
    EXPECT_EQ(scanner.stats().serializerRuns, 6);

    buildCheckRoute();
    routes::RouteScanner check(game());
    EXPECT_TRUE(check.ScanRoute(routePath(kCheckRoute), {kCheckScenario}));
    EXPECT_EQ(check.missingLines(), expectedMissing());
    EXPECT_EQ(check.usedBlueprints().sorted(), expectedUsed());
    QString report = QStringLiteral("Texture Check:-\r\n\r\n");
    check.CheckAssetFiles(expectedUsed(), report);
    EXPECT_EQ(report, expectedAssetReport());
    EXPECT_EQ(check.usedTextures().sorted(), expectedTextures());
    EXPECT_EQ(workFiles(), QStringList());
}

// A texture of the sample game to a DDS image and its side file, and the unchanged image back
// into the texture with " /bin:", byte for byte, the original kept as the backup.
TEST_F(WineTest, TextureToDdsAndBack)
{
    const QString rel = QStringLiteral("Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx");
    const QString texture =
        tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\Textures\\VS_Oak01.TgPcDx");
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    ASSERT_TRUE(WineSession::installWindowsSerz(tree.systemPath()));
    shared().GamePath = tree.gamePath();
    const QByteArray original = tree.readFile("game/" + rel);

    // What the texture open leaves: the texture's XML, converted in "TempDDS".
    tree.makeDir("program/TempDDS");
    const QString work = tree.path("program/TempDDS/VS_Oak01.");
    ASSERT_TRUE(QFile::copy(tree.path("game/" + rel), work + "bin"));
    const ConversionResult opened = RunSerz(work + "bin", serz::ToXml, work + "xml", tree.programPath());
    ASSERT_TRUE(opened.ok) << opened.error.toStdString();
    const QString xml = platform::decodeAnsi(tree.readFile("program/TempDDS/VS_Oak01.xml"));

    ui.expectMsgBox(vb::vbOK, "If you wish to edit");
    ASSERT_TRUE(hub::ConvertTextureToDds(texture, xml, "VS_Oak01."));
    ASSERT_TRUE(tree.readFile("program/TempDDS/VS_Oak01.dds").startsWith("DDS "));

    QString shown;
    ui.expectOpenFile(tree.path("program/TempDDS/VS_Oak01.dds")).expectMsgBox(vb::vbYes, "This option will convert");
    ASSERT_TRUE(hub::ConvertDdsToTexture([&](const QString& x) { shown = x; }));
    EXPECT_EQ(shown, xml);
    EXPECT_EQ(tree.readFile("game/" + rel), original);
    EXPECT_EQ(tree.readFile("game/" + rel + ".bak"), original);
    EXPECT_FALSE(tree.exists("program/TempDDS"));
}
