// The editor's loading from the shared texts, the scenario type switch, leaving with unsaved
// changes and starting the game or its editor.
#include "EditorFixture.h"

#include "common/Wildcard.h"
#include "scenarios/ScenarioEditor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace editortest;
using namespace scenarios;

namespace {

class EditorLogic : public EditorFixture {
protected:
    // A stand-in for one of the game's programs: a script that writes its arguments into
    // "<name>.ran" beside it.
    QString fakeProgram(const QString& name)
    {
        const QString path = tree.gamePath() + QLatin1Char('/') + name;
        const QString marker = path + QStringLiteral(".ran");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho \"started $*\" > '%1'\n").arg(marker).toUtf8());
        file.close();
        QFile::setPermissions(path, QFileInfo(path).permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        return marker;
    }
    static QString waitForMarker(const QString& marker)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            QFile file(marker);
            if (file.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromUtf8(file.readAll()).trimmed();
                if (!text.isEmpty())
                    return text;
            }
            QThread::msleep(20);
        }
        return QString();
    }
};

} // namespace

TEST_F(EditorLogic, LoadsTheSharedScenario)
{
    useSampleScenario();
    ScenarioEditor editor;
    editor.ScenarioChanged = true;
    editor.ChangesSaved = true;
    editor.load();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(editor.LoadedName, "Morning Freight");
    EXPECT_EQ(editor.LoadedStartTime, "25200.0000");
    EXPECT_FALSE(editor.IsTimetable);
    EXPECT_FALSE(editor.ScenarioChanged);
    EXPECT_FALSE(editor.ChangesSaved);
    EXPECT_EQ(editor.boxes[SeasonBox], "SEASON_SUMMER");
    EXPECT_EQ(editor.ConsistCount(), 3);
    EXPECT_EQ(editor.tables.drivenConsist, "6E21 Veltrane Central to Eastfield Yard");
    EXPECT_EQ(editor.markers, (QStringList{"Veltrane Central Platform 1", "Eastfield Yard", "Quarry Siding"}));
    EXPECT_EQ(editor.weatherFolder, tree.gamePath() + "\\Assets\\VeltraneSamples\\Sample01\\Weather");
    EXPECT_EQ(editor.stockFolder, tree.gamePath() + "\\Assets\\Kuju");
    EXPECT_EQ(ScenarioEditor::caption(),
              "Scenario Editor  Version 4.1.52   Rail Simulator path in use is - " + tree.gamePath());

    // The stock folder chosen last time wins; a second load starts afresh.
    shared().LastStockFolder = tree.gamePath() + "\\Assets\\VeltraneSamples\\Sample01\\RailVehicles";
    shared().ScenarioText = scenarioXml({Consist{{Vehicle{}}}});
    editor.load();
    EXPECT_EQ(editor.stockFolder, shared().LastStockFolder);
    EXPECT_EQ(editor.tables.rows(), QStringList{"Loose Consist"});
    EXPECT_EQ(editor.tables.drivenConsist, "");
}

TEST_F(EditorLogic, FailuresAcrossTheLoadNameTheirProgress)
{
    // A block without "BlueprintID" (nothing is read after it, so no failure) and a consist
    // whose vehicle lacks its "Flipped" element, and a track text with a broken marker.
    useSampleScenario();
    QString& block = shared().ScenarioProperties;
    block.replace("<BlueprintID d:type=\"cDeltaString\">Weather\\SummerSun.xml</BlueprintID>", "");
    Vehicle v;
    v.withFlipped = false;
    shared().ScenarioText = scenarioXml({Consist{{v}, "1A01"}});
    shared().TracksText += "<English>unclosed";
    ui.expectMsgBox(vb::vbOK, loadFailure(12));
    ui.expectMsgBox(vb::vbOK, loadFailure(16));
    ScenarioEditor editor;
    editor.load();
    EXPECT_EQ(editor.boxes[WeatherBlueprintBox], "Sample01"); // the previous read's value
    EXPECT_EQ(editor.markers.size(), 3);
}

TEST_F(EditorLogic, TimetableSwitchAsksOnceAndWritesEveryTimetabledElement)
{
    useSampleScenario();
    const QString loaded = shared().ScenarioText;
    QString timetabled = loaded;
    timetabled.replace("<Timetabled d:type=\"bool\">0</Timetabled>", "<Timetabled d:type=\"bool\">1</Timetabled>");
    ASSERT_NE(timetabled, loaded);
    ScenarioEditor editor;
    editor.load();

    EXPECT_EQ(editor.pressScenarioType(0), 0);

    ui.expectMsgBox(vb::vbCancel, timetableQuestion());
    EXPECT_EQ(editor.pressScenarioType(1), 0);
    EXPECT_FALSE(shared().Timetabled);
    EXPECT_EQ(shared().ScenarioText, loaded);
    const ScriptedUi::Message question = ui.lastMessage();
    EXPECT_EQ(question.text,
              "Changing Scenario type from Standard to Timetable may cause strange effects when running the scenario, "
              "this option is for experimental purposes by experienced users. Continue?");
    EXPECT_EQ(question.style, vb::vbOKCancel + vb::vbExclamation);
    EXPECT_EQ(question.title, Ui::programTitle());

    ui.expectMsgBox(vb::vbOK, timetableQuestion());
    EXPECT_EQ(editor.pressScenarioType(1), 1);
    EXPECT_TRUE(shared().Timetabled);
    EXPECT_EQ(shared().ScenarioText, timetabled);

    // Once confirmed, a later press asks nothing and still writes 1, also into elements that
    // were set back in between (a scenario reopened in the same run).
    ScenarioEditor again;
    shared().ScenarioText = loaded;
    again.load();
    EXPECT_EQ(again.pressScenarioType(1), 1);
    EXPECT_EQ(shared().ScenarioText, timetabled);
    // "Standard Scenario" only selects; the text is changed at saving.
    EXPECT_EQ(again.pressScenarioType(0), 0);
    EXPECT_EQ(shared().ScenarioText, timetabled);
}

TEST_F(EditorLogic, LeavingWithUnsavedChangesAsks)
{
    useSampleScenario();
    ScenarioEditor editor;
    editor.load();
    EXPECT_TRUE(editor.mayDropChanges()); // nothing changed: no question

    editor.ScenarioChanged = true;
    ui.expectMsgBox(vb::vbNo, "but have not saved them.");
    EXPECT_FALSE(editor.mayDropChanges());
    EXPECT_EQ(ui.lastMessage().text,
              "You have made changes to this Scenario, but have not saved them.\r\nDo you really wish to exit?");
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbExclamation);
    ui.expectMsgBox(vb::vbYes, "Do you really wish to exit?");
    EXPECT_TRUE(editor.mayDropChanges());

    editor.ChangesSaved = true;
    EXPECT_TRUE(editor.mayDropChanges());

    editor.clearScenario();
    EXPECT_TRUE(shared().ScenarioText.isEmpty());
    EXPECT_TRUE(shared().ScenarioProperties.isEmpty());
    EXPECT_EQ(editor.ConsistCount(), 0);
}

TEST_F(EditorLogic, RunsTheGameAndItsEditorDetached)
{
    useSampleScenario();
    ScenarioEditor editor;
    editor.load();

    // Without the game's editor nothing starts and nothing else is asked.
    editor.ScenarioChanged = true;
    ui.expectMsgBox(vb::vbOK, "You do not appear to have the Dev Tools installed.");
    EXPECT_FALSE(editor.runGameEditor(false));
    EXPECT_EQ(ui.lastMessage().text,
              "You do not appear to have the Dev Tools installed.\r\nPlease Run Rail Simulator instead.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);

    // Unsaved changes: No keeps everything as it is.
    const QString gameRan = fakeProgram("RailSim.exe");
    ui.expectMsgBox(vb::vbNo, "Do you really wish to exit?");
    EXPECT_FALSE(editor.runGame());
    QThread::msleep(200);
    EXPECT_FALSE(QFileInfo::exists(gameRan));

    editor.ScenarioChanged = false;
    EXPECT_TRUE(editor.runGame());
    EXPECT_EQ(waitForMarker(gameRan), "started");

    const QString editorRan = fakeProgram("RailSimEditor.exe");
    EXPECT_TRUE(editor.runGameEditor(false));
    EXPECT_EQ(waitForMarker(editorRan), "started");
    QFile::remove(editorRan);
    EXPECT_TRUE(editor.runGameEditor(true));
    EXPECT_EQ(waitForMarker(editorRan), "started -LogMate");
}

TEST_F(EditorLogic, GameThatCannotStartIsReported)
{
    // "RailSim.exe" exists but cannot be run.
    const QString path = tree.gamePath() + "/RailSim.exe";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a program");
    file.close();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ScenarioEditor editor;
    ui.expectMsgBox(vb::vbOK, "occurred in subroutine Command5_Click");
    EXPECT_FALSE(editor.runGame());
}

TEST_F(EditorLogic, FolderListings)
{
    const QString weather = tree.gamePath() + "\\ASSETS\\veltranesamples\\Sample01\\Weather";
    ASSERT_TRUE(QDir().mkpath(tree.gamePath() + "/Assets/VeltraneSamples/Sample01/Weather/Storms"));
    QFile(tree.gamePath() + "/Assets/VeltraneSamples/Sample01/Weather/Fog.BIN").open(QIODevice::WriteOnly);
    QFile(tree.gamePath() + "/Assets/VeltraneSamples/Sample01/Weather/notes.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(matchingFileNames(weather, "*.bin"), (QStringList{"Fog.BIN", "SummerSun.bin"}));
    EXPECT_EQ(subFolderNamesOf(weather), QStringList{"Storms"});
    EXPECT_EQ(subFolderNamesOf(tree.gamePath() + "\\Assets\\VeltraneSamples\\Sample01\\Nowhere"), QStringList());
    EXPECT_EQ(matchingFileNames(QString(), "*.bin"), QStringList());
}
