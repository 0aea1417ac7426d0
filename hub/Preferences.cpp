#include "hub/Preferences.h"

#include "common/AnsiText.h"
#include "common/InputFields.h"

#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <limits>
#include <optional>

namespace {

bool toInteger(const QString& field, bool quoted, qint16& out)
{
    if (quoted)
        return false;
    if (field.isEmpty()) {
        out = 0;
        return true;
    }
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return false;
    out = qint16(rounded);
    return true;
}

bool toBoolean(const QString& field, bool quoted, bool& out)
{
    const QString word = field.toUpper();
    if (!quoted && (word == QLatin1String("#TRUE#") || word == QLatin1String("TRUE"))) {
        out = true;
        return true;
    }
    if (!quoted && (word == QLatin1String("#FALSE#") || word == QLatin1String("FALSE"))) {
        out = false;
        return true;
    }
    return false;
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

int ParsePreferences(const QByteArray& bytes, PreferencesRecord& rec)
{
    const QString text = platform::decodeAnsi(bytes);
    InputFieldReader reader(text);
    bool isQuoted = false;
    int count = 0;

    qint16* const numbers[] = {&rec.Width, &rec.Height, &rec.Top, &rec.Left};
    for (qint16* target : numbers) {
        const auto field = reader.next(isQuoted);
        if (!field || !toInteger(*field, isQuoted, *target))
            return count;
        ++count;
    }
    QString* const firstTexts[] = {&rec.TextureEditorPath, &rec.ViewerPath, &rec.GamePath};
    for (QString* target : firstTexts) {
        const auto field = reader.next(isQuoted);
        if (!field)
            return count;
        *target = *field;
        ++count;
    }
    {
        const auto field = reader.next(isQuoted);
        if (!field || !toBoolean(*field, isQuoted, rec.XmlEditorDefault))
            return count;
        ++count;
    }
    QString* const lastTexts[] = {&rec.Reserved, &rec.AcrobatPath};
    for (QString* target : lastTexts) {
        const auto field = reader.next(isQuoted);
        if (!field)
            return count;
        *target = *field;
        ++count;
    }
    return count;
}

int ReadPreferences(const QString& path, PreferencesRecord& rec)
{
    QFile f(platform::nativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return -1;
    return ParsePreferences(bytes, rec);
}

QByteArray FormatPreferences(const PreferencesRecord& rec, bool* ok)
{
    const QChar comma(QLatin1Char(','));
    QString line;
    line += QString::number(rec.Width) + comma + QString::number(rec.Height) + comma + QString::number(rec.Top)
        + comma + QString::number(rec.Left) + comma;
    line += quoted(rec.TextureEditorPath) + comma + quoted(rec.ViewerPath) + comma + quoted(rec.GamePath) + comma;
    line += (rec.XmlEditorDefault ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#")) + comma;
    line += quoted(rec.Reserved) + comma + quoted(rec.AcrobatPath) + QStringLiteral("\r\n");
    return platform::encodeAnsi(line, ok);
}

QString UnwritablePreferencesField(const PreferencesRecord& rec)
{
    for (const QString* field : {&rec.TextureEditorPath, &rec.ViewerPath, &rec.GamePath, &rec.Reserved, &rec.AcrobatPath})
        if (!platform::fitsAnsi(*field))
            return *field;
    return QString();
}

bool WritePreferences(const QString& path, const PreferencesRecord& rec, QString* unwritable)
{
    bool fits = true;
    const QByteArray bytes = FormatPreferences(rec, &fits);
    if (!fits) {
        if (unwritable)
            *unwritable = UnwritablePreferencesField(rec);
        return false;
    }
    QSaveFile f(platform::nativePath(path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size())
        return false;
    return platform::commitWhole(f);
}

QString PreferencesNotWrittenMessage(const QString& path, const QString& unwritable)
{
    QString text = QStringLiteral("The settings could not be written to ") + path + QLatin1Char('.');
    if (!unwritable.isNull())
        text += QStringLiteral("\r\n") + UnwritablePathMessage(unwritable)
                + QStringLiteral("\r\nThe settings file has not been changed.");
    return text;
}

qint16 ToRecordInteger(double twips)
{
    if (std::isnan(twips))
        return 0;
    const double rounded = std::nearbyint(twips);
    if (rounded <= std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    if (rounded >= std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    return qint16(rounded);
}
