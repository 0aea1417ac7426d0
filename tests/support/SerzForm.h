#pragma once
// The test serializer's binary form, written and read here directly (independently of the
// serializer) so that tests can also make files it refuses, such as those holding its failure
// marker: the 8-byte header "SERZBIN1", then the XML's bytes XOR-ed with 0xA5.

#include <QByteArray>

inline QByteArray serzBinary(const QByteArray& xml)
{
    QByteArray out("SERZBIN1");
    for (char c : xml)
        out += char(c ^ char(0xA5));
    return out;
}

// The XML inside a file in that form (its header is not checked).
inline QByteArray serzXml(const QByteArray& binary)
{
    QByteArray out;
    for (char c : binary.mid(8))
        out += char(c ^ char(0xA5));
    return out;
}
