#pragma once
// The one rule for links, for every road that reads, walks, copies, packs, unpacks or removes.
// Nothing the program makes or unpacks is a link, so every link it meets in the game, in a
// chosen folder or in a package folder is the user's own: a provider folder, a route's Scenery or
// the whole Assets folder kept on another disk.
// - A link that leads somewhere is the file or folder it leads to: walked into, read, copied
//   from (its contents, never the link itself) and written into.
// - A walk does not enter a folder that already lies on its own way down (a loop ends there); a
//   folder reached twice by two ways is walked twice, as the folder lists show it twice.
// - A link that leads nowhere (its disk is not mounted) is a missing file or folder: never
//   followed, never written through.
// - Removing and attributes act on a link itself, never on what it leads to.
// No road tests for links itself: each asks here.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// What stands at a name.
enum class Standing {
    Nothing, // no entry at all
    File,    // a file (through a link too)
    Folder,  // a folder (through a link too)
    Nowhere, // a link that leads nowhere: a missing file or folder
    Other,   // a device, pipe or socket
    Link,    // a link itself (only when the link itself is looked at, see LinkView)
};

enum class LinkView {
    Through, // reading, walking, copying, writing: a link is what it leads to (or Nowhere)
    Itself,  // removing and attributes: every link is Standing::Link, never entered
};

Standing standingAt(const QString& nativePath, LinkView view = LinkView::Through);

// Where a path leads on this machine: made absolute, with every link on its way resolved as far
// as the names exist and the names after that kept as written (a path to a file still to be
// made); for a link that leads nowhere, the place the link names.
QString leadsTo(const QString& nativePath);

// True when a link that leads nowhere stands at nativePath.
bool leadsNowhere(const QString& nativePath);

// The first folder or name on the way from nativeFolder (itself included) down through below
// ("/"-separated names below it) that is a link leading nowhere; a null QString when there is
// none, as far as the names exist.
QString nowhereOnTheWay(const QString& nativeFolder, const QString& below = QString());

// One entry of a folder.
class FolderEntry {
public:
    QString name;      // the name; for a name that is not text, a display form (see nameIsText)
    QString path;      // the native path of the entry; empty when the name is not text
    Standing standing = Standing::Nothing;
    // False when the name on disk is bytes that are no text in the file system's encoding (a
    // name copied from Windows without conversion): nothing can open it by a path, so a road
    // that meets one names it (name holds the valid characters, each other byte as "\xNN").
    bool nameIsText = true;

    bool isFile() const { return standing == Standing::File; }
    bool isFolder() const { return standing == Standing::Folder; }

private:
    friend class WalkWay;
    friend QList<FolderEntry> folderEntries(const QString&, LinkView);
    bool linked_ = false;
};

// Every entry of a folder (hidden ones too, never "." and ".."), in the order the file system
// gives them; empty when the folder cannot be listed.
QList<FolderEntry> folderEntries(const QString& nativeFolder, LinkView view = LinkView::Through);

// The folders a walk is inside, from its start down to the folder it lists now. A sub-folder the
// walk meets is entered, linked or not, unless it is one of them or holds one of them (a link to
// the start, to a folder above it or to a folder the walk is inside).
class WalkWay {
public:
    explicit WalkWay(const QString& nativeStart);

    // True when the walk goes into folder, an entry of the folder it is listing now (the one last
    // entered, or the start); the folder is then the one it lists until leave().
    bool enter(const FolderEntry& folder);
    // The same for a folder named by its path, for walks that list folders by other means.
    bool enter(const QString& nativeFolder);
    // Back to the folder the walk listed before the last enter() that was true.
    void leave();

    // False when the start leads nowhere (or is no folder).
    bool started() const { return !way_.isEmpty(); }

private:
    bool push(const QString& leadsTo);
    QStringList way_; // where each folder on the way leads, the start first
};

// Walks the tree below nativeStart, which it does not visit itself. Every entry of a folder is
// handed to visit (with rel, its folder below the start: "" or ending in "/") before any of that
// folder's sub-folders is walked; a sub-folder for which visit returns true is walked, unless
// that would be a loop (WalkWay). Entries come in the order the file system gives them unless
// sorted is set (then by name, ignoring case).
using WalkVisit = std::function<bool(const FolderEntry& entry, const QString& rel)>;
void walkTree(const QString& nativeStart, const WalkVisit& visit, bool sorted = false);

// Removes what stands at nativePath when it is a file or a link of any kind (the link itself,
// never what it leads to). False when nothing was removed.
bool removeEntry(const QString& nativePath);

// Removes the folder at nativePath with everything below it, first making every entry writable
// by its owner (a forced delete). A link there, or anywhere below, is removed itself and what it
// leads to stays. False when something remains.
bool removeTree(const QString& nativePath);

} // namespace platform
