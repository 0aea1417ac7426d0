#pragma once
// Crew and passengers for rolling stock: passengers or a driver go into a blueprint's child
// entries from a template of the program folder, and the blueprint as it was stays beside it
// as a twin ("_MT" for the empty carriage, "_PO" for the unmanned car); a conductor is a copy
// of the driver entry with one value's sign turned. The text work is here; the commands run
// through the blueprint edit pipeline. No window here; messages go through the Ui seam.

#include "assets/BlueprintPipeline.h"

#include <QHash>
#include <QString>

#include <vector>

namespace assets {

// The template files, below the program folder's "Templates".
inline const QString PassengersTemplate = QStringLiteral("AddPassengers.txt");
inline const QString PassengersTemplate2 = QStringLiteral("AddPassengers2.txt");
inline const QString PassengersTemplate3 = QStringLiteral("AddPassengers3.txt");
inline const QString DriverTemplate = QStringLiteral("AddDriver.txt");

// The passenger template for a blueprint's base name (its file name without the extension):
// brake and guard coaches ("BCK", "BFK", "GUARD") get the third, other Mk1 coaches the first,
// everything else the second. Only the base name is looked at, in any case.
QString PassengerTemplateFor(const QString& baseName);

// Puts entries into the text's first "<Children>" element: directly after the line break that
// follows the tag (CR LF or LF), or directly after the tag when no line break follows it. A
// text with "<Children/>" instead gets a whole "<Children>" element holding the entries.
// False (result untouched) when the text has neither.
bool InsertChildEntries(const QString& text, const QString& entries, QString& result);

// The twins' suffixes, and a twin's path: the full path with its last four characters (".bin")
// replaced by the suffix and ".bin".
inline const QString PassengerTwinSuffix = QStringLiteral("_MT");
inline const QString DriverTwinSuffix = QStringLiteral("_PO");
QString TwinPath(const QString& fullPath, const QString& suffix);

// The empty carriage: "Name" (from the first "<Name ") and the "English" text after it read
// displayName & "_MT"; the other languages keep their texts.
QString PassengerTwinText(const QString& text, const QString& displayName);
// The unmanned car: every occurrence of displayName, in any case, becomes displayName & "_PO";
// an empty display name changes nothing.
QString DriverTwinText(const QString& text, const QString& displayName);

// Why a blueprint cannot take a conductor.
enum class ConductorFault {
    None,
    NoChildren,   // no "<Children>"
    NoDriver,     // no ">Driver<" after it
    NoEntry,      // the driver text lies in no child entry
    NoValues,     // the entry has no "<Element>" list
    TooFewValues, // fewer than thirteen values in it, or the thirteenth is not closed
};
// Copies the driver child entry as a conductor entry placed directly after it: ">Driver<"
// becomes ">Conductor<", "WP_04_02" becomes "WP_04_01", and the thirteenth value of its
// "<Element>" list changes sign ("0.8" to "-0.8", "-0.8" to "0.8", "" to "-"). On a fault the
// result is untouched.
ConductorFault AddConductor(const QString& text, QString& result);

// One selected row and the text of its Name cell.
struct CrewRow {
    SelectedRow row;
    QString displayName;
};

// The rows for the blueprint pipeline, and each blueprint's display name by its full path
// (the first row's name where a blueprint is listed twice).
void SplitCrewRows(const std::vector<CrewRow>& rows, const QString& gamePath, std::vector<SelectedRow>& selected,
                   QHash<QString, QString>& names);

enum class CrewCommand { Passengers, Driver, Conductor };

// The confirmation of each command.
QString CrewWarning(CrewCommand command);
// The messages of a row passed over, and of a missing template.
QString NoChildrenMessage(const QString& fullPath);
QString ConductorFaultMessage(ConductorFault fault, const QString& fullPath);
QString MissingTemplateMessage(const QString& templatePath);

// A command's edit of one row's text (the row's Name cell trimmed as displayName): for the
// passengers and the driver the edited blueprint in place (with a backup) and the twin at its
// path (an existing twin backed up); for the conductor the edited blueprint in place. A
// template is read for each row; a missing one ends the run with a message.
EditResult CrewEdit(CrewCommand command, const RowPaths& row, const QString& text, const QString& displayName);

// The whole command over the selected rows: its confirmation, no selection or product check,
// "BluePrints.pak" of every product written to deleted and the closing message.
PipelineResult RunCrewCommand(CrewCommand command, const std::vector<CrewRow>& rows, const QString& gamePath,
                              const PipelineHooks& hooks = PipelineHooks());

} // namespace assets
