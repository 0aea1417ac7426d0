#include "fuzz/FuzzSupport.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

namespace {

QString g_scratch;

void removeScratch()
{
    if (!g_scratch.isEmpty())
        QDir(g_scratch).removeRecursively();
}

// The buttons of a message box style, first button first.
QList<int> buttonsOf(int style)
{
    switch (style & 0x0F) {
    case vb::vbOKCancel: return {vb::vbOK, vb::vbCancel};
    case vb::vbAbortRetryIgnore: return {vb::vbAbort, vb::vbRetry, vb::vbIgnore};
    case vb::vbYesNoCancel: return {vb::vbYes, vb::vbNo, vb::vbCancel};
    case vb::vbYesNo: return {vb::vbYes, vb::vbNo};
    case vb::vbRetryCancel: return {vb::vbRetry, vb::vbCancel};
    default: return {vb::vbOK};
    }
}

} // namespace

void initialise(int* argc, char*** argv)
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    new QCoreApplication(*argc, *argv);

    // /dev/shm keeps the many small writes off the disk.
    const QByteArray base = qEnvironmentVariableIsSet("VELTRANE_FUZZ_TMP") ? qgetenv("VELTRANE_FUZZ_TMP")
                            : QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QByteArray("/dev/shm")
                                                                                 : QByteArray("/tmp");
    QByteArray pattern = base + "/veltrane-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    g_scratch = QString::fromLocal8Bit(pattern);
    std::atexit(removeScratch);

    const QString home = g_scratch + QStringLiteral("/home");
    const QString prefix = g_scratch + QStringLiteral("/wine");
    QDir().mkpath(home + QStringLiteral("/System32"));
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    qputenv("VELTRANE_HOME", home.toLocal8Bit());
    qputenv("VELTRANE_SYSTEM", (home + QStringLiteral("/System32")).toLocal8Bit());
    qputenv("WINEPREFIX", prefix.toLocal8Bit());
    setUi(&answeringUi());
}

QString scratchFolder()
{
    return g_scratch;
}

QString freshFolder(const QString& name)
{
    const QString path = g_scratch + QLatin1Char('/') + name;
    QDir dir(path);
    if (dir.exists() && !dir.removeRecursively())
        fail("cannot empty a scratch folder", path);
    if (!QDir().mkpath(path))
        fail("cannot make a scratch folder", path);
    platform::clearPathCache();
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write a scratch file", path);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read a scratch file", path);
    return f.readAll();
}

QString visible(const QString& text, qsizetype limit)
{
    QString out;
    for (QChar c : text.left(limit)) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (text.size() > limit)
        out += QStringLiteral("...");
    return out;
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "\n==== fuzz check failed: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "     %s\n", detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

int AnsweringUi::msgBox(const QString& prompt, int style, const QString&)
{
    messages.append(prompt);
    const QList<int> buttons = buttonsOf(style);
    return buttons.contains(answer) ? answer : buttons.first();
}

void AnsweringUi::reset()
{
    answer = vb::vbYes;
    inputAnswer.clear();
    openAnswer.clear();
    saveAnswer.clear();
    folderAnswer.clear();
    clipboard.clear();
    messages.clear();
}

AnsweringUi& answeringUi()
{
    static AnsweringUi seam;
    return seam;
}

QString Input::text(int maxLength)
{
    const size_t n = std::min<size_t>(size_t(pick(maxLength)), remaining());
    const QByteArray bytes(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
    m_pos += n;
    return platform::decodeAnsi(bytes);
}

QByteArray Input::rest()
{
    const QByteArray bytes(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(remaining()));
    m_pos = m_size;
    return bytes;
}

} // namespace fuzz
