#pragma once
// A new locomotive in the developer's source tree, without the window: the checks of the type
// folder and the loco name, the copy of the game's sample engine files into a new folder by a
// generated "do_copy.bat", and the walk that renames every copied file whose name holds
// "Sample" after the loco.

#include <QString>
#include <QStringList>

namespace assets {

// The type is the last part of the folder text (after its last "\"); a type folder is one
// named Diesel, Electric or Steam, in any case.
QString locoTypeOf(const QString& folderText);
bool isLocoType(const QString& type);

// The game's sample engine files for a type, as typed: below GamePath, the folder
// "Source\Developer\Addon\RailVehicles\" & type & "\EngineSample\Default".
QString locoSampleFolder(const QString& gamePath, const QString& type);

// The one line of "do_copy.bat" (with its CR LF): every file and folder of the sample folder
// into the loco folder, replacing files of the same name.
QString locoCopyBatchLine(const QString& sampleFolder, const QString& locoFolder);

// What the rename walk could not do, one line per file (the file's path as the walk names it).
struct SampleRenameResult {
    QStringList skipped; // the new name was taken already
    QStringList failed;  // the file could not be renamed, or a folder could not be listed
    bool empty() const { return skipped.isEmpty() && failed.isEmpty(); }
};

// Renames every file below folder (a game-style or native path) whose name holds "Sample", in
// any case, to the name with every "Sample" replaced by name. Only file names change, so files
// in folders whose own names hold "Sample" are renamed where they are. A file whose new name is
// taken (ignoring case, as on Windows) is left as it is. Sub-folders are walked before their
// parent's files, the last first; linked folders are not entered. Window events are processed
// after each file.
SampleRenameResult RenameSampleFiles(const QString& folder, const QString& name);

// The report of a walk that left files unrenamed: its lines, skipped files first.
QString sampleRenameReportCaption();
QStringList sampleRenameReport(const SampleRenameResult& result);

// "Copy Files": checks the type folder and the name, makes folderText & "\" & name when it is
// missing, copies the type's sample files into it through "do_copy.bat" in the program's
// "Tempfiles" folder and renames the copied files. Every refusal and failure is told to the
// user and ends it; the loco folder is returned once the copy has run (empty when it has not),
// and the walk's result is put into renamed.
QString copyLocoFiles(const QString& folderText, const QString& name, SampleRenameResult& renamed);

// The messages.
QString notLocoTypeMessage();
QString badLocoNameMessage(const QString& name);
QString missingSampleFolderMessage(const QString& sampleFolder);
QString locoFolderNotMadeMessage(const QString& locoFolder);
QString locoCopyFailedMessage(const QString& locoFolder, qint64 started, int status);

} // namespace assets
