#pragma once
// Syntax colouring of XML text, one line at a time. There is no XML parsing: a small
// hand-written lexer walks each line once and hands on a state to the next line (inside a
// tag, inside a quoted value, inside a comment), so tags, values and comments may span lines
// and a change re-colours only the lines whose state it changes.
//
// The rules:
//   - a tag runs from "<" to the next ">" with at least one character between them ("<>"
//     is text) and has colour Tag;
//   - inside a tag, a blank followed by a name (letters, digits, "_", blanks, ":", "-", ".")
//     and "=" (blanks allowed around it) has colour Name when a value follows on the same
//     line: a run of digits, or a value in double or single quotes holding at least one
//     character; the value has colour Value and may span lines. Without such a value the
//     name stays in the tag's colour;
//   - text outside tags has colour Text, even when it holds "=";
//   - a comment, "<!--" to the next "-->", has colour Comment as a whole, tags inside it
//     included.

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QStringView>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <array>
#include <vector>

namespace xmlcolour {

// The colours, numbered as the hub's five syntax colours.
enum Colour : unsigned char { Text = 0, Tag = 1, Name = 2, Value = 3, Comment = 4 };

// Where a line ends: the state that the next line starts in.
enum State : int { InText = 0, InTag = 1, InDoubleQuotedValue = 2, InSingleQuotedValue = 3, InComment = 4 };

// A stretch of a line in one colour.
struct Run {
    qsizetype start;
    qsizetype length;
    Colour colour;
};

// Colours one line (without its line break) that starts in `state`. `runs` is emptied and
// receives the line's stretches in order, neighbours of one colour merged, covering every
// character. Returns the state at the line's end.
State colourLine(QStringView line, State state, std::vector<Run>& runs);

// A colour value in blue-green-red order (blue * 65536 + green * 256 + red) as a QColor.
QColor fromBgr(quint32 value);

} // namespace xmlcolour

// Colours a text document's lines as XML while it lives, in the manner of QSyntaxHighlighter:
// each line keeps the state it ends in (QTextBlock::userState), and after an edit the edited
// lines are taken again, and the lines after them for as long as the state a line ends in
// differs from before. The colours themselves are a few format ranges beside each line's
// text, given to a line when it is first shown (showLines), so that a text of many megabytes
// costs one pass of the lexer and not a format table per line. Colouring only sets formats:
// the document's text is never changed. The colours go when the colourer does.
class XmlSyntaxColourer : public QObject {
public:
    // `colours` in blue-green-red order, indexed by xmlcolour::Colour.
    XmlSyntaxColourer(const std::array<quint32, 5>& colours, QTextDocument* document);
    ~XmlSyntaxColourer() override;
    XmlSyntaxColourer(const XmlSyntaxColourer&) = delete;
    XmlSyntaxColourer& operator=(const XmlSyntaxColourer&) = delete;

    // Gives `count` lines from `first` on their colours, those that have none yet.
    void showLines(QTextBlock first, int count);

private:
    // Low bits of a line's user state: the state it ends in; this bit: it has its colours.
    static constexpr int Coloured = 0x10;
    static constexpr int StateBits = 0x0F;

    // The state that `block` starts in.
    static xmlcolour::State startOf(const QTextBlock& block);
    // Lexes the line; sets its colours when `withColours`; returns the state it ends in.
    xmlcolour::State lex(QTextBlock& block, xmlcolour::State start, bool withColours);
    // After an edit: lines `first` to number `lastNumber`, and on while the end state changes.
    void follow(QTextBlock first, int lastNumber);
    void contentsChange(int position, int removed, int added);

    QPointer<QTextDocument> document_;
    std::array<QTextCharFormat, 5> formats_;
    std::vector<xmlcolour::Run> runs_;
    QMetaObject::Connection connection_;
};
