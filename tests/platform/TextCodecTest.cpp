#include "platform/TextCodec.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {
QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}
} // namespace

TEST(AnsiCodec, EveryByteSurvivesDecodeAndEncode)
{
    const QByteArray bytes = allBytes();
    const QString text = decodeAnsi(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encodeAnsi(text), bytes);
    // and every byte is its own character: no two bytes share one
    for (int i = 0; i < 256; ++i)
        for (int j = i + 1; j < 256; ++j)
            ASSERT_NE(text[i], text[j]) << i << " " << j;
}

TEST(AnsiCodec, HighControlRangeFollowsWindows1252)
{
    const struct { unsigned char byte; char16_t ch; } cases[] = {
        {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x85, 0x2026}, {0x8A, 0x0160},
        {0x8C, 0x0152}, {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C},
        {0x94, 0x201D}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122},
        {0x9C, 0x0153}, {0x9F, 0x0178},
        // unassigned in Windows-1252: the control character of the same value
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
        // Latin-1 range around it is unchanged
        {0x7F, 0x007F}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& c : cases) {
        const QByteArray one(1, char(c.byte));
        EXPECT_EQ(decodeAnsi(one), QString(QChar(c.ch))) << std::hex << int(c.byte);
        EXPECT_EQ(encodeAnsi(QString(QChar(c.ch))), one) << std::hex << int(c.byte);
    }
}

TEST(AnsiCodec, CharactersOutsideWindows1252BecomeQuestionMarks)
{
    // U+0080 and U+009F are C1 controls that Windows-1252 puts other characters at;
    // U+4E2D and U+0394 it has no place for; the emoji is one character of two units.
    const QString text = QStringLiteral("a") + QChar(0x4E2D) + QChar(0x0080) + QChar(0x0394) + QChar(0x009F)
                         + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("z");
    EXPECT_EQ(encodeAnsi(text), QByteArray("a?????z"));
    // a lone surrogate half also becomes one "?"
    EXPECT_EQ(encodeAnsi(QString(QChar(0xD800)) + QLatin1Char('x')), QByteArray("?x"));
}

TEST(AnsiCodec, EmptyInput)
{
    EXPECT_TRUE(decodeAnsi(QByteArray()).isEmpty());
    EXPECT_TRUE(encodeAnsi(QString()).isEmpty());
}

TEST(Utf16Codec, RoundTripWithAndWithoutBom)
{
    const QString text = QStringLiteral("Marker \u20AC \u00E9\r\n") + QString::fromUtf8("\xF0\x9F\x98\x80");
    const QByteArray withBom = encodeUtf16Le(text);
    ASSERT_GE(withBom.size(), 4);
    EXPECT_EQ(uchar(withBom[0]), 0xFF);
    EXPECT_EQ(uchar(withBom[1]), 0xFE);
    EXPECT_EQ(withBom.size(), 2 + text.size() * 2);
    EXPECT_EQ(withBom.mid(2, 2), QByteArray("M\0", 2)); // little-endian
    EXPECT_EQ(decodeUtf16Le(withBom), text);

    const QByteArray bare = encodeUtf16Le(text, false);
    EXPECT_EQ(bare, withBom.mid(2));
    EXPECT_EQ(decodeUtf16Le(bare), text);

    // only one leading mark is dropped; a second one is text
    const QString withMark = QChar(0xFEFF) + QStringLiteral("x");
    EXPECT_EQ(decodeUtf16Le(encodeUtf16Le(withMark)), withMark);
    EXPECT_TRUE(decodeUtf16Le(QByteArray("\xFF\xFE", 2)).isEmpty());
}

TEST(Utf16Codec, OddTrailingByteIsKept)
{
    EXPECT_EQ(decodeUtf16Le(QByteArray("a\0b", 3)), QStringLiteral("ab"));
}

TEST(Utf16Codec, MarkerFilesAreRecognisedByTheirEnding)
{
    EXPECT_TRUE(isUtf16Path(QStringLiteral("C:\\x\\route.mkr")));
    EXPECT_TRUE(isUtf16Path(QStringLiteral("route.MKR")));
    EXPECT_TRUE(isUtf16Path(QStringLiteral("routemkr")));
    EXPECT_FALSE(isUtf16Path(QStringLiteral("route.mkr.bak")));
    EXPECT_FALSE(isUtf16Path(QStringLiteral("kr")));
}
