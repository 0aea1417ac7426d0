// The developer folder picker, the blueprint designer and their launchers in the main window.

#include "MarkerFixture.h"

#include "common/DriveListWidget.h"

#include "hub/frmEditor.h"
#include "routes/DeveloperFolders.h"
#include "routes/frmBlue.h"
#include "routes/frmFolder.h"
#include "routes/frmMarkers.h"
#include "support/FolderContents.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

QStringList subFolders(const QString& path)
{
    QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort(Qt::CaseInsensitive);
    return names;
}

// Everything below the folder, links included (not followed).
QStringList treeOf(const QString& path)
{
    return filesBelow(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

QStringList sorted(QStringList names)
{
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

class FolderTest : public MarkerWindowTest {
protected:
    QString source(const QString& rest = QString()) const
    {
        return tree.path(QStringLiteral("game/Source")) + (rest.isEmpty() ? QString() : QLatin1Char('/') + rest);
    }
    // Shows the picker modally; action works it.
    void pick(const QString& caption, const std::function<void(frmFolder&)>& action)
    {
        ui.expectModal([&](QWidget* window) { action(*static_cast<frmFolder*>(window)); }, caption);
        frmFolder::showModalWindow();
    }
};

TEST_F(FolderTest, ConfirmMakesTheAddOnTree)
{
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Select your Developer Folder"));
        EXPECT_FALSE(w.Text2->isHidden());
        EXPECT_EQ(w.Label1->text(), QStringLiteral("Enter Folder Name for Add-ON"));
        EXPECT_EQ(w.Text1->text(), game(QStringLiteral("Source")));
        clickFolder(w, game(QStringLiteral("Source\\VeltraneSamples")));
        EXPECT_EQ(w.Text1->text(), game(QStringLiteral("Source\\VeltraneSamples")));
        w.Text2->setText(QStringLiteral("ValleyAddOn"));
        w.Command1_Click();
    });
    const QString base = source(QStringLiteral("VeltraneSamples/ValleyAddOn"));
    EXPECT_EQ(subFolders(base), sorted({"Audio", "Environment", "Particles", "RailNetwork", "RailVehicles", "RouteMarkers",
                                        "Scenery", "Stations", "System", "TemplateRoutes", "Weather"}));
    EXPECT_EQ(subFolders(base + "/Scenery"),
              sorted({"Animated", "Billboards", "Brushes", "Buildings", "Characters", "Clocks", "Clutter",
                      "DestinationBoards", "Procedural", "Structures", "Vegetation", "Vehicles", "Wildlife"}));
    EXPECT_EQ(subFolders(base + "/RailVehicles"), sorted({"Couplings", "Diesel", "Electric", "Freight", "Passenger", "Steam"}));
    for (const char* leaf : {"Audio", "Weather", "Scenery/Wildlife", "RailVehicles/Steam"})
        EXPECT_EQ(subFolders(base + "/" + leaf), QStringList()) << leaf;
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(FolderTest, ExistingAndInvalidNames)
{
    tree.makeDir(QStringLiteral("game/Source/Mine"));
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        w.Text2->setText(QStringLiteral("Mine"));
        w.Command1_Click();
    });
    EXPECT_EQ(subFolders(source(QStringLiteral("Mine"))), QStringList());
    EXPECT_TRUE(ui.messages().isEmpty());

    const QStringList before = subFolders(source());
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        for (const char* bad : {"..", "a\\b", "a/b", "x:y", "why?"}) {
            ui.expectMsgBox(vb::vbOK, QStringLiteral("cannot be used as a folder name"));
            w.Text2->setText(QString::fromLatin1(bad));
            w.Command1_Click();
            EXPECT_TRUE(w.isVisible()) << bad;
        }
        w.close();
    });
    EXPECT_EQ(subFolders(source()), before);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);

    // A folder that cannot be made is reported.
    tree.writeFile(QStringLiteral("game/Source/AFile"), "x");
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        w.Text1->setText(game(QStringLiteral("Source\\AFile")));
        w.Text2->setText(QStringLiteral("Add"));
        ui.expectMsgBox(vb::vbOK, QStringLiteral("could not be created"));
        w.Command1_Click();
    });
    EXPECT_TRUE(ui.lastMessage().text.contains(game(QStringLiteral("Source\\AFile\\Add"))));
}

// The folder box is read as a Windows program reads a typed path: "\name" from the root of the
// game's drive, a relative name in the program folder (the current folder), a network share as
// a folder that cannot be made, and a name Windows does not allow as error 52 with the window
// open for another try.
TEST_F(FolderTest, TypedFoldersAreReadAsWindowsReadsThem)
{
    const bool serverBefore = QFileInfo::exists(QStringLiteral("/server"));
    const struct {
        QString typed;
        QString name;
        QString made;    // the add-on folder; "" nothing is made
        QString message; // "" none
        bool staysOpen;
    } rows[] = {
        {"\\Dev", {}, tree.gamePath() + "/Dev", {}, false},
        {"MyDev", {}, tree.programPath() + "/MyDev", {}, false},
        {"\\\\server\\share", "Add", {}, "The folder \\\\server\\share\\Add could not be created.", false},
        {"*?<>|", {}, {}, "An Error Bad file name or number occurred in 'frmFolder'", true},
        {"Dev<1>", "Add", {}, "An Error Bad file name or number occurred in 'frmFolder'", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        const QStringList before = treeOf(tree.rootPath());
        pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
            w.Text1->setText(row.typed);
            w.Text2->setText(row.name);
            if (!row.message.isEmpty())
                ui.expectMsgBox(vb::vbOK, row.message);
            w.Command1_Click();
            EXPECT_EQ(w.isVisible(), row.staysOpen);
            w.close();
        });
        if (row.made.isEmpty()) {
            EXPECT_EQ(treeOf(tree.rootPath()), before);
            EXPECT_EQ(ui.lastMessage().text, row.message);
            EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
        } else {
            EXPECT_EQ(subFolders(row.made).size(), 11u);
        }
    }
    EXPECT_EQ(QFileInfo::exists(QStringLiteral("/server")), serverBefore);
}

TEST_F(FolderTest, MissingSourceOrGameMakesNothingUntilAFolderIsChosen)
{
    QDir(source()).removeRecursively();
    const QStringList before = subFolders(tree.gamePath());
    ui.expectMsgBox(vb::vbOK, QStringLiteral("An Error Path not found occurred in 'frmFolder'"));
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        EXPECT_EQ(w.Text1->text(), QString());
        w.Text2->setText(QStringLiteral("Stray"));
        w.Command1_Click();
    });
    EXPECT_EQ(subFolders(tree.gamePath()), before);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);

    shared().GamePath.clear();
    tree.makeDir(QStringLiteral("wine/drive_c/Work"));
    const QString driveC = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("An Error Device unavailable occurred in 'frmFolder'"));
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        EXPECT_EQ(w.Drive1->drive(), QStringLiteral("c:"));
        EXPECT_EQ(w.Dir1->root(), driveC);
        EXPECT_EQ(w.Text1->text(), QString());
        clickFolder(w, driveC + QStringLiteral("\\Work"));
        w.Text2->setText(QStringLiteral("Made"));
        w.Command1_Click();
    });
    EXPECT_TRUE(tree.exists(QStringLiteral("wine/drive_c/Work/Made/Scenery/Clutter")));
}

// The drive list moves the folder list and "Text1" to another drive, where the add-on tree is
// then made; a drive whose folder is gone gives the picker's message and changes nothing.
TEST_F(FolderTest, DriveListMovesThePickerToAnotherDrive)
{
    tree.makeDir(QStringLiteral("wine/drive_c/Dev"));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("gone")), tree.path(QStringLiteral("wine/dosdevices/d:"))));
    const QString driveC = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();
    pick(QStringLiteral("Select your Developer Folder"), [&](frmFolder& w) {
        EXPECT_EQ(w.Drive1->drive(), QStringLiteral("e:"));
        const auto choose = [&](const char* drive) {
            w.Drive1->setCurrentIndex(w.Drive1->findText(QLatin1String(drive)));
            emit w.Drive1->driveChosen();
        };
        ui.expectMsgBox(vb::vbOK, QStringLiteral("An Error Device unavailable occurred in 'frmFolder'"));
        choose("d:");
        EXPECT_EQ(w.Drive1->drive(), QStringLiteral("e:"));
        EXPECT_EQ(w.Dir1->path(), game(QStringLiteral("Source")));
        EXPECT_EQ(w.Text1->text(), game(QStringLiteral("Source")));

        choose("c:");
        EXPECT_EQ(w.Dir1->root(), driveC);
        EXPECT_EQ(w.Text1->text(), driveC);
        clickFolder(w, driveC + QStringLiteral("\\Dev"));
        EXPECT_EQ(w.Text1->text(), driveC + QStringLiteral("\\Dev"));
        w.Text2->setText(QStringLiteral("Line"));
        w.Command1_Click();
    });
    EXPECT_TRUE(tree.exists(QStringLiteral("wine/drive_c/Dev/Line/RailVehicles/Steam")));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Line")));
}

TEST_F(FolderTest, BlueprintPickerOnlyStoresTheFolder)
{
    struct Case {
        int mode;
        const char* caption;
    } cases[] = {{1, "Select your RouteMarkers folder"}, {2, "Select your RouteMarkers folder"}, {3, "Select your TemplateRoutes folder"}};
    for (const Case& c : cases) {
        shared().BlueprintPending = true;
        shared().BlueprintMode = c.mode;
        const QStringList before = subFolders(source());
        pick(QString::fromLatin1(c.caption), [&](frmFolder& w) {
            EXPECT_TRUE(w.Text2->isHidden());
            EXPECT_TRUE(w.Label1->isHidden());
            clickFolder(w, markersFolder());
            w.Text2->setText(QStringLiteral("Ignored"));
            w.Command1_Click();
        });
        EXPECT_EQ(shared().BlueprintFolder, markersFolder());
        EXPECT_EQ(subFolders(source()), before);
    }
}

class BlueTest : public MarkerWindowTest {
protected:
    QByteArray templateBytes(const char* name) const { return tree.readFile(QStringLiteral("program/BluePrints/") + name); }
    frmBlue* designer(int mode)
    {
        shared().BlueprintMode = mode;
        shared().BlueprintFolder = markersFolder();
        return frmBlue::showDesigner();
    }
    void make(frmBlue* w, const QStringList& boxes)
    {
        for (int i = 0; i < boxes.size(); ++i)
            w->Text1[i]->setText(boxes[i]);
        w->Command1_Click();
    }
    QByteArray written(const QString& name) const { return tree.readFile(native(markersFolder()) + "/" + name); }
    void TearDown() override
    {
        if (frmBlue* w = frmBlue::existing())
            delete w;
        MarkerWindowTest::TearDown();
    }
};

TEST_F(BlueTest, ThreeBlueprintsByteExact)
{
    struct Case {
        int mode;
        const char* templateName;
        QStringList boxes;
        QString file;
        QList<std::pair<QByteArray, QByteArray>> replaced;
        QString heading;
        QStringList labels;
    } cases[] = {
        {1, "Blue_Named.xml", {"Valley Stations", "ValleyStations"}, "Valley Stations.xml",
         {{"ZZZZZZ", "Valley Stations"}, {"XXXXXX", "ValleyStations.csv"}},
         "Set up Blueprint for a Named Marker file", {"Named Marker File Name:", ".csv File Name:"}},
        {2, "Blue_Series.xml", {"Mileposts", "Mileposts.CSV"}, "Mileposts.xml",
         {{"ZZZZZZ", "Mileposts"}, {"XXXXXX", "Mileposts.CSV.csv"}},
         "Set up Blueprint for a Series Marker file", {"Series Marker File Name:", ".csv File Name:"}},
        {3, "Blue_Route.xml", {"Valley", "-1.50123x", "53.8021 "}, "Valley.xml",
         {{"ZZZZZZ", "Valley"}, {"XXXXXX", "-1.50123x"}, {"YYYYYY", "53.8021 "}},
         "Set up Blueprint for a Route Template", {"Route Template Name:", "Longitude:", "Latitude:"}},
    };
    for (const Case& c : cases) {
        frmBlue* w = designer(c.mode);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("BluePrint Designer"));
        EXPECT_EQ(w->Label2->text(), c.heading);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(w->Text1[i]->isHidden(), i >= c.labels.size()) << c.mode << " box " << i;
            if (i < c.labels.size()) {
                EXPECT_EQ(w->Label1[i]->text(), c.labels[i]);
            }
        }
        QByteArray expected = templateBytes(c.templateName);
        ASSERT_TRUE(expected.contains("ZZZZZZ") && expected.contains("XXXXXX")) << c.templateName;
        EXPECT_EQ(expected.contains("YYYYYY"), c.mode == 3);
        for (const auto& [token, value] : c.replaced)
            expected.replace(token, value);
        make(w, c.boxes);
        EXPECT_EQ(written(c.file), expected) << c.templateName;
        // Made again: the file is replaced, without a backup.
        tree.writeFile(native(markersFolder()) + "/" + c.file, "old");
        make(w, c.boxes);
        EXPECT_EQ(written(c.file), expected);
        EXPECT_FALSE(tree.exists(native(markersFolder()) + "/" + c.file + ".bak"));
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(BlueTest, RefusesWhatWouldWriteNothingUseful)
{
    frmBlue* w = designer(1);
    const QStringList before = QDir(tree.path(native(markersFolder()))).entryList(QDir::Files);

    shared().BlueprintFolder.clear();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No folder has been selected for the blueprint."));
    make(w, {"Name", "x"});
    shared().BlueprintFolder = markersFolder();

    for (const char* bad : {"", "a/b", "..", "x:y"}) {
        ui.expectMsgBox(vb::vbOK, QStringLiteral("cannot be used as a blueprint name"));
        make(w, {QString::fromLatin1(bad), "x"});
    }

    QFile::remove(tree.path(QStringLiteral("program/BluePrints/Blue_Named.xml")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("is missing or empty"));
    make(w, {"Name", "x"});
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("Blue_Named.xml")));
    tree.writeFile(QStringLiteral("program/BluePrints/Blue_Named.xml"), QByteArray());
    ui.expectMsgBox(vb::vbOK, QStringLiteral("is missing or empty"));
    make(w, {"Name", "x"});
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);

    EXPECT_EQ(QDir(tree.path(native(markersFolder()))).entryList(QDir::Files), before);
}

class LauncherTest : public BlueTest {};

TEST_F(LauncherTest, ToolsMenuShowsTheWindowsInTheirModes)
{
    frmEditor editor;
    const QStringList items = [&] {
        QStringList texts;
        for (QAction* a : editor.mnuTools->actions())
            texts.append(a->text());
        return texts;
    }();
    for (const char* caption : {"Convert  Marker files", "DCSV Precision", "Set Up Sub- Folders", "Easy Blueprints",
                                "Markers - Named", "Markers - Series", "Route Template"})
        EXPECT_TRUE(items.contains(QString::fromLatin1(caption))) << caption;

    ui.expectMsgBox(vb::vbOK, QStringLiteral("Select the folder where you wish to SAVE"));
    ui.expectModal([](QWidget* w) { static_cast<frmMarkers*>(w)->Command2_Click(); },
                   QStringLiteral("Select Folder containing your Markers"));
    editor.mnuMultiMarker->trigger();
    EXPECT_EQ(shared().MarkerToolMode, 1);
    ui.expectModal([](QWidget* w) { static_cast<frmMarkers*>(w)->Command2_Click(); },
                   QStringLiteral("Select Folder containing your DCSV files"));
    editor.mnuDCSVnew->trigger();
    EXPECT_EQ(shared().MarkerToolMode, 2);

    struct Case {
        QAction* action;
        int mode;
        const char* caption;
        const char* heading;
    } cases[] = {
        {editor.mnuMarkN, 1, "Select your RouteMarkers folder", "Set up Blueprint for a Named Marker file"},
        {editor.mnuMarkS, 2, "Select your RouteMarkers folder", "Set up Blueprint for a Series Marker file"},
        {editor.mnuRoute, 3, "Select your TemplateRoutes folder", "Set up Blueprint for a Route Template"},
    };
    for (const Case& c : cases) {
        ui.expectModal([&](QWidget* w) {
            auto* picker = static_cast<frmFolder*>(w);
            clickFolder(*picker, markersFolder());
            picker->Command1_Click();
        }, QString::fromLatin1(c.caption));
        c.action->trigger();
        EXPECT_TRUE(shared().BlueprintPending);
        EXPECT_EQ(shared().BlueprintMode, c.mode);
        EXPECT_EQ(shared().BlueprintFolder, markersFolder());
        ASSERT_NE(frmBlue::existing(), nullptr);
        EXPECT_TRUE(frmBlue::existing()->isVisible());
        EXPECT_EQ(frmBlue::existing()->Label2->text(), QString::fromLatin1(c.heading));
    }

    // "Set Up Sub- Folders" after a blueprint command still makes an add-on tree.
    ui.expectModal([&](QWidget* w) {
        auto* picker = static_cast<frmFolder*>(w);
        EXPECT_FALSE(picker->Text2->isHidden());
        picker->Text2->setText(QStringLiteral("AfterBlueprints"));
        picker->Command1_Click();
    }, QStringLiteral("Select your Developer Folder"));
    editor.mnuDevFolders->trigger();
    EXPECT_FALSE(shared().BlueprintPending);
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Source/AfterBlueprints/RailVehicles/Diesel")));
}
