#pragma once
// Temporary program and game folders for one test. The program folder becomes
// $VELTRANE_HOME (with $VELTRANE_SYSTEM its "System32") and, as at the program's start, the
// current folder (the one before is current again at destruction); $WINEPREFIX points at an
// empty Wine prefix of the tree (drive c: is its "wine/drive_c", "c:\temp.bmp" is
// path("wine/drive_c/temp.bmp"); drive e: is the game folder), so that nothing reaches the
// machine's own folders. The environment is restored at destruction.
//
// Relative paths of the helpers are relative to the tree's root: "program/preferences.txt",
// "game/Content/Routes.xml"; absolute paths are taken as they are.

#include "support/QtPrinters.h"
#include "support/ScopedEnv.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>


class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    QString rootPath() const;
    QString programPath() const; // .../program
    QString gamePath() const;    // .../game
    QString systemPath() const;  // .../program/System32
    QString winePrefixPath() const; // .../wine
    QString path(const QString& relativePath) const;

    // Writes the bytes, creating the parent folders; returns the full path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const;
    // The file's bytes; an empty array when it cannot be read.
    QByteArray readFile(const QString& relativePath) const;
    bool exists(const QString& relativePath) const;
    // Creates a folder and its parents; returns the full path.
    QString makeDir(const QString& relativePath) const;
    // Moves the game folder into a new folder of that name below the root (a game below a home
    // folder so named) and returns the game's new path; gamePath() keeps naming the old place.
    QString moveGameInto(const QString& folderName) const;

private:
    QTemporaryDir dir_;
    ScopedEnvList env_;
    QString startFolder_;
};

// A folder name the ANSI code page cannot hold (Greek, or Polish under a Greek locale), for a
// home folder named in the user's language that the program cannot write into ANSI files.
QString unwritableName();
inline QString unwritableFolder(const QString& parent)
{
    return parent + QLatin1Char('/') + unwritableName();
}

// A drive of the tree's Wine prefix and the folder its folder tree shows ("" when it cannot
// be opened).
struct TestDrive {
    const char* drive;
    QString root;
};

// c: (the prefix's drive_c), d: (for tests that link it to a folder that is not there) and e:
// (the game folder), with their folders as canonical paths.
QList<TestDrive> testDrives(const TempTree& tree);

