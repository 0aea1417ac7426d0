#pragma once
// The deletion of a route from the game: its "cRouteProperties" element in
// "Content\Routes.xml" and its folder below "Content\Routes".

#include <QString>

namespace packaging {

// What a deletion did.
enum class RouteDeleteResult {
    NotFound,     // the folder name is unusable or the route's element is missing: nothing changed
    ListNotSaved, // "Routes.xml" could not be written: nothing changed
    Deleted,      // the element is gone and so is the folder
    FolderLeft,   // the element is gone, the folder (or part of it) is still there
};

// Deletes the route whose folder below gamePath & "\Content\Routes" is routeFolder (a folder
// name that IsUsableFolderName accepts). "Routes.xml" at routesXmlPath is read afresh and its
// element for the folder found by its DevString; the list without it is written (whole, never
// half) before the folder is deleted, so a failed write deletes nothing. A folder that is
// already gone is no reason to keep the element: the list is still written. Every outcome but
// Deleted is reported to the user. On Deleted and FolderLeft routesXmlText receives the text
// written.
RouteDeleteResult DeleteRoute(const QString& gamePath, const QString& routesXmlPath, const QString& routeFolder,
                              QString& routesXmlText);

} // namespace packaging
