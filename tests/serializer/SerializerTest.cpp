#include "common/Serializer.h"

#include "platform/FileSync.h"

#include "support/RenameFaults.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kXml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n <Name>caf\xc3\xa9</Name>\r\n</cRecordSet>\r\n";

class SerializerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.makeDir("program/System32");
        tree.makeDir("program/TempFiles");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRANE_BIN_DIR "/serz.exe"), tree.path("program/System32/serz.exe")));
        QFile::setPermissions(tree.path("program/System32/serz.exe"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The program builds work paths with backslashes after the program folder.
    QString work(const QString& name) const { return tree.programPath() + QStringLiteral("\\TempFiles\\") + name; }

    TempTree tree;
    ScriptedUi ui;
};

TEST_F(SerializerTest, CommandLineQuotesBothPathsAndGluesTheSwitchToTheOutput)
{
    EXPECT_EQ(SerzCommandLine(QStringLiteral("C:\\A b\\Scenario.bin"), serz::ToXml, QStringLiteral("C:\\A b\\Scenario.xml")),
              QStringLiteral("serz.exe \"C:\\A b\\Scenario.bin\" xml:\"C:\\A b\\Scenario.xml\""));
    EXPECT_EQ(SerzCommandLine(QStringLiteral("a.xml"), serz::ToBinSlash, QStringLiteral("a.TgPcDx")),
              QStringLiteral("serz.exe \"a.xml\" /bin:\"a.TgPcDx\""));
    EXPECT_EQ(serz::ToBin, QStringLiteral(" bin:"));
}

TEST_F(SerializerTest, ConvertsBothWaysByteForByte)
{
    tree.writeFile("program/TempFiles/a.xml", kXml);
    ASSERT_TRUE(RunSerz(work("a.xml"), serz::ToBin, work("a.bin"), tree.programPath()).ok);
    const QByteArray binary = tree.readFile("program/TempFiles/a.bin");
    EXPECT_FALSE(binary.isEmpty());
    EXPECT_NE(binary, kXml);

    QFile::remove(tree.path("program/TempFiles/a.xml"));
    const ConversionResult back = RunSerz(work("a.bin"), serz::ToXml, work("a.xml"), tree.programPath());
    ASSERT_TRUE(back.ok) << back.error.toStdString();
    EXPECT_EQ(tree.readFile("program/TempFiles/a.xml"), kXml);
}

TEST_F(SerializerTest, FailureLeavesNoOutputNotEvenAStaleOne)
{
    tree.writeFile("program/TempFiles/bad.xml", "<a><!--serz:fail--></a>");
    tree.writeFile("program/TempFiles/bad.bin", "left over from an earlier run");
    const ConversionResult r = RunSerz(work("bad.xml"), serz::ToBin, work("bad.bin"), tree.programPath());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("bad.xml"))) << r.error.toStdString();
    EXPECT_FALSE(tree.exists("program/TempFiles/bad.bin"));
}

TEST_F(SerializerTest, MissingSerializerIsReportedAsNotStarted)
{
    QFile::remove(tree.path("program/System32/serz.exe"));
    tree.writeFile("program/TempFiles/a.xml", kXml);
    const ConversionResult r = RunSerz(work("a.xml"), serz::ToBin, work("a.bin"), tree.programPath());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("could not be started"))) << r.error.toStdString();
}

TEST_F(SerializerTest, BackupNameTakesTheFirstFreeOfFiftyOneNames)
{
    const QString base = tree.gamePath() + QStringLiteral("\\a.bin.bak");
    EXPECT_EQ(BackupName(base), base);
    tree.writeFile("game/a.bin.bak", "x");
    tree.writeFile("game/a.bin.bak1", "x");
    EXPECT_EQ(BackupName(base), base + QStringLiteral("2"));
    // Windows names ignore case: an existing "A.BIN.BAK2" takes the name too.
    tree.writeFile("game/A.BIN.BAK2", "x");
    EXPECT_EQ(BackupName(base), base + QStringLiteral("3"));
    // The last of the 51 names is handed out while it is free; none when it is taken too.
    for (int n = 3; n <= 49; ++n)
        tree.writeFile(QStringLiteral("game/a.bin.bak%1").arg(n), "x");
    EXPECT_EQ(BackupName(base), base + QStringLiteral("50"));
    tree.writeFile("game/a.bin.bak50", "x");
    EXPECT_EQ(BackupName(base), QString());
}

TEST_F(SerializerTest, ReplaceBacksUpThenPutsTheNewFileInPlace)
{
    tree.writeFile("game/Content/Scen.bin", "old one");
    tree.writeFile("program/TempFiles/Scen.bin", "new one");
    const QString game = tree.gamePath() + QStringLiteral("\\content\\scen.bin"); // any case, as on Windows
    QString backup;
    ASSERT_TRUE(ReplaceGameFile(work("Scen.bin"), game, QString(), &backup).ok);
    EXPECT_EQ(backup, game + QStringLiteral(".bak"));
    EXPECT_EQ(tree.readFile("game/Content/Scen.bin"), QByteArray("new one"));
    EXPECT_EQ(tree.readFile("game/Content/scen.bin.bak"), QByteArray("old one"));

    tree.writeFile("program/TempFiles/Scen.bin", "third");
    ASSERT_TRUE(ReplaceGameFile(work("Scen.bin"), game, QString(), &backup).ok);
    EXPECT_EQ(backup, game + QStringLiteral(".bak1"));
    EXPECT_EQ(tree.readFile("game/Content/Scen.bin"), QByteArray("third"));
    EXPECT_EQ(tree.readFile("game/Content/scen.bin.bak1"), QByteArray("new one"));
    EXPECT_TRUE(QDir(tree.path("game/Content")).entryList(QStringList{"*veltrane*"}, QDir::Files).isEmpty());
}

TEST_F(SerializerTest, ReplaceWithAnOwnBackupBase)
{
    tree.writeFile("game/R/Scenarios.bin", "old");
    tree.writeFile("game/R/Scenarios.bak", "older");
    tree.writeFile("program/TempFiles/Scenarios.bin", "new");
    QString backup;
    const QString folder = tree.gamePath() + QStringLiteral("\\R\\");
    ASSERT_TRUE(ReplaceGameFile(work("Scenarios.bin"), folder + "Scenarios.bin", folder + "Scenarios.bak", &backup).ok);
    EXPECT_EQ(backup, folder + QStringLiteral("Scenarios.bak1"));
    EXPECT_EQ(tree.readFile("game/R/Scenarios.bak1"), QByteArray("old"));
    EXPECT_EQ(tree.readFile("game/R/Scenarios.bak"), QByteArray("older"));
}

TEST_F(SerializerTest, ReplaceCreatesAMissingGameFileWithoutBackup)
{
    tree.writeFile("program/TempFiles/New.bin", "fresh");
    tree.makeDir("game/R");
    QString backup = QStringLiteral("untouched?");
    ASSERT_TRUE(ReplaceGameFile(work("New.bin"), tree.gamePath() + QStringLiteral("\\R\\New.bin"), QString(), &backup).ok);
    EXPECT_TRUE(backup.isEmpty());
    EXPECT_EQ(tree.readFile("game/R/New.bin"), QByteArray("fresh"));
}

TEST_F(SerializerTest, ReplaceRefusalsLeaveTheGameFileAsItWas)
{
    const QString game = tree.gamePath() + QStringLiteral("\\a.bin");
    tree.writeFile("game/a.bin", "precious");

    // Nothing converted, or an empty conversion.
    EXPECT_FALSE(ReplaceGameFile(work("none.bin"), game).ok);
    tree.writeFile("program/TempFiles/empty.bin", "");
    const ConversionResult empty = ReplaceGameFile(work("empty.bin"), game);
    EXPECT_FALSE(empty.ok);
    EXPECT_TRUE(empty.error.contains(QStringLiteral("has not been changed")));

    // No backup name free.
    tree.writeFile("game/a.bin.bak", "b");
    for (int n = 1; n <= 50; ++n)
        tree.writeFile(QStringLiteral("game/a.bin.bak%1").arg(n), "b");
    tree.writeFile("program/TempFiles/a.bin", "new");
    const ConversionResult full = ReplaceGameFile(work("a.bin"), game);
    EXPECT_FALSE(full.ok);
    EXPECT_TRUE(full.error.contains(QStringLiteral("51 backup names")));

    EXPECT_EQ(tree.readFile("game/a.bin"), QByteArray("precious"));
    EXPECT_EQ(tree.readFile("game/a.bin.bak50"), QByteArray("b"));
    EXPECT_FALSE(tree.exists("game/a.bin.veltrane-new"));
}

// A link at a backup name takes it, whether it leads somewhere or nowhere: the file moves to the
// next free name by a rename, and nothing is written through the link. A link that leads nowhere
// at the game file's own name is not written through either.
TEST_F(SerializerTest, LinksAtBackupNamesAreTakenNotWrittenThrough)
{
    const struct {
        const char* what;
        QString linkName; // in the row's game folder
        bool leadsNowhere;
        bool replace;     // ReplaceGameFile, else MoveToBackupName
        QStringList taken = {}; // backup names taken by files
        QString backupEnd = QStringLiteral(".bak1");
    } rows[] = {
        {"replace, link to nowhere at .bak", "a.bin.bak", true, true},
        {"move, link to nowhere at .bak", "a.bin.bak", true, false},
        {"move, link to a file at .BAK", "A.BIN.BAK", false, false},
        {"replace, link to nowhere at the game file's name", "a.bin", true, true},
        {"replace, link to nowhere at a numbered name", "a.bin.bak2", true, true, {"a.bin.bak", "a.bin.bak1"},
         QStringLiteral(".bak3")},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString folder = QStringLiteral("game/%1/").arg(++n);
        const QString target = tree.makeDir(QStringLiteral("outside/%1").arg(n)) + QStringLiteral("/got.bin");
        if (!row.leadsNowhere)
            tree.writeFile(target, "the link's own");
        const QString link = tree.makeDir(folder) + QLatin1Char('/') + row.linkName;
        const bool atGameFile = row.linkName == QLatin1String("a.bin");
        if (!atGameFile)
            tree.writeFile(folder + "a.bin", "original");
        for (const QString& name : row.taken)
            tree.writeFile(folder + name, "older");
        ASSERT_TRUE(QFile::link(target, link));
        tree.writeFile("program/TempFiles/a.bin", "new");
        const QString game = tree.gamePath() + QStringLiteral("\\%1\\a.bin").arg(n);

        QString backup;
        const ConversionResult r = row.replace ? ReplaceGameFile(work("a.bin"), game, QString(), &backup)
                                               : MoveToBackupName(game, &backup);
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
        EXPECT_EQ(QFileInfo::exists(target), !row.leadsNowhere);
        EXPECT_EQ(tree.readFile(target), row.leadsNowhere ? QByteArray() : QByteArray("the link's own"));
        if (atGameFile) {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error, QStringLiteral("The new file could not be written to ") + game + QLatin1Char('.'));
            EXPECT_EQ(QDir(tree.path(folder)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                      QStringList{"a.bin"});
            continue;
        }
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(backup, game + row.backupEnd);
        EXPECT_FALSE(QFileInfo(tree.path(folder + "a.bin" + row.backupEnd)).isSymLink());
        EXPECT_EQ(tree.readFile(folder + "a.bin" + row.backupEnd), QByteArray("original"));
        for (const QString& name : row.taken)
            EXPECT_EQ(tree.readFile(folder + name), QByteArray("older"));
        EXPECT_EQ(tree.readFile(folder + "a.bin"), row.replace ? QByteArray("new") : QByteArray());
    }
}

// The new file cannot take the game file's name once the original has moved to its backup: the
// original gets its name back, and when even that is refused the message says where it is.
TEST_F(SerializerTest, TheOriginalReturnsWhenTheNewFileCannotTakeItsName)
{
    const struct {
        const char* what;
        QStringList failingFrom; // the renames the file system refuses, by their source
        bool putBack;
    } rows[] = {
        {"the original is put back", {".veltrane-new"}, true},
        {"the original cannot be put back", {".veltrane-new", "a.bin.bak"}, false},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString folder = QStringLiteral("game/%1/").arg(++n);
        tree.writeFile(folder + "a.bin", "original");
        tree.writeFile("program/TempFiles/a.bin", "new");
        const QString game = tree.gamePath() + QStringLiteral("\\%1\\a.bin").arg(n);

        QString backup = QStringLiteral("untouched?");
        ConversionResult r;
        {
            RenameFaults faults(RenameFaults::failingFrom(row.failingFrom));
            r = ReplaceGameFile(work("a.bin"), game, QString(), &backup);
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, QStringLiteral("The new file could not be put in place of ") + game
                               + (row.putBack ? QStringLiteral("; the file has not been changed.")
                                              : QStringLiteral(", and the original could not be given its name "
                                                               "back: it is kept as ") + game + QStringLiteral(".bak.")));
        EXPECT_TRUE(backup.isEmpty());
        const QString left = row.putBack ? QStringLiteral("a.bin") : QStringLiteral("a.bin.bak");
        EXPECT_EQ(QDir(tree.path(folder)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{left});
        EXPECT_EQ(tree.readFile(folder + left), QByteArray("original"));
    }
}

TEST(FileSync, FlushesFilesAndFoldersAndSaysWhyItCannot)
{
    TempTree tree;
    const QString file = tree.writeFile("a/f.bin", "bytes");
    const QString folder = tree.path("a");
    struct Row {
        QString path;
        bool folder;
        bool ok;
        QString errorHas;
    };
    const Row rows[] = {
        {file, false, true, QString()},
        {folder, true, true, QString()},
        {tree.path("a/none.bin"), false, false, QStringLiteral("Cannot open the file ") + tree.path("a/none.bin")},
        {tree.path("none"), true, false, QStringLiteral("Cannot open the folder ") + tree.path("none")},
        {file, true, false, QStringLiteral("Cannot open the folder ")}, // a file is no folder
    };
    for (const Row& row : rows) {
        QString error;
        const bool ok = row.folder ? platform::syncFolder(row.path, &error) : platform::syncFile(row.path, &error);
        EXPECT_EQ(ok, row.ok) << row.path.toStdString();
        EXPECT_TRUE(error.startsWith(row.errorHas)) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), row.ok) << error.toStdString();
    }
}

// Watches the flushes of one test, and undoes the watch at its end.
struct SyncLog {
    struct Entry {
        QString path;
        bool folder;
        QByteArray gameBytes; // the game file's bytes at the time of the flush
        bool stagedExists;
    };
    QList<Entry> entries;
    SyncLog(const QString& gameNative, bool failFiles)
    {
        platform::setSyncWatcher([this, gameNative, failFiles](const QString& path, bool folder) {
            QFile f(gameNative);
            entries.append({path, folder, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(),
                            QFileInfo::exists(gameNative + QStringLiteral(".veltrane-new"))});
            return folder || !failFiles;
        });
    }
    ~SyncLog() { platform::setSyncWatcher({}); }
};

TEST_F(SerializerTest, ReplaceFlushesTheCopyBeforeTheRenamesAndTheFolderAfter)
{
    const QString game = tree.gamePath() + QStringLiteral("\\R\\Scen.bin");
    const QString gameNative = tree.path("game/R/Scen.bin");
    tree.writeFile("game/R/Scen.bin", "old");
    tree.writeFile("program/TempFiles/Scen.bin", "new");
    {
        SyncLog log(gameNative, false);
        ASSERT_TRUE(ReplaceGameFile(work("Scen.bin"), game).ok);
        ASSERT_EQ(log.entries.size(), 2);
        // The staged copy, while the game file is still the old one; then its folder, once the
        // new file is in place.
        EXPECT_EQ(log.entries[0].path, gameNative + QStringLiteral(".veltrane-new"));
        EXPECT_FALSE(log.entries[0].folder);
        EXPECT_EQ(log.entries[0].gameBytes, QByteArray("old"));
        EXPECT_EQ(log.entries[1].path, tree.path("game/R"));
        EXPECT_TRUE(log.entries[1].folder);
        EXPECT_EQ(log.entries[1].gameBytes, QByteArray("new"));
        EXPECT_FALSE(log.entries[1].stagedExists);
    }

    // A copy that cannot be flushed: nothing is renamed and the game file stays as it was.
    tree.writeFile("program/TempFiles/Scen.bin", "newer");
    SyncLog failing(gameNative, true);
    const ConversionResult r = ReplaceGameFile(work("Scen.bin"), game);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("has not been changed"))) << r.error.toStdString();
    EXPECT_EQ(tree.readFile("game/R/Scen.bin"), QByteArray("new"));
    EXPECT_EQ(tree.readFile("game/R/Scen.bin.bak"), QByteArray("old"));
    EXPECT_FALSE(tree.exists("game/R/Scen.bin.bak1"));
    EXPECT_FALSE(tree.exists("game/R/Scen.bin.veltrane-new"));
}

} // namespace

namespace {

// Puts a serz.exe in System32 that notes each run in runs.log before the test serializer does
// the work: a script run directly, or a Windows program ("MZ") run through a stand-in for Wine
// that turns its "Z:\" paths back into native ones.
void installCountingSerializer(TempTree& tree, bool windows, ScopedEnvList& env)
{
    const QByteArray log = QFile::encodeName(tree.path("runs.log"));
    const QByteArray real = VELTRANE_BIN_DIR "/serz.exe";
    const auto script = [&](const QString& rel, const QByteArray& body) {
        const QString path = tree.writeFile(rel, "#!/bin/sh\necho run >> '" + log + "'\n" + body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    QFile::remove(tree.path("program/System32/serz.exe"));
    if (!windows) {
        script("program/System32/serz.exe", "exec '" + real + "' \"$@\"\n");
        return;
    }
    tree.writeFile("program/System32/serz.exe", QByteArray("MZ\x90\x00", 4));
    const QString wine = script("fakewine/wine",
                                "shift\nfor a in \"$@\"; do\n"
                                "  set -- \"$@\" \"$(printf '%s' \"$a\" | sed 's/^\\([a-z/]*:\\)\\{0,1\\}Z:/\\1/')\"\n"
                                "  shift\ndone\nexec '" + real + "' \"$@\"\n");
    env.set("VELTRANE_WINE", wine.toUtf8());
}

} // namespace

// Through Wine a serializer now and then ends at once with status 1 and no output: such a run
// is made once more before it counts as failed. A native serializer's failure is final, and a
// run that fails twice through Wine is reported as any failure.
TEST_F(SerializerTest, AWindowsRunThatFailsWithoutOutputIsMadeOnceMore)
{
    struct Row {
        const char* what;
        bool windows;
        QByteArray input;
        bool failOnce;
        bool ok;
        int runs;
    } rows[] = {
        {"native, fails once", false, kXml, true, false, 1},
        {"through Wine, fails once", true, kXml, true, true, 2},
        {"through Wine, fails every time", true, "<a><!--serz:fail--></a>", false, false, 2},
        {"through Wine, works", true, kXml, false, true, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnvList env;
        installCountingSerializer(tree, row.windows, env);
        QFile::remove(tree.path("runs.log"));
        QFile::remove(tree.path("failed-once"));
        if (row.failOnce)
            env.set("SERZ_FAIL_ONCE", QFile::encodeName(tree.path("failed-once")));
        tree.writeFile("program/TempFiles/a.xml", row.input);
        const ConversionResult r = RunSerz(work("a.xml"), serz::ToBin, work("a.bin"), tree.programPath());
        EXPECT_EQ(r.ok, row.ok) << r.error.toStdString();
        EXPECT_EQ(tree.readFile("runs.log").count("run"), row.runs);
        EXPECT_EQ(tree.exists("program/TempFiles/a.bin"), row.ok);
        if (row.ok) {
            ASSERT_TRUE(RunSerz(work("a.bin"), serz::ToXml, work("back.xml"), tree.programPath()).ok);
            EXPECT_EQ(tree.readFile("program/TempFiles/back.xml"), row.input);
        } else {
            EXPECT_TRUE(r.error.contains(QStringLiteral("a.xml"))) << r.error.toStdString();
        }
    }
}
