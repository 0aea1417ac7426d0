#pragma once
// The route and scenario browser: the entry window of the scenario editor. It lists the
// game's routes and the chosen route's scenarios, prepares a scenario for the scenario
// editor, removes empty consists, restores first backups, manages copies of the scenario's
// "CurrentSave.xml" and starts the game or its editor. The work is done by
// scenarios::ScenarioBrowser; the window reads its controls and shows the results.

#include "scenarios/ScenarioBrowser.h"

#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

class frmShowRoutes : public QWidget {
    Q_OBJECT
public:
    // The window is created (and loaded) on first use and shown non-modally; a window that
    // is already loaded is raised. Closing it unloads it: the next call loads it anew.
    static frmShowRoutes* showBrowser(QWidget* parent = nullptr);
    // The loaded window, or nullptr.
    static frmShowRoutes* loaded();
    // Unloads the loaded window, if any (the scenario editor does so when it saves, exits,
    // clones or starts the game).
    static void unloadBrowser();

    // What "Edit Selected Scenario" calls once the shared scenario texts are ready: shows the
    // scenario editor window. Until one is set, the texts are prepared and nothing is shown.
    static void setScenarioEditorLauncher(std::function<void()> launcher);

    explicit frmShowRoutes(QWidget* parent = nullptr);
    ~frmShowRoutes() override;

    scenarios::ScenarioBrowser& browser() { return browser_; }

    // Controls.
    QLabel* Label1 = nullptr;  // "Route Name"
    QLabel* Label3 = nullptr;  // "Folder Name" (routes)
    QLabel* Label1s = nullptr; // "Scenario Name"
    QLabel* Label3s = nullptr; // "Folder Name" (scenarios)
    QLabel* Label2 = nullptr;  // "Saved Copies of Selected Scenario"
    QListWidget* List1 = nullptr;
    QListWidget* List3 = nullptr;
    QListWidget* File2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void List1_Click();
    void List3_MouseDown();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();

    // The route list's tab stop (170 dialog units) in pixels.
    int tabStopPixels() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void fillList(QListWidget* list, const QStringList& rows);
    void refreshFile2();
    QString selectedFile2() const;
    // Runs a handler with the window's commands disabled, catching anything it throws.
    void guarded(const QString& handler, const std::function<void()>& work);

    scenarios::ScenarioBrowser browser_;
    QWidget* commands_ = nullptr; // everything the user can press
    bool unloaded_ = false;
};
