// The windows whose folder lists open at a folder of the game open there on whichever drive holds
// the game: a game on a drive letter of the Wine prefix ("C:\Games\Rail Simulator"), and a game
// that no drive letter holds (a prefix without z:, the game given by its own path), whose folder
// list then holds the game folder itself.

#include "assets/frmAssets.h"
#include "assets/frmFolderLoco.h"
#include "common/FolderTreeWidget.h"
#include "common/SharedState.h"
#include "hub/Preferences.h"
#include "hub/frmGFX.h"
#include "packaging/frmFolder3.h"
#include "packaging/frmFolder4.h"
#include "routes/frmFolder.h"
#include "routes/frmMarkers.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include "support/ScenarioEditorOpen.h"
#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WindowRowClose.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A folder list of an open window and the folder below the game it is to show ("" for the game
// folder itself).
struct Shown {
    const FolderTreeWidget* folders;
    QString below;
};

// An opened window and its folder lists.
struct Opened {
    QWidget* window;
    std::vector<Shown> lists;
};

struct Window {
    const char* what;
    std::function<Opened()> open;
    std::function<void()> unload = nullptr; // for the windows that keep one instance
};

template <class W>
W* owned(W* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

class GameFolderLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        ASSERT_TRUE(copyProgramData(tree.programPath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
        // No drive letter holds the game folder: the prefix has c: alone.
        ASSERT_TRUE(QFile::remove(tree.path(QStringLiteral("wine/dosdevices/e:"))));
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        ASSERT_TRUE(copySampleGame(tree.path(QStringLiteral("wine/drive_c/Games/Rail Simulator"))));
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    void useGame(const QString& game)
    {
        PreferencesRecord rec;
        rec.Width = 16800;
        rec.Height = 12600;
        rec.GamePath = game;
        tree.writeFile(QStringLiteral("program/preferences.txt"), FormatPreferences(rec));
        resetShared();
        shared().GamePath = game;
    }

    TempTree tree;
    ScriptedUi ui;
};

frmZelvorn* openScenarioEditor()
{
    return openScenarioEditorFromBrowser();
}

} // namespace

TEST_F(GameFolderLists, OpenAtTheGameFolderOnTheDriveThatHoldsIt)
{
    const std::vector<Window> windows = {
        {"image viewer",
         [] {
             frmGFX::showViewer();
             frmGFX* w = frmGFX::existing();
             return Opened{w, {{w->Dir1, QStringLiteral("Assets")}}};
         },
         [] { frmGFX::unloadViewer(); }},
        {"image viewer's browser",
         [] {
             frmGFX::showViewer();
             frmGFX* w = frmGFX::existing();
             w->mnuBr_Click();
             return Opened{w, {{w->browser()->Dir1, QString()}}};
         },
         [] { frmGFX::unloadViewer(); }},
        {"markers for an assets package",
         [] {
             shared().MarkerToolMode = 2;
             shared().PackageAssetsMode = true;
             auto* w = owned(new frmMarkers);
             return Opened{w, {{w->Dir1, QStringLiteral("Assets")}}};
         }},
        {"markers for a scenario package",
         [] {
             shared().MarkerToolMode = 2;
             shared().PackageScenariosMode = true;
             auto* w = owned(new frmMarkers);
             return Opened{w, {{w->Dir1, QStringLiteral("Content\\Routes")}}};
         }},
        {"developer folders",
         [] {
             auto* w = owned(new frmFolder);
             return Opened{w, {{w->Dir1, QStringLiteral("Source")}}};
         }},
        {"asset folder package",
         [] {
             shared().PackageAssetsMode = true;
             auto* w = owned(new frmFolder3);
             return Opened{w, {{w->Dir1, QStringLiteral("Assets")}}};
         }},
        {"reskin package",
         [] {
             shared().PackageAssetsMode = true;
             auto* w = owned(new frmFolder4);
             return Opened{
                 w, {{w->Dir1, QStringLiteral("Assets")}, {w->Dir2, QStringLiteral("Assets")}}};
         }},
        {"scenario editor",
         [] {
             frmZelvorn* w = openScenarioEditor();
             // The scenario's weather folder; the stock list's "Assets\Kuju" is not in the
             // sample game, so it stays at "Assets".
             return Opened{
                 w,
                 {{w->Dir1, QStringLiteral("Assets\\VeltraneSamples\\Sample01\\Weather")},
                  {w->Dir2, QStringLiteral("Assets")}}};
         },
         [] {
             frmZelvorn::unloadEditor();
             frmShowRoutes::unloadBrowser();
             frmShowRoutes::setScenarioEditorLauncher(nullptr);
         }},
        {"asset list",
         [] {
             frmAssets* w = frmAssets::showWindow();
             return Opened{w, {{w->Dir1, QStringLiteral("Assets")}}};
         },
         [] {
             if (frmAssets::loaded())
                 delete frmAssets::loaded();
         }},
        {"loco folder",
         [] {
             frmFolderLoco& w = frmFolderLoco::showWindow();
             return Opened{&w, {{w.Dir1, QStringLiteral("Source")}}};
         },
         [] {
             if (frmFolderLoco::existing())
                 delete frmFolderLoco::existing();
         }},
    };
    const struct {
        const char* where;
        QString game;
        QString root; // the folder the lists are rooted at
    } games[] = {
        {"on drive c:", QStringLiteral("C:\\Games\\Rail Simulator"),
         QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath()},
        {"on no drive letter", tree.gamePath(), tree.gamePath()},
    };
    for (const auto& g : games) {
        SCOPED_TRACE(g.where);
        for (const Window& row : windows) {
            SCOPED_TRACE(row.what);
            useGame(g.game);
            const Opened opened = row.open();
            QPointer<QWidget> w = opened.window;
            ASSERT_TRUE(w);
            for (const Shown& list : opened.lists) {
                EXPECT_EQ(list.folders->root(), g.root);
                EXPECT_EQ(list.folders->path(), list.below.isEmpty() ? g.game : g.game + QLatin1Char('\\') + list.below);
            }
            ui.clearRecords();
            closeRowWindow(w, row.unload);
        }
    }
}
