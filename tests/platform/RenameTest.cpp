// Renames that keep what stands at the new name, on a file system that refuses a taken name in
// the same step and on one that cannot (the name is looked at first), and renames that replace
// it; a rename that fails changes nothing.

#include "platform/Rename.h"

#include "support/RenameFaults.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

enum class AtNewName { Nothing, File, LinkToNowhere };

} // namespace

TEST(RenameFile, KeepsOrReplacesWhatStandsAtTheNewName)
{
    using platform::RenameMode;
    const struct {
        const char* what;
        RenameMode mode;
        AtNewName at;
        int refusingAnswer; // the file system's answer to the call that refuses a taken name
        int plainAnswer;    // and to a plain rename
        bool renamed;
        int plainCalls;     // plain renames asked for (-1: as the file system of the test has it)
    } rows[] = {
        {"keep, free name", RenameMode::KeepExisting, AtNewName::Nothing, 0, 0, true, -1},
        {"keep, a file there", RenameMode::KeepExisting, AtNewName::File, 0, 0, false, -1},
        {"keep, a link to nowhere there", RenameMode::KeepExisting, AtNewName::LinkToNowhere, 0, 0, false, -1},
        {"keep without the one-step refusal, free name", RenameMode::KeepExisting, AtNewName::Nothing, EINVAL, 0, true, 1},
        {"keep, refusal not built (ENOSYS)", RenameMode::KeepExisting, AtNewName::Nothing, ENOSYS, 0, true, 1},
        {"keep, refusal not supported (ENOTSUP)", RenameMode::KeepExisting, AtNewName::Nothing, ENOTSUP, 0, true, 1},
        {"keep without the one-step refusal, a file there", RenameMode::KeepExisting, AtNewName::File, EINVAL, 0, false, 0},
        {"keep without the one-step refusal, a link to nowhere there", RenameMode::KeepExisting,
         AtNewName::LinkToNowhere, EINVAL, 0, false, 0},
        {"keep without the one-step refusal, the plain rename fails", RenameMode::KeepExisting, AtNewName::Nothing,
         EINVAL, EIO, false, 1},
        {"keep, another file system", RenameMode::KeepExisting, AtNewName::Nothing, EXDEV, 0, false, 0},
        {"replace, a file there", RenameMode::ReplaceExisting, AtNewName::File, 0, 0, true, 1},
        {"replace, a link to nowhere there", RenameMode::ReplaceExisting, AtNewName::LinkToNowhere, 0, 0, true, 1},
        {"replace, another file system", RenameMode::ReplaceExisting, AtNewName::File, 0, EXDEV, false, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempTree tree;
        const QString from = tree.writeFile(QStringLiteral("f/moved.bin"), "moved");
        const QString to = tree.path(QStringLiteral("f/name.bin"));
        const QString nowhere = tree.path(QStringLiteral("other/disk/name.bin"));
        if (row.at == AtNewName::File)
            tree.writeFile(QStringLiteral("f/name.bin"), "there");
        else if (row.at == AtNewName::LinkToNowhere) {
            ASSERT_TRUE(QFile::link(nowhere, to));
        }

        int plainCalls = 0;
        bool ok;
        {
            const RenameFaults faults([&](const QString& f, const QString& t, bool refusesTaken) {
                EXPECT_EQ(f, from);
                EXPECT_EQ(t, to);
                if (!refusesTaken)
                    ++plainCalls;
                return refusesTaken ? row.refusingAnswer : row.plainAnswer;
            });
            ok = platform::renameFile(from, to, row.mode);
        }
        EXPECT_EQ(ok, row.renamed);
        if (row.plainCalls >= 0) {
            EXPECT_EQ(plainCalls, row.plainCalls);
        }
        EXPECT_EQ(QFileInfo::exists(from), !row.renamed);
        EXPECT_FALSE(QFileInfo::exists(nowhere)) << "nothing is written through a link";
        if (row.renamed) {
            EXPECT_FALSE(QFileInfo(to).isSymLink());
            EXPECT_EQ(tree.readFile(QStringLiteral("f/name.bin")), QByteArray("moved"));
        } else if (row.at == AtNewName::File) {
            EXPECT_EQ(tree.readFile(QStringLiteral("f/name.bin")), QByteArray("there"));
        } else if (row.at == AtNewName::LinkToNowhere) {
            EXPECT_EQ(QFileInfo(to).symLinkTarget(), nowhere);
        } else {
            EXPECT_FALSE(platform::nameTaken(to));
        }
    }
}
