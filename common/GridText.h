#pragma once
// The text a grid is saved as: one line per row, cells separated by commas or tabs, every
// line ending in CR LF. A cell holding the separator, a double quote or a line break is put
// in double quotes, with each of its double quotes doubled.

#include <QList>
#include <QString>
#include <QStringList>

namespace grid {

enum class TextFormat { CommaSeparated, TabSeparated };

// One row's line, CR LF included.
QString rowLine(const QStringList& cells, TextFormat format);

// The lines of all rows, in order.
QString gridText(const QList<QStringList>& rows, TextFormat format);

} // namespace grid
