// The route check on a generated route of real size: 10,000 tiles naming 2,000 blueprints
// (20 references a tile, one in fifty to a blueprint that is missing), then the asset check
// of those blueprints with their 500 shapes, each file converted by the test serializer
// (serz.exe beside this program).
//
// Each run reports, besides its wall time, the time spent in the serializer's runs and the
// time outside them, which is the scanner's own work. The route check and the asset check run
// with one serializer process at a time (/1), four (/4) and one per core (/N).
// SERZ_DELAY_MS makes each of the test serializer's runs wait that long, a stand-in for the
// conversion work of real files.
//
//   build/bin/bench_route_scan [--wine] [--benchmark_filter=Scan]
//
// --wine runs the Windows build of the test serializer (bin/win/serz.exe) through Wine, in a
// prefix of the bench's own made before the runs.

#include "BenchGame.h"
#include "common/SharedState.h"
#include "packaging/RoutePackage.h"
#include "routes/RouteScan.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using namespace bench;

constexpr int kTiles = 10000;
constexpr int kBlueprints = 2000;
constexpr int kShapes = 500;
constexpr int kReferencesPerTile = 20;

QByteArray blueprintName(int k)
{
    return "BP" + QByteArray::number(k).rightJustified(4, '0');
}

QByteArray shapeName(int k)
{
    return "Shape" + QByteArray::number(k % kShapes).rightJustified(3, '0');
}

// The generated game, made once per run of the program.
class BenchGame : GeneratedGame {
public:
    bool make(const QString& serz, bool wine)
    {
        if (!start(serz, false) || (wine && !makePrefix(dir_.path() + QStringLiteral("/wine"))))
            return false;

        // Tiles: most in "Scenery", the rest in the three network folders.
        const QString route = game_ + QStringLiteral("/Content/Routes/bench-route");
        const QStringList folders = {QStringLiteral("/Scenery"), QStringLiteral("/Networks/Loft Tiles"),
                                     QStringLiteral("/Networks/Road Tiles"), QStringLiteral("/Networks")};
        int entityNumber = 0;
        for (int t = 0; t < kTiles; ++t) {
            const QString folder = route + folders[t < 7000 ? 0 : 1 + (t - 7000) / 1000];
            QByteArray xml = kHead;
            for (int j = 0; j < kReferencesPerTile; ++j) {
                const int k = (t * 37 + j * 101) % kBlueprints;
                const QByteArray id = (t + j) % 50 == 0 ? "Scenery\\Gone" + QByteArray::number(k) + ".xml"
                                                        : "Scenery\\" + blueprintName(k) + ".xml";
                xml += entity("Bench", "Pack", id, ++entityNumber);
            }
            xml += "\t</Record>\r\n</cRecordSet>\r\n";
            const QString name = QString::asprintf("/%+07d%+07d.bin", t % 100, t / 100);
            if (!writeFile(folder + name, serzBinary(xml)))
                return false;
        }

        // Blueprints, their shapes, and half the textures that the shapes name.
        const QString assets = game_ + QStringLiteral("/Assets/Bench/Pack/Scenery/");
        for (int k = 0; k < kBlueprints; ++k) {
            QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n"
                             "\t\t<cSceneryBlueprint>\r\n\t\t\t<Name d:type=\"cDeltaString\">"
                             + blueprintName(k) + "</Name>\r\n"
                             "\t\t\t<GeometryID d:type=\"cDeltaString\">Bench\\Pack\\Scenery\\[00]" + shapeName(k)
                             + "</GeometryID>\r\n";
            if (k % 4 == 0)
                xml += "\t\t\t<AnimationName d:type=\"cDeltaString\">Bench\\Pack\\Scenery\\" + blueprintName(k)
                       + "</AnimationName>\r\n";
            xml += "\t\t</cSceneryBlueprint>\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
            if (!writeFile(assets + QString::fromLatin1(blueprintName(k)) + QStringLiteral(".bin"), serzBinary(xml)))
                return false;
        }
        for (int s = 0; s < kShapes; ++s) {
            const QByteArray name = shapeName(s);
            const QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cHcRShape>\r\n\t<TextureByName>\r\n"
                                   "\t\t<e d:type=\"cDeltaString\">[00]Textures\\" + name + "_A</e>\r\n"
                                   "\t\t<e d:type=\"cDeltaString\">Textures\\" + name + "_B</e>\r\n"
                                   "\t\t<e d:type=\"cDeltaString\">[00]..\\Textures\\Shared" + QByteArray::number(s % 20)
                                   + "</e>\r\n\t</TextureByName>\r\n</cHcRShape>\r\n";
            if (!writeFile(assets + QString::fromLatin1(name) + QStringLiteral(".GeoPcDx"), serzBinary(xml)))
                return false;
            if (!writeFile(assets + QStringLiteral("Textures/") + QString::fromLatin1(name) + QStringLiteral("_A.TgPcDx"), "t"))
                return false;
        }
        shared().GamePath = game_;
        routePath_ = game_ + QStringLiteral("\\Content\\Routes\\bench-route");
        return true;
    }

    QString routePath() const { return routePath_; }

private:
    // A new Wine prefix; the serializer pool keeps its wineserver running during the scans.
    static bool makePrefix(const QString& prefix)
    {
        qputenv("WINEPREFIX", QFile::encodeName(prefix));
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=");
        QProcess boot;
        boot.setStandardOutputFile(QProcess::nullDevice());
        boot.setStandardErrorFile(QProcess::nullDevice());
        boot.start(QStringLiteral("wine"), {QStringLiteral("wineboot"), QStringLiteral("-i")});
        if (!boot.waitForFinished(300000) || boot.exitCode() != 0
            || !QFileInfo::exists(prefix + QStringLiteral("/drive_c/windows/system32")))
            return false;
        // The scans start on a prefix at rest, as a user's is: no server left from the boot.
        QProcess rest;
        rest.start(QStringLiteral("wineserver"), {QStringLiteral("-w")});
        return rest.waitForFinished(120000);
    }

    QString routePath_;
};

std::unique_ptr<BenchGame> g_game;

void report(benchmark::State& state, const routes::RouteScanner& scanner, qint64 totalNs)
{
    const auto& st = scanner.stats();
    state.counters["tiles"] = double(st.tiles);
    state.counters["references"] = double(st.references);
    state.counters["blueprints"] = double(st.blueprintsChecked);
    reportSerializerShare(state, {totalNs, st.serializerNs, st.serializerRuns}, "outside_s", "outside_us_per_run", 1e6,
                          st.serializerRuns);
    state.counters["file_lookups"] = double(st.fileLookups);
}

// Serializer processes at once: the benchmark's argument.
void setJobs(benchmark::State& state)
{
    qputenv("VELTRANE_SERZ_JOBS", QByteArray::number(state.range(0)));
    state.counters["jobs"] = double(state.range(0));
}

void BM_ScanRoute(benchmark::State& state)
{
    setJobs(state);
    for (auto _ : state) {
        routes::RouteScanner scanner(shared().GamePath);
        QElapsedTimer timer;
        timer.start();
        const bool done = scanner.ScanRoute(g_game->routePath(), {});
        const qint64 ns = timer.nsecsElapsed();
        benchmark::DoNotOptimize(done);
        report(state, scanner, ns);
        state.counters["used"] = double(scanner.usedBlueprints().count());
        state.counters["missing_lines"] = double(scanner.missingLines().size());
    }
}

void BM_CheckAssetFiles(benchmark::State& state)
{
    setJobs(state);
    for (auto _ : state) {
        state.PauseTiming();
        QStringList blueprints;
        for (int k = 0; k < kBlueprints; ++k)
            blueprints << shared().GamePath + QStringLiteral("\\Assets\\Bench\\Pack\\Scenery\\")
                              + QString::fromLatin1(blueprintName(k)) + QStringLiteral(".bin");
        routes::RouteScanner scanner(shared().GamePath);
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        QString text = QStringLiteral("Texture Check:-\r\n\r\n");
        scanner.CheckAssetFiles(blueprints, text);
        const qint64 ns = timer.nsecsElapsed();
        report(state, scanner, ns);
        state.counters["report_chars"] = double(text.size());
        state.counters["textures"] = double(scanner.usedTextures().count());
    }
}

// The route package's asset collection over the same route: scan, one copy line per file of
// each blueprint, and the run of "Do_Run.bat" by the command interpreter.
void BM_CollectRouteAssets(benchmark::State& state)
{
    setJobs(state);
    for (auto _ : state) {
        const packaging::RouteAssetOutcome outcome =
            packaging::CollectRouteAssets(QStringLiteral("bench-route"), QStringLiteral("Bench Package"), false);
        const double total = double(outcome.totalNs) / 1e9;
        const double own = double(outcome.totalNs - outcome.serializerNs - outcome.batchNs) / 1e9;
        state.counters["blueprints"] = double(outcome.blueprints);
        state.counters["lines"] = double(outcome.lines);
        state.counters["serz_runs"] = double(outcome.serializerRuns);
        state.counters["folders_made"] = double(outcome.foldersMade);
        state.counters["serz_s"] = double(outcome.serializerNs) / 1e9;
        state.counters["batch_s"] = double(outcome.batchNs) / 1e9;
        state.counters["own_s"] = own;
        state.counters["own_share"] = total > 0 ? own / total : 0.0;
    }
}

// One at a time, four, and one per core.
void jobCounts(benchmark::internal::Benchmark* b)
{
    const int cores = std::max(1, QThread::idealThreadCount());
    b->Arg(1)->Arg(4);
    if (cores != 1 && cores != 4)
        b->Arg(cores);
    b->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}
BENCHMARK(BM_ScanRoute)->Apply(jobCounts);
BENCHMARK(BM_CheckAssetFiles)->Apply(jobCounts);
BENCHMARK(BM_CollectRouteAssets)->Apply(jobCounts);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const bool wine = QCoreApplication::arguments().contains(QStringLiteral("--wine"));
    g_game = std::make_unique<BenchGame>();
    if (!prepareGame(wine ? QStringLiteral("/win/serz.exe") : QStringLiteral("/serz.exe"),
                     [wine](const QString& serz) { return g_game->make(serz, wine); },
                     wine ? "The Wine prefix or the generated route could not be made.\n"
                          : "The generated route could not be written.\n"))
        return 1;
    runBenchmarks();
    g_game.reset();
    return 0;
}
