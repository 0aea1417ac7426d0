// "Save Changes" pressed in the editor window opened from the browser: both windows close
// after a save, stay after a failure, and take no other command while the save runs.
#include "EditorWindowFixture.h"

#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>

using namespace savetest;
using namespace scenarios;

namespace {

// The scripted seam, with a hook that runs whenever the program processes window events.
class HookedUi : public ScriptedUi {
public:
    std::function<void()> hook;
    void doEvents() override
    {
        if (hook) {
            const std::function<void()> once = hook;
            hook = nullptr; // the hook's own event processing does not call it again
            once();
            hook = once;
        }
        ScriptedUi::doEvents();
    }
};

using SaveWindow = EditorWindowFixture;

} // namespace

TEST_F(SaveWindow, SaveCloneAndStockSearchButtonsAreShown)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Command1->isVisible());
    EXPECT_TRUE(w->Command12->isVisible());
    EXPECT_TRUE(w->Command6->isVisible());
}

TEST_F(SaveWindow, SaveWritesAndClosesBothWindows)
{
    const QByteArray listBefore = fileBytes(listFile());
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    w->Text1[StartTimeBox]->setText("0800");
    w->Check1->setChecked(true);
    ui.expectMsgBox(vb::vbOK, "have been updated.");
    w->Command1->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
    EXPECT_TRUE(shared().ScenarioText.isEmpty());
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), listBefore);
    const QString scenario = platform::decodeAnsi(decoded(scenarioFile()));
    EXPECT_TRUE(scenario.contains(">28800</StartTime>"));
    EXPECT_TRUE(platform::decodeAnsi(decoded(listFile())).contains(">28800.0000</StartTime>"));
}

TEST_F(SaveWindow, FailureKeepsTheWindowsOpen)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    const QMap<QString, QByteArray> before = gameFiles();
    const ScopedEnv fail("SERZ_FAIL", "Scenario.xml");
    ui.expectMsgBox(vb::vbOK, "have not been changed.");
    w->Command1->click();
    ASSERT_EQ(frmZelvorn::loaded(), w);
    EXPECT_NE(frmShowRoutes::loaded(), nullptr);
    EXPECT_TRUE(frmShowRoutes::loaded()->isEnabled());
    EXPECT_TRUE(w->Command1->isEnabled());
    EXPECT_TRUE(w->Command2->isEnabled());
    EXPECT_FALSE(w->editor().ChangesSaved);
    EXPECT_EQ(gameFiles(), before);
}

TEST_F(SaveWindow, NoCommandRunsWhileTheSaveRuns)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    HookedUi hooked; // installed over the fixture's seam for this test
    int pumps = 0;
    bool allBlocked = true;
    hooked.hook = [&] {
        // Only while the save runs: once it has written, the windows close themselves.
        frmShowRoutes* browser = frmShowRoutes::loaded();
        if (frmZelvorn::loaded() != w || !browser)
            return;
        ++pumps;
        allBlocked = allBlocked && !w->Command1->isEnabled() && !w->Command2->isEnabled() && !w->Command5->isEnabled()
            && !browser->Command10->isEnabled();
        // A second press, another command, or closing the window: none may start.
        w->Command1->click();
        w->Command1_Click();
        w->Command2->click();
        EXPECT_FALSE(w->close());
    };
    hooked.expectMsgBox(vb::vbOK, "have been updated.");
    w->Command1->click();
    hooked.hook = nullptr;
    EXPECT_GT(pumps, 3);
    EXPECT_TRUE(allBlocked);
    ASSERT_EQ(hooked.messages().size(), 1);
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak1"), QByteArray()); // saved once
    hooked.verifyDone();
}

TEST_F(SaveWindow, NewNameAnsweredNoPressesTheClone)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    int clonePresses = 0;
    QObject::connect(w->Command12, &QPushButton::clicked, [&clonePresses] { ++clonePresses; });
    const QMap<QString, QByteArray> before = gameFiles();
    w->Text1[DisplayNameBox]->setText("Night Freight");
    ui.expectMsgBox(vb::vbNo, "wish to Clone the scenario (click NO)");
    ui.expectMsgBox(vb::vbCancel, "Note: If you Clone a Scenario"); // the clone ran
    w->Command1->click();
    EXPECT_EQ(clonePresses, 1);
    EXPECT_EQ(frmZelvorn::loaded(), w);
    EXPECT_EQ(gameFiles(), before);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}
