#include "assets/AssetClone.h"

#include "assets/ChildEntries.h"
#include "common/GameReference.h"
#include "common/GameTextConstants.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "platform/Paths.h"

namespace assets {

namespace {

using gametext::kCrLf;

QString beforeLast(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('\\')));
}

QString afterLast(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString withoutTrailingBackslash(QString folder)
{
    if (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder;
}

} // namespace

bool isOrLiesIn(const QString& path, const QString& root)
{
    // A name below path lies below root exactly when path is root or lies inside it ("*" is
    // no step and no name a folder can have).
    return !PathBelow(root, path + QStringLiteral("\\*")).isNull();
}

bool samePlace(const QString& a, const QString& b)
{
    return isOrLiesIn(a, b) && isOrLiesIn(b, a);
}

CloneSource cloneSource(CloneKind kind, const QString& fullPath)
{
    CloneSource s;
    s.fullPath = fullPath;
    s.oldFileName = afterLast(fullPath);
    const qsizetype dot = s.oldFileName.lastIndexOf(QLatin1Char('.'));
    s.baseName = dot < 0 ? s.oldFileName : s.oldFileName.left(dot);
    const QString blueprintFolder = beforeLast(fullPath);
    s.blueprintFolderName = afterLast(blueprintFolder);
    const QString parent = beforeLast(blueprintFolder);
    s.oldFolderPair = afterLast(parent) + QLatin1Char('\\') + s.blueprintFolderName;
    if (kind == CloneKind::Asset) {
        s.sourceFolder = blueprintFolder;
        s.defaultDestination = parent;
    } else {
        s.sourceFolder = parent;
        s.defaultDestination = beforeLast(parent);
    }
    return s;
}

CloneTarget cloneTarget(CloneKind kind, const CloneSource& source, const QString& newFolderName,
                        const QString& newFileName)
{
    CloneTarget t;
    t.folder = withoutTrailingBackslash(newFolderName);
    const QString newBin = newFileName + QStringLiteral(".bin");
    // Into the proposed folder itself, the copied folder's own name drops out of the pair: the
    // proposed folder's name and a "\" ("\" and the blueprint folder's name for the default
    // asset), as the folder box left as proposed reads.
    const bool intoProposed = samePlace(t.folder, source.defaultDestination);
    const QString last = intoProposed ? QString() : afterLast(t.folder);
    if (kind == CloneKind::Asset) {
        t.newFolderPair = intoProposed ? afterLast(source.defaultDestination) + QLatin1Char('\\')
                                       : afterLast(beforeLast(t.folder)) + QLatin1Char('\\') + last;
        t.oldNameCopy = t.folder + QLatin1Char('\\') + source.oldFileName;
        t.newBlueprint = t.folder + QLatin1Char('\\') + newBin;
    } else {
        t.newFolderPair = last + QLatin1Char('\\') + source.blueprintFolderName;
        const QString inner = t.folder + QLatin1Char('\\') + source.blueprintFolderName + QLatin1Char('\\');
        t.oldNameCopy = inner + source.oldFileName;
        t.newBlueprint = inner + newBin;
    }
    return t;
}

QString cloneBatchLine(const QString& sourceFolder, const QString& destinationFolder)
{
    const QChar q = QLatin1Char('"');
    return QStringLiteral("Call xcopy ") + q + sourceFolder + QStringLiteral("\\*.*") + q + QLatin1Char(' ') + q
        + destinationFolder + QStringLiteral("\\*.*") + q + QStringLiteral(" /s /y") + kCrLf;
}

QString clonedBlueprintText(const QString& xml, const QString& newItemName, const QString& oldFolderPair,
                            const QString& newFolderPair)
{
    QString text = xml;
    // The name goes in as element text: "&", "<" and ">" escaped.
    tags::assetWindow::PutLocalisedTextChain(text, tags::escapeBoxText(newItemName));
    if (!oldFolderPair.isEmpty() && !text.isEmpty())
        text = vb::Replace(text, oldFolderPair, newFolderPair, 1, -1, vb::Compare::Text);
    return text + kCrLf;
}

QString newNameRefusal(const QString& fileName, const QString& internalName, const QString& folderName,
                       const QString& sourceFolder)
{
    if (fileName.isEmpty() || internalName.isEmpty() || folderName.isEmpty())
        return emptyBoxMessage();
    if (!isUsableFileName(fileName))
        return badFileNameMessage(fileName);
    const bool absolute = platform::hasDriveLetter(folderName) || folderName.startsWith(QLatin1Char('/'));
    bool badCharacter = false;
    for (const QChar c : folderName)
        badCharacter = badCharacter || c.unicode() < 32 || QStringLiteral("*?\"<>|").contains(c);
    if (!absolute || badCharacter)
        return badCloneFolderMessage(folderName);
    if (isOrLiesIn(folderName, sourceFolder))
        return cloneIntoSourceMessage(sourceFolder);
    return QString();
}

QString badCloneFolderMessage(const QString& folder)
{
    return QStringLiteral("\"") + folder + QStringLiteral("\" cannot be used as the folder of the copy.") + kCrLf
        + QStringLiteral("Please enter a full folder path without * ? \" < > |.");
}

QString cloneIntoSourceMessage(const QString& sourceFolder)
{
    return QStringLiteral("The copy cannot go into the folder it is copied from:") + kCrLf + sourceFolder;
}

} // namespace assets
