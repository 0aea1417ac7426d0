#pragma once
// Paths built from text found inside game files (blueprint, geometry and texture IDs, provider
// and product names, "..\" steps), and folders chosen in a folder list. Such text is judged by
// its steps: one that climbs above the game folder is refused, also when it comes back in (a
// folder spelled in other case beside the game folder is another folder on this machine), and
// nothing on the disk is looked at for it. A link inside the game is the user's own (a provider
// folder kept on another disk): it is followed wherever it leads, unless it leads nowhere. A
// folder list may reach the game by another path than the game folder's text (a drive's own
// folder, a link to the game), so a chosen folder is placed by where the folders on its way lead.

#include <QString>
#include <QStringList>

// The part of path below root in Windows form without a leading "\", compared ignoring case,
// after resolving "..\" steps (and ".\" steps) in both; a null QString when path does not lie
// below root. Either may use "\" or "/". A comparison of texts only: for paths built by
// appending names to root; whether a path really lies below a folder is PathBelowOnDisk's.
QString PathBelow(const QString& root, const QString& path);

// Where a path leads on this machine: its nativePath() with every link resolved, as far as it
// exists; the names after the first one that does not exist are kept as written. A relative
// path leads from the current folder.
QString WhereLeads(const QString& path);

// How a path made from a folder's text (and text read from a file) stands to that folder.
enum class Reach {
    Below,   // it lies below the folder, through the user's links too
    Missing, // it would, but the folder or a name on its way is a link that leads nowhere (a disk
             // that is not mounted): a missing file or folder, never followed nor written through
    Outside, // its steps climb out of the folder, or it lies elsewhere
};

// The part of path below root on this machine, in Windows form without a leading "\" and with
// the names the folders have on disk; "" when path leads to root itself. Path lies below root
// when its native path (nativePath(), where names match without regard to case) is named below
// root's, or when one of the folders on its way leads to where root leads (WhereLeads: a drive's
// own folder, a link to the game); below root every link is followed wherever it leads. A null
// QString when path lies elsewhere, or when root or a name below it is a link that leads nowhere
// (a file made there would land wherever the link is later pointed); reach, when given, tells
// which.
QString PathBelowOnDisk(const QString& root, const QString& path, Reach* reach = nullptr);

// True when path, made from root's text and text read from a file, lies below root: its names
// start with root's and no ".." step after them climbs above root (refused on the text alone,
// without looking at the disk), and PathBelowOnDisk places it below root.
bool LiesBelow(const QString& root, const QString& path);

// True when path, made from gamePath's text and text read from a file, lies below
// gamePath & "\Assets": its ".." steps may climb to the game folder and come back into Assets
// (in any letter case), but a step above the game folder refuses it on its text; PathBelowOnDisk
// then places it below the Assets folder, following the user's links there. False without a
// game folder.
bool LiesBelowAssets(const QString& gamePath, const QString& path);
Reach ReachBelowAssets(const QString& gamePath, const QString& path);

// gamePath & "\Assets\" & belowAssets when that lies below the Assets folder; a null QString
// when the text leads elsewhere (or names the Assets folder itself) or a link on its way leads
// nowhere; reach, when given, tells which.
QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets, Reach* reach = nullptr);

// The same path for a road that only looks it up (and writes nothing where no file was found):
// behind a link that leads nowhere (a disk that is not mounted) it is given too, a missing file
// or folder that every look-up finds missing; a null QString only when the text leads elsewhere.
QString AssetsPathOrMissing(const QString& gamePath, const QString& belowAssets);

// True when path names a readable file below gamePath & "\Assets"; a path leading elsewhere
// counts as missing, and nothing is opened for it.
bool AssetsFileExists(const QString& gamePath, const QString& path);

// The message a walk gives for the files and folders it met whose names are not text on this
// system (bytes copied from Windows without conversion), which nothing can open by a path. It
// says what the walk did with the other names ("listed", "searched"), then the paths (the folder's
// text, "\" and the name with each such byte as "\xNN"), one a line, the first twenty of them.
QString NamesNotTextMessage(const QStringList& paths, const QString& done);
