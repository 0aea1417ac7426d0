// The texture codec: number texts, the DDS header and image, the side file, and the texture XML
// rebuilt from a side file and an image.

#include "textures/TextureCodec.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using namespace textures;

namespace {

// Bytes from a text of hexadecimal pairs separated by blanks.
QByteArray hexBytes(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A 128-byte header: zero bytes with the given pairs written at their offsets.
QByteArray header(std::initializer_list<std::pair<int, const char*>> fields)
{
    QByteArray h(128, '\0');
    for (const auto& [offset, bytes] : fields)
        h.replace(offset, hexBytes(bytes).size(), hexBytes(bytes));
    return h;
}

const QString kCrLf = QStringLiteral("\r\n");

// One level, DXT1, 4 by 4.
const QString kOneLevel = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<cTextureSet>\r\n"
    "\t<Format d:type=\"cDeltaString\">HC_IMAGE_FORMAT_COMPRESSED</Format>\r\n"
    "\t<Width d:type=\"sUInt32\">4</Width>\r\n"
    "\t<Height d:type=\"sUInt32\">4</Height>\r\n"
    "\t<d:blob d:size=\"8\">0123456789ABCDEF </d:blob>\r\n"
    "</cTextureSet>\r\n");

// Three levels, ARGB 8.8.8.8, 4 by 2: 32, 8 and 4 bytes, laid out as the serializer writes them.
const QString kThreeLevels = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<cTextureSet>\r\n"
    "\t<Format d:type=\"cDeltaString\">HC_IMAGE_FORMAT_COLA8888</Format>\r\n"
    "\t<Width d:type=\"sUInt32\">4</Width>\r\n"
    "\t<Height d:type=\"sUInt32\">2</Height>\r\n"
    "\t<Levels>\r\n"
    "\t\t<d:blob d:size=\"32\">"
    "0011223344556677 8899AABBCCDDEEFF 0F1E2D3C4B5A6978 F0E1D2C3B4A59687</d:blob>\r\n"
    "\t\t<d:blob d:size=\"8\">0102030405060708 </d:blob>\r\n"
    "\t\t<d:blob d:size=\"4\">FFEEDDCC </d:blob>\r\n"
    "\t</Levels>\r\n"
    "</cTextureSet>\r\n");

// A texture XML around levels of the given sizes whose data texts are given.
QString textureXml(const QString& format, const QList<std::pair<int, QString>>& levels)
{
    QString xml = QStringLiteral("<x>\r\n<Format>") + format + QStringLiteral("</Format>\r\n<Width>8</Width><Height>8</Height>\r\n");
    for (const auto& [size, data] : levels)
        xml += QStringLiteral("<d:blob d:size=\"") + QString::number(size) + QStringLiteral("\">") + data
               + QStringLiteral("</d:blob>\r\n");
    return xml + QStringLiteral("</x>\r\n");
}

QByteArray imageOf(const QString& xml)
{
    TextureWork work;
    const LevelScan scan = ScanTextureLevels(xml, work);
    EXPECT_EQ(scan.fault, LevelFault::None);
    const TextureFormat format = TextureFormatFor(FindFormatText(xml));
    return BuildDdsImage(xml, work, format, FindDimension(xml, QStringLiteral("Width")),
                         FindDimension(xml, QStringLiteral("Height")));
}

} // namespace

TEST(NumberTexts, HexadecimalAndBinaryConversions)
{
    EXPECT_EQ(Dec2Hex(0), QString());
    EXPECT_EQ(Dec2Hex(255), QStringLiteral("FF"));
    EXPECT_EQ(Dec2Hex(1024), QStringLiteral("400"));
    EXPECT_EQ(Dec2Hex(524288), QStringLiteral("80000"));
    EXPECT_EQ(Dec2Hex(4294967295.0), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(Dec2Hex(std::ldexp(1.0, 90)), QStringLiteral("40000000000000000000000")); // 28 digits
    EXPECT_EQ(Dec2Hex(std::ldexp(1.0, 94)), QStringLiteral("-1"));                      // 29 digits
    EXPECT_EQ(Dec2Hex(-5), QString());

    EXPECT_EQ(Dec2Bin(0), QString());
    EXPECT_EQ(Dec2Bin(6), QStringLiteral("110"));
    EXPECT_EQ(Dec2Bin(6, 8), QStringLiteral("00000110"));
    EXPECT_EQ(Dec2Bin(255, 8), QStringLiteral("11111111"));
    EXPECT_EQ(Dec2Bin(256, 8), QStringLiteral("Error - Number exceeds specified bit size"));

    EXPECT_EQ(Bin2Hex(QStringLiteral("10011")), QStringLiteral("13"));
    EXPECT_EQ(Bin2Hex(QStringLiteral("0000")), QStringLiteral("0"));
    EXPECT_EQ(Bin2Hex(QString()), QString());
    EXPECT_EQ(Bin2Hex(QStringLiteral("1021")), QStringLiteral("Error - Argument not a binary string"));

    EXPECT_EQ(Hex2Dec(QStringLiteral("ff")), 255);
    EXPECT_EQ(Hex2Dec(QStringLiteral("0A")), 10);
    EXPECT_EQ(Hex2Dec(QString()), 0);
    EXPECT_EQ(Hex2Dec(QStringLiteral("7FFFFFFF")), 0x7FFFFFFF);
    try {
        Hex2Dec(QStringLiteral("80000000"));
        ADD_FAILURE() << "no overflow";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 6);
    }
    try {
        Hex2Dec(QStringLiteral("1G"));
        ADD_FAILURE() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 5);
    }
}

TEST(TextureXml, FormatAndSizeAreFoundInAnyCase)
{
    EXPECT_EQ(FindFormatText(QStringLiteral("<a><FORMAT x=\"1\">hc_image_format_compressed</format></a>")),
              QStringLiteral("hc_image_format_compressed"));
    EXPECT_EQ(TextureFormatFor(QStringLiteral("hc_image_format_compressed")), TextureFormat::Dxt1);
    EXPECT_EQ(TextureFormatFor(QStringLiteral("HC_IMAGE_FORMAT_COMPRESSED_EXPL_ALPHA")), TextureFormat::Dxt3);
    EXPECT_EQ(TextureFormatFor(QStringLiteral("HC_IMAGE_FORMAT_COL888")), TextureFormat::Rgb888);
    EXPECT_EQ(TextureFormatFor(QStringLiteral("HC_IMAGE_FORMAT_COLA8888")), TextureFormat::Argb8888);
    EXPECT_EQ(TextureFormatFor(QStringLiteral("HC_IMAGE_FORMAT_PAL8")), TextureFormat::Unsupported);
    EXPECT_EQ(TextureFormatLabel(TextureFormat::Argb8888), QStringLiteral("ARGB 8.8.8.8"));
    EXPECT_EQ(FindFormatText(QStringLiteral("<a></a>")), QString());

    EXPECT_EQ(FindDimension(kThreeLevels, QStringLiteral("Width")), 4);
    EXPECT_EQ(FindDimension(QStringLiteral("<wIdTh>1024</wIdTh>"), QStringLiteral("Width")), 1024);
    EXPECT_EQ(FindDimension(QStringLiteral("<Width>40000</Width>"), QStringLiteral("Width")), 0); // beyond 16 bits
    EXPECT_EQ(FindDimension(QStringLiteral("<Height>512</Height>"), QStringLiteral("Width")), 0);
}

TEST(DdsHeader, FieldsForOneAndSeveralLevels)
{
    // DXT1 1024 by 1024, one level of 524288 bytes.
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Dxt1, 1024, 1024, 1, 524288),
              header({{0, "44 44 53 20 7C 00 00 00 07 10 08 00 00 04 00 00 00 04 00 00 00 00 08 00"},
                      {28, "01 00 00 00"},
                      {76, "20 00 00 00 04 00 00 00 44 58 54 31"}}));
    // DXT3 256 wide, 128 high, nine levels.
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Dxt3, 256, 128, 9, 0x12345),
              header({{0, "44 44 53 20 7C 00 00 00 07 10 0A 00 80 00 00 00 00 01 00 00 45 23 01 00"},
                      {28, "09 00 00 00"},
                      {76, "20 00 00 00 04 00 00 00 44 58 54 33"},
                      {108, "08 10 40 00"}}));
    // Sixteen levels.
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Dxt1, 4, 4, 16, 8).mid(28, 4), hexBytes("10 00 00 00"));
    // Uncompressed: fixed linear sizes, 32 bits with an alpha mask.
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Argb8888, 64, 32, 1, 8192),
              header({{0, "44 44 53 20 7C 00 00 00 07 10 08 00 20 00 00 00 40 00 00 00 00 00 04 00"},
                      {28, "01 00 00 00"},
                      {76, "20 00 00 00 41 00 00 00 00 00 00 00 20 00 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 00 00 00 00 FF"},
                      {108, "00 10 00 00"}}));
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Rgb888, 512, 256, 10, 1).mid(8, 24),
              hexBytes("07 10 0A 00 00 01 00 00 00 02 00 00 00 00 40 00 00 00 00 00 0A 00 00 00"));
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Rgb888, 512, 256, 10, 1).mid(108, 4), hexBytes("08 10 40 00"));
    // A width that could not be read leaves its bytes 0.
    EXPECT_EQ(BuildDdsHeader(TextureFormat::Dxt1, -4, 0, 1, 8).mid(12, 8), QByteArray(8, '\0'));
}

TEST(DdsImage, OneLevelCompressed)
{
    TextureWork work;
    const LevelScan scan = ScanTextureLevels(kOneLevel, work);
    EXPECT_EQ(scan.found, 1);
    EXPECT_EQ(scan.fault, LevelFault::None);
    EXPECT_FALSE(scan.hashInPieces);

    EXPECT_EQ(BuildDdsImage(kOneLevel, work, TextureFormat::Dxt1, 4, 4),
              header({{0, "44 44 53 20 7C 00 00 00 07 10 08 00 04 00 00 00 04 00 00 00 08 00 00 00"},
                      {28, "01 00 00 00"},
                      {76, "20 00 00 00 04 00 00 00 44 58 54 31"}})
                  + hexBytes("01 23 45 67 89 AB CD EF"));

    EXPECT_EQ(SideFileText(work, QStringLiteral("C:\\Game\\Assets\\Kit\\Wall.TgPcDx")),
              QStringLiteral(" 1\r\n"
                             "\"<?xml version=#1.0# encoding=#utf-8#?>\r\n"
                             "<cTextureSet>\r\n"
                             "\t<Format d:type=#cDeltaString#>HC_IMAGE_FORMAT_COMPRESSED</Format>\r\n"
                             "\t<Width d:type=#sUInt32#>4</Width>\r\n"
                             "\t<Height d:type=#sUInt32#>4</Height>\r\n"
                             "\t<d:blob d:size=#8#>\"\r\n"
                             "\"</d:blob>\r\n"
                             "</cTextureSet>\r\n"
                             "\"\r\n"
                             "8\r\n"
                             "\"C:\\Game\\Assets\\Kit\\Wall.TgPcDx\"\r\n"));
}

TEST(DdsImage, SeveralLevelsUncompressed)
{
    TextureWork work;
    const LevelScan scan = ScanTextureLevels(kThreeLevels, work);
    ASSERT_EQ(scan.found, 3);
    EXPECT_EQ(work.BlobCount, 3);
    EXPECT_EQ(work.BlobSizes.values(), (QList<qint32>{32, 8, 4}));

    const QByteArray image = BuildDdsImage(kThreeLevels, work, TextureFormat::Argb8888, 4, 2);
    EXPECT_EQ(image,
              header({{0, "44 44 53 20 7C 00 00 00 07 10 0A 00 02 00 00 00 04 00 00 00 00 00 04 00"},
                      {28, "03 00 00 00"},
                      {76, "20 00 00 00 41 00 00 00 00 00 00 00 20 00 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 00 00 00 00 FF"},
                      {108, "08 10 40 00"}})
                  + hexBytes("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 0F 1E 2D 3C 4B 5A 69 78 F0 E1 D2 C3 B4 A5 96 87"
                             " 01 02 03 04 05 06 07 08"
                             " FF EE DD CC"));

    EXPECT_EQ(SideFileText(work, QStringLiteral("/games/rs/Assets/Kit/Sky.TgPcDx")),
              QStringLiteral(" 3\r\n"
                             "\"<?xml version=#1.0# encoding=#utf-8#?>\r\n"
                             "<cTextureSet>\r\n"
                             "\t<Format d:type=#cDeltaString#>HC_IMAGE_FORMAT_COLA8888</Format>\r\n"
                             "\t<Width d:type=#sUInt32#>4</Width>\r\n"
                             "\t<Height d:type=#sUInt32#>2</Height>\r\n"
                             "\t<Levels>\r\n"
                             "\t\t<d:blob d:size=#32#>\"\r\n"
                             "\"</d:blob>\r\n\t\t<d:blob d:size=#8#>\"\r\n"
                             "\"</d:blob>\r\n\t\t<d:blob d:size=#4#>\"\r\n"
                             "\"</d:blob>\r\n\t</Levels>\r\n</cTextureSet>\r\n\"\r\n"
                             "32\r\n8\r\n4\r\n"
                             "\"/games/rs/Assets/Kit/Sky.TgPcDx\"\r\n"));
}

TEST(DdsImage, LevelDataIsOneRunOfDigitPairs)
{
    const QString format = QStringLiteral("HC_IMAGE_FORMAT_COMPRESSED");
    // White space anywhere, even between the digits of a byte; lower case digits.
    EXPECT_EQ(imageOf(textureXml(format, {{4, QStringLiteral("\n a\r\nb c\td 0 1 2\n3 ")}})).mid(128), hexBytes("AB CD 01 23"));
    // A pair may straddle two levels: the levels' texts are read as one run.
    EXPECT_EQ(imageOf(textureXml(format, {{2, QStringLiteral("123")}, {1, QStringLiteral("4 56")}})).mid(128),
              hexBytes("12 34 56"));
    // Data shorter than the sizes leaves zeros; a last single digit is ignored.
    EXPECT_EQ(imageOf(textureXml(format, {{4, QStringLiteral("AABBC")}})).mid(128), hexBytes("AA BB 00 00"));
    // Data longer than the sizes is cut at their sum.
    EXPECT_EQ(imageOf(textureXml(format, {{1, QStringLiteral("0102")}, {1, QStringLiteral("03")}})).mid(128),
              hexBytes("01 02"));
    // Level sizes that do not start with a number count as 0.
    TextureWork work;
    ScanTextureLevels(textureXml(format, {{0, QString()}}).replace(QStringLiteral("\"0\""), QStringLiteral("\"x\"")), work);
    EXPECT_EQ(work.BlobSizes.values(), (QList<qint32>{0}));
}

TEST(TextureScan, LevelCountsAndRefusals)
{
    const QString format = QStringLiteral("HC_IMAGE_FORMAT_COMPRESSED");
    QList<std::pair<int, QString>> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.append({1, QStringLiteral("0A")});
    TextureWork work;
    EXPECT_EQ(ScanTextureLevels(textureXml(format, sixteen), work).found, 16);
    EXPECT_EQ(work.BlobTextParts.ubound(), 16);
    sixteen.append({1, QStringLiteral("0B")});
    EXPECT_EQ(ScanTextureLevels(textureXml(format, sixteen), work).found, 17);

    const auto faultOf = [&](const QString& xml) {
        TextureWork w;
        const LevelScan s = ScanTextureLevels(xml, w);
        return std::make_pair(s.fault, s.faultLevel);
    };
    EXPECT_EQ(faultOf(textureXml(format, {{2, QStringLiteral("0A0B")}, {1, QStringLiteral("0x")}})),
              std::make_pair(LevelFault::NotHex, 2));
    EXPECT_EQ(faultOf(textureXml(format, {{2, QStringLiteral("0A\t0B")}})), std::make_pair(LevelFault::None, 0));
    EXPECT_EQ(faultOf(textureXml(format, {{-2, QStringLiteral("0A0B")}})), std::make_pair(LevelFault::BadSize, 1));
    EXPECT_EQ(faultOf(QStringLiteral("<d:blob d:size=\"9999999999\">00</d:blob>")), std::make_pair(LevelFault::BadSize, 1));
    EXPECT_EQ(faultOf(QStringLiteral("<d:blob d:size=\"2000000000\">00</d:blob><d:blob d:size=\"2000000000\">00</d:blob>")),
              std::make_pair(LevelFault::TooLarge, 2));
    EXPECT_EQ(faultOf(QStringLiteral("<x><d:blob d:size=\"2\">0A0B</x>")), std::make_pair(LevelFault::NoSize, 1));
    EXPECT_EQ(faultOf(QStringLiteral("<x><d:blob>0A0B</d:blob></x>")), std::make_pair(LevelFault::NoSize, 1));

    // "#" in the XML around the data cannot pass through the side file; in no piece it is fine.
    TextureWork w;
    EXPECT_TRUE(ScanTextureLevels(QString(kOneLevel).replace(QStringLiteral("<cTextureSet>"), QStringLiteral("<cTextureSet>#1")), w)
                    .hashInPieces);
    EXPECT_FALSE(ScanTextureLevels(kThreeLevels, w).hashInPieces);

    // Without levels the whole XML is piece 0.
    EXPECT_EQ(ScanTextureLevels(QStringLiteral("<x>\"a\"</x>"), w).found, 0);
    EXPECT_EQ(w.BlobTextParts.values(), QList<QString>{QStringLiteral("<x>\"a\"</x>")});
}

TEST(TextureScan, AScanThatStopsCollectsOnlyTheLevelsBeforeIt)
{
    // A level without a size or an end stops the scan. An earlier level's fault stays the one
    // reported, and the count and the arrays hold only the levels read before the stop.
    const QString head = QStringLiteral("<Format>HC_IMAGE_FORMAT_COMPRESSED</Format>");
    struct Row {
        QString levels;
        LevelFault fault;
        int faultLevel;
        int blobCount;
    };
    const Row rows[] = {
        {QStringLiteral("<d:blob d:size=\"1\">zz</d:blob><d:blob d:size=\"1\">00"), LevelFault::NotHex, 1, 1},
        {QStringLiteral("<d:blob d:size=\"-1\">00</d:blob><d:blob d:size=\"1\">00"), LevelFault::BadSize, 1, 1},
        {QStringLiteral("<d:blob d:size=\"9999999999\">00</d:blob><d:blob d:size=\"1\">00</d:blob><d:blob>"),
         LevelFault::BadSize, 1, 2},
        {QStringLiteral("<d:blob d:size=\"2000000000\">00</d:blob><d:blob d:size=\"2000000000\">00</d:blob>"
                        "<d:blob d:size=\"1\">0"),
         LevelFault::TooLarge, 2, 2},
        {QStringLiteral("<d:blob d:size=\"1\">00</d:blob><d:blob d:size=\"1\">00"), LevelFault::NoSize, 2, 1},
        {QStringLiteral("<d:blob d:size=\"1\">00"), LevelFault::NoSize, 1, 0},
    };
    for (const Row& row : rows) {
        TextureWork work;
        const LevelScan scan = ScanTextureLevels(head + row.levels, work);
        EXPECT_EQ(scan.fault, row.fault) << row.levels.toStdString();
        EXPECT_EQ(scan.faultLevel, row.faultLevel) << row.levels.toStdString();
        EXPECT_EQ(work.BlobCount, row.blobCount) << row.levels.toStdString();
        for (int i = 1; i <= work.BlobCount; ++i)
            EXPECT_LE(work.BlobDataStart[i], work.BlobDataEnd[i] + 1) << row.levels.toStdString();
    }
}

TEST(SideFile, ReadsWhatTheWriterWrites)
{
    TextureWork work;
    ScanTextureLevels(kThreeLevels, work);
    const QString path = QStringLiteral("C:\\Game #2\\Assets\\Kit\\Sky.TgPcDx");
    SideFile side;
    ASSERT_TRUE(ParseSideFile(SideFileText(work, path), side));
    EXPECT_EQ(side.LevelCount, 3);
    EXPECT_EQ(side.Pieces.values(), work.BlobTextParts.values()); // quotes restored, line breaks kept
    EXPECT_EQ(side.Sizes.values(), (QList<qint32>{32, 8, 4}));
    EXPECT_EQ(side.TexturePath, path);

    // A template without the path record.
    const QString noPath = QStringLiteral(" 1\r\n\"<a size=#2#>\"\r\n\"</a>\"\r\n2\r\n");
    EXPECT_FALSE(ParseSideFile(noPath, side));
    ASSERT_TRUE(ParseSideFile(noPath, side, false));
    EXPECT_EQ(side.Pieces[0], QStringLiteral("<a size=\"2\">"));
    EXPECT_EQ(side.TexturePath, QString());

    // Damaged files.
    for (const QString& damaged : {QString(), QStringLiteral("x\r\n"), QStringLiteral(" 2\r\n\"a\"\r\n\"b\"\r\n1\r\n2\r\n\"p\"\r\n"),
                                   QStringLiteral(" 1\r\n\"a\"\r\n\"b\r\n"), QStringLiteral(" 1\r\na\r\n\"b\"\r\n1\r\n\"p\"\r\n"),
                                   QStringLiteral(" 1\r\n\"a\"\r\n\"b\"\r\n-1\r\n\"p\"\r\n"),
                                   QStringLiteral(" 1\r\n\"a\"\r\n\"b\"\r\n1\r\n\"\"\r\n"),
                                   QStringLiteral(" 1\r\n\"a\"\r\n\"b\"\r\n3000000000\r\n\"p\"\r\n")})
        EXPECT_FALSE(ParseSideFile(damaged, side)) << damaged.toStdString();
}

TEST(TextureRebuild, GroupsLinesAndClosingTags)
{
    const auto pieces = [](const QStringList& list) {
        VbArray<QString> p(0, list.size() - 1);
        for (qsizetype i = 0; i < list.size(); ++i)
            p[i] = list[i];
        return p;
    };
    const auto sizes = [](const QList<qint32>& list) {
        VbArray<qint32> s(1, list.size());
        for (qsizetype i = 0; i < list.size(); ++i)
            s[i + 1] = list[i];
        return s;
    };
    QByteArray image(128, '\x7F'); // the header is skipped whatever it holds
    for (int i = 0; i < 76; ++i)
        image.append(char(i));

    // A level of 8 bytes: one group and its blank; the next level starts at the next byte.
    // A level of 64 bytes: two full lines, the last line feed removed. A level of 4 bytes: one
    // group of eight digits. Each level starts its own line count.
    const VbArray<QString> three = pieces({QStringLiteral("<t><d:blob d:size=\"8\">"), QStringLiteral("</d:blob><d:blob d:size=\"64\">"),
                                           QStringLiteral("</D:BLOB><d:blob d:size=\"4\">"), QStringLiteral("</d:blob>\n</t>")});
    EXPECT_EQ(RebuildTextureXml(three, sizes({8, 64, 4}), image),
              QStringLiteral("<t><d:blob d:size=\"8\">0001020304050607 </d:blob><d:blob d:size=\"64\">"
                             "08090A0B0C0D0E0F 1011121314151617 18191A1B1C1D1E1F 2021222324252627\n"
                             "28292A2B2C2D2E2F 3031323334353637 38393A3B3C3D3E3F 4041424344454647</D:BLOB>"
                             "<d:blob d:size=\"4\">48494A4B </d:blob>\n</t>"));

    // A surplus at the end of the image is not used.
    EXPECT_EQ(RebuildTextureXml(pieces({QStringLiteral("<a>"), QStringLiteral("</a>")}), sizes({2}), image),
              QStringLiteral("<a>0001 </a>"));

    // An image that ends early: the group in progress is completed with zeros, and no further
    // bytes are written, though every piece is.
    const QByteArray shortImage = image.left(128 + 11);
    EXPECT_EQ(RebuildTextureXml(three, sizes({8, 64, 4}), shortImage),
              QStringLiteral("<t><d:blob d:size=\"8\">0001020304050607 </d:blob><d:blob d:size=\"64\">"
                             "08090A0000000000 </D:BLOB><d:blob d:size=\"4\"></d:blob>\n</t>"));

    // Levels of nothing.
    EXPECT_EQ(RebuildTextureXml(pieces({QStringLiteral("<a>"), QStringLiteral("</a>")}), sizes({0}), image),
              QStringLiteral("<a></a>"));
}

TEST(TextureRebuild, SideFileAndImageGiveTheTextureBack)
{
    for (const QString& original : {kOneLevel, kThreeLevels}) {
        TextureWork work;
        ScanTextureLevels(original, work);
        const QByteArray image = BuildDdsImage(original, work, TextureFormatFor(FindFormatText(original)), 4, 4);
        SideFile side;
        ASSERT_TRUE(ParseSideFile(SideFileText(work, QStringLiteral("C:\\t.TgPcDx")), side));
        EXPECT_EQ(RebuildTextureXml(side.Pieces, side.Sizes, image), original);
    }
}
