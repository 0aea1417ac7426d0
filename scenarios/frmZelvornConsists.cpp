// The scenario editor's consist frames: "Consists" lists them and "Selected Consist" the chosen
// one's vehicles, with the commands that edit them (the swaps are in frmZelvornSwap.cpp).
#include "scenarios/frmZelvorn.h"

#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "common/frmReport.h"
#include "platform/QtUiScreenFit.h"
#include "platform/Ui.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmZelvornParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>

#include <algorithm>

using namespace scenarios;
using namespace scenarios::zelvorn;

void frmZelvorn::buildConsistButtons()
{
    Label7 = windowparts::makeNamed<QLabel>(Frame3, "Label7");
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
    if (!tips.isVisible())
        placeDetails(tips);
    tips.show();
    tips.raise();
}

void frmZelvorn::placeDetails(QWidget& details) const
{
    // The details window's frame is as the editor's own.
    const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    const QSize outer = details.size().expandedTo(details.minimumSizeHint()).grownBy(frame);
    const QPoint right = Frame3->mapToGlobal(QPoint(0, 0));
    const QPoint foot = client_->mapToGlobal(QPoint(0, client_->height()));
    const QRect place(QPoint(right.x() - 2 - outer.width(), foot.y() - outer.height()), outer);
    platform::openOnScreen(&details, place);
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
