#pragma once
// The build's helper programs and the sample game, for tests that run real child processes.
//
//   TempTree tree;
//   ASSERT_TRUE(copySampleGame(tree.gamePath()));     // a game the test may change
//   ASSERT_TRUE(installSerz(tree.systemPath()));      // serz.exe where start-up looks for it

#include <QByteArray>
#include <QString>

// The test serializer built from tests/serz ("serz.exe" in the build's bin folder).
QString testSerzPath();

// The batch-file interpreter veltrane-cmd in the build's bin folder.
QString veltraneCmdPath();

// The tests' own copy of the sample game, which only the build writes from samples/game (not the
// one ./run starts on, which the user may change). Read-only for tests: copy it before changing it.
QString sampleGamePath();

// Copies the whole sample game (its "Content", "Assets" and "serz.exe") into folder, which is
// created when missing; files already there are replaced. False when anything failed.
bool copySampleGame(const QString& folder);

// Copies the test serializer into folder as "serz.exe" (creating the folder), executable.
bool installSerz(const QString& folder);

// Copies a folder tree into another, keeping permissions; false when anything failed.
bool copyTree(const QString& from, const QString& to);

// The XML of a binary game file as the program's serializer call turns it back, run on a
// temporary copy; empty when the copy or the conversion failed.
QByteArray xmlOfGameFile(const QString& binaryPath);
