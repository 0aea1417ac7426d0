#include "assets/frmAssets.h"

#include "assets/AssetList.h"
#include "assets/BlueprintPipeline.h"
#include "common/DriveListWidget.h"
#include "common/FileProcs.h"
#include "common/FlexGridWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "common/TempFiles.h"
#include "common/Twips.h"
#include "platform/OneWindow.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "common/WindowPartsWidgets.h"

#include <algorithm>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>

#include <cmath>
#include <exception>
#include <vector>

namespace {

platform::OneWindow<frmAssets> loadedWindow;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString withBackslash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

const QString DeleteWarning = QStringLiteral(
    "This will DELETE all selected files - You have been warned!!!\r\n"
    "If you do not have a back-up of the folder you are about to alter, I suggest\r\n"
    "you make one before carrying out this procedure!");

} // namespace

// ---- the one window -----------------------------------------------------------------------

frmAssets* frmAssets::showWindow(QWidget* parent)
{
    return &loadedWindow.show([parent] { return new frmAssets(parent); });
}

frmAssets* frmAssets::loaded()
{
    return loadedWindow.loaded();
}

frmAssets::frmAssets(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAssets"));
    setWindowTitle(QStringLiteral("Build List of Assets"));
    loadedWindow.take(this);
    buildMenus();
    buildControls();
    layout_ = assets::AssetsWindowDesign();
    resize(windowparts::toPixels(assets::AssetsDesignWidth), windowparts::toPixels(assets::AssetsDesignHeight));
    platform::openOnScreen(this);
    Form_Load();
    Form_Resize();
}

std::vector<assets::SelectedRow> frmAssets::selectedAssetRows() const
{
    std::vector<assets::SelectedRow> rows;
    for (int row : VsFg1->selectedRowNumbers()) {
        rows.push_back({row, VsFg1->TextMatrix(row, assets::ProviderColumn),
                        VsFg1->TextMatrix(row, assets::ProductColumn), VsFg1->TextMatrix(row, assets::PathColumn)});
    }
    return rows;
}

std::vector<assets::CrewRow> frmAssets::selectedNamedRows() const
{
    std::vector<assets::CrewRow> rows;
    for (const assets::SelectedRow& row : selectedAssetRows())
        rows.push_back({row, VsFg1->TextMatrix(row.gridRow, assets::NameColumn)});
    return rows;
}

void frmAssets::makeCurrent(int row, int col)
{
    VsFg1->setRow(row);
    VsFg1->setCol(col);
}

assets::PipelineHooks frmAssets::rowHooks(bool selectionCheck)
{
    assets::PipelineHooks hooks;
    if (selectionCheck)
        hooks.isSelected = [this](int row) { return VsFg1->IsSelected(row); };
    hooks.showPath = [this](const QString& fullPath) { StatusPanel2->setText(fullPath); };
    hooks.currentCell = [this](int row, int col) { makeCurrent(row, col); };
    return hooks;
}

frmAssets::~frmAssets()
{
    loadedWindow.forget(this);
}

void frmAssets::buildMenus()
{
    const auto item = [this](QMenu* menu, const QString& caption, const char* name, void (frmAssets::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (handler)
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        else
            action->setVisible(false); // a command still to come
        return action;
    };
    QMenuBar* bar = menuBar();
    mnuFiles = bar->addMenu(QStringLiteral("Files"));
    mnuExit = item(mnuFiles, QStringLiteral("Exit"), "mnuExit", &frmAssets::mnuExit_Click);

    mnuEditRS = bar->addMenu(QStringLiteral("Edit Rolling Stock"));
    mnuAddDriver = item(mnuEditRS, QStringLiteral("Add Driver to 166 Class"), "mnuAddDriver", &frmAssets::mnuAddDriver_Click);
    mnuCond = item(mnuEditRS, QStringLiteral("Add Conductor to US Diesel"), "mnuCond", &frmAssets::mnuCond_Click);
    mnuAdd = item(mnuEditRS, QStringLiteral("Add Passengers to Carriages"), "mnuAdd", &frmAssets::mnuAdd_Click);
    mnuDead = item(mnuEditRS, QStringLiteral("Make Selected Stock Dead"), "mnuDead", &frmAssets::mnuDead_Click);
    mnuTail = item(mnuEditRS, QStringLiteral("Add tail-lights"), "mnuTail", &frmAssets::mnuTail_Click);
    mnuHead = item(mnuEditRS, QStringLiteral("Add head-lights"), "mnuHead", &frmAssets::mnuHead_Click);
    mnuClone = item(mnuEditRS, QStringLiteral("Clone selected Asset"), "mnuClone", &frmAssets::mnuClone_Click);
    mnuCloneDefault = item(mnuEditRS, QStringLiteral("Clone Selected Default Asset"), "mnuCloneDefault", &frmAssets::mnuCloneDefault_Click);

    mnuEdAss = bar->addMenu(QStringLiteral("Edit Assets"));
    mnuLod = item(mnuEdAss, QStringLiteral("Change LODs"), "mnuLod", &frmAssets::mnuLod_Click);
    mnuDel = item(mnuEdAss, QStringLiteral("Delete Selected"), "mnuDel", &frmAssets::mnuDel_Click);
    mnuEnglish = item(mnuEdAss, QStringLiteral("Make English Only"), "mnuEnglish", &frmAssets::mnuEnglish_Click);
    mnuInScene = item(mnuEdAss, QStringLiteral("Use in Scenarios"), "mnuInScene", &frmAssets::mnuInScene_Click);

    // A menu none of whose commands is there yet is not shown.
    for (QMenu* menu : {mnuFiles, mnuEditRS, mnuEdAss}) {
        const QList<QAction*> actions = menu->actions();
        menu->menuAction()->setVisible(
            std::any_of(actions.begin(), actions.end(), [](const QAction* a) { return a->isVisible(); }));
    }
}

void frmAssets::buildControls()
{
    client_ = new QWidget(this);
    setCentralWidget(client_);

    Frame1 = windowparts::makeNamed<QGroupBox>(client_, "Frame1");
    Drive1 = windowparts::makeNamed<DriveListWidget>(Frame1, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(Frame1, "Dir1");
    File1 = windowparts::makeNamed<QListWidget>(Frame1, "File1");
    Text2 = windowparts::makeNamed<QLineEdit>(Frame1, "Text2");
    Text2->setReadOnly(true);
    Text1 = windowparts::makeNamed<QLineEdit>(Frame1, "Text1");
    Label6 = makeLabel(Frame1, "Label6", QStringLiteral("Category"));
    Text5 = windowparts::makeNamed<QLineEdit>(Frame1, "Text5");
    Command1 = windowparts::makeButton(Frame1, QStringLiteral("Command1"), QStringLiteral("Add to List"));
    Command9 = windowparts::makeButton(Frame1, QStringLiteral("Command9"), QStringLiteral("Display Child Entries."));
    Command2 = windowparts::makeButton(Frame1, QStringLiteral("Command2"), QStringLiteral("Print List"));
    Command3 = windowparts::makeButton(Frame1, QStringLiteral("Command3"), QStringLiteral("Save List"));
    Command4 = windowparts::makeButton(Frame1, QStringLiteral("Command4"), QStringLiteral("&Exit"));
    Command5 = windowparts::makeButton(Frame1, QStringLiteral("Command5"), QStringLiteral("Clear List"));
    Label5 = makeLabel(Frame1, "Label5", QStringLiteral("Total items = "));
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("Min LOD"));
    Text3 = windowparts::makeNamed<QLineEdit>(Frame1, "Text3");
    Text3->setText(QStringLiteral("300"));
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("Max LOD"));
    Text4 = windowparts::makeNamed<QLineEdit>(Frame1, "Text4");
    Text4->setText(QStringLiteral("1500"));

    Picture1 = makeLabel(client_, "Picture1", QString());
    Frame2 = windowparts::makeNamed<QGroupBox>(client_, "Frame2");
    Label4 = makeLabel(Frame2, "Label4", QStringLiteral("Child Entries For:-"));
    List1 = windowparts::makeNamed<QListWidget>(Frame2, "List1");
    Command12 = windowparts::makeButton(Frame2, QStringLiteral("Command12"), QStringLiteral(" Remove Selected Child Entries."));

    // The commands of the preview, the child entries, printing and the level-of-detail change
    // are still to come.
    setUpChildEntries();
    Frame2->hide(); // shown by the first display of child entries
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    VsFg1 = windowparts::makeNamed<FlexGridWidget>(client_, "VsFg1");

    StatusPanel1 = new QLabel(this);
    StatusPanel2 = windowparts::makeNamed<QLabel>(this, "StatusPanel2");
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(StatusPanel1);
    statusBar()->addWidget(StatusPanel2, 1);

    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    wireGridPreview();
}

void frmAssets::setGridHeader()
{
    QList<FlexGridColumn> columns;
    for (const assets::ColumnHeader& c : assets::ColumnHeaders)
        columns.append({QString::fromLatin1(c.text), c.widthChars});
    VsFg1->setColumns(columns);
}

// ---- loading, layout and closing -----------------------------------------------------------

void frmAssets::Form_Load()
{
    const auto step = [](const std::function<void()>& work) {
        runGuarded(ErrorSpelling::Description, QStringLiteral("Form_Load"), work);
    };
    const QString gamePath = shared().GamePath;
    filePattern_ = assets::DefaultFilePattern;
    step([&] {
        // The list opens at the game's "Assets" folder.
        Drive1->showGameFolder(*Dir1, gamePath, QStringLiteral("Assets"));
        Dir1_Change();
    });
    step([&] { Text1->setText(assets::DefaultFilePattern); });
    step([&] {
        ui().doEvents();
        ResetTempFiles();
        ui().doEvents();
    });
    step([&] { NameLanguage = assets::DefaultNameLanguage; });
    step([&] {
        VsFg1->setRows(2);
        setGridHeader();
    });
}

void frmAssets::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmAssets::Form_Resize()
{
    const QSize outer = frameGeometry().size();
    assets::LayOutAssetsWindow(outer.width() * TwipsPerPixel, outer.height() * TwipsPerPixel, layout_);
    applyLayout();
}

void frmAssets::applyLayout()
{
    const assets::AssetsWindowLayout& l = layout_;
    windowparts::place(Frame1, l.Frame1);
    windowparts::place(Drive1, l.Drive1);
    windowparts::place(Dir1, l.Dir1);
    windowparts::place(File1, l.File1);
    windowparts::place(Text2, l.Text2);
    windowparts::place(Label6, l.Label6);
    windowparts::place(Text1, l.Text1);
    windowparts::place(Text5, l.Text5);
    windowparts::place(Command1, l.Command1);
    windowparts::place(Command9, l.Command9);
    windowparts::place(Command2, l.Command2);
    windowparts::place(Command3, l.Command3);
    windowparts::place(Command4, l.Command4);
    windowparts::place(Command5, l.Command5);
    windowparts::place(Label5, l.Label5);
    windowparts::place(Label1, l.Label1);
    windowparts::place(Text3, l.Text3);
    windowparts::place(Label2, l.Label2);
    windowparts::place(Text4, l.Text4);
    windowparts::place(Picture1, l.Picture1);
    windowparts::place(Frame2, l.Frame2);
    windowparts::place(VsFg1, l.VsFg1);
    // A caption wider than the drawn button column widens the column to its left, keeping its
    // right edge inside the frame: the boxes left-aligned to it follow, and the file list and
    // the boxes above it give up the width.
    const int grown =
        windowparts::widenToWidestCaption({Command1, Command9, Command2, Command3, Command4, Command5});
    if (grown > 0) {
        for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command9, Command2, Command3, Command4, Command5,
                                                          Label5, Label1, Text3})
            w->move(w->x() - grown, w->y());
        Label5->resize(Label5->width() + grown, Label5->height());
        for (QWidget* w : std::initializer_list<QWidget*>{File1, Text5, Label6, Text2})
            w->resize(std::max(0, w->width() - grown), w->height());
    }
    for (QLabel* label : {Label1, Label2}) {
        const int need = windowparts::captionWidth(label);
        if (label->width() < need)
            label->setGeometry(label->geometry().right() + 1 - need, label->y(), need, label->height());
    }
}

void frmAssets::closeEvent(QCloseEvent* event)
{
    // Not while a walk or an edit is processing window events.
    if (busy_) {
        event->ignore();
        return;
    }
    event->accept();
    // Unloaded: the next opening loads a new window, even before this one is deleted.
    loadedWindow.forget(this);
}

void frmAssets::run(const char* handler, const std::function<void()>& work)
{
    if (busy_)
        return;
    busy_ = true;
    Frame1->setEnabled(false);
    menuBar()->setEnabled(false);
    VsFg1->setPressesIgnored(true);
    const PointerKeeper pointer;
    runGuarded(ErrorSpelling::Description, QLatin1String(handler), work);
    VsFg1->setPressesIgnored(false);
    menuBar()->setEnabled(true);
    Frame1->setEnabled(true);
    busy_ = false;
}

// ---- folder and file lists -----------------------------------------------------------------

void frmAssets::listFiles()
{
    File1->clear();
    File1->addItems(matchingFileNames(Dir1->path(), filePattern_));
}

void frmAssets::Drive1_Change()
{
    // The folder list goes to the chosen drive; a drive that cannot be opened leaves both lists
    // where they were.
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        Dir1_Change();
    });
}

void frmAssets::Dir1_Change()
{
    Text2->setText(withBackslash(Dir1->path()));
    listFiles();
    ui().doEvents();
}

void frmAssets::showFolder(const QString& folder, const QStringList& files)
{
    Dir1->setPath(folder);
    Text2->setText(withBackslash(folder));
    File1->clear();
    File1->addItems(files);
}

void frmAssets::Dir1_Click()
{
    ClickedFolder = Dir1->path();
    const qsizetype at = vb::InStr(1, ClickedFolder, QStringLiteral("Rail Simulator"));
    if (at > 0)
        ClickedItem = vb::Mid(ClickedFolder, at);
    if (!FolderExists(ClickedFolder)) {
        exclaim(QStringLiteral("strasset = ") + ClickedFolder + QStringLiteral("\r\n") + QStringLiteral("stritem = ")
             + ClickedItem);
        return;
    }
    Dir1_Change();
}

void frmAssets::Text1_Change()
{
    if (Text1->text().isEmpty()) {
        Text1->setText(assets::AllFilesPattern); // comes back here with the pattern
        return;
    }
    // A pattern the file list cannot take leaves it with the one it has.
    if (!assets::IsUsablePattern(Text1->text()))
        return;
    try {
        filePattern_ = Text1->text();
        listFiles();
    } catch (const std::exception&) {
        ui().msgBox(QStringLiteral("Invalid character entered in the FILTER string"), vb::vbOKOnly + vb::vbCritical,
                    Ui::programTitle());
    }
}

// ---- Add to List, Clear List, Save List, Exit ----------------------------------------------

void frmAssets::addToList()
{
    BusyPointer busy;
    if (assets::IsUsablePattern(assets::EffectivePattern(Text1->text())))
        filePattern_ = assets::EffectivePattern(Text1->text());
    assets::WalkCallbacks callbacks;
    callbacks.folder = [this](const QString& folder, const QStringList& files) { showFolder(folder, files); };
    callbacks.addRow = [this](const assets::AssetRow& row) {
        VsFg1->AddItem(row.text());
        return true;
    };
    callbacks.events = [] { ui().doEvents(); };
    const QString start = Dir1->path();
    assets::AddToList(start, Text1->text(), Text5->text(), NameLanguage, shared().GamePath, callbacks);
    ui().doEvents();
    Label5->setText(assets::TotalItemsText(VsFg1->Rows() - 2));
}

void frmAssets::Command1_Click()
{
    run("Command1_Click", [this] { addToList(); });
}

void frmAssets::clearList()
{
    VsFg1->clearCells();
    VsFg1->setRows(2);
    setGridHeader();
    Label5->setText(assets::ClearedTotalText());
}

void frmAssets::Command5_Click()
{
    run("Command5_Click", [this] { clearList(); });
}

void frmAssets::Command3_Click()
{
    run("Command3_Click", [this] {
        const QString reports = platform::programFolder() + QStringLiteral("\\Reports");
        if (!FolderExists(reports)) {
            QDir().mkpath(platform::nativePath(reports));
            platform::clearPathCache();
        }
        FileDialogRequest request;
        request.title = QStringLiteral("Save Grid as File");
        request.filter = QStringLiteral("Comma Separated (*.csv)|*.csv|Tabbed text file (*.tab)|*.tab");
        request.filterIndex = 1;
        request.initDir = reports;
        const QString name = ui().saveFile(request);
        if (name.isEmpty())
            return;
        const QString ending = vb::Right(name, 3);
        if (ending.compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0)
            VsFg1->SaveGrid(name, grid::TextFormat::CommaSeparated);
        else if (ending.compare(QStringLiteral("tab"), Qt::CaseInsensitive) == 0
                 || ending.compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0)
            VsFg1->SaveGrid(name, grid::TextFormat::TabSeparated);
    });
}

void frmAssets::Command4_Click()
{
    close();
}

void frmAssets::mnuExit_Click()
{
    close();
}

// ---- the edits -----------------------------------------------------------------------------

void frmAssets::mnuDel_Click()
{
    run("mnuDel_Click", [this] {
        ui().setMousePointer(vb::vbHourglass);
        if (ui().msgBox(DeleteWarning, vb::vbOKCancel + vb::vbExclamation, Ui::programTitle()) == vb::vbCancel)
            return;
        const QString gamePath = shared().GamePath;
        for (const assets::SelectedRow& row : selectedAssetRows()) {
            if (row.gridRow == -1 || !VsFg1->IsSelected(row.gridRow) || vb::Trim(row.product).isEmpty())
                continue;
            assets::RowPaths paths;
            if (!assets::MakeRowPaths(row, gamePath, paths))
                break;
            StatusPanel2->setText(paths.fullPath);
            // A file that cannot be deleted is passed over.
            QFile::remove(platform::nativePath(paths.fullPath));
            ui().doEvents();
        }
        platform::clearPathCache();
        ui().setMousePointer(vb::vbDefault);
        clearList();
        ui().doEvents();
        addToList();
        ui().doEvents();
    });
}

void frmAssets::mnuInScene_Click()
{
    run("mnuInScene_Click", [this] {
        const assets::PipelineResult result =
            assets::UseInScenarios(selectedAssetRows(), shared().GamePath, rowHooks(true));
        // A written row's In Scenarios cell is made current and set; the last row taken up
        // keeps the grid's current cell.
        const assets::RowResult* last = nullptr;
        for (const assets::RowResult& row : result.rows) {
            if (row.gridRow == -1)
                continue;
            last = &row;
            if (row.outcome == assets::RowOutcome::Written)
                VsFg1->setTextMatrix(row.gridRow, assets::InScenariosColumn, assets::UseInScenariosCell);
        }
        if (last && last->outcome == assets::RowOutcome::Written)
            makeCurrent(last->gridRow, assets::InScenariosColumn);
    });
}
