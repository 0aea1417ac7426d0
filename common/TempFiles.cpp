#include "common/TempFiles.h"

#include "common/FileProcs.h"
#include "common/TagText.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <algorithm>

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
    return MakeFolder(TempFilesFolder());
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

WorkFileNames SplitWorkFile(const QString& path)
{
    WorkFileNames names;
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    names.FileName = path.mid(slash + 1);
    const qsizetype dot = names.FileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        names.WorkName = names.FileName + QLatin1Char('.');
    } else {
        names.WorkName = names.FileName.left(dot + 1);
        names.Extension = names.FileName.mid(dot + 1);
    }
    return names;
}
