// The texture codec: the scan of a texture's XML, the DDS image and ".dat" side file made
// from it, the reading of a side file and the rebuild of the XML. The first input byte picks
// the road:
//   0  texture XML: scan; a scan without fault must describe the XML exactly (pieces and
//      level data put together give the XML back) and make an image; the side file written
//      for it reads back the same, and the rebuilt XML scans to the same image;
//   1  a side file's text: read; a side file that reads must write and read back the same,
//      and rebuild with an image of its size;
//   2  the number texts (Hex2Dec, Dec2Hex, Dec2Bin, Bin2Hex).

#include "common/VbError.h"
#include "fuzz/FuzzSupport.h"
#include "platform/TextCodec.h"
#include "textures/TextureCodec.h"

#include <cmath>
#include <cstring>

using namespace textures;

namespace {

constexpr qint64 kLargestImage = 1 << 20; // larger images are left alone, to keep runs fast

QString describe(const VbError& e)
{
    return QStringLiteral("VbError %1 %2").arg(e.number).arg(e.description);
}

// Element by element: QList's own comparison hands null pointers to memcmp for empty lists.
template <typename T>
bool same(const VbArray<T>& a, const VbArray<T>& b)
{
    if (a.lbound() != b.lbound() || a.count() != b.count())
        return false;
    for (qsizetype i = a.lbound(); i <= a.ubound(); ++i)
        if (!(a[i] == b[i]))
            return false;
    return true;
}

QByteArray patternImage(qint64 total, uint8_t seed)
{
    QByteArray image(qsizetype(DdsHeaderSize + total), '\0');
    for (qsizetype i = DdsHeaderSize; i < image.size(); ++i)
        image[i] = char(uint8_t(i * 31 + seed));
    return image;
}

void checkSideFileRoundTrip(const SideFile& side)
{
    TextureWork work;
    work.BlobCount = side.LevelCount;
    work.BlobTextParts = side.Pieces;
    work.BlobSizes = side.Sizes;
    const QString text = SideFileText(work, side.TexturePath);
    SideFile again;
    FUZZ_CHECK(ParseSideFile(text, again, !side.TexturePath.isEmpty()),
               QStringLiteral("a side file as written does not read: ") + fuzz::visible(text));
    FUZZ_CHECK(again.LevelCount == side.LevelCount && same(again.Pieces, side.Pieces) && same(again.Sizes, side.Sizes)
                   && again.TexturePath == side.TexturePath,
               QStringLiteral("a side file reads back otherwise: ") + fuzz::visible(text));
}

void textureRoad(const QString& xml, uint8_t seed)
{
    TextureWork& work = textureWork();
    const TextureFormat format = TextureFormatFor(FindFormatText(xml));
    const int width = FindDimension(xml, QStringLiteral("Width"));
    const int height = FindDimension(xml, QStringLiteral("Height"));

    LevelScan scan;
    try {
        scan = ScanTextureLevels(xml, work);
    } catch (const VbError& e) {
        fuzz::fail("ScanTextureLevels raised a run-time error", describe(e));
    }
    if (scan.found > MaxTextureLevels) {
        FUZZ_CHECK(work.BlobCount == scan.found, QStringLiteral("count of a multiple texture"));
        return;
    }
    if (scan.fault != LevelFault::None) {
        FUZZ_CHECK(scan.faultLevel >= 1 && scan.faultLevel <= scan.found,
                   QStringLiteral("fault level %1 of %2").arg(scan.faultLevel).arg(scan.found));
        return;
    }
    // Without a fault every level found was collected.
    FUZZ_CHECK(work.BlobCount == scan.found,
               QStringLiteral("%1 levels found, %2 collected, no fault").arg(scan.found).arg(work.BlobCount));
    const int n = work.BlobCount;
    FUZZ_CHECK(work.BlobSizes.lbound() == 1 && work.BlobSizes.ubound() == n && work.BlobDataStart.ubound() == n
                   && work.BlobDataEnd.ubound() == n && work.BlobTextParts.lbound() == 0
                   && work.BlobTextParts.ubound() == n,
               QStringLiteral("array bounds after a scan of %1 levels").arg(n));

    // The pieces and the level data, put together, are the XML.
    QString whole = work.BlobTextParts[0];
    for (int i = 1; i <= n; ++i) {
        const qsizetype start = work.BlobDataStart[i];
        const qsizetype end = work.BlobDataEnd[i];
        FUZZ_CHECK(start >= 1 && end >= start - 1 && end <= xml.size(),
                   QStringLiteral("level %1 data %2..%3 of %4").arg(i).arg(start).arg(end).arg(xml.size()));
        FUZZ_CHECK(work.BlobSizes[i] >= 0, QStringLiteral("negative size"));
        whole += xml.mid(start - 1, end - start + 1) + work.BlobTextParts[i];
    }
    FUZZ_CHECK(whole == xml, QStringLiteral("pieces and data do not make the XML"));

    qint64 total = 0;
    for (int i = 1; i <= n; ++i)
        total += work.BlobSizes[i];
    if (format == TextureFormat::Unsupported || scan.hashInPieces || total > kLargestImage)
        return;

    QByteArray image;
    try {
        image = BuildDdsImage(xml, work, format, width, height);
    } catch (const VbError& e) {
        fuzz::fail("BuildDdsImage raised a run-time error after a clean scan", describe(e));
    }
    FUZZ_CHECK(image.size() == DdsHeaderSize + total, QStringLiteral("image of %1 bytes for %2").arg(image.size()).arg(total));

    const QString path = QStringLiteral("C:\\Game\\Assets\\T") + QString::number(seed) + QStringLiteral(".TgPcDx");
    const QString sideText = SideFileText(work, path);
    SideFile side;
    FUZZ_CHECK(ParseSideFile(sideText, side), QStringLiteral("the side file of a clean scan does not read: ") + fuzz::visible(sideText));
    FUZZ_CHECK(side.LevelCount == n && same(side.Pieces, work.BlobTextParts) && same(side.Sizes, work.BlobSizes) && side.TexturePath == path,
               QStringLiteral("the side file of a clean scan reads back otherwise"));

    // The XML rebuilt around the image holds the same image, when every level's tag ends
    // with ">" right after its size (the rebuild drops a line feed there before an empty
    // level's "</d:blob").
    for (int i = 1; i <= n; ++i)
        if (xml.at(work.BlobDataStart[i] - 2) != QLatin1Char('>'))
            return;
    const QString rebuilt = RebuildTextureXml(side.Pieces, side.Sizes, image);
    TextureWork again;
    LevelScan scan2;
    try {
        scan2 = ScanTextureLevels(rebuilt, again);
    } catch (const VbError& e) {
        fuzz::fail("ScanTextureLevels raised a run-time error on a rebuilt texture", describe(e));
    }
    FUZZ_CHECK(scan2.fault == LevelFault::None && scan2.found == n && same(again.BlobSizes, work.BlobSizes),
               QStringLiteral("the rebuilt texture scans otherwise: ") + fuzz::visible(rebuilt));
    QByteArray image2;
    try {
        image2 = BuildDdsImage(rebuilt, again, format, width, height);
    } catch (const VbError& e) {
        fuzz::fail("BuildDdsImage raised a run-time error on a rebuilt texture", describe(e));
    }
    FUZZ_CHECK(image2 == image, QStringLiteral("the rebuilt texture holds another image: ") + fuzz::visible(rebuilt));
}

void sideFileRoad(const QString& text, bool needPath, uint8_t seed)
{
    SideFile side;
    if (!ParseSideFile(text, side, needPath))
        return;
    FUZZ_CHECK(side.LevelCount >= 0 && side.Pieces.lbound() == 0 && side.Pieces.ubound() == side.LevelCount
                   && side.Sizes.lbound() == 1 && side.Sizes.ubound() == side.LevelCount,
               QStringLiteral("bounds of a side file of %1 levels").arg(side.LevelCount));
    FUZZ_CHECK(!needPath || !side.TexturePath.isEmpty(), QStringLiteral("a side file without its path"));
    for (const QString& piece : side.Pieces.values())
        FUZZ_CHECK(!piece.contains(QLatin1Char('#')), QStringLiteral("a piece kept a #"));
    if (!side.TexturePath.contains(QLatin1Char('"')))
        checkSideFileRoundTrip(side);

    const qint64 total = TotalLevelSize(side.Sizes);
    if (total > kLargestImage)
        return;
    const QByteArray image = patternImage(total, seed);
    const QString xml = RebuildTextureXml(side.Pieces, side.Sizes, image);
    qint64 pieces = 0;
    for (const QString& p : side.Pieces.values())
        pieces += p.size();
    // Two digits a byte and at most a separator a byte besides the pieces.
    FUZZ_CHECK(xml.size() <= pieces + total * 3, QStringLiteral("rebuilt text of %1 characters").arg(xml.size()));
}

void numberRoad(fuzz::Input& in)
{
    const QString text = in.text(40);
    try {
        const qint32 value = Hex2Dec(text);
        if (value > 0) {
            FUZZ_CHECK(Hex2Dec(Dec2Hex(value)) == value, QStringLiteral("Hex2Dec(Dec2Hex(%1))").arg(value));
        }
    } catch (const VbError& e) {
        FUZZ_CHECK(e.number == 5 || e.number == 6, describe(e));
    }
    Bin2Hex(text);
    double number = 0;
    const QByteArray raw = in.rest().left(8);
    std::memcpy(&number, raw.constData(), size_t(raw.size()));
    if (std::isfinite(number) && std::fabs(number) < 1e300) {
        Dec2Hex(number);
        const QString bin = Dec2Bin(std::fabs(number) < 1e12 ? number : 1e12);
        Dec2Bin(number, in.pick(64));
        if (!bin.isEmpty())
            FUZZ_CHECK(!Bin2Hex(bin).startsWith(QLatin1String("Error")), bin);
    }
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const uint8_t road = in.byte();
    const uint8_t seed = in.byte();
    switch (road % 3) {
    case 0:
        textureRoad(platform::decodeAnsi(in.rest()), seed);
        break;
    case 1:
        sideFileRoad(platform::decodeAnsi(in.rest()), seed & 1, seed);
        break;
    default:
        numberRoad(in);
        break;
    }
    return 0;
}
