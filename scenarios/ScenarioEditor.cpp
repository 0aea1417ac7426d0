#include "scenarios/ScenarioEditor.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/HandlerError.h"
#include "common/ProgramVersion.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Ui.h"

#include <QDir>


namespace scenarios {

namespace {

using gametext::kCrLf;

} // namespace

QString timetableQuestion()
{
    return QStringLiteral(
        "Changing Scenario type from Standard to Timetable may cause strange effects when running the scenario, this option is for experimental purposes by experienced users. Continue?");
}

QString unsavedChangesQuestion()
{
    return QStringLiteral("You have made changes to this Scenario, but have not saved them.") + kCrLf
        + QStringLiteral("Do you really wish to exit?");
}

QString noDevToolsMessage()
{
    return QStringLiteral("You do not appear to have the Dev Tools installed.") + kCrLf
        + QStringLiteral("Please Run Rail Simulator instead.");
}

// ---- loading ------------------------------------------------------------------------------

QString ScenarioEditor::caption()
{
    return MainCaption(QStringLiteral("Scenario Editor"), shared().GamePath);
}

void ScenarioEditor::load()
{
    *this = ScenarioEditor();
    const SharedState& state = shared();
    LoadSteps steps;

    stockFolder = state.GamePath + QStringLiteral("\\Assets\\Kuju");
    steps.a = 1;
    steps.a = 2;

    const ScenarioPropertiesRead read = readScenarioProperties(state.ScenarioProperties, steps);
    boxes = read.boxes;
    LoadedName = read.loadedName;
    LoadedStartTime = read.loadedStartTime;
    IsTimetable = read.isTimetable;

    weatherFolder = weatherFolderOf(state.GamePath, boxes[WeatherProviderBox], boxes[WeatherProductBox]);
    steps.a = 7;

    tables.read(state.ScenarioText, steps);

    steps.a = 16;
    if (!state.LastStockFolder.isEmpty())
        stockFolder = state.LastStockFolder;

    markers = readMarkers(state.TracksText, steps);
}

// ---- scenario type ------------------------------------------------------------------------

int ScenarioEditor::pressScenarioType(int index)
{
    if (index != 1)
        return 0;
    SharedState& state = shared();
    if (!state.Timetabled) {
        if (ui().msgBox(timetableQuestion(), vb::vbOKCancel + vb::vbExclamation) != vb::vbOK)
            return 0;
        state.Timetabled = true;
    }
    setEveryTimetabled(state.ScenarioText, QStringLiteral("1"));
    return 1;
}

// ---- leaving ------------------------------------------------------------------------------

bool ScenarioEditor::mayDropChanges()
{
    if (!ScenarioChanged || ChangesSaved)
        return true;
    return ui().msgBox(unsavedChangesQuestion(), vb::vbYesNo + vb::vbExclamation) == vb::vbYes;
}

void ScenarioEditor::clearScenario()
{
    shared().ScenarioText.clear();
    shared().ScenarioProperties.clear();
    tables.clear();
}

// ---- the game and its editor --------------------------------------------------------------

QString ScenarioEditor::gameProgram()
{
    return shared().GamePath + QStringLiteral("\\RailSim.exe");
}

QString ScenarioEditor::editorProgram()
{
    return shared().GamePath + QStringLiteral("\\RailSimEditor.exe");
}

bool ScenarioEditor::start(const QString& commandLine, const QString& handler)
{
    const qint64 pid = platform::startDetached(commandLine);
    ui().doEvents();
    if (pid == 0) {
        showHandlerError(ErrorSpelling::Subroutine, VbError(53), handler);
        return false;
    }
    return true;
}

bool ScenarioEditor::runGame()
{
    if (!mayDropChanges())
        return false;
    // Quoted, so that a game folder with blanks in its path names one program.
    return start(QLatin1Char('"') + gameProgram() + QLatin1Char('"'), QStringLiteral("Command5_Click"));
}

bool ScenarioEditor::runGameEditor(bool withLog)
{
    if (!FileExists(editorProgram())) {
        exclaim(noDevToolsMessage());
        return false;
    }
    if (!mayDropChanges())
        return false;
    QString commandLine = QLatin1Char('"') + editorProgram() + QLatin1Char('"');
    if (withLog)
        commandLine += QStringLiteral(" -LogMate");
    return start(commandLine, withLog ? QStringLiteral("Command14_Click") : QStringLiteral("Command8_Click"));
}

} // namespace scenarios
