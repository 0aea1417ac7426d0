#include "hub/xml/XmlTreeDocument.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"
#include "hub/xml/XmlTreeView.h"
#include "hub/xml/XmlTreeWriter.h"
#include "hub/xml/clsNodeAttributes.h"
#include "hub/xml/clsNodes.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

// Visits every node below root in document order until visit returns false. The walk keeps
// a stack of its own, so the tree's depth is not limited by the call stack.
template <typename Visit>
void walkBelow(clsNode* root, Visit visit)
{
    if (!root || !root->ChildNodes())
        return;
    struct Frame {
        const clsNodes* list;
        qsizetype next;
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{root->ChildNodes(), 1});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next > top.list->Count()) {
            stack.pop_back();
            continue;
        }
        clsNode* node = top.list->Item(top.next++);
        if (!visit(node))
            return;
        if (node->ChildNodes() && node->ChildNodes()->Count() > 0)
            stack.push_back(Frame{node->ChildNodes(), 1});
    }
}

const QString kCrLf = QStringLiteral("\r\n");

// The run-time error a file that cannot be opened for writing gives.
VbError openError(const QSaveFile& file, const QString& native)
{
    if (native.isEmpty())
        return VbError(52);
    const QFileInfo info(native);
    if (!info.absoluteDir().exists())
        return VbError(76);
    if (file.error() == QFileDevice::PermissionsError)
        return VbError(70);
    return VbError(75);
}

} // namespace

XmlTreeDocument::XmlTreeDocument(XmlTreeView* view, XmlTreeHost* host)
    : m_view(view)
    , m_host(host)
{
    clearCurrentNode();
}

XmlTreeDocument::~XmlTreeDocument() = default;

clsXMLParse& XmlTreeDocument::TreeParser()
{
    if (!m_parser)
        m_parser = std::make_unique<clsXMLParse>();
    return *m_parser;
}

clsNode* XmlTreeDocument::DocumentElement()
{
    clsNode* root = RootNode();
    if (!root || !root->ChildNodes() || root->ChildNodes()->Count() == 0)
        return nullptr;
    return root->ChildNodes()->Item(1);
}

void XmlTreeDocument::clearCurrentNode()
{
    m_none = std::make_unique<clsNode>();
    m_current = m_none.get();
}

void XmlTreeDocument::resetTree()
{
    // The old tree goes; nothing may point into it any more.
    clearCurrentNode();
    TreeParser().setRootNode(clsXMLParse::newDocumentNode());
    xmltree::touchTree();
    dropKeyIndex();
}

bool XmlTreeDocument::LoadXmlTree()
{
    auto parser = std::make_unique<clsXMLParse>();
    if (!parser->parseURL(TreeFileName)) {
        QString reason = parser->errorString();
        if (parser->errorLine() > 0)
            reason += QStringLiteral(" (line %1, column %2)").arg(parser->errorLine()).arg(parser->errorColumn());
        ui().msgBox(QStringLiteral("Unable to read the file: ") + TreeFileName + kCrLf + reason,
                    vb::vbOKOnly + vb::vbExclamation, QStringLiteral("Load Failed"));
        // An empty document instead of half a tree.
        resetTree();
        NodeKeyCounter = 0;
        if (m_view)
            m_view->clearItems();
        TreeFileName.clear();
        TreeHasFile = false;
        if (m_host)
            m_host->setSaveEnabled(false);
        return false;
    }

    m_parser = std::move(parser);
    clearCurrentNode();
    xmltree::touchTree();
    dropKeyIndex();
    NodeKeyCounter = 1;
    if (m_view) {
        m_view->clearItems();
        m_view->reserveItems(m_parser->elementCount());
        const clsNode* element = DocumentElement();
        const QString key = element->NodeKey();
        if (element->hasPlainKey())
            m_view->addNumberedItem(-1, qint32(element->keyNumber()), element->nameText());
        else
            m_view->addSharedItem(QString(), key, element->nameText());
        AddTreeChildren(key, *element);
        m_view->expandItem(key);
    }
    NodeKeyCounter = m_parser->elementCount();
    TreeHasFile = true;
    if (m_host) {
        m_host->setSaveEnabled(true);
        m_host->setSaveAsEnabled(true);
    }
    return true;
}

void XmlTreeDocument::AddTreeChildren(const QString& itemKey, const clsNode& node)
{
    if (!m_view)
        return;
    // An item whose key is "nod" and a number is known to the view by the number alone;
    // only other keys are passed as texts.
    struct Frame {
        const clsNode* node;
        qint64 number; // of the node's item key, or -1 when it is in itemKey
        QString itemKey;
        qsizetype next;
    };
    std::vector<Frame> stack;
    if (node.hasPlainKey() && xmltree::keyNumber(itemKey) == node.keyNumber() && itemKey.startsWith(QLatin1String("nod")))
        stack.push_back(Frame{&node, node.keyNumber(), QString(), 1});
    else
        stack.push_back(Frame{&node, -1, itemKey, 1});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const clsNodes* children = top.node->ChildNodes();
        if (!children || top.next > children->Count()) {
            stack.pop_back();
            continue;
        }
        const clsNode* child = children->Item(top.next++);
        const bool plain = child->hasPlainKey();
        if (plain && top.number >= 0)
            m_view->addNumberedItem(top.number, qint32(child->keyNumber()), child->nameText());
        else
            m_view->addSharedItem(top.number >= 0 ? xmltree::keyText(top.number) : top.itemKey, child->NodeKey(),
                                  child->nameText());
        if (child->ChildNodes() && child->ChildNodes()->Count() > 0) {
            if (plain)
                stack.push_back(Frame{child, child->keyNumber(), QString(), 1});
            else
                stack.push_back(Frame{child, -1, child->NodeKey(), 1});
        }
    }
}

void XmlTreeDocument::AddTreeNode(const QString& itemKey, const clsNode& node)
{
    if (m_view)
        m_view->addSharedItem(itemKey, node.NodeKey(), node.nameText());
}

clsNode* XmlTreeDocument::findByWalk(qint64 number, const QString& text)
{
    clsNode* found = nullptr;
    walkBelow(RootNode(), [&](clsNode* node) {
        if (node->hasFoldedKey(number, text))
            found = node;
        return !found;
    });
    return found;
}

void XmlTreeDocument::dropKeyIndex()
{
    m_indexValid = false;
    m_byNumber = std::vector<clsNode*>();
    m_byText.clear();
}

void XmlTreeDocument::buildKeyIndex()
{
    dropKeyIndex();
    const size_t limit = size_t(std::max<qint64>(NodeKeyCounter, 0)) * 2 + 65536;
    walkBelow(RootNode(), [&](clsNode* node) {
        // The first node in document order wins, as in the walk.
        const qint64 number = node->keyNumber();
        if (number >= 0 && size_t(number) < limit) {
            if (size_t(number) >= m_byNumber.size())
                m_byNumber.resize(std::max(size_t(number) + 1, m_byNumber.size() + m_byNumber.size() / 2), nullptr);
            if (!m_byNumber[size_t(number)])
                m_byNumber[size_t(number)] = node;
        } else {
            const QString folded = number >= 0 ? node->NodeKey().toLower() : node->keyTextLower();
            if (!folded.isEmpty() && !m_byText.contains(folded))
                m_byText.insert(folded, node);
        }
        return true;
    });
    m_indexValid = true;
}

clsNode* XmlTreeDocument::NodeByKey(const QString& key)
{
    const quint64 stamp = xmltree::treeStamp();
    clsNode* found = nullptr;
    const bool indexed = m_indexValid && m_indexStamp == stamp && m_indexRoot == RootNode();
    if (indexed || m_lastLookupStamp == stamp) {
        // A second lookup on the same tree: the page is visiting item after item, so an
        // index pays for itself.
        if (!indexed) {
            buildKeyIndex();
            m_indexStamp = stamp;
            m_indexRoot = RootNode();
        }
        const qint64 number = xmltree::keyNumber(key);
        if (number >= 0 && size_t(number) < m_byNumber.size())
            found = m_byNumber[size_t(number)];
        if (!found && !key.isEmpty())
            found = m_byText.value(key.toLower(), nullptr);
    } else {
        const qint64 number = xmltree::keyNumber(key);
        found = findByWalk(number, number >= 0 ? QString() : key.toLower());
    }
    m_lastLookupStamp = stamp;
    return found;
}

clsNode* XmlTreeDocument::FindNodeByKey(const QString& key)
{
    clearCurrentNode();
    if (clsNode* found = NodeByKey(key))
        m_current = found;
    return m_current;
}

void XmlTreeDocument::ClearDocument()
{
    NodeKeyCounter = 0;
    if (m_view)
        m_view->clearItems();
    resetTree();
}

void XmlTreeDocument::CopyNodeTree(const clsNode& source, clsNode& destination, clsNode* parent)
{
    const auto copyFields = [this](const clsNode& from, clsNode& to, clsNode* toParent) {
        ++NodeKeyCounter;
        to.setEmptyLists();
        if (const clsNodeAttributes* own = from.NodeAttributes()) {
            clsNodeAttributes* attributes = to.NodeAttributes();
            attributes->reserve(own->Count());
            for (const clsNodeAttribute* attribute : *own)
                attributes->Add(*attribute); // shares the texts
        }
        to.setNodeCharacters(from.charactersText());
        if (NodeKeyCounter <= 0x7fffffff)
            to.setNodeKeyNumber(qint32(NodeKeyCounter));
        else
            to.setNodeKey(xmltree::keyText(NodeKeyCounter));
        to.setNodeName(from.nameText());
        to.setParentNode(toParent);
    };

    // Copied with a stack of its own, in document order, so depth is not limited.
    struct Frame {
        const clsNode* source;
        clsNode* copy;
        qsizetype next;
    };
    copyFields(source, destination, parent);
    std::vector<Frame> stack;
    stack.push_back(Frame{&source, &destination, 1});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const clsNodes* children = top.source->ChildNodes();
        if (!children || top.next > children->Count()) {
            stack.pop_back();
            continue;
        }
        const clsNode* child = children->Item(top.next++);
        clsNode* copyParent = top.copy;
        auto copy = std::make_unique<clsNode>();
        copyFields(*child, *copy, copyParent);
        clsNode* added = copyParent->ChildNodes()->AddNode(std::move(copy));
        stack.push_back(Frame{child, added, 1});
    }
}

bool XmlTreeDocument::SaveXmlTree()
{
    try {
        const QString native = platform::nativePath(TreeFileName);
        QSaveFile file(native);
        if (native.isEmpty() || !file.open(QIODevice::WriteOnly))
            throw openError(file, native);
        XmlTreeWriter writer(file);
        writer.writeDeclaration();
        clsNode* root = RootNode();
        if (!root || !root->ChildNodes())
            throw VbError(91);
        writer.WriteXmlElement(*root->ChildNodes()->Item(1), 1);
        writer.flush();
        if (!platform::commitWhole(file)) {
            if (file.error() == QFileDevice::ResourceError)
                throw VbError(61);
            if (file.error() == QFileDevice::PermissionsError)
                throw VbError(70);
            throw VbError(75);
        }
    } catch (const VbError& error) {
        ui().msgBox(QStringLiteral("Unable to save the file: ") + error.description,
                    vb::vbOKOnly + vb::vbExclamation, QStringLiteral("Save Failed"));
        return false;
    }
    TreeHasFile = true;
    SetModified(false);
    return true;
}

void XmlTreeDocument::SetModified(bool modified)
{
    if (m_host) {
        QString caption = m_host->caption();
        if (modified && !caption.endsWith(QLatin1Char('*'))) {
            m_host->setCaption(caption + QLatin1Char('*'));
        } else if (!modified && caption.endsWith(QLatin1Char('*'))) {
            caption.chop(1);
            m_host->setCaption(caption);
        }
        m_host->setSaveEnabled(TreeHasFile);
        m_host->setSaveAsEnabled(true);
    }
    TreeModified = modified;
}

bool XmlTreeDocument::OfferToSave(const std::function<bool()>& save)
{
    if (!TreeModified)
        return true;
    const int answer = ui().msgBox(QStringLiteral("The current file has been modified.") + kCrLf
                                       + QStringLiteral("Do you wish to saves these changes?"),
                                   vb::vbYesNoCancel + vb::vbQuestion, QStringLiteral("Modified File"));
    if (answer == vb::vbYes)
        return save(); // a save that fails keeps the document: the changes would be lost otherwise
    return answer == vb::vbNo;
}

bool XmlTreeDocument::PromptSaveAndReset(const QString& path)
{
    if (!OfferToSave([this] { return SaveXmlTree(); }))
        return false;
    SetModified(false);
    TreeHasFile = false;
    if (m_view)
        m_view->clearItems();
    if (m_host) {
        m_host->setCaption(QStringLiteral("XML File Editor - "));
        m_host->enableAttributeControls(false);
    }
    TreeFileName = path;
    NodeKeyCounter = 0;
    resetTree();
    return true;
}

bool XmlTreeDocument::NewXmlDocument()
{
    if (!PromptSaveAndReset(platform::programFolder() + QStringLiteral("\\undefined.xml")))
        return false;
    TreeHasFile = false;
    if (m_host) {
        m_host->setSaveEnabled(false);
        m_host->setSaveAsEnabled(false);
    }
    return true;
}
