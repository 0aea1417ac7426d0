#include "routes/DeveloperFolders.h"

#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"

#include <QDir>

namespace routes {

namespace {

using gametext::kCrLf;

QString boxText(const QStringList& boxes, int index)
{
    return boxes.value(index);
}

} // namespace

QString folderPickerCaption(bool blueprintPending, int blueprintMode)
{
    if (blueprintPending) {
        if (blueprintMode == 1 || blueprintMode == 2)
            return QStringLiteral("Select your RouteMarkers folder");
        if (blueprintMode == 3)
            return QStringLiteral("Select your TemplateRoutes folder");
    }
    return QStringLiteral("Select your Developer Folder");
}

bool IsNewFolderName(const QString& name)
{
    if (!IsUsableFolderName(name))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("<>:\"|?*").contains(c))
            return false;
    }
    return true;
}

QString badAddOnNameMessage(const QString& name)
{
    return QStringLiteral("\"") + name + QStringLiteral("\" cannot be used as a folder name.") + kCrLf
        + QStringLiteral("Please enter a name without \\ / : * ? \" < > | or \"..\".");
}

const std::vector<std::pair<QString, QStringList>>& addOnTree()
{
    static const std::vector<std::pair<QString, QStringList>> tree{
        {QString(),
         {QStringLiteral("Audio"), QStringLiteral("Environment"), QStringLiteral("Particles"),
          QStringLiteral("RailNetwork"), QStringLiteral("RailVehicles"), QStringLiteral("RouteMarkers"),
          QStringLiteral("Scenery"), QStringLiteral("Stations"), QStringLiteral("System"),
          QStringLiteral("TemplateRoutes"), QStringLiteral("Weather")}},
        {QStringLiteral("Scenery"),
         {QStringLiteral("Animated"), QStringLiteral("Billboards"), QStringLiteral("Brushes"),
          QStringLiteral("Buildings"), QStringLiteral("Characters"), QStringLiteral("Clocks"),
          QStringLiteral("Clutter"), QStringLiteral("DestinationBoards"), QStringLiteral("Procedural"),
          QStringLiteral("Structures"), QStringLiteral("Vegetation"), QStringLiteral("Vehicles"),
          QStringLiteral("Wildlife")}},
        {QStringLiteral("RailVehicles"),
         {QStringLiteral("Couplings"), QStringLiteral("Diesel"), QStringLiteral("Electric"),
          QStringLiteral("Freight"), QStringLiteral("Passenger"), QStringLiteral("Steam")}},
    };
    return tree;
}

bool makeAddOnFolders(const QString& folder, const QString& name, QString& failed)
{
    failed.clear();
    QString base = folder + QLatin1Char('\\') + name;
    if (FolderExists(base))
        return true;
    CheckNameToMake(base);
    const auto make = [&failed](const QString& path) {
        platform::clearPathCache();
        if (QDir().mkdir(platform::nativePath(path)))
            return true;
        failed = path;
        return false;
    };
    if (!make(base))
        return false;
    for (const auto& [parent, children] : addOnTree()) {
        const QString at = parent.isEmpty() ? base : base + QLatin1Char('\\') + parent;
        for (const QString& child : children) {
            if (!make(at + QLatin1Char('\\') + child))
                return false;
        }
    }
    platform::clearPathCache();
    ui().doEvents();
    return true;
}

QString folderNotMadeMessage(const QString& folder)
{
    return QStringLiteral("The folder ") + folder + QStringLiteral(" could not be created.");
}

BlueprintForm blueprintForm(int blueprintMode)
{
    switch (blueprintMode) {
    case 1:
        return {QStringLiteral("Set up Blueprint for a Named Marker file"),
                {QStringLiteral("Named Marker File Name:"), QStringLiteral(".csv File Name:")}};
    case 2:
        return {QStringLiteral("Set up Blueprint for a Series Marker file"),
                {QStringLiteral("Series Marker File Name:"), QStringLiteral(".csv File Name:")}};
    case 3:
        return {QStringLiteral("Set up Blueprint for a Route Template"),
                {QStringLiteral("Route Template Name:"), QStringLiteral("Longitude:"), QStringLiteral("Latitude:")}};
    default:
        return {};
    }
}

QString blueprintTemplatePath(int blueprintMode)
{
    QString name;
    switch (blueprintMode) {
    case 1:
        name = QStringLiteral("Blue_Named.xml");
        break;
    case 2:
        name = QStringLiteral("Blue_Series.xml");
        break;
    case 3:
        name = QStringLiteral("Blue_Route.xml");
        break;
    default:
        return {};
    }
    return platform::programFolder() + QStringLiteral("\\BluePrints\\") + name;
}

QString fillBlueprint(int blueprintMode, const QString& templateText, const QStringList& boxes)
{
    QString text = vb::Replace(templateText, QStringLiteral("ZZZZZZ"), boxText(boxes, 0));
    ui().doEvents();
    if (blueprintMode == 1 || blueprintMode == 2) {
        QString csv = boxText(boxes, 1);
        if (vb::Right(csv, 4) != QLatin1String(".csv"))
            csv += QStringLiteral(".csv");
        text = vb::Replace(text, QStringLiteral("XXXXXX"), csv);
        ui().doEvents();
    } else if (blueprintMode == 3) {
        text = vb::Replace(text, QStringLiteral("XXXXXX"), boxText(boxes, 1));
        ui().doEvents();
        text = vb::Replace(text, QStringLiteral("YYYYYY"), boxText(boxes, 2));
    }
    return text;
}

QString makeBlueprint(int blueprintMode, const QString& folder, const QStringList& boxes)
{
    const QString templatePath = blueprintTemplatePath(blueprintMode);
    if (templatePath.isEmpty())
        return {};
    if (folder.isEmpty()) {
        exclaim(noBlueprintFolderMessage());
        return {};
    }
    const QString name = boxText(boxes, 0);
    if (!IsNewFolderName(name)) {
        exclaim(badBlueprintNameMessage(name));
        return {};
    }
    QString templateText;
    if (!ReadWholeTextFile(templatePath, templateText)) { // missing, unreadable or empty
        exclaim(missingTemplateMessage(templatePath));
        return {};
    }
    const QString target = folder + QLatin1Char('\\') + name + QStringLiteral(".xml");
    if (!WriteTextFile(target, fillBlueprint(blueprintMode, templateText, boxes)))
        return {};
    platform::clearPathCache();
    return target;
}

QString noBlueprintFolderMessage()
{
    return QStringLiteral("No folder has been selected for the blueprint.") + kCrLf
        + QStringLiteral("Please choose the menu command again and confirm a folder.");
}

QString badBlueprintNameMessage(const QString& name)
{
    return QStringLiteral("\"") + name + QStringLiteral("\" cannot be used as a blueprint name.") + kCrLf
        + QStringLiteral("Please enter a name without \\ / : * ? \" < > | or \"..\".");
}

QString missingTemplateMessage(const QString& path)
{
    return QStringLiteral("The blueprint template ") + path + QStringLiteral(" is missing or empty.");
}

} // namespace routes
