#pragma once
// The program-wide variables that every window reads and writes. There is one instance,
// reached through shared(); only the user-interface thread touches it, so nothing locks it.
// Booleans that the windows hand around as True/False are bool here; small numbers that
// are 16-bit in the game tools are int, so no arithmetic on them can overflow.

#include "common/VbArray.h"

#include <QString>

struct SharedState {
    // Settings: kept in "preferences.txt" (GamePath without a trailing "\"); SessionEditor
    // is the editor page chosen for this run only (0 none, 1 text page, 2 tree page).
    QString GamePath;
    QString TextureEditorPath;
    QString ViewerPath;
    QString AcrobatPath;
    bool XmlEditorDefault = false;
    int SessionEditor = 0;

    // Modes the hub sets just before it shows a tool that serves several menu items.
    int MarkerToolMode = 0; // 1 marker files, 2 DCSV
    int BlueprintMode = 0;  // 1 named markers, 2 series markers, 3 route template
    bool BlueprintPending = false;
    bool PackageRouteMode = false;
    bool PackageAssetsMode = false;
    bool PackageScenariosMode = false;

    // Answers a modal dialog leaves for its opener.
    int LampDialogChoice = 0;   // train type after the head-lamp dialog, row after the tail-lamp one; 0 none
    int HeadTemplateChoice = 0; // row of the chosen head-lamp template; 0 none
    QString NewItemName;
    QString NewInternalName;
    QString NewFileName;
    QString NewFolderName;
    bool CoachNameCancelled = false;
    int SelectedRouteIndex = 9999; // 0-based line of the route selection; 9999 cancelled or none
    bool FindContinue = false;     // True: stop searching, False: continue
    QString SubstituteFolder;
    QString BlueprintFolder;
    QString PackageFolder;

    // The game file in work and the XML work copy of the last game file opened.
    QString CurrentFile;
    QString CurrentFileExt;
    bool SkipOpenDialog = false; // CurrentFile was named on the command line
    QString TempXmlPath;

    // Route and scenario tables, indexed from 0; entry k belongs to row k of the lists that
    // show them. Empty until a window dimensions them.
    VbArray<QString> RouteNames;
    VbArray<QString> RouteFolders;
    VbArray<QString> ScenarioFolders;
    VbArray<QString> ScenarioNames;

    // Report window text, the abort flag of long scans, the route description folder.
    QString ReportText;
    bool AbortScan = false;
    QString RouteInfoFolder;

    // Text page search: the text looked for and the 0-based positions of the last search
    // (-1: nothing found).
    QString SearchText;
    qsizetype SearchStartPos = 0;
    qsizetype SearchFoundPos = -1;

    // The scenario in the scenario editor: the route's scenario list cut around the
    // scenario's properties block, the scenario as converted and its working copy, the
    // route's track network, and the folders they come from. Timetabled is set once a
    // change to a timetabled scenario is confirmed and stays set for the run.
    QString ScenarioProperties;
    QString ScenariosTextBefore;
    QString ScenariosTextAfter;
    QString ScenarioTextLoaded;
    QString ScenarioText;
    QString TracksText;
    QString RouteFolder;
    QString ScenarioFolder;
    bool Timetabled = false;

    // Available-stock search of the scenario editor.
    bool ListAllStock = false;
    QString StockBasePath;
    QString AssetsBasePath;
    QString LastStockFolder;

    // Asset editor: the product folder of the listed blueprint, the lamp templates
    // (rows 0 to 50, columns 0 to 8), the train types of the head-lamp dialog (0 to 9)
    // with their lamp slots (train type 0 to 9, slot 0 to 2), and the print preview's
    // source (5: the asset grid) and option.
    QString ProductFolder;
    VbTable<QString> LampTable{50, 8};
    VbArray<QString> TrainTypeNames{0, 9};
    VbTable<int> LampSlots{9, 2};
    int PrintSource = 0;
    int PrintOption = 0;

    // Scenario packaging: whether lamp add-ons must go into the package, the scenario
    // being scanned, and the stock rows for the package's stock list.
    bool LampAddOnNeeded = false;
    QString ScanFileText;
    QString StockListText;
};

// The one instance.
SharedState& shared();

// Back to the values the program starts with.
void resetShared();
