// The tree page's reader and writer. Any input the reader takes is written, read back and
// written again: every read of the writer's output must succeed and give the same tree
// (names, attributes in order, texts of elements without children), and from the second
// write on the tree, parent texts included, no longer changes.

#include "fuzz/FuzzSupport.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"

#include <vector>

namespace {

bool hasChildren(const clsNode& node)
{
    return node.ChildNodes() && node.ChildNodes()->Count() > 0;
}

// Compares two trees below their document nodes; describes the first difference.
bool sameTree(const clsNode& a, const clsNode& b, bool parentTexts, QString& difference)
{
    std::vector<std::pair<const clsNode*, const clsNode*>> stack{{&a, &b}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        const QString where = QStringLiteral("<") + x->NodeName() + QStringLiteral("> ") + x->NodeKey() + QStringLiteral(": ");
        if (x->NodeName() != y->NodeName()) {
            difference = where + QStringLiteral("name ") + y->NodeName();
            return false;
        }
        if ((!hasChildren(*x) || parentTexts) && x->NodeCharacters() != y->NodeCharacters()) {
            difference = where + QStringLiteral("text \"") + fuzz::visible(x->NodeCharacters()) + QStringLiteral("\" became \"")
                         + fuzz::visible(y->NodeCharacters()) + QLatin1Char('"');
            return false;
        }
        const qsizetype xa = x->NodeAttributes() ? x->NodeAttributes()->Count() : 0;
        const qsizetype ya = y->NodeAttributes() ? y->NodeAttributes()->Count() : 0;
        if (xa != ya) {
            difference = where + QStringLiteral("attribute count %1 became %2").arg(xa).arg(ya);
            return false;
        }
        for (qsizetype i = 1; i <= xa; ++i) {
            const clsNodeAttribute* p = x->NodeAttributes()->Item(i);
            const clsNodeAttribute* q = y->NodeAttributes()->Item(i);
            if (p->AttribName() != q->AttribName() || p->AttribValue() != q->AttribValue()) {
                difference = where + QStringLiteral("attribute %1=\"%2\" became %3=\"%4\"")
                                         .arg(p->AttribName(), fuzz::visible(p->AttribValue()), q->AttribName(),
                                              fuzz::visible(q->AttribValue()));
                return false;
            }
        }
        const qsizetype xc = x->ChildNodes() ? x->ChildNodes()->Count() : 0;
        const qsizetype yc = y->ChildNodes() ? y->ChildNodes()->Count() : 0;
        if (xc != yc) {
            difference = where + QStringLiteral("child count %1 became %2").arg(xc).arg(yc);
            return false;
        }
        for (qsizetype i = xc; i >= 1; --i)
            stack.emplace_back(x->ChildNodes()->Item(i), y->ChildNodes()->Item(i));
    }
    return true;
}

void saveAs(XmlTreeDocument& doc, const QString& path)
{
    doc.TreeFileName = path;
    FUZZ_CHECK(doc.SaveXmlTree(), fuzz::answeringUi().messages.join(QLatin1Char('|')));
}

void load(XmlTreeDocument& doc, const QString& path)
{
    doc.TreeFileName = path;
    FUZZ_CHECK(doc.LoadXmlTree(),
               QStringLiteral("the writer's output does not read back: ") + fuzz::answeringUi().messages.join(QLatin1Char('|'))
                   + QStringLiteral(" / ") + fuzz::visible(QString::fromUtf8(fuzz::readFile(path))));
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::answeringUi().reset();
    const QString folder = fuzz::scratchFolder();
    const QString input = folder + QStringLiteral("/in.xml");
    fuzz::writeFile(input, fuzz::bytesOf(data, size));

    XmlTreeDocument first;
    first.TreeFileName = input;
    if (!first.LoadXmlTree())
        return 0; // not well-formed: the user was told, nothing else to check
    FUZZ_CHECK(first.DocumentElement() != nullptr, QStringLiteral("a read without a document element"));

    const QString out1 = folder + QStringLiteral("/out1.xml");
    const QString out2 = folder + QStringLiteral("/out2.xml");
    const QString out3 = folder + QStringLiteral("/out3.xml");
    saveAs(first, out1);
    XmlTreeDocument second;
    load(second, out1);
    QString difference;
    FUZZ_CHECK(sameTree(*first.RootNode(), *second.RootNode(), false, difference),
               QStringLiteral("write and read changed the tree: ") + difference);

    saveAs(second, out2);
    XmlTreeDocument third;
    load(third, out2);
    FUZZ_CHECK(sameTree(*second.RootNode(), *third.RootNode(), true, difference),
               QStringLiteral("the second write and read changed the tree: ") + difference);

    // A file the writer wrote from its own output reads and writes back byte for byte.
    saveAs(third, out3);
    const QByteArray bytes2 = fuzz::readFile(out2);
    const QByteArray bytes3 = fuzz::readFile(out3);
    FUZZ_CHECK(bytes2 == bytes3, QStringLiteral("the writer's own output is no fixed point: ")
                                     + fuzz::visible(QString::fromUtf8(bytes2)) + QStringLiteral(" became ")
                                     + fuzz::visible(QString::fromUtf8(bytes3)));
    return 0;
}
