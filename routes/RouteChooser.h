#pragma once
// The route list that the route selection dialog offers: one line per "<DisplayName>" of the
// game's "Content\Routes.xml", in the file's order, for the hub's route description and route
// loading picture commands.

#include <QList>
#include <QString>
#include <QStringList>

namespace routes {

struct ChoosableRoute {
    qsizetype pos = 0; // 1-based position of the route's "<DisplayName>" tag in the text
    QString name;      // its English display name; "" when the display name has none
};

// The routes of a Routes.xml text, any number of them. "<DisplayName>" is found in any letter
// case; the name is the "English" element's text inside that display name only (up to its
// "</DisplayName>"), never an English element further on. A display name whose English
// element is empty ("<English .../>") or not closed inside it is listed with an empty name.
QList<ChoosableRoute> ChoosableRoutes(const QString& routesXml);

// The lines of the selection dialog for these routes.
QStringList ChoosableNames(const QList<ChoosableRoute>& routes);

// GamePath\Content\Routes.xml as text; "" when it is missing or empty.
QString ReadRoutesXml();

} // namespace routes
