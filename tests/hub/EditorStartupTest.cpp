// The main window's start-up, settings, options and shut-down.
#include "EditorTestSupport.h"

#include "hub/HubStartup.h"
#include "hub/frmAbout.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString kCaptionStart = QStringLiteral("Veltrane  Version 4.1.52   Rail Simulator path in use is - ");

QByteArray preferencesTail(const QString& gamePath, bool xmlDefault = false)
{
    // The settings file is in the ANSI code page, and so is the test's own folder in it.
    return platform::encodeAnsi(QStringLiteral(",\"\",\"\",\"%1\",%2,\"\",\"\"\r\n")
                                    .arg(gamePath, xmlDefault ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#")));
}

} // namespace

// ---- start-up ----

TEST_F(EditorTest, FirstStartAsksForTheGameAndWritesTheSettings)
{
    ASSERT_TRUE(installSerz(tree.gamePath()));
    ui.expectOpenFile(tree.gamePath() + "/RailSim.exe");

    auto w = startWindow();

    const auto request = ui.dialogs().at(0).request;
    EXPECT_EQ(request.title, "Select your RailSim.exe File");
    EXPECT_EQ(request.filter, "RailSim Files (*.exe)|*.exe");
    EXPECT_EQ(request.filterIndex, 1);

    EXPECT_EQ(shared().GamePath, tree.gamePath());
    const QByteArray prefs = tree.readFile("program/preferences.txt");
    // The window's design size, as it was never resized.
    EXPECT_TRUE(prefs.startsWith(QByteArray::number(hub::DesignWindowWidth) + ','
                                 + QByteArray::number(hub::DesignWindowHeight) + ','))
        << prefs.constData();
    EXPECT_TRUE(prefs.endsWith(preferencesTail(tree.gamePath()))) << prefs.constData();

    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), tree.readFile("game/serz.exe"));
    EXPECT_TRUE(QFileInfo(tree.path("program/TempFiles")).isDir());
    EXPECT_EQ(w->windowTitle(), kCaptionStart + tree.gamePath());

    ASSERT_EQ(w->statusPanelCount(), 3);
    EXPECT_EQ(w->statusPanelText(1), "Processing");
    EXPECT_EQ(w->statusPanelKey(1), "Processing");
    EXPECT_EQ(w->statusPanelKey(2), "Time panel");
    EXPECT_FALSE(w->statusPanelText(2).isEmpty());
    EXPECT_EQ(w->statusPanelText(3), "");
    EXPECT_EQ(w->SSTab1->currentIndex(), 0);
    EXPECT_FALSE(w->mnuEditCopy->isEnabled());
    EXPECT_FALSE(w->mnuFile->menuAction()->isVisible());
    EXPECT_TRUE(w->mnuFileS->menuAction()->isVisible());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(EditorTest, SerzNowhereStopsStartUpWithTheMessage)
{
    writePreferences(tree.gamePath());
    tree.writeFile("game/x.bin", "not opened");
    ui.expectMsgBox(vb::vbOK, "SERZ.EXE");

    auto w = startWindow(game("x.bin"));

    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "The required file SERZ.EXE could not be found on your system. It is required to "
                                     "run this program, see the Help file for details.");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    // The rest of start-up did not run: the caption is the one the tree page's new
    // document gave the window.
    EXPECT_EQ(w->windowTitle(), "XML File Editor - ");
    EXPECT_EQ(w->statusPanelCount(), 1);
    EXPECT_EQ(w->Text1->text(), "");
}

TEST_F(EditorTest, CancelledGameDialogGoesOnWithAnEmptyGameFolder)
{
    ASSERT_TRUE(installSerz(tree.systemPath()));
    ui.expectOpenFile("");

    auto w = startWindow();

    EXPECT_EQ(shared().GamePath, "");
    EXPECT_FALSE(tree.exists("program/preferences.txt"));
    EXPECT_EQ(w->windowTitle(), kCaptionStart);
    EXPECT_EQ(w->statusPanelCount(), 3);
}

TEST_F(EditorTest, GameFolderFromTheRegistryThroughTheWineDrive)
{
    tree.writeFile("wine/system.reg", "WINE REGISTRY Version 2\n\n"
                                      "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1700000000\n"
                                      "@=\"C:\\\\Program Files\\\\Rail Simulator\"\n");
    tree.writeFile("wine/drive_c/Program Files/Rail Simulator/serz.exe", "from the game");

    auto w = startWindow();

    EXPECT_EQ(shared().GamePath, "C:\\Program Files\\Rail Simulator");
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), QByteArray("from the game"));
    EXPECT_EQ(w->windowTitle(), kCaptionStart + "C:\\Program Files\\Rail Simulator");
}

TEST_F(EditorTest, KeyWithoutDefaultValueFallsBackToTheStandardExecutable)
{
    tree.writeFile("wine/system.reg", "WINE REGISTRY Version 2\n\n"
                                      "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1700000000\n"
                                      "\"Version\"=\"1.0\"\n");
    tree.writeFile("wine/drive_c/Program Files/Rail Simulator/RailSim.exe", "MZ");
    tree.writeFile("wine/drive_c/Program Files/Rail Simulator/Packager/serz.exe", "packager serz");

    auto w = startWindow();

    // Neither a silent end nor a question: the standard installation is the game folder.
    EXPECT_EQ(shared().GamePath, "c:\\program files\\rail simulator");
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), QByteArray("packager serz"));
    EXPECT_EQ(w->windowTitle(), kCaptionStart + "c:\\program files\\rail simulator");
    EXPECT_EQ(w->statusPanelCount(), 3);
}

TEST_F(EditorTest, FailedCopyOfSerzIsReported)
{
    tree.writeFile("game/serz.exe", "serz");
    writePreferences(tree.gamePath());
    // The system folder's place is taken by a file, so nothing can be copied into it.
    QDir(tree.systemPath()).removeRecursively();
    tree.writeFile("program/System32", "a file");
    ui.expectMsgBox(vb::vbOK, "SERZ.EXE could not be copied");

    auto w = startWindow();

    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(w->windowTitle(), "XML File Editor - ");
}

// ---- settings ----

TEST_F(EditorTest, SettingsAreReadAndWrittenBackByteForByte)
{
    ASSERT_TRUE(installSerz(tree.gamePath()));
    PreferencesRecord rec;
    rec.Width = 9000;
    rec.Height = 6000;
    rec.Top = 600;
    rec.Left = 1200;
    rec.TextureEditorPath = "C:\\Paint\\paint.exe";
    rec.ViewerPath = "C:\\View\\v.exe";
    rec.GamePath = tree.gamePath();
    rec.XmlEditorDefault = true;
    rec.Reserved = "reserved, kept";
    rec.AcrobatPath = "C:\\Acro\\AcroRd32.exe";
    const QByteArray file = FormatPreferences(rec);
    tree.writeFile("program/preferences.txt", file);
    tree.writeFile("program/TempFiles/left over.xml", "x");
    tree.writeFile("program/TempFiles/sub/deeper.bin", "y");

    auto w = startWindow();
    EXPECT_EQ(w->frameGeometry(), QRect(80, 40, 600, 400));
    EXPECT_EQ(shared().TextureEditorPath, "C:\\Paint\\paint.exe");
    EXPECT_EQ(shared().AcrobatPath, "C:\\Acro\\AcroRd32.exe");
    EXPECT_TRUE(shared().XmlEditorDefault);
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);

    EXPECT_TRUE(w->close());
    EXPECT_EQ(tree.readFile("program/preferences.txt"), file);
    // The work folder is there again, empty.
    EXPECT_TRUE(QFileInfo(tree.path("program/TempFiles")).isDir());
    EXPECT_TRUE(QDir(tree.path("program/TempFiles")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(EditorTest, ShortSettingsFileKeepsTheWindowSize)
{
    ASSERT_TRUE(installSerz(tree.systemPath()));
    tree.writeFile("program/preferences.txt", "15,30\r\n");
    ui.expectOpenFile("");

    auto w = startWindow();
    EXPECT_EQ(w->frameGeometry().size(), QSize(hub::DesignWindowWidth / TwipsPerPixel,
                                               hub::DesignWindowHeight / TwipsPerPixel));
    EXPECT_EQ(w->statusPanelCount(), 3); // start-up went on
}

TEST_F(EditorTest, OversizedWindowIsClampedWhenSaved)
{
    prepareGame();
    auto w = startWindow();
    w->move(-3000, 10);
    w->resize(3000, 2500);
    EXPECT_TRUE(w->close());
    const QByteArray prefs = tree.readFile("program/preferences.txt");
    EXPECT_TRUE(prefs.startsWith("32767,32767,150,-32768,\"\",\"\",\"")) << prefs.constData();
    EXPECT_TRUE(prefs.endsWith(preferencesTail(tree.gamePath()))) << prefs.constData();
}

// ---- options ----

TEST_F(EditorTest, GameFolderPickerSavesAtOnce)
{
    prepareGame();
    auto w = startWindow();
    ui.expectOpenFile("D:\\Games\\Rail Simulator\\RailSim.exe");
    w->mnuRSPath_Click();

    EXPECT_EQ(shared().GamePath, "D:\\Games\\Rail Simulator");
    EXPECT_EQ(w->windowTitle(), "RS bin file editor and texture viewer  Version 4.1.52   Rail Simulator path in use is - "
                                "D:\\Games\\Rail Simulator");
    EXPECT_EQ(tree.readFile("program/preferences.txt"),
              QByteArray("9000,6000,600,1200") + preferencesTail("D:\\Games\\Rail Simulator"));

    // Cancelled: nothing changes.
    ui.expectOpenFile("");
    w->mnuRSPath_Click();
    EXPECT_EQ(shared().GamePath, "D:\\Games\\Rail Simulator");
}

TEST_F(EditorTest, AGameFolderTheCodePageCannotHoldIsToldAndNeverReplacesTheSettings)
{
    prepareGame();
    const QByteArray before = tree.readFile("program/preferences.txt");
    auto w = startWindow();
    // A home folder named in a language the code page does not write.
    const QString folder = unwritableFolder(QStringLiteral("/home"));
    const QString told = QStringLiteral("The settings could not be written to ") + hub::PreferencesPath()
                         + QStringLiteral(".\r\nThe path ") + folder + QStringLiteral("/Rail Simulator cannot be written in the system's "
                         "code page (") + platform::ansiCodePageName() + QStringLiteral("): it holds \"")
                         + platform::firstUnfitAnsi(folder) + QStringLiteral("\".\r\nThe settings file has not been changed.");
    ui.expectOpenFile(folder + QStringLiteral("/Rail Simulator/RailSim.exe"));
    ui.expectMsgBox(vb::vbOK, "could not be written");
    w->mnuRSPath_Click();
    EXPECT_EQ(shared().GamePath, folder + QStringLiteral("/Rail Simulator"));
    EXPECT_EQ(ui.lastMessage().text, told);
    EXPECT_EQ(tree.readFile("program/preferences.txt"), before);

    // Nor at shut-down: the game folder the settings hold is the one the next start finds.
    ui.expectMsgBox(vb::vbOK, "could not be written");
    EXPECT_TRUE(w->close());
    EXPECT_EQ(ui.lastMessage().text, told);
    EXPECT_EQ(tree.readFile("program/preferences.txt"), before);
}

TEST_F(EditorTest, ProgramPickersKeepTheirPathWhenCancelled)
{
    prepareGame();
    auto w = startWindow();

    ui.expectOpenFile("/opt/acro/acroread.exe");
    w->mnuAcro_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Select your Acrobat Reader");
    EXPECT_EQ(ui.lastDialog().request.filter, "Acrobat Reader (*.exe)|*.exe");
    ui.expectOpenFile("");
    w->mnuAcro_Click();
    EXPECT_EQ(shared().AcrobatPath, "/opt/acro/acroread.exe");

    ui.expectOpenFile("C:\\Paint\\paint.exe");
    w->mnuIRF_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Select your Graphics Editor");
    EXPECT_EQ(ui.lastDialog().request.filter, "Graphics Editor (*.exe)|*.exe");
    EXPECT_EQ(shared().TextureEditorPath, "C:\\Paint\\paint.exe");

    ui.expectOpenFile("C:\\View\\view.exe");
    w->mnuViewer_Click();
    EXPECT_EQ(ui.lastDialog().request.title, "Select your Graphics Viewer");
    EXPECT_EQ(ui.lastDialog().request.filter, "Viewer (*.exe)|*.exe");
    EXPECT_EQ(shared().ViewerPath, "C:\\View\\view.exe");

    // They are saved at shut-down, not before.
    EXPECT_FALSE(tree.readFile("program/preferences.txt").contains("acroread"));
    w->close();
    EXPECT_TRUE(tree.readFile("program/preferences.txt")
                    .endsWith("#FALSE#,\"\",\"/opt/acro/acroread.exe\"\r\n"));
}

TEST_F(EditorTest, DefaultEditorAndSessionEditor)
{
    prepareGame();
    auto w = startWindow();

    ui.expectMsgBox(vb::vbYes, "Default Editor");
    w->mnuSelDefEdit_Click();
    EXPECT_EQ(ui.lastMessage().text, "Do you wish to use the .XML editor as your Default Editor?");
    EXPECT_EQ(ui.lastMessage().style, vb::vbYesNo + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, "Veltrane");
    EXPECT_TRUE(shared().XmlEditorDefault);
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);

    ui.expectMsgBox(vb::vbNo, "Default Editor");
    w->mnuSelDefEdit_Click();
    EXPECT_FALSE(shared().XmlEditorDefault);
    EXPECT_EQ(w->SSTab1->currentIndex(), 0);

    w->mnuUXML_Click();
    EXPECT_EQ(shared().SessionEditor, 2);
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);
    w->mnuURS_Click();
    EXPECT_EQ(shared().SessionEditor, 1);
    EXPECT_EQ(w->SSTab1->currentIndex(), 0);

    // The session choice is never saved; the default is.
    w->close();
    EXPECT_TRUE(tree.readFile("program/preferences.txt").endsWith(preferencesTail(tree.gamePath(), false)));
}

TEST_F(EditorTest, AboutWindowClosesWithOK)
{
    prepareGame();
    auto w = startWindow();
    ui.expectModal([](QWidget* window) {
        auto* about = qobject_cast<frmAbout*>(window);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->lblDescription->text(), "A Suite of Utilities  for  Rail Simulator");
        EXPECT_EQ(about->lblVersion->text(), "Version 4.1.52");
        about->cmdOK->click();
    });
    w->mnuAbout_Click();
    EXPECT_FALSE(w->aboutWindow()->isVisible());
}
