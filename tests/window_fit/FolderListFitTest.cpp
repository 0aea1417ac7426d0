// Folder lists on a 1366x768 screen, with the game where a Steam library keeps it on drive c: (a
// dozen folders below the drive): the chosen folder and its sub-folders show whole, without a
// sideways scroll bar, in the narrowest frames (the scenario editor's weather and stock frames)
// and in the marker converter.

#include "ProgramWithGame.h"

#include "common/FolderTreeWidget.h"
#include "routes/frmMarkers.h"
#include "scenarios/frmShowRoutes.h"
#include "scenarios/frmZelvorn.h"

#include "support/ScenarioEditorOpen.h"
#include "support/ScriptedUi.h"
#include "support/WindowRowClose.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QString kSteamGame = QStringLiteral("C:\\Program Files (x86)\\Steam\\steamapps\\common\\Rail Simulator");
const QString kEngine = QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\RailVehicles\\Steam\\Class4F\\Engine");
const QString kWeather = QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Weather");

struct Opened {
    QWidget* window;
    std::vector<FolderTreeWidget*> lists;
};

struct Row {
    const char* what;
    std::function<Opened()> open;
    std::function<void()> unload = nullptr;
};

template <class W>
W* shown(W* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

// What of the current folder's row and its sub-folders' rows the list cannot show.
QStringList cutRows(FolderTreeWidget& list)
{
    QStringList out;
    const QRect view = list.viewport()->rect();
    if (list.horizontalScrollBar()->maximum() > 0)
        out << QStringLiteral("a sideways scroll bar");
    const QTreeWidgetItem* current = list.currentItem();
    if (!current)
        return {QStringLiteral("no current folder")};
    QList<const QTreeWidgetItem*> rows{current};
    for (int i = 0; i < current->childCount(); ++i)
        rows << current->child(i);
    for (const QTreeWidgetItem* row : rows) {
        const QModelIndex index = list.indexFromItem(const_cast<QTreeWidgetItem*>(row));
        const QRect at = list.visualRect(index);
        const int need = list.sizeHintForIndex(index).width();
        if (at.left() < 0 || at.left() + need > view.width() || at.width() < need)
            out << QStringLiteral("\"%1\" needs %2 from %3 in %4").arg(row->text(0)).arg(need).arg(at.left()).arg(view.width());
    }
    const QRect currentAt = list.visualRect(list.indexFromItem(const_cast<QTreeWidgetItem*>(current)));
    if (currentAt.top() < 0 || currentAt.bottom() > view.bottom())
        out << QStringLiteral("the current folder's row out of view");
    return out;
}

class FolderListFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString game = QStringLiteral("wine/drive_c/Program Files (x86)/Steam/steamapps/common/Rail Simulator");
        ASSERT_TRUE(copySampleGame(tree.path(game)));
        tree.makeDir(game + QStringLiteral("/Assets/VeltraneSamples/Sample01/Weather/Thunderstorms at Dusk"));
        prepareProgram(tree, kSteamGame);
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    TempTree tree;
    ScriptedUi ui;
};

} // namespace

TEST_F(FolderListFit, TheChosenFolderAndItsSubFoldersShowWholeInTheNarrowestFrames)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1366, 768));
    const std::vector<Row> rows = {
        {"scenario editor",
         [] {
             frmZelvorn* w = openScenarioEditorFromBrowser();
             // The weather list as the editor opens it, at the scenario's weather folder.
             QCoreApplication::processEvents();
             EXPECT_EQ(w->Dir1->path(), kSteamGame + kWeather);
             EXPECT_EQ(cutRows(*w->Dir1), QStringList());
             return Opened{w, {w->Dir1, w->Dir2}};
         },
         [] {
             frmZelvorn::unloadEditor();
             frmShowRoutes::unloadBrowser();
             frmShowRoutes::setScenarioEditorLauncher(nullptr);
         }},
        {"markers", [] { auto* w = shown(new frmMarkers); return Opened{w, {w->Dir1}}; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Opened opened = row.open();
        QPointer<QWidget> w = opened.window;
        ASSERT_TRUE(w);
        QCoreApplication::processEvents();
        for (FolderTreeWidget* list : opened.lists) {
            SCOPED_TRACE(list->objectName().toStdString());
            list->setPath(kSteamGame + kEngine);
            QCoreApplication::processEvents();
            ASSERT_EQ(list->path(), kSteamGame + kEngine);
            EXPECT_EQ(cutRows(*list), QStringList());
        }
        ui.clearRecords();
        closeRowWindow(w, row.unload);
    }
}
