// The menu bar, the small Options and Help commands, the tool launchers that exist, and the
// text page's surface that other windows use.

#include "WindowTestSupport.h"

#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/TextPageWidget.h"
#include "hub/dlgTime.h"
#include "routes/frmDelRoute.h"
#include "scenarios/frmShowRoutes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QThread>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace

TEST_F(WindowTest, MenuBarInOrderWithTheToolsThatExist)
{
    frmEditor w;
    QStringList titles;
    for (const QAction* a : w.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"Files", "Files", "Nodes", "Search and Replace", "Conversions", "Tools", "Options",
                                   "Help"}));

    EXPECT_EQ(captions(w.mnuFileS),
              (QStringList{"Open RailSim File", "Open .TgPcDx Texture Files", "Open .xml/.cost/.tgt/.proxyxml file", "-",
                           "Save RailSim File", "Save .xml/.cost/.tgt file", "Save .xml As", "-", "Print", "-",
                           "&Exit"}));
    EXPECT_EQ(captions(w.mnuFile), (QStringList{"Open RailSim File", "Save RailSim File",
                                                "Open .xml/.cost/.tgt/.proxyxml file", "Save .xml/.cost/.tgt file",
                                                "Save .xml As", "Exit"}));
    EXPECT_EQ(captions(w.mnuNodePopUp),
              (QStringList{"New Child Node", "Rename Node", "Delete Node", "Copy", "Paste"}));
    EXPECT_EQ(captions(w.mnuConv), (QStringList{"Convert .TgPcDx to .dds", "View .dds File", "Edit .dds File",
                                                "Convert .dds to .TgPcDx", "-", "Convert RS time to hrs/mins"}));
    EXPECT_EQ(captions(w.mnuTools), (QStringList{"Check Routes or Scenarios", "Check Routes.xml file", "-",
                                                 "Edit Scenarios", "Edit Assets", "Loco Folders", "-", "Package Route",
                                                 "Package Scenarios", "Package Assets", "Package Reskins", "-",
                                                 "Add Route Description", "Add Route Loading Picture", "-",
                                                 "Convert  Marker files", "DCSV Precision", "-", "Set Up Developer Folder",
                                                 "Set Up Sub- Folders", "Markers - Named", "Markers - Series",
                                                 "Route Template", "Easy Blueprints", "-", "TgPcDx Viewer"}));
    EXPECT_EQ(captions(w.mnuOpt), (QStringList{"Rail Simulator Path", "Acrobat Reader Path", "Texture Editor Path",
                                               "Viewer Path", "-", "Select Default Editor",
                                               "Use Veltrane Editor this session only",
                                               "Use XML Editor this session only", "-", "Clear Screen",
                                               "Clear Temp Files", "Make all RS files Read/Write"}));
    EXPECT_EQ(captions(w.mnuHelp), (QStringList{"Contents", "About"}));

    // A menu without commands is not offered at all.
    EXPECT_EQ(w.mnuSearch->isEmpty(), !w.mnuSearch->menuAction()->isVisible());
}

TEST_F(WindowTest, ClearTempFilesLeavesAnEmptyWorkFolder)
{
    prepareGame();
    auto w = startWindow();
    tree.writeFile(QStringLiteral("program/TempFiles/Scenario.xml"), "<a/>");
    tree.writeFile(QStringLiteral("program/TempFiles/deeper/and deeper/x.bin"), "x");
    QFile::setPermissions(tree.path(QStringLiteral("program/TempFiles/Scenario.xml")), QFileDevice::ReadOwner);

    w->mnuOpt->actions().at(10)->trigger(); // "Clear Temp Files"

    const QDir temp(tree.path(QStringLiteral("program/TempFiles")));
    EXPECT_TRUE(temp.exists());
    EXPECT_TRUE(temp.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(ui.messages().isEmpty());
    // The rest of the program folder is untouched.
    EXPECT_TRUE(tree.exists(QStringLiteral("program/preferences.txt")));
}

TEST_F(WindowTest, ClearScreenEmptiesThePageAndItsWorkCopy)
{
    prepareGame();
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = tree.readFile(path);
    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    ASSERT_TRUE(tree.exists(QStringLiteral("program/TempFiles/Scenario.xml")));
    ASSERT_FALSE(w->RichTextBox1->text().isEmpty());

    w->mnuClear_Click();
    EXPECT_EQ(w->RichTextBox1->text(), "");
    EXPECT_EQ(w->Text1->text(), "");
    EXPECT_EQ(w->Label2->text(), "");
    EXPECT_FALSE(tree.exists(QStringLiteral("program/TempFiles/Scenario.xml")));
    // The game file's work copy in binary form is not the page's and stays.
    EXPECT_TRUE(tree.exists(QStringLiteral("program/TempFiles/Scenario.bin")));

    // Saving the empty page cannot touch the game file.
    ui.expectMsgBox(vb::vbOK, "nothing to save");
    w->mnuSaveRS_Click();
    EXPECT_EQ(tree.readFile(path), original);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak"));

    // Clearing an empty page is harmless.
    w->mnuClear_Click();
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(WindowTest, ContentsWithoutAReaderAsksForItsPath)
{
    frmEditor w;
    ui.expectMsgBox(vb::vbOK, "Before you can read Help files");
    w.mnuHelp->actions().at(0)->trigger();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "Before you can read Help files, you must set up the path\r\n"
                                      "to your Acrobat Reader in the Options menu.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
}

TEST_F(WindowTest, ContentsStartsTheReaderOnTheHelpFile)
{
    // A reader that writes down what it was asked to open.
    const QString log = tree.path(QStringLiteral("opened.txt"));
    const QString reader = tree.writeFile(QStringLiteral("Reader Folder/reader.sh"),
                                          "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + log.toUtf8() + ".part\"\n"
                                          "mv \"" + log.toUtf8() + ".part\" \"" + log.toUtf8() + "\"\n");
    QFile::setPermissions(reader, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    shared().AcrobatPath = reader;
    EXPECT_EQ(hub::HelpCommandLine(reader),
              "\"" + reader + "\" \"" + platform::programFolder() + "\\Veltrane_Help.pdf\"");

    frmEditor w;
    w.mnuContents_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    // The reader runs on its own; the command does not wait for it.
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(log) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(tree.readFile(log), (tree.programPath() + "/Veltrane_Help.pdf\n").toUtf8());
}

TEST_F(WindowTest, ContentsWithAReaderThatIsGoneSaysSo)
{
    shared().AcrobatPath = tree.path(QStringLiteral("nowhere/AcroRd32.exe"));
    frmEditor w;
    ui.expectMsgBox(vb::vbOK, "could not be started");
    w.mnuContents_Click();
    EXPECT_TRUE(ui.lastMessage().text.contains(shared().AcrobatPath));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
}

TEST_F(WindowTest, ExitOfEitherFilesMenuClosesTheWindow)
{
    prepareGame();
    for (const bool treeMenu : {false, true}) {
        auto w = startWindow();
        w->show();
        w->RichTextBox1->loadText(QStringLiteral("<a/>"));
        if (treeMenu)
            w->mnuFileExit->trigger();
        else
            w->mnuExit->trigger();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->RichTextBox1->text(), treeMenu ? "<a/>" : "");
        // Shut-down ran: the settings were written.
        EXPECT_TRUE(tree.exists(QStringLiteral("program/preferences.txt")));
    }
}

TEST_F(WindowTest, ToolLaunchers)
{
    prepareGame();
    auto w = startWindow();

    w->mnuTime->trigger();
    ASSERT_NE(dlgTime::existing(), nullptr);
    EXPECT_TRUE(dlgTime::existing()->isVisible());
    EXPECT_FALSE(dlgTime::existing()->isModal());

    // The route list in check mode, not modal.
    shared().PackageRouteMode = true;
    w->mnuDelRoute->trigger();
    EXPECT_FALSE(shared().PackageRouteMode);
    frmDelRoute* routes = frmDelRoute::existing();
    ASSERT_NE(routes, nullptr);
    EXPECT_TRUE(routes->isVisible());
    EXPECT_EQ(routes->windowTitle(), "Select Route");
    EXPECT_GT(routes->List1->count(), 0);
    routes->close();

    w->mnuZelvorn->trigger();
    ASSERT_NE(frmShowRoutes::loaded(), nullptr);
    EXPECT_TRUE(frmShowRoutes::loaded()->isVisible());
    frmShowRoutes::unloadBrowser();

    // The Routes.xml check asks for its file first.
    ui.expectOpenFile(QString());
    ui.expectMsgBox(vb::vbOK, "This does not appear to be a Routes.xml file?");
    w->mnuCheckXML->trigger();
    for (const ScriptedUi::Dialog& d : ui.dialogs()) {
        if (d.kind == ScriptedUi::Kind::OpenFile) {
            EXPECT_EQ(d.request.title, "Select .xml file");
        }
    }
}

TEST_F(WindowTest, TextConversionsTellTheUserWhatIsMissing)
{
    frmEditor w;
    ui.expectMsgBox(vb::vbOK, "You do not appear to have opened a .TgPcDx file?");
    w.mnuDDS->trigger();
    ui.expectMsgBox(vb::vbOK, "To view DDS files");
    w.mnuView->trigger();
    ui.expectMsgBox(vb::vbOK, "To edit DDS files");
    w.mnuEditDDS->trigger();
}

TEST_F(WindowTest, RichTextBoxSearchAndSelection)
{
    frmEditor w;
    TextPageWidget& box = *w.RichTextBox1;
    box.loadText(QStringLiteral("Track one\r\ntrack two\r\nsidetrack"));

    // Matches at or after the start position, ignoring case; the match is selected.
    EXPECT_EQ(box.Find(QStringLiteral("TRACK"), 0), 0);
    EXPECT_EQ(box.SelStart(), 0);
    EXPECT_EQ(box.SelLength(), 5);
    EXPECT_EQ(box.Find(QStringLiteral("track"), 1), 10); // a line break counts one
    EXPECT_EQ(box.SelText(), "track");
    EXPECT_EQ(box.Find(QStringLiteral("track"), 11), 24);
    EXPECT_EQ(box.Find(QStringLiteral("track"), 11, -1, TextPageWidget::FindWholeWord), -1);
    EXPECT_EQ(box.SelStart(), 24); // a failed search keeps the selection
    EXPECT_EQ(box.Find(QStringLiteral("track"), 1, 14), -1); // must end by position 14
    EXPECT_EQ(box.Find(QStringLiteral("Track"), 1, -1, TextPageWidget::FindMatchCase), -1);
    EXPECT_EQ(box.Find(QStringLiteral("two"), 100), -1);
    EXPECT_EQ(box.Find(QString(), 0), -1);

    // Replacing the selection keeps the text's own line ends.
    box.setSelStart(10);
    EXPECT_EQ(box.SelLength(), 0);
    box.setSelLength(5);
    EXPECT_EQ(box.SelText(), "track");
    box.setSelText(QStringLiteral("line"));
    EXPECT_EQ(box.SelStart(), 14);
    EXPECT_EQ(box.text(), "Track one\r\nline two\r\nsidetrack");
    box.setSelStart(1000);
    EXPECT_EQ(box.SelStart(), 28);
}
