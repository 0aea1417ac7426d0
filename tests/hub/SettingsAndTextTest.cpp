// The settings record, the start-up helpers that need no window, and the text page's
// keeping of line ends.
#include "common/ProgramVersion.h"
#include "hub/HubStartup.h"
#include "hub/KeptText.h"
#include "hub/Preferences.h"
#include "hub/TextPageWidget.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QFile>
#include <QTextCursor>

#include <gtest/gtest.h>

using namespace hub;

// ---- preferences.txt ----

TEST(Preferences, WritesTheRecordAsBasicWritesIt)
{
    PreferencesRecord rec;
    rec.Width = 12000;
    rec.Height = 9000;
    rec.Top = 600;
    rec.Left = 1200;
    rec.GamePath = "C:\\Games\\Rail Simulator";
    EXPECT_EQ(FormatPreferences(rec),
              QByteArray("12000,9000,600,1200,\"\",\"\",\"C:\\Games\\Rail Simulator\",#FALSE#,\"\",\"\"\r\n"));

    rec.Width = -15;
    rec.XmlEditorDefault = true;
    rec.TextureEditorPath = "/usr/bin/gimp";
    rec.Reserved = "kept";
    rec.AcrobatPath = "C:\\Acro\\AcroRd32.exe";
    EXPECT_EQ(FormatPreferences(rec), QByteArray("-15,9000,600,1200,\"/usr/bin/gimp\",\"\",\"C:\\Games\\Rail Simulator\","
                                                 "#TRUE#,\"kept\",\"C:\\Acro\\AcroRd32.exe\"\r\n"));
}

TEST(Preferences, ReadsWhatItWritesByteForByte)
{
    // Windows-1252 letters in a path, the reserved field and a Boolean in another case.
    const QByteArray file("9000,7005,-30,45,\"C:\\Tools\\Caf\xe9.exe\",\"v.exe\",\"D:\\RS\",#true#,\"x y,z\",\"a.exe\"\r\n");
    PreferencesRecord rec;
    ASSERT_EQ(ParsePreferences(file, rec), 10);
    EXPECT_EQ(rec.Width, 9000);
    EXPECT_EQ(rec.Height, 7005);
    EXPECT_EQ(rec.Top, -30);
    EXPECT_EQ(rec.Left, 45);
    EXPECT_EQ(rec.TextureEditorPath, QString::fromUtf8("C:\\Tools\\Café.exe"));
    EXPECT_EQ(rec.GamePath, "D:\\RS");
    EXPECT_TRUE(rec.XmlEditorDefault);
    EXPECT_EQ(rec.Reserved, "x y,z");
    EXPECT_EQ(rec.AcrobatPath, "a.exe");

    QByteArray expected = file;
    expected.replace("#true#", "#TRUE#");
    EXPECT_EQ(FormatPreferences(rec), expected);
}

TEST(Preferences, ShortOrDamagedFilesStopWhereTheyStop)
{
    PreferencesRecord rec;
    rec.GamePath = "earlier";
    EXPECT_EQ(ParsePreferences("5000,4000\r\n", rec), 2);
    EXPECT_EQ(rec.Width, 5000);
    EXPECT_EQ(rec.GamePath, "earlier");
    EXPECT_FALSE(rec.hasUsableGeometry(2));

    PreferencesRecord big;
    EXPECT_EQ(ParsePreferences("40000,9000,0,0,\"a\"", big), 0);

    PreferencesRecord badBool;
    EXPECT_EQ(ParsePreferences("1,2,3,4,\"a\",\"b\",\"c\",-1,\"r\",\"d\"\r\n", badBool), 7);
    EXPECT_EQ(badBool.GamePath, "c");
    EXPECT_FALSE(badBool.XmlEditorDefault);

    PreferencesRecord zero;
    EXPECT_EQ(ParsePreferences("0,0,0,0,\"\",\"\",\"g\",#FALSE#,\"\",\"\"\r\n", zero), 10);
    EXPECT_FALSE(zero.hasUsableGeometry(10));
    EXPECT_EQ(ParsePreferences("", zero), 0);
}

TEST(Preferences, WindowMeasuresAreRoundedToEvenAndClamped)
{
    EXPECT_EQ(ToRecordInteger(2.5), 2);
    EXPECT_EQ(ToRecordInteger(3.5), 4);
    EXPECT_EQ(ToRecordInteger(-2.5), -2);
    EXPECT_EQ(ToRecordInteger(32767.4), 32767);
    EXPECT_EQ(ToRecordInteger(57600), 32767);
    EXPECT_EQ(ToRecordInteger(-480000), -32768);
}

// ---- start-up helpers ----

// The command line is one text: the arguments are joined and the quotes removed before a
// relative name is taken from the folder the program was started from.
TEST(StartupHelpers, ARelativeCommandLineFileLiesInTheStartFolder)
{
    const QString start = QStringLiteral("/home/me/started here");
    const struct {
        QStringList arguments;
        QString file;
    } rows[] = {
        {{"my", "file.bin"}, start + "/my file.bin"},
        {{"\"my", "file.bin\""}, start + "/my file.bin"},
        {{"\"sub\\my file.bin\""}, start + "/sub\\my file.bin"},
        {{"\"C:\\a", "b\\x.bin\""}, "C:\\a b\\x.bin"},
        {{"/srv/a", "b.bin"}, "/srv/a b.bin"},
        {{}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StartupFileFromArguments(row.arguments, start), row.file) << row.arguments.join('|').toStdString();
}

TEST(StartupHelpers, CommandLineFileAndItsRoute)
{
    EXPECT_EQ(CommandLineFile("\"C:\\Rail\\x.BIN\""), "C:\\Rail\\x.BIN");
    EXPECT_EQ(CommandLineFile("C:\\a b\\x.bin\""), "C:\\a b\\x.bin");
    EXPECT_EQ(CommandLineFile("\""), "");

    EXPECT_EQ(StartupOpenFor("C:\\Rail\\x.BIN", false), StartupOpen::GameFile);
    EXPECT_EQ(StartupOpenFor("C:\\Rail\\x.BIN", true), StartupOpen::TreeGameFile);
    EXPECT_EQ(StartupOpenFor("a.xsec", false), StartupOpen::GameFile);
    EXPECT_EQ(StartupOpenFor("a.GEOPCDX", false), StartupOpen::GameFile);
    EXPECT_EQ(StartupOpenFor("a.ProxyBin", true), StartupOpen::TreeGameFile);
    EXPECT_EQ(StartupOpenFor("wall.tgpcdx", false), StartupOpen::Texture);
    EXPECT_EQ(StartupOpenFor("wall.TgPcDx", true), StartupOpen::TextureOnTextPage);
    EXPECT_EQ(StartupOpenFor("Route.proxyxml", false), StartupOpen::XmlFile);
    EXPECT_EQ(StartupOpenFor("a.Cost", true), StartupOpen::TreeXmlFile);
    EXPECT_EQ(StartupOpenFor("a.tgt", false), StartupOpen::XmlFile);
    EXPECT_EQ(StartupOpenFor("notes.txt", false), StartupOpen::None);
    EXPECT_EQ(StartupOpenFor("notes.txt", true), StartupOpen::None);
}

TEST(StartupHelpers, GameFolderAndCaption)
{
    EXPECT_EQ(FolderOfPath("D:\\Games\\Rail Simulator\\RailSim.exe"), "D:\\Games\\Rail Simulator");
    EXPECT_EQ(FolderOfPath("/home/me/Rail Simulator/RailSim.exe"), "/home/me/Rail Simulator");
    EXPECT_EQ(FolderOfPath(StandardGameExe), "c:\\program files\\rail simulator");
    EXPECT_EQ(FolderOfPath("RailSim.exe"), "");
    EXPECT_EQ(MainCaption("Veltrane", "D:\\RS"), "Veltrane  Version 4.1.52   Rail Simulator path in use is - D:\\RS");
}

TEST(StartupHelpers, RegistryGamePathToleratesAKeyWithoutDefaultValue)
{
    TempTree tree;
    EXPECT_EQ(RegistryGamePath(), ""); // no registry at all

    tree.writeFile("wine/system.reg", "WINE REGISTRY Version 2\n\n"
                                      "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1700000000\n"
                                      "\"Other\"=\"x\"\n");
    EXPECT_EQ(RegistryGamePath(), "");

    tree.writeFile("wine/system.reg", "WINE REGISTRY Version 2\n\n"
                                      "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1700000000\n"
                                      "@=\"C:\\\\Program Files\\\\Rail Simulator\"\n");
    EXPECT_EQ(RegistryGamePath(), "C:\\Program Files\\Rail Simulator");
}

TEST(StartupHelpers, SerzIsCopiedFromTheGameOrItsPackagerFolder)
{
    TempTree tree;
    const QString system = tree.systemPath();
    QString error;
    EXPECT_EQ(EnsureSerzInSystemFolder(system, tree.gamePath(), &error), SerzSetup::Missing);
    EXPECT_EQ(EnsureSerzInSystemFolder(system, QString(), &error), SerzSetup::Missing);

    tree.writeFile("game/Packager/serz.exe", "packager copy");
    EXPECT_EQ(EnsureSerzInSystemFolder(system, tree.gamePath(), &error), SerzSetup::Copied);
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), QByteArray("packager copy"));
    EXPECT_EQ(EnsureSerzInSystemFolder(system, tree.gamePath(), &error), SerzSetup::Present);

    QFile::remove(tree.path("program/System32/serz.exe"));
    tree.writeFile("game/serz.exe", "game copy");
    EXPECT_EQ(EnsureSerzInSystemFolder(system, tree.gamePath(), &error), SerzSetup::Copied);
    EXPECT_EQ(tree.readFile("program/System32/serz.exe"), QByteArray("game copy"));

    // A system folder that cannot hold files (here a file stands where it should be).
    const QString blocked = tree.writeFile("blocked", "not a folder");
    EXPECT_EQ(EnsureSerzInSystemFolder(blocked, tree.gamePath(), &error), SerzSetup::CopyFailed);
    EXPECT_TRUE(error.contains("serz.exe")) << error.toStdString();
}

// ---- line ends of the text page ----

TEST(KeptText, UntouchedTextComesBackByteForByte)
{
    const QString mixed = "<a>\r\n\t<b>1</b>\n<c/>\r<d>\r\n\r\n</a>";
    KeptText kept;
    const QString shown = kept.load(mixed);
    EXPECT_EQ(shown, "<a>\n\t<b>1</b>\n<c/>\n<d>\n\n</a>");
    EXPECT_EQ(kept.restore(shown), mixed);
    EXPECT_EQ(kept.lineEnd(), "\r\n");
}

TEST(KeptText, EditsKeepTheLineEndsAroundThem)
{
    KeptText kept;
    const QString original = "one\r\ntwo\nthree\r\nfour\r";
    QString shown = kept.load(original); // "one\ntwo\nthree\nfour\n"
    // Two separate edits, reported as the box reports them: "two" becomes "2", and a line
    // "new" is added after "three".
    shown.replace(4, 3, "2");
    kept.noteChange(4, 3, 1);
    shown.insert(12, "new\n");
    kept.noteChange(12, 0, 4);
    EXPECT_EQ(shown, "one\n2\nthree\nnew\nfour\n");
    EXPECT_EQ(kept.restore(shown), "one\r\n2\nthree\r\nnew\r\nfour\r");

    // Without the reports the two edits make one stretch, which takes the usual line end.
    KeptText unreported;
    unreported.load(original);
    EXPECT_EQ(unreported.restore(shown), "one\r\n2\r\nthree\r\nnew\r\nfour\r");

    // A report that is wrong (too small) never lets changed text pass for kept text.
    KeptText misreported;
    QString other = misreported.load(original);
    other.replace(4, 3, "TWO");
    misreported.noteChange(0, 0, 0);
    EXPECT_EQ(misreported.restore(other), "one\r\nTWO\nthree\r\nfour\r");

    // Deleting a line break joins the lines; the other breaks stay as they were.
    KeptText joinedText;
    QString joined = joinedText.load(original);
    joined.remove(3, 1);
    joinedText.noteChange(3, 1, 0);
    EXPECT_EQ(joinedText.restore(joined), "onetwo\nthree\r\nfour\r");

    // Everything replaced: the text's most used line end.
    EXPECT_EQ(kept.restore("x\ny"), "x\r\ny");

    KeptText unix;
    unix.load("a\nb\nc\r\n");
    EXPECT_EQ(unix.lineEnd(), "\n");
    EXPECT_EQ(unix.restore("a\nb\nz\nc\n"), "a\nb\nz\nc\r\n");

    KeptText none;
    none.load("abc");
    EXPECT_EQ(none.restore("ab\nc"), "ab\r\nc");
}

TEST(TextPage, TheEditorBoxSavesWhatItLoadedPlusEdits)
{
    // Every byte of Windows-1252 but the line ends, a non-breaking space among them.
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
    const QString text = platform::decodeAnsi("<x>\r\n" + bytes + "\n\xa0\r\n\r\n</x>\r\n");

    TextPageWidget box;
    box.loadText(text);
    EXPECT_EQ(box.text(), text);
    EXPECT_EQ(platform::encodeAnsi(box.text()), "<x>\r\n" + bytes + "\n\xa0\r\n\r\n</x>\r\n");

    // The user types a new line after "<x>".
    QTextCursor cursor(box.document());
    cursor.setPosition(3);
    box.setTextCursor(cursor);
    box.insertPlainText("\n<y/>");
    EXPECT_EQ(box.text(), platform::decodeAnsi("<x>\r\n<y/>\r\n" + bytes + "\n\xa0\r\n\r\n</x>\r\n"));

    box.clearText();
    EXPECT_EQ(box.text(), "");

    // Two edits far apart in a text with mixed line ends leave the line ends between them.
    const QString mixed = "<a>\r\n<b>1</b>\n<c>2</c>\r<d>3</d>\r\n</a>";
    box.loadText(mixed);
    QTextCursor first(box.document());
    first.setPosition(7); // before "1"
    first.deleteChar();
    first.insertText("9");
    QTextCursor second(box.document());
    second.movePosition(QTextCursor::End);
    second.insertText("\n");
    EXPECT_EQ(box.text(), "<a>\r\n<b>9</b>\n<c>2</c>\r<d>3</d>\r\n</a>\r\n");
}
