// The route package's texts and the asset collection without the window: package names,
// "Route_Setup.xxx", the lines of "Do_Run.bat" for every path form, and one collection run over a
// route whose blueprint names a geometry, an animation, a script and seven textures.

#include "packaging/RoutePackage.h"

#include "common/SharedState.h"
#include "platform/TextCodec.h"
#include "routes/RouteScan.h"
#include "routes_check/CheckGame.h"
#include "support/ScopedLocale.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace packaging;

namespace {

TEST(RoutePackageName, CutsUpToFiveDotsThenSanitises)
{
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Valley Line", "Valley Line"},
        {"Valley Line...", "Valley Line"},
        {"Valley Line.....", "Valley Line"},
        {"Valley Line......", "Valley Line."},
        {"...", "FOLDER"},
        {"", "FOLDER"},
        {"North/South: \"Main\"", "North_South_ _Main_"},
        {"TempFiles..", "TempFiles_"},
        {"..\\..\\Windows", ".._.._Windows"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoutePackageName(QString::fromUtf8(c.name), QStringLiteral("FOLDER")), QString::fromUtf8(c.expected))
            << c.name;
}

TEST(RouteSetupText, IsTheRouteBlockBetweenTwoTabsAndOneLineEnd)
{
    const QString first = QStringLiteral("<cRouteProperties d:id=\"1\">\r\n\t<ID><cGUID><DevString>R1</DevString>"
                                         "</cGUID></ID>\r\n\t<Description>About R2</Description>\r\n"
                                         "</cRouteProperties>");
    const QString second = QStringLiteral("<cRouteProperties d:id=\"2\">\r\n\t<ID><cGUID><DevString>R2</DevString>"
                                          "</cGUID></ID>\r\n</cRouteProperties>");
    const QString text = QStringLiteral("<cRecordSet>\r\n\t\t") + first + QStringLiteral("\r\n\t\t") + second
                         + QStringLiteral("\r\n</cRecordSet>\r\n");
    EXPECT_EQ(RouteSetupText(text, QStringLiteral("R1")), QStringLiteral("\t\t") + first + QStringLiteral("\r\n"));
    // R2 also stands in R1's description: its own block is the one taken.
    EXPECT_EQ(RouteSetupText(text, QStringLiteral("r2")), QStringLiteral("\t\t") + second + QStringLiteral("\r\n"));
    EXPECT_TRUE(RouteSetupText(text, QStringLiteral("R3")).isNull());
}

TEST(DoRunBatch, OneLinePerEntryInEveryPathForm)
{
    const QString pkg = QStringLiteral("C:\\Prog\\Pkg\\Rail Simulator\\Assets");
    const struct {
        const char* gamePath;
        const char* entry;
        DoRunBatch::Added added;
        const char* source;
        const char* target;
    } cases[] = {
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\Scenery\\Tree.bin", DoRunBatch::Added::Line,
         "C:\\Game\\Assets\\P\\Q\\Scenery\\Tree*.*", "\\P\\Q\\Scenery"},
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\Scenery\\Tree.GeoPcDx", DoRunBatch::Added::Line,
         "C:\\Game\\Assets\\P\\Q\\Scenery\\Tree*.*", "\\P\\Q\\Scenery"},
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\Textures\\Rail*.TgPcDx", DoRunBatch::Added::Line,
         "C:\\Game\\Assets\\P\\Q\\Textures\\Rail**.*", "\\P\\Q\\Textures"},
        {"C:\\Game", "c:\\GAME\\assets\\P\\Q\\x.lua", DoRunBatch::Added::Line, "C:\\Game\\Assets\\P\\Q\\x*.*",
         "\\P\\Q"},
        {"C:\\Game", "C:\\Game\\Assets\\top.bin", DoRunBatch::Added::Line, "C:\\Game\\Assets\\top*.*", ""},
        // A game below a folder whose name holds "Assets": only the part below its own Assets counts.
        {"C:\\MyAssets\\Game", "C:\\MyAssets\\Game\\Assets\\P\\Q\\a.bin", DoRunBatch::Added::Line,
         "C:\\MyAssets\\Game\\Assets\\P\\Q\\a*.*", "\\P\\Q"},
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\..\\R\\a.ban", DoRunBatch::Added::Line, "C:\\Game\\Assets\\P\\R\\a*.*",
         "\\P\\R"},
        {"C:\\Game", "C:\\Game\\Assets\\P\\..\\..\\..\\Windows\\System32\\x.dll", DoRunBatch::Added::Outside, "", ""},
        {"C:\\Game", "C:\\Game\\Assets\\..\\Content\\Routes.xml", DoRunBatch::Added::Outside, "", ""},
        {"C:\\Game", "C:\\Game\\Elsewhere\\Cloud*.TgPcDx", DoRunBatch::Added::Outside, "", ""},
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\Qu\"ote*.TgPcDx", DoRunBatch::Added::Unsafe, "", ""},
        {"C:\\Game", "C:\\Game\\Assets\\P\\Q\\\xC5\x81\xC3\xB3" "d\xC5\xBA.bin", DoRunBatch::Added::Unsafe, "", ""},
    };
    ScopedLocale locale("C"); // Windows-1252, which has no "\u0141"
    for (const auto& c : cases) {
        DoRunBatch batch(QString::fromUtf8(c.gamePath), QStringLiteral("C:\\Prog\\Pkg"));
        const DoRunBatch::Added added = batch.add(QString::fromUtf8(c.entry));
        EXPECT_EQ(int(added), int(c.added)) << c.entry;
        if (added != DoRunBatch::Added::Line || c.added != DoRunBatch::Added::Line) {
            EXPECT_EQ(batch.fileText(), QStringLiteral("\r\n")) << c.entry;
            continue;
        }
        const QString line = QStringLiteral("Call XCopy \"") + QString::fromUtf8(c.source) + QStringLiteral("\" \"") + pkg
                             + QString::fromUtf8(c.target) + QStringLiteral("\\*.*\" /Y\r\n");
        EXPECT_EQ(batch.fileText(), line + QStringLiteral("\r\n")) << c.entry;
        EXPECT_EQ(batch.lastTarget(), pkg + QString::fromUtf8(c.target)) << c.entry;
    }
}

// The collection over a route of its own.
class RouteAssetCollection : public CheckGameTest {
protected:
    const QString route = QStringLiteral("c0110000-0000-4000-8000-00000000c011");

    void SetUp() override
    {
        CheckGameTest::SetUp();
        const QString r = QStringLiteral("Content/Routes/") + route;
        listRoute(route, "Collect Line");
        writeGameFile(r + "/Scenery/+000000+000000.bin",
                      tile({{"TestCo", "Pack1", "Scenery\\Seven.xml"},
                            {"Kuju", "Base", "Scenery\\K.xml"},
                            {"TestCo", "Pack1", "Scenery\\Sneaky.xml"},
                            {"TestCo", "Pack1", "..\\..\\..\\Content\\Evil.xml"}}));
        // The same blueprint again in other letter case, from a network tile.
        writeGameFile(r + "/Networks/Tracks.bin",
                      tile({{"TESTCO", "PACK1", "SCENERY\\seven.xml"}, {"RSDL", "Base", "Track\\R.xml"}}));

        const QString a = QStringLiteral("Assets/TestCo/Pack1/Scenery/");
        writeGameFile(a + "Seven.bin", blueprint("TestCo\\Pack1\\Scenery\\[00]Seven", "TestCo\\Pack1\\Scenery\\Seven_Anim",
                                                 "TestCo\\Pack1\\Scenery\\Seven_Script"));
        writeGameFile(a + "Seven.GeoPcDx",
                      shape({"[00]Textures\\T1", "Textures\\T2", "[00]..\\Textures\\T3", "..\\..\\Shared\\T4",
                             "..\\..\\..\\Common\\T5", "..\\..\\..\\..\\Pack1\\Textures\\T6", "Bare7",
                             "Qu\"ote", "..\\..\\..\\..\\..\\Outside\\T8", "After9"}));
        // An entry outside the Assets folder ends the blueprint's entries: Sneaky's animation and
        // the texture after T8 are not taken. Without a geometry K's animation is not taken either.
        writeGameFile(a + "Sneaky.bin", blueprint("..\\..\\[00]Elsewhere", "TestCo\\Pack1\\Scenery\\Sneaky_Anim"));
        writeGameFile(QStringLiteral("Assets/Kuju/Base/Scenery/K.bin"), blueprint("", "Kuju\\Base\\Scenery\\K_Anim"));
        writeGameFile(QStringLiteral("Assets/RSDL/Base/Track/R.bin"), blueprint(""));
        writeGameFile(QStringLiteral("Content/Evil.bin"), blueprint(""));
        for (const char* file : {"Scenery/Seven_Anim.ban", "Scenery/Seven_Script.lua", "Scenery/Textures/T1.TgPcDx",
                                 "Scenery/Textures/T2.TgPcDx", "Textures/T3.TgPcDx", "Textures/T6.TgPcDx",
                                 "Scenery/Bare7.TgPcDx", "Scenery/After9.TgPcDx", "Scenery/Sneaky_Anim.ban"})
            touchGameFile(QStringLiteral("Assets/TestCo/Pack1/") + QString::fromUtf8(file));
        touchGameFile(QStringLiteral("Assets/TestCo/Shared/T4.TgPcDx"));
        touchGameFile(QStringLiteral("Assets/Common/T5.TgPcDx"));
        touchGameFile(QStringLiteral("Assets/Kuju/Base/Scenery/K_Anim.ban"));
        touchGameFile(QStringLiteral("Outside/T8.TgPcDx"));
    }

    QString line(const QString& sourceRel, const QString& targetRel) const
    {
        return QStringLiteral("Call XCopy \"") + game() + QStringLiteral("\\Assets\\") + sourceRel + QStringLiteral("\" \"")
               + pkg() + QStringLiteral("\\Rail Simulator\\Assets\\") + targetRel + QStringLiteral("\\*.*\" /Y\r\n");
    }
    QString pkg() const { return tree.programPath() + QStringLiteral("\\Collect Line"); }

    QString expectedBatch(bool withKujuRsdl) const
    {
        const QString s = QStringLiteral("TestCo\\Pack1\\Scenery");
        QString text;
        if (withKujuRsdl)
            text += line(QStringLiteral("Kuju\\Base\\Scenery\\K*.*"), QStringLiteral("Kuju\\Base\\Scenery"));
        if (withKujuRsdl)
            text += line(QStringLiteral("RSDL\\Base\\Track\\R*.*"), QStringLiteral("RSDL\\Base\\Track"));
        text += line(s + "\\Seven*.*", s) + line(s + "\\Seven*.*", s) + line(s + "\\Seven_Anim*.*", s)
                + line(s + "\\Seven_Script*.*", s) + line(s + "\\Textures\\T1**.*", s + "\\Textures")
                + line(s + "\\Textures\\T2**.*", s + "\\Textures")
                + line(QStringLiteral("TestCo\\Pack1\\Textures\\T3**.*"), QStringLiteral("TestCo\\Pack1\\Textures"))
                + line(QStringLiteral("TestCo\\Shared\\T4**.*"), QStringLiteral("TestCo\\Shared"))
                + line(QStringLiteral("Common\\T5**.*"), QStringLiteral("Common"))
                + line(QStringLiteral("TestCo\\Pack1\\Textures\\T6**.*"), QStringLiteral("TestCo\\Pack1\\Textures"))
                + line(s + "\\Bare7**.*", s);
        // Sneaky's geometry lies outside the Assets folder: only the blueprint itself.
        text += line(s + "\\Sneaky*.*", s);
        return text + QStringLiteral("\r\n");
    }
};

TEST_F(RouteAssetCollection, WritesAndRunsTheBatchWithAndWithoutKujuAndRsdl)
{
    for (const bool ignore : {false, true}) {
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Qu\"ote*.TgPcDx"));
        shared().AbortScan = true; // left over from an earlier abort: cleared by the run
        const RouteAssetOutcome outcome = CollectRouteAssets(route, QStringLiteral("Collect Line"), ignore);
        EXPECT_FALSE(outcome.aborted);
        EXPECT_TRUE(outcome.batchStarted);
        EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Do_Run.bat"))), expectedBatch(!ignore))
            << "ignore " << ignore;
        ASSERT_EQ(outcome.leftOut.size(), 1);

        // The batch copied what exists, into the game's layout below the package.
        const QString assets = QStringLiteral("program/Collect Line/Rail Simulator/Assets/");
        for (const char* file : {"TestCo/Pack1/Scenery/Seven.bin", "TestCo/Pack1/Scenery/Seven.GeoPcDx",
                                 "TestCo/Pack1/Scenery/Seven_Anim.ban", "TestCo/Pack1/Scenery/Seven_Script.lua",
                                 "TestCo/Pack1/Scenery/Textures/T1.TgPcDx", "TestCo/Pack1/Scenery/Textures/T2.TgPcDx",
                                 "TestCo/Pack1/Textures/T3.TgPcDx", "TestCo/Shared/T4.TgPcDx", "Common/T5.TgPcDx",
                                 "TestCo/Pack1/Textures/T6.TgPcDx", "TestCo/Pack1/Scenery/Bare7.TgPcDx",
                                 "TestCo/Pack1/Scenery/Sneaky.bin"})
            EXPECT_TRUE(tree.exists(assets + QString::fromUtf8(file))) << file;
        EXPECT_EQ(tree.exists(assets + QStringLiteral("Kuju/Base/Scenery/K.bin")), !ignore);
        EXPECT_EQ(tree.exists(assets + QStringLiteral("RSDL/Base/Track/R.bin")), !ignore);
        EXPECT_FALSE(tree.exists(QStringLiteral("program/Collect Line/Rail Simulator/Content")));
        EXPECT_FALSE(tree.exists(QStringLiteral("program/Collect Line/Outside")));
        EXPECT_FALSE(tree.exists(QStringLiteral("program/Outside")));
        // No "Route_Setup.xxx": no template step.
        EXPECT_FALSE(tree.exists(assets + QStringLiteral("TestCo/Pack1/TemplateRoutes")));
        QDir(tree.path(QStringLiteral("program/Collect Line/Rail Simulator"))).removeRecursively();
    }
}

// The route template's blueprint is copied only from below the Assets folder: one whose name
// climbs out and comes back through a game folder spelled in other case is not read.
TEST_F(RouteAssetCollection, ATemplateOutOfTheAssetsFolderIsNotCopied)
{
    tree.writeFile(QStringLiteral("GAME/Assets/T.bin"), "another folder's blueprint");
    tree.writeFile(QStringLiteral("program/Collect Line/Route_Setup.xxx"),
                   "<iBlueprintLibrary-cAbsoluteBlueprintID><BlueprintSetID><iBlueprintLibrary-cBlueprintSetID>"
                   "<Provider d:type=\"cDeltaString\">TestCo</Provider><Product d:type=\"cDeltaString\">Pack1</Product>"
                   "</iBlueprintLibrary-cBlueprintSetID></BlueprintSetID>"
                   "<BlueprintID d:type=\"cDeltaString\">..\\..\\..\\..\\GAME\\Assets\\T.xml</BlueprintID>"
                   "</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n");
    EXPECT_FALSE(AddTemplateBlueprint(game(), pkg()));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Collect Line/Rail Simulator")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/T.bin")));
}

TEST_F(RouteAssetCollection, AbortSkipsBatchAndSaysSo)
{
    // The abort button is pressed while the first tile is converted.
    class AbortOnFirstTile : public routes::RouteScanProgress {
    public:
        void tileStarted(qsizetype) override { shared().AbortScan = true; }
    } abortNow;
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Packaging of the route's assets was aborted."));
    const RouteAssetOutcome outcome = CollectRouteAssets(route, QStringLiteral("Collect Line"), false, &abortNow);
    EXPECT_TRUE(outcome.aborted);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Do_Run.bat")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Collect Line")));
}

} // namespace
