#include "routes/frmDelRoute.h"
#include "routes/frmDelRouteBusy.h"

#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TabStopListWidget.h"
#include "common/TagText.h"
#include "common/frmReport.h"
#include "platform/OneWindow.h"
#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "routes/RouteClone.h"
#include "routes/RouteScan.h"
#include "routes/StockList.h"
#include "routes/Substitution.h"
#include "routes/dlgMissShape.h"
#include "routes/frmListRS.h"
#include "common/WindowPartsWidgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The lists' one tab stop, in dialog units: a quarter of the font's average character width.
constexpr int kTabStopDialogUnits = 170;
// The "Processing" panel's least width: 2000 twips at 15 twips a pixel.
constexpr int kProcessingPanelMinWidth = 2000 / 15;

QFont listFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QListWidget* makeList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setFont(listFont());
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

void removeAllRows(QListWidget* list)
{
    for (int row = list->count() - 1; row >= 0; --row)
        delete list->takeItem(row);
}

void removeEntry(VbArray<QString>& table, qsizetype index)
{
    if (!table.contains(index))
        return;
    QList<QString> values = table.values();
    values.removeAt(index - table.lbound());
    table.redim(table.lbound(), table.lbound() + values.size() - 1);
    for (qsizetype k = 0; k < values.size(); ++k)
        table[table.lbound() + k] = values[k];
}

platform::OneWindow<frmDelRoute> theWindow;

const char* const kAvailable = "veltraneCommandAvailable";

// Shows rows in the report window's list under caption, modally.
void showReportList(const QString& caption, const QStringList& rows)
{
    frmReport& report = frmReport::instance();
    report.setWindowTitle(caption);
    report.RTB1->clear(); // the saved report is the list, not a text left from before
    report.RTB1->hide();
    report.List1->clear();
    report.List1->addItems(rows);
    report.List1->show();
    report.showReport(true);
}

// Shows text in the report window's rich text box under caption, modally.
void showReportText(const QString& caption, const QString& text)
{
    frmReport& report = frmReport::instance();
    report.setWindowTitle(caption);
    report.List1->clear();
    report.List1->hide();
    // The text box keeps lines as paragraphs; saving writes them with CR LF again.
    report.RTB1->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    report.RTB1->show();
    report.showReport(true);
}

// A table with bounds 0 to count - 1 holding the texts.
VbArray<QString> tableOf(const QStringList& texts)
{
    VbArray<QString> table(0, texts.size() - 1);
    for (qsizetype k = 0; k < texts.size(); ++k)
        table[k] = texts[k];
    return table;
}

} // namespace

// Disables the window's commands while a long command processes window events, so that no
// second command starts in the middle of it. "&Abort" stays available.
frmDelRoute::frmDelRoute(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmDelRoute"));
    const SharedState& s = shared();
    mode_ = s.PackageScenariosMode ? ListMode::ScenarioPackage
            : s.PackageRouteMode   ? ListMode::RoutePackage
                                   : ListMode::Check;
    buildControls();
    Form_Load();
}

frmDelRoute::~frmDelRoute() = default;

frmDelRoute& frmDelRoute::instance()
{
    return theWindow.instance([] { return platform::deletedOnClose(new frmDelRoute()); });
}

frmDelRoute* frmDelRoute::existing()
{
    return theWindow.loaded();
}

int frmDelRoute::tabStopPixels() const
{
    return ::tabStopPixels(List1, kTabStopDialogUnits);
}

void frmDelRoute::buildControls()
{
    resize(1180, 660);
    platform::openOnScreen(this);

    Label1 = new QLabel(QStringLiteral("Route Name"), this);
    Label2 = new QLabel(QStringLiteral("Route Folder"), this);
    Label3 = new QLabel(QStringLiteral("Scenario Name"), this);
    Label4 = new QLabel(QStringLiteral("Scenario Folder"), this);
    List1 = makeList(this, QStringLiteral("List1"));
    List2 = makeList(this, QStringLiteral("List2"));
    List3 = makeList(this, QStringLiteral("List3"));
    List4 = makeList(this, QStringLiteral("List4"));
    List5 = makeList(this, QStringLiteral("List5"));
    File1 = makeList(this, QStringLiteral("File1"));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);

    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("List Scenarios in Selected Route"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Delete Selected Scenario"));
    Command3 = windowparts::makeButton(this, QStringLiteral("Command3"), QStringLiteral("List Stock used by selected Scenario"));
    Command4 = windowparts::makeButton(this, QStringLiteral("Command4"), QStringLiteral("Check Selected Route"));
    Command5 = windowparts::makeButton(this, QStringLiteral("Command5"), QStringLiteral("Add to Package"));
    Command6 = windowparts::makeButton(this, QStringLiteral("Command6"), QStringLiteral("Process Package"));
    Command7 = windowparts::makeButton(this, QStringLiteral("Command7"), QStringLiteral("Substitute Scenery Item"));
    Command8 = windowparts::makeButton(this, QStringLiteral("Command8"), QStringLiteral("Package this Routes Assets"));
    Command9 = windowparts::makeButton(this, QStringLiteral("Command9"), QStringLiteral("Clone Route"));
    Command10 = windowparts::makeButton(this, QStringLiteral("Command10"), QStringLiteral("&Abort"));
    OKButton = windowparts::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Delete Selected Route"));
    CancelButton = windowparts::makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("&Exit"));

    auto* lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(Label2, 0, 1);
    lists->addWidget(List1, 1, 0);
    lists->addWidget(List2, 1, 1);
    lists->addWidget(Label3, 2, 0);
    lists->addWidget(Label4, 2, 1);
    lists->addWidget(List3, 3, 0);
    lists->addWidget(List4, 3, 1);
    lists->addWidget(List5, 4, 0);
    lists->addWidget(File1, 4, 1);
    lists->setColumnStretch(0, 5);
    lists->setColumnStretch(1, 2);
    // The folder lists are wide enough for a folder named by a GUID.
    const int folderWidth = QFontMetrics(List2->font()).horizontalAdvance(QString(38, QLatin1Char('0')));
    List2->setMinimumWidth(folderWidth);
    List4->setMinimumWidth(folderWidth);
    lists->setRowStretch(1, 3);
    lists->setRowStretch(3, 2);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {Command1, Command2, Command3, Command4, Command7, Command9, OKButton, Command5,
                                Command6, Command8})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(Command10);
    buttons->addWidget(CancelButton);

    auto* body = new QHBoxLayout;
    body->addLayout(lists, 1);
    body->addLayout(buttons);

    StatusBar1 = windowparts::makeNamed<QStatusBar>(this, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = windowparts::makeNamed<QLabel>(StatusBar1, "Processing");
    StatusPanel1->setMinimumWidth(kProcessingPanelMinWidth);
    StatusPanel2 = windowparts::makeNamed<QLabel>(StatusBar1, "Time panel");
    StatusPanel3 = new QLabel(StatusBar1);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2);
    StatusBar1->addWidget(StatusPanel3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar1);

    const int tabStop = tabStopPixels();
    setTabStopRows(List1, tabStop);
    setTabStopRows(List3, tabStop);

    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &frmDelRoute::updateTimePanel);

    // The commands this window carries out itself. The buttons of commands that other
    // tools provide become available when those tools wire them.
    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &frmDelRoute::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDelRoute::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &frmDelRoute::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &frmDelRoute::Command3_Click);
    connect(Command7, &QPushButton::clicked, this, &frmDelRoute::Command7_Click);
    Command3->setProperty(kAvailable, true);
    Command7->setProperty(kAvailable, true);
    connect(Command10, &QPushButton::clicked, this, &frmDelRoute::Command10_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDelRoute::CancelButton_Click);
    for (QPushButton* button : {Command1, Command2, Command4, Command10, CancelButton})
        button->setProperty(kAvailable, true);
    connect(Command9, &QPushButton::clicked, this, &frmDelRoute::Command9_Click);
    Command9->setProperty(kAvailable, true);
    connect(OKButton, &QPushButton::clicked, this, &frmDelRoute::OKButton_Click);
    connect(Command8, &QPushButton::clicked, this, &frmDelRoute::Command8_Click);
    OKButton->setProperty(kAvailable, true);
    Command8->setProperty(kAvailable, true);
    connect(Command5, &QPushButton::clicked, this, &frmDelRoute::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmDelRoute::Command6_Click);
    Command5->setProperty(kAvailable, true);
    Command6->setProperty(kAvailable, true);
}

void frmDelRoute::showCommand(QPushButton* button, bool wantedInMode)
{
    button->setVisible(wantedInMode && button->property(kAvailable).toBool());
}

void frmDelRoute::Form_Load()
{
    SharedState& s = shared();
    try {
        s.RouteNames.redim(0, routes::kRouteTableUpper);
        s.RouteFolders.redim(0, routes::kRouteTableUpper);
        UsedBlueprints.redim(0, routes::kRouteTableUpper);
        UsedTextures.redim(0, routes::kRouteTableUpper);

        List1->update();
        List3->update();

        const bool scenarioPackage = mode_ == ListMode::ScenarioPackage;
        showCommand(Command4, !scenarioPackage);
        showCommand(OKButton, !scenarioPackage);
        showCommand(Command2, !scenarioPackage);
        showCommand(Command3, !scenarioPackage);
        showCommand(Command5, scenarioPackage);
        showCommand(Command6, scenarioPackage);
        showCommand(Command1, true);
        showCommand(Command7, true);
        showCommand(Command9, true);
        showCommand(Command10, true);
        showCommand(CancelButton, true);
        List5->hide();
        File1->hide();

        RoutesXmlPath = s.GamePath + QStringLiteral("\\Content\\Routes.xml");
        RoutesXmlText.clear();
        try {
            ReadTextFile(RoutesXmlPath, RoutesXmlText);
        } catch (const VbError&) {
            RoutesXmlText.clear(); // an empty or unreadable list holds no routes
        }

        if (mode_ != ListMode::RoutePackage) {
            setWindowTitle(QStringLiteral("Select Route"));
            OKButton->setText(QStringLiteral("Delete Selected Route"));
            showCommand(Command8, false);
        } else {
            setWindowTitle(QStringLiteral("Select Route to Package"));
            OKButton->setText(QStringLiteral("Package Selected Route"));
            showCommand(Command8, true);
        }

        removeAllRows(List1);
        removeAllRows(List2);
        removeAllRows(List3);
        removeAllRows(List4);
        const qsizetype count = routes::ReadRoutes(RoutesXmlText, s.RouteNames, s.RouteFolders);
        for (qsizetype k = 0; k < count; ++k) {
            List2->addItem(s.RouteFolders[k]);
            List1->addItem(routes::ListRow(s.RouteNames[k], s.RouteFolders[k]));
        }

        StatusPanel1->setText(QStringLiteral("Processing"));
        StatusPanel3->clear();
        updateTimePanel();
        clock_->start();

        if (count == 0)
            exclaim(QStringLiteral("No routes were found in ") + RoutesXmlPath);
    } catch (const VbError& error) {
        showHandlerError(ErrorSpelling::AnNumber, error, QStringLiteral("Form_Load"));
    } catch (const std::exception&) {
        exclaim(QStringLiteral("An Error occurred in Form_Load"));
    }
}

void frmDelRoute::updateTimePanel()
{
    StatusPanel2->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

void frmDelRoute::setCommandsEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{List1, List3, Command1, Command2, Command3, Command4,
                                                            Command5, Command6, Command7, Command8, Command9,
                                                            OKButton, CancelButton})
        widget->setEnabled(enabled);
}

void frmDelRoute::List1_Click()
{
    Command1_Click();
}

void frmDelRoute::Command1_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List1);
    SharedState& s = shared();
    if (row < 0 || !s.RouteFolders.contains(row))
        return; // no route picked: nothing is converted or written
    BusyScope busy(this);
    BusyPointer pointer;

    File1->hide();
    removeAllRows(List3);
    const bool scenarioPackage = mode_ == ListMode::ScenarioPackage;
    if (!scenarioPackage)
        removeAllRows(List4); // in a scenario package it is the package list
    routes::ListScenarios(*this, s.RouteFolders[row], [this, scenarioPackage](const QString& name, const QString& folder) {
        if (!scenarioPackage)
            List4->addItem(folder);
        List3->addItem(routes::ListRow(name, folder));
    });
}

void frmDelRoute::Command2_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List3);
    if (row < 0 || row >= List4->count())
        return; // no scenario picked: nothing is deleted or written
    if (ui().msgBox(QStringLiteral("Do you really wish to delete the selected scenario?"),
                    vb::vbYesNo + vb::vbExclamation)
        != vb::vbYes)
        return;
    BusyScope busy(this);
    BusyPointer pointer;

    List3->item(row)->setSelected(false);
    const QString folder = List4->item(row)->text();
    if (!routes::DeleteScenario(*this, folder))
        return;
    delete List3->takeItem(row);
    delete List4->takeItem(row);
    // The tables follow the rows, so that entry k still belongs to row k.
    SharedState& s = shared();
    removeEntry(s.ScenarioFolders, row);
    removeEntry(s.ScenarioNames, row);
}

void frmDelRoute::Command3_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List3);
    SharedState& s = shared();
    if (row < 0 || !s.ScenarioFolders.contains(row) || !routes::IsUsableFolderName(s.ScenarioFolders[row])
        || SelectedRoutePath.isEmpty())
        return; // no scenario picked: nothing happens
    const QString path = routes::ScenarioBinPath(SelectedRoutePath, s.ScenarioFolders[row]);
    if (!FileExists(path)) {
        ui().msgBox(QStringLiteral("There is no scenario.bin file in this folder.\r\noperation aborted."),
                    vb::vbOKOnly + vb::vbCritical);
        return;
    }
    BusyScope busy(this);
    BusyPointer pointer;
    QString xml;
    const ConversionResult converted = routes::ConvertScenarioCopy(path, xml);
    if (!converted) {
        // The hub's page and the stock list keep what they show.
        exclaim(QStringLiteral("The scenario ") + path + QStringLiteral(" could not be converted to XML.\r\n")
                    + converted.error);
        return;
    }
    s.SkipOpenDialog = false;
    if (routes::HubFileInWork())
        routes::HubFileInWork()(path, xml);
    ui().doEvents();
    frmListRS::instance().showStock(xml);
}

void frmDelRoute::Command7_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List1);
    SharedState& s = shared();
    if (row < 0 || !s.RouteFolders.contains(row) || !routes::IsUsableFolderName(s.RouteFolders[row]))
        return; // no route picked: nothing happens
    const QString routeFolder = s.RouteFolders[row];
    BusyScope busy(this);

    dlgMissShape& dialog = dlgMissShape::instance();
    dialog.prepareShowing();
    ui().showModal(&dialog);
    ui().doEvents();
    if (!dialog.confirmed())
        return; // closed without OK: nothing is done
    const routes::SubstituteRequest request = dialog.request();
    if (!request.oldComplete())
        return;
    if (!request.newComplete()
        && ui().msgBox(QStringLiteral("As you have not included a new Provider, Product or Path, then is it\r\n"
                                      "correct that you wish the items to be removed from your route?"),
                       vb::vbYesNo + vb::vbExclamation)
               != vb::vbYes)
        return;

    BusyPointer pointer;
    tags::routeList::DelAll(routes::SubstituteWorkFolder());
    ui().doEvents();
    QDir().mkpath(platform::nativePath(routes::SubstituteWorkFolder()));

    const QString folder = s.GamePath + QStringLiteral("\\Content\\Routes\\") + routeFolder + s.SubstituteFolder;
    File1->clear();
    File1->show();
    ui().doEvents();
    const QStringList names = routes::TileFileNames(folder);
    File1->addItems(names);
    routes::TileLoopProgress progress;
    progress.tileStarted = [this](qsizetype index) {
        if (index < File1->count())
            File1->setCurrentRow(int(index));
    };
    const QList<routes::UnchangedTile> unchanged = routes::SubstituteInTiles(folder, names, request, progress);
    if (!unchanged.isEmpty())
        exclaim(routes::UnchangedTilesMessage(unchanged));
}

void frmDelRoute::Command4_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List1);
    SharedState& s = shared();
    if (row < 0 || !s.RouteFolders.contains(row) || !routes::IsUsableFolderName(s.RouteFolders[row]))
        return; // no route picked: nothing is scanned
    const QString routeFolder = s.RouteFolders[row];
    BusyScope busy(this);
    const PointerKeeper pointer;
    try {
        checkRoute(routeFolder);
    } catch (const std::exception&) {
        // The check ends without a message.
    }
}

void frmDelRoute::checkRoute(const QString& routeFolder)
{
    SharedState& s = shared();
    ui().setMousePointer(vb::vbHourglass);
    s.ReportText.clear();
    // The report text is this check's own: whether the check shows it, finds nothing to show
    // or stops early, none of it is left behind for the next report window to show.
    struct ReportTextCleaner {
        ~ReportTextCleaner() { shared().ReportText.clear(); }
    } reportTextCleaner;
    UsedBlueprints.redim(0, routes::kRouteTableUpper);
    UsedTextures.redim(0, routes::kRouteTableUpper);
    routes::RouteScanner::resetWorkFolder();

    File1->clear();
    File1->show();
    FileListProgress progress(File1);
    routes::RouteScanner scanner(s.GamePath);
    scanner.setProgress(&progress);

    // The scenarios listed for the route: their own scenery is scanned too. The lists stay as
    // they are, so "Delete Selected Scenario" still acts on the scenario the user sees.
    QStringList scenarios;
    for (int k = 0; k < List4->count(); ++k)
        scenarios.append(List4->item(k)->text());
    const QString routePath = s.GamePath + QStringLiteral("\\Content\\Routes\\") + routeFolder;
    if (!scanner.ScanRoute(routePath, scenarios))
        return; // aborted

    const QStringList used = scanner.usedBlueprints().sorted();
    UsedBlueprints = tableOf(used);
    showReportList(QStringLiteral("Following item(s) were missing from this route:-"), scanner.missingLines());
    ui().setMousePointer(vb::vbDefault);

    const int question = vb::vbYesNo + vb::vbQuestion;
    if (ui().msgBox(QStringLiteral("Do you wish to view a list of Shapes used by this route?"), question) == vb::vbYes)
        showReportList(QStringLiteral("Following item(s) were used by this route:-"), used);
    if (ui().msgBox(QStringLiteral("Would you like to check for missing Texture/Animation & Script files?"), question)
        != vb::vbYes)
        return;

    s.ReportText = QStringLiteral("Texture Check:-\r\n\r\n");
    ui().doEvents();
    ui().setMousePointer(vb::vbHourglass);
    scanner.CheckAssetFiles(used, s.ReportText);
    ui().doEvents();
    if (s.AbortScan) {
        s.AbortScan = false;
        return;
    }
    if (s.ReportText.size() > 25)
        showReportText(QStringLiteral("Missing Files:-"), s.ReportText);

    const QStringList textures = scanner.usedTextures().sorted();
    UsedTextures = tableOf(textures);
    ui().setMousePointer(vb::vbDefault);
    if (ui().msgBox(QStringLiteral("Do you wish to view a list of Textures used by this route?"), question)
        == vb::vbYes)
        showReportList(QStringLiteral("Following textures were used by this route:-"), textures);
}

void frmDelRoute::Command9_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    BusyPointer pointer;
    const int row = firstSelectedRow(List1);
    SharedState& s = shared();
    if (row < 0 || !s.RouteFolders.contains(row) || !s.RouteNames.contains(row))
        return; // no route picked: nothing is copied or written
    const QString routeFolder = s.RouteFolders[row];
    routes::CloneRoute(routeFolder, s.RouteNames[row], [this, routeFolder] { reloadRoutes(routeFolder); });
}

void frmDelRoute::reloadRoutes(const QString& selectFolder)
{
    SharedState& s = shared();
    RoutesXmlText.clear();
    try {
        ReadTextFile(RoutesXmlPath, RoutesXmlText);
    } catch (const VbError&) {
        RoutesXmlText.clear();
    }
    removeAllRows(List1);
    removeAllRows(List2);
    const qsizetype count = routes::ReadRoutes(RoutesXmlText, s.RouteNames, s.RouteFolders);
    int selectRow = -1;
    for (qsizetype k = 0; k < count; ++k) {
        List2->addItem(s.RouteFolders[k]);
        List1->addItem(routes::ListRow(s.RouteNames[k], s.RouteFolders[k]));
        if (selectRow < 0 && s.RouteFolders[k].compare(selectFolder, Qt::CaseInsensitive) == 0)
            selectRow = int(k);
    }
    if (selectRow >= 0) {
        List1->setCurrentRow(selectRow);
        List1->item(selectRow)->setSelected(true);
    }
}

void frmDelRoute::Command10_Click()
{
    shared().AbortScan = true;
}

void frmDelRoute::CancelButton_Click()
{
    close();
}

void frmDelRoute::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        event->ignore(); // a command is still working on this window's lists
        return;
    }
    // Form_Unload
    shared().PackageScenariosMode = false;
    clock_->stop();
    event->accept();
}
