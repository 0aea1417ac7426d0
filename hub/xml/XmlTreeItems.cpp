#include "hub/xml/XmlTreeItems.h"

#include "common/VbError.h"
#include "hub/xml/NodeKeys.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
VbError elementNotFound()
{
    return VbError(35601, QStringLiteral("Element not found"));
}
} // namespace

void XmlTreeItems::clearItems()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_order.clear();
    m_order.shrink_to_fit();
    m_removed = false;
    m_byNumber.clear();
    m_byNumber.shrink_to_fit();
    m_byText.clear();
    m_keyTexts.clear();
    m_firstTop = m_lastTop = npos;
    m_selected = m_edited = m_lastAdded = npos;
}

void XmlTreeItems::reserveItems(qsizetype count)
{
    if (count <= 0 || count >= std::numeric_limits<int>::max())
        return;
    m_items.reserve(size_t(count));
    m_byNumber.reserve(size_t(count) + 1);
}

int XmlTreeItems::indexOf(const QString& key) const
{
    const qint64 number = xmltree::keyNumber(key);
    if (number >= 0 && size_t(number) < m_byNumber.size() && m_byNumber[size_t(number)] != npos)
        return m_byNumber[size_t(number)];
    if (m_byText.isEmpty())
        return npos;
    return m_byText.value(key.toLower(), npos);
}

QString XmlTreeItems::keyOf(int index) const
{
    const Item& item = m_items[size_t(index)];
    const auto text = m_keyTexts.constFind(index);
    if (text != m_keyTexts.constEnd())
        return *text;
    return QStringLiteral("nod") + QString::number(item.number);
}

int XmlTreeItems::requireIndex(const QString& key) const
{
    const int index = indexOf(key);
    if (index == npos)
        throw elementNotFound();
    return index;
}

void XmlTreeItems::addItem(const QString& parentKey, const QString& key, const QString& text)
{
    addSharedItem(parentKey, key, xmltree::SharedText(text));
}

void XmlTreeItems::addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text)
{
    const int parent = parentKey.isEmpty() ? npos : requireIndex(parentKey);
    if (indexOf(key) != npos)
        throw VbError(35602, QStringLiteral("Key is not unique in collection"));
    if (m_items.size() >= size_t(std::numeric_limits<int>::max()))
        throw VbError(7);

    const int index = int(m_items.size());
    Item item;
    item.text = text;
    item.parent = parent;

    // Keys are filed by their number while the numbers stay near the item count (as the
    // reader and the page give them); others by their text.
    const qint64 number = xmltree::keyNumber(key);
    if (number >= 0 && size_t(number) < 2 * m_items.size() + 65536) {
        if (size_t(number) >= m_byNumber.size())
            m_byNumber.resize(std::max(size_t(number) + 1, m_byNumber.size() + m_byNumber.size() / 2), npos);
        m_byNumber[size_t(number)] = index;
        item.number = qint32(number);
        if (!key.startsWith(QLatin1String("nod")))
            m_keyTexts.insert(index, key);
    } else {
        m_byText.insert(key.toLower(), index);
        m_keyTexts.insert(index, key);
    }
    append(std::move(item));
}

void XmlTreeItems::addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text)
{
    // Keys filed by text, numbers far beyond the item count and parents that are not
    // filed by number take the road by key texts, which also raises the errors.
    const size_t filed = m_byNumber.size();
    const bool parentFiled = parentNumber < 0
        || (size_t(parentNumber) < filed && m_byNumber[size_t(parentNumber)] != npos);
    if (!m_byText.isEmpty() || number < 0 || size_t(number) >= 2 * m_items.size() + 65536 || !parentFiled) {
        XmlTreeView::addNumberedItem(parentNumber, number, text);
        return;
    }
    if (size_t(number) < filed && m_byNumber[size_t(number)] != npos)
        throw VbError(35602, QStringLiteral("Key is not unique in collection"));
    if (m_items.size() >= size_t(std::numeric_limits<int>::max()))
        throw VbError(7);

    const int index = int(m_items.size());
    if (size_t(number) >= filed)
        m_byNumber.resize(std::max(size_t(number) + 1, filed + filed / 2), npos);
    m_byNumber[size_t(number)] = index;
    Item item;
    item.text = text;
    item.number = number;
    item.parent = parentNumber < 0 ? npos : m_byNumber[size_t(parentNumber)];
    append(std::move(item));
}

void XmlTreeItems::append(Item&& item)
{
    const int index = int(m_items.size());
    const int parent = item.parent;
    int& first = parent == npos ? m_firstTop : m_items[size_t(parent)].firstChild;
    int& last = parent == npos ? m_lastTop : m_items[size_t(parent)].lastChild;
    if (last != npos)
        m_items[size_t(last)].next = index;
    else
        first = index;
    last = index;
    if (parent != npos)
        ++m_items[size_t(parent)].childCount;
    m_items.push_back(std::move(item));
    if (m_removed)
        m_order.push_back(index);
    m_lastAdded = index;
}

void XmlTreeItems::unfile(int index)
{
    Item& item = m_items[size_t(index)];
    if (item.number >= 0 && size_t(item.number) < m_byNumber.size() && m_byNumber[size_t(item.number)] == index)
        m_byNumber[size_t(item.number)] = npos;
    else
        m_byText.remove(keyOf(index).toLower());
    m_keyTexts.remove(index);
}

void XmlTreeItems::collectSubtree(int index, std::vector<int>& out) const
{
    const size_t start = out.size();
    out.push_back(index);
    for (size_t i = start; i < out.size(); ++i) {
        for (int child = m_items[size_t(out[i])].firstChild; child != npos; child = m_items[size_t(child)].next)
            out.push_back(child);
    }
}

void XmlTreeItems::removeItem(const QString& key)
{
    const int index = requireIndex(key);
    Item& item = m_items[size_t(index)];

    // Unlinks the item from its parent's children.
    int& first = item.parent == npos ? m_firstTop : m_items[size_t(item.parent)].firstChild;
    int& last = item.parent == npos ? m_lastTop : m_items[size_t(item.parent)].lastChild;
    int prev = npos;
    for (int at = first; at != index; at = m_items[size_t(at)].next)
        prev = at;
    if (prev != npos)
        m_items[size_t(prev)].next = item.next;
    else
        first = item.next;
    if (item.next == npos)
        last = prev;
    if (item.parent != npos)
        --m_items[size_t(item.parent)].childCount;

    std::vector<int> gone;
    collectSubtree(index, gone);
    for (int i : gone) {
        unfile(i);
        Item& dead = m_items[size_t(i)];
        dead.parent = kGone;
        dead.text = xmltree::SharedText();
        if (i == m_selected)
            m_selected = npos;
        if (i == m_edited)
            m_edited = npos;
    }
    if (!m_removed) {
        m_order.resize(m_items.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        m_removed = true;
    }
    m_order.erase(std::remove_if(m_order.begin(), m_order.end(),
                                 [this](int i) { return m_items[size_t(i)].parent == kGone; }),
                  m_order.end());
}

QString XmlTreeItems::itemText(const QString& key) const
{
    return m_items[size_t(requireIndex(key))].text.str();
}

void XmlTreeItems::setItemText(const QString& key, const QString& text)
{
    m_items[size_t(requireIndex(key))].text = xmltree::SharedText(text);
}

void XmlTreeItems::expandItem(const QString& key)
{
    m_items[size_t(requireIndex(key))].expanded = true;
}

QString XmlTreeItems::itemKeyAt(qsizetype position) const
{
    if (position < 1 || position > itemCount())
        throw VbError(35600, QStringLiteral("Index out of bounds"));
    return keyOf(m_removed ? m_order[size_t(position - 1)] : int(position - 1));
}

void XmlTreeItems::selectItem(const QString& key)
{
    m_selected = requireIndex(key);
}

QString XmlTreeItems::selectedKey() const
{
    return m_selected == npos ? QString() : keyOf(m_selected);
}

void XmlTreeItems::setItemBold(const QString& key, bool bold)
{
    m_items[size_t(requireIndex(key))].bold = bold;
}

bool XmlTreeItems::isItemBold(const QString& key) const
{
    return m_items[size_t(requireIndex(key))].bold;
}

void XmlTreeItems::editItemLabel(const QString& key)
{
    m_edited = requireIndex(key);
}
