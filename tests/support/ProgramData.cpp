#include "ProgramData.h"

#include "SampleGame.h"

#include <QFileInfo>

QString programDataPath()
{
    return QStringLiteral(VELTRANE_SOURCE_DIR "/data");
}

bool copyProgramData(const QString& folder)
{
    if (!QFileInfo(programDataPath()).isDir())
        return false;
    return copyTree(programDataPath(), folder);
}
