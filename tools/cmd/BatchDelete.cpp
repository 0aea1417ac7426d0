// "del", "rd" and "attrib": links are removed themselves or passed over, never followed.

#include "tools/cmd/BatchInterpreter.h"

#include "tools/cmd/BatchCommon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cmd {

namespace {

const QFileDevice::Permissions kAllWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser
                                           | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// Deletes a folder's tree; a link in it is removed itself and nothing is done to what it leads
// to (no permission of it is touched either). False when anything stayed.
bool removeTree(const QString& folder)
{
    bool ok = true;
    for (const QFileInfo& fi : entries(folder)) {
        if (fi.isDir() && !fi.isSymLink())
            ok = removeTree(fi.filePath()) && ok;
        else
            ok = QFile::remove(fi.filePath()) && ok;
    }
    return QDir().rmdir(folder) && ok;
}

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
        if (pattern.isEmpty()) {
            pattern = QStringLiteral("*");
        } else if (!arg.wildcard && QFileInfo(arg.full).isSymLink()) {
            found.append({arg.full, QString(), false}); // the link goes, never what it leads to
            folder.clear();
        } else if (!arg.wildcard && QFileInfo(arg.full).isDir()) {
            folder = arg.full; // a folder's name deletes the files in it
            pattern = QStringLiteral("*");
        }
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            collect(folder, QString(), pattern, recurse, false, {LinkRule::AsFile, QString()}, found, nullptr);
        if (found.isEmpty()) {
            note(QStringLiteral("Could Not Find ") + text);
            continue;
        }
        for (const Found& f : found) {
            const QFileInfo info(f.path);
            if (!force && !info.isSymLink() && isReadOnly(info)) {
                fail(QStringLiteral("Access is denied. - ") + f.path);
                ok = false;
                continue;
            }
            if (!QFile::remove(f.path)) {
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
        if (!arg.wildcard && !arg.pattern.isEmpty() && QFileInfo(arg.full).isSymLink()) {
            linkNamed = true; // a link is passed over: what it leads to may lie anywhere
            note(QStringLiteral("A link is passed over - ") + text);
        } else if (!arg.wildcard && !arg.pattern.isEmpty() && QFileInfo(arg.full).isDir()) {
            found.append({arg.full, QString(), true}); // a folder named on its own
        } else {
            const QString pattern = arg.pattern.isEmpty() ? QStringLiteral("*") : arg.pattern;
            if (QFileInfo(arg.folder).isDir())
                collect(arg.folder, QString(), pattern, recurse, folders, {LinkRule::Skip, QString()}, found, nullptr);
        }
        if (linkNamed)
            continue;
        if (found.isEmpty()) {
            fail(QStringLiteral("File not found - ") + text);
            ok = false;
            continue;
        }
        for (const Found& f : found) {
            const QFileInfo info(f.path);
            if (readOnly == 0) {
                print((isReadOnly(info) && !f.dir ? QStringLiteral("     R       ") : QStringLiteral("             "))
                      + f.path);
                continue;
            }
            QFileDevice::Permissions perms = info.permissions();
            if (readOnly < 0)
                perms |= kOwnerWrite;
            else if (!f.dir)
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
        const QFileInfo info(full);
        if (!info.isDir()) {
            fail(QStringLiteral("The system cannot find the file specified. - ") + text);
            ok = false;
            continue;
        }
        if (info.isSymLink()) { // the link goes, with or without /s; what it leads to stays
            if (!QFile::remove(full)) {
                fail(QStringLiteral("Access is denied. - ") + text);
                ok = false;
            }
            continue;
        }
        if (info.canonicalFilePath() == QLatin1String("/") || QDir(full).isRoot()) {
            fail(QStringLiteral("Access is denied. - ") + text);
            ok = false;
            continue;
        }
        if (tree) {
            if (!removeTree(full)) {
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
