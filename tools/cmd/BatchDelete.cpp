// "del", "rd" and "attrib": they act on a link itself (platform::LinkView::Itself): a link is
// removed itself or passed over, never followed.

#include "tools/cmd/BatchInterpreter.h"

#include "tools/cmd/BatchCommon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cmd {

namespace {

const QFileDevice::Permissions kAllWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser
                                           | QFileDevice::WriteGroup | QFileDevice::WriteOther;

} // namespace

bool BatchInterpreter::doDel(const Parsed& p)
{
    if (!pathCountFits(p))
        return false;
    const bool force = p.switches.contains(QLatin1String("f"));
    const bool recurse = p.switches.contains(QLatin1String("s"));
    bool ok = true;
    for (const QString& text : p.paths) {
        PathArg arg;
        if (!makePathArg(text, arg))
            return false;
        QString folder = arg.folder;
        QString pattern = arg.pattern;
        QList<Found> found;
        const platform::Standing named =
            arg.wildcard ? platform::Standing::Nothing : platform::standingAt(arg.full, platform::LinkView::Itself);
        if (pattern.isEmpty()) {
            pattern = QStringLiteral("*");
        } else if (named == platform::Standing::Link) {
            found.append({arg.full, QString(), named}); // the link goes, never what it leads to
            folder.clear();
        } else if (named == platform::Standing::Folder) {
            folder = arg.full; // a folder's name deletes the files in it
            pattern = QStringLiteral("*");
        }
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            QList<Found> listed;
            collect(folder, pattern, recurse, false, platform::LinkView::Itself, listed);
            // A link to a folder stays unless it is named itself, as a folder would.
            for (const Found& f : std::as_const(listed)) {
                if (f.standing != platform::Standing::Link || platform::standingAt(f.path) != platform::Standing::Folder)
                    found.append(f);
            }
        }
        if (found.isEmpty()) {
            note(QStringLiteral("Could Not Find ") + text);
            continue;
        }
        for (const Found& f : found) {
            if (f.missing()) {
                fail(missingReason(f) + QStringLiteral(" - ") + f.path);
                ok = false;
                continue;
            }
            if (!force && f.standing != platform::Standing::Link && isReadOnly(QFileInfo(f.path))) {
                fail(QStringLiteral("Access is denied. - ") + f.path);
                ok = false;
                continue;
            }
            if (!platform::removeEntry(f.path)) {
                fail(QStringLiteral("Access is denied. - ") + f.path);
                ok = false;
                continue;
            }
            if (recurse)
                print(QStringLiteral("Deleted file - ") + f.path);
        }
    }
    return ok;
}

bool BatchInterpreter::doAttrib(const QString& rest)
{
    int readOnly = 0; // +1 set, -1 clear, 0 show
    bool recurse = false;
    bool folders = false;
    QStringList paths;
    for (const Arg& arg : tokenize(rest)) {
        const QString t = arg.text;
        if (!arg.quoted && t.size() == 2 && (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'))) {
            if (t[1].toLower() != QLatin1Char('r')) {
                cannotRun(QStringLiteral("only the read-only attribute (+R, -R) is supported"));
                return false;
            }
            readOnly = t[0] == QLatin1Char('+') ? 1 : -1;
        } else if (!arg.quoted && t.startsWith(QLatin1Char('/'))) {
            QStringList switches;
            if (!takeSwitches(t, {QStringLiteral("s"), QStringLiteral("d")}, switches))
                return false;
            recurse = recurse || switches.contains(QLatin1String("s"));
            folders = folders || switches.contains(QLatin1String("d"));
        } else {
            paths.append(t);
        }
    }
    if (paths.isEmpty())
        paths.append(QStringLiteral("*"));

    bool ok = true;
    for (const QString& text : paths) {
        PathArg arg;
        if (!makePathArg(text, arg))
            return false;
        QList<Found> found;
        bool linkNamed = false;
        const platform::Standing named = arg.wildcard || arg.pattern.isEmpty()
                                             ? platform::Standing::Nothing
                                             : platform::standingAt(arg.full, platform::LinkView::Itself);
        if (named == platform::Standing::Link) {
            linkNamed = true; // a link has no attributes of its own to change, and is not followed
            note(QStringLiteral("A link is passed over - ") + text);
        } else if (named == platform::Standing::Folder) {
            found.append({arg.full, QString(), named}); // a folder named on its own
        } else {
            const QString pattern = arg.pattern.isEmpty() ? QStringLiteral("*") : arg.pattern;
            if (QFileInfo(arg.folder).isDir()) {
                QList<Found> listed;
                collect(arg.folder, pattern, recurse, folders, platform::LinkView::Itself, listed);
                for (const Found& f : std::as_const(listed)) {
                    if (f.standing != platform::Standing::Link)
                        found.append(f);
                }
            }
        }
        if (linkNamed)
            continue;
        if (found.isEmpty()) {
            fail(QStringLiteral("File not found - ") + text);
            ok = false;
            continue;
        }
        for (const Found& f : found) {
            if (f.missing()) {
                fail(missingReason(f) + QStringLiteral(" - ") + f.path);
                ok = false;
                continue;
            }
            const QFileInfo info(f.path);
            if (readOnly == 0) {
                print((isReadOnly(info) && !f.dir() ? QStringLiteral("     R       ") : QStringLiteral("             "))
                      + f.path);
                continue;
            }
            QFileDevice::Permissions perms = info.permissions();
            if (readOnly < 0)
                perms |= kOwnerWrite;
            else if (!f.dir())
                perms &= ~kAllWrite;
            if (perms != info.permissions() && !QFile::setPermissions(f.path, perms)) {
                fail(QStringLiteral("Access denied - ") + f.path);
                ok = false;
            }
        }
    }
    return ok;
}

bool BatchInterpreter::doRd(const Parsed& p)
{
    if (!pathCountFits(p))
        return false;
    const bool tree = p.switches.contains(QLatin1String("s"));
    bool ok = true;
    for (const QString& text : p.paths) {
        if (refusesWildcard(text))
            return false;
        const QString full = resolve(text);
        const platform::Standing through = platform::standingAt(full);
        // A link to a folder, or one that leads nowhere, goes itself, with or without /s; what
        // it leads to stays.
        if (platform::standingAt(full, platform::LinkView::Itself) == platform::Standing::Link
            && (through == platform::Standing::Folder || through == platform::Standing::Nowhere)) {
            if (!platform::removeEntry(full)) {
                fail(QStringLiteral("Access is denied. - ") + text);
                ok = false;
            }
            continue;
        }
        const QFileInfo info(full);
        if (through != platform::Standing::Folder) {
            fail(QStringLiteral("The system cannot find the file specified. - ") + text);
            ok = false;
            continue;
        }
        if (info.canonicalFilePath() == QLatin1String("/") || QDir(full).isRoot()) {
            fail(QStringLiteral("Access is denied. - ") + text);
            ok = false;
            continue;
        }
        if (tree) {
            if (!platform::removeTree(full)) {
                fail(QStringLiteral("Access is denied. - ") + text);
                ok = false;
            }
        } else if (!QDir(full).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
            fail(QStringLiteral("The directory is not empty. - ") + text);
            ok = false;
        } else if (!QDir().rmdir(full)) {
            fail(QStringLiteral("Access is denied. - ") + text);
            ok = false;
        }
    }
    return ok;
}

} // namespace cmd
