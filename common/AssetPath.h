#pragma once

#include <QString>

// Splits the path of a blueprint file below the game's "Assets" folder into the three
// parts that the game's XML names it by: the provider folder, the product folder and
// the rest of the path (joined with "\"), with a final "bin" turned into "xml".
//
// The "Assets" component is matched exactly (letter case counts), as the game writes it;
// either separator is accepted. Returns false, and leaves the outputs empty, when the
// path has no such component followed by a provider, a product and a file.
bool SplitAssetPath(const QString& path, QString& provider, QString& product, QString& rest);

// The same cut for a file found on disk, as the asset list makes it: a path that starts with
// gamePath followed by an "Assets" component (components compared ignoring case, either
// separator) is cut there, else at its first component reading "Assets" in any case. rest is
// the remaining components joined with "\", the file name kept as it is. Returns false, and
// leaves the outputs empty, when no provider, product and file follow.
bool SplitAssetPath(const QString& path, const QString& gamePath, QString& provider, QString& product,
                    QString& rest);
