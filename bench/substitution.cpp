// Scenery substitution and the scenario stock list on data of real size:
// - the replacement in one 5 MB tile with 10,000 references (half of them to the old blueprint);
// - the stock list of a 20 MB scenario with 50,000 rolling-stock references;
// - the tile loop over 5,000 generated tiles, 1 % of them referencing the old blueprint (and
//   the same with none), each tile converted by the test serializer (serz.exe beside this
//   program). The loop reports the time spent in the serializer's runs and the time outside
//   them, per tile.
//
//   build/bin/bench_substitution [--benchmark_filter=Replace]

#include "BenchGame.h"
#include "common/SharedState.h"
#include "routes/StockList.h"
#include "routes/Substitution.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

using namespace bench;

constexpr int kTiles = 5000;
constexpr int kReferencesPerTile = 20;

const QByteArray kOldPath = "Scenery\\Trees\\VS_Birch01.xml";
const routes::SubstituteRequest kRequest{QStringLiteral("VeltraneSamples"), QStringLiteral("Sample01"),
                                         QStringLiteral("Scenery\\Trees\\VS_Birch01.xml"), QStringLiteral("OtherCo"),
                                         QStringLiteral("Pack02"), QStringLiteral("Scenery\\Trees\\VS_Oak01.xml")};

QByteArray otherPath(int k)
{
    return "Scenery\\Buildings\\BP" + QByteArray::number(k % 500).rightJustified(4, '0') + ".xml";
}

// The generated tiles, made once per run of the program: "Some" with 1 % of its tiles naming
// the old blueprint, "None" with no tile naming it.
class BenchGame : GeneratedGame {
public:
    bool make(const QString& serz)
    {
        if (!start(serz))
            return false;

        int n = 0;
        for (const QString& kind : {QStringLiteral("Some"), QStringLiteral("None")}) {
            for (int t = 0; t < kTiles; ++t) {
                QByteArray xml = kHead;
                for (int j = 0; j < kReferencesPerTile; ++j) {
                    const bool old = kind == QLatin1String("Some") && t % 100 == 0 && j == 7;
                    xml += entity("VeltraneSamples", "Sample01", old ? kOldPath : otherPath(t + j), ++n);
                }
                xml += kTail;
                const QString name = QString::asprintf("/%+07d%+07d.bin", t % 100, t / 100);
                if (!writeFile(game_ + QLatin1Char('/') + kind + name, serzBinary(xml)))
                    return false;
            }
        }
        shared().GamePath = game_;
        return true;
    }

    QString folder(const QString& kind) const { return game_ + QLatin1Char('\\') + kind; }
};

std::unique_ptr<BenchGame> g_game;

void BM_ReplaceIn5MbTile(benchmark::State& state)
{
    QByteArray xml = kHead;
    for (int k = 0; k < 10000; ++k)
        xml += entity("VeltraneSamples", "Sample01", k % 2 == 0 ? kOldPath : otherPath(k), k, false);
    xml += kTail;
    const QString tile = QString::fromLatin1(xml);
    for (auto _ : state) {
        state.PauseTiming();
        QString text = tile;
        state.ResumeTiming();
        const bool changed = routes::ReplaceBlueprintReferences(text, kRequest);
        benchmark::DoNotOptimize(changed);
    }
    state.counters["MB"] = double(xml.size()) / 1e6;
}

QByteArray vehicle(int k)
{
    return "\t\t<cOwnedEntity d:id=\"" + QByteArray::number(k)
           + "\">\r\n\t\t\t<BlueprintID>\r\n"
             "\t\t\t\t<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t\t\t<BlueprintSetID>\r\n"
             "\t\t\t\t\t\t<iBlueprintLibrary-cBlueprintSetID>\r\n"
             "\t\t\t\t\t\t\t<Provider d:type=\"cDeltaString\">Provider"
           + QByteArray::number(k % 7)
           + "</Provider>\r\n\t\t\t\t\t\t\t<Product d:type=\"cDeltaString\">Product" + QByteArray::number(k % 13)
           + "</Product>\r\n\t\t\t\t\t\t</iBlueprintLibrary-cBlueprintSetID>\r\n\t\t\t\t\t</BlueprintSetID>\r\n"
             "\t\t\t\t\t<BlueprintID d:type=\"cDeltaString\">RailVehicles\\Freight\\Wagon"
           + QByteArray::number(k % 1000)
           + "\\Wagon.xml</BlueprintID>\r\n\t\t\t\t</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n\t\t\t</BlueprintID>\r\n"
             "\t\t\t<Number d:type=\"cDeltaString\">" + QByteArray::number(100000 + k)
           + "</Number>\r\n\t\t</cOwnedEntity>\r\n";
}

void BM_StockListOf20MbScenario(benchmark::State& state)
{
    QByteArray xml = kHead;
    for (int k = 0; k < 50000; ++k)
        xml += vehicle(k);
    while (xml.size() < 20'000'000)
        xml += "\t\t<Padding d:type=\"cDeltaString\">the rest of a scenario: markers, instructions, weather</Padding>\r\n";
    xml += kTail;
    const QString scenario = QString::fromLatin1(xml);
    qsizetype entries = 0;
    for (auto _ : state) {
        const QStringList list = routes::StockList(scenario);
        entries = list.size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["MB"] = double(xml.size()) / 1e6;
    state.counters["entries"] = double(entries);
}

void BM_TileLoop(benchmark::State& state)
{
    const QString folder = g_game->folder(state.range(0) ? QStringLiteral("Some") : QStringLiteral("None"));
    const QStringList names = routes::TileFileNames(folder);
    for (auto _ : state) {
        routes::TileLoopStats stats;
        QElapsedTimer timer;
        timer.start();
        const QList<routes::UnchangedTile> unchanged =
            routes::SubstituteInTiles(folder, names, kRequest, routes::TileLoopProgress(), &stats);
        const qint64 ns = timer.nsecsElapsed();
        state.counters["tiles"] = double(stats.tiles);
        state.counters["changed"] = double(stats.changed);
        state.counters["not_changed_failures"] = double(unchanged.size());
        reportSerializerShare(state, {ns, stats.serializerNs, stats.serializerRuns}, "outside_s", "outside_ms_per_tile",
                              1e3, stats.tiles);
    }
}

BENCHMARK(BM_ReplaceIn5MbTile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StockListOf20MbScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileLoop)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_game = std::make_unique<BenchGame>();
    if (!prepareGame(QStringLiteral("/serz.exe"), [](const QString& serz) { return g_game->make(serz); },
                     "The generated tiles could not be written.\n"))
        return 1;
    runBenchmarks();
    g_game.reset();
    return 0;
}
