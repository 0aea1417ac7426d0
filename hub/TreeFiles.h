#pragma once
// The work steps of the tree page's game-file save: the line check of the written XML and
// the conversion back into the game file; and the save offered before the program ends. The conversion and the replacement of the game
// file are the ones the text page uses (RunSerz and ReplaceGameFile).

#include "common/Serializer.h"
#include "hub/xml/XmlTreeDocument.h"

#include <QByteArray>
#include <QString>

namespace hub {

// The game file a tree document was converted from, and its work copies in "TempFiles".
struct TreeGameOrigin {
    QString gameFile;  // the game file as the user picked it
    QString workBase;  // program folder & "\TempFiles\" & WorkName (ends with ".")
    QString extension; // the game file's extension
    QString workXml() const { return workBase + QStringLiteral("xml"); }
    bool isSet() const { return !gameFile.isEmpty() && !workBase.isEmpty(); }
};

// Whether two XML texts hold the same document: the same elements with the same
// attributes in the same order, and the same character data between any two tags, where
// runs of nothing but whitespace count as equal to each other. Comments and processing
// instructions are not compared. False when either text is not well-formed.
bool SameXmlContent(const QByteArray& a, const QByteArray& b);

// Whether the line cleaning of CheckTagBalance would leave the document in these bytes as it
// is. It cuts text after the last ">" of each line and turns two accented letters into plain
// ones, which damages element texts that run over several lines and UTF-8 characters whose
// first byte reads as one of those letters.
bool TagCleaningKeepsDocument(const QByteArray& xml);

// Runs CheckTagBalance on the XML file unless its cleaning would change the document; then
// the file stays as it was written. Answers whether the check ran. A file that cannot be
// read raises VbError 53, 70 or 57 (ReadTagCheckFile).
bool CheckTagBalanceKeepingDocument(const QString& path);

// Converts the work copy origin.workXml() back to binary (serz.exe, " bin:") into
// origin.workBase & "bin", renames it to the game file's extension, and puts it in place of
// the game file with a backup. When serz.exe writes nothing, or any step fails, the game
// file stays as it was and the result says why. backupPath receives the backup's path.
ConversionResult ConvertTreeToGameFile(const TreeGameOrigin& origin, QString* backupPath = nullptr);

// The tree page's "Save RailSim File": writes the document to its file and, when it was saved
// under another name since it was opened, to the work copy too; runs the line check on the
// work copy, converts it and puts it in place of the game file with a backup
// (ConvertTreeToGameFile). Answers whether the game file now holds the document. On failure
// the user has been told why, the game file is as it was and the document stays marked
// modified. A failure nobody expected raises VbError (the document then stays marked
// modified too).
bool SaveTreeIntoGameFile(XmlTreeDocument& document, const TreeGameOrigin& origin);

// Saves the document into xmlFile, the file it was read from, and leaves it named as it was.
// Answers whether it was saved (SaveXmlTree's message when not).
bool SaveTreeIntoXmlFile(XmlTreeDocument& document, const QString& xmlFile);

// Where the tree page's document came from, for the save offered before the program ends.
struct TreeDocumentSource {
    TreeGameOrigin game; // set when it was converted from a game file
    QString xmlFile;     // else the XML file it was read from when it is named by its work copy
};

// Before the program ends: asks the tree document's question when the document is modified,
// and on Yes saves it where it came from: into its game file (SaveTreeIntoGameFile, never only
// into the work copy, which the shut-down deletes), else into source.xmlFile when set, else to
// its own file. True when the program may end: not modified, No, or Yes and saved. False on
// Cancel or a failed save; the document then stays as it was. Raises VbError as
// SaveTreeIntoGameFile does.
bool OfferTreeSaveBeforeExit(XmlTreeDocument& document, const TreeDocumentSource& source);

} // namespace hub
