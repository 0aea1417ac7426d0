#pragma once
// Fixtures for tests that work through the program's shared state and user-interface seam:
// a temporary tree, the scripted user interface and fresh shared state before and after each
// test, whose expected questions must all have been asked by its end.

#include "common/SharedState.h"

#include "support/ProgramData.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

class UiFixture : public ::testing::Test {
protected:
    void SetUp() override { resetShared(); }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    TempTree tree;
    ScriptedUi ui;
};

// What else a test on the sample game needs in its program folder.
struct SampleGameNeeds {
    bool serz = false;        // the test serializer in "System32"
    bool programData = false; // the program's data files
    bool tempFiles = false;   // an empty "TempFiles" folder
};

// The same on a copy of the sample game, which shared().GamePath names.
class SampleGameFixture : public UiFixture {
protected:
    explicit SampleGameFixture(SampleGameNeeds needs = {}) : needs_(needs) {}

    void SetUp() override
    {
        UiFixture::SetUp();
        ASSERT_TRUE(copySampleGame(tree.gamePath())) << "the sample game has not been built";
        if (needs_.programData) {
            ASSERT_TRUE(copyProgramData(tree.programPath()));
        }
        if (needs_.serz) {
            ASSERT_TRUE(installSerz(tree.systemPath()));
        }
        if (needs_.tempFiles)
            tree.makeDir(QStringLiteral("program/TempFiles"));
        shared().GamePath = tree.gamePath();
    }

private:
    SampleGameNeeds needs_;
};
