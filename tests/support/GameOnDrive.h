#pragma once
// A game on drive c: of the tree's Wine prefix, where a Windows program finds it as
// "C:\Games\Rail Simulator", for the roads of the windows with a drive list: the game folder
// given in the registry's Windows form or as the folder of this machine, and a folder clicked
// in the folder list as the window opened (named from the game folder's text) or after the
// drive list moved away and back (named from the drive's own folder).

#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "support/SampleGame.h"
#include "support/TempTree.h"

#include <QString>

#include <gtest/gtest.h>

struct DriveRoad {
    const char* what;
    bool windowsForm; // the game folder as "C:\Games\Rail Simulator", else its native path
    bool driveMoved;  // the folder clicked after the drive list moved to e: and back to c:
};

inline const DriveRoad kDriveRoads[] = {
    {"native game folder", false, false},
    {"native game folder, drive moved away and back", false, true},
    {"Windows-form game folder", true, false},
    {"Windows-form game folder, drive moved away and back", true, true},
};

inline const QString kGameOnDriveC = QStringLiteral("wine/drive_c/Games/Rail Simulator");

// Copies the sample game to C:\Games\Rail Simulator once; false when the copy failed.
inline bool placeGameOnDriveC(const TempTree& tree)
{
    return tree.exists(kGameOnDriveC) || copySampleGame(tree.path(kGameOnDriveC));
}

// The game folder on drive c: in the road's form.
inline QString gameOnDriveC(const TempTree& tree, const DriveRoad& road)
{
    return road.windowsForm ? QStringLiteral("C:\\Games\\Rail Simulator") : tree.path(kGameOnDriveC);
}

// Chooses the drive as the user does in the list (the window's handler runs).
inline void chooseDrive(DriveListWidget& drives, const char* name)
{
    const int index = drives.findText(QString::fromLatin1(name));
    ASSERT_GE(index, 0) << name;
    drives.setCurrentIndex(index);
    emit drives.activated(index);
}

// For a road whose drive moved: the drive list moves to e: and back to c:, its folder lists
// now rooted at the drive's own folder.
inline void moveDriveIfTheRoadSays(DriveListWidget& drives, const DriveRoad& road)
{
    if (!road.driveMoved)
        return;
    chooseDrive(drives, "e:");
    chooseDrive(drives, "c:");
}

// Clicks the folder below the game folder (game-style, "Assets\...") in the list: below the
// game folder the list opened at, or, for a road whose drive moved, below the drive's folder
// the list shows since. The window's click handler runs.
inline void clickGameFolder(FolderTreeWidget& folders, const QString& gamePath, const DriveRoad& road,
                            const QString& below)
{
    folders.setPath(road.driveMoved ? folders.root() + QStringLiteral("\\Games\\Rail Simulator\\") + below
                                    : gamePath + QLatin1Char('\\') + below);
    QTreeWidgetItem* item = folders.currentItem();
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->parent(), nullptr);
    folders.setCurrentItem(item->parent());
    folders.setCurrentItem(item);
}
