// "Check Selected Route" in the route list window, end to end: the scan, the four reports,
// the questions between them, the progress in the file list and "&Abort".

#include "routes/frmDelRoute.h"

#include "CheckGame.h"
#include "common/SharedState.h"
#include "common/frmReport.h"
#include "support/WidgetRows.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include <memory>

namespace {

// What a report window showed when the user closed it.
struct ReportSeen {
    QString caption;
    QStringList rows;
    QString text;
    bool listShown = false;
    bool textShown = false;
};

} // namespace

class RouteCheckWindow : public CheckGameTest {
protected:
    void SetUp() override
    {
        CheckGameTest::SetUp();
        // A report window closed by an earlier test is gone before this one starts.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        buildCheckRoute();
        window = std::make_unique<frmDelRoute>();
    }

    void TearDown() override
    {
        window.reset();
        CheckGameTest::TearDown();
    }

    // Selects the route in the route list and lists its scenarios.
    void pickRoute(const QString& folder)
    {
        for (int row = 0; row < window->List2->count(); ++row) {
            if (window->List2->item(row)->text() == folder) {
                window->List1->item(row)->setSelected(true);
                window->Command1_Click();
                return;
            }
        }
        ADD_FAILURE() << "route not listed: " << folder.toStdString();
    }

    // Expects the report window with this caption; it is read and closed with "Exit".
    void expectReport(ReportSeen& seen, const QString& caption)
    {
        ui.expectModal(
            [&seen](QWidget* shown) {
                auto* report = static_cast<frmReport*>(shown);
                seen.caption = report->windowTitle();
                seen.rows = listRows(report->List1);
                seen.text = report->RTB1->toPlainText();
                seen.listShown = !report->List1->isHidden();
                seen.textShown = !report->RTB1->isHidden();
                report->Command1_Click();
            },
            caption);
    }

    std::unique_ptr<frmDelRoute> window;
};

TEST_F(RouteCheckWindow, TheCheckShowsEachReportInTurn)
{
    EXPECT_FALSE(window->Command4->isHidden());
    EXPECT_EQ(window->Command4->text(), QStringLiteral("Check Selected Route"));
    pickRoute(kCheckRoute);
    ASSERT_EQ(listRows(window->List4), QStringList{kCheckScenario});
    window->List3->item(0)->setSelected(true);

    // The file list follows the scan: each tile is selected in turn.
    QStringList progress;
    QObject::connect(window->File1, &QListWidget::currentItemChanged, [&progress](QListWidgetItem* item) {
        if (item)
            progress << item->text();
    });

    ReportSeen missing, used, files, textures;
    expectReport(missing, QStringLiteral("were missing from this route"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you wish to view a list of Shapes used by this route?"));
    expectReport(used, QStringLiteral("were used by this route"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Would you like to check for missing Texture/Animation & Script files?"));
    expectReport(files, QStringLiteral("Missing Files:-"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you wish to view a list of Textures used by this route?"));
    expectReport(textures, QStringLiteral("textures were used"));
    window->Command4_Click();
    ui.verifyDone();

    EXPECT_EQ(missing.caption, QStringLiteral("Following item(s) were missing from this route:-"));
    EXPECT_EQ(missing.rows, expectedMissing());
    EXPECT_TRUE(missing.listShown);
    EXPECT_FALSE(missing.textShown);

    EXPECT_EQ(used.caption, QStringLiteral("Following item(s) were used by this route:-"));
    EXPECT_EQ(used.rows, expectedUsed());
    EXPECT_TRUE(used.listShown);

    EXPECT_EQ(files.caption, QStringLiteral("Missing Files:-"));
    EXPECT_EQ(files.text, QString(expectedAssetReport()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(files.textShown);
    EXPECT_FALSE(files.listShown);
    EXPECT_TRUE(files.rows.isEmpty());

    EXPECT_EQ(textures.caption, QStringLiteral("Following textures were used by this route:-"));
    EXPECT_EQ(textures.rows, expectedTextures());
    EXPECT_TRUE(textures.listShown);
    EXPECT_FALSE(textures.textShown);
    EXPECT_TRUE(textures.text.isEmpty());

    // Each question: Yes and No buttons, question icon, the program's title.
    ASSERT_EQ(ui.messages().size(), 3);
    for (const ScriptedUi::Message& m : ui.messages()) {
        EXPECT_EQ(m.buttons(), vb::vbYesNo);
        EXPECT_EQ(m.icon(), vb::vbQuestion);
        EXPECT_EQ(m.title, Ui::programTitle());
    }

    EXPECT_EQ(progress.mid(0, 8),
              (QStringList{"+000000+000000.bin", "+000001+000000.bin", "+000002+000000.bin", "+000000+000000.bin",
                           "+000000+000000.bin", "+000001+000000.bin", "Tracks.bin", "+000000+000000.bin"}));
    // Then each blueprint of the asset check; the file list keeps them.
    EXPECT_EQ(progress.mid(8), expectedUsed());
    EXPECT_EQ(listRows(window->File1), expectedUsed());
    EXPECT_FALSE(window->File1->isHidden());

    // The scenario lists are the user's still: "Delete Selected Scenario" acts on what they show.
    EXPECT_EQ(listRows(window->List4), QStringList{kCheckScenario});
    EXPECT_EQ(listRows(window->List3), QStringList{QStringLiteral("Check Run\t") + kCheckScenario});
    EXPECT_TRUE(window->List3->item(0)->isSelected());

    EXPECT_EQ(window->UsedBlueprints.values(), expectedUsed());
    EXPECT_EQ(window->UsedTextures.values(), expectedTextures());
    // The report has been shown: nothing of it is left for the next report window.
    EXPECT_TRUE(shared().ReportText.isEmpty());
    EXPECT_FALSE(shared().AbortScan);
    EXPECT_EQ(workFiles(), QStringList());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(window->Command4->isEnabled());
}

TEST_F(RouteCheckWindow, AnsweringNoEndsTheCheckAfterTheMissingList)
{
    // A stale abort from another tool does not cut the check short.
    shared().AbortScan = true;
    pickRoute(kValleyRoute);
    ReportSeen missing;
    expectReport(missing, QStringLiteral("were missing from this route"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Shapes used"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Texture/Animation & Script"));
    window->Command4_Click();
    ui.verifyDone();

    // Every blueprint of the sample route exists: the list is empty.
    EXPECT_EQ(missing.caption, QStringLiteral("Following item(s) were missing from this route:-"));
    EXPECT_TRUE(missing.rows.isEmpty());
    EXPECT_TRUE(missing.listShown);
    EXPECT_EQ(window->UsedBlueprints.count(), 5);
    EXPECT_FALSE(shared().AbortScan);
    // The file list shows the last folder scanned, the scenario's scenery.
    EXPECT_EQ(listRows(window->File1), QStringList{"+000000+000000.bin"});
}

TEST_F(RouteCheckWindow, NothingMissingShowsNoMissingFilesWindow)
{
    listRoute(QStringLiteral("clean-route"), "Clean Line");
    writeGameFile(QStringLiteral("Content/Routes/clean-route/Scenery/+000000+000000.bin"),
                  tile({{"TestCo", "Pack1", "Scenery\\NoGeo.xml"}, {"TestCo", "Pack1", "RailNetwork\\Track01.xml"}}));
    window = std::make_unique<frmDelRoute>();
    pickRoute(QStringLiteral("clean-route"));

    ReportSeen missing, textures;
    expectReport(missing, QStringLiteral("were missing"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Shapes used"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Texture/Animation & Script"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Textures used"));
    expectReport(textures, QStringLiteral("textures were used"));
    window->Command4_Click();
    ui.verifyDone();

    EXPECT_TRUE(missing.rows.isEmpty());
    EXPECT_TRUE(shared().ReportText.isEmpty());
    EXPECT_TRUE(textures.rows.isEmpty());
    EXPECT_TRUE(textures.listShown);
}

TEST_F(RouteCheckWindow, AbortDuringTheSecondFolderEndsTheCheckWithoutReports)
{
    pickRoute(kCheckRoute);
    int fills = 0;
    bool commandsLocked = false;
    QObject::connect(window->File1->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (++fills == 2) { // the second folder's tiles are listed
            commandsLocked = !window->Command4->isEnabled() && !window->Command2->isEnabled();
            window->Command10->click(); // "&Abort" stays available while the check runs
        }
    });
    window->Command4_Click(); // no report and no question may follow
    ui.verifyDone();

    EXPECT_TRUE(commandsLocked);
    EXPECT_EQ(fills, 2);
    EXPECT_FALSE(shared().AbortScan);
    EXPECT_EQ(frmReport::existing(), nullptr);
    EXPECT_TRUE(window->Command4->isEnabled());
    EXPECT_EQ(listRows(window->List4), QStringList{kCheckScenario});
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(RouteCheckWindow, AbortDuringTheAssetCheckShowsNoFurtherReport)
{
    pickRoute(kCheckRoute);
    QObject::connect(window->File1->model(), &QAbstractItemModel::rowsInserted, [this] {
        if (window->File1->item(0)->text() == expectedUsed().first())
            window->Command10->click(); // the blueprints to check have been listed
    });
    ReportSeen missing;
    expectReport(missing, QStringLiteral("were missing"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Shapes used"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Texture/Animation & Script"));
    window->Command4_Click();
    ui.verifyDone();

    EXPECT_EQ(missing.rows, expectedMissing());
    EXPECT_FALSE(shared().AbortScan);
    EXPECT_TRUE(shared().ReportText.isEmpty());
    EXPECT_EQ(window->File1->currentRow(), -1); // no blueprint was checked
}

TEST_F(RouteCheckWindow, NoRouteSelectedDoesNothing)
{
    const QString marker = tree.writeFile(QStringLiteral("program/TempFiles/keep.txt"), "x");
    window->Command4_Click();
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_TRUE(window->File1->isHidden());
    EXPECT_TRUE(ui.dialogs().isEmpty());
}

TEST_F(RouteCheckWindow, TheCheckStartsWithAnEmptyWorkFolder)
{
    const QString stale = tree.writeFile(QStringLiteral("program/TempFiles/stale.xml"), "old");
    pickRoute(kBranchRoute);
    ReportSeen missing;
    expectReport(missing, QStringLiteral("were missing"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Shapes used"));
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Texture/Animation & Script"));
    window->Command4_Click();
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QDir(tree.path(QStringLiteral("program/TempFiles"))).exists());
    EXPECT_EQ(missing.rows,
              QStringList{asset("VeltraneSamples\\Sample01\\Scenery\\Trees\\VS_Birch01.bin   (Scenery Item)")});
}
