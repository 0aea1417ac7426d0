// Command lines, how programs are run, ShellAndWait and KillProcessByName, with real children.
#include "common/FileProcs.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/TextCodec.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>
#include "support/ScopedEnv.h"

namespace {

// An executable shell script; returns its path.
QString writeScript(const TempTree& tree, const QString& relativePath, const QByteArray& body)
{
    const QString path = tree.writeFile(relativePath, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                    | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return path;
}

// A script that writes each of its arguments on a line of the file named by $RECORD_TO,
// preceded by a label line.
QByteArray recorder(const QByteArray& label)
{
    return "{ echo '" + label + "'; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$RECORD_TO\"\n";
}

QStringList recorded(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const QString& dir) : old_(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~ScopedCurrentDir() { QDir::setCurrent(old_); }

private:
    QString old_;
};

QString zForm(const QString& nativeAbsolute)
{
    return "Z:" + QString(nativeAbsolute).replace('/', '\\');
}

} // namespace

TEST(CommandLine, SplitsByWindowsRules)
{
    // The arguments, as a launch takes them apart after its program.
    using platform::splitArguments;
    EXPECT_EQ(splitArguments(" a  b\tc"), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(splitArguments("   ").isEmpty());
    EXPECT_EQ(splitArguments(" \"C:\\My Game\\a.bin\" xml:\"C:\\My Game\\a.xml\""),
              (QStringList{"C:\\My Game\\a.bin", "xml:C:\\My Game\\a.xml"}));
    EXPECT_EQ(splitArguments(" \"a b\" c"), (QStringList{"a b", "c"}));
    EXPECT_EQ(splitArguments(" \"\" y"), (QStringList{"", "y"}));
    // Backslashes: literal unless before a quote; 2n before a quote give n, 2n+1 give n and a quote.
    EXPECT_EQ(splitArguments(" a\\\\b d\"e f\"g h"), (QStringList{"a\\\\b", "de fg", "h"}));
    EXPECT_EQ(splitArguments(" a\\\\\\\"b c d"), (QStringList{"a\\\"b", "c", "d"}));
    EXPECT_EQ(splitArguments(" a\\\\\\\\\"b c\" d e"), (QStringList{"a\\\\b c", "d", "e"}));
    EXPECT_EQ(splitArguments(" \"C:\\dir\\\\\" x"), (QStringList{"C:\\dir\\", "x"}));
    // "" inside a quoted part is a literal quote and ends the quoted part; three quotes in a
    // row outside one give a literal quote.
    EXPECT_EQ(splitArguments(" a\"b\"\" c d"), (QStringList{"ab\"", "c", "d"}));
    EXPECT_EQ(splitArguments(" \"a\"\"b c\""), (QStringList{"a\"b", "c"}));
    EXPECT_EQ(splitArguments(" \"\"\"a\"\"\" b"), (QStringList{"\"a\"", "b"}));
    // An unterminated quote runs to the end.
    EXPECT_EQ(splitArguments(" \"a b"), (QStringList{"a b"}));

    // The program item: quoted up to the next quote, backslashes taken as they are.
    TempTree tree;
    platform::LaunchPlan plan;
    QString error;
    EXPECT_FALSE(platform::planLaunch("\"C:\\No Such\\x.exe\" \"a b\" c", plan, &error));
    EXPECT_EQ(error, "program not found: C:\\No Such\\x.exe");
    EXPECT_FALSE(platform::planLaunch("  \"C:\\dir\\\"x y", plan, &error));
    EXPECT_EQ(error, "program not found: C:\\dir\\");
}

TEST(CommandLine, ArgumentMapping)
{
    TempTree tree;
    tree.makeDir("wine/drive_c/Game/Assets");
    const QString root = tree.rootPath();
    // For Windows programs: native absolute paths become Z: paths, also after a switch;
    // Windows switches and Windows paths stay.
    EXPECT_EQ(platform::argumentForWindows(root + "/a b.xml"), zForm(root + "/a b.xml"));
    EXPECT_EQ(platform::argumentForWindows("xml:" + root + "/out.xml"), "xml:" + zForm(root + "/out.xml"));
    EXPECT_EQ(platform::argumentForWindows("/bin:" + root + "/t.bin"), "/bin:" + zForm(root + "/t.bin"));
    for (const QString same : {"/s", "/y", "/bin:", "xml:", "-LogMate", "C:\\Game\\x.bin", "plain", "rel/x"})
        EXPECT_EQ(platform::argumentForWindows(same), same) << same.toStdString();

    // For native programs: Windows-form paths become native paths, also after a switch.
    const QString native = platform::nativePath("C:\\GAME\\assets\\x.bin");
    EXPECT_TRUE(native.startsWith(tree.winePrefixPath())) << native.toStdString();
    EXPECT_EQ(platform::argumentForNative("C:\\GAME\\assets\\x.bin"), native);
    EXPECT_EQ(platform::argumentForNative("xml:C:\\GAME\\assets\\x.bin"), "xml:" + native);
    EXPECT_EQ(platform::argumentForNative("/bin:C:\\GAME\\assets\\x.bin"), "/bin:" + native);
    EXPECT_EQ(platform::argumentForNative("bin:Assets\\x.bin"), "bin:" + platform::nativePath("Assets\\x.bin"));
    for (const QString same : {"/s", "xml:", "plain", "-LogMate"})
        EXPECT_EQ(platform::argumentForNative(same), same) << same.toStdString();
}

TEST(ShellAndWait, MissingProgramReturnsZeroAtOnce)
{
    TempTree tree;
    ScriptedUi ui;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ShellAndWait("NoSuchProgram.exe \"C:\\x.bin\" xml:\"C:\\x.xml\"", true, 0), 0);
    EXPECT_EQ(ShellAndWait("\"" + tree.path("program/none.bat") + "\"", true, 1), 0);
    EXPECT_EQ(ShellAndWait("", true, 0), 0);
    EXPECT_EQ(lastExitStatus(), -1);
    // A file that is not a program does not start either.
    tree.writeFile("program/System32/notes.txt", "plain text");
    EXPECT_EQ(ShellAndWait("notes.txt", true, 0), 0);
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(ShellAndWait, WaitsForTheEndAndKeepsTheExitStatus)
{
    TempTree tree;
    ScriptedUi ui;
    const QString script = writeScript(tree, "program/exit7.sh", "sleep 0.2\nexit 7\n");
    QElapsedTimer timer;
    timer.start();
    const qint64 pid = ShellAndWait("\"" + script + "\"", true, 0);
    EXPECT_GT(pid, 0);
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_EQ(lastExitStatus(), 7);

    writeScript(tree, "program/ok.sh", "exit 0\n");
    EXPECT_GT(ShellAndWait(tree.path("program/ok.sh"), false, 0), 0);
    EXPECT_EQ(lastExitStatus(), 0);

    // A child ended by a signal is not a success.
    writeScript(tree, "program/killed.sh", "kill -9 $$\n");
    EXPECT_GT(ShellAndWait(tree.path("program/killed.sh"), true, 0), 0);
    EXPECT_EQ(lastExitStatus(), -1);
}

TEST(ShellAndWait, ProcessesWindowEventsOnlyWhenAsked)
{
    TempTree tree;
    ScriptedUi ui;
    const QString script = writeScript(tree, "program/wait.sh", "sleep 0.6\n");

    int fired = 0;
    QTimer::singleShot(100, [&] { ++fired; });
    EXPECT_GT(ShellAndWait(script, true, 0), 0);
    EXPECT_EQ(fired, 1);

    bool firedWithoutPump = false;
    QTimer::singleShot(100, [&] { firedWithoutPump = true; });
    EXPECT_GT(ShellAndWait(script, false, 0), 0);
    EXPECT_FALSE(firedWithoutPump);
    QCoreApplication::processEvents();
    EXPECT_TRUE(firedWithoutPump);
}

TEST(ShellAndWait, FindsTheProgramInTheCurrentFolderThenTheSystemFolder)
{
    TempTree tree;
    ScriptedUi ui;
    const QString record = tree.path("record.txt");
    ScopedEnv recordTo("RECORD_TO", record);
    writeScript(tree, "program/System32/Tool.sh", recorder("system"));
    tree.makeDir("work");
    ScopedCurrentDir cd(tree.path("work"));

    // Named without a folder, in another case: found in the system folder.
    ASSERT_GT(ShellAndWait("tool.SH one \"two words\"", true, 0), 0);
    EXPECT_EQ(recorded(record), (QStringList{"system", "one", "two words"}));

    // The current folder comes first.
    writeScript(tree, "work/tool.sh", recorder("current"));
    ASSERT_GT(ShellAndWait("tool.sh", true, 0), 0);
    EXPECT_EQ(recorded(record), QStringList{"current"});
}

TEST(ShellAndWait, NativeProgramGetsNativePaths)
{
    TempTree tree;
    ScriptedUi ui;
    const QString record = tree.path("record.txt");
    ScopedEnv recordTo("RECORD_TO", record);
    tree.makeDir("wine/drive_c/My Game/Content");
    // An unquoted program path with blanks is found as Windows finds it.
    writeScript(tree, "wine/drive_c/My Tools/serz.exe", recorder("native"));
    const QString command =
        "C:\\My Tools\\serz.exe \"C:\\MY GAME\\content\\a.bin\" xml:\"C:\\My Game\\Content\\a b.xml\" /s plain";
    ASSERT_GT(ShellAndWait(command, true, 0), 0);
    EXPECT_EQ(recorded(record),
              (QStringList{"native", platform::nativePath("C:\\My Game\\Content\\a.bin"),
                           "xml:" + platform::nativePath("C:\\My Game\\Content\\a b.xml"), "/s", "plain"}));
    EXPECT_TRUE(recorded(record).value(1).endsWith("/My Game/Content/a.bin"));
}

TEST(ShellAndWait, WindowsProgramRunsThroughWineWithWindowsPaths)
{
    TempTree tree;
    ScriptedUi ui;
    const QString record = tree.path("record.txt");
    ScopedEnv recordTo("RECORD_TO", record);
    const QString wine = writeScript(tree, "fakewine/wine.sh", recorder("wine"));
    ScopedEnv wineVar("VELTRANE_WINE", wine);
    const QString exe = tree.writeFile("program/System32/RailTool.exe", QByteArray("MZ\x90\x00", 4));

    const QString in = tree.writeFile("game/in file.bin", "x");
    const QString out = tree.path("game/out.xml"); // not there yet
    const QString command = "railtool.exe \"" + in + "\" xml:\"" + out + "\" \"C:\\Game\\x.bin\" /bin:"
                            + tree.path("game/t.bin") + " /s -LogMate";
    ASSERT_GT(ShellAndWait(command, true, 0), 0);
    EXPECT_EQ(recorded(record), (QStringList{"wine", exe, zForm(in), "xml:" + zForm(out), "C:\\Game\\x.bin",
                                             "/bin:" + zForm(tree.path("game/t.bin")), "/s", "-LogMate"}));

    // A program left running is started the same way.
    QFile::remove(record);
    const qint64 pid = platform::startDetached("\"" + exe + "\" \"" + in + "\"");
    EXPECT_GT(pid, 0);
    QElapsedTimer timer;
    timer.start();
    while (recorded(record).size() < 3 && timer.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_EQ(recorded(record), (QStringList{"wine", exe, zForm(in)}));
    EXPECT_EQ(platform::startDetached("NoSuchGame.exe"), 0);
}

TEST(ShellAndWait, BatchFileRunsInTheCommandInterpreter)
{
    const QString cmd = QStringLiteral(VELTRANE_BIN_DIR) + "/veltrane-cmd";
    if (!QFileInfo(cmd).isExecutable())
        GTEST_SKIP() << "veltrane-cmd is not built";
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("program/TempFiles/Job.BAT", platform::encodeAnsi("@echo off\r\nmd \"" + tree.gamePath() + "\\Made Here\"\r\n"));
    ScopedCurrentDir cd(tree.path("program/TempFiles"));
    ASSERT_GT(ShellAndWait("job.bat", true, 0), 0);
    EXPECT_EQ(lastExitStatus(), 0);
    EXPECT_TRUE(QFileInfo(tree.path("game/Made Here")).isDir());

    platform::LaunchPlan plan;
    ASSERT_TRUE(platform::planLaunch("job.bat", plan));
    EXPECT_EQ(plan.kind, platform::LaunchPlan::Batch);
    EXPECT_EQ(plan.arguments, QStringList{tree.path("program/TempFiles/Job.BAT")});
}

TEST(KillProcessByName, EndsProcessesByTheEndOfTheirNameInAnyCase)
{
    TempTree tree;
    ScriptedUi ui;
    // Names unique to this test run, so that nothing else on the machine matches.
    const QString tag = QString::number(::getpid());
    const QString target = tree.path("t" + tag + "-MyTestVeltrane.exe");
    const QString decoy = tree.path("t" + tag + "-MyTestVeltrane.exe.old");
    ASSERT_TRUE(QFile::copy("/bin/sleep", target));
    ASSERT_TRUE(QFile::copy("/bin/sleep", decoy));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(decoy, QFile::ReadOwner | QFile::ExeOwner);

    QProcess victim, survivor, windows;
    victim.start(target, {"30"});
    survivor.start(decoy, {"30"});
    // A program run through Wine shows its Windows path as its first word.
    windows.start("/bin/bash", {"-c", "exec -a 'C:\\Games\\t" + tag + "-RailSim.exe' sleep 30"});
    ASSERT_TRUE(victim.waitForStarted());
    ASSERT_TRUE(survivor.waitForStarted());
    ASSERT_TRUE(windows.waitForStarted());
    QThread::msleep(100); // let bash exec

    const auto listed = [](qint64 pid) {
        for (const platform::ProcessInfo& p : platform::listProcesses())
            if (p.pid == pid)
                return p;
        return platform::ProcessInfo{};
    };
    EXPECT_EQ(listed(windows.processId()).exeName, "t" + tag + "-RailSim.exe");
    EXPECT_EQ(listed(victim.processId()).imageName, "t" + tag + "-MyTestVeltrane.exe");

    KillProcessByName(tag + "-mytestveltrane.EXE");
    EXPECT_TRUE(victim.waitForFinished(5000));
    EXPECT_EQ(victim.exitStatus(), QProcess::CrashExit);
    EXPECT_FALSE(survivor.waitForFinished(300));

    KillProcessByName("T" + tag + "-RAILSIM.EXE");
    EXPECT_TRUE(windows.waitForFinished(5000));
    EXPECT_FALSE(survivor.waitForFinished(100));

    KillProcessByName(""); // does nothing
    EXPECT_EQ(survivor.state(), QProcess::Running);
    survivor.kill();
    survivor.waitForFinished(5000);
}
