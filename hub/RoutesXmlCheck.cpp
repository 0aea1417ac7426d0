#include "hub/RoutesXmlCheck.h"

#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringView>

namespace {

const QChar CR = QLatin1Char('\r');
const QChar LF = QLatin1Char('\n');

// The accented letters the game's route list must not hold, in either case.
QChar plainLetter(QChar c)
{
    switch (c.unicode()) {
    case 0x00F3: // o acute
    case 0x00D3:
        return QLatin1Char('o');
    case 0x00FC: // u diaeresis
    case 0x00DC:
        return QLatin1Char('u');
    default:
        return c;
    }
}

// Appends the cleaned form of one line to out and says whether its brackets are unpaired.
bool appendCleanLine(QStringView line, QString& out)
{
    const qsizetype firstOpen = line.indexOf(QLatin1Char('<'));
    // Everything before the first "<" becomes one tab per character.
    const qsizetype indent = firstOpen > 0 ? firstOpen : 0;
    const QStringView rest = line.mid(indent);
    const qsizetype lastClose = rest.lastIndexOf(QLatin1Char('>'));
    if (lastClose >= 0) {
        out.append(QString(indent, QLatin1Char('\t')));
        const qsizetype start = out.size();
        out.append(rest.left(lastClose + 1));
        QChar* data = out.data();
        for (qsizetype i = start; i < out.size(); ++i)
            data[i] = plainLetter(data[i]);
    }
    // A line without ">" is cut to nothing, indent included.
    const bool hasOpen = firstOpen >= 0;
    const bool hasClose = lastClose >= 0;
    return hasOpen != hasClose;
}

QString fileNameOf(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(slash + 1);
}

// The file name up to and including its last "."; "" when it has none.
QString baseOf(const QString& name)
{
    return name.left(name.lastIndexOf(QLatin1Char('.')) + 1);
}

// Copies the chosen file to its work copy (replacing an older one). Picking the work copy
// itself leaves it alone rather than deleting it before the copy.
void copyToWork(const QString& path, const QString& workPath)
{
    const QString source = platform::nativePath(path);
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        throw VbError(53);
    const QString target = platform::nativePath(workPath);
    const QFileInfo targetInfo(target);
    if (!QDir().mkpath(targetInfo.absolutePath()))
        throw VbError(76);
    if (targetInfo.exists() && targetInfo.canonicalFilePath() == sourceInfo.canonicalFilePath())
        return;
    QFile::remove(target);
    if (!QFile::copy(source, target))
        throw VbError(75);
}

void checkRoutesXml()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select .xml file");
    request.filter = QStringLiteral("XML Files (*.xml)|*.xml");
    request.initDir = shared().GamePath;
    const QString path = ui().openFile(request);

    // A cancelled dialog gives an empty name, which fails this test too.
    if (!IsRoutesXmlName(path)) {
        exclaim(QStringLiteral("This does not appear to be a Routes.xml file?"));
        return;
    }

    const QString base = baseOf(fileNameOf(path));
    const QString workPath = TempFilesPath(base + QStringLiteral("xml"));
    copyToWork(path, workPath);
    ui().doEvents();

    QString text;
    try {
        ReadTextFile(workPath, text);
    } catch (const VbError& e) {
        if (e.number != 62) // an empty file is handled below
            throw;
    }
    text = NormaliseLineEnds(text);
    ui().doEvents();

    // An empty file has nothing to clean; writing it would only leave an empty file behind a
    // needless backup.
    if (text.isEmpty()) {
        exclaim(QStringLiteral("An error occurred while writing ") + path);
        return;
    }

    const TagBalanceResult cleaned = CleanTagLines(text);

    QString backup;
    const ConversionResult backedUp = MoveToBackupName(path, &backup);
    if (!backedUp) {
        exclaim(backedUp.error);
        return;
    }
    // The file is written as a whole or not at all; when it is not, the original returns.
    if (!WriteTextFile(path, cleaned.text)) {
        if (!platform::renameFile(platform::nativePath(backup), platform::nativePath(path),
                                  platform::RenameMode::KeepExisting))
            exclaim(QStringLiteral("The original file is kept as ") + backup);
        return;
    }

    for (const qint64 line : cleaned.unpairedLines)
        exclaim(MismatchedTagMessage(line));
    ui().doEvents();

    exclaim(QStringLiteral("The .xml file has been cleaned up, however if you received any messages regarding mis-matched tags the file will require manual editing to sort the errors."));
}

} // namespace

TagBalanceResult CleanTagLines(const QString& text)
{
    TagBalanceResult result;
    const qsizetype size = text.size();
    result.text.reserve(size + size / 8 + 2);
    const QStringView all(text);
    qsizetype pos = 0;
    qint64 line = 0;
    while (pos < size) {
        qsizetype end = text.indexOf(CR, pos);
        qsizetype next;
        if (end < 0) {
            end = size;
            next = size;
        } else {
            next = end + 1;
            if (next < size && text.at(next) == LF)
                ++next;
        }
        ++line;
        if (appendCleanLine(all.mid(pos, end - pos), result.text))
            result.unpairedLines.append(line);
        result.text.append(CR);
        result.text.append(LF);
        pos = next;
    }
    return result;
}

QString NormaliseLineEnds(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32 + 1);
    const qsizetype size = text.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != LF)
            continue;
        // A CR already in front of this LF is part of the pair being copied.
        const qsizetype stop = (i > from && text.at(i - 1) == CR) ? i - 1 : i;
        out.append(QStringView(text).mid(from, stop - from));
        out.append(CR);
        out.append(LF);
        from = i + 1;
    }
    out.append(QStringView(text).mid(from));
    return out;
}

QString MismatchedTagMessage(qint64 line)
{
    // The number is written as Str writes it: a blank in front of a value that is not negative.
    const QString number = line >= 0 ? QStringLiteral(" ") + QString::number(line) : QString::number(line);
    return QStringLiteral("There are mis-matched '<' tags in Line ") + number;
}

bool IsRoutesXmlName(const QString& path)
{
    return baseOf(fileNameOf(path)).compare(QLatin1String("Routes."), Qt::CaseInsensitive) == 0;
}

QByteArray ReadTagCheckFile(const QString& path)
{
    const QString native = platform::nativePath(path);
    if (path.isEmpty() || !QFileInfo(native).isFile())
        throw VbError(53);
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw VbError(70);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VbError(57, QStringLiteral("Device I/O error"));
    return bytes;
}

bool CheckTagBalance(const QString& path)
{
    return CheckTagBalance(path, ReadTagCheckFile(path));
}

bool CheckTagBalance(const QString& path, const QByteArray& bytes)
{
    const TagBalanceResult cleaned = CleanTagLines(platform::decodeAnsi(bytes));
    for (const qint64 line : cleaned.unpairedLines)
        exclaim(MismatchedTagMessage(line));
    ui().doEvents();
    return WriteTextFile(path, cleaned.text);
}

void CheckRoutesXmlFile()
{
    runGuarded(ErrorSpelling::Description, QStringLiteral("mnuCheckXML_Click"), checkRoutesXml);
}
