#pragma once
// The developer folder picker. By default ("Set Up Sub- Folders") it makes a new add-on folder
// with the standard tree of sub-folders in the chosen folder; while a blueprint command is
// pending it only picks the folder that the blueprint designer writes into (BlueprintFolder).
// The window loads (Form_Load) when it is constructed.

#include <QWidget>

class DriveListWidget;
class FolderTreeWidget;
class QLabel;
class QLineEdit;
class QPushButton;

class frmFolder : public QWidget {
    Q_OBJECT
public:
    // Loads a new picker, shows it modally and returns when it has closed.
    static void showModalWindow(QWidget* parent = nullptr);

    explicit frmFolder(QWidget* parent = nullptr);
    ~frmFolder() override;

    DriveListWidget* Drive1 = nullptr;
    FolderTreeWidget* Dir1 = nullptr;
    QLineEdit* Text1 = nullptr; // the chosen folder
    QLabel* Label1 = nullptr;   // "Enter Folder Name for Add-ON"
    QLineEdit* Text2 = nullptr; // the new add-on folder's name
    QPushButton* Command1 = nullptr; // "Confirm"

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
};
