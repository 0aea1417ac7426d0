// Running a batch file line by line, the messages, and "echo", "call", "md", "cd" and the drive
// change. Reading a line is in BatchLine.cpp, "copy" and "xcopy" in BatchCopy.cpp, "del", "rd"
// and "attrib" in BatchDelete.cpp, what they share in BatchCommon.h.

#include "tools/cmd/BatchInterpreter.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "tools/cmd/BatchCommon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace cmd {

namespace {

constexpr int kMaxCallDepth = 16;

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

bool BatchInterpreter::doMd(const Parsed& p)
{
    if (!pathCountFits(p))
        return false;
    bool ok = true;
    for (const QString& text : p.paths) {
        if (refusesWildcard(text))
            return false;
        const QString full = resolve(text);
        if (platform::isUnreachable(full)) { // a drive the prefix does not have, a network path
            fail(QStringLiteral("The system cannot find the path specified. - ") + text);
            ok = false;
        } else if (QFileInfo::exists(full)) {
            fail(QStringLiteral("A subdirectory or file ") + text + QStringLiteral(" already exists."));
            ok = false;
        } else if (!QDir().mkpath(full)) {
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
