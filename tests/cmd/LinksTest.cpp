// Links inside the folders a command is given, under the one links rule: copies read what a link
// leads to and write into a linked folder or file; a link that leads nowhere is missing, in the
// source and at the destination; del, rd and attrib act on a link itself, never through it.

#include "BatchTestSupport.h"

#include "platform/Links.h"

#include <functional>

namespace {

using LinksTest = BatchTest;

// The permission bits only: WriteUser answers whether this process may write, which is always
// so for the superuser.
constexpr QFileDevice::Permissions kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup
                                               | QFileDevice::WriteOther;

TEST_F(LinksTest, CopiesGoThroughLinksAndRemovalsActOnThem)
{
    struct Row {
        const char* what;
        QStringList lines; // run in the row's own folder
        // Checked with the row's folder (relative to the tree) and the interpreter's run.
        std::function<void(const QString& at, const BatchRun& r)> check;
    };
    // In each row's folder: "game" holds a read-only file, a sub-folder with a link back to
    // "game" (a loop), a link to a file of its own, links to a read-only file, a read-only folder
    // and an open folder outside it, a link to an outside file that may be written, and a link
    // that leads nowhere. "src" holds a file and folders named like game's sub-folder and its two
    // linked folders; "src2" a folder named like the link that leads nowhere.
    const auto prepare = [this](const QString& at) {
        tree.writeFile(at + QStringLiteral("/src/top.txt"), "top");
        tree.writeFile(at + QStringLiteral("/src/OpenDir/new.txt"), "new");
        tree.makeDir(at + QStringLiteral("/src/OpenDir/Empty"));
        tree.writeFile(at + QStringLiteral("/src/outdir/x.txt"), "x");
        tree.writeFile(at + QStringLiteral("/src/sub/more.txt"), "more");
        tree.writeFile(at + QStringLiteral("/src2/top2.txt"), "top2");
        tree.writeFile(at + QStringLiteral("/src2/Dangling/d.txt"), "d");
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
        link("game", "sub/up");
    };
    const auto writable = [this](const QString& rel) { return bool(QFileInfo(tree.path(rel)).permissions() & kAnyWrite); };
    const auto isLink = [this](const QString& rel) {
        return platform::standingAt(tree.path(rel), platform::LinkView::Itself) == platform::Standing::Link;
    };
    const auto exists = [this](const QString& rel) { return QFileInfo::exists(tree.path(rel)); };
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
        EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/nowhere"))));
    };
    const auto names = [&](const BatchRun& r, const QString& name) {
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(name)) << r.err.toStdString();
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
        {"rd of a linked folder or of a link that leads nowhere removes the link",
         {QStringLiteral("rd /s /q \"game\\opendir\""), QStringLiteral("rd game\\outdir"), QStringLiteral("rd game\\dangling")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 0) << r.err.toStdString();
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/opendir")));
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/outdir")));
             EXPECT_FALSE(isLink(at + QStringLiteral("/game/dangling")));
             outsideUntouched(at);
         }},
        {"rd /s of the folder holding the links",
         {QStringLiteral("rd /s /q game")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_FALSE(QFileInfo::exists(tree.path(at + QStringLiteral("/game"))));
             outsideUntouched(at);
         }},
        {"del /s does not go into linked folders",
         {QStringLiteral("del /s /q \"game\\*.txt\"")},
         [&](const QString& at, const BatchRun&) {
             EXPECT_EQ(listing(at + QStringLiteral("/game")),
                       (QStringList{QStringLiteral("opendir/"), QStringLiteral("outdir/"), QStringLiteral("real.txt"),
                                    QStringLiteral("sub/")}));
             EXPECT_EQ(listing(at + QStringLiteral("/game/sub")), QStringList{QStringLiteral("up/")});
             outsideUntouched(at);
         }},
        {"xcopy /s /e /c copies what every link leads to, names the one that leads nowhere, ends the loop",
         {QStringLiteral("xcopy \"game\\*.*\" \"copy\\\" /s /e /i /c")},
         [&](const QString& at, const BatchRun& r) {
             names(r, at + QStringLiteral("/game/dangling"));
             EXPECT_EQ(listing(at + QStringLiteral("/copy")),
                       (QStringList{QStringLiteral("glink.txt"), QStringLiteral("inlink.txt"), QStringLiteral("opendir/"),
                                    QStringLiteral("outdir/"), QStringLiteral("outlink.txt"), QStringLiteral("real.txt"),
                                    QStringLiteral("sub/")}));
             EXPECT_EQ(text(at + QStringLiteral("/copy/inlink.txt")), QStringLiteral("deep"));
             EXPECT_EQ(text(at + QStringLiteral("/copy/outlink.txt")), QStringLiteral("secret"));
             EXPECT_EQ(text(at + QStringLiteral("/copy/opendir/g.txt")), QStringLiteral("open"));
             EXPECT_EQ(text(at + QStringLiteral("/copy/outdir/f.txt")), QStringLiteral("locked"));
             EXPECT_EQ(listing(at + QStringLiteral("/copy/sub")), QStringList{QStringLiteral("deep.txt")});
             EXPECT_FALSE(isLink(at + QStringLiteral("/copy/inlink.txt")));
             EXPECT_FALSE(isLink(at + QStringLiteral("/copy/opendir")));
             outsideUntouched(at);
         }},
        {"xcopy without /c stops at the link that leads nowhere",
         {QStringLiteral("xcopy \"game\\*.*\" \"copy\\\" /s /i")},
         [&](const QString& at, const BatchRun& r) {
             names(r, at + QStringLiteral("/game/dangling"));
             EXPECT_FALSE(isFile(at + QStringLiteral("/copy/real.txt")));
         }},
        {"copy of a folder's files reads every linked file and names the one that leads nowhere",
         {QStringLiteral("md copy"), QStringLiteral("copy \"game\\*.*\" \"copy\"")},
         [&](const QString& at, const BatchRun& r) {
             names(r, at + QStringLiteral("/game/dangling"));
             EXPECT_EQ(listing(at + QStringLiteral("/copy")),
                       (QStringList{QStringLiteral("glink.txt"), QStringLiteral("inlink.txt"), QStringLiteral("outlink.txt"),
                                    QStringLiteral("real.txt")}));
             EXPECT_EQ(text(at + QStringLiteral("/copy/glink.txt")), QStringLiteral("open"));
         }},
        {"a link named as the source of copy and xcopy",
         {QStringLiteral("copy \"game\\outlink.txt\" \"one.txt\""), QStringLiteral("xcopy \"game\\outlink.txt\" \"two\\\" /i"),
          QStringLiteral("copy \"game\\dangling\" \"three.txt\""), QStringLiteral("xcopy \"game\\dangling\" \"four\\\" /i")},
         [&](const QString& at, const BatchRun& r) {
             names(r, QStringLiteral("game\\dangling"));
             EXPECT_EQ(text(at + QStringLiteral("/one.txt")), QStringLiteral("secret"));
             EXPECT_EQ(text(at + QStringLiteral("/two/outlink.txt")), QStringLiteral("secret"));
             EXPECT_FALSE(exists(at + QStringLiteral("/three.txt")));
             EXPECT_EQ(listing(at + QStringLiteral("/four")), QStringList());
         }},
        {"xcopy /s /e writes into the linked folders below its destination",
         {QStringLiteral("Call xcopy \"src\\*.*\" \"game\\*.*\" /s /e /y")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 0) << r.err.toStdString();
             EXPECT_EQ(text(at + QStringLiteral("/game/top.txt")), QStringLiteral("top"));
             EXPECT_EQ(text(at + QStringLiteral("/game/sub/more.txt")), QStringLiteral("more"));
             EXPECT_EQ(listing(at + QStringLiteral("/outside/open")),
                       (QStringList{QStringLiteral("Empty/"), QStringLiteral("g.txt"), QStringLiteral("new.txt")}));
             EXPECT_EQ(text(at + QStringLiteral("/outside/locked/x.txt")), QStringLiteral("x"));
             EXPECT_TRUE(isLink(at + QStringLiteral("/game/opendir")));
         }},
        {"a linked folder named on the line is written into",
         {QStringLiteral("copy \"src\\top.txt\" \"game\\opendir\""),
          QStringLiteral("xcopy \"src\\sub\\*.*\" \"game\\opendir\\sub\\\" /s /i")},
         [&](const QString& at, const BatchRun& r) {
             EXPECT_EQ(r.status, 0) << r.err.toStdString();
             EXPECT_EQ(listing(at + QStringLiteral("/outside/open")),
                       (QStringList{QStringLiteral("g.txt"), QStringLiteral("sub/"), QStringLiteral("top.txt")}));
             EXPECT_EQ(text(at + QStringLiteral("/outside/open/sub/more.txt")), QStringLiteral("more"));
         }},
        {"a copy onto a linked file writes into it, onto a link that leads nowhere fails",
         {QStringLiteral("copy \"game\\sub\\deep.txt\" \"game\\glink.txt\""),
          QStringLiteral("xcopy \"game\\sub\\deep.txt\" \"game\\dangling\" /y"),
          QStringLiteral("copy \"game\\real.txt\" \"game\\dangling\"")},
         [&](const QString& at, const BatchRun& r) {
             names(r, QStringLiteral("leads nowhere"));
             EXPECT_EQ(text(at + QStringLiteral("/outside/open/g.txt")), QStringLiteral("deep"));
             EXPECT_TRUE(isLink(at + QStringLiteral("/game/glink.txt")));
             EXPECT_TRUE(isLink(at + QStringLiteral("/game/dangling")));
             EXPECT_FALSE(exists(at + QStringLiteral("/nowhere")));
         }},
        {"nothing is written through a link that leads nowhere on the destination's way",
         {QStringLiteral("xcopy \"src2\\*.*\" \"game\\\" /s /y /c"), QStringLiteral("xcopy \"src\\*.*\" \"game\\dangling\\\" /s /i"),
          QStringLiteral("copy \"src\\top.txt\" \"game\\dangling\\\""), QStringLiteral("xcopy \"src\\*.*\" \"game\\dangling\\in\\\" /e /i")},
         [&](const QString& at, const BatchRun& r) {
             names(r, at + QStringLiteral("/game/dangling"));
             EXPECT_EQ(text(at + QStringLiteral("/game/top2.txt")), QStringLiteral("top2"));
             EXPECT_TRUE(isLink(at + QStringLiteral("/game/dangling")));
             outsideUntouched(at);
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
