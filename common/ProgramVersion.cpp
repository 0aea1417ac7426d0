#include "common/ProgramVersion.h"

QString VersionText()
{
    return QString::number(VELTRANE_VERSION_MAJOR) + QLatin1Char('.') + QString::number(VELTRANE_VERSION_MINOR)
        + QLatin1Char('.') + QString::number(VELTRANE_VERSION_PATCH);
}

QString MainCaption(const QString& leading, const QString& gamePath)
{
    return leading + QStringLiteral("  Version ") + VersionText() + QStringLiteral("   ")
        + QStringLiteral("Rail Simulator path in use is - ") + gamePath;
}
