#include "routes/MarkerConvert.h"

#include "common/GameTextConstants.h"
#include "common/TagText.h"
#include "common/Vb.h"

#include <QRegularExpression>

using vb::InStr;
using vb::Mid;

namespace routes {

namespace {

using gametext::kCrLf;

void addLine(QString& lines, const QString& line)
{
    lines += line;
    lines += kCrLf;
}

// The characters from `from` up to (not including) `to`.
QString between(const QString& text, qsizetype from, qsizetype to)
{
    return to > from ? Mid(text, from, to - from) : QString();
}

QString placemarkLines(const QString& text)
{
    const QString placemark = QStringLiteral("<Placemark>");
    QString lines;
    qsizetype pos = 1;
    while (true) {
        const qsizetype p = InStr(pos, text, placemark);
        if (p == 0)
            break;
        // Everything this placemark says lies before the next one.
        const qsizetype next = InStr(p + 1, text, placemark);
        const qsizetype limit = next == 0 ? text.size() + 1 : next;
        const qsizetype m = InStr(p, text, QStringLiteral("name>"));
        const qsizetype l = m == 0 ? 0 : InStr(m, text, QStringLiteral("<"));
        const qsizetype c = l == 0 ? 0 : InStr(l, text, QStringLiteral("<coordinates>"));
        if (m == 0 || m >= limit || l == 0 || c == 0 || c >= limit) {
            if (next == 0)
                break;
            pos = next;
            continue;
        }
        const QString name = vb::Trim(between(text, m + 5, l)).replace(QLatin1Char(' '), QLatin1Char('_'));
        const qsizetype k1 = InStr(c + 1, text, QStringLiteral(","));
        const qsizetype k2 = k1 == 0 ? 0 : InStr(k1 + 2, text, QStringLiteral(","));
        if (k2 == 0)
            break; // no later point can be read either
        addLine(lines, between(text, c + 13, k1) + QLatin1Char(',') + between(text, k1 + 1, k2) + QLatin1Char(',') + name);
        pos = k2;
    }
    return lines;
}

QString pathLines(const QString& text, bool& hasCoordinates)
{
    const qsizetype c = InStr(1, text, QStringLiteral("<coordinates>"));
    hasCoordinates = c != 0;
    if (c == 0)
        return {};
    // The tag and the one character after it are skipped.
    const qsizetype end = InStr(c + 16, text, QStringLiteral("</coor"));
    const QString list = end == 0 ? Mid(text, c + 14) : between(text, c + 14, end);
    QString lines;
    qsizetype q = 1;
    while (true) {
        const qsizetype k = InStr(q, list, QStringLiteral(",0 "));
        if (k == 0)
            break;
        addLine(lines, between(list, q, k));
        q = k + 3;
    }
    return lines;
}

QString trimBlanksAndTabs(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// The text after the attribute's `name="` up to the next double quote; 0 in end when the
// value is not closed.
QString attributeValue(const QString& text, qsizetype at, qsizetype& end)
{
    end = InStr(at + 5, text, QStringLiteral("\""));
    return end == 0 ? QString() : between(text, at + 5, end);
}

// Sets the next element of tag after position p and moves p to its closing tag as it now
// stands (the value may have changed length). False when there is no such element.
bool setNext(QString& text, qsizetype& p, const QString& tag, const QString& value)
{
    p = InStr(p + 1, text, QLatin1Char('<') + tag);
    if (p == 0)
        return false;
    const qsizetype before = text.size();
    tags::markerConverter::PutDetail(text, p, tag, value);
    if (p == 0)
        return false;
    p += text.size() - before;
    return true;
}

} // namespace

MarkerType markerTypeOf(const QString& path)
{
    const QString tail = vb::Right(path, 4);
    if (tail == QLatin1String(".kml"))
        return MarkerType::Kml;
    if (tail == QLatin1String(".gpx"))
        return MarkerType::Gpx;
    if (tail == QLatin1String(".mkr"))
        return MarkerType::Mkr;
    if (tail == QLatin1String(".wpt"))
        return MarkerType::Wpt;
    return MarkerType::None;
}

QString kmlToCsv(const QString& text, bool& hasCoordinates)
{
    if (InStr(1, text, QStringLiteral("<longitude>")) != 0) {
        hasCoordinates = true;
        return placemarkLines(text);
    }
    return pathLines(text, hasCoordinates);
}

QString gpxToCsv(const QString& text)
{
    qsizetype start = InStr(1, text, QStringLiteral("<trkseg>"));
    if (start == 0)
        start = InStr(1, text, QStringLiteral("<wpt")) - 1;
    start = std::max<qsizetype>(start, 1);
    QString lines;
    while (true) {
        qsizetype m = InStr(start, text, QStringLiteral("<trkpt"));
        if (m == 0)
            m = InStr(start, text, QStringLiteral("<wpt"));
        if (m == 0)
            break;
        const qsizetype a = InStr(m, text, QStringLiteral("lat="));
        if (a == 0)
            break;
        qsizetype latEnd = 0;
        const QString lat = attributeValue(text, a, latEnd);
        const qsizetype b = latEnd == 0 ? 0 : InStr(a, text, QStringLiteral("lon="));
        if (b == 0)
            break;
        qsizetype e = 0;
        const QString lon = attributeValue(text, b, e);
        if (e == 0)
            break;
        addLine(lines, lon + QLatin1Char(',') + lat);
        start = e;
    }
    return lines;
}

QString wptToCsv(const QString& text)
{
    QString lines;
    bool started = false;
    for (const QString& line : textLines(text)) {
        if (!started) {
            if (!line.contains(QStringLiteral("1,1,")))
                continue;
            started = true;
        }
        const qsizetype second = InStr(InStr(1, line, QStringLiteral(",")) + 1, line, QStringLiteral(","));
        if (second == 0 || InStr(1, line, QStringLiteral(",")) == 0)
            continue;
        const QString rest = vb::Trim(Mid(line, second + 1));
        const qsizetype c1 = InStr(1, rest, QStringLiteral(","));
        if (c1 == 0)
            continue; // fewer than four fields
        const qsizetype c2 = InStr(c1 + 1, rest, QStringLiteral(","));
        const QString f3 = vb::Left(rest, c1 - 1);
        const QString f4 = c2 == 0 ? Mid(rest, c1 + 1) : between(rest, c1 + 1, c2);
        addLine(lines, f4 + QLatin1Char(',') + f3);
    }
    return lines;
}

QString mkrToCsv(const QString& input)
{
    const QString text = vb::Replace(input, QStringLiteral("  "), QStringLiteral(" "));
    QString lines;
    qsizetype pos = 1;
    while (true) {
        const qsizetype m = InStr(pos, text, QStringLiteral("Marker ("));
        if (m == 0)
            break;
        pos = m + 5;
        const qsizetype r = InStr(m, text, QStringLiteral(")"));
        if (r == 0)
            break;
        // The record less the last two characters before ")", then after its "(" and the
        // character that follows it.
        QString record = between(text, m, r - 2);
        const qsizetype open = InStr(1, record, QStringLiteral("("));
        record = vb::Trim(Mid(record, open + 2));
        const qsizetype s1 = InStr(1, record, QStringLiteral(" "));
        if (s1 == 0)
            continue;
        qsizetype s2 = InStr(s1 + 1, record, QStringLiteral(" "));
        if (s2 == 0)
            s2 = InStr(s1 + 1, record, QStringLiteral("\t"));
        if (s2 == 0)
            continue;
        const QString t1 = vb::Trim(vb::Left(record, s1 - 1));
        // The second token may end at a tab; the tab is no part of the number.
        const QString t2 = trimBlanksAndTabs(between(record, s1 + 1, s2 + 1));
        const QString rest = vb::Trim(Mid(record, s2 + 1));
        if (t1.isEmpty() || t2.isEmpty() || rest.isEmpty())
            continue;
        addLine(lines, t1 + QLatin1Char(',') + t2 + QLatin1Char(',') + rest);
    }
    return lines;
}

QString csvNameOf(const QString& markerFileName)
{
    return vb::Left(markerFileName, std::max<qsizetype>(0, markerFileName.size() - 3)) + QStringLiteral("csv");
}

QString dcsvSourcePath(const QString& gamePath, const QString& dcsvPath)
{
    const QStringList parts = dcsvPath.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    const qsizetype assets = parts.indexOf(QStringLiteral("Assets"));
    if (assets < 0 || assets + 1 >= parts.size())
        return {};
    const QString source = gamePath + QStringLiteral("\\Source\\") + parts.mid(assets + 1).join(QLatin1Char('\\'));
    return vb::Left(source, source.size() - 4) + QStringLiteral("csv");
}

bool improveDcsvPrecision(QString& dcsvText, const QString& sourceText, qsizetype* badLine)
{
    QString text = dcsvText;
    qsizetype p = 0;
    const QStringList lines = textLines(sourceText);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty())
            continue;
        const qsizetype comma = InStr(1, line, QStringLiteral(","));
        if (comma == 0) {
            if (badLine)
                *badLine = i + 1;
            return false;
        }
        const QString x = vb::Left(line, comma - 1);
        const qsizetype next = InStr(comma + 1, line, QStringLiteral(","));
        const QString y = next == 0 ? Mid(line, comma + 1) : between(line, comma + 1, next);
        if (!setNext(text, p, QStringLiteral("X"), x) || !setNext(text, p, QStringLiteral("Y"), y))
            break;
    }
    dcsvText = text;
    return true;
}

QStringList textLines(const QString& text)
{
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace routes
