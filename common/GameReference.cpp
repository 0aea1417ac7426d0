#include "common/GameReference.h"

#include "common/FileProcs.h"
#include "platform/Links.h"
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

} // namespace

QString WhereLeads(const QString& path)
{
    return platform::leadsTo(platform::nativePath(path));
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

bool nowhereOnTheWay(const QString& folder, const QString& below)
{
    return !platform::nowhereOnTheWay(folder, below).isNull();
}

// The part of native below root when one of the folders on native's way leads to where root
// leads (reached by another path: a drive's own folder, a link to the game); below that folder
// links are followed wherever they lead. Outside when none does, Missing when a link on the way
// leads nowhere.
Reach partBelowByWay(const QString& root, const QString& native, QString& below)
{
    const QString rootLeads = WhereLeads(root);
    const QStringList names = QDir::cleanPath(QDir(native).absolutePath()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString way;
    QString leads;
    bool exists = true;
    bool nowhere = false; // a link on the way leads nowhere: where it would lead is unknown
    for (qsizetype k = 0; k < names.size(); ++k) {
        way += QLatin1Char('/') + names[k];
        if (exists) {
            const QString canonical = QFileInfo(way).canonicalFilePath();
            exists = !canonical.isEmpty();
            nowhere = !exists && platform::leadsNowhere(way);
            leads = exists ? canonical : leads + QLatin1Char('/') + names[k];
        } else {
            leads += QLatin1Char('/') + names[k];
        }
        if (leads == rootLeads) {
            // Root itself may be the link that leads nowhere (the whole Assets folder unplugged).
            below = names.mid(k + 1).join(QLatin1Char('/'));
            return nowhere || nowhereOnTheWay(way, below) ? Reach::Missing : Reach::Below;
        }
    }
    return Reach::Outside;
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

QString PathBelowOnDisk(const QString& root, const QString& path, Reach* reach)
{
    Reach found = Reach::Outside;
    QString below;
    if (!root.isEmpty() && !path.isEmpty()) {
        // Most paths are named from root's own text: both turn into the same names on this
        // machine, and a link below root is followed wherever it leads. That needs no resolving
        // of links.
        const QString nativeRoot = withoutTrailingSlash(platform::nativePath(root));
        const QString nativeTo = withoutTrailingSlash(platform::nativePath(path));
        if (QDir::isAbsolutePath(nativeRoot) && partBelow(nativeRoot, nativeTo, below))
            found = nowhereOnTheWay(nativeRoot, below) ? Reach::Missing : Reach::Below;
        else
            found = partBelowByWay(root, nativeTo, below);
    }
    if (reach)
        *reach = found;
    return found == Reach::Below ? windowsForm(below) : QString();
}

bool LiesBelow(const QString& root, const QString& path)
{
    // Text whose steps climb out of the folder is refused before anything on its way is looked
    // at; what stays inside by its text is then followed on disk.
    QStringList below;
    return namesWithin(root, path, below) && !below.isEmpty() && !PathBelowOnDisk(root, path).isEmpty();
}

Reach ReachBelowAssets(const QString& gamePath, const QString& path)
{
    // The steps may climb to the game folder and back into Assets, never above the game folder.
    QStringList below;
    if (gamePath.isEmpty() || !namesWithin(gamePath, path, below) || below.size() < 2
        || below.first().compare(QLatin1String("Assets"), Qt::CaseInsensitive) != 0)
        return Reach::Outside;
    Reach reach = Reach::Outside;
    const QString onDisk = PathBelowOnDisk(assetsFolder(gamePath), path, &reach);
    return reach == Reach::Below && onDisk.isEmpty() ? Reach::Outside : reach;
}

bool LiesBelowAssets(const QString& gamePath, const QString& path)
{
    return ReachBelowAssets(gamePath, path) == Reach::Below;
}

QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets, Reach* reach)
{
    const QString path = assetsFolder(gamePath) + QLatin1Char('\\') + belowAssets;
    const Reach found = ReachBelowAssets(gamePath, path);
    if (reach)
        *reach = found;
    return found == Reach::Below ? path : QString();
}

QString AssetsPathOrMissing(const QString& gamePath, const QString& belowAssets)
{
    Reach reach = Reach::Outside;
    const QString path = AssetsPathFromText(gamePath, belowAssets, &reach);
    return reach == Reach::Missing ? assetsFolder(gamePath) + QLatin1Char('\\') + belowAssets : path;
}

bool AssetsFileExists(const QString& gamePath, const QString& path)
{
    return LiesBelowAssets(gamePath, path) && FileExists(path);
}

QString NamesNotTextMessage(const QStringList& paths, const QString& done)
{
    constexpr qsizetype kShown = 20;
    QString text = QStringLiteral("These files and folders were not ") + done
                   + QStringLiteral(": their names are not text on this system, as names copied from Windows without "
                                    "conversion. Rename them to take them in.\r\n");
    for (qsizetype k = 0; k < paths.size() && k < kShown; ++k)
        text += QStringLiteral("\r\n") + paths[k];
    if (paths.size() > kShown)
        text += QStringLiteral("\r\n... and ") + QString::number(paths.size() - kShown) + QStringLiteral(" more.");
    return text;
}
