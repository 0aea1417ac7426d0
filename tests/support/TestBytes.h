#pragma once
// Bytes for checksum and archive tests: repeatable pseudo-random data and a bit-at-a-time CRC-32
// that is independent of the tables under test.

#include <QByteArray>

#include <random>

// size bytes drawn from a generator seeded with seed: the same bytes for the same seed.
inline QByteArray randomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 gen(seed);
    QByteArray b(size, Qt::Uninitialized);
    for (char& c : b)
        c = char(gen() & 0xFF);
    return b;
}

inline quint32 referenceCrc32(const QByteArray& bytes)
{
    quint32 reg = 0xFFFFFFFFu;
    for (char c : bytes) {
        reg ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return ~reg;
}
