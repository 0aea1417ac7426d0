// Reading one line: the command's name, its arguments and switches, and the paths they name.

#include "tools/cmd/BatchInterpreter.h"

#include "common/Wildcard.h"
#include "platform/Paths.h"
#include "tools/cmd/BatchCommon.h"

#include <QRegularExpression>

namespace cmd {

namespace {

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

} // namespace

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

} // namespace cmd
