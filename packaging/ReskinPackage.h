#pragma once
// The work of the reskin packager. A reskin is a copy of an installed asset with some files
// changed; its package carries only what the receiving machine cannot rebuild: reskinned files
// that differ from the source asset or that the source lacks are copied into the package (by
// "copyfiles.bat", run once and deleting itself), and for every file identical to its source
// counterpart "Rail Simulator\RS-Install.bat" holds a copy command that rebuilds it on the
// receiving machine from its own installed source asset. Identity is decided by CRC-32.
//
// Folders are the program's game-style texts (the game folder, then "\" and folder names);
// both the reskinned and the source folder must lie below the game's "Assets" folder.

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

namespace platform {
class WalkWay;
}

namespace packaging {

// The CRC-32 of a file as upper-case hexadecimal without leading zeros ("0" for a missing,
// unreadable or empty file). readable, when given, tells a file that could not be read
// (missing, no permission, a read failing part-way) from one that was read, empty or not.
QString GetCRC(const QString& file, bool* readable = nullptr);

// One file of the source asset: its name, its folder below the game's "Assets" (Windows
// form, no leading "\") and its size.
struct ReskinSource {
    QString name;
    QString folder;
    qint64 size = 0;
};

class ReskinPackage {
public:
    ReskinPackage();

    // Line end of both batch files.
    static constexpr const char* kLineEnd = "\r\n";

    // The game's "Assets" folder (the game folder & "\Assets"); set from GamePath by load().
    QString AssetsRoot;
    // The reskinned folder and "Rail Simulator\" followed by its part below the game folder.
    QString ReskinFolder;
    QString ReskinFolderFromGame;
    // The texts of "RS-Install.bat" and "copyfiles.bat" built by the last reskinned walk.
    QString InstallText;
    QString CopyText;

    // Takes the game folder from the shared state.
    void load();
    // Records the reskinned folder (ReskinFolder and ReskinFolderFromGame).
    void setReskinFolder(const QString& folder);

    // The package folder: the program folder & "\" & PackageFolder.
    static QString packageFolderPath();

    // Builds the package of the reskinned folder reskinFolder made from sourceFolder into the
    // package folder (named after the reskin on the first run, kept for later runs), then asks
    // whether to zip it. Each failed step is reported and the next one still runs. Returns true
    // when the user wants the package zipped; false for no, and after a refusal (nothing chosen,
    // or a folder that does not lead below the game's Assets on this machine), which writes
    // nothing. The folders may be named in any form that leads there (a drive's own folder);
    // the batch lines name them from the game folder.
    bool Process(const QString& reskinFolder, const QString& sourceFolder);

    // The source walk: the folder's files, sorted by name ignoring case, then each sub-folder
    // in the same order; the first file walked with a name (ignoring case) goes into the table.
    // Both walks read a link as what it leads to and walk linked folders, but not a loop.
    void WorkWithSubFolders(const QString& folder);
    // The reskinned walk, in the same order: creates each folder's mirror in the package and
    // adds each file's line to InstallText (identical to its source counterpart) or CopyText
    // (changed, or no counterpart). Needs the table, ReskinFolder and PackageFolder.
    void WorkWithorigFolders(const QString& folder);

    // Empties the source table, both texts and the lists of files left out, missing or not
    // checksummed.
    void reset();

    // The source file of a name (ignoring case); null when the source asset has none.
    const ReskinSource* findSource(const QString& name) const;

    // Reskinned files and folders that no batch line can name (a double quote, a character
    // the ANSI code page cannot write, or a name BatchSafeName refuses: one holding "\" or "%", or
    // of dots only; a folder is left out with all it holds), and files whose checksum could
    // not be computed (packaged as changed), since the last reset(). Source files and folders
    // with such names are not taken for counterparts.
    const QStringList& leftOut() const { return leftOut_; }
    const QStringList& unreadable() const { return unreadable_; }
    // Files and folders of either walk that are missing (a link that leads nowhere): never
    // compared, never packaged.
    const QStringList& missing() const { return missing_; }

private:
    void walkSource(const QString& folder, const QString& native, platform::WalkWay& way);
    void walkReskin(const QString& folder, const QString& native, platform::WalkWay& way);
    void reskinFile(const QString& folder, const QString& sub, const QString& name, qint64 size);
    void makeMirror(const QString& folder);
    // Processes window events when 40 ms have passed since the last time.
    void pace();

    QHash<QString, ReskinSource> sources_;
    QStringList leftOut_;
    QStringList unreadable_;
    QStringList missing_;
    QElapsedTimer pace_;
    QString gamePath_;
    QString reskinRoot_; // the reskinned folder below the game's Assets
    QString package_;    // the package folder during the reskinned walk
    QString reskinCanonical_; // the reskinned folder, left out of the source walk
};

} // namespace packaging
