#include "hub/DeveloperSetup.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDir>

namespace hub {

namespace {


// Creates folder (its parent exists); false, with a message, when it cannot be made.
bool makeFolder(const QString& folder)
{
    const bool made = QDir().mkdir(platform::nativePath(folder));
    platform::clearPathCache();
    if (!made)
        exclaim(QStringLiteral("The folder ") + folder + QStringLiteral(" could not be created."));
    return made;
}

// A path that the batch line can hold: it is quoted there, and the file is ANSI text.
bool fitsTheBatchLine(const QString& path)
{
    if (path.contains(QLatin1Char('"')))
        return false;
    return platform::decodeAnsi(platform::encodeAnsi(path)) == path;
}

} // namespace

QString GamePathNotSetMessage()
{
    return QStringLiteral("The Rail Simulator path is not set. Please set it in the Options menu.");
}

bool IsUsableDeveloperName(const QString& name)
{
    bool ownName = false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringView(u"\\/:*?\"<>|").contains(c))
            return false;
        if (c != QLatin1Char('.') && c != QLatin1Char(' '))
            ownName = true;
    }
    return ownName;
}

void SetUpDeveloperFolder()
{
    const QString gamePath = shared().GamePath;
    if (gamePath.isEmpty()) {
        exclaim(GamePathNotSetMessage());
        return;
    }
    const QString source = gamePath + QStringLiteral("\\Source");
    if (!FolderExists(source) && !makeFolder(source))
        return;

    const QString name = ui().inputBox(QStringLiteral("Enter your Developer name (Use alpha characters only, no spaces)"),
                                       QStringLiteral("Developer Name"));
    if (name.isEmpty())
        return;
    if (!IsUsableDeveloperName(name)) {
        exclaim(QStringLiteral("That name cannot be used as a folder name."));
        return;
    }
    const QString developer = source + QLatin1Char('\\') + name;
    if (FolderExists(developer)) {
        exclaim(QStringLiteral("A Developer Folder with that name already exists. Please try again."));
        return;
    }
    makeFolder(developer);
}

QString ReadWriteBatchText(const QString& gamePath)
{
    return QStringLiteral("ATTRIB -R \"") + gamePath + QStringLiteral("\\*.*\" /s /d\r\n");
}

void MakeAllFilesReadWrite()
{
    const QString gamePath = shared().GamePath;
    if (gamePath.isEmpty()) {
        exclaim(GamePathNotSetMessage());
        return;
    }
    if (!fitsTheBatchLine(gamePath)) {
        exclaim(QStringLiteral("The Rail Simulator path ") + gamePath
                + QStringLiteral(" cannot be written into a batch file line."));
        return;
    }
    if (!EnsureTempFiles()) {
        exclaim(QStringLiteral("The work folder ") + TempFilesFolder() + QStringLiteral(" could not be created."));
        return;
    }
    if (!WriteTextFile(TempFilesPath(QStringLiteral("do_read.bat")), ReadWriteBatchText(gamePath)))
        return; // the writer has told the user

    QDir::setCurrent(platform::nativePath(TempFilesFolder()));
    ui().doEvents();
    const qint64 started = ShellAndWait(QStringLiteral("do_read.bat"), true, 1);
    const int status = started == 0 ? -1 : lastExitStatus();
    if (status == 0)
        exclaim(QStringLiteral("All files are now Read/Write"));
    else
        exclaim(QStringLiteral("Not all files could be made Read/Write. (exit status ") + QString::number(status)
                + QStringLiteral(")"));
}

} // namespace hub
