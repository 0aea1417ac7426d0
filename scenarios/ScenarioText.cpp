#include "scenarios/ScenarioText.h"

#include "common/TagText.h"
#include "common/Vb.h"

#include <algorithm>

namespace scenarios {

namespace {

bool isTag(const QString& what)
{
    return !what.isEmpty() && what.front() == QLatin1Char('<');
}

qsizetype indexOfTag(QStringView text, QStringView what, qsizetype from)
{
    for (;;) {
        const qsizetype at = text.indexOf(what.front(), from);
        if (at < 0 || at + what.size() > text.size())
            return -1;
        if (text.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return at;
        from = at + 1;
    }
}

qsizetype lastIndexOfTag(QStringView text, QStringView what)
{
    qsizetype from = text.size() - what.size();
    while (from >= 0) {
        const qsizetype at = text.lastIndexOf(what.front(), from);
        if (at < 0)
            return -1;
        if (text.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0)
            return at;
        from = at - 1;
    }
    return -1;
}

} // namespace

qsizetype lastIndexIgnoringCase(QStringView text, QStringView what)
{
    if (what.isEmpty() || what.front() != QLatin1Char('<'))
        return text.lastIndexOf(what, Qt::CaseInsensitive);
    return lastIndexOfTag(text, what);
}

qsizetype findText(qsizetype start, const QString& text, const QString& what)
{
    if (!isTag(what) || start < 1)
        return vb::InStr(start, text, what, vb::Compare::Text);
    const qsizetype at = indexOfTag(text, what, start - 1);
    return at < 0 ? 0 : at + 1;
}

qsizetype findTextBack(const QString& text, const QString& what, qsizetype at)
{
    if (!isTag(what) || at < 1 || at > text.size())
        return vb::InStrRev(text, what, at, vb::Compare::Text);
    const qsizetype found = lastIndexIgnoringCase(QStringView(text).left(at), what);
    return found < 0 ? 0 : found + 1;
}

QString blueprintBinFile(const QString& gamePath, const QString& provider, const QString& product,
                         const QString& blueprint)
{
    if (blueprint.size() < 3)
        return QString();
    return gamePath + QStringLiteral("\\Assets\\") + provider + QLatin1Char('\\') + product + QLatin1Char('\\')
        + blueprint.left(blueprint.size() - 3) + QStringLiteral("bin");
}

bool firstElementValue(const QString& text, const QString& tag, QString& value)
{
    qsizetype pos = 1;
    QString read;
    tags::scenarioEditor::GetDetail(text, pos, tag, read);
    if (pos <= 0)
        return false;
    value = read;
    return true;
}

} // namespace scenarios
