// A scenario handed to the hub by the route list's "List Stock used by selected Scenario": the
// tree page, when it shows, shows the scenario at once; the hub names its work copy only while
// the copy is there, so switching pages afterwards never reports a missing work file, whatever
// the route list did to the work folder meanwhile.

#include "hub_window/WindowTestSupport.h"

#include "hub/TextPageWidget.h"
#include "hub/xml/XmlTreeWidget.h"
#include "support/SampleGame.h"

#include <QDir>
#include <QLineEdit>
#include "routes/frmDelRoute.h"
#include "routes/frmListRS.h"

#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {

class HandOffRoad : public WindowTest {
protected:
    void TearDown() override
    {
        delete frmListRS::existing();
        delete frmDelRoute::existing();
        WindowTest::TearDown();
    }
};

// The route list in check mode, the Eastfield Branch, its scenario, the stock list, Exit, and
// then the page tabs: one row per page showing at the hand-off and way the user leaves the
// route list and the stock list. The tree page's label names the file the tree holds, or none.
TEST_F(HandOffRoad, TheTreePageShowsTheFileItNamesAndSwitchingNeverReportsAMissingWorkFile)
{
    struct Row {
        const char* what;
        bool treeShowing;    // the tree page shows at the hand-off (else the text page)
        bool checkRoute;     // the route is checked after the stock list (the check empties the work folder)
        bool closeStock;     // the stock list's Exit
        bool closeRouteList; // the route list's Exit
        bool remade;         // another file of the work copy's name is made after the check
    } rows[] = {
        {"tree page; stock list and route list closed", true, false, true, true, false},
        {"tree page; route checked, then both closed", true, true, true, true, false},
        {"tree page; route checked, lists left open", true, true, false, false, false},
        {"text page; stock list and route list closed", false, false, true, true, false},
        {"text page; route checked, then both closed", false, true, true, true, false},
        {"text page; route checked, lists left open", false, true, false, false, false},
        {"text page; route checked, a file of the same name made again", false, true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        prepareGame(true);
        ASSERT_TRUE(installSerz(tree.systemPath()));
        auto w = startWindow();
        ASSERT_EQ(w->SSTab1->currentIndex(), 1); // "Use XML Editor": the tree page first
        if (!row.treeShowing)
            switchTo(*w, 0);

        w->mnuDelRoute->trigger();
        frmDelRoute* list = frmDelRoute::existing();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->loadedMode(), frmDelRoute::ListMode::Check);
        ASSERT_GE(list->List1->count(), 2);
        list->List1->item(1)->setSelected(true);
        list->List1_Click();
        ASSERT_EQ(list->List3->count(), 1);
        list->List3->item(0)->setSelected(true);
        list->Command3_Click();
        ASSERT_NE(frmListRS::existing(), nullptr);
        const QString named = shared().CurrentFile;
        ASSERT_TRUE(named.endsWith(QStringLiteral("Scenario.bin"))) << named.toStdString();
        const QString workXml = platform::programFolder() + QStringLiteral("\\TempFiles\\Scenario.xml");
        EXPECT_TRUE(tree.exists(QStringLiteral("program/TempFiles/Scenario.xml")));
        EXPECT_EQ(w->Label2->text(), named);
        // The tree page showing shows the file at once, without a switch of pages.
        if (row.treeShowing) {
            EXPECT_TRUE(w->TreeDocument.TreeHasFile);
            EXPECT_EQ(w->TreeDocument.TreeFileName.compare(workXml, Qt::CaseInsensitive), 0)
                << w->TreeDocument.TreeFileName.toStdString();
            EXPECT_GT(w->trevwContents->topLevelItemCount(), 0);
        }

        if (row.checkRoute) {
            ui.expectModal([](QWidget* report) { report->close(); }, QStringLiteral("missing from this route"));
            ui.expectMsgBox(vb::vbNo, QStringLiteral("view a list of Shapes"));
            ui.expectMsgBox(vb::vbNo, QStringLiteral("check for missing Texture"));
            list->Command4_Click();
            ui.verifyDone();
        }
        if (row.remade)
            tree.writeFile(QStringLiteral("program/TempFiles/Scenario.xml"), "<other/>");
        if (row.closeStock)
            frmListRS::existing()->Command2_Click();
        if (row.closeRouteList)
            list->CancelButton_Click();
        ui.clearRecords();

        // The tabs, there and back, twice: no message, and a tree that either holds the
        // scenario under a label naming it, or holds no file under a label naming none.
        for (int i = 0; i < 2; ++i) {
            switchTo(*w, 0);
            switchTo(*w, 1);
        }
        EXPECT_TRUE(ui.messages().isEmpty()) << ui.lastMessage().text.toStdString();
        // The tree holds the work copy when it was read before anything emptied the work folder.
        if (row.treeShowing || !row.checkRoute) {
            EXPECT_TRUE(w->TreeDocument.TreeHasFile);
            EXPECT_EQ(w->TreeDocument.TreeFileName.compare(workXml, Qt::CaseInsensitive), 0)
                << w->TreeDocument.TreeFileName.toStdString();
            EXPECT_GT(w->trevwContents->topLevelItemCount(), 0);
            EXPECT_EQ(w->Label2->text(), named);
        } else {
            EXPECT_FALSE(w->TreeDocument.TreeHasFile);
            EXPECT_EQ(w->trevwContents->topLevelItemCount(), 0);
            EXPECT_TRUE(w->TreeWorkName.isEmpty());
            EXPECT_EQ(w->Label2->text(), QString());
        }
        // The text page keeps the scenario's text it was handed, and the file it came from.
        EXPECT_EQ(shared().CurrentFile, named);
        EXPECT_EQ(w->Text1->text(), named);
        EXPECT_TRUE(w->RichTextBox1->text().contains(QStringLiteral("cConsist"))) << w->RichTextBox1->text().left(200).toStdString();

        if (frmListRS::existing())
            delete frmListRS::existing();
        if (frmDelRoute::existing())
            delete frmDelRoute::existing();
        w.reset();
        resetShared();
        QDir(tree.path(QStringLiteral("program/TempFiles"))).removeRecursively();
    }
}

} // namespace
