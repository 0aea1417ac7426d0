// The tree page's "Search" frame in the main window, with the scripted user interface
// answering the question dialog.

#include "tree_edit/TreeWindowFixture.h"

#include "hub/TextPageWidget.h"
#include "hub/dlgFind.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Four elements called Name or holding it in their names, and texts to search.
const QByteArray kRoute = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<Route>\r\n"
                          " <Name>Valley line</Name>\r\n"
                          " <FirstName>ab AB aB</FirstName>\r\n"
                          " <Stations>\r\n"
                          "  <Name>Ashby yard</Name>\r\n"
                          "  <Name>Brook</Name>\r\n"
                          " </Stations>\r\n"
                          " <Notes>the yard and the shed</Notes>\r\n"
                          "</Route>\r\n";

std::function<void(QWidget*)> answer(bool ok)
{
    return [ok](QWidget* window) {
        auto* dialog = qobject_cast<dlgFind*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Search");
        EXPECT_EQ(dialog->Label1->text(), "Is this the item you wished to find?");
        EXPECT_EQ(dialog->FindButton->text(), "Continue");
        EXPECT_EQ(dialog->OKButton->text(), "OK");
        (ok ? dialog->OKButton : dialog->FindButton)->click();
    };
}

QStringList boldKeys(frmEditor& w)
{
    QStringList out;
    for (qsizetype i = 1; i <= w.trevwContents->itemCount(); ++i) {
        const QString key = w.trevwContents->itemKeyAt(i);
        if (w.trevwContents->isItemBold(key))
            out << key;
    }
    return out;
}

} // namespace

TEST_F(TreeWindowTest, FindContinueTwiceThenOkLeavesTheThirdHitSelectedAndBold)
{
    auto w = startWindow();
    w->show();
    openXml(*w, "Route.xml", kRoute);
    EXPECT_TRUE(w->Frame3->isEnabled());
    click(*w, "nod7");

    w->Text2->setText("name");
    w->Check1->setChecked(true);
    ui.expectModal(answer(false), "Search");
    ui.expectModal(answer(false), "Search");
    ui.expectModal(answer(true), "Search");
    w->Command2->click();
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod6");
    EXPECT_EQ(boldKeys(*w), QStringList{"nod6"});
    QTreeWidgetItem* item = w->trevwContents->itemForKey("nod6");
    EXPECT_TRUE(item->font(0).bold());
    EXPECT_FALSE(w->trevwContents->itemForKey("nod2")->font(0).bold());
    EXPECT_TRUE(shared().FindContinue);
    EXPECT_EQ(shared().SearchText, "name");
    // "OK" unloaded the dialog; a search selects without clicking: the element shown stays.
    EXPECT_EQ(w->findDialog(), nullptr);
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod7");
    EXPECT_TRUE(ui.messages().isEmpty());

    // The next search makes the dialog again; its close box ends the search as "OK" does.
    ui.expectModal([](QWidget* window) { window->close(); });
    w->Command2_Click();
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod2");
    EXPECT_TRUE(shared().FindContinue);
    EXPECT_EQ(w->findDialog(), nullptr);

    // Enter in the search box presses "Find".
    w->Text2->setText("Nowhere");
    ui.expectMsgBox(vb::vbOK, "Not found");
    w->Text2->setFocus();
    input::keyClick(w->Text2, Qt::Key_Return, "\r");
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(TreeWindowTest, NotFoundIsShownOnceAlsoWhenTheLastItemHoldsTheTextInsideAWord)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", "<Route><Stop/><Platform/><FirstName/></Route>");
    w->Text2->setText("Name");
    w->Check1->setChecked(true);
    ui.expectMsgBox(vb::vbOK, "Not found");
    w->Command2_Click();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "Not found");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    EXPECT_FALSE(shared().FindContinue);

    // Without whole words the last item is a hit.
    w->Check1->setChecked(false);
    ui.expectModal(answer(true));
    w->Command2_Click();
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod4");
}

TEST_F(TreeWindowTest, FindAllMarksEveryMatchingElement)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    shared().FindContinue = false;
    w->Text2->setText("NAME");
    w->Command3->click();
    EXPECT_EQ(boldKeys(*w), (QStringList{"nod2", "nod3", "nod5", "nod6"}));
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod6");
    EXPECT_FALSE(shared().FindContinue);
    EXPECT_TRUE(ui.dialogs().size() == 1); // the open dialog only

    w->Text2->setText("Signal");
    ui.expectMsgBox(vb::vbOK, "Not found");
    w->Command3_Click();
    // The marks stay until the items are read again.
    EXPECT_EQ(boldKeys(*w).size(), 4);
}

TEST_F(TreeWindowTest, FindInTextShowsEachHitsElement)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    w->Text2->setText("yard");
    w->Check1->setChecked(true);
    ui.expectModal([&](QWidget* window) {
        // The element of the hit is shown behind the question.
        EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod5");
        EXPECT_EQ(w->txtCharacters->text(), "Ashby yard");
        EXPECT_EQ(w->trevwContents->selectedKey(), "nod5");
        EXPECT_TRUE(w->trevwContents->isItemBold("nod5"));
        qobject_cast<dlgFind*>(window)->FindButton->click();
    });
    ui.expectModal(answer(true));
    w->Command4->click();
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod7");
    EXPECT_EQ(w->txtCharacters->text(), "the yard and the shed");
    EXPECT_EQ(boldKeys(*w), QStringList{"nod7"});
    EXPECT_TRUE(w->fraAttribs->isEnabled());
    // Searching is no edit.
    EXPECT_FALSE(w->TreeDocument.TreeModified);
}

TEST_F(TreeWindowTest, ReplaceInTheCurrentElementIgnoresLetterCase)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    click(*w, "nod3");
    w->Text2->setText("Ab");

    // An empty replace box: the message and nothing else.
    ui.expectMsgBox(vb::vbOK, "You have not entered anything in the Replace box?");
    w->Command5->click();
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    EXPECT_EQ(element(*w, "nod3")->NodeCharacters(), "ab AB aB");

    w->Text3->setText("X");
    w->Command5_Click();
    EXPECT_EQ(w->txtCharacters->text(), "X X X");
    EXPECT_EQ(element(*w, "nod3")->NodeCharacters(), "X X X");
    EXPECT_TRUE(w->TreeDocument.TreeModified);
    EXPECT_TRUE(w->windowTitle().endsWith('*'));

    // The box's own line ends stay as they were.
    click(*w, "nod2");
    element(*w, "nod2")->setNodeCharacters("one\r\ntwo ab");
    click(*w, "nod2");
    w->Command5_Click();
    EXPECT_EQ(element(*w, "nod2")->NodeCharacters(), "one\r\ntwo X");

    w->mnuSaveXCT_Click();
    EXPECT_TRUE(tree.readFile("game/Route.xml").contains("<FirstName>X X X</FirstName>"));
}

TEST_F(TreeWindowTest, ReplaceAllChangesEveryMatchingTextAndStopsOnAnEmptyReplaceBox)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    w->Text2->setText("yard");

    ui.expectMsgBox(vb::vbOK, "You have not entered anything in the Replace box?");
    w->Command6->click();
    // It stopped at the first element that matched, after showing it.
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod5");
    EXPECT_EQ(boldKeys(*w), QStringList{"nod5"});
    EXPECT_EQ(w->txtCharacters->text(), "Ashby yard");
    EXPECT_FALSE(w->TreeDocument.TreeModified);

    w->Text3->setText("Depot");
    w->Command6_Click();
    EXPECT_EQ(element(*w, "nod5")->NodeCharacters(), "Ashby Depot");
    EXPECT_EQ(element(*w, "nod7")->NodeCharacters(), "the Depot and the shed");
    EXPECT_EQ(element(*w, "nod2")->NodeCharacters(), "Valley line");
    EXPECT_EQ(boldKeys(*w), (QStringList{"nod5", "nod7"}));
    EXPECT_TRUE(w->TreeDocument.TreeModified);
    EXPECT_TRUE(ui.messages().size() == 1);
}

TEST_F(TreeWindowTest, ADocumentOfMoreThan65500ElementsIsNotSearched)
{
    auto w = startWindow();
    QByteArray xml = "<r>";
    for (int i = 2; i < 65500; ++i)
        xml += "<e/>";
    xml += "<Last/></r>";
    openXml(*w, "Big.xml", xml);
    ASSERT_EQ(w->trevwContents->itemCount(), 65500);
    w->Text2->setText("last");
    ui.expectModal(answer(true));
    w->Command2_Click();
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod65500");

    // One element more, added by the page.
    click(*w, "nod1");
    w->mnuNodePopUpNew_Click();
    ASSERT_EQ(w->trevwContents->itemCount(), 65501);
    ui.expectMsgBox(vb::vbOK, "Unfortunately, this file is too long for this Search to work.");
    w->Command3_Click();
    EXPECT_EQ(ui.lastMessage().text, "Unfortunately, this file is too long for this Search to work.\r\n"
                                     "Please open in the Veltrane editor and run Search there.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(boldKeys(*w), QStringList{"nod65500"});
}

TEST_F(TreeWindowTest, AfterAFindTheNodeCommandsStillActOnTheCurrentElementsOwnItem)
{
    auto w = startWindow();
    w->show();
    openXml(*w, "Route.xml", kRoute);
    click(*w, "nod7");
    w->Text2->setText("Stations");
    ui.expectModal(answer(true));
    w->Command2_Click();
    // The search selected Stations without clicking it: Notes is still the current element.
    ASSERT_EQ(w->trevwContents->selectedKey(), "nod4");
    ASSERT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod7");

    w->mnuEditCopy_Click();
    w->mnuEditPaste_Click();
    w->mnuNodePopUpNew_Click();
    const clsNodes* children = element(*w, "nod7")->ChildNodes();
    ASSERT_EQ(children->Count(), 2);
    EXPECT_EQ(children->Item(1)->NodeName(), "Notes");
    EXPECT_EQ(children->Item(2)->NodeName(), "ChildNode");
    EXPECT_EQ(element(*w, "nod4")->ChildNodes()->Count(), 2);
    expectViewMatchesDocument(*w);

    // A label edited by the user renames the element of that item.
    typeLabel(*w, "Remark");
    EXPECT_EQ(children->Item(2)->NodeName(), "Remark");
    w->trevwContents->editItem(w->trevwContents->itemForKey("nod4"));
    typeLabel(*w, "Halts");
    EXPECT_EQ(element(*w, "nod4")->NodeName(), "Halts");
    EXPECT_EQ(element(*w, "nod7")->NodeName(), "Notes");
    expectViewMatchesDocument(*w);
}
