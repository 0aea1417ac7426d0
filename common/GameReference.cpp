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

// WhereLeads; throughDanglingLink tells whether a name on the way is a link that points nowhere.
QString leadsTo(const QString& path, bool& throughDanglingLink)
{
    throughDanglingLink = false;
    QString head = QDir::cleanPath(QDir(platform::nativePath(path)).absolutePath());
    QStringList tail;
    for (;;) {
        const QFileInfo info(head);
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty()) {
            tail.prepend(canonical);
            return QDir::cleanPath(tail.join(QLatin1Char('/')));
        }
        if (info.isSymLink())
            throughDanglingLink = true;
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QDir::cleanPath(platform::nativePath(path));
        tail.prepend(head.mid(slash + 1));
        head = slash == 0 ? QStringLiteral("/") : head.left(slash);
    }
}

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

// True when one of the names of below, followed from folder, is a link (as far as they exist).
bool linkOnTheWay(const QString& folder, const QString& below)
{
    QByteArray at = QFile::encodeName(folder);
    for (const QString& name : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += '/';
        at += QFile::encodeName(name);
        struct stat st{};
        if (::lstat(at.constData(), &st) != 0)
            return false;
        if (S_ISLNK(st.st_mode))
            return true;
    }
    return false;
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

QString WhereLeads(const QString& path)
{
    bool dangling = false;
    return leadsTo(path, dangling);
}

QString PathBelowOnDisk(const QString& root, const QString& path)
{
    if (root.isEmpty() || path.isEmpty())
        return QString();
    // Most paths are named from root's own text: both turn into the same names on this machine,
    // and only a link below root could lead elsewhere. That needs no resolving of every link.
    QString below;
    const QString nativeRoot = withoutTrailingSlash(platform::nativePath(root));
    if (QDir::isAbsolutePath(nativeRoot)
        && partBelow(nativeRoot, withoutTrailingSlash(platform::nativePath(path)), below)
        && !linkOnTheWay(nativeRoot, below))
        return windowsForm(below);

    bool dangling = false;
    const QString to = leadsTo(path, dangling);
    if (dangling || !partBelow(WhereLeads(root), to, below))
        return QString();
    return windowsForm(below);
}

bool LiesBelow(const QString& root, const QString& path)
{
    // Text whose steps climb out of the folder is refused before anything on its way is looked
    // at; what stays inside by its text is then followed on disk.
    return !PathBelow(root, path).isNull() && !PathBelowOnDisk(root, path).isEmpty();
}

bool LiesBelowAssets(const QString& gamePath, const QString& path)
{
    return !gamePath.isEmpty() && LiesBelow(assetsFolder(gamePath), path);
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
