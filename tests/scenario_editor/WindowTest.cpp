// The scenario editor window opened from the browser on the sample game: its boxes, lists,
// layout, season list, weather lists, scenario type switch and its way out.
#include "EditorFixture.h"

#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "support/WidgetRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <unistd.h>

using namespace editortest;
using namespace scenarios;

namespace {

void selectRow(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << qPrintable(text);
    found.first()->setSelected(true);
}

class EditorWindow : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        frmZelvorn::registerLauncher();
    }
    void TearDown() override
    {
        frmZelvorn::unloadEditor();
        frmShowRoutes::unloadBrowser();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmShowRoutes::setScenarioEditorLauncher(nullptr);
        EditorFixture::TearDown();
    }

    // Opens a valley line scenario through the browser's "Edit Selected Scenario".
    frmZelvorn* openFromBrowser(int scenarioRow = 0)
    {
        frmShowRoutes* browser = frmShowRoutes::showBrowser();
        browser->List1->item(0)->setSelected(true);
        browser->List3->item(scenarioRow)->setSelected(true);
        browser->Command10->click();
        return frmZelvorn::loaded();
    }
};

} // namespace

TEST_F(EditorWindow, OpensFromTheBrowserWithTheScenarioShown)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(w->windowTitle(), "Scenario Editor  Version 4.1.52   Rail Simulator path in use is - " + tree.gamePath());

    const QStringList boxes{"Morning Freight",
                            "Take the morning freight from Veltrane Central to Eastfield Yard.",
                            "Couple to your train in platform 1 and depart on time.",
                            "0700", "45", "15", "6", "2008", "SEASON_SUMMER", "VeltraneSamples", "Sample01",
                            "Weather\\SummerSun.xml"};
    for (int i = 0; i < PropertyBoxCount; ++i) {
        EXPECT_EQ(w->Text1[i]->text(), boxes[i]) << i;
        EXPECT_EQ(w->Label1[i]->text(), propertyBoxCaptions()[i]);
    }
    EXPECT_EQ(w->Label1[3]->text(), "Start Time (24 hour)");
    EXPECT_EQ(w->Text1[3]->toolTip(), "Change the Start Time of the main Consist.");
    EXPECT_EQ(w->Text1[8]->toolTip(), "Select the Season to use.");
    EXPECT_TRUE(w->Option2[0]->isChecked());
    EXPECT_FALSE(w->Check1->isChecked());
    EXPECT_TRUE(w->Command1->isEnabled());
    EXPECT_TRUE(w->Command12->isEnabled());
    EXPECT_FALSE(w->Combo1->isVisible());

    EXPECT_EQ(listRows(w->List1), (QStringList{"6E21 Veltrane Central to Eastfield Yard",
                                           "4V02 Eastfield Yard to Veltrane Central", "Loose Consist"}));
    EXPECT_EQ(w->Label3->text(), "6E21 Veltrane Central to Eastfield Yard");
    EXPECT_EQ(w->editor().ConsistCount(), 3);
    EXPECT_EQ(listRows(w->List4), (QStringList{"Veltrane Central Platform 1", "Eastfield Yard", "Quarry Siding"}));

    // The weather lists open on the scenario's weather folder; the stock list on the game's
    // folder as far as "Assets\Kuju" exists; both on the game's drive.
    for (const DriveListWidget* drive : {w->Drive1, w->Drive2})
        EXPECT_EQ(drive->drive(), "e:");
    for (const FolderTreeWidget* folders : {w->Dir1, w->Dir2}) {
        EXPECT_EQ(folders->root(), QFileInfo(tree.gamePath()).canonicalFilePath());
        EXPECT_EQ(folders->topLevelItem(0)->text(0), "e:");
    }
    EXPECT_EQ(w->Dir1->path(), tree.gamePath() + "\\Assets\\VeltraneSamples\\Sample01\\Weather");
    EXPECT_EQ(listRows(w->File1), QStringList{"SummerSun.bin"});
    EXPECT_EQ(w->Dir2->path(), tree.gamePath() + "\\Assets");

    // One window: opening again replaces it.
    frmShowRoutes::loaded()->List3->item(1)->setSelected(true);
    frmShowRoutes::loaded()->Command10->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmZelvorn* second = frmZelvorn::loaded();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Text1[0]->text(), "Evening Shuttle");
    EXPECT_EQ(second->Text1[3]->text(), "1800");
}

TEST_F(EditorWindow, CaptionsOfTheControls)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Frame5->title(), "Current Scenario");
    EXPECT_EQ(w->Frame1->title(), "Select Weather Here if Required.");
    EXPECT_EQ(w->Frame2->title(), "Consists");
    EXPECT_EQ(w->Frame3->title(), "Selected Consist");
    EXPECT_EQ(w->Frame4->title(), "Available Stock.");
    EXPECT_EQ(w->Frame6->title(), "Available Markers");
    EXPECT_EQ(w->Check1->text(), "Change for all consists");
    EXPECT_EQ(w->Check1->toolTip(),
              "Select if you want Start Time of all trains in the scenario to be altered by the same amount.");
    EXPECT_EQ(w->Option2[0]->text(), "Standard Scenario");
    EXPECT_EQ(w->Option2[1]->text(), "Timetable Scenario");
    EXPECT_EQ(w->Command1->text(), "Save Changes");
    EXPECT_EQ(w->Command1->toolTip(), "Save all changes made.");
    EXPECT_EQ(w->Command12->text(), "Clone Scenario with new Name");
    EXPECT_EQ(w->Command2->text(), "Exit");
    EXPECT_EQ(w->Command5->text(), "Run Rail Simulator");
    EXPECT_EQ(w->Command5->toolTip(), "Run Rail Simulator");
    EXPECT_EQ(w->Command8->text(), "Run Rail Sim Editor");
    EXPECT_EQ(w->Command14->text(), "Run Rail Sim Editor (with log)");
    EXPECT_EQ(w->Command3->text(), "Set Weather");
    EXPECT_EQ(w->Command3->toolTip(), "Select weather from above and click here to confirm.");
    EXPECT_EQ(w->Label2->text(), "Current Driven Consist:-");
    EXPECT_EQ(w->Label3->toolTip(), "Displays the Consist which currently has the Driver.");
    EXPECT_EQ(w->Combo1->count(), 4);
    EXPECT_EQ(w->Combo1->itemText(0), "SEASON_SPRING");
    EXPECT_EQ(w->Combo1->itemText(3), "SEASON_WINTER");
    ASSERT_EQ(w->menuBar()->actions().size(), 1);
    EXPECT_EQ(w->menuBar()->actions()[0]->text(), "Help");
}

TEST_F(EditorWindow, ResizeLaysTheFramesOutSideBySide)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    // Wide enough, the frames take their parts; narrower, a frame whose part is less than its
    // captions need keeps what it needs and the window scrolls rather than cut a caption.
    struct Row {
        int width;
        bool byParts;
    };
    for (const Row row : {Row{2200, true}, Row{1780, false}, Row{1150, false}}) {
        const int width = row.width;
        w->resize(width, 760);
        QCoreApplication::processEvents();
        const QWidget* client = w->Frame5->parentWidget();
        EXPECT_EQ(w->Frame5->width(), 340);
        EXPECT_EQ(w->Frame5->x(), 7); // 100 twips
        QGroupBox* const frames[6] = {w->Frame5, w->Frame1, w->Frame2, w->Frame3, w->Frame4, w->Frame6};
        for (int i = 1; i < 6; ++i) {
            EXPECT_EQ(frames[i]->x(), frames[i - 1]->geometry().right() + 1 + 3) << width << " " << i; // 50 twips
            EXPECT_TRUE(frames[i]->isVisible());
            const int titleNeed = frames[i]->fontMetrics().horizontalAdvance(frames[i]->title());
            EXPECT_GE(frames[i]->width(), titleNeed) << width << " " << i;
        }
        if (row.byParts) {
            // 0.18 : 0.18 : 0.27 : 0.27 : 0.27, with the last frame inside the window.
            EXPECT_NEAR(w->Frame1->width() * 1.5, w->Frame3->width(), 2.0);
            EXPECT_EQ(w->Frame1->width(), w->Frame2->width());
            EXPECT_EQ(w->Frame3->width(), w->Frame4->width());
            EXPECT_EQ(w->Frame4->width(), w->Frame6->width());
            EXPECT_GE(w->Frame6->geometry().right(), client->width() - 12);
        }
        EXPECT_LE(w->Frame6->geometry().right(), client->width());
        // The consist commands show their captions in full.
        for (const QPushButton* b : {w->Command15[0], w->Command15[1], w->Command7})
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << width << " " << b->text().toStdString();
        // The lists follow their frames.
        EXPECT_EQ(w->List1->width(), w->Frame2->width() - 18); // 275 twips
        EXPECT_EQ(w->Label3->width(), w->List1->width());
        EXPECT_EQ(w->List3->width(), w->Frame4->width() - 27); // 400 twips
        EXPECT_TRUE(w->List4->isVisible());
        EXPECT_GT(w->List4->height(), 200);
        EXPECT_EQ(w->List1->y(), w->List2->y());
    }
}

TEST_F(EditorWindow, SeasonListWritesTheChosenSeason)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->Text1_GotFocus(8);
    EXPECT_TRUE(w->Combo1->isVisible());
    EXPECT_EQ(w->Combo1->currentText(), "SEASON_SUMMER");
    EXPECT_EQ(w->Combo1->geometry(), w->Text1[8]->geometry());
    w->Combo1->setCurrentIndex(3);
    w->Combo1_Change();
    EXPECT_EQ(w->Text1[8]->text(), "SEASON_WINTER");
    EXPECT_FALSE(w->Combo1->isVisible());

    // Leaving the list without a choice keeps an unlisted season as it was.
    w->Text1[8]->setText("SEASON_MONSOON");
    w->Text1_GotFocus(8);
    EXPECT_EQ(w->Combo1->currentIndex(), -1);
    w->Combo1_LostFocus();
    EXPECT_EQ(w->Text1[8]->text(), "SEASON_MONSOON");
    EXPECT_FALSE(w->Combo1->isVisible());

    w->Text1_GotFocus(8);
    w->Combo1->setCurrentIndex(0);
    w->Combo1_LostFocus();
    EXPECT_EQ(w->Text1[8]->text(), "SEASON_SPRING");
}

TEST_F(EditorWindow, SetWeatherTakesTheChosenFile)
{
    const QString storms = tree.gamePath() + "/Assets/OtherMaker/Pack2/Weather/Storms";
    ASSERT_TRUE(QDir().mkpath(storms));
    ASSERT_TRUE(QFile(storms + "/Thunder.bin").open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(storms + "/readme.txt").open(QIODevice::WriteOnly));
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);

    // Nothing chosen: the boxes stay.
    w->Command3_Click();
    EXPECT_EQ(w->Text1[9]->text(), "VeltraneSamples");
    EXPECT_EQ(w->Text1[11]->text(), "Weather\\SummerSun.xml");

    // Choosing a folder lists its ".bin" files.
    w->Dir1->setPath(tree.gamePath() + "\\assets\\othermaker\\pack2\\weather\\storms");
    w->Dir1_Click();
    EXPECT_EQ(w->Dir1->path(), tree.gamePath() + "\\Assets\\OtherMaker\\Pack2\\Weather\\Storms");
    EXPECT_EQ(listRows(w->File1), QStringList{"Thunder.bin"});
    selectRow(w->File1, "Thunder.bin");
    w->Command3->click();
    EXPECT_EQ(w->Text1[9]->text(), "OtherMaker");
    EXPECT_EQ(w->Text1[10]->text(), "Pack2");
    EXPECT_EQ(w->Text1[11]->text(), "Weather\\Storms\\Thunder.xml");
    // Only the boxes change: the block is written at saving.
    EXPECT_TRUE(shared().ScenarioProperties.contains("Weather\\SummerSun.xml"));

    // A folder above the product folder names no blueprint.
    w->Dir1->setPath(tree.gamePath() + "\\Assets\\OtherMaker");
    w->Dir1_Click();
    EXPECT_EQ(w->File1->count(), 0);
    w->Command3_Click();
    EXPECT_EQ(w->Text1[9]->text(), "OtherMaker");
}

// Choosing a drive roots the weather (or stock) folder list at it; a drive whose folder is gone
// is refused with a message and both lists stay where they were.
TEST_F(EditorWindow, DriveListsRootTheirFolderListsAtTheChosenDrive)
{
    ASSERT_EQ(::symlink(QFile::encodeName(tree.path("gone")).constData(),
                        QFile::encodeName(tree.path("wine/dosdevices/d:")).constData()),
              0);
    tree.writeFile("wine/drive_c/Storm.bin", "x");
    const QString driveC = QFileInfo(tree.path("wine/drive_c")).canonicalFilePath();
    const QString driveE = QFileInfo(tree.gamePath()).canonicalFilePath();
    useSampleScenario();
    frmZelvorn* w = frmZelvorn::showEditor();
    ASSERT_NE(w, nullptr);

    const struct {
        DriveListWidget* drive;
        FolderTreeWidget* folders;
        const char* handler;
        const char* opened; // the folder the list opened on, below the game folder
        bool files;         // File1 follows the list
    } lists[] = {
        {w->Drive1, w->Dir1, "Drive1_change", "\\Assets\\VeltraneSamples\\Sample01\\Weather", true},
        {w->Drive2, w->Dir2, "Drive2_change", "\\Assets", false},
    };
    for (const auto& row : lists) {
        EXPECT_EQ(row.drive->drive(), "e:") << row.handler;
        EXPECT_EQ(row.folders->path(), tree.gamePath() + row.opened) << row.handler;
        auto choose = [&row](const char* name) {
            const int index = row.drive->findText(QString::fromLatin1(name));
            ASSERT_GE(index, 0) << name;
            row.drive->setCurrentIndex(index);
            emit row.drive->activated(index);
        };

        choose("c:");
        EXPECT_EQ(row.folders->root(), driveC) << row.handler;
        EXPECT_EQ(row.folders->topLevelItem(0)->text(0), "c:");
        EXPECT_EQ(row.folders->path(), driveC);
        if (row.files) {
            EXPECT_EQ(listRows(w->File1), QStringList{"Storm.bin"});
        }

        choose("e:");
        EXPECT_EQ(row.folders->root(), driveE) << row.handler;
        EXPECT_EQ(row.folders->topLevelItem(0)->text(0), "e:");
        row.folders->setPath(tree.gamePath() + row.opened);
        EXPECT_EQ(row.folders->path(), tree.gamePath() + row.opened);
        if (row.files) {
            w->Dir1_Click();
            EXPECT_EQ(listRows(w->File1), QStringList{"SummerSun.bin"});
        }
        const QStringList files = listRows(w->File1);

        ui.expectMsgBox(vb::vbOK, row.handler);
        choose("d:");
        EXPECT_EQ(ui.lastMessage().text, QStringLiteral("Error Device unavailable occurred in ") + row.handler);
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(row.drive->drive(), "e:");
        EXPECT_EQ(row.folders->root(), driveE);
        EXPECT_EQ(row.folders->path(), tree.gamePath() + row.opened);
        EXPECT_EQ(listRows(w->File1), files);
    }
    // The stock folder is remembered when the user opens one, not when a drive is chosen.
    EXPECT_TRUE(shared().LastStockFolder.isEmpty());
}

TEST_F(EditorWindow, TimetableSwitchFollowsTheAnswer)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    const QString before = shared().ScenarioText;
    ui.expectMsgBox(vb::vbCancel, "Continue?");
    w->Option2[1]->click();
    EXPECT_TRUE(w->Option2[0]->isChecked());
    EXPECT_EQ(shared().ScenarioText, before);

    ui.expectMsgBox(vb::vbOK, "Continue?");
    w->Option2[1]->click();
    EXPECT_TRUE(w->Option2[1]->isChecked());
    EXPECT_FALSE(shared().ScenarioText.contains("<Timetabled d:type=\"bool\">0</Timetabled>"));
    EXPECT_EQ(shared().ScenarioText.count("<Timetabled d:type=\"bool\">1</Timetabled>"), 2);

    w->Option2[0]->click();
    EXPECT_TRUE(w->Option2[0]->isChecked());
    w->Option2[1]->click(); // confirmed before: no question
    EXPECT_TRUE(w->Option2[1]->isChecked());
}

TEST_F(EditorWindow, TimetabledScenarioOpensWithTheTimetableSwitch)
{
    useSampleScenario();
    shared().ScenarioProperties.replace("eStandardScenarioClass", "eTimetableScenarioClass");
    frmZelvorn* w = frmZelvorn::showEditor();
    EXPECT_TRUE(w->Option2[1]->isChecked());
    EXPECT_TRUE(w->editor().IsTimetable);
}

TEST_F(EditorWindow, ExitAsksAboutUnsavedChangesAndClosesBothWindows)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->editor().ScenarioChanged = true;
    ui.expectMsgBox(vb::vbNo, "Do you really wish to exit?");
    w->Command2->click();
    EXPECT_EQ(frmZelvorn::loaded(), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(shared().ScenarioText.isEmpty());

    // Closing by the window frame asks the same.
    ui.expectMsgBox(vb::vbNo, "Do you really wish to exit?");
    EXPECT_FALSE(w->close());
    EXPECT_EQ(frmZelvorn::loaded(), w);

    ui.expectMsgBox(vb::vbYes, "Do you really wish to exit?");
    w->Command2->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
    EXPECT_TRUE(shared().ScenarioText.isEmpty());
    EXPECT_TRUE(shared().ScenarioProperties.isEmpty());
}

TEST_F(EditorWindow, ExitWithoutChangesAsksNothing)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->Command2->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
}

TEST_F(EditorWindow, RunEditorWithoutDevToolsKeepsTheWindows)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    ui.expectMsgBox(vb::vbOK, "Please Run Rail Simulator instead.");
    w->Command14->click();
    EXPECT_EQ(frmZelvorn::loaded(), w);
    EXPECT_NE(frmShowRoutes::loaded(), nullptr);
}

TEST_F(EditorWindow, RunGameClosesBothWindows)
{
    const QString game = tree.gamePath() + "/RailSim.exe";
    QFile file(game);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QFile::setPermissions(game, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->Command5->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
}

TEST_F(EditorWindow, Screenshot)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->resize(1780, 720);
    QCoreApplication::processEvents();
    w->List1->item(0)->setSelected(true);
    const QString target = qEnvironmentVariableIsSet("VELTRANE_SCREENSHOT")
        ? QString::fromLocal8Bit(qgetenv("VELTRANE_SCREENSHOT"))
        : tree.path("zelvorn.png");
    EXPECT_TRUE(w->grab().save(target));
}

TEST_F(EditorWindow, BoxesKeepTheTextsAsRead)
{
    // A description with line breaks and blanks comes back from its box unchanged, so that
    // saving writes what was read.
    useSampleScenario();
    const QString text = "First line.\r\n  Second line.\nThird\tline ";
    shared().ScenarioProperties.replace("Take the morning freight from Veltrane Central to Eastfield Yard.", text);
    frmZelvorn* w = frmZelvorn::showEditor();
    EXPECT_EQ(w->Text1[1]->text(), text);
}
