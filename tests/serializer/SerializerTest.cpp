#include "common/Serializer.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QFile>
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
    for (int n = 3; n <= 50; ++n)
        tree.writeFile(QStringLiteral("game/a.bin.bak%1").arg(n), "x");
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

} // namespace
