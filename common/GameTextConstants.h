#pragma once

// Pieces of text that many readers and writers of game files look for or write: one
// definition each, so that a search and the text it searches for cannot drift apart.

#include <QString>

namespace gametext {

// The line end every game file and message uses.
inline const QString kCrLf = QStringLiteral("\r\n");

// The start of a display-name element.
inline const QString kDevStringStart = QStringLiteral("<DevString");

// A blueprint's list of child entries.
inline const QString kChildren = QStringLiteral("<Children>");

} // namespace gametext
