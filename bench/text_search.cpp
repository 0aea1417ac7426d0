// The text page's search on a 10 MB XML text: "Replace All" of 10,000 matches (the whole
// command: the search over the text and the replacement as one edit of the page), one
// "Find Next" click from the middle of the text, and a "Find" that finds nothing (a one-line
// text, Arg 0, and a text over two lines, Arg 1).
//
//   bench_text_search [--benchmark_filter=...]
//
// Counters: text_MB (size of the text), matches (replaced per run).
#include "BenchGame.h"
#include "hub/TextPageWidget.h"
#include "hub/dlgSearch.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QString>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype TextSize = 11 * 1024 * 1024; // filled to about 10.5 MB
constexpr int Matches = 10000;

// Serializer-style XML with CR LF; every block of lines holds one "cHighlight" element
// name that the replacement looks for, spread evenly over the text.
const QString& text()
{
    static const QString made = [] {
        QString t;
        t.reserve(TextSize + 4096);
        t += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n");
        const qsizetype block = TextSize / Matches;
        qint64 n = 0;
        for (int m = 0; m < Matches; ++m) {
            const qsizetype end = t.size() + block;
            t += QStringLiteral("\t<cHighlight d:id=\"%1\"/>\r\n").arg(++n);
            while (t.size() < end - 120)
                t += QStringLiteral("\t\t<Value d:type=\"sFloat32\" d:precision=\"string\">%1</Value>\r\n")
                         .arg(double(++n) * 0.37, 0, 'f', 5);
        }
        t += QStringLiteral("</cRecordSet>\r\n");
        return t;
    }();
    return made;
}

void BM_ReplaceAll(benchmark::State& state)
{
    TextPageWidget page;
    dlgSearch dialog(&page);
    dialog.Text2->setPlainText(QStringLiteral("chighlight"));
    dialog.Text3->setPlainText(QStringLiteral("cHighlightRenamed"));
    for (auto _ : state) {
        state.PauseTiming();
        page.loadText(text());
        state.ResumeTiming();
        dialog.Command6_Click();
    }
    state.counters["text_MB"] = double(text().size()) / (1024.0 * 1024.0);
    state.counters["matches"] = double(page.shownText().count(QStringLiteral("cHighlightRenamed")));
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindNextFromTheMiddle(benchmark::State& state)
{
    TextPageWidget page;
    page.loadText(text());
    dlgSearch dialog(&page);
    dialog.Text2->setPlainText(QStringLiteral("chighlight"));
    const qsizetype middle = page.shownText().size() / 2;
    for (auto _ : state) {
        page.setSelStart(middle);
        dialog.Command2_Click();
    }
    state.counters["text_MB"] = double(text().size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_FindNextFromTheMiddle)->Unit(benchmark::kMillisecond)->UseRealTime();

// The longest searches: a text that is not there, on one line and over two.
void BM_FindNothing(benchmark::State& state)
{
    TextPageWidget page;
    page.loadText(text());
    dlgSearch dialog(&page);
    dialog.Text2->setPlainText(state.range(0) ? QStringLiteral("</Value>\n\t<missing") : QStringLiteral("missing"));
    for (auto _ : state)
        dialog.Command4_Click();
}
BENCHMARK(BM_FindNothing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    bench::offscreenUnlessSet();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    return bench::runBenchmarks();
}
