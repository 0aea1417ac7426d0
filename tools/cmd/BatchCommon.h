#pragma once
// What the interpreter's files share: tests of characters and paths, read-only, and the one
// walk over a folder with the link rule of each command.

#include <QFileDevice>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

namespace cmd {

const QFileDevice::Permissions kOwnerWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser;

bool isAsciiLetter(QChar c);
bool isBlank(QChar c);
bool isReadOnly(const QFileInfo& info);
QString withoutTrailingSlash(QString path);
bool isSameOrInside(const QString& inner, const QString& outer);
// "x" when the folder lies on Wine drive x: of the prefix, else a null character.
QChar driveOf(const QString& folder);

struct Found {
    QString path;
    QString rel; // folder below the walk's start, "" or ending in "/"
    bool dir = false;
};

QFileInfoList entries(const QString& folder);

// What a walk does with the links it meets. It never descends into a linked folder; beyond
// that each command has its rule, so that no command reaches through a link to something
// outside the folder it was given.
struct LinkRule {
    enum Kind {
        Skip,   // links are passed over (attrib)
        AsFile, // a link that is not a folder's is listed itself, to be removed (del)
        Inside, // a link to a file is listed when the file lies inside root (copy, xcopy)
    };
    Kind kind = Skip;
    QString root; // canonical; for Inside
};

bool linkLeadsInside(const QFileInfo& link, const QString& root);

// Files (and, when wanted, folders) of folder whose names match pattern; with recurse the
// same in every sub-folder, whose relative paths go to allDirs in walk order. Links are taken
// as rule says, and linked folders are never walked.
void collect(const QString& folder, const QString& rel, const QString& pattern, bool recurse, bool wantDirs,
             const LinkRule& rule, QList<Found>& out, QStringList* allDirs);

} // namespace cmd
