// The one links rule: what stands at a name, the walk's loops, and removing a link itself.
#include "platform/Links.h"

#include "support/TempTree.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using platform::Standing;

namespace {

// A game-like tree: a real folder, a folder on "another disk" linked in twice, a file link, a
// link to nothing, a link back to the start and one to the folder above it.
class Links : public ::testing::Test {
protected:
    Links()
    {
        tree.writeFile("g/Assets/Real/a.bin", "a");
        tree.writeFile("disk/P/b.bin", "b");
        tree.writeFile("disk/P/Inner/c.bin", "c");
        tree.writeFile("disk/file.txt", "f");
        link("disk/P", "g/Assets/One");
        link("disk/P", "g/Assets/Two");
        link("disk/file.txt", "g/Assets/Real/linked.txt");
        link("unplugged/Q", "g/Assets/Gone");
        link("g/Assets", "g/Assets/Real/Start");
        link("g", "g/Assets/Real/Above");
        link("disk/P", "disk/P/Inner/Loop");
    }

    void link(const char* to, const char* at) { ASSERT_TRUE(QFile::link(tree.path(to), tree.path(at))) << at; }
    QString walk(const QString& start)
    {
        QStringList seen;
        platform::walkTree(
            start,
            [&](const platform::FolderEntry& e, const QString& rel) {
                if (e.isFile())
                    seen << rel + e.name;
                else if (e.standing == Standing::Nowhere)
                    seen << rel + e.name + " (nowhere)";
                return true;
            },
            true);
        return seen.join(' ');
    }

    TempTree tree;
};

TEST_F(Links, StandingThroughAndItself)
{
    const struct {
        const char* at;
        Standing through;
        Standing itself;
    } rows[] = {
        {"g/Assets/Real", Standing::Folder, Standing::Folder},
        {"g/Assets/Real/a.bin", Standing::File, Standing::File},
        {"g/Assets/One", Standing::Folder, Standing::Link},
        {"g/Assets/Real/linked.txt", Standing::File, Standing::Link},
        {"g/Assets/Gone", Standing::Nowhere, Standing::Link},
        {"g/Assets/None", Standing::Nothing, Standing::Nothing},
        {"g/Assets/One/", Standing::Folder, Standing::Link},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::standingAt(tree.path(row.at)), row.through) << row.at;
        EXPECT_EQ(platform::standingAt(tree.path(row.at), platform::LinkView::Itself), row.itself) << row.at;
    }
    EXPECT_TRUE(platform::leadsNowhere(tree.path("g/Assets/Gone")));
    EXPECT_EQ(platform::nowhereOnTheWay(tree.path("g/Assets"), "Gone/x/y.bin"), tree.path("g/Assets/Gone"));
    EXPECT_EQ(platform::nowhereOnTheWay(tree.path("g/Assets/Gone")), tree.path("g/Assets/Gone"));
    EXPECT_TRUE(platform::nowhereOnTheWay(tree.path("g/Assets"), "One/b.bin").isNull());
    EXPECT_TRUE(platform::nowhereOnTheWay(tree.path("g/Assets"), "None/Gone").isNull());
}

// Two links to one folder are walked twice; links to the start, above it, or back up a linked
// folder end there; the link to nothing is met as missing.
TEST_F(Links, WalkEntersEveryLinkButALoop)
{
    EXPECT_EQ(walk(tree.path("g/Assets")).toStdString(),
              "Gone (nowhere) One/b.bin One/Inner/c.bin Real/a.bin Real/linked.txt Two/b.bin Two/Inner/c.bin");
    // Walked from inside the linked folder, the link to its own start is a loop too.
    EXPECT_EQ(walk(tree.path("g/Assets/One")).toStdString(), "b.bin Inner/c.bin");
    EXPECT_EQ(walk(tree.path("g/Assets/Gone")).toStdString(), "");
}

TEST_F(Links, ANameThatIsNoTextIsListedAndNamed)
{
    const QByteArray raw = QFile::encodeName(tree.path("g/Assets/Real")) + "/caf\xE9.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    bool found = false;
    for (const platform::FolderEntry& e : platform::folderEntries(tree.path("g/Assets/Real"))) {
        if (!e.nameIsText) {
            found = true;
            EXPECT_EQ(e.name, QStringLiteral("caf\\xE9.txt"));
            EXPECT_TRUE(e.path.isEmpty());
            EXPECT_EQ(e.standing, Standing::File);
        }
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(platform::removeTree(tree.path("g/Assets/Real")));
    EXPECT_FALSE(QFileInfo::exists(tree.path("g/Assets/Real")));
}

TEST_F(Links, RemovingActsOnTheLinkItself)
{
    EXPECT_TRUE(platform::removeEntry(tree.path("g/Assets/Real/linked.txt")));
    EXPECT_TRUE(QFileInfo::exists(tree.path("disk/file.txt")));
    EXPECT_TRUE(platform::removeTree(tree.path("g/Assets/One")));
    EXPECT_TRUE(QFileInfo::exists(tree.path("disk/P/b.bin")));
    EXPECT_TRUE(platform::removeEntry(tree.path("g/Assets/Gone")));
    QFile::setPermissions(tree.path("disk/P/b.bin"), QFileDevice::ReadOwner);
    EXPECT_TRUE(platform::removeTree(tree.path("g")));
    EXPECT_FALSE(QFileInfo::exists(tree.path("g")));
    EXPECT_TRUE(QFileInfo::exists(tree.path("disk/P/Inner/c.bin")));
    EXPECT_FALSE(platform::removeEntry(tree.path("disk/P")));
}

} // namespace
