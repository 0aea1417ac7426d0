// The asset list window end to end on a copy of the sample game: loading, the walks of
// "Add to List", the pattern box, "Clear List", "Save List", "Delete Selected", "Use in
// Scenarios", the window held while it works, and the one window the hub opens.

#include "AssetsWindowFixture.h"

#include "common/DriveListWidget.h"

#include "hub/frmEditor.h"
#include "platform/Ui.h"
#include "support/ScopedEnv.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kLamp = QStringLiteral("VeltraneSamples\\Sample02\\Scenery\\Lamps\\VS_LampPost01.bin");
const QString kSign = QStringLiteral("VeltraneSamples\\Sample02\\Scenery\\Signs\\VS_StationSign01.bin");
const QString kLampRow = QStringLiteral(
    "VeltraneSamples\tSample02\tScenery\\Lamps\\VS_LampPost01.bin\tVS Lamp Post 01\tNo\tStreetFurniture");
const QString kSignRow = QStringLiteral(
    "VeltraneSamples\tSample02\tScenery\\Signs\\VS_StationSign01.bin\tVS Station Sign 01\tYes\tSigns");
const QString kHeader = QStringLiteral("Provider\tProduct\tPath\tName\tIn Scenarios\tCategory");

const QString kDeleteWarning = QStringLiteral(
    "This will DELETE all selected files - You have been warned!!!\r\n"
    "If you do not have a back-up of the folder you are about to alter, I suggest\r\n"
    "you make one before carrying out this procedure!");
const QString kInSceneWarning = QStringLiteral(
    "This will allow SELECTED scenery items to be used in Scenarios\r\n"
    "If you do not have a back-up of the folder you are about to alter, \r\n"
    "I suggest you make one before carrying out this procedure!");

// The captions of a menu's entries with whether each is shown.
QStringList entries(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->text() + (a->isVisible() ? QString() : QStringLiteral(" (hidden)"));
    return out;
}

void pressCell(FlexGridWidget* g, int tableRow)
{
    const QPointF at = QPointF(g->visualRect(g->model()->index(tableRow, 0)).center());
    QMouseEvent press(QEvent::MouseButtonPress, at, g->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(g->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, g->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(g->viewport(), &release);
}

TEST_F(AssetsWindowTest, LoadsAtTheAssetsFolderWithAnEmptiedWorkFolderAndTheMenusInOrder)
{
    tree.writeFile(QStringLiteral("program/TempFiles/stale.xml"), "left over");
    frmAssets* w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Build List of Assets"));
    // The game's drive, e: in the test tree, and its Assets folder.
    EXPECT_EQ(w->Drive1->drive(), QStringLiteral("e:"));
    EXPECT_EQ(w->Dir1->root(), QFileInfo(tree.gamePath()).canonicalFilePath());
    EXPECT_EQ(w->Dir1->path(), tree.gamePath() + QStringLiteral("\\Assets"));
    EXPECT_EQ(w->Text2->text(), tree.gamePath() + QStringLiteral("\\Assets\\"));
    EXPECT_EQ(w->Text1->text(), QStringLiteral("*.bin"));
    EXPECT_EQ(w->Text5->text(), QString());
    EXPECT_EQ(w->NameLanguage, QStringLiteral("English"));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/stale.xml")));
    EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/TempFiles"))).isDir());
    EXPECT_EQ(w->VsFg1->Rows(), 2);
    EXPECT_EQ(gridRow(w, 0).join(QLatin1Char('\t')), kHeader);
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = "));

    // The commands still to come are there but hidden.
    const struct {
        QWidget* control;
        const char* caption;
        bool shown;
    } controls[] = {
        {w->Command1, "Add to List", true},     {w->Command9, "Display Child Entries.", true},
        {w->Command2, "Print List", true},      {w->Command3, "Save List", true},
        {w->Command4, "&Exit", true},           {w->Command5, "Clear List", true},
        {w->Label6, "Category", true},          {w->Label1, "Min LOD", true},
        {w->Label2, "Max LOD", true},           {w->Label4, "Child Entries For:-", true},
        {w->Command12, " Remove Selected Child Entries.", true},
    };
    for (const auto& c : controls) {
        const auto* button = qobject_cast<QPushButton*>(c.control);
        const QString caption = button ? button->text() : qobject_cast<QLabel*>(c.control)->text();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(!c.control->isHidden(), c.shown) << c.caption;
    }
    EXPECT_TRUE(w->Frame2->isHidden());
    EXPECT_FALSE(w->Picture1->isHidden());
    EXPECT_EQ(w->Text3->text(), QStringLiteral("300"));
    EXPECT_EQ(w->Text4->text(), QStringLiteral("1500"));

    QStringList menus;
    for (const QAction* a : w->menuBar()->actions())
        menus << a->text() + (a->isVisible() ? QString() : QStringLiteral(" (hidden)"));
    EXPECT_EQ(menus, (QStringList{"Files", "Edit Rolling Stock", "Edit Assets"}));
    EXPECT_EQ(entries(w->mnuFiles), (QStringList{"Exit"}));
    EXPECT_EQ(entries(w->mnuEditRS),
              (QStringList{"Add Driver to 166 Class", "Add Conductor to US Diesel",
                           "Add Passengers to Carriages", "Make Selected Stock Dead",
                           "Add tail-lights", "Add head-lights", "Clone selected Asset",
                           "Clone Selected Default Asset"}));
    EXPECT_EQ(entries(w->mnuEdAss), (QStringList{"Change LODs", "Delete Selected", "Make English Only",
                                                 "Use in Scenarios"}));

    // Closing unloads the window; the next one loads anew, on drive c: when no game is set.
    w->VsFg1->AddItem(QStringLiteral("a\tb\tc"));
    w->Command4_Click();
    EXPECT_EQ(frmAssets::loaded(), nullptr);
    delete w;
    shared().GamePath.clear();
    frmAssets* again = open();
    EXPECT_EQ(again->Drive1->drive(), QStringLiteral("c:"));
    EXPECT_EQ(again->Dir1->root(), QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath());
    EXPECT_EQ(again->VsFg1->Rows(), 2);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(AssetsWindowTest, AddToListAppendsTheBlueprintsOfAFolderAndClearListEmptiesTheGrid)
{
    frmAssets* w = open();
    addToList(w, QStringLiteral("VeltraneSamples\\Sample02"));
    // Sub-folders last first: Signs before Lamps.
    EXPECT_EQ(listedRows(w), (QStringList{kSignRow, kLampRow}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 2"));
    // The lists are back at the folder the walk started in.
    EXPECT_EQ(w->Dir1->path(), asset(QStringLiteral("VeltraneSamples\\Sample02")));
    EXPECT_EQ(w->Text2->text(), asset(QStringLiteral("VeltraneSamples\\Sample02\\")));
    EXPECT_EQ(w->File1->count(), 0);
    EXPECT_FALSE(w->isBusy());
    EXPECT_TRUE(w->Command1->isEnabled());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    // A second walk appends the same rows again.
    w->Command1_Click();
    EXPECT_EQ(listedRows(w), (QStringList{kSignRow, kLampRow, kSignRow, kLampRow}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 4"));

    w->Command5_Click();
    EXPECT_EQ(w->VsFg1->Rows(), 2);
    EXPECT_EQ(gridRow(w, 0).join(QLatin1Char('\t')), kHeader);
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total Items = 0 "));

    // The category filter, typed in lower case.
    w->Text5->setText(QStringLiteral("furn"));
    w->Command1_Click();
    EXPECT_EQ(listedRows(w), (QStringList{kLampRow}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 1"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(AssetsWindowTest, OtherPatternsListFilesWithoutConvertingThemAndThePatternBoxDrivesTheFileList)
{
    tree.writeFile(rel(QStringLiteral("Maker\\Pack\\Shapes\\B.GeoPcDx")), "shape b");
    tree.writeFile(rel(QStringLiteral("Maker\\Pack\\Shapes\\a.geopcdx")), "shape a");
    tree.writeFile(rel(QStringLiteral("Maker\\Pack\\Shapes\\Sub\\C.GeoPcDx")), "shape c");
    tree.writeFile(rel(QStringLiteral("Maker\\Pack\\Shapes\\x.bin")), "not a blueprint");
    frmAssets* w = open();
    addToList(w, QStringLiteral("Maker\\Pack\\Shapes"), QStringLiteral("*.GeoPcDx"));
    EXPECT_EQ(listedRows(w), (QStringList{"Maker\tPack\tShapes\\Sub\\C.GeoPcDx\t\t\t", "Maker\tPack\tShapes\\a.geopcdx\t\t\t",
                                          "Maker\tPack\tShapes\\B.GeoPcDx\t\t\t"}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 3"));
    EXPECT_TRUE(QDir(tree.path(QStringLiteral("program/TempFiles"))).isEmpty()) << "nothing converted";

    const auto files = [w] {
        QStringList names;
        for (int i = 0; i < w->File1->count(); ++i)
            names << w->File1->item(i)->text();
        return names;
    };
    EXPECT_EQ(files(), (QStringList{"a.geopcdx", "B.GeoPcDx"}));
    // Rows of pattern box texts and the files then listed.
    const struct {
        const char* box;
        const char* shown;   // the box's text afterwards
        QStringList listed;
    } rows[] = {
        {"", "*.*", {"a.geopcdx", "B.GeoPcDx", "x.bin"}},
        {"*.BIN", "*.BIN", {"x.bin"}},
        {"*.bin|x", "*.bin|x", {"x.bin"}}, // not a pattern: the list keeps the former one
        {"b*; *.bin", "b*; *.bin", {"B.GeoPcDx", "x.bin"}},
        {"..\\*.*", "..\\*.*", {"B.GeoPcDx", "x.bin"}},
        {"\"x.bin\"", "\"x.bin\"", {"B.GeoPcDx", "x.bin"}},
        {"*.geo?cdx", "*.geo?cdx", {"a.geopcdx", "B.GeoPcDx"}},
    };
    for (const auto& r : rows) {
        w->Text1->setText(QString::fromUtf8(r.box));
        EXPECT_EQ(w->Text1->text(), QString::fromUtf8(r.shown));
        EXPECT_EQ(files(), r.listed) << r.box;
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(AssetsWindowTest, SaveListWritesCommaOrTabSeparatedTextByTheNamesEnding)
{
    frmAssets* w = open();
    w->VsFg1->AddItem(QStringLiteral("Maker, Ltd\tPack\tA\\B.bin\tThe \"Big\" One\tYes\tBuildings"));
    w->VsFg1->AddItem(QStringLiteral("M\tP\tC.bin\tC\tNo\t"));
    // The empty row 1 is saved as the grid holds it.
    const QByteArray csv = "Provider,Product,Path,Name,In Scenarios,Category\r\n"
                           ",,,,,\r\n"
                           "\"Maker, Ltd\",Pack,A\\B.bin,\"The \"\"Big\"\" One\",Yes,Buildings\r\n"
                           "M,P,C.bin,C,No,\r\n";
    const QByteArray tab = "Provider\tProduct\tPath\tName\tIn Scenarios\tCategory\r\n"
                           "\t\t\t\t\t\r\n"
                           "Maker, Ltd\tPack\tA\\B.bin\t\"The \"\"Big\"\" One\"\tYes\tBuildings\r\n"
                           "M\tP\tC.bin\tC\tNo\t\r\n";
    const struct {
        const char* name; // "" cancels the dialog
        QByteArray expected; // empty: nothing written
    } rows[] = {
        {"list.csv", csv}, {"LIST2.CSV", csv}, {"list.tab", tab}, {"list.txt", tab},
        {"list.dat", {}},  {"listcsv", csv}, {"", {}},
    };
    for (const auto& r : rows) {
        const QString name = QString::fromUtf8(r.name);
        const QString path = name.isEmpty() ? QString() : tree.path(QStringLiteral("program/Reports/") + name);
        ui.expectSaveFile(path);
        w->Command3_Click();
        const FileDialogRequest asked = ui.lastDialog().request;
        EXPECT_EQ(asked.title, QStringLiteral("Save Grid as File"));
        EXPECT_EQ(asked.filter, QStringLiteral("Comma Separated (*.csv)|*.csv|Tabbed text file (*.tab)|*.tab"));
        EXPECT_EQ(asked.filterIndex, 1);
        EXPECT_EQ(asked.initDir, tree.programPath() + QStringLiteral("\\Reports"));
        EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/Reports"))).isDir());
        if (name.isEmpty())
            continue;
        if (r.expected.isEmpty())
            EXPECT_FALSE(QFile::exists(path)) << r.name;
        else
            EXPECT_EQ(tree.readFile(path), r.expected) << r.name;
    }
    EXPECT_EQ(QDir(tree.path(QStringLiteral("program/Reports"))).entryList(QDir::Files).size(), 5);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(AssetsWindowTest, DeleteSelectedDeletesTheSelectedFilesAndRebuildsTheList)
{
    frmAssets* w = open();
    addToList(w, QStringLiteral("VeltraneSamples\\Sample02"));
    const QByteArray lamp = tree.readFile(rel(kLamp));
    ASSERT_FALSE(lamp.isEmpty());

    // Cancel: nothing happens.
    selectRows(w, {rowNamed(w, QStringLiteral("VS Station Sign 01"))});
    ui.expectMsgBox(vb::vbCancel, kDeleteWarning);
    w->mnuDel_Click();
    EXPECT_EQ(ui.lastMessage().text, kDeleteWarning);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKCancel + vb::vbExclamation);
    EXPECT_TRUE(tree.exists(rel(kSign)));
    EXPECT_EQ(listedRows(w), (QStringList{kSignRow, kLampRow}));

    // The empty row alone: nothing deleted, the list rebuilt.
    selectRows(w, {1});
    ui.expectMsgBox(vb::vbOK, kDeleteWarning);
    w->mnuDel_Click();
    EXPECT_TRUE(tree.exists(rel(kSign)));
    EXPECT_EQ(listedRows(w), (QStringList{kSignRow, kLampRow}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 2"));

    // The sign: deleted, the lamp left, the list rebuilt from the folder shown.
    selectRows(w, {1, rowNamed(w, QStringLiteral("VS Station Sign 01"))});
    ui.expectMsgBox(vb::vbOK, kDeleteWarning);
    w->mnuDel_Click();
    EXPECT_FALSE(tree.exists(rel(kSign)));
    EXPECT_EQ(tree.readFile(rel(kLamp)), lamp);
    EXPECT_EQ(w->StatusPanel2->text(), asset(kSign));
    EXPECT_EQ(listedRows(w), (QStringList{kLampRow}));
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Total items = 1"));
    EXPECT_EQ(ui.messages().size(), 3);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

// Under an hourglass asked for by a command still running elsewhere, each command of the
// window leaves the pointer as it found it, whether it ends normally or early.
TEST_F(AssetsWindowTest, CommandsLeaveThePointerAsTheyFoundIt)
{
    frmAssets* w = open();
    const struct Row {
        const char* what;
        std::function<void()> run;
    } rows[] = {
        {"Add to List", [&] { addToList(w, QStringLiteral("VeltraneSamples\\Sample02")); }},
        {"Delete Selected, cancelled",
         [&] {
             selectRows(w, {rowNamed(w, QStringLiteral("VS Station Sign 01"))});
             ui.expectMsgBox(vb::vbCancel, kDeleteWarning);
             w->mnuDel_Click();
         }},
        {"Delete Selected", [&] {
             selectRows(w, {1});
             ui.expectMsgBox(vb::vbOK, kDeleteWarning);
             w->mnuDel_Click();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BusyPointer caller;
        row.run();
        EXPECT_EQ(ui.mousePointerLevel(), 1) << "the caller's hourglass is still up";
    }
    EXPECT_EQ(ui.mousePointerLevel(), 0);
}

TEST_F(AssetsWindowTest, UseInScenariosTurnsFalseToTrueWithABackupAndPassesOtherRowsOver)
{
    frmAssets* w = open();
    addToList(w, QStringLiteral("VeltraneSamples"));
    const QString oak = QStringLiteral("VeltraneSamples\\Sample01\\Scenery\\Trees\\VS_Oak01.bin");
    const QString station = QStringLiteral("VeltraneSamples\\Sample01\\Scenery\\Buildings\\VS_Station01.bin");
    const QString track = QStringLiteral("VeltraneSamples\\Sample01\\RailNetwork\\Track\\VS_Track01.bin");
    const struct {
        const char* name;
        QString file;
        const char* cellBefore;
        const char* cellAfter;
        bool changed;
    } rows[] = {
        {"VS Lamp Post 01", kLamp, "No", "Yes", true},
        {"VS Oak 01", oak, "No", "Yes", true},
        {"VS Station 01", station, "Yes", "Yes", false}, // eTrue already
        {"VS Track 01", track, "No", "No", false},       // no element
    };
    QList<int> picked;
    QList<QByteArray> before;
    QList<QByteArray> xmlBefore;
    for (const auto& r : rows) {
        const int row = rowNamed(w, QString::fromUtf8(r.name));
        ASSERT_GT(row, 1) << r.name;
        EXPECT_EQ(w->VsFg1->TextMatrix(row, 4), QString::fromUtf8(r.cellBefore)) << r.name;
        picked << row;
        before << tree.readFile(rel(r.file));
        xmlBefore << decodeBinary(rel(r.file));
    }
    selectRows(w, picked);
    // The game's blueprint cache stays: this edit does not ask the game to rebuild it.
    tree.writeFile(rel(QStringLiteral("VeltraneSamples\\Sample02\\BluePrints.pak")), "cache");

    ui.expectMsgBox(vb::vbOK, kInSceneWarning);
    w->mnuInScene_Click();
    EXPECT_EQ(ui.messages().size(), 1) << "no closing message";
    EXPECT_EQ(ui.lastMessage().text, kInSceneWarning);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKCancel + vb::vbExclamation);
    for (int i = 0; i < int(std::size(rows)); ++i) {
        const auto& r = rows[i];
        const int row = rowNamed(w, QString::fromUtf8(r.name));
        EXPECT_EQ(w->VsFg1->TextMatrix(row, 4), QString::fromUtf8(r.cellAfter)) << r.name;
        if (r.changed) {
            QByteArray expected = xmlBefore[i];
            expected.replace(">eFalse</ValidInScenarios>", ">eTrue</ValidInScenarios>");
            EXPECT_EQ(decodeBinary(rel(r.file)), expected) << r.name;
            EXPECT_EQ(tree.readFile(rel(r.file + QStringLiteral(".bak"))), before[i]) << r.name;
        } else {
            EXPECT_EQ(tree.readFile(rel(r.file)), before[i]) << r.name;
            EXPECT_FALSE(tree.exists(rel(r.file + QStringLiteral(".bak")))) << r.name;
        }
    }
    EXPECT_EQ(tree.readFile(rel(QStringLiteral("VeltraneSamples\\Sample02\\BluePrints.pak"))), QByteArray("cache"));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    // Again on the lamp: now "eTrue", so nothing is written and no second backup is made.
    selectRows(w, {rowNamed(w, QStringLiteral("VS Lamp Post 01"))});
    ui.expectMsgBox(vb::vbOK, kInSceneWarning);
    w->mnuInScene_Click();
    EXPECT_FALSE(tree.exists(rel(kLamp + QStringLiteral(".bak1"))));
}

TEST_F(AssetsWindowTest, UseInScenariosLeavesTheGameFileAsItWasWhenARowCannotBeWritten)
{
    const QByteArray failMessage = "Serz.exe could not convert file VS_LampPost01.bin\r\n"
                                   "This is a limitation of Serz.exe and out of my control.";
    const struct {
        const char* what;
        const char* serzFail;  // SERZ_FAIL for this row
        bool takeAllBackups;   // .bak and .bak1 to .bak50 exist
        bool emptyRowOnly;     // only row 1 selected
        int answer;            // to the warning
        QString message;       // shown after the warning; "" for none
    } rows[] = {
        {"conversion back fails", "VS_LampPost01.xml", false, false, vb::vbOK, QString::fromUtf8(failMessage)},
        {"no free backup name", "", true, false, vb::vbOK,
         QStringLiteral("All 51 backup names of ") + asset(kLamp)},
        {"the empty row alone", "", false, true, vb::vbOK, QString()},
        {"cancelled", "", false, false, vb::vbCancel, QString()},
    };
    frmAssets* w = open();
    addToList(w, QStringLiteral("VeltraneSamples\\Sample02"));
    const QByteArray lamp = tree.readFile(rel(kLamp));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ScopedEnv fail("SERZ_FAIL", r.serzFail);
        if (r.takeAllBackups) {
            tree.writeFile(rel(kLamp + QStringLiteral(".bak")), "old backup");
            for (int n = 1; n <= 50; ++n)
                tree.writeFile(rel(kLamp + QStringLiteral(".bak") + QString::number(n)), "old backup");
        }
        selectRows(w, {r.emptyRowOnly ? 1 : rowNamed(w, QStringLiteral("VS Lamp Post 01"))});
        ui.clearRecords();
        ui.expectMsgBox(r.answer, kInSceneWarning);
        if (!r.message.isEmpty())
            ui.expectMsgBox(vb::vbOK, r.message);
        w->mnuInScene_Click();
        ui.verifyDone();
        EXPECT_EQ(ui.messages().size(), r.message.isEmpty() ? 1 : 2);
        if (!r.message.isEmpty()) {
            EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
            if (r.serzFail[0]) {
                EXPECT_EQ(ui.lastMessage().text, r.message);
            }
        }
        EXPECT_EQ(tree.readFile(rel(kLamp)), lamp);
        EXPECT_EQ(w->VsFg1->TextMatrix(rowNamed(w, QStringLiteral("VS Lamp Post 01")), 4), QStringLiteral("No"));
        if (r.takeAllBackups) {
            EXPECT_EQ(tree.readFile(rel(kLamp + QStringLiteral(".bak"))), QByteArray("old backup"));
            EXPECT_EQ(tree.readFile(rel(kLamp + QStringLiteral(".bak50"))), QByteArray("old backup"));
            for (int n = 0; n <= 50; ++n)
                QFile::remove(tree.path(rel(kLamp + QStringLiteral(".bak") + (n ? QString::number(n) : QString()))));
        } else {
            EXPECT_FALSE(tree.exists(rel(kLamp + QStringLiteral(".bak"))));
        }
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    }
}

TEST_F(AssetsWindowTest, WhileAWalkRunsTheCommandsAreHeldAndTheWindowStaysOpen)
{
    frmAssets* w = open();
    w->show();
    addToList(w, QStringLiteral("VeltraneSamples\\Sample02"));
    ASSERT_EQ(w->VsFg1->Rows(), 4);
    selectRows(w, {2});
    QList<int> presses;
    QObject::connect(w->VsFg1, &FlexGridWidget::pressed, [&presses](int row, int) { presses.append(row); });

    ScopedEnv slow("SERZ_DELAY_MS", "300");
    struct Seen {
        bool fired = false;
        bool busy = false;
        bool addEnabled = true;
        bool menusEnabled = true;
        bool loadedAfterClose = false;
        QList<int> selectedAfterPress;
    } seen;
    QTimer::singleShot(100, w, [&] {
        seen.fired = true;
        seen.busy = w->isBusy();
        seen.addEnabled = w->Command1->isEnabled() && w->Command1->isEnabledTo(w);
        seen.menusEnabled = w->menuBar()->isEnabled();
        pressCell(w->VsFg1, 2); // grid row 3
        seen.selectedAfterPress = w->VsFg1->selectedRowNumbers();
        w->close();
        seen.loadedAfterClose = frmAssets::loaded() == w;
    });
    w->Command1_Click();
    ASSERT_TRUE(seen.fired);
    EXPECT_TRUE(seen.busy);
    EXPECT_FALSE(seen.addEnabled);
    EXPECT_FALSE(seen.menusEnabled);
    EXPECT_TRUE(presses.isEmpty());
    EXPECT_EQ(seen.selectedAfterPress, (QList<int>{2}));
    EXPECT_TRUE(seen.loadedAfterClose);
    // The walk went on to its end; then everything is back.
    EXPECT_EQ(w->VsFg1->Rows(), 6);
    EXPECT_FALSE(w->isBusy());
    EXPECT_TRUE(w->Command1->isEnabledTo(w));
    EXPECT_TRUE(w->menuBar()->isEnabled());
    pressCell(w->VsFg1, 2);
    EXPECT_EQ(presses, (QList<int>{3}));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(AssetsWindowTest, EditAssetsInTheHubOpensOneWindowWithoutWaiting)
{
    frmEditor hub;
    hub.mnuLists_Click();
    frmAssets* first = frmAssets::loaded();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    hub.mnuLists_Click();
    EXPECT_EQ(frmAssets::loaded(), first);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        windows += qobject_cast<frmAssets*>(top) ? 1 : 0;
    EXPECT_EQ(windows, 1);
    // The entry stands after "Edit Scenarios" in the Tools menu.
    const QList<QAction*> tools = hub.mnuTools->actions();
    const qsizetype at = tools.indexOf(hub.mnuLists);
    ASSERT_GT(at, 0);
    EXPECT_EQ(tools[at]->text(), QStringLiteral("Edit Assets"));
    EXPECT_EQ(tools[at - 1], hub.mnuZelvorn);
}

} // namespace

// After an edit the grid's current cell is that of the last row taken up: its In Scenarios
// cell when "Use in Scenarios" wrote it, else its Path cell, the last one its path was read from.
TEST_F(AssetsWindowTest, EditsLeaveTheLastRowsCellCurrent)
{
    frmAssets* w = open();
    addToList(w, QStringLiteral("VeltraneSamples"));
    const QString changeLods = QStringLiteral("Changing a large number of LODs");
    const struct {
        const char* what;
        const char* name;
        void (frmAssets::*command)();
        QString warning; // "" none
        int col;
    } rows[] = {
        {"Use in Scenarios writes", "VS Lamp Post 01", &frmAssets::mnuInScene_Click, kInSceneWarning, 4},
        {"Use in Scenarios passes over", "VS Station 01", &frmAssets::mnuInScene_Click, kInSceneWarning, 2},
        {"Change LODs", "VS Oak 01", &frmAssets::mnuLod_Click, changeLods, 2},
        {"Display Child Entries.", "VS Oak 01", &frmAssets::Command9_Click, QString(), 2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const int row = rowNamed(w, QString::fromUtf8(r.name));
        ASSERT_GT(row, 1);
        selectRows(w, {row});
        w->VsFg1->setRow(1);
        w->VsFg1->setCol(5);
        if (!r.warning.isEmpty())
            ui.expectMsgBox(vb::vbOK, r.warning);
        (w->*r.command)();
        ui.verifyDone();
        EXPECT_EQ(w->VsFg1->Row(), row);
        EXPECT_EQ(w->VsFg1->Col(), r.col);
        EXPECT_TRUE(w->VsFg1->IsSelected(row)) << "the selection stays";
    }
}
