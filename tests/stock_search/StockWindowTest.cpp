// The "Available Stock." frame of the scenario editor on a copy of the sample game: the
// search command by kind, the list-all question, the path of a chosen row, the remembered
// folder, and closing the editor while a search runs.
#include "StockGame.h"

#include "scenario_editor/EditorFixture.h"
#include "scenarios/frmZelvorn.h"
#include "support/GameOnDrive.h"
#include "support/ScopedEnv.h"
#include "support/WidgetRows.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace editortest;
using namespace scenarios;

namespace {

const QString kRailVehicles = QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\RailVehicles");

class StockWindow : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        useSampleScenario();
        w = frmZelvorn::showEditor();
    }
    void TearDown() override
    {
        frmZelvorn::unloadEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EditorFixture::TearDown();
    }

    void search(const QString& folder, int option)
    {
        w->Dir2->setPath(folder);
        if (option >= 0)
            w->Option1[option]->setChecked(true);
        w->Command6->click();
    }

    void choose(int row)
    {
        w->List3->clearSelection();
        w->List3->item(row)->setSelected(true);
    }

    frmZelvorn* w = nullptr;
};

TEST_F(StockWindow, TheSampleGameListsEveryKind)
{
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->Command6->isHidden());
    EXPECT_EQ(w->Command6->text(), "Find Available Rolling-Stock");
    const QString g = tree.gamePath();
    struct Row {
        int option;
        QStringList names;
    };
    const Row table[] = {
        {0, {"VS Class 90"}},
        {1, {"VS Class 86"}},
        {2, {"VS 4F"}},
        {3, {"VS Mk1 Coach"}},
        {4, {"VS Box Van"}},
        {5, {"VS 4F Tender"}},
        {6, {"VS Class 101", "VS Class 90", "VS Mk1 Coach"}},
        {7, {"VS Class 101", "VS Class 86", "VS Mk1 Coach"}},
    };
    for (const Row& row : table) {
        search(g + kRailVehicles, row.option);
        EXPECT_EQ(listRows(w->List3), row.names) << row.option;
        EXPECT_EQ(w->stockSearch().StockType, w->Option1[row.option]->text());
    }
    EXPECT_TRUE(ui.messages().isEmpty());

    // The chosen row's full path; the swaps read the entry's provider and product.
    search(g + kRailVehicles, 5);
    choose(0);
    EXPECT_EQ(w->Label5->text(), g + kRailVehicles + "\\Steam\\Class4F\\Tender\\VS_4FTender.xml");
    const StockEntry& tender = w->stockSearch().entries.at(0);
    EXPECT_EQ(tender.provider, "VeltraneSamples");
    EXPECT_EQ(tender.product, "Sample01");
    EXPECT_EQ(tender.blueprint, "RailVehicles\\Steam\\Class4F\\Tender\\VS_4FTender.xml");
    EXPECT_EQ(int(tender.kind), int(StockKind::Tender));
    EXPECT_EQ(shared().AssetsBasePath, g + "\\Assets\\VeltraneSamples\\Sample01");
    EXPECT_EQ(w->Label5->text(), shared().AssetsBasePath + "\\" + w->stockSearch().StockBlueprints.at(0));
    // A new search empties the list and the path.
    search(g + kRailVehicles, 0);
    EXPECT_EQ(w->Label5->text(), QString());
    EXPECT_TRUE(w->Command1->isEnabled());
    EXPECT_TRUE(w->menuBar()->isEnabled());
}

// The search with the game on drive c:, its folder in either form, and the folder clicked as the
// editor opened or after the drive list moved away and back: the same stock, named from the game
// folder.
TEST_F(StockWindow, SearchWhicheverWayTheListReachedTheFolder)
{
    ASSERT_TRUE(placeGameOnDriveC(tree));
    for (const DriveRoad& road : kDriveRoads) {
        SCOPED_TRACE(road.what);
        frmZelvorn::unloadEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QString game = gameOnDriveC(tree, road);
        shared().GamePath = game;
        shared().LastStockFolder.clear();
        w = frmZelvorn::showEditor();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->Drive2->drive(), "c:");
        moveDriveIfTheRoadSays(*w->Drive2, road);
        clickGameFolder(*w->Dir2, game, road, kRailVehicles.mid(1));
        w->Option1[3]->setChecked(true);
        w->Command6->click();
        EXPECT_EQ(listRows(w->List3), QStringList{"VS Mk1 Coach"});
        choose(0);
        EXPECT_EQ(w->Label5->text(), game + kRailVehicles + "\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml");
        EXPECT_EQ(shared().AssetsBasePath, game + "\\Assets\\VeltraneSamples\\Sample01");
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(StockWindow, TheQuestionCancelAndOk)
{
    const QString g = tree.gamePath();
    ui.expectMsgBox(vb::vbCancel, "You have not selected a Rail Vehicles folder");
    search(g + "\\Assets\\VeltraneSamples\\Sample01", 0);
    EXPECT_TRUE(listRows(w->List3).isEmpty());

    ui.expectMsgBox(vb::vbOK, "You have not selected a Rail Vehicles folder");
    search(g + "\\Assets\\VeltraneSamples\\Sample01", 0);
    EXPECT_EQ(listRows(w->List3), (QStringList{"VS Box Van", "VS Class 101", "VS Class 90", "VS Mk1 Coach"}));
    EXPECT_TRUE(shared().ListAllStock);

    // A folder outside the game's Assets folder is refused.
    ui.expectMsgBox(vb::vbOK, "is not inside the game's Assets folder");
    search(g + "\\Content", 0);
    EXPECT_TRUE(listRows(w->List3).isEmpty());
}

TEST_F(StockWindow, TwoEqualNamesGiveTwoRowsThatBothShowTheFirstEntry)
{
    const QString g = tree.gamePath();
    QByteArray twin = tree.readFile("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk1/Coach/VS_Mk1Coach.bin");
    ASSERT_FALSE(twin.isEmpty());
    tree.writeFile("game/Assets/VeltraneSamples/Sample01/RailVehicles/Passenger/Mk2/Coach/VS_Mk2Coach.bin", twin);
    search(g + kRailVehicles, 3);
    ASSERT_EQ(listRows(w->List3), (QStringList{"VS Mk1 Coach", "VS Mk1 Coach"}));
    const QString first = g + kRailVehicles + "\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml";
    choose(1);
    EXPECT_EQ(w->Label5->text(), first);
    w->Label5->clear();
    choose(0);
    EXPECT_EQ(w->Label5->text(), first);
}

TEST_F(StockWindow, AChosenFolderIsRememberedForTheNextOpening)
{
    const QString folder = tree.gamePath() + kRailVehicles + "\\Steam";
    // The user picks the folder in the list.
    QTreeWidgetItem* item = w->Dir2->currentItem();
    w->Dir2->setPath(folder);
    ASSERT_NE(w->Dir2->currentItem(), item);
    item = w->Dir2->currentItem();
    w->Dir2->setCurrentItem(item->parent());
    w->Dir2->setCurrentItem(item);
    EXPECT_EQ(shared().LastStockFolder, folder);

    frmZelvorn::unloadEditor();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w = frmZelvorn::showEditor();
    EXPECT_EQ(w->Dir2->path(), folder);
}

TEST_F(StockWindow, ClosingTheEditorEndsARunningSearch)
{
    const ScopedEnv delay("SERZ_DELAY_MS", "300");
    bool disabledMeanwhile = false;
    QTimer::singleShot(60, w, [this, &disabledMeanwhile] {
        disabledMeanwhile = !w->Command1->isEnabled() && !w->Command6->isEnabled() && !w->menuBar()->isEnabled();
        w->close();
    });
    const QPointer<frmZelvorn> window(w);
    search(tree.gamePath() + kRailVehicles, 6); // three blueprints to convert
    EXPECT_TRUE(disabledMeanwhile);
    // The blueprint in work when the window closed (if any) is listed; no other is converted.
    ASSERT_FALSE(window.isNull());
    const int converted = w->stockSearch().stats.conversions;
    EXPECT_LE(converted, 1);
    EXPECT_EQ(listRows(w->List3), QStringList{"VS Class 90"}.mid(0, converted));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    w = nullptr;
}

} // namespace
