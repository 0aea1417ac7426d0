#pragma once
// The asset grid's texture preview, without a window: from a row's blueprint to its geometry
// (GetGeometryPath, shared with the level-of-detail change), from the geometry to its first
// texture ("<TextureByName>"), the texture through the image viewer's converter into its work
// file, and the window caption made from the converter's image record. Every miss of that
// chain gives the fallback picture "NoPicture.jpg" of the program folder and leaves the
// caption alone; nothing here shows a message or writes a game file.

#include "assets/BlueprintPipeline.h"
#include "textures/ImageConvert.h"

#include <QString>

namespace assets {

// The texture ID of a geometry's XML: after the first "<TextureByName>", the first "<e", the
// first ">" after that, up to the next "<" (all searches ignore case); the part from the first
// "[" to the first "]" after it is cut out, brackets included. False when a search fails.
bool TextureIdOf(const QString& geometryXml, QString& textureId);

// GamePath & "\Assets\" & prefix & texture ID & ".TgPcDx"; null when that leads out of the
// Assets folder (behind a link that leads nowhere, a missing file).
QString PreviewTexturePath(const QString& gamePath, const QString& folderPrefix, const QString& textureId);

// "Assets Listing " & text & " (" & width & "x" & height & "x" & bits & ")", a number written
// with a leading blank when it is not negative.
QString PreviewCaption(const textures::ImageRecord& record);

// Program folder & "\NoPicture.jpg".
QString NoPicturePath();

struct PreviewOutcome {
    bool converted = false; // the texture is in textures::ViewerWorkFile(); else the fallback picture
    QString caption;        // the new caption when converted
    QString texturePath;    // the texture the chain reached (empty before that link)
    QString refused;        // a reference of the chain that leads out of its folder: the
                            // message naming it (nothing was read for it); else empty
};

// The preview of one grid row: its blueprint converted to XML in "TempFiles", the geometry
// copied there as the work name & ".bin" and converted to the work name & ".xml", the texture
// converted to the viewer's work file (any stale work file deleted first).
PreviewOutcome PreviewRow(const SelectedRow& row, const QString& gamePath);

} // namespace assets
