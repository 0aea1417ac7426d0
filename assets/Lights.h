#pragma once
// Head-lights and tail-lights for rolling stock: a lit copy of each selected blueprint is
// written beside it ([base] & suffix & ".bin"), holding lamp child entries built from the
// program folder's templates: "Templates\UKLights.txt" lists the lamp templates (which lamp
// blueprint, where it sits), "Templates\UKCode.txt" is one lamp child entry with placeholders.
// The lamp blueprints come from the lamp add-on "LumavethLights\Assets" of the program folder,
// which is shipped as XML sources, converted with the user's own serializer on first need and
// copied into the game when its marker blueprint is missing there. The source blueprint is
// never changed. No window here: the dialogs are shown through a callback, messages go
// through the Ui seam.

#include "assets/BlueprintPipeline.h"
#include "assets/CrewPassengers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

struct SharedState;

namespace assets {

// The template files, below the program folder's "Templates".
inline const QString LightsTemplate = QStringLiteral("UKLights.txt");
inline const QString LampCodeTemplate = QStringLiteral("UKCode.txt");

// One record of the lamp list: eight fields, numbered 0 to 7 (name, lamp blueprint, and the
// position values; field 6 "0" marks a tail lamp).
using LampRecord = std::array<QString, 8>;

// Reads the lamp list as comma-separated sequential input: a field ends at a comma or a line
// end, may stand in double quotes (then taken as it is, commas included), blanks around an
// unquoted field are dropped, blank lines are passed over; a record is simply the next eight
// fields, so one may run over two lines. The fields a last record cut short did not reach are
// empty.
std::vector<LampRecord> ReadLampRecords(const QString& text);

enum class LampKind { Head, Tail };
// Field 6 is "0" (in any case).
bool IsTailRecord(const LampRecord& record);

// What reading the records into the lamp table gave.
struct LampList {
    QStringList names;      // field 0 of each record of the kind, in file order
    bool complete = true;   // false: a record's lamp blueprint is not in the game, and the
                            // list must not be used
    QString missing;        // field 1 (as read) of that record
};
// Checks every record's lamp blueprint (GamePath & "\Assets\" & field 1, records of both kinds;
// one that leads out of the Assets folder counts as missing)
// and puts the records of the kind into rows 1, 2, ... of state.LampTable (growing it by 50
// rows when full), column k holding field k: fields 0 and 1 without surrounding blanks, field
// 1 with its last three characters replaced by "xml". Row 0 and column 8 are not written.
LampList LoadLampTable(const std::vector<LampRecord>& records, LampKind kind, const QString& gamePath,
                       SharedState& state);

// The train types of the head-lamp dialog, 1 to 9: the list text, the two lamp positions
// (1 to 4, 0 for none) and the lit copy's suffix.
struct TrainType {
    const char* name;
    int slot1;
    int slot2;
    const char* suffix;
};
inline constexpr int TrainTypeCount = 9;
// Train type n (1 to 9); anything else raises VbError 9.
const TrainType& trainType(int n);
// Sets state.TrainTypeNames 0 to 8 and state.LampSlots for train types 1 to 9.
void SetTrainTypes(SharedState& state);
inline const QString TailSuffix = QStringLiteral("_Rear");

// The three position values that replace "111111", "222222" and "333333" in a head lamp at
// position 1 to 4, from a lamp table row (columns 0 to 7).
std::array<QString, 3> HeadLampPosition(const LampRecord& row, int position);

// The lamp child entry: the template text with every placeholder replaced (all occurrences,
// any case, in one pass, so a value is never replaced again): "HeadLamp" by "HeadLamp " &
// position (a tail lamp: "TailLamp"), "444444", "555555", "666666" by the provider, product
// and path of column 1, "777777" by "1.0000" ("-1.0000" for a tail lamp), "111111", "222222"
// and "333333" by the position values (a tail lamp: columns 2, 3 and 4).
QString FillLampBlock(const QString& code, const LampRecord& row, LampKind kind, int position = 0);

// Puts each block directly after the text's first "<Children>" tag (any case), one after the
// other, so the last block comes first. False (result untouched) when there is no such tag.
bool InsertLampBlocks(const QString& text, const QStringList& blocks, QString& result);

// The lit copy of a blueprint: [folder]\[base] & suffix & ".bin".
QString LitCopyPath(const RowPaths& row, const QString& suffix);

// The lamp add-on: its folder in the program folder, and the blueprint whose presence in the
// game shows that the add-on is installed there, one per command.
QString LampAddOnFolder(); // program folder & "\LumavethLights\Assets"
inline const QString HeadMarker = QStringLiteral("\\Assets\\Kuju\\DaraDerovizor\\Scenery\\Animated\\oillamp_white_drb.bin");
inline const QString TailMarker = QStringLiteral("\\Assets\\Kuju\\DaraDerovizor\\Scenery\\Animated\\taillight_drb.bin");

// Makes the lamp add-on ready to be copied: every XML source in it ("name.bin.xml") is
// converted with the serializer (" bin:") into the game file beside it ("name.bin"), and only
// when every output has been made are the sources removed, so that the folder (which goes
// into the game and into packages) holds the user's own binaries only. A folder without
// sources has been made ready before. False, with the reason in *error, when the folder is
// missing, a conversion or a removal fails, or no lamp blueprint is left in it.
bool EnsureLampAddOn(QString* error = nullptr);

// The command's first step: when the kind's marker blueprint is missing in the game, the
// add-on is made ready and copied onto GamePath & "\Assets", replacing files there. False,
// with the reason in *error, when either fails.
bool InstallLampAddOn(LampKind kind, const QString& gamePath, QString* error = nullptr);

// The texts of the commands.
inline const QString LightFilesMissing = QStringLiteral("You do not appear to have the Light files installed:-");
QString LightFilesMissingMessage(const QString& lampBlueprint);
QString LampTemplateMissingMessage(const QString& templatePath);
QString LampNoChildrenMessage(const QString& fullPath);
QString LampAddOnFailedMessage(const QString& reason);

// Shows the kind's dialog with the template names and the first row's display name; the
// choices come back in the shared LampDialogChoice and HeadTemplateChoice.
using LampDialog = std::function<void(const QStringList& templateNames, const QString& displayName)>;

// The whole command over the selected rows: the two templates are read (a missing one ends the
// command with a message) and the add-on installed first, then per row the conversion; on the
// first row with XML the lamp list is checked and the dialog is shown (a missing lamp
// blueprint, or no choice, ends the run before anything is written); every row
// with "<Children>" gets the chosen blocks and the suffixed names and goes, converted and
// checked, to its lit copy (replacing one of that name); a row without is passed over with a
// message. "BluePrints.pak" of every product written to is deleted, and the closing message
// shown, when something was written.
PipelineResult RunLightsCommand(LampKind kind, const std::vector<CrewRow>& rows, const QString& gamePath,
                                const LampDialog& dialog, const PipelineHooks& hooks = PipelineHooks());

} // namespace assets
