#include "hub/TimeConvert.h"

#include "common/Vb.h"
#include "common/VbError.h"

#include <limits>

namespace {

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

} // namespace

QString HoursMinutes(qint64 seconds)
{
    // The magnitude of the most negative value does not fit; nothing that large is a time.
    if (seconds == std::numeric_limits<qint64>::min())
        throw VbError(6);
    const qint64 magnitude = seconds < 0 ? -seconds : seconds;
    const qint64 hours = magnitude / 3600;
    const qint64 minutes = (magnitude % 3600) / 60;
    const QString text = twoDigits(hours) + twoDigits(minutes);
    return seconds < 0 ? QStringLiteral("-") + text : text;
}

QString ConvertRsTime(const QString& text)
{
    const double rounded = vb::Round(vb::Val(text));
    // 2^63 is exactly representable; anything from there on does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!(rounded < limit && rounded > -limit))
        throw VbError(6);
    return HoursMinutes(static_cast<qint64>(rounded));
}
