#include "common/FileProcs.h"

#include "common/AnsiText.h"
#include "common/VbError.h"
#include "platform/FileSync.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Rename.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QUuid>
#include <QtEndian>

#include <algorithm>
#include <cstdio>

namespace {

int lastStatus = -1;

QString hexDigits(quint64 value, int width)
{
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

bool sameFile(const QString& nativeA, const QString& nativeB)
{
    const QFileInfo a(nativeA), b(nativeB);
    if (!a.exists() || !b.exists())
        return false;
    return a.canonicalFilePath() == b.canonicalFilePath();
}

// ---- folder copy ----

void copyOneFile(const QFileInfo& source, const QString& target)
{
    QFile in(source.absoluteFilePath());
    if (!in.open(QIODevice::ReadOnly))
        throw VbError(70);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw VbError(70);
    QByteArray chunk;
    while (!in.atEnd()) {
        chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw VbError(70);
        if (out.write(chunk) != chunk.size())
            throw VbError(70);
    }
    if (!platform::commitWhole(out))
        throw VbError(70);
    // Keep the file's time and attributes, as the file system's copy does.
    QFile stamp(target);
    if (stamp.open(QIODevice::Append)) {
        stamp.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
        stamp.close();
    }
    QFile::setPermissions(target, in.permissions());
}

// The canonical path lies in the folder whose canonical path is root, or is root.
bool isSameOrBelow(const QString& canonical, const QString& root)
{
    return canonical == root || canonical.startsWith(root + QLatin1Char('/'));
}

// Copies sourceDir's contents into targetDir under the links rule: a link in the source is
// copied as what it leads to (a linked folder walked unless it is a loop), a link below the
// destination is written into, and one that leads nowhere, on either side, is a path not found.
// sourceRoot is where the whole copy's source leads.
void copyTree(const QString& sourceDir, const QString& targetDir, const QString& sourceRoot, bool overwrite,
              platform::WalkWay& way)
{
    switch (platform::standingAt(targetDir)) {
    case platform::Standing::Nothing:
        if (!QDir().mkpath(targetDir))
            throw VbError(76);
        break;
    case platform::Standing::Folder:
        // A linked folder below the destination that leads back into the source would copy the
        // copy's own output.
        if (isSameOrBelow(QFileInfo(targetDir).canonicalFilePath(), sourceRoot))
            throw VbError(5);
        break;
    case platform::Standing::Nowhere:
        throw VbError(76);
    default:
        throw VbError(58);
    }

    // Existing entries of the target, matched without regard to case as Windows does.
    QHash<QString, QString> existing;
    for (const platform::FolderEntry& entry : platform::folderEntries(targetDir))
        existing.insert(entry.name.toCaseFolded(), entry.name);

    QList<platform::FolderEntry> entries = platform::folderEntries(sourceDir);
    std::sort(entries.begin(), entries.end(), [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    for (const platform::FolderEntry& entry : std::as_const(entries)) {
        if (!entry.nameIsText)
            throw VbError(53); // no file can be opened by that name
        if (entry.standing == platform::Standing::Nowhere)
            throw VbError(76);
        const QString target = targetDir + QLatin1Char('/') + existing.value(entry.name.toCaseFolded(), entry.name);
        const platform::Standing there = platform::standingAt(target);
        if (there == platform::Standing::Nowhere && (entry.isFolder() || entry.isFile()))
            throw VbError(76);
        if (entry.isFolder()) {
            if (!way.enter(entry))
                continue; // a loop: the folder is being copied already
            copyTree(entry.path, target, sourceRoot, overwrite, way);
            way.leave();
        } else if (entry.isFile()) {
            if (there != platform::Standing::Nothing) {
                if (there != platform::Standing::File || !overwrite)
                    throw VbError(58);
                if (!QFileInfo(target).isWritable())
                    throw VbError(70);
            }
            copyOneFile(QFileInfo(entry.path), target);
        }
        // Anything else (a device, a pipe) is not a file to copy.
    }
}

} // namespace

void KillProcessByName(const QString& exeName)
{
    if (exeName.isEmpty())
        return;
    QList<qint64> pids;
    const QList<platform::ProcessInfo> processes = platform::listProcesses();
    for (const platform::ProcessInfo& p : processes) {
        if (p.exeName.endsWith(exeName, Qt::CaseInsensitive) || p.imageName.endsWith(exeName, Qt::CaseInsensitive))
            pids.append(p.pid);
    }
    platform::endProcesses(pids);
}

QString NewGuidFromBytes(const std::array<quint8, 16>& bytes, QString& half1, QString& half2)
{
    const quint32 data1 = qFromLittleEndian<quint32>(bytes.data());
    const quint16 data2 = qFromLittleEndian<quint16>(bytes.data() + 4);
    const quint16 data3 = qFromLittleEndian<quint16>(bytes.data() + 6);

    QString text = hexDigits(data1, 8) + QLatin1Char('-') + hexDigits(data2, 4) + QLatin1Char('-')
                   + hexDigits(data3, 4) + QLatin1Char('-') + hexDigits(bytes[8], 2) + hexDigits(bytes[9], 2)
                   + QLatin1Char('-');
    for (int i = 10; i < 16; ++i)
        text += hexDigits(bytes[i], 2);

    half1 = HexToDec(hexDigits(data3, 4) + hexDigits(data2, 4) + hexDigits(data1, 8));
    QString tail = half2;
    for (int i = 15; i >= 8; --i)
        tail += hexDigits(bytes[i], 2);
    half2 = HexToDec(tail);
    return text;
}

QString NewGuid(QString& half1, QString& half2)
{
    const QUuid uuid = QUuid::createUuid();
    std::array<quint8, 16> bytes{};
    qToLittleEndian(quint32(uuid.data1), bytes.data());
    qToLittleEndian(quint16(uuid.data2), bytes.data() + 4);
    qToLittleEndian(quint16(uuid.data3), bytes.data() + 6);
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = uuid.data4[i];
    return NewGuidFromBytes(bytes, half1, half2);
}

QString HexToDec(const QString& hexText)
{
    for (QChar c : hexText) {
        if (platform::hexDigitValue(c) < 0)
            return QString();
    }
    // The Decimal type holds 96 bits.
    const unsigned __int128 limit = (static_cast<unsigned __int128>(1) << 96) - 1;
    unsigned __int128 value = 0;
    for (QChar c : hexText) {
        value = value * 16 + unsigned(platform::hexDigitValue(c));
        if (value > limit)
            throw VbError(6);
    }
    if (value == 0)
        return QStringLiteral("0");
    QString digits;
    while (value > 0) {
        digits.prepend(QChar(u'0' + int(value % 10)));
        value /= 10;
    }
    return digits;
}

void CopyFolder(const QString& source, const QString& destination, bool overwrite)
{
    const QString sourceNative = source.isEmpty() ? QString() : platform::nativePath(source);
    const QFileInfo sourceInfo(sourceNative);
    if (sourceNative.isEmpty() || !sourceInfo.isDir())
        throw VbError(76);
    if (destination.isEmpty())
        throw VbError(76);

    QString destinationText = destination;
    const bool intoNamedFolder = destination.endsWith(QLatin1Char('\\')) || destination.endsWith(QLatin1Char('/'));
    if (intoNamedFolder)
        destinationText += QFileInfo(QDir::cleanPath(sourceInfo.absoluteFilePath())).fileName();
    CheckNameToMake(destinationText);
    const QString targetNative = platform::nativePath(destinationText);
    const QFileInfo targetInfo(targetNative);
    if (targetInfo.exists() && !targetInfo.isDir())
        throw VbError(58);
    // The destination may be a link of the user's; one that leads nowhere has nothing to write into.
    if (platform::leadsNowhere(targetNative))
        throw VbError(76);

    // A copy into the folder itself or one of its sub-folders would copy its own output.
    const QString sourceCanonical = sourceInfo.canonicalFilePath();
    if (isSameOrBelow(platform::leadsTo(targetNative), sourceCanonical))
        throw VbError(5);

    platform::WalkWay way(sourceNative);
    copyTree(sourceInfo.absoluteFilePath(), targetInfo.absoluteFilePath(), sourceCanonical, overwrite, way);
}

void CheckNameToMake(const QString& path)
{
    if (platform::makesForbiddenName(path))
        throw VbError(52);
}

bool IsWordChars(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool letter = (u >= 65 && u <= 90) || (u >= 97 && u <= 122);
        const bool extra = u == 34 || u == 36 || u == 39 || u == 44 || u == 45 || u == 46;
        if (!letter && !extra)
            return false;
    }
    return true;
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString native = platform::nativePath(path);
    if (!QFileInfo(native).isFile())
        return false;
    QFile f(native);
    return f.open(QIODevice::ReadOnly);
}

bool FolderExists(QString& path)
{
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return FolderExists(static_cast<const QString&>(path));
}

bool FolderExists(const QString& path)
{
    QString p = path;
    if (p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    if (p.isEmpty())
        return false;
    return QFileInfo(platform::nativePath(p)).isDir();
}

bool MakeFolder(const QString& folder)
{
    if (FolderExists(folder))
        return true;
    const bool made = QDir().mkpath(platform::nativePath(folder));
    platform::clearPathCache();
    return made;
}

bool CopyFileOver(const QString& source, const QString& target)
{
    const QString from = platform::nativePath(source);
    QString to = platform::nativePath(target);
    if (!QFileInfo(from).isFile())
        return false;
    switch (platform::standingAt(to)) {
    case platform::Standing::Nothing:
        break;
    case platform::Standing::File:
        // A linked file is written into: the copy takes the place of the file it leads to.
        to = QFileInfo(to).canonicalFilePath();
        break;
    default:
        return false; // a folder, or a link that leads nowhere, which is never written through
    }
    if (sameFile(from, to))
        return true;
    // Copy under a side name first, so that a failed copy leaves the target as it was.
    const QString staging = to + QStringLiteral(".copying");
    QFile::remove(staging);
    if (!QFile::copy(from, staging)) {
        QFile::remove(staging);
        return false;
    }
    // rename() puts the copy in the target's place in one step: the target is never missing.
    const bool ok = platform::renameFile(staging, to, platform::RenameMode::ReplaceExisting);
    if (!ok)
        QFile::remove(staging);
    platform::clearPathCache();
    return ok;
}

bool ReadWholeTextFile(const QString& path, QString& text)
{
    text.clear();
    if (!FileExists(path))
        return false;
    try {
        ReadTextFile(path, text);
    } catch (const VbError&) {
        text.clear();
    }
    return !text.isEmpty();
}

void ReadTextFile(const QString& path, QString& content)
{
    if (path.isEmpty())
        return;
    const QString native = platform::nativePath(path);
    if (!QFileInfo(native).isFile())
        return;
    ui().doEvents();
    QFile f(native);
    if (!f.open(QIODevice::ReadOnly))
        throw VbError(70);
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw VbError(57, QStringLiteral("Device I/O error"));
    if (bytes.isEmpty())
        throw VbError(62);
    content = platform::isUtf16Path(path) ? platform::decodeUtf16Le(bytes) : platform::decodeAnsi(bytes);
}

bool WriteTextFile(const QString& path, const QString& content)
{
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(content, &fits);
    if (!fits) { // never a "?" in place of a letter: the file stays as it was
        exclaim(UnwritableTextMessage(path, content));
        return false;
    }
    bool written = false;
    const QString native = platform::nativePath(path);
    // QSaveFile would write where a link that leads nowhere points: on a disk that is not there.
    if (!native.isEmpty() && !platform::makesForbiddenName(native) && !platform::leadsNowhere(native)) {
        QSaveFile f(native);
        if (f.open(QIODevice::WriteOnly)) {
            written = f.write(bytes) == bytes.size() && platform::commitWhole(f);
        }
        // An uncommitted QSaveFile discards its work file and leaves the old file as it was.
    }
    ui().doEvents();
    if (!written || content.isEmpty()) {
        exclaim(QStringLiteral("An error occurred while writing ") + path);
        return false;
    }
    return true;
}

void QuickSort(QStringList& list, int low, int high)
{
    if (low >= high)
        return;
    if (low < 0 || high >= list.size())
        throw VbError(9);
    // The middle index, halves rounded to the even neighbour.
    const qint64 sum = qint64(low) + high;
    qint64 middle = sum / 2;
    if (sum % 2 != 0 && middle % 2 != 0)
        ++middle;
    const QString pivot = list.at(middle);
    int i = low;
    int j = high;
    while (i <= j) {
        while (QString::compare(list.at(i), pivot, Qt::CaseInsensitive) < 0 && i < high)
            ++i;
        while (QString::compare(pivot, list.at(j), Qt::CaseInsensitive) < 0 && j > low)
            --j;
        if (i <= j) {
            list.swapItemsAt(i, j);
            ++i;
            --j;
        }
    }
    if (low < j)
        QuickSort(list, low, j);
    if (i < high)
        QuickSort(list, i, high);
}

qint64 ShellAndWait(const QString& commandLine, bool pumpMessages, int windowStyle)
{
    platform::Process process;
    if (!process.start(commandLine, windowStyle)) {
        lastStatus = -1;
        return 0;
    }
    const qint64 pid = process.pid();
    for (;;) {
        // Waiting up to 50 ms stands for the pause between polls; it returns early at the end.
        const bool ended = process.waitForEnd(50);
        if (pumpMessages)
            ui().doEvents();
        if (ended || !process.isRunning())
            break;
    }
    lastStatus = process.exitStatus();
    return pid;
}

int lastExitStatus()
{
    return lastStatus;
}

QString BrowseForFolder(const QString& title)
{
    return ui().browseForFolder(title);
}

QVariant GetRegValue(quint32 hKey, const QString& subKey, const QString& valueName, const QVariant& defaultValue)
{
    platform::RegistryHive hive;
    if (hKey == HKEY_LOCAL_MACHINE)
        hive = platform::RegistryHive::LocalMachine;
    else if (hKey == HKEY_CURRENT_USER)
        hive = platform::RegistryHive::CurrentUser;
    else
        return defaultValue; // a root this program never reads cannot be opened

    const std::optional<platform::RegistryValues> key = platform::readRegistryKey(hive, subKey);
    if (!key)
        return defaultValue;
    const std::optional<platform::RegistryValue> value = platform::registryValue(*key, valueName);
    const VbError unsupported(1001, QStringLiteral("Unsupported value type"));
    if (!value)
        throw unsupported;

    auto text = [&](int trailingNuls) {
        QString s;
        s.reserve(value->data.size() / 2);
        for (qsizetype i = 0; i + 1 < value->data.size(); i += 2)
            s.append(QChar(char16_t(quint8(value->data[i]) | (quint8(value->data[i + 1]) << 8))));
        for (int n = 0; n < trailingNuls && s.endsWith(QChar(0)); ++n)
            s.chop(1);
        return s;
    };
    switch (value->type) {
    case platform::RegSz:
    case platform::RegExpandSz:
        return text(1);
    case platform::RegMultiSz:
        return text(2);
    case platform::RegBinary:
        return value->data;
    case platform::RegDword: {
        quint32 number = 0;
        for (qsizetype i = 0; i < 4 && i < value->data.size(); ++i)
            number |= quint32(quint8(value->data[i])) << (8 * i);
        return QVariant::fromValue(qint32(number));
    }
    default:
        throw unsupported;
    }
}
