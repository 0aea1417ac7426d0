#pragma once
// The zip archive manager ("DuRazo"): compresses the package folder below the program folder
// into its archive while it loads, then creates further archives (single or in parts), opens,
// lists, searches, fills and extracts them. The archive work itself is packaging::ZipArchive;
// the window reads its controls, calls it and shows the results. Every command runs alone:
// while one runs, the menus and buttons are disabled.

#include "common/CommandBusyScope.h"
#include "packaging/ZipArchive.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QTableWidget;

class frmNewZip : public QMainWindow {
    Q_OBJECT
public:
    explicit frmNewZip(QWidget* parent = nullptr);
    ~frmNewZip() override;

    // What a packager does as its last step: the package folder's name goes into PackageFolder
    // and the window is shown modally; it compresses the folder while it loads.
    static void openForPackage(const QString& packageFolder);

    // The tab-separated text of one archive row: index, name (with "\"), compressed size,
    // uncompressed size, five blanks and the modification date.
    static QString archiveRow(int index, const packaging::ZipEntry& entry);
    // The grid's rows below the header, each as its tab-separated text.
    QStringList gridRows() const;
    // The text of a status panel (1 to 4).
    QString panelText(int panel) const;
    packaging::ZipArchive* zip() const { return Zip.get(); }
    bool isBusy() const { return busy_ > 0; }

    // Window state the commands share.
    bool Fullpath = false;
    bool IncludeSubDirs = true;
    bool UseRelativePaths = true;
    QString WildcardPattern;
    int CompressionLevel = 6;
    QString BasePath;
    QString DestinationFolder;
    qint32 ExtractCounter = 0;
    QString LastDialogFile; // the last file name chosen in the archive dialogs

    // Controls.
    QGroupBox* Frame2 = nullptr;
    QCheckBox* Check2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 3> Check1{};
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QSlider* Slider1 = nullptr;
    std::array<QLabel*, 2> Label6{};
    QLabel* Label2 = nullptr;
    QTableWidget* VsFg1 = nullptr;
    std::array<QLabel*, 4> SB1{};
    QProgressBar* PB1 = nullptr;
    QPushButton* Command3 = nullptr;

    QMenu* mnuFiles = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuMulti = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuProcess = nullptr;
    QAction* mnuExt = nullptr;
    QAction* mnuExtSel = nullptr;
    QAction* mnuExtCur = nullptr;
    QMenu* mnuAddFiles = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuAddFold = nullptr;
    QMenu* mnuSearch = nullptr;
    QAction* mnuFind = nullptr;
    QAction* mnuFindFiles = nullptr;

    // Handlers.
    void FillFileGrid();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click(int index);
    void Slider1_Change();
    void Text1_Change();
    void mnuNew_Click();
    void mnuMulti_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuExit_Click();
    void mnuProcess_Click();
    void mnuExt_Click();
    void mnuExtSel_Click();
    void mnuExtCur_Click();
    void mnuAddFiles_Click();
    void mnuAdd_Click();
    void mnuAddFold_Click();
    void mnuFind_Click();
    void mnuFindFiles_Click();
    void Zip_OnAdd(const QString& name);
    void Zip_OnExtract(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CommandBusyScope<frmNewZip>;
    using BusyScope = CommandBusyScope<frmNewZip>;
    // What a command needs of the archive before it starts.
    enum class Needs { Nothing, ArchiveToAdd, ArchiveToExtract, ArchiveToSearch };
    // The start every command shares. While another command runs it refuses at once; else the
    // window's commands stay disabled for its life, the progress bar is hidden for adding and
    // shown, counting from the first entry, for extracting, and a command on the archive is
    // refused with its message when none is open. A command goes on only when it is true.
    class CommandStart {
    public:
        CommandStart(frmNewZip* window, Needs needs);
        explicit operator bool() const { return go_; }

    private:
        std::optional<BusyScope> scope_;
        bool go_ = false;
    };
    void buildControls();
    void buildMenus();
    void Form_Load();
    void Form_Unload();
    void setCommandsEnabled(bool enabled);
    void cutGridToHeader();
    void appendRow(const QString& rowText);
    // Makes the component when needed, else closes its archive.
    void readyZip();
    bool noArchive(const QString& secondLine);
    // After a failed add: commits what went in before it, then shows the failure.
    void reportAddFailure(const QString& file, const QString& reason);
    bool commitAdds();
    // The end of an adding command: commits the adds, or reports the failed one naming `what`.
    void finishAdding(bool added, const QString& what);
    // Extracts the entries, then shows "Extract Completed" or one message naming each entry not written.
    void extractEntries(const QList<int>& indices, const QString& destination, bool whileCountLasts);
    // The extract commands' folder picker and the box that confirms the destination; false
    // when the box was cancelled.
    bool confirmDestination(const QString& prompt);
    // Renames the parts base.z01, base.z02 ... of an opened archive to base.000, base.001 ...
    void renameParts(const QString& archivePath);
    QString packageFolderPath() const;
    bool checkPackageFolder();

    std::unique_ptr<packaging::ZipArchive> Zip;
    int busy_ = 0;
    bool loading_ = true;
};
