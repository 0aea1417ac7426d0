#pragma once
// The main window: the hub from which every tool of the program is opened. It holds the
// text page (the file in work as XML text), the tree page, the status bar and the menus;
// start-up reads the settings, finds the game and its serializer and opens a file named on
// the command line; closing it saves the settings and empties the work folder.
//
// The window stays thin: the settings file, the start-up steps and the conversions live in
// hub/Preferences, hub/HubStartup and hub/SingleFile; the layout and the page switch's rules
// in hub/MainLayout and hub/EditorPages; the tree page's document in hub/xml.

#include "hub/MainLayout.h"
#include "hub/PathLabelWidget.h"
#include "hub/Preferences.h"
#include "hub/SingleFile.h"
#include "hub/TreeDocumentHooks.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeView.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTimer;
class TextPageWidget;
class XmlTreeWidget;
class frmAbout;

class frmEditor : public QMainWindow, public hub::FileInWork, public XmlTreeHost {
    Q_OBJECT
public:
    explicit frmEditor(QWidget* parent = nullptr);
    ~frmEditor() override;

    // The command line as the program was started with it: the arguments after the
    // program's own name, joined by single blanks.
    void setCommandLine(const QString& commandLine) { commandLine_ = commandLine; }
    QString commandLine() const { return commandLine_; }

    // ---- controls ----
    // The pages' frames are the tab control's own children: the page switch shows the
    // frame of the page shown.
    QTabWidget* SSTab1 = nullptr;
    // Text page (page 0).
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;   // the path of the file in work
    QPushButton* Command1 = nullptr; // "Highlight XML" (enabled once the colouring exists)
    QPushButton* Command7 = nullptr; // "Show Image", shown once a texture is open
    TextPageWidget* RichTextBox1 = nullptr;
    // Tree page (page 1).
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr;
    PathLabelWidget* Label2 = nullptr; // the shown path of the file in work
    XmlTreeWidget* trevwContents = nullptr;
    QGroupBox* fraAttribs = nullptr; // "Attributes"
    QLabel* lblNames = nullptr;
    QListWidget* lstAttributes = nullptr;
    QLabel* lblValue = nullptr;
    QLineEdit* txtAttributeValue = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdRename = nullptr;
    QGroupBox* fraChars = nullptr;   // "Characters"
    QLabel* lblText = nullptr;
    QPlainTextEdit* txtCharacters = nullptr;
    QGroupBox* Frame3 = nullptr;     // "Search" (its commands come with the tree search)
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command4 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;

    // Where the controls stand now, in twips.
    const hub::MainWindowLayout& layout() const { return Layout; }

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
    QAction* mnuFileExit = nullptr;
    QMenu* mnuNodePopUp = nullptr; // "Nodes"
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QMenu* mnuSearch = nullptr;    // "Search and Replace": shown once it has items
    QMenu* mnuConv = nullptr;      // "Conversions"
    QAction* mnuDDS = nullptr;
    QAction* mnuView = nullptr;
    QAction* mnuEditDDS = nullptr;
    QAction* mnuDDStoKrs = nullptr;
    QAction* mnuTime = nullptr;
    QMenu* mnuTools = nullptr;     // "Tools"
    QAction* mnuDelRoute = nullptr;
    QAction* mnuCheckXML = nullptr;
    QAction* mnuZelvorn = nullptr;
    QMenu* mnuOpt = nullptr;
    QAction* mnuRSPath = nullptr;
    QAction* mnuAcro = nullptr;
    QAction* mnuIRF = nullptr;
    QAction* mnuViewer = nullptr;
    QAction* mnuSelDefEdit = nullptr;
    QAction* mnuURS = nullptr;
    QAction* mnuUXML = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuCTF = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- handlers ----
    void Form_Load();
    void Form_Unload();
    // Lays both pages out for the window's outer size.
    void Form_Resize();
    // The page switch: runs when the page shown changes.
    void SSTab1_Click();
    // Options
    void mnuRSPath_Click();
    void mnuAcro_Click();
    void mnuIRF_Click();
    void mnuViewer_Click();
    void mnuSelDefEdit_Click();
    void mnuURS_Click();
    void mnuUXML_Click();
    void mnuClear_Click();
    void mnuCTF_Click();
    // Help
    void mnuContents_Click();
    void mnuAbout_Click();
    // Conversions
    void mnuDDS_Click();
    void mnuView_Click();
    void mnuEditDDS_Click();
    void mnuDDStoKrs_Click();
    void mnuTime_Click();
    // Tools
    void mnuDelRoute_Click();
    void mnuCheckXML_Click();
    void mnuZelvorn_Click();
    // The tree page's Files
    void mnuFileExit_Click();
    // Enables the tree page's attribute and text controls; disabling also empties them,
    // which is no edit of the document.
    void EnableAttributeControls(bool enabled);
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
    // The tree page's document, shown in trevwContents.
    XmlTreeDocument TreeDocument;
    // What the tree page's document offers the text page: TreeDocument's operations.
    TreeDocumentHooks TreeHooks;
    // True while a command runs that processes window events (a conversion): the window's
    // commands are disabled then.
    bool isBusy() const { return busy_ > 0; }

    // The print dialog. It prepares the printer (the selection or all pages) and answers
    // false when cancelled. The program shows Qt's print dialog; tests print to a file.
    using PrintDialogFunction = std::function<bool(QPrinter& printer, bool hasSelection)>;
    void setPrintDialog(PrintDialogFunction dialog) { printDialog_ = std::move(dialog); }

    frmAbout* aboutWindow(); // created on first use

    // XmlTreeHost: the tree document's caption is the window's.
    QString caption() const override;
    void setCaption(const QString& caption) override;
    void setSaveEnabled(bool enabled) override;
    void setSaveAsEnabled(bool enabled) override;
    void enableAttributeControls(bool enabled) override { EnableAttributeControls(enabled); }
    // The state the tree document gave the tree page's two save items.
    bool treeSaveEnabled() const { return treeSaveEnabled_; }
    bool treeSaveAsEnabled() const { return treeSaveAsEnabled_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class BusyScope;
    friend class BusyScope;

    void buildTextPage();
    void buildTreePage();
    void buildMenus();
    void applyLayout();
    void setFrameCaption(QGroupBox* frame, const QString& caption, bool warning);
    void showMenu(QMenu* menu, bool shown);
    void loadTreeWorkCopy();
    void prepareStatusBar();
    void applyGeometry(const PreferencesRecord& rec);
    PreferencesRecord currentRecord() const;
    bool writeSettings();
    void openStartupFile();
    void showError(const QString& text);
    void showUnexpected(const char* procedure, int number);
    void setCommandsEnabled(bool enabled);

    hub::MainWindowLayout Layout;
    QString commandLine_;
    int busy_ = 0;
    bool treeSaveEnabled_ = false;
    bool treeSaveAsEnabled_ = false;
    bool unloaded_ = false;
    QList<QLabel*> panels_;
    QStringList panelKeys_;
    QTimer* clock_ = nullptr;
    frmAbout* about_ = nullptr;
    PrintDialogFunction printDialog_;
};
