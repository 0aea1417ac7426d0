#pragma once
// The main window's texture commands: a texture's XML to a DDS image and its ".dat" side file
// in "TempDDS", the user's image editor and viewer on that image, and the edited image back
// into the game's texture. The window hands in what its controls hold and gets the rebuilt
// XML back; every message goes through ui(), and no exception leaves these functions.

#include <QString>

#include <functional>

namespace hub {

// The image of a texture's base name (its file name up to and including the last dot):
// program folder, "\TempDDS\", base name, "dds".
QString DdsPathFor(const QString& baseName);

// "Convert .TgPcDx to .dds". fileNameBox is the text of the file-name box (the path of the
// texture opened), xml the text page's text, baseName the base name the texture open kept.
// Writes the image and the side file into "TempDDS" (made when missing) and tells the user
// how to save the edited image. True when both files were written.
bool ConvertTextureToDds(const QString& fileNameBox, const QString& xml, const QString& baseName);

// "Edit .dds File" and "View .dds File": the user's texture editor or image viewer on the
// image of baseName, waited for. False when the setting is empty (the user is told so).
bool EditDdsFile(const QString& baseName);
bool ViewDdsFile(const QString& baseName);

// "Convert .dds to .TgPcDx": asks for an image, rebuilds the texture XML from it and its side
// file beside it, converts that into "TempDDS" with serz.exe and puts the result in place of
// the texture named in the side file, after moving the texture to its backup name; then
// deletes "TempDDS". showXml receives the rebuilt XML for the text page as soon as it has been
// written. True when the texture was replaced.
bool ConvertDdsToTexture(const std::function<void(const QString&)>& showXml);

} // namespace hub
