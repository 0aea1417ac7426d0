#pragma once
// Turning the program's Windows-style paths into real paths on this machine, and the
// program's own folders.

#include <QString>

#include <functional>

namespace platform {

// Turns a path as the program builds it ("C:\Program Files\Rail Simulator\Content\Routes.xml",
// "content\routes\R1", or a native "/home/me/game/Assets") into a path of this machine:
// backslashes become "/", repeated separators collapse, a drive letter "x:" maps to
// $WINEPREFIX/dosdevices/x: (default ~/.wine), and every component that does not exist as
// written is matched without regard to case against its folder's entries, as Windows does.
// Components that do not exist in any case are kept as written (so the result can name a
// file still to be created). A relative path stays relative to the current folder.
//
// A path from the root of the current drive ("\Games\x", one leading backslash) lies on
// the drive that holds the current-drive folder (setCurrentDriveFolder), as Windows reads it; a
// native path starts with "/". A network path ("\\server\share\x" or "//server/share/x") and
// a path on a drive the Wine prefix does not have (no entry "x:" in its dosdevices, or no
// prefix at all) are nowhere this program can reach: they map below a path that is no folder
// ("/dev/null/unreachable", see isUnreachable), where every file access fails as it does for a
// missing path and nothing can be made; no ".." climbs out of it, so such a path never names
// an existing file.
QString nativePath(const QString& path);

// True when a native path from nativePath names nothing this program can reach (a network
// path, a drive the Wine prefix does not have): a path not found, where a folder is never made.
bool isUnreachable(const QString& native);

// Names the folder whose drive is the current drive for paths that start with one backslash
// (the program names its game folder). When the function is not set, returns "" or a text that
// is not an absolute path, the current folder's drive is taken. A folder that no drive of the
// Wine prefix holds lies on the file system's root, as does everything without a prefix.
void setCurrentDriveFolder(std::function<QString()> folder);

// True when a name that path would make holds a character that Windows forbids in names
// (* ? < > | and the double quote). Only the components that do not exist yet are judged: an
// existing folder is reached whatever its name, and a pattern to be listed makes nothing.
bool makesForbiddenName(const QString& path);

// Makes the program folder the current folder, as a program started from its own folder has
// it, so that a relative name typed by the user lies in the program folder. False when the
// folder cannot be entered (the current folder then stays as it was).
bool enterProgramFolder();

// The reverse for handing paths to Windows programs: a native absolute path becomes
// "Z:\..." with backslashes; a path already in Windows form is returned unchanged.
QString windowsPath(const QString& path);

// True when the text is a Windows-form absolute path ("c:\..." or "c:/...").
bool hasDriveLetter(const QString& path);

// The Wine prefix: $WINEPREFIX, else ~/.wine.
QString winePrefix();

// The program folder (App.Path): $VELTRANE_HOME when set, else the executable's folder.
// Returned without a trailing separator.
QString programFolder();

// The system folder that serz.exe lives in: $VELTRANE_SYSTEM when set, else "System32" in
// the program folder.
QString systemFolder();

// Forgets every cached folder listing.
void clearPathCache();

// How many folder listings nativePath() has read since the program started (a measure
// of the cache's work).
qint64 pathCacheListingCount();

} // namespace platform
