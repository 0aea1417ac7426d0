#pragma once
// The marker converter's commands, without the window: "Process" turns the selected marker
// files into ".csv" files in the save folder, "Process DCSV" sets the selected ".dcsv" files'
// points back at full precision from their Source ".csv" files. Every file is written into
// "TempFiles" first and put in place with a ".bak" backup of the file it replaces. A marker
// file that yields no points writes nothing: its ".csv" in the save folder is named in the
// write-error message and the run goes on. Otherwise a run ends at the first file that cannot
// be converted or written, without the closing message. The mouse pointer is back to normal on every way out.
// Reading a file may raise VbError (an empty or unreadable file); the caller reports it.

#include <QString>
#include <QStringList>

namespace routes {

// The messages of the marker converter.
QString saveFolderPrompt();                              // while the window loads in mode 1
QString selectMarkersPrompt();                           // after "Proceed"
QString notMarkerFileMessage();                          // an entry of another type
QString noCoordinatesMessage(const QString& path);       // a ".kml" without coordinates
QString markersConvertedMessage(const QString& saveFolder);
QString sourceCsvMissingMessage(const QString& name);    // a ".dcsv" without its Source ".csv"
QString sourceLineMessage(const QString& sourcePath, qsizetype line, const QString& name);
QString dcsvImprovedMessage();
QString noSaveFolderMessage();                           // "Proceed" or "Process" without a save folder

// "Process": the entries names of sourceFolder, in order, into saveFolder. True when the run
// reached its end and the closing message was shown. An empty saveFolder is refused with a
// message before anything is read or written.
bool convertMarkerFiles(const QString& sourceFolder, const QStringList& names, const QString& saveFolder);

// "Process DCSV": the entries names of folder, in order, with the Source ".csv" files below
// gamePath & "\Source". True when every file was written and the closing message shown.
bool improveDcsvFiles(const QString& gamePath, const QString& folder, const QStringList& names);

} // namespace routes
