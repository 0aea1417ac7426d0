#include "routes/RouteChooser.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/VbError.h"

namespace routes {

namespace {

// The text of the display name's "English" element; "" when it has none, when the element is
// empty ("<English .../>") or when it is not closed inside the display name.
QString englishNameOf(const QString& displayName)
{
    static const QString tag = QStringLiteral("English");
    const qsizetype open = displayName.indexOf(QLatin1Char('<') + tag, 0, Qt::CaseInsensitive);
    if (open < 0)
        return QString();
    const qsizetype gt = displayName.indexOf(QLatin1Char('>'), open);
    if (gt < 0 || displayName.at(gt - 1) == QLatin1Char('/'))
        return QString();
    QString name;
    qsizetype p = 1;
    try {
        tags::hub::GetDetail(displayName, p, tag, name);
    } catch (const VbError&) {
        return QString(); // no end tag before the display name ends
    }
    return p == 0 ? QString() : name;
}

} // namespace

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
        route.name = englishNameOf(block);
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
    QString text; // an empty or unreadable file lists no route
    ReadWholeTextFile(shared().GamePath + QStringLiteral("\\Content\\Routes.xml"), text);
    return text;
}

} // namespace routes
