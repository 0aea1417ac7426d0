#pragma once
// The work behind the route and scenario browser (frmShowRoutes): reading the game's route
// list, listing a route's scenarios, preparing the texts the scenario editor works on,
// removing empty consists, restoring the first backups, managing copies of a scenario's
// "CurrentSave.xml" and starting the game or its editor.
//
// The browser never decodes a game file itself: the serializer turns each one into an XML
// work file in the program folder's "TempFiles", and the text of that file is searched and
// cut. Paths are built as Windows text (GamePath & "\content\Routes\" & ...) and turned into
// real paths only at the file-system call.
//
// Every command reports to the user itself through ui(); none throws.

#include <QString>
#include <QStringList>

namespace scenarios {

// The display name of a localised text, read from position `from` (1-based): the text of the
// first "English" element from there, or, while the name is empty, of the "French", "Italian",
// "German" and "Spanish" elements, each searched from the start of the element tried before.
// closingPos receives the position of the closing tag of the last language element read.
// A language element missing on the way throws VbError 5.
QString localisedName(const QString& text, qsizetype from, qsizetype* closingPos = nullptr);

// A row of the route and scenario lists: display name, a tab, folder name.
QString listRow(const QString& name, const QString& folder);

// True when a folder name read from a scenario list may be used to build a path below the
// route's "Scenarios" folder: not blank, no "\", "/" or ":", and no "..".
bool isPlainFolderName(const QString& name);

// A scenario's properties block cut out of the route's scenario list: before + block + after
// gives the list text back character for character.
struct ScenarioPropertiesCut {
    QString before;
    QString block; // from "<cScenarioProperties" to "</cScenarioProperties>" inclusive
    QString after;
};

// Cuts the block whose "DevString" is id (ignoring case; FindScenarioEntry) out of the list
// text. Throws VbError 5 when no complete block has that DevString.
ScenarioPropertiesCut cutScenarioProperties(const QString& listText, const QString& id);

// The scenario text without its consists that hold no vehicle. A consist is the text from its
// "<cConsist d:id"; it holds a vehicle when the first "<cOwnedEntity" from its start lies
// before the next consist. A consist followed by another loses everything from its "<" up to,
// not including, the character just before the next consist's "<"; the last consist loses
// everything through the ">" of its closing tag. removed (when given) receives the number of
// consists taken out.
QString removeEmptyConsists(const QString& scenarioText, int* removed = nullptr);

// The browser's state and commands. The window shows routeRows, scenarioRows and the files of
// savedCopiesFolder, and passes its selections in; row numbers count from 0, -1 for none.
class ScenarioBrowser {
public:
    // Window fields.
    QString RoutesXmlPath;     // GamePath & "\Content\Routes.xml"
    QString RoutesXmlText;     // that file's text; later the converted scenario list
    QString SelectedRoutePath; // the folder of the route last listed
    QString ScenariosXmlName;  // "Scenarios.xml", the work copy of the scenario list

    QStringList routeRows;     // List1
    QStringList scenarioRows;  // List3
    QString savedCopiesFolder; // the folder File2 shows ("*.xml"); empty: it lists nothing

    // Loading: fills the shared RouteNames and RouteFolders and routeRows from Routes.xml.
    void load();

    // "List Scenarios in Selected Route": fills the shared ScenarioFolders and ScenarioNames
    // and scenarioRows from the route's "Scenarios.bin".
    void listScenarios(int routeRow);

    // Choosing a scenario: sets the shared RouteFolder and ScenarioFolder and points the saved
    // copies at the scenario folder. False (nothing else changed) when no scenario row is given.
    bool chooseScenario(int scenarioRow);

    // "Edit Selected Scenario": converts the route's scenario list, the scenario and the
    // route's track network and fills the shared scenario texts. True when the editor is to
    // be shown; on any failure a message has been shown and the shared texts are unchanged.
    bool prepareEditor(int selectedScenarioRow);

    // "Remove Empty Consists from selected Scenario". True when "Scenario.bin" was replaced.
    bool removeEmptyConsistsFromScenario(int selectedScenarioRow);

    // "Revert to Default for selected Route" and "... Scenario": restore "Scenarios.bak"
    // (or "Scenario.bak") over the game file, then delete the numbered backups.
    void revertRoute(int routeRow);
    void revertScenario(int scenarioRow);

    // The "*.xml" files of savedCopiesFolder, sorted ignoring case.
    QStringList savedCopies() const;

    // "Save CurrentSave.xml As": asks for a name and copies the scenario's "CurrentSave.xml".
    // True when a copy was made.
    bool saveCurrentSaveAs();
    // "Overwrite CurrentSave.xml with Selected file". True when "CurrentSave.xml" was replaced.
    bool overwriteCurrentSave(const QString& selectedFile);
    // "Run RailSim Using Selected Save File". True when the game was started.
    bool runGame(const QString& selectedFile);
    // "RunRailSim Editor using this Save File". True when the editor was started.
    bool runGameEditor(const QString& selectedFile);

    // Unloading: ends every running "RS_Zelvorn.exe".
    static void unload();

    // The work folder and the game's programs.
    static QString workFolder();   // program folder & "\TempFiles"
    static QString gameProgram();  // GamePath & "\RailSim.exe"
    static QString editorProgram(); // GamePath & "\RailSimEditor.exe"

private:
    bool convertToWork(const QString& gameFile, const QString& workFile, QString& text);
    bool replaceCurrentSave(const QString& selectedFile, const QString& handler);
    bool startProgram(const QString& program, const QString& handler);
    void restoreFirstBackup(const QString& bin, const QString& bak, const QString& handler);
    QString selectedScenarioId(int selectedScenarioRow);
};

} // namespace scenarios
