// The asset list's print preview on a list of real size: 20,000 rows make a few hundred
// landscape pages. Measured from the "Print List" press to the preview shown with the whole
// document built (offscreen), and the page layout alone.
//
//   build/bin/bench_asset_print

#include "BenchGame.h"
#include "assets/AssetPrintLayout.h"
#include "assets/fEZPrint.h"
#include "assets/frmAssets.h"
#include "common/FlexGridWidget.h"
#include "common/SharedState.h"
#include "platform/QtUi.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

constexpr int kRows = 20000;

frmAssets* listedWindow()
{
    frmAssets* w = frmAssets::loaded();
    if (w)
        return w;
    w = frmAssets::showWindow();
    for (int k = 1; k <= kRows; ++k) {
        w->VsFg1->AddItem(QStringLiteral("Provider%1\tProduct%2\tScenery\\Folder%3\\Item%4.bin\tItem %4 of the list\t%5\teScenery")
                              .arg(k % 7)
                              .arg(k % 13)
                              .arg(k % 50)
                              .arg(k)
                              .arg(k % 2 ? QStringLiteral("Yes") : QStringLiteral("No")));
    }
    return w;
}

void BM_PrintListShown(benchmark::State& state)
{
    frmAssets* w = listedWindow();
    int pages = 0;
    for (auto _ : state) {
        w->Command2->click();
        fEZPrint* p = fEZPrint::loaded();
        pages = p->VSPrinter->pageCount();
        state.PauseTiming();
        p->close();
        delete p;
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_PrintListShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PageLayout(benchmark::State& state)
{
    const QList<int> widths = {120, 160, 400, 300, 90, 130};
    for (auto _ : state) {
        const assets::AssetPrintLayout l = assets::LayOutAssetPrint(widths, kRows, {13200, 9400, 160, 260});
        int rows = 0;
        for (int p = 1; p <= l.pageCount; ++p)
            rows += assets::RowsOfPage(l, kRows, p).count;
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_PageLayout)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    bench::offscreenUnlessSet();
    QTemporaryDir home;
    qputenv("VELTRANE_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QtUi seam;
    setUi(&seam);
    shared().GamePath = home.path();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (frmAssets* w = frmAssets::loaded()) {
        w->close();
        delete w;
    }
    return 0;
}
