#pragma once
// The program folder's work folder "TempFiles". The tools write its name as "TempFiles",
// "Tempfiles" or "tempfiles" in different places; every spelling names the one folder (paths
// are matched without regard to case), and the spelling a caller gives is kept in the texts
// it builds, such as the lines of a generated batch file.

#include <QString>

// Program folder & "\" & spelling: "TempFiles" (the default), "Tempfiles" or "tempfiles"; any
// other text gives "TempFiles".
QString TempFilesFolder(const QString& spelling = QStringLiteral("TempFiles"));

// TempFilesFolder(spelling) & "\" & name.
QString TempFilesPath(const QString& name, const QString& spelling = QStringLiteral("TempFiles"));

// Creates the work folder when it is missing. False when it cannot be made.
bool EnsureTempFiles();

// Deletes the work folder with everything in it (read-only files included, every failure
// ignored), processes pending window events and creates it again when it is missing. False
// when it could not be created again.
bool ResetTempFiles();

// How many times ResetTempFiles has emptied the work folder in this run. A work copy named
// before the latest emptying is gone, even when a file of its name has been made there since.
quint64 TempFilesEmptied();

// The names of a file's work copy, taken from its path.
struct WorkFileNames {
    QString FileName;  // the text after the last "\" (or "/")
    QString WorkName;  // FileName up to and including its last "."
    QString Extension; // the text after that "."
};
// A name without a dot gets the whole name and a "." as WorkName and no extension.
WorkFileNames SplitWorkFile(const QString& path);
