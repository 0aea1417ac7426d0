#include "common/TempFiles.h"

#include "common/FileProcs.h"
#include "common/TagText.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QDir>

QString TempFilesFolder(const QString& spelling)
{
    static const QString accepted[] = {QStringLiteral("TempFiles"), QStringLiteral("Tempfiles"),
                                       QStringLiteral("tempfiles")};
    QString name = accepted[0];
    for (const QString& candidate : accepted) {
        if (spelling == candidate)
            name = candidate;
    }
    return platform::programFolder() + QLatin1Char('\\') + name;
}

QString TempFilesPath(const QString& name, const QString& spelling)
{
    return TempFilesFolder(spelling) + QLatin1Char('\\') + name;
}

bool EnsureTempFiles()
{
    const QString folder = TempFilesFolder();
    if (FolderExists(folder))
        return true;
    const bool made = QDir().mkpath(platform::nativePath(folder));
    platform::clearPathCache();
    return made;
}

namespace {
quint64 emptied = 0;
}

quint64 TempFilesEmptied()
{
    return emptied;
}

bool ResetTempFiles()
{
    ++emptied;
    tags::detail::DelAll(TempFilesFolder());
    ui().doEvents();
    platform::clearPathCache();
    return EnsureTempFiles();
}
