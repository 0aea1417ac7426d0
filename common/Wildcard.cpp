#include "common/Wildcard.h"

#include "platform/Links.h"
#include "platform/Paths.h"

#include <QDir>

#include <algorithm>

namespace {

// "*" any run, "?" one character; both texts already case-folded. Backtracks only to the
// last "*", so the work stays linear in practice.
bool globMatch(const QString& pattern, const QString& name)
{
    qsizetype p = 0;
    qsizetype s = 0;
    qsizetype starP = -1;
    qsizetype starS = 0;
    while (s < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[s])) {
            ++p;
            ++s;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starS = s;
        } else if (starP >= 0) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

void sortIgnoringCase(QStringList& names)
{
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

} // namespace

bool hasWildcard(const QString& text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

bool wildcardMatch(const QString& pattern, const QString& name)
{
    const QString p = pattern.toCaseFolded();
    const QString n = name.toCaseFolded();
    if (p.endsWith(QLatin1String(".*")))
        return globMatch(p, n) || globMatch(p.chopped(2), n);
    if (p.size() > 1 && p.endsWith(QLatin1Char('.')))
        return !n.contains(QLatin1Char('.')) && globMatch(p.chopped(1), n);
    return globMatch(p, n);
}

bool wildcardMatchAny(const QString& patterns, const QString& name)
{
    const QStringList list = patterns.split(QLatin1Char(';'));
    for (const QString& one : list) {
        const QString pattern = one.trimmed();
        if (!pattern.isEmpty() && wildcardMatch(pattern, name))
            return true;
    }
    return false;
}

QStringList matchingFileNames(const QString& folder, const QString& patterns)
{
    if (folder.isEmpty())
        return {};
    QStringList names;
    const QStringList all = QDir(platform::nativePath(folder)).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : all) {
        if (wildcardMatchAny(patterns, name))
            names.append(name);
    }
    sortIgnoringCase(names);
    return names;
}

QStringList subFolderNamesOf(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // A linked folder is a folder; a link that leads nowhere is none, and a name that is no
    // text cannot be opened.
    QStringList names;
    for (const platform::FolderEntry& entry : platform::folderEntries(platform::nativePath(folder)))
        if (entry.isFolder() && entry.nameIsText)
            names.append(entry.name);
    sortIgnoringCase(names);
    return names;
}
