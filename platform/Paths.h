#pragma once
// Turning the program's Windows-style paths into real paths on this machine, and the
// program's own folders.

#include <QString>

namespace platform {

// Turns a path as the program builds it ("C:\Program Files\Rail Simulator\Content\Routes.xml",
// "content\routes\R1", or a native "/home/me/game/Assets") into a path of this machine:
// backslashes become "/", repeated separators collapse, a drive letter "x:" maps to
// $WINEPREFIX/dosdevices/x: (default ~/.wine), and every component that does not exist as
// written is matched without regard to case against its folder's entries, as Windows does.
// Components that do not exist in any case are kept as written (so the result can name a
// file still to be created). A relative path stays relative to the current folder.
QString nativePath(const QString& path);

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
