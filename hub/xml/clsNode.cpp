#include "hub/xml/clsNode.h"

#include "hub/xml/NodeKeys.h"

#include <QHash>

#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VELTRANE_NODE_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELTRANE_NODE_POOL 0
#endif
#endif
#ifndef VELTRANE_NODE_POOL
#define VELTRANE_NODE_POOL 1
#endif

namespace {
#if VELTRANE_NODE_POOL
// Places for nodes, taken from large blocks without the allocator's bookkeeping for each.
// A freed place is handed out again before a new one; blocks stay for the program's life.
// (Memory checkers watch each node through the ordinary allocator instead.)
class NodePool {
public:
    void* take()
    {
        if (m_free) {
            Free* place = m_free;
            m_free = place->next;
            return place;
        }
        if (m_next == m_end) {
            constexpr size_t kPerBlock = 4096;
            m_next = static_cast<char*>(::operator new(kPerBlock * kPlace));
            m_end = m_next + kPerBlock * kPlace;
        }
        void* place = m_next;
        m_next += kPlace;
        return place;
    }
    void give(void* place) noexcept
    {
        auto* freed = static_cast<Free*>(place);
        freed->next = m_free;
        m_free = freed;
    }

    static constexpr size_t kPlace = (sizeof(clsNode) + alignof(clsNode) - 1) / alignof(clsNode) * alignof(clsNode);

private:
    struct Free {
        Free* next;
    };
    Free* m_free = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
};

NodePool& nodePool()
{
    static auto* const pool = new NodePool; // outlives every node
    return *pool;
}
#endif

// The keys that are not "nod" and a number, by node; a few at most.
QHash<const clsNode*, QString>& keyTexts()
{
    static auto* const texts = new QHash<const clsNode*, QString>; // outlives every node
    return *texts;
}
} // namespace

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

void* clsNode::operator new(size_t size)
{
#if VELTRANE_NODE_POOL
    if (size == sizeof(clsNode))
        return nodePool().take();
#endif
    return ::operator new(size);
}

void clsNode::operator delete(void* place, size_t size) noexcept
{
#if VELTRANE_NODE_POOL
    if (size == sizeof(clsNode)) {
        nodePool().give(place);
        return;
    }
#endif
    ::operator delete(place);
}

clsNode::clsNode() = default;

clsNode::~clsNode()
{
    if (m_keyIsText)
        keyTexts().remove(this);
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

void clsNode::keyChanged()
{
    if (m_filed) {
        xmltree::touchKeys();
        xmltree::touchTree();
    }
}

void clsNode::setNodeKey(const QString& key)
{
    const qint64 number = xmltree::keyNumber(key);
    m_keyNumber = qint32(number);
    const bool asText = !key.isEmpty() && !(number >= 0 && key.startsWith(QLatin1String("nod")));
    if (asText)
        keyTexts().insert(this, key);
    else if (m_keyIsText)
        keyTexts().remove(this);
    m_keyIsText = asText;
    keyChanged();
}

void clsNode::setNodeKeyNumber(qint32 number)
{
    if (m_keyIsText)
        keyTexts().remove(this);
    m_keyIsText = false;
    m_keyNumber = number < 0 ? -1 : number;
    keyChanged();
}

QString clsNode::NodeKey() const
{
    if (m_keyIsText)
        return keyTexts().value(this);
    return m_keyNumber >= 0 ? xmltree::keyText(m_keyNumber) : QString();
}

qint64 clsNode::keyNumber() const
{
    return m_keyNumber;
}

QString clsNode::keyTextLower() const
{
    if (m_keyNumber >= 0 || !m_keyIsText)
        return QString();
    return keyTexts().value(this).toLower();
}
