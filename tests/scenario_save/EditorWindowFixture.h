#pragma once
// The scenario editor as the user reaches it: opened from the route browser on a copy of the
// sample game, with every window it may open closed again after each test.

#include "SaveFixture.h"

#include "common/frmReport.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>

namespace savetest {

class EditorWindowFixture : public SaveFixture {
protected:
    void SetUp() override
    {
        SaveFixture::SetUp();
        frmZelvorn::registerLauncher();
    }
    void TearDown() override
    {
        frmZelvorn::unloadEditor();
        frmShowRoutes::unloadBrowser();
        if (frmReport* report = frmReport::existing())
            report->close();
        dlgTips::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmShowRoutes::setScenarioEditorLauncher(nullptr);
        SaveFixture::TearDown();
    }

    // Opens the scenario in the browser's row (the first when none is named) of the route
    // in its row.
    frmZelvorn* openFromBrowser(int route = 0, const std::function<bool(const QString&)>& scenario = {})
    {
        frmShowRoutes* browser = frmShowRoutes::showBrowser();
        browser->List1->item(route)->setSelected(true);
        for (int i = 0; i < browser->List3->count(); ++i)
            browser->List3->item(i)->setSelected(scenario ? scenario(browser->List3->item(i)->text()) : i == 0);
        browser->Command10->click();
        return frmZelvorn::loaded();
    }
};

} // namespace savetest
