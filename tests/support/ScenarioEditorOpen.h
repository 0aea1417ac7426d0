#pragma once
// Opens the scenario editor as a user does: the browser's first route and scenario selected,
// then its editor command.

#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include <QListWidget>
#include <QPushButton>

inline frmZelvorn* openScenarioEditorFromBrowser()
{
    frmZelvorn::registerLauncher();
    frmShowRoutes* browser = frmShowRoutes::showBrowser();
    browser->List1->item(0)->setSelected(true);
    browser->List3->item(0)->setSelected(true);
    browser->Command10->click();
    return frmZelvorn::loaded();
}
