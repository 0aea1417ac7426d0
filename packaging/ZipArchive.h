#pragma once
// One zip archive open for the zip archive manager: created, opened, listed, searched, filled
// and extracted through libzip. Entry names are stored with "/" as the zip format wants them;
// the window shows them with "\" and every look-up here accepts either separator.
//
// Adding: each add command ends with commit(), which makes libzip write the archive (it reads
// the added files only then, firing onAdd for each), so the listing that follows shows the
// real compressed sizes. Only files become entries, never folders. A split archive is worked on
// as one single-disk temporary zip beside it and cut into its pieces at every commit.
//
// Extracting writes each entry below the destination under its stored path, never outside it:
// absolute names, drive names, ".." and link entries are refused. A folder on the way that is
// the user's link is written into wherever it leads, and one that leads nowhere is a path not
// found. Every file is written under a temporary name and then renamed into place.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct zip;

namespace packaging {

struct ZipEntry {
    QString name; // as stored, with "/"
    qint64 compressedSize = 0;
    qint64 uncompressedSize = 0;
    QDateTime modified;
    bool valid = false; // false when the entry could not be read
};

class ZipArchive {
public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Fired with the file's path as libzip reads each added file, and with the entry's name
    // (with "\") before each extraction.
    std::function<void(const QString& name)> onAdd;
    std::function<void(const QString& name)> onExtract;

    // Makes a new, empty archive at path (a game-style or native path) the open one, replacing
    // any file there. With split, the archive is kept in pieces of at most partSize bytes;
    // partSize must then be at least 1. False with lastError() on failure (the open archive
    // is closed either way).
    bool create(const QString& path, bool split, qint64 partSize);
    // Opens the archive at path, a plain zip or the last piece of a split set.
    bool open(const QString& path);
    // Closes the open archive (nothing to write: every add command has committed).
    void close();
    bool isClosed() const;
    // The path given to create or open.
    QString path() const { return path_; }
    bool isSplit() const { return split_; }
    qint64 partSize() const { return partSize_; }

    int entryCount() const;
    // The entries the whole-archive extractions walk: every entry, as nothing is left out.
    int fileCount() const;
    // The uncompressed bytes of all entries.
    qint64 total() const;
    ZipEntry entry(int index) const;

    // Files added afterwards are stored below this folder (game-style or native; "" for none).
    void setBasePath(const QString& folder);

    // Adds one file. fullPath stores its whole path less the root; otherwise the path below
    // the base path, or its bare name when it does not lie below the base path. Level 0 stores,
    // 1 to 9 deflate at that level, -1 is libzip's default. An entry of the same name is
    // replaced. False with lastError() (the file's reason) when the file cannot be read; the
    // archive then holds what was added before.
    bool addFile(const QString& file, bool fullPath, int level);
    // Adds the files of a folder (with includeSubDirs those of its sub-folders too), never the
    // archive itself. A linked folder or file is added as what it leads to (a link back up the
    // tree ends there), under the name it has in the folder. Files not below the base path are
    // stored below the folder's parent. An empty pattern takes every file; otherwise the files
    // whose names match one of its ";"-separated wildcards. False when any file was left out
    // (a link that leads nowhere, a name that is no text): lastError() names each, and the
    // archive holds the others.
    bool addFolder(const QString& folder, bool includeSubDirs, bool fullPath, int level);
    bool addFolder(const QString& folder, const QString& pattern, bool includeSubDirs, bool fullPath, int level);
    // Writes the added files into the archive (and, for a split archive, its pieces).
    bool commit();

    // Writes entry index below destination under its stored path. False with lastError() the
    // reason when it was not written.
    bool extract(int index, const QString& destination);

    // The first entry whose name equals name, ignoring case and the kind of separator; with
    // fileNameOnly only the last components are compared. -1 when none.
    int find(const QString& name, bool fileNameOnly) const;
    // The entries whose file name matches the wildcard pattern (ignoring case); a pattern with
    // a separator is matched against whole names.
    QList<int> findPattern(const QString& pattern) const;

    QString lastError() const { return error_; }

    // Why an entry name may not be written below a destination ("" when it may): absolute
    // names, drive names and ".." components.
    static QString unsafeNameReason(const QString& name);
    // The name an added file gets: native paths in, "/"-separated name out.
    static QString storedName(const QString& nativeFile, const QString& nativeBase, bool fullPath,
                              const QString& nativeFallbackBase);

private:
    bool openWork(const QString& nativePath, int flags);
    bool makeWritable();
    bool addOne(const QString& nativeFile, const QString& name, int level);
    bool addTree(const QString& folder, const QString& pattern, bool includeSubDirs, bool fullPath, int level);
    // The steps of extract, each setting lastError() when it fails: the entry's name and kind
    // allow it to be written; its folders below the destination exist (target is the file to
    // write, "" for a folder entry); its file is written whole, with the entry's time.
    bool entryMayBeWritten(int index, const ZipEntry& e);
    bool makeEntryPath(const ZipEntry& e, const QString& destination, QString& target);
    bool writeEntryFile(int index, const ZipEntry& e, const QString& target);
    void discard();
    QString libzipError() const;

    zip* za_ = nullptr;
    QString path_;
    QString nativePath_;
    QString workPath_; // the single-disk zip libzip works on (the archive itself unless split)
    bool split_ = false;
    bool readOnly_ = false; // a split set opened through its pieces
    bool dirty_ = false;
    qint64 partSize_ = 0;
    QString basePath_;
    QString error_;
};

} // namespace packaging
