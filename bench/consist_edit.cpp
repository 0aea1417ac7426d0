// The scenario editor's consist commands on a scenario of real size: 500 consists of 10
// vehicles each (about 8 MB of XML), every consist a driven-style service with a PlayerDriver,
// so that "Drive It" writes a thousand elements. Each command is timed alone and with the
// reading of the tables that follows every committed edit.
//
//   build/bin/bench_consist_edit [--benchmark_filter=DriveIt]

#include "BenchGame.h"
#include "scenarios/ConsistEditing.h"
#include "scenarios/ConsistModel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr int kConsists = 500;
constexpr int kVehicles = 10;

QString ribbon(int n)
{
    return QStringLiteral("\t\t\t\t\t\t\t\t\t<RibbonID>\r\n\t\t\t\t\t\t\t\t\t\t<cGUID>\r\n\t\t\t\t\t\t\t\t\t\t\t<UUID>\r\n"
                          "\t\t\t\t\t\t\t\t\t\t\t\t<e d:type=\"sUInt64\">4639075261266734141</e>\r\n"
                          "\t\t\t\t\t\t\t\t\t\t\t\t<e d:type=\"sUInt64\">16850437593082655618</e>\r\n"
                          "\t\t\t\t\t\t\t\t\t\t\t</UUID>\r\n"
                          "\t\t\t\t\t\t\t\t\t\t\t<DevString d:type=\"cDeltaString\">0a1b2c3d-4e5f-4061-8273-%1</DevString>\r\n"
                          "\t\t\t\t\t\t\t\t\t\t</cGUID>\r\n\t\t\t\t\t\t\t\t\t</RibbonID>\r\n")
        .arg(n, 12, 10, QLatin1Char('0'));
}

QString vehicle(int consist, int n)
{
    const bool engine = n == 0;
    const QString number = QString::number(consist * 100 + n + 1000);
    return QStringLiteral("\t\t\t\t<cOwnedEntity d:id=\"1\">\r\n\t\t\t\t\t<Component>\r\n\t\t\t\t\t\t<") + (engine ? "cEngine" : "cWagon")
        + QStringLiteral(" d:id=\"2\">\r\n\t\t\t\t\t\t\t<Followers>\r\n\t\t\t\t\t\t\t\t<Network-cTrackFollower d:id=\"3\">\r\n"
                         "\t\t\t\t\t\t\t\t\t<Height d:type=\"sFloat32\">0</Height>\r\n"
                         "\t\t\t\t\t\t\t\t\t<_type d:type=\"cDeltaString\">Train</_type>\r\n"
                         "\t\t\t\t\t\t\t\t\t<Position d:type=\"sFloat32\">80.0</Position>\r\n")
        + ribbon(consist)
        + QStringLiteral("\t\t\t\t\t\t\t\t</Network-cTrackFollower>\r\n\t\t\t\t\t\t\t</Followers>\r\n"
                         "\t\t\t\t\t\t\t<TotalMass d:type=\"sFloat32\">84.000000</TotalMass>\r\n"
                         "\t\t\t\t\t\t\t<UniqueNumber d:type=\"cDeltaString\">")
        + number
        + QStringLiteral("</UniqueNumber>\r\n\t\t\t\t\t\t\t<Flipped d:type=\"bool\">0</Flipped>\r\n\t\t\t\t\t\t</")
        + (engine ? "cEngine" : "cWagon")
        + QStringLiteral(">\r\n\t\t\t\t\t\t<cCargoComponent d:id=\"4\">\r\n"
                         "\t\t\t\t\t\t\t<IsPreloaded d:type=\"cDeltaString\">eFalse</IsPreloaded>\r\n")
        + (engine ? QStringLiteral("\t\t\t\t\t\t\t<InitialLevel/>\r\n")
                  : QStringLiteral("\t\t\t\t\t\t\t<InitialLevel>\r\n\t\t\t\t\t\t\t\t<e d:type=\"sFloat32\">0.000000</e>\r\n"
                                   "\t\t\t\t\t\t\t\t<e d:type=\"sFloat32\">0.000000</e>\r\n\t\t\t\t\t\t\t</InitialLevel>\r\n"))
        + QStringLiteral("\t\t\t\t\t\t</cCargoComponent>\r\n\t\t\t\t\t</Component>\r\n\t\t\t\t\t<BlueprintID>\r\n"
                         "\t\t\t\t\t\t<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t\t\t<BlueprintSetID>\r\n"
                         "\t\t\t\t\t\t\t\t<iBlueprintLibrary-cBlueprintSetID>\r\n"
                         "\t\t\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">VeltraneSamples</Provider>\r\n"
                         "\t\t\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">Sample01</Product>\r\n"
                         "\t\t\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>\r\n\t\t\t\t\t\t\t</BlueprintSetID>\r\n"
                         "\t\t\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">")
        + (engine ? QStringLiteral("RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml")
                  : QStringLiteral("RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan.xml"))
        + QStringLiteral("</BlueprintID>\r\n\t\t\t\t\t\t</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t</BlueprintID>\r\n"
                         "\t\t\t\t\t<Name d:type=\"cDeltaString\">")
        + (engine ? QStringLiteral("VS Class 90") : QStringLiteral("VS Box Van"))
        + QStringLiteral("</Name>\r\n\t\t\t\t\t<EntityID>\r\n\t\t\t\t\t\t<cGUID>\r\n\t\t\t\t\t\t\t<UUID>\r\n"
                         "\t\t\t\t\t\t\t\t<e d:type=\"sUInt64\">4611686022185484288</e>\r\n"
                         "\t\t\t\t\t\t\t\t<e d:type=\"sUInt64\">648518346341351552</e>\r\n\t\t\t\t\t\t\t</UUID>\r\n"
                         "\t\t\t\t\t\t\t<DevString d:type=\"cDeltaString\">e0000000-0000-4000-8000-000000000009</DevString>\r\n"
                         "\t\t\t\t\t\t</cGUID>\r\n\t\t\t\t\t</EntityID>\r\n\t\t\t\t</cOwnedEntity>\r\n");
}

QString consist(int k)
{
    QString s = QStringLiteral("\t\t<cConsist d:id=\"5\">\r\n\t\t\t<RailVehicles>\r\n");
    for (int n = 0; n < kVehicles; ++n)
        s += vehicle(k, n);
    s += QStringLiteral("\t\t\t</RailVehicles>\r\n\t\t\t<FrontFollower>\r\n") + ribbon(k)
        + QStringLiteral("\t\t\t</FrontFollower>\r\n\t\t\t<RearFollower>\r\n") + ribbon(k)
        + QStringLiteral("\t\t\t\t<_dir d:type=\"cDeltaString\">forwards</_dir>\r\n\t\t\t</RearFollower>\r\n"
                         "\t\t\t<Driver>\r\n\t\t\t\t<cDriver d:id=\"6\">\r\n\t\t\t\t\t<FinalDestination><cDriverInstructionTarget d:id=\"7\">"
                         "<DisplayName d:type=\"cDeltaString\">Eastfield Yard</DisplayName></cDriverInstructionTarget></FinalDestination>\r\n"
                         "\t\t\t\t\t<PlayerDriver d:type=\"bool\">")
        + (k == 0 ? "1" : "0")
        + QStringLiteral("</PlayerDriver>\r\n\t\t\t\t\t<PlayerControlled d:type=\"bool\">") + (k == 0 ? "1" : "0")
        + QStringLiteral("</PlayerControlled>\r\n\t\t\t\t\t<ServiceName><Localisation-cUserLocalisedString>"
                         "<English d:type=\"cDeltaString\">Service %1</English><French d:type=\"cDeltaString\"></French>"
                         "<Italian d:type=\"cDeltaString\"></Italian><German d:type=\"cDeltaString\"></German>"
                         "<Spanish d:type=\"cDeltaString\"></Spanish></Localisation-cUserLocalisedString></ServiceName>\r\n"
                         "\t\t\t\t\t<StartTime d:type=\"sFloat32\">25200.0000</StartTime>\r\n"
                         "\t\t\t\t\t<ServiceClass d:type=\"sInt32\">5</ServiceClass>\r\n"
                         "\t\t\t\t</cDriver>\r\n\t\t\t</Driver>\r\n"
                         "\t\t\t<DriverEngineIndex d:type=\"sInt32\">0</DriverEngineIndex>\r\n\t\t</cConsist>\r\n")
              .arg(k);
    return s;
}

const QString& scenarioText()
{
    static const QString text = [] {
        QString s = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n");
        for (int k = 0; k < kConsists; ++k)
            s += consist(k);
        s += QStringLiteral("\t</Record>\r\n</cRecordSet>\r\n");
        // Indented with one tab less per level than the serializer writes, which keeps it near 8 MB.
        return s.replace(QStringLiteral("\t\t"), QStringLiteral("\t"));
    }();
    return text;
}

const QString kTracks = QStringLiteral("<Ribbon>") + ribbon(7) + QStringLiteral("<English>Eastfield Yard</English></Ribbon>");
constexpr int kMiddle = kConsists / 2;

void reportSize(benchmark::State& state, const QString& text)
{
    state.counters["MB"] = double(text.size()) / 1e6;
}

void BM_DriveIt(benchmark::State& state)
{
    const QString& text = scenarioText();
    for (auto _ : state) {
        scenarios::EditResult r = scenarios::driveIt(text, kMiddle, 0);
        benchmark::DoNotOptimize(r.text.size());
    }
    reportSize(state, text);
}
BENCHMARK(BM_DriveIt)->Unit(benchmark::kMillisecond);

void BM_DuplicateConsist(benchmark::State& state)
{
    const QString& text = scenarioText();
    for (auto _ : state) {
        scenarios::EditResult r = scenarios::duplicateConsist(text, kMiddle, QStringLiteral("Eastfield Yard"), kTracks,
                                                              [] { return QStringLiteral("Copy"); });
        benchmark::DoNotOptimize(r.text.size());
    }
}
BENCHMARK(BM_DuplicateConsist)->Unit(benchmark::kMillisecond);

void BM_DeleteItem(benchmark::State& state)
{
    const QString& text = scenarioText();
    for (auto _ : state) {
        scenarios::EditResult r = scenarios::deleteItem(text, kConsists - 1, 5);
        benchmark::DoNotOptimize(r.text.size());
    }
}
BENCHMARK(BM_DeleteItem)->Unit(benchmark::kMillisecond);

void BM_Rebuild(benchmark::State& state)
{
    const QString& text = scenarioText();
    scenarios::ConsistModel model;
    for (auto _ : state) {
        model.reread(text);
        benchmark::DoNotOptimize(model.consists.size());
    }
    state.counters["consists"] = double(model.consistCount());
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond);

// A command with the reading of the tables after it, as the window runs it.
void BM_DriveItWithRebuild(benchmark::State& state)
{
    const QString& text = scenarioText();
    scenarios::ConsistModel model;
    for (auto _ : state) {
        scenarios::EditResult r = scenarios::driveIt(text, kConsists - 1, 0);
        model.reread(r.text);
        benchmark::DoNotOptimize(model.consists.size());
    }
}
BENCHMARK(BM_DriveItWithRebuild)->Unit(benchmark::kMillisecond);

void BM_DuplicateConsistWithRebuild(benchmark::State& state)
{
    const QString& text = scenarioText();
    scenarios::ConsistModel model;
    for (auto _ : state) {
        scenarios::EditResult r = scenarios::duplicateConsist(text, kConsists - 1, QStringLiteral("Eastfield Yard"), kTracks,
                                                              [] { return QStringLiteral("Copy"); });
        model.reread(r.text);
        benchmark::DoNotOptimize(model.consists.size());
    }
}
BENCHMARK(BM_DuplicateConsistWithRebuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("scenario text: %.1f MB, %d consists of %d vehicles\n", double(scenarioText().size()) / 1e6, kConsists,
                kVehicles);
    if (!bench::acceptArguments(argc, argv))
        return 1;
    return bench::runBenchmarks();
}
