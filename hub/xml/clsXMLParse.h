#pragma once
// The reader of the tree page: reads an XML file into a node tree. The driver below runs a
// stream reader with namespace processing off, so "xmlns:" declarations and prefixed names
// reach the tree as ordinary attributes and names, and hands its events to the
// content-handler operations in document order:
//   - every element becomes a node, numbered "nod1", "nod2", ... in the order of the start
//     tags (the document element is "nod1"); its attributes are kept in document order with
//     their qualified names and resolved values;
//   - the characters between two tags (entity references resolved, CDATA sections
//     included, comments and processing instructions in between skipped) form one run,
//     and a run replaces the text of the element it stands in, so an element keeps the
//     last run read while it was the current element;
//   - comments, processing instructions and the document type declaration are dropped.

#include "hub/xml/clsNode.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class QIODevice;
class QXmlStreamAttributes;

class clsXMLParse {
public:
    clsXMLParse();
    ~clsXMLParse();
    clsXMLParse(const clsXMLParse&) = delete;
    clsXMLParse& operator=(const clsXMLParse&) = delete;

    // The document node of the last successful read (or of the one set); null before.
    clsNode* RootNode() const { return m_root.get(); }
    void setRootNode(std::unique_ptr<clsNode> root);
    // Hands the document node over to the caller; RootNode is null afterwards.
    std::unique_ptr<clsNode> takeRootNode() { return std::move(m_root); }

    // Reads the file named as the program names files (through nativePath). True when the
    // whole file was read; RootNode is then its document node. On failure RootNode is left
    // as it was, nothing of the partial read is kept, and errorString() and errorLine()
    // say what went wrong.
    bool parseURL(const QString& path);
    bool parse(QIODevice& device);

    QString errorString() const { return m_errorString; }
    qint64 errorLine() const { return m_errorLine; }     // 0 when the file could not be opened
    qint64 errorColumn() const { return m_errorColumn; }
    // The number of elements the last successful read numbered.
    qint64 elementCount() const { return m_elementCount; }

    // A document node: empty name, text and key, an empty attribute list and child list.
    static std::unique_ptr<clsNode> newDocumentNode();

private:
    struct Pools;

    // Content-handler operations.
    void startDocument();
    void startElement(QStringView qualifiedName, const QXmlStreamAttributes& attributes);
    void characters(QStringView text);
    void endElement();
    void endDocument();

    void endRun();

    std::unique_ptr<clsNode> m_root;
    std::unique_ptr<clsNode> m_document; // the document node of the read in progress
    clsNode* m_current = nullptr;        // the element whose content is being read
    // The children read so far of each open element (the document node first): an
    // element's list is made in one piece when its end tag is read.
    std::vector<std::vector<std::unique_ptr<clsNode>>> m_open;
    size_t m_depth = 0;                  // the current element's place in m_open
    qint64 m_keyCounter = 0;             // the number of the next element's key
    xmltree::SharedText m_run;           // the run of characters being read
    bool m_inRun = false;
    std::unique_ptr<Pools> m_pools;

    QString m_errorString;
    qint64 m_errorLine = 0;
    qint64 m_errorColumn = 0;
    qint64 m_elementCount = 0;
};
