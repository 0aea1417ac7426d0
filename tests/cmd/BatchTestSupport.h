#pragma once
// Runs batch files through the real veltrane-cmd in a temporary tree.

#include "support/ChildProcess.h"
#include "support/SampleGame.h"
#include "support/TempTree.h"

#include "platform/TextCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

using BatchRun = ProcessRun;

class BatchTest : public ::testing::Test {
protected:
    TempTree tree;

    // Writes the lines as an ANSI batch file with CR LF line ends (in "work" unless the name
    // holds a folder) and returns its path.
    QString writeBatch(const QStringList& lines, const QString& name = QStringLiteral("work/run.bat"))
    {
        return tree.writeFile(name, platform::encodeAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }

    // Runs veltrane-cmd on the batch file with the given current folder ("work" by default).
    BatchRun run(const QString& batchPath, const QString& currentFolder = QString())
    {
        const QString cwd = currentFolder.isEmpty() ? tree.makeDir(QStringLiteral("work")) : currentFolder;
        return runProcess(veltraneCmdPath(), {batchPath}, 60000, cwd);
    }

    BatchRun runLines(const QStringList& lines, const QString& currentFolder = QString())
    {
        return run(writeBatch(lines), currentFolder);
    }

    QString text(const QString& rel) const { return QString::fromLatin1(tree.readFile(rel)); }
    bool isFile(const QString& rel) const { return QFileInfo(tree.path(rel)).isFile(); }
    bool isDir(const QString& rel) const { return QFileInfo(tree.path(rel)).isDir(); }

    // The names in a folder, sorted, folders marked with a trailing "/".
    QStringList listing(const QString& rel) const
    {
        QStringList names;
        const QFileInfoList list =
            QDir(tree.path(rel)).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QFileInfo& fi : list)
            names << fi.fileName() + (fi.isDir() ? QStringLiteral("/") : QString());
        return names;
    }

    void setTime(const QString& rel, const QDateTime& when) const
    {
        QFile f(tree.path(rel));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    bool ownerWritable(const QString& rel) const
    {
        return QFileInfo(tree.path(rel)).permissions() & QFileDevice::WriteOwner;
    }

    void makeReadOnly(const QString& rel) const
    {
        QFile::setPermissions(tree.path(rel), QFileInfo(tree.path(rel)).permissions()
                                                  & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser
                                                      | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    }

    // The game folder inside the tree's Wine drive c:, and its Windows form.
    QString winGame() const { return QStringLiteral("C:\\Program Files\\Rail Simulator"); }
    QString nativeGameRel() const { return QStringLiteral("wine/drive_c/Program Files/Rail Simulator"); }
};
