#include "hub/HubStartup.h"

#include "common/FileProcs.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

namespace hub {

QString RegistryGamePath()
{
    try {
        const QVariant value = GetRegValue(HKEY_LOCAL_MACHINE, InstallationKey, QString());
        if (value.typeId() == QMetaType::QString)
            return value.toString();
        return QString();
    } catch (const VbError&) {
        // The key is there but has no default value (or one that is no text): the game
        // folder is then simply not known from the registry.
        return QString();
    }
}

QString FolderOfPath(const QString& filePath)
{
    const qsizetype cut = std::max(filePath.lastIndexOf(QLatin1Char('\\')), filePath.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? QString() : filePath.left(cut);
}

SerzSetup EnsureSerzInSystemFolder(const QString& systemFolder, const QString& gamePath, QString* error)
{
    const QString target = systemFolder + QStringLiteral("\\serz.exe");
    if (FileExists(target))
        return SerzSetup::Present;
    if (gamePath.isEmpty())
        return SerzSetup::Missing;

    QString source = gamePath + QStringLiteral("\\serz.exe");
    if (!FileExists(source)) {
        source = gamePath + QStringLiteral("\\Packager\\serz.exe");
        if (!FileExists(source))
            return SerzSetup::Missing;
    }
    const QString nativeTarget = platform::nativePath(target);
    QDir().mkpath(QFileInfo(nativeTarget).absolutePath());
    // A half-written copy must not pass for the program at the next start.
    const QString staging = nativeTarget + QStringLiteral(".copying");
    QFile::remove(staging);
    if (!QFile::copy(platform::nativePath(source), staging)
        || !platform::renameFile(staging, nativeTarget, platform::RenameMode::ReplaceExisting)) {
        QFile::remove(staging);
        if (error)
            *error = QStringLiteral("SERZ.EXE could not be copied from ") + source + QStringLiteral(" to ") + target
                + QStringLiteral(". It is required to run this program; check that the folder can be written to.");
        return SerzSetup::CopyFailed;
    }
    platform::clearPathCache();
    return SerzSetup::Copied;
}

QString SerzMissingMessage()
{
    return QStringLiteral("The required file SERZ.EXE could not be found on your system. It is required to run this "
                          "program, see the Help file for details.");
}

QString CommandLineFile(const QString& commandLine)
{
    QString file = commandLine;
    if (file.startsWith(QLatin1Char('"')))
        file.remove(0, 1);
    if (file.endsWith(QLatin1Char('"')))
        file.chop(1);
    return file;
}

QString StartupFileFromArguments(const QStringList& arguments, const QString& startFolder)
{
    const QString file = CommandLineFile(arguments.join(QLatin1Char(' ')));
    const bool fromDrive = file.size() >= 2 && file[1] == QLatin1Char(':');
    if (file.isEmpty() || fromDrive || file.startsWith(QLatin1Char('/')) || file.startsWith(QLatin1Char('\\')))
        return file;
    return startFolder + QLatin1Char('/') + file;
}

StartupOpen StartupOpenFor(const QString& path, bool xmlEditorDefault)
{
    const auto endsWith = [&path](const char* ending) {
        return path.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
    };
    if (endsWith("BIN") || endsWith("XSec") || endsWith("GeoPcDx") || endsWith("proxybin"))
        return xmlEditorDefault ? StartupOpen::TreeGameFile : StartupOpen::GameFile;
    if (endsWith("TgPcDx"))
        return xmlEditorDefault ? StartupOpen::TextureOnTextPage : StartupOpen::Texture;
    if (endsWith("xml") || endsWith("cost") || endsWith("tgt") || endsWith("proxyxml"))
        return xmlEditorDefault ? StartupOpen::TreeXmlFile : StartupOpen::XmlFile;
    return StartupOpen::None;
}

QString TempFilesFolder()
{
    return ::TempFilesFolder();
}

QString TempDdsFolder()
{
    return platform::programFolder() + QStringLiteral("\\TempDDS");
}

QString PreferencesPath()
{
    return platform::programFolder() + QStringLiteral("\\preferences.txt");
}

bool ResetTempFiles()
{
    return ::ResetTempFiles();
}

} // namespace hub
