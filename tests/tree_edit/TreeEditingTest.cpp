// The tree page's editing logic without a window: name checks, the node commands on a
// document and its items, and the content comparison that guards the line check.

#include "common/VbError.h"
#include "hub/TreeFiles.h"
#include "hub/xml/TreeEditing.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/clsNode.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "platform/Ui.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

struct NullHost : XmlTreeHost {
    QString caption() const override { return text; }
    void setCaption(const QString& c) override { text = c; }
    void setSaveEnabled(bool) override {}
    void setSaveAsEnabled(bool) override {}
    void enableAttributeControls(bool) override {}
    QString text;
};

// Items in the order they were added: "key<parentKey:text".
QStringList itemsOf(const XmlTreeItems& items)
{
    QStringList out;
    for (qsizetype i = 1; i <= items.itemCount(); ++i) {
        const QString key = items.itemKeyAt(i);
        const int parent = items.parentOf(items.indexOf(key));
        out << key + QLatin1Char('<') + (parent == XmlTreeItems::npos ? QString() : items.keyOf(parent))
                + QLatin1Char(':') + items.itemText(key);
    }
    return out;
}

class EditingTest : public ::testing::Test {
protected:
    void load(const QByteArray& xml)
    {
        document.TreeFileName = tree.writeFile(QStringLiteral("doc.xml"), xml);
        ASSERT_TRUE(document.LoadXmlTree());
    }

    TempTree tree;
    ScriptedUi ui;
    XmlTreeItems items;
    NullHost host;
    XmlTreeDocument document{&items, &host};
};

} // namespace

TEST(TreeNames, XmlNamesAndTheRefusalsInTheirOrder)
{
    for (const char* good : {"a", "_x", ":y", "d:type", "Network-cTrackFollower", "e.2", "\xc3\xa9t\xc3\xa9",
                             "\xf0\x90\x80\x80x"})
        EXPECT_TRUE(treeedit::IsXmlName(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "1a", "-a", ".a", "a b", "a<b", "a&b", "a\"", "a\tb", "\xcc\x80x"})
        EXPECT_FALSE(treeedit::IsXmlName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(treeedit::IsXmlName(QString(QChar(0xD800)) + QStringLiteral("a")));

    // Blanks are refused with the page's own words before anything else.
    EXPECT_EQ(treeedit::CheckNodeName(" ").text, "Node names cannot have spaces!");
    EXPECT_EQ(treeedit::CheckNodeName("").text, "Node names cannot be empty!");
    EXPECT_TRUE(treeedit::CheckNodeName("9").text.contains("not a valid node name"));
    EXPECT_FALSE(treeedit::CheckNodeName("Station"));

    const QStringList existing{"Name", "d:type"};
    EXPECT_EQ(treeedit::CheckNewAttributeName("", existing).title, "Name missing");
    EXPECT_EQ(treeedit::CheckNewAttributeName("a b", existing).title, "Invalid Character");
    EXPECT_EQ(treeedit::CheckNewAttributeName("a=b", existing).title, "Invalid Character");
    EXPECT_EQ(treeedit::CheckNewAttributeName("d:type", existing).title, "Duplicate Attribute");
    // XML names differ by letter case.
    EXPECT_FALSE(treeedit::CheckNewAttributeName("name", existing));

    // A rename may keep the name's own place but not take another's.
    EXPECT_FALSE(treeedit::CheckAttributeRename("Name", existing, 1));
    EXPECT_EQ(treeedit::CheckAttributeRename("Name", existing, 2).title, "Duplicate Attribute");
    EXPECT_EQ(treeedit::CheckAttributeRename("x y", existing, 2).text,
              "No spaces are allowed to be used in the attribute's name");
}

TEST_F(EditingTest, NewDeleteCopyAndPasteKeepTheItemsAndTheDocumentInStep)
{
    load("<r><a x=\"1\"><b>t</b></a><c/></r>");
    ASSERT_EQ(document.NodeKeyCounter, 4);

    clsNode* c = document.NodeByKey("nod4");
    EXPECT_EQ(treeedit::NewChildNode(document, *c), "nod5");
    EXPECT_EQ(items.selectedKey(), "nod5");
    EXPECT_EQ(document.NodeByKey("nod5")->ParentNode(), c);

    treeedit::CopyToClipboard(document, *document.NodeByKey("nod2")); // keys 6 and 7
    EXPECT_EQ(treeedit::PasteClipboard(document, *c), "nod8");
    EXPECT_EQ(treeedit::PasteClipboard(document, *c), "nod10");
    EXPECT_EQ(itemsOf(items), (QStringList{"nod1<:r", "nod2<nod1:a", "nod3<nod2:b", "nod4<nod1:c", "nod5<nod4:ChildNode",
                                           "nod8<nod4:a", "nod9<nod8:b", "nod10<nod4:a", "nod11<nod10:b"}));
    EXPECT_EQ(document.NodeByKey("nod11")->NodeCharacters(), "t");
    EXPECT_EQ(document.NodeByKey("nod10")->NodeAttributes()->Item(1)->AttribValue(), "1");

    // Deleting takes the element and its items, nothing else.
    document.setCurrentNode(document.NodeByKey("nod9"));
    EXPECT_TRUE(treeedit::DeleteChildElement(document, *document.NodeByKey("nod8")));
    EXPECT_FALSE(document.currentIsElement());
    EXPECT_EQ(document.NodeByKey("nod9"), nullptr);
    EXPECT_EQ(items.itemCount(), 7);
    EXPECT_FALSE(items.hasItem("nod9"));
    // The document element is not deleted this way.
    EXPECT_FALSE(treeedit::DeleteChildElement(document, *document.DocumentElement()));
    EXPECT_EQ(items.itemCount(), 7);

    // A new primary node only in an empty document.
    EXPECT_EQ(treeedit::NewPrimaryNode(document), "");
    document.ClearDocument();
    EXPECT_EQ(items.itemCount(), 0);
    EXPECT_EQ(treeedit::NewPrimaryNode(document), "nod1");
    EXPECT_EQ(document.NodeKeyCounter, 1);
    EXPECT_EQ(document.DocumentElement()->NodeName(), "PrimaryNode");
    EXPECT_EQ(itemsOf(items), QStringList{"nod1<:PrimaryNode"});
    // The clipboard outlives the document it came from.
    EXPECT_EQ(treeedit::PasteClipboard(document, *document.DocumentElement()), "nod2");
    EXPECT_EQ(items.itemCount(), 3);
}

TEST_F(EditingTest, AKeyTheViewRefusesLeavesTheDocumentAlone)
{
    load("<r><a/></r>");
    // An item with the next key exists already (made outside the document).
    items.addItem("nod1", "nod3", "stray");
    EXPECT_THROW(treeedit::NewChildNode(document, *document.DocumentElement()), VbError);
    EXPECT_EQ(document.DocumentElement()->ChildNodes()->Count(), 1);
    EXPECT_EQ(document.NodeKeyCounter, 2);

    treeedit::CopyToClipboard(document, *document.NodeByKey("nod2")); // takes key 3
    items.addItem("nod1", "nod4", "stray");
    EXPECT_THROW(treeedit::PasteClipboard(document, *document.DocumentElement()), VbError);
    EXPECT_EQ(document.DocumentElement()->ChildNodes()->Count(), 1);
}

TEST(TreeSaveContent, SameContentIgnoresLayoutOnly)
{
    EXPECT_TRUE(hub::SameXmlContent("<a x=\"1\">\r\n  <b>t</b>\r\n</a>", "<?xml version=\"1.0\"?><a x='1'>\t<b>t</b></a>"));
    EXPECT_TRUE(hub::SameXmlContent("<a><!-- note --><b/></a>", "<a><b></b></a>"));
    EXPECT_FALSE(hub::SameXmlContent("<a><b>t</b></a>", "<a><b>t </b></a>"));
    EXPECT_FALSE(hub::SameXmlContent("<a><b>t</b></a>", "<a><b></b></a>"));
    EXPECT_FALSE(hub::SameXmlContent("<a x=\"1\" y=\"2\"/>", "<a y=\"2\" x=\"1\"/>"));
    EXPECT_FALSE(hub::SameXmlContent("<a><b/></a>", "<a><c/></a>"));
    EXPECT_FALSE(hub::SameXmlContent("<a><b/></a>", "<a><b/>"));
}

TEST(TreeSaveContent, TheLineCheckIsLeftOutWhereItWouldChangeTheDocument)
{
    // The writer's usual output: the check only re-indents it.
    const QByteArray plain = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>\r\n <b d:t=\"x\">text</b>\r\n</a>\r\n";
    EXPECT_TRUE(hub::TagCleaningKeepsDocument(plain));
    // A text over two lines would lose its first line.
    EXPECT_FALSE(hub::TagCleaningKeepsDocument("<a>\r\n <b>one\r\ntwo</b>\r\n</a>\r\n"));
    // Text after a parent's start tag would be cut.
    EXPECT_FALSE(hub::TagCleaningKeepsDocument("<a>lead\r\n <b/>\r\n</a>\r\n"));
    // A UTF-8 letter whose first byte reads as an accented letter the check replaces.
    EXPECT_FALSE(hub::TagCleaningKeepsDocument("<a>\xd3\x93</a>"));
    EXPECT_TRUE(hub::TagCleaningKeepsDocument("<a>\xc3\xb3</a>"));

    TempTree tree;
    ScriptedUi ui;
    const QString bad = tree.writeFile("bad.xml", "<a>\r\n <b>one\r\ntwo</b>\r\n</a>\r\n");
    EXPECT_FALSE(hub::CheckTagBalanceKeepingDocument(bad));
    EXPECT_EQ(tree.readFile("bad.xml"), "<a>\r\n <b>one\r\ntwo</b>\r\n</a>\r\n");
    const QString good = tree.writeFile("good.xml", plain);
    EXPECT_TRUE(hub::CheckTagBalanceKeepingDocument(good));
    EXPECT_EQ(tree.readFile("good.xml"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>\r\n\t<b d:t=\"x\">text</b>\r\n</a>\r\n");
    EXPECT_THROW(hub::CheckTagBalanceKeepingDocument(tree.path("missing.xml")), VbError);
}
