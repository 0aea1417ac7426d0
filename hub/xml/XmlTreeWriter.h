#pragma once
// The writer of the tree page: writes a node tree as XML text, UTF-8 without a byte-order
// mark, lines ending with CR LF.
//
// Layout. The declaration line comes first. The writer keeps the column of the output line
// (1 at its start); moving to column n writes blanks up to n, and when the line already
// stands beyond n it first ends the line and then writes n - 1 blanks. An element at depth
// d (the document element is at depth 1) moves to column d and writes its start tag, its
// attributes in their order in double quotes, ">" and its text, without ending the line.
// Its children follow at depth d + 1. A parent then moves to column d and writes its end
// tag; an element without children writes its end tag right after its text. Every end tag
// ends its line. Empty elements are written with start and end tag.
//
// Whitespace after a parent's start tag. A parent's text is normally its layout whitespace
// (the reader keeps the run before its end tag: a line break and indentation). Whitespace
// only, it is not written: the start tag's line ends and the first child follows at its
// own column, whatever indentation the file that was read had (tabs, other depths). Read
// back, the parent's text is the writer's own layout, which again is whitespace only, so
// a file the writer wrote reads and writes back byte for byte from its first save on.
// Text with other characters (mixed content) is written after the start tag as it is; a
// line break in it is written as the file's line end, CR LF, and starts a new column count,
// with a tab counting one column; the first child then follows at its column, on a new
// line when the text already reaches beyond it. (Such a text is not the run before the
// parent's end tag, so a read of the written file does not give it back.)
//
// Escapes. In texts "&" and "<" are written "&amp;" and "&lt;"; in attribute values also
// '"' as "&quot;". So that what is written reads back as the same tree, a ">" that would
// close "]]>" in a text is written "&gt;", a carriage return in a text "&#13;", and a tab,
// line feed or carriage return in an attribute value "&#9;", "&#10;", "&#13;" (a reader
// turns them into blanks otherwise). Every other character is written as it is.

#include <QString>
#include <QStringEncoder>
#include <QStringView>

class QIODevice;
class clsNode;

class XmlTreeWriter {
public:
    explicit XmlTreeWriter(QIODevice& device);
    XmlTreeWriter(const XmlTreeWriter&) = delete;
    XmlTreeWriter& operator=(const XmlTreeWriter&) = delete;

    // The declaration line: <?xml version="1.0" encoding="utf-8"?>
    void writeDeclaration();
    // Writes the element and everything below it. Depth is not limited.
    void WriteXmlElement(const clsNode& node, qint64 depth);
    // Hands what is buffered to the device. Writing raises VbError when the device refuses.
    void flush();

private:
    void put(QStringView text);
    void putText(QStringView text);
    void putAttributeValue(QStringView value);
    // The escaping both share: "&", "<" and CR as references; in an attribute value also the
    // quote, tab and LF; in text a ">" after "]]", and LF as the writer's own line end.
    void putEscaped(QStringView text, bool inAttribute);
    void endLine();
    void moveToColumn(qint64 column);
    void openElement(const clsNode& node, qint64 depth);
    void flushWhenFull();

    QIODevice& m_device;
    QStringEncoder m_encoder;
    QString m_buffer;
    qint64 m_column = 1;
};
