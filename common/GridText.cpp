#include "common/GridText.h"

namespace grid {

namespace {

QString cellText(const QString& cell, QChar separator)
{
    const bool quoted = cell.contains(separator) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\r'))
                        || cell.contains(QLatin1Char('\n'));
    if (!quoted)
        return cell;
    QString out;
    out.reserve(cell.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : cell) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

} // namespace

QString rowLine(const QStringList& cells, TextFormat format)
{
    const QChar separator = format == TextFormat::CommaSeparated ? QLatin1Char(',') : QLatin1Char('\t');
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += separator;
        line += cellText(cells[i], separator);
    }
    line += QStringLiteral("\r\n");
    return line;
}

QString gridText(const QList<QStringList>& rows, TextFormat format)
{
    QString text;
    for (const QStringList& row : rows)
        text += rowLine(row, format);
    return text;
}

} // namespace grid
