#include "hub/TextureCommands.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "hub/HubStartup.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"
#include "textures/FileBytes.h"
#include "textures/TextureCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

using platform::nativePath;

namespace hub {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kCannotConvert = QStringLiteral("Sorry, unable to convert files of the following type at this time:-");
const QString kCannotConvertThis = QStringLiteral("Sorry, unable to convert this file:- ");

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(nativePath(path));
    const bool ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && platform::commitWhole(f);
    platform::clearPathCache();
    return ok;
}

QString fileNameOf(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(slash + 1);
}

QString levelFaultMessage(const textures::LevelScan& scan)
{
    const QString level = QString::number(scan.faultLevel);
    switch (scan.fault) {
    case textures::LevelFault::NoSize:
        return kCannotConvertThis + QStringLiteral("level ") + level
               + QStringLiteral(" of the texture has no size in double quotes or no closing </d:blob> tag.");
    case textures::LevelFault::BadSize:
        return kCannotConvertThis + QStringLiteral("the size of level ") + level
               + QStringLiteral(" of the texture is not a whole number from 0 to 2147483647.");
    case textures::LevelFault::TooLarge:
        return kCannotConvertThis + QStringLiteral("the sizes of its levels add up to more than a .dds file can hold.");
    case textures::LevelFault::NotHex:
        return kCannotConvertThis + QStringLiteral("the data of level ") + level
               + QStringLiteral(" of the texture holds characters other than hexadecimal digits and white space.");
    case textures::LevelFault::None:
        break;
    }
    return QString();
}

// The editor and the viewer: the setting's program on the image, waited for.
bool runOnImage(const QString& program, const QString& baseName, const QString& missingMessage)
{
    if (program.isEmpty()) {
        exclaim(missingMessage);
        return false;
    }
    const QString command = QLatin1Char('"') + program + QStringLiteral("\" \"") + DdsPathFor(baseName) + QLatin1Char('"');
    QDir::setCurrent(nativePath(platform::programFolder()));
    ShellAndWait(command, true, 1);
    ui().doEvents();
    return true;
}

} // namespace

QString DdsPathFor(const QString& baseName)
{
    return TempDdsFolder() + QStringLiteral("\\") + baseName + QStringLiteral("dds");
}

bool ConvertTextureToDds(const QString& fileNameBox, const QString& xml, const QString& baseName)
{
    try {
        if (vb::Right(fileNameBox, 6).compare(QLatin1String("TgPcDx"), Qt::CaseInsensitive) != 0) {
            exclaim(QStringLiteral("You do not appear to have opened a .TgPcDx file?"));
            return false;
        }
        // The header file names the texture, so that the edited image can go back into it.
        if (!platform::fitsAnsi(fileNameBox)) {
            exclaim(UnwritablePathMessage(fileNameBox) + kCrLf
                    + QStringLiteral("The texture has not been converted to a .dds file."));
            return false;
        }

        const QString tempDds = TempDdsFolder();
        if (!MakeFolder(tempDds)) {
            exclaim(QStringLiteral("The folder ") + tempDds + QStringLiteral(" could not be created."));
            return false;
        }
        const QString ddsPath = DdsPathFor(baseName);
        const QString datPath = vb::Left(ddsPath, ddsPath.size() - 3) + QStringLiteral("dat");

        textures::TextureWork& work = textures::textureWork();
        QString note;
        {
            BusyPointer busy;
            work.DdsHeader = QByteArray(textures::DdsHeaderSize, '\0');
            const QString nativeDds = nativePath(ddsPath);
            if (QFileInfo::exists(nativeDds))
                QFile::remove(nativeDds);
            platform::clearPathCache();
            ui().doEvents();

            textures::TextureDds dds = textures::TextureXmlToDds(xml, work);
            switch (dds.fault) {
            case textures::TextureDdsFault::Format:
                exclaim(kCannotConvert + QLatin1Char(' ') + dds.formatText + kCrLf);
                return false;
            case textures::TextureDdsFault::TooManyLevels:
                exclaim(kCannotConvert + QStringLiteral("Multiple-Texture file.") + kCrLf);
                return false;
            case textures::TextureDdsFault::Levels:
                exclaim(levelFaultMessage(dds.scan));
                return false;
            case textures::TextureDdsFault::HashInPieces:
                exclaim(kCannotConvertThis
                        + QStringLiteral("the texture holds the character # outside its image data, which the .dat file cannot keep."));
                return false;
            case textures::TextureDdsFault::None:
                break;
            }
            const textures::TextureFormat format = dds.format;
            work.DdsHeader = std::move(dds.image);
            if (!writeBytes(ddsPath, work.DdsHeader)) {
                exclaim(QStringLiteral("The file ") + ddsPath + QStringLiteral(" could not be written."));
                return false;
            }
            bool fits = true;
            const QByteArray side = platform::encodeAnsi(textures::SideFileText(work, fileNameBox), &fits);
            if (!fits || !writeBytes(datPath, side)) {
                exclaim(QStringLiteral("The file ") + datPath + QStringLiteral(" could not be written."));
                return false;
            }
            note = QStringLiteral("If you wish to edit this file, then it must be saved with the following format:-") + kCrLf
                   + QStringLiteral("1. .DDS") + kCrLf + QStringLiteral("2. ") + textures::TextureFormatLabel(format) + kCrLf
                   + QStringLiteral("3. Number of Mip-Maps - ") + QString::number(work.BlobCount);
        }
        ui().msgBox(note, vb::vbOKOnly + vb::vbInformation, QStringLiteral("Editing .dds files"));
        return true;
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::AnNumber, e, QStringLiteral("mnuDDS_Click"));
    } catch (const std::bad_alloc&) {
        showHandlerError(ErrorSpelling::AnNumber, VbError(7), QStringLiteral("mnuDDS_Click"));
    }
    return false;
}

bool EditDdsFile(const QString& baseName)
{
    try {
        return runOnImage(shared().TextureEditorPath, baseName,
                          QStringLiteral("To edit DDS files you need to install a suitable paint program (e.g. PSP with .dds plugin) on your PC ")
                              + kCrLf + QStringLiteral("and select the path from the Options menu."));
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::AnNumber, e, QStringLiteral("mnuEditDDS_Click"));
    }
    return false;
}

bool ViewDdsFile(const QString& baseName)
{
    try {
        return runOnImage(shared().ViewerPath, baseName,
                          QStringLiteral("To view DDS files you need to install a suitable Texture viewer (e.g. IrfanView) on your PC ")
                              + kCrLf + QStringLiteral("and select the path from the Options menu."));
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::AnNumber, e, QStringLiteral("mnuView_Click"));
    }
    return false;
}

bool ConvertDdsToTexture(const std::function<void(const QString&)>& showXml)
{
    try {
        textures::TextureWork& work = textures::textureWork();
        work.DdsBytes = QByteArray(1000, '\0');

        FileDialogRequest request;
        request.title = QStringLiteral("Convert .dds file");
        request.filter = QStringLiteral("DDS Files (*.dds)|*.dds");
        request.filterIndex = 1;
        request.initDir = platform::programFolder() + QStringLiteral("\\TempDDS");
        const QString ddsPath = ui().openFile(request);
        if (ddsPath.isEmpty())
            return false;

        const QString base = vb::Left(ddsPath, std::max<qsizetype>(0, ddsPath.size() - 3));
        const QString datPath = base + QStringLiteral("dat");
        BusyPointer busy;

        if (!FileExists(datPath)) {
            exclaim(QStringLiteral("No header file found in TempFiles for this .dds file, cannot process further."));
            return false;
        }
        QByteArray datBytes;
        textures::SideFile side;
        if (!textures::ReadFileBytes(datPath, datBytes, textures::ReadPace::EventsBetween) || !textures::ParseSideFile(platform::decodeAnsi(datBytes), side)) {
            exclaim(QStringLiteral("The header file ") + datPath + QStringLiteral(" is damaged, cannot process further."));
            return false;
        }
        work.BlobCount = side.LevelCount;
        work.BlobTextParts = side.Pieces;
        work.BlobSizes = side.Sizes;
        const QString texturePath = side.TexturePath;

        const int answer = ui().msgBox(QStringLiteral("This option will convert your modified file ") + ddsPath + kCrLf
                                           + QStringLiteral("to ") + texturePath + kCrLf
                                           + QStringLiteral("and create a backup of the original file. Continue?"),
                                       vb::vbYesNo + vb::vbExclamation, Ui::programTitle());
        if (answer != vb::vbYes)
            return false;

        QByteArray image;
        if (!textures::ReadFileBytes(ddsPath, image, textures::ReadPace::EventsBetween)) {
            exclaim(QStringLiteral("The file ") + ddsPath + QStringLiteral(" could not be read; ") + texturePath
                    + QStringLiteral(" has not been changed."));
            return false;
        }
        const qint64 needed = textures::DdsHeaderSize + textures::TotalLevelSize(side.Sizes);
        if (image.size() < needed) {
            exclaim(QStringLiteral("The file ") + ddsPath + QStringLiteral(" holds ") + QString::number(image.size())
                    + QStringLiteral(" bytes, but its header and the ") + QString::number(side.LevelCount)
                    + QStringLiteral(" levels named in its header file need ") + QString::number(needed)
                    + QStringLiteral(" bytes. It must be saved with the format and the number of Mip-Maps it had; ")
                    + texturePath + QStringLiteral(" has not been changed."));
            return false;
        }
        work.DdsBytes = image;
        work.DdsBytes.append(QByteArray(8, '\0'));

        const QString xml = textures::RebuildTextureXml(side.Pieces, side.Sizes, image, [] { ui().doEvents(); });
        const QString xmlPath = base + QStringLiteral("xml");
        if (!WriteTextFile(xmlPath, xml))
            return false; // the writer has told the user
        platform::clearPathCache();
        if (showXml)
            showXml(xml);
        ui().doEvents();

        // serz.exe writes into "TempDDS", never beside the texture, where a file of the same
        // base name (a blueprint) may lie.
        const QString tempDds = TempDdsFolder();
        if (!MakeFolder(tempDds)) {
            exclaim(QStringLiteral("The folder ") + tempDds + QStringLiteral(" could not be created; ") + texturePath
                    + QStringLiteral(" has not been changed."));
            return false;
        }
        const QString converted = tempDds + QLatin1Char('\\') + fileNameOf(texturePath) + QStringLiteral(".bin");
        const ConversionResult run =
            RunSerz(xmlPath, serz::ToBinSlash, converted, ::TempFilesFolder(QStringLiteral("Tempfiles")));
        platform::clearPathCache();
        ui().doEvents();
        if (!run) {
            exclaim(run.error + kCrLf + texturePath + QStringLiteral(" has not been changed."));
            return false;
        }

        const ConversionResult replaced = ReplaceGameFile(converted, texturePath);
        platform::clearPathCache();
        ui().doEvents();
        if (!replaced) {
            exclaim(replaced.error);
            return false;
        }

        tags::hub::DelAll(tempDds);
        platform::clearPathCache();
        ui().doEvents();
        return true;
    } catch (const VbError& e) {
        showHandlerError(ErrorSpelling::AnNumber, e, QStringLiteral("mnuDDStoKrs_Click"));
    } catch (const std::bad_alloc&) {
        showHandlerError(ErrorSpelling::AnNumber, VbError(7), QStringLiteral("mnuDDStoKrs_Click"));
    }
    return false;
}

} // namespace hub
