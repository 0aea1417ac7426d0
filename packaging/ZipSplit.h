#pragma once

// Split ("spanned") zip sets: one standard zip cut into pieces base.z01, base.z02 ... with the last
// piece under the archive's own name, and the way back (a single-disk view for libzip, or a joined
// copy). Pieces renamed to base.000, base.001 ... are read as well.

#include <QString>
#include <QtGlobal>

#include <zip.h>

namespace packaging {

// The archive a chosen file name stands for: the name itself when it ends in ".zip" (in any
// case), else the name with ".zip" appended. A split set's last piece goes by this name.
QString ZipArchiveName(const QString& chosen);

// The name of piece k (1 for the first) of the set whose last piece is archivePath: the
// archive's name less its last three characters, then "z01", "z02" ... "z99", "z100" ...
// ("pack.zip" gives "pack.z01").
QString SplitPartName(const QString& archivePath, qint64 k);

// The same piece once split parts are renamed: "000" for the first, "001" ... ("pack.000").
QString RenamedPartName(const QString& archivePath, qint64 k);

// True when the archive's file name is long enough to name pieces after (more than three
// characters).
bool HasPartBase(const QString& archivePath);

// Cuts the single zip singleZip into pieces of at most partSize bytes next to archivePath. Returns
// false with a reason in *error (when given) if anything fails.
bool writeSplitSet(const QString& singleZip, const QString& archivePath, qint64 partSize, QString* error);

// True when archivePath's end record says the archive spans more than one piece.
bool isSplitSet(const QString& archivePath);

// The number of entries libzip reads in a plain zip (a native path); -1 when it does not open.
qint64 zipEntryCount(const QString& nativeZip);

// Opens a split set (or a plain zip) read-only as one libzip archive; nullptr with a reason in *error.
// The caller closes the archive with zip_close or zip_discard.
zip_t* openSplitSet(const QString& archivePath, QString* error);

// Writes the single-disk view of the set at archivePath to singleZipOut.
bool joinSplitSet(const QString& archivePath, const QString& singleZipOut, QString* error);

}  // namespace packaging
