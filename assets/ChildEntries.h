#pragma once
// The text work on a rolling-stock blueprint's child entries, without the windows: the names
// of its child entries, the cut of chosen entries, the cut of the whole "Children" element that
// makes stock dead, and the names and checks of the save dialog (dlgCoachName). All searches
// ignore case.

#include <QString>
#include <QStringList>

namespace assets {

// The start and end tags of one child entry.
inline const QString kChildEntryStart = QStringLiteral("<cEntityContainerBlueprint-sChild");
inline const QString kChildEntryEnd = QStringLiteral("</cEntityContainerBlueprint-sChild>");

// The "ChildName" values after the first "<ContainerComponent>", in the order found; none
// when the text has no "<ContainerComponent>".
QStringList childEntryNames(const QString& xml);

// The text with the child entries of the given names cut out, one name after another: each
// cut takes the "cEntityContainerBlueprint-sChild" entry around the first element after
// "<Children>" whose whole text is the name, from its start tag to its end tag, so the
// indentation before the entry and the line break after it stay. A name that is no longer
// found after "<Children>", or that no entry surrounds, is skipped and listed.
struct ChildCut {
    QString text;
    QStringList skipped;
};
ChildCut cutChildEntries(const QString& xml, const QStringList& names);

// Dead stock: cuts the whole "Children" element together with the line break before it (the
// last line feed before "<Children>", and a carriage return right before that) and the
// indentation of its line; the line break after "</Children>" stays. The text is changed only
// when the cut is Done.
enum class DeadCut { Done, NoChildren, NoChildrenEnd };
DeadCut cutChildrenElement(QString& text);
QString deadCutMessage(DeadCut result, const QString& blueprintPath);

// The dead copy's display name (the trimmed name & "_Dead") and file base name.
QString deadItemName(const QString& displayName);
QString deadBaseName(const QString& baseName);

// The save dialog's options, index 0 to 7: caption and the suffix the names get ("Spare" none).
struct CoachOption {
    const char* caption;
    const char* suffix;
};
inline constexpr int kCoachOptionCount = 8;
const CoachOption& coachOption(int index);

// What the save dialog's OK refuses (the dialog staying open): an empty or blank box, and a
// file name that cannot be a file's name. "" when both boxes can be taken.
QString coachNameRefusal(const QString& fileName, const QString& internalName);

// A name that can be one file or folder name on Windows: not empty or blank, not "." or "..",
// none of \ / : * ? " < > | or control characters.
bool isUsableFileName(const QString& name);
QString emptyBoxMessage();
QString badFileNameMessage(const QString& name);

} // namespace assets
