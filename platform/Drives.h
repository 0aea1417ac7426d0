#pragma once
// The drives a Windows program sees in the user's Wine prefix: the "x:" entries of
// $WINEPREFIX/dosdevices, each with the folder of this machine it stands for. Without such
// entries there is one drive, the file system's root.

#include <QList>
#include <QString>

namespace platform {

struct Drive {
    QString name;   // "c:", "z:"; "/" for the file system's root when there is no prefix
    QString folder; // the folder the drive opens at (its link's target, made absolute)
};

// The drives in letter order. A drive whose link points nowhere is listed all the same, with
// the folder it names.
QList<Drive> drives();

// The index in list of the drive whose folder holds path (a Windows-form or native path), by
// the longest match of folders; -1 when none holds it.
qsizetype driveIndexOf(const QList<Drive>& list, const QString& path);

// True when the drive's folder can be opened now.
bool driveReady(const Drive& drive);

} // namespace platform
