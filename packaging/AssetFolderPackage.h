#pragma once
// The asset folder packager without its window: the relative path and copy line of an added
// folder, the line of "AssetSetup.ggg", the route folder of a scenario row, and the window's
// layout in twips.

#include "common/Twips.h"

#include <QString>

namespace packaging {

// A folder clicked in the folder list as the package names it. Its part below the game folder
// is taken from where both lead on this machine, however the list reached the folder (from the
// game folder's own text, or from a drive's folder after the drive list moved away and back),
// so the same folder always gives the same copy line.
struct PackagedFolder {
    QString folder;  // gamePath & "\" & that part; the clicked text when it lies elsewhere
    QString relPath; // "Rail Simulator\" & that part; "" when the folder does not lie below the
                     // game folder (or is the game folder itself)
};
PackagedFolder PackagedFolderOf(const QString& gamePath, const QString& clicked);

// call Xcopy "<folder>\*.*" "<program>\<package>\<relPath>\*.*" /I /C /S, ending in CR LF.
QString FolderCopyLine(const QString& folder, const QString& programFolder, const QString& packageFolder,
                       const QString& relPath);

// The line of "AssetSetup.ggg" for a package row or folder: Assets\<Provider>\<Product> from
// its "Assets\" on ("Assets\Kuju\Dara\RailVehicles" gives "Assets\Kuju\Dara"), or all of that
// part when it is shorter. Raises VbError 5 when the text holds no "Assets\".
QString AssetSetupLine(const QString& folder);

// The route folder of a scenario row "...\Routes\<route>\Scenarios\<scenario>"; "" when the row
// names no scenarios folder.
QString RouteFolderOfEntry(const QString& relEntry);

// The controls of the packager window, in twips.
struct Folder3Layout {
    TwipsRect Drive1;
    TwipsRect Text2;
    TwipsRect Dir1;
    TwipsRect File1;
    TwipsRect Text1;
    TwipsRect List1;
    TwipsRect Text3;
    TwipsRect Command1;
    TwipsRect Command2;
    TwipsRect Command3;
    TwipsRect Command4;
    bool operator==(const Folder3Layout&) const = default;
};

// The window's outer size as designed, in twips.
constexpr int Folder3DesignWidth = 9600;
constexpr int Folder3DesignHeight = 9000;

// Every control at its design place, the layout applied to the design window size.
Folder3Layout Folder3Design();

// Lays the controls out for a window size (twips), from the places they hold now. A width or
// height that would be negative (a very small window) is not assigned: that control keeps its
// previous value there, and the controls computed from it use that value.
void LayOutFolder3(int windowWidth, int windowHeight, Folder3Layout& layout);

} // namespace packaging
