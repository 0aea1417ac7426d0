#pragma once
// The new locomotive window ("Loco Folders"): the user picks a Diesel, Electric or Steam folder
// of the developer's source tree, names the loco and presses "Copy Files", which makes the loco's
// folder, copies the game's sample engine files into it and renames them after the loco
// (assets/LocoFolder). Files the rename had to leave are listed in the report window.

#include <QWidget>

class DriveListWidget;
class FolderTreeWidget;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmFolderLoco : public QWidget {
    Q_OBJECT
public:
    // The window's one instance, created (and loaded) on first use and shown modeless.
    // "Exit" deletes it.
    static frmFolderLoco& showWindow(QWidget* parent = nullptr);
    // The instance when one is open, else null.
    static frmFolderLoco* existing();

    explicit frmFolderLoco(QWidget* parent = nullptr);
    ~frmFolderLoco() override;

    DriveListWidget* Drive1 = nullptr; // the drives; Dir1 shows the chosen one's folders
    FolderTreeWidget* Dir1 = nullptr;  // its current folder is in work
    QListWidget* File1 = nullptr;     // the files of Dir1's folder
    QLineEdit* Text1 = nullptr;       // Dir1's folder, editable; its last part is the type
    QLabel* Label1 = nullptr;         // "Loco Name must be same as .IGS file"
    QLineEdit* Text2 = nullptr;       // the loco's name
    QPushButton* Command1 = nullptr;  // "Copy Files"
    QPushButton* Command2 = nullptr;  // "Exit"

    // The name and folder of the last "Copy Files".
    QString LocoName;
    QString LocoFolder;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();
    // True while "Copy Files" runs (its buttons are disabled then).
    bool isBusy() const { return busy_; }

protected:
    // The window stays while "Copy Files" runs.
    void closeEvent(QCloseEvent* event) override;

private:
    void showFolder(const QString& path);
    bool busy_ = false;
};
