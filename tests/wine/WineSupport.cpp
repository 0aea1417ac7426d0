#include "WineSupport.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString wineProgram()
{
    const QString named = qEnvironmentVariable("VELTRANE_WINE", QStringLiteral("wine"));
    return named.contains(QLatin1Char('/')) ? named : QStandardPaths::findExecutable(named);
}

QString wineserverProgram()
{
    const QString wine = wineProgram();
    const QString beside = QFileInfo(wine).absolutePath() + QStringLiteral("/wineserver");
    if (!wine.isEmpty() && QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("wineserver"));
}

} // namespace

WineSession::WineSession()
{
    env_.set("WINEPREFIX", QFile::encodeName(prefix()));
    env_.set("WINEDEBUG", "-all");
    env_.set("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=");
    if (qEnvironmentVariable("VELTRANE_WINE").isEmpty())
        env_.set("VELTRANE_WINE", "wine");
    platform::clearPathCache();
}

WineSession::~WineSession()
{
    env_.restore();
    platform::clearPathCache();
}

QString WineSession::prefix()
{
    return QStringLiteral(VELTRANE_WINE_PREFIX);
}

QString WineSession::windowsSerzPath()
{
    return QStringLiteral(VELTRANE_BIN_DIR "/win/serz.exe");
}

bool WineSession::installWindowsSerz(const QString& folder)
{
    const QString target = folder + QStringLiteral("/serz.exe");
    QFile::remove(target);
    return QDir().mkpath(folder) && QFile::copy(windowsSerzPath(), target);
}

QString WineSession::missing() const
{
    QStringList gaps;
    if (wineProgram().isEmpty() || wineserverProgram().isEmpty())
        gaps << QStringLiteral("Wine is not installed (install the packages wine and wine64)");
    if (!QFileInfo(windowsSerzPath()).isFile())
        gaps << QStringLiteral("the Windows test serializer ") + windowsSerzPath()
                    + QStringLiteral(" was not built (install the package g++-mingw-w64-x86-64 and configure again)");
    if (!QFileInfo(prefix() + QStringLiteral("/drive_c/windows/system32")).isDir())
        gaps << QStringLiteral("the test run's Wine prefix ") + prefix()
                    + QStringLiteral(" is missing (ctest makes it in the test wine_prefix_setup)");
    return gaps.join(QStringLiteral("; "));
}

int WineSession::run(const QString& program, const QStringList& arguments) const
{
    if (program.isEmpty())
        return -1;
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    if (!p.waitForStarted() || !p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int WineSession::wine(const QStringList& arguments) const
{
    return run(wineProgram(), arguments);
}

int WineSession::wineserver(const QStringList& arguments) const
{
    return run(wineserverProgram(), arguments);
}

bool WineSession::restartServer() const
{
    const bool ended = wineserver({QStringLiteral("-k")}) >= 0;
    const bool started = wineserver({QStringLiteral("-p")}) == 0;
    return ended && started && wine({QStringLiteral("wineboot")}) == 0;
}

WineDrive::WineDrive(char letter, const QString& folder)
    : link_(WineSession::prefix() + QStringLiteral("/dosdevices/") + QLatin1Char(letter) + QLatin1Char(':'))
{
    previous_ = QFileInfo(link_).symLinkTarget();
    QFile::remove(link_);
    ok_ = QFile::link(folder, link_);
    platform::clearPathCache();
}

WineDrive::~WineDrive()
{
    QFile::remove(link_);
    if (!previous_.isEmpty())
        QFile::link(previous_, link_);
    platform::clearPathCache();
}
