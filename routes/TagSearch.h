#pragma once
// Start tags found by name in a route or scenario text, for the commands that read elements
// without parsing the XML (the stock list and the substitution).

#include <QStringView>
#include <Qt>

namespace routes {

// True when the character at position at (from 0) ends a tag name: a blank, a line end, the
// tag's ">" or the "/" of an empty element. False past the end of text.
bool EndsTagName(QStringView text, qsizetype at);

// The position (from 0) of the last start tag tag (with its "<", as "<Provider") that lies in
// text[from, before) and whose name ends inside that range; -1 when there is none.
qsizetype LastStartTag(QStringView text, QStringView tag, qsizetype from, qsizetype before,
                       Qt::CaseSensitivity cs = Qt::CaseSensitive);

} // namespace routes
