#pragma once
// Small readings of scenario and blueprint text shared by the scenario editor's pieces: the
// case-ignoring search they all use, the ".bin" file a blueprint reference names, and the
// value of a text's first element of a name.

#include <QString>
#include <QStringView>

namespace scenarios {

// The position (from 1) of the first occurrence of what in text at or after start, ignoring
// case; 0 when there is none. A text that starts with "<" is found by a fast scan for its
// "<", which keeps searches in a scenario of many megabytes quick.
qsizetype findText(qsizetype start, const QString& text, const QString& what);

// The last occurrence of what in text that ends at or before position at, ignoring case; 0
// when there is none.
qsizetype findTextBack(const QString& text, const QString& what, qsizetype at);

// The last occurrence of what in text, ignoring case, as an index from 0; -1 when none.
qsizetype lastIndexIgnoringCase(QStringView text, QStringView what);

// A blueprint's ".bin" file: gamePath & "\Assets\" & provider & "\" & product & "\" & the
// blueprint with its last three characters replaced by "bin" (references name the ".xml";
// the game folder holds the ".bin"). "" when the blueprint is shorter than three characters.
// The names come from the scenario and may lead out of the Assets folder: look for the file
// with AssetsFileExists (common/GameReference.h), which takes such a one for missing.
QString blueprintBinFile(const QString& gamePath, const QString& provider, const QString& product,
                         const QString& blueprint);

// The value of text's first element named tag (its first "<" & tag, ignoring case), read as
// the editor reads values; false, with value untouched, when text has no such element. A
// found element without its closing text throws VbError 5.
bool firstElementValue(const QString& text, const QString& tag, QString& value);

} // namespace scenarios
