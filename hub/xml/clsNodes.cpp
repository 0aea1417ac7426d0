#include "hub/xml/clsNodes.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"

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
clsNodes::~clsNodes() = default;
clsNodes::clsNodes(clsNodes&& other) noexcept = default;
clsNodes& clsNodes::operator=(clsNodes&& other) noexcept = default;

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
    if (!m_index)
        return;
    const qint64 number = node->keyNumber();
    if (number >= 0) {
        if (!m_index->byNumber.contains(number))
            m_index->byNumber.insert(number, node);
        return;
    }
    const QString text = node->keyTextLower();
    if (!text.isEmpty() && !m_index->byText.contains(text))
        m_index->byText.insert(text, node);
}

void clsNodes::unindex(const clsNode* node) const
{
    if (!m_index)
        return;
    const qint64 number = node->keyNumber();
    if (number >= 0) {
        const auto it = m_index->byNumber.constFind(number);
        if (it != m_index->byNumber.constEnd() && it.value() == node)
            m_index->byNumber.remove(number);
        return;
    }
    const QString text = node->keyTextLower();
    const auto it = m_index->byText.constFind(text);
    if (it != m_index->byText.constEnd() && it.value() == node)
        m_index->byText.remove(text);
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
    if (m_entries.empty() || (number < 0 && text.isEmpty()))
        return nullptr;
    if (m_entries.size() <= kLinearLimit) {
        for (const auto& entry : m_entries) {
            if (entry->hasFoldedKey(number, text))
                return entry.get();
        }
        return nullptr;
    }
    if (!m_index || m_index->keyStamp != xmltree::keyStamp()) {
        // (Re)built: a key of a node in some list has changed since.
        m_index = std::make_unique<Index>();
        m_index->keyStamp = xmltree::keyStamp();
        for (const auto& entry : m_entries)
            index(entry.get());
    }
    return number >= 0 ? m_index->byNumber.value(number, nullptr) : m_index->byText.value(text, nullptr);
}

clsNode* clsNodes::AddNode(std::unique_ptr<clsNode> node)
{
    if (findFolded(node->keyNumber(), node->keyTextLower()))
        throw VbError(457);
    clsNode* added = node.get();
    added->m_filed = true;
    m_entries.push_back(std::move(node));
    if (m_index && m_index->keyStamp == xmltree::keyStamp())
        index(added);
    xmltree::touchTree();
    return added;
}

clsNode* clsNodes::Item(qsizetype position) const
{
    if (position < 1 || position > Count())
        throw VbError(9);
    return m_entries[size_t(position - 1)].get();
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
    unindex(m_entries[i].get());
    // Taken out of the list before it is destroyed, so the list is whole meanwhile.
    std::unique_ptr<clsNode> gone = std::move(m_entries[i]);
    m_entries.erase(m_entries.begin() + qsizetype(i));
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
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (m_entries[i].get() == found) {
            removeAt(i);
            return;
        }
    }
}
