// Reading and writing the tree page's documents: a generated game-style XML file of about
// 50 MB with a million elements, and one of about 5 MB.
//
//   bench_xml_tree [--benchmark_filter=...]
//
// Counters: file_MB (size of the file), elements, tree_MB (heap held by the node tree)
// and tree_and_view_MB (the same with the tree view's content).
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/clsNodes.h"
#include "hub/xml/clsXMLParse.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <map>
#include <memory>

namespace {

// Memory the program holds on the heap.
double heapMB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

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

void BM_ReadIntoNodeTree(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    qint64 elements = 0;
    double held = 0;
    for (auto _ : state) {
        const double before = heapMB();
        clsXMLParse parser;
        if (!parser.parseURL(path))
            state.SkipWithError("not read");
        elements = parser.elementCount();
        held = heapMB() - before;
    }
    state.counters["file_MB"] = fileMB(path);
    state.counters["elements"] = double(elements);
    state.counters["tree_MB"] = held;
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_LoadXmlTreeWithView(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    double held = 0;
    for (auto _ : state) {
        const double before = heapMB();
        XmlTreeItems view;
        XmlTreeDocument doc(&view);
        doc.TreeFileName = path;
        if (!doc.LoadXmlTree())
            state.SkipWithError("not read");
        held = heapMB() - before;
        benchmark::DoNotOptimize(view.itemCount());
    }
    state.counters["file_MB"] = fileMB(path);
    state.counters["tree_and_view_MB"] = held;
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_SaveXmlTree(benchmark::State& state)
{
    const QString path = generated(state.range(0));
    XmlTreeDocument doc;
    doc.TreeFileName = path;
    if (!doc.LoadXmlTree()) {
        state.SkipWithError("not read");
        return;
    }
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
    const QString path = generated(state.range(0));
    XmlTreeDocument doc;
    doc.TreeFileName = path;
    if (!doc.LoadXmlTree()) {
        state.SkipWithError("not read");
        return;
    }
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

BENCHMARK(BM_ReadIntoNodeTree)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadXmlTreeWithView)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveXmlTree)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNodeByKey)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
