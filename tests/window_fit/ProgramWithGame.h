#pragma once
// The program folder of the window tests: the serializer, the program's data, an empty work
// folder and settings naming the game folder, which becomes the shared game path. The game
// folder's files are the caller's.

#include "common/SharedState.h"
#include "hub/Preferences.h"
#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

inline void prepareProgram(const TempTree& tree, const QString& gamePath)
{
    resetShared();
    ASSERT_TRUE(installSerz(tree.systemPath()));
    ASSERT_TRUE(copyProgramData(tree.programPath()));
    tree.makeDir(QStringLiteral("program/TempFiles"));
    PreferencesRecord rec;
    rec.Width = 16800;
    rec.Height = 12600;
    rec.GamePath = gamePath;
    tree.writeFile(QStringLiteral("program/preferences.txt"), FormatPreferences(rec));
    shared().GamePath = gamePath;
}
