#pragma once

// Pieces shared by the benchmarks that generate a game: files in the test serializer's
// binary form and tile entities as the game writes them.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace bench {

// The test serializer's binary form: its header, then the XML's bytes XOR-ed with 0xA5.
inline QByteArray serzBinary(const QByteArray& xml)
{
    QByteArray out("SERZBIN1");
    out.reserve(8 + xml.size());
    for (char c : xml)
        out += char(c ^ char(0xA5));
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                         "<cRecordSet xmlns:d=\"http://www.veltrane.example/2003/Delta\" d:version=\"1.0\">\r\n\t<Record>\r\n";
inline const QByteArray kTail = "\t</Record>\r\n</cRecordSet>\r\n";

// One placed entity as the game writes it; without its position it is about half the size.
inline QByteArray entity(const QByteArray& provider, const QByteArray& product, const QByteArray& id, int n,
                  bool withPosition = true)
{
    const QByteArray num = QByteArray::number(n);
    if (!withPosition)
        return "\t\t<cStaticEntity d:id=\"" + num
               + "\">\r\n\t\t\t<BlueprintID>\r\n"
                 "\t\t\t\t<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t<BlueprintSetID>\r\n"
                 "\t\t\t\t\t\t<iBlueprintLibrary-cBlueprintSetID>\r\n"
                 "\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">" + provider + "</Provider>\r\n"
                 "\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">" + product + "</Product>\r\n"
                 "\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>\r\n\t\t\t\t\t</BlueprintSetID>\r\n"
                 "\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">"
               + id
               + "</BlueprintID>\r\n\t\t\t\t</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t</BlueprintID>\r\n"
                 "\t\t\t<EntityID><cGUID><DevString d:type=\"cDeltaString\">e0000000-0000-4000-8000-"
               + num.rightJustified(12, '0') + "</DevString></cGUID></EntityID>\r\n\t\t</cStaticEntity>\r\n";
    return "\t\t<cStaticEntity d:id=\"" + num
           + "\">\r\n\t\t\t<Component>\r\n\t\t\t\t<cPosOri d:id=\"1" + num
           + "\">\r\n\t\t\t\t\t<RFarMatrix>\r\n\t\t\t\t\t\t<cFarMatrix>\r\n"
             "\t\t\t\t\t\t\t<Height d:type=\"sFloat32\">0</Height>\r\n"
             "\t\t\t\t\t\t\t<RXAxis><cFarVector2><X d:type=\"sFloat32\">12.5</X><Z d:type=\"sFloat32\">40.0</Z>"
             "</cFarVector2></RXAxis>\r\n\t\t\t\t\t\t</cFarMatrix>\r\n\t\t\t\t\t</RFarMatrix>\r\n"
             "\t\t\t\t</cPosOri>\r\n\t\t\t</Component>\r\n\t\t\t<BlueprintID>\r\n"
             "\t\t\t\t<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t<BlueprintSetID>\r\n"
             "\t\t\t\t\t\t<iBlueprintLibrary-cBlueprintSetID>\r\n"
             "\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">" + provider + "</Provider>\r\n"
             "\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">" + product + "</Product>\r\n"
             "\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>\r\n\t\t\t\t\t</BlueprintSetID>\r\n"
             "\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">"
           + id
           + "</BlueprintID>\r\n\t\t\t\t</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t</BlueprintID>\r\n"
             "\t\t\t<EntityID><cGUID><DevString d:type=\"cDeltaString\">e0000000-0000-4000-8000-"
           + num.rightJustified(12, '0') + "</DevString></cGUID></EntityID>\r\n\t\t</cStaticEntity>\r\n";
}

} // namespace bench
