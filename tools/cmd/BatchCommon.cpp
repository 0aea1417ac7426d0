#include "tools/cmd/BatchCommon.h"

#include "common/Wildcard.h"
#include "platform/Paths.h"

#include <QDir>

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

QFileInfoList entries(const QString& folder)
{
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                      QDir::Name | QDir::IgnoreCase);
}

bool linkLeadsInside(const QFileInfo& link, const QString& root)
{
    const QString target = link.canonicalFilePath();
    return !target.isEmpty() && !root.isEmpty() && isSameOrInside(target, root) && target != root;
}

void collect(const QString& folder, const QString& rel, const QString& pattern, bool recurse, bool wantDirs,
             const LinkRule& rule, QList<Found>& out, QStringList* allDirs)
{
    const QFileInfoList list = entries(folder);
    for (const QFileInfo& fi : list) {
        if (!wildcardMatch(pattern, fi.fileName()))
            continue;
        if (fi.isSymLink()) {
            if ((rule.kind == LinkRule::AsFile && !fi.isDir())
                || (rule.kind == LinkRule::Inside && fi.isFile() && linkLeadsInside(fi, rule.root)))
                out.append({fi.filePath(), rel, false});
        } else if (fi.isDir()) {
            if (wantDirs)
                out.append({fi.filePath(), rel, true});
        } else if (fi.isFile()) {
            out.append({fi.filePath(), rel, false});
        }
    }
    if (!recurse)
        return;
    for (const QFileInfo& fi : list) {
        if (!fi.isDir() || fi.isSymLink())
            continue;
        const QString r = rel + fi.fileName() + QLatin1Char('/');
        if (allDirs)
            allDirs->append(r);
        collect(fi.filePath(), r, pattern, recurse, wantDirs, rule, out, allDirs);
    }
}

} // namespace cmd
