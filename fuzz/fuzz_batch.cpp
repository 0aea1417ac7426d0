// The batch interpreter (veltrane-cmd), run on lines built from the input out of a small
// vocabulary: the commands echo, rem, call, copy, xcopy, del, attrib, md, rd and cd; switches
// "/" and one to three letters; "+r"/"-r"; relative names from a fixed set (wildcards, a
// sub-folder, a name with a blank in quotes, a Windows program and a script to "call"). No
// token can name an absolute path, a drive or a parent folder, except the switch-shaped "/xy"
// tokens, which the interpreter must refuse. Each input runs in a fresh work folder;
// afterwards nothing outside it may have changed (the canary folder beside it, the rest of
// the scratch folder, the listing of "/"), and no process may have been started.
//
// Safety. An interpreter that takes "/xy" for a path would act on the whole machine
// ("del /s /zz" deletes every "zz" below "/", "rd /s /q /bin" a system folder). So, where
// Linux namespaces allow it, the harness first moves into a private root: a fresh in-memory
// file system holding read-only views of /usr, /etc and /proc and the folders libFuzzer
// writes to; the real "/" is not reachable from it. Where that is impossible, the harness
// runs only when the interpreter refuses a switch-shaped path ("del /zzqv") and then never
// builds a switch token that names an existing entry of "/".

#include "fuzz/FuzzSupport.h"
#include "platform/Paths.h"
#include "tools/cmd/BatchInterpreter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <vector>

// ---- No process may be started -------------------------------------------------------------
//
// While an input runs, every libc road to a new process aborts with a message. Starts that
// bypass libc (a raw clone) are caught afterwards: a child still running shows in
// /proc/self/task/*/children, one already waited for in the children's resource usage.

namespace {
std::atomic<bool> g_watching{false};

[[noreturn]] void processStarted(const char* how)
{
    g_watching = false;
    fuzz::fail("the batch interpreter started a process", QString::fromLatin1(how));
}

template <typename F>
F realFunction(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
pid_t fork(void)
{
    if (g_watching)
        processStarted("fork");
    static const auto real = realFunction<pid_t (*)()>("fork");
    return real();
}
pid_t vfork(void)
{
    if (g_watching)
        processStarted("vfork");
    static const auto real = realFunction<pid_t (*)()>("fork"); // a vfork cannot be wrapped
    return real();
}
int execve(const char* path, char* const argv[], char* const envp[])
{
    if (g_watching)
        processStarted(path);
    static const auto real = realFunction<int (*)(const char*, char* const[], char* const[])>("execve");
    return real(path, argv, envp);
}
int execv(const char* path, char* const argv[])
{
    if (g_watching)
        processStarted(path);
    static const auto real = realFunction<int (*)(const char*, char* const[])>("execv");
    return real(path, argv);
}
int execvp(const char* file, char* const argv[])
{
    if (g_watching)
        processStarted(file);
    static const auto real = realFunction<int (*)(const char*, char* const[])>("execvp");
    return real(file, argv);
}
int execvpe(const char* file, char* const argv[], char* const envp[])
{
    if (g_watching)
        processStarted(file);
    static const auto real = realFunction<int (*)(const char*, char* const[], char* const[])>("execvpe");
    return real(file, argv, envp);
}
int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attr, char* const argv[], char* const envp[])
{
    if (g_watching)
        processStarted(path);
    static const auto real = realFunction<int (*)(pid_t*, const char*, const posix_spawn_file_actions_t*,
                                                  const posix_spawnattr_t*, char* const[], char* const[])>("posix_spawn");
    return real(pid, path, actions, attr, argv, envp);
}
int posix_spawnp(pid_t* pid, const char* file, const posix_spawn_file_actions_t* actions,
                 const posix_spawnattr_t* attr, char* const argv[], char* const envp[])
{
    if (g_watching)
        processStarted(file);
    static const auto real = realFunction<int (*)(pid_t*, const char*, const posix_spawn_file_actions_t*,
                                                  const posix_spawnattr_t*, char* const[], char* const[])>("posix_spawnp");
    return real(pid, file, actions, attr, argv, envp);
}
int system(const char* command)
{
    if (g_watching)
        processStarted(command ? command : "system");
    static const auto real = realFunction<int (*)(const char*)>("system");
    return real(command);
}
FILE* popen(const char* command, const char* mode)
{
    if (g_watching)
        processStarted(command);
    static const auto real = realFunction<FILE* (*)(const char*, const char*)>("popen");
    return real(command, mode);
}
} // extern "C"

namespace {

// Children of every thread of this process that are still there.
QString liveChildren()
{
    QString all;
    QDirIterator tasks(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        QFile f(tasks.next() + QStringLiteral("/children"));
        if (f.open(QIODevice::ReadOnly))
            all += QString::fromLatin1(f.readAll()).trimmed();
    }
    return all;
}

// A sum that grows whenever a child of this process ends and is waited for.
long childUsage()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_minflt + usage.ru_majflt + usage.ru_nvcsw + usage.ru_nivcsw + usage.ru_utime.tv_sec * 1000000
           + usage.ru_utime.tv_usec + usage.ru_stime.tv_sec * 1000000 + usage.ru_stime.tv_usec;
}

// ---- The private root ----------------------------------------------------------------------

bool writeProcFile(const char* path, const std::string& text)
{
    const int fd = open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
    close(fd);
    return ok;
}

bool singleThreaded()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() == 1;
}

// The flags a read-only remount of a bind must keep (they are locked in a user namespace).
unsigned long lockedFlags(const char* path)
{
    struct statvfs s {};
    if (statvfs(path, &s) != 0)
        return 0;
    unsigned long flags = 0;
    if (s.f_flag & ST_NOSUID) flags |= MS_NOSUID;
    if (s.f_flag & ST_NODEV) flags |= MS_NODEV;
    if (s.f_flag & ST_NOEXEC) flags |= MS_NOEXEC;
    if (s.f_flag & ST_NOATIME) flags |= MS_NOATIME;
    if (s.f_flag & ST_NODIRATIME) flags |= MS_NODIRATIME;
    if (s.f_flag & ST_RELATIME) flags |= MS_RELATIME;
    return flags;
}

// Makes path (a folder or file of the real root) appear at the same path below root.
bool bindInto(const QString& root, const QString& path, bool writable)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QString target = root + path;
    if (info.isDir()) {
        QDir().mkpath(target);
    } else {
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile(target).open(QIODevice::WriteOnly);
    }
    const QByteArray src = path.toLocal8Bit();
    const QByteArray dst = target.toLocal8Bit();
    // A mount with locked mounts below it can only be bound as a whole.
    if (mount(src.constData(), dst.constData(), nullptr, MS_BIND, nullptr) != 0
        && mount(src.constData(), dst.constData(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
        std::fprintf(stderr, "fuzz_batch: cannot bind %s: %s\n", src.constData(), std::strerror(errno));
        return false;
    }
    if (!writable
        && mount(nullptr, dst.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | lockedFlags(src.constData()),
                 nullptr) != 0) {
        std::fprintf(stderr, "fuzz_batch: cannot make %s read-only: %s\n", dst.constData(), std::strerror(errno));
        return false;
    }
    return true;
}

// The folder that holds a path libFuzzer writes or reads ("-artifact_prefix=dir/crash-").
QString folderOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return info.absoluteFilePath();
    return info.absolutePath();
}

// Makes a path argument absolute (the private root starts in "/").
void makeAbsolute(char*& arg, size_t offset)
{
    const QString path = QString::fromLocal8Bit(arg + offset);
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return;
    QString absolute = QDir::current().absoluteFilePath(path);
    if (path.endsWith(QLatin1Char('/')))
        absolute += QLatin1Char('/');
    arg = strdup((QByteArray(arg, qsizetype(offset)) + absolute.toLocal8Bit()).constData());
}

bool enterPrivateRoot(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("VELTRANE_FUZZ_NO_SANDBOX"))
        return false;
    if (!singleThreaded()) {
        std::fprintf(stderr, "fuzz_batch: more than one thread, no private root\n");
        return false;
    }
    // The folders libFuzzer reads and writes stay writable at their own paths.
    // libFuzzer reads its arguments after this; relative paths are made absolute here.
    QStringList writable;
    bool artifacts = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            makeAbsolute(argv[i], 0);
            writable << folderOf(QString::fromLocal8Bit(argv[i]));
            continue;
        }
        for (const char* option : {"-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-features_dir=",
                                   "-merge_control_file="}) {
            const size_t length = std::strlen(option);
            if (std::strncmp(argv[i], option, length) == 0 && argv[i][length] != '\0') {
                makeAbsolute(argv[i], length);
                writable << folderOf(QString::fromLocal8Bit(argv[i] + length));
                artifacts = artifacts || std::strcmp(option, "-dict=") != 0;
            }
        }
    }
    if (!artifacts)
        std::fprintf(stderr, "fuzz_batch: without -artifact_prefix=FOLDER/ a crashing input is kept nowhere\n");
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();

    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            std::fprintf(stderr, "fuzz_batch: no namespaces (%s)\n", std::strerror(errno));
            return false;
        }
        writeProcFile("/proc/self/setgroups", "deny");
        if (!writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n")
            || !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n")) {
            std::fprintf(stderr, "fuzz_batch: cannot map the user\n");
            std::_Exit(2); // half in a namespace: nothing is safe now
        }
    }
    const auto die = [](const char* what) {
        std::fprintf(stderr, "fuzz_batch: %s: %s\n", what, std::strerror(errno));
        std::_Exit(2);
    };
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        die("cannot make the mounts private");

    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    QByteArray rootName = base + "/veltrane-fuzz-root-XXXXXX";
    if (!mkdtemp(rootName.data()))
        die("mkdtemp");
    if (mount("tmpfs", rootName.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755,size=256m") != 0)
        die("cannot mount the new root");
    const QString root = QString::fromLocal8Bit(rootName);

    for (const char* name : {"bin", "sbin", "lib", "lib32", "lib64", "libx32"}) {
        const QString path = QStringLiteral("/") + QLatin1String(name);
        const QFileInfo info(path);
        if (info.isSymLink())
            QFile::link(info.symLinkTarget().mid(1), root + path); // "usr/lib", relative as on the real root
        else if (info.isDir() && !bindInto(root, path, false))
            die("bind");
    }
    for (const char* name : {"/usr", "/etc", "/proc"})
        if (!bindInto(root, QLatin1String(name), false))
            die("bind");
    if (!program.isEmpty() && !bindInto(root, QFileInfo(program).absolutePath(), false))
        die("bind");
    for (const QString& folder : writable)
        if (!bindInto(root, folder, true))
            die("bind");
    QDir().mkpath(root + QStringLiteral("/tmp"));
    QDir().mkpath(root + QStringLiteral("/scratch"));

    QDir().mkpath(root + QStringLiteral("/.old"));
    const QByteArray oldRoot = (root + QStringLiteral("/.old")).toLocal8Bit();
    if (syscall(SYS_pivot_root, rootName.constData(), oldRoot.constData()) == 0) {
        if (chdir("/") != 0 || umount2("/.old", MNT_DETACH) != 0)
            die("cannot leave the old root");
        rmdir("/.old");
    } else if (chroot(rootName.constData()) != 0 || chdir("/") != 0) {
        die("cannot enter the new root");
    }
    qputenv("TMPDIR", "/tmp");
    qputenv("VELTRANE_FUZZ_TMP", "/scratch");
    return true;
}

// ---- Snapshots of what must not change -----------------------------------------------------

// Every entry below folder (but the skipped ones) with its type, size, permissions and a hash
// of its bytes.
QStringList snapshot(const QString& folder, const QStringList& skips)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (std::any_of(skips.begin(), skips.end(), [&](const QString& skip) {
                return path == skip || path.startsWith(skip + QLatin1Char('/'));
            }))
            continue;
        const QFileInfo info = it.fileInfo();
        QString line = path.mid(folder.size()) + QLatin1Char(' ') + QString::number(int(info.permissions()), 16);
        if (info.isFile()) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            line += QLatin1Char(' ') + QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex());
        } else if (info.isDir()) {
            line += QStringLiteral(" dir");
        }
        out << line;
    }
    out.sort();
    return out;
}

QStringList rootListing()
{
    return QDir(QStringLiteral("/")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                              QDir::Name);
}

QString difference(const QStringList& before, const QStringList& after)
{
    QStringList d;
    for (const QString& s : before)
        if (!after.contains(s))
            d << QStringLiteral("-") + s;
    for (const QString& s : after)
        if (!before.contains(s))
            d << QStringLiteral("+") + s;
    return d.join(QStringLiteral(", ")).left(2000);
}

// ---- The vocabulary ------------------------------------------------------------------------

const char* const kCommands[] = {"echo", "rem", "call", "copy", "xcopy", "del", "attrib", "md", "rd", "cd"};
const char kSwitchLetters[] = "sqfyeicdbz";
// Names in the work folder; some are also the names of canaries beside it and of switch
// tokens ("zz", "se").
const char* const kNames[] = {"a.txt",   "b.dat", "\"d e.txt\"", "sub",   "sub\\c.txt", "sub\\*.*", "*.*",
                              "*.txt",   "?.dat", "zz",          "se",    "Sub2",       "new",      "new\\",
                              "t.bat",   "ro.txt", ".",          "sub\\", "x*",         "\"sub\\zz\"", "u.bat",
                              "new\\n.txt", "SUB\\C.TXT", "*", "prog.exe", "prog", "run.sh"};
// Canaries: files named as the switch tokens an interpreter might take for paths.
const char* const kCanaries[] = {"zz", "se", "zzz", "sq", "dz", "ez", "q", "s", "sub/zz", "sub/se"};

bool g_sandboxed = false;

QString switchToken(fuzz::Input& in)
{
    QString token = QStringLiteral("/");
    if (in.pick(4) == 0) { // a canary's name
        const QString name = QString::fromLatin1(kCanaries[in.pick(6)]);
        token += name;
    } else {
        const int letters = 1 + in.pick(3);
        for (int i = 0; i < letters; ++i)
            token += QLatin1Char(kSwitchLetters[in.pick(int(sizeof kSwitchLetters) - 1)]);
    }
    // Outside a private root a switch token must never name an entry of the real "/".
    if (!g_sandboxed && QFileInfo::exists(platform::nativePath(token)))
        token = QStringLiteral("/s");
    return token;
}

QString token(fuzz::Input& in)
{
    switch (in.pick(8)) {
    case 0:
    case 1:
        return switchToken(in);
    case 2:
        return in.flag() ? QStringLiteral("+r") : QStringLiteral("-r");
    default:
        return QString::fromLatin1(kNames[in.pick(int(std::size(kNames)))]);
    }
}

QString line(fuzz::Input& in, int depth = 0)
{
    QString text;
    if (in.pick(4) == 0)
        text += QLatin1Char('@');
    const QString command = QString::fromLatin1(kCommands[in.pick(int(std::size(kCommands)))]);
    text += in.pick(5) == 0 ? command.toUpper() : command;
    if (command == QLatin1String("call") && depth == 0 && in.flag())
        return text + QLatin1Char(' ') + line(in, 1).remove(QLatin1Char('@'));
    const int tokens = in.pick(5);
    for (int i = 0; i < tokens; ++i)
        text += (in.pick(6) == 0 ? QStringLiteral("  ") : QStringLiteral(" ")) + token(in);
    return text;
}

// ---- The work folder -----------------------------------------------------------------------

QString g_start; // the folder libFuzzer started in: its relative paths count from there
QString g_work;
QString g_canaries;
QString g_scratch;
QStringList g_root;
QStringList g_outside;
QString g_sinkPath; // what the interpreter prints goes here
FILE* g_sink = nullptr;

void put(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    fuzz::writeFile(path, bytes);
}

void makeWritable(const QString& folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        chmod(path.toLocal8Bit().constData(), it.fileInfo().isDir() ? 0755 : 0644);
    }
}

void freshWork()
{
    QDir::setCurrent(g_scratch);
    if (QFileInfo::exists(g_work)) {
        makeWritable(g_work);
        QDir(g_work).removeRecursively();
    }
    QDir().mkpath(g_work);
    put(g_work, QStringLiteral("a.txt"), "alpha\r\n");
    put(g_work, QStringLiteral("b.dat"), QByteArray("\0\1\2bin", 6));
    put(g_work, QStringLiteral("d e.txt"), "with a blank\r\n");
    put(g_work, QStringLiteral("zz"), "work zz\r\n");
    put(g_work, QStringLiteral("se"), "work se\r\n");
    put(g_work, QStringLiteral("sub/c.txt"), "gamma\r\n");
    put(g_work, QStringLiteral("sub/zz"), "sub zz\r\n");
    put(g_work, QStringLiteral("Sub2/x.bin"), "x\r\n");
    put(g_work, QStringLiteral("t.bat"), "@echo off\r\nmd made\r\ncopy a.txt made\\\r\necho done\r\n");
    put(g_work, QStringLiteral("u.bat"), "call t.bat\r\ndel made\\a.txt\r\nrd made\r\n");
    // Programs "call" might be asked to start: a Windows one and a script.
    put(g_work, QStringLiteral("prog.exe"), QByteArray("MZ\x90\0\3\0\0\0", 8));
    put(g_work, QStringLiteral("run.sh"), "#!/bin/sh\necho started > started.txt\n");
    chmod((g_work + QStringLiteral("/prog.exe")).toLocal8Bit().constData(), 0755);
    chmod((g_work + QStringLiteral("/run.sh")).toLocal8Bit().constData(), 0755);
    put(g_work, QStringLiteral("ro.txt"), "read-only\r\n");
    chmod((g_work + QStringLiteral("/ro.txt")).toLocal8Bit().constData(), 0444);
    platform::clearPathCache();
    QDir::setCurrent(g_work);
}

// The interpreter must refuse a switch-shaped path; checked where no private root protects
// the machine (the name names nothing, so even an interpreter that takes it for a path does
// no harm here).
bool refusesSwitchPaths()
{
    const char* probe = "/zzqv7canary";
    if (QFileInfo::exists(QString::fromLatin1(probe)))
        return false;
    FILE* err = std::tmpfile();
    cmd::BatchInterpreter interpreter(g_sink, err);
    interpreter.runLine(QStringLiteral("del ") + QLatin1String(probe));
    std::fflush(err);
    std::rewind(err);
    char buffer[512] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, err);
    std::fclose(err);
    return interpreter.status() != cmd::BatchInterpreter::Ok
           && std::string(buffer, n).find("Invalid switch - ") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_sandboxed = enterPrivateRoot(*argc, *argv);
    g_start = QDir::currentPath();
    fuzz::initialise(argc, argv);
    g_scratch = fuzz::scratchFolder();
    g_work = g_scratch + QStringLiteral("/work");
    g_canaries = g_scratch + QStringLiteral("/canary");
    g_sinkPath = g_scratch + QStringLiteral("/output.txt");
    g_sink = std::fopen(g_sinkPath.toLocal8Bit().constData(), "w");
    for (const char* name : kCanaries)
        put(g_canaries, QString::fromLatin1(name), QByteArray("canary ") + name);
    freshWork();
    if (!g_sandboxed && !refusesSwitchPaths()) {
        std::fprintf(stderr, "fuzz_batch: no private root, and the interpreter takes \"/name\" for a path: "
                             "running it on fuzzed lines could delete files anywhere; not run.\n");
        std::exit(1);
    }
    QDir::setCurrent(g_start);
    g_root = rootListing();
    std::fprintf(stderr, "fuzz_batch: %s, \"/\" holds: %s\n",
                 g_sandboxed ? "in a private root" : "in the real root (switch paths refused)",
                 g_root.join(QLatin1Char(' ')).toLocal8Bit().constData());
    g_outside = snapshot(g_scratch, {g_work, g_sinkPath});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    QStringList lines;
    while (!in.atEnd() && lines.size() < 12)
        lines << line(in);

    freshWork();
    std::rewind(g_sink);
    const QString childrenBefore = liveChildren();
    const long usageBefore = childUsage();
    g_watching = true;
    {
        cmd::BatchInterpreter interpreter(g_sink, g_sink);
        if (!lines.isEmpty() && size > 0 && (data[0] & 0x80)) {
            // As a batch file, the road veltrane-cmd takes.
            put(g_work, QStringLiteral("job.bat"), lines.join(QStringLiteral("\r\n")).toLatin1());
            interpreter.runFile(QStringLiteral("job.bat"));
        } else {
            for (const QString& l : lines)
                interpreter.runLine(l);
        }
    }
    g_watching = false;
    QDir::setCurrent(g_start);

    const QString program = lines.join(QStringLiteral(" | "));
    FUZZ_CHECK(liveChildren() == childrenBefore, QStringLiteral("a child process is running after: ") + program);
    FUZZ_CHECK(childUsage() == usageBefore, QStringLiteral("a child process ran during: ") + program);
    const QStringList root = rootListing();
    FUZZ_CHECK(root == g_root, QStringLiteral("the listing of / changed (") + difference(g_root, root)
                                   + QStringLiteral(") after: ") + program);
    const QStringList outside = snapshot(g_scratch, {g_work, g_sinkPath});
    FUZZ_CHECK(outside == g_outside, QStringLiteral("files outside the work folder changed (") + difference(g_outside, outside)
                                         + QStringLiteral(") after: ") + program);
    return 0;
}
