// "List Stock used by selected Scenario": the scenario's conversion, the hand-off to the hub
// and the window "Rolling-Stock Required" with its reports, on a copy of the sample game.

#include "RouteToolsFixture.h"

#include "hub/TextPageWidget.h"
#include "hub/frmEditor.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {

const QString kBranchPickup = QStringLiteral("a1b2c3d4-e5f6-4708-9a1b-2c3d4e5f6071");
const QString kClass37 = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Diesel\\Class37\\Engine\\VS_Class37.xml");
const QString kBoxVan = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan.xml");

} // namespace

class StockWindow : public RouteToolsTest {
protected:
    QString scenarioRel() const
    {
        return routeRel(kBranchRoute) + QStringLiteral("/Scenarios/") + kBranchPickup + QStringLiteral("/Scenario.bin");
    }
    QString scenarioGameRel() const
    {
        return QStringLiteral("Content/Routes/") + kBranchRoute + QStringLiteral("/Scenarios/") + kBranchPickup
            + QStringLiteral("/Scenario.bin");
    }
    // The path the window names the scenario by.
    QString scenarioPath() const
    {
        return tree.gamePath() + QStringLiteral("\\content\\Routes\\") + kBranchRoute + QStringLiteral("\\Scenarios\\")
            + kBranchPickup + QStringLiteral("\\Scenario.bin");
    }
    QString binOf(const QString& entry) const
    {
        return tree.gamePath() + QStringLiteral("\\Assets\\") + entry.left(entry.size() - 3) + QStringLiteral("bin");
    }

    // Lists the Eastfield Branch's scenarios and selects "Branch Pick-up".
    void pickScenario()
    {
        w->List1->item(1)->setSelected(true);
        w->Command1_Click();
        ASSERT_EQ(w->List3->count(), 1);
        w->List3->item(0)->setSelected(true);
    }

    static QString reportText() { return frmReport::existing()->RTB1->toPlainText(); }
};

TEST_F(StockWindow, BranchPickupListsItsStockAndReportsTheMissingClass37)
{
    pickScenario();
    w->Command3_Click();

    frmListRS* list = frmListRS::existing();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Rolling-Stock Required"));
    EXPECT_EQ(list->Command1->text(), QStringLiteral("Remove dupes from list"));
    EXPECT_EQ(list->Command3->text(), QStringLiteral("Check for Missing Stock"));
    EXPECT_EQ(list->Command4->text(), QStringLiteral("Prepare to Print"));
    EXPECT_EQ(list->Command2->text(), QStringLiteral("Exit"));
    EXPECT_EQ(listRows(list->List1), (QStringList{kClass37, kBoxVan}));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/Scenario.xml")), sampleSource(scenarioGameRel()));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/TempFiles/Scenario.bin")), tree.readFile(scenarioRel()));
    EXPECT_FALSE(shared().SkipOpenDialog);
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));

    list->Command3->click();
    frmReport* report = frmReport::existing();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(report->RTB1->isHidden());
    EXPECT_TRUE(report->List1->isHidden());
    EXPECT_EQ(reportText(), binOf(kClass37) + QStringLiteral(" is missing\n"));

    // "Prepare to Print" fills the open report in place.
    list->Command4->click();
    EXPECT_EQ(frmReport::existing(), report);
    EXPECT_EQ(reportText(), binOf(kClass37) + QStringLiteral("\n") + binOf(kBoxVan) + QStringLiteral("\n"));

    list->Command2->click(); // Exit unloads the window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmListRS::existing(), nullptr);
}

TEST_F(StockWindow, AllStockPresentGivesNoMissingRollingStock)
{
    tree.writeFile(QStringLiteral("game/Assets/VeltraneSamples/Sample01/RailVehicles/Diesel/Class37/Engine/VS_Class37.bin"),
                   "engine");
    pickScenario();
    w->Command3_Click();
    frmListRS::existing()->Command3_Click();
    EXPECT_EQ(reportText(), QStringLiteral("No Missing Rolling-Stock"));
}

TEST_F(StockWindow, AScenarioWithoutStockGivesAnEmptyList)
{
    writeBinary(scenarioRel(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n<Record/>\r\n</cRecordSet>\r\n");
    pickScenario();
    w->Command3_Click();
    frmListRS* list = frmListRS::existing();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->List1->count(), 0);
    list->Command4_Click(); // nothing to print: no report
    EXPECT_EQ(frmReport::existing(), nullptr);
    list->Command3_Click();
    EXPECT_EQ(reportText(), QStringLiteral("No Missing Rolling-Stock"));
}

TEST_F(StockWindow, NothingSelectedOrNoScenarioBin)
{
    w->Command3_Click(); // no scenario listed or picked: nothing happens
    w->List1->item(1)->setSelected(true);
    w->Command1_Click();
    w->Command3_Click();
    EXPECT_EQ(frmListRS::existing(), nullptr);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/Scenario.bin")));
    EXPECT_TRUE(ui.messages().isEmpty());

    QFile::remove(tree.path(scenarioRel()));
    w->List3->item(0)->setSelected(true);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("There is no scenario.bin file in this folder.\r\noperation aborted."));
    w->Command3_Click();
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("There is no scenario.bin file in this folder.\r\noperation aborted."));
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbCritical);
    EXPECT_EQ(ui.lastMessage().buttons(), vb::vbOKOnly);
    EXPECT_EQ(frmListRS::existing(), nullptr);
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/Scenario.bin")));
}

TEST_F(StockWindow, ASecondPressRebuildsTheOpenListAndAFailedConversionKeepsIt)
{
    auto hub = std::make_unique<frmEditor>();
    pickScenario();
    w->Command3_Click();
    frmListRS* list = frmListRS::existing();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(listRows(list->List1), (QStringList{kClass37, kBoxVan}));

    QByteArray changed = sampleSource(scenarioGameRel());
    changed.replace("VS_BoxVan.xml", "VS_Flat.xml");
    writeBinary(scenarioRel(), changed);
    w->Command3_Click();
    EXPECT_EQ(frmListRS::existing(), list);
    const QString flat = QStringLiteral("VeltraneSamples\\Sample01\\RailVehicles\\Freight\\BoxVan\\Wagon\\VS_Flat.xml");
    EXPECT_EQ(listRows(list->List1), (QStringList{kClass37, flat}));
    EXPECT_EQ(platform::encodeAnsi(hub->RichTextBox1->text()), changed);

    // A scenario the serializer refuses: a message naming it; the list and the hub stay.
    ScopedEnv fail("SERZ_FAIL", "Scenario.bin");
    ui.expectMsgBox(vb::vbOK, scenarioPath());
    w->Command3_Click();
    EXPECT_EQ(ui.lastMessage().icon(), vb::vbExclamation);
    EXPECT_EQ(listRows(list->List1), (QStringList{kClass37, flat}));
    EXPECT_EQ(platform::encodeAnsi(hub->RichTextBox1->text()), changed);
    EXPECT_EQ(hub->Text1->text(), scenarioPath());
}

TEST_F(StockWindow, TheHubTakesTheScenarioAsItsFileInWorkAndSavesBackIntoIt)
{
    auto hub = std::make_unique<frmEditor>();
    ASSERT_EQ(frmEditor::existing(), hub.get());
    // An earlier file in work that the hand-off must replace entirely.
    hub->WorkName = QStringLiteral("Tracks.");
    hub->WorkBase = tree.programPath() + QStringLiteral("\\TempFiles\\Tracks.");
    hub->TreeLoaded = true;
    shared().CurrentFile = tree.gamePath() + QStringLiteral("\\Content\\Routes\\x\\Networks\\Tracks.bin");
    shared().CurrentFileExt = QStringLiteral("xml");
    shared().SkipOpenDialog = true;

    pickScenario();
    const QMap<QString, QByteArray> before = snapshot();
    w->Command3_Click();

    const QString workBase = platform::programFolder() + QStringLiteral("\\TempFiles\\Scenario.");
    EXPECT_EQ(hub->Text1->text(), scenarioPath());
    EXPECT_EQ(platform::encodeAnsi(hub->RichTextBox1->text()), sampleSource(scenarioGameRel()));
    EXPECT_EQ(hub->PageSource, hub::FileInWork::Source::GameFile);
    EXPECT_EQ(hub->WorkName, QStringLiteral("Scenario."));
    EXPECT_EQ(hub->WorkBase, workBase);
    EXPECT_EQ(hub->TreeWorkName, QStringLiteral("Scenario."));
    EXPECT_FALSE(hub->TreeLoaded);
    EXPECT_EQ(shared().CurrentFile, scenarioPath());
    EXPECT_EQ(shared().CurrentFileExt, QStringLiteral("bin"));
    EXPECT_FALSE(shared().SkipOpenDialog);
    EXPECT_EQ(changedFiles(before, snapshot()), QStringList());

    // "Save RailSim File" converts the work copy back into that scenario, with a backup, and
    // into nothing else.
    QByteArray edited = sampleSource(scenarioGameRel());
    edited.replace("VS_BoxVan.xml", "VS_Flat.xml");
    hub->RichTextBox1->loadText(platform::decodeAnsi(edited));
    hub->mnuSaveRS_Click();
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.lastMessage().text.toStdString();
    EXPECT_EQ(decodeBinary(scenarioRel()), edited);
    EXPECT_EQ(tree.readFile(scenarioRel() + QStringLiteral(".bak")), before.value(scenarioGameRel()));
    EXPECT_EQ(changedFiles(before, snapshot()),
              (QStringList{scenarioGameRel(), scenarioGameRel() + QStringLiteral(".bak")}));
}
