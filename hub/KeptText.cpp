#include "hub/KeptText.h"

#include <QStringView>

#include <algorithm>

namespace {
// Beyond this many separate edits the reports are no longer followed; the text is then
// compared as a whole.
constexpr std::size_t MaxKeptStretches = 4096;
} // namespace

QString KeptText::load(const QString& original)
{
    original_ = original;
    crlfAt_.clear();
    shown_.clear();
    shown_.reserve(original.size());

    qsizetype counts[4] = {0, 0, 0, 0}; // by kind: 1 CR LF, 2 LF, 3 CR
    int firstKind = 0;
    const qsizetype n = original.size();
    const QChar* s = original.constData();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        shown_.append(s + runStart, i - runStart);
        int kind;
        if (c == u'\r' && i + 1 < n && s[i + 1].unicode() == u'\n') {
            crlfAt_.push_back(shown_.size());
            kind = 1;
            ++i;
        } else {
            kind = c == u'\n' ? 2 : 3;
        }
        ++counts[kind];
        if (!firstKind)
            firstKind = kind;
        shown_.append(QLatin1Char('\n'));
        runStart = i + 1;
    }
    shown_.append(s + runStart, n - runStart);

    // The most used line end; on a tie the one met first.
    int best = firstKind;
    for (int kind = 1; kind <= 3; ++kind)
        if (best != 0 && counts[kind] > counts[best])
            best = kind;
    static const QString ends[] = {QStringLiteral("\r\n"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                                   QStringLiteral("\r")};
    lineEnd_ = ends[best];

    kept_.clear();
    if (!shown_.isEmpty())
        kept_.push_back({0, 0, shown_.size()});
    return shown_;
}

void KeptText::noteChange(qsizetype position, qsizetype removed, qsizetype added)
{
    if (removed == 0 && added == 0)
        return;
    const qsizetype end = position + removed;
    const qsizetype shift = added - removed;
    std::vector<Kept> next;
    next.reserve(kept_.size() + 1);
    for (const Kept& k : kept_) {
        const qsizetype kEnd = k.now + k.length;
        if (kEnd <= position) {
            next.push_back(k);
        } else if (k.now >= end) {
            next.push_back({k.now + shift, k.loaded, k.length});
        } else {
            if (k.now < position)
                next.push_back({k.now, k.loaded, position - k.now});
            if (kEnd > end)
                next.push_back({end + shift, k.loaded + (end - k.now), kEnd - end});
        }
    }
    kept_ = std::move(next);
    if (kept_.size() > MaxKeptStretches)
        kept_.clear();
}

qsizetype KeptText::originalPosition(qsizetype shownPosition) const
{
    // Every CR LF break that lies wholly before the position adds one character.
    const auto before = std::lower_bound(crlfAt_.begin(), crlfAt_.end(), shownPosition);
    return shownPosition + qsizetype(before - crlfAt_.begin());
}

void KeptText::appendOriginal(QString& out, qsizetype from, qsizetype to) const
{
    if (to <= from)
        return;
    const qsizetype a = originalPosition(from);
    const qsizetype b = originalPosition(to);
    out.append(original_.constData() + a, b - a);
}

void KeptText::appendChanged(QString& out, const QString& now, qsizetype nowFrom, qsizetype nowTo,
                             qsizetype loadedFrom, qsizetype loadedTo) const
{
    // Within the stretch, the edit lies between the longest common start and end.
    const qsizetype nowLen = nowTo - nowFrom;
    const qsizetype loadedLen = loadedTo - loadedFrom;
    const qsizetype limit = std::min(nowLen, loadedLen);
    const QChar* a = shown_.constData() + loadedFrom;
    const QChar* b = now.constData() + nowFrom;
    qsizetype prefix = 0;
    while (prefix < limit && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < limit - prefix && a[loadedLen - 1 - suffix] == b[nowLen - 1 - suffix])
        ++suffix;

    appendOriginal(out, loadedFrom, loadedFrom + prefix);
    QString middle = now.mid(nowFrom + prefix, nowLen - prefix - suffix);
    if (lineEnd_ != QLatin1String("\n"))
        middle.replace(QLatin1Char('\n'), lineEnd_);
    out.append(middle);
    appendOriginal(out, loadedTo - suffix, loadedTo);
}

QString KeptText::restore(const QString& shown) const
{
    if (shown == shown_)
        return original_;

    QString out;
    out.reserve(original_.size() + (shown.size() - shown_.size()) * 2 + 16);
    qsizetype nowAt = 0, loadedAt = 0;
    for (const Kept& k : kept_) {
        // Keep a stretch only when it lies in order and still reads as it was loaded.
        if (k.now < nowAt || k.loaded < loadedAt || k.now + k.length > shown.size()
            || k.loaded + k.length > shown_.size())
            continue;
        if (QStringView(shown).mid(k.now, k.length) != QStringView(shown_).mid(k.loaded, k.length))
            continue;
        appendChanged(out, shown, nowAt, k.now, loadedAt, k.loaded);
        appendOriginal(out, k.loaded, k.loaded + k.length);
        nowAt = k.now + k.length;
        loadedAt = k.loaded + k.length;
    }
    appendChanged(out, shown, nowAt, shown.size(), loadedAt, shown_.size());
    return out;
}
