#pragma once
// The reskin packager "Select Folder containing your Assets": the reskinned asset's folder
// (Dir1, shown in Text1) and the folder it was reskinned from (Dir2, shown in Text2), both
// picked in folder trees of the drive chosen in Drive1. "Process" packages the reskin
// (packaging::ReskinPackage does the work) and offers the package to the zip manager.
// The window loads (Form_Load) when it is constructed.

#include <QWidget>

#include <memory>

class DriveListWidget;
class FolderTreeWidget;
class QLabel;
class QLineEdit;
class QPushButton;

namespace packaging {
class ReskinPackage;
}

class frmFolder4 : public QWidget {
    Q_OBJECT
public:
    // Loads a new packager, shows it modally and returns when it has closed.
    static void showModalWindow(QWidget* parent = nullptr);

    explicit frmFolder4(QWidget* parent = nullptr);
    ~frmFolder4() override;

    DriveListWidget* Drive1 = nullptr; // the drive of both folder trees
    QLabel* Label1 = nullptr;          // "Folder to be Packaged"
    QLineEdit* Text1 = nullptr;        // the reskinned folder
    FolderTreeWidget* Dir1 = nullptr;
    QLabel* Label2 = nullptr;          // "Reskinned from:-"
    QLineEdit* Text2 = nullptr;        // the folder it was reskinned from
    FolderTreeWidget* Dir2 = nullptr;
    QPushButton* Command5 = nullptr;   // "Process"
    QPushButton* Command2 = nullptr;   // "Exit"

    void Form_Load();
    void Form_Unload();
    void Drive1_Change();
    void Dir1_Click();
    void Dir2_Click();
    void Text2_Change();
    void Command5_Click();
    void Command2_Click();

    packaging::ReskinPackage& package() { return *package_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<packaging::ReskinPackage> package_;
    bool busy_ = false;
};
