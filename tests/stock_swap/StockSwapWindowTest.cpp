// The two swap commands in the editor window opened from the browser on a copy of the sample
// game: the stock search finds the blueprint, the swap changes the chosen consist's vehicles,
// the lists follow, and "Save Changes" writes the swapped scenario into the game.
#include "scenario_save/EditorWindowFixture.h"

#include "common/frmReport.h"
#include "scenarios/ConsistModel.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "support/WidgetRows.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace savetest;
using namespace scenarios;

namespace {

const QString kRailVehicles = QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\RailVehicles");
const QString kSwapNote = QStringLiteral("Your Consist's Rolling-Stock information will be updated once you save changes.");

class SwapWindow : public EditorWindowFixture {
protected:
    frmZelvorn* openFromBrowser()
    {
        frmZelvorn* w = EditorWindowFixture::openFromBrowser();
        if (w)
            w->swapRandom = [this] {
                ++draws;
                return 0.5f;
            };
        return w;
    }

    void search(frmZelvorn* w, int option)
    {
        w->Dir2->setPath(tree.gamePath() + kRailVehicles);
        w->Option1[option]->setChecked(true);
        w->Command6->click();
        ASSERT_EQ(w->List3->count(), 1);
        w->List3->item(0)->setSelected(true);
    }

    static void pick(frmZelvorn* w, int k, const QList<int>& vehicles)
    {
        w->List1->item(k)->setSelected(true);
        w->List2->clearSelection();
        for (int j : vehicles) {
            w->List2->setCurrentRow(j, QItemSelectionModel::NoUpdate);
            w->List2->item(j)->setSelected(true);
        }
    }

    static const VehicleRecord& vehicle(const ConsistModel& model, int k, int j)
    {
        return model.consist(k)->vehicles.at(j);
    }

    int draws = 0;
};

TEST_F(SwapWindow, ButtonsCarryTheirCaptionsAndTips)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Command10->text(), "Swap Selected Item(s)");
    EXPECT_EQ(w->Command10->toolTip(), "Just Swap Selected Item with one from Available Stock.");
    EXPECT_EQ(w->Command7->text(), "Swap All Identical Stock");
    EXPECT_EQ(w->Command7->toolTip(),
              "Swap ALL this type of stock in this consist with one from Available Stock (all items with same name will change)");
    EXPECT_EQ(w->Command10->parentWidget(), static_cast<QWidget*>(w->Frame3));
    EXPECT_EQ(w->Command7->parentWidget(), static_cast<QWidget*>(w->Frame3));
    EXPECT_GT(w->Command10->width(), 0);

    // Without a stock row: the warning, and nothing changes.
    const QString before = shared().ScenarioText;
    pick(w, 0, {1});
    ui.expectMsgBox(vb::vbOK, "You have not selected any rolling-stock from the Available Stock list?");
    w->Command10->click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    ui.expectMsgBox(vb::vbOK, "You have not selected any rolling-stock from the Available Stock list?");
    w->Command7->click();
    EXPECT_EQ(shared().ScenarioText, before);
    EXPECT_FALSE(w->editor().ScenarioChanged);

    // An electric engine is no wagon: the box van stays.
    search(w, 1);
    pick(w, 0, {1});
    ui.expectMsgBox(vb::vbOK, "Sorry, but you can not swap Locos for Wagons.");
    w->Command10->click();
    EXPECT_EQ(shared().ScenarioText, before);
    EXPECT_EQ(draws, 0);
}

TEST_F(SwapWindow, TheClass90BecomesTheElectricAndTheVansCoachesAndSaveWritesThem)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);

    // "Electric": the Class 90 of the driven train becomes the Class 86.
    search(w, 1);
    ASSERT_EQ(listRows(w->List3), QStringList{"VS Class 86"});
    pick(w, 0, {0});
    ui.expectMsgBox(vb::vbOK, kSwapNote);
    w->Command10->click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbInformation);
    EXPECT_TRUE(w->editor().ScenarioChanged);
    EXPECT_EQ(draws, 1);
    ConsistModel model;
    model.reread(shared().ScenarioText);
    const VehicleRecord& engine = vehicle(model, 0, 0);
    EXPECT_EQ(engine.name, "VS Class 86");
    EXPECT_EQ(engine.provider, "VeltraneSamples");
    EXPECT_EQ(engine.product, "Sample01");
    EXPECT_EQ(engine.blueprint, "RailVehicles\\Electric\\Class86\\Engine\\VS_Class86.xml");
    EXPECT_TRUE(QStringList({"86101", "86205", "86233"}).contains(engine.number)) << engine.number.toStdString();
    EXPECT_FALSE(shared().ScenarioText.contains(">90021<"));
    EXPECT_TRUE(shared().ScenarioText.contains("<TotalMass d:type=\"sFloat32\">81.000000</TotalMass>\r\n\t\t\t\t\t\t\t<UniqueNumber "
                                               "d:type=\"cDeltaString\">"
                                               + engine.number));
    EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 86", "VS Box Van", "VS Box Van"}));
    EXPECT_TRUE(w->List2->selectedItems().isEmpty());
    // The other train's Class 90 is untouched.
    EXPECT_EQ(vehicle(model, 1, 0).name, "VS Class 90");
    EXPECT_EQ(vehicle(model, 1, 0).number, "90034");

    // "Passenger": both box vans of the first consist become coaches; the loose van stays.
    search(w, 3);
    pick(w, 0, {2});
    ui.expectMsgBox(vb::vbOK, kSwapNote);
    w->Command7->click();
    EXPECT_EQ(draws, 3);
    EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 86", "VS Mk1 Coach", "VS Mk1 Coach"}));
    model.reread(shared().ScenarioText);
    for (int j = 1; j <= 2; ++j) {
        EXPECT_EQ(vehicle(model, 0, j).name, "VS Mk1 Coach");
        EXPECT_EQ(vehicle(model, 0, j).blueprint, "RailVehicles\\Passenger\\Mk1\\Coach\\VS_Mk1Coach.xml");
        EXPECT_EQ(vehicle(model, 0, j).number, "E3104"); // three numbers: the first one
    }
    EXPECT_EQ(shared().ScenarioText.count("<TotalMass d:type=\"sFloat32\">33.000000</TotalMass>"), 2);
    EXPECT_EQ(vehicle(model, 1, 1).name, "VS Box Van");
    EXPECT_EQ(vehicle(model, 2, 0).name, "VS Box Van");
    EXPECT_EQ(vehicle(model, 2, 0).number, "4915");
    EXPECT_EQ(shared().ScenarioText.count("VS_BoxVan.xml"), 2);

    // "Save Changes" writes what the editor holds.
    const QString text = shared().ScenarioText;
    ui.expectMsgBox(vb::vbOK, "have been updated.");
    w->Command1->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(platform::decodeAnsi(decoded(scenarioFile())), text + "\r\n");
}

} // namespace
