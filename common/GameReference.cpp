#include "common/GameReference.h"

#include "common/FileProcs.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace {

// The components of a path after its "." and ".." steps; false when a ".." step climbs above
// the path's first component.
bool components(const QString& path, QStringList& out)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = text.split(QLatin1Char('\\'));
    out.clear();
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QString& part = parts[k];
        if (k == 0 && part.isEmpty()) {
            out.append(QString()); // an absolute native path keeps its root
            continue;
        }
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (out.isEmpty() || (out.size() == 1 && out.first().isEmpty()))
                return false;
            out.removeLast();
            continue;
        }
        out.append(part);
    }
    return true;
}

QString assetsFolder(const QString& gamePath)
{
    return gamePath + QStringLiteral("\\Assets");
}

} // namespace

QString WhereLeads(const QString& path)
{
    QString head = QDir::cleanPath(QDir(platform::nativePath(path)).absolutePath());
    QStringList tail;
    for (;;) {
        const QFileInfo info(head);
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty()) {
            tail.prepend(canonical);
            return QDir::cleanPath(tail.join(QLatin1Char('/')));
        }
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QDir::cleanPath(platform::nativePath(path));
        tail.prepend(head.mid(slash + 1));
        head = slash == 0 ? QStringLiteral("/") : head.left(slash);
    }
}

namespace {

// The part of to below from ("" for from itself), "/"-separated; false when to lies elsewhere.
bool partBelow(const QString& from, const QString& to, QString& below)
{
    if (to == from) {
        below = QStringLiteral("");
        return true;
    }
    const QString prefix = from.endsWith(QLatin1Char('/')) ? from : from + QLatin1Char('/');
    if (!to.startsWith(prefix))
        return false;
    below = to.mid(prefix.size());
    return true;
}

bool isLinkToNothing(const QByteArray& at)
{
    struct stat st{};
    return ::lstat(at.constData(), &st) == 0 && S_ISLNK(st.st_mode) && ::stat(at.constData(), &st) != 0;
}

// True when folder, or one of the names of below followed from it, is a link that leads nowhere
// (as far as the names exist). A path that exists has none on its way: one stat tells.
bool linkToNothingOnTheWay(const QString& folder, const QString& below)
{
    QByteArray at = QFile::encodeName(folder);
    struct stat st{};
    if (::stat((below.isEmpty() ? at : at + '/' + QFile::encodeName(below)).constData(), &st) == 0)
        return false;
    if (isLinkToNothing(at))
        return true;
    for (const QString& name : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += '/';
        at += QFile::encodeName(name);
        if (isLinkToNothing(at))
            return true;
        if (::lstat(at.constData(), &st) != 0)
            return false;
    }
    return false;
}

// The part of native below root when one of the folders on native's way leads to where root
// leads (reached by another path: a drive's own folder, a link to the game); below that folder
// links are followed wherever they lead. False when none does.
bool partBelowByWay(const QString& root, const QString& native, QString& below)
{
    const QString rootLeads = WhereLeads(root);
    const QStringList names = QDir::cleanPath(QDir(native).absolutePath()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString way;
    QString leads;
    bool exists = true;
    for (qsizetype k = 0; k < names.size(); ++k) {
        way += QLatin1Char('/') + names[k];
        if (exists) {
            const QString canonical = QFileInfo(way).canonicalFilePath();
            exists = !canonical.isEmpty();
            if (!exists && isLinkToNothing(QFile::encodeName(way)))
                return false;
            leads = exists ? canonical : leads + QLatin1Char('/') + names[k];
        } else {
            leads += QLatin1Char('/') + names[k];
        }
        if (leads == rootLeads) {
            below = names.mid(k + 1).join(QLatin1Char('/'));
            return !linkToNothingOnTheWay(way, below);
        }
    }
    return false;
}

// The names of path after the names of floor, with "." steps dropped and ".." steps applied;
// false when path does not start with floor's names (compared ignoring case) or a ".." step
// climbs above floor, also when later names come back in.
bool namesWithin(const QString& floor, const QString& path, QStringList& below)
{
    const auto names = [](QString text) {
        text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        QStringList out = text.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        out.removeAll(QStringLiteral("."));
        return out;
    };
    const QStringList floorNames = names(floor);
    const QStringList pathNames = names(path);
    if (floorNames.isEmpty() || pathNames.size() < floorNames.size())
        return false;
    for (qsizetype k = 0; k < floorNames.size(); ++k) {
        if (floorNames[k].compare(pathNames[k], Qt::CaseInsensitive) != 0)
            return false;
    }
    below.clear();
    for (qsizetype k = floorNames.size(); k < pathNames.size(); ++k) {
        if (pathNames[k] != QLatin1String("..")) {
            below.append(pathNames[k]);
            continue;
        }
        if (below.isEmpty())
            return false;
        below.removeLast();
    }
    return true;
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString windowsForm(QString below)
{
    below.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return below;
}

} // namespace

QString PathBelow(const QString& root, const QString& path)
{
    QStringList rootParts;
    QStringList pathParts;
    if (!components(root, rootParts) || !components(path, pathParts))
        return QString();
    if (pathParts.size() <= rootParts.size())
        return QString();
    for (qsizetype k = 0; k < rootParts.size(); ++k) {
        if (rootParts[k].compare(pathParts[k], Qt::CaseInsensitive) != 0)
            return QString();
    }
    return pathParts.mid(rootParts.size()).join(QLatin1Char('\\'));
}

QString PathBelowOnDisk(const QString& root, const QString& path)
{
    if (root.isEmpty() || path.isEmpty())
        return QString();
    // Most paths are named from root's own text: both turn into the same names on this machine,
    // and a link below root is followed wherever it leads. That needs no resolving of links.
    QString below;
    const QString nativeRoot = withoutTrailingSlash(platform::nativePath(root));
    const QString nativeTo = withoutTrailingSlash(platform::nativePath(path));
    if (QDir::isAbsolutePath(nativeRoot) && partBelow(nativeRoot, nativeTo, below))
        return linkToNothingOnTheWay(nativeRoot, below) ? QString() : windowsForm(below);
    return partBelowByWay(root, nativeTo, below) ? windowsForm(below) : QString();
}

bool LiesBelow(const QString& root, const QString& path)
{
    // Text whose steps climb out of the folder is refused before anything on its way is looked
    // at; what stays inside by its text is then followed on disk.
    QStringList below;
    return namesWithin(root, path, below) && !below.isEmpty() && !PathBelowOnDisk(root, path).isEmpty();
}

bool LiesBelowAssets(const QString& gamePath, const QString& path)
{
    // The steps may climb to the game folder and back into Assets, never above the game folder.
    QStringList below;
    return !gamePath.isEmpty() && namesWithin(gamePath, path, below) && below.size() > 1
           && below.first().compare(QLatin1String("Assets"), Qt::CaseInsensitive) == 0
           && !PathBelowOnDisk(assetsFolder(gamePath), path).isEmpty();
}

QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets)
{
    const QString path = assetsFolder(gamePath) + QLatin1Char('\\') + belowAssets;
    return LiesBelowAssets(gamePath, path) ? path : QString();
}

bool AssetsFileExists(const QString& gamePath, const QString& path)
{
    return LiesBelowAssets(gamePath, path) && FileExists(path);
}

WalkedFolders::WalkedFolders(const QString& nativeFolder)
{
    const QString start = QFileInfo(nativeFolder).canonicalFilePath();
    if (!start.isEmpty())
        trees_ << start;
}

bool WalkedFolders::enter(const QString& nativeLink)
{
    const QString to = QFileInfo(nativeLink).canonicalFilePath();
    if (to.isEmpty())
        return false;
    QString below;
    for (const QString& tree : std::as_const(trees_)) {
        if (partBelow(tree, to, below) || partBelow(to, tree, below))
            return false;
    }
    trees_ << to;
    return true;
}
