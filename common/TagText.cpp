#include "common/TagText.h"

#include "common/VbError.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <limits>

namespace tags {

namespace {

// True when text, from index i (0-based, at an "&"), starts an entity or character reference.
bool startsEntity(const QString& text, qsizetype i)
{
    qsizetype j = i + 1;
    const qsizetype n = text.size();
    if (j < n && text.at(j) == QLatin1Char('#')) {
        ++j;
        const bool hex = j < n && (text.at(j) == QLatin1Char('x') || text.at(j) == QLatin1Char('X'));
        if (hex)
            ++j;
        const qsizetype digits = j;
        while (j < n) {
            const char16_t c = text.at(j).unicode();
            const bool digit = (c >= u'0' && c <= u'9')
                || (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')));
            if (!digit)
                break;
            ++j;
        }
        return j > digits && j < n && text.at(j) == QLatin1Char(';');
    }
    static const char* const names[] = {"amp;", "lt;", "gt;", "quot;", "apos;"};
    for (const char* name : names) {
        if (QStringView(text).mid(j).startsWith(QLatin1String(name)))
            return true;
    }
    return false;
}

} // namespace

QString escapeBoxText(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('&'))
            out += startsEntity(text, i) ? QStringLiteral("&") : QStringLiteral("&amp;");
        else if (c == QLatin1Char('<'))
            out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

namespace {

constexpr int invalidArgument = 5;
constexpr int overflow = 6;

// Where one element stands: the "<" of its opening tag, the ">" that ends it and the "<" of
// the closing tag (1-based).
struct ElementSpan {
    qsizetype open = 0;
    qsizetype gt = 0;
    qsizetype close = 0;
};

// Replaces the value between span.gt and span.close. Done in place: the texts are whole
// scenario files of several megabytes.
void replaceValue(QString& text, const ElementSpan& span, const QString& value)
{
    text.replace(span.gt, span.close - span.gt - 1, value);
}

QString valueOf(const QString& text, const ElementSpan& span)
{
    return vb::Mid(text, span.gt + 1, span.close - span.gt - 1);
}

// The forward searches shared by PutDetail, GetDetail and PutTime: "<" & tag from pos, the
// next ">" from there, and "</" & tag from the ">". Returns open = 0 when the tag is absent;
// throws error 5 when it is found without a later ">" or closing tag.
ElementSpan findElement(const QString& text, qsizetype pos, const QString& tag, vb::Compare compare)
{
    ElementSpan span;
    span.open = vb::InStr(pos, text, QLatin1Char('<') + tag, compare);
    if (span.open == 0)
        return span;
    span.gt = vb::InStr(span.open, text, QStringLiteral(">"));
    if (span.gt == 0)
        throw VbError(invalidArgument);
    span.close = vb::InStr(span.gt, text, QStringLiteral("</") + tag, compare);
    if (span.close == 0)
        throw VbError(invalidArgument);
    return span;
}

// A language element of a localised text, searched from `from` (ignoring case): its start,
// its closing tag, and the last ">" at or before the closing tag. Throws error 5 when the
// element or its closing tag is missing.
ElementSpan findLanguage(const QString& text, qsizetype from, const QString& language)
{
    ElementSpan span;
    span.open = vb::InStr(from, text, QLatin1Char('<') + language, vb::Compare::Text);
    if (span.open == 0)
        throw VbError(invalidArgument);
    span.close = vb::InStr(span.open, text, QStringLiteral("</") + language, vb::Compare::Text);
    if (span.close == 0)
        throw VbError(invalidArgument);
    span.gt = vb::InStrRev(text, QStringLiteral(">"), span.close);
    // A ">" before the element's own start would cut its opening tag away.
    if (span.gt < span.open)
        throw VbError(invalidArgument);
    return span;
}

// Replaces every occurrence of find (ignoring case) by replacement in one pass, so that long
// texts with many occurrences stay linear. After each occurrence the search goes on from where
// `resumeAt` says (given the position just past it); none of the replacements may form a new
// occurrence with what stands before it.
template <typename ResumeAt>
void replaceInOnePass(QString& text, const QString& find, QStringView replacement, bool& changed, ResumeAt resumeAt)
{
    qsizetype from = 1;
    qsizetype found = vb::InStr(from, text, find, vb::Compare::Text);
    if (found == 0)
        return;
    QString out;
    out.reserve(text.size());
    while (found != 0) {
        out += QStringView(text).mid(from - 1, found - from);
        out += replacement;
        from = resumeAt(found + find.size());
        found = vb::InStr(from, text, find, vb::Compare::Text);
    }
    out += QStringView(text).mid(from - 1);
    text = out;
    changed = true;
}

// Replaces every occurrence of find (none of which the replacement can form anew).
void replaceEach(QString& text, const QString& find, const QString& replacement, bool& changed)
{
    replaceInOnePass(text, find, replacement, changed, [](qsizetype next) { return next; });
}

// Replaces "&amp;" by "&" as a search from the start repeated until none is left would: the
// "&" left behind can only start a new "&amp;" with the "amp;" that follows it, so each run
// of "&amp;amp;..." collapses to one "&".
void collapseAmpersands(QString& text, bool& changed)
{
    replaceInOnePass(text, QStringLiteral("&amp;"), u"&", changed, [&text](qsizetype next) {
        while (next + 3 <= text.size()
               && QStringView(text).mid(next - 1, 4).compare(u"amp;", Qt::CaseInsensitive) == 0)
            next += 4;
        return next;
    });
}

} // namespace

namespace detail {

void PutDetail(const Policy& policy, QString& text, qsizetype& pos, const QString& tag,
               const QString& value)
{
    try {
        if (pos <= 0) {
            pos = 0;
            return;
        }
        const ElementSpan span = findElement(text, pos, tag, policy.compare);
        if (span.open == 0) {
            pos = 0;
            return;
        }
        replaceValue(text, span, policy.trimValue ? vb::Trim(value) : value);
        pos = span.close;
    } catch (const VbError&) {
        pos = 0;
    }
}

void GetDetail(const Policy& policy, const QString& text, qsizetype& pos, const QString& tag,
               QString& result)
{
    if (pos == 0 && policy.positionZeroIsNotFound)
        return;
    if (pos <= 0)
        throw VbError(invalidArgument);
    const ElementSpan span = findElement(text, pos, tag, policy.compare);
    if (span.open == 0) {
        pos = 0;
        return;
    }
    result = valueOf(text, span);
    pos = span.close;
}

void UnEscapeText(const Policy& policy, QString& text, bool& changed)
{
    replaceEach(text, QStringLiteral("&apos;"), QStringLiteral("'"), changed);
    collapseAmpersands(text, changed);
    // UTF-8 bytes of U+FFDF, U+FFFC and U+FFE4 read as ANSI text (in Windows-1252 "\u00EF\u00BF\u0178"
    // and so on), put back as the Latin-1 characters of the same low byte.
    replaceEach(text, platform::decodeAnsi("\xEF\xBF\x9F"), QStringLiteral(u"\u00DF"), changed);
    if (policy.umlautRepairs) {
        replaceEach(text, platform::decodeAnsi("\xEF\xBF\xBC"), QStringLiteral(u"\u00FC"), changed);
        replaceEach(text, platform::decodeAnsi("\xEF\xBF\xA4"), QStringLiteral(u"\u00E4"), changed);
    }
}

} // namespace detail

namespace assetWindow {

void PutLocalisedTextChain(QString& text, const QString& name)
{
    qsizetype pos = vb::InStr(1, text, QStringLiteral("<Name "), vb::Compare::Text);
    if (pos == 0)
        return;
    static const char* const elements[] = {"Name", "English", "French", "Italian", "German", "Spanish"};
    for (const char* element : elements) {
        PutDetail(text, pos, QString::fromLatin1(element), name);
        if (pos == 0)
            return;
    }
}

} // namespace assetWindow

namespace scenarioEditor {

namespace {
const char* const followingLanguages[] = {"Italian", "German", "Spanish"};
}

void PutLocalisedText(QString& text, qsizetype pos, const QString& value)
{
    const ElementSpan english = findLanguage(text, pos, QStringLiteral("English"));
    replaceValue(text, english, value);

    // The text before each element's start is never changed, so the starts stay valid.
    qsizetype start = vb::InStr(english.open, text, QStringLiteral("<French"), vb::Compare::Text);
    if (start == 0)
        return;
    const ElementSpan french = findLanguage(text, start, QStringLiteral("French"));
    replaceValue(text, french, value);
    start = french.open;
    for (const char* language : followingLanguages) {
        const ElementSpan span = findLanguage(text, start, QString::fromLatin1(language));
        replaceValue(text, span, value);
        start = span.open;
    }
}

void GetLocalisedText(const QString& text, qsizetype pos, QString& result)
{
    ElementSpan span = findLanguage(text, pos, QStringLiteral("English"));
    result = valueOf(text, span);
    static const char* const others[] = {"French", "Italian", "German", "Spanish"};
    for (const char* language : others) {
        if (!result.isEmpty())
            return;
        span = findLanguage(text, span.open, QString::fromLatin1(language));
        result = valueOf(text, span);
    }
}

void PutTime(QString& text, qsizetype& pos, const QString& tag, qint32& seconds)
{
    try {
        if (pos <= 0) {
            pos = 0;
            return;
        }
        const ElementSpan span = findElement(text, pos, tag, vb::Compare::Text);
        if (span.open == 0) {
            pos = 0;
            return;
        }
        const qint32 stored = vb::CLng(vb::Val(valueOf(text, span)));
        qint64 sum = qint64(seconds) + stored;
        if (sum > std::numeric_limits<qint32>::max() || sum < std::numeric_limits<qint32>::min())
            throw VbError(overflow);
        if (sum > 86400)
            sum -= 86400;
        seconds = qint32(sum);
        replaceValue(text, span, QString::number(seconds));
        pos = span.close;
    } catch (const VbError&) {
        pos = 0;
    }
}

void ShiftAllStartTimes(QString& scenarioText, qint32 offset)
{
    qsizetype pos = 1;
    while (pos >= 1) {
        qint32 seconds = offset;
        PutTime(scenarioText, pos, QStringLiteral("StartTime"), seconds);
        ui().doEvents();
    }
}

void SwapInitialLevels(QString& text)
{
    const auto find = [&text](qsizetype from, const char* what) {
        const qsizetype at = vb::InStr(from, text, QString::fromLatin1(what), vb::Compare::Text);
        if (at == 0)
            throw VbError(invalidArgument);
        return at;
    };
    const qsizetype level = find(1, "<InitialLevel");
    const qsizetype start1 = find(level, "<e");
    const qsizetype end1 = find(start1 + 2, "e>");
    const qsizetype start2 = find(end1 + 2, "<e");
    // Searched past "<e" as for the first element, so that an element without attributes
    // ("<e>0.5</e>") is not taken to end at its own opening tag.
    const qsizetype end2 = find(start2 + 2, "e>");

    const QStringView all(text);
    QString swapped;
    swapped.reserve(text.size());
    swapped += all.left(start1 - 1);
    swapped += all.mid(start2 - 1, end2 + 2 - start2);
    swapped += all.mid(end1 + 1, start2 - end1 - 2);
    swapped += all.mid(start1 - 1, end1 + 2 - start1);
    swapped += all.mid(end2 + 1);
    text = swapped;
}

} // namespace scenarioEditor

} // namespace tags
