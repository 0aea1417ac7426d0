#include "common/GameReference.h"

#include "common/FileProcs.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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
    bool dangling = false;
    const QString to = leadsTo(path, dangling);
    if (dangling)
        return QString();
    const QString from = WhereLeads(root);
    if (to == from)
        return QStringLiteral("");
    const QString prefix = from.endsWith(QLatin1Char('/')) ? from : from + QLatin1Char('/');
    if (!to.startsWith(prefix))
        return QString();
    QString below = to.mid(prefix.size());
    below.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return below;
}

bool LiesBelowAssets(const QString& gamePath, const QString& path)
{
    return !gamePath.isEmpty() && !PathBelowOnDisk(assetsFolder(gamePath), path).isEmpty();
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
