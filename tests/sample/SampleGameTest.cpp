// The sample game as the build makes it, and the test serializer on every one of its files.

#include "assets/ChildEntries.h"
#include "support/ChildProcess.h"
#include "support/SampleGame.h"
#include "support/TempTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QByteArray kMagic("SERZBIN1");

using SerzRun = ProcessRun;

SerzRun runSerz(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return runProcess(testSerzPath(), args, 30000, QString(), env);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every file of the built sample game, relative to it.
QStringList sampleFiles()
{
    QStringList files;
    QDirIterator it(sampleGamePath(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(sampleGamePath()).relativeFilePath(it.next());
    files.sort();
    return files;
}

bool isBinaryName(const QString& rel)
{
    static const QRegularExpression re(QStringLiteral("\\.(bin|geopcdx|proxybin|xsec|tgpcdx)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(rel).hasMatch();
}

TEST(SampleGame, HasTheGameLayout)
{
    const QStringList files = sampleFiles();
    ASSERT_FALSE(files.isEmpty()) << "the sample game was not built at " << sampleGamePath().toStdString();
    EXPECT_TRUE(files.contains(QStringLiteral("serz.exe")));
    EXPECT_TRUE(QFileInfo(sampleGamePath() + QStringLiteral("/serz.exe")).isExecutable());
    EXPECT_TRUE(files.contains(QStringLiteral("Content/Routes.xml")));

    // Every route folder named in Routes.xml exists with its scenario list and track file, and
    // every scenario folder named in a scenario list holds its Scenario.bin.
    const QString routes = QString::fromUtf8(readAll(sampleGamePath() + QStringLiteral("/Content/Routes.xml")));
    static const QRegularExpression devString(QStringLiteral("<DevString[^>]*>([^<]*)</DevString"));
    QStringList routeFolders;
    for (const auto& m : devString.globalMatch(routes))
        routeFolders << m.captured(1);
    ASSERT_EQ(routeFolders.size(), 2);
    int scenarios = 0;
    for (const QString& route : routeFolders) {
        const QString base = QStringLiteral("Content/Routes/") + route;
        EXPECT_TRUE(files.contains(base + QStringLiteral("/RouteProperties.xml"))) << route.toStdString();
        EXPECT_TRUE(files.contains(base + QStringLiteral("/Networks/Tracks.bin"))) << route.toStdString();
        ASSERT_TRUE(files.contains(base + QStringLiteral("/Scenarios.bin"))) << route.toStdString();

        TempTree tree;
        const QString xml = tree.path(QStringLiteral("Scenarios.xml"));
        ASSERT_EQ(runSerz({sampleGamePath() + QLatin1Char('/') + base + QStringLiteral("/Scenarios.bin"),
                           QStringLiteral("xml:") + xml})
                      .status,
                  0);
        const QString list = QString::fromUtf8(readAll(xml));
        for (const auto& m : devString.globalMatch(list)) {
            EXPECT_TRUE(files.contains(base + QStringLiteral("/Scenarios/") + m.captured(1) + QStringLiteral("/Scenario.bin")))
                << m.captured(1).toStdString();
            ++scenarios;
        }
    }
    EXPECT_EQ(scenarios, 3);
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [](const QString& f) {
        return f.startsWith(QStringLiteral("Assets/VeltraneSamples/Sample01/RailVehicles/")) && f.endsWith(QStringLiteral(".bin"));
    }));
}

// The tests read their own copy of the sample game, not the one ./run starts on (build/sample-game
// of the source folder, which the user changes in the program), and it holds exactly what the
// build makes from samples/game: every source file copied or converted, the serializer and the
// loading picture, nothing else.
TEST(SampleGame, IsTheTestsOwnCopyOfWhatTheBuildMakesFromTheSources)
{
    const QString runGame = QStringLiteral(VELTRANE_SOURCE_DIR "/build/sample-game");
    EXPECT_NE(QFileInfo(sampleGamePath()).canonicalFilePath(), QFileInfo(runGame).canonicalFilePath());

    TempTree tree;
    const QDir source(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game"));
    QStringList expected{QStringLiteral("serz.exe"), QStringLiteral("Source/loading_Valley.dds")};
    QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString rel = source.relativeFilePath(it.next());
        const QByteArray sourceBytes = readAll(it.filePath());
        if (rel.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive) && isBinaryName(rel.chopped(4))) {
            expected << rel.chopped(4);
            const QString xml = tree.path(QStringLiteral("xml/") + rel);
            QDir().mkpath(QFileInfo(xml).absolutePath());
            const SerzRun r = runSerz({sampleGamePath() + QLatin1Char('/') + expected.last(), QStringLiteral("xml:") + xml});
            EXPECT_EQ(r.status, 0) << rel.toStdString() << r.err.toStdString();
            EXPECT_TRUE(readAll(xml) == sourceBytes) << rel.toStdString();
        } else {
            expected << rel;
            EXPECT_TRUE(readAll(sampleGamePath() + QLatin1Char('/') + rel) == sourceBytes) << rel.toStdString();
        }
    }
    expected.sort();
    EXPECT_EQ(sampleFiles(), expected);
    EXPECT_TRUE(readAll(sampleGamePath() + QStringLiteral("/serz.exe")) == readAll(testSerzPath()));
    const QString picture = tree.path(QStringLiteral("loading.dds"));
    ASSERT_EQ(runProcess(QStringLiteral(VELTRANE_BIN_DIR "/make_loading_image"), {picture}, 30000).status, 0);
    EXPECT_TRUE(readAll(sampleGamePath() + QStringLiteral("/Source/loading_Valley.dds")) == readAll(picture));
}

TEST(SampleGame, EveryBinaryFileTurnsToXmlAndBackByteForByte)
{
    TempTree tree;
    int binaries = 0;
    for (const QString& rel : sampleFiles()) {
        if (!isBinaryName(rel))
            continue;
        ++binaries;
        const QString game = sampleGamePath() + QLatin1Char('/') + rel;
        const QByteArray original = readAll(game);
        ASSERT_TRUE(original.startsWith(kMagic)) << rel.toStdString();

        // The work copies of the program: "<name>.xml" from " xml:", back with " bin:".
        const QString xml = tree.path(QStringLiteral("work/") + rel + QStringLiteral(".xml"));
        const QString bin = tree.path(QStringLiteral("work/") + rel);
        QDir().mkpath(QFileInfo(xml).absolutePath());
        SerzRun r = runSerz({game, QStringLiteral("xml:") + xml});
        ASSERT_EQ(r.status, 0) << rel.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("decoded"))) << r.out.toStdString();
        const QByteArray text = readAll(xml);
        EXPECT_TRUE(text.startsWith("<?xml")) << rel.toStdString();
        EXPECT_TRUE(text.contains("\r\n")) << rel.toStdString();

        r = runSerz({xml, QStringLiteral("bin:") + bin});
        ASSERT_EQ(r.status, 0) << rel.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("encoded"))) << r.out.toStdString();
        EXPECT_EQ(readAll(bin), original) << rel.toStdString();
    }
    EXPECT_GE(binaries, 20);
}

TEST(SampleGame, RouteFilesReferenceAssetsThatExistBesidesTheDeliberatelyMissingOnes)
{
    // A reference in a tile is a "<Provider" line, the product on the next line, two more
    // lines, then the blueprint ID: the route check reads them so.
    TempTree tree;
    QStringList missing;
    int references = 0;
    for (const QString& rel : sampleFiles()) {
        if (!rel.startsWith(QStringLiteral("Content/")) || !isBinaryName(rel))
            continue;
        const QString xml = tree.path(QStringLiteral("tile.xml"));
        ASSERT_EQ(runSerz({sampleGamePath() + QLatin1Char('/') + rel, QStringLiteral("xml:") + xml}).status, 0);
        const QStringList lines = QString::fromUtf8(readAll(xml)).split(QStringLiteral("\r\n"));
        const auto value = [](const QString& line) {
            const qsizetype a = line.indexOf(QLatin1Char('>'));
            return line.mid(a + 1, line.indexOf(QLatin1Char('<'), a) - a - 1);
        };
        for (qsizetype i = 0; i + 4 < lines.size(); ++i) {
            if (!lines[i].contains(QStringLiteral("<Provider")))
                continue;
            const QString provider = value(lines[i]);
            const QString product = value(lines[i + 1]);
            QString id = value(lines[i + 4]);
            ASSERT_TRUE(lines[i + 4].contains(QStringLiteral("<BlueprintID"))) << rel.toStdString();
            if (provider.isEmpty() || id.isEmpty())
                continue;
            ++references;
            id.chop(3);
            id.replace(QLatin1Char('\\'), QLatin1Char('/'));
            const QString path = QStringLiteral("Assets/") + provider + QLatin1Char('/') + product + QLatin1Char('/') + id + QStringLiteral("bin");
            if (!QFileInfo::exists(sampleGamePath() + QLatin1Char('/') + path))
                missing << path;
        }
    }
    EXPECT_GE(references, 20);
    missing.removeDuplicates();
    missing.sort();
    EXPECT_EQ(missing, (QStringList{QStringLiteral("Assets/VeltraneSamples/Sample01/RailVehicles/Diesel/Class37/Engine/VS_Class37.bin"),
                                    QStringLiteral("Assets/VeltraneSamples/Sample01/Scenery/Trees/VS_Birch01.bin")}));
}

TEST(SampleGame, RollingStockOfEveryKindWithNumbersCabsAndTextures)
{
    TempTree tree;
    const QString base = QStringLiteral("Assets/VeltraneSamples/Sample01/RailVehicles/");
    struct Row {
        const char* folder;    // the vehicle's folder below RailVehicles
        const char* blueprint; // below the vehicle's folder, without ".bin"
        const char* element;   // what makes it an engine, a wagon or a tender
        const char* name;
    };
    const Row rows[] = {
        {"Electric/Class86", "Engine/VS_Class86", "<cEngineComponentBlueprint", "VS Class 86"},
        {"Steam/Class4F", "Engine/VS_4F", "<cEngineComponentBlueprint", "VS 4F"},
        {"Steam/Class4F", "Tender/VS_4FTender", "<cTenderBlueprint", "VS 4F Tender"},
        {"Passenger/Mk1", "Coach/VS_Mk1Coach", "<cWagonBlueprint", "VS Mk1 Coach"},
        {"DMU/Class101", "Car/VS_Class101", "<cEngineComponentBlueprint", "VS Class 101"},
    };
    const QStringList files = sampleFiles();
    for (const Row& row : rows) {
        const QString folder = base + QString::fromLatin1(row.folder) + QLatin1Char('/');
        const QString bin = folder + QString::fromLatin1(row.blueprint) + QStringLiteral(".bin");
        ASSERT_TRUE(files.contains(bin)) << bin.toStdString();
        const QString xml = tree.path(QStringLiteral("b.xml"));
        ASSERT_EQ(runSerz({sampleGamePath() + QLatin1Char('/') + bin, QStringLiteral("xml:") + xml}).status, 0);
        const QString text = QString::fromUtf8(readAll(xml));
        EXPECT_TRUE(text.contains(QString::fromLatin1(row.element))) << bin.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral(">") + QString::fromLatin1(row.name) + QStringLiteral("</Name>"))) << bin.toStdString();

        // The number list the blueprint names exists.
        static const QRegularExpression csv(QStringLiteral("<CsvFile[^>]*>([^<]*)</CsvFile>"));
        const QString csvFile = csv.match(text).captured(1).replace(QLatin1Char('\\'), QLatin1Char('/'));
        EXPECT_TRUE(files.contains(QStringLiteral("Assets/") + csvFile + QStringLiteral(".dcsv"))) << csvFile.toStdString();

        for (const char* part : {"CabView/", "Textures/"}) {
            EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const QString& f) {
                return f.startsWith(folder) && f.contains(QLatin1Char('/') + QString::fromLatin1(part));
            })) << row.folder << " " << part;
        }
    }
    // The tender's fuels: coal first, then water.
    const QString xml = tree.path(QStringLiteral("tender.xml"));
    ASSERT_EQ(runSerz({sampleGamePath() + QLatin1Char('/') + base + QStringLiteral("Steam/Class4F/Tender/VS_4FTender.bin"),
                       QStringLiteral("xml:") + xml})
                  .status,
              0);
    const QString tender = QString::fromUtf8(readAll(xml));
    ASSERT_TRUE(tender.contains(QStringLiteral("WaterFuel")));
    EXPECT_LT(tender.indexOf(QStringLiteral("CoalFuel")), tender.indexOf(QStringLiteral("WaterFuel")));
    EXPECT_GE(tender.indexOf(QStringLiteral("CoalFuel")), 0);

    // The coach carries child entries for the asset list's child-entry commands.
    const QString coach = tree.path(QStringLiteral("coach.xml"));
    ASSERT_EQ(runSerz({sampleGamePath() + QLatin1Char('/') + base + QStringLiteral("Passenger/Mk1/Coach/VS_Mk1Coach.bin"),
                       QStringLiteral("xml:") + coach})
                  .status,
              0);
    EXPECT_EQ(assets::childEntryNames(QString::fromUtf8(readAll(coach))),
              QStringList({QStringLiteral("Passenger1"), QStringLiteral("Passenger2"), QStringLiteral("Guard")}));
}

TEST(SampleGame, CopyAndInstallHelpersGiveAWritableGameAndASerializer)
{
    TempTree tree;
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    ASSERT_TRUE(installSerz(tree.systemPath()));
    EXPECT_TRUE(QFileInfo(tree.systemPath() + QStringLiteral("/serz.exe")).isExecutable());
    const QString routes = tree.gamePath() + QStringLiteral("/Content/Routes.xml");
    EXPECT_EQ(readAll(routes), readAll(sampleGamePath() + QStringLiteral("/Content/Routes.xml")));
    ASSERT_TRUE(writeAll(routes, "changed"));
    EXPECT_NE(readAll(sampleGamePath() + QStringLiteral("/Content/Routes.xml")), QByteArray("changed"));
    // Copying again over a changed copy puts the sample back.
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    EXPECT_EQ(readAll(routes), readAll(sampleGamePath() + QStringLiteral("/Content/Routes.xml")));
}

TEST(TestSerializer, DirectionFollowsTheContentNotTheSwitch)
{
    TempTree tree;
    // Every byte value must survive, a zero byte and bytes above 127 included.
    const QByteArray xml = QByteArray("<?xml version=\"1.0\"?>\r\n<a b=\"&amp;\">") + QByteArray("\xE9\x00\xFF", 3)
                           + QByteArray("</a>\r\n");
    const QString in = tree.writeFile(QStringLiteral("in.xml"), xml);
    // Encoding with " xml:" (as the scenario editor writes back), and with backslashes.
    QString inWin = in;
    inWin.replace(QLatin1Char('/'), QLatin1Char('\\'));
    SerzRun r = runSerz({inWin, QStringLiteral("xml:") + tree.path(QStringLiteral("out.bin"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray bin = tree.readFile(QStringLiteral("out.bin"));
    EXPECT_TRUE(bin.startsWith(kMagic));
    EXPECT_FALSE(bin.mid(kMagic.size()).contains("xml")); // disguised
    // " /bin:" and a switch given apart from its path; decoding gives the bytes back.
    r = runSerz({tree.path(QStringLiteral("out.bin")), QStringLiteral("/BIN:"), tree.path(QStringLiteral("back.xml"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(tree.readFile(QStringLiteral("back.xml")), xml);
    // Encoding a binary-looking file again with " bin:" still decodes it.
    r = runSerz({tree.path(QStringLiteral("out.bin")), QStringLiteral("bin:") + tree.path(QStringLiteral("again.xml"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(tree.readFile(QStringLiteral("again.xml")), xml);
}

TEST(TestSerializer, FailsWithoutWritingWhenToldTo)
{
    TempTree tree;
    const QString marked = tree.writeFile(QStringLiteral("marked.xml"), "<a>\r\n<!--serz:fail-->\r\n</a>\r\n");
    const QString plain = tree.writeFile(QStringLiteral("Plain.XML"), "<a/>\r\n");
    const QString out = tree.path(QStringLiteral("out.bin"));

    SerzRun r = runSerz({marked, QStringLiteral("bin:") + out});
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(QFileInfo::exists(out));

    // The marker inside a binary file's XML fails its decoding too.
    tree.writeFile(QStringLiteral("ok.xml"), "<a>ok</a>");
    ASSERT_EQ(runSerz({tree.path(QStringLiteral("ok.xml")), QStringLiteral("bin:") + tree.path(QStringLiteral("ok.bin"))}).status, 0);
    const QByteArray okBin = tree.readFile(QStringLiteral("ok.bin"));
    QByteArray markedBin = okBin;
    const QByteArray marker("<!--serz:fail-->");
    for (char c : marker)
        markedBin.append(char(c ^ char(0xA5)));
    tree.writeFile(QStringLiteral("marked.bin"), markedBin);
    r = runSerz({tree.path(QStringLiteral("marked.bin")), QStringLiteral("xml:") + out});
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(QFileInfo::exists(out));

    // SERZ_FAIL names the input's file name, compared without letter case.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SERZ_FAIL"), QStringLiteral("plain.xml"));
    r = runSerz({plain, QStringLiteral("xml:") + out}, env);
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(QFileInfo::exists(out));
    env.insert(QStringLiteral("SERZ_FAIL"), QStringLiteral("other.xml"));
    r = runSerz({plain, QStringLiteral("xml:") + out}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(out));

    // An existing output is left alone by a failing run; an empty or missing input fails.
    const QByteArray before = readAll(out);
    r = runSerz({marked, QStringLiteral("xml:") + out});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(readAll(out), before);
    r = runSerz({tree.writeFile(QStringLiteral("empty.xml"), QByteArray()), QStringLiteral("xml:") + tree.path(QStringLiteral("e.bin"))});
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("e.bin"))));
    r = runSerz({tree.path(QStringLiteral("none.xml")), QStringLiteral("xml:") + tree.path(QStringLiteral("n.bin"))});
    EXPECT_NE(r.status, 0);
    r = runSerz({plain});
    EXPECT_NE(r.status, 0);
}

TEST(TestSerializer, DelayHoldsTheWorkBack)
{
    TempTree tree;
    const QString in = tree.writeFile(QStringLiteral("slow.xml"), "<a/>");
    const QString out = tree.path(QStringLiteral("slow.bin"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SERZ_DELAY_MS"), QStringLiteral("3000"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(testSerzPath(), {in, QStringLiteral("bin:") + out});
    ASSERT_TRUE(p.waitForStarted(10000));
    EXPECT_FALSE(p.waitForFinished(500));
    EXPECT_FALSE(QFileInfo::exists(out));
    // Ended while it waits (as an abort does), it leaves nothing behind.
    p.kill();
    p.waitForFinished(5000);
    EXPECT_FALSE(QFileInfo::exists(out));
}

} // namespace
