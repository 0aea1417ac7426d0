#pragma once
// The main window: the hub from which every tool of the program is opened. It holds the
// text page (the file in work as XML text), the tree page, the status bar and the menus;
// start-up reads the settings, finds the game and its serializer and opens a file named on
// the command line; closing it saves the settings and empties the work folder.
//
// The window stays thin: the settings file, the start-up steps and the conversions live in
// hub/Preferences, hub/HubStartup and hub/SingleFile; the layout and the page switch's rules
// in hub/MainLayout and hub/EditorPages; the tree page's document in hub/xml.
//
// The class is one; its handlers are in files by menu: frmEditor.cpp (construction, menus,
// layout, page switch, status bar, start-up and shut-down), frmEditorFiles.cpp (both pages'
// Files), frmEditorTree.cpp (the tree page's node menu and controls), frmEditorSearch.cpp
// (Search and Replace, the tree page's search), frmEditorConvert.cpp (Conversions),
// frmEditorTools.cpp (Tools) with frmEditorLaunchers.cpp (Tools: the route list and the
// packagers), frmEditorOptions.cpp (Options, Help).

#include "common/CommandBusyScope.h"
#include "hub/MainLayout.h"
#include "hub/PathLabelWidget.h"
#include "hub/Preferences.h"
#include "hub/SingleFile.h"
#include "hub/ToolLaunchers.h"
#include "hub/TreeDocumentHooks.h"
#include "hub/TreeFiles.h"
#include "hub/dlgFind.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeView.h"

#include <QMainWindow>
#include <QPointer>

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

    // The hub window when one is open (the last one made), else null.
    static frmEditor* existing();
    // Makes gameFile, which another tool has converted into the work copy of its name in
    // "TempFiles" (xml: that copy's text), the file in work, as "Open RailSim File" leaves it.
    // False, with the page unchanged, while the hub is busy or when the user keeps the tree
    // page's unsaved edits.
    bool takeConvertedGameFile(const QString& gameFile, const QString& xml);

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
    QPushButton* Command1 = nullptr; // "Highlight XML" / "Unhighlight XML"
    QPushButton* Command7 = nullptr; // "Show Image" (shown once a texture is opened)
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
    // The element's text; its own line ends come back when the text is taken.
    TextPageWidget* txtCharacters = nullptr;
    QGroupBox* Frame3 = nullptr;     // "Search"
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
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuOpenXCT = nullptr;
    QAction* mnuSaveXCT = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuNodePopUp = nullptr; // "Nodes", also the tree's popup menu
    QAction* mnuNodePopUpNew = nullptr;
    QAction* mnuNodePopupRename = nullptr;
    QAction* mnuNodePopUpDelete = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QMenu* mnuSearch = nullptr;    // "Search and Replace"
    QAction* mnuFind = nullptr;
    QAction* mnuSwap = nullptr;
    QMenu* mnuConv = nullptr;      // "Conversions"
    QAction* mnuDDS = nullptr;
    QAction* mnuView = nullptr;
    QAction* mnuEditDDS = nullptr;
    QAction* mnuDDStoKrs = nullptr;
    QAction* mnuTime = nullptr;
    QMenu* mnuTools = nullptr;     // "Tools"
    QAction* mnuDelRoute = nullptr;
    QAction* mnuCheckXML = nullptr;
    QAction* mnuTgpcdx = nullptr;    // "TgPcDx Viewer"
    QAction* mnuZelvorn = nullptr;
    QAction* mnuLists = nullptr;     // "Edit Assets"
    QAction* mnuLoco = nullptr;      // "Loco Folders"
    QAction* mnuMultiMarker = nullptr;
    QAction* mnuDCSVnew = nullptr;
    QAction* mnuDeveloper = nullptr; // "Set Up Developer Folder"
    QAction* mnuDevFolders = nullptr;
    QAction* mnuRouteInfo = nullptr; // "Add Route Description"
    QAction* mnuMap = nullptr;       // "Add Route Loading Picture"
    QAction* mnuBluePrints = nullptr; // "Easy Blueprints": no command of its own, disabled
    QAction* mnuMarkN = nullptr;
    QAction* mnuMarkS = nullptr;
    QAction* mnuRoute = nullptr;
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
    QAction* mnuReadWrite = nullptr; // "Make all RS files Read/Write"
    // The packagers' launchers (Tools); their handlers are in frmEditorLaunchers.cpp with
    // mnuDelRoute_Click.
    QAction* mnuPack = nullptr;      // "Package Route"
    QAction* mnuPackSce = nullptr;   // "Package Scenarios"
    QAction* mnuPackAss = nullptr;   // "Package Assets"
    QAction* mnuReskin = nullptr;    // "Package Reskins"
    void mnuPack_Click();
    void mnuPackSce_Click();
    void mnuPackAss_Click();
    void mnuReskin_Click();
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
    void mnuReadWrite_Click();
    // Help
    void mnuContents_Click();
    void mnuAbout_Click();
    // Conversions
    void mnuDDS_Click();
    void mnuView_Click();
    void mnuEditDDS_Click();
    void mnuDDStoKrs_Click();
    void mnuTime_Click();
    // Search and Replace
    void mnuFind_Click();
    void mnuSwap_Click();
    // Tools (mnuDelRoute_Click in frmEditorLaunchers.cpp)
    void mnuDelRoute_Click();
    void mnuCheckXML_Click();
    void mnuTgpcdx_Click();
    void Command7_Click();
    void mnuZelvorn_Click();
    void mnuLists_Click();
    void mnuLoco_Click();
    void mnuMultiMarker_Click();
    void mnuDCSVnew_Click();
    void mnuMarkN_Click();
    void mnuMarkS_Click();
    void mnuRoute_Click();
    void mnuDeveloper_Click();
    void mnuDevFolders_Click();
    void mnuRouteInfo_Click();
    void mnuMap_Click();
    // The tree page's Files
    void mnuOpenXCT_Click();
    void mnuSaveXCT_Click();
    void mnuFileSaveAs_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileExit_Click();
    // The tree page: the tree, the node menu and the attribute and text controls.
    // An item was clicked (or chosen with the keyboard): its element becomes current.
    void trevwContents_NodeClick(const QString& key);
    // A mouse button was released over the tree at position (viewport coordinates).
    void trevwContents_MouseUp(Qt::MouseButton button, const QPoint& position);
    // A label edit of the item key ended with text: whether the label keeps it.
    bool trevwContents_AfterLabelEdit(const QString& key, const QString& newText);
    void mnuNodePopUp_Click();
    void mnuNodePopUpNew_Click();
    void mnuNodePopupRename_Click();
    void mnuNodePopUpDelete_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void lstAttributes_Click();
    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdRename_Click();
    void txtAttributeValue_Change();
    void txtCharacters_Change();
    // The tree page's search.
    void Command2_Click(); // "Find"
    void Command3_Click(); // "Find All"
    void Command4_Click(); // "Find in Text"
    void Command5_Click(); // "Replace"
    void Command6_Click(); // "Replace All"
    // A key pressed in the search box (its key code): Enter (13) presses "Find".
    void Text2_KeyDown(int keyCode);
    // The search question, made on first use; null when it is not loaded.
    dlgFind* findDialog() const { return findDialog_; }
    // Enables the tree page's attribute and text controls; disabling also empties them,
    // which is no edit of the document.
    void EnableAttributeControls(bool enabled);
    // Prepares the node menu for CurrentNode; whether it may be shown as the popup.
    bool SetNodePopupMenu();
    // The text page's colouring: the button's caption says which way it goes.
    void Command1_Click();
    // Colours RichTextBox1's text as XML; "No text selected" when nothing is selected.
    void colorhtml();
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
    // The game file the tree page's document was converted from; not set when the document
    // came from an XML file or is new.
    const hub::TreeGameOrigin& treeGameOrigin() const { return treeOrigin_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The file to open: the one named on the command line, else the user's choice in the
    // Open dialog (false when cancelled); then shown as the file in work.
    bool chooseFileInWork(const QString& title, const QString& filter);
    void showFileInWork();
    // The windows the Tools menu's marker and blueprint launchers show.
    hub::ToolWindows toolWindows();
    friend class CommandBusyScope<frmEditor>;
    using BusyScope = CommandBusyScope<frmEditor>;
    class SearchHost;
    friend class SearchHost;

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
    // The tree page.
    void connectTreePage();
    void selectTreeItem(const QString& key); // by the program: no item click
    void showCharacters(const QString& text); // fills the text box without an edit
    void forgetTreeOrigin()
    {
        treeOrigin_ = hub::TreeGameOrigin();
        treeXmlFile_.clear();
        treeXmlCopy_.clear();
    }
    // Before the program ends: the tree document's question when it is modified, and on Yes
    // the save where it came from. False when the program is to keep running.
    bool offerTreeSaveBeforeExit(const char* procedure);
    // Runs one of the searches, unless one runs already.
    template <typename Search>
    void runSearch(Search search);
    void showFindDialog();

    hub::MainWindowLayout Layout;
    // The outer place read from the settings (pixels) and its values as the file holds them.
    struct StoredPlace {
        QRect outer;
        qint16 Width = 0, Height = 0, Top = 0, Left = 0;
    } storedPlace_;
    QString commandLine_;
    int busy_ = 0;
    hub::TreeGameOrigin treeOrigin_;   // of the tree page's document
    hub::TreeGameOrigin lastGameOpen_; // the last game file converted to XML
    QString treeXmlFile_;              // the XML file behind a document read from its work copy
    QString treeXmlCopy_;              // that work copy
    bool exitAnswered_ = false;        // the question before the end has been asked already
    int selectingByCode_ = 0;          // selection changes that are no item clicks
    bool searching_ = false;
    QPointer<dlgFind> findDialog_;
    bool unloaded_ = false;
    QList<QLabel*> panels_;
    QStringList panelKeys_;
    QTimer* clock_ = nullptr;
    frmAbout* about_ = nullptr;
    PrintDialogFunction printDialog_;
};
