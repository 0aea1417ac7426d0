#include "packaging/ZipArchive.h"

#include "ZipTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <map>

#include <fcntl.h>
#include <unistd.h>

using packaging::ZipArchive;
using packaging::ZipEntry;
using namespace ziptest;

namespace {

class ZipArchiveTest : public ::testing::Test {
protected:
    QString path(const QString& rel) const { return dir.path() + QLatin1Char('/') + rel; }
    QTemporaryDir dir;
};

const QDateTime kWhen(QDate(2021, 6, 14), QTime(10, 32, 18));

} // namespace

// What goes in comes back: names below the base path, sizes, times and the bytes, at each level.
TEST_F(ZipArchiveTest, RoundTripsNamesSizesTimesAndLevels)
{
    struct Row {
        const char* file; // below src/
        QByteArray bytes;
        int level;
        bool shrinks; // compressed smaller than the file
    };
    const std::vector<Row> rows{
        {"Route1/a.xml", textBytes(40000), 6, true},
        {"Route1/Sub/stored.xml", textBytes(30000), 0, false},
        {"Route1/Sub/best.xml", textBytes(30000), 9, true},
        {"Route1/Sub/default.xml", textBytes(30000), -1, true},
        {"Route1/noise.dds", noiseBytes(20000), 1, false},
        {"Route1/empty.txt", QByteArray(), 6, false},
        {"Route1/Blank Name \xc3\xa9.txt", textBytes(100), 6, false},
    };
    for (const Row& r : rows)
        writeFile(path(QStringLiteral("src/") + QString::fromUtf8(r.file)), r.bytes, kWhen);

    QDir().mkpath(path("out"));
    ZipArchive zip;
    ASSERT_TRUE(zip.create(path("out/pack.zip"), false, 0)) << zip.lastError().toStdString();
    zip.setBasePath(path("src") + QStringLiteral("\\"));
    for (const Row& r : rows)
        ASSERT_TRUE(zip.addFile(path(QStringLiteral("src/") + QString::fromUtf8(r.file)), false, r.level))
            << zip.lastError().toStdString();
    ASSERT_TRUE(zip.commit()) << zip.lastError().toStdString();
    zip.close();

    ZipArchive back;
    ASSERT_TRUE(back.open(path("out/pack.zip"))) << back.lastError().toStdString();
    ASSERT_EQ(back.entryCount(), int(rows.size()));
    EXPECT_EQ(back.fileCount(), back.entryCount());
    qint64 total = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.file);
        const ZipEntry e = back.entry(int(i));
        EXPECT_EQ(e.name, QString::fromUtf8(r.file));
        EXPECT_EQ(e.uncompressedSize, r.bytes.size());
        if (r.level == 0) {
            EXPECT_EQ(e.compressedSize, r.bytes.size());
        }
        if (r.shrinks) {
            EXPECT_LT(e.compressedSize, r.bytes.size() / 4);
        }
        EXPECT_EQ(e.modified, kWhen);
        total += r.bytes.size();
        ASSERT_TRUE(back.extract(int(i), path("dest"))) << back.lastError().toStdString();
        const QString out = path(QStringLiteral("dest/") + QString::fromUtf8(r.file));
        EXPECT_EQ(readFile(out), r.bytes);
        EXPECT_EQ(QFileInfo(out).lastModified(), kWhen);
    }
    EXPECT_EQ(back.total(), total);
    // Level 9 packs text at least as tightly as level 1 would, and the stored copy not at all.
    EXPECT_LE(back.entry(2).compressedSize, back.entry(0).compressedSize);
}

TEST_F(ZipArchiveTest, StoredNames)
{
    struct Row {
        const char* file;
        const char* base;
        bool fullPath;
        const char* fallback;
        const char* expected;
    };
    const Row rows[] = {
        {"/p/Route1/a/b.txt", "/p", false, "", "Route1/a/b.txt"},
        {"/p/Route1/a/b.txt", "/p/", false, "", "Route1/a/b.txt"},
        {"/p/Route1/a/b.txt", "/p/Route1", false, "", "a/b.txt"},
        {"/p/Route1/a/b.txt", "/other", false, "/p", "Route1/a/b.txt"},
        {"/p/Route1/a/b.txt", "/other", false, "", "b.txt"},
        {"/p/Route1/a/b.txt", "", false, "", "b.txt"},
        {"/p/Route1/a/b.txt", "/p", true, "", "p/Route1/a/b.txt"},
        {"/p/Route10/b.txt", "/p/Route1", false, "", "b.txt"}, // a sibling is not below the base
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.file) + " base " + r.base);
        EXPECT_EQ(ZipArchive::storedName(r.file, r.base, r.fullPath, r.fallback), QString::fromUtf8(r.expected));
    }
}

// Folders: only files become entries, sub-folders with the flag, patterns, never the archive
// itself. A linked file or folder is added as what it leads to, under its name in the folder; a
// link back up the tree ends there.
TEST_F(ZipArchiveTest, AddsFoldersWithoutFolderEntriesOrItselfAndFollowsLinks)
{
    writeFile(path("pkg/Route1/a.xml"), "a");
    writeFile(path("pkg/Route1/b.bin"), "bb");
    writeFile(path("pkg/Route1/Sub/c.xml"), "ccc");
    writeFile(path("pkg/Route1/Sub/Deeper/d.XML"), "dddd");
    QDir().mkpath(path("pkg/Route1/EmptyFolder"));
    writeFile(path("outside/secret.txt"), "secret");
    ASSERT_TRUE(QFile::link(path("outside/secret.txt"), path("pkg/Route1/linked.txt")));
    ASSERT_TRUE(QFile::link(path("outside"), path("pkg/Route1/LinkedFolder")));
    ASSERT_TRUE(QFile::link(path("pkg/Route1"), path("pkg/Route1/Sub/Up")));

    struct Row {
        const char* pattern;
        bool subDirs;
        QStringList names;
    };
    const Row rows[] = {
        {"",
         true,
         {"Route1/LinkedFolder/secret.txt", "Route1/Sub/Deeper/d.XML", "Route1/Sub/c.xml", "Route1/a.xml", "Route1/b.bin",
          "Route1/linked.txt"}},
        {"", false, {"Route1/a.xml", "Route1/b.bin", "Route1/linked.txt"}},
        {"*.xml", true, {"Route1/Sub/Deeper/d.XML", "Route1/Sub/c.xml", "Route1/a.xml"}},
        {"*.bin; c.*; s*", true, {"Route1/LinkedFolder/secret.txt", "Route1/Sub/c.xml", "Route1/b.bin"}},
        {"*.xml", false, {"Route1/a.xml"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.pattern) + (r.subDirs ? " with sub-folders" : ""));
        ZipArchive zip;
        // The archive lies inside the folder it compresses.
        ASSERT_TRUE(zip.create(path("pkg/Route1/Route1.zip"), false, 0));
        zip.setBasePath(path("pkg"));
        const bool ok = QString::fromLatin1(r.pattern).isEmpty()
                            ? zip.addFolder(path("pkg/Route1"), r.subDirs, false, 6)
                            : zip.addFolder(path("pkg/Route1"), r.pattern, r.subDirs, false, 6);
        ASSERT_TRUE(ok) << zip.lastError().toStdString();
        ASSERT_TRUE(zip.commit()) << zip.lastError().toStdString();
        QStringList names;
        for (int i = 0; i < zip.entryCount(); ++i)
            names << zip.entry(i).name;
        names.sort();
        QStringList expected = r.names;
        expected.sort();
        EXPECT_EQ(names, expected);
        zip.close();
        QFile::remove(path("pkg/Route1/Route1.zip"));
    }

    // The archive reached through a link to its own folder is still left out.
    ZipArchive zip;
    ASSERT_TRUE(zip.create(path("outside/Own.zip"), false, 0));
    ASSERT_TRUE(zip.addFolder(path("pkg/Route1/LinkedFolder"), true, false, 6)) << zip.lastError().toStdString();
    ASSERT_TRUE(zip.commit());
    ASSERT_EQ(zip.entryCount(), 1);
    EXPECT_EQ(zip.entry(0).name, QStringLiteral("LinkedFolder/secret.txt"));
}

// What Add Folder cannot take (a link that leads nowhere, a name that is no text, such as one
// copied from Windows without conversion) is named, and the add is no success; the rest is added.
TEST_F(ZipArchiveTest, AddFolderNamesEveryFileItLeavesOut)
{
    writeFile(path("pkg/Route1/a.xml"), "a");
    writeFile(path("pkg/Route1/Sub/b.xml"), "b");
    const QByteArray raw = QFile::encodeName(path("pkg/Route1/Sub")) + "/caf\xE9.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(QFile::link(path("unplugged/Scenery"), path("pkg/Route1/Scenery")));
    ZipArchive zip;
    ASSERT_TRUE(zip.create(path("a.zip"), false, 0));
    zip.setBasePath(path("pkg"));
    EXPECT_FALSE(zip.addFolder(path("pkg/Route1"), true, false, 6));
    EXPECT_EQ(zip.lastError(), QStringLiteral("these were not added:\n") + path("pkg/Route1/Scenery")
                                   + QStringLiteral(": Path not found\n") + path("pkg/Route1/Sub/caf\\xE9.txt")
                                   + QStringLiteral(": its name is not text in this system's encoding"));
    ASSERT_TRUE(zip.commit());
    QStringList names;
    for (int i = 0; i < zip.entryCount(); ++i)
        names << zip.entry(i).name;
    EXPECT_EQ(names, (QStringList{"Route1/Sub/b.xml", "Route1/a.xml"}));

    // A folder to add that leads nowhere is a path not found.
    EXPECT_FALSE(zip.addFolder(path("pkg/Route1/Scenery"), true, false, 6));
    EXPECT_EQ(zip.lastError(), QStringLiteral("Path not found"));
}

TEST_F(ZipArchiveTest, AddingKeepsWhatCameBeforeAFailureAndTellsWhy)
{
    writeFile(path("src/one.txt"), "one");
    ZipArchive zip;
    ASSERT_TRUE(zip.create(path("a.zip"), false, 0));
    zip.setBasePath(path("src"));
    ASSERT_TRUE(zip.addFile(path("src/one.txt"), false, 6));
    EXPECT_FALSE(zip.addFile(path("src/missing.txt"), false, 6));
    EXPECT_FALSE(zip.lastError().isEmpty());
    ASSERT_TRUE(zip.commit());
    ASSERT_EQ(zip.entryCount(), 1);
    EXPECT_EQ(zip.entry(0).name, QStringLiteral("one.txt"));
    // The same name again replaces the entry instead of failing.
    writeFile(path("src/one.txt"), "changed");
    ASSERT_TRUE(zip.addFile(path("src/one.txt"), false, 0));
    ASSERT_TRUE(zip.commit());
    ASSERT_EQ(zip.entryCount(), 1);
    EXPECT_EQ(zip.entry(0).uncompressedSize, 7);
}

TEST_F(ZipArchiveTest, CreateAndOpenFailuresCarryLibzipsText)
{
    ZipArchive zip;
    EXPECT_FALSE(zip.create(path("no/such/folder/a.zip"), false, 0));
    EXPECT_FALSE(zip.lastError().isEmpty());
    EXPECT_TRUE(zip.isClosed());

    writeFile(path("not-a-zip.zip"), "this is plain text and no archive at all");
    EXPECT_FALSE(zip.open(path("not-a-zip.zip")));
    EXPECT_EQ(zip.lastError(), QStringLiteral("Not a zip archive"));
    EXPECT_TRUE(zip.isClosed());
}

// Entries made to climb out of the destination, or to be links, write nothing outside it. A link
// the user made in the destination is written into; one that leads nowhere is a path not found.
TEST_F(ZipArchiveTest, HostileEntriesWriteNothingOutsideTheDestination)
{
    QDir().mkpath(path("dest"));
    QDir().mkpath(path("outside"));
    ASSERT_TRUE(QFile::link(path("outside"), path("dest/escape")));
    ASSERT_TRUE(QFile::link(path("unplugged"), path("dest/gone")));
    ASSERT_TRUE(QFile::link(path("unplugged.txt"), path("dest/gone.txt")));
    const std::vector<RawEntry> entries{
        {"../evil.txt", "x"},
        {"/abs-evil.txt", "x"},
        {"C:/drive-evil.txt", "x"},
        {"c:drive-evil2.txt", "x"},
        {"a/../../evil2.txt", "x"},
        {"..\\evil3.txt", "x"},
        {"sub\\..\\..\\evil4.txt", "x"},
        {"escape", "replaced link"},
        {"link-entry", "../outside/evil6.txt", true},
        {"gone/lost.txt", "x"},
        {"gone.txt", "x"},
        {"escape/linked.txt", "through the user's link"},
        {"good/ok.txt", "fine"},
    };
    makeRawZip(path("hostile.zip"), entries);
    ZipArchive zip;
    ASSERT_TRUE(zip.open(path("hostile.zip"))) << zip.lastError().toStdString();
    ASSERT_EQ(zip.entryCount(), int(entries.size()));
    for (int i = 0; i < zip.entryCount(); ++i) {
        SCOPED_TRACE(entries[size_t(i)].name.constData());
        const bool good = i >= zip.entryCount() - 2;
        EXPECT_EQ(zip.extract(i, path("dest")), good);
        if (!good) {
            EXPECT_FALSE(zip.lastError().isEmpty());
        }
        if (entries[size_t(i)].name.startsWith("gone")) {
            EXPECT_EQ(zip.lastError(), QStringLiteral("Path not found"));
        }
    }
    EXPECT_EQ(treeOf(path("outside")), QStringList{"linked.txt"});
    EXPECT_EQ(treeOf(dir.path()), (QStringList{"dest/", "dest/escape", "dest/gone", "dest/gone.txt", "dest/good/",
                                               "dest/good/ok.txt", "hostile.zip", "outside/", "outside/linked.txt"}));
    EXPECT_TRUE(QFileInfo(path("dest/escape")).isSymLink());

    // A destination that leads nowhere.
    EXPECT_FALSE(zip.extract(zip.entryCount() - 1, path("dest/gone")));
    EXPECT_EQ(zip.lastError(), QStringLiteral("Path not found"));
    EXPECT_FALSE(QFileInfo::exists(path("unplugged")));
}

TEST_F(ZipArchiveTest, ReadsBackslashNamesAndFolderEntries)
{
    makeRawZip(path("win.zip"), {{"Route1\\", "", false, true}, {"Route1\\Sub\\a.txt", "alpha"}, {"Route1/b.txt", "beta"}});
    ZipArchive zip;
    ASSERT_TRUE(zip.open(path("win.zip")));
    ASSERT_EQ(zip.fileCount(), 3);
    EXPECT_EQ(zip.find(QStringLiteral("route1\\sub\\A.TXT"), false), 1);
    EXPECT_EQ(zip.find(QStringLiteral("Route1/Sub/a.txt"), false), 1);
    EXPECT_EQ(zip.find(QStringLiteral("Route1\\b.txt"), false), 2);
    for (int i = 0; i < zip.fileCount(); ++i)
        EXPECT_TRUE(zip.extract(i, path("dest"))) << i << zip.lastError().toStdString();
    EXPECT_EQ(treeOf(path("dest")), (QStringList{"Route1/", "Route1/Sub/", "Route1/Sub/a.txt", "Route1/b.txt"}));
    EXPECT_EQ(readFile(path("dest/Route1/Sub/a.txt")), QByteArray("alpha"));
}

TEST_F(ZipArchiveTest, FindsByNameAndByPattern)
{
    makeRawZip(path("s.zip"), {{"Route1/a.xml", "1"},
                               {"Route1/Sub/B.XML", "2"},
                               {"Route1/c.bin", "3"},
                               {"other/a.xml", "4"},
                               {"Route1/Sub/a.xml.bak", "5"}});
    ZipArchive zip;
    ASSERT_TRUE(zip.open(path("s.zip")));

    struct FindRow {
        const char* name;
        bool fileNameOnly;
        int expected;
    };
    const FindRow finds[] = {
        {"route1\\sub\\b.xml", false, 1}, {"Route1/c.bin", false, 2}, {"a.xml", true, 0},
        {"a.xml", false, -1},             {"b.xml", true, 1},         {"other\\a.xml", false, 3},
        {"zz.xml", true, -1},             {"Sub\\B.XML", true, 1},
    };
    for (const FindRow& r : finds) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(zip.find(QString::fromUtf8(r.name), r.fileNameOnly), r.expected);
    }

    struct PatternRow {
        const char* pattern;
        QList<int> expected;
    };
    const PatternRow patterns[] = {
        {"*.xml", {0, 1, 3}},        {"a.*", {0, 3, 4}},          {"?.XML", {0, 1, 3}},
        {"Route1\\*.xml", {0, 1}},   {"other/?.xml", {3}},       {"*.none", {}},
        {"Sub", {}},
    };
    for (const PatternRow& r : patterns) {
        SCOPED_TRACE(r.pattern);
        EXPECT_EQ(zip.findPattern(QString::fromUtf8(r.pattern)), r.expected);
    }
}

TEST_F(ZipArchiveTest, EventsFireForEachFileAddedAndExtracted)
{
    writeFile(path("src/F/x.txt"), "x");
    writeFile(path("src/F/y.txt"), "y");
    ZipArchive zip;
    QStringList added, extracted;
    zip.onAdd = [&](const QString& n) { added << QFileInfo(n).fileName(); };
    zip.onExtract = [&](const QString& n) { extracted << n; };
    ASSERT_TRUE(zip.create(path("e.zip"), false, 0));
    zip.setBasePath(path("src"));
    ASSERT_TRUE(zip.addFolder(path("src/F"), true, false, 6));
    EXPECT_TRUE(added.isEmpty()); // libzip reads the files when it writes the archive
    ASSERT_TRUE(zip.commit());
    added.sort();
    EXPECT_EQ(added, (QStringList{"x.txt", "y.txt"}));
    for (int i = 0; i < zip.fileCount(); ++i)
        ASSERT_TRUE(zip.extract(i, path("dest")));
    extracted.sort();
    EXPECT_EQ(extracted, (QStringList{"F\\x.txt", "F\\y.txt"}));
}

// A split archive: pieces beside it, read back whole, added to after opening.
TEST_F(ZipArchiveTest, SplitArchiveRoundTripsAndTakesMoreFiles)
{
    writeFile(path("src/P/a.dds"), noiseBytes(150000, 1), kWhen);
    writeFile(path("src/P/b.dds"), noiseBytes(120000, 2), kWhen);
    QDir().mkpath(path("out"));
    ZipArchive zip;
    ASSERT_TRUE(zip.create(path("out/set.zip"), true, 100000)) << zip.lastError().toStdString();
    zip.setBasePath(path("src"));
    ASSERT_TRUE(zip.addFolder(path("src/P"), true, false, 6));
    ASSERT_TRUE(zip.commit()) << zip.lastError().toStdString();
    zip.close();
    EXPECT_TRUE(QFileInfo::exists(path("out/set.z01")));
    EXPECT_TRUE(QFileInfo::exists(path("out/set.z02")));
    EXPECT_LE(QFileInfo(path("out/set.z01")).size(), 100000);
    // No working copy is left behind.
    EXPECT_EQ(treeOf(path("out")).filter(QStringLiteral("tmp")), QStringList());

    ZipArchive back;
    ASSERT_TRUE(back.open(path("out/set.zip"))) << back.lastError().toStdString();
    EXPECT_TRUE(back.isSplit());
    ASSERT_EQ(back.entryCount(), 2);
    writeFile(path("src/P/c.txt"), textBytes(5000));
    back.setBasePath(path("src"));
    ASSERT_TRUE(back.addFile(path("src/P/c.txt"), false, 6)) << back.lastError().toStdString();
    ASSERT_TRUE(back.commit()) << back.lastError().toStdString();
    back.close();

    ZipArchive again;
    ASSERT_TRUE(again.open(path("out/set.zip"))) << again.lastError().toStdString();
    ASSERT_EQ(again.entryCount(), 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(again.extract(i, path("dest"))) << again.lastError().toStdString();
    EXPECT_EQ(readFile(path("dest/P/a.dds")), noiseBytes(150000, 1));
    EXPECT_EQ(readFile(path("dest/P/b.dds")), noiseBytes(120000, 2));
    EXPECT_EQ(readFile(path("dest/P/c.txt")), textBytes(5000));
}

// An independent reader accepts what we write, stored and deflated alike.
TEST_F(ZipArchiveTest, UnzipTestsEveryEntryOfOurArchive)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    writeFile(path("src/R/a.xml"), textBytes(50000));
    writeFile(path("src/R/S/b.dds"), noiseBytes(40000));
    writeFile(path("src/R/S/c.txt"), textBytes(10));
    for (int level : {-1, 0, 9}) {
        SCOPED_TRACE(level);
        ZipArchive zip;
        ASSERT_TRUE(zip.create(path("t.zip"), false, 0));
        zip.setBasePath(path("src"));
        ASSERT_TRUE(zip.addFolder(path("src/R"), true, false, level));
        ASSERT_TRUE(zip.commit());
        zip.close();
        QProcess p;
        p.start(unzip, {QStringLiteral("-t"), path("t.zip")});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QByteArray out = p.readAllStandardOutput();
        EXPECT_EQ(p.exitCode(), 0) << out.constData();
        EXPECT_TRUE(out.contains("testing: R/S/b.dds")) << out.constData();
        EXPECT_TRUE(out.contains("No errors detected")) << out.constData();
    }
}
