// The scenario editor's weather frame: the folders and ".bin" files of the weather, and
// "Set Weather", which puts the chosen one in the weather boxes.
#include "scenarios/frmZelvorn.h"

#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/Wildcard.h"
#include "common/WindowPartsWidgets.h"
#include "scenarios/frmZelvornParts.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace scenarios;
using namespace scenarios::zelvorn;

void frmZelvorn::buildWeatherFrame()
{
    Frame1 = makeFrame(client_, "Frame1", QStringLiteral("Select Weather Here if Required."));
    Drive1 = windowparts::makeNamed<DriveListWidget>(Frame1, "Drive1");
    Dir1 = windowparts::makeNamed<FolderTreeWidget>(Frame1, "Dir1");
    File1 = makeList(Frame1, "File1");
    Command3 = windowparts::makeButton(Frame1, QStringLiteral("Command3"), QStringLiteral("Set Weather"),
                          QStringLiteral("Select weather from above and click here to confirm."));
    connect(Drive1, &DriveListWidget::driveChosen, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderTreeWidget::folderChosen, this, [this] { Dir1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmZelvorn::refreshFile1()
{
    fillList(File1, matchingFileNames(Dir1->path(), QStringLiteral("*.bin")));
}

void frmZelvorn::Drive1_Change()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("Drive1_change"), [this] {
        Drive1->showIn(*Dir1);
        refreshFile1();
    });
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
