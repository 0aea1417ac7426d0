#pragma once
// The program's text encodings: Windows-1252 ("ANSI") with all 256 bytes mapped one to
// one, and UTF-16LE for marker files.

#include <QByteArray>
#include <QString>

namespace platform {

// Every byte becomes one character; decodeAnsi(encodeAnsi(x)) == x for every byte string.
QString decodeAnsi(const QByteArray& bytes);
// Every character becomes one byte; a character Windows-1252 cannot hold becomes "?".
QByteArray encodeAnsi(const QString& text);

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
