#include "assets/GridPreview.h"

#include "assets/LodChange.h"
#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/TempFiles.h"
#include "platform/Paths.h"

#include <QFile>

#include <optional>

namespace assets {

namespace {

qsizetype find(const QString& text, const QString& what, qsizetype from)
{
    return from < 0 ? -1 : text.indexOf(what, from, Qt::CaseInsensitive);
}

// The text between the first ">" at or after from and the next "<"; false when either is missing.
bool elementText(const QString& text, qsizetype from, QString& value)
{
    const qsizetype open = find(text, QStringLiteral(">"), from);
    if (open < 0)
        return false;
    const qsizetype close = find(text, QStringLiteral("<"), open + 1);
    if (close < 0)
        return false;
    value = text.mid(open + 1, close - open - 1);
    return true;
}

QString number(qint32 n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

} // namespace

bool TextureIdOf(const QString& geometryXml, QString& textureId)
{
    const qsizetype list = find(geometryXml, QStringLiteral("<TextureByName>"), 0);
    if (list < 0)
        return false;
    const qsizetype entry = find(geometryXml, QStringLiteral("<e"), list + 1);
    if (entry < 0)
        return false;
    QString id;
    if (!elementText(geometryXml, entry + 1, id))
        return false;
    const qsizetype open = id.indexOf(QLatin1Char('['));
    if (open >= 0) {
        const qsizetype close = id.indexOf(QLatin1Char(']'), open + 1);
        if (close >= 0)
            id.remove(open, close - open + 1);
    }
    textureId = id;
    return true;
}

QString PreviewTexturePath(const QString& gamePath, const QString& folderPrefix, const QString& textureId)
{
    return AssetsPathOrMissing(gamePath, folderPrefix + textureId + QStringLiteral(".TgPcDx"));
}

QString PreviewCaption(const textures::ImageRecord& record)
{
    return QStringLiteral("Assets Listing ") + record.text + QStringLiteral(" (") + number(record.width)
           + QLatin1Char('x') + number(record.height) + QLatin1Char('x') + number(record.bits) + QLatin1Char(')');
}

QString NoPicturePath()
{
    return platform::programFolder() + QStringLiteral("\\NoPicture.jpg");
}

PreviewOutcome PreviewRow(const SelectedRow& row, const QString& gamePath)
{
    PreviewOutcome outcome;
    RowPaths paths;
    if (!MakeRowPaths(row, gamePath, paths))
        return outcome;
    QString blueprint;
    if (!ConvertToText(paths.fullPath, paths.workXml(), blueprint))
        return outcome;

    const std::optional<GeometryLookup> geometry = GetGeometryPath(blueprint, gamePath);
    if (!geometry)
        return outcome;
    if (!geometry->usable()) {
        outcome.refused = RefusedReferenceMessage(paths.fullPath, geometry->rawId);
        return outcome;
    }
    if (!FileExists(geometry->geometryPath))
        return outcome;

    const QString workBin = geometry->workBin;
    QFile::remove(platform::nativePath(workBin));
    platform::clearPathCache();
    if (!QFile::copy(platform::nativePath(geometry->geometryPath), platform::nativePath(workBin)))
        return outcome;
    platform::clearPathCache();
    QString geometryXml;
    if (!ConvertToText(workBin, geometry->workXml, geometryXml))
        return outcome;

    QString textureId;
    if (!TextureIdOf(geometryXml, textureId))
        return outcome;
    outcome.texturePath = PreviewTexturePath(gamePath, geometry->folderPrefix, textureId);
    if (outcome.texturePath.isNull()) {
        outcome.refused = RefusedReferenceMessage(geometry->geometryPath, geometry->folderPrefix + textureId);
        return outcome;
    }
    if (!FileExists(outcome.texturePath))
        return outcome;

    const textures::ImageRead read = textures::ConvertToWorkFile(outcome.texturePath);
    if (!read.ok)
        return outcome;
    outcome.converted = true;
    outcome.caption = PreviewCaption(read.record);
    return outcome;
}

} // namespace assets
