// The browser window on the sample game: captions, lists, choices, its commands and its
// unloading.
#include "BrowserFixture.h"

#include "scenarios/frmShowRoutes.h"
#include "support/WidgetRows.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

using namespace browsertest;

namespace {

class BrowserWindow : public BrowserFixture {
protected:
    void TearDown() override
    {
        frmShowRoutes::unloadBrowser();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmShowRoutes::setScenarioEditorLauncher(nullptr);
        BrowserFixture::TearDown();
    }
};

} // namespace

TEST_F(BrowserWindow, ShowsTheRoutesWithItsCaptions)
{
    frmShowRoutes* w = frmShowRoutes::showBrowser();
    ASSERT_EQ(frmShowRoutes::loaded(), w);
    EXPECT_EQ(frmShowRoutes::showBrowser(), w); // one window
    EXPECT_EQ(w->windowTitle(), "Show Route -    Rail Simulator path in use is - " + tree.gamePath());
    EXPECT_EQ(w->Label1->text(), "Route Name");
    EXPECT_EQ(w->Label3->text(), "Folder Name");
    EXPECT_EQ(w->Label1s->text(), "Scenario Name");
    EXPECT_EQ(w->Label3s->text(), "Folder Name");
    EXPECT_EQ(w->Label2->text(), "Saved Copies of Selected Scenario");
    EXPECT_EQ(w->Command1->text(), "List Scenarios in Selected Route");
    EXPECT_EQ(w->Command2->text(), "Revert to Default for selected Route");
    EXPECT_EQ(w->Command3->text(), "Revert to Default for selected Scenario");
    EXPECT_EQ(w->Command4->text(), "Save CurrentSave.xml As");
    EXPECT_EQ(w->Command5->text(), "Overwrite CurrentSave.xml with Selected file");
    EXPECT_EQ(w->Command6->text(), "Run RailSim Using Selected Save File");
    EXPECT_EQ(w->Command8->text(), "RunRailSim Editor using this Save File");
    EXPECT_EQ(w->Command9->text(), "Exit");
    EXPECT_EQ(w->Command10->text(), "Edit Selected Scenario");
    EXPECT_EQ(w->Command11->text(), "Remove Empty Consists from selected Scenario");

    EXPECT_EQ(listRows(w->List1), (QStringList{"Veltrane Valley Line\t" + kValley, "Eastfield Branch\t" + kEastfield}));
    EXPECT_EQ(w->List3->count(), 0);
    EXPECT_EQ(w->File2->count(), 0);
    EXPECT_FALSE(w->Command10->isEnabled());
    EXPECT_FALSE(w->Command11->isEnabled());
    EXPECT_FALSE(w->Command2->isEnabled());
    EXPECT_FALSE(w->Command3->isEnabled());
    // The folder column starts at the tab stop, after a name column wide enough for the names.
    EXPECT_GT(w->tabStopPixels(), QFontMetrics(w->List1->font()).horizontalAdvance("Veltrane Valley Line"));
}

TEST_F(BrowserWindow, ChoosingARouteAndAScenarioThenEditing)
{
    const QString folder = scenario(kValley, kEvening);
    ASSERT_TRUE(write(folder + "/CurrentSave.xml", "current"));
    ASSERT_TRUE(write(folder + "/Before the climb.xml", "climb"));
    int editorShown = 0;
    frmShowRoutes::setScenarioEditorLauncher([&] { ++editorShown; });

    frmShowRoutes* w = frmShowRoutes::showBrowser();
    w->List1->item(0)->setSelected(true);
    EXPECT_TRUE(w->Command2->isEnabled());
    EXPECT_EQ(listRows(w->List3), (QStringList{"Morning Freight\t" + kMorning, "Evening Shuttle\t" + kEvening}));
    EXPECT_EQ(w->File2->count(), 0);

    w->List3->item(1)->setSelected(true);
    EXPECT_TRUE(w->Command10->isEnabled());
    EXPECT_TRUE(w->Command3->isEnabled());
    EXPECT_TRUE(w->Command11->isEnabled());
    EXPECT_EQ(listRows(w->File2), (QStringList{"Before the climb.xml", "CurrentSave.xml"}));
    EXPECT_EQ(shared().ScenarioFolder, routePathText(kValley) + "\\Scenarios\\" + kEvening);

    w->Command10->click();
    EXPECT_EQ(editorShown, 1);
    EXPECT_TRUE(shared().ScenarioProperties.contains(kEvening));
    EXPECT_FALSE(shared().ScenarioText.isEmpty());
    EXPECT_TRUE(w->Command1->isEnabled()); // the commands are back after the handler

    // Overwrite CurrentSave.xml with the selected saved copy.
    w->File2->item(0)->setSelected(true);
    ui.expectMsgBox(vb::vbYes, "with the selected file. Proceed?");
    w->Command5->click();
    EXPECT_EQ(bytes(folder + "/CurrentSave.xml"), "climb");

    // Choosing another route empties the saved copies until a scenario is chosen.
    w->List1->item(1)->setSelected(true);
    EXPECT_EQ(w->File2->count(), 0);
    EXPECT_EQ(w->List3->count(), 1);

    if (const QByteArray shot = qgetenv("VELTRANE_SCREENSHOT"); !shot.isEmpty()) {
        w->List1->item(0)->setSelected(true);
        w->List3->item(1)->setSelected(true);
        w->File2->item(0)->setSelected(true);
        EXPECT_TRUE(w->grab().save(QString::fromLocal8Bit(shot)));
    }
}

TEST_F(BrowserWindow, RevertDeselectsTheRoute)
{
    ASSERT_TRUE(write(route(kValley, "Scenarios.bak"), "first"));
    frmShowRoutes* w = frmShowRoutes::showBrowser();
    w->List1->item(0)->setSelected(true);
    w->Command2->click();
    EXPECT_TRUE(w->List1->selectedItems().isEmpty());
    EXPECT_EQ(bytes(route(kValley, "Scenarios.bin")), "first");
    // No route selected now: the command does nothing.
    ASSERT_TRUE(write(route(kValley, "Scenarios.bak"), "again"));
    w->Command2->click();
    EXPECT_EQ(bytes(route(kValley, "Scenarios.bin")), "first");
}

TEST_F(BrowserWindow, ExitUnloadsAndEndsTheScenarioTool)
{
    // A running "RS_Zelvorn.exe", which the browser ends whoever started it.
    const QString tool = tree.path("RS_Zelvorn.exe");
    ASSERT_TRUE(QFile::copy("/bin/sleep", tool));
    QProcess running;
    running.start(tool, {"30"});
    ASSERT_TRUE(running.waitForStarted(5000));

    frmShowRoutes* w = frmShowRoutes::showBrowser();
    w->Command9->click();
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
    // The window's event processing may already have reaped the child.
    EXPECT_TRUE(running.state() == QProcess::NotRunning || running.waitForFinished(5000));
    EXPECT_EQ(running.exitStatus(), QProcess::CrashExit);

    // Shown again: loaded anew.
    frmShowRoutes* again = frmShowRoutes::showBrowser();
    EXPECT_EQ(frmShowRoutes::loaded(), again);
    EXPECT_EQ(again->List1->count(), 2);
}

TEST_F(BrowserWindow, RemovesTheSampleScenariosEmptyConsist)
{
    // The sample's "Branch Pick-up" ends with a consist without vehicles.
    const QString folder = scenario(kEastfield, "a1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071");
    const QByteArray binary = bytes(folder + "/Scenario.bin");
    QByteArray expected = xmlOf(folder + "/Scenario.bin");
    const qsizetype start = expected.indexOf("<cConsist d:id=\"400000901\"");
    ASSERT_GT(start, 0);
    const qsizetype end = expected.indexOf("</cConsist>", start) + 11;
    expected.remove(start, end - start);

    frmShowRoutes* w = frmShowRoutes::showBrowser();
    w->List1->item(1)->setSelected(true);
    w->List3->item(0)->setSelected(true);
    EXPECT_EQ(listRows(w->File2), (QStringList{"Before the quarry.xml", "CurrentSave.xml"}));
    ui.expectMsgBox(vb::vbOK, "Empty Consists have been removed from this Scenario.");
    w->Command11->click();
    EXPECT_EQ(xmlOf(folder + "/Scenario.bin"), expected + "\r\n");
    EXPECT_EQ(bytes(folder + "/Scenario.bak"), binary);

    // Revert to Default for selected Scenario brings it back.
    w->List3->item(0)->setSelected(true);
    w->Command3->click();
    EXPECT_TRUE(w->List3->selectedItems().isEmpty());
    EXPECT_EQ(bytes(folder + "/Scenario.bin"), binary);
    EXPECT_FALSE(QFileInfo::exists(folder + "/Scenario.bak"));
}
