#include "scenarios/frmZelvorn.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "common/frmReport.h"
#include "common/Wildcard.h"
#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/ScenarioClone.h"
#include "scenarios/StockSearch.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

using namespace scenarios;

namespace {

platform::OneWindow<frmZelvorn> loadedWindow;

// The window's measures are kept in twips, as the form was drawn.
using windowparts::toPixels;

constexpr int kLeftEdge = toPixels(100);     // Frame5 from the window's left edge
constexpr int kFrameGap = toPixels(50);      // between one frame's right edge and the next frame
constexpr int kList1Margin = toPixels(275);  // List1: its frame's width less this
constexpr int kList3Margin = toPixels(400);  // the stock list List3: its frame's width less this
constexpr int kListMargin = toPixels(275);   // the other lists
constexpr int kEdge = 4;               // free space at the window's other edges
constexpr int kScenarioFrameWidth = 340; // Frame5 keeps this width

// Frame1, Frame2, Frame3, Frame4 and Frame6 share the width beside Frame5 as 0.18, 0.18,
// 0.27, 0.27 and 0.27 parts; the parts add up to 1.17, so each is taken of the width divided
// by 1.17 to keep the last frame inside the window.
constexpr double kFrameParts[5] = {0.18, 0.18, 0.27, 0.27, 0.27};
constexpr double kPartsTotal = 1.17;

// The width a frame's title needs, the frame's line on both sides included.
int titleWidth(const QGroupBox* frame)
{
    return frame->fontMetrics().horizontalAdvance(frame->title() + QLatin1Char(' ')) + 20;
}

int widestCaption(std::initializer_list<const QWidget*> controls)
{
    int widest = 0;
    for (const QWidget* c : controls)
        widest = std::max(widest, windowparts::captionWidth(c));
    return widest;
}

// The widths of the frames beside Frame5 out of the width they share: each its part, as long
// as that holds what the frame needs in the window's fonts; a frame that needs more gets what it
// needs and the others share the rest by their parts.
std::array<int, 5> frameWidths(int available, const std::array<int, 5>& need)
{
    std::array<bool, 5> fixed{};
    double parts = kPartsTotal;
    int rest = available;
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < 5; ++i) {
            if (!fixed[i] && kFrameParts[i] * std::max(0, rest) / parts < need[i]) {
                fixed[i] = true;
                parts -= kFrameParts[i];
                rest -= need[i];
                changed = true;
            }
        }
        if (parts <= 0.0)
            break;
    }
    std::array<int, 5> widths{};
    for (int i = 0; i < 5; ++i)
        widths[i] = fixed[i] ? need[i] : int(kFrameParts[i] * std::max(0, rest) / parts);
    return widths;
}

int rowHeight(const QWidget* w)
{
    return w->fontMetrics().height() + 10;
}

// The space a group box's title takes at its top.
int frameTop(const QGroupBox* frame)
{
    return frame->fontMetrics().height() + 10;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

QListWidget* makeList(QWidget* parent, const char* name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void fillList(QListWidget* list, const QStringList& rows)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(rows);
}

QString selectedText(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

} // namespace

// ---- the one window -----------------------------------------------------------------------

frmZelvorn* frmZelvorn::showEditor(QWidget* parent)
{
    unloadEditor();
    auto* window = new frmZelvorn(parent);
    window->Form_Load();
    platform::bringToFront(window);
    return window;
}

frmZelvorn* frmZelvorn::loaded()
{
    return loadedWindow.loaded();
}

void frmZelvorn::unloadEditor()
{
    if (frmZelvorn* window = loadedWindow.loaded())
        window->unload();
}

void frmZelvorn::registerLauncher()
{
    frmShowRoutes::setScenarioEditorLauncher([] { frmZelvorn::showEditor(); });
}

frmZelvorn::frmZelvorn(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmZelvorn"));
    setWindowTitle(QStringLiteral("Scenario Editor"));
    loadedWindow.take(this);
    buildControls();
}

frmZelvorn::~frmZelvorn()
{
    loadedWindow.forget(this);
}

void frmZelvorn::unload()
{
    unloading_ = true;
    close();
}

void frmZelvorn::closeEvent(QCloseEvent* event)
{
    // A save in progress finishes first (it closes the window itself when it has written).
    if (saving_) {
        event->ignore();
        return;
    }
    // Closing the window by its frame asks as "Exit" does before unsaved changes are lost.
    if (!unloading_ && !editor_.mayDropChanges()) {
        event->ignore();
        return;
    }
    // A running stock search ends at its next blueprint; the window closes after it.
    if (searching_) {
        closeAfterSearch_ = true;
        event->ignore();
        return;
    }
    event->accept();
    dlgTips::unload();
    loadedWindow.forget(this);
}

void frmZelvorn::guarded(const QString& handler, const std::function<void()>& work)
{
    runGuarded(ErrorSpelling::Subroutine, handler, work);
}

// ---- controls -----------------------------------------------------------------------------

void frmZelvorn::buildControls()
{
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHlp"));

    // The frames lie on client_; a window narrower than the frames' captions need scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("clientScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    client_ = new QWidget;
    client_->setObjectName(QStringLiteral("client"));
    scroll->setWidget(client_);
    setCentralWidget(scroll);
    client_->installEventFilter(this);

    buildScenarioFrame();
    buildWeatherFrame();

    Frame2 = makeFrame(client_, "Frame2", QStringLiteral("Consists"));
    List1 = makeList(Frame2, "List1");
    Label2 = new QLabel(QStringLiteral("Current Driven Consist:-"), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(Frame2);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setToolTip(QStringLiteral("Displays the Consist which currently has the Driver."));
    Label3->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Frame3 = makeFrame(client_, "Frame3", QStringLiteral("Selected Consist"));
    List2 = makeList(Frame3, "List2");
    List2->setSelectionMode(QAbstractItemView::MultiSelection);
    buildConsistButtons();

    buildStockFrame();

    Frame6 = makeFrame(client_, "Frame6", QStringLiteral("Available Markers"));
    List4 = makeList(Frame6, "List4");

    // Wide enough for every frame's caption where the screen allows.
    setMinimumSize(1100, 640);
    const std::array<int, 5> need = frameNeeds();
    int needed = kLeftEdge + kScenarioFrameWidth + 5 * kFrameGap + kEdge;
    for (int n : need)
        needed += n;
    client_->setMinimumSize(needed, 600);
    resize(1780, 720);
    platform::openOnScreen(this);
}

void frmZelvorn::buildScenarioFrame()
{
    Frame5 = makeFrame(client_, "Frame5", QStringLiteral("Current Scenario"));
    Frame5->setFixedWidth(kScenarioFrameWidth);

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(8);
    boxes->setVerticalSpacing(4);
    boxes->setColumnStretch(1, 1);
    int row = 0;
    for (int i = 0; i < PropertyBoxCount; ++i) {
        Label1[i] = new QLabel(propertyBoxCaptions()[i], Frame5);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Text1[i] = new QLineEdit(Frame5);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Label1[i]->setBuddy(Text1[i]);
        boxes->addWidget(Label1[i], row, 0);
        boxes->addWidget(Text1[i], row, 1);
        ++row;
        if (i == StartTimeBox) {
            Check1 = new QCheckBox(QStringLiteral("Change for all consists"), Frame5);
            Check1->setObjectName(QStringLiteral("Check1"));
            Check1->setToolTip(QStringLiteral(
                "Select if you want Start Time of all trains in the scenario to be altered by the same amount."));
            boxes->addWidget(Check1, row, 1);
            ++row;
        }
    }
    Text1[StartTimeBox]->setToolTip(QStringLiteral("Change the Start Time of the main Consist."));
    Text1[SeasonBox]->setToolTip(QStringLiteral("Select the Season to use."));
    Text1[SeasonBox]->installEventFilter(this);

    // The season list lies over the season box and shows while the box has the focus.
    Combo1 = new QComboBox(Frame5);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems(seasonNames());
    Combo1->hide();
    Combo1->installEventFilter(this);
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Change(); });
    QWidget::setTabOrder(Text1[SeasonBox], Combo1);
    QWidget::setTabOrder(Combo1, Text1[WeatherProviderBox]);

    auto* types = new QHBoxLayout;
    Option2[0] = new QRadioButton(QStringLiteral("Standard Scenario"), Frame5);
    Option2[1] = new QRadioButton(QStringLiteral("Timetable Scenario"), Frame5);
    auto* typeGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        Option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
        typeGroup->addButton(Option2[i], i);
        types->addWidget(Option2[i]);
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_MouseDown(i); });
    }
    types->addStretch(1);
    Option2[0]->setChecked(true);

    Command1 = windowparts::makeButton(Frame5, QStringLiteral("Command1"), QStringLiteral("Save Changes"), QStringLiteral("Save all changes made."));
    Command12 = windowparts::makeButton(Frame5, QStringLiteral("Command12"), QStringLiteral("Clone Scenario with new Name"));
    Command2 = windowparts::makeButton(Frame5, QStringLiteral("Command2"), QStringLiteral("Exit"));
    Command5 = windowparts::makeButton(Frame5, QStringLiteral("Command5"), QStringLiteral("Run Rail Simulator"), QStringLiteral("Run Rail Simulator"));
    Command8 = windowparts::makeButton(Frame5, QStringLiteral("Command8"), QStringLiteral("Run Rail Sim Editor"));
    Command14 = windowparts::makeButton(Frame5, QStringLiteral("Command14"), QStringLiteral("Run Rail Sim Editor (with log)"));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command14, &QPushButton::clicked, this, [this] { Command14_Click(); });

    auto* buttons = new QGridLayout;
    buttons->setSpacing(6);
    buttons->addWidget(Command1, 0, 0);
    buttons->addWidget(Command2, 0, 1);
    buttons->addWidget(Command12, 1, 0, 1, 2);
    buttons->addWidget(Command5, 2, 0, 1, 2);
    buttons->addWidget(Command8, 3, 0, 1, 2);
    buttons->addWidget(Command14, 4, 0, 1, 2);

    auto* outer = new QVBoxLayout(Frame5);
    outer->setContentsMargins(10, 8, 10, 10);
    outer->setSpacing(10);
    outer->addLayout(boxes);
    outer->addLayout(types);
    outer->addStretch(1);
    outer->addLayout(buttons);
}

void frmZelvorn::buildWeatherFrame()
{
    Frame1 = makeFrame(client_, "Frame1", QStringLiteral("Select Weather Here if Required."));
    Drive1 = new DriveListWidget(Frame1);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new FolderTreeWidget(Frame1);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = makeList(Frame1, "File1");
    Command3 = windowparts::makeButton(Frame1, QStringLiteral("Command3"), QStringLiteral("Set Weather"),
                          QStringLiteral("Select weather from above and click here to confirm."));
    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmZelvorn::buildStockFrame()
{
    Frame4 = makeFrame(client_, "Frame4", QStringLiteral("Available Stock."));
    Label4 = new QLabel(QStringLiteral("Select RailVehicles Folder"), Frame4);
    Label4->setObjectName(QStringLiteral("Label4"));
    Drive2 = new DriveListWidget(Frame4);
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir2 = new FolderTreeWidget(Frame4);
    Dir2->setObjectName(QStringLiteral("Dir2"));
    Dir2->setToolTip(QStringLiteral("Select the RailVehicles folder you wish to list stock from."));
    const QStringList& kinds = scenarios::stockTypeCaptions();
    auto* kindGroup = new QButtonGroup(this);
    for (int i = 0; i < int(Option1.size()); ++i) {
        Option1[i] = new QRadioButton(kinds[i], Frame4);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        kindGroup->addButton(Option1[i], i);
    }
    Command6 = windowparts::makeButton(Frame4, QStringLiteral("Command6"), QStringLiteral("Find Available Rolling-Stock"),
                          QStringLiteral("List all stock of type selected below."));
    List3 = makeList(Frame4, "List3");
    List3->setSortingEnabled(true);
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(List3, &QListWidget::itemSelectionChanged, this, [this] { List3_MouseDown(); });
    connect(Drive2, &DriveListWidget::driveChosen, this, [this] { Drive2_Change(); });
    connect(Dir2, &FolderTreeWidget::folderChosen, this, [this] { Dir2_Click(); });
    Label6 = new QLabel(QStringLiteral("Path of selected Available Stock:-"), Frame4);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label5 = new QLabel(Frame4);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// ---- events -------------------------------------------------------------------------------

bool frmZelvorn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (List1 && watched == List1->viewport() && event->type() == QEvent::MouseButtonPress) {
        consistListed_ = false;
    } else if (watched == Text1[SeasonBox] && event->type() == QEvent::FocusIn) {
        Text1_GotFocus(SeasonBox);
    } else if (watched == Combo1 && event->type() == QEvent::FocusOut) {
        // Opening its own list is no loss of the focus.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && Combo1->isVisible())
            Combo1_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- handlers -----------------------------------------------------------------------------

void frmZelvorn::Form_Load()
{
    setWindowTitle(ScenarioEditor::caption());
    // The weather and stock lists start on the game's drive, at its "Assets".
    {
        LoadSteps steps;
        steps.run([this] {
            const QString& game = shared().GamePath;
            Drive1->showGameFolder(*Dir1, game, QStringLiteral("Assets"));
            Drive2->showGameFolder(*Dir2, game, QStringLiteral("Assets"));
        });
    }
    editor_.load();

    Command1->setEnabled(true);
    Command12->setEnabled(true);
    Check1->setChecked(false);
    Combo1->hide();
    Option2[editor_.IsTimetable ? 1 : 0]->setChecked(true);
    for (int i = 0; i < PropertyBoxCount; ++i) {
        Text1[i]->setText(editor_.boxes[i]);
        Text1[i]->setCursorPosition(0);
    }

    Dir1->setPath(editor_.weatherFolder);
    refreshFile1();

    fillList(List1, editor_.tables.rows());
    Label3->setText(editor_.tables.drivenConsist);
    fillList(List2, {});

    Dir2->setPath(editor_.stockFolder);
    fillList(List4, editor_.markers);
    Form_Resize();
}

std::array<int, 5> frmZelvorn::frameNeeds() const
{
    const QPushButton* const consistButtons[] = {Command11, Command9,  Command15[0], Command15[1], Command4,
                                                 Command20, Command18, Command17,    Command19,    Command16,
                                                 Command13, Command10, Command7};
    int buttons = 0;
    for (const QPushButton* b : consistButtons)
        buttons = std::max(buttons, windowparts::captionWidth(b));
    int options = 0;
    for (const QRadioButton* o : Option1)
        options = std::max(options, windowparts::captionWidth(o));
    return {std::max(titleWidth(Frame1), widestCaption({Command3}) + kListMargin),
            std::max(titleWidth(Frame2), widestCaption({Label2}) + kList1Margin),
            std::max(titleWidth(Frame3), buttons + kListMargin), // its commands in one column at the least
            std::max(titleWidth(Frame4), std::max(widestCaption({Label4, Command6, Label6}), 2 * options) + kList3Margin),
            titleWidth(Frame6)};
}

void frmZelvorn::Form_Resize()
{
    if (!client_)
        return;
    const int top = kEdge;
    const int height = std::max(0, client_->height() - top - kEdge);

    Frame5->setGeometry(kLeftEdge, top, Frame5->width(), height);

    // W: the window's width less Frame5's.
    const int w = client_->width() - Frame5->width();
    const std::array<int, 5> widths = frameWidths(std::max(0, w - kLeftEdge - 5 * kFrameGap - kEdge), frameNeeds());
    QGroupBox* const frames[5] = {Frame1, Frame2, Frame3, Frame4, Frame6};
    int x = Frame5->geometry().right() + 1;
    for (int i = 0; i < 5; ++i) {
        x += kFrameGap;
        const int width = widths[i];
        frames[i]->setGeometry(x, top, width, height);
        frames[i]->setVisible(true);
        x += width;
    }

    const int row = rowHeight(this);
    auto inner = [](QGroupBox* frame, int margin) { return std::max(0, frame->width() - margin); };
    auto left = [](int margin) { return margin / 2; };

    // Weather: the folders above, their ".bin" files below, "Set Weather" at the foot.
    {
        const int wList = inner(Frame1, kListMargin);
        Drive1->setGeometry(left(kListMargin), frameTop(Frame1), wList, row);
        const int t = frameTop(Frame1) + row + 4;
        const int bottom = height - row - 10;
        const int space = std::max(0, bottom - t - 6);
        const int folders = space * 11 / 20;
        Dir1->setGeometry(left(kListMargin), t, wList, folders);
        File1->setGeometry(left(kListMargin), t + folders + 6, wList, std::max(0, space - folders - 6));
        Command3->setGeometry(left(kListMargin), bottom + 4, wList, row);
    }
    // Consists: the list, and below it the driven consist.
    {
        const int t = frameTop(Frame2);
        const int wList = inner(Frame2, kList1Margin);
        const int labelHeight = 2 * fontMetrics().height() + 12;
        const int listHeight = std::max(0, height - t - row - labelHeight - 18);
        List1->setGeometry(left(kList1Margin), t, wList, listHeight);
        Label2->setGeometry(left(kList1Margin), t + listHeight + 6, wList, row);
        Label3->setGeometry(left(kList1Margin), t + listHeight + 6 + row, wList, labelHeight);
    }
    layoutConsistFrame(height);
    // Available stock: the folder, the kinds in two columns, the search, the list, the path.
    {
        const int t = frameTop(Frame4);
        const int wList = inner(Frame4, kList3Margin);
        const int x0 = left(kList3Margin);
        int y = t;
        Label4->setGeometry(x0, y, wList, row);
        y += row;
        Drive2->setGeometry(x0, y, wList, row);
        y += row + 4;
        const int folders = std::max(60, (height - t) / 4);
        Dir2->setGeometry(x0, y, wList, folders);
        y += folders + 6;
        const int column = wList / 2;
        for (int i = 0; i < 8; ++i)
            Option1[i]->setGeometry(x0 + (i / 4) * column, y + (i % 4) * (row - 4), column, row - 4);
        y += 4 * (row - 4) + 6;
        Command6->setGeometry(x0, y, wList, row);
        y += row + 6;
        const int pathHeight = 2 * fontMetrics().height() + 12;
        const int listHeight = std::max(0, height - y - row - pathHeight - 16);
        List3->setGeometry(x0, y, wList, listHeight);
        y += listHeight + 4;
        Label6->setGeometry(x0, y, wList, row);
        Label5->setGeometry(x0, y + row, wList, pathHeight);
    }
    // Markers.
    {
        const int t = frameTop(Frame6);
        List4->setGeometry(left(kListMargin), t, inner(Frame6, kListMargin), std::max(0, height - t - 10));
        List4->setVisible(true);
    }
}

void frmZelvorn::Text1_GotFocus(int index)
{
    if (index != SeasonBox)
        return;
    QLineEdit* box = Text1[SeasonBox];
    {
        const QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(Combo1->findText(box->text(), Qt::MatchFixedString));
    }
    Combo1->setGeometry(box->geometry());
    Combo1->show();
    Combo1->raise();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void frmZelvorn::Combo1_Change()
{
    if (Combo1->currentIndex() >= 0)
        Text1[SeasonBox]->setText(Combo1->currentText());
    // The focus moves on before the list hides, so that it does not fall back on the season box.
    if (Combo1->hasFocus())
        Text1[WeatherProviderBox]->setFocus(Qt::OtherFocusReason);
    Combo1->hide();
}

void frmZelvorn::Combo1_LostFocus()
{
    // A list left without a choice keeps the season box as it was.
    if (Combo1->currentIndex() >= 0)
        Text1[SeasonBox]->setText(Combo1->currentText());
    Combo1->hide();
}

void frmZelvorn::refreshFile1()
{
    fillList(File1, matchingFileNames(Dir1->path(), QStringLiteral("*.bin")));
}

void frmZelvorn::Drive1_Change()
{
    try {
        Drive1->showIn(*Dir1);
        refreshFile1();
    } catch (const VbError& error) {
        showHandlerError(ErrorSpelling::Description, error, QStringLiteral("Drive1_change"));
    }
}

void frmZelvorn::Dir1_Click()
{
    refreshFile1();
}

void frmZelvorn::Command3_Click()
{
    guarded(QStringLiteral("Command3_Click"), [this] {
        WeatherChoice choice;
        if (!splitWeatherPath(shared().GamePath, Dir1->path(), selectedText(File1), choice))
            return;
        Text1[WeatherProviderBox]->setText(choice.provider);
        Text1[WeatherProductBox]->setText(choice.product);
        Text1[WeatherBlueprintBox]->setText(choice.blueprint);
    });
}

void frmZelvorn::Option2_MouseDown(int index)
{
    guarded(QStringLiteral("Option2_MouseDown"), [this, index] {
        const int selected = editor_.pressScenarioType(index);
        Option2[selected]->setChecked(true);
    });
}

// ---- consists and vehicles ----------------------------------------------------------------

void frmZelvorn::buildConsistButtons()
{
    Label7 = new QLabel(Frame3);
    Label7->setObjectName(QStringLiteral("Label7"));
    Command11 = windowparts::makeButton(Frame3, QStringLiteral("Command11"), QStringLiteral("Duplicate Item"));
    Command9 = windowparts::makeButton(Frame3, QStringLiteral("Command9"), QStringLiteral("Delete Item"));
    Command15[0] = windowparts::makeButton(Frame3, QStringLiteral("Command15_0"), QStringLiteral("Load Selected Wagon(s)"));
    Command15[1] = windowparts::makeButton(Frame3, QStringLiteral("Command15_1"), QStringLiteral("Unload Selected Wagon(s)"));
    Command4 = windowparts::makeButton(Frame3, QStringLiteral("Command4"), QStringLiteral("Drive It"),
                          QStringLiteral("Make Selected Consist/Loco the one you wish to start up in."));
    Command20 = windowparts::makeButton(Frame3, QStringLiteral("Command20"), QStringLiteral("Duplicate Consist"));
    Command18 = windowparts::makeButton(Frame3, QStringLiteral("Command18"), QStringLiteral("Delete Consist"));
    Command17 = windowparts::makeButton(Frame3, QStringLiteral("Command17"), QStringLiteral("Change Start Time"));
    Command19 = windowparts::makeButton(Frame3, QStringLiteral("Command19"), QStringLiteral("Change Service Class"));
    Command16 = windowparts::makeButton(Frame3, QStringLiteral("Command16"), QStringLiteral("Change Destination"));
    Command13 = windowparts::makeButton(Frame3, QStringLiteral("Command13"), QStringLiteral("Change Origin Point"));
    Command10 = windowparts::makeButton(Frame3, QStringLiteral("Command10"), QStringLiteral("Swap Selected Item(s)"),
                           QStringLiteral("Just Swap Selected Item with one from Available Stock."));
    Command7 = windowparts::makeButton(Frame3, QStringLiteral("Command7"), QStringLiteral("Swap All Identical Stock"),
                          QStringLiteral(
            "Swap ALL this type of stock in this consist with one from Available Stock (all items with same name will change)"));

    // A click lists the consist, also when it is the one already chosen: a press that changes
    // the choice lists it once (as the keyboard does), a press on the chosen row lists it again.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        consistListed_ = true;
        List1_Click();
    });
    connect(List1, &QListWidget::itemPressed, this, [this] {
        if (!consistListed_)
            List1_Click();
        consistListed_ = true;
    });
    List1->viewport()->installEventFilter(this);
    connect(List2, &QListWidget::itemPressed, this, [this] { List2_MouseDown(); });
    connect(Command11, &QPushButton::clicked, this, [this] { Command11_Click(); });
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(Command15[0], &QPushButton::clicked, this, [this] { Command15_Click(0); });
    connect(Command15[1], &QPushButton::clicked, this, [this] { Command15_Click(1); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command20, &QPushButton::clicked, this, [this] { Command20_Click(); });
    connect(Command18, &QPushButton::clicked, this, [this] { Command18_Click(); });
    connect(Command17, &QPushButton::clicked, this, [this] { Command17_Click(); });
    connect(Command19, &QPushButton::clicked, this, [this] { Command19_Click(); });
    connect(Command16, &QPushButton::clicked, this, [this] { Command16_Click(); });
    connect(Command13, &QPushButton::clicked, this, [this] { Command13_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
}

void frmZelvorn::layoutConsistFrame(int height)
{
    // The vehicles above, the driven engine below them, then the commands in two columns, or in
    // one where the frame is too narrow for two of them side by side.
    QPushButton* const buttons[] = {Command11, Command9,  Command15[0], Command15[1], Command4, Command20,
                                    Command18, Command17, Command19,    Command16,    Command13,
                                    Command10, Command7};
    const int row = rowHeight(this);
    const int t = frameTop(Frame3);
    const int x0 = kListMargin / 2;
    const int w = std::max(0, Frame3->width() - kListMargin);
    int widest = 0;
    for (const QPushButton* b : buttons)
        widest = std::max(widest, windowparts::captionWidth(b));
    const int columns = w >= 2 * widest + 4 ? 2 : 1;
    const int buttonRows = (int(std::size(buttons)) + columns - 1) / columns;
    const int buttonsHeight = buttonRows * (row + 4);
    const int listHeight = std::max(0, height - t - row - buttonsHeight - 20);
    List2->setGeometry(x0, t, w, listHeight);
    Label7->setGeometry(x0, t + listHeight + 4, w, row);
    const int y0 = t + listHeight + row + 10;
    const int column = (w - 4 * (columns - 1)) / columns;
    for (int i = 0; i < int(std::size(buttons)); ++i)
        buttons[i]->setGeometry(x0 + (i % columns) * (column + 4), y0 + (i / columns) * (row + 4), column, row);
}

int frmZelvorn::consistRow() const
{
    const QList<QListWidgetItem*> items = List1->selectedItems();
    return items.isEmpty() ? -1 : List1->row(items.first());
}

int frmZelvorn::vehicleRow() const
{
    // The row last pressed when it is selected, else the first selected one.
    const int current = List2->currentRow();
    if (current >= 0 && List2->item(current)->isSelected())
        return current;
    const QList<int> rows = selectedVehicleRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> frmZelvorn::selectedVehicleRows() const
{
    QList<int> rows;
    for (int i = 0; i < List2->count(); ++i) {
        if (List2->item(i)->isSelected())
            rows.append(i);
    }
    return rows;
}

void frmZelvorn::refillConsists(int consist, const QList<int>& vehicles)
{
    fillList(List1, editor_.tables.rows());
    const ConsistRecord* record = editor_.tables.consist(consist);
    {
        const QSignalBlocker block(List1);
        if (record)
            List1->item(consist)->setSelected(true);
    }
    if (record) {
        QString noReport; // the missing blueprints were reported when the consist was clicked
        const VehicleListing listing = listVehicles(record, shared().GamePath, noReport);
        fillList(List2, listing.rows);
        Label7->setText(listing.label7);
        const QSignalBlocker block(List2);
        for (int j : vehicles) {
            if (j < List2->count())
                List2->item(j)->setSelected(true);
        }
    } else {
        fillList(List2, {});
        Label7->clear();
    }
    // With no consist driven any more, the save asks about it again.
    if (editor_.tables.drivenConsist.isEmpty())
        Label3->clear();
}

bool frmZelvorn::runEdit(const QString& handler, const std::function<EditResult()>& command, int consistAfter,
                         RowChange rowChange, int at)
{
    if (saving_)
        return false;
    const QList<int> selected = selectedVehicleRows();
    bool committed = false;
    underSaveGuard(handler, [&] {
        const EditResult result = command();
        if (commitEdit(editor_, result)) {
            committed = true;
            const ConsistRecord* record = editor_.tables.consist(consistAfter);
            const int count = record ? int(std::max<qsizetype>(1, record->vehicles.size())) : 0;
            refillConsists(consistAfter, remapRows(selected, at, rowChange, count));
        }
        ui().doEvents();
        showEditMessage(result);
    });
    return committed;
}

void frmZelvorn::List1_Click()
{
    const int k = consistRow();
    if (k < 0)
        return;
    SharedState& state = shared();
    const VehicleListing listing = listVehicles(editor_.tables.consist(k), state.GamePath, state.ReportText);
    fillList(List2, listing.rows);
    Label7->setText(listing.label7);
    if (!state.ReportText.isEmpty()) {
        // A report window closed but not yet deleted gives way to a fresh one.
        if (frmReport* old = frmReport::existing(); old && !old->isVisible())
            QCoreApplication::sendPostedEvents(old, QEvent::DeferredDelete);
        frmReport& report = frmReport::instance();
        report.RTB1->show();
        report.List1->hide();
        // The text box keeps lines as paragraphs; saving writes them with CR LF again.
        report.RTB1->setPlainText(QString(state.ReportText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        report.showReport(false);
    }
    ui().doEvents();
    state.ReportText.clear();
}

void frmZelvorn::List2_MouseDown()
{
    if (List2->count() == 0)
        return;
    const int j = List2->currentRow();
    const int k = consistRow();
    if (j < 0 || k < 0)
        return;
    VehicleDetails details;
    if (!vehicleDetails(editor_.tables, k, j, List2->item(j)->text(), details))
        return;
    dlgTips& tips = dlgTips::instance(this);
    tips.Label1->setText(details.blueprint);
    tips.Label2->setText(details.loadable);
    if (!details.loaded.isEmpty())
        tips.Label3->setText(details.loaded);
    if (!details.orientation.isEmpty())
        tips.Label4->setText(details.orientation);
    tips.Label5->setText(details.direction);
    tips.Text1->setText(details.startTime);
    tips.Label7->setText(details.destination);
    tips.Label9->setText(details.number);
    if (details.serviceClass >= 0)
        tips.Combo1->setCurrentIndex(details.serviceClass);
    tips.show();
    tips.raise();
}

void frmZelvorn::Command11_Click()
{
    const int k = consistRow();
    const int j = vehicleRow();
    runEdit(QStringLiteral("Command11_Click"), [&] { return duplicateItem(shared().ScenarioText, k, j); }, k,
            RowChange::Inserted, j);
}

void frmZelvorn::Command9_Click()
{
    const int k = consistRow();
    const int j = vehicleRow();
    runEdit(QStringLiteral("Command9_Click"), [&] { return deleteItem(shared().ScenarioText, k, j); }, k,
            RowChange::Removed, j);
}

void frmZelvorn::Command15_Click(int index)
{
    const int k = consistRow();
    const QList<int> rows = selectedVehicleRows();
    QStringList texts;
    for (const int i : rows)
        texts.append(List2->item(i)->text());
    runEdit(QStringLiteral("Command15_Click"), [&] {
        const BusyPointer busy;
        return loadVehicles(shared().ScenarioText, k, rows, texts, index == 0);
    }, k);
}

void frmZelvorn::Command4_Click()
{
    const int k = consistRow();
    const int j = vehicleRow();
    const QString driver = j >= 0 ? List2->item(j)->text() : QString();
    if (runEdit(QStringLiteral("Command4_Click"), [&] { return driveIt(shared().ScenarioText, k, j); }, k))
        Label3->setText(driver);
}

void frmZelvorn::Command20_Click()
{
    const int k = consistRow();
    const QString marker = selectedText(List4);
    runEdit(QStringLiteral("Command20_Click"), [&] {
        const SharedState& state = shared();
        return duplicateConsist(state.ScenarioText, k, marker, state.TracksText,
                                [] { return ui().inputBox(consistNamePrompt()); });
    }, k + 1);
}

void frmZelvorn::Command18_Click()
{
    const int k = consistRow();
    runEdit(QStringLiteral("Command18_Click"), [&] { return deleteConsist(shared().ScenarioText, k); }, -1);
}

void frmZelvorn::Command17_Click()
{
    const int k = consistRow();
    const QString time = dlgTips::existing() ? dlgTips::existing()->Text1->text() : QString();
    if (runEdit(QStringLiteral("Command17_Click"), [&] { return changeStartTime(shared().ScenarioText, k, time); }, k))
        Check1->setChecked(false);
}

void frmZelvorn::Command19_Click()
{
    const int k = consistRow();
    const QString classText = dlgTips::existing() ? dlgTips::existing()->Combo1->currentText() : QString();
    runEdit(QStringLiteral("Command19_Click"), [&] { return changeServiceClass(shared().ScenarioText, k, classText); },
            k);
}

void frmZelvorn::Command16_Click()
{
    const int k = consistRow();
    const int j = vehicleRow();
    const VehicleRecord* vehicle = editor_.tables.vehicle(j, k);
    const QString old = vehicle ? vehicle->destination : QString();
    const QString marker = selectedText(List4);
    runEdit(QStringLiteral("Command16_Click"),
            [&] { return changeDestination(shared().ScenarioText, k, vehicle ? j : -1, old, marker); }, k);
}

void frmZelvorn::Command13_Click()
{
    const int k = consistRow();
    const QString marker = selectedText(List4);
    runEdit(QStringLiteral("Command13_Click"), [&] {
        const SharedState& state = shared();
        return changeOriginPoint(state.ScenarioText, k, marker, state.TracksText);
    }, k);
}

SaveRequest frmZelvorn::saveRequest() const
{
    SaveRequest request;
    for (int i = 0; i < PropertyBoxCount; ++i)
        request.boxes[i] = Text1[i]->text();
    request.shiftAllConsists = Check1->isChecked();
    request.timetableSelected = Option2[1]->isChecked();
    request.drivenConsist = Label3->text();
    return request;
}

void frmZelvorn::underSaveGuard(const QString& handler, const std::function<void()>& work)
{
    // While a save or a clone runs and window events are processed, neither this window nor
    // the browser takes another command.
    saving_ = true;
    client_->setEnabled(false);
    menuBar()->setEnabled(false);
    const QPointer<frmShowRoutes> browser = frmShowRoutes::loaded();
    if (browser)
        browser->setEnabled(false);
    guarded(handler, work);
    if (browser)
        browser->setEnabled(true);
    menuBar()->setEnabled(true);
    client_->setEnabled(true);
    saving_ = false;
}

void frmZelvorn::Command1_Click()
{
    if (saving_)
        return;
    const SaveRequest request = saveRequest();
    SaveOutcome outcome = SaveOutcome::Stopped;
    underSaveGuard(QStringLiteral("Command1_Click"), [this, &request, &outcome] { outcome = saveScenario(editor_, request); });

    switch (outcome) {
    case SaveOutcome::Clone:
        Command12->click();
        break;
    case SaveOutcome::Saved:
        Command1->setEnabled(false);
        Command12->setEnabled(false);
        frmShowRoutes::unloadBrowser();
        unload();
        ui().doEvents();
        break;
    case SaveOutcome::Stopped:
    case SaveOutcome::Failed:
        break;
    }
}

void frmZelvorn::Command12_Click()
{
    if (saving_)
        return;
    const SaveRequest request = saveRequest();
    CloneOutcome outcome = CloneOutcome::Stopped;
    underSaveGuard(QStringLiteral("Command12_Click"), [this, &request, &outcome] { outcome = cloneScenario(editor_, request); });

    if (outcome == CloneOutcome::Cloned) {
        Command1->setEnabled(false);
        Command12->setEnabled(false);
        Command2_Click();
    }
}

void frmZelvorn::Command2_Click()
{
    guarded(QStringLiteral("Command2_Click"), [this] {
        if (!editor_.mayDropChanges())
            return;
        editor_.clearScenario();
        frmShowRoutes::unloadBrowser();
        unload();
    });
}

void frmZelvorn::Command5_Click()
{
    guarded(QStringLiteral("Command5_Click"), [this] {
        if (!editor_.runGame())
            return;
        frmShowRoutes::unloadBrowser();
        unload();
    });
}

void frmZelvorn::Command8_Click()
{
    guarded(QStringLiteral("Command8_Click"), [this] {
        if (!editor_.runGameEditor(false))
            return;
        frmShowRoutes::unloadBrowser();
        unload();
    });
}

void frmZelvorn::Command14_Click()
{
    guarded(QStringLiteral("Command14_Click"), [this] {
        if (!editor_.runGameEditor(true))
            return;
        frmShowRoutes::unloadBrowser();
        unload();
    });
}

// ---- available stock ----------------------------------------------------------------------

void frmZelvorn::Command6_Click()
{
    if (searching_ || saving_)
        return;
    {
        const QSignalBlocker block(List3);
        for (int i = List3->count() - 1; i >= 0; --i)
            delete List3->takeItem(i);
    }
    Label5->clear();
    QString ticked;
    for (QRadioButton* option : Option1) {
        if (option->isChecked()) {
            ticked = option->text();
            break;
        }
    }

    // The other commands wait while the search lets window events through.
    searching_ = true;
    closeAfterSearch_ = false;
    client_->setEnabled(false);
    menuBar()->setEnabled(false);
    StockSearch::Hooks hooks;
    hooks.added = [this](const StockEntry& entry) { List3->addItem(entry.name); };
    hooks.stopRequested = [this] { return closeAfterSearch_; };
    guarded(QStringLiteral("Command6_Click"), [this, &ticked, &hooks] { stock_.search(Dir2->path(), ticked, hooks); });
    menuBar()->setEnabled(true);
    client_->setEnabled(true);
    searching_ = false;
    if (closeAfterSearch_)
        unload();
}

void frmZelvorn::List3_MouseDown()
{
    const QString row = selectedText(List3);
    if (row.isEmpty())
        return;
    const QString path = stock_.pathOfRow(row);
    if (!path.isEmpty())
        Label5->setText(path);
}

void frmZelvorn::Drive2_Change()
{
    try {
        Drive2->showIn(*Dir2);
    } catch (const VbError& error) {
        showHandlerError(ErrorSpelling::Description, error, QStringLiteral("Drive2_change"));
    }
}

void frmZelvorn::Dir2_Click()
{
    shared().LastStockFolder = Dir2->path();
}
