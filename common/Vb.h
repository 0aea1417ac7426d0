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
// InStr ignoring case for tag searches that walk on from a found place: a start outside the
// text finds nothing (0) instead of raising error 5.
qsizetype InStrText(qsizetype start, const QString& text, const QString& what);
// Last position of find in s that ends at or before start (-1: the end of s); start 0 or
// below -1 raises error 5; start past the end gives 0; an empty find gives start.
qsizetype InStrRev(const QString& s, const QString& find, qsizetype start = -1,
                   Compare compare = Compare::Binary);

// Mid with start < 1 or length < 0 raises error 5; a start past the end gives "".
QString Mid(const QString& s, qsizetype start);
QString Mid(const QString& s, qsizetype start, qsizetype length);
// Replaces s's characters from start with text, at most length of them (Mid statement);
// never changes s's length.
// start < 1, start past the end of s or length < 0 raise error 5.
void MidAssign(QString& s, qsizetype start, qsizetype length, const QString& text);
// The statement without a length: as many characters as text has.
void MidAssign(QString& s, qsizetype start, const QString& text);
// Negative lengths raise error 5.
QString Left(const QString& s, qsizetype length);
QString Right(const QString& s, qsizetype length);
qsizetype Len(const QString& s);

// Replace(expression, find, replacement, start, count, compare): the result begins at
// start (the characters before it are dropped, as the run-time does); count -1 replaces all.
QString Replace(const QString& expression, const QString& find, const QString& replacement,
                qsizetype start = 1, qsizetype count = -1, Compare compare = Compare::Binary);

// Trim only spaces (not tabs or line ends), as the run-time does. UCase and LCase map each
// character to one character, so positions carry over between the forms.
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);
QString UCase(const QString& s);
QString LCase(const QString& s);
QString Space(qsizetype count);          // negative counts raise error 5
QString String(qsizetype count, QChar c);

// Val: leading blanks, tabs and line feeds skipped, digits read as far as they form a number
// (sign, digits, one ".", an exponent with "E" or "D"; blanks inside the number ignored);
// 0 when nothing is numeric. "&H" hexadecimal and "&O" octal values are 16-bit signed when
// they fit four hexadecimal digits ("&HFFFF" = -1), else 32-bit signed ("&HFFFFFFFF" = -1).
// A value too large for a double, or a radix value over 32 bits, raises error 6.
double Val(const QString& s);

// Rounding to the nearest integer, halves to the even neighbour; out of range raises error 6.
qint16 CInt(double value);
qint32 CLng(double value);
double Round(double value, int digits = 0); // halves to even; digits < 0 raise error 5
double Int(double value);                   // towards minus infinity
// CDbl of a text: the whole text, blanks around it allowed, must be one number (sign,
// digits with optional "," separators, ".", exponent, or an "&H"/"&O" value); error 13
// "Type mismatch" when it is not, error 6 when it does not fit a double.
double CDbl(const QString& s);
// True when CDbl would read the text (IsNumeric).
bool IsNumeric(const QString& s);

// CStr/Str of a number: the shortest text that reads back as the value, up to 15
// significant digits, "E+nn" form for very large or small values (1E+15 and up, below
// 1E-04), "." as decimal point whatever the locale. Str adds a leading blank for values that
// are not negative and, as the run-time's Str, drops the zero before the point (" .5").
QString CStr(double value);
QString Str(double value);
// Hex of an integer, upper case, no leading zeros (negative values in two's complement,
// eight digits). Values outside -2^31 .. 2^32-1 raise error 6.
QString Hex(qint64 value);

// Format(value, pattern) for numeric patterns made of "0", "#", ".", "," and literal
// text, such as "0", "00", "00000.0000", "0.00", "#,##0", "#0.0", "####.0000". Halves are
// rounded away from zero on the value's 15-digit decimal form, as Format does (1.005 with
// "0.00" gives "1.01"). Also: "%" (times 100), "," right before the point (divides by
// 1000), quoted text and "\"-escaped characters, and the sections "positive;negative;zero".
// A negative value without a negative section is led by "-" (also when it rounds to 0).
// An empty pattern gives CStr's text.
QString Format(double value, const QString& pattern);

// Rnd: the run-time's random sequence, never seeded, so every run of the program draws the
// same series. A 24-bit state starts at 0x50000 and steps as state = (state * 0x43FD43FD +
// 0xC39EC3) mod 2^24; each value is state / 2^24 as a single (0.7055475, 0.5334240, ...).
// RndStep advances a given state and returns its value; Rnd steps the program's one state.
float RndStep(quint32& state);
float Rnd();

} // namespace vb
