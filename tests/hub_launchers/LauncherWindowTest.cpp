// The hub's Tools and Options launchers on a started window with the sample game: the menu,
// each launcher's flag when its window loads, its modality and what follows, the route list
// that is never switched under the user, the developer folder and the Read/Write batch.

#include "hub_window/WindowTestSupport.h"

#include "hub/DeveloperSetup.h"
#include "packaging/frmFolder3.h"
#include "packaging/frmFolder4.h"
#include "platform/TextCodec.h"
#include "routes/frmDelRoute.h"

#include "support/ScopedEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class HubLauncherTest : public WindowTest {
protected:
    void TearDown() override
    {
        delete frmDelRoute::existing();
        WindowTest::TearDown();
    }

    void plantWorkFile() const { tree.writeFile(QStringLiteral("program/TempFiles/planted/old.xml"), "<old/>"); }
    bool plantedWorkFile() const { return tree.exists(QStringLiteral("program/TempFiles/planted/old.xml")); }
};

// What a window saw of the shared flags while it was up.
struct Seen {
    bool shown = false;
    bool modal = false;
    bool routePackage = false;
    bool scenarioPackage = false;
    bool assetsPackage = false;
    QString windowClass;
    QString caption;
    QString okButton; // the route list's OKButton caption, when it is shown
};

Seen seeNow(QWidget* w)
{
    const SharedState& s = shared();
    Seen seen;
    seen.shown = w->isVisible();
    seen.modal = w->windowModality() == Qt::ApplicationModal;
    seen.routePackage = s.PackageRouteMode;
    seen.scenarioPackage = s.PackageScenariosMode;
    seen.assetsPackage = s.PackageAssetsMode;
    seen.windowClass = QString::fromLatin1(w->metaObject()->className());
    seen.caption = w->windowTitle();
    if (auto* list = qobject_cast<frmDelRoute*>(w); list && !list->OKButton->isHidden())
        seen.okButton = list->OKButton->text();
    return seen;
}

} // namespace

TEST_F(HubLauncherTest, ToolsAndOptionsMenusInTheirFinalOrder)
{
    frmEditor w;
    EXPECT_EQ(captions(w.mnuTools),
              (QStringList{"Check Routes or Scenarios", "Check Routes.xml file", "-", "Edit Scenarios", "Edit Assets",
                           "Loco Folders", "-", "Package Route", "Package Scenarios", "Package Assets",
                           "Package Reskins", "-", "Add Route Description", "Add Route Loading Picture", "-",
                           "Convert  Marker files", "DCSV Precision", "-", "Set Up Developer Folder",
                           "Set Up Sub- Folders", "Markers - Named", "Markers - Series", "Route Template",
                           "Easy Blueprints", "-", "TgPcDx Viewer"}));
    EXPECT_EQ(captions(w.mnuOpt).mid(9), (QStringList{"Clear Screen", "Clear Temp Files", "Make all RS files Read/Write"}));
    // "Easy Blueprints" has no command: the only item of the menu that is not enabled.
    for (const QAction* a : w.mnuTools->actions()) {
        if (!a->isSeparator()) {
            EXPECT_EQ(a->isEnabled(), a->text() != "Easy Blueprints") << a->text().toStdString();
        }
        EXPECT_EQ(a->menu(), nullptr) << a->text().toStdString();
    }
    EXPECT_EQ(w.mnuBluePrints->text(), "Easy Blueprints");
}

TEST_F(HubLauncherTest, EachLauncherSetsItsFlagBeforeItsWindowLoads)
{
    prepareGame();
    auto w = startWindow();
    struct Row {
        const char* name;
        QAction* frmEditor::*action;
        bool modal;
        bool emptiesWorkFolder;
        Seen expected;
        QString packageFolderAfter; // the packager writes "Chosen" into PackageFolder
    } rows[] = {
        {"Check Routes or Scenarios", &frmEditor::mnuDelRoute, false, false,
         {true, false, false, false, false, "frmDelRoute", "Select Route", "Delete Selected Route"}, "Earlier"},
        {"Package Route", &frmEditor::mnuPack, true, false,
         {true, true, true, false, false, "frmDelRoute", "Select Route to Package", "Package Selected Route"}, "Chosen"},
        {"Package Scenarios", &frmEditor::mnuPackSce, false, true,
         {true, false, false, true, false, "frmDelRoute", "Select Route", ""}, ""},
        {"Package Assets", &frmEditor::mnuPackAss, true, true, {true, true, false, false, true, "frmFolder3", "", ""}, ""},
        {"Package Reskins", &frmEditor::mnuReskin, true, true, {true, true, false, false, true, "frmFolder4", "", ""}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SharedState& s = shared();
        s.PackageRouteMode = false;
        s.PackageScenariosMode = false;
        s.PackageAssetsMode = false;
        s.PackageFolder = QStringLiteral("Earlier");
        plantWorkFile();

        std::optional<Seen> seen;
        if (r.modal) {
            ui.expectModal([&](QWidget* window) {
                seen = seeNow(window);
                shared().PackageFolder = QStringLiteral("Chosen");
                window->close();
            });
        }
        (w.get()->*r.action)->trigger();
        if (!r.modal) {
            frmDelRoute* list = frmDelRoute::existing();
            ASSERT_NE(list, nullptr);
            seen = seeNow(list);
            // Not modal: the command has returned with the list still up.
            EXPECT_EQ(shared().PackageFolder, r.packageFolderAfter);
            list->close();
        } else {
            EXPECT_EQ(shared().PackageFolder, r.packageFolderAfter);
        }
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(seen->windowClass, r.expected.windowClass);
        EXPECT_EQ(seen->shown, r.expected.shown);
        EXPECT_EQ(seen->modal, r.expected.modal);
        EXPECT_EQ(seen->routePackage, r.expected.routePackage);
        EXPECT_EQ(seen->scenarioPackage, r.expected.scenarioPackage);
        EXPECT_EQ(seen->assetsPackage, r.expected.assetsPackage);
        if (!r.expected.caption.isEmpty()) {
            EXPECT_EQ(seen->caption, r.expected.caption);
        }
        EXPECT_EQ(seen->okButton, r.expected.okButton);
        EXPECT_EQ(plantedWorkFile(), !r.emptiesWorkFolder);
        EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/TempFiles"))).isDir());
        // The route package's list has returned: a later list does not come up packaging.
        EXPECT_FALSE(shared().PackageRouteMode);
        ui.verifyDone();
        EXPECT_TRUE(ui.messages().isEmpty());
        ui.clearRecords();
    }
}

TEST_F(HubLauncherTest, PackagersStopWhenTheWorkFolderCannotBeMade)
{
    prepareGame();
    auto w = startWindow();
    tree.writeFile(QStringLiteral("blocker"), "a file, not a folder");
    ScopedEnv home("VELTRANE_HOME", tree.path(QStringLiteral("blocker/program")));
    struct Row {
        QAction* frmEditor::*action;
        const char* message;
    } rows[] = {
        {&frmEditor::mnuPackSce, "Error 75 occurred in mnuPackSce"},
        {&frmEditor::mnuPackAss, "Error 75 occurred in mnuPackAss"},
        {&frmEditor::mnuReskin, "Error 75 occurred in mnuReskin"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.message);
        shared().PackageFolder = QStringLiteral("Earlier");
        ui.expectMsgBox(vb::vbOK, QString::fromLatin1(r.message));
        (w.get()->*r.action)->trigger();
        ui.verifyDone(); // no window was shown
        EXPECT_EQ(ui.lastMessage().text, QString::fromLatin1(r.message));
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(frmDelRoute::existing(), nullptr);
        EXPECT_FALSE(shared().PackageScenariosMode);
        EXPECT_FALSE(shared().PackageAssetsMode);
        EXPECT_EQ(shared().PackageFolder, "Earlier");
    }
}

TEST_F(HubLauncherTest, AnOpenCheckListIsRaisedAndNeverSwitchedToPackaging)
{
    prepareGame();
    auto w = startWindow();
    w->mnuDelRoute->trigger();
    frmDelRoute* list = frmDelRoute::existing();
    ASSERT_NE(list, nullptr);
    list->showMinimized();
    shared().PackageFolder = QStringLiteral("Earlier");
    plantWorkFile();

    for (QAction* action : {w->mnuPack, w->mnuPackSce}) {
        SCOPED_TRACE(action->text().toStdString());
        ui.expectMsgBox(vb::vbOK, QStringLiteral("The route list is open for another task; close it first."));
        action->trigger();
        ui.verifyDone(); // the message only: no modal list
        EXPECT_EQ(frmDelRoute::existing(), list);
        EXPECT_EQ(list->loadedMode(), frmDelRoute::ListMode::Check);
        EXPECT_EQ(list->OKButton->text(), "Delete Selected Route");
        EXPECT_TRUE(list->isVisible());
        EXPECT_FALSE(list->isMinimized()); // raised
        list->showMinimized();
        EXPECT_FALSE(shared().PackageRouteMode);
        EXPECT_FALSE(shared().PackageScenariosMode);
        EXPECT_EQ(shared().PackageFolder, "Earlier");
        EXPECT_TRUE(plantedWorkFile());
    }

    // The same task only raises it.
    w->mnuDelRoute->trigger();
    EXPECT_EQ(frmDelRoute::existing(), list);
    EXPECT_FALSE(list->isMinimized());

    // Once closed, the next launcher loads a list in its own task.
    list->close();
    ui.expectModal([](QWidget* window) {
        EXPECT_EQ(static_cast<frmDelRoute*>(window)->loadedMode(), frmDelRoute::ListMode::RoutePackage);
        window->close();
    }, QStringLiteral("Select Route to Package"));
    w->mnuPack->trigger();
}

TEST_F(HubLauncherTest, DeveloperFolderIsMadeBelowSource)
{
    struct Row {
        const char* name;
        QString gamePath;  // "" for none; "game" for the test's game folder
        bool sourceThere;  // "Source" exists before the command
        bool asked;        // the name is asked for
        const char* answer;
        const char* message; // nullptr: none
        const char* made;    // the developer folder below Source that must exist after, or nullptr
    } rows[] = {
        {"new Source", "game", false, true, "JSmith", nullptr, "JSmith"},
        {"blanks accepted", "game", true, true, "Bad Name1", nullptr, "Bad Name1"},
        {"existing name", "game", true, true, "Taken", "A Developer Folder with that name already exists. Please try again.", nullptr},
        {"slash refused", "game", true, true, "a/b", "That name cannot be used as a folder name.", nullptr},
        {"dots refused", "game", true, true, "..", "That name cannot be used as a folder name.", nullptr},
        {"cancel", "game", false, true, "", nullptr, nullptr},
        {"no game path", "", false, false, "", "The Rail Simulator path is not set. Please set it in the Options menu.", nullptr},
    };
    frmEditor w;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString game = tree.path(QStringLiteral("dev-") + QString::fromLatin1(r.name));
        QDir(game).removeRecursively();
        QDir().mkpath(game);
        if (r.sourceThere)
            QDir().mkpath(game + QStringLiteral("/Source/Taken"));
        shared().GamePath = r.gamePath.isEmpty() ? QString() : game;
        const QStringList before = QDir(game + QStringLiteral("/Source")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);

        if (r.asked)
            ui.expectInputBox(QString::fromLatin1(r.answer), QStringLiteral("Enter your Developer name (Use alpha characters only, no spaces)"));
        if (r.message)
            ui.expectMsgBox(vb::vbOK, QString::fromLatin1(r.message));
        w.mnuDeveloper->trigger();
        ui.verifyDone();

        if (r.asked) {
            const ScriptedUi::Dialog asked = ui.dialogs().first();
            EXPECT_EQ(asked.kind, ScriptedUi::Kind::InputBox);
            EXPECT_EQ(asked.title, "Developer Name");
            // "Source" is made before the question, whatever the answer.
            EXPECT_TRUE(QFileInfo(game + QStringLiteral("/Source")).isDir());
        } else {
            EXPECT_FALSE(QFileInfo::exists(game + QStringLiteral("/Source")));
        }
        if (r.message) {
            EXPECT_EQ(ui.lastMessage().text, QString::fromLatin1(r.message));
            EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        }
        QStringList after = QDir(game + QStringLiteral("/Source")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (r.made) {
            EXPECT_TRUE(after.removeOne(QString::fromLatin1(r.made)));
        }
        EXPECT_EQ(after, before); // nothing else was made
        ui.clearRecords();
    }
}

TEST_F(HubLauncherTest, ReadWriteClearsTheReadOnlyAttributeThroughDoRead)
{
    frmEditor w;
    const QString game = tree.path(QStringLiteral("My Rail Game"));
    const QString locked = tree.writeFile(QStringLiteral("My Rail Game/Assets/Kit One/Scenery.bin"), "bin");
    const QString top = tree.writeFile(QStringLiteral("My Rail Game/RailSim.exe"), "MZ");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    QFile::setPermissions(top, QFileDevice::ReadOwner);
    const QString lockedFolder = game + QStringLiteral("/Assets/Kit One");
    QFile::setPermissions(lockedFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    shared().GamePath = game;

    ui.expectMsgBox(vb::vbOK, QStringLiteral("All files are now Read/Write"));
    w.mnuReadWrite->trigger();
    ui.verifyDone();
    EXPECT_EQ(ui.lastMessage().text, "All files are now Read/Write");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/do_read.bat")),
              platform::encodeAnsi("ATTRIB -R \"" + game + "\\*.*\" /s /d\r\n"));
    for (const QString& path : {locked, top, lockedFolder})
        EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::WriteOwner) << path.toStdString();
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(tree.path(QStringLiteral("program/TempFiles"))).canonicalPath());
    ui.clearRecords();

    struct Row {
        const char* name;
        QString gamePath;
        const char* message;
    } failures[] = {
        {"missing game folder", tree.path(QStringLiteral("No Such Game")), "Not all files could be made Read/Write."},
        {"no game path", QString(), "The Rail Simulator path is not set. Please set it in the Options menu."},
        {"quote in the path", tree.path(QStringLiteral("My \"Game\"")), "cannot be written into a batch file line"},
    };
    for (const Row& r : failures) {
        SCOPED_TRACE(r.name);
        shared().GamePath = r.gamePath;
        ui.expectMsgBox(vb::vbOK, QString::fromLatin1(r.message));
        w.mnuReadWrite->trigger();
        ui.verifyDone();
        EXPECT_FALSE(ui.lastMessage().text.contains(QStringLiteral("All files are now")));
        ui.clearRecords();
    }

    // A batch file that cannot be written: the writer's message, nothing run.
    shared().GamePath = game;
    QFile::remove(tree.path(QStringLiteral("program/TempFiles/do_read.bat")));
    tree.makeDir(QStringLiteral("program/TempFiles/do_read.bat"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("An error occurred while writing "));
    w.mnuReadWrite->trigger();
    ui.verifyDone();
    EXPECT_FALSE(QFileInfo(locked).permissions() & QFileDevice::WriteOwner);
}
