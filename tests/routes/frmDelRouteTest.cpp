#include "routes/frmDelRoute.h"

#include "RouteGame.h"
#include "common/SharedState.h"
#include "support/WidgetRows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>

#include <memory>

namespace {

QStringList shownCommands(const frmDelRoute& w)
{
    QStringList out;
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (!b->isHidden())
            out << b->objectName();
    }
    out.sort();
    return out;
}

} // namespace

class RouteListWindow : public RouteGameTest {
protected:
    void SetUp() override
    {
        RouteGameTest::SetUp();
        useSampleGame();
    }
    std::unique_ptr<frmDelRoute> open() { return std::make_unique<frmDelRoute>(); }
    QString valleyRel() const { return routeRel(kValleyRoute); }
};

TEST_F(RouteListWindow, LoadsTheRoutesInCheckMode)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Select Route"));
    EXPECT_EQ(listRows(w->List1), (QStringList{QStringLiteral("Veltrane Valley Line\t") + kValleyRoute,
                                           QStringLiteral("Eastfield Branch\t") + kBranchRoute}));
    EXPECT_EQ(listRows(w->List2), (QStringList{kValleyRoute, kBranchRoute}));
    EXPECT_EQ(shared().RouteNames.values(), (QList<QString>{"Veltrane Valley Line", "Eastfield Branch"}));
    EXPECT_EQ(shared().RouteFolders.ubound(), 1);
    EXPECT_EQ(w->UsedBlueprints.ubound(), 500);
    EXPECT_EQ(w->UsedTextures.ubound(), 500);
    EXPECT_EQ(w->RoutesXmlPath, tree.gamePath() + QStringLiteral("\\Content\\Routes.xml"));
    EXPECT_TRUE(w->RoutesXmlText.contains(QStringLiteral("<cRouteProperties")));

    EXPECT_EQ(w->Label1->text(), QStringLiteral("Route Name"));
    EXPECT_EQ(w->Label2->text(), QStringLiteral("Route Folder"));
    EXPECT_EQ(w->Label3->text(), QStringLiteral("Scenario Name"));
    EXPECT_EQ(w->Label4->text(), QStringLiteral("Scenario Folder"));
    EXPECT_EQ(w->Command1->text(), QStringLiteral("List Scenarios in Selected Route"));
    EXPECT_EQ(w->Command2->text(), QStringLiteral("Delete Selected Scenario"));
    EXPECT_EQ(w->Command10->text(), QStringLiteral("&Abort"));
    EXPECT_EQ(w->CancelButton->text(), QStringLiteral("&Exit"));
    EXPECT_EQ(w->OKButton->text(), QStringLiteral("Delete Selected Route"));
    // Only the commands of this window are offered; the others come with their tools.
    EXPECT_EQ(shownCommands(*w), (QStringList{"CancelButton", "Command1", "Command10", "Command2", "Command3", "Command4", "Command7", "Command9", "OKButton"}));
    EXPECT_TRUE(w->List5->isHidden());
    EXPECT_TRUE(w->File1->isHidden());

    // Monospace lists with the folder at a tab stop of 170 dialog units.
    for (QListWidget* list : {w->List1, w->List2, w->List3, w->List4}) {
        EXPECT_EQ(list->font().family(), QStringLiteral("Courier New"));
        EXPECT_TRUE(list->font().fixedPitch());
    }
    EXPECT_EQ(w->tabStopPixels(), QFontMetrics(w->List1->font()).averageCharWidth() * 170 / 4);

    EXPECT_EQ(w->StatusPanel1->text(), QStringLiteral("Processing"));
    EXPECT_EQ(w->StatusPanel1->objectName(), QStringLiteral("Processing"));
    EXPECT_EQ(w->StatusPanel2->objectName(), QStringLiteral("Time panel"));
    EXPECT_FALSE(w->StatusPanel2->text().isEmpty());
    EXPECT_TRUE(w->StatusPanel3->text().isEmpty());
}

TEST_F(RouteListWindow, PackageModesSetCaptionsAndCommands)
{
    shared().PackageRouteMode = true;
    {
        auto w = open();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Select Route to Package"));
        EXPECT_EQ(w->OKButton->text(), QStringLiteral("Package Selected Route"));
        EXPECT_EQ(shownCommands(*w), (QStringList{"CancelButton", "Command1", "Command10", "Command2", "Command3", "Command4", "Command7", "Command8", "Command9", "OKButton"}));
    }
    shared().PackageRouteMode = false;
    shared().PackageScenariosMode = true;
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Select Route"));
    // Deleting scenarios is not offered while scenarios are packaged.
    EXPECT_EQ(shownCommands(*w), (QStringList{"CancelButton", "Command1", "Command10", "Command5", "Command6", "Command7", "Command9"}));

    // The listing fills the scenario list but leaves the package list alone.
    w->List1->item(0)->setSelected(true);
    w->Command1_Click();
    EXPECT_EQ(w->List3->count(), 2);
    EXPECT_EQ(w->List4->count(), 0);

    w->close();
    EXPECT_FALSE(shared().PackageScenariosMode);
}

TEST_F(RouteListWindow, MoreThan500RoutesAreAllListed)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n";
    for (int i = 0; i < 537; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "\t\t<cRouteProperties><ID><cGUID><DevString>R" + n + "</DevString></cGUID></ID><DisplayName>"
               "<English></English><French>Ligne " + n + "</French><Italian></Italian><German></German>"
               "<Spanish></Spanish></DisplayName></cRouteProperties>\r\n";
    }
    xml += "\t</Record>\r\n</cRecordSet>\r\n";
    tree.writeFile(QStringLiteral("game/Content/Routes.xml"), xml);
    auto w = open();
    ASSERT_EQ(w->List1->count(), 537);
    EXPECT_EQ(shared().RouteNames.count(), 537);
    EXPECT_EQ(shared().RouteFolders.count(), 537);
    EXPECT_EQ(w->List1->item(536)->text(), QStringLiteral("Ligne 536\tR536"));
}

TEST_F(RouteListWindow, AMissingRouteListIsReported)
{
    QFile::remove(tree.path(QStringLiteral("game/Content/Routes.xml")));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("No routes were found in ") + tree.gamePath() + QStringLiteral("\\Content\\Routes.xml"));
    auto w = open();
    EXPECT_EQ(w->List1->count(), 0);
    EXPECT_EQ(shared().RouteFolders.count(), 0);
    // Without a route nothing is listed or converted.
    w->Command1_Click();
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/Scenarios.xml")));
}

TEST_F(RouteListWindow, AClickOnARouteListsItsScenarios)
{
    auto w = open();
    w->Command1_Click(); // no route picked: nothing happens
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/Scenarios.xml")));

    QListWidgetItem* valley = w->List1->item(0);
    valley->setSelected(true);
    emit w->List1->itemClicked(valley);
    EXPECT_EQ(listRows(w->List3), (QStringList{QStringLiteral("Morning Freight\t") + kMorningFreight,
                                           QStringLiteral("Evening Shuttle\t") + kEveningShuttle}));
    EXPECT_EQ(listRows(w->List4), (QStringList{kMorningFreight, kEveningShuttle}));
    EXPECT_EQ(w->SelectedRoutePath, tree.gamePath() + QStringLiteral("\\content\\Routes\\") + kValleyRoute);
    EXPECT_FALSE(tree.exists(valleyRel() + QStringLiteral("/Scenarios.bin.bak")));
    EXPECT_TRUE(w->Command1->isEnabled()); // the commands are back once the listing is done
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));

    // Another route: the lists are filled anew.
    valley->setSelected(false);
    w->List1->item(1)->setSelected(true);
    w->Command1_Click();
    EXPECT_EQ(listRows(w->List4), (QStringList{QStringLiteral("a1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071")}));
}

TEST_F(RouteListWindow, DeletesTheSelectedScenarioOfTheListedRoute)
{
    auto w = open();
    w->List1->item(0)->setSelected(true);
    w->Command1_Click();
    const QByteArray before = tree.readFile(valleyRel() + QStringLiteral("/Scenarios.bin"));

    w->Command2_Click(); // no scenario picked: no question, nothing deleted
    EXPECT_TRUE(ui.messages().isEmpty());

    w->List3->item(0)->setSelected(true);
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Do you really wish to delete the selected scenario?"));
    w->Command2_Click();
    EXPECT_EQ(w->List3->count(), 2);
    EXPECT_TRUE(tree.exists(valleyRel() + QStringLiteral("/Scenarios/") + kMorningFreight));
    EXPECT_EQ(ui.lastMessage().buttons(), vb::vbYesNo);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);

    // The other route's list is left as the work copy: the deletion must not use it.
    tree.writeFile(QStringLiteral("program/TempFiles/Scenarios.xml"), decodeBinary(listRel(kBranchRoute)));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you really wish to delete the selected scenario?"));
    w->Command2_Click();
    EXPECT_FALSE(tree.exists(valleyRel() + QStringLiteral("/Scenarios/") + kMorningFreight));
    EXPECT_TRUE(tree.exists(valleyRel() + QStringLiteral("/Scenarios/") + kEveningShuttle + QStringLiteral("/Scenario.bin")));
    EXPECT_EQ(listRows(w->List3), (QStringList{QStringLiteral("Evening Shuttle\t") + kEveningShuttle}));
    EXPECT_EQ(listRows(w->List4), (QStringList{kEveningShuttle}));
    EXPECT_EQ(shared().ScenarioFolders.values(), (QList<QString>{kEveningShuttle}));
    EXPECT_EQ(shared().ScenarioNames.values(), (QList<QString>{"Evening Shuttle"}));
    EXPECT_EQ(tree.readFile(valleyRel() + QStringLiteral("/Scenarios.bin.bak")), before);
    const QByteArray after = decodeBinary(listRel(kValleyRoute));
    EXPECT_FALSE(after.contains(kMorningFreight.toUtf8()));
    EXPECT_TRUE(after.contains(kEveningShuttle.toUtf8()));
    // The other route is untouched.
    EXPECT_TRUE(decodeBinary(listRel(kBranchRoute)).contains("a1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071"));
    EXPECT_FALSE(tree.exists(routeRel(kBranchRoute) + QStringLiteral("/Scenarios.bin.bak")));
}

TEST_F(RouteListWindow, AbortAndExit)
{
    auto w = open();
    w->Command10_Click();
    EXPECT_TRUE(shared().AbortScan);

    shared().PackageScenariosMode = true;
    shared().PackageRouteMode = true;
    QPointer<frmDelRoute> single = &frmDelRoute::instance();
    EXPECT_EQ(frmDelRoute::existing(), single.data());
    EXPECT_EQ(&frmDelRoute::instance(), single.data());
    single->CancelButton_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(single.isNull());
    EXPECT_EQ(frmDelRoute::existing(), nullptr);
    EXPECT_FALSE(shared().PackageScenariosMode);
    EXPECT_TRUE(shared().PackageRouteMode); // left to the hub
}
