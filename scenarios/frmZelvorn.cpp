#include "scenarios/frmZelvorn.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvornParts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include <algorithm>
#include <array>

using namespace scenarios;
using namespace scenarios::zelvorn;

namespace {

platform::OneWindow<frmZelvorn> loadedWindow;

// The window's measures are kept in twips, as the form was drawn.
using windowparts::toPixels;

constexpr int kLeftEdge = toPixels(100);     // Frame5 from the window's left edge
constexpr int kFrameGap = toPixels(50);      // between one frame's right edge and the next frame
constexpr int kList1Margin = toPixels(275);  // List1: its frame's width less this
constexpr int kList3Margin = toPixels(400);  // the stock list List3: its frame's width less this
constexpr int kEdge = 4;               // free space at the window's other edges

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
    auto* scroll = windowparts::makeNamed<QScrollArea>(this, "clientScroll");
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
    Label3 = windowparts::makeNamed<QLabel>(Frame2, "Label3");
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
        const int pathHeight = std::max(2 * fontMetrics().height() + 12, Label5->heightForWidth(wList));
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
