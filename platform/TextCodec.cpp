#include "platform/TextCodec.h"

#include <QSysInfo>
#include <QtEndian>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <iconv.h>

namespace platform {

namespace {

// ---- the locale's code page ------------------------------------------------------------------

struct LanguagePage {
    const char* language;
    int codePage;
};

// The ANSI code page of each language whose code page is not Windows-1252, as Windows' locale
// data gives it (Serbian, Uzbek and Azeri in their default scripts; the "@latin" and
// "@cyrillic" modifiers choose the other one).
constexpr LanguagePage kLanguagePages[] = {
    // Central European
    {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250},
    {"sq", 1250}, {"bs", 1250}, {"hsb", 1250}, {"dsb", 1250}, {"tk", 1250},
    // Cyrillic
    {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"mk", 1251}, {"sr", 1251}, {"kk", 1251},
    {"ky", 1251}, {"tt", 1251}, {"mn", 1251}, {"tg", 1251}, {"ba", 1251}, {"sah", 1251},
    {"el", 1253},
    {"tr", 1254}, {"az", 1254}, {"uz", 1254},
    {"he", 1255}, {"iw", 1255},
    {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"ug", 1256}, {"prs", 1256},
    {"et", 1257}, {"lv", 1257}, {"lt", 1257},
    {"vi", 1258},
    {"th", 874},
    {"ja", 932},
    {"zh", 936},
    {"ko", 949},
};

bool isSingleByte(int codePage)
{
    return codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950;
}

QByteArray environmentLocale()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value;
    }
    return QByteArray("C");
}

// ---- the tables ----------------------------------------------------------------------------

const char* const kUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr char16_t kNone = 0xFFFF; // no character (U+FFFF is none of any code page)
// In a double-byte code page, a byte that starts no character of its own is kept as a lone
// low surrogate half (U+DC00 + the byte), which no text holds.
constexpr char16_t kOwnByteBase = 0xDC00;

QByteArray iconvName(int codePage)
{
    return "CP" + QByteArray::number(codePage);
}

// The one character iconv makes of the bytes, or kNone.
char16_t decodeSequence(iconv_t cd, const char* bytes, size_t size)
{
    char in[2] = {bytes[0], size > 1 ? bytes[1] : '\0'};
    char* inPtr = in;
    size_t inLeft = size;
    char16_t out[4] = {};
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0
                           // a converter that combines characters holds the last one back
                           && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != size_t(-1);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (!converted || sizeof out - outLeft != sizeof(char16_t) || QChar::isSurrogate(out[0]) || out[0] == kNone)
        return kNone;
    return out[0];
}

// The bytes iconv writes a character as (one or two), or an empty array.
QByteArray encodeCharacter(iconv_t cd, char16_t ch)
{
    char16_t in[1] = {ch};
    char* inPtr = reinterpret_cast<char*>(in);
    size_t inLeft = sizeof in;
    char out[8] = {};
    char* outPtr = out;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return converted ? QByteArray(out, qsizetype(sizeof out - outLeft)) : QByteArray();
}

// One code page, as tables built once from iconv. Single-byte: each byte's character (its own
// value when the code page leaves the byte unassigned) and back. Double-byte: each single
// byte's and each byte pair's character, and each character's bytes; a pair whose character
// is written as other bytes (the code page's duplicates) is no character here, so that its
// bytes are kept as they are.
struct Codec {
    int codePage = 1252;
    bool singleByte = true;
    bool usable = false; // iconv knows the code page
    std::array<char16_t, 256> toUnicode{};
    std::vector<qint16> fromUnicode;       // single-byte, per UTF-16 unit: the byte, or -1
    std::vector<char16_t> pairToUnicode;   // double-byte, per lead * 256 + trail: kNone or the character
    std::vector<quint32> fromUnicodeBytes; // double-byte, per UTF-16 unit: 0, 0x100 + byte, 0x10000 + pair

    explicit Codec(int page) : codePage(page), singleByte(isSingleByte(page))
    {
        iconv_t cd = iconv_open(kUtf16, iconvName(page).constData());
        usable = cd != kNoConverter;
        if (singleByte)
            buildSingleByte(cd);
        else if (usable)
            buildDoubleByte(cd);
        if (usable)
            iconv_close(cd);
    }

    void buildSingleByte(iconv_t cd)
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const char16_t ch = usable ? decodeSequence(cd, &byte, 1) : kNone;
            toUnicode[size_t(b)] = ch == kNone ? char16_t(b) : ch;
        }
        fromUnicode.assign(0x10000, -1);
        for (int b = 0; b < 256; ++b) {
            qint16& slot = fromUnicode[toUnicode[size_t(b)]];
            if (slot < 0)
                slot = qint16(b);
        }
    }

    void buildDoubleByte(iconv_t cd)
    {
        iconv_t encoder = iconv_open(iconvName(codePage).constData(), kUtf16);
        usable = encoder != kNoConverter;
        if (!usable)
            return;
        pairToUnicode.assign(0x10000, kNone);
        fromUnicodeBytes.assign(0x10000, 0);
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            toUnicode[size_t(b)] = decodeSequence(cd, &byte, 1);
        }
        for (int lead = 0; lead < 256; ++lead) {
            if (toUnicode[size_t(lead)] != kNone)
                continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                pairToUnicode[size_t(lead * 256 + trail)] = decodeSequence(cd, pair, 2);
            }
        }
        // Each character's bytes: the ones iconv writes it as, when they are its own.
        for (int b = 0; b < 256; ++b) {
            const char16_t ch = toUnicode[size_t(b)];
            if (ch != kNone && encodeCharacter(encoder, ch) == QByteArray(1, char(b)))
                fromUnicodeBytes[ch] = 0x100 + quint32(b);
        }
        for (int pair = 0; pair < 0x10000; ++pair) {
            const char16_t ch = pairToUnicode[size_t(pair)];
            if (ch == kNone)
                continue;
            const QByteArray written = encodeCharacter(encoder, ch);
            if (written.size() == 2 && uchar(written[0]) * 256 + uchar(written[1]) == pair)
                fromUnicodeBytes[ch] = 0x10000 + quint32(pair);
        }
        // A single byte or pair iconv does not write its character as stays bytes on reading.
        for (int b = 0; b < 256; ++b) {
            const char16_t ch = toUnicode[size_t(b)];
            if (ch != kNone && fromUnicodeBytes[ch] != 0x100 + quint32(b))
                toUnicode[size_t(b)] = kNone;
        }
        for (int pair = 0; pair < 0x10000; ++pair) {
            const char16_t ch = pairToUnicode[size_t(pair)];
            if (ch != kNone && fromUnicodeBytes[ch] != 0x10000 + quint32(pair))
                pairToUnicode[size_t(pair)] = kNone;
        }
        iconv_close(encoder);
    }
};

std::mutex codecMutex;
std::map<int, std::unique_ptr<Codec>> codecs;
std::atomic<const Codec*> currentCodec{nullptr};

const Codec& codecFor(int page)
{
    std::unique_ptr<Codec>& slot = codecs[page];
    if (!slot)
        slot = std::make_unique<Codec>(page);
    return *slot;
}

const Codec& codec()
{
    if (const Codec* c = currentCodec.load(std::memory_order_acquire))
        return *c;
    const std::lock_guard<std::mutex> lock(codecMutex);
    const Codec* chosen = &codecFor(codePageForLocale(environmentLocale()));
    if (!chosen->usable)
        chosen = &codecFor(1252); // (without iconv's modules at all: every byte its own value)
    currentCodec.store(chosen, std::memory_order_release);
    return *chosen;
}

// ---- double-byte conversions ---------------------------------------------------------------

QString decodeDoubleByte(const Codec& c, const QByteArray& bytes)
{
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = in[i];
        char16_t ch = c.toUnicode[b];
        if (ch == kNone && i + 1 < n) {
            ch = c.pairToUnicode[size_t(b) * 256 + in[i + 1]];
            if (ch != kNone)
                ++i;
        }
        out[w++] = ch == kNone ? char16_t(kOwnByteBase + b) : ch;
    }
    text.truncate(w);
    return text;
}

QByteArray encodeDoubleByte(const Codec& c, const QString& text, bool& fits)
{
    const qsizetype n = text.size();
    QByteArray bytes(n * 2, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    char* out = bytes.data();
    qsizetype w = 0;
    bool ownBytes = false;
    fits = true;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        const quint32 code = c.fromUnicodeBytes[u];
        if (code >= 0x10000) {
            out[w++] = char((code >> 8) & 0xFF);
            out[w++] = char(code & 0xFF);
        } else if (code != 0) {
            out[w++] = char(code & 0xFF);
        } else if (u >= kOwnByteBase && u <= kOwnByteBase + 0xFF) {
            out[w++] = char(u - kOwnByteBase);
            ownBytes = true;
        } else {
            fits = false;
            out[w++] = '?';
            // A character beyond the basic plane is one character: one "?".
            if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]))
                ++i;
        }
    }
    bytes.truncate(w);
    // A byte kept as itself may join the bytes after it into a character.
    if (fits && ownBytes)
        fits = decodeDoubleByte(c, bytes) == text;
    return bytes;
}

} // namespace

int codePageForLocale(const QByteArray& locale)
{
    // language[_COUNTRY][.charset][@modifier]
    const qsizetype at = locale.indexOf('@');
    const QByteArray modifier = at < 0 ? QByteArray() : locale.mid(at + 1).toLower();
    const QByteArray name = at < 0 ? locale : locale.left(at);
    const qsizetype dot = name.indexOf('.');
    const QByteArray base = dot < 0 ? name : name.left(dot);
    const qsizetype underscore = base.indexOf('_');
    const QByteArray language = (underscore < 0 ? base : base.left(underscore)).toLower();
    const QByteArray country = underscore < 0 ? QByteArray() : base.mid(underscore + 1).toUpper();

    if (language == "zh")
        return country == "TW" || country == "HK" || country == "MO" ? 950 : 936;
    if (modifier == "latin" && language == "sr")
        return 1250;
    if (modifier == "cyrillic" && (language == "uz" || language == "az" || language == "sr"))
        return 1251;
    for (const LanguagePage& entry : kLanguagePages)
        if (language == entry.language)
            return entry.codePage;
    return 1252;
}

int ansiCodePage()
{
    return codec().codePage;
}

QString ansiCodePageName()
{
    return QStringLiteral("Windows-") + QString::number(ansiCodePage());
}

void resetAnsiCodePage()
{
    currentCodec.store(nullptr, std::memory_order_release);
}

QString decodeAnsi(const QByteArray& bytes)
{
    const Codec& c = codec();
    if (!c.singleByte)
        return decodeDoubleByte(c, bytes);
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = c.toUnicode[in[i]];
    return text;
}

QByteArray encodeAnsi(const QString& text, bool* ok)
{
    const Codec& c = codec();
    bool fits = true;
    if (!c.singleByte) {
        QByteArray bytes = encodeDoubleByte(c, text, fits);
        if (ok)
            *ok = fits;
        return bytes;
    }
    const qsizetype n = text.size();
    QByteArray bytes(n, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    char* out = bytes.data();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        const qint16 b = c.fromUnicode[u];
        if (b >= 0) {
            out[w++] = char(b);
            continue;
        }
        fits = false;
        out[w++] = '?';
        // A character beyond the basic plane is one character: one "?".
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]))
            ++i;
    }
    bytes.truncate(w);
    if (ok)
        *ok = fits;
    return bytes;
}

bool fitsAnsi(const QString& text)
{
    bool ok = false;
    encodeAnsi(text, &ok);
    return ok;
}

QString firstUnfitAnsi(const QString& text)
{
    if (fitsAnsi(text))
        return QString();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString one = text.mid(i, length);
        if (!fitsAnsi(one))
            return one;
        i += length - 1;
    }
    // Each character fits alone, but not where it stands: a byte kept as itself that joins the
    // bytes after it.
    for (const QChar ch : text)
        if (ch.unicode() >= kOwnByteBase && ch.unicode() <= kOwnByteBase + 0xFF)
            return QString(ch);
    return text.left(1);
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
