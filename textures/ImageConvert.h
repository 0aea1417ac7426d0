#pragma once
// The image viewer's conversions, without a window: any picture (a game texture, a DDS image or
// a file Qt reads) to the viewer's bitmap work file, with a record of what was read; the
// work file's greyscale, flip and rotation; the viewer's caption.
//
// Textures and DDS images go through one DDS reader: our own header checks, DXT1, DXT3 and
// DXT5 blocks decoded by libsquish, and uncompressed 32-bit pixels by the header's channel
// masks; only level 1 is read. A DDS image that is short, of an unknown format or of absurd
// size is refused before any pixel is read.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace textures {

// What a conversion read: the format's name ("DXT1", "DXT3", "DXT5", "ARGB", "XRGB", or the
// reader's format for other files, such as "PNG"), the size and the bits per pixel of the
// bitmap written.
struct ImageRecord {
    QString text;
    qint32 width = 0;
    qint32 height = 0;
    qint32 bits = 0;
};

enum class DdsFault {
    None,
    ShortHeader,    // fewer than 128 bytes
    NotDds,         // no "DDS " mark or a header size other than 124
    UnknownFormat,  // neither DXT1/3/5 nor 32-bit RGB
    BadSize,        // a width or height of 0 or beyond MaxImageSide
    ShortData,      // less pixel data than level 1 needs
};

// The largest width or height the reader accepts.
constexpr int MaxImageSide = 16384;

struct DdsDecoded {
    QImage image;          // ARGB32, empty on a fault
    QString formatName;
    DdsFault fault = DdsFault::None;
};

// Level 1 of a DDS image held in memory.
DdsDecoded DecodeDds(const QByteArray& bytes);

// The viewer's work file: program folder & "\temp.bmp". It lies outside "TempFiles" (which
// other commands empty) and outlives the viewer; the asset preview shares it.
QString ViewerWorkFile();

// "PicView - " & text & " (" & width & "x" & height & "x" & bits & ")", each number written as
// VB's Str does: a leading blank when it is not negative.
QString ViewerCaption(const ImageRecord& record);

struct ImageRead {
    bool ok = false;
    QImage image;          // ARGB32
    ImageRecord record;
    QString error;         // why nothing was read, naming the file
};

// Reads a picture: ".TgPcDx" (any case) through a copy in "TempFiles" that serz.exe turns into
// XML, then the texture's levels into a DDS image; ".dds" read whole; anything else through
// Qt's image readers. The source itself is only read.
ImageRead ReadViewerImage(const QString& sourcePath);

// Writes the image as a 32-bit bitmap (BGRA with an alpha mask, bottom-up rows), replacing
// the file as a whole.
bool WriteBitmap32(const QImage& image, const QString& path);

// Deletes the work file, reads the source and writes the work file. On failure the work file
// is missing and the result's error says why.
ImageRead ConvertToWorkFile(const QString& sourcePath);

enum class BitmapOperation { Greyscale, Flip, Rotate };

// Rewrites the work file: greyscale, flipped top to bottom, or turned 90 degrees clockwise.
// False when there is no work file to read or it could not be written.
bool ProcessWorkFile(BitmapOperation operation);

} // namespace textures
