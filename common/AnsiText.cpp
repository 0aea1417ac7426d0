#include "common/AnsiText.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace {

QString codePageText()
{
    return QStringLiteral("the system's code page (") + platform::ansiCodePageName() + QLatin1Char(')');
}

} // namespace

QString UnwritablePathMessage(const QString& path)
{
    return QStringLiteral("The path ") + path + QStringLiteral(" cannot be written in ") + codePageText()
           + QStringLiteral(": it holds \"") + platform::firstUnfitAnsi(path) + QStringLiteral("\".");
}

QString FirstUnwritablePath(std::initializer_list<QString> paths)
{
    for (const QString& path : paths)
        if (!platform::fitsAnsi(path))
            return path;
    return QString();
}

QString UnwritableTextMessage(const QString& file, const QString& text)
{
    const QString unfit = platform::firstUnfitAnsi(text);
    const qsizetype at = std::max<qsizetype>(0, text.indexOf(unfit));
    const qsizetype start = std::max(text.lastIndexOf(QLatin1Char('\n'), at), text.lastIndexOf(QLatin1Char('\r'), at)) + 1;
    qsizetype end = at;
    while (end < text.size() && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
        ++end;
    return QStringLiteral("The file ") + file + QStringLiteral(" was not written: ") + codePageText()
           + QStringLiteral(" cannot hold \"") + unfit + QStringLiteral("\" in the line\r\n")
           + text.mid(start, end - start);
}
