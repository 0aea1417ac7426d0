#pragma once
// The route description command's steps: the chosen route's "RouteInformation\En" folder, and
// the page "Description.html" filled from the program folder's "Templates\Description.txt".

#include "routes/RouteChooser.h"

#include <QString>
#include <QStringList>

namespace routes {

// The route folder of a chosen route: the "DevString" after the last "<DevString " at or
// before its "<DisplayName>"; "" when there is none.
QString RouteFolderOf(const QString& routesXml, const ChoosableRoute& route);

// Makes GamePath\Content\Routes\<folder>\RouteInformation and its "En" when missing and sets
// RouteInfoFolder to the latter. A folder name that cannot be used, or a folder that cannot be
// made, is reported and gives false (RouteInfoFolder unchanged).
bool PrepareRouteInfoFolder(const QString& routesXml, const ChoosableRoute& route);

// The template with "AAAAA".."EEEEE" (exact case) replaced in turn by the five texts, as typed.
QString FillDescription(QString page, const QStringList& texts);

// Fills the template with the five texts (title, sub-title, three paragraphs) and writes it as
// RouteInfoFolder\Description.html, replacing a page that is there; then the saved message.
// A missing or empty template or a failed write is reported and gives false (no saved message).
bool WriteRouteDescription(const QStringList& texts);

} // namespace routes
