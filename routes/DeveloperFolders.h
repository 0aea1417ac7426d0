#pragma once
// The developer's work under the game's "Source" folder, without the windows: the folder
// picker's add-on tree ("Set Up Sub- Folders") and the blueprint designer's templates
// ("Markers - Named", "Markers - Series", "Route Template").

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace routes {

// ---- the folder picker (frmFolder) ----

// The picker's caption and whether its add-on name box shows, for the shared blueprint flags.
QString folderPickerCaption(bool blueprintPending, int blueprintMode);

// True when name can be made as one folder on Windows: not empty, no "\", "/" or "..", none
// of the characters < > : " | ? * or control characters, and not only blanks and dots.
bool IsNewFolderName(const QString& name);
QString badAddOnNameMessage(const QString& name);

// The add-on tree in the order of creation: each row is a folder relative to the add-on
// folder ("" the add-on folder itself) with the sub-folders made in it.
const std::vector<std::pair<QString, QStringList>>& addOnTree();

// "Confirm" without a blueprint pending: makes base (folder & "\" & name) and its tree, unless
// base already exists (an empty name names folder itself), in which case nothing is made.
// False, with failed set to the folder that could not be made, when a folder cannot be made;
// a name that Windows does not allow raises VbError 52 before anything is made.
bool makeAddOnFolders(const QString& folder, const QString& name, QString& failed);
QString folderNotMadeMessage(const QString& folder);

// ---- the blueprint designer (frmBlue) ----

struct BlueprintForm {
    QString heading;    // empty for a mode without a form
    QStringList labels; // the labels of the boxes shown, from box 0
};
BlueprintForm blueprintForm(int blueprintMode);

// The template of a mode in the program folder ("BluePrints\Blue_Named.xml"...); "" for
// other modes.
QString blueprintTemplatePath(int blueprintMode);

// "Make Blueprint": fills the mode's template with the texts of the boxes and writes it to
// folder & "\" & boxes[0] & ".xml", replacing a file of that name without a backup. An empty
// folder, an unusable name, and a missing or empty template are refused with a message and
// nothing is written. Returns the path written, or "" when nothing was.
QString makeBlueprint(int blueprintMode, const QString& folder, const QStringList& boxes);

// The blueprint text itself: the template with every "ZZZZZZ", "XXXXXX" and "YYYYYY"
// replaced (exact case); a ".csv" name whose last four characters are not ".csv" gets it.
QString fillBlueprint(int blueprintMode, const QString& templateText, const QStringList& boxes);

QString noBlueprintFolderMessage();
QString badBlueprintNameMessage(const QString& name);
QString missingTemplateMessage(const QString& path);

} // namespace routes
