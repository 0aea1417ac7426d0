#include "hub/xml/clsXMLParse.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QXmlStreamReader>

#include <vector>

namespace {

// Game files repeat the same element names, attribute names, attribute values
// ("cDeltaString", "1") and layout whitespace a million times. Handing out one shared
// text for each keeps a large document's tree a small multiple of its file. The cache
// holds the texts last seen in a fixed number of slots, so unique values cannot make it
// grow.
class StringCache {
public:
    StringCache(qsizetype maxLength, size_t slotCount) : m_maxLength(maxLength), m_slots(slotCount) {}

    xmltree::SharedText get(QStringView text)
    {
        if (text.isEmpty())
            return xmltree::SharedText();
        if (text.size() > m_maxLength)
            return xmltree::SharedText(text);
        xmltree::SharedText& slot = m_slots[qHash(text) & (m_slots.size() - 1)];
        if (!slot.equals(text))
            slot = xmltree::SharedText(text);
        return slot;
    }

private:
    qsizetype m_maxLength;
    std::vector<xmltree::SharedText> m_slots; // a power of two of them
};

bool isBlankText(QStringView text)
{
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    }
    return true;
}

} // namespace

struct clsXMLParse::Pools {
    StringCache names{128, 4096};
    StringCache values{32, 8192};
    StringCache blanks{256, 1024};

    xmltree::SharedText text(QStringView run) { return isBlankText(run) ? blanks.get(run) : values.get(run); }
};

clsXMLParse::clsXMLParse() = default;
clsXMLParse::~clsXMLParse() = default;

std::unique_ptr<clsNode> clsXMLParse::newDocumentNode()
{
    auto node = std::make_unique<clsNode>();
    node->setEmptyLists();
    return node;
}

void clsXMLParse::setRootNode(std::unique_ptr<clsNode> root)
{
    m_root = std::move(root);
    xmltree::touchTree();
}

bool clsXMLParse::parseURL(const QString& path)
{
    const QString native = platform::nativePath(path);
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly)) {
        int number = 75;
        const QFileInfo info(native);
        if (native.isEmpty())
            number = 52;
        else if (!info.exists())
            number = info.absoluteDir().exists() ? 53 : 76;
        else if (file.error() == QFileDevice::PermissionsError || !info.isReadable())
            number = 70;
        m_errorString = VbError::standardDescription(number);
        m_errorLine = 0;
        m_errorColumn = 0;
        return false;
    }
    return parse(file);
}

bool clsXMLParse::parse(QIODevice& device)
{
    QXmlStreamReader reader(&device);
    reader.setNamespaceProcessing(false);
    m_pools = std::make_unique<Pools>();
    m_errorString.clear();
    m_errorLine = 0;
    m_errorColumn = 0;

    startDocument();
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement(reader.qualifiedName(), reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Characters:
            characters(reader.text());
            break;
        default:
            // Comments, processing instructions, the DTD and unresolved entity references
            // are not kept.
            break;
        }
    }

    const bool ok = !reader.hasError();
    if (ok) {
        endDocument();
    } else {
        m_errorString = reader.errorString();
        m_errorLine = reader.lineNumber();
        m_errorColumn = reader.columnNumber();
    }
    m_open.clear(); // after a failure, the elements still open go with their children
    m_document.reset();
    m_current = nullptr;
    m_run = xmltree::SharedText();
    m_inRun = false;
    m_pools.reset();
    return ok;
}

void clsXMLParse::startDocument()
{
    m_document = newDocumentNode();
    m_current = m_document.get();
    m_open.clear();
    m_open.resize(1);
    m_depth = 0;
    m_keyCounter = 1;
    m_run = xmltree::SharedText();
    m_inRun = false;
}

void clsXMLParse::startElement(QStringView qualifiedName, const QXmlStreamAttributes& attributes)
{
    endRun();
    // Elements are numbered in document order, so no sibling has the new key: the node
    // joins its parent's children without a search.
    auto node = std::make_unique<clsNode>();
    clsNode* element = node.get();
    element->setNodeName(m_pools->names.get(qualifiedName));
    element->setEmptyLists();
    element->setParentNode(m_current);
    if (m_keyCounter <= 0x7fffffff)
        element->setNodeKeyNumber(qint32(m_keyCounter));
    else
        element->setNodeKey(xmltree::keyText(m_keyCounter));
    element->m_filed = true;
    m_open[m_depth].push_back(std::move(node));
    if (++m_depth == m_open.size())
        m_open.emplace_back();
    if (!attributes.isEmpty()) {
        clsNodeAttributes* list = element->NodeAttributes();
        list->reserve(attributes.size());
        for (const QXmlStreamAttribute& attribute : attributes)
            list->Add(clsNodeAttribute(m_pools->names.get(attribute.qualifiedName()),
                                       m_pools->values.get(attribute.value())));
    }
    m_current = element;
    ++m_keyCounter;
}

void clsXMLParse::characters(QStringView text)
{
    // The reader may hand one run over in several pieces (text, a CDATA section, text
    // again); they are joined. Most runs come whole, and are taken as the text at once.
    if (!m_inRun) {
        m_run = m_pools->text(text);
        m_inRun = true;
    } else {
        m_run = xmltree::SharedText(m_run.str().append(text));
    }
}

void clsXMLParse::endRun()
{
    if (!m_inRun)
        return;
    m_inRun = false;
    // Characters outside the document element belong to no element.
    if (m_current != m_document.get())
        m_current->setNodeCharacters(m_run);
    m_run = xmltree::SharedText();
}

void clsXMLParse::endElement()
{
    endRun();
    m_current->m_children.adopt(m_open[m_depth]);
    --m_depth;
    m_current = m_current->ParentNode();
}

void clsXMLParse::endDocument()
{
    m_document->m_children.adopt(m_open[0]);
    m_root = std::move(m_document);
    m_elementCount = m_keyCounter - 1;
}
