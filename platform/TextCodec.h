#pragma once
// The program's text encodings: the ANSI code page, and UTF-16LE for marker files.
//
// The ANSI code page is the one Wine gives Windows programs for the user's locale (the first of
// LC_ALL, LC_CTYPE and LANG that is set): Windows-1252 for C, POSIX, English and Western
// European locales, 1250 Central European, 1251 Cyrillic, 1253 Greek, 1254 Turkish, 1255
// Hebrew, 1256 Arabic, 1257 Baltic, 1258 Vietnamese, 874 Thai, 932 Japanese, 936 Chinese
// (simplified), 949 Korean and 950 Chinese (traditional). The conversions use tables built from
// the C library's iconv at first use. Every byte string survives a decode and an encode
// unchanged: in a single-byte code page a byte it leaves unassigned becomes the character of the
// same value (Windows-1252's 0x81 is U+0081); in a double-byte one a byte that starts no
// character, and a pair the code page writes its character otherwise (its duplicates), are kept
// byte by byte as U+DC00 plus the byte.

#include <QByteArray>
#include <QString>

namespace platform {

// The Windows code page number of the ANSI code page, read from the environment at first use.
int ansiCodePage();
// Its name for messages: "Windows-1252".
QString ansiCodePageName();
// Reads the locale from the environment again; later conversions use its code page.
void resetAnsiCodePage();
// The code page for a locale name as the environment holds it ("pl_PL.UTF-8", "sr_RS@latin",
// "C"); 1252 for an empty, unknown or English name.
int codePageForLocale(const QByteArray& locale);

// Bytes in the ANSI code page as text.
QString decodeAnsi(const QByteArray& bytes);
// Text as bytes in the ANSI code page. A character the code page cannot hold becomes "?" (a
// character beyond the basic plane one "?"); ok, when given, tells whether the bytes decode to
// the text again.
QByteArray encodeAnsi(const QString& text, bool* ok = nullptr);
// True when the ANSI code page can hold the text: its bytes decode to it again.
bool fitsAnsi(const QString& text);
// The first character of the text the code page cannot hold (both halves of a character beyond
// the basic plane), or a null text when it holds them all.
QString firstUnfitAnsi(const QString& text);

// UTF-16LE; a leading byte-order mark is dropped when decoding.
QString decodeUtf16Le(const QByteArray& bytes);
QByteArray encodeUtf16Le(const QString& text, bool withBom = true);

// True for a path whose last three characters are "mkr" (any case): such files are UTF-16.
bool isUtf16Path(const QString& path);

// The value of a hexadecimal digit of either case, or -1 for any other character.
inline int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace platform
