// Every window whose commands process window events, with the user's click on its Exit,
// Cancel or close box queued before a command starts (a zero-delay timer), so that it arrives
// while the command processes events, and more input while a box of the command waits after
// that (a second command, the Exit again, the window unloaded elsewhere): the program goes on,
// the window is never deleted under its command, it closes (or refuses to while busy, and
// closes when asked again once the command is done) and nothing is left half-written.

#include "scenario_editor/EditorFixture.h"

#include "assets/frmAssets.h"
#include "assets/frmFolderLoco.h"
#include "common/frmReport.h"
#include "common/FlexGridWidget.h"
#include "common/FolderTreeWidget.h"
#include "hub/frmGFX.h"
#include "hub/frmPicBrowser.h"
#include "packaging/RoutePackage.h"
#include "packaging/frmFolder3.h"
#include "routes/DeveloperFolders.h"
#include "routes/dlgSelRoute.h"
#include "routes/frmBlue.h"
#include "routes/frmDelRoute.h"
#include "routes/frmDesc.h"
#include "routes/frmFolder.h"
#include "routes/frmListRS.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"
#include "platform/QtUiWindowLife.h"
#include "support/ProgramData.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

using namespace editortest;

namespace {

const QString kAfterwards = QStringLiteral("The command has ended.");

// Runs a command as the event loop runs a click, with the user's click queued before it. The
// command's boxes wait in a nested event loop as the program's do; while the first of them waits
// (the command's own, or one it opens after its processing), the user does `again`, which was
// queued inside the command's first pass.
class Road {
public:
    void run(ScriptedUi& ui, QWidget* window, const std::function<void()>& userClick,
             const std::function<void()>& command, const std::function<void()>& again)
    {
        window_ = window;
        QObject::connect(window, &QObject::destroyed, &context_, [this] { deletedUnderCommand_ |= running_; });
        ui.setBoxesWaitInLoop(true);
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            running_ = true;
            QTimer::singleShot(0, &context_, [&] {
                clickedInside_ = running_;
                if (window_)
                    userClick();
                ui.whileNextBoxWaits([&] {
                    againInside_ = running_;
                    again();
                });
            });
            command();
            shownAfter_ = window_ && window_->isVisible();
            if (!againInside_) {
                ui.expectMsgBox(vb::vbOK, kAfterwards);
                exclaim(kAfterwards);
            }
            running_ = false;
            loop.quit();
        });
        loop.exec();
        ui.setBoxesWaitInLoop(false);
        ui.whileNextBoxWaits({});
    }

    QPointer<QWidget> window_;
    bool clickedInside_ = false;
    bool againInside_ = false;
    bool deletedUnderCommand_ = false;
    bool shownAfter_ = false;

private:
    QObject context_;
    bool running_ = false;
};

// What the user does again while the box waits: a click on a button of a window still shown,
// or a command elsewhere that unloads the window (as one that opens a new window of its kind).
std::function<void()> clickIfShown(QAbstractButton* button)
{
    return [button = QPointer<QAbstractButton>(button)] {
        if (button && button->window()->isVisible())
            button->click();
    };
}

std::function<void()> unloadedElsewhere(QWidget* window)
{
    return [window = QPointer<QWidget>(window)] { platform::unloadWindow(window); };
}

enum class Outcome { Closes, RefusedWhileBusy };

class WindowLife : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(copyProgramData(tree.programPath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
        useSampleScenario();
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EditorFixture::TearDown();
    }

    QString game(const QString& rest) const { return tree.gamePath() + QLatin1Char('\\') + rest; }
    QString textures() const { return game(QStringLiteral("Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\Textures")); }
    QString texture() const { return textures() + QStringLiteral("\\VS_Oak01.TgPcDx"); }
    static QString native(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }
};

const QString kDescriptionSaved =
    QStringLiteral("Your Description file has been saved in the route's\r\nRouteInformation\\En folder.");

} // namespace

TEST_F(WindowLife, AClickOnExitWhileACommandProcessesEventsNeverDeletesTheWindowUnderIt)
{
    struct Row {
        const char* what;
        Outcome outcome;
        std::function<void(Road&)> drive;  // opens the window and runs the command in it
        std::function<void(QWidget*)> check; // what the command wrote or showed (given the window)
    };
    // The description editor, open on the first route with a title and a first paragraph.
    const auto openDescription = [&] {
        ui.expectModal([](QWidget* w) {
            auto* d = static_cast<dlgSelRoute*>(w);
            d->List1->setCurrentRow(0);
            d->OKButton->click();
        });
        frmDesc::addRouteDescription();
        frmDesc* d = frmDesc::existing();
        if (d) {
            d->Text1->setText(QStringLiteral("Valley"));
            d->Text3->setPlainText(QStringLiteral("Along the river"));
        }
        return d;
    };
    const auto descriptionWritten = [&](const char* subTitle) {
        QByteArray page = tree.readFile(QStringLiteral("program/Templates/Description.txt"));
        page.replace("AAAAA", "Valley").replace("BBBBB", subTitle).replace("CCCCC", "Along the river");
        for (const char* token : {"DDDDD", "EEEEE"})
            page.replace(token, "");
        EXPECT_EQ(tree.readFile(native(shared().RouteInfoFolder) + QStringLiteral("/Description.html")), page);
        EXPECT_EQ(frmDesc::existing(), nullptr);
    };
    // The asset packager on Sample02: Process with the user's click queued, what the user does
    // again while the box waits, and the zip question answered No.
    using UserAction = std::function<std::function<void()>(frmFolder3*)>;
    const auto packageSample02 = [&](Road& road, const QString& question, const UserAction& click,
                                     const UserAction& again) {
        shared().PackageAssetsMode = true;
        shared().PackageFolder.clear();
        tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "installer");
        ui.expectModal([&](QWidget* window) {
            auto* w = static_cast<frmFolder3*>(window);
            w->Dir1->setPath(game(QStringLiteral("Assets\\VeltraneSamples\\Sample02")));
            w->Dir1_Click();
            w->Command1_Click();
            ui.expectMsgBox(vb::vbNo, question);
            road.run(ui, w, click(w), [w] { w->Command3_Click(); }, again(w));
        });
        frmFolder3::showModalWindow();
    };
    const Row rows[] = {
        {"route description: Cancel while OK writes the page", Outcome::Closes,
         [&](Road& road) {
             frmDesc* d = openDescription();
             ASSERT_NE(d, nullptr);
             ui.expectMsgBox(vb::vbOK, kDescriptionSaved);
             road.run(ui, d, [d] { d->Command2->click(); }, [d] { d->Command1_Click(); }, unloadedElsewhere(d));
         },
         [&](QWidget*) { descriptionWritten(""); }},
        {"route description: a second OK while the saved box waits", Outcome::Closes,
         [&](Road& road) {
             frmDesc* d = openDescription();
             ASSERT_NE(d, nullptr);
             ui.expectMsgBox(vb::vbOK, kDescriptionSaved).expectMsgBox(vb::vbOK, kDescriptionSaved);
             road.run(ui, d, [d] { d->Text2->setText(QStringLiteral("Upstream")); }, [d] { d->Command1_Click(); },
                      clickIfShown(d->Command1));
         },
         [&](QWidget*) { descriptionWritten("Upstream"); }},
        {"rolling-stock list: Exit while the open list is made again", Outcome::Closes,
         [&](Road& road) {
             const QString xml = valleyText(QStringLiteral("Scenarios/") + kMorning + QStringLiteral("/Scenario.bin.xml"));
             frmListRS& list = frmListRS::instance();
             list.showStock(xml);
             ASSERT_TRUE(list.isVisible());
             road.run(ui, &list, [&list] { list.Command2->click(); }, [&list, xml] { list.showStock(xml); },
                      unloadedElsewhere(&list));
         },
         [](QWidget*) { EXPECT_EQ(frmListRS::existing(), nullptr); }},
        {"route list: Exit while a scenario's stock is listed", Outcome::RefusedWhileBusy,
         [&](Road& road) {
             frmDelRoute& w = frmDelRoute::instance();
             w.show();
             w.List1->item(1)->setSelected(true);
             w.Command1_Click();
             ASSERT_EQ(w.List3->count(), 1);
             w.List3->item(0)->setSelected(true);
             road.run(ui, &w, [&w] { w.CancelButton->click(); }, [&w] { w.Command3_Click(); },
                      clickIfShown(w.CancelButton));
         },
         [](QWidget*) {
             frmListRS* list = frmListRS::existing();
             ASSERT_NE(list, nullptr);
             EXPECT_TRUE(list->isVisible());
             EXPECT_EQ(list->List1->count(), 2);
             list->close();
         }},
        // Its Yes would work on the list's selection: a list gone meanwhile asks nothing more.
        {"route list: unloaded while its route is packaged", Outcome::Closes,
         [&](Road& road) {
             tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "installer");
             shared().PackageRouteMode = true;
             frmDelRoute& w = frmDelRoute::instance();
             shared().PackageRouteMode = false;
             w.show();
             w.List1->item(0)->setSelected(true);
             road.run(ui, &w, unloadedElsewhere(&w), [&w] { w.OKButton_Click(); }, unloadedElsewhere(&w));
         },
         [&](QWidget*) {
             const QString package = packaging::RoutePackageName(shared().RouteNames[0], shared().RouteFolders[0]);
             EXPECT_TRUE(tree.exists(QStringLiteral("program/") + package + QStringLiteral("/Route_Setup.xxx")));
         }},
        {"image viewer: File Exit while a texture is converted", Outcome::Closes,
         [&](Road& road) {
             frmGFX* v = frmGFX::instance();
             v->show();
             v->Dir1->setPath(textures());
             v->Dir1_Change();
             v->File1->setCurrentRow(0);
             road.run(ui, v, [v] { v->mnuFileExit->trigger(); }, [v] { v->File1_Click(); }, unloadedElsewhere(v));
         },
         [](QWidget*) { EXPECT_EQ(frmGFX::existing(), nullptr); }},
        {"image viewer: its Exit while the main window's Show Image converts", Outcome::Closes,
         [&](Road& road) {
             frmGFX* v = frmGFX::instance();
             v->show();
             const QString path = texture();
             road.run(ui, v, [v] { v->mnuFileExit->trigger(); }, [path] { frmGFX::showImage(path); },
                      unloadedElsewhere(v));
         },
         [](QWidget*) { EXPECT_EQ(frmGFX::existing(), nullptr); }},
        {"picture browser: closed while a double-clicked texture is converted", Outcome::Closes,
         [&](Road& road) {
             frmGFX* v = frmGFX::instance();
             v->show();
             v->mnuBr_Click();
             frmPicBrowser* b = v->browser();
             ASSERT_NE(b, nullptr);
             b->Dir1->setPath(textures());
             b->fillGrid();
             QListWidgetItem* oak = nullptr;
             for (int i = 0; i < b->Grid->count(); ++i)
                 if (b->Grid->item(i)->text() == QStringLiteral("VS_Oak01.TgPcDx"))
                     oak = b->Grid->item(i);
             ASSERT_NE(oak, nullptr);
             road.run(ui, b, [b] { b->close(); }, [b, oak] { emit b->Grid->itemDoubleClicked(oak); },
                      unloadedElsewhere(b));
         },
         [](QWidget*) {
             frmGFX* v = frmGFX::existing();
             ASSERT_NE(v, nullptr);
             EXPECT_EQ(v->Picture1->pixmap().size(), QSize(16, 16)) << "the viewer shows what was opened";
             EXPECT_TRUE(platform::isUnloaded(v->browser()));
             v->close();
         }},
        {"blueprint designer: Exit while the blueprint is written", Outcome::Closes,
         [&](Road& road) {
             shared().BlueprintMode = 1;
             shared().BlueprintFolder = game(QStringLiteral("Source\\VeltraneSamples\\Sample01\\RouteMarkers"));
             frmBlue* w = frmBlue::showDesigner();
             w->Text1[0]->setText(QStringLiteral("Valley Stations"));
             w->Text1[1]->setText(QStringLiteral("ValleyStations"));
             road.run(ui, w, [w] { w->Command2->click(); }, [w] { w->Command1_Click(); }, unloadedElsewhere(w));
         },
         [&](QWidget*) {
             QByteArray expected = tree.readFile(QStringLiteral("program/BluePrints/Blue_Named.xml"));
             expected.replace("ZZZZZZ", "Valley Stations").replace("XXXXXX", "ValleyStations.csv");
             EXPECT_EQ(tree.readFile(native(shared().BlueprintFolder) + QStringLiteral("/Valley Stations.xml")), expected);
             EXPECT_EQ(frmBlue::existing(), nullptr);
         }},
        {"developer folders: closed while the add-on folders are made", Outcome::Closes,
         [&](Road& road) {
             ui.expectModal([&](QWidget* window) {
                 auto* w = static_cast<frmFolder*>(window);
                 w->Text1->setText(game(QStringLiteral("Source")));
                 w->Text2->setText(QStringLiteral("LifeAddOn"));
                 road.run(ui, w, [w] { w->close(); }, [w] { w->Command1_Click(); }, unloadedElsewhere(w));
             });
             frmFolder::showModalWindow();
         },
         [&](QWidget*) {
             const QStringList made = QDir(tree.path(QStringLiteral("game/Source/LifeAddOn"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
             EXPECT_EQ(made.size(), 11);
             EXPECT_TRUE(tree.exists(QStringLiteral("game/Source/LifeAddOn/RailVehicles/Steam")));
         }},
        {"asset list: Exit while Add to List walks the folder", Outcome::RefusedWhileBusy,
         [&](Road& road) {
             frmAssets* w = frmAssets::showWindow();
             w->show();
             w->Dir1->setPath(game(QStringLiteral("Assets\\VeltraneSamples\\Sample02")));
             w->Text1->setText(QStringLiteral("*.bin"));
             road.run(ui, w, [w] { w->Command4->click(); }, [w] { w->Command1_Click(); }, clickIfShown(w->Command4));
         },
         [](QWidget* w) {
             ASSERT_NE(w, nullptr);
             EXPECT_EQ(static_cast<frmAssets*>(w)->VsFg1->Rows(), 4) << "the walk went to its end";
         }},
        {"scenario browser: Exit while a route's scenarios are listed", Outcome::RefusedWhileBusy,
         [&](Road& road) {
             frmShowRoutes* w = frmShowRoutes::showBrowser();
             w->List1->item(0)->setSelected(true);
             road.run(ui, w, [w] { w->Command9->click(); }, [w] { w->Command1_Click(); }, clickIfShown(w->Command9));
         },
         [](QWidget* w) {
             ASSERT_NE(w, nullptr);
             EXPECT_EQ(static_cast<frmShowRoutes*>(w)->List3->count(), 2);
         }},
        {"scenario editor: closed while the stock search runs", Outcome::Closes,
         [&](Road& road) {
             frmZelvorn* w = frmZelvorn::showEditor();
             w->Dir2->setPath(game(QStringLiteral("Assets\\VeltraneSamples\\Sample01\\RailVehicles")));
             w->Option1[6]->setChecked(true);
             road.run(ui, w, [w] { w->close(); }, [w] { w->Command6_Click(); }, unloadedElsewhere(w));
         },
         [](QWidget*) { EXPECT_EQ(frmZelvorn::loaded(), nullptr); }},
        {"new loco: Exit while the sample files are copied", Outcome::RefusedWhileBusy,
         [&](Road& road) {
             frmFolderLoco& w = frmFolderLoco::showWindow();
             w.Text1->setText(game(QStringLiteral("Source\\VeltraneWorks\\Branchline\\RailVehicles\\Diesel")));
             w.Text2->setText(QStringLiteral("Dart"));
             road.run(ui, &w, [&w] { w.Command2->click(); }, [&w] { w.Command1_Click(); }, clickIfShown(w.Command2));
         },
         [&](QWidget* w) {
             EXPECT_TRUE(tree.exists(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel/Dart/Dart.igs")));
             ASSERT_NE(w, nullptr);
             EXPECT_EQ(static_cast<frmFolderLoco*>(w)->LocoName, QStringLiteral("Dart"));
         }},
        // The copy's results outlive the window: the name, the folder and the report of the
        // file left under its sample name (the loco's .igs is there already).
        {"new loco: unloaded while the sample files are copied", Outcome::Closes,
         [&](Road& road) {
             tree.writeFile(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel/Comet/Comet.igs"), "mine");
             frmFolderLoco& w = frmFolderLoco::showWindow();
             w.Text1->setText(game(QStringLiteral("Source\\VeltraneWorks\\Branchline\\RailVehicles\\Diesel")));
             w.Text2->setText(QStringLiteral("Comet"));
             road.run(ui, &w, unloadedElsewhere(&w), [&w] { w.Command1_Click(); }, unloadedElsewhere(&w));
         },
         [&](QWidget* w) {
             const QString diesel = game(QStringLiteral("Source\\VeltraneWorks\\Branchline\\RailVehicles\\Diesel"));
             ASSERT_NE(w, nullptr);
             auto* loco = static_cast<frmFolderLoco*>(w);
             EXPECT_EQ(loco->LocoName, QStringLiteral("Comet"));
             EXPECT_EQ(loco->LocoFolder, diesel + QStringLiteral("\\Comet"));
             EXPECT_EQ(loco->Text1->text(), diesel) << "the closed window's lists were left alone";
             EXPECT_EQ(tree.readFile(QStringLiteral("game/Source/VeltraneWorks/Branchline/RailVehicles/Diesel/Comet/Comet.igs")),
                       QByteArray("mine"));
             frmReport* report = frmReport::existing();
             ASSERT_NE(report, nullptr);
             EXPECT_TRUE(report->isVisible());
             ASSERT_EQ(report->List1->count(), 1);
             EXPECT_EQ(report->List1->item(0)->text(),
                       diesel + QStringLiteral("\\Comet\\Sample.igs was not renamed: Comet.igs is there already"));
             report->close();
         }},
        // The package is made whatever happens to the window: its question still comes.
        {"asset packager: unloaded while the package is made", Outcome::Closes,
         [&](Road& road) {
             packageSample02(road, QStringLiteral("Your Assets are now saved in ") + tree.programPath()
                                       + QStringLiteral("\\Sample02\r\nDo you wish them to be automatically zipped up"),
                             [](frmFolder3* w) { return unloadedElsewhere(w); },
                             [](frmFolder3* w) { return unloadedElsewhere(w); });
         },
         [&](QWidget*) {
             EXPECT_EQ(tree.readFile(QStringLiteral("program/Sample02/AssetSetup.ggg")),
                       QByteArray("Assets\\VeltraneSamples\\Sample02\r\n"));
             EXPECT_EQ(shared().PackageFolder, QStringLiteral("Sample02"));
             shared().PackageAssetsMode = false;
             shared().PackageFolder.clear();
         }},
        // Refused while the package is made (else no box would come), closed while its box waits.
        {"asset packager: Exit while the package is made, and again while its box waits", Outcome::Closes,
         [&](Road& road) {
             packageSample02(road, QStringLiteral("Your Assets are now saved in "),
                             [](frmFolder3* w) { return std::function<void()>([w] { w->Command2->click(); }); },
                             [](frmFolder3* w) { return clickIfShown(w->Command2); });
         },
         [&](QWidget*) {
             EXPECT_EQ(tree.readFile(QStringLiteral("program/Sample02/AssetSetup.exe")), QByteArray("installer"));
             EXPECT_TRUE(tree.exists(QStringLiteral("program/Sample02/Rail Simulator/Assets/VeltraneSamples/Sample02")));
             shared().PackageAssetsMode = false;
             shared().PackageFolder.clear();
         }},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Road road;
        row.drive(road);
        if (HasFatalFailure())
            return;
        EXPECT_TRUE(road.clickedInside_) << "the click came after the command: nothing processed events";
        EXPECT_TRUE(road.againInside_) << "no box waited for the user";
        EXPECT_FALSE(road.deletedUnderCommand_) << "the window was deleted while its command ran";
        if (row.outcome == Outcome::Closes)
            EXPECT_FALSE(road.shownAfter_) << "the command showed the closed window again";
        else
            EXPECT_TRUE(road.shownAfter_) << "a busy window refuses to close";
        row.check(road.window_);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(road.window_.isNull()) << "the closed window is deleted when the event loop runs";
        ui.verifyDone();
        ui.clearRecords();
        if (road.window_) {
            road.window_->setAttribute(Qt::WA_DeleteOnClose, false);
            delete road.window_.data();
        }
    }
}
