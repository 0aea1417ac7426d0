#pragma once
// The scenario editor's reading of a scenario's properties block (cut out of the route's
// "Scenarios.bin" by the browser) into its twelve property boxes, the hours-and-minutes texts
// it shows for times stored in seconds, the weather blueprint taken from its weather folder
// list, and the scenario type switch's edit of the scenario text.
//
// Loading is one long run of small steps. Each step runs through LoadSteps: a step that fails
// is reported with the value of the loading's progress counter, and loading goes on with the
// next step, so one damaged element costs one message and not the whole window.

#include <QString>

#include <array>
#include <functional>

namespace scenarios {

// The progress counter of the editor's loading and the report of a failing step.
class LoadSteps {
public:
    // The progress counter; the loading code sets it as it passes its milestones.
    int a = 0;
    // A quiet run counts failing steps but shows nothing (the tables read again after an edit).
    bool quiet = false;

    // Runs one step. A VbError (or any other exception) is reported with failureMessage()
    // (OK button, exclamation icon, the program's title) and swallowed.
    void run(const std::function<void()>& step);

    // How many steps have failed so far.
    int failures() const { return failures_; }

    // "Error - <description> occurred loading frmZelvorn Value of a= <a>".
    static QString failureMessage(const QString& description, int a);

private:
    int failures_ = 0;
};

// The property boxes, Text1(0) to Text1(11), in the window's order.
enum PropertyBox : int {
    DisplayNameBox = 0,
    DescriptionBox,
    BriefingBox,
    StartTimeBox,
    DurationBox,
    StartDayBox,
    StartMonthBox,
    StartYearBox,
    SeasonBox,
    WeatherProviderBox,
    WeatherProductBox,
    WeatherBlueprintBox,
};
inline constexpr int PropertyBoxCount = 12;
using PropertyBoxes = std::array<QString, PropertyBoxCount>;

// The captions of the boxes' labels, Label1(0) to Label1(11).
const std::array<QString, PropertyBoxCount>& propertyBoxCaptions();

// The season list of the season box.
const QStringList& seasonNames();

// What the properties block gives the window.
struct ScenarioPropertiesRead {
    PropertyBoxes boxes;
    QString loadedName;      // the display name as read
    QString loadedStartTime; // the "StartTime" text as read ("25200.0000")
    bool isTimetable = false; // the block holds the word "timetable" (any case)
};

// Reads the block as the editor's loading does. The display name, description and briefing
// are the first non-empty language texts of their localised elements (each searched from
// the one before); then "StartTime", "DurationMins", "StartDD", "StartMM", "StartYYYY",
// "Season", "Provider", "Product" and "BlueprintID" are read one after the other, each from
// where the one before ended, into one result. So an element that is missing leaves the
// previous value in its box, and every later read fails with its own message (the search
// position is then 0). Sets steps.a to 3, 4, 5 and 6 along the way.
ScenarioPropertiesRead readScenarioProperties(const QString& block, LoadSteps& steps);

// Hours and minutes ("HHMM") of a time stored in seconds after midnight. Hours: the seconds
// divided by 3600, rounded down. Minutes: the seconds rounded to a whole number (halves to
// even), the remainder of that by 3600, divided by 60 and rounded to a whole number (halves
// to even) - so 30630 gives "0830" and a remainder of 3570 or more gives "60" minutes.
// Each part is written with at least two digits. A text that is not a number reads as 0.
QString startTimeText(const QString& seconds);

// The same, with the minutes rounded down (the consists' start times): 30690 gives "0831".
QString consistStartTimeText(const QString& seconds);

// The folder the weather list opens: gamePath & "\Assets\" & provider & "\" & product &
// "\Weather". Names that lead out of the Assets folder give the Assets folder itself: the list
// opens there, as it does for a provider folder that is missing. Behind a link that leads
// nowhere (a disk that is not mounted) the Weather folder is a missing one.
QString weatherFolderOf(const QString& gamePath, const QString& provider, const QString& product);

// The weather blueprint chosen in the weather lists.
struct WeatherChoice {
    QString provider;  // the folder after "Assets"
    QString product;   // the folder after the provider
    QString blueprint; // the path below the product folder, ending ".xml"
};

// "Set Weather": file is the chosen file of the list (a name ending "bin" in any case ends
// "xml" instead), folder the folder the list shows. The provider is the folder after the
// first "Assets" of folder, the product the folder after that, and the blueprint the rest of
// folder below the product, a "\" and the file. When folder starts with gamePath, "Assets" is
// looked for after it only, so a game folder whose own path holds the word cannot mislead
// the split. A file lying directly in the product folder gives the blueprint file alone.
// False, with choice unchanged, when no file is given or folder has no "Assets" followed by
// a provider and a product folder.
bool splitWeatherPath(const QString& gamePath, const QString& folder, const QString& file, WeatherChoice& choice);

// Writes value into every "Timetabled" element of the scenario text, each search starting
// where the previous write ended. Returns how many elements were written.
int setEveryTimetabled(QString& scenarioText, const QString& value);

} // namespace scenarios
