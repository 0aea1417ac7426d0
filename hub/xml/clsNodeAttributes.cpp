#include "hub/xml/clsNodeAttributes.h"

#include "common/VbError.h"

#include <limits>
#include <new>
#include <utility>

static_assert(alignof(clsNodeAttribute) <= alignof(void*), "attributes follow the block header");

clsNodeAttributes::clsNodeAttributes() = default;

clsNodeAttributes::~clsNodeAttributes()
{
    release();
}

clsNodeAttributes::clsNodeAttributes(clsNodeAttributes&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}

clsNodeAttributes& clsNodeAttributes::operator=(clsNodeAttributes&& other) noexcept
{
    if (this != &other) {
        release();
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

void clsNodeAttributes::release()
{
    if (!m_block)
        return;
    clsNodeAttribute* at = items();
    for (quint32 i = 0; i < m_block->count; ++i)
        at[i].~clsNodeAttribute();
    delete m_block->keys;
    ::operator delete(m_block);
    m_block = nullptr;
}

void clsNodeAttributes::grow(size_t capacity)
{
    if (capacity > std::numeric_limits<quint32>::max())
        throw VbError(7);
    auto* block = static_cast<Block*>(::operator new(sizeof(Block) + capacity * sizeof(clsNodeAttribute)));
    block->count = 0;
    block->capacity = quint32(capacity);
    block->keys = nullptr;
    auto* to = reinterpret_cast<clsNodeAttribute*>(reinterpret_cast<char*>(block) + sizeof(Block));
    if (m_block) {
        clsNodeAttribute* from = items();
        for (quint32 i = 0; i < m_block->count; ++i) {
            new (to + i) clsNodeAttribute(std::move(from[i]));
            from[i].~clsNodeAttribute();
        }
        block->count = m_block->count;
        block->keys = m_block->keys;
        ::operator delete(m_block);
    }
    m_block = block;
}

void clsNodeAttributes::reserve(qsizetype count)
{
    if (count > 0 && size_t(count) > (m_block ? m_block->capacity : 0u))
        grow(size_t(count));
}

clsNodeAttribute* clsNodeAttributes::append(clsNodeAttribute&& attribute)
{
    const size_t count = size_t(Count());
    if (!m_block || count == m_block->capacity)
        grow(count < 2 ? 2 : count * 2);
    clsNodeAttribute* added = new (items() + count) clsNodeAttribute(std::move(attribute));
    ++m_block->count;
    return added;
}

size_t clsNodeAttributes::checkedIndex(qsizetype position) const
{
    if (position < 1 || position > Count())
        throw VbError(9);
    return size_t(position - 1);
}

qsizetype clsNodeAttributes::find(const QString& key) const
{
    Keys* keys = m_block ? m_block->keys : nullptr;
    if (!keys || key.isEmpty())
        return -1;
    if (!keys->indexValid) {
        keys->index.clear();
        for (size_t i = 0; i < keys->byPosition.size(); ++i) {
            if (!keys->byPosition[i].isNull())
                keys->index.insert(keys->byPosition[i], qsizetype(i));
        }
        keys->indexValid = true;
    }
    return keys->index.value(key.toLower(), -1);
}

clsNodeAttribute* clsNodeAttributes::Add(const QString& name, const QString& value, const QString& key)
{
    if (!key.isEmpty() && find(key) >= 0)
        throw VbError(457);
    clsNodeAttribute* added = append(clsNodeAttribute(name, value));
    Keys* keys = m_block->keys;
    if (!key.isEmpty()) {
        if (!keys) {
            keys = m_block->keys = new Keys;
            keys->byPosition.resize(size_t(Count()) - 1);
        }
        const QString folded = key.toLower();
        keys->byPosition.push_back(folded);
        if (keys->indexValid)
            keys->index.insert(folded, Count() - 1);
    } else if (keys) {
        keys->byPosition.push_back(QString());
    }
    return added;
}

clsNodeAttribute* clsNodeAttributes::Add(const clsNodeAttribute& attribute)
{
    clsNodeAttribute* added = append(clsNodeAttribute(attribute));
    if (Keys* keys = m_block->keys)
        keys->byPosition.push_back(QString());
    return added;
}

clsNodeAttribute* clsNodeAttributes::Item(qsizetype position)
{
    return items() + checkedIndex(position);
}

const clsNodeAttribute* clsNodeAttributes::Item(qsizetype position) const
{
    return items() + checkedIndex(position);
}

clsNodeAttribute* clsNodeAttributes::Item(const QString& key)
{
    const qsizetype i = find(key);
    if (i < 0)
        throw VbError(5);
    return items() + i;
}

const clsNodeAttribute* clsNodeAttributes::Item(const QString& key) const
{
    return const_cast<clsNodeAttributes*>(this)->Item(key);
}

void clsNodeAttributes::Remove(qsizetype position)
{
    const size_t i = checkedIndex(position);
    clsNodeAttribute* at = items();
    const size_t count = m_block->count;
    for (size_t j = i; j + 1 < count; ++j)
        at[j] = std::move(at[j + 1]);
    at[count - 1].~clsNodeAttribute();
    --m_block->count;
    if (Keys* keys = m_block->keys) {
        keys->byPosition.erase(keys->byPosition.begin() + qsizetype(i));
        keys->indexValid = false;
    }
}

void clsNodeAttributes::Remove(const QString& key)
{
    const qsizetype i = find(key);
    if (i < 0)
        throw VbError(5);
    Remove(i + 1);
}
