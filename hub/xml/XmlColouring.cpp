#include "hub/xml/XmlColouring.h"

namespace xmlcolour {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || c.isSpace() || c == u':' || c == u'-' || c == u'.';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Appends [from, to) in one colour, merged with the run before when that has the colour.
void paint(std::vector<Run>& runs, qsizetype from, qsizetype to, Colour colour)
{
    if (to <= from)
        return;
    if (!runs.empty() && runs.back().colour == colour && runs.back().start + runs.back().length == from)
        runs.back().length += to - from;
    else
        runs.push_back({from, to - from, colour});
}

} // namespace

State colourLine(QStringView line, State state, std::vector<Run>& runs)
{
    runs.clear();
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        switch (state) {
        case InComment: {
            const qsizetype end = line.indexOf(u"-->", i);
            const qsizetype to = end < 0 ? n : end + 3;
            paint(runs, i, to, Comment);
            i = to;
            if (end >= 0)
                state = InText;
            break;
        }
        case InDoubleQuotedValue:
        case InSingleQuotedValue: {
            const QChar quote = state == InDoubleQuotedValue ? u'"' : u'\'';
            const qsizetype end = line.indexOf(quote, i);
            const qsizetype to = end < 0 ? n : end + 1;
            paint(runs, i, to, Value);
            i = to;
            if (end >= 0)
                state = InTag;
            break;
        }
        case InText: {
            const qsizetype lt = line.indexOf(u'<', i);
            if (lt < 0) {
                paint(runs, i, n, Text);
                i = n;
                break;
            }
            paint(runs, i, lt, Text);
            if (line.sliced(lt).startsWith(u"<!--")) {
                // The comment's end is looked for after its opening, so "<!-->" does not close it.
                paint(runs, lt, lt + 4, Comment);
                i = lt + 4;
                state = InComment;
            } else if (lt + 1 < n && line[lt + 1] == u'>') {
                // "<>" holds nothing and is no tag.
                paint(runs, lt, lt + 2, Text);
                i = lt + 2;
            } else {
                // A "<" that ends the line opens a tag too: the line break is its first character.
                paint(runs, lt, lt + 1, Tag);
                i = lt + 1;
                state = InTag;
            }
            break;
        }
        case InTag: {
            // Up to the tag's end or a blank that may start an attribute.
            qsizetype j = i;
            while (j < n && line[j] != u'>' && !(line[j] == u' ' && j + 1 < n && isNameStart(line[j + 1])))
                ++j;
            paint(runs, i, j, Tag);
            if (j == n) {
                i = n;
                break;
            }
            if (line[j] == u'>') {
                paint(runs, j, j + 1, Tag);
                i = j + 1;
                state = InText;
                break;
            }
            // A blank and a name: an attribute when "=" and a value follow. A later blank of
            // the same name run would meet the same end, so a failed candidate is skipped whole.
            qsizetype e = j + 1;
            while (e < n && isNameChar(line[e]))
                ++e;
            if (e < n && line[e] == u'=') {
                qsizetype v = e + 1;
                while (v < n && line[v] == u' ')
                    ++v;
                if (v < n && isDigit(line[v])) {
                    qsizetype d = v;
                    while (d < n && isDigit(line[d]))
                        ++d;
                    paint(runs, j, v, Name);
                    paint(runs, v, d, Value);
                    i = d;
                    break;
                }
                if (v < n && (line[v] == u'"' || line[v] == u'\'') && !(v + 1 < n && line[v + 1] == line[v])) {
                    paint(runs, j, v, Name);
                    paint(runs, v, v + 1, Value);
                    state = line[v] == u'"' ? InDoubleQuotedValue : InSingleQuotedValue;
                    i = v + 1;
                    break;
                }
            }
            paint(runs, j, e, Tag);
            i = e;
            break;
        }
        }
    }
    return state;
}

QColor fromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace xmlcolour

XmlSyntaxColourer::XmlSyntaxColourer(const std::array<quint32, 5>& colours, QTextDocument* document)
    : document_(document)
{
    for (size_t k = 0; k < formats_.size(); ++k)
        formats_[k].setForeground(xmlcolour::fromBgr(colours[k]));
    if (!document_)
        return;
    connection_ = connect(document_, &QTextDocument::contentsChange, this,
                          [this](int position, int removed, int added) { contentsChange(position, removed, added); });
    // Every line's state; the colours come as lines are shown.
    xmlcolour::State state = xmlcolour::InText;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        state = lex(block, state, false);
        block.setUserState(state);
    }
}

XmlSyntaxColourer::~XmlSyntaxColourer()
{
    if (!document_)
        return;
    disconnect(connection_);
    int from = -1, to = -1;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        if (block.userState() != -1 && (block.userState() & Coloured)) {
            block.layout()->clearFormats();
            if (from < 0)
                from = block.position();
            to = block.position() + block.length();
        }
        block.setUserState(-1);
    }
    if (from >= 0)
        document_->markContentsDirty(from, to - from);
}

xmlcolour::State XmlSyntaxColourer::startOf(const QTextBlock& block)
{
    const QTextBlock previous = block.previous();
    if (!previous.isValid() || previous.userState() == -1)
        return xmlcolour::InText;
    const int state = previous.userState() & StateBits;
    return state <= xmlcolour::InComment ? xmlcolour::State(state) : xmlcolour::InText;
}

xmlcolour::State XmlSyntaxColourer::lex(QTextBlock& block, xmlcolour::State start, bool withColours)
{
    const xmlcolour::State end = xmlcolour::colourLine(block.text(), start, runs_);
    if (withColours) {
        QList<QTextLayout::FormatRange> ranges;
        ranges.reserve(qsizetype(runs_.size()));
        for (const xmlcolour::Run& run : runs_)
            ranges.append({int(run.start), int(run.length), formats_[run.colour]});
        block.layout()->setFormats(ranges);
    }
    return end;
}

void XmlSyntaxColourer::showLines(QTextBlock block, int count)
{
    if (!document_)
        return;
    int from = -1, to = -1;
    for (int k = 0; k < count && block.isValid(); ++k, block = block.next()) {
        const int old = block.userState();
        if (old != -1 && (old & Coloured))
            continue;
        const xmlcolour::State end = lex(block, startOf(block), true);
        block.setUserState(end | Coloured);
        if (from < 0)
            from = block.position();
        to = block.position() + block.length();
    }
    // The lines are laid out again with their colours.
    if (from >= 0)
        document_->markContentsDirty(from, to - from);
}

void XmlSyntaxColourer::follow(QTextBlock block, int lastNumber)
{
    if (!block.isValid())
        return;
    const int from = block.position();
    int to = from;
    xmlcolour::State state = startOf(block);
    while (block.isValid()) {
        const int old = block.userState();
        const bool coloured = old != -1 && (old & Coloured);
        state = lex(block, state, coloured);
        block.setUserState(state | (coloured ? Coloured : 0));
        to = block.position() + block.length();
        if (block.blockNumber() >= lastNumber && old != -1 && (old & StateBits) == state)
            break;
        block = block.next();
    }
    // Reported during the edit's own report, this joins the edit's change for the layout.
    document_->markContentsDirty(from, to - from);
}

void XmlSyntaxColourer::contentsChange(int position, int removed, int added)
{
    const QTextBlock last = document_->findBlock(position + added + (removed > 0 ? 1 : 0));
    follow(document_->findBlock(position),
           last.isValid() ? last.blockNumber() : document_->blockCount() - 1);
}
