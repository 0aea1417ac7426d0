#pragma once
// The scenario editor's consist and vehicle commands: duplicate, delete, load and unload
// vehicles; drive, duplicate, delete, re-time, re-class, re-route and move consists; and what
// the consist list and the vehicle details show.
//
// Every command is a function from the scenario text and the user's choices to an EditResult:
// the new text, or a refusal, and the message the user reads. A command never changes the text
// it is given; the window commits a changed text (commitEdit) and shows the message. A command
// that fails at run time throws (VbError), and then nothing is committed.
//
// Consist k is the (k+1)-th "<cConsist " of the text up to its first "</cConsist>"; vehicle j
// of consist k is the (j+1)-th "<cOwnedEntity" from the consist's start up to its first
// "</cOwnedEntity>", and it is looked for only inside consist k. Searches ignore case unless
// they are said to be exact. Values are read and written with the scenario editor's tag
// helpers (tags::scenarioEditor).

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace scenarios {

class ScenarioEditor;
struct ConsistRecord;
class ConsistModel;

// ---- messages ---------------------------------------------------------------------------------

QString scenarioUpdateNote();      // "Your Scenario information will be updated once you save changes."
QString driverUpdateNote();        // "Your Scenario Driver information will be updated once you save changes."
QString noItemToDuplicateMessage(); // "You have not selected an item to duplicate?"
QString noItemToDeleteMessage();    // "You have not selected an item to delete?"
QString noLocomotiveMessage();      // "You have not selected a locomotive to drive?"
QString noOriginMarkerMessage();    // no marker chosen for Duplicate Consist / Change Origin Point
QString noDestinationMarkerMessage(); // no marker chosen for Change Destination
QString notLoadableMessage(const QString& rowText); // rowText & " is not a loadable vehicle"
QString noDriverMessage();          // "This consist has no driver and cannot be driven."
QString consistNamePrompt();        // the input box of Duplicate Consist
// "Nothing was changed: " followed by what was missing.
QString nothingChangedMessage(const QString& what);

// The service classes 0 to 10, in order ("Special" ... "International").
const QStringList& serviceClassNames();

// ---- locating and cutting -----------------------------------------------------------------------

// Where an element stands in a text: the "<" of its start and the last character of its end tag
// (both counted from 1). start is 0 when the element was not found.
struct ElementCut {
    qsizetype start = 0;
    qsizetype end = 0;
    bool found() const { return start > 0; }
    qsizetype length() const { return found() ? end - start + 1 : 0; }
};

// Consist k (from 0): the (k+1)-th "<cConsist " to its first "</cConsist>".
ElementCut findConsist(const QString& text, qsizetype k);
// Vehicle j (from 0) of a consist: the (j+1)-th "<cOwnedEntity" from the consist's start to its
// first "</cOwnedEntity>", when both lie inside the consist.
ElementCut findVehicle(const QString& text, const ElementCut& consist, qsizetype j);

// The element's own text.
QString elementText(const QString& text, const ElementCut& cut);
// The text with the element replaced by middle: the text before it, middle, the text after it,
// joined once.
QString joinAround(const QString& text, const ElementCut& cut, QStringView middle);

// A vehicle's new running number: its value read as a number (the leading number; none reads
// as 0) plus 3, written without blanks: "4740" gives "4743", "D1234" gives "3".
QString nextUniqueNumber(const QString& number);

// ---- the commands -------------------------------------------------------------------------------

struct EditResult {
    enum class Status {
        Nothing, // nothing to do (no selection where no message is due)
        Refused, // the text is unchanged; message says why
        Changed, // text is the new scenario text
    };
    Status status = Status::Nothing;
    QString text;    // the new scenario text when Changed
    QString message; // what the user reads; "" for nothing
    int icon = 0;    // the message's icon (vbInformation for notes, vbExclamation for warnings)

    bool changed() const { return status == Status::Changed; }
};

// A command's two answers: a refusal with its warning, and a new text with its message.
EditResult refusedResult(const QString& message);
EditResult changedResult(QString text, const QString& message, int icon);
// The refusal when the selected consist is not in the text.
EditResult consistMissing();

// "Duplicate Item": a copy of vehicle j, numbered by nextUniqueNumber, right behind it.
EditResult duplicateItem(const QString& text, qsizetype k, qsizetype j);
// "Delete Item": vehicle j cut out.
EditResult deleteItem(const QString& text, qsizetype k, qsizetype j);
// "Load Selected Wagon(s)" (load) and "Unload Selected Wagon(s)": "IsPreloaded" of every given
// vehicle of consist k, in order, becomes "eTrue" (or "eFalse"). A vehicle whose text holds
// "<InitialLevel/>" stops the run with the not-loadable warning; the vehicles before it stay
// changed. A vehicle without IsPreloaded (or not found) is passed over and named after the note.
// rowTexts holds the vehicle list's row text of each of rows.
EditResult loadVehicles(const QString& text, qsizetype k, const QList<int>& rows, const QStringList& rowTexts,
                        bool load);
// "Drive It": every PlayerDriver and PlayerControlled becomes "0", then the first PlayerDriver of
// consist k "1". Refused for a consist without a PlayerDriver.
EditResult driveIt(const QString& text, qsizetype k, qsizetype j);
// "Duplicate Consist": a copy of consist k, renumbered, not driven, placed on the marker, named
// by askName (escaped as the property boxes are) and put before the consist it was made from.
EditResult duplicateConsist(const QString& text, qsizetype k, const QString& marker, const QString& tracksText,
                            const std::function<QString()>& askName);
// "Delete Consist": consist k cut out.
EditResult deleteConsist(const QString& text, qsizetype k);
// "Change Start Time": time is the "HHMM" text of the details window; written as seconds
// ("0530" -> "19800.0000") into the first StartTime after the consist's "</ServiceName>".
EditResult changeStartTime(const QString& text, qsizetype k, const QString& time);
// "Change Service Class": a class name (ignoring case) is written as its number, any other text
// escaped as it is.
EditResult changeServiceClass(const QString& text, qsizetype k, const QString& classText);
// "Change Destination": every whole element value equal (ignoring case) to oldDestination inside
// consist k becomes the marker's name.
EditResult changeDestination(const QString& text, qsizetype k, qsizetype j, const QString& oldDestination,
                             const QString& marker);
// "Change Origin Point": the consist's FrontFollower and RearFollower blocks become the marker's.
EditResult changeOriginPoint(const QString& text, qsizetype k, const QString& marker, const QString& tracksText);

// The marker's "<RibbonID>" ... "</RibbonID>" block in a route's track text: the last one before
// the marker's name, searched exactly. Empty, with why set, when there is none.
QString markerRibbonBlock(const QString& tracksText, const QString& marker, QString& why);
// Replaces, in a consist's text, the "<RibbonID>" block that is the last one before the first
// "FrontFollower", then the same for "RearFollower", by block. False, with why set and the text
// unchanged, when a follower or its block is missing.
bool placeConsistOnBlock(QString& consist, const QString& block, QString& why);

// ---- committing ---------------------------------------------------------------------------------

// Commits a changed result: it becomes the shared ScenarioText, the editor's ScenarioChanged is
// set and its tables are read again from the text without loading messages. Returns whether it
// committed.
bool commitEdit(ScenarioEditor& editor, const EditResult& result);
// Shows the result's message (OK button, its icon, the program's title), if it has one.
void showEditMessage(const EditResult& result);

// How a command changed a list's rows, for keeping its selection.
enum class RowChange { None, Inserted, Removed };
// The selected rows after a row was inserted behind `at` (Inserted) or row `at` removed
// (Removed); rows at or past count are dropped.
QList<int> remapRows(const QList<int>& selected, int at, RowChange change, int count);

// ---- the consist list and the details window ----------------------------------------------------

// What a click on a consist shows.
struct VehicleListing {
    QStringList rows; // the vehicle list; "Empty Consist" alone when the consist has none
    QString label7;   // "" or "Driven Loco Index " & the driven engine index
};
// Lists the consist's vehicles; every missing blueprint file (each once) is added to reportText,
// which starts with "Missing items:-" and a blank line (CR LF) when it was empty.
VehicleListing listVehicles(const ConsistRecord* consist, const QString& gamePath, QString& reportText);

// What a press on a vehicle row shows in the details window.
struct VehicleDetails {
    QString blueprint;   // Label1
    QString loadable;    // Label2
    QString loaded;      // Label3; "" leaves the caption as it was
    QString orientation; // Label4; "" leaves the caption as it was
    QString direction;   // Label5
    QString startTime;   // Text1
    QString destination; // Label7
    QString number;      // Label9
    int serviceClass = -1; // Combo1's entry; -1 leaves the combo as it was
};
// False when row j of consist k is not a vehicle of the tables (the "Empty Consist" row, or a row
// whose text is not the vehicle's name).
bool vehicleDetails(const ConsistModel& tables, qsizetype k, qsizetype j, const QString& rowText,
                    VehicleDetails& details);

} // namespace scenarios
