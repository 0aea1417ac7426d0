// The consist and vehicle commands in the editor window opened from the browser: the lists
// follow the scenario text after every command, the details window, the missing-blueprint
// report, and the edits reaching the game's file through "Save Changes".
#include "scenario_save/EditorWindowFixture.h"

#include "common/frmReport.h"
#include "routes/frmDelRoute.h"
#include "scenarios/ConsistEditing.h"
#include "scenarios/ConsistModel.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "support/WidgetRows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

#include <functional>

using namespace savetest;
using namespace scenarios;

namespace {

const QString kDriven = QStringLiteral("6E21 Veltrane Central to Eastfield Yard");
const QString kAi = QStringLiteral("4V02 Eastfield Yard to Veltrane Central");
const QString kLoose = QStringLiteral("Loose Consist");
const QString kNote = QStringLiteral("Your Scenario information will be updated once you save changes.");

// A click of the left button on a row, as the window system delivers it.
void clickRow(QListWidget* list, int row)
{
    QWidget* port = list->viewport();
    const QPointF at(list->visualItemRect(list->item(row)).center());
    const QPointF global(port->mapToGlobal(at.toPoint()));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(port, &release);
}

class HookedUi : public ScriptedUi {
public:
    std::function<void()> hook;
    void doEvents() override
    {
        if (hook) {
            const std::function<void()> once = hook;
            hook = nullptr;
            once();
            hook = once;
        }
        ScriptedUi::doEvents();
    }
};

class ConsistWindow : public EditorWindowFixture {
protected:
    static void pickConsist(frmZelvorn* w, int k) { w->List1->item(k)->setSelected(true); }
    static void pickVehicle(frmZelvorn* w, int j)
    {
        w->List2->setCurrentRow(j, QItemSelectionModel::NoUpdate);
        w->List2->item(j)->setSelected(true);
    }
    static void pressVehicle(frmZelvorn* w, int j)
    {
        pickVehicle(w, j);
        w->List2_MouseDown();
    }
    static void pickMarker(frmZelvorn* w, const QString& marker)
    {
        const QList<QListWidgetItem*> found = w->List4->findItems(marker, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        found.first()->setSelected(true);
    }

    // The consist list and the chosen consist's vehicles are what the scenario text holds.
    static void expectListsMatchTheText(frmZelvorn* w)
    {
        ConsistModel model;
        model.reread(shared().ScenarioText);
        EXPECT_EQ(listRows(w->List1), model.rows());
        const QList<QListWidgetItem*> chosen = w->List1->selectedItems();
        if (chosen.isEmpty()) {
            EXPECT_EQ(w->List2->count(), 0);
            return;
        }
        QStringList names;
        for (const VehicleRecord& v : model.consist(w->List1->row(chosen.first()))->vehicles)
            names.append(v.name);
        EXPECT_EQ(listRows(w->List2), names.isEmpty() ? QStringList{"Empty Consist"} : names);
    }
};

TEST_F(ConsistWindow, ConsistClickListsVehiclesAndAPressShowsItsDetails)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Command11->text(), "Duplicate Item");
    EXPECT_EQ(w->Command9->text(), "Delete Item");
    EXPECT_EQ(w->Command15[0]->text(), "Load Selected Wagon(s)");
    EXPECT_EQ(w->Command15[1]->text(), "Unload Selected Wagon(s)");
    EXPECT_EQ(w->Command4->text(), "Drive It");
    EXPECT_EQ(w->Command4->toolTip(), "Make Selected Consist/Loco the one you wish to start up in.");
    EXPECT_EQ(w->Command20->text(), "Duplicate Consist");
    EXPECT_EQ(w->Command18->text(), "Delete Consist");
    EXPECT_EQ(w->Command17->text(), "Change Start Time");
    EXPECT_EQ(w->Command19->text(), "Change Service Class");
    EXPECT_EQ(w->Command16->text(), "Change Destination");
    EXPECT_EQ(w->Command13->text(), "Change Origin Point");

    pickConsist(w, 0);
    EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 90", "VS Box Van", "VS Box Van"}));
    EXPECT_EQ(w->Label7->text(), "Driven Loco Index 0");
    EXPECT_GT(w->Label7->y(), w->List2->y() + w->List2->height() - 1);
    EXPECT_TRUE(w->Command13->isVisible());

    EXPECT_EQ(dlgTips::existing(), nullptr);
    pressVehicle(w, 0);
    dlgTips* tips = dlgTips::existing();
    ASSERT_NE(tips, nullptr);
    EXPECT_TRUE(tips->isVisible());
    EXPECT_EQ(tips->Label1->text(), "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml");
    EXPECT_EQ(tips->Label2->text(), "Loadable = False");
    EXPECT_EQ(tips->Label3->text(), "Loaded = False");
    EXPECT_EQ(tips->Label4->text(), "Orientation = Forward");
    EXPECT_EQ(tips->Label5->text(), "Consist Dir. = forwards");
    EXPECT_EQ(tips->Text1->text(), "0700");
    EXPECT_EQ(tips->Label7->text(), "Eastfield Yard");
    EXPECT_EQ(tips->Label9->text(), "90021");
    EXPECT_EQ(tips->Combo1->currentText(), "Express Freight");
    EXPECT_EQ(tips->Combo1->count(), 11);
    EXPECT_EQ(tips->Label6->text(), "Start Time:");
    EXPECT_EQ(tips->Label11->text(), "Service Class");

    // The loose consist drives no engine.
    pickConsist(w, 2);
    EXPECT_EQ(listRows(w->List2), QStringList{"VS Box Van"});
    EXPECT_EQ(w->Label7->text(), "");
    pressVehicle(w, 0);
    EXPECT_EQ(dlgTips::existing(), tips); // one instance, filled again
    EXPECT_EQ(tips->Label7->text(), "Not Shown");
    EXPECT_TRUE(ui.messages().isEmpty());

    // It closes with the editor.
    w->Command2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dlgTips::existing(), nullptr);
}

TEST_F(ConsistWindow, BranchPickupReportsTheMissingClass37AndItsEmptyConsistShowsNoDetails)
{
    frmZelvorn* w = openFromBrowser(1);
    ASSERT_NE(w, nullptr);
    pickConsist(w, 0);
    frmReport* report = frmReport::existing();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(report->RTB1->isHidden());
    EXPECT_TRUE(report->List1->isHidden());
    EXPECT_EQ(report->RTB1->toPlainText(), "Missing items:-\n\n" + tree.gamePath()
                                               + "\\Assets\\VeltraneSamples\\Sample01\\RailVehicles\\Diesel\\Class37\\Engine\\VS_Class37.bin\n");
    EXPECT_TRUE(shared().ReportText.isEmpty());

    pickConsist(w, 1);
    EXPECT_EQ(listRows(w->List2), QStringList{"Empty Consist"});
    pressVehicle(w, 0);
    EXPECT_EQ(dlgTips::existing(), nullptr);
    EXPECT_TRUE(ui.messages().isEmpty());
}

// A click on the consist that is already chosen lists its vehicles and reports its missing
// blueprints again.
TEST_F(ConsistWindow, AClickOnTheChosenConsistListsItAgain)
{
    frmZelvorn* w = openFromBrowser(1);
    ASSERT_NE(w, nullptr);
    clickRow(w->List1, 1);
    EXPECT_EQ(listRows(w->List2), QStringList{"Empty Consist"});
    EXPECT_EQ(frmReport::existing(), nullptr);
    for (int click = 0; click < 2; ++click) {
        clickRow(w->List1, 0);
        ASSERT_TRUE(w->List1->item(0)->isSelected()) << click;
        EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 37", "VS Box Van"})) << click;
        frmReport* report = frmReport::existing();
        ASSERT_NE(report, nullptr) << click;
        EXPECT_TRUE(report->isVisible()) << click;
        EXPECT_TRUE(report->RTB1->toPlainText().endsWith("\\VS_Class37.bin\n")) << click;
        EXPECT_TRUE(shared().ReportText.isEmpty());
        // The user closes the report and leaves the vehicle list as it is.
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete w->List2->takeItem(0);
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

// A route check that finds nothing missing leaves no report text behind: the next consist
// chosen in the editor, whose blueprints are all there, opens no report window.
TEST_F(ConsistWindow, ACleanRouteCheckLeavesNoReportForTheNextConsist)
{
    // The two station textures the sample route names are all it lacks.
    for (const char* texture : {"Walls", "Roof"})
        tree.writeFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/Scenery/Textures/VS_Station01_%1.TgPcDx")
                           .arg(QLatin1String(texture)),
                       "texture");
    {
        frmDelRoute routes;
        const QList<QListWidgetItem*> route = routes.List2->findItems(kValley, Qt::MatchExactly);
        ASSERT_EQ(route.size(), 1);
        routes.List1->item(routes.List2->row(route.first()))->setSelected(true);
        routes.Command1_Click();
        QStringList missing{"not shown"};
        ui.expectModal(
            [&missing](QWidget* shown) {
                auto* report = static_cast<frmReport*>(shown);
                missing = listRows(report->List1);
                report->Command1_Click();
            },
            QStringLiteral("were missing from this route"));
        ui.expectMsgBox(vb::vbNo, QStringLiteral("Shapes used"));
        ui.expectMsgBox(vb::vbYes, QStringLiteral("Texture/Animation & Script"));
        ui.expectMsgBox(vb::vbNo, QStringLiteral("Textures used"));
        routes.Command4_Click();
        ui.verifyDone();
        EXPECT_EQ(missing, QStringList());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frmReport::existing(), nullptr);

    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    pickConsist(w, 0);
    EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 90", "VS Box Van", "VS Box Van"}));
    EXPECT_EQ(frmReport::existing(), nullptr);
    EXPECT_TRUE(shared().ReportText.isEmpty());
    EXPECT_EQ(ui.messages().size(), 3) << ui.lastMessage().text.toStdString();
}

// A vehicle value the details cannot read as a number leaves its own detail as it was; the
// others are shown.
TEST_F(ConsistWindow, AnUnreadableValueLeavesOnlyItsOwnDetail)
{
    const struct {
        const char* element; // the first of the scenario, vehicle 0 of consist 0 or consist 0's
        const char* value;
        bool orientationKept;
        bool classKept;
    } rows_[] = {
        {"Flipped", "1e999", true, false},
        {"Flipped", "&H100000000", true, false},
        {"ServiceClass", "&H100000000", false, true},
        {"ServiceClass", "1e999", false, true},
    };
    for (const auto& row : rows_) {
        useSampleScenario();
        QString& text = shared().ScenarioText;
        const QString tag = QString::fromLatin1(row.element);
        const qsizetype from = text.indexOf(QLatin1Char('>'), text.indexOf("<" + tag)) + 1;
        text.replace(from, text.indexOf("</" + tag, from) - from, QString::fromLatin1(row.value));
        shared().ScenarioText = text;
        frmZelvorn* w = frmZelvorn::showEditor();
        ASSERT_NE(w, nullptr);
        pickConsist(w, 0);
        pressVehicle(w, 1);
        dlgTips* tips = dlgTips::existing();
        ASSERT_NE(tips, nullptr);
        tips->Label4->setText("kept");
        tips->Combo1->setCurrentIndex(0);
        tips->Label9->clear();
        tips->hide();

        pressVehicle(w, 0);
        EXPECT_TRUE(tips->isVisible()) << row.value;
        EXPECT_EQ(tips->Label4->text(), row.orientationKept ? "kept" : "Orientation = Forward") << row.value;
        EXPECT_EQ(tips->Combo1->currentIndex(), row.classKept ? 0 : 5) << row.value;
        EXPECT_EQ(tips->Label1->text(), "RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml");
        EXPECT_EQ(tips->Label9->text(), "90021");
        EXPECT_EQ(tips->Text1->text(), "0700");
        frmZelvorn::unloadEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ConsistWindow, EditsKeepTheListsInStepAndSaveWritesTheText)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    pickConsist(w, 0);
    pickVehicle(w, 1);

    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command11->click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbInformation);
    EXPECT_TRUE(w->editor().ScenarioChanged);
    EXPECT_TRUE(shared().ScenarioText.contains(">4743</UniqueNumber>"));
    EXPECT_EQ(listRows(w->List2), (QStringList{"VS Class 90", "VS Box Van", "VS Box Van", "VS Box Van"}));
    EXPECT_TRUE(w->List2->item(1)->isSelected());
    expectListsMatchTheText(w);

    // The loose consist goes, and its row with it.
    pickConsist(w, 2);
    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command18->click();
    EXPECT_EQ(listRows(w->List1), (QStringList{kDriven, kAi}));
    expectListsMatchTheText(w);

    // A copy of the AI service appears before it.
    pickConsist(w, 1);
    pickMarker(w, "Eastfield Yard");
    ui.expectInputBox("Copy & Co", "Enter New Name for this consist (Leave blank if Loose Consist");
    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command20->click();
    EXPECT_EQ(listRows(w->List1), (QStringList{kDriven, "Copy &amp; Co", kAi}));
    EXPECT_TRUE(w->List1->item(2)->isSelected());
    expectListsMatchTheText(w);

    // The copy is driven from now on.
    pickConsist(w, 1);
    pickVehicle(w, 0);
    ui.expectMsgBox(vb::vbOK, "Your Scenario Driver information will be updated once you save changes.");
    w->Command4->click();
    EXPECT_EQ(w->Label3->text(), "VS Class 90");
    EXPECT_EQ(shared().ScenarioText.count("<PlayerDriver d:type=\"bool\">1<"), 1);

    // Its start time, from the details window.
    pressVehicle(w, 0);
    dlgTips::existing()->Text1->setText("0530");
    dlgTips::existing()->Combo1->setCurrentText("Empty Stock");
    w->Check1->setChecked(true);
    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command17->click();
    EXPECT_FALSE(w->Check1->isChecked());
    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command19->click();
    ConsistModel model;
    model.reread(shared().ScenarioText);
    EXPECT_EQ(model.consist(1)->serviceClass, "9");
    EXPECT_EQ(model.consist(1)->vehicles[0].startTime, "0530");
    expectListsMatchTheText(w);

    const QString text = shared().ScenarioText;
    ui.expectMsgBox(vb::vbOK, "have been updated.");
    w->Command1->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
    EXPECT_EQ(platform::decodeAnsi(decoded(scenarioFile())), text + "\r\n");
}

TEST_F(ConsistWindow, RefusalsLeaveTheTextAndTheDrivenConsist)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    const QString before = shared().ScenarioText;

    // No consist chosen: nothing happens and nothing is said.
    for (QPushButton* b : {w->Command11, w->Command9, w->Command15[0], w->Command4, w->Command20, w->Command18, w->Command17,
                           w->Command19, w->Command16, w->Command13})
        b->click();
    EXPECT_TRUE(ui.messages().isEmpty());

    pickConsist(w, 2);
    ui.expectMsgBox(vb::vbOK, "You have not selected a locomotive to drive?");
    w->Command4->click();
    EXPECT_EQ(w->Label3->text(), kDriven);
    pickVehicle(w, 0);
    ui.expectMsgBox(vb::vbOK, "This consist has no driver and cannot be driven.");
    w->Command4->click();
    EXPECT_EQ(w->Label3->text(), kDriven);
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);

    ui.expectMsgBox(vb::vbOK, "You have not selected a new Origin for this consist from the 'Available Markers' list.");
    w->Command13->click();
    pickMarker(w, "Quarry Siding");
    ui.expectMsgBox(vb::vbOK, "Nothing was changed: this consist has no destination to change.");
    w->Command16->click();
    ui.expectMsgBox(vb::vbOK, "The time must be in 24hour format, e.g. 0530");
    w->Command17->click(); // no details shown yet: no time
    EXPECT_EQ(shared().ScenarioText, before);
    EXPECT_FALSE(w->editor().ScenarioChanged);

    // A run-time error commits nothing and names the handler.
    shared().ScenarioText.replace("<UniqueNumber d:type=\"cDeltaString\">4915</UniqueNumber>",
                                  "<UniqueNumber d:type=\"cDeltaString\">4915");
    const QString broken = shared().ScenarioText;
    pickMarker(w, "Eastfield Yard");
    ui.expectMsgBox(vb::vbOK, "Error - Invalid procedure call or argument occurred in subroutine Command20_Click");
    w->Command20->click();
    EXPECT_EQ(shared().ScenarioText, broken);
    EXPECT_FALSE(w->editor().ScenarioChanged);
}

TEST_F(ConsistWindow, DeletingTheDrivenConsistEmptiesTheDisplayAndExitAsks)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    pickConsist(w, 0);
    ui.expectMsgBox(vb::vbOK, kNote);
    w->Command18->click();
    EXPECT_EQ(w->Label3->text(), "");
    EXPECT_EQ(w->List1->selectedItems().size(), 0);
    EXPECT_EQ(w->List2->count(), 0);
    expectListsMatchTheText(w);

    ui.expectMsgBox(vb::vbNo, "Do you really wish to exit?");
    w->Command2->click();
    EXPECT_EQ(frmZelvorn::loaded(), w);
    ui.expectMsgBox(vb::vbYes, "Do you really wish to exit?");
    w->Command2->click();
    EXPECT_EQ(frmZelvorn::loaded(), nullptr);
}

TEST_F(ConsistWindow, NoCommandRunsAndTheWindowStaysWhileACommandRuns)
{
    frmZelvorn* w = openFromBrowser();
    ASSERT_NE(w, nullptr);
    pickConsist(w, 0);
    pickVehicle(w, 0);
    HookedUi hooked;
    int pumps = 0;
    bool blocked = true;
    hooked.hook = [&] {
        ++pumps;
        blocked = blocked && !w->Command11->isEnabled() && !w->Command1->isEnabled();
        w->Command9_Click();
        w->Command18_Click();
        EXPECT_FALSE(w->close());
    };
    hooked.expectMsgBox(vb::vbOK, "Driver information");
    w->Command4->click();
    hooked.hook = nullptr;
    EXPECT_GT(pumps, 2);
    EXPECT_TRUE(blocked);
    EXPECT_EQ(hooked.messages().size(), 1);
    EXPECT_EQ(listRows(w->List1), (QStringList{kDriven, kAi, kLoose}));
    EXPECT_TRUE(w->Command11->isEnabled());
    EXPECT_EQ(frmZelvorn::loaded(), w);
    hooked.verifyDone();
}

} // namespace
