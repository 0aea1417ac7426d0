#include "hub/xml/XmlTreeWriter.h"

#include "common/Vb.h"
#include "common/VbError.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"

#include <QFileDevice>
#include <QIODevice>

#include <vector>

namespace {

constexpr qsizetype kFlushSize = 1 << 20; // characters buffered before they are written

bool needsTextEscape(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'&' || u == u'<' || u == u'>' || u == u'\r' || u == u'\n')
            return true;
    }
    return false;
}

bool needsValueEscape(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'&' || u == u'<' || u == u'"' || u == u'\t' || u == u'\r' || u == u'\n')
            return true;
    }
    return false;
}

// Blanks, tabs, line feeds and carriage returns only (or nothing).
bool isLayoutOnly(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u != u' ' && u != u'\t' && u != u'\n' && u != u'\r')
            return false;
    }
    return true;
}

VbError writeError(const QIODevice& device)
{
    if (const auto* file = qobject_cast<const QFileDevice*>(&device)) {
        switch (file->error()) {
        case QFileDevice::ResourceError:
            return VbError(61); // disk full
        case QFileDevice::PermissionsError:
            return VbError(70);
        default:
            break;
        }
    }
    const QString text = device.errorString();
    return text.isEmpty() ? VbError(57) : VbError(57, text);
}

} // namespace

XmlTreeWriter::XmlTreeWriter(QIODevice& device)
    : m_device(device)
    , m_encoder(QStringEncoder::Utf8)
{
    m_buffer.reserve(kFlushSize + 4096);
}

void XmlTreeWriter::writeDeclaration()
{
    put(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    endLine();
}

void XmlTreeWriter::put(QStringView text)
{
    m_buffer.append(text);
    m_column += text.size();
}

void XmlTreeWriter::endLine()
{
    m_buffer.append(u"\r\n");
    m_column = 1;
}

void XmlTreeWriter::moveToColumn(qint64 column)
{
    if (m_column > column)
        endLine();
    if (m_column < column) {
        m_buffer.append(vb::Space(column - m_column));
        m_column = column;
    }
}

void XmlTreeWriter::putText(QStringView text)
{
    if (needsTextEscape(text))
        putEscaped(text, false);
    else
        put(text);
}

void XmlTreeWriter::putAttributeValue(QStringView value)
{
    if (needsValueEscape(value))
        putEscaped(value, true);
    else
        put(value);
}

void XmlTreeWriter::putEscaped(QStringView text, bool inAttribute)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            put(u"&amp;");
            continue;
        case u'<':
            put(u"&lt;");
            continue;
        case u'\r':
            put(u"&#13;");
            continue;
        default:
            break;
        }
        if (inAttribute) {
            if (c == u'"') {
                put(u"&quot;");
                continue;
            }
            if (c == u'\t') {
                put(u"&#9;");
                continue;
            }
            if (c == u'\n') {
                put(u"&#10;");
                continue;
            }
        } else if (c == u'\n') {
            endLine();
            continue;
        } else if (c == u'>' && i >= 2 && text[i - 1] == u']' && text[i - 2] == u']') {
            put(u"&gt;");
            continue;
        }
        m_buffer.append(c);
        ++m_column;
    }
}

void XmlTreeWriter::openElement(const clsNode& node, qint64 depth)
{
    moveToColumn(depth);
    put(u"<");
    put(node.NodeName());
    if (const clsNodeAttributes* attributes = node.NodeAttributes()) {
        for (const clsNodeAttribute* attribute : *attributes) {
            put(u" ");
            put(attribute->AttribName());
            put(u"=\"");
            putAttributeValue(attribute->AttribValue());
            put(u"\"");
        }
    }
    put(u">");
    // A parent's text made of whitespace only is its layout (the reader keeps the run before
    // its end tag, a line break and indentation); the writer lays it out anew instead of
    // copying it, so that a file it wrote reads back to the same layout and writes back byte
    // for byte, whatever indentation (tabs, other depths) the file it read had.
    const clsNodes* children = node.ChildNodes();
    if (children && children->Count() > 0 && isLayoutOnly(node.NodeCharacters()))
        return;
    putText(node.NodeCharacters());
}

void XmlTreeWriter::WriteXmlElement(const clsNode& node, qint64 depth)
{
    // Walked with a stack of its own rather than by recursion, so depth is not limited by
    // the machine's stack.
    struct Frame {
        const clsNode* node;
        qint64 depth;
        qsizetype next; // position of the next child to write
    };
    std::vector<Frame> stack;
    openElement(node, depth);
    stack.push_back(Frame{&node, depth, 1});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const clsNodes* children = top.node->ChildNodes();
        if (children && top.next <= children->Count()) {
            const clsNode* child = children->Item(top.next++);
            const qint64 childDepth = top.depth + 1;
            openElement(*child, childDepth);
            stack.push_back(Frame{child, childDepth, 1});
            continue;
        }
        if (children && children->Count() > 0)
            moveToColumn(top.depth);
        put(u"</");
        put(top.node->NodeName());
        put(u">");
        endLine();
        stack.pop_back();
        flushWhenFull();
    }
}

void XmlTreeWriter::flushWhenFull()
{
    if (m_buffer.size() >= kFlushSize)
        flush();
}

void XmlTreeWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    const QByteArray bytes = m_encoder.encode(m_buffer);
    m_buffer.resize(0);
    if (m_device.write(bytes) != bytes.size())
        throw writeError(m_device);
}
