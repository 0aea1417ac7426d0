#pragma once
// Cloning a route: its whole folder tree is copied into a new folder named by a new GUID, and
// "Content\Routes.xml" gets a copy of the route's "cRouteProperties" entry, standing directly
// before the source's, with the new name, new UUID numbers and the new folder as "DevString".
//
// The text work (finding the entry, rewriting the copy) is pure; CloneRoute carries out the
// whole command through the user-interface seam. Texts are searched as one whole text, by tag
// name, ignoring case, with positions counted from 1.

#include <QString>

#include <functional>

namespace routes {

// Where one route's entry stands in the text of "Routes.xml" (positions from 1).
struct RouteEntry {
    qsizetype start = 0;     // its "<cRouteProperties"
    qsizetype end = 0;       // the position just after its "</cRouteProperties>"
    qsizetype uuid = 0;      // its "<UUID>"
    qsizetype devString = 0; // its "<DevString"
};

enum class RouteEntryFault {
    None,
    NotFound, // no closed "cRouteProperties" entry whose "DevString" is the folder
    NoUuid,   // the entry lacks "<UUID>" with two "e" elements, or the "DevString" after them
};

// Finds the "cRouteProperties" entry whose "DevString" is the folder name, the whole of it
// (ignoring case): another route whose name or folder merely holds the text is never taken.
// The entry must be closed and hold "<UUID>" with two "e" elements inside it, followed by
// that "DevString".
RouteEntryFault FindRouteEntry(const QString& text, const QString& folder, RouteEntry& entry);

// Replaces every occurrence of oldName (ignoring case) by newName inside the element texts of
// xml, never in tag names or attribute values. An empty oldName replaces nothing.
QString ReplaceInElementTexts(const QString& xml, const QString& oldName, const QString& newName);

// The clone of one entry (the text from "<cRouteProperties" to its end tag): the old name
// replaced by newXmlName in its element texts, the two "e" elements after "<UUID>" set to
// half1 and half2 and the "DevString" after them to guid. False (entry unchanged) when one of
// those elements is missing.
bool RewriteRouteEntry(QString& entry, const QString& oldName, const QString& newXmlName, const QString& guid,
                       const QString& half1, const QString& half2);

// The text of "Routes.xml" with the clone of folder's entry inserted directly before it. The
// new name is written escaped ("&", "<" and ">"; entities already typed stay as they are).
// On a fault, newText is left alone.
RouteEntryFault CloneRouteEntry(const QString& routesXml, const QString& folder, const QString& oldName,
                                const QString& newName, const QString& guid, const QString& half1,
                                const QString& half2, QString& newText);

// The one line of "do_clone.bat", with its CR LF.
QString CloneBatchLine(const QString& sourceFolder, const QString& newFolder);

// Clones the route whose folder below "Content\Routes" is routeFolder and whose display name
// is oldName: asks for the new name, checks that the entry can be cloned and "Routes.xml"
// backed up, copies the folder through "TempFiles\do_clone.bat", and puts the new
// "Routes.xml" in place with a backup. Every failure is reported; after one, "Routes.xml" is
// as it was and no new route folder is left behind. written runs once the new "Routes.xml" is
// in place, before the closing message. Returns the new folder name, or "" when nothing was
// cloned.
QString CloneRoute(const QString& routeFolder, const QString& oldName, const std::function<void()>& written = {});

} // namespace routes
