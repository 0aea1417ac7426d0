#pragma once
// "Save Changes" of the scenario editor: the checks of the property boxes, the writes into the
// scenario's properties block, the join of the route's scenario list, the start-time shift of
// every consist, and the write-back of the route's "Scenarios.bin" and the scenario's
// "Scenario.bin".
//
// The save works on copies of the shared texts. Both files are converted into the work folder
// and both results checked before either game file is touched; only then is each game file
// moved to its backup name ("Scenarios.bak", "Scenario.bak", numbered as BackupName says) and
// the new one put in its place. A save that fails anywhere leaves the game's files, the shared
// texts and the editor's fields as they were, so the user can put things right and save again.
//
// Nothing here touches a widget: the window hands in what its controls show and acts on the
// outcome (closing itself and the browser after a save, pressing "Clone Scenario with new
// Name" when the user asks for a clone).

#include "common/TagText.h"
#include "scenarios/ScenarioProperties.h"

#include <QString>

#include <functional>

struct VbError;

namespace scenarios {

class ScenarioEditor;

// ---- messages -------------------------------------------------------------------------------

// The question when the display name was changed (Yes: save under the new name, No: clone).
QString scenarioNameQuestion();
// "The time must be in 24hour format, e.g. 0530"
QString timeFormatMessage();
// "Invalid Start Day, must be between 1 and 31."
QString startDayMessage();
// "Invalid Start Month, must be between 1 and 12."
QString startMonthMessage();
// "Weather Blueprint entered does not exist in the folder shown."
QString weatherMissingMessage();
// The question when no consist has the driver.
QString noDrivenConsistQuestion();
// "Your Scenario.bin and Scenarios.bin files have been updated."
QString scenarioSavedMessage();
// A step that failed at run time: "An error <number> occurred while saving your Scenario".
QString saveErrorMessage(int errorNumber);
// A save that could not write the game's files: what failed, and on a second line that both
// files have been left unchanged.
QString saveFailedMessage(const QString& whatFailed);

// ---- the steps --------------------------------------------------------------------------------

// Text from a property box as it goes into the XML (common/TagText.h).
using tags::escapeBoxText;

// True when the start time box passes the checks: exactly four characters, a numeric value
// (its leading number) of at most 2400, and not a time before midnight (such as "-100").
// The minutes are not tested on their own: "0575" passes.
bool startTimeAccepted(const QString& box);

// The start time box as seconds after midnight in the block's form "00000.0000": hours from
// the first two characters, minutes from the last two, each read as a number and rounded to a
// whole number (halves to even): "0830" gives "30600.0000", "0575" "22500.0000".
QString startTimeSeconds(const QString& box);

// True when a property box's numeric value lies between low and high; a value that cannot be
// read as a number at all (too large for one) is out of range.
bool boxValueWithin(const QString& box, double low, double high);

// The seconds by which every consist's start time moves: 0 unless shiftAllConsists is set and
// the new start time text differs (ignoring case) from the loaded one; then the new time less
// the loaded one, both read as numbers, rounded to whole seconds (negative when the start moves
// earlier). Throws VbError 6 when the difference does not fit.
qint32 startTimeOffset(const QString& newStartTime, const QString& loadedStartTime, bool shiftAllConsists);

// The scenario type switch: with "Timetable Scenario" selected on a standard scenario (isTimetable
// false), every "standard" in the block, in any case of letters, becomes "timetable" and
// isTimetable true; with "Standard Scenario" selected on a timetabled one, every "timetable"
// becomes "standard" and isTimetable false. Otherwise nothing changes.
void switchScenarioType(QString& block, bool timetableSelected, bool& isTimetable);

// Writes the property boxes into the block: the display name, description and briefing into
// their localised texts (each searched, as "<DisplayName>", "<Description>" and "<Briefing>",
// from the one before), then "StartTime" (startTime, the "00000.0000" text) and the boxes of
// "DurationMins", "StartDD", "StartMM", "StartYYYY", "Season", "Provider", "Product" and
// "BlueprintID", each searched from where the write before it ended and written without
// leading and trailing blanks. Box texts are escaped (escapeBoxText). A step that fails at
// run time (a localised text that is missing, or any search after it) is handed to onError
// and the writing goes on with the next step; once an element of the second group is not
// found, the rest of that group is left as it is.
void writePropertyBoxes(QString& block, const PropertyBoxes& boxes, const QString& startTime,
                        const std::function<void(const VbError&)>& onError);

// ---- the command ------------------------------------------------------------------------------

// What the window's controls show when "Save Changes" is pressed.
struct SaveRequest {
    PropertyBoxes boxes;            // Text1(0) to Text1(11)
    bool shiftAllConsists = false;  // "Change for all consists" ticked
    bool timetableSelected = false; // "Timetable Scenario" selected
    QString drivenConsist;          // the "Current Driven Consist" display; "" when none
};

enum class SaveOutcome {
    Saved,   // both game files written; the shared scenario texts have been emptied
    Clone,   // the user chose to clone the scenario under its new name instead
    Stopped, // a check stopped the save, or the user did; nothing was written
    Failed,  // a work file, a conversion or a replacement failed; the game is unchanged
};

// The work files of a save, in the program folder's "TempFiles".
QString scenariosWorkXml(); // program folder & "\tempfiles\Scenarios.xml" (as written)
QString scenarioWorkXml();  // program folder & "\tempfiles\Scenario.xml"
QString scenariosWorkBin(); // program folder & "\TempFiles\Scenarios.bin"
QString scenarioWorkBin();  // program folder & "\TempFiles\Scenario.bin"

// The checks of the boxes shared by the save and the clone: the start time, day and month,
// the weather blueprint file, and the question when no consist is driven. Shows the message of
// the first that fails (or asks) and returns false when the command is to stop.
bool saveChecksPass(const SaveRequest& request);

// Writes text and a line end as one ANSI work file, replacing an earlier one as a whole; on
// failure error says what failed.
bool writeWorkFile(const QString& path, const QString& text, QString& error);
// Writes a text as a work file (xmlPath) and has the serializer convert it (named on its command
// line as commandXmlPath) into binPath, with the program folder current.
bool writeAndConvert(const QString& xmlPath, const QString& commandXmlPath, const QString& binPath,
                     const QString& text, QString& error);

// "Save Changes". Reads the shared ScenarioProperties, ScenariosTextBefore/After, ScenarioText,
// RouteFolder, ScenarioFolder and GamePath and the editor's LoadedName, LoadedStartTime and
// IsTimetable; asks and reports through ui(). After a save the editor's ChangesSaved is set,
// IsTimetable follows the switch, its consist tables are cleared (ConsistCount 0) and the shared
// ScenarioText and ScenarioProperties are emptied. Nothing is changed on any other outcome.
// The hourglass shows while it runs and is gone again whenever it returns.
SaveOutcome saveScenario(ScenarioEditor& editor, const SaveRequest& request);

} // namespace scenarios
