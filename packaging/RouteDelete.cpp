#include "packaging/RouteDelete.h"

#include "common/FileProcs.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "packaging/PackageCommon.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"

namespace packaging {

RouteDeleteResult DeleteRoute(const QString& gamePath, const QString& routesXmlPath, const QString& routeFolder,
                              QString& routesXmlText)
{
    const QString routesPath = gamePath + QStringLiteral("\\content\\Routes");
    const QString routePath = routesPath + QLatin1Char('\\') + routeFolder;
    auto notFound = [&](const QString& where) {
        exclaim(QStringLiteral("The route ") + routeFolder + QStringLiteral(" was not found in ") + where
                    + QStringLiteral("; nothing was deleted."));
        return RouteDeleteResult::NotFound;
    };
    // A folder already gone does not keep its stale entry in the list; a name that could lead
    // out of Content\Routes is never deleted.
    if (!routes::IsUsableFolderName(routeFolder))
        return notFound(routesPath);

    QString text;
    ReadWholeTextFile(routesXmlPath, text);
    const PropertiesBlock block = FindPropertiesBlock(text, QStringLiteral("cRouteProperties"), routeFolder);
    if (!block.found())
        return notFound(routesXmlPath);

    const QString cut = CutPropertiesBlock(text, block);
    if (!WriteTextFile(routesXmlPath, cut))
        return RouteDeleteResult::ListNotSaved; // WriteTextFile has told the user
    routesXmlText = cut;

    tags::routeList::DelAll(routePath);
    ui().doEvents();
    if (FolderExists(routePath)) {
        exclaim(QStringLiteral("The route ") + routeFolder + QStringLiteral(" was taken out of ") + routesXmlPath
                    + QStringLiteral(", but its folder ") + routePath + QStringLiteral(" could not be deleted completely."));
        return RouteDeleteResult::FolderLeft;
    }
    return RouteDeleteResult::Deleted;
}

} // namespace packaging
