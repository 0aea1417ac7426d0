#pragma once
// Helpers of the tree document tests: a recording window, a tree printed as text, and
// reading and writing through the program's own reader and writer.

#include "hub/xml/XmlTreeView.h"
#include "hub/xml/XmlTreeWriter.h"
#include "hub/xml/clsNode.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "hub/xml/clsXMLParse.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace xmltest {

// The main window as far as the tree document sees it.
class FakeHost : public XmlTreeHost {
public:
    QString caption() const override { return captionText; }
    void setCaption(const QString& caption) override { captionText = caption; }
    void setSaveEnabled(bool enabled) override { saveEnabled = enabled; }
    void setSaveAsEnabled(bool enabled) override { saveAsEnabled = enabled; }
    void enableAttributeControls(bool enabled) override
    {
        attributeControlsEnabled = enabled;
        ++attributeControlCalls;
    }

    QString captionText = QStringLiteral("Veltrane");
    bool saveEnabled = true;
    bool saveAsEnabled = true;
    bool attributeControlsEnabled = true;
    int attributeControlCalls = 0;
};

// One line per element: indentation by depth, key, name, attributes and text (with line
// breaks and tabs shown as \n and \t).
inline QString visible(QString s)
{
    return s.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"));
}

inline void describeInto(const clsNode& node, int depth, bool withKeys, bool withParentTexts, QStringList& out)
{
    QString line = QString(depth * 2, QLatin1Char(' '));
    if (withKeys)
        line += node.NodeKey() + QLatin1Char(' ');
    line += node.NodeName();
    if (node.NodeAttributes()) {
        for (const clsNodeAttribute* a : *node.NodeAttributes())
            line += QStringLiteral(" [%1=%2]").arg(a->AttribName(), visible(a->AttribValue()));
    }
    const bool parent = node.ChildNodes() && node.ChildNodes()->Count() > 0;
    if (!parent || withParentTexts)
        line += QStringLiteral(" '") + visible(node.NodeCharacters()) + QLatin1Char('\'');
    out << line;
    if (node.ChildNodes()) {
        for (const clsNode* child : *node.ChildNodes()) {
            EXPECT_EQ(child->ParentNode(), &node) << child->NodeName().toStdString();
            describeInto(*child, depth + 1, withKeys, withParentTexts, out);
        }
    }
}

inline QString describe(const clsNode& node, bool withKeys = true, bool withParentTexts = true)
{
    QStringList out;
    describeInto(node, 0, withKeys, withParentTexts, out);
    return out.join(QLatin1Char('\n'));
}

// Reads XML bytes; the document node, or null (and the parser's message) on failure.
inline std::unique_ptr<clsNode> read(const QByteArray& xml, QString* error = nullptr, qint64* line = nullptr)
{
    QByteArray copy = xml;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    clsXMLParse parser;
    if (!parser.parse(buffer)) {
        if (error)
            *error = parser.errorString();
        if (line)
            *line = parser.errorLine();
        return nullptr;
    }
    return parser.takeRootNode();
}

// Writes the document element of a document node as the tree page saves it.
inline QByteArray write(const clsNode& documentNode)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    XmlTreeWriter writer(buffer);
    writer.writeDeclaration();
    writer.WriteXmlElement(*documentNode.ChildNodes()->Item(1), 1);
    writer.flush();
    return bytes;
}

} // namespace xmltest
