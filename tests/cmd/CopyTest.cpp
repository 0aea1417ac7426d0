// copy and xcopy lines, as the generated batch files write them, against real folders.

#include "BatchTestSupport.h"

namespace {

class CopyTest : public BatchTest {
protected:
    void SetUp() override
    {
        tree.writeFile(QStringLiteral("work/src/A.TXT"), "alpha");
        tree.writeFile(QStringLiteral("work/src/b.txt"), "beta");
        tree.writeFile(QStringLiteral("work/src/c.dat"), "gamma");
        tree.writeFile(QStringLiteral("work/src/README"), "no dot");
        tree.writeFile(QStringLiteral("work/src/ab.txt"), "two letters");
        tree.makeDir(QStringLiteral("work/dst"));
    }
};

TEST_F(CopyTest, WildcardsMatchWindowsStyle)
{
    // "*.TXT" ignores case; "?.txt" is one character; "*.*" also takes names without a dot.
    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("copy \"SRC\\*.TXT\" \"dst\\\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/dst")),
              (QStringList{QStringLiteral("A.TXT"), QStringLiteral("ab.txt"), QStringLiteral("b.txt")}));
    EXPECT_TRUE(r.out.contains(QStringLiteral("3 file(s) copied.")));

    tree.makeDir(QStringLiteral("work/one"));
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("copy src\\?.txt one")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/one")), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("b.txt")}));

    tree.makeDir(QStringLiteral("work/all"));
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("copy \"src\\*.*\" \"all\\*.*\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/all")),
              (QStringList{QStringLiteral("A.TXT"), QStringLiteral("README"), QStringLiteral("ab.txt"),
                           QStringLiteral("b.txt"), QStringLiteral("c.dat")}));
    EXPECT_EQ(text(QStringLiteral("work/all/README")), QStringLiteral("no dot"));
}

TEST_F(CopyTest, SingleFileFormsAndOverwrite)
{
    tree.writeFile(QStringLiteral("work/dst/b.txt"), "old content that is longer");
    const QDateTime stamp(QDate(2007, 3, 4), QTime(5, 6, 7));
    setTime(QStringLiteral("work/src/b.txt"), stamp);
    BatchRun r = runLines({QStringLiteral("@echo off"),
                           QStringLiteral("copy /y \"src\\B.TXT\" \"dst\""),       // into a folder, overwriting
                           QStringLiteral("copy \"src\\a.txt\" \"dst\\renamed.txt\""), // to a new name
                           QStringLiteral("copy src\\c.dat")});                       // into the current folder
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/dst/b.txt")), QStringLiteral("beta"));
    EXPECT_EQ(QFileInfo(tree.path(QStringLiteral("work/dst/b.txt"))).lastModified(), stamp);
    EXPECT_EQ(text(QStringLiteral("work/dst/renamed.txt")), QStringLiteral("alpha"));
    EXPECT_EQ(text(QStringLiteral("work/c.dat")), QStringLiteral("gamma"));
    // An existing file of another letter case is overwritten, not doubled.
    EXPECT_FALSE(isFile(QStringLiteral("work/dst/B.TXT")));
}

TEST_F(CopyTest, FailuresAreReportedAndLeaveFilesAlone)
{
    tree.writeFile(QStringLiteral("work/dst/b.txt"), "protected");
    makeReadOnly(QStringLiteral("work/dst/b.txt"));
    BatchRun r = runLines({QStringLiteral("@echo off"),
                           QStringLiteral("copy \"src\\missing.txt\" \"dst\\\""),
                           QStringLiteral("copy \"src\\b.txt\" \"dst\\\""),
                           QStringLiteral("copy \"src\\a.txt\" \"nowhere\\x\\\""),
                           QStringLiteral("copy \"src\\a.txt\" \"src\\A.txt\""),
                           QStringLiteral("copy \"src\\*.txt\" \"dst\\joined.txt\""),
                           QStringLiteral("copy \"src\\c.dat\" \"dst\\\"")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot find the file")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("Access is denied.")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot find the path")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("onto itself")));
    EXPECT_EQ(text(QStringLiteral("work/dst/b.txt")), QStringLiteral("protected"));
    EXPECT_EQ(text(QStringLiteral("work/src/A.TXT")), QStringLiteral("alpha"));
    EXPECT_FALSE(isFile(QStringLiteral("work/dst/joined.txt")));
    // The line after the failures still ran.
    EXPECT_EQ(text(QStringLiteral("work/dst/c.dat")), QStringLiteral("gamma"));
}

TEST_F(CopyTest, WindowsPathsWithSpacesThroughTheWineDrive)
{
    // "do_scene.bat": Copy "<scenario>\Scenery\*.*" "<new scenario>\Scenery\*.*", with the
    // game's Windows-form paths written in another letter case than the folders on disk.
    const QString scen = nativeGameRel() + QStringLiteral("/Content/Routes/R1/Scenarios/S1");
    tree.writeFile(scen + QStringLiteral("/Scenery/+000000+000000.bin"), "tile");
    tree.writeFile(scen + QStringLiteral("/Scenery/-000001+000000.bin"), "tile 2");
    tree.makeDir(nativeGameRel() + QStringLiteral("/Content/Routes/R1/Scenarios/S2/Scenery"));
    const QString line = QStringLiteral("Copy \"") + winGame() + QStringLiteral("\\content\\routes\\r1\\SCENARIOS\\s1\\Scenery\\*.*\" \"")
                         + winGame() + QStringLiteral("\\Content\\Routes\\R1\\Scenarios\\S2\\scenery\\*.*\"");
    const BatchRun r = runLines({line});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(nativeGameRel() + QStringLiteral("/Content/Routes/R1/Scenarios/S2/Scenery")),
              (QStringList{QStringLiteral("+000000+000000.bin"), QStringLiteral("-000001+000000.bin")}));
    // With echo on, the line is shown after a Windows-style prompt.
    EXPECT_TRUE(r.out.contains(QStringLiteral(">Copy \"C:\\Program Files\\Rail Simulator\\content")));
}

class XcopyTest : public BatchTest {
protected:
    void SetUp() override
    {
        tree.writeFile(QStringLiteral("work/src/top.txt"), "top");
        tree.writeFile(QStringLiteral("work/src/Sub/Full/deep.bin"), "deep");
        tree.writeFile(QStringLiteral("work/src/Sub/mid.txt"), "mid");
        tree.makeDir(QStringLiteral("work/src/Sub/Empty"));
        tree.makeDir(QStringLiteral("work/src/Lonely"));
        tree.writeFile(QStringLiteral("work/src/Only Text/note.txt"), "note");
    }
};

TEST_F(XcopyTest, SubfoldersWithSSkipEmptyOnesAndWithEKeepThem)
{
    // "do_clone.bat": call xcopy "<route>\*.*" "<new route>\*.*" /s /y
    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("call xcopy \"src\\*.*\" \"s\\*.*\" /s /y")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/s")),
              (QStringList{QStringLiteral("Only Text/"), QStringLiteral("Sub/"), QStringLiteral("top.txt")}));
    EXPECT_EQ(listing(QStringLiteral("work/s/Sub")), (QStringList{QStringLiteral("Full/"), QStringLiteral("mid.txt")}));
    EXPECT_EQ(text(QStringLiteral("work/s/Sub/Full/deep.bin")), QStringLiteral("deep"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("4 File(s) copied")));

    // "do_copy.bat": call xcopy "<sample>" "<new folder>" /e /s /y, into an existing folder.
    tree.makeDir(QStringLiteral("work/e"));
    r = runLines({QStringLiteral("call xcopy \"src\" \"e\" /e /s /y")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/e")), (QStringList{QStringLiteral("Lonely/"), QStringLiteral("Only Text/"),
                                                              QStringLiteral("Sub/"), QStringLiteral("top.txt")}));
    EXPECT_EQ(listing(QStringLiteral("work/e/Sub")),
              (QStringList{QStringLiteral("Empty/"), QStringLiteral("Full/"), QStringLiteral("mid.txt")}));

    // A pattern with /s creates only the folders that receive a file; with /e every folder.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.BIN\" \"p\\\" /s")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/p")), (QStringList{QStringLiteral("Sub/")}));
    EXPECT_EQ(listing(QStringLiteral("work/p/Sub")), (QStringList{QStringLiteral("Full/")}));
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.BIN\" \"q\\\" /e")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/q")),
              (QStringList{QStringLiteral("Lonely/"), QStringLiteral("Only Text/"), QStringLiteral("Sub/")}));
    EXPECT_TRUE(listing(QStringLiteral("work/q/Only Text")).isEmpty());

    // Without /s or /e only the folder's own files.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.*\" \"flat\\*.*\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/flat")), (QStringList{QStringLiteral("top.txt")}));
}

TEST_F(XcopyTest, MissingDestinationNeedsIOrAFolderMark)
{
    // Several files to a name that does not exist: Windows would ask "file or directory?".
    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.txt\" \"target\"")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("file name or directory name")));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/target"))));

    // The scenario packager's line: call Xcopy "<scenario>\*.bin" "<package>\...\*.*" /I /C /S
    r = runLines({QStringLiteral("@echo off"),
                  QStringLiteral("call Xcopy \"src\\*.bin\" \"pkg\\Rail Simulator\\Content\\S1\" /I /C /S")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/pkg/Rail Simulator/Content/S1/Sub/Full/deep.bin")), QStringLiteral("deep"));

    // One file to a name that does not exist is a file copy (folders made as needed).
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\top.txt\" \"made\\copy.txt\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/made/copy.txt")), QStringLiteral("top"));

    // A missing source folder is an error.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"nosuch\\*.*\" \"x\\\" /s")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("File not found")));
}

TEST_F(XcopyTest, DCopiesOnlyNewerFilesAndNoYStillOverwrites)
{
    tree.writeFile(QStringLiteral("work/d/top.txt"), "newer copy");
    tree.writeFile(QStringLiteral("work/d/Sub/mid.txt"), "older copy");
    const QDateTime base(QDate(2008, 1, 1), QTime(12, 0));
    setTime(QStringLiteral("work/src/top.txt"), base);
    setTime(QStringLiteral("work/d/top.txt"), base.addSecs(60));
    setTime(QStringLiteral("work/src/Sub/mid.txt"), base.addSecs(60));
    setTime(QStringLiteral("work/d/Sub/mid.txt"), base);
    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.txt\" \"d\\\" /s /d /y")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/d/top.txt")), QStringLiteral("newer copy"));
    EXPECT_EQ(text(QStringLiteral("work/d/Sub/mid.txt")), QStringLiteral("mid"));
    EXPECT_EQ(text(QStringLiteral("work/d/Only Text/note.txt")), QStringLiteral("note"));

    // Running it again copies nothing: the copies kept their sources' times.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.txt\" \"d\\\" /s /d")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("0 File(s) copied")));

    // Without /d and without /y the file is overwritten (nobody could answer the question).
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\top.txt\" \"d\\\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/d/top.txt")), QStringLiteral("top"));
}

TEST_F(XcopyTest, CGoesOnAfterAnErrorAndWithoutItTheCopyStops)
{
    tree.writeFile(QStringLiteral("work/list/a.txt"), "a");
    tree.writeFile(QStringLiteral("work/list/b.txt"), "b");
    tree.writeFile(QStringLiteral("work/list/c.txt"), "c");
    tree.writeFile(QStringLiteral("work/stop/b.txt"), "locked");
    makeReadOnly(QStringLiteral("work/stop/b.txt"));
    tree.writeFile(QStringLiteral("work/goon/b.txt"), "locked");
    makeReadOnly(QStringLiteral("work/goon/b.txt"));

    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"list\\*.*\" \"stop\\\" /y"),
                           QStringLiteral("xcopy \"list\\*.*\" \"goon\\\" /y /c")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(listing(QStringLiteral("work/stop")), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(text(QStringLiteral("work/stop/b.txt")), QStringLiteral("locked"));
    EXPECT_EQ(listing(QStringLiteral("work/goon")),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
    EXPECT_EQ(text(QStringLiteral("work/goon/b.txt")), QStringLiteral("locked"));
}

TEST_F(XcopyTest, RouteAssetLinesWithNamePatterns)
{
    // "Do_Run.bat": Call XCopy "<folder>\Tree*.*" "<package>\Rail Simulator\Assets\P\Q\Scenery\*.*" /Y
    // and a texture entry whose pattern carries a second asterisk ("Tree**.*").
    const QString assets = nativeGameRel() + QStringLiteral("/Assets/P/Q/Scenery/");
    tree.writeFile(assets + QStringLiteral("Tree.bin"), "bp");
    tree.writeFile(assets + QStringLiteral("Tree.GeoPcDx"), "shape");
    tree.writeFile(assets + QStringLiteral("Tree"), "bare");
    tree.writeFile(assets + QStringLiteral("Oak.bin"), "other");
    tree.writeFile(assets + QStringLiteral("Textures/TreeBark.TgPcDx"), "texture");
    const QString src = winGame() + QStringLiteral("\\Assets\\P\\Q\\Scenery\\");
    const QString pkg = tree.path(QStringLiteral("program/Pack"));
    const BatchRun r = runLines(
        {QStringLiteral("Call XCopy \"") + src + QStringLiteral("Tree*.*\" \"") + pkg
             + QStringLiteral("\\Rail Simulator\\Assets\\P\\Q\\Scenery\\*.*\" /Y"),
         QStringLiteral("Call XCopy \"") + src + QStringLiteral("Textures\\TreeBark**.*\" \"") + pkg
             + QStringLiteral("\\Rail Simulator\\Assets\\P\\Q\\Scenery\\Textures\\*.*\" /Y"),
         QString()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("program/Pack/Rail Simulator/Assets/P/Q/Scenery")),
              (QStringList{QStringLiteral("Textures/"), QStringLiteral("Tree"), QStringLiteral("Tree.GeoPcDx"),
                           QStringLiteral("Tree.bin")}));
    EXPECT_EQ(text(QStringLiteral("program/Pack/Rail Simulator/Assets/P/Q/Scenery/Textures/TreeBark.TgPcDx")),
              QStringLiteral("texture"));
}

TEST_F(XcopyTest, CopyIntoItselfIsRefused)
{
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("xcopy \"src\\*.*\" \"src\\Sub\\Copy\\\" /s /i")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cyclic")));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/src/Sub/Copy"))));
}

} // namespace
