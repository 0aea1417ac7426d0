#include "textures/FileBytes.h"

#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QFile>

namespace textures {

bool ReadFileBytes(const QString& path, QByteArray& bytes, ReadPace pace)
{
    bytes.clear();
    QFile f(platform::nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (pace == ReadPace::AtOnce) {
        bytes = f.readAll();
        return f.error() == QFileDevice::NoError;
    }
    bytes.reserve(qsizetype(f.size()));
    constexpr qint64 slice = 1 << 20;
    while (!f.atEnd()) {
        const QByteArray part = f.read(slice);
        if (part.isEmpty() && f.error() != QFileDevice::NoError)
            return false;
        bytes.append(part);
        ui().doEvents();
    }
    return f.error() == QFileDevice::NoError;
}

} // namespace textures
