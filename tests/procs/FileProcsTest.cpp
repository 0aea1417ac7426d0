// File and folder procedures: FileExists, FolderExists, MakeFolder, CopyFileOver, the work copy's
// names, ReadTextFile, WriteTextFile, CopyFolder.
#include "common/FileProcs.h"
#include "common/ReportFile.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "hub/SingleFile.h"
#include "hub/xml/XmlTreeDocument.h"
#include "platform/FileSync.h"
#include "platform/Links.h"

#include "support/ScriptedUi.h"
#include "support/ScopedLocale.h"
#include "support/TempTree.h"
#include "support/VbErrors.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// Every file and folder below root, as sorted relative paths (folders end in "/").
QStringList treeOf(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString rel = QDir(root).relativeFilePath(path);
        if (QFileInfo(path).isDir())
            rel += QLatin1Char('/');
        out.append(rel);
    }
    out.sort();
    return out;
}

// A link at the tree's path at (its folder made) that leads to the tree's path target.
void linkIn(const TempTree& tree, const char* target, const char* at)
{
    tree.makeDir(QFileInfo(tree.path(at)).dir().path());
    ASSERT_TRUE(QFile::link(tree.path(target), tree.path(at)));
}

} // namespace

// Runs the call with writes beyond 4 KB failing as on a full disk.
template <typename Call>
bool underFileSizeLimit(Call call)
{
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool result = call();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    return result;
}

TEST(FolderExists, StripsOneTrailingBackslashFromTheCallersVariable)
{
    TempTree tree;
    ScriptedUi ui;
    tree.makeDir("wine/drive_c/Games/RailSim");

    QString path = "C:\\games\\RAILSIM\\";
    EXPECT_TRUE(FolderExists(path));
    EXPECT_EQ(path, "C:\\games\\RAILSIM");

    // Only one backslash goes; the folder is still found.
    QString doubled = "C:\\Games\\RailSim\\\\";
    EXPECT_TRUE(FolderExists(doubled));
    EXPECT_EQ(doubled, "C:\\Games\\RailSim\\");

    QString missing = "C:\\Games\\Nothing\\";
    EXPECT_FALSE(FolderExists(missing));
    EXPECT_EQ(missing, "C:\\Games\\Nothing");

    // A file is not a folder; a native path works as well; a constant can be asked too.
    tree.writeFile("game/file.txt", "x");
    EXPECT_FALSE(FolderExists(tree.path("game/file.txt")));
    EXPECT_TRUE(FolderExists(tree.gamePath() + "\\"));
    EXPECT_FALSE(FolderExists(QString()));
}

TEST(FileExists, OnlyReadableFiles)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("wine/drive_c/Game/Routes.xml", "<x/>");
    EXPECT_TRUE(FileExists("C:\\game\\ROUTES.XML"));
    EXPECT_TRUE(FileExists(tree.path("wine/drive_c/Game/Routes.xml")));
    EXPECT_FALSE(FileExists("C:\\Game"));          // a folder
    EXPECT_FALSE(FileExists("C:\\Game\\None.xml")); // missing
    EXPECT_FALSE(FileExists(""));
}

TEST(MakeFolder, MakesMissingParentsAndRefusesAPlaceTakenByAFile)
{
    TempTree tree;
    ScriptedUi ui;
    tree.makeDir("wine/drive_c/Work");
    tree.writeFile("wine/drive_c/Work/taken", "x");
    EXPECT_TRUE(MakeFolder("C:\\work"));
    EXPECT_TRUE(MakeFolder("C:\\Work\\A\\B"));
    EXPECT_TRUE(QFileInfo(tree.path("wine/drive_c/Work/A/B")).isDir());
    EXPECT_FALSE(MakeFolder("C:\\Work\\taken\\C"));
}

TEST(CopyFileOver, ReplacesTheTargetOrLeavesItAsItWas)
{
    struct Row {
        const char* name;
        const char* sourceBytes; // null: no source file
        const char* targetBytes; // null: no target file before
        const char* target;      // relative to the tree; null: the source itself
        bool copied;
        const char* targetAfter; // null: no target file after
    };
    const Row rows[] = {
        {"replaces an older file", "new", "old", "game/b/work.bin", true, "new"},
        {"makes a missing file", "new", nullptr, "game/b/work.bin", true, "new"},
        {"onto itself", "self", nullptr, nullptr, true, "self"},
        {"no source", nullptr, "old", "game/b/work.bin", false, "old"},
        {"no target folder", "new", nullptr, "game/missing/work.bin", false, nullptr},
    };
    for (const Row& row : rows) {
        TempTree tree;
        ScriptedUi ui;
        tree.makeDir("game/a");
        tree.makeDir("game/b");
        const QString source = tree.path("game/a/Source.bin");
        if (row.sourceBytes)
            tree.writeFile("game/a/Source.bin", row.sourceBytes);
        const QString targetRel = row.target ? QString::fromLatin1(row.target) : QStringLiteral("game/a/Source.bin");
        if (row.targetBytes)
            tree.writeFile(targetRel, row.targetBytes);

        EXPECT_EQ(CopyFileOver(source, tree.path(targetRel)), row.copied) << row.name;
        EXPECT_EQ(tree.exists(targetRel), row.targetAfter != nullptr) << row.name;
        if (row.targetAfter) {
            EXPECT_EQ(tree.readFile(targetRel), QByteArray(row.targetAfter)) << row.name;
        }
        EXPECT_FALSE(tree.exists(targetRel + ".copying")) << row.name;
    }
    // A folder is no file to copy.
    TempTree tree;
    EXPECT_FALSE(CopyFileOver(tree.makeDir("game/folder"), tree.path("game/copy")));
    EXPECT_FALSE(tree.exists("game/copy"));

    // A linked file is written into; a link that leads nowhere is not written through, nor
    // replaced.
    tree.writeFile("game/a/Source.bin", "new");
    tree.writeFile("other/Linked.bin", "old");
    tree.makeDir("game/b");
    ASSERT_TRUE(QFile::link(tree.path("other/Linked.bin"), tree.path("game/b/Linked.bin")));
    ASSERT_TRUE(QFile::link(tree.path("other/Gone.bin"), tree.path("game/b/Gone.bin")));
    EXPECT_TRUE(CopyFileOver(tree.path("game/a/Source.bin"), tree.path("game/b/Linked.bin")));
    EXPECT_EQ(tree.readFile("other/Linked.bin"), "new");
    EXPECT_EQ(platform::standingAt(tree.path("game/b/Linked.bin"), platform::LinkView::Itself), platform::Standing::Link);
    EXPECT_FALSE(CopyFileOver(tree.path("game/a/Source.bin"), tree.path("game/b/Gone.bin")));
    EXPECT_FALSE(tree.exists("other/Gone.bin"));
    EXPECT_TRUE(platform::leadsNowhere(tree.path("game/b/Gone.bin")));
}

TEST(SplitWorkFile, NameWorkNameAndExtension)
{
    struct Row {
        const char* path;
        const char* fileName;
        const char* workName;
        const char* extension;
    } const rows[] = {
        {"C:\\Games\\RS\\Content\\Routes\\r\\Scenarios\\s\\Scenario.bin", "Scenario.bin", "Scenario.", "bin"},
        {"/home/me/Textures/wall.TgPcDx", "wall.TgPcDx", "wall.", "TgPcDx"},
        {"C:\\a.b\\archive.tar.gz", "archive.tar.gz", "archive.tar.", "gz"},
        {"C:\\dir.d\\README", "README", "README.", ""},
        {"mixed/sep\\Tracks.", "Tracks.", "Tracks.", ""},
        {"Route.xml", "Route.xml", "Route.", "xml"},
    };
    for (const Row& row : rows) {
        const WorkFileNames names = SplitWorkFile(QString::fromLatin1(row.path));
        EXPECT_EQ(names.FileName, row.fileName) << row.path;
        EXPECT_EQ(names.WorkName, row.workName) << row.path;
        EXPECT_EQ(names.Extension, row.extension) << row.path;
    }
}

TEST(ReadTextFile, AnsiUtf16AndTheFailures)
{
    TempTree tree;
    ScriptedUi ui;

    // Every byte survives as its Windows-1252 character; line ends are kept.
    tree.writeFile("game/a.txt", QByteArray("caf\xe9 \x80\x81\r\nend", 12));
    QString content = "old";
    ReadTextFile(tree.path("game/a.txt"), content);
    EXPECT_EQ(content, QStringLiteral("caf\u00e9 \u20ac\u0081\r\nend"));

    // A name ending in "mkr" (any case) is UTF-16.
    tree.writeFile("game/m.MKR", QByteArray("\xff\xfe" "A\0\xe9\0\x60\x22", 8));
    ReadTextFile(tree.path("game/m.MKR"), content);
    EXPECT_EQ(content, QStringLiteral("A\u00e9\u2260"));

    // A missing file leaves the variable as it was.
    content = "kept";
    ReadTextFile(tree.path("game/none.txt"), content);
    EXPECT_EQ(content, "kept");

    // An empty file is the run-time's input-past-end error.
    tree.writeFile("game/empty.txt", QByteArray());
    EXPECT_EQ(vbErrorNumber([&] { ReadTextFile(tree.path("game/empty.txt"), content); }), 62);
    EXPECT_EQ(content, "kept");

    // Pending window events run before the file is read.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    ReadTextFile(tree.path("game/a.txt"), content);
    EXPECT_TRUE(fired);
}

TEST(WriteTextFile, WritesAnsiAndReportsSuccess)
{
    ScopedLocale locale("C");
    TempTree tree;
    ScriptedUi ui;
    const QString path = tree.path("game/out.xml");
    tree.writeFile("game/out.xml", "a much longer old content than the new one");
    EXPECT_TRUE(WriteTextFile(path, QStringLiteral("caf\u00e9 \u20ac\r\n\u0178")));
    // No line end added.
    EXPECT_EQ(tree.readFile("game/out.xml"), QByteArray("caf\xe9 \x80\r\n\x9f"));
    EXPECT_TRUE(ui.messages().isEmpty());

    // A character the code page lacks is never written as "?": the file stays as it was.
    ui.expectMsgBox(vb::vbOK, "was not written");
    EXPECT_FALSE(WriteTextFile(path, QStringLiteral("first line\r\ncall xcopy \"C:\\\u0141\u00f3d\u017a\\*.*\"\r\nlast")));
    EXPECT_EQ(tree.readFile("game/out.xml"), QByteArray("caf\xe9 \x80\r\n\x9f"));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("The file ") + path
                                         + QStringLiteral(" was not written: the system's code page (Windows-1252) "
                                                          "cannot hold \"\u0141\" in the line\r\n"
                                                          "call xcopy \"C:\\\u0141\u00f3d\u017a\\*.*\""));
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);

    // Game-style path, matched without regard to case.
    tree.makeDir("wine/drive_c/Work");
    EXPECT_TRUE(WriteTextFile("C:\\WORK\\x.txt", "x"));
    EXPECT_EQ(tree.readFile("wine/drive_c/Work/x.txt"), "x");
}

TEST(WriteTextFile, EmptyContentShowsTheMessage)
{
    TempTree tree;
    ScriptedUi ui;
    const QString path = tree.path("game/empty.xml");
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(WriteTextFile(path, QString()));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "An error occurred while writing " + path);
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
    // The file is still created empty, so no stale content stays behind it.
    EXPECT_TRUE(tree.exists("game/empty.xml"));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(WriteTextFile, FailedWriteKeepsTheOldFileAndShowsTheMessage)
{
    TempTree tree;
    ScriptedUi ui;

    // A folder that does not exist.
    const QString noFolder = "C:\\NoSuchFolder\\out.xml";
    ui.expectMsgBox(vb::vbOK);
    EXPECT_FALSE(WriteTextFile(noFolder, "text"));
    EXPECT_EQ(ui.lastMessage().text, "An error occurred while writing " + noFolder);

    // A write that fails half-way (the file-size limit is hit): the old file stays whole and
    // no work file is left beside it.
    const QString path = tree.writeFile("game/Scenarios.xml", "old content");
    ui.expectMsgBox(vb::vbOK);
    const bool ok = underFileSizeLimit([&] { return WriteTextFile(path, QString(100000, QLatin1Char('x'))); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(ui.lastMessage().text, "An error occurred while writing " + path);
    EXPECT_EQ(tree.readFile("game/Scenarios.xml"), "old content");
    EXPECT_EQ(treeOf(tree.gamePath()), QStringList{"Scenarios.xml"});
}

// A link that leads nowhere (its disk is not there) is never written through: QSaveFile would
// make the file where it points. A linked file that leads somewhere is written into.
TEST(WriteTextFile, ALinkThatLeadsNowhereIsNotWrittenThrough)
{
    TempTree tree;
    ScriptedUi ui;
    tree.makeDir("other");
    tree.writeFile("other/Kept.txt", "old");
    tree.makeDir("game/En");
    ASSERT_TRUE(QFile::link(tree.path("other/Description.txt"), tree.path("game/En/Description.txt")));
    ASSERT_TRUE(QFile::link(tree.path("other/Kept.txt"), tree.path("game/En/Kept.txt")));
    const QString dangling = tree.path("game/En/Description.txt");
    ui.expectMsgBox(vb::vbOK, "An error occurred while writing " + dangling);
    EXPECT_FALSE(WriteTextFile(dangling, "text"));
    EXPECT_FALSE(tree.exists("other/Description.txt"));

    EXPECT_TRUE(WriteTextFile(tree.path("game/En/Kept.txt"), "new"));
    EXPECT_EQ(tree.readFile("other/Kept.txt"), "new");
    EXPECT_EQ(platform::standingAt(tree.path("game/En/Kept.txt"), platform::LinkView::Itself), platform::Standing::Link);
}

// A new name that Windows does not allow is not made; a file that has such a name already is
// replaced as any other.
TEST(WriteTextFile, NamesWindowsForbidsAreNotMade)
{
    TempTree tree;
    ScriptedUi ui;
    tree.makeDir("wine/drive_c/Work");
    for (const QString path : {"C:\\Work\\a?b.txt", "C:\\Work\\new|\\x.txt", "C:\\Work\\\"q\".txt", "out<1>.txt",
                               "C:\\Work\\*.txt"}) {
        ui.expectMsgBox(vb::vbOK);
        EXPECT_FALSE(WriteTextFile(path, "text")) << path.toStdString();
        EXPECT_EQ(ui.lastMessage().text, "An error occurred while writing " + path);
    }
    EXPECT_EQ(treeOf(tree.path("wine/drive_c/Work")), QStringList());
    EXPECT_EQ(treeOf(tree.programPath()), QStringList{"System32/"});

    tree.writeFile("game/odd?.txt", "old");
    EXPECT_TRUE(WriteTextFile(tree.path("game/ODD?.TXT"), "new"));
    EXPECT_EQ(tree.readFile("game/odd?.txt"), "new");
}

// A disk that fills while the last few kilobytes are written: the writes are taken into the
// file's buffer and only its last flush fails. Every writer that replaces a file must then
// report the failure and keep the old file whole.
TEST(ReplacingWriters, AFailedLastFlushKeepsTheOldFile)
{
    TempTree tree;
    ScriptedUi ui;
    const QString text(8000, QLatin1Char('x')); // beyond the limit, within one write buffer
    XmlTreeDocument doc;
    doc.TreeFileName = tree.writeFile("work/source.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>"
                                                              + text.toUtf8() + "</a>\r\n");
    ASSERT_TRUE(doc.LoadXmlTree());
    struct Row {
        const char* writer;
        std::function<bool(const QString& path)> write;
        const char* message; // the start of what the user is told, "" for nothing
    };
    const Row rows[] = {
        {"WriteTextFile", [&](const QString& path) { return WriteTextFile(path, text); },
         "An error occurred while writing "},
        {"SaveReportFile", [&](const QString& path) { return SaveReportFile(path, text); },
         "An error occurred while writing "},
        {"WriteAnsiFile", [&](const QString& path) { return hub::WriteAnsiFile(path, text); }, ""},
        {"SaveXmlTree",
         [&](const QString& path) {
             doc.TreeFileName = path;
             return doc.SaveXmlTree();
         },
         "Unable to save the file: "},
        {"commitWhole",
         [&](const QString& path) {
             QSaveFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write(text.toLatin1()) == text.size()
                    && platform::commitWhole(file);
         },
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.writer);
        const QString path = tree.writeFile(QStringLiteral("game/%1.txt").arg(row.writer), "old content");
        if (*row.message)
            ui.expectMsgBox(vb::vbOK, row.message);
        const bool ok = underFileSizeLimit([&] { return row.write(path); });
        ui.verifyDone();
        EXPECT_FALSE(ok);
        EXPECT_EQ(tree.readFile(QStringLiteral("game/%1.txt").arg(row.writer)), "old content");
    }
    // No work file is left beside the old ones.
    EXPECT_EQ(treeOf(tree.gamePath()).size(), qsizetype(std::size(rows)));
}

TEST(CopyFolder, CopiesTheWholeTreeIntoANewFolder)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("program/Lights/Assets/Kit/a.bin", QByteArray("\x00\x01\xff", 3));
    tree.writeFile("program/Lights/Assets/Kit/Sub/b.xml", "<b/>");
    tree.writeFile("program/Lights/top.txt", "top");
    tree.makeDir("program/Lights/Empty");

    CopyFolder(tree.path("program/Lights"), tree.path("game/Copy"), true);
    EXPECT_EQ(treeOf(tree.path("game/Copy")), treeOf(tree.path("program/Lights")));
    EXPECT_EQ(tree.readFile("game/Copy/Assets/Kit/a.bin"), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(tree.readFile("game/Copy/Assets/Kit/Sub/b.xml"), "<b/>");
    EXPECT_EQ(QFileInfo(tree.path("game/Copy/top.txt")).lastModified(),
              QFileInfo(tree.path("program/Lights/top.txt")).lastModified());

    // A destination ending in a backslash receives the folder under its own name.
    tree.makeDir("game/Into");
    CopyFolder(tree.path("program/Lights"), tree.path("game/Into") + "\\", false);
    EXPECT_EQ(treeOf(tree.path("game/Into/Lights")), treeOf(tree.path("program/Lights")));
}

TEST(CopyFolder, MergesIntoExistingFoldersWhateverTheirCase)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("program/Lamp/Assets/Kuju/Lamp.bin", "new lamp");
    tree.writeFile("program/Lamp/Assets/Kuju/Other.bin", "other");
    tree.writeFile("game/assets/kuju/LAMP.BIN", "old lamp");
    tree.writeFile("game/assets/kuju/Keep.bin", "keep");

    // Without overwrite an existing file is an error and stays as it was.
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("program/Lamp"), tree.gamePath(), false); }), 58);
    EXPECT_EQ(tree.readFile("game/assets/kuju/LAMP.BIN"), "old lamp");

    CopyFolder(tree.path("program/Lamp"), tree.gamePath(), true);
    EXPECT_EQ(treeOf(tree.gamePath()),
              (QStringList{"assets/", "assets/kuju/", "assets/kuju/Keep.bin", "assets/kuju/LAMP.BIN",
                           "assets/kuju/Other.bin"}));
    EXPECT_EQ(tree.readFile("game/assets/kuju/LAMP.BIN"), "new lamp");
    EXPECT_EQ(tree.readFile("game/assets/kuju/Keep.bin"), "keep");
}

// A linked folder or file below the destination is the user's own: the copy writes into it as
// into the folder or file it leads to. A link there that leads nowhere is a path not found, and a
// link that leads back into the source stops the copy; nothing is written through them.
TEST(CopyFolder, WritesIntoTheUsersLinkedFolders)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("program/Lamp/Assets/Kuju/Lamp.bin", "new lamp");
    tree.makeDir("program/Lamp/Assets/Kuju/Empty");
    tree.writeFile("outside/Kuju/old.bin", "old");
    tree.writeFile("outside/Lamp.bin", "outside lamp");
    tree.makeDir("outside/Named");
    tree.makeDir("outside/Lamp");
    const auto link = [&](const char* target, const char* at) { linkIn(tree, target, at); };
    link("outside/Kuju", "game1/assets/kuju");              // a folder below, matched in another case
    link("outside/Lamp.bin", "game2/Assets/Kuju/Lamp.bin"); // a file below
    link("outside/Lamp", "game3/Lamp");                     // the source's own name below "game3\"
    link("nowhere", "game4/Assets");                        // a folder below that leads nowhere
    link("nowhere", "game5/Lamp");                          // the same for the name below "game5\"
    link("program/Lamp/Assets/Kuju", "game6/Assets/Kuju");  // back into the source
    link("outside/Named", "named");                         // the destination itself
    const QStringList source = treeOf(tree.path("program/Lamp"));

    const struct {
        const char* destination;
        int error;
        const char* written; // where the lamp lands through the link; nullptr when refused
    } rows[] = {
        {"game1", 0, "outside/Kuju/Lamp.bin"},
        {"game2", 0, "outside/Lamp.bin"},
        {"game3\\", 0, "outside/Lamp/Assets/Kuju/Lamp.bin"},
        {"game4", 76, nullptr},
        {"game5\\", 76, nullptr},
        {"game6", 5, nullptr},
        {"named", 0, "outside/Named/Assets/Kuju/Lamp.bin"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.destination);
        const QStringList outside = treeOf(tree.path("outside"));
        const QString destination = tree.path(QString::fromUtf8(row.destination));
        EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("program/Lamp"), destination, true); }), row.error);
        if (row.written)
            EXPECT_EQ(tree.readFile(row.written), "new lamp");
        else
            EXPECT_EQ(treeOf(tree.path("outside")), outside);
        EXPECT_EQ(treeOf(tree.path("program/Lamp")), source);
        EXPECT_FALSE(tree.exists("nowhere"));
    }
    EXPECT_EQ(tree.readFile("outside/Kuju/old.bin"), "old");
    EXPECT_TRUE(QFileInfo(tree.path("outside/Kuju/Empty")).isDir());
    EXPECT_TRUE(QFileInfo(tree.path("game1/assets/kuju")).isSymLink());
    EXPECT_TRUE(QFileInfo(tree.path("game2/Assets/Kuju/Lamp.bin")).isSymLink());
}

// The source's links are read: a linked folder or file is copied as what it leads to, a link
// back up the tree ends there, and a link that leads nowhere is a path not found, never a file
// left out in silence.
TEST(CopyFolder, CopiesWhatTheSourcesLinksLeadTo)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("program/Lamp/Assets/own.bin", "own");
    tree.writeFile("outside/Kit/Textures/t.dds", "texture");
    tree.writeFile("outside/Lamp.bin", "outside lamp");
    const auto link = [&](const char* target, const char* at) { linkIn(tree, target, at); };
    link("outside/Kit", "program/Lamp/Assets/Kit");
    link("outside/Lamp.bin", "program/Lamp/Assets/Lamp.bin");
    link("program/Lamp", "program/Lamp/Assets/Kit2"); // back up to the start: a loop
    CopyFolder(tree.path("program/Lamp"), tree.path("game/Copy"), true);
    EXPECT_EQ(treeOf(tree.path("game/Copy")),
              (QStringList{"Assets/", "Assets/Kit/", "Assets/Kit/Textures/", "Assets/Kit/Textures/t.dds",
                           "Assets/Lamp.bin", "Assets/own.bin"}));
    EXPECT_EQ(tree.readFile("game/Copy/Assets/Kit/Textures/t.dds"), "texture");
    EXPECT_EQ(tree.readFile("game/Copy/Assets/Lamp.bin"), "outside lamp");
    EXPECT_EQ(platform::standingAt(tree.path("game/Copy/Assets/Kit"), platform::LinkView::Itself),
              platform::Standing::Folder);

    // The disk a folder of the source lies on is not there.
    ASSERT_TRUE(QDir().rename(tree.path("outside/Kit"), tree.path("outside/Kit.unplugged")));
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("program/Lamp"), tree.path("game/Second"), true); }), 76);
    EXPECT_FALSE(tree.exists("outside/Kit"));
}

TEST(CopyFolder, Errors)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("game/Route/Scenery/t.bin", "tile");
    tree.writeFile("game/file.txt", "f");

    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/NoRoute"), tree.path("game/Out"), true); }), 76);
    EXPECT_FALSE(tree.exists("game/Out"));
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/Route"), tree.path("game/file.txt"), true); }), 58);

    // Into itself or one of its sub-folders (named in another case): refused before
    // anything is made.
    const QStringList before = treeOf(tree.path("game/Route"));
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/Route"), tree.path("game/Route/Backup"), true); }), 5);
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/Route"), tree.path("game/route/scenery/x"), true); }), 5);
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/Route"), tree.path("game/ROUTE"), true); }), 5);
    EXPECT_EQ(treeOf(tree.path("game/Route")), before);
    EXPECT_EQ(tree.readFile("game/Route/Scenery/t.bin"), "tile");

    // A sibling whose name merely starts like the source is not inside it.
    CopyFolder(tree.path("game/Route"), tree.path("game/Route2"), true);
    EXPECT_EQ(tree.readFile("game/Route2/Scenery/t.bin"), "tile");
}

// Destinations typed as a Windows program reads them: from the root of the game's drive, in the
// program folder (the current folder), on a network share that cannot be reached, or holding a
// character Windows does not allow in names.
TEST(CopyFolder, TypedDestinations)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("game/Route/Scenery/t.bin", "tile");
    tree.makeDir("wine/drive_c/Games/RS");
    shared().GamePath = "C:\\Games\\RS";
    const bool serverBefore = QFileInfo::exists("/server");
    const struct {
        QString destination;
        int error;
        QString landsIn; // tree-relative; "" nothing is made
    } rows[] = {
        {"\\Copied", 0, "wine/drive_c/Copied"},
        {"\\games\\rs\\Copied\\", 0, "wine/drive_c/Games/RS/Copied/Route"},
        {"Copied", 0, "program/Copied"},
        {"..\\Copied", 0, "Copied"},
        {"\\\\server\\share\\Copied", 76, ""},
        {"//server/share/Copied", 76, ""},
        {"C:\\Out*", 52, ""},
        {"Copied?\\x", 52, ""},
        {"\\Games\\RS\\a<b>", 52, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.destination.toStdString());
        const QStringList before = treeOf(tree.rootPath());
        EXPECT_EQ(vbErrorNumber([&] { CopyFolder(tree.path("game/Route"), row.destination, true); }), row.error);
        if (row.landsIn.isEmpty())
            EXPECT_EQ(treeOf(tree.rootPath()), before);
        else
            EXPECT_EQ(tree.readFile(row.landsIn + "/Scenery/t.bin"), "tile");
    }
    EXPECT_EQ(QFileInfo::exists("/server"), serverBefore);

    // A network source is a missing one.
    EXPECT_EQ(vbErrorNumber([&] { CopyFolder("\\\\server\\share\\Route", tree.path("game/Out"), true); }), 76);
    EXPECT_FALSE(tree.exists("game/Out"));
    resetShared();
}
