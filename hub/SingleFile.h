#pragma once
// One game file in work on the text page: the names of its work copies in "TempFiles",
// its conversion to XML through serz.exe, and the write-back of the edited XML into the
// game with a backup. The window asks for the file and shows the text; this does the work.

#include "common/Serializer.h"

#include <QString>

#include <functional>

namespace hub {

// Reads a text file as ANSI ("" for an empty file). False when it cannot be read.
bool ReadAnsiFile(const QString& path, QString& text);
// Writes a text as ANSI, never leaving half a file. False when it cannot be written; a text the
// code page cannot hold is not written at all, and why, when given, receives the message that says so.
bool WriteAnsiFile(const QString& path, const QString& text, QString* why = nullptr);

// The date and time as the system's general date format writes them (the short date and
// the time with seconds).
QString GeneralDateNow();

// The file in work: window fields of the main window, with the commands' work steps.
class FileInWork {
public:
    // What the text page holds.
    enum class Source { Nothing, GameFile, XmlFile };

    QString WorkName;     // file name up to and including its last "."
    QString WorkBase;     // program folder & "\TempFiles\" & WorkName
    QString TreeWorkName; // WorkName of the last game file opened, for the tree page
    bool TreeLoaded = false;
    Source PageSource = Source::Nothing;

    // Names the tree page's work copy (sets TreeWorkName) and notes the work folder's state.
    void nameTreeWorkCopy(const QString& workName);
    // The path of the tree page's work copy; "" when it names none or when its copy has gone
    // (the work folder was emptied after it was named, or the file is missing), in which case
    // the copy is named no more.
    QString treeWorkCopy();

    // Progress texts of the save (the status bar's third panel).
    std::function<void(const QString&)> Status;

    // The game-file open after the file has been chosen: sets WorkName, TreeWorkName,
    // CurrentFileExt, WorkBase and TempXmlPath, copies the game file into "TempFiles" as
    // WorkName & "bin" and converts it to WorkBase & "xml". xmlText receives the XML.
    ConversionResult OpenGameFile(const QString& gameFile, QString& xmlText);

    // The texture open: copies the texture into "TempDDS" (made when missing) as WorkName &
    // "bin" and converts it to XML there. Sets WorkName only.
    ConversionResult OpenTexture(const QString& textureFile, QString& xmlText);

    // The XML open: sets WorkName, CurrentFileExt and WorkBase, copies the file into
    // "TempFiles" as WorkName & "xml" and reads it. copyPath receives the copy's path.
    ConversionResult OpenXmlFile(const QString& xmlFile, QString& xmlText, QString& copyPath);

    // Writes the text back into the game file: the text to WorkBase & "xml", serz.exe to
    // WorkBase & "bin" (renamed to the game file's extension), then the game file moved to
    // its backup name and the new file put in its place. Refused when the page holds no
    // game file's text (nothing opened, or the open failed, or an XML file). On success backupPath receives the backup's path.
    ConversionResult SaveGameFile(const QString& text, const QString& gameFile, QString* backupPath = nullptr);

private:
    quint64 treeWorkNamedAt_ = 0; // TempFilesEmptied() when TreeWorkName was set

    void status(const QString& text) const
    {
        if (Status)
            Status(text);
    }
};

} // namespace hub
