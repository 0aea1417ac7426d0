#pragma once
// Paths built from text found inside game files (blueprint, geometry and texture IDs, provider
// and product names, "..\" steps): such text may climb out of the game with "..\" steps, so
// every path made from it is checked to lie below the game's "Assets" folder before anything
// is read or written for it.

#include <QString>

// The part of path below root in Windows form without a leading "\", compared ignoring case,
// after resolving "..\" steps (and ".\" steps) in both; a null QString when path does not lie
// below root. Either may use "\" or "/".
QString PathBelow(const QString& root, const QString& path);

// True when path lies below gamePath & "\Assets" once its "." and ".." steps are resolved.
bool LiesBelowAssets(const QString& gamePath, const QString& path);

// gamePath & "\Assets\" & belowAssets when that lies below the Assets folder; a null QString
// when the text leads elsewhere (or names the Assets folder itself).
QString AssetsPathFromText(const QString& gamePath, const QString& belowAssets);
