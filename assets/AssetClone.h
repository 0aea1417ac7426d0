#pragma once
// The values of an asset clone, without the windows: for "Clone selected Asset" (the folder
// that holds the blueprint is copied beside itself) and "Clone Selected Default Asset" (the
// folder above it is copied beside that one), the folders, the new folder pair, the places of
// the copied blueprint, the line of "do_clone.bat", the new blueprint's text, and what the
// naming dialog (dlgNewName) refuses.

#include <QString>

namespace assets {

enum class CloneKind { Asset, DefaultAsset };

// What a blueprint's full path gives, for the path ...\Diesel\Class1\Engine\loco.bin:
struct CloneSource {
    QString fullPath;            // ...\Diesel\Class1\Engine\loco.bin
    QString oldFileName;         // loco.bin
    QString baseName;            // loco
    QString blueprintFolderName; // Engine
    QString oldFolderPair;       // Class1\Engine
    QString sourceFolder;        // copied: ...\Class1\Engine (Asset), ...\Class1 (DefaultAsset)
    QString defaultDestination;  // proposed: ...\Class1 (Asset), ...\Diesel (DefaultAsset)
    // The naming dialog's folder box as it opens.
    QString folderBox() const { return defaultDestination + QLatin1Char('\\'); }
};
CloneSource cloneSource(CloneKind kind, const QString& fullPath);

// Where the copy goes, for the folder and file name the user gave. One trailing "\" of the
// folder is dropped first, so a folder box left as proposed names the proposed folder.
struct CloneTarget {
    QString folder;        // the destination, without a trailing "\"
    QString newFolderPair; // Asset: its last two folder names; DefaultAsset: its last & "\" & blueprint folder;
                           // into the proposed folder itself: Asset its name & "\", DefaultAsset
                           // "\" & blueprint folder
    QString oldNameCopy;   // the copy of the source blueprint under its old name, which goes
    QString newBlueprint;  // where the new blueprint goes
};
CloneTarget cloneTarget(CloneKind kind, const CloneSource& source, const QString& newFolderName,
                        const QString& newFileName);

// The one line of "do_clone.bat", with its CR LF.
QString cloneBatchLine(const QString& sourceFolder, const QString& destinationFolder);

// The new blueprint's XML file: the new name written into "Name" and the language elements,
// every old folder pair (in any case) replaced by the new one, and a CR LF after it all.
QString clonedBlueprintText(const QString& xml, const QString& newItemName, const QString& oldFolderPair,
                            const QString& newFolderPair);

// What the naming dialog's OK refuses (the dialog staying open): an empty box; a file name that
// cannot be a file's name; a folder that is not a full path or holds * ? " < > |; a folder that
// is the source folder or lies inside it ("." and ".." steps resolved). "" when all can be taken.
QString newNameRefusal(const QString& fileName, const QString& internalName, const QString& folderName,
                       const QString& sourceFolder);
// True when path is root or lies inside it, and true when a and b name the same place, once
// "." and ".." steps are resolved (names compared ignoring case, either separator).
bool isOrLiesIn(const QString& path, const QString& root);
bool samePlace(const QString& a, const QString& b);

QString badCloneFolderMessage(const QString& folder);
QString cloneIntoSourceMessage(const QString& sourceFolder);

} // namespace assets
