// The tree view widget: items carry the elements' keys, the items keep the order they were
// added in, and widget items are made only for what is opened.
#include "XmlTestSupport.h"

#include "common/VbError.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeWidget.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QFont>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace xmltest;

namespace {

struct WidgetFixture : ::testing::Test {
    TempTree tree;
    ScriptedUi ui;
    XmlTreeWidget widget;
    FakeHost host;
    XmlTreeDocument doc{&widget, &host};

    void load(const QByteArray& xml)
    {
        doc.TreeFileName = tree.writeFile(QStringLiteral("program/doc.xml"), xml);
        ASSERT_TRUE(doc.LoadXmlTree());
    }

    QStringList keysInOrder() const
    {
        QStringList keys;
        for (qsizetype i = 1; i <= widget.itemCount(); ++i)
            keys << widget.itemKeyAt(i);
        return keys;
    }

    static QStringList childKeys(const XmlTreeWidget& w, const QTreeWidgetItem* item)
    {
        QStringList keys;
        for (int i = 0; i < item->childCount(); ++i)
            keys << w.keyOfItem(item->child(i));
        return keys;
    }
};

const QByteArray kDoc = "<r><a><a1/><a2><a21/></a2></a><b/><c><c1/></c></r>";
// keys: r nod1, a nod2, a1 nod3, a2 nod4, a21 nod5, b nod6, c nod7, c1 nod8

} // namespace

TEST_F(WidgetFixture, ItemsCarryKeysInDocumentOrderAndOnlyOpenedOnesAreMade)
{
    load(kDoc);
    EXPECT_EQ(keysInOrder(), (QStringList{"nod1", "nod2", "nod3", "nod4", "nod5", "nod6", "nod7", "nod8"}));
    ASSERT_EQ(widget.topLevelItemCount(), 1);
    QTreeWidgetItem* top = widget.topLevelItem(0);
    EXPECT_EQ(widget.keyOfItem(top), QStringLiteral("nod1"));
    EXPECT_EQ(top->text(0), QStringLiteral("r"));
    EXPECT_TRUE(top->isExpanded());
    EXPECT_EQ(childKeys(widget, top), (QStringList{"nod2", "nod6", "nod7"}));
    EXPECT_EQ(widget.createdItemCount(), 4);
    // Items with children not made yet still show that they can be opened.
    EXPECT_EQ(top->child(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(top->child(1)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

    // Opening an item by hand makes its children.
    top->child(0)->setExpanded(true);
    EXPECT_EQ(childKeys(widget, top->child(0)), (QStringList{"nod3", "nod4"}));
    EXPECT_EQ(widget.createdItemCount(), 6);

    // Asking for a deep item makes the way to it.
    QTreeWidgetItem* c1 = widget.itemForKey(QStringLiteral("NOD8"));
    ASSERT_NE(c1, nullptr);
    EXPECT_EQ(c1->text(0), QStringLiteral("c1"));
    EXPECT_EQ(widget.keyOfItem(c1->parent()), QStringLiteral("nod7"));
    EXPECT_EQ(widget.itemForKey(QStringLiteral("nod99")), nullptr);
}

TEST_F(WidgetFixture, AddSelectBoldAndRemoveKeepTheContentAndTheWidgetInStep)
{
    load(kDoc);
    // Under an item whose children are not made yet, and under an open one.
    widget.addItem(QStringLiteral("nod4"), QStringLiteral("nod9"), QStringLiteral("ChildNode"));
    widget.addItem(QStringLiteral("nod1"), QStringLiteral("nod10"), QStringLiteral("Last"));
    EXPECT_EQ(keysInOrder().mid(8), (QStringList{"nod9", "nod10"}));
    EXPECT_EQ(childKeys(widget, widget.topLevelItem(0)), (QStringList{"nod2", "nod6", "nod7", "nod10"}));
    EXPECT_EQ(widget.itemForKey(QStringLiteral("nod4"))->childCount(), 0); // not opened yet
    widget.expandItem(QStringLiteral("nod4"));
    EXPECT_EQ(childKeys(widget, widget.itemForKey(QStringLiteral("nod4"))), (QStringList{"nod5", "nod9"}));
    widget.addItem(QStringLiteral("nod4"), QStringLiteral("nod11"), QStringLiteral("Opened"));
    EXPECT_EQ(childKeys(widget, widget.itemForKey(QStringLiteral("nod4"))), (QStringList{"nod5", "nod9", "nod11"}));

    EXPECT_THROW(widget.addItem(QStringLiteral("nod1"), QStringLiteral("NOD9"), QStringLiteral("x")), VbError);
    EXPECT_THROW(widget.addItem(QStringLiteral("nod77"), QStringLiteral("nod12"), QStringLiteral("x")), VbError);

    widget.setItemBold(QStringLiteral("nod5"), true); // not made yet
    widget.selectItem(QStringLiteral("nod5"));
    EXPECT_EQ(widget.selectedKey(), QStringLiteral("nod5"));
    EXPECT_EQ(widget.keyOfItem(widget.currentItem()), QStringLiteral("nod5"));
    EXPECT_TRUE(widget.currentItem()->font(0).bold());
    widget.setItemBold(QStringLiteral("nod5"), false);
    EXPECT_FALSE(widget.currentItem()->font(0).bold());
    EXPECT_FALSE(widget.isItemBold(QStringLiteral("nod5")));

    // Removing an item takes every item below it; later items move up.
    const qsizetype made = widget.createdItemCount();
    widget.removeItem(QStringLiteral("nod2"));
    EXPECT_EQ(keysInOrder(), (QStringList{"nod1", "nod6", "nod7", "nod8", "nod10"}));
    EXPECT_FALSE(widget.hasItem(QStringLiteral("nod11")));
    EXPECT_FALSE(widget.hasItem(QStringLiteral("nod5")));
    EXPECT_FALSE(widget.hasItem(QStringLiteral("nod9")));
    EXPECT_EQ(widget.itemForKey(QStringLiteral("nod9")), nullptr);
    EXPECT_EQ(childKeys(widget, widget.topLevelItem(0)), (QStringList{"nod6", "nod7", "nod10"}));
    EXPECT_LT(widget.createdItemCount(), made);
    EXPECT_NE(widget.selectedKey(), QStringLiteral("nod5"));
    // The key can be used again.
    widget.addItem(QStringLiteral("nod6"), QStringLiteral("nod2"), QStringLiteral("Again"));
    EXPECT_EQ(widget.itemText(QStringLiteral("nod2")), QStringLiteral("Again"));

    widget.clearItems();
    EXPECT_EQ(widget.itemCount(), 0);
    EXPECT_EQ(widget.topLevelItemCount(), 0);
    EXPECT_EQ(widget.createdItemCount(), 0);
}

TEST_F(WidgetFixture, LabelEditsGoThroughTheHandler)
{
    load(kDoc);
    widget.show();
    QStringList asked;
    widget.setLabelEditHandler([&](const QString& key, const QString& text) {
        asked << key + QLatin1Char('=') + text;
        return !text.contains(QLatin1Char(' '));
    });
    QTreeWidgetItem* b = widget.itemForKey(QStringLiteral("nod6"));
    b->setText(0, QStringLiteral("bad name")); // what the in-place editor does
    EXPECT_EQ(b->text(0), QStringLiteral("b"));
    EXPECT_EQ(widget.itemText(QStringLiteral("nod6")), QStringLiteral("b"));
    b->setText(0, QStringLiteral("Good"));
    EXPECT_EQ(widget.itemText(QStringLiteral("nod6")), QStringLiteral("Good"));
    EXPECT_EQ(asked, (QStringList{"nod6=bad name", "nod6=Good"}));

    // Changes the page makes itself are no edits.
    widget.setItemText(QStringLiteral("nod6"), QStringLiteral("Set"));
    widget.setItemBold(QStringLiteral("nod6"), true);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(b->text(0), QStringLiteral("Set"));

    widget.editItemLabel(QStringLiteral("nod8"));
    EXPECT_EQ(widget.keyOfItem(widget.currentItem()), QStringLiteral("nod8"));
    EXPECT_EQ(widget.content().editedIndex(), widget.content().indexOf(QStringLiteral("nod8")));
    const QLineEdit* editor = widget.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr); // the in-place editor is open
    EXPECT_EQ(editor->text(), QStringLiteral("c1"));
}

TEST_F(WidgetFixture, ALargeDocumentFillsWithoutMakingItsItems)
{
    QByteArray xml = "<r>";
    const int groups = 20000;
    for (int i = 0; i < groups; ++i)
        xml += "<g><x>" + QByteArray::number(i) + "</x><y/><z/><w/></g>";
    xml += "</r>";
    load(xml);
    EXPECT_EQ(widget.itemCount(), 1 + groups * 5);
    EXPECT_EQ(doc.NodeKeyCounter, 1 + groups * 5);
    EXPECT_EQ(widget.createdItemCount(), 1 + groups);
    EXPECT_EQ(widget.itemKeyAt(widget.itemCount()), QStringLiteral("nod100001"));
    widget.selectItem(QStringLiteral("nod100001"));
    EXPECT_EQ(widget.currentItem()->text(0), QStringLiteral("w"));
    EXPECT_EQ(widget.createdItemCount(), 1 + groups + 4);
    EXPECT_EQ(doc.FindNodeByKey(widget.selectedKey())->ParentNode()->ChildNodes()->Item(1)->NodeCharacters(),
              QString::number(groups - 1));
}
