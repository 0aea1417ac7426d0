#pragma once
// The program folder's own data files (data/ of the source tree: "BluePrints", "Templates"...)
// for tests that need them in their temporary program folder.
//
//   TempTree tree;
//   ASSERT_TRUE(copyProgramData(tree.programPath()));

#include <QString>

// data/ of the source tree.
QString programDataPath();

// Copies every file of data/ into folder (created when missing), keeping the sub-folders;
// files already there are replaced. False when anything failed.
bool copyProgramData(const QString& folder);
