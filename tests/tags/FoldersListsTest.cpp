// RemD2 and DelAll.

#include "common/TagText.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using RemD2Fn = void (*)(const QStringList&, QStringList&);
const RemD2Fn remD2Copies[] = {tags::routeList::RemD2, tags::scenarioBrowser::RemD2};

QStringList remD2(RemD2Fn fn, const QStringList& in)
{
    QStringList out{QStringLiteral("left"), QStringLiteral("over")};
    fn(in, out);
    return out;
}

TEST(RemD2, DropsRepeatsAndEmptiesButKeepsTheFirstEntry)
{
    ScriptedUi ui; // any message fails the test
    for (RemD2Fn fn : remD2Copies) {
        EXPECT_EQ(remD2(fn, {"", "", "A", "a", "B"}), (QStringList{"", "A", "B"}));
        // Each entry is compared with the one before it in the input.
        EXPECT_EQ(remD2(fn, {"B", "", "B"}), (QStringList{"B", "B"}));
        EXPECT_EQ(remD2(fn, {"x\\A.bin", "X\\a.BIN", "x\\b.bin", "x\\b.bin", "x\\C.bin"}),
                  (QStringList{"x\\A.bin", "x\\b.bin", "x\\C.bin"}));
        EXPECT_EQ(remD2(fn, {""}), (QStringList{""}));
        EXPECT_EQ(remD2(fn, {"only"}), (QStringList{"only"}));
        // An empty list gives an empty list, without a message.
        EXPECT_EQ(remD2(fn, {}), QStringList());
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(RemD2, ErrorMessageNamesNoAddress)
{
    EXPECT_EQ(tags::detail::remD2ErrorMessage(9),
              QStringLiteral("An error 9 occurred in subroutine 'RemD2' please advise\r\n"
                             "the program's maintainer with details of operation being processed."));
}

using DelAllFn = void (*)(const QString&);
const DelAllFn delAllCopies[] = {tags::hub::DelAll, tags::routeList::DelAll, tags::assetWindow::DelAll,
                                 tags::scenarioBrowser::DelAll};

// A route folder with files, sub-folders and read-only entries.
void fillRoute(TempTree& tree, const QString& route)
{
    tree.writeFile(route + QStringLiteral("/RouteProperties.xml"), "<x/>");
    tree.writeFile(route + QStringLiteral("/Scenarios/S1/Scenario.bin"), "bin");
    const QString readOnlyFile = tree.writeFile(route + QStringLiteral("/Networks/Tracks.bin"), "t");
    QFile::setPermissions(readOnlyFile, QFile::ReadOwner);
    tree.writeFile(route + QStringLiteral("/Locked/Inner/Tile.bin"), "tile");
    QFile::setPermissions(tree.path(route + QStringLiteral("/Locked")), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(tree.path(route + QStringLiteral("/Locked/Inner")), QFile::ReadOwner | QFile::ExeOwner);
}

TEST(DelAll, DeletesTheWholeTreeIncludingReadOnlyEntries)
{
    ScriptedUi ui;
    for (DelAllFn delAll : delAllCopies) {
        TempTree tree;
        fillRoute(tree, QStringLiteral("game/Content/Routes/R1"));
        tree.writeFile(QStringLiteral("game/Content/Routes/R2/Keep.txt"), "keep");

        // A Windows-form path, matched without regard to case.
        delAll(tree.gamePath() + QStringLiteral("\\content\\routes\\r1"));
        EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("game/Content/Routes/R1"))));
        EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes/R2/Keep.txt")));
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(DelAll, RefusesPathsThatNameAParent)
{
    ScriptedUi ui;
    TempTree tree;
    tree.writeFile(QStringLiteral("game/Content/Routes/R1/Keep.txt"), "keep");
    tree.writeFile(QStringLiteral("wine/drive_c/Games/Keep.txt"), "keep");
    const QString routes = tree.gamePath() + QStringLiteral("\\Content\\Routes");

    for (DelAllFn delAll : delAllCopies) {
        delAll(QString());
        delAll(routes + QStringLiteral("\\"));               // a folder name that came out empty
        delAll(routes + QStringLiteral("/"));
        delAll(routes + QStringLiteral("\\R1\\.."));
        delAll(routes + QStringLiteral("\\R1\\."));
        delAll(QStringLiteral("c:"));
        delAll(QStringLiteral("C:\\"));
    }
    EXPECT_TRUE(tree.exists(QStringLiteral("game/Content/Routes/R1/Keep.txt")));
    EXPECT_TRUE(tree.exists(QStringLiteral("wine/drive_c/Games/Keep.txt")));

    // The same drive with a folder named works.
    tags::hub::DelAll(QStringLiteral("C:\\games"));
    EXPECT_FALSE(tree.exists(QStringLiteral("wine/drive_c/Games")));
    EXPECT_TRUE(tree.exists(QStringLiteral("wine/drive_c")));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(DelAll, FailuresAreQuiet)
{
    ScriptedUi ui;
    TempTree tree;
    const QString file = tree.writeFile(QStringLiteral("game/NotAFolder.txt"), "file");
    tags::routeList::DelAll(tree.gamePath() + QStringLiteral("\\Missing"));
    tags::routeList::DelAll(file); // a file is not a folder
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(DelAll, LinksGoButNotWhatTheyPointTo)
{
    TempTree tree;
    tree.writeFile(QStringLiteral("outside/Precious.txt"), "keep");
    const QString outside = tree.path(QStringLiteral("outside"));
    QFile::setPermissions(tree.path(QStringLiteral("outside/Precious.txt")), QFile::ReadOwner);
    tree.writeFile(QStringLiteral("game/Route/File.txt"), "x");
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                        QFile::encodeName(tree.path(QStringLiteral("game/Route/Link"))).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                        QFile::encodeName(tree.path(QStringLiteral("game/TopLink"))).constData()), 0);

    tags::hub::DelAll(tree.path(QStringLiteral("game/Route")));
    tags::hub::DelAll(tree.path(QStringLiteral("game/TopLink")));

    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("game/Route"))));
    EXPECT_FALSE(QFileInfo(tree.path(QStringLiteral("game/TopLink"))).isSymLink());
    EXPECT_TRUE(tree.exists(QStringLiteral("outside/Precious.txt")));
    // The target's permissions were not touched.
    EXPECT_FALSE(QFileInfo(tree.path(QStringLiteral("outside/Precious.txt"))).permissions().testFlag(QFile::WriteOwner));
}

} // namespace
