// The available stock search on a generated product of 3,000 vehicles: 500 each in Diesel,
// Electric, Steam, Freight, Passenger and DMU folders, each vehicle with its blueprint and
// "Simulation", "CabView" and "Textures" folders of three files. The search runs for
// "Diesel", "Freight", "DMU" and in the list-all mode, converting with the test serializer
// (serz.exe beside this program).
//
// Each run reports its wall time, the time in the serializer's runs, the time outside them
// (the search's own work) per converted blueprint, and the longest stretch without window
// events.
//
//   build/bin/bench_stock_search

#include "BenchGame.h"
#include "common/SharedState.h"
#include "platform/Ui.h"
#include "scenarios/StockSearch.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using namespace bench;

constexpr int kPerKind = 500;
const char* const kKinds[] = {"Diesel", "Electric", "Steam", "Freight", "Passenger", "DMU"};

// Answers OK to the list-all question and measures the gaps between window events.
class BenchUi final : public Ui {
public:
    int msgBox(const QString& prompt, int style, const QString&) override
    {
        if ((style & 0x0F) != vb::vbOKCancel) {
            ++messages;
            std::fprintf(stderr, "%s\n", qPrintable(prompt));
        }
        return vb::vbOK;
    }
    QString inputBox(const QString&, const QString&, const QString&, TwipsPlace) override { return QString(); }
    QString openFile(const FileDialogRequest&) override { return QString(); }
    QString saveFile(const FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&) override { return QString(); }
    void showModal(QWidget*) override {}
    void doEvents() override
    {
        longestGapNs = std::max(longestGapNs, sinceEvents.nsecsElapsed());
        QCoreApplication::processEvents();
        sinceEvents.restart();
    }
    void setMousePointer(int) override {}
    QString clipboardText() override { return QString(); }
    void setClipboardText(const QString&) override {}

    void restart()
    {
        messages = 0;
        longestGapNs = 0;
        sinceEvents.start();
    }

    int messages = 0;
    qint64 longestGapNs = 0;
    QElapsedTimer sinceEvents;
};

QByteArray blueprintXml(const QByteArray& element, const QByteArray& name, const QByteArray& engineType)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n\t\t<" + element
        + ">\r\n\t\t\t<Name d:type=\"cDeltaString\">" + name + "</Name>\r\n";
    if (!engineType.isEmpty())
        xml += "\t\t\t<EngineType d:type=\"cDeltaString\">" + engineType
            + "</EngineType>\r\n\t\t\t<EngineComponent>\r\n\t\t\t\t<cEngineComponentBlueprint>\r\n"
              "\t\t\t\t</cEngineComponentBlueprint>\r\n\t\t\t</EngineComponent>\r\n";
    return xml + "\t\t\t<RailVehicleComponent>\r\n\t\t\t\t<Mass d:type=\"sFloat32\">40.000000</Mass>\r\n"
                 "\t\t\t</RailVehicleComponent>\r\n\t\t</" + element + ">\r\n\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
}

class BenchGame : GeneratedGame {
public:
    bool make(const QString& serz)
    {
        if (!start(serz))
            return false;

        const QString pack = game_ + QStringLiteral("/Assets/Bench/Pack/RailVehicles/");
        // A part file the search converted would report its failure.
        const QByteArray part = serzBinary("<!--serz:fail--><cWagonBlueprint><Name>Part</Name></cWagonBlueprint>");
        for (const char* kind : kKinds) {
            const QByteArray k(kind);
            for (int n = 0; n < kPerKind; ++n) {
                const QByteArray name = k + " " + QByteArray::number(n).rightJustified(3, '0');
                const QString folder = pack + QString::fromLatin1(k) + QStringLiteral("/V") + QString::number(n) + QLatin1Char('/');
                QByteArray xml;
                if (k == "Freight" || k == "Passenger" || (k == "DMU" && n % 2 == 1))
                    xml = blueprintXml("cWagonBlueprint", name, QByteArray());
                else
                    xml = blueprintXml("cEngineBlueprint", name, k == "DMU" ? QByteArray("Diesel") : k);
                if (!writeFile(folder + QStringLiteral("vehicle.bin"), serzBinary(xml)))
                    return false;
                for (const char* sub : {"Simulation/", "CabView/", "Textures/"}) {
                    for (int f = 0; f < 3; ++f) {
                        const QString file = folder + QString::fromLatin1(sub) + QStringLiteral("part%1.bin").arg(f);
                        if (!writeFile(file, part))
                            return false;
                    }
                }
            }
        }
        shared().GamePath = game_;
        return true;
    }

    QString folder(bool railVehicles) const
    {
        return game_ + (railVehicles ? QStringLiteral("\\Assets\\Bench\\Pack\\RailVehicles") : QStringLiteral("\\Assets\\Bench\\Pack"));
    }
};

std::unique_ptr<BenchGame> g_game;
BenchUi* g_ui = nullptr;

void runSearch(benchmark::State& state, const char* kind, bool railVehicles)
{
    for (auto _ : state) {
        scenarios::StockSearch search;
        g_ui->restart();
        QElapsedTimer timer;
        timer.start();
        search.search(g_game->folder(railVehicles), QString::fromLatin1(kind));
        const qint64 ns = timer.nsecsElapsed();
        const auto& st = search.stats;
        state.counters["found"] = double(search.StockCount);
        state.counters["folders"] = double(st.folders);
        reportSerializerShare(state, {ns, st.serializerNs, st.conversions}, "own_s", "own_us_per_run", 1e6,
                              st.conversions);
        state.counters["longest_gap_ms"] = double(g_ui->longestGapNs) / 1e6;
        state.counters["errors"] = double(g_ui->messages);
    }
}

void BM_Diesel(benchmark::State& state) { runSearch(state, "Diesel", true); }
void BM_Freight(benchmark::State& state) { runSearch(state, "Freight", true); }
void BM_DMU(benchmark::State& state) { runSearch(state, "DMU", true); }
void BM_ListAll(benchmark::State& state) { runSearch(state, "Diesel", false); }

BENCHMARK(BM_Diesel)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Freight)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_DMU)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ListAll)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BenchUi ui;
    setUi(&ui);
    g_ui = &ui;
    g_game = std::make_unique<BenchGame>();
    if (!prepareGame(QStringLiteral("/serz.exe"), [](const QString& serz) { return g_game->make(serz); },
                     "The generated game could not be written.\n"))
        return 1;
    runBenchmarks();
    setUi(nullptr);
    return 0;
}
