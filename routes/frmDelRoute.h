#pragma once
// The route list window: the user picks one route of the installed game and, within it, one
// scenario. It reads "Content\Routes.xml" when it loads, lists a route's scenarios and deletes
// a scenario; the other route utilities act on the route and scenario picked here.
//
// The window loads (Form_Load) when it is constructed, in the mode the shared flags
// PackageRouteMode and PackageScenariosMode give at that moment.

#include "routes/RouteList.h"

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class BusyScope;
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
};
