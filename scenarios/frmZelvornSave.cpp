// The scenario editor's commands under "Current Scenario": "Save Changes" and the clone, with
// the guard every command that changes the scenario runs under, "Exit" and the commands that
// start the game or its editor.
#include "scenarios/frmZelvorn.h"

#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"
#include "scenarios/ScenarioClone.h"
#include "scenarios/ScenarioSave.h"
#include "scenarios/frmShowRoutes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

using namespace scenarios;

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

// The game or its editor started: the browser and this window go.
void frmZelvorn::startAndLeave(const QString& handler, const std::function<bool()>& start)
{
    guarded(handler, [this, &start] {
        if (!start())
            return;
        frmShowRoutes::unloadBrowser();
        if (!platform::isUnloaded(this)) // the start processed window events: closed meanwhile
            unload();
    });
}

void frmZelvorn::Command5_Click()
{
    startAndLeave(QStringLiteral("Command5_Click"), [this] { return editor_.runGame(); });
}

void frmZelvorn::Command8_Click()
{
    startAndLeave(QStringLiteral("Command8_Click"), [this] { return editor_.runGameEditor(false); });
}

void frmZelvorn::Command14_Click()
{
    startAndLeave(QStringLiteral("Command14_Click"), [this] { return editor_.runGameEditor(true); });
}
