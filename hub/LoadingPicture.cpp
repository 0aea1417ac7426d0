#include "hub/LoadingPicture.h"

#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "textures/FileBytes.h"
#include "common/HandlerError.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
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

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The file name of a game-style path (after its last "\" or "/").
QString fileNameOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

// What the command has learnt so far, step by step.
struct LoadingPictureWork {
    QString routeName;
    RouteBlueprintRef ref;
    QString game;            // GamePath when the blueprint was located
    QString productText;     // provider \ product, as named below Assets
    QString assets;          // the product's folder
    QString blueprint;       // the route's blueprint file
    QString workBin;         // its copy in the work folder
    QString workXml;         // that copy converted to XML
    QString blueprintXml;    // the converted text
    qsizetype ghost = 0;     // where its "<Ghostentry" starts (from 1)
    QString templatePath;    // the texture template
    textures::SideFile side; // read from the template
    QString imagePath;       // the user's DDS image
    QString picture;         // the picture's name
    QString templateRoutes;
    QString texturePath;     // where the new texture goes
};

// The note on the image the command needs; false when the user cancels.
bool confirmImagePrepared()
{
    return ui().msgBox(QStringLiteral("Before you can run this option, you must have prepared a .dds file 1024x512 pixels")
                           + kCrLf
                           + QStringLiteral("in size, it must be named loading_'routename'.dds where routename is name of your route."),
                       vb::vbInformation + vb::vbOKCancel, Ui::programTitle())
           != vb::vbCancel;
}

// The user's choice of route and its blueprint reference in Routes.xml.
bool chooseRouteBlueprint(const RouteChoice& chooseRoute, LoadingPictureWork& work)
{
    const QString routesXml = routes::ReadRoutesXml();
    ui().doEvents();
    const QList<routes::ChoosableRoute> list = routes::ChoosableRoutes(routesXml);
    const int index = chooseRoute(routes::ChoosableNames(list));
    if (index < 0 || index >= list.size())
        return false;
    const routes::ChoosableRoute& route = list[index];
    work.routeName = route.name;
    if (!FindRouteBlueprint(routesXml, route.pos, work.ref)) {
        exclaim(QStringLiteral("The route \"") + route.name
                + QStringLiteral("\" has no blueprint reference (Provider, Product and BlueprintID) in Routes.xml."));
        return false;
    }
    ui().doEvents();
    return true;
}

// The blueprint's file below the game's Assets folder, and its work copies' names.
bool locateBlueprint(LoadingPictureWork& work)
{
    // Provider, product and blueprint come from Routes.xml: the paths made of them must stay
    // below the game's Assets folder, or nothing is read or written for them.
    const RouteBlueprintRef& ref = work.ref;
    work.game = shared().GamePath;
    work.productText = ref.provider + QLatin1Char('\\') + ref.product;
    const QString blueprintText =
        work.productText + QLatin1Char('\\') + ref.blueprintId.left(ref.blueprintId.size() - 3) + QStringLiteral("bin");
    Reach productReach = Reach::Outside;
    Reach blueprintReach = Reach::Outside;
    work.assets = AssetsPathFromText(work.game, work.productText, &productReach);
    work.blueprint = AssetsPathFromText(work.game, blueprintText, &blueprintReach);
    if (productReach == Reach::Outside || blueprintReach == Reach::Outside) {
        exclaim(QStringLiteral("The route \"") + work.routeName + QStringLiteral("\" names its blueprint as ")
                + work.game + QStringLiteral("\\Assets\\") + blueprintText
                + QStringLiteral(", which lies outside the game's Assets folder; nothing has been changed."));
        return false;
    }
    // Behind a link that leads nowhere (a disk that is not mounted) the blueprint is missing.
    if (ref.blueprintId.size() < 3 || blueprintReach == Reach::Missing || !FileExists(work.blueprint)) {
        exclaim(QStringLiteral("The route's blueprint ") + work.game + QStringLiteral("\\Assets\\") + blueprintText
                + QStringLiteral(" was not found."));
        return false;
    }
    const QString blueprintName = fileNameOf(work.blueprint);
    const QString workBase = TempFilesPath(blueprintName.left(blueprintName.size() - 3), QStringLiteral("Tempfiles"));
    work.workBin = workBase + QStringLiteral("bin");
    work.workXml = workBase + QStringLiteral("xml");
    return true;
}

// The blueprint converted to XML in the work folder, with the "TextureID" of its "<Ghostentry".
bool readBlueprint(LoadingPictureWork& work)
{
    EnsureTempFiles();
    if (!CopyFileOver(work.blueprint, work.workBin)) {
        exclaim(QStringLiteral("The route's blueprint ") + work.blueprint + QStringLiteral(" could not be copied to ")
                + work.workBin + QStringLiteral("."));
        return false;
    }
    QFile::remove(nativePath(work.workXml));
    platform::clearPathCache();
    const ConversionResult toXml = RunSerz(work.workBin, serz::ToXml, work.workXml, platform::programFolder());
    platform::clearPathCache();
    ui().doEvents();
    if (!toXml) {
        exclaim(toXml.error + kCrLf + QStringLiteral("The route's blueprint ") + work.blueprint
                + QStringLiteral(" could not be read."));
        return false;
    }
    ReadTextFile(work.workXml, work.blueprintXml);

    work.ghost = vb::InStr(1, work.blueprintXml, QStringLiteral("<Ghostentry"), vb::Compare::Text);
    QString oldTextureId;
    qsizetype probe = work.ghost;
    if (work.ghost > 0)
        tags::hub::GetDetail(work.blueprintXml, probe, QStringLiteral("TextureID"), oldTextureId);
    if (work.ghost == 0 || probe == 0) {
        exclaim(QStringLiteral("The route's blueprint ") + work.blueprint
                + QStringLiteral(" has no \"TextureID\" in a \"Ghostentry\"; nothing has been changed."));
        return false;
    }
    return true;
}

// The texture layout of the program folder's "Templates\loading_default.dat".
bool readTextureTemplate(LoadingPictureWork& work)
{
    work.templatePath = platform::programFolder() + QStringLiteral("\\Templates\\loading_default.dat");
    QByteArray templateBytes;
    if (!textures::ReadFileBytes(work.templatePath, templateBytes) || templateBytes.isEmpty()) {
        exclaim(QStringLiteral("The texture template ") + work.templatePath + QStringLiteral(" was not found."));
        return false;
    }
    if (!textures::ParseSideFile(platform::decodeAnsi(templateBytes), work.side, false) || work.side.LevelCount < 1) {
        exclaim(QStringLiteral("The texture template ") + work.templatePath + QStringLiteral(" is damaged."));
        return false;
    }
    return true;
}

// The user's DDS image, and where its texture goes in the product's "TemplateRoutes" folder.
bool chooseImage(LoadingPictureWork& work)
{
    FileDialogRequest request;
    request.filter = QStringLiteral("DDS Files (*.dds)|*.dds");
    request.title = QStringLiteral("Convert .dds file to .TgPcDx");
    request.initDir = TempFilesFolder();
    work.imagePath = ui().openFile(request);
    if (work.imagePath.isEmpty())
        return false;

    work.picture = PictureName(work.imagePath);
    work.templateRoutes = work.assets + QStringLiteral("\\TemplateRoutes");
    Reach reach = Reach::Outside;
    work.texturePath = AssetsPathFromText(
        work.game, work.productText + QStringLiteral("\\TemplateRoutes\\") + work.picture + QStringLiteral(".TgPcDx"), &reach);
    if (reach == Reach::Missing) {
        exclaim(QStringLiteral("The loading picture ") + work.templateRoutes + QLatin1Char('\\') + work.picture
                + QStringLiteral(".TgPcDx cannot be made: its place is missing, a link on its way leads nowhere (a disk "
                                 "that is not mounted?); nothing has been changed."));
        return false;
    }
    if (work.texturePath.isNull()) {
        exclaim(QStringLiteral("The loading picture ") + work.templateRoutes + QLatin1Char('\\') + work.picture
                + QStringLiteral(".TgPcDx would lie outside the game's Assets folder; nothing has been changed."));
        return false;
    }
    return true;
}

// The image's bytes, when it holds at least what the template's levels need.
bool readImage(const LoadingPictureWork& work, QByteArray& image)
{
    if (!textures::ReadFileBytes(work.imagePath, image)) {
        exclaim(QStringLiteral("The file ") + work.imagePath
                + QStringLiteral(" could not be read; nothing has been changed."));
        return false;
    }
    const qint64 needed = textures::DdsHeaderSize + textures::TotalLevelSize(work.side.Sizes);
    if (image.size() < needed) {
        exclaim(QStringLiteral("The file ") + work.imagePath + QStringLiteral(" holds ") + QString::number(image.size())
                + QStringLiteral(" bytes, but the loading picture needs ") + QString::number(needed)
                + QStringLiteral(" bytes. It must be a .dds file 1024x512 pixels in the format of ") + work.templatePath
                + QStringLiteral("; nothing has been changed."));
        return false;
    }
    return true;
}

// The texture: its XML beside the image, converted in "Tempfiles", then put in place. A
// texture of the same name is replaced without a backup.
bool placeTexture(const LoadingPictureWork& work, const QByteArray& image)
{
    const QString textureXml = textures::RebuildTextureXml(work.side.Pieces, work.side.Sizes, image, [] { ui().doEvents(); });
    const QString textureXmlPath = work.imagePath.left(work.imagePath.size() - 3) + QStringLiteral("xml");
    if (!WriteTextFile(textureXmlPath, textureXml))
        return false; // the writer has told the user
    platform::clearPathCache();
    const QString tempFiles = TempFilesFolder(QStringLiteral("Tempfiles"));
    const QString converted = tempFiles + QLatin1Char('\\') + work.picture + QStringLiteral(".bin");
    QFile::remove(nativePath(converted));
    platform::clearPathCache();
    const ConversionResult toTexture = RunSerz(textureXmlPath, serz::ToBinSlash, converted, tempFiles);
    platform::clearPathCache();
    ui().doEvents();
    if (!toTexture) {
        exclaim(toTexture.error + kCrLf + QStringLiteral("The loading picture ") + work.texturePath
                + QStringLiteral(" has not been made; nothing has been changed."));
        return false;
    }
    if (!FolderExists(work.templateRoutes)) {
        QDir().mkpath(nativePath(work.templateRoutes));
        platform::clearPathCache();
        if (!FolderExists(work.templateRoutes)) {
            exclaim(QStringLiteral("The folder ") + work.templateRoutes
                    + QStringLiteral(" could not be created; nothing has been changed."));
            return false;
        }
    }
    const ConversionResult placed = PlaceNewGameFile(converted, work.texturePath);
    platform::clearPathCache();
    ui().doEvents();
    if (!placed) {
        exclaim(placed.error);
        return false;
    }
    return true;
}

// The blueprint, pointed at the new texture, converted back and put in place in one step
// without a backup.
bool pointBlueprintAtTexture(LoadingPictureWork& work)
{
    const QString textureId = work.ref.provider + QLatin1Char('\\') + work.ref.product
                              + QStringLiteral("\\TemplateRoutes\\[00]") + work.picture;
    qsizetype at = work.ghost;
    tags::hub::PutDetail(work.blueprintXml, at, QStringLiteral("TextureID"), textureId);
    ui().doEvents();
    QFile::remove(nativePath(work.workXml));
    QFile::remove(nativePath(work.workBin));
    platform::clearPathCache();
    const auto blueprintFailed = [&](const QString& why) {
        exclaim(why + kCrLf + QStringLiteral("The loading picture ") + work.texturePath
                + QStringLiteral(" is in place, but the route's blueprint ") + work.blueprint
                + QStringLiteral(" could not be changed to use it."));
        return false;
    };
    if (!WriteTextFile(work.workXml, work.blueprintXml))
        return blueprintFailed(QStringLiteral("The file ") + work.workXml + QStringLiteral(" could not be written."));
    platform::clearPathCache();
    const ConversionResult toBin = RunSerz(work.workXml, serz::ToXml, work.workBin, platform::programFolder());
    platform::clearPathCache();
    ui().doEvents();
    if (!toBin)
        return blueprintFailed(toBin.error);
    const ConversionResult replaced = PlaceNewGameFile(work.workBin, work.blueprint);
    platform::clearPathCache();
    ui().doEvents();
    if (!replaced)
        return blueprintFailed(replaced.error);
    return true;
}

// Every check that can fail without the image comes before the file dialog; the texture is
// put in place before the blueprint.
void runCommand(const RouteChoice& chooseRoute)
{
    LoadingPictureWork work;
    if (!confirmImagePrepared() || !chooseRouteBlueprint(chooseRoute, work) || !locateBlueprint(work)
        || !readBlueprint(work) || !readTextureTemplate(work) || !chooseImage(work))
        return;
    QByteArray image;
    if (!readImage(work, image) || !placeTexture(work, image))
        return;
    pointBlueprintAtTexture(work);
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
    runGuarded(ErrorSpelling::AnNumber, QStringLiteral("mnuMap_Click"), [&] { runCommand(chooseRoute); });
}

} // namespace hub
