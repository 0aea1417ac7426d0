#pragma once
// The work behind the scenario editor window (frmZelvorn): loading the scenario the browser
// prepared (the property boxes from the shared properties block, the consist and vehicle
// tables from the working scenario text, the route's markers from its track text), the
// folders of the weather and stock lists, the standard/timetable switch, leaving the editor
// and starting the game or its editor.
//
// The window shows what this holds and passes the user's choices in; everything that asks
// the user something goes through ui().

#include "scenarios/ConsistModel.h"
#include "scenarios/ScenarioProperties.h"

#include <QString>
#include <QStringList>

namespace scenarios {

// The question before a standard scenario is made a timetabled one.
QString timetableQuestion();
// The question before unsaved changes are dropped.
QString unsavedChangesQuestion();
// The message when the game's editor is not installed.
QString noDevToolsMessage();

class ScenarioEditor {
public:
    // Window fields, set by load().
    QString LoadedName;
    QString LoadedStartTime;
    bool IsTimetable = false;
    bool ChangesSaved = false;
    bool ScenarioChanged = false;

    // What the property boxes show after loading (Text1(0) to Text1(11)).
    PropertyBoxes boxes;
    // The consist and vehicle tables; their rows are the consist list (List1) and the
    // driven consist's row text the "Current Driven Consist" display (Label3).
    ConsistModel tables;
    // The marker names of the route (List4).
    QStringList markers;
    // The folder the weather lists open (Dir1) and the stock folder list's folder (Dir2).
    QString weatherFolder;
    QString stockFolder;

    // The window's caption: "Scenario Editor  Version x.y.z   Rail Simulator path in use is - "
    // and the game folder.
    static QString caption();

    // Form_Load's work: everything starts afresh, then the shared ScenarioProperties,
    // ScenarioText and TracksText are read. Failing steps have been reported (see LoadSteps).
    void load();

    // ConsistCount.
    int ConsistCount() const { return tables.consistCount(); }

    // Pressing one of the scenario type buttons (0 "Standard Scenario", 1 "Timetable
    // Scenario"). Returns the button to show selected. Pressing "Timetable Scenario" asks
    // the timetable question until the change has once been confirmed in this run (the shared
    // Timetabled); a confirmed change, and every later press, writes 1 into every
    // "Timetabled" element of the shared ScenarioText. Cancel selects "Standard Scenario".
    int pressScenarioType(int index);

    // True when the editor may close: no unsaved consist or vehicle changes, or the user
    // answered Yes to the unsaved-changes question.
    bool mayDropChanges();

    // Exit's clean-up: the shared ScenarioText and ScenarioProperties are emptied and the
    // consist tables cleared.
    void clearScenario();

    // The game's programs.
    static QString gameProgram();   // GamePath & "\RailSim.exe"
    static QString editorProgram(); // GamePath & "\RailSimEditor.exe"

    // "Run Rail Simulator": starts the game in a normal window without waiting. The editor
    // closes after it, so unsaved consist changes are first confirmed as by "Exit". True when
    // the game started; a failure to start has been reported.
    bool runGame();
    // "Run Rail Sim Editor" (withLog: "... (with log)", which adds " -LogMate"), likewise.
    // Without the game's editor the no-dev-tools message is shown and nothing is asked.
    bool runGameEditor(bool withLog);

private:
    bool start(const QString& commandLine, const QString& handler);
};

} // namespace scenarios
