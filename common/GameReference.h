#pragma once
// Paths built from text found inside game files (blueprint, geometry and texture IDs, provider
// and product names, "..\" steps), and folders chosen in a folder list: such text may climb
// out of the game with "..\" steps, or come back in through a folder spelled in other case that
// is another folder on this machine, and a folder list may reach the game by another path than
// the game folder's text (a drive's own folder, a link). So whether a path lies below the game's
// folders is decided by where it leads on this machine; texts compared alone only ever refuse.

#include <QString>

// The part of path below root in Windows form without a leading "\", compared ignoring case,
// after resolving "..\" steps (and ".\" steps) in both; a null QString when path does not lie
// below root. Either may use "\" or "/". A comparison of texts only: for paths built by
// appending names to root; whether a path really lies below a folder is PathBelowOnDisk's.
QString PathBelow(const QString& root, const QString& path);

// Where a path leads on this machine: its nativePath() with every link resolved, as far as it
// exists; the names after the first one that does not exist are kept as written. A relative
// path leads from the current folder.
QString WhereLeads(const QString& path);

// The part of path below root by where both lead on this machine (WhereLeads), in Windows form
// without a leading "\" and with the names the folders have on disk; "" when path leads to root
// itself; a null QString when it leads elsewhere, or through a link that points nowhere (a file
// made there would land wherever the link points). Names match without regard to case only
// where nativePath() matches them, so a folder spelled in other case beside the game folder is
// another folder.
QString PathBelowOnDisk(const QString& root, const QString& path);

// True when path, made from root's text and text read from a file, lies below root both by its
// text (PathBelow: text that climbs out is refused without looking at the disk) and on this
// machine (PathBelowOnDisk).
bool LiesBelow(const QString& root, const QString& path);

// LiesBelow(gamePath & "\Assets", path); false without a game folder.
bool LiesBelowAssets(const QString& gamePath, const QString& path);

// gamePath & "\Assets\" & belowAssets when that lies below the Assets folder; a null QString
// when the text leads elsewhere (or names the Assets folder itself).
QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets);

// True when path names a readable file below gamePath & "\Assets"; a path leading elsewhere
// counts as missing, and nothing is opened for it.
bool AssetsFileExists(const QString& gamePath, const QString& path);
