#include "platform/Drives.h"

#include "platform/Links.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace platform {

namespace {


bool holds(const QString& folder, const QString& path)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QList<Drive> drives()
{
    QList<Drive> out;
    const QDir devices(winePrefix() + QStringLiteral("/dosdevices"));
    // Anchored at both ends of the name: "$" would also match before a final line break and
    // take an entry "c:\n" for a drive.
    static const QRegularExpression letter(QRegularExpression::anchoredPattern(QStringLiteral("[a-z]:")));
    const QFileInfoList entries = devices.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                                        QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!letter.match(entry.fileName()).hasMatch())
            continue;
        out.append({entry.fileName(), leadsTo(entry.absoluteFilePath())});
    }
    if (out.isEmpty())
        out.append({QStringLiteral("/"), QStringLiteral("/")});
    return out;
}

qsizetype driveIndexOf(const QList<Drive>& list, const QString& path)
{
    if (path.isEmpty())
        return -1;
    const QString target = leadsTo(nativePath(path));
    qsizetype best = -1;
    qsizetype bestLength = -1;
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QString folder = leadsTo(list[k].folder);
        if (holds(folder, target) && folder.size() > bestLength) {
            best = k;
            bestLength = folder.size();
        }
    }
    return best;
}

bool driveReady(const Drive& drive)
{
    const QFileInfo info(drive.folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace platform
