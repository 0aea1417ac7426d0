#include "hub/LoadingPicture.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "textures/FileBytes.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/VbError.h"
#include "textures/TextureCodec.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"
#include "routes/RouteChooser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using platform::nativePath;

namespace hub {

using ::CopyFileOver; // runCommand still names it hub::CopyFileOver

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The file name of a game-style path (after its last "\" or "/").
QString fileNameOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

bool runCommand(const RouteChoice& chooseRoute)
{
    if (ui().msgBox(QStringLiteral("Before you can run this option, you must have prepared a .dds file 1024x512 pixels")
                        + kCrLf
                        + QStringLiteral("in size, it must be named loading_'routename'.dds where routename is name of your route."),
                    vb::vbInformation + vb::vbOKCancel, Ui::programTitle())
        == vb::vbCancel)
        return false;

    const QString routesXml = routes::ReadRoutesXml();
    ui().doEvents();
    const QList<routes::ChoosableRoute> list = routes::ChoosableRoutes(routesXml);
    const int index = chooseRoute(routes::ChoosableNames(list));
    if (index < 0 || index >= list.size())
        return false;
    const routes::ChoosableRoute& route = list[index];

    RouteBlueprintRef ref;
    if (!FindRouteBlueprint(routesXml, route.pos, ref)) {
        exclaim(QStringLiteral("The route \"") + route.name
                + QStringLiteral("\" has no blueprint reference (Provider, Product and BlueprintID) in Routes.xml."));
        return false;
    }
    ui().doEvents();

    // Provider, product and blueprint come from Routes.xml: the paths made of them must stay
    // below the game's Assets folder, or nothing is read or written for them.
    const QString game = shared().GamePath;
    const QString productText = ref.provider + QLatin1Char('\\') + ref.product;
    const QString blueprintText =
        productText + QLatin1Char('\\') + ref.blueprintId.left(ref.blueprintId.size() - 3) + QStringLiteral("bin");
    const QString assets = AssetsPathFromText(game, productText);
    const QString blueprint = AssetsPathFromText(game, blueprintText);
    if (assets.isNull() || blueprint.isNull()) {
        exclaim(QStringLiteral("The route \"") + route.name + QStringLiteral("\" names its blueprint as ")
                + game + QStringLiteral("\\Assets\\") + blueprintText
                + QStringLiteral(", which lies outside the game's Assets folder; nothing has been changed."));
        return false;
    }
    if (ref.blueprintId.size() < 3 || !FileExists(blueprint)) {
        exclaim(QStringLiteral("The route's blueprint ") + blueprint + QStringLiteral(" was not found."));
        return false;
    }
    const QString program = platform::programFolder();
    const QString tempFiles = program + QStringLiteral("\\Tempfiles");
    const QString blueprintName = fileNameOf(blueprint);
    const QString workBase = tempFiles + QLatin1Char('\\') + blueprintName.left(blueprintName.size() - 3);
    const QString workBin = workBase + QStringLiteral("bin");
    const QString workXml = workBase + QStringLiteral("xml");

    if (!FolderExists(tempFiles)) {
        QDir().mkpath(nativePath(tempFiles));
        platform::clearPathCache();
    }
    if (!hub::CopyFileOver(blueprint, workBin)) {
        exclaim(QStringLiteral("The route's blueprint ") + blueprint + QStringLiteral(" could not be copied to ") + workBin
                + QStringLiteral("."));
        return false;
    }
    QFile::remove(nativePath(workXml));
    platform::clearPathCache();
    const ConversionResult toXml = RunSerz(workBin, serz::ToXml, workXml, program);
    platform::clearPathCache();
    ui().doEvents();
    if (!toXml) {
        exclaim(toXml.error + kCrLf + QStringLiteral("The route's blueprint ") + blueprint
                + QStringLiteral(" could not be read."));
        return false;
    }
    QString blueprintXml;
    ReadTextFile(workXml, blueprintXml);

    const qsizetype ghost = vb::InStr(1, blueprintXml, QStringLiteral("<Ghostentry"), vb::Compare::Text);
    QString oldTextureId;
    qsizetype probe = ghost;
    if (ghost > 0)
        tags::hub::GetDetail(blueprintXml, probe, QStringLiteral("TextureID"), oldTextureId);
    if (ghost == 0 || probe == 0) {
        exclaim(QStringLiteral("The route's blueprint ") + blueprint
                + QStringLiteral(" has no \"TextureID\" in a \"Ghostentry\"; nothing has been changed."));
        return false;
    }

    const QString templatePath = program + QStringLiteral("\\Templates\\loading_default.dat");
    QByteArray templateBytes;
    SideFile side;
    if (!ReadFileBytes(templatePath, templateBytes) || templateBytes.isEmpty()) {
        exclaim(QStringLiteral("The texture template ") + templatePath + QStringLiteral(" was not found."));
        return false;
    }
    if (!ParseSideFile(platform::decodeAnsi(templateBytes), side, false) || side.LevelCount < 1) {
        exclaim(QStringLiteral("The texture template ") + templatePath + QStringLiteral(" is damaged."));
        return false;
    }

    FileDialogRequest request;
    request.filter = QStringLiteral("DDS Files (*.dds)|*.dds");
    request.title = QStringLiteral("Convert .dds file to .TgPcDx");
    request.initDir = program + QStringLiteral("\\TempFiles");
    const QString imagePath = ui().openFile(request);
    if (imagePath.isEmpty())
        return false;

    const QString picture = PictureName(imagePath);
    const QString textureId = ref.provider + QLatin1Char('\\') + ref.product + QStringLiteral("\\TemplateRoutes\\[00]") + picture;
    const QString templateRoutes = assets + QStringLiteral("\\TemplateRoutes");
    const QString texturePath =
        AssetsPathFromText(game, productText + QStringLiteral("\\TemplateRoutes\\") + picture + QStringLiteral(".TgPcDx"));
    if (texturePath.isNull()) {
        exclaim(QStringLiteral("The loading picture ") + templateRoutes + QLatin1Char('\\') + picture
                + QStringLiteral(".TgPcDx would lie outside the game's Assets folder; nothing has been changed."));
        return false;
    }

    QByteArray image;
    if (!ReadFileBytes(imagePath, image)) {
        exclaim(QStringLiteral("The file ") + imagePath + QStringLiteral(" could not be read; nothing has been changed."));
        return false;
    }
    const qint64 needed = DdsHeaderSize + TotalLevelSize(side.Sizes);
    if (image.size() < needed) {
        exclaim(QStringLiteral("The file ") + imagePath + QStringLiteral(" holds ") + QString::number(image.size())
                + QStringLiteral(" bytes, but the loading picture needs ") + QString::number(needed)
                + QStringLiteral(" bytes. It must be a .dds file 1024x512 pixels in the format of ") + templatePath
                + QStringLiteral("; nothing has been changed."));
        return false;
    }

    // The texture: its XML beside the image, converted in "Tempfiles", then put in place.
    const QString textureXml = RebuildTextureXml(side.Pieces, side.Sizes, image, [] { ui().doEvents(); });
    const QString textureXmlPath = imagePath.left(imagePath.size() - 3) + QStringLiteral("xml");
    if (!WriteTextFile(textureXmlPath, textureXml))
        return false; // the writer has told the user
    platform::clearPathCache();
    const QString converted = tempFiles + QLatin1Char('\\') + picture + QStringLiteral(".bin");
    QFile::remove(nativePath(converted));
    platform::clearPathCache();
    const ConversionResult toTexture = RunSerz(textureXmlPath, serz::ToBinSlash, converted, tempFiles);
    platform::clearPathCache();
    ui().doEvents();
    if (!toTexture) {
        exclaim(toTexture.error + kCrLf + QStringLiteral("The loading picture ") + texturePath
                + QStringLiteral(" has not been made; nothing has been changed."));
        return false;
    }
    if (!FolderExists(templateRoutes)) {
        QDir().mkpath(nativePath(templateRoutes));
        platform::clearPathCache();
        if (!FolderExists(templateRoutes)) {
            exclaim(QStringLiteral("The folder ") + templateRoutes + QStringLiteral(" could not be created; nothing has been changed."));
            return false;
        }
    }
    // The texture and the blueprint are written without a backup: a texture of the same name
    // is replaced, and the blueprint changes in one step.
    const ConversionResult placed = PlaceNewGameFile(converted, texturePath);
    platform::clearPathCache();
    ui().doEvents();
    if (!placed) {
        exclaim(placed.error);
        return false;
    }

    // The blueprint, pointed at the new texture.
    qsizetype at = ghost;
    tags::hub::PutDetail(blueprintXml, at, QStringLiteral("TextureID"), textureId);
    ui().doEvents();
    QFile::remove(nativePath(workXml));
    QFile::remove(nativePath(workBin));
    platform::clearPathCache();
    const auto blueprintFailed = [&](const QString& why) {
        exclaim(why + kCrLf + QStringLiteral("The loading picture ") + texturePath
                + QStringLiteral(" is in place, but the route's blueprint ") + blueprint
                + QStringLiteral(" could not be changed to use it."));
        return false;
    };
    if (!WriteTextFile(workXml, blueprintXml))
        return blueprintFailed(QStringLiteral("The file ") + workXml + QStringLiteral(" could not be written."));
    platform::clearPathCache();
    const ConversionResult toBin = RunSerz(workXml, serz::ToXml, workBin, program);
    platform::clearPathCache();
    ui().doEvents();
    if (!toBin)
        return blueprintFailed(toBin.error);
    const ConversionResult replaced = PlaceNewGameFile(workBin, blueprint);
    platform::clearPathCache();
    ui().doEvents();
    if (!replaced)
        return blueprintFailed(replaced.error);
    return true;
}

} // namespace

bool FindRouteBlueprint(const QString& routesXml, qsizetype displayPos, RouteBlueprintRef& ref)
{
    if (displayPos < 1 || displayPos > routesXml.size())
        return false;
    qsizetype end = routesXml.indexOf(QStringLiteral("</cRouteProperties>"), displayPos - 1, Qt::CaseInsensitive);
    if (end < 0)
        end = routesXml.size();
    // The entry from its display name on, so that no search reaches the next route.
    const QString entry = routesXml.mid(displayPos - 1, end - (displayPos - 1));
    qsizetype p = vb::InStr(1, entry, QStringLiteral("<iBlueprintLibrary"), vb::Compare::Text);
    if (p == 0)
        return false;
    RouteBlueprintRef found;
    tags::hub::GetDetail(entry, p, QStringLiteral("Provider"), found.provider);
    if (p == 0)
        return false;
    tags::hub::GetDetail(entry, p, QStringLiteral("Product"), found.product);
    if (p == 0)
        return false;
    tags::hub::GetDetail(entry, p, QStringLiteral("BlueprintID"), found.blueprintId);
    if (p == 0)
        return false;
    ref = found;
    return true;
}

QString PictureName(const QString& imagePath)
{
    const QString name = fileNameOf(imagePath);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

void AddRouteLoadingPicture(const RouteChoice& chooseRoute)
{
    BusyPointer busy;
    try {
        runCommand(chooseRoute);
    } catch (const VbError& e) {
        exclaim(QStringLiteral("An Error ") + QString::number(e.number) + QStringLiteral(" occurred in mnuMap_Click"));
    } catch (const std::bad_alloc&) {
        exclaim(QStringLiteral("An Error 7 occurred in mnuMap_Click"));
    }
}

} // namespace hub
