// Items added by key number (the road a document's load takes) against items added by key
// text: the same items, parents, order and errors, in the windowless view and in the
// widget; and a document's view filled from nodes whose keys mix both kinds.
#include "XmlTestSupport.h"

#include "common/VbError.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/XmlTreeWidget.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace xmltest;

namespace {

// One step: an item by number (parentNumber -1: top level), an item by key text, or a removal.
struct Step {
    enum Kind { Number, Text, Remove } kind;
    qint64 parentNumber = -1;
    qint32 number = 0;
    QString parentKey;
    QString key;
};

Step num(qint64 parent, qint32 number)
{
    return Step{Step::Number, parent, number, {}, {}};
}
Step text(const QString& parent, const QString& key)
{
    return Step{Step::Text, -1, 0, parent, key};
}
Step remove(const QString& key)
{
    return Step{Step::Remove, -1, 0, {}, key};
}

// Runs a step; answers the VbError number it raised, 0 when none. byNumber: numbered steps
// go by number, else by their key texts.
int run(XmlTreeView& view, const Step& step, bool byNumber)
{
    const QString label = QStringLiteral("item %1").arg(step.number);
    try {
        switch (step.kind) {
        case Step::Number:
            if (byNumber)
                view.addNumberedItem(step.parentNumber, step.number, xmltree::SharedText(label));
            else
                view.addItem(step.parentNumber < 0 ? QString() : QStringLiteral("nod%1").arg(step.parentNumber),
                             QStringLiteral("nod%1").arg(step.number), label);
            break;
        case Step::Text:
            view.addItem(step.parentKey, step.key, step.key);
            break;
        case Step::Remove:
            view.removeItem(step.key);
            break;
        }
    } catch (const VbError& e) {
        return e.number;
    }
    return 0;
}

// Every item in order: key, parent's key, text and its children's keys.
QStringList snapshot(const XmlTreeItems& items)
{
    QStringList out;
    for (qsizetype i = 1; i <= items.itemCount(); ++i) {
        const QString key = items.itemKeyAt(i);
        const int index = items.indexOf(key);
        const int parent = items.parentOf(index);
        out << key + QLatin1Char('<') + (parent == XmlTreeItems::npos ? QString() : items.keyOf(parent))
                + QLatin1Char(':') + items.textOf(index);
        QStringList children;
        for (int child = items.firstChildOf(index); child != XmlTreeItems::npos; child = items.nextSiblingOf(child))
            children << items.keyOf(child);
        if (children.size() != items.childCountOf(index))
            children << QStringLiteral("(count %1)").arg(items.childCountOf(index));
        out.last() += QLatin1Char('>') + children.join(QLatin1Char(','));
    }
    return out;
}

// head, then the numbers from..from+count-1 under parent, then tail.
std::vector<Step> withMany(std::vector<Step> head, qint64 parent, qint32 from, qint32 count, std::vector<Step> tail)
{
    for (qint32 n = from; n < from + count; ++n)
        head.push_back(num(parent, n));
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct Row {
    const char* name;
    std::vector<Step> steps;
    int lastError; // of the last step
    QStringList keys; // the first ones in order afterwards
};

const std::vector<Row> kRows = {
    {"a chain and siblings", {num(-1, 1), num(1, 2), num(2, 3), num(1, 4)}, 0, {"nod1", "nod2", "nod3", "nod4"}},
    {"a number taken twice", {num(-1, 1), num(1, 2), num(1, 2)}, 35602, {"nod1", "nod2"}},
    {"an item under itself", {num(-1, 1), num(1, 1)}, 35602, {"nod1"}},
    {"a parent that is not there", {num(-1, 1), num(7, 2)}, 35601, {"nod1"}},
    {"a parent number beyond every filed one", {num(-1, 1), num(500000, 2)}, 35601, {"nod1"}},
    {"a number taken by a key in capitals", {text("", "nod1"), text("nod1", "NOD2"), num(1, 2)}, 35602,
     {"nod1", "NOD2"}},
    {"a parent keyed in capitals", {text("", "NOD1"), num(1, 2), num(2, 3)}, 0, {"NOD1", "nod2", "nod3"}},
    {"a number filed by its text", {text("", "nod1"), text("nod1", "nod900000"), num(1, 900000)}, 35602,
     {"nod1", "nod900000"}},
    {"a parent filed by its text", {num(-1, 900000), num(900000, 2), num(2, 3)}, 0,
     {"nod900000", "nod2", "nod3"}},
    {"beside keys that are not numbers", {text("", "root"), text("root", "nod1"), num(1, 2), num(1, 2)}, 35602,
     {"root", "nod1", "nod2"}},
    {"a number free again after a removal", {num(-1, 1), num(1, 2), num(2, 3), remove("nod2"), num(1, 3), num(3, 2)},
     0, {"nod1", "nod3", "nod2"}},
    {"removals at the start, the middle and the end of a list",
     {num(-1, 1), num(1, 2), num(1, 3), num(1, 4), num(1, 5), remove("nod3"), num(1, 6), remove("nod6"), num(1, 7),
      remove("nod2"), num(1, 8)},
     0, {"nod1", "nod4", "nod5", "nod7", "nod8"}},
    // Filed by text while far beyond the item count, then within reach of the numbers.
    {"a number filed by its text earlier", withMany({num(-1, 1), text("nod1", "nod70000")}, 1, 2, 3000, {num(1, 70000)}),
     35602, {"nod1", "nod70000", "nod2"}},
};

} // namespace

TEST(NumberedItems, AddByNumberFilesAndFailsLikeAddByKeyText)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        XmlTreeItems byNumber;
        XmlTreeItems byText;
        XmlTreeWidget widget;
        int last = -1;
        for (size_t i = 0; i < row.steps.size(); ++i) {
            SCOPED_TRACE(i);
            last = run(byNumber, row.steps[i], true);
            EXPECT_EQ(run(byText, row.steps[i], false), last);
            EXPECT_EQ(run(widget, row.steps[i], true), last);
            if (row.steps.size() < 50 || i + 1 == row.steps.size()) {
                EXPECT_EQ(snapshot(byNumber), snapshot(byText));
                EXPECT_EQ(snapshot(widget.content()), snapshot(byText));
            }
        }
        EXPECT_EQ(last, row.lastError);
        QStringList keys;
        for (qsizetype i = 1; i <= byNumber.itemCount() && i <= row.keys.size(); ++i)
            keys << byNumber.itemKeyAt(i);
        EXPECT_EQ(keys, row.keys);
        // The key texts find the numbered items, whatever their case.
        for (const QString& key : row.keys)
            EXPECT_TRUE(byNumber.hasItem(key.toUpper())) << key.toStdString();
    }
}

namespace {

// Counts the items that came by number and by key text.
class CountingItems : public XmlTreeItems {
public:
    int numbered = 0;
    int byText = 0;
    void addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text) override
    {
        ++byText;
        XmlTreeItems::addSharedItem(parentKey, key, text);
    }
    void addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text) override
    {
        ++numbered;
        XmlTreeItems::addNumberedItem(parentNumber, number, text);
    }
};

} // namespace

TEST(NumberedItems, TheViewOfNodesWithKeysOfBothKindsFollowsTheNodes)
{
    ScriptedUi ui;
    TempTree tree;
    {
        // A read document's keys are all numbers: no key text is made for the view.
        CountingItems view;
        XmlTreeDocument doc(&view);
        doc.TreeFileName = tree.writeFile(QStringLiteral("program/doc.xml"), "<r><a><b/><c/></a><d/></r>");
        ASSERT_TRUE(doc.LoadXmlTree());
        EXPECT_EQ(view.numbered, 5);
        EXPECT_EQ(view.byText, 0);
        EXPECT_EQ(snapshot(view), (QStringList{"nod1<:r>nod2,nod5", "nod2<nod1:a>nod3,nod4", "nod3<nod2:b>", "nod4<nod2:c>",
                                               "nod5<nod1:d>"}));
    }

    // nod10 > (Custom > (nod12, NOD13 > nod14), nod15)
    const auto make = [](clsNode* parent, const QString& key) {
        auto node = std::make_unique<clsNode>();
        node->setEmptyLists();
        node->setNodeName(QStringLiteral("e"));
        node->setNodeKey(key);
        if (!parent)
            return node.release();
        return parent->ChildNodes()->AddNode(std::move(node));
    };
    std::unique_ptr<clsNode> top(make(nullptr, QStringLiteral("nod10")));
    clsNode* custom = make(top.get(), QStringLiteral("Custom"));
    make(custom, QStringLiteral("nod12"));
    clsNode* capitals = make(custom, QStringLiteral("NOD13"));
    make(capitals, QStringLiteral("nod14"));
    make(top.get(), QStringLiteral("nod15"));

    struct Given {
        QString key;
        int numbered; // items that can go by number: a plain key under a parent known by number
    };
    const std::vector<Given> rows = {{QStringLiteral("nod10"), 1}, {QStringLiteral("NOD10"), 0}};
    for (const Given& given : rows) {
        SCOPED_TRACE(given.key.toStdString());
        CountingItems view;
        XmlTreeDocument doc(&view);
        view.addItem(QString(), given.key, QStringLiteral("top"));
        view.byText = 0;
        doc.AddTreeChildren(given.key, *top);
        QStringList seen;
        for (qsizetype i = 2; i <= view.itemCount(); ++i) {
            const int index = view.indexOf(view.itemKeyAt(i));
            seen << view.itemKeyAt(i) + QLatin1Char('<') + view.keyOf(view.parentOf(index));
        }
        EXPECT_EQ(seen, (QStringList{"Custom<" + given.key, "nod12<Custom", "NOD13<Custom", "nod14<NOD13",
                                     "nod15<" + given.key}));
        EXPECT_EQ(view.numbered, given.numbered);
        EXPECT_EQ(view.itemCount(), 6);
    }
}
