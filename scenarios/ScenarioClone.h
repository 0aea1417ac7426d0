#pragma once
// "Clone Scenario with new Name" of the scenario editor: a new scenario in the same route made
// from the open one. The clone's properties block is a copy of the source's with a new identity
// (object id, GUID halves, DevString) and the property boxes written into it; it goes into the
// route's scenario list directly after the source's block. The clone's folder, named by the
// GUID beside the source's, gets a "Scenario.bin" made from the scenario text as loaded (the
// window's consist edits are not carried over) and a copy of the files directly in the source's
// "Scenery" folder.
//
// Every file is made and checked before the route's "Scenarios.bin" is replaced, and that is
// the last step: a clone that fails removes the folder it made and leaves the list as it was,
// and the editor keeps its texts and fields, so the clone can be tried again.

#include "scenarios/ScenarioSave.h"

#include <QString>

#include <functional>

namespace scenarios {

class ScenarioEditor;

// The identity texts of a new GUID, as NewGuid gives them: returns the GUID text and sets the
// two decimal halves.
using GuidSource = std::function<QString(QString& half1, QString& half2)>;

// Messages of the clone.
QString cloneNameUnchangedMessage();
QString cloneIllegalNameMessage();
QString cloneNoteMessage();
QString cloneDoneMessage(); // "Your New Scenarios.bin file has been updated."
// What failed, and on a second line that nothing was changed.
QString cloneFailedMessage(const QString& whatFailed);

// True when the display name holds one of . < > : / \ |
bool cloneNameHasIllegalCharacter(const QString& name);

// Sets the object id of a properties block: the whole value of the opening tag's d:id="..."
// plus 3127, in plain digits of whatever length. False (block unchanged) when the block does
// not open with a tag carrying a numeric d:id.
bool bumpObjectId(QString& block);

// Writes the new identity after the block's first "<UUID>": the two "e" elements get half1 and
// half2, "DevString" the GUID text. False (block unchanged) when "<UUID>" is missing, does not
// hold two "e" elements, or no DevString follows.
bool setCloneIdentity(QString& block, const QString& guid, const QString& half1, const QString& half2);

// The one line of "do_scene.bat", with its CR LF.
QString sceneryBatchLine(const QString& sourceFolder, const QString& newFolder);

enum class CloneOutcome {
    Cloned,  // the new folder and the new list are in place
    Stopped, // a check stopped the clone, or the user did; nothing was written
    Failed,  // something failed; the game is as it was
};

// The clone. Reads the shared ScenarioProperties, ScenariosTextBefore/After,
// ScenarioTextLoaded, RouteFolder, ScenarioFolder and GamePath and the editor's LoadedName;
// asks and reports through ui(). Changes no shared text; after a clone the editor's
// ChangesSaved is set. The hourglass shows from the end of the checks until it returns.
CloneOutcome cloneScenario(ScenarioEditor& editor, const SaveRequest& request,
                           const GuidSource& newGuid = GuidSource());

} // namespace scenarios
