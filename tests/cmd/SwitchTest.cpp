// Switches: an unquoted argument that starts with "/" is a switch of its command, never a
// path. One the command does not know is refused and the line does nothing.
//
// Every row is safe to run even without that rule: a "/" argument either names something
// inside the test's own tree (through its absolute native path) or carries a name unique to
// this run that exists nowhere, and no row would walk or write the machine's root.

#include "BatchTestSupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QUuid>

namespace {

using SwitchTest = BatchTest;

// Every file and folder below the tree's root, with the bytes and permissions of files.
QStringList snapshot(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        QString entry = fi.filePath().mid(root.size());
        if (fi.isDir()) {
            entry += QStringLiteral("/");
        } else {
            QFile f(fi.filePath());
            const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?");
            entry += QStringLiteral(" %1 %2")
                         .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()))
                         .arg(int(fi.permissions()), 0, 16);
        }
        out << entry;
    }
    out.sort();
    return out;
}

TEST_F(SwitchTest, UnknownSwitchesAreRefusedAndTouchNothing)
{
    const QString unique = QStringLiteral("zzcanary") + QUuid::createUuid().toString(QUuid::Id128);
    const QString outside = tree.path(QStringLiteral("outside"));
    tree.writeFile(QStringLiteral("outside/canary.txt"), "canary");
    tree.writeFile(QStringLiteral("outside/sub/deep.txt"), "deep");
    tree.writeFile(QStringLiteral("outside/other.bat"),
                   "@echo off\r\ndel /q \"" + outside.toUtf8() + "/canary.txt\"\r\n");
    tree.writeFile(QStringLiteral("work/a.txt"), "a");
    tree.writeFile(QStringLiteral("work/src/b.txt"), "b");

    struct Row {
        QStringList lines;
        QString token; // as the message names it
    };
    const QString canary = outside + QStringLiteral("/canary.txt");
    const Row rows[] = {
        // A name unique to this run: once taken as a path, it ended with status 0.
        {{QStringLiteral("del /") + unique}, QStringLiteral("/") + unique},
        {{QStringLiteral("del /q /f ") + canary}, canary},
        {{QStringLiteral("del /s /q ") + canary}, canary},
        {{QStringLiteral("ERASE /Q ") + outside}, outside},
        // A group with a bad member refuses the whole line, a.txt included.
        {{QStringLiteral("del /q/") + unique + QStringLiteral(" a.txt")}, QStringLiteral("/q/") + unique},
        {{QStringLiteral("del /q/x a.txt")}, QStringLiteral("/x")},
        {{QStringLiteral("copy a.txt ") + outside + QStringLiteral("/new.txt")}, outside + QStringLiteral("/new.txt")},
        {{QStringLiteral("copy /se")}, QStringLiteral("/se")},
        {{QStringLiteral("xcopy \"src\\*.*\" ") + outside + QStringLiteral("/ /y")}, outside + QStringLiteral("/")},
        {{QStringLiteral("xcopy \"src\\*.*\" \"dst\\\" /s/e/i/") + unique}, QStringLiteral("/s/e/i/") + unique},
        {{QStringLiteral("md ") + outside + QStringLiteral("/made")}, outside + QStringLiteral("/made")},
        {{QStringLiteral("rd /s /q ") + outside}, outside},
        {{QStringLiteral("rmdir /q /") + unique}, QStringLiteral("/") + unique},
        {{QStringLiteral("attrib +r ") + canary}, canary},
        {{QStringLiteral("attrib +r a.txt /") + unique}, QStringLiteral("/") + unique},
        {{QStringLiteral("attrib -r /s /d /x")}, QStringLiteral("/x")},
        // "cd" knows "/d" only; its path after "/d" may be native, but not shaped as a switch.
        {{QStringLiteral("cd ") + outside, QStringLiteral("del /q canary.txt")}, outside},
        {{QStringLiteral("cd /d /") + unique, QStringLiteral("del /q canary.txt")}, QStringLiteral("/") + unique},
        {{QStringLiteral("call ") + outside + QStringLiteral("/other.bat")}, outside + QStringLiteral("/other.bat")},
        {{QStringLiteral("call del /q ") + canary}, canary},
    };

    const QString root = tree.rootPath();
    for (const Row& row : rows) {
        const QString what = row.lines.join(QStringLiteral(" | "));
        const QStringList before = snapshot(root);
        QStringList lines{QStringLiteral("@echo off")};
        lines << row.lines;
        const QString bat = writeBatch(lines);
        const QStringList withBatch = snapshot(root);
        const BatchRun r = run(bat);
        EXPECT_EQ(r.status, 1) << what.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Invalid switch - ") + row.token + QLatin1Char('\n')))
            << what.toStdString() << "\n" << r.err.toStdString();
        EXPECT_EQ(snapshot(root), withBatch) << what.toStdString();
        QFile::remove(bat);
        ASSERT_EQ(snapshot(root), before) << what.toStdString();
    }
    EXPECT_EQ(text(QStringLiteral("outside/canary.txt")), QStringLiteral("canary"));
}

TEST_F(SwitchTest, KnownSwitchesInAnyCaseAndQuotedNativePathsStillWork)
{
    const QString outside = tree.path(QStringLiteral("outside"));
    tree.writeFile(QStringLiteral("outside/x.tmp"), "x");
    tree.writeFile(QStringLiteral("outside/keep.txt"), "k");
    tree.writeFile(QStringLiteral("work/a.txt"), "a");
    const BatchRun r = runLines({QStringLiteral("@echo off"), QStringLiteral("copy /Y a.txt \"") + outside + QStringLiteral("/b.txt\""),
                                 QStringLiteral("del /Q/F \"") + outside + QStringLiteral("/*.tmp\""),
                                 QStringLiteral("attrib +R \"") + outside + QStringLiteral("/keep.txt\" /S")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("outside/b.txt")), QStringLiteral("a"));
    EXPECT_FALSE(isFile(QStringLiteral("outside/x.tmp")));
    EXPECT_FALSE(ownerWritable(QStringLiteral("outside/keep.txt")));
}

} // namespace
