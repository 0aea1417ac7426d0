#include "platform/Process.h"

#include "platform/Links.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

qsizetype skipBlanks(const QString& s, qsizetype pos)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    return pos;
}

// The arguments part of CommandLineToArgvW, from pos to the end.
QStringList splitFrom(const QString& s, qsizetype pos)
{
    QStringList out;
    pos = skipBlanks(s, pos);
    if (pos >= s.size())
        return out;
    QString current;
    int backslashes = 0;
    int quotes = 0; // 0 outside a quoted part, 1 inside
    while (pos < s.size()) {
        const QChar c = s[pos];
        if (isBlank(c) && quotes == 0) {
            out.append(current);
            current.clear();
            backslashes = 0;
            pos = skipBlanks(s, pos);
            if (pos >= s.size())
                return out;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            current.append(c);
            ++backslashes;
            ++pos;
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (backslashes % 2 == 0) {
                current.chop(backslashes / 2);
                ++quotes;
            } else {
                current.chop(backslashes / 2 + 1);
                current.append(QLatin1Char('"'));
            }
            ++pos;
            backslashes = 0;
            // A run of quotes: every third one is a literal quote.
            while (pos < s.size() && s[pos] == QLatin1Char('"')) {
                if (++quotes == 3) {
                    current.append(QLatin1Char('"'));
                    quotes = 0;
                }
                ++pos;
            }
            if (quotes == 2)
                quotes = 0;
            continue;
        }
        current.append(c);
        backslashes = 0;
        ++pos;
    }
    out.append(current);
    return out;
}

// The first item of a command line: up to the next quote when it starts with one, else up to
// the first blank. *end receives the position after it.
QString firstItem(const QString& s, qsizetype start, qsizetype* end)
{
    qsizetype pos = start;
    QString item;
    if (pos < s.size() && s[pos] == QLatin1Char('"')) {
        const qsizetype close = s.indexOf(QLatin1Char('"'), pos + 1);
        if (close < 0) {
            item = s.mid(pos + 1);
            pos = s.size();
        } else {
            item = s.mid(pos + 1, close - pos - 1);
            pos = close + 1;
        }
    } else {
        while (pos < s.size() && !isBlank(s[pos]))
            ++pos;
        item = s.mid(start, pos - start);
    }
    *end = pos;
    return item;
}

bool namesFolder(const QString& name)
{
    return name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/'))
           || (name.size() >= 2 && name[1] == QLatin1Char(':'));
}

QString existingFile(const QString& nativeFile)
{
    const QFileInfo info(nativeFile);
    if (info.isFile())
        return info.absoluteFilePath();
    return QString();
}

// The native path of the program a command line names, or "" when there is none.
QString resolveProgram(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QString();
    if (namesFolder(name))
        return existingFile(nativePath(name));
    QString found = existingFile(nativePath(QDir::current().absoluteFilePath(name)));
    if (found.isEmpty()) {
        const QString system = systemFolder();
        if (!system.isEmpty())
            found = existingFile(nativePath(system + QLatin1Char('/') + name));
    }
    return found;
}

bool startsWithMz(const QString& nativeFile)
{
    QFile f(nativeFile);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(2) == "MZ";
}

QString cmdProgram()
{
    const QString env = qEnvironmentVariable("VELTRANE_CMD");
    if (!env.isEmpty())
        return env;
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                     : QFileInfo(QStringLiteral("/proc/self/exe"))
                                                           .canonicalFilePath()
                                                           .section(QLatin1Char('/'), 0, -2);
    return dir + QStringLiteral("/veltrane-cmd");
}

QString wineProgram()
{
    const QString env = qEnvironmentVariable("VELTRANE_WINE");
    return env.isEmpty() ? QStringLiteral("wine") : env;
}

// A switch that carries a path, as in xml:"C:\x.xml", bin:..., /bin:...: the switch text and
// the path after it. A drive letter alone ("C:") is not a switch.
bool splitSwitch(const QString& argument, QString& prefix, QString& rest)
{
    static const QRegularExpression re(
        QStringLiteral("^(/[A-Za-z]+:|[A-Za-z][A-Za-z0-9]+:)(.+)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(argument);
    if (!m.hasMatch())
        return false;
    prefix = m.captured(1);
    rest = m.captured(2);
    return true;
}

bool looksWindowsPath(const QString& s)
{
    return hasDriveLetter(s) || s.contains(QLatin1Char('\\'));
}

// A native absolute path, told apart from a Windows switch such as "/s" or "/bin:": it names
// something that exists, or its first folder exists at the root and it goes deeper.
bool looksNativeAbsolute(const QString& s)
{
    if (!s.startsWith(QLatin1Char('/')) || s.startsWith(QLatin1String("//")))
        return false;
    if (QFileInfo::exists(s))
        return true;
    const qsizetype second = s.indexOf(QLatin1Char('/'), 1);
    return second > 1 && QFileInfo(s.left(second)).isDir();
}

void configure(QProcess& process, const LaunchPlan& plan)
{
    process.setProgram(plan.program);
    process.setArguments(plan.arguments);
    process.setStandardInputFile(QProcess::nullDevice());
}

// The state letter of /proc/<pid>/stat, 0 when the process is gone.
char processState(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0 || close + 2 >= stat.size())
        return 0;
    return stat.at(close + 2);
}

bool processAlive(qint64 pid)
{
    const char state = processState(pid);
    return state != 0 && state != 'Z' && state != 'X';
}

QString lastPathPart(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace

QStringList splitArguments(const QString& arguments)
{
    return splitFrom(arguments, 0);
}

QString argumentForWindows(const QString& argument)
{
    QString prefix, rest;
    if (splitSwitch(argument, prefix, rest) && looksNativeAbsolute(rest))
        return prefix + windowsPath(rest);
    if (looksNativeAbsolute(argument))
        return windowsPath(argument);
    return argument;
}

QString argumentForNative(const QString& argument)
{
    QString prefix, rest;
    if (splitSwitch(argument, prefix, rest) && looksWindowsPath(rest))
        return prefix + nativePath(rest);
    if (looksWindowsPath(argument))
        return nativePath(argument);
    return argument;
}

bool planLaunch(const QString& commandLine, LaunchPlan& plan, QString* error)
{
    const qsizetype start = skipBlanks(commandLine, 0);
    if (start >= commandLine.size()) {
        if (error)
            *error = QStringLiteral("empty command line");
        return false;
    }

    QString target;
    QString rest;
    if (commandLine[start] == QLatin1Char('"')) {
        qsizetype end = 0;
        const QString name = firstItem(commandLine, start, &end);
        target = resolveProgram(name);
        rest = commandLine.mid(end);
    } else {
        // An unquoted program path may hold blanks: as Windows does, try the text up to each
        // blank in turn, shortest first.
        qsizetype pos = start;
        for (;;) {
            while (pos < commandLine.size() && !isBlank(commandLine[pos]))
                ++pos;
            target = resolveProgram(commandLine.mid(start, pos - start));
            if (!target.isEmpty() || pos >= commandLine.size()) {
                rest = commandLine.mid(pos);
                break;
            }
            pos = skipBlanks(commandLine, pos);
            if (pos >= commandLine.size())
                break;
        }
    }
    if (target.isEmpty()) {
        if (error) {
            qsizetype end = 0;
            *error = QStringLiteral("program not found: ") + firstItem(commandLine, start, &end);
        }
        return false;
    }

    const QStringList args = splitArguments(rest);
    plan = LaunchPlan{};
    plan.target = target;
    const QString suffix = QFileInfo(target).suffix();
    if (suffix.compare(QLatin1String("bat"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("cmd"), Qt::CaseInsensitive) == 0) {
        plan.kind = LaunchPlan::Batch;
        plan.program = cmdProgram();
        plan.arguments = QStringList{target} + args;
    } else if (startsWithMz(target)) {
        plan.kind = LaunchPlan::Windows;
        plan.program = wineProgram();
        plan.arguments.append(target);
        for (const QString& a : args)
            plan.arguments.append(argumentForWindows(a));
    } else {
        plan.kind = LaunchPlan::Native;
        plan.program = target;
        for (const QString& a : args)
            plan.arguments.append(argumentForNative(a));
    }
    return true;
}

Process::Process() = default;

Process::~Process()
{
    if (process && process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(5000);
    }
}

bool Process::start(const QString& commandLine, int windowStyle)
{
    if (!startWithoutWaiting(commandLine, windowStyle))
        return false;
    if (!process->waitForStarted(30000)) {
        error = process->errorString();
        process.reset();
        return false;
    }
    processId = process->processId();
    return true;
}

bool Process::startWithoutWaiting(const QString& commandLine, int windowStyle)
{
    Q_UNUSED(windowStyle);
    process.reset();
    processId = 0;
    error.clear();
    LaunchPlan plan;
    if (!planLaunch(commandLine, plan, &error))
        return false;
    process = std::make_unique<QProcess>();
    configure(*process, plan);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    return true;
}

bool Process::failedToStart() const
{
    return process && process->state() == QProcess::NotRunning && process->error() == QProcess::FailedToStart;
}

bool Process::waitForEnd(int msecs)
{
    if (!process || process->state() == QProcess::NotRunning)
        return true;
    process->waitForFinished(msecs);
    return process->state() == QProcess::NotRunning;
}

bool Process::isRunning() const
{
    return process && process->state() != QProcess::NotRunning;
}

int Process::exitStatus() const
{
    if (!process || process->state() != QProcess::NotRunning
        || process->exitStatus() != QProcess::NormalExit)
        return -1;
    return process->exitCode();
}

qint64 startDetached(const QString& commandLine, QString* error)
{
    LaunchPlan plan;
    if (!planLaunch(commandLine, plan, error))
        return 0;
    QProcess process;
    configure(process, plan);
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        if (error)
            *error = process.errorString();
        return 0;
    }
    return pid;
}

QList<ProcessInfo> listProcesses()
{
    QList<ProcessInfo> out;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        ProcessInfo info;
        info.pid = pid;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly)) {
            QByteArray bytes = cmdline.readAll();
            const qsizetype nul = bytes.indexOf('\0');
            if (nul >= 0)
                bytes.truncate(nul);
            info.exeName = lastPathPart(QFile::decodeName(bytes));
        }
        QString image = leadsTo(QStringLiteral("/proc/%1/exe").arg(pid));
        if (image.endsWith(QLatin1String(" (deleted)")))
            image.chop(10);
        info.imageName = lastPathPart(image);
        if (info.exeName.isEmpty() && info.imageName.isEmpty())
            continue; // a kernel thread, or a process that ended while we looked
        out.append(info);
    }
    return out;
}

void endProcesses(const QList<qint64>& pids, int graceMs)
{
    const qint64 self = ::getpid();
    QList<qint64> signalled;
    for (qint64 pid : pids) {
        if (pid <= 0 || pid == self)
            continue;
        if (::kill(pid_t(pid), SIGTERM) == 0)
            signalled.append(pid);
    }
    QElapsedTimer timer;
    timer.start();
    while (!signalled.isEmpty()) {
        signalled.removeIf([](qint64 pid) { return !processAlive(pid); });
        if (signalled.isEmpty() || timer.elapsed() >= graceMs)
            break;
        QThread::msleep(20);
    }
    for (qint64 pid : signalled)
        ::kill(pid_t(pid), SIGKILL);
}

} // namespace platform
