#include "packaging/PackageCommon.h"

#include "common/FileProcs.h"
#include "common/VbError.h"
#include "platform/FileSync.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace packaging {

namespace {

// The program folder's own folders and files: a package of that name would write into them.
const QStringList& ownNames()
{
    static const QStringList names = {
        QStringLiteral("TempFiles"),     QStringLiteral("TempDDS"),        QStringLiteral("Templates"),
        QStringLiteral("BluePrints"),    QStringLiteral("System32"),       QStringLiteral("Backup"),
        QStringLiteral("Reports"),       QStringLiteral("LumavethLights"), QStringLiteral("RouteSetup.exe"),
        QStringLiteral("serz.exe"),      QStringLiteral("Do_Run.bat"),     QStringLiteral("preferences.txt"),
        QStringLiteral("NoPicture.jpg"),
    };
    return names;
}

bool isForbiddenInName(QChar c)
{
    switch (c.unicode()) {
    case u'\\': case u'/': case u':': case u'*': case u'?': case u'"': case u'<': case u'>': case u'|':
        return true;
    default:
        return c.unicode() < 0x20; // control characters cannot stand in a Windows name either
    }
}

} // namespace

QString PackageName(const QString& wanted, const QString& fallback)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (isForbiddenInName(c))
            c = QLatin1Char('_');
    }
    bool onlyDots = true;
    for (const QChar c : name) {
        if (c != QLatin1Char('.')) {
            onlyDots = false;
            break;
        }
    }
    if (onlyDots)
        return fallback;
    for (const QString& own : ownNames()) {
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return name + QLatin1Char('_');
    }
    return name;
}

bool CopyReplacing(const QString& from, const QString& to, QString* error)
{
    QFile in(platform::nativePath(from));
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("File not found");
        return false;
    }
    // A linked file is written into (QSaveFile replaces the file it leads to); a link that
    // leads nowhere is never written through.
    const QString target = platform::nativePath(to);
    if (platform::leadsNowhere(target)) {
        if (error)
            *error = QStringLiteral("Path not found");
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Path not found");
        return false;
    }
    constexpr qint64 kChunk = 1 << 20;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || !in.atEnd()) {
        out.cancelWriting();
        if (error)
            *error = QStringLiteral("Path/File access error");
        return false;
    }
    if (!platform::commitWhole(out)) {
        if (error)
            *error = QStringLiteral("Permission denied");
        return false;
    }
    return true;
}

InstallerCopy CopyInstallerTo(const QString& target)
{
    const QString installer = platform::programFolder() + QStringLiteral("\\RouteSetup.exe");
    if (!FileExists(installer))
        return {53, VbError::standardDescription(53) + QStringLiteral(": ") + installer};
    QDir().mkpath(QFileInfo(platform::nativePath(target)).absolutePath());
    QString reason;
    if (!CopyReplacing(installer, target, &reason))
        return {75, reason};
    return {};
}

bool BatchSafePath(const QString& path)
{
    if (path.contains(QLatin1Char('"')) || path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
        return false;
    return platform::decodeAnsi(platform::encodeAnsi(path)) == path;
}

bool BatchSafeName(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('%')) || name.contains(QLatin1String("..")))
        return false;
    bool onlyDots = true;
    for (const QChar c : name) {
        if (c != QLatin1Char('.')) {
            onlyDots = false;
            break;
        }
    }
    return !onlyDots && BatchSafePath(name);
}

PropertiesBlock FindPropertiesBlock(const QString& text, const QString& tag, const QString& devString,
                                    qsizetype from)
{
    const QString startTag = QLatin1Char('<') + tag;
    const QString endTag = QStringLiteral("</") + tag + QLatin1Char('>');
    static const QString devStart = QStringLiteral("<DevString");
    static const QString devEnd = QStringLiteral("</DevString");
    qsizetype q = std::max<qsizetype>(from, 0);
    for (;;) {
        q = text.indexOf(devStart, q, Qt::CaseInsensitive);
        if (q < 0)
            return {};
        const qsizetype e = text.indexOf(devEnd, q, Qt::CaseInsensitive);
        if (e < 0)
            return {};
        const qsizetype gt = text.lastIndexOf(QLatin1Char('>'), e);
        const QString value = gt > q ? text.mid(gt + 1, e - gt - 1) : QString();
        if (!value.isEmpty() && value.compare(devString, Qt::CaseInsensitive) == 0) {
            const qsizetype start = text.lastIndexOf(startTag, q, Qt::CaseInsensitive);
            if (start >= from) {
                // The DevString must stand inside that element: not after its end tag.
                const qsizetype closedAt = text.indexOf(endTag, start, Qt::CaseInsensitive);
                if (closedAt > q) {
                    PropertiesBlock block;
                    block.start = start;
                    block.end = closedAt + endTag.size();
                    return block;
                }
            }
        }
        q = e + devEnd.size();
    }
}

QString CutPropertiesBlock(const QString& text, const PropertiesBlock& block)
{
    if (!block.found() || block.end > text.size() || block.end <= block.start)
        return text;
    // The element's name, read from its start tag.
    qsizetype k = block.start + 1;
    while (k < block.end && !text[k].isSpace() && text[k] != QLatin1Char('>') && text[k] != QLatin1Char('/'))
        ++k;
    const QString startTag = text.mid(block.start, k - block.start);
    const qsizetype next = text.indexOf(startTag, block.end, Qt::CaseInsensitive);
    // Before the next element the one character just before its "<" stays, but never a
    // character of the cut element itself.
    const qsizetype tailFrom = next >= 0 ? std::max(next - 1, block.end) : block.end;
    return text.left(block.start) + text.mid(tailFrom);
}

} // namespace packaging
