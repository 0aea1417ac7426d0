// The reskin packager window on a copy of the sample game: where its folder trees open, the
// reskin of the sample coach packaged through the batch interpreter and handed to the zip
// manager, and the refusal when nothing is chosen.

#include "packaging/frmFolder4.h"

#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/SharedState.h"
#include "packaging/frmNewZip.h"

#include "platform/TextCodec.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/FolderContents.h"
#include "support/GameFixture.h"
#include "support/GameOnDrive.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString kCaption = QStringLiteral("Select Folder containing your Assets");
const QString kVehicles = QStringLiteral("Assets\\VeltraneSamples\\Sample01\\RailVehicles\\Passenger\\");

} // namespace

class ReskinWindow : public SampleGameFixture {
protected:
    void SetUp() override
    {
        SampleGameFixture::SetUp();
        if (HasFatalFailure())
            return;
        tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "MZ sample installer");
        shared().PackageAssetsMode = true;
    }
    QString game(const QString& rest) const { return tree.gamePath() + QLatin1Char('\\') + rest; }
};

TEST_F(ReskinWindow, FolderTreesOpenByMode)
{
    struct Row {
        const char* what;
        bool assets;
        bool scenarios;
        QString dir1;
        QString dir2;
    };
    const Row rows[] = {
        {"assets", true, false, game(QStringLiteral("Assets")), game(QStringLiteral("Assets"))},
        {"scenarios", true, true, game(QStringLiteral("Content\\Routes")), game(QStringLiteral("Assets"))},
        {"no mode", false, false, tree.gamePath(), tree.gamePath()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        shared().PackageAssetsMode = row.assets;
        shared().PackageScenariosMode = row.scenarios;
        ui.expectModal(
            [&](QWidget* window) {
                auto* w = qobject_cast<frmFolder4*>(window);
                ASSERT_NE(w, nullptr);
                EXPECT_EQ(w->Dir1->path().compare(row.dir1, Qt::CaseInsensitive), 0) << w->Dir1->path().toStdString();
                EXPECT_EQ(w->Dir2->path().compare(row.dir2, Qt::CaseInsensitive), 0) << w->Dir2->path().toStdString();
                EXPECT_TRUE(w->Text1->text().isEmpty());
                EXPECT_TRUE(w->Text2->text().isEmpty());
                w->Command2->click();
            },
            kCaption);
        frmFolder4::showModalWindow(nullptr);
        // Closing clears both package modes.
        EXPECT_FALSE(shared().PackageAssetsMode);
        EXPECT_FALSE(shared().PackageScenariosMode);
    }
}

TEST_F(ReskinWindow, ProcessPackagesTheSampleReskin)
{
    const QString reskin = game(kVehicles + QStringLiteral("Mk1Maroon"));
    const QString source = game(kVehicles + QStringLiteral("Mk1"));
    // A file the source coach lacks.
    tree.writeFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1Maroon/Coach/Textures/Crest.TgPcDx"),
                   "crest");
    QStringList zipped;
    ui.expectModal(
        [&](QWidget* window) {
            auto* w = qobject_cast<frmFolder4*>(window);
            ASSERT_NE(w, nullptr);
            w->Dir1->setPath(reskin);
            w->Dir1_Click();
            w->Dir2->setPath(source);
            w->Dir2_Click();
            EXPECT_EQ(w->Text1->text(), reskin);
            EXPECT_EQ(w->Text2->text(), source);
            ui.expectMsgBox(vb::vbYes, QStringLiteral("Your Reskins are now saved in ") + tree.programPath()
                                           + QStringLiteral("\\Mk1Maroon\r\nDo you wish them"));
            ui.expectModal(
                [&](QWidget* zipWindow) {
                    auto* z = qobject_cast<frmNewZip*>(zipWindow);
                    ASSERT_NE(z, nullptr);
                    for (const QString& row : z->gridRows())
                        zipped << row.section(QLatin1Char('\t'), 1, 1);
                    z->close();
                },
                QStringLiteral("DuRazo"));
            w->Command5->click();
            w->Command2->click();
        },
        kCaption);
    frmFolder4::showModalWindow(nullptr);

    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Mk1Maroon"));
    const QString package = tree.path(QStringLiteral("program/Mk1Maroon"));
    const QString coach = QStringLiteral("Rail Simulator/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1Maroon/Coach/");
    // The changed texture and the new file are in the package; the identical number list is an
    // install line; the batch file that filled the package is gone.
    EXPECT_EQ(filesBelow(package), (QStringList{QStringLiteral("AssetSetup.exe"),
                                                coach + QStringLiteral("Textures/Crest.TgPcDx"),
                                                coach + QStringLiteral("Textures/VS_Mk1Coach_Body.TgPcDx"),
                                                QStringLiteral("Rail Simulator/RS-Install.bat")}));
    const QString reskinned = QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1Maroon/Coach/");
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Mk1Maroon/") + coach + QStringLiteral("Textures/VS_Mk1Coach_Body.TgPcDx")),
              tree.readFile(reskinned + QStringLiteral("Textures/VS_Mk1Coach_Body.TgPcDx")));
    EXPECT_NE(tree.readFile(reskinned + QStringLiteral("Textures/VS_Mk1Coach_Body.TgPcDx")),
              tree.readFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1/Coach/Textures/VS_Mk1Coach_Body.TgPcDx")));
    EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Mk1Maroon/Rail Simulator/RS-Install.bat"))),
              QStringLiteral("copy \"") + kVehicles + QStringLiteral("Mk1\\Coach\\VS_Mk1CoachNumbers.dcsv\" \"") + kVehicles
                  + QStringLiteral("Mk1Maroon\\Coach\\VS_Mk1CoachNumbers.dcsv\"\r\n\r\n"));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Mk1Maroon/AssetSetup.exe")), "MZ sample installer");
    // The zip manager got the package.
    EXPECT_TRUE(std::any_of(zipped.begin(), zipped.end(),
                            [](const QString& name) { return name.endsWith(QStringLiteral("VS_Mk1Coach_Body.TgPcDx")); }))
        << zipped.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/Mk1Maroon.zip"))).isFile());
    EXPECT_FALSE(shared().PackageAssetsMode);
}

// Process with the game on drive c:, its folder in either form, and both folders clicked as the
// window opened or after the drive list moved away and back: the same package every time.
TEST_F(ReskinWindow, ProcessWhicheverWayTheListsReachedTheFolders)
{
    ASSERT_TRUE(placeGameOnDriveC(tree));
    const QString package = tree.path(QStringLiteral("program/Mk1Maroon"));
    const QString coach = QStringLiteral("Rail Simulator/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1Maroon/Coach/");
    for (const DriveRoad& road : kDriveRoads) {
        SCOPED_TRACE(road.what);
        const QString game = gameOnDriveC(tree, road);
        shared().GamePath = game;
        shared().PackageFolder.clear();
        shared().PackageAssetsMode = true;
        frmFolder4 w;
        EXPECT_EQ(w.Drive1->drive(), QStringLiteral("c:"));
        moveDriveIfTheRoadSays(*w.Drive1, road);
        clickGameFolder(*w.Dir1, game, road, kVehicles + QStringLiteral("Mk1Maroon"));
        clickGameFolder(*w.Dir2, game, road, kVehicles + QStringLiteral("Mk1"));
        ui.expectMsgBox(vb::vbNo, QStringLiteral("Your Reskins are now saved in ") + tree.programPath()
                                      + QStringLiteral("\\Mk1Maroon\r\nDo you wish them"));
        w.Command5_Click();
        ui.verifyDone();
        EXPECT_EQ(filesBelow(package), (QStringList{QStringLiteral("AssetSetup.exe"),
                                                    coach + QStringLiteral("Textures/VS_Mk1Coach_Body.TgPcDx"),
                                                    QStringLiteral("Rail Simulator/RS-Install.bat")}));
        EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Mk1Maroon/Rail Simulator/RS-Install.bat"))),
                  QStringLiteral("copy \"") + kVehicles + QStringLiteral("Mk1\\Coach\\VS_Mk1CoachNumbers.dcsv\" \"") + kVehicles
                      + QStringLiteral("Mk1Maroon\\Coach\\VS_Mk1CoachNumbers.dcsv\"\r\n\r\n"));
        ASSERT_TRUE(QDir(package).removeRecursively());
    }
}

TEST_F(ReskinWindow, NothingChosenGivesOnlyTheFirstMessage)
{
    ui.expectModal(
        [&](QWidget* window) {
            auto* w = qobject_cast<frmFolder4*>(window);
            ASSERT_NE(w, nullptr);
            ui.expectMsgBox(vb::vbOK, QStringLiteral("You do not appear to have selected the folder of your ReSkinned object."));
            w->Command5->click();
            w->Command2->click();
        },
        kCaption);
    frmFolder4::showModalWindow(nullptr);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_TRUE(shared().PackageFolder.isEmpty());
    EXPECT_EQ(QDir(tree.programPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("System32"), QStringLiteral("TempFiles")}));
}

// The drive list opens at the game's drive and moves both folder trees, their paths shown in the
// boxes; a drive whose folder is gone gives the handler's message and leaves all as it was.
TEST_F(ReskinWindow, DriveListMovesBothFolderTrees)
{
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("gone")), tree.path(QStringLiteral("wine/dosdevices/d:"))));
    tree.makeDir(QStringLiteral("wine/drive_c/Work"));
    frmFolder4 w;
    EXPECT_EQ(w.Drive1->drive(), QStringLiteral("e:")); // the game's own drive
    EXPECT_EQ(w.Dir1->path().compare(game(QStringLiteral("Assets")), Qt::CaseInsensitive), 0);

    for (const TestDrive& row : testDrives(tree)) {
        SCOPED_TRACE(row.drive);
        const QString drive = w.Drive1->drive();
        const QString dir1 = w.Dir1->path();
        const QString dir2 = w.Dir2->path();
        w.Drive1->setCurrentIndex(w.Drive1->findText(QLatin1String(row.drive)));
        if (row.root.isEmpty())
            ui.expectMsgBox(vb::vbOK, QStringLiteral("Error Device unavailable occurred in Drive1_change"));
        w.Drive1_Change();
        ui.verifyDone();
        if (row.root.isEmpty()) {
            EXPECT_EQ(w.Drive1->drive(), drive);
            EXPECT_EQ(w.Dir1->path(), dir1);
            EXPECT_EQ(w.Dir2->path(), dir2);
        } else {
            EXPECT_EQ(w.Dir1->root(), row.root);
            EXPECT_EQ(w.Dir2->root(), row.root);
            EXPECT_EQ(w.Text1->text(), w.Dir1->path());
            EXPECT_EQ(w.Text2->text(), w.Dir2->path());
        }
    }
}
