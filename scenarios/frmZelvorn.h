#pragma once
// The scenario editor window. The browser (frmShowRoutes) prepares the shared scenario texts
// and shows it; it shows the scenario's properties, its consists, the route's markers, the
// weather and stock folder lists, and offers the scenario type switch, "Save Changes", "Exit"
// and the commands that start the game or its editor. The work is done by
// scenarios::ScenarioEditor and scenarios::saveScenario; the window reads its controls and
// shows the results.
//
// The class is one; its handlers are in files by frame: frmZelvorn.cpp (the one window,
// construction and closing, the controls, events, loading and layout), frmZelvornScenario.cpp
// ("Current Scenario": its boxes, season list and scenario type), frmZelvornSave.cpp (that
// frame's commands: save, clone, exit, run), frmZelvornWeather.cpp (the weather frame),
// frmZelvornConsists.cpp ("Consists" and "Selected Consist"), frmZelvornSwap.cpp (the two swaps
// of "Selected Consist"), frmZelvornStock.cpp ("Available Stock."). What several of them share
// is in frmZelvornParts.h.

#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "scenarios/ConsistEditing.h"
#include "scenarios/PathBoxWidget.h"
#include "scenarios/ScenarioEditor.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/StockSearch.h"
#include "scenarios/StockSwap.h"

#include <QMainWindow>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class frmZelvorn : public QMainWindow {
    Q_OBJECT
public:
    // Shows the editor for the scenario the browser has just prepared: a window that is
    // already open is unloaded first (the shared texts it was editing have been replaced), and
    // a new one is loaded from the shared texts and shown.
    static frmZelvorn* showEditor(QWidget* parent = nullptr);
    // The loaded window, or nullptr.
    static frmZelvorn* loaded();
    // Unloads the loaded window, if any, without asking anything.
    static void unloadEditor();
    // Makes the browser's "Edit Selected Scenario" show this window. The program calls this
    // once at start-up.
    static void registerLauncher();

    explicit frmZelvorn(QWidget* parent = nullptr);
    ~frmZelvorn() override;

    scenarios::ScenarioEditor& editor() { return editor_; }
    // The available stock found by the last search (the swaps read it).
    const scenarios::StockSearch& stockSearch() const { return stock_; }

    // Controls.
    QGroupBox* Frame5 = nullptr; // "Current Scenario"
    std::array<QLabel*, scenarios::PropertyBoxCount> Label1{};
    std::array<QLineEdit*, scenarios::PropertyBoxCount> Text1{};
    QComboBox* Combo1 = nullptr; // the season list over the season box
    QCheckBox* Check1 = nullptr; // "Change for all consists"
    std::array<QRadioButton*, 2> Option2{}; // "Standard Scenario", "Timetable Scenario"
    QPushButton* Command1 = nullptr;  // "Save Changes"
    QPushButton* Command12 = nullptr; // "Clone Scenario with new Name"
    QPushButton* Command2 = nullptr;  // "Exit"
    QPushButton* Command5 = nullptr;  // "Run Rail Simulator"
    QPushButton* Command8 = nullptr;  // "Run Rail Sim Editor"
    QPushButton* Command14 = nullptr; // "Run Rail Sim Editor (with log)"

    QGroupBox* Frame1 = nullptr; // "Select Weather Here if Required."
    DriveListWidget* Drive1 = nullptr; // the drive of Dir1
    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr; // the "*.bin" files of Dir1's folder
    QPushButton* Command3 = nullptr; // "Set Weather"

    QGroupBox* Frame2 = nullptr; // "Consists"
    QListWidget* List1 = nullptr;
    QLabel* Label2 = nullptr; // "Current Driven Consist:-"
    QLabel* Label3 = nullptr; // the driven consist's row text

    QGroupBox* Frame3 = nullptr; // "Selected Consist"
    QListWidget* List2 = nullptr; // the vehicles of the chosen consist
    QLabel* Label7 = nullptr;     // "Driven Loco Index " and the chosen consist's driven engine
    QPushButton* Command11 = nullptr; // "Duplicate Item"
    QPushButton* Command9 = nullptr;  // "Delete Item"
    std::array<QPushButton*, 2> Command15{}; // "Load Selected Wagon(s)", "Unload Selected Wagon(s)"
    QPushButton* Command4 = nullptr;  // "Drive It"
    QPushButton* Command20 = nullptr; // "Duplicate Consist"
    QPushButton* Command18 = nullptr; // "Delete Consist"
    QPushButton* Command17 = nullptr; // "Change Start Time"
    QPushButton* Command19 = nullptr; // "Change Service Class"
    QPushButton* Command16 = nullptr; // "Change Destination"
    QPushButton* Command13 = nullptr; // "Change Origin Point"

    // The rolling-stock swaps (frmZelvornSwap.cpp): Frame3's two swap commands, the stock row
    // they put in, and the draw of running numbers (the program's Rnd unless a test fixes it).
    QPushButton* Command10 = nullptr; // "Swap Selected Item(s)"
    QPushButton* Command7 = nullptr;  // "Swap All Identical Stock"
    void Command10_Click();
    void Command7_Click();
    bool chosenSwapStock(scenarios::SwapStock& stock) const;
    scenarios::RandomSource swapRandom;

    QGroupBox* Frame4 = nullptr; // "Available Stock."
    QLabel* Label4 = nullptr;    // "Select RailVehicles Folder"
    DriveListWidget* Drive2 = nullptr; // the drive of Dir2
    FolderTreeWidget* Dir2 = nullptr;
    std::array<QRadioButton*, 8> Option1{};
    QPushButton* Command6 = nullptr; // "Find Available Rolling-Stock"
    QListWidget* List3 = nullptr;
    QLabel* Label6 = nullptr; // "Path of selected Available Stock:-"
    PathBoxWidget* Label5 = nullptr;

    QGroupBox* Frame6 = nullptr; // "Available Markers"
    QListWidget* List4 = nullptr;

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    // The scenario's boxes and type (frmZelvornScenario.cpp).
    void Text1_GotFocus(int index);
    void Combo1_Change();
    void Combo1_LostFocus();
    void Option2_MouseDown(int index);
    // The weather (frmZelvornWeather.cpp).
    void Drive1_Change();
    void Dir1_Click();
    void Command3_Click();
    // The scenario's commands (frmZelvornSave.cpp).
    void Command1_Click();
    void Command12_Click();
    void Command2_Click();
    void Command5_Click();
    void Command8_Click();
    void Command14_Click();
    // The consists and their vehicles (frmZelvornConsists.cpp).
    void List1_Click();
    void List2_MouseDown();
    void Command11_Click();
    void Command9_Click();
    void Command15_Click(int index);
    void Command4_Click();
    void Command20_Click();
    void Command18_Click();
    void Command17_Click();
    void Command19_Click();
    void Command16_Click();
    void Command13_Click();
    // The available stock (frmZelvornStock.cpp).
    void Command6_Click();
    void List3_MouseDown();
    void Drive2_Change();
    void Dir2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildScenarioFrame();
    void buildWeatherFrame();
    void buildStockFrame();
    void buildConsistButtons();
    void layoutConsistFrame(int height);
    // The width each frame beside Frame5 needs for its title and captions, in Frame1, Frame2,
    // Frame3, Frame4, Frame6 order.
    std::array<int, 5> frameNeeds() const;
    // Runs a consist or vehicle command as "Save Changes" runs (the window's commands disabled,
    // no closing), commits what it changed, refills the lists (the consist row shown afterwards
    // is consistAfter; the vehicle selection follows rowChange at vehicle row `at`) and shows
    // its message. Returns whether the scenario text was changed.
    bool runEdit(const QString& handler, const std::function<scenarios::EditResult()>& command, int consistAfter,
                 scenarios::RowChange rowChange = scenarios::RowChange::None, int at = -1);
    void refillConsists(int consist, const QList<int>& vehicles);
    int consistRow() const;
    int vehicleRow() const;
    // The selected rows of the vehicle list, first to last.
    QList<int> selectedVehicleRows() const;
    void refreshFile1();
    // Opens the details window beside the consist frame, at the foot of the window, where it
    // covers neither the vehicle list nor the stock frame's path.
    void placeDetails(QWidget& details) const;
    // Closes the window without the unsaved-changes question.
    void unload();
    // Runs a handler, showing anything it throws as an error message.
    void guarded(const QString& handler, const std::function<void()>& work);
    // The save's and the clone's request from the boxes, and their guard.
    scenarios::SaveRequest saveRequest() const;
    void underSaveGuard(const QString& handler, const std::function<void()>& work);
    void startAndLeave(const QString& handler, const std::function<bool()>& start);

    scenarios::ScenarioEditor editor_;
    QWidget* client_ = nullptr;
    bool unloading_ = false;
    bool consistListed_ = false; // the consist list's current press has listed its consist
    bool saving_ = false; // "Save Changes" is running
    scenarios::StockSearch stock_;
    bool searching_ = false;      // the stock search is running
    bool closeAfterSearch_ = false; // the window was closed during the search
};
