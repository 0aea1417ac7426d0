// Reading and writing the tree page's documents: a generated game-style XML file of about
// 50 MB with a million elements, and one of about 5 MB.
//
//   bench_xml_tree [--benchmark_filter=...]
//
// Counters: file_MB (size of the file), elements, tree_MB (heap held by the node tree),
// tree_and_view_MB (the same with the tree view's content), peak_MB (the most heap the
// load had in use at once) and the ratios x_file (held / file) and peak_x_file. The raw
// pass (BM_RawStreamPass) reads the same file with a bare stream reader, visiting every
// name, attribute and text run without keeping anything: the floor a load is measured
// against. The loads run a raw pass before each of their iterations (outside their own
// time) and give x_raw_pass, their CPU time over the raw passes' CPU time, so that a busy
// machine disturbs both alike.
//
// Memory figures come from the first iteration; freed nodes and texts are reused by later
// ones. The heap watch of the first iteration asks the allocator for its figures every few
// milliseconds, which holds up the load's own allocations: times and x_raw_pass come from
// the later iterations, which run without the watch. Run one benchmark per process (--benchmark_filter) for figures that nothing run
// before has touched.
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/clsNodes.h"
#include "hub/xml/clsXMLParse.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <QXmlStreamReader>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace {

// Memory the program holds on the heap.
double heapMB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// Watches the heap from a second thread while it lives and keeps the highest value seen.
class PeakHeap {
public:
    PeakHeap()
        : m_base(heapMB())
        , m_peak(m_base)
        , m_thread([this] {
            while (!m_stop.load()) {
                m_peak = std::max(m_peak.load(), heapMB());
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        })
    {
    }
    // The highest heap use above the start, up to now (the watch ends).
    double stop()
    {
        if (!m_stop.exchange(true))
            m_thread.join();
        m_peak = std::max(m_peak.load(), heapMB());
        return m_peak - m_base;
    }
    ~PeakHeap() { stop(); }

private:
    double m_base;
    std::atomic<double> m_peak;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A file shaped like the serializer's output: tab indentation, CR LF, "d:" attributes.
QString generated(qint64 targetBytes)
{
    static std::map<qint64, QString> made;
    auto it = made.find(targetBytes);
    if (it != made.end())
        return it->second;
    QByteArray b;
    b.reserve(targetBytes + 4096);
    b += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
         "<cRecordSet xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\" d:id=\"46218120\">\r\n"
         "\t<Record>\r\n";
    qint64 n = 0;
    while (b.size() < targetBytes) {
        ++n;
        b += "\t\t<cDynamicEntity d:id=\"" + QByteArray::number(n * 7919) + "\">\r\n"
             "\t\t\t<Name d:type=\"cDeltaString\">Item " + QByteArray::number(n) + "</Name>\r\n"
             "\t\t\t<Value d:type=\"sFloat32\" d:alt_encoding=\"0000000000000000\" d:precision=\"string\">"
             + QByteArray::number(double(n) * 0.37, 'f', 5) + "</Value>\r\n"
             "\t\t\t<Flag d:type=\"bool\">" + QByteArray::number(n % 2) + "</Flag>\r\n"
             "\t\t\t<Note>Caf\xc3\xa9 &amp; co</Note>\r\n"
             "\t\t\t<Links>\r\n"
             "\t\t\t\t<e>" + QByteArray::number(n % 97) + "</e>\r\n"
             "\t\t\t</Links>\r\n"
             "\t\t</cDynamicEntity>\r\n";
    }
    b += "\t</Record>\r\n</cRecordSet>\r\n";
    const QString path = folder().filePath(QStringLiteral("gen%1.xml").arg(targetBytes));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(b);
    f.close();
    made[targetBytes] = path;
    return path;
}

double fileMB(const QString& path)
{
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

// The CPU time of this thread (page faults included), which other programs on a busy
// machine disturb far less than the wall clock.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double secondsSince(double start)
{
    return threadSeconds() - start;
}

// Reads the file with a bare stream reader, touching every name, attribute and text run.
// Returns whether the file was well-formed.
bool rawPass(const QString& path, qint64& seen)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader reader(&file);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            seen += reader.qualifiedName().size();
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                seen += attribute.qualifiedName().size() + attribute.value().size();
            break;
        case QXmlStreamReader::Characters:
            seen += reader.text().size();
            break;
        default:
            break;
        }
    }
    return !reader.hasError();
}

// Times a raw pass outside the benchmark's own time.
double timedRawPass(benchmark::State& state, const QString& path)
{
    state.PauseTiming();
    qint64 seen = 0;
    const double start = threadSeconds();
    if (!rawPass(path, seen))
        state.SkipWithError("raw pass failed");
    const double seconds = secondsSince(start);
    benchmark::DoNotOptimize(seen);
    state.ResumeTiming();
    return seconds;
}

void BM_RawStreamPass(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    qint64 seen = 0;
    for (auto _ : state) {
        if (!rawPass(path, seen))
            state.SkipWithError("not well-formed");
    }
    benchmark::DoNotOptimize(seen);
    state.counters["file_MB"] = fileMB(path);
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

// A load of the file weighed against a raw pass of it: thread time of the loads after the first,
// and the heap the loaded tree holds and its peak while loading, both taken in the first.
class LoadMeter {
public:
    LoadMeter(benchmark::State& state, const QString& path)
        : state_(state), path_(path)
    {
    }

    // Before a load: the raw pass, outside the benchmark's time, then the load's starting point.
    void begin()
    {
        first_ = held_ < 0;
        rawSeconds_ = timedRawPass(state_, path_);
        before_ = heapMB();
        if (first_)
            watch_.emplace();
        start_ = threadSeconds();
    }

    // After a load, while what it made is still alive.
    void end()
    {
        if (!first_) {
            seconds_ += secondsSince(start_);
            raw_ += rawSeconds_;
        }
        if (first_) {
            held_ = heapMB() - before_;
            peak_ = watch_->stop();
            watch_.reset();
        }
    }

    void report(const char* heldCounter)
    {
        const double file = fileMB(path_);
        state_.counters["file_MB"] = file;
        state_.counters[heldCounter] = held_;
        state_.counters["peak_MB"] = peak_;
        state_.counters["x_file"] = held_ / file;
        state_.counters["peak_x_file"] = peak_ / file;
        state_.counters["x_raw_pass"] = raw_ > 0 ? seconds_ / raw_ : 0;
        state_.SetBytesProcessed(state_.iterations() * QFileInfo(path_).size());
    }

private:
    benchmark::State& state_;
    const QString path_;
    std::optional<PeakHeap> watch_;
    bool first_ = true;
    double held_ = -1, peak_ = 0, before_ = 0; // the first load's heap
    double seconds_ = 0, raw_ = 0;             // the later loads' times, summed
    double rawSeconds_ = 0, start_ = 0;        // the load under way
};

void BM_ReadIntoNodeTree(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    LoadMeter meter(state, path);
    qint64 elements = 0;
    for (auto _ : state) {
        meter.begin();
        clsXMLParse parser;
        if (!parser.parseURL(path))
            state.SkipWithError("not read");
        elements = parser.elementCount();
        meter.end();
    }
    meter.report("tree_MB");
    state.counters["elements"] = double(elements);
}

void BM_LoadXmlTreeWithView(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    LoadMeter meter(state, path);
    for (auto _ : state) {
        meter.begin();
        XmlTreeItems view;
        XmlTreeDocument doc(&view);
        doc.TreeFileName = path;
        if (!doc.LoadXmlTree())
            state.SkipWithError("not read");
        meter.end();
        benchmark::DoNotOptimize(view.itemCount());
    }
    meter.report("tree_and_view_MB");
}

// Loads the generated file of the benchmark's size into `doc`; false, the benchmark skipped, where
// it cannot.
bool loadGenerated(benchmark::State& state, XmlTreeDocument& doc)
{
    doc.TreeFileName = generated(state.range(0));
    if (doc.LoadXmlTree())
        return true;
    state.SkipWithError("not read");
    return false;
}

void BM_SaveXmlTree(benchmark::State& state)
{
    XmlTreeDocument doc;
    if (!loadGenerated(state, doc))
        return;
    doc.TreeFileName = folder().filePath(QStringLiteral("out%1.xml").arg(state.range(0)));
    for (auto _ : state) {
        if (!doc.SaveXmlTree())
            state.SkipWithError("not written");
    }
    state.counters["out_MB"] = fileMB(doc.TreeFileName);
    state.SetBytesProcessed(state.iterations() * QFileInfo(doc.TreeFileName).size());
}

void BM_FindNodeByKey(benchmark::State& state)
{
    XmlTreeDocument doc;
    if (!loadGenerated(state, doc))
        return;
    const qint64 count = doc.NodeKeyCounter;
    qint64 i = 0;
    for (auto _ : state) {
        i = (i * 7 + 13) % count;
        benchmark::DoNotOptimize(doc.FindNodeByKey(QStringLiteral("nod") + QString::number(i + 1)));
    }
}

constexpr qint64 kSmall = 5'000'000;
constexpr qint64 kLarge = 50'000'000;

} // namespace

BENCHMARK(BM_RawStreamPass)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIntoNodeTree)->Arg(kSmall)->Arg(kLarge)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadXmlTreeWithView)->Arg(kSmall)->Arg(kLarge)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveXmlTree)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNodeByKey)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
