#pragma once
// A fixture for the main window's layout, page and menu tests: its own program, game and
// Wine folders with the sample game, the scripted user interface, and a started window.

#include "common/SharedState.h"
#include "hub/Preferences.h"
#include "hub/frmEditor.h"
#include "platform/Paths.h"

#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

class WindowTest : public UiFixture {
protected:
    // Two game files of the sample game, relative to the game folder.
    static QString scenarioRel()
    {
        return QStringLiteral("Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70/Scenarios/"
                              "7f6e5d4c-3b2a-4190-8877-665544332211/Scenario.bin");
    }
    static QString scenarioListRel()
    {
        return QStringLiteral("Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70/Scenarios.bin");
    }

    // The sample game and settings that point at it.
    void prepareGame(bool xmlEditorDefault = false)
    {
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        PreferencesRecord rec;
        rec.Width = 16800;
        rec.Height = 12600;
        rec.GamePath = tree.gamePath();
        rec.XmlEditorDefault = xmlEditorDefault;
        tree.writeFile(QStringLiteral("program/preferences.txt"), FormatPreferences(rec));
    }

    // A window after start-up.
    std::unique_ptr<frmEditor> startWindow()
    {
        auto window = std::make_unique<frmEditor>();
        window->Form_Load();
        return window;
    }

    QString game(const QString& rel) const { return tree.gamePath() + QLatin1Char('/') + rel; }

    // Shows a page so that the page switch runs, even when the page is shown already.
    static void switchTo(frmEditor& w, int page)
    {
        if (w.SSTab1->currentIndex() == page)
            w.SSTab1->setCurrentIndex(1 - page);
        w.SSTab1->setCurrentIndex(page);
    }

    static bool shown(const QMenu* menu) { return menu->menuAction()->isVisible(); }
};
