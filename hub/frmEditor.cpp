// The hub window: its controls, menus and layout, the page switch, the status bar, the
// settings and the start-up and shut-down. The handlers of the menus are in the
// frmEditor*.cpp files beside this one, one file for each menu.

#include "hub/frmEditor.h"

#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/ProgramVersion.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/PathLabelWidget.h"
#include "hub/TextPageWidget.h"
#include "hub/dlgSearch.h"
#include "hub/frmAbout.h"
#include "hub/frmGFX.h"
#include "hub/xml/XmlTreeWidget.h"
#include "packaging/ScenarioPackage.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "routes/StockList.h"
#include "common/WindowPartsWidgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>

#include <cmath>

namespace {
QPointer<frmEditor>& registeredHub()
{
    static QPointer<frmEditor> hub;
    return hub;
}
} // namespace

frmEditor* frmEditor::existing()
{
    return registeredHub().data();
}

frmEditor::frmEditor(QWidget* parent) : QMainWindow(parent), TreeDocument(nullptr, nullptr)
{
    registeredHub() = this;
    setWindowTitle(Ui::programTitle());

    // The tab control stands at a fixed place in the client area, so the client area is a
    // plain container.
    auto* client = new QWidget(this);
    setCentralWidget(client);
    SSTab1 = windowparts::makeNamed<QTabWidget>(client, "SSTab1");
    // The pages themselves stay empty: each page's controls are in its frame.
    SSTab1->addTab(new QWidget(SSTab1), QStringLiteral("Veltrane Editor"));
    SSTab1->addTab(new QWidget(SSTab1), QStringLiteral("XML Editor"));
    buildTextPage();
    buildTreePage();
    buildMenus();

    // The design's one panel; start-up adds the others.
    auto* designPanel = new QLabel(this);
    statusBar()->addWidget(designPanel);
    panels_.append(designPanel);
    panelKeys_.append(QString());

    Status = [this](const QString& text) {
        setStatusPanelText(3, text);
        ui().doEvents();
    };

    TreeDocument.setView(trevwContents);
    TreeDocument.setHost(this);
    // Whatever replaces the tree page's document also forgets the game file it came from.
    TreeHooks.PromptSaveAndReset = [this](const QString& path) {
        if (!TreeDocument.PromptSaveAndReset(path))
            return false;
        forgetTreeOrigin();
        return true;
    };
    TreeHooks.NewXmlDocument = [this] {
        if (TreeDocument.NewXmlDocument())
            forgetTreeOrigin();
    };
    TreeHooks.LoadXmlFile = [this](const QString& path) {
        forgetTreeOrigin();
        TreeDocument.TreeFileName = path;
        TreeDocument.LoadXmlTree();
        EnableAttributeControls(false);
    };
    TreeHooks.mnuFileOpen_Click = [this] { mnuFileOpen_Click(); };
    TreeHooks.mnuOpenXCT_Click = [this] { mnuOpenXCT_Click(); };
    // The scenario packager's stock scan shows the scenario it reads in the file-name box.
    packaging::HubFileNameBox() = [this](const QString& path) { Text1->setText(path); };
    // The route tools' stock list hands over the scenario it has converted.
    routes::HubFileInWork() = [](const QString& gameFile, const QString& xml) {
        if (frmEditor* hub = frmEditor::existing())
            hub->takeConvertedGameFile(gameFile, xml);
    };
    EnableAttributeControls(false);
    connectTreePage();

    Layout = hub::MainWindowDesign();
    resize(windowparts::toPixels(hub::DesignWindowWidth), windowparts::toPixels(hub::DesignWindowHeight));
    platform::openOnScreen(this);
    Form_Resize();

    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });
}

frmEditor::~frmEditor()
{
    // The tree view goes with the window's children; the document must not reach it then.
    TreeDocument.setView(nullptr);
    TreeDocument.setHost(nullptr);
    packaging::HubFileNameBox() = nullptr;
}

void frmEditor::buildTextPage()
{
    Frame1 = new QGroupBox(hub::TextPageCaption(), SSTab1);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(QStringLiteral("File Name:"), Frame1);
    Text1 = new QLineEdit(Frame1);
    Command1 = new QPushButton(QStringLiteral("Highlight XML"), Frame1);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    // Shown once a texture is opened.
    Command7 = new QPushButton(QStringLiteral("Show Image"), Frame1);
    Command7->setVisible(false);
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    RichTextBox1 = new TextPageWidget(Frame1);
    // Plain or coloured, the text shows at 11 points.
    QFont textFont = RichTextBox1->font();
    textFont.setPointSize(11);
    RichTextBox1->setFont(textFont);
}

void frmEditor::buildTreePage()
{
    Frame2 = new QGroupBox(hub::TreePageCaption(), SSTab1);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setVisible(false);
    Label3 = new QLabel(QStringLiteral("File Name:"), Frame2);
    Label2 = new PathLabelWidget(Frame2);
    trevwContents = new XmlTreeWidget(Frame2);

    fraAttribs = new QGroupBox(QStringLiteral("Attributes"), Frame2);
    lblNames = new QLabel(QStringLiteral("Name:"), fraAttribs);
    lstAttributes = new QListWidget(fraAttribs);
    lblValue = new QLabel(QStringLiteral("Value:"), fraAttribs);
    txtAttributeValue = new QLineEdit(fraAttribs);
    cmdAdd = new QPushButton(QStringLiteral("&Add"), fraAttribs);
    cmdDel = new QPushButton(QStringLiteral("&Remove"), fraAttribs);
    cmdRename = new QPushButton(QStringLiteral("R&ename"), fraAttribs);

    Frame3 = new QGroupBox(QStringLiteral("Search"), Frame2);
    Text2 = new QLineEdit(Frame3);
    Command2 = new QPushButton(QStringLiteral("Find"), Frame3);
    Command3 = new QPushButton(QStringLiteral("Find All"), Frame3);
    Check1 = new QCheckBox(QStringLiteral("Whole Word Only"), Frame3);
    Command4 = new QPushButton(QStringLiteral("Find in Text"), Frame3);
    Text3 = new QLineEdit(Frame3);
    Command5 = new QPushButton(QStringLiteral("Replace"), Frame3);
    Command6 = new QPushButton(QStringLiteral("Replace All"), Frame3);

    fraChars = new QGroupBox(QStringLiteral("Characters"), Frame2);
    lblText = new QLabel(QStringLiteral("Text:"), fraChars);
    txtCharacters = new TextPageWidget(fraChars);
}

void frmEditor::buildMenus()
{
    QMenuBar* bar = menuBar();
    const auto item = [this](QMenu* menu, const QString& caption, void (frmEditor::*handler)()) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };

    mnuFileS = bar->addMenu(QStringLiteral("Files"));
    mnuOpenRS = item(mnuFileS, QStringLiteral("Open RailSim File"), &frmEditor::mnuOpenRS_Click);
    mnuOpenTex = item(mnuFileS, QStringLiteral("Open .TgPcDx Texture Files"), &frmEditor::mnuOpenTex_Click);
    mnuXML = item(mnuFileS, QStringLiteral("Open .xml/.cost/.tgt/.proxyxml file"), &frmEditor::mnuXML_Click);
    mnuFileS->addSeparator();
    mnuSaveRS = item(mnuFileS, QStringLiteral("Save RailSim File"), &frmEditor::mnuSaveRS_Click);
    mnuSavexml = item(mnuFileS, QStringLiteral("Save .xml/.cost/.tgt file"), &frmEditor::mnuSavexml_Click);
    mnuSaveAs = item(mnuFileS, QStringLiteral("Save .xml As"), &frmEditor::mnuSaveAs_Click);
    mnuFileS->addSeparator();
    mnuPrint = item(mnuFileS, QStringLiteral("Print"), &frmEditor::mnuPrint_Click);
    mnuFileS->addSeparator();
    mnuExit = item(mnuFileS, QStringLiteral("&Exit"), &frmEditor::mnuExit_Click);

    // The tree page's menus. "Nodes" is also the tree's popup menu.
    mnuFile = bar->addMenu(QStringLiteral("Files"));
    mnuFileOpen = item(mnuFile, QStringLiteral("Open RailSim File"), &frmEditor::mnuFileOpen_Click);
    mnuFileSave = item(mnuFile, QStringLiteral("Save RailSim File"), &frmEditor::mnuFileSave_Click);
    mnuOpenXCT = item(mnuFile, QStringLiteral("Open .xml/.cost/.tgt/.proxyxml file"), &frmEditor::mnuOpenXCT_Click);
    mnuSaveXCT = item(mnuFile, QStringLiteral("Save .xml/.cost/.tgt file"), &frmEditor::mnuSaveXCT_Click);
    mnuFileSaveAs = item(mnuFile, QStringLiteral("Save .xml As"), &frmEditor::mnuFileSaveAs_Click);
    mnuFileExit = item(mnuFile, QStringLiteral("Exit"), &frmEditor::mnuFileExit_Click);
    mnuFileSave->setEnabled(false);
    mnuFileSaveAs->setEnabled(false);
    mnuFile->menuAction()->setVisible(false);
    mnuNodePopUp = bar->addMenu(QStringLiteral("Nodes"));
    mnuNodePopUpNew = item(mnuNodePopUp, QStringLiteral("New Child Node"), &frmEditor::mnuNodePopUpNew_Click);
    mnuNodePopupRename = item(mnuNodePopUp, QStringLiteral("Rename Node"), &frmEditor::mnuNodePopupRename_Click);
    mnuNodePopUpDelete = item(mnuNodePopUp, QStringLiteral("Delete Node"), &frmEditor::mnuNodePopUpDelete_Click);
    mnuEditCopy = item(mnuNodePopUp, QStringLiteral("Copy"), &frmEditor::mnuEditCopy_Click);
    mnuEditPaste = item(mnuNodePopUp, QStringLiteral("Paste"), &frmEditor::mnuEditPaste_Click);
    mnuEditCopy->setEnabled(false);
    mnuEditPaste->setEnabled(false);
    connect(mnuNodePopUp, &QMenu::aboutToShow, this, [this] { mnuNodePopUp_Click(); });
    mnuNodePopUp->menuAction()->setVisible(false);

    mnuSearch = bar->addMenu(QStringLiteral("Search and Replace"));
    mnuFind = item(mnuSearch, QStringLiteral("&Find"), &frmEditor::mnuFind_Click);
    mnuSwap = item(mnuSearch, QStringLiteral("Swap Track"), &frmEditor::mnuSwap_Click);
    showMenu(mnuSearch, true);

    mnuConv = bar->addMenu(QStringLiteral("Conversions"));
    mnuDDS = item(mnuConv, QStringLiteral("Convert .TgPcDx to .dds"), &frmEditor::mnuDDS_Click);
    mnuView = item(mnuConv, QStringLiteral("View .dds File"), &frmEditor::mnuView_Click);
    mnuEditDDS = item(mnuConv, QStringLiteral("Edit .dds File"), &frmEditor::mnuEditDDS_Click);
    mnuDDStoKrs = item(mnuConv, QStringLiteral("Convert .dds to .TgPcDx"), &frmEditor::mnuDDStoKrs_Click);
    mnuConv->addSeparator();
    mnuTime = item(mnuConv, QStringLiteral("Convert RS time to hrs/mins"), &frmEditor::mnuTime_Click);

    mnuTools = bar->addMenu(QStringLiteral("Tools"));
    mnuDelRoute = item(mnuTools, QStringLiteral("Check Routes or Scenarios"), &frmEditor::mnuDelRoute_Click);
    mnuCheckXML = item(mnuTools, QStringLiteral("Check Routes.xml file"), &frmEditor::mnuCheckXML_Click);
    mnuTools->addSeparator();
    mnuZelvorn = item(mnuTools, QStringLiteral("Edit Scenarios"), &frmEditor::mnuZelvorn_Click);
    mnuLists = item(mnuTools, QStringLiteral("Edit Assets"), &frmEditor::mnuLists_Click);
    mnuLoco = item(mnuTools, QStringLiteral("Loco Folders"), &frmEditor::mnuLoco_Click);
    mnuTools->addSeparator();
    mnuPack = item(mnuTools, QStringLiteral("Package Route"), &frmEditor::mnuPack_Click);
    mnuPackSce = item(mnuTools, QStringLiteral("Package Scenarios"), &frmEditor::mnuPackSce_Click);
    mnuPackAss = item(mnuTools, QStringLiteral("Package Assets"), &frmEditor::mnuPackAss_Click);
    mnuReskin = item(mnuTools, QStringLiteral("Package Reskins"), &frmEditor::mnuReskin_Click);
    mnuTools->addSeparator();
    mnuRouteInfo = item(mnuTools, QStringLiteral("Add Route Description"), &frmEditor::mnuRouteInfo_Click);
    mnuMap = item(mnuTools, QStringLiteral("Add Route Loading Picture"), &frmEditor::mnuMap_Click);
    mnuTools->addSeparator();
    mnuMultiMarker = item(mnuTools, QStringLiteral("Convert  Marker files"), &frmEditor::mnuMultiMarker_Click);
    mnuDCSVnew = item(mnuTools, QStringLiteral("DCSV Precision"), &frmEditor::mnuDCSVnew_Click);
    mnuTools->addSeparator();
    mnuDeveloper = item(mnuTools, QStringLiteral("Set Up Developer Folder"), &frmEditor::mnuDeveloper_Click);
    mnuDevFolders = item(mnuTools, QStringLiteral("Set Up Sub- Folders"), &frmEditor::mnuDevFolders_Click);
    mnuMarkN = item(mnuTools, QStringLiteral("Markers - Named"), &frmEditor::mnuMarkN_Click);
    mnuMarkS = item(mnuTools, QStringLiteral("Markers - Series"), &frmEditor::mnuMarkS_Click);
    mnuRoute = item(mnuTools, QStringLiteral("Route Template"), &frmEditor::mnuRoute_Click);
    // An item without a command of its own.
    mnuBluePrints = mnuTools->addAction(QStringLiteral("Easy Blueprints"));
    mnuBluePrints->setEnabled(false);
    mnuTools->addSeparator();
    mnuTgpcdx = item(mnuTools, QStringLiteral("TgPcDx Viewer"), &frmEditor::mnuTgpcdx_Click);

    mnuOpt = bar->addMenu(QStringLiteral("Options"));
    mnuRSPath = item(mnuOpt, QStringLiteral("Rail Simulator Path"), &frmEditor::mnuRSPath_Click);
    mnuAcro = item(mnuOpt, QStringLiteral("Acrobat Reader Path"), &frmEditor::mnuAcro_Click);
    mnuIRF = item(mnuOpt, QStringLiteral("Texture Editor Path"), &frmEditor::mnuIRF_Click);
    mnuViewer = item(mnuOpt, QStringLiteral("Viewer Path"), &frmEditor::mnuViewer_Click);
    mnuOpt->addSeparator();
    mnuSelDefEdit = item(mnuOpt, QStringLiteral("Select Default Editor"), &frmEditor::mnuSelDefEdit_Click);
    mnuURS = item(mnuOpt, QStringLiteral("Use Veltrane Editor this session only"), &frmEditor::mnuURS_Click);
    mnuUXML = item(mnuOpt, QStringLiteral("Use XML Editor this session only"), &frmEditor::mnuUXML_Click);
    mnuOpt->addSeparator();
    mnuClear = item(mnuOpt, QStringLiteral("Clear Screen"), &frmEditor::mnuClear_Click);
    mnuCTF = item(mnuOpt, QStringLiteral("Clear Temp Files"), &frmEditor::mnuCTF_Click);
    mnuReadWrite = item(mnuOpt, QStringLiteral("Make all RS files Read/Write"), &frmEditor::mnuReadWrite_Click);

    mnuHelp = bar->addMenu(QStringLiteral("Help"));
    mnuContents = item(mnuHelp, QStringLiteral("Contents"), &frmEditor::mnuContents_Click);
    mnuAbout = item(mnuHelp, QStringLiteral("About"), &frmEditor::mnuAbout_Click);
}

void frmEditor::showMenu(QMenu* menu, bool shown)
{
    menu->menuAction()->setVisible(shown && !menu->isEmpty());
}

// ---------------------------------------------------------------------------------------
// Layout and pages

void frmEditor::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmEditor::Form_Resize()
{
    const QSize outer = frameGeometry().size();
    hub::LayOutMainWindow(outer.width() * TwipsPerPixel, outer.height() * TwipsPerPixel, Layout);
    applyLayout();
}

void frmEditor::applyLayout()
{
    using windowparts::place;
    const hub::MainWindowLayout& l = Layout;
    place(SSTab1, l.SSTab1);
    place(Frame1, l.Frame1);
    place(Label1, l.Label1);
    place(Text1, l.Text1);
    place(Command1, l.Command1);
    place(Command7, l.Command7);
    place(RichTextBox1, l.RichTextBox1);
    place(Frame2, l.Frame2);
    place(Label3, l.Label3);
    place(Label2, l.Label2);
    place(trevwContents, l.trevwContents);
    place(fraAttribs, l.fraAttribs);
    place(lblNames, l.lblNames);
    place(lstAttributes, l.lstAttributes);
    place(lblValue, l.lblValue);
    place(txtAttributeValue, l.txtAttributeValue);
    place(cmdAdd, l.cmdAdd);
    place(cmdDel, l.cmdDel);
    place(cmdRename, l.cmdRename);
    place(Frame3, l.Frame3);
    place(Text2, l.Text2);
    place(Command2, l.Command2);
    place(Command3, l.Command3);
    place(Command4, l.Command4);
    place(Check1, l.Check1);
    place(Text3, l.Text3);
    place(Command5, l.Command5);
    place(Command6, l.Command6);
    place(fraChars, l.fraChars);
    place(lblText, l.lblText);
    place(txtCharacters, l.txtCharacters);
    // The frames lie over the tab control's page area.
    Frame1->raise();
    Frame2->raise();
}

void frmEditor::SSTab1_Click()
{
    const SharedState& s = shared();
    const int page = SSTab1->currentIndex();
    const hub::PageSwitch view = hub::PageSwitchFor(page, s.SessionEditor, s.XmlEditorDefault);
    try {
        if (page == hub::TreePage && !TreeLoaded)
            loadTreeWorkCopy();
    } catch (const VbError& e) {
        showUnexpected("SSTab1_Click", e.number);
    }
    Frame1->setVisible(view.frame1Visible);
    Frame2->setVisible(view.frame2Visible);
    setFrameCaption(page == hub::TreePage ? Frame2 : Frame1, view.caption, view.warning);

    mnuFileS->menuAction()->setVisible(view.fileSVisible);
    mnuFile->menuAction()->setVisible(view.fileVisible);
    mnuNodePopUp->menuAction()->setVisible(view.nodePopUpVisible);
    showMenu(mnuSearch, view.searchVisible);
}

void frmEditor::loadTreeWorkCopy()
{
    // Before the first game-file open, or once its work copy has gone with the emptied work
    // folder, there is no work copy to load: the tree page keeps its empty document, and its
    // label names no file the tree does not hold.
    const bool named = !TreeWorkName.isEmpty();
    const QString path = treeWorkCopy();
    if (path.isEmpty()) {
        if (named && !TreeDocument.TreeHasFile)
            Label2->clear();
        return;
    }
    if (TreeHooks.LoadXmlFile)
        TreeHooks.LoadXmlFile(path);
    // The work copy of the last game file converted: the document can be saved back into
    // that game file.
    if (lastGameOpen_.isSet() && TreeDocument.TreeHasFile
        && TreeDocument.TreeFileName.compare(path, Qt::CaseInsensitive) == 0
        && lastGameOpen_.workXml().compare(path, Qt::CaseInsensitive) == 0)
        treeOrigin_ = lastGameOpen_;
    TreeLoaded = true;
    ui().doEvents();
}

void frmEditor::setFrameCaption(QGroupBox* frame, const QString& caption, bool warning)
{
    frame->setTitle(caption);
    // Once a caption has been a warning, the frame keeps the warning's bold red.
    if (warning && frame->styleSheet().isEmpty()) {
        frame->setStyleSheet(QStringLiteral("QGroupBox#") + frame->objectName()
                             + QStringLiteral(" { font-weight: bold; color: #FF0000; }"));
        frame->ensurePolished();
    }
}


// ---------------------------------------------------------------------------------------
// Status bar

int frmEditor::statusPanelCount() const
{
    return int(panels_.size());
}

QString frmEditor::statusPanelText(int panel) const
{
    return panel >= 1 && panel <= panels_.size() ? panels_.at(panel - 1)->text() : QString();
}

QString frmEditor::statusPanelKey(int panel) const
{
    return panel >= 1 && panel <= panelKeys_.size() ? panelKeys_.at(panel - 1) : QString();
}

void frmEditor::setStatusPanelText(int panel, const QString& text)
{
    if (panel >= 1 && panel <= panels_.size())
        panels_.at(panel - 1)->setText(text);
}

void frmEditor::prepareStatusBar()
{
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(this);
        statusBar()->addWidget(label);
        panels_.append(label);
        panelKeys_.append(QString());
    }
    for (QLabel* label : std::as_const(panels_)) {
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setMargin(1);
    }
    panels_[0]->setText(QStringLiteral("Processing"));
    panelKeys_[0] = QStringLiteral("Processing");
    panels_[0]->setMinimumWidth(windowparts::toPixels(2000));

    panelKeys_[1] = QStringLiteral("Time panel");
    const auto showTime = [this] {
        if (panels_.size() >= 2)
            panels_[1]->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
    };
    showTime();
    if (!clock_) {
        clock_ = new QTimer(this);
        connect(clock_, &QTimer::timeout, this, showTime);
        clock_->start(1000);
    }

    panels_[2]->setText(QString());
    panelKeys_[2] = QString();
}

// ---------------------------------------------------------------------------------------
// Helpers

void frmEditor::showError(const QString& text)
{
    exclaim(text);
}

void frmEditor::showUnexpected(const char* procedure, int number)
{
    showError(handlerErrorText(ErrorSpelling::AnNumber, VbError(number), QLatin1String(procedure)));
}

void frmEditor::setCommandsEnabled(bool enabled)
{
    menuBar()->setEnabled(enabled);
    if (centralWidget())
        centralWidget()->setEnabled(enabled);
}

void frmEditor::applyGeometry(const PreferencesRecord& rec)
{
    // The record holds the outer place. The frame is known only once the window is shown,
    // so the place is handed over as the outer rectangle and fitted onto the screens then.
    storedPlace_.outer = QRect(windowparts::toPixels(rec.Left), windowparts::toPixels(rec.Top), windowparts::toPixels(rec.Width),
                               windowparts::toPixels(rec.Height));
    storedPlace_.Width = rec.Width;
    storedPlace_.Height = rec.Height;
    storedPlace_.Top = rec.Top;
    storedPlace_.Left = rec.Left;
    platform::openOnScreen(this, storedPlace_.outer);
}

PreferencesRecord frmEditor::currentRecord() const
{
    const SharedState& s = shared();
    PreferencesRecord rec;
    // Where the window was put, while it stands there: a window manager may have framed it
    // only after it was placed, which must not grow the stored size.
    const QRect outer = platform::untouchedPlace(this).value_or(frameGeometry());
    if (storedPlace_.outer.isValid() && outer == storedPlace_.outer) {
        // Still where the settings put it: their values, to the twip.
        rec.Width = storedPlace_.Width;
        rec.Height = storedPlace_.Height;
        rec.Top = storedPlace_.Top;
        rec.Left = storedPlace_.Left;
    } else {
        rec.Width = ToRecordInteger(double(outer.width()) * TwipsPerPixel);
        rec.Height = ToRecordInteger(double(outer.height()) * TwipsPerPixel);
        rec.Top = ToRecordInteger(double(outer.y()) * TwipsPerPixel);
        rec.Left = ToRecordInteger(double(outer.x()) * TwipsPerPixel);
    }
    rec.TextureEditorPath = s.TextureEditorPath;
    rec.ViewerPath = s.ViewerPath;
    rec.GamePath = s.GamePath;
    rec.XmlEditorDefault = s.XmlEditorDefault;
    rec.Reserved = PreferencesReserved;
    rec.AcrobatPath = s.AcrobatPath;
    return rec;
}

bool frmEditor::writeSettings()
{
    QString unwritable;
    if (WritePreferences(hub::PreferencesPath(), currentRecord(), &unwritable))
        return true;
    showError(PreferencesNotWrittenMessage(hub::PreferencesPath(), unwritable));
    return false;
}

frmAbout* frmEditor::aboutWindow()
{
    if (!about_)
        about_ = new frmAbout(this);
    return about_;
}

// ---------------------------------------------------------------------------------------
// Start-up and shut-down

void frmEditor::Form_Load()
{
    SharedState& s = shared();
    SystemFolder = platform::systemFolder();
    try {
        SyntaxColours = {0x000000, 0xC00000, 0xC000C0, 0x00C000, 0x808080};

        if (TreeHooks.NewXmlDocument)
            TreeHooks.NewXmlDocument();

        mnuEditCopy->setEnabled(false);
        mnuEditPaste->setEnabled(false);
        Frame1->setVisible(true);
        Frame2->setVisible(false);
        mnuFileS->menuAction()->setVisible(true);
        mnuFile->menuAction()->setVisible(false);
        mnuNodePopUp->menuAction()->setVisible(false);

        const QString preferences = hub::PreferencesPath();
        if (FileExists(preferences)) {
            PreferencesRecord rec;
            rec.TextureEditorPath = s.TextureEditorPath;
            rec.ViewerPath = s.ViewerPath;
            rec.GamePath = s.GamePath;
            rec.XmlEditorDefault = s.XmlEditorDefault;
            rec.Reserved = PreferencesReserved;
            rec.AcrobatPath = s.AcrobatPath;
            const int fields = ReadPreferences(preferences, rec);
            s.TextureEditorPath = rec.TextureEditorPath;
            s.ViewerPath = rec.ViewerPath;
            s.GamePath = rec.GamePath;
            s.XmlEditorDefault = rec.XmlEditorDefault;
            PreferencesReserved = rec.Reserved;
            s.AcrobatPath = rec.AcrobatPath;
            // A short or damaged file must not shrink the window to nothing.
            if (rec.hasUsableGeometry(fields))
                applyGeometry(rec);
        }

        SSTab1->setCurrentIndex(s.XmlEditorDefault ? 1 : 0);
        ui().doEvents();

        if (!MakeFolder(hub::TempFilesFolder()))
            throw VbError(75);

        if (s.GamePath.isEmpty())
            s.GamePath = hub::RegistryGamePath();
        if (s.GamePath.isEmpty()) {
            if (!FileExists(hub::StandardGameExe)) {
                mnuRSPath_Click();
                ui().doEvents();
            } else {
                s.GamePath = hub::FolderOfPath(hub::StandardGameExe);
            }
        }
        ui().doEvents();

        QString copyError;
        switch (hub::EnsureSerzInSystemFolder(SystemFolder, s.GamePath, &copyError)) {
        case hub::SerzSetup::Present:
        case hub::SerzSetup::Copied:
            break;
        case hub::SerzSetup::Missing:
            exclaim(hub::SerzMissingMessage());
            return;
        case hub::SerzSetup::CopyFailed:
            showError(copyError);
            return;
        }

        setWindowTitle(MainCaption(Ui::programTitle(), s.GamePath));

        openStartupFile();

        prepareStatusBar();
    } catch (const VbError& e) {
        showUnexpected("Form_Load", e.number);
    } catch (const std::exception&) {
        showUnexpected("Form_Load", 51);
    }
}

void frmEditor::openStartupFile()
{
    SharedState& s = shared();
    if (!commandLine_.isEmpty()) {
        s.CurrentFile = hub::CommandLineFile(commandLine_);
        s.SkipOpenDialog = true;
    }
    if (s.CurrentFile.isEmpty())
        return;

    switch (hub::StartupOpenFor(s.CurrentFile, s.XmlEditorDefault)) {
    case hub::StartupOpen::None:
        // Nothing is opened, so the next open command must ask for its file.
        s.SkipOpenDialog = false;
        break;
    case hub::StartupOpen::GameFile:
        mnuOpenRS_Click();
        break;
    case hub::StartupOpen::TreeGameFile:
        if (TreeHooks.mnuFileOpen_Click)
            TreeHooks.mnuFileOpen_Click();
        else
            mnuOpenRS_Click();
        break;
    case hub::StartupOpen::Texture:
        mnuOpenTex_Click();
        break;
    case hub::StartupOpen::TextureOnTextPage:
        SSTab1->setCurrentIndex(0);
        mnuOpenTex_Click();
        break;
    case hub::StartupOpen::XmlFile:
        mnuXML_Click();
        break;
    case hub::StartupOpen::TreeXmlFile:
        if (TreeHooks.mnuOpenXCT_Click)
            TreeHooks.mnuOpenXCT_Click();
        else
            mnuXML_Click();
        break;
    }
}

void frmEditor::closeEvent(QCloseEvent* event)
{
    // A conversion is still running: closing now would empty the work folder under it.
    if (isBusy()) {
        event->ignore();
        return;
    }
    // The tree page's unsaved edits are offered for saving before anything goes.
    if (!unloaded_ && !exitAnswered_ && !offerTreeSaveBeforeExit("Form_QueryUnload")) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

bool frmEditor::offerTreeSaveBeforeExit(const char* procedure)
{
    hub::TreeDocumentSource source;
    source.game = treeOrigin_;
    // A document read from the work copy of an XML file goes back into that file: the work
    // copy goes with the shut-down.
    if (!treeXmlFile_.isEmpty() && TreeDocument.TreeFileName.compare(treeXmlCopy_, Qt::CaseInsensitive) == 0)
        source.xmlFile = treeXmlFile_;
    try {
        BusyScope busy(this);
        return hub::OfferTreeSaveBeforeExit(TreeDocument, source);
    } catch (const VbError& e) {
        showUnexpected(procedure, e.number);
    } catch (const std::exception&) {
        showUnexpected(procedure, 51);
    }
    return false;
}

void frmEditor::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    try {
        const PreferencesRecord rec = currentRecord();
        if (TreeHooks.UnloadSearchDialog)
            TreeHooks.UnloadSearchDialog();
        dlgSearch::unloadDialog();
        frmGFX::unloadViewer();
        QString unwritable;
        if (!WritePreferences(hub::PreferencesPath(), rec, &unwritable))
            showError(PreferencesNotWrittenMessage(hub::PreferencesPath(), unwritable));
        ui().doEvents();
        ui().doEvents();
        hub::ResetTempFiles();
        ui().doEvents();
    } catch (const VbError& e) {
        showUnexpected("Form_Unload", e.number);
    } catch (const std::exception&) {
        showUnexpected("Form_Unload", 51);
    }
}
