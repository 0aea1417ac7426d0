// The browser's commands on a temporary copy of the sample game, with the test serializer
// running as a real child process.
#include "BrowserFixture.h"

#include "common/Serializer.h"
#include "platform/TextCodec.h"
#include "scenarios/ScenarioBrowser.h"

#include <QElapsedTimer>
#include <QThread>

using namespace browsertest;
using scenarios::ScenarioBrowser;

namespace {

QByteArray routesXml(const QList<QPair<QString, QString>>& routes) // (folder, English name)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n";
    for (const auto& [folder, name] : routes) {
        out += "<cRouteProperties><ID><cGUID><DevString d:type=\"cDeltaString\">" + folder.toUtf8()
               + "</DevString></cGUID></ID>\r\n<DisplayName><Localisation-cUserLocalisedString>"
                 "<English d:type=\"cDeltaString\">"
               + name.toUtf8()
               + "</English><French></French><Italian></Italian><German></German><Spanish></Spanish>"
                 "<Key>k</Key></Localisation-cUserLocalisedString></DisplayName></cRouteProperties>\r\n";
    }
    return out + "</cRecordSet>\r\n";
}

// A scenario list with one block per (id, name).
QByteArray scenarioListXml(const QList<QPair<QString, QString>>& scenarios)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n";
    for (const auto& [id, name] : scenarios) {
        out += "\t\t<cScenarioProperties d:id=\"1\">\r\n\t\t\t<DevString d:type=\"cDeltaString\">" + id.toUtf8()
               + "</DevString>\r\n\t\t\t<DisplayName><English>" + name.toUtf8()
               + "</English><French></French><Italian></Italian><German></German><Spanish></Spanish>"
                 "</DisplayName>\r\n\t\t\t<ScenarioClass>eStandardScenarioClass</ScenarioClass>\r\n"
                 "\t\t</cScenarioProperties>\r\n";
    }
    return out + "\t</Record>\r\n</cRecordSet>\r\n";
}

QStringList values(const VbArray<QString>& a)
{
    return a.values();
}

} // namespace

// ---- routes --------------------------------------------------------------------------------

using BrowserRoutes = BrowserFixture;

TEST_F(BrowserRoutes, LoadsTheSampleGamesRoutes)
{
    ScenarioBrowser browser;
    browser.load();
    EXPECT_EQ(browser.RoutesXmlPath, tree.gamePath() + "\\Content\\Routes.xml");
    EXPECT_EQ(browser.routeRows,
              (QStringList{"Veltrane Valley Line\t" + kValley, "Eastfield Branch\t" + kEastfield}));
    EXPECT_EQ(values(shared().RouteNames), (QStringList{"Veltrane Valley Line", "Eastfield Branch"}));
    EXPECT_EQ(values(shared().RouteFolders), (QStringList{kValley, kEastfield}));
    EXPECT_EQ(shared().RouteFolders.lbound(), 0);
    EXPECT_EQ(shared().RouteFolders.ubound(), 1);
}

TEST_F(BrowserRoutes, ManyRoutesGrowTheTablesAndEndWithOneEntryPerRow)
{
    QList<QPair<QString, QString>> routes;
    for (int i = 0; i < 120; ++i)
        routes.append({QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Route %1").arg(i)});
    QByteArray xml = routesXml(routes);
    // Route 51 has only a French name, route 52 no name at all.
    xml.replace("<English d:type=\"cDeltaString\">Route 51</English><French></French>",
                "<English d:type=\"cDeltaString\"></English><French>Ligne 51</French>");
    xml.replace("<English d:type=\"cDeltaString\">Route 52</English>", "<English d:type=\"cDeltaString\"></English>");
    ASSERT_TRUE(write(game("Content/Routes.xml"), xml));

    ScenarioBrowser browser;
    browser.load();
    ASSERT_EQ(browser.routeRows.size(), 120);
    EXPECT_EQ(shared().RouteNames.ubound(), 119);
    EXPECT_EQ(shared().RouteFolders.ubound(), 119);
    EXPECT_EQ(browser.routeRows[0], "Route 0\tR000");
    EXPECT_EQ(browser.routeRows[50], "Route 50\tR050");
    EXPECT_EQ(browser.routeRows[51], "Ligne 51\tR051");
    EXPECT_EQ(browser.routeRows[52], "\tR052");
    EXPECT_EQ(browser.routeRows[119], "Route 119\tR119");
    EXPECT_EQ(shared().RouteNames[51], "Ligne 51");
    EXPECT_EQ(shared().RouteFolders[101], "R101");
}

TEST_F(BrowserRoutes, AFailureWhileLoadingKeepsTheRoutesReadSoFar)
{
    QByteArray xml = routesXml({{"A", "Alpha"}, {"B", "Beta"}});
    // A third entry whose name has no language elements.
    xml.replace("</cRecordSet>", "<cRouteProperties><DevString>C</DevString><Name>x</Name></cRouteProperties></cRecordSet>");
    ASSERT_TRUE(write(game("Content/Routes.xml"), xml));

    ui.expectMsgBox(vb::vbOK);
    ScenarioBrowser browser;
    browser.load();
    EXPECT_EQ(ui.lastMessage().text,
              "Error - Invalid procedure call or argument occurred in frmShowRoutes_Load\r\ni =  2");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
    EXPECT_EQ(browser.routeRows, (QStringList{"Alpha\tA", "Beta\tB"}));
    EXPECT_EQ(values(shared().RouteFolders), (QStringList{"A", "B"}));
}

TEST_F(BrowserRoutes, NoRoutesFileListsNothing)
{
    QFile::remove(game("Content/Routes.xml"));
    ScenarioBrowser browser;
    browser.load();
    EXPECT_TRUE(browser.routeRows.isEmpty());
    EXPECT_EQ(shared().RouteNames.count(), 0);
}

// ---- scenario listing ----------------------------------------------------------------------

using BrowserListing = BrowserFixture;

TEST_F(BrowserListing, ListsTheScenariosOfTheChosenRoute)
{
    const QMap<QString, QByteArray> before = snapshot(tree.gamePath());
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    EXPECT_EQ(browser.scenarioRows, (QStringList{"Morning Freight\t" + kMorning, "Evening Shuttle\t" + kEvening}));
    EXPECT_EQ(values(shared().ScenarioFolders), (QStringList{kMorning, kEvening}));
    EXPECT_EQ(values(shared().ScenarioNames), (QStringList{"Morning Freight", "Evening Shuttle"}));
    EXPECT_EQ(browser.SelectedRoutePath, routePathText(kValley));
    EXPECT_EQ(shared().CurrentFile, routePathText(kValley) + "\\Scenarios.bin");
    EXPECT_EQ(browser.ScenariosXmlName, "Scenarios.xml");
    EXPECT_EQ(tree.readFile("program/TempFiles/Scenarios.xml"), xmlOf(route(kValley, "Scenarios.bin")));
    // Listing changes nothing in the game.
    EXPECT_EQ(snapshot(tree.gamePath()), before);

    // The other route; the tables are made anew.
    browser.listScenarios(1);
    EXPECT_EQ(browser.scenarioRows, (QStringList{"Branch Pick-up\ta1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071"}));
    EXPECT_EQ(shared().ScenarioFolders.ubound(), 0);
}

TEST_F(BrowserListing, MissingFolderOrScenarioFileIsReportedAndTheNextEntryStillListed)
{
    ASSERT_TRUE(writeBinary(route(kValley, "Scenarios.bin"),
                            scenarioListXml({{"gone-1", "Gone"}, {kMorning, "Morning"}, {kEvening, "Evening"}})));
    ASSERT_TRUE(QFile::remove(scenario(kValley, kMorning, "Scenario.bin")));
    const QByteArray list = bytes(route(kValley, "Scenarios.bin"));

    ui.expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK);
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages()[0].text, "The Scenario Folder gone-1 listed in Scenarios.bin does not exist!");
    EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.messages()[1].text, "There is no Scenario.bin file in the sub-folder\r\n" + kMorning);
    EXPECT_EQ(browser.scenarioRows, (QStringList{"Evening\t" + kEvening}));
    EXPECT_EQ(values(shared().ScenarioFolders), (QStringList{kEvening}));
    EXPECT_EQ(bytes(route(kValley, "Scenarios.bin")), list);
}

TEST_F(BrowserListing, ARouteWithoutValidScenariosKeepsFiftyOneEmptySlots)
{
    ASSERT_TRUE(writeBinary(route(kValley, "Scenarios.bin"), scenarioListXml({{"gone-1", "Gone"}})));
    ui.expectMsgBox(vb::vbOK, "gone-1").expectMsgBox(vb::vbOK);
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    EXPECT_EQ(ui.lastMessage().text, "No Scenarios were found for this route.");
    EXPECT_TRUE(browser.scenarioRows.isEmpty());
    EXPECT_EQ(shared().ScenarioFolders.ubound(), 50);
    EXPECT_EQ(shared().ScenarioNames.ubound(), 50);
    EXPECT_EQ(shared().ScenarioFolders[0], "");

    // A route folder without any scenario list.
    ASSERT_TRUE(QFile::remove(route(kEastfield, "Scenarios.bin")));
    ui.expectMsgBox(vb::vbOK, "No Scenarios were found for this route.");
    browser.listScenarios(1);
    EXPECT_TRUE(browser.scenarioRows.isEmpty());
}

TEST_F(BrowserListing, FolderNamesThatWouldLeaveTheScenariosFolderAreNeverUsed)
{
    // "..\Scenarios\<id>" names an existing folder, and "" the Scenarios folder itself.
    ASSERT_TRUE(writeBinary(route(kValley, "Scenarios.bin"),
                            scenarioListXml({{"..\\Scenarios\\" + kEvening, "Sneaky"},
                                             {"", "Empty"},
                                             {"..", "Parent"},
                                             {kEvening, "Evening"}})));
    ui.expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK).expectMsgBox(vb::vbOK);
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    ASSERT_EQ(ui.messages().size(), 3);
    EXPECT_EQ(ui.messages()[0].text, "The Scenario Folder ..\\Scenarios\\" + kEvening + " listed in Scenarios.bin does not exist!");
    EXPECT_EQ(ui.messages()[1].text, "The Scenario Folder  listed in Scenarios.bin does not exist!");
    EXPECT_EQ(ui.messages()[2].text, "The Scenario Folder .. listed in Scenarios.bin does not exist!");
    EXPECT_EQ(browser.scenarioRows, (QStringList{"Evening\t" + kEvening}));
}

TEST_F(BrowserListing, AFailedConversionListsNothingAndNeverReadsAnOldWorkFile)
{
    // A work file of another route, left from an earlier listing.
    tree.writeFile("program/TempFiles/Scenarios.xml", scenarioListXml({{kMorning, "Stale"}}));
    ScopedEnv fail("SERZ_FAIL", "Scenarios.bin");
    ui.expectMsgBox(vb::vbOK, "Scenarios.bin");
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    EXPECT_TRUE(ui.lastMessage().text.contains(routePathText(kValley) + "\\Scenarios.bin"));
    EXPECT_TRUE(browser.scenarioRows.isEmpty());
    EXPECT_FALSE(tree.exists("program/TempFiles/Scenarios.xml"));
}

TEST_F(BrowserListing, NoRouteChosenListsNothing)
{
    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(-1);
    EXPECT_TRUE(browser.scenarioRows.isEmpty());
    EXPECT_TRUE(browser.SelectedRoutePath.isEmpty());
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_TRUE(tree.exists("program/TempFiles")); // the work folder is made all the same
}

// ---- Edit Selected Scenario ----------------------------------------------------------------

class BrowserEdit : public BrowserFixture {
protected:
    void SetUp() override
    {
        BrowserFixture::SetUp();
        browser.load();
        browser.listScenarios(0);
    }
    // Marks the shared texts, to see that a failure leaves them alone.
    void markTexts()
    {
        SharedState& s = shared();
        s.ScenarioProperties = s.ScenariosTextBefore = s.ScenariosTextAfter = "old";
        s.ScenarioTextLoaded = s.ScenarioText = s.TracksText = "old";
    }
    bool textsUntouched() const
    {
        const SharedState& s = shared();
        return s.ScenarioProperties == "old" && s.ScenariosTextBefore == "old" && s.ScenariosTextAfter == "old"
               && s.ScenarioTextLoaded == "old" && s.ScenarioText == "old" && s.TracksText == "old";
    }
    ScenarioBrowser browser;
};

TEST_F(BrowserEdit, PreparesTheEditorsTextsExactly)
{
    const QString list = platform::decodeAnsi(xmlOf(route(kValley, "Scenarios.bin")));
    for (int row : {0, 1}) {
        const QString id = row == 0 ? kMorning : kEvening;
        ASSERT_TRUE(browser.prepareEditor(row));
        const SharedState& s = shared();
        EXPECT_EQ(s.RouteFolder, routePathText(kValley));
        EXPECT_EQ(s.ScenarioFolder, routePathText(kValley) + "\\Scenarios\\" + id);
        EXPECT_EQ(s.ScenariosTextBefore + s.ScenarioProperties + s.ScenariosTextAfter, list);
        EXPECT_TRUE(s.ScenarioProperties.startsWith("<cScenarioProperties d:id="));
        EXPECT_TRUE(s.ScenarioProperties.endsWith("</cScenarioProperties>"));
        EXPECT_TRUE(s.ScenarioProperties.contains(id));
        EXPECT_EQ(s.ScenarioProperties.count("<cScenarioProperties"), 1);
        EXPECT_EQ(s.ScenarioTextLoaded, platform::decodeAnsi(xmlOf(scenario(kValley, id, "Scenario.bin"))));
        EXPECT_EQ(s.ScenarioText, s.ScenarioTextLoaded);
        EXPECT_EQ(s.TracksText, platform::decodeAnsi(xmlOf(route(kValley, "Networks/Tracks.bin"))));
        EXPECT_EQ(browser.RoutesXmlText, list);
    }
    // First block: the text before it is the list's head; last block: the text after it is the tail.
    EXPECT_TRUE(shared().ScenariosTextAfter.startsWith("\r\n\t</Record>"));
    ASSERT_TRUE(browser.prepareEditor(0));
    EXPECT_TRUE(shared().ScenariosTextBefore.endsWith("<Record>\r\n\t\t"));
    EXPECT_EQ(ui.pointerHistory().first(), vb::vbHourglass);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

TEST_F(BrowserEdit, NoRowsOrNoSelection)
{
    ui.expectMsgBox(vb::vbOK, "You have not selected a Scenario?");
    EXPECT_FALSE(browser.prepareEditor(-1));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);

    ScenarioBrowser empty;
    ui.expectMsgBox(vb::vbOK, "No Scenarios were found.");
    EXPECT_FALSE(empty.prepareEditor(0));
}

TEST_F(BrowserEdit, AFailedConversionNamesTheFileAndLeavesTheTextsAlone)
{
    for (const char* file : {"Scenarios.bin", "Scenario.bin", "Tracks.bin"}) {
        SCOPED_TRACE(file);
        markTexts();
        // Work files of an earlier scenario are never read in place of this one's.
        tree.writeFile("program/TempFiles/Tracks.xml", "<old/>");
        tree.writeFile("program/TempFiles/Scenario.xml", "<old/>");
        ScopedEnv fail("SERZ_FAIL", file);
        ui.expectMsgBox(vb::vbOK, QString::fromLatin1(file));
        EXPECT_FALSE(browser.prepareEditor(1));
        EXPECT_TRUE(ui.lastMessage().text.contains("SERZ.EXE could not convert"));
        EXPECT_TRUE(textsUntouched());
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }
}

TEST_F(BrowserEdit, AScenarioMissingFromTheListIsAnError)
{
    // The list changed since it was shown: the Evening Shuttle is no longer in it.
    ASSERT_TRUE(writeBinary(route(kValley, "Scenarios.bin"), scenarioListXml({{kMorning, "Morning"}})));
    markTexts();
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(browser.prepareEditor(1));
    EXPECT_EQ(ui.lastMessage().text,
              "Error - Invalid procedure call or argument occurred in subroutine Command10_Click");
    EXPECT_TRUE(textsUntouched());
}

// ---- Remove Empty Consists -----------------------------------------------------------------

class BrowserConsists : public BrowserEdit {
protected:
    void SetUp() override
    {
        BrowserEdit::SetUp();
        // The Evening Shuttle with an empty consist between two full ones.
        original = QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n\t\t")
                   + full("1") + "\r\n\t\t" + empty("2") + "\r\n\t\t" + full("3") + "\r\n\t</Record>\r\n</cRecordSet>\r\n";
        expected = QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n\t\t")
                   + full("1") + "\r\n\t\t\t" + full("3") + "\r\n\t</Record>\r\n</cRecordSet>\r\n";
        ASSERT_TRUE(writeBinary(scenario(kValley, kEvening, "Scenario.bin"), original));
        binary = bytes(scenario(kValley, kEvening, "Scenario.bin"));
    }
    static QByteArray full(const QByteArray& id)
    {
        return "<cConsist d:id=\"" + id + "\">\r\n\t\t\t<RailVehicles>\r\n\t\t\t\t<cOwnedEntity d:id=\"9" + id
               + "\"><Name>Caf\xc3\xa9 Car</Name></cOwnedEntity>\r\n\t\t\t</RailVehicles>\r\n\t\t</cConsist>";
    }
    static QByteArray empty(const QByteArray& id)
    {
        return "<cConsist d:id=\"" + id + "\">\r\n\t\t\t<RailVehicles/>\r\n\t\t</cConsist>";
    }
    QString scenarioFolder() const { return scenario(kValley, kEvening); }

    QByteArray original, expected, binary;
};

TEST_F(BrowserConsists, RemovesTheEmptyConsistAndBacksUpTheScenario)
{
    ui.expectMsgBox(vb::vbOK, "Empty Consists have been removed from this Scenario.");
    EXPECT_TRUE(browser.removeEmptyConsistsFromScenario(1));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbInformation);
    // The work text is written as one line: the text and a line end.
    EXPECT_EQ(tree.readFile("program/TempFiles/Scenario.xml"), expected + "\r\n");
    EXPECT_EQ(xmlOf(scenarioFolder() + "/Scenario.bin"), expected + "\r\n");
    EXPECT_EQ(bytes(scenarioFolder() + "/Scenario.bak"), binary);
    EXPECT_EQ(shared().ScenarioFolder, routePathText(kValley) + "\\Scenarios\\" + kEvening);

    // Nothing left to remove: the text is still written back, with the next backup name.
    const QByteArray once = bytes(scenarioFolder() + "/Scenario.bin");
    ui.expectMsgBox(vb::vbOK, "Empty Consists have been removed from this Scenario.");
    EXPECT_TRUE(browser.removeEmptyConsistsFromScenario(1));
    EXPECT_EQ(bytes(scenarioFolder() + "/Scenario.bak"), binary);
    EXPECT_EQ(bytes(scenarioFolder() + "/Scenario.bak1"), once);
    EXPECT_EQ(xmlOf(scenarioFolder() + "/Scenario.bin"), expected + "\r\n\r\n");
}

TEST_F(BrowserConsists, EveryFailureLeavesTheGameFilesByteIdentical)
{
    const QMap<QString, QByteArray> before = snapshot(tree.gamePath());
    struct Case {
        const char* failing;
        const char* inMessage;
    };
    for (const Case& c : {Case{"Scenario.bin", "Scenario.bin"}, Case{"Scenario.xml", "Scenario.xml"}}) {
        SCOPED_TRACE(c.failing);
        ScopedEnv fail("SERZ_FAIL", c.failing);
        ui.expectMsgBox(vb::vbOK, QString::fromLatin1(c.inMessage));
        EXPECT_FALSE(browser.removeEmptyConsistsFromScenario(1));
        EXPECT_TRUE(ui.lastMessage().text.startsWith("SERZ.EXE"));
        EXPECT_EQ(snapshot(tree.gamePath()), before);
    }

    // No backup name left: the scenario stays as it is.
    ASSERT_TRUE(write(scenarioFolder() + "/Scenario.bak", "b"));
    for (int n = 1; n <= 50; ++n)
        ASSERT_TRUE(write(scenarioFolder() + "/Scenario.bak" + QString::number(n), "b"));
    const QMap<QString, QByteArray> full = snapshot(tree.gamePath());
    ui.expectMsgBox(vb::vbOK, "All 51 backup names");
    EXPECT_FALSE(browser.removeEmptyConsistsFromScenario(1));
    EXPECT_EQ(snapshot(tree.gamePath()), full);
}

TEST_F(BrowserConsists, NoScenarioSelected)
{
    ui.expectMsgBox(vb::vbOK, "You have not selected a Scenario?");
    EXPECT_FALSE(browser.removeEmptyConsistsFromScenario(-1));
    EXPECT_EQ(bytes(scenarioFolder() + "/Scenario.bin"), binary);
}

// ---- reverts -------------------------------------------------------------------------------

using BrowserRevert = BrowserEdit;

TEST_F(BrowserRevert, RouteRevertRestoresTheFirstBackupThenDeletesTheNumberedOnes)
{
    const QString folder = route(kValley);
    ASSERT_TRUE(write(folder + "/Scenarios.bak", "first"));
    ASSERT_TRUE(write(folder + "/Scenarios.bak1", "second"));
    ASSERT_TRUE(write(folder + "/Scenarios.bak7", "seventh"));
    ASSERT_TRUE(write(folder + "/Scenarios.bak51", "not a backup name"));
    browser.revertRoute(0);
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(bytes(folder + "/Scenarios.bin"), "first");
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenarios.bak"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenarios.bak1"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenarios.bak7"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/Scenarios.bak51"));
}

TEST_F(BrowserRevert, NothingToRestoreDeletesNothing)
{
    const QString folder = route(kValley);
    ASSERT_TRUE(write(folder + "/Scenarios.bak1", "second"));
    const QMap<QString, QByteArray> before = snapshot(tree.gamePath());
    browser.revertRoute(0);
    browser.revertRoute(-1); // no row selected
    browser.revertScenario(-1);
    browser.revertScenario(1); // a scenario without backups
    EXPECT_EQ(snapshot(tree.gamePath()), before);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(BrowserRevert, ScenarioRevertWorksInTheScenarioFolder)
{
    const QString folder = scenario(kValley, kEvening);
    ASSERT_TRUE(write(folder + "/Scenario.bak", "first"));
    ASSERT_TRUE(write(folder + "/Scenario.bak2", "third"));
    ASSERT_TRUE(write(route(kValley, "Scenarios.bak"), "route backup"));
    const QByteArray list = bytes(route(kValley, "Scenarios.bin"));
    browser.revertScenario(1);
    EXPECT_EQ(bytes(folder + "/Scenario.bin"), "first");
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenario.bak"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenario.bak2"));
    // The route's own list is not touched.
    EXPECT_EQ(bytes(route(kValley, "Scenarios.bin")), list);
    EXPECT_EQ(bytes(route(kValley, "Scenarios.bak")), "route backup");
}

// ---- CurrentSave.xml -----------------------------------------------------------------------

class BrowserSaves : public BrowserEdit {
protected:
    void SetUp() override
    {
        BrowserEdit::SetUp();
        ASSERT_TRUE(browser.chooseScenario(1));
        folder = scenario(kValley, kEvening);
        ASSERT_TRUE(write(folder + "/CurrentSave.xml", "current"));
        ASSERT_TRUE(write(folder + "/Before the climb.xml", "climb"));
    }
    QString folder;
};

TEST_F(BrowserSaves, ChoosingAScenarioPointsTheSavedCopiesAtItsFolder)
{
    EXPECT_EQ(shared().RouteFolder, routePathText(kValley));
    EXPECT_EQ(shared().ScenarioFolder, routePathText(kValley) + "\\Scenarios\\" + kEvening);
    EXPECT_EQ(browser.savedCopiesFolder, shared().ScenarioFolder);
    ASSERT_TRUE(write(folder + "/notes.txt", "not a save"));
    ASSERT_TRUE(write(folder + "/able.XML", "upper-case extension"));
    EXPECT_EQ(browser.savedCopies(), (QStringList{"able.XML", "Before the climb.xml", "CurrentSave.xml"}));

    EXPECT_FALSE(browser.chooseScenario(-1));
    EXPECT_EQ(shared().ScenarioFolder, routePathText(kValley) + "\\Scenarios\\" + kEvening);
}

TEST_F(BrowserSaves, SaveAsAddsTheExtensionAndACancelSavesNothing)
{
    ui.expectInputBox("Morning run", "Save CurrentSave.xml as");
    EXPECT_TRUE(browser.saveCurrentSaveAs());
    EXPECT_EQ(bytes(folder + "/Morning run.xml"), "current");

    ui.expectInputBox("Second.XML");
    EXPECT_TRUE(browser.saveCurrentSaveAs());
    EXPECT_EQ(bytes(folder + "/Second.XML"), "current");
    EXPECT_FALSE(QFileInfo::exists(folder + "/Second.XML.xml"));

    const QMap<QString, QByteArray> before = snapshot(tree.gamePath());
    ui.expectInputBox("");
    EXPECT_FALSE(browser.saveCurrentSaveAs());
    ui.expectInputBox("currentsave");
    EXPECT_FALSE(browser.saveCurrentSaveAs());
    EXPECT_EQ(snapshot(tree.gamePath()), before);
}

TEST_F(BrowserSaves, SaveAsRefusesNamesOutsideTheScenarioFolderAndReportsAMissingSave)
{
    const QMap<QString, QByteArray> before = snapshot(tree.gamePath());
    ui.expectInputBox("..\\..\\..\\..\\Routes");
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(browser.saveCurrentSaveAs());
    EXPECT_EQ(ui.lastMessage().text, "Error - Bad file name or number occurred in subroutine Command4_Click");
    EXPECT_EQ(snapshot(tree.gamePath()), before);

    QFile::remove(folder + "/CurrentSave.xml");
    ui.expectInputBox("copy");
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(browser.saveCurrentSaveAs());
    EXPECT_EQ(ui.lastMessage().text, "Error - File not found occurred in subroutine Command4_Click");
    EXPECT_FALSE(QFileInfo::exists(folder + "/copy.xml"));
}

TEST_F(BrowserSaves, OverwriteNeedsASelectedFileAndAYes)
{
    // No file selected: nothing is asked or changed.
    EXPECT_FALSE(browser.overwriteCurrentSave(""));

    ui.expectMsgBox(vb::vbNo);
    EXPECT_FALSE(browser.overwriteCurrentSave("Before the climb.xml"));
    EXPECT_EQ(ui.lastMessage().text,
              "This operation will delete your CurrentSave.xml file for this Scenario and replace it\r\n"
              "with the selected file. Proceed?");
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbExclamation);
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "current");

    ui.expectMsgBox(vb::vbYes);
    EXPECT_TRUE(browser.overwriteCurrentSave("Before the climb.xml"));
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "climb");
    EXPECT_EQ(bytes(folder + "/Before the climb.xml"), "climb");

    // CurrentSave.xml chosen as its own replacement: nothing changes.
    ASSERT_TRUE(write(folder + "/CurrentSave.xml", "current"));
    ui.expectMsgBox(vb::vbYes);
    EXPECT_TRUE(browser.overwriteCurrentSave("currentsave.XML"));
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "current");
}

TEST_F(BrowserSaves, AFailedCopyKeepsCurrentSave)
{
    // The selected file disappeared after the list was shown.
    QFile::remove(folder + "/Before the climb.xml");
    ui.expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
    EXPECT_FALSE(browser.overwriteCurrentSave("Before the climb.xml"));
    EXPECT_EQ(ui.lastMessage().text, "Error - File not found occurred in subroutine Command5_Click");
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "current");
}

// ---- running the game and its editor -------------------------------------------------------

class BrowserRun : public BrowserSaves {
protected:
    // A stand-in program that records that it ran.
    void makeProgram(const QString& name)
    {
        const QString marker = tree.path(name + ".ran");
        const QString path = tree.gamePath() + "/" + name;
        ASSERT_TRUE(write(path, "#!/bin/sh\necho ran > '" + marker.toUtf8() + "'\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ran(const QString& name)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            if (QFileInfo::exists(tree.path(name + ".ran")))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
};

TEST_F(BrowserRun, TheGameStartsAtOnceWhenThereAreNoSaves)
{
    makeProgram("RailSim.exe");
    ScenarioBrowser fresh; // nothing chosen: the saved-copies list is empty
    EXPECT_TRUE(fresh.runGame(""));
    EXPECT_TRUE(ran("RailSim.exe"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(BrowserRun, TheGameStartsWithTheSelectedSave)
{
    makeProgram("RailSim.exe");
    EXPECT_FALSE(browser.runGame("")); // saves listed but none selected
    ui.expectMsgBox(vb::vbNo);
    EXPECT_FALSE(browser.runGame("Before the climb.xml"));
    EXPECT_EQ(ui.lastMessage().text,
              "This operation will delete your CurrentSave.xml file for this Scenario. If you have not saved it,\r\n"
              "click NO and save it before proceeding. Proceed?");
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "current");
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(tree.path("RailSim.exe.ran")));

    ui.expectMsgBox(vb::vbYes);
    EXPECT_TRUE(browser.runGame("Before the climb.xml"));
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "climb");
    EXPECT_TRUE(ran("RailSim.exe"));
}

TEST_F(BrowserRun, TheGameMissingIsReported)
{
    ScenarioBrowser fresh;
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(fresh.runGame(""));
    EXPECT_EQ(ui.lastMessage().text, "Error - File not found occurred in subroutine Command6_Click");
}

TEST_F(BrowserRun, TheEditorNeedsTheDevTools)
{
    ui.expectMsgBox(vb::vbYes).expectMsgBox(vb::vbOK);
    EXPECT_FALSE(browser.runGameEditor("Before the climb.xml"));
    EXPECT_EQ(ui.lastMessage().text,
              "You do not appear to have the Dev Tools installed.\r\nPlease Run Rail Simulator instead.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "climb"); // the save was replaced all the same

    makeProgram("RailSimEditor.exe");
    ASSERT_TRUE(write(folder + "/CurrentSave.xml", "current"));
    EXPECT_FALSE(browser.runGameEditor("")); // no file selected: nothing asked
    ui.expectMsgBox(vb::vbYes);
    EXPECT_TRUE(browser.runGameEditor("Before the climb.xml"));
    EXPECT_TRUE(ran("RailSimEditor.exe"));
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "climb");
}
