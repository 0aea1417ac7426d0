// Links inside the folder a command is given: no command reaches through one to a file or
// folder outside that folder.

#include "BatchTestSupport.h"

#include <functional>

namespace {

using LinksTest = BatchTest;

// The permission bits only: WriteUser answers whether this process may write, which is always
// so for the superuser.
constexpr QFileDevice::Permissions kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup
                                               | QFileDevice::WriteOther;

TEST_F(LinksTest, NoCommandReachesThroughALinkOutOfItsFolder)
{
    struct Row {
        const char* what;
        QStringList lines; // run in the row's own folder
        // Checked with the row's folder (relative to the tree) and the interpreter's run.
        std::function<void(const QString& at, const BatchRun& r)> check;
    };
    // In each row's folder: "game" holds a read-only file, a sub-folder, a link to a file of
    // its own, links to a read-only file, a read-only folder and an open folder outside it,
    // a link to an outside file that may be written, and a link to nothing. "src" holds a file
    // and folders named like game's sub-folder and its two linked folders.
    const auto prepare = [this](const QString& at) {
        tree.writeFile(at + QStringLiteral("/src/top.txt"), "top");
        tree.writeFile(at + QStringLiteral("/src/OpenDir/new.txt"), "new");
        tree.makeDir(at + QStringLiteral("/src/OpenDir/Empty"));
        tree.writeFile(at + QStringLiteral("/src/outdir/x.txt"), "x");
        tree.writeFile(at + QStringLiteral("/src/sub/more.txt"), "more");
        tree.writeFile(at + QStringLiteral("/game/real.txt"), "real");
        tree.writeFile(at + QStringLiteral("/game/sub/deep.txt"), "deep");
        tree.writeFile(at + QStringLiteral("/outside/secret.txt"), "secret");
        tree.writeFile(at + QStringLiteral("/outside/locked/f.txt"), "locked");
        tree.writeFile(at + QStringLiteral("/outside/open/g.txt"), "open");
        makeReadOnly(at + QStringLiteral("/game/real.txt"));
        makeReadOnly(at + QStringLiteral("/outside/secret.txt"));
        makeReadOnly(at + QStringLiteral("/outside/locked/f.txt"));
        makeReadOnly(at + QStringLiteral("/outside/locked"));
        const auto link = [&](const char* target, const char* name) {
            ASSERT_TRUE(QFile::link(tree.path(at + QLatin1Char('/') + QLatin1String(target)),
                                    tree.path(at + QStringLiteral("/game/") + QLatin1String(name))));
        };
        link("game/sub/deep.txt", "inlink.txt");
        link("outside/secret.txt", "outlink.txt");
        link("outside/locked", "outdir");
        link("outside/open", "opendir");
        link("outside/open/g.txt", "glink.txt");
        link("nowhere", "dangling");
    };
    const auto writable = [this](const QString& rel) { return bool(QFileInfo(tree.path(rel)).permissions() & kAnyWrite); };
    const auto isLink = [this](const QString& rel) { return QFileInfo(tree.path(rel)).isSymLink(); };
    // What lies outside is exactly as prepared. The read-only folder is listed too: the
    // superuser writes into it all the same.
    const auto outsideUntouched = [&](const QString& at) {
        EXPECT_EQ(listing(at + QStringLiteral("/outside/open")), QStringList{QStringLiteral("g.txt")});
        EXPECT_EQ(listing(at + QStringLiteral("/outside/locked")), QStringList{QStringLiteral("f.txt")});
        EXPECT_EQ(text(at + QStringLiteral("/outside/secret.txt")), QStringLiteral("secret"));
        EXPECT_FALSE(writable(at + QStringLiteral("/outside/secret.txt")));
        EXPECT_EQ(text(at + QStringLiteral("/outside/locked/f.txt")), QStringLiteral("locked"));
        EXPECT_FALSE(writable(at + QStringLiteral("/outside/locked/f.txt")));
        EXPECT_FALSE(writable(at + QStringLiteral("/outside/locked")));
        EXPECT_EQ(text(at + QStringLiteral("/outside/open/g.txt")), QStringLiteral("open"));
    };

    const Row rows[] = {
        {"attrib -r of the whole tree",
         {QStringLiteral("attrib -r \"game\\*.*\" /s /d")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_TRUE(writable(at + QStringLiteral("/game/real.txt")));
             outsideUntouched(at);
         }},
        {"attrib -r of a link named on its own",
         {QStringLiteral("attrib -r \"game\\outlink.txt\""), QStringLiteral("attrib -r game\\outdir /d")},
         [&](const QString& at, const BatchRun&) { outsideUntouched(at); }},
        {"del of every file: links go, read-only ones stay without /f",
         {QStringLiteral("del /q \"game\\*.*\"")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_EQ(listing(at + QStringLiteral("/game")),
                       (QStringList{QStringLiteral("opendir/"), QStringLiteral("outdir/"), QStringLiteral("real.txt"),
                                    QStringLiteral("sub/")}));
             EXPECT_TRUE(isFile(at + QStringLiteral("/game/sub/deep.txt")));
             outsideUntouched(at);
         }},
        {"del of a linked folder removes the link",
         {QStringLiteral("del /q \"game\\opendir\""), QStringLiteral("del /q /f game\\outdir")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/opendir")));
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/outdir")));
             outsideUntouched(at);
         }},
        {"rd of a linked folder removes the link",
         {QStringLiteral("rd /s /q \"game\\opendir\""), QStringLiteral("rd game\\outdir")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 0) << r.err.toStdString();
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/opendir")));
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/outdir")));
             outsideUntouched(at);
         }},
        {"rd /s of the folder holding the links",
         {QStringLiteral("rd /s /q game")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/game"))));
             outsideUntouched(at);
         }},
        {"xcopy /s /e takes links to its own files only",
         {QStringLiteral("xcopy \"game\\*.*\" \"copy\\\" /s /e /i")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_EQ(listing(at + QStringLiteral("/copy")),
                       (QStringList{QStringLiteral("inlink.txt"), QStringLiteral("real.txt"), QStringLiteral("sub/")}));
             EXPECT_EQ(text(at + QStringLiteral("/copy/inlink.txt")), QStringLiteral("deep"));
             EXPECT_FALSE(isLink(at + QStringLiteral("/copy/inlink.txt")));
         }},
        {"copy of a folder's files takes links to its own files only",
         {QStringLiteral("md copy"), QStringLiteral("copy \"game\\*.*\" \"copy\"")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_EQ(listing(at + QStringLiteral("/copy")),
                       (QStringList{QStringLiteral("inlink.txt"), QStringLiteral("real.txt")}));
         }},
        {"a link named as the source of copy and xcopy",
         {QStringLiteral("copy \"game\\outlink.txt\" \"one.txt\""), QStringLiteral("xcopy \"game\\outlink.txt\" \"two\\\" /i"),
          QStringLiteral("copy \"game\\inlink.txt\" \"three.txt\"")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/one.txt"))));
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/two/outlink.txt"))));
             EXPECT_EQ(text(at + QStringLiteral("/three.txt")), QStringLiteral("deep"));
         }},
        {"xcopy /s stops at a linked folder below its destination",
         {QStringLiteral("Call xcopy \"src\\*.*\" \"game\\*.*\" /s /y")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 1);
             EXPECT_TRUE(r.err.contains(QStringLiteral("is a link"))) << r.err.toStdString();
             EXPECT_EQ(text(at + QStringLiteral("/game/top.txt")), QStringLiteral("top"));
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/game/sub/more.txt"))));
             outsideUntouched(at);
         }},
        {"xcopy /s /e /c makes and copies nothing through a link and goes on past it",
         {QStringLiteral("xcopy \"src\\*.*\" \"game\\\" /s /e /c /y")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 1);
             EXPECT_TRUE(r.err.contains(QStringLiteral("new.txt"))) << r.err.toStdString();
             EXPECT_TRUE(r.err.contains(QStringLiteral("x.txt"))) << r.err.toStdString();
             EXPECT_EQ(text(at + QStringLiteral("/game/top.txt")), QStringLiteral("top"));
             EXPECT_EQ(text(at + QStringLiteral("/game/sub/more.txt")), QStringLiteral("more"));
             EXPECT_TRUE(isLink(at + QStringLiteral("/game/opendir")));
             outsideUntouched(at);
         }},
        {"a linked folder named on the line is taken as named",
         {QStringLiteral("copy \"src\\top.txt\" \"game\\opendir\""),
          QStringLiteral("xcopy \"src\\sub\\*.*\" \"game\\opendir\\sub\\\" /s /i")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 0) << r.err.toStdString();
             EXPECT_EQ(listing(at + QStringLiteral("/outside/open")),
                       (QStringList{QStringLiteral("g.txt"), QStringLiteral("sub/"), QStringLiteral("top.txt")}));
             EXPECT_EQ(text(at + QStringLiteral("/outside/open/sub/more.txt")), QStringLiteral("more"));
         }},
        {"del /s does not go into linked folders",
         {QStringLiteral("del /s /q \"game\\*.txt\"")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_EQ(listing(at + QStringLiteral("/game")),
                       (QStringList{QStringLiteral("opendir/"), QStringLiteral("outdir/"), QStringLiteral("real.txt"),
                                    QStringLiteral("sub/")}));
             EXPECT_EQ(listing(at + QStringLiteral("/game/sub")), QStringList());
             outsideUntouched(at);
         }},
        {"a copy onto a link does not write through it",
         {QStringLiteral("copy \"game\\sub\\deep.txt\" \"game\\glink.txt\""),
          QStringLiteral("xcopy \"game\\sub\\deep.txt\" \"game\\dangling\" /y")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 1);
             outsideUntouched(at);
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/nowhere"))));
         }},
    };
    int k = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QString at = QStringLiteral("work/%1").arg(k++);
        prepare(at);
        QStringList lines{QStringLiteral("@echo off")};
        lines << row.lines;
        const BatchRun r = run(writeBatch(lines), tree.path(at));
        row.check(at, r);
        QFile::setPermissions(tree.path(at + QStringLiteral("/outside/locked")),
                              QFileInfo(tree.path(at + QStringLiteral("/outside/locked"))).permissions()
                                  | QFileDevice::WriteOwner);
    }
}

} // namespace
