#include "tools/cmd/Wildcard.h"

namespace cmd {

namespace {

// "*" any run, "?" one character; both texts already case-folded.
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

} // namespace cmd
