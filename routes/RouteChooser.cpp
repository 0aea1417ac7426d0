#include "routes/RouteChooser.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/VbError.h"

namespace routes {

QList<ChoosableRoute> ChoosableRoutes(const QString& routesXml)
{
    static const QString open = QStringLiteral("<DisplayName>");
    static const QString close = QStringLiteral("</DisplayName>");
    QList<ChoosableRoute> routes;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = routesXml.indexOf(open, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        qsizetype end = routesXml.indexOf(close, at + open.size(), Qt::CaseInsensitive);
        if (end < 0)
            end = routesXml.size();
        // The display name alone, so that a missing English element never takes the next one.
        const QString block = routesXml.mid(at, end - at + close.size());
        ChoosableRoute route;
        route.pos = at + 1;
        qsizetype p = 1;
        tags::hub::GetDetail(block, p, QStringLiteral("English"), route.name);
        if (p == 0)
            route.name.clear();
        routes.append(route);
        from = at + 5;
    }
    return routes;
}

QStringList ChoosableNames(const QList<ChoosableRoute>& routes)
{
    QStringList names;
    names.reserve(routes.size());
    for (const ChoosableRoute& r : routes)
        names.append(r.name);
    return names;
}

QString ReadRoutesXml()
{
    QString text;
    try {
        ReadTextFile(shared().GamePath + QStringLiteral("\\Content\\Routes.xml"), text);
    } catch (const VbError&) {
        text.clear(); // an empty file lists no route
    }
    return text;
}

} // namespace routes
