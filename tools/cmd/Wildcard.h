#pragma once
// Windows file-name wildcards, as the command interpreter matches them.

#include <QString>

namespace cmd {

// True when the text holds "*" or "?".
bool hasWildcard(const QString& text);

// Matches a file name against a pattern the Windows way: letter case is ignored, "*" stands
// for any run of characters, "?" for exactly one; a pattern ending in ".*" also matches a
// name without a dot ("*.*" matches every name, "Tree*.*" matches "Tree"), and a pattern
// ending in a lone "." matches only names without a dot ("*." the names without extension).
bool wildcardMatch(const QString& pattern, const QString& name);

} // namespace cmd
