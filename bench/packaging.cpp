// The CRC calculator: CRC-32 of 1 GiB in memory beside zlib's crc32 in the same run, CRC-16 of
// the same bytes, and CalculateFile of a 1 GiB file (read in blocks). The reskin packager's two
// walks over a generated reskin of 20,000 files (1 GB, half identical to its source, half
// changed) beside CalculateFile over the same compared files.

#include "common/SharedState.h"
#include "packaging/ReskinPackage.h"
#include "packaging/clsCRC.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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


// A seam that answers nothing: the walks only move the pointer and process events.
class SilentUi : public Ui {
public:
    int msgBox(const QString&, int, const QString&) override { return vb::vbOK; }
    QString inputBox(const QString&, const QString&, const QString&, TwipsPlace) override { return {}; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    QString browseForFolder(const QString&) override { return {}; }
    void showModal(QWidget*) override {}
    void doEvents() override {}
    void setMousePointer(int) override {}
    QString clipboardText() override { return {}; }
    void setClipboardText(const QString&) override {}
};

constexpr int kReskinFiles = 20000;
constexpr int kReskinFolders = 100;
constexpr qint64 kReskinFileSize = 50000; // 20,000 files of 50 kB: 1 GB

// The generated game: "Assets\Bench\Orig" and "Assets\Bench\Reskin", 100 folders of 200
// files each; even files identical in both, odd files changed in one byte of the middle.
struct ReskinGame {
    QTemporaryDir dir;
    QString game;
    QString program;
    QStringList compared; // every file the reskinned walk checksums, both sides
    bool ok = true;

    ReskinGame()
    {
        game = dir.filePath(QStringLiteral("game"));
        program = dir.filePath(QStringLiteral("program"));
        QDir().mkpath(program);
        std::mt19937_64 gen(7);
        QByteArray bytes(kReskinFileSize, Qt::Uninitialized);
        for (int i = 0; i < kReskinFiles && ok; ++i) {
            auto* words = reinterpret_cast<quint64*>(bytes.data());
            for (qint64 w = 0; w < kReskinFileSize / 8; ++w)
                words[w] = gen();
            const QString rel = QStringLiteral("/D%1/File%2.TgPcDx").arg(i % kReskinFolders, 3, 10, QLatin1Char('0')).arg(i, 5, 10, QLatin1Char('0'));
            const QString orig = game + QStringLiteral("/Assets/Bench/Orig") + rel;
            const QString reskin = game + QStringLiteral("/Assets/Bench/Reskin") + rel;
            ok = write(orig, bytes);
            if (i % 2)
                bytes[kReskinFileSize / 2] = char(bytes[kReskinFileSize / 2] ^ 0x5A);
            ok = ok && write(reskin, bytes);
            compared << orig << reskin;
        }
    }
    static bool write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
};

ReskinGame& reskinGame()
{
    static ReskinGame game;
    return game;
}

void BM_ReskinWalks(benchmark::State& state)
{
    ReskinGame& g = reskinGame();
    if (!g.ok) {
        state.SkipWithError("cannot write the generated reskin");
        return;
    }
    SilentUi seam;
    Ui* previous = setUi(&seam);
    qputenv("VELTRANE_HOME", QFile::encodeName(g.program));
    shared().GamePath = g.game;
    shared().PackageFolder = QStringLiteral("Bench");
    qsizetype identical = 0;
    for (auto _ : state) {
        packaging::ReskinPackage package;
        package.load();
        package.setReskinFolder(g.game + QStringLiteral("\\Assets\\Bench\\Reskin"));
        package.reset();
        package.WorkWithSubFolders(g.game + QStringLiteral("\\Assets\\Bench\\Orig"));
        package.WorkWithorigFolders(g.game + QStringLiteral("\\Assets\\Bench\\Reskin"));
        identical = package.InstallText.count(QStringLiteral("\r\n"));
        benchmark::DoNotOptimize(package.CopyText);
    }
    if (identical != kReskinFiles / 2)
        state.SkipWithError("the walk did not find half the files identical");
    setUi(previous);
    state.SetBytesProcessed(state.iterations() * 2 * kReskinFiles * kReskinFileSize);
    state.SetItemsProcessed(state.iterations() * kReskinFiles);
}
BENCHMARK(BM_ReskinWalks)->Unit(benchmark::kMillisecond)->UseRealTime();

// Checksumming the compared bytes once: CalculateFile over both sides of every file.
void BM_ReskinCalculateFileAlone(benchmark::State& state)
{
    ReskinGame& g = reskinGame();
    if (!g.ok) {
        state.SkipWithError("cannot write the generated reskin");
        return;
    }
    for (auto _ : state) {
        for (const QString& file : g.compared) {
            clsCRC crc;
            crc.setAlgorithm(1);
            benchmark::DoNotOptimize(crc.CalculateFile(file));
        }
    }
    state.SetBytesProcessed(state.iterations() * 2 * kReskinFiles * kReskinFileSize);
    state.SetItemsProcessed(state.iterations() * kReskinFiles);
}
BENCHMARK(BM_ReskinCalculateFileAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
