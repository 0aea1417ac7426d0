#include "tools/cmd/BatchCommon.h"

#include "common/Wildcard.h"
#include "platform/Paths.h"

#include <QDir>

#include <algorithm>

namespace cmd {

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isReadOnly(const QFileInfo& info)
{
    return !(info.permissions() & QFileDevice::WriteOwner);
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool isSameOrInside(const QString& inner, const QString& outer)
{
    if (inner == outer)
        return true;
    return inner.startsWith(outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/'));
}

QChar driveOf(const QString& folder)
{
    const QString prefix = platform::winePrefix() + QStringLiteral("/dosdevices/");
    if (folder.startsWith(prefix) && folder.size() >= prefix.size() + 2
        && folder[prefix.size() + 1] == QLatin1Char(':') && isAsciiLetter(folder[prefix.size()])
        && (folder.size() == prefix.size() + 2 || folder[prefix.size() + 2] == QLatin1Char('/')))
        return folder[prefix.size()].toLower();
    return QChar();
}

namespace {

void collectIn(const QString& folder, const QString& rel, const QString& pattern, bool recurse, bool wantDirs,
               platform::LinkView view, platform::WalkWay& way, QList<Found>& out, QStringList* allDirs)
{
    QList<platform::FolderEntry> list = platform::folderEntries(folder, view);
    std::sort(list.begin(), list.end(), [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    const QString prefix = folder + QLatin1Char('/');
    for (const platform::FolderEntry& e : std::as_const(list)) {
        const bool matches = wildcardMatch(pattern, e.name);
        // What may have been a folder is missing to a walk through it, whatever its name.
        const bool mayHaveBeenFolder = recurse && view == platform::LinkView::Through
                                       && e.standing == platform::Standing::Nowhere;
        const bool unwalkable = recurse && !e.nameIsText && e.isFolder();
        if (!matches && !mayHaveBeenFolder && !unwalkable)
            continue;
        if (e.isFolder() && !wantDirs && !unwalkable)
            continue;
        if (e.standing == platform::Standing::Other)
            continue; // a device, pipe or socket is no file to work on
        out.append({e.nameIsText ? e.path : prefix + e.name, rel, e.standing, e.nameIsText});
    }
    if (!recurse)
        return;
    for (const platform::FolderEntry& e : std::as_const(list)) {
        if (!e.isFolder() || !e.nameIsText || !way.enter(e))
            continue;
        const QString r = rel + e.name + QLatin1Char('/');
        if (allDirs)
            allDirs->append(r);
        collectIn(e.path, r, pattern, recurse, wantDirs, view, way, out, allDirs);
        way.leave();
    }
}

} // namespace

void collect(const QString& folder, const QString& pattern, bool recurse, bool wantDirs, platform::LinkView view,
             QList<Found>& out, QStringList* allDirs)
{
    platform::WalkWay way(folder);
    collectIn(withoutTrailingSlash(folder), QString(), pattern, recurse, wantDirs, view, way, out, allDirs);
}

QString missingReason(const Found& found)
{
    if (!found.nameIsText)
        return QStringLiteral("The name is not text in this system's encoding, so nothing can open it.");
    return QStringLiteral("The system cannot find the file specified (a link that leads nowhere).");
}

} // namespace cmd
