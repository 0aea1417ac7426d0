// The scenario editor's "Available Stock." frame: the RailVehicles folder, the search for the
// stock of the ticked kind and the path of the chosen row. The swaps that use the chosen row
// are in frmZelvornSwap.cpp.
#include "scenarios/frmZelvorn.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/WindowPartsWidgets.h"
#include "scenarios/frmZelvornParts.h"

#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

using namespace scenarios;
using namespace scenarios::zelvorn;

void frmZelvorn::buildStockFrame()
{
    Frame4 = makeFrame(client_, "Frame4", QStringLiteral("Available Stock."));
    Label4 = new QLabel(QStringLiteral("Select RailVehicles Folder"), Frame4);
    Label4->setObjectName(QStringLiteral("Label4"));
    Drive2 = windowparts::makeNamed<DriveListWidget>(Frame4, "Drive2");
    Dir2 = windowparts::makeNamed<FolderTreeWidget>(Frame4, "Dir2");
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
    Label5 = windowparts::makeNamed<PathBoxWidget>(Frame4, "Label5");
}

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
    if (path.isEmpty())
        return;
    Label5->setText(path);
    // The box grows to the lines the path needs, the list above it gives the room.
    if (Label5->heightForWidth(Label5->width()) > Label5->height())
        Form_Resize();
}

void frmZelvorn::Drive2_Change()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive2_change"), [this] {
        Drive2->showIn(*Dir2);
    });
}

void frmZelvorn::Dir2_Click()
{
    shared().LastStockFolder = Dir2->path();
}
