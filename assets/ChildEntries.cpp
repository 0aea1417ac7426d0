#include "assets/ChildEntries.h"

#include "common/GameTextConstants.h"
#include "common/Vb.h"
#include "common/VbError.h"

namespace assets {

namespace {

using gametext::kCrLf;
using gametext::kChildren;
const QString kChildrenEnd = QStringLiteral("</Children>");

qsizetype find(qsizetype start, const QString& text, const QString& what)
{
    return vb::InStrText(start, text, what);
}

} // namespace

QStringList childEntryNames(const QString& xml)
{
    QStringList names;
    qsizetype p = find(1, xml, QStringLiteral("<ContainerComponent>"));
    if (p == 0)
        return names;
    for (;;) {
        const qsizetype q = find(p, xml, QStringLiteral("<ChildName"));
        if (q == 0)
            break;
        // The element's text: from the ">" that ends its opening tag to its closing tag.
        const qsizetype gt = find(q, xml, QStringLiteral(">"));
        const qsizetype close = gt == 0 ? 0 : find(gt, xml, QStringLiteral("</ChildName"));
        if (close == 0)
            break; // an element that is never closed
        names.append(vb::Mid(xml, gt + 1, close - gt - 1));
        p = q + 10;
    }
    return names;
}

ChildCut cutChildEntries(const QString& xml, const QStringList& names)
{
    ChildCut cut{xml, {}};
    QString& text = cut.text;
    for (const QString& name : names) {
        const qsizetype c = find(1, text, kChildren);
        const qsizetype p = c == 0 ? 0 : find(c + 5, text, QLatin1Char('>') + name + QLatin1Char('<'));
        const qsizetype b = p == 0 ? 0 : vb::InStrRev(text, kChildEntryStart, p, vb::Compare::Text);
        const qsizetype e = b <= c ? 0 : find(b, text, kChildEntryEnd);
        if (p == 0 || b <= c || e < p) {
            cut.skipped.append(name);
            continue;
        }
        text = vb::Left(text, b - 1) + vb::Mid(text, e + kChildEntryEnd.size());
    }
    return cut;
}

DeadCut cutChildrenElement(QString& text)
{
    const qsizetype c = find(1, text, kChildren);
    if (c == 0)
        return DeadCut::NoChildren;
    qsizetype b = vb::InStrRev(text, QStringLiteral("\n"), c);
    if (b == 0)
        b = c; // on the first line: nothing before it to take
    else if (b > 1 && text.at(b - 2) == QLatin1Char('\r'))
        --b;
    const qsizetype e = find(c, text, kChildrenEnd);
    if (e == 0)
        return DeadCut::NoChildrenEnd;
    text = vb::Left(text, b - 1) + vb::Mid(text, e + kChildrenEnd.size());
    return DeadCut::Done;
}

QString deadCutMessage(DeadCut result, const QString& blueprintPath)
{
    switch (result) {
    case DeadCut::Done:
        return QString();
    case DeadCut::NoChildren:
        return blueprintPath + QStringLiteral(" has no <Children> element.") + kCrLf
            + QStringLiteral("No dead copy has been made of it.");
    case DeadCut::NoChildrenEnd:
        return blueprintPath + QStringLiteral(" has no </Children> after its <Children>.") + kCrLf
            + QStringLiteral("No dead copy has been made of it.");
    }
    return QString();
}

QString deadItemName(const QString& displayName)
{
    return vb::Trim(displayName) + QStringLiteral("_Dead");
}

QString deadBaseName(const QString& baseName)
{
    return baseName + QStringLiteral("_Dead");
}

const CoachOption& coachOption(int index)
{
    static const CoachOption options[kCoachOptionCount] = {
        {"Empty", "_MT"},
        {"Driver Only (EMU/DMU)", "_DO"},
        {"Passengers Only (EMU/DMU)", "_PO"},
        {"No Driver", "_ND"},
        {"Driver Front", "_DF"},
        {"Driver Rear", "_DR"},
        {"Dead", "_DEAD"},
        {"Spare", ""},
    };
    if (index < 0 || index >= kCoachOptionCount)
        throw VbError(9);
    return options[index];
}

bool isUsableFileName(const QString& name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString coachNameRefusal(const QString& fileName, const QString& internalName)
{
    if (fileName.trimmed().isEmpty() || internalName.trimmed().isEmpty())
        return emptyBoxMessage();
    if (!isUsableFileName(fileName))
        return badFileNameMessage(fileName);
    return QString();
}

QString emptyBoxMessage()
{
    return QStringLiteral("You have failed to complete one of the boxes?");
}

QString badFileNameMessage(const QString& name)
{
    return QStringLiteral("\"") + name + QStringLiteral("\" cannot be used as a file name.") + kCrLf
        + QStringLiteral("Please enter a name without \\ / : * ? \" < > | that is not \".\" or \"..\".");
}

} // namespace assets
