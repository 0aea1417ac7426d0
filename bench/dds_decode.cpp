// The image viewer's DDS reader on 4096x4096 images (DXT1, DXT5, 32-bit ARGB) and the 32-bit
// bitmap write of the result.

#include "textures/ImageConvert.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kSide = 4096;

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray makeDds(const char* fourCc, qint64 dataSize)
{
    QByteArray h(128, '\0');
    h.replace(0, 4, "DDS ");
    put32(h, 4, 124);
    put32(h, 8, 0x1007);
    put32(h, 12, kSide);
    put32(h, 16, kSide);
    put32(h, 76, 32);
    if (fourCc) {
        put32(h, 80, 0x4);
        h.replace(84, 4, fourCc);
    } else {
        put32(h, 80, 0x41);
        put32(h, 88, 32);
        put32(h, 92, 0x00FF0000);
        put32(h, 96, 0x0000FF00);
        put32(h, 100, 0x000000FF);
        put32(h, 104, 0xFF000000);
    }
    QByteArray data(qsizetype(dataSize), '\0');
    std::mt19937 random(7);
    for (char& c : data)
        c = char(random());
    return h + data;
}

void decode(benchmark::State& state, const QByteArray& dds)
{
    for (auto _ : state) {
        textures::DdsDecoded d = textures::DecodeDds(dds);
        benchmark::DoNotOptimize(d.image.constBits());
    }
}

void BM_DecodeDxt1(benchmark::State& state)
{
    static const QByteArray dds = makeDds("DXT1", qint64(kSide / 4) * (kSide / 4) * 8);
    decode(state, dds);
}

void BM_DecodeDxt5(benchmark::State& state)
{
    static const QByteArray dds = makeDds("DXT5", qint64(kSide / 4) * (kSide / 4) * 16);
    decode(state, dds);
}

void BM_Decode32Bit(benchmark::State& state)
{
    static const QByteArray dds = makeDds(nullptr, qint64(kSide) * kSide * 4);
    decode(state, dds);
}

void BM_WriteBitmap(benchmark::State& state)
{
    const QImage image = textures::DecodeDds(makeDds("DXT5", qint64(kSide / 4) * (kSide / 4) * 16)).image;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp.bmp"));
    for (auto _ : state)
        benchmark::DoNotOptimize(textures::WriteBitmap32(image, path));
}

} // namespace

// The decoders work on several threads: CPU is the whole process's, time the wall clock's.
BENCHMARK(BM_DecodeDxt1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_DecodeDxt5)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Decode32Bit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_WriteBitmap)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
