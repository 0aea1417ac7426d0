// The asset list's walks on an assets folder of real size: 100,000 files in 20 products of
// 50 folders each, among them 2,000 blueprints (the rest geometry, textures and other files),
// each blueprint converted by the test serializer (serz.exe beside this program).
//
// ListAssetFiles lists every file of the folder; ListBlueprintFiles converts and classifies
// the blueprints. The blueprint walk reports, besides its wall time, the time spent in the
// serializer's runs and the time outside them per blueprint, which is the list's own work.
//
//   build/bin/bench_asset_list [--benchmark_filter=Asset]

#include "BenchGame.h"
#include "assets/AssetList.h"
#include "common/SharedState.h"

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

constexpr int kProducts = 20;
constexpr int kFoldersPerProduct = 50;
constexpr int kFiles = 100000;
constexpr int kBlueprints = 2000;

QByteArray blueprintXml(int k)
{
    const QByteArray n = QByteArray::number(k);
    QByteArray body;
    switch (k % 4) {
    case 0:
        body = "\t\t<cEngineBlueprint>\r\n\t\t\t<EngineType d:type=\"cDeltaString\">Diesel</EngineType>\r\n"
               "\t\t</cEngineBlueprint>\r\n";
        break;
    case 1:
        body = "\t\t<cWagonBlueprint>\r\n\t\t\t<Seats>Passenger " + n + "</Seats>\r\n\t\t</cWagonBlueprint>\r\n";
        break;
    case 2:
        body = "\t\t<cSceneryBlueprint>\r\n\t\t\t<Category d:type=\"cDeltaString\">eScenery</Category>\r\n"
               "\t\t\t<ValidInScenarios d:type=\"cDeltaString\">eFalse</ValidInScenarios>\r\n\t\t</cSceneryBlueprint>\r\n";
        break;
    default:
        body = "\t\t<cSceneryBlueprint>\r\n\t\t</cSceneryBlueprint>\r\n";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
           "\t\t<Name d:type=\"cDeltaString\">\r\n\t\t\t<Localisation-cUserLocalisedString>\r\n"
           "\t\t\t\t<English d:type=\"cDeltaString\">Item "
           + n + "</English>\r\n\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t</Name>\r\n" + body
           + "\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

// The generated game, made once per run of the program.
class BenchAssets : GeneratedGame {
public:
    bool make(const QString& serz)
    {
        if (!start(serz))
            return false;

        // Every 50th file is a blueprint; the others alternate between kinds of asset file.
        const char* const others[] = {".GeoPcDx", ".TgPcDx", ".dds", ".xml"};
        const int folders = kProducts * kFoldersPerProduct;
        for (int i = 0; i < kFiles; ++i) {
            const int f = i % folders;
            const QString folder = game_ + QStringLiteral("/Assets/Bench/Product%1/Folder%2/")
                                               .arg(f / kFoldersPerProduct, 2, 10, QLatin1Char('0'))
                                               .arg(f % kFoldersPerProduct, 2, 10, QLatin1Char('0'));
            if (i % (kFiles / kBlueprints) == 0) {
                const int k = i / (kFiles / kBlueprints);
                if (!writeFile(folder + QStringLiteral("BP%1.bin").arg(k, 4, 10, QLatin1Char('0')),
                               serzBinary(blueprintXml(k))))
                    return false;
            } else if (!writeFile(folder + QStringLiteral("File%1").arg(i, 6, 10, QLatin1Char('0'))
                                      + QLatin1String(others[i % 4]),
                                  "data")) {
                return false;
            }
        }
        shared().GamePath = game_;
        return true;
    }

    QString assets() const { return game_ + QStringLiteral("\\Assets"); }
};

std::unique_ptr<BenchAssets> g_assets;

// Callbacks that count the rows a walk adds.
assets::WalkCallbacks countingRows(int& rows)
{
    assets::WalkCallbacks cb;
    cb.addRow = [&rows](const assets::AssetRow&) {
        ++rows;
        return true;
    };
    return cb;
}

void BM_ListAssetFiles(benchmark::State& state)
{
    for (auto _ : state) {
        int rows = 0;
        const assets::WalkCallbacks cb = countingRows(rows);
        const assets::WalkResult r =
            assets::ListAssetFiles(g_assets->assets(), QStringLiteral("*.*"), shared().GamePath, cb);
        state.counters["files"] = double(r.filesSeen);
        state.counters["rows"] = double(rows);
    }
}

void BM_ListBlueprintFiles(benchmark::State& state)
{
    for (auto _ : state) {
        int rows = 0;
        const assets::WalkCallbacks cb = countingRows(rows);
        QElapsedTimer timer;
        timer.start();
        const assets::WalkResult r = assets::ListBlueprintFiles(g_assets->assets(), QStringLiteral("*.bin"), QString(),
                                                                assets::DefaultNameLanguage, shared().GamePath, cb);
        const qint64 ns = timer.nsecsElapsed();
        state.counters["blueprints"] = double(r.filesSeen);
        state.counters["rows"] = double(rows);
        reportSerializerShare(state, {ns, r.serializerNs, r.serializerRuns}, "outside_s", "outside_ms_per_blueprint", 1e3,
                              r.serializerRuns);
    }
}

BENCHMARK(BM_ListAssetFiles)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListBlueprintFiles)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_assets = std::make_unique<BenchAssets>();
    if (!prepareGame(QStringLiteral("/serz.exe"), [](const QString& serz) { return g_assets->make(serz); },
                     "The generated assets folder could not be written.\n"))
        return 1;
    return runBenchmarks();
}
