// The program's text encodings. Windows-1252: every byte string decodes and encodes back
// byte for byte, and encoding is stable (what it gives encodes again to the same bytes).
// UTF-16LE: every even-length byte string without a byte-order mark decodes and encodes back
// byte for byte, one with a mark loses just the mark, an odd last byte is kept as a unit of
// its own; and any text (the input read as units) encodes and decodes back unchanged.

#include "fuzz/FuzzSupport.h"
#include "platform/TextCodec.h"

#include <cstring>

using namespace platform;

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);

    const QString ansi = decodeAnsi(bytes);
    FUZZ_CHECK(ansi.size() == bytes.size(), QStringLiteral("decodeAnsi length"));
    FUZZ_CHECK(encodeAnsi(ansi) == bytes, QStringLiteral("Windows-1252 round trip lost a byte"));

    // The bytes as UTF-16 units: any text, lone surrogates included.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, (size / 2) * 2);
    const QByteArray encoded = encodeAnsi(units);
    FUZZ_CHECK(encodeAnsi(decodeAnsi(encoded)) == encoded, QStringLiteral("encodeAnsi is not stable"));
    FUZZ_CHECK(encoded.size() <= units.size(), QStringLiteral("encodeAnsi grew the text"));

    const bool bom = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    const QString utf16 = decodeUtf16Le(bytes);
    QByteArray back = encodeUtf16Le(utf16, bom);
    if (size % 2 != 0) {
        // A truncated last unit keeps its byte as a unit of its own: it comes back with a
        // zero high byte.
        FUZZ_CHECK(back.endsWith('\0'), QStringLiteral("odd last byte"));
        back.chop(1);
    }
    FUZZ_CHECK(back == bytes, QStringLiteral("UTF-16LE round trip lost a byte"));

    FUZZ_CHECK(decodeUtf16Le(encodeUtf16Le(units, true)) == units, QStringLiteral("UTF-16LE text round trip with a mark"));
    if (!units.startsWith(QChar(0xFEFF)))
        FUZZ_CHECK(decodeUtf16Le(encodeUtf16Le(units, false)) == units, QStringLiteral("UTF-16LE text round trip"));
    return 0;
}
