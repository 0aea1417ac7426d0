#pragma once
// What the interpreter's files share: tests of characters and paths, read-only, and the one
// walk over a folder, with the links rule of platform/Links.h.

#include "platform/Links.h"

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
    QString path; // native; for a name that is no text, the folder's path and the name's display form
    QString rel;  // folder below the walk's start, "" or ending in "/"
    platform::Standing standing = platform::Standing::File;
    bool nameIsText = true;

    bool dir() const { return standing == platform::Standing::Folder; }
    // Nothing can be done with it by its name: a link that leads nowhere, a name that is no text.
    bool missing() const { return standing == platform::Standing::Nowhere || !nameIsText; }
};

// Files (and, when wanted, folders) of folder whose names match pattern, in name order
// ignoring case; with recurse the same in every sub-folder walked, whose relative paths go to
// allDirs in walk order. The links rule decides what a link is (platform/Links.h): seen
// Through (copies), a link is what it leads to, a linked folder is walked unless it is a loop,
// and a link that leads nowhere is listed as missing (with recurse whatever its name, as it
// may have been a folder); seen Itself (del, attrib), a link is listed as Standing::Link when
// its name matches and never walked. A name that is no text is listed when its display form
// matches, or with recurse when it is a folder's, which cannot be walked.
void collect(const QString& folder, const QString& pattern, bool recurse, bool wantDirs, platform::LinkView view,
             QList<Found>& out, QStringList* allDirs = nullptr);

// What a command says of a listed entry it cannot work on by its name.
QString missingReason(const Found& found);

} // namespace cmd
