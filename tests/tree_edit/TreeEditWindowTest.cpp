// The tree page's editing in the main window: clicking items, the attribute and text
// controls, the attribute dialog, and the node menu's commands, with the view and the
// document kept in step.

#include "TreeWindowFixture.h"

#include "hub/TextPageWidget.h"
#include "hub/frmAddAttribute.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

// Nine elements, keys nod1 to nod9 in this order.
const QByteArray kRoute = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<Route Name=\"Valley\" Gauge=\"1435\">\r\n"
                          "\t<Name>Valley line</Name>\r\n"
                          "\t<Stations>\r\n"
                          "\t\t<Station Id=\"1\">Ashby</Station>\r\n"
                          "\t\t<Station Id=\"2\">Brook</Station>\r\n"
                          "\t\t<Station Id=\"3\">Carr</Station>\r\n"
                          "\t</Stations>\r\n"
                          "\t<Signals>\r\n"
                          "\t\t<Signal Kind=\"home\"/>\r\n"
                          "\t</Signals>\r\n"
                          "\t<Notes>first&#13;\nsecond\xc2\xa0third</Notes>\r\n"
                          "</Route>\r\n";

QStringList attributes(const clsNode* node)
{
    QStringList out;
    for (const clsNodeAttribute* a : *node->NodeAttributes())
        out << a->AttribName() + QLatin1Char('=') + a->AttribValue();
    return out;
}

frmAddAttribute* addDialog(QWidget* window)
{
    auto* dialog = qobject_cast<frmAddAttribute*>(window);
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

} // namespace

TEST_F(TreeWindowTest, ClickingAnItemShowsItsElementAndReadiesTheCommands)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    ASSERT_EQ(w->TreeDocument.NodeKeyCounter, 9);
    EXPECT_FALSE(w->fraAttribs->isEnabled());
    EXPECT_FALSE(w->mnuEditCopy->isEnabled());

    // A real click on the root item.
    w->show();
    QTreeWidgetItem* rootItem = w->trevwContents->itemForKey("nod1");
    ASSERT_NE(rootItem, nullptr);
    const QRect r = w->trevwContents->visualItemRect(rootItem);
    input::mouseClick(w->trevwContents->viewport(), Qt::LeftButton, r.center());
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod1");
    EXPECT_EQ(listEntries(w->lstAttributes), (QStringList{"Name", "Gauge"}));

    click(*w, "nod4");
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeName(), "Station");
    EXPECT_EQ(listEntries(w->lstAttributes), QStringList{"Id"});
    EXPECT_EQ(w->txtCharacters->text(), "Ashby");
    EXPECT_TRUE(w->fraAttribs->isEnabled() && w->fraChars->isEnabled() && w->cmdAdd->isEnabled());
    // Remove, rename and the value box wait for an attribute to be picked.
    EXPECT_FALSE(w->cmdDel->isEnabled());
    EXPECT_FALSE(w->cmdRename->isEnabled());
    EXPECT_FALSE(w->txtAttributeValue->isEnabled());
    EXPECT_TRUE(w->mnuEditCopy->isEnabled());
    EXPECT_EQ(w->mnuNodePopUpNew->text(), "&New Child Node");

    w->lstAttributes->setCurrentRow(0);
    EXPECT_EQ(w->txtAttributeValue->text(), "1");
    EXPECT_TRUE(w->cmdDel->isEnabled() && w->cmdRename->isEnabled() && w->txtAttributeValue->isEnabled());

    // Keyboard moves are clicks too.
    w->trevwContents->setFocus();
    input::keyClick(w->trevwContents, Qt::Key_Down);
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod5");
    EXPECT_EQ(w->txtCharacters->text(), "Brook");
    EXPECT_FALSE(w->cmdDel->isEnabled());

    // Showing elements is no edit.
    EXPECT_FALSE(w->TreeDocument.TreeModified);
    EXPECT_FALSE(w->windowTitle().endsWith('*'));

    // The right button offers the node menu at the pointer.
    w->trevwContents_MouseUp(Qt::RightButton, r.center());
    EXPECT_TRUE(w->mnuNodePopUp->isVisible());
    w->mnuNodePopUp->hide();
    w->trevwContents_MouseUp(Qt::LeftButton, r.center());
    EXPECT_FALSE(w->mnuNodePopUp->isVisible());
}

TEST_F(TreeWindowTest, ShowingAnElementNeverChangesItsTextOnlyTheUsersEditsDo)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    const QString original = QStringLiteral("first\r\nsecond") + QChar(0xA0) + QStringLiteral("third");
    ASSERT_EQ(element(*w, "nod9")->NodeCharacters(), original);

    click(*w, "nod9");
    click(*w, "nod1");
    click(*w, "nod9");
    EXPECT_EQ(element(*w, "nod9")->NodeCharacters(), original);
    EXPECT_FALSE(w->TreeDocument.TreeModified);

    // Typing at the end keeps the line end and the non-breaking space as they were.
    w->txtCharacters->moveCursor(QTextCursor::End);
    input::keyClicks(w->txtCharacters, "!");
    EXPECT_EQ(element(*w, "nod9")->NodeCharacters(), original + "!");
    EXPECT_TRUE(w->TreeDocument.TreeModified);
    EXPECT_TRUE(w->windowTitle().endsWith('*'));

    // The value box: filling it is no edit, typing is.
    click(*w, "nod1");
    w->lstAttributes->setCurrentRow(1);
    EXPECT_EQ(element(*w, "nod1")->NodeAttributes()->Item(2)->AttribValue(), "1435");
    w->txtAttributeValue->setText("1000");
    EXPECT_EQ(attributes(element(*w, "nod1")), (QStringList{"Name=Valley", "Gauge=1000"}));
}

TEST_F(TreeWindowTest, AddAttributeChecksTheNameAndAppendsIt)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    click(*w, "nod2");

    // A name and an empty value.
    ui.expectModal(
        [](QWidget* window) {
            frmAddAttribute* d = addDialog(window);
            EXPECT_EQ(d->windowTitle(), "Add Attribute");
            EXPECT_EQ(d->cmdOK->text(), "&OK");
            EXPECT_EQ(d->cmdCancel->text(), "&Cancel");
            d->txtName->setText("Lang");
            d->cmdOK->click();
        },
        "Add Attribute");
    w->cmdAdd_Click();
    EXPECT_EQ(attributes(element(*w, "nod2")), QStringList{"Lang="});
    EXPECT_EQ(listEntries(w->lstAttributes), QStringList{"Lang"});
    EXPECT_TRUE(w->windowTitle().endsWith('*'));

    // Refused names keep the dialog open; a good one goes at the end.
    ui.expectModal([](QWidget* window) {
        frmAddAttribute* d = addDialog(window);
        d->cmdOK->click(); // empty
        d->txtName->setText("two words");
        d->cmdOK->click();
        d->txtName->setText("1st");
        d->cmdOK->click();
        d->txtName->setText("Lang");
        d->cmdOK->click();
        EXPECT_TRUE(d->isVisible());
        d->txtName->setText("d:type");
        d->txtValue->setText("a \"quoted\" & <value>");
        d->cmdOK->click();
    });
    ui.expectMsgBox(vb::vbOK, "Please enter a name.");
    ui.expectMsgBox(vb::vbOK, "not allowed spaces");
    ui.expectMsgBox(vb::vbOK, "not a valid attribute name");
    ui.expectMsgBox(vb::vbOK, "already has an attribute named \"Lang\"");
    w->cmdAdd_Click();
    const QList<ScriptedUi::Message>& m = ui.messages();
    ASSERT_EQ(m.size(), 4);
    EXPECT_EQ(m[0].text, "Please enter a name. The value box may be left blank,\r\nhowever, the name must be supplied.");
    EXPECT_EQ(m[0].style, vb::vbOKOnly + vb::vbCritical);
    EXPECT_EQ(m[0].title, "Name missing");
    EXPECT_EQ(m[1].text, "Attribute names are not allowed spaces in them.");
    EXPECT_EQ(m[1].style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(m[1].title, "Invalid Character");
    EXPECT_EQ(attributes(element(*w, "nod2")), (QStringList{"Lang=", "d:type=a \"quoted\" & <value>"}));
    EXPECT_EQ(listEntries(w->lstAttributes), (QStringList{"Lang", "d:type"}));

    // Cancel and the close box add nothing.
    ui.expectModal([](QWidget* window) {
        frmAddAttribute* d = addDialog(window);
        d->txtName->setText("Ignored");
        d->cmdCancel->click();
    });
    w->cmdAdd_Click();
    ui.expectModal([](QWidget* window) {
        frmAddAttribute* d = addDialog(window);
        d->txtName->setText("Ignored");
        d->close();
    });
    w->cmdAdd_Click();
    EXPECT_EQ(element(*w, "nod2")->NodeAttributes()->Count(), 2);

    // What was added is written.
    w->mnuSaveXCT_Click();
    EXPECT_TRUE(tree.readFile("game/Route.xml")
                    .contains("<Name Lang=\"\" d:type=\"a &quot;quoted&quot; &amp; &lt;value>\">Valley line</Name>"));
}

TEST_F(TreeWindowTest, RenameAndRemoveAttributes)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    click(*w, "nod1");
    w->lstAttributes->setCurrentRow(0);

    // A change of letter case alone changes nothing; blanks, bad names and a name the
    // element has already are refused.
    ui.clearRecords();
    ui.expectInputBox("name", "Please enter the new name for the attribute:");
    ui.expectInputBox("new name");
    ui.expectMsgBox(vb::vbOK, "No spaces are allowed to be used in the attribute's name");
    ui.expectInputBox("Gauge");
    ui.expectMsgBox(vb::vbOK, "already has an attribute named \"Gauge\"");
    ui.expectInputBox("x<y");
    ui.expectMsgBox(vb::vbOK, "not a valid attribute name");
    ui.expectInputBox(""); // cancelled
    for (int i = 0; i < 5; ++i)
        w->cmdRename_Click();
    EXPECT_EQ(ui.dialogs().first().title, "Rename Attribute");
    EXPECT_EQ(ui.dialogs().first().defaultText, "Name");
    EXPECT_EQ(ui.messages().first().title, "Invalid Character");
    EXPECT_EQ(ui.messages().first().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(attributes(element(*w, "nod1")), (QStringList{"Name=Valley", "Gauge=1435"}));
    EXPECT_FALSE(w->TreeDocument.TreeModified);

    ui.expectInputBox("Title");
    w->cmdRename_Click();
    EXPECT_EQ(attributes(element(*w, "nod1")), (QStringList{"Title=Valley", "Gauge=1435"}));
    EXPECT_EQ(listEntries(w->lstAttributes), (QStringList{"Title", "Gauge"}));
    EXPECT_TRUE(w->TreeDocument.TreeModified);

    // Remove the first: the second keeps its value, nothing else gets selected.
    w->cmdDel_Click();
    EXPECT_EQ(attributes(element(*w, "nod1")), QStringList{"Gauge=1435"});
    EXPECT_EQ(listEntries(w->lstAttributes), QStringList{"Gauge"});
    EXPECT_TRUE(w->lstAttributes->selectedItems().isEmpty());
    EXPECT_EQ(w->txtAttributeValue->text(), "");
    EXPECT_FALSE(w->cmdDel->isEnabled() || w->cmdRename->isEnabled() || w->txtAttributeValue->isEnabled());
    w->cmdDel_Click(); // nothing selected: nothing removed
    EXPECT_EQ(element(*w, "nod1")->NodeAttributes()->Count(), 1);
}

TEST_F(TreeWindowTest, NewChildNodeTakesTheNextKeyAndTheNameTypedNext)
{
    auto w = startWindow();
    w->show();
    openXml(*w, "Route.xml", kRoute);
    click(*w, "nod7"); // Signals
    ASSERT_TRUE(w->SetNodePopupMenu());
    w->mnuNodePopUpNew->trigger();

    EXPECT_EQ(w->TreeDocument.NodeKeyCounter, 10);
    clsNode* made = element(*w, "nod10");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->NodeName(), "ChildNode");
    EXPECT_EQ(made->ParentNode(), element(*w, "nod7"));
    EXPECT_EQ(w->TreeDocument.CurrentNode(), made);
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod10");
    EXPECT_TRUE(w->lstAttributes->count() == 0 && w->txtCharacters->text().isEmpty());
    EXPECT_TRUE(w->windowTitle().endsWith('*'));
    expectViewMatchesDocument(*w);
    // The label editor is open on the new item.
    EXPECT_EQ(w->trevwContents->content().keyOf(w->trevwContents->content().editedIndex()), "nod10");

    // The name typed names the new element, not its parent; a blank or a bad name is refused.
    ui.expectMsgBox(vb::vbOK, "Node names cannot have spaces!");
    typeLabel(*w, "Distant Signal");
    EXPECT_EQ(ui.lastMessage().title, "Invalid character");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    QTreeWidgetItem* item = w->trevwContents->itemForKey("nod10");
    EXPECT_EQ(item->text(0), "ChildNode");
    for (const auto& [name, message] : {std::pair{"", "Node names cannot be empty!"}, {"3rd", "not a valid node name"}}) {
        w->mnuNodePopupRename->trigger();
        ui.expectMsgBox(vb::vbOK, message);
        typeLabel(*w, name);
    }
    EXPECT_EQ(item->text(0), "ChildNode");
    EXPECT_EQ(made->NodeName(), "ChildNode");
    w->mnuNodePopupRename->trigger();
    typeLabel(*w, "Distant");
    EXPECT_EQ(item->text(0), "Distant");
    EXPECT_EQ(made->NodeName(), "Distant");
    EXPECT_EQ(element(*w, "nod7")->NodeName(), "Signals");

    // "Rename Node" edits the current element's own label.
    click(*w, "nod2");
    w->mnuNodePopupRename->trigger();
    EXPECT_EQ(w->trevwContents->content().keyOf(w->trevwContents->content().editedIndex()), "nod2");
    typeLabel(*w, "Title");
    EXPECT_EQ(element(*w, "nod2")->NodeName(), "Title");
    expectViewMatchesDocument(*w);

    w->mnuSaveXCT_Click();
    EXPECT_TRUE(tree.readFile("game/Route.xml").contains("<Title>Valley line</Title>"));
    EXPECT_TRUE(tree.readFile("game/Route.xml").contains("<Distant></Distant>"));
}

TEST_F(TreeWindowTest, DeleteAsksOnlyForElementsWithChildrenAndTheDocumentElement)
{
    auto w = startWindow();
    w->show();
    openXml(*w, "Route.xml", kRoute);

    // No children: no question.
    click(*w, "nod2");
    w->mnuNodePopUpDelete->trigger();
    EXPECT_EQ(element(*w, "nod2"), nullptr);
    EXPECT_FALSE(w->trevwContents->hasItem("nod2"));
    EXPECT_FALSE(w->TreeDocument.currentIsElement());
    EXPECT_FALSE(w->fraAttribs->isEnabled());
    EXPECT_TRUE(w->windowTitle().endsWith('*'));
    // No element is current now: no popup, and the menu offers no node command.
    EXPECT_FALSE(w->SetNodePopupMenu());
    EXPECT_FALSE(w->mnuNodePopUpNew->isEnabled() || w->mnuNodePopUpDelete->isEnabled());
    w->mnuNodePopUpDelete_Click();
    w->mnuEditCopy_Click();

    // Children: the question, No keeps it, Yes removes it with everything below.
    click(*w, "nod3");
    ui.expectMsgBox(vb::vbNo, "Delete this node and all child nodes?");
    w->mnuNodePopUpDelete_Click();
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbQuestion);
    EXPECT_EQ(ui.lastMessage().title, "Confirm Child Bearing Node");
    EXPECT_NE(element(*w, "nod3"), nullptr);
    ui.expectMsgBox(vb::vbYes);
    w->mnuNodePopUpDelete_Click();
    EXPECT_EQ(element(*w, "nod3"), nullptr);
    EXPECT_EQ(element(*w, "nod5"), nullptr);
    EXPECT_EQ(w->trevwContents->itemCount(), 4);
    expectViewMatchesDocument(*w);

    // The document element.
    click(*w, "nod1");
    ui.expectMsgBox(vb::vbNo, "Deleting this node will remove all entries.");
    w->mnuNodePopUpDelete_Click();
    EXPECT_EQ(ui.lastMessage().text, "Deleting this node will remove all entries. Are you \r\nsure you want to do this?");
    EXPECT_EQ(ui.lastMessage().title, "Confirm Primary node deletion.");
    EXPECT_EQ(w->trevwContents->itemCount(), 4);
    ui.expectMsgBox(vb::vbYes);
    w->mnuNodePopUpDelete_Click();
    EXPECT_EQ(w->trevwContents->itemCount(), 0);
    EXPECT_EQ(w->TreeDocument.NodeKeyCounter, 0);
    EXPECT_EQ(w->TreeDocument.DocumentElement(), nullptr);

    // An empty document offers the one command that starts it again.
    ASSERT_TRUE(w->SetNodePopupMenu());
    EXPECT_EQ(w->mnuNodePopUpNew->text(), "&New Primary Node");
    EXPECT_FALSE(w->mnuNodePopupRename->isEnabled());
    EXPECT_FALSE(w->mnuNodePopUpDelete->isEnabled());
    w->mnuNodePopUpNew_Click();
    ASSERT_NE(w->TreeDocument.DocumentElement(), nullptr);
    EXPECT_EQ(w->TreeDocument.DocumentElement()->NodeKey(), "nod1");
    EXPECT_EQ(w->TreeDocument.DocumentElement()->NodeName(), "PrimaryNode");
    EXPECT_EQ(w->TreeDocument.NodeKeyCounter, 1);
    EXPECT_EQ(w->trevwContents->selectedKey(), "nod1");
    typeLabel(*w, "Fresh");
    w->mnuNodePopUpNew_Click();
    EXPECT_EQ(w->TreeDocument.CurrentNode()->NodeKey(), "nod2");
    expectViewMatchesDocument(*w);
    w->mnuSaveXCT_Click();
    EXPECT_EQ(tree.readFile("game/Route.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                               "<Fresh>\r\n"
                                               " <ChildNode></ChildNode>\r\n"
                                               "</Fresh>\r\n");
}

TEST_F(TreeWindowTest, EveryPasteIsAFreshCopyWithItsWholeSubtreeUnderTheCurrentElement)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kRoute);
    EXPECT_FALSE(w->mnuEditPaste->isEnabled());

    click(*w, "nod3"); // Stations with three children
    w->mnuEditCopy->trigger();
    EXPECT_TRUE(w->mnuEditPaste->isEnabled());
    // Later edits of the source do not reach the copy.
    element(*w, "nod4")->setNodeCharacters("Changed");

    click(*w, "nod7");
    w->mnuEditPaste->trigger();
    w->mnuEditPaste->trigger();
    const clsNodes* pasted = element(*w, "nod7")->ChildNodes();
    ASSERT_EQ(pasted->Count(), 3);
    const clsNode* first = pasted->Item(2);
    const clsNode* second = pasted->Item(3);
    EXPECT_EQ(first->NodeName(), "Stations");
    EXPECT_NE(first->NodeKey(), second->NodeKey());
    EXPECT_EQ(first->ChildNodes()->Item(1)->NodeCharacters(), "Ashby");
    EXPECT_EQ(second->ChildNodes()->Item(3)->NodeAttributes()->Item(1)->AttribValue(), "3");
    // Keys: the clipboard's copy took 10 to 13, the pastes 14 to 17 and 18 to 21.
    EXPECT_EQ(first->NodeKey(), "nod14");
    EXPECT_EQ(second->ChildNodes()->Item(3)->NodeKey(), "nod21");
    EXPECT_EQ(w->TreeDocument.NodeKeyCounter, 21);
    EXPECT_EQ(w->trevwContents->itemCount(), 17);
    EXPECT_TRUE(w->trevwContents->hasItem("nod21"));
    expectViewMatchesDocument(*w);

    // Each copy is its own: changing one leaves the other.
    element(*w, "nod15")->setNodeCharacters("Only here");
    EXPECT_EQ(element(*w, "nod19")->NodeCharacters(), "Ashby");

    // A pasted element's items work like any other.
    click(*w, "nod19");
    EXPECT_EQ(w->txtCharacters->text(), "Ashby");
    w->mnuNodePopUpDelete_Click();
    expectViewMatchesDocument(*w);
    EXPECT_TRUE(w->windowTitle().endsWith('*'));
}

TEST_F(TreeWindowTest, ShowImageAppearsForATextureNameAndExitCloses)
{
    auto w = startWindow(false);
    EXPECT_TRUE(w->Command7->isHidden());
    w->Text1->setText("C:\\Game\\Assets\\wall.bin");
    EXPECT_TRUE(w->Command7->isHidden());
    // Hidden while there is no image viewer to show a texture in.
    w->Text1->setText("C:\\Game\\Assets\\wall.tgpcdx");
    EXPECT_TRUE(w->Command7->isHidden());
    w->Text1->setText("C:\\Game\\Assets\\wall.bin");
    EXPECT_TRUE(w->Command7->isHidden());

    w->show();
    w->mnuFileExit->trigger();
    EXPECT_FALSE(w->isVisible());
    // The shut-down ran: the work folder is there again, empty.
    EXPECT_TRUE(tree.exists("program/TempFiles"));
}
