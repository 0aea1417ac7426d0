// The ANSI code page's conversions of a 32 MB game XML text: decoding and encoding in
// Windows-1252 (Arg 0) and in the double-byte Japanese code page (Arg 1), the first use of each
// (its tables built from iconv) outside the measurement.
//
//   bench_text_codec [--benchmark_filter=...]
//
// Counters: bytes_per_second (of the encoded text).
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr qsizetype Size = 32 * 1024 * 1024;

const char* localeOf(int arg)
{
    return arg == 0 ? "C" : "ja_JP.UTF-8";
}

QByteArray xmlBytes(int arg)
{
    QByteArray line = "\t\t<Name d:type=\"cDeltaString\">Caf\xE9 route 42</Name>\r\n";
    if (arg == 1)
        line = "\t\t<Name d:type=\"cDeltaString\">\x93\xFA\x96\x7B route 42</Name>\r\n";
    QByteArray bytes;
    bytes.reserve(Size + line.size());
    while (bytes.size() < Size)
        bytes += line;
    return bytes;
}

void useLocale(int arg)
{
    ::setenv("LC_ALL", localeOf(arg), 1);
    platform::resetAnsiCodePage();
    platform::decodeAnsi(QByteArray("x"));
}

void Decode(benchmark::State& state)
{
    useLocale(int(state.range(0)));
    const QByteArray bytes = xmlBytes(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::decodeAnsi(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void Encode(benchmark::State& state)
{
    useLocale(int(state.range(0)));
    const QString text = platform::decodeAnsi(xmlBytes(int(state.range(0))));
    for (auto _ : state) {
        bool ok = false;
        benchmark::DoNotOptimize(platform::encodeAnsi(text, &ok));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

} // namespace

BENCHMARK(Decode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
