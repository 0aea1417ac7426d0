#include "routes/RouteDescription.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"

#include <QDir>

namespace routes {

namespace {

// Makes the folder when it is not there; false (after a message) when it cannot be made.
bool ensureFolder(const QString& path)
{
    if (FolderExists(path))
        return true;
    const bool made = QDir().mkdir(platform::nativePath(path));
    platform::clearPathCache();
    if (made && FolderExists(path)) {
        ui().doEvents();
        return true;
    }
    ui().msgBox(QStringLiteral("The folder ") + path + QStringLiteral(" could not be created."), vb::vbCritical);
    return false;
}

} // namespace

QString RouteFolderOf(const QString& routesXml, const ChoosableRoute& route)
{
    static const QString devString = QStringLiteral("<DevString ");
    if (route.pos < 1)
        return QString();
    const qsizetype at = routesXml.lastIndexOf(devString, route.pos - 1, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    QString folder;
    qsizetype p = at + 1;
    try {
        tags::hub::GetDetail(routesXml, p, QStringLiteral("DevString"), folder);
    } catch (const VbError&) {
        return QString();
    }
    return p == 0 ? QString() : folder;
}

bool PrepareRouteInfoFolder(const QString& routesXml, const ChoosableRoute& route)
{
    const QString folder = RouteFolderOf(routesXml, route);
    if (!IsUsableFolderName(folder)) {
        ui().msgBox(QStringLiteral("The route's folder name \"") + folder
                        + QStringLiteral("\" in Routes.xml cannot be used."),
                    vb::vbCritical);
        return false;
    }
    const QString base = shared().GamePath + QStringLiteral("\\Content\\Routes\\") + folder;
    if (!ensureFolder(base + QStringLiteral("\\RouteInformation")))
        return false;
    if (!ensureFolder(base + QStringLiteral("\\RouteInformation\\En")))
        return false;
    shared().RouteInfoFolder = base + QStringLiteral("\\RouteInformation\\En");
    return true;
}

QString FillDescription(QString page, const QStringList& texts)
{
    static const char* const tokens[] = {"AAAAA", "BBBBB", "CCCCC", "DDDDD", "EEEEE"};
    for (int i = 0; i < 5; ++i) {
        page.replace(QLatin1String(tokens[i]), i < texts.size() ? texts[i] : QString(), Qt::CaseSensitive);
        ui().doEvents();
    }
    return page;
}

bool WriteRouteDescription(const QStringList& texts)
{
    const QString templatePath = platform::programFolder() + QStringLiteral("\\Templates\\Description.txt");
    QString page;
    if (!ReadWholeTextFile(templatePath, page)) {
        ui().msgBox(QStringLiteral("The description template ") + templatePath
                        + QStringLiteral(" is missing or empty."),
                    vb::vbCritical);
        return false;
    }
    const bool written =
        WriteTextFile(shared().RouteInfoFolder + QStringLiteral("\\Description.html"), FillDescription(page, texts));
    platform::clearPathCache();
    if (!written)
        return false;
    exclaim(QStringLiteral("Your Description file has been saved in the route's\r\nRouteInformation\\En folder."));
    return true;
}

} // namespace routes
