#include "common/GameReference.h"

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

bool LiesBelowAssets(const QString& gamePath, const QString& path)
{
    return !gamePath.isEmpty() && !PathBelow(assetsFolder(gamePath), path).isNull();
}

QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets)
{
    const QString path = assetsFolder(gamePath) + QLatin1Char('\\') + belowAssets;
    return LiesBelowAssets(gamePath, path) ? path : QString();
}
