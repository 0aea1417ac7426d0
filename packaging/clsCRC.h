#pragma once
// CRC-32 (the zip checksum) and CRC-16 (XMODEM parameters) over bytes, texts and files,
// in one call or fed piece by piece into a running register. Each object has its own
// registers; the lookup tables are built once per process and shared.
//
// Results are signed 32-bit values: a CRC-32 with its top bit set comes out negative, a
// CRC-16 lies in 0..65535.

#include "common/VbArray.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

class clsCRC {
public:
    // Starts with CRC-32 selected and both registers cleared (value() reads 0).
    clsCRC();

    // Feeds every element, lower bound to upper bound, into the selected register without
    // clearing it first; returns value(). No elements leaves the register as it was.
    qint32 AddBytes(const VbArray<quint8>& bytes);
    qint32 AddBytes(const QByteArray& bytes);
    qint32 AddBytes(const char* data, qint64 size);
    // Feeds the text's bytes in the ANSI code page (nothing else).
    qint32 AddString(const QString& text);

    // 0 selects CRC-16, anything else CRC-32; then both registers are cleared.
    void setAlgorithm(qint32 algorithm);
    // -1 for CRC-32, 0 for CRC-16.
    qint32 Algorithm() const { return m_algorithm; }

    // Clear, then the bytes or the text alone.
    qint32 CalculateBytes(const VbArray<quint8>& bytes);
    qint32 CalculateBytes(const QByteArray& bytes);
    qint32 CalculateString(const QString& text);

    // The checksum of a whole file, read in blocks. A path with no readable file gives 0 and
    // a file of no bytes an empty result; neither touches the registers. A read that fails
    // part-way raises VbError 75 and leaves the registers as they were.
    std::optional<qint32> CalculateFile(const QString& path);

    // CRC-32: the complement of the register; CRC-16: the register's low 16 bits.
    qint32 value() const;
    // Stores the number, converted as CLng converts (error 6 outside the 32-bit range leaves
    // the register as it was), in the selected register as it is: for CRC-32 reading value()
    // then gives its complement, for CRC-16 its low 16 bits.
    void setValue(double number);

    // CRC-16 register 0, CRC-32 register all ones, whichever is selected.
    void Clear();

private:
    void InitCrc16();
    void InitCrc32();

    qint16 m_algorithm = -1;
    quint32 m_crc32 = 0xFFFFFFFFu;
    quint32 m_crc16 = 0;
    bool m_crc32Ready = false;
    bool m_crc16Ready = false;
};
