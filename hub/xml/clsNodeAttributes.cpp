#include "hub/xml/clsNodeAttributes.h"

#include "common/VbError.h"

clsNodeAttributes::clsNodeAttributes() = default;
clsNodeAttributes::~clsNodeAttributes() = default;
clsNodeAttributes::clsNodeAttributes(clsNodeAttributes&&) noexcept = default;
clsNodeAttributes& clsNodeAttributes::operator=(clsNodeAttributes&&) noexcept = default;

size_t clsNodeAttributes::checkedIndex(qsizetype position) const
{
    if (position < 1 || position > Count())
        throw VbError(9);
    return size_t(position - 1);
}

qsizetype clsNodeAttributes::find(const QString& key) const
{
    if (!m_keys || key.isEmpty())
        return -1;
    if (!m_keys->indexValid) {
        m_keys->index.clear();
        for (size_t i = 0; i < m_keys->byPosition.size(); ++i) {
            if (!m_keys->byPosition[i].isNull())
                m_keys->index.insert(m_keys->byPosition[i], qsizetype(i));
        }
        m_keys->indexValid = true;
    }
    return m_keys->index.value(key.toLower(), -1);
}

clsNodeAttribute* clsNodeAttributes::Add(const QString& name, const QString& value, const QString& key)
{
    if (!key.isEmpty()) {
        if (find(key) >= 0)
            throw VbError(457);
        if (!m_keys) {
            m_keys = std::make_unique<Keys>();
            m_keys->byPosition.resize(m_items.size());
        }
        const QString folded = key.toLower();
        m_keys->byPosition.push_back(folded);
        if (m_keys->indexValid)
            m_keys->index.insert(folded, qsizetype(m_items.size()));
    } else if (m_keys) {
        m_keys->byPosition.push_back(QString());
    }
    m_items.emplace_back(name, value);
    return &m_items.back();
}

clsNodeAttribute* clsNodeAttributes::Item(qsizetype position)
{
    return &m_items[checkedIndex(position)];
}

const clsNodeAttribute* clsNodeAttributes::Item(qsizetype position) const
{
    return &m_items[checkedIndex(position)];
}

clsNodeAttribute* clsNodeAttributes::Item(const QString& key)
{
    const qsizetype i = find(key);
    if (i < 0)
        throw VbError(5);
    return &m_items[size_t(i)];
}

const clsNodeAttribute* clsNodeAttributes::Item(const QString& key) const
{
    return const_cast<clsNodeAttributes*>(this)->Item(key);
}

void clsNodeAttributes::Remove(qsizetype position)
{
    const size_t i = checkedIndex(position);
    m_items.erase(m_items.begin() + qsizetype(i));
    if (m_keys) {
        m_keys->byPosition.erase(m_keys->byPosition.begin() + qsizetype(i));
        m_keys->indexValid = false;
    }
}

void clsNodeAttributes::Remove(const QString& key)
{
    const qsizetype i = find(key);
    if (i < 0)
        throw VbError(5);
    Remove(i + 1);
}
