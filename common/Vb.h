#pragma once
// String and number primitives with the exact semantics of the Basic run-time the program's
// text arithmetic was written for: positions count from 1, 0 means "not found", and the
// failures raise VbError with the run-time's numbers. Positions are qsizetype throughout.

#include "common/VbError.h"

#include <QString>
#include <QtGlobal>

namespace vb {

enum class Compare { Binary, Text }; // Text ignores case

// Position of s2 in s1 from start (1-based), 0 when not found. start < 1 raises error 5;
// start past the end gives 0; an empty s2 gives start (when start <= Len(s1) + 1).
qsizetype InStr(const QString& s1, const QString& s2, Compare compare = Compare::Binary);
qsizetype InStr(qsizetype start, const QString& s1, const QString& s2, Compare compare = Compare::Binary);
// Last position of find in s that ends at or before start (-1: the end of s).
qsizetype InStrRev(const QString& s, const QString& find, qsizetype start = -1,
                   Compare compare = Compare::Binary);

// Mid with start < 1 or length < 0 raises error 5; a start past the end gives "".
QString Mid(const QString& s, qsizetype start);
QString Mid(const QString& s, qsizetype start, qsizetype length);
// Replaces s's characters from start with text, at most length of them (Mid statement);
// never changes s's length.
void MidAssign(QString& s, qsizetype start, qsizetype length, const QString& text);
// Negative lengths raise error 5.
QString Left(const QString& s, qsizetype length);
QString Right(const QString& s, qsizetype length);
qsizetype Len(const QString& s);

// Replace(expression, find, replacement, start, count, compare): the result begins at
// start (the characters before it are dropped, as the run-time does); count -1 replaces all.
QString Replace(const QString& expression, const QString& find, const QString& replacement,
                qsizetype start = 1, qsizetype count = -1, Compare compare = Compare::Binary);

// Trim only spaces (not tabs or line ends), as the run-time does.
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);
QString UCase(const QString& s);
QString LCase(const QString& s);
QString Space(qsizetype count);
QString String(qsizetype count, QChar c);
QString Chr(int code);  // Windows-1252 code to character; error 5 outside 0..255
int Asc(const QString& s); // code of the first character in Windows-1252; error 5 on ""

// Val: leading blanks, tabs and line feeds skipped, digits read as far as they form a number
// ("&H" hexadecimal and "&O" octal forms included, blanks inside the number ignored);
// 0 when nothing is numeric.
double Val(const QString& s);

// Rounding to the nearest integer, halves to the even neighbour; out of range raises error 6.
qint16 CInt(double value);
qint32 CLng(double value);
double Round(double value, int digits = 0); // halves to even
double Int(double value);                   // towards minus infinity
double Fix(double value);                   // towards zero
// CDbl of a text: a number in the text as the run-time reads it; error 13 "Type mismatch"
// when the text is not a number.
double CDbl(const QString& s);
// True when the text reads as a number (IsNumeric).
bool IsNumeric(const QString& s);

// CStr/Str of a number: the shortest text that reads back as the value, up to 15
// significant digits, "E+nn" form for very large or small values. Str adds a leading blank
// for values that are not negative.
QString CStr(double value);
QString Str(double value);
// Hex of an integer, upper case, no leading zeros (negative values in two's complement,
// eight digits).
QString Hex(qint64 value);

// Format(value, pattern) for numeric patterns made of "0", "#", ".", "," and literal
// text, such as "0", "00", "00000.0000", "0.00", "#,##0", "#0.0". Halves are rounded away
// from zero, as Format does.
QString Format(double value, const QString& pattern);

} // namespace vb
