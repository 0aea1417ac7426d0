#pragma once
// Seconds since midnight, as the game writes times of day, turned into hours and minutes.

#include <QString>

// The hours and minutes of a number of seconds, each with at least two digits and joined
// without a separator: 31500 gives "0845". Hours go on past 24 (90000 gives "2500") and
// seconds short of a full minute are dropped. A negative number is written with a leading
// "-" and the hours and minutes of its magnitude.
QString HoursMinutes(qint64 seconds);

// Reads text as Val does (the leading number of the text, 0 when there is none), rounds it
// to whole seconds, halves to the even neighbour, and converts it with HoursMinutes. A value
// too large for the arithmetic raises VbError 6 "Overflow".
QString ConvertRsTime(const QString& text);
