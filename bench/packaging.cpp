// The CRC calculator: CRC-32 of 1 GiB in memory beside zlib's crc32 in the same run, CRC-16 of
// the same bytes, and CalculateFile of a 1 GiB file (read in blocks).

#include "packaging/clsCRC.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace {

constexpr qint64 kGiB = qint64(1) << 30;

const std::vector<char>& gibibyte()
{
    static const std::vector<char> data = [] {
        std::vector<char> d(static_cast<size_t>(kGiB));
        std::mt19937_64 gen(42);
        auto* words = reinterpret_cast<quint64*>(d.data());
        for (size_t i = 0; i < d.size() / 8; ++i)
            words[i] = gen();
        return d;
    }();
    return data;
}

void BM_Crc32Ours(benchmark::State& state)
{
    const std::vector<char>& data = gibibyte();
    for (auto _ : state) {
        clsCRC crc;
        benchmark::DoNotOptimize(crc.AddBytes(data.data(), qint64(data.size())));
    }
    state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Crc32Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Crc32Zlib(benchmark::State& state)
{
    const std::vector<char>& data = gibibyte();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
    state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Crc32Zlib)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Crc16Ours(benchmark::State& state)
{
    const std::vector<char>& data = gibibyte();
    for (auto _ : state) {
        clsCRC crc;
        crc.setAlgorithm(0);
        benchmark::DoNotOptimize(crc.AddBytes(data.data(), qint64(data.size())));
    }
    state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Crc16Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CalculateFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    {
        QFile f(path);
        const std::vector<char>& data = gibibyte();
        if (!f.open(QIODevice::WriteOnly) || f.write(data.data(), qint64(data.size())) != qint64(data.size())) {
            state.SkipWithError("cannot write the 1 GiB file");
            return;
        }
    }
    clsCRC check;
    const qint32 expected = check.AddBytes(gibibyte().data(), kGiB);
    for (auto _ : state) {
        clsCRC crc;
        const std::optional<qint32> got = crc.CalculateFile(path);
        if (!got || *got != expected) {
            state.SkipWithError("CalculateFile gave a different checksum");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_CalculateFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
