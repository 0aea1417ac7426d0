// The folder list box: the way from its root down to the current folder, one folder a row and each
// a step further in, then the current folder's own sub-folders and nothing beside the way; a
// click on a row of the way or on a sub-folder opens it, the keys only move the highlight until
// Enter. What the windows' walks read from it (ListCount, List(i), ListIndex, path) follows, and
// a walk over it reaches every folder, linked ones too.

#include "common/FolderTreeWidget.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

void link(const QString& target, const QString& at)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
}

// The rows as shown, top to bottom: each folder's name after one blank per step in.
QStringList rowsOf(const FolderTreeWidget& list)
{
    QStringList rows;
    const std::function<void(const QTreeWidgetItem*, int)> add = [&](const QTreeWidgetItem* item, int depth) {
        rows << QString(depth, QLatin1Char(' ')) + item->text(0);
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i)
                add(item->child(i), depth + 1);
    };
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        add(list.topLevelItem(i), 0);
    return rows;
}

QTreeWidgetItem* rowNamed(const FolderTreeWidget& list, const QString& name)
{
    const QList<QTreeWidgetItem*> found = list.findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.first() : nullptr;
}

void click(FolderTreeWidget& list, const QString& name)
{
    QTreeWidgetItem* item = rowNamed(list, name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    list.scrollToItem(item);
    const QPoint at = list.visualItemRect(item).center();
    const QPoint global = list.viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &release);
}

void key(FolderTreeWidget& list, Qt::Key k)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(&list, &press);
}

class FolderList : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"game/Alpha/Below", "game/Route/Markers/Deep/One/Inner", "game/Route/Markers/Deep/two",
                                   "game/Route/Markers/Other", "game/Route/Signs/Old", "elsewhere/Kept/Inside"})
            tree.makeDir(QString::fromLatin1(folder));
        tree.writeFile(QStringLiteral("game/Route/Markers/Deep/notes.txt"), "a file, not a folder");
        link(tree.path(QStringLiteral("elsewhere/Kept")), tree.path(QStringLiteral("game/Route/Markers/Deep/Linked")));
        link(tree.path(QStringLiteral("gone")), tree.path(QStringLiteral("game/Route/Markers/Deep/Gone")));
        game = tree.gamePath();
        list.setRoot(game);
        list.setGeometry(0, 0, 320, 400);
        list.show();
        QCoreApplication::processEvents();
    }

    QString in(const char* below) const { return game + QLatin1Char('\\') + QString::fromLatin1(below); }

    TempTree tree;
    QString game;
    FolderTreeWidget list;
};

} // namespace

TEST_F(FolderList, ShowsTheWayAndTheSubFoldersAndOpensTheRowClicked)
{
    const QString deep = in("Route\\Markers\\Deep");
    struct Row {
        const char* what;
        std::function<void()> act;
        QStringList rows;
        QString path;
        QStringList listed; // List(0) .. List(ListCount() - 1)
        QStringList above;  // List(-1), List(-2) ... up to the root
        int chosen;         // folderChosen signals the step gave
    };
    const Row rows[] = {
        {"a deep folder set by the window", [&] { list.setPath(deep); },
         {"game", " Route", "  Markers", "   Deep", "    Linked", "    One", "    two"},
         deep,
         {deep + "\\Linked", deep + "\\One", deep + "\\two"},
         {deep, in("Route\\Markers"), in("Route"), game},
         0},
        {"a click on a row of the way", [&] { click(list, "Route"); },
         {"game", " Route", "  Markers", "  Signs"},
         in("Route"),
         {in("Route\\Markers"), in("Route\\Signs")},
         {in("Route"), game},
         1},
        {"a click on a sub-folder", [&] { click(list, "Signs"); },
         {"game", " Route", "  Signs", "   Old"},
         in("Route\\Signs"),
         {in("Route\\Signs\\Old")},
         {in("Route\\Signs"), in("Route"), game},
         1},
        {"a click on the root", [&] { click(list, "game"); },
         {"game", " Alpha", " Route"},
         game,
         {in("Alpha"), in("Route")},
         {game},
         1},
        {"a linked folder, set by its own path below the root", [&] { list.setPath(deep + "\\linked\\inside"); },
         {"game", " Route", "  Markers", "   Deep", "    Linked", "     Inside"},
         deep + "\\Linked\\Inside",
         {},
         {deep + "\\Linked\\Inside", deep + "\\Linked", deep, in("Route\\Markers"), in("Route"), game},
         0},
        {"a folder that does not exist: the deepest one on its way", [&] { list.setPath(deep + "\\Gone\\Further"); },
         {"game", " Route", "  Markers", "   Deep", "    Linked", "    One", "    two"},
         deep,
         {deep + "\\Linked", deep + "\\One", deep + "\\two"},
         {deep, in("Route\\Markers"), in("Route"), game},
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int chosen = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&list, &FolderTreeWidget::folderChosen, [&chosen] { ++chosen; });
        row.act();
        QObject::disconnect(counting);
        EXPECT_EQ(rowsOf(list), row.rows);
        EXPECT_EQ(list.path(), row.path);
        EXPECT_EQ(list.ListIndex(), -1);
        EXPECT_EQ(list.ListCount(), row.listed.size());
        QStringList listed;
        for (int i = 0; i < list.ListCount(); ++i)
            listed << list.List(i);
        EXPECT_EQ(listed, row.listed);
        QStringList above;
        for (int i = -1; !list.List(i).isEmpty(); --i)
            above << list.List(i);
        EXPECT_EQ(above, row.above);
        EXPECT_EQ(list.List(list.ListCount()), QString());
        EXPECT_EQ(chosen, row.chosen);
        // Each row a step further in than the one it lies in.
        for (const QTreeWidgetItem* item = list.currentItem(); item && item->parent(); item = item->parent())
            EXPECT_GT(list.visualItemRect(item).left(), list.visualItemRect(item->parent()).left());
    }
}

// The arrow keys move the highlight (ListIndex counts it as the walks do) and leave the current
// folder; Enter opens the highlighted row.
TEST_F(FolderList, KeysHighlightAndEnterOpens)
{
    list.setPath(in("Route\\Markers"));
    list.setFocus();
    int chosen = 0;
    QObject::connect(&list, &FolderTreeWidget::folderChosen, [&chosen] { ++chosen; });
    key(list, Qt::Key_Down);
    EXPECT_EQ(list.ListIndex(), 0);
    key(list, Qt::Key_Down);
    EXPECT_EQ(list.ListIndex(), 1);
    key(list, Qt::Key_Up);
    key(list, Qt::Key_Up);
    key(list, Qt::Key_Up);
    EXPECT_EQ(list.ListIndex(), -2); // the row above the current folder: Route
    EXPECT_EQ(list.path(), in("Route\\Markers"));
    EXPECT_EQ(chosen, 0);
    key(list, Qt::Key_Down);
    key(list, Qt::Key_Down);
    key(list, Qt::Key_Return);
    EXPECT_EQ(list.path(), in("Route\\Markers\\Deep"));
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(chosen, 1);
}

// A walk as the windows' walks go (each folder's sub-folders by ListCount and List(i), the last
// first, the list set back to the folder before each) reaches every folder below the start, the
// linked one and what lies in it too, and never a link that leads nowhere.
TEST_F(FolderList, AWalkOverTheListReachesEveryFolder)
{
    QStringList walked;
    const std::function<void(const QString&)> walk = [&](const QString& folder) {
        walked << folder.mid(game.size());
        list.setPath(folder);
        for (int i = list.ListCount(); i >= 1; --i) {
            list.setPath(folder);
            walk(list.List(i - 1));
        }
    };
    walk(game);
    walked.sort();
    const QStringList expected = {"",
                                  "\\Alpha",
                                  "\\Alpha\\Below",
                                  "\\Route",
                                  "\\Route\\Markers",
                                  "\\Route\\Markers\\Deep",
                                  "\\Route\\Markers\\Deep\\Linked",
                                  "\\Route\\Markers\\Deep\\Linked\\Inside",
                                  "\\Route\\Markers\\Deep\\One",
                                  "\\Route\\Markers\\Deep\\One\\Inner",
                                  "\\Route\\Markers\\Deep\\two",
                                  "\\Route\\Markers\\Other",
                                  "\\Route\\Signs",
                                  "\\Route\\Signs\\Old"};
    EXPECT_EQ(walked, expected);
}
