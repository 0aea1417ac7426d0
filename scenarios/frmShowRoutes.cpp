#include "scenarios/frmShowRoutes.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/TabStopListWidget.h"
#include "common/VbError.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "common/WindowPartsWidgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <exception>

namespace {

platform::OneWindow<frmShowRoutes> loadedWindow;
std::function<void()> editorLauncher;

int firstSelectedRow(const QListWidget* list)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            return i;
    }
    return -1;
}

int lastSelectedRow(const QListWidget* list)
{
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->item(i)->isSelected())
            return i;
    }
    return -1;
}

QFont listFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

// ---- the one window ------------------------------------------------------------------------

frmShowRoutes* frmShowRoutes::showBrowser(QWidget* parent)
{
    return &loadedWindow.show([parent] { return new frmShowRoutes(parent); });
}

frmShowRoutes* frmShowRoutes::loaded()
{
    return loadedWindow.loaded();
}

void frmShowRoutes::unloadBrowser()
{
    if (frmShowRoutes* window = loadedWindow.loaded())
        window->close();
}

void frmShowRoutes::setScenarioEditorLauncher(std::function<void()> launcher)
{
    editorLauncher = std::move(launcher);
}

frmShowRoutes::frmShowRoutes(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmShowRoutes"));
    loadedWindow.take(this);
    buildControls();
    Form_Load();
}

frmShowRoutes::~frmShowRoutes()
{
    loadedWindow.forget(this);
}

int frmShowRoutes::tabStopPixels() const
{
    // A dialog unit is a quarter of the average character width of the window's font.
    return QFontMetrics(font()).averageCharWidth() * 170 / 4;
}

void frmShowRoutes::buildControls()
{
    const int tab = tabStopPixels();
    const QFont courier = listFont();

    // Each row shows a name up to the tab stop and the folder's name after it, a GUID.
    auto makeList = [&](const char* name) {
        auto* list = new QListWidget(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setFont(courier);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        setTabStopRows(list, tab);
        list->setMinimumWidth(tabStopRowsWidth(list, tab, QStringLiteral("00000000-0000-0000-0000-000000000000")));
        return list;
    };
    auto makeButton = [&](const char* name, const QString& caption) {
        return windowparts::makeButton(this, QString::fromLatin1(name), caption);
    };
    auto header = [&](QLabel*& left, QLabel*& right, const QString& leftText, const QString& rightText) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(4, 0, 0, 0);
        row->setSpacing(0);
        left = new QLabel(leftText, this);
        left->setFixedWidth(tab);
        right = new QLabel(rightText, this);
        row->addWidget(left);
        row->addWidget(right, 1);
        return row;
    };

    List1 = makeList("List1");
    List3 = makeList("List3");
    File2 = windowparts::makeNamed<QListWidget>(this, "File2");
    File2->setFont(courier);
    File2->setSelectionMode(QAbstractItemView::SingleSelection);
    File2->setSortingEnabled(false);

    Command1 = makeButton("Command1", QStringLiteral("List Scenarios in Selected Route"));
    Command2 = makeButton("Command2", QStringLiteral("Revert to Default for selected Route"));
    Command3 = makeButton("Command3", QStringLiteral("Revert to Default for selected Scenario"));
    Command4 = makeButton("Command4", QStringLiteral("Save CurrentSave.xml As"));
    Command5 = makeButton("Command5", QStringLiteral("Overwrite CurrentSave.xml with Selected file"));
    Command6 = makeButton("Command6", QStringLiteral("Run RailSim Using Selected Save File"));
    Command8 = makeButton("Command8", QStringLiteral("RunRailSim Editor using this Save File"));
    Command9 = makeButton("Command9", QStringLiteral("Exit"));
    Command10 = makeButton("Command10", QStringLiteral("Edit Selected Scenario"));
    Command11 = makeButton("Command11", QStringLiteral("Remove Empty Consists from selected Scenario"));
    Label2 = new QLabel(QStringLiteral("Saved Copies of Selected Scenario"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    // Routes and their commands.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addLayout(header(Label1, Label3, QStringLiteral("Route Name"), QStringLiteral("Folder Name")), 0, 0);
    grid->addWidget(List1, 1, 0);
    auto* routeButtons = new QVBoxLayout;
    routeButtons->addWidget(Command1);
    routeButtons->addWidget(Command2);
    routeButtons->addStretch(1);
    grid->addLayout(routeButtons, 1, 1);

    // Scenarios and their commands.
    grid->addLayout(header(Label1s, Label3s, QStringLiteral("Scenario Name"), QStringLiteral("Folder Name")), 2, 0);
    grid->addWidget(List3, 3, 0);
    auto* scenarioButtons = new QVBoxLayout;
    scenarioButtons->addWidget(Command10);
    scenarioButtons->addWidget(Command11);
    scenarioButtons->addWidget(Command3);
    scenarioButtons->addStretch(1);
    grid->addLayout(scenarioButtons, 3, 1);

    // Saved copies of the chosen scenario, their commands below them, and Exit at the foot.
    grid->addWidget(Label2, 0, 2);
    auto* saves = new QVBoxLayout;
    saves->addWidget(File2, 1);
    saves->addSpacing(4);
    saves->addWidget(Command4);
    saves->addWidget(Command5);
    saves->addWidget(Command6);
    saves->addWidget(Command8);
    saves->addSpacing(12);
    saves->addWidget(Command9);
    grid->addLayout(saves, 1, 2, 3, 1);
    // The lists keep the width their rows need; the saved copies take what the window adds.
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 2);

    commands_ = new QWidget(this);
    commands_->setLayout(grid);
    // The controls were made with the window as parent; the layout moves them into commands_.
    // A window smaller than the lists and captions need scrolls instead of laying one control
    // on another.
    auto* scroll = windowparts::makeNamed<QScrollArea>(this, "commandsScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(commands_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(scroll);
    // The design size (720 pixels beside a list of 38 of its characters after the tab stop),
    // or larger where the captions and lists need more in this font.
    const int designWidth = tab + QFontMetrics(courier).horizontalAdvance(QString(38, QLatin1Char('0'))) + 720;
    const QSize need = commands_->minimumSizeHint() + QSize(16, 16);
    resize(std::max(designWidth, need.width()), std::max(560, need.height()));
    platform::openOnScreen(this);

    // Choosing a route or a scenario takes effect on any change of the selection; a
    // selection that becomes empty is no choice.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (firstSelectedRow(List1) >= 0)
            List1_Click();
    });
    connect(List3, &QListWidget::itemSelectionChanged, this, [this] { List3_MouseDown(); });
    connect(List3, &QListWidget::itemPressed, this, [this] { List3_MouseDown(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command11, &QPushButton::clicked, this, [this] { Command11_Click(); });
}

void frmShowRoutes::fillList(QListWidget* list, const QStringList& rows)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(rows);
}

void frmShowRoutes::refreshFile2()
{
    const QSignalBlocker block(File2);
    File2->clear();
    File2->addItems(browser_.savedCopies());
}

QString frmShowRoutes::selectedFile2() const
{
    const int row = firstSelectedRow(File2);
    return row >= 0 ? File2->item(row)->text() : QString();
}

void frmShowRoutes::guarded(const QString& handler, const std::function<void()>& work)
{
    // The commands stay disabled while a handler runs and processes window events, so that no
    // second command starts in the middle of it.
    const bool outermost = commands_->isEnabled();
    if (outermost)
        commands_->setEnabled(false);
    runGuarded(ErrorSpelling::Subroutine, handler, work);
    if (outermost)
        commands_->setEnabled(true);
}

// ---- handlers ------------------------------------------------------------------------------

void frmShowRoutes::Form_Load()
{
    setWindowTitle(QStringLiteral("Show Route - ") + QStringLiteral("   Rail Simulator path in use is - ")
                   + shared().GamePath);
    Command10->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Command11->setEnabled(false);
    browser_.savedCopiesFolder.clear();
    refreshFile2();
    browser_.load();
    fillList(List1, browser_.routeRows);
}

void frmShowRoutes::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    scenarios::ScenarioBrowser::unload();
}

void frmShowRoutes::closeEvent(QCloseEvent* event)
{
    // Not in the middle of a command that is processing window events.
    if (!commands_->isEnabled()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    // Unloaded: the next showBrowser() loads a new window, even before this one is deleted.
    loadedWindow.forget(this);
}

void frmShowRoutes::List1_Click()
{
    Command2->setEnabled(true);
    // The saved-copies list shows nothing until a scenario of this route is chosen.
    browser_.savedCopiesFolder.clear();
    refreshFile2();
    Command1_Click();
}

void frmShowRoutes::Command1_Click()
{
    guarded(QStringLiteral("Command1_Click"), [this] {
        BusyPointer busy;
        fillList(List3, {});
        browser_.listScenarios(firstSelectedRow(List1));
        fillList(List3, browser_.scenarioRows);
    });
}

void frmShowRoutes::List3_MouseDown()
{
    Command10->setEnabled(true);
    Command3->setEnabled(true);
    Command11->setEnabled(true);
    // Any failure (no row selected) ends here quietly.
    if (browser_.chooseScenario(firstSelectedRow(List3)))
        refreshFile2();
}

void frmShowRoutes::Command10_Click()
{
    bool ready = false;
    guarded(QStringLiteral("Command10_Click"), [&] { ready = browser_.prepareEditor(firstSelectedRow(List3)); });
    // The editor is shown once this window's commands are back: it lives on its own and may
    // unload this window.
    if (ready && editorLauncher)
        runGuarded(ErrorSpelling::Subroutine, QStringLiteral("Command10_Click"), editorLauncher);
}

void frmShowRoutes::Command11_Click()
{
    guarded(QStringLiteral("Command11_Click"), [this] { browser_.removeEmptyConsistsFromScenario(firstSelectedRow(List3)); });
}

void frmShowRoutes::Command2_Click()
{
    guarded(QStringLiteral("Command2_Click"), [this] {
        const int row = firstSelectedRow(List1);
        if (row >= 0) {
            const QSignalBlocker block(List1);
            List1->item(row)->setSelected(false);
        }
        browser_.revertRoute(row);
    });
}

void frmShowRoutes::Command3_Click()
{
    guarded(QStringLiteral("Command3_Click"), [this] {
        const int row = lastSelectedRow(List3);
        if (row >= 0) {
            const QSignalBlocker block(List3);
            List3->item(row)->setSelected(false);
        }
        browser_.revertScenario(row);
    });
}

void frmShowRoutes::Command4_Click()
{
    guarded(QStringLiteral("Command4_Click"), [this] {
        browser_.saveCurrentSaveAs();
        refreshFile2();
    });
}

void frmShowRoutes::Command5_Click()
{
    guarded(QStringLiteral("Command5_Click"), [this] {
        browser_.overwriteCurrentSave(selectedFile2());
        refreshFile2();
    });
}

void frmShowRoutes::Command6_Click()
{
    guarded(QStringLiteral("Command6_Click"), [this] {
        browser_.runGame(selectedFile2());
        refreshFile2();
    });
}

void frmShowRoutes::Command8_Click()
{
    guarded(QStringLiteral("Command8_Click"), [this] {
        browser_.runGameEditor(selectedFile2());
        refreshFile2();
    });
}

void frmShowRoutes::Command9_Click()
{
    close();
}
