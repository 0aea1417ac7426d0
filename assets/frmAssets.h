#pragma once
// The asset list window "Build List of Assets": walks a folder of the game's "Assets" tree,
// lists its blueprints (or any files) in the grid, saves and clears the list, and edits the
// selected rows' blueprints through the menus. The walk and the edits are GUI-free
// (assets/AssetList, assets/BlueprintPipeline); this window reads its controls, hands them on
// and shows the results.
//
// There is one window, created on first use and shown non-modally; closing it unloads it and
// the next opening loads it anew. While a walk or an edit runs (they process window events),
// the window's commands are disabled, presses on the grid are ignored and it does not close.

#include "assets/AssetsLayout.h"
#include "assets/BlueprintPipeline.h"
#include "assets/CrewPassengers.h"

#include <QList>
#include <QMainWindow>
#include <QString>

#include <functional>

class DriveListWidget;
class FlexGridWidget;
class FolderTreeWidget;
class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QResizeEvent;

class frmAssets : public QMainWindow {
    Q_OBJECT
public:
    // Shows the loaded window, loading it first when there is none.
    static frmAssets* showWindow(QWidget* parent = nullptr);
    // The loaded window, or nullptr.
    static frmAssets* loaded();

    explicit frmAssets(QWidget* parent = nullptr);
    ~frmAssets() override;

    // ---- controls ----
    QGroupBox* Frame1 = nullptr;
    DriveListWidget* Drive1 = nullptr;
    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr; // the files of Dir1's folder that match the pattern
    QLineEdit* Text2 = nullptr;   // the current folder
    QLineEdit* Text1 = nullptr;   // the file pattern
    QLabel* Label6 = nullptr;     // "Category"
    QLineEdit* Text5 = nullptr;   // the category filter
    QPushButton* Command1 = nullptr; // "Add to List"
    QPushButton* Command9 = nullptr; // "Display Child Entries."
    QPushButton* Command2 = nullptr; // "Print List"
    QPushButton* Command3 = nullptr; // "Save List"
    QPushButton* Command4 = nullptr; // "&Exit"
    QPushButton* Command5 = nullptr; // "Clear List"
    QLabel* Label5 = nullptr;        // the total
    QLabel* Label1 = nullptr;        // "Min LOD"
    QLineEdit* Text3 = nullptr;
    QLabel* Label2 = nullptr;        // "Max LOD"
    QLineEdit* Text4 = nullptr;
    QLabel* Picture1 = nullptr;      // the preview
    QGroupBox* Frame2 = nullptr;     // child entries, over the preview
    QLabel* Label4 = nullptr;        // "Child Entries For:-"
    QListWidget* List1 = nullptr;
    QPushButton* Command12 = nullptr; // " Remove Selected Child Entries."
    FlexGridWidget* VsFg1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr; // the file being worked on

    // ---- menus, in order ----
    QMenu* mnuFiles = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEditRS = nullptr;
    QAction* mnuAddDriver = nullptr;
    QAction* mnuCond = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuDead = nullptr;
    QAction* mnuTail = nullptr;
    QAction* mnuHead = nullptr;
    QAction* mnuClone = nullptr;
    QAction* mnuCloneDefault = nullptr;
    QMenu* mnuEdAss = nullptr;
    QAction* mnuLod = nullptr;
    QAction* mnuDel = nullptr;
    QAction* mnuEnglish = nullptr;
    QAction* mnuInScene = nullptr;

    // The language element whose text is a blueprint's display name.
    QString NameLanguage;
    // The folder last clicked in Dir1 and its part from "Rail Simulator" on.
    QString ClickedFolder;
    QString ClickedItem;

    // ---- handlers ----
    void Form_Load();
    void Form_Resize();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Click();
    void Text1_Change();
    void Command1_Click(); // Add to List
    void Command3_Click(); // Save List
    void Command4_Click(); // &Exit
    void Command5_Click(); // Clear List
    void mnuExit_Click();
    void mnuDel_Click();
    void mnuInScene_Click();
    // Print List: the print preview of the grid.
    void Command2_Click();

    // Level-of-detail change (frmAssetsLod.cpp).
    void mnuLod_Click();
    void Text3_Change();
    void Text4_Change();
    // Crew and passengers (frmAssetsCrew.cpp)
    void mnuAdd_Click();
    void mnuAddDriver_Click();
    void mnuCond_Click();
    // Make English Only (frmAssetsEnglish.cpp)
    void mnuEnglish_Click();
    // Head-lights and tail-lights (frmAssetsLights.cpp)
    void mnuHead_Click();
    void mnuTail_Click();

    // ---- child entries, dead stock and cloning (frmAssetsChildren.cpp, frmAssetsClone.cpp) ----
    QLabel* Label3 = nullptr; // the display name of the blueprint whose child entries are listed
    void Command9_Click();   // Display Child Entries.
    void Command12_Click();  // Remove Selected Child Entries.
    void mnuDead_Click();
    void mnuClone_Click();
    void mnuCloneDefault_Click();

    // Grid preview and clipboard (frmAssetsPreview.cpp): a press on the grid, after it made the
    // clicked cell current; button 1 is the left, 2 the right, 4 the middle one.
    void VsFg1_MouseDown(int button);
    void wireGridPreview();
    int gridPressButton_ = 0;

    // True while a walk or an edit runs.
    bool isBusy() const { return busy_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The rows selected in the grid, in row order, with their Provider, Product and Path cells.
    std::vector<assets::SelectedRow> selectedAssetRows() const;
    // The same rows, each with its Name cell (the crew and lamp edits).
    std::vector<assets::CrewRow> selectedNamedRows() const;
    // What an edit shows of its rows in the window: the full path in the status bar and the
    // current cell in the grid; with the selection check, whether the grid still selects a row.
    assets::PipelineHooks rowHooks(bool selectionCheck);
    // Makes the cell current without changing the selection.
    void makeCurrent(int row, int col);
    void buildControls();
    void buildMenus();
    void setGridHeader();
    void showFolder(const QString& folder, const QStringList& files);
    void listFiles();
    void applyLayout();
    // Runs a walk or an edit with the commands disabled and presses on the grid ignored;
    // anything it throws is shown as "Error <description> occurred in <handler>".
    void run(const char* handler, const std::function<void()>& work);
    // The walk of "Add to List" and the clearing of "Clear List", also run by "Delete Selected".
    void addToList();
    void clearList();

    // Child entries: the controls' own set-up, and what a display keeps for the removal.
    void setUpChildEntries();
    void cloneSelected(bool defaultAsset);
    // The removal works on these alone: other commands move the shared CurrentFile.
    QString listedText_;          // the listed blueprint's XML as the display read it
    assets::RowPaths listed_;     // the listed blueprint: its path, folder, base name and product

    QString filePattern_;
    assets::AssetsWindowLayout layout_;
    QWidget* client_ = nullptr;
    bool busy_ = false;
    bool unloaded_ = false;
};
