#include "hub/xml/clsNode.h"

#include "hub/xml/NodeKeys.h"

#include <vector>

namespace xmltree {
namespace {
quint64 g_treeStamp = 0;
quint64 g_keyStamp = 0;
} // namespace
quint64 treeStamp()
{
    return g_treeStamp;
}
quint64 keyStamp()
{
    return g_keyStamp;
}
void touchTree()
{
    ++g_treeStamp;
}
void touchKeys()
{
    ++g_keyStamp;
}
} // namespace xmltree

clsNode::clsNode() = default;

clsNode::~clsNode()
{
    // Child lists are taken apart level by level instead of by nested destructors, so a
    // document nested tens of thousands of levels deep does not exhaust the stack.
    if (m_children.Count() == 0)
        return;
    std::vector<clsNodes> pending;
    pending.push_back(std::move(m_children));
    while (!pending.empty()) {
        clsNodes list = std::move(pending.back());
        pending.pop_back();
        for (clsNode* child : list) {
            if (child->m_children.Count() > 0)
                pending.push_back(std::move(child->m_children));
        }
    }
}

void clsNode::setChildNodes(std::unique_ptr<clsNodes> children)
{
    m_hasChildren = bool(children);
    m_children = children ? std::move(*children) : clsNodes();
    xmltree::touchTree();
}

void clsNode::setNodeAttributes(std::unique_ptr<clsNodeAttributes> attributes)
{
    m_hasAttributes = bool(attributes);
    m_attributes = attributes ? std::move(*attributes) : clsNodeAttributes();
}

void clsNode::setEmptyLists()
{
    m_attributes = clsNodeAttributes();
    m_children = clsNodes();
    m_hasAttributes = true;
    m_hasChildren = true;
    xmltree::touchTree();
}

void clsNode::setNodeKey(const QString& key)
{
    const qint64 number = xmltree::keyNumber(key);
    if (number >= 0 && key.startsWith(QLatin1String("nod"))) {
        m_keyNumber = qint32(number);
        m_keyText.reset();
    } else {
        m_keyNumber = -1;
        m_keyText = key.isEmpty() ? nullptr : std::make_unique<QString>(key);
    }
    if (m_filed) {
        xmltree::touchKeys();
        xmltree::touchTree();
    }
}

QString clsNode::NodeKey() const
{
    if (m_keyNumber >= 0)
        return xmltree::keyText(m_keyNumber);
    return m_keyText ? *m_keyText : QString();
}

qint64 clsNode::keyNumber() const
{
    if (m_keyNumber >= 0)
        return m_keyNumber;
    return m_keyText ? xmltree::keyNumber(*m_keyText) : -1;
}

QString clsNode::keyTextLower() const
{
    if (m_keyNumber >= 0 || !m_keyText || xmltree::keyNumber(*m_keyText) >= 0)
        return QString();
    return m_keyText->toLower();
}
