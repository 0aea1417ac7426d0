#pragma once
// The hub's "Add Route Loading Picture": a DDS image of the user's becomes a texture in the
// chosen route's "TemplateRoutes" folder, built around the program folder's
// "Templates\loading_default.dat", and the route's blueprint points its "TextureID" at it.

#include <QString>
#include <QStringList>

#include <functional>

namespace hub {

// Shows the route selection with these lines and returns the chosen line, 9999 for none.
using RouteChoice = std::function<int(const QStringList& names)>;

// Where a route's blueprint and loading picture lie, read from its Routes.xml entry.
struct RouteBlueprintRef {
    QString provider;
    QString product;
    QString blueprintId;
};

// Provider, Product and BlueprintID of the route whose "<DisplayName>" starts at displayPos
// (from 1): searched from the first "<iBlueprintLibrary" after it, and only inside that route's
// entry (up to its "</cRouteProperties>"). False when any of them is missing there.
bool FindRouteBlueprint(const QString& routesXml, qsizetype displayPos, RouteBlueprintRef& ref);

// A picture's name: the image's file name up to its first dot.
QString PictureName(const QString& imagePath);

// The whole command. Every check that can fail without the image (the blueprint reference,
// the blueprint, its "<Ghostentry" and "TextureID", the template) is made before the file
// dialog; the texture is put in place first, then the blueprint, each without a backup but
// staged beside its file and renamed over it. A provider, product or blueprint ID that leads
// out of the game's Assets folder is refused before anything is read.
void AddRouteLoadingPicture(const RouteChoice& chooseRoute);

} // namespace hub
