#pragma once
// The asset folder packager ("Select Folder containing your Assets"). The drive list and the
// folder tree pick a folder; "Add to Package" lists it as a package row with its own copy
// line, "Remove from Package" drops the selected row and its line, and "Process" copies the
// listed folders into the package below the program folder with the installer and the hand-off
// files and offers the package to the zip manager; "AssetSetup.ggg" names the provider and
// product of the folder clicked last. While scenarios are being packaged
// (PackageScenariosMode at Process) the rows are taken as scenario folders and the scenario
// hand-off files are written instead of "AssetSetup.ggg". The window loads (Form_Load) when it
// is constructed; its rows and lines start empty each time.

#include "packaging/AssetFolderPackage.h"

#include <QStringList>
#include <QWidget>

class DriveListWidget;
class FolderTreeWidget;
class QCloseEvent;
class QLineEdit;
class QListWidget;
class QPushButton;
class QResizeEvent;

class frmFolder3 : public QWidget {
    Q_OBJECT
public:
    // Loads a new packager, shows it modally and returns when it has closed.
    static void showModalWindow(QWidget* parent = nullptr);

    explicit frmFolder3(QWidget* parent = nullptr);
    ~frmFolder3() override;

    DriveListWidget* Drive1 = nullptr; // opens at the drive that holds the game
    FolderTreeWidget* Dir1 = nullptr;  // the folder tree of the drive
    QListWidget* File1 = nullptr;      // the current folder's files matching Text2
    QLineEdit* Text2 = nullptr;        // the file pattern, "*.*" by default
    QLineEdit* Text1 = nullptr;        // the current folder's path
    QListWidget* List1 = nullptr;      // the package rows
    QLineEdit* Text3 = nullptr;        // stays empty
    QPushButton* Command1 = nullptr;   // "Add to Package"
    QPushButton* Command4 = nullptr;   // "Remove from Package"
    QPushButton* Command3 = nullptr;   // "Process"
    QPushButton* Command2 = nullptr;   // "Exit"

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Drive1_Change();
    void Dir1_Click();
    void Text2_Change();
    void Command1_Click();
    void Command4_Click();
    void Command3_Click();
    void Command2_Click();

    QString currentFolder() const { return CurrentFolder; }
    QString currentRelPath() const { return CurrentRelPath; }
    // The copy line of each package row, in the rows' order.
    QStringList copyLines() const { return copyLines_; }
    const packaging::Folder3Layout& layout() const { return layout_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString CurrentFolder;
    QString CurrentRelPath;
    QString packageName_;
    QStringList copyLines_;
    packaging::Folder3Layout layout_;
    bool busy_ = false;
};
