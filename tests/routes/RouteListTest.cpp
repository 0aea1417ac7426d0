#include "routes/RouteList.h"

#include "RouteGame.h"
#include "common/SharedState.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace routes;

namespace {

// One route entry of "Routes.xml" with its five language names.
QString routeEntry(const QString& folder, const QStringList& names)
{
    static const char* languages[] = {"English", "French", "Italian", "German", "Spanish"};
    QString e = QStringLiteral("\t\t<cRouteProperties d:id=\"2\">\r\n\t\t\t<ID><cGUID><DevString d:type=\"cDeltaString\">")
                + folder + QStringLiteral("</DevString></cGUID></ID>\r\n\t\t\t<DisplayName><Localisation-cUserLocalisedString>\r\n");
    for (int i = 0; i < 5; ++i) {
        const QString lang = QString::fromLatin1(languages[i]);
        e += QStringLiteral("\t\t\t\t<") + lang + QStringLiteral(" d:type=\"cDeltaString\">") + names.value(i)
             + QStringLiteral("</") + lang + QStringLiteral(">\r\n");
    }
    e += QStringLiteral("\t\t\t</Localisation-cUserLocalisedString></DisplayName>\r\n\t\t</cRouteProperties>\r\n");
    return e;
}

QString routesXml(const QStringList& entries)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n") + entries.join(QString())
           + QStringLiteral("\t</Record>\r\n</cRecordSet>\r\n");
}

} // namespace

TEST(RouteListRead, NamesFallBackThroughTheLanguagesInOrder)
{
    const QString xml = routesXml({
        routeEntry(QStringLiteral("R-English"), {QStringLiteral("Main Line"), QStringLiteral("Ligne")}),
        routeEntry(QStringLiteral("R-French"), {QString(), QStringLiteral("Ligne du Nord")}),
        routeEntry(QStringLiteral("R-Spanish"), {QString(), QString(), QString(), QString(), QStringLiteral("Linea")}),
        routeEntry(QStringLiteral("R-None"), {}),
        routeEntry(QStringLiteral("R-After"), {QStringLiteral("After")}),
    });
    VbArray<QString> names;
    VbArray<QString> folders;
    ASSERT_EQ(ReadRoutes(xml, names, folders), 5);
    EXPECT_EQ(folders.values(), (QList<QString>{"R-English", "R-French", "R-Spanish", "R-None", "R-After"}));
    EXPECT_EQ(names.values(), (QList<QString>{"Main Line", "Ligne du Nord", "Linea", "", "After"}));
    EXPECT_EQ(ListRow(names[3], folders[3]), QStringLiteral("\tR-None"));
}

TEST(RouteListRead, AnEntryWithoutNameElementsNeverTakesTheNextRoutesName)
{
    // The first route carries no language elements at all; its neighbour must still be read.
    const QString xml = QStringLiteral("<r><cRouteProperties><DevString>A</DevString></cRouteProperties>")
                        + routeEntry(QStringLiteral("B"), {QStringLiteral("Bee")}) + QStringLiteral("</r>");
    VbArray<QString> names;
    VbArray<QString> folders;
    ASSERT_EQ(ReadRoutes(xml, names, folders), 2);
    EXPECT_EQ(names.values(), (QList<QString>{"", "Bee"}));
    EXPECT_EQ(folders.values(), (QList<QString>{"A", "B"}));
}

TEST(RouteListRead, TablesGrowByFiftyAndAreCutToTheRoutesRead)
{
    VbArray<QString> names;
    VbArray<QString> folders;
    EXPECT_EQ(ReadRoutes(QString(), names, folders), 0);
    EXPECT_EQ(names.ubound(), -1);
    EXPECT_EQ(folders.ubound(), -1);

    for (int count : {501, 523}) {
        QStringList entries;
        for (int i = 0; i < count; ++i)
            entries << routeEntry(QStringLiteral("F%1").arg(i), {QStringLiteral("Route %1").arg(i)});
        ASSERT_EQ(ReadRoutes(routesXml(entries), names, folders), count);
        EXPECT_EQ(names.lbound(), 0);
        EXPECT_EQ(names.ubound(), count - 1);
        EXPECT_EQ(folders.ubound(), count - 1);
        EXPECT_EQ(names[count - 1], QStringLiteral("Route %1").arg(count - 1));
        EXPECT_EQ(folders[500], QStringLiteral("F500"));
    }

}

TEST(RouteListRead, DevStringValueAndFolderNames)
{
    const QString text = QStringLiteral("<x><DevString d:type=\"cDeltaString\">Scn 1</DevString><DevString>");
    qsizetype end = -1;
    EXPECT_EQ(DevStringValue(text, 4, end), QStringLiteral("Scn 1"));
    EXPECT_EQ(end, 42);
    EXPECT_EQ(DevStringValue(text, 54, end), QString()); // no end tag
    EXPECT_EQ(end, 0);

    for (const char* bad : {"", ".", "..", " ", ". .", "..\\Other", "a\\b", "a/b", "x..y"})
        EXPECT_FALSE(IsUsableFolderName(QString::fromLatin1(bad))) << bad;
    for (const char* good : {"Scn1", "3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7", "My.Scenario", "a b"})
        EXPECT_TRUE(IsUsableFolderName(QString::fromLatin1(good))) << good;
}

TEST(RouteListCut, KeepsTheCharacterBeforeTheNextEntryOrTheTextAfterTheLast)
{
    const QString list = QStringLiteral("<R><cScenarioProperties><DevString>A</DevString></cScenarioProperties>\n"
                                         "<cScenarioProperties><DevString>B</DevString></cScenarioProperties>\n"
                                         "<cScenarioProperties><DevString>C</DevString></cScenarioProperties></R>");
    QString text = list;
    EXPECT_EQ(CutScenarioBlock(text, QStringLiteral("b")), 72);
    EXPECT_EQ(text, QStringLiteral("<R><cScenarioProperties><DevString>A</DevString></cScenarioProperties>\n"
                                   "\n<cScenarioProperties><DevString>C</DevString></cScenarioProperties></R>"));

    text = list;
    EXPECT_EQ(CutScenarioBlock(text, QStringLiteral("C")), 140);
    EXPECT_EQ(text, QStringLiteral("<R><cScenarioProperties><DevString>A</DevString></cScenarioProperties>\n"
                                   "<cScenarioProperties><DevString>B</DevString></cScenarioProperties>\n</R>"));

    text = list;
    EXPECT_EQ(CutScenarioBlock(text, QStringLiteral("A")), 4);
    EXPECT_EQ(text, QStringLiteral("<R>\n<cScenarioProperties><DevString>B</DevString></cScenarioProperties>\n"
                                   "<cScenarioProperties><DevString>C</DevString></cScenarioProperties></R>"));
}

TEST(RouteListCut, MatchesTheWholeFolderNameOnly)
{
    const QString list = QStringLiteral("<R><cScenarioProperties><DevString>Scn10</DevString></cScenarioProperties>\n"
                                        "<cScenarioProperties><DevString>Scn1</DevString></cScenarioProperties></R>");
    QString text = list;
    EXPECT_GT(CutScenarioBlock(text, QStringLiteral("SCN1")), 0);
    EXPECT_EQ(text, QStringLiteral("<R><cScenarioProperties><DevString>Scn10</DevString></cScenarioProperties>\n</R>"));

    // Absent, or an entry that lacks its end tag: the text stays as it was.
    text = list;
    EXPECT_EQ(CutScenarioBlock(text, QStringLiteral("Scn")), 0);
    EXPECT_EQ(text, list);
    QString broken = QStringLiteral("<R><cScenarioProperties><DevString>X</DevString></R>");
    EXPECT_EQ(CutScenarioBlock(broken, QStringLiteral("X")), 0);
    EXPECT_EQ(broken, QStringLiteral("<R><cScenarioProperties><DevString>X</DevString></R>"));

    // From a position: the first entry of that name at or after it.
    const QString twice = QStringLiteral("<cScenarioProperties><DevString>D</DevString></cScenarioProperties>"
                                         "<cScenarioProperties><DevString>D</DevString>2</cScenarioProperties>");
    text = twice;
    EXPECT_EQ(CutScenarioBlock(text, QStringLiteral("D"), 30), 68);
    EXPECT_EQ(text, QStringLiteral("<cScenarioProperties><DevString>D</DevString></cScenarioProperties>"));
}

// ---- Listing and deleting, with the test serializer ----

class ScenarioListing : public RouteGameTest {
protected:
    QStringList listed;
    RouteListState state;
    qsizetype list(const QString& route)
    {
        listed.clear();
        return ListScenarios(state, route, [this](const QString& name, const QString& folder) {
            listed << name + QLatin1Char('|') + folder;
        });
    }
    QString missingPrompt(const QString& folder)
    {
        return QStringLiteral("The Scenario Folder ") + folder
               + QStringLiteral(" listed in Scenarios.bin does not exist!\r\nDo you wish to remove this invalid entry from Scenarios.bin?");
    }
    QString backupRel(const QString& route) { return listRel(route) + QStringLiteral(".bak"); }
};

TEST_F(ScenarioListing, ListsEveryExistingScenarioWithoutWritingAnything)
{
    const QByteArray xml = scenarioList({entry("S1", "First"), entry("S2", "", "Deuxi\xc3\xa8me"), entry("S3", "Third")});
    makeRoute(QStringLiteral("R"), xml, {"S1", "S2", "S3"});
    const QByteArray before = tree.readFile(listRel("R"));

    ASSERT_EQ(list(QStringLiteral("R")), 3);
    // The work copy is read as ANSI text: the UTF-8 bytes of the name come through one by one.
    EXPECT_EQ(listed, (QStringList{"First|S1", platform::decodeAnsi("Deuxi\xc3\xa8me|S2"), "Third|S3"}));
    EXPECT_EQ(shared().ScenarioFolders.values(), (QList<QString>{"S1", "S2", "S3"}));
    EXPECT_EQ(shared().ScenarioNames.ubound(), 2);
    EXPECT_EQ(state.SelectedRoutePath, tree.gamePath() + QStringLiteral("\\content\\Routes\\R"));
    EXPECT_EQ(state.ScenariosXmlName, QStringLiteral("Scenarios.xml"));
    EXPECT_EQ(shared().CurrentFile, state.SelectedRoutePath + QStringLiteral("\\Scenarios.bin"));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/Scenarios.xml")), xml);
    EXPECT_EQ(tree.readFile(listRel("R")), before);
    EXPECT_FALSE(tree.exists(backupRel("R")));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ScenarioListing, YesRemovesEveryMissingEntryAfterOnePrompt)
{
    const QByteArray e1 = entry("S1", "Caf\xc3\xa9");
    const QByteArray e4 = entry("S4", "Four");
    makeRoute(QStringLiteral("R"), scenarioList({e1, entry("Gone2", "x"), entry("Gone3", "y"), e4}), {"S1", "S4"});
    const QByteArray before = tree.readFile(listRel("R"));

    ui.expectMsgBox(vb::vbYes, missingPrompt("Gone2"));
    ASSERT_EQ(list(QStringLiteral("R")), 2);
    EXPECT_EQ(listed, (QStringList{platform::decodeAnsi("Caf\xc3\xa9|S1"), "Four|S4"}));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0].buttons(), vb::vbYesNo);
    EXPECT_EQ(ui.messages()[0].icon(), vb::vbExclamation);
    EXPECT_EQ(ui.messages()[0].title, Ui::programTitle());

    // The old list is the backup; the new one holds the other entries byte for byte.
    EXPECT_EQ(tree.readFile(backupRel("R")), before);
    EXPECT_EQ(decodeBinary(listRel("R")), listHead() + e1 + "\t\t\t" + e4.mid(1) + listTail());
}

TEST_F(ScenarioListing, NoKeepsEachMissingEntryAndWritesNothing)
{
    makeRoute(QStringLiteral("R"), scenarioList({entry("Gone1", "x"), entry("S2", "Two"), entry("Gone3", "y")}), {"S2"});
    const QByteArray before = tree.readFile(listRel("R"));

    ui.expectMsgBox(vb::vbNo, missingPrompt("Gone1")).expectMsgBox(vb::vbNo, missingPrompt("Gone3"));
    ASSERT_EQ(list(QStringLiteral("R")), 1);
    EXPECT_EQ(listed, (QStringList{"Two|S2"}));
    EXPECT_EQ(tree.readFile(listRel("R")), before);
    EXPECT_FALSE(tree.exists(backupRel("R")));
}

TEST_F(ScenarioListing, AfterACutTheNextEntryIsStillSeen)
{
    // The first missing entry's identifier stands further into its entry than the second's.
    const QByteArray c = entry("C", "Cee");
    makeRoute(QStringLiteral("R"), scenarioList({entry("M1", "x", "", true), entry("M2", "y"), c}), {"C"});

    ui.expectMsgBox(vb::vbYes, missingPrompt("M1"));
    ASSERT_EQ(list(QStringLiteral("R")), 1);
    EXPECT_EQ(decodeBinary(listRel("R")), listHead() + "\t\t\t" + c.mid(1) + listTail());
}

TEST_F(ScenarioListing, RemovesTheMissingEntryNotOneWhoseNameContainsIt)
{
    const QByteArray keep = entry("Scn10", "Ten");
    makeRoute(QStringLiteral("R"), scenarioList({keep, entry("Scn1", "One")}), {"Scn10"});

    ui.expectMsgBox(vb::vbYes, missingPrompt("Scn1"));
    ASSERT_EQ(list(QStringLiteral("R")), 1);
    EXPECT_EQ(listed, (QStringList{"Ten|Scn10"}));
    EXPECT_EQ(decodeBinary(listRel("R")), listHead() + keep + "\t\t\r\n" + listTail());
}

TEST_F(ScenarioListing, UnusableFolderNamesAreInvalidEntriesNeverJoinedIntoAPath)
{
    // ".." names the route folder itself and "" the "Scenarios" folder: both exist on disk,
    // yet neither may be listed (and so offered for deletion).
    makeRoute(QStringLiteral("R"), scenarioList({entry("..", "Up"), entry("", "Empty"), entry("S", "Real")}), {"S"});
    ui.expectMsgBox(vb::vbNo, missingPrompt("..")).expectMsgBox(vb::vbNo, missingPrompt(""));
    ASSERT_EQ(list(QStringLiteral("R")), 1);
    EXPECT_EQ(listed, (QStringList{"Real|S"}));
    EXPECT_FALSE(tree.exists(backupRel("R")));
}

TEST_F(ScenarioListing, AFailedWriteBackLeavesTheGameFileAsItWas)
{
    makeRoute(QStringLiteral("R"), scenarioList({entry("Gone", "x"), entry("S", "Real")}), {"S"});
    const QByteArray before = tree.readFile(listRel("R"));
    {
        ScopedEnv fail("SERZ_FAIL", "Scenarios.xml"); // the conversion back to binary fails
        ui.expectMsgBox(vb::vbYes, missingPrompt("Gone"));
        ui.expectMsgBox(vb::vbOK, QStringLiteral("has not been changed."));
        EXPECT_EQ(list(QStringLiteral("R")), 1);
    }
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(tree.readFile(listRel("R")), before);
    EXPECT_FALSE(tree.exists(backupRel("R")));
}

TEST_F(ScenarioListing, WithEveryBackupNameTakenTheListIsNotReplaced)
{
    makeRoute(QStringLiteral("R"), scenarioList({entry("Gone", "x"), entry("S", "Real")}), {"S"});
    const QByteArray before = tree.readFile(listRel("R"));
    tree.writeFile(backupRel("R"), "old");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(backupRel("R") + QString::number(n), "old");

    ui.expectMsgBox(vb::vbYes, missingPrompt("Gone"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("All 51 backup names"));
    list(QStringLiteral("R"));
    EXPECT_EQ(tree.readFile(listRel("R")), before);
}

TEST_F(ScenarioListing, AListThatCannotBeConvertedIsReportedAndAMissingOneListsNothing)
{
    makeRoute(QStringLiteral("R"), scenarioList({entry("S", "Real")}), {"S"});
    {
        ScopedEnv fail("SERZ_FAIL", "Scenarios.bin");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("SERZ.EXE could not convert"));
        EXPECT_EQ(list(QStringLiteral("R")), 0);
    }
    EXPECT_TRUE(listed.isEmpty());
    // With nothing listed the tables keep their first 51 empty slots.
    EXPECT_EQ(shared().ScenarioFolders.ubound(), 50);

    tree.makeDir(routeRel("Empty"));
    ui.clearRecords();
    EXPECT_EQ(list(QStringLiteral("Empty")), 0);
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(state.SelectedRoutePath, tree.gamePath() + QStringLiteral("\\content\\Routes\\Empty"));
}

TEST_F(ScenarioListing, TablesGrowPastFiftyScenarios)
{
    QList<QByteArray> entries;
    QStringList folders;
    for (int i = 0; i < 53; ++i) {
        entries << entry("S" + QByteArray::number(i), "N" + QByteArray::number(i));
        folders << QStringLiteral("S%1").arg(i);
    }
    makeRoute(QStringLiteral("R"), scenarioList(entries), folders);
    ASSERT_EQ(list(QStringLiteral("R")), 53);
    EXPECT_EQ(shared().ScenarioFolders.ubound(), 52);
    EXPECT_EQ(shared().ScenarioNames[52], QStringLiteral("N52"));
}

TEST_F(ScenarioListing, DeletingRemovesTheFolderAndTheEntryWithABackup)
{
    const QByteArray e1 = entry("S1", "One");
    const QByteArray e3 = entry("S3", "Three");
    makeRoute(QStringLiteral("R"), scenarioList({e1, entry("S2", "Two"), e3}), {"S1", "S2", "S3"});
    makeRoute(QStringLiteral("Other"), scenarioList({entry("O1", "Elsewhere")}), {"O1"});
    const QByteArray before = tree.readFile(listRel("R"));
    ASSERT_EQ(list(QStringLiteral("R")), 3);

    // Another command has left the other route's list as the work copy meanwhile.
    tree.writeFile(QStringLiteral("program/TempFiles/Scenarios.xml"), scenarioList({entry("O1", "Elsewhere")}));

    ASSERT_TRUE(DeleteScenario(state, QStringLiteral("s2")));
    EXPECT_FALSE(tree.exists(routeRel("R") + QStringLiteral("/Scenarios/S2")));
    EXPECT_TRUE(tree.exists(routeRel("R") + QStringLiteral("/Scenarios/S1/Scenario.bin")));
    EXPECT_TRUE(tree.exists(routeRel("R") + QStringLiteral("/Scenarios/S3/Scenario.bin")));
    EXPECT_EQ(tree.readFile(backupRel("R")), before);
    EXPECT_EQ(decodeBinary(listRel("R")), listHead() + e1 + "\t\t" + e3.mid(1) + listTail());
    EXPECT_TRUE(ui.messages().isEmpty());

    // The last entry: the text after its end tag is kept. A second backup name is used.
    const QByteArray second = tree.readFile(listRel("R"));
    ASSERT_TRUE(DeleteScenario(state, QStringLiteral("S3")));
    EXPECT_EQ(tree.readFile(backupRel("R") + QStringLiteral("1")), second);
    EXPECT_EQ(decodeBinary(listRel("R")), listHead() + e1 + "\t\t\t\r\n" + listTail());
}

TEST_F(ScenarioListing, DeletingRefusesUnusableNamesAndKeepsEverythingWhenTheListCannotBeWritten)
{
    makeRoute(QStringLiteral("R"), scenarioList({entry("S1", "One"), entry("S2", "Two")}), {"S1", "S2"});
    const QByteArray before = tree.readFile(listRel("R"));

    // Before any listing there is no route to delete from.
    EXPECT_FALSE(DeleteScenario(state, QStringLiteral("S1")));
    ASSERT_EQ(list(QStringLiteral("R")), 2);
    for (const char* bad : {"", "..", ".", "..\\..", "S1\\..\\.."})
        EXPECT_FALSE(DeleteScenario(state, QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(tree.exists(routeRel("R") + QStringLiteral("/Scenarios/S1/Scenario.bin")));
    EXPECT_TRUE(tree.exists(listRel("R")));

    {
        ScopedEnv fail("SERZ_FAIL", "Scenarios.xml");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("The scenario has not been deleted."));
        EXPECT_FALSE(DeleteScenario(state, QStringLiteral("S1")));
    }
    {
        ScopedEnv fail("SERZ_FAIL", "Scenarios.bin");
        ui.expectMsgBox(vb::vbOK, QStringLiteral("The scenario has not been deleted."));
        EXPECT_FALSE(DeleteScenario(state, QStringLiteral("S1")));
    }
    EXPECT_TRUE(tree.exists(routeRel("R") + QStringLiteral("/Scenarios/S1/Scenario.bin")));
    EXPECT_EQ(tree.readFile(listRel("R")), before);
    EXPECT_FALSE(tree.exists(backupRel("R")));
}
