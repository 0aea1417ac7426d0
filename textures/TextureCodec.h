#pragma once
// The texture codec: a game texture's XML (as serz.exe writes it) to a DDS image and a ".dat"
// side file, and the side file and an edited image back to the texture's XML.
//
// The texture XML names its format ("<Format>"), its size ("<Width>", "<Height>") and holds one
// "<d:blob d:size="n">" element per level of detail, whose text is the level's bytes as
// hexadecimal digits. The DDS image is a 128-byte header followed by the bytes of every level,
// level 1 first. The side file keeps everything of the XML around the level data ("pieces"),
// the level sizes and the texture's path, so that the XML can be rebuilt around an edited image.
//
// Nothing here touches a window: the commands in TextureCommands.h and the route loading
// picture build on it.

#include "common/VbArray.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace textures {

// ---- Number texts --------------------------------------------------------------------------

// Upper-case hexadecimal digits of a number, without leading zeros (0 and negative numbers
// give ""), made as Bin2Hex(Dec2Bin(number)); "-1" when the number's decimal digits (its
// sign included) are 29 or more.
QString Dec2Hex(double number);
// Base-two digits of the whole part of a number, most significant first, made by repeated
// halving; 0 and negative numbers give "".
QString Dec2Bin(double number);
// The same padded on the left with "0" to bitCount digits, or
// "Error - Number exceeds specified bit size" when there are more digits than that.
QString Dec2Bin(double number, int bitCount);
// Groups of four base-two digits (the text padded on the left with "0" to a multiple of four)
// as upper-case hexadecimal digits; "Error - Argument not a binary string" when a character is
// neither 0 nor 1.
QString Bin2Hex(const QString& binary);
// A hexadecimal text (either case) as a number, last digit least significant; "" gives 0.
// A character that is not a hexadecimal digit raises VbError 5, a value beyond 0x7FFFFFFF
// VbError 6.
qint32 Hex2Dec(const QString& hex);

// ---- Formats -------------------------------------------------------------------------------

enum class TextureFormat { Unsupported, Dxt1, Dxt3, Rgb888, Argb8888 };

// The format of a "<Format>" text, compared without regard to case.
TextureFormat TextureFormatFor(const QString& formatText);
// What the user is told to save the image as: "DXT1 ARGB", "DXT3 ARGB", "RGB 8.8.8",
// "ARGB 8.8.8.8"; "" for an unsupported format.
QString TextureFormatLabel(TextureFormat format);
bool IsCompressed(TextureFormat format);

// At most this many levels are converted.
constexpr int MaxTextureLevels = 16;
constexpr int DdsHeaderSize = 128;
// The largest DDS image the converters make or read back (the level sizes are 32-bit).
constexpr qint64 MaxDdsSize = 0x7FFFFFFF;

// ---- The texture work state ----------------------------------------------------------------

// The work arrays the texture converters share; each command sizes them afresh.
struct TextureWork {
    int BlobCount = 0;                   // levels found
    VbArray<qint32> BlobSizes;           // 1 .. BlobCount: each level's size in bytes
    VbArray<qsizetype> BlobDataStart;    // 1 .. BlobCount: first data position in the XML (from 1)
    VbArray<qsizetype> BlobDataEnd;      // 1 .. BlobCount: last data position (start - 1 when empty)
    VbArray<QString> BlobTextParts;      // 0 .. BlobCount: the XML around the level data
    QByteArray DdsHeader;                // the DDS image being made: header, then level bytes
    QByteArray DdsBytes;                 // a DDS image read back, with 8 spare zero bytes
};
// The one instance.
TextureWork& textureWork();

// ---- Reading the texture XML ---------------------------------------------------------------

// The text between the ">" after the first "<Format" and the following "</Format" (tags found
// in any case); "" when the tags are missing.
QString FindFormatText(const QString& xml);
// The number between the ">" after the first "<" + tag (any case) and the next "<", read as a
// 16-bit signed integer; 0 when the tag is missing or the number does not fit.
int FindDimension(const QString& xml, const QString& tag);

// What a scan of the levels found wrong with one of them.
enum class LevelFault {
    None,
    NoSize,      // no quoted size after "<d:blob", or no "</d:blob" after it
    BadSize,     // a negative size or one beyond 32 bits
    TooLarge,    // the sizes add up to more than a DDS image can hold
    NotHex,      // the data holds something besides hexadecimal digits and white space
};

struct LevelScan {
    int found = 0;                 // "<d:blob" elements found (all of them, even past 16)
    LevelFault fault = LevelFault::None;
    int faultLevel = 0;            // the level (from 1) the fault was found in
    bool hashInPieces = false;     // a piece holds "#", which the side file cannot keep
};

// Collects the levels of the XML into work: BlobCount, sizes, data positions and the pieces
// around the data (piece 0 up to the first level's tag, piece i between level i's data and
// level i + 1's, the last piece to the end; without levels, piece 0 is the whole XML). With
// more than MaxTextureLevels levels only the count is kept. A level without a size or an end
// stops the scan and is not collected (BlobCount is the number of levels before it). Level
// data is checked to hold hexadecimal digits, blanks, tabs, carriage returns and line feeds
// only.
LevelScan ScanTextureLevels(const QString& xml, TextureWork& work);

// ---- The DDS image -------------------------------------------------------------------------

// The 128-byte header for a texture of this format, size and number of levels; level1Size is
// the size of level 1 (the linear size of compressed formats).
QByteArray BuildDdsHeader(TextureFormat format, int width, int height, int levels, qint32 level1Size);

// The whole DDS image: the header followed by the levels' bytes in XML order. The levels'
// hexadecimal texts are read as one run with white space removed, two digits to a byte, filling
// exactly the sum of the level sizes: missing data leaves zero bytes, surplus data is cut, and
// a last single digit is ignored. The scan must have found no fault.
QByteArray BuildDdsImage(const QString& xml, const TextureWork& work, TextureFormat format, int width, int height);

// Why a texture's XML does not become a DDS image.
enum class TextureDdsFault {
    None,
    Format,        // the format is missing or not one of the four supported
    TooManyLevels, // more than MaxTextureLevels levels
    Levels,        // a level the scan found wrong (see the scan's fault)
    HashInPieces,  // "#" outside the level data, which the side file cannot keep
};

struct TextureDds {
    TextureDdsFault fault = TextureDdsFault::None;
    QString formatText;  // the "<Format>" text as found
    TextureFormat format = TextureFormat::Unsupported;
    int width = 0;
    int height = 0;
    LevelScan scan;
    QByteArray image;    // the whole DDS image, when there is no fault
};

// A texture's XML turned into a DDS image, for the converter and for the image viewer alike:
// the format, the size, the levels (collected into work), their checks in this order, then
// the image.
TextureDds TextureXmlToDds(const QString& xml, TextureWork& work);

// ---- The side file -------------------------------------------------------------------------

// The ".dat" side file (lines ending in CR LF): " " and the level count; each piece in double
// quotes with every double quote inside it turned into "#"; each level size; the texture's path
// in double quotes.
QString SideFileText(const TextureWork& work, const QString& texturePath);

struct SideFile {
    int LevelCount = 0;
    VbArray<QString> Pieces;   // 0 .. LevelCount, each "#" turned back into a double quote
    VbArray<qint32> Sizes;     // 1 .. LevelCount
    QString TexturePath;       // "" when the record is missing and not required
};

// Reads a side file's text. False when a record is missing or unreadable: the count is not a
// number from 0 to 32767, a piece is not in double quotes, a size is not plain decimal digits
// that fit 32 bits, or (with needPath) the texture path is missing or empty.
bool ParseSideFile(const QString& text, SideFile& side, bool needPath = true);

// The total of the level sizes.
qint64 TotalLevelSize(const VbArray<qint32>& sizes);

// ---- Back to the texture XML ---------------------------------------------------------------

// The texture XML rebuilt from the side file's pieces and a DDS image's bytes (the image as a
// file, header included; level 1 starts at offset 128): piece 0, then each level's bytes and
// its piece. A level's bytes are upper-case hexadecimal digit pairs in groups of eight bytes;
// after the first three groups of a line comes a blank, after the fourth a line feed, and the
// count starts anew with each level. When the image ends before the sizes are used up, the
// group in progress is completed with "00" and no further bytes are written. Finally every
// line feed directly before "</d:blob" (any case) is removed. progress, when given, is called
// now and then while a large image is written.
QString RebuildTextureXml(const VbArray<QString>& pieces, const VbArray<qint32>& sizes, const QByteArray& image,
                          const std::function<void()>& progress = {});

} // namespace textures
