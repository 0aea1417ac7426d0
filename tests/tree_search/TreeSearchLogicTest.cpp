// The tree search without a window: matching, whole words, replacing, the order of the
// walk, the answers of the question, and the item limit.

#include "common/SharedState.h"
#include "hub/xml/TreeEditing.h"
#include "hub/xml/TreeSearch.h"
#include "hub/xml/XmlTreeDocument.h"
#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/clsNode.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// The window as the search sees it: records what it is asked to do and answers the
// question from a list ("c": Continue, "o": OK).
class RecordingHost : public TreeSearchHost {
public:
    explicit RecordingHost(XmlTreeDocument& document, XmlTreeItems& items) : doc(document), view(items) {}

    void focusTree() override {}
    void selectItem(const QString& key, bool) override { view.selectItem(key); }
    void nodeClick(const QString& key) override
    {
        doc.FindNodeByKey(key);
        box = doc.CurrentNode()->NodeCharacters();
        clicked << key;
    }
    void showCharacters(const QString& text) override { box = text; }
    QString characters() const override { return box; }
    void replaceCharacters(const QString& text) override
    {
        box = text;
        doc.CurrentNode()->setNodeCharacters(text);
        ++edits;
    }
    void askFindContinue() override
    {
        asked << view.selectedKey() + (view.isItemBold(view.selectedKey()) ? QStringLiteral("*") : QString());
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question";
            shared().FindContinue = true;
            return;
        }
        shared().FindContinue = answers.front() == 'o';
        answers.pop_front();
    }

    XmlTreeDocument& doc;
    XmlTreeItems& view;
    QString box;
    int edits = 0;
    QStringList clicked;
    QStringList asked;
    std::deque<char> answers;
};

class SearchLogicTest : public ::testing::Test {
protected:
    void SetUp() override { resetShared(); }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }
    void load(const QByteArray& xml)
    {
        document.TreeFileName = tree.writeFile(QStringLiteral("doc.xml"), xml);
        ASSERT_TRUE(document.LoadXmlTree());
    }
    QStringList boldKeys() const
    {
        QStringList out;
        for (qsizetype i = 1; i <= items.itemCount(); ++i) {
            if (items.isItemBold(items.itemKeyAt(i)))
                out << items.itemKeyAt(i);
        }
        return out;
    }

    TempTree tree;
    ScriptedUi ui;
    XmlTreeItems items;
    XmlTreeDocument document{&items, nullptr};
    RecordingHost host{document, items};
    TreeSearch search{document, items, host};
};

} // namespace

TEST(TreeSearchMatch, PositionsWholeWordsAndReplacing)
{
    using namespace treesearch;
    EXPECT_EQ(FirstMatch("FirstName", "name"), 6);
    EXPECT_EQ(FirstMatch("Station", "x"), 0);
    EXPECT_EQ(FirstMatch("", ""), 1);
    EXPECT_EQ(FirstMatch("abc", ""), 1);

    // Whole words: the characters around the first occurrence must not be word characters
    // (letters and " $ ' , - .).
    EXPECT_FALSE(IsHit("FirstName", "Name", true));
    EXPECT_TRUE(IsHit("First Name", "Name", true));
    EXPECT_TRUE(IsHit("Name", "name", true));
    EXPECT_TRUE(IsHit("Name2", "Name", true));
    EXPECT_TRUE(IsHit("x_Name_", "Name", true));
    EXPECT_FALSE(IsHit("Name-plate", "Name", true));
    EXPECT_FALSE(IsHit("'Name", "Name", true));
    EXPECT_FALSE(IsHit("Names", "Name", true));
    // Only the first occurrence counts.
    EXPECT_FALSE(IsHit("FirstName Name", "Name", true));
    EXPECT_TRUE(IsHit("FirstName Name", "Name", false));
    // Beyond 32,767 characters a hit is still a hit.
    EXPECT_TRUE(IsHit(QString(40000, QLatin1Char('x')) + " Name", "Name", true));

    EXPECT_EQ(ReplaceAll("ab AB aB", "Ab", "X"), "X X X");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "X"), "abc");
}

TEST_F(SearchLogicTest, TheWalkFollowsTheOrderTheItemsWereAdded)
{
    load("<Route><Name/><Stations><Name/></Stations><Name/></Route>");
    // A new element is added last, whatever its place in the document.
    treeedit::NewChildNode(document, *document.NodeByKey("nod2"));
    document.NodeByKey("nod6")->setNodeName("Name");
    items.setItemText("nod6", "Name");

    host.answers = {'c', 'c', 'c', 'o'};
    search.Find("name", false);
    EXPECT_EQ(host.asked, (QStringList{"nod2*", "nod4*", "nod5*", "nod6*"}));
    EXPECT_EQ(boldKeys(), QStringList{"nod6"});
    EXPECT_TRUE(shared().FindContinue);
    EXPECT_EQ(shared().SearchText, "name");
    EXPECT_TRUE(ui.messages().isEmpty());

    // Continue past the last hit: no "Not found", since hits were shown.
    host.asked.clear();
    host.answers = {'c', 'c', 'c', 'c'};
    search.Find("Name", false);
    EXPECT_EQ(host.asked.size(), 4);
    EXPECT_TRUE(boldKeys().isEmpty());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(SearchLogicTest, NotFoundComesOnceAfterTheWalkWheneverNoHitWasShown)
{
    load("<Route><FirstName/><Other/><LastName/></Route>");
    ui.expectMsgBox(vb::vbOK, "Not found");
    search.Find("Name", true);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "Not found");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    EXPECT_FALSE(shared().FindContinue);

    ui.expectMsgBox(vb::vbOK, "Not found");
    search.FindInText("x", false);
    // The walk ends on its last item, shown as a click shows it.
    EXPECT_EQ(document.CurrentNode()->NodeKey(), "nod4");
    EXPECT_EQ(host.clicked.last(), "nod4");
    EXPECT_EQ(items.selectedKey(), "nod4");
    ui.expectMsgBox(vb::vbOK, "Not found");
    search.FindAll("Name", true);
    ui.expectMsgBox(vb::vbOK, "Not found");
    search.ReplaceAll("x", "y", false);
    EXPECT_EQ(ui.messages().size(), 4);

    // An empty document has nothing to find either.
    XmlTreeItems none;
    XmlTreeDocument empty(&none, nullptr);
    RecordingHost emptyHost(empty, none);
    ui.expectMsgBox(vb::vbOK, "Not found");
    TreeSearch(empty, none, emptyHost).Find("Name", false);
}

TEST_F(SearchLogicTest, FindAllMarksEveryHitWithoutQuestionsAndLeavesFindContinue)
{
    load("<Route><Name/><Stations><Name/></Stations><NameBoard/></Route>");
    shared().FindContinue = true;
    search.FindAll("name", true);
    EXPECT_EQ(boldKeys(), (QStringList{"nod2", "nod4"}));
    EXPECT_EQ(items.selectedKey(), "nod4");
    EXPECT_TRUE(host.asked.isEmpty());
    EXPECT_TRUE(shared().FindContinue);
    shared().FindContinue = false;
    search.FindAll("name", false);
    EXPECT_FALSE(shared().FindContinue);
    EXPECT_EQ(boldKeys(), (QStringList{"nod2", "nod4", "nod5"}));
}

TEST_F(SearchLogicTest, FindInTextAndReplaceWorkOnTheElementsTexts)
{
    load("<Route><A>the yard</A><B>a Yardmaster</B><C>old yard and new YARD</C></Route>");
    host.answers = {'c', 'o'};
    search.FindInText("yard", true);
    EXPECT_EQ(host.asked, (QStringList{"nod2*", "nod4*"}));
    EXPECT_EQ(document.CurrentNode()->NodeKey(), "nod4");
    EXPECT_EQ(host.box, "old yard and new YARD");
    EXPECT_EQ(host.edits, 0);

    // Replace: every occurrence in the box, letter case ignored.
    search.Replace("YaRd", "Depot");
    EXPECT_EQ(document.NodeByKey("nod4")->NodeCharacters(), "old Depot and new Depot");
    // Nothing to replace: no edit.
    search.Replace("siding", "Depot");
    EXPECT_EQ(host.edits, 1);

    // Replace All with whole words: only elements whose first occurrence stands alone.
    search.ReplaceAll("the", "A", true);
    EXPECT_EQ(document.NodeByKey("nod2")->NodeCharacters(), "A yard");
    search.ReplaceAll("yard", "Shed", true);
    EXPECT_EQ(document.NodeByKey("nod2")->NodeCharacters(), "A Shed");
    EXPECT_EQ(document.NodeByKey("nod3")->NodeCharacters(), "a Yardmaster");
    EXPECT_EQ(boldKeys(), (QStringList{"nod2", "nod4"}));
}

TEST_F(SearchLogicTest, AnEmptyReplaceBoxStopsReplaceAllAtItsFirstHit)
{
    load("<Route><A>x</A><B>yard</B><C>yard</C></Route>");
    ui.expectMsgBox(vb::vbOK, "You have not entered anything in the Replace box?");
    search.ReplaceAll("yard", "", false);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    // The first hit was shown, nothing was replaced, the walk ended there.
    EXPECT_EQ(boldKeys(), QStringList{"nod3"});
    EXPECT_EQ(items.selectedKey(), "nod3");
    EXPECT_EQ(host.box, "yard");
    EXPECT_EQ(host.edits, 0);

    ui.expectMsgBox(vb::vbOK, "You have not entered anything in the Replace box?");
    search.Replace("yard", "");
    EXPECT_EQ(host.edits, 0);
}

TEST_F(SearchLogicTest, ATreeOfMoreThan65500ItemsIsNotSearched)
{
    XmlTreeItems big;
    XmlTreeDocument doc(&big, nullptr);
    RecordingHost bigHost(doc, big);
    TreeSearch bigSearch(doc, big, bigHost);
    big.addItem(QString(), "nod1", "Root");
    for (int i = 2; i < 65500; ++i)
        big.addItem("nod1", QStringLiteral("nod%1").arg(i), "e");
    big.addItem("nod1", "nod65500", "Last");
    ASSERT_EQ(big.itemCount(), 65500);
    bigHost.answers = {'o'};
    bigSearch.Find("last", false);
    EXPECT_EQ(bigHost.asked, QStringList{"nod65500*"});

    big.addItem("nod1", "nod65501", "Last");
    ui.expectMsgBox(vb::vbOK, "Unfortunately, this file is too long for this Search to work.");
    bigSearch.Find("last", false);
    EXPECT_EQ(ui.lastMessage().text, "Unfortunately, this file is too long for this Search to work.\r\n"
                                     "Please open in the Veltrane editor and run Search there.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    EXPECT_EQ(bigHost.asked.size(), 1);
    EXPECT_EQ(shared().SearchText, "last");
}
