// The reskin packager's work without its window: checksum texts, the batch lines the walks
// write for each kind of reskinned file, the refusals, two runs into one package, and the
// failed steps that are reported while the run goes on.

#include "packaging/ReskinPackage.h"

#include "common/AnsiText.h"
#include "common/SharedState.h"

#include "platform/TextCodec.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/TestBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include <sys/stat.h>

using packaging::GetCRC;
using packaging::ReskinPackage;

namespace {

// A file below the game's Assets ("/"-separated); no bytes: a link that leads nowhere, which is
// missing; kPipe: a named pipe, which is listed but cannot be read.
struct FileRow {
    const char* path;
    const char* bytes;
};

const char* const kPipe = "\x01pipe";

void putFiles(const TempTree& tree, const std::vector<FileRow>& files)
{
    for (const FileRow& f : files) {
        const QString rel = QStringLiteral("game/Assets/") + QString::fromUtf8(f.path);
        if (f.bytes == kPipe) {
            const QString path = tree.path(rel);
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (f.bytes) {
            tree.writeFile(rel, QByteArray(f.bytes));
        } else {
            const QString path = tree.path(rel);
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("nowhere")), path));
        }
    }
}

// Expected text: "{G}" the game folder, "{P}" the program folder; each line ends in CR LF.
QString lines(const QStringList& rows, const TempTree& tree)
{
    QString out;
    for (QString row : rows)
        out += row.replace(QStringLiteral("{G}"), tree.gamePath()).replace(QStringLiteral("{P}"), tree.programPath())
            + QStringLiteral("\r\n");
    return out;
}

// Two reskins, each with an identical and a changed or new file.
std::vector<FileRow> twoReskins()
{
    return {{"P/Orig1/a.dds", "AAAA"},   {"P/Orig1/b.dds", "BBBB"},      {"P/Reskin1/a.dds", "AAAA"},
            {"P/Reskin1/b.dds", "bbbb"}, {"Q/Orig2/Sub/c.dds", "CCCC"}, {"Q/Reskin2/Sub/c.dds", "CCCC"},
            {"Q/Reskin2/Sub/n.dds", "new"}};
}

QString gameStyle(const TempTree& tree, const QString& belowAssets)
{
    return tree.gamePath() + QStringLiteral("\\Assets\\") + belowAssets;
}

} // namespace

TEST(ReskinChecksum, TextsOfFiles)
{
    TempTree tree;
    const QByteArray big = randomBytes(3 * 1024 * 1024 + 17, 7); // more than one read block
    struct Row {
        const char* what;
        std::optional<QByteArray> bytes; // none: no such file
        QString expected;
    };
    const Row rows[] = {
        {"missing file", std::nullopt, QStringLiteral("0")},
        {"empty file", QByteArray(), QStringLiteral("0")},
        {"check value", QByteArray("123456789"), QStringLiteral("CBF43926")},
        {"leading zero digits dropped", QByteArray("reskin 2777"), QStringLiteral("5580B")},
        {"top bit set read unsigned", QByteArray("x2223755"), QStringLiteral("80000EB8")},
        {"several blocks", big, QString::number(referenceCrc32(big), 16).toUpper()},
    };
    int n = 0;
    for (const Row& row : rows) {
        const QString rel = QStringLiteral("game/Assets/Crc/file%1.bin").arg(n++);
        if (row.bytes)
            tree.writeFile(rel, *row.bytes);
        // A game-style path whose letters differ in case from the folder on disk.
        const QString game = tree.gamePath() + QStringLiteral("\\ASSETS\\crc\\") + QFileInfo(rel).fileName();
        EXPECT_EQ(GetCRC(game), row.expected) << row.what;
        bool readable = !row.bytes;
        EXPECT_EQ(GetCRC(game, &readable), row.expected) << row.what;
        EXPECT_EQ(readable, row.bytes.has_value()) << row.what;
    }
}

TEST(ReskinWalks, LinesOfEachKindOfFile)
{
    ScriptedUi ui;
    struct Row {
        const char* what;
        std::vector<FileRow> files; // below Assets: the source asset "P/Orig", the reskin "P/Reskin"
        QStringList install;
        QStringList copy;
        QStringList leftOut;    // below the reskinned folder
        QStringList unreadable; // game-style, "{G}" the game folder
        const char* reskin = "P\\Reskin";
        const char* source = "P\\Orig";
        QStringList missing = {}; // game-style, "{G}" the game folder
    };
    const Row rows[] = {
        {"identical file in a sub-folder",
         {{"P/Orig/Textures/a.dds", "AAAA"}, {"P/Reskin/Textures/a.dds", "AAAA"}},
         {R"(copy "Assets\P\Orig\Textures\a.dds" "Assets\P\Reskin\Textures\a.dds")"},
         {},
         {},
         {}},
        {"changed file of the same size",
         {{"P/Orig/Textures/a.dds", "AAAA"}, {"P/Reskin/Textures/a.dds", "AAAB"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\Textures\a.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Textures\a.dds")"},
         {},
         {}},
        {"changed file of another size",
         {{"P/Orig/Textures/a.dds", "AAAA"}, {"P/Reskin/Textures/a.dds", "AAAAA"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\Textures\a.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Textures\a.dds")"},
         {},
         {}},
        {"new file",
         {{"P/Orig/Textures/a.dds", "AAAA"}, {"P/Reskin/Textures/new.dds", "N"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\Textures\new.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Textures\new.dds")"},
         {},
         {}},
        {"identical file, name in another case",
         {{"P/Orig/Textures/Body.DDS", "AAAA"}, {"P/Reskin/textures/body.dds", "AAAA"}},
         {R"(copy "Assets\P\Orig\Textures\Body.DDS" "Assets\P\Reskin\textures\Body.DDS")"},
         {},
         {},
         {}},
        {"changed file, name in another case",
         {{"P/Orig/Textures/Body.DDS", "AAAA"}, {"P/Reskin/textures/body.dds", "BBBB"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\textures\body.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\textures\Body.DDS")"},
         {},
         {}},
        {"files directly in the reskinned folder",
         {{"P/Orig/a.bin", "X"}, {"P/Orig/c.bin", "C"}, {"P/Reskin/a.bin", "X"}, {"P/Reskin/c.bin", "D"}},
         {R"(copy "Assets\P\Orig\a.bin" "Assets\P\Reskin\\a.bin")"},
         {R"(copy "{G}\Assets\P\Reskin\c.bin" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\\c.bin")"},
         {},
         {}},
        {"name in two source folders: the folder's own files come first",
         {{"P/Orig/A/t.dds", "two"}, {"P/Orig/t.dds", "one"}, {"P/Reskin/X/t.dds", "one"}, {"P/Reskin/Y/t.dds", "two"}},
         {R"(copy "Assets\P\Orig\t.dds" "Assets\P\Reskin\X\t.dds")"},
         {R"(copy "{G}\Assets\P\Reskin\Y\t.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Y\t.dds")"},
         {},
         {}},
        {"name in two source sub-folders: sorted ignoring case",
         {{"P/Orig/B/t.dds", "one"}, {"P/Orig/a/t.dds", "two"}, {"P/Reskin/t.dds", "two"}},
         {R"(copy "Assets\P\Orig\a\t.dds" "Assets\P\Reskin\\t.dds")"},
         {},
         {},
         {}},
        {"names no batch line can hold are left out",
         {{"P/Orig/q.dds", "Q"}, {"P/Reskin/b\"q.dds", "Q"}, {"P/Reskin/\xe5\x90\x8d.dds", "N"}, {"P/Reskin/ok\xc3\xa9.dds", "E"}},
         {},
         {QStringLiteral("copy \"{G}\\Assets\\P\\Reskin\\ok\u00e9.dds\" \"{P}\\Pkg\\Rail Simulator\\Assets\\P\\Reskin\\\\ok\u00e9.dds\"")},
         {QStringLiteral("b\"q.dds"), QStringLiteral("\u540d.dds")},
         {}},
        {"names that step out of their folder or that cmd expands are left out, a folder with all it holds",
         {{"P/Orig/x.dds", "X"}, {"P/Orig/a%PATH%.dds", "A"}, {"P/Reskin/..\\..\\x.dds", "X"},
          {"P/Reskin/a%PATH%.dds", "A"}, {"P/Reskin/b..c.dds", "B"}, {"P/Reskin/sub%x%/d.dds", "D"},
          {"P/Reskin/up\\..\\e.dds", "E"}, {"P/Reskin/ok.dds", "K"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\ok.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\\ok.dds")"},
         {QStringLiteral("x.dds"), QStringLiteral("a%PATH%.dds"), QStringLiteral("b..c.dds"), QStringLiteral("e.dds"),
          QStringLiteral("sub%x%")},
         {}},
        {"empty files are identical",
         {{"P/Orig/e.dds", ""}, {"P/Reskin/e.dds", ""}},
         {R"(copy "Assets\P\Orig\e.dds" "Assets\P\Reskin\\e.dds")"},
         {},
         {},
         {}},
        {"a reskin inside its source folder is not taken for the source",
         {{"P/Reskin/a.dds", "AAAA"}, {"P/Reskin/Reskin/a.dds", "BBBB"}, {"P/Reskin/Reskin/b.dds", "B"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\Reskin\a.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Reskin\\a.dds")",
          R"(copy "{G}\Assets\P\Reskin\Reskin\b.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\Reskin\\b.dds")"},
         {},
         {},
         "P\\Reskin\\Reskin", "P\\Reskin"},
        {"a file that cannot be read is packaged as changed",
         {{"P/Orig/e.dds", ""}, {"P/Orig/f.dds", kPipe}, {"P/Reskin/e.dds", kPipe}, {"P/Reskin/f.dds", ""}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\e.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\\e.dds")",
          R"(copy "{G}\Assets\P\Reskin\f.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\\f.dds")"},
         {},
         {R"({G}\Assets\P\Reskin\e.dds)", R"({G}\Assets\P\Orig\f.dds)"}},
        {"a link that leads nowhere is missing: neither compared nor packaged",
         {{"P/Orig/e.dds", "E"}, {"P/Orig/f.dds", nullptr}, {"P/Reskin/e.dds", nullptr}, {"P/Reskin/f.dds", "F"}},
         {},
         {R"(copy "{G}\Assets\P\Reskin\f.dds" "{P}\Pkg\Rail Simulator\Assets\P\Reskin\\f.dds")"},
         {},
         {},
         "P\\Reskin",
         "P\\Orig",
         {R"({G}\Assets\P\Orig\f.dds)", R"({G}\Assets\P\Reskin\e.dds)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempTree tree;
        resetShared();
        putFiles(tree, row.files);
        shared().GamePath = tree.gamePath();
        shared().PackageFolder = QStringLiteral("Pkg");

        ReskinPackage package;
        package.load();
        const QString reskin = gameStyle(tree, QString::fromLatin1(row.reskin));
        package.setReskinFolder(reskin);
        package.reset();
        package.WorkWithSubFolders(gameStyle(tree, QString::fromLatin1(row.source)));
        package.WorkWithorigFolders(reskin);

        EXPECT_EQ(package.InstallText, lines(row.install, tree));
        EXPECT_EQ(package.CopyText, lines(row.copy, tree));
        QStringList leftOut;
        for (const QString& p : package.leftOut())
            leftOut << p.section(QLatin1Char('\\'), -1);
        EXPECT_EQ(leftOut, row.leftOut);
        QStringList unreadable;
        for (QString p : row.unreadable)
            unreadable << p.replace(QStringLiteral("{G}"), tree.gamePath());
        EXPECT_EQ(package.unreadable(), unreadable);
        QStringList missing;
        for (QString p : row.missing)
            missing << p.replace(QStringLiteral("{G}"), tree.gamePath());
        EXPECT_EQ(package.missing(), missing);

        // Every folder of the reskin has its mirror in the package.
        for (const FileRow& f : row.files) {
            const QString rel = QString::fromUtf8(f.path);
            if (rel.startsWith(QString::fromLatin1(row.reskin).replace(QLatin1Char('\\'), QLatin1Char('/')))
                && !row.leftOut.contains(QFileInfo(rel).dir().dirName())) {
                EXPECT_TRUE(QFileInfo(tree.path(QStringLiteral("program/Pkg/Rail Simulator/Assets/") + QFileInfo(rel).path()))
                                .isDir())
                    << f.path;
            }
        }
    }
    resetShared();
}

class ReskinProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        shared().GamePath = tree.gamePath();
        putFiles(tree, twoReskins());
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }
    QString assets(const char* below) const { return gameStyle(tree, QString::fromLatin1(below)); }
    QString package() const { return tree.programPath() + QStringLiteral("\\Reskin1"); }
    QString zipOffer() const
    {
        return QStringLiteral("Your Reskins are now saved in ") + package()
            + QStringLiteral("\r\nDo you wish them to be automatically zipped up ready for distribution?");
    }

    ScriptedUi ui;
    TempTree tree;
};

TEST_F(ReskinProcess, TwoRunsFillOnePackage)
{
    tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "MZ installer");
    ReskinPackage reskins;
    ui.expectMsgBox(vb::vbNo, QStringLiteral("Your Reskins are now saved in"));
    EXPECT_FALSE(reskins.Process(assets("P\\Reskin1"), assets("P\\Orig1")));
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Reskin1"));
    ui.expectMsgBox(vb::vbYes, QStringLiteral("Your Reskins are now saved in"));
    EXPECT_TRUE(reskins.Process(assets("Q\\Reskin2"), assets("Q\\Orig2")));
    EXPECT_EQ(shared().PackageFolder, QStringLiteral("Reskin1"));

    ASSERT_EQ(ui.messages().size(), 2);
    for (const auto& m : ui.messages()) {
        EXPECT_EQ(m.text, zipOffer());
        EXPECT_EQ(m.style, vb::vbYesNo + vb::vbInformation);
    }
    // Each run's identical files once, each write followed by one more line end.
    EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Reskin1/Rail Simulator/RS-Install.bat"))),
              QStringLiteral("copy \"Assets\\P\\Orig1\\a.dds\" \"Assets\\P\\Reskin1\\\\a.dds\"\r\n\r\n"
                             "copy \"Assets\\Q\\Orig2\\Sub\\c.dds\" \"Assets\\Q\\Reskin2\\Sub\\c.dds\"\r\n\r\n"));
    const QString mirror = QStringLiteral("program/Reskin1/Rail Simulator/Assets/");
    EXPECT_EQ(tree.readFile(mirror + QStringLiteral("P/Reskin1/b.dds")), "bbbb");
    EXPECT_EQ(tree.readFile(mirror + QStringLiteral("Q/Reskin2/Sub/n.dds")), "new");
    EXPECT_FALSE(tree.exists(mirror + QStringLiteral("P/Reskin1/a.dds")));
    EXPECT_FALSE(tree.exists(mirror + QStringLiteral("Q/Reskin2/Sub/c.dds")));
    EXPECT_FALSE(tree.exists(QStringLiteral("program/Reskin1/copyfiles.bat")));
    EXPECT_EQ(tree.readFile(QStringLiteral("program/Reskin1/AssetSetup.exe")), "MZ installer");
}

TEST(ReskinProcessSteps, FailedStepsAreReportedAndTheRunGoesOn)
{
    ScriptedUi ui;
    const QString notFound = QStringLiteral("Error File not found occurred in Command5_Click");
    const QString access = QStringLiteral("Error Path/File access error occurred in Command5_Click");
    const QString noPath = QStringLiteral("Error Path not found occurred in Command5_Click");
    const QString noMirror = QStringLiteral("Error Path not found occurred in WorkWithorigFolders");
    // Names the installer the row's program folder lacks.
    const QString noInstaller = QStringLiteral("Error File not found: %1\\RouteSetup.exe occurred in Command5_Click");
    struct Row {
        const char* what;
        bool installer;          // "RouteSetup.exe" in the program folder
        bool interpreter;        // the batch interpreter can be found
        const char* blockedFile; // a file below the program folder standing where a folder must go
        QStringList first;       // the messages of each run before its zip offer
        QStringList second;
        bool copyFilesLeft;      // "copyfiles.bat" holds both runs' lines
    };
    const Row rows[] = {
        {"the batch file does not start and the installer is missing", false, false, nullptr,
         {notFound, noInstaller}, {notFound, noInstaller}, true},
        {"a copy of the batch file fails", true, true, "Reskin1/Rail Simulator/Assets/P/Reskin1",
         {noMirror, access}, {}, false},
        {"the package folder cannot be made", false, true, "Reskin1",
         {noPath, noMirror, access, access, noInstaller},
         {noPath, noMirror, noMirror, access, access, noInstaller}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempTree tree;
        resetShared();
        shared().GamePath = tree.gamePath();
        putFiles(tree, twoReskins());
        if (row.installer)
            tree.writeFile(QStringLiteral("program/RouteSetup.exe"), "MZ");
        if (row.blockedFile)
            tree.writeFile(QStringLiteral("program/") + QString::fromUtf8(row.blockedFile), "a file, not a folder");
        ScopedEnv cmd("VELTRANE_CMD", row.interpreter ? QString() : tree.path(QStringLiteral("no-cmd")));
        const QString package = tree.programPath() + QStringLiteral("\\Reskin1");
        const QString zipOffer = QStringLiteral("Your Reskins are now saved in ") + package
            + QStringLiteral("\r\nDo you wish them to be automatically zipped up ready for distribution?");

        ReskinPackage reskins;
        for (int run = 0; run < 2; ++run) {
            QStringList expected = run == 0 ? row.first : row.second;
            expected.replaceInStrings(QStringLiteral("%1"), tree.programPath());
            ui.clearRecords();
            for (const QString& m : expected)
                ui.expectMsgBox(vb::vbOK, m);
            ui.expectMsgBox(vb::vbNo, QStringLiteral("Your Reskins are now saved in"));
            const QString below = run == 0 ? QStringLiteral("P\\") : QStringLiteral("Q\\");
            reskins.Process(gameStyle(tree, below + (run == 0 ? "Reskin1" : "Reskin2")),
                            gameStyle(tree, below + (run == 0 ? "Orig1" : "Orig2")));
            QStringList shown;
            for (const auto& m : ui.messages())
                shown << m.text;
            ASSERT_EQ(shown.size(), expected.size() + 1) << shown.join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(shown.mid(0, expected.size()), expected);
            EXPECT_EQ(shown.last(), zipOffer);
            ui.verifyDone();
        }
        if (row.copyFilesLeft) {
            const QString del = QStringLiteral("\r\ndel \"") + package + QStringLiteral("\\copyfiles.bat\"\r\n\r\n");
            EXPECT_EQ(platform::decodeAnsi(tree.readFile(QStringLiteral("program/Reskin1/copyfiles.bat"))),
                      QStringLiteral("copy \"") + tree.gamePath() + QStringLiteral("\\Assets\\P\\Reskin1\\b.dds\" \"")
                          + package + QStringLiteral("\\Rail Simulator\\Assets\\P\\Reskin1\\\\b.dds\"\r\n") + del
                          + QStringLiteral("copy \"") + tree.gamePath() + QStringLiteral("\\Assets\\Q\\Reskin2\\Sub\\n.dds\" \"")
                          + package + QStringLiteral("\\Rail Simulator\\Assets\\Q\\Reskin2\\Sub\\n.dds\"\r\n") + del);
        } else {
            EXPECT_FALSE(tree.exists(QStringLiteral("program/Reskin1/copyfiles.bat")));
        }
    }
    resetShared();
}

TEST_F(ReskinProcess, RefusalsWriteNothing)
{
    tree.makeDir(QStringLiteral("game/Content/Routes/R1"));
    const QString game = tree.gamePath();
    const QString reskinMsg = QStringLiteral("You do not appear to have selected the folder of your ReSkinned object.");
    const QString originalMsg = QStringLiteral("You do not appear to have selected the folder of your Original object.");
    const QString outside = QStringLiteral("The reskinned folder and the original folder must both lie in ") + game
        + QStringLiteral("\\Assets.");
    const QString unwritableGame = tree.path(unwritableName() + QStringLiteral("/game"));
    tree.writeFile(unwritableGame + QStringLiteral("/Assets/P/Reskin1/b.dds"), "bbbb");
    tree.writeFile(unwritableGame + QStringLiteral("/Assets/P/Orig1/b.dds"), "BBBB");
    struct Row {
        const char* what;
        QString reskin;
        QString source;
        QString gamePath;
        QString message;
    };
    const Row rows[] = {
        {"nothing chosen", QString(), QString(), game, reskinMsg},
        {"no reskinned folder", QString(), assets("P\\Orig1"), game, reskinMsg},
        {"no original folder", assets("P\\Reskin1"), QString(), game, originalMsg},
        {"reskin outside Assets", game + QStringLiteral("\\Content\\Routes\\R1"), assets("P\\Orig1"), game, outside},
        {"original outside Assets", assets("P\\Reskin1"), game + QStringLiteral("\\Content\\Routes"), game, outside},
        {"original is Assets itself", assets("P\\Reskin1"), game + QStringLiteral("\\Assets"), game, outside},
        {"a step out of Assets", assets("P\\..\\..\\Content\\Routes\\R1"), assets("P\\Orig1"), game, outside},
        {"no game folder", assets("P\\Reskin1"), assets("P\\Orig1"), QString(),
         QStringLiteral("The reskinned folder and the original folder must both lie in \\Assets.")},
        // Below a home folder the code page cannot hold, no line of copyfiles.bat could be written.
        {"a game below a folder the code page lacks", unwritableGame + QStringLiteral("\\Assets\\P\\Reskin1"),
         unwritableGame + QStringLiteral("\\Assets\\P\\Orig1"), unwritableGame,
         UnwritablePathMessage(unwritableGame + QStringLiteral("\\Assets\\P\\Reskin1"))
             + QStringLiteral("\r\nNothing has been packaged.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        shared().GamePath = row.gamePath;
        shared().PackageFolder.clear();
        ui.clearRecords();
        ui.expectMsgBox(vb::vbOK, row.message);
        ReskinPackage reskins;
        EXPECT_FALSE(reskins.Process(row.reskin, row.source));
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_EQ(ui.messages()[0].text, row.message);
        EXPECT_EQ(ui.messages()[0].style, vb::vbOKOnly + vb::vbExclamation);
        EXPECT_TRUE(shared().PackageFolder.isEmpty());
        const QStringList made = QDir(tree.programPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        EXPECT_FALSE(made.contains(QStringLiteral("Reskin1"))) << made.join(QLatin1Char(' ')).toStdString();
    }
}
