// "copy" and "xcopy" under the links rule (platform/Links.h): a link in the source is copied as
// what it leads to, a linked folder walked unless it is a loop, and a link below the destination
// is written into; a link that leads nowhere is a missing file in the source and a path not
// found at the destination.

#include "tools/cmd/BatchInterpreter.h"

#include "platform/FileSync.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "tools/cmd/BatchCommon.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace cmd {

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

// The message for a path whose way holds a link that leads nowhere: nothing is written there.
QString pathNotFound(const QString& nowhere)
{
    return QStringLiteral("The system cannot find the path specified (") + nowhere
           + QStringLiteral(" is a link that leads nowhere).");
}

// The first link that leads nowhere on the way to a native absolute path, itself included.
QString nowhereOnWayTo(const QString& nativePath)
{
    const qsizetype cut = nativePath.indexOf(QLatin1Char('/'), 1);
    if (cut < 0)
        return platform::nowhereOnTheWay(nativePath);
    return platform::nowhereOnTheWay(nativePath.left(cut), nativePath.mid(cut + 1));
}

// Makes a folder a copy writes into, with its parents; false with the reason when it cannot be.
bool madeFolder(const QString& nativeFolder, QString& why)
{
    if (QFileInfo(nativeFolder).isDir())
        return true;
    if (const QString nowhere = nowhereOnWayTo(nativeFolder); !nowhere.isEmpty()) {
        why = pathNotFound(nowhere);
        return false;
    }
    if (QDir().mkpath(nativeFolder))
        return true;
    why = QStringLiteral("Unable to create directory");
    return false;
}

} // namespace

bool BatchInterpreter::copyFile(const QString& src, const QString& dst, bool resetReadOnly, QString& error) const
{
    const QFileInfo si(src);
    const QFileInfo di(dst);
    if (platform::leadsNowhere(dst)) {
        error = pathNotFound(dst);
        return false;
    }
    if (di.exists()) {
        if (di.isDir()) {
            error = QStringLiteral("Access is denied (a folder of that name exists).");
            return false;
        }
        if (di.canonicalFilePath() == si.canonicalFilePath()) {
            error = QStringLiteral("The file cannot be copied onto itself.");
            return false;
        }
        if (isReadOnly(di)) {
            error = QStringLiteral("Access is denied.");
            return false;
        }
    }
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly)) {
        error = si.exists() ? QStringLiteral("Access is denied.") : QStringLiteral("The system cannot find the file specified.");
        return false;
    }
    if (!QFileInfo(di.absolutePath()).isDir()) {
        error = QStringLiteral("The system cannot find the path specified.");
        return false;
    }
    QSaveFile out(dst);
    if (!out.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("Access is denied. (") + out.errorString() + QLatin1Char(')');
        return false;
    }
    QByteArray buffer;
    while (!in.atEnd()) {
        buffer = in.read(kCopyChunk);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            error = QStringLiteral("The file could not be read: ") + in.errorString();
            return false;
        }
        if (out.write(buffer) != buffer.size()) {
            out.cancelWriting();
            error = QStringLiteral("The file could not be written: ") + out.errorString();
            return false;
        }
    }
    if (!platform::commitWhole(out)) {
        error = QStringLiteral("The file could not be written: ") + out.errorString();
        return false;
    }
    {
        QFile done(dst);
        if (done.open(QIODevice::ReadWrite))
            done.setFileTime(si.lastModified(), QFileDevice::FileModificationTime);
    }
    QFileDevice::Permissions perms = si.permissions();
    if (resetReadOnly)
        perms |= kOwnerWrite;
    QFile::setPermissions(dst, perms);
    return true;
}

bool BatchInterpreter::destinationLeadsSomewhere(const CopyTarget& to)
{
    const QString nowhere = nowhereOnWayTo(to.file.isEmpty() ? to.folder : to.file);
    if (nowhere.isEmpty())
        return true;
    fail(pathNotFound(nowhere));
    return false;
}

BatchInterpreter::CopyTarget BatchInterpreter::destinationOf(const Parsed& p)
{
    CopyTarget to;
    if (p.paths.size() < 2) {
        to.folder = cwd_;
        return to;
    }
    if (!makePathArg(p.paths[1], to.named)) {
        to.where = Destination::Unreadable;
        return to;
    }
    if (to.named.pattern.isEmpty()) {
        to.folder = to.named.folder;
        return to;
    }
    if (to.named.wildcard) {
        if (to.named.pattern != QLatin1String("*.*") && to.named.pattern != QLatin1String("*")) {
            cannotRun(QStringLiteral("a destination pattern other than \"*.*\" is not supported"));
            to.where = Destination::Unreadable;
            return to;
        }
        to.folder = to.named.folder;
        return to;
    }
    to.where = Destination::Named;
    return to;
}

bool BatchInterpreter::doCopy(const Parsed& p)
{
    if (!pathCountFits(p, 2))
        return false;
    PathArg src;
    if (!makePathArg(p.paths[0], src))
        return false;

    QStringList sources;
    bool several = false;
    bool ok = true;
    if (src.wildcard || platform::standingAt(src.full) == platform::Standing::Folder) {
        several = true;
        QList<Found> found;
        const QString folder = src.wildcard ? src.folder : src.full;
        collect(folder, src.wildcard ? src.pattern : QStringLiteral("*"), false, false, platform::LinkView::Through,
                found);
        for (const Found& f : found) {
            if (f.missing()) {
                fail(missingReason(f) + QStringLiteral(" - ") + f.path);
                ok = false;
            } else {
                sources.append(f.path);
            }
        }
    } else if (platform::standingAt(src.full) == platform::Standing::File) {
        sources.append(src.full);
    }
    if (sources.isEmpty()) {
        if (ok)
            fail(QStringLiteral("The system cannot find the file specified. - ") + p.paths[0]);
        return false;
    }

    CopyTarget to = destinationOf(p);
    if (to.where == Destination::Unreadable)
        return false;
    if (to.where == Destination::Named) {
        if (QFileInfo(to.named.full).isDir()) {
            to.folder = to.named.full;
        } else if (several) {
            fail(QStringLiteral("Several files cannot be copied into the one file ") + p.paths[1]);
            return false;
        } else {
            to.file = to.named.full;
        }
    }
    if (!destinationLeadsSomewhere(to))
        return false;
    if (!to.folder.isEmpty() && !QFileInfo(to.folder).isDir()) {
        fail(QStringLiteral("The system cannot find the path specified. - ") + p.paths[p.paths.size() - 1]);
        return false;
    }

    int copied = 0;
    for (const QString& s : sources) {
        const QString target = to.file.isEmpty()
                                   ? withoutTrailingSlash(platform::nativePath(to.folder + QLatin1Char('/') + QFileInfo(s).fileName()))
                                   : to.file;
        QString error;
        if (copyFile(s, target, false, error)) {
            ++copied;
        } else {
            fail(s + QStringLiteral(": ") + error);
            ok = false;
        }
    }
    print(QStringLiteral("%1 file(s) copied.").arg(copied, 9));
    return ok;
}

// What one xcopy line asks for, as its steps settle it.
struct BatchInterpreter::XcopyJob {
    explicit XcopyJob(const QStringList& switches)
        : keepEmpty(switches.contains(QLatin1String("e"))),
          recurse(keepEmpty || switches.contains(QLatin1String("s"))),
          assumeFolder(switches.contains(QLatin1String("i"))),
          goOn(switches.contains(QLatin1String("c"))),
          newerOnly(switches.contains(QLatin1String("d")))
    {
    }

    const bool keepEmpty;    // /e: every folder below the source is made, empty or not
    const bool recurse;      // /s or /e
    const bool assumeFolder; // /i: a destination that does not exist is a folder
    const bool goOn;         // /c: a failure does not end the command
    const bool newerOnly;    // /d: only files newer than their copies

    QString base;        // the folder copied from
    QString pattern;     // the names copied from it
    bool several = true; // a folder or a wildcard was named, not one file
    QList<Found> files;
    QStringList folders; // with /e: the folders below base, in walk order
    CopyTarget to;
    bool ok = true;              // nothing failed so far
};

bool BatchInterpreter::doXcopy(const Parsed& p)
{
    if (!pathCountFits(p, 2))
        return false;
    XcopyJob job(p.switches);
    if (!findXcopySources(p, job) || !settleXcopyTarget(p, job))
        return false;
    if (!job.to.folder.isEmpty() && job.recurse
        && isSameOrInside(platform::leadsTo(job.to.folder), platform::leadsTo(job.base))) {
        fail(QStringLiteral("Cannot perform a cyclic copy"));
        return false;
    }
    if (!destinationLeadsSomewhere(job.to) || !makeXcopyFolders(job))
        return false;
    copyXcopyFiles(job);
    return job.ok;
}

bool BatchInterpreter::findXcopySources(const Parsed& p, XcopyJob& job)
{
    PathArg src;
    if (!makePathArg(p.paths[0], src))
        return false;
    if (src.pattern.isEmpty() || (!src.wildcard && QFileInfo(src.full).isDir())) {
        job.base = src.pattern.isEmpty() ? src.folder : src.full;
        job.pattern = QStringLiteral("*");
    } else {
        job.base = src.folder;
        job.pattern = src.pattern;
        job.several = src.wildcard;
    }
    if (QFileInfo(job.base).isDir()) {
        collect(job.base, job.pattern, job.recurse, false, platform::LinkView::Through, job.files,
                job.keepEmpty ? &job.folders : nullptr);
        if (job.several || !job.files.isEmpty())
            return true;
    }
    fail(QStringLiteral("File not found - ") + p.paths[0]);
    print(QStringLiteral("0 File(s) copied"));
    return false;
}

bool BatchInterpreter::settleXcopyTarget(const Parsed& p, XcopyJob& job)
{
    CopyTarget& to = job.to;
    to = destinationOf(p);
    if (to.where == Destination::Unreadable)
        return false;
    if (to.where != Destination::Named)
        return true;
    const QFileInfo di(to.named.full);
    if (di.isDir()) {
        to.folder = to.named.full;
    } else if (job.several && !di.exists() && job.assumeFolder) {
        to.folder = to.named.full;
    } else if (job.several && !di.exists()) {
        // Windows would ask whether a file or a folder is meant; nobody can answer.
        fail(QStringLiteral("Does ") + p.paths[1]
             + QStringLiteral(" specify a file name or directory name on the target? (no answer is possible: "
                              "use /I or end the destination with \"\\\")"));
        return false;
    } else if (job.files.size() > 1 || job.several) {
        fail(QStringLiteral("Several files cannot be copied onto the one file ") + p.paths[1]);
        return false;
    } else {
        to.file = to.named.full;
    }
    return true;
}

bool BatchInterpreter::makeXcopyFolders(XcopyJob& job)
{
    if (job.keepEmpty && !job.to.folder.isEmpty()) {
        QStringList all = job.folders;
        all.prepend(QString());
        for (const QString& rel : all) {
            const QString folder = job.to.folder + QLatin1Char('/') + rel;
            QString why;
            if (!madeFolder(platform::nativePath(folder), why)) {
                fail(why + QStringLiteral(" - ") + folder);
                job.ok = false;
                if (!job.goOn)
                    return false;
            }
        }
    }
    if (!job.to.file.isEmpty()) {
        const QString parent = QFileInfo(job.to.file).absolutePath();
        if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent)) {
            fail(QStringLiteral("Unable to create directory - ") + parent);
            return false;
        }
    }
    return true;
}

QString BatchInterpreter::xcopyTargetOf(XcopyJob& job, const QString& file, const QString& rel)
{
    if (!job.to.file.isEmpty())
        return job.to.file;
    const QString folder = withoutTrailingSlash(platform::nativePath(job.to.folder + QLatin1Char('/') + rel));
    QString why;
    if (!madeFolder(folder, why)) {
        fail(why + QStringLiteral(" - ") + file);
        return QString();
    }
    return withoutTrailingSlash(platform::nativePath(folder + QLatin1Char('/') + QFileInfo(file).fileName()));
}

void BatchInterpreter::copyXcopyFiles(XcopyJob& job)
{
    int copied = 0;
    for (const Found& f : job.files) {
        if (f.missing()) {
            fail(missingReason(f) + QStringLiteral(" - ") + f.path);
            job.ok = false;
            if (!job.goOn)
                break;
            continue;
        }
        const QString target = xcopyTargetOf(job, f.path, f.rel);
        if (target.isEmpty()) {
            job.ok = false;
            if (!job.goOn)
                break;
            continue;
        }
        if (job.newerOnly) {
            const QFileInfo ti(target);
            if (ti.exists() && !(QFileInfo(f.path).lastModified() > ti.lastModified()))
                continue;
        }
        QString error;
        if (copyFile(f.path, target, true, error)) {
            print(f.path);
            ++copied;
        } else {
            fail(error + QStringLiteral(" - ") + f.path);
            job.ok = false;
            if (!job.goOn)
                break;
        }
    }
    print(QStringLiteral("%1 File(s) copied").arg(copied));
}

} // namespace cmd
