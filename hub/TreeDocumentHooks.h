#pragma once
// What the text page's commands and start-up need of the tree page's document, as a set
// of functions that the tree page fills in. A hook left empty does what an empty tree page
// would: the reset proceeds, nothing is loaded, and the tree page's open commands fall back
// to the text page's.

#include <QString>

#include <functional>

struct TreeDocumentHooks {
    // Offers to save a modified document, then starts an empty one named path. False when
    // the user cancelled: the command that asked stops.
    std::function<bool(const QString& path)> PromptSaveAndReset;
    // Starts an empty document named "undefined.xml" in the program folder.
    std::function<void()> NewXmlDocument;
    // A new empty root, the document path set to path, and the file read into the tree.
    std::function<void(const QString& path)> LoadXmlFile;
    // The tree page's open commands (its game-file open and its XML open).
    std::function<void()> mnuFileOpen_Click;
    std::function<void()> mnuOpenXCT_Click;
    // Unloads the search dialog at shut-down.
    std::function<void()> UnloadSearchDialog;
};
