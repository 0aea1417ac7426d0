#include "common/ScenarioEntries.h"

#include "common/GameTextConstants.h"
#include "common/Vb.h"

using vb::Compare;
using vb::InStr;
using vb::InStrRev;

namespace {

using gametext::kDevStringStart;
const QString kDevStringEnd = QStringLiteral("</DevString");

} // namespace

QString DevStringValue(const QString& text, qsizetype p, qsizetype& endTag)
{
    endTag = vb::InStrText(p, text, kDevStringEnd);
    if (endTag == 0)
        return QString();
    const qsizetype s = InStrRev(text, QStringLiteral(">"), endTag);
    if (s < p) // no ">" inside the element: nothing to read
        return QString();
    return text.mid(s, endTag - s - 1);
}

bool NextDevString(const QString& text, qsizetype& p, qsizetype& endTag, QString& value)
{
    endTag = 0;
    p = vb::InStrText(p, text, kDevStringStart);
    if (p == 0)
        return false;
    value = DevStringValue(text, p, endTag);
    return endTag != 0;
}

QString ReadLocalisedName(const QString& text, qsizetype e, qsizetype limit, qsizetype& lastEndTag)
{
    static const QString languages[] = {QStringLiteral("English"), QStringLiteral("French"),
                                        QStringLiteral("Italian"), QStringLiteral("German"),
                                        QStringLiteral("Spanish")};
    const qsizetype end = limit > 0 ? limit : text.size() + 1;
    qsizetype start = e;
    lastEndTag = e;
    QString name;
    for (const QString& language : languages) {
        const qsizetype a = vb::InStrText(start, text, QLatin1Char('<') + language);
        if (a == 0 || a >= end)
            continue; // absent: the next language is looked for from the same place
        start = a;
        const qsizetype b = vb::InStrText(a, text, QStringLiteral("</") + language);
        if (b == 0 || b >= end)
            continue;
        lastEndTag = b;
        const qsizetype s = InStrRev(text, QStringLiteral(">"), b);
        name = s >= a ? text.mid(s, b - s - 1) : QString();
        if (!name.isEmpty())
            break;
    }
    return name;
}

ScenarioEntry FindScenarioEntry(const QString& text, const QString& folder, qsizetype from)
{
    return FindDevStringEntry(text, folder, kScenarioEntryStart, kScenarioEntryEnd, false, from);
}

ScenarioEntry FindDevStringEntry(const QString& text, const QString& folder, const QString& entryStart,
                                 const QString& entryEnd, bool closedOnly, qsizetype from)
{
    qsizetype q = from < 1 ? 1 : from;
    for (;;) {
        q = vb::InStrText(q, text, kDevStringStart);
        if (q == 0)
            return {};
        qsizetype e = 0;
        const QString value = DevStringValue(text, q, e);
        if (e == 0)
            return {};
        if (value.compare(folder, Qt::CaseInsensitive) == 0) {
            const qsizetype a = InStrRev(text, entryStart, q, Compare::Text);
            const qsizetype closedAt = a > 0 ? vb::InStrText(a, text, entryEnd) : 0;
            if (a > 0 && (closedAt > q || (closedAt == 0 && !closedOnly))) {
                ScenarioEntry entry;
                entry.start = a;
                entry.devString = q;
                entry.end = vb::InStrText(e, text, entryEnd);
                return entry;
            }
        }
        q = e;
    }
}
