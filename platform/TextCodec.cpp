#include "platform/TextCodec.h"

#include <QtEndian>

#include <array>
#include <cstring>

namespace platform {

namespace {

// Characters of the bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value, so
// that every byte has a character and comes back unchanged.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    // For characters below U+0100: the byte, or -1 when Windows-1252 cannot hold it.
    std::array<short, 256> fromLatin{};
    // The characters above U+00FF that Windows-1252 holds, with their bytes.
    std::array<std::pair<char16_t, unsigned char>, 32> wide{};
    int wideCount = 0;

    Tables()
    {
        for (int b = 0; b < 256; ++b)
            toUnicode[b] = (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
        fromLatin.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = toUnicode[b];
            if (c < 0x100)
                fromLatin[c] = short(b);
            else
                wide[wideCount++] = {c, static_cast<unsigned char>(b)};
        }
    }

    char encodeWide(char16_t c) const
    {
        for (int i = 0; i < wideCount; ++i)
            if (wide[i].first == c)
                return char(wide[i].second);
        return '?';
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

QString decodeAnsi(const QByteArray& bytes)
{
    const Tables& t = tables();
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = t.toUnicode[in[i]];
    return text;
}

QByteArray encodeAnsi(const QString& text)
{
    const Tables& t = tables();
    const qsizetype n = text.size();
    QByteArray bytes(n, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    char* out = bytes.data();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x100) {
            const short b = t.fromLatin[c];
            out[w++] = b < 0 ? '?' : char(b);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            // A character beyond the basic plane is one character: one "?".
            out[w++] = '?';
            ++i;
        } else {
            out[w++] = t.encodeWide(c);
        }
    }
    bytes.truncate(w);
    return bytes;
}

QString decodeUtf16Le(const QByteArray& bytes)
{
    qsizetype start = 0;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        start = 2;
    const qsizetype units = (bytes.size() - start) / 2;
    const bool odd = (bytes.size() - start) % 2 != 0;
    QString text(units + (odd ? 1 : 0), Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData() + start, units, text.data());
    if (odd) // a truncated last unit keeps its byte rather than being dropped
        text[units] = QChar(char16_t(uchar(bytes[bytes.size() - 1])));
    return text;
}

QByteArray encodeUtf16Le(const QString& text, bool withBom)
{
    const qsizetype start = withBom ? 2 : 0;
    QByteArray bytes(start + text.size() * 2, Qt::Uninitialized);
    if (withBom) {
        bytes[0] = char(0xFF);
        bytes[1] = char(0xFE);
    }
    qToLittleEndian<char16_t>(text.constData(), text.size(), bytes.data() + start);
    return bytes;
}

bool isUtf16Path(const QString& path)
{
    return path.endsWith(QLatin1String("mkr"), Qt::CaseInsensitive);
}

} // namespace platform
