#include "platform/TextCodec.h"

#include "support/QtPrinters.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <QSet>

#include <random>

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

TEST(AnsiCodePage, LocalesChooseTheCodePageWineGivesThem)
{
    const struct {
        const char* locale;
        int codePage;
    } rows[] = {
        {"", 1252}, {"C", 1252}, {"POSIX", 1252}, {"C.UTF-8", 1252}, {"en_US.UTF-8", 1252}, {"en_GB", 1252},
        {"de_DE@euro", 1252}, {"fr_FR.ISO-8859-1", 1252}, {"pt_BR.UTF-8", 1252}, {"nb_NO", 1252}, {"eo", 1252},
        {"pl_PL.UTF-8", 1250}, {"cs_CZ", 1250}, {"sk_SK", 1250}, {"hu_HU.ISO-8859-2", 1250}, {"sl_SI", 1250},
        {"hr_HR", 1250}, {"ro_RO.UTF-8", 1250}, {"sq_AL", 1250}, {"sr_RS@latin", 1250},
        {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251}, {"be_BY", 1251}, {"bg_BG.CP1251", 1251}, {"mk_MK", 1251},
        {"sr_RS", 1251}, {"sr_RS.UTF-8@cyrillic", 1251}, {"uz_UZ@cyrillic", 1251}, {"kk_KZ", 1251},
        {"el_GR.UTF-8", 1253}, {"tr_TR", 1254}, {"az_AZ", 1254}, {"uz_UZ", 1254}, {"he_IL.UTF-8", 1255},
        {"ar_EG", 1256}, {"fa_IR", 1256}, {"ur_PK", 1256}, {"et_EE", 1257}, {"lv_LV", 1257}, {"lt_LT", 1257},
        {"vi_VN", 1258}, {"th_TH.UTF-8", 874}, {"ja_JP.UTF-8", 932}, {"zh_CN.UTF-8", 936}, {"zh_SG", 936},
        {"zh", 936}, {"ko_KR.EUC-KR", 949}, {"zh_TW.UTF-8", 950}, {"zh_HK", 950}, {"PL_pl", 1250},
    };
    for (const auto& row : rows)
        EXPECT_EQ(codePageForLocale(row.locale), row.codePage) << row.locale;
}

TEST(AnsiCodePage, TheFirstOfLcAllLcCtypeAndLangDecides)
{
    const struct {
        const char* all;
        const char* ctype;
        const char* lang;
        int codePage;
    } rows[] = {
        {"pl_PL.UTF-8", "ru_RU.UTF-8", "el_GR.UTF-8", 1250},
        {"", "ru_RU.UTF-8", "el_GR.UTF-8", 1251},
        {"", "", "el_GR.UTF-8", 1253},
        {"", "", "", 1252},
    };
    for (const auto& row : rows) {
        ScopedEnvList env;
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            env.set(name, "x"); // remembers the old value
            qunsetenv(name);
        }
        if (*row.all)
            qputenv("LC_ALL", row.all);
        if (*row.ctype)
            qputenv("LC_CTYPE", row.ctype);
        if (*row.lang)
            qputenv("LANG", row.lang);
        resetAnsiCodePage();
        EXPECT_EQ(ansiCodePage(), row.codePage) << row.all << "|" << row.ctype << "|" << row.lang;
        env.restore();
        resetAnsiCodePage();
    }
}

TEST(AnsiCodePage, EverySingleByteCodePageGivesEachByteACharacterOfItsOwnAndBack)
{
    const struct {
        const char* locale;
        int codePage;
    } rows[] = {{"th_TH", 874},   {"pl_PL", 1250}, {"ru_RU", 1251}, {"C", 1252},     {"el_GR", 1253},
                {"tr_TR", 1254}, {"he_IL", 1255}, {"ar_EG", 1256}, {"lt_LT", 1257}, {"vi_VN", 1258}};
    const QByteArray bytes = allBytes();
    for (const auto& row : rows) {
        ScopedLocale locale(row.locale);
        ASSERT_EQ(ansiCodePage(), row.codePage);
        const QString text = decodeAnsi(bytes);
        ASSERT_EQ(text.size(), 256) << row.codePage;
        for (int b = 0; b < 128; ++b)
            ASSERT_EQ(text[b].unicode(), b) << row.codePage;
        bool ok = false;
        EXPECT_EQ(encodeAnsi(text, &ok), bytes) << row.codePage;
        EXPECT_TRUE(ok) << row.codePage;
        EXPECT_EQ(QSet<QChar>(text.begin(), text.end()).size(), 256) << row.codePage;
    }
}

TEST(AnsiCodePage, DoubleByteCodePagesKeepEveryByteString)
{
    std::mt19937 random(61);
    for (const char* locale : {"ja_JP", "zh_CN", "ko_KR", "zh_TW"}) {
        ScopedLocale scoped(locale);
        // Every byte alone and after every other byte, then noise.
        QByteArray bytes;
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b)
                bytes.append(char(a)).append(char(b));
        for (int i = 0; i < 20000; ++i)
            bytes.append(char(random() & 0xFF));
        const QString text = decodeAnsi(bytes);
        bool ok = false;
        EXPECT_EQ(encodeAnsi(text, &ok), bytes) << locale;
        EXPECT_TRUE(ok) << locale;
    }
}

TEST(AnsiCodePage, SampleTextsInEachCodePage)
{
    const struct {
        const char* locale;
        const char* utf8;
        bool fits;
        QByteArray bytes; // what it is written as ("?" for what does not fit)
        const char* unfit;
    } rows[] = {
        {"C", "/home/jos\xc3\xa9", true, "/home/jos\xE9", ""},
        {"C", "/home/\xc5\x82ukasz", false, "/home/?ukasz", "\xc5\x82"},
        {"en_US.UTF-8", "C:\\Gry\\\xc5\x81\xc3\xb3" "d\xc5\xba", false, "C:\\Gry\\?\xF3" "d?", "\xc5\x81"},
        {"pl_PL.UTF-8", "/home/\xc5\x82ukasz", true, "/home/\xB3ukasz", ""},
        {"pl_PL.UTF-8", "/home/jos\xc3\xa9", true, "/home/jos\xE9", ""},
        {"pl_PL.UTF-8", "/home/\xce\x95\xce\xbb\xce\xad\xce\xbd\xce\xb7", false, "/home/?????", "\xce\x95"},
        {"el_GR.UTF-8", "/home/\xce\x95\xce\xbb\xce\xad\xce\xbd\xce\xb7", true, "/home/\xC5\xEB\xDD\xED\xE7", ""},
        {"ru_RU.UTF-8", "/home/\xd0\x94\xd0\xbc\xd0\xb8\xd1\x82\xd1\x80\xd0\xb8\xd0\xb9", true,
         "/home/\xC4\xEC\xE8\xF2\xF0\xE8\xE9", ""},
        {"ru_RU.UTF-8", "/home/\xc5\x82ukasz", false, "/home/?ukasz", "\xc5\x82"},
        {"lt_LT", "\xc5\xa0\xc4\x8d\xc4\x97", true, "\xD0\xE8\xEB", ""},
        {"tr_TR", "\xc4\x9f\xc4\xb1\xc5\x9f", true, "\xF0\xFD\xFE", ""},
        {"he_IL", "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d", true, "\xF9\xEC\xE5\xED", ""},
        {"ar_EG", "\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85", true, "\xD3\xE1\xC7\xE3", ""},
        {"th_TH", "\xe0\xb9\x84\xe0\xb8\x97\xe0\xb8\xa2", true, "\xE4\xB7\xC2", ""},
        // A precomposed letter the code page holds only in two pieces is not held.
        {"vi_VN", "Vi\xe1\xbb\x87t", false, "Vi?t", "\xe1\xbb\x87"},
        {"ja_JP.UTF-8", "C:\\\xe6\x97\xa5\xe6\x9c\xac\\x~1", true, "C:\\\x93\xFA\x96\x7B\\x~1", ""},
        {"zh_CN.UTF-8", "\xe4\xb8\xad\xe6\x96\x87", true, "\xD6\xD0\xCE\xC4", ""},
        {"ko_KR.UTF-8", "\xed\x95\x9c\xea\xb5\xad", true, "\xC7\xD1\xB1\xB9", ""},
        {"zh_TW.UTF-8", "\xe4\xb8\xad\xe6\x96\x87", true, "\xA4\xA4\xA4\xE5", ""},
        {"ja_JP.UTF-8", "a\xce\x94" "b", true, "a\x83\xA2" "b", ""},
        {"ja_JP.UTF-8", "a\xd0\x81\xc5\x82" "b", false, "a\x84\x46?b", "\xc5\x82"},
        {"C", "", true, "", ""},
        // C1 controls Windows-1252 puts other characters at, and characters it has no place for.
        {"C", "a\xe4\xb8\xad\xc2\x80\xce\x94\xc2\x9f" "z", false, "a????z", "\xe4\xb8\xad"},
        // A character beyond the basic plane is one character, in every code page.
        {"C", "a\xf0\x9f\x98\x80z", false, "a?z", "\xf0\x9f\x98\x80"},
        {"ja_JP.UTF-8", "a\xf0\x9f\x98\x80z", false, "a?z", "\xf0\x9f\x98\x80"},
    };
    for (const auto& row : rows) {
        ScopedLocale locale(row.locale);
        const QString text = QString::fromUtf8(row.utf8);
        bool ok = !row.fits;
        EXPECT_EQ(encodeAnsi(text, &ok), row.bytes) << row.locale << " " << row.utf8;
        EXPECT_EQ(ok, row.fits) << row.locale << " " << row.utf8;
        EXPECT_EQ(fitsAnsi(text), row.fits) << row.locale << " " << row.utf8;
        EXPECT_EQ(firstUnfitAnsi(text), QString::fromUtf8(row.unfit)) << row.locale << " " << row.utf8;
        if (row.fits) {
            EXPECT_EQ(decodeAnsi(row.bytes), text) << row.locale << " " << row.utf8;
        }
    }
    // A lone surrogate half is one "?" too.
    ScopedLocale locale("C");
    EXPECT_EQ(encodeAnsi(QString(QChar(0xD800)) + QLatin1Char('x')), QByteArray("?x"));
}

TEST(AnsiCodePage, EnglishAndCLocalesKeepTheWindows1252BytesTheProgramAlwaysWrote)
{
    // The characters of 0x80 to 0x9F; every other byte is the Latin-1 character of its value.
    const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString expected;
    for (int b = 0; b < 256; ++b)
        expected += QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    for (const char* locale : {"C", "POSIX", "C.UTF-8", "en_US.UTF-8", "en_GB.ISO-8859-15", "de_DE@euro"}) {
        ScopedLocale scoped(locale);
        EXPECT_EQ(decodeAnsi(allBytes()), expected) << locale;
        bool ok = false;
        EXPECT_EQ(encodeAnsi(expected, &ok), allBytes()) << locale;
        EXPECT_TRUE(ok) << locale;
    }
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
