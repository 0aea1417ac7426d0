// The text page's XML colouring on a generated game-style file of 10 MB, in the page's own
// editor box (shown on the offscreen platform unless QT_QPA_PLATFORM says otherwise):
// putting the colours on, taking them off, a keystroke in the middle of the coloured text
// (the text outside tags, in view: only its line is coloured again) and the worst keystroke,
// "<!--" typed at the top, which turns every line after it grey.
//
//   bench_text_colouring [--benchmark_filter=...]
//
// Each figure includes the window events that the change leaves pending.
#include "BenchGame.h"
#include "hub/TextPageWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <array>

namespace {

const std::array<quint32, 5> Colours{0x000000, 0xC00000, 0xC000C0, 0x00C000, 0x808080};
// Ten million characters as the page shows them (CR LF shown as one line break).
constexpr qsizetype TextBytes = 10'400'000;

// A file shaped like the serializer's output: tab indentation, CR LF, "d:" attributes. Its
// one comment is at the end, so that a comment opened at the top runs to there.
QString generated()
{
    static const QString made = [] {
        QString s;
        s.reserve(TextBytes + 4096);
        s += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                            "<cRecordSet xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\" "
                            "d:id=\"46218120\">\r\n\t<Record>\r\n");
        qint64 n = 0;
        while (s.size() < TextBytes) {
            ++n;
            s += QStringLiteral("\t\t<cDynamicEntity d:id=\"%1\">\r\n").arg(n * 7919);
            s += QStringLiteral("\t\t\t<Name d:type=\"cDeltaString\">Item %1</Name>\r\n").arg(n);
            s += QStringLiteral("\t\t\t<Value d:type=\"sFloat32\" d:alt_encoding=\"0000000000000000\" "
                                "d:precision=\"string\">%1</Value>\r\n")
                     .arg(double(n) * 0.37, 0, 'f', 5);
            s += QStringLiteral("\t\t\t<Flag d:type=\"bool\">%1</Flag>\r\n").arg(n % 2);
            s += QStringLiteral("\t\t</cDynamicEntity>\r\n");
        }
        s += QStringLiteral("\t</Record>\r\n<!-- end of <Record> -->\r\n</cRecordSet>\r\n");
        return s;
    }();
    return made;
}

TextPageWidget& page()
{
    static TextPageWidget* box = [] {
        auto* b = new TextPageWidget;
        b->resize(1000, 700);
        b->loadText(generated());
        b->show();
        QApplication::processEvents();
        return b;
    }();
    return *box;
}

// A place in the element text "Item n" of a line near the middle.
int middlePosition(TextPageWidget& box)
{
    const QString shown = box.shownText();
    return int(shown.indexOf(QStringLiteral(">Item "), shown.size() / 2) + 1);
}

void settle()
{
    QApplication::processEvents();
}

void BM_ColourOn(benchmark::State& state)
{
    TextPageWidget& box = page();
    box.uncolourXml();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        box.colourXml(Colours);
        settle();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        box.uncolourXml();
        settle();
    }
    state.counters["shown_Mchars"] = double(box.shownText().size()) / 1e6;
    state.counters["lines"] = box.document()->blockCount();
}

void BM_ColourOff(benchmark::State& state)
{
    TextPageWidget& box = page();
    for (auto _ : state) {
        box.colourXml(Colours);
        settle();
        QElapsedTimer timer;
        timer.start();
        box.uncolourXml();
        settle();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

void BM_KeystrokeInTheMiddle(benchmark::State& state)
{
    TextPageWidget& box = page();
    box.colourXml(Colours);
    settle();
    // The user types where the page shows: the middle is scrolled into view first.
    const int at = middlePosition(box);
    QTextCursor shown(box.document());
    shown.setPosition(at);
    box.setTextCursor(shown);
    box.ensureCursorVisible();
    settle();
    for (auto _ : state) {
        QTextCursor cursor(box.document());
        cursor.setPosition(at);
        QElapsedTimer timer;
        timer.start();
        cursor.insertText(QStringLiteral("x"));
        settle();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cursor.deletePreviousChar();
        settle();
    }
    box.uncolourXml();
}

void BM_CommentOpenedAtTheTop(benchmark::State& state)
{
    TextPageWidget& box = page();
    box.colourXml(Colours);
    settle();
    for (auto _ : state) {
        QTextCursor cursor(box.document());
        QElapsedTimer timer;
        timer.start();
        cursor.insertText(QStringLiteral("<!--"));
        settle();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cursor.setPosition(0);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        settle();
    }
    box.uncolourXml();
}

BENCHMARK(BM_ColourOn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ColourOff)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeystrokeInTheMiddle)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_CommentOpenedAtTheTop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    bench::offscreenUnlessSet();
    QApplication app(argc, argv);
    if (!bench::acceptArguments(argc, argv))
        return 1;
    return bench::runBenchmarks();
}
