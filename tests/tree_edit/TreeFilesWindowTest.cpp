// The tree page's Files menu: XML files opened, saved and saved under another name, and
// game files converted through the serializer and written back with a backup.

#include "TreeWindowFixture.h"

#include "hub/TextPageWidget.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include "support/ScopedEnv.h"

namespace {

const QByteArray kSmall = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<Route>\r\n"
                          " <Name>Valley</Name>\r\n"
                          "</Route>\r\n";

// The name of the document's element; "" when no document was read (a failed open).
QString rootName(XmlTreeDocument& document)
{
    clsNode* root = document.DocumentElement();
    return root ? root->NodeName() : QString();
}

} // namespace

TEST_F(TreeWindowTest, OpenXmlAsksWhatToLoadAndShowsItOnBothPages)
{
    auto w = startWindow();
    const QString path = openXml(*w, "Route.xml", kSmall);
    const ScriptedUi::Dialog d = ui.lastDialog();
    EXPECT_EQ(d.request.title, "Select file to load");
    EXPECT_EQ(d.request.filter, "XML Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");

    EXPECT_EQ(w->TreeDocument.TreeFileName, path);
    EXPECT_EQ(shared().CurrentFile, path);
    EXPECT_EQ(w->Text1->text(), path);
    EXPECT_EQ(w->Label2->text(), path);
    EXPECT_EQ(w->trevwContents->itemCount(), 2);
    EXPECT_EQ(w->RichTextBox1->text().toUtf8(), kSmall);
    EXPECT_TRUE(w->mnuFileSaveAs->isEnabled());
    EXPECT_TRUE(w->mnuFileSave->isEnabled()); // follows TreeHasFile; the command itself refuses
    EXPECT_FALSE(w->treeGameOrigin().isSet());
    EXPECT_TRUE(ui.messages().isEmpty());

    // Cancelled dialog: nothing changes.
    ui.expectOpenFile("");
    w->mnuOpenXCT_Click();
    EXPECT_EQ(w->TreeDocument.TreeFileName, path);

    // A modified document: Cancel keeps it as it was, No discards it, Yes saves it first.
    ASSERT_NE(w->TreeDocument.DocumentElement(), nullptr);
    w->TreeDocument.DocumentElement()->setNodeName("Changed");
    w->TreeDocument.SetModified(true);
    const QString other = tree.writeFile("game/Other.xml", "<Other/>");
    ui.expectOpenFile(other);
    ui.expectMsgBox(vb::vbCancel, "The current file has been modified.");
    w->mnuOpenXCT_Click();
    EXPECT_EQ(w->TreeDocument.TreeFileName, path);
    EXPECT_EQ(rootName(w->TreeDocument), "Changed");
    EXPECT_EQ(w->trevwContents->itemCount(), 2);
    EXPECT_TRUE(w->TreeDocument.TreeModified);

    ui.expectOpenFile(other);
    ui.expectMsgBox(vb::vbYes);
    w->mnuOpenXCT_Click();
    EXPECT_TRUE(tree.readFile("game/Route.xml").contains("<Changed>"));
    EXPECT_EQ(rootName(w->TreeDocument), "Other");
    EXPECT_FALSE(w->TreeDocument.TreeModified);
}

TEST_F(TreeWindowTest, CommandLineXmlSkipsTheDialogOnceOnly)
{
    EXPECT_TRUE(copySampleGame(tree.gamePath()));
    const QString path = tree.writeFile("game/Route.xml", kSmall);
    PreferencesRecord rec;
    rec.Width = 16800;
    rec.Height = 12600;
    rec.GamePath = tree.gamePath();
    rec.XmlEditorDefault = true;
    tree.writeFile("program/preferences.txt", FormatPreferences(rec));
    frmEditor w;
    w.setCommandLine(path);
    w.Form_Load();
    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_EQ(w.TreeDocument.TreeFileName, path);
    EXPECT_EQ(w.trevwContents->itemCount(), 2);
    EXPECT_FALSE(shared().SkipOpenDialog);

    ui.expectOpenFile("");
    w.mnuOpenXCT_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Select file to load");
}

TEST_F(TreeWindowTest, SaveAsAsksBeforeReplacingAFile)
{
    auto w = startWindow();
    openXml(*w, "Route.xml", kSmall);
    const QString target = tree.writeFile("game/Copy.xml", "keep me");
    ui.clearRecords();

    ui.expectSaveFile(target);
    ui.expectMsgBox(vb::vbNo, "A file by that name already exists.");
    w->mnuFileSaveAs_Click();
    EXPECT_EQ(ui.dialogs().first().request.title, "Select Filename to Save As...");
    EXPECT_EQ(ui.dialogs().first().request.filter,
              "xml Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
    EXPECT_EQ(ui.lastMessage().text, "A file by that name already exists. Do you wish\r\nto overwrite the file?");
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbQuestion);
    EXPECT_EQ(ui.lastMessage().title, "File Already Exists");
    EXPECT_EQ(tree.readFile("game/Copy.xml"), "keep me");

    ui.expectSaveFile(target);
    ui.expectMsgBox(vb::vbYes);
    w->mnuFileSaveAs_Click();
    EXPECT_EQ(tree.readFile("game/Copy.xml"), kSmall);
    EXPECT_EQ(w->TreeDocument.TreeFileName, target);

    // A new name asks nothing; a save that fails keeps the old name.
    ui.expectSaveFile(tree.path("game/New.xml"));
    w->mnuFileSaveAs_Click();
    EXPECT_EQ(tree.readFile("game/New.xml"), kSmall);
    ui.expectSaveFile(tree.path("game/no such folder/X.xml"));
    ui.expectMsgBox(vb::vbOK, "Unable to save the file: ");
    w->mnuFileSaveAs_Click();
    EXPECT_EQ(w->TreeDocument.TreeFileName, tree.path("game/New.xml"));
}

TEST_F(TreeWindowTest, OpenGameFileConvertsItIntoTheTreeAndTheTextPage)
{
    auto w = startWindow();
    const QString path = game(scenarioRel());
    openGame(*w, path);
    const ScriptedUi::Dialog d = ui.lastDialog();
    EXPECT_EQ(d.request.title, "Open RailSim file");
    EXPECT_EQ(d.request.filter, "RS Files(*.bin;*.XSec;*.GeoPcDx;*.proxybin)|*.bin;*.XSec*;*.GeoPcDx;*.proxybin");
    EXPECT_EQ(d.request.initDir, tree.gamePath());
    EXPECT_TRUE(ui.messages().isEmpty());

    const QString workXml = w->WorkBase + "xml";
    EXPECT_EQ(w->TreeDocument.TreeFileName, workXml);
    EXPECT_EQ(w->WorkName, "Scenario.");
    EXPECT_EQ(shared().CurrentFileExt, "bin");
    EXPECT_EQ(w->Text1->text(), path);
    EXPECT_EQ(rootName(w->TreeDocument), "cRecordSet");
    EXPECT_GT(w->trevwContents->itemCount(), 10);
    EXPECT_EQ(w->RichTextBox1->text().toUtf8(), bytesOf(workXml));
    EXPECT_EQ(w->treeGameOrigin().gameFile, path);
    EXPECT_TRUE(w->mnuFileSave->isEnabled());
    EXPECT_EQ(ui.mousePointer(), vb::vbDefault);
    EXPECT_TRUE(ui.pointerHistory().contains(vb::vbHourglass));
    // Showing the tree page again keeps this document.
    w->SSTab1->setCurrentIndex(0);
    w->SSTab1->setCurrentIndex(1);
    EXPECT_EQ(w->TreeDocument.TreeFileName, workXml);
}

TEST_F(TreeWindowTest, OpenGameFileAsksToSaveBeforeItConvertsAnything)
{
    auto w = startWindow();
    openGame(*w, game(scenarioRel()));
    const QString firstWork = w->TreeDocument.TreeFileName;
    ASSERT_NE(w->TreeDocument.DocumentElement(), nullptr);
    w->TreeDocument.DocumentElement()->setNodeName("EditedFirst");
    w->TreeDocument.SetModified(true);

    // Cancel: nothing of the second file is copied or converted.
    ui.expectOpenFile(game(tracksRel()));
    ui.expectMsgBox(vb::vbCancel, "The current file has been modified.");
    w->mnuFileOpen_Click();
    EXPECT_FALSE(tree.exists("program/TempFiles/Tracks.bin"));
    EXPECT_FALSE(tree.exists("program/TempFiles/Tracks.xml"));
    EXPECT_EQ(rootName(w->TreeDocument), "EditedFirst");
    EXPECT_EQ(w->TreeDocument.TreeFileName, firstWork);

    // Yes for a file whose work copy has the same name: the old document is saved first,
    // and the tree then shows the new file, not the old document.
    ui.expectOpenFile(game(otherScenarioRel()));
    ui.expectMsgBox(vb::vbYes);
    w->mnuFileOpen_Click();
    EXPECT_EQ(w->TreeDocument.TreeFileName, firstWork);
    EXPECT_EQ(rootName(w->TreeDocument), "cRecordSet");
    EXPECT_EQ(bytesOf(firstWork), xmlOf(game(otherScenarioRel())));
    EXPECT_EQ(w->treeGameOrigin().gameFile, game(otherScenarioRel()));
}

TEST_F(TreeWindowTest, SaveGameFileConvertsTheTreeBackWithABackup)
{
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    openGame(*w, path);
    click(*w, firstLeafKey(*w));
    const QString name = w->TreeDocument.CurrentNode()->NodeName();
    w->TreeDocument.CurrentNode()->setNodeCharacters("Changed by the tree");
    w->TreeDocument.SetModified(true);

    w->mnuFileSave->trigger();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(bytesOf(path + ".bak"), original);
    const QByteArray saved = xmlOf(path);
    EXPECT_TRUE(saved.contains("Changed by the tree</" + name.toUtf8() + ">")) << saved.left(600).constData();
    // The line check ran over the work copy: tab indentation.
    EXPECT_TRUE(saved.contains("\r\n\t<Record>")) << saved.left(600).constData();
    EXPECT_FALSE(w->TreeDocument.TreeModified);
    EXPECT_EQ(w->statusPanelText(3), "");

    // A second save keeps the first backup and numbers the next.
    w->mnuFileSave_Click();
    EXPECT_EQ(bytesOf(path + ".bak"), original);
    EXPECT_TRUE(QFileInfo::exists(path + ".bak1"));
}

TEST_F(TreeWindowTest, SaveGameFileKeepsTextsTheLineCheckWouldCut)
{
    auto w = startWindow();
    const QString path = game(tracksRel());
    openGame(*w, path);
    click(*w, "nod9"); // DevString
    ASSERT_EQ(w->TreeDocument.CurrentNode()->NodeName(), "DevString");
    // A text over two lines, and a letter whose first UTF-8 byte reads as an accented one.
    const QString text = QStringLiteral("line one\nline two ") + QChar(0x04D3);
    w->TreeDocument.CurrentNode()->setNodeCharacters(text);
    w->mnuFileSave_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(path + ".bak"));
    // The line check was left out, so the text came through whole (its line break written as
    // the file's line end).
    const QByteArray saved = xmlOf(path);
    EXPECT_TRUE(saved.contains("line one\r\nline two \xd3\x93</DevString>")) << saved.constData();
    EXPECT_FALSE(saved.contains("\r\n\t<Record>"));
}

TEST_F(TreeWindowTest, SaveGameFileWithAnotherExtensionAfterSaveAs)
{
    auto w = startWindow();
    const QString scenario = game(scenarioRel());
    const QString path = game("Track.XSec");
    ASSERT_TRUE(QFile::copy(scenario, path));
    openGame(*w, path);
    EXPECT_EQ(shared().CurrentFileExt, "XSec");

    // Saved under another name first: the game file still gets the document as it stands.
    ui.expectSaveFile(tree.path("game/Mine.xml"));
    w->mnuFileSaveAs_Click();
    click(*w, firstLeafKey(*w));
    w->TreeDocument.CurrentNode()->setNodeCharacters("After save as");
    w->mnuFileSave_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_TRUE(xmlOf(path).contains("After save as"));
    EXPECT_EQ(bytesOf(path + ".bak"), bytesOf(scenario));
    EXPECT_TRUE(tree.readFile("game/Mine.xml").contains("After save as"));
    EXPECT_EQ(w->TreeDocument.TreeFileName, tree.path("game/Mine.xml"));
}

TEST_F(TreeWindowTest, SaveGameFileIsRefusedForAnyOtherDocument)
{
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);

    // A new document.
    ui.expectMsgBox(vb::vbOK, "was not converted from a RailSim file");
    w->mnuFileSave_Click();
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);

    // An XML file opened after a game file: neither the XML file nor the game file is
    // converted over.
    openGame(*w, path);
    const QString xml = openXml(*w, "Route.xml", kSmall);
    ui.expectMsgBox(vb::vbOK, "was not converted from a RailSim file");
    w->mnuFileSave_Click();
    // The text page shows the XML file too, and its game-file save refuses it as well.
    ui.expectMsgBox(vb::vbOK, "opened as an XML file");
    w->mnuSaveRS_Click();
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_EQ(bytesOf(xml), kSmall);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak"));
    EXPECT_FALSE(QFileInfo::exists(xml + ".bak"));

    // The text page's XML open puts an XML file in the tree as well.
    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    ui.expectOpenFile(xml);
    w->mnuXML_Click();
    ui.expectMsgBox(vb::vbOK, "was not converted from a RailSim file");
    w->mnuFileSave_Click();
    EXPECT_EQ(bytesOf(path), original);
}

TEST_F(TreeWindowTest, TheTextPagesWorkCopyInTheTreeSavesIntoItsGameFile)
{
    auto w = startWindow(false);
    const QString path = game(scenarioRel());
    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    // A texture opened afterwards changes the file name box, not the tree's game file.
    w->SSTab1->setCurrentIndex(1);
    ASSERT_TRUE(w->treeGameOrigin().isSet());
    w->Text1->setText(game("Other.bin"));
    click(*w, firstLeafKey(*w));
    w->TreeDocument.CurrentNode()->setNodeCharacters("From the tree page");
    w->mnuFileSave_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_TRUE(xmlOf(path).contains("From the tree page"));
    EXPECT_FALSE(QFileInfo::exists(game("Other.bin")));
}

TEST_F(TreeWindowTest, AFailedConversionLeavesTheGameFileAndKeepsTheChangesMarked)
{
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    openGame(*w, path);
    click(*w, firstLeafKey(*w));
    w->TreeDocument.CurrentNode()->setNodeCharacters("Not saved");
    w->TreeDocument.SetModified(true);

    {
        ScopedEnv fail("SERZ_FAIL", "Scenario.xml");
        ui.expectMsgBox(vb::vbOK, "Scenario.bin has not been changed.");
        w->mnuFileSave_Click();
    }
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak"));
    EXPECT_TRUE(w->TreeDocument.TreeModified);
    EXPECT_TRUE(w->windowTitle().endsWith('*'));

    // A failed open reports why and leaves an empty tree.
    {
        ScopedEnv fail("SERZ_FAIL", "Tracks.bin");
        ui.expectOpenFile(game(tracksRel()));
        ui.expectMsgBox(vb::vbYes, "The current file has been modified.");
        ui.expectMsgBox(vb::vbOK, "SERZ.EXE");
        w->mnuFileOpen_Click();
    }
    EXPECT_EQ(w->trevwContents->itemCount(), 0);
    EXPECT_FALSE(w->treeGameOrigin().isSet());
    ui.expectMsgBox(vb::vbOK, "was not converted from a RailSim file");
    w->mnuFileSave_Click();
}

TEST_F(TreeWindowTest, TextPageXmlOpenOffersToSaveTheTreesEdits)
{
    auto w = startWindow(false);
    const QString xmlFile = tree.writeFile(QStringLiteral("game/Notes.xml"), "<?xml version=\"1.0\"?>\r\n<Notes/>\r\n");
    openGame(*w, game(scenarioRel()));
    ASSERT_NE(w->TreeDocument.DocumentElement(), nullptr);
    w->TreeDocument.DocumentElement()->setNodeName("EditedFirst");
    w->TreeDocument.SetModified(true);
    const QByteArray pageBefore = w->RichTextBox1->text().toLatin1();

    // Cancel keeps the edited document and the text page as they were.
    ui.expectOpenFile(xmlFile);
    ui.expectMsgBox(vb::vbCancel, "The current file has been modified.");
    w->mnuXML_Click();
    EXPECT_EQ(rootName(w->TreeDocument), "EditedFirst");
    EXPECT_TRUE(w->TreeDocument.TreeModified);
    EXPECT_EQ(w->RichTextBox1->text().toLatin1(), pageBefore);

    // No drops the edits and loads the file on both pages.
    ui.expectOpenFile(xmlFile);
    ui.expectMsgBox(vb::vbNo, "The current file has been modified.");
    w->mnuXML_Click();
    EXPECT_EQ(rootName(w->TreeDocument), "Notes");
    EXPECT_TRUE(w->RichTextBox1->text().contains(QStringLiteral("<Notes/>")));
}
