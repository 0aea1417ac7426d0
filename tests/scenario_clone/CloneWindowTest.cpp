// "Clone Scenario with new Name" pressed in the editor opened from the browser, on a copy of
// the sample game with the test serializer.
#include "scenario_save/EditorWindowFixture.h"

#include "common/AnsiText.h"
#include "scenarios/ScenarioClone.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "support/ScopedEnv.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace savetest;
using namespace scenarios;

namespace {

class CloneWindow : public EditorWindowFixture {
protected:
    // Opens a scenario of the valley line through the browser.
    frmZelvorn* openFromBrowser(const QString& id)
    {
        const QString name = id == kMorning ? QStringLiteral("Morning Freight") : QStringLiteral("Evening Shuttle");
        return EditorWindowFixture::openFromBrowser(0, [&](const QString& row) { return row.contains(name); });
    }

    // The scenario folders that are not the sample's.
    QStringList newFolders() const
    {
        QStringList found = QDir(routeDir() + QStringLiteral("/Scenarios")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        found.removeAll(kMorning);
        found.removeAll(kEvening);
        return found;
    }
};

} // namespace

TEST_F(CloneWindow, RenamedMorningFreightIsClonedBesideIt)
{
    // A subfolder of the scenery is not copied.
    ASSERT_TRUE(writeFileBytes(scenarioDir() + "/Scenery/Sub/inner.bin", "inner"));
    const QByteArray listBefore = fileBytes(listFile());
    const QByteArray scenarioBefore = fileBytes(scenarioFile());
    frmZelvorn* w = openFromBrowser(kMorning);
    ASSERT_NE(w, nullptr);
    const QString loadedText = shared().ScenarioTextLoaded;
    const QString sourceBlock = shared().ScenarioProperties;
    shared().ScenarioText += QStringLiteral("<!-- an edit of the window -->");
    ASSERT_TRUE(w->Command12->isVisible());
    w->Text1[DisplayNameBox]->setText("Night Freight");
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone a Scenario, then only the Scenario itself is saved.");
    ui.expectMsgBox(vb::vbOK, "Your New Scenarios.bin file has been updated.");
    w->Command12->click();
    ui.verifyDone();
    const auto& shown = ui.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].style, vb::vbOKCancel + vb::vbInformation);
    EXPECT_EQ(shown[1].style, vb::vbOKOnly + vb::vbInformation);
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(frmShowRoutes::loaded(), nullptr);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);

    const QStringList added = newFolders();
    ASSERT_EQ(added.size(), 1);
    const QString cloneDir = routeDir() + "/Scenarios/" + added[0];
    EXPECT_EQ(platform::decodeAnsi(decoded(cloneDir + "/Scenario.bin")), loadedText + "\r\n");
    EXPECT_EQ(fileBytes(cloneDir + "/Scenery/+000000+000000.bin"), fileBytes(scenarioDir() + "/Scenery/+000000+000000.bin"));
    EXPECT_FALSE(QFileInfo::exists(cloneDir + "/Scenery/Sub"));
    EXPECT_EQ(fileBytes(scenarioFile()), scenarioBefore);
    EXPECT_EQ(fileBytes(routeDir() + "/Scenarios.bak"), listBefore);
    EXPECT_FALSE(QFileInfo::exists(workFile("do_scene.bat")));

    const QString list = platform::decodeAnsi(decoded(listFile()));
    const qsizetype source = list.indexOf(sourceBlock);
    ASSERT_GE(source, 0);
    const QString next = list.mid(source + sourceBlock.size());
    EXPECT_TRUE(next.startsWith("<cScenarioProperties d:id=\""));
    EXPECT_LT(next.indexOf(added[0]), next.indexOf("</cScenarioProperties>"));
    EXPECT_LT(next.indexOf(">Night Freight</English>"), next.indexOf("</cScenarioProperties>"));
}

TEST_F(CloneWindow, EveningShuttleWithoutSceneryGivesTheScenarioAlone)
{
    frmZelvorn* w = openFromBrowser(kEvening);
    ASSERT_NE(w, nullptr);
    // A batch run would fail: the interpreter is missing.
    const ScopedEnv noCmd("VELTRANE_CMD", tree.programPath() + "/no-such-cmd");
    w->Text1[DisplayNameBox]->setText("Evening Shuttle (2)");
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
    ui.expectMsgBox(vb::vbOK, "has been updated.");
    w->Command12->click();
    ui.verifyDone();
    const QStringList added = newFolders();
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(QDir(routeDir() + "/Scenarios/" + added[0]).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Scenario.bin"});
}

TEST_F(CloneWindow, RefusalsLeaveTheGameAsItWas)
{
    const struct {
        const char* what;
        const char* name;
        std::function<void(frmZelvorn*)> arrange;
        std::vector<std::pair<int, const char*>> answers;
    } rows[] = {
        {"name changed only in case", "MORNING freight", nullptr,
         {{vb::vbOK, "You do not appear to have changed the Display Name of this Scenario.\r\nThe name must be unique if you with to use this option."}}},
        {"full stop", "My.Scenario", nullptr, {{vb::vbOK, "contains an illegal character which may not be used in a File Name.\r\nPlease replace with an underscore"}}},
        {"slash", "A/B", nullptr, {{vb::vbOK, "Please replace with an underscore"}}},
        {"cancel on the note", "My_Scenario", nullptr, {{vb::vbCancel, "Note: If you Clone"}}},
        {"start time", "My Scenario (2)", [](frmZelvorn* w) { w->Text1[StartTimeBox]->setText("2500"); },
         {{vb::vbOK, "Note: If you Clone"}, {vb::vbOK, "24hour format"}}},
        {"start day", "My Scenario (2)", [](frmZelvorn* w) { w->Text1[StartDayBox]->setText("32"); },
         {{vb::vbOK, "Note: If you Clone"}, {vb::vbOK, "Invalid Start Day"}}},
        {"start month", "My Scenario (2)", [](frmZelvorn* w) { w->Text1[StartMonthBox]->setText("0"); },
         {{vb::vbOK, "Note: If you Clone"}, {vb::vbOK, "Invalid Start Month"}}},
        {"weather", "My Scenario (2)", [](frmZelvorn* w) { w->Text1[WeatherBlueprintBox]->setText("none.xml"); },
         {{vb::vbOK, "Note: If you Clone"}, {vb::vbOK, "Weather Blueprint entered does not exist"}}},
        {"no driven consist", "My Scenario (2)", [](frmZelvorn* w) { w->Label3->setText(""); },
         {{vb::vbOK, "Note: If you Clone"}, {vb::vbNo, "chosen a consist to drive"}}},
    };
    const QMap<QString, QByteArray> before = gameFiles();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        frmZelvorn* w = openFromBrowser(kMorning);
        ASSERT_NE(w, nullptr);
        w->Text1[DisplayNameBox]->setText(QString::fromLatin1(row.name));
        if (row.arrange)
            row.arrange(w);
        for (const auto& [answer, text] : row.answers)
            ui.expectMsgBox(answer, QString::fromLatin1(text));
        w->Command12->click();
        ui.verifyDone();
        EXPECT_EQ(frmZelvorn::loaded(), w);
        EXPECT_TRUE(w->Command12->isEnabled());
        EXPECT_EQ(gameFiles(), before);
        EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
        frmZelvorn::unloadEditor();
        frmShowRoutes::unloadBrowser();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(CloneWindow, FailedCloneKeepsTheEditorAndARetrySucceeds)
{
    frmZelvorn* w = openFromBrowser(kMorning);
    ASSERT_NE(w, nullptr);
    const QMap<QString, QByteArray> before = gameFiles();
    w->Text1[DisplayNameBox]->setText("Night Freight");
    {
        const ScopedEnv fail("SERZ_FAIL", "Scenario.xml");
        ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
        ui.expectMsgBox(vb::vbOK, "Your Scenarios.bin file has not been changed and no new scenario was made.");
        w->Command12->click();
        ui.verifyDone();
    }
    EXPECT_EQ(frmZelvorn::loaded(), w);
    EXPECT_EQ(gameFiles(), before);
    EXPECT_TRUE(newFolders().isEmpty());
    EXPECT_EQ(w->Text1[DisplayNameBox]->text(), "Night Freight");
    EXPECT_FALSE(shared().ScenarioText.isEmpty());
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
    ui.expectMsgBox(vb::vbOK, "has been updated.");
    w->Command12->click();
    ui.verifyDone();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(newFolders().size(), 1);
}

TEST_F(CloneWindow, NoToTheSaveNameQuestionClones)
{
    frmZelvorn* w = openFromBrowser(kMorning);
    ASSERT_NE(w, nullptr);
    w->Text1[DisplayNameBox]->setText("Night Freight");
    ui.expectMsgBox(vb::vbNo, "wish to Clone the scenario (click NO)");
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
    ui.expectMsgBox(vb::vbOK, "Your New Scenarios.bin file has been updated.");
    w->Command1->click();
    ui.verifyDone();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(newFolders().size(), 1);
}

TEST_F(CloneWindow, AGameBelowAFolderTheCodePageLacksIsToldAndNothingIsCloned)
{
    // The scenery copy's batch line cannot be written: the user learns why, before anything is made.
    const QString game = tree.moveGameInto(unwritableName());
    shared().GamePath = game;
    const QMap<QString, QByteArray> before = folderSnapshot(game);
    frmZelvorn* w = openFromBrowser(kMorning);
    ASSERT_NE(w, nullptr);
    w->Text1[DisplayNameBox]->setText("Night Freight");
    ui.expectMsgBox(vb::vbOK, "Note: If you Clone");
    ui.expectMsgBox(vb::vbOK, "cannot be written in the system's code page");
    w->Command12->click();
    ui.verifyDone();
    EXPECT_EQ(ui.lastMessage().text,
              UnwritablePathMessage(shared().ScenarioFolder + QStringLiteral("\\Scenery"))
                  + QStringLiteral("\r\nYour Scenarios.bin file has not been changed and no new scenario was made."));
    EXPECT_TRUE(ui.lastMessage().text.contains(unwritableName()));
    EXPECT_EQ(folderSnapshot(game), before);
    EXPECT_EQ(frmZelvorn::loaded(), w);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
}
