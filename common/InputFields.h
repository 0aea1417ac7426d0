#pragma once
// Sequential input of comma-separated fields, as the settings file and the lamp list are
// written: a field ends at a comma or a line end; a field in double quotes keeps its commas
// and blanks (what stands between its closing quote and the next delimiter is dropped); a
// field in # signs keeps them; blanks around an unquoted field are dropped.

#include <QString>

#include <optional>

class InputFieldReader {
public:
    explicit InputFieldReader(const QString& text) : s(text) {}

    // True when nothing but blanks and line ends is left.
    bool atEnd()
    {
        skipBlanksAndLineEnds();
        return pos >= s.size();
    }

    // The next field's raw text; quoted says whether it stood in double quotes. Empty
    // optional at the end of the data.
    std::optional<QString> next(bool& quoted)
    {
        quoted = false;
        skipBlanksAndLineEnds();
        if (pos >= s.size())
            return std::nullopt;
        QString field;
        const QChar first = s.at(pos);
        if (first == QLatin1Char('"')) {
            quoted = true;
            const qsizetype close = s.indexOf(QLatin1Char('"'), pos + 1);
            const qsizetype end = close < 0 ? s.size() : close;
            field = s.mid(pos + 1, end - pos - 1);
            pos = close < 0 ? s.size() : close + 1;
            skipToDelimiter();
        } else if (first == QLatin1Char('#')) {
            const qsizetype close = s.indexOf(QLatin1Char('#'), pos + 1);
            const qsizetype end = close < 0 ? s.size() : close + 1;
            field = s.mid(pos, end - pos);
            pos = end;
            skipToDelimiter();
        } else {
            const qsizetype start = pos;
            while (pos < s.size() && !isDelimiter(s.at(pos)))
                ++pos;
            field = s.mid(start, pos - start).trimmed();
            consumeDelimiter();
        }
        return field;
    }

private:
    static bool isLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
    static bool isDelimiter(QChar c) { return c == QLatin1Char(',') || isLineEnd(c); }

    void skipBlanksAndLineEnds()
    {
        while (pos < s.size() && (s.at(pos) == QLatin1Char(' ') || s.at(pos) == QLatin1Char('\t') || isLineEnd(s.at(pos))))
            ++pos;
    }
    void skipToDelimiter()
    {
        while (pos < s.size() && !isDelimiter(s.at(pos)))
            ++pos;
        consumeDelimiter();
    }
    void consumeDelimiter()
    {
        if (pos >= s.size())
            return;
        if (s.at(pos) == QLatin1Char(',')) {
            ++pos;
            return;
        }
        if (s.at(pos) == QLatin1Char('\r'))
            ++pos;
        if (pos < s.size() && s.at(pos) == QLatin1Char('\n'))
            ++pos;
    }

    const QString& s;
    qsizetype pos = 0;
};
