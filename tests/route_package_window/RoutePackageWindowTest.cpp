// The route list's OK button and "Package this Routes Assets", end to end: packaging the sample
// route with its assets, template, ghost texture and archive; the package without assets; the
// missing installer; deleting a route and every way a deletion is refused; the abort.

#include "routes/frmDelRoute.h"

#include "common/AnsiText.h"
#include "common/SharedState.h"
#include "packaging/frmNewZip.h"
#include "routes_check/CheckGame.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <memory>

namespace {

const QByteArray kValleyName = "Veltrane Valley Line";

class RoutePackageWindow : public CheckGameTest {
protected:
    void TearDown() override
    {
        window.reset();
        CheckGameTest::TearDown();
    }

    void open(bool packageMode)
    {
        shared().PackageRouteMode = packageMode;
        window = std::make_unique<frmDelRoute>();
    }

    void select(const QString& folder)
    {
        for (int row = 0; row < window->List2->count(); ++row) {
            if (window->List2->item(row)->text() == folder) {
                window->List1->item(row)->setSelected(true);
                return;
            }
        }
        ADD_FAILURE() << "route not listed: " << folder.toStdString();
    }

    QString package(const QString& rel = QString()) const
    {
        return QStringLiteral("program/") + QString::fromLatin1(kValleyName) + rel;
    }

    // The route's element in the game's list, found here by plain byte searches.
    QByteArray valleyBlock() const
    {
        const QByteArray xml = tree.readFile(QStringLiteral("game/Content/Routes.xml"));
        const qsizetype at = xml.indexOf(">" + kValleyRoute.toLatin1() + "</DevString>");
        const qsizetype start = xml.lastIndexOf("<cRouteProperties", at);
        const qsizetype end = xml.indexOf("</cRouteProperties>", at) + 19;
        return xml.mid(start, end - start);
    }

    std::unique_ptr<frmDelRoute> window;
};

TEST_F(RoutePackageWindow, PackageWithAssetsTemplateGhostAndArchive)
{
    tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "MZ installer");
    open(true);
    EXPECT_EQ(window->loadedMode(), frmDelRoute::ListMode::RoutePackage);
    EXPECT_EQ(window->OKButton->text(), QStringLiteral("Package Selected Route"));
    select(kValleyRoute);
    shared().PackageRouteMode = false; // the window keeps the task it was opened for

    bool zipShown = false;
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you wish to add Assets ready for distribution?"))
        .expectMsgBox(vb::vbNo, QStringLiteral("Do you wish to ignore KUJU and RSDL assets in this package?"))
        .expectMsgBox(vb::vbYes, QStringLiteral("Do you wish it to be automatically zipped up ready for distribution?"))
        .expectModal([&zipShown](QWidget* shown) {
            auto* zip = qobject_cast<frmNewZip*>(shown);
            ASSERT_NE(zip, nullptr);
            zipShown = true;
            zip->Command3_Click();
        });
    window->OKButton->click();
    ui.verifyDone();
    EXPECT_TRUE(zipShown);
    EXPECT_EQ(ui.messages()[0].text, QStringLiteral("Your Route is now saved in ") + tree.programPath() + "\\"
                                         + QString::fromLatin1(kValleyName)
                                         + "\r\nDo you wish to add Assets ready for distribution?");

    EXPECT_EQ(tree.readFile(package("/Route_Setup.xxx")), "\t\t" + valleyBlock() + "\r\n");
    EXPECT_EQ(tree.readFile(package("/RouteSetup.exe")), QByteArray("MZ installer"));
    const QString routeCopy = package("/Rail Simulator/Content/Routes/") + kValleyRoute;
    EXPECT_EQ(tree.readFile(routeCopy + "/RouteProperties.xml"),
              tree.readFile(QStringLiteral("game/Content/Routes/") + kValleyRoute + "/RouteProperties.xml"));
    EXPECT_TRUE(tree.exists(routeCopy + "/Scenery"));

    // The batch, run by the command interpreter, copied the route's blueprints and shapes.
    const QByteArray batch = tree.readFile(QStringLiteral("program/Do_Run.bat"));
    EXPECT_TRUE(batch.startsWith("Call XCopy \""));
    EXPECT_TRUE(batch.endsWith("/Y\r\n\r\n"));
    const QString assets = package("/Rail Simulator/Assets/VeltraneSamples/Sample01/");
    for (const char* file : {"Scenery/Trees/VS_Oak01.bin", "Scenery/Trees/VS_Oak01.GeoPcDx",
                             "Scenery/Trees/Textures/VS_Oak01.TgPcDx", "RailNetwork/Track/VS_Track01.bin"})
        EXPECT_TRUE(tree.exists(assets + QString::fromUtf8(file))) << file;
    // The template into "TemplateRoutes", the ghost texture where the template names it.
    EXPECT_EQ(tree.readFile(assets + "TemplateRoutes/ValleyTemplate.bin"),
              tree.readFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/RouteTemplates/ValleyTemplate.bin")));
    EXPECT_EQ(tree.readFile(assets + "RouteTemplates/ValleyGhost.TgPcDx"),
              tree.readFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/RouteTemplates/ValleyGhost.TgPcDx")));
    EXPECT_FALSE(tree.readFile(assets + "RouteTemplates/ValleyGhost.TgPcDx").isEmpty());

    EXPECT_EQ(shared().PackageFolder, QString::fromLatin1(kValleyName));
    EXPECT_TRUE(QFileInfo(tree.path(package(".zip"))).isFile());
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes/") + kValleyRoute)); // the game keeps its route
}

TEST_F(RoutePackageWindow, NoAssetsTwoRowsAndNoInstaller)
{
    open(true);
    select(kBranchRoute);
    select(kValleyRoute); // the upper row is the one packaged
    const QString routeCopy = tree.programPath() + "\\" + QString::fromLatin1(kValleyName)
                              + "\\Rail Simulator\\Content\\Routes\\" + kValleyRoute;
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Error File not found occurred in OKButton A=8strTemp = ") + routeCopy)
        .expectMsgBox(vb::vbNo, QStringLiteral("Do you wish to add Assets"));
    window->OKButton_Click();
    ui.verifyDone();
    EXPECT_EQ(ui.messages()[0].text, QStringLiteral("Error File not found occurred in OKButton A=8strTemp = ") + routeCopy);
    EXPECT_TRUE(tree.exists(package("/Route_Setup.xxx")));
    EXPECT_FALSE(tree.exists(package("/RouteSetup.exe")));
    EXPECT_TRUE(tree.exists(package("/Rail Simulator/Content/Routes/") + kValleyRoute + "/RouteProperties.xml"));
    EXPECT_FALSE(tree.exists(package("/Rail Simulator/Assets")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Eastfield Branch")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Do_Run.bat")));
    EXPECT_EQ(window->List1->count(), 2); // packaging removes no row

    // "Package this Routes Assets" without a selected row runs nothing.
    window->List1->clearSelection();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Select the route whose assets are to be packaged."));
    window->Command8->click();
    ui.verifyDone();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Do_Run.bat")));
}

TEST_F(RoutePackageWindow, AbortEndsTheCollectionWithoutBatchOrZipOffer)
{
    open(true);
    select(kValleyRoute);
    shared().AbortScan = true; // from an earlier abort: the run starts afresh
    ui.expectMsgBox(vb::vbNo, QStringLiteral("ignore KUJU"))
        .expectMsgBox(vb::vbOK, QStringLiteral("Packaging of the route's assets was aborted."));
    QTimer::singleShot(0, window->Command10, &QPushButton::click); // pressed as the run starts
    window->Command8_Click();
    ui.verifyDone();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Do_Run.bat")));
    EXPECT_FALSE(tree.exists(package()));
    EXPECT_TRUE(window->OKButton->isEnabled());
}

TEST_F(RoutePackageWindow, AGameBelowAFolderTheCodePageLacksIsToldAndNothingIsPackaged)
{
    // The game below a home folder named in a language the code page does not write: no line of
    // the batch file could name its assets.
    shared().GamePath = tree.moveGameInto(unwritableName());
    tree.writeFile(QStringLiteral("program/TempFiles/kept.txt"), "kept");
    open(true);
    select(kValleyRoute);
    ui.expectMsgBox(vb::vbNo, QStringLiteral("ignore KUJU"))
        .expectMsgBox(vb::vbOK, QStringLiteral("cannot be written in the system's code page"));
    window->Command8_Click();
    ui.verifyDone(); // no question whether to zip what was never copied
    EXPECT_EQ(ui.lastMessage().text, UnwritablePathMessage(shared().GamePath + QStringLiteral("\\Assets"))
                                         + QStringLiteral("\r\nThe route's assets were not packaged."));
    EXPECT_TRUE(ui.lastMessage().text.contains(unwritableName()));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Do_Run.bat")));
    EXPECT_FALSE(tree.exists(package()));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/kept.txt")), "kept");
}

TEST_F(RoutePackageWindow, DeleteCutsTheBlockThenDeletesTheFolder)
{
    // The Valley route's folder also stands in the Branch route's element.
    QByteArray xml = tree.readFile(QStringLiteral("game/Content/Routes.xml"));
    const QByteArray branchKey = "<Key d:type=\"cDeltaString\">" + kBranchRoute.toLatin1() + "-name</Key>";
    ASSERT_GT(xml.indexOf(branchKey), 0);
    xml.replace(branchKey, "<Key d:type=\"cDeltaString\">" + kValleyRoute.toLatin1() + "-copy</Key>");
    // Put Branch first, so that the Valley element is the last one.
    const QByteArray valley = valleyBlock();
    const qsizetype valleyAt = xml.indexOf(valley);
    xml.remove(valleyAt, valley.size());
    const qsizetype endAt = xml.lastIndexOf("</cRouteProperties>") + 19;
    xml.insert(endAt, "\r\n\t\t" + valley);
    tree.writeFile(QStringLiteral("game/Content/Routes.xml"), xml);

    open(false);
    EXPECT_EQ(window->loadedMode(), frmDelRoute::ListMode::Check);
    window->show();
    select(kValleyRoute);
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you really wish to delete the selected route(s)?"));
    window->OKButton->click();
    ui.verifyDone();

    const qsizetype start = xml.indexOf(valley);
    const QByteArray expected = xml.left(start) + xml.mid(start + valley.size());
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Content/Routes.xml")), expected);
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Content/Routes/") + kValleyRoute));
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes/") + kBranchRoute));
    EXPECT_FALSE(window->isVisible());
}

// A stale entry, whose folder is already gone, can still be taken out of the list; nothing else
// below Content\Routes is touched.
TEST_F(RoutePackageWindow, DeleteOfARouteWhoseFolderIsGoneStillCutsItsBlock)
{
    const QString valleyFolder = QStringLiteral("game/Content/Routes/") + kValleyRoute;
    const QByteArray xml = tree.readFile(QStringLiteral("game/Content/Routes.xml"));
    const QByteArray valley = valleyBlock();
    open(false);
    window->show();
    ASSERT_TRUE(QDir().rename(tree.path(valleyFolder), tree.path(QStringLiteral("moved"))));
    select(kValleyRoute);
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you really wish to delete the selected route(s)?"));
    window->OKButton->click();
    ui.verifyDone();

    // The block goes with the blanks after it, but for the one character before the next block.
    const qsizetype start = xml.indexOf(valley);
    const qsizetype next = xml.indexOf("<cRouteProperties", start + 1);
    ASSERT_GE(start, 0);
    ASSERT_GT(next, start);
    const QByteArray expected = xml.left(start) + xml.mid(next - 1);
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Content/Routes.xml")), expected);
    EXPECT_TRUE(tree.exists(QStringLiteral("moved/RouteProperties.xml")));
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes/") + kBranchRoute));
    EXPECT_FALSE(window->isVisible());
}

// Each refusal leaves Routes.xml byte for byte and the route's folder as they were.
TEST_F(RoutePackageWindow, RefusedDeletionsChangeNothing)
{
    const QString routesXml = QStringLiteral("game/Content/Routes.xml");
    const QString valleyFolder = QStringLiteral("game/Content/Routes/") + kValleyRoute;
    listRoute(QStringLiteral(".."), "Dots");
    const QByteArray original = tree.readFile(routesXml);

    struct Case {
        const char* name;
        QString folder;
        std::function<void()> afterLoad;
        QString message;
        bool limitFileSize = false;
    };
    const QString notFoundInList = QStringLiteral("The route ") + kValleyRoute + " was not found in " + game()
                                   + "\\Content\\Routes.xml; nothing was deleted.";
    const Case cases[] = {
        {"element gone since the list was read", kValleyRoute,
         [&] {
             QByteArray changed = original;
             changed.replace(">" + kValleyRoute.toLatin1() + "</DevString>", ">renamed</DevString>");
             tree.writeFile(routesXml, changed);
         },
         notFoundInList},
        {"unusable folder name", QStringLiteral(".."), [] {},
         QStringLiteral("The route .. was not found in ") + game() + "\\content\\Routes; nothing was deleted."},
        {"list cannot be written", kValleyRoute, [] {},
         QStringLiteral("An error occurred while writing ") + game() + "\\Content\\Routes.xml", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree.writeFile(routesXml, original);
        open(false);
        c.afterLoad();
        const QByteArray before = tree.readFile(routesXml);
        select(c.folder);
        const int rows = window->List1->count();
        ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you really wish to delete the selected route(s)?"))
            .expectMsgBox(vb::vbOK, c.message);

        rlimit saved{};
        if (c.limitFileSize) {
            // Writes beyond a few bytes fail, as on a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        window->OKButton_Click();
        if (c.limitFileSize)
            setrlimit(RLIMIT_FSIZE, &saved);
        ui.verifyDone();

        EXPECT_EQ(tree.readFile(routesXml), before);
        EXPECT_EQ(window->List1->count(), rows);
        if (tree.exists(QStringLiteral("moved"))) {
            QDir().rename(tree.path(QStringLiteral("moved")), tree.path(valleyFolder));
        } else {
            EXPECT_TRUE(tree.exists(valleyFolder + "/RouteProperties.xml"));
            EXPECT_TRUE(tree.exists(valleyFolder + "/Scenery"));
        }
        EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes.xml")));
        window.reset();
    }
}

} // namespace
