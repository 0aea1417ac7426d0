// The text page's open, save and print commands, the command-line file, and every failure
// path of the write-back into the game.
#include "EditorTestSupport.h"

#include "hub/HubStartup.h"
#include "hub/TextPageWidget.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include "support/ScopedEnv.h"

namespace {

const QString kOpenRSFilter =
    QStringLiteral("RS Files(*.bin;*.XSec;*.GeoPcDx;*.proxybin)|*.bin;*.XSec*;*.GeoPcDx;*.proxybin");
const QString kXmlFilter = QStringLiteral("XML Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");

// Replaces the first occurrence of a text in the page, as the user would type over it.
void typeOver(TextPageWidget* page, const QString& find, const QString& replacement)
{
    QTextCursor found = page->document()->find(find);
    ASSERT_FALSE(found.isNull()) << find.toStdString();
    found.insertText(replacement);
}

} // namespace

// ---- the command line ----

TEST_F(EditorTest, CommandLineGameFileOpensWithoutADialog)
{
    prepareGame();
    // An ".XSec" file: any game file under another ending converts the same way.
    ASSERT_TRUE(QFile::copy(game(scenarioRel()), game("Track.XSec")));
    const QString path = game("Track.XSec");

    auto w = startWindow("\"" + path + "\"");

    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_EQ(w->Text1->text(), path);
    EXPECT_EQ(w->Label2->text(), path);
    EXPECT_EQ(shared().CurrentFile, path);
    EXPECT_EQ(shared().CurrentFileExt, "XSec");
    EXPECT_FALSE(shared().SkipOpenDialog);
    EXPECT_EQ(w->WorkName, "Track.");
    EXPECT_EQ(w->TreeWorkName, "Track.");
    EXPECT_EQ(w->WorkBase, hub::TempFilesFolder() + "\\Track.");
    EXPECT_EQ(shared().TempXmlPath, hub::TempFilesFolder() + "\\Track.xml");
    // The work copy always ends in "bin"; its XML is what the page shows.
    EXPECT_EQ(tree.readFile("program/TempFiles/Track.bin"), bytesOf(path));
    EXPECT_EQ(tree.readFile("program/TempFiles/Track.xml"), sourceXml(scenarioRel()));
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), sourceXml(scenarioRel()));
    EXPECT_EQ(w->statusPanelCount(), 3);
}

TEST_F(EditorTest, CommandLineXmlFileGoesToBothPages)
{
    prepareGame();
    const QByteArray mixed("<Route>\r\n\t<Name>Valley</Name>\n\t<Gauge>1435</Gauge>\r</Route>");
    const QString path = tree.writeFile("game/Route.proxyxml", mixed);
    QStringList loaded;
    auto w = std::make_unique<frmEditor>();
    w->TreeHooks.LoadXmlFile = [&loaded](const QString& p) { loaded << p; };
    w->setCommandLine(path);
    w->Form_Load();

    EXPECT_TRUE(ui.dialogs().isEmpty());
    EXPECT_EQ(tree.readFile("program/TempFiles/Route.xml"), mixed);
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), mixed);
    EXPECT_EQ(loaded, QStringList{hub::TempFilesFolder() + "\\Route.xml"});
    EXPECT_TRUE(w->TreeLoaded);
    EXPECT_EQ(shared().CurrentFileExt, "proxyxml");
    EXPECT_EQ(w->Text1->text(), path);
}

TEST_F(EditorTest, CommandLineTextureOpensOnTheTextPage)
{
    prepareGame(true);
    ASSERT_TRUE(QFile::copy(game(scenarioRel()), game("Wall.TgPcDx")));

    auto w = startWindow(game("Wall.TgPcDx"));

    EXPECT_EQ(w->SSTab1->currentIndex(), 0);
    EXPECT_FALSE(w->Command7->isHidden()); // "Show Image" for the texture
    EXPECT_EQ(tree.readFile("program/TempDDS/Wall.bin"), bytesOf(game("Wall.TgPcDx")));
    EXPECT_EQ(tree.readFile("program/TempDDS/Wall.xml"), sourceXml(scenarioRel()));
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), sourceXml(scenarioRel()));
    EXPECT_EQ(w->WorkName, "Wall.");
    EXPECT_EQ(w->WorkBase, ""); // the texture open keeps the game file's work names
}

TEST_F(EditorTest, CommandLineFileOfAnotherKindOpensNothing)
{
    prepareGame();
    auto w = startWindow(tree.writeFile("game/notes.txt", "hello"));
    EXPECT_EQ(w->Text1->text(), "");
    EXPECT_EQ(w->RichTextBox1->text(), "");
    EXPECT_FALSE(tree.exists("program/TempFiles/notes.bin"));
    // The next open asks for its file instead of taking notes.txt.
    EXPECT_FALSE(shared().SkipOpenDialog);
    ui.expectOpenFile("");
    w->mnuOpenRS_Click();
}

TEST_F(EditorTest, CommandLineGameFileGoesToTheTreePageWhenItIsTheDefault)
{
    prepareGame(true);
    int treeOpens = 0;
    auto w = std::make_unique<frmEditor>();
    w->TreeHooks.mnuFileOpen_Click = [&treeOpens] { ++treeOpens; };
    w->setCommandLine(game(scenarioRel()));
    w->Form_Load();
    EXPECT_EQ(treeOpens, 1);
    EXPECT_EQ(w->Text1->text(), "");
}

// ---- open and save a game file ----

TEST_F(EditorTest, OpenEditAndSaveAGameFileWithBackups)
{
    prepareGame();
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    QStringList resets;
    w->TreeHooks.PromptSaveAndReset = [&resets](const QString& p) {
        resets << p;
        return true;
    };

    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    const auto request = ui.lastDialog().request;
    EXPECT_EQ(request.title, "Open RailSim file");
    EXPECT_EQ(request.filter, kOpenRSFilter);
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.initDir, tree.gamePath());
    EXPECT_EQ(resets, QStringList{"xml"}); // no work copy before the first open
    EXPECT_FALSE(w->TreeLoaded);
    EXPECT_EQ(w->Text1->text(), path);
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), sourceXml(scenarioRel()));
    EXPECT_EQ(ui.pointerHistory(), (QList<int>{vb::vbHourglass, vb::vbDefault}));

    // Edit, save, and the game holds the edited file with the original as its backup.
    typeOver(w->RichTextBox1, "90047", "90048");
    QStringList statuses;
    const auto panel = w->Status;
    w->Status = [&statuses, panel](const QString& t) {
        statuses << t;
        panel(t);
    };
    w->mnuSaveRS_Click();
    EXPECT_TRUE(ui.messages().isEmpty());
    ASSERT_EQ(statuses.size(), 5);
    EXPECT_EQ(statuses.mid(0, 4), (QStringList{"Deleting " + w->WorkBase + "bin", "Running Serz.exe",
                                               "Making Backup of strBin", "Copying new .bin file"}));
    EXPECT_TRUE(statuses[4].startsWith("Finished at ")) << statuses[4].toStdString();
    EXPECT_EQ(w->statusPanelText(3), statuses[4]);

    QByteArray edited = sourceXml(scenarioRel());
    edited.replace("90047", "90048");
    EXPECT_EQ(xmlOf(path), edited);
    EXPECT_EQ(bytesOf(path + ".bak"), original);

    // A second save adds the next backup.
    const QByteArray firstSave = bytesOf(path);
    typeOver(w->RichTextBox1, "90048", "90049");
    w->mnuSaveRS_Click();
    edited.replace("90048", "90049");
    EXPECT_EQ(xmlOf(path), edited);
    EXPECT_EQ(bytesOf(path + ".bak"), original);
    EXPECT_EQ(bytesOf(path + ".bak1"), firstSave);

    // The next open hands the tree page the old work copy's path.
    ui.expectOpenFile("");
    w->mnuOpenRS_Click();
    EXPECT_EQ(resets.last(), hub::TempFilesFolder() + "\\Scenario.xml");
}

// A game file of another ending: the converted work copy is renamed to that ending before it is
// put in place, the second save of a session over the copy the first one left.
TEST_F(EditorTest, SavingAnXSecRenamesTheWorkCopyAndBacksUpUnderItsOwnName)
{
    prepareGame();
    auto w = startWindow();
    for (const QString& ext : {QStringLiteral("XSec"), QStringLiteral("GeoPcDx")}) {
        SCOPED_TRACE(ext.toStdString());
        const QString name = QStringLiteral("a.") + ext;
        ASSERT_TRUE(QFile::copy(game(scenarioRel()), game(name)));
        tree.writeFile("game/" + name + ".bak", "older backup");
        ui.expectOpenFile(game(name));
        w->mnuOpenRS_Click();

        const struct {
            const char* from;
            const char* to;
            const char* backup; // the name the game file before the save is kept under
        } saves[] = {{"Train", "Loco", ".bak1"}, {"Loco", "Engine", ".bak2"}};
        QByteArray edited = sourceXml(scenarioRel());
        for (const auto& save : saves) {
            const QByteArray before = bytesOf(game(name));
            typeOver(w->RichTextBox1, save.from, save.to);
            w->mnuSaveRS_Click();
            edited.replace(edited.indexOf(save.from), qstrlen(save.from), save.to);

            EXPECT_TRUE(ui.messages().isEmpty()) << ui.lastMessage().text.toStdString();
            EXPECT_FALSE(tree.exists("program/TempFiles/a.bin.bak"));
            EXPECT_EQ(tree.readFile("game/" + name + ".bak"), QByteArray("older backup"));
            EXPECT_EQ(tree.readFile("game/" + name + save.backup), before);
            EXPECT_EQ(tree.readFile("program/TempFiles/" + name), bytesOf(game(name)));
            EXPECT_EQ(xmlOf(game(name)), edited);
        }
    }
}

// ---- failures leave the game file as it was ----

// A serializer that fails, and a text with letters the code page lacks (never saved as "?"):
// the game file stays as it was, with no backup.
TEST_F(EditorTest, AFailedSaveLeavesTheGameFile)
{
    const struct {
        const char* what;
        QString insert;
        QString told;
    } rows[] = {
        // The test serializer refuses a text with this marker and writes nothing.
        {"serializer fails", QStringLiteral("<!--serz:fail-->"), QStringLiteral("SERZ.EXE")},
        {"code page", QStringLiteral("<!--") + unwritableName() + QStringLiteral("-->"),
         QStringLiteral(" cannot hold \"") + platform::firstUnfitAnsi(unwritableName())
             + QStringLiteral("\" in the line\r\n\t<Record><!--") + unwritableName() + QStringLiteral("-->")},
    };
    prepareGame();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    auto w = startWindow();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ui.expectOpenFile(path);
        w->mnuOpenRS_Click();
        typeOver(w->RichTextBox1, "<Record>", QStringLiteral("<Record>") + row.insert);
        ui.expectMsgBox(vb::vbOK, row.told);
        w->mnuSaveRS_Click();
        EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_EQ(ui.lastMessage().title, "Veltrane");
        EXPECT_TRUE(ui.lastMessage().text.endsWith(path + QStringLiteral(" has not been changed.")))
            << ui.lastMessage().text.toStdString();
        EXPECT_EQ(bytesOf(path), original);
        EXPECT_FALSE(QFileInfo::exists(path + ".bak"));
        EXPECT_FALSE(w->statusPanelText(3).startsWith("Finished"));
    }

    // Nor is such a text written by the text page's own saves.
    const QString out = tree.path("out.xml");
    ui.expectSaveFile(out);
    ui.expectMsgBox(vb::vbOK, QStringLiteral("The file ") + out + QStringLiteral(" was not written"));
    w->mnuSavexml_Click();
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(EditorTest, NoFreeBackupNameLeavesTheGameFile)
{
    prepareGame();
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    tree.writeFile(path + ".bak", "b");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(path + ".bak" + QString::number(n), "b");
    ui.expectOpenFile(path);
    w->mnuOpenRS_Click();
    typeOver(w->RichTextBox1, "90047", "1");

    ui.expectMsgBox(vb::vbOK, "backup");
    w->mnuSaveRS_Click();
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_EQ(bytesOf(path + ".bak50"), QByteArray("b"));
    EXPECT_FALSE(w->statusPanelText(3).startsWith("Finished"));
}

TEST_F(EditorTest, FailedRenameOfTheWorkCopyLeavesTheGameFile)
{
    prepareGame();
    ASSERT_TRUE(QFile::copy(game(scenarioRel()), game("b.XSec")));
    const QByteArray original = bytesOf(game("b.XSec"));
    auto w = startWindow();
    ui.expectOpenFile(game("b.XSec"));
    w->mnuOpenRS_Click();
    // A folder stands where the converted file is to be renamed to.
    tree.writeFile("program/TempFiles/b.XSec/in the way", "x");

    ui.expectMsgBox(vb::vbOK, "could not be renamed");
    w->mnuSaveRS_Click();
    EXPECT_EQ(bytesOf(game("b.XSec")), original);
    EXPECT_FALSE(tree.exists("game/b.XSec.bak"));
    EXPECT_FALSE(w->statusPanelText(3).startsWith("Finished"));
}

TEST_F(EditorTest, FailedOpenIsReportedAndCannotBeSaved)
{
    prepareGame();
    auto w = startWindow();
    const QString path = game(scenarioRel());
    const QByteArray original = bytesOf(path);
    {
        ScopedEnv fail("SERZ_FAIL", "Scenario.bin");
        ui.expectOpenFile(path);
        ui.expectMsgBox(vb::vbOK, "SERZ.EXE");
        w->mnuOpenRS_Click();
    }
    EXPECT_EQ(w->RichTextBox1->text(), "");
    ui.expectMsgBox(vb::vbOK, "nothing to save");
    w->mnuSaveRS_Click();
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak"));
}

TEST_F(EditorTest, SaveRailSimFileIsRefusedForAnXmlFileOrNothing)
{
    prepareGame();
    auto w = startWindow();
    ui.expectMsgBox(vb::vbOK, "nothing to save");
    w->mnuSaveRS_Click();

    const QString xmlPath = tree.writeFile("game/Notes.xml", "<a>1</a>\r\n");
    ui.expectOpenFile(xmlPath);
    w->mnuXML_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Open .xml file");
    EXPECT_EQ(ui.lastDialog().request.filter, kXmlFilter);
    EXPECT_EQ(ui.lastDialog().request.initDir, tree.gamePath());

    typeOver(w->RichTextBox1, "1", "2");
    ui.expectMsgBox(vb::vbOK, "XML file");
    w->mnuSaveRS_Click();
    EXPECT_EQ(tree.readFile("game/Notes.xml"), QByteArray("<a>1</a>\r\n"));
    EXPECT_FALSE(tree.exists("program/TempFiles/Notes.bin"));
    EXPECT_EQ(tree.readFile("program/TempFiles/Notes.xml"), QByteArray("<a>1</a>\r\n"));
}

// ---- commands wait for a running conversion ----

TEST_F(EditorTest, CommandsAreDisabledWhileAConversionRuns)
{
    prepareGame();
    auto w = startWindow();
    ScopedEnv slow("SERZ_DELAY_MS", "600");
    bool menuEnabled = true, busy = false, closed = true;
    QTimer::singleShot(150, w.get(), [&] {
        menuEnabled = w->menuBar()->isEnabled();
        busy = w->isBusy();
        w->mnuOpenRS_Click(); // ignored: no dialog, no second conversion
        w->mnuSaveRS_Click(); // ignored as well
        closed = w->close();
    });
    ui.expectOpenFile(game(scenarioRel()));
    w->mnuOpenRS_Click();

    EXPECT_FALSE(menuEnabled);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(w->menuBar()->isEnabled());
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), sourceXml(scenarioRel()));
    EXPECT_TRUE(tree.exists("program/TempFiles/Scenario.xml")); // not emptied by a shut-down
}

// ---- text files ----

TEST_F(EditorTest, TextIsSavedAsLoadedPlusEdits)
{
    prepareGame();
    auto w = startWindow();
    const QByteArray mixed("<a>\r\n<b>1</b>\n<c>\xe9\xa0</c>\r<d/>\r\n");
    const QString xmlPath = tree.writeFile("game/Mixed.cost", mixed);
    ui.expectOpenFile(xmlPath);
    // The tree page reads XML as UTF-8 and reports the ANSI letters; the text page holds the file.
    ui.expectMsgBox(vb::vbOK, "Unable to read the file");
    w->mnuXML_Click();

    const QString out = tree.path("out/copy.xml");
    QDir().mkpath(tree.path("out"));
    ui.expectSaveFile(out);
    w->mnuSavexml_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Save .xml format files");
    EXPECT_EQ(ui.lastDialog().request.filter,
              "xml Files (*.xml;*.cost;*.tgt;*.proxyxml)|*.xml;*.cost;*.tgt;*.proxyxml");
    EXPECT_EQ(ui.lastDialog().request.initDir, hub::TempFilesFolder());
    EXPECT_EQ(tree.readFile("out/copy.xml"), mixed);

    typeOver(w->RichTextBox1, "<d/>", "<d>new</d>");
    ui.expectSaveFile(tree.path("out/copy.krs"));
    w->mnuSaveAs_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Save KRS format files");
    EXPECT_EQ(ui.lastDialog().request.filter, "KRS Files (*.*)|*.*");
    EXPECT_EQ(tree.readFile("out/copy.krs"), QByteArray("<a>\r\n<b>1</b>\n<c>\xe9\xa0</c>\r<d>new</d>\r\n"));

    ui.expectSaveFile("");
    w->mnuSaveAs_Click();
    EXPECT_EQ(QDir(tree.path("out")).count(), 4u); // ".", ".." and the two files
}

TEST_F(EditorTest, PrintRemovesTabsAndPrintsToTheChosenPrinter)
{
    prepareGame();
    auto w = startWindow();
    ui.expectOpenFile(game(scenarioRel()));
    w->mnuOpenRS_Click();
    QByteArray untabbed = sourceXml(scenarioRel());
    untabbed.replace('\t', "");

    // Cancelled: the tabs are gone all the same, nothing is printed.
    bool offeredSelection = true;
    w->setPrintDialog([&](QPrinter&, bool hasSelection) {
        offeredSelection = hasSelection;
        return false;
    });
    w->mnuPrint_Click();
    EXPECT_FALSE(offeredSelection);
    EXPECT_EQ(platform::encodeAnsi(w->RichTextBox1->text()), untabbed);

    const QString pdf = tree.path("print.pdf");
    QPrinter::PrintRange range = QPrinter::AllPages;
    w->setPrintDialog([&](QPrinter& printer, bool hasSelection) {
        offeredSelection = hasSelection;
        range = printer.printRange();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QTextCursor selection(w->RichTextBox1->document());
    selection.setPosition(0);
    selection.setPosition(40, QTextCursor::KeepAnchor);
    w->RichTextBox1->setTextCursor(selection);
    w->mnuPrint_Click();
    EXPECT_TRUE(offeredSelection);
    EXPECT_EQ(range, QPrinter::Selection);
    const QByteArray printed = tree.readFile("print.pdf");
    EXPECT_TRUE(printed.startsWith("%PDF"));
    EXPECT_GT(printed.size(), 500);
}
