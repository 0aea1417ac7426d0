// The tree document: reading into the tree and the view, key lookup, deep copy, saving,
// the modified state and the reset, with their failure paths.
#include "XmlTestSupport.h"

#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "platform/Paths.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace xmltest;

namespace {

const QByteArray kSmall = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<Root a=\"1\" b=\"2\" c=\"3\">\r\n"
                          "\t<First>one</First>\r\n"
                          "\t<Second/>\r\n"
                          "</Root>\r\n";

const QByteArray kSmallWritten = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                 "<Root a=\"1\" b=\"2\" c=\"3\">\r\n"
                                 " <First>one</First>\r\n"
                                 " <Second></Second>\r\n"
                                 "</Root>\r\n";

struct DocumentFixture : ::testing::Test {
    TempTree tree;
    ScriptedUi ui;
    XmlTreeItems view;
    FakeHost host;
    XmlTreeDocument doc{&view, &host};

    // A game-style path of a file in the program folder.
    QString gamePath(const QString& name) const { return tree.programPath() + QStringLiteral("\\Data\\") + name; }

    QStringList itemKeys() const
    {
        QStringList keys;
        for (qsizetype i = 1; i <= view.itemCount(); ++i)
            keys << view.itemKeyAt(i);
        return keys;
    }

    void load(const QByteArray& xml, const QString& name = QStringLiteral("doc.xml"))
    {
        tree.writeFile(QStringLiteral("program/Data/") + name, xml);
        doc.TreeFileName = gamePath(name);
        ASSERT_TRUE(doc.LoadXmlTree());
    }

    void expectEmptyDocument()
    {
        EXPECT_EQ(view.itemCount(), 0);
        ASSERT_NE(doc.RootNode(), nullptr);
        ASSERT_NE(doc.RootNode()->ChildNodes(), nullptr);
        EXPECT_EQ(doc.RootNode()->ChildNodes()->Count(), 0);
        EXPECT_EQ(doc.DocumentElement(), nullptr);
        EXPECT_EQ(doc.NodeKeyCounter, 0);
        EXPECT_FALSE(doc.TreeHasFile);
        EXPECT_TRUE(doc.CurrentNode()->NodeName().isEmpty());
    }
};

} // namespace

TEST_F(DocumentFixture, LoadFillsTheViewInDocumentOrderWithTheElementsKeys)
{
    doc.TreeModified = true; // reading leaves the modified state alone
    host.saveEnabled = host.saveAsEnabled = false;
    load(kSmall);
    EXPECT_EQ(itemKeys(), (QStringList{"nod1", "nod2", "nod3"}));
    EXPECT_EQ(view.itemText(QStringLiteral("nod1")), QStringLiteral("Root"));
    EXPECT_EQ(view.parentOf(view.indexOf(QStringLiteral("nod3"))), view.indexOf(QStringLiteral("nod1")));
    EXPECT_EQ(view.parentOf(view.indexOf(QStringLiteral("nod1"))), XmlTreeItems::npos);
    EXPECT_TRUE(view.expandedOf(view.indexOf(QStringLiteral("nod1"))));
    EXPECT_EQ(doc.NodeKeyCounter, 3);
    EXPECT_TRUE(doc.TreeHasFile);
    EXPECT_TRUE(doc.TreeModified);
    EXPECT_TRUE(host.saveEnabled && host.saveAsEnabled);
    EXPECT_EQ(doc.DocumentElement()->NodeAttributes()->Count(), 3);
    EXPECT_EQ(doc.DocumentElement()->ParentNode(), doc.RootNode());

    // Every item's key names its element.
    for (const QString& key : itemKeys())
        EXPECT_EQ(doc.FindNodeByKey(key)->NodeName(), view.itemText(key));
}

TEST_F(DocumentFixture, AMalformedFileIsReportedWithItsLineAndLeavesAnEmptyDocument)
{
    load(kSmall);
    doc.FindNodeByKey(QStringLiteral("nod2"));
    tree.writeFile(QStringLiteral("program/Data/bad.xml"), "<?xml version=\"1.0\"?>\n<Root>\n  <A>\n</Root>\n");
    doc.TreeFileName = gamePath(QStringLiteral("bad.xml"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Unable to read the file: ") + gamePath(QStringLiteral("bad.xml")));
    EXPECT_FALSE(doc.LoadXmlTree());
    const ScriptedUi::Message m = ui.lastMessage();
    EXPECT_TRUE(m.text.contains(QStringLiteral("line 4"))) << m.text.toStdString();
    EXPECT_EQ(m.icon(), int(vb::vbExclamation));
    EXPECT_EQ(m.title, QStringLiteral("Load Failed"));
    expectEmptyDocument();
    EXPECT_TRUE(doc.TreeFileName.isEmpty());
    EXPECT_FALSE(host.saveEnabled);

    // A missing file says so.
    doc.TreeFileName = gamePath(QStringLiteral("missing.xml"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("File not found"));
    EXPECT_FALSE(doc.LoadXmlTree());
    expectEmptyDocument();
}

TEST_F(DocumentFixture, FindNodeByKeyIgnoresCaseAndFollowsChangesOfTheTree)
{
    load("<a><b><c/><d/></b><e/></a>");
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("NOD1")), doc.DocumentElement());
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("Nod4"))->NodeName(), QStringLiteral("d"));
    EXPECT_EQ(doc.CurrentNode()->NodeName(), QStringLiteral("d"));

    // A key no element has: a new empty node with no lists.
    clsNode* none = doc.FindNodeByKey(QStringLiteral("nod99"));
    EXPECT_TRUE(none->NodeName().isEmpty());
    EXPECT_EQ(none->ChildNodes(), nullptr);
    EXPECT_EQ(none->NodeAttributes(), nullptr);

    // Many lookups in a row (as the search makes), then changes of the tree in between.
    for (int round = 0; round < 3; ++round) {
        for (const char* key : {"nod1", "nod2", "nod3", "nod4", "nod5"})
            EXPECT_EQ(doc.FindNodeByKey(QString::fromLatin1(key))->NodeKey(), QString::fromLatin1(key));
    }
    clsNode* d = doc.FindNodeByKey(QStringLiteral("nod4"));
    d->setNodeKey(QStringLiteral("nod40"));
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("nod40")), d);
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("nod4"))->ChildNodes(), nullptr);
    clsNode* b = doc.FindNodeByKey(QStringLiteral("nod2"));
    b->ChildNodes()->Remove(QStringLiteral("nod3"));
    EXPECT_TRUE(doc.FindNodeByKey(QStringLiteral("nod3"))->NodeName().isEmpty());
    EXPECT_TRUE(doc.FindNodeByKey(QStringLiteral("nod3"))->NodeName().isEmpty());
    clsNode* e = doc.FindNodeByKey(QStringLiteral("nod5"));
    e->ChildNodes()->Add(QStringLiteral("moved"), QString(), std::make_unique<clsNodeAttributes>(),
                         std::make_unique<clsNodes>(), e, QStringLiteral("nod3"));
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("nod3"))->NodeName(), QStringLiteral("moved"));
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("nod3"))->ParentNode(), e);
}

TEST_F(DocumentFixture, CopyNodeTreeGivesNewKeysInDocumentOrderAndLeavesTheSourceAlone)
{
    load("<r><a x=\"1\">t<b>bt</b><c><d y=\"2\"/></c></a></r>");
    const clsNode* a = doc.FindNodeByKey(QStringLiteral("nod2"));
    const QString before = describe(*a);
    doc.NodeKeyCounter = 10;
    clsNode parent;
    auto copy = std::make_unique<clsNode>();
    doc.CopyNodeTree(*a, *copy, &parent);
    EXPECT_EQ(doc.NodeKeyCounter, 14);
    EXPECT_EQ(describe(*copy), QStringLiteral("nod11 a [x=1] 't'\n"
                                              "  nod12 b 'bt'\n"
                                              "  nod13 c ''\n"
                                              "    nod14 d [y=2] ''"));
    EXPECT_EQ(copy->ParentNode(), &parent);
    EXPECT_EQ(copy->ChildNodes()->Item(QStringLiteral("nod13"))->ChildNodes()->Item(QStringLiteral("nod14"))->NodeName(),
              QStringLiteral("d"));
    EXPECT_EQ(describe(*a), before);
    // The copy is independent of its source.
    copy->NodeAttributes()->Item(1)->setAttribValue(QStringLiteral("changed"));
    EXPECT_EQ(a->NodeAttributes()->Item(1)->AttribValue(), QStringLiteral("1"));

    // Pasting: a copy of the copy goes under an element with fresh keys, and its items can
    // be added below the element's item.
    clsNode* target = doc.FindNodeByKey(QStringLiteral("nod1"));
    auto pasted = std::make_unique<clsNode>();
    doc.CopyNodeTree(*copy, *pasted, target);
    clsNode* added = target->ChildNodes()->AddNode(std::move(pasted));
    doc.AddTreeNode(QStringLiteral("nod1"), *added);
    doc.AddTreeChildren(added->NodeKey(), *added);
    EXPECT_EQ(added->NodeKey(), QStringLiteral("nod15"));
    EXPECT_EQ(itemKeys(), (QStringList{"nod1", "nod2", "nod3", "nod4", "nod5", "nod15", "nod16", "nod17", "nod18"}));
    EXPECT_EQ(doc.NodeKeyCounter, 18);
    EXPECT_EQ(doc.FindNodeByKey(QStringLiteral("nod18"))->ParentNode()->NodeKey(), QStringLiteral("nod17"));
}

TEST_F(DocumentFixture, SaveWritesTheFileAndClearsTheModifiedState)
{
    load(kSmall);
    host.captionText = QStringLiteral("XML File Editor - doc.xml");
    doc.SetModified(true);
    EXPECT_EQ(host.captionText, QStringLiteral("XML File Editor - doc.xml*"));
    doc.TreeFileName = gamePath(QStringLiteral("out.xml"));
    EXPECT_TRUE(doc.SaveXmlTree());
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Data/out.xml")), kSmallWritten);
    EXPECT_FALSE(doc.TreeModified);
    EXPECT_TRUE(doc.TreeHasFile);
    EXPECT_EQ(host.captionText, QStringLiteral("XML File Editor - doc.xml"));
}

TEST_F(DocumentFixture, AFailedSaveIsReportedAndNeverEmptiesTheFile)
{
    load(kSmall);
    doc.SetModified(true);

    doc.TreeFileName = tree.programPath() + QStringLiteral("\\NoSuchFolder\\out.xml");
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Unable to save the file: Path not found"));
    EXPECT_FALSE(doc.SaveXmlTree());
    EXPECT_EQ(ui.lastMessage().title, QStringLiteral("Save Failed"));
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbExclamation));
    EXPECT_TRUE(doc.TreeModified);

    // A folder in the file's place.
    tree.makeDir(QStringLiteral("program/Data/folder.xml"));
    doc.TreeFileName = gamePath(QStringLiteral("folder.xml"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Unable to save the file: "));
    EXPECT_FALSE(doc.SaveXmlTree());
    EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/Data/folder.xml"))).isDir());

    // Failing half-way (a document without an element) leaves the old file whole.
    doc.TreeFileName = gamePath(QStringLiteral("doc.xml"));
    doc.DocumentElement()->ParentNode()->ChildNodes()->Remove(1);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Unable to save the file: Subscript out of range"));
    EXPECT_FALSE(doc.SaveXmlTree());
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Data/doc.xml")), kSmall);
    EXPECT_TRUE(doc.TreeModified);
    EXPECT_EQ(QDir(tree.path(QStringLiteral("program/Data"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("doc.xml")}));
}

TEST_F(DocumentFixture, SetModifiedMarksTheCaptionOnceAndFollowsTheFileForSave)
{
    host.captionText = QStringLiteral("Title");
    doc.TreeHasFile = false;
    doc.SetModified(true);
    doc.SetModified(true);
    EXPECT_EQ(host.captionText, QStringLiteral("Title*"));
    EXPECT_FALSE(host.saveEnabled);
    EXPECT_TRUE(host.saveAsEnabled);
    doc.SetModified(false);
    doc.SetModified(false);
    EXPECT_EQ(host.captionText, QStringLiteral("Title"));
    doc.TreeHasFile = true;
    doc.SetModified(false);
    EXPECT_TRUE(host.saveEnabled);
    EXPECT_FALSE(doc.TreeModified);
}

TEST_F(DocumentFixture, ResetWithoutChangesAsksNothing)
{
    load(kSmall);
    host.captionText = QStringLiteral("XML File Editor - doc.xml");
    EXPECT_TRUE(doc.PromptSaveAndReset(QStringLiteral("C:\\next.xml")));
    EXPECT_EQ(ui.messages().size(), 0);
    expectEmptyDocument();
    EXPECT_EQ(doc.TreeFileName, QStringLiteral("C:\\next.xml"));
    EXPECT_EQ(host.captionText, QStringLiteral("XML File Editor - "));
    EXPECT_FALSE(host.attributeControlsEnabled);
    EXPECT_FALSE(doc.TreeModified);
}

TEST_F(DocumentFixture, ModifiedDocumentAnswersYesNoAndCancel)
{
    load(kSmall);
    doc.SetModified(true);
    const QString question = QStringLiteral("The current file has been modified.\r\nDo you wish to saves these changes?");

    // Cancel: nothing saved, nothing reset.
    ui.expectMsgBox(vb::vbCancel, question);
    EXPECT_FALSE(doc.PromptSaveAndReset(QStringLiteral("other.xml")));
    EXPECT_EQ(ui.lastMessage().buttons(), int(vb::vbYesNoCancel));
    EXPECT_EQ(ui.lastMessage().icon(), int(vb::vbQuestion));
    EXPECT_EQ(ui.lastMessage().title, QStringLiteral("Modified File"));
    EXPECT_EQ(view.itemCount(), 3);
    EXPECT_TRUE(doc.TreeModified);
    EXPECT_EQ(doc.TreeFileName, gamePath(QStringLiteral("doc.xml")));

    // Yes: saved to the old file, then reset.
    doc.DocumentElement()->setNodeName(QStringLiteral("Renamed"));
    ui.expectMsgBox(vb::vbYes, question);
    EXPECT_TRUE(doc.PromptSaveAndReset(QStringLiteral("other.xml")));
    EXPECT_TRUE(tree.readFile(QStringLiteral("program/Data/doc.xml")).contains("<Renamed a=\"1\""));
    expectEmptyDocument();
    EXPECT_EQ(doc.TreeFileName, QStringLiteral("other.xml"));

    // No: reset without saving.
    load(kSmall, QStringLiteral("second.xml"));
    doc.DocumentElement()->setNodeName(QStringLiteral("Lost"));
    doc.SetModified(true);
    ui.expectMsgBox(vb::vbNo, question);
    EXPECT_TRUE(doc.PromptSaveAndReset(QStringLiteral("third.xml")));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Data/second.xml")), kSmall);
    expectEmptyDocument();
}

TEST_F(DocumentFixture, YesWithAFailingSaveKeepsTheDocument)
{
    load(kSmall);
    doc.SetModified(true);
    doc.FindNodeByKey(QStringLiteral("nod2"));
    doc.TreeFileName = tree.programPath() + QStringLiteral("\\Gone\\doc.xml");
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Do you wish to saves these changes?"));
    ui.expectMsgBox(vb::vbOK, QStringLiteral("Unable to save the file: Path not found"));
    EXPECT_FALSE(doc.PromptSaveAndReset(QStringLiteral("next.xml")));
    EXPECT_EQ(itemKeys(), (QStringList{"nod1", "nod2", "nod3"}));
    EXPECT_EQ(doc.DocumentElement()->ChildNodes()->Count(), 2);
    EXPECT_EQ(doc.CurrentNode()->NodeName(), QStringLiteral("First"));
    EXPECT_EQ(doc.NodeKeyCounter, 3);
    EXPECT_TRUE(doc.TreeModified);
    EXPECT_EQ(doc.TreeFileName, tree.programPath() + QStringLiteral("\\Gone\\doc.xml"));
}

TEST_F(DocumentFixture, NewDocumentIsUndefinedXmlInTheProgramFolder)
{
    load(kSmall);
    EXPECT_TRUE(doc.NewXmlDocument());
    EXPECT_EQ(doc.TreeFileName, platform::programFolder() + QStringLiteral("\\undefined.xml"));
    expectEmptyDocument();
    EXPECT_FALSE(host.saveEnabled);
    EXPECT_FALSE(host.saveAsEnabled);

    // Cancelled: nothing happens.
    load(kSmall);
    doc.SetModified(true);
    ui.expectMsgBox(vb::vbCancel);
    EXPECT_FALSE(doc.NewXmlDocument());
    EXPECT_EQ(doc.TreeFileName, gamePath(QStringLiteral("doc.xml")));
    EXPECT_TRUE(host.saveEnabled && host.saveAsEnabled);
    EXPECT_EQ(view.itemCount(), 3);

    // A new document can be saved once it has an element.
    XmlTreeDocument fresh;
    EXPECT_TRUE(fresh.NewXmlDocument());
    fresh.NodeKeyCounter = 1;
    fresh.RootNode()->ChildNodes()->Add(QStringLiteral("PrimaryNode"), QString(), std::make_unique<clsNodeAttributes>(),
                                        std::make_unique<clsNodes>(), fresh.RootNode(), QStringLiteral("nod1"));
    EXPECT_TRUE(fresh.SaveXmlTree());
    EXPECT_EQ(tree.readFile(QStringLiteral("program/undefined.xml")),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<PrimaryNode></PrimaryNode>\r\n");
}
