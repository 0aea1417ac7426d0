#include "platform/Paths.h"

#include "platform/Drives.h"
#include "platform/Rename.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

namespace platform {

namespace {

QString withoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool startsWithDrive(const QString& path)
{
    return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == QLatin1Char(':');
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// "\\server\share", "\\?\...", "//server/share". A native path starting with "/" followed by a
// backslash is one built from the root folder "/" and a Windows-style tail.
bool isNetworkPath(const QString& path)
{
    if (path.size() < 2 || !isSeparator(path[0]) || !isSeparator(path[1]))
        return false;
    return path[0] == QLatin1Char('\\') || path[1] == QLatin1Char('/');
}

// One backslash at the start and no second separator after it: the root of the current drive.
bool isFromDriveRoot(const QString& path)
{
    return path.startsWith(QLatin1Char('\\')) && !isNetworkPath(path);
}

// Where network paths and drives the prefix does not have lead: below something that is not a
// folder, where nothing can be opened, listed, made or replaced. The root is one level below
// that non-folder, and ".." never climbs above the root, so such a path never names an existing
// file.
const QString& unreachableRoot()
{
    static const QString root = QStringLiteral("/dev/null/unreachable");
    return root;
}

std::function<QString()>& currentDriveFolderSource()
{
    static std::function<QString()> source;
    return source;
}

// "c:" for the current drive, or "" when it is the file system's root.
QString currentDrive()
{
    QString folder;
    if (currentDriveFolderSource())
        folder = currentDriveFolderSource()();
    // Only an absolute text: a folder given from a drive's root would need the current drive.
    if (!hasDriveLetter(folder) && !(folder.startsWith(QLatin1Char('/')) && !isNetworkPath(folder)))
        folder = QDir::currentPath();
    const QList<Drive> list = drives();
    const qsizetype k = driveIndexOf(list, folder);
    if (k < 0 || !hasDriveLetter(list[k].name))
        return QString();
    return list[k].name;
}

// Characters that Windows does not allow in a file or folder name (besides the separators and
// the drive's colon).
bool holdsForbiddenCharacter(const QString& name)
{
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'*':
        case u'?':
        case u'<':
        case u'>':
        case u'|':
        case u'"':
            return true;
        default:
            break;
        }
    }
    return false;
}

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Modification time of a folder in nanoseconds; false when it cannot be read.
bool folderTime(const QString& dir, qint64& mtimeNs)
{
    struct stat st{};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool pathExists(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path.isEmpty() ? QStringLiteral(".") : path).constData(), &st) == 0;
}

// A path taken apart: the root it hangs from and its components, with "." dropped and
// ".." applied to the components before it.
struct ParsedPath {
    // Unreachable: a network path, or a drive the Wine prefix does not have
    enum Kind { Relative, Absolute, Drive, Unreachable } kind = Relative;
    // "/", the drive's folder in the Wine prefix, or (below) the unreachable root; empty when
    // relative
    QString root;
    QStringList components;
    bool trailingSeparator = false;

    QString join(const QStringList& comps) const
    {
        QString out;
        if (kind == Absolute)
            out = QStringLiteral("/") + comps.join(QLatin1Char('/'));
        else if (kind == Drive || kind == Unreachable)
            out = comps.isEmpty() ? root : root + QLatin1Char('/') + comps.join(QLatin1Char('/'));
        else
            out = comps.isEmpty() ? QStringLiteral(".") : comps.join(QLatin1Char('/'));
        return out;
    }
};

ParsedPath parse(const QString& path)
{
    ParsedPath p;
    QString s = path;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString rest;
    if (isNetworkPath(path)) {
        p.kind = ParsedPath::Unreachable;
        p.root = unreachableRoot();
        rest = s;
    } else if (startsWithDrive(s)) {
        p.kind = ParsedPath::Drive;
        const QString drive = s.left(2).toLower();
        QString prefix = winePrefix();
        p.root = withoutTrailingSeparators(prefix) + QStringLiteral("/dosdevices/") + drive;
        // Collapse doubled separators inside the prefix as well.
        while (p.root.contains(QLatin1String("//")))
            p.root.replace(QLatin1String("//"), QLatin1String("/"));
        // A drive the prefix does not have is nowhere, as on Windows: nothing may be made for it
        // in the prefix.
        if (!nameTaken(p.root)) {
            p.kind = ParsedPath::Unreachable;
            p.root = unreachableRoot() + QLatin1Char('/') + drive;
        }
        rest = s.mid(2);
    } else if (s.startsWith(QLatin1Char('/'))) {
        p.kind = ParsedPath::Absolute;
        p.root = QStringLiteral("/");
        rest = s;
    } else {
        rest = s;
    }
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!p.components.isEmpty() && p.components.last() != QLatin1String(".."))
                p.components.removeLast();
            else if (p.kind == ParsedPath::Relative)
                p.components.append(part);
            // ".." at the root of a drive or of the file system stays at the root.
            continue;
        }
        p.components.append(part);
    }
    p.trailingSeparator = rest.endsWith(QLatin1Char('/'))
                          && (p.kind == ParsedPath::Drive || p.kind == ParsedPath::Unreachable
                              || !p.components.isEmpty());
    return p;
}

// One folder's entries, with a case-folded index.
struct Listing {
    bool valid = false;
    QSet<QString> names;
    QHash<QString, QString> byFolded; // folded name -> real name (the smallest when several)
    qint64 mtimeNs = 0;
    qint64 listedAtNs = 0;

    // A listing taken within this time of the folder's last change may have missed a
    // change made in the same tick of the file system's clock.
    bool racy() const { return listedAtNs - mtimeNs < 2000000000LL; }

    QString match(const QString& name) const
    {
        if (names.contains(name))
            return name;
        return byFolded.value(name.toCaseFolded());
    }
};

qint64 g_listings = 0;

Listing listFolder(const QString& dir)
{
    ++g_listings;
    Listing l;
    if (!folderTime(dir, l.mtimeNs))
        return l;
    l.listedAtNs = nowNs();
    DIR* d = ::opendir(QFile::encodeName(dir).constData());
    if (!d)
        return l;
    l.valid = true;
    while (dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        const QString name = QFile::decodeName(n);
        l.names.insert(name);
        const QString folded = name.toCaseFolded();
        auto it = l.byFolded.find(folded);
        if (it == l.byFolded.end())
            l.byFolded.insert(folded, name);
        else if (name < it.value())
            it.value() = name;
    }
    ::closedir(d);
    return l;
}

class PathCache {
public:
    QString resolve(const ParsedPath& p, bool mayRetry)
    {
        QString dir; // the real absolute folder reached so far
        if (p.kind == ParsedPath::Relative)
            dir = QDir::currentPath();
        else
            dir = p.root;

        QStringList out;
        QStringList consulted;
        bool missing = false;
        bool stale = false;
        for (qsizetype i = 0; i < p.components.size(); ++i) {
            const QString& comp = p.components[i];
            if (missing) {
                out.append(comp);
                continue;
            }
            if (comp == QLatin1String("..")) { // only leading ones of a relative path remain
                out.append(comp);
                dir = QDir::cleanPath(dir + QStringLiteral("/.."));
                continue;
            }
            const QString exact = childOf(dir, comp);
            if (!folders_.contains(dir) && pathExists(exact)) {
                // Named exactly: no need to read the folder.
                out.append(comp);
                dir = exact;
                continue;
            }
            bool fresh = false;
            const Listing* l = folder(dir, fresh);
            consulted.append(dir);
            if (!l->valid) {
                // A folder reached through cached entries that is gone now means the
                // cache is out of date; one that is a file simply has no entries.
                if (i > 0 && !pathExists(dir))
                    stale = true;
                missing = true;
                out.append(comp);
                continue;
            }
            QString real = l->match(comp);
            if (real.isNull() && !fresh && mayHaveChanged(*l, dir)) {
                l = &relist(dir);
                if (!l->valid && i > 0 && !pathExists(dir))
                    stale = true;
                real = l->match(comp);
            }
            if (real.isNull()) {
                missing = true;
                out.append(comp);
                continue;
            }
            out.append(real);
            dir = childOf(dir, real);
        }

        QString result = p.join(out);
        if (!missing && !stale && !pathExists(result))
            stale = true; // an entry the cache remembers is gone
        if (stale && mayRetry) {
            for (const QString& d : consulted)
                folders_.remove(d);
            return resolve(p, false);
        }
        return result;
    }

    void clear() { folders_.clear(); }

private:
    static QString childOf(const QString& dir, const QString& name)
    {
        return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
    }

    const Listing* folder(const QString& dir, bool& fresh)
    {
        auto it = folders_.constFind(dir);
        if (it != folders_.constEnd() && it->valid) { // a failed listing is always tried again
            fresh = false;
            return &it.value();
        }
        fresh = true;
        return &relist(dir);
    }

    const Listing& relist(const QString& dir)
    {
        if (folders_.size() >= kMaxFolders)
            folders_.clear();
        return folders_.insert(dir, listFolder(dir)).value();
    }

    static bool mayHaveChanged(const Listing& l, const QString& dir)
    {
        qint64 mtime = 0;
        if (!folderTime(dir, mtime))
            return true;
        return mtime != l.mtimeNs || l.racy();
    }

    static constexpr qsizetype kMaxFolders = 200000;
    QHash<QString, Listing> folders_;
};

QMutex& cacheMutex()
{
    static QMutex m;
    return m;
}

PathCache& cache()
{
    static PathCache c;
    return c;
}

} // namespace

QString nativePath(const QString& path)
{
    if (path.isEmpty())
        return path;
    if (isFromDriveRoot(path)) {
        const QString drive = currentDrive();
        if (!drive.isEmpty())
            return nativePath(drive + path);
    }
    const ParsedPath p = parse(path);
    const QString direct = p.join(p.components);
    const QString trail = p.trailingSeparator ? QStringLiteral("/") : QString();
    if (p.kind == ParsedPath::Unreachable || pathExists(direct))
        return direct + trail;

    QMutexLocker lock(&cacheMutex());
    return cache().resolve(p, true) + trail;
}

bool isUnreachable(const QString& native)
{
    return native.startsWith(unreachableRoot())
           && (native.size() == unreachableRoot().size() || native[unreachableRoot().size()] == QLatin1Char('/'));
}

void setCurrentDriveFolder(std::function<QString()> folder)
{
    currentDriveFolderSource() = std::move(folder);
}

bool makesForbiddenName(const QString& path)
{
    if (path.isEmpty())
        return false;
    QString native = withoutTrailingSeparators(nativePath(path));
    while (!native.isEmpty() && native != QLatin1String("/") && !pathExists(native)) {
        const qsizetype slash = native.lastIndexOf(QLatin1Char('/'));
        if (holdsForbiddenCharacter(native.mid(slash + 1)))
            return true;
        if (slash < 0)
            break;
        native = slash == 0 ? QStringLiteral("/") : native.left(slash);
    }
    return false;
}

bool enterProgramFolder()
{
    return QDir::setCurrent(programFolder());
}

QString windowsPath(const QString& path)
{
    if (path.isEmpty() || hasDriveLetter(path))
        return path;
    if (path.startsWith(QLatin1String("\\\\"))) // a network share
        return path;
    QString s = path;
    s.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (s.startsWith(QLatin1Char('\\')))
        return QStringLiteral("Z:") + s;
    return s;
}

bool hasDriveLetter(const QString& path)
{
    return startsWithDrive(path)
           && (path.size() == 2 || path[2] == QLatin1Char('\\') || path[2] == QLatin1Char('/'));
}

QString winePrefix()
{
    const QString env = qEnvironmentVariable("WINEPREFIX");
    if (!env.isEmpty())
        return withoutTrailingSeparators(env);
    return QDir::homePath() + QStringLiteral("/.wine");
}

QString programFolder()
{
    QString folder = qEnvironmentVariable("VELTRANE_HOME");
    if (folder.isEmpty()) {
        if (QCoreApplication::instance())
            folder = QCoreApplication::applicationDirPath();
        else
            folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
    }
    return withoutTrailingSeparators(folder);
}

QString systemFolder()
{
    const QString env = qEnvironmentVariable("VELTRANE_SYSTEM");
    if (!env.isEmpty())
        return withoutTrailingSeparators(env);
    return programFolder() + QStringLiteral("/System32");
}

void clearPathCache()
{
    QMutexLocker lock(&cacheMutex());
    cache().clear();
}

qint64 pathCacheListingCount()
{
    QMutexLocker lock(&cacheMutex());
    return g_listings;
}

} // namespace platform
