// The other line forms of veltrane-cmd: echo, rem, call, del, attrib, md, rd, cd, drive
// changes, self-deleting batch files, and lines it refuses to run.

#include "BatchTestSupport.h"

#include "support/FolderContents.h"

namespace {

using CommandsTest = BatchTest;

TEST_F(CommandsTest, EchoRemLabelsAndEchoState)
{
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("rem copy nothing & anything"),
                                 QStringLiteral(":: a comment"), QStringLiteral(":label"),
                                 QStringLiteral("echo Hello  world"), QStringLiteral("echo."), QStringLiteral("echo"),
                                 QStringLiteral("  @ECHO Indented"), QString(), QStringLiteral("echo on"),
                                 QStringLiteral("echo shown")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Hello  world"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("ECHO is off."));
    EXPECT_EQ(lines[3], QStringLiteral("Indented"));
    // With echo on again, the command is shown after the prompt, then its output.
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral(">echo shown")));
    EXPECT_EQ(lines[5], QStringLiteral("shown"));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

TEST_F(CommandsTest, DelWithWildcardsSubfoldersAndReadOnlyFiles)
{
    tree.writeFile(QStringLiteral("work/d/a.tmp"), "x");
    tree.writeFile(QStringLiteral("work/d/B.TMP"), "x");
    tree.writeFile(QStringLiteral("work/d/keep.txt"), "x");
    tree.writeFile(QStringLiteral("work/d/sub/c.tmp"), "x");
    tree.writeFile(QStringLiteral("work/d/locked.tmp"), "x");
    makeReadOnly(QStringLiteral("work/d/locked.tmp"));

    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("del /q \"D\\*.tmp\"")});
    EXPECT_EQ(r.status, 1); // the read-only file needs /f
    EXPECT_TRUE(r.err.contains(QStringLiteral("Access is denied.")));
    EXPECT_EQ(listing(QStringLiteral("work/d")),
              (QStringList{QStringLiteral("keep.txt"), QStringLiteral("locked.tmp"), QStringLiteral("sub/")}));

    r = runLines({QStringLiteral("@echo off"), QStringLiteral("del /f /s /q d\\*.TMP")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/d")), (QStringList{QStringLiteral("keep.txt"), QStringLiteral("sub/")}));
    EXPECT_TRUE(listing(QStringLiteral("work/d/sub")).isEmpty());

    // A folder's name deletes the files in it but not its folders; a missing file is only
    // remarked upon, as Windows does.
    tree.writeFile(QStringLiteral("work/d/sub/deeper/e.txt"), "x");
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("del /q \"d\""), QStringLiteral("del \"d\\nothing.txt\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(listing(QStringLiteral("work/d")), (QStringList{QStringLiteral("sub/")}));
    EXPECT_TRUE(isFile(QStringLiteral("work/d/sub/deeper/e.txt")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could Not Find")));
}

TEST_F(CommandsTest, AttribMapsReadOnlyToTheWriteBit)
{
    // "do_read.bat": ATTRIB -R "<game>\*.*" /s /d
    const QString game = nativeGameRel();
    tree.writeFile(game + QStringLiteral("/RailSim.exe"), "x");
    tree.writeFile(game + QStringLiteral("/Assets/P/Q/a.bin"), "x");
    tree.writeFile(game + QStringLiteral("/Assets/P/Q/README"), "x");
    makeReadOnly(game + QStringLiteral("/RailSim.exe"));
    makeReadOnly(game + QStringLiteral("/Assets/P/Q/a.bin"));
    makeReadOnly(game + QStringLiteral("/Assets/P/Q/README"));

    BatchRun r = runLines({QStringLiteral("ATTRIB -R \"") + winGame() + QStringLiteral("\\*.*\" /s /d")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(ownerWritable(game + QStringLiteral("/RailSim.exe")));
    EXPECT_TRUE(ownerWritable(game + QStringLiteral("/Assets/P/Q/a.bin")));
    EXPECT_TRUE(ownerWritable(game + QStringLiteral("/Assets/P/Q/README")));

    // +r only where the pattern matches; without /s only the folder itself.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("attrib +r \"") + winGame() + QStringLiteral("\\Assets\\P\\Q\\*.BIN\"")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(ownerWritable(game + QStringLiteral("/Assets/P/Q/a.bin")));
    EXPECT_TRUE(ownerWritable(game + QStringLiteral("/Assets/P/Q/README")));
    EXPECT_TRUE(ownerWritable(game + QStringLiteral("/RailSim.exe")));

    // Showing attributes, and an attribute other than R, which cannot be mapped.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("attrib \"") + winGame() + QStringLiteral("\\Assets\\P\\Q\\*.*\""),
                  QStringLiteral("attrib +h \"") + winGame() + QStringLiteral("\\RailSim.exe\"")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.contains(QStringLiteral("     R       ")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 3")));
}

TEST_F(CommandsTest, MdRdAndCd)
{
    tree.writeFile(QStringLiteral("work/full/file.txt"), "x");
    tree.writeFile(QStringLiteral("work/Spaced Name/in.txt"), "inside");
    BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("md \"a\\b c\\d\""), QStringLiteral("mkdir one two"),
                           QStringLiteral("rd full"), QStringLiteral("rd \"one\""), QStringLiteral("rmdir /s /q FULL"),
                           QStringLiteral("cd \"spaced name\""), QStringLiteral("copy in.txt \"..\\a\\b c\\d\""),
                           QStringLiteral("cd.."), QStringLiteral("cd /d a\\B C"), QStringLiteral("md \"made here\""),
                           QStringLiteral("cd"), QStringLiteral("cd \\"), QStringLiteral("cd nosuch")});
    EXPECT_EQ(r.status, 1); // "rd full" (not empty) and "cd nosuch"
    EXPECT_TRUE(r.err.contains(QStringLiteral("The directory is not empty.")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot find the path specified. - nosuch")));
    EXPECT_EQ(text(QStringLiteral("work/a/b c/d/in.txt")), QStringLiteral("inside"));
    EXPECT_TRUE(isDir(QStringLiteral("work/two")));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/one"))));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/full"))));
    EXPECT_TRUE(isDir(QStringLiteral("work/a/b c/made here")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\\work\\a\\b c\n")));

    // md of an existing folder fails; rd of a missing one too.
    r = runLines({QStringLiteral("@echo off"), QStringLiteral("md two"), QStringLiteral("rd nothing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("already exists")));
}

TEST_F(CommandsTest, DriveLinesAndWindowsRootedPaths)
{
    tree.writeFile(QStringLiteral("wine/drive_c/Data/x.txt"), "on c");
    tree.makeDir(QStringLiteral("wine/drive_c/Out"));
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("c:"), QStringLiteral("cd Data"),
                                 QStringLiteral("copy x.txt \\Out\\y.txt"), QStringLiteral("cd /d ") + tree.path(QStringLiteral("work")),
                                 QStringLiteral("C:"), QStringLiteral("cd")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("wine/drive_c/Out/y.txt")), QStringLiteral("on c"));
    // Going back to drive c: returns to the folder last current on it.
    EXPECT_TRUE(r.out.contains(QStringLiteral("C:\\Data\n")));
}

// A drive the Wine prefix does not have and a network share are paths not found: nothing is
// made for them, in the prefix or anywhere.
TEST_F(CommandsTest, NoFolderIsMadeOnADriveThePrefixDoesNotHave)
{
    tree.writeFile(QStringLiteral("work/src/a.txt"), "a");
    const QDir::Filters all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    const QStringList prefixBefore = filesBelow(tree.winePrefixPath(), all);
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("md q:\\x"),
                                 QStringLiteral("md \"\\\\server\\share\\x\""), QStringLiteral("xcopy /e /i src q:\\y"),
                                 QStringLiteral("copy src\\a.txt Q:\\a.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("The system cannot find the path specified. - q:\\x")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("The system cannot find the path specified. - \\\\server\\share\\x")));
    EXPECT_EQ(filesBelow(tree.winePrefixPath(), all), prefixBefore);
    EXPECT_EQ(listing(QStringLiteral("work")), (QStringList{"run.bat", "src/"}));
}

TEST_F(CommandsTest, CallRunsAnotherBatchFileAndComesBack)
{
    tree.writeFile(QStringLiteral("work/src/f.txt"), "f");
    writeBatch({QStringLiteral("@echo off"), QStringLiteral("echo in inner"), QStringLiteral("copy src\\f.txt g.txt")},
               QStringLiteral("work/Inner File.bat"));
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("call \"inner file.BAT\""),
                                 QStringLiteral("echo back"), QStringLiteral("call copy g.txt h.txt")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("in inner\n")));
    EXPECT_TRUE(r.out.indexOf(QStringLiteral("in inner")) < r.out.indexOf(QStringLiteral("back")));
    EXPECT_EQ(text(QStringLiteral("work/h.txt")), QStringLiteral("f"));

    // A batch file that calls itself ends with an error instead of running for ever.
    const QString loop = writeBatch({QStringLiteral("@echo off"), QStringLiteral("call loop.bat")},
                                    QStringLiteral("work/loop.bat"));
    const BatchRun l = run(loop);
    EXPECT_EQ(l.status, 2);
    EXPECT_TRUE(l.err.contains(QStringLiteral("too deeply")));
}

TEST_F(CommandsTest, CopyfilesBatDeletesItselfAfterItsCopies)
{
    // The reskin packager's "copyfiles.bat": copy lines, an empty line, then a "del" of itself.
    const QString pkg = tree.makeDir(QStringLiteral("program/Reskin"));
    tree.makeDir(QStringLiteral("program/Reskin/Rail Simulator/Assets/P/Q/Skin"));
    tree.writeFile(nativeGameRel() + QStringLiteral("/Assets/P/Q/Skin/body.TgPcDx"), "painted");
    const QString bat = writeBatch(
        {QStringLiteral("copy \"") + winGame() + QStringLiteral("\\Assets\\P\\Q\\Skin\\body.TgPcDx\" \"") + pkg
             + QStringLiteral("\\Rail Simulator\\Assets\\P\\Q\\Skin\\\\Body.TgPcDx\""),
         QString(), QString(), QStringLiteral("del \"") + pkg + QStringLiteral("\\copyfiles.bat\""), QString()},
        QStringLiteral("program/Reskin/copyfiles.bat"));
    const BatchRun r = run(bat, pkg);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(bat));
    EXPECT_EQ(text(QStringLiteral("program/Reskin/Rail Simulator/Assets/P/Q/Skin/Body.TgPcDx")), QStringLiteral("painted"));
}

TEST_F(CommandsTest, NothingIsHandedToAShell)
{
    tree.writeFile(QStringLiteral("work/a"), "a");
    const QString marker = tree.path(QStringLiteral("work/x"));
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("copy a b & touch ") + marker,
                                 QStringLiteral("echo hi > out.txt"), QStringLiteral("dir | sort"),
                                 QStringLiteral("touch ") + marker, QStringLiteral("copy a b ^& c"),
                                 QStringLiteral("copy \"a\" \"b & c\""), QStringLiteral("echo still running")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/out.txt"))));
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("work/b")))); // the whole line is refused
    // Inside quotes "&" is part of a name.
    EXPECT_EQ(text(QStringLiteral("work/b & c")), QStringLiteral("a"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("still running")));
    for (const char* line : {"line 2", "line 3", "line 4", "line 5", "line 6"})
        EXPECT_TRUE(r.err.contains(QLatin1String(line))) << line;
    EXPECT_FALSE(r.err.contains(QStringLiteral("line 7")));
}

TEST_F(CommandsTest, AnsiBatchTextAndMissingBatchFile)
{
    // The batch file is Windows-1252: byte E9 is "é" in the file name it names.
    tree.writeFile(QStringLiteral("work/Café.txt"), "accent");
    tree.writeFile(QStringLiteral("work/ansi.bat"), QByteArray("@echo off\r\ncopy \"caf\xC9.txt\" \"copy \xE9.txt\"\r\n"));
    BatchRun r = run(tree.path(QStringLiteral("work/ansi.bat")));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("work/copy é.txt")), QStringLiteral("accent"));

    r = run(tree.path(QStringLiteral("work/none.bat")));
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(r.err.isEmpty());
}

} // namespace
