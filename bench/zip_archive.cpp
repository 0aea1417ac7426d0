// The zip archive manager's heavy paths on about 1 GB of mixed package files (XML-like text,
// incompressible texture-like bytes, nested folders): libzip alone at level 6 as the floor,
// then New Archive (the package folder into one archive), Process in 100 MB parts, and opening
// the parts and extracting them all. Each compression run reports its ratio to the floor.
//
//   VELTRANE_ZIP_BENCH_MB=1000 build/bin/bench_zip_archive
//
// VELTRANE_ZIP_BENCH_MB sets the package size in megabytes (default 1000); the files are made
// once, in a temporary folder, before the runs.

#include "packaging/ZipArchive.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Package {
    QTemporaryDir dir;
    QString root;     // the package folder
    QStringList files; // below root, sorted
    qint64 bytes = 0;
};

qint64 targetBytes()
{
    bool ok = false;
    const qint64 mb = qEnvironmentVariable("VELTRANE_ZIP_BENCH_MB").toLongLong(&ok);
    return (ok && mb > 0 ? mb : 1000) * 1000 * 1000;
}

QByteArray textFile(int size, int seed)
{
    QByteArray out;
    out.reserve(size + 200);
    int n = seed;
    while (out.size() < size) {
        out += "\t<Record><cEntity d:id=\"";
        out += QByteArray::number(n++ * 7919 % 1000003);
        out += "\"><Name>Carriage ";
        out += QByteArray::number(n % 97);
        out += "</Name><Value>";
        out += QByteArray::number(double(n % 1000) / 7.0, 'f', 4);
        out += "</Value></cEntity></Record>\r\n";
    }
    out.truncate(size);
    return out;
}

QByteArray noiseFile(int size, quint32 seed)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out[i] = char(seed >> 24);
    }
    return out;
}

Package& package()
{
    static std::unique_ptr<Package> made;
    if (made)
        return *made;
    made = std::make_unique<Package>();
    Package& p = *made;
    p.root = p.dir.path() + QStringLiteral("/program/Route1");
    const qint64 target = targetBytes();
    int k = 0;
    while (p.bytes < target) {
        // Half text in files of 100 to 400 kB, half texture-like bytes in files of 0.5 to 2 MB.
        const bool text = k % 2 == 0;
        const int size = text ? 100000 + (k * 37 % 300) * 1000 : 500000 + (k * 53 % 1500) * 1000;
        const QString rel = QStringLiteral("Assets/P%1/Prod%2/%3/f%4.%5")
                                .arg(k % 4)
                                .arg(k % 7)
                                .arg(text ? QStringLiteral("Blueprints") : QStringLiteral("Textures"))
                                .arg(k)
                                .arg(text ? QStringLiteral("xml") : QStringLiteral("dds"));
        const QString path = p.root + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            break;
        const QByteArray bytes = text ? textFile(size, k) : noiseFile(size, quint32(k));
        f.write(bytes);
        p.files << rel;
        p.bytes += bytes.size();
        ++k;
    }
    p.files.sort();
    std::fprintf(stderr, "package: %lld files, %lld bytes\n", static_cast<long long>(p.files.size()),
                 static_cast<long long>(p.bytes));
    return p;
}

double g_floorSeconds = 0;

void report(benchmark::State& state, double seconds)
{
    state.counters["MB/s"] = double(package().bytes) / 1e6 / seconds;
    if (g_floorSeconds > 0)
        state.counters["x floor"] = seconds / g_floorSeconds;
}

void LibzipFloor(benchmark::State& state)
{
    Package& p = package();
    const QString out = p.dir.path() + QStringLiteral("/floor.zip");
    for (auto _ : state) {
        QFile::remove(out);
        QElapsedTimer t;
        t.start();
        int code = 0;
        zip_t* za = zip_open(QFile::encodeName(out).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        for (const QString& rel : p.files) {
            zip_source_t* src =
                zip_source_file_create(QFile::encodeName(p.root + QLatin1Char('/') + rel).constData(), 0, -1, nullptr);
            const zip_int64_t idx = zip_file_add(za, ("Route1/" + rel).toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
            zip_set_file_compression(za, zip_uint64_t(idx), ZIP_CM_DEFLATE, 6);
        }
        if (zip_close(za) != 0)
            state.SkipWithError(zip_strerror(za));
        g_floorSeconds = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(g_floorSeconds);
        report(state, g_floorSeconds);
    }
    QFile::remove(out);
}

void NewArchive(benchmark::State& state)
{
    Package& p = package();
    const QString out = p.dir.path() + QStringLiteral("/program/Route1.zip");
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        packaging::ZipArchive zip;
        if (!zip.create(out, false, 0))
            state.SkipWithError("create failed");
        zip.setBasePath(p.dir.path() + QStringLiteral("/program/"));
        if (!zip.addFolder(p.root, true, false, -1) || !zip.commit())
            state.SkipWithError(zip.lastError().toUtf8().constData());
        zip.close();
        const double s = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        report(state, s);
    }
    QFile::remove(out);
}

void ProcessInParts(benchmark::State& state)
{
    Package& p = package();
    QDir().mkpath(p.dir.path() + QStringLiteral("/parts"));
    const QString out = p.dir.path() + QStringLiteral("/parts/Route1.zip");
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        packaging::ZipArchive zip;
        if (!zip.create(out, true, 100 * 1000 * 1000))
            state.SkipWithError("create failed");
        zip.setBasePath(p.dir.path() + QStringLiteral("/program"));
        if (!zip.addFolder(p.root, true, false, 6) || !zip.commit())
            state.SkipWithError(zip.lastError().toUtf8().constData());
        zip.close();
        const double s = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        report(state, s);
    }
    state.counters["parts"] = double(QDir(p.dir.path() + QStringLiteral("/parts")).entryList(QDir::Files).size());
}

void ExtractAllParts(benchmark::State& state)
{
    Package& p = package();
    const QString archive = p.dir.path() + QStringLiteral("/parts/Route1.zip");
    const QString dest = p.dir.path() + QStringLiteral("/extracted");
    for (auto _ : state) {
        QDir(dest).removeRecursively();
        QElapsedTimer t;
        t.start();
        packaging::ZipArchive zip;
        if (!zip.open(archive)) {
            state.SkipWithError(zip.lastError().toUtf8().constData());
            break;
        }
        for (int i = 0; i < zip.fileCount(); ++i) {
            if (!zip.extract(i, dest)) {
                state.SkipWithError(zip.lastError().toUtf8().constData());
                break;
            }
        }
        const double s = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        state.counters["MB/s"] = double(p.bytes) / 1e6 / s;
    }
    QDir(dest).removeRecursively();
}

} // namespace

BENCHMARK(LibzipFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(NewArchive)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessInParts)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractAllParts)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
