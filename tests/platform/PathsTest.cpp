#include "platform/Paths.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/Wildcard.h"
#include "support/FolderContents.h"
#include "support/TempTree.h"
#include "support/VbErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Sets or unsets one environment variable for a scope.
class EnvGuard {
public:
    EnvGuard(const char* name, const QString* value) : name_(name), had_(qEnvironmentVariableIsSet(name))
    {
        old_ = qgetenv(name);
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~EnvGuard()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// Runs a scope in another current folder.
class CwdGuard {
public:
    explicit CwdGuard(const QString& dir) : old_(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~CwdGuard() { QDir::setCurrent(old_); }

private:
    QString old_;
};

QString win(QString path)
{
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

class NativePath : public ::testing::Test {
protected:
    void SetUp() override { tree.writeFile(QStringLiteral("game/Content/Routes/R1/Scenarios.bin"), "x"); }
    QString game() const { return tree.gamePath(); }
    TempTree tree;
};

} // namespace

TEST_F(NativePath, MatchesEveryComponentWithoutRegardToCase)
{
    const QString real = game() + QStringLiteral("/Content/Routes/R1/Scenarios.bin");
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\content\\routes\\R1\\scenarios.bin")), real);
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\CONTENT\\Routes\\r1\\SCENARIOS.BIN")), real);

    // relative paths stay relative
    CwdGuard cwd(game());
    EXPECT_EQ(nativePath(QStringLiteral("content\\routes\\R1\\scenarios.bin")),
              QStringLiteral("Content/Routes/R1/Scenarios.bin"));
    EXPECT_EQ(nativePath(QStringLiteral(".\\content\\ROUTES")), QStringLiteral("Content/Routes"));
}

TEST_F(NativePath, CollapsesRepeatedSeparatorsAndKeepsATrailingOne)
{
    CwdGuard cwd(tree.rootPath());
    EXPECT_EQ(nativePath(QStringLiteral("a\\\\b")), QStringLiteral("a/b"));
    EXPECT_EQ(nativePath(QStringLiteral("a//b")), QStringLiteral("a/b"));
    EXPECT_EQ(nativePath(QStringLiteral("a\\/\\b\\")), QStringLiteral("a/b/"));
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\\\content\\\\routes\\")),
              game() + QStringLiteral("/Content/Routes/"));
    EXPECT_EQ(nativePath(game() + QStringLiteral("//Content")), game() + QStringLiteral("/Content"));
}

TEST_F(NativePath, DotComponents)
{
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\content\\.\\routes\\..\\Routes\\.\\r1")),
              game() + QStringLiteral("/Content/Routes/R1"));
    CwdGuard cwd(game() + QStringLiteral("/Content"));
    EXPECT_EQ(nativePath(QStringLiteral("..\\content\\routes")), QStringLiteral("../Content/Routes"));
}

TEST_F(NativePath, MapsDriveLettersIntoTheWinePrefix)
{
    tree.writeFile(QStringLiteral("wine/drive_c/Program Files/Rail Simulator/RailSim.exe"), "MZ");
    const QString drive = tree.winePrefixPath() + QStringLiteral("/dosdevices/c:");
    EXPECT_EQ(nativePath(QStringLiteral("c:\\program files\\rail simulator\\railsim.exe")),
              drive + QStringLiteral("/Program Files/Rail Simulator/RailSim.exe"));
    EXPECT_EQ(nativePath(QStringLiteral("C:/Program Files/Rail Simulator")),
              drive + QStringLiteral("/Program Files/Rail Simulator"));
    EXPECT_EQ(nativePath(QStringLiteral("c:\\temp.bmp")), drive + QStringLiteral("/temp.bmp"));
    EXPECT_EQ(nativePath(QStringLiteral("C:\\")), drive + QStringLiteral("/"));
    EXPECT_EQ(nativePath(QStringLiteral("c:\\..\\..\\temp.bmp")), drive + QStringLiteral("/temp.bmp"));
    EXPECT_TRUE(QFile::exists(nativePath(QStringLiteral("C:\\PROGRAM FILES\\rail simulator\\RAILSIM.EXE"))));

    // the prefix is read at every call; without $WINEPREFIX it is ~/.wine
    const QString other = tree.rootPath() + QStringLiteral("/other/");
    EnvGuard prefix("WINEPREFIX", &other);
    EXPECT_EQ(winePrefix(), tree.rootPath() + QStringLiteral("/other"));
    QDir().mkpath(other + QStringLiteral("dosdevices/d:"));
    EXPECT_EQ(nativePath(QStringLiteral("D:\\x")), tree.rootPath() + QStringLiteral("/other/dosdevices/d:/x"));
    const QString home = tree.rootPath() + QStringLiteral("/home");
    EnvGuard homeVar("HOME", &home);
    EnvGuard noPrefix("WINEPREFIX", nullptr);
    EXPECT_EQ(winePrefix(), home + QStringLiteral("/.wine"));
}

TEST_F(NativePath, KeepsAnExactPathUntouched)
{
    // Two entries that differ only in case: the one named exactly is taken.
    tree.writeFile(QStringLiteral("game/Dup/a.txt"), "1");
    tree.writeFile(QStringLiteral("game/dup/A.txt"), "2");
    EXPECT_EQ(nativePath(game() + QStringLiteral("/dup/A.txt")), game() + QStringLiteral("/dup/A.txt"));
    EXPECT_EQ(nativePath(game() + QStringLiteral("/Dup/a.txt")), game() + QStringLiteral("/Dup/a.txt"));
    // an exact folder is preferred even when the file below it needs matching
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\dup\\a.TXT")), game() + QStringLiteral("/dup/A.txt"));
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\Dup\\A.txt")), game() + QStringLiteral("/Dup/a.txt"));
}

TEST_F(NativePath, KeepsAMissingTailAsWritten)
{
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\content\\routes\\NewRoute\\sub\\File.XML")),
              game() + QStringLiteral("/Content/Routes/NewRoute/sub/File.XML"));
    // a name below a file cannot exist
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\content\\routes\\r1\\scenarios.bin\\x")),
              game() + QStringLiteral("/Content/Routes/R1/Scenarios.bin/x"));
    EXPECT_EQ(nativePath(QString()), QString());
}

TEST_F(NativePath, CacheHealsAfterFilesAreCreatedAndDeleted)
{
    const QString content = game() + QStringLiteral("/Content");
    const QString asked = win(game()) + QStringLiteral("\\content\\later.txt");
    EXPECT_EQ(nativePath(asked), content + QStringLiteral("/later.txt"));

    // created in another case after the folder was listed
    tree.writeFile(QStringLiteral("game/Content/LATER.txt"), "x");
    EXPECT_EQ(nativePath(asked), content + QStringLiteral("/LATER.txt"));

    // deleted: the cached entry must not be handed out any more
    ASSERT_TRUE(QFile::remove(content + QStringLiteral("/LATER.txt")));
    EXPECT_EQ(nativePath(asked), content + QStringLiteral("/later.txt"));

    // deleted and created again in another case
    tree.writeFile(QStringLiteral("game/Content/Later.TXT"), "x");
    EXPECT_EQ(nativePath(asked), content + QStringLiteral("/Later.TXT"));
    ASSERT_TRUE(QFile::remove(content + QStringLiteral("/Later.TXT")));
    tree.writeFile(QStringLiteral("game/Content/lAter.txt"), "x");
    EXPECT_EQ(nativePath(asked), content + QStringLiteral("/lAter.txt"));

    // a folder on the way renamed to another case
    const QString deep = win(game()) + QStringLiteral("\\content\\routes\\r1\\scenarios.bin");
    EXPECT_EQ(nativePath(deep), game() + QStringLiteral("/Content/Routes/R1/Scenarios.bin"));
    ASSERT_TRUE(QDir().rename(content + QStringLiteral("/Routes"), content + QStringLiteral("/ROUTES")));
    EXPECT_EQ(nativePath(deep), game() + QStringLiteral("/Content/ROUTES/R1/Scenarios.bin"));
    const QString newFile = win(game()) + QStringLiteral("\\content\\routes\\r1\\new.bin");
    ASSERT_TRUE(QDir().rename(content + QStringLiteral("/ROUTES"), content + QStringLiteral("/routeS")));
    EXPECT_EQ(nativePath(newFile), game() + QStringLiteral("/Content/routeS/R1/new.bin"));
}

TEST_F(NativePath, ListsEachFolderOnceDuringAWalk)
{
    for (int d = 0; d < 20; ++d)
        for (int f = 0; f < 50; ++f)
            tree.writeFile(QStringLiteral("game/Assets/Folder%1/File%2.bin").arg(d).arg(f), "x");
    clearPathCache();
    const qint64 before = pathCacheListingCount();
    for (int round = 0; round < 2; ++round)
        for (int d = 0; d < 20; ++d)
            for (int f = 0; f < 50; ++f) {
                const QString p = nativePath(win(game()) + QStringLiteral("\\assets\\folder%1\\file%2.BIN").arg(d).arg(f));
                ASSERT_EQ(p, game() + QStringLiteral("/Assets/Folder%1/File%2.bin").arg(d).arg(f));
            }
    // the game folder, Assets and the 20 folders below it
    EXPECT_EQ(pathCacheListingCount() - before, 22);
}

// "\name" is read as Windows reads it: from the root of the current drive, which is the drive
// that holds the game folder (or, without a game folder, the current folder). The file
// system's root is that drive only when no drive of the prefix holds the folder, or there is no
// prefix.
TEST_F(NativePath, FromTheRootOfTheCurrentDrive)
{
    tree.makeDir(QStringLiteral("wine/drive_c/Games/RS"));
    const QString devices = tree.winePrefixPath() + QStringLiteral("/dosdevices");
    const struct {
        const char* what;
        QString gamePath;
        QString currentFolder; // "" the program folder
        QString prefix;        // "" the tree's prefix
        QString typed;
        QString expected;
    } rows[] = {
        {"game on e:", game(), {}, {}, QStringLiteral("\\name"), devices + QStringLiteral("/e:/name")},
        {"matched on the drive", game(), {}, {}, QStringLiteral("\\content\\ROUTES\\r1\\"),
         devices + QStringLiteral("/e:/Content/Routes/R1/")},
        {"the drive's root", game(), {}, {}, QStringLiteral("\\"), devices + QStringLiteral("/e:/")},
        {"game in Windows form", QStringLiteral("C:\\Games\\RS"), {}, {}, QStringLiteral("\\name\\x.txt"),
         devices + QStringLiteral("/c:/name/x.txt")},
        {"no game, current folder on c:", QString(), tree.path(QStringLiteral("wine/drive_c/Games")), {},
         QStringLiteral("\\name"), devices + QStringLiteral("/c:/name")},
        {"game on no drive", tree.path(QStringLiteral("elsewhere")), {}, {}, QStringLiteral("\\name"),
         QStringLiteral("/name")},
        {"no prefix", game(), {}, tree.path(QStringLiteral("no-prefix")), QStringLiteral("\\name"),
         QStringLiteral("/name")},
        {"a native path", game(), {}, {}, QStringLiteral("/name"), QStringLiteral("/name")},
        {"a native root with a Windows tail", game(), {}, {}, QStringLiteral("/\\name"), QStringLiteral("/name")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        shared().GamePath = row.gamePath;
        CwdGuard cwd(row.currentFolder.isEmpty() ? tree.programPath() : row.currentFolder);
        ScopedEnv prefix("WINEPREFIX", row.prefix); // "" keeps the tree's
        EXPECT_EQ(nativePath(row.typed), row.expected);
    }
    resetShared();
}

// A network path, and a path on a drive the Wine prefix does not have (or with no prefix at all),
// name nothing this program can reach: nothing can be found, listed, made or written there, no
// ".." leads out of them to an existing file (not even /dev/null), and nothing is made in the
// prefix for them. The folder-making roads take them for a path not found.
TEST_F(NativePath, UnreachablePathsLeadNowhere)
{
    const auto deepestExisting = [](QString native) {
        while (!QFileInfo::exists(native))
            native = QFileInfo(native).path();
        return native;
    };
    const QString home = tree.makeDir(QStringLiteral("home"));
    const QString prefixPath = tree.winePrefixPath();
    EnvGuard homeVar("HOME", &home);
    const QString source = tree.makeDir(QStringLiteral("game/Lamp"));
    const struct {
        QString typed;
        bool noPrefix = false; // no $WINEPREFIX, and no ~/.wine
        int copyError = 76;
    } rows[] = {
        {QStringLiteral("\\\\server\\share\\x")},
        {QStringLiteral("//server/share/x")},
        {QStringLiteral("\\\\server")},
        {QStringLiteral("\\/server\\share\\")},
        {QStringLiteral("\\\\?\\C:\\x"), false, 52},
        {QStringLiteral("\\\\server\\share\\..\\..\\..\\") + game().mid(1)},
        {QStringLiteral("//") + game().mid(1)},
        {QStringLiteral("\\\\server\\share\\..\\..")},
        {QStringLiteral("\\\\server\\share\\..\\..\\..\\..\\..\\tmp")},
        {QStringLiteral("//.")},
        {QStringLiteral("q:\\x")},
        {QStringLiteral("Q:")},
        {QStringLiteral("q:\\..\\..\\")},
        {QStringLiteral("C:\\Users\\me\\Desktop"), true},
    };
    const QDir::Filters all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    const QStringList before = filesBelow(tree.rootPath(), all);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        EnvGuard prefix("WINEPREFIX", row.noPrefix ? nullptr : &prefixPath);
        const QString native = nativePath(row.typed);
        EXPECT_TRUE(isUnreachable(native)) << native.toStdString();
        // Cleaned as text, as the roads that compare paths clean them, it stays below the root.
        EXPECT_TRUE(isUnreachable(QDir::cleanPath(native))) << native.toStdString();
        // Checked before anything is made: nothing below a non-folder can be.
        ASSERT_FALSE(QFileInfo(deepestExisting(native)).isDir()) << native.toStdString();
        EXPECT_FALSE(QFileInfo::exists(native));
        EXPECT_FALSE(QFileInfo(native).isSymLink());
        EXPECT_FALSE(QFile(native).open(QIODevice::WriteOnly));
        EXPECT_FALSE(QFile(native + QStringLiteral("/f.txt")).open(QIODevice::WriteOnly));
        EXPECT_FALSE(QDir().mkpath(native + QStringLiteral("/Package1")));
        EXPECT_TRUE(subFolderNamesOf(row.typed).isEmpty());
        EXPECT_FALSE(MakeFolder(row.typed + QStringLiteral("\\Package1")));
        EXPECT_EQ(vbErrorNumber([&] { CopyFolder(source, row.typed + QStringLiteral("\\Lamp"), true); }),
                  row.copyError);
        EXPECT_EQ(filesBelow(tree.rootPath(), all), before);
    }
}

// Names that Windows does not allow stop a file or folder from being made; existing names and
// patterns that are only read are no concern of the check.
TEST_F(NativePath, NamesWindowsForbidsAreNotMade)
{
    tree.makeDir(QStringLiteral("game/odd?name"));
    tree.writeFile(QStringLiteral("game/Content/a.bin"), "a");
    CwdGuard cwd(tree.programPath());
    const struct {
        QString path;
        bool forbidden;
    } rows[] = {
        {QStringLiteral("*?<>|\\Audio"), true},
        {QStringLiteral("a\"b"), true},
        {QStringLiteral("new\\x<y\\z"), true},
        {QStringLiteral("pipe|"), true},
        {win(game()) + QStringLiteral("\\content\\*.bin"), true},
        {QStringLiteral("\\\\server\\share\\a>b"), true},
        {QStringLiteral("C:\\Work\\a.txt"), false},
        {win(game()) + QStringLiteral("\\ODD?NAME\\new"), false}, // the existing folder is reached
        {game() + QStringLiteral("/odd?name"), false},
        {QStringLiteral("79887\\Package1"), false},
        {QStringLiteral("x:y"), false},
        {QString(), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(makesForbiddenName(row.path), row.forbidden) << row.path.toStdString();

    // Patterns are read as they are.
    EXPECT_EQ(nativePath(win(game()) + QStringLiteral("\\content\\*.bin")), game() + QStringLiteral("/Content/*.bin"));
    EXPECT_EQ(matchingFileNames(win(game()) + QStringLiteral("\\content"), QStringLiteral("*.bin")),
              QStringList{QStringLiteral("a.bin")});
}

TEST(WindowsPath, NativeAbsolutePathsGoThroughDriveZ)
{
    EXPECT_EQ(windowsPath(QStringLiteral("/home/me/game/Assets/x.bin")), QStringLiteral("Z:\\home\\me\\game\\Assets\\x.bin"));
    EXPECT_EQ(windowsPath(QStringLiteral("C:\\Program Files\\Rail Simulator")), QStringLiteral("C:\\Program Files\\Rail Simulator"));
    EXPECT_EQ(windowsPath(QStringLiteral("c:/temp.bmp")), QStringLiteral("c:/temp.bmp"));
    EXPECT_EQ(windowsPath(QStringLiteral("TempFiles/a.xml")), QStringLiteral("TempFiles\\a.xml"));
    EXPECT_EQ(windowsPath(QString()), QString());

    EXPECT_TRUE(hasDriveLetter(QStringLiteral("c:\\x")));
    EXPECT_TRUE(hasDriveLetter(QStringLiteral("D:/x")));
    EXPECT_FALSE(hasDriveLetter(QStringLiteral("/c:/x")));
    EXPECT_FALSE(hasDriveLetter(QStringLiteral("1:\\x")));
    EXPECT_FALSE(hasDriveLetter(QStringLiteral("ab:\\x")));
}

TEST(ProgramFolders, FollowTheEnvironmentAtEveryCall)
{
    TempTree tree;
    EXPECT_EQ(programFolder(), tree.programPath());
    EXPECT_EQ(systemFolder(), tree.systemPath());

    const QString withSlash = tree.rootPath() + QStringLiteral("/elsewhere/");
    EnvGuard home("VELTRANE_HOME", &withSlash);
    EnvGuard system("VELTRANE_SYSTEM", nullptr);
    EXPECT_EQ(programFolder(), tree.rootPath() + QStringLiteral("/elsewhere"));
    EXPECT_EQ(systemFolder(), tree.rootPath() + QStringLiteral("/elsewhere/System32"));

    EnvGuard noHome("VELTRANE_HOME", nullptr);
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
}

// At its start the program works in its own folder, as a Windows program started from there
// does: a relative name lies in the program folder, not where the program was started.
TEST(ProgramFolders, RelativeNamesLieInTheEnteredProgramFolder)
{
    TempTree tree;
    CwdGuard started(tree.rootPath());
    ASSERT_TRUE(enterProgramFolder());
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(tree.programPath()).canonicalPath());
    const QString program = QDir(tree.programPath()).canonicalPath();
    const struct {
        const char* typed;
        QString expected;
    } rows[] = {
        {"79887", program + QStringLiteral("/79887")},
        {"79887\\Package1\\", program + QStringLiteral("/79887/Package1")},
        {".\\system32\\x", program + QStringLiteral("/System32/x")},
        {"..\\game", QDir(tree.gamePath()).canonicalPath()},
    };
    for (const auto& row : rows)
        EXPECT_EQ(QDir::cleanPath(QDir::current().absoluteFilePath(nativePath(QString::fromUtf8(row.typed)))),
                  row.expected)
            << row.typed;

    // A program folder that cannot be entered leaves the current folder as it was.
    const QString missing = tree.path(QStringLiteral("missing"));
    EnvGuard home("VELTRANE_HOME", &missing);
    EXPECT_FALSE(enterProgramFolder());
    EXPECT_EQ(QDir::current().canonicalPath(), program);
}
