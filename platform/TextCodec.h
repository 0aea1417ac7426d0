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

} // namespace platform
