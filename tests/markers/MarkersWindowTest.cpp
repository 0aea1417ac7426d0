// The marker converter window in both modes, on a copy of the sample game.

#include "MarkerFixture.h"

#include "routes/MarkerTool.h"
#include "routes/frmMarkers.h"

#include "common/DriveListWidget.h"

#include "support/FolderContents.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <memory>

namespace {

const QByteArray kStationsCsv = "-1.501234,53.802112,Veltrane_Central\r\n-1.487650,53.795320,Eastfield_Yard\r\n"
                                "-1.472205,53.788941,Quarry_Siding\r\n";
const QByteArray kTrackCsv = "-1.501234,53.802112\r\n-1.497310,53.800050\r\n-1.492118,53.797802\r\n-1.487650,53.795320\r\n";
const QByteArray kSignalsCsv = "-1.499870,53.801020\r\n-1.489930,53.796410\r\n-1.473400,53.789500\r\n";
const QByteArray kMarkersCsv = "-1.501234,53.802112,\"Central\"\r\n-1.487650,53.795320,\"Eastfield\"\r\n"
                               "-1.472205,53.788941,\"Quarry\"\r\n";

} // namespace

class MarkersTest : public MarkerWindowTest {
protected:
    // A mode-1 window after "Proceed", with saveFolder as "Save In:" and sourceFolder listed.
    std::unique_ptr<frmMarkers> readyToProcess(const QString& saveFolder, const QString& sourceFolder)
    {
        shared().MarkerToolMode = 1;
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Select the folder where you wish to SAVE"));
        auto w = std::make_unique<frmMarkers>();
        clickFolder(*w, saveFolder);
        ui.expectMsgBox(vb::vbOK, QStringLiteral("Now Select your Marker Files"));
        w->Command4_Click();
        clickFolder(*w, sourceFolder);
        return w;
    }
    void select(frmMarkers& w, const QStringList& names)
    {
        for (int i = 0; i < w.File1->count(); ++i)
            w.File1->item(i)->setSelected(names.contains(w.File1->item(i)->text()));
    }
};

TEST_F(MarkersTest, ModeOneConvertsEverySampleMarkerFile)
{
    shared().MarkerToolMode = 1;
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Select the folder where you wish to SAVE"));
    frmMarkers w;
    EXPECT_EQ(ui.lastMessage().text, routes::saveFolderPrompt());
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("Select the folder where you wish to SAVE your Marker files.\r\n"
                                                    "Usually the RouteMarker folders of your Source\r\nThen click Proceed"));
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbInformation);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Select Folder containing your Markers"));
    EXPECT_FALSE(w.Command1->isEnabled());
    EXPECT_FALSE(w.Command3->isEnabled());
    EXPECT_TRUE(w.Command5->isHidden());
    EXPECT_EQ(w.Dir1->path(), tree.gamePath());

    const QString save = game(QStringLiteral("Source\\VeltraneSamples\\Sample01"));
    clickFolder(w, save);
    EXPECT_EQ(w.Text3->text(), save);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Now Select your Marker Files"));
    w.Command4_Click();
    EXPECT_TRUE(w.SaveFolderSet);
    EXPECT_EQ(w.Text2->text(), QStringLiteral("*.kml;*.gpx;*.wpt;*.mkr"));
    EXPECT_TRUE(w.Command1->isEnabled() && w.Command3->isEnabled());
    EXPECT_TRUE(tree.exists(QStringLiteral("program/TempFiles")));

    clickFolder(w, markersFolder());
    EXPECT_EQ(w.Text1->text(), markersFolder());
    EXPECT_EQ(w.Text3->text(), save);
    EXPECT_EQ(listRows(w.File1), (QStringList{"ValleyMarkers.mkr", "ValleySignals.wpt", "ValleyStations.kml", "ValleyTrack.gpx"}));
    w.Command1_Click();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("All selected Marker files have been converted"));
    w.Command3_Click();
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("All selected Marker files have been converted to .csv files and are located\r\n"
                                                    "in folder ") + save);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbInformation);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));

    const QString out = rel(QStringLiteral("Source\\VeltraneSamples\\Sample01\\"));
    EXPECT_EQ(tree.readFile(out + "ValleyStations.csv"), kStationsCsv);
    EXPECT_EQ(tree.readFile(out + "ValleyTrack.csv"), kTrackCsv);
    EXPECT_EQ(tree.readFile(out + "ValleySignals.csv"), kSignalsCsv);
    EXPECT_EQ(tree.readFile(out + "ValleyMarkers.csv"), kMarkersCsv);
    EXPECT_FALSE(tree.exists(out + "ValleyTrack.csv.bak"));
}

TEST_F(MarkersTest, RunsAgainKeepNumberedBackups)
{
    auto w = readyToProcess(markersFolder(), markersFolder());
    select(*w, {"ValleyTrack.gpx"});
    const QString csv = rel(QStringLiteral("Source\\VeltraneSamples\\Sample01\\RouteMarkers\\ValleyTrack.csv"));
    tree.writeFile(csv, "old\r\n");
    for (int run = 0; run < 2; ++run) {
        ui.expectMsgBox(vb::vbOK, QStringLiteral("All selected Marker files"));
        w->Command3_Click();
    }
    EXPECT_EQ(tree.readFile(csv), kTrackCsv);
    EXPECT_EQ(tree.readFile(csv + ".bak"), QByteArray("old\r\n"));
    EXPECT_EQ(tree.readFile(csv + ".bak1"), kTrackCsv);
    EXPECT_FALSE(tree.exists(csv + ".bak2"));

    // Every backup name taken: the ".csv" stays, the run ends without the closing message.
    for (int n = 2; n <= 50; ++n)
        tree.writeFile(csv + ".bak" + QByteArray::number(n), "b");
    tree.writeFile(csv, "kept\r\n");
    ui.clearRecords();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("All 51 backup names of"));
    w->Command3_Click();
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("ValleyTrack.csv")));
    EXPECT_EQ(tree.readFile(csv), QByteArray("kept\r\n"));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

// A .csv whose 51 backup names are all taken stops the run with the message before anything is
// written, whether its marker file gives points (a converted .csv) or none (an empty one): the
// save folder stays as it was, the later file's .csv too.
TEST_F(MarkersTest, AllBackupNamesTakenStopTheRunAndWriteNothing)
{
    const struct {
        const char* row;
        QByteArray gpx;
    } rows[] = {
        {"points", "<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>"},
        {"no points", "<gpx><trk><name>No points</name></trk></gpx>"},
    };
    tree.writeFile(QStringLiteral("game/Source/In/b.wpt"), "1,1,5,6\r\n");
    tree.writeFile(QStringLiteral("game/Source/Out/a.csv"), "kept\r\n");
    tree.writeFile(QStringLiteral("game/Source/Out/a.csv.bak"), "b");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(QStringLiteral("game/Source/Out/a.csv.bak") + QString::number(n), "b");
    const QString save = game(QStringLiteral("Source\\Out"));
    for (const auto& row : rows) {
        tree.writeFile(QStringLiteral("game/Source/In/a.gpx"), row.gpx);
        auto w = readyToProcess(save, game(QStringLiteral("Source\\In")));
        select(*w, {"a.gpx", "b.wpt"});
        const auto before = folderSnapshot(tree.path(QStringLiteral("game/Source/Out")));
        ui.clearRecords();
        ui.expectMsgBox(vb::vbOK, QStringLiteral("All 51 backup names of"));
        w->Command3_Click();
        ASSERT_EQ(ui.messages().size(), 1) << row.row;
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("All 51 backup names of ") + save
                                             + QStringLiteral("\\a.csv are in use; delete some of its old backups. "
                                                              "The file has not been changed.")) << row.row;
        EXPECT_EQ(changedFiles(before, folderSnapshot(tree.path(QStringLiteral("game/Source/Out")))), QStringList()) << row.row;
        EXPECT_EQ(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files), QStringList()) << row.row;
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault) << row.row;
    }
}

TEST_F(MarkersTest, RefusedAndBrokenInputEndTheRun)
{
    tree.writeFile(QStringLiteral("game/Source/In/a.gpx"), "<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>");
    tree.writeFile(QStringLiteral("game/Source/In/B.KML"), "<coordinates>\n1,2,0 </coordinates>");
    tree.writeFile(QStringLiteral("game/Source/In/c.kml"), "<kml><Placemark><name>No points</name></Placemark></kml>");
    tree.writeFile(QStringLiteral("game/Source/In/d.wpt"), "1,1,5,6\r\n");
    tree.makeDir(QStringLiteral("game/Source/Out"));
    auto w = readyToProcess(game(QStringLiteral("Source\\Out")), game(QStringLiteral("Source\\In")));
    EXPECT_EQ(listRows(w->File1), (QStringList{"a.gpx", "B.KML", "c.kml", "d.wpt"}));

    // ".KML" is no marker file (exact case): what came before it stays converted.
    select(*w, {"a.gpx", "B.KML", "d.wpt"});
    ui.expectMsgBox(vb::vbOK, QStringLiteral("You have not selected"));
    w->Command3_Click();
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("You have not selected a .kml,.wpt,.mkr or .gpx file?"));
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/a.csv")), QByteArray("2,1\r\n"));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Out/B.csv")));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Out/d.csv")));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    // A ".kml" without coordinates ends the run, naming the file.
    select(*w, {"c.kml", "d.wpt"});
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No coordinates were found in"));
    w->Command3_Click();
    EXPECT_TRUE(ui.lastMessage().text.contains(game(QStringLiteral("Source\\In\\c.kml"))));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Out/c.csv")));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Out/d.csv")));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

TEST_F(MarkersTest, DcsvPrecisionFromTheSampleSource)
{
    shared().MarkerToolMode = 2;
    frmMarkers w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Select Folder containing your DCSV files"));
    EXPECT_EQ(w.Text2->text(), QStringLiteral("*.dcsv"));
    for (QWidget* hidden : {static_cast<QWidget*>(w.Command3), static_cast<QWidget*>(w.Command4),
                            static_cast<QWidget*>(w.Label1), static_cast<QWidget*>(w.Text3)})
        EXPECT_TRUE(hidden->isHidden());
    EXPECT_TRUE(w.Command1->isEnabled() && w.Command5->isEnabled());

    clickFolder(w, wagonFolder());
    EXPECT_EQ(w.Text1->text(), wagonFolder());
    EXPECT_EQ(listRows(w.File1), QStringList{"VS_BoxVanNumbers.dcsv"});
    const QString target = native(wagonFolder()) + "/VS_BoxVanNumbers.dcsv";
    const QByteArray original = tree.readFile(target);
    ASSERT_FALSE(original.isEmpty());
    w.Command1_Click();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Precision of .DCSV files has been improved, a backup has been made."));
    w.Command5_Click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    QByteArray expected = original;
    const char* xs[] = {"0.0234375000", "0.1484375000", "0.2734375000", "0.3984375000", "0.5234375000", "0.6484375000"};
    qsizetype at = 0;
    for (const char* x : xs) {
        for (const QByteArray& tag : {QByteArray("X"), QByteArray("Y")}) {
            const QByteArray zero = "<" + tag + " d:type=\"sFloat32\">0</" + tag + ">";
            at = expected.indexOf(zero, at);
            ASSERT_GE(at, 0);
            const QByteArray value = tag == "X" ? QByteArray(x) : QByteArray("0.8671875000");
            expected.replace(at, zero.size(), "<" + tag + " d:type=\"sFloat32\">" + value + "</" + tag + ">");
        }
    }
    EXPECT_EQ(tree.readFile(target), expected);
    EXPECT_EQ(tree.readFile(target + ".bak"), original);

    // Without its Source ".csv" the file is left alone and the run ends.
    QFile::remove(tree.path(QStringLiteral("game/Source/VeltraneSamples/Sample01/RailVehicles/Freight/BoxVan/Wagon/VS_BoxVanNumbers.csv")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("The original Source .csv for VS_BoxVanNumbers.dcsv could not be found"));
    w.Command5_Click();
    EXPECT_EQ(tree.readFile(target), expected);
    EXPECT_FALSE(tree.exists(target + ".bak1"));
}

TEST_F(MarkersTest, DcsvSourceLineWithoutCommaLeavesTheFile)
{
    tree.writeFile(QStringLiteral("game/Source/VeltraneSamples/Sample01/RailVehicles/Freight/BoxVan/Wagon/VS_BoxVanNumbers.csv"),
                   "0.5,0.5\r\n0.25\r\n");
    shared().MarkerToolMode = 2;
    frmMarkers w;
    clickFolder(w, wagonFolder());
    const QString target = native(wagonFolder()) + "/VS_BoxVanNumbers.dcsv";
    const QByteArray original = tree.readFile(target);
    ASSERT_FALSE(original.isEmpty());
    w.Command1_Click();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("has no comma"));
    w.Command5_Click();
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("VS_BoxVanNumbers.dcsv")));
    EXPECT_EQ(tree.readFile(target), original);
    EXPECT_FALSE(tree.exists(target + ".bak"));
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}

TEST_F(MarkersTest, PackageModesChooseTheStartAndClosingClearsThem)
{
    struct Case {
        bool assets;
        bool scenarios;
        QString start;
    } cases[] = {
        {true, true, game(QStringLiteral("Assets"))},
        {false, true, game(QStringLiteral("Content\\Routes"))},
        {false, false, tree.gamePath()},
    };
    for (const Case& c : cases) {
        shared().MarkerToolMode = 2;
        shared().PackageAssetsMode = c.assets;
        shared().PackageScenariosMode = c.scenarios;
        ui.expectModal([&](QWidget* window) {
            auto* w = static_cast<frmMarkers*>(window);
            EXPECT_EQ(w->Dir1->path(), c.start);
            EXPECT_EQ(w->Text1->text(), c.start);
            w->Command2_Click();
        }, QStringLiteral("Select Folder containing your DCSV files"));
        frmMarkers::showModalWindow();
        EXPECT_FALSE(shared().PackageAssetsMode);
        EXPECT_FALSE(shared().PackageScenariosMode);
    }
    // Without a game the lists show drive c:.
    shared().GamePath.clear();
    frmMarkers w;
    EXPECT_EQ(w.Drive1->drive(), QStringLiteral("c:"));
    EXPECT_EQ(w.Dir1->root(), QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath());
}

// "Proceed" and "Process" without a save folder refuse and write nothing, not even the program's
// TempFiles folder.
TEST_F(MarkersTest, NoSaveFolderIsRefused)
{
    tree.writeFile(QStringLiteral("game/Source/In/a.gpx"), "<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>");
    shared().MarkerToolMode = 1;
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Select the folder where you wish to SAVE"));
    frmMarkers w;
    ASSERT_EQ(w.Text3->text(), QString());
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No folder has been chosen to save your Marker files in."));
    w.Command4_Click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_FALSE(w.SaveFolderSet);
    EXPECT_FALSE(w.Command3->isEnabled());
    EXPECT_EQ(w.Text2->text(), QStringLiteral("*.*"));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles")));

    // A later folder click still chooses the save folder.
    clickFolder(w, game(QStringLiteral("Source")));
    EXPECT_EQ(w.Text3->text(), game(QStringLiteral("Source")));

    ui.expectMsgBox(vb::vbOK, QStringLiteral("No folder has been chosen to save your Marker files in."));
    EXPECT_FALSE(routes::convertMarkerFiles(game(QStringLiteral("Source\\In")), {"a.gpx"}, QString()));
    EXPECT_EQ(ui.messages().size(), 3);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles")));
    EXPECT_EQ(ui.pointerHistory(), QList<int>());
}

// A marker file that gives no points gets an empty .csv in the save folder, behind a backup of
// the .csv it replaces, before the write's message names it; the run goes on with the next
// file and ends with the closing message.
TEST_F(MarkersTest, FilesWithoutPointsGetAnEmptyCsvAndTheRunGoesOn)
{
    const struct {
        const char* name;
        QByteArray text;
    } empty[] = {
        {"b.gpx", "<gpx><trk><name>No points</name></trk></gpx>"},
        {"c.wpt", "header only\r\n"},
        {"d.mkr", QByteArray("\xff\xfe", 2) + QByteArray("n\0o\0n\0e\0", 8)},
        {"e.kml", "<kml><coordinates>\n1,2</coordinates></kml>"},
    };
    tree.writeFile(QStringLiteral("game/Source/In/a.gpx"), "<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>");
    tree.writeFile(QStringLiteral("game/Source/In/f.wpt"), "1,1,5,6\r\n");
    QStringList names{"a.gpx", "f.wpt"};
    for (const auto& row : empty) {
        tree.writeFile(QStringLiteral("game/Source/In/") + QLatin1String(row.name), row.text);
        names << QLatin1String(row.name);
    }
    tree.writeFile(QStringLiteral("game/Source/Out/c.csv"), "kept\r\n");
    tree.writeFile(QStringLiteral("game/Source/Out/c.csv.bak"), "older\r\n");
    const QString save = game(QStringLiteral("Source\\Out"));
    auto w = readyToProcess(save, game(QStringLiteral("Source\\In")));
    select(*w, names);

    // What the save folder holds when each message is shown.
    struct WatchingUi : ScriptedUi {
        std::function<void()> onMessage;
        int msgBox(const QString& prompt, int style, const QString& title) override
        {
            if (onMessage)
                onMessage();
            return ScriptedUi::msgBox(prompt, style, title);
        }
    } watching;
    QList<QStringList> seen;
    const QDir out(tree.path(QStringLiteral("game/Source/Out")));
    watching.onMessage = [&] {
        QStringList files;
        for (const QFileInfo& f : out.entryInfoList(QDir::Files, QDir::Name))
            files << f.fileName() + QLatin1Char(':') + QString::number(f.size());
        seen << files;
    };
    for (size_t i = 0; i < std::size(empty); ++i)
        watching.expectMsgBox(vb::vbOK, QStringLiteral("An error occurred while writing"));
    watching.expectMsgBox(vb::vbOK, QStringLiteral("All selected Marker files have been converted"));
    w->Command3_Click();
    watching.verifyDone();

    ASSERT_EQ(watching.messages().size(), std::size(empty) + 1);
    for (size_t i = 0; i < std::size(empty); ++i) {
        QString csv = QLatin1String(empty[i].name);
        csv.replace(csv.size() - 3, 3, QStringLiteral("csv"));
        EXPECT_EQ(watching.messages()[qsizetype(i)].text, QStringLiteral("An error occurred while writing ") + save + "\\" + csv);
        EXPECT_EQ(watching.messages()[qsizetype(i)].icon(), vb::vbExclamation);
        EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/") + csv), QByteArray()) << empty[i].name;
        EXPECT_TRUE(tree.exists(QStringLiteral("game/Source/Out/") + csv)) << empty[i].name;
    }
    // Each empty .csv is there, and the one it replaced backed up, when its message is shown.
    const QStringList first{"a.csv:5", "b.csv:0", "c.csv:6", "c.csv.bak:7"};
    const QStringList second{"a.csv:5", "b.csv:0", "c.csv:0", "c.csv.bak:7", "c.csv.bak1:6"};
    const QList<QStringList> expected{first, second, second + QStringList{"d.csv:0"},
                                      second + QStringList{"d.csv:0", "e.csv:0"}};
    ASSERT_EQ(seen.size(), std::size(empty) + 1);
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(seen[i], expected[i]) << i;
    EXPECT_EQ(watching.lastMessage().text, routes::markersConvertedMessage(save));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/a.csv")), QByteArray("2,1\r\n"));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/f.csv")), QByteArray("6,5\r\n"));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/c.csv.bak")), QByteArray("older\r\n"));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/Out/c.csv.bak1")), QByteArray("kept\r\n"));
    EXPECT_EQ(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files), QStringList());
    EXPECT_EQ(watching.mousePointer(), vb::vbDefault);
}

// The drive list moves the folder list to another drive, whose marker files can then be
// converted; a drive whose folder is gone is refused and both lists stay where they were.
TEST_F(MarkersTest, DriveListReachesMarkersOnAnotherDrive)
{
    tree.writeFile(QStringLiteral("wine/drive_c/Maps/Trip/t.gpx"), "<gpx><trkseg><trkpt lat=\"3\" lon=\"4\"/></trkseg></gpx>");
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("gone")), tree.path(QStringLiteral("wine/dosdevices/d:"))));
    const QString save = game(QStringLiteral("Source"));
    auto w = readyToProcess(save, save);
    ASSERT_EQ(w->Drive1->drive(), QStringLiteral("e:"));

    const auto choose = [&](const char* drive) {
        w->Drive1->setCurrentIndex(w->Drive1->findText(QLatin1String(drive)));
        emit w->Drive1->driveChosen();
    };
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Error Device unavailable occurred in Drive1_change"));
    choose("d:");
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(w->Drive1->drive(), QStringLiteral("e:"));
    EXPECT_EQ(w->Dir1->path(), save);
    EXPECT_EQ(w->Text1->text(), save);

    const QString driveC = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();
    choose("c:");
    EXPECT_EQ(w->Dir1->root(), driveC);
    EXPECT_EQ(w->Text1->text(), driveC);
    EXPECT_EQ(w->Text3->text(), save);
    const QString trip = driveC + QStringLiteral("\\Maps\\Trip");
    clickFolder(*w, trip);
    EXPECT_EQ(w->Text1->text(), trip);
    EXPECT_EQ(listRows(w->File1), QStringList{"t.gpx"});
    w->Command1_Click();
    ui.expectMsgBox(vb::vbOK, QStringLiteral("All selected Marker files have been converted"));
    w->Command3_Click();
    EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/t.csv")), QByteArray("4,3\r\n"));
}
