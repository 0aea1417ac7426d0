// The node tree's lists: Basic Collection behaviour (positions from 1, keys without regard
// to case, the run-time's errors) and no 16-bit limits.
#include "common/VbError.h"
#include "hub/xml/clsNode.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

clsNode* addChild(clsNodes& list, const QString& name, const QString& key, clsNode* parent = nullptr)
{
    return list.Add(name, QString(), std::make_unique<clsNodeAttributes>(), std::make_unique<clsNodes>(), parent, key);
}

QStringList names(const clsNodes& list)
{
    QStringList out;
    for (const clsNode* n : list)
        out << n->NodeName();
    return out;
}

} // namespace

TEST(NodeCollection, EmptyListsHaveNothingToEnumerate)
{
    clsNodes nodes;
    clsNodeAttributes attributes;
    EXPECT_EQ(nodes.Count(), 0);
    EXPECT_EQ(attributes.Count(), 0);
    EXPECT_EQ(nodes.begin(), nodes.end());
    EXPECT_EQ(attributes.begin(), attributes.end());
    EXPECT_EQ(vbErrorNumber([&] { nodes.Item(1); }), 9);
    EXPECT_EQ(vbErrorNumber([&] { nodes.Item(QStringLiteral("nod1")); }), 5);
}

TEST(NodeCollection, AddTakesOverTheGivenListsAndFilesUnderTheKey)
{
    clsNode parent;
    clsNodes list;
    auto attributes = std::make_unique<clsNodeAttributes>();
    attributes->Add(QStringLiteral("d:type"), QStringLiteral("cDeltaString"));
    auto children = std::make_unique<clsNodes>();
    clsNode* grandchild = addChild(*children, QStringLiteral("Inner"), QStringLiteral("nod8"));

    clsNode* node = list.Add(QStringLiteral("Name"), QStringLiteral("text"), std::move(attributes),
                             std::move(children), &parent, QStringLiteral("nod7"));
    ASSERT_NE(node->NodeAttributes(), nullptr);
    ASSERT_NE(node->ChildNodes(), nullptr);
    EXPECT_EQ(node->NodeAttributes()->Item(1)->AttribValue(), QStringLiteral("cDeltaString"));
    EXPECT_EQ(node->ChildNodes()->Item(QStringLiteral("nod8")), grandchild); // the same node
    // Lists not given: none.
    clsNode* bare = list.Add(QStringLiteral("Bare"), QString(), nullptr, nullptr, node, QStringLiteral("nod9"));
    EXPECT_EQ(bare->ChildNodes(), nullptr);
    EXPECT_EQ(bare->NodeAttributes(), nullptr);
    clsNode* element = list.AddElement(QStringLiteral("New"), QString(), node, QStringLiteral("nod10"));
    EXPECT_EQ(element->ChildNodes()->Count(), 0);
    EXPECT_EQ(element->NodeAttributes()->Count(), 0);
    EXPECT_EQ(node->ParentNode(), &parent);
    EXPECT_EQ(node->NodeName(), QStringLiteral("Name"));
    EXPECT_EQ(node->NodeCharacters(), QStringLiteral("text"));
    EXPECT_EQ(node->NodeKey(), QStringLiteral("nod7"));
    EXPECT_EQ(list.Item(1), node);
    EXPECT_EQ(list.Item(QStringLiteral("NOD7")), node); // keys ignore case

    // A newly made node has empty texts and no lists; empty texts are accepted.
    clsNode fresh;
    EXPECT_EQ(fresh.ChildNodes(), nullptr);
    EXPECT_EQ(fresh.NodeAttributes(), nullptr);
    EXPECT_EQ(fresh.ParentNode(), nullptr);
    node->setNodeName(QString());
    node->setNodeCharacters(QString());
    node->setNodeKey(QString());
    EXPECT_TRUE(node->NodeName().isEmpty() && node->NodeCharacters().isEmpty() && node->NodeKey().isEmpty());
}

TEST(NodeCollection, ErrorsAreTheRunTimesCollectionErrors)
{
    clsNodes list;
    addChild(list, QStringLiteral("a"), QStringLiteral("nod1"));
    EXPECT_EQ(vbErrorNumber([&] { addChild(list, QStringLiteral("b"), QStringLiteral("NOD1")); }), 457);
    EXPECT_EQ(list.Count(), 1); // the refused entry is not added
    EXPECT_EQ(vbErrorNumber([&] { list.Item(0); }), 9);
    EXPECT_EQ(vbErrorNumber([&] { list.Item(2); }), 9);
    EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("nod2")); }), 5);
    EXPECT_EQ(vbErrorNumber([&] { list.Remove(QStringLiteral("nod2")); }), 5);
    EXPECT_EQ(vbErrorNumber([&] { list.Remove(-1); }), 9);
    try {
        addChild(list, QStringLiteral("b"), QStringLiteral("nod1"));
    } catch (const VbError& e) {
        EXPECT_EQ(e.description, QStringLiteral("This key is already associated with an element of this collection"));
    }
}

TEST(NodeCollection, RemoveMovesLaterEntriesUpAndKeepsTheirKeys)
{
    clsNodes list;
    addChild(list, QStringLiteral("first"), QStringLiteral("nod1"));
    addChild(list, QStringLiteral("second"), QStringLiteral("nod2"));
    clsNode* third = addChild(list, QStringLiteral("third"), QStringLiteral("nod3"));
    list.Remove(QStringLiteral("Nod2"));
    EXPECT_EQ(names(list), (QStringList{QStringLiteral("first"), QStringLiteral("third")}));
    EXPECT_EQ(list.Item(2), third);
    EXPECT_EQ(list.Item(QStringLiteral("nod3")), third);
    EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("nod2")); }), 5);
    // The freed key can be filed again.
    addChild(list, QStringLiteral("again"), QStringLiteral("nod2"));
    list.Remove(1);
    EXPECT_EQ(names(list), (QStringList{QStringLiteral("third"), QStringLiteral("again")}));
}

TEST(NodeCollection, ANodeIsFoundUnderTheKeyItHasAsWritten)
{
    for (int count : {3, 100}) { // searched entry by entry, and through the index
        clsNodes list;
        for (int i = 1; i <= count; ++i)
            addChild(list, QStringLiteral("n%1").arg(i), QStringLiteral("nod%1").arg(i));
        clsNode* odd = addChild(list, QStringLiteral("odd"), QStringLiteral("Key Ä"));
        clsNode* upper = addChild(list, QStringLiteral("upper"), QStringLiteral("NOD0"));
        clsNode* zeros = addChild(list, QStringLiteral("zeros"), QStringLiteral("nod002"));
        addChild(list, QStringLiteral("unkeyed"), QString());
        EXPECT_EQ(upper->NodeKey(), QStringLiteral("NOD0")); // kept as written
        EXPECT_EQ(zeros->NodeKey(), QStringLiteral("nod002"));
        EXPECT_EQ(list.Item(QStringLiteral("nod0")), upper);
        EXPECT_EQ(list.Item(QStringLiteral("key ä")), odd);
        EXPECT_EQ(list.Item(QStringLiteral("NOD002")), zeros);
        EXPECT_EQ(list.Item(QStringLiteral("nod2"))->NodeName(), QStringLiteral("n2")); // not nod002
        EXPECT_EQ(vbErrorNumber([&] { addChild(list, QStringLiteral("dup"), QStringLiteral("Nod0")); }), 457);
        EXPECT_EQ(vbErrorNumber([&] { list.Item(QString()); }), 5);

        clsNode* second = list.Item(2);
        second->setNodeKey(QStringLiteral("renamed"));
        EXPECT_EQ(list.Item(QStringLiteral("RENAMED")), second);
        EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("nod2")); }), 5);
        list.Remove(QStringLiteral("renamed"));
        EXPECT_EQ(list.Count(), count + 3);
        EXPECT_EQ(list.Item(2)->NodeKey(), QStringLiteral("nod3"));
    }
}

TEST(NodeCollection, AttributesWithAndWithoutKeys)
{
    clsNodeAttributes list;
    list.Add(QStringLiteral("d:type"), QStringLiteral("cDeltaString"));
    list.Add(QStringLiteral("name"), QStringLiteral("x"), QStringLiteral("Name"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(1)->AttribName(), QStringLiteral("d:type"));
    EXPECT_EQ(list.Item(2)->AttribName(), QStringLiteral("name"));
    EXPECT_EQ(list.Item(QStringLiteral("NAME")), list.Item(2));
    EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("d:type")); }), 5); // no key: by position only
    EXPECT_EQ(vbErrorNumber([&] { list.Add(QStringLiteral("other"), QString(), QStringLiteral("name")); }), 457);
    list.Item(1)->setAttribValue(QStringLiteral("changed"));
    EXPECT_EQ(list.Item(1)->AttribValue(), QStringLiteral("changed"));
    list.Remove(1);
    EXPECT_EQ(list.Item(1)->AttribName(), QStringLiteral("name"));
    EXPECT_EQ(list.Item(QStringLiteral("Name"))->AttribValue(), QStringLiteral("x"));
    list.Remove(QStringLiteral("name"));
    EXPECT_EQ(list.Count(), 0);
}

TEST(NodeCollection, LongListsKeepKeysRightThroughRemovals)
{
    // Past a handful of keyed entries the list looks keys up through a hash; it must stay
    // in step with additions and removals.
    clsNodes list;
    const int n = 40000; // more than a 16-bit count
    for (int i = 1; i <= n; ++i)
        addChild(list, QString::number(i), QStringLiteral("nod") + QString::number(i));
    EXPECT_EQ(list.Count(), n);
    EXPECT_EQ(list.Item(QStringLiteral("NOD33000"))->NodeName(), QStringLiteral("33000"));
    for (int i = 1000; i <= n; i += 1000)
        list.Remove(QStringLiteral("nod") + QString::number(i));
    EXPECT_EQ(list.Count(), n - 40);
    EXPECT_EQ(list.Item(1000)->NodeName(), QStringLiteral("1001"));
    EXPECT_EQ(list.Item(n - 40)->NodeName(), QString::number(n - 1));
    EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("nod40000")); }), 5);
    EXPECT_EQ(vbErrorNumber([&] { list.Item(QStringLiteral("nod1000")); }), 5);
    EXPECT_EQ(list.Item(QStringLiteral("nod39999"))->NodeName(), QStringLiteral("39999"));
    EXPECT_EQ(vbErrorNumber([&] { addChild(list, QStringLiteral("dup"), QStringLiteral("Nod39999")); }), 457);
    addChild(list, QStringLiteral("back"), QStringLiteral("nod40000"));
    EXPECT_EQ(list.Item(QStringLiteral("nod40000")), list.Item(list.Count()));

    clsNodeAttributes attributes;
    for (int i = 0; i < n; ++i)
        attributes.Add(QStringLiteral("a%1").arg(i), QString::number(i), QStringLiteral("k%1").arg(i));
    attributes.Remove(QStringLiteral("K5"));
    EXPECT_EQ(attributes.Count(), n - 1);
    EXPECT_EQ(attributes.Item(QStringLiteral("k39999"))->AttribValue(), QStringLiteral("39999"));
    EXPECT_EQ(attributes.Item(6)->AttribName(), QStringLiteral("a6"));
    EXPECT_EQ(vbErrorNumber([&] { attributes.Item(QStringLiteral("k5")); }), 5);
}

TEST(NodeCollection, DeepTreesAreDestroyedWithoutRunningOutOfStack)
{
    auto root = std::make_unique<clsNode>();
    root->setChildNodes(std::make_unique<clsNodes>());
    clsNode* at = root.get();
    for (int i = 0; i < 300000; ++i)
        at = addChild(*at->ChildNodes(), QStringLiteral("a"), QStringLiteral("nod") + QString::number(i), at);
    root.reset();
    SUCCEED();
}
