// The viewer's conversions without a window: the DDS reader against hand-made blocks with known
// pixels and against damaged headers, the sample game's texture through the test serializer,
// other pictures through Qt's readers, the 32-bit bitmap and the work file's operations.

#include "textures/ImageConvert.h"

#include "hub/TextureCommands.h"
#include "platform/TextCodec.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/ScopedEnv.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

using namespace hub;
using namespace textures;

namespace {

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray header(int width, int height, const char* fourCc)
{
    QByteArray h(128, '\0');
    h.replace(0, 4, "DDS ");
    put32(h, 4, 124);
    put32(h, 8, 0x1007);
    put32(h, 12, quint32(height));
    put32(h, 16, quint32(width));
    put32(h, 76, 32);
    put32(h, 80, 0x4);
    h.replace(84, 4, fourCc);
    return h;
}

QByteArray maskedHeader(int width, int height, quint32 r, quint32 g, quint32 b, quint32 a)
{
    QByteArray h = header(width, height, "none");
    put32(h, 80, a ? 0x41 : 0x40);
    put32(h, 84, 0);
    put32(h, 88, 32);
    put32(h, 92, r);
    put32(h, 96, g);
    put32(h, 100, b);
    put32(h, 104, a);
    return h;
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// A DXT1 colour block: two 5:6:5 colours, then one byte of 2-bit indices per row.
QByteArray colourBlock(quint16 c0, quint16 c1, int rowIndices)
{
    QByteArray b = bytes({c0 & 0xFF, c0 >> 8, c1 & 0xFF, c1 >> 8});
    for (int i = 0; i < 4; ++i)
        b.append(char(rowIndices));
    return b;
}

constexpr int kRow0123 = 0 | 1 << 2 | 2 << 4 | 3 << 6; // pixels 0..3 use indices 0, 1, 2, 3

// DXT5 alpha block: two alphas and 3-bit indices; pixels 0..4 use 0, 1, 2, 7 and 6.
QByteArray alphaBlock(int a0, int a1)
{
    const quint64 idx = 0ull | 1ull << 3 | 2ull << 6 | 7ull << 9 | 6ull << 12;
    QByteArray b = bytes({a0, a1});
    for (int i = 0; i < 6; ++i)
        b.append(char((idx >> (8 * i)) & 0xFF));
    return b;
}

using Pixels = std::vector<std::tuple<int, int, QRgb>>;

struct DdsRow {
    const char* name;
    QByteArray dds;
    DdsFault fault;
    const char* format;
    int width;
    int height;
    Pixels pixels;
};

} // namespace

TEST(DdsReader, DecodesKnownBlocksAndRefusesDamagedImages)
{
    const QByteArray white = colourBlock(0xFFFF, 0x0000, 0);
    // DXT3: explicit 4-bit alphas, low nibble first (pixels 0..3: 0, 1, 2, 15).
    const QByteArray dxt3 = bytes({0x10, 0xF2, 0, 0, 0, 0, 0, 0}) + white;
    const QByteArray argbPixels = bytes({0x30, 0x20, 0x10, 0x80, 0x03, 0x02, 0x01, 0xFF});

    // 600x601: large enough to be decoded in bands on several threads, with a partial last
    // block row; block rows alternate blue and red.
    QByteArray striped = header(600, 601, "DXT1");
    for (int by = 0; by < 151; ++by)
        for (int bx = 0; bx < 150; ++bx)
            striped += colourBlock(by % 2 ? 0xF800 : 0x001F, 0, 0);

    const std::vector<DdsRow> rows = {
        {"DXT1 in bands", striped, DdsFault::None, "DXT1", 600, 601,
         {{599, 0, qRgb(0, 0, 255)}, {0, 4, qRgb(255, 0, 0)}, {300, 596, qRgb(255, 0, 0)}, {599, 600, qRgb(0, 0, 255)},
          {7, 303, qRgb(255, 0, 0)}, {7, 307, qRgb(0, 0, 255)}}},
        {"short DXT1 in bands", striped.left(striped.size() - 1), DdsFault::ShortData, "", 0, 0, {}},
        {"DXT1 four colours", header(4, 4, "DXT1") + colourBlock(0xF800, 0x001F, kRow0123), DdsFault::None, "DXT1", 4, 4,
         {{0, 0, qRgba(255, 0, 0, 255)}, {1, 0, qRgba(0, 0, 255, 255)}, {2, 0, qRgba(170, 0, 85, 255)},
          {3, 0, qRgba(85, 0, 170, 255)}, {3, 3, qRgba(85, 0, 170, 255)}}},
        {"DXT1 three colours and transparent", header(4, 4, "DXT1") + colourBlock(0x001F, 0xF800, kRow0123),
         DdsFault::None, "DXT1", 4, 4,
         {{0, 0, qRgba(0, 0, 255, 255)}, {1, 0, qRgba(255, 0, 0, 255)}, {2, 0, qRgba(127, 0, 127, 255)},
          {3, 0, qRgba(0, 0, 0, 0)}}},
        {"DXT1 partial blocks", header(5, 3, "DXT1") + colourBlock(0xF800, 0x001F, 0) + colourBlock(0x07E0, 0, 0),
         DdsFault::None, "DXT1", 5, 3, {{3, 2, qRgba(255, 0, 0, 255)}, {4, 0, qRgba(0, 255, 0, 255)}}},
        {"DXT3", header(4, 4, "DXT3") + dxt3, DdsFault::None, "DXT3", 4, 4,
         {{0, 0, qRgba(255, 255, 255, 0)}, {1, 0, qRgba(255, 255, 255, 17)}, {2, 0, qRgba(255, 255, 255, 34)},
          {3, 0, qRgba(255, 255, 255, 255)}}},
        {"DXT5 eight alphas", header(4, 4, "DXT5") + alphaBlock(255, 0) + white, DdsFault::None, "DXT5", 4, 4,
         {{0, 0, qRgba(255, 255, 255, 255)}, {1, 0, qRgba(255, 255, 255, 0)}, {2, 0, qRgba(255, 255, 255, 218)},
          {3, 0, qRgba(255, 255, 255, 36)}, {0, 1, qRgba(255, 255, 255, 72)}}},
        {"DXT5 six alphas", header(4, 4, "DXT5") + alphaBlock(0, 255) + white, DdsFault::None, "DXT5", 4, 4,
         {{0, 0, qRgba(255, 255, 255, 0)}, {1, 0, qRgba(255, 255, 255, 255)}, {2, 0, qRgba(255, 255, 255, 51)},
          {3, 0, qRgba(255, 255, 255, 255)}, {0, 1, qRgba(255, 255, 255, 0)}}},
        {"32-bit ARGB", maskedHeader(2, 1, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000) + argbPixels,
         DdsFault::None, "ARGB", 2, 1, {{0, 0, qRgba(0x10, 0x20, 0x30, 0x80)}, {1, 0, qRgba(1, 2, 3, 255)}}},
        {"32-bit ABGR", maskedHeader(2, 1, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000) + argbPixels,
         DdsFault::None, "ARGB", 2, 1, {{0, 0, qRgba(0x30, 0x20, 0x10, 0x80)}, {1, 0, qRgba(3, 2, 1, 255)}}},
        {"32-bit without alpha", maskedHeader(2, 1, 0x00FF0000, 0x0000FF00, 0x000000FF, 0) + argbPixels,
         DdsFault::None, "XRGB", 2, 1, {{0, 0, qRgba(0x10, 0x20, 0x30, 255)}}},
        {"32-bit 10:10:10:2", maskedHeader(1, 1, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000)
                                  + bytes({0xFF, 0x03, 0, 0xC0}), DdsFault::None, "ARGB", 1, 1,
         {{0, 0, qRgba(0, 0, 255, 255)}}},
        {"short header", header(4, 4, "DXT1").left(127), DdsFault::ShortHeader, "", 0, 0, {}},
        {"empty", QByteArray(), DdsFault::ShortHeader, "", 0, 0, {}},
        {"no mark", QByteArray("XDS ") + header(4, 4, "DXT1").mid(4) + white, DdsFault::NotDds, "", 0, 0, {}},
        {"short data DXT1", header(8, 8, "DXT1") + white + white + white, DdsFault::ShortData, "", 0, 0, {}},
        {"short data partial", header(5, 3, "DXT1") + white + white.left(7), DdsFault::ShortData, "", 0, 0, {}},
        {"short data DXT5", header(4, 4, "DXT5") + white, DdsFault::ShortData, "", 0, 0, {}},
        {"short data 32-bit", maskedHeader(2, 2, 0xFF0000, 0xFF00, 0xFF, 0) + argbPixels, DdsFault::ShortData, "", 0, 0, {}},
        {"DX10 extension", header(4, 4, "DX10") + white, DdsFault::UnknownFormat, "", 0, 0, {}},
        {"24-bit", [] { QByteArray h = maskedHeader(1, 1, 0xFF0000, 0xFF00, 0xFF, 0); put32(h, 88, 24); return h; }()
                       + white, DdsFault::UnknownFormat, "", 0, 0, {}},
        {"zero width", header(0, 4, "DXT1") + white, DdsFault::BadSize, "", 0, 0, {}},
        {"absurd height", header(4, 0x7FFFFFFF, "DXT1") + white, DdsFault::BadSize, "", 0, 0, {}},
        {"height past 32 bits signed", header(4, -4, "DXT1") + white, DdsFault::BadSize, "", 0, 0, {}},
    };
    for (const DdsRow& row : rows) {
        SCOPED_TRACE(row.name);
        // A copy of exactly the row's size, so that a read past the end is caught by the sanitizers.
        const QByteArray exact(row.dds.constData(), row.dds.size());
        const DdsDecoded d = DecodeDds(exact);
        EXPECT_EQ(d.fault, row.fault);
        if (row.fault != DdsFault::None) {
            EXPECT_TRUE(d.image.isNull());
            continue;
        }
        EXPECT_EQ(d.formatName, QString::fromLatin1(row.format));
        ASSERT_EQ(d.image.width(), row.width);
        ASSERT_EQ(d.image.height(), row.height);
        for (const auto& [x, y, rgba] : row.pixels)
            EXPECT_EQ(d.image.pixel(x, y), rgba) << "pixel " << x << "," << y << " is " << std::hex << d.image.pixel(x, y);
    }
}

TEST(ImageViewerCaption, WritesNumbersAsStrDoes)
{
    EXPECT_EQ(ViewerCaption({QStringLiteral("DXT1"), 16, 16, 32}), QStringLiteral("PicView - DXT1 ( 16x 16x 32)"));
    EXPECT_EQ(ViewerCaption({QStringLiteral("PNG"), 1024, 512, 32}), QStringLiteral("PicView - PNG ( 1024x 512x 32)"));
    EXPECT_EQ(ViewerCaption({QString(), 0, -1, 0}), QStringLiteral("PicView -  ( 0x-1x 0)"));
}

class ImageConversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        ASSERT_TRUE(installSerz(tree.systemPath()));
        texture = tree.gamePath() + QStringLiteral("\\Assets\\VeltraneSamples\\Sample01\\Scenery\\Trees\\Textures\\VS_Oak01.TgPcDx");
        original = tree.readFile(QStringLiteral("game/") + kTextureRel);
        ASSERT_FALSE(original.isEmpty());
    }

    QImage workImage() const
    {
        QImage image(tree.path(QStringLiteral("program/temp.bmp")), "BMP");
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    const QString kTextureRel = QStringLiteral("Assets/VeltraneSamples/Sample01/Scenery/Trees/Textures/VS_Oak01.TgPcDx");
    TempTree tree;
    QString texture;
    QByteArray original;
};

TEST_F(ImageConversion, TextureBecomesTheWorkBitmapAndStaysUntouched)
{
    tree.writeFile(QStringLiteral("program/temp.bmp"), "old");
    const ImageRead r = ConvertToWorkFile(texture);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(ViewerCaption(r.record), QStringLiteral("PicView - DXT1 ( 16x 16x 32)"));
    const QImage image = workImage();
    ASSERT_EQ(image.size(), QSize(16, 16));
    // The first block: colours 0x2CA5 and 0x12C3, top-left pixel index 3, the next index 2.
    EXPECT_EQ(image.pixel(0, 0), qRgb(24, 109, 29));
    EXPECT_EQ(image.pixel(1, 0), qRgb(32, 129, 35));
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel), original);
    // The 32-bit bitmap header, and no work copies left behind.
    const QByteArray bmp = tree.readFile(QStringLiteral("program/temp.bmp"));
    ASSERT_GE(bmp.size(), 30);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(int(uchar(bmp[28])), 32);
    EXPECT_EQ(bmp.size(), 14 + 108 + 16 * 16 * 4);
    EXPECT_TRUE(QDir(tree.path(QStringLiteral("program/TempFiles"))).entryList(QDir::Files).isEmpty());
}

TEST_F(ImageConversion, UncompressedSampleTextureShowsItsPattern)
{
    // The sample's 16x16 ARGB 8.8.8.8 bark texture: red, green, blue and half-transparent
    // yellow quarters with a white diagonal.
    const QString rel = QStringLiteral("Assets/VeltraneSamples/Sample01/Scenery/Trees/VS_Oak01_Bark.TgPcDx");
    const QByteArray bark = tree.readFile(QStringLiteral("game/") + rel);
    ASSERT_FALSE(bark.isEmpty());
    const ImageRead r = ConvertToWorkFile(tree.gamePath() + QStringLiteral("\\") + QString(rel).replace(QLatin1Char('/'), QLatin1Char('\\')));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(ViewerCaption(r.record), QStringLiteral("PicView - ARGB ( 16x 16x 32)"));
    const QImage image = workImage();
    ASSERT_EQ(image.size(), QSize(16, 16));
    const std::vector<std::pair<QPoint, QRgb>> pixels = {
        {{0, 0}, qRgba(255, 255, 255, 255)},  {{15, 15}, qRgba(255, 255, 255, 255)}, {{1, 0}, qRgba(255, 0, 0, 255)},
        {{15, 0}, qRgba(0, 255, 0, 255)},     {{0, 15}, qRgba(0, 0, 255, 255)},      {{6, 7}, qRgba(255, 0, 0, 255)},
        {{9, 7}, qRgba(0, 255, 0, 255)},      {{7, 8}, qRgba(0, 0, 255, 255)},       {{14, 15}, qRgba(255, 255, 0, 128)},
    };
    for (const auto& [at, rgba] : pixels)
        EXPECT_EQ(image.pixel(at), rgba) << at.x() << "," << at.y();
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + rel), bark);
}

TEST_F(ImageConversion, FailuresLeaveNoWorkFileAndNameTheSource)
{
    const QString png = tree.writeFile(QStringLiteral("game/bad.png"), "not a picture");
    const QString dds = tree.writeFile(QStringLiteral("game/short.dds"), header(64, 64, "DXT5"));
    // The oak's texture with an empty format name, in the test serializer's binary form.
    QFile source(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + kTextureRel + QStringLiteral(".xml"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray unnamed = source.readAll().replace("HC_IMAGE_FORMAT_COMPRESSED", "");
    for (char& c : unnamed)
        c = char(c ^ char(0xA5));
    const QString noFormat = tree.writeFile(QStringLiteral("game/NoFormat.TgPcDx"), "SERZBIN1" + unnamed);
    struct Row {
        const char* name;
        QString source;
        const char* serzFail;
        const char* reason;
    };
    const std::vector<Row> rows = {
        {"serializer failure", texture, "PicView.bin", "could not be shown: SERZ.EXE could not convert "},
        {"missing texture", tree.gamePath() + QStringLiteral("\\nothing.TgPcDx"), "", "the file does not exist"},
        {"unreadable picture", png, "", "could not be shown: "},
        {"short DDS", dds, "", "its image data is incomplete"},
        {"missing picture", tree.gamePath() + QStringLiteral("\\none.png"), "", "could not be shown: "},
        {"texture without a format name", noFormat, "", "could not be shown: it names no texture format."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        tree.writeFile(QStringLiteral("program/temp.bmp"), "old");
        ScopedEnv fail("SERZ_FAIL", row.serzFail);
        const ImageRead r = ConvertToWorkFile(row.source);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(row.source)) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(row.reason))) << r.error.toStdString();
        // One sentence: a single full stop at its end, never two.
        EXPECT_TRUE(r.error.endsWith(QLatin1Char('.')) && !r.error.endsWith(QStringLiteral(".."))) << r.error.toStdString();
        EXPECT_FALSE(r.error.contains(QStringLiteral("  "))) << r.error.toStdString();
        EXPECT_FALSE(tree.exists(QStringLiteral("program/temp.bmp")));
    }
    EXPECT_EQ(tree.readFile(QStringLiteral("game/") + kTextureRel), original);
}

TEST_F(ImageConversion, OtherPicturesAndOperationsOnTheWorkFile)
{
    // A 3x2 picture: top row red, green, blue; bottom row white, black, half-transparent grey.
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(2, 0, qRgb(0, 0, 255));
    picture.setPixel(0, 1, qRgb(255, 255, 255));
    picture.setPixel(1, 1, qRgb(0, 0, 0));
    picture.setPixel(2, 1, qRgba(100, 100, 100, 128));
    const QString png = tree.path(QStringLiteral("game/Pic.PNG"));
    ASSERT_TRUE(picture.save(png, "PNG"));

    // Any operation before there is a work file fails.
    EXPECT_FALSE(ProcessWorkFile(BitmapOperation::Greyscale));

    const ImageRead r = ConvertToWorkFile(png);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(ViewerCaption(r.record), QStringLiteral("PicView - PNG ( 3x 2x 32)"));
    EXPECT_EQ(workImage(), picture);

    struct Row {
        BitmapOperation operation;
        QSize size;
        Pixels pixels;
    };
    // Each row acts on what the rows before it left.
    const std::vector<Row> rows = {
        {BitmapOperation::Flip, QSize(3, 2),
         {{0, 0, qRgb(255, 255, 255)}, {2, 0, qRgba(100, 100, 100, 128)}, {0, 1, qRgb(255, 0, 0)}, {2, 1, qRgb(0, 0, 255)}}},
        {BitmapOperation::Rotate, QSize(2, 3),
         {{0, 0, qRgb(255, 0, 0)}, {1, 0, qRgb(255, 255, 255)}, {0, 2, qRgb(0, 0, 255)}, {1, 2, qRgba(100, 100, 100, 128)}}},
        {BitmapOperation::Greyscale, QSize(2, 3),
         {{0, 0, qRgb(qGray(255, 0, 0), qGray(255, 0, 0), qGray(255, 0, 0))}, {1, 0, qRgb(255, 255, 255)},
          {0, 1, qRgb(qGray(0, 255, 0), qGray(0, 255, 0), qGray(0, 255, 0))}, {1, 2, qRgba(100, 100, 100, 128)}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.operation));
        ASSERT_TRUE(ProcessWorkFile(row.operation));
        const QImage image = workImage();
        ASSERT_EQ(image.size(), row.size);
        for (const auto& [x, y, rgba] : row.pixels)
            EXPECT_EQ(image.pixel(x, y), rgba) << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y);
    }
}

// The viewer turns a texture into an image by the converter's own steps: a texture that
// "Convert .TgPcDx to .dds" refuses is not shown either, and one it converts is shown; but a
// "#" outside the image data, which only the converter's side file cannot keep, is shown as
// the texture without it would be.
TEST_F(ImageConversion, TheViewerShowsWhatTheConverterConvertsAndATextureWithAHashOutsideItsData)
{
    QFile source(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + kTextureRel + QStringLiteral(".xml"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray xml = source.readAll();
    const QByteArray lastLevel = "<d:blob d:size=\"8\">A52CC3121B1B1B1B </d:blob>";
    ASSERT_TRUE(xml.contains(lastLevel));
    struct Row {
        const char* what;
        std::function<QByteArray(QByteArray)> change;
        const char* viewerReason;    // null: shown
        const char* converterReason; // null: converted
    };
    const std::vector<Row> rows = {
        {"the sample texture", [](QByteArray x) { return x; }, nullptr, nullptr},
        {"a # outside the image data", [](QByteArray x) { return x.replace(">VS_Oak01<", ">VS_Oak#01<"); },
         nullptr, "holds the character # outside its image data"},
        {"17 levels",
         [&](QByteArray x) {
             const qsizetype at = x.lastIndexOf(lastLevel) + lastLevel.size();
             for (int i = 0; i < 12; ++i)
                 x.insert(at, "\n\t\t" + lastLevel);
             return x;
         },
         "it holds more than 16 levels.", "Multiple-Texture file."},
        {"a level without its end", [&](QByteArray x) { return x.replace(x.lastIndexOf("</d:blob>"), 9, ""); },
         "its image data is damaged.", "has no size in double quotes or no closing </d:blob> tag."},
    };
    ScriptedUi ui;
    QImage sampleImage;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray changed = row.change(xml);
        QByteArray binary = changed;
        for (char& c : binary)
            c = char(c ^ char(0xA5));
        const QString path = tree.writeFile(QStringLiteral("game/Changed.TgPcDx"), "SERZBIN1" + binary);
        QFile::remove(tree.path(QStringLiteral("program/temp.bmp")));

        const ImageRead shown = ConvertToWorkFile(path);
        EXPECT_EQ(shown.ok, row.viewerReason == nullptr) << shown.error.toStdString();
        if (row.viewerReason)
            EXPECT_TRUE(shown.error.endsWith(QString::fromUtf8(row.viewerReason))) << shown.error.toStdString();
        EXPECT_EQ(tree.exists(QStringLiteral("program/temp.bmp")), row.viewerReason == nullptr);
        // What is shown is the sample texture's picture: the rows change nothing of its data.
        if (shown.ok) {
            if (sampleImage.isNull())
                sampleImage = workImage();
            else
                EXPECT_EQ(workImage(), sampleImage);
        }

        ui.expectMsgBox(vb::vbOK, row.converterReason ? QString::fromUtf8(row.converterReason)
                                                      : QStringLiteral("If you wish to edit this file"));
        const bool converted = ConvertTextureToDds(path, platform::decodeAnsi(changed), QStringLiteral("Changed."));
        ui.verifyDone();
        EXPECT_EQ(converted, row.converterReason == nullptr);
    }
    EXPECT_FALSE(sampleImage.isNull());
}
