#include "hub/xml/clsNodes.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {
constexpr size_t kLinearLimit = 8; // entries searched one by one before an index pays
} // namespace

// The keys of a long list: "nod" keys by their number, others by their lower-cased text.
// The first entry filed under a key wins.
struct clsNodes::Index {
    QHash<qint64, clsNode*> byNumber;
    QHash<QString, clsNode*> byText;
    quint64 keyStamp = 0;
};

clsNodes::clsNodes() = default;

clsNodes::~clsNodes()
{
    release();
}

clsNodes::clsNodes(clsNodes&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}

clsNodes& clsNodes::operator=(clsNodes&& other) noexcept
{
    if (this != &other) {
        release();
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

void clsNodes::release()
{
    if (!m_block)
        return;
    // Taken off the list first, so the list is whole (and then empty) while nodes go.
    Block* block = std::exchange(m_block, nullptr);
    clsNode** at = reinterpret_cast<clsNode**>(reinterpret_cast<char*>(block) + sizeof(Block));
    for (quint32 i = 0; i < block->count; ++i)
        delete at[i];
    delete block->index;
    std::free(block);
}

void clsNodes::resize(size_t capacity)
{
    if (capacity > std::numeric_limits<quint32>::max())
        throw VbError(7);
    // The entries are plain pointers: the block moves as bytes.
    auto* block = static_cast<Block*>(std::realloc(m_block, sizeof(Block) + capacity * sizeof(clsNode*)));
    if (!block)
        throw std::bad_alloc();
    if (!m_block) {
        block->count = 0;
        block->index = nullptr;
    }
    block->capacity = quint32(capacity);
    m_block = block;
}

void clsNodes::append(std::unique_ptr<clsNode> node)
{
    const size_t count = size_t(Count());
    if (!m_block || count == m_block->capacity)
        resize(count < 2 ? 2 : count * 2);
    entries()[count] = node.release();
    ++m_block->count;
}

void clsNodes::adopt(std::vector<std::unique_ptr<clsNode>>& nodes)
{
    if (nodes.empty())
        return;
    resize(size_t(Count()) + nodes.size());
    clsNode** at = entries() + Count();
    for (auto& node : nodes)
        *at++ = node.release();
    m_block->count = m_block->capacity;
    nodes.clear();
}

clsNode* clsNodes::Add(const QString& name, const QString& characters,
                       std::unique_ptr<clsNodeAttributes> attributes, std::unique_ptr<clsNodes> children,
                       clsNode* parent, const QString& key)
{
    auto node = std::make_unique<clsNode>();
    node->setNodeName(name);
    node->setNodeCharacters(characters);
    node->setNodeAttributes(std::move(attributes));
    node->setChildNodes(std::move(children));
    node->setParentNode(parent);
    node->setNodeKey(key);
    return AddNode(std::move(node));
}

clsNode* clsNodes::AddElement(const QString& name, const QString& characters, clsNode* parent, const QString& key)
{
    auto node = std::make_unique<clsNode>();
    node->setNodeName(name);
    node->setNodeCharacters(characters);
    node->setEmptyLists();
    node->setParentNode(parent);
    node->setNodeKey(key);
    return AddNode(std::move(node));
}

void clsNodes::index(clsNode* node) const
{
    Index* at = m_block ? m_block->index : nullptr;
    if (!at)
        return;
    const qint64 number = node->keyNumber();
    if (number >= 0) {
        if (!at->byNumber.contains(number))
            at->byNumber.insert(number, node);
        return;
    }
    const QString text = node->keyTextLower();
    if (!text.isEmpty() && !at->byText.contains(text))
        at->byText.insert(text, node);
}

void clsNodes::unindex(const clsNode* node) const
{
    Index* at = m_block ? m_block->index : nullptr;
    if (!at)
        return;
    const qint64 number = node->keyNumber();
    if (number >= 0) {
        const auto it = at->byNumber.constFind(number);
        if (it != at->byNumber.constEnd() && it.value() == node)
            at->byNumber.remove(number);
        return;
    }
    const QString text = node->keyTextLower();
    const auto it = at->byText.constFind(text);
    if (it != at->byText.constEnd() && it.value() == node)
        at->byText.remove(text);
}

clsNode* clsNodes::find(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    const qint64 number = xmltree::keyNumber(key);
    return findFolded(number, number >= 0 ? QString() : key.toLower());
}

clsNode* clsNodes::findFolded(qint64 number, const QString& text) const
{
    const size_t count = size_t(Count());
    if (count == 0 || (number < 0 && text.isEmpty()))
        return nullptr;
    clsNode* const* at = entries();
    if (count <= kLinearLimit) {
        for (size_t i = 0; i < count; ++i) {
            if (at[i]->hasFoldedKey(number, text))
                return at[i];
        }
        return nullptr;
    }
    if (!m_block->index || m_block->index->keyStamp != xmltree::keyStamp()) {
        // (Re)built: a key of a node in some list has changed since.
        delete std::exchange(m_block->index, nullptr);
        m_block->index = new Index;
        m_block->index->keyStamp = xmltree::keyStamp();
        for (size_t i = 0; i < count; ++i)
            index(at[i]);
    }
    const Index* found = m_block->index;
    return number >= 0 ? found->byNumber.value(number, nullptr) : found->byText.value(text, nullptr);
}

clsNode* clsNodes::AddNode(std::unique_ptr<clsNode> node)
{
    if (findFolded(node->keyNumber(), node->keyTextLower()))
        throw VbError(457);
    clsNode* added = node.get();
    added->m_filed = true;
    append(std::move(node));
    if (m_block->index && m_block->index->keyStamp == xmltree::keyStamp())
        index(added);
    xmltree::touchTree();
    return added;
}

clsNode* clsNodes::Item(qsizetype position) const
{
    if (position < 1 || position > Count())
        throw VbError(9);
    return entries()[position - 1];
}

clsNode* clsNodes::Item(const QString& key) const
{
    clsNode* found = find(key);
    if (!found)
        throw VbError(5);
    return found;
}

void clsNodes::removeAt(size_t i)
{
    clsNode** at = entries();
    unindex(at[i]);
    // Taken out of the list before it is destroyed, so the list is whole meanwhile.
    std::unique_ptr<clsNode> gone(at[i]);
    std::memmove(at + i, at + i + 1, (m_block->count - i - 1) * sizeof(clsNode*));
    --m_block->count;
    gone.reset();
    xmltree::touchTree();
}

void clsNodes::Remove(qsizetype position)
{
    if (position < 1 || position > Count())
        throw VbError(9);
    removeAt(size_t(position - 1));
}

void clsNodes::Remove(const QString& key)
{
    const clsNode* found = find(key);
    if (!found)
        throw VbError(5);
    // The newest entries are the ones most often removed (a node just added or pasted).
    clsNode* const* at = entries();
    for (size_t i = size_t(Count()); i-- > 0;) {
        if (at[i] == found) {
            removeAt(i);
            return;
        }
    }
}
