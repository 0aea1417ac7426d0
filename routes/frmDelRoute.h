#pragma once
// The route list window: the user picks one route of the installed game and, within it, one
// scenario. It reads "Content\Routes.xml" when it loads, lists a route's scenarios and deletes
// a scenario; the other route utilities act on the route and scenario picked here.
//
// The window loads (Form_Load) when it is constructed, in the mode the shared flags
// PackageRouteMode and PackageScenariosMode give at that moment.

#include "common/CommandBusyScope.h"
#include "routes/RouteList.h"

#include <QStringList>
#include <QWidget>

class QCloseEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimer;

class frmDelRoute : public QWidget, public routes::RouteListState {
    Q_OBJECT
public:
    // The task the window was loaded for: the route check (PackageRouteMode and
    // PackageScenariosMode False), a route package or a scenario package.
    enum class ListMode { Check, RoutePackage, ScenarioPackage };

    explicit frmDelRoute(QWidget* parent = nullptr);
    ~frmDelRoute() override;

    // The window's one instance, created (and so loaded) on first use; closing it deletes it,
    // so the next use loads it anew.
    static frmDelRoute& instance();
    // The instance when one is open, else null.
    static frmDelRoute* existing();

    // The distance of the lists' tab stop in pixels (170 dialog units of the list font).
    int tabStopPixels() const;
    // True while a long command runs (the window's commands are disabled meanwhile).
    bool isBusy() const { return busy_ > 0; }
    // The mode the window loaded in; it stays so for the window's life, whatever the shared
    // flags say later.
    ListMode loadedMode() const { return mode_; }

    QLabel* Label1 = nullptr; // "Route Name"
    QLabel* Label2 = nullptr; // "Route Folder"
    QLabel* Label3 = nullptr; // "Scenario Name"
    QLabel* Label4 = nullptr; // "Scenario Folder"
    QListWidget* List1 = nullptr; // routes: name, tab, folder
    QListWidget* List2 = nullptr; // routes: folder
    QListWidget* List3 = nullptr; // scenarios: name, tab, folder
    QListWidget* List4 = nullptr; // scenarios: folder (scenario-package mode: the package list)
    QListWidget* List5 = nullptr; // stock lines of a scenario package
    QListWidget* File1 = nullptr; // tile files while a route is scanned
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr; // key "Processing"
    QLabel* StatusPanel2 = nullptr; // key "Time panel"
    QLabel* StatusPanel3 = nullptr;
    QPushButton* Command1 = nullptr;  // "List Scenarios in Selected Route"
    QPushButton* Command2 = nullptr;  // "Delete Selected Scenario"
    QPushButton* Command3 = nullptr;  // "List Stock used by selected Scenario"
    QPushButton* Command4 = nullptr;  // "Check Selected Route"
    QPushButton* Command5 = nullptr;  // "Add to Package"
    QPushButton* Command6 = nullptr;  // "Process Package"
    QPushButton* Command7 = nullptr;  // "Substitute Scenery Item"
    QPushButton* Command8 = nullptr;  // "Package this Routes Assets"
    QPushButton* Command9 = nullptr;  // "Clone Route"
    QPushButton* Command10 = nullptr; // "&Abort"
    QPushButton* OKButton = nullptr;  // "Delete Selected Route" / "Package Selected Route"
    QPushButton* CancelButton = nullptr; // "&Exit"

public slots:
    void Form_Load();
    void List1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    void Command4_Click();
    void Command9_Click();
    void Command10_Click();
    void CancelButton_Click();

    // Route package and route deletion (packaging/frmDelRoutePackage.cpp): the OK button's two
    // branches, chosen by loadedMode(), and "Package this Routes Assets". The packaging
    // handlers live in packaging/, which builds on the route scan; routes/ never includes it.
    void OKButton_Click();
    void Command8_Click();

public:
    // Scenario package (packaging/frmDelRouteScenarios.cpp): "Add to Package" and "Process
    // Package", and the package's values, which start empty with the window.
    struct ScenarioPackageValues {
        QString packageName;      // set by the first add, kept for Process and the zip offer
        QString routeFolder;      // the first add's route folder
        QString batchText;        // the copy lines, each ending in CR LF
        QStringList relEntries;   // "Rail Simulator\..." of each added scenario, in order
        bool lampAddOnNeeded = false;
    };
    void Command5_Click();
    void Command6_Click();
    const ScenarioPackageValues& scenarioPackage() const { return scenarioPackage_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CommandBusyScope<frmDelRoute>;
    using BusyScope = CommandBusyScope<frmDelRoute>;
    void buildControls();
    void updateTimePanel();
    // The route check of Command4_Click for the route whose folder is routeFolder.
    void checkRoute(const QString& routeFolder);
    // Reads "Routes.xml" again and refills the route tables and lists (after a clone), with the
    // route of selectFolder selected.
    void reloadRoutes(const QString& selectFolder);
    void setCommandsEnabled(bool enabled);
    // Shows a command's button when the mode calls for it and its command is available.
    void showCommand(QPushButton* button, bool wantedInMode);

    QTimer* clock_ = nullptr;
    int busy_ = 0;
    ListMode mode_ = ListMode::Check;
    ScenarioPackageValues scenarioPackage_;
    // Runs a scenario package command with the window's commands disabled.
    template <typename F> void runPackageCommand(F&& command);
};
