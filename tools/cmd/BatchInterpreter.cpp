#include "tools/cmd/BatchInterpreter.h"

#include "common/Wildcard.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace cmd {

namespace {

constexpr int kMaxCallDepth = 16;
constexpr qint64 kCopyChunk = 1 << 20;

const QFileDevice::Permissions kAllWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser
                                           | QFileDevice::WriteGroup | QFileDevice::WriteOther;
const QFileDevice::Permissions kOwnerWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser;

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Characters that end a command's name: "echo." "cd.." "cd\" "copy"a" b".
bool endsCommandName(QChar c)
{
    static const QString delimiters = QStringLiteral(" \t\"/\\.,;=+(:");
    return delimiters.contains(c);
}

// True when the text uses one of the shell's operators outside double quotes.
bool hasShellOperator(const QString& text)
{
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && QStringLiteral("&|<>^").contains(c))
            return true;
    }
    return false;
}

bool isReadOnly(const QFileInfo& info)
{
    return !(info.permissions() & QFileDevice::WriteOwner);
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The real path of a folder that may not exist yet: its deepest existing ancestor made
// canonical, and the rest appended.
QString canonicalish(const QString& path)
{
    QString p = QDir::cleanPath(path);
    QString tail;
    while (!QFileInfo::exists(p)) {
        const qsizetype cut = p.lastIndexOf(QLatin1Char('/'));
        if (cut <= 0)
            break;
        tail.prepend(p.mid(cut));
        p = p.left(cut);
    }
    QString c = QFileInfo(p).canonicalFilePath();
    if (c.isEmpty())
        c = p;
    return c + tail;
}

bool isSameOrInside(const QString& inner, const QString& outer)
{
    if (inner == outer)
        return true;
    return inner.startsWith(outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/'));
}

struct Found {
    QString path;
    QString rel; // folder below the walk's start, "" or ending in "/"
    bool dir = false;
};

QFileInfoList entries(const QString& folder)
{
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                      QDir::Name | QDir::IgnoreCase);
}

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

bool linkLeadsInside(const QFileInfo& link, const QString& root)
{
    const QString target = link.canonicalFilePath();
    return !target.isEmpty() && !root.isEmpty() && isSameOrInside(target, root) && target != root;
}

// Files (and, when wanted, folders) of folder whose names match pattern; with recurse the
// same in every sub-folder, whose relative paths go to allDirs in walk order. Links are taken
// as rule says, and linked folders are never walked.
void collect(const QString& folder, const QString& rel, const QString& pattern, bool recurse, bool wantDirs,
             const LinkRule& rule, QList<Found>& out, QStringList* allDirs)
{
    const QFileInfoList list = entries(folder);
    for (const QFileInfo& fi : list) {
        if (!wildcardMatch(pattern, fi.fileName()))
            continue;
        if (fi.isSymLink()) {
            if ((rule.kind == LinkRule::AsFile && !fi.isDir())
                || (rule.kind == LinkRule::Inside && fi.isFile() && linkLeadsInside(fi, rule.root)))
                out.append({fi.filePath(), rel, false});
        } else if (fi.isDir()) {
            if (wantDirs)
                out.append({fi.filePath(), rel, true});
        } else if (fi.isFile()) {
            out.append({fi.filePath(), rel, false});
        }
    }
    if (!recurse)
        return;
    for (const QFileInfo& fi : list) {
        if (!fi.isDir() || fi.isSymLink())
            continue;
        const QString r = rel + fi.fileName() + QLatin1Char('/');
        if (allDirs)
            allDirs->append(r);
        collect(fi.filePath(), r, pattern, recurse, wantDirs, rule, out, allDirs);
    }
}

// The links on the way down from a copy's destination to the folders it writes into. The
// destination itself is taken as it is named; each folder below it is looked up as nativePath
// matches it and must not be a link. The last answer is kept: a walk lists one folder's files
// together.
class LinksBelow {
public:
    explicit LinksBelow(const QString& destination) : destination_(destination) {}

    // The first folder on the way to rel ("" or "a/b/") that is a link, or "" when none is.
    const QString& on(const QString& rel)
    {
        if (known_ && rel == rel_)
            return link_;
        known_ = true;
        rel_ = rel;
        link_.clear();
        QString folder = destination_;
        for (const QString& name : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            folder = withoutTrailingSlash(platform::nativePath(folder + QLatin1Char('/') + name));
            if (QFileInfo(folder).isSymLink()) {
                link_ = folder;
                break;
            }
        }
        return link_;
    }

private:
    QString destination_;
    QString rel_;
    QString link_;
    bool known_ = false;
};

QString linkRefusal(const QString& link)
{
    return QStringLiteral("Access is denied (") + link + QStringLiteral(" is a link, which is not written through).");
}

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

// The rule for a copy from folder: links to files inside it are copied.
LinkRule copyRule(const QString& folder)
{
    return {LinkRule::Inside, QFileInfo(folder).canonicalFilePath()};
}

// "x" when the folder lies on Wine drive x: of the prefix, else a null character.
QChar driveOf(const QString& folder)
{
    const QString prefix = platform::winePrefix() + QStringLiteral("/dosdevices/");
    if (folder.startsWith(prefix) && folder.size() >= prefix.size() + 2
        && folder[prefix.size() + 1] == QLatin1Char(':') && isAsciiLetter(folder[prefix.size()])
        && (folder.size() == prefix.size() + 2 || folder[prefix.size() + 2] == QLatin1Char('/')))
        return folder[prefix.size()].toLower();
    return QChar();
}

QString driveRoot(QChar drive)
{
    return platform::winePrefix() + QStringLiteral("/dosdevices/") + drive + QLatin1Char(':');
}

// The folder as Windows would show it in a prompt.
QString displayPath(const QString& folder)
{
    const QChar d = driveOf(folder);
    if (!d.isNull()) {
        QString rest = folder.mid(driveRoot(d).size());
        rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return QString(d.toUpper()) + QLatin1Char(':') + (rest.isEmpty() ? QStringLiteral("\\") : rest);
    }
    return platform::windowsPath(folder);
}

} // namespace


BatchInterpreter::BatchInterpreter(std::FILE* out, std::FILE* err)
    : out_(out), err_(err)
{
    setCurrent(QDir::currentPath());
}

// ---------------------------------------------------------------------------------------
// Files and lines

int BatchInterpreter::runFile(const QString& path)
{
    const QFileInfo info(resolve(path));
    if (!info.isFile()) {
        fileName_ = path;
        lineNumber_ = 0;
        cannotRun(QStringLiteral("The batch file cannot be found."));
        return status_;
    }
    runFileNested(path, 0);
    return status_;
}

void BatchInterpreter::runFileNested(const QString& path, int depth)
{
    const QString native = resolve(path);
    QFile file(native);
    if (!QFileInfo(native).isFile() || !file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("The batch file cannot be found - ") + path);
        return;
    }
    // The whole file is read before its first line runs, so a file that deletes itself
    // (its last line a "del" of its own name) still runs to its end.
    const QString text = platform::decodeAnsi(file.readAll());
    file.close();

    const QString savedName = fileName_;
    const int savedLine = lineNumber_;
    const QString savedText = currentLine_;
    fileName_ = QFileInfo(native).fileName();

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lineNumber_ = int(i + 1);
        runLine(line, depth);
    }

    fileName_ = savedName;
    lineNumber_ = savedLine;
    currentLine_ = savedText;
}

void BatchInterpreter::runLine(const QString& line, int depth)
{
    currentLine_ = line;
    qsizetype start = 0;
    bool quiet = false;
    while (start < line.size() && (line[start] == QLatin1Char('@') || isBlank(line[start]))) {
        if (line[start] == QLatin1Char('@'))
            quiet = true;
        ++start;
    }
    const QString command = line.mid(start);
    if (command.trimmed().isEmpty())
        return;
    if (echo_ && !quiet && !command.startsWith(QLatin1Char(':')))
        print(displayPath(cwd_) + QLatin1Char('>') + command);
    dispatch(command, depth);
}

void BatchInterpreter::dispatch(const QString& command, int depth)
{
    if (command.startsWith(QLatin1Char(':'))) // a label, or a "::" comment
        return;

    const QString trimmed = command.trimmed();
    if (trimmed.size() == 2 && isAsciiLetter(trimmed[0]) && trimmed[1] == QLatin1Char(':')) {
        doDrive(trimmed[0]);
        return;
    }

    qsizetype i = 0;
    while (i < command.size() && !endsCommandName(command[i]))
        ++i;
    const QString name = command.left(i).toLower();
    QString rest = command.mid(i);
    if ((name == QLatin1String("xcopy") || name == QLatin1String("attrib"))
        && rest.startsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
        && (rest.size() == 4 || isBlank(rest[4]) || rest[4] == QLatin1Char('/')))
        rest = rest.mid(4);

    if (name == QLatin1String("rem"))
        return;
    if (name.isEmpty()) {
        cannotRun(QStringLiteral("no command"));
        return;
    }
    if (hasShellOperator(rest)) {
        cannotRun(QStringLiteral("the shell's operators (& | < > ^) are not supported"));
        return;
    }

    Parsed p;
    if (name == QLatin1String("echo")) {
        doEcho(rest);
    } else if (name == QLatin1String("call")) {
        doCall(rest, depth);
    } else if (name == QLatin1String("copy")) {
        if (parseArgs(rest, {QStringLiteral("y"), QStringLiteral("b")}, p))
            doCopy(p);
    } else if (name == QLatin1String("xcopy")) {
        if (parseArgs(rest,
                      {QStringLiteral("s"), QStringLiteral("e"), QStringLiteral("y"), QStringLiteral("i"),
                       QStringLiteral("c"), QStringLiteral("d")},
                      p))
            doXcopy(p);
    } else if (name == QLatin1String("del") || name == QLatin1String("erase")) {
        if (parseArgs(rest, {QStringLiteral("q"), QStringLiteral("f"), QStringLiteral("s")}, p))
            doDel(p);
    } else if (name == QLatin1String("attrib")) {
        doAttrib(rest);
    } else if (name == QLatin1String("md") || name == QLatin1String("mkdir")) {
        if (parseArgs(rest, {}, p))
            doMd(p);
    } else if (name == QLatin1String("rd") || name == QLatin1String("rmdir")) {
        if (parseArgs(rest, {QStringLiteral("s"), QStringLiteral("q")}, p))
            doRd(p);
    } else if (name == QLatin1String("cd") || name == QLatin1String("chdir")) {
        doCd(rest);
    } else {
        cannotRun(QLatin1Char('\'') + command.left(i)
                  + QStringLiteral("' is not a command that batch files run here"));
    }
}

// ---------------------------------------------------------------------------------------
// Arguments and paths

QList<BatchInterpreter::Arg> BatchInterpreter::tokenize(const QString& text)
{
    QList<Arg> out;
    QString current;
    bool inQuotes = false;
    bool any = false;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            any = true;
            quoted = true;
            continue;
        }
        if (!inQuotes && isBlank(c)) {
            if (any)
                out.append({current, quoted});
            current.clear();
            any = false;
            quoted = false;
            continue;
        }
        current += c;
        any = true;
    }
    if (any)
        out.append({current, quoted});
    return out;
}

bool BatchInterpreter::takeSwitches(const QString& token, const QStringList& allowed, QStringList& out)
{
    static const QRegularExpression switchGroup(QStringLiteral("^(?:/-?[A-Za-z])+$"));
    static const QRegularExpression switchWithValue(QStringLiteral("^/[A-Za-z]:.*$"));
    QStringList found;
    if (switchGroup.match(token).hasMatch())
        found = token.mid(1).split(QLatin1Char('/'));
    else if (switchWithValue.match(token).hasMatch())
        found << token.mid(1);
    else
        return invalidSwitch(token); // "/zzcanary", "/se", "/", "/tmp/x": never a path
    for (const QString& sw : found) {
        if (!allowed.contains(sw.toLower()))
            return invalidSwitch(QLatin1Char('/') + sw);
        out.append(sw.toLower());
    }
    return true;
}

bool BatchInterpreter::invalidSwitch(const QString& token)
{
    fail(QStringLiteral("Invalid switch - ") + token);
    return false;
}

bool BatchInterpreter::parseArgs(const QString& rest, const QStringList& allowed, Parsed& out)
{
    // Every argument is read before the command does anything, so a line with one bad
    // switch does nothing at all.
    for (const Arg& arg : tokenize(rest)) {
        if (!arg.quoted && arg.text.startsWith(QLatin1Char('/'))) {
            if (!takeSwitches(arg.text, allowed, out.switches))
                return false;
            continue;
        }
        if (arg.text.isEmpty()) {
            cannotRun(QStringLiteral("an empty path"));
            return false;
        }
        out.paths.append(arg.text);
    }
    return true;
}

QString BatchInterpreter::resolve(const QString& text) const
{
    if (text.isEmpty())
        return cwd_;
    QString t = text;
    if (t.size() >= 2 && isAsciiLetter(t[0]) && t[1] == QLatin1Char(':')) {
        if (!platform::hasDriveLetter(t)) // "c:name": relative to the drive, taken from its root
            t = t.left(2) + QLatin1Char('\\') + t.mid(2);
    } else if (t.startsWith(QLatin1Char('\\')) && !t.startsWith(QLatin1String("\\\\"))) {
        // "\folder": from the root of the current drive.
        const QChar d = driveOf(cwd_);
        if (!d.isNull())
            t = QString(d) + QLatin1Char(':') + t;
    } else if (!t.startsWith(QLatin1Char('/')) && !t.startsWith(QLatin1Char('\\'))) {
        t = cwd_ + QLatin1Char('/') + t;
    }
    return withoutTrailingSlash(platform::nativePath(t));
}

bool BatchInterpreter::makePathArg(const QString& text, PathArg& arg)
{
    arg = PathArg();
    arg.text = text;
    QString head;
    QString name;
    const qsizetype cut = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char('/')));
    if (cut >= 0) {
        head = text.left(cut + 1);
        name = text.mid(cut + 1);
    } else if (text.size() >= 2 && isAsciiLetter(text[0]) && text[1] == QLatin1Char(':')) {
        head = text.left(2) + QLatin1Char('\\');
        name = text.mid(2);
    } else {
        name = text;
    }
    if (hasWildcard(head)) {
        cannotRun(QStringLiteral("wildcards are allowed in the last part of a path only: ") + text);
        return false;
    }
    arg.folder = head.isEmpty() ? cwd_ : resolve(head);
    arg.pattern = name;
    arg.wildcard = hasWildcard(name);
    if (!arg.wildcard)
        arg.full = name.isEmpty() ? arg.folder : resolve(text);
    return true;
}

void BatchInterpreter::setCurrent(const QString& folder)
{
    cwd_ = withoutTrailingSlash(folder);
    QDir::setCurrent(cwd_);
    const QChar d = driveOf(cwd_);
    if (!d.isNull())
        driveFolders_.insert(d, cwd_);
}

// ---------------------------------------------------------------------------------------
// Output

void BatchInterpreter::print(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), out_);
    std::fflush(out_);
}

void BatchInterpreter::note(const QString& text)
{
    std::fflush(out_);
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), err_);
    std::fflush(err_);
}

void BatchInterpreter::fail(const QString& message)
{
    note(message);
    status_ = std::max(status_, int(CommandFailed));
}

void BatchInterpreter::cannotRun(const QString& reason)
{
    QString where = fileName_;
    if (lineNumber_ > 0)
        where += QStringLiteral(" line ") + QString::number(lineNumber_);
    if (!where.isEmpty())
        where += QStringLiteral(": ");
    QString text = where + QStringLiteral("cannot run");
    if (!currentLine_.isEmpty())
        text += QStringLiteral(" \"") + currentLine_ + QLatin1Char('"');
    note(text + QStringLiteral(": ") + reason);
    status_ = std::max(status_, int(CannotRun));
}

// ---------------------------------------------------------------------------------------
// Commands

bool BatchInterpreter::doEcho(const QString& rest)
{
    if (rest.trimmed().isEmpty()) {
        print(echo_ ? QStringLiteral("ECHO is on.") : QStringLiteral("ECHO is off."));
        return true;
    }
    const QString text = rest.mid(1); // after the one delimiter: "echo text", "echo.", "echo:x"
    if (isBlank(rest[0])) {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("on")) {
            echo_ = true;
            return true;
        }
        if (word == QLatin1String("off")) {
            echo_ = false;
            return true;
        }
    }
    print(text);
    return true;
}

bool BatchInterpreter::doCall(const QString& rest, int depth)
{
    const QString target = rest.trimmed();
    const QList<Arg> args = tokenize(target);
    if (args.isEmpty()) {
        cannotRun(QStringLiteral("call of nothing"));
        return false;
    }
    const QString first = args.first().text;
    if (!args.first().quoted && first.startsWith(QLatin1Char('/')))
        return invalidSwitch(first); // "call" has no switch of its own
    if (first.startsWith(QLatin1Char(':'))) {
        cannotRun(QStringLiteral("calls of labels are not supported"));
        return false;
    }
    if (first.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive)
        || first.endsWith(QLatin1String(".cmd"), Qt::CaseInsensitive)) {
        if (depth + 1 > kMaxCallDepth) {
            cannotRun(QStringLiteral("batch files call one another too deeply"));
            return false;
        }
        const int before = status_;
        runFileNested(first, depth + 1);
        return status_ == before;
    }
    const int before = status_;
    dispatch(target, depth);
    return status_ == before;
}

bool BatchInterpreter::copyFile(const QString& src, const QString& dst, bool resetReadOnly, QString& error) const
{
    const QFileInfo si(src);
    const QFileInfo di(dst);
    if (di.isSymLink()) {
        error = QStringLiteral("Access is denied (the target is a link, which is not written through).");
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
    if (src.wildcard || QFileInfo(src.full).isDir()) {
        several = true;
        QList<Found> found;
        const QString folder = src.wildcard ? src.folder : src.full;
        collect(folder, QString(), src.wildcard ? src.pattern : QStringLiteral("*"), false, false, copyRule(folder),
                found, nullptr);
        for (const Found& f : found)
            sources.append(f.path);
    } else if (const QFileInfo named(src.full); named.isFile()) {
        if (!named.isSymLink() || linkLeadsInside(named, copyRule(src.folder).root))
            sources.append(src.full);
        else
            note(QStringLiteral("A link to a file outside its folder is not copied - ") + p.paths[0]);
    }
    if (sources.isEmpty()) {
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
    if (!to.folder.isEmpty() && !QFileInfo(to.folder).isDir()) {
        fail(QStringLiteral("The system cannot find the path specified. - ") + p.paths[p.paths.size() - 1]);
        return false;
    }

    int copied = 0;
    bool ok = true;
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
    LinksBelow links{QString()}; // below to.folder
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
        && isSameOrInside(canonicalish(job.to.folder), canonicalish(job.base))) {
        fail(QStringLiteral("Cannot perform a cyclic copy"));
        return false;
    }
    job.links = LinksBelow(job.to.folder);
    if (!makeXcopyFolders(job))
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
        collect(job.base, QString(), job.pattern, job.recurse, false, copyRule(job.base), job.files,
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
            if (const QString& link = job.links.on(rel); !link.isEmpty()) {
                fail(linkRefusal(link) + QStringLiteral(" - ") + folder);
                job.ok = false;
                if (!job.goOn)
                    return false;
                continue;
            }
            if (!QDir().mkpath(platform::nativePath(folder))) {
                fail(QStringLiteral("Unable to create directory - ") + folder);
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
    if (const QString& link = job.links.on(rel); !link.isEmpty()) {
        fail(linkRefusal(link) + QStringLiteral(" - ") + file);
        return QString();
    }
    const QString folder = withoutTrailingSlash(platform::nativePath(job.to.folder + QLatin1Char('/') + rel));
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        fail(QStringLiteral("Unable to create directory - ") + folder);
        return QString();
    }
    return withoutTrailingSlash(platform::nativePath(folder + QLatin1Char('/') + QFileInfo(file).fileName()));
}

void BatchInterpreter::copyXcopyFiles(XcopyJob& job)
{
    int copied = 0;
    for (const Found& f : job.files) {
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

bool BatchInterpreter::pathCountFits(const Parsed& p, qsizetype most)
{
    if (!p.paths.isEmpty() && (most < 0 || p.paths.size() <= most))
        return true;
    cannotRun(QStringLiteral("The syntax of the command is incorrect."));
    return false;
}

bool BatchInterpreter::refusesWildcard(const QString& text)
{
    if (!hasWildcard(text))
        return false;
    cannotRun(QStringLiteral("The filename, directory name, or volume label syntax is incorrect."));
    return true;
}

bool BatchInterpreter::doMd(const Parsed& p)
{
    if (!pathCountFits(p))
        return false;
    bool ok = true;
    for (const QString& text : p.paths) {
        if (refusesWildcard(text))
            return false;
        const QString full = resolve(text);
        if (QFileInfo::exists(full)) {
            fail(QStringLiteral("A subdirectory or file ") + text + QStringLiteral(" already exists."));
            ok = false;
        } else if (!QDir().mkpath(full)) {
            fail(QStringLiteral("Access is denied. - ") + text);
            ok = false;
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

bool BatchInterpreter::doCd(const QString& rest)
{
    // "/d" is the one switch; the path is the rest of the line, blanks included. A native
    // path may follow "/d" ("cd /d /home/x/work"), but a word shaped like a switch never is
    // a path ("cd /zz", "cd /d /se").
    static const QRegularExpression switchShaped(QStringLiteral("^/[^/\\\\]*$"));
    QString text = rest.trimmed();
    const auto firstWord = [](const QString& t) {
        qsizetype end = 0;
        while (end < t.size() && !isBlank(t[end]))
            ++end;
        return t.left(end);
    };
    if (text.startsWith(QLatin1Char('/'))) {
        const QString word = firstWord(text);
        if (word.compare(QLatin1String("/d"), Qt::CaseInsensitive) != 0)
            return invalidSwitch(word);
        text = text.mid(2).trimmed();
        if (switchShaped.match(firstWord(text)).hasMatch())
            return invalidSwitch(firstWord(text));
    }
    text.remove(QLatin1Char('"'));
    text = text.trimmed();
    if (text.isEmpty()) {
        print(displayPath(cwd_));
        return true;
    }
    const QString full = resolve(text);
    if (!QFileInfo(full).isDir()) {
        fail(QStringLiteral("The system cannot find the path specified. - ") + text);
        return false;
    }
    setCurrent(full);
    return true;
}

bool BatchInterpreter::doDrive(QChar letter)
{
    const QChar d = letter.toLower();
    QString folder = driveFolders_.value(d);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = withoutTrailingSlash(platform::nativePath(QString(d) + QStringLiteral(":\\")));
    if (!QFileInfo(folder).isDir()) {
        fail(QStringLiteral("The system cannot find the drive specified."));
        return false;
    }
    setCurrent(folder);
    return true;
}

} // namespace cmd
