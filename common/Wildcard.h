#pragma once
// Windows file-name wildcards and the folder listings built on them: the batch interpreter
// (veltrane-cmd) matches its arguments with them, and the windows' file lists show the files
// of a folder that match a pattern box ("*.kml;*.gpx").

#include <QString>
#include <QStringList>

// True when the text holds "*" or "?".
bool hasWildcard(const QString& text);

// Matches a file name against one pattern the Windows way: letter case is ignored, "*" stands
// for any run of characters, "?" for exactly one; a pattern ending in ".*" also matches a
// name without a dot ("*.*" matches every name, "Tree*.*" matches "Tree"), and a pattern
// ending in a lone "." matches only names without a dot ("*." the names without extension).
bool wildcardMatch(const QString& pattern, const QString& name);

// Matches a file name against a list of patterns separated by ";" (blanks around each
// pattern are ignored, empty ones skipped): true when any of them matches. A list with no
// pattern at all matches nothing.
bool wildcardMatchAny(const QString& patterns, const QString& name);

// The files of a folder (a game-style or native path) whose names match the pattern list,
// sorted ignoring case, from one listing of the folder. Empty for a missing folder.
QStringList matchingFileNames(const QString& folder, const QString& patterns);

// The sub-folders of a folder (a game-style or native path), sorted ignoring case: linked
// folders among them, links that lead nowhere not.
QStringList subFolderNamesOf(const QString& folder);
