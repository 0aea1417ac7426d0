// The scenario package in the route list and the asset folder packager, on a copy of the sample
// game with the test serializer, the batch interpreter and the zip manager.

#include "common/SharedState.h"
#include "packaging/ScenarioPackage.h"
#include "packaging/frmFolder3.h"
#include "packaging/frmNewZip.h"
#include "routes/frmDelRoute.h"
#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "support/FolderContents.h"
#include "support/GameOnDrive.h"
#include "support/SampleGame.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WidgetRows.h"
#include "support/SerzForm.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

const QString kRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
const QString kOtherRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");
const QString kFreight = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
const QString kShuttle = QStringLiteral("7f6e5d4c-3b2a-4190-8877-665544332211");
const QString kCrLf = QStringLiteral("\r\n");
const QByteArray kLampXml = "<cBlueprintLoader><Name>White lamp</Name></cBlueprintLoader>\r\n";

QByteArray vehicle(const QByteArray& provider, const QByteArray& product, const QByteArray& id)
{
    return "<cOwnedEntity><BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>\r\n"
           "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">"
           + provider + "</Provider>\r\n<Product d:type=\"cDeltaString\">" + product
           + "</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>\r\n</BlueprintSetID>\r\n<BlueprintID d:type=\"cDeltaString\">"
           + id + "</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID></cOwnedEntity>\r\n";
}

QByteArray lampChild(const QByteArray& name, const QByteArray& x)
{
    QByteArray matrix = "<Matrix><cHcRMatrix4x4><Element>\r\n";
    for (int k = 1; k <= 16; ++k)
        matrix += "<e d:type=\"sFloat32\" d:alt_encoding=\"0\" d:precision=\"string\">" + (k == 13 ? x : QByteArray("1"))
                  + "</e>\r\n";
    return "<cEntityContainerBlueprint-sChild>\r\n<ChildName d:type=\"cDeltaString\">" + name
           + "</ChildName>\r\n<BlueprintID><iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID>"
             "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">LampCo</Provider>\r\n"
             "<Product d:type=\"cDeltaString\">Lights</Product>\r\n</iBlueprintLibrary-cBlueprintSetID></BlueprintSetID>\r\n"
             "<BlueprintID d:type=\"cDeltaString\">Lamps\\White.xml</BlueprintID>\r\n"
             "</iBlueprintLibrary-cAbsoluteBlueprintID></BlueprintID>\r\n"
           + matrix + "</Element></cHcRMatrix4x4></Matrix>\r\n</cEntityContainerBlueprint-sChild>\r\n";
}

// The block of the index text whose DevString is folder, from its start tag to its end tag.
QString blockOf(const QString& index, const QString& folder)
{
    const qsizetype at = index.indexOf(QStringLiteral(">") + folder + QStringLiteral("</DevString>"));
    const qsizetype start = index.lastIndexOf(QStringLiteral("<cScenarioProperties"), at);
    const QString end = QStringLiteral("</cScenarioProperties>");
    return index.mid(start, index.indexOf(end, start) + end.size() - start);
}

class ScenarioPackageWindow : public ::testing::Test {
public:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
        tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "installer");
        tree.writeFile(QStringLiteral("program/Templates/UKCode.txt"), "lamp template\r\n");
        tree.writeFile(QStringLiteral("program/LumavethLights/Assets/LampCo/Lights/Lamps/White.bin.xml"), kLampXml);
        // The shuttle runs a head-code loco, three vans, one of them twice in other letter case,
        // and an empty coach.
        const QString shuttle = QStringLiteral("game/Content/Routes/") + kRoute + QStringLiteral("/Scenarios/") + kShuttle;
        tree.writeFile(shuttle + QStringLiteral("/Scenario.bin"),
                       serzBinary("<cRecordSet><Record>\r\n" + vehicle("TestCo", "Locos", "RailVehicles\\Class47_XP-Pass.xml")
                                  + vehicle("TestCo", "Vans", "Van.xml") + vehicle("TestCo", "Vans", "Van.xml")
                                  + vehicle("testco", "vans", "van.xml") + vehicle("TestCo", "Coaches", "Coach_MT.xml")
                                  + "</Record></cRecordSet>\r\n"));
        tree.writeFile(shuttle + QStringLiteral("/Sub/Extra.bin"), "extra");
        tree.writeFile(QStringLiteral("game/Assets/TestCo/Locos/RailVehicles/Class47_XP-Pass.bin"),
                       serzBinary("<cBlueprintLoader>\r\n" + lampChild("HeadLamp 2", "0.8") + lampChild("HeadLamp 5", "-0.8")
                                  + "</cBlueprintLoader>\r\n"));
        shared().GamePath = tree.gamePath();
        shared().PackageScenariosMode = true;
        fileNameBox.clear();
        packaging::HubFileNameBox() = [this](const QString& path) { fileNameBox.append(path); };
    }

    void TearDown() override
    {
        packaging::HubFileNameBox() = nullptr;
        window.reset();
        ui.verifyDone();
        resetShared();
    }

    QString program() const { return tree.programPath(); }
    QString package(const QString& name) const { return program() + QLatin1Char('/') + name; }

    void open()
    {
        window = std::make_unique<frmDelRoute>();
        ASSERT_EQ(window->loadedMode(), frmDelRoute::ListMode::ScenarioPackage);
    }

    void listRoute(const QString& route)
    {
        for (int k = 0; k < window->List2->count(); ++k)
            window->List1->item(k)->setSelected(window->List2->item(k)->text() == route);
        window->Command1_Click();
    }

    // Selects the scenario row of folder and adds it.
    void add(const QString& folder)
    {
        for (int k = 0; k < window->List3->count(); ++k)
            window->List3->item(k)->setSelected(window->List3->item(k)->text().endsWith(QLatin1Char('\t') + folder));
        window->Command5_Click();
    }

    QString indexText() const
    {
        return QString::fromUtf8(serzXml(tree.readFile(QStringLiteral("game/Content/Routes/") + kRoute + QStringLiteral("/Scenarios.bin"))));
    }

    void expectZipOffer(const QString& what, const QString& name, bool yes)
    {
        ui.expectMsgBox(yes ? vb::vbYes : vb::vbNo,
                        QStringLiteral("Your ") + what + QStringLiteral(" are now saved in ") + tree.programPath() + QLatin1Char('\\') + name);
        if (yes)
            ui.expectModal([](QWidget* w) { qobject_cast<frmNewZip*>(w)->Command3_Click(); }, QStringLiteral("DuRazo"));
    }

    TempTree tree;
    ScriptedUi ui;
    std::unique_ptr<frmDelRoute> window;
    QStringList fileNameBox;
};

const QString kVanRow = QStringLiteral("TestCo\\Vans\\Van.xml,0,0,,,,,,,,,");
const QString kLocoRow = QStringLiteral("TestCo\\Locos\\RailVehicles\\Class47_XP-Pass.xml,2,5,0.8,1,1,-0.8,1,1,LampCo,Lights,Lamps\\White.xml");

// Two adds, Process and the zip: the package holds both scenarios' files, the installer and the
// hand-off files, the lamp add-on once, and the zip manager leaves the archive.
TEST_F(ScenarioPackageWindow, AddAddProcessAndZip)
{
    open();
    listRoute(kRoute);
    ASSERT_EQ(window->List3->count(), 2);
    add(kFreight);
    add(kShuttle);
    const QString routePath = tree.gamePath() + QStringLiteral("\\content\\Routes\\") + kRoute;
    EXPECT_EQ(listRows(window->List4), (QStringList{routePath + QStringLiteral("\\Scenarios\\") + kFreight,
                                                routePath + QStringLiteral("\\Scenarios\\") + kShuttle}));
    EXPECT_EQ(fileNameBox, (QStringList{routePath + QStringLiteral("\\Scenarios\\") + kFreight + QStringLiteral("\\Scenario.bin"),
                                        routePath + QStringLiteral("\\Scenarios\\") + kShuttle + QStringLiteral("\\Scenario.bin")}));
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Morning Freight"));
    EXPECT_EQ(window->scenarioPackage().relEntries,
              (QStringList{QStringLiteral("Rail Simulator\\content\\Routes\\") + kRoute + QStringLiteral("\\Scenarios\\") + kFreight,
                           QStringLiteral("Rail Simulator\\content\\Routes\\") + kRoute + QStringLiteral("\\Scenarios\\") + kShuttle}));
    EXPECT_EQ(window->scenarioPackage().batchText.count(QStringLiteral("call Xcopy")), 2);
    EXPECT_EQ(window->StatusPanel3->text(), QStringLiteral("Scenario Added - Add another or click Process to finish."));
    const QStringList stock = listRows(window->List5);
    EXPECT_EQ(std::count_if(stock.begin(), stock.end(),
                            [](const QString& row) { return row.compare(kVanRow, Qt::CaseInsensitive) == 0; }),
              3);
    EXPECT_TRUE(stock.contains(kLocoRow));
    EXPECT_TRUE(stock.contains(QStringLiteral("TestCo\\Coaches\\Coach_MT.xml,0,0,,,,,,,,,")));
    for (int k = 1; k < stock.size(); ++k)
        EXPECT_LE(stock[k - 1].compare(stock[k], Qt::CaseInsensitive), 0) << "stock list not sorted";

    // Listing the route again leaves the package list alone.
    listRoute(kRoute);
    EXPECT_EQ(window->List4->count(), 2);

    expectZipOffer(QStringLiteral("Scenario(s)"), QStringLiteral("Morning Freight"), true);
    window->Command6_Click();

    const QString p = QStringLiteral("program/Morning Freight/");
    const QString scenarios = p + QStringLiteral("Rail Simulator/content/Routes/") + kRoute + QStringLiteral("/Scenarios/");
    EXPECT_TRUE(tree.exists(scenarios + kFreight + QStringLiteral("/Scenario.bin")));
    EXPECT_TRUE(tree.exists(scenarios + kShuttle + QStringLiteral("/Scenario.bin")));
    EXPECT_TRUE(tree.exists(scenarios + kShuttle + QStringLiteral("/Sub/Extra.bin")));
    EXPECT_EQ(tree.readFile(p + QStringLiteral("AssetSetup.exe")), QByteArray("installer"));
    EXPECT_EQ(tree.readFile(p + QStringLiteral("UKCode.txt")), QByteArray("lamp template\r\n"));
    // The add-on goes in as the user's serializer made it, without its XML sources.
    EXPECT_EQ(tree.readFile(p + QStringLiteral("Rail Simulator/Assets/LampCo/Lights/Lamps/White.bin")), serzBinary(kLampXml));
    EXPECT_FALSE(tree.exists(p + QStringLiteral("Rail Simulator/Assets/LampCo/Lights/Lamps/White.bin.xml")));
    const QString index = indexText();
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.zzz"))),
              blockOf(index, kFreight) + kCrLf + blockOf(index, kShuttle) + kCrLf);
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.yyy"))),
              kRoute + kCrLf + kFreight + kCrLf + kShuttle + kCrLf);
    const QString qqq = QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.qqq")));
    EXPECT_EQ(qqq.count(QStringLiteral("Vans\\Van.xml"), Qt::CaseInsensitive), 1);
    EXPECT_EQ(qqq, listRows(window->List5).join(kCrLf) + kCrLf + kCrLf);
    EXPECT_EQ(QString::fromLatin1(tree.readFile(QStringLiteral("program/TempFiles/do_read.bat"))).count(QStringLiteral("LumavethLights")), 1);
    EXPECT_TRUE(QFileInfo::exists(program() + QStringLiteral("/Morning Freight.zip")));
    EXPECT_FALSE(window->scenarioPackage().lampAddOnNeeded);

    // A second Process rebuilds Scenario.zzz rather than appending to it, and adds no second
    // lamp line.
    expectZipOffer(QStringLiteral("Scenario(s)"), QStringLiteral("Morning Freight"), false);
    window->Command6_Click();
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.zzz"))),
              blockOf(index, kFreight) + kCrLf + blockOf(index, kShuttle) + kCrLf);
    EXPECT_EQ(window->scenarioPackage().batchText.count(QStringLiteral("LumavethLights")), 1);
}

// Each refusal shows its message and adds or writes nothing.
TEST_F(ScenarioPackageWindow, Refusals)
{
    struct Case {
        const char* name;
        std::function<void(ScenarioPackageWindow&)> before;
        std::function<void(ScenarioPackageWindow&)> act;
        QString message;
        int entries; // package entries afterwards
    };
    const QList<Case> cases{
        {"no scenario selected", [](ScenarioPackageWindow& t) { t.listRoute(kRoute); },
         [](ScenarioPackageWindow& t) { t.window->Command5_Click(); }, QStringLiteral("Select a scenario to add to the package."), 0},
        {"another route", [](ScenarioPackageWindow& t) { t.listRoute(kRoute); t.add(kFreight); t.listRoute(kOtherRoute); },
         [](ScenarioPackageWindow& t) {
             t.window->List3->item(0)->setSelected(true);
             t.window->Command5_Click();
         },
         QStringLiteral("This package holds scenarios of another route; process it first or start a new package."), 1},
        {"already listed", [](ScenarioPackageWindow& t) { t.listRoute(kRoute); t.add(kFreight); },
         [](ScenarioPackageWindow& t) { t.add(kFreight); }, QStringLiteral("This scenario is already in the package."), 1},
        {"process before any add", [](ScenarioPackageWindow&) {}, [](ScenarioPackageWindow& t) { t.window->Command6_Click(); },
         QStringLiteral("Add something to the package first."), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        c.before(*this);
        const QString batch = window->scenarioPackage().batchText;
        const int stock = window->List5->count();
        ui.clearRecords();
        ui.expectMsgBox(vb::vbOK, c.message);
        c.act(*this);
        ui.verifyDone();
        EXPECT_EQ(window->scenarioPackage().relEntries.size(), c.entries);
        EXPECT_EQ(window->List4->count(), c.entries);
        EXPECT_EQ(window->List5->count(), stock);
        EXPECT_EQ(window->scenarioPackage().batchText, batch);
        EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/do_read.bat")));
        window.reset();
    }
}

// A Scenario.bin or route index that the serializer refuses is reported; the index stops
// Process before anything is copied.
TEST_F(ScenarioPackageWindow, ConversionFailuresAreReported)
{
    open();
    listRoute(kRoute);
    {
        ScopedEnv fail("SERZ_FAIL", "Scenario.bin");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Scenario.bin could not be converted"));
        add(kFreight);
    }
    EXPECT_EQ(window->List4->count(), 1);
    EXPECT_EQ(window->List5->count(), 0);
    ScopedEnv fail("SERZ_FAIL", "Scenarios.bin");
    ui.expectMsgBox(vb::vbOK, QStringLiteral("\\content\\Routes\\") + kRoute + QStringLiteral("\\Scenarios.bin could not be converted"));
    window->Command6_Click();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Morning Freight")));
}

// "Package Assets" opened and closed while the scenario package is in progress clears the shared
// flags and the package name; Process still writes the hand-off files into the same package.
TEST_F(ScenarioPackageWindow, PackageAssetsOpenedMeanwhile)
{
    open();
    listRoute(kRoute);
    add(kFreight);
    shared().PackageAssetsMode = true;
    ui.expectModal([](QWidget* w) { w->close(); }, QStringLiteral("Select Folder containing your Assets"));
    frmFolder3::showModalWindow();
    shared().PackageFolder.clear();
    EXPECT_FALSE(shared().PackageScenariosMode);
    EXPECT_FALSE(shared().PackageAssetsMode);

    add(kShuttle);
    expectZipOffer(QStringLiteral("Scenario(s)"), QStringLiteral("Morning Freight"), false);
    window->Command6_Click();
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Morning Freight"));
    const QString p = QStringLiteral("program/Morning Freight/");
    EXPECT_TRUE(tree.exists(p + QStringLiteral("Scenario.zzz")));
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.yyy"))),
              kRoute + kCrLf + kFreight + kCrLf + kShuttle + kCrLf);
    EXPECT_TRUE(tree.exists(p + QStringLiteral("Scenario.qqq")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Evening Shuttle")));
}

class AssetPackagerWindow : public ScenarioPackageWindow {
protected:
    void SetUp() override
    {
        ScenarioPackageWindow::SetUp();
        shared().PackageScenariosMode = false;
        shared().PackageAssetsMode = true;
        tree.writeFile(QStringLiteral("game/Assets/Kuju/DaraDerovizor/RailVehicles/Diesel/Loco.bin"), "loco");
        tree.writeFile(QStringLiteral("game/Assets/Kuju/DaraDerovizor/RailVehicles/readme.txt"), "text");
        tree.writeFile(QStringLiteral("game/Assets/Kuju/DaraDerovizor/Scenery/House.bin"), "house");
        tree.writeFile(QStringLiteral("game/Assets/Other/Product/Scenery/Tree.bin"), "tree");
        packager = std::make_unique<frmFolder3>();
    }
    void TearDown() override
    {
        packager.reset();
        ScenarioPackageWindow::TearDown();
    }

    void choose(const QString& below)
    {
        packager->Dir1->setPath(tree.gamePath() + QLatin1Char('\\') + below);
        packager->Dir1_Click();
    }

    std::unique_ptr<frmFolder3> packager;
};

// Add, add, remove and Process in asset mode: the removed folder is not copied, and
// AssetSetup.ggg names the provider and product of the folder clicked last, whatever the rows.
TEST_F(AssetPackagerWindow, AddRemoveProcessInAssetMode)
{
    EXPECT_EQ(packager->Text2->text(), QStringLiteral("*.*"));
    choose(QStringLiteral("Assets\\Kuju\\DaraDerovizor\\RailVehicles"));
    EXPECT_EQ(packager->currentRelPath(), QStringLiteral("Rail Simulator\\Assets\\Kuju\\DaraDerovizor\\RailVehicles"));
    packager->Command1_Click();
    choose(QStringLiteral("Assets\\Other\\Product\\Scenery"));
    packager->Command1_Click();
    choose(QStringLiteral("Assets\\Kuju\\DaraDerovizor\\Scenery"));
    packager->Command1_Click();
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("RailVehicles"));
    ASSERT_EQ(packager->List1->count(), 3);
    packager->List1->item(1)->setSelected(true);
    packager->Command4_Click();
    EXPECT_EQ(packager->copyLines().size(), 2);
    EXPECT_FALSE(packager->copyLines().join(QString()).contains(QStringLiteral("Other")));
    choose(QStringLiteral("Assets\\Other\\Product\\Scenery")); // clicked, not added

    const QString chosen = packager->currentFolder();
    expectZipOffer(QStringLiteral("Assets"), QStringLiteral("RailVehicles"), true);
    packager->Command3_Click();
    const QString p = QStringLiteral("program/RailVehicles/");
    EXPECT_EQ(tree.readFile(p + QStringLiteral("Rail Simulator/Assets/Kuju/DaraDerovizor/RailVehicles/Diesel/Loco.bin")),
              QByteArray("loco"));
    EXPECT_TRUE(tree.exists(p + QStringLiteral("Rail Simulator/Assets/Kuju/DaraDerovizor/Scenery/House.bin")));
    EXPECT_FALSE(tree.exists(p + QStringLiteral("Rail Simulator/Assets/Other")));
    EXPECT_EQ(tree.readFile(p + QStringLiteral("AssetSetup.ggg")), QByteArray("Assets\\Other\\Product\r\n"));
    EXPECT_EQ(tree.readFile(p + QStringLiteral("AssetSetup.exe")), QByteArray("installer"));
    EXPECT_FALSE(tree.exists(p + QStringLiteral("Scenario.yyy")));
    EXPECT_TRUE(QFileInfo::exists(program() + QStringLiteral("/RailVehicles.zip")));
    EXPECT_EQ(packager->currentFolder(), chosen);
}

// The drive list opens at the game's drive and moves the folder tree, its path shown in Text1;
// a drive whose folder is gone gives the handler's message and leaves the lists as they were.
TEST_F(AssetPackagerWindow, DriveListMovesTheFolderTree)
{
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("gone")), tree.path(QStringLiteral("wine/dosdevices/d:"))));
    packager->Drive1->refresh();
    EXPECT_EQ(packager->Drive1->drive(), QStringLiteral("e:")); // the game's own drive
    EXPECT_EQ(packager->Dir1->path().compare(tree.gamePath() + QStringLiteral("\\Assets"), Qt::CaseInsensitive), 0);

    for (const TestDrive& row : testDrives(tree)) {
        SCOPED_TRACE(row.drive);
        const QString drive = packager->Drive1->drive();
        const QString dir = packager->Dir1->path();
        const QString text = packager->Text1->text();
        packager->Drive1->setCurrentIndex(packager->Drive1->findText(QLatin1String(row.drive)));
        if (row.root.isEmpty())
            ui.expectMsgBox(vb::vbOK, QStringLiteral("Error Device unavailable occurred in Drive1_change"));
        packager->Drive1_Change();
        ui.verifyDone();
        if (row.root.isEmpty()) {
            EXPECT_EQ(packager->Drive1->drive(), drive);
            EXPECT_EQ(packager->Dir1->path(), dir);
            EXPECT_EQ(packager->Text1->text(), text);
        } else {
            EXPECT_EQ(packager->Dir1->root(), row.root);
            EXPECT_EQ(packager->Text1->text(), packager->Dir1->path());
        }
    }
}

// "Add to Package" with the game on drive c:, its folder in either form, and the folder clicked
// as the window opened or after the drive list moved away and back: the same row and the same
// copy line, naming the folder from the game folder, and Process packages the folder.
TEST_F(AssetPackagerWindow, AddWhicheverWayTheListReachedTheFolder)
{
    ASSERT_TRUE(placeGameOnDriveC(tree));
    const QString below = QStringLiteral("Assets\\VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\Mk1Maroon");
    const QString rel = QStringLiteral("Rail Simulator\\") + below;
    QStringList expected;
    for (const QString& file : filesBelow(tree.path(kGameOnDriveC + QStringLiteral("/") + QString(below).replace(QLatin1Char('\\'), QLatin1Char('/')))))
        expected << QString(below).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('/') + file;
    ASSERT_FALSE(expected.isEmpty());
    for (const DriveRoad& road : kDriveRoads) {
        SCOPED_TRACE(road.what);
        const QString game = gameOnDriveC(tree, road);
        shared().GamePath = game;
        shared().PackageFolder.clear();
        packager = std::make_unique<frmFolder3>();
        EXPECT_EQ(packager->Drive1->drive(), QStringLiteral("c:"));
        moveDriveIfTheRoadSays(*packager->Drive1, road);
        clickGameFolder(*packager->Dir1, game, road, below);
        packager->Command1_Click();
        EXPECT_EQ(listRows(packager->List1), QStringList{rel});
        EXPECT_EQ(packager->copyLines(),
                  QStringList{packaging::FolderCopyLine(game + QLatin1Char('\\') + below, program(), QStringLiteral("Mk1Maroon"), rel)});

        expectZipOffer(QStringLiteral("Assets"), QStringLiteral("Mk1Maroon"), false);
        packager->Command3_Click();
        ui.verifyDone();
        EXPECT_EQ(filesBelow(package(QStringLiteral("Mk1Maroon/Rail Simulator"))), expected);
        EXPECT_EQ(tree.readFile(QStringLiteral("program/Mk1Maroon/AssetSetup.ggg")), QByteArray("Assets\\VeltraneSamples\\Sample01\r\n"));
        ASSERT_TRUE(QDir(package(QStringLiteral("Mk1Maroon"))).removeRecursively());
    }
}

// In scenario mode the rows are scenario folders: Scenario.zzz and Scenario.yyy, whose first
// line is the first row's route folder.
TEST_F(AssetPackagerWindow, ProcessInScenarioMode)
{
    shared().PackageScenariosMode = true;
    choose(QStringLiteral("Content\\Routes\\") + kRoute + QStringLiteral("\\Scenarios\\") + kShuttle);
    packager->Command1_Click();
    choose(QStringLiteral("Content\\Routes\\") + kRoute + QStringLiteral("\\Scenarios\\") + kFreight);
    packager->Command1_Click();
    expectZipOffer(QStringLiteral("Assets"), kShuttle, false);
    packager->Command3_Click();
    const QString p = QStringLiteral("program/") + kShuttle + QLatin1Char('/');
    const QString index = indexText();
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.zzz"))),
              blockOf(index, kShuttle) + kCrLf + blockOf(index, kFreight) + kCrLf);
    EXPECT_EQ(QString::fromUtf8(tree.readFile(p + QStringLiteral("Scenario.yyy"))),
              kRoute + kCrLf + kShuttle + kCrLf + kFreight + kCrLf);
    EXPECT_TRUE(tree.exists(p + QStringLiteral("Rail Simulator/Content/Routes/") + kRoute + QStringLiteral("/Scenarios/")
                            + kShuttle + QStringLiteral("/Sub/Extra.bin")));
    EXPECT_FALSE(tree.exists(p + QStringLiteral("AssetSetup.ggg")));

    packager->close();
    EXPECT_FALSE(shared().PackageScenariosMode);
    EXPECT_FALSE(shared().PackageAssetsMode);
}

// The pattern box, Process before any add, and a tiny window.
TEST_F(AssetPackagerWindow, PatternBoxEmptyPackageAndTinyWindow)
{
    choose(QStringLiteral("Assets\\Kuju\\DaraDerovizor\\RailVehicles"));
    EXPECT_EQ(packager->File1->count(), 1);
    packager->Text2->setText(QStringLiteral("*.bin"));
    EXPECT_EQ(packager->File1->count(), 0);
    packager->Text2->setText(QString());
    EXPECT_EQ(packager->Text2->text(), QStringLiteral("*.*"));
    ASSERT_EQ(packager->File1->count(), 1);
    EXPECT_EQ(packager->File1->item(0)->text(), QStringLiteral("readme.txt"));

    ui.expectMsgBox(vb::vbOK, QStringLiteral("Add something to the package first."));
    packager->Command3_Click();
    ui.verifyDone();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/do_read.bat")));

    packager->resize(20, 20);
    packager->Form_Resize();
    for (QWidget* w : std::initializer_list<QWidget*>{packager->Drive1, packager->Text2, packager->Dir1, packager->File1,
                                                       packager->Text1, packager->List1, packager->Text3, packager->Command1})
        EXPECT_TRUE(w->width() >= 0 && w->height() >= 0) << w->objectName().toStdString();
    EXPECT_EQ(packager->layout().Drive1.Width, packaging::Folder3Design().Drive1.Width);
    EXPECT_EQ(packager->Text1->width(), (2 * packaging::Folder3Design().Drive1.Width + 150) / 15);
}

} // namespace
