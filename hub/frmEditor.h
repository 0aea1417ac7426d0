#pragma once
// The main window: the hub from which every tool of the program is opened. It holds the
// text page (the file in work as XML text), the tree page, the status bar and the menus;
// start-up reads the settings, finds the game and its serializer and opens a file named on
// the command line; closing it saves the settings and empties the work folder.
//
// The window stays thin: the settings file, the start-up steps and the conversions live in
// hub/Preferences, hub/HubStartup and hub/SingleFile.

#include "hub/Preferences.h"
#include "hub/SingleFile.h"
#include "hub/TreeDocumentHooks.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTimer;
class TextPageWidget;
class frmAbout;

class frmEditor : public QMainWindow, public hub::FileInWork {
    Q_OBJECT
public:
    explicit frmEditor(QWidget* parent = nullptr);
    ~frmEditor() override;

    // The command line as the program was started with it: the arguments after the
    // program's own name, joined by single blanks.
    void setCommandLine(const QString& commandLine) { commandLine_ = commandLine; }
    QString commandLine() const { return commandLine_; }

    // ---- controls ----
    QTabWidget* SSTab1 = nullptr;
    // Text page (page 0).
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;   // the path of the file in work
    QPushButton* Command7 = nullptr; // "Show Image", shown once a texture is open
    TextPageWidget* RichTextBox1 = nullptr;
    // Tree page (page 1).
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;     // the shown path of the file in work

    // Status bar panels 1 to 3 ("Processing", "Time panel", progress of the save); empty
    // until start-up has prepared the status bar.
    int statusPanelCount() const;
    QString statusPanelText(int panel) const;
    QString statusPanelKey(int panel) const;
    void setStatusPanelText(int panel, const QString& text);

    // ---- menus ----
    QMenu* mnuFileS = nullptr; // the text page's "Files"
    QAction* mnuOpenRS = nullptr;
    QAction* mnuOpenTex = nullptr;
    QAction* mnuXML = nullptr;
    QAction* mnuSaveRS = nullptr;
    QAction* mnuSavexml = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuFile = nullptr;      // the tree page's "Files"
    QMenu* mnuNodePopUp = nullptr; // "Nodes"
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QMenu* mnuOpt = nullptr;
    QAction* mnuRSPath = nullptr;
    QAction* mnuAcro = nullptr;
    QAction* mnuIRF = nullptr;
    QAction* mnuViewer = nullptr;
    QAction* mnuSelDefEdit = nullptr;
    QAction* mnuURS = nullptr;
    QAction* mnuUXML = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- handlers ----
    void Form_Load();
    void Form_Unload();
    // Options
    void mnuRSPath_Click();
    void mnuAcro_Click();
    void mnuIRF_Click();
    void mnuViewer_Click();
    void mnuSelDefEdit_Click();
    void mnuURS_Click();
    void mnuUXML_Click();
    void mnuAbout_Click();
    // Text page's Files
    void mnuOpenRS_Click();
    void mnuOpenTex_Click();
    void mnuXML_Click();
    void mnuSaveRS_Click();
    void mnuSavexml_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuExit_Click();

    // ---- state ----
    // The reserved field of the settings, written back as it was read.
    QString PreferencesReserved;
    // The five colour values of the text page's syntax colouring (0x00BBGGRR).
    std::array<quint32, 5> SyntaxColours{};
    // The system folder that serz.exe is kept in.
    QString SystemFolder;
    // What the tree page's document offers the text page.
    TreeDocumentHooks TreeHooks;
    // True while a command runs that processes window events (a conversion): the window's
    // commands are disabled then.
    bool isBusy() const { return busy_ > 0; }

    // The print dialog. It prepares the printer (the selection or all pages) and answers
    // false when cancelled. The program shows Qt's print dialog; tests print to a file.
    using PrintDialogFunction = std::function<bool(QPrinter& printer, bool hasSelection)>;
    void setPrintDialog(PrintDialogFunction dialog) { printDialog_ = std::move(dialog); }

    frmAbout* aboutWindow(); // created on first use

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class BusyScope;
    friend class BusyScope;

    void buildPages();
    void buildMenus();
    void prepareStatusBar();
    void applyGeometry(const PreferencesRecord& rec);
    PreferencesRecord currentRecord() const;
    bool writeSettings();
    void openStartupFile();
    void showError(const QString& text);
    void showUnexpected(const char* procedure, int number);
    void setCommandsEnabled(bool enabled);

    QString commandLine_;
    int busy_ = 0;
    bool unloaded_ = false;
    QList<QLabel*> panels_;
    QStringList panelKeys_;
    QTimer* clock_ = nullptr;
    frmAbout* about_ = nullptr;
    PrintDialogFunction printDialog_;
};
