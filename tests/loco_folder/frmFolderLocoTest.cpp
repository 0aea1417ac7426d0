// The new loco window on a copy of the sample game: its opening from the main window, the
// refusals, the copy and rename, a second copy that leaves files to the report, and failures.

#include "assets/LocoFolder.h"
#include "assets/frmFolderLoco.h"
#include "common/AnsiText.h"
#include "common/FolderTreeWidget.h"
#include "common/SharedState.h"
#include "common/frmReport.h"
#include "hub/frmEditor.h"
#include "platform/TextCodec.h"

#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WidgetRows.h"
#include "support/FolderContents.h"
#include "support/GameFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Deletes the windows the test left open.
void closeAll()
{
    for (QWidget* w : {static_cast<QWidget*>(frmFolderLoco::existing()), static_cast<QWidget*>(frmReport::existing())}) {
        if (w)
            w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class LocoWindowTest : public SampleGameFixture {
protected:
    LocoWindowTest() : SampleGameFixture({.programData = true}) {}
    void TearDown() override
    {
        closeAll();
        SampleGameFixture::TearDown();
    }

    QString game(const QString& rest) const { return tree.gamePath() + QLatin1Char('\\') + rest; }
    static QString native(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }
    // The developer's own Diesel folder of the sample game.
    QString diesel() const { return game(QStringLiteral("Source\\VeltraneWorks\\Branchline\\RailVehicles\\Diesel")); }

    frmFolderLoco& open()
    {
        frmFolderLoco& w = frmFolderLoco::showWindow();
        return w;
    }
    static void choose(frmFolderLoco& w, const QString& folder)
    {
        w.Dir1->setPath(folder);
        ASSERT_EQ(w.Dir1->path().compare(folder, Qt::CaseInsensitive), 0) << folder.toStdString();
        emit w.Dir1->folderChosen();
    }
};

TEST_F(LocoWindowTest, LocoFoldersMenuAsksFirst)
{
    frmEditor editor;
    ui.expectMsgBox(vb::vbNo, QStringLiteral("This option assumes"));
    editor.mnuLoco->trigger();
    EXPECT_EQ(frmFolderLoco::existing(), nullptr);
    const ScriptedUi::Message asked = ui.lastMessage();
    EXPECT_EQ(asked.text, QStringLiteral("This option assumes that you have set up your Developer and Addon folders\r\n"
                                         "Please confirm"));
    EXPECT_EQ(asked.style, vb::vbYesNo + vb::vbExclamation);
    EXPECT_EQ(asked.title, Ui::programTitle());

    ui.expectMsgBox(vb::vbYes, QStringLiteral("This option assumes"));
    editor.mnuLoco->trigger();
    frmFolderLoco* w = frmFolderLoco::existing();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Select your Diesel, Electric or Steam Folder"));
    EXPECT_EQ(w->Label1->text(), QStringLiteral("Loco Name must be same as .IGS file"));
    EXPECT_EQ(w->Command1->text(), QStringLiteral("Copy Files"));
    EXPECT_EQ(w->Command2->text(), QStringLiteral("Exit"));
    EXPECT_EQ(w->Text1->text(), game(QStringLiteral("Source")));
    EXPECT_FALSE(w->Text1->isReadOnly());
    EXPECT_EQ(listRows(w->File1), QStringList{"loading_Valley.dds"});

    // A second Yes shows the same window; "Exit" unloads it.
    ui.expectMsgBox(vb::vbYes);
    editor.mnuLoco->trigger();
    EXPECT_EQ(frmFolderLoco::existing(), w);
    w->Command2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmFolderLoco::existing(), nullptr);

    // Without its "Source" the game folder opens at the nearest folder there is.
    QDir(tree.path(QStringLiteral("game/Source"))).removeRecursively();
    EXPECT_EQ(open().Text1->text(), tree.gamePath());
}

TEST_F(LocoWindowTest, CopyAndRenameIntoANewFolder)
{
    frmFolderLoco& w = open();
    choose(w, diesel());
    EXPECT_EQ(w.Text1->text().compare(diesel(), Qt::CaseInsensitive), 0);
    w.Text2->setText(QStringLiteral("Dart"));
    w.Command1->click();

    const QString dart = tree.path(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel/Dart"));
    EXPECT_EQ(filesBelow(dart), (QStringList{"Dart.igs", "DartCab_Dart.txt", "SampleParts/Dart_bogie.txt",
                                             "Textures/Dart_body.txt"}));
    EXPECT_EQ(QFile(dart + "/Dart.igs").size(), QFile(native(game(QStringLiteral(
                  "Source\\Developer\\Addon\\RailVehicles\\Diesel\\EngineSample\\Default\\Sample.igs")))).size());
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Tempfiles/do_copy.bat")),
              platform::encodeAnsi(assets::locoCopyBatchLine(
                  game(QStringLiteral("Source\\Developer\\Addon\\RailVehicles\\Diesel\\EngineSample\\Default")),
                  diesel() + QStringLiteral("\\Dart"))));
    EXPECT_EQ(w.LocoName, QStringLiteral("Dart"));
    EXPECT_EQ(w.Text1->text().compare(diesel() + QStringLiteral("\\Dart"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(listRows(w.File1), (QStringList{"Dart.igs", "DartCab_Dart.txt"}));
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(frmReport::existing(), nullptr);
    EXPECT_TRUE(ui.messages().isEmpty());

    // A type folder named in another case is taken; the sample path uses the name as typed.
    tree.makeDir(QStringLiteral("game/Source/Mine/STEAM"));
    w.Text1->setText(game(QStringLiteral("Source\\Mine\\STEAM")));
    w.Text2->setText(QStringLiteral("Flyer"));
    w.Command1_Click();
    EXPECT_EQ(filesBelow(tree.path(QStringLiteral("game/Source/Mine/STEAM/Flyer"))),
              (QStringList{"Flyer.igs", "FlyerCab_Flyer.txt", "Textures/Flyer_body.txt"}));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(LocoWindowTest, SecondCopyListsTheFilesItCouldNotRename)
{
    frmFolderLoco& w = open();
    choose(w, diesel());
    w.Text2->setText(QStringLiteral("Dart"));
    w.Command1_Click();
    ASSERT_EQ(frmReport::existing(), nullptr);
    // The window shows the new folder now: back to the type folder, the same name again.
    EXPECT_EQ(assets::locoTypeOf(w.Text1->text()), QStringLiteral("Dart"));
    choose(w, diesel());
    w.Command1_Click(); // every target is taken now

    const QString dart = tree.path(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel/Dart"));
    EXPECT_EQ(filesBelow(dart),
              (QStringList{"Dart.igs", "DartCab_Dart.txt", "Sample.igs", "SampleCab_sample.txt",
                           "SampleParts/Dart_bogie.txt", "SampleParts/Sample_bogie.txt", "Textures/Dart_body.txt",
                           "Textures/sample_body.txt"}));
    frmReport* report = frmReport::existing();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->windowTitle(), assets::sampleRenameReportCaption());
    const QString shown = w.LocoFolder;
    EXPECT_EQ(listRows(report->List1),
              (QStringList{shown + "\\Textures\\sample_body.txt was not renamed: Dart_body.txt is there already",
                           shown + "\\SampleParts\\Sample_bogie.txt was not renamed: Dart_bogie.txt is there already",
                           shown + "\\Sample.igs was not renamed: Dart.igs is there already",
                           shown + "\\SampleCab_sample.txt was not renamed: DartCab_Dart.txt is there already"}));
    // The program goes on: the window is still there and takes the next command.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(LocoWindowTest, RefusalsCreateNothing)
{
    frmFolderLoco& w = open();
    const QString devFolder = tree.path(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel"));
    const QStringList before = QDir(devFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    struct Case {
        QString folder;
        QString name;
        QString message;
    } cases[] = {
        {game("Source"), "Dart", assets::notLocoTypeMessage()},
        {diesel() + "\\", "Dart", assets::notLocoTypeMessage()},
        {game("Source\\VeltraneWorks\\Branchline\\RailVehicles"), "Dart", assets::notLocoTypeMessage()},
        {diesel(), "", QStringLiteral("Please enter the Loco Name.")},
        {diesel(), "   ", QStringLiteral("Please enter the Loco Name.")},
        {diesel(), ".", assets::badLocoNameMessage(".")},
        {diesel(), "..", assets::badLocoNameMessage("..")},
        {diesel(), "a\\b", assets::badLocoNameMessage("a\\b")},
        {diesel(), "why?", assets::badLocoNameMessage("why?")},
        {diesel(), "a|b", assets::badLocoNameMessage("a|b")},
    };
    for (const Case& c : cases) {
        ui.expectMsgBox(vb::vbOK);
        w.Text1->setText(c.folder);
        w.Text2->setText(c.name);
        w.Command1_Click();
        EXPECT_EQ(ui.lastMessage().text, c.message) << c.folder.toStdString() << " | " << c.name.toStdString();
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    }
    EXPECT_EQ(ui.messages().first().text,
              QStringLiteral("You do not appear to have chosen a Diesel, Steam or Electric folder?"));
    EXPECT_EQ(QDir(devFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Tempfiles/do_copy.bat")));

    // A missing sample folder is told before anything is made.
    QDir(tree.path(QStringLiteral("game/Source/Developer/Addon/RailVehicles/Electric"))).removeRecursively();
    tree.makeDir(QStringLiteral("game/Source/Mine/Electric"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("was not found"));
    w.Text1->setText(game(QStringLiteral("Source\\Mine\\Electric")));
    w.Text2->setText(QStringLiteral("Volt"));
    w.Command1_Click();
    EXPECT_EQ(ui.lastMessage().text,
              assets::missingSampleFolderMessage(game("Source\\Developer\\Addon\\RailVehicles\\Electric\\EngineSample\\Default")));
    EXPECT_FALSE(tree.exists(QStringLiteral("game/Source/Mine/Electric/Volt")));

    // A type folder that is not there: the loco folder cannot be made.
    ui.expectMsgBox(vb::vbOK, QStringLiteral("could not be made"));
    w.Text1->setText(game(QStringLiteral("Source\\Nowhere\\Diesel")));
    w.Command1_Click();
    EXPECT_EQ(ui.lastMessage().text, assets::locoFolderNotMadeMessage(game("Source\\Nowhere\\Diesel\\Volt")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Tempfiles/do_copy.bat")));
}

TEST_F(LocoWindowTest, AGameBelowAFolderTheCodePageLacksIsToldAndNothingIsMade)
{
    // The copy's batch line cannot name the sample folder: the user learns why, and no loco
    // folder is left behind.
    const QString moved = tree.moveGameInto(unwritableName());
    shared().GamePath = moved;
    frmFolderLoco& w = open();
    const QString type = moved + QStringLiteral("\\Source\\VeltraneWorks\\Branchline\\RailVehicles\\Diesel");
    w.Text1->setText(type);
    w.Text2->setText(QStringLiteral("Dart"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("cannot be written in the system's code page"));
    w.Command1_Click();
    EXPECT_EQ(ui.lastMessage().text,
              UnwritablePathMessage(assets::locoSampleFolder(moved, QStringLiteral("Diesel")))
                  + QStringLiteral("\r\nNothing has been copied."));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_FALSE(QFileInfo::exists(native(type) + QStringLiteral("/Dart")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Tempfiles/do_copy.bat")));
    EXPECT_EQ(w.LocoFolder, QString());
}

TEST_F(LocoWindowTest, FailedCopyIsToldAndNothingRenamed)
{
    frmFolderLoco& w = open();
    const ScopedEnv cmd("VELTRANE_CMD", QByteArray("/bin/false"));
    w.Text1->setText(diesel());
    w.Text2->setText(QStringLiteral("Dart"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("failed (exit status 1)"));
    w.Command1_Click();
    EXPECT_EQ(ui.lastMessage().text, assets::locoCopyFailedMessage(diesel() + "\\Dart", 1, 1));
    EXPECT_EQ(w.LocoFolder, QString());
    EXPECT_EQ(frmReport::existing(), nullptr);
    EXPECT_TRUE(tree.exists(QStringLiteral("program/Tempfiles/do_copy.bat")));
}
