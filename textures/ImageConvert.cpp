#include "textures/ImageConvert.h"

#include "common/FileProcs.h"
#include "common/Serializer.h"
#include "common/TempFiles.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "textures/FileBytes.h"
#include "textures/TextureCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QSysInfo>
#include <QTransform>
#include <QtEndian>

#include <squish.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <thread>
#include <vector>

namespace textures {

namespace {

quint32 get32(const QByteArray& b, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(b.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

void put16(QByteArray& b, int at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

// One channel of a packed pixel, scaled to 0..255; a missing mask gives fallback.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m) : mask(m)
    {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    int value(quint32 pixel, int fallback) const
    {
        if (mask == 0)
            return fallback;
        const quint32 v = (pixel & mask) >> shift;
        return max == 255 ? int(v) : int((v * 255 + max / 2) / max);
    }
};

// Runs work(first, end) over bands of rows [0, rows), on several threads for large images.
template <typename Work>
void inBands(int rows, qint64 pixels, const Work& work)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = pixels < (1 << 18) ? 1 : std::min({cores, 8, rows});
    if (threads <= 1) {
        work(0, rows);
        return;
    }
    std::vector<std::thread> pool;
    const int per = (rows + threads - 1) / threads;
    for (int first = 0; first < rows; first += per)
        pool.emplace_back([&work, first, end = std::min(rows, first + per)] { work(first, end); });
    for (std::thread& t : pool)
        t.join();
}

QString ddsFaultText(DdsFault fault)
{
    switch (fault) {
    case DdsFault::ShortHeader: return QStringLiteral("its header is incomplete");
    case DdsFault::NotDds: return QStringLiteral("it is not a DDS image");
    case DdsFault::UnknownFormat: return QStringLiteral("its pixel format is not supported");
    case DdsFault::BadSize: return QStringLiteral("its size is out of range");
    case DdsFault::ShortData: return QStringLiteral("its image data is incomplete");
    case DdsFault::None: break;
    }
    return QString();
}

ImageRead failed(const QString& sourcePath, const QString& why)
{
    ImageRead r;
    // A reason that is a sentence of its own (a serializer's message) keeps its one full stop.
    r.error = QStringLiteral("The image ") + sourcePath + QStringLiteral(" could not be shown: ") + why;
    if (!r.error.endsWith(QLatin1Char('.')))
        r.error += QLatin1Char('.');
    return r;
}

ImageRead fromDds(const QString& sourcePath, const QByteArray& dds)
{
    DdsDecoded d = DecodeDds(dds);
    if (d.fault != DdsFault::None)
        return failed(sourcePath, ddsFaultText(d.fault));
    ImageRead r;
    r.ok = true;
    r.image = std::move(d.image);
    r.record.text = d.formatName;
    return r;
}

// A game texture: a copy converted to XML, its levels into a DDS image.
ImageRead readTexture(const QString& sourcePath)
{
    if (!QFileInfo::exists(platform::nativePath(sourcePath)))
        return failed(sourcePath, QStringLiteral("the file does not exist"));
    if (!MakeFolder(TempFilesFolder()))
        return failed(sourcePath, QStringLiteral("the work folder could not be made"));
    const QString work = TempFilesFolder() + QStringLiteral("\\PicView.");
    const QString bin = work + QStringLiteral("bin");
    const QString xmlPath = work + QStringLiteral("xml");
    const QString nativeBin = platform::nativePath(bin);
    QFile::remove(nativeBin);
    if (!QFile::copy(platform::nativePath(sourcePath), nativeBin)) {
        platform::clearPathCache();
        return failed(sourcePath, QStringLiteral("the work copy could not be made"));
    }
    platform::clearPathCache();
    const ConversionResult conv = RunSerz(bin, serz::ToXml, xmlPath, platform::programFolder());
    QByteArray xmlBytes;
    const bool read = conv.ok && ReadFileBytes(xmlPath, xmlBytes);
    QFile::remove(nativeBin);
    QFile::remove(platform::nativePath(xmlPath));
    platform::clearPathCache();
    if (!conv.ok)
        return failed(sourcePath, conv.error);
    if (!read)
        return failed(sourcePath, QStringLiteral("its XML could not be read"));

    // The converter's own sequence and checks: the viewer shows no texture the converter
    // would refuse, but for a "#" outside the image data, which only the converter's side file
    // cannot keep; the viewer writes none.
    TextureWork levels;
    const QString xml = platform::decodeAnsi(xmlBytes);
    TextureDds dds = TextureXmlToDds(xml, levels);
    if (dds.fault == TextureDdsFault::HashInPieces) {
        dds.fault = TextureDdsFault::None;
        dds.image = BuildDdsImage(xml, levels, dds.format, dds.width, dds.height);
    }
    switch (dds.fault) {
    case TextureDdsFault::Format:
        return failed(sourcePath, dds.formatText.isEmpty()
                                      ? QStringLiteral("it names no texture format")
                                      : QStringLiteral("its format ") + dds.formatText + QStringLiteral(" is not supported"));
    case TextureDdsFault::TooManyLevels:
        return failed(sourcePath, QStringLiteral("it holds more than ") + QString::number(MaxTextureLevels)
                                      + QStringLiteral(" levels"));
    case TextureDdsFault::Levels:
        return failed(sourcePath, QStringLiteral("its image data is damaged"));
    case TextureDdsFault::HashInPieces:
    case TextureDdsFault::None:
        break;
    }
    if (dds.width <= 0 || dds.height <= 0 || dds.width > MaxImageSide || dds.height > MaxImageSide)
        return failed(sourcePath, ddsFaultText(DdsFault::BadSize));
    if (levels.BlobCount < 1)
        return failed(sourcePath, QStringLiteral("its image data is damaged"));
    return fromDds(sourcePath, dds.image);
}

} // namespace

DdsDecoded DecodeDds(const QByteArray& bytes)
{
    DdsDecoded out;
    if (bytes.size() < DdsHeaderSize) {
        out.fault = DdsFault::ShortHeader;
        return out;
    }
    if (std::memcmp(bytes.constData(), "DDS ", 4) != 0 || get32(bytes, 4) != 124 || get32(bytes, 76) != 32) {
        out.fault = DdsFault::NotDds;
        return out;
    }
    const quint32 heightRaw = get32(bytes, 12);
    const quint32 widthRaw = get32(bytes, 16);
    const quint32 pfFlags = get32(bytes, 80);
    const QByteArray fourCc = bytes.mid(84, 4);

    int squishFlags = 0;
    int blockBytes = 0;
    bool packed = false;
    if (pfFlags & 0x4u) {
        if (fourCc == "DXT1") {
            squishFlags = squish::kDxt1;
            blockBytes = 8;
        } else if (fourCc == "DXT3") {
            squishFlags = squish::kDxt3;
            blockBytes = 16;
        } else if (fourCc == "DXT5") {
            squishFlags = squish::kDxt5;
            blockBytes = 16;
        }
        if (blockBytes)
            out.formatName = QString::fromLatin1(fourCc);
    } else if ((pfFlags & 0x40u) && get32(bytes, 88) == 32) {
        packed = true;
        out.formatName = (pfFlags & 0x1u) && get32(bytes, 104) != 0 ? QStringLiteral("ARGB") : QStringLiteral("XRGB");
    }
    if (!blockBytes && !packed) {
        out.formatName.clear();
        out.fault = DdsFault::UnknownFormat;
        return out;
    }
    if (widthRaw == 0 || heightRaw == 0 || widthRaw > quint32(MaxImageSide) || heightRaw > quint32(MaxImageSide)) {
        out.fault = DdsFault::BadSize;
        return out;
    }
    const int width = int(widthRaw);
    const int height = int(heightRaw);
    const qint64 need = packed ? qint64(width) * height * 4
                               : qint64((width + 3) / 4) * ((height + 3) / 4) * blockBytes;
    if (bytes.size() - DdsHeaderSize < need) {
        out.fault = DdsFault::ShortData;
        return out;
    }
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + DdsHeaderSize;

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull()) {
        out.fault = DdsFault::BadSize;
        return out;
    }
    if (packed) {
        const Channel r(get32(bytes, 92)), g(get32(bytes, 96)), b(get32(bytes, 100));
        const Channel a((pfFlags & 0x1u) ? get32(bytes, 104) : 0u);
        // A8R8G8B8 is QImage's own layout: whole rows are copied.
        const bool native = r.mask == 0x00FF0000u && g.mask == 0x0000FF00u && b.mask == 0x000000FFu
                            && a.mask == 0xFF000000u && QSysInfo::ByteOrder == QSysInfo::LittleEndian;
        uchar* bits = image.bits();
        const qsizetype stride = image.bytesPerLine();
        inBands(height, qint64(width) * height, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                const uchar* src = data + qint64(y) * width * 4;
                auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
                if (native) {
                    std::memcpy(line, src, size_t(width) * 4);
                    continue;
                }
                for (int x = 0; x < width; ++x, src += 4) {
                    const quint32 p = quint32(src[0]) | quint32(src[1]) << 8 | quint32(src[2]) << 16 | quint32(src[3]) << 24;
                    line[x] = qRgba(r.value(p, 0), g.value(p, 0), b.value(p, 0), a.value(p, 255));
                }
            }
        });
    } else {
        // Bands of whole block rows, each decoded by libsquish on its own thread straight into
        // the image; libsquish writes R, G, B, A bytes, so each band then swaps red and blue
        // in place into QImage's 32-bit ARGB (no second image, no conversion pass).
        const int blockRows = (height + 3) / 4;
        const qint64 rowBytes = qint64((width + 3) / 4) * blockBytes;
        uchar* bits = image.bits();
        const int pitch = int(image.bytesPerLine());
        inBands(blockRows, qint64(width) * height, [&](int first, int end) {
            const int top = first * 4;
            const int rows = std::min(height, end * 4) - top;
            uchar* band = bits + qint64(top) * pitch;
            squish::DecompressImage(band, width, rows, pitch, data + first * rowBytes, squishFlags);
            for (int y = 0; y < rows; ++y) {
                auto* line = reinterpret_cast<quint32*>(band + qint64(y) * pitch);
                for (int x = 0; x < width; ++x) {
                    // Bytes R, G, B, A read as a little-endian word: 0xAABBGGRR.
                    const quint32 p = qFromLittleEndian(line[x]);
                    line[x] = (p & 0xFF00FF00u) | ((p & 0x000000FFu) << 16) | ((p >> 16) & 0x000000FFu);
                }
            }
        });
    }
    out.image = std::move(image);
    return out;
}

QString ViewerWorkFile()
{
    return platform::programFolder() + QStringLiteral("\\temp.bmp");
}

QString ViewerCaption(const ImageRecord& record)
{
    const auto str = [](qint32 n) { return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n); };
    return QStringLiteral("PicView - ") + record.text + QStringLiteral(" (") + str(record.width) + QLatin1Char('x')
           + str(record.height) + QLatin1Char('x') + str(record.bits) + QLatin1Char(')');
}

ImageRead ReadViewerImage(const QString& sourcePath)
{
    const QString lower = sourcePath.toLower();
    ImageRead r;
    if (lower.endsWith(QStringLiteral(".tgpcdx"))) {
        r = readTexture(sourcePath);
    } else if (lower.endsWith(QStringLiteral(".dds"))) {
        QByteArray dds;
        if (!ReadFileBytes(sourcePath, dds))
            return failed(sourcePath, QStringLiteral("the file could not be read"));
        r = fromDds(sourcePath, dds);
    } else {
        QImageReader reader(platform::nativePath(sourcePath));
        reader.setAutoTransform(false);
        const QByteArray format = reader.format();
        QImage image;
        if (!reader.read(&image) || image.isNull())
            return failed(sourcePath, reader.errorString());
        r.ok = true;
        r.image = image.convertToFormat(QImage::Format_ARGB32);
        r.record.text = QString::fromLatin1(format).toUpper();
    }
    if (r.ok) {
        r.record.width = r.image.width();
        r.record.height = r.image.height();
        r.record.bits = 32;
    }
    return r;
}

bool WriteBitmap32(const QImage& source, const QString& path)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return false;
    const qint64 w = image.width();
    const qint64 h = image.height();
    constexpr int fileHeader = 14;
    constexpr int infoHeader = 108; // BITMAPV4HEADER, for the alpha mask
    const qint64 dataSize = w * h * 4;
    const qint64 total = fileHeader + infoHeader + dataSize;
    if (total > 0x7FFFFFFF)
        return false;
    QByteArray bmp(qsizetype(total), '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, quint32(total));
    put32(bmp, 10, fileHeader + infoHeader);
    put32(bmp, 14, infoHeader);
    put32(bmp, 18, quint32(w));
    put32(bmp, 22, quint32(h));
    put16(bmp, 26, 1);
    put16(bmp, 28, 32);
    put32(bmp, 30, 3); // BI_BITFIELDS
    put32(bmp, 34, quint32(dataSize));
    put32(bmp, 38, 2835);
    put32(bmp, 42, 2835);
    put32(bmp, 54, 0x00FF0000u);
    put32(bmp, 58, 0x0000FF00u);
    put32(bmp, 62, 0x000000FFu);
    put32(bmp, 66, 0xFF000000u);
    put32(bmp, 70, 0x73524742u); // "sRGB"
    char* out = bmp.data() + fileHeader + infoHeader;
    for (qint64 y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(int(y)));
        for (qint64 x = 0; x < w; ++x) {
            const QRgb p = line[x];
            *out++ = char(qBlue(p));
            *out++ = char(qGreen(p));
            *out++ = char(qRed(p));
            *out++ = char(qAlpha(p));
        }
    }
    QSaveFile f(platform::nativePath(path));
    const bool ok = f.open(QIODevice::WriteOnly) && f.write(bmp) == bmp.size() && platform::commitWhole(f);
    platform::clearPathCache();
    return ok;
}

ImageRead ConvertToWorkFile(const QString& sourcePath)
{
    const QString work = platform::nativePath(ViewerWorkFile());
    if (QFileInfo::exists(work))
        QFile::remove(work);
    platform::clearPathCache();
    ImageRead r = ReadViewerImage(sourcePath);
    if (r.ok && !WriteBitmap32(r.image, ViewerWorkFile())) {
        r = failed(sourcePath, QStringLiteral("the work file ") + ViewerWorkFile() + QStringLiteral(" could not be written"));
    }
    return r;
}

bool ProcessWorkFile(BitmapOperation operation)
{
    QImage image;
    if (!image.load(platform::nativePath(ViewerWorkFile()), "BMP"))
        return false;
    image = image.convertToFormat(QImage::Format_ARGB32);
    switch (operation) {
    case BitmapOperation::Greyscale:
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]));
            }
        }
        break;
    case BitmapOperation::Flip:
        image = image.mirrored(false, true);
        break;
    case BitmapOperation::Rotate:
        image = image.transformed(QTransform().rotate(90));
        break;
    }
    return WriteBitmap32(image, ViewerWorkFile());
}

} // namespace textures
