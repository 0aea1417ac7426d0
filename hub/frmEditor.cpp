#include "hub/frmEditor.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "assets/frmAssets.h"
#include "assets/frmFolderLoco.h"
#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/LoadingPicture.h"
#include "hub/PathLabelWidget.h"
#include "packaging/ScenarioPackage.h"
#include "hub/RoutesXmlCheck.h"
#include "hub/TextPageWidget.h"
#include "hub/TextureCommands.h"
#include "hub/dlgFind.h"
#include "hub/dlgSearch.h"
#include "hub/dlgSwapTrack.h"
#include "hub/dlgTime.h"
#include "hub/frmAbout.h"
#include "hub/frmAddAttribute.h"
#include "hub/frmGFX.h"
#include "hub/xml/TreeEditing.h"
#include "hub/xml/TreeSearch.h"
#include "hub/xml/XmlTreeWidget.h"
#include "hub/xml/clsNodeAttributes.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "routes/frmBlue.h"
#include "routes/dlgSelRoute.h"
#include "routes/frmDelRoute.h"
#include "routes/frmDesc.h"
#include "routes/frmFolder.h"
#include "routes/frmMarkers.h"
#include "scenarios/frmShowRoutes.h"
#include "common/WindowPartsWidgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>

#include <cmath>

namespace {

const QString OpenRSFilter = QStringLiteral(
    "RS Files(*.bin;*.XSec;*.GeoPcDx;*.proxybin)|*.bin;*.XSec*;*.GeoPcDx;*.proxybin");
const QString OpenTexFilter = QStringLiteral("RS Files (*.TgPcDx)|*.TgPcDx");
const QString OpenXmlFilter = QStringLiteral("XML Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
const QString SaveXmlFilter = QStringLiteral("xml Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
const QString SaveAsFilter = QStringLiteral("KRS Files (*.*)|*.*");

FileDialogRequest dialogRequest(const QString& title, const QString& filter, const QString& initDir = QString())
{
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.filterIndex = 1;
    request.initDir = initDir;
    return request;
}

// The print dialog of the program: the selection is offered when there is one, page
// numbers are not.
bool showPrintDialog(QPrinter& printer, bool hasSelection, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintSelection, hasSelection);
    dialog.setOptions(options);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

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
    SSTab1 = new QTabWidget(client);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
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
    // Before the first game-file open there is no work copy to load: the tree page keeps
    // its empty document instead of reporting a file that cannot exist.
    if (TreeWorkName.isEmpty())
        return;
    const QString path = hub::TreeWorkCopyPath(TreeWorkName);
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

void frmEditor::EnableAttributeControls(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{fraAttribs, fraChars, lblNames, lblValue, lblText, lstAttributes,
                                                      txtAttributeValue, txtCharacters, cmdAdd, cmdDel, cmdRename})
        w->setEnabled(enabled);
    if (!enabled) {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->clear();
        txtCharacters->clearText();
        txtAttributeValue->clear();
    }
}

QString frmEditor::caption() const
{
    return windowTitle();
}

void frmEditor::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void frmEditor::setSaveEnabled(bool enabled)
{
    treeSaveEnabled_ = enabled;
    mnuFileSave->setEnabled(enabled);
}

void frmEditor::setSaveAsEnabled(bool enabled)
{
    treeSaveAsEnabled_ = enabled;
    mnuFileSaveAs->setEnabled(enabled);
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
    ui().msgBox(text, vb::vbOKOnly + vb::vbExclamation, Ui::programTitle());
}

void frmEditor::showUnexpected(const char* procedure, int number)
{
    showError(QStringLiteral("An Error ") + QString::number(number) + QStringLiteral(" occurred in ")
              + QLatin1String(procedure));
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
    if (WritePreferences(hub::PreferencesPath(), currentRecord()))
        return true;
    showError(QStringLiteral("The settings could not be written to ") + hub::PreferencesPath() + QLatin1Char('.'));
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

        if (!FolderExists(hub::TempFilesFolder()) && !hub::MakeFolder(hub::TempFilesFolder()))
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
            ui().msgBox(hub::SerzMissingMessage(), vb::vbOKOnly + vb::vbExclamation, Ui::programTitle());
            return;
        case hub::SerzSetup::CopyFailed:
            showError(copyError);
            return;
        }

        setWindowTitle(hub::MainCaption(Ui::programTitle(), s.GamePath));

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
        if (!WritePreferences(hub::PreferencesPath(), rec))
            showError(QStringLiteral("The settings could not be written to ") + hub::PreferencesPath()
                      + QLatin1Char('.'));
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

// ---------------------------------------------------------------------------------------
// Options

void frmEditor::mnuRSPath_Click()
{
    if (isBusy())
        return;
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your RailSim.exe File"),
                                                     QStringLiteral("RailSim Files (*.exe)|*.exe")));
    if (file.isEmpty())
        return;
    SharedState& s = shared();
    s.GamePath = hub::FolderOfPath(file);
    setWindowTitle(hub::MainCaption(QStringLiteral("RS bin file editor and texture viewer"), s.GamePath));
    writeSettings();
    ui().doEvents();
}

// The three program pickers keep the path they had when the dialog is cancelled.
void frmEditor::mnuAcro_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Acrobat Reader"),
                                                     QStringLiteral("Acrobat Reader (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().AcrobatPath = file;
}

void frmEditor::mnuIRF_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Graphics Editor"),
                                                     QStringLiteral("Graphics Editor (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().TextureEditorPath = file;
}

void frmEditor::mnuViewer_Click()
{
    const QString file = ui().openFile(dialogRequest(QStringLiteral("Select your Graphics Viewer"),
                                                     QStringLiteral("Viewer (*.exe)|*.exe")));
    if (!file.isEmpty())
        shared().ViewerPath = file;
}

void frmEditor::mnuSelDefEdit_Click()
{
    const int answer = ui().msgBox(QStringLiteral("Do you wish to use the .XML editor as your Default Editor?"),
                                   vb::vbYesNo + vb::vbExclamation, Ui::programTitle());
    if (answer == vb::vbYes) {
        shared().XmlEditorDefault = true;
        SSTab1->setCurrentIndex(1);
    } else {
        shared().XmlEditorDefault = false;
        SSTab1->setCurrentIndex(0);
    }
}

void frmEditor::mnuURS_Click()
{
    shared().SessionEditor = 1;
    SSTab1->setCurrentIndex(0);
}

void frmEditor::mnuUXML_Click()
{
    shared().SessionEditor = 2;
    SSTab1->setCurrentIndex(1);
    ui().doEvents();
}

void frmEditor::mnuAbout_Click()
{
    ui().showModal(aboutWindow());
}

// ---------------------------------------------------------------------------------------
// The text page's files

bool frmEditor::chooseFileInWork(const QString& title, const QString& filter)
{
    // A file named on the command line is taken once without asking.
    SharedState& s = shared();
    if (s.SkipOpenDialog)
        return true;
    // A cancelled dialog keeps the file in work.
    const QString chosen = ui().openFile(dialogRequest(title, filter, s.GamePath));
    if (chosen.isEmpty())
        return false;
    s.CurrentFile = chosen;
    return true;
}

void frmEditor::showFileInWork()
{
    SharedState& s = shared();
    Text1->setText(s.CurrentFile);
    Label2->setText(s.CurrentFile);
    s.SkipOpenDialog = false;
    ui().doEvents();
}

void frmEditor::mnuOpenRS_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(WorkBase + QStringLiteral("xml")))
            return;
        TreeLoaded = false;

        // The page keeps its text, its file and its work copies until a file is chosen.
        if (!chooseFileInWork(QStringLiteral("Open RailSim file"), OpenRSFilter))
            return;
        RichTextBox1->clearText();
        Text1->clear();
        Label2->clear();
        PageSource = Source::Nothing;

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        QString xml;
        lastGameOpen_ = hub::TreeGameOrigin();
        const ConversionResult opened = OpenGameFile(s.CurrentFile, xml);
        if (!opened) {
            showError(opened.error);
            return;
        }
        lastGameOpen_ = hub::TreeGameOrigin{s.CurrentFile, WorkBase, s.CurrentFileExt};
        RichTextBox1->loadText(xml);
    } catch (const VbError& e) {
        showUnexpected("mnuOpenRS_Click", e.number);
    }
}

bool frmEditor::takeConvertedGameFile(const QString& gameFile, const QString& xml)
{
    if (isBusy())
        return false;
    SharedState& s = shared();
    const hub::WorkFileNames names = hub::SplitWorkFile(gameFile);
    const QString workBase = hub::TempFilesFolder() + QLatin1Char('\\') + names.WorkName;
    if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(workBase + QStringLiteral("xml")))
        return false;
    TreeLoaded = false;
    WorkName = names.WorkName;
    TreeWorkName = names.WorkName;
    WorkBase = workBase;
    s.CurrentFile = gameFile;
    s.CurrentFileExt = names.Extension;
    s.TempXmlPath = workBase + QStringLiteral("xml");
    PageSource = Source::GameFile;
    lastGameOpen_ = hub::TreeGameOrigin{gameFile, WorkBase, s.CurrentFileExt};
    showFileInWork();
    RichTextBox1->loadText(xml);
    return true;
}

void frmEditor::mnuOpenTex_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open RS Texture files"), OpenTexFilter))
            return;

        BusyScope busy(this);
        BusyPointer pointer;
        // The page keeps its text until the texture is converted; when that fails, the
        // page and its path stay as they were.
        const QString previousPath = Text1->text();
        const QString previousLabel = Label2->text();
        showFileInWork();

        QString xml;
        const ConversionResult opened = OpenTexture(s.CurrentFile, xml);
        if (!opened) {
            Text1->setText(previousPath);
            Label2->setText(previousLabel);
            showError(opened.error);
            return;
        }
        RichTextBox1->loadText(xml);
        Command7->setVisible(true);
    } catch (const VbError& e) {
        showUnexpected("mnuOpenTex_Click", e.number);
    }
}

void frmEditor::mnuXML_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open .xml file"), OpenXmlFilter))
            return;
        // The file also replaces the tree page's document: unsaved edits there are offered
        // for saving first, and Cancel ends the command.
        if (TreeHooks.PromptSaveAndReset && !TreeHooks.PromptSaveAndReset(s.CurrentFile)) {
            s.SkipOpenDialog = false;
            return;
        }

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        // The copy may take the name of the last game file's work copy, which then no
        // longer holds that game file's XML.
        lastGameOpen_ = hub::TreeGameOrigin();
        QString xml, copy;
        const ConversionResult opened = OpenXmlFile(s.CurrentFile, xml, copy);
        if (!opened) {
            RichTextBox1->clearText();
            Text1->clear();
            Label2->clear();
            showError(opened.error);
            return;
        }
        RichTextBox1->loadText(xml);

        if (TreeHooks.LoadXmlFile) {
            TreeHooks.LoadXmlFile(copy);
            // The tree is named by the copy; what it holds belongs to the file.
            treeXmlFile_ = s.CurrentFile;
            treeXmlCopy_ = copy;
        }
        // The tree now holds this file; showing the tree page must not replace it with the
        // work copy of an earlier game file.
        TreeLoaded = true;
        ui().doEvents();
    } catch (const VbError& e) {
        showUnexpected("mnuXML_Click", e.number);
    }
}

void frmEditor::Command1_Click()
{
    if (isBusy())
        return;
    // The colouring is a view of the text: switching it either way leaves what is saved as it was.
    const QString caption = Command1->text();
    if (caption.compare(QStringLiteral("Highlight XML"), Qt::CaseInsensitive) == 0) {
        Command1->setText(QStringLiteral("Unhighlight XML"));
        RichTextBox1->setSelStart(0);
        RichTextBox1->setSelLength(RichTextBox1->shownText().size());
        colorhtml();
        RichTextBox1->setSelStart(1);
    } else if (caption.compare(QStringLiteral("Unhighlight XML"), Qt::CaseInsensitive) == 0) {
        Command1->setText(QStringLiteral("Highlight XML"));
        RichTextBox1->uncolourXml();
        QFont textFont = RichTextBox1->font();
        textFont.setPointSize(11);
        RichTextBox1->setFont(textFont);
    }
}

void frmEditor::colorhtml()
{
    if (RichTextBox1->SelLength() < 1) {
        ui().msgBox(QStringLiteral("No text selected"), vb::vbOKOnly, Ui::programTitle());
        return;
    }
    // The colours follow the text line by line, so the whole text is coloured (and stays
    // coloured while it is edited), whatever part of it is selected.
    RichTextBox1->colourXml(SyntaxColours);
}

void frmEditor::mnuSaveRS_Click()
{
    if (isBusy())
        return;
    try {
        BusyScope busy(this);
        BusyPointer pointer;
        const ConversionResult saved = SaveGameFile(RichTextBox1->text(), Text1->text());
        if (!saved) {
            setStatusPanelText(3, QStringLiteral("Not saved"));
            showError(saved.error);
        }
    } catch (const VbError& e) {
        setStatusPanelText(3, QStringLiteral("Not saved"));
        showUnexpected("mnuSaveRS_Click", e.number);
    }
}

void frmEditor::mnuSavexml_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Save .xml format files"), SaveXmlFilter,
                                                     hub::TempFilesFolder()));
    if (file.isEmpty())
        return;
    if (!hub::WriteAnsiFile(file, RichTextBox1->text()))
        showError(QStringLiteral("The file ") + file + QStringLiteral(" could not be written."));
    ui().doEvents();
}

void frmEditor::mnuSaveAs_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Save KRS format files"), SaveAsFilter,
                                                     hub::TempFilesFolder()));
    if (file.isEmpty())
        return;
    if (!hub::WriteAnsiFile(file, RichTextBox1->text()))
        showError(QStringLiteral("The file ") + file + QStringLiteral(" could not be written."));
}

void frmEditor::mnuPrint_Click()
{
    if (isBusy())
        return;
    // The tabs leave the page for good, whether the print goes ahead or not.
    const QString text = RichTextBox1->text();
    if (text.contains(QLatin1Char('\t'))) {
        QString untabbed = text;
        untabbed.remove(QLatin1Char('\t'));
        RichTextBox1->loadText(untabbed);
    }

    const bool hasSelection = RichTextBox1->textCursor().hasSelection();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    const bool accepted =
        printDialog_ ? printDialog_(printer, hasSelection) : showPrintDialog(printer, hasSelection, this);
    if (!accepted)
        return;
    if (!printer.isValid())
        return;
    RichTextBox1->print(&printer);
}

void frmEditor::mnuExit_Click()
{
    if (isBusy())
        return;
    // Asked before the page is emptied: Cancel, or a save that failed, leaves both pages.
    if (!offerTreeSaveBeforeExit("mnuExit_Click"))
        return;
    RichTextBox1->clearText();
    ui().doEvents();
    exitAnswered_ = true;
    close();
    exitAnswered_ = false; // the window stayed (a conversion started meanwhile)
}

void frmEditor::mnuFileExit_Click()
{
    if (isBusy())
        return;
    close(); // the closing asks about the tree page's edits
}

// ---------------------------------------------------------------------------------------
// The tree page's files

void frmEditor::mnuOpenXCT_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!s.SkipOpenDialog) {
            const QString chosen = ui().openFile(dialogRequest(QStringLiteral("Select file to load"), OpenXmlFilter));
            if (chosen.isEmpty())
                return;
            if (!TreeDocument.PromptSaveAndReset(chosen))
                return;
            s.CurrentFile = chosen;
        } else {
            // The file named on the command line goes into the empty document of start-up.
            s.SkipOpenDialog = false;
        }
        forgetTreeOrigin();

        BusyPointer pointer;
        TreeDocument.clearCurrentNode();
        EnableAttributeControls(false);
        TreeDocument.TreeFileName = s.CurrentFile;
        Text1->setText(s.CurrentFile);
        Label2->setText(s.CurrentFile);
        TreeDocument.LoadXmlTree();
        setSaveAsEnabled(true);
        // The tree holds this file now: showing the tree page must not replace it.
        TreeLoaded = true;

        // The text page shows the file too; it holds no game file's text, so its game-file
        // save refuses it.
        PageSource = Source::XmlFile;
        QString text;
        if (hub::ReadAnsiFile(s.CurrentFile, text))
            RichTextBox1->loadText(text);
        else
            RichTextBox1->clearText();
    } catch (const VbError&) {
        // The command ends without a message.
    }
}

void frmEditor::mnuSaveXCT_Click()
{
    if (isBusy())
        return;
    TreeDocument.SaveXmlTree();
}

void frmEditor::mnuFileSaveAs_Click()
{
    if (isBusy())
        return;
    const QString file = ui().saveFile(dialogRequest(QStringLiteral("Select Filename to Save As..."), SaveXmlFilter));
    if (file.isEmpty())
        return;
    if (FileExists(file) || QFileInfo::exists(platform::nativePath(file))) {
        const int answer = ui().msgBox(QStringLiteral("A file by that name already exists. Do you wish\r\n"
                                                      "to overwrite the file?"),
                                       vb::vbYesNo + vb::vbQuestion, QStringLiteral("File Already Exists"));
        if (answer != vb::vbYes)
            return;
    }
    const QString previous = TreeDocument.TreeFileName;
    TreeDocument.TreeFileName = file;
    // A save that failed leaves the document named as it was.
    if (!TreeDocument.SaveXmlTree())
        TreeDocument.TreeFileName = previous;
}

void frmEditor::mnuFileOpen_Click()
{
    if (isBusy())
        return;
    SharedState& s = shared();
    try {
        if (!chooseFileInWork(QStringLiteral("Open RailSim file"), OpenRSFilter))
            return;
        // The question comes before anything is converted, so that a Yes can never write
        // the old document over the new file's work copy.
        const QString workXml = hub::TempFilesFolder() + QLatin1Char('\\')
            + hub::SplitWorkFile(s.CurrentFile).WorkName + QStringLiteral("xml");
        if (!TreeDocument.PromptSaveAndReset(workXml))
            return;
        forgetTreeOrigin();

        BusyScope busy(this);
        BusyPointer pointer;
        showFileInWork();

        // The tree holds this file (or, when it fails, nothing): showing the tree page must
        // not load another work copy.
        TreeLoaded = true;
        lastGameOpen_ = hub::TreeGameOrigin();
        QString xml;
        const ConversionResult opened = OpenGameFile(s.CurrentFile, xml);
        ui().doEvents();
        if (!opened) {
            RichTextBox1->clearText();
            showError(opened.error);
            return;
        }
        lastGameOpen_ = hub::TreeGameOrigin{s.CurrentFile, WorkBase, s.CurrentFileExt};

        TreeDocument.clearCurrentNode();
        EnableAttributeControls(false);
        TreeDocument.TreeFileName = WorkBase + QStringLiteral("xml");
        if (TreeDocument.LoadXmlTree())
            treeOrigin_ = lastGameOpen_;
        setSaveAsEnabled(true);
        RichTextBox1->loadText(xml);
    } catch (const VbError&) {
        // The command ends without a message.
    }
}

void frmEditor::mnuFileSave_Click()
{
    if (isBusy())
        return;
    // Only a document converted from a game file goes back into one: anything else would
    // put a stale work copy, or another file's XML, in place of the game file.
    if (!treeOrigin_.isSet() || !TreeDocument.TreeHasFile) {
        showError(QStringLiteral("The document on the XML Editor page was not converted from a RailSim file, so there "
                                 "is no RailSim file to save it into. Use \"Save .xml/.cost/.tgt file\" or \"Save .xml "
                                 "As\" to save it."));
        return;
    }
    const hub::TreeGameOrigin origin = treeOrigin_;
    try {
        BusyScope busy(this);
        BusyPointer pointer;
        hub::SaveTreeIntoGameFile(TreeDocument, origin);
    } catch (const VbError& e) {
        showUnexpected("mnuFileSave_Click", e.number);
    }
}

// ---------------------------------------------------------------------------------------
// The tree page: tree, node menu, attributes and text

void frmEditor::connectTreePage()
{
    connect(trevwContents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (selectingByCode_ == 0 && current)
            trevwContents_NodeClick(trevwContents->keyOfItem(current));
    });
    // A click on the item that is current already (after a search selected it).
    connect(trevwContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        const QString key = trevwContents->keyOfItem(item);
        if (!TreeDocument.currentIsElement() || TreeDocument.CurrentNode()->NodeKey().compare(key, Qt::CaseInsensitive) != 0)
            trevwContents_NodeClick(key);
    });
    trevwContents->setLabelEditHandler(
        [this](const QString& key, const QString& text) { return trevwContents_AfterLabelEdit(key, text); });
    trevwContents->viewport()->installEventFilter(this);

    connect(lstAttributes, &QListWidget::itemSelectionChanged, this, [this] { lstAttributes_Click(); });
    connect(txtAttributeValue, &QLineEdit::textChanged, this, [this] { txtAttributeValue_Change(); });
    connect(txtCharacters, &QPlainTextEdit::textChanged, this, [this] { txtCharacters_Change(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { cmdRename_Click(); });

    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Text2, &QLineEdit::returnPressed, this, [this] { Text2_KeyDown(13); });
}

bool frmEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (trevwContents && watched == trevwContents->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        trevwContents_MouseUp(mouse->button(), mouse->position().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmEditor::selectTreeItem(const QString& key)
{
    ++selectingByCode_;
    trevwContents->selectItem(key);
    --selectingByCode_;
}

void frmEditor::showCharacters(const QString& text)
{
    const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
    txtCharacters->loadText(text);
}

void frmEditor::trevwContents_NodeClick(const QString& key)
{
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->clear();
        txtAttributeValue->clear();
    }
    EnableAttributeControls(true);
    // They wait for an attribute to be picked.
    cmdDel->setEnabled(false);
    cmdRename->setEnabled(false);
    txtAttributeValue->setEnabled(false);

    const clsNode* node = TreeDocument.FindNodeByKey(key);
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->addItems(treeedit::AttributeNames(*node));
    }
    showCharacters(node->NodeCharacters());

    SetNodePopupMenu();
    mnuEditCopy->setEnabled(true);
}

void frmEditor::trevwContents_MouseUp(Qt::MouseButton button, const QPoint& position)
{
    if (button != Qt::RightButton)
        return;
    if (SetNodePopupMenu())
        mnuNodePopUp->popup(trevwContents->viewport()->mapToGlobal(position));
}

bool frmEditor::SetNodePopupMenu()
{
    if (!TreeDocument.currentIsElement()) {
        if (TreeDocument.DocumentElement()) {
            // No element is current: nothing for the node commands to act on.
            mnuNodePopUpNew->setEnabled(false);
            mnuNodePopupRename->setEnabled(false);
            mnuNodePopUpDelete->setEnabled(false);
            return false;
        }
        // An empty document: the one useful command starts its document element.
        mnuNodePopUpNew->setText(QStringLiteral("&New Primary Node"));
        mnuNodePopUpNew->setEnabled(true);
        mnuNodePopupRename->setEnabled(false);
        mnuNodePopUpDelete->setEnabled(false);
        return true;
    }
    mnuNodePopUpNew->setText(QStringLiteral("&New Child Node"));
    mnuNodePopUpNew->setEnabled(true);
    mnuNodePopupRename->setEnabled(true);
    mnuNodePopUpDelete->setEnabled(true);
    return true;
}

void frmEditor::mnuNodePopUp_Click()
{
    SetNodePopupMenu();
}

void frmEditor::mnuNodePopUpNew_Click()
{
    if (isBusy() || !SetNodePopupMenu())
        return;
    try {
        const QString caption = mnuNodePopUpNew->text();
        QString key;
        ++selectingByCode_;
        if (caption.compare(QLatin1String("&New Primary Node"), Qt::CaseInsensitive) == 0)
            key = treeedit::NewPrimaryNode(TreeDocument);
        else if (caption.compare(QLatin1String("&New Child Node"), Qt::CaseInsensitive) == 0)
            key = treeedit::NewChildNode(TreeDocument, *TreeDocument.CurrentNode());
        --selectingByCode_;
        if (key.isEmpty())
            return;
        // The frames show the new element, and the name typed next names it.
        trevwContents_NodeClick(key);
        ++selectingByCode_;
        trevwContents->editItemLabel(key);
        --selectingByCode_;
        TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuNodePopUpNew_Click", e.number);
    }
}

void frmEditor::mnuNodePopupRename_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement())
        return;
    // The label of the current element's own item.
    ++selectingByCode_;
    trevwContents->editItemLabel(TreeDocument.CurrentNode()->NodeKey());
    --selectingByCode_;
}

bool frmEditor::trevwContents_AfterLabelEdit(const QString& key, const QString& newText)
{
    const treeedit::Refusal refused = treeedit::CheckNodeName(newText);
    if (refused) {
        ui().msgBox(refused.text, refused.style, refused.title);
        SetNodePopupMenu();
        return false;
    }
    // The element of the edited item, found by its key.
    clsNode* node = TreeDocument.NodeByKey(key);
    if (!node) {
        SetNodePopupMenu();
        return false;
    }
    node->setNodeName(newText);
    TreeDocument.SetModified(true);
    SetNodePopupMenu();
    return true;
}

void frmEditor::mnuNodePopUpDelete_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement())
        return;
    clsNode* node = TreeDocument.CurrentNode();
    try {
        if (node != TreeDocument.DocumentElement()) {
            if (node->ChildNodes() && node->ChildNodes()->Count() > 0) {
                const int answer = ui().msgBox(QStringLiteral("Delete this node and all child nodes?"),
                                               vb::vbYesNo + vb::vbQuestion, QStringLiteral("Confirm Child Bearing Node"));
                if (answer != vb::vbYes)
                    return;
            }
            ++selectingByCode_;
            const bool deleted = treeedit::DeleteChildElement(TreeDocument, *node);
            --selectingByCode_;
            if (!deleted)
                return;
        } else {
            const int answer = ui().msgBox(QStringLiteral("Deleting this node will remove all entries. Are you \r\n"
                                                          "sure you want to do this?"),
                                           vb::vbYesNo + vb::vbQuestion, QStringLiteral("Confirm Primary node deletion."));
            if (answer != vb::vbYes)
                return;
            ++selectingByCode_;
            TreeDocument.ClearDocument();
            --selectingByCode_;
        }
        EnableAttributeControls(false);
        TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuNodePopUpDelete_Click", e.number);
    }
}

void frmEditor::mnuEditCopy_Click()
{
    if (!TreeDocument.currentIsElement())
        return;
    treeedit::CopyToClipboard(TreeDocument, *TreeDocument.CurrentNode());
    mnuEditPaste->setEnabled(true);
}

void frmEditor::mnuEditPaste_Click()
{
    if (isBusy() || !TreeDocument.currentIsElement() || !TreeDocument.ClipboardNode())
        return;
    try {
        ++selectingByCode_;
        const QString key = treeedit::PasteClipboard(TreeDocument, *TreeDocument.CurrentNode());
        --selectingByCode_;
        if (!key.isEmpty())
            TreeDocument.SetModified(true);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("mnuEditPaste_Click", e.number);
    }
}

namespace {

// The list entry selected, counted from 0; -1 when none is.
int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

} // namespace

void frmEditor::lstAttributes_Click()
{
    const int row = selectedRow(lstAttributes);
    if (row < 0 || TreeDocument.UpdatingControls)
        return;
    const clsNodeAttributes* attributes = TreeDocument.CurrentNode()->NodeAttributes();
    if (!attributes || row >= attributes->Count())
        return;
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        txtAttributeValue->setText(attributes->Item(row + 1)->AttribValue());
    }
    cmdDel->setEnabled(true);
    cmdRename->setEnabled(true);
    txtAttributeValue->setEnabled(true);
}

void frmEditor::txtAttributeValue_Change()
{
    // Filling the box is no edit: only the user's typing reaches the document.
    if (TreeDocument.UpdatingControls || !TreeDocument.currentIsElement())
        return;
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes = TreeDocument.CurrentNode()->NodeAttributes();
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    attributes->Item(row + 1)->setAttribValue(txtAttributeValue->text());
    TreeDocument.SetModified(true);
}

void frmEditor::txtCharacters_Change()
{
    if (TreeDocument.UpdatingControls || !TreeDocument.currentIsElement())
        return;
    TreeDocument.CurrentNode()->setNodeCharacters(txtCharacters->text());
    TreeDocument.SetModified(true);
}

void frmEditor::cmdAdd_Click()
{
    if (!TreeDocument.currentIsElement())
        return;
    clsNode* node = TreeDocument.CurrentNode();
    frmAddAttribute dialog(this);
    dialog.setExistingNames(treeedit::AttributeNames(*node));
    ui().showModal(&dialog);
    if (dialog.Cancelled())
        return;
    if (!node->NodeAttributes())
        node->setNodeAttributes(std::make_unique<clsNodeAttributes>());
    node->NodeAttributes()->Add(dialog.txtName->text(), dialog.txtValue->text());
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        lstAttributes->addItem(dialog.txtName->text());
    }
    TreeDocument.SetModified(true);
}

void frmEditor::cmdDel_Click()
{
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes =
        TreeDocument.currentIsElement() ? TreeDocument.CurrentNode()->NodeAttributes() : nullptr;
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    attributes->Remove(row + 1);
    {
        // No other entry becomes selected by the removal.
        const QSignalBlocker blocker(lstAttributes);
        delete lstAttributes->takeItem(row);
        lstAttributes->clearSelection();
        lstAttributes->setCurrentRow(-1);
    }
    {
        const QScopedValueRollback<bool> updating(TreeDocument.UpdatingControls, true);
        txtAttributeValue->clear();
    }
    cmdRename->setEnabled(false);
    cmdDel->setEnabled(false);
    txtAttributeValue->setEnabled(false);
    TreeDocument.SetModified(true);
}

void frmEditor::cmdRename_Click()
{
    const int row = selectedRow(lstAttributes);
    clsNodeAttributes* attributes =
        TreeDocument.currentIsElement() ? TreeDocument.CurrentNode()->NodeAttributes() : nullptr;
    if (row < 0 || !attributes || row >= attributes->Count())
        return;
    const QString old = lstAttributes->item(row)->text();
    const QString answer = ui().inputBox(QStringLiteral("Please enter the new name for the attribute:"),
                                         QStringLiteral("Rename Attribute"), old);
    // A change of letter case alone changes nothing.
    if (answer.isEmpty() || answer.compare(old, Qt::CaseInsensitive) == 0)
        return;
    const treeedit::Refusal refused =
        treeedit::CheckAttributeRename(answer, treeedit::AttributeNames(*TreeDocument.CurrentNode()), row + 1);
    if (refused) {
        ui().msgBox(refused.text, refused.style, refused.title);
        return;
    }
    lstAttributes->item(row)->setText(answer);
    attributes->Item(row + 1)->setAttribName(answer);
    TreeDocument.SetModified(true);
}

// ---------------------------------------------------------------------------------------
// Options: the page and the work folder

void frmEditor::mnuClear_Click()
{
    if (isBusy())
        return;
    // The page's XML work copy goes with the page, so that nothing of the file stays behind
    // to be loaded or saved by mistake.
    if (!WorkBase.isEmpty()) {
        const QString copy = WorkBase + QStringLiteral("xml");
        if (FileExists(copy) && !QFile::remove(platform::nativePath(copy)))
            showError(QStringLiteral("The work file ") + copy + QStringLiteral(" could not be deleted."));
        platform::clearPathCache();
    }
    RichTextBox1->clearText();
    Text1->clear();
    Label2->clear();
    // An empty page is no game file's text: saving it must not replace a game file.
    PageSource = Source::Nothing;
}

void frmEditor::mnuCTF_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    if (!hub::ResetTempFiles())
        showError(QStringLiteral("The work folder ") + hub::TempFilesFolder() + QStringLiteral(" could not be created."));
}

// ---------------------------------------------------------------------------------------
// Help

void frmEditor::mnuContents_Click()
{
    const QString reader = shared().AcrobatPath;
    if (reader.isEmpty()) {
        ui().msgBox(hub::HelpReaderMissingMessage(), vb::vbOKOnly + vb::vbExclamation, Ui::programTitle());
        return;
    }
    QString error;
    if (platform::startDetached(hub::HelpCommandLine(reader), &error) == 0)
        showError(hub::HelpReaderFailedMessage(reader, error));
}

// ---------------------------------------------------------------------------------------
// Conversions

void frmEditor::mnuDDS_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ConvertTextureToDds(Text1->text(), RichTextBox1->text(), WorkName);
}

void frmEditor::mnuView_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ViewDdsFile(WorkName);
}

void frmEditor::mnuEditDDS_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::EditDdsFile(WorkName);
}

void frmEditor::mnuDDStoKrs_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ConvertDdsToTexture([this](const QString& xml) { RichTextBox1->loadText(xml); });
}

void frmEditor::mnuTime_Click()
{
    if (!isBusy())
        dlgTime::showDialog(this);
}

// ---------------------------------------------------------------------------------------
// Search and Replace: both windows work on the text page beside the hub.

void frmEditor::mnuFind_Click()
{
    if (!isBusy())
        dlgSearch::showDialog(RichTextBox1, this);
}

void frmEditor::mnuSwap_Click()
{
    if (isBusy())
        return;
    ui().setMousePointer(vb::vbHourglass);
    dlgSwapTrack::showDialog(RichTextBox1, this);
    ui().setMousePointer(vb::vbDefault);
}

// ---------------------------------------------------------------------------------------
// Tools

// mnuDelRoute_Click and the packagers' launchers: frmEditorLaunchers.cpp.

void frmEditor::mnuTgpcdx_Click()
{
    if (!isBusy())
        frmGFX::showViewer();
}

// "Show Image": the viewer on the texture in the file-name box.
void frmEditor::Command7_Click()
{
    frmGFX::showImage(Text1->text());
}

void frmEditor::mnuCheckXML_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    CheckRoutesXmlFile();
}

void frmEditor::mnuZelvorn_Click()
{
    if (isBusy())
        return;
    frmShowRoutes::showBrowser(this);
}

void frmEditor::mnuLists_Click()
{
    if (!isBusy())
        frmAssets::showWindow(this);
}

void frmEditor::mnuLoco_Click()
{
    if (isBusy())
        return;
    const int answer = ui().msgBox(QStringLiteral("This option assumes that you have set up your Developer and Addon folders")
                                       + QStringLiteral("\r\nPlease confirm"),
                                   vb::vbYesNo + vb::vbExclamation, Ui::programTitle());
    if (answer == vb::vbYes)
        frmFolderLoco::showWindow(this);
}

hub::ToolWindows frmEditor::toolWindows()
{
    return {[this] { frmMarkers::showModalWindow(this); }, [this] { frmFolder::showModalWindow(this); },
            [this] { frmBlue::showDesigner(this); }};
}

void frmEditor::mnuMultiMarker_Click()
{
    if (!isBusy())
        hub::launchMarkerTool(1, toolWindows());
}

void frmEditor::mnuDCSVnew_Click()
{
    if (!isBusy())
        hub::launchMarkerTool(2, toolWindows());
}

void frmEditor::mnuMarkN_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(1, toolWindows());
}

void frmEditor::mnuMarkS_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(2, toolWindows());
}

void frmEditor::mnuRoute_Click()
{
    if (!isBusy())
        hub::launchBlueprintDesigner(3, toolWindows());
}

void frmEditor::mnuDevFolders_Click()
{
    if (!isBusy())
        hub::launchDeveloperFolders(toolWindows());
}

void frmEditor::mnuRouteInfo_Click()
{
    if (!isBusy())
        frmDesc::addRouteDescription();
}

void frmEditor::mnuMap_Click()
{
    if (!isBusy())
        hub::AddRouteLoadingPicture([](const QStringList& names) { return dlgSelRoute::choose(names); });
}

// ---------------------------------------------------------------------------------------
// The tree page's search

// The window as the searches see it.
class frmEditor::SearchHost : public TreeSearchHost {
public:
    explicit SearchHost(frmEditor* window) : w(window) {}

    void focusTree() override
    {
        ++w->selectingByCode_;
        w->trevwContents->setFocus();
        --w->selectingByCode_;
    }
    void selectItem(const QString& key, bool reveal) override
    {
        if (reveal) {
            w->selectTreeItem(key);
            return;
        }
        // Without scrolling the tree to it: the walk visits item after item.
        QTreeWidgetItem* item = w->trevwContents->itemForKey(key);
        if (!item)
            return;
        ++w->selectingByCode_;
        const bool autoScroll = w->trevwContents->hasAutoScroll();
        w->trevwContents->setAutoScroll(false);
        w->trevwContents->setCurrentItem(item);
        w->trevwContents->setAutoScroll(autoScroll);
        --w->selectingByCode_;
    }
    void nodeClick(const QString& key) override { w->trevwContents_NodeClick(key); }
    void showCharacters(const QString& text) override { w->showCharacters(text); }
    QString characters() const override { return w->txtCharacters->text(); }
    void replaceCharacters(const QString& text) override
    {
        if (!w->TreeDocument.currentIsElement())
            return;
        w->showCharacters(text);
        w->TreeDocument.CurrentNode()->setNodeCharacters(text);
        w->TreeDocument.SetModified(true);
    }
    void askFindContinue() override { w->showFindDialog(); }

private:
    frmEditor* w;
};

template <typename Search>
void frmEditor::runSearch(Search search)
{
    // A search processes window events between hits; a second one must not start then.
    if (isBusy() || searching_)
        return;
    const QScopedValueRollback<bool> running(searching_, true);
    SearchHost host(this);
    TreeSearch walker(TreeDocument, *trevwContents, host);
    try {
        search(walker);
    } catch (const VbError& e) {
        selectingByCode_ = 0;
        showUnexpected("Search", e.number);
    }
}

void frmEditor::showFindDialog()
{
    if (!findDialog_)
        findDialog_ = new dlgFind(this);
    ui().showModal(findDialog_);
    // "OK" unloads the dialog; "Continue" only hides it for the next hit.
    if (findDialog_ && findDialog_->unloaded())
        delete findDialog_.data();
}

void frmEditor::Command2_Click()
{
    runSearch([this](TreeSearch& search) { search.Find(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command3_Click()
{
    runSearch([this](TreeSearch& search) { search.FindAll(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command4_Click()
{
    runSearch([this](TreeSearch& search) { search.FindInText(Text2->text(), Check1->isChecked()); });
}

void frmEditor::Command5_Click()
{
    runSearch([this](TreeSearch& search) { search.Replace(Text2->text(), Text3->text()); });
}

void frmEditor::Command6_Click()
{
    runSearch([this](TreeSearch& search) { search.ReplaceAll(Text2->text(), Text3->text(), Check1->isChecked()); });
}

void frmEditor::Text2_KeyDown(int keyCode)
{
    if (keyCode == 13)
        Command2_Click();
}
