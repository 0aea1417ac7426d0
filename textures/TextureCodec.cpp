#include "textures/TextureCodec.h"

#include "common/Vb.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace textures {

using vb::Compare;

// ---- Number texts --------------------------------------------------------------------------

QString Dec2Bin(double number)
{
    double n = std::floor(number);
    if (!(n >= 1.0))
        return QString();
    // Halving an integral double is exact, so this also holds for numbers beyond 2^53.
    QString reversed;
    while (n >= 1.0) {
        reversed.append(std::fmod(n, 2.0) == 0.0 ? QLatin1Char('0') : QLatin1Char('1'));
        n = std::floor(n / 2.0);
    }
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

QString Dec2Bin(double number, int bitCount)
{
    const QString digits = Dec2Bin(number);
    if (digits.size() > bitCount)
        return QStringLiteral("Error - Number exceeds specified bit size");
    return QString(bitCount - digits.size(), QLatin1Char('0')) + digits;
}

QString Bin2Hex(const QString& binary)
{
    for (const QChar c : binary) {
        if (c != QLatin1Char('0') && c != QLatin1Char('1'))
            return QStringLiteral("Error - Argument not a binary string");
    }
    const qsizetype padded = (binary.size() + 3) / 4 * 4;
    const QString bits = QString(padded - binary.size(), QLatin1Char('0')) + binary;
    static const char digits[] = "0123456789ABCDEF";
    QString hex;
    hex.reserve(padded / 4);
    for (qsizetype i = 0; i < padded; i += 4) {
        int value = 0;
        for (qsizetype j = 0; j < 4; ++j)
            value = value * 2 + (bits[i + j] == QLatin1Char('1') ? 1 : 0);
        hex.append(QLatin1Char(digits[value]));
    }
    return hex;
}

QString Dec2Hex(double number)
{
    // The decimal digits of the whole number, as the conversions count them.
    const QString decimal = QString::number(std::trunc(number), 'f', 0);
    if (decimal.size() >= 29)
        return QStringLiteral("-1");
    return Bin2Hex(Dec2Bin(number));
}

namespace {

int hexDigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool isDataSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t');
}

} // namespace

qint32 Hex2Dec(const QString& hex)
{
    qint64 value = 0;
    for (const QChar c : hex) {
        const int digit = hexDigitValue(c.toUpper());
        if (digit < 0)
            throw VbError(5);
        value = value * 16 + digit;
        if (value > 0x7FFFFFFF)
            throw VbError(6);
    }
    return qint32(value);
}

// ---- Formats -------------------------------------------------------------------------------

TextureFormat TextureFormatFor(const QString& formatText)
{
    const QString f = formatText.toUpper();
    if (f == QLatin1String("HC_IMAGE_FORMAT_COMPRESSED"))
        return TextureFormat::Dxt1;
    if (f == QLatin1String("HC_IMAGE_FORMAT_COMPRESSED_EXPL_ALPHA"))
        return TextureFormat::Dxt3;
    if (f == QLatin1String("HC_IMAGE_FORMAT_COL888"))
        return TextureFormat::Rgb888;
    if (f == QLatin1String("HC_IMAGE_FORMAT_COLA8888"))
        return TextureFormat::Argb8888;
    return TextureFormat::Unsupported;
}

QString TextureFormatLabel(TextureFormat format)
{
    switch (format) {
    case TextureFormat::Dxt1:
        return QStringLiteral("DXT1 ARGB");
    case TextureFormat::Dxt3:
        return QStringLiteral("DXT3 ARGB");
    case TextureFormat::Rgb888:
        return QStringLiteral("RGB 8.8.8");
    case TextureFormat::Argb8888:
        return QStringLiteral("ARGB 8.8.8.8");
    case TextureFormat::Unsupported:
        break;
    }
    return QString();
}

bool IsCompressed(TextureFormat format)
{
    return format == TextureFormat::Dxt1 || format == TextureFormat::Dxt3;
}

TextureWork& textureWork()
{
    static TextureWork work;
    return work;
}

// ---- Reading the texture XML ---------------------------------------------------------------

QString FindFormatText(const QString& xml)
{
    const qsizetype tag = vb::InStr(1, xml, QStringLiteral("<Format"), Compare::Text);
    if (tag == 0)
        return QString();
    const qsizetype open = vb::InStr(tag, xml, QStringLiteral(">"));
    if (open == 0)
        return QString();
    const qsizetype close = vb::InStr(open, xml, QStringLiteral("</Format"), Compare::Text);
    if (close == 0)
        return QString();
    return vb::Mid(xml, open + 1, close - open - 1);
}

int FindDimension(const QString& xml, const QString& tag)
{
    const qsizetype at = vb::InStr(1, xml, QStringLiteral("<") + tag, Compare::Text);
    if (at == 0)
        return 0;
    const qsizetype open = vb::InStr(at, xml, QStringLiteral(">"));
    if (open == 0)
        return 0;
    const qsizetype close = vb::InStr(open, xml, QStringLiteral("<"));
    if (close == 0)
        return 0;
    try {
        return vb::CInt(vb::Val(vb::Mid(xml, open + 1, close - open - 1)));
    } catch (const VbError&) {
        return 0; // a number that does not fit is left out, as the header then holds 0
    }
}

LevelScan ScanTextureLevels(const QString& xml, TextureWork& work)
{
    const QString blobTag = QStringLiteral("<d:blob");
    const QString blobEnd = QStringLiteral("</d:blob");
    const QString quote = QStringLiteral("\"");

    LevelScan scan;
    work.BlobCount = 0;
    work.BlobSizes.redim(1, 60);
    work.BlobDataStart.redim(1, 60);
    work.BlobDataEnd.redim(1, 60);
    work.BlobTextParts.redim(0, 60);

    QList<qint32> sizes;
    QList<qsizetype> starts;
    QList<qsizetype> ends;
    qint64 total = 0;
    qsizetype pos = 1;
    for (;;) {
        const qsizetype tag = vb::InStr(pos, xml, blobTag, Compare::Text);
        if (tag == 0)
            break;
        ++scan.found;
        const int level = scan.found;
        const qsizetype quote1 = vb::InStr(tag, xml, quote);
        const qsizetype quote2 = quote1 == 0 ? 0 : vb::InStr(quote1 + 1, xml, quote);
        const qsizetype close = quote1 == 0 ? 0 : vb::InStr(quote1, xml, blobEnd, Compare::Text);
        // The data starts two characters after the size's closing quote (past the tag's ">").
        if (quote2 == 0 || close == 0 || quote2 + 2 > close) {
            if (scan.fault == LevelFault::None) {
                scan.fault = LevelFault::NoSize;
                scan.faultLevel = level;
            }
            break;
        }
        qint32 size = 0;
        bool sizeOk = true;
        try {
            size = vb::CLng(vb::Val(vb::Mid(xml, quote1 + 1, quote2 - quote1 - 1)));
            sizeOk = size >= 0;
        } catch (const VbError&) {
            sizeOk = false;
        }
        if (!sizeOk && scan.fault == LevelFault::None) {
            scan.fault = LevelFault::BadSize;
            scan.faultLevel = level;
        }
        total += size;
        if (total > MaxDdsSize - DdsHeaderSize && scan.fault == LevelFault::None) {
            scan.fault = LevelFault::TooLarge;
            scan.faultLevel = level;
        }
        const qsizetype dataStart = quote2 + 2;
        const qsizetype dataEnd = close - 1;
        if (scan.fault == LevelFault::None) {
            for (qsizetype i = dataStart; i <= dataEnd; ++i) {
                const QChar c = xml.at(i - 1);
                if (hexDigitValue(c) < 0 && !isDataSpace(c)) {
                    scan.fault = LevelFault::NotHex;
                    scan.faultLevel = level;
                    break;
                }
            }
        }
        sizes.append(size);
        starts.append(dataStart);
        ends.append(dataEnd);
        pos = close;
    }

    // A level whose size or end could not be read (the scan stopped there, whatever fault an
    // earlier level had) is counted in found but never collected: the count and the arrays
    // hold only the levels that were.
    const int n = int(sizes.size());
    work.BlobCount = scan.found > MaxTextureLevels ? scan.found : n;
    if (scan.found > MaxTextureLevels || n < scan.found)
        return scan;

    work.BlobSizes.redimPreserve(n);
    work.BlobDataStart.redimPreserve(n);
    work.BlobDataEnd.redimPreserve(n);
    work.BlobTextParts.redimPreserve(n);
    for (int i = 1; i <= n; ++i) {
        work.BlobSizes[i] = sizes[i - 1];
        work.BlobDataStart[i] = starts[i - 1];
        work.BlobDataEnd[i] = ends[i - 1];
    }
    if (n == 0) {
        work.BlobTextParts[0] = xml;
    } else {
        work.BlobTextParts[0] = vb::Left(xml, starts[0] - 1);
        for (int i = 1; i < n; ++i)
            work.BlobTextParts[i] = vb::Mid(xml, ends[i - 1] + 1, starts[i] - ends[i - 1] - 1);
        work.BlobTextParts[n] = vb::Mid(xml, ends[n - 1] + 1);
    }
    for (int i = 0; i <= n; ++i) {
        if (work.BlobTextParts[i].contains(QLatin1Char('#'))) {
            scan.hashInPieces = true;
            break;
        }
    }
    return scan;
}

// ---- The DDS image -------------------------------------------------------------------------

namespace {

void put32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

// A number's hexadecimal digits, padded on the left to a count of digits.
QString paddedHex(double number, int digits)
{
    const QString hex = Dec2Hex(number);
    return hex.size() >= digits ? hex : QString(digits - hex.size(), QLatin1Char('0')) + hex;
}

} // namespace

QByteArray BuildDdsHeader(TextureFormat format, int width, int height, int levels, qint32 level1Size)
{
    QByteArray h(DdsHeaderSize, '\0');
    const bool compressed = IsCompressed(format);
    const bool mipMaps = levels > 1;

    h[0] = 'D';
    h[1] = 'D';
    h[2] = 'S';
    h[3] = ' ';
    put32(h, 4, 124);
    put32(h, 8, mipMaps ? 0x000A1007u : 0x00081007u);

    // Height and width: four hexadecimal digits, the last two the low byte.
    const QString heightHex = paddedHex(height, 4);
    h[12] = char(Hex2Dec(heightHex.right(2)));
    h[13] = char(Hex2Dec(heightHex.left(2)));
    const QString widthHex = paddedHex(width, 4);
    h[16] = char(Hex2Dec(widthHex.right(2)));
    h[17] = char(Hex2Dec(widthHex.left(2)));

    if (compressed) {
        const QString sizeHex = paddedHex(level1Size, 8);
        h[23] = char(Hex2Dec(sizeHex.mid(0, 2)));
        h[22] = char(Hex2Dec(sizeHex.mid(2, 2)));
        h[21] = char(Hex2Dec(sizeHex.mid(4, 2)));
        h[20] = char(Hex2Dec(sizeHex.mid(6, 2)));
    } else {
        put32(h, 20, format == TextureFormat::Rgb888 ? 0x00400000u : 0x00040000u);
    }
    put32(h, 28, quint32(levels));

    put32(h, 76, 32);
    if (compressed) {
        put32(h, 80, 0x00000004u);
        h[84] = 'D';
        h[85] = 'X';
        h[86] = 'T';
        h[87] = format == TextureFormat::Dxt1 ? '1' : '3';
        put32(h, 108, mipMaps ? 0x00401008u : 0u);
    } else {
        put32(h, 80, 0x00000041u);
        put32(h, 88, 32);
        put32(h, 92, 0x00FF0000u);
        put32(h, 96, 0x0000FF00u);
        put32(h, 100, 0x000000FFu);
        put32(h, 104, 0xFF000000u);
        // A texture, with mip-maps when there are several levels.
        put32(h, 108, mipMaps ? 0x00401008u : 0x00001000u);
    }
    return h;
}

TextureDds TextureXmlToDds(const QString& xml, TextureWork& work)
{
    TextureDds r;
    r.formatText = FindFormatText(xml);
    r.format = TextureFormatFor(r.formatText);
    if (r.format == TextureFormat::Unsupported) {
        r.fault = TextureDdsFault::Format;
        return r;
    }
    r.width = FindDimension(xml, QStringLiteral("Width"));
    r.height = FindDimension(xml, QStringLiteral("Height"));
    r.scan = ScanTextureLevels(xml, work);
    if (r.scan.found > MaxTextureLevels)
        r.fault = TextureDdsFault::TooManyLevels;
    else if (r.scan.fault != LevelFault::None)
        r.fault = TextureDdsFault::Levels;
    else if (r.scan.hashInPieces)
        r.fault = TextureDdsFault::HashInPieces;
    else
        r.image = BuildDdsImage(xml, work, r.format, r.width, r.height);
    return r;
}

QByteArray BuildDdsImage(const QString& xml, const TextureWork& work, TextureFormat format, int width, int height)
{
    const int n = work.BlobCount;
    const qint64 total = TotalLevelSize(work.BlobSizes);
    QByteArray image = BuildDdsHeader(format, width, height, n, n > 0 ? work.BlobSizes[1] : 0);
    image.append(QByteArray(qsizetype(total), '\0'));

    // The levels' digits as one run: a pair may straddle white space or even two levels.
    char* out = image.data() + DdsHeaderSize;
    qint64 written = 0;
    int high = -1;
    for (int level = 1; level <= n && written < total; ++level) {
        const QChar* data = xml.constData();
        for (qsizetype i = work.BlobDataStart[level]; i <= work.BlobDataEnd[level] && written < total; ++i) {
            const QChar c = data[i - 1];
            if (isDataSpace(c))
                continue;
            const int digit = hexDigitValue(c);
            if (digit < 0)
                continue; // refused by the scan; never reached for a checked text
            if (high < 0) {
                high = digit;
            } else {
                out[written++] = char(high * 16 + digit);
                high = -1;
            }
        }
    }
    return image;
}

// ---- The side file -------------------------------------------------------------------------

QString SideFileText(const TextureWork& work, const QString& texturePath)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    qsizetype length = 64 + texturePath.size();
    for (int i = 0; i <= work.BlobCount; ++i)
        length += work.BlobTextParts[i].size() + 4;
    text.reserve(length);

    text += QLatin1Char(' ') + QString::number(work.BlobCount) + crlf;
    for (int i = 0; i <= work.BlobCount; ++i) {
        QString piece = work.BlobTextParts[i];
        piece.replace(QLatin1Char('"'), QLatin1Char('#'));
        text += QLatin1Char('"') + piece + QLatin1Char('"') + crlf;
    }
    for (int i = 1; i <= work.BlobCount; ++i)
        text += QString::number(work.BlobSizes[i]) + crlf;
    text += QLatin1Char('"') + texturePath + QLatin1Char('"') + crlf;
    return text;
}

namespace {

// Reads the records of a side file one after the other, as the run-time's Input # does for
// the side file's records: a quoted record runs from its opening to its closing quote, line
// breaks included; any other record runs to a comma or the end of its line.
class RecordReader {
public:
    explicit RecordReader(const QString& text) : text_(text) {}

    bool quoted(QString& value)
    {
        skipSpace();
        if (pos_ >= text_.size() || text_.at(pos_) != QLatin1Char('"'))
            return false;
        const qsizetype close = text_.indexOf(QLatin1Char('"'), pos_ + 1);
        if (close < 0)
            return false;
        value = text_.mid(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        return endOfRecord();
    }

    bool plain(QString& value)
    {
        skipSpace();
        if (pos_ >= text_.size())
            return false;
        qsizetype end = pos_;
        while (end < text_.size() && text_.at(end) != QLatin1Char(',') && text_.at(end) != QLatin1Char('\r')
               && text_.at(end) != QLatin1Char('\n'))
            ++end;
        value = text_.mid(pos_, end - pos_).trimmed();
        pos_ = end;
        return endOfRecord();
    }

private:
    void skipSpace()
    {
        while (pos_ < text_.size() && (text_.at(pos_) == QLatin1Char(' ') || text_.at(pos_) == QLatin1Char('\t')
                                       || text_.at(pos_) == QLatin1Char('\r') || text_.at(pos_) == QLatin1Char('\n')))
            ++pos_;
    }
    // After a record: blanks, then a comma, a line end or the end of the text.
    bool endOfRecord()
    {
        while (pos_ < text_.size() && (text_.at(pos_) == QLatin1Char(' ') || text_.at(pos_) == QLatin1Char('\t')))
            ++pos_;
        if (pos_ >= text_.size())
            return true;
        const QChar c = text_.at(pos_);
        if (c == QLatin1Char(',')) {
            ++pos_;
            return true;
        }
        if (c == QLatin1Char('\r')) {
            ++pos_;
            if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('\n'))
                ++pos_;
            return true;
        }
        if (c == QLatin1Char('\n')) {
            ++pos_;
            return true;
        }
        return false;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

bool plainDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

bool ParseSideFile(const QString& text, SideFile& side, bool needPath)
{
    RecordReader reader(text);
    QString field;
    if (!reader.plain(field) || !plainDigits(field) || field.size() > 5)
        return false;
    const int count = field.toInt();
    if (count > 32767)
        return false;

    SideFile result;
    result.LevelCount = count;
    result.Pieces.redim(0, count);
    result.Sizes.redim(1, count);
    for (int i = 0; i <= count; ++i) {
        QString piece;
        if (!reader.quoted(piece))
            return false;
        piece.replace(QLatin1Char('#'), QLatin1Char('"'));
        result.Pieces[i] = piece;
    }
    for (int i = 1; i <= count; ++i) {
        bool ok = false;
        if (!reader.plain(field) || !plainDigits(field))
            return false;
        const qint64 size = field.toLongLong(&ok);
        if (!ok || size > 0x7FFFFFFF)
            return false;
        result.Sizes[i] = qint32(size);
    }
    if (!reader.quoted(result.TexturePath) || result.TexturePath.isEmpty()) {
        if (needPath)
            return false;
        result.TexturePath.clear();
    }
    side = std::move(result);
    return true;
}

qint64 TotalLevelSize(const VbArray<qint32>& sizes)
{
    qint64 total = 0;
    for (const qint32 s : sizes.values())
        total += s;
    return total;
}

// ---- Back to the texture XML ---------------------------------------------------------------

QString RebuildTextureXml(const VbArray<QString>& pieces, const VbArray<qint32>& sizes, const QByteArray& image,
                          const std::function<void()>& progress)
{
    static const char digits[] = "0123456789ABCDEF";
    const qint64 total = TotalLevelSize(sizes);
    qsizetype length = qsizetype(total) * 2 + qsizetype(total / 8) + 16;
    for (const QString& p : pieces.values())
        length += p.size();

    QString xml;
    xml.reserve(length);
    xml += pieces[0];

    const qsizetype imageSize = image.size();
    const uchar* bytes = reinterpret_cast<const uchar*>(image.constData());
    qsizetype next = DdsHeaderSize; // the next image byte to write
    bool exhausted = false;
    qint64 sinceProgress = 0;
    const qsizetype levels = pieces.ubound();
    for (qsizetype level = 1; level <= levels; ++level) {
        const qint64 size = level <= sizes.ubound() ? sizes[level] : 0;
        int groupsOnLine = 0;
        for (qint64 done = 0; done < size && !exhausted; done += 8) {
            if (next >= imageSize) {
                exhausted = true;
                break;
            }
            const qint64 inGroup = std::min<qint64>(8, size - done);
            qint64 b = 0;
            for (; b < inGroup && next < imageSize; ++b, ++next) {
                xml += QLatin1Char(digits[bytes[next] >> 4]);
                xml += QLatin1Char(digits[bytes[next] & 0x0F]);
            }
            if (b < inGroup) {
                // The image ended within the group: the group is completed with zero bytes
                // and nothing more is written.
                for (; b < 8; ++b)
                    xml += QStringLiteral("00");
                exhausted = true;
            }
            if (++groupsOnLine == 4) {
                xml += QLatin1Char('\n');
                groupsOnLine = 0;
            } else {
                xml += QLatin1Char(' ');
            }
            sinceProgress += 8;
            if (progress && sinceProgress >= 32768) {
                sinceProgress = 0;
                progress();
            }
        }
        xml += pieces[level];
    }

    // No line feed before a closing blob tag; removed in place, as the text can be large.
    const QString closing = QStringLiteral("\n</d:blob");
    qsizetype at = xml.indexOf(closing, 0, Qt::CaseInsensitive);
    if (at < 0)
        return xml;
    QChar* text = xml.data();
    qsizetype kept = at;
    qsizetype from = at + 1; // the tag stays, the line feed goes
    while (from < xml.size()) {
        at = xml.indexOf(closing, from, Qt::CaseInsensitive);
        const qsizetype end = at < 0 ? xml.size() : at;
        std::memmove(text + kept, text + from, size_t(end - from) * sizeof(QChar));
        kept += end - from;
        if (at < 0)
            break;
        from = at + 1;
    }
    xml.truncate(kept);
    return xml;
}

} // namespace textures
