// Split zip sets: the pieces' names and sizes, their headers checked by a reader of our own
// (not the code under test), the contents read back through libzip with its CRC checks, the
// renamed pieces, stale pieces, failures, and Info-ZIP's zip and unzip on our sets.

#include "packaging/ZipSplit.h"
#include "support/TestBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

using namespace packaging;

namespace {

struct Entry {
    QString name;
    QByteArray bytes;
    bool store = true;
};

QByteArray textBytes(qsizetype lines)
{
    QByteArray b;
    for (qsizetype i = 0; i < lines; ++i)
        b += "<Record><Name>Line " + QByteArray::number(i) + "</Name></Record>\r\n";
    return b;
}

// A mix: incompressible texture-like data (stored), XML-like text (deflated), an empty file,
// names in folders.
std::vector<Entry> sampleEntries()
{
    return {
        {QStringLiteral("Route1/Textures/ground.dds"), randomBytes(200000, 1)},
        {QStringLiteral("Route1/RouteProperties.xml"), textBytes(3000), false},
        {QStringLiteral("Route1/empty.txt"), QByteArray()},
        {QStringLiteral("Route1/Textures/sky.dds"), randomBytes(150001, 2)},
        {QStringLiteral("Route1/Scenarios/s1/Scenario.xml"), textBytes(500), false},
        {QStringLiteral("readme.txt"), randomBytes(70000, 3)},
    };
}

bool makeZip(const QString& path, const std::vector<Entry>& entries, const QByteArray& comment = QByteArray())
{
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za)
        return false;
    for (const Entry& e : entries) {
        zip_source_t* src = zip_source_buffer(za, e.bytes.constData(), zip_uint64_t(e.bytes.size()), 0);
        const zip_int64_t index = zip_file_add(za, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(za);
            return false;
        }
        zip_set_file_compression(za, zip_uint64_t(index), e.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (!comment.isEmpty())
        zip_set_archive_comment(za, comment.constData(), zip_uint16_t(comment.size()));
    return zip_close(za) == 0;
}

// Every entry's bytes by name; libzip checks each entry's CRC as it reads it to the end.
std::map<QString, QByteArray> readAll(zip_t* za, QString* problem)
{
    std::map<QString, QByteArray> out;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0) {
            *problem = QStringLiteral("stat %1").arg(i);
            return {};
        }
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        if (!f) {
            *problem = QStringLiteral("open %1: %2").arg(i).arg(zip_strerror(za));
            return {};
        }
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t n = zip_fread(f, bytes.data(), st.size);
        char extra;
        const zip_int64_t more = zip_fread(f, &extra, 1); // reading on to the end runs the CRC check
        const bool ok = n == zip_int64_t(st.size) && more == 0;
        if (!ok)
            *problem = QStringLiteral("read %1: %2").arg(QString::fromUtf8(st.name)).arg(zip_file_strerror(f));
        zip_fclose(f);
        if (!ok)
            return {};
        out[QString::fromUtf8(st.name)] = bytes;
    }
    return out;
}

std::map<QString, QByteArray> expectedContents(const std::vector<Entry>& entries)
{
    std::map<QString, QByteArray> m;
    for (const Entry& e : entries)
        m[e.name] = e.bytes;
    return m;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
        | quint32(uchar(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

// The set's files in order: base.z01, base.z02 ... then the archive; stops at the first
// missing number.
QStringList setFiles(const QString& archive)
{
    QStringList files;
    const QString base = archive.left(archive.size() - 3);
    for (int k = 1;; ++k) {
        const QString piece = base + QLatin1Char('z') + QString::number(k).rightJustified(2, QLatin1Char('0'));
        if (!QFileInfo::exists(piece))
            break;
        files << piece;
    }
    files << archive;
    return files;
}

// Checks a set with a reader of its own: the split signature, the end record's disk numbers,
// each central entry whole inside one piece and pointing at a local header that lies whole
// inside its piece. Returns an empty text when all holds.
QString inspectSet(const QStringList& files, qsizetype* entryCount = nullptr)
{
    QList<QByteArray> pieces;
    for (const QString& f : files)
        pieces << readFile(f);
    const QByteArray& last = pieces.last();
    qsizetype e = last.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (e < 0)
        return QStringLiteral("no end record");
    if (le16(last, e + 4) != files.size() - 1)
        return QStringLiteral("end record names disk %1 of %2").arg(le16(last, e + 4)).arg(files.size());
    if (files.size() > 1 && le32(pieces[0], 0) != 0x08074b50)
        return QStringLiteral("no split signature");
    const bool zip64 = e >= 20 && le32(last, e - 20) == 0x07064b50;
    quint64 cdDisk = le16(last, e + 6);
    quint64 cdOffset = le32(last, e + 16);
    quint64 entries = le16(last, e + 10);
    if (zip64) {
        const qsizetype z = qsizetype(le32(last, e - 12)); // the zip64 end record on the last piece
        if (le32(last, e - 16) != quint32(files.size() - 1) || le32(last, z) != 0x06064b50)
            return QStringLiteral("zip64 locator wrong");
        if (le32(last, e - 4) != quint32(files.size()))
            return QStringLiteral("zip64 locator disk count wrong");
        cdDisk = le32(last, z + 20);
        entries = quint64(le32(last, z + 32)) | quint64(le32(last, z + 36)) << 32;
        cdOffset = quint64(le32(last, z + 48)) | quint64(le32(last, z + 52)) << 32;
    }
    qsizetype p = qsizetype(cdDisk);
    qsizetype o = qsizetype(cdOffset);
    for (quint64 i = 0; i < entries; ++i) {
        if (o == pieces[p].size()) {
            ++p;
            o = 0;
        }
        if (p >= pieces.size() || pieces[p].size() - o < 46 || le32(pieces[p], o) != 0x02014b50)
            return QStringLiteral("central entry %1 missing").arg(i);
        const qsizetype length = 46 + le16(pieces[p], o + 28) + le16(pieces[p], o + 30) + le16(pieces[p], o + 32);
        if (pieces[p].size() - o < length)
            return QStringLiteral("central entry %1 straddles pieces").arg(i);
        const qsizetype disk = le16(pieces[p], o + 34);
        const qsizetype offset = le32(pieces[p], o + 42);
        if (disk >= pieces.size() || pieces[disk].size() - offset < 30 || le32(pieces[disk], offset) != 0x04034b50)
            return QStringLiteral("entry %1 points at no local header (disk %2 offset %3)").arg(i).arg(disk).arg(offset);
        const qsizetype local = 30 + le16(pieces[disk], offset + 26) + le16(pieces[disk], offset + 28);
        if (pieces[disk].size() - offset < local)
            return QStringLiteral("local header %1 straddles pieces").arg(i);
        o += length;
    }
    if (entryCount)
        *entryCount = qsizetype(entries);
    return QString();
}

class ZipSplitTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // The set reads back as entries, and joined into "joined.zip" it is the zip it was cut
    // from (singleBytes), byte for byte.
    void expectReadsAndJoins(const QString& archive, const std::vector<Entry>& entries, const QByteArray& singleBytes)
    {
        QString error;
        zip_t* za = openSplitSet(archive, &error);
        ASSERT_NE(za, nullptr) << error.toStdString();
        QString problem;
        EXPECT_EQ(readAll(za, &problem), expectedContents(entries)) << problem.toStdString();
        zip_discard(za);
        const QString joined = path(QStringLiteral("joined.zip"));
        ASSERT_TRUE(joinSplitSet(archive, joined, &error)) << error.toStdString();
        EXPECT_TRUE(readFile(joined) == singleBytes);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ZipSplitTest, SetsAreNamedSizedAndReadBack)
{
    const std::vector<Entry> entries = sampleEntries();
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, entries, "set comment"));
    const QByteArray singleBytes = readFile(single);

    struct Case {
        qint64 partSize;
        qsizetype minPieces;
    } const cases[] = {
        {65536, 7},
        {100000, 5},
        {4000, 105}, // past base.z99: base.z100 and on
        {qint64(singleBytes.size()) - 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.partSize);
        QTemporaryDir out;
        const QString archive = out.filePath(QStringLiteral("pack.zip"));
        QString error;
        ASSERT_TRUE(writeSplitSet(single, archive, c.partSize, &error)) << error.toStdString();

        const QStringList files = setFiles(archive);
        ASSERT_GE(files.size(), c.minPieces);
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), files.size()) << "no other files written";
        if (files.size() > 100) {
            EXPECT_TRUE(files[99].endsWith(QLatin1String("pack.z100")));
        }
        qint64 total = 0;
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QByteArray piece = readFile(files[i]);
            total += piece.size();
            EXPECT_LE(piece.size(), c.partSize) << files[i].toStdString();
            if (i + 1 < files.size() && piece.size() < c.partSize) {
                // Cut early only for a record that did not fit: the next piece starts with one.
                const QByteArray next = readFile(files[i + 1]).left(4);
                EXPECT_TRUE(next == QByteArray("PK\x03\x04", 4) || next == QByteArray("PK\x01\x02", 4)
                            || next == QByteArray("PK\x05\x06", 4))
                    << files[i].toStdString() << " is short of its size";
            }
        }
        EXPECT_EQ(total, singleBytes.size() + 4);
        EXPECT_EQ(inspectSet(files).toStdString(), "");
        EXPECT_TRUE(isSplitSet(archive));

        zip_t* za = openSplitSet(archive, &error);
        ASSERT_NE(za, nullptr) << error.toStdString();
        QString problem;
        EXPECT_EQ(readAll(za, &problem), expectedContents(entries)) << problem.toStdString();
        int length = 0;
        const char* comment = zip_get_archive_comment(za, &length, 0);
        EXPECT_EQ(QByteArray(comment, length), QByteArray("set comment"));
        zip_discard(za);

        // Joined again, the set is the zip it was cut from, byte for byte.
        const QString joined = out.filePath(QStringLiteral("joined.zip"));
        ASSERT_TRUE(joinSplitSet(archive, joined, &error)) << error.toStdString();
        EXPECT_TRUE(readFile(joined) == singleBytes);
    }
}

TEST_F(ZipSplitTest, AZipThatFitsOnePartIsTheWholeSet)
{
    const std::vector<Entry> entries = {{QStringLiteral("a.txt"), "alpha"}, {QStringLiteral("b/c.txt"), "gamma"}};
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, entries));
    const QString archive = path(QStringLiteral("small.zip"));
    QString error;
    ASSERT_TRUE(writeSplitSet(single, archive, 1000000, &error)) << error.toStdString();
    EXPECT_EQ(readFile(archive), readFile(single));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("small.z01"))));
    EXPECT_FALSE(isSplitSet(archive));
    zip_t* za = openSplitSet(archive, &error);
    ASSERT_NE(za, nullptr) << error.toStdString();
    QString problem;
    EXPECT_EQ(readAll(za, &problem), expectedContents(entries));
    zip_discard(za);
}

TEST_F(ZipSplitTest, ASetCanReplaceTheZipItIsCutFrom)
{
    const std::vector<Entry> entries = sampleEntries();
    const QString archive = path(QStringLiteral("inplace.zip"));
    ASSERT_TRUE(makeZip(archive, entries));
    const QByteArray before = readFile(archive);
    QString error;
    ASSERT_TRUE(writeSplitSet(archive, archive, 65536, &error)) << error.toStdString();
    EXPECT_TRUE(isSplitSet(archive));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("inplace.z01"))));
    const QString joined = path(QStringLiteral("joined.zip"));
    ASSERT_TRUE(joinSplitSet(archive, joined, &error)) << error.toStdString();
    EXPECT_TRUE(readFile(joined) == before);
}

TEST_F(ZipSplitTest, RenamedPiecesAreRead)
{
    const std::vector<Entry> entries = sampleEntries();
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, entries));
    const QString archive = path(QStringLiteral("pack.zip"));
    QString error;
    ASSERT_TRUE(writeSplitSet(single, archive, 4000, &error)) << error.toStdString();
    const QStringList files = setFiles(archive);
    ASSERT_GT(files.size(), 102);

    // All renamed (pack.000 ... pack.100 ...), or only the first few as a renaming stopped
    // part-way leaves them.
    for (qsizetype renamedCount : {qsizetype(3), files.size() - 1}) {
        SCOPED_TRACE(renamedCount);
        for (qsizetype i = 0; i < renamedCount; ++i)
            ASSERT_TRUE(QFile::rename(files[i], path(QStringLiteral("pack.%1").arg(i, 3, 10, QLatin1Char('0')))));
        EXPECT_TRUE(isSplitSet(archive));
        ASSERT_NO_FATAL_FAILURE(expectReadsAndJoins(archive, entries, readFile(single)));
        for (qsizetype i = 0; i < renamedCount; ++i)
            ASSERT_TRUE(QFile::rename(path(QStringLiteral("pack.%1").arg(i, 3, 10, QLatin1Char('0'))), files[i]));
    }
}

TEST_F(ZipSplitTest, StalePiecesAreIgnored)
{
    // A long set, then a shorter one under the same name: the old set's later pieces stay
    // behind. Old renamed pieces lie beside it too.
    const QString single = path(QStringLiteral("single.zip"));
    const std::vector<Entry> old = {{QStringLiteral("old.bin"), randomBytes(300000, 9)}};
    ASSERT_TRUE(makeZip(single, old));
    const QString archive = path(QStringLiteral("pack.zip"));
    QString error;
    ASSERT_TRUE(writeSplitSet(single, archive, 30000, &error)) << error.toStdString();
    ASSERT_TRUE(QFileInfo::exists(path(QStringLiteral("pack.z09"))));
    writeFile(path(QStringLiteral("pack.000")), randomBytes(30000, 10));
    writeFile(path(QStringLiteral("pack.001")), randomBytes(30000, 11));

    const std::vector<Entry> entries = sampleEntries();
    ASSERT_TRUE(makeZip(single, entries));
    ASSERT_TRUE(writeSplitSet(single, archive, 200000, &error)) << error.toStdString();
    ASSERT_TRUE(QFileInfo::exists(path(QStringLiteral("pack.z09"))));

    ASSERT_NO_FATAL_FAILURE(expectReadsAndJoins(archive, entries, readFile(single)));
}

TEST_F(ZipSplitTest, FailuresWriteNothingAndSayWhy)
{
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, {{QString(200, QLatin1Char('n')), randomBytes(5000, 4)}}));
    const QString notZip = path(QStringLiteral("notzip.zip"));
    writeFile(notZip, "this is no zip archive at all, just some text");

    struct Case {
        const char* what;
        QString source;
        qint64 partSize;
        QString blocked = QString(); // a folder stands at this part's name
    } const cases[] = {
        {"no part size", single, 0},
        {"a negative part size", single, -5},
        {"a part smaller than a header", single, 100},
        {"not a zip", notZip, 1000},
        {"no such file", path(QStringLiteral("missing.zip")), 1000},
        // The parts before the one that fails are removed again.
        {"the third part cannot be written", single, 1000, QStringLiteral("set.z03")},
        {"the last part cannot be written", single, 1000, QStringLiteral("set.zip")},
    };
    for (const Case& c : cases) {
        QTemporaryDir out;
        const QString archive = out.filePath(QStringLiteral("set.zip"));
        if (!c.blocked.isEmpty())
            ASSERT_TRUE(QDir(out.path()).mkdir(c.blocked));
        QString error;
        EXPECT_FALSE(writeSplitSet(c.source, archive, c.partSize, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << c.what;
    }
}

TEST_F(ZipSplitTest, DamagedSetsAreRefused)
{
    const std::vector<Entry> entries = sampleEntries();
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, entries));

    struct Case {
        const char* what;
        std::function<void(const QStringList&)> damage;
    } const cases[] = {
        {"a missing middle piece", [](const QStringList& f) { QFile::remove(f[1]); }},
        {"a missing first piece", [](const QStringList& f) { QFile::remove(f[0]); }},
        {"a shortened piece", [](const QStringList& f) { QFile(f[1]).resize(QFileInfo(f[1]).size() - 100); }},
        {"a central directory cut short",
         [](const QStringList& f) {
             // The end record claims one entry more than the directory holds.
             QByteArray last = readFile(f.last());
             const qsizetype e = last.lastIndexOf(QByteArray("PK\x05\x06", 4));
             last[e + 10] = char(uchar(last[e + 10]) + 1);
             writeFile(f.last(), last);
         }},
        {"an entry on a disk the set lacks",
         [](const QStringList& f) {
             QByteArray last = readFile(f.last());
             const qsizetype c = last.indexOf(QByteArray("PK\x01\x02", 4));
             ASSERT_GE(c, 0) << "the central directory starts on the last piece";
             last[c + 34] = char(0x7F);
             writeFile(f.last(), last);
         }},
    };
    for (const Case& c : cases) {
        QTemporaryDir out;
        const QString archive = out.filePath(QStringLiteral("set.zip"));
        QString error;
        ASSERT_TRUE(writeSplitSet(single, archive, 120000, &error)) << error.toStdString();
        const QStringList files = setFiles(archive);
        ASSERT_GE(files.size(), 3);
        c.damage(files);
        error.clear();
        zip_t* za = openSplitSet(archive, &error);
        if (za) {
            // libzip may refuse later, entry by entry; nothing may read back as good.
            QString problem;
            EXPECT_NE(readAll(za, &problem), expectedContents(entries)) << c.what;
            zip_discard(za);
        } else {
            EXPECT_FALSE(error.isEmpty()) << c.what;
        }
        if (!za) {
            EXPECT_FALSE(joinSplitSet(archive, out.filePath(QStringLiteral("j.zip")), &error)) << c.what;
        }
    }
}

TEST_F(ZipSplitTest, ManyEntriesGetZip64EndRecords)
{
    // 70000 entries do not fit the end record's 16-bit counts: the set carries zip64 end
    // records, and its central directory runs over several pieces.
    std::vector<Entry> entries;
    for (int i = 0; i < 70000; ++i)
        entries.push_back({QStringLiteral("d%1/f%2.txt").arg(i % 50).arg(i), QByteArray::number(i)});
    const QString single = path(QStringLiteral("many.zip"));
    ASSERT_TRUE(makeZip(single, entries));
    const QString archive = path(QStringLiteral("many-set.zip"));
    QString error;
    ASSERT_TRUE(writeSplitSet(single, archive, 1000000, &error)) << error.toStdString();
    const QStringList files = setFiles(archive);
    ASSERT_GE(files.size(), 5);
    qsizetype count = 0;
    EXPECT_EQ(inspectSet(files, &count).toStdString(), "");
    EXPECT_EQ(count, 70000);
    EXPECT_TRUE(readFile(archive).contains(QByteArray("PK\x06\x06", 4)));

    zip_t* za = openSplitSet(archive, &error);
    ASSERT_NE(za, nullptr) << error.toStdString();
    EXPECT_EQ(zip_get_num_entries(za, 0), 70000);
    QString problem;
    EXPECT_EQ(readAll(za, &problem), expectedContents(entries)) << problem.toStdString();
    zip_discard(za);
}

// Info-ZIP's tools, independent of our code: zip joins our set and unzip tests every entry of
// the joined archive; zip cuts a zip of its own making exactly as we do; and a set zip cuts is
// read by ours. (Debian's zip 3.0 mis-joins an entry that runs over more than one piece
// boundary, also in sets it cut itself, so the joined sets keep each entry under a part size.)
TEST_F(ZipSplitTest, InfoZipAgreesWithOurSets)
{
    const QString zipTool = QStandardPaths::findExecutable(QStringLiteral("zip"));
    const QString unzipTool = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (zipTool.isEmpty() || unzipTool.isEmpty())
        GTEST_SKIP() << "Info-ZIP zip and unzip are not installed (Debian packages zip, unzip)";

    auto run = [&](const QString& program, const QStringList& args, QString* output) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        p.waitForFinished(120000);
        *output = QString::fromLocal8Bit(p.readAll());
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };

    std::vector<Entry> entries = {
        {QStringLiteral("Route1/RouteProperties.xml"), textBytes(1500), false},
        {QStringLiteral("Route1/empty.txt"), QByteArray()},
        {QStringLiteral("Route1/Textures/sky.dds"), randomBytes(60001, 2)},
    };
    for (int i = 0; i < 30; ++i)
        entries.push_back({QStringLiteral("Route1/Tiles/t%1.bin").arg(i), randomBytes(9000 + 997 * i, 100 + i), i % 2 == 0});
    const QString single = path(QStringLiteral("single.zip"));
    ASSERT_TRUE(makeZip(single, entries));

    for (qint64 partSize : {qint64(65536), qint64(150000)}) {
        SCOPED_TRACE(partSize);
        const QString archive = path(QStringLiteral("ours%1.zip").arg(partSize));
        QString error;
        ASSERT_TRUE(writeSplitSet(single, archive, partSize, &error)) << error.toStdString();
        ASSERT_GE(setFiles(archive).size(), 3);
        const QString joined = path(QStringLiteral("joined%1.zip").arg(partSize));
        QString output;
        ASSERT_TRUE(run(zipTool, {QStringLiteral("-s"), QStringLiteral("0"), archive, QStringLiteral("--out"), joined},
                        &output))
            << output.toStdString();
        ASSERT_TRUE(run(unzipTool, {QStringLiteral("-t"), joined}, &output)) << output.toStdString();
        EXPECT_TRUE(output.contains(QLatin1String("No errors detected"))) << output.toStdString();
        for (const Entry& e : entries)
            EXPECT_TRUE(output.contains(QStringLiteral("testing: %1 ").arg(e.name))) << e.name.toStdString();
    }

    // A zip that zip made itself, with entries over several pieces: zip's cut and ours are the
    // same bytes, and ours reads zip's.
    QDir(dir.path()).mkpath(QStringLiteral("in"));
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("in/f%1.bin").arg(i);
        writeFile(path(name), randomBytes(50000 + 40000 * i, 200 + i));
        names << name;
    }
    QString output;
    ASSERT_TRUE(run(zipTool, QStringList{QStringLiteral("-q"), QStringLiteral("-0"), QStringLiteral("-X"),
                                         QStringLiteral("theirs-single.zip")} + names,
                    &output))
        << output.toStdString();
    ASSERT_TRUE(run(zipTool, {QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("64k"),
                              QStringLiteral("theirs-single.zip"), QStringLiteral("--out"), QStringLiteral("theirs.zip")},
                    &output))
        << output.toStdString();
    QString error;
    ASSERT_TRUE(writeSplitSet(path(QStringLiteral("theirs-single.zip")), path(QStringLiteral("ours.zip")), 65536, &error))
        << error.toStdString();
    const QStringList theirFiles = setFiles(path(QStringLiteral("theirs.zip")));
    const QStringList ourFiles = setFiles(path(QStringLiteral("ours.zip")));
    ASSERT_GE(theirFiles.size(), 6);
    ASSERT_EQ(ourFiles.size(), theirFiles.size());
    for (qsizetype i = 0; i < ourFiles.size(); ++i)
        EXPECT_TRUE(readFile(ourFiles[i]) == readFile(theirFiles[i])) << ourFiles[i].toStdString();

    const QString theirs = path(QStringLiteral("theirs.zip"));
    EXPECT_TRUE(isSplitSet(theirs));
    zip_t* za = openSplitSet(theirs, &error);
    ASSERT_NE(za, nullptr) << error.toStdString();
    QString problem;
    const std::map<QString, QByteArray> read = readAll(za, &problem);
    EXPECT_EQ(read.size(), 4u) << problem.toStdString();
    for (const QString& name : names)
        EXPECT_TRUE(read.count(name) && read.at(name) == readFile(path(name))) << name.toStdString();
    zip_discard(za);
}
