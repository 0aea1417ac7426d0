#include "hub/TextSearch.h"

namespace hub {

QString searchLines(const QString& what)
{
    if (!what.contains(QLatin1Char('\r')))
        return what;
    QString out = what;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

qsizetype findInText(QStringView text, QStringView what, qsizetype start, qsizetype end, int options)
{
    if (what.isEmpty() || start < 0 || start > text.size())
        return -1;
    const Qt::CaseSensitivity cs = (options & TextFindMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options & TextFindWholeWord;
    for (qsizetype from = start;;) {
        const qsizetype at = text.indexOf(what, from, cs);
        if (at < 0)
            return -1;
        const qsizetype after = at + what.size();
        if (end >= 0 && after > end)
            return -1;
        if (!wholeWord
            || ((at == 0 || !text.at(at - 1).isLetterOrNumber())
                && (after == text.size() || !text.at(after).isLetterOrNumber())))
            return at;
        from = at + 1;
    }
}

QList<qsizetype> matchesToReplace(QStringView text, QStringView what)
{
    QList<qsizetype> found;
    if (what.isEmpty())
        return found;
    for (qsizetype at = text.indexOf(what, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(what, at + what.size(), Qt::CaseInsensitive))
        found.append(at);
    return found;
}

} // namespace hub
