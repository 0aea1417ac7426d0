#pragma once

// Pieces shared by the benchmarks: a generated game (files in the test serializer's binary
// form, tile entities as the game writes them, the serializer installed beside it) and the
// start and run of the benchmark library.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>

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
    QByteArray out = "\t\t<cStaticEntity d:id=\"" + num + "\">\r\n";
    if (withPosition)
        out += "\t\t\t<Component>\r\n\t\t\t\t<cPosOri d:id=\"1" + num
               + "\">\r\n\t\t\t\t\t<RFarMatrix>\r\n\t\t\t\t\t\t<cFarMatrix>\r\n"
                 "\t\t\t\t\t\t\t<Height d:type=\"sFloat32\">0</Height>\r\n"
                 "\t\t\t\t\t\t\t<RXAxis><cFarVector2><X d:type=\"sFloat32\">12.5</X><Z d:type=\"sFloat32\">40.0</Z>"
                 "</cFarVector2></RXAxis>\r\n\t\t\t\t\t\t</cFarMatrix>\r\n\t\t\t\t\t</RFarMatrix>\r\n"
                 "\t\t\t\t</cPosOri>\r\n\t\t\t</Component>\r\n";
    return out + "\t\t\t<BlueprintID>\r\n"
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

// Puts the test serializer into "program/System32" below `root` and points the program there;
// with `ownWinePrefix` Wine's prefix is "wine" below `root` as well.
inline bool installSerializer(const QString& root, const QString& serz, bool ownWinePrefix = true)
{
    const QString program = root + QStringLiteral("/program");
    const QString system = program + QStringLiteral("/System32");
    QDir().mkpath(program + QStringLiteral("/TempFiles"));
    QDir().mkpath(system);
    if (!QFile::copy(serz, system + QStringLiteral("/serz.exe")))
        return false;
    QFile::setPermissions(system + QStringLiteral("/serz.exe"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("VELTRANE_HOME", QFile::encodeName(program));
    qputenv("VELTRANE_SYSTEM", QFile::encodeName(system));
    if (ownWinePrefix)
        qputenv("WINEPREFIX", QFile::encodeName(root + QStringLiteral("/wine")));
    return true;
}

// A game generated in a temporary folder of its own, the test serializer installed beside it.
class GeneratedGame {
protected:
    // Makes the folder and installs the serializer; false where either fails.
    bool start(const QString& serz, bool ownWinePrefix = true)
    {
        if (!dir_.isValid())
            return false;
        game_ = dir_.path() + QStringLiteral("/game");
        return installSerializer(dir_.path(), serz, ownWinePrefix);
    }

    QTemporaryDir dir_;
    QString game_;
};

// Finds the test serializer at `serzName` beside this program and has `make` write the game with
// it; false, having said why, where either fails.
inline bool prepareGame(const QString& serzName, const std::function<bool(const QString& serz)>& make,
                        const char* failure)
{
    const QString serz = QCoreApplication::applicationDirPath() + serzName;
    if (!QFileInfo::exists(serz)) {
        std::fprintf(stderr, "The test serializer %s is missing: build the target serz first.\n", qPrintable(serz));
        return false;
    }
    if (!make(serz)) {
        std::fputs(failure, stderr);
        return false;
    }
    return true;
}

// The serializer's part of a run of `totalNs`: its runs and seconds, and the seconds outside
// them, in all (`ownCounter`) and per unit of work (`perCounter`, in `perScale`ths of a second
// per one of `units`).
struct SerializerShare {
    qint64 totalNs = 0;
    qint64 serializerNs = 0;
    qint64 runs = 0;
};
inline void reportSerializerShare(benchmark::State& state, const SerializerShare& share, const std::string& ownCounter,
                                  const std::string& perCounter, double perScale, qint64 units)
{
    const double outside = double(share.totalNs - share.serializerNs) / 1e9;
    state.counters["serz_runs"] = double(share.runs);
    state.counters["serz_s"] = double(share.serializerNs) / 1e9;
    state.counters[ownCounter] = outside;
    state.counters[perCounter] = units ? outside * perScale / double(units) : 0.0;
}

// Widget benchmarks draw offscreen unless the caller chose a platform.
inline void offscreenUnlessSet()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Hands the command line to the library; false, having said so, where it holds words the library
// does not know.
inline bool acceptArguments(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    return !benchmark::ReportUnrecognizedArguments(argc, argv);
}

// Runs the benchmarks the command line names and lets the library go.
inline int runBenchmarks()
{
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
