#include "platform/Paths.h"

#include "support/TempTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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
    EXPECT_EQ(nativePath(QStringLiteral("//") + game().mid(1) + QStringLiteral("//Content")),
              game() + QStringLiteral("/Content"));
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
