#pragma once
// The parts of the main window's start-up and shut-down that need no window: where the
// game folder comes from, putting serz.exe into the system folder, the file named on the
// command line, and the work folder.

#include <QString>
#include <QStringList>

namespace hub {

// The game's executable at its standard installation path.
inline const QString StandardGameExe = QStringLiteral("c:\\program files\\rail simulator\\railsim.exe");
// The registry key whose default value names the game folder (under HKEY_LOCAL_MACHINE).
inline const QString InstallationKey = QStringLiteral("Software\\Rail Simulator\\Packager Manager\\Installation");

// The game folder from the registry: the installation key's default value, or "" when the
// key is missing or holds no usable default value.
QString RegistryGamePath();

// The folder of a file path: the text before its last "\" (or "/", for paths picked in a
// native dialog); "" when there is no separator.
QString FolderOfPath(const QString& filePath);

// What start-up found about serz.exe in the system folder.
enum class SerzSetup { Present, Copied, Missing, CopyFailed };
// Makes sure the system folder holds serz.exe, copying it from the game folder or its
// "Packager" folder (in that order) when needed. On CopyFailed, *error (when given) says
// which copy failed.
SerzSetup EnsureSerzInSystemFolder(const QString& systemFolder, const QString& gamePath, QString* error = nullptr);
// "The required file SERZ.EXE could not be found on your system. ..."
QString SerzMissingMessage();

// The file named on the command line: one leading double quote and then one trailing
// double quote removed.
QString CommandLineFile(const QString& commandLine);

// The file named on the program's command line, from its arguments (after the program's name):
// they are joined by single blanks, as the command line is one text on Windows, the quotes are
// removed (CommandLineFile), and a relative path is made absolute against startFolder, the
// folder the program was started from. A path with a drive letter or from a root stays as it is.
QString StartupFileFromArguments(const QStringList& arguments, const QString& startFolder);

// Which open command a file named on the command line goes to.
enum class StartupOpen {
    None,          // nothing is opened
    GameFile,      // the text page's game-file open
    TreeGameFile,  // the tree page's game-file open
    Texture,       // the texture open
    TextureOnTextPage, // the text page shown first, then the texture open
    XmlFile,       // the text page's XML open
    TreeXmlFile,   // the tree page's XML open
};
// By the path's ending, compared without regard to case; xmlEditorDefault picks the tree
// page's commands.
StartupOpen StartupOpenFor(const QString& path, bool xmlEditorDefault);

// The program folder's work folders. TempFilesFolder and ResetTempFiles forward to the
// common ones (common/TempFiles.h).
QString TempFilesFolder(); // program folder & "\TempFiles"
QString TempDdsFolder();   // program folder & "\TempDDS"
QString PreferencesPath(); // program folder & "\preferences.txt"

// Deletes the work folder "TempFiles" with everything in it and creates it again empty.
// False when it could not be created again.
bool ResetTempFiles();

} // namespace hub
