// The node tree's shared texts: equal names, values and texts read from a file are held
// once, copies share them, an edit of one node never shows in another, and nothing is
// left in the text table once the nodes are gone.
#include "XmlTestSupport.h"

#include "hub/xml/SharedText.h"
#include "hub/xml/XmlTreeDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace xmltest;
using xmltree::SharedText;

namespace {

const QByteArray kDecl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

// The attribute at a position of the element with a key.
const clsNodeAttribute* attributeOf(clsNode& document, const QString& key, qsizetype position)
{
    std::vector<clsNode*> pending{&document};
    while (!pending.empty()) {
        clsNode* node = pending.back();
        pending.pop_back();
        if (node->NodeKey() == key)
            return node->NodeAttributes()->Item(position);
        for (clsNode* child : *node->ChildNodes())
            pending.push_back(child);
    }
    ADD_FAILURE() << "no element " << key.toStdString();
    return nullptr;
}

clsNode* element(clsNode& document, const QString& path)
{
    clsNode* at = &document;
    for (const QString& key : path.split(QLatin1Char('/')))
        at = at->ChildNodes()->Item(key);
    return at;
}

} // namespace

TEST(SharedTexts, EqualTextsAreHeldOnceAndWriteBackByteForByte)
{
    const QByteArray longValue(300, 'v'); // longer than any text the reader looks up
    struct Row {
        const char* what;
        QByteArray xml;              // as the writer writes it, so it must come back the same
        QString firstKey, secondKey; // two elements whose first attributes are compared
        bool nameShared, valueShared;
    };
    const Row rows[] = {
        {"names and values repeated",
         kDecl + "<r>\r\n <e d:type=\"cDeltaString\">a</e>\r\n <e d:type=\"cDeltaString\">a</e>\r\n</r>\r\n",
         QStringLiteral("nod2"), QStringLiteral("nod3"), true, true},
        {"same name, other values",
         kDecl + "<r>\r\n <e n=\"1\">x</e>\r\n <e n=\"2\">y</e>\r\n</r>\r\n", QStringLiteral("nod2"),
         QStringLiteral("nod3"), true, false},
        {"non-ASCII, markup and line breaks in values",
         kDecl + "<r>\r\n <e v=\"Caf\xc3\xa9 &lt;&amp;&quot; \xe6\x97\xa5\">1</e>\r\n <f v=\"Caf\xc3\xa9 &lt;&amp;&quot; \xe6\x97\xa5\">2</f>\r\n</r>\r\n",
         QStringLiteral("nod2"), QStringLiteral("nod3"), true, true},
        {"empty values", kDecl + "<r>\r\n <e v=\"\"></e>\r\n <e v=\"\"></e>\r\n</r>\r\n", QStringLiteral("nod2"),
         QStringLiteral("nod3"), true, true},
        {"long values each their own",
         kDecl + "<r>\r\n <e v=\"" + longValue + "\">1</e>\r\n <e v=\"" + longValue + "\">1</e>\r\n</r>\r\n",
         QStringLiteral("nod2"), QStringLiteral("nod3"), true, false},
        {"nested, parent and child alike",
         kDecl + "<r>\r\n <e k=\"1\">\r\n  <e k=\"1\">t</e>\r\n </e>\r\n</r>\r\n", QStringLiteral("nod2"),
         QStringLiteral("nod3"), true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const qsizetype before = SharedText::liveEntries();
        {
            auto doc = read(row.xml);
            ASSERT_TRUE(doc);
            EXPECT_EQ(write(*doc), row.xml);
            const clsNodeAttribute* first = attributeOf(*doc, row.firstKey, 1);
            const clsNodeAttribute* second = attributeOf(*doc, row.secondKey, 1);
            ASSERT_TRUE(first && second);
            EXPECT_EQ(first->nameText().sameEntry(second->nameText()), row.nameShared);
            EXPECT_EQ(first->valueText().sameEntry(second->valueText()), row.valueShared);
            EXPECT_EQ(first->AttribName(), second->AttribName());
            if (row.valueShared) {
                EXPECT_EQ(first->AttribValue(), second->AttribValue());
            }
        }
        EXPECT_EQ(SharedText::liveEntries(), before); // every text went with its nodes
    }

    // A million-element file repeats its names: they are held once, not once an element.
    QByteArray wide = "<r>";
    for (int i = 0; i < 20000; ++i)
        wide += "<Name d:type=\"cDeltaString\">" + QByteArray::number(i % 7) + "</Name>";
    wide += "</r>";
    const qsizetype before = SharedText::liveEntries();
    auto doc = read(wide);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->ChildNodes()->Item(1)->ChildNodes()->Count(), 20000);
    EXPECT_LT(SharedText::liveEntries() - before, 20);
}

TEST(SharedTexts, AnEditChangesOneNodeAndLeavesEveryNodeSharingTheTextAlone)
{
    const QByteArray source = kDecl + "<r>\r\n <e a=\"v\" b=\"v\">t</e>\r\n <e a=\"v\" b=\"v\">t</e>\r\n</r>\r\n";
    auto doc = read(source);
    ASSERT_TRUE(doc);
    // The deep copy behind Copy and Paste shares the texts of its source.
    XmlTreeDocument copier;
    copier.NodeKeyCounter = 3;
    clsNode* r = element(*doc, QStringLiteral("nod1"));
    clsNode copy;
    copier.CopyNodeTree(*r, copy, nullptr);
    ASSERT_EQ(copy.ChildNodes()->Count(), 2);
    EXPECT_TRUE(copy.ChildNodes()->Item(1)->nameText().sameEntry(r->ChildNodes()->Item(1)->nameText()));
    EXPECT_TRUE(copy.ChildNodes()->Item(1)->NodeAttributes()->Item(1)->valueText().sameEntry(
        r->ChildNodes()->Item(1)->NodeAttributes()->Item(1)->valueText()));

    // Each edit is made on one node of the read tree or of its copy; every other node
    // keeps the text it shared.
    using Edit = std::function<void(clsNode& tree, clsNode& copy)>;
    struct Row {
        const char* what;
        Edit edit;
        QString tree, copied; // the two trees afterwards
    };
    const QString unchangedTree = QStringLiteral("nod1 r '\\n'\n"
                                                 "  nod2 e [a=v] [b=v] 't'\n"
                                                 "  nod3 e [a=v] [b=v] 't'");
    const QString unchangedCopy = QStringLiteral("nod4 r '\\n'\n"
                                                 "  nod5 e [a=v] [b=v] 't'\n"
                                                 "  nod6 e [a=v] [b=v] 't'");
    const Row rows[] = {
        {"a value in the tree",
         [](clsNode& t, clsNode&) { t.ChildNodes()->Item(1)->NodeAttributes()->Item(2)->setAttribValue(QStringLiteral("w")); },
         QStringLiteral("nod1 r '\\n'\n  nod2 e [a=v] [b=w] 't'\n  nod3 e [a=v] [b=v] 't'"), unchangedCopy},
        {"a name in the copy",
         [](clsNode&, clsNode& c) { c.ChildNodes()->Item(2)->NodeAttributes()->Item(1)->setAttribName(QStringLiteral("z")); },
         unchangedTree, QStringLiteral("nod4 r '\\n'\n  nod5 e [a=v] [b=v] 't'\n  nod6 e [z=v] [b=v] 't'")},
        {"an element's name",
         [](clsNode& t, clsNode&) { t.ChildNodes()->Item(2)->setNodeName(QStringLiteral("f")); },
         QStringLiteral("nod1 r '\\n'\n  nod2 e [a=v] [b=v] 't'\n  nod3 f [a=v] [b=v] 't'"), unchangedCopy},
        {"an element's text, then taken back",
         [](clsNode&, clsNode& c) {
             clsNode* e = c.ChildNodes()->Item(1);
             e->setNodeCharacters(QStringLiteral("u"));
             e->setNodeCharacters(QStringLiteral("t"));
         },
         unchangedTree, unchangedCopy},
        {"a value emptied",
         [](clsNode& t, clsNode&) { t.ChildNodes()->Item(2)->NodeAttributes()->Item(1)->setAttribValue(QString()); },
         QStringLiteral("nod1 r '\\n'\n  nod2 e [a=v] [b=v] 't'\n  nod3 e [a=] [b=v] 't'"), unchangedCopy},
        {"an attribute removed",
         [](clsNode&, clsNode& c) { c.ChildNodes()->Item(1)->NodeAttributes()->Remove(1); },
         unchangedTree, QStringLiteral("nod4 r '\\n'\n  nod5 e [b=v] 't'\n  nod6 e [a=v] [b=v] 't'")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto tree = read(source);
        ASSERT_TRUE(tree);
        clsNode treeCopy;
        copier.NodeKeyCounter = 3;
        copier.CopyNodeTree(*element(*tree, QStringLiteral("nod1")), treeCopy, nullptr);
        row.edit(*element(*tree, QStringLiteral("nod1")), treeCopy);
        EXPECT_EQ(describe(*element(*tree, QStringLiteral("nod1"))), row.tree);
        EXPECT_EQ(describe(treeCopy), row.copied);
        // The first tree, read from the same file and sharing the reader's texts, is untouched.
        EXPECT_EQ(write(*doc), source);
    }
}

TEST(SharedTexts, KeysAndTextsLeaveNothingBehindWhenNodesGo)
{
    const qsizetype before = SharedText::liveEntries();
    {
        // A read that fails half-way keeps nothing of what it read.
        QByteArray broken = "<r>";
        for (int i = 0; i < 100; ++i)
            broken += "<e v=\"" + QByteArray::number(i) + "\"><f>" + QByteArray::number(i) + "</f>";
        broken += "</r>";
        QString error;
        EXPECT_FALSE(read(broken, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(SharedText::liveEntries(), before);

    // A key other than "nod" and a number goes with its node: a node made later in the
    // same place has no key.
    for (const QString& key : {QStringLiteral("Key \u00c4"), QStringLiteral("NOD7"), QStringLiteral("nod007")}) {
        SCOPED_TRACE(key.toStdString());
        auto node = std::make_unique<clsNode>();
        node->setNodeKey(key);
        node->setNodeName(QStringLiteral("n"));
        EXPECT_EQ(node->NodeKey(), key);
        node.reset();
        auto next = std::make_unique<clsNode>();
        EXPECT_TRUE(next->NodeKey().isEmpty());
        EXPECT_EQ(next->keyNumber(), -1);
        next->setNodeKey(QStringLiteral("nod12"));
        EXPECT_EQ(next->NodeKey(), QStringLiteral("nod12"));
        next->setNodeKey(key);
        EXPECT_EQ(next->NodeKey(), key);
        next->setNodeKey(QStringLiteral("nod12"));
        EXPECT_EQ(next->NodeKey(), QStringLiteral("nod12"));
        EXPECT_TRUE(next->keyTextLower().isEmpty());
    }
    EXPECT_EQ(SharedText::liveEntries(), before);
}

// Texts are kept as bytes when every character fits in one, else as UTF-16; short ones in
// shared blocks whose freed places are handed out again, long ones on their own. Whatever
// is freed and reused, every text still held reads back as it was given.
TEST(SharedTexts, EveryKindOfTextReadsBackThroughFreeingAndReuse)
{
    const QString rows[] = {
        QStringLiteral("a"),
        QStringLiteral("Item 1234567"),
        QStringLiteral("Caf\u00e9 \u00ff"),                // one byte a character, above ASCII
        QStringLiteral("\u20ac 12"),                       // wide, odd byte count before it
        QStringLiteral("x\U0001F682y"),                    // a surrogate pair
        QString(32, QLatin1Char('m')),                     // the longest wide text in a block...
        QString(32, QChar(0x0416)),
        QString(33, QChar(0x0416)),                        // ...and the shortest on its own
        QString(64, QLatin1Char('b')),
        QString(65, QLatin1Char('c')),
        QString(5000, QChar(0x3042)),
        QStringLiteral("\r\n\t\t\t"),
    };
    const qsizetype before = SharedText::liveEntries();
    {
        std::vector<SharedText> held;
        std::vector<QString> expected;
        for (int round = 0; round < 50; ++round) {
            for (const QString& text : rows) {
                held.emplace_back(text + QString::number(round % 3));
                expected.push_back(text + QString::number(round % 3));
            }
            // Every third text goes, and its place is taken by the next round's texts.
            for (size_t i = size_t(round) % 3; i < held.size(); i += 3)
                held[i] = SharedText();
            for (size_t i = size_t(round) % 3; i < held.size(); i += 3)
                expected[i].clear();
        }
        for (size_t i = 0; i < held.size(); ++i) {
            SCOPED_TRACE(i);
            const QString& text = expected[i];
            EXPECT_EQ(held[i].str(), text);
            EXPECT_EQ(held[i].size(), text.size());
            EXPECT_EQ(held[i].isEmpty(), text.isEmpty());
            EXPECT_TRUE(held[i].equals(text));
            EXPECT_FALSE(held[i].equals(text + QLatin1Char('z')));
            if (!text.isEmpty()) {
                EXPECT_FALSE(held[i].equals(text.chopped(1) + QChar(text.back().unicode() ^ 0x100)));
            }
        }
        const SharedText copy = held.back();
        held.back() = SharedText(QStringLiteral("other"));
        EXPECT_EQ(copy.str(), expected.back()); // a copy keeps the text its source had
    }
    EXPECT_EQ(SharedText::liveEntries(), before);
}
