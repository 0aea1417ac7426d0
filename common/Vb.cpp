#include "common/Vb.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace vb {

namespace {

[[noreturn]] void raise(int number)
{
    throw VbError(number);
}

Qt::CaseSensitivity sensitivity(Compare compare)
{
    return compare == Compare::Text ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Halves go to the even neighbour. x - floor(x) is exact for every double, so the
// comparison with 0.5 is too.
double roundHalfEven(double x)
{
    const double f = std::floor(x);
    const double d = x - f;
    if (d > 0.5)
        return f + 1.0;
    if (d < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

// Parses an ASCII decimal number (sign, digits, point, exponent) without regard to the
// process locale. Returns false when the value does not fit a double (overflow); values too
// small for a double read as 0.
bool parseDecimal(const std::string& text, double& value)
{
    double v = 0.0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec == std::errc()) {
        value = v;
        return true;
    }
    if (res.ec != std::errc::result_out_of_range)
        return false;
    // Out of range: tell overflow from underflow by the decimal magnitude, the number of
    // integer digits (or minus the zeros after the point) plus the exponent.
    size_t pos = 0;
    if (pos < text.size() && text[pos] == '-')
        ++pos;
    long long magnitude = 0;
    bool significant = false;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        significant = significant || text[pos] != '0';
        if (significant)
            ++magnitude;
    }
    if (!significant && pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && text[pos] == '0'; ++pos)
            --magnitude;
    }
    const auto ePos = text.find('e');
    if (ePos != std::string::npos) {
        // The exponent saturates far beyond any double's range, so that adding it to the
        // digit count cannot overflow ("8e9999999999999999999" is an overflow, not 0).
        constexpr long long kExponentLimit = 1LL << 40;
        size_t e = ePos + 1;
        const bool negative = e < text.size() && text[e] == '-';
        if (e < text.size() && (text[e] == '-' || text[e] == '+'))
            ++e;
        long long exponent = 0;
        for (; e < text.size() && text[e] >= '0' && text[e] <= '9'; ++e)
            exponent = std::min(kExponentLimit, exponent * 10 + (text[e] - '0'));
        magnitude += negative ? -exponent : exponent;
    }
    if (magnitude > 0)
        return false; // overflow
    value = 0.0;
    return true;
}

// "&H..." and "&O..." values: 16-bit when the value fits four hexadecimal digits (or six
// octal ones), else 32-bit, both signed as the run-time types them. More raises Overflow.
double radixValue(quint64 v)
{
    if (v <= 0xFFFFu)
        return double(qint16(quint16(v)));
    return double(qint32(quint32(v)));
}

int radixDigit(QChar c, int radix)
{
    int d = -1;
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        d = u - '0';
    else if (u >= 'a' && u <= 'f')
        d = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        d = u - 'A' + 10;
    return d >= 0 && d < radix ? d : -1;
}

enum class NumericResult { Ok, NotNumeric, Overflow };

// The reading of CDbl and IsNumeric: the whole text must be one number, optionally with
// surrounding blanks and "," separators between integer digits.
NumericResult parseNumericText(const QString& s, double& value)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    if (b == e)
        return NumericResult::NotNumeric;

    if (s[b] == QLatin1Char('&') && e - b >= 3) {
        const QChar kind = s[b + 1].toUpper();
        const int radix = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (radix == 0)
            return NumericResult::NotNumeric;
        quint64 v = 0;
        for (qsizetype i = b + 2; i < e; ++i) {
            const int d = radixDigit(s[i], radix);
            if (d < 0)
                return NumericResult::NotNumeric;
            v = v * quint64(radix) + quint64(d);
            if (v > 0xFFFFFFFFu)
                return NumericResult::Overflow;
        }
        value = radixValue(v);
        return NumericResult::Ok;
    }

    std::string buf;
    qsizetype i = b;
    if (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')) {
        if (s[i] == QLatin1Char('-'))
            buf += '-';
        ++i;
    }
    bool digits = false;
    for (; i < e; ++i) {
        if (isDigit(s[i])) {
            buf += char(s[i].unicode());
            digits = true;
        } else if (s[i] == QLatin1Char(',') && digits) {
            continue;
        } else {
            break;
        }
    }
    if (i < e && s[i] == QLatin1Char('.')) {
        buf += '.';
        for (++i; i < e && isDigit(s[i]); ++i) {
            buf += char(s[i].unicode());
            digits = true;
        }
    }
    if (!digits)
        return NumericResult::NotNumeric;
    if (i < e) {
        const QChar x = s[i].toUpper();
        if (x != QLatin1Char('E') && x != QLatin1Char('D'))
            return NumericResult::NotNumeric;
        buf += 'e';
        ++i;
        if (i < e && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
            buf += char(s[i].unicode());
            ++i;
        }
        bool expDigits = false;
        for (; i < e && isDigit(s[i]); ++i) {
            buf += char(s[i].unicode());
            expDigits = true;
        }
        if (!expDigits || i < e)
            return NumericResult::NotNumeric;
    }
    if (!parseDecimal(buf, value))
        return NumericResult::Overflow;
    return NumericResult::Ok;
}

// Up to 15 significant digits, as the run-time converts numbers to text: the shorter of
// plain and "E" notation as printf's %G picks them, with an upper-case "E" and a signed
// exponent of at least two digits.
QString generalNumber(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buf, res.ptr - buf);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QString upperOrLower(const QString& s, bool upper)
{
    QString out = s;
    QChar* data = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = data[i];
        if (c.isSurrogate())
            continue;
        const QChar m = upper ? c.toUpper() : c.toLower();
        // Keep the one-byte characters one-byte: the micro sign, for one, has no capital
        // in the ANSI code page.
        if (c.unicode() < 0x100 && m.unicode() >= 0x100 && m.unicode() != 0x178)
            continue;
        data[i] = m;
    }
    return out;
}

} // namespace

// ---- searching ------------------------------------------------------------------------

qsizetype InStr(const QString& s1, const QString& s2, Compare compare)
{
    return InStr(1, s1, s2, compare);
}

qsizetype InStrText(qsizetype start, const QString& text, const QString& what)
{
    if (start < 1 || start > text.size())
        return 0;
    return InStr(start, text, what, Compare::Text);
}

qsizetype InStr(qsizetype start, const QString& s1, const QString& s2, Compare compare)
{
    if (start < 1)
        raise(5);
    if (s1.isEmpty())
        return 0;
    if (s2.isEmpty())
        return start <= s1.size() + 1 ? start : 0;
    if (start > s1.size())
        return 0;
    const qsizetype at = s1.indexOf(s2, start - 1, sensitivity(compare));
    return at < 0 ? 0 : at + 1;
}

qsizetype InStrRev(const QString& s, const QString& find, qsizetype start, Compare compare)
{
    if (start == 0 || start < -1)
        raise(5);
    if (s.isEmpty())
        return 0;
    if (start == -1)
        start = s.size();
    if (start > s.size())
        return 0;
    if (find.isEmpty())
        return start;
    if (find.size() > start)
        return 0;
    const qsizetype at = s.lastIndexOf(find, start - find.size(), sensitivity(compare));
    return at < 0 ? 0 : at + 1;
}

// ---- cutting --------------------------------------------------------------------------

QString Mid(const QString& s, qsizetype start)
{
    if (start < 1)
        raise(5);
    if (start > s.size())
        return QString();
    return s.mid(start - 1);
}

QString Mid(const QString& s, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        raise(5);
    if (start > s.size())
        return QString();
    return s.mid(start - 1, qMin(length, s.size() - (start - 1)));
}

void MidAssign(QString& s, qsizetype start, qsizetype length, const QString& text)
{
    if (start < 1 || start > s.size() || length < 0)
        raise(5);
    const qsizetype n = qMin(qMin(length, text.size()), s.size() - start + 1);
    for (qsizetype i = 0; i < n; ++i)
        s[start - 1 + i] = text[i];
}

void MidAssign(QString& s, qsizetype start, const QString& text)
{
    MidAssign(s, start, text.size(), text);
}

QString Left(const QString& s, qsizetype length)
{
    if (length < 0)
        raise(5);
    return s.left(length);
}

QString Right(const QString& s, qsizetype length)
{
    if (length < 0)
        raise(5);
    return s.right(length);
}

qsizetype Len(const QString& s)
{
    return s.size();
}

QString Replace(const QString& expression, const QString& find, const QString& replacement,
                qsizetype start, qsizetype count, Compare compare)
{
    if (start < 1 || count < -1)
        raise(5);
    if (start > expression.size())
        return QString();
    const qsizetype from = start - 1;
    if (find.isEmpty() || count == 0)
        return expression.mid(from);

    const Qt::CaseSensitivity cs = sensitivity(compare);
    QString out;
    out.reserve(expression.size() - from);
    qsizetype pos = from;
    qsizetype left = count;
    while (left != 0) {
        const qsizetype at = expression.indexOf(find, pos, cs);
        if (at < 0)
            break;
        out.append(QStringView(expression).mid(pos, at - pos));
        out.append(replacement);
        pos = at + find.size();
        if (left > 0)
            --left;
    }
    out.append(QStringView(expression).mid(pos));
    return out;
}

// ---- blanks and case ------------------------------------------------------------------

QString LTrim(const QString& s)
{
    qsizetype b = 0;
    while (b < s.size() && s[b] == QLatin1Char(' '))
        ++b;
    return s.mid(b);
}

QString RTrim(const QString& s)
{
    qsizetype e = s.size();
    while (e > 0 && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.left(e);
}

QString Trim(const QString& s)
{
    return LTrim(RTrim(s));
}

QString UCase(const QString& s)
{
    return upperOrLower(s, true);
}

QString LCase(const QString& s)
{
    return upperOrLower(s, false);
}

QString Space(qsizetype count)
{
    if (count < 0)
        raise(5);
    return QString(count, QLatin1Char(' '));
}

QString String(qsizetype count, QChar c)
{
    if (count < 0)
        raise(5);
    return QString(count, c);
}

// ---- numbers from text ----------------------------------------------------------------

double Val(const QString& s)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    // Blanks, tabs and line feeds are passed over wherever they stand.
    auto skipBlanks = [&] {
        while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')
                         || s[i] == QLatin1Char('\n')))
            ++i;
    };
    skipBlanks();
    if (i >= n)
        return 0.0;

    if (s[i] == QLatin1Char('&')) {
        ++i;
        skipBlanks();
        if (i >= n)
            return 0.0;
        const QChar kind = s[i].toUpper();
        const int radix = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (radix == 0)
            return 0.0;
        ++i;
        quint64 v = 0;
        for (;;) {
            skipBlanks();
            if (i >= n)
                break;
            const int d = radixDigit(s[i], radix);
            if (d < 0)
                break;
            v = v * quint64(radix) + quint64(d);
            if (v > 0xFFFFFFFFu)
                raise(6);
            ++i;
        }
        return radixValue(v);
    }

    std::string buf;
    if (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')) {
        if (s[i] == QLatin1Char('-'))
            buf += '-';
        ++i;
    }
    bool digits = false;
    auto readDigits = [&] {
        for (;;) {
            skipBlanks();
            if (i >= n || !isDigit(s[i]))
                break;
            buf += char(s[i].unicode());
            digits = true;
            ++i;
        }
    };
    readDigits();
    skipBlanks();
    if (i < n && s[i] == QLatin1Char('.')) {
        buf += '.';
        ++i;
        readDigits();
    }
    if (!digits)
        return 0.0;

    skipBlanks();
    if (i < n) {
        const QChar x = s[i].toUpper();
        if (x == QLatin1Char('E') || x == QLatin1Char('D')) {
            qsizetype j = i + 1;
            auto skipAt = [&](qsizetype& k) {
                while (k < n && (s[k] == QLatin1Char(' ') || s[k] == QLatin1Char('\t')
                                 || s[k] == QLatin1Char('\n')))
                    ++k;
            };
            skipAt(j);
            std::string exp = "e";
            if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-'))) {
                exp += char(s[j].unicode());
                ++j;
            }
            bool expDigits = false;
            for (;;) {
                skipAt(j);
                if (j >= n || !isDigit(s[j]))
                    break;
                exp += char(s[j].unicode());
                expDigits = true;
                ++j;
            }
            if (expDigits)
                buf += exp;
        }
    }

    double value = 0.0;
    if (!parseDecimal(buf, value))
        raise(6);
    return value;
}

double CDbl(const QString& s)
{
    double value = 0.0;
    switch (parseNumericText(s, value)) {
    case NumericResult::Ok:
        return value;
    case NumericResult::Overflow:
        raise(6);
    case NumericResult::NotNumeric:
        break;
    }
    raise(13);
}

bool IsNumeric(const QString& s)
{
    double value = 0.0;
    return parseNumericText(s, value) == NumericResult::Ok;
}

// ---- rounding -------------------------------------------------------------------------

qint16 CInt(double value)
{
    const double r = roundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0))
        raise(6);
    return qint16(r);
}

qint32 CLng(double value)
{
    const double r = roundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        raise(6);
    return qint32(r);
}

double Round(double value, int digits)
{
    if (digits < 0)
        raise(5);
    if (!std::isfinite(value))
        return value;
    if (digits == 0)
        return roundHalfEven(value);
    const double factor = std::pow(10.0, digits);
    const double scaled = value * factor;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) // 2^52: no fraction left
        return value;
    return roundHalfEven(scaled) / factor;
}

double Int(double value)
{
    return std::floor(value);
}

// ---- numbers to text ------------------------------------------------------------------

QString CStr(double value)
{
    return generalNumber(value);
}

QString Str(double value)
{
    QString text = generalNumber(value);
    // Str drops the zero before the point of a value below one: " .5", "-.25".
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    if (!(value < 0))
        text.prepend(QLatin1Char(' '));
    return text;
}

QString Hex(qint64 value)
{
    // The run-time's Hex works on 32-bit values; unsigned 32-bit values (such as CRC-32
    // sums) give the same digits as the signed value they share their bits with.
    if (value < -2147483648LL || value > 0xFFFFFFFFLL)
        raise(6);
    return QString::number(quint32(value), 16).toUpper();
}

// ---- Format ---------------------------------------------------------------------------

namespace {

struct FormatToken {
    enum Kind { Literal, Digit, Point, Comma } kind;
    QChar ch;        // '0' or '#' for digits, the character for literals
    QString text;    // literal text
};

QStringList splitSections(const QString& pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (quoted) {
            current += c;
            if (c == QLatin1Char('"'))
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            current += c;
        } else if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

// The digits of a non-negative value rounded to fracDigits decimals (halves away from
// zero), from its 15-significant-digit decimal form as the run-time's Format works on it.
// Returns the integer digits without leading zeros ("" for 0) and exactly fracDigits
// fraction digits.
void decimalDigits(double value, int fracDigits, QString& intPart, QString& fracPart)
{
    intPart.clear();
    fracPart.clear();
    QString digits;    // significant digits
    qsizetype point = 0; // value = 0.digits * 10^point
    if (value != 0.0) {
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
        const std::string s(buf, res.ptr);
        const auto ePos = s.find('e');
        for (size_t k = 0; k < ePos; ++k)
            if (s[k] >= '0' && s[k] <= '9')
                digits += QLatin1Char(s[k]);
        point = std::atoi(s.c_str() + ePos + 1) + 1;
    }
    // Round at the first dropped digit.
    const qsizetype keep = point + fracDigits;
    if (keep < digits.size()) {
        bool up = keep >= 0 && digits[keep] >= QLatin1Char('5');
        if (keep < 0)
            up = false;
        digits.truncate(qMax<qsizetype>(keep, 0));
        if (up) {
            qsizetype k = digits.size() - 1;
            while (k >= 0 && digits[k] == QLatin1Char('9')) {
                digits[k] = QLatin1Char('0');
                --k;
            }
            if (k >= 0) {
                digits[k] = QChar(digits[k].unicode() + 1);
            } else {
                digits.prepend(QLatin1Char('1'));
                ++point;
            }
        }
    }
    auto digitAt = [&](qsizetype pos) -> QChar { // pos 0 = first digit after the point shift
        return pos >= 0 && pos < digits.size() ? digits[pos] : QLatin1Char('0');
    };
    for (qsizetype k = 0; k < point; ++k)
        intPart += digitAt(k);
    qsizetype lead = 0;
    while (lead < intPart.size() && intPart[lead] == QLatin1Char('0'))
        ++lead;
    intPart.remove(0, lead);
    for (qsizetype k = 0; k < fracDigits; ++k)
        fracPart += digitAt(point + k);
}

// A format section read into placeholders and text.
struct FormatSection {
    QList<FormatToken> tokens;
    int percent = 0;         // "%" signs: each multiplies by 100
    qsizetype pointAt = 0;   // the decimal point's token, tokens.size() when none
    bool grouping = false;   // a comma between integer placeholders: thousands are grouped
    int scale = 0;           // commas right after the last integer placeholder: each divides by 1000
    QList<qsizetype> intSlots, fracSlots; // the digit placeholders before and after the point
};

// The section's tokens: quoted text and "\" escapes become text, "0" and "#" digit
// placeholders, the first "." the point, a "," before it a comma; everything else is text.
void readSectionTokens(const QString& section, FormatSection& f)
{
    QList<FormatToken>& tokens = f.tokens;
    auto addLiteral = [&](const QString& t) {
        if (!tokens.isEmpty() && tokens.last().kind == FormatToken::Literal)
            tokens.last().text += t;
        else
            tokens.append({FormatToken::Literal, QChar(), t});
    };
    bool seenPoint = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            addLiteral(section.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < section.size())
                addLiteral(QString(section[++i]));
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            tokens.append({FormatToken::Digit, c, QString()});
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            tokens.append({FormatToken::Point, c, QString()});
        } else if (c == QLatin1Char(',') && !seenPoint) {
            tokens.append({FormatToken::Comma, c, QString()});
        } else {
            if (c == QLatin1Char('%'))
                ++f.percent;
            addLiteral(QString(c));
        }
    }
}

// Commas: between integer digit placeholders they group thousands; right after the last
// integer placeholder each one divides by 1000; elsewhere they are text. Every comma becomes a
// text token (empty for the first two kinds). Also finds the point and the digit placeholders.
void resolveCommas(FormatSection& f)
{
    QList<FormatToken>& tokens = f.tokens;
    f.pointAt = tokens.size();
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        if (tokens[k].kind == FormatToken::Point) {
            f.pointAt = k;
            break;
        }
    }
    qsizetype firstDigit = f.pointAt;
    qsizetype lastDigit = -1;
    for (qsizetype k = 0; k < f.pointAt; ++k) {
        if (tokens[k].kind == FormatToken::Digit) {
            firstDigit = std::min(firstDigit, k);
            lastDigit = k;
        }
    }
    for (qsizetype k = 0; k < f.pointAt; ++k) {
        if (tokens[k].kind != FormatToken::Comma)
            continue;
        const bool digitBefore = firstDigit < k;
        const bool digitAfter = lastDigit > k;
        tokens[k].kind = FormatToken::Literal;
        if (digitBefore && digitAfter) {
            f.grouping = true;
            tokens[k].text.clear(); // placeholder of the grouping, prints nothing itself
        } else if (digitBefore) {
            ++f.scale;
            tokens[k].text.clear();
        } else {
            tokens[k].text = QStringLiteral(",");
        }
    }
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        if (tokens[k].kind != FormatToken::Digit)
            continue;
        (k < f.pointAt ? f.intSlots : f.fracSlots).append(k);
    }
}

// The integer digits as they show: at least as many as there are placeholders from the first
// "0" on, and grouped by thousands when the section groups.
QString shownIntegerDigits(const FormatSection& f, QString intDigits)
{
    qsizetype minDigits = 0;
    for (qsizetype k = 0; k < f.intSlots.size(); ++k) {
        if (f.tokens[f.intSlots[k]].ch == QLatin1Char('0')) {
            minDigits = f.intSlots.size() - k;
            break;
        }
    }
    if (intDigits.size() < minDigits)
        intDigits.prepend(QString(minDigits - intDigits.size(), QLatin1Char('0')));
    if (!f.grouping)
        return intDigits;
    QString grouped;
    grouped.reserve(intDigits.size() + intDigits.size() / 3);
    for (qsizetype k = 0; k < intDigits.size(); ++k) {
        if (k > 0 && (intDigits.size() - k) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += intDigits[k];
    }
    return grouped;
}

// What each integer placeholder prints: one character each from the right; the first
// placeholder takes every character left over. With grouping, all of them go to the first
// placeholder.
QList<QString> integerPlaceholderTexts(const FormatSection& f, const QString& intDigits)
{
    QList<QString> intText(f.intSlots.size());
    if (f.intSlots.isEmpty())
        return intText;
    if (f.grouping) {
        intText[0] = intDigits;
        return intText;
    }
    qsizetype rest = intDigits.size();
    for (qsizetype k = f.intSlots.size() - 1; k > 0 && rest > 0; --k) {
        intText[k] = intDigits.mid(rest - 1, 1);
        --rest;
    }
    intText[0] = intDigits.left(rest);
    return intText;
}

QString formatSection(double value, const QString& section, bool minus)
{
    FormatSection f;
    readSectionTokens(section, f);
    resolveCommas(f);

    double v = value;
    for (int p = 0; p < f.percent; ++p)
        v *= 100.0;
    for (int s = 0; s < f.scale; ++s)
        v /= 1000.0;

    QString intDigits, fracDigits;
    decimalDigits(v, int(f.fracSlots.size()), intDigits, fracDigits);
    intDigits = shownIntegerDigits(f, intDigits);

    // Fraction placeholders "#" at the end print nothing for trailing zeros.
    qsizetype fracShown = f.fracSlots.size();
    while (fracShown > 0 && f.tokens[f.fracSlots[fracShown - 1]].ch == QLatin1Char('#')
           && fracDigits[fracShown - 1] == QLatin1Char('0'))
        --fracShown;

    const QList<QString> intText = integerPlaceholderTexts(f, intDigits);
    QString out;
    if (minus)
        out += QLatin1Char('-');
    qsizetype intIndex = 0, fracIndex = 0;
    for (qsizetype k = 0; k < f.tokens.size(); ++k) {
        const FormatToken& t = f.tokens[k];
        switch (t.kind) {
        case FormatToken::Literal:
            out += t.text;
            break;
        case FormatToken::Digit:
            if (k < f.pointAt) {
                out += intText[intIndex++];
            } else {
                if (fracIndex < fracShown)
                    out += fracDigits[fracIndex];
                ++fracIndex;
            }
            break;
        case FormatToken::Point:
            if (f.intSlots.isEmpty())
                out += intDigits; // no integer placeholders: the digits still show
            out += QLatin1Char('.');
            break;
        case FormatToken::Comma:
            break;
        }
    }
    return out;
}

} // namespace

QString Format(double value, const QString& pattern)
{
    if (pattern.isEmpty() || !std::isfinite(value))
        return generalNumber(value);
    const QStringList sections = splitSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(-value, sections[1], false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(0.0, sections[2], false);
    return formatSection(std::fabs(value), sections[0], value < 0);
}

float RndStep(quint32& state)
{
    state = (state * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return float(state) / 16777216.0f;
}

float Rnd()
{
    static quint32 state = 0x50000u;
    return RndStep(state);
}

} // namespace vb
