#include "platform/Links.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

Standing ofMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Standing::File;
    if (S_ISDIR(mode))
        return Standing::Folder;
    return Standing::Other;
}

// What stands at name in the folder open as dirFd (AT_FDCWD for a path), and whether it is a link.
Standing standingOf(int dirFd, const char* name, LinkView view, bool& linked)
{
    struct stat st{};
    linked = false;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Standing::Nothing;
    if (!S_ISLNK(st.st_mode))
        return ofMode(st.st_mode);
    linked = true;
    if (view == LinkView::Itself)
        return Standing::Link;
    if (::fstatat(dirFd, name, &st, 0) != 0)
        return Standing::Nowhere;
    return ofMode(st.st_mode);
}

// The length of the valid UTF-8 sequence at bytes[i], or 0 when none starts there.
int utf8SequenceAt(const QByteArray& bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return uchar(bytes[k]); };
    const uchar lead = at(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uint value = 0;
    uint least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar c = at(i + k);
        if ((c & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

// A name that is no text: its valid characters, and each other byte as "\xNN".
QString displayForm(const QByteArray& raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size();) {
        const int n = utf8SequenceAt(raw, i);
        if (n > 0) {
            out += QString::fromUtf8(raw.constData() + i, n);
            i += n;
        } else {
            out += QStringLiteral("\\x") + QString::number(uint(uchar(raw[i])), 16).rightJustified(2, QLatin1Char('0')).toUpper();
            ++i;
        }
    }
    return out;
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool isSameOrAbove(const QString& folder, const QString& other)
{
    return other == folder || other.startsWith(folder == QLatin1String("/") ? folder : folder + QLatin1Char('/'));
}

struct DirCloser {
    void operator()(DIR* d) const
    {
        if (d)
            ::closedir(d);
    }
};

void walkFolder(const QString& folder, const QString& rel, WalkWay& way, const WalkVisit& visit, bool sorted)
{
    QList<FolderEntry> entries = folderEntries(folder);
    if (sorted) {
        std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
            return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
        });
    }
    QList<qsizetype> into;
    for (qsizetype k = 0; k < entries.size(); ++k) {
        if (visit(entries[k], rel) && entries[k].isFolder())
            into.append(k);
    }
    for (const qsizetype k : std::as_const(into)) {
        const FolderEntry& sub = entries[k];
        if (!way.enter(sub))
            continue;
        walkFolder(sub.path, rel + sub.name + QLatin1Char('/'), way, visit, sorted);
        way.leave();
    }
}

} // namespace

Standing standingAt(const QString& nativePath, LinkView view)
{
    if (nativePath.isEmpty())
        return Standing::Nothing;
    bool linked = false;
    return standingOf(AT_FDCWD, QFile::encodeName(withoutTrailingSlash(nativePath)).constData(), view, linked);
}

namespace {

// The deepest folder on the path's way that exists made canonical, and the rest appended.
QString resolvedAsFarAsItExists(const QString& nativePath)
{
    QString head = QDir::cleanPath(QDir(nativePath).absolutePath());
    QString tail;
    while (!head.isEmpty()) {
        const QString canonical = QFileInfo(head).canonicalFilePath();
        if (!canonical.isEmpty())
            return tail.isEmpty() ? canonical : QDir::cleanPath(canonical + QLatin1Char('/') + tail);
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            break;
        const QString name = head.mid(slash + 1);
        tail = tail.isEmpty() ? name : name + QLatin1Char('/') + tail;
        head = slash == 0 ? (head.size() > 1 ? QStringLiteral("/") : QString()) : head.left(slash);
    }
    return QDir::cleanPath(nativePath);
}

} // namespace

QString leadsTo(const QString& nativePath)
{
    if (leadsNowhere(nativePath))
        return resolvedAsFarAsItExists(QFileInfo(nativePath).symLinkTarget());
    return resolvedAsFarAsItExists(nativePath);
}

bool leadsNowhere(const QString& nativePath)
{
    return standingAt(nativePath) == Standing::Nowhere;
}

QString nowhereOnTheWay(const QString& nativeFolder, const QString& below)
{
    QString at = withoutTrailingSlash(nativeFolder);
    const QStringList names = below.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // A path that exists has no such link on its way: one look tells.
    QString whole = at;
    for (const QString& name : names)
        whole += QLatin1Char('/') + name;
    struct stat st{};
    if (::stat(QFile::encodeName(whole).constData(), &st) == 0)
        return QString();
    for (qsizetype k = -1; k < names.size(); ++k) {
        if (k >= 0)
            at += QLatin1Char('/') + names[k];
        const Standing s = standingAt(at);
        if (s == Standing::Nowhere)
            return at;
        if (s == Standing::Nothing)
            return QString();
    }
    return QString();
}

QList<FolderEntry> folderEntries(const QString& nativeFolder, LinkView view)
{
    QList<FolderEntry> out;
    const QByteArray folderBytes = QFile::encodeName(nativeFolder);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folderBytes.constData()));
    if (!dir)
        return out;
    const int fd = ::dirfd(dir.get());
    const QString prefix = withoutTrailingSlash(nativeFolder) + QLatin1Char('/');
    while (const dirent* d = ::readdir(dir.get())) {
        const char* raw = d->d_name;
        if ((raw[0] == '.' && raw[1] == 0) || (raw[0] == '.' && raw[1] == '.' && raw[2] == 0))
            continue;
        FolderEntry entry;
        const QByteArray bytes(raw);
        const QString name = QFile::decodeName(bytes);
        entry.nameIsText = QFile::encodeName(name) == bytes;
        entry.name = entry.nameIsText ? name : displayForm(bytes);
        if (entry.nameIsText)
            entry.path = prefix + name;
        switch (d->d_type) {
        case DT_REG:
            entry.standing = Standing::File;
            break;
        case DT_DIR:
            entry.standing = Standing::Folder;
            break;
        default:
            entry.standing = standingOf(fd, raw, view, entry.linked_);
            break;
        }
        if (entry.standing == Standing::Nothing)
            continue; // gone since the listing
        out.append(entry);
    }
    return out;
}

WalkWay::WalkWay(const QString& nativeStart)
{
    const QString start = QFileInfo(nativeStart).canonicalFilePath();
    if (!start.isEmpty() && QFileInfo(start).isDir())
        way_ << start;
}

bool WalkWay::push(const QString& leadsTo)
{
    if (leadsTo.isEmpty())
        return false;
    for (const QString& folder : std::as_const(way_)) {
        if (isSameOrAbove(leadsTo, folder))
            return false;
    }
    way_ << leadsTo;
    return true;
}

bool WalkWay::enter(const FolderEntry& folder)
{
    if (way_.isEmpty() || !folder.isFolder() || !folder.nameIsText)
        return false;
    // A folder that is no link lies below the one the walk lists: it cannot be on the way.
    if (!folder.linked_) {
        way_ << way_.last() + (way_.last() == QLatin1String("/") ? QString() : QStringLiteral("/")) + folder.name;
        return true;
    }
    return push(QFileInfo(folder.path).canonicalFilePath());
}

bool WalkWay::enter(const QString& nativeFolder)
{
    if (way_.isEmpty() || standingAt(nativeFolder) != Standing::Folder)
        return false;
    return push(QFileInfo(nativeFolder).canonicalFilePath());
}

void WalkWay::leave()
{
    if (way_.size() > 1)
        way_.removeLast();
}

void walkTree(const QString& nativeStart, const WalkVisit& visit, bool sorted)
{
    WalkWay way(nativeStart);
    if (!way.started())
        return;
    walkFolder(withoutTrailingSlash(nativeStart), QString(), way, visit, sorted);
}

bool removeEntry(const QString& nativePath)
{
    const Standing s = standingAt(nativePath, LinkView::Itself);
    if (s != Standing::File && s != Standing::Link && s != Standing::Other)
        return false;
    return ::unlink(QFile::encodeName(withoutTrailingSlash(nativePath)).constData()) == 0;
}

namespace {

// Makes a folder and everything below it writable by its owner (folders also listable), as a
// forced delete on Windows clears read-only attributes; links are left as they are.
void makeWritable(const QString& folder)
{
    QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const FolderEntry& entry : folderEntries(folder, LinkView::Itself)) {
        if (!entry.nameIsText)
            continue;
        if (entry.standing == Standing::Folder)
            makeWritable(entry.path);
        else if (entry.standing == Standing::File)
            QFile::setPermissions(entry.path, QFile::permissions(entry.path) | QFile::WriteOwner);
    }
}

bool removeBelow(const QByteArray& folder)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
    if (!dir)
        return false;
    const int fd = ::dirfd(dir.get());
    bool all = true;
    while (const dirent* d = ::readdir(dir.get())) {
        const char* raw = d->d_name;
        if ((raw[0] == '.' && raw[1] == 0) || (raw[0] == '.' && raw[1] == '.' && raw[2] == 0))
            continue;
        struct stat st{};
        if (::fstatat(fd, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            // Names that are no text are removed too: the walk goes by bytes.
            if (!removeBelow(folder + '/' + raw) || ::unlinkat(fd, raw, AT_REMOVEDIR) != 0)
                all = false;
        } else if (::unlinkat(fd, raw, 0) != 0) {
            all = false;
        }
    }
    return all;
}

} // namespace

bool removeTree(const QString& nativePath)
{
    const QString path = withoutTrailingSlash(nativePath);
    const Standing s = standingAt(path, LinkView::Itself);
    if (s == Standing::Link)
        return removeEntry(path);
    if (s != Standing::Folder)
        return false;
    makeWritable(path);
    const QByteArray bytes = QFile::encodeName(path);
    return removeBelow(bytes) && ::rmdir(bytes.constData()) == 0;
}

} // namespace platform
