// The program's text encodings. The ANSI code page, in the locale the input's first byte picks
// (each single-byte code page and the four double-byte ones): every byte string decodes and
// encodes back byte for byte, encoding is stable (what it gives encodes again to the same
// bytes), and a text it says it can hold decodes back unchanged; a single-byte code page gives a
// character a byte. UTF-16LE: every even-length byte string without a byte-order mark decodes
// and encodes back byte for byte, one with a mark loses just the mark, an odd last byte is kept
// as a unit of its own; and any text (the input read as units) encodes and decodes back unchanged.

#include "fuzz/FuzzSupport.h"
#include "platform/TextCodec.h"

#include <cstring>

using namespace platform;

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);

    static const char* const locales[] = {"C",     "pl_PL", "ru_RU", "el_GR", "tr_TR", "he_IL", "ar_EG",
                                          "lt_LT", "vi_VN", "th_TH", "ja_JP", "zh_CN", "ko_KR", "zh_TW"};
    static int current = -1;
    const int pick = size > 0 ? data[0] % int(sizeof locales / sizeof locales[0]) : 0;
    if (pick != current) {
        qputenv("LC_ALL", locales[pick]);
        resetAnsiCodePage();
        current = pick;
    }
    const int page = ansiCodePage();
    const bool singleByte = page != 932 && page != 936 && page != 949 && page != 950;

    const QString ansi = decodeAnsi(bytes);
    FUZZ_CHECK(!singleByte || ansi.size() == bytes.size(), QStringLiteral("decodeAnsi length"));
    bool ok = false;
    FUZZ_CHECK(encodeAnsi(ansi, &ok) == bytes && ok, QStringLiteral("ANSI round trip lost a byte"));

    // The bytes as UTF-16 units: any text, lone surrogates included.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, (size / 2) * 2);
    const QByteArray encoded = encodeAnsi(units, &ok);
    FUZZ_CHECK(encodeAnsi(decodeAnsi(encoded)) == encoded, QStringLiteral("encodeAnsi is not stable"));
    FUZZ_CHECK(!ok || decodeAnsi(encoded) == units, QStringLiteral("a text said to fit came back otherwise"));
    FUZZ_CHECK(!singleByte || encoded.size() <= units.size(), QStringLiteral("encodeAnsi grew the text"));

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
