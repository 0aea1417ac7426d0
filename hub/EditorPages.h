#pragma once
// The main window's two editor pages: which editor is in force, what showing a page does
// to the frames' captions and the menus, and the paths and texts of the small Options and
// Help commands.

#include <QString>

namespace hub {

// The text page is page 0, the tree page page 1.
constexpr int TextPage = 0;
constexpr int TreePage = 1;

// The editor in force: the session's choice when SessionEditor is 1 (text page) or 2 (tree
// page), else the tree page when it is the default editor. Answers TextPage or TreePage.
int EditorInForce(int sessionEditor, bool xmlEditorDefault);

// What showing a page sets.
struct PageSwitch {
    bool frame1Visible = false;
    bool frame2Visible = false;
    // The caption of the frame of the page shown (Frame1 for page 0, Frame2 for page 1);
    // warning: it is shown in bold red.
    QString caption;
    bool warning = false;
    // The menus follow the editor in force, not the page shown.
    bool fileSVisible = false;    // the text page's "Files"
    bool fileVisible = false;     // the tree page's "Files"
    bool nodePopUpVisible = false; // "Nodes"
    bool searchVisible = false;   // "Search and Replace"
};
PageSwitch PageSwitchFor(int page, int sessionEditor, bool xmlEditorDefault);

QString TextPageCaption(); // "Veltrane Editor"
QString TreePageCaption(); // "XML Editor"

// The work copy the tree page loads when it is first shown after a game-file open:
// program folder & "\TempFiles\" & treeWorkName & "xml".
QString TreeWorkCopyPath(const QString& treeWorkName);

// The help file: program folder & "\Veltrane_Help.pdf".
QString HelpFilePath();
// The PDF reader's command line: the reader and the help file, each in double quotes.
QString HelpCommandLine(const QString& acrobatPath);
// "Before you can read Help files, you must set up the path" CR LF "to your Acrobat ...".
QString HelpReaderMissingMessage();
// The reader could not be started (its path no longer names a program).
QString HelpReaderFailedMessage(const QString& acrobatPath, const QString& reason);

} // namespace hub
