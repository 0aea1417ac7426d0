#include "packaging/clsCRC.h"

#include "common/FileProcs.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// CRC-32, reflected polynomial 0xEDB88320, processed sixteen bytes at a time: table k maps a
// byte to its contribution k bytes further on.
constexpr int kSlices = 16;

struct Crc32Tables {
    std::array<std::array<quint32, 256>, kSlices> t{};
    Crc32Tables()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[0][i] = c;
        }
        for (int k = 1; k < kSlices; ++k)
            for (int i = 0; i < 256; ++i)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

// CRC-16, polynomial 0x1021, most significant bit first.
struct Crc16Table {
    std::array<quint32, 256> t{};
    Crc16Table()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 crc = 0;
            quint32 c = i << 8;
            for (int k = 0; k < 8; ++k) {
                crc = ((crc ^ c) & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
                c <<= 1;
            }
            t[i] = crc & 0xFFFF;
        }
    }
};

const Crc32Tables& crc32Tables()
{
    static const Crc32Tables tables;
    return tables;
}

const Crc16Table& crc16Table()
{
    static const Crc16Table table;
    return table;
}

inline quint32 load32(const uchar* p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    v = qFromLittleEndian(v);
#endif
    return v;
}

quint32 crc32Update(quint32 reg, const uchar* p, qint64 n)
{
    const auto& t = crc32Tables().t;
    while (n >= 16) {
        const quint32 a = load32(p) ^ reg;
        const quint32 b = load32(p + 4);
        const quint32 c = load32(p + 8);
        const quint32 d = load32(p + 12);
        reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24]
            ^ t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24]
            ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
            ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        n -= 16;
    }
    while (n-- > 0)
        reg = (reg >> 8) ^ t[0][(reg ^ *p++) & 0xFF];
    return reg;
}

quint32 crc16Update(quint32 reg, const uchar* p, qint64 n)
{
    const auto& t = crc16Table().t;
    reg &= 0xFFFF;
    while (n-- > 0)
        reg = (t[((reg >> 8) ^ *p++) & 0xFF] ^ (reg << 8)) & 0xFFFF;
    return reg;
}

} // namespace

clsCRC::clsCRC()
{
    setAlgorithm(1);
}

void clsCRC::InitCrc32()
{
    crc32Tables();
    m_crc32Ready = true;
}

void clsCRC::InitCrc16()
{
    crc16Table();
    m_crc16Ready = true;
}

void clsCRC::setAlgorithm(qint32 algorithm)
{
    m_algorithm = algorithm == 0 ? 0 : -1;
    if (m_algorithm == -1 && !m_crc32Ready)
        InitCrc32();
    else if (m_algorithm == 0 && !m_crc16Ready)
        InitCrc16();
    Clear();
}

void clsCRC::Clear()
{
    m_crc16 = 0;
    m_crc32 = 0xFFFFFFFFu;
}

qint32 clsCRC::value() const
{
    if (m_algorithm == -1)
        return qint32(~m_crc32);
    return qint32(m_crc16 & 0xFFFF);
}

void clsCRC::setValue(double number)
{
    const quint32 v = quint32(vb::CLng(number));
    if (m_algorithm == -1)
        m_crc32 = v;
    else
        m_crc16 = v;
}

qint32 clsCRC::AddBytes(const char* data, qint64 size)
{
    if (size <= 0)
        return value();
    const auto* p = reinterpret_cast<const uchar*>(data);
    if (m_algorithm == -1)
        m_crc32 = crc32Update(m_crc32, p, size);
    else
        m_crc16 = crc16Update(m_crc16, p, size);
    return value();
}

qint32 clsCRC::AddBytes(const QByteArray& bytes)
{
    return AddBytes(bytes.constData(), bytes.size());
}

qint32 clsCRC::AddBytes(const VbArray<quint8>& bytes)
{
    const QList<quint8>& items = bytes.values();
    return AddBytes(reinterpret_cast<const char*>(items.constData()), items.size());
}

qint32 clsCRC::AddString(const QString& text)
{
    return AddBytes(platform::encodeAnsi(text));
}

qint32 clsCRC::CalculateBytes(const VbArray<quint8>& bytes)
{
    Clear();
    return AddBytes(bytes);
}

qint32 clsCRC::CalculateBytes(const QByteArray& bytes)
{
    Clear();
    return AddBytes(bytes);
}

qint32 clsCRC::CalculateString(const QString& text)
{
    Clear();
    return AddString(text);
}

std::optional<qint32> clsCRC::CalculateFile(const QString& path)
{
    if (!FileExists(path))
        return 0;
    QFile f(platform::nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        throw VbError(75);
    if (f.size() == 0)
        return std::nullopt;

    // The whole file goes through the loop block by block into a register of its own; the
    // object's registers change only once every byte was read.
    constexpr qint64 kBlock = 4 << 20;
    std::vector<char> buffer(size_t(std::min<qint64>(kBlock, f.size())));
    quint32 reg = m_algorithm == -1 ? 0xFFFFFFFFu : 0;
    for (;;) {
        const qint64 n = f.read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            throw VbError(75);
        if (n == 0)
            break;
        const auto* p = reinterpret_cast<const uchar*>(buffer.data());
        reg = m_algorithm == -1 ? crc32Update(reg, p, n) : crc16Update(reg, p, n);
    }
    Clear();
    if (m_algorithm == -1)
        m_crc32 = reg;
    else
        m_crc16 = reg;
    return value();
}
