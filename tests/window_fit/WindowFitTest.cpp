// Every window and dialog of the program opened on a 1366x768 screen with the sample game:
// each caption, label, option, frame title, tab, column header and window title can be read in
// full, no control lies on another, and no window needs a scroll bar to show its controls.

#include "FitCheck.h"
#include "ProgramWithGame.h"
#include "RealBox.h"

#include "assets/dlgCoachName.h"
#include "assets/dlgHead.h"
#include "assets/dlgNewName.h"
#include "assets/dlgTail.h"
#include "assets/fEZPrint.h"
#include "assets/frmAssets.h"
#include "assets/frmFolderLoco.h"
#include "common/SharedState.h"
#include "common/frmReport.h"
#include "hub/Preferences.h"
#include "hub/Scanner.h"
#include "hub/TextPageWidget.h"
#include "hub/dlgFind.h"
#include "hub/dlgScanSource.h"
#include "hub/dlgSearch.h"
#include "hub/dlgSwapTrack.h"
#include "hub/dlgTime.h"
#include "hub/frmAbout.h"
#include "hub/frmAddAttribute.h"
#include "hub/frmEditor.h"
#include "hub/frmGFX.h"
#include "hub/frmPicBrowser.h"
#include "packaging/frmFolder3.h"
#include "packaging/frmFolder4.h"
#include "packaging/frmNewZip.h"
#include "platform/QtUi.h"
#include "platform/QtUiApplication.h"
#include "routes/dlgMissShape.h"
#include "routes/dlgSelRoute.h"
#include "routes/frmBlue.h"
#include "routes/frmDelRoute.h"
#include "routes/frmDesc.h"
#include "routes/frmFolder.h"
#include "routes/frmListRS.h"
#include "routes/frmMarkers.h"
#include "scenarios/dlgTips.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include "support/ScenarioEditorOpen.h"
#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WindowRowClose.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QSize kScreen(1366, 768);

struct Row {
    const char* what;
    std::function<QWidget*()> open;          // a shown top-level window
    std::function<void()> unload = nullptr;  // for the windows that keep one instance
};

class WindowFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        prepareProgram(tree, tree.gamePath());
        // A package for the zip manager: long names, and sizes and dates in every column.
        shared().PackageFolder = QStringLiteral("Package1");
        tree.writeFile(QStringLiteral("program/Package1/Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70/"
                                      "Scenarios/7f6e5d4c-3b2a-4190-8877-665544332211/ScenarioProperties.xml"),
                       QByteArray(120000, 'x'));
        tree.writeFile(QStringLiteral("program/Package1/a.txt"), QByteArray("a"));
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    // Shows the window, lets it settle, and returns what cannot be read in it.
    static QStringList faultsOf(QWidget* w)
    {
        if (!w->isVisible())
            w->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return fitcheck::faults(w);
    }

    static QWidget* shown(QWidget* w)
    {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        return w;
    }

    TempTree tree;
    ScriptedUi ui;
};

frmZelvorn* openEditor()
{
    return openScenarioEditorFromBrowser();
}

void unloadScenarioWindows()
{
    frmZelvorn::unloadEditor();
    frmShowRoutes::unloadBrowser();
    frmShowRoutes::setScenarioEditorLauncher(nullptr);
}

} // namespace

TEST(WindowFitScreen, TheTestScreenIsTheSmallLaptopScreen)
{
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().size(), kScreen);
}

TEST_F(WindowFit, EveryWindowShowsItsTextsInFullOnTheSmallScreen)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), kScreen);
    const std::vector<Row> rows = {
        {"main window, file page",
         [] {
             auto* w = new frmEditor;
             w->Form_Load();
             w->SSTab1->setCurrentIndex(0);
             return shown(w);
         }},
        {"main window, text page",
         [] {
             auto* w = new frmEditor;
             w->Form_Load();
             w->SSTab1->setCurrentIndex(1);
             return shown(w);
         }},
        {"about box", [] { return shown(new frmAbout); }},
        {"find", [] { return shown(new dlgFind); }},
        {"add attribute", [] { return shown(new frmAddAttribute); }},
        {"scan source",
         [] {
             hub::ScanSource s;
             s.name = QStringLiteral("test:0");
             s.vendor = QStringLiteral("Noname");
             s.model = QStringLiteral("frontend-tester");
             s.type = QStringLiteral("virtual device");
             return shown(new dlgScanSource({s}, QString()));
         }},
        {"time conversion", [] { return dlgTime::showDialog(); },
         [] {
             if (dlgTime::existing())
                 delete dlgTime::existing();
         }},
        {"text search",
         [] {
             static TextPageWidget* page = nullptr;
             delete page;
             page = new TextPageWidget;
             return dlgSearch::showDialog(page);
         },
         [] { dlgSearch::unloadDialog(); }},
        {"swap track",
         [] {
             static TextPageWidget* page = nullptr;
             delete page;
             page = new TextPageWidget;
             return dlgSwapTrack::showDialog(page);
         },
         [] {
             if (dlgSwapTrack::existing())
                 delete dlgSwapTrack::existing();
         }},
        {"image viewer", [] { frmGFX::showViewer(); return frmGFX::existing(); }, [] { frmGFX::unloadViewer(); }},
        {"picture browser", [] { return shown(new frmPicBrowser(QDir::tempPath(), [](const QString&) {})); }},
        {"route list", [] { return shown(new frmDelRoute); }},
        {"route description", [] { return shown(new frmDesc); }},
        {"route folders", [] { return shown(new frmFolder); }},
        {"rolling stock list", [] { return shown(new frmListRS); }},
        {"markers", [] { return shown(new frmMarkers); }},
        {"blueprint designer", [] { return shown(new frmBlue); }},
        {"route choice",
         [] {
             auto* w = new dlgSelRoute;
             return shown(w);
         }},
        {"missing shapes", [] { return shown(new dlgMissShape); }},
        {"scenario browser", [] { return frmShowRoutes::showBrowser(); }, unloadScenarioWindows},
        {"scenario editor", [] { return openEditor(); }, unloadScenarioWindows},
        {"scenario editor tips",
         [] {
             frmZelvorn* editor = openEditor();
             dlgTips& tips = dlgTips::instance(editor);
             tips.show();
             return static_cast<QWidget*>(&tips);
         },
         [] {
             dlgTips::unload();
             unloadScenarioWindows();
         }},
        {"asset list", [] { return frmAssets::showWindow(); },
         [] {
             if (frmAssets::loaded())
                 delete frmAssets::loaded();
         }},
        {"print preview", [] { return fEZPrint::showWindow(); },
         [] {
             if (fEZPrint::loaded())
                 delete fEZPrint::loaded();
         }},
        {"loco folder", [] { return &frmFolderLoco::showWindow(); },
         [] {
             if (frmFolderLoco::existing())
                 delete frmFolderLoco::existing();
         }},
        {"head light templates", [] { return shown(new dlgHead); }},
        {"tail light templates", [] { return shown(new dlgTail); }},
        {"save rolling stock item", [] { return shown(new dlgCoachName); }},
        {"new name", [] { return shown(new dlgNewName(QStringLiteral("RailVehicles\\Freight\\BoxVan"))); }},
        {"asset folder package", [] { return shown(new frmFolder3); }},
        {"reskin package", [] { return shown(new frmFolder4); }},
        {"zip manager", [] { return shown(new frmNewZip); }},
        {"report", [] { return shown(new frmReport); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QPointer<QWidget> w = row.open();
        ASSERT_TRUE(w) << row.what;
        const QStringList found = faultsOf(w);
        EXPECT_TRUE(found.isEmpty()) << row.what << ":\n  " << found.join(QStringLiteral("\n  ")).toStdString();
        ui.clearRecords();
        closeRowWindow(w, row.unload);
    }
}

// The program's own input box: its title is not cut by a prompt shorter than the title.
TEST_F(WindowFit, InputBoxesShowTheirTitlesInFull)
{
    struct Box {
        const char* prompt;
        const char* title;
    };
    const std::vector<Box> boxes = {
        {"Type name for new route", "Name of New Route"},
        {"Filename: ", "Search For"},
        {"Enter approx. section length in Mb", "Veltrane"},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.title);
        QStringList found;
        withRealBox<QInputDialog>(
            [&](QtUi& real) { real.inputBox(QString::fromLatin1(box.prompt), QString::fromLatin1(box.title), QString()); },
            [&](QInputDialog* dialog) { found = fitcheck::faults(dialog); });
        EXPECT_TRUE(found.isEmpty()) << box.title << ":\n  " << found.join(QStringLiteral("\n  ")).toStdString();
    }
}

// Runs on a 1366x768 screen of the offscreen platform, unless another platform is asked for.
int main(int argc, char** argv)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    static QTemporaryDir screenDir;
    if (platform.isEmpty() || platform == "offscreen") {
        const QString config = screenDir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens":[{"name":"s","x":0,"y":0,"width":1366,"height":768,"logicalDpi":96}]})");
        file.close();
        // The platform reads its options as Latin-1 text: the file is named from its own folder,
        // which is current while the application starts, so that a temporary folder named in any
        // language works.
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screen.json");
    }
    const QString startFolder = QDir::currentPath();
    QDir::setCurrent(screenDir.path());
    QtUiApplication app(argc, argv);
    QDir::setCurrent(startFolder);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
