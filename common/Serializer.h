#pragma once
// Running the game's serializer on work copies, backup names, and the one safe way of
// putting a converted file in place of a game file.

#include <QString>

namespace serz {
// The switches of the serializer's command line; each carries its leading blank.
inline const QString ToXml = QStringLiteral(" xml:");     // binary to XML (and XML back, for
                                                          // the scenario editor's writes)
inline const QString ToBin = QStringLiteral(" bin:");     // XML to binary
inline const QString ToBinSlash = QStringLiteral(" /bin:"); // XML to binary, for textures
} // namespace serz

// "serz.exe "in"<switch>"out"": the switch's colon is followed directly by the output's quote.
QString SerzCommandLine(const QString& inputPath, const QString& switchText, const QString& outputPath);

// Outcome of a conversion or a replacement: ok, or a message saying what failed.
struct ConversionResult {
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

// The verdict on one serializer run, as RunSerz gives it: whether the process started, its
// exit status and whether it left a non-empty output.
ConversionResult SerzRunResult(const QString& inputPath, const QString& outputPath, bool started, int exitStatus);

// Makes currentFolder the current folder, removes a stale output, runs the serializer hidden
// and waits for it (processing window events). Succeeds only when the serializer started,
// ended with status 0 and left a non-empty output file. A Windows serializer run through
// Wine now and then ends at once with a failure and no output; such a run is made once more
// before it counts as failed (see SerzRunMayBeRetried).
ConversionResult RunSerz(const QString& inputPath, const QString& switchText, const QString& outputPath,
                         const QString& currentFolder);

// True when a failed run of this command line is to be made once more: it started, left no
// output (or an empty one), and the serializer is a Windows program run through Wine. A
// native serializer's failure is never retried.
bool SerzRunMayBeRetried(const QString& commandLine, bool started, const QString& outputPath);

// The backup name for a file: base (normally the file's path followed by ".bak") when it is
// free, else base followed by the first number from 1 to 50 that is free; "" when all 51
// names are taken. A name is free only when nothing at all stands there: a link of any kind,
// also one that leads nowhere, takes it.
QString BackupName(const QString& base);

// Puts newFile in place of gameFile: newFile must exist and not be empty; when gameFile exists
// it is moved to its backup name (BackupName(backupBase), backupBase defaulting to gameFile's
// path followed by ".bak") and newFile copied to gameFile's path. The copy is made beside the
// game file first, so a failure at any step leaves gameFile where and as it was (when the
// original cannot even be given its name back, the error names the backup it is kept as); every move
// is a rename (platform::renameFile), never a copy through a link at the new name; the copy is
// flushed to the disk before the renames and the folders after them, so a power cut leaves
// the old file or the whole new one, never an empty one. On success
// backupPath (when given) receives the backup's path, or "" when there was no file to back up.
ConversionResult ReplaceGameFile(const QString& newFile, const QString& gameFile,
                                 const QString& backupBase = QString(), QString* backupPath = nullptr);

// Puts newFile at gameFile's path without a backup, replacing a file of that name: newFile
// must exist and not be empty; it is copied beside gameFile, flushed to the disk and renamed
// over it, so a failure at any step leaves a former gameFile as it was, and a power cut
// leaves the old file or the whole new one.
ConversionResult PlaceNewGameFile(const QString& newFile, const QString& gameFile);

// "All 51 backup names of " & gameFile & " are in use; delete some of its old backups.": why a
// game file with every backup name taken is not replaced.
QString backupNamesInUseMessage(const QString& gameFile);

// Moves file to its backup name (BackupName of its path followed by ".bak"), so that a new file
// can be written in its place; a missing file needs no backup. On failure the file stays where
// it was and the error says why; backupPath (when given) receives the backup's path, or "".
ConversionResult MoveToBackupName(const QString& file, QString* backupPath = nullptr);
