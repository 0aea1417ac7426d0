#include "common/DriveListWidget.h"
#include "common/FolderTreeWidget.h"
#include "common/GameReference.h"
#include "common/VbError.h"
#include "platform/Drives.h"
#include "support/TempTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void link(const QString& target, const QString& at)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
}

QStringList names(const QList<platform::Drive>& list)
{
    QStringList out;
    for (const platform::Drive& d : list)
        out << d.name;
    return out;
}

} // namespace

// The prefix's "x:" entries are the drives (other device entries are not); the drive of a path
// is the one whose folder holds it most closely, whatever form the path is written in.
TEST(Drives, PrefixEntriesAndTheDriveOfAPath)
{
    TempTree tree; // c: -> ../drive_c, e: -> the game folder
    const QString devices = tree.path(QStringLiteral("wine/dosdevices"));
    link(QStringLiteral("/"), devices + QStringLiteral("/z:"));
    link(tree.path(QStringLiteral("gone")), devices + QStringLiteral("/d:"));
    link(QStringLiteral("/dev/null"), devices + QStringLiteral("/com1"));
    link(QStringLiteral("/dev/null"), devices + QStringLiteral("/c::"));
    link(tree.path(QStringLiteral("data")), devices + QStringLiteral("/c:\n"));
    link(tree.path(QStringLiteral("data/RS")), devices + QStringLiteral("/f:")); // a name-prefix of data/RS2
    tree.makeDir(QStringLiteral("wine/drive_c/Games/RS"));
    tree.makeDir(QStringLiteral("data/RS"));
    tree.makeDir(QStringLiteral("data/RS2/Assets"));

    const QList<platform::Drive> list = platform::drives();
    ASSERT_EQ(names(list), (QStringList{"c:", "d:", "e:", "f:", "z:"}));
    EXPECT_EQ(list[0].folder, QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath());
    EXPECT_TRUE(platform::driveReady(list[0]));
    EXPECT_FALSE(platform::driveReady(list[1]));

    const struct {
        QString path;
        qsizetype drive;
    } rows[] = {
        {QStringLiteral("C:\\Games\\RS"), 0},
        {QStringLiteral("c:\\games\\rs\\Not\\Made\\Yet"), 0},
        {tree.path(QStringLiteral("wine/drive_c/Games/RS")), 0},
        {tree.path(QStringLiteral("wine/dosdevices/c:/Games")), 0},
        {tree.gamePath() + QStringLiteral("/Assets"), 2},
        {tree.path(QStringLiteral("data/RS/Assets")), 3},
        {tree.path(QStringLiteral("data/RS2/Assets")), 4},
        {tree.path(QStringLiteral("data/RS2")), 4},
        {tree.path(QStringLiteral("program")), 4},
        {QStringLiteral("/usr/share"), 4},
        {QString(), -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(platform::driveIndexOf(list, row.path), row.drive) << row.path.toStdString();

    // Without drive entries there is the file system's root alone.
    ScopedEnv bare("WINEPREFIX", tree.path(QStringLiteral("no-prefix")));
    const QList<platform::Drive> root = platform::drives();
    ASSERT_EQ(root.size(), 1);
    EXPECT_EQ(root[0].folder, QStringLiteral("/"));
    EXPECT_EQ(platform::driveIndexOf(root, tree.gamePath()), 0);
    EXPECT_EQ(platform::driveIndexOf(list, QStringLiteral("/usr/share")), 4);
    QFile::remove(devices + QStringLiteral("/z:")); // the tree's removal never meets the root
}

// The drive list roots its folder list at the drive; a drive whose folder is gone raises error
// 68 and both lists stay where they were. A Windows-form path below a drive's folder is shown by
// the folder list under the names it was given.
TEST(Drives, DriveListAndFolderList)
{
    TempTree tree;
    const QString devices = tree.path(QStringLiteral("wine/dosdevices"));
    link(tree.path(QStringLiteral("gone")), devices + QStringLiteral("/d:"));
    tree.makeDir(QStringLiteral("wine/drive_c/Program Files/Rail Simulator/Content"));
    tree.makeDir(QStringLiteral("game/Assets/Kuju"));

    DriveListWidget drives;
    FolderTreeWidget folders;
    const QString game = QStringLiteral("C:\\PROGRAM FILES\\Rail Simulator");
    drives.setDriveOf(game);
    ASSERT_EQ(drives.drive(), QStringLiteral("c:"));
    drives.showIn(folders);
    const QString shown = QStringLiteral("C:\\Program Files\\Rail Simulator"); // each folder's own name
    folders.setPath(game);
    EXPECT_EQ(folders.path(), shown);
    folders.setPath(game + QStringLiteral("\\content"));
    EXPECT_EQ(folders.path(), shown + QStringLiteral("\\Content"));
    EXPECT_EQ(folders.topLevelItem(0)->text(0), QStringLiteral("c:"));

    drives.setCurrentIndex(drives.findText(QStringLiteral("d:")));
    EXPECT_THROW(
        {
            try {
                drives.showIn(folders);
            } catch (const VbError& e) {
                EXPECT_EQ(e.number, 68);
                throw;
            }
        },
        VbError);
    EXPECT_EQ(drives.drive(), QStringLiteral("c:"));
    EXPECT_EQ(folders.path(), shown + QStringLiteral("\\Content"));

    drives.setCurrentIndex(drives.findText(QStringLiteral("e:")));
    drives.showIn(folders);
    EXPECT_EQ(folders.root(), QFileInfo(tree.gamePath()).canonicalFilePath());
    folders.setPath(tree.gamePath() + QStringLiteral("\\assets\\kuju"));
    EXPECT_EQ(folders.path(), tree.gamePath() + QStringLiteral("\\Assets\\Kuju"));
    drives.setDriveOf(tree.gamePath());
    EXPECT_EQ(drives.drive(), QStringLiteral("e:"));
}

// A folder list opened at a deep folder before its window was laid out shows that folder at the
// size it gets (the window shown wide, then fitted to the screen): the way down to it and its
// sub-folder, none of the siblings on the way, the folder's row in view with its name whole and
// its sub-folder whole below it. Where the steps in narrow enough for that, the list has no
// sideways scroll bar; where even the narrowest steps leave too little room, it is scrolled
// sideways no further than the folder's own step. Once the user has scrolled, the list stays
// where the user put it.
TEST(Drives, FolderListOpenedAtADeepFolderShowsItWithItsParents)
{
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.makeDir(QStringLiteral("game/Sibling %1").arg(i, 2, 10, QLatin1Char('0')));
    const struct {
        int depth;
        int width;
        bool sideways; // even the narrowest steps leave the folder's sub-folder too little room
    } rows[] = {
        {4, 240, false},
        {7, 320, false},
        {12, 260, false},
        {12, 160, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.depth);
        SCOPED_TRACE(row.width);
        QString deep = tree.gamePath();
        for (int i = 1; i < row.depth; ++i)
            deep += QStringLiteral("/Folder with a rather long name %1").arg(i);
        tree.makeDir(deep + QStringLiteral("/Weather/Sub-folder with a long name"));
        deep += QStringLiteral("/Weather");

        QWidget window;
        auto* folders = new FolderTreeWidget(&window);
        folders->setRoot(tree.gamePath());
        folders->setPath(deep);
        folders->setGeometry(0, 0, 600, 140);
        window.show();
        QCoreApplication::processEvents();
        folders->setGeometry(0, 0, row.width, 140);
        QCoreApplication::processEvents();
        ASSERT_EQ(folders->path(), deep);
        EXPECT_EQ(folders->topLevelItem(0)->childCount(), 1); // no sibling beside the way
        const QScrollBar* sideways = folders->horizontalScrollBar();
        EXPECT_EQ(sideways->maximum() > 0, row.sideways);
        const QModelIndex current = folders->currentIndex();
        const QRect view = folders->viewport()->rect();
        const QRect item = folders->visualRect(current);
        EXPECT_GE(item.top(), 0);
        EXPECT_LE(item.bottom(), view.bottom());
        // The folder's icon and name are in view, and the sub-folder's below it when they fit.
        EXPECT_GE(item.left(), folders->indentation());
        EXPECT_LE(item.left() + folders->sizeHintForIndex(current).width(), view.width());
        const QModelIndex sub = folders->indexFromItem(folders->currentItem()->child(0));
        const QRect subItem = folders->visualRect(sub);
        EXPECT_LE(subItem.bottom(), view.bottom());
        if (!row.sideways) {
            EXPECT_LE(subItem.left() + folders->sizeHintForIndex(sub).width(), view.width());
            continue;
        }
        EXPECT_GT(sideways->value(), 0);
        folders->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        const int put = sideways->value();
        folders->setGeometry(0, 0, row.width - 20, 140);
        QCoreApplication::processEvents();
        EXPECT_EQ(sideways->value(), put);
    }
}

// Text from a game file makes a path below the Assets folder or none. Its steps decide first: a
// climb above the game folder is refused, also when it comes back in (a game folder spelled
// otherwise beside it is another folder), one that stays inside the game and ends below Assets
// is taken. Names inside the game match whatever their case, and the user's links there are
// followed wherever they lead, whether the link is the Assets folder or a folder below it; a
// link that leads nowhere is not.
TEST(GameReference, AssetsPathFromText)
{
    const struct {
        const char* text;
        Reach reach;
    } rows[] = {
        {"Kuju\\RailSimulator\\Engine\\loco.bin", Reach::Below},
        {"KUJU\\railsimulator\\engine\\LOCO.bin", Reach::Below},
        {"Kuju\\..\\Other\\x.bin", Reach::Below},
        {"..\\ASSETS\\Kuju\\x.bin", Reach::Below},
        {"Kuju\\..\\..\\Assets\\Kuju\\x.bin", Reach::Below},
        {"..\\..\\game\\Assets\\Kuju\\x.bin", Reach::Outside},
        {"Kuju\\..\\..\\..\\game\\Assets\\Kuju\\x.bin", Reach::Outside},
        {"..\\..\\GAME\\Assets\\v\\victim.GeoPcDx", Reach::Outside},
        {"..\\..\\outside\\victim", Reach::Outside},
        {"Alias\\RailSimulator\\Engine\\loco.bin", Reach::Below},
        {"Linked\\victim", Reach::Below},
        {"Gone", Reach::Missing},
        {"Gone\\x.bin", Reach::Missing},
        {"Kuju\\..\\..\\Content\\Routes.xml", Reach::Outside},
        {"..", Reach::Outside},
        {"", Reach::Outside},
        {"Kuju/../../x", Reach::Outside},
    };
    // The provider folder, or the whole Assets folder, kept on another disk and linked back.
    for (const char* linked : {"game/Assets/Kuju", "game/Assets"}) {
        SCOPED_TRACE(linked);
        TempTree tree;
        const QString game = tree.gamePath();
        tree.writeFile(QStringLiteral("game/Assets/Kuju/RailSimulator/Engine/loco.bin"), "loco");
        const QString away = tree.makeDir(QStringLiteral("disk")) + QLatin1Char('/') + QFileInfo(tree.path(linked)).fileName();
        ASSERT_TRUE(QDir().rename(tree.path(linked), away));
        link(away, tree.path(linked));
        tree.writeFile(QStringLiteral("GAME/Assets/v/victim.GeoPcDx"), "victim");
        tree.writeFile(QStringLiteral("outside/victim"), "victim");
        link(tree.path(QStringLiteral("outside")), tree.path(QStringLiteral("game/Assets/Linked")));
        link(tree.path(QStringLiteral("nowhere")), tree.path(QStringLiteral("game/Assets/Gone")));
        link(tree.path(QStringLiteral("game/Assets/Kuju")), tree.path(QStringLiteral("game/Assets/Alias")));
        for (const auto& row : rows) {
            const QString text = QString::fromUtf8(row.text);
            Reach reach = Reach::Below;
            const QString got = AssetsPathFromText(game, text, &reach);
            EXPECT_EQ(reach, row.reach) << row.text;
            if (row.reach == Reach::Below)
                EXPECT_EQ(got, game + QStringLiteral("\\Assets\\") + text) << row.text;
            else
                EXPECT_TRUE(got.isNull()) << row.text << " gave " << got.toStdString();
        }
        EXPECT_TRUE(AssetsFileExists(game, game + QStringLiteral("\\Assets\\kuju\\RailSimulator\\Engine\\loco.bin")));
        EXPECT_TRUE(AssetsFileExists(game, game + QStringLiteral("\\Assets\\Linked\\victim")));
        EXPECT_FALSE(AssetsFileExists(game, game + QStringLiteral("\\Assets\\..\\..\\outside\\victim")));
    }
    EXPECT_FALSE(LiesBelowAssets(QString(), QStringLiteral("\\Assets\\x")));

    // An Assets folder that is a link to nothing is no folder to follow.
    TempTree tree;
    link(tree.path(QStringLiteral("nowhere")), tree.path(QStringLiteral("game/Assets")));
    Reach reach = Reach::Below;
    EXPECT_TRUE(AssetsPathFromText(tree.gamePath(), QStringLiteral("Kuju\\x.bin"), &reach).isNull());
    EXPECT_EQ(reach, Reach::Missing);
    // Looked up, a path behind it is a missing file; one whose text climbs out is none at all.
    EXPECT_EQ(AssetsPathOrMissing(tree.gamePath(), QStringLiteral("Kuju\\x.bin")), tree.gamePath() + QStringLiteral("\\Assets\\Kuju\\x.bin"));
    EXPECT_TRUE(AssetsPathOrMissing(tree.gamePath(), QStringLiteral("..\\..\\x.bin")).isNull());
}

// A folder lies below another by where both lead, whichever form each is named in: the Windows
// form through the prefix's drives, or the drive's own folder. Below it the user's links are
// followed wherever they lead, but not one that leads nowhere. The part below carries the names
// the folders have on disk.
TEST(GameReference, PathBelowOnDiskWhicheverForm)
{
    TempTree tree; // c: -> ../drive_c
    tree.writeFile(QStringLiteral("wine/drive_c/Games/RS/Assets/P/x.bin"), "x");
    tree.makeDir(QStringLiteral("wine/drive_c/Games/RS/AssetsOld/P"));
    tree.makeDir(QStringLiteral("disk/Kuju/Stock"));
    link(tree.path(QStringLiteral("disk/Kuju")), tree.path(QStringLiteral("wine/drive_c/Games/RS/Assets/Kuju")));
    link(tree.path(QStringLiteral("nowhere")), tree.path(QStringLiteral("wine/drive_c/Games/RS/Assets/Gone")));
    const QString assets = QStringLiteral("C:\\Games\\RS\\Assets");
    const QString native = tree.path(QStringLiteral("wine/drive_c/Games/RS/Assets"));
    const QString drive = QFileInfo(tree.path(QStringLiteral("wine/drive_c"))).canonicalFilePath();
    const struct {
        QString root;
        QString path;
        const char* below; // nullptr: not below
    } rows[] = {
        {assets, drive + QStringLiteral("\\Games\\RS\\Assets\\P"), "P"},
        {assets, drive + QStringLiteral("/Games/RS/Assets/P/"), "P"},
        {native, QStringLiteral("C:\\games\\rs\\assets\\p\\X.BIN"), "P\\x.bin"},
        {native, QStringLiteral("C:\\Games\\RS\\Assets\\P\\New\\y.bin"), "P\\New\\y.bin"},
        {assets, native, ""},
        {assets, QStringLiteral("C:\\Games\\RS\\Assets\\kuju\\stock"), "Kuju\\Stock"},
        {native, drive + QStringLiteral("/Games/RS/Assets/Kuju/Stock/New"), "Kuju\\Stock\\New"},
        {assets, QStringLiteral("C:\\Games\\RS\\Assets\\Gone\\Stock"), nullptr},
        {assets, drive + QStringLiteral("/Games/RS/Assets/Gone"), nullptr},
        {assets, QStringLiteral("C:\\Games\\RS\\AssetsOld\\P"), nullptr},
        {assets, QStringLiteral("C:\\Games\\RS"), nullptr},
        {assets, tree.gamePath() + QStringLiteral("\\Assets\\P"), nullptr},
        {assets, QString(), nullptr},
        {QString(), native, nullptr},
    };
    for (const auto& row : rows) {
        Reach reach = Reach::Below;
        const QString got = PathBelowOnDisk(row.root, row.path, &reach);
        const bool gone = row.path.contains(QLatin1String("Gone"));
        EXPECT_EQ(reach, row.below ? Reach::Below : gone ? Reach::Missing : Reach::Outside) << row.path.toStdString();
        if (row.below)
            EXPECT_EQ(got, QString::fromUtf8(row.below)) << row.path.toStdString();
        else
            EXPECT_TRUE(got.isNull()) << row.path.toStdString() << " gave " << got.toStdString();
    }
}
