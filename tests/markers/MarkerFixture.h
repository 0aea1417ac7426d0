#pragma once
// A copy of the sample game (with its "Source" folder), the program's data files in the
// test's program folder, the scripted user interface, and helpers for the marker, folder and
// blueprint windows.

#include "common/FolderTreeWidget.h"
#include "common/SharedState.h"

#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/WidgetRows.h"
#include "support/GameFixture.h"

#include <QListWidget>

#include <gtest/gtest.h>

class MarkerWindowTest : public SampleGameFixture {
protected:
    MarkerWindowTest() : SampleGameFixture({.programData = true}) {}

    // A folder of the game in the program's form: the game folder, "\" and the rest.
    QString game(const QString& rest) const { return tree.gamePath() + QLatin1Char('\\') + rest; }
    QString markersFolder() const { return game(QStringLiteral("Source\\VeltraneSamples\\Sample01\\RouteMarkers")); }
    QString wagonFolder() const
    {
        return game(QStringLiteral("Assets\\VeltraneSamples\\Sample01\\RailVehicles\\Freight\\BoxVan\\Wagon"));
    }
    // The same as a relative path of the tree.
    static QString rel(QString gameRest) { return QStringLiteral("game/") + gameRest.replace(QLatin1Char('\\'), QLatin1Char('/')); }
    // A folder in the program's form as a path of this machine.
    static QString native(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

    // A click on a folder of the folder list, as the user makes it.
    template <typename Window>
    static void clickFolder(Window& w, const QString& folder)
    {
        w.Dir1->setPath(folder);
        ASSERT_EQ(w.Dir1->path().compare(folder, Qt::CaseInsensitive), 0) << folder.toStdString();
        emit w.Dir1->folderChosen();
    }
};
