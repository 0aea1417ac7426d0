#include "common/ReportFile.h"

#include "common/AnsiText.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QSaveFile>

QString ReportFileText(const QString& plainText, const QStringList& rows)
{
    QString text;
    if (!plainText.isEmpty()) {
        text.reserve(plainText.size() + plainText.size() / 16);
        for (qsizetype i = 0; i < plainText.size(); ++i) {
            const QChar c = plainText.at(i);
            // A line feed becomes CR LF; a CR LF pair stays as it is.
            if (c == QLatin1Char('\n') && (i == 0 || plainText.at(i - 1) != QLatin1Char('\r')))
                text += QLatin1Char('\r');
            text += c;
        }
        return text;
    }
    qsizetype size = 0;
    for (const QString& row : rows)
        size += row.size() + 2;
    text.reserve(size);
    for (const QString& row : rows) {
        text += row;
        text += QStringLiteral("\r\n");
    }
    return text;
}

bool SaveReportFile(const QString& path, const QString& text)
{
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(text, &fits);
    if (!fits) { // a path of the report is never saved with "?" in place of a letter
        exclaim(UnwritableTextMessage(path, text));
        return false;
    }
    bool written = false;
    if (!path.isEmpty()) {
        QSaveFile file(platform::nativePath(path));
        if (file.open(QIODevice::WriteOnly)) {
            written = file.write(bytes) == bytes.size() && platform::commitWhole(file);
        }
    }
    if (!written)
        exclaim(QStringLiteral("An error occurred while writing ") + path);
    return written;
}
