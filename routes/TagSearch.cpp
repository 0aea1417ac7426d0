#include "routes/TagSearch.h"

namespace routes {

bool EndsTagName(QStringView text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return false;
    const QChar c = text[at];
    return c == u'>' || c == u'/' || c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

qsizetype LastStartTag(QStringView text, QStringView tag, qsizetype from, qsizetype before, Qt::CaseSensitivity cs)
{
    const QStringView region = text.mid(from, before - from);
    qsizetype end = region.size();
    while (end > 0) {
        const qsizetype at = region.left(end).lastIndexOf(tag, cs);
        if (at < 0)
            return -1;
        if (EndsTagName(region, at + tag.size()))
            return from + at;
        end = at + tag.size() - 1;
    }
    return -1;
}

} // namespace routes
